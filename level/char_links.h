// The character table's answers to the lower layers' hooks: the scene header's and the dream
// world's hero, the world objects' characters, and the level files' and level change's
// character steps.
#pragma once

// Fills every character member of g_scene_hero, g_dream_hero, g_object_links (the missiles' hit
// tests and hits among them) and g_level_links (the placements' spawning steps excepted);
// start-up calls it before the tables are read.
void install_char_links();
