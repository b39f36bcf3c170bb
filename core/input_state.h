// The display mode and the input state of the frame, as the shell's window reads them; every
// layer reads them.
#pragma once

#include <cstdint>

extern uint32_t g_windowed;         // 1 when the display runs in a window (editor or gr_runwindowed)
extern uint32_t g_resolution_mode;  // display mode from game.cfg; 1 in editor mode
extern uint32_t g_app_active;       // the loops only wait for messages while it is 0
extern uint32_t g_input_focus;      // the window has the input focus

// The mouse device's state of the frame: movement, wheel movement and four button bytes.
struct mouse_state {
    int32_t x, y, z;
    uint8_t buttons[4];
};
extern mouse_state g_mouse_state;

extern uint8_t g_key_state[256];    // by key code (platform/key_codes.h); down while 0x80 is set
extern uint32_t g_mouse_left, g_mouse_right, g_mouse_middle, g_mouse_button4;
extern uint32_t g_wheel_up, g_wheel_down;              // the wheel moved this frame
extern float g_mouse_x, g_mouse_y;                     // world position
extern float g_mouse_screen_x, g_mouse_screen_y;       // screen position

extern uint8_t g_typed_char;         // what this poll's key state types (read_typed_char), 0 none
// The character typed last while its key is held; the console's line editor and the hero's
// name entry share it to tell a held key from a new one.
extern uint8_t g_console_last_char;

// The character that this frame's key state types: letters (upper case with either Shift),
// blank, digits of both rows, ".", "/", "\", ":" (the semicolon key, with or without Shift),
// "-" or with Shift "_" (both minus keys), "$" for backspace; 0 for none.
uint8_t read_typed_char();

// The edge of a press: true in the frame in which `down` is set while the latch is clear; the
// latch is then set, and cleared again by a frame in which `down` is clear.
bool press_edge(uint32_t down, uint32_t& latch);

// A press of a key or of the left button acts once: the place that acts on it takes it, and no
// other place acts on it until it is let go. So a key or click that ends a dialogue, closes a
// menu or presses a button does nothing more in the frames it is still held. Each key has one
// latch shared by every place that acts on it; the left button has one for the dialogue's
// options, the menu's and the save/load page's buttons, the attunement selection's rows and close
// box and the hero's clicks in the world.
struct press_latches {
    uint32_t keys[256];
    uint32_t left;
    uint32_t title_credits;  // a refused attempt at the title's credits, until the button is let go
};
extern press_latches g_press_latches;

// True in the frame in which the key goes down, for the first place that asks.
bool take_key_press(uint8_t key);
// The key is down and its press has been taken; a press seen up has ended.
bool key_press_taken(uint8_t key);
bool take_left_press();
bool left_press_taken();
// The presses of the keys and of the left button that are up end; each input poll calls it.
void end_released_presses();
