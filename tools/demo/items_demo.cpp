#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "items/items.h"

namespace {

item_proto& add_item(const char* key_name, const char* display_name, uint8_t item_class)
{
    item_proto& item = g_item_protos[g_item_proto_count++];
    item = item_proto{};
    copy_bounded(item.key_name, sizeof item.key_name, key_name);
    copy_bounded(item.display_name, sizeof item.display_name, display_name);
    item.item_class = item_class;
    item.attunement_link = -1;
    item.critical_multiplier = 1.0f;
    return item;
}

} // namespace

void write_items_demo_data()
{
    g_item_proto_count = 0;

    item_proto& sword = add_item("mec", "Sword", k_item_medium_weapon);
    sword.weapon_category = 1;
    sword.damage = 8;
    sword.critical_chance = 5;
    sword.critical_multiplier = 2.0f;
    sword.range = 120;
    sword.attunement_link = 3;  // wearing it trains the blade focus
    sword.damage_code = 4;
    sword.attack_delay = 30;
    sword.strike_frame = 2;  // the last frame of the demo's attack clip
    sword.stamina_cost = 3;
    sword.price = 40;
    sword.anim_set = 1;
    sword.damage_type = 1;  // slashing

    item_proto& armour = add_item("brnenie", "Leather armour", k_item_armor);
    armour.armour_bonus = 4;
    armour.stamina_move = 1;
    armour.price = 25;

    item_proto& gold = add_item("zlato", "Gold", k_item_gold);
    gold.price = 1;

    item_proto& focus = add_item("sustredenie", "Blade focus", k_item_attunement);
    focus.size = 0;  // tier 0
    focus.efect_count = 1;
    g_item_lists[3].efects[0] = item_property{3, {5, 0, 0, 0, 0, 0, 0, 0}};

    require(save_items(), "global/items.dat");
}
