#include "shell/shell_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "engine/sound.h"
#include "interface/interface_state.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/program.h"
#include "shell/startup_config.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>
#include "platform/key_codes.h"
#include "platform/signals.h"
#include "shell/window.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <vector>

namespace {

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
    g_shell_trace = nullptr;

    const std::vector<std::string> startup = {
        "install_links", "split_command_line", "read_startup_config", "remove_write_leftovers",
        "config_read", "delete_level_saves", "stamp_start_time", "create_main_window", "font_create", "save_gamma_ramp", "audio",
        "load_texture_pack", "zoom", "load_sprite_font", "fixed_textures", "mouse_prototype",
        "editor_ai_switch", "reset_editor_brush", "save_list_read",
        "load_monster_protos", "read_characters", "load_items",
        "load_model_registry", "load_char_containers", "load_creature_list",
        "init_game_clock", "clear_monster_points", "load_interface_textures", "load_footstep_sounds",
        "load_ui_texts", "log_interface_ok", "open_editor_windows", "load_rule_tables",
        "load_spells", "load_weather_templates", "log_rain_ok", "load_effect_protos", "reset_scene_header",
        "load_quests", "load_dream_textures", "new_dialogue", "reset_camera_shake", "game_running",
        "create_movement_map", "first_level", "hero_name_cursor", "load_intro_slide",
        "enter_menu_level", "init_brush_preview", "start_play", "menu_camera", "enter_dream_world",
        "open_menu", "run_front_end", "free_slide_tiles", "main_loop_ready"};
    const std::vector<std::string> frame = {
        "pump_messages", "editor_focus", "wait_while_inactive", "new_game_request",
        "poll_input", "advance_game_clock", "update_frame_timing", "update_battle_music", "toggle_console",
        "run_editor_frame", "evaluate_events", "update_entities", "update_weather", "update_rain",
        "update_snow", "update_fog", "update_lightning", "expire_camera_shake", "begin_scene",
        "update_all_avi_textures", "update_ground_items", "follow_owner_objects", "draw_objects",
        "update_all_chars", "curves_lights_effects", "draw_movemap",
        "draw_char_passes", "draw_cursor_marker", "play_overlays", "box_selection",
        "monster_point_markers", "debug_text", "brush_preview", "draw_console", "text_windows",
        "slide_shows", "draw_debug_text", "dialog_frame", "end_scene", "frame_capture", "present",
        "pending_level_change"};
    const std::vector<std::string> shutdown_head = {"log_ending", "ending", "fade_to_black"};
    const std::vector<std::string> fade_pass = {
        "modal_pass_begin", "update_frame_timing", "begin_scene", "update_all_avi_textures",
        "update_entities", "update_all_chars", "update_ground_items", "follow_owner_objects",
        "draw_objects", "rain_and_lightning", "update_lights", "update_level_effects", "dream_world",
        "advance_game_clock", "fade_step", "save_picture", "draw_fade_rectangle", "end_scene_and_present"};
    const std::vector<std::string> shutdown_tail = {
        "close_capture", "save_list_write", "reset_dialogue_window", "font_remove",
        "shutdown_interface", "free_level_containers", "delete_level_saves", "config_write",
        "save_monster_protos", "write_characters", "save_items", "save_effect_protos",
        "save_spells"};

    std::vector<std::string> expected = startup;
    for (int i = 0; i < 2; ++i)
        expected.insert(expected.end(), frame.begin(), frame.end());
    expected.insert(expected.end(), shutdown_head.begin(), shutdown_head.end());
    // The closing fade: 20 steps at least 2 ticks apart, so at least 20 passes.
    const auto passes = std::count(trace.begin(), trace.end(), "draw_fade_rectangle");
    EXPECT_GE(passes, 20);
    for (int i = 0; i < passes; ++i)
        expected.insert(expected.end(), fade_pass.begin(), fade_pass.end());
    expected.insert(expected.end(), shutdown_tail.begin(), shutdown_tail.end());
    EXPECT_EQ(trace, expected);

    std::string log = read_text("global/konzola.log");
    size_t at = 0;
    for (const char* line : {"inicializacia Direct X ok\n", "inteface ok\n", "spells ok\n", "rain ok\n",
                             // the first frame rolls the weather once
                             "spustam samotny program\nsanca na pocasie ", "\nkoncim samotny program\n"}) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found;
    }
    EXPECT_EQ(g_message_log.count, 2u);
    EXPECT_STREQ(g_message_log.lines[0], "Welcome, traveller.");  // UI text 123 of the demo's table
    std::string texts = read_text("global/text_eng.txt");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), '\n'), 172);
    EXPECT_STREQ(g_message_log.lines[1], "---------------------------");
}

TEST_F(shell_test, TheConsoleKeyTogglesTheConsoleAndTheLineRunsOnReturn)
{
    ASSERT_TRUE(program_startup("zorv console"));
    auto frame_with = [](std::initializer_list<uint8_t> keys) {
        for (uint8_t key : keys)
            input_inject({input_event_kind::key, key, true});
        program_frame();
        for (uint8_t key : keys)
            input_inject({input_event_kind::key, key, false});
    };
    frame_with({});
    frame_with({k_key_a});  // hidden: nothing is typed
    EXPECT_STREQ(g_console_line, "_");
    frame_with({k_key_grave});
    EXPECT_EQ(g_console_shown, 1u);
    frame_with({k_key_h});
    frame_with({k_key_i});
    EXPECT_STREQ(g_console_line, "hi_");
    frame_with({k_key_return});
    EXPECT_STREQ(g_console_history[1], "hi");
    EXPECT_STREQ(g_console_history[0], "error");
    frame_with({k_key_grave});
    EXPECT_EQ(g_console_shown, 0u);
    program_shutdown(true);
}

TEST_F(shell_test, AQuitSignalClosesTheWindow)
{
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    ASSERT_TRUE(program_startup("zorv"));
    // The handlers go back to SDL's before it shuts down, as a process that never ran the
    // program has them: a signal is then one quit event, not a close that every later window meets.
    struct sigaction old_int = {}, old_term = {};
    sigaction(SIGINT, nullptr, &old_int);
    sigaction(SIGTERM, nullptr, &old_term);
    install_quit_signal_handlers();
    std::raise(SIGTERM);
    int frames = 0;
    while (program_frame() && frames < 10)
        ++frames;
    EXPECT_EQ(g_quit_all, 1u);
    EXPECT_LT(frames, 4);  // the activation messages first, then the close
    clear_quit_signal();
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGTERM, &old_term, nullptr);
    program_shutdown(true);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "fade_step"), 0);  // no closing fade
}

TEST_F(shell_test, TheGameRunsSilentWhenNoAudioDeviceOpens)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    run("zorv", 1);
    EXPECT_EQ(g_sound_enabled, 0u);
    EXPECT_EQ(g_music.map_stream, 0u);

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    run("zorv", 2);
    EXPECT_EQ(g_sound_enabled, 1u);
    EXPECT_EQ(g_sound.playing_count, 0u);
}

TEST_F(shell_test, AStartUpWithoutADisplayEndsWithAFailureAndItsReason)
{
    // The program itself, in the demo's folder, with a video driver that does not exist.
    const std::vector<uint8_t> save_list = read_bytes("save/save.dat");
    ASSERT_FALSE(save_list.empty());
    const int status =
        std::system((std::string("SDL_VIDEODRIVER=no-such-driver ") + ZORV_PROGRAM + " console 2> failure.txt").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string reason = read_text("failure.txt");
    EXPECT_EQ(reason.rfind("zorv: no window or display device: ", 0), 0u) << reason;
    EXPECT_GT(reason.size(), std::strlen("zorv: no window or display device: \n")) << "the device's own reason";
    const std::string log = read_text("global/konzola.log");
    EXPECT_EQ(log.find("inicializacia Direct X ok"), std::string::npos);
    EXPECT_NE(log.find("koncim samotny program"), std::string::npos);
    EXPECT_EQ(read_bytes("save/save.dat"), save_list) << "the save list start-up never read";
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

TEST_F(shell_test, EachFrameClearsDrawsAndPresentsOneScene)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv"));
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);

    auto count = [&](device_call kind, uint32_t* last_value = nullptr) {
        int n = 0;
        for (const auto& call : device->calls())
            if (call.kind == kind) {
                ++n;
                if (last_value)
                    *last_value = call.value;
            }
        return n;
    };
    int begins = count(device_call::begin_scene), presents = count(device_call::present);
    clock_advance_manual(16);
    ASSERT_TRUE(program_frame());
    uint32_t colour = 0;
    EXPECT_EQ(count(device_call::begin_scene), begins + 1);
    EXPECT_EQ(count(device_call::end_scene), count(device_call::begin_scene));
    EXPECT_EQ(count(device_call::present), presents + 1);
    count(device_call::clear, &colour);
    EXPECT_EQ(colour, 0xFF000000u);

    // In the level shown as "Vantielle" the clear colour is a fifth of the ambient light.
    std::strcpy(g_scene_header.display_name, "Vantielle");
    g_ambient_color = {1.0f, 0.5f, 0.0f};
    ASSERT_TRUE(program_frame());
    count(device_call::clear, &colour);
    EXPECT_EQ(colour, uint32_t(51 << 16 | 25 << 8));
    std::strcpy(g_scene_header.display_name, "");

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, StartUpReadsTheCharactersAndTheMenuPlacesTheHero)
{
    run("zorv", 1);
    // The menu level's placements follow the four global slots; the hero is the only one read.
    ASSERT_EQ(g_char_count, 4u);
    const char_record& hero = g_chars[0];
    EXPECT_STREQ(hero.display_name, "Traveller_");  // the name-entry cursor
    EXPECT_NE(world_object_of(hero), nullptr);
    EXPECT_GE(hero.part_model[0], 0);              // its stand clip runs
    // The registry read at start-up (four figures, five clips of five parts) was released by the
    // change to the menu level; placing the hero brought back its own 25 parts and the 5 models of
    // the helm it wears, one per clip.
    EXPECT_EQ(g_chardata_count, 30u);
    EXPECT_NE(find_chardata_entry("3d/hero/1/stand1/kapa.3d"), -1);
    ASSERT_EQ(g_creature_files.count, 4);
    EXPECT_STREQ(g_creature_files.names[0].name, "bandit.chr");
    EXPECT_STREQ(g_creature_files.names[1].name, "shaman.chr");
    EXPECT_STREQ(g_creature_files.names[2].name, "squire.chr");
    EXPECT_STREQ(g_creature_files.names[3].name, "villager.chr");
}

TEST_F(shell_test, TheEditorWritesTheCharactersBackAsItReadThem)
{
    const std::vector<uint8_t> demo = read_bytes("global/characters.dat");
    run("zorv editor", 1);
    EXPECT_EQ(read_bytes("global/characters.dat"), demo);
}
