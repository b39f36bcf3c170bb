// ".x" files into models: the import of one file, further frames, and the conversion of a
// folder tree of ".x" frame files into ".3d" files.
#include "core/console_log.h"
#include "core/dir_listing.h"
#include "core/utilities.h"
#include "engine/model_internal.h"
#include "engine/models.h"
#include "platform/files.h"
#include "platform/x_importer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// A folder's entries as the editor lists them (core/dir_listing.h); empty when the folder's
// name does not fit the listing's path.
std::vector<dir_entry> sorted_listing(const std::string& folder)
{
    std::vector<dir_entry> entries(k_dir_entries_capacity);
    if (folder.size() >= sizeof g_dir_path) {
        console_log("%s: cesta je pridlha", folder.c_str());
        return {};
    }
    std::memcpy(g_dir_path, folder.c_str(), folder.size() + 1);
    entries.resize(list_directory_into(entries.data(), uint32_t(entries.size()), "*.*"));
    return entries;
}

std::string working_folder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

// The folder of the path given, named from the working folder: working folder + "\" + its name
// relative to it. A folder outside the working folder keeps its own name.
std::string base_of(const std::string& folder)
{
    const std::string cwd = working_folder();
    if (!cwd.empty() && folder.size() > cwd.size() + 1 && folder.compare(0, cwd.size(), cwd) == 0 &&
        (folder[cwd.size()] == '\\' || folder[cwd.size()] == '/'))
        return cwd + "\\" + folder.substr(cwd.size() + 1);
    return folder;
}

} // namespace

bool import_x_model(model* m, const char* path)
{
    reset_model_mesh(m);
    x_mesh imported;
    std::string error;
    if (!import_x_file(path, imported, error)) {
        console_log("%.200s", error.c_str());
        return false;
    }
    if (imported.materials.size() > size_t(k_model_max_materials)) {
        console_log("%s: %zu materials refused", path, imported.materials.size());
        return false;
    }
    model_mesh& mesh = *m->mesh;
    copy_bounded(mesh.name, sizeof mesh.name, imported.name.c_str());
    mesh.vertices = std::move(imported.vertices);
    mesh.indices = std::move(imported.indices);
    mesh.material_count = uint32_t(imported.materials.size());
    for (size_t i = 0; i < imported.materials.size(); ++i) {
        model_material& material = mesh.materials[i];
        material.colour = imported.materials[i].colour;
        material.index_count = imported.materials[i].index_count;
        copy_bounded(material.texture_name, sizeof material.texture_name, imported.materials[i].texture_name.c_str());
    }
    return true;
}

void add_model_frame_from_x(int32_t index, const char* x_path)
{
    if (index < 0 || index >= g_model_count || index >= k_model_capacity || !g_models[index].mesh) {
        console_log("no model %d for the frame %s", int(index), x_path);
        return;
    }
    auto frame = std::make_unique<model>();
    if (import_x_model(frame.get(), x_path) && write_model_mesh(frame.get(), k_x_frame_dump)) {
        read_model_frame(&g_models[index], k_x_frame_dump);
        delete_file(k_x_frame_dump);
    }
    free_model(frame.get());
}

void convert_model_directory(const char* path)
{
    console_log("file to go %s", path);
    if (file_exists(path) != 1)
        return;
    std::string folder = path;
    const size_t cut = folder.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0)
        folder.resize(cut);
    const std::string base = base_of(folder);
    console_log("base dir %s", base.c_str());
    const std::string output = base + ".3d";

    const std::vector<dir_entry> entries = sorted_listing(folder);
    console_log("num files in directory %d", int(entries.size()));
    int32_t created = -1;
    for (const dir_entry& e : entries) {
        const std::string name = e.name;
        if ((e.attributes & k_dir_attr_folder) != 0 || name.empty() || name.back() != 'x')
            continue;
        const std::string file = base + "\\" + name;
        console_log("file %s", file.c_str());
        if (created < 0)
            created = add_model(file.c_str());
        else
            add_model_frame_from_x(created, file.c_str());
    }
    console_log("saving to file %s", output.c_str());
    if (created >= 0)
        save_model(&g_models[created], output.c_str());
    for (const dir_entry& e : entries) {
        if ((e.attributes & k_dir_attr_folder) == 0 || e.name[0] == '.')  // also "." and ".."
            continue;
        console_log("directory %s", e.name);
        convert_model_directory((base + "\\" + e.name + "\\" + "01.x").c_str());
    }
}
