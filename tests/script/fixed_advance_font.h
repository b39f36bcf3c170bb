// The large font replaced, while the object lives, by one whose every byte is `advance` pixels
// wide in each look, so that layouts can be checked to the pixel whatever fonts are installed.
// Made drawable, every byte also draws one pixel at the pen's top-left corner.
#pragma once

#include "engine/font_glyphs.h"
#include "engine/fonts.h"

#include <cstdint>
#include <string>

class fixed_advance_font {
public:
    explicit fixed_advance_font(int32_t advance) : saved_(g_font_large)
    {
        g_font_large = {};
        for (font_style*& style : g_font_large.styles) {
            style = new font_style;
            for (font_glyph& glyph : style->glyphs) {
                glyph.ready = true;
                glyph.advance = advance;
            }
        }
        g_font_large.font = g_font_large.styles[0];
        g_font_large.height = 18;
    }
    ~fixed_advance_font()
    {
        for (font_style* style : g_font_large.styles)
            delete style;
        g_font_large = saved_;
    }
    // Each string drawn then shows on the device as one draw of six vertices per byte, the
    // first at the string's place. False where no font face can be had to draw with.
    bool make_drawable()
    {
        std::string error;
        for (font_style* style : g_font_large.styles) {
            style->face = text_face::open({}, error);
            if (!style->face)
                return false;
            style->cell_height = 18;
            for (font_glyph& glyph : style->glyphs) {
                glyph.width = glyph.height = 1;
                glyph.coverage.assign(1, 255);
            }
        }
        return true;
    }
    fixed_advance_font(const fixed_advance_font&) = delete;
    fixed_advance_font& operator=(const fixed_advance_font&) = delete;

private:
    font_record saved_;
};
