#include "characters/rule_tables.h"

#include "characters/char_fixture.h"
#include "characters/monster_protos.h"
#include "engine/packed_stream.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class RuleTables : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(attack_speed_table), saved_.keep(damage_skill_multipliers), saved_.keep(block_dodge_chance_table);
        saved_.keep(g_monster_protos), saved_.keep(g_monster_proto_count);
        saved_.keep(g_monster_protos_file);
        reset_rule_tables();
    }
    void TearDown() override
    {
        saved_.restore();
        char_test::TearDown();
    }

    static std::string lines(int count, const char* label, int first)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += std::string(label) + " " + std::to_string(first + i) + "\n";
        return text;
    }

    saved_globals saved_;
};

TEST_F(RuleTables, FilesFillSkillsOneToSeventeenInLineOrder)
{
    write_text("global/ticks.txt", lines(21, "t", 100));
    write_text("global/damage_bonus.txt", lines(3, "d", 7));  // short: the rest stays
    // A label of any length is one word; a line without a number ends the file's values.
    write_text("global/block&dodge.txt",
               std::string(5000, 'x') + " 61\nb\t62\n\nb 63\nb nic\nb 64\n");
    load_rule_tables();
    EXPECT_EQ(attack_speed_table.base[0], 100.0f);
    EXPECT_EQ(attack_speed_table.base[3], 103.0f);
    EXPECT_EQ(attack_speed_table.speed[0], 3.0f);  // index 0 keeps its value
    EXPECT_EQ(attack_speed_table.speed[1], 104.0f);
    EXPECT_EQ(attack_speed_table.speed[17], 120.0f);
    EXPECT_EQ(damage_skill_multipliers[0], 1.0f);
    EXPECT_EQ(damage_skill_multipliers[1], 7.0f);
    EXPECT_EQ(damage_skill_multipliers[3], 9.0f);
    EXPECT_EQ(damage_skill_multipliers[4], 1.15f);
    EXPECT_EQ(block_dodge_chance_table[0], 0);
    EXPECT_EQ(block_dodge_chance_table[1], 61);
    EXPECT_EQ(block_dodge_chance_table[3], 63);
    EXPECT_EQ(block_dodge_chance_table[4], 11);
    EXPECT_EQ(block_dodge_chance_table[17], 45);
    EXPECT_NE(log_text().find("block&dodge.txt: poskodeny riadok 4"), std::string::npos);

    reset_rule_tables();
    EXPECT_EQ(attack_speed_table.speed[1], 3.0f);
    EXPECT_EQ(block_dodge_chance_table[1], 5);
}

TEST_F(RuleTables, AFileThatCannotBeOpenedStopsTheLoading)
{
    write_text("global/damage_bonus.txt", lines(17, "d", 7));
    write_text("global/block&dodge.txt", lines(17, "b", 50));
    load_rule_tables();  // no ticks file: none of the three is read
    EXPECT_EQ(damage_skill_multipliers[1], 1.0f);
    EXPECT_EQ(block_dodge_chance_table[1], 5);

    write_text("global/ticks.txt", lines(2, "t", 100));
    std::remove("global/damage_bonus.txt");
    load_rule_tables();
    EXPECT_EQ(attack_speed_table.base[1], 101.0f);
    EXPECT_EQ(attack_speed_table.base[2], 2.0f);
    EXPECT_EQ(block_dodge_chance_table[1], 5);

    // A damaged ticks file still lets the later files be read; numbers that are not finite are damage.
    reset_rule_tables();
    write_text("global/ticks.txt", "t nan\n");
    write_text("global/damage_bonus.txt", lines(17, "d", 7));
    load_rule_tables();
    EXPECT_EQ(attack_speed_table.base[0], 1.0f);
    EXPECT_EQ(damage_skill_multipliers[17], 23.0f);
    EXPECT_EQ(block_dodge_chance_table[17], 66);
}

// The same globals kept: the monster classes and their file.
class MonsterProtos : public RuleTables {};

monster_proto patterned_class(uint32_t seed)
{
    monster_proto p;
    fill_pattern(&p, seed);
    p.name[sizeof p.name - 1] = 0;
    p.chr_name[sizeof p.chr_name - 1] = 0;
    return p;
}

void write_classes(int16_t count, uint32_t record_size, const std::vector<uint8_t>& records)
{
    packed_stream* out = stream_open(k_monster_protos_file, "wp");
    ASSERT_NE(out, nullptr);
    ASSERT_GE(stream_write_u16le(uint16_t(count), out), 0);
    ASSERT_GE(stream_write_u32le(record_size, out), 0);
    ASSERT_EQ(stream_write(records.data(), int(records.size()), out), int(records.size()));
    ASSERT_TRUE(finish_written_file(out, true));
}

TEST_F(MonsterProtos, MonsterClassesKeepEveryByteThroughTheirFile)
{
    g_monster_proto_count = 3;
    for (int i = 0; i < 3; ++i)
        g_monster_protos[i] = patterned_class(uint32_t(i + 1));
    ASSERT_TRUE(save_monster_protos());
    monster_proto first[3] = {g_monster_protos[0], g_monster_protos[1], g_monster_protos[2]};
    g_monster_proto_count = 0;
    std::memset(g_monster_protos, 0, sizeof g_monster_protos);
    ASSERT_TRUE(load_monster_protos());
    EXPECT_EQ(g_monster_proto_count, 3);
    EXPECT_EQ(std::memcmp(first, g_monster_protos, sizeof first), 0);
    EXPECT_TRUE(g_monster_protos_file.read_whole);

    // Fields sit at their little-endian offsets.
    monster_proto p{};
    p.unarmed_per_level = 0x0102;
    p.carries_gold = 0x03040506;
    p.treasure_chance_main = 9;
    uint8_t bytes[k_monster_proto_size];
    encode_monster_proto(p, bytes);
    EXPECT_EQ(bytes[106], 0x02);
    EXPECT_EQ(bytes[107], 0x01);
    EXPECT_EQ(bytes[788], 0x06);
    EXPECT_EQ(bytes[791], 0x03);
    EXPECT_EQ(bytes[800], 9);
}

TEST_F(MonsterProtos, MonsterClassFileCountsAndSizesAreBounded)
{
    // A shorter stored record: the rest of each class is the editor's default.
    std::vector<uint8_t> records(2 * 150, 0);
    records[0] = 3;
    records[150] = 5;
    write_classes(2, 150, records);
    ASSERT_TRUE(load_monster_protos());
    EXPECT_EQ(g_monster_proto_count, 2);
    EXPECT_EQ(g_monster_protos[1].genus, 5);
    EXPECT_EQ(g_monster_protos[1].hp_percent, 100);
    EXPECT_EQ(g_monster_protos[1].base_skills[3], 1);

    // A longer stored record and more than 256 classes: 256 are kept, the file is not whole.
    records.assign(size_t(300) * 810, 7);
    write_classes(300, 810, records);
    ASSERT_TRUE(load_monster_protos());
    EXPECT_EQ(g_monster_proto_count, 256);
    EXPECT_EQ(g_monster_protos[255].genus, 7);
    EXPECT_EQ(g_monster_protos[255].name[100], 0);
    EXPECT_FALSE(g_monster_protos_file.read_whole);

    // Damaged files leave the table as it was.
    g_monster_protos[0].genus = 42;
    write_classes(-1, 804, {});
    EXPECT_FALSE(load_monster_protos());
    write_classes(2, 0, {});
    EXPECT_FALSE(load_monster_protos());
    write_classes(3, 804, std::vector<uint8_t>(804 * 2 + 10, 1));
    EXPECT_FALSE(load_monster_protos());
    EXPECT_EQ(g_monster_proto_count, 256);
    EXPECT_EQ(g_monster_protos[0].genus, 42);
    EXPECT_FALSE(g_monster_protos_file.read_whole);
    EXPECT_NE(log_text().find("monsters.dat: poskodeny subor"), std::string::npos);
}

TEST_F(MonsterProtos, ANewClassKeepsItsTreasureAndACharactersClassIsRangeChecked)
{
    monster_proto p = patterned_class(9);
    monster_proto before = p;
    new_monster_proto(&p);
    EXPECT_STREQ(p.name, "new monster");
    EXPECT_EQ(p.unarmed_base, 10);
    EXPECT_EQ(p.reserved_120[0], 0);
    EXPECT_EQ(p.reserved_120[34], 0);
    EXPECT_EQ(p.reserved_120[35], before.reserved_120[35]);
    EXPECT_EQ(p.reserved_120[41], 0);
    EXPECT_EQ(p.reserved_120[42], before.reserved_120[42]);
    EXPECT_EQ(std::memcmp(p.treasure_item, before.treasure_item, sizeof p.treasure_item), 0);
    EXPECT_EQ(p.carries_gold, before.carries_gold);
    EXPECT_EQ(p.treasure_chance_main, before.treasure_chance_main);

    g_monster_proto_count = 1;
    g_monster_protos[0] = before;
    char_record c{};
    EXPECT_EQ(&char_monster_proto(&c), &g_monster_protos[0]);
    for (int16_t cls : {int16_t(-1), int16_t(1), int16_t(255), int16_t(32000)}) {
        c.monster_class = cls;
        EXPECT_EQ(char_monster_proto(&c).hp_percent, 100) << cls;
        EXPECT_EQ(char_monster_proto(&c).weapon_count, 0) << cls;
    }
}

} // namespace
