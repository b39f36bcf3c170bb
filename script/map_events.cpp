#include "script/map_events.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "core/utilities.h"
#include "engine/record_io.h"

#include <algorithm>
#include <cstring>

event_record g_events[k_event_slots];
uint32_t g_event_count = 0;
uint32_t g_event_left_latch = 0;
uint32_t g_event_right_latch = 0;

namespace {

// The 980-byte record of the level map file.
template <class Io, class Event>
void event_fields(Io& io, Event& e)
{
    io.u8(0, e.state);
    io.text(1, e.name, k_event_name_size);
    io.i32(24, e.reserved);
    io.u32(28, e.condition_count);
    io.u32(504, e.action_count);
    for (uint32_t k = 0; k < k_event_parts; ++k) {
        io.u32(32 + 4 * k, e.condition_kind[k]);
        io.u32(508 + 4 * k, e.action_kind[k]);
        for (uint32_t v = 0; v < k_event_part_values; ++v) {
            uint32_t at = 4 * (k * k_event_part_values + v);
            io.u32(52 + at, e.condition_value[k][v]);
            io.i32(152 + at, e.condition_number[k][v]);
            io.f32(528 + at, e.action_coord[k][v]);
            io.i32(628 + at, e.action_number[k][v]);
        }
        io.text(252 + k_event_text_size * k, e.condition_text[k], k_event_text_size);
        io.text(728 + k_event_text_size * k, e.action_text[k], k_event_text_size);
    }
    io.bytes(502, e.reserved502, 2);
    io.bytes(978, e.reserved978, 2);
}

} // namespace

void clear_event(event_record* event)
{
    event->state = 0;
    event->reserved = -1;
    event->condition_count = 0;
    event->action_count = 0;
}

void init_event(event_record* event, const char* name)
{
    event->state = 1;
    copy_bounded(event->name, sizeof event->name, name ? name : "");
    event->condition_count = 0;
    event->action_count = 0;
}

namespace {

// The next free slot of a condition or action list, or -1 when four are used.
int32_t next_part(uint32_t count)
{
    return count < 4 ? int32_t(count) : -1;
}

template <class T>
void copy_row(T* row, const T* values, int count)
{
    for (int v = 0; values && v < std::min(count, k_event_part_values); ++v)
        row[v] = values[v];
}

} // namespace

bool add_event_condition(event_record* event, uint32_t kind, const int32_t* numbers, int number_count,
                         const uint32_t* values, int value_count)
{
    const int32_t k = next_part(event->condition_count);
    if (k < 0)
        return false;
    event->condition_kind[k] = kind;
    copy_row(event->condition_number[k], numbers, number_count);
    copy_row(event->condition_value[k], values, value_count);
    ++event->condition_count;
    return true;
}

bool add_event_action(event_record* event, uint32_t kind, const int32_t* numbers, int number_count,
                      const float* coords, int coord_count)
{
    const int32_t k = next_part(event->action_count);
    if (k < 0)
        return false;
    event->action_kind[k] = kind;
    copy_row(event->action_number[k], numbers, number_count);
    copy_row(event->action_coord[k], coords, coord_count);
    ++event->action_count;
    return true;
}

event_record* append_event(const char* name)
{
    if (g_event_count >= k_event_slots) {
        console_log("map events: the table is full, \"%s\" not added", name ? name : "");
        return nullptr;
    }
    event_record* event = &g_events[g_event_count++];
    init_event(event, name);
    return event;
}

void remove_event_at(int32_t i)
{
    const int32_t count = int32_t(std::min<uint32_t>(g_event_count, k_event_slots));
    if (i < 0 || i >= count)
        return;
    std::copy(g_events + i + 1, g_events + count, g_events + i);
    clear_event(&g_events[count - 1]);
    g_event_count = uint32_t(count - 1);
}

void remove_event_named(const char* name)
{
    const int32_t count = int32_t(std::min<uint32_t>(g_event_count, k_event_slots));
    for (int32_t i = 0; name && i < count; ++i)
        if (strncmp(g_events[i].name, name, sizeof g_events[i].name) == 0 &&
            std::strlen(name) < sizeof g_events[i].name) {
            remove_event_at(i);
            return;
        }
}

bool write_events(packed_stream* stream)
{
    if (!stream)
        return false;
    uint32_t count = std::min<uint32_t>(g_event_count, k_event_slots);
    if (stream_write_u32le(k_event_record_size, stream) < 0 || stream_write_u32le(count, stream) < 0)
        return false;
    return write_table_records<k_event_record_size>(stream, count, [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        event_fields(out, g_events[i]);
    });
}

bool read_events(packed_stream* stream)
{
    if (!stream)
        return false;
    for (uint32_t i = 0; i < std::min<uint32_t>(g_event_count, k_event_slots); ++i)
        clear_event(&g_events[i]);
    g_event_count = 0;

    int64_t stored_size = stream_read_u32le(stream);
    int64_t count = stored_size < 0 ? -1 : stream_read_u32le(stream);
    if (count < 0) {
        console_log("map events: the section is missing");
        return false;
    }
    event_record blank_record{};
    clear_event(&blank_record);
    uint8_t blank[k_event_record_size];
    record_writer blank_out{blank};
    event_fields(blank_out, blank_record);

    table_read got = read_table_records<k_event_record_size>(
        stream, uint32_t(stored_size), uint64_t(count), k_event_slots, blank,
        [](uint32_t i, const uint8_t* bytes) {
            record_reader in{bytes};
            event_fields(in, g_events[i]);
        });
    g_event_count = got.kept;
    if (count > k_event_slots)
        console_log("map events: %lld stored, the first %d kept", static_cast<long long>(count), k_event_slots);
    if (!got.complete)
        console_log("map events: the section ends early; %u events read", got.kept);
    return got.complete;
}
