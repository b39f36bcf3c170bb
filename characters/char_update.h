// The per-frame update of every character: attunements learned at their thresholds, animation,
// the state machines, timed damage and item timers, deaths, the player's level-up and the camera
// following the scene's character.
#pragma once

#include <cstdint>

// The tick of the last step of the camera's glide during a dialogue.
extern uint32_t g_camera_pan_tick;

// Once per frame (the fades pass paused: the state machines do not run). Nothing while the
// player has no world object; outside play it only empties the focus list. A character of kind
// NORMAL never dies here; a character whose world fade is 0 is neither updated nor killed.
void update_all_chars(bool paused);
