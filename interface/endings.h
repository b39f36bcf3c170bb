// The ending of a finished game, shown on the final level "final_<language>.sav" after the
// epilogue: pictures that the level holds as entities and a chain of three narrations chosen by
// what the player did (benevolent or mercenary, defender or betrayer, then a title by the number
// of mastered attunements), without subtitles or music.
//
// Entities of the final level: 0 shown in the first part of every ending; 1 / 4 the mercenary /
// benevolent picture; 2 / 5 the betrayer / defender picture; 8 to 13 the title part's background;
// 14 to 18 the titles warrior, adept, archmage, legend, immortal.
#pragma once

#include <cstdint>

constexpr int k_ending_path_size = 256;

struct ending_state {
    int16_t phase;              // 1 first part (the deed narrations), 2 title part
    uint8_t narration_step;     // 0 and 1: the two waits of the part; 2: the part is over
    uint32_t narration_stream;  // the playing narration, 0 none
    char narration_path[k_ending_path_size];
    uint32_t benevolent;
    uint32_t defender;
    uint32_t fade_due_tick;     // g_ticks after which the next fade step may be taken
    uint32_t wait_due_tick;     // end of the title part's closing wait
};

// The loop's done flag is g_ending_end_flag (interface/interface_state.h), also set when the
// window closes.
extern ending_state g_ending;

// 1 when the deeds score at least 3: +1 each for quest "marriage" in state 2 or 3, "appease" in
// 2 to 5, "tharp" below 5 and flag "apprentice"; -1 each for "tharp" in state 4, "ombrikill2" in
// 3 or 4 and the flags "branch_a1", "branch_a2" and "branch_a3". A quest or flag the tables lack
// counts as state 0 or value 0.
uint32_t check_benevolent_ending();
// 1 (defender) when the score is at most 1, 0 (betrayer) above: +1 flag "sacred_boar", +2 quest
// "tharp" in state 4, +1 "ombrikill" in 2 or 3, +1 "ombrikill2" in 3 or 4, -1 flag
// "lunette_letter", -1 "tharp" in state 1 or 3.
uint32_t check_second_ending_branch();
// The title rank 0 to 4 by the share of 111 attunements mastered: the item prototypes of class
// attunement that are not deleted and whose points reach their tier's threshold. A tier outside
// 0 to 2 has no threshold: that attunement counts as not mastered, with a log line.
// Mastered counts 0-55 give 0, 56-82 1, 83-98 2, 99-109 3, 110 and more 4.
int16_t count_mastered_attunements();

// Once the final level is loaded: entities 0 to 18 hidden (state 0, alpha 0), the first part
// chosen (entity 0, entity 4 or 1, entity 5 or 2 shown at alpha 1) and the benevolent or
// mercenary narration opened.
void setup_ending_scene();
// The ending loop (interface/world_loop.h, with the message window drawn while shown) with
// play_ending_narration as its step; returns when the done flag is set, and clears it.
void play_ending();
// One step of the narration chain and the picture fades.
//
// First part: once the deed narration has ended the defender or betrayer narration opens; once
// that has ended the title part begins: entities 0 to 18 hidden, 8 to 13 shown at alpha 1, the
// title of count_mastered_attunements() shown at alpha 0, its narration opened. Meanwhile every
// 4 ticks at most the shown objects of entities 4, 5, 16, 1 and 2 below alpha 1 gain 0.05.
// Title part: once the title narration has ended a wait of 200 ticks follows, then the done flag
// is set; meanwhile the shown titles fade in the same way.
//
// A narration is "data/sound/slide/<language>/<name>.ogg" without fallback to another language;
// one that cannot be opened counts as ended at once (and is logged).
void play_ending_narration();
