// Shell tests: the player's way into a new game from a start-up with the front end. Run at the
// start of every input pass (see input_script): the splash plays out, Esc skips the intro, the
// title menu's first button opens the new-hero screen, the default name is rubbed out and "Mira"
// typed, then Start is pressed and held. Each key is held until the name shows it and let go
// until the screen has seen no key, so typing follows the program however its frames fall. It
// notes what it met on the way.
#pragma once

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "interface/front_end.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "platform/key_codes.h"
#include "support/input_script.h"
#include "tests/shell/injected_input.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The Start button's pixel on the new-hero screen; a test lets go of it once the game runs.
constexpr int32_t k_new_hero_start_x = 802, k_new_hero_start_y = 622;

class new_game_input {
public:
    void operator()(uint32_t pass)
    {
        if (pass > 6000) {  // a run that never reaches the game ends here
            input_inject({input_event_kind::close});
            return;
        }
        if (g_splash.state != k_splash_done)
            return;
        if (g_intro_slides.active && g_intro_slides.state != k_slide_fade_out) {
            intro_skipped = true;
            inject_key(k_key_escape, pass % 2 == 0);
        } else if (!g_intro_slides.active && g_interface.overlay_screen == k_page_menu) {
            inject_key(k_key_escape, false);
            if (!menu_seen_)
                menu_without_game = g_no_game_running == 1;
            menu_seen_ = true;
            inject_left_at(512, 498, pass % 2 == 0);  // the first button, pressed anew
            on_page_ = false;
            next_key_ = 0;
            held_ = false;
        } else if (g_interface.overlay_screen == k_page_new_hero) {
            if (!on_page_) {
                on_page_ = true;
                inject_left_at(512, 498, false);
            }
            if (next_key_ < k_name_keys.size()) {
                type_next();
            } else if (std::strcmp(g_chars[0].display_name, "Mira_") == 0 || typed) {
                typed = true;
                inject_left_at(k_new_hero_start_x, k_new_hero_start_y, true);
            }
        }
    }

    bool intro_skipped = false, menu_without_game = false, typed = false;

private:
    struct name_key {
        uint8_t key;
        char typed;  // 0 for backspace
    };

    // The next key of the name: pressed (Shift with a capital) once the name carries its cursor
    // and the screen has read a pass without a key, so that a repeated key types again; let go
    // once the name shows what it types.
    void type_next()
    {
        const name_key& k = k_name_keys[next_key_];
        const std::string name = g_chars[0].display_name;
        const bool shift = k.typed >= 'A' && k.typed <= 'Z';
        if (!held_) {
            if (name.empty() || name.back() != '_' || g_console_last_char != 0)
                return;
            const std::string before = name.substr(0, name.size() - 1);
            expected_ = k.typed ? before + k.typed + "_" : before.empty() ? name : before.substr(0, before.size() - 1) + "_";
            if (shift)
                inject_key(k_key_lshift, true);
            inject_key(k.key, true);
            held_ = true;
        } else if (name == expected_) {
            if (shift)
                inject_key(k_key_lshift, false);
            inject_key(k.key, false);
            held_ = false;
            ++next_key_;
        }
    }

    // Ten backspaces over the default name, then the new one.
    inline static const std::vector<name_key> k_name_keys = {
        {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0},
        {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0}, {k_key_back, 0},
        {k_key_m, 'M'},  {k_key_i, 'i'},  {k_key_r, 'r'},  {k_key_a, 'a'}};
    size_t next_key_ = 0;
    bool on_page_ = false, held_ = false, menu_seen_ = false;
    std::string expected_;
};
