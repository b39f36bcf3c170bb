// Quests and story flags: the files load bounded and within the tables' room, the hero's quest
// list refuses past its room, and completing a quest rewards it once, assigned first, with the
// attunement factor, and saves the game once, forced.
#include "script/quests.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "items/items.h"
#include "platform/files.h"
#include "script/script_links.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct save_call {
    std::string name;
    uint32_t fade, force;
};
std::vector<save_call> g_saves;

class quests_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::make_unique<temp_folder>();
        saved_.keep(g_quests), saved_.keep(g_quest_count), saved_.keep(g_flags), saved_.keep(g_flag_count);
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_player_char);
        saved_.keep(g_script_links), saved_.keep(g_ui_text), saved_.keep(g_message_log);
        saved_.keep(g_language), saved_.keep(g_console_enabled);
        std::strcpy(g_language, "eng");
        g_console_enabled = 1;
        g_char_count = 0;  // no hero until a test makes one
        std::memset(&g_message_log, 0, sizeof g_message_log);
        g_saves.clear();
        g_script_links.save_game = [](const char* name, uint32_t fade, uint32_t force) {
            g_saves.push_back({name, fade, force});
        };
        ASSERT_TRUE(make_folder("global"));
    }
    void TearDown() override
    {
        saved_.restore();
        g_saves.clear();
        folder_.reset();
    }

    // Slot 0 as the hero, alone in the table, with an empty quest list.
    static char_record& make_hero()
    {
        char_record& hero = g_chars[0];
        hero = char_record{};
        hero.slot = 0;
        std::strcpy(hero.display_name, "Aren");
        g_char_count = 1;
        g_player_char = 0;
        return hero;
    }

    static quest_record& make_quest(int index, const char* name, const char* title, int32_t experience)
    {
        quest_record& q = g_quests[index];
        q = quest_record{};
        set_quest_name(&q, name);
        std::strcpy(q.title, title);
        q.experience = experience;
        g_quest_count = uint8_t(std::max<int>(g_quest_count, index + 1));
        return q;
    }

    std::unique_ptr<temp_folder> folder_;
    saved_globals saved_;
};

std::string quest_lines(int count, int records)
{
    std::string text = std::to_string(count) + "\n";
    for (int i = 0; i < records; ++i)
        text += "q" + std::to_string(i) + "\nTitle " + std::to_string(i) + "\n" + std::to_string(i) + "\n";
    return text;
}

TEST_F(quests_test, TheDemoSetLoadsAndShowsItsQuestText)
{
    const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    load_quests();

    ASSERT_EQ(g_quest_count, 3);
    EXPECT_EQ(find_quest("WaterSupply"), 0);
    EXPECT_EQ(find_quest("locdrusk"), 1);
    EXPECT_EQ(find_quest("meetdrusk"), 2);
    EXPECT_EQ(find_quest("meet"), -1);
    EXPECT_STREQ(g_quests[0].title, "Water for the village");
    EXPECT_EQ(g_quests[1].experience, 300);
    ASSERT_EQ(g_flag_count, 3);
    EXPECT_EQ(find_flag("spring_told"), 1);
    EXPECT_EQ(find_flag("gate_lessons"), 2);
    const int16_t encounter = find_flag("ENCOUNTER");
    ASSERT_EQ(encounter, 0);
    EXPECT_EQ(get_flag(&g_flags[encounter]), 0);
    set_flag(&g_flags[encounter]);
    EXPECT_EQ(get_flag(&g_flags[encounter]), 1);

    const std::string head = "^window 0 0 400 240.000000 ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 ";
    char out[2400];
    show_quest_text(&g_quests[0], out, sizeof out, 240.0f);
    EXPECT_EQ(std::string(out), head + "Water for the village ^l ^c 1 1 1 1 ^l The well of the village has run "
                                       "dry. ^l Find where the spring was blocked.");
    // Without a text file: the title alone, and no file is left behind.
    std::filesystem::remove("data/quests/eng/locdrusk.txt");
    show_quest_text(&g_quests[1], out, sizeof out, 240.0f);
    EXPECT_EQ(std::string(out), head + "The lost scout ^l");
    EXPECT_NE(file_exists("data/quests/eng/locdrusk.txt"), 1);
}

TEST_F(quests_test, FilesAreReadBoundedWithinTheTablesAndAMissingFileKeepsThem)
{
    // Carriage returns and blanks are trailing white space; a name past 29 characters is cut and
    // the rest of its line skipped, so the title and experience stay in step.
    write_text("global/quest_eng.txt", "2\r\nfirst  \r\nThe first title \r\n 42\r\n"
                                       "abcdefghijklmnopqrstuvwxyz0123456789\r\nSecond\r\n-5\r\n");
    write_text("global/flag.txt", "2\r\nencounter \r\nabcdefghijklmnopqrstuvwxyz0123456789\r\n");
    load_quests();
    ASSERT_EQ(g_quest_count, 2);
    EXPECT_STREQ(g_quests[0].name, "first");
    EXPECT_STREQ(g_quests[0].title, "The first title");
    EXPECT_EQ(g_quests[0].experience, 42);
    EXPECT_STREQ(g_quests[1].name, "abcdefghijklmnopqrstuvwxyz012");
    EXPECT_STREQ(g_quests[1].title, "Second");
    EXPECT_EQ(g_quests[1].experience, -5);
    ASSERT_EQ(g_flag_count, 2);
    EXPECT_STREQ(g_flags[0].name, "encounter");
    EXPECT_STREQ(g_flags[1].name, "abcdefghijklmnopqrstuvwxyz012");

    // Counts past the room read the first 100 quests and 200 flags; a file shorter than its
    // count keeps what it holds; each is logged.
    write_text("global/quest_eng.txt", quest_lines(150, 101));
    std::string flags = "250\n";
    for (int i = 0; i < 201; ++i)
        flags += "f" + std::to_string(i) + "\n";
    write_text("global/flag.txt", flags);
    load_quests();
    EXPECT_EQ(g_quest_count, k_quest_slots);
    EXPECT_EQ(find_quest("q99"), 99);
    EXPECT_EQ(find_quest("q100"), -1);
    EXPECT_EQ(g_flag_count, k_flag_slots);
    EXPECT_EQ(find_flag("f199"), 199);

    write_text("global/quest_eng.txt", quest_lines(5, 2) + "q2\nTitle without experience\n");
    write_text("global/flag.txt", "-3\nencounter\n");
    load_quests();
    EXPECT_EQ(g_quest_count, 2);
    EXPECT_EQ(find_quest("q2"), -1);
    EXPECT_EQ(g_flag_count, 0);
    const std::string log = read_text(k_console_log_file);
    EXPECT_NE(log.find("global/quest_eng.txt: poskodeny subor (pocet 150 mimo 0 az 100)"), std::string::npos);
    EXPECT_NE(log.find("global/flag.txt: poskodeny subor (pocet 250 mimo 0 az 200)"), std::string::npos);
    EXPECT_NE(log.find("global/quest_eng.txt: poskodeny subor (konci po 2 z 5), ostava ulohy: prvych 2"), std::string::npos);
    EXPECT_NE(log.find("global/flag.txt: poskodeny subor (pocet -3 mimo 0 az 200)"), std::string::npos);

    // A missing flag file keeps the flags; a missing quest file keeps both tables.
    write_text("global/flag.txt", "1\nencounter\n");
    load_quests();
    ASSERT_TRUE(delete_file("global/flag.txt"));
    write_text("global/quest_eng.txt", quest_lines(1, 1));
    load_quests();
    EXPECT_EQ(g_quest_count, 1);
    EXPECT_EQ(find_flag("encounter"), 0);
    ASSERT_TRUE(delete_file("global/quest_eng.txt"));
    g_quests[0].state = 4;
    load_quests();
    EXPECT_EQ(g_quest_count, 1);
    EXPECT_EQ(g_quests[0].state, 4);
    EXPECT_EQ(g_flag_count, 1);
}

TEST_F(quests_test, CompletingRewardsOnceAssignsFirstAndSavesOnceForced)
{
    std::strcpy(g_ui_text[115], "has gained");
    std::strcpy(g_ui_text[116], "experience");
    std::strcpy(g_ui_text[124], "Quest");
    std::strcpy(g_ui_text[125], "completed");
    char_record& hero = make_hero();
    hero.exp = 1000;
    hero.difficulty = 4;  // awards in the fight are cut by difficulty; a quest's reward is not
    make_quest(0, "other", "Other", 0);
    quest_record& quest = make_quest(1, "watersupply", "Water for the village", 100);

    complete_quest(&quest, 1);
    EXPECT_EQ(quest.assigned, 1u);
    EXPECT_EQ(quest.state, 1);
    EXPECT_EQ(quest.completed, 1u);
    EXPECT_EQ(hero.quest_bytes[0], 1);
    EXPECT_EQ(hero.quest_bytes[1], 1);
    EXPECT_EQ(hero.exp, 1100);
    ASSERT_EQ(g_saves.size(), 1u);
    EXPECT_EQ(g_saves[0].name, "Quest 'Water for the village' completed");
    EXPECT_EQ(g_saves[0].fade, 0u);
    EXPECT_EQ(g_saves[0].force, 1u);
    ASSERT_EQ(g_message_log.count, 1u);
    EXPECT_STREQ(g_message_log.lines[0], "Aren has gained 100 experience");
    EXPECT_NE(read_text(k_console_log_file).find("Aren has gained 100 experience"), std::string::npos);

    // A second completion, with the state moved on by a script, changes nothing.
    set_quest_state(&quest, 7);
    complete_quest(&quest, 1);
    EXPECT_EQ(hero.exp, 1100);
    EXPECT_EQ(quest.state, 7);
    EXPECT_EQ(hero.quest_bytes[0], 1);
    EXPECT_EQ(g_saves.size(), 1u);
    EXPECT_EQ(g_message_log.count, 1u);
}

TEST_F(quests_test, TheRewardTakesTheStrongestEquippedAttunementTruncated)
{
    item_table_guard items;
    for (int16_t id : {179, 180, 186})
        make_item(id, "att", "Attunement", k_item_attunement);
    struct reward_case {
        std::vector<int16_t> attunements;
        int32_t experience, gain;
    };
    const reward_case cases[] = {
        {{}, 7, 7},
        {{179}, 7, 7},  // 7.7 truncated
        {{179}, 100, 110},
        {{180}, 100, 125},
        {{186}, 100, 150},
        {{186, 179}, 100, 150},  // 186 beats 180 beats 179, whatever the order of the entries
        {{180, 179}, 100, 125},
        {{186, 180, 179}, 10, 15},
        {{179}, -10, 0},  // a negative reward takes nothing away
    };
    for (const reward_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attunements.size() << " attunements, experience " << c.experience);
        char_record& hero = make_hero();
        for (int16_t id : c.attunements) {
            hero.inv_item[hero.inv_count] = id;
            hero.inv_location[hero.inv_count++] = k_inv_attunement;
        }
        quest_record& quest = make_quest(0, "q", "Q", c.experience);
        complete_quest(&quest, 0);
        EXPECT_EQ(hero.exp, c.gain);
    }
    EXPECT_EQ(g_saves.size(), std::size(cases));
}

TEST_F(quests_test, TheHerosQuestListRefusesPastItsRoomAndUnassignsTheLastOccurrence)
{
    quest_record& lonely = make_quest(0, "lonely", "Lonely", 50);
    EXPECT_FALSE(assign_quest(&lonely, 0));  // no hero
    EXPECT_EQ(lonely.assigned, 0u);

    char_record& hero = make_hero();
    uint8_t* list = hero.quest_bytes;
    list[0] = k_quest_list_room;  // full, as a damaged record may hold it
    EXPECT_FALSE(assign_quest(&lonely, 0));
    EXPECT_EQ(lonely.assigned, 0u);
    EXPECT_EQ(lonely.state, 0);
    EXPECT_EQ(list[0], k_quest_list_room);
    EXPECT_EQ(list[1 + k_quest_list_room], 0);
    // Completion still rewards when the list refuses the quest.
    complete_quest(&lonely, 0);
    EXPECT_EQ(lonely.completed, 1u);
    EXPECT_EQ(hero.exp, 50);

    // Unassigning removes the last occurrence and keeps state 1.
    list[0] = 0;
    quest_record& a = make_quest(1, "a", "A", 0);
    quest_record& b = make_quest(2, "b", "B", 0);
    ASSERT_TRUE(assign_quest(&a, 1));
    ASSERT_TRUE(assign_quest(&b, 2));
    EXPECT_TRUE(assign_quest(&b, 2));  // already assigned: not appended twice
    list[3] = 1, list[0] = 3;          // a repeated index, as a damaged list may hold
    unassign_quest(&a, 1);
    EXPECT_EQ(a.assigned, 0u);
    EXPECT_EQ(a.state, 1);
    ASSERT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 1);
    EXPECT_EQ(list[2], 2);
}

} // namespace
