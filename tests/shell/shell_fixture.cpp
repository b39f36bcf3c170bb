#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "platform/clock.h"
#include "shell/program.h"
#include "shell/window.h"

#include <cstdlib>
#include <cstring>

void shell_test::SetUp()
{
    camera_x_ = g_camera_x;
    camera_y_ = g_camera_y;
    zoom_ = g_zoom;
    zoom_target_ = g_zoom_target;
    level_links_ = g_level_links;
    // Windows open on the offscreen video driver unless the environment names another.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    folder_ = std::make_unique<temp_folder>();
    std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string();
    ASSERT_EQ(std::system(command.c_str()), 0);

    g_editor_enabled = g_console_enabled = g_console_shown = 0;
    g_quit = g_quit_all = g_skip_exit_fade = g_game_finished = 0;
    g_screen_width = 1024;
    g_screen_height = 768;
    g_screen_bpp = 16;
    g_zoom = g_zoom_target = 1.0f;
    g_work_mode = k_work_insert;
    g_console_history_count = 0;
    std::memset(g_console_history, 0, sizeof g_console_history);
    std::strcpy(g_console_line, "_");
    g_console_line_length = 0;
    g_console_last_char = 0;
    g_console_enter_latch = 1;
    std::memset(&g_message_log, 0, sizeof g_message_log);
    std::strcpy(g_language, "eng");
    g_app_active = 0;
    g_input_focus = 1;
    g_windowed = 0;
    clock_use_manual(true);
    clock_set_manual(1000);
    clock_set_manual_step(16);  // one frame per clock read: 16 ms frames, fades end
}

void shell_test::TearDown()
{
    g_shell_trace = nullptr;
    close_main_window();
    // The run flags a closed window or a finished run leaves set.
    g_editor_enabled = g_console_enabled = g_console_shown = 0;
    g_quit = g_quit_all = g_skip_exit_fade = g_game_finished = 0;
    g_ending_end_flag = g_credits_end_flag = g_no_game_running = g_travel_map_running = 0;
    g_typed_char = g_console_last_char = 0;
    g_item_proto_count = 0;  // a run loads the demo's items
    g_work_mode = k_work_insert;
    clock_set_manual_step(0);
    clock_use_manual(false);
    folder_.reset();
    g_camera_x = camera_x_;
    g_camera_y = camera_y_;
    g_zoom = zoom_;
    g_zoom_target = zoom_target_;
    g_level_links = level_links_;
}

void shell_test::run(const char* command_line, int frames)
{
    bool started = program_startup(command_line);
    for (int i = 0; started && i < frames && !g_quit && !g_quit_all; ++i) {
        if (!program_frame())
            break;
    }
    program_shutdown(started);
}
