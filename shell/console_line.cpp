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

#include <cstring>

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

constexpr int32_t k_console_text_room = 580;  // the box's width less a margin on each side

// The offset from which the rest of the text fits the box.
size_t fitting_tail(const char* text)
{
    size_t start = 0;
    while (text[start] && sprite_text_width(&g_sprite_font, text + start) > k_console_text_room)
        ++start;
    return start;
}

// The longest beginning of the text that fits the box, terminated in out.
void copy_fitting_head(const char* text, char* out, size_t size)
{
    size_t length = strnlen(text, size - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
    while (length > 0 && sprite_text_width(&g_sprite_font, out) > k_console_text_room)
        out[--length] = '\0';
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
    // Lines stay inside the box: the typed line shows its end (with the cursor), a history line
    // its beginning.
    draw_sprite_text(&g_sprite_font, x0 + 10, h - 74, g_console_line + fitting_tail(g_console_line), 0, 1, 0, 1);
    for (int i = 0; i < k_console_history_lines; ++i) {
        char line[sizeof g_console_history[i]];
        copy_fitting_head(g_console_history[i], line, sizeof line);
        draw_sprite_text(&g_sprite_font, x0 + 10, h - 90 - 12.0f * float(i), line, 1, 1, 1, 1);
    }

    end_full_light(k_light_slots);
}
