#include "level/map_exchange.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "engine/packed_stream.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

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
    packed_stream* in = stream_open(path, "rp");
    if (!in) {
        console_log("mapinfo %s sa neda otvorit", path);
        return false;
    }
    bool read = read_movemap(in);
    if (read) {
        read_scene_header(in);
        g_map_dirty = 1;
    } else {
        console_log("mapinfo %s: pohybova mapa odmietnuta, nic nemenim", path);
    }
    stream_close(in);
    return read;
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
        console_log("sortinfo %s sa neda precitat", path);
        return false;
    }
    if (changed > 0)
        g_map_dirty = 1;
    return true;
}
