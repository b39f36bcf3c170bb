#include "world/movement_map.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "engine/primitives.h"
#include "engine/record_io.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

movement_map g_movement_map;
movement_map g_movement_map_spare;

namespace {

bool inside_grid(const movement_map* map, int32_t column, int32_t row)
{
    return column >= 0 && row >= 0 && column < map->columns && row < map->rows;
}

uint8_t cell_at(const movement_map* map, int32_t column, int32_t row)
{
    return map->cells[size_t(row) * size_t(map->columns) + size_t(column)];
}

int32_t world_column(const movement_map* map, int32_t x)
{
    return (map->origin_column * k_cell_size + x) / k_cell_size;
}

int32_t world_row(const movement_map* map, int32_t y)
{
    return (map->origin_row * k_cell_size + y) / k_cell_size;
}

bool cell_free(uint8_t v) { return v == k_cell_free; }
bool cell_walkable(uint8_t v) { return v != k_cell_blocked && v != k_cell_blocked_soft; }
bool cell_passable(uint8_t v) { return v != k_cell_blocked; }

// The first column (or row) in view: the camera's cell, clamped to 0 to size.
int32_t first_in_view(int16_t origin, float camera, int16_t size)
{
    const double cell = (double(origin) * k_cell_size + double(camera)) / k_cell_size;
    if (!(cell > 0.0))
        return 0;
    return cell >= double(size) ? int32_t(size) : int32_t(cell);
}

int16_t read_i16(packed_stream* stream, bool* ok)
{
    int v = stream_read_u16le(stream);
    if (v < 0)
        *ok = false;
    return int16_t(uint16_t(v));
}

} // namespace

bool create_movemap(movement_map* map, int16_t columns, int16_t rows, int16_t origin_column, int16_t origin_row)
{
    if (columns < 0 || rows < 0 || (columns == 0) != (rows == 0))
        return false;
    // An empty map holds a block all the same, so that its tests answer as outside the grid
    // rather than as a map without cells.
    auto* cells = static_cast<uint8_t*>(std::calloc(std::max<size_t>(size_t(columns) * size_t(rows), 1), 1));
    if (!cells)
        return false;
    std::free(map->cells);
    map->cells = cells;
    map->columns = columns;
    map->rows = rows;
    map->origin_column = origin_column;
    map->origin_row = origin_row;
    map->valid = 1;
    return true;
}

void free_movemap(movement_map* map)
{
    std::free(map->cells);
    map->cells = nullptr;
    map->valid = 0;
}

void set_movemap_cell(movement_map* map, int32_t x, int32_t y, uint8_t value)
{
    int32_t column = world_column(map, x);
    int32_t row = world_row(map, y);
    if (!map->cells || !map->valid || !inside_grid(map, column, row))
        return;
    map->cells[size_t(row) * size_t(map->columns) + size_t(column)] = value;
}

void clear_movemap_cell(movement_map* map, int32_t x, int32_t y)
{
    set_movemap_cell(map, x, y, k_cell_free);
}

int32_t movemap_cell_value(const movement_map* map, int32_t x, int32_t y)
{
    const int32_t column = world_column(map, x);
    const int32_t row = world_row(map, y);
    if (!map->cells || !map->valid || !inside_grid(map, column, row))
        return -1;
    return cell_at(map, column, row);
}

void flood_fill_movemap(movement_map* map, int32_t x, int32_t y, uint8_t value)
{
    if (value != k_cell_blocked && value != k_cell_blocked_soft)
        return;
    if (!map->cells || !map->valid)
        return;
    int32_t column = world_column(map, x);
    int32_t row = world_row(map, y);
    if (!inside_grid(map, column, row) || !cell_walkable(cell_at(map, column, row)))
        return;

    // Every cell is filled as it enters the work list, so none enters twice.
    std::vector<std::pair<int32_t, int32_t>> work;
    auto visit = [&](int32_t c, int32_t r) {
        if (!inside_grid(map, c, r) || !cell_walkable(cell_at(map, c, r)))
            return;
        map->cells[size_t(r) * size_t(map->columns) + size_t(c)] = value;
        work.emplace_back(c, r);
    };
    visit(column, row);
    while (!work.empty()) {
        auto [c, r] = work.back();
        work.pop_back();
        visit(c + 1, r);
        visit(c - 1, r);
        visit(c, r + 1);
        visit(c, r - 1);
    }
}

int32_t is_cell_free(const movement_map* map, int32_t x, int32_t y)
{
    return movemap_grid_test(map, world_column(map, x), world_row(map, y), cell_free);
}

int32_t is_cell_walkable(const movement_map* map, int32_t x, int32_t y)
{
    return movemap_grid_test(map, world_column(map, x), world_row(map, y), cell_walkable);
}

int32_t is_cell_passable(const movement_map* map, int32_t x, int32_t y)
{
    return movemap_grid_test(map, world_column(map, x), world_row(map, y), cell_passable);
}

int32_t can_object_stand(const movement_map* map, float object_x, float object_y, float dx, float dy)
{
    if (!map->valid)
        return 0;
    int32_t column = int32_t(float(map->origin_column * k_cell_size) + (object_x - dx)) / k_cell_size;
    int32_t row = int32_t(float(map->origin_row * k_cell_size) + (object_y - dy)) / k_cell_size;
    return movemap_grid_test(map, column, row, cell_free);
}

bool write_movemap(packed_stream* stream)
{
    if (!stream)
        return false;
    const movement_map& map = g_movement_map;
    for (int16_t v : {map.origin_column, map.origin_row, map.columns, map.rows})
        if (stream_write_u16le(uint16_t(v), stream) < 0)
            return false;
    size_t total = map.columns > 0 && map.rows > 0 ? size_t(map.columns) * size_t(map.rows) : 0;
    std::vector<uint8_t> none;
    const uint8_t* cells = map.cells;
    if (!cells) {
        none.assign(total, k_cell_free);
        cells = none.data();
    }
    for (size_t at = 0; at < total;) {
        int n = int(std::min<size_t>(total - at, 1 << 20));
        if (stream_write(cells + at, n, stream) != n)
            return false;
        at += size_t(n);
    }
    return true;
}

bool read_movemap_section(packed_stream* stream, movemap_section* section)
{
    if (!stream)
        return false;
    bool ok = true;
    const int16_t origin_column = read_i16(stream, &ok);
    if (!ok) {
        console_log("ziadna pohybova mapa");
        return false;
    }
    const int16_t origin_row = read_i16(stream, &ok);
    const int16_t columns = read_i16(stream, &ok);
    const int16_t rows = read_i16(stream, &ok);
    // 0 x 0 is the map of no cells; no map has a negative side, or one side 0 and the other not.
    if (!ok || columns < 0 || rows < 0 || (columns == 0) != (rows == 0)) {
        console_log("movement map of size %d x %d refused", int(columns), int(rows));
        return false;
    }

    // The cells are read before anything is allocated for them, so a size the data does not
    // back costs no more than the data there.
    const size_t total = size_t(columns) * size_t(rows);
    std::vector<uint8_t> cells;
    while (cells.size() < total) {
        size_t at = cells.size();
        size_t n = std::min<size_t>(total - at, 1 << 16);
        cells.resize(at + n);
        int got = stream_read(cells.data() + at, int(n), stream);
        if (got != int(n)) {
            console_log("movement map cells end after %zu of %zu; map kept", at + size_t(got > 0 ? got : 0), total);
            return false;
        }
    }
    section->origin_column = origin_column;
    section->origin_row = origin_row;
    section->columns = columns;
    section->rows = rows;
    section->cells = std::move(cells);
    return true;
}

bool take_movemap_section(const movemap_section& section)
{
    const int16_t columns = section.columns, rows = section.rows;
    if (!create_movemap(&g_movement_map, columns, rows, section.origin_column, section.origin_row))
        return false;
    create_movemap(&g_movement_map_spare, columns, rows, section.origin_column, section.origin_row);
    for (size_t i = 0; i < section.cells.size(); ++i)
        g_movement_map.cells[i] = section.cells[i] == k_cell_editor_mark ? k_cell_free : section.cells[i];
    return true;
}

bool read_movemap(packed_stream* stream)
{
    movemap_section section;
    return read_movemap_section(stream, &section) && take_movemap_section(section);
}

bool skip_movemap(packed_stream* stream)
{
    movemap_section section;
    return read_movemap_section(stream, &section);
}

void draw_movemap(const movement_map* map)
{
    struct fill {
        float r, g, b;
    };
    static const fill k_fills[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    if (!map->cells || !map->valid || !(g_zoom > 0.0f) || !std::isfinite(g_zoom))
        return;
    const float span_x = float(g_screen_width) / float(k_cell_size) / g_zoom + 2.0f;
    const float span_y = float(g_screen_height) / float(k_cell_size) / g_zoom + 2.0f;
    const int32_t first_column = first_in_view(map->origin_column, g_camera_x, map->columns);
    const int32_t first_row = first_in_view(map->origin_row, g_camera_y, map->rows);
    for (int32_t i = 0; float(i) < span_x && first_column + i < map->columns; ++i) {
        const int32_t column = first_column + i;
        for (int32_t j = 0; float(j) < span_y && first_row + j < map->rows; ++j) {
            const int32_t row = first_row + j;
            const uint8_t value = cell_at(map, column, row);
            if (value == k_cell_free || value >= std::size(k_fills))
                continue;
            const float x = float((column - map->origin_column) * k_cell_size);
            const float y = float((row - map->origin_row) * k_cell_size);
            const fill& f = k_fills[value];
            draw_world_filled_rect(x, y, x + float(k_cell_size), y + float(k_cell_size), f.r, f.g, f.b, 0.4f);
        }
    }
}

void draw_movemap_grid(const movement_map* map)
{
    constexpr int32_t k_screen_columns = 32, k_screen_rows = 24;
    if (!g_show_grid || !map->valid)
        return;
    const float left = float(-map->origin_column * k_cell_size), top = float(-map->origin_row * k_cell_size);
    const float right = float((map->columns - map->origin_column) * k_cell_size);
    const float bottom = float((map->rows - map->origin_row) * k_cell_size);
    draw_world_rect_outline(left, top, right, bottom, 1.0f, 1.0f, 1.0f, 1.0f);
    for (int32_t i = 1; i <= map->columns / k_screen_columns; ++i) {
        const float x = left + float(i * k_screen_columns * k_cell_size);
        draw_world_line(x, top, x, bottom, 0.6f, 0.6f, 0.6f, 1.0f);
    }
    for (int32_t j = 1; j <= map->rows / k_screen_rows; ++j) {
        const float y = top + float(j * k_screen_rows * k_cell_size);
        draw_world_line(left, y, right, y, 0.6f, 0.6f, 0.6f, 1.0f);
    }
}
