// The sprite font: small glyph textures for the characters 33 to 122, drawn as textured quads
// inside the scene (the console's line, interface labels).
//
// Its file, "global/main.fn", is the body of a packed stream: for each character 33 to 122 in
// order an i32 width and an i32 second metric (720 bytes), then for each character in the same
// order one pixel entry as texture packs store them (u32 width, height, format, pitch, then
// pitch × rows bytes). All numbers are little-endian.
#pragma once

#include <cstdint>

constexpr int k_sprite_font_first = 33;   // the first character with a glyph
constexpr int k_sprite_font_glyphs = 90;  // characters 33 to 122
constexpr int k_sprite_font_widths = 91;  // characters 33 to 123
constexpr int32_t k_sprite_font_space = 8; // the advance of a space and of characters without a width
constexpr int32_t k_sprite_font_max_width = 1024;

struct sprite_font {
    int32_t width[k_sprite_font_widths];         // advance in pixels, index c - 33
    int32_t second_metric[k_sprite_font_widths]; // read from the file, not used for drawing
    int32_t glyphs[k_sprite_font_glyphs];        // texture slots, index c - 33; -1 none
};

extern sprite_font g_sprite_font;

// Sets every width to 8, frees the font's glyph slots and reads the file at path (packed
// stream, mode "rp"): -1 when it cannot be opened (missing, empty or not packed) or its metrics
// are short, logged with the path, leaving the widths at 8 and no glyphs; otherwise 1. Each
// glyph gets a texture slot of its own; a glyph whose entry is empty has none, and the first bad
// or short entry ends the reading (logged), leaving the later glyphs without one. A width
// outside 0 to 1024 is logged and counts 8.
int32_t load_sprite_font(sprite_font* font, const char* path);

// Draws text from left to right, each glyph centred on the pen at (x, y) in screen pixels in
// the colour and alpha (0 to 1), with point filtering; afterwards the filtering of stage 0 is
// linear. A space or a character outside 33 to 122 (bytes 128 to 255 included) draws nothing
// and advances 8; any other advances by its width.
void draw_sprite_text(const sprite_font* font, float x, float y, const char* text, float r, float g, float b, float a);

// The sum of the advances: width[c - 33] for a character c from 33 to 123 other than a space,
// else 8 (so character 123 counts 8 though it is not drawn).
int32_t sprite_text_width(const sprite_font* font, const char* text);
