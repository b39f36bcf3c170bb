#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/localized_names.h"
#include "engine/ui_texts.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class localized_texts : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved.keep(g_language), saved.keep(g_editor_enabled), saved.keep(g_console_enabled);
        saved.keep(g_console_history_count), saved.keep(g_console_history);
        std::strcpy(g_language, "eng");
        std::memset(g_ui_text, 0, sizeof g_ui_text);
        g_editor_enabled = 0;
        g_console_enabled = 1;
        write_text("global/.keep", "");
    }
    void TearDown() override
    {
        std::strcpy(g_language, "eng");
        std::memset(g_ui_text, 0, sizeof g_ui_text);
        saved.restore();
    }

    static std::string numbered_lines(int count, const char* end = "\r\n")
    {
        std::string text;
        for (int n = 0; n < count; ++n)
            text += "text " + std::to_string(n) + end;
        return text;
    }

    saved_globals saved;
    temp_folder folder;
};

// The tooltip word tables with their English defaults.
struct word_tables {
    builtin_name damage[8] = {"None", "None", "None", "None", "Fire", "Water", "Air", "Earth"};
    builtin_name kinds[27] = {"Quest", "Melee", "Melee", "Melee", "Ranged", "Focus", "Armour", "Armour",
                              "Boots", "Shield", "Ring", "Necklace", "Cloak", "Armour", "Armour", "Armour",
                              "Healing Item", "Container", "Scroll", "Efect", "Perk", "Trap", "Gem", "Gold",
                              "Essence", "Lantern", "Book"};
    builtin_name classes[27] = {"Quest", "Fast", "Normal", "Heavy", "Normal", "exotic weapon", "Body", "Head",
                                "Boots", "Shield", "Ring", "Necklace", "cloak", "Legs", "Left Arm", "Right Arm"};
    builtin_name sizes[3] = {"Small", "Medium", "Large"};
    builtin_name weights[3] = {"Light", "Heavy", "Heavy"};
    builtin_name speeds[3] = {"Fast", "Heavy", "Heavy"};
    builtin_name requirements[16] = {"nothing", "Weapon", "Shield", "No Shield", "No Armour", "Light Armour",
                                     "Heavy Armour", "Fast Melee", "Normal Melee", "Heavy Melee", "Ranged",
                                     "Dreamworld", "No Element", " Element", " Element Focus", "Melee"};

    builtin_name_tables tables()
    {
        return {damage, kinds, classes, sizes, weights, speeds, requirements};
    }
};

TEST_F(localized_texts, UiTextsAreReadByLineNumber)
{
    std::string text = numbered_lines(171);
    text.replace(text.find("text 5\r\n"), 6, std::string(150, 'L'));  // a long line is cut, not split
    write_text("global/text_eng.txt", text);
    load_ui_texts();
    EXPECT_STREQ(ui_text(0), "text 0");
    EXPECT_EQ(std::string(ui_text(5)), std::string(99, 'L'));
    EXPECT_STREQ(ui_text(6), "text 6");
    EXPECT_STREQ(ui_text(170), "text 170");
    EXPECT_STREQ(ui_text(171), "");  // a file of 171 lines leaves the last entry empty
    EXPECT_STREQ(ui_text(172), "");
    EXPECT_STREQ(ui_text(-1), "");

    // The language names the file.
    std::strcpy(g_language, "de");
    write_text("global/text_de.txt", "Neues Spiel\nLaden\n");
    load_ui_texts();
    EXPECT_STREQ(ui_text(1), "Laden");
    EXPECT_STREQ(ui_text(2), "");
}

TEST_F(localized_texts, UiTextsReplaceTheBuiltInWords)
{
    word_tables words;
    g_builtin_name_tables = words.tables();
    load_ui_texts();  // no file: every text empty, the words stay English
    EXPECT_STREQ(ui_text(41), "");
    EXPECT_STREQ(words.damage[4], "Fire");

    write_text("global/text_eng.txt", numbered_lines(172, "\n"));
    load_ui_texts();
    g_builtin_name_tables = {};
    EXPECT_STREQ(words.damage[0], "text 122");
    EXPECT_STREQ(words.damage[7], "text 44");
    EXPECT_STREQ(words.kinds[0], "text 59");
    EXPECT_STREQ(words.kinds[15], "text 62");
    EXPECT_STREQ(words.kinds[26], "text 160");
    EXPECT_STREQ(words.kinds[18], "Scroll");
    EXPECT_STREQ(words.kinds[25], "Lantern");
    EXPECT_STREQ(words.classes[1], "text 70");
    EXPECT_STREQ(words.classes[14], "text 80");
    EXPECT_STREQ(words.classes[5], "exotic weapon");
    EXPECT_STREQ(words.sizes[2], "text 75");
    EXPECT_STREQ(words.weights[2], "text 121");
    EXPECT_STREQ(words.speeds[1], "text 72");
    EXPECT_STREQ(words.requirements[0], "nothing");
    EXPECT_STREQ(words.requirements[2], "text 31");
    EXPECT_STREQ(words.requirements[14], "text 92");

    // A table left out is not touched.
    word_tables partial;
    builtin_name_tables only_sizes;
    only_sizes.shield_size_words = partial.sizes;
    localize_builtin_names(only_sizes);
    EXPECT_STREQ(partial.sizes[0], "text 73");
    EXPECT_STREQ(partial.kinds[0], "Quest");
}

TEST_F(localized_texts, CharacterNamesAreReplacedByKeyIgnoringCase)
{
    char names[5][60] = {"Strazca", "strazca", "Kovac", "Nobody", "STRAZCA"};
    std::vector<char_name_entry> chars;
    for (auto& name : names)
        chars.push_back({name, sizeof name});
    write_text("global/chars_eng.txt",
               "Strazca;Guard\r\nKovac;Smith;extra\r\nno separator here\r\nGuard;Twice renamed\r\n"
               "Nobody" + std::string(100, 'x') + ";" + std::string(100, 'y') + "\r\n\r\nNobody;Late\r\n");
    load_char_names_into(chars);
    EXPECT_STREQ(names[0], "Strazca");  // the hero keeps his name
    EXPECT_STREQ(names[1], "Twice renamed");  // a later line may match the new name
    EXPECT_STREQ(names[2], "Smith");
    EXPECT_STREQ(names[3], "Nobody");  // the long key is cut and matches nothing; reading stops at the empty line
    EXPECT_STREQ(names[4], "Twice renamed");
    EXPECT_NE(read_text("global/konzola.log").find("global/chars_eng.txt: poskodeny subor (riadok 3), ostava mena z ostatnych celych riadkov\n"),
              std::string::npos);

    // In editor mode nothing is replaced; an empty first line applies nothing.
    char editor_names[2][60] = {"x", "Kovac"};
    std::vector<char_name_entry> editor_chars = {{editor_names[0], 60}, {editor_names[1], 60}};
    g_editor_enabled = 1;
    load_char_names_into(editor_chars);
    EXPECT_STREQ(editor_names[1], "Kovac");
    g_editor_enabled = 0;
    write_text("global/chars_eng.txt", "\nKovac;Smith\n");
    load_char_names_into(editor_chars);
    EXPECT_STREQ(editor_names[1], "Kovac");
}

TEST_F(localized_texts, LongNamesAreCutToTheirBuffers)
{
    char names[2][60] = {"hero", "Vlk"};
    std::vector<char_name_entry> chars = {{names[0], 60}, {names[1], 60}};
    write_text("global/chars_eng.txt", "vlk;" + std::string(300, 'W') + "\n");
    load_char_names_into(chars);
    EXPECT_EQ(std::string(names[1]), std::string(59, 'W'));
}

TEST_F(localized_texts, ItemNamesAreReplacedForReplaceableItemsOnly)
{
    char display[3][100] = {"mec", "stit", "luk"};
    std::vector<item_name_entry> items = {
        {"mec", display[0], 100, true}, {"STIT", display[1], 100, true}, {"luk", display[2], 100, false}};
    write_text("global/itemnames_eng.txt", "0;mec;Sword\r\n1;stit;Shield\r\n2;luk;Bow\r\n3;x\r\n");
    load_item_names_into(items);
    EXPECT_STREQ(display[0], "Sword");
    EXPECT_STREQ(display[1], "Shield");
    EXPECT_STREQ(display[2], "luk");

    write_text("global/itemnames_eng.txt", "9;mec;Blade\n");
    g_editor_enabled = 1;
    load_item_names_into(items);
    EXPECT_STREQ(display[0], "Sword");
}

TEST_F(localized_texts, LevelTextsReplaceMapTextsAndTheLevelName)
{
    std::filesystem::create_directories("data/leveltext/eng/Brana");
    write_text("data/leveltext/eng/Brana/tabula.txt", "The road is closed.");
    write_text("data/leveltext/eng/Brana/long.txt", std::string(400, 'T'));
    write_text("data/leveltext/eng/Brana/levelname", "The Gate\r\nsecond line\r\n");
    char level_name[80] = "Brana";
    char texts[4][256] = {"old sign", "old long", "kept", "escape"};
    std::vector<map_text_entry> entries = {
        {"tabula", texts[0], 256}, {"long", texts[1], 256}, {"missing", texts[2], 256}, {"../Brana/tabula", texts[3], 256}};
    load_level_texts_into(level_name, sizeof level_name, entries);
    EXPECT_STREQ(texts[0], "The road is closed.");
    EXPECT_EQ(std::string(texts[1]), std::string(255, 'T'));
    EXPECT_STREQ(texts[2], "kept");
    EXPECT_STREQ(texts[3], "escape");
    EXPECT_STREQ(level_name, "The Gate");
    std::string log = read_text("global/konzola.log");
    EXPECT_NE(log.find("data/leveltext/eng/Brana\n"), std::string::npos);
    EXPECT_NE(log.find("data/leveltext/eng/Brana/tabula.txt\n"), std::string::npos);

    // A level whose name would leave the folder reads nothing; the editor keeps the stored texts.
    char escaping[80] = "..";
    load_level_texts_into(escaping, sizeof escaping, entries);
    EXPECT_STREQ(escaping, "..");
    char stored[80] = "Brana";
    std::strcpy(texts[0], "stored");
    g_editor_enabled = 1;
    load_level_texts_into(stored, sizeof stored, entries);
    EXPECT_STREQ(stored, "Brana");
    EXPECT_STREQ(texts[0], "stored");
}

} // namespace
