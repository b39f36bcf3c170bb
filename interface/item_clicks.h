// What a click of the left button does to the item on the cursor and the slot under it, on the
// side panel and in the container windows: picking up, putting down, swapping, equipping by a
// drop on the hero, using, buying, selling and taking gold.
#pragma once

#include <cstdint>

// Acts on one click (the caller tests the edge, the hero being alive, and skips code 255).
// Returns false when the click used an item on the hero: the interface pass ends for this frame.
bool click_panel_code(uint8_t code);

// Prices from the hero's side, truncated toward zero: what the hero pays to take the item out
// of a shop (price x shop_sell_factor / 100), and what a shop pays for it (x shop_buy_factor).
int32_t shop_buy_price(int32_t item);
int32_t shop_sell_price(int32_t item);
