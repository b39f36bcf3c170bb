// The demo's equipment through the program's own start-up: the hero comes armed with a packed
// backpack, the quick bar comes from "global/quick.dat", every equipment class has an item that
// fits its home slot, and the gate's chest holds gold. An item whose spell gives an item that casts
// the spell again is used at the cost of one cast per wearing.
#include "shell/shell_fixture.h"
#include "shell/injected_input.h"

#include "tools/demo/demo_data.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "interface/equipment_slots.h"
#include "items/containers.h"
#include "items/item_editing.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "shell/program.h"

#include <algorithm>
#include <set>

TEST_F(shell_test, TheHeroStartsArmedWithTheQuickBarOfItsFile)
{
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());

    const char_record* hero = char_at(int32_t(g_player_char));
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(char_weapon_item(hero), k_demo_sword);
    EXPECT_EQ(find_item_in_slot(k_inv_weapon), char_weapon_entry(hero));
    const int32_t potion = find_item_in_slot(0);
    ASSERT_GE(potion, 0);
    EXPECT_EQ(hero->inv_item[potion], k_demo_potion);
    EXPECT_GE(find_item_in_slot(3), 0);

    // The file's bar: the sword as the weapon, the potion as the quick item, the wand as the focus,
    // the showcase spell, nothing selected, the rest empty.
    EXPECT_TRUE(g_interface.quick_ids[0] == k_demo_sword && g_interface.quick_kinds[0] == 1);
    EXPECT_TRUE(g_interface.quick_ids[1] == k_demo_potion && g_interface.quick_kinds[1] == 2);
    EXPECT_TRUE(g_interface.quick_ids[2] == k_demo_wand && g_interface.quick_kinds[2] == 1);
    EXPECT_TRUE(g_interface.quick_ids[3] == k_demo_spell_volley && g_interface.quick_kinds[3] == 3);
    EXPECT_EQ(g_interface.quick_selected, 255);
    for (int i = 4; i < k_quick_key_slots; ++i)
        EXPECT_EQ(g_interface.quick_ids[i], -1) << i;

    // An item for every equipment class and the lantern, each fitting its slot, with its images.
    std::set<int32_t> classes;
    for (int32_t id = 0; id < g_item_proto_count; ++id) {
        const item_proto& item = g_item_protos[id];
        if (item.deleted)
            continue;
        classes.insert(item.item_class);
        const int32_t home = equip_slot_for_type(item.item_class);
        EXPECT_TRUE(home < 0 || item_proto_fits_slot(home, id) == 1) << item.key_name;
    }
    for (int32_t c : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 25})
        EXPECT_TRUE(classes.count(c)) << "class " << c;
    EXPECT_EQ(item_proto_fits_slot(k_inv_shield, k_demo_lantern), 1);
    EXPECT_NE(g_item_protos[k_demo_glove].big_image, g_item_protos[k_demo_glove].icon_texture);

    // The chest holds two gold cells.
    ASSERT_GE(g_level_container_count, 1);
    int gold_cells = 0;
    for (uint32_t k = 0; k < container_cells(&g_containers[0]); ++k)
        gold_cells += g_containers[0].items[k] == k_demo_gold && g_containers[0].flags[k] > 0;
    EXPECT_EQ(gold_cells, 2);
    program_shutdown(true);
}

TEST_F(shell_test, AnItemWhoseSpellGivesAnItemThatCastsItAgainIsUsedOnce)
{
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    // The quick bar's potion casts the ember shield, which gives its caster an ember glow; the glow,
    // once worn, casts the shield again: use, cast, give, wear, cast, give ...
    add_item_effect(k_demo_potion, k_efect_cast_spell_when_quickused, {k_demo_spell_shield});
    add_item_effect(k_demo_ember_glow, k_efect_equipment_spell, {k_demo_spell_shield});
    ASSERT_TRUE(tap_keys({k_key_2}));
    // The potion's glow is worn and casts once; the glow that cast gives is worn without casting.
    const char_record& hero = g_chars[g_player_char];
    EXPECT_EQ(std::count(hero.inv_item, hero.inv_item + hero.inv_count, k_demo_ember_glow), 2);
    program_shutdown(true);
}
