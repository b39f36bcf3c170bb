// What the game interface needs of the shell above it and of subsystems built elsewhere: the
// window's wait for a key's release, the passes and fades of the modal loops, the message window
// of the text windows, the item drag and the display's gamma.
// The shell fills the members at start-up; a member left null (a test that installs none) is
// skipped (run_hook logs it once), as if it had nothing to do.
#pragma once

#include "core/hooks.h"

#include <cstdint>

struct interface_links {
    // The shell: handles window messages and reads the input until held() is false; false when
    // the window was closed meanwhile.
    bool (*wait_until_released)(bool (*held)());

    // The shell's modal loop services: one window message, false when the pass must not draw
    // (the application is inactive; it has waited for the next message); the input of the
    // frame; the console toggle on the key left of 1 with the given edge latch; the modal fades.
    bool (*modal_pass_begin)();
    void (*poll_input)();
    void (*toggle_console_on_key)(uint32_t* latch);
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
