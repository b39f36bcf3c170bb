// Route search on the movement map.
//
// The search is a best-first expansion from the start toward the goal over a 400 x 400 grid of
// step depths; the route is then walked back from the goal along falling depths and cut into
// waypoints, each visible in a straight line from the next. It keeps its state in globals and
// is not re-entrant.
#pragma once

#include "world/movement_map.h"

#include <cstdint>

struct route_point {
    int16_t x, y;  // world pixels: the top-left corner of the point's cell
};

constexpr int k_route_points = 16;
constexpr int k_route_max_points = 15;  // a longer route is given up

// A character's route, laid out as the character record embeds it.
struct char_route {
    uint32_t route_index;  // the next point to walk to
    int32_t route_count;
    route_point route[k_route_points];
};
static_assert(sizeof(char_route) == 72);

constexpr int32_t k_search_grid = 400;

// Searches from the start cell to the goal cell, both in world cells (world position / 32); the
// map's origin is added here. Mode 0 passes cells of value 0 only, mode 1 every cell but 1.
// The route is emptied first and left with at most 15 points from near the start to the goal
// (the start cell is never a point). Returns 0 when nothing was searched: start equals goal,
// goal outside the grid, no free cell near a blocked goal, or more than 1,498 open cells;
// otherwise 1, with an empty route when none was found or it needs more than 15 points. Cells
// beyond the 400 x 400 search grid count as blocked.
int32_t find_path(char_route* route, const movement_map* map, int32_t start_column, int32_t start_row,
                  int32_t goal_column, int32_t goal_row, int32_t mode);

// Reverses the order of the route's points.
void reverse_path(char_route* route);

// Whether every cell on the straight line from one grid cell to another passes the cell test
// of the mode (1: not 1, else: 0); 1 clear, 0 blocked.
int32_t test_line_of_walk(const movement_map* map, int32_t mode, int32_t from_column, int32_t from_row,
                          int32_t to_column, int32_t to_row);
