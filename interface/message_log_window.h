// The message-log window: the newest lines of the message log in a framed box at the bottom
// left, shown and hidden with Tab, four heights, scrolled with the arrow keys.
#pragma once

#include <cstdint>

struct message_log;

// Edge latches of the window's own inputs: set on the press, cleared while the key or the left
// button is up.
extern uint32_t g_message_log_tab_latch;
extern uint32_t g_message_log_height_latch;

// Shown, the smallest height, the newest lines, placed for the current screen height.
void init_message_log(message_log* log);
// Per frame inside the HUD pass: input and drawing. Tab toggles the window even during a
// dialogue; otherwise a hidden window or a running dialogue draws and scrolls nothing. A click
// on the bottom strip grows the window by 64 pixels up to four heights (96, 160, 224, 288), the
// fourth click returns it to the first; the arrows scroll back through the lines at most once
// every 4 ticks. Colour bytes above 3 draw grey; a line wider than the box is drawn whole.
void draw_message_log(message_log* log);
