#include "script/map_texts.h"
#include "support/patterned_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void fill_texts(uint32_t count)
{
    for (uint32_t i = 0; i < k_map_text_slots; ++i)
        g_map_texts[i] = patterned_map_text(i + 1);
    g_map_text_count = count;
}

} // namespace

TEST(MapTexts, FullAndEmptyTablesRoundTrip)
{
    temp_folder folder;
    fill_texts(k_map_text_slots);
    map_text expected[k_map_text_slots];
    std::memcpy(expected, g_map_texts, sizeof expected);
    ASSERT_TRUE(write_section(write_map_texts));
    fill_texts(3);
    ASSERT_TRUE(read_section(read_map_texts));
    EXPECT_EQ(g_map_text_count, uint32_t(k_map_text_slots));
    EXPECT_EQ(std::memcmp(expected, g_map_texts, sizeof expected), 0);

    g_map_text_count = 0;
    ASSERT_TRUE(write_section(write_map_texts));
    fill_texts(3);
    ASSERT_TRUE(read_section(read_map_texts));
    EXPECT_EQ(g_map_text_count, 0u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(g_map_texts[i].tag, k_map_text_empty);
}

TEST(MapTexts, OlderShorterRecordsLoadAndHostileOnesAreHeld)
{
    temp_folder folder;
    // A 121-byte record: the text is cut at 100 characters and the rest of the slot is empty.
    section_bytes shorter;
    shorter.u32(121).u32(1).u8(1).raw("hint\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20).fill(100, 'w');
    fill_texts(2);
    raw_read got = read_raw_section(shorter.bytes, read_map_texts);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_map_text_count, 1u);
    EXPECT_EQ(g_map_texts[0].tag, 1);
    EXPECT_STREQ(g_map_texts[0].key, "hint");
    EXPECT_EQ(std::strlen(g_map_texts[0].text), 100u);
    EXPECT_EQ(g_map_texts[1].tag, k_map_text_empty);

    // 60 unterminated records of 300 bytes: 50 kept, each key and text terminated, 10 skipped.
    section_bytes many;
    many.u32(300).u32(60).fill(60 * 300, 'k');
    got = read_raw_section(many.bytes, read_map_texts);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_map_text_count, uint32_t(k_map_text_slots));
    EXPECT_EQ(std::strlen(g_map_texts[49].key), size_t(k_map_text_key_size - 1));
    EXPECT_EQ(std::strlen(g_map_texts[49].text), size_t(k_map_text_size - 1));

    section_bytes cut;
    cut.u32(277).u32(3).fill(277 * 2 + 10, 1);
    got.complete = read_last_section(cut.bytes, read_map_texts);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_map_text_count, 2u);
}
