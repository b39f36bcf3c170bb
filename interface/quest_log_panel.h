// The quest log: the player's open quests above the completed ones, each titled, its text shown
// while the cursor is over it.
#pragma once

// Per frame inside the HUD pass while the quest log is open and no dialogue runs.
void update_quest_log_panel();
