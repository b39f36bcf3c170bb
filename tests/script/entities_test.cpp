#include "script/entities.h"
#include "support/patterned_records.h"
#include "support/saved_globals.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void fill_entities(uint32_t count)
{
    for (uint32_t i = 0; i < k_entity_slots; ++i)
        g_entities[i] = patterned_entity(i + 1, uint8_t(i % 13));  // no sound types
    g_entity_count = count;
}

} // namespace

TEST(Entities, FullAndEmptyTablesRoundTripWithTheRunTimeFieldsReset)
{
    saved_globals kept;
    kept.keep(g_entities), kept.keep(g_entity_count), kept.keep(g_entity_object_lists);
    temp_folder folder;
    fill_entities(k_entity_slots);
    g_entities[4].object_list = 3;
    entity_record expected[k_entity_slots];
    for (int i = 0; i < k_entity_slots; ++i)
        expected[i] = entity_as_read(g_entities[i]);
    ASSERT_TRUE(write_section(write_entities));
    fill_entities(9);
    ASSERT_TRUE(read_section(read_entities));
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots));
    EXPECT_EQ(std::memcmp(expected, g_entities, sizeof expected), 0);
    EXPECT_EQ(entity_objects(&g_entities[4]), nullptr);

    g_entity_count = 0;
    ASSERT_TRUE(write_section(write_entities));
    fill_entities(9);
    ASSERT_TRUE(read_section(read_entities));
    EXPECT_EQ(g_entity_count, 0u);
}

TEST(Entities, ASoundTypeGetsItsSampleSlotAndAnObjectListMapsToItsRow)
{
    saved_globals kept;
    kept.keep(g_entities), kept.keep(g_entity_count), kept.keep(g_entity_object_lists);
    temp_folder folder;
    fill_entities(1);
    g_entities[0].type = k_entity_loop_sound;
    g_entities[0].link = 77;
    ASSERT_TRUE(write_section(write_entities));
    ASSERT_TRUE(read_section(read_entities));
    EXPECT_EQ(g_entities[0].link, -1);  // no sound device in the tests

    g_entities[0].object_list = 2;
    EXPECT_EQ(entity_objects(&g_entities[0]), g_entity_object_lists[1]);
    g_entities[0].object_list = k_entity_slots + 1;
    EXPECT_EQ(entity_objects(&g_entities[0]), nullptr);
}

TEST(Entities, ShorterLongerAndHostileSectionsLoadSafely)
{
    saved_globals kept;
    kept.keep(g_entities), kept.keep(g_entity_count), kept.keep(g_entity_object_lists);
    temp_folder folder;
    // A 50-byte record: the fields from 50 on are zero.
    entity_record first{};
    first.type = 7;
    first.state = 1;
    std::strcpy(first.name, "lever");
    first.sector = 12;
    first.container = 5;
    section_bytes shorter;
    shorter.u32(50).u32(1).raw(&first, 50);
    fill_entities(4);
    raw_read got = read_raw_section(shorter.bytes, read_entities);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_entity_count, 1u);
    EXPECT_STREQ(g_entities[0].name, "lever");
    EXPECT_EQ(g_entities[0].sector, 12);
    EXPECT_EQ(g_entities[0].container, 0);
    EXPECT_EQ(g_entities[0].link, 0);

    section_bytes longer;
    longer.u32(140).u32(1).raw(&first, 100).fill(40, 0xEE);
    got = read_raw_section(longer.bytes, read_entities);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_entities[0].container, 5);

    // A negative count is an empty table; 120 records keep 100; an unterminated name is cut.
    got = read_raw_section(section_bytes().u32(100).u32(0xFFFFFFF0).bytes, read_entities);
    EXPECT_TRUE(got.complete);
    EXPECT_EQ(g_entity_count, 0u);
    section_bytes many;
    many.u32(100).u32(120).fill(120 * 100, 'n');
    got = read_raw_section(many.bytes, read_entities);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots));
    EXPECT_EQ(std::strlen(g_entities[0].name), size_t(k_entity_name_size - 1));
    EXPECT_EQ(g_entities[0].object_count, 0);

    // A missing section keeps the table; a cut one keeps the records read whole.
    got.complete = read_last_section(std::vector<uint8_t>{}, read_entities);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots));
    section_bytes cut;
    cut.u32(100).u32(3).fill(250, 0);
    got.complete = read_last_section(cut.bytes, read_entities);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_entity_count, 2u);
}

TEST(Entities, AFullTableRefusesAnEntityAndRemovalKeepsEveryObjectListApart)
{
    saved_globals kept;
    kept.keep(g_entities), kept.keep(g_entity_count), kept.keep(g_entity_object_lists);
    g_entity_count = 0;
    for (int i = 0; i < k_entity_slots; ++i)
        ASSERT_EQ(add_entity("a_name_longer_than_twenty", uint8_t(i % 20), 1), i);
    EXPECT_STREQ(g_entities[7].name, "a_name_longer_than_");
    EXPECT_EQ(g_entities[7].sector, -1);
    EXPECT_EQ(g_entities[7].link, -1);
    EXPECT_EQ(add_entity("new", 0, 1), -1);
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots));

    // Lists: 64 at most, the first occurrence removed, an absent object or entity ignored.
    for (int k = 0; k < 70; ++k)
        add_entity_object(98, k % 3);
    EXPECT_EQ(g_entities[98].object_count, k_entity_max_objects);
    remove_entity_object(98, 1);
    remove_entity_object(98, 9);
    remove_entity_object(-1, 1);
    remove_entity_object(k_entity_slots, 1);
    EXPECT_EQ(g_entities[98].object_count, k_entity_max_objects - 1);
    EXPECT_EQ(entity_objects(&g_entities[98])[1], 2);
    add_entity_object(99, 5);
    // A stored list that names no row of the table: the entity takes its own row.
    g_entities[97].object_list = k_entity_slots + 7;
    g_entities[97].object_count = 0;
    add_entity_object(97, 4);
    ASSERT_NE(entity_objects(&g_entities[97]), nullptr);
    EXPECT_EQ(entity_objects(&g_entities[97])[0], 4);

    // Removing moves the later records down; a new entity then gets a list of its own.
    g_entities[50].type = 77;
    remove_entity(49);
    remove_entity(k_entity_slots);
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots - 1));
    EXPECT_EQ(g_entities[49].type, 77);
    EXPECT_EQ(g_entities[97].object_count, 0);
    const int32_t fresh = add_entity("new", 0, 1);
    add_entity_object(fresh, 40);
    add_entity_object(98, 41);
    EXPECT_EQ(entity_objects(&g_entities[fresh])[0], 40);
    EXPECT_EQ(entity_objects(&g_entities[98])[0], 41);
}
