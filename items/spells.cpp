#include "items/spells.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "items/items.h"
#include "items/template_protos.h"
#include "world/object_protos.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

spell_proto g_spell_protos[k_spell_slots];
int32_t g_spell_proto_count = 0;
table_file_state g_spells_file = {k_spells_file, true, false,
                                  [] { return std::clamp(g_spell_proto_count, 0, k_spell_slots); }};

namespace {

constexpr const char* k_spells_kept = "doterajsie kuzla";
constexpr int16_t k_full_damage_percent = 100;

template <class Io, class Spell>
void spell_proto_fields(Io& io, Spell& s)
{
    io.text(0, s.name, sizeof s.name);
    io.u8(30, s.school);
    io.u8(31, s.pad_31);
    io.i16(32, s.missile_slot);
    io.i16(34, s.explosion_slot);
    io.u16(36, s.pause);
    io.u16(38, s.duration);
    io.u16(40, s.explosion_duration);
    io.u16(42, s.pad_42);
    io.u32(44, s.is_light);
    for (int i = 0; i < 3; ++i)
        io.f32(48 + 4 * i, s.light_colour[i]);
    io.u8(60, s.speed);
    io.bytes(61, s.pad_61, sizeof s.pad_61);
    io.f32(64, s.explosion_scale);
    io.i16(68, s.damage_percent);
    io.i16(70, s.dice_sides);
    io.i16(72, s.damage_bonus);
    io.i16(74, s.mana_cost);
    io.u8(76, s.phase);
    io.u8(77, s.pad_77);
    io.i16(78, s.cast_effect_slot);
    io.u16(80, s.cast_effect_duration);
    io.u16(82, s.pad_82);
    io.f32(84, s.cast_effect_scale);
    io.i16(88, s.cast_effect_shift);
    io.u8(90, s.motion);
    io.u8(91, s.pad_91);
    io.u32(92, s.moves_with_caster);
    io.i16(96, s.height);
    io.i16(98, s.side_offset);
    io.i16(100, s.forward_offset);
    io.u16(102, s.pad_102);
    io.f32(104, s.rotation_speed);
    io.u8(108, s.spread);
    io.u8(109, s.action_anim);
    io.u16(110, s.pad_110);
    io.u32(112, s.cast_sound_count);
    for (int i = 0; i < k_spell_sounds; ++i)
        io.u32(116 + 4 * i, s.cast_sounds[i]);
    io.bytes(136, s.unused_136, sizeof s.unused_136);
    io.text(148, s.sound_name, sizeof s.sound_name);
    io.i16(178, s.glow_slot);
    io.u16(180, s.glow_duration);
    io.u16(182, s.pad_182);
    io.f32(184, s.glow_scale);
    io.u8(188, s.glow_count);
    io.u8(189, s.missiles_per_direction);
    io.u8(190, s.explosion_count);
    io.u8(191, s.cast_effect_count);
    io.u8(192, s.damage_kind);
    io.u8(193, s.rotation);
    io.u8(194, s.volley_size);
    io.u8(195, s.volley_step);
    io.i16(196, s.third_explosion_slot);
    io.u16(198, s.third_explosion_duration);
    io.f32(200, s.third_explosion_scale);
    io.u8(204, s.third_explosion_count);
    io.u8(205, s.pad_205);
    io.i16(206, s.second_explosion_slot);
    io.u16(208, s.second_explosion_duration);
    io.u16(210, s.pad_210);
    io.f32(212, s.second_explosion_scale);
    io.u8(216, s.second_explosion_count);
    io.text(217, s.effect_key, sizeof s.effect_key);
    io.text(247, s.icon, sizeof s.icon);
    io.u8(277, s.pad_277);
    io.u16(278, s.hit_spell);
    io.u8(280, s.level);
    io.u8(281, s.pad_281);
    for (int i = 0; i < k_spell_levels; ++i) {
        io.i16(282 + 2 * i, s.damage_per_level[i]);
        io.i16(298 + 2 * i, s.number_per_level[i]);
        io.i16(314 + 2 * i, s.step_per_level[i]);
        io.i16(330 + 2 * i, s.cost_per_level[i]);
        io.u16(346 + 2 * i, s.spread_per_level[i]);
        io.i16(366 + 2 * i, s.effect_per_level[i]);
    }
    io.bytes(290, s.unused_290, sizeof s.unused_290);
    io.bytes(306, s.unused_306, sizeof s.unused_306);
    io.bytes(322, s.unused_322, sizeof s.unused_322);
    io.bytes(338, s.unused_338, sizeof s.unused_338);
    io.bytes(354, s.unused_354, sizeof s.unused_354);
    io.i16(364, s.item_effect);
    io.bytes(374, s.unused_374, sizeof s.unused_374);
    io.i16(382, s.companion_slot);
    io.u8(384, s.stun_min);
    io.u8(385, s.stun_max);
    io.u16(386, s.pad_386);
    io.u32(388, s.explosion_sound_count);
    for (int i = 0; i < k_spell_sounds; ++i)
        io.u32(392 + 4 * i, s.explosion_sounds[i]);
    io.bytes(412, s.unused_412, sizeof s.unused_412);
    io.u8(424, s.quake_amplitude);
    io.u8(425, s.quake_length);
    io.u16(426, s.pad_426);
}

// One effect of a spell: its file's folder prefix, its prototype key format and its log line.
struct spell_effect_file {
    const char* prefix;
    const char* key_format;
    const char* log_format;
};

constexpr spell_effect_file k_effect_files[k_spell_effects] = {
    {"", "bs_%s", "pridal som kuzlu %s prototyp %d typu %d"},
    {"e_", "%s_e", "pridal som efectu %s prototyp %d typu %d"},
    {"e2_", "%s_e2", "pridal som druhemu efectu %s prototyp %d typu %d"},
    {"e3_", "%s_e3", "pridal som tretiemu efectu %s prototyp %d typu %d"},
    {"ee_", "%s_e4", "pridal som stvrtemu efectu %s prototyp %d typu %d"},
    {"e0_", "%s_e5", "pridal som piatemu efectu %s prototyp %d typu %d"},
    {"strela2_", "%s_e6", "pridal som piatemu efectu %s prototyp %d typu %d"},
};

// The spell ids bound to attunement items: four groups, each a row of four attunement ids and a
// row of the four spell ids.
constexpr int16_t k_spell_attunement_groups[4][2][4] = {
    {{244, 248, 256, 252}, {0, 1, 59, 46}},
    {{245, 249, 257, 253}, {47, 52, 65, 3}},
    {{246, 250, 258, 254}, {51, 53, 73, 50}},
    {{247, 251, 259, 255}, {80, 81, 91, 99}},
};

void encode_spell(const spell_proto& spell, uint8_t* bytes)
{
    record_writer out{bytes};
    spell_proto_fields(out, spell);
}

void decode_spell(const uint8_t* bytes, spell_proto& spell)
{
    record_reader in{bytes};
    spell_proto_fields(in, spell);
}

void set_six_effect_slots(spell_proto& spell, int16_t value)
{
    spell.missile_slot = spell.explosion_slot = spell.cast_effect_slot = value;
    spell.glow_slot = spell.third_explosion_slot = spell.second_explosion_slot = value;
}

// Up to five samples "<prefix><name><k>", k from 0, stopping at the first that does not load;
// each attempt logged with `log_format` (k, slot).
uint32_t load_spell_sounds(const char* prefix, const char* name, uint32_t* sounds, const char* log_format)
{
    uint32_t count = 0;
    for (int k = 0; k < k_spell_sounds; ++k) {
        char sample_name[64];
        std::snprintf(sample_name, sizeof sample_name, "%s%s%d", prefix, name, k);
        int32_t sample = load_sound(sample_name);
        console_log(log_format, k, int(sample));
        if (sample < 0)
            break;
        sounds[count++] = uint32_t(sample);
    }
    return count;
}

void load_sounds_of(spell_proto& spell)
{
    spell.cast_sound_count = spell.explosion_sound_count = 0;
    if (!is_plain_file_name(spell.sound_name)) {
        if (spell.sound_name[0])
            console_log("kuzlo %s: nepovolene meno zvuku %s", spell.name, spell.sound_name);
        return;
    }
    spell.cast_sound_count = load_spell_sounds("c_", spell.sound_name, spell.cast_sounds, "cast snd %d je %d");
    spell.explosion_sound_count =
        load_spell_sounds("e_", spell.sound_name, spell.explosion_sounds, "explosion snd %d je %d");
}

} // namespace

spell_proto* spell_proto_at(int32_t id)
{
    if (id < 0 || id >= std::min(g_spell_proto_count, k_spell_slots))
        return nullptr;
    return &g_spell_protos[id];
}

int16_t* spell_effect_slot(spell_proto& spell, int effect)
{
    int16_t* fields[k_spell_effects] = {&spell.missile_slot,      &spell.explosion_slot,
                                        &spell.cast_effect_slot,  &spell.glow_slot,
                                        &spell.third_explosion_slot, &spell.second_explosion_slot,
                                        &spell.companion_slot};
    return effect >= 0 && effect < k_spell_effects ? fields[effect] : nullptr;
}

bool read_spell_protos(packed_stream* stream, table_file_contents* found)
{
    if (!stream)
        return false;
    int32_t count = 0;
    uint32_t size = 0;
    if (!read_table_head(stream, k_spells_file, k_spells_kept, k_spell_slots, &count, &size))
        return false;
    table_file_contents scratch;
    found = found ? found : &scratch;
    found->named_records = count;
    auto bytes = std::make_unique<uint8_t[][k_spell_proto_size]>(size_t(std::max(count, 1)));
    for (int32_t i = 0; i < count; ++i) {
        encode_spell(g_spell_protos[i], bytes[size_t(i)]);
        if (!read_stored_record(stream, bytes[size_t(i)], k_spell_proto_size, size)) {
            const std::string where = "konci v kuzle " + std::to_string(i) + " z " + std::to_string(count);
            report_damaged_file(k_spells_file, where.c_str(), k_spells_kept);
            return false;
        }
        found->whole_records = i + 1;
    }
    for (int32_t i = 0; i < count; ++i)
        decode_spell(bytes[size_t(i)], g_spell_protos[i]);
    g_spell_proto_count = count;
    return true;
}

bool write_spell_protos(packed_stream* stream)
{
    if (!stream)
        return false;
    int32_t count = std::clamp(g_spell_proto_count, 0, k_spell_slots);
    if (stream_write_u32le(uint32_t(count), stream) < 0 || stream_write_u32le(k_spell_proto_size, stream) < 0)
        return false;
    return write_table_records<k_spell_proto_size>(
        stream, uint32_t(count), [](uint32_t i, uint8_t* bytes) { encode_spell(g_spell_protos[i], bytes); });
}

void load_spells()
{
    bool missing = false;
    packed_stream* in = open_data_file(k_spells_file, k_spells_kept, &missing);
    if (!in) {
        table_file_read(g_spells_file, missing);
        return;
    }
    table_file_contents found;
    const bool read = read_spell_protos(in, &found);
    found.bytes_after = close_read_file(in, read, k_spells_file);
    table_file_read(g_spells_file, read && found.bytes_after == 0, found);
    if (!read)
        return;
    for (int32_t i = 0; i < g_spell_proto_count; ++i) {
        spell_proto& spell = g_spell_protos[i];
        set_six_effect_slots(spell, k_spell_no_slot);
        load_spell_effects(spell);
        if (spell.damage_percent < k_spell_min_damage_percent)
            spell.damage_percent = k_full_damage_percent;
    }
    for (int32_t i = 0; i < g_spell_proto_count; ++i)
        load_sounds_of(g_spell_protos[i]);
}

bool save_spells()
{
    packed_stream* out = stream_open(k_spells_file, "wp");
    bool written = write_spell_protos(out);
    if (!finish_written_file(out, written)) {
        console_log("%s: the write failed, the old file stays", k_spells_file);
        return false;
    }
    return true;
}

void reset_spell_proto(spell_proto& spell)
{
    copy_bounded(spell.name, sizeof spell.name, "new");
    spell.school = k_school_fire;
    set_six_effect_slots(spell, k_spell_no_slot);
    spell.light_colour[0] = spell.light_colour[1] = spell.light_colour[2] = 1.0f;
    spell.speed = 8;
    spell.explosion_scale = spell.cast_effect_scale = spell.glow_scale = 1.0f;
}

void load_spell_effects(spell_proto& spell)
{
    for (int e = 0; e < k_spell_effects; ++e)
        *spell_effect_slot(spell, e) = k_spell_no_slot;
    if (!is_plain_file_name(spell.effect_key)) {
        if (spell.effect_key[0])
            console_log("kuzlo %s: nepovoleny kluc efektu %s", spell.name, spell.effect_key);
        return;
    }
    for (int e = 0; e < k_spell_effects; ++e) {
        const spell_effect_file& f = k_effect_files[e];
        char key[k_proto_name_size];
        std::snprintf(key, sizeof key, f.key_format, spell.effect_key);
        bool found = false;
        int32_t slot = scan_template_protos(key, &found);
        if (found) {
            *spell_effect_slot(spell, e) = int16_t(slot);
            continue;
        }
        char path[128];
        std::snprintf(path, sizeof path, "data/spell/%s%s.pr", f.prefix, spell.effect_key);
        if (file_exists(path) != 1) {
            report_missing_file_once(path, "kuzlo bez tohto efektu");
            continue;
        }
        if (slot < 0 || !read_template_proto(slot, path, key))
            continue;
        *spell_effect_slot(spell, e) = int16_t(slot);
        console_log(f.log_format, spell.name, int(slot), int(g_object_protos[slot].kind));
    }
}

void free_spell_effects(spell_proto& spell)
{
    for (int e = 0; e < k_spell_effects; ++e) {
        int16_t* field = spell_effect_slot(spell, e);
        if (*field < k_proto_first_template)
            continue;
        if (*field < k_proto_slots) {
            object_proto& p = g_object_protos[*field];
            free_object_proto(&p, *field);
            p.kind = k_proto_free;
        }
        *field = k_spell_no_slot;
    }
}

int32_t find_spell_attunement(int32_t spell)
{
    for (const auto& group : k_spell_attunement_groups)
        for (int i = 0; i < 4; ++i)
            if (group[1][i] == spell)
                return group[0][i];
    return -1;
}

int32_t element_attunement(int32_t tier, int32_t element)
{
    if (tier < 0 || tier >= 4 || element < 0 || element >= 4)
        return -1;
    return k_spell_attunement_groups[tier][0][element];
}

int32_t find_item_proto_by_name(const char* text)
{
    if (!text)
        return -1;
    for (int32_t i = 0; i < std::min(g_item_proto_count, k_item_slots); ++i)
        if (std::strcmp(g_item_protos[i].display_name, text) == 0)
            return i;
    return -1;
}

bool spell_cost(int32_t spell, int32_t* mana_cost, uint32_t* pause)
{
    const spell_proto* s = spell_proto_at(spell);
    if (!s)
        return false;
    *mana_cost = s->mana_cost;
    *pause = s->pause;
    return true;
}

bool spell_cast_frame(int32_t spell, int32_t* frame)
{
    const spell_proto* s = spell_proto_at(spell);
    if (!s)
        return false;
    *frame = s->phase;
    return true;
}
