// Internal to the fonts: one look of a font (a FreeType face at one cell height, upright or
// italic, grey or monochrome), its glyphs by byte of its code page (Windows-1252 or -1250), and
// the glyph atlas texture it keeps on the device that last drew it.
#pragma once

#include "platform/text_renderer.h"

#include <cstdint>
#include <memory>
#include <vector>

class render_device;
struct device_texture;

struct font_glyph {
    bool ready = false;  // rendered (a glyph FreeType failed on stays blank)
    bool placed = false; // has its cell in the current atlas
    int32_t advance = 0;
    int32_t left = 0, top = 0;
    int32_t width = 0, height = 0;
    uint32_t atlas_x = 0, atlas_y = 0;
    std::vector<uint8_t> coverage;
};

struct font_style {
    std::unique_ptr<text_face> face; // null when no font could be had
    int32_t cell_height = 0;
    uint16_t code_page = 1252;  // 1252 or 1250: how the bytes of glyphs are read
    font_glyph glyphs[256];

    // The atlas: white texels whose alpha is the coverage, packed in shelves.
    uint64_t device_serial = 0; // the device the atlas was made on; 0 for none
    device_texture* atlas = nullptr;
    uint32_t atlas_size = 0;
    uint32_t shelf_x = 0, shelf_y = 0, shelf_height = 0;
};

// A look of `family`; its face is null (and the reason in error) when none can be had.
std::unique_ptr<font_style> font_style_open(const char* family, int32_t cell_height, bool italic, bool antialiased,
                                            std::string& error);
// Frees the look and its atlas; the atlas texture is released when `device` is the one it was
// made on.
void font_style_close(std::unique_ptr<font_style> style, render_device* device);

// Reads bytes in another code page (1250, or 1252 for any other value) from now on: every glyph
// is rendered again at its next use and placed anew in the atlas, which is kept.
void font_style_use_code_page(font_style& style, uint16_t code_page);

// The glyph of a byte, rendered on first use.
const font_glyph& font_style_glyph(font_style& style, uint8_t byte);
// The sum of the advances of the bytes of text (null counts as empty).
int32_t font_style_width(font_style& style, const char* text);

// Puts the glyphs of text that have pixels into the atlas of `device`, making the atlas (or
// making it anew after a change of device) first; glyphs that find no room stay unplaced and
// are not drawn. Null when there is no atlas.
device_texture* font_style_prepare(font_style& style, render_device& device, const char* text);
