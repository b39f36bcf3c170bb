// The media of the item table: icons, big images, ground models and sounds, loaded after the
// table is read.
#pragma once

#include <cstdint>

// For every item below the count: the icon and big image, the shared ground model and the three
// sound lists, as load_items describes them.
void load_item_media();

// The sample slot of a random one of `count` (0 to 5) sounds, logged by index and slot; -1 when
// count is 0.
int32_t pick_item_sound(const uint32_t* sounds, int32_t count);
