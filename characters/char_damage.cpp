#include "characters/char_damage.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_rule_links.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "characters/monster_protos.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/math.h"
#include "engine/ui_texts.h"
#include "platform/random.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdint>

namespace {

// UI texts
constexpr int k_text_stunned = 95;
constexpr int k_text_ceiling = 99;
constexpr int k_text_blocked = 110;
constexpr int k_text_dodged = 111;
constexpr int k_text_taken = 112;
constexpr int k_text_damage = 113;
constexpr int k_text_killed = 114;
constexpr int k_text_ceiling_gain = 115;

// attunements
constexpr int16_t k_second_wind = 152;
constexpr int16_t k_soul_gain = 165;
constexpr int16_t k_riposte = 187;
constexpr int16_t k_armour_breaker = 207;
constexpr int16_t k_instant_kill = 211;
constexpr int16_t k_first_bleeding = 212;  // 212 to 214: damage-over-time kinds 1 to 3
constexpr int16_t k_stun = 215;
constexpr int16_t k_stun2 = 219;
constexpr int16_t k_frenzy = 223;
constexpr int16_t k_aura = 224;
constexpr int16_t k_slowing = 266;

// spells
constexpr int32_t k_instant_kill_spell = 11;
constexpr int32_t k_frenzy_spell = 64;

// character events
constexpr int32_t k_event_death = 3;
constexpr int32_t k_event_near_dead = 4;
constexpr int32_t k_event_half_dead = 5;

constexpr uint8_t k_counter_limit = 200;
constexpr uint8_t k_queue_limit = 16;
constexpr uint8_t k_no_spell = 255;
constexpr uint32_t k_timed_damage_period = 100;  // ticks
constexpr float k_aura_reach = 1000.0f;
constexpr float k_damage_limit = 1.0e9f;  // a hit never takes more; keeps the arithmetic in range

bool is_player(const char_record* c)
{
    return c && c->slot >= 0 && uint32_t(c->slot) == g_player_char;
}

bool shielded_by_god_mode(const char_record* c)
{
    return is_player(c) && g_interface.player_invulnerable;
}

void cast_at(int32_t spell, const char_record* caster, float x, float y, int32_t flag)
{
    run_hook(g_char_rule_links.cast_spell, "cast_spell", spell, caster ? int32_t(caster->slot) : -1, x, y, x, y,
             int16_t(0), flag);
}

void run_event(const char_record* c, int32_t kind)
{
    run_hook(g_char_rule_links.run_char_event, "run_char_event", int32_t(c->slot), kind);
}

// The roll of both avoidances. shield_needed: without a shield there is no block roll (it counts
// as 100) and nothing is blocked, however high the chance.
bool attack_avoided(char_record* target, char_record* attacker, bool shield_needed)
{
    int32_t a = attacker ? attacker->slot : -1;
    int32_t chance = block_chance(target->slot, a);
    bool can_block = !shield_needed || char_shield_item(target) >= 0;
    int32_t r = can_block ? game_rand() % 100 : 100;
    console_log("block chance: %d -> %d", r, chance);
    if (can_block && r < chance) {
        console_log("%s blocked attack", target->display_name);
        log_add_line(&g_message_log, 0, "%s %s", target->display_name, ui_text(k_text_blocked));
        if (attacker && char_has_attunement(target, k_riposte))
            char_take_hit(attacker, attacker->slot, -1, char_damage_type(attacker), 100, -1);
        return true;
    }
    r = game_rand() % 100;
    chance = dodge_chance(target->slot, a);
    console_log("dodge chance: %d -> %d", r, chance);
    if (r < chance) {
        console_log("%s dodged attack", target->display_name);
        log_add_line(&g_message_log, 0, "%s %s", target->display_name, ui_text(k_text_dodged));
        return true;
    }
    return false;
}

float damage_roll()
{
    return 0.75f + rand_range(0.0f, 1.0f) / 2.0f;
}

// The resistance to the damage type takes its share, at least 1 point remains, and the target
// loses it. Returns the points lost.
int32_t take_resisted(char_record* target, float damage, int32_t damage_type)
{
    damage = std::clamp(damage, 0.0f, k_damage_limit);
    damage -= float(int32_t(float(char_resistance(target, damage_type)) * 0.01f * damage));
    console_log("resistance: %.2f", damage);
    int32_t lost = int32_t(std::clamp(damage, 1.0f, k_damage_limit));
    target->hp = int32_t(std::max<int64_t>(int64_t(target->hp) - lost, INT32_MIN));
    return lost;
}

void report_damage(const char_record* target, int32_t damage, bool critical)
{
    const char* name = target->display_name;
    if (critical) {
        console_log("%s has taken %d! damage", name, damage);
        log_add_line(&g_message_log, 0, "%s %s %d! %s", name, ui_text(k_text_taken), damage, ui_text(k_text_damage));
    } else {
        console_log("%s has taken %d damage", name, damage);
        log_add_line(&g_message_log, 0, "%s %s %d %s", name, ui_text(k_text_taken), damage, ui_text(k_text_damage));
    }
}

void raise_counter(uint8_t* counter)
{
    if (*counter < k_counter_limit)
        ++*counter;
}

void queue_residual(char_record* attacker, char_record* target, const item_property& e, float base)
{
    queue_timed_damage(target, int32_t(property_factor(e) * base), char_damage_type(attacker), e.args[3],
                       int32_t(rand_range(e.args[1], e.args[2])));
}

// The on-hit properties of the attacker's equipped items. With `source` set (0 or more) the
// residual damage (65, 66) of an attunement applies only when the attunement is that one.
void apply_on_hit_properties(char_record* attacker, char_record* target, float base, bool critical,
                             bool only_source, int32_t source)
{
    for (int32_t i = 0; i < std::min<int32_t>(attacker->inv_count, k_inventory_entries); ++i) {
        const item_proto* p = equipped_item(attacker, i);
        if (!p)
            continue;
        int32_t id = attacker->inv_item[i];
        int32_t flag = attacker->inv_location[i] == k_inv_weapon ? 0 : 1;
        bool residual_applies = !only_source || p->item_class != k_item_attunement || id == source;
        int32_t n = std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries);
        for (int32_t k = 0; k < n; ++k) {
            const item_property e = g_item_lists[id].efects[k];
            switch (e.code) {
            case 38:
                run_hook(g_char_rule_links.cast_spell, "cast_spell", int32_t(e.args[0]), int32_t(attacker->slot), 0.0f,
                         0.0f, 0.0f, 0.0f, int16_t(0), flag);
                break;
            case 63: cast_at(e.args[0], attacker, target->pos_x, target->pos_y, flag); break;
            case 39:
                start_camera_shake(&g_camera_shake, float(e.args[0] + 1), float(e.args[1] + 1),
                                   uint32_t(std::max(e.args[2] + 1, 0)) * 10);
                break;
            case 65:
                if (residual_applies)
                    queue_residual(attacker, target, e, base);
                break;
            case 66:
                if (critical && residual_applies)
                    queue_residual(attacker, target, e, base);
                break;
            case 64:
                if (critical)
                    run_hook(g_char_rule_links.cast_spell, "cast_spell", int32_t(e.args[0]), int32_t(attacker->slot),
                             0.0f, 0.0f, 0.0f, 0.0f, int16_t(0), flag);
                break;
            case 62:
                if (critical)
                    cast_at(e.args[0], attacker, target->pos_x, target->pos_y, flag);
                break;
            default: break;
            }
        }
    }
}

// The attacker's attunements that act on a critical. dot_type is the damage type of a started
// damage-over-time slot; dot_now starts its pulses at once for every kind.
void apply_critical_attunements(char_record* attacker, char_record* target, float base, int32_t dot_type,
                                bool dot_now)
{
    if (char_has_attunement(attacker, k_frenzy)) {
        if (!attacker->frenzy)
            cast_at(k_frenzy_spell, attacker, attacker->pos_x, attacker->pos_y, 1);
        attacker->frenzy = 1;
        attacker->critical_until = g_elapsed_ms + 5000;
    }
    for (uint8_t kind = 1; kind <= 3; ++kind) {
        if (!char_has_attunement(attacker, int16_t(k_first_bleeding + kind - 1)))
            continue;
        target->dot_kind = kind;
        target->dot_damage = int16_t(std::clamp(base, float(INT16_MIN), float(INT16_MAX)));
        target->dot_damage_type = uint8_t(dot_type);
        target->dot_pulses = uint8_t(3 + game_rand() % 2);
        target->dot_next_tick = dot_now || kind == 3 ? g_ticks : g_ticks + k_timed_damage_period;
    }
    if (char_has_attunement(attacker, k_instant_kill) && game_rand() % 100 < 10) {
        cast_at(k_instant_kill_spell, attacker, target->pos_x, target->pos_y, 1);
        target->hp = 0;
    }
    if (char_has_attunement(attacker, k_stun) || char_has_attunement(attacker, k_stun2)) {
        log_add_line(&g_message_log, 1, "%s %s", target->display_name, ui_text(k_text_stunned));
        target->state = 12;
        target->pending_target = g_elapsed_ms + uint32_t(rand_range(5000.0f, 15000.0f));
    }
}

void grant_kill(char_record* killer, const char_record* victim)
{
    award_experience(killer, level_value(victim->level));
    log_add_line(&g_message_log, 1, "%s: %s", victim->display_name, ui_text(k_text_killed));
    if (char_has_attunement(killer, k_soul_gain)) {
        int32_t gain = std::max(1, int32_t(victim->hp_ceiling * 0.01f));
        killer->hp_ceiling = int16_t(std::clamp<int32_t>(killer->hp_ceiling + gain, INT16_MIN,
                                                         std::clamp<int32_t>(killer->hp_max, INT16_MIN, INT16_MAX)));
        log_add_line(&g_message_log, 1, "%s %s %d %s", killer->display_name, ui_text(k_text_ceiling_gain), gain,
                     ui_text(k_text_ceiling));
    }
}

enum class hit_outcome { lives, second_wind, dies };

// After the hit points were taken: the near-dead and half-dead events and the hit sound while the
// target lives; else its second wind, or its death with the kill bonus for a player killer.
// half_dead_flag: the script flag that suppresses the half-dead event.
hit_outcome settle_hit(char_record* target, char_record* killer, int half_dead_flag)
{
    if (target->hp > 0) {
        if (target->hp < int32_t(target->hp_max * 0.1f) && !target->script_flags[1])
            run_event(target, k_event_near_dead);
        if (target->hp < int32_t(target->hp_max * 0.5f) && !target->script_flags[half_dead_flag])
            run_event(target, k_event_half_dead);
        play_char_hit_sound(target->slot);
        return hit_outcome::lives;
    }
    if (char_has_attunement(target, k_second_wind) && game_rand() % 100 < 50) {
        // the ceiling drops by a 25th of the blow's overshoot; at least 1 hit point remains
        int64_t loss = std::max<int64_t>(1, (int64_t(target->hp_ceiling) - target->hp) / 25);
        target->hp_ceiling = int16_t(std::max<int64_t>(1, target->hp_ceiling - loss));
        target->hp = target->hp_ceiling;
        return hit_outcome::second_wind;
    }
    play_char_death_sound(target->slot);
    run_event(target, k_event_death);
    if (killer && is_player(killer))
        grant_kill(killer, target);
    return hit_outcome::dies;
}

struct hit_request {
    char_record* attacker;  // null for a fixed damage
    int32_t weapon;         // item id, -1 the attacker's own
    int32_t percent;
    int32_t fixed_damage;   // without an attacker
    int32_t damage_type;    // the type of a fixed damage and of a started damage-over-time slot
    int32_t source;         // the attunement whose residual damage applies
    bool melee;             // a blow at the strike frame, else a hit by a missile, spell, item or riposte
};

int32_t land_hit(char_record* target, const hit_request& h)
{
    char_record* a = h.attacker;
    if (a != target && attack_avoided(target, a, !h.melee))
        return 0;
    float f = damage_roll();
    float base;
    int32_t chance = 0;
    float multiplier = 1.0f;
    if (a) {
        base = damage_base(a->slot, target->slot, h.weapon, h.percent);
        console_log("damage base: %.2f", base);
        chance = critical_chance(a->slot, target->slot, h.weapon);
        console_log("critical chance: %d", chance);
        multiplier = critical_multiplier(a->slot, target->slot, h.weapon);
        console_log("critical multiplier: %.2f", multiplier);
    } else {
        base = float(h.fixed_damage);
        console_log("damage base: %.2f", base);
    }
    float damage = std::clamp(base * f, -k_damage_limit, k_damage_limit);
    console_log("final damage: %.2f", damage);

    int32_t ac = char_armor_class(target->slot, -1);
    console_log("AC: %d", ac);
    if (float(ac) < damage)
        damage = damage - float(ac) + float(ac / 4);
    else
        damage = damage / 4.0f;
    console_log("real damage: %.2f", damage);

    bool critical = a && game_rand() % 100 < chance;
    if (critical) {
        damage *= multiplier;
        start_camera_shake(&g_camera_shake, 2.0f, 2.0f, 20);
    }
    int32_t lost = take_resisted(target, damage, a ? char_damage_type(a) : h.damage_type);
    if (a && char_has_attunement(a, k_armour_breaker))
        raise_counter(&target->armor_break);
    if (a && !h.melee && char_has_attunement(a, k_slowing))
        raise_counter(&target->armor_break2);
    report_damage(target, lost, critical);

    if (a) {
        apply_on_hit_properties(a, target, base, critical, !h.melee, h.source);
        if (critical)
            apply_critical_attunements(a, target, base, h.melee ? char_damage_type(a) : h.damage_type, !h.melee);
    }
    hit_outcome outcome = settle_hit(target, a, h.melee ? 2 : 1);
    if (outcome == hit_outcome::second_wind && h.melee)
        return 0;
    if (is_player(a))
        add_attunement_charge(a, 1);
    return lost;
}

} // namespace

int32_t resolve_melee_attack(char_record* attacker, int32_t target)
{
    if (!attacker)
        return 0;
    char_record* t = char_at(target);
    if (!t) {
        console_log("target invalid");
        return 0;
    }
    if (shielded_by_god_mode(t) || t->hp <= 0)
        return 0;
    return land_hit(t, {attacker, -1, 100, 0, 0, -1, true});
}

int32_t char_take_hit(char_record* defender, int32_t attacker, int32_t weapon, int32_t damage_type, int32_t percent,
                      int32_t source)
{
    if (!defender || defender->hp <= 0 || shielded_by_god_mode(defender))
        return 0;
    char_record* a = nullptr;
    int32_t fixed = 0;
    if (attacker >= 0) {
        a = char_at(attacker);
        if (!a) {
            console_log("attacker invalid");
            return 0;
        }
    } else {
        fixed = attacker == INT32_MIN ? INT32_MAX : -attacker;
    }
    return land_hit(defender, {a, weapon, percent, fixed, damage_type, source, false});
}

int32_t apply_effect_damage(char_record* c, int32_t amount, int32_t damage_type, int32_t source)
{
    if (!c || shielded_by_god_mode(c) || c->hp <= 0)
        return 0;
    int32_t lost = take_resisted(c, float(amount) * damage_roll(), damage_type);
    report_damage(c, lost, false);
    spawn_bleed(&g_blood, c->pos_x, c->pos_y, 1.0f, 40.0f, 5, c->bleed_type);
    if (settle_hit(c, char_at(source), 2) == hit_outcome::second_wind)
        return 0;
    return lost;
}

void queue_timed_damage(char_record* c, int32_t amount, int32_t damage_type, int32_t spell, int32_t count)
{
    int32_t queued = std::min<int32_t>(c->dot_queue_count, k_queue_limit);
    if (count <= 0 || count + queued >= k_queue_limit)
        return;
    for (int32_t i = queued; i < queued + count; ++i) {
        c->dot_queue_amount[i] = uint8_t(std::clamp(amount, 0, 255));
        c->dot_queue_type[i] = uint8_t(damage_type);
        c->dot_queue_spell[i] = spell >= 0 && spell < k_no_spell ? uint8_t(spell) : k_no_spell;
    }
    c->dot_queue_count = uint8_t(queued + count);
}

void update_timed_damage(char_record* c)
{
    if (c->life != k_life_alive || g_ticks < c->next_damage_tick)
        return;
    if (is_player(c) && char_has_attunement(c, k_aura)) {
        for (uint32_t s = 0; s < std::min<uint32_t>(g_char_count, k_char_slots); ++s) {
            char_record& e = g_chars[s];
            if (e.kind == k_kind_enemy && e.life == k_life_alive && char_monster_proto(&e).aphotic &&
                e.world_fade != 0.0f && distance2d(c->pos_x, c->pos_y, e.pos_x, e.pos_y) < k_aura_reach)
                apply_effect_damage(&e, c->level, 0, c->slot);
        }
    }
    c->next_damage_tick = g_ticks + k_timed_damage_period;
    int32_t queued = std::min<int32_t>(c->dot_queue_count, k_queue_limit);
    if (queued == 0)
        return;
    int32_t last = queued - 1;
    c->dot_queue_count = uint8_t(last);
    uint8_t spell = c->dot_queue_spell[last];
    apply_effect_damage(c, c->dot_queue_amount[last], c->dot_queue_type[last], is_player(c) ? -1 : int32_t(g_player_char));
    if (spell < k_no_spell) {
        const world_object* o = world_object_of(*c);
        run_hook(g_char_rule_links.spawn_cast_particles, "spawn_cast_particles", int32_t(spell), -1, c->pos_x,
                 c->pos_y, o ? float(o->layer) : 0.0f);
        cast_at(spell, nullptr, c->pos_x, c->pos_y, 1);
    }
}
