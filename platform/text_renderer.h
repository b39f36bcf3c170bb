// Text glyphs rasterised with FreeType from faces that fontconfig finds.
//
// A face is asked for by family name; when that family is not installed, fontconfig's best
// serif stands in. Sizes follow the Windows convention of a cell height: the pixels from the
// top of the font's highest ascent to the bottom of its lowest descent, so that a face of
// cell height 18 lays out lines 18 pixels apart whichever file was chosen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The Unicode code point of a Windows-1252 byte. The five bytes that the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own value.
uint32_t windows_1252_to_unicode(uint8_t byte);
// The same for Windows-1250 (Central European); its undefined bytes (0x81, 0x83, 0x88, 0x90,
// 0x98) keep their own value.
uint32_t windows_1250_to_unicode(uint8_t byte);

// Makes a font file available to later face look-ups of this process; false when it cannot be
// read as a font. Adding a file twice counts twice.
bool text_add_font_file(const char* path);
// Undoes one text_add_font_file of the file; faces already open stay usable.
void text_remove_font_file(const char* path);

struct text_face_request {
    const char* family = "serif";
    int cell_height = 16; // pixels, 1 to 512
    int weight = 400;     // 100 to 900: 400 regular, 700 bold
    bool italic = false;
    bool antialiased = true; // grey coverage; otherwise every pixel is fully on or off
};

// One rendered glyph, placed relative to the pen at the top of the cell.
struct text_glyph {
    int advance = 0;              // pen advance in whole pixels
    int left = 0;                 // from the pen to the bitmap's first column
    int top = 0;                  // from the top of the cell to the bitmap's first row
    int width = 0, height = 0;    // 0 for a glyph that draws nothing
    std::vector<uint8_t> coverage; // width × height, 0 to 255, top row first
};

class text_face {
public:
    // The face that best answers the request, or null with the reason in error (fontconfig or
    // FreeType unavailable, no scalable font installed).
    static std::unique_ptr<text_face> open(const text_face_request& request, std::string& error);
    ~text_face();
    text_face(const text_face&) = delete;
    text_face& operator=(const text_face&) = delete;

    // The font file and the family that answered the request.
    const std::string& file() const { return file_; }
    const std::string& family() const { return family_; }
    int cell_height() const { return cell_height_; }
    // Pixels from the top of the cell to the baseline.
    int ascent() const { return ascent_; }
    bool antialiased() const { return antialiased_; }

    // Renders a code point; a character the font lacks takes the font's missing-glyph shape.
    // False, with out emptied, when FreeType fails on it.
    bool render(uint32_t code_point, text_glyph& out);

private:
    struct internals;
    text_face() = default;

    std::unique_ptr<internals> inner_;
    std::string file_;
    std::string family_;
    int cell_height_ = 0;
    int ascent_ = 0;
    bool antialiased_ = true;
};
