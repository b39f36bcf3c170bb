// What the attunement panel and the attunement selection window share: the hero's learned
// attunements that are not active, their rows of names and the tooltip of a hovered one.
#pragma once

#include "items/items.h"

#include <cstdint>

struct char_record;

constexpr int32_t k_attunement_rows = 25;  // rows the learned list shows at most

// Ids of every attunement the hero learned and has not made active, in table order: each record
// below the item count that is not deleted, of the attunement class, whose tier (its size) is 0
// to 2 and whose points reach that tier's threshold, and that is not in the hero's active list.
// Returns how many (0 without a hero).
int32_t learned_inactive_attunements(const char_record* hero, int16_t (&out)[k_item_slots]);

// Where a list of names lies, in screen pixels: row k's text at (text_x, text_y + pitch k), its
// hover band strictly inside x band_left to band_left + 200 and y text_y + pitch k to
// text_y + pitch (k + 1).
struct attunement_rows {
    float text_x, text_y;
    float band_left;
    float pitch;
};

// Draws the display names of `count` ids in the small font, each in colour(id, hovered); an id
// outside the item table draws nothing. Returns the index of the row under the cursor, or -1.
int32_t draw_attunement_rows(const attunement_rows& rows, const int16_t* ids, int32_t count,
                             uint32_t (*colour)(int16_t id, bool hovered));

// The attunement's tooltip in the message window, composed at height 320 and again at the height
// its layout reached (cut to a whole number with `whole_height`); the dialogue-running flag is
// cleared meanwhile and then restored. Nothing for an id outside the item table.
void show_attunement_tooltip(int16_t id, bool whole_height);
