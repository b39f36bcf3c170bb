#include "script/script_conditions.h"

#include "characters/char_table.h"
#include "characters/surround.h"
#include "core/globals.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/markup_keywords.h"
#include "script/script_links.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The story tables behind the fake links: quest "oracle" in state 2, flag "door" at 5; the last
// name asked is kept.
std::string g_asked_name;

bool fake_quest_state(const char* name, uint8_t* state)
{
    g_asked_name = name;
    if (!markup_equal(name, "oracle"))
        return false;
    *state = 2;
    return true;
}

bool fake_flag_value(const char* name, int32_t* value)
{
    g_asked_name = name;
    if (!markup_equal(name, "door"))
        return false;
    *value = 5;
    return true;
}

enum test_item : int16_t { k_staff = 1, k_rusty_key = 2, k_sword = 3 };

void add_entry(char_record& c, int16_t item, uint8_t location, uint8_t damage_type)
{
    c.inv_item[c.inv_count] = item;
    c.inv_location[c.inv_count] = location;
    c.inv_damage_type[c.inv_count] = damage_type;
    ++c.inv_count;
}

char_record& put_char(int slot, const char* key, uint8_t life, uint32_t state, int32_t gold)
{
    char_record& c = g_chars[slot];
    c = char_record{};
    std::snprintf(c.name, sizeof c.name, "%s", key);
    c.life = life;
    c.state = state;
    c.gold = gold;
    c.object = -1;
    c.slot = int16_t(slot);
    return c;
}

void put_entity(int slot, const char* name, uint8_t state, int16_t m0, int16_t m1, int16_t m2)
{
    entity_record& e = g_entities[slot];
    e = entity_record{};
    std::snprintf(e.name, sizeof e.name, "%s", name);
    e.state = state;
    e.memory[0] = m0, e.memory[1] = m1, e.memory[2] = m2;
}

// A world to test against: the hero "hero_key" (alive, gold 50, memory 3, -2, 7, action state 4)
// with a focus staff of element 5 in the weapon location and a rusty key in the backpack; two
// characters "guard" (the first dead in action state 12, the last alive in state 0); entities
// "door" (state 1) and "Door" (state 2, memory -1, 0, 9); three attackers.
class script_condition_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_player_char);
        saved_.keep(g_entities), saved_.keep(g_entity_count), saved_.keep(g_surround);
        saved_.keep(g_script_links), saved_.keep(g_console_enabled);
        ASSERT_TRUE(make_folder("global"));
        g_console_enabled = 1;

        make_item(k_staff, "staff", "Staff", k_item_focus);
        make_item(k_rusty_key, "rusty_key", "Rusty key", k_item_normal);
        make_item(k_sword, "sword", "Sword", k_item_medium_weapon);

        char_record& hero = put_char(0, "hero_key", k_life_alive, 4, 50);
        hero.script_flags[0] = 3, hero.script_flags[1] = -2, hero.script_flags[2] = 7;
        add_entry(hero, k_rusty_key, 0, 0);
        add_entry(hero, k_staff, k_inv_weapon, 5);
        put_char(1, "guard", k_life_dead, 12, 0);
        put_char(2, "Guard", k_life_alive, 0, 0);
        g_char_count = 3;
        g_player_char = 0;

        put_entity(0, "door", 1, 5, 6, 7);
        put_entity(1, "Door", 2, -1, 0, 9);
        g_entity_count = 2;
        g_surround.count = 3;

        g_script_links.last_quest_state = fake_quest_state;
        g_script_links.last_flag_value = fake_flag_value;
        g_asked_name.clear();
    }

    // The window's words, split at spaces.
    void set_words(const std::string& text)
    {
        std::memset(window_->words, 0, sizeof window_->words);
        std::istringstream in(text);
        std::string word;
        window_->word_count = 0;
        while (in >> word)
            std::snprintf(window_->words[window_->word_count++], k_window_word_size, "%s", word.c_str());
    }

    // The word the pass goes on with after the conditional stretch at word 0 ("" past the end).
    std::string next_word(const std::string& text)
    {
        set_words(text);
        std::remove("global/konzola.log");
        const int32_t next = next_word_after_condition(window_.get(), 0);
        EXPECT_GE(next, 0);
        EXPECT_LE(next, window_->word_count);
        return next < window_->word_count ? window_->words[next] : "";
    }

    // What the debug log received since the last next_word.
    static std::string log_lines()
    {
        std::FILE* f = std::fopen("global/konzola.log", "rb");
        if (!f)
            return "";
        std::string text(4096, '\0');
        text.resize(std::fread(text.data(), 1, text.size(), f));
        std::fclose(f);
        return text;
    }

    temp_folder folder_;
    item_table_guard items_;
    saved_globals saved_;
    std::unique_ptr<text_window> window_ = std::make_unique<text_window>();
};

struct condition_case {
    const char* condition;  // the words between "^if" and "^then"
    bool holds;
    const char* log;        // the debug lines written, each ended by a new line
};

TEST_F(script_condition_test, every_kind_and_relation_reads_its_game_value)
{
    const condition_case cases[] = {
        // Entities: the last one of the name, case ignored.
        {"idstate.door = 2", true, ""},
        {"idstate.DOOR == 1", false, ""},
        {"idstate.nobody = 9", true, "nemasiel som id pre nobody\n"},
        {"idmem0.door < 0", true, ""},
        {"idmem1.door != 0", false, ""},
        {"idmem2.door >= 9", true, ""},
        {"idmem2.door > 9", false, ""},
        {"idmem0.nobody = 9", true, "nemasiel som id pre nobody\n"},
        // Life state: the last character of the key; a missing one holds only for 0.
        {"charstate.guard = 2", true, "cislo testu 2\n"},
        {"charstate.HERO > 1", true, "cislo testu 0\n"},
        {"charstate.hero <= 1", false, "cislo testu 0\n"},
        {"charstate.nobody = 0", true, "cislo testu -1\n"},
        {"charstate.nobody = 1", false, "cislo testu -1\n"},
        {"charstate.nobody != 0", true, "cislo testu -1\n"},  // the relation does not count
        // Character memory: "Serin" and "Dovan" are the hero too.
        {"charmem0.HERO == 3", true, ""},
        {"charmem1.Serin <= -2", true, ""},
        {"charmem1.serin < -2", false, ""},
        {"charmem2.dovan > 7", false, ""},
        {"charmem0.guard = 0", true, ""},
        {"charmem0.nobody = 9", true, "nemasiel som charakter pre nobody\n"},
        // Action state: the first character of the key; "Serin" is no alias here.
        {"charaction.guard = 12", true, ""},
        {"charaction.HERO = 4", true, ""},
        {"charaction.HERO != 4", false, ""},
        {"charaction.Serin = 4", true, "nemasiel som charakter pre Serin\n"},
        // Quests.
        {"queststate.oracle >= 2", true, "relacia 5 so stavom (2) cislo 2\n"},
        {"queststate.Oracle > 2", false, "relacia 3 so stavom (2) cislo 2\n"},
        {"queststate.unknown = 9", true, "nemasiel som quest pre unknown\n"},
        // Attackers: equality only, any other relation holds.
        {"numattackers. = 3", true, ""},
        {"numattackers.x != 3", false, ""},
        {"numattackers. < 1", true, ""},
        {"numattackers. > 5", true, ""},
        // Gold: a missing character holds only for 0.
        {"gold.HERO >= 50", true, ""},
        {"gold.HERO < 50", false, ""},
        {"gold.nobody = 0", true, ""},
        {"gold.nobody != 5", false, ""},
        {"gold.nobody > 0", true, ""},
        // The weapon's element: equality only.
        {"weapon_ele = 5", true, ""},
        {"weapon_ele != 5", false, ""},
        {"weapon_ele = 4", false, ""},
        {"weapon_ele != 4", true, ""},
        {"weapon_ele > 100", true, ""},
        // Flags: equality only.
        {"flagstate.door = 5", true, "relacia 0 so stavom (5) cislo 5\n"},
        {"flagstate.door != 5", false, "relacia 1 so stavom (5) cislo 5\n"},
        {"flagstate.door < 3", true, "relacia 2 so stavom (5) cislo 3\n"},
        {"flagstate.missing = 1", true, "nemasiel som flag missing\n"},
        // No relation and no number.
        {"invitem.RUSTY_KEY", true, "RUSTY_KEY\n"},
        {"invitem.sword", false, "sword\n"},
        {"hasweapon", true, ""},
        {"hasfocus", true, ""},
        // Words that name no kind or no relation hold.
        {"bogus.x = 1", true, "nepoznam typ podmienky\n"},
        {"gold.HERO =< 5", true, "nepoznam relaciu\n"},
        {"numattackers. >== 5", true, "nepoznam relaciu\n"},
        // The prefix is case-sensitive.
        {"GOLD.HERO < 0", true, "nepoznam typ podmienky\n"},
        // Too few words: kinds below the weapon's element hold; the others read "^then" as the
        // relation.
        {"gold.HERO", true, ""},
        {"charstate.nobody = ", true, ""},
        {"gold.nobody !=", true, ""},
        {"flagstate.door", true, "nepoznam relaciu\n"},
        {"weapon_ele =", false, ""},
    };
    for (const condition_case& c : cases) {
        SCOPED_TRACE(c.condition);
        EXPECT_EQ(next_word(std::string("^if ") + c.condition + " ^then A ^endif B"), c.holds ? "A" : "B");
        EXPECT_EQ(log_lines(), c.log);
    }
}

TEST_F(script_condition_test, the_weapon_kinds_follow_the_weapon_location)
{
    char_record& hero = g_chars[0];
    hero.inv_location[1] = 3;  // the staff goes to the backpack
    EXPECT_EQ(next_word("^if hasweapon ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if hasfocus ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if weapon_ele = 5 ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if weapon_ele != 5 ^then A ^endif B"), "B");

    add_entry(hero, k_sword, k_inv_weapon, 4);
    EXPECT_EQ(next_word("^if hasweapon ^then A ^endif B"), "A");
    EXPECT_EQ(next_word("^if hasfocus ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if weapon_ele = 4 ^then A ^endif B"), "A");

    // Without a hero nothing is carried and "HERO" is no character.
    g_player_char = 7;
    EXPECT_EQ(next_word("^if invitem.rusty_key ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if hasweapon ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if weapon_ele != 9 ^then A ^endif B"), "B");
    EXPECT_EQ(next_word("^if gold.HERO = 0 ^then A ^endif B"), "A");
}

TEST_F(script_condition_test, names_are_cut_and_words_past_the_count_are_empty)
{
    const std::string long_name(60, 'q');
    next_word("^if queststate." + long_name + " = 1 ^then A ^endif B");
    EXPECT_EQ(g_asked_name, long_name.substr(0, k_condition_name_max));

    // The number stands past the word count: it reads as 0, not as the stale word.
    set_words("^if flagstate.door = 5");
    window_->word_count = 3;
    EXPECT_EQ(eval_script_condition(window_.get(), 1, 5), 0);
    window_->word_count = 4;
    EXPECT_EQ(eval_script_condition(window_.get(), 1, 5), 1);

    // A word filling its whole slot without a terminator is read within the slot.
    std::memset(window_->words[3], '7', k_window_word_size);
    EXPECT_EQ(eval_script_condition(window_.get(), 1, 5), 0);
}

TEST_F(script_condition_test, stretches_skip_to_the_first_endif)
{
    // A condition inside a true stretch starts anew.
    set_words("^if hasweapon ^then A ^if gold.HERO < 0 ^then X ^endif B ^endif C");
    EXPECT_EQ(next_word_after_condition(window_.get(), 0), 3);
    EXPECT_EQ(next_word_after_condition(window_.get(), 4), 11);
    // A false one skips to the first "^endif", past another "^if".
    EXPECT_EQ(next_word("^if gold.HERO < 0 ^then A ^if hasweapon ^then X ^endif B ^endif C"), "B");
    // Keywords are matched ignoring case.
    EXPECT_EQ(next_word("^IF gold.HERO < 0 ^Then A ^ENDIF B"), "B");
    EXPECT_EQ(log_lines(), "");
}

TEST_F(script_condition_test, unterminated_stretches_are_logged)
{
    // True without "^then": the condition runs to the end of the text.
    EXPECT_EQ(next_word("^if hasweapon A B"), "");
    EXPECT_EQ(log_lines(), "neukoncena podmienka\n");
    // False without "^endif": the rest of the text is skipped.
    EXPECT_EQ(next_word("^if gold.HERO < 0 ^then A B"), "");
    EXPECT_EQ(log_lines(), "neukoncena vetva\n");
    EXPECT_EQ(next_word("^if gold.HERO < 0 = 0 A"), "");
    EXPECT_EQ(log_lines(), "neukoncena podmienka\nneukoncena vetva\n");
    // "^if" as the last word.
    set_words("A ^if");
    EXPECT_EQ(next_word_after_condition(window_.get(), 1), 2);
}

} // namespace
