// The three tables that tune the combat rules by skill value (0 to 17): attack times, damage
// multipliers and block and dodge chances. They hold built-in values until load_rule_tables reads
// the game's tuned values over them.
#pragma once

#include <array>
#include <cstdint>

constexpr int k_skill_values = 18;  // skill values 0 to 17 index the tables
constexpr int k_base_attack_times = 4;

constexpr const char* k_ticks_file = "global/ticks.txt";
constexpr const char* k_damage_bonus_file = "global/damage_bonus.txt";
constexpr const char* k_block_dodge_file = "global/block&dodge.txt";

struct attack_speed_times {
    // no weapon, fast weapons and light foci; medium weapons; heavy weapons and heavy foci; ranged
    float base[k_base_attack_times];
    float speed[k_skill_values];  // multiplier by the speed skill
};

extern attack_speed_times attack_speed_table;
extern std::array<float, k_skill_values> damage_skill_multipliers;  // by the skill the weapon class uses
extern std::array<int32_t, k_skill_values> block_dodge_chance_table;  // percent, by the melee or speed skill

// The table index of a skill value: values above 17 count as 17.
inline int32_t skill_index(int32_t skill)
{
    return skill < 0 ? 0 : skill >= k_skill_values ? k_skill_values - 1 : skill;
}

// Puts the built-in values back into all three tables.
void reset_rule_tables();

// Reads the ticks, damage bonus and block-and-dodge files in this order. Each line holds a label
// (one word of any length, ignored) and a number; values fill the table in line order: the ticks
// file the four base times and then the speed multipliers of skill values 1 to 17, the other two
// files their values 1 to 17. Index 0 always keeps its built-in value. A file that cannot be
// opened stops the loading there; a short file leaves the remaining values as they were; a line
// without a number (or with a number that is not finite) is logged and ends the reading of its
// file, leaving the remaining values as they were.
void load_rule_tables();
