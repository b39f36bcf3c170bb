// What reading, writing and changing levels needs of subsystems built elsewhere: characters,
// scripts and text windows, ground items and the game interface. The shell fills the members at
// start-up; a member left null (a test that installs none) is skipped (run_hook logs it once), as
// if it had nothing to do.
#pragma once

#include "core/hooks.h"

#include <cstdint>

struct level_links {
    // Characters.
    void (*clear_char_objects)();         // every character slot below the count: object -1
    void (*forget_player_object)();       // the player's remembered object becomes none
    void (*clear_player_interior)();      // the player's interior becomes none (255)
    // The move prototypes, the character model registry and every character's body-part models
    // are released (a level change; the level change frees the registry's models itself).
    void (*release_char_models)();
    void (*spawn_level_chars)();              // from the placements, with their stored health
    void (*spawn_level_chars_full_health)();  // a first visit
    void (*spawn_monsters_at_points)();
    // After a level change, for the characters from slot 1: each becomes fully present or absent
    // in the world shown (before the skins are read again), then, at the end of the change, their
    // body parts, statistics, item effects and equipment are prepared.
    void (*set_dream_presence)();
    void (*prepare_crossing_chars)();
    void (*load_char_names)();            // localized character names

    // Scripts and text windows.
    void (*start_script)(const char* name);
    // Loads a hint file into the message window and draws the window once; false when it cannot.
    bool (*show_hint)(const char* path);
    void (*reset_message_window)();

    // The editor: after the empty template is read in editor mode, its mode tabs are opened again.
    void (*open_mode_tabs)();
    // The editor: after a map file, the empty template or an entered level replaced the level's
    // tables in editor mode, the undo forgets the map before and the windows show the new one.
    void (*map_replaced)();

    // Ground items.
    void (*purge_ground_items)();          // lying items (state 2) removed with their objects
    void (*place_ground_item)(int32_t index);  // a dropped item (state 1) put back in the world

    // The shell's fades (saving and loading a game), and a save's picture: one frame of the
    // world alone, as a fade draws it, written into the path; false when none was written.
    void (*fade_to_black)();
    void (*fade_from_black)();
    bool (*picture_world)(const char* path);

    // The game interface: before a save the item in hand goes back where it came from; before a
    // load or a level change that, and the container windows and the quick-slot pull-down close.
    void (*put_back_held_item)();
    void (*close_item_windows)();
};

extern level_links g_level_links;

// Fills the members of the scripts and text windows: the hint is read into the message window,
// which is then drawn once with its first-pass flag cleared; the reset empties the message window.
void install_text_window_links();
