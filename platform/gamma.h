// The display's gamma ramp, where the video driver offers one.
//
// Tests switch to a ramp held in memory, present or absent as they choose.
#pragma once

#include <cstdint>

struct gamma_ramp {
    uint16_t red[256];
    uint16_t green[256];
    uint16_t blue[256];
};

// False, leaving out unchanged, when there is no gamma control.
bool gamma_read(gamma_ramp& out);
// False when there is no gamma control.
bool gamma_write(const gamma_ramp& ramp);

// Headless gamma: once on, reads and writes go to a ramp in memory (an identity ramp at first),
// or fail as without a gamma control when available is false.
void gamma_use_memory(bool on, bool available);
