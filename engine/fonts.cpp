#include "engine/fonts.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/font_glyphs.h"
#include "engine/render_context.h"
#include "platform/render_device.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

font_record g_font_large = {};
font_record g_font_small = {};

namespace {

// The states text is drawn with, set for one draw and restored when the scope ends: lit by the
// material's emissive colour alone, textured by the atlas's alpha, blended, no depth test, and
// positioned in back-buffer pixels (pixel centres on whole numbers) by an orthographic
// projection over the whole target.
class text_draw_scope {
public:
    explicit text_draw_scope(render_device& d)
        : d_(d), material_(d.get_material()), texture_(d.get_texture()), viewport_(d.get_viewport()),
          lighting_(d, render_state::lighting, 1u), z_enable_(d, render_state::z_enable, z_mode::off),
          z_write_(d, render_state::z_write, 0u), blend_(d, render_state::alpha_blend, 1u),
          src_blend_(d, render_state::src_blend, blend_factor::src_alpha),
          dest_blend_(d, render_state::dest_blend, blend_factor::inv_src_alpha),
          alpha_test_(d, render_state::alpha_test, 1u), alpha_ref_(d, render_state::alpha_ref, 1u),
          alpha_func_(d, render_state::alpha_func, compare_func::greater_equal),
          cull_(d, render_state::cull_mode, cull_mode::none), fill_(d, render_state::fill_mode, fill_mode::solid),
          colour_op_(d, texture_stage_state::colour_op, texture_op::modulate),
          colour_arg1_(d, texture_stage_state::colour_arg1, texture_arg::texture),
          colour_arg2_(d, texture_stage_state::colour_arg2, texture_arg::diffuse),
          alpha_op_(d, texture_stage_state::alpha_op, texture_op::modulate),
          alpha_arg1_(d, texture_stage_state::alpha_arg1, texture_arg::texture),
          alpha_arg2_(d, texture_stage_state::alpha_arg2, texture_arg::diffuse),
          min_filter_(d, texture_stage_state::min_filter, texture_filter::point),
          mag_filter_(d, texture_stage_state::mag_filter, texture_filter::point),
          mip_filter_(d, texture_stage_state::mip_filter, texture_filter::none),
          address_u_(d, texture_stage_state::address_u, texture_address::clamp),
          address_v_(d, texture_stage_state::address_v, texture_address::clamp),
          world_(d, transform_kind::world, matrix_identity()), view_(d, transform_kind::view, matrix_identity()),
          projection_(d, transform_kind::projection, pixel_projection(d))
    {
        d.set_viewport({0, 0, d.width(), d.height(), 0.0f, 1.0f});
    }

    ~text_draw_scope()
    {
        d_.set_viewport(viewport_);
        d_.set_texture(texture_);
        d_.set_material(material_);
    }

    text_draw_scope(const text_draw_scope&) = delete;
    text_draw_scope& operator=(const text_draw_scope&) = delete;

private:
    // Pixel (x, y) of the view, y down, to clip space: the view's corner (g_view_x, g_view_y)
    // is pixel (0, 0).
    static matrix4 pixel_projection(const render_device& d)
    {
        const float width = static_cast<float>(d.width()), height = static_cast<float>(d.height());
        matrix4 m = matrix_identity();
        m.m[0][0] = 2.0f / width;
        m.m[1][1] = -2.0f / height;
        m.m[3][0] = -1.0f + 2.0f * static_cast<float>(g_view_x) / width;
        m.m[3][1] = 1.0f - 2.0f * static_cast<float>(g_view_y) / height;
        return m;
    }

    render_device& d_;
    device_material material_;
    device_texture* texture_;
    device_viewport viewport_;
    render_state_guard lighting_, z_enable_, z_write_, blend_, src_blend_, dest_blend_, alpha_test_, alpha_ref_,
        alpha_func_, cull_, fill_;
    stage_state_guard colour_op_, colour_arg1_, colour_arg2_, alpha_op_, alpha_arg1_, alpha_arg2_, min_filter_,
        mag_filter_, mip_filter_, address_u_, address_v_;
    transform_guard world_, view_, projection_;
};

// The look of the record's italic and antialiased flags, opened on first use.
font_style* use_style(font_record* font)
{
    const int index = (font->italic ? 2 : 0) + (font->antialiased ? 1 : 0);
    if (!font->styles[index]) {
        std::string error;
        auto style = font_style_open(font->face, font->height, font->italic != 0, font->antialiased != 0, error);
        if (!style->face)
            console_log("font %.100s %d: %.100s", font->face, static_cast<int>(font->height), error.c_str());
        font->styles[index] = style.release();
    }
    font->font = font->styles[index];
    return font->font;
}

void free_styles(font_record* font)
{
    for (font_style*& style : font->styles) {
        font_style_close(std::unique_ptr<font_style>(style), g_d3d_device);
        style = nullptr;
    }
    font->font = nullptr;
}

void copy_name(char (&to)[k_font_name_size], const char* from)
{
    std::snprintf(to, sizeof to, "%s", from ? from : "");
}

int32_t measure(font_record* font, const char* text)
{
    if (font->font)
        font_style_use_code_page(*font->font, std::strcmp(g_language, "sk") == 0 ? 1250 : 1252);
    const int32_t width = font->font ? font_style_width(*font->font, text) : 0;
    font->extent = {width, font->height};
    return width;
}

// Two triangles per glyph with pixels, in back-buffer pixels.
void draw_glyphs(font_style& style, render_device& device, int32_t x, int32_t y, const char* text, uint32_t colour)
{
    device_texture* atlas = font_style_prepare(style, device, text);
    if (!atlas)
        return;
    static std::vector<device_vertex> vertices;
    vertices.clear();
    const float scale = 1.0f / static_cast<float>(style.atlas_size);
    int32_t pen = x;
    for (const char* c = text; *c; ++c) {
        const font_glyph& g = style.glyphs[static_cast<uint8_t>(*c)];
        if (g.placed) {
            // Pixel centres lie on whole numbers: a glyph's pixel square starts half a pixel before.
            const float x0 = static_cast<float>(pen + g.left) - 0.5f;
            const float y0 = static_cast<float>(y + g.top) - 0.5f;
            const float x1 = x0 + static_cast<float>(g.width), y1 = y0 + static_cast<float>(g.height);
            const float u0 = static_cast<float>(g.atlas_x) * scale, v0 = static_cast<float>(g.atlas_y) * scale;
            const float u1 = static_cast<float>(g.atlas_x + g.width) * scale;
            const float v1 = static_cast<float>(g.atlas_y + g.height) * scale;
            const device_vertex a{x0, y0, 0.5f, 0, 0, -1, u0, v0}, b{x1, y0, 0.5f, 0, 0, -1, u1, v0};
            const device_vertex c0{x0, y1, 0.5f, 0, 0, -1, u0, v1}, d{x1, y1, 0.5f, 0, 0, -1, u1, v1};
            vertices.insert(vertices.end(), {a, b, c0, b, d, c0});
        }
        pen += g.advance;
    }
    if (vertices.empty())
        return;

    device_material material{};
    material.diffuse.a = 1.0f;
    material.emissive = {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                         static_cast<float>((colour >> 16) & 0xFF) / 255.0f, 0.0f};
    text_draw_scope scope(device);
    device.set_texture(atlas);
    device.set_material(material);
    device.draw_primitive(primitive_type::triangle_list, vertices.data(), static_cast<uint32_t>(vertices.size()));
}

} // namespace

void font_create(font_record* font, const char* file, const char* face, int32_t height)
{
    if (!font)
        return;
    free_styles(font);
    copy_name(font->face, face);
    copy_name(font->file, file);
    if (font->file[0] && !text_add_font_file(font->file))
        console_log("font %.100s: nemozem pridat subor", font->file);
    font->dc = nullptr;
    font->extent = {0, 0};
    font->height = height;
    font->italic = 0;
    font->antialiased = 0;
    use_style(font);
}

void font_remove(font_record* font)
{
    if (!font)
        return;
    if (font->file[0])
        text_remove_font_file(font->file);
    free_styles(font);
    font->dc = nullptr;
}

void font_set_italic(font_record* font)
{
    if (!font || !font->font)
        return;
    font->italic = 1;
    font->antialiased = 0;
    use_style(font);
}

void font_set_normal(font_record* font)
{
    if (!font || !font->font)
        return;
    font->italic = 0;
    font->antialiased = 1;
    use_style(font);
}

void font_begin(font_record* font)
{
    if (!font)
        return;
    font->dc = g_d3d_device;
    font_set_normal(font);
}

void font_end(font_record* font)
{
    if (font)
        font->dc = nullptr;
}

void (*g_text_drawn)(const text_draw& text) = nullptr;

int32_t font_text_out(font_record* font, int32_t x, int32_t y, const char* text, uint32_t colour)
{
    if (!font)
        return 0;
    const int32_t width = measure(font, text);
    if (font->dc && font->font && text && *text) {
        draw_glyphs(*font->font, *font->dc, x, y, text, colour);
        if (g_text_drawn)
            g_text_drawn({text, x, y, width, font->height});
    }
    return width;
}

int32_t font_text_width(font_record* font, const char* text)
{
    return font ? measure(font, text) : 0;
}

int32_t font_measure_text(font_record* font, const char* text)
{
    return font_text_width(font, text);
}
