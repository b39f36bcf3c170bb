// Game time: a 16 ms tick counter taken from the millisecond clock once per frame, and the
// frame-rate estimate.
#pragma once

#include <cstdint>

extern uint32_t g_start_time;   // clock at start; the frame capture adds its own time to it
extern uint32_t g_now_ms;       // clock of the current frame
extern uint32_t g_elapsed_ms;   // g_now_ms - g_start_time
extern uint32_t g_ticks;        // g_elapsed_ms >> 4
extern uint8_t g_fps_frame_count;
extern uint32_t g_fps_mark;
extern uint32_t g_fps;          // at least 1

// Sets g_start_time from the clock and returns it.
uint32_t stamp_start_time();
// Advances the clock values; refreshes g_fps every ten frames.
void update_frame_timing();
