// Section 7 of the level map file: the world objects and the lights.
#include "level/level_map.h"

#include "core/console_log.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "level/level_links.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t k_entry_kind_clears_fifth = 9;
// Records a level keeps at most: ten blocks of 15,000.
constexpr uint32_t k_max_level_objects = 10 * k_object_growth;

// A record the reader turns into a free slot: not in use, of no prototype, or of a class that is
// never kept from a file (weather members, item models attached to characters, pinned objects).
bool read_as_free(const world_object& o)
{
    return o.state == 0 || o.proto < 0 || o.object_class != k_class_ordinary;
}

// A record the reader keeps: one not read as free whose prototype is one of the level's
// `protos` prototypes. A record of any other prototype (a template's particle or effect) ends the
// section.
bool kept_from_file(const world_object& o, uint32_t protos = g_object_proto_count)
{
    return !read_as_free(o) && uint32_t(o.proto) < protos;
}

// A record that is not kept from a file.
void make_free(world_object& o)
{
    std::memset(&o, 0, sizeof o);
    o.layer = k_free_layer;
    o.next_anim_tick = 0;
    o.object_class = k_class_ordinary;
}

// The run-time fields of a kept record as a freshly read level wants them.
void bring_to_loaded_state(world_object& o)
{
    if (o.reserved == 0.0f)
        o.reserved = 1.0f;
    o.next_anim_tick = o.next_behaviour_tick = o.next_drift_tick = o.next_particle_tick = 0;
    o.object_class = k_class_ordinary;
    o.owner = k_no_owner;
    int32_t entries = std::clamp(o.entry_count, 0, 5);
    for (int32_t e = 0; e < entries; ++e)
        if (o.entry_kinds[e] == k_entry_kind_clears_fifth)
            o.entry_ints[e][4] = 0;
}

// Appends a record read from the file, growing the array by one block when it is full.
bool append_read_object(const world_object& o)
{
    if (g_object_count == g_object_capacity && !grow_objects())
        return false;
    g_objects[g_object_count++] = o;
    return true;
}

void finish_objects()
{
    run_hook(g_level_links.clear_char_objects, "clear_char_objects");
    run_hook(g_level_links.forget_player_object, "forget_player_object");
    g_objects_drawn = 0;
    sort_and_trim_objects();
}

} // namespace

bool write_objects_section(packed_stream* stream)
{
    if (!stream)
        return false;
    uint32_t count = g_objects ? g_object_count : 0;
    if (stream_write_u32le(k_world_object_size, stream) < 0 || stream_write_u32le(count, stream) < 0 ||
        stream_write_u32le(g_object_capacity, stream) < 0)
        return false;
    // Every record keeps its slot; one the reader would not keep is written as a free slot.
    bool written = write_table_records<k_world_object_size>(stream, count, [](uint32_t i, uint8_t* bytes) {
        world_object o = g_objects[i];
        if (!kept_from_file(o))
            make_free(o);
        encode_world_object(o, bytes);
    });
    return written && write_lights(stream);
}

bool read_objects_section(packed_stream* stream)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    int64_t count = stored_size < 0 ? -1 : stream_read_u32le(stream);
    int64_t capacity = count < 0 ? -1 : stream_read_u32le(stream);
    reserve_objects(0);
    if (capacity < 0) {
        console_log("objekty: chyba hlavicka");
        return false;
    }

    // The array grows as records arrive, so a stored count promises no memory; records of no
    // bytes hold nothing to keep.
    if (stored_size == 0)
        count = 0;
    bool complete = true;
    bool stopped = false;
    for (int64_t i = 0; i < count; ++i) {
        if (i == k_max_level_objects) {
            console_log("objektov %lld, beriem %u", static_cast<long long>(count), unsigned(k_max_level_objects));
            complete = skip_stream_bytes(stream, uint64_t(count - i) * uint64_t(stored_size));
            break;
        }
        uint8_t bytes[k_world_object_size] = {};
        if (!read_stored_record(stream, bytes, k_world_object_size, uint32_t(stored_size))) {
            console_log("objekty: sekcia konci po %lld z %lld", static_cast<long long>(i), static_cast<long long>(count));
            complete = false;
            break;
        }
        world_object o;
        decode_world_object(bytes, &o);
        if (read_as_free(o)) {
            make_free(o);
        } else if (!kept_from_file(o)) {
            console_log("objekt %lld: prototyp %d nie je v leveli, zvysok objektov vynechavam", static_cast<long long>(i),
                        int(o.proto));
            stopped = true;
            complete = skip_stream_bytes(stream, uint64_t(count - i - 1) * uint64_t(stored_size));
            break;
        } else {
            bring_to_loaded_state(o);
        }
        if (!append_read_object(o)) {
            complete = false;
            break;
        }
    }
    console_log("objecty ok");

    if (complete)
        complete = read_lights(stream);
    else
        console_log("svetla necitam");
    console_log("svetla ok");
    finish_objects();
    console_log("Uspesne som nacital mapu");
    return complete && !stopped;
}

bool skip_objects_section(packed_stream* stream, uint32_t protos)
{
    const int64_t stored_size = stream ? stream_read_u32le(stream) : -1;
    int64_t count = stored_size < 0 ? -1 : stream_read_u32le(stream);
    if (count < 0 || stream_read_u32le(stream) < 0)
        return false;
    if (stored_size == 0)
        count = 0;
    for (int64_t i = 0; i < count; ++i) {
        if (i == k_max_level_objects)
            return skip_stream_bytes(stream, uint64_t(count - i) * uint64_t(stored_size)) && skip_lights(stream);
        uint8_t bytes[k_world_object_size] = {};
        if (!read_stored_record(stream, bytes, k_world_object_size, uint32_t(stored_size)))
            return false;
        world_object o;
        decode_world_object(bytes, &o);
        if (!read_as_free(o) && !kept_from_file(o, protos))
            return false;
    }
    return skip_lights(stream);
}
