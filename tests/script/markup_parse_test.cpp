// The parse: words and separators, the hero's names under the command-argument rule, the notice
// phrases, the limits of words and texts, the window's defaults and the narration name.
#include "script/text_window_fixture.h"

#include "core/game_globals.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "script/script_links.h"

#include <cstring>

namespace {

using strings = std::vector<std::string>;

TEST_F(text_window_test, HeroNamesFollowTheCommandArgumentRule)
{
    EXPECT_EQ(parse("$PLAYER ^l $PLAYER ^gl_a $PLAYER $player's Serin Serinus ^char2char Serin HERO Dovan: dovan! "
                    "DOVAN Dovan, ^gl_a Dovan? Dovanek"),
              (strings{"$PLAYER", "^l", "Aren", "^gl_a", "$PLAYER", "Aren's", "Aren", "Arenus", "^char2char",
                       "hero_key", "hero_key", "Aren:", "Aren!", "Aren", "Dovan,", "^gl_a", "Aren?", "Dovanek"}));
    // The arguments of "^char2char" are no display names: the command itself makes them the file key.
    // A first word that ends with ":" is no argument; the word after "^l" neither.
    EXPECT_EQ(parse("$PLAYER: hi ^L Serin"), (strings{"Aren:", "hi", "^L", "Aren"}));
    // The replaced name is not looked at again, so a hero named like the companion keeps the name.
    hero_name() = "Serina";
    EXPECT_EQ(parse("x Serin's $PLAYER"), (strings{"x", "Serina's", "Serina"}));
}

TEST_F(text_window_test, WithoutAHeroTheNamesStayAndTheSkipIsLoggedOnce)
{
    g_script_links.player_char = nullptr;
    EXPECT_EQ(parse("x $PLAYER Dovan"), (strings{"x", "$PLAYER", "Dovan"}));
    EXPECT_EQ(parse("x Serin"), (strings{"x", "Serin"}));
    const std::string log = log_text();
    EXPECT_EQ(log.find("player_char: nie je, preskakujem"), log.rfind("player_char: nie je, preskakujem"));
    EXPECT_NE(log.find("player_char: nie je, preskakujem"), std::string::npos);
}

TEST_F(text_window_test, NoticePhrasesBecomeTheirUiTextsButNotAtTheStart)
{
    EXPECT_EQ(parse("^lnst Click to continue. ^lnend 3"),
              (strings{"^lnst", "Click to continue.", "^lnend", "3", "^0", "^0"}));
    EXPECT_EQ(parse("Click to continue. ^lnend 3"), (strings{"Click", "to", "continue.", "^lnend", "3"}));
    EXPECT_EQ(parse("x Quest completed! y"), (strings{"x", "Quest done.", "^0", "y"}));
    EXPECT_EQ(parse("x NEW quest assigned."), (strings{"x", "New quest.", "^0", "^0"}));
    EXPECT_EQ(parse("x Quests COMPLETED"), (strings{"x", "Quests done.", "^0"}));
    EXPECT_EQ(parse("x new quests assigned"), (strings{"x", "New quests.", "^0", "^0"}));
    EXPECT_EQ(parse("x new location added to map."), (strings{"x", "New location on the map.", "^0", "^0", "^0", "^0"}));
    EXPECT_EQ(parse("Quest completed"), (strings{"Quest", "completed"}));
    EXPECT_EQ(parse("x Questing completed new quest"), (strings{"x", "Questing", "completed", "new", "quest"}));
    // A UI text of 99 bytes stays one word, blanks and all.
    std::memset(g_ui_text[152], 'q', k_ui_text_size - 1);
    g_ui_text[152][40] = ' ';
    g_ui_text[152][k_ui_text_size - 1] = '\0';
    EXPECT_EQ(parse("x Quest completed")[1], std::string(g_ui_text[152]));
}

TEST_F(text_window_test, WordsAreBytesCutAt99AndATextKeeps4999Words)
{
    // Blanks and the control characters separate; 0xFD and the other high bytes belong to words.
    EXPECT_EQ(parse("\t a\xFD" "b\x7F" "c\r\nd\x01\xE9\x80\x9F  "), (strings{"a\xFD" "b", "c", "d", "\xE9\x80\x9F"}));

    const std::string long_word(150, 'w');
    EXPECT_EQ(parse("x " + long_word + " y"), (strings{"x", std::string(99, 'w'), "y"}));
    hero_name() = std::string(98, 'n');
    EXPECT_EQ(parse("x $PLAYER's"), (strings{"x", std::string(98, 'n') + "'"}));

    std::string many;
    for (int i = 0; i < 6000; ++i)
        many += "w" + std::to_string(i) + " ";
    const strings kept = parse(many);
    ASSERT_EQ(kept.size(), 4999u);
    EXPECT_EQ(kept.back(), "w4998");
    EXPECT_EQ(window_->words[4999][0], '\0');

    // A text is read up to its 63,999th byte: the word across the cut is shortened, later ones lost.
    std::string big(63990, ' ');
    big += "abcdefghijklmn tail";
    EXPECT_EQ(parse(big), (strings{"abcdefghi"}));
}

TEST_F(text_window_test, TheParseSetsTheDefaultsAndEmptiesTheWindowFirst)
{
    text_window& w = *window_;
    w.x1 = w.y1 = 7;
    w.alpha = 0.2f;
    w.no_draw = 1;
    w.draw_rect = 0;
    w.dialogue_node = 4;
    w.scroll_y = 9;
    w.log_pending = 0;
    w.dialogue_kind = 3;
    std::strcpy(w.name, "keep");
    parse("one two");
    EXPECT_EQ(w.word_count, 2);
    EXPECT_EQ((std::vector<float>{w.x1, w.y1, w.x2, w.y2, w.alpha, w.scroll_y}),
              (std::vector<float>{0, 0, 250, 30, 1, 0}));
    EXPECT_EQ(w.dialogue_node, k_no_dialogue_node);
    EXPECT_EQ((std::vector<uint32_t>{w.first_pass, w.draw_rect, w.no_draw, w.log_pending}),
              (std::vector<uint32_t>{1, 1, 0, 1}));
    EXPECT_EQ(w.dialogue_kind, 3);  // the dialogue state and the name stay
    EXPECT_STREQ(w.name, "keep");
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse(" \r\n\t").empty());
}

TEST_F(text_window_test, TheNarrationNameIsForgottenUnlessADialogueRuns)
{
    std::strcpy(g_sound.voice_name, "data/voice/a.ogg");
    g_dialogue_running = 1;
    parse("text");
    EXPECT_STREQ(g_sound.voice_name, "data/voice/a.ogg");
    g_dialogue_running = 0;
    parse("text");
    EXPECT_STREQ(g_sound.voice_name, "");
}

} // namespace
