#include "characters/char_fixture.h"

#include "characters/char_table.h"
#include "engine/packed_stream.h"
#include "support/section_files.h"

#include <cstring>
#include <vector>

namespace {

// A patterned record as a reader leaves it: run-time fields reset, texts terminated, counts
// within their arrays.
char_record stored_record(uint32_t seed, uint8_t kind)
{
    char_record c;
    fill_pattern(&c, seed);
    c.name[sizeof c.name - 1] = 0;
    c.appearance[sizeof c.appearance - 1] = 0;
    c.display_name[sizeof c.display_name - 1] = 0;
    c.display_name[0] = c.display_name[1] = 'x';
    std::memset(c.speech, 0, sizeof c.speech);
    c.kind = kind;
    c.life = k_life_alive;
    c.pending_target = 0;
    c.object = -1;
    c.reserved_word_2024 = 0;
    c.level_char = 0;
    std::memset(c.script_flags, 0, sizeof c.script_flags);
    std::memset(c.inv_expire, 0, sizeof c.inv_expire);
    c.hit_sound_count = c.death_sound_count = 0;
    c.inv_count = 200;
    c.active_attunement_count = 16;
    c.dot_queue_count = 16;
    c.route.route_count = 16;
    c.route.route_index = 3;
    c.outline.count = 20;
    return c;
}

std::vector<uint8_t> record_bytes(const char_record& c)
{
    std::vector<uint8_t> bytes(k_char_record_size);
    encode_char_record(c, bytes.data());
    return bytes;
}

// "global/characters.dat" with the given count and record size, holding `records` (each cut or
// padded with 0xAB to the size).
void write_characters_file(uint32_t count, uint32_t size, const std::vector<char_record>& records)
{
    packed_stream* out = stream_open(k_characters_file, "wp");
    ASSERT_GE(stream_write_u32le(count, out), 0);
    ASSERT_GE(stream_write_u32le(size, out), 0);
    for (const char_record& c : records) {
        std::vector<uint8_t> bytes = record_bytes(c);
        bytes.resize(size, 0xAB);
        ASSERT_EQ(stream_write(bytes.data(), int(size), out), int(size));
    }
    ASSERT_EQ(stream_close(out), 0);
}

bool same_record(const char_record& a, const char_record& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(CharRecord, TheCodecPutsEveryFieldAtItsFileOffset)
{
    // On a little-endian machine the record's memory is its file layout, so every byte must match.
    char_record c = stored_record(7, k_kind_enemy);
    std::vector<uint8_t> bytes = record_bytes(c);
    ASSERT_EQ(std::memcmp(bytes.data(), &c, k_char_record_size), 0);
    char_record back;
    decode_char_record(bytes.data(), &back);
    EXPECT_TRUE(same_record(back, c));

    // Stored texts that run to the end of their fields are cut there; an outline claims 20 points at most.
    std::memset(bytes.data() + 4, 'n', 20);
    std::memset(bytes.data() + 4201, 'a', 10);
    std::memset(bytes.data() + 4862, 'd', 60);
    bytes[2040 + 12] = 99;
    decode_char_record(bytes.data(), &back);
    EXPECT_EQ(std::strlen(back.name), 19u);
    EXPECT_EQ(std::strlen(back.appearance), 9u);
    EXPECT_EQ(std::strlen(back.display_name), 59u);
    EXPECT_EQ(back.outline.count, 20);
}

TEST_F(char_test, CharacterFilesAndTheCharacterTableRoundTripByteForByte)
{
    g_chars[0] = stored_record(1, k_kind_player);
    g_chars[1] = stored_record(2, k_kind_enemy);   // not kept by characters.dat
    g_chars[2] = stored_record(3, k_kind_sidekick);
    g_chars[3] = stored_record(4, k_kind_player);
    g_chars[3].life = k_life_gone;                 // out of the world: not kept
    g_char_count = 4;
    const char_record hero = g_chars[0], companion = g_chars[2];

    ASSERT_TRUE(write_char_file(1, "one.chr"));
    ASSERT_TRUE(read_char_file(5, "one.chr"));
    ASSERT_TRUE(write_char_file(5, "again.chr"));
    EXPECT_EQ(read_bytes("one.chr"), read_bytes("again.chr"));
    EXPECT_TRUE(same_record(g_chars[5], g_chars[1]));

    ASSERT_TRUE(write_characters());
    std::vector<uint8_t> first = read_bytes(k_characters_file);
    g_char_count = 0;
    ASSERT_TRUE(read_characters(true));
    EXPECT_EQ(g_char_count, 2u);
    EXPECT_TRUE(same_record(g_chars[0], hero));
    EXPECT_TRUE(same_record(g_chars[1], companion));
    for (int slot : {2, 3}) {  // global slots the file leaves empty hold nobody from before
        EXPECT_STREQ(g_chars[slot].name, "");
        EXPECT_EQ(g_chars[slot].object, -1);
    }
    ASSERT_TRUE(write_characters());
    EXPECT_EQ(read_bytes(k_characters_file), first);
}

TEST_F(char_test, ReadingResetsTheRunTimeStateAndFallsBackToTheKeyName)
{
    char_record c = stored_record(5, k_kind_player);
    c.life = k_life_dead;
    c.object = 12;
    c.pending_target = 9;
    c.script_flags[3] = 4;
    c.inv_expire[0] = 77;
    c.level_char = 1;
    c.hit_sound_count = 3;
    std::strcpy(c.speech, "hello");
    std::strcpy(c.name, "villager");
    std::strcpy(c.display_name, "V");
    c.inv_count = 250;
    const int32_t hp = c.hp;
    write_characters_file(1, k_char_record_size, {c});
    ASSERT_TRUE(read_characters(false));

    const char_record& r = g_chars[0];
    EXPECT_EQ(r.life, k_life_alive);
    EXPECT_EQ(r.object, -1);
    EXPECT_EQ(r.pending_target, 0u);
    EXPECT_EQ(r.script_flags[3], 0);
    EXPECT_EQ(r.inv_expire[0], 0u);
    EXPECT_EQ(r.level_char, 0u);
    EXPECT_EQ(r.hit_sound_count, 0);
    EXPECT_STREQ(r.speech, "");
    EXPECT_STREQ(r.display_name, "villager");  // one character is too short to show
    EXPECT_EQ(r.inv_count, 200);               // held to the inventory's size, logged
    EXPECT_EQ(r.hp, hp);                       // statistics are kept
    EXPECT_NE(log_text().find("inventory entries 250 held to 200"), std::string::npos);
}

TEST_F(char_test, StoredRecordSizesOtherThanTheProgramsAreReadOverTheSlot)
{
    char_record before = stored_record(9, k_kind_player);
    g_chars[0] = g_chars[1] = before;
    char_record a = stored_record(10, k_kind_player), b = stored_record(11, k_kind_sidekick);

    // A shorter record leaves the rest of the slot as it was.
    write_characters_file(2, 2000, {a, b});
    ASSERT_TRUE(read_characters(false));
    EXPECT_EQ(std::memcmp(&g_chars[1], &b, 24), 0);
    EXPECT_EQ(g_chars[1].gold, before.gold);
    EXPECT_EQ(g_chars[1].inv_value[5], before.inv_value[5]);
    EXPECT_EQ(g_chars[1].hp, b.hp);

    // A longer one is cut and its tail skipped: the next record is read whole.
    write_characters_file(2, k_char_record_size + 100, {a, b});
    ASSERT_TRUE(read_characters(false));
    EXPECT_TRUE(same_record(g_chars[1], b));
}

TEST_F(char_test, ADamagedCharacterFileIsRefusedAndTheTableKept)
{
    g_chars[0] = stored_record(20, k_kind_player);
    g_char_count = 1;
    const char_record kept = g_chars[0];

    write_characters_file(256, k_char_record_size, {});
    EXPECT_FALSE(read_characters(true));
    write_characters_file(3, k_char_record_size, {stored_record(21, k_kind_player)});
    EXPECT_FALSE(read_characters(true));
    EXPECT_EQ(g_char_count, 1u);
    EXPECT_TRUE(same_record(g_chars[0], kept));
    EXPECT_NE(log_text().find("global/characters.dat: poskodeny subor (pocet 256 nad 255), ostava doterajsie postavy"), std::string::npos);
    EXPECT_NE(log_text().find("global/characters.dat: poskodeny subor (konci v zaznamoch), ostava doterajsie postavy"), std::string::npos);

    // A single character file cut inside its record, and a missing one, leave the slot alone.
    std::vector<uint8_t> file = read_bytes(k_characters_file);
    packed_stream* out = stream_open("cut.chr", "wp");
    stream_write_u32le(k_char_record_size, out);
    stream_write(file.data(), 100, out);
    ASSERT_EQ(stream_close(out), 0);
    EXPECT_FALSE(read_char_file(0, "cut.chr"));
    EXPECT_FALSE(read_char_file(0, "missing.chr"));
    EXPECT_TRUE(same_record(g_chars[0], kept));
    EXPECT_NE(log_text().find("cut.chr: poskodeny subor (konci v zazname), ostava postava ako bola"), std::string::npos);
}
