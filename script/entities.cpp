#include "script/entities.h"

#include "core/console_log.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>

entity_record g_entities[k_entity_slots];
uint32_t g_entity_count = 0;
uint16_t g_entity_object_lists[k_entity_slots][k_entity_max_objects];

namespace {

// The 100-byte record of the level map file.
template <class Io, class Entity>
void entity_fields(Io& io, Entity& e)
{
    io.u32(0, e.reserved0);
    io.u8(4, e.type);
    io.u8(5, e.state);
    io.text(6, e.name, k_entity_name_size);
    io.u8(26, e.object_count);
    io.u8(27, e.reserved27);
    io.u32(28, e.object_list);
    io.bytes(32, e.reserved32, 4);
    io.u32(36, e.run_word36);
    io.bytes(40, e.reserved40, 4);
    io.u32(44, e.run_word44);
    io.i16(48, e.sector);
    io.bytes(50, e.reserved50, 2);
    io.u32(52, e.due_tick);
    io.u8(56, e.inside);
    io.u8(57, e.reserved57);
    io.i16(58, e.value);
    io.i16(60, e.link);
    io.i16(62, e.description);
    for (uint32_t k = 0; k < k_entity_memory_slots; ++k)
        io.i16(64 + 2 * k, e.memory[k]);
    io.i16(80, e.container);
    io.i16(82, e.interval);
    io.i16(84, e.spell);
    io.bytes(86, e.reserved86, 2);
    io.u32(88, e.dream_only);
    io.bytes(92, e.reserved92, 4);
    io.i16(96, e.key_item);
    io.bytes(98, e.reserved98, 2);
}

bool is_sound_type(uint8_t type)
{
    return type == k_entity_loop_sound || type == k_entity_random_sound || type == k_entity_loop_sound_day ||
           type == k_entity_loop_sound_night;
}

void reset_run_time_fields(entity_record* e)
{
    e->run_word36 = 0;
    e->run_word44 = 0;
    e->due_tick = 0;
    e->object_count = 0;
    e->inside = 0;
    e->object_list = 0;
    std::memset(e->memory, 0, sizeof e->memory);
    if (is_sound_type(e->type))
        e->link = int16_t(load_sound(e->name));
}

} // namespace

uint16_t* entity_objects(const entity_record* entity)
{
    if (entity->object_list == 0 || entity->object_list > k_entity_slots)
        return nullptr;
    return g_entity_object_lists[entity->object_list - 1];
}

void clear_entity_object_counts()
{
    for (entity_record& e : g_entities)
        e.object_count = 0;
}

void add_entity_object(int32_t entity, int32_t index)
{
    if (entity < 0 || entity >= k_entity_slots)
        return;
    entity_record& e = g_entities[entity];
    if (!entity_objects(&e))
        e.object_list = uint32_t(entity) + 1;  // each entity has a row of its own
    if (e.object_count >= k_entity_max_objects)
        return;
    entity_objects(&e)[e.object_count++] = uint16_t(index);
    if (g_objects && index >= 0 && uint32_t(index) < g_object_count)
        g_objects[index].entry_ints[0][0] = -1;
}

int32_t add_entity(const char* name, uint8_t type, uint8_t state)
{
    if (g_entity_count >= uint32_t(k_entity_slots)) {
        console_log("entities: the table is full, %s not added", name ? name : "");
        return -1;
    }
    entity_record& e = g_entities[g_entity_count];
    e = entity_record{};
    e.type = type;
    e.state = state;
    e.sector = -1;
    e.link = -1;
    copy_bounded(e.name, sizeof e.name, name ? name : "");
    return int32_t(g_entity_count++);
}

void remove_entity(int32_t index)
{
    if (index < 0 || uint32_t(index) >= g_entity_count)
        return;
    g_entities[index].state = 0;
    for (uint32_t i = uint32_t(index); i + 1 < g_entity_count; ++i)
        g_entities[i] = g_entities[i + 1];
    --g_entity_count;
    for (uint32_t i = uint32_t(index); i <= g_entity_count; ++i) {
        g_entities[i].object_list = 0;
        g_entities[i].object_count = 0;
    }
}

void remove_entity_object(int32_t entity, int32_t index)
{
    if (entity < 0 || entity >= k_entity_slots)
        return;
    entity_record& e = g_entities[entity];
    uint16_t* list = entity_objects(&e);
    if (!list)
        return;
    uint16_t* end = list + std::min<int>(e.object_count, k_entity_max_objects);
    uint16_t* found = std::find(list, end, uint16_t(index));
    if (found == end)
        return;
    std::copy(found + 1, end, found);
    --e.object_count;
}

bool entity_objects_hidden(int32_t entity)
{
    return entity >= 0 && entity < k_entity_slots && uint32_t(entity) < g_entity_count &&
           g_entities[entity].state == 0;
}

void link_entities_to_objects()
{
    g_object_links.clear_entity_objects = clear_entity_object_counts;
    g_object_links.add_entity_object = add_entity_object;
    g_object_links.entity_hidden = entity_objects_hidden;
}

bool write_entities(packed_stream* stream)
{
    if (!stream)
        return false;
    uint32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    if (stream_write_u32le(k_entity_record_size, stream) < 0 || stream_write_u32le(count, stream) < 0)
        return false;
    return write_table_records<k_entity_record_size>(stream, count, [](uint32_t i, uint8_t* bytes) {
        entity_record stored = g_entities[i];
        stored.object_list = 0;
        record_writer out{bytes};
        entity_fields(out, stored);
    });
}

bool read_entities(packed_stream* stream)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    int64_t count = stored_size < 0 ? -1 : stream_read_u32le(stream);
    if (count < 0) {
        console_log("entities: the section is missing; the entities are kept");
        return false;
    }
    int32_t stored_count = int32_t(uint32_t(count));
    if (stored_count < 0)
        console_log("entities: count %d read as 0", stored_count);
    else if (stored_count > k_entity_slots)
        console_log("entities: %d stored, the first %d kept", stored_count, k_entity_slots);
    for (entity_record& e : g_entities)
        e.object_list = 0;  // every object list is free again
    table_read got = read_table_records<k_entity_record_size>(
        stream, uint32_t(stored_size), uint64_t(std::max(stored_count, 0)), k_entity_slots, nullptr,
        [](uint32_t i, const uint8_t* bytes) {
            record_reader in{bytes};
            entity_fields(in, g_entities[i]);
            reset_run_time_fields(&g_entities[i]);
        });
    g_entity_count = got.kept;
    if (!got.complete)
        console_log("entities: the section ends early; %u entities read", got.kept);
    return got.complete;
}
