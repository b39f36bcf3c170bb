// The character panel: the hero's name, skills as grades with buttons to raise them, points,
// level, experience and combat values.
#pragma once

// Per frame inside the HUD pass while the panel is open and no dialogue runs.
void update_character_panel();
