// The editor's dialogs in the main loop: drawn in every frame before the scene ends, with the
// modal dialogs' screen pass linked in editor mode; the free editors and the file chooser open
// below the tab strip; a modal dialog shows the view of the frame it opened in under it; a file
// chosen to be written over asks first.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/container_editor.h"
#include "editor/gui/dialog_layout.h"
#include "editor/gui/dialog_screen.h"
#include "editor/gui/imgui_backend.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/editor_demo_steps.h"
#include "shell/program.h"
#include "support/saved_globals.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST_F(shell_test, TheFrameDrawsTheDialogsBeforeTheSceneEnds)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    EXPECT_NE(g_dialog_loop_links.modal_pass, nullptr);
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);

    dialog_template t;
    t.caption = "tool";
    t.width = 100;
    t.height = 40;
    t.controls = {make_control(control_kind::button, 5, 10, 10, 50, 14, "Go")};
    const dialog_handle dialog = create_dialog(t, nullptr);
    device->clear_recording();
    clock_advance_manual(16);
    program_frame();

    // The dialog's draws are the ones clipped to a scissor rectangle.
    size_t first_dialog_call = 0, dialog_draws = 0, end_scene = 0;
    const auto& calls = device->calls();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == device_call::end_scene)
            end_scene = i;
        if (calls[i].kind == device_call::draw && device->states_of(device->draws()[calls[i].value]).scissor_on) {
            first_dialog_call = first_dialog_call ? first_dialog_call : i;
            ++dialog_draws;
        }
    }
    EXPECT_GT(dialog_draws, 0u);
    EXPECT_LT(first_dialog_call, end_scene);
    EXPECT_EQ(calls.back().kind, device_call::present);

    destroy_dialog(dialog);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AModalDialogsPassLeavesNothingOfEarlierFramesAroundTheView)
{
    ASSERT_TRUE(program_startup("zorv editor")); // the OpenGL device on the offscreen window
    render_device& d = *g_d3d_device;
    ASSERT_GT(g_view_x, 8);
    // Something drawn around the view before: the whole window white.
    const device_viewport view = d.get_viewport();
    d.begin_scene();
    d.set_viewport({0, 0, d.width(), d.height(), 0.0f, 1.0f});
    d.clear(k_clear_target, 0xFFFFFFFFu);
    d.set_viewport(view);
    d.end_scene();

    g_dialog_loop_links.modal_pass();
    std::vector<uint32_t> frame;
    ASSERT_TRUE(d.read_frame(frame));
    // Left of the view, below the pages: black again.
    const uint32_t x = uint32_t(g_view_x) - 4, y = d.height() - 4;
    EXPECT_EQ(frame[size_t(y) * d.width() + x], 0xFF000000u);

    g_quit = 1;
    program_shutdown(true);
}

TEST_F(shell_test, TheFreeEditorsAndTheFileChooserOpenBelowTheTabStrip)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    auto top_of = [](dialog_handle d) { return window_pixels(*find_dialog(d)).y; };
    const float strip_bottom = window_pixels(*find_dialog(g_tabs_window)).bottom();

    for (const auto& [menu, window] : {std::pair(k_menu_item, &g_item_editor_window),
                                       std::pair(k_menu_spells, &g_spell_editor_window),
                                       std::pair(k_menu_monsters, &g_monster_editor_window)}) {
        ASSERT_TRUE(user_pick_menu(g_command_window, menu));
        ASSERT_TRUE(program_frame()); // where the screen shows it
        EXPECT_GE(top_of(*window), strip_bottom) << menu;
        destroy_dialog(*window);
    }
    float chooser_top = 0;
    set_modal_responder([&](dialog_handle chooser) {
        g_dialog_loop_links.modal_pass();
        chooser_top = top_of(chooser);
        return false;
    });
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    EXPECT_GE(chooser_top, strip_bottom);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AModalDialogShowsTheViewOfTheFrameItOpenedInUnderIt)
{
    saved_globals saved;
    saved.keep(g_container_add_target);
    ASSERT_TRUE(program_startup("zorv editor")); // the OpenGL device on the offscreen window
    ASSERT_TRUE(program_frame());
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    ASSERT_TRUE(choose_tab(10, g_container_editor_window));
    ASSERT_TRUE(user_choose(g_container_editor_window, k_cont_list, 0));
    ASSERT_TRUE(program_frame());
    device_rect insert{};
    ASSERT_TRUE(dialog_control_rect(g_container_editor_window, k_cont_insert, insert));

    // "Insert" clicked: the modal dialog opens inside the frame, over what it has drawn so far.
    render_device& d = *g_d3d_device;
    std::vector<uint32_t> opened_on, modal_pass;
    set_modal_responder([&](dialog_handle) {
        if (opened_on.empty() && d.read_frame(opened_on) && g_dialog_loop_links.modal_pass())
            d.read_frame(modal_pass);
        return false;
    });
    ASSERT_TRUE(click_at(float(insert.x + insert.width / 2), float(insert.y + insert.height / 2)));
    set_modal_responder({});
    ASSERT_FALSE(modal_pass.empty());

    // Wherever no dialog lies on the view, the modal pass shows the view as it was.
    size_t shown = 0, lit = 0, changed = 0;
    for (int32_t y = g_view_y; y < g_view_y + g_screen_height; ++y)
        for (int32_t x = g_view_x; x < g_view_x + g_screen_width; ++x) {
            if (imgui_window_at(x, y))
                continue;
            const size_t at = size_t(y) * d.width() + size_t(x);
            ++shown;
            lit += opened_on[at] != 0xFF000000u ? 1 : 0;
            changed += modal_pass[at] != opened_on[at] ? 1 : 0;
        }
    EXPECT_GT(lit, shown / 2);
    EXPECT_EQ(changed, 0u) << "of " << shown;

    g_quit = 1;
    program_shutdown(true);
}

TEST_F(shell_test, AnExportOrSaveOverAnotherExistingFileAsksAndNoKeepsItByteForByte)
{
    saved_globals chooser;
    chooser.keep(g_last_file_dir), chooser.keep(g_file_dialog_path);
    g_console_enabled = 1;
    ASSERT_TRUE(program_startup("zorv editor") && program_frame());
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    const std::string own = g_map_path, other = std::filesystem::absolute("data/levels/encounter.sav");
    std::vector<uint8_t> before, after, log;
    ASSERT_TRUE(read_whole_file(other.c_str(), &before));
    std::vector<std::string> asked;  // each question's caption and text; answered No
    g_map_dirty = 1;
    for (const auto& choice : {std::pair(other, k_menu_export_sortinfo), std::pair(other, k_menu_export_mapinfo),
                               std::pair(other, k_menu_save_map), std::pair(own, k_menu_save_map)}) {
        set_modal_responder([&asked, path = choice.first](dialog_handle modal) {
            const bool chooser = user_edit_text(modal, k_chooser_name, path);
            if (!chooser)
                asked.push_back(find_dialog(modal)->caption + ": " +
                                find_control(modal, -1, control_kind::static_text)->text);
            return user_click(modal, chooser ? k_id_ok : k_id_no), false;
        });
        ASSERT_TRUE(user_pick_menu(g_command_window, choice.second));
    }
    set_modal_responder({});
    const std::string question = ": " + other + "\nreplace?";
    EXPECT_EQ(asked, (std::vector<std::string>{"save sortinfo" + question, "save movemap" + question,
                                               "save map" + question}));
    ASSERT_TRUE(read_whole_file(other.c_str(), &after) && read_whole_file(k_console_log_file, &log));
    EXPECT_EQ(after, before);
    EXPECT_NE(std::string(log.begin(), log.end()).find(other + " ostava, nic nezapisujem"), std::string::npos);
    EXPECT_EQ(g_map_dirty, 0u);  // the map's own file saved over unasked
    g_quit = 1;
    program_shutdown(true);
}

} // namespace
