#include "characters/monster_points.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void fill_points(int16_t count)
{
    fill_pattern(&g_monster_points, 3);
    g_monster_points.count = count;
}

} // namespace

TEST(MonsterPoints, TheBlockRoundTripsAndTheMapFileClearsTheStamps)
{
    temp_folder folder;
    fill_points(k_monster_point_slots);
    monster_point_block expected = g_monster_points;
    ASSERT_TRUE(write_section([](packed_stream* s) { return write_monster_points(s, false); }));
    fill_points(1);
    ASSERT_TRUE(read_section(read_monster_points));
    EXPECT_EQ(std::memcmp(&expected, &g_monster_points, sizeof expected), 0);

    ASSERT_TRUE(write_section([](packed_stream* s) { return write_monster_points(s, true); }));
    EXPECT_EQ(g_monster_points.points[200].stamp, 0u);
    fill_points(0);
    ASSERT_TRUE(read_section(read_monster_points));
    EXPECT_EQ(g_monster_points.count, k_monster_point_slots);
    EXPECT_EQ(g_monster_points.points[200].stamp, 0u);
    EXPECT_EQ(g_monster_points.points[200].x, expected.points[200].x);

    reset_monster_points(&g_monster_points);
    ASSERT_TRUE(write_section([](packed_stream* s) { return write_monster_points(s, true); }));
    fill_points(9);
    ASSERT_TRUE(read_section(read_monster_points));
    EXPECT_EQ(g_monster_points.count, 0);
    EXPECT_EQ(g_monster_points.kind_class[8], -1);
    EXPECT_EQ(g_monster_points.kind_level[8], 1);
    EXPECT_FALSE(write_monster_points(nullptr, false));
}

TEST(MonsterPoints, ShorterLongerAndHostileBlocksLoadSafely)
{
    temp_folder folder;
    // An older block of two points only: the kinds are empty.
    section_bytes shorter;
    shorter.u32(60).u16(2).u16(0);
    for (int i = 0; i < 2; ++i)
        shorter.u32(0).u32(77).u32(0x42C80000).u32(0).u16(0xFFFF).u16(uint16_t(10 + i)).u16(0xFFFF).u16(0xFFFF).u32(0);
    fill_points(40);
    raw_read got = read_raw_section(shorter.bytes, read_monster_points);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_monster_points.count, 2);
    EXPECT_EQ(g_monster_points.points[1].stamp, 77u);
    EXPECT_EQ(g_monster_points.points[1].x, 100.0f);
    EXPECT_EQ(g_monster_points.points[1].slots[1], 11);
    EXPECT_EQ(g_monster_points.points[2].stamp, 0u);
    EXPECT_EQ(g_monster_points.kind_class[0], -1);

    section_bytes longer;
    longer.u32(7300).u16(300).fill(7298, 0);
    got = read_raw_section(longer.bytes, read_monster_points);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_monster_points.count, k_monster_point_slots);
    got = read_raw_section(section_bytes().u32(7180).u16(0x8001).fill(7178, 0).bytes, read_monster_points);
    EXPECT_EQ(g_monster_points.count, 0);

    // A cut block leaves no points; a missing one keeps them.
    fill_points(30);
    got.complete = read_last_section(section_bytes().u32(7180).u16(5).fill(100, 0).bytes, read_monster_points);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_monster_points.count, 0);
    EXPECT_EQ(g_monster_points.kind_class[3], -1);
    fill_points(30);
    got.complete = read_last_section({7, 0}, read_monster_points);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_monster_points.count, 30);
}
