// The dialogue record: its files, its entry conditions and its nodes as markup.
#include "script/dialogue_fixture.h"

#include "characters/char_table.h"
#include "engine/packed_stream.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "script/quests.h"
#include "support/file_size_limit.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool logged(const std::string& log, const std::string& line)
{
    return log.find(line) != std::string::npos;
}

// The bytes of a packed file after its header.
std::vector<uint8_t> unpacked(const char* path)
{
    std::vector<uint8_t> out;
    packed_stream* s = stream_open(path, "rp");
    if (!s)
        return out;
    for (int c; (c = stream_getc(s)) >= 0;)
        out.push_back(uint8_t(c));
    stream_close(s);
    return out;
}

// A stored (unpacked) file holding exactly these bytes after the header.
void write_stored(const char* path, const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> bytes(4 + body.size());
    std::memcpy(bytes.data(), "AGP.", 4);
    std::copy(body.begin(), body.end(), bytes.begin() + 4);
    write_bytes(path, bytes);
}

void set_quest(int i, const char* name, uint8_t state)
{
    set_quest_name(&g_quests[i], name);
    g_quests[i].state = state;
    g_quest_count = uint8_t(std::max<int>(g_quest_count, i + 1));
}

TEST_F(dialogue_test, ADialogueFileIsReadFieldByFieldAndAShortOrMissingOneKeepsWhatItDidNotReach)
{
    auto d = make_dialogue("mill", 2);
    d->language = 1;
    d->any_of = 7;
    set_dialogue_condition(d.get(), 0, k_dia_quest_between, "watersupply", 2, 4);
    set_dialogue_condition(d.get(), 7, k_dia_gold_below, "300", -5);
    set_dialogue_option(d.get(), 1, 9, "tenth", 2);
    ASSERT_TRUE(write_dialogue_file("full.dia2", *d));
    ASSERT_TRUE(write_dialogue_file("empty.dia2", *d, 0));
    const std::vector<uint8_t> body = unpacked("full.dia2");
    ASSERT_EQ(body.size(), k_dialogue_file_head_size + 2 * k_dialogue_file_node_size);
    EXPECT_EQ(unpacked("empty.dia2").size(), k_dialogue_file_head_size);

    std::memset(&g_dialogue, 0x11, sizeof g_dialogue);
    ASSERT_TRUE(read_dialogue("full.dia2"));
    EXPECT_STREQ(g_dialogue.name, "mill");
    EXPECT_EQ(g_dialogue.language, 1);
    EXPECT_EQ(g_dialogue.node_count, 2);
    EXPECT_EQ(g_dialogue.any_of, 7);
    EXPECT_EQ(g_dialogue.condition_kind[0], k_dia_quest_between);
    EXPECT_STREQ(g_dialogue.condition_name[0], "watersupply");
    EXPECT_EQ(g_dialogue.condition_b[0], 4);
    EXPECT_EQ(g_dialogue.condition_a[7], -5);
    EXPECT_STREQ(g_dialogue.text[1], "text 1");
    EXPECT_STREQ(g_dialogue.option_text[1][9], "tenth");
    EXPECT_EQ(g_dialogue.option_link[1][9], 2);
    EXPECT_EQ(g_dialogue.text[2][0], 0x11);  // nodes past the count keep what they held

    // Missing: nothing changes. Cut inside node 1's text: node 0 is new, the rest as it was.
    auto before = std::make_unique<dialogue_record>(g_dialogue);
    EXPECT_FALSE(read_dialogue("none.dia2"));
    EXPECT_EQ(std::memcmp(&g_dialogue, before.get(), sizeof g_dialogue), 0);
    std::memset(&g_dialogue, 0x22, sizeof g_dialogue);
    write_stored("short.dia2", std::vector<uint8_t>(body.begin(), body.begin() + 375 + 3640 + 100));
    EXPECT_FALSE(read_dialogue("short.dia2"));
    EXPECT_STREQ(g_dialogue.text[0], "text 0");
    EXPECT_EQ(g_dialogue.node_count, 2);
    EXPECT_EQ(g_dialogue.text[1][0], 0x22);
    EXPECT_EQ(g_dialogue.option_link[0][0], 0);
    EXPECT_EQ(g_dialogue.any_of, 0);  // cleared before it is read
}

TEST_F(dialogue_test, HostileCountsAreHeldToTwoHundredTextsAreTerminatedAndDanglingLinksClose)
{
    // 300 nodes, every text field full without a terminator, links 200 and 250, any-of 1 at the end.
    const int stored = 300;
    std::vector<uint8_t> body(k_dialogue_file_head_size + size_t(stored) * k_dialogue_file_node_size, 'x');
    put_le_u16(body.data() + 372, uint16_t(stored));
    for (int n = 0; n < stored; ++n) {
        uint8_t* links = body.data() + 374 + size_t(n) * 3640 + 3620;
        std::memset(links, 0, 20);
        put_le_u16(links, 200);
        put_le_u16(links + 2, 250);
    }
    body.back() = 1;
    write_stored("big.dia2", body);
    EXPECT_TRUE(read_dialogue("big.dia2"));
    EXPECT_EQ(g_dialogue.node_count, 200);
    EXPECT_EQ(g_dialogue.any_of, 1);
    EXPECT_EQ(std::strlen(g_dialogue.text[199]), 999u);
    EXPECT_EQ(std::strlen(g_dialogue.option_text[199][9]), 254u);
    EXPECT_EQ(std::strlen(g_dialogue.condition_name[7]), 29u);
    EXPECT_EQ(g_dialogue.option_link[5][0], 200);
    EXPECT_EQ(g_dialogue.option_link[5][1], 0);

    // A count of -1 reads no node; the next byte is the any-of byte.
    std::vector<uint8_t> negative(375, 0);
    put_le_u16(negative.data() + 372, 0xFFFF);
    negative[374] = 3;
    write_stored("negative.dia2", negative);
    EXPECT_TRUE(read_dialogue("negative.dia2"));
    EXPECT_EQ(g_dialogue.node_count, 0);
    EXPECT_EQ(g_dialogue.any_of, 3);
    EXPECT_TRUE(logged(log_text(), "negative.dia2: poskodeny subor (pocet uzlov -1 mimo 0 az 200)"));
}

TEST_F(dialogue_test, WrittenFilesReadBackFieldForFieldAndAFailedWriteKeepsTheOldFile)
{
    auto d = make_dialogue("mill", 3);
    set_dialogue_option(d.get(), 2, 4, "go", 1);
    set_dialogue_condition(d.get(), 5, k_dia_flag_equal, "encounter", 1, 9);
    d->any_of = 1;
    d->language = 1;
    g_dialogue = *d;
    ASSERT_TRUE(write_dialogue("mill.dia2"));
    const std::vector<uint8_t> file = unpacked("mill.dia2");
    ASSERT_EQ(file.size(), k_dialogue_file_head_size + 3 * k_dialogue_file_node_size);
    EXPECT_EQ(le_u16(file.data() + 372), 3);
    EXPECT_EQ(le_u32(file.data() + 5 * 40 + 36), 9u);  // condition 5's b
    EXPECT_EQ(le_u16(file.data() + 374 + 2 * 3640 + 3620 + 4 * 2), 1);
    EXPECT_EQ(file.back(), 1);

    // Read back over a record of other bytes: every field the file holds is as it was written.
    std::memset(&g_dialogue, 0x33, sizeof g_dialogue);
    ASSERT_TRUE(read_dialogue("mill.dia2"));
    const dialogue_record& r = g_dialogue;
    EXPECT_EQ(std::memcmp(r.name, d->name, sizeof r.name), 0);
    EXPECT_EQ(r.language, 1);
    EXPECT_EQ(r.node_count, 3);
    EXPECT_EQ(std::memcmp(r.speaker, d->speaker, 3 * sizeof r.speaker[0]), 0);
    EXPECT_EQ(std::memcmp(r.node_name, d->node_name, 3 * sizeof r.node_name[0]), 0);
    EXPECT_EQ(std::memcmp(r.text, d->text, 3 * sizeof r.text[0]), 0);
    EXPECT_EQ(std::memcmp(r.option_text, d->option_text, 3 * sizeof r.option_text[0]), 0);
    EXPECT_EQ(std::memcmp(r.option_link, d->option_link, 3 * sizeof r.option_link[0]), 0);
    EXPECT_EQ(std::memcmp(r.condition_kind, d->condition_kind, sizeof r.condition_kind), 0);
    EXPECT_EQ(std::memcmp(r.condition_name, d->condition_name, sizeof r.condition_name), 0);
    EXPECT_EQ(std::memcmp(r.condition_a, d->condition_a, sizeof r.condition_a), 0);
    EXPECT_EQ(std::memcmp(r.condition_b, d->condition_b, sizeof r.condition_b), 0);
    EXPECT_EQ(r.any_of, 1);

    // A count outside 0..200 in the record is held there when written.
    g_dialogue.node_count = -4;
    ASSERT_TRUE(write_dialogue("none.dia2"));
    EXPECT_EQ(unpacked("none.dia2").size(), k_dialogue_file_head_size);

    g_dialogue.node_count = 3;
    {
        file_size_limit limit(64);
        EXPECT_FALSE(write_dialogue("mill.dia2"));
    }
    EXPECT_EQ(unpacked("mill.dia2"), file);
    EXPECT_FALSE(write_dialogue("no/such/folder/x.dia2"));
}

TEST_F(dialogue_test, AllOfAndAnyOfTestsFollowTheirRules)
{
    dialogue_record& d = g_dialogue;
    // No conditions: all-of holds, any-of does not.
    EXPECT_EQ(count_dialogue_conditions(&d), 0);
    EXPECT_EQ(test_dialogue_conditions(&d), 1);
    d.any_of = 1;
    EXPECT_EQ(test_dialogue_conditions(&d), 0);

    // A quest that does not exist holds for all-of only; with two records each counts.
    set_dialogue_condition(&d, 0, k_dia_quest_equal, "lost", 1);
    EXPECT_EQ(test_dialogue_conditions_all(&d), 1);
    EXPECT_EQ(test_dialogue_conditions_any(&d), 0);
    set_quest(0, "LOST", 1);
    set_quest(1, "lost", 2);
    EXPECT_EQ(test_dialogue_conditions_all(&d), 0);
    EXPECT_EQ(test_dialogue_conditions_any(&d), 1);
    set_dialogue_condition(&d, 0, k_dia_quest_between, "lost", 1, 2);
    EXPECT_EQ(test_dialogue_conditions_all(&d), 1);

    // The any-of test never looks past the fifth: a holding sixth to eighth does not count.
    set_dialogue_condition(&d, 0, k_dia_quest_not, "lost", 1);  // record 0 fails, record 1 holds
    EXPECT_EQ(test_dialogue_conditions_any(&d), 1);
    set_dialogue_condition(&d, 0, k_dia_hero_armed, "", 0);
    for (int i = 5; i < 8; ++i)
        set_dialogue_condition(&d, i, k_dia_gold_at_least, "0", 0);
    EXPECT_EQ(count_dialogue_conditions(&d), 4);
    EXPECT_EQ(test_dialogue_conditions_any(&d), 0);
    EXPECT_EQ(test_dialogue_conditions_all(&d), 0);  // the hero holds no weapon

    // "hero" becomes the hero's key in the record and matches the hero; the gold of any-of is 16-bit.
    std::memset(&d.condition_kind, 0, sizeof d.condition_kind);
    g_chars[0].script_flags[2] = 4;
    set_dialogue_condition(&d, 0, k_dia_char_memory0 + 2, "HeRo", 4);
    EXPECT_EQ(test_dialogue_conditions(&d), 1);
    EXPECT_STREQ(d.condition_name[0], "hero_key");
    g_chars[0].gold = 10;
    set_dialogue_condition(&d, 0, k_dia_gold_at_least, "65546", 0);  // 16-bit: 10
    EXPECT_EQ(test_dialogue_conditions_any(&d), 1);
    EXPECT_EQ(test_dialogue_conditions_all(&d), 0);

    // Armour of the equipped items, and a hurt hero.
    g_item_protos[4].armour_bonus = 3;
    g_item_protos[5].armour_bonus = 4;
    char_record& h = g_chars[0];
    h.inv_count = 2;
    h.inv_item[0] = 4;
    h.inv_location[0] = k_inv_armor;
    h.inv_item[1] = 5;
    h.inv_location[1] = 3;  // in the backpack: not counted
    set_dialogue_condition(&d, 0, k_dia_armour_at_least, "3", 0);
    set_dialogue_condition(&d, 1, k_dia_armour_at_most, "3", 0);
    h.hp = h.hp_ceiling = 20;
    set_dialogue_condition(&d, 2, k_dia_hero_hurt, "", 0);
    d.any_of = 0;
    EXPECT_EQ(test_dialogue_conditions(&d), 0);
    h.hp = 12;
    EXPECT_EQ(test_dialogue_conditions(&d), 1);
}

TEST_F(dialogue_test, ANodeBecomesMarkupWithItsSpeakerAndAtMostFiveOptions)
{
    auto d = make_dialogue("mill", 3);
    set_dialogue_node(d.get(), 0, "dovan", "hello", "Good day.");
    set_dialogue_option(d.get(), 0, 2, "Only one", 0);
    for (int o = 5; o < 10; ++o)
        set_dialogue_option(d.get(), 0, o, "hidden", 2);
    char out[k_dialogue_markup_size];
    build_dialogue_node_markup(d.get(), out, sizeof out, 0);
    EXPECT_STREQ(d->speaker[0], "hero_key");
    EXPECT_STREQ(out, "^window 50 50 600 128\n^dialog\n^gl_a 0.6\n^c 0.9 0.9 0.9 1\n"
                      "^center_char hero_key\n^l Aren:\n^l\nGood day.\n^l\n^l\n^c 1 1 1 1\n"
                      "^lnst Only one ^lnend close.txt\n");

    // Two options are numbered by their place; a speaker without a character is named as written;
    // a link past the nodes closes.
    set_dialogue_node(d.get(), 1, "stranger", "n1", "Hm.");
    set_dialogue_option(d.get(), 1, 1, "Who are you?", 3);
    set_dialogue_option(d.get(), 1, 4, "Bye", 9);
    build_dialogue_node_markup(d.get(), out, sizeof out, 1);
    EXPECT_STREQ(out, "^window 50 50 600 128\n^dialog\n^gl_a 0.6\n^c 0.9 0.9 0.9 1\n"
                      "^l stranger:\n^l\nHm.\n^l\n^l\n^c 1 1 1 1\n"
                      "^lnst 2. Who are you? ^lnend mill/n2.txt\n^lnst 5. Bye ^lnend close.txt\n");

    // Full fields stay within the buffer, whole lines only, and parse.
    for (int o = 0; o < 5; ++o)
        set_dialogue_option(d.get(), 2, o, std::string(254, 'o').c_str(), 1);
    std::memset(d->text[2], 't', sizeof d->text[2]);
    build_dialogue_node_markup(d.get(), out, 1500, 2);
    EXPECT_LT(std::strlen(out), 1500u);
    EXPECT_EQ(out[std::strlen(out) - 1], '\n');
    build_dialogue_node_markup(d.get(), out, sizeof out, 200);
    EXPECT_STREQ(out, "");
}

TEST_F(dialogue_test, ExportWritesEachNodeAndRefusesNamesLeavingTheFolder)
{
    auto d = make_dialogue("mill", 2);
    set_dialogue_option(d.get(), 0, 0, "On", 2);
    ASSERT_TRUE(export_dialogue_texts(d.get()));
    EXPECT_EQ(read_text("data/dialogs/eng/mill/n0.txt"),
              "^window 50 50 600 128\n^dialog\n^gl_a 0.6\n^c 0.9 0.9 0.9 1\n^center_char villager\n"
              "^l villager:\n^l\ntext 0\n^l\n^l\n^c 1 1 1 1\n^lnst On ^lnend mill/n1.txt\n");
    EXPECT_TRUE(is_readable_file("data/dialogs/eng/mill/n1.txt"));

    std::strcpy(d->node_name[1], "../n1");
    EXPECT_FALSE(export_dialogue_texts(d.get()));
    EXPECT_FALSE(is_readable_file("data/dialogs/eng/n1.txt"));
    for (const char* name : {"a/b", "a\\b", ".."}) {
        std::strcpy(d->name, name);
        EXPECT_FALSE(export_dialogue_texts(d.get())) << name;
    }
    EXPECT_FALSE(is_folder("data/dialogs/eng/a"));
}

} // namespace
