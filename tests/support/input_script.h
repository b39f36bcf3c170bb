// Test helper: a per-pass input script for the program's loops. While the object lives, `each`
// runs at the start of every input drain (every window pump of every loop) with the pass number
// from 0; it queues that pass's input with input_inject. The script is removed when the object
// goes, so a test leaves no script behind.
#pragma once

#include "platform/input.h"

#include <cstdint>
#include <functional>
#include <utility>

class input_script {
public:
    explicit input_script(std::function<void(uint32_t pass)> each) { input_set_script(std::move(each)); }
    input_script(const input_script&) = delete;
    input_script& operator=(const input_script&) = delete;
    ~input_script() { input_set_script(nullptr); }
};

// The left button at screen pixel (x, y): the pointer moves there, then the button goes down or up.
inline void inject_left_at(int32_t x, int32_t y, bool down)
{
    input_event move{input_event_kind::mouse_move};
    move.x = x;
    move.y = y;
    input_inject(move);
    input_event button{input_event_kind::mouse_button};
    button.down = down;
    input_inject(button);
}
