#include "characters/char_update.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_notices.h"
#include "characters/char_rule_links.h"
#include "characters/char_damage.h"
#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "characters/monster_points.h"
#include "characters/surround.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/math.h"
#include "items/items.h"
#include "world/camera_shake.h"
#include "world/game_clock.h"
#include "world/object_behaviour.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

uint32_t g_camera_pan_tick = 0;

namespace {

constexpr uint8_t k_class_frenzy = 6;           // the objects of the frenzy effect
constexpr uint16_t k_death_spell_property = 40;  // on death: spell arg0 cast at the corpse
constexpr uint16_t k_death_shake_property = 41;  // on death: camera shake
constexpr int32_t k_death_action = 3;
constexpr int32_t k_corpse_lifetime = 800;
constexpr int32_t k_corpse_entry_flag = 1;
constexpr float k_pan_start_distance = 8.0f;
constexpr float k_pan_stop_distance = 5.0f;
constexpr int64_t k_pan_max_ticks = 31;

bool equipped(uint8_t location)
{
    return location > k_inv_backpack_last && location != k_inv_none;
}

// Step 1: every attunement whose points reached its tier's threshold is learned.
void learn_ready_attunements()
{
    for (int32_t id = 0; id < g_item_proto_count && id < k_item_slots; ++id) {
        const item_proto& p = g_item_protos[id];
        if (p.item_class == k_item_attunement && p.damage != k_attunement_learned_points &&
            p.damage >= attunement_threshold(p.size))
            learn_attunement(&g_notices, id);
    }
}

void end_frenzy(char_record* c)
{
    if (!c->frenzy || g_elapsed_ms <= c->critical_until)
        return;
    c->frenzy = 0;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        if (g_objects[i].state != 0 && g_objects[i].object_class == k_class_frenzy)
            reset_object(&g_objects[i]);
    }
}

// The on-death properties of the character's equipped items.
void run_death_properties(const char_record* c, float layer)
{
    const int32_t entries = std::min<int32_t>(c->inv_count, k_inventory_entries);
    for (int32_t i = 0; i < entries; ++i) {
        const item_proto* p = item_proto_at(c->inv_item[i]);
        if (!p || !equipped(c->inv_location[i]))
            continue;
        const int32_t from_weapon = c->inv_location[i] == k_inv_weapon ? 0 : 1;
        const item_lists& lists = g_item_lists[c->inv_item[i]];
        const int32_t count = std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries);
        for (int32_t e = 0; e < count; ++e) {
            const item_property& property = lists.efects[e];
            if (property.code == k_death_spell_property) {
                const int32_t spell = property.args[0];
                run_hook(g_char_rule_links.spawn_cast_particles, "spawn_cast_particles", spell, -1, c->pos_x,
                         c->pos_y, layer);
                run_hook(g_char_rule_links.cast_spell, "cast_spell", spell, -1, c->pos_x, c->pos_y, 0.0f, 0.0f,
                         int16_t(0), from_weapon);
            } else if (property.code == k_death_shake_property) {
                const int32_t duration = std::max(0, (property.args[2] + 1) * 10);
                start_camera_shake(&g_camera_shake, float(property.args[0] + 1), float(property.args[1] + 1),
                                   uint32_t(duration));
            }
        }
    }
}

// A character at 0 hit points becomes a corpse; an ENEMY drops its items, leaves its placement
// and stays in the world for a while. The player's death closes the item windows: a dead hero
// holds nothing and trades with no one.
void kill_char(char_record* c, int32_t slot)
{
    if (uint32_t(slot) == g_player_char)
        run_hook(g_char_rule_links.close_item_windows, "close_item_windows");
    const world_object* before = world_object_of(*c);
    run_death_properties(c, before ? float(before->layer) : 0.0f);
    if (monster_point* point = monster_point_at(&g_monster_points, c->monster_point)) {
        point->slots[1] = -1;
        point->stamp = get_clock_minutes(&g_game_clock);
    }
    const bool enemy = c->kind == k_kind_enemy;
    if (enemy)
        remove_char_placement(&g_char_placements, slot);
    c->life = k_life_dead;
    if (enemy)
        char_drop_all_items(c);
    set_char_anim(c, k_death_action, 1, 0);
    char_drop_expired_items(c);
    world_object* o = world_object_of(*c);
    if (!o)
        return;
    o->anim_mode = k_anim_once;
    if (!enemy)
        return;
    o->lifetime = k_corpse_lifetime;
    if (o->entry_count >= 0 && o->entry_count < int32_t(sizeof o->entry_kinds)) {
        const int32_t e = o->entry_count++;
        o->entry_kinds[e] = k_entry_fade_out;
        std::fill(std::begin(o->entry_floats[e]), std::end(o->entry_floats[e]), 0.0f);
        std::fill(std::begin(o->entry_ints[e]), std::end(o->entry_ints[e]), 0);
        o->entry_ints[e][0] = k_corpse_entry_flag;
        o->entry_ints[e][1] = slot;
    }
}

void update_one_char(char_record* c, int32_t slot, bool paused)
{
    end_frenzy(c);
    c->slot = int16_t(slot);
    recompute_char_stats(c, false);
    if (const world_object* o = world_object_of(*c)) {
        c->pos_x = o->x;
        c->pos_y = o->y;
    }
    update_timed_damage(c);
    if (!paused)
        update_char(c, slot);
    char_apply_item_effects(c);
    char_drop_expired_items(c);
    if (c->hp < 1 && c->life == k_life_alive && c->kind != k_kind_normal)
        kill_char(c, slot);
}

void level_up_player()
{
    char_record* player = char_at(int32_t(g_player_char));
    if (player && player->level < k_max_player_level && player->exp >= xp_for_level(player->level + 1))
        char_level_up(player);
}

float camera_distance(float x, float y)
{
    return distance2d(g_camera_x, g_camera_y, x, y);
}

// The glide during a dialogue: 4 steps of one pixel on the longer axis per elapsed tick, and 4
// more.
void glide_camera(float target_x, float target_y)
{
    if (g_camera_pan_tick >= g_ticks)
        return;
    int64_t n = int64_t(g_ticks) - int64_t(g_camera_pan_tick);
    if (n < 0 || n >= k_pan_max_ticks)
        n = 0;
    g_camera_pan_tick = g_ticks;
    for (int64_t step = 0; step < n * 4 + 4; ++step) {
        const float dx = target_x - g_camera_x;
        const float dy = target_y - g_camera_y;
        const float longer = std::max(std::fabs(dx), std::fabs(dy));
        if (!(longer > 0.0f))
            break;
        g_camera_x += dx / longer;
        g_camera_y += dy / longer;
        clamp_camera_to_scene(&g_scene_header);
        if (camera_distance(target_x, target_y) < k_pan_stop_distance)
            break;
    }
}

void follow_with_camera()
{
    if (g_no_game_running || !g_interface.scroll_enabled)
        return;
    const char_record* followed = char_at(g_scene_header.followed_char);
    const world_object* o = followed ? world_object_of(*followed) : nullptr;
    if (!o)
        return;
    const float target_x = o->x - float(g_screen_width) / 2.0f / g_zoom;
    const float target_y = o->y - float(g_screen_height) / 2.0f / g_zoom;
    if (g_dialogue_running && camera_distance(target_x, target_y) >= k_pan_start_distance) {
        glide_camera(target_x, target_y);
        return;
    }
    g_camera_x = target_x;
    g_camera_y = target_y;
    apply_camera_shake(&g_camera_shake);
    clamp_camera_to_scene(&g_scene_header);
}

} // namespace

void update_all_chars(bool paused)
{
    const char_record* player = char_at(int32_t(g_player_char));
    if (!player || !world_object_of(*player))
        return;
    if (g_work_mode != k_work_play) {
        focus_list_clear(&g_focus_list);
        return;
    }
    learn_ready_attunements();
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        if (world_object_of(g_chars[s]))
            animate_char(&g_chars[s]);
    }
    assign_surround_slots(&g_surround, int32_t(g_player_char));
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        char_record* c = &g_chars[s];
        if (world_object_of(*c) && c->world_fade != 0.0f)
            update_one_char(c, int32_t(s), paused);
    }
    level_up_player();
    follow_with_camera();
    focus_list_clear(&g_focus_list);
}
