// The main window, its messages and the input state of the frame.
//
// The window procedure handles one window message per call of `pump_messages`; the keyboard
// and mouse are read once per frame by `poll_input` into the globals of core/input_state.h,
// which every other part of the program reads.
#pragma once

#include "core/input_state.h"
#include "platform/input.h"

#include <cstdint>

// Creates the window and its device, asks for the language on a first run in game mode, and
// prepares keyboard and mouse. 1 on success, -1 (with the reason in the debug log) when start-up
// cannot go on.
int32_t create_main_window();

// The window procedure: one message.
void window_proc(const window_message& message);

// Asks for the language (first run in game mode) and sets g_language; English when no choice
// is made or no dialog can be shown.
void language_dialog();

// Takes the window's pending events and handles at most one message; 1 when one was handled.
int32_t pump_messages();

// Waits for the next message (while the application is inactive), at most a short while so
// that a quit is never missed.
void wait_message();

// The first step of a frame: in the editor, the pointer over the view and outside the editor's
// windows gives the keyboard back to the view (no dialog keeps the focus, a text field stops
// taking typing); elsewhere the editor's windows have it. Outside the editor the view always has
// the keyboard.
void update_editor_focus();

// Reads the keyboard state, the mouse buttons and wheel, the mouse position and the typed
// character of the frame. The view gets the keys only while it has the keyboard, and a key that
// went down while the editor's windows had it only after it has been let go.
void poll_input();

// A modal loop's pass in the editor: the keyboard's and the mouse's changes are taken from the
// view, which reads every key up and every button released; a key still held when the loop
// ends reaches the view only after it has been let go.
void drop_view_input();

// The wait of every loop that holds until a key or button is up: each pass handles the pending
// window messages and reads the input again, and while `held` is still true waits a short while
// for the next event. True once `held` is false; false as soon as the window is closed
// (g_quit_all).
bool wait_until_released(bool (*held)());

// Releases the device and closes the window. The program leaves both to the end of the
// process; tests close them to start the next run afresh.
void close_main_window();
