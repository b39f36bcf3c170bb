#include "shell/shell_fixture.h"

#include "editor/editor_state.h"
#include "interface/interface_state.h"
#include "shell/console_log.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "platform/clock.h"

#include <cstdlib>
#include <cstring>

void shell_test::SetUp()
{
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
    std::memset(&g_message_log, 0, sizeof g_message_log);
    std::strcpy(g_language, "eng");
    clock_use_manual(true);
    clock_set_manual(1000);
}

void shell_test::TearDown()
{
    g_shell_trace = nullptr;
    clock_use_manual(false);
    folder_.reset();
}

void shell_test::run(const char* command_line, int frames)
{
    bool started = program_startup(command_line);
    for (int i = 0; started && i < frames && !g_quit && !g_quit_all; ++i) {
        clock_advance_manual(16);
        if (!program_frame())
            break;
    }
    program_shutdown(started);
}
