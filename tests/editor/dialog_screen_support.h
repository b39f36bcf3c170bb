// Dialogs drawn on a recording device of 1024 x 768 with the window's input injected, so that a
// test drives them as a user would, frame by frame. The clock stands unless the test moves it:
// a dialog's timer fires, and a window it opens takes the focus, only when the test says so.
// Made in a fixture's SetUp and let go in its TearDown after the dialogs are gone; it gives
// back the device, the input and the clock a new process has.
#pragma once

#include "editor/gui/dialog_screen.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "tests/engine/draw_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>

class dialog_screen_driver {
public:
    dialog_screen_driver() : device_(&recorder)
    {
        input_reset();
        input_set_display_size(1024, 768);
        clock_use_manual(true);
        clock_set_manual(1000);
        clock_set_manual_step(0);
    }
    ~dialog_screen_driver()
    {
        run_dialog_frame(); // the frame without dialogs drops what is left of the input
        input_reset();
        clock_use_manual(false);
    }
    dialog_screen_driver(const dialog_screen_driver&) = delete;
    dialog_screen_driver& operator=(const dialog_screen_driver&) = delete;

    // One frame of the window: its events taken, then the dialogs' frame.
    void frame()
    {
        input_drain();
        run_dialog_frame();
    }
    void click_at(int32_t x, int32_t y)
    {
        input_inject({input_event_kind::mouse_move, 0, false, x, y});
        frame();
        input_inject({input_event_kind::mouse_button, 0, true});
        input_inject({input_event_kind::mouse_button, 0, false});
        frame();
        frame();
    }
    void click_control(dialog_handle dialog, int32_t id)
    {
        device_rect r;
        ASSERT_TRUE(dialog_control_rect(dialog, id, r)) << id;
        click_at(r.x + r.width / 2, r.y + r.height / 2);
    }
    // A key pressed and let go over two frames.
    void press_key(uint8_t code)
    {
        input_inject({input_event_kind::key, code, true});
        frame();
        input_inject({input_event_kind::key, code, false});
        frame();
    }

    recording_device recorder{1024, 768};

private:
    use_device device_;
};
