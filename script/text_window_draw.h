// The draw pass of a text window (draw_text_window, declared with the window) and the choice of
// its option links.
//
// The draw pass lays the words out by the walk of script/text_window_layout.h, as the run pass
// does, and writes each word with font_text_out where the walk placed it, in the colour that was
// current for it; the option links follow one below the other from link 0's line, red under the
// pointer and white otherwise, a numbered option's number set apart. While a dialogue runs, each
// line of its text reaches the message log once, in the first frame it is drawn while no message
// is up (a message in that frame, such as the label of the character clicked to start the talk,
// holds the lines back to the next frame); a line equal to UI text 159 (the leave option) takes
// the last log line away instead. The hero's "%s:" header and the line of an option that the
// player picks follow.
//
// An option is picked with the left mouse button (the frame then waits, handling window
// messages, until the button is up), with the number keys 1 to 9, 0 and the next keys for links
// 1 to 16, or with Space when the window has a single unnumbered link. Each input acts once per
// press, and only on a press that nothing else took (take_key_press, take_left_press); the pick
// takes it, so the key or click that ends a dialogue acts nowhere else while it is held.
#pragma once

#include "script/text_window.h"

#include <cstdint>

// Option `link` of the window is picked. A markup dialogue requests the link's target from
// "data/dialogs/<language>/". A dialogue record follows the option's link to a node, opens the
// hero's question menu, asks the chosen question, loads the closing lines or ends the dialogue.
// `by_space` is the Space key's pick, which does nothing in the question menu.
void choose_text_window_option(text_window* window, int32_t link, bool by_space);

// The dialogue in the window ends: the window is emptied and asks for
// "data/dialogs/eng/close.txt", no dialogue runs, and the hero is the centred character again
// (the centre marker, item 329, taken from the one centred before).
void end_text_window_dialogue(text_window* window);
