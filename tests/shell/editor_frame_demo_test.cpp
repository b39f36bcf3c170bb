// The editor on the demo data: the command window, the tab strip and the Global page at start,
// the gate map loaded and saved under a new name through the command window with a scripted
// file chooser and read back by the game's loader, and the keys reaching the view only where
// they belong.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/editor_state.h"
#include "editor/gui/dialog_screen.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "level/level_map.h"
#include "level/level_fixture.h"
#include "world/object_protos.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "support/temp_folder.h"
#include "world/world_objects.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The next file chooser takes the name (relative to the working folder).
void choose(std::string name)
{
    set_modal_responder([name](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, name);
        user_click(chooser, k_id_ok);
        return false;
    });
}

std::string caption(dialog_handle d)
{
    const dialog_record* r = find_dialog(d);
    return r ? r->caption : "";
}

} // namespace

TEST_F(shell_test, TheEditorSavesTheDemoGateMapUnderANewNameThatTheLoaderReadsBackTheSame)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_NE(g_command_window, 0u);
    ASSERT_NE(g_tabs_window, 0u);
    EXPECT_EQ(g_view_x, 295);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(caption(g_tab_window), "Global");

    choose("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    EXPECT_TRUE(std::filesystem::equivalent(g_map_path, "data/levels/brana.sav")) << g_map_path;
    ASSERT_GT(g_object_count, 0u);

    // The chooser opens in the folder of the last file chosen: the copy goes where it is told.
    const std::string copy = (folder_->path() / "gate copy.sav").string();
    choose(copy);
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_save_map));
    EXPECT_EQ(g_map_dirty, 0u);
    EXPECT_EQ(std::string(g_map_path), copy);
    const level_snapshot saved = level_snapshot::take();
    std::vector<std::string> proto_names;
    for (uint32_t i = 0; i < g_object_proto_count; ++i)
        proto_names.push_back(g_object_protos[i].name);
    write_text("reference.sav", "");
    ASSERT_EQ(save_level_map("reference.sav"), 0);
    EXPECT_TRUE(read_text(copy) == read_text("reference.sav"));

    // The game's loader reads the copy back to the same tables, but for what it works out
    // afresh: the prototypes' texture slots and the monster points' spawn stamps.
    load_level_map("gate copy.sav");
    EXPECT_STREQ(g_map_path, "gate copy.sav");
    const level_snapshot read = level_snapshot::take();
    std::vector<std::string> read_names;
    for (uint32_t i = 0; i < g_object_proto_count; ++i)
        read_names.push_back(g_object_protos[i].name);
    EXPECT_EQ(read_names, proto_names);
    for (auto table : {&level_snapshot::sectors, &level_snapshot::events, &level_snapshot::texts,
                       &level_snapshot::entities, &level_snapshot::objects, &level_snapshot::lights,
                       &level_snapshot::effects, &level_snapshot::cells, &level_snapshot::scene,
                       &level_snapshot::containers, &level_snapshot::placements, &level_snapshot::ground_items})
        EXPECT_TRUE(read.*table == saved.*table);
    EXPECT_GT(read.objects.size(), 0u);
    ASSERT_TRUE(program_frame());

    set_modal_responder({});
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, KeysReachTheViewOnlyWhileThePointerIsOverItOutsideTheEditorsWindows)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    // The tab strip's timer makes the first page within a few frames; the field's dialog comes
    // after it, on top, lying over the view.
    for (int frame = 0; frame < 10 && g_tab_window == 0; ++frame)
        ASSERT_TRUE(program_frame());
    ASSERT_NE(g_tab_window, 0u);
    dialog_template t;
    t.caption = "field";
    t.x = g_view_x + 200;
    t.y = 300;
    t.width = 150;
    t.height = 40;
    t.controls = {make_control(control_kind::edit, 7, 4, 4, 100, 14)};
    const dialog_handle d = create_dialog(t, nullptr);
    ASSERT_TRUE(program_frame());
    device_rect field{};
    ASSERT_TRUE(dialog_control_rect(d, 7, field));
    ASSERT_GT(int32_t(field.x), g_view_x);

    // Over the view the keys arrive.
    inject_pointer(float(g_view_x + 100), 100.0f);
    inject_key(k_key_f2, true);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_key_state[k_key_f2], k_key_down_bit);
    EXPECT_EQ(g_work_mode, k_work_select);
    inject_key(k_key_f2, false);

    // Over a dialog they do not, also where it lies over the view, nor left of the view.
    for (const float x : {float(field.x + 5), 10.0f}) {
        inject_pointer(x, float(field.y + 5));
        inject_key(k_key_f3, true);
        ASSERT_TRUE(program_frame());
        EXPECT_EQ(g_key_state[k_key_f3], 0) << x;
        EXPECT_EQ(g_work_mode, k_work_select) << x;
        inject_key(k_key_f3, false);
        ASSERT_TRUE(program_frame());
    }

    // Typing into the field: the view does not see the key, neither while it is typed nor when
    // the pointer comes back over the view with the key still held.
    ASSERT_TRUE(click_at(float(field.x + 5), float(field.y + 5)));
    input_event typed{input_event_kind::text};
    typed.character = 'g';
    inject_key(k_key_g, true);
    input_inject(typed);
    const uint32_t grid = g_cursor_grid;
    ASSERT_TRUE(program_frame());
    inject_pointer(float(g_view_x + 100), 100.0f);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_key_state[k_key_g], 0);
    inject_key(k_key_g, false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_cursor_grid, grid);
    char text[16] = {};
    get_item_text(d, 7, text, sizeof text);
    EXPECT_STREQ(text, "g");

    // The pointer over the view took the keyboard from the field: the next G is the view's, and
    // no more is typed into the field.
    inject_key(k_key_g, true);
    typed.character = 'g';
    input_inject(typed);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_cursor_grid, grid ? 0u : 1u);
    inject_key(k_key_g, false);
    ASSERT_TRUE(program_frame());
    get_item_text(d, 7, text, sizeof text);
    EXPECT_STREQ(text, "g");

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
