// The keyword table as the passes and the parse use it: lookups with their prefixes, the order
// that keeps the prefixes from taking longer keywords, the parse's position limits, and numbers
// read whatever the locale.
#include "engine/sound.h"
#include "script/markup_keywords.h"
#include "script/text_window.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

const char* pass_keyword(const char* word)
{
    const markup_keyword* k = find_pass_keyword(word);
    return k ? k->word : "";
}

TEST(MarkupKeywords, ThePassesMatchWholeKeywordsAndTheTwoPrefixes)
{
    EXPECT_STREQ(pass_keyword("^CENTER_CHAR"), "^center_char");
    EXPECT_STREQ(pass_keyword("^center_view_on_char"), "^center_view_on_char");
    EXPECT_STREQ(pass_keyword("^center_x"), "^center");
    EXPECT_STREQ(pass_keyword("^centered"), "^center");
    EXPECT_STREQ(pass_keyword("^dialog_low"), "^dialog");
    EXPECT_STREQ(pass_keyword("^ln"), "^ln");
    EXPECT_STREQ(pass_keyword("^lnstart"), "^lnstart");
    EXPECT_STREQ(pass_keyword("^no_draw"), "");  // the parse's alone: a plain word for the passes
    EXPECT_STREQ(pass_keyword("^name_x"), "");
    EXPECT_STREQ(pass_keyword("^unknown"), "");
    EXPECT_STREQ(pass_keyword("center"), "");
    EXPECT_EQ(find_pass_keyword("^c")->args, 4);
    EXPECT_EQ(find_pass_keyword("^map3")->args, 4);
    EXPECT_EQ(find_pass_keyword("^add_over_text")->syntax, markup_syntax::over_text);
    EXPECT_EQ(find_pass_keyword("^if")->syntax, markup_syntax::condition);
}

TEST(MarkupKeywords, EveryKeywordIsOnceInTheTableAndNoPrefixTakesALaterKeyword)
{
    std::set<std::string> seen;
    const auto table = markup_keywords();
    for (size_t i = 0; i < table.size(); ++i) {
        const markup_keyword& k = table[i];
        EXPECT_EQ(k.word[0], '^') << k.word;
        EXPECT_TRUE(seen.insert(k.word).second) << k.word;
        if (k.match == keyword_match::exact)
            continue;
        for (size_t j = i + 1; j < table.size(); ++j)
            EXPECT_FALSE(table[j].passes && markup_begins(table[j].word, k.word)) << k.word << " takes " << table[j].word;
    }
    EXPECT_EQ(find_markup_keyword("^START_ELEMENT")->parse, parse_role::acts);
    EXPECT_EQ(find_markup_keyword("^name")->parse, parse_role::replaced);
}

TEST(MarkupKeywords, TheParseRecognisesACommandAtItsLastArgumentWithinItsPositionLimits)
{
    auto window = std::make_unique<text_window>();
    char voice_name[k_voice_name_size];  // each parse here forgets the narration name
    std::memcpy(voice_name, g_sound.voice_name, sizeof voice_name);
    auto completed = [&](const char* text, const char* keyword) {
        parse_text_window(window.get(), text);
        return load_time_command_completed(window.get(), window->word_count - 1, *find_markup_keyword(keyword));
    };
    EXPECT_TRUE(completed("^WINDOW 1 2 3 4", "^window"));
    EXPECT_FALSE(completed("^window 1 2 3", "^window"));
    EXPECT_FALSE(completed("^window 1 2 3 4 5", "^window"));
    EXPECT_FALSE(completed("^char_kill orc", "^char_kill"));  // never as the first word
    EXPECT_TRUE(completed("x ^char_kill orc", "^char_kill"));
    EXPECT_FALSE(completed("x ^sell_item potion 5", "^sell_item"));  // nor as the second
    EXPECT_TRUE(completed("x y ^sell_item potion 5", "^sell_item"));
    EXPECT_TRUE(completed("^no_rect", "^no_rect"));
    EXPECT_TRUE(completed("x ^name's", "^name"));
    EXPECT_FALSE(completed("x ^center_x", "^center"));  // the parse matches "^center" whole
    std::memcpy(g_sound.voice_name, voice_name, sizeof voice_name);
}

TEST(MarkupKeywords, NumbersAreReadAsInTheCLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const bool comma_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_FLOAT_EQ(markup_float("0.6"), 0.6f);
    EXPECT_FLOAT_EQ(markup_float(" -1.5e1x"), -15.0f);
    EXPECT_FLOAT_EQ(markup_float("+.25"), 0.25f);
    EXPECT_FLOAT_EQ(markup_float("0,6"), 0.0f);
    EXPECT_FLOAT_EQ(markup_float("abc"), 0.0f);
    EXPECT_FLOAT_EQ(markup_float("+-2"), 0.0f);
    EXPECT_EQ(markup_int(" -12x"), -12);
    EXPECT_EQ(markup_int("7.9"), 7);
    EXPECT_EQ(markup_int(""), 0);
    EXPECT_EQ(markup_int("99999999999"), INT32_MAX);
    EXPECT_EQ(markup_int("-99999999999"), INT32_MIN);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma_locale)
        GTEST_LOG_(INFO) << "no decimal-comma locale installed; read in the program's locale only";
}

} // namespace
