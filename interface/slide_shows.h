// The narrated slide shows: the intro before the main menu, the chapter shows that the story
// starts, and the epilogue that ends the game.
//
// Each show draws a picture of 64 x 64 tiles over the frame, plays its narration as a series of
// stream segments with a subtitle file for each in the message window, and steps a five-state
// machine on the tick clock: 1 fade in, 2 narrate, 3 cross-fade (chapter only), 4 fade out,
// 5 pause. The intro and the epilogue scroll one tall picture ("data/slides/zudevu/", 16 x 22
// tiles) from 576 pixels down to its top; a chapter show cross-fades through the pictures of its
// slide list (16 x 12 tiles each, "data/slides/<n>/") with looped music.
//
// Narration segments are "data/sound/slide/<language>/<name>.ogg", taken from the "eng" folder
// when missing in the language's; subtitles "data/sound/slide/<language>/<name>.txt", without
// fallback. Names: the intro "m<segment>", a chapter "<narration>.<part>", the epilogue
// "e<outro>.<segment>". A segment that plays in neither folder ends the intro and the epilogue,
// and cross-fades a chapter to its next picture (fades it out after the last).
//
// The play functions run between the scene's begin and end; they take one step at most every
// 4 ticks (every 5 in a chapter) and draw in every call.
#pragma once

#include "world/slide_timing.h"

#include <cstdint>

constexpr int k_scroll_rows = 22;
constexpr int k_slide_inputs = 4;  // left button, Space, Enter, Esc

enum slide_state : uint32_t {
    k_slide_fade_in = 1,
    k_slide_narrate = 2,
    k_slide_cross_fade = 3,
    k_slide_fade_out = 4,
    k_slide_pause = 5,
};

// The intro and the epilogue.
struct scrolling_slide_show {
    uint32_t active;
    int16_t outro_number;                    // the epilogue's: e<outro>.<segment>
    slide_tiles<k_scroll_rows> tiles = no_slide_tiles<k_scroll_rows>();
    uint32_t step_tick;                      // g_ticks to pass before the next step
    int16_t segment;                         // from 1
    uint32_t narration_stream;               // 0 = none
    float scroll;                            // -576 up to 0 pixels
    float alpha;
    uint32_t state, resume_state;            // slide_state; the state after a pause
    int16_t pause_count;
    uint32_t latches[k_slide_inputs];        // 1 while an input that acted is still down
};

struct chapter_slide_show {
    slide_timing timing;                     // tile sets, narration, list, index, running flag
    float current_alpha, next_alpha;
    uint32_t step_tick;
    int16_t part;                            // narration part of the current entry, from 1
    uint32_t music_stream;
    uint32_t state, resume_state;
    int16_t pause_count;
    uint32_t latches[k_slide_inputs];
};

extern scrolling_slide_show g_intro_slides;
extern scrolling_slide_show g_epilogue_slides;
extern chapter_slide_show g_chapter_slides;
// The flags the main loop reads: the chapter show's running flag and the epilogue's active flag.
extern uint32_t& g_chapter_slides_running;
extern uint32_t& g_epilogue_slides_active;

// Whether a narration stream still plays (audio_channel_is_active); tests replace it.
extern bool (*g_slide_narration_active)(uint32_t stream);

// The intro: loads its tiles and sets it going (active); one frame of it; its tiles freed.
void load_intro_slide();
void play_intro_slides();
void free_slide_tiles();

// The epilogue with outro number 1 (the caller sets the number afterwards); one frame of it,
// nothing while it is not active; its end sets g_quit and g_game_finished.
void start_epilogue_slides();
void play_epilogue_slides();
void free_epilogue_tiles();

// A chapter show of the list that load_slide_timing read into g_chapter_slides: stops the map
// music, clears g_dialogue_running and loops "data/slides/1.ogg". Its end sets
// g_dialogue_running and starts the level's map music again. A list of no entries (missing,
// refused or empty) starts nothing.
void start_chapter_slides();
// The current set is released and takes over the next set, which is loaded from entry `entry`'s
// picture (left empty when the list has no such entry).
void load_chapter_slide_pair(int32_t entry);
void play_chapter_slides();
