// The settings page of the overlay screens: the graphics page (2), the sound page (3) and, while a
// game runs, the developer page (4), chosen by g_interface.settings_page. Changes act on
// g_settings at once; gamma and the music volume reach the display and the music during a drag.
#pragma once

#include <cstdint>

// The sliders' drag flags: set by a press on the slider's bar, cleared whenever the left button
// is up, so that a drag goes on while the cursor moves off the bar.
enum settings_slider : int { k_slider_gamma, k_slider_detail, k_slider_music, k_slider_sound, k_settings_sliders };
extern uint32_t g_settings_slider_drag[k_settings_sliders];

// Once per frame while the settings page is the overlay screen: the framed page, its tabs (with
// their tooltips in the message window), OK (back to the menu) and the current page's controls.
void run_settings_screen();
