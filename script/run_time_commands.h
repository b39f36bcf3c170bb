// The run-time commands of the markup: what the run pass does to the game each time it meets a
// command in a shown text. The run pass runs every frame while its window is shown, so a command
// acts again in every frame until its window is closed or its text replaced; the commands marked
// "not in the first pass" act only while the window's first-pass flag is clear. "^open_container"
// and "^shop" blank their own words after acting, so that they act once.
//
// Character arguments name a character by its file key, compared without regard to case with
// every slot below g_char_count. Numbers are read as in the "C" locale (markup_float,
// markup_int). A name that matches nothing, and an index outside its table, make the command do
// nothing. The argument counts are those of the keyword table (script/markup_keywords.h).
#pragma once

#include <cstdint>

struct markup_keyword;
struct text_window;

// Carries out the command whose keyword stands at word `index` of the window; commands that act
// at load time only, and the layout's own, do nothing here. True when the pass must end at once
// (a "^start_dialog" that found its file, or a "^map" that emptied the window being run).
bool run_time_command(text_window* window, const markup_keyword& keyword, int32_t index);

// "^center_view_on_char" with its argument at word `arg`: "HERO" in the word becomes the hero's
// file key. When `act`, the camera is centred on every named character that has a world object
// (the last one wins) and held inside the scene's bounds, setting the clamp flag of an axis that
// was held. The draw pass calls it in every pass, the run pass outside the first.
void center_view_on_char(text_window* window, int32_t arg, bool act);

// "^open_container" at word `index`: for a container 0 to 199 that has a grid, waits until the
// left button is up, opens it in the side panel and blanks the keyword and its argument to "^0".
// Any other number does nothing.
void open_container_command(text_window* window, int32_t index);

// The longest "^unfade" wait in steps (about 32 ms each); a larger count waits this long.
constexpr int32_t k_unfade_step_limit = 1000;
