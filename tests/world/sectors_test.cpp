#include "support/section_files.h"
#include "world/sectors.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

map_sector polygon(std::initializer_list<std::pair<float, float>> points)
{
    map_sector s{};
    for (auto [x, y] : points)
        add_sector_point(&s, x, y);
    return s;
}

void reset_sectors()
{
    std::memset(g_sectors, 0, sizeof g_sectors);
    g_sector_count = 0;
}

std::vector<uint8_t> sector_file(const std::vector<std::pair<int, int32_t>>& active_with_count)
{
    std::vector<uint8_t> file = {0, 1, 0, 0};  // the stored size is read and ignored
    for (int i = 0; i < 100; ++i) {
        std::vector<uint8_t> record(256, 0);
        for (auto [slot, count] : active_with_count) {
            if (slot == i) {
                record[0] = 1;
                record[8] = 1;
                std::memcpy(&record[12], &count, 4);
            }
        }
        file.insert(file.end(), record.begin(), record.end());
    }
    return file;
}

} // namespace

TEST(Sectors, AFourthPointEqualToTheFirstClosesThePolygon)
{
    map_sector early = polygon({{0, 0}, {0, 0}, {0, 0}});
    EXPECT_EQ(early.closed, 0u);
    EXPECT_EQ(early.count, 3);

    map_sector s = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_EQ(s.closed, 1u);
    EXPECT_EQ(s.count, 4);
    EXPECT_EQ(s.active, 1);
    EXPECT_EQ(s.parameter, -1);
    add_sector_point(&s, 5, 5);  // a closed polygon takes no more points
    EXPECT_EQ(s.count, 4);
    remove_last_sector_point(&s);
    EXPECT_EQ(s.closed, 0u);
    EXPECT_EQ(s.count, 3);

    begin_sector(&s, 5, 1, 2);
    EXPECT_EQ(s.type, 5);
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.parameter, -1);  // kept
}

TEST(Sectors, TheNineteenthPointIsTheLastAndAnOpenPolygonHoldsNothing)
{
    map_sector s{};
    for (int i = 0; i < 25; ++i)
        add_sector_point(&s, float(i % 2 ? 100 : 0), float(i * 10));
    EXPECT_EQ(s.count, 19);
    add_sector_point(&s, 0, 0);  // even the first point again
    EXPECT_EQ(s.count, 19);
    EXPECT_EQ(s.closed, 0u);
    EXPECT_EQ(point_in_polygon(50, 50, &s, 1.0f), 0);
}

TEST(Sectors, PointInPolygonFollowsItsCrossingRules)
{
    map_sector square = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    EXPECT_EQ(point_in_polygon(5, 5, &square, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(15, 5, &square, 1.0f), 0);
    EXPECT_EQ(point_in_polygon(-1, 5, &square, 1.0f), 0);
    EXPECT_EQ(point_in_polygon(5, 11, &square, 1.0f), 0);
    // Vertices level with the tested point count on the same side as those of smaller y: the
    // edge of smallest y belongs to the polygon, the edge of largest y does not.
    EXPECT_EQ(point_in_polygon(5, 0, &square, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(5, 10, &square, 1.0f), 0);
    // Points exactly on a side edge belong to the polygon on either side, whichever way the
    // edge runs; so do points exactly on a slanted edge.
    EXPECT_EQ(point_in_polygon(0, 5, &square, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(10, 5, &square, 1.0f), 1);
    map_sector triangle = polygon({{0, 0}, {10, 0}, {0, 10}, {0, 0}});
    EXPECT_EQ(point_in_polygon(5, 5, &triangle, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(5.01f, 5, &triangle, 1.0f), 0);

    // A concave "U": the notch is outside.
    map_sector u = polygon({{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}, {0, 0}});
    EXPECT_EQ(point_in_polygon(15, 20, &u, 1.0f), 0);
    EXPECT_EQ(point_in_polygon(5, 20, &u, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(25, 20, &u, 1.0f), 1);
    EXPECT_EQ(point_in_polygon(15, 5, &u, 1.0f), 1);

    // A scaled outline: every coordinate is multiplied first.
    EXPECT_EQ(point_in_polygon(15, 15, &square, 2.0f), 1);
    EXPECT_EQ(point_in_polygon(15, 15, &square, 1.0f), 0);
}

TEST(Sectors, SectorNumbersOutsideTheTableAreNotInside)
{
    reset_sectors();
    g_sectors[0] = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_EQ(point_in_sector(8, 2, 0), 1);
    EXPECT_EQ(point_in_sector(8, 2, -1), 0);
    EXPECT_EQ(point_in_sector(8, 2, 100), 0);
    EXPECT_EQ(point_in_sector(8, 2, 5000), 0);
}

TEST(Sectors, NewSectorTakesTheFirstInactiveSlotThenGrowsUntilFull)
{
    reset_sectors();
    EXPECT_EQ(new_sector(), 0);
    g_sectors[0].active = 1;
    EXPECT_EQ(new_sector(), 1);
    EXPECT_EQ(g_sector_count, 2);
    EXPECT_EQ(new_sector(), 1);  // still inactive
    for (int i = 0; i < k_sector_slots; ++i)
        g_sectors[i].active = 1;
    g_sector_count = k_sector_slots;
    EXPECT_EQ(new_sector(), -1);
    g_sectors[42].active = 0;
    EXPECT_EQ(new_sector(), 42);
}

TEST(Sectors, TheSectionRoundTripsAndTheCountFollowsTheLastActiveSlot)
{
    temp_folder folder;
    reset_sectors();
    g_sectors[3] = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    g_sectors[3].type = 4;
    g_sectors[3].parameter = 6;
    g_sectors[7] = polygon({{100, 100}, {200, 100}, {200, 200}, {100, 100}});
    g_sectors[7].selected[2] = 1;
    ASSERT_TRUE(write_section(write_sectors));

    map_sector expected[k_sector_slots];
    std::memcpy(expected, g_sectors, sizeof expected);
    reset_sectors();
    g_sectors[50].active = 1;
    ASSERT_TRUE(read_section(read_sectors));
    EXPECT_EQ(std::memcmp(expected, g_sectors, sizeof expected), 0);
    EXPECT_EQ(g_sector_count, 8);
    EXPECT_EQ(point_in_sector(150, 120, 7), 1);
}

TEST(Sectors, HostilePointCountsAreHeldToTheArraysAndCutSectionsClearTheRest)
{
    temp_folder folder;
    ASSERT_TRUE(read_last_section(sector_file({{0, 1000}, {1, -5}, {2, 20}}), read_sectors));
    EXPECT_EQ(g_sectors[0].count, 20);
    EXPECT_EQ(g_sectors[1].count, 0);
    EXPECT_EQ(g_sectors[2].count, 20);
    EXPECT_EQ(point_in_sector(0, 0, 0), 0);
    EXPECT_EQ(point_in_sector(0, 0, 1), 0);
    add_sector_point(&g_sectors[2], 1, 1);  // a full array takes no point
    EXPECT_EQ(g_sectors[2].count, 20);

    std::vector<uint8_t> cut = sector_file({{1, 4}, {9, 4}});
    cut.resize(4 + 256 * 5 + 100);
    EXPECT_FALSE(read_last_section(cut, read_sectors));
    EXPECT_EQ(g_sector_count, 2);
    EXPECT_EQ(g_sectors[0].count, 0);
    EXPECT_EQ(g_sectors[9].active, 0);
    EXPECT_FALSE(read_sectors(nullptr));
}
