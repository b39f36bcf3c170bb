#include "items/ground_items.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/items.h"
#include "world/movement_map.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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

constexpr int32_t k_ground_cell = 24;
constexpr int32_t k_search_radius = 100;
constexpr int32_t k_search_directions[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

int16_t clamp16(int32_t v)
{
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

// The start, or the first free cell of the rings around it that the movement map leaves free.
void find_free_cell(int16_t* x, int16_t* y)
{
    if (ground_cell_free(*x, *y))
        return;
    for (int32_t r = 1; r <= k_search_radius; ++r)
        for (const auto& d : k_search_directions) {
            const int16_t cx = clamp16(*x + d[0] * k_ground_cell * r);
            const int16_t cy = clamp16(*y + d[1] * k_ground_cell * r);
            if (ground_cell_free(cx, cy) && is_cell_free(&g_movement_map, cx, cy)) {
                *x = cx;
                *y = cy;
                return;
            }
        }
}

} // namespace

void init_ground_item(ground_item* record, uint16_t item, int16_t amount, int16_t x, int16_t y, uint16_t element)
{
    record->item = item;
    record->amount = amount;
    record->x = x;
    record->y = y;
    record->element = element;
    record->state = k_ground_item_dropped;
}

bool ground_cell_free(int16_t x, int16_t y)
{
    const int32_t count = std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
    for (int32_t i = 0; i < count; ++i)
        if (g_ground_items[i].state != k_ground_item_free && g_ground_items[i].x == x && g_ground_items[i].y == y)
            return false;
    return true;
}

void drop_ground_item(uint16_t item, uint16_t amount, int16_t cell_x, int16_t cell_y, bool at_character,
                      uint16_t owner, uint16_t element)
{
    const item_proto* p = item_proto_at(item);
    if (!p) {
        console_log("ground item %u: no such item", unsigned(item));
        return;
    }
    int16_t x = 1, y = 1;
    if (!at_character) {
        x = clamp16(cell_x * k_ground_cell);
        y = clamp16(cell_y * k_ground_cell);
        find_free_cell(&x, &y);
    }
    const int32_t count = std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
    int32_t i = 0;
    while (i < count && g_ground_items[i].state != k_ground_item_free)
        ++i;
    if (i == count) {
        if (count >= k_ground_item_max_count)
            return;
        g_ground_item_count = int16_t(count + 1);
    }
    ground_item& g = g_ground_items[i];
    g.owner = owner;
    init_ground_item(&g, item, p->item_class == k_item_gold ? int16_t(amount) : int16_t(1), x, y, element);
}

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
