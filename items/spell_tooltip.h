// The spell tooltip: the markup the interface shows in the message window at the cursor.
#pragma once

#include <cstddef>

struct spell_proto;

constexpr size_t k_spell_description_max = 1999;  // bytes of "data/spell/<name>.txt" read

// Writes into buffer (size bytes, always terminated, cut where it is full) a window of width 500
// and the given height at the cursor with the spell's name, its school, mana cost, duration, the
// damage line and, when "data/spell/<name>.txt" exists, a blank line and its first 1,999 bytes
// with trailing control characters cut. Numbers are written as in the "C" locale. Returns the
// length of the markup written.
size_t draw_spell_tooltip(const spell_proto& spell, char* buffer, size_t size, float height);

// The damage text of the tooltip from the dice count (damage percent), the dice sides and the
// bonus: "2d6", "2d6 + 3", "3", or "" when the spell shows no damage line.
void spell_damage_text(int n, int sides, int bonus, char* out, size_t size);
