// Shell tests: the player's way into a new game from a start-up with the front end. Run at the
// start of every input pass (see input_script): the splash plays out, Esc skips the intro, the
// title menu's first button opens the new-hero screen, the default name is rubbed out and "Mira"
// typed, then Start is pressed and held. It notes what it met on the way.
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
            inject_left_at(512, 498, true);  // the first button
            typing_from_ = 0;
        } else if (g_interface.overlay_screen == k_page_new_hero) {
            if (typing_from_ == 0) {
                typing_from_ = pass;
                inject_left_at(512, 498, false);
            }
            // A key a pass, let go on the next and a pass of nothing after, so each types once;
            // Shift with the first letter.
            const uint32_t n = pass - typing_from_;
            if (n / 3 < k_name_keys.size()) {
                const uint8_t key = k_name_keys[n / 3];
                if (key == k_key_m)
                    inject_key(k_key_lshift, n % 3 == 0);
                if (n % 3 < 2)
                    inject_key(key, n % 3 == 0);
            } else if (std::strcmp(g_chars[0].display_name, "Mira_") == 0 || typed) {
                typed = true;
                inject_left_at(k_new_hero_start_x, k_new_hero_start_y, true);
            }
        }
    }

    bool intro_skipped = false, menu_without_game = false, typed = false;

private:
    // Ten backspaces over the default name, then the new one.
    inline static const std::vector<uint8_t> k_name_keys = {
        k_key_back, k_key_back, k_key_back, k_key_back, k_key_back, k_key_back, k_key_back,
        k_key_back, k_key_back, k_key_back, k_key_m,    k_key_i,    k_key_r,    k_key_a};
    uint32_t typing_from_ = 0;
    bool menu_seen_ = false;
};
