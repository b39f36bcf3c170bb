// Drawing the characters: their body-part models at their world objects, their shadows and
// their lighting, the mouse focus (the focus list and the label in the message window) and the
// turning preview of the interface.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

struct world_object;

// Draws one character at (x, y) and height z with the given scale, alpha, three angles and
// colour. A character out of the world (life 0) is not drawn; drawn_alpha records the alpha
// drawn with (0 when not drawn). A living, visible character other than the PLAYER under the
// mouse (its outline) enters the focus list while no dialogue runs: an ENEMY or SIDEKICK as
// type 2, labelled "L<level> <name> (<hit points> <UI text 6>)", an ordinary character as type 1,
// labelled with its name. With a world object the character takes its object's depth key and
// z. Body parts 15 and 16 belong to the first pass and are not drawn here. With `preview` the
// character turns on the spot at height 300 in its stand animation and its record is left as it
// was.
void draw_chars(char_record* c, float x, float y, float z, float scale, float alpha, int32_t angle_a,
                int32_t angle_b, int32_t angle_c, float r, float g, float b, int32_t preview);

// The first pass: body parts 15 and 16 only, lit as draw_chars lights them; no focus and no
// shadows.
void draw_char_first_pass(char_record* c, float x, float y, float z, float scale, float alpha, int32_t angle_a,
                          int32_t angle_b, int32_t angle_c, float r, float g, float b);

// The world object pass's call for a character's object: draw_chars with the object's position,
// depth, angles and colour and the scale and alpha the pass computed.
void draw_char_at_object(int32_t slot, const world_object& object, float scale, float alpha);

// The frame's passes over the character slots while playing: draw_char_first_pass for every
// character whose visible world object is its own, then, while the interface's second pass is
// on, draw_chars with the alpha times 0.3. Alpha: the object's, times the dream world's overlay
// alpha on layers 29 to 32; scale: the level's times the object's.
void draw_char_passes();
