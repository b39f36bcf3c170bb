// A character's mouse-focus outline: a map sector record kept relative to the character's
// position, so that the polygon moves with it. It is tested and drawn at the size
// scale_x - 0.35.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

// Copies map sector `sector` into the outline as type 2, its points made relative to the
// character's world position. False (nothing changed) for a sector number outside the table or
// a character without a world object.
bool char_set_outline_from_sector(char_record* c, int32_t sector);
// Copies the outline of the character in `other_slot`; nothing for a slot not in use.
void char_copy_outline(char_record* c, int32_t other_slot);
// Whether world point (x, y) lies inside the outline around the character's world object; 0
// without a world object.
int32_t char_outline_contains(const char_record* c, float x, float y);
// Draws the outline around the character's world object; nothing without one.
void char_draw_outline(const char_record* c);
