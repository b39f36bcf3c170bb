#include "interface/overlay_screens.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "interface/new_hero_screen.h"
#include "interface/overlay_page.h"
#include "interface/save_load_screen.h"
#include "interface/settings_screen.h"
#include "level/save_games.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

float g_death_alpha = 0.0f;
uint32_t g_death_next_tick = 0;
float g_menu_alpha = 0.0f;
uint32_t g_menu_next_tick = 0;
uint32_t g_menu_input_tick = 0;
float g_menu_button_alpha[k_menu_buttons] = {};
char g_title_notice[k_title_notice_size] = {};

namespace {

constexpr float k_death_alpha_full = 0.4f;
constexpr int16_t k_menu_panel = 6;
constexpr int k_save_name_text = 32;
constexpr uint32_t k_notice_colour = 0x00FFFFFF;

// Places in g_interface.menu_buttons: the lit images, then the base images in the same order.
enum menu_image : int {
    k_image_new_game, k_image_load, k_image_save, k_image_quit, k_image_settings, k_image_credits,
    k_image_resume, k_base_images
};

// One menu button, relative to the screen centre: its open hit box and its images' centre.
struct menu_button {
    float x1, x2, y1, y2;
    float draw_x, draw_y;
};

constexpr menu_button k_buttons[k_menu_buttons] = {
    {-129, 127, 98, 130, -8, 124},  {-126, 130, 137, 171, -5, 155}, {-131, 125, 171, 203, -10, 183},
    {-128, 128, 206, 235, -7, 212}, {-133, 123, 234, 269, -12, 242}, {-126, 130, 268, 304, -5, 272},
};

const char_record* hero()
{
    return char_at(int32_t(g_player_char));
}

bool hero_dead()
{
    const char_record* h = hero();
    return h && h->hp <= 0;
}

bool hero_alive()
{
    const char_record* h = hero();
    return h && h->life == k_life_alive;
}

void draw_full_screen(float alpha, int16_t mode)
{
    draw_colored_rect(0.0f, 0.0f, float(g_screen_width), float(g_screen_height), 1.0f, 1.0f, 1.0f, alpha, mode);
}

bool is_overlay_page(uint8_t screen)
{
    return screen == k_page_menu || screen == k_page_settings || screen == k_page_save_load ||
           screen == k_page_new_hero;
}

// The death fade of a running game: the red overlay grows by 0.01 a step, up to 0.4, where the
// menu opens on the page it was left on, or on the menu page when none was (a new game leaves
// none), so that the dead hero can always load or quit. The alpha stays on the hundredths so
// that 40 steps reach 0.4 exactly.
void run_death_fade(game_interface& gi)
{
    if (g_death_next_tick <= g_ticks) {
        g_death_next_tick = g_ticks + 2;
        if (g_death_alpha < k_death_alpha_full)
            g_death_alpha = std::round((g_death_alpha + 0.01f) * 100.0f) / 100.0f;
    }
    draw_full_screen(g_death_alpha, k_rect_red);
    if (g_death_alpha < k_death_alpha_full)
        return;
    gi.menu_open = 1;
    if (!is_overlay_page(gi.overlay_screen))
        gi.overlay_screen = k_page_menu;
}

bool saving_possible()
{
    return !g_no_game_running && !g_dialogue_running;
}

void save_under_automatic_name(game_interface& gi)
{
    char name[k_save_name_size];
    make_automatic_save_name(name, sizeof name);
    save_game(&g_save_list, name, 1, 0);
    gi.menu_open = 0;
}

void quit()
{
    if (g_no_game_running) {
        leave_dream_world(&g_dream_world, 1);
        g_dream_world.overlay_alpha = 0.0f;
        g_quit = 1;
    } else {
        g_new_game_request = 1;
    }
}

void click(game_interface& gi, int button)
{
    switch (button) {
    case 0:
        if (g_no_game_running)
            gi.overlay_screen = k_page_new_hero;
        else
            gi.menu_open = 0;
        break;
    case 1:
        if (!g_dialogue_running) {
            refresh_save_list();
            g_save_load_notice[0] = '\0';
            gi.overlay_screen = k_page_save_load;
        }
        break;
    case 2:
        if (saving_possible() && hero_alive())
            save_under_automatic_name(gi);
        break;
    case 3:
        gi.overlay_screen = k_page_settings;
        gi.settings_page = g_console_enabled ? 4 : 2;
        break;
    case 4:  // the title menu's credits belong to the front end
        break;
    default:
        quit();
        break;
    }
}

void evaluate_buttons(game_interface& gi, float cx, float cy)
{
    for (int i = 0; i < k_menu_buttons; ++i) {
        const menu_button& b = k_buttons[i];
        float& glow = g_menu_button_alpha[i];
        const float x = g_mouse_screen_x - cx, y = g_mouse_screen_y - cy;
        if (x > b.x1 && x < b.x2 && y > b.y1 && y < b.y2) {
            if (glow < 1.0f)
                glow = std::min(1.0f, glow + 0.2f);
            if (take_left_press())
                click(gi, i);
        } else if (glow > 0.0f) {
            glow = std::max(0.0f, glow - 0.1f);
        }
    }
}

void draw_image(int image, const menu_button& b, float cx, float cy, float alpha)
{
    const uint16_t slot = g_interface.menu_buttons[image];
    if (slot != k_no_texture_slot)
        draw_texture_screen(slot, cx + b.draw_x, cy + b.draw_y, alpha, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
}

void draw_buttons(float cx, float cy)
{
    const int first = g_no_game_running ? k_image_new_game : k_image_resume;
    const int images[k_menu_buttons] = {first,           k_image_load,    k_image_save,
                                        k_image_settings, k_image_credits, k_image_quit};
    // A button whose click does nothing now looks disabled and does not light up: resume with the
    // hero dead (the death fade opens the menu again), load during a dialogue, save without a
    // living hero or while saving is refused, and the credits of a running game, which only the
    // title menu opens.
    const bool acts[k_menu_buttons] = {g_no_game_running || hero_alive(), !g_dialogue_running,
                                       saving_possible() && hero_alive(), true, g_no_game_running != 0, true};
    for (int i = 0; i < k_menu_buttons; ++i) {
        const float base = acts[i] ? 0.5f : 0.3f;
        draw_image(k_base_images + images[i], k_buttons[i], cx, cy, g_menu_alpha * base);
        if (acts[i])
            draw_image(images[i], k_buttons[i], cx, cy, g_menu_button_alpha[i]);
    }
}

} // namespace

void reset_overlay_fades()
{
    g_death_alpha = g_menu_alpha = 0.0f;
    g_death_next_tick = g_menu_next_tick = g_menu_input_tick = 0;
    std::fill(std::begin(g_menu_button_alpha), std::end(g_menu_button_alpha), 0.0f);
}

void make_automatic_save_name(char* out, int32_t size)
{
    if (size <= 0)
        return;
    const int32_t room = std::min(size, int32_t(k_save_name_size));
    const char* label = ui_text(k_save_name_text);
    const char* level = g_scene_header.display_name;
    std::snprintf(out, size_t(room), "%.*s %.*s (%d-%.2d-%.2d)", int(strnlen(label, k_ui_text_size)), label,
                  int(strnlen(level, sizeof g_scene_header.display_name)), level, int32_t(g_game_clock.day),
                  int(g_game_clock.hour), int(g_game_clock.minute));
}

void say_level_refused_on_title(const char* level)
{
    std::snprintf(g_title_notice, sizeof g_title_notice,
                  "The level %.100s could not be entered:\nits file is damaged or missing.", level ? level : "");
}

void run_menu_screen()
{
    game_interface& gi = g_interface;
    clear_overlay_message();
    full_light_guard light;
    if (g_menu_next_tick <= g_ticks) {
        g_menu_next_tick = g_ticks + 2;
        if (g_menu_alpha < 1.0f)
            g_menu_alpha = std::min(1.0f, g_menu_alpha + 0.05f);
    }
    const float cx = float(g_screen_width) / 2.0f, cy = float(g_screen_height) / 2.0f;
    draw_panel_frame(k_menu_panel, cx - 230.0f, cy - 375.0f, g_menu_alpha);
    if (g_menu_input_tick <= g_ticks) {
        g_menu_input_tick = g_ticks + 3;
        evaluate_buttons(gi, cx, cy);
    }
    draw_buttons(cx, cy);
    if (g_no_game_running && g_title_notice[0]) {
        // Each line centred on the panel, between its title and its buttons.
        font_begin(&g_font_small);
        int32_t y = int32_t(cy) + 20;
        for (const char* line = g_title_notice; *line; y += 18) {
            const size_t length = std::strcspn(line, "\n");
            const std::string text(line, length);
            const int32_t x = int32_t(cx) - font_text_width(&g_font_small, text.c_str()) / 2;
            font_text_out(&g_font_small, x, y, text.c_str(), k_notice_colour);
            line += length + (line[length] == '\n');
        }
        font_end(&g_font_small);
    }
}

void update_overlay_screens()
{
    game_interface& gi = g_interface;
    const bool game_running = !g_no_game_running;
    if (game_running)
        g_title_notice[0] = '\0';
    if (!gi.menu_open && game_running && hero_dead())
        run_death_fade(gi);
    if (!gi.menu_open) {
        g_menu_alpha = 0.0f;
        return;
    }
    gi.mouse_over_ui = 1;
    if (game_running) {
        if (hero_dead())
            draw_full_screen(g_death_alpha, k_rect_red);
        else
            draw_full_screen(0.1f, k_rect_blue);
    }
    switch (gi.overlay_screen) {
    case k_page_menu: run_menu_screen(); break;
    case k_page_settings: run_settings_screen(); break;
    case k_page_save_load: run_save_load_screen(2); break;
    case k_page_new_hero: run_new_hero_screen(); break;
    default: break;
    }
}
