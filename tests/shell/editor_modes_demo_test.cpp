// The editor on the demo gate map driven by injected input only: it opens on the Global page;
// F3 adds a spot light, F4 draws a closed sector, F5 places the first demo creature, F6 drops a
// ground item and F7 adds a monster point; Ctrl+S saves, and the game's loader finds each.
#include "shell/shell_fixture.h"

#include "tests/shell/editor_demo_steps.h"

#include "shell/editor_demo_support.h"

#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/global_settings.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/view/sector_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/lights.h"
#include "items/ground_items.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "world/sectors.h"

#include <initializer_list>
#include <string>

namespace {


struct level_counts {
    int32_t spots = 0, closed_sectors = 0, placements = 0, ground_items = 0, monster_points = 0;
};

level_counts count_level()
{
    level_counts n;
    for (const light_record& l : g_lights)
        n.spots += l.state == k_light_on && l.kind == k_light_kind_spot ? 1 : 0;
    for (int32_t i = 0; i < g_sector_count; ++i)
        n.closed_sectors += g_sectors[i].active && g_sectors[i].closed && g_sectors[i].count == 4 ? 1 : 0;
    n.placements = g_char_placements.count;
    for (int32_t i = 0; i < g_ground_item_count; ++i)
        n.ground_items += g_ground_items[i].state != k_ground_item_free ? 1 : 0;
    n.monster_points = g_monster_points.count;
    return n;
}

} // namespace

TEST_F(shell_test, EachEditorModeAddsToTheDemoGateMapAndTheSavedMapKeepsIt)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_brush_latches), saved.keep(g_sector_latches);
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    // The editor opens on the Global page, made by the tab strip's timer within a few frames.
    for (int frame = 0; frame < 10 && g_global_settings_window == 0; ++frame)
        ASSERT_TRUE(program_frame());
    EXPECT_NE(g_global_settings_window, 0u);
    const level_counts before = count_level();
    g_cursor_grid = 0;

    const float x = float(g_view_x + 200), y = 150.0f;
    ASSERT_TRUE(tap_at(x, y, {k_key_f3}));
    EXPECT_EQ(g_work_mode, k_work_light);
    ASSERT_TRUE(tap_keys({k_key_2}));
    ASSERT_TRUE(tap_keys({k_key_return}));

    ASSERT_TRUE(tap_keys({k_key_f4}));
    const int32_t first_active = g_editor.active_sector;
    if (first_active >= 0 && first_active < g_sector_count && g_sectors[first_active].closed) {
        ASSERT_TRUE(tap_keys({k_key_space}));  // a closed active sector hands over to a new slot
    }
    for (auto [dx, dy] : {std::pair{0.0f, 0.0f}, std::pair{120.0f, 0.0f}, std::pair{0.0f, 90.0f},
                          std::pair{0.0f, 0.0f}}) {
        ASSERT_TRUE(tap_at(x + dx, y + 60.0f + dy, {k_key_space}));
    }

    ASSERT_TRUE(tap_at(x + 300.0f, y, {k_key_f5}));
    ASSERT_TRUE(tap_keys({k_key_return}));
    ASSERT_TRUE(tap_at(x + 300.0f, y + 200.0f, {k_key_f6}));
    ASSERT_TRUE(click_at(x + 300.0f, y + 200.0f));
    ASSERT_TRUE(tap_at(x + 100.0f, y + 250.0f, {k_key_f7}));
    ASSERT_TRUE(tap_keys({k_key_space}));
    EXPECT_EQ(g_map_dirty, 1u);
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
    EXPECT_EQ(g_map_dirty, 0u);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    const level_counts after = count_level();
    EXPECT_EQ(after.spots, before.spots + 1);
    EXPECT_EQ(after.closed_sectors, before.closed_sectors + 1);
    EXPECT_EQ(after.placements, before.placements + 1);
    EXPECT_EQ(after.ground_items, before.ground_items + 1);
    EXPECT_EQ(after.monster_points, before.monster_points + 1);
}
