// The character panel: the hero's name, skills as grades with buttons to raise them, points,
// level, experience and combat values.
#pragma once

#include <cstdint>

// Per frame inside the HUD pass while the panel is open and no dialogue runs.
void update_character_panel();

// The letter grade of a skill value: "00", "F", "E-" ... "A+", "S" for 0 to 17; a value outside
// that range shows the nearer end.
const char* skill_grade(int32_t value);
