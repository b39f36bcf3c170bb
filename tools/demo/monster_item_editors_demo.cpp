// What the monster and item editors meet on the demo data: two relics in removed records, items
// nobody carries whose EFECTS lists hold a code of every effect family (and an element
// requirement), and a bandit captain class with weapons and a custom treasure table.
#include "tools/demo/demo_data.h"

#include "characters/monster_protos.h"
#include "core/utilities.h"
#include "items/item_editing.h"
#include "items/item_properties.h"
#include "items/items.h"

#include <initializer_list>

namespace {

struct demo_effect {
    int32_t code;
    int32_t args[6];
};

// The highest removed record below the count, which the relic takes (the table keeps its size).
int32_t free_record()
{
    int32_t id = g_item_proto_count - 1;
    while (id >= 0 && !g_item_protos[id].deleted)
        --id;
    require(id >= 0, "a free record for a relic");
    return id;
}

int32_t add_relic(const char* key, const char* name, std::initializer_list<demo_effect> effects)
{
    const int32_t id = free_record();
    item_proto& relic = g_item_protos[id];
    relic = item_proto{};
    copy_bounded(relic.key_name, sizeof relic.key_name, key);
    copy_bounded(relic.display_name, sizeof relic.display_name, name);
    copy_bounded(relic.image_name, sizeof relic.image_name, "stred");
    relic.item_class = k_item_normal;
    relic.attunement_link = -1;
    relic.critical_multiplier = 1.0f;
    relic.price = 5;
    g_item_lists[id] = item_lists{};
    for (const demo_effect& e : effects)
        add_item_effect(id, e.code, e.args);
    return id;
}

void write_relics()
{
    const int32_t forms = add_relic("relikvia1", "Relic of forms",
              {{1, {60, -1, -1, -1, -1, -1}},   {2, {40, 3, -1, -1, -1, -1}},  {3, {1, 2, 4, -1, -1, -1}},
               {6, {110, -1, -1, -1, -1, -1}},  {18, {5, -1, -1, -1, -1, -1}}, {24, {5, 8, -1, -1, -1, -1}},
               {25, {0, 20, 20, 20, 20, -1}},   {26, {20, 20, 20, 20, -1, -1}}, {27, {1, 2, -1, -1, -1, -1}},
               {28, {8, 0, 0, -1, -1, -1}}});
    add_item_requirement(forms, k_req_element, 2, -1, -1);
    add_relic("relikvia2", "Relic of powers",
              {{29, {1, 0, 20, -1, -1, -1}},  {30, {1, 100, -1, -1, -1, -1}}, {33, {0, -1, -1, -1, -1, -1}},
               {34, {0, -1, -1, -1, -1, -1}}, {36, {2, 2, 9, -1, -1, -1}},    {46, {60, 4, -1, -1, -1, -1}},
               {58, {5, -1, -1, -1, -1, -1}}, {65, {40, 0, 3, 0, -1, -1}},    {55, {-1, -1, -1, -1, -1, -1}}});
    require(save_items(), "global/items.dat");
}

void write_captain_class()
{
    const int32_t id = g_monster_proto_count++;
    monster_proto& captain = g_monster_protos[id];
    captain = g_monster_protos[0];
    copy_bounded(captain.name, sizeof captain.name, "Bandit captain");
    captain.weapon_count = 2;
    captain.weapon_item[1] = k_demo_wand;
    captain.weapon_level[1] = 4;
    captain.weapon_rarity[1] = 1;
    captain.treasure_count = 2;
    captain.treasure_item[1] = k_demo_potion;
    captain.treasure_level[1] = 3;
    captain.treasure_rarity[1] = 3;  // custom: its own chance
    captain.treasure_chance[1] = 8;  // 40 %
    require(save_monster_protos(), "global/monsters.dat");
}

} // namespace

void write_monster_item_editors_demo_data()
{
    write_relics();
    write_captain_class();
}
