#include "editor/store/undo_snapshots.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/dir_listing.h"
#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/windows/mode_tabs.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/ground_items.h"
#include "level/level_map.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

uint32_t g_undo_counter = 0;

namespace {

void enable_undo_button(bool enable)
{
    if (g_global_settings_window)
        enable_item(g_global_settings_window, k_glset_undo, enable ? 1 : 0);
}

bool is_ground_item_object(const world_object& o)
{
    return o.entry_count > 0 && o.entry_kinds[0] == k_entry_ground_item;
}

// The objects an undo takes back: the level's own objects, as the level file keeps them. The
// characters' and the ground items' objects follow their tables, which an undo does not change.
bool undo_owns(const world_object& o)
{
    return o.state != 0 && o.proto >= 0 && o.object_class == k_class_ordinary && !is_ground_item_object(o);
}

world_object free_record()
{
    world_object o;
    std::memset(&o, 0, sizeof o);
    o.layer = k_free_layer;
    o.object_class = k_class_ordinary;
    return o;
}

// The objects section's records, as they were pushed.
bool read_snapshot_objects(packed_stream* in, std::vector<world_object>* objects)
{
    const int64_t stored_size = stream_read_u32le(in);
    const int64_t count = stored_size < 0 ? -1 : stream_read_u32le(in);
    if (count < 0 || stream_read_u32le(in) < 0)
        return false;
    for (int64_t i = 0; i < count; ++i) {
        uint8_t bytes[k_world_object_size] = {};
        if (!read_stored_record(in, bytes, k_world_object_size, uint32_t(stored_size)))
            return false;
        decode_world_object(bytes, &objects->emplace_back());
    }
    return true;
}

// The snapshot's own objects at their indices, and every other object in use as it is now: at
// its index when the snapshot leaves that slot free, else after the snapshot's; then the
// characters and the ground items find their objects again.
void restore_objects(std::vector<world_object> objects)
{
    for (world_object& o : objects)
        if (!undo_owns(o))
            o = free_record();
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& now = g_objects[i];
        if (now.state == 0 || undo_owns(now))
            continue;
        if (i >= objects.size())
            objects.resize(i + 1, free_record());
        if (objects[i].state == 0)
            objects[i] = now;
        else
            objects.push_back(now);
    }
    if (!reserve_objects(uint32_t(objects.size())))
        return;
    std::copy(objects.begin(), objects.end(), g_objects);
    g_object_count = uint32_t(objects.size());
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (o.state != 0 && o.proto <= -2) {
            if (char_record* c = char_at(-2 - o.proto))
                c->object = int32_t(i);
        } else if (o.state != 0 && is_ground_item_object(o) && o.entry_ints[0][0] >= 0 &&
                   o.entry_ints[0][0] < k_ground_item_slots) {
            g_ground_items[o.entry_ints[0][0]].object = uint16_t(i);
        }
    }
    if (const char_record* hero = char_at(int32_t(g_player_char)))
        g_player_object = hero->object;
}

} // namespace

std::string undo_snapshot_path(uint32_t n)
{
    return std::string(k_undo_folder) + "/" + std::to_string(n);
}

void push_undo_snapshot()
{
    make_folder(k_undo_folder);
    ++g_undo_counter;
    const std::string path = undo_snapshot_path(g_undo_counter);
    packed_stream* out = stream_open(path.c_str(), "w");
    const bool written = out && write_objects_section(out) && write_movemap(out);
    if (!finish_written_file(out, written)) {
        console_log("undo %u: snapshot nezapisany", unsigned(g_undo_counter));
        --g_undo_counter;
        return;
    }
    make_user_writable(path.c_str());
    if (g_undo_counter == 1)
        enable_undo_button(true);
    g_map_dirty = 1;
    if (g_undo_counter > k_undo_kept)
        delete_file(undo_snapshot_path(g_undo_counter - k_undo_kept).c_str());
}

bool undo_snapshot_is_sound(const uint8_t* bytes, size_t size)
{
    size_t at = 0;
    auto u32 = [&](uint64_t* v) {
        if (size - at < 4)
            return false;
        *v = le_u32(bytes + at);
        at += 4;
        return true;
    };
    uint64_t record_size = 0, count = 0, capacity = 0, light_size = 0;
    if (!u32(&record_size) || record_size != k_world_object_size || !u32(&count) || !u32(&capacity) ||
        count > capacity || count > (size - at) / record_size)
        return false;
    at += count * record_size;
    if (!u32(&light_size) || light_size != k_light_record_size || size - at < k_light_slots * light_size)
        return false;
    at += k_light_slots * light_size;
    if (size - at < 8)
        return false;
    const int16_t columns = le_i16(bytes + at + 4);
    const int16_t rows = le_i16(bytes + at + 6);
    at += 8;
    const size_t cells = columns > 0 && rows > 0 ? size_t(columns) * size_t(rows) : 0;
    return size - at == cells;
}

void pop_undo_snapshot()
{
    if (g_undo_counter == 0) {
        enable_undo_button(false);
        return;
    }
    const std::string path = undo_snapshot_path(g_undo_counter);
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path.c_str(), &bytes)) {
        g_undo_counter = 0;
        enable_undo_button(false);
        return;
    }
    if (!undo_snapshot_is_sound(bytes.data(), bytes.size())) {
        console_log("undo %u: snapshot je poskodeny, mazem ho", unsigned(g_undo_counter));
        delete_file(path.c_str());
        --g_undo_counter;
        return;
    }
    packed_stream* in = stream_open(path.c_str(), "r");
    if (!in) {
        g_undo_counter = 0;
        enable_undo_button(false);
        return;
    }
    std::vector<world_object> objects;
    if (read_snapshot_objects(in, &objects))
        restore_objects(std::move(objects));
    read_lights(in);
    read_movemap(in);
    stream_close(in);
    delete_file(path.c_str());
    --g_undo_counter;
    g_map_dirty = 1;
}

void forget_undo_snapshots()
{
    const uint32_t oldest = g_undo_counter > k_undo_kept ? g_undo_counter - k_undo_kept + 1 : 1;
    for (uint32_t n = oldest; n <= g_undo_counter; ++n)
        delete_file(undo_snapshot_path(n).c_str());
    g_undo_counter = 0;
    enable_undo_button(false);
}

void clear_undo_folder()
{
    std::snprintf(g_dir_path, sizeof g_dir_path, "%s", k_undo_folder);
    fill_dir_table("*.*");
    for (uint32_t i = 0; i < g_dir_count; ++i)
        if ((g_dir_entries[i].attributes & k_dir_attr_folder) == 0)
            delete_file((std::string(k_undo_folder) + "/" + g_dir_entries[i].name).c_str());
}
