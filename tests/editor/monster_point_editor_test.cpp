// The "MPoint" page: the point list, the move sector of the chosen point and the respawn table,
// each change marking the map changed.
#include "tests/editor/monster_item_editor_support.h"

#include "editor/controls/dialog_records.h"
#include "editor/windows/mode_tabs.h"

namespace {

class MonsterPointEditor : public monster_item_editor_test {
protected:
    void SetUp() override
    {
        monster_item_editor_test::SetUp();
        saved_.keep(g_tabs_window), saved_.keep(g_tab_window), saved_.keep(g_current_tab);
        g_tabs_window = g_tab_window = 0;
    }
    // Opens the page through the tab strip.
    dialog_handle open()
    {
        open_mode_tabs();
        user_choose(g_tabs_window, k_mode_tabs_control, 11);
        user_tick();
        mode_tabs_tick();
        return g_monster_point_editor_window;
    }
};

} // namespace

TEST_F(MonsterPointEditor, SlotsMapClassesAndLevelsAndPointsTakeTheirMoveSector)
{
    make_class("wolf");
    make_class("bandit");
    add_monster_point(&g_monster_points, 100.7f, 50.2f);
    add_monster_point(&g_monster_points, -3.5f, 2e12f);
    g_monster_points.points[1].stamp = 4321;
    g_monster_points.kind_class[0] = -1;
    g_monster_points.kind_class[1] = 1;
    g_monster_points.kind_class[2] = 40;  // no such class
    g_monster_points.kind_level[0] = 1;
    g_monster_points.kind_level[1] = 25;
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(g_tab_window, d);
    const dialog_record* page = find_dialog(d);
    EXPECT_EQ(page->y, k_tab_window_top);
    EXPECT_EQ(page->x, 0);
    EXPECT_EQ(list_row(d, k_mpt_points, 0), "0 - x:100 y:50 (0)");
    EXPECT_EQ(list_row(d, k_mpt_points, 1), "1 - x:-3 y:2147483647 (4321)");
    EXPECT_EQ(g_map_dirty, 0u);

    EXPECT_EQ(combo_shown(d, k_mpt_class), "empty");
    EXPECT_EQ(combo_shown(d, k_mpt_class + 1), "bandit");
    EXPECT_EQ(get_combo_sel(d, k_mpt_class + 2), -1);
    EXPECT_EQ(combo_shown(d, k_mpt_level), "L1");
    EXPECT_EQ(combo_shown(d, k_mpt_level + 1), "L25");
    EXPECT_EQ(get_combo_count(d, k_mpt_level + 8), 25);

    user_choose(d, k_mpt_class + 1, 0);
    EXPECT_EQ(g_monster_points.kind_class[1], -1);
    EXPECT_EQ(g_map_dirty, 1u);
    user_choose(d, k_mpt_class + 8, 1);
    EXPECT_EQ(g_monster_points.kind_class[8], 0);
    user_choose(d, k_mpt_level + 3, 24);
    EXPECT_EQ(g_monster_points.kind_level[3], 25);

    // The move sector is stored only with a point chosen, at each keystroke.
    g_map_dirty = 0;
    user_type(d, k_mpt_move_sector, "7");
    EXPECT_EQ(g_monster_points.points[0].move_sector, -1);
    EXPECT_EQ(g_monster_points.points[1].move_sector, -1);
    EXPECT_EQ(g_map_dirty, 0u);
    user_choose(d, k_mpt_points, 1);
    EXPECT_EQ(field_text(d, k_mpt_move_sector), "7");  // choosing a point does not fill the field
    user_type(d, k_mpt_move_sector, "2");
    EXPECT_EQ(g_monster_points.points[1].move_sector, 72);
    EXPECT_EQ(g_monster_points.points[0].move_sector, -1);
    EXPECT_EQ(g_map_dirty, 1u);
    user_edit_text(d, k_mpt_move_sector, "x");
    EXPECT_EQ(g_monster_points.points[1].move_sector, 0);

    // Another tab destroys the page and clears its handle.
    user_choose(g_tabs_window, k_mode_tabs_control, 0);
    user_tick();
    mode_tabs_tick();
    EXPECT_EQ(g_monster_point_editor_window, 0u);
}
