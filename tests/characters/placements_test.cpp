#include "characters/char_table.h"
#include "characters/placements.h"
#include "core/globals.h"
#include "support/saved_globals.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

char_placement patterned_placement(int i)
{
    char_placement p;
    fill_pattern(&p, uint32_t(i + 1));
    std::snprintf(p.creature_file, sizeof p.creature_file, "m%d.chr", i % 10);
    p.creature_file[k_placement_file_size - 1] = 0;
    p.key_name[k_placement_key_size - 1] = 0;
    p.display_name[k_placement_display_size - 1] = 0;
    p.char_slot = int16_t(4 + i);
    p.inv_count = uint8_t(i % (k_placement_inventory + 1));
    return p;
}

void fill_placements(int count)
{
    for (int i = 0; i < k_placement_slots; ++i)
        g_char_placements.entries[i] = patterned_placement(i);
    g_char_placements.count = int16_t(count);
}

void make_creature_files()
{
    for (int i = 0; i < 10; ++i)
        write_text("data/creature/m" + std::to_string(i) + ".chr", "creature");
}

section_bytes& stored_placement(section_bytes& b, const char* file, int16_t slot, uint32_t size = 1800)
{
    char_placement p{};
    std::strncpy(p.creature_file, file, sizeof p.creature_file - 1);
    p.char_slot = slot;
    p.hp = 40;
    p.inv_value[0] = 9;
    b.raw(&p, std::min<uint32_t>(size, sizeof p));
    if (size > sizeof p)
        b.fill(size - sizeof p, 0xAA);
    return b;
}

} // namespace

// Reading placements sets the character count to the global slots: the table, the list and the
// editor switch are put back afterwards.
class Placements : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_char_placements);
        saved_.keep(g_editor_enabled);
    }
    void TearDown() override { saved_.restore(); }

private:
    saved_globals saved_;
};

TEST_F(Placements, FullAndEmptyListsRoundTripFieldForField)
{
    temp_folder folder;
    make_creature_files();
    g_editor_enabled = 0;
    fill_placements(k_placement_slots);
    char_placement expected[k_placement_slots];
    std::memcpy(expected, g_char_placements.entries, sizeof expected);
    ASSERT_TRUE(write_section(write_char_placements));
    fill_placements(3);
    ASSERT_TRUE(read_section(read_char_placements));
    EXPECT_EQ(g_char_placements.count, k_placement_slots);
    EXPECT_EQ(std::memcmp(expected, g_char_placements.entries, sizeof expected), 0);

    g_char_placements.count = 0;
    ASSERT_TRUE(write_section(write_char_placements));
    fill_placements(3);
    ASSERT_TRUE(read_section(read_char_placements));
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_FALSE(write_char_placements(nullptr));
}

TEST_F(Placements, TheEditorWritesNoScriptFlags)
{
    temp_folder folder;
    make_creature_files();
    fill_placements(2);
    g_editor_enabled = 1;
    ASSERT_TRUE(write_section(write_char_placements));
    g_editor_enabled = 0;
    ASSERT_TRUE(read_section(read_char_placements));
    ASSERT_EQ(g_char_placements.count, 2);
    for (int16_t flag : g_char_placements.entries[1].script_flags)
        EXPECT_EQ(flag, 0);
}

TEST_F(Placements, ReadingDropsMissingCreaturesAndLaterPlacementsOfTheSameSlot)
{
    temp_folder folder;
    make_creature_files();
    section_bytes b;
    b.u32(1800).u16(6);
    stored_placement(b, "m1.chr", 5);
    stored_placement(b, "gone.chr", 6);
    stored_placement(b, "M2.CHR", 5);   // same slot as the first: removed
    stored_placement(b, "m3.chr", -1);
    stored_placement(b, "m4.chr", -1);  // -1 is no slot: both stay
    stored_placement(b, "m5.chr", 7);
    raw_read got = read_raw_section(b.bytes, read_char_placements);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_char_placements.count, 4);
    EXPECT_STREQ(g_char_placements.entries[0].creature_file, "m1.chr");
    EXPECT_STREQ(g_char_placements.entries[1].creature_file, "m3.chr");
    EXPECT_STREQ(g_char_placements.entries[2].creature_file, "m4.chr");
    EXPECT_STREQ(g_char_placements.entries[3].creature_file, "m5.chr");
    EXPECT_EQ(g_char_placements.entries[4].creature_file[0], 0);
}

TEST_F(Placements, OlderShorterRecordsAndHostileCountsLoad)
{
    temp_folder folder;
    make_creature_files();
    // Records of 1000 bytes, before the inventory values: those load as 0.
    section_bytes shorter;
    shorter.u32(1000).u16(2);
    stored_placement(shorter, "m1.chr", 4, 1000);
    stored_placement(shorter, "m2.chr", 5, 1000);
    raw_read got = read_raw_section(shorter.bytes, read_char_placements);
    EXPECT_TRUE(got.aligned);
    ASSERT_EQ(g_char_placements.count, 2);
    EXPECT_EQ(g_char_placements.entries[1].hp, 40);
    EXPECT_EQ(g_char_placements.entries[1].inv_value[0], 0u);

    // A longer record, with more inventory entries than the arrays hold.
    section_bytes longer;
    longer.u32(1900).u16(1);
    stored_placement(longer, "m1.chr", 4, 1900);
    longer.bytes[6 + 86] = 255;
    got = read_raw_section(longer.bytes, read_char_placements);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_char_placements.entries[0].inv_value[0], 9u);
    EXPECT_EQ(g_char_placements.entries[0].inv_count, k_placement_inventory);

    // 300 records: 256 kept, the rest skipped; unterminated texts are cut.
    write_text("data/creature/m7.chrXXXXXXXXXXXXX", "creature");
    section_bytes many;
    many.u32(40).u16(300);
    for (int i = 0; i < 300; ++i)
        many.raw("m7.chrXXXXXXXXXXXXXX", 20).u32(0).u32(0).u32(0).u32(0).u32(0);
    got = read_raw_section(many.bytes, read_char_placements);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_char_placements.count, 1);  // all share live slot 0
    EXPECT_EQ(std::strlen(g_char_placements.entries[0].creature_file), 19u);

    got = read_raw_section(section_bytes().u32(1800).u16(0xFFFE).bytes, read_char_placements);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_char_placements.count, 0);

    section_bytes cut;
    cut.u32(1800).u16(3);
    stored_placement(cut, "m1.chr", 4);
    stored_placement(cut, "m2.chr", 5, 900);
    got.complete = read_last_section(cut.bytes, read_char_placements);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_char_placements.count, 1);
}
