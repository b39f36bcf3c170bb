#include "items/item_requirements.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "world/dream_world.h"

#include <algorithm>

namespace {

// True when some equipped entry's item passes the test, which gets the item and the entry's
// damage-type byte.
template <class Test>
bool any_equipped(const char_record& c, Test test)
{
    int32_t n = std::min<int32_t>(c.inv_count, k_inventory_entries);
    for (int32_t i = 0; i < n; ++i) {
        const item_proto* p = item_proto_at(c.inv_item[i]);
        if (p && is_equipped_location(c.inv_location[i]) && test(*p, c.inv_damage_type[i]))
            return true;
    }
    return false;
}

bool of_class(const item_proto& p, int lowest, int highest)
{
    return p.item_class >= lowest && p.item_class <= highest;
}

bool requirement_holds(const char_record& c, const item_property& r)
{
    auto class_held = [&](int lowest, int highest) {
        return any_equipped(c, [&](const item_proto& p, uint8_t) { return of_class(p, lowest, highest); });
    };
    auto element_held = [&](int lowest, int highest, int element) {
        return any_equipped(c, [&](const item_proto& p, uint8_t type) {
            return of_class(p, lowest, highest) && int(type) == element;
        });
    };
    switch (r.code) {
    case k_req_weapon: return class_held(k_item_fast_weapon, k_item_ranged_weapon);
    case k_req_shield: return class_held(k_item_shield, k_item_shield);
    case k_req_no_shield: return !class_held(k_item_shield, k_item_shield);
    case k_req_no_armour: return char_armor_weight(&c) <= 0;
    case k_req_light_armour: return char_armor_weight(&c) != 0 && char_light_armor_value(&c) >= char_heavy_armor_value(&c);
    case k_req_heavy_armour: return char_armor_weight(&c) != 0 && char_light_armor_value(&c) < char_heavy_armor_value(&c);
    case k_req_fast_melee: return class_held(k_item_fast_weapon, k_item_fast_weapon);
    case k_req_normal_melee: return class_held(k_item_medium_weapon, k_item_medium_weapon);
    case k_req_heavy_melee: return class_held(k_item_heavy_weapon, k_item_heavy_weapon);
    case k_req_ranged: return class_held(k_item_ranged_weapon, k_item_ranged_weapon);
    case k_req_dreamworld: return g_dream_world.active != 0;
    case k_req_no_element:
        return !any_equipped(c, [](const item_proto& p, uint8_t type) {
            return of_class(p, k_item_fast_weapon, k_item_focus) && type > 3;
        });
    case k_req_element: return element_held(k_item_fast_weapon, k_item_focus, r.args[0] + 4);
    case k_req_element_focus: return element_held(k_item_focus, k_item_focus, r.args[0] + 4);
    case k_req_melee: return class_held(k_item_fast_weapon, k_item_heavy_weapon);
    default: return true;
    }
}

} // namespace

int32_t item_requirements_met(int32_t item, int32_t slot, int32_t tested)
{
    const char_record* c = char_at(slot);
    return c ? item_requirements_met_by(item, *c, tested) : 0;
}

int32_t item_requirements_met_by(int32_t item, const char_record& c, int32_t tested)
{
    const item_proto* p = item_proto_at(item);
    if (!p)
        return 0;
    if (c.slot >= 0 && uint32_t(c.slot) == g_player_char && p->item_class == k_item_shield) {
        const item_proto* shield = item_proto_at(char_shield_item(&c));
        int32_t weapon = char_weapon_item(&c);
        if (shield && shield->attunement_link == tested && weapon != -1 && !weapon_allows_shield(weapon))
            return 0;
    }
    int32_t n = std::clamp<int32_t>(p->requirement_count, 0, k_item_list_entries);
    for (int32_t i = 0; i < n; ++i)
        if (!requirement_holds(c, g_item_lists[item].requirements[i]))
            return 0;
    return 1;
}
