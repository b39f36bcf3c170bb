// Start-up, in the order the program has always followed.
#include "shell/program_steps.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "characters/char_rule_links.h"
#include "characters/rule_tables.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "editor/controls/dialog_model.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/view/char_mode.h"
#include "editor/view/ground_item_mode.h"
#include "editor/view/light_mode.h"
#include "editor/view/object_markers.h"
#include "editor/view/object_mode.h"
#include "editor/view/sector_mode.h"
#include "editor/windows/command_window.h"
#include "engine/fonts.h"
#include "engine/sound.h"
#include "engine/sprite_font.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/front_end.h"
#include "interface/interface_images.h"
#include "interface/interface_links.h"
#include "interface/side_panel.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "items/casting.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "items/item_looks.h"
#include "items/item_tooltips.h"
#include "items/items.h"
#include "items/spell_impact.h"
#include "items/spells.h"
#include "level/char_links.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "platform/audio.h"
#include "script/dialogues.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "shell/device_setup.h"
#include "shell/fades.h"
#include "shell/level_requests.h"
#include "shell/startup_config.h"
#include "shell/window.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/footsteps.h"
#include "world/game_clock.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* g_command_line = "";
std::string g_startup_failure;

// The normal start: the menu level behind the front end.
const program_step k_menu_level_steps[] = {
    {"hero_name_cursor", [] { add_hero_name_cursor(); return true; }},
    {"load_intro_slide", [] {
         load_intro_slide();
         g_no_game_running = 1;
         return true;
     }},
    {"enter_menu_level", [] { change_level("start.sav", 0, 0, 1); return true; }},
    {"init_brush_preview", [] {
         reset_object(&g_brush_preview);
         init_object(&g_brush_preview, g_mouse_x, g_mouse_y, 0, 0.8f, 1.5f, 0, 0);
         g_brush_preview.cursor = 1;
         return true;
     }},
    {"start_play", [] {
         g_work_mode = k_work_play;
         apply_ambient_light(&g_scene_header);
         place_hero_at_entry(&g_scene_header, 0);
         return true;
     }},
    {"menu_camera", [] {
         g_camera_x = -2366.0f;
         g_camera_y = -414.0f;
         return true;
     }},
    {"enter_dream_world", [] { enter_dream_world(&g_dream_world, 1); return true; }},
    {"open_menu", [] {
         g_interface.overlay_screen = 1;
         g_interface.menu_open = 1;
         return true;
     }},
    {"run_front_end", [] { g_front_end(); return true; }},
    {"free_slide_tiles", [] { free_slide_tiles(); return true; }},
};
const step_table_registration k_menu_level_steps_registration{"menu level", k_menu_level_steps};

// The level the run starts in: the editor's empty map (none when a level was named), the level
// named on the command line, or the menu level behind the front end. A named level that cannot
// be entered (reported by the level change) is said on the title, and the run starts as one
// without a level.
void enter_first_level()
{
    if (g_editor_enabled) {
        if (!g_start_level[0])
            load_empty_map();
        return;
    }
    if (g_start_level[0]) {
        if (change_level(g_start_level, 0, 0, 1)) {
            g_work_mode = k_work_play;
            place_hero_at_entry(&g_scene_header, 0);
            apply_ambient_light(&g_scene_header);
            return;
        }
        console_log("level %s sa neda otvorit, zacinam v titulnom menu", g_start_level);
        say_level_refused_on_title(g_start_level);
    }
    run_program_steps(k_menu_level_steps);
}

// Fills the hook tables through which the lower layers reach the higher ones.
void install_links()
{
    g_pack_mask_file = proto_mask_file;
    install_text_window_links();
    install_char_links();
    install_item_tooltip_words();
    g_interface_links.wait_until_released = wait_until_released;
    g_interface_links.modal_pass_begin = modal_pass_begin;
    g_interface_links.poll_input = poll_input;
    g_interface_links.toggle_console_on_key = toggle_console_on_key;
    g_interface_links.fade_to_black = fade_to_black;
    g_interface_links.fade_from_black = fade_from_black;
    g_script_links.wait_until_released = wait_until_released;
    g_script_links.pump_messages = pump_messages;
    g_script_links.fade_out_scene = [] {
        if (g_d3d_device)
            g_d3d_device->end_scene();
        fade_to_black();
    };
    g_script_links.fade_in_scene = [] {
        fade_from_black();
        if (g_d3d_device)
            g_d3d_device->begin_scene();
    };
    g_interface_links.reset_message_window = [] { reset_text_window(&g_message_window); };
    g_interface_links.show_text_file = [](const char* path) { show_text_file(path); };
    g_interface_links.draw_message_window = [] {
        clear_message_window_reanchor();
        draw_message_window();
    };
    g_script_links.level_enterable = level_target_enterable;
    g_script_links.last_quest_state = last_quest_state;
    g_script_links.last_flag_value = last_flag_value;
    g_script_links.start_chapter_slide_show = [](const char* chapter) {
        load_slide_timing(&g_chapter_slides.timing, chapter);
        start_chapter_slides();
    };
    g_script_links.start_epilogue_slide_show = [](int32_t ending) {
        start_epilogue_slides();
        g_epilogue_slides.outro_number = int16_t(ending);
    };
    link_entities_to_objects();
    g_script_links.save_game = [](const char* name, uint32_t fade, uint32_t force) {
        save_game(&g_save_list, name, fade, force);
    };
    g_level_links.fade_to_black = fade_to_black;
    g_level_links.fade_from_black = fade_from_black;
    g_level_links.picture_world = picture_world;
    g_char_rule_links.slide_show_running = [] { return g_chapter_slides_running != 0 || g_epilogue_slides_active != 0; };
    g_char_rule_links.cancel_item_drag = cancel_item_drag;
    g_interface_links.cancel_item_drag = cancel_item_drag;
    g_level_links.put_back_held_item = put_back_held_item;
    g_level_links.close_item_windows = close_item_windows;
    g_char_rule_links.close_item_windows = close_item_windows;
    g_interface_links.set_gamma = set_gamma;
    g_settings_links.language_data_fault = language_data_fault;
    g_char_rule_links.spell_cost = spell_cost;
    g_char_rule_links.spell_cast_frame = spell_cast_frame;
    install_dialogue_links();
    g_level_links.start_script = start_script;
    g_char_rule_links.cast_spell = cast_spell_by_id;
    g_char_rule_links.cast_learn_attunement = cast_learn_attunement;
    g_behaviour_links.cast_spell = cast_spell_by_id;
    g_behaviour_links.missile_spell = missile_spell_values;
    g_char_rule_links.spawn_cast_particles = spawn_cast_particles_of;
    g_behaviour_links.spell_impact = spell_impact_of;
    g_item_look_links.efect_proto_slot = [](int32_t n) {
        return n >= 0 && n < k_efect_proto_slots ? g_efect_protos[n].slot : k_efect_no_slot;
    };
    g_level_links.purge_ground_items = purge_ground_items;
    g_level_links.place_ground_item = [](int32_t i) {
        if (i >= 0 && i < k_ground_item_slots)
            place_ground_item(&g_ground_items[i], i, true);
    };
    g_behaviour_links.ground_item_count = [] { return std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots); };
    g_behaviour_links.set_ground_item_object = [](int32_t item, int32_t index) {
        if (item >= 0 && item < k_ground_item_slots)
            g_ground_items[item].object = uint16_t(index);
    };
    g_level_links.open_mode_tabs = [] { open_mode_tabs(); };
    g_level_links.map_replaced = show_replaced_map;
    g_editor_links.apply_view_layout = init_render_states;
    g_editor_links.run_brush_mode = run_brush_mode;
    g_editor_links.run_object_mode = run_object_mode;
    g_object_links.draw_object_marker = draw_object_marker;
    g_editor_links.pop_undo_snapshot = pop_undo_snapshot;
    g_editor_links.run_light_mode = run_light_mode;
    g_editor_links.run_sector_mode = run_sector_mode;
    g_editor_links.run_char_mode = run_char_mode;
    g_editor_links.run_ground_item_mode = run_ground_item_mode;
    g_editor_links.run_monster_point_mode = run_monster_point_mode;
    g_editor_links.select_next_proto = select_next_proto;
    g_editor_links.select_prev_proto = select_prev_proto;
}

const program_step k_startup_steps[] = {
    {"install_links", [] { install_links(); return true; }},
    {"split_command_line", [] { split_command_line(g_command_line); return true; }},
    {"read_startup_config", [] { read_startup_config(g_command_line); return true; }},
    {"remove_write_leftovers", [] { remove_write_leftovers(); return true; }},
    {"config_read", [] { config_read(&g_settings); return true; }},
    {"delete_level_saves", [] { delete_level_saves(); return true; }},
    {"stamp_start_time", [] { stamp_start_time(); return true; }},
    {"create_main_window", [] {
         if (create_main_window() == -1) {
             g_startup_failure = std::string("no window or display device: ") + device_context_error();
             return false;
         }
         console_log("inicializacia Direct X ok");
         return true;
     }},
    {"font_create", [] {
         font_create(&g_font_large, "", "Georgia", 18);
         font_create(&g_font_small, "", "Georgia", 14);
         return true;
     }},
    {"save_gamma_ramp", [] { save_gamma_ramp(); return true; }},
    {"audio", [] {
         g_sound_enabled = audio_init(k_audio_rate) ? 1 : 0;  // without a device the game runs silent
         music_init();
         sound_init();
         return true;
     }},
    {"load_texture_pack", [] {
         char index[64];
         std::snprintf(index, sizeof index, "data/levels/main_%s.idx", g_language);
         if (file_exists(index) == 1)
             load_texture_pack(index);
         return true;
     }},
    {"zoom", [] {
         if (!g_editor_enabled)
             g_zoom = g_zoom_target = float(g_screen_width) / 1024.0f;
         return true;
     }},
    {"load_sprite_font", [] {
         load_sprite_font(&g_sprite_font, "global/main.fn");
         return true;
     }},
    {"fixed_textures", [] { load_fixed_textures(); return true; }},
    {"mouse_prototype", [] {
         add_object_proto("global/mouse.txt");
         g_brush_preview.cursor = 1;
         // Only slots an earlier run used are written: the others are free as they are.
         for (int slot = k_proto_first_template; slot < k_proto_slots; ++slot)
             if (g_object_protos[slot].kind != k_proto_free)
                 g_object_protos[slot].kind = k_proto_free;
         return true;
     }},
    {"editor_ai_switch", [] { g_editor.ai_on = 1; return true; }},
    {"reset_editor_brush", [] {
         if (g_editor_enabled)
             reset_editor_brush(g_editor);
         return true;
     }},
    {"save_list_read", [] { save_list_read(); return true; }},
    {"load_monster_protos", [] { load_monster_protos(); return true; }},
    {"read_characters", [] { read_characters(true); return true; }},
    {"load_items", [] { load_items(); return true; }},
    {"load_model_registry", [] {
         load_chardata();
         table_file_not_read(g_charpr_file);  // the move prototypes come from the model folders
         return true;
     }},
    {"load_char_containers", [] { load_char_containers(); return true; }},
    {"load_creature_list", [] { list_creature_files(&g_creature_files); return true; }},
    {"init_game_clock", [] { init_game_clock(&g_game_clock); return true; }},
    {"clear_monster_points", [] { reset_monster_points(&g_monster_points); return true; }},
    {"load_interface_textures", [] {
         load_interface_textures();
         return true;
     }},
    {"load_footstep_sounds", [] { load_footstep_sounds(&g_footstep_sounds); return true; }},
    {"load_ui_texts", [] { load_ui_texts(); return true; }},
    {"log_interface_ok", [] { console_log("inteface ok"); return true; }},
    {"open_editor_windows", [] {
         if (g_editor_enabled) {
             g_dialog_loop_links.modal_pass = modal_dialog_pass;
             open_editor_windows();
             run_hook(g_level_links.open_mode_tabs, "open_mode_tabs");
             g_cursor_grid = 1;
             g_console_shown = 0;
             console_log("editor ok");
         }
         return true;
     }},
    {"load_rule_tables", [] { load_rule_tables(); return true; }},
    {"load_spells", [] {
         load_spells();
         console_log("spells ok");
         return true;
     }},
    {"load_weather_templates", [] {
         load_rain(&g_rain);
         load_snow(&g_snow);
         load_fog(&g_fog);
         load_blood_templates(&g_blood);
         load_water_circle(&g_water_circle);
         link_weather_to_objects();
         return true;
     }},
    {"log_rain_ok", [] { console_log("rain ok"); return true; }},
    {"load_effect_protos", [] { load_efect_protos(); return true; }},
    {"reset_scene_header", [] { reset_scene_header(&g_scene_header); return true; }},
    {"load_quests", [] { load_quests(); return true; }},
    {"load_dream_textures", [] {
         load_dream_textures(&g_dream_world);
         link_dream_world_to_objects();
         return true;
     }},
    {"new_dialogue", [] { new_dialogue(); return true; }},
    {"reset_camera_shake", [] { reset_camera_shake(&g_camera_shake); return true; }},
    {"game_running", [] { g_no_game_running = 0; return true; }},
    {"create_movement_map", [] {
         create_movemap(&g_movement_map, 200, 200, 100, 100);
         return true;
     }},
    {"first_level", [] { enter_first_level(); return true; }},
    {"main_loop_ready", [] {
         console_log("spustam samotny program");
         if (!g_quit) {
             log_add_line(&g_message_log, 0, "%s", ui_text(123));
             log_add_line(&g_message_log, 0, "---------------------------");
         }
         return true;
     }},
};
const step_table_registration k_startup_steps_registration{"start-up", k_startup_steps};

} // namespace

bool program_startup(const char* command_line)
{
    g_command_line = command_line ? command_line : "";
    g_startup_failure.clear();
    g_title_notice[0] = '\0';  // said for this run's start only
    g_files_reported_once.clear();  // a run names each file that cannot be used once
    g_logged_states.clear();        // and logs each state it meets anew
    return run_program_steps(k_startup_steps);
}

const char* startup_failure()
{
    return g_startup_failure.c_str();
}
