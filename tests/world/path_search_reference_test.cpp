// find_path against a plain rendering of the search: the open list scanned for its smallest
// key, the depth grid cleared whole, and the descent walked again from every waypoint. Both
// must give the same result and route on every map.
#include "platform/random.h"
#include "world/path_search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct reference_search {
    const movement_map* map;
    int mode;
    int sc = 0, sr = 0, gc = 0, gr = 0;
    std::vector<int16_t> depth = std::vector<int16_t>(400 * 400, 0);
    struct entry {
        int c, r;
        int16_t key;
    };
    std::vector<entry> open = {};
    int descent = 0;  // cells of the walk down from the goal

    int16_t& d(int c, int r) { return depth[size_t(c * 400 + r)]; }
    int16_t depth_or_0(int c, int r) { return c >= 0 && r >= 0 && c < 400 && r < 400 ? d(c, r) : 0; }
    int test(int c, int r) { return mode == 1 ? is_grid_cell_passable(map, c, r) : is_grid_cell_free(map, c, r); }

    int run(char_route* route, int start_c, int start_r, int goal_c, int goal_r)
    {
        static const int step_c[8] = {0, 1, 0, -1, -1, 1, 1, -1}, step_r[8] = {-1, 0, 1, 0, -1, -1, 1, 1};
        static const int ring_c[8] = {0, 1, 1, 1, 0, -1, -1, -1}, ring_r[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
        sc = start_c + map->origin_column, sr = start_r + map->origin_row;
        gc = goal_c + map->origin_column, gr = goal_r + map->origin_row;
        route->route_count = 0;
        route->route_index = 0;
        if (sc == gc && sr == gr)
            return 0;
        if (gc < 0 || gr < 0 || gc >= map->columns || gr >= map->rows)
            return 0;
        if (!is_grid_cell_free(map, gc, gr)) {
            int sx = sc >= gc ? -1 : 1, sy = sr >= gr ? -1 : 1;
            bool found = false;
            for (int ring = 1; !found; ++ring) {
                bool touches = false;
                for (int k = 0; k < 8 && !found; ++k) {
                    int c = gc + ring_c[k] * ring * sx, r = gr + ring_r[k] * ring * sy;
                    touches = touches || (c >= 0 && r >= 0 && c < map->columns && r < map->rows);
                    if (is_grid_cell_free(map, c, r)) {
                        gc = c, gr = r;
                        found = true;
                    }
                }
                if (!found && !touches)
                    return 0;
            }
        }
        auto point = [&](int c, int r) {
            route->route[route->route_count++] = {int16_t((c - map->origin_column) * 32),
                                                  int16_t((r - map->origin_row) * 32)};
        };
        if (std::abs(sc - gc) < 2 && std::abs(sr - gr) < 2) {
            point(gc, gr);
            return 1;
        }
        if (sc < 0 || sr < 0 || sc >= 400 || sr >= 400 || gc >= 400 || gr >= 400 || gc < 0 || gr < 0)
            return 1;
        auto key = [&](int c, int r) { return int16_t((c - gc) * (c - gc) + (r - gr) * (r - gr)); };
        open.push_back({sc, sr, key(sc, sr)});
        d(sc, sr) = 1;
        bool found = false;
        while (!open.empty() && !found) {
            size_t best = 0;
            for (size_t i = 1; i < open.size(); ++i)
                if (open[i].key < open[best].key)
                    best = i;
            entry cur = open[best];
            open[best] = open.back();
            open.pop_back();
            for (int k = 0; k < 8; ++k) {
                int c = cur.c + step_c[k], r = cur.r + step_r[k];
                int passes = test(c, r);
                if (open.size() > 1498)
                    return 0;
                if (passes && depth_or_0(c, r) == 0 && c >= 0 && r >= 0 && c < 400 && r < 400) {
                    d(c, r) = int16_t(d(cur.c, cur.r) + 1);
                    open.push_back({c, r, key(c, r)});
                }
                if (c == gc && r == gr) {
                    found = true;
                    break;
                }
            }
        }
        if (!found)
            return 1;
        int last_c = gc, last_r = gr, cur_c = gc, cur_r = gr, far_c = gc, far_r = gr;
        for (;;) {
            if (cur_c == sc && cur_r == sr) {
                reverse_path(route);
                return 1;
            }
            while (cur_c != sc || cur_r != sr) {
                int best_c = 0, best_r = 0;
                int16_t best_d = 0;
                for (int k = 0; k < 8; ++k) {
                    int16_t v = depth_or_0(cur_c + step_c[k], cur_r + step_r[k]);
                    if (v > 0 && v < 32000 && (best_d == 0 || v < best_d))
                        best_c = cur_c + step_c[k], best_r = cur_r + step_r[k], best_d = v;
                }
                int16_t own = depth_or_0(cur_c, cur_r);
                if (best_d == 0 || (own > 0 && own < 32000 && best_d >= own)) {
                    route->route_count = 0;
                    return 1;
                }
                cur_c = best_c, cur_r = best_r;
                descent += route->route_count == 0;
                if (test_line_of_walk(map, 0, last_c, last_r, cur_c, cur_r))
                    far_c = cur_c, far_r = cur_r;
            }
            point(last_c, last_r);
            if (route->route_count > 15) {
                route->route_count = 0;
                return 1;
            }
            cur_c = far_c, cur_r = far_r;
            if (far_c == last_c && far_r == last_r) {
                --route->route_count;
                reverse_path(route);
                return 1;
            }
            last_c = cur_c, last_r = cur_r;
        }
    }
};

struct searched {
    int points;   // of the route found
    int descent;  // cells the plain algorithm walked down from the goal
};

// One search by find_path and by the plain algorithm; any difference in result or route fails.
searched expect_same_search(const movement_map* map, int mode, int sc, int sr, int gc, int gr)
{
    char_route expected{}, actual{};
    reference_search reference{map, mode};
    const int expected_result = reference.run(&expected, sc, sr, gc, gr);
    EXPECT_EQ(find_path(&actual, map, sc, sr, gc, gr, mode), expected_result);
    EXPECT_EQ(actual.route_count, expected.route_count);
    if (actual.route_count == expected.route_count) {
        EXPECT_EQ(std::memcmp(actual.route, expected.route, sizeof(route_point) * size_t(actual.route_count)), 0);
    }
    return {actual.route_count, reference.descent};
}

} // namespace

TEST(PathSearchReference, TheSearchMatchesThePlainAlgorithmOnRandomMaps)
{
    game_srand(2024);
    int routes = 0, searches = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        movement_map map{};
        int16_t columns = int16_t(2 + game_rand() % 70), rows = int16_t(2 + game_rand() % 50);
        if (trial % 50 == 0)
            columns = int16_t(400 + game_rand() % 60);  // beyond the search grid
        ASSERT_TRUE(create_movemap(&map, columns, rows, int16_t(game_rand() % 20 - 5), int16_t(game_rand() % 20 - 5)));
        int density = game_rand() % 45;
        for (int i = 0; i < columns * rows; ++i) {
            int roll = game_rand() % 100;
            map.cells[i] = roll < density ? 1 : roll < density + 8 ? 2 : roll < density + 10 ? 3 : 0;
        }
        int mode = game_rand() % 2;
        for (int pair = 0; pair < 4; ++pair) {
            int sc = game_rand() % (columns + 4) - 2 - map.origin_column;
            int sr = game_rand() % (rows + 4) - 2 - map.origin_row;
            int gc = game_rand() % (columns + 4) - 2 - map.origin_column;
            int gr = game_rand() % (rows + 4) - 2 - map.origin_row;
            SCOPED_TRACE(testing::Message() << "trial " << trial << " pair " << pair);
            const searched search = expect_same_search(&map, mode, sc, sr, gc, gr);
            if (testing::Test::HasFailure())
                return free_movemap(&map);
            ++searches;
            routes += search.points > 1;
        }
        free_movemap(&map);
    }
    EXPECT_GT(routes, searches / 10);  // the maps give real routes, not only trivial answers
}

// Mazes of one-cell corridors with some walls knocked out, rooms and cells of 2: descents of
// thousands of cells whose waypoints see a few cells along a corridor, or far across a room.
TEST(PathSearchReference, TheSearchMatchesThePlainAlgorithmOnMazesWithRooms)
{
    game_srand(77);
    int routes = 0, long_descents = 0;
    for (int trial = 0; trial < 12; ++trial) {
        const int16_t columns = int16_t(trial == 0 ? 400 : 61 + 2 * (game_rand() % 60));
        const int16_t rows = int16_t(trial == 0 ? 400 : 41 + 2 * (game_rand() % 50));
        movement_map map{};
        ASSERT_TRUE(create_movemap(&map, columns, rows, int16_t(trial % 3), 0));
        auto at = [&](int c, int r) -> uint8_t& { return map.cells[size_t(r) * size_t(columns) + size_t(c)]; };
        std::memset(map.cells, 1, size_t(columns) * size_t(rows));
        std::vector<std::pair<int, int>> stack = {{1, 1}};
        at(1, 1) = 0;
        while (!stack.empty()) {
            auto [c, r] = stack.back();
            std::pair<int, int> options[4];
            int n = 0;
            for (auto [dc, dr] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}})
                if (c + dc > 0 && r + dr > 0 && c + dc < columns - 1 && r + dr < rows - 1 && at(c + dc, r + dr) == 1)
                    options[n++] = {c + dc, r + dr};
            if (n == 0) {
                stack.pop_back();
                continue;
            }
            auto [nc, nr] = options[game_rand() % n];
            at((c + nc) / 2, (r + nr) / 2) = 0;
            at(nc, nr) = 0;
            stack.emplace_back(nc, nr);
        }
        const int knocked = trial % 4 == 0 ? 0 : columns * rows / (20 + game_rand() % 200);
        for (int i = 0; i < knocked; ++i)
            at(1 + game_rand() % (columns - 2), 1 + game_rand() % (rows - 2)) = uint8_t(game_rand() % 3 == 0 ? 2 : 0);
        for (int room = trial % 4 == 0 ? 0 : game_rand() % 4; room > 0; --room) {
            int c0 = 1 + game_rand() % (columns - 20), r0 = 1 + game_rand() % (rows - 20);
            for (int c = c0; c < c0 + 5 + game_rand() % 14; ++c)
                for (int r = r0; r < r0 + 5 + game_rand() % 14; ++r)
                    at(c, r) = 0;
        }
        for (int pair = 0; pair < 6; ++pair) {
            int sc = 1 + game_rand() % (columns - 2), sr = 1 + game_rand() % (rows - 2);
            int gc = 1 + game_rand() % (columns - 2), gr = 1 + game_rand() % (rows - 2);
            if (pair == 0)
                sc = sr = 1, gc = columns - 3 + columns % 2, gr = rows - 3 + rows % 2;  // corner to corner
            sc -= map.origin_column, gc -= map.origin_column;
            for (int mode = 0; mode < 2; ++mode) {
                SCOPED_TRACE(testing::Message() << "trial " << trial << " pair " << pair << " mode " << mode);
                const searched search = expect_same_search(&map, mode, sc, sr, gc, gr);
                if (testing::Test::HasFailure())
                    return free_movemap(&map);
                routes += search.points > 1;
                long_descents += search.descent > 1000;
            }
        }
        free_movemap(&map);
    }
    EXPECT_GT(routes, 10);
    EXPECT_GT(long_descents, 10);
}
