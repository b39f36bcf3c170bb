// The HUD's notices for the player: new skill points and a newly learned attunement, shown as
// icons at the right edge of the screen, and the learning of attunements that announces them.
#pragma once

#include <cstdint>

constexpr uint16_t k_no_notice_texture = 0xFFFF;

struct notice_icons {
    uint16_t new_attunement_texture = k_no_notice_texture;
    int16_t last_attunement = -1;      // the last attunement announced
    uint32_t attunement_seen = 1;      // 0 shows the new-attunement icon
    uint16_t level_up_texture = k_no_notice_texture;
    uint32_t level_up_seen = 1;
    uint16_t new_points_texture = k_no_notice_texture;
    uint16_t new_map_texture = k_no_notice_texture;
    uint32_t new_map_seen = 1;
};

extern notice_icons g_notices;

// Learns the attunement item: every "Learn attunement" spell is cast on the player, the notice
// goes to the debug log and the message log, its points become the learned value and it becomes
// the last one announced, unseen. 1 when learned; 0 for an item that is already learned, was
// just announced or is not in the table.
int32_t learn_attunement(notice_icons* notices, int32_t item);

// Loads the four icon textures (once, with the interface images); slots held before are let go.
void load_notice_icons(notice_icons* notices);

// While the HUD is shown: the new-points icon while the player has 100 or more skill points and
// the new-attunement icon while it is unseen, stacked downward from (screen width - 32, 64), 36
// pixels apart. The mouse over an icon shows its hint and marks the mouse over the interface; a
// held left button asks the interface to open the skill or the attunement panel.
void draw_notice_icons(notice_icons* notices);
