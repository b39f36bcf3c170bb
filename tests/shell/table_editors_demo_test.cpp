// The monster, monster-point and item editors on the demo data: the three windows open from the
// command window and the tab strip, a class name and an item price are edited there, the tables
// reach their files at shutdown exactly as their savers write them, and the game's loaders read
// the edits.
#include "shell/shell_fixture.h"

#include "tests/shell/editor_demo_steps.h"

#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/monster_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "items/item_editing.h"
#include "items/items.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "shell/program.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> file_bytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_F(shell_test, ClassAndItemEditsMadeInTheEditorWindowsReachTheirFilesAndTheGame)
{
    saved_globals saved;
    saved.keep(g_monster_protos), saved.keep(g_monster_proto_count), saved.keep(g_monster_protos_file);
    saved.keep(g_items_file), saved.keep(g_item_protos), saved.keep(g_item_lists);
    saved.keep(g_item_proto_count), saved.keep(g_monster_points);
    saved.keep(g_tabs_window), saved.keep(g_tab_window), saved.keep(g_current_tab);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    load_level_map("data/levels/brana.sav");

    // The gate's monster point with its two respawn slots.
    ASSERT_TRUE(user_choose(g_tabs_window, k_mode_tabs_control, 11));
    ASSERT_TRUE(program_frame());
    const dialog_handle points = g_monster_point_editor_window;
    ASSERT_NE(points, 0u);
    EXPECT_EQ(list_row(points, k_mpt_points, 0).rfind("0 - x:1000 y:300 (", 0), 0u);
    char slot[64] = {};
    get_combo_text(points, k_mpt_class + 1, get_combo_sel(points, k_mpt_class + 1), slot, sizeof slot);
    EXPECT_STREQ(slot, "Bandit");

    // The bandit captain's tables; the bandit renamed.
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_monsters));
    const dialog_handle monsters = g_monster_editor_window;
    ASSERT_NE(monsters, 0u);
    ASSERT_EQ(get_list_count(monsters, k_mon_list), 2);
    ASSERT_TRUE(user_choose(monsters, k_mon_list, 1));
    EXPECT_EQ(get_list_count(monsters, k_mon_weapon_list), 2);
    EXPECT_NE(list_row(monsters, k_mon_treasure_list, 1).find("of type custom with chance 40%"), std::string::npos);
    ASSERT_TRUE(user_choose(monsters, k_mon_list, 0));
    ASSERT_TRUE(user_edit_text(monsters, k_mon_name, "Bandit chief"));

    // The relics show a row for every entry; the potion's price changes through UPD.
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_item));
    const dialog_handle items = g_item_editor_window;
    ASSERT_NE(items, 0u);
    ASSERT_TRUE(user_choose(items, k_itm_list, row_of_item(items, "Relic of forms")));
    EXPECT_EQ(get_list_count(items, k_itm_eff_list), 10);
    EXPECT_EQ(list_row(items, k_itm_req_list, 0), "Element Air");
    const int32_t potion = row_of_item(items, "Healing potion");
    ASSERT_GE(potion, 0);
    ASSERT_TRUE(user_choose(items, k_itm_list, potion));
    const int32_t potion_id = find_item_by_list_row(list_row(items, k_itm_list, potion).c_str());
    ASSERT_TRUE(user_edit_text(items, k_itm_price, "321"));
    ASSERT_TRUE(user_click(items, k_itm_upd));
    ASSERT_TRUE(program_frame());

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    // The files are what the savers write for the tables in memory.
    const std::vector<char> monsters_file = file_bytes("global/monsters.dat");
    const std::vector<char> items_file = file_bytes("global/items.dat");
    ASSERT_TRUE(save_monster_protos());
    ASSERT_TRUE(save_items());
    EXPECT_EQ(file_bytes("global/monsters.dat"), monsters_file);
    EXPECT_EQ(file_bytes("global/items.dat"), items_file);

    // The game's start-up loaders read the edits back.
    g_monster_proto_count = 0;
    g_item_proto_count = 0;
    ASSERT_TRUE(load_monster_protos());
    load_items();
    EXPECT_STREQ(g_monster_protos[0].name, "Bandit chief");
    EXPECT_EQ(g_item_protos[potion_id].price, 321);
}
