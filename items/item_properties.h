// The codes of the REQUIREMENTS and EFECTS lists of items, with the names the item editor offers
// and the words tooltips print. The numbers are stored in "global/items.dat" and never change.
#pragma once

#include <cstdint>

// REQUIREMENTS codes, tested by item_requirements_met. Codes 0 and above 15 set no condition.
enum requirement_code : uint16_t {
    k_req_any = 0,
    k_req_weapon = 1,
    k_req_shield = 2,
    k_req_no_shield = 3,
    k_req_no_armour = 4,
    k_req_light_armour = 5,
    k_req_heavy_armour = 6,
    k_req_fast_melee = 7,
    k_req_normal_melee = 8,
    k_req_heavy_melee = 9,
    k_req_ranged = 10,
    k_req_dreamworld = 11,
    k_req_no_element = 12,
    k_req_element = 13,        // a1: element 0 to 3 (damage type a1 + 4)
    k_req_element_focus = 14,  // a1: element 0 to 3
    k_req_melee = 15,
};
constexpr int k_requirement_codes = 16;

// EFECTS codes. "character rules" codes are read by the statistics, combat and machine rules of
// the characters; the others by the item looks, item use and ground items.
enum efect_code : uint16_t {
    k_efect_nothing = 0,
    k_efect_base_damage_add = 1,
    k_efect_base_damage_on_creature_add = 2,
    k_efect_critical_chance_add = 3,  // a1, a2 dice; a3
    k_efect_critical_damage_add = 4,
    k_efect_add_protection = 5,
    k_efect_slashing_resistance_add = 6,
    k_efect_piercing_resistance_add = 7,
    k_efect_crushing_resistance_add = 8,
    k_efect_hitpoints_add = 9,
    k_efect_serendipity = 10,
    k_efect_resurection = 11,
    k_efect_soulthief = 12,
    k_efect_dreamform = 13,
    k_efect_add_experience = 14,
    k_efect_reflect_damage = 15,
    k_efect_dodge_add = 16,
    k_efect_block_add = 17,
    k_efect_set_ac = 18,
    k_efect_magic_resistance_add = 19,
    k_efect_cold_resistance_add = 20,
    k_efect_fire_resistance_add = 21,
    k_efect_poison_resistance_add = 22,
    k_efect_lighting_resistance_add = 23,
    k_efect_change_3d_part = 24,        // a1 animation, a2 body part, a3 model
    k_efect_change_3d_part_color = 25,  // a1 body part, a2..a5 red, green, blue, alpha in twentieths
    k_efect_change_char_color = 26,     // a1..a4 red, green, blue, alpha in twentieths
    k_efect_change_skin = 27,           // a1 body part, a2 skin
    k_efect_add_efect3d = 28,           // a1 body part, a2 effect prototype, a3 vertex
    k_efect_add_efect2d = 29,           // a1 height mode, a2 effect prototype, a3 scale in twentieths
    k_efect_add_life = 30,              // the item's damage field is the divisor
    k_efect_add_mana = 31,              // a1, a2 dice of the amount
    k_efect_add_stamina = 32,
    k_efect_change_char_part = 33,      // a1 body part, a2 model
    k_efect_cast_spell_when_attack = 34,  // a1 spell
    k_efect_kickback = 35,
    k_efect_earthquake_when_attack = 36,
    k_efect_learn_spell = 37,           // a1 spell
    k_efect_cast_spell_when_hit = 38,
    k_efect_earthquake_when_hit = 39,
    k_efect_cast_spell_when_death = 40,
    k_efect_earthquake_when_death = 41,
    k_efect_add_efect3d2 = 42,          // a1 body part, a2 effect prototype, a3 number of vertices
    k_efect_add_char_light = 43,        // a1..a3 red, green, blue in twentieths
    k_efect_sub_char_light = 44,        // a1..a3 red, green, blue in twentieths
    k_efect_cast_spell_when_groundstep = 45,  // a1 spell
    k_efect_damage_type_add = 46,
    k_efect_enemy_damage_add = 47,
    k_efect_enemy_critical_chance_add = 48,
    k_efect_enemy_ac_add = 49,
    k_efect_shred_enemy_armour = 50,
    k_efect_enemy_block_dodge_add = 51,
    k_efect_touch_of_death = 52,
    k_efect_haemorrhage = 53,
    k_efect_add_ticks = 54,
    k_efect_stun_enemy = 55,
    k_efect_berserk = 56,
    k_efect_sunlight = 57,
    k_efect_change_damage_type = 58,
    k_efect_slow_enemy = 59,
    k_efect_cast_spell_when_quickused = 60,  // a1 spell
    k_efect_equipment_spell = 61,            // a1 spell
    k_efect_cast_spell_when_critical_on_foe = 62,
    k_efect_cast_spell_when_hit_on_foe = 63,
    k_efect_cast_onspell_when_critical = 64,
    k_efect_add_residual_when_hit_on_foe = 65,
    k_efect_add_residual_when_critical_on_foe = 66,
    k_efect_base_damage_fixed_add = 67,
    k_efect_cast_spell_on_attunement_spell = 68,
};
constexpr int k_efect_codes = 69;

// A value stored in twentieths is the integer times this.
constexpr float k_twentieth = 0.05f;

struct requirement_code_text {
    const char* editor_name;
    const char* tooltip_word;  // codes 13 and 14 print the element word before it
};

inline constexpr requirement_code_text k_requirement_texts[k_requirement_codes] = {
    {"Any", "nothing"},
    {"Weapon", "Weapon"},
    {"Shield", "Shield"},
    {"No Shield", "No Shield"},
    {"No Armour", "No Armour"},
    {"Light Armour", "Light Armour"},
    {"Heavy Armour", "Heavy Armour"},
    {"Fast Melee", "Fast Melee"},
    {"Normal Melee", "Normal Melee"},
    {"Heavy Melee", "Heavy Melee"},
    {"Ranged", "Ranged"},
    {"Dreamworld", "Dreamworld"},
    {"No Element", "No Element"},
    {"Element", " Element"},
    {"Element Focus", " Element Focus"},
    {"Melee", "Melee"},
};

// The element a1 of codes 13 and 14 as the tooltip prints it; element e is damage type e + 4.
inline constexpr const char* k_requirement_element_words[4] = {"Fire", "Water", "Air", "Earth"};

// The item editor's list of EFECTS codes; an entry's position is its code.
inline constexpr const char* k_efect_editor_names[k_efect_codes] = {
    "nothing", "base damage add", "base damage on creature add", "critical chance add",
    "critical damage add", "add protection", "slashing damage resistance add", "piercing damage resistance add",
    "crushing damage resistance add", "hitpoints add", "serendipity", "resurection",
    "soulthief", "dreamform", "add experiece", "reflect damage",
    "dodge add", "block add", "set ac", "magic resistance add",
    "cold resistance add", "fire resistance add", "poison resistance add", "lighting resistance add",
    "change 3d part", "change 3d part color", "change char color", "change skin",
    "add efect3d", "add efect2d", "add life", "add mana",
    "add stamina", "change char part", "cast spell when attack", "kickback",
    "earthquake when attack", "learn spell", "cast spell when hit", "earthquake when hit",
    "cast spell when death", "earthquake when death", "add efect3d2", "add char light",
    "sub char light", "cast spell when groundstep", "damage type add", "enemy damage add",
    "enemy critical chance add", "enemy ac add", "shred enemy armour", "enemy block/dodge add",
    "touch of death", "Haemorrhage", "add ticks", "stun enemy",
    "berserk", "sunlight", "change damage type", "slow enemy",
    "cast spell when quickused", "equipment spell", "cast spell when critical on foe", "cast spell when hit on foe",
    "cast onspell when critical", "add residual when hit on foe", "add residual when critical hit on foe",
    "base damage fixed add", "cast spell on attunement spell",
};

// The editor name and tooltip word of a REQUIREMENTS code; null for a code outside the table.
const requirement_code_text* requirement_text(int32_t code);
// The editor name of an EFECTS code; null for a code outside the table.
const char* efect_editor_name(int32_t code);
// The word of element a1 (0 to 3) of codes 13 and 14; null for another value.
const char* requirement_element_word(int32_t element);
