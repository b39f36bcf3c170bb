#include "items/ground_items.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void fill_ground_items(int count)
{
    for (int i = 0; i < k_ground_item_slots; ++i) {
        fill_pattern(&g_ground_items[i], uint32_t(i + 1));
        g_ground_items[i].state = uint8_t(i % 4);
    }
    g_ground_item_count = int16_t(count);
}

} // namespace

TEST(GroundItems, FullAndEmptyTablesRoundTripAndLyingItemsComeBackDropped)
{
    temp_folder folder;
    fill_ground_items(k_ground_item_slots);
    ground_item expected[k_ground_item_slots];
    std::memcpy(expected, g_ground_items, sizeof expected);
    for (ground_item& g : expected)
        if (g.state == k_ground_item_lying || g.state == k_ground_item_taken)
            g.state = k_ground_item_dropped;
    ASSERT_TRUE(write_section(save_ground_items));
    fill_ground_items(5);
    ASSERT_TRUE(read_section(load_ground_items));
    EXPECT_EQ(g_ground_item_count, k_ground_item_slots);
    EXPECT_EQ(std::memcmp(expected, g_ground_items, sizeof expected), 0);

    g_ground_item_count = 0;
    ASSERT_TRUE(write_section(save_ground_items));
    fill_ground_items(5);
    ASSERT_TRUE(read_section(load_ground_items));
    EXPECT_EQ(g_ground_item_count, 0);
}

TEST(GroundItems, ShorterRecordsHaveNoElementAndLongerOnesAreSkippedPast)
{
    temp_folder folder;
    section_bytes shorter;
    shorter.u32(12).u16(1).u8(2).u8(0).u16(308).u16(40).u16(250).u16(96).u16(120);
    fill_ground_items(3);
    raw_read got = read_raw_section(shorter.bytes, load_ground_items);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_ground_item_count, 1);
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_dropped);
    EXPECT_EQ(g_ground_items[0].item, 308);
    EXPECT_EQ(g_ground_items[0].amount, 250);
    EXPECT_EQ(g_ground_items[0].y, 120);
    EXPECT_EQ(g_ground_items[0].owner, 0);
    EXPECT_EQ(g_ground_items[0].element, k_ground_item_no_element);

    section_bytes longer;
    longer.u32(20).u16(2).fill(14, 0).u16(5).fill(4, 9).fill(14, 0).u16(6).fill(4, 9);
    got = read_raw_section(longer.bytes, load_ground_items);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_ground_item_count, 2);
    EXPECT_EQ(g_ground_items[1].element, 6);
}

TEST(GroundItems, HostileCountsAndCutSectionsAreHeld)
{
    temp_folder folder;
    section_bytes many;
    many.u32(16).u16(1200).fill(1200 * 16, 1);
    raw_read got = read_raw_section(many.bytes, load_ground_items);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_ground_item_count, k_ground_item_slots);

    got = read_raw_section(section_bytes().u32(16).u16(0xFFFF).bytes, load_ground_items);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_ground_item_count, 0);

    // No size: the table stays; a size without a count: no items.
    fill_ground_items(7);
    got.complete = read_last_section({16, 0}, load_ground_items);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_ground_item_count, 7);
    got.complete = read_last_section({16, 0, 0, 0}, load_ground_items);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_ground_item_count, 0);

    section_bytes cut;
    cut.u32(16).u16(4).fill(16 * 3 + 5, 0);
    got.complete = read_last_section(cut.bytes, load_ground_items);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_ground_item_count, 3);
    EXPECT_FALSE(save_ground_items(nullptr));
}
