// The HUD pass (update_game_interface, declared in interface/interface_state.h) and the layout
// values it shares with its callers and tests.
#pragma once

#include <cstdint>

struct char_record;

// Tiles between the corners of the top and bottom frame strips: w / 64 - 2, one more in editor
// mode.
int32_t hud_strip_count(int32_t screen_width);

struct hud_rect {
    float x1, y1, x2, y2;
};
struct hud_bar_rects {
    hud_rect health, trail, pool;
};
// The bar rectangles at the right edge of a w x h screen. Hit points above the maximum are cut
// to it first, and the 16-bit copy with them; at or below 0 hit points both health bars are
// empty; a pool maximum of 0 or less leaves the pool bar empty.
hud_bar_rects hud_bar_layout(char_record* hero, float w, float h);

// Leaves the dream world when the hero is in it, else enters it (either with its sound), then
// re-gives the hero's attunements and re-applies its item effects and equipment.
void switch_dream_world();
