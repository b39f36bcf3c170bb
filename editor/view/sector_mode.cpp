#include "editor/view/sector_mode.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "editor/view/view_picking.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

int32_t g_selected_sector = -1;
sector_latches g_sector_latches = {};

namespace {

constexpr float k_point_half = 4.0f;
constexpr float k_turn_step = 0.1f;
constexpr float k_copy_offset = 64.0f;

int32_t point_count(const map_sector& s)
{
    return std::clamp(s.count, 0, k_sector_max_points);
}

int32_t sector_count()
{
    return std::clamp<int32_t>(g_sector_count, 0, k_sector_slots);
}

map_sector* sector_at(int32_t n)
{
    return n >= 0 && n < k_sector_slots ? &g_sectors[n] : nullptr;
}

// The parts of a sector its map file keeps and the game reads, without the editor's held flags.
bool same_shape(const map_sector& a, const map_sector& b)
{
    if (a.active != b.active || a.type != b.type || a.parameter != b.parameter || a.closed != b.closed ||
        a.count != b.count)
        return false;
    const int32_t n = std::clamp(a.count, 0, k_sector_points);
    return std::memcmp(a.x, b.x, sizeof(float) * size_t(n)) == 0 && std::memcmp(a.y, b.y, sizeof(float) * size_t(n)) == 0;
}

void pick_points()
{
    if (!g_mouse_left) {
        for (int32_t i = 0; i < sector_count(); ++i)
            if (g_sectors[i].active)
                std::fill(std::begin(g_sectors[i].selected), std::end(g_sectors[i].selected), 0u);
        g_selected_sector = -1;
        return;
    }
    if (g_selected_sector != -1)
        return;
    for (int32_t i = 0; i < sector_count(); ++i) {
        map_sector& s = g_sectors[i];
        if (!s.active)
            continue;
        for (int32_t p = 0; p < point_count(s); ++p) {
            if (view_pick_hit(s.x[p], s.y[p], k_point_half)) {
                s.selected[p] = 1;
                g_selected_sector = i;
            }
        }
    }
}

void turn(map_sector& s, float angle)
{
    const int32_t n = point_count(s);
    int32_t pivot = 0;
    for (int32_t p = 0; p < n; ++p)
        if (s.selected[p])
            pivot = p;
    g_edit_step_tick = g_ticks + 1;
    const float px = s.x[pivot], py = s.y[pivot];
    const float c = std::cos(angle), sn = std::sin(angle);
    for (int32_t p = 0; p < n; ++p) {
        const float dx = s.x[p] - px, dy = s.y[p] - py;
        s.x[p] = px + c * dx - sn * dy;
        s.y[p] = py + sn * dx + c * dy;
    }
}

void copy_sector(const map_sector& source)
{
    const int32_t n = new_sector();
    if (n < 0) {
        console_log("sektor: tabulka sektorov je plna, kopia sa nerobi");
        return;
    }
    map_sector& copy = g_sectors[n];
    begin_sector(&copy, source.type, source.x[0] + k_copy_offset, source.y[0] + k_copy_offset);
    for (int32_t p = 1; p < point_count(source); ++p)
        add_sector_point(&copy, source.x[p] + k_copy_offset, source.y[p] + k_copy_offset);
}

void held_sector_keys(map_sector& held)
{
    for (int32_t k = 0; k < 9; ++k)
        if (view_key_down(uint8_t(k_key_1 + k)))
            held.type = uint8_t(k + 1);
    static const uint8_t k_keypad[10] = {k_key_numpad0, k_key_numpad1, k_key_numpad2, k_key_numpad3, k_key_numpad4,
                                         k_key_numpad5, k_key_numpad6, k_key_numpad7, k_key_numpad8, k_key_numpad9};
    for (int32_t k = 0; k < 10; ++k)
        if (view_key_down(k_keypad[k]))
            held.parameter = k;
    if (view_key_down(k_key_decimal))
        held.parameter = -1;
    for (auto [key, angle] : {std::pair{k_key_rbracket, k_turn_step}, std::pair{k_key_lbracket, -k_turn_step}})
        if (view_key_down(key) && point_count(held) > 1 && g_edit_step_tick < g_ticks)
            turn(held, angle);
    if (press_edge(view_key_down(k_key_delete), g_sector_latches.del))
        clear_sector(&held);
}

void held_sector_pass(editor_state& e, int32_t index, map_sector& held)
{
    std::snprintf(g_mode_info_text, sizeof g_mode_info_text,
                  "\nsektor: %d : pocet uzlov: %d : typ: %d : param: %d : uzavrety %d", int(g_selected_sector),
                  int(held.count), int(held.type), int(held.parameter), int(held.closed));
    held_sector_keys(held);
    map_sector& s = g_sectors[index];
    const bool is_held = index == g_selected_sector;
    if (view_key_down(k_key_lshift)) {
        for (int32_t p = 0; p < point_count(s); ++p) {
            if (s.selected[p]) {
                s.x[p] = g_brush_preview.x;
                s.y[p] = g_brush_preview.y;
            }
        }
    } else if (is_held) {
        for (int32_t p = 0; p < point_count(s); ++p) {
            s.x[p] += float(g_marker_dx);
            s.y[p] += float(g_marker_dy);
        }
    }
    if (is_held && press_edge(view_key_down(k_key_return), e.action_latch))
        copy_sector(s);
}

void extend_active_sector(editor_state& e)
{
    map_sector* s = sector_at(e.active_sector);
    if (press_edge(view_key_down(k_key_space), g_sector_latches.space) && s) {
        add_sector_point(s, g_brush_preview.x, g_brush_preview.y);
        if (e.active_sector >= g_sector_count)
            g_sector_count = int16_t(e.active_sector + 1);
        if (s->closed) {
            const int32_t next = new_sector();
            if (next < 0)
                console_log("sektor: tabulka sektorov je plna, aktivny sektor %d ostava", int(e.active_sector));
            else
                e.active_sector = next;
        }
    }
    s = sector_at(e.active_sector);
    if (press_edge(view_key_down(k_key_back), g_sector_latches.backspace) && s)
        remove_last_sector_point(s);
}

int32_t marker_cell()
{
    return movemap_cell_value(&g_movement_map, safe_int(g_brush_preview.x), safe_int(g_brush_preview.y));
}

void paint_movement_map()
{
    const bool ctrl = view_key_down(k_key_lcontrol);
    const int32_t x = safe_int(g_brush_preview.x), y = safe_int(g_brush_preview.y);
    const int32_t before = marker_cell();
    if (view_key_down(k_key_a))
        set_movemap_cell(&g_movement_map, x, y, k_cell_blocked);
    if (view_key_down(k_key_s) && !ctrl)
        set_movemap_cell(&g_movement_map, x, y, k_cell_blocked_soft);
    if (view_key_down(k_key_d))
        flood_fill_movemap(&g_movement_map, x, y, k_cell_blocked);
    if (view_key_down(k_key_f))
        flood_fill_movemap(&g_movement_map, x, y, k_cell_blocked_soft);
    if (view_key_down(k_key_z) && !ctrl)
        clear_movemap_cell(&g_movement_map, x, y);
    if (marker_cell() != before)
        g_map_dirty = 1;
}

map_sector g_sectors_before[k_sector_slots];

} // namespace

void run_sector_mode(editor_state& e)
{
    std::memcpy(g_sectors_before, g_sectors, sizeof g_sectors_before);
    pick_points();
    g_mode_info_text[0] = '\0';
    if (map_sector* held = sector_at(g_selected_sector)) {
        for (int32_t i = 0; i < sector_count(); ++i)
            if (g_sectors[i].active)
                held_sector_pass(e, i, *held);
    }
    extend_active_sector(e);
    if (g_mouse_right)
        std::snprintf(g_mode_info_text, sizeof g_mode_info_text, "%s",
                      point_in_sector(g_brush_preview.x, g_brush_preview.y, 0) ? "\nv sektore 0" : "\nnie v sektore 0");
    paint_movement_map();
    for (int32_t i = 0; i < k_sector_slots; ++i)
        if (!same_shape(g_sectors_before[i], g_sectors[i]))
            g_map_dirty = 1;
}
