#include "world/sectors.h"

#include "engine/curves.h"
#include "engine/packed_stream.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/record_io.h"
#include "engine/textures.h"

#include <algorithm>
#include <iterator>

map_sector g_sectors[k_sector_slots];
int16_t g_sector_count = 0;

namespace {

// The 256-byte record of the level map file.
template <class Io, class Sector>
void sector_fields(Io& io, Sector& s)
{
    io.u8(0, s.active);
    io.u8(1, s.type);
    io.bytes(2, s.pad2, 2);
    io.i32(4, s.parameter);
    io.u32(8, s.closed);
    io.i32(12, s.count);
    for (uint32_t i = 0; i < k_sector_points; ++i) {
        io.u32(16 + 4 * i, s.selected[i]);
        io.f32(96 + 4 * i, s.x[i]);
        io.f32(176 + 4 * i, s.y[i]);
    }
}

struct line_colour {
    float r, g, b;
};

// The line colour of a sector type; false for a type drawn without lines.
bool type_colour(uint8_t type, line_colour* colour)
{
    static const line_colour k_colours[] = {
        {1, 1, 1}, {1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1},
    };
    if (type >= std::size(k_colours))
        return false;
    *colour = k_colours[type];
    return true;
}

int32_t point_count(const map_sector* sector)
{
    return std::clamp(sector->count, 0, k_sector_points);
}

void draw_point_marker(float x, float y)
{
    static const sprite_rect k_marker = {0, 0, 8, 8};
    draw_sprite_world(g_fixed_textures[k_texture_select], x, y, 1.0f, 1.0f, 0, &k_marker);
}

// Lines between consecutive points and a marker on every point, each point p at p x scale + (dx, dy).
void draw_outline(const map_sector* sector, float dx, float dy, float scale, const line_colour* colour)
{
    int32_t count = point_count(sector);
    auto x = [&](int32_t i) { return sector->x[i] * scale + dx; };
    auto y = [&](int32_t i) { return sector->y[i] * scale + dy; };
    if (colour)
        for (int32_t i = 0; i + 1 < count; ++i)
            draw_world_line(x(i), y(i), x(i + 1), y(i + 1), colour->r, colour->g, colour->b, 1.0f);
    for (int32_t i = 0; i < count; ++i)
        draw_point_marker(x(i), y(i));
}

} // namespace

void draw_sector(const map_sector* sector)
{
    line_colour colour;
    draw_outline(sector, 0.0f, 0.0f, 1.0f, type_colour(sector->type, &colour) ? &colour : nullptr);
    if (sector->type < 8)
        return;
    int32_t count = point_count(sector);
    int32_t curves = count < 4 ? 0 : (count - 1) / 3;
    for (int32_t k = 0; k < curves; ++k) {
        const int32_t i = 3 * k;
        curve c{};
        curve_init(&c, sector->x[i], sector->y[i], sector->x[i + 1], sector->y[i + 1], sector->x[i + 2],
                   sector->y[i + 2], sector->x[i + 3], sector->y[i + 3]);
        draw_curve(&c);
    }
}

void draw_sector_scaled(const map_sector* sector, float x, float y, float scale)
{
    const line_colour colour = sector->type == 2 ? line_colour{1, 0, 0} : line_colour{1, 1, 1};
    draw_outline(sector, x, y, scale, &colour);
}

void draw_all_sectors()
{
    for (int32_t i = 0; i < std::min<int32_t>(g_sector_count, k_sector_slots); ++i)
        if (g_sectors[i].active)
            draw_sector(&g_sectors[i]);
}

void begin_sector(map_sector* sector, uint8_t type, float x, float y)
{
    sector->active = 1;
    sector->type = type;
    sector->closed = 0;
    sector->count = 1;
    sector->x[0] = x;
    sector->y[0] = y;
}

void add_sector_point(map_sector* sector, float x, float y)
{
    if (sector->count == 0) {
        sector->closed = 0;
        sector->active = 1;
        sector->parameter = -1;
        sector->type = 0;
    }
    if (sector->closed || sector->count >= k_sector_max_points)
        return;
    int32_t at = sector->count++;
    sector->x[at] = x;
    sector->y[at] = y;
    if (at > 2 && x == sector->x[0] && y == sector->y[0])
        sector->closed = 1;
}

void remove_last_sector_point(map_sector* sector)
{
    if (sector->count > 0) {
        --sector->count;
        sector->closed = 0;
    }
}

void clear_sector(map_sector* sector)
{
    sector->count = 0;
    sector->active = 0;
    sector->closed = 0;
}

int32_t new_sector()
{
    for (int32_t i = 0; i < g_sector_count; ++i)
        if (!g_sectors[i].active)
            return i;
    if (g_sector_count >= k_sector_slots)
        return -1;
    return g_sector_count++;
}

int32_t point_in_sector(float x, float y, int32_t n)
{
    if (n < 0 || n >= k_sector_slots)
        return 0;
    return point_in_polygon(x, y, &g_sectors[n], 1.0f);
}

int32_t point_in_polygon(float x, float y, const map_sector* polygon, float scale)
{
    if (!polygon->closed)
        return 0;
    int32_t count = std::clamp(polygon->count, 0, k_sector_points);
    if (count == 0)
        return 0;
    auto side = [y](float py) { return py <= y ? 1 : 0; };
    int s = side(polygon->y[0] * scale);
    bool inside = false;
    for (int32_t i = 0; i + 1 < count; ++i) {
        float xa = polygon->x[i] * scale, ya = polygon->y[i] * scale;
        float xb = polygon->x[i + 1] * scale, yb = polygon->y[i + 1] * scale;
        int t = side(yb);
        if (t != s) {
            float a = (yb - y) * (xa - xb);
            float b = (xb - x) * (ya - yb);
            if ((b <= a) == (t == 1))
                inside = !inside;
        }
        s = t;
    }
    return inside ? 1 : 0;
}

bool write_sectors(packed_stream* stream)
{
    if (!stream)
        return false;
    if (stream_write_u32le(k_sector_record_size, stream) < 0)
        return false;
    return write_table_records<k_sector_record_size>(stream, k_sector_slots, [](uint32_t i, uint8_t* bytes) {
        encode_map_sector(g_sectors[i], bytes);
    });
}

void encode_map_sector(const map_sector& sector, uint8_t* bytes)
{
    record_writer out{bytes};
    sector_fields(out, sector);
}

void decode_map_sector(const uint8_t* bytes, map_sector* sector)
{
    record_reader in{bytes};
    sector_fields(in, *sector);
    sector->count = std::clamp(sector->count, 0, k_sector_points);
}

bool read_sectors(packed_stream* stream)
{
    if (!stream)
        return false;
    for (map_sector& sector : g_sectors)
        clear_sector(&sector);
    g_sector_count = 0;
    bool complete = stream_read_u32le(stream) >= 0;
    for (int32_t i = 0; complete && i < k_sector_slots; ++i) {
        uint8_t bytes[k_sector_record_size];
        complete = stream_read(bytes, int(sizeof bytes), stream) == int(sizeof bytes);
        if (complete)
            decode_map_sector(bytes, &g_sectors[i]);
    }
    for (int32_t i = 0; i < k_sector_slots; ++i)
        if (g_sectors[i].active)
            g_sector_count = int16_t(i + 1);
    return complete;
}
