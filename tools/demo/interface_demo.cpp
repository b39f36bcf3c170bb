#include "tools/demo/demo_data.h"

#include "core/game_interface.h"
#include "interface/interface_images.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "platform/text_renderer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return a << 24 | std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
}

constexpr uint32_t k_gold = 0xFFE8C060u;
constexpr uint32_t k_marker = 0xFFD03020u;

struct canvas {
    uint32_t width, height;
    std::vector<uint32_t> texels;

    canvas(uint32_t w, uint32_t h, uint32_t fill) : width(w), height(h), texels(size_t(w) * h, fill) {}

    void rect(int x0, int y0, int x1, int y1, uint32_t colour)
    {
        for (int y = std::max(y0, 0); y < std::min(y1, int(height)); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, int(width)); ++x)
                texels[size_t(y) * width + size_t(x)] = colour;
    }

    void save(const std::string& name) const
    {
        require(write_image_file(name.c_str(), texels.data(), width, height), name);
    }
};

// The label font; null where no face is installed (the images then go without labels).
text_face* label_face()
{
    static std::unique_ptr<text_face> face = [] {
        text_face_request request;
        request.family = "sans";
        request.cell_height = 14;
        std::string error;
        return text_face::open(request, error);
    }();
    return face.get();
}

// Writes the text centred on the canvas in the colour.
void label(canvas& c, const std::string& text, uint32_t colour)
{
    text_face* face = label_face();
    if (!face)
        return;
    std::vector<text_glyph> glyphs(text.size());
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        face->render(uint8_t(text[i]), glyphs[i]);
        width += glyphs[i].advance;
    }
    int pen = (int(c.width) - width) / 2;
    const int top = (int(c.height) - face->cell_height()) / 2;
    for (const text_glyph& g : glyphs) {
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                const int px = pen + g.left + x, py = top + g.top + y;
                const uint8_t cover = g.coverage[size_t(y) * size_t(g.width) + size_t(x)];
                if (cover > 96 && px >= 0 && py >= 0 && px < int(c.width) && py < int(c.height))
                    c.texels[size_t(py) * c.width + size_t(px)] = colour;
            }
        pen += g.advance;
    }
}

// A panel tile: red follows the tile's column, green its row, blue the panel, with a faint grid
// line at the tile's top and left, so that a tile in the wrong place breaks the gradient.
void write_panel_tile(const panel_layout& panel, int number, int column, int row)
{
    canvas c(k_panel_tile_side, k_panel_tile_side, 0);
    for (uint32_t y = 0; y < c.height; ++y)
        for (uint32_t x = 0; x < c.width; ++x) {
            const uint32_t px = uint32_t(column * k_panel_tile_side) + x, py = uint32_t(row * k_panel_tile_side) + y;
            c.texels[y * c.width + x] = argb(235, 40 + px * 160 / 448, 30 + py * 160 / 704, 40 + uint32_t(number) * 25);
        }
    c.rect(0, 0, 64, 1, argb(235, 20, 20, 20));
    c.rect(0, 0, 1, 64, argb(235, 20, 20, 20));
    c.save(panel_tile_name(panel, column, row));
}

// Which sides of a frame piece face outwards.
enum side : unsigned { k_top = 1, k_bottom = 2, k_left = 4 };

// A frame piece: dark and translucent with a gold band on its outer sides and a red marker in
// its left half, so that a piece drawn mirrored or upside down shows it.
void write_frame_piece(const std::string& name, uint32_t width, uint32_t height, unsigned outer)
{
    canvas c(width, height, argb(200, 30, 24, 20));
    const int w = int(width), h = int(height);
    if (outer & k_top)
        c.rect(0, 0, w, 6, k_gold);
    if (outer & k_bottom)
        c.rect(0, h - 6, w, h, k_gold);
    if (outer & k_left)
        c.rect(0, 0, 6, h, k_gold);
    c.rect(10, h / 2 - 3, 16, h / 2 + 3, k_marker);
    c.save(name);
}

// A button with its label; the highlighted form is brighter.
void write_button(const std::string& name, uint32_t width, uint32_t height, const std::string& text, bool highlighted)
{
    const uint32_t base = highlighted ? 110 : 60;
    canvas c(width, height, argb(255, base, base * 3 / 4, base / 2));
    c.rect(0, 0, int(width), 2, k_gold);
    c.rect(0, int(height) - 2, int(width), int(height), k_gold);
    c.rect(0, 0, 2, int(height), k_gold);
    c.rect(int(width) - 2, 0, int(width), int(height), k_gold);
    label(c, text, highlighted ? 0xFFFFFFFFu : 0xFFE0D0B0u);
    c.save(name);
}

// The list widgets of the panels and the selection window, at the sizes their places leave;
// false for another name.
bool write_list_widget(const std::string& name, const std::string& stem)
{
    const uint32_t dark = argb(220, 40, 32, 26);
    if (stem == "p_start" || stem == "p_ram") {
        // The scroll bar: a rounded cap on top, straight middle pieces of 16 pixels.
        canvas bar(12, 16, dark);
        bar.rect(0, 0, 2, 16, k_gold);
        bar.rect(10, 0, 12, 16, k_gold);
        if (stem == "p_start")
            bar.rect(0, 0, 12, 2, k_gold);
        bar.save(name);
    } else if (stem == "posuvatko") {
        canvas thumb(12, 12, k_gold);
        thumb.rect(3, 3, 9, 9, argb(255, 150, 110, 50));
        thumb.save(name);
    } else if (stem == "sipka1" || stem == "sipka2") {
        // An arrow pointing up; the lit one brighter. Drawn upside down it points down.
        canvas arrow(16, 16, 0);
        const uint32_t colour = stem == "sipka2" ? 0xFFFFF0B0u : k_gold;
        for (int y = 2; y < 14; ++y)
            arrow.rect(8 - (y - 2) / 2 - 1, y, 8 + (y - 2) / 2 + 1, y + 1, colour);
        arrow.save(name);
    } else if (stem == "t_ram" || stem == "delitko") {
        // A row's frame, as wide as the list's hover band; the divider is its top edge alone.
        canvas box(240, 16, stem == "t_ram" ? argb(90, 30, 24, 20) : 0);
        box.rect(0, 0, 240, 1, k_gold);
        if (stem == "t_ram") {
            box.rect(0, 15, 240, 16, k_gold);
            box.rect(0, 0, 1, 16, k_gold);
            box.rect(239, 0, 240, 16, k_gold);
        }
        box.save(name);
    } else if (stem == "zaplata") {
        // The title plate over the seam between two panels.
        canvas plate(96, 36, argb(255, 90, 60, 30));
        plate.rect(0, 0, 96, 3, k_gold);
        plate.rect(0, 33, 96, 36, k_gold);
        plate.rect(0, 0, 3, 36, k_gold);
        plate.rect(93, 0, 96, 36, k_gold);
        plate.save(name);
    } else if (stem == "buton1" || stem == "buton2") {
        write_button(name, 40, 20, "OK", stem == "buton2");
    } else {
        return false;
    }
    return true;
}

std::string file_stem(const std::string& name)
{
    const size_t slash = name.rfind('/');
    std::string stem = name.substr(slash + 1);
    return stem.substr(0, stem.size() - 4);
}

bool starts_with(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

bool ends_with(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A label from a file stem: "_" read as a blank, the highlight suffixes dropped.
std::string label_of(std::string stem, bool& highlighted)
{
    highlighted = false;
    for (const char* suffix : {"_b", " efect1", " efekt", " normal1", " on"}) {
        if (ends_with(stem, suffix)) {
            highlighted = std::string(suffix) != " normal1";
            stem.resize(stem.size() - std::string(suffix).size());
        }
    }
    std::replace(stem.begin(), stem.end(), '_', ' ');
    return stem;
}

// The settings screen's sliders and check boxes: a bar of 16 x 16 pieces with rounded-off ends
// ("lista1"; the middle "lista2"), the knob "bezec" and the check box, ticked when lit.
void write_settings_control(const std::string& stem, const std::string& name, bool ticked)
{
    if (stem == "bezec") {
        canvas knob(12, 24, k_gold);
        knob.rect(3, 3, 9, 21, argb(255, 120, 90, 40));
        knob.save(name);
    } else if (starts_with(stem, "stvorcek")) {
        canvas box(16, 16, k_gold);
        box.rect(2, 2, 14, 14, argb(255, 30, 24, 20));
        if (ticked)
            box.rect(4, 4, 12, 12, argb(255, 240, 220, 160));
        box.save(name);
    } else {
        canvas bar(16, 16, 0);
        bar.rect(stem == "lista1" ? 6 : 0, 6, 16, 10, k_gold);
        bar.save(name);
    }
}

void write_named_image(const std::string& name)
{
    const std::string stem = file_stem(name);
    bool highlighted = false;
    const std::string text = label_of(stem, highlighted);
    if (starts_with(name, "data/interface/text/") && stem != "pozadie") {
        const bool corner = ends_with(stem, "roh");
        const unsigned vertical = starts_with(stem, "h") ? k_top : k_bottom;
        if (corner)
            write_frame_piece(name, 64, 64, vertical | k_left);
        else if (starts_with(stem, "z"))
            write_frame_piece(name, 32, 64, k_left);
        else
            write_frame_piece(name, 64, 32, vertical);
    } else if (stem == "roh" || stem == "pas1" || stem == "pas2") {
        write_frame_piece(name, 64, 64, stem == "roh" ? k_top | k_left : k_top);
    } else if (stem == "droh" || stem == "dpas1" || stem == "dpas2") {
        write_frame_piece(name, 64, 32, stem == "droh" ? k_bottom | k_left : k_bottom);
    } else if (starts_with(name, "data/interface/settings/") && !starts_with(stem, "button ")) {
        write_settings_control(stem, name, highlighted);
    } else if (starts_with(name, "data/interface/settings/")) {
        // The settings screen's tabs: 64 x 64, drawn mirrored, so the label is written mirrored.
        write_button(name, 64, 64, text.substr(7, 5), highlighted);
    } else if (starts_with(name, "data/interface/saveload/button/") || starts_with(stem, "button ")) {
        write_button(name, 128, 32, starts_with(stem, "button ") ? text.substr(7) : text, highlighted);
    } else if (starts_with(name, "data/interface/saveload/")) {
        const bool upper = stem.find("horn") != std::string::npos;
        write_frame_piece(name, 64, 64, (upper ? k_top : k_bottom) | (starts_with(stem, "roh") ? k_left : 0u));
    } else if (starts_with(name, "data/interface/main/")) {
        write_button(name, 256, 30, text, highlighted);
    } else if (starts_with(name, "data/interface/att/") || starts_with(name, "data/buttons/buton") ||
               starts_with(name, "data/interface/tab/")) {
        write_button(name, 32, 32, text.substr(text.size() > 3 ? text.size() - 3 : 0), highlighted);
    } else if (stem == "box") {
        // An item cell: a dark well with a light rim, one cell of 32 x 32.
        canvas cell(32, 32, argb(255, 150, 140, 120));
        cell.rect(1, 1, 31, 31, argb(200, 30, 28, 26));
        cell.save(name);
    } else if (stem == "tuba" || stem == "tuba2") {
        // The frames around the health and pool bars: a gold rim, see-through inside.
        const uint32_t w = stem == "tuba" ? 34 : 19, h = stem == "tuba" ? 140 : 100;
        canvas tube(w, h, k_gold);
        tube.rect(2, 2, int(w) - 2, int(h) - 2, 0);
        tube.save(name);
    } else if (stem == "prepazka") {
        // The divider between the HUD buttons and the quick bar.
        canvas divider(8, 28, k_gold);
        divider.rect(3, 0, 5, 28, argb(255, 120, 90, 40));
        divider.save(name);
    } else if (stem == "dukatiky") {
        // The purse: a pile of coins.
        canvas coins(32, 32, 0);
        for (int i = 0; i < 3; ++i)
            coins.rect(6 + 4 * i, 20 - 6 * i, 26 - 4 * i, 26 - 6 * i, k_gold);
        coins.save(name);
    } else if (name == "data/interface/" + stem + ".tga" && write_list_widget(name, stem)) {
    } else if (stem == "pozadie") {
        canvas(64, 64, argb(255, 255, 255, 255)).save(name);
    } else {
        write_button(name, 64, 64, text.substr(0, 8), highlighted);
    }
}

} // namespace

void write_interface_demo_data()
{
    game_interface layout{};
    for (const interface_image& image : list_interface_images(layout)) {
        require(make_folder(image.name.substr(0, image.name.rfind('/')).c_str()), image.name);
        if (image.slot >= layout.panel_tiles && image.slot < layout.panel_tiles + k_panel_tiles)
            continue;  // the panel tiles are written below
        write_named_image(image.name);
    }
    // The HUD's notice icons, loaded with the interface images.
    for (const auto& [name, text] : {std::pair<const char*, const char*>{"data/interface/new_att.tga", "A"},
                                     {"data/interface/level_up.tga", "L"},
                                     {"data/interface/new_points.tga", "+"},
                                     {"data/interface/new_map.tga", "M"}})
        write_button(name, 32, 32, text, true);
    for (int p = 0; p < k_panel_count; ++p)
        for (int column = 0; column < k_panel_layouts[p].columns; ++column)
            for (int row = 0; row < k_panel_layouts[p].rows; ++row)
                write_panel_tile(k_panel_layouts[p], p, column, row);
}
