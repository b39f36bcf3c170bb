// The modal loop that the credits and the ending share: the level runs and is drawn, without the
// game clock, the characters, the interface or the hot keys, until a done flag is set.
#pragma once

#include <cstdint>

// The objects of entity `entity` (those that name it as their owner and are not attached to a
// character; what the object pass gathers into the entity's list) get the alpha. An entity that
// owns no object changes nothing.
void set_entity_alpha(int32_t entity, float alpha);
// Each such object whose alpha is below 1.0 gains `step`.
void raise_entity_alpha(int32_t entity, float step);

// Runs passes until `*done` is set (the first pass always runs). A pass: one window message and the input (only a wait for the next message while
// the application is inactive), the console key, the frame timing, then between the scene's
// begin and end the video textures, the entities, the owned objects, the objects, rain and
// lightning, the lights, the level effects and the console, and `draw_more` when given; after the
// scene `step` runs, then the frame is presented (a lost display restored). The loop ends at the
// end of the pass in which `*done` was set, and at once when the window is closed.
void run_world_loop(uint32_t* done, void (*draw_more)(), void (*step)());
