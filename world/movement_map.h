// The movement map: the level's walkability grid of 32 x 32 pixel cells.
//
// A world position (x, y) in pixels lies in column (origin column x 32 + x) / 32 and row
// (origin row x 32 + y) / 32, truncating toward zero, so up to 31 pixels before the left or top
// edge still fall into column or row 0. Grid coordinates are column and row directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct packed_stream;

constexpr int32_t k_cell_size = 32;

// Cell values.
constexpr uint8_t k_cell_free = 0;
constexpr uint8_t k_cell_blocked = 1;
constexpr uint8_t k_cell_blocked_soft = 2;  // passable to the path search's mode 1
constexpr uint8_t k_cell_editor_mark = 3;   // becomes 0 whenever the map is read

struct movement_map {
    uint8_t valid;
    int16_t origin_column;  // cells the grid reaches left of world x = 0
    int16_t origin_row;     // cells the grid reaches above world y = 0
    int16_t columns;
    int16_t rows;
    uint8_t* cells;         // columns x rows bytes, row after row; null when the map has none
};

extern movement_map g_movement_map;
extern movement_map g_movement_map_spare;  // re-created empty whenever a map is read

// Allocates columns x rows free cells and makes the map valid. 0 x 0 makes an empty map: no cell
// lies inside its grid, so every test answers as outside the grid (not as a map without cells,
// which answers free). A side below 0, or one side 0 and the other not, is refused (false) and the
// map kept as it was; so is a size that cannot be allocated.
bool create_movemap(movement_map* map, int16_t columns, int16_t rows, int16_t origin_column, int16_t origin_row);

// Frees the cells and clears valid.
void free_movemap(movement_map* map);

// Writes the cell under a world position when the map is valid, has cells and the cell lies
// inside the grid; otherwise nothing.
void set_movemap_cell(movement_map* map, int32_t x, int32_t y, uint8_t value);
void clear_movemap_cell(movement_map* map, int32_t x, int32_t y);
// The value of the cell under a world position; -1 for an invalid map, a map without cells or a
// position outside the grid.
int32_t movemap_cell_value(const movement_map* map, int32_t x, int32_t y);

// Sets the cells reachable from the walkable cell under (x, y) through walkable cells (steps of
// one cell left, right, up and down) to value. Only the blocking values 1 and 2 are filled.
void flood_fill_movemap(movement_map* map, int32_t x, int32_t y, uint8_t value);

// Cell tests, 1 or 0. A map without cells answers 1; an invalid map, and a cell outside the
// grid, 0. Free: the cell is 0; walkable: neither 1 nor 2; passable: not 1.
inline int32_t is_grid_cell_free(const movement_map* map, int32_t column, int32_t row);
inline int32_t is_grid_cell_passable(const movement_map* map, int32_t column, int32_t row);
int32_t is_cell_free(const movement_map* map, int32_t x, int32_t y);
int32_t is_cell_walkable(const movement_map* map, int32_t x, int32_t y);
int32_t is_cell_passable(const movement_map* map, int32_t x, int32_t y);

// Whether an object at (object_x, object_y) can stand after moving back by (dx, dy): the cell of
// the position minus (dx, dy) is free. An invalid map answers 0 before the cells are looked at.
int32_t can_object_stand(const movement_map* map, float object_x, float object_y, float dx, float dy);

// The movement map of a level map file: i16 origin column, i16 origin row, i16 columns, i16 rows,
// then the cells. A section as read, before it replaces the level's map.
struct movemap_section {
    int16_t origin_column = 0, origin_row = 0, columns = 0, rows = 0;
    std::vector<uint8_t> cells;  // columns x rows bytes as stored
};
// Reads a section into *section, touching no map. False, with a log line and *section as it was,
// when the section is missing ("ziadna pohybova mapa"), of a size no map has (a side below 0, or
// one side 0 and the other not) or cut short. 0 x 0 is whole: the map of no cells.
bool read_movemap_section(packed_stream* stream, movemap_section* section);
// Makes a section read the level's map: g_movement_map takes its origin, size and cells (cells of
// 3 become 0) and g_movement_map_spare is re-created empty; a section of 0 x 0 leaves both maps
// empty. False, the map kept, when the cells cannot be allocated.
bool take_movemap_section(const movemap_section& section);
// The writer writes g_movement_map; the reader reads a section and takes it, and returns whether
// the section was there whole and taken. Both do nothing for a null stream.
bool write_movemap(packed_stream* stream);
bool read_movemap(packed_stream* stream);
// Takes the section as read_movemap does and keeps nothing; its verdict is read_movemap's.
bool skip_movemap(packed_stream* stream);

// Editor overlays in world pixels, drawn outside play.
// The cells in view (from the camera's cell across the screen's width / 32 / zoom + 2 columns and
// its height / 32 / zoom + 2 rows, clamped to the grid) filled at alpha 0.4 by value: 1 red,
// 2 green, 3 blue; free cells are not drawn. Nothing without cells or at a zoom of 0 or below.
void draw_movemap(const movement_map* map);
// While g_show_grid is on: a white outline of the whole grid and grey lines dividing it into
// screens of 32 x 24 cells (every 1,024 pixels across, every 768 down, from its left and top edges).
void draw_movemap_grid(const movement_map* map);

// The grid tests are inline: the path search makes them for every cell it looks at.
inline int32_t movemap_grid_test(const movement_map* map, int32_t column, int32_t row, bool (*accept)(uint8_t))
{
    if (!map->cells)
        return 1;
    if (!map->valid || column < 0 || row < 0 || column >= map->columns || row >= map->rows)
        return 0;
    return accept(map->cells[size_t(row) * size_t(map->columns) + size_t(column)]) ? 1 : 0;
}

inline int32_t is_grid_cell_free(const movement_map* map, int32_t column, int32_t row)
{
    return movemap_grid_test(map, column, row, [](uint8_t v) { return v == k_cell_free; });
}

inline int32_t is_grid_cell_passable(const movement_map* map, int32_t column, int32_t row)
{
    return movemap_grid_test(map, column, row, [](uint8_t v) { return v != k_cell_blocked; });
}
