#include "world/path_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A map drawn in text: '.' free, '#' 1, '2' 2, 'S' the start and 'G' the goal (both free unless
// another character is given for them with start_value / goal_value).
class path_search : public ::testing::Test {
protected:
    void TearDown() override { free_movemap(&map); }

    void draw(const std::vector<std::string>& rows, int16_t origin_column = 0, int16_t origin_row = 0)
    {
        ASSERT_TRUE(create_movemap(&map, int16_t(rows[0].size()), int16_t(rows.size()), origin_column, origin_row));
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                char ch = rows[r][c];
                uint8_t& cell = map.cells[r * rows[0].size() + c];
                cell = ch == '#' ? 1 : ch == '2' ? 2 : 0;
                if (ch == 'S')
                    start = {int(c) - origin_column, int(r) - origin_row};
                if (ch == 'G')
                    goal = {int(c) - origin_column, int(r) - origin_row};
            }
        }
    }

    int32_t search(int32_t mode = 0)
    {
        route.route_count = 99;
        route.route_index = 7;
        return find_path(&route, &map, start.first, start.second, goal.first, goal.second, mode);
    }

    // The route in grid cells.
    std::vector<std::pair<int, int>> cells() const
    {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < route.route_count; ++i)
            out.emplace_back(route.route[i].x / 32 + map.origin_column, route.route[i].y / 32 + map.origin_row);
        return out;
    }

    // Every leg, from the start through the waypoints, is a clear straight line of free cells
    // except where the mode lets the search through cells of 2.
    void expect_walkable_legs(int32_t mode = 0) const
    {
        std::pair<int, int> from{start.first + map.origin_column, start.second + map.origin_row};
        for (auto to : cells()) {
            EXPECT_EQ(test_line_of_walk(&map, mode, from.first, from.second, to.first, to.second), 1)
                << from.first << "," << from.second << " -> " << to.first << "," << to.second;
            from = to;
        }
    }

    movement_map map{};
    char_route route{};
    std::pair<int, int> start, goal;
};

using cell_list = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(path_search, ANeighbouringGoalIsTheWholeRouteWithoutASearch)
{
    draw({"###",
          "#S#",
          "###"});
    for (auto [dc, dr] : {std::pair{1, 1}, {-1, 0}, {0, -1}, {-1, 1}}) {
        goal = {start.first + dc, start.second + dr};
        map.cells[(goal.second) * 3 + goal.first] = 0;  // the goal must be free; the walls stay
        EXPECT_EQ(search(), 1);
        EXPECT_EQ(cells(), (cell_list{{goal.first, goal.second}}));
        EXPECT_EQ(route.route_index, 0u);
    }
}

TEST_F(path_search, NothingIsSearchedForTheStartOrAGoalOutsideTheGrid)
{
    draw({"....",
          ".S..",
          "...."});
    goal = start;
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(route.route_count, 0);
    EXPECT_EQ(route.route_index, 0u);
    goal = {4, 1};
    EXPECT_EQ(search(), 0);
    goal = {1, -1};
    EXPECT_EQ(search(), 0);

    // The map of no cells that a 0 x 0 section leaves: every goal lies outside it.
    ASSERT_TRUE(create_movemap(&map, 0, 0, 2, 1));
    start = {0, 0};
    for (auto cell : {std::pair{-2, -1}, {1, 1}, {-1, 0}}) {
        goal = cell;
        EXPECT_EQ(search(), 0);
        EXPECT_EQ(route.route_count, 0);
    }
}

TEST_F(path_search, ABlockedGoalMovesToTheFirstFreeCellOfTheRingsTowardTheStart)
{
    draw({"..........",
          "S.......#.",
          "........##",
          ".........."}, 3, 2);
    // The start lies left (+1 across) and not below (-1 down): the ring's first cell is below
    // the goal, then below-right, then right.
    goal = {8 - 3, 1 - 2};
    ASSERT_EQ(search(), 1);
    EXPECT_EQ(cells().back(), (std::pair{9, 1}));
    expect_walkable_legs();

    free_movemap(&map);
    draw({"##",
          "##"});
    start = {0, 0};
    goal = {1, 1};
    EXPECT_EQ(search(), 0);  // no free cell near the goal
}

TEST_F(path_search, AStraightCorridorIsTheGoalAlone)
{
    draw({"##############",
          "#S..........G#",
          "##############"}, 5, 5);
    ASSERT_EQ(search(), 1);
    EXPECT_EQ(cells(), (cell_list{{12, 1}}));
    EXPECT_EQ(route.route[0].x, (12 - 5) * 32);
    EXPECT_EQ(route.route[0].y, (1 - 5) * 32);
}

TEST_F(path_search, AWallIsPassedThroughItsGapWithVisibleLegs)
{
    draw({"...........",
          "......#....",
          ".S....#..G.",
          "......#....",
          "......#....",
          "...........",
          "......#...."});
    ASSERT_EQ(search(), 1);
    ASSERT_GE(route.route_count, 2);
    EXPECT_EQ(cells().back(), (std::pair{9, 2}));
    expect_walkable_legs();
}

TEST_F(path_search, ModeOnePassesCellsOfTwoThatModeZeroDoesNot)
{
    draw({"....2....",
          ".S..2..G.",
          "....2....",
          "....2...."});
    EXPECT_EQ(search(0), 1);
    EXPECT_EQ(route.route_count, 0);  // searched, nothing found
    EXPECT_EQ(search(1), 1);
    ASSERT_GE(route.route_count, 1);
    EXPECT_EQ(cells().back(), (std::pair{7, 1}));
}

TEST_F(path_search, ARouteOfMoreThanFifteenPointsIsGivenUp)
{
    // A zigzag of walls with gaps at alternate ends needs two waypoints per wall.
    std::vector<std::string> rows(9, std::string(41, '.'));
    for (int w = 0; w < 10; ++w) {
        int column = 2 + 4 * w;
        for (int r = 0; r < 9; ++r)
            rows[size_t(r)][size_t(column)] = '#';
        rows[w % 2 ? 0 : 8][size_t(column)] = '.';
    }
    rows[4][0] = 'S';
    rows[4][40] = 'G';
    draw(rows);
    EXPECT_EQ(search(), 1);
    EXPECT_EQ(route.route_count, 0);

    // Three walls fit.
    for (auto& row : rows)
        row.resize(14);
    rows[4][13] = 'G';
    free_movemap(&map);
    draw(rows);
    ASSERT_EQ(search(), 1);
    EXPECT_GE(route.route_count, 4);
    EXPECT_LE(route.route_count, 15);
    expect_walkable_legs();
}

TEST_F(path_search, CellsBeyondTheSearchGridAreBlockedOnLargeMaps)
{
    ASSERT_TRUE(create_movemap(&map, 600, 450, 0, 0));
    EXPECT_EQ(find_path(&route, &map, 450, 10, 455, 20, 0), 1);  // start outside the search grid
    EXPECT_EQ(route.route_count, 0);
    EXPECT_EQ(find_path(&route, &map, 390, 10, 450, 10, 0), 1);  // goal outside it
    EXPECT_EQ(route.route_count, 0);
    EXPECT_EQ(find_path(&route, &map, 398, 440, 380, 380, 0), 1);
    EXPECT_EQ(route.route_count, 0);
    ASSERT_EQ(find_path(&route, &map, 399, 399, 380, 390, 0), 1);  // the grid's last cell
    EXPECT_EQ(route.route_count, 1);

    // A map without cells is free everywhere: a goal in sight is the whole route, while 300
    // cells of open ground fill the open list past its limit, and the search gives up.
    free_movemap(&map);
    ASSERT_EQ(find_path(&route, &map, 0, 0, 40, 5, 0), 1);
    EXPECT_EQ(cells(), (cell_list{{40, 5}}));
    EXPECT_EQ(find_path(&route, &map, 0, 0, 300, 5, 0), 0);
    EXPECT_EQ(route.route_count, 0);
}

TEST_F(path_search, AnOpenListOfMoreThan1498EntriesEndsTheSearchWithNothing)
{
    // The goal lies at the west end of a wall bar 5 x 178 cells, reached by a tunnel along its
    // middle row from its east end. The search floods the ground round the bar, then walks the
    // tunnel with 1,417 open entries behind it, two more for each tunnel cell with free cells on
    // both sides; each step enters one cell, west, and visits four neighbours after it.
    const auto search_bar = [&](int sided_cells) {
        free_movemap(&map);
        EXPECT_TRUE(create_movemap(&map, 400, 400, 0, 0));
        const auto at = [&](int c, int r) -> uint8_t& { return map.cells[r * 400 + c]; };
        for (int c = 198; c <= 375; ++c)
            for (int r = 198; r <= 202; ++r)
                at(c, r) = c >= 200 && r == 200 ? 0 : 1;
        for (int c = 202; c < 202 + sided_cells; ++c)
            at(c, 199) = at(c, 201) = 0;
        route.route_count = 3;
        return find_path(&route, &map, 100, 200, 200, 200, 0);
    };
    // 1,497 entries: the goal is found.
    ASSERT_EQ(search_bar(40), 1);
    ASSERT_GT(route.route_count, 0);
    EXPECT_EQ(cells().back(), (std::pair{200, 200}));
    // 1,499 entries after a step's entry: the next neighbour it visits ends the search, though it
    // enters nothing.
    EXPECT_EQ(search_bar(41), 0);
    EXPECT_EQ(route.route_count, 0);

    // A small walled-in room is searched to its end: a search with an empty route.
    free_movemap(&map);
    draw({"..........",
          ".S....###.",
          "......#G#.",
          "......###."});
    EXPECT_EQ(search(), 1);
    EXPECT_EQ(route.route_count, 0);

    // Giving up leaves a clean grid: the next search finds its way.
    goal = {9, 0};
    ASSERT_EQ(search(), 1);
    EXPECT_EQ(cells().back(), (std::pair{9, 0}));
    expect_walkable_legs();
}

TEST_F(path_search, ReversingSwapsTheRouteEndToEnd)
{
    route.route_count = 3;
    route.route[0] = {1, 2};
    route.route[1] = {3, 4};
    route.route[2] = {5, 6};
    reverse_path(&route);
    EXPECT_EQ(route.route[0].x, 5);
    EXPECT_EQ(route.route[1].x, 3);
    EXPECT_EQ(route.route[2].y, 2);
}

TEST_F(path_search, TheStraightLineTestChecksBothEndsAndEveryCellBetween)
{
    draw({"......",
          "..#...",
          "...2..",
          "......"});
    EXPECT_EQ(test_line_of_walk(&map, 0, 0, 0, 5, 0), 1);
    EXPECT_EQ(test_line_of_walk(&map, 0, 1, 0, 4, 3), 0);  // the diagonal crosses (2, 1)
    EXPECT_EQ(test_line_of_walk(&map, 0, 5, 3, 5, 3), 1);
    EXPECT_EQ(test_line_of_walk(&map, 0, 0, 3, 3, 2), 0);  // ends on a cell of 2
    EXPECT_EQ(test_line_of_walk(&map, 1, 0, 3, 3, 2), 1);
    EXPECT_EQ(test_line_of_walk(&map, 1, 2, 1, 2, 3), 0);  // starts on a cell of 1
}

TEST_F(path_search, DepthsThatWrapPastSixteenBitsGiveUpInsteadOfCircling)
{
    // One corridor snaking over the whole search grid: about 80,000 steps, so the depths wrap.
    ASSERT_TRUE(create_movemap(&map, 400, 400, 0, 0));
    for (int c = 1; c < 400; c += 2) {
        for (int r = 0; r < 400; ++r)
            map.cells[r * 400 + c] = 1;
        map.cells[((c / 2) % 2 ? 0 : 399) * 400 + c] = 0;
    }
    EXPECT_EQ(find_path(&route, &map, 0, 0, 398, 398, 0), 1);
    EXPECT_EQ(route.route_count, 0);

    // The next search starts from a clean grid.
    EXPECT_EQ(find_path(&route, &map, 0, 0, 0, 9, 0), 1);
    EXPECT_EQ(cells(), (cell_list{{0, 9}}));
    start = {2, 9};
    goal = {4, 0};
    ASSERT_EQ(search(), 1);
    ASSERT_GE(route.route_count, 2);
    EXPECT_EQ(cells().back(), (std::pair{4, 0}));
    expect_walkable_legs();
}
