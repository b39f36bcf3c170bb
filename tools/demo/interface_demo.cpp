#include "tools/demo/demo_canvas.h"
#include "tools/demo/demo_data.h"

#include "core/game_interface.h"
#include "interface/interface_images.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// A panel background: one dark leather picture with a gold rim on its outer edge, cut into its
// tiles so that they join without a seam. The menu's panel carries the game's title above its
// buttons.
void write_panel(const panel_layout& panel, bool menu)
{
    const int width = panel.columns * k_panel_tile_side, height = panel.rows * k_panel_tile_side;
    canvas c(uint32_t(width), uint32_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int edge = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
            const uint32_t grain = (uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 29;
            c.put(x, y, edge < 3 ? k_gold : edge < 5 ? k_ink : argb(255, 44 + grain, 34 + grain, 28 + grain));
        }
    if (menu) {
        canvas title(uint32_t(width), 64, 0), subtitle(uint32_t(width), 24, 0);
        title.label("ZORV", k_gold, 48);
        subtitle.label("a tale of the old gate", 0xFFE0D0B0u, 16);
        c.paste(title, 0, 120);
        c.paste(subtitle, 0, 190);
    }
    for (int column = 0; column < panel.columns; ++column)
        for (int row = 0; row < panel.rows; ++row) {
            canvas tile(k_panel_tile_side, k_panel_tile_side, 0);
            for (int y = 0; y < k_panel_tile_side; ++y)
                for (int x = 0; x < k_panel_tile_side; ++x)
                    tile.put(x, y, c.texels[size_t(row * k_panel_tile_side + y) * size_t(width) +
                                            size_t(column * k_panel_tile_side + x)]);
            tile.save(panel_tile_name(panel, column, row));
        }
}

// Which sides of a frame piece face outwards.
enum side : unsigned { k_top = 1, k_bottom = 2, k_left = 4 };

// A frame piece: dark (translucent unless said) with a gold band on its outer sides.
void write_frame_piece(const std::string& name, uint32_t width, uint32_t height, unsigned outer,
                       uint32_t fill = argb(200, 30, 24, 20))
{
    canvas c(width, height, fill);
    const int w = int(width), h = int(height);
    if (outer & k_top)
        c.rect(0, 0, w, 6, k_gold);
    if (outer & k_bottom)
        c.rect(0, h - 6, w, h, k_gold);
    if (outer & k_left)
        c.rect(0, 0, 6, h, k_gold);
    c.save(name);
}

bool starts_with(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

bool ends_with(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A button with its label; the highlighted form is brighter.
canvas button(uint32_t width, uint32_t height, const std::string& text, bool highlighted)
{
    const uint32_t base = highlighted ? 110 : 60;
    canvas c(width, height, argb(255, base, base * 3 / 4, base / 2));
    c.rect(0, 0, int(width), 2, k_gold);
    c.rect(0, int(height) - 2, int(width), int(height), k_gold);
    c.rect(0, 0, 2, int(height), k_gold);
    c.rect(int(width) - 2, 0, int(width), int(height), k_gold);
    c.label(text, highlighted ? 0xFFFFFFFFu : 0xFFE0D0B0u, height < 24 ? 12 : 14);
    return c;
}

void write_button(const std::string& name, uint32_t width, uint32_t height, const std::string& text, bool highlighted)
{
    button(width, height, text, highlighted).save(name);
}

// The HUD's buttons, 32 x 32: each shows what it opens. Numbers 5 and 7 are loaded but not shown.
void write_hud_button(const std::string& name, int number)
{
    canvas c = button(32, 32, "", false);
    const uint32_t light = 0xFFF0E0B0u;
    switch (number) {
    case 1:  // the menu: three lines
        for (int i = 0; i < 3; ++i)
            c.bar(9.0f, 10.0f + 6.0f * float(i), 23.0f, 10.0f + 6.0f * float(i), 1.3f, light);
        break;
    case 2:  // the inventory: a bag
        c.disc(16.0f, 19.0f, 8.0f, 0xFF9A6A38u, k_ink);
        c.triangle(12.0f, 7.0f, 20.0f, 7.0f, 16.0f, 12.0f, 0xFF9A6A38u, k_ink);
        break;
    case 3:  // the character: a figure
        c.disc(16.0f, 9.0f, 4.0f, light);
        c.triangle(16.0f, 12.0f, 24.0f, 27.0f, 8.0f, 27.0f, light);
        break;
    case 4:  // the quest log: a book
        c.box(8.0f, 7.0f, 24.0f, 25.0f, 0xFF3060A0u, k_ink);
        c.bar(11.0f, 7.0f, 11.0f, 25.0f, 0.8f, k_gold);
        break;
    case 6:  // the attunements: a star
        c.triangle(16.0f, 5.0f, 25.0f, 22.0f, 7.0f, 22.0f, 0xFFB080F0u);
        c.triangle(16.0f, 27.0f, 7.0f, 10.0f, 25.0f, 10.0f, 0xFFB080F0u);
        break;
    case 8:  // the dream world: a moon
        c.disc(16.0f, 16.0f, 9.0f, light);
        c.disc(20.0f, 13.0f, 8.0f, argb(255, 60, 45, 30));
        break;
    default:
        c.label(std::to_string(number), light);
        break;
    }
    c.save(name);
}

// The new-hero page's bar pieces (the end cap, the middle piece, the separator), its plus and
// minus boxes and the looks' arrow (pointing left; mirrored it points right); lit forms brighter.
void write_new_hero_piece(const std::string& name, const std::string& stem, bool lit)
{
    const uint32_t dark = argb(230, 36, 28, 22), rim = lit ? 0xFFFFF0B0u : k_gold;
    if (stem == "01" || stem == "02") {
        canvas piece(16, 26, dark);
        piece.rect(0, 0, 16, 2, rim);
        piece.rect(0, 24, 16, 26, rim);
        if (stem == "01")
            piece.rect(0, 0, 2, 26, rim);
        piece.save(name);
    } else if (stem == "03") {
        canvas line(4, 26, 0);
        line.rect(1, 0, 3, 26, rim);
        line.save(name);
    } else if (starts_with(stem, "plus") || starts_with(stem, "minus")) {
        canvas box(16, 16, dark);
        box.frame(0, 0, 16, 16, 1, rim);
        box.rect(4, 7, 12, 9, rim);
        if (starts_with(stem, "plus"))
            box.rect(7, 4, 9, 12, rim);
        box.save(name);
    } else {
        canvas arrow(32, 32, 0);
        arrow.triangle(6.0f, 16.0f, 24.0f, 6.0f, 24.0f, 26.0f, rim, k_ink);
        arrow.save(name);
    }
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
    } else if (stem == "delitko") {
        // The character panel's divider: a line as wide as the list's hover band, through the
        // image's middle, which the panel places halfway between two rows of text.
        canvas line(240, 16, 0);
        line.rect(0, 8, 240, 9, k_gold);
        line.save(name);
    } else if (stem == "t_ram") {
        // An active attunement's slot, drawn 13 pixels below its name's top: the box is the
        // image's rows 2 to 17, so that the name's line lies inside it.
        canvas slot(240, 32, 0);
        slot.rect(0, 2, 240, 18, argb(150, 30, 24, 20));
        slot.frame(0, 2, 240, 18, 1, k_gold);
        slot.save(name);
    } else if (stem == "zaplata") {
        // A stud on the left panel's rim beside the seam; the right panel, drawn after it,
        // covers the image's right part.
        canvas plate(96, 36, 0);
        for (int dy = -8; dy <= 8; ++dy) {
            const int half = 8 - (dy < 0 ? -dy : dy);
            plate.rect(46 - half - 1, 18 + dy, 46 + half + 2, 19 + dy, k_ink);
            plate.rect(46 - half, 18 + dy, 46 + half + 1, 19 + dy, k_gold);
        }
        plate.save(name);
    } else if (stem == "buton1" || stem == "buton2") {
        // The selection's close button, drawn 32 right of and 16 below the left and top of its
        // 40 x 20 hit box: the button fills the image's upper left.
        canvas close(64, 32, 0);
        close.paste(button(40, 20, "OK", stem == "buton2"), 0, 0);
        close.save(name);
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

// The framed pages' pieces at the sizes their pitches leave: 32-pixel corners and bars (the
// bottom bar 22 high, so that it ends on the page's bottom edge), opaque; the divider's joint
// (16 x 32) and line (8 x 32) pieces, a gold rule on see-through ground.
void write_page_frame_piece(const std::string& name, const std::string& stem)
{
    const uint32_t ground = argb(255, 30, 24, 20);
    if (starts_with(stem, "lina")) {
        const bool joint = starts_with(stem, "lina spoj");
        canvas rule(joint ? 16 : 8, 32, 0);
        const int x = joint ? 9 : 2;
        rule.rect(x, 0, x + 2, 32, k_gold);
        if (joint)
            rule.rect(3, 0, 14, 3, k_gold);
        rule.save(name);
    } else if (starts_with(stem, "roh")) {
        write_frame_piece(name, 32, 32, (stem.find("horn") != std::string::npos ? k_top : k_bottom) | k_left, ground);
    } else if (starts_with(stem, "lista bocna")) {
        write_frame_piece(name, 32, 32, k_left, ground);
    } else {
        const bool top = stem.find("horn") != std::string::npos;
        write_frame_piece(name, 32, top ? 32 : 22, top ? k_top : k_bottom, ground);
    }
}

// The frames around the HUD's bars, drawn centred on points the bars do not share: the health
// bar (30 x 132) lies 30 pixels left of and 102 up from its frame image's centre, the pool bar
// (15 x 95) 7 left of and 39 up from its centre. A gold rim two pixels wide rings each bar;
// the rest of the image is see-through.
void write_bar_frame(const std::string& name, bool health)
{
    const int width = health ? 64 : 32, height = health ? 256 : 128;
    const int left = width / 2 - (health ? 30 : 7), top = height / 2 - (health ? 102 : 39);
    const int right = left + (health ? 30 : 15), bottom = top + (health ? 132 : 95);
    canvas tube(uint32_t(width), uint32_t(height), 0);
    tube.frame(left - 2, top - 2, right + 2, bottom + 2, 2, k_gold);
    tube.save(name);
}

void write_named_image(const std::string& name)
{
    const std::string stem = file_stem(name);
    bool highlighted = false;
    const std::string text = label_of(stem, highlighted);
    if (starts_with(name, "data/interface/text/") && stem != "pozadie") {
        // The text windows' frame: the gold band alone, over the window's own dark fill.
        const bool corner = ends_with(stem, "roh");
        const unsigned vertical = starts_with(stem, "h") ? k_top : k_bottom;
        if (corner)
            write_frame_piece(name, 64, 64, vertical | k_left, 0);
        else if (starts_with(stem, "z"))
            write_frame_piece(name, 32, 64, k_left, 0);
        else
            write_frame_piece(name, 64, 32, vertical, 0);
    } else if (stem == "roh" || stem == "pas1" || stem == "pas2") {
        write_frame_piece(name, 64, 64, stem == "roh" ? k_top | k_left : k_top);
    } else if (stem == "droh" || stem == "dpas1" || stem == "dpas2") {
        write_frame_piece(name, 64, 32, stem == "droh" ? k_bottom | k_left : k_bottom);
    } else if (starts_with(name, "data/interface/settings/") && !starts_with(stem, "button ")) {
        write_settings_control(stem, name, highlighted);
    } else if (starts_with(name, "data/interface/settings/")) {
        // The settings screen's tabs: 64 x 64, drawn mirrored, so the label is written mirrored.
        canvas tab = button(64, 64, "", highlighted), word(60, 64, 0);
        word.label(text.substr(7), highlighted ? 0xFFFFFFFFu : 0xFFE0D0B0u, 13);
        tab.paste(word, 2, 0);
        tab.mirror();
        tab.save(name);
    } else if (starts_with(name, "data/interface/saveload/button/") || starts_with(stem, "button ")) {
        // As large as the pages' hit boxes, which lie 14 pixels apart.
        write_button(name, 96, 24, starts_with(stem, "button ") ? text.substr(7) : text, highlighted);
    } else if (starts_with(name, "data/interface/saveload/")) {
        write_page_frame_piece(name, stem);
    } else if (starts_with(name, "data/interface/main/")) {
        write_button(name, 256, 30, text, highlighted);
    } else if (starts_with(name, "data/buttons/buton")) {
        write_hud_button(name, std::atoi(stem.c_str() + 5));
    } else if (starts_with(name, "data/interface/tab/")) {
        write_new_hero_piece(name, stem, ends_with(stem, "2") || ends_with(stem, "efekt"));
    } else if (starts_with(name, "data/interface/pull/")) {
        // The quick-slot pull-down's options, one 32-pixel cell each: a potion, a focus, a
        // sword and a cross to empty the slot.
        canvas cell = button(32, 32, "", false);
        if (stem == "remove") {
            cell.bar(9.0f, 9.0f, 23.0f, 23.0f, 1.6f, 0xFFE04030u);
            cell.bar(23.0f, 9.0f, 9.0f, 23.0f, 1.6f, 0xFFE04030u);
        } else {
            const char* item = stem == "quick" ? "elixir" : stem == "spell" ? "sustredenie" : "mec";
            const uint32_t colour = stem == "quick" ? 0xFFDC2828u : stem == "spell" ? 0xFF5AA0FAu : 0xFFC8C8DCu;
            write_item_picture(name, item, 32, colour);
            return;
        }
        cell.save(name);
    } else if (starts_with(name, "data/interface/att/")) {
        // The attunement icons: runes in the colours of the four elements and the dream.
        static const uint32_t colours[] = {0xFFE05030u, 0xFF3080E0u, 0xFFC0D0E0u, 0xFF70A040u, 0xFF9060D0u};
        const int n = std::atoi(stem.c_str());
        write_item_picture(name, "rune" + stem, 32, colours[n % 5]);
    } else if (stem == "box") {
        // An item cell: a dark well with a light rim, one cell of 32 x 32.
        canvas cell(32, 32, argb(255, 150, 140, 120));
        cell.rect(1, 1, 31, 31, argb(200, 30, 28, 26));
        cell.save(name);
    } else if (stem == "tuba" || stem == "tuba2") {
        write_bar_frame(name, stem == "tuba");
    } else if (stem == "prepazka") {
        // The divider between the HUD buttons and the quick bar.
        canvas divider(8, 28, k_gold);
        divider.rect(3, 0, 5, 28, argb(255, 120, 90, 40));
        divider.save(name);
    } else if (stem == "dukatiky") {
        // The purse: a pile of coins in the cell's upper part; the amount is written under it,
        // across the cell's lowest ten rows.
        canvas coins(32, 32, 0);
        for (int i = 0; i < 3; ++i)
            coins.rect(6 + 4 * i, 16 - 5 * i, 26 - 4 * i, 21 - 5 * i, k_gold);
        coins.save(name);
    } else if (name == "data/interface/" + stem + ".tga" && write_list_widget(name, stem)) {
    } else if (stem == "pozadie") {
        // The pages' background: dark, so that their light texts read on it.
        canvas ground(64, 64, 0);
        for (uint32_t y = 0; y < 64; ++y)
            for (uint32_t x = 0; x < 64; ++x) {
                const uint32_t grain = (x * 2654435761u ^ y * 40503u) >> 29;
                ground.put(int(x), int(y), argb(255, 40 + grain, 33 + grain, 28 + grain));
            }
        ground.save(name);
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
        write_panel(k_panel_layouts[p], p == 6);  // panel 6: the menu
}
