#include "characters/placements.h"

#include "characters/char_spawning.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

char_placement_list g_char_placements;

namespace {

// The 1,800-byte record of level and change files.
template <class Io, class Placement>
void placement_fields(Io& io, Placement& p)
{
    io.text(0, p.creature_file, k_placement_file_size);
    io.f32(20, p.x);
    io.f32(24, p.y);
    io.f32(28, p.object_alpha);
    io.f32(32, p.scale);
    for (uint32_t k = 0; k < 3; ++k)
        io.f32(36 + 4 * k, p.colour[k]);
    io.i16(48, p.angle);
    io.i16(50, p.angle2);
    io.i16(52, p.angle3);
    io.i16(54, p.char_slot);
    io.i16(56, p.hp);
    io.i16(58, p.mana);
    for (uint32_t k = 0; k < k_placement_script_flags; ++k)
        io.i16(60 + 2 * k, p.script_flags[k]);
    io.i16(76, p.home_sector);
    io.i16(78, p.action_sector);
    io.u8(80, p.world);
    io.bytes(81, p.skills, 4);
    io.u8(85, p.reserved85);
    io.u8(86, p.inv_count);
    io.bytes(87, p.inv_location, k_placement_inventory);
    io.u8(287, p.reserved287);
    for (uint32_t k = 0; k < k_placement_inventory; ++k) {
        io.i16(288 + 2 * k, p.inv_item[k]);
        io.u32(1000 + 4 * k, p.inv_value[k]);
    }
    io.bytes(688, p.inv_damage_type, k_placement_inventory);
    io.i32(888, p.run_speed);
    io.u8(892, p.walk_speed);
    io.bytes(893, p.reserved893, 3);
    io.u32(896, p.random_move);
    io.i16(900, p.ai_distance);
    io.text(902, p.key_name, k_placement_key_size);
    io.i32(924, p.exp);
    io.u8(928, p.reserved928);
    io.u8(929, p.kind);
    io.i16(930, p.monster_class);
    io.text(932, p.display_name, k_placement_display_size);
    io.i16(992, p.level);
    io.i16(994, p.hp_ceiling);
    io.i16(996, p.monster_point);
    io.bytes(998, p.reserved998, 2);
}

bool creature_file_exists(const char_placement& p)
{
    const std::string path = creature_file_path(p.creature_file);
    return !path.empty() && creature_file_found(path.c_str());
}

// Removes placements whose creature file is missing, then the later of placements sharing a live
// slot.
void clean_placements(char_placement_list* list)
{
    for (int32_t i = 0; i < list->count;) {
        if (creature_file_exists(list->entries[i]))
            ++i;
        else
            remove_char_placement_at(list, i);
    }
    for (int32_t i = 0; i < list->count; ++i) {
        int16_t slot = list->entries[i].char_slot;
        if (slot < 0)
            continue;
        for (int32_t j = i + 1; j < list->count;) {
            if (list->entries[j].char_slot == slot)
                remove_char_placement_at(list, j);
            else
                ++j;
        }
    }
}

} // namespace

void remove_char_placement_at(char_placement_list* list, int32_t index)
{
    int32_t count = std::clamp<int32_t>(list->count, 0, k_placement_slots);
    if (index < 0 || index >= count)
        return;
    std::memmove(&list->entries[index], &list->entries[index + 1],
                 sizeof(char_placement) * size_t(count - index - 1));
    std::memset(&list->entries[count - 1], 0, sizeof(char_placement));
    list->count = int16_t(count - 1);
}

bool write_char_placements(packed_stream* stream)
{
    if (!stream)
        return false;
    update_all_placements(&g_char_placements);
    int16_t count = int16_t(std::clamp<int32_t>(g_char_placements.count, 0, k_placement_slots));
    if (g_editor_enabled)
        for (int32_t i = 0; i < count; ++i)
            std::memset(g_char_placements.entries[i].script_flags, 0, sizeof g_char_placements.entries[i].script_flags);
    if (stream_write_u32le(k_placement_record_size, stream) < 0 || stream_write_u16le(uint16_t(count), stream) < 0)
        return false;
    return write_table_records<k_placement_record_size>(stream, uint32_t(count), [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        placement_fields(out, g_char_placements.entries[i]);
    });
}

void forget_level_chars()
{
    g_char_count = k_global_char_slots;
    g_char_placements.count = 0;
}

bool read_char_placements(packed_stream* stream)
{
    if (!stream)
        return false;
    forget_level_chars();
    console_log("citam info zo subora");
    int64_t stored_size = stream_read_u32le(stream);
    int value = stored_size < 0 ? -1 : stream_read_u16le(stream);
    if (value < 0) {
        console_log("character placements: the section is missing");
        return false;
    }
    int32_t count = int16_t(value);
    console_log("num ch info je %d", int(count));
    if (count < 0)
        console_log("character placements: count %d read as 0", int(count));
    else if (count > k_placement_slots)
        console_log("character placements: %d stored, the first %d kept", int(count), k_placement_slots);

    table_read got = read_table_records<k_placement_record_size>(
        stream, uint32_t(stored_size), uint64_t(std::max(count, 0)), k_placement_slots, nullptr,
        [](uint32_t i, const uint8_t* bytes) {
            char_placement& p = g_char_placements.entries[i];
            record_reader in{bytes};
            placement_fields(in, p);
            if (p.inv_count > k_placement_inventory) {
                console_log("character placement %s: %d inventory entries held to %d", p.creature_file,
                            int(p.inv_count), k_placement_inventory);
                p.inv_count = k_placement_inventory;
            }
        });
    g_char_placements.count = int16_t(got.kept);
    if (!got.complete)
        console_log("character placements: the section ends early; %u placements read", got.kept);
    clean_placements(&g_char_placements);
    return got.complete;
}
