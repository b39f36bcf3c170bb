#include "characters/combat_rules.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/rule_tables.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/math.h"
#include "items/item_requirements.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

constexpr int16_t k_attunement_slow_attackers = 230;
constexpr float k_slow_distance = 300.0f;
constexpr int16_t k_first_damage_bonus = 372;
constexpr int32_t k_damage_bonus[] = {1, 2, 3, 5, 8, 12, 16, 25, 35, 50};

bool is_player(const char_record* c)
{
    return c && c->slot >= 0 && uint32_t(c->slot) == g_player_char;
}

int32_t entry_count(const char_record* c)
{
    return std::min<int32_t>(c->inv_count, k_inventory_entries);
}

int32_t class_value(int16_t base, int16_t per_level, int32_t level)
{
    int64_t v = int64_t(base) + int64_t(per_level) * level;
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Calls visit(property) for every EFECTS entry of the character's equipped attunements; with
// `checked` only of those whose requirements are met for the character.
template <class Visit>
void visit_attunement_properties(const char_record* c, bool checked, Visit visit)
{
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = equipped_item(c, i);
        if (!p || p->item_class != k_item_attunement)
            continue;
        int32_t id = c->inv_item[i];
        if (checked && !item_requirements_met_by(id, *c, id))
            continue;
        int32_t n = std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries);
        for (int32_t k = 0; k < n; ++k)
            visit(g_item_lists[id].efects[k]);
    }
}

float attunement_factor(const char_record* c, uint16_t code, bool checked)
{
    float factor = 1.0f;
    visit_attunement_properties(c, checked, [&](const item_property& e) {
        if (e.code == code)
            factor *= property_factor(e);
    });
    return factor;
}

int32_t flat_damage_bonus(const char_record* c)
{
    int32_t bonus = 0;
    for (int32_t i = 0; i < int32_t(std::size(k_damage_bonus)); ++i)
        if (char_has_attunement(c, int16_t(k_first_damage_bonus + i)))
            bonus += k_damage_bonus[i];
    return bonus;
}

// The weapon an attack uses: the given item, or for -1 the one the character holds.
const item_proto* attack_weapon(const char_record* c, int32_t weapon)
{
    return item_proto_at(weapon >= 0 ? weapon : char_weapon_item(c));
}

float shield_block_factor(uint8_t size)
{
    switch (size) {
    case 0: return 1.25f;
    case 1: return 1.5f;
    case 2: return 2.0f;
    default: return 1.0f;
    }
}

bool is_armour_piece(const item_proto& p)
{
    switch (p.item_class) {
    case k_item_armor:
    case k_item_helm:
    case k_item_legs:
    case k_item_left_hand_armor:
    case k_item_right_hand_armor: return true;
    default: return false;
    }
}

// The class armour plus the armour values of the equipped armour pieces of light (size 0) or
// heavy (other sizes) build.
int32_t armour_value(const char_record* c, bool heavy)
{
    const monster_proto& cls = char_monster_proto(c);
    int64_t ac = class_value(cls.armor_base, cls.armor_per_level, c->level);
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = equipped_item(c, i);
        if (p && is_armour_piece(*p) && (p->size != 0) == heavy)
            ac += p->armour_bonus;
    }
    return int32_t(std::clamp<int64_t>(ac, INT32_MIN, INT32_MAX));
}

// The block or dodge chance after the table and the shield step: the own factor of `own_code`,
// the attacker's code 51 and the player's difficulty factor.
int32_t finish_avoid_chance(float chance, const char_record* defender, int32_t attacker, uint16_t own_code)
{
    chance *= attunement_property_factor(defender, own_code);
    if (const char_record* a = char_at(attacker))
        chance *= attunement_property_factor(a, 51);
    if (is_player(defender))
        chance *= difficulty_block_dodge_factor();
    return int32_t(chance);
}

} // namespace

int32_t game_difficulty()
{
    int32_t d = g_player_char < uint32_t(k_char_slots) ? g_chars[g_player_char].difficulty : 1;
    return d >= 0 && d <= 4 ? d : 1;
}

float difficulty_block_dodge_factor()
{
    constexpr float k_factors[] = {1.0f, 1.0f, 0.75f, 0.5f, 0.25f};
    return k_factors[game_difficulty()];
}

float difficulty_damage_factor()
{
    constexpr float k_factors[] = {0.5f, 1.0f, 1.25f, 1.5f, 2.0f};
    return k_factors[game_difficulty()];
}

float difficulty_hp_factor()
{
    constexpr float k_factors[] = {0.5f, 1.0f, 2.0f, 3.0f, 4.0f};
    return g_editor_enabled ? 1.0f : k_factors[game_difficulty()];
}

float property_factor(const item_property& property)
{
    return float(property.args[0] - 40) * 0.05f;
}

const item_proto* equipped_item(const char_record* c, int32_t i)
{
    if (i < 0 || i >= entry_count(c) || !is_equipped_location(c->inv_location[i]))
        return nullptr;
    return item_proto_at(c->inv_item[i]);
}

float attunement_property_factor(const char_record* c, uint16_t code)
{
    return attunement_factor(c, code, true);
}

bool weapon_allows_shield(int32_t item)
{
    const item_proto* w = item_proto_at(item);
    return w && (w->item_class == k_item_fast_weapon || w->item_class == k_item_medium_weapon ||
                 (w->item_class == k_item_focus && w->size == 0));
}

int32_t block_chance(int32_t defender, int32_t attacker)
{
    const char_record* d = char_at(defender);
    if (!d)
        return 0;
    float chance = float(block_dodge_chance_table[skill_index(d->melee)]);
    if (weapon_allows_shield(char_weapon_item(d)))
        for (int32_t i = 0; i < entry_count(d); ++i)
            if (const item_proto* p = equipped_item(d, i); p && p->item_class == k_item_shield)
                chance = float(int32_t(chance * shield_block_factor(p->size)));
    return finish_avoid_chance(chance, d, attacker, 17);
}

int32_t dodge_chance(int32_t defender, int32_t attacker)
{
    const char_record* d = char_at(defender);
    if (!d)
        return 0;
    return finish_avoid_chance(float(block_dodge_chance_table[skill_index(d->speed)]), d, attacker, 16);
}

float damage_base(int32_t attacker, int32_t target, int32_t weapon, int32_t percent)
{
    const char_record* a = char_at(attacker);
    if (!a)
        return 0.0f;
    const char_record* t = char_at(target);
    int32_t damage_type = char_damage_type(a);
    float own = 1.0f;
    visit_attunement_properties(a, true, [&](const item_property& e) {
        if (e.code == 1 || (e.code == 2 && t && char_monster_proto(t).genus == e.args[1]) ||
            (e.code == 46 && damage_type == e.args[1]))
            own *= property_factor(e);
    });
    float against = t ? attunement_property_factor(t, 47) : 1.0f;

    float d;
    const item_proto* w = attack_weapon(a, weapon);
    if (w && w->damage != 0) {
        d = float(w->damage) * float(percent) / 100.0f + float(flat_damage_bonus(a));
        if (!is_player(a))
            d *= difficulty_damage_factor();
        int32_t skill = w->item_class < k_item_ranged_weapon ? a->melee
                        : w->item_class == k_item_ranged_weapon ? a->ranged
                                                                 : a->magic;
        d *= damage_skill_multipliers[skill_index(skill)];
    } else {
        const monster_proto& cls = char_monster_proto(a);
        d = float(cls.unarmed_base) + float(cls.unarmed_per_level) * float(a->level) * float(percent) / 100.0f +
            float(flat_damage_bonus(a));
    }
    return d * own * against;
}

int32_t char_armor_class(int32_t defender, int32_t attacker)
{
    const char_record* c = char_at(defender);
    if (!c)
        return 0;
    const monster_proto& cls = char_monster_proto(c);
    int64_t ac = class_value(cls.armor_base, cls.armor_per_level, c->level);
    for (int32_t i = 0; i < entry_count(c); ++i)
        if (const item_proto* p = equipped_item(c, i))
            ac += p->armour_bonus;
    float factor = 1.0f;
    visit_attunement_properties(c, is_player(c), [&](const item_property& e) {
        if (e.code == 5) {
            factor *= property_factor(e);
        } else if (e.code == 18) {
            ac = e.args[0];
            factor = 1.0f;
        }
    });
    if (const char_record* a = char_at(attacker))
        factor *= attunement_factor(a, 49, false);  // the attacker's attunements count untested
    float value = float(std::clamp<int64_t>(ac, INT32_MIN, INT32_MAX));
    for (int32_t i = 0; i < c->armor_break && value != 0.0f; ++i)
        value = float(int32_t(value * 0.8f));
    return int32_t(value * factor);
}

int32_t critical_chance(int32_t attacker, int32_t target, int32_t weapon)
{
    const char_record* a = char_at(attacker);
    if (!a)
        return 0;
    if (a->critical_until > g_elapsed_ms)
        return 100;
    const item_proto* w = attack_weapon(a, weapon);
    const monster_proto& cls = char_monster_proto(a);
    float chance = float(w ? w->critical_chance : class_value(cls.critical_base, cls.critical_per_level, a->level));
    chance *= attunement_factor(a, 3, is_player(a));
    if (const char_record* t = char_at(target))
        chance *= attunement_factor(t, 48, is_player(t));
    return int32_t(chance);
}

float critical_multiplier(int32_t attacker, int32_t, int32_t weapon)
{
    const char_record* a = char_at(attacker);
    if (!a)
        return 1.0f;
    const item_proto* w = attack_weapon(a, weapon);
    float m = w ? w->critical_multiplier : float(char_monster_proto(a).unarmed_critical_multiplier);
    return m * attunement_factor(a, 4, is_player(a));
}

int32_t char_resistance(const char_record* c, int32_t damage_type)
{
    // the resistance slot of damage types 1 to 7: slash, pierce, crush, fire, cold, lightning, poison
    constexpr int k_slot[] = {5, 6, 7, 1, 2, 3, 4};
    if (damage_type < 1 || damage_type > 7)
        return 0;
    return c->resist[k_slot[damage_type - 1]];
}

float char_attack_speed(const char_record* c)
{
    int base = 0;
    if (const item_proto* w = item_proto_at(char_weapon_item(c))) {
        switch (w->item_class) {
        case k_item_medium_weapon: base = 1; break;
        case k_item_heavy_weapon: base = 2; break;
        case k_item_ranged_weapon: base = 3; break;
        case k_item_focus: base = w->size != 0 ? 2 : 0; break;
        default: break;
        }
    }
    float armour = float(char_armor_weight(c)) / 1000.0f + 1.0f;
    float shield = 1.0f;
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = equipped_item(c, i);
        if (!p || p->item_class != k_item_shield)
            continue;
        if (p->size == 0)
            shield = 1.1f;
        else if (p->size == 1)
            shield = 1.25f;
        else if (p->size == 2)
            shield = 1.5f;
    }
    float slow = 1.0f;
    const char_record* player = char_at(int32_t(g_player_char));
    if (player && !is_player(c) && char_has_attunement(player, k_attunement_slow_attackers) &&
        distance2d(c->pos_x, c->pos_y, player->pos_x, player->pos_y) < k_slow_distance)
        slow = 2.0f;
    return attack_speed_table.base[base] * attack_speed_table.speed[skill_index(c->speed)] * armour * shield *
           attunement_property_factor(c, 54) * slow;
}

int32_t char_armor_weight(const char_record* c)
{
    int32_t weight = 0;
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = equipped_item(c, i);
        if (!p)
            continue;
        int32_t w = p->item_class == k_item_armor ? 125 : p->item_class == k_item_helm ? 50 : is_armour_piece(*p) ? 25 : 0;
        weight += p->size != 0 ? 4 * w : w;
    }
    return weight;
}

int32_t char_light_armor_value(const char_record* c)
{
    return armour_value(c, false);
}

int32_t char_heavy_armor_value(const char_record* c)
{
    return armour_value(c, true);
}

int32_t char_shield_item(const char_record* c)
{
    for (int32_t i = 0; i < entry_count(c); ++i)
        if (const item_proto* p = equipped_item(c, i); p && p->item_class == k_item_shield)
            return c->inv_item[i];
    return -1;
}

int32_t char_damage_type(const char_record* c)
{
    int32_t type = char_weapon_entry_damage_type(c);
    return type >= 0 ? type : char_monster_proto(c).damage_type;
}

int32_t char_weapon_entry_damage_type(const char_record* c)
{
    int32_t i = char_weapon_entry(c);
    return i < 0 ? -1 : c->inv_damage_type[i];
}
