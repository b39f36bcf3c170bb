// Loading the frames of object prototypes: sprite textures, a mesh's model, a surface's tiles
// and its tile mask.
#include "world/object_protos.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "world/object_models.h"
#include "world/object_proto_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int32_t frame_texture(const object_proto& p, const char* name, int32_t in_level)
{
    if (data_file_path("", name).empty())
        return -1;
    int32_t texture = get_texture(name, uint32_t(std::max(p.width, 0)), uint32_t(std::max(p.height, 0)),
                                  uint32_t(in_level), 0, p.format_choice, 1);
    if (in_level == 0 && texture >= 0)
        upload_texture(texture);
    return texture;
}

// A tile number from a stored float: its integer part, held to a range whose pixel names fit.
int32_t first_tile(float value)
{
    if (!std::isfinite(value))
        return 0;
    return int32_t(std::clamp(value, -1.0e6f, 1.0e6f));
}

// The surface's tile folder: frame name 0 up to its last "\" or "/" (the whole name when it has
// neither).
std::string tile_folder(const object_proto& p)
{
    std::string name = p.frame_names[0];
    size_t cut = name.find_last_of("\\/");
    return cut == std::string::npos ? name : name.substr(0, cut);
}

// Reads "maska.dat" beside the tiles, else under "data\masky\"; a mask shorter than the surface
// leaves its missing tiles present.
void load_surface_mask(int32_t slot, const std::string& folder, int32_t columns, int32_t rows)
{
    std::string path = folder + "\\maska.dat";
    if (file_exists(path.c_str()) != 1)
        path = "data\\masky\\" + folder + "\\maska.dat";
    std::vector<uint8_t> bytes;
    if (file_exists(path.c_str()) != 1 || !read_whole_file(path.c_str(), &bytes)) {
        report_missing_file(path.c_str(), "vsetky dlazdice");
        return;
    }
    size_t size = size_t(columns) * size_t(rows);
    if (bytes.size() < size) {
        const std::string where = std::to_string(bytes.size()) + " z " + std::to_string(size) + " bajtov";
        report_damaged_file(path.c_str(), where.c_str(), "chybajuce dlazdice pritomne");
    }
    bytes.resize(size, 0);
    set_proto_mask(slot, std::move(bytes), columns, rows);
}

void load_surface(object_proto& p, int32_t slot, int32_t in_level)
{
    int32_t columns = std::clamp(p.anim_count, 0, k_proto_animations);
    int32_t rows = std::clamp(p.frame_counts[0], 0, k_proto_frames);
    std::string folder = tile_folder(p);
    if (data_file_path("", folder.c_str()).empty())
        return;
    load_surface_mask(slot, folder, columns, rows);
    std::string last = load_surface_tiles(slot, in_level);
    if (!last.empty())
        copy_bounded(p.frame_names[0], sizeof p.frame_names[0], last.c_str());
}

} // namespace

std::string load_surface_tiles(int32_t slot, int32_t in_level)
{
    object_proto* p = proto_at(slot);
    if (!p)
        return {};
    int32_t columns = std::clamp(p->anim_count, 0, k_proto_animations);
    int32_t rows = std::clamp(p->frame_counts[0], 0, k_proto_frames);
    std::string folder = tile_folder(*p);
    int32_t first_column = first_tile(p->spawn_offset[0]);
    int32_t first_row = first_tile(p->spawn_offset[1]);
    char tile[k_proto_frame_name_size] = {};
    for (int32_t c = 0; c < columns; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            std::snprintf(tile, sizeof tile, "%s\\%dx%d.tga", folder.c_str(), int((first_column + c) * k_tile_size),
                          int((first_row + r) * k_tile_size));
            p->frames[c][r] = test_proto_mask(p, c, r) ? frame_texture(*p, tile, in_level) : -1;
        }
    }
    return columns > 0 && rows > 0 ? std::string(tile) : std::string();
}

void load_proto_textures(int32_t slot, int32_t in_level)
{
    object_proto* p = proto_at(slot);
    if (!p || p->frames_loaded)
        return;
    switch (p->kind) {
    case k_proto_sprite:
    case k_proto_particle:
    case k_proto_sprite16: {
        int32_t count = std::clamp(p->frame_counts[0], 0, k_proto_frames);
        for (int32_t f = 0; f < count; ++f)
            p->frames[0][f] = frame_texture(*p, p->frame_names[f], in_level);
        break;
    }
    case k_proto_mesh:
        p->frames[0][0] = load_proto_model(p->frame_names[0]);
        break;
    case k_proto_surface:
        load_surface(*p, slot, in_level);
        break;
    default:
        break;
    }
    p->frames_loaded = 1;
    g_frames_generation[slot] = g_texture_table_generation;
}

void load_all_proto_textures()
{
    if (g_editor_enabled)
        for (uint32_t s = 0; s < g_object_proto_count; ++s)
            load_proto_textures(int32_t(s), 1);
    for (int32_t t = 0; t < g_texture_count; ++t)
        if (!g_textures[t].surface && !g_textures[t].loaded && !texture_slot_empty(t))
            upload_texture(t);
}

void load_next_proto()
{
    if (g_protos_all_loaded || g_proto_loading != -1)
        return;
    bool any = false;
    for (uint32_t s = 0; s < g_object_proto_count; ++s) {
        if (g_object_protos[s].frames_loaded)
            continue;
        any = true;
        g_proto_loading = int32_t(s);
        load_proto_textures(int32_t(s), 1);
    }
    if (any)
        g_proto_loading = -1;
    else
        g_protos_all_loaded = 1;
}
