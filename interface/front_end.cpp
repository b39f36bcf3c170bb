#include "interface/front_end.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "engine/lights.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/credits.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/new_hero_screen.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "platform/input.h"
#include "script/entities.h"
#include "script/script_services.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>

splash_state g_splash = {};
int32_t g_splash_slot = -1;

namespace {

constexpr float k_fade_step = 0.05f;
constexpr uint32_t k_fade_interval = 2;
constexpr uint32_t k_hold_interval = 1;
constexpr uint8_t k_hold_steps = 100;
constexpr uint32_t k_splash_width = 1024;
constexpr uint32_t k_splash_height = 512;

// The new-hero page's Start and the menu's credits button, as the front end tests them.
constexpr int32_t k_panel_width = 768, k_panel_height = 576;
constexpr int32_t k_start_left = 626, k_start_right = 722, k_start_top = 514, k_start_bottom = 538;
constexpr int32_t k_credits_dx = -5, k_credits_dy = 254;
constexpr int32_t k_credits_half_width = 128, k_credits_above = 20, k_credits_below = 15;

constexpr char k_first_level[] = "brana.sav";
constexpr char k_credits_level[] = "credits.sav";
constexpr float k_credits_camera_x = -630.0f;
constexpr float k_credits_camera_y = -1599.0f;

// The card goes into the splash slot (appended to the table for the first card), replacing the
// card held there.
void load_splash_card(const char* name)
{
    if (g_splash_slot < 0)
        g_splash_slot = append_texture_slot(name);
    create_texture_from_file(g_splash_slot, name, k_splash_width, k_splash_height, 1, 0, 0);
}

void free_splash_card()
{
    free_texture(g_splash_slot);
    g_splash_slot = -1;
}

bool fading_in(uint8_t state)
{
    return state == k_splash_fade_in_first || state == k_splash_fade_in_second;
}

bool holding(uint8_t state)
{
    return state == k_splash_hold_first || state == k_splash_hold_second;
}

void take_splash_step(splash_state& s)
{
    if (holding(s.state)) {
        ++s.hold_count;
        s.due_tick = g_ticks + k_hold_interval;
        return;
    }
    s.alpha += fading_in(s.state) ? k_fade_step : -k_fade_step;
    s.due_tick = g_ticks + k_fade_interval;
}

void end_splash_phase(splash_state& s)
{
    if (fading_in(s.state) && s.alpha > 1.0f) {
        s.hold_count = 0;
        ++s.state;
    } else if (holding(s.state) && s.hold_count == k_hold_steps) {
        ++s.state;
    } else if (s.state == k_splash_fade_out_first && s.alpha < 0.0f) {
        load_splash_card(k_splash_second_card);  // in place of the first
        s.state = k_splash_fade_in_second;
    } else if (s.state == k_splash_fade_out_second && s.alpha < 0.0f) {
        free_splash_card();
        s.state = k_splash_done;
    }
}

// The menu level and the menu show from the intro's fade-out on, which the intro keeps after it
// has ended; a front end whose intro never ran (a named start level, then a new game) shows them
// at once.
bool menu_level_shown()
{
    return g_intro_slides.state == k_slide_fade_out || !g_intro_slides.active;
}

void begin_scene()
{
    if (!g_d3d_device)
        return;
    g_d3d_device->begin_scene();
    g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
}

void end_scene()
{
    if (g_d3d_device)
        g_d3d_device->end_scene();
}

void present()
{
    if (g_d3d_device && !g_d3d_device->present())
        restore_lost_surfaces();
}

bool inside(float v, int32_t low, int32_t high)
{
    return float(low) < v && v < float(high);
}

void release_mouse_buttons()
{
    g_mouse_middle = g_mouse_right = g_mouse_left = 0;
}

// The name loses its last character only when that is the "_" typing cursor.
void remove_name_cursor()
{
    char_record* hero = char_at(int32_t(g_player_char));
    if (!hero)
        return;
    const size_t length = strnlen(hero->display_name, sizeof hero->display_name);
    if (length > 0 && hero->display_name[length - 1] == '_')
        hero->display_name[length - 1] = '\0';
    else
        console_log("nova hra: meno hrdinu nema kurzor \"_\"");
}

// The mouse's world position onto the hero, when the hero has a world object.
void mouse_to_hero()
{
    const char_record* hero = char_at(int32_t(g_player_char));
    const world_object* object = hero ? world_object_of(*hero) : nullptr;
    if (!object) {
        console_log("nova hra: hrdina nema objekt, mys ostava");
        return;
    }
    g_mouse_x = object->x;
    g_mouse_y = object->y;
}

// The level the title led to could not be entered, and the refused change left the title's
// backdrop level as it was: the title menu comes back, saying why, and no game runs.
void stay_at_title(const char* level)
{
    console_log("level %s sa neda otvorit, ostava titulne menu", level);
    say_level_refused_on_title(level);
    g_no_game_running = 1;
    g_interface.overlay_screen = k_page_menu;
    g_interface.menu_open = 1;
    enter_dream_world(&g_dream_world, 1);
    run_hook(g_interface_links.fade_from_black, "fade_from_black");
    release_mouse_buttons();
}

void start_new_game()
{
    remove_name_cursor();
    g_interface.menu_open = 0;
    leave_dream_world(&g_dream_world, 1);
    run_hook(g_interface_links.fade_to_black, "fade_to_black");
    g_no_game_running = 0;
    if (!change_level(k_first_level, 0, 0, 1)) {
        if (char_record* hero = char_at(int32_t(g_player_char)))
            add_name_cursor(hero);
        stay_at_title(k_first_level);
        return;
    }
    place_hero_at_entry(&g_scene_header, 0);
    apply_ambient_light(&g_scene_header);
    update_entities();
    evaluate_events();
    run_hook(g_interface_links.fade_from_black, "fade_from_black");
    g_player_char = 0;
    mouse_to_hero();
    release_mouse_buttons();
    g_interface.overlay_screen = 0;
    g_interface.menu_open = g_interface.side_panel_open = g_interface.character_panel_open = 0;
    g_interface.attunement_panel_open = g_interface.quest_log_open = 0;
}

// The button that opened the credits counts as held only while the application is active with
// the input focus and the cursor is over the window: otherwise the button state is not read, so
// its release would never be seen.
bool credits_click_held()
{
    return g_mouse_left && g_app_active && g_input_focus && input_cursor().inside;
}

void open_credits()
{
    leave_dream_world(&g_dream_world, 1);
    run_hook(g_interface_links.fade_to_black, "fade_to_black");
    if (!change_level(k_credits_level, 0, 0, 1)) {
        stay_at_title(k_credits_level);
        g_press_latches.title_credits = 1;  // one press, one attempt
        return;
    }
    g_credits.active = 1;
    g_camera_x = k_credits_camera_x;
    g_camera_y = k_credits_camera_y;
    run_hook(g_interface_links.fade_from_black, "fade_from_black");
    run_hook_or(g_interface_links.wait_until_released, "wait_until_released", false, credits_click_held);
    release_mouse_buttons();
}

} // namespace

void step_splash()
{
    splash_state& s = g_splash;
    if (s.state == k_splash_done)
        return;
    if (s.state == k_splash_load) {
        load_splash_card(k_splash_first_card);
        s.alpha = 0.0f;
        s.state = k_splash_fade_in_first;
        return;
    }
    draw_texture_screen(g_splash_slot, float(g_screen_width / 2), float(g_screen_height / 2), s.alpha, 1.0f, 0, 0.0f,
                        0.0f, 0.008f, 1.0f, 1.0f, 1.0f);
    if (s.due_tick < g_ticks)
        take_splash_step(s);
    end_splash_phase(s);
}

void handle_main_menu_clicks()
{
    const float x = g_mouse_screen_x, y = g_mouse_screen_y;
    const int32_t x0 = (int32_t(g_screen_width) - k_panel_width) / 2;
    const int32_t y0 = (int32_t(g_screen_height) - k_panel_height) / 2;
    if (inside(x, x0 + k_start_left, x0 + k_start_right) && inside(y, y0 + k_start_top, y0 + k_start_bottom) &&
        g_interface.overlay_screen == k_page_new_hero && g_mouse_left)
        start_new_game();

    const int32_t cx = int32_t(g_screen_width) / 2 + k_credits_dx;
    const int32_t cy = int32_t(g_screen_height) / 2 + k_credits_dy;
    if (inside(x, cx - k_credits_half_width, cx + k_credits_half_width) &&
        inside(y, cy - k_credits_above, cy + k_credits_below) && g_interface.overlay_screen == k_page_menu &&
        g_mouse_left && !g_press_latches.title_credits)
        open_credits();
}

void front_end_pass()
{
    if (g_credits.active) {
        run_credits();
        return;
    }
    if (!run_hook_or(g_interface_links.modal_pass_begin, "modal_pass_begin", true))
        return;
    run_hook(g_interface_links.poll_input, "poll_input");
    run_hook(g_interface_links.toggle_console_on_key, "toggle_console_on_key", &g_console_toggle_latch);
    advance_game_clock(&g_game_clock);
    update_frame_timing();
    begin_scene();
    step_splash();
    if (menu_level_shown()) {
        draw_objects();
        apply_lights();
        update_level_effects();
        update_overlay_screens();
    }
    if (g_splash.state == k_splash_done) {
        if (g_intro_slides.active)
            play_intro_slides();
        draw_dream_overlay(&g_dream_world);
    }
    draw_console();
    if (g_message_shown)
        run_hook(g_interface_links.draw_message_window, "draw_message_window");
    end_scene();
    handle_hotkeys();
    present();
    if (!g_intro_slides.active)
        handle_main_menu_clicks();
}

void run_front_end()
{
    do
        front_end_pass();
    while (g_no_game_running && !g_quit);
}
