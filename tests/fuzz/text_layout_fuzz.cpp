// The run pass over any parsed text in any rectangle, on the recording device. The input is the
// rectangle x1, y1, x2, y2 and the pointer x, y (six little-endian floats, any value), a flag
// byte (first pass, no-draw, no rectangle, dialogue running), a byte choosing the glyph widths,
// then the markup text. Every row handed out holds at most 32 words of the text, every link
// registered lies inside the text and the table holds at most 16; the words are left as parsed.
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/render_context.h"
#include "platform/byte_order.h"
#include "platform/recording_device.h"
#include "script/text_window.h"
#include "script/text_window_layout.h"
#include "tests/script/fixed_advance_font.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t k_header = 6 * 4 + 2;

class row_check : public layout_visitor {
public:
    explicit row_check(const text_window& w) : w_(w) {}
    void line(const layout_row& row, float, bool) override
    {
        if (row.count < 1 || row.count > k_layout_row_words)
            std::abort();
        for (int32_t k = 0; k < row.count; ++k)
            if (row.words[k].word < 0 || row.words[k].word >= w_.word_count)
                std::abort();
    }
    void picture(int32_t index, float, float) override
    {
        if (index < 0 || index >= w_.picture_count)
            std::abort();
    }

private:
    const text_window& w_;
};

void check_links(const text_window& w)
{
    if (w.link_count > k_window_links)
        std::abort();
    for (int i = 0; i < w.link_count; ++i) {
        const window_link& l = w.links[i];
        if (l.first_word < 0 || l.first_word > l.end_word || l.end_word > l.target_word ||
            l.target_word >= w.word_count)
            std::abort();
    }
}

float read_float(const uint8_t* p)
{
    const uint32_t bits = le_u32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font font(10);
    static const auto window = std::make_unique<text_window>();
    static const auto parsed = std::make_unique<text_window>();
    if (size < k_header)
        return 0;
    g_d3d_device = &device;
    g_screen_width = 1024;
    g_screen_height = 768;

    const std::string text(reinterpret_cast<const char*>(data + k_header), size - k_header);
    parse_text_window(window.get(), text.c_str());
    window->x1 = read_float(data);
    window->y1 = read_float(data + 4);
    window->x2 = read_float(data + 8);
    window->y2 = read_float(data + 12);
    g_mouse_screen_x = read_float(data + 16);
    g_mouse_screen_y = read_float(data + 20);
    const uint8_t flags = data[24];
    window->first_pass = flags & 1;
    window->no_draw = (flags >> 1) & 1;
    window->draw_rect = ((flags >> 2) & 1) ? 0 : 1;
    g_dialogue_running = (flags >> 3) & 1;
    for (font_style* style : g_font_large.styles)
        for (int b = 0; b < 256; ++b)
            style->glyphs[b].advance = (b * 7 + data[25]) % 41;
    std::memcpy(parsed.get(), window.get(), sizeof(text_window));

    row_check rows(*window);
    lay_out_text_window(window.get(), &g_font_large, rows);
    check_links(*window);
    for (int pass = 0; pass < 2; ++pass) {
        run_text_window(window.get());
        check_links(*window);
        device.clear_recording();
    }
    if (window->word_count != parsed->word_count ||
        std::memcmp(window->words, parsed->words, sizeof window->words) != 0)
        std::abort();
    g_d3d_device = nullptr;
    return 0;
}
