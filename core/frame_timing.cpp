#include "core/frame_timing.h"

#include "platform/clock.h"

uint32_t g_start_time = 0;
uint32_t g_now_ms = 0;
uint32_t g_elapsed_ms = 0;
uint32_t g_ticks = 0;
uint8_t g_fps_frame_count = 0;
uint32_t g_fps_mark = 0;
uint32_t g_fps = 90;

uint32_t stamp_start_time()
{
    g_start_time = clock_ms();
    return g_start_time;
}

void update_frame_timing()
{
    g_now_ms = clock_ms();
    g_elapsed_ms = g_now_ms - g_start_time;
    g_ticks = g_elapsed_ms >> 4;

    if (++g_fps_frame_count == 10) {
        if (g_elapsed_ms != g_fps_mark)
            g_fps = 10000u / (g_elapsed_ms - g_fps_mark);
        g_fps_frame_count = 0;
    }
    if (g_fps == 0)
        g_fps = 1;
    if (g_fps_frame_count == 0)
        g_fps_mark = g_elapsed_ms;
}
