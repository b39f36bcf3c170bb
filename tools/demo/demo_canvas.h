// The demo tool's painter: an ARGB picture with the few shapes its images are made of, labels
// in the installed sans face, and the TGA writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b);
// The colour's red, green and blue times the factor (held to 255), alpha kept.
uint32_t shade(uint32_t colour, float factor);

constexpr uint32_t k_gold = 0xFFE8C060u;
constexpr uint32_t k_ink = 0xFF1A1410u;

struct canvas {
    uint32_t width, height;
    std::vector<uint32_t> texels;

    canvas(uint32_t w, uint32_t h, uint32_t fill);

    void put(int x, int y, uint32_t colour);
    // Right and bottom edges excluded.
    void rect(int x0, int y0, int x1, int y1, uint32_t colour);
    void frame(int x0, int y0, int x1, int y1, int thickness, uint32_t colour);
    // Shapes in units of 1/32 of the canvas's width, so one drawing serves every size; each is
    // filled in `fill` and ringed by `outline` one unit wide (0: no ring).
    void disc(float cx, float cy, float r, uint32_t fill, uint32_t outline = 0);
    void ring(float cx, float cy, float r0, float r1, uint32_t fill, uint32_t outline = 0);
    void bar(float x0, float y0, float x1, float y1, float half_width, uint32_t fill, uint32_t outline = 0);
    void box(float x0, float y0, float x1, float y1, uint32_t fill, uint32_t outline = 0);
    void triangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t fill, uint32_t outline = 0);
    // Left and right swapped.
    void mirror();
    // The other canvas's texels that are not fully transparent, with its top-left corner at (x, y).
    void paste(const canvas& other, int x, int y);
    // The text centred on the canvas (at most its width wide: longer text is cut at the end);
    // nothing where no face is installed.
    void label(const std::string& text, uint32_t colour, int cell_height = 14);
    void save(const std::string& name) const;

private:
    template <typename inside_fn>
    void shape(float x0, float y0, float x1, float y1, inside_fn inside, uint32_t fill, uint32_t outline);
};
