// The prototype editor's commands that build frames: images, model parts and their phases,
// folders of files, surfaces from tile folders, and prototypes imported from a folder.
#include "core/console_log.h"
#include "core/dir_listing.h"
#include "core/editor_globals.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/dialogs/proto_editor_internal.h"
#include "editor/store/working_path.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/models.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "world/object_protos.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char k_add_filter[] =
    "ALL\0*.*\0TGA\0*.tga\0BMP\0*.bmp\0DDS\0*.dds\0ZORV3D\0*.3d\0XFILE\0*.x\0";
constexpr char k_add_multiple_filter[] = "ALL\0*.*\0TGA\0*.tga\0BMP\0*.bmp\0DDS\0*.dds\0X FILE\0*.x\0";
constexpr char k_x_filter[] = "X FILE\0*.x\0";
constexpr char k_3d_filter[] = "3D FILE\0*.3d\0";

model* model_of(int32_t index)
{
    return index >= 0 && index < g_model_count ? &g_models[index] : nullptr;
}

// The folder part of a path: up to its last "\" or "/", empty when it has neither.
std::string folder_of(const std::string& path)
{
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// A file of a folder ("" is the working folder).
std::string in_folder(const std::string& folder, const char* name)
{
    return folder.empty() ? std::string(name) : folder + "\\" + name;
}

// A chosen file's path relative to the working folder; empty (logged) when it may not be stored.
std::string stored_path(const std::string& chosen)
{
    return chosen.empty() ? std::string() : working_relative_path(chosen);
}

// Frame n of animation 0 from an image file; refused at the table's 32 frames.
void add_frame(dialog_handle dialog, object_proto& p, const std::string& path)
{
    const int32_t n = p.frame_counts[0];
    if (n < 0 || n >= k_proto_frames) {
        console_log("prototyp %s ma uz %d snimok", p.name, int(n));
        return;
    }
    p.frames[0][n] = load_frame_texture(p, path.c_str());
    copy_bounded(p.frame_names[n], sizeof p.frame_names[n], path.c_str());
    add_list_string(dialog, k_proto_textures, path.c_str());
    p.frame_counts[0] = n + 1;
    p.frames_loaded = 1;
    console_log("%s", path.c_str());
}

// A model part of a mesh at the current 3D part; the model's index, or -1.
int32_t add_model_part(dialog_handle dialog, object_proto& p, const std::string& path)
{
    const int32_t part = int32_t(std::min<uint32_t>(g_current_3d_part, k_proto_animations - 1));
    const int32_t index = add_model(path.c_str());
    p.frames[part][0] = index;
    copy_bounded(p.frame_names[part], sizeof p.frame_names[part], path.c_str());
    add_list_string(dialog, k_proto_textures, path.c_str());
    const model* m = model_of(index);
    p.frame_counts[part] = m ? m->frame_count : 0;
    p.frames_loaded = 1;
    console_log("%s", path.c_str());
    return index;
}

// The model's frames after another ".x" frame was added.
void add_model_phase(object_proto& p, int32_t part, int32_t index, const std::string& path)
{
    add_model_frame_from_x(index, path.c_str());
    const model* m = model_of(index);
    p.frame_counts[part] = m ? m->frame_count : 0;
}

bool add_one(dialog_handle dialog, int32_t index)
{
    const std::string path = stored_path(ask_existing_file(dialog, "add texture/object", k_add_filter, nullptr));
    if (path.empty() || index < 0)
        return false;
    object_proto& p = g_object_protos[index];
    switch (p.kind) {
    case k_proto_sprite:
    case k_proto_particle:
    case k_proto_sprite16:
        add_frame(dialog, p, path);
        break;
    case k_proto_mesh:
        add_model_part(dialog, p, path);
        break;
    case k_proto_surface:
        build_surface(dialog, index, path);
        break;
    default:
        break;
    }
    return true;
}

// The files (not folders) of the chosen file's folder in listing order, each as its stored path
// with trailing white space cut, and its position in the listing; false when the chosen file may
// not be stored.
struct listed_file {
    std::string path;
    uint32_t position;
};
bool list_chosen_folder(const std::string& chosen, std::vector<listed_file>* files)
{
    const std::string file = stored_path(chosen);
    if (file.empty())
        return false;
    const std::string folder = folder_of(file);
    copy_bounded(g_dir_path, sizeof g_dir_path, folder.empty() ? "." : folder.c_str());
    fill_dir_table("*.*");
    for (uint32_t i = 0; i < g_dir_count; ++i) {
        if (g_dir_entries[i].attributes & k_dir_attr_folder)
            continue;
        char name[sizeof g_dir_entries[i].name];
        copy_bounded(name, sizeof name, g_dir_entries[i].name);
        size_t n = std::strlen(name);
        while (n > 0 && uint8_t(name[n - 1]) <= ' ')
            name[--n] = '\0';
        std::string path = in_folder(folder, name);
        if (path.size() >= size_t(k_proto_frame_name_size)) {
            console_log("prilis dlha cesta: %s", path.c_str());
            continue;
        }
        files->push_back({std::move(path), i});
    }
    return true;
}

bool add_multiple(dialog_handle dialog, int32_t index)
{
    const std::string chosen = ask_existing_file(dialog, "add textures/objects", k_add_multiple_filter, nullptr);
    if (chosen.empty() || index < 0)
        return false;
    std::vector<listed_file> files;
    if (!list_chosen_folder(chosen, &files))
        return false;
    object_proto& p = g_object_protos[index];
    int32_t model_index = -1;
    const int32_t part = int32_t(std::min<uint32_t>(g_current_3d_part, k_proto_animations - 1));
    for (const listed_file& file : files) {
        console_log("%s", file.path.c_str());
        if (p.kind == k_proto_sprite || p.kind == k_proto_particle || p.kind == k_proto_sprite16)
            add_frame(dialog, p, file.path);
        else if (p.kind == k_proto_mesh && model_index < 0)
            model_index = add_model_part(dialog, p, file.path);
        else if (p.kind == k_proto_mesh)
            add_model_phase(p, part, model_index, file.path);
    }
    return true;
}

bool add_phase(dialog_handle dialog, int32_t index)
{
    if (index < 0 || g_object_protos[index].kind != k_proto_mesh)
        return false;
    object_proto& p = g_object_protos[index];
    const int32_t part = int32_t(std::min<uint32_t>(g_current_3d_part, k_proto_animations - 1));
    if (p.frame_counts[part] == 0 || !model_of(p.frames[part][0]))
        return false;
    const std::string path = ask_existing_file(dialog, "add phase", k_x_filter, "x");
    if (path.empty())
        return false;
    add_model_phase(p, part, p.frames[part][0], path);
    return true;
}

void save_mesh(dialog_handle dialog, int32_t index)
{
    if (index < 0 || g_object_protos[index].kind != k_proto_mesh || g_object_protos[index].frame_counts[0] == 0)
        return;
    object_proto& p = g_object_protos[index];
    const model* m = model_of(p.frames[0][0]);
    if (!m)
        return;
    const std::string chosen = ask_file_name("save 3d file", k_3d_filter, "3d", 0, dialog);
    const std::string path = stored_path(chosen);
    if (path.empty())
        return;
    if (save_model(m, chosen.c_str())) {
        copy_bounded(p.frame_names[0], sizeof p.frame_names[0], path.c_str());
        g_map_dirty = 1;
    }
}

void delete_frame(dialog_handle dialog, int32_t index)
{
    const int32_t row = get_list_sel(dialog, k_proto_textures);
    if (row < 0 || index < 0)
        return;
    remove_proto_frame(row, index);
    delete_list_string(dialog, k_proto_textures, row);
    g_map_dirty = 1;
}

void import_directory(dialog_handle dialog)
{
    const int32_t shown = selected_proto(dialog);
    const std::string chosen = ask_existing_file(dialog, "add textures/objects", k_add_multiple_filter, nullptr);
    std::vector<listed_file> files;
    if (!chosen.empty() && list_chosen_folder(chosen, &files)) {
        for (const listed_file& file : files) {
            const int32_t index = add_empty_object_proto();
            if (index < 0) {
                console_log("prototypov je uz %u", k_max_level_protos);
                break;
            }
            object_proto& p = g_object_protos[index];
            std::snprintf(p.name, sizeof p.name, "%u", file.position);
            console_log("%s", file.path.c_str());
            p.frames[0][0] = load_frame_texture(p, file.path.c_str());
            copy_bounded(p.frame_names[0], sizeof p.frame_names[0], file.path.c_str());
            p.frame_counts[0] = 1;
            p.frames_loaded = 1;
            add_proto_row(dialog, index);
            g_map_dirty = 1;
        }
    }
    reselect_proto(dialog, shown);
}

} // namespace

int32_t load_frame_texture(object_proto& p, const char* path)
{
    const int32_t texture = get_texture(path, uint32_t(std::max(p.width, 0)), uint32_t(std::max(p.height, 0)), 0, 0,
                                        p.format_choice, 0);
    if (texture >= 0 && g_textures[texture].surface) {
        p.width = int32_t(g_textures[texture].width);
        p.height = int32_t(g_textures[texture].height);
    }
    return texture;
}

bool read_surface_size(const std::string& folder, int32_t* columns, int32_t* rows)
{
    std::FILE* file = open_text_file(in_folder(folder, "size.txt").c_str());
    if (!file)
        return false;
    int c = 0, r = 0;
    const bool read = std::fscanf(file, "%d %d", &c, &r) == 2;
    std::fclose(file);
    if (read) {
        *columns = c;
        *rows = r;
    } else {
        console_log("chybny size.txt v %s", folder.c_str());
    }
    return read;
}

void build_surface(dialog_handle dialog, int32_t index, const std::string& path)
{
    unload_object_proto(index, false);  // the frames of an earlier build
    object_proto& p = g_object_protos[index];
    int32_t rows = int32_t(get_item_int(dialog, k_proto_povy));
    p.spawn_offset[0] = float(int32_t(get_item_int(dialog, k_proto_start_x)));
    p.spawn_offset[1] = float(int32_t(get_item_int(dialog, k_proto_start_y)));
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], path.c_str());
    add_list_string(dialog, k_proto_textures, path.c_str());
    console_log("%s", path.c_str());

    const std::string folder = folder_of(path);
    int32_t columns = p.anim_count;
    read_surface_size(folder, &columns, &rows);
    columns = std::clamp(columns, 0, k_proto_animations);
    rows = std::clamp(rows, 0, k_proto_frames);
    p.anim_count = columns;
    for (int32_t c = 0; c < columns; ++c)
        p.frame_counts[c] = rows;

    const std::string mask_path = in_folder(folder, "mask.dat");
    std::vector<uint8_t> mask;
    if (file_exists(mask_path.c_str()) == 1 && read_whole_file(mask_path.c_str(), &mask)) {
        const size_t size = size_t(columns) * size_t(rows);
        if (mask.size() < size)
            console_log("kratka maska %s", mask_path.c_str());
        mask.resize(size, 0);
        set_proto_mask(index, std::move(mask), columns, rows);
    }
    load_surface_tiles(index, 0);
    for (int32_t c = columns - 1; c >= 0; --c) {
        for (int32_t r = rows - 1; r >= 0; --r) {
            const int32_t t = p.frames[c][r];
            if (t >= 0 && t < g_texture_count && g_textures[t].surface) {
                p.width = int32_t(g_textures[t].width);
                p.height = int32_t(g_textures[t].height);
                c = r = -1;
            }
        }
    }
    p.frames_loaded = 1;
    g_map_dirty = 1;
}

bool run_proto_frame_command(dialog_handle dialog, int32_t id)
{
    const int32_t index = selected_proto(dialog);
    bool changed = false;
    switch (id) {
    case k_proto_menu_add:
        changed = add_one(dialog, index);
        break;
    case k_proto_menu_delete_frame:
        delete_frame(dialog, index);
        return true;
    case k_proto_menu_add_multiple:
        changed = add_multiple(dialog, index);
        break;
    case k_proto_menu_add_phase:
        changed = add_phase(dialog, index);
        break;
    case k_proto_menu_save_3d:
        save_mesh(dialog, index);
        return true;
    case k_proto_menu_convert: {
        const std::string path = ask_existing_file(dialog, "convert directories", k_x_filter, "x");
        if (!path.empty())
            convert_model_directory(path.c_str());
        return true;
    }
    case k_proto_menu_import_directory:
        import_directory(dialog);
        return true;
    default:
        return false;
    }
    if (changed) {
        g_map_dirty = 1;
        reselect_proto(dialog, index);
    }
    return true;
}
