// Shell tests: where on the screen the side panel and the container windows put a slot, and
// which backpack slot is free, for clicks and hovers a player makes.
#pragma once

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "interface/side_panel.h"

#include <algorithm>
#include <cstdint>
#include <utility>

// A screen pixel where the side panel finds the slot code (a cell, a slot, the hero), scanned in
// steps of 4; x < 0 when none.
inline std::pair<int32_t, int32_t> pixel_of_code(uint8_t code)
{
    const float mouse_x = g_mouse_screen_x, mouse_y = g_mouse_screen_y;
    std::pair<int32_t, int32_t> found{-1, -1};
    for (int32_t y = 2; y < g_screen_height && found.first < 0; y += 4)
        for (int32_t x = 2; x < g_screen_width && found.first < 0; x += 4) {
            g_mouse_screen_x = float(x), g_mouse_screen_y = float(y);
            if (side_panel_hit_code() == code)
                found = {x, y};
        }
    g_mouse_screen_x = mouse_x, g_mouse_screen_y = mouse_y;
    return found;
}

// The first backpack location no entry of the hero holds, -1 when full.
inline int32_t free_backpack_location()
{
    const char_record& hero = g_chars[g_player_char];
    for (int32_t location = 0; location <= k_inv_backpack_last; ++location)
        if (std::find(hero.inv_location, hero.inv_location + hero.inv_count, uint8_t(location)) ==
            hero.inv_location + hero.inv_count)
            return location;
    return -1;
}
