// The requests the main loop carries out at fixed points of the frame rather than where they are
// raised: the pending level change (end of an active frame), the new game (start of an active
// frame) and the ending (when the main loop ends with the game finished).
#pragma once

#include <cstdint>

// The travel-map target of a pending level change.
constexpr const char* k_worldmap_target = "worldmap";

// True when a level change to `target` may be requested: a level that can be entered (a refusal
// is logged, level/level_change.h, and said in the message log); for the travel map, the level of
// the story detour due (script/quests.h), or else a map with a way on (shell/travel_map.h).
bool level_target_enterable(const char* target);

// While g_pending_level is pending. A "worldmap" target first takes the story detours
// (take_story_detours, script/quests.h), whose level change stays pending for the next frame;
// the detour's story moves on once its level is entered (end_story_detour).
// Without a detour the dream world is left and the travel map runs; the request is cleared
// unless a quit came meanwhile. Any other target: the dream world is left, the level entered
// behind a fade (twice, once, when g_load_twice is set, which is cleared) and the hero arrives
// at the request's entry mode; when the level change refused the level (level/level_change.h)
// it is said in the message log, it is not tried twice and the hero stays where he stood in the
// level he stays in. The request is cleared. False when a quit came during the travel map: the
// main loop ends at once.
bool run_pending_level_change();

// While g_new_game_request is set: the characters, quests, flags and items are read again, the
// change files deleted, the menu level entered with the interface reset for the title menu, the
// clock reset to day 1, 17:55, and the front end runs; then the request is cleared.
void run_new_game_request();

// When the game is finished in game mode (and the window was not closed): the final level of
// the language is shown as the ending, then the game finished and quit flags are cleared and a
// new game is requested. True when it ran: the main loop resumes instead of shutting down.
bool run_ending_if_finished();

// The arrival in a level just entered: ambient light, the hero at entry `mode`, the map events
// evaluated once, the fade in, then the mouse world position on the hero and the three mouse
// buttons released, so that the hero does not walk off.
void arrive_in_level(int32_t mode);

// The hero's display name ends in the name-entry cursor "_" (appended when there is room).
void add_hero_name_cursor();
