#include "items/ground_items.h"

#include "characters/char_inventory.h"
#include "characters/char_movement.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/items.h"
#include "platform/random.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

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
constexpr int32_t k_search_directions[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
// Rings that must hold a cell without a record when the map has no cells: 999 records fill at
// most 999 candidates, and the first 125 rings hold 1,000.
constexpr int32_t k_search_rings_without_map = 126;
constexpr int32_t k_movemap_cell = 32;

constexpr uint8_t k_ground_item_layer = 20;
constexpr int32_t k_ground_item_anim_mode = 1;
constexpr int32_t k_ground_item_frame_delay = 10;

int16_t clamp16(int32_t v)
{
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

// The rings after which every candidate of the search from (x, y) lies outside the movement map.
int32_t search_ring_limit(int32_t x, int32_t y)
{
    const movement_map& m = g_movement_map;
    if (!m.valid || !m.cells || m.columns <= 0 || m.rows <= 0)
        return k_search_rings_without_map;
    const int32_t left = -int32_t(m.origin_column) * k_movemap_cell;
    const int32_t top = -int32_t(m.origin_row) * k_movemap_cell;
    const int32_t right = left + int32_t(m.columns) * k_movemap_cell;
    const int32_t bottom = top + int32_t(m.rows) * k_movemap_cell;
    const int32_t reach = std::max({std::abs(x - left), std::abs(x - right), std::abs(y - top), std::abs(y - bottom)});
    return reach / k_ground_cell + 1;
}

} // namespace

void ground_free_cell(int16_t* x, int16_t* y)
{
    if (ground_cell_free(*x, *y))
        return;
    const int32_t rings = search_ring_limit(*x, *y);
    for (int32_t r = 1; r <= rings; ++r)
        for (const auto& d : k_search_directions) {
            const int32_t cx = *x + d[0] * k_ground_cell * r;
            const int32_t cy = *y + d[1] * k_ground_cell * r;
            if (cx != clamp16(cx) || cy != clamp16(cy))
                continue;
            if (ground_cell_free(int16_t(cx), int16_t(cy)) && is_cell_free(&g_movement_map, cx, cy)) {
                *x = int16_t(cx);
                *y = int16_t(cy);
                return;
            }
        }
    console_log("ground item: no free cell around %d, %d; it stays there", int(*x), int(*y));
}

namespace {
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

bool drop_ground_item(uint16_t item, uint16_t amount, int16_t cell_x, int16_t cell_y, bool at_character,
                      uint16_t owner, uint16_t element)
{
    const item_proto* p = item_proto_at(item);
    if (!p) {
        console_log("ground item %u: no such item", unsigned(item));
        return false;
    }
    int16_t x = 1, y = 1;
    if (!at_character) {
        x = clamp16(cell_x * k_ground_cell);
        y = clamp16(cell_y * k_ground_cell);
        ground_free_cell(&x, &y);
    }
    const int32_t count = std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
    int32_t i = 0;
    while (i < count && g_ground_items[i].state != k_ground_item_free)
        ++i;
    if (i == count) {
        if (count >= k_ground_item_max_count) {
            console_log("ground items: the table is full; %s is lost", p->display_name);
            return false;
        }
        g_ground_item_count = int16_t(count + 1);
    }
    ground_item& g = g_ground_items[i];
    g.owner = owner;
    init_ground_item(&g, item, p->item_class == k_item_gold ? int16_t(amount) : int16_t(1), x, y, element);
    return true;
}

world_object* ground_item_object(int32_t index)
{
    if (index < 0 || index >= k_ground_item_slots)
        return nullptr;
    const ground_item& g = g_ground_items[index];
    if ((g.state != k_ground_item_lying && g.state != k_ground_item_taken) || g.object >= g_object_count || !g_objects)
        return nullptr;
    world_object& o = g_objects[g.object];
    if (o.state == 0 || o.entry_count < 1 || o.entry_kinds[0] != k_entry_ground_item || o.entry_ints[0][0] != index)
        return nullptr;
    return &o;
}

void place_ground_item(ground_item* record, int32_t index, bool quiet)
{
    if (record->state != k_ground_item_dropped)
        return;
    const item_proto* p = item_proto_at(record->item);
    if (!p) {
        console_log("ground item %d: item %u is not in the table; the record is freed", int(index),
                    unsigned(record->item));
        record->state = k_ground_item_free;
        return;
    }
    const object_proto* model = p->ground_model == k_item_no_ground_model ? nullptr : proto_at(p->ground_model);
    if (!model || model->kind == k_proto_free)
        return;
    const char_record* player = char_at(int32_t(g_player_char));
    if (record->owner == g_player_char && player && player->anim_action != 0)
        return;
    float ox, oy;
    const char_record* owner = char_at(record->owner);
    if (record->x == 1 && record->y == 1 && owner && char_position(*owner, &ox, &oy)) {
        int16_t x = clamp16(int32_t(ox) / k_ground_cell * k_ground_cell);
        int16_t y = clamp16(int32_t(oy) / k_ground_cell * k_ground_cell);
        ground_free_cell(&x, &y);
        record->x = x;
        record->y = y;
    }
    const int32_t slot = p->ground_model;
    const int32_t object = add_object(float(record->x), float(record->y), slot, 1.0f, 1.0f * g_scene_header.scale, 0,
                                      model->kind == k_proto_particle ? 1 : 0);
    if (object < 0 || uint32_t(object) >= g_object_count) {
        console_log("ground item %d: no world object could be added", int(index));
        return;
    }
    world_object& o = g_objects[object];
    o.x = float(record->x);  // also in the editor's corner modes
    o.y = float(record->y);
    o.has_corners = 0;
    o.layer = k_ground_item_layer;
    o.z = 0.0f;
    o.entry_kinds[0] = k_entry_ground_item;
    o.entry_ints[0][0] = index;
    o.entry_count = std::max(o.entry_count, 1);
    o.frame = model->frame_counts[0] > 0 ? game_rand() % model->frame_counts[0] : 0;
    o.depth_sorted = 1;
    o.anim_mode = k_ground_item_anim_mode;
    o.frame_delay = k_ground_item_frame_delay;
    record->object = uint16_t(object);
    record->state = k_ground_item_lying;
    if (!quiet && player && char_position(*player, &ox, &oy))
        play_item_drop_sound(record->item, ox, oy);
}

void remove_ground_item(ground_item* record)
{
    if (world_object* o = ground_item_object(int32_t(record - g_ground_items)))
        reset_object(o);
    record->state = k_ground_item_dropped;
}

bool pick_up_ground_item(ground_item* record, int32_t character, int32_t index)
{
    char_record* c = char_at(character);
    if (!c || !char_take_item(c, int16_t(record->item), uint32_t(std::max<int16_t>(record->amount, 0)), index))
        return false;
    if (world_object* o = ground_item_object(index))
        reset_object(o);
    record->state = k_ground_item_free;
    float x, y;
    if (char_position(*c, &x, &y))
        play_item_inventory_sound(record->item, x, y);
    return true;
}

void purge_ground_items()
{
    const int32_t count = std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
    for (int32_t i = 0; i < count; ++i)
        if (g_ground_items[i].state == k_ground_item_lying)
            remove_ground_item(&g_ground_items[i]);
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
            if (g.state == k_ground_item_lying || g.state == k_ground_item_taken)
                g.state = k_ground_item_dropped;
        });
    g_ground_item_count = int16_t(got.kept);
    if (!got.complete)
        console_log("ground items: the section ends early; %u items read", got.kept);
    return got.complete;
}
