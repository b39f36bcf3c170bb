#include "characters/char_table.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_stats.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "platform/random.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

char_record g_chars[k_char_slots];
uint32_t g_char_count = 0;
uint32_t g_player_char = 0;
int32_t g_player_object = -1;

namespace {

constexpr const char* k_characters_kept = "doterajsie postavy";
constexpr const char* k_char_file_kept = "postava ako bola";

constexpr uint8_t k_no_interior = 255;
constexpr uint8_t k_no_variant = 255;
constexpr uint8_t k_char_layer = 20;
constexpr int32_t k_corpse_mode = k_anim_once;
constexpr uint32_t k_speech_ticks = 400;
constexpr uint32_t k_think_delay = 800;
constexpr int32_t k_object_angle = 45;
constexpr int32_t k_object_angle_b = 220;
constexpr float k_object_scale = 0.7f;

// A character entering the world: its attunements, item effects and equipment.
void apply_inventory_on_add(char_record* c)
{
    char_sync_attunements(c);
    char_apply_item_effects(c);
    char_refresh_equipment(c);
}

bool valid_slot(int32_t slot)
{
    return slot >= 0 && slot < k_char_slots;
}

// A new world object for the character at (x, y); any object of its own is freed first.
void place_object(char_record* c, int32_t slot, float x, float y)
{
    c->slot = int16_t(slot);
    if (world_object* old = world_object_of(*c))
        reset_object(old);
    int32_t index = add_object(x, y, -2 - slot, 1.0f, k_object_scale, k_object_angle, 0);
    world_object& o = g_objects[index];
    o.angle_b = k_object_angle_b;
    o.angle_c = 0;
    o.layer = k_char_layer;
    o.state = 1;
    o.anim_mode = k_anim_loop;
    o.next_anim_tick = 0;
    c->object = index;
}

// What putting a character into the world shares between a new placement and a rebuild: the
// object, the run-time fields, the clips, the light and the state counters. `action` is the
// action running afterwards.
void enter_world(char_record* c, int32_t slot, float x, float y, uint8_t action)
{
    place_object(c, slot, x, y);
    c->pos_x = x;
    c->pos_y = y;
    c->loot_container = -1;
    c->interior = k_no_interior;
    c->last_step_ms = c->next_attack_tick = c->selected_spell = c->state = c->pending_action = 0;
    c->reserved_word_2024 = c->stance = c->stance_until = c->following_cursor = c->next_regen_tick = 0;
    c->reserved_word_4232 = 0;
    c->light = k_no_light;
    c->running = 1;
    c->anim_set = 1;
    c->anim_action = 0;
    clear_char_clips(c);
    std::fill(std::begin(c->focus_cooldown), std::end(c->focus_cooldown), 0u);

    load_char_anims(c, c->anim_set, true);
    apply_inventory_on_add(c);
    if (c->clip_stand[0] >= 0 || c->clip_attack[0] >= 0)
        c->attack_variant = 0;
    if (c->clip_move[0] >= 0)
        c->move_variant = 0;
    if (c->clip_death[0] >= 0)
        c->death_variant = 0;
    if (c->clip_hit[0] >= 0)
        c->hit_variant = 0;
    set_char_anim(c, 1, 1, 0);
    set_char_anim(c, 2, 1, 0);
    set_char_anim(c, 0, 1, 0);
    if (action != 0)
        set_char_anim(c, action, 1, 0);

    if (c->kind == k_kind_player && !g_editor_enabled) {
        int32_t light = create_light(1, x, y, 1.0f, 0.6f, 0.6f, 0.6f);
        c->light = light < 0 ? k_no_light : uint16_t(light);
    }

    recompute_char_stats(c, false);
    std::fill(std::begin(c->part_frame), std::end(c->part_frame), uint8_t(0));
    std::fill(std::begin(c->part_extra_a), std::end(c->part_extra_a), int16_t(0));
    if (c->kind == k_kind_enemy)
        c->level_char = 1;
    c->next_think = g_ticks + k_think_delay;
    c->patrol_point = 0;
    c->next_fade_tick = 0;
    c->next_footstep_tick = 0;
    c->target = -1;
    c->frenzy = 0;
    c->critical_until = 0;
    c->armor_break = c->armor_break2 = c->dot_queue_count = 0;
    c->next_damage_tick = 0;
}

// Holds the counts that index the record's own arrays to those arrays.
void bound_record_counts(char_record* c)
{
    auto hold = [c](const char* what, auto& count, int limit) {
        int value = int(count);
        if (value < 0 || value > limit) {
            console_log("character %s: %s %d held to %d", c->name, what, value, limit);
            count = std::remove_reference_t<decltype(count)>(value < 0 ? 0 : limit);
        }
    };
    hold("inventory entries", c->inv_count, k_inventory_entries);
    hold("active attunements", c->active_attunement_count, int(std::size(c->active_attunements)));
    hold("queued damage entries", c->dot_queue_count, int(std::size(c->dot_queue_amount)) - 1);
    hold("route points", c->route.route_count, k_route_points);
    if (c->route.route_index > uint32_t(k_route_points))
        c->route.route_index = 0;
}

// The run-time state every reader of a stored record resets.
void reset_read_record(char_record* c)
{
    c->pending_target = 0;
    c->life = k_life_alive;
    c->object = -1;
    c->reserved_word_2024 = 0;
    std::fill(std::begin(c->script_flags), std::end(c->script_flags), int16_t(0));
    std::fill(std::begin(c->inv_expire), std::end(c->inv_expire), 0u);
    c->hit_sound_count = c->death_sound_count = 0;
    std::memset(c->speech, 0, sizeof c->speech);
    if (std::strlen(c->display_name) < 2)
        copy_bounded(c->display_name, sizeof c->display_name, c->name);
    bound_record_counts(c);
}

// One list of up to five samples named prefix + appearance + n, stopping at the first missing.
int16_t build_sound_list(const char* prefix, const char* appearance, uint16_t* sounds, const char* line)
{
    int16_t count = 0;
    if (!is_plain_file_name(appearance))
        return 0;
    for (int n = 1; n <= k_char_sounds; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%s%d", prefix, appearance, n);
        int32_t sample = load_sound(name);
        if (sample < 0)
            break;
        sounds[count++] = uint16_t(sample);
        console_log(line, int(sample));
    }
    return count;
}

// A stored record of stored_size bytes read over `record`; false when the stream ends first.
bool read_record(packed_stream* in, uint32_t stored_size, char_record* record)
{
    uint8_t bytes[k_char_record_size];
    encode_char_record(*record, bytes);
    if (!read_stored_record(in, bytes, k_char_record_size, stored_size))
        return false;
    decode_char_record(bytes, record);
    return true;
}

bool write_record(packed_stream* out, const char_record& record)
{
    uint8_t bytes[k_char_record_size];
    encode_char_record(record, bytes);
    return write_stream_bytes(out, bytes, k_char_record_size);
}

void play_one_of(const char_record* c, const uint16_t* sounds, int16_t count)
{
    const world_object* o = c ? world_object_of(*c) : nullptr;
    int32_t n = std::min<int32_t>(count, k_char_sounds);
    if (n < 1 || !o)
        return;
    play_sound_at(sounds[game_rand() % n], o->x, o->y);
}

} // namespace

void clear_char_clips(char_record* c)
{
    std::fill(std::begin(c->clip_stand), std::end(c->clip_stand), int16_t(-1));
    std::fill(std::begin(c->clip_move), std::end(c->clip_move), int16_t(-1));
    std::fill(std::begin(c->clip_attack), std::end(c->clip_attack), int16_t(-1));
    std::fill(std::begin(c->clip_death), std::end(c->clip_death), int16_t(-1));
    std::fill(std::begin(c->clip_hit), std::end(c->clip_hit), int16_t(-1));
    std::fill(std::begin(c->clip_spell), std::end(c->clip_spell), int16_t(-1));
    std::fill(std::begin(c->clip_special), std::end(c->clip_special), int16_t(-1));
    c->stand_variant = c->move_variant = c->attack_variant = c->death_variant = c->hit_variant = k_no_variant;
}

char_record* char_at(int32_t slot)
{
    return slot >= 0 && uint32_t(slot) < g_char_count && slot < k_char_slots ? &g_chars[slot] : nullptr;
}

world_object* world_object_of(const char_record& c)
{
    if (c.object < 0 || uint32_t(c.object) >= g_object_count)
        return nullptr;
    world_object& o = g_objects[c.object];
    return o.state != 0 && o.proto == -2 - int32_t(c.slot) ? &o : nullptr;
}

char_record* add_char(char_record* c, int32_t slot, float x, float y)
{
    if (!valid_slot(slot))
        return c;
    console_log("pridavam character %s", c->name);
    c->life = k_life_alive;
    enter_world(c, slot, x, y, 0);
    return c;
}

void init_char_runtime(char_record* c, int32_t slot)
{
    if (!valid_slot(slot))
        return;
    enter_world(c, slot, c->pos_x, c->pos_y, c->anim_action);
    c->hp = c->hp_ceiling;
    if (c->life == k_life_dead)
        if (world_object* o = world_object_of(*c))
            o->anim_mode = k_corpse_mode;
    std::memset(c->speech, 0, sizeof c->speech);
    c->speech_until = 0;
}

int32_t new_default_char()
{
    if (g_char_count >= uint32_t(k_char_slots)) {
        console_log("tabulka postav je plna");
        return -1;
    }
    int32_t slot = int32_t(g_char_count);
    char_record& c = g_chars[slot];
    c = char_record{};
    c.melee_base = c.melee = c.ranged_base = c.ranged = 10;
    c.magic_base = c.magic = c.speed_base = c.speed = 10;
    c.hp_max = c.hp = c.mana_max = c.mana = 10;
    c.hp_ceiling = 10;
    c.exp = 0;
    c.level = 1;
    c.kind = k_kind_player;
    c.life = k_life_alive;
    c.object = -1;
    std::fill(std::begin(c.part_model), std::end(c.part_model), int16_t(-1));
    for (auto& values : c.part_values)
        std::fill(std::begin(values), std::end(values), 1.0f);
    c.scale_x = c.scale_y = c.scale_z = 1.0f;
    c.run_speed = 4;
    c.move_correction = 1.0f;
    c.anim_set = 1;
    clear_char_clips(&c);
    c.slot = int16_t(slot);
    ++g_char_count;
    return slot;
}

void remove_char_slot(int32_t slot)
{
    if (slot < 0 || uint32_t(slot) >= g_char_count)
        return;
    if (world_object* o = world_object_of(g_chars[slot]))
        reset_object(o);
    for (uint32_t i = uint32_t(slot) + 1; i < g_char_count; ++i) {
        world_object* o = world_object_of(g_chars[i]);
        g_chars[i - 1] = g_chars[i];
        g_chars[i - 1].slot = int16_t(i - 1);
        if (o)
            o->proto = -2 - int32_t(i - 1);
    }
    --g_char_count;
    if (g_player_char > uint32_t(slot))
        --g_player_char;
}

int32_t load_char_into_free_slot(const char* path)
{
    int32_t slot = -1;
    for (uint32_t i = 0; i < g_char_count && slot < 0; ++i)
        if (g_chars[i].level_char && g_chars[i].life == k_life_gone)
            slot = int32_t(i);
    bool append = slot < 0;
    if (append) {
        if (g_char_count >= uint32_t(k_char_slots)) {
            console_log("%s: tabulka postav je plna", path);
            return -1;
        }
        slot = int32_t(g_char_count);
    }
    if (!read_char_file(slot, path))
        return -1;
    if (append)
        ++g_char_count;
    g_chars[slot].level_char = 1;
    return slot;
}

bool write_char_file(int32_t slot, const char* path)
{
    if (!valid_slot(slot))
        return false;
    packed_stream* out = stream_open(path, "wp");
    bool written = out && stream_write_u32le(k_char_record_size, out) >= 0 && write_record(out, g_chars[slot]);
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", path);
        return false;
    }
    return true;
}

bool read_char_file_record(const char* path, char_record* record)
{
    packed_stream* in = open_data_file(path, k_char_file_kept, nullptr, file_report::once);
    if (!in)
        return false;
    char_record read = *record;
    int64_t stored_size = stream_read_u32le(in);
    bool complete = stored_size >= 0 && read_record(in, uint32_t(stored_size), &read);
    if (close_read_file(in, complete, path, k_char_file_kept, file_report::once) > 0)
        return false;
    if (!complete) {
        report_damaged_data_file(path, stored_size < 0 ? "hlavicka" : "konci v zazname", k_char_file_kept,
                                 file_report::once);
        return false;
    }
    reset_read_record(&read);
    *record = read;
    return true;
}

bool read_char_file(int32_t slot, const char* path)
{
    if (!valid_slot(slot))
        return false;
    char_record record = g_chars[slot];
    if (!read_char_file_record(path, &record))
        return false;
    build_char_sounds(&record);
    g_chars[slot] = record;
    return true;
}

namespace {

// The records "global/characters.dat" stores: the player and the sidekicks that are not gone.
std::vector<const char_record*> characters_to_write()
{
    std::vector<const char_record*> kept;
    for (uint32_t i = 0; i < g_char_count && i < uint32_t(k_char_slots); ++i) {
        const char_record& c = g_chars[i];
        if ((c.kind == k_kind_player || c.kind == k_kind_sidekick) && c.life != k_life_gone && !c.level_char)
            kept.push_back(&c);
    }
    return kept;
}

} // namespace

table_file_state g_characters_file = {k_characters_file, false, false,
                                      [] { return int32_t(characters_to_write().size()); }};

bool read_characters(bool build_sounds)
{
    bool missing = false;
    packed_stream* in = open_data_file(k_characters_file, k_characters_kept, &missing);
    if (!in) {
        table_file_read(g_characters_file, missing);
        return false;
    }
    int64_t count = stream_read_u32le(in);
    int64_t stored_size = count < 0 ? -1 : stream_read_u32le(in);
    bool complete = stored_size >= 0 && count <= int64_t(k_char_slots);
    std::vector<char_record> records;
    table_file_contents found{stored_size < 0 ? -1 : count};
    if (complete) {
        records.assign(g_chars, g_chars + count);
        for (char_record& record : records) {
            complete = complete && read_record(in, uint32_t(stored_size), &record);
            found.whole_records += complete;
        }
    }
    found.bytes_after = close_read_file(in, complete, k_characters_file);
    table_file_read(g_characters_file, complete && found.bytes_after == 0, found);
    if (!complete) {
        const std::string where = stored_size < 0                 ? std::string("hlavicka")
                                  : count > int64_t(k_char_slots) ? "pocet " + std::to_string(count) + " nad " +
                                                                        std::to_string(k_char_slots)
                                                                  : std::string("konci v zaznamoch");
        report_damaged_file(k_characters_file, where.c_str(), k_characters_kept);
        return false;
    }
    for (char_record& c : g_chars)
        c.object = -1;
    for (uint32_t i = 0; i < records.size(); ++i) {
        char_record& c = records[i];
        reset_read_record(&c);
        c.level_char = 0;
        if (build_sounds)
            build_char_sounds(&c);
        g_chars[i] = c;
    }
    // Global slots the file does not fill are empty, as in a new process.
    for (uint32_t i = uint32_t(records.size()); i < uint32_t(k_global_char_slots); ++i) {
        g_chars[i] = char_record{};
        g_chars[i].object = -1;
    }
    g_char_count = uint32_t(records.size());
    return true;
}

bool write_characters()
{
    const std::vector<const char_record*> kept = characters_to_write();
    packed_stream* out = stream_open(k_characters_file, "wp");
    bool written = out && stream_write_u32le(uint32_t(kept.size()), out) >= 0 &&
                   stream_write_u32le(k_char_record_size, out) >= 0;
    for (const char_record* c : kept)
        written = written && write_record(out, *c);
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", k_characters_file);
        return false;
    }
    return true;
}

void build_char_sounds(char_record* c)
{
    c->hit_sound_count = build_sound_list("h_", c->appearance, c->hit_sounds, "hit snd %d");
    c->death_sound_count = build_sound_list("d_", c->appearance, c->death_sounds, "death snd %d");
    console_log("pocet zvukov pre hit %d", int(c->hit_sound_count));
    console_log("pocet zvukov pre death %d", int(c->death_sound_count));
}

void char_say(int32_t slot, const char* text)
{
    if (!valid_slot(slot) || !text)
        return;
    char_record& c = g_chars[slot];
    console_log("%s", text);
    console_log("%s", c.display_name);
    copy_bounded(c.speech, sizeof c.speech, text);
    c.speech_until = g_ticks + k_speech_ticks;
}

void play_char_hit_sound(int32_t slot)
{
    const char_record* c = char_at(slot);
    if (c)
        play_one_of(c, c->hit_sounds, c->hit_sound_count);
}

void play_char_death_sound(int32_t slot)
{
    const char_record* c = char_at(slot);
    if (c)
        play_one_of(c, c->death_sounds, c->death_sound_count);
}

void draw_char_speech(int32_t slot)
{
    const char_record* c = char_at(slot);
    const world_object* o = c ? world_object_of(*c) : nullptr;
    if (!o || c->speech_until <= g_ticks)
        return;
    font_begin(&g_font_small);
    int32_t width = font_text_width(&g_font_small, c->speech);
    float x = (o->x - g_camera_x) * g_zoom - float(width) / 2.0f;
    float y = (o->y - g_camera_y) * g_zoom - 100.0f;
    font_text_out(&g_font_small, int32_t(x), int32_t(y), c->speech, 0x00FFFFFF);
    font_end(&g_font_small);
}

