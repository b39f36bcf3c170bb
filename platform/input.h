// The program window's events and the keyboard and mouse state they build.
//
// `input_drain` takes every pending event: keys, mouse buttons, movement and wheel go into the
// input state, and the window's own events become a small queue of window messages that the
// caller takes one at a time. Events come from SDL while the program window is open
// (platform/gl_window.h), and from `input_inject` in any case: without a window (headless, tests)
// injected events are the only ones. A quit signal (platform/signals.h) becomes a close message.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

enum class window_message_kind : uint8_t {
    activate_app,  // param 1: the application became active; 0: another one did
    activate,      // param 1: the window became the active window; 0: it lost that
    set_focus,     // the window got the keyboard focus
    close,         // the window is asked to close (its close box, the system, a quit signal)
};

struct window_message {
    window_message_kind kind;
    uint32_t param;
};

enum class input_event_kind : uint8_t {
    focus_gained,
    focus_lost,
    close,
    key,           // code: key code (platform/key_codes.h), down
    mouse_move,    // x, y: cursor in display pixels
    mouse_leave,   // the cursor left the window
    mouse_button,  // code: 0 left, 1 right, 2 middle, 3 fourth; down
    mouse_wheel,   // wheel: steps, positive away from the user
    text,          // character: one typed character (Unicode), while text entry is on
};

struct input_event {
    input_event_kind kind;
    uint8_t code = 0;
    bool down = false;
    int32_t x = 0, y = 0;
    int32_t wheel = 0;
    uint32_t character = 0;
};

// Queues an event as if it came from the window; it is applied by the next input_drain.
void input_inject(const input_event& event);

// Tests and replays: `script` runs at the start of every input_drain, before any event is applied,
// with the number of drains since it was set (0 first); it queues that pass's events with
// input_inject and may move the program's clock on. An empty function (the start value) runs
// nothing; setting one replaces the last.
void input_set_script(std::function<void(uint32_t pass)> script);

// Applies every pending event (SDL's, then injected ones) to the input state and the message
// queue. Called once per frame before messages are taken.
void input_drain();

// Takes the oldest window message; false when none is queued.
bool input_next_message(window_message* out);

// Waits until an event or a message is pending, or the time is up, without taking anything.
// Without a window the wait is a sleep on the program's clock (platform/clock.h).
void input_wait(uint32_t timeout_ms);

// Keyboard and mouse deliver their state only while acquired (the window is in front).
void input_set_acquired(bool acquired);

// Each read of the keyboard or the mouse shows the next change of each key or button since the
// last read: a press released before the read is shown down, then up at the next read, and of
// several presses between two reads each is shown in a read of its own. Repeats of a held key
// are no change. What changes while the device is not acquired is not replayed.

// The keyboard state by key code, 0x80 for a key that is down; false with every key up while
// the keyboard is not acquired.
bool input_read_keyboard(uint8_t state[256]);

struct mouse_reading {
    int32_t dx, dy;       // movement since the last read, in display pixels
    int32_t wheel;        // wheel steps since the last read
    uint8_t buttons[4];   // 0x80 while down: left, right, middle, fourth
};

// The mouse's movement, wheel and buttons; false, leaving `out` as it was, while the mouse is
// not acquired (its movement and wheel meanwhile are dropped).
bool input_read_mouse(mouse_reading* out);

struct cursor_position {
    int32_t x, y;   // display pixels from the display area's top-left corner; may lie outside
    bool inside;    // the cursor is over the display area of the window
};

cursor_position input_cursor();

// The display area's size in display pixels; a window of another size (full screen on the
// desktop's mode) shows it scaled to fit, centred, and the cursor is mapped back.
void input_set_display_size(int32_t width, int32_t height);

// The events a user interface reads (keys, mouse buttons, wheel and typed characters) in the
// order they were applied since the last call, moved into `out`. Only the newest 512 are kept
// for a reader that does not come.
void input_take_ui_events(std::vector<input_event>* out);

// The window sends typed characters as text events only while text entry is on (off at start
// and with every new window); it starts or stops the system's text input.
void input_set_text_entry(bool on);

// Clears the input state and both queues; a new window starts from here (a quit signal that
// arrived before closes it as well).
void input_reset();
// How many times the input was reset: a reader that keeps keys or buttons held between frames
// lets them go when it changes, since the releases went with the queues.
uint32_t input_reset_count();

// The window was shown: it asks for the focus. Where a window manager gives it the focus event
// follows; without a window on a screen (no window, or a video driver that draws nowhere) it
// counts as having gained the focus at once.
void input_window_shown();

// A modal box of the program's own is shown over the window (platform/window_services.h) and
// takes the focus: until the window has the focus back, a full-screen window is not minimized
// for losing it. Once the box is answered, input_focus_returned asks for the focus back, as
// input_window_shown does, so the window is active again.
void input_lend_focus();
void input_focus_returned();
