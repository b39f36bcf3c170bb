#include "world/path_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

constexpr int32_t k_depth_stride = k_search_grid + 2;
constexpr int32_t k_reach_worth = 64;  // chain cells left before a waypoint's reach is looked for

int32_t depth_index(int32_t column, int32_t row)
{
    return (row + 1) * k_depth_stride + column + 1;
}

// The depth index of each neighbour less the cell's own.
constexpr std::array<int32_t, 8> k_depth_step = [] {
    std::array<int32_t, 8> step{};
    for (int k = 0; k < 8; ++k)
        step[k] = k_step_row[k] * k_depth_stride + k_step_column[k];
    return step;
}();

// A block of three rows of four cells from a cell's north-west neighbour holds its eight
// neighbours: bit 4 x row + column of the block to bit k of neighbour k.
constexpr std::array<uint8_t, 4096> k_block_to_neighbours = [] {
    std::array<uint8_t, 4096> order{};
    for (uint32_t block = 0; block < 4096; ++block)
        for (uint32_t k = 0; k < 8; ++k)
            order[block] |= uint8_t((block >> (4 * (k_step_row[k] + 1) + k_step_column[k] + 1) & 1) << k);
    return order;
}();

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
// entry moves into its place. A heap of four sons a node over (key, list index) pairs, each one
// number that orders as the pair does, finds that entry without scanning the list. The last
// entry is held out of the heap until another is appended: when it is the nearest, as on a
// walk down a corridor toward the goal, it is taken without touching the heap.
class open_list {
public:
    open_list() { std::fill(std::begin(heap_), std::end(heap_), k_empty); }

    int32_t size() const { return count_; }

    void clear()
    {
        std::fill_n(heap_, heap_size_, k_empty);
        count_ = heap_size_ = 0;
        held_ = false;
    }

    void push(open_entry entry)
    {
        if (held_)
            heap_insert(value(entries_[count_ - 1].key, count_ - 1));
        entries_[count_++] = entry;
        held_ = true;
    }

    open_entry take()
    {
        const int32_t last = count_ - 1;
        const open_entry at_end = entries_[last];
        if (held_ && (heap_size_ == 0 || value(at_end.key, last) < heap_[0])) {
            held_ = false;
            count_ = last;
            return at_end;
        }
        const int32_t best = int32_t(heap_[0] & 0xFFFF);
        const open_entry taken = entries_[best];
        count_ = last;
        if (held_) {
            // The held last entry fills the taken slot, and its place at the top of the heap.
            held_ = false;
            entries_[best] = at_end;
            place(0, value(at_end.key, best));
            sift_down(0);
            return taken;
        }
        const uint32_t moved = heap_[--heap_size_];
        heap_[heap_size_] = k_empty;
        if (heap_size_ > 0) {
            place(0, moved);
            sift_down(0);
        }
        if (best != last) {
            // The last entry fills the taken slot: same key, lower index, so it can only rise.
            entries_[best] = at_end;
            const int32_t position = slot_[last];
            place(position, value(at_end.key, best));
            sift_up(position);
        }
        return taken;
    }

private:
    static constexpr int32_t k_arity = 4;
    static constexpr uint32_t k_empty = UINT32_MAX;  // every heap place from the heap's size on

    // The key in the high half (offset to sort as unsigned), the list index in the low half.
    static uint32_t value(int16_t key, int32_t index) { return uint32_t(int32_t(key) + 32768) << 16 | uint32_t(index); }

    void place(int32_t position, uint32_t v)
    {
        heap_[position] = v;
        slot_[v & 0xFFFF] = int16_t(position);
    }

    void heap_insert(uint32_t v)
    {
        place(heap_size_, v);
        sift_up(heap_size_++);
    }

    void sift_up(int32_t position)
    {
        const uint32_t v = heap_[position];
        while (position > 0) {
            const int32_t parent = (position - 1) / k_arity;
            const uint32_t above = heap_[parent];
            if (v >= above)
                break;
            place(position, above);
            position = parent;
        }
        place(position, v);
    }

    // The places past the heap's size hold k_empty, so every node has four sons to compare.
    void sift_down(int32_t position)
    {
        const uint32_t v = heap_[position];
        for (;;) {
            const int32_t first = k_arity * position + 1;
            if (first >= heap_size_)
                break;
            // The smallest son, chosen without a branch.
            const uint32_t* son = &heap_[first];
            const bool second_of_first = son[1] < son[0], second_of_last = son[3] < son[2];
            const uint32_t first_pair = second_of_first ? son[1] : son[0];
            const uint32_t last_pair = second_of_last ? son[3] : son[2];
            const bool last = last_pair < first_pair;
            const uint32_t below = last ? last_pair : first_pair;
            if (below >= v)
                break;
            place(position, below);
            position = first + (last ? 2 + int32_t(second_of_last) : int32_t(second_of_first));
        }
        place(position, v);
    }

    open_entry entries_[k_open_limit + 1];
    int32_t count_ = 0;
    bool held_ = false;                      // the last entry is not in the heap
    uint32_t heap_[k_open_limit + k_arity];  // value of each entry but the held one, then k_empty
    int32_t heap_size_ = 0;
    int16_t slot_[k_open_limit + 1];  // the heap position of each list index
};

struct search_state {
    grid_cell start, goal;
    // Depths row after row, with a border of cells that stay 0 around the grid, so that the
    // neighbours of any grid cell can be read: depth_index(column, row). 0 not reached.
    int16_t depth[k_depth_stride * k_depth_stride];
    int32_t touched[k_search_grid * k_search_grid];  // depth indices set, to clear after
    int32_t touched_count;  // above the capacity when the whole grid is to be cleared
    open_list open;
    grid_cell chain[k_chain_capacity];  // the descent from the goal to the start
};

search_state g_search;

bool in_search_grid(int32_t column, int32_t row)
{
    return column >= 0 && row >= 0 && column < k_search_grid && row < k_search_grid;
}

constexpr int32_t k_touched_capacity = k_search_grid * k_search_grid;

void set_depth(int32_t column, int32_t row, int16_t depth)
{
    g_search.depth[depth_index(column, row)] = depth;
    // A cell is set again only after its depth wrapped to 0; past the capacity the whole grid
    // is cleared instead.
    if (g_search.touched_count < k_touched_capacity)
        g_search.touched[g_search.touched_count] = depth_index(column, row);
    ++g_search.touched_count;
}

void clear_depths()
{
    if (g_search.touched_count > k_touched_capacity) {
        std::memset(g_search.depth, 0, sizeof g_search.depth);
    } else {
        for (int32_t i = 0; i < g_search.touched_count; ++i)
            g_search.depth[g_search.touched[i]] = 0;
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

void push_open(int32_t column, int32_t row)
{
    g_search.open.push({int16_t(column), int16_t(row), goal_key(column, row)});
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

// The cell test of cell_test and the absence of a depth, for the eight neighbours of a cell at
// once: bit k for neighbour k.
class neighbour_test {
public:
    neighbour_test(const movement_map* map, int32_t mode)
        : cells_(map->cells),
          columns_(uint32_t(std::max<int32_t>(map->columns, 0))),
          rows_(uint32_t(std::max<int32_t>(map->rows, 0))),
          inner_columns_(std::min<uint32_t>(columns_, k_search_grid + 1)),
          inner_rows_(std::min<uint32_t>(rows_, k_search_grid)),
          passing_(mode == 1 ? k_cell_blocked : k_cell_free),
          invert_(mode == 1 ? 0xFFFu : 0u),
          plain_(map->cells != nullptr && map->valid != 0)
    {
    }

    uint32_t new_passing(grid_cell cell) const
    {
        const bool inner = cell.column >= 1 && cell.row >= 1 && uint32_t(cell.column) + 2 < inner_columns_ &&
                           uint32_t(cell.row) + 1 < inner_rows_;
        if (!plain_ || !inner)
            return new_passing_at_edge(cell);
        // The neighbours, and the cells east of the east ones, lie on the map and in the search
        // grid: the block of three rows of four cells from the north-west neighbour.
        const uint8_t* at = cells_ + size_t(cell.row - 1) * columns_ + size_t(cell.column - 1);
        const int16_t* depth = &g_search.depth[depth_index(cell.column - 1, cell.row - 1)];
#if defined(__SSE2__)
        // A row's four cells are four bytes and its four depths eight, so the block is tested at once.
        const auto four_bytes = [](const uint8_t* p) {
            int32_t bytes;
            std::memcpy(&bytes, p, sizeof bytes);
            return _mm_cvtsi32_si128(bytes);
        };
        const __m128i values = _mm_unpacklo_epi64(_mm_unpacklo_epi32(four_bytes(at), four_bytes(at + columns_)),
                                                  four_bytes(at + 2 * size_t(columns_)));
        const uint32_t equal = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(values, _mm_set1_epi8(char(passing_)))));
        const auto four_depths = [](const int16_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
        const __m128i zero = _mm_setzero_si128();
        const __m128i upper = _mm_unpacklo_epi64(four_depths(depth), four_depths(depth + k_depth_stride));
        const __m128i lower = four_depths(depth + 2 * k_depth_stride);
        const uint32_t fresh = uint32_t(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(upper, zero), _mm_cmpeq_epi16(lower, zero))));
#else
        uint32_t equal = 0, fresh = 0;
        for (uint32_t row = 0; row < 3; ++row) {
            for (uint32_t column = 0; column < 4; ++column) {
                equal |= uint32_t(at[row * columns_ + column] == passing_) << (4 * row + column);
                fresh |= uint32_t(depth[row * k_depth_stride + column] == 0) << (4 * row + column);
            }
        }
#endif
        return k_block_to_neighbours[(equal ^ invert_) & fresh & 0xFFFu];
    }

private:
    // Neighbours off the map or off the search grid, a map without cells or an invalid one. Kept
    // out of line: the search seldom comes here.
    [[gnu::noinline]] uint32_t new_passing_at_edge(grid_cell cell) const
    {
        static const uint8_t outside = 0;
        uint32_t entered = 0;
        for (uint32_t k = 0; k < 8; ++k) {
            const int32_t column = cell.column + k_step_column[k];
            const int32_t row = cell.row + k_step_row[k];
            const bool on_map = uint32_t(column) < columns_ && uint32_t(row) < rows_;
            const uint8_t value = *(on_map && cells_ ? &cells_[size_t(row) * columns_ + size_t(column)] : &outside);
            const bool accepted = (value == passing_) != (invert_ != 0);
            const bool passes = cells_ == nullptr || (plain_ & on_map & accepted);
            const bool fresh = in_search_grid(column, row) && g_search.depth[depth_index(column, row)] == 0;
            entered |= uint32_t(passes & fresh) << k;
        }
        return entered;
    }

    const uint8_t* cells_;
    uint32_t columns_, rows_;
    // Cells 2 columns and 1 row short of these have their block on the map and in the grid.
    uint32_t inner_columns_, inner_rows_;
    uint8_t passing_;  // a cell passes when its value equals this, or in mode 1 when it differs
    uint32_t invert_;  // the block bits to turn over: all of them in mode 1
    bool plain_;  // the map has cells and is valid
};

enum class expansion { found, exhausted, overflow };

expansion expand(const movement_map* map, int32_t mode)
{
    g_search.open.clear();
    push_open(g_search.start.column, g_search.start.row);
    set_depth(g_search.start.column, g_search.start.row, 1);

    const neighbour_test test(map, mode);
    const grid_cell goal = g_search.goal;
    while (g_search.open.size() > 0) {
        const open_entry taken = g_search.open.take();
        const grid_cell current{taken.column, taken.row};
        const int16_t current_depth = g_search.depth[depth_index(current.column, current.row)];
        const uint32_t entered = test.new_passing(current);
        // Which neighbour is the goal (8: none).
        const int32_t dc = goal.column - current.column, dr = goal.row - current.row;
        uint32_t goal_k = 8;
        if (std::abs(dc) <= 1 && std::abs(dr) <= 1)
            for (uint32_t k = 0; k < 8; ++k)
                goal_k = k_step_column[k] == dc && k_step_row[k] == dr ? k : goal_k;
        // The neighbours are visited in order up to the goal, or all eight; the open list's limit
        // is tested at each, before it is entered. The list only grows, so the test at the last
        // one visited, after the entries before it (seven at most), decides.
        const uint32_t last_visited = goal_k < 8 ? goal_k : 7;
        const uint32_t before_last = (1u << last_visited) - 1;
        const int32_t size = g_search.open.size();
        if (size > k_open_limit - 7 && size + std::popcount(entered & before_last) > k_open_limit)
            return expansion::overflow;
        const uint32_t through_last = before_last | 1u << last_visited;
        for (uint32_t todo = entered & through_last; todo != 0; todo &= todo - 1) {
            const uint32_t k = uint32_t(std::countr_zero(todo));
            set_depth(current.column + k_step_column[k], current.row + k_step_row[k], int16_t(current_depth + 1));
            push_open(current.column + k_step_column[k], current.row + k_step_row[k]);
        }
        if (goal_k < 8)
            return expansion::found;
    }
    return expansion::exhausted;
}

// The neighbour with the smallest depth above 0 and below the ceiling (the first in order on a
// tie). False when there is none, or when it does not lie lower than the cursor itself: depths
// that wrapped past 16 bits give no way down, and the walk gives up instead of circling. The
// cursor lies in the search grid, so its neighbours lie in the grid or on its border.
bool step_down(grid_cell* cursor)
{
    const int16_t* depth = &g_search.depth[depth_index(cursor->column, cursor->row)];
    int32_t best = 0;
    int16_t best_depth = 0;
    for (int32_t k = 0; k < 8; ++k) {
        const int16_t d = depth[k_depth_step[k]];
        if (d > 0 && d < k_depth_ceiling && (best_depth == 0 || d < best_depth)) {
            best = k;
            best_depth = d;
        }
    }
    if (best_depth == 0)
        return false;
    const int16_t own = *depth;
    if (own > 0 && own < k_depth_ceiling && best_depth >= own)
        return false;
    *cursor = {cursor->column + k_step_column[best], cursor->row + k_step_row[best]};
    return true;
}

// What a straight line from one cell needs before it is walked: the cell itself free, and its
// first step free. The first step moves one cell along the longer axis and at most one across, so
// a line whose three candidate cells there are all blocked is blocked (test_line_of_walk, mode 0).
class sight_from {
public:
    sight_from(const movement_map* map, grid_cell from) : from_(from)
    {
        free_ = is_grid_cell_free(map, from.column, from.row) != 0;
        for (int32_t dc = -1; dc <= 1; ++dc)
            for (int32_t dr = -1; dr <= 1; ++dr)
                around_[dc + 1][dr + 1] = is_grid_cell_free(map, from.column + dc, from.row + dr) != 0;
    }

    bool may_see(grid_cell to) const
    {
        if (!free_)
            return false;
        const int32_t dc = from_.column - to.column, dr = from_.row - to.row;
        if (std::abs(dc) > std::abs(dr)) {
            const int32_t c = (dc < 1 ? 1 : -1) + 1;
            return around_[c][0] || around_[c][1] || around_[c][2];
        }
        if (dr == 0)
            return true;  // the cell itself
        const int32_t r = (dr < 1 ? 1 : -1) + 1;
        return around_[0][r] || around_[1][r] || around_[2][r];
    }

private:
    grid_cell from_;
    bool free_;
    bool around_[3][3];
};

// How far, along its longer axis, a straight line from a cell can reach and be clear
// (test_line_of_walk, mode 0); -1 when none is, k_search_grid or more when the cells tested
// would exceed the budget. A line advances one cell along its longer axis each step and 0 or 1
// cell across it, always to the same side, so its cells are a staircase of free cells within one
// of eight octants; the staircases of each octant are followed step by step until none is left.
int32_t sight_reach(const movement_map* map, grid_cell from, int32_t budget)
{
    if (!is_grid_cell_free(map, from.column, from.row))
        return -1;
    int32_t reach = 0;
    for (int octant = 0; octant < 8; ++octant) {
        // Octants 0 to 3 advance along columns, 4 to 7 along rows; bit 0 is the sign along, bit 1
        // the sign across.
        const int32_t sign_along = octant & 1 ? -1 : 1, sign_across = octant & 2 ? -1 : 1;
        const bool columns_along = octant < 4;
        const grid_cell along = columns_along ? grid_cell{sign_along, 0} : grid_cell{0, sign_along};
        const grid_cell across = columns_along ? grid_cell{0, sign_across} : grid_cell{sign_across, 0};
        // reached[m]: the cell m across at the current step ends a staircase of free cells.
        uint8_t reached[k_search_grid + 1];
        reached[0] = 1;
        int32_t low = 0, high = 0;
        for (int32_t step = 1; high >= low; ++step) {
            if (step > reach)
                reach = step - 1;
            if (step >= k_search_grid)
                return k_search_grid;
            // Downward, so that reached[m - 1] still holds the previous step when m is set.
            int32_t new_low = high + 2, new_high = -1;
            for (int32_t m = high + 1; m >= low; --m) {
                const bool below = m <= high && reached[m];
                const bool beside = m > low && reached[m - 1];
                bool clear = false;
                if (below || beside) {
                    if (--budget < 0)
                        return k_search_grid;
                    clear = is_grid_cell_free(map, from.column + along.column * step + across.column * m,
                                              from.row + along.row * step + across.row * m) != 0;
                }
                reached[m] = clear;
                if (clear) {
                    new_low = m;
                    new_high = std::max(new_high, m);
                }
            }
            low = new_low;
            high = new_high;
        }
    }
    return reach;
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
        const sight_from from(map, chain[last]);
        // Each cell of the chain lies next to the one before, so a cell n cells beyond the reach
        // is followed by at least n - 1 more beyond it. The reach is worth finding on a long chain
        // only, and only while it costs a fraction of the tests it may save.
        const int32_t remaining = length - last - 1;
        const int32_t reach = remaining < k_reach_worth ? k_search_grid : sight_reach(map, chain[last], remaining / 4);
        for (int32_t i = last + 1; i < length;) {
            const int32_t distance = std::max(std::abs(chain[i].column - chain[last].column),
                                              std::abs(chain[i].row - chain[last].row));
            if (distance > reach) {
                i += distance - reach;
                continue;
            }
            if (from.may_see(chain[i]) &&
                test_line_of_walk(map, 0, chain[last].column, chain[last].row, chain[i].column, chain[i].row))
                farthest = i;
            ++i;
        }
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
