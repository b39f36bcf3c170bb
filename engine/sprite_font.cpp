#include "engine/sprite_font.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "platform/render_device.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr sprite_font blank_sprite_font()
{
    sprite_font font{};
    for (int32_t& w : font.width)
        w = k_sprite_font_space;
    for (int32_t& slot : font.glyphs)
        slot = -1;
    return font;
}

// Frees the glyph slots that still hold the font's glyphs (a font other than g_sprite_font
// loses its slots to a texture pack that replaces the table).
void free_glyphs(sprite_font* font)
{
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        const int32_t slot = font->glyphs[i];
        font->glyphs[i] = -1;
        if (slot < 0 || slot >= g_texture_count)
            continue;
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ":%d", k_sprite_font_first + i);
        const std::string_view name = g_textures[slot].name;
        if (name.ends_with(suffix))
            free_texture(slot);
    }
}

constexpr const char* k_no_font = "pismo bez znakov";

// The glyph entries, in character order, each into a slot of its own. Stops at the first entry
// that cannot be read.
void read_glyphs(sprite_font* font, const char* path, packed_stream* stream)
{
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        char name[k_texture_name_size];
        std::snprintf(name, sizeof name, "%.100s:%d", path, k_sprite_font_first + i); // the path and the character
        const int32_t slot = append_texture_slot(name);
        if (slot < 0)
            return;
        const int32_t result = read_texture_pixels(slot, stream);
        if (g_textures[slot].surface) {
            font->glyphs[i] = slot;
        } else {
            free_texture(slot); // an empty slot, never mistaken for the font's
        }
        if (result != 0) {
            const std::string where = "znak " + std::to_string(k_sprite_font_first + i);
            report_damaged_file(path, where.c_str(), "znaky pred nim");
            return;
        }
    }
}

} // namespace

sprite_font g_sprite_font = blank_sprite_font();

int32_t load_sprite_font(sprite_font* font, const char* path)
{
    if (!font)
        return -1;
    free_glyphs(font);
    *font = blank_sprite_font();
    packed_stream* stream = path ? open_data_file(path, k_no_font) : nullptr;
    if (!stream)
        return -1;

    int32_t width[k_sprite_font_glyphs], metric[k_sprite_font_glyphs];
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        const int64_t w = stream_read_u32le(stream), m = stream_read_u32le(stream);
        if (w < 0 || m < 0) {
            report_damaged_file(path, "sirky znakov", k_no_font);
            stream_close(stream);
            return -1;
        }
        width[i] = static_cast<int32_t>(static_cast<uint32_t>(w));
        metric[i] = static_cast<int32_t>(static_cast<uint32_t>(m));
    }
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        if (width[i] < 0 || width[i] > k_sprite_font_max_width) {
            console_log("%.100s: zla sirka znaku %d", path, k_sprite_font_first + i);
            width[i] = k_sprite_font_space;
        }
        font->width[i] = width[i];
        font->second_metric[i] = metric[i];
    }
    read_glyphs(font, path, stream);
    stream_close(stream);
    return 1;
}

void draw_sprite_text(const sprite_font* font, float x, float y, const char* text, float r, float g, float b, float a)
{
    if (!font || !text)
        return;
    render_device* d = g_d3d_device;
    if (d) {
        d->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::point);
        d->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::point);
    }
    float pen = x;
    for (const char* p = text; *p; ++p) {
        const int c = static_cast<signed char>(*p);
        if (c == ' ' || c < k_sprite_font_first || c >= k_sprite_font_first + k_sprite_font_glyphs) {
            pen += k_sprite_font_space;
            continue;
        }
        draw_texture_direct_screen(font->glyphs[c - k_sprite_font_first], pen, y, a, 1.0f, r, g, b);
        pen += static_cast<float>(font->width[c - k_sprite_font_first]);
    }
    if (d) {
        d->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
        d->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::linear);
    }
}

int32_t sprite_text_width(const sprite_font* font, const char* text)
{
    if (!font || !text)
        return 0;
    int32_t width = 0;
    for (const char* p = text; *p; ++p) {
        const int c = static_cast<signed char>(*p);
        if (c != ' ' && c >= k_sprite_font_first && c < k_sprite_font_first + k_sprite_font_widths)
            width += font->width[c - k_sprite_font_first];
        else
            width += k_sprite_font_space;
    }
    return width;
}
