// The overlay screens drawn over the running world or as the title menu: the hero's death fade,
// the world's tint under an open menu, the page dispatch (update_overlay_screens, declared in
// interface/interface_state.h) and the menu page with its six buttons.
#pragma once

#include <cstdint>

constexpr int k_menu_buttons = 6;

// The overlay pages by their g_interface.overlay_screen value.
enum overlay_page_id : uint8_t {
    k_page_menu = 1, k_page_settings = 2, k_page_save_load = 3, k_page_new_hero = 5
};

// Program-wide fade state, all zero at program start. Each *_tick is the tick from which the next
// step is due: the fades step every 2 ticks, hover and clicks are read every 3 ticks at most.
extern float g_death_alpha;          // red death overlay, 0 to 0.4; kept for the whole run
extern uint32_t g_death_next_tick;   // next growth of the death alpha
extern float g_menu_alpha;           // the menu's fade-in, 0 to 1; 0 in every frame it is closed
extern uint32_t g_menu_next_tick;    // next fade-in step
extern uint32_t g_menu_input_tick;   // next reading of hover and clicks
extern float g_menu_button_alpha[k_menu_buttons];  // each button's hover glow, 0 to 1

// Puts every value above back to zero, as at program start.
void reset_overlay_fades();

// Lines ("\n" between them) the title menu shows on its panel while no game runs (the level the
// start could not enter); "" at program start, and emptied once a game runs.
constexpr int k_title_notice_size = 200;
extern char g_title_notice[k_title_notice_size];
// The title's lines for a level the run could not enter (its file damaged or missing).
void say_level_refused_on_title(const char* level);

// The menu page, while the overlay screen is the menu: message window emptied, full light,
// fade-in every 2 ticks, panel, hover and clicks at most once every 3 ticks, the six buttons.
// A button acts on a press of the left button that nothing else took, and takes it: once
// closed, the menu's click does not walk the hero while it is held. Doubles as the title menu
// while g_no_game_running is set, with g_title_notice above its buttons.
void run_menu_screen();

// The automatic save name: UI text 32, the current level's display name and the game clock's day,
// hour and minute as "%s %s (%d-%.2d-%.2d)", cut to the longest save name (254 characters).
void make_automatic_save_name(char* out, int32_t size);
