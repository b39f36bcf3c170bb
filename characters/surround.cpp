#include "characters/surround.h"

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_movement.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/math.h"
#include "world/movement_map.h"
#include "world/path_search.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <iterator>

surround g_surround = {};

namespace {

constexpr uint32_t k_assign_ticks = 10;
constexpr float k_axis_offset = 80.0f;
constexpr float k_diagonal_offset = 64.0f;
constexpr int32_t k_melee_limit = 200;       // from this reach on, an enemy fights at range
constexpr int32_t k_unarmed_surround_reach = 110;
constexpr uint8_t k_home_sector_type = 3;
constexpr uint8_t k_crowd_with_target = 4;   // below this count an enemy with a target joins from afar
constexpr uint8_t k_crowd_without_target = 3;
constexpr int32_t k_max_route_points = 2;    // while nobody attacks, the longest route that may join
constexpr float k_snap_min = 10.0f;
constexpr float k_snap_max = 48.0f;

// Unit offsets of the places, clockwise from below.
constexpr float k_place_dirs[k_surround_slots][2] = {{0, 1}, {1, 1}, {1, 0}, {1, -1},
                                                      {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};

bool melee_fighter(const char_record& c)
{
    int32_t reach = char_weapon_item(&c) >= 0 ? char_reach(c) : k_unarmed_surround_reach;
    return reach < k_melee_limit;
}

bool sector_in_use(int32_t sector)
{
    return sector >= 0 && sector < std::clamp<int32_t>(g_sector_count, 0, k_sector_slots) && g_sectors[sector].active;
}

// The home sector, 0 (none) for a value that names no sector in use.
int32_t home_sector_of(const char_record& c)
{
    return sector_in_use(c.home_sector) ? c.home_sector : 0;
}

void update_home_sector(char_record* target, float x, float y)
{
    int32_t count = std::clamp<int32_t>(g_sector_count, 0, k_sector_slots);
    for (int32_t s = count - 1; s >= 0; --s) {
        if (g_sectors[s].active && g_sectors[s].type == k_home_sector_type && point_in_sector(x, y, s)) {
            target->home_sector = s;
            return;
        }
    }
}

bool considered(const char_record& c, int32_t target_home, uint8_t count)
{
    if (c.world_fade == 0.0f || c.kind != k_kind_enemy || c.life != k_life_alive || !world_object_of(c) ||
        !melee_fighter(c) || c.state == k_state_stunned)
        return false;
    int32_t home = home_sector_of(c);
    if (home == 0 || home == target_home)
        return true;
    return c.target >= 0 ? count < k_crowd_with_target : count < k_crowd_without_target;
}

// Whether the character has a route of at most two points to the player's cell; searched on a
// scratch route so that the character's own walk is kept.
bool short_route_to_player(const char_record& c)
{
    const char_record* player = char_at(int32_t(g_player_char));
    float x, y, px, py;
    if (!player || !char_position(c, &x, &y) || !char_position(*player, &px, &py))
        return false;
    char_route route{};
    find_path(&route, &g_movement_map, int32_t(x) / k_cell_size, int32_t(y) / k_cell_size, int32_t(px) / k_cell_size,
              int32_t(py) / k_cell_size, 0);
    return route.route_count <= k_max_route_points;
}

void snap_occupants(surround* s)
{
    for (int k = 0; k < k_surround_slots; ++k) {
        char_record* c = char_at(s->occupant[k]);
        world_object* o = c ? world_object_of(*c) : nullptr;
        if (!o || !(s->distance[k] > k_snap_min && s->distance[k] < k_snap_max))
            continue;
        c->pending_target = g_ticks;
        c->state = k_state_idle;
        c->pos_x = o->x;
        c->pos_y = o->y;
        o->x = s->x[k];
        o->y = s->y[k];
    }
}

} // namespace

int32_t surround_slot_of(const surround& s, int32_t slot)
{
    for (int k = 0; k < k_surround_slots; ++k)
        if (slot >= 0 && s.occupant[k] == slot)
            return k;
    return -1;
}

bool place_in_surround(surround* s, int32_t slot)
{
    // A displaced occupant is placed again; every displacement lowers a place's distance, so the
    // chain ends, and the bound only guards against distances that do not compare.
    for (int32_t guard = 0; guard < k_surround_slots * k_char_slots; ++guard) {
        const char_record* c = char_at(slot);
        float x, y;
        if (!c || !char_position(*c, &x, &y))
            return false;
        const bool unhurt = c->hp == c->hp_max;
        const float sight = float(c->ai_distance) / g_zoom;
        int best = -1;
        float best_distance = 0.0f;
        int route_known = -1;  // the route test, searched once when first needed
        for (int k = 0; k < k_surround_slots; ++k) {
            if (!s->usable[k])
                continue;
            float d = distance2d(x, y, s->x[k], s->y[k]);
            if (!(d < sight) && unhurt)
                continue;
            if (best >= 0 && !(d < best_distance))
                continue;
            if (s->count == 0) {
                if (route_known < 0)
                    route_known = short_route_to_player(*c) ? 1 : 0;
                if (!route_known)
                    continue;
            }
            if (s->occupant[k] >= 0 && !(d < s->distance[k]))
                continue;
            best = k;
            best_distance = d;
        }
        if (best < 0)
            return guard > 0;
        int32_t displaced = s->occupant[best];
        s->occupant[best] = int16_t(slot);
        s->distance[best] = best_distance;
        if (displaced < 0)
            return true;
        slot = displaced;
    }
    return true;
}

void assign_surround_slots(surround* s, int32_t target)
{
    char_record* t = char_at(target);
    float tx, ty;
    clear_combat_list();
    if (!g_editor.ai_on || !t || !char_position(*t, &tx, &ty))
        return;
    if (s->next_update < g_ticks) {
        s->next_update = g_ticks + k_assign_ticks;
        update_home_sector(t, tx, ty);
        std::fill(std::begin(s->occupant), std::end(s->occupant), int16_t(-1));
        std::fill(std::begin(s->distance), std::end(s->distance), k_surround_empty);
        if (t->life == k_life_alive) {
            const float scale = g_scene_header.scale;
            for (int k = 0; k < k_surround_slots; ++k) {
                const float offset = k_place_dirs[k][0] != 0 && k_place_dirs[k][1] != 0 ? k_diagonal_offset
                                                                                          : k_axis_offset;
                s->x[k] = tx + k_place_dirs[k][0] * offset * scale;
                s->y[k] = ty + k_place_dirs[k][1] * offset * scale;
                s->usable[k] = is_cell_walkable(&g_movement_map, int32_t(s->x[k]), int32_t(s->y[k])) ? 1 : 0;
            }
            const int32_t target_home = home_sector_of(*t);
            for (uint32_t c = 0; c < g_char_count && c < uint32_t(k_char_slots); ++c)
                if (considered(g_chars[c], target_home, s->count))
                    place_in_surround(s, int32_t(c));
            if (t->state != k_state_walk_leg && t->state != k_state_follow_cursor)
                snap_occupants(s);
        }
    }
    s->count = uint8_t(std::count_if(std::begin(s->occupant), std::end(s->occupant), [](int16_t o) { return o >= 0; }));
    for (int16_t occupant : s->occupant)
        join_combat_list(occupant);
}
