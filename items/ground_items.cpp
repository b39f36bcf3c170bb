#include "items/ground_items.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <algorithm>

ground_item g_ground_items[k_ground_item_slots];
int16_t g_ground_item_count = 0;

namespace {

// The 16-byte record of level, change and save files.
template <class Io, class Item>
void ground_item_fields(Io& io, Item& g)
{
    io.u8(0, g.state);
    io.u8(1, g.reserved1);
    io.u16(2, g.item);
    io.u16(4, g.object);
    io.i16(6, g.amount);
    io.i16(8, g.x);
    io.i16(10, g.y);
    io.u16(12, g.owner);
    io.u16(14, g.element);
}

} // namespace

bool save_ground_items(packed_stream* stream)
{
    if (!stream)
        return false;
    int16_t count = int16_t(std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots));
    if (stream_write_u32le(k_ground_item_record_size, stream) < 0 || stream_write_u16le(uint16_t(count), stream) < 0)
        return false;
    return write_table_records<k_ground_item_record_size>(stream, uint32_t(count), [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        ground_item_fields(out, g_ground_items[i]);
    });
}

bool load_ground_items(packed_stream* stream)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    if (stored_size < 0) {
        console_log("ground items: the section is missing; the items are kept");
        return false;
    }
    int value = stream_read_u16le(stream);
    if (value < 0) {
        console_log("ground items: the section ends before its count; no ground items");
        g_ground_item_count = 0;
        return false;
    }
    int32_t count = int16_t(value);
    if (count < 0)
        console_log("ground items: count %d read as 0", int(count));
    else if (count > k_ground_item_slots)
        console_log("ground items: %d stored, the first %d kept", int(count), k_ground_item_slots);

    ground_item blank_item{};
    blank_item.element = k_ground_item_no_element;
    uint8_t blank[k_ground_item_record_size];
    record_writer blank_out{blank};
    ground_item_fields(blank_out, blank_item);

    table_read got = read_table_records<k_ground_item_record_size>(
        stream, uint32_t(stored_size), uint64_t(std::max(count, 0)), k_ground_item_slots, blank,
        [](uint32_t i, const uint8_t* bytes) {
            ground_item& g = g_ground_items[i];
            record_reader in{bytes};
            ground_item_fields(in, g);
            if (g.state == k_ground_item_lying)
                g.state = k_ground_item_dropped;
        });
    g_ground_item_count = int16_t(got.kept);
    if (!got.complete)
        console_log("ground items: the section ends early; %u items read", got.kept);
    return got.complete;
}
