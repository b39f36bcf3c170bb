#include "support/section_files.h"
#include "world/movement_map.h"

#include <gtest/gtest.h>

namespace {

class movemap : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(create_movemap(&map, 10, 8, 2, 3)); }
    void TearDown() override { free_movemap(&map); }

    uint8_t& cell(int column, int row) { return map.cells[row * map.columns + column]; }
    int count_of(uint8_t value)
    {
        int n = 0;
        for (int i = 0; i < map.columns * map.rows; ++i)
            n += map.cells[i] == value;
        return n;
    }

    movement_map map{};
};

} // namespace

TEST_F(movemap, WorldPositionsMapToCellsThroughTheOrigin)
{
    // Origin (2, 3): world (0, 0) is cell (2, 3).
    set_movemap_cell(&map, 0, 0, 1);
    EXPECT_EQ(cell(2, 3), 1);
    set_movemap_cell(&map, -33, 31, 2);
    EXPECT_EQ(cell(0, 3), 2);  // (64 - 33) / 32 = 0
    // Up to 31 pixels before the grid's left or top edge still fall into column or row 0.
    set_movemap_cell(&map, -64 - 31, -96 - 31, 1);
    EXPECT_EQ(cell(0, 0), 1);
    set_movemap_cell(&map, -64 - 33, 0, 1);  // column -1: nothing
    set_movemap_cell(&map, 8 * 32, 0, 1);    // column 10: nothing
    EXPECT_EQ(count_of(1), 2);
    clear_movemap_cell(&map, 0, 0);
    EXPECT_EQ(cell(2, 3), 0);
}

TEST_F(movemap, CellTestsAnswerByValueValidityAndGrid)
{
    cell(0, 0) = 1;
    cell(1, 0) = 2;
    cell(2, 0) = 3;
    const int32_t x_of[4] = {-64, -32, 0, 32};  // columns 0 to 3 of row 0 at y = -96
    const int32_t y = -96;
    const int expected_free[4] = {0, 0, 0, 1}, expected_walkable[4] = {0, 0, 1, 1}, expected_passable[4] = {0, 1, 1, 1};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(is_grid_cell_free(&map, c, 0), expected_free[c]) << c;
        EXPECT_EQ(is_grid_cell_passable(&map, c, 0), expected_passable[c]) << c;
        EXPECT_EQ(is_cell_free(&map, x_of[c], y), expected_free[c]) << c;
        EXPECT_EQ(is_cell_walkable(&map, x_of[c], y), expected_walkable[c]) << c;
        EXPECT_EQ(is_cell_passable(&map, x_of[c], y), expected_passable[c]) << c;
    }
    EXPECT_EQ(can_object_stand(&map, 40.0f, -90.0f, 8.0f, 0.0f), 1);
    EXPECT_EQ(can_object_stand(&map, 40.0f, -90.0f, 20.0f, 0.0f), 0);  // x 20 is column 2

    for (auto [c, r] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 8}}) {
        EXPECT_EQ(is_grid_cell_free(&map, c, r), 0);
        EXPECT_EQ(is_grid_cell_passable(&map, c, r), 0);
    }

    map.valid = 0;
    EXPECT_EQ(is_grid_cell_free(&map, 5, 5), 0);
    EXPECT_EQ(is_cell_passable(&map, 0, 0), 0);
    EXPECT_EQ(can_object_stand(&map, 0, 0, 0, 0), 0);

    // Without cells every test answers free, except that an invalid map cannot be stood on.
    free_movemap(&map);
    EXPECT_EQ(is_grid_cell_free(&map, -50, 900), 1);
    EXPECT_EQ(is_cell_walkable(&map, 0, 0), 1);
    EXPECT_EQ(can_object_stand(&map, 0, 0, 0, 0), 0);
    map.valid = 1;
    EXPECT_EQ(can_object_stand(&map, 0, 0, 0, 0), 1);
    set_movemap_cell(&map, 0, 0, 1);  // no cells to write
}

TEST_F(movemap, AMapOfNoSizeIsRefusedAndTheOldOneKept)
{
    cell(4, 4) = 1;
    EXPECT_FALSE(create_movemap(&map, 0, 10, 0, 0));
    EXPECT_FALSE(create_movemap(&map, 10, -3, 0, 0));
    EXPECT_EQ(map.columns, 10);
    EXPECT_EQ(map.origin_row, 3);
    EXPECT_EQ(cell(4, 4), 1);
}

TEST_F(movemap, FloodFillStopsAtBlockedCellsAndTheGridEdge)
{
    for (int r = 0; r < 8; ++r)
        cell(5, r) = 2;  // a wall down the middle
    cell(1, 1) = 3;      // an editor mark is walkable and gets filled
    flood_fill_movemap(&map, 0, 0, 1);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 10; ++c)
            EXPECT_EQ(cell(c, r), c < 5 ? 1 : c == 5 ? 2 : 0) << c << "," << r;

    flood_fill_movemap(&map, 200, 0, 0);  // a walkable value is not filled
    EXPECT_EQ(cell(9, 0), 0);
    flood_fill_movemap(&map, 0, 0, 2);    // the start is blocked: nothing
    EXPECT_EQ(cell(0, 0), 1);
}

TEST(MovemapFill, AWholeLargeMapFillsWithoutDeepRecursion)
{
    movement_map big{};
    ASSERT_TRUE(create_movemap(&big, 2000, 2000, 0, 0));
    flood_fill_movemap(&big, 100, 100, 2);
    size_t filled = 0;
    for (size_t i = 0; i < size_t(2000) * 2000; ++i)
        filled += big.cells[i] == 2;
    EXPECT_EQ(filled, size_t(2000) * 2000);
    free_movemap(&big);
}

TEST(MovemapSection, RoundTripsAndEditorMarksBecomeFree)
{
    temp_folder folder;
    ASSERT_TRUE(create_movemap(&g_movement_map, 5, 4, 7, -2));
    g_movement_map.cells[0] = 1;
    g_movement_map.cells[6] = 2;
    g_movement_map.cells[19] = 3;
    ASSERT_TRUE(write_section(write_movemap));

    ASSERT_TRUE(create_movemap(&g_movement_map, 200, 200, 100, 100));
    ASSERT_TRUE(read_section(read_movemap));
    EXPECT_EQ(g_movement_map.columns, 5);
    EXPECT_EQ(g_movement_map.rows, 4);
    EXPECT_EQ(g_movement_map.origin_column, 7);
    EXPECT_EQ(g_movement_map.origin_row, -2);
    EXPECT_EQ(g_movement_map.cells[0], 1);
    EXPECT_EQ(g_movement_map.cells[6], 2);
    EXPECT_EQ(g_movement_map.cells[19], 0);
    EXPECT_EQ(g_movement_map_spare.columns, 5);
    EXPECT_EQ(g_movement_map_spare.valid, 1);
    EXPECT_EQ(g_movement_map_spare.cells[0], 0);
}

TEST(MovemapSection, MissingOrCutMapsLeaveTheMapAsItWasAndOneOfNoCellsEmptiesIt)
{
    temp_folder folder;
    ASSERT_TRUE(create_movemap(&g_movement_map, 3, 3, 1, 1));
    g_movement_map.cells[4] = 1;
    auto kept = [] {
        return g_movement_map.valid == 1 && g_movement_map.columns == 3 && g_movement_map.cells[4] == 1;
    };

    EXPECT_FALSE(read_last_section({5}, read_movemap));
    EXPECT_TRUE(kept());

    // One side 0, which no map has: the section is damaged, the map kept.
    EXPECT_FALSE(read_last_section({0, 0, 0, 0, 0, 0, 9, 0}, read_movemap));
    EXPECT_TRUE(kept());
    EXPECT_FALSE(read_last_section({0, 0, 0, 0, 0x30, 0x33, 0, 0}, read_movemap));
    EXPECT_TRUE(kept());

    // A negative size, which no map has: the section is damaged, the map kept.
    EXPECT_FALSE(read_last_section({0, 0, 0, 0, 0xFF, 0xFF, 9, 0}, read_movemap));
    EXPECT_TRUE(kept());

    // A size the data does not back: 32767 x 32767 cells claimed, 10 present.
    EXPECT_FALSE(read_last_section({0, 0, 0, 0, 0xFF, 0x7F, 0xFF, 0x7F, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, read_movemap));
    EXPECT_TRUE(kept());
    EXPECT_FALSE(read_movemap(nullptr));

    // 0 x 0, the map of no cells, as a level or the editor reads it: whole, and it replaces the
    // map before; every cell lies outside it, none free.
    EXPECT_TRUE(read_last_section({0, 0, 0, 0, 0, 0, 0, 0}, read_movemap));
    EXPECT_TRUE(g_movement_map.valid == 1 && g_movement_map.columns == 0 && g_movement_map.rows == 0);
    EXPECT_EQ(g_movement_map_spare.columns, 0);
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 0, 0), -1);
    EXPECT_EQ(is_cell_free(&g_movement_map, 0, 0), 0);
    EXPECT_EQ(can_object_stand(&g_movement_map, 0, 0, 0, 0), 0);
}
