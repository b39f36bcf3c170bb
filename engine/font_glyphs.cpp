#include "engine/font_glyphs.h"

#include "platform/render_device.h"

#include <algorithm>

namespace {

constexpr int32_t k_font_weight = 500;
constexpr uint32_t k_glyph_padding = 1; // clear texels between neighbours in the atlas

// A square power of two with room for all 256 glyphs at the cell height, italic overhang
// included.
uint32_t atlas_side(int32_t cell_height)
{
    const double needed = 256.0 * (2.0 * cell_height + 2) * (cell_height + 2);
    uint32_t side = 256;
    while (side < 4096 && static_cast<double>(side) * side < needed)
        side *= 2;
    return side;
}

void forget_atlas(font_style& style)
{
    style.atlas = nullptr;
    style.device_serial = 0;
    style.shelf_x = style.shelf_y = style.shelf_height = 0;
    for (font_glyph& g : style.glyphs)
        g.placed = false;
}

// Finds the glyph a cell on the shelves; false when the atlas is full.
bool reserve_cell(font_style& style, font_glyph& g)
{
    const uint32_t w = static_cast<uint32_t>(g.width) + k_glyph_padding;
    const uint32_t h = static_cast<uint32_t>(g.height) + k_glyph_padding;
    if (w > style.atlas_size || h > style.atlas_size)
        return false;
    if (style.shelf_x + w > style.atlas_size) {
        style.shelf_y += style.shelf_height;
        style.shelf_x = 0;
        style.shelf_height = 0;
    }
    if (style.shelf_y + h > style.atlas_size)
        return false;
    g.atlas_x = style.shelf_x;
    g.atlas_y = style.shelf_y;
    style.shelf_x += w;
    style.shelf_height = std::max(style.shelf_height, h);
    return true;
}

void copy_coverage(const font_glyph& g, const texture_lock& lock)
{
    for (int32_t row = 0; row < g.height; ++row) {
        uint8_t* texel = lock.bits + static_cast<size_t>(g.atlas_y + row) * lock.pitch + g.atlas_x * 4u;
        const uint8_t* cover = g.coverage.data() + static_cast<size_t>(row) * g.width;
        for (int32_t x = 0; x < g.width; ++x, texel += 4) {
            texel[0] = texel[1] = texel[2] = 255; // B, G, R
            texel[3] = cover[x];
        }
    }
}

} // namespace

std::unique_ptr<font_style> font_style_open(const char* family, int32_t cell_height, bool italic, bool antialiased,
                                            std::string& error)
{
    auto style = std::make_unique<font_style>();
    style->cell_height = cell_height;
    text_face_request request;
    request.family = family;
    request.cell_height = cell_height;
    request.weight = k_font_weight;
    request.italic = italic;
    request.antialiased = antialiased;
    style->face = text_face::open(request, error);
    return style;
}

void font_style_close(std::unique_ptr<font_style> style, render_device* device)
{
    if (style && style->atlas && device && device->serial() == style->device_serial)
        device->release_texture(style->atlas);
}

void font_style_use_code_page(font_style& style, uint16_t code_page)
{
    code_page = code_page == 1250 ? 1250 : 1252;
    if (style.code_page == code_page)
        return;
    style.code_page = code_page;
    for (font_glyph& g : style.glyphs)
        g = font_glyph{};
    style.shelf_x = style.shelf_y = style.shelf_height = 0;
}

const font_glyph& font_style_glyph(font_style& style, uint8_t byte)
{
    font_glyph& g = style.glyphs[byte];
    if (g.ready || !style.face)
        return g;
    g.ready = true;
    text_glyph image;
    const uint32_t code = style.code_page == 1250 ? windows_1250_to_unicode(byte) : windows_1252_to_unicode(byte);
    if (!style.face->render(code, image))
        return g;
    g.advance = image.advance;
    g.left = image.left;
    g.top = image.top;
    g.width = image.width;
    g.height = image.height;
    g.coverage = std::move(image.coverage);
    return g;
}

int32_t font_style_width(font_style& style, const char* text)
{
    int32_t width = 0;
    if (!text)
        return 0;
    for (const char* c = text; *c; ++c)
        width += font_style_glyph(style, static_cast<uint8_t>(*c)).advance;
    return width;
}

device_texture* font_style_prepare(font_style& style, render_device& device, const char* text)
{
    if (!style.face || !text)
        return nullptr;
    if (style.atlas && style.device_serial != device.serial())
        forget_atlas(style); // the texture went with the device it was made on
    if (!style.atlas) {
        style.atlas_size = atlas_side(style.cell_height);
        style.atlas = device.create_texture(style.atlas_size, style.atlas_size, texture_format::a8r8g8b8, false);
        if (!style.atlas)
            return nullptr;
        style.device_serial = device.serial();
    }

    texture_lock lock;
    bool locked = false;
    for (const char* c = text; *c; ++c) {
        font_glyph& g = style.glyphs[static_cast<uint8_t>(*c)];
        font_style_glyph(style, static_cast<uint8_t>(*c));
        if (g.placed || g.width <= 0 || g.height <= 0)
            continue;
        if (!locked && !(locked = device.lock_texture(style.atlas, lock)))
            break;
        if (!reserve_cell(style, g))
            continue;
        copy_coverage(g, lock);
        g.placed = true;
    }
    if (locked)
        device.unlock_texture(style.atlas, true);
    return style.atlas;
}
