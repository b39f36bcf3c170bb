// Which dialogue a character speaks, the question menu, character events and scripts.
#include "script/dialogue_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "platform/files.h"
#include "platform/random.h"
#include "script/quests.h"
#include "script/script_links.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool logged(const std::string& log, const std::string& line)
{
    return log.find(line) != std::string::npos;
}

// The first seed whose next `count` draws mod `sides` all satisfy ok(draw, index).
template <class Ok>
uint32_t seed_where(int count, int sides, Ok ok)
{
    for (uint32_t seed = 0;; ++seed) {
        game_srand(seed);
        bool all = true;
        for (int i = 0; i < count && all; ++i)
            all = ok(game_rand() % sides, i);
        if (all)
            return seed;
    }
}

class dialogue_choice_test : public dialogue_test {
protected:
    void SetUp() override
    {
        dialogue_test::SetUp();
        set_quest_name(&g_quests[0], "watersupply");
        g_quest_count = 1;
    }
    void TearDown() override
    {
        game_srand(1);
        dialogue_test::TearDown();
    }

    // A one-node file of the villager's; `holds` adds a condition that holds (false: one that fails).
    void write_family_file(const std::string& file, int condition = -1)
    {
        auto d = make_dialogue(file.c_str(), 1);
        if (condition >= 0)
            set_dialogue_condition(d.get(), 0, k_dia_quest_equal, "watersupply", condition);
        write_villager_file(file, *d);
    }
};

TEST_F(dialogue_choice_test, TheLowestAcceptableFileDecidesTheClassAndTwentyMissesGiveNone)
{
    // start0 plain, start3 conditioned and holding: 0 at once, without a draw.
    write_family_file("start0");
    write_family_file("start3", 0);
    game_srand(77);
    const int first = game_rand();
    game_srand(77);
    EXPECT_EQ(pick_start_dialogue(1), 0);
    EXPECT_EQ(game_rand(), first);
    EXPECT_STREQ(g_dialogue.name, "start3");  // the last file read stays

    // first1 conditioned and holding, first2 plain: only 1 is a candidate, drawn among 0 and 1.
    write_family_file("first1", 0);
    write_family_file("first2");
    game_srand(seed_where(3, 2, [](int r, int i) { return r == (i == 2); }));
    EXPECT_EQ(pick_first_dialogue(1), 1);  // two misses, then the hit

    // end3 alone holds (end0 fails): 20 misses of 3 give -1; a hit is logged.
    write_family_file("end0", 5);
    write_family_file("end3", 0);
    game_srand(seed_where(20, 4, [](int r, int) { return r != 3; }));
    EXPECT_EQ(pick_end_dialogue(1), -1);
    game_srand(seed_where(1, 4, [](int r, int) { return r == 3; }));
    EXPECT_EQ(pick_end_dialogue(1), 3);
    EXPECT_TRUE(logged(log_text(), "nasiel som dialog 3\n"));
    EXPECT_TRUE(logged(log_text(), "selected 3\n"));

    // A file that does not read whole is no candidate, nor is a family without files.
    write_bytes("data/dia/eng/villager/end3.dia2", {'A', 'G', 'P', '.', 1, 0});
    EXPECT_EQ(pick_end_dialogue(1), -1);
    EXPECT_EQ(pick_start_dialogue(0), -1);
}

TEST_F(dialogue_choice_test, TalkingRequestsTheFirstMeetingOnceThenStartFilesAndNothingWithoutThem)
{
    char_record& villager = g_chars[1];
    // Without any file: nothing starts, yet the first talk is marked.
    run_char_event(1, 0);
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(villager.script_flags[k_talked_to_memory], 1);

    // A first talk without first files falls back to the start files.
    villager.script_flags[k_talked_to_memory] = 0;
    write_family_file("start0");
    std::strcpy(g_dialogue_window.name, "old");
    g_dialogue_window.end_dialogue_picked = 1;
    g_dialogue_window.dialogue_kind = 4;
    run_char_event(1, 0);
    EXPECT_EQ(villager.script_flags[k_talked_to_memory], 1);
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dia/eng/villager/start0.dia2");
    EXPECT_STREQ(g_dialogue_window.name, "");
    EXPECT_EQ(g_dialogue_window.dialogue_record_mode, 1u);
    EXPECT_EQ(g_dialogue_window.dialogue_node, 0);
    EXPECT_EQ(g_dialogue_window.dialogue_kind, 0);
    EXPECT_EQ(g_dialogue_window.dialogue_char, 1);
    EXPECT_EQ(g_dialogue_window.end_dialogue_picked, 0u);

    // While it runs no event starts; afterwards a first file is not spoken again.
    write_family_file("first0");
    run_char_event(1, 0);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dia/eng/villager/start0.dia2");
    g_dialogue_running = 0;
    villager.script_flags[k_talked_to_memory] = 0;
    run_char_event(1, 0);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dia/eng/villager/first0.dia2");
    g_dialogue_running = 0;
    run_char_event(1, 0);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dia/eng/villager/start0.dia2");

    // The loader reads the requested file and shows its node 0 through the links.
    install_dialogue_links();
    load_text_window_dialogue(&g_dialogue_window);
    EXPECT_STREQ(g_dialogue_window.name, "data/dia/eng/villager/start0.dia2");
    ASSERT_GT(g_dialogue_window.word_count, 0);
    EXPECT_NE(std::find_if(g_dialogue_window.words, g_dialogue_window.words + g_dialogue_window.word_count,
                           [](const char* w) { return std::strcmp(w, "Miller:") == 0; }),
              g_dialogue_window.words + g_dialogue_window.word_count);
}

TEST_F(dialogue_choice_test, TheQuestionMenuListsHoldingQuestionsWithinItsRoomAndAlwaysTheLeaveOption)
{
    char out[k_dialogue_markup_size];
    const std::string head = "^window 50 50 600 64\n^dialog\n^gl_a 0.6 ^c 0.9 0.9 0.9 1\n^center_char hero_key ^l Dovan:\n ^l ";
    build_question_menu(out, sizeof out, 1);
    EXPECT_EQ(out, head + "^lnst 2. Farewell. ^lnend a\n");
    EXPECT_TRUE(logged(log_text(), "generujem\n"));

    // Two questions, one behind a quest state that does not hold, one without nodes.
    auto q = make_dialogue("q", 2);
    std::strcpy(q->text[0], "Where is the spring?");
    write_villager_file("question0", *q);
    set_dialogue_condition(q.get(), 0, k_dia_quest_at_least, "watersupply", 2);
    write_villager_file("question1", *q);
    write_villager_file("question2", *make_dialogue("q", 0));
    build_question_menu(out, sizeof out, 1);
    EXPECT_EQ(out, head + "^lnst 1. Where is the spring? ^lnend data/dia/eng/villager/question0.dia2 ^l\n"
                          "^lnst 2. Farewell. ^lnend a\n");
    g_quests[0].state = 2;
    build_question_menu(out, sizeof out, 1);
    EXPECT_NE(std::string(out).find("^lnst 2. Where is the spring? ^lnend data/dia/eng/villager/question1.dia2"),
              std::string::npos);

    // Twenty long questions: as many as fit, at most 15, and the leave option last.
    std::memset(q->text[0], 'w', 400);
    q->text[0][400] = '\0';
    std::memset(q->condition_kind, 0, sizeof q->condition_kind);
    for (int n = 0; n < 20; ++n)
        write_villager_file("question" + std::to_string(n), *q);
    build_question_menu(out, sizeof out, 1);
    std::string menu = out;
    EXPECT_NE(menu.find("^lnst 8. w"), std::string::npos);
    EXPECT_EQ(menu.find("^lnst 9. w"), std::string::npos);
    EXPECT_TRUE(menu.ends_with("^lnst 9. Farewell. ^lnend a\n"));
    std::strcpy(q->text[0], "Short?");
    for (int n = 0; n < 20; ++n)
        write_villager_file("question" + std::to_string(n), *q);
    build_question_menu(out, sizeof out, 1);
    menu = out;
    EXPECT_NE(menu.find("^lnst 15. Short?"), std::string::npos);
    EXPECT_EQ(menu.find("^lnst 16. Short?"), std::string::npos);
    EXPECT_TRUE(menu.ends_with("^l\n^lnst 16. Farewell. ^lnend a\n"));
}

TEST_F(dialogue_choice_test, EventsAndScriptsLoadTheirFilesAndMissingOnesChangeNothing)
{
    ASSERT_TRUE(make_folder("data/scripts"));
    write_text("data/scripts/villager_enc.txt", "Halt! ^lnst Go on ^lnend close.txt");
    write_text("data/scripts/villager", "bare");
    write_text("data/scripts/lvl.txt", "Welcome %s %n");
    auto before = std::make_unique<text_window>(g_dialogue_window);

    run_char_event(1, 3);  // no "_death" script
    run_char_event(7, 1);  // no such slot
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(std::memcmp(&g_dialogue_window, before.get(), sizeof g_dialogue_window), 0);

    run_char_event(1, 1);
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_dialogue_window.name, "data/scripts/villager_enc.txt");
    EXPECT_STREQ(g_dialogue_window.words[0], "Halt!");
    g_dialogue_running = 0;
    run_char_event(1, 9);
    EXPECT_STREQ(g_dialogue_window.name, "data/scripts/villager");

    // A level script holds the screen with its run-time commands acting at once; a script run at
    // once leaves the dialogue window and the flag alone.
    g_dialogue_running = 0;
    g_dialogue_window.dialogue_record_mode = 1;
    start_script("lvl.txt");
    EXPECT_TRUE(logged(log_text(), "hladam skript data/scripts/lvl.txt\n"));
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_EQ(g_dialogue_window.dialogue_record_mode, 0u);
    EXPECT_EQ(g_dialogue_window.first_pass, 0u);
    EXPECT_STREQ(g_dialogue_window.words[1], "%s");

    before = std::make_unique<text_window>(g_dialogue_window);
    g_dialogue_running = 0;
    run_script("lvl.txt");
    run_script("none.txt");
    start_script("none.txt");
    // A script that cannot be read starts nothing, and the log says so.
    write_text("data/scripts/nul.txt", std::string("Halt!\0^close", 12));
    start_script("nul.txt");
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(std::memcmp(&g_dialogue_window, before.get(), sizeof g_dialogue_window), 0);
    EXPECT_TRUE(logged(log_text(), "data/scripts/nul.txt: poskodeny subor (nulovy bajt), ostava skript nespusteny\n"));
}

// The words of the dialogue window joined by blanks.
std::string shown()
{
    std::string text;
    for (int32_t i = 0; i < g_dialogue_window.word_count; ++i)
        text += (i ? " " : "") + std::string(g_dialogue_window.words[i]);
    return text;
}

TEST_F(dialogue_choice_test, TheDemoInhabitantSpeaksItsFirstMeetingQuestionsAndClosingLines)
{
    const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    load_quests();
    install_dialogue_links();
    text_window& w = g_dialogue_window;

    // The first talk: the first meeting's node 0 with its two numbered options.
    run_char_event(1, 0);
    load_text_window_dialogue(&w);
    EXPECT_STREQ(w.name, "data/dia/eng/villager/first0.dia2");
    EXPECT_NE(shown().find("^center_char villager ^l Old Miller: ^l Welcome, stranger."), std::string::npos);
    run_text_window(&w);
    EXPECT_EQ(w.link_count, 2);
    EXPECT_NE(shown().find("^lnst 1. What happened to the well? ^lnend villager_first/node1.txt "
                           "^lnst 2. I have questions. ^lnend close.txt"), std::string::npos);

    // Option 1 leads to node 1; its link 0 opens the question menu, where the second question waits
    // for the quest.
    w.dialogue_node = uint16_t(g_dialogue.option_link[0][0] - 1);
    std::strcpy(w.requested_file, w.name);
    w.name[0] = '\0';
    load_text_window_dialogue(&w);
    EXPECT_NE(shown().find("The spring up the hill was blocked."), std::string::npos);
    w.dialogue_kind = k_dialogue_question_menu;
    std::strcpy(w.requested_file, "aaaa");
    load_text_window_dialogue(&w);
    EXPECT_NE(shown().find("^lnst 1. Where is the spring? ^lnend data/dia/eng/villager/question0.dia2 ^l ^lnst 2. "),
              std::string::npos);
    EXPECT_EQ(shown().find("Who blocked"), std::string::npos);
    g_quests[find_quest("watersupply")].state = 1;
    std::strcpy(w.requested_file, "aaab");
    load_text_window_dialogue(&w);
    EXPECT_NE(shown().find("^lnst 2. Who blocked the spring?"), std::string::npos);

    // A question is shown from its node 1; leaving picks the closing lines end0.
    w.dialogue_kind = 4;
    w.dialogue_node = 1;
    std::strcpy(w.requested_file, "data/dia/eng/villager/question1.dia2");
    load_text_window_dialogue(&w);
    EXPECT_NE(shown().find("Bandits, they say."), std::string::npos);
    w.end_dialogue_number = int16_t(pick_end_dialogue(1));
    EXPECT_EQ(w.end_dialogue_number, 0);
    w.dialogue_kind = k_dialogue_end_file;
    std::strcpy(w.requested_file, "aaa");
    load_text_window_dialogue(&w);
    EXPECT_NE(shown().find("Safe travels, and mind the road. ^l ^l ^c 1 1 1 1 ^lnst Goodbye. ^lnend close.txt"),
              std::string::npos);

    // Later talks greet with either start file: both hold at the start.
    g_dialogue_running = 0;
    run_char_event(1, 0);
    EXPECT_TRUE(std::string(w.requested_file).starts_with("data/dia/eng/villager/start"));
    EXPECT_TRUE(is_readable_file("data/dialogs/eng/close.txt"));
}

} // namespace
