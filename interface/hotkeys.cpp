#include "interface/hotkeys.h"

#include "characters/char_models.h"
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/utilities.h"
#include "engine/screenshots.h"
#include "engine/sound.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "interface/overlay_page.h"
#include "interface/panel_toggles.h"
#include "interface/save_load_screen.h"
#include "interface/side_panel.h"
#include "level/save_games.h"
#include "platform/key_codes.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/weather.h"

#include <cstring>

hotkey_state g_hotkeys = {};

namespace {

constexpr uint32_t k_warning_interval = 100;
constexpr float k_zoom_step = 0.16f;
constexpr float k_zoom_ease = 0.008f;
constexpr float k_zoom_in_limit = 1.4f;
constexpr float k_zoom_out_limit = 0.9f;

// The save/load screen's height and its buttons' open boxes on the page.
constexpr int32_t k_save_load_height = 448;
constexpr float k_button_top = 394.0f, k_button_bottom = 418.0f;
constexpr float k_load_left = 406.0f, k_delete_left = 516.0f, k_back_left = 626.0f;
constexpr float k_button_width = 96.0f;

bool key_down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

bool hero_alive(const char_record* hero)
{
    return hero && hero->life == k_life_alive;
}

void warn_low_health(const char_record* hero)
{
    if (g_work_mode != k_work_play || !hero_alive(hero) || hero->hp_max <= 0)
        return;
    if (!(float(hero->hp) / float(hero->hp_max) < 0.2f) || !(g_hotkeys.next_warning_tick <= g_ticks))
        return;
    g_hotkeys.next_warning_tick = g_ticks + k_warning_interval;
    play_voice_file("data/sound/low_health.ogg");
}

bool any_side_panel_open()
{
    const game_interface& gi = g_interface;
    return gi.side_panel_open || gi.character_panel_open || gi.attunement_panel_open || gi.quest_log_open;
}

void press_escape(char_record* hero)
{
    game_interface& gi = g_interface;
    if (any_side_panel_open()) {
        close_side_panels();
        return;
    }
    if (g_no_game_running)
        return;
    if (!gi.menu_open) {
        open_menu();
        return;
    }
    if (!hero_alive(hero))
        return;
    if (gi.overlay_screen != 1) {
        gi.overlay_screen = 1;
        return;
    }
    cancel_item_drag();
    gi.menu_open = 0;
    recompute_hero_equipment();
}

bool cursor_on_button(float left)
{
    return overlay_cursor_in(overlay_page_origin(k_save_load_height), left, k_button_top, left + k_button_width,
                             k_button_bottom);
}

// After a failed load the screen stays up with no save chosen, so a held button does not try
// again, and says why on the page (the title draws no message log).
void load_selected_save()
{
    game_interface& gi = g_interface;
    char name[k_save_name_size];
    std::memcpy(name, g_save_list.names[gi.selected_save], sizeof name);
    name[k_save_name_max] = 0;
    console_log("%s", name);
    if (!load_saved_game(name)) {
        gi.selected_save = -1;
        copy_bounded(g_save_load_notice, sizeof g_save_load_notice, last_load_refusal());
        return;
    }
    gi.overlay_screen = 1;
}

void update_save_load_buttons()
{
    game_interface& gi = g_interface;
    if (!gi.menu_open || gi.overlay_screen != 3 || !g_mouse_left)
        return;
    const bool selected = gi.selected_save >= 0 && gi.selected_save < g_save_list.count;
    const bool back = cursor_on_button(k_back_left);
    const bool remove = selected && cursor_on_button(k_delete_left);
    const bool load = selected && cursor_on_button(k_load_left);
    if (!(back || remove || load) || !take_left_press())
        return;
    if (back) {
        gi.overlay_screen = 1;
    } else if (remove) {
        save_list_remove(&g_save_list, gi.selected_save);
        gi.selected_save = -1;
    } else {
        load_selected_save();
    }
}

void update_zoom()
{
    const game_interface& gi = g_interface;
    if (g_scene_header.level_type == k_level_gui || !gi.zoom_enabled)
        return;
    if (key_down(k_key_numpadenter) || g_mouse_middle) {
        g_zoom_target = float(g_screen_width) / 1024.0f;
        restart_rain(&g_rain, g_zoom_target);
    }
    if (!gi.attunement_select_open && !gi.attunement_panel_open && gi.overlay_screen != 3) {
        if (g_wheel_up && g_zoom < k_zoom_in_limit) {
            g_zoom_target = g_zoom + k_zoom_step;
        } else if (g_wheel_down && g_zoom > k_zoom_out_limit) {
            g_zoom_target = g_zoom - k_zoom_step;
            restart_rain(&g_rain, g_zoom_target);
        }
    }
    if (g_zoom_target - g_zoom > k_zoom_ease)
        g_zoom += k_zoom_ease;
    else if (g_zoom - g_zoom_target > k_zoom_ease)
        g_zoom -= k_zoom_ease;
    else
        g_zoom = g_zoom_target;
}

void press_inventory(char_record* hero)
{
    toggle_side_panel_page(2);
    set_char_anim(hero, hero->anim_action, 1, 0);
}

void update_letters(char_record* hero)
{
    game_interface& gi = g_interface;
    if (take_key_press(k_key_i))
        press_inventory(hero);
    if (take_key_press(k_key_c))
        toggle_character_panel();
    if (take_key_press(k_key_s))
        toggle_side_panel_page(3);
    if (take_key_press(k_key_q))
        toggle_quest_log();
    if (take_key_press(k_key_a))
        toggle_attunement_panel();
    if (take_key_press(k_key_d) && gi.dream_switch_allowed)
        switch_dream_world();
    if (take_key_press(k_key_h))
        gi.shown = !gi.shown;
}

} // namespace

bool load_saved_game(const char* name)
{
    game_interface& gi = g_interface;
    const bool title_menu = g_no_game_running != 0;
    if (title_menu) {
        leave_dream_world(&g_dream_world, 1);
        g_dream_world.overlay_alpha = 0.0f;
        g_player_char = 0;
    }
    if (!load_game(&g_save_list, name))
        return false;
    if (title_menu) {
        gi.menu_open = 0;
        gi.overlay_screen = 1;
    }
    g_no_game_running = 0;
    return true;
}

void handle_hotkeys()
{
    game_interface& gi = g_interface;
    char_record* hero = panel_hero();
    warn_low_health(hero);
    if (take_key_press(k_key_escape))
        press_escape(hero);
    update_save_load_buttons();
    if (g_no_game_running || g_work_mode != k_work_play)
        return;
    update_zoom();
    if (g_dialogue_running)
        return;
    if (take_key_press(k_key_f6))
        load_game(&g_save_list, "quick");
    if (!hero_alive(hero))
        return;
    if (take_key_press(k_key_f5))
        save_game(&g_save_list, "quick", 1, 0);
    if (take_key_press(k_key_f8))
        gi.f8_toggle = !gi.f8_toggle;
    if (take_key_press(k_key_f12))
        save_screenshot();
    if (take_key_press(k_key_space))
        close_side_panels();
    if (!g_console_shown)
        update_letters(hero);
}
