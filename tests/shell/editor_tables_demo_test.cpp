// The editor on the demo: the "Quests" and "Cont." tabs and the spell editor open over the demo's
// tables; an item put into the gate's chest reaches the level file through "save map" and a
// spell's mana reaches "global/spells.dat" through UPDATE, and the game's loaders read both back.
#include "shell/shell_fixture.h"
#include "tests/editor/dialog_texts.h"

#include "tests/shell/editor_demo_steps.h"

#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/quest_list.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_map.h"
#include "platform/recording_device.h"
#include "script/quests.h"
#include "shell/program.h"
#include "tools/demo/demo_data.h"

#include <filesystem>
#include <string>

namespace {

constexpr int32_t k_copper_ring = 9;
constexpr int32_t k_chest_free_cell = 9;  // the chest's first empty cell (x 1, y 2 of 4 x 3)

} // namespace

TEST_F(shell_test, TheContainerAndSpellEditorsChangeTheDemoSoThatTheGameReadsTheChangesBack)
{
    saved_globals saved;
    saved.keep(g_container_add_target);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});

    ASSERT_TRUE(choose_tab(9, g_quest_list_window));
    const control_record* quests = find_control(g_quest_list_window, k_quest_list_view, control_kind::list_view);
    ASSERT_NE(quests, nullptr);
    ASSERT_EQ(quests->view_rows.size(), size_t(g_quest_count));
    EXPECT_EQ(quests->view_rows.back().cells[0], "watersupply");

    ASSERT_TRUE(choose_tab(10, g_container_editor_window));
    const dialog_handle page = g_container_editor_window;
    ASSERT_TRUE(user_choose(page, k_cont_list, 0));
    const control_record* cells = find_control(page, k_cont_cells, control_kind::list_view);
    ASSERT_EQ(cells->view_rows.size(), 12u);
    EXPECT_EQ(cells->view_rows[2].cells, (std::vector<std::string>{"Gold", "40x"}));
    EXPECT_EQ(cells->view_rows[k_chest_free_cell].cells[0], "no item in slot");
    set_modal_responder([](dialog_handle modal) {
        user_choose(modal, k_cont_add_item, k_copper_ring);
        user_click(modal, k_id_ok);
        return false;
    });
    ASSERT_TRUE(user_click(page, k_cont_insert));
    ASSERT_EQ(g_container_editor_window, page);
    EXPECT_EQ(cells->view_rows[k_chest_free_cell].cells[0], "Copper ring");
    EXPECT_EQ(g_map_dirty, 1u);
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_save_map));
    set_modal_responder({});
    EXPECT_EQ(g_map_dirty, 0u);

    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_spells));
    const dialog_handle spells = g_spell_editor_window;
    ASSERT_NE(spells, 0u);
    ASSERT_TRUE(user_choose(spells, k_spell_list, k_demo_spell_shield));
    EXPECT_EQ(get_combo_sel(spells, k_spell_hit_spell), k_demo_spell_burst + 1);
    EXPECT_EQ(field_text(spells, k_spell_item_effect), "Ember glow");
    EXPECT_EQ(field_text(spells, k_spell_level_effect), "Stone skin");
    ASSERT_TRUE(user_edit_text(spells, k_spell_mana, "33"));
    ASSERT_TRUE(user_click(spells, k_spell_update));
    ASSERT_TRUE(program_frame());

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    free_level_containers();
    load_level_map("data/levels/brana.sav");
    ASSERT_GE(g_level_container_count, 1);
    EXPECT_EQ(g_containers[0].items[k_chest_free_cell], k_copper_ring);
    EXPECT_EQ(g_containers[0].flags[k_chest_free_cell], g_item_protos[k_copper_ring].damage_type);
    g_spell_proto_count = 0;
    load_spells();
    ASSERT_GT(g_spell_proto_count, k_demo_spell_shield);
    EXPECT_EQ(g_spell_protos[k_demo_spell_shield].mana_cost, 33);
    EXPECT_EQ(g_spell_protos[k_demo_spell_shield].hit_spell, k_demo_spell_burst + 1);
    EXPECT_EQ(g_spell_protos[k_demo_spell_shield].item_effect, k_demo_ember_glow);
    free_level_containers();
}
