#include "level/map_exchange.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

namespace {

constexpr const char* k_map_kept = "doterajsia mapa";

} // namespace

bool export_mapinfo(const char* path)
{
    packed_stream* out = stream_open(path, "wp");
    bool written = out && write_movemap(out) && write_scene_header(out);
    if (!finish_written_file(out, written)) {
        console_log("mapinfo %s sa neda zapisat", path);
        return false;
    }
    return true;
}

bool import_mapinfo(const char* path)
{
    packed_stream* in = open_data_file(path, k_map_kept);
    if (!in) {
        console_log("mapinfo %s sa neda otvorit, nic nemenim", path);
        return false;
    }
    // Both sections are read aside; the level takes them only when the file held them and no more.
    movemap_section map;
    scene_header header = g_scene_header;
    const bool read = read_movemap_section(in, &map) && read_scene_header_record(in, &header);
    const int64_t after = close_read_file(in, read, path, k_map_kept);
    if (!read || after > 0 || !take_movemap_section(map)) {
        console_log("mapinfo %s sa nenacital cely, nic nemenim", path);
        return false;
    }
    g_scene_header = header;
    if (g_scene_hero.reassign_attackers)
        g_scene_hero.reassign_attackers();
    g_map_dirty = 1;
    return true;
}

bool export_sortinfo(const char* path)
{
    if (write_objects(path))
        return true;
    console_log("sortinfo %s sa neda zapisat", path);
    return false;
}

bool import_sortinfo(const char* path)
{
    uint32_t changed = 0;
    if (!read_objects(path, &changed)) {
        console_log("sortinfo %s sa nenacital cely, nic nemenim", path);
        return false;
    }
    if (changed > 0)
        g_map_dirty = 1;
    return true;
}
