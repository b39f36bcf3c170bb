// The run pass and the draw pass of a running dialogue's window over any parsed text, two frames
// with the input held. The input is the rectangle x1, y1, x2, y2 and the pointer x, y (six
// little-endian floats, any value), a flag byte (first pass, no-draw, dialogue record, skip
// header, left button, Space, message shown), the number key held (its code), the dialogue kind,
// then the markup text. The links stay inside the text, the requested file and the name stay
// terminated and the message log keeps its bounds.
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/render_context.h"
#include "platform/byte_order.h"
#include "platform/clock.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "tests/script/fixed_advance_font.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t k_header = 6 * 4 + 3;

float float_at(const uint8_t* p)
{
    const uint32_t bits = le_u32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void check(const text_window& w)
{
    if (w.link_count > k_window_links || w.word_count < 0 || w.word_count > k_window_word_limit ||
        !std::memchr(w.requested_file, 0, sizeof w.requested_file) || !std::memchr(w.name, 0, sizeof w.name) ||
        g_message_log.count >= uint32_t(k_message_log_lines))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font font(9);
    static const auto window = std::make_unique<text_window>();
    if (size < k_header)
        return 0;
    g_d3d_device = &device;
    clock_use_manual(true);  // a run-time wait ("^unfade") moves on with every clock read
    clock_set_manual_step(16);
    g_screen_width = 1024;
    g_screen_height = 768;
    g_script_links.wait_until_released = [](bool (*)()) {
        g_mouse_left = 0;
        return true;
    };

    const std::string text(reinterpret_cast<const char*>(data + k_header), size - k_header);
    parse_text_window(window.get(), text.c_str());
    window->x1 = float_at(data);
    window->y1 = float_at(data + 4);
    window->x2 = float_at(data + 8);
    window->y2 = float_at(data + 12);
    const uint8_t flags = data[24];
    window->first_pass = flags & 1;
    window->no_draw = (flags >> 1) & 1;
    window->dialogue_record_mode = (flags >> 2) & 1;
    window->skip_header = (flags >> 3) & 1;
    window->dialogue_kind = int16_t(data[26] % 8);
    window->dialogue_node = data[26];
    g_dialogue_running = 1;
    g_message_shown = (flags >> 6) & 1;
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_key_state[data[25]] = 0x80;
    g_key_state[k_key_space] = (flags >> 5) & 1 ? 0x80 : 0;
    g_press_latches = {};
    for (int frame = 0; frame < 2; ++frame) {
        g_mouse_screen_x = float_at(data + 16);
        g_mouse_screen_y = float_at(data + 20);
        g_mouse_left = (flags >> 4) & 1;
        run_text_window(window.get());
        draw_text_window(window.get());
        check(*window);
        device.clear_recording();
    }
    clock_set_manual_step(0);
    clock_use_manual(false);
    g_d3d_device = nullptr;
    return 0;
}
