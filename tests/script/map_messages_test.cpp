#include "core/game_globals.h"
#include "core/globals.h"
#include "platform/files.h"
#include "script/map_texts.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "script/text_window_layout.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class map_messages_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept_.keep(g_map_texts), kept_.keep(g_map_text_count), kept_.keep(g_message_shown);
        kept_.keep(g_dialogue_running);
        window_ = std::make_unique<text_window>(g_message_window);
        reset_text_window(&g_message_window);
        g_map_text_count = 0;
        g_message_shown = g_dialogue_running = 0;
    }
    void TearDown() override
    {
        reset_text_window(&g_message_window);
        g_message_window = *window_;
        kept_.restore();
    }
    static std::string word(int i)
    {
        return i < g_message_window.word_count ? g_message_window.words[i] : "<none>";
    }

    temp_folder folder_;
    saved_globals kept_;
    std::unique_ptr<text_window> window_;
};

TEST_F(map_messages_test, AMessageAskedForWhileAnotherIsUpIsDroppedButMarksTheWindowShown)
{
    g_dialogue_running = 1;
    show_text_message("first words");
    EXPECT_EQ(word(0), "first");
    EXPECT_EQ(g_message_shown, 1u);
    EXPECT_EQ(g_dialogue_running, 1u);

    add_map_text("", "sign", 1);
    add_map_text("by key", "sign", 1);
    add_map_text("second sign", "sign", 1);
    g_message_shown = 0;
    show_text_message("second");
    show_map_text_by_key("sign");
    EXPECT_EQ(word(0), "first");
    EXPECT_EQ(g_message_shown, 1u);

    // With the window empty the first non-empty text of the key wins; keys compare exactly.
    reset_text_window(&g_message_window);
    show_map_text_by_key("SIGN");
    EXPECT_EQ(g_message_window.word_count, 0);
    show_map_text_by_key("sign");
    EXPECT_EQ(word(0), "by");
    EXPECT_EQ(word(2), "<none>");

    // By index the text replaces whatever is up, framed by its "^window" line.
    show_map_text(2);
    EXPECT_EQ(word(5), "second");
    g_message_shown = 0;
    show_map_text(3);
    show_map_text(-1);
    EXPECT_EQ(word(5), "second");
    EXPECT_EQ(g_message_shown, 1u);
}

TEST_F(map_messages_test, TheWindowWidthFollowsTheTextLengthButHoldsAShortTextOnOneLine)
{
    const std::string full = std::string(200, 'a') + " " + std::string(54, 'z');
    add_map_text("exactly twenty-two ch.", "a", 1);
    add_map_text("short", "b", 1);
    add_map_text(full.c_str(), "c", 1);
    // A short text's window holds it on one line, however the length formula comes out (it
    // gives 0 and -153 here); a long text's follows the formula up to the screen's width less
    // 20, so that the window, 10 pixels from the left, ends 10 before the right edge.
    for (int index : {0, 1}) {
        show_map_text(index);
        EXPECT_EQ(word(0), "^window");
        EXPECT_EQ(word(1), "10");
        EXPECT_EQ(word(2), std::to_string(k_map_text_top));  // below the HUD's level name
        EXPECT_GE(std::stoi(word(3)), window_width_for_one_line(g_map_texts[index].text)) << index;
        EXPECT_GE(std::stoi(word(3)), window_width_for_widest_word(g_map_texts[index].text)) << index;
        EXPECT_EQ(word(4), "34");  // one line
    }
    show_map_text(2);
    EXPECT_EQ(word(3), std::to_string(g_screen_width - 20));  // the formula gives 2097
    ASSERT_EQ(g_message_window.word_count, 7);
    EXPECT_EQ(word(6), std::string(54, 'z'));  // the whole text arrived
}

TEST_F(map_messages_test, TextFilesShowOnceTheWindowIsFreeAndAMissingFileClearsTheFlag)
{
    g_message_shown = 1;
    EXPECT_EQ(show_text_file("missing.txt"), -1);
    EXPECT_EQ(g_message_shown, 0u);

    FILE* f = std::fopen("note.txt", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("a note", f);
    std::fclose(f);
    EXPECT_EQ(show_text_file("note.txt"), 1);
    EXPECT_EQ(word(1), "note");
    EXPECT_EQ(g_message_shown, 1u);

    reset_text_window(&g_message_window);
    show_text_message("busy");
    EXPECT_EQ(show_text_file("note.txt"), 1);
    EXPECT_EQ(word(0), "busy");
}

TEST_F(map_messages_test, TheTableRefusesAFiftyFirstTextAndRemovalMovesTheRestDown)
{
    for (int i = 0; i < k_map_text_slots; ++i)
        ASSERT_TRUE(add_map_text(std::to_string(i).c_str(), std::string(30, 'k').c_str(), 1));
    EXPECT_FALSE(add_map_text("more", "k", 1));
    EXPECT_EQ(g_map_text_count, uint32_t(k_map_text_slots));
    EXPECT_EQ(std::string(g_map_texts[0].key), std::string(k_map_text_key_size - 1, 'k'));

    remove_map_text(0);
    remove_map_text(k_map_text_slots);
    remove_map_text(-1);
    EXPECT_EQ(g_map_text_count, uint32_t(k_map_text_slots - 1));
    EXPECT_STREQ(g_map_texts[0].text, "1");
    EXPECT_EQ(g_map_texts[k_map_text_slots - 1].tag, k_map_text_empty);
}

} // namespace
