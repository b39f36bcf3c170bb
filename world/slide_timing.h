// The chapter slide list and the part of a chapter show it prepares: the two tile sets, the
// narration stream, the list of pictures with their narrations, the step and the running flag.
//
// A slide list is plain text of decimal integers separated by any white space: the number of
// entries, then for each entry its picture number (the folder "data/slides/<n>/") and its
// narration number.
#pragma once

#include <cstdint>
#include <span>

constexpr int k_slide_columns = 16;
constexpr int k_chapter_rows = 12;
constexpr int k_slide_list_size = 24;    // entries a list can hold
constexpr uint16_t k_no_tile = 0xFFFF;   // a tile slot that holds no texture

// A picture cut into 64 x 64 tiles, held column by column: slot[c][r] is the texture slot of
// column c, row r, or k_no_tile.
template <int Rows>
struct slide_tiles {
    uint16_t slot[k_slide_columns][Rows];
};

template <int Rows>
constexpr slide_tiles<Rows> no_slide_tiles()
{
    slide_tiles<Rows> tiles{};
    for (auto& column : tiles.slot)
        for (uint16_t& s : column)
            s = k_no_tile;
    return tiles;
}

template <int Rows>
std::span<uint16_t> tile_slots(slide_tiles<Rows>& tiles)
{
    return {&tiles.slot[0][0], size_t(k_slide_columns) * Rows};
}

// Drops one reference of every tile held and marks it k_no_tile; a texture that something else
// (the other set, another show) also holds keeps its surface.
void release_slide_tiles(std::span<uint16_t> slots);

struct slide_timing {
    slide_tiles<k_chapter_rows> current = no_slide_tiles<k_chapter_rows>();  // the picture shown
    slide_tiles<k_chapter_rows> next = no_slide_tiles<k_chapter_rows>();     // the one after it
    uint32_t narration_stream = 0;             // 0 = none
    int16_t pictures[k_slide_list_size] = {};  // folder number of each entry
    int16_t narrations[k_slide_list_size] = {};
    int32_t index = 0;                         // the entry shown
    int32_t count = 0;                         // entries in the list, 0 to k_slide_list_size
    uint32_t running = 0;                      // the show runs
};

// Prepares the record for a new show from the list file `path`: the show stops, its narration
// stream is stopped and freed, both tile sets are released, the step becomes 0, and the list is
// read. A missing file leaves no entries. A list longer than k_slide_list_size keeps its first
// entries; a negative or unreadable count gives no entries; a list that ends inside its entries
// keeps the entries read whole. Each of these logs one line naming the file (core/data_files.h);
// a path that would leave the working folder is refused with its line and reads nothing. Entries
// past the count keep the numbers they held.
void load_slide_timing(slide_timing* timing, const char* path);
