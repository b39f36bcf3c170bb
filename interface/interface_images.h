// The interface's images: which file loads into which texture slot of g_interface, and the tiled
// panel backgrounds.
#pragma once

#include "core/game_interface.h"

#include <cstdint>
#include <string>
#include <vector>

// The panel backgrounds: grids of 64 x 64 tiles held in g_interface.panel_tiles, panel after
// panel, each column by column (every row of column 0, then of column 1, ...).
constexpr int k_panel_count = 7;
constexpr int k_panel_tile_side = 64;
struct panel_layout {
    const char* folder;   // the tile of column c, row r is "<folder><64 c>x<64 r>.tga"
    int16_t columns, rows;
    int16_t first_tile;   // index of its column 0, row 0 in panel_tiles
};
extern const panel_layout k_panel_layouts[k_panel_count];

// The file name of a panel's tile.
std::string panel_tile_name(const panel_layout& panel, int column, int row);

struct interface_image {
    std::string name;     // the language's folder filled in from g_language
    bool full_colour;     // 32-bit with 8-bit alpha; otherwise 16-bit with 4-bit alpha
    uint16_t* slot;       // the field of the interface that holds its texture slot
};

// Every image of the interface in slot order, each naming its field of `gi`.
std::vector<interface_image> list_interface_images(game_interface& gi);

// What the data lacks of the language `code`, as the log names it: its UI text table or its quest
// table when that does not read whole (ui_text_table_fault, quest_table_fault), else the first of
// the files English has under its code (language_files, core/data_files.h) that the language
// lacks and how many more it lacks, else its travel map's or its ending's level
// ("mapa_<code>.sav", "final_<code>.sav") when that cannot be entered; "" when the data holds the
// language whole.
std::string language_data_fault(const char* code);
