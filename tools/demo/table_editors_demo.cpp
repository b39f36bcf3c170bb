// What the container and spell editors show on the demo: two effect items (class 19) added to
// the item table, and the spell "Ember shield" with the ember burst as its hit spell and the
// effect items as its item effects. The items and the spells must be written first.
#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "items/spells.h"

namespace {

// A short-lived effect item on a free record: expires 60 ticks after it is given.
void add_effect_item(int16_t id, const char* key, const char* name, item_property efect)
{
    require(id < g_item_proto_count && g_item_protos[id].deleted, std::string("a free record for ") + name);
    item_proto& item = g_item_protos[id];
    item = item_proto{};
    copy_bounded(item.key_name, sizeof item.key_name, key);
    copy_bounded(item.display_name, sizeof item.display_name, name);
    copy_bounded(item.image_name, sizeof item.image_name, "stred");
    item.item_class = k_item_efect;
    item.duration = 60;
    item.destroy_after = 1;
    item.attunement_link = -1;
    item.critical_multiplier = 1.0f;
    g_item_lists[id] = item_lists{};
    g_item_lists[id].efects[0] = efect;
    item.efect_count = 1;
}

} // namespace

void write_table_editors_demo_data()
{
    add_effect_item(k_demo_ember_glow, "zeravy_jas", "Ember glow",
                    item_property{k_efect_add_char_light, {8, 4, 1, 0, 0, 0, 0, 0}});
    add_effect_item(k_demo_stone_skin, "kamenna_koza", "Stone skin",
                    item_property{k_efect_add_protection, {60, 0, 0, 0, 0, 0, 0, 0}});
    require(save_items(), "global/items.dat");

    require(k_demo_spell_shield < g_spell_proto_count, "a spell record for the ember shield");
    spell_proto& s = g_spell_protos[k_demo_spell_shield];
    copy_bounded(s.name, sizeof s.name, "Ember shield");
    copy_bounded(s.effect_key, sizeof s.effect_key, "zhar");
    s.school = k_school_fire;
    s.motion = k_motion_stational;
    s.damage_kind = k_spell_no_damage;
    s.mana_cost = 9;
    s.hit_spell = uint16_t(k_demo_spell_burst + 1);
    s.item_effect = k_demo_ember_glow;
    s.effect_per_level[0] = k_demo_stone_skin;
    require(save_spells(), "global/spells.dat");
}
