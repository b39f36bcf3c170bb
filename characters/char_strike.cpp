#include "characters/char_strike.h"

#include "characters/char_damage.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "characters/monster_protos.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "items/item_looks.h"
#include "items/items.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/world_objects.h"

#include <algorithm>

namespace {

constexpr int32_t k_first_element = 4;  // fire; then cold, lightning, poison
constexpr int32_t k_elements = 4;
constexpr int k_focus_tiers = 4;

struct focus_tier {
    int16_t attunement[k_elements];
    uint32_t cooldown_ms;
    int32_t spell[k_elements];
};
// Highest tier first; a tier's cooldown is focus_cooldown[tier - 1].
constexpr focus_tier k_tiers[k_focus_tiers] = {
    {{247, 251, 259, 255}, 37000, {80, 81, 91, 99}},
    {{246, 250, 258, 254}, 23000, {51, 53, 73, 50}},
    {{245, 249, 257, 253}, 13000, {47, 52, 65, 3}},
    {{244, 248, 256, 252}, 7000, {0, 1, 59, 46}},
};
constexpr int32_t k_base_spells[k_elements] = {54, 55, 56, 57};

constexpr int32_t k_cast_from_weapon = 0;
constexpr int32_t k_cast_from_other = 1;
constexpr uint32_t k_shake_tick_unit = 10;
constexpr int32_t k_hit_bleed_lifetime = 5;
constexpr float k_bleed_scale = 1.0f;
constexpr float k_bleed_height = 40.0f;
constexpr int32_t k_dot_lifetimes[3] = {5, 15, 25};
constexpr float k_dot_factors[3] = {0.1f, 0.25f, 0.5f};
constexpr uint32_t k_dot_ticks = 100;
constexpr uint32_t k_stance_ticks = 400;
constexpr uint8_t k_equipped_first = 16;
constexpr uint8_t k_equipped_last = 254;

// The cast effect at the caster, then the spell from it with no target point.
void cast_from(char_record* c, int32_t spell, int32_t flag)
{
    float x, y;
    char_position(*c, &x, &y);
    const world_object* o = world_object_of(*c);
    run_hook(g_char_rule_links.spawn_cast_particles, "spawn_cast_particles", spell, int32_t(c->slot), x, y,
             o ? float(o->layer) : 0.0f);
    run_hook(g_char_rule_links.cast_spell, "cast_spell", spell, int32_t(c->slot), x, y, 0.0f, 0.0f, int16_t(0),
             flag);
}

// Calls f(args) for each EFECTS entry of the item with that code.
template <class F>
void for_each_property(int32_t item, uint16_t code, F f)
{
    const item_proto* proto = item_proto_at(item);
    if (!proto)
        return;
    int32_t count = std::clamp<int32_t>(proto->efect_count, 0, k_item_list_entries);
    for (int32_t i = 0; i < count; ++i) {
        const item_property& p = g_item_lists[item].efects[i];
        if (p.code == code)
            f(p.args);
    }
}

void knock_back(char_record* target, int32_t angle)
{
    target->state = k_state_knocked_back;
    target->steps_left = angle;
    target->state_arg = 1;
    target->goal_x = 1.0f;
    target->last_step_ms = g_ticks;
    set_char_anim(target, k_action_move, 0, 0);
}

// The camera shake of property 36 from its first three arguments.
void shake_camera_by_property(const int16_t* args)
{
    int32_t ticks = std::max(0, (int32_t(args[2]) + 1) * int32_t(k_shake_tick_unit));
    start_camera_shake(&g_camera_shake, float(args[0] + 1), float(args[1] + 1), uint32_t(ticks));
}

} // namespace

int32_t cast_focus_weapon(char_record* c)
{
    const item_proto* weapon = item_proto_at(char_weapon_item(c));
    if (!weapon || weapon->item_class != k_item_focus)
        return -1;
    int32_t e = char_weapon_entry_damage_type(c) - k_first_element;
    if (e < 0 || e >= k_elements) {
        console_log("wrong focus element!");
        return -1;
    }
    for (int t = 0; t < k_focus_tiers; ++t) {
        const focus_tier& tier = k_tiers[t];
        uint32_t& cooldown = c->focus_cooldown[k_focus_tiers - 1 - t];
        if (!char_has_attunement(c, tier.attunement[e]) || cooldown >= g_elapsed_ms)
            continue;
        cooldown = g_elapsed_ms + tier.cooldown_ms;
        cast_from(c, tier.spell[e], k_cast_from_weapon);
        return tier.attunement[e];
    }
    cast_from(c, k_base_spells[e], k_cast_from_weapon);
    return -1;
}

bool apply_strike_properties(char_record* c, int32_t focus_attunement)
{
    bool cast = false;
    int32_t count = std::min<int32_t>(c->inv_count, k_inventory_entries);
    for (int32_t i = 0; i < count; ++i) {
        uint8_t location = c->inv_location[i];
        if (location < k_equipped_first || location > k_equipped_last)
            continue;
        int32_t item = c->inv_item[i];
        const item_proto* proto = item_proto_at(item);
        if (!proto)
            continue;
        int32_t flag = location == k_inv_weapon ? k_cast_from_weapon : k_cast_from_other;
        auto cast_first_argument = [&](const int16_t* args) {
            cast_from(c, args[0], flag);
            cast = true;
        };
        for_each_property(item, k_prop_cast_on_attack, cast_first_argument);
        if (proto->item_class != k_item_attunement || item == focus_attunement)
            for_each_property(item, k_prop_cast_on_attunement, cast_first_argument);
        for_each_property(item, k_prop_shake_on_attack, shake_camera_by_property);
    }
    return cast;
}

int32_t land_melee_blow(char_record* c, const blow_rules& rules)
{
    char_record* target = char_at(c->target);
    if (!target || !(char_distance(*c, *target) < float(rules.reach)))
        return 0;
    int32_t damage = resolve_melee_attack(c, c->target);
    if (damage <= 0)
        return damage;
    float x, y;
    char_position(*target, &x, &y);
    spawn_bleed(&g_blood, x, y, k_bleed_scale, k_bleed_height, k_hit_bleed_lifetime, target->bleed_type);
    c->struck = 1;
    if (!rules.reaction_when_idle_only || target->state == k_state_idle) {
        set_char_anim(target, k_action_hit, 1, 0);
        target->state = k_state_hit;
    }
    int32_t weapon = char_weapon_item(c);
    if (rules.knock_back && weapon >= 0 && target->hp < 1) {
        const world_object* o = world_object_of(*c);
        int32_t angle = o ? o->angle_b : 0;
        for_each_property(weapon, k_prop_knock_back, [&](const int16_t*) { knock_back(target, angle); });
    }
    return damage;
}

void pulse_damage_over_time(char_record* c)
{
    if (c->dot_pulses == 0 || c->dot_next_tick >= g_ticks)
        return;
    --c->dot_pulses;
    c->dot_next_tick = g_ticks + k_dot_ticks;
    if (c->dot_kind < 1 || c->dot_kind > 3)
        return;
    int kind = c->dot_kind - 1;
    float x, y;
    char_position(*c, &x, &y);
    spawn_bleed(&g_blood, x, y, k_bleed_scale, k_bleed_height, k_dot_lifetimes[kind], c->bleed_type);
    apply_effect_damage(c, int32_t(float(c->dot_damage) * k_dot_factors[kind]), c->dot_damage_type, -1);
}

bool apply_weapon_strike_properties(char_record* c)
{
    int32_t weapon = char_weapon_item(c);
    const bool cast = weapon >= 0 && cast_item_attack_spells(weapon, c->slot) > 0;
    for_each_property(weapon, k_prop_shake_on_attack, shake_camera_by_property);
    return cast;
}

uint32_t weapon_swing_delay(const char_record& c, uint32_t unarmed)
{
    int32_t weapon = char_weapon_item(&c);
    const item_proto* proto = item_proto_at(weapon);
    if (!proto)
        return unarmed;
    float x, y;
    char_position(c, &x, &y);
    play_item_attack_sound(weapon, x, y);
    return proto->attack_delay;
}

void turn_to_strike(char_record* c, const char_record& target)
{
    float x, y;
    char_position(target, &x, &y);
    face_point(c, x, y);
    c->stance_until = g_ticks + k_stance_ticks;
    set_char_anim(c, k_action_attack, 1, 0);
    c->state = k_state_turn;
    c->next_state = k_state_strike;
    c->pending_target = g_ticks + uint32_t(char_monster_proto(c).attack_pause) + weapon_swing_delay(*c, 0);
}

void cast_selected_spell_from(char_record* c)
{
    float x, y, tx = 0.0f, ty = 0.0f;
    char_position(*c, &x, &y);
    if (const char_record* target = char_at(c->target))
        char_position(*target, &tx, &ty);
    run_hook(g_char_rule_links.cast_spell, "cast_spell", int32_t(c->selected_spell), int32_t(c->slot), x, y, tx, ty,
             int16_t(0), k_cast_from_other);
}

bool strike_at_frame(char_record* c)
{
    set_char_anim(c, k_action_attack, 0, 0);
    set_char_object_anim_mode(c, k_anim_once);
    int32_t cast_frame = 0;
    bool by_cast_frame = c->spell_mode && run_hook_or(g_char_rule_links.spell_cast_frame, "spell_cast_frame", false,
                                                      int32_t(c->selected_spell), &cast_frame);
    if (!(by_cast_frame ? at_frame(*c, cast_frame) : at_strike_frame(*c)))
        return false;
    if (!c->spell_mode) {
        land_melee_blow(c, blow_rules{char_reach(*c), true, false});
        cast_focus_weapon(c);
        apply_weapon_strike_properties(c);
    } else if (c->selected_spell != 0) {
        cast_selected_spell_from(c);
    }
    c->state = k_state_recover;
    return true;
}
