// The things under the mouse: filled while the characters (and entities) are drawn, read by the
// player's machine in the next frame, emptied by the per-frame character update.
#pragma once

#include <cstdint>

constexpr uint32_t k_focus_entries = 6;  // indices 0 to 5

enum focus_type : uint32_t {
    k_focus_ordinary = 1,  // an ordinary character
    k_focus_fighter = 2,   // an enemy or a sidekick
    k_focus_entity = 3,    // an entity
};

struct focus_list {
    uint32_t count;    // entries written since the last reset, 0 to 5
    uint32_t type[8];  // focus_type
    uint32_t id[8];    // character slot, or entity index
};

extern focus_list g_focus_list;

// Stores the entry at index count and advances it; after index 5 the count goes back to 0, so a
// seventh entry in one frame starts the list over.
void focus_list_add(focus_list* list, uint32_t type, uint32_t id);
// Empties the list.
void focus_list_clear(focus_list* list);
