// The pending level change, the new game and the ending, as sequences of named steps.
#include "shell/level_requests.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "interface/endings.h"
#include "interface/equipment_slots.h"
#include "interface/interface_state.h"
#include "interface/new_hero_screen.h"
#include "interface/overlay_screens.h"
#include "interface/panel_toggles.h"
#include "interface/side_panel.h"
#include "items/items.h"
#include "level/level_change.h"
#include "level/level_saves.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "shell/fades.h"
#include "shell/program_steps.h"
#include "shell/travel_map.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>
#include <span>

namespace {

constexpr float k_menu_camera_x = -2366.0f;
constexpr float k_menu_camera_y = -414.0f;

// The level being entered: the request's target, copied out before the change rewrites buffers.
char g_change_target[k_map_path_size];
int32_t g_change_mode = 0;
// Whether the arrival places the hero at the entry: not after a refused level change, which
// leaves him where he stood in the level he stays in.
bool g_change_entered = true;

// Runs a sequence; a step with no function is logged as skipped, once per run.
void run_request_steps(std::span<const program_step> steps)
{
    for (const program_step& step : steps)
        if (!step.run)
            log_hook_skipped(step.name);
    run_program_steps(steps);
}

void put_mouse_on_hero()
{
    const char_record* hero = char_at(int32_t(g_player_char));
    const world_object* object = hero ? world_object_of(*hero) : nullptr;
    if (object) {
        g_mouse_x = object->x;
        g_mouse_y = object->y;
    }
    g_mouse_middle = g_mouse_right = g_mouse_left = 0;
}

const program_step k_arrival_steps[] = {
    {"apply_ambient_light", [] { apply_ambient_light(&g_scene_header); return true; }},
    {"place_hero", [] {
         if (g_change_entered)
             place_hero_at_entry(&g_scene_header, g_change_mode);
         return true;
     }},
    {"evaluate_events_once", [] {
         evaluate_events();
         return true;
     }},
    {"fade_from_black", [] { fade_from_black(); return true; }},
    {"mouse_to_hero", [] { put_mouse_on_hero(); return true; }},
};
const step_table_registration k_arrival_steps_registration{"arrival", k_arrival_steps};

bool leave_dream_world_silently()
{
    leave_dream_world(&g_dream_world, 1);
    return true;
}

const program_step k_worldmap_steps[] = {
    {"story_detours", [] { return !take_story_detours(); }},
    {"leave_dream_world", leave_dream_world_silently},
    {"travel_map_screen", [] {
         // Cleared first, so that a request the destination raises is kept for the next frame.
         g_pending_level.pending = 0;
         travel_map_screen();
         if (g_quit || g_quit_all)
             g_pending_level.pending = 1;  // the program ends with the request open
         return true;
     }},
};
const step_table_registration k_worldmap_steps_registration{"travel map request", k_worldmap_steps};

const program_step k_level_change_steps[] = {
    {"leave_dream_world", leave_dream_world_silently},
    {"fade_to_black", [] { fade_to_black(); return true; }},
    {"change_level", [] {
         // The request is taken over here, so that one the entered level raises is kept.
         copy_bounded(g_change_target, sizeof g_change_target, g_pending_level.target);
         g_change_mode = g_pending_level.mode;
         g_pending_level.pending = 0;
         g_change_entered = change_level(g_change_target, 0, 0, 1);
         end_story_detour(g_change_target, g_change_entered);
         if (!g_change_entered)
             say_level_closed(g_change_target);
         return true;
     }},
    {"load_twice", [] {
         if (g_load_twice) {
             g_load_twice = 0;
             if (g_change_entered)
                 change_level(g_change_target, 0, 0, 1);
         }
         return true;
     }},
    {"arrive_in_level", [] {
         run_request_steps(k_arrival_steps);
         g_change_entered = true;
         return true;
     }},
};
const step_table_registration k_level_change_steps_registration{"level change", k_level_change_steps};

// The interface as the title menu finds it.
void reset_title_menu()
{
    g_interface.dream_switch_allowed = 0;
    add_hero_name_cursor();
    reset_new_hero_page();
    g_interface.overlay_screen = 1;
    g_interface.menu_open = 1;
}

const program_step k_new_game_steps[] = {
    {"leave_dream_world", leave_dream_world_silently},
    {"fade_to_black", [] { fade_to_black(); return true; }},
    // The old game's panels close and its item in hand goes back before its hero is replaced.
    {"close_panels", [] {
         close_side_panels();
         close_item_windows();
         return true;
     }},
    {"read_characters", [] { read_characters(false); return true; }},
    {"enter_menu_level", [] { change_level("start.sav", 0, 0, 1); return true; }},
    {"delete_level_saves", [] { delete_level_saves(); return true; }},
    {"load_quests", [] { load_quests(); return true; }},
    {"load_items", [] { load_items(); return true; }},
    {"menu_scene", [] {
         g_no_game_running = 1;
         apply_ambient_light(&g_scene_header);
         place_hero_at_entry(&g_scene_header, 0);
         g_camera_x = k_menu_camera_x;
         g_camera_y = k_menu_camera_y;
         return true;
     }},
    {"reset_title_menu", [] { reset_title_menu(); return true; }},
    {"read_quick_bar", [] { read_quick_bar(); return true; }},
    {"reset_game_clock", [] {
         init_game_clock(&g_game_clock);
         g_dialogue_running = 0;
         return true;
     }},
    {"fade_from_black", [] { fade_from_black(); return true; }},
    {"enter_dream_world", [] { enter_dream_world(&g_dream_world, 1); return true; }},
    {"run_front_end", [] { g_front_end(); return true; }},
    {"clear_request", [] { g_new_game_request = 0; return true; }},
};
const step_table_registration k_new_game_steps_registration{"new game", k_new_game_steps};

// The ending is over (or its level could not be entered): the next frame starts a new game, which
// shows the title.
bool request_new_game()
{
    g_quit = 0;
    g_new_game_request = 1;
    g_game_finished = 0;
    return true;
}

const program_step k_ending_steps[] = {
    {"fade_to_black", [] {
         g_no_game_running = 1;
         fade_to_black();
         return true;
     }},
    {"ending_view", [] {
         g_zoom = g_zoom_target = float(g_screen_width) / 1024.0f;
         g_camera_x = g_camera_y = 0.0f;
         g_mouse_x = float(g_screen_width / 2);
         g_mouse_y = float(g_screen_height / 2);
         return true;
     }},
    {"enter_final_level", [] {
         char level[k_map_path_size];
         std::snprintf(level, sizeof level, "final_%s.sav", g_language);
         if (!change_level(level, 0, 0, 1)) {
             console_log("level %s sa neda otvorit, koniec hry ide do titulneho menu", level);
             say_level_refused_on_title(level);
             return !request_new_game();
         }
         g_work_mode = k_work_play;
         apply_ambient_light(&g_scene_header);
         g_camera_x = k_menu_camera_x;
         g_camera_y = k_menu_camera_y;
         return true;
     }},
    {"setup_ending_scene", [] { setup_ending_scene(); return true; }},
    {"fade_from_black", [] { fade_from_black(); return true; }},
    {"play_ending", [] { play_ending(); return true; }},
    {"request_new_game", request_new_game},
};
const step_table_registration k_ending_steps_registration{"ending", k_ending_steps};

} // namespace

bool level_target_enterable(const char* target)
{
    if (std::strcmp(target, k_worldmap_target) == 0) {
        // A story detour due leads to its own level instead of the map.
        target = story_detour_level();
        if (!target)
            return travel_map_has_way_on();
    }
    if (level_can_be_entered(target))
        return true;
    say_level_closed(target);
    return false;
}

void add_hero_name_cursor()
{
    if (char_record* hero = char_at(int32_t(g_player_char)))
        add_name_cursor(hero);
}

void arrive_in_level(int32_t mode)
{
    g_change_mode = mode;
    g_change_entered = true;
    run_request_steps(k_arrival_steps);
}

bool run_pending_level_change()
{
    if (!g_pending_level.pending)
        return true;
    if (std::strcmp(g_pending_level.target, k_worldmap_target) == 0) {
        run_request_steps(k_worldmap_steps);
        return !g_quit && !g_quit_all;
    }
    run_request_steps(k_level_change_steps);
    return true;
}

void run_new_game_request()
{
    if (g_new_game_request)
        run_request_steps(k_new_game_steps);
}

bool run_ending_if_finished()
{
    if (!g_game_finished || g_editor_enabled || g_quit_all)
        return false;
    run_request_steps(k_ending_steps);
    return true;
}
