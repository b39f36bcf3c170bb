#include "shell/shell_fixture.h"

#include "editor/editor_state.h"
#include "interface/interface_state.h"
#include "shell/console_log.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/startup_config.h"

#include <algorithm>

namespace {

std::vector<std::string> without_pending(const std::vector<std::string>& trace)
{
    std::vector<std::string> built;
    for (const auto& step : trace)
        if (step.find(" (pending)") == std::string::npos)
            built.push_back(step);
    return built;
}

size_t position_of(const std::vector<std::string>& trace, const std::string& step)
{
    return size_t(std::find(trace.begin(), trace.end(), step) - trace.begin());
}

void write_game_cfg(int32_t mode)
{
    std::vector<uint8_t> bytes(12, 0);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = uint8_t(uint32_t(mode) >> (8 * i));
    write_bytes("game.cfg", bytes);
}

} // namespace

TEST_F(shell_test, StartupFrameAndShutdownRunInTheirFixedOrder)
{
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    run("zorv console", 2);

    const std::vector<std::string> startup_head = {
        "split_command_line", "read_startup_config", "config_read", "delete_level_saves",
        "stamp_start_time", "create_main_window"};
    ASSERT_GE(trace.size(), startup_head.size());
    EXPECT_TRUE(std::equal(startup_head.begin(), startup_head.end(), trace.begin()));

    // Global tables load in their order; the last start-up step opens the loop.
    const char* ordered[] = {"create_main_window", "font_create", "zoom", "load_items",
                             "load_char_containers", "load_interface_textures", "log_interface_ok",
                             "load_spells", "log_rain_ok", "load_quests", "new_dialogue",
                             "first_level", "main_loop_ready", "pump_messages"};
    for (size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(position_of(trace, ordered[i - 1]), position_of(trace, ordered[i])) << ordered[i];

    // Two frames, each from the message pump to the level change, then shutdown.
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "pump_messages"), 2);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "pending_level_change (pending)"), 2);
    const std::vector<std::string> shutdown = {
        "log_ending", "reset_dialogue_window", "font_remove", "shutdown_interface", "free_level_containers",
        "delete_level_saves", "config_write", "save_items", "save_spells"};
    auto built = without_pending(trace);
    ASSERT_GE(built.size(), shutdown.size());
    EXPECT_TRUE(std::equal(shutdown.begin(), shutdown.end(), built.end() - long(shutdown.size())));

    std::string log = read_text("global/konzola.log");
    size_t at = 0;
    for (const char* line : {"inicializacia Direct X ok\n", "inteface ok\n", "spells ok\n", "rain ok\n",
                             "spustam samotny program\nkoncim samotny program\n"}) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found;
    }
    EXPECT_EQ(g_message_log.count, 2u);
    EXPECT_STREQ(g_message_log.lines[1], "---------------------------");
}

TEST_F(shell_test, ConsoleLogStaysEmptyWithoutConsoleAndIsEmptiedAtStart)
{
    write_text("global/konzola.log", "an earlier run\n");
    run("zorv", 1);
    EXPECT_EQ(read_text("global/konzola.log"), "");
    EXPECT_EQ(g_console_history_count, 0);
}

TEST_F(shell_test, ShutdownWritesConfigBackAndDeletesChangeFiles)
{
    write_text("global/brana.sav", "change file");
    write_text("global/start.sav", "change file");
    write_text("global/other.sav", "kept");
    run("zorv", 1);
    EXPECT_FALSE(std::filesystem::exists("global/brana.sav"));
    EXPECT_FALSE(std::filesystem::exists("global/start.sav"));
    EXPECT_TRUE(std::filesystem::exists("global/other.sav"));
    EXPECT_NE(read_text("config.cfg").find("gr_runwindowed= 1\n"), std::string::npos);
}

TEST_F(shell_test, ModeWordsAreFoundAnywhereInTheCommandLine)
{
    run("/opt/myeditortools/zorv", 1);
    EXPECT_EQ(g_editor_enabled, 1u);
    EXPECT_EQ(g_console_enabled, 1u);
    EXPECT_EQ(g_cursor_grid, 1u);
    EXPECT_FLOAT_EQ(g_zoom, 1.0f);
}

TEST_F(shell_test, GameModeZoomFollowsTheScreenWidth)
{
    write_game_cfg(9);
    run("zorv", 1);
    EXPECT_EQ(g_screen_width, 1600);
    EXPECT_FLOAT_EQ(g_zoom, 1600.0f / 1024.0f);
    EXPECT_FLOAT_EQ(g_zoom_target, g_zoom);
    EXPECT_EQ(g_work_mode, uint32_t(k_work_play));
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_EQ(g_interface.overlay_screen, 1u);
}

TEST_F(shell_test, AQuitBeforeTheLoopSkipsTheOpeningLinesAndEveryFrame)
{
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    g_quit = 1;
    run("zorv console", 5);
    EXPECT_EQ(g_message_log.count, 0u);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "pump_messages"), 0);
    EXPECT_NE(read_text("global/konzola.log").find("spustam samotny program\nkoncim samotny program\n"),
              std::string::npos);
}

TEST(CommandLine, TheLastSavWordIsTheStartLevel)
{
    split_command_line("zorv first.sav console second.sav");
    EXPECT_STREQ(g_start_level, "second.sav");
    split_command_line("zorv console");
    EXPECT_STREQ(g_start_level, "");
    // Only five words are read.
    split_command_line("zorv a b c d late.sav");
    EXPECT_STREQ(g_start_level, "");
    // A long word is cut to 99 characters, never overrun; cut, it names no level.
    split_command_line(("zorv " + std::string(500, 'x') + ".sav").c_str());
    EXPECT_STREQ(g_start_level, "");
    split_command_line(("zorv " + std::string(90, 'y') + ".sav").c_str());
    EXPECT_EQ(std::string(g_start_level), std::string(90, 'y') + ".sav");
}

TEST(DisplayModes, CoverTheTenModesAndRefuseOthers)
{
    int32_t w = 0, h = 0, bpp = 0;
    ASSERT_TRUE(display_mode_size(1, &w, &h, &bpp));
    EXPECT_EQ(std::tie(w, h, bpp), std::make_tuple(640, 480, 16));
    ASSERT_TRUE(display_mode_size(6, &w, &h, &bpp));
    EXPECT_EQ(std::tie(w, h, bpp), std::make_tuple(1024, 768, 32));
    ASSERT_TRUE(display_mode_size(10, &w, &h, &bpp));
    EXPECT_EQ(std::tie(w, h, bpp), std::make_tuple(1600, 1200, 32));
    EXPECT_FALSE(display_mode_size(0, &w, &h, &bpp));
    EXPECT_FALSE(display_mode_size(11, &w, &h, &bpp));
}

TEST_F(shell_test, GameCfgOutOfRangeOrShortKeepsTheDefaultScreen)
{
    write_game_cfg(11);
    read_startup_config("zorv");
    EXPECT_EQ(std::tie(g_screen_width, g_screen_height), std::make_tuple(1024, 768));
    write_bytes("game.cfg", {1, 0, 0, 0, 3});
    read_startup_config("zorv");
    EXPECT_EQ(std::tie(g_screen_width, g_screen_height), std::make_tuple(1024, 768));
    write_game_cfg(3);
    read_startup_config("zorv console");
    EXPECT_EQ(std::tie(g_screen_width, g_screen_height, g_screen_bpp), std::make_tuple(800, 600, 16));
    EXPECT_EQ(read_text("global/konzola.log"), "Nacitavam rozlisenie z cfg suboru\n");
}
