// The rule tables read from any text: the input is each of the three files. Index 0 of every
// table keeps its built-in value and every value read is a finite number.
#include "tests/fuzz/fuzz_scratch.h"

#include "characters/rule_tables.h"
#include "platform/files.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    for (const char* name : {k_ticks_file, k_damage_bonus_file, k_block_dodge_file})
        write_fuzz_file(name, data, size);
    reset_rule_tables();
    const float speed0 = attack_speed_table.speed[0];
    const float damage0 = damage_skill_multipliers[0];
    const int32_t chance0 = block_dodge_chance_table[0];
    load_rule_tables();
    if (attack_speed_table.speed[0] != speed0 || damage_skill_multipliers[0] != damage0 ||
        block_dodge_chance_table[0] != chance0)
        std::abort();
    for (float v : attack_speed_table.base)
        if (!std::isfinite(v))
            std::abort();
    for (int i = 0; i < k_skill_values; ++i)
        if (!std::isfinite(attack_speed_table.speed[i]) || !std::isfinite(damage_skill_multipliers[i]))
            std::abort();
    reset_rule_tables();
    return 0;
}
