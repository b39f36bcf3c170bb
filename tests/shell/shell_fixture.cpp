#include "shell/shell_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_notices.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/char_update.h"
#include "characters/focus_list.h"
#include "characters/monster_protos.h"
#include "characters/rule_tables.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/controls/dialog_model.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/windows/mode_tabs.h"
#include "engine/avi_capture.h"
#include "engine/fonts.h"
#include "engine/models.h"
#include "engine/screenshots.h"
#include "engine/textures.h"
#include "interface/credits.h"
#include "interface/endings.h"
#include "interface/front_end.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/save_load_screen.h"
#include "interface/slide_shows.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "level/level_tables.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "platform/random.h"
#include "platform/render_device.h"
#include "platform/window_services.h"
#include "script/quests.h"
#include "script/dialogues.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "script/script_links.h"
#include "shell/device_setup.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "shell/program.h"
#include "shell/window.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/object_behaviour.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <cstring>

namespace {

// The plain globals a run changes: the shell's switches, the camera, the level paths, the
// effects, the clock, the editor and the settings.
void keep_run_state(saved_globals& saved)
{
    saved.keep(g_editor_enabled), saved.keep(g_console_enabled), saved.keep(g_console_shown);
    saved.keep(g_front_end);
    saved.keep(g_quit), saved.keep(g_quit_all), saved.keep(g_skip_exit_fade), saved.keep(g_game_finished);
    saved.keep(g_screen_width), saved.keep(g_screen_height), saved.keep(g_screen_bpp);
    saved.keep(g_zoom), saved.keep(g_zoom_target), saved.keep(g_camera_x), saved.keep(g_camera_y);
    // Start-up fills the hook tables.
    saved.keep(g_level_links), saved.keep(g_scene_hero), saved.keep(g_dream_hero), saved.keep(g_object_links);
    saved.keep(g_interface_links), saved.keep(g_settings_links);
    saved.keep(g_work_mode), saved.keep(g_console_history_count), saved.keep(g_console_history);
    saved.keep(g_console_line), saved.keep(g_console_line_length), saved.keep(g_console_last_char);
    saved.keep(g_console_enter_latch), saved.keep(g_message_log), saved.keep(g_language);
    saved.keep(g_app_active), saved.keep(g_input_focus), saved.keep(g_windowed), saved.keep(g_settings);
    saved.keep(g_ticks), saved.keep(g_elapsed_ms), saved.keep(g_clear_colour), saved.keep(g_device_table), saved.keep(g_no_game_running);
    saved.keep(g_map_path), saved.keep(g_session_map_path), saved.keep(g_current_level);
    saved.keep(g_camera_shake), saved.keep(g_dream_world), saved.keep(g_lightning);
    saved.keep(g_rain), saved.keep(g_snow), saved.keep(g_fog), saved.keep(g_blood), saved.keep(g_water_circle);
    saved.keep(g_game_clock), saved.keep(g_ambient_color);
    saved.keep(g_death_alpha), saved.keep(g_death_next_tick), saved.keep(g_menu_alpha), saved.keep(g_menu_next_tick);
    saved.keep(g_menu_input_tick), saved.keep(g_menu_button_alpha), saved.keep(g_title_notice);
    saved.keep(g_save_load_notice);
    saved.keep(g_editor), saved.keep(g_cursor_grid), saved.keep(g_show_grid), saved.keep(g_active_layer);
    saved.keep(g_brush_preview), saved.keep(g_map_dirty), saved.keep(g_current_tab), saved.keep(g_undo_counter);
    saved.keep(g_tabs_window), saved.keep(g_tab_window);
    saved.keep(g_view_x), saved.keep(g_view_y), saved.keep(g_editor_links), saved.keep(g_command_window_open);
    saved.keep(g_focus_list), saved.keep(g_notices), saved.keep(g_camera_pan_tick), saved.keep(g_message_shown);
    saved.keep(g_dialogue_running), saved.keep(g_dialogue_window), saved.keep(g_message_window);
    saved.keep(g_dialogue), saved.keep(g_press_latches);  // the talk's record and the presses taken
    // The character rules' tables and links, and what a fight changes.
    saved.keep(g_char_rule_links), saved.keep(g_script_links), saved.keep(g_interface);
    saved.keep(g_behaviour_links);
    saved.keep(attack_speed_table), saved.keep(damage_skill_multipliers), saved.keep(block_dodge_chance_table);
    saved.keep(g_monster_protos), saved.keep(g_monster_proto_count), saved.keep(g_monster_protos_file);
    saved.keep(g_characters_file), saved.keep(g_items_file), saved.keep(g_efect_protos_file);
    saved.keep(g_spells_file), saved.keep(g_chardata_file), saved.keep(g_charpr_file), saved.keep(g_save_list_file);
    saved.keep(g_config_file), saved.keep(g_ground_items), saved.keep(g_ground_item_count);
    saved.keep(g_quests), saved.keep(g_quest_count), saved.keep(g_flags), saved.keep(g_flag_count);
    saved.keep(g_attunement_thresholds);
    saved.keep(g_spell_protos), saved.keep(g_spell_proto_count);
    saved.keep(g_pending_level), saved.keep(g_new_game_request), saved.keep(g_load_twice);
    saved.keep(g_capture_on), saved.keep(g_travel_map_running), saved.keep(g_map_locations_open);
    saved.keep(g_save_list), saved.keep(g_screenshot_counter), saved.keep(g_capture_file_counter);
    // The level's map events and texts, and the event pass's click latches.
    saved.keep(g_events), saved.keep(g_event_count), saved.keep(g_event_left_latch), saved.keep(g_event_right_latch);
    saved.keep(g_refused_event_actions);
    saved.keep(g_map_texts), saved.keep(g_map_text_count);
    // What the last frame read of the mouse and keys.
    saved.keep(g_mouse_left), saved.keep(g_mouse_right), saved.keep(g_mouse_middle), saved.keep(g_mouse_button4);
    saved.keep(g_mouse_state), saved.keep(g_key_state);
    // The credits' cross-fade and the ending's state, which outlive a showing.
    saved.keep(g_credits), saved.keep(g_ending);
    // The console key's latch, the text viewer, the fight and the talk partner a run leaves.
    saved.keep(g_console_toggle_latch), saved.keep(g_text_viewer_open), saved.keep(g_entity_busy);
    saved.keep(g_in_combat), saved.keep(g_combat_list), saved.keep(g_dialogue_partner), saved.keep(g_scene_start_suppressed);
    // The splash, which runs once per process, and the slide shows.
    saved.keep(g_splash), saved.keep(g_splash_slot);
    saved.keep(g_intro_slides), saved.keep(g_chapter_slides), saved.keep(g_epilogue_slides);
}

} // namespace

void shell_test::SetUp()
{
    keep_run_state(saved_);
    // Every run starts from the generator's start-up state, so replays do not depend on the
    // tests before them.
    game_srand(1);
    // Windows open on the offscreen video driver unless the environment names another.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    folder_ = std::make_unique<temp_folder>();
    std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string();
    ASSERT_EQ(std::system(command.c_str()), 0);

    g_editor_enabled = g_console_enabled = g_console_shown = 0;
    // Runs stop at the title menu and go on in the main loop; the front end's own tests put it back.
    g_front_end = [] {};
    // A new process starts with the buttons and keys up, no press taken and no event refused.
    g_mouse_left = g_mouse_right = g_mouse_middle = g_mouse_button4 = 0;
    std::memset(&g_mouse_state, 0, sizeof g_mouse_state);
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_press_latches = {};
    g_refused_event_actions = {};
    g_quit = g_quit_all = g_skip_exit_fade = g_game_finished = 0;
    g_screen_width = 1024;
    g_screen_height = 768;
    g_screen_bpp = 16;
    g_zoom = g_zoom_target = 1.0f;
    g_camera_x = g_camera_y = 0.0f;
    g_work_mode = k_work_insert;
    g_current_tab = -1;  // no tab page made yet
    g_tabs_window = g_tab_window = 0;
    g_undo_counter = 0;  // a run starts with no snapshots
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
    g_ticks = 0;  // the game clocks, the menu's fades and the level names as a new process has them
    g_elapsed_ms = 0;
    reset_overlay_fades();
    g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';
    reset_camera_shake(&g_camera_shake);
    g_console_toggle_latch = 1;  // the console key up, no text viewer, no fight, no talk partner
    g_text_viewer_open = g_entity_busy = g_scene_start_suppressed = 0;
    g_in_combat = 0;
    std::fill(std::begin(g_combat_list), std::end(g_combat_list), int16_t(-1));
    g_dialogue_partner = -1;
    std::memset(g_ground_items, 0, sizeof g_ground_items);  // nothing lies on the ground yet
    g_ground_item_count = 0;
    // The splash yet to run and no slide show begun, whatever ran before in this process.
    g_splash = {};
    g_splash_slot = -1;
    g_intro_slides = {};
    g_chapter_slides = {};
    g_epilogue_slides = {};
    clock_use_manual(true);
    clock_set_manual(1000);
    clock_set_manual_step(16);  // one frame per clock read: 16 ms frames, fades end
}

void shell_test::TearDown()
{
    g_shell_trace = nullptr;
    set_modal_responder({});  // one a failed assertion left would answer the next test's dialogs
    set_message_box_answerer({});
    destroy_all_dialogs();  // the editor's windows lived with the run
    clear_texture_table();
    // The fonts start-up made, which a case that ends before its shutdown leaves behind.
    font_remove(&g_font_large);
    font_remove(&g_font_small);
    close_main_window();
    audio_shutdown();  // the sound device and its thread, which a new process has not opened
    render_use_recording(false);  // a new process draws on the OpenGL device
    // The run flags a closed window or a finished run leaves set.
    g_editor_enabled = g_console_enabled = g_console_shown = 0;
    // A new process starts with the buttons and keys up, no press taken and no event refused.
    g_mouse_left = g_mouse_right = g_mouse_middle = g_mouse_button4 = 0;
    std::memset(&g_mouse_state, 0, sizeof g_mouse_state);
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_press_latches = {};
    g_refused_event_actions = {};
    g_quit = g_quit_all = g_skip_exit_fade = g_game_finished = 0;
    g_ending_end_flag = g_credits_end_flag = g_no_game_running = g_travel_map_running = 0;
    g_typed_char = g_console_last_char = 0;
    g_item_proto_count = 0;  // a run loads the demo's items
    g_work_mode = k_work_insert;
    g_dialog_loop_links = {};  // an editor start-up links the modal dialogs' screen pass
    // The level's objects and the character tables start-up read.
    free_objects();
    release_char_models();
    for (model& m : g_char_models)
        free_model(&m);
    g_char_count = 0;
    g_player_char = 0;
    clock_set_manual_step(0);
    clock_use_manual(false);
    clear_level_tables();
    saved_.restore();
    folder_.reset();
}

void shell_test::copy_english_as(const char* code)
{
    namespace fs = std::filesystem;
    for (const language_file& file : language_files(code)) {
        fs::create_directories(fs::path(file.translated).parent_path());
        fs::copy_file(file.english, file.translated, fs::copy_options::overwrite_existing);
    }
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

bool shell_test::pass_greeting()
{
    const auto greeting_up = [] { return g_dialogue_running != 0; };
    const auto space = [](bool down) {
        input_event e{input_event_kind::key};
        e.code = k_key_space;
        e.down = down;
        input_inject(e);
    };
    for (int i = 0; i < 5 && !greeting_up(); ++i)
        if (!program_frame())
            return false;
    for (int i = 0; i < 30 && greeting_up(); ++i) {
        space(true);
        if (!program_frame())
            return false;
        space(false);
        if (!program_frame())
            return false;
    }
    return !greeting_up();
}
