#include "world/path_search.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr int32_t k_open_limit = 1498;  // more open entries than this end the search
constexpr int16_t k_depth_ceiling = 32000;
// The descent falls by at least one depth a step, so it is never longer than the ceiling.
constexpr int32_t k_chain_capacity = k_depth_ceiling;

// Neighbour order: north, east, south, west, north-west, north-east, south-east, south-west.
constexpr int32_t k_step_column[8] = {0, 1, 0, -1, -1, 1, 1, -1};
constexpr int32_t k_step_row[8] = {-1, 0, 1, 0, -1, -1, 1, 1};

// Directions of the search for a free cell near a blocked goal.
constexpr int32_t k_ring_column[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t k_ring_row[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

struct open_entry {
    int16_t column, row;
    int16_t key;  // squared distance to the goal, wrapped to 16 bits
};

struct grid_cell {
    int32_t column, row;
    bool operator==(const grid_cell&) const = default;
};

// The open list keeps the order the search has always had: an entry is appended at the end,
// the entry of smallest key (the lowest list index among equal keys) is taken and the last
// entry moves into its place. A binary heap over the list indices, ordered by (key, index),
// finds that entry without scanning the list.
struct search_state {
    grid_cell start, goal;
    int16_t depth[k_search_grid][k_search_grid];  // [column][row]; 0 not reached
    int32_t touched[k_search_grid * k_search_grid];  // cells whose depth was set, to clear after
    int32_t touched_count;  // above the capacity when the whole grid is to be cleared
    open_entry open[k_open_limit + 1];
    int32_t open_count;
    int16_t heap[k_open_limit + 1];       // list indices
    int16_t heap_slot[k_open_limit + 1];  // the heap position of each list index
    grid_cell chain[k_chain_capacity];    // the descent from the goal to the start
};

search_state g_search;

bool in_search_grid(int32_t column, int32_t row)
{
    return column >= 0 && row >= 0 && column < k_search_grid && row < k_search_grid;
}

int16_t depth_at(int32_t column, int32_t row)
{
    return in_search_grid(column, row) ? g_search.depth[column][row] : 0;
}

constexpr int32_t k_touched_capacity = k_search_grid * k_search_grid;

void set_depth(int32_t column, int32_t row, int16_t depth)
{
    g_search.depth[column][row] = depth;
    // A cell is set again only after its depth wrapped to 0; past the capacity the whole grid
    // is cleared instead.
    if (g_search.touched_count < k_touched_capacity)
        g_search.touched[g_search.touched_count] = column * k_search_grid + row;
    ++g_search.touched_count;
}

void clear_depths()
{
    if (g_search.touched_count > k_touched_capacity) {
        std::memset(g_search.depth, 0, sizeof g_search.depth);
    } else {
        int16_t* depth = &g_search.depth[0][0];
        for (int32_t i = 0; i < g_search.touched_count; ++i)
            depth[g_search.touched[i]] = 0;
    }
    g_search.touched_count = 0;
}

int16_t goal_key(int32_t column, int32_t row)
{
    int32_t dc = column - g_search.goal.column;
    int32_t dr = row - g_search.goal.row;
    return int16_t(dc * dc + dr * dr);
}

int32_t cell_test(const movement_map* map, int32_t mode, int32_t column, int32_t row)
{
    return mode == 1 ? is_grid_cell_passable(map, column, row) : is_grid_cell_free(map, column, row);
}

// Whether list entry a is taken before list entry b.
bool comes_first(int32_t a, int32_t b)
{
    int16_t ka = g_search.open[a].key, kb = g_search.open[b].key;
    return ka < kb || (ka == kb && a < b);
}

void heap_place(int32_t position, int16_t index)
{
    g_search.heap[position] = index;
    g_search.heap_slot[index] = int16_t(position);
}

void sift_up(int32_t position)
{
    int16_t index = g_search.heap[position];
    while (position > 0) {
        int32_t parent = (position - 1) / 2;
        if (!comes_first(index, g_search.heap[parent]))
            break;
        heap_place(position, g_search.heap[parent]);
        position = parent;
    }
    heap_place(position, index);
}

void sift_down(int32_t position, int32_t size)
{
    int16_t index = g_search.heap[position];
    for (;;) {
        int32_t child = 2 * position + 1;
        if (child >= size)
            break;
        if (child + 1 < size && comes_first(g_search.heap[child + 1], g_search.heap[child]))
            ++child;
        if (!comes_first(g_search.heap[child], index))
            break;
        heap_place(position, g_search.heap[child]);
        position = child;
    }
    heap_place(position, index);
}

void push_open(int32_t column, int32_t row)
{
    int32_t index = g_search.open_count++;
    g_search.open[index] = {int16_t(column), int16_t(row), goal_key(column, row)};
    heap_place(index, int16_t(index));
    sift_up(index);
}

grid_cell take_nearest_open()
{
    int32_t size = g_search.open_count;
    int16_t best = g_search.heap[0];
    open_entry taken = g_search.open[best];

    heap_place(0, g_search.heap[size - 1]);
    if (size > 1)
        sift_down(0, size - 1);

    int32_t last = size - 1;
    if (best != last) {
        // The last entry fills the taken slot: same key, lower index, so it can only rise.
        g_search.open[best] = g_search.open[last];
        int32_t position = g_search.heap_slot[last];
        heap_place(position, best);
        sift_up(position);
    }
    g_search.open_count = last;
    return {taken.column, taken.row};
}

void append_point(char_route* route, const movement_map* map, grid_cell cell)
{
    route->route[route->route_count++] = {int16_t((cell.column - map->origin_column) * k_cell_size),
                                          int16_t((cell.row - map->origin_row) * k_cell_size)};
}

// Moves a blocked goal to the first free cell of the rings around it, searched on the side of
// the start first. False once a ring lies wholly outside the grid.
bool shift_blocked_goal(const movement_map* map)
{
    grid_cell& goal = g_search.goal;
    int32_t sx = g_search.start.column >= goal.column ? -1 : 1;
    int32_t sy = g_search.start.row >= goal.row ? -1 : 1;
    for (int32_t ring = 1;; ++ring) {
        bool touches = false;
        for (int k = 0; k < 8; ++k) {
            int32_t column = goal.column + k_ring_column[k] * ring * sx;
            int32_t row = goal.row + k_ring_row[k] * ring * sy;
            touches = touches || (column >= 0 && row >= 0 && column < map->columns && row < map->rows);
            if (is_grid_cell_free(map, column, row)) {
                goal = {column, row};
                return true;
            }
        }
        if (!touches)
            return false;
    }
}

enum class expansion { found, exhausted, overflow };

expansion expand(const movement_map* map, int32_t mode)
{
    g_search.open_count = 0;
    push_open(g_search.start.column, g_search.start.row);
    set_depth(g_search.start.column, g_search.start.row, 1);

    while (g_search.open_count > 0) {
        grid_cell current = take_nearest_open();
        int16_t current_depth = g_search.depth[current.column][current.row];
        for (int k = 0; k < 8; ++k) {
            int32_t column = current.column + k_step_column[k];
            int32_t row = current.row + k_step_row[k];
            int32_t passes = cell_test(map, mode, column, row);
            if (g_search.open_count > k_open_limit)
                return expansion::overflow;
            if (passes && in_search_grid(column, row) && g_search.depth[column][row] == 0) {
                set_depth(column, row, int16_t(current_depth + 1));
                push_open(column, row);
            }
            if (grid_cell{column, row} == g_search.goal)
                return expansion::found;
        }
    }
    return expansion::exhausted;
}

// The neighbour with the smallest depth above 0 and below the ceiling (the first in order on a
// tie). False when there is none, or when it does not lie lower than the cursor itself: depths
// that wrapped past 16 bits give no way down, and the walk gives up instead of circling.
bool step_down(grid_cell* cursor)
{
    grid_cell best{};
    int16_t best_depth = 0;
    for (int k = 0; k < 8; ++k) {
        int32_t column = cursor->column + k_step_column[k];
        int32_t row = cursor->row + k_step_row[k];
        int16_t d = depth_at(column, row);
        if (d > 0 && d < k_depth_ceiling && (best_depth == 0 || d < best_depth)) {
            best = {column, row};
            best_depth = d;
        }
    }
    if (best_depth == 0)
        return false;
    int16_t own = depth_at(cursor->column, cursor->row);
    if (own > 0 && own < k_depth_ceiling && best_depth >= own)
        return false;
    *cursor = best;
    return true;
}

// Walks back from the goal to the start and keeps, from each waypoint, the last cell of the
// descent that is visible from it as the next waypoint. The descent from a cell depends on that
// cell alone, so the walk from every waypoint follows one chain of cells, found once.
int32_t build_route(char_route* route, const movement_map* map)
{
    grid_cell* chain = g_search.chain;
    int32_t length = 0;
    chain[length++] = g_search.goal;
    while (!(chain[length - 1] == g_search.start)) {
        grid_cell next = chain[length - 1];
        if (length == k_chain_capacity || !step_down(&next)) {
            route->route_count = 0;
            return 1;
        }
        chain[length++] = next;
    }

    int32_t last = 0;
    int32_t farthest = 0;
    for (;;) {
        if (last == length - 1) {
            reverse_path(route);
            return 1;
        }
        for (int32_t i = last + 1; i < length; ++i)
            if (test_line_of_walk(map, 0, chain[last].column, chain[last].row, chain[i].column, chain[i].row))
                farthest = i;
        append_point(route, map, chain[last]);
        if (route->route_count > k_route_max_points) {
            route->route_count = 0;
            return 1;
        }
        if (farthest == last) {
            --route->route_count;
            reverse_path(route);
            return 1;
        }
        last = farthest;
    }
}

} // namespace

int32_t find_path(char_route* route, const movement_map* map, int32_t start_column, int32_t start_row,
                  int32_t goal_column, int32_t goal_row, int32_t mode)
{
    g_search.start = {start_column + map->origin_column, start_row + map->origin_row};
    g_search.goal = {goal_column + map->origin_column, goal_row + map->origin_row};
    route->route_count = 0;
    route->route_index = 0;

    const grid_cell& start = g_search.start;
    const grid_cell& goal = g_search.goal;
    if (start == goal)
        return 0;
    if (goal.column < 0 || goal.row < 0 || goal.column >= map->columns || goal.row >= map->rows)
        return 0;
    if (!is_grid_cell_free(map, goal.column, goal.row) && !shift_blocked_goal(map))
        return 0;

    if (std::abs(start.column - goal.column) < 2 && std::abs(start.row - goal.row) < 2) {
        append_point(route, map, goal);
        return 1;
    }
    if (!in_search_grid(start.column, start.row) || !in_search_grid(goal.column, goal.row))
        return 1;

    expansion outcome = expand(map, mode);
    int32_t result = outcome == expansion::overflow ? 0 : 1;
    if (outcome == expansion::found)
        result = build_route(route, map);
    clear_depths();
    return result;
}

void reverse_path(char_route* route)
{
    int32_t count = route->route_count;
    if (count > k_route_points)
        count = k_route_points;
    for (int32_t i = 0; i < count / 2; ++i)
        std::swap(route->route[i], route->route[count - 1 - i]);
}

int32_t test_line_of_walk(const movement_map* map, int32_t mode, int32_t from_column, int32_t from_row,
                          int32_t to_column, int32_t to_row)
{
    int32_t dc = from_column - to_column;
    int32_t dr = from_row - to_row;
    float step_column, step_row;
    int32_t n;
    if (std::abs(dc) > std::abs(dr)) {
        step_column = dc < 1 ? 1.0f : -1.0f;
        step_row = dc == 0 ? 0.0f : float(dr) / (float(dc) * step_column);
        n = std::abs(dc);
    } else {
        step_row = dr < 1 ? 1.0f : -1.0f;
        step_column = dr == 0 ? 0.0f : float(dc) / (float(dr) * step_row);
        n = std::abs(dr);
    }
    float column = float(from_column);
    float row = float(from_row);
    for (int32_t i = 0; i <= n; ++i) {
        if (!cell_test(map, mode, int32_t(column), int32_t(row)))
            return 0;
        column += step_column;
        row += step_row;
    }
    return 1;
}
