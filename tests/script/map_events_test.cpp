#include "script/map_events.h"
#include "support/patterned_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void fill_events(uint32_t count)
{
    for (uint32_t i = 0; i < k_event_slots; ++i)
        g_events[i] = patterned_event(i + 1);
    g_event_count = count;
}

} // namespace

TEST(MapEvents, AFullTableRoundTripsFieldForField)
{
    temp_folder folder;
    fill_events(k_event_slots);
    event_record expected[k_event_slots];
    std::memcpy(expected, g_events, sizeof expected);
    ASSERT_TRUE(write_section(write_events));

    fill_events(7);
    ASSERT_TRUE(read_section(read_events));
    EXPECT_EQ(g_event_count, uint32_t(k_event_slots));
    EXPECT_EQ(std::memcmp(expected, g_events, sizeof expected), 0);
    EXPECT_FALSE(write_events(nullptr));
    EXPECT_FALSE(read_events(nullptr));
}

TEST(MapEvents, AnEmptyTableRoundTripsAndClearsTheEventsThatWereThere)
{
    temp_folder folder;
    g_event_count = 0;
    ASSERT_TRUE(write_section(write_events));

    fill_events(5);
    ASSERT_TRUE(read_section(read_events));
    EXPECT_EQ(g_event_count, 0u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g_events[i].state, 0);
        EXPECT_EQ(g_events[i].reserved, -1);
        EXPECT_EQ(g_events[i].condition_count, 0u);
        EXPECT_EQ(g_events[i].action_count, 0u);
    }
}

TEST(MapEvents, ShorterAndLongerStoredRecordsLoad)
{
    temp_folder folder;
    event_record first = patterned_event(11);
    first.state = 1;
    std::strcpy(first.name, "brana");
    first.condition_count = 2;
    first.condition_kind[1] = 5;

    // An older record of 504 bytes: the actions are missing and load as a cleared event's.
    section_bytes shorter;
    shorter.u32(504).u32(1).raw(&first, 504);
    fill_events(3);
    raw_read got = read_raw_section(shorter.bytes, read_events);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_event_count, 1u);
    EXPECT_STREQ(g_events[0].name, "brana");
    EXPECT_EQ(g_events[0].condition_kind[1], 5u);
    EXPECT_EQ(std::memcmp(g_events[0].condition_text, first.condition_text, sizeof first.condition_text), 0);
    EXPECT_EQ(g_events[0].action_count, 0u);
    EXPECT_EQ(g_events[0].action_kind[0], 0u);
    EXPECT_EQ(g_events[0].action_text[4][0], 0);
    EXPECT_EQ(g_events[1].state, 0);

    // A longer record: its first 980 bytes are the event, the rest is skipped.
    section_bytes longer;
    longer.u32(1100).u32(2).raw(&first, 980).fill(120, 0xAB).raw(&first, 980).fill(120, 0xCD);
    got = read_raw_section(longer.bytes, read_events);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_event_count, 2u);
    EXPECT_EQ(std::memcmp(&g_events[1], &first, sizeof first), 0);
}

TEST(MapEvents, HostileCountsSizesAndTextsAreHeldToTheTable)
{
    temp_folder folder;
    // 130 records of 8 bytes: the first 100 are kept, the other 30 skipped.
    section_bytes many;
    many.u32(8).u32(130);
    for (int i = 0; i < 130; ++i)
        many.u8(1).fill(7, uint8_t('a' + i % 26));
    raw_read got = read_raw_section(many.bytes, read_events);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_event_count, uint32_t(k_event_slots));
    EXPECT_STREQ(g_events[99].name, "vvvvvvv");
    EXPECT_EQ(g_events[99].reserved, -1);

    // A name with no terminator is cut to its field.
    section_bytes unterminated;
    unterminated.u32(980).u32(1).u8(1).fill(979, 'x');
    got = read_raw_section(unterminated.bytes, read_events);
    EXPECT_TRUE(got.complete);
    EXPECT_EQ(std::strlen(g_events[0].name), size_t(k_event_name_size - 1));
    EXPECT_EQ(std::strlen(g_events[0].action_text[4]), size_t(k_event_text_size - 1));

    // A count of four billion backed by two records, and a record size of four billion.
    section_bytes huge_count;
    huge_count.u32(980).u32(0xFFFFFFFF).fill(2 * 980 + 100, 1);
    got = read_raw_section(huge_count.bytes, read_events);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_event_count, 2u);
    section_bytes huge_size;
    huge_size.u32(0xFFFFFFFF).u32(3).fill(5000, 1);
    got = read_raw_section(huge_size.bytes, read_events);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_event_count, 0u);

    // Cut inside the second record; and cut inside the header.
    section_bytes cut;
    cut.u32(980).u32(3).fill(980 + 400, 1);
    got.complete = read_last_section(cut.bytes, read_events);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_event_count, 1u);
    fill_events(4);
    got.complete = read_last_section({0xD4, 0x03}, read_events);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_event_count, 0u);
    EXPECT_EQ(g_events[3].state, 0);
}
