// The two interface fonts and their text, drawn over the scene through the device.
//
// Text bytes are Windows-1252, or Windows-1250 while the language is "sk". A string is laid out
// from its top-left corner by the whole-pixel advances of its glyphs, without kerning; its width
// is the sum of those advances and its height the font's cell height, for measuring and drawing
// alike. Colours are 0x00BBGGRR.
//
// Every batch of text is bracketed by font_begin and font_end. Each string is drawn at once,
// as blended glyph quads over everything drawn before it; the device's states, transforms,
// material, texture and viewport are as they were after every call.
#pragma once

#include <cstdint>
#include <string>

class render_device;
struct font_style;

constexpr int k_font_name_size = 256;

struct font_extent {
    int32_t cx, cy;
};

struct font_record {
    char face[k_font_name_size]; // the family asked for
    char file[k_font_name_size]; // a font file added for this font; may be empty
    font_style* font;            // the look in use; null before font_create and after font_remove
    render_device* dc;           // where text goes between font_begin and font_end, else null
    font_extent extent;          // the size of the last measured or drawn string
    int32_t height;              // the cell height in pixels
    uint32_t italic;             // the look in use: italic and monochrome, or upright and grey
    uint32_t antialiased;
    font_style* styles[4];       // each look, made on first use; index italic × 2 + antialiased
};

extern font_record g_font_large; // "Georgia", height 18
extern font_record g_font_small; // "Georgia", height 14

// Names the record's face and file, adds the file (when not empty) to the fonts this process
// can use, and makes the upright monochrome look at the given cell height. A face that is not
// installed falls back to an installed serif; with no font at all the record measures every
// string as 0 wide and draws nothing (logged).
void font_create(font_record* font, const char* file, const char* face, int32_t height);
// Takes the record's file back out and frees its looks; the record draws nothing afterwards.
void font_remove(font_record* font);

// The look becomes italic and monochrome, or upright and grey-antialiased.
void font_set_italic(font_record* font);
void font_set_normal(font_record* font);

// Opens a batch of text on the device (g_d3d_device) in the upright grey look.
void font_begin(font_record* font);
void font_end(font_record* font);

// Draws text with its top-left corner at pixel (x, y) of the view (from g_view_x, g_view_y of
// the target, whatever the viewport) and returns its width in pixels; the
// extent becomes its size. Outside a batch the text is measured but not drawn.
int32_t font_text_out(font_record* font, int32_t x, int32_t y, const char* text, uint32_t colour);
// The width of text in pixels in the look in use; the extent becomes its size. Both may be
// called inside or outside a batch.
int32_t font_text_width(font_record* font, const char* text);
int32_t font_measure_text(font_record* font, const char* text);

// A string drawn by font_text_out inside a batch, with its box in view pixels.
struct text_draw {
    std::string text;
    int32_t x, y, width, height;
};
// While set, called with every string font_text_out draws (the layout checks set it).
extern void (*g_text_drawn)(const text_draw& text);
