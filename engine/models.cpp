#include "engine/models.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/model_internal.h"
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

model g_models[k_model_capacity];
int32_t g_model_count = 0;
model g_char_models[k_char_model_capacity];

namespace {

void unselect_textures(model* m)
{
    for (int32_t& slot : m->material_textures)
        slot = -1;
}

// The skin file of a model file: "ogre.3d" gives "ogre.sk", "ogre.x" gives "ogre.sk".
std::string skin_path_of(const std::string& path)
{
    if (path.empty())
        return {};
    if (path.back() == 'd')
        return path.size() >= 2 ? path.substr(0, path.size() - 2) + "sk" : "sk";
    return path.substr(0, path.size() - 1) + "sk";
}

} // namespace

int32_t skin_entry_index(int32_t variant, int32_t skin, int32_t material)
{
    if (skin < 0 || material < 0 || material >= k_model_material_columns || variant < -1)
        return -1;
    const int64_t k = variant < 0 ? 0 : variant;
    const int64_t entry = 1 + 129 * k + 32 * int64_t(skin) + material;
    return entry < k_model_skin_entries ? int32_t(entry) : -1;
}

void free_model(model* m)
{
    // A model that holds nothing is not written to: the tables are large, mostly empty, and their
    // untouched pages take no memory.
    const bool holds_frames =
        std::any_of(std::begin(m->frames), std::end(m->frames), [](const auto& f) { return f.capacity() > 0; });
    if (!m->mesh && m->frame_count == 0 && !holds_frames)
        return;
    for (auto& frame : m->frames)
        std::vector<float>().swap(frame);
    m->frame_count = 0;
    m->mesh.reset();
}

void set_model_frame(model* m, int32_t frame)
{
    if (!m->mesh || frame < 0 || frame >= k_model_max_frames || frame >= m->frame_count)
        return;
    const std::vector<float>& positions = m->frames[frame];
    std::vector<device_vertex>& vertices = m->mesh->vertices;
    const size_t n = std::min(vertices.size(), positions.size() / 3);
    for (size_t i = 0; i < n; ++i) {
        vertices[i].x = positions[3 * i];
        vertices[i].y = positions[3 * i + 1];
        vertices[i].z = positions[3 * i + 2];
    }
}

void scale_model(model* m, float factor)
{
    for (int32_t f = 0; f < m->frame_count && f < k_model_max_frames; ++f)
        for (float& value : m->frames[f])
            value *= factor;
    set_model_frame(m, m->current_frame);
}

uint32_t get_model_vertex_count(const model* m)
{
    return m->mesh ? uint32_t(m->mesh->vertices.size()) : 0;
}

void select_model_skin(model* m, int32_t skin, int32_t variant)
{
    if (!m->mesh)
        return;
    for (uint32_t i = 0; i < m->mesh->material_count && i < k_model_max_materials; ++i) {
        const int32_t entry = skin_entry_index(variant, skin, int32_t(i));
        m->material_textures[i] = entry >= 0 && size_t(entry) < m->skin_textures.size() ? m->skin_textures[entry] : -1;
    }
}

void load_model(model* m, const char* path)
{
    free_model(m);
    m->frame_count = 0;
    m->skin_count = 0;
    m->variant_count = 0;
    m->current_frame = 0;
    const std::string name = path ? path : "";
    const char last = name.empty() ? '\0' : name.back();
    if (last == 'd' || last == 'k') {
        read_model(m, name.c_str());
        unselect_textures(m);
        if (g_screen_width > 0)
            scale_model(m, 640.0f / float(g_screen_width));
    } else {
        const bool imported = import_x_model(m, name.c_str());
        unselect_textures(m);
        if (imported && write_model_mesh(m, k_x_import_dump)) {
            read_model_frame(m, k_x_import_dump);
            delete_file(k_x_import_dump);
        }
    }
    load_model_skins(m, skin_path_of(name).c_str());
    set_model_frame(m, 0);
}

int32_t add_model(const char* path)
{
    if (file_exists(path) != 1)
        return -1;
    if (g_model_count >= k_model_capacity) {
        console_log("model table full, %s not loaded", path);
        return -1;
    }
    load_model(&g_models[g_model_count], path);
    return g_model_count++;
}

void reload_all_model_skins()
{
    auto reload = [](model& m) {
        if (!m.mesh)
            return;
        char path[k_model_name_size];
        std::memcpy(path, m.mesh->materials[0].texture_name, sizeof path);
        path[sizeof path - 1] = '\0';
        load_model_skins(&m, path);
    };
    for (int32_t i = 0; i < g_model_count && i < k_model_capacity; ++i)
        reload(g_models[i]);
    for (model& m : g_char_models)
        reload(m);
}
