// Services around the program window (platform/gl_window.h): the desktop's size, the window's
// position, and modal message boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

// The desktop's size in pixels; 1024 x 768 when no display can be asked.
void desktop_size(int32_t* width, int32_t* height);

// Moves the program window's top-left corner; nothing when it is not open.
void move_program_window(int32_t x, int32_t y);

// True when the program window is open on a screen that someone can see and answer: false
// without a window and under video drivers that draw nowhere (offscreen, dummy).
bool window_is_interactive();

// Shows a modal box over the program window with a caption, a text and buttons (texts in
// Windows-1252) and stores the index of the button chosen in `choice`, or -1 when the box was
// closed without a choice. `default_button` is chosen by Return. False, with `choice` untouched,
// when no box can be shown (see window_is_interactive) or the system refused it. The window lends
// the box its focus and asks for it back once the box is answered (platform/input.h), so a
// full-screen window is never minimized for a box of its own and is active again after it.
bool message_box_choose(const char* caption, const char* text, std::span<const char* const> buttons,
                        int default_button, int* choice);

// Someone who answers the boxes in place of the screen (tests): asked whenever the program
// window is open, whatever the video driver; answers as message_box_choose does. An empty one
// gives the boxes back to the screen.
using message_box_answerer = std::function<bool(const char* caption, const char* text,
                                                std::span<const char* const> buttons, int default_button,
                                                int* choice)>;
void set_message_box_answerer(message_box_answerer answerer);
