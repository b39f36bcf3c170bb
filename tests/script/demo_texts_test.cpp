// The demo data's markup texts: every hint parses to its words with the hero's names and the
// localized notice phrases put in, and the level links show a hint in the message window.
#include "script/text_window_fixture.h"

#include "engine/ui_texts.h"
#include "level/level_links.h"
#include "platform/files.h"

#include <cstdlib>
#include <map>

namespace {

using strings = std::vector<std::string>;

class demo_texts_test : public text_window_test {
protected:
    void SetUp() override
    {
        text_window_test::SetUp();
        const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        load_ui_texts();
    }
};

TEST_F(demo_texts_test, EveryHintParsesToItsWords)
{
    const std::string head = "^window 0 0 520 100 ^center ^gl_a 0.8 ";
    const std::map<std::string, std::string> expected = {
        {"brana.txt", "^window 0 0 560 110 ^center ^gl_a 0.8 The gate of the valley lies before Aren. ^l Aren, ask at "
                      "the smithy when you are lost. ^l New location added to the map. ^0 ^0 ^0 ^0"},
        {"rand0.txt", head + "Aren's wounds heal at a campfire. ^l A finished task is marked: Quest completed. ^0"},
        {"rand1.txt", head + "Aren, the quest log lists what is left to do. ^l A new task is marked: New quest assigned. ^0 ^0"},
        {"rand2.txt", head + "Aren: \"The map keeps every place I have seen.\" ^l Look out for: New location added to the map. "
                             "^0 ^0 ^0 ^0"},
        {"rand3.txt", head + "Talk to everyone, Aren. ^l An answer is chosen with its link: ^lnst Click to continue. ^lnend 0 ^0 ^0"},
        {"rand4.txt", head + "Aren's attunements grow with every fight. ^l Several at once are marked: Quests completed. ^0"},
    };
    for (const folder_entry& entry : list_folder("data/hints/eng")) {
        SCOPED_TRACE(entry.name);
        const auto want = expected.find(entry.name);
        ASSERT_NE(want, expected.end());
        ASSERT_EQ(load_markup_file(window_.get(), ("data/hints/eng/" + entry.name).c_str()), 1);
        const strings got = words(*window_);
        // Notice phrases hold blanks as single words: compare the words joined.
        std::string joined;
        for (const std::string& w : got)
            joined += (joined.empty() ? "" : " ") + w;
        EXPECT_EQ(joined, want->second);
        EXPECT_EQ(got.front(), "^window");
    }
    EXPECT_EQ(list_folder("data/hints/eng").size(), expected.size());
}

TEST_F(demo_texts_test, TheLevelLinksShowAHintInTheMessageWindowAndEmptyIt)
{
    install_text_window_links();
    g_message_window.first_pass = 1;
    ASSERT_TRUE(g_level_links.show_hint("data/hints/eng/rand1.txt"));
    EXPECT_STREQ(g_message_window.name, "data/hints/eng/rand1.txt");
    EXPECT_EQ(g_message_window.first_pass, 0u);
    EXPECT_EQ(g_message_window.word_count, 27);
    EXPECT_FALSE(g_level_links.show_hint("data/hints/eng/none.txt"));
    EXPECT_EQ(g_message_window.word_count, 27);
    g_level_links.reset_message_window();
    EXPECT_EQ(g_message_window.word_count, 0);
}

} // namespace
