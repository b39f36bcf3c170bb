// What the text windows and the quests need of the layers that start-up links: the characters,
// the dialogue record, the story tables and the save game. Each owner fills its members at
// start-up; a member left null (a test that installs none) is skipped (logged once), as if it had
// nothing to give.
#pragma once

#include "core/hooks.h"

#include <cstddef>
#include <cstdint>

struct script_links {
    // The shell: handles window messages and reads the input until held() is false; false when
    // the window was closed meanwhile.
    bool (*wait_until_released)(bool (*held)());
    // The shell: handles one pending window message; 1 when one was handled.
    int32_t (*pump_messages)();
    // The shell's fades of "^fade" and "^unfade": the frame's scene is ended and the screen fades
    // to black; the screen fades in from black and a scene is begun again.
    void (*fade_out_scene)();
    void (*fade_in_scene)();

    // Characters.
    int32_t (*player_char)();                    // the hero's slot
    const char* (*char_file_key)(int32_t slot);  // the key name scripts find it by; null: no character
    const char* (*char_display_name)(int32_t slot);  // null: no character

    // The dialogue record and the markup made from it.
    void (*read_dialogue)(const char* path);     // the dialogue file into the dialogue record
    // Node `node` of the dialogue record as markup, into a buffer of `size` bytes.
    void (*build_dialogue_node_markup)(uint16_t node, char* buffer, size_t size);
    // The hero's question menu for a character, as markup, into a buffer of `size` bytes.
    void (*build_question_menu)(int16_t char_slot, char* buffer, size_t size);

    // Saves the game into the game's save list under `name`; fade 1 wraps the writing in a fade,
    // force 1 saves even during a dialogue or a fight.
    void (*save_game)(const char* name, uint32_t fade, uint32_t force);
    // The story tables: the state of the last quest and the value of the last story flag whose
    // name equals `name` ignoring case; false when there is none.
    bool (*last_quest_state)(const char* name, uint8_t* state);
    bool (*last_flag_value)(const char* name, int32_t* value);

    // The level change: true when the level (or "worldmap", the travel map) may be entered;
    // a refused name, a missing or damaged map is logged.
    bool (*level_enterable)(const char* name);

    // The slide shows: reads the timing file that `chapter` names and starts the chapter show;
    // starts the epilogue and gives it the ending number `ending`.
    void (*start_chapter_slide_show)(const char* chapter);
    void (*start_epilogue_slide_show)(int32_t ending);
};

extern script_links g_script_links;

// The hero's file key and display name; null when no hook gives them or there is no hero.
const char* hero_file_key();
const char* hero_display_name();
