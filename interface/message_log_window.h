// The message-log window: the newest lines of the message log in a framed box at the bottom
// left, shown and hidden with Tab, four heights, scrolled with the arrow keys.
#pragma once

struct message_log;

// Shown, the smallest height, the newest lines, placed for the current screen height.
void init_message_log(message_log* log);
// Per frame inside the HUD pass: input and drawing.
void draw_message_log(message_log* log);
