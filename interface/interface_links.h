// What the game interface needs of the shell above it and of subsystems built elsewhere: the
// window's wait for a key's release, the pass of the modal loops, the fades, the message window
// of the text windows, the item drag and the display's gamma.
// The shell fills the members at start-up. A null member means that service is not built: the
// call is skipped (run_hook logs it once), as if it had nothing to do.
#pragma once

#include "core/hooks.h"

#include <cstdint>

struct interface_links {
    // The shell: handles window messages and reads the input until held() is false; false when
    // the window was closed meanwhile.
    bool (*wait_until_released)(bool (*held)());

    // The modal loops' pass: one window message; false when the application is inactive (the
    // next message has been waited for) and the pass must neither draw nor step. Then the input
    // of the pass read into the input globals, and the console key's press toggling the console
    // (one latch for every loop).
    bool (*modal_pass_begin)();
    void (*poll_input)();
    void (*toggle_console)();

    // The modal fades over the running world: 20 steps to black and back.
    void (*fade_to_black)();
    void (*fade_from_black)();

    // The message window: emptied (its words and pictures freed); a markup file shown in it,
    // which sets g_message_shown, or clears it when the file is missing; drawn with its
    // first-pass flag cleared.
    void (*reset_message_window)();
    void (*show_text_file)(const char* path);
    void (*draw_message_window)();

    // An item the mouse holds goes back where it came from and the drag ends.
    void (*cancel_item_drag)();

    // The display's gamma ramp: the ramp kept at start-up plus offset.
    void (*set_gamma)(int32_t offset);
};

extern interface_links g_interface_links;
