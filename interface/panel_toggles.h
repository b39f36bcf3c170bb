// The panel switches that the HUD's buttons and the panel keys share. Each works on g_interface
// and the player's record (nothing happens to the record without a player).
#pragma once

#include <cstdint>

// Closes the attunement panel and marks the new-attunement notice as seen.
void close_attunement_panel();
// Cancels the drag and closes the side panel, the character panel, the attunement panel (as
// close_attunement_panel when it is open) and the quest log.
void close_side_panels();

// Opens the menu on its main page with settings page 4.
void open_menu();
// Closes the menu when it is open, else opens it.
void toggle_menu();

// Shows side-panel page `page` (2 inventory, 3 skills): on that page the panel toggles (closing
// cancels the drag); on the other page the drag is cancelled and the panel opens on `page`.
// True when the panel is open afterwards.
bool toggle_side_panel_page(uint8_t page);
void toggle_character_panel();
// Closes the quest log when it is open; else closes the attunement panel and opens the quest log.
void toggle_quest_log();
// Closes the attunement panel when it is open; else closes the quest log and opens the panel.
void toggle_attunement_panel();
// Leaves the dream world when the hero is in it, else enters it (with sound), then re-syncs the
// player's attunements, item effects and equipment.
void switch_dream_world();
