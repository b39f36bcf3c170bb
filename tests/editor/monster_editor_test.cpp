// The monster editor: fields stored at every keystroke in their width, showing a class that
// changes nothing but an oversized chance step, the weapon and treasure tables with their cap,
// the clipboards and the menu's new and delete.
#include "tests/editor/monster_item_editor_support.h"

#include <cstring>

namespace {

class MonsterEditor : public monster_item_editor_test {
protected:
    dialog_handle open()
    {
        open_editor_windows();
        user_pick_menu(g_command_window, k_menu_monsters);
        return g_monster_editor_window;
    }
};

} // namespace

TEST_F(MonsterEditor, FieldsStoreAtEveryKeystrokeInTheirWidthAndOnlyWithAClassChosen)
{
    make_class("wolf");
    make_class("bandit");
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(get_list_count(d, k_mon_list), 2);
    EXPECT_EQ(combo_shown(d, k_mon_skill), "F");

    // Nothing is chosen yet: typing stores nothing.
    user_type(d, k_mon_shield, "7");
    EXPECT_EQ(g_monster_protos[0].shield, 15);
    EXPECT_FALSE(g_monster_protos_file.changed);

    ASSERT_TRUE(user_choose(d, k_mon_list, 1));
    EXPECT_EQ(field_text(d, k_mon_name), "bandit");
    EXPECT_FALSE(g_monster_protos_file.changed);  // showing changed nothing
    user_edit_text(d, k_mon_name, "");
    user_type(d, k_mon_name, "Ro");
    EXPECT_STREQ(g_monster_protos[1].name, "Ro");
    user_type(d, k_mon_name, "b");
    EXPECT_STREQ(g_monster_protos[1].name, "Rob");
    user_edit_text(d, k_mon_shield, "40000");
    EXPECT_EQ(g_monster_protos[1].shield, int16_t(40000 - 65536));
    user_edit_text(d, k_mon_hitpoints, "abc");
    EXPECT_EQ(g_monster_protos[1].hp_percent, 0);
    user_edit_text(d, k_mon_critical_damage, "12345678901");  // nine characters read
    EXPECT_EQ(g_monster_protos[1].unarmed_critical_multiplier, int16_t(123456789 & 0xFFFF));
    user_edit_text(d, k_mon_gold, "3000000000");
    EXPECT_EQ(g_monster_protos[1].carries_gold, 3000000000u);
    user_choose(d, k_mon_type, 13);
    user_choose(d, k_mon_skill + 2, 16);
    user_choose(d, k_mon_dreamwalk, 2);
    user_click(d, k_mon_aphotic);
    const monster_proto& p = g_monster_protos[1];
    EXPECT_EQ(p.genus, 13);
    EXPECT_EQ(p.base_skills[2], 16);
    EXPECT_EQ(p.dreamwalk, 2);
    EXPECT_EQ(p.aphotic, 1);
    EXPECT_TRUE(g_monster_protos_file.changed);
    EXPECT_STREQ(g_monster_protos[0].name, "wolf");

    // Showing the class again reads back what was stored, the gold as its ten digits.
    user_choose(d, k_mon_list, 0);
    user_choose(d, k_mon_list, 1);
    EXPECT_EQ(field_text(d, k_mon_shield), "-25536");
    EXPECT_EQ(g_monster_protos[1].carries_gold, 3000000000u);
}

TEST_F(MonsterEditor, ShowingAClassChangesNothingButAChanceStepAboveTwenty)
{
    monster_proto& p = make_class("");
    std::memset(p.name, 'n', 100);  // the whole field
    std::memset(p.chr_name, 'c', 20);
    p.carries_gold = 4000000000u;
    p.reserved_792[0] = 2147483647u;
    p.reserved_792[1] = 7;
    p.treasure_count = 2;
    p.treasure_chance[0] = 25;
    p.treasure_chance[1] = 3;
    p.treasure_item[0] = 0;
    p.treasure_item[1] = 55;  // outside the item table
    p.treasure_level[0] = 4;
    p.treasure_rarity[0] = 3;
    p.treasure_rarity[1] = 9;
    p.weapon_count = 1;
    p.weapon_item[0] = 0;
    p.weapon_level[0] = 2;
    p.weapon_rarity[0] = 1;
    p.base_skills[3] = 17;  // beyond the drop-down
    make_item("Gem", 22);
    monster_proto expected = p;
    expected.treasure_chance[0] = 20;

    const dialog_handle d = open();
    user_choose(d, k_mon_list, 0);
    EXPECT_EQ(std::memcmp(&g_monster_protos[0], &expected, sizeof expected), 0);
    EXPECT_EQ(list_row(d, k_mon_treasure_list, 0), "Gem level 4 of type custom with chance 100%");
    EXPECT_EQ(list_row(d, k_mon_treasure_list, 1), "? level 0 of type ? with chance 15%");
    EXPECT_EQ(list_row(d, k_mon_weapon_list, 0), "Gem level 2 uncommon");
    EXPECT_EQ(get_combo_sel(d, k_mon_skill + 3), -1);
    user_choose(d, k_mon_list, 0);  // the step stays 20 from then on
    EXPECT_EQ(g_monster_protos[0].treasure_chance[0], 20);
}

TEST_F(MonsterEditor, TablesAddTheChosenRowsItemStopAtSixtyThreeAndRemoveInPlace)
{
    make_item("new item", 2);   // 0: a weapon
    make_item("new item", 2);   // 1: the same name
    make_item("Potion", 16);    // 2: treasure
    make_item("Axe", 1).deleted = 1;
    make_item("Bound", 3).no_loss = 1;
    make_item("Staff", 5);      // 5: both lists
    monster_proto& p = make_class("orc");
    const dialog_handle d = open();
    EXPECT_EQ(get_combo_count(d, k_mon_weapon_item), 3);  // the two "new item"s and the staff
    EXPECT_EQ(get_combo_count(d, k_mon_treasure_item), 2); // the potion and the staff
    EXPECT_EQ(get_combo_count(d, k_mon_treasure_chance), 21);
    EXPECT_EQ(combo_row(d, k_mon_treasure_chance, 20), "100");

    // Without a class nothing is added.
    user_click(d, k_mon_weapon_add);
    EXPECT_EQ(p.weapon_count, 0);

    user_choose(d, k_mon_list, 0);
    user_choose(d, k_mon_weapon_item, 1);
    user_choose(d, k_mon_weapon_level, 19);
    user_choose(d, k_mon_weapon_rarity, 2);
    user_click(d, k_mon_weapon_add);
    user_choose(d, k_mon_weapon_item, 0);
    user_choose(d, k_mon_weapon_level, 0);
    user_click(d, k_mon_weapon_add);
    ASSERT_EQ(p.weapon_count, 2);
    EXPECT_EQ(p.weapon_item[0], 1);  // each row is the item it was made for
    EXPECT_EQ(p.weapon_item[1], 0);
    EXPECT_EQ(p.weapon_level[0], 20);
    EXPECT_EQ(list_row(d, k_mon_weapon_list, 0), "new item level 20 rare");

    user_choose(d, k_mon_treasure_item, 1);
    user_choose(d, k_mon_treasure_chance, 5);
    user_choose(d, k_mon_treasure_level, 20);
    user_choose(d, k_mon_treasure_rarity, 3);
    user_click(d, k_mon_treasure_add);
    ASSERT_EQ(p.treasure_count, 1);
    EXPECT_EQ(p.treasure_item[0], 5);
    EXPECT_EQ(list_row(d, k_mon_treasure_list, 0), "Staff level 21 of type custom with chance 25%");

    user_choose(d, k_mon_weapon_list, 0);
    user_click(d, k_mon_weapon_rem);
    ASSERT_EQ(p.weapon_count, 1);
    EXPECT_EQ(p.weapon_item[0], 0);
    EXPECT_EQ(get_list_count(d, k_mon_weapon_list), 1);

    // 63 entries is the cap; a count beyond 64 is used as 64 and a negative one as 0.
    p.weapon_count = 62;
    user_click(d, k_mon_weapon_add);
    EXPECT_EQ(p.weapon_count, 63);
    user_click(d, k_mon_weapon_add);
    EXPECT_EQ(p.weapon_count, 63);
    EXPECT_EQ(get_list_count(d, k_mon_weapon_list), 63);
    p.treasure_count = 300;
    user_choose(d, k_mon_list, 0);
    EXPECT_EQ(get_list_count(d, k_mon_treasure_list), 64);
    user_click(d, k_mon_treasure_add);
    EXPECT_EQ(p.treasure_count, 300);
    p.treasure_count = -5;
    user_choose(d, k_mon_list, 0);
    EXPECT_EQ(get_list_count(d, k_mon_treasure_list), 0);
    user_click(d, k_mon_treasure_add);
    EXPECT_EQ(p.treasure_count, 1);
}

TEST_F(MonsterEditor, ClipboardsNewAndDeleteKeepTheTableInPlace)
{
    for (const char* name : {"a", "b", "c", "d", "e", "f"})
        make_class(name);
    monster_proto& source = g_monster_protos[1];
    source.treasure_count = 2;
    source.treasure_item[1] = 9;
    source.weapon_count = 1;
    source.weapon_item[0] = 3;
    const dialog_handle d = open();

    // Pasting before anything was copied leaves empty tables.
    user_choose(d, k_mon_list, 2);
    g_monster_protos[2].treasure_count = 4;
    user_pick_menu(d, k_mon_menu_paste_treasure);
    user_pick_menu(d, k_mon_menu_paste_weapons);
    EXPECT_EQ(g_monster_protos[2].treasure_count, 0);
    EXPECT_EQ(g_monster_protos[2].weapon_count, 0);

    user_choose(d, k_mon_list, 1);
    user_pick_menu(d, k_mon_menu_copy_treasure);
    user_pick_menu(d, k_mon_menu_copy_weapons);
    user_choose(d, k_mon_list, 3);
    user_pick_menu(d, k_mon_menu_paste_treasure);
    user_pick_menu(d, k_mon_menu_paste_weapons);
    EXPECT_EQ(g_monster_protos[3].treasure_count, 2);
    EXPECT_EQ(g_monster_protos[3].treasure_item[1], 9);
    EXPECT_EQ(g_monster_protos[3].weapon_item[0], 3);
    EXPECT_EQ(get_list_count(d, k_mon_treasure_list), 0);  // rebuilt when shown again

    // "delete" resets in place; the row keeps its old name.
    user_choose(d, k_mon_list, 4);
    user_edit_text(d, k_mon_shield, "99");
    user_pick_menu(d, k_mon_menu_delete);
    EXPECT_EQ(g_monster_proto_count, 6);
    EXPECT_STREQ(g_monster_protos[4].name, "new monster");
    EXPECT_EQ(g_monster_protos[4].shield, 15);
    EXPECT_EQ(list_row(d, k_mon_list, 4), "e");
    EXPECT_EQ(field_text(d, k_mon_name), "new monster");

    // "new" appends a clean class and shows it; at 256 classes it is refused with a console line.
    g_monster_protos[6].treasure_count = 12;  // a leftover past the count
    user_pick_menu(d, k_mon_menu_new);
    EXPECT_EQ(g_monster_proto_count, 7);
    EXPECT_EQ(g_monster_protos[6].treasure_count, 0);
    EXPECT_EQ(get_list_sel(d, k_mon_list), 6);
    EXPECT_EQ(list_row(d, k_mon_list, 6), "new monster");
    g_monster_proto_count = k_monster_proto_slots;
    user_pick_menu(d, k_mon_menu_new);
    EXPECT_EQ(g_monster_proto_count, k_monster_proto_slots);
    EXPECT_NE(last_console_line().find("256"), std::string::npos);
    EXPECT_EQ(get_list_count(d, k_mon_list), 7);

    // The clipboards outlive the window.
    user_close(d);
    EXPECT_EQ(g_monster_editor_window, 0u);
    EXPECT_EQ(g_treasure_table_clipboard.count, 2);
}
