#include "shell/shell_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "engine/models.h"
#include "interface/interface_state.h"
#include "level/level_change.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "platform/clock.h"
#include "shell/program.h"
#include "shell/window.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstdlib>
#include <cstring>

void shell_test::SetUp()
{
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
    saved_dream_ = std::make_unique<dream_world>(g_dream_world);
    saved_lightning_ = std::make_unique<lightning_state>(g_lightning);
    g_ticks = 0;  // the game clocks and the level names as a new process has them
    g_elapsed_ms = 0;
    g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';
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
    g_work_mode = k_work_insert;
    std::strcpy(g_language, "eng");
    // The level's objects, the hooks start-up filled and the character tables it read.
    free_objects();
    g_scene_hero = {};
    g_dream_hero = {};
    g_object_links = {};
    g_level_links = {};
    release_char_models();
    for (model& m : g_char_models)
        free_model(&m);
    g_char_count = 0;
    g_player_char = 0;
    if (saved_dream_)
        g_dream_world = *saved_dream_;
    if (saved_lightning_)
        g_lightning = *saved_lightning_;
    clock_set_manual_step(0);
    clock_use_manual(false);
    folder_.reset();
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
