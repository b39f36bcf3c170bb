// The Global page driven as a user would: what it shows when made, the layer radios, the work
// type, texture movement, the ambient light, the tint on the timer, the effect entries of the
// selected objects, the switches and the undo button.
#include "editor/view_mode_fixture.h"

#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/global_settings.h"
#include "engine/render_context.h"
#include "platform/clock.h"

#include <string>

namespace {

class GlobalSettings : public view_mode_test {
protected:
    void SetUp() override
    {
        view_mode_test::SetUp();
        kept_.keep(g_ambient_color);
        clock_use_manual(true);
        clock_set_manual(5000);
        g_ambient_color = {0.337f, 0.5f, 1.0f};
        g_active_layer = 7;
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        clock_use_manual(false);
        view_mode_test::TearDown();
    }
    static dialog_handle open_page()
    {
        open_global_settings();
        return g_global_settings_window;
    }
    static std::string text(dialog_handle page, int32_t id)
    {
        char buffer[64] = {};
        get_item_text(page, id, buffer, sizeof buffer);
        return buffer;
    }
    static bool enabled(dialog_handle page, int32_t id)
    {
        const control_record* c = find_control(page, id, control_kind::button);
        return c && c->enabled;
    }
    // Three selected objects and one that is not.
    static void add_objects()
    {
        for (int i = 0; i < 4; ++i) {
            const int32_t n = add_object(float(i * 10), 0.0f, -1, 1.0f, 1.0f, 0, 0);
            g_objects[n].highlight = i < 3 ? 1 : 0;
        }
    }
    static void tick(uint32_t& now)
    {
        now += 2;
        clock_set_manual(now);
        user_tick();
    }
};

} // namespace

TEST_F(GlobalSettings, TheMadePageShowsTheStateAndTheRadiosAndWorkTypeSetIt)
{
    const dialog_handle page = open_page();
    ASSERT_NE(page, 0u);
    EXPECT_EQ(get_slider_pos(page, k_glset_ambient_r), 33);
    EXPECT_EQ(get_slider_pos(page, k_glset_ambient_b), 100);
    EXPECT_EQ(get_slider_pos(page, k_glset_tint_g), 100);
    EXPECT_EQ(text(page, k_glset_tex_x), "0.00");
    EXPECT_EQ(get_check(page, k_glset_layer + 7), 1);
    EXPECT_EQ(text(page, k_glset_coloring), "coloring off");
    EXPECT_EQ(text(page, k_glset_def_layers), "Def layers off");
    EXPECT_EQ(get_combo_count(page, k_glset_work_type), 8);
    EXPECT_EQ(get_combo_sel(page, k_glset_work_type), 0);
    EXPECT_EQ(get_combo_count(page, k_glset_efect_type), 11);
    EXPECT_FALSE(enabled(page, k_glset_undo));

    ASSERT_TRUE(user_click(page, k_glset_layer + 30));
    EXPECT_EQ(g_active_layer, 30);
    EXPECT_EQ(get_check(page, k_glset_layer + 7), 0);  // one group

    // A focus alone applies the row shown: "inserting", with the brush as the preview.
    g_work_mode = k_work_monster_points;
    ASSERT_TRUE(user_focus(page, k_glset_work_type));
    EXPECT_EQ(g_work_mode, k_work_insert);
    ASSERT_TRUE(user_choose(page, k_glset_work_type, 2));
    EXPECT_EQ(g_work_mode, k_work_light);
    EXPECT_EQ(g_brush_preview.proto, 0);
    EXPECT_FLOAT_EQ(g_brush_preview.scale, 1.5f);
    EXPECT_FLOAT_EQ(g_brush_preview.alpha, 0.8f);

    ASSERT_TRUE(user_click(page, k_glset_def_layers));
    EXPECT_EQ(g_editor.def_layers, 1u);
    EXPECT_EQ(text(page, k_glset_def_layers), "Def layers on");
    ASSERT_TRUE(user_click(page, k_glset_def_layers));
    EXPECT_EQ(g_editor.def_layers, 0u);

    // A layer above 32 checks no radio when the page is made again.
    destroy_dialog(page);
    EXPECT_EQ(g_global_settings_window, 0u);
    g_active_layer = 40;
    const dialog_handle again = open_page();
    for (int32_t i = 0; i < k_glset_layer_count; ++i)
        EXPECT_EQ(get_check(again, k_glset_layer + i), 0);
}

TEST_F(GlobalSettings, TextureMovementAndAmbientAreStoredOnTheirSetButtons)
{
    dialog_handle page = open_page();
    ASSERT_TRUE(user_edit_text(page, k_glset_tex_x, "256"));
    ASSERT_TRUE(user_edit_text(page, k_glset_tex_y, "-64.5abc"));
    ASSERT_TRUE(user_edit_text(page, k_glset_tex_s, "seven"));
    EXPECT_EQ(g_editor.tex_move_x, 0.0f);  // only on "SET"
    ASSERT_TRUE(user_click(page, k_glset_tex_set));
    EXPECT_FLOAT_EQ(g_editor.tex_move_x, 2.0f);
    EXPECT_FLOAT_EQ(g_editor.tex_move_y, -64.5f / 128.0f);
    EXPECT_EQ(g_editor.tex_move_period, 0u);
    ASSERT_TRUE(user_edit_text(page, k_glset_tex_s, "99999999999"));
    ASSERT_TRUE(user_click(page, k_glset_tex_set));
    EXPECT_EQ(g_editor.tex_move_period, uint32_t(INT32_MAX));  // held to 32 bits

    // The untouched sliders give each channel its value truncated to hundredths.
    ASSERT_TRUE(user_click(page, k_glset_ambient_set));
    EXPECT_FLOAT_EQ(g_ambient_color.red, 0.33f);
    EXPECT_FLOAT_EQ(g_ambient_color.green, 0.5f);
    EXPECT_FLOAT_EQ(g_ambient_color.blue, 1.0f);
    ASSERT_TRUE(user_slide(page, k_glset_ambient_g, 10));
    EXPECT_FLOAT_EQ(g_ambient_color.green, 0.5f);  // sliders report nothing
    ASSERT_TRUE(user_click(page, k_glset_ambient_set));
    EXPECT_FLOAT_EQ(g_ambient_color.green, 0.1f);

    destroy_dialog(page);
    page = open_page();
    EXPECT_EQ(text(page, k_glset_tex_x), "256.00");
    EXPECT_EQ(text(page, k_glset_tex_y), "-64.50");
    EXPECT_EQ(text(page, k_glset_tex_s), "2147483647");
}

TEST_F(GlobalSettings, TheTintColoursSelectedObjectsOnTheTimerOnlyInEditingWithColouringOn)
{
    add_objects();
    const dialog_handle page = open_page();
    uint32_t now = 5000;
    for (int32_t id : {k_glset_tint_r, k_glset_tint_g, k_glset_tint_b})
        ASSERT_TRUE(user_slide(page, id, 200));
    g_work_mode = k_work_select;
    g_map_dirty = 0;
    tick(now);
    EXPECT_EQ(g_objects[0].red, 1.0f);  // colouring off
    ASSERT_TRUE(user_click(page, k_glset_coloring));
    EXPECT_EQ(text(page, k_glset_coloring), "coloring on");
    g_work_mode = k_work_light;
    tick(now);
    EXPECT_EQ(g_objects[0].red, 1.0f);  // not editing
    EXPECT_EQ(g_map_dirty, 0u);
    g_work_mode = k_work_select;
    tick(now);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_objects[i].red, 2.0f);
        EXPECT_EQ(g_objects[i].blue, 2.0f);
    }
    EXPECT_EQ(g_objects[3].red, 1.0f);
    EXPECT_EQ(g_map_dirty, 1u);
    g_map_dirty = 0;
    tick(now);
    EXPECT_EQ(g_map_dirty, 0u);  // no factor changed

    ASSERT_TRUE(user_click(page, k_glset_tint_reset));
    EXPECT_EQ(g_objects[0].red, 2.0f);
    tick(now);
    EXPECT_EQ(g_objects[0].red, 1.0f);
    EXPECT_EQ(g_objects[2].green, 1.0f);
}

TEST_F(GlobalSettings, EffectEntriesGoToTheBrushAndUpToFourPerSelectedObject)
{
    add_objects();
    const dialog_handle page = open_page();
    g_objects[1].entry_count = 3;
    g_map_dirty = 0;
    ASSERT_TRUE(user_click(page, k_glset_set_selected));  // "no efect": nothing
    EXPECT_EQ(g_objects[0].entry_count, 0);
    EXPECT_EQ(g_map_dirty, 0u);

    ASSERT_TRUE(user_choose(page, k_glset_efect_type, 5));  // "z rotation", kind 4
    ASSERT_TRUE(user_edit_text(page, k_glset_efect_float + 1, "0.25"));
    ASSERT_TRUE(user_edit_text(page, k_glset_efect_int + 3, "12x"));
    ASSERT_TRUE(user_click(page, k_glset_efect_set));
    EXPECT_EQ(g_editor.brush_efect_type, 4);
    EXPECT_FLOAT_EQ(g_editor.brush_efect_float[1], 0.25f);
    EXPECT_EQ(g_editor.brush_efect_int[3], 12);

    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(user_click(page, k_glset_set_selected));
    EXPECT_EQ(g_objects[0].entry_count, 4);
    EXPECT_EQ(g_objects[1].entry_count, 4);
    EXPECT_EQ(g_objects[3].entry_count, 0);
    EXPECT_EQ(g_objects[1].entry_kinds[3], 4);
    EXPECT_FLOAT_EQ(g_objects[1].entry_floats[3][1], 0.25f);
    EXPECT_EQ(g_objects[0].entry_ints[2][3], 12);
    EXPECT_EQ(g_map_dirty, 1u);

    g_objects[2].entry_count = 0;
    g_map_dirty = 0;
    ASSERT_TRUE(user_click(page, k_glset_remove_last));
    EXPECT_EQ(g_objects[0].entry_count, 3);
    EXPECT_EQ(g_objects[2].entry_count, 0);
    EXPECT_EQ(g_map_dirty, 1u);

    // Re-made, the effect controls start over.
    destroy_dialog(page);
    const dialog_handle again = open_page();
    EXPECT_EQ(get_combo_sel(again, k_glset_efect_type), 0);
    EXPECT_EQ(text(again, k_glset_efect_float + 1), "");
}

TEST_F(GlobalSettings, UndoIsGreyedWithoutSnapshotsAndGreysItselfWhenTheLastIsPopped)
{
    const dialog_handle page = open_page();
    EXPECT_FALSE(user_click(page, k_glset_undo));
    push_undo_snapshot();
    EXPECT_TRUE(enabled(page, k_glset_undo));
    ASSERT_TRUE(user_click(page, k_glset_undo));
    EXPECT_EQ(g_undo_counter, 0u);
    EXPECT_FALSE(enabled(page, k_glset_undo));
}
