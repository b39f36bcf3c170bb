#include "characters/char_stats.h"

#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "characters/monster_protos.h"
#include "core/settings.h"
#include "engine/ui_texts.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int32_t k_hp_limit = 32000;
constexpr int k_level_up_text = 119;
constexpr int32_t k_level_up_spell = 114;
constexpr int16_t k_resist_min = INT16_MIN;
constexpr int16_t k_resist_max = INT16_MAX;

// The resistance slot (magic, fire, cold, lightning, poison, slash, pierce, crush) an EFECTS code
// adds to, or -1.
int resistance_slot_of(uint16_t code)
{
    switch (code) {
    case 6: return 5;   // slash
    case 7: return 6;   // pierce
    case 8: return 7;   // crush
    case 19: return 0;  // magic
    case 20: return 2;  // cold
    case 21: return 1;  // fire
    case 22: return 4;  // poison
    case 23: return 3;  // lightning
    default: return -1;
    }
}

template <class Visit>
void visit_equipped_properties(const char_record* c, Visit visit)
{
    for (int32_t i = 0; i < std::min<int32_t>(c->inv_count, k_inventory_entries); ++i) {
        const item_proto* p = equipped_item(c, i);
        if (!p)
            continue;
        int32_t n = std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries);
        for (int32_t k = 0; k < n; ++k)
            visit(g_item_lists[c->inv_item[i]].efects[k]);
    }
}

} // namespace

void recompute_char_stats(char_record* c, bool full)
{
    c->melee = c->melee_base;
    c->ranged = c->ranged_base;
    c->magic = c->magic_base;
    c->speed = c->speed_base;

    int32_t resist[8] = {};
    int32_t hp = char_base_max_hp(c);
    visit_equipped_properties(c, [&](const item_property& e) {
        if (int slot = resistance_slot_of(e.code); slot >= 0)
            resist[slot] = std::clamp<int32_t>(resist[slot] + e.args[0] - 100, k_resist_min, k_resist_max);
        else if (e.code == 9)
            hp = int32_t(std::clamp(float(hp) * property_factor(e), float(INT32_MIN), 2147483520.0f));
    });
    std::copy(std::begin(resist), std::end(resist), c->resist);
    c->mana_max = char_second_pool_max(c);
    c->hp_max = std::min(hp, k_hp_limit);
    if (full) {
        c->hp = c->hp_max;
        c->hp_ceiling = int16_t(std::clamp<int32_t>(c->hp_max, INT16_MIN, INT16_MAX));
    }
    c->hp = std::min<int32_t>(c->hp, c->hp_ceiling);
    c->mana = std::min(c->mana, c->mana_max);
}

int32_t char_base_max_hp(const char_record* c)
{
    bool others = !(c->slot >= 0 && uint32_t(c->slot) == g_player_char);
    double hp = 100.0 * std::pow(2.0, (double(c->level) - 1.0) / 4.0) * char_monster_proto(c).hp_percent / 100.0;
    if (others)
        hp *= difficulty_hp_factor();
    return int32_t(std::clamp(hp, 0.0, double(k_hp_limit)));
}

int32_t char_second_pool_max(const char_record* c)
{
    int64_t mana = int64_t(c->level) * 20 + 20;
    return int32_t(std::clamp<int64_t>(mana, INT32_MIN, INT32_MAX));
}

void char_level_up(char_record* c)
{
    if (c->level < INT32_MAX)
        ++c->level;
    int32_t points = c->level < 24 ? (c->level - 2) * 10 + 50 : 300;
    c->skill_points = int16_t(std::clamp<int32_t>(c->skill_points + points, INT16_MIN, INT16_MAX));
    recompute_char_stats(c, false);
    c->hp_ceiling = int16_t(std::clamp<int32_t>(c->hp_max, INT16_MIN, INT16_MAX));
    c->hp = c->hp_ceiling;
    c->mana = c->mana_max;
    log_add_line(&g_message_log, 2, "%s", ui_text(k_level_up_text));
    run_hook(g_char_rule_links.cast_spell, "cast_spell", k_level_up_spell, int32_t(c->slot), c->pos_x, c->pos_y,
             c->pos_x, c->pos_y, int16_t(0), 1);
}

int32_t xp_for_level(int32_t level)
{
    if (level <= 1)
        return 0;
    if (level == 2)
        return 25;
    if (level <= 18)
        return 25 * (1 << (level - 1)) - 25;
    int64_t xp = int64_t(level - 19) * 3000000 + 6000000;
    return int32_t(std::min<int64_t>(xp, INT32_MAX));
}

int32_t level_value(int32_t level)
{
    constexpr int32_t k_values[] = {2,    5,    10,   15,    20,    25,    50,    100,   200,   400,
                                    800,  1600, 3200, 6400,  12500, 25000, 40000, 60000, 80000, 100000};
    return level >= 1 && level <= 20 ? k_values[level - 1] : -1;
}
