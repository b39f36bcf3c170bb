// The editor frame: the mode keys, the edge-triggered keys, save and undo, scrolling and zoom,
// and the layout switch.
#include "world/object_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/editor_state.h"
#include "engine/models.h"
#include "items/items.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "platform/window_services.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "world/world_objects.h"

#include <cstring>
#include <initializer_list>

namespace {

int g_handler_calls[8];
int g_undo_pops;
int g_saves;
int g_layouts;

class EditorFrame : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        saved_.keep(g_editor), saved_.keep(g_work_mode), saved_.keep(g_key_state), saved_.keep(g_active_layer);
        saved_.keep(g_cursor_grid), saved_.keep(g_zoom), saved_.keep(g_camera_x), saved_.keep(g_camera_y);
        saved_.keep(g_mouse_x), saved_.keep(g_mouse_y), saved_.keep(g_fps), saved_.keep(g_editor_enabled);
        saved_.keep(g_console_shown), saved_.keep(g_map_dirty), saved_.keep(g_map_path), saved_.keep(g_brush_preview);
        saved_.keep(g_editor_links), saved_.keep(g_global_settings_window), saved_.keep(g_level_links);
        saved_.keep(g_screen_width), saved_.keep(g_screen_height), saved_.keep(g_view_x), saved_.keep(g_view_y);
        saved_.keep(g_model_count), saved_.keep(g_chardata_count), saved_.keep(g_session_map_path);
        saved_.keep(g_command_window), saved_.keep(g_tabs_window), saved_.keep(g_tab_window);
        saved_.keep(g_player_char), saved_.keep(g_console_enabled), saved_.keep(g_console_history_count);
        std::memset(g_handler_calls, 0, sizeof g_handler_calls);
        g_undo_pops = g_saves = g_layouts = 0;
        g_editor_links = {
            [](editor_state&) { ++g_handler_calls[0]; }, [](editor_state&) { ++g_handler_calls[1]; },
            [](editor_state&) { ++g_handler_calls[2]; }, [](editor_state&) { ++g_handler_calls[3]; },
            [](editor_state&) { ++g_handler_calls[5]; }, [](editor_state&) { ++g_handler_calls[6]; },
            [](editor_state&) { ++g_handler_calls[7]; }, [] { ++g_undo_pops; },
            [] { ++g_layouts; }, nullptr, nullptr,
        };
        g_level_links.purge_ground_items = [] { ++g_saves; };
        g_editor_enabled = 1;
        g_console_shown = 0;
        g_console_enabled = 1;
        g_fps = 60;
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        g_mouse_x = g_mouse_y = 100.0f;
        g_map_path[0] = g_session_map_path[0] = 0;
        g_model_count = 0;
        g_chardata_count = 0;
        std::memset(g_key_state, 0, sizeof g_key_state);
        reset_editor_brush(g_editor);
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        saved_.restore();
        object_test::TearDown();
    }

    // One frame with exactly these keys down.
    void frame(std::initializer_list<uint8_t> keys = {})
    {
        std::memset(g_key_state, 0, sizeof g_key_state);
        for (uint8_t k : keys)
            g_key_state[k] = k_key_down_bit;
        run_editor_frame(g_editor);
    }

    saved_globals saved_;
};

dialog_handle make_global_page()
{
    dialog_template t;
    t.caption = "Global";
    t.controls = {make_control(control_kind::combo, k_glset_work_type, 0, 0, 80, 60)};
    dialog_handle page = create_dialog(t, nullptr);
    for (const char* row : {"inserting", "editing", "light", "move map", "game test", "characters", "grounditems",
                            "monsterpoints"})
        add_combo_string(page, k_glset_work_type, row);
    return page;
}

} // namespace

TEST_F(EditorFrame, ModeKeysSetTheModeTheComboAndTheMarkerAndTheLastHeldWins)
{
    g_global_settings_window = make_global_page();

    frame({k_key_f3, k_key_f5});
    EXPECT_EQ(g_work_mode, k_work_characters);
    EXPECT_EQ(get_combo_sel(g_global_settings_window, k_glset_work_type), 5);
    EXPECT_EQ(g_brush_preview.proto, 0);
    EXPECT_FLOAT_EQ(g_brush_preview.scale, 1.5f);
    EXPECT_FLOAT_EQ(g_brush_preview.alpha, 0.8f);
    EXPECT_EQ(g_handler_calls[5], 1);  // the handler of the mode the keys left

    // F1 shows the brush; the mode's handler runs in each frame, and held keys act every frame.
    g_editor.brush_scale = 2.0f;
    frame({k_key_f1});
    frame({k_key_f1});
    EXPECT_EQ(g_work_mode, k_work_insert);
    EXPECT_FLOAT_EQ(g_brush_preview.scale, 2.0f);
    EXPECT_EQ(g_handler_calls[0], 2);

    // Ground items: the chosen item's ground model standing still; no item, no preview.
    item_table_guard items;
    g_item_proto_count = 0;
    frame({k_key_f6});
    EXPECT_EQ(g_work_mode, k_work_ground_items);
    EXPECT_EQ(g_brush_preview.state, 0);
    g_item_proto_count = 1;
    g_item_protos[0].ground_model = 0;
    g_editor.ground_item_choice = 1;  // past the table
    frame({k_key_f7});
    EXPECT_EQ(g_brush_preview.state, 0);
    g_editor.ground_item_choice = 0;
    frame({k_key_f7});
    EXPECT_EQ(g_work_mode, k_work_monster_points);
    EXPECT_NE(g_brush_preview.state, 0);
    EXPECT_EQ(g_brush_preview.anim_mode, 10);

    // Nothing at all outside editor mode.
    g_editor_enabled = 0;
    frame({k_key_f4});
    EXPECT_EQ(g_work_mode, k_work_monster_points);
}

TEST_F(EditorFrame, PressKeysActOncePerPressWithinTheirBounds)
{
    // Layers: 0 stays 0, a held key steps once, and 32 is the top.
    frame({k_key_numpad1});
    EXPECT_EQ(g_active_layer, 0);
    frame({k_key_numpad2});
    frame({k_key_numpad2});
    frame({k_key_numpad2});
    EXPECT_EQ(g_active_layer, 1);
    g_active_layer = 32;
    frame();
    frame({k_key_numpad2});
    EXPECT_EQ(g_active_layer, 32);

    // The grid flips once per press, and not in the light and character modes.
    g_cursor_grid = 1;
    frame({k_key_g});
    frame({k_key_g});
    EXPECT_EQ(g_cursor_grid, 0u);
    frame();
    g_work_mode = k_work_light;
    frame({k_key_g});
    EXPECT_EQ(g_cursor_grid, 0u);
    g_work_mode = k_work_insert;
    frame({k_key_g});  // the latch was held clear meanwhile: this is a new press
    EXPECT_EQ(g_cursor_grid, 1u);

    // Ctrl+Z held pops once; a new press of Z pops again.
    frame({k_key_lcontrol, k_key_z});
    frame({k_key_lcontrol, k_key_z});
    frame({k_key_lcontrol});
    frame({k_key_lcontrol, k_key_z});
    EXPECT_EQ(g_undo_pops, 2);

}

TEST_F(EditorFrame, CtrlSSavesOncePerPressAndNeverClaimsAMissingFile)
{
    // Without a map file nothing is written and the map stays changed.
    g_map_dirty = 1;
    frame({k_key_lcontrol, k_key_s});
    EXPECT_EQ(g_saves, 0);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_STREQ(g_console_history[0], "mapa neulozena");

    write_level_map("level.sav");
    std::strcpy(g_session_map_path, "level.sav");  // the file the map was read from
    frame();
    for (int i = 0; i < 3; ++i)
        frame({k_key_lcontrol, k_key_s});
    EXPECT_EQ(g_saves, 1);
    EXPECT_EQ(g_map_dirty, 0u);
    frame({k_key_s});
    frame({k_key_lcontrol, k_key_s});
    EXPECT_EQ(g_saves, 2);
}

TEST_F(EditorFrame, ArrowsScrollCameraAndMouseByWholeStepsAndZoomStaysPositive)
{
    g_fps = 90;
    frame({k_key_right, k_key_down});
    EXPECT_FLOAT_EQ(g_camera_x, 8.0f);
    EXPECT_FLOAT_EQ(g_camera_y, 8.0f);
    EXPECT_FLOAT_EQ(g_mouse_x, 108.0f);
    frame({k_key_left, k_key_up, k_key_left});
    EXPECT_FLOAT_EQ(g_camera_x, 0.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, 100.0f);
    g_fps = 721;
    frame({k_key_right});
    EXPECT_FLOAT_EQ(g_camera_x, 0.0f);

    for (int i = 0; i < 1000; ++i)
        frame({k_key_f9});
    EXPECT_GE(g_zoom, 0.05f);
    EXPECT_LT(g_zoom, 0.0521f);
    frame({k_key_f11});
    EXPECT_EQ(g_zoom, 1.0f);
}

TEST_F(EditorFrame, F8TwiceRestoresTheViewTheModelScalesAndTheWindows)
{
    int32_t desktop_width = 0, desktop_height = 0;
    desktop_size(&desktop_width, &desktop_height);
    const view_layout compact = editor_view_layout(desktop_width, false);
    g_screen_width = compact.width;
    g_screen_height = compact.height;
    g_view_x = compact.x;
    g_models[0].frames[0] = {3.0f, -6.0f, 1.5f};
    g_models[0].frame_count = 1;
    g_model_count = 1;
    dialog_template t;
    g_command_window = create_dialog(t, nullptr);
    g_tabs_window = create_dialog(t, nullptr);
    g_tab_window = create_dialog(t, nullptr);

    frame({k_key_f8});
    frame({k_key_f8});  // held: one switch
    EXPECT_EQ(g_editor.wide_layout, 1u);
    EXPECT_EQ(g_layouts, 1);
    EXPECT_EQ(g_view_x, 15);
    EXPECT_EQ(g_screen_width, desktop_width - 30);
    EXPECT_EQ(g_screen_height, int32_t(float(desktop_width - 30) / 1.333333f));
    EXPECT_NEAR(g_models[0].frames[0][0], 3.0f * float(compact.width) / float(desktop_width - 30), 1e-4f);
    for (dialog_handle w : {g_command_window, g_tabs_window, g_tab_window}) {
        EXPECT_FALSE(find_dialog(w)->shown);
        EXPECT_FALSE(find_dialog(w)->enabled);
    }

    frame();
    frame({k_key_f8});
    EXPECT_EQ(g_editor.wide_layout, 0u);
    EXPECT_EQ(g_view_x, 295);
    EXPECT_EQ(g_screen_width, compact.width);
    EXPECT_NEAR(g_models[0].frames[0][0], 3.0f, 1e-4f);
    EXPECT_NEAR(g_models[0].frames[0][1], -6.0f, 1e-4f);
    for (dialog_handle w : {g_command_window, g_tabs_window, g_tab_window}) {
        EXPECT_TRUE(find_dialog(w)->shown);
        EXPECT_TRUE(find_dialog(w)->enabled);
    }
    g_models[0].frames[0].clear();
    g_models[0].frame_count = 0;
}
