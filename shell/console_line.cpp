// The console's typed line and its drawing.
#include "core/console_log.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/sprite_font.h"
#include "platform/key_codes.h"
#include "shell/console_commands.h"
#include "shell/device_setup.h"
#include "shell/window.h"
#include "world/game_clock.h"


char g_console_line[k_console_line_size] = "_";
int32_t g_console_line_length = 0;
uint32_t g_console_repeat_tick = 0;
uint32_t g_console_enter_latch = 1;

namespace {

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

void end_line_at(int32_t length)
{
    g_console_line_length = length;
    g_console_line[length] = '_';
    g_console_line[length + 1] = '\0';
}

void apply_typed_char(uint8_t c)
{
    if (c == '$') {
        if (g_console_line_length > 0) {
            g_console_last_char = c;
            end_line_at(g_console_line_length - 1);
        }
        return;
    }
    g_console_last_char = c;
    if (g_console_line_length >= k_console_line_max)
        return;  // the line is full: further characters are ignored
    g_console_line[g_console_line_length] = char(c);
    end_line_at(g_console_line_length + 1);
}

void edit_line()
{
    uint8_t c = read_typed_char();
    if (c == 0) {
        g_console_last_char = 0;
    } else if (c == g_console_last_char) {
        if (g_console_repeat_tick < g_ticks) {
            g_console_repeat_tick = g_ticks + 2;
            apply_typed_char(c);
        }
    } else {
        g_console_repeat_tick = g_ticks + 30;
        apply_typed_char(c);
    }
}

void run_line()
{
    g_console_line[g_console_line_length] = '\0';  // the cursor comes off
    console_log("%s", g_console_line);
    if (!run_console_command_table(g_console_line))
        console_log("error");
    end_line_at(0);
}

} // namespace

void run_console_command()
{
    edit_line();
    if (!down(k_key_return)) {
        g_console_enter_latch = 1;
    } else if (g_console_enter_latch == 1) {
        g_console_enter_latch = 0;
        run_line();
    }
}

void draw_console()
{
    if (g_console_shown != 1)
        return;
    if (!g_d3d_device) {
        run_console_command();
        return;
    }
    begin_full_light(k_light_slots);

    const float h = float(g_screen_height);
    const float x0 = float((g_screen_width - 600) / 2);
    draw_colored_rect(x0, h - 194, x0 + 600, h - 62, 0.1f, 0.1f, 0.1f, 0.6f, k_rect_plain);
    run_console_command();
    draw_sprite_text(&g_sprite_font, x0 + 10, h - 74, g_console_line, 0, 1, 0, 1);
    for (int i = 0; i < k_console_history_lines; ++i)
        draw_sprite_text(&g_sprite_font, x0 + 10, h - 90 - 12.0f * float(i), g_console_history[i], 1, 1, 1, 1);

    end_full_light(k_light_slots);
}
