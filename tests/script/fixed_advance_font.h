// The large font (or the one named) replaced, while the object lives, by one whose every byte is
// `advance` pixels wide in each look, so that layouts can be checked to the pixel whatever fonts are installed.
// Made drawable, every byte also draws one pixel at the pen's top-left corner.
#pragma once

#include "engine/font_glyphs.h"
#include "engine/fonts.h"

#include <cstdint>
#include <string>

class fixed_advance_font {
public:
    explicit fixed_advance_font(int32_t advance, font_record& font = g_font_large) : font_(font), saved_(font)
    {
        font_ = {};
        for (font_style*& style : font_.styles) {
            style = new font_style;
            for (font_glyph& glyph : style->glyphs) {
                glyph.ready = true;
                glyph.advance = advance;
            }
        }
        font_.font = font_.styles[0];
        font_.height = 18;
    }
    ~fixed_advance_font()
    {
        for (font_style* style : font_.styles)
            delete style;
        font_ = saved_;
    }
    // Each string drawn then shows on the device as one draw of six vertices per byte, the
    // first at the string's place. False where no font face can be had to draw with.
    bool make_drawable()
    {
        std::string error;
        for (font_style* style : font_.styles) {
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
    font_record& font_;
    font_record saved_;
};
