// Numbers that the demo's files hold out of their range, words where config.cfg holds numbers,
// and lines that a run would repeat, as a run of the gate meets them: each is named once in the
// log and the program goes on with a value it can use.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/packed_stream.h"
#include "engine/ui_texts.h"
#include "level/level_map.h"
#include "script/quests.h"
#include "shell/program.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

namespace {

int lines_with(const std::string& log, const std::string& text)
{
    std::istringstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        n += line.find(text) != std::string::npos;
    return n;
}

// The level's first prototype given the kind `kind`, the rest of the file as it was.
void set_first_proto_kind(const char* path, int32_t kind)
{
    packed_stream* in = stream_open(path, "rp");
    ASSERT_NE(in, nullptr);
    std::vector<uint8_t> bytes;
    for (int c; (c = stream_getc(in)) >= 0;)
        bytes.push_back(uint8_t(c));
    stream_close(in);
    const size_t at = k_map_tag_size + 8 + 32;  // the tag, record size and count, the kind's offset
    ASSERT_GT(bytes.size(), at + 4);
    std::memcpy(&bytes[at], &kind, 4);
    packed_stream* out = stream_open(path, "wp");
    ASSERT_EQ(stream_write(bytes.data(), int(bytes.size()), out), int(bytes.size()));
    ASSERT_EQ(stream_close(out), 0);
}

} // namespace

class numbers_in_range_test : public shell_test {};

TEST_F(numbers_in_range_test, NumbersFromFilesOutOfRangeAreNamedAndKeepSafeValues)
{
    const std::string config = "gr_gamma= 0\ngr_force16bit= 0\ngr_displayshadows= 0\ngr_lowparticles= 1\n"
                               "gr_disablelight= 0\ngr_displayweather= 1\ngr_showstats= 0\ngr_runwindowed= 0\n"
                               "gr_enablewbuffer= 99999999999999999999\nsnd_musicvolume= 50\nsnd_soundvolume= 100\n"
                               "snd_swapchannels= 0\nsnd_muteall= -1\nsnd_eax= 1\nlanguage= eng\ndifficulty= 7\n";
    write_text("config.cfg", config);
    write_text("global/flag.txt", "lots\nencounter\n");
    std::string quests = read_text("global/quest_eng.txt");
    const size_t experience = quests.find('\n', quests.find('\n', quests.find('\n') + 1) + 1) + 1;
    quests.replace(experience, quests.find('\n', experience) - experience, "much");
    write_text("global/quest_eng.txt", quests);
    set_first_proto_kind("data/levels/brana.sav", INT32_MAX);

    run("zorv console brana.sav", 20);
    const std::string log = read_text(k_console_log_file);
    const char* const named[] = {
        ("config.cfg: poskodeny subor (gr_enablewbuffer= 99999999999999999999 mimo 0 az 2147483647), ostava "
         "predvolena hodnota 0"),
        "config.cfg: poskodeny subor (snd_muteall= -1 mimo 0 az 2147483647), ostava predvolena hodnota 0",
        "config.cfg: poskodeny subor (difficulty= 7 mimo 0 az 4), ostava predvolena hodnota 1",
        "global/quest_eng.txt: poskodeny subor (riadok 4), ostava ulohy: prvych 0",
        "global/flag.txt: poskodeny subor (riadok 1), ostava flagy: prvych 0",
        "data/levels/brana.sav: prototyp 0 (",
    };
    for (const char* line : named)
        EXPECT_EQ(lines_with(log, line), 1) << line;
    EXPECT_EQ(lines_with(log, "nepoznany druh 2147483647, nekreslim ho"), 1);
    EXPECT_EQ(g_settings.gr_enablewbuffer, 0u);
    EXPECT_EQ(g_settings.snd_muteall, 0u);
    EXPECT_EQ(g_settings.difficulty, 1);
    EXPECT_EQ(g_quest_count, 0);
    EXPECT_EQ(g_flag_count, 0);
    EXPECT_EQ(read_text("config.cfg"), config);  // named, so not written back unasked
    EXPECT_NE(log.find("config.cfg sa nenacital cely, nezapisujem ho"), std::string::npos);
}

TEST_F(numbers_in_range_test, AWordForOneSettingKeepsItsDefaultAndMovesNoOther)
{
    struct item {
        const char* key;
        const char* written;  // away from the default where the setting allows it
        const char* fallback;
    };
    const item items[] = {
        {"gr_gamma", "5", "0"},           {"gr_force16bit", "1", "0"},     {"gr_displayshadows", "1", "0"},
        {"gr_lowparticles", "0", "1"},    {"gr_disablelight", "1", "0"},   {"gr_displayweather", "0", "1"},
        {"gr_showstats", "1", "0"},       {"gr_runwindowed", "1", "0"},    {"gr_enablewbuffer", "1", "0"},
        {"snd_musicvolume", "70", "50"},  {"snd_soundvolume", "20", "100"}, {"snd_swapchannels", "1", "0"},
        {"snd_muteall", "1", "0"},        {"snd_eax", "0", "1"},           {"language", "eng", "eng"},
        {"difficulty", "3", "1"},
    };
    const item* const language = &items[14];  // a word, but no plain name, stands for it
    for (const item& bad : items) {
        std::string config, expected;
        for (const item& i : items) {
            const bool word = &i == &bad;
            config += std::string(i.key) + "= " + (!word ? i.written : &i == language ? "../abc" : "abc") + "\n";
            expected += std::string(i.key) + "= " + (word ? i.fallback : i.written) + "\n";
        }
        write_text("config.cfg", config);
        run("zorv console", 1);
        const std::string log = read_text(k_console_log_file);
        EXPECT_EQ(lines_with(log, "config.cfg: poskodeny subor ("), 1) << bad.key;
        const std::string named = std::string("config.cfg: poskodeny subor (") + bad.key + "= " +
                                  (&bad == language ? "../abc nie je meno), ostava jazyk "
                                                      : "abc nie je cislo), ostava predvolena hodnota ") +
                                  bad.fallback;
        EXPECT_EQ(lines_with(log, named), 1) << named;
        ASSERT_TRUE(config_write(&g_settings));
        EXPECT_EQ(read_text("config.cfg"), expected) << bad.key;
    }
}

// A language the data does not hold is not taken, whether config.cfg names it or a line added to
// the file moves the next line's value onto the language, nor is one longer than a language or
// holding a control byte, nor one the data holds only in part: English stays, the log names the
// language and why, and the title shows its buttons.
TEST_F(numbers_in_range_test, ALanguageTheDataDoesNotHoldIsNamedAndEnglishStays)
{
    std::string config = read_text("config.cfg");
    const size_t at = config.find("language= eng");
    ASSERT_NE(at, std::string::npos);
    const auto with_language = [&](const std::string& value) {
        return std::string(config).replace(at, std::strlen("language= eng"), "language= " + value);
    };
    const std::pair<std::string, std::string> cases[] = {
        {with_language("de"), "language= de nie je v datach (chyba global/text_de.txt)"},
        {"gr_extra= 1\n" + config, "language= 1 nie je v datach (chyba global/text_1.txt)"},
        {with_language("abcdefghijkl"), "language= abcdefghijkl ma viac ako 11 znakov"},
        // The control byte is named, not written: the log shows no escape sequence.
        {with_language("d\x1b" "e"), "language= d\\x1Be nie je meno"},
    };
    for (const auto& [text, named] : cases) {
        write_text("config.cfg", text);
        run("zorv console", 1);
        const std::string log = read_text(k_console_log_file);
        EXPECT_EQ(lines_with(log, "config.cfg: poskodeny subor (" + named + "), ostava jazyk eng"), 1) << named;
        EXPECT_EQ(log.find('\x1b'), std::string::npos);
        EXPECT_STREQ(g_language, "eng") << named;
        // The title's buttons and texts are the language's files.
        EXPECT_EQ(lines_with(log, "/new_game.tga: subor chyba"), 0) << named;
        EXPECT_STRNE(ui_text(7), "") << named;
        EXPECT_EQ(read_text("config.cfg"), text) << "named, so not written back unasked";
    }

    // A language half installed, as a translator meets it: every file English has but one folder,
    // its UI text table emptied, its quest table missing or cut, its travel map damaged. Each is
    // refused naming what is missing, once, and the title keeps English's buttons; the language
    // installed whole is taken and its greeting at the gate is left as English's is.
    copy_english_as("de");
    const std::string table = read_text("global/text_de.txt");
    const std::string map = read_text("data/levels/mapa_de.sav");
    std::filesystem::rename("data/dialogs/de", "data/dialogs/de.away");
    write_text("config.cfg", with_language("de"));
    const std::pair<std::function<void()>, std::string> halves[] = {
        {[] {}, "(chyba data/dialogs/de/close.txt a 8 dalsich suborov)"},
        {[&] {
             std::filesystem::rename("data/dialogs/de.away", "data/dialogs/de");
             write_text("global/text_de.txt", "");
         },
         "(global/text_de.txt konci po riadku 0)"},
        {[&] {
             write_text("global/text_de.txt", table);
             std::filesystem::remove("global/quest_de.txt");
         },
         "(chyba global/quest_de.txt)"},
        {[] { write_text("global/quest_de.txt", "3\nwatersupply\nWater\n"); }, "(global/quest_de.txt konci po 0 z 3)"},
        {[&] {
             std::filesystem::copy_file("global/quest_eng.txt", "global/quest_de.txt",
                                        std::filesystem::copy_options::overwrite_existing);
             write_text("data/levels/mapa_de.sav", map.substr(0, map.size() / 2));
         },
         "(data/levels/mapa_de.sav je poskodeny)"},
    };
    for (const auto& [make, missing] : halves) {
        make();
        run("zorv console", 1);
        const std::string log = read_text(k_console_log_file);
        EXPECT_EQ(lines_with(log, "config.cfg: poskodeny subor (language= de nie je v datach " + missing +
                                      "), ostava jazyk eng"),
                  1)
            << log;
        EXPECT_STREQ(g_language, "eng");
        EXPECT_EQ(lines_with(log, "/new_game.tga: subor chyba"), 0) << missing;
        EXPECT_STRNE(ui_text(7), "") << missing;
    }
    write_text("data/levels/mapa_de.sav", map);
    // A change file a run that ended abruptly left in global/ is no data of English's.
    write_text("global/mapa_eng.sav", "");
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    EXPECT_STREQ(g_language, "de");
    EXPECT_TRUE(pass_greeting());
    g_quit = 1;
    program_shutdown(true);
    const std::string log = read_text(k_console_log_file);
    EXPECT_EQ(lines_with(log, "language= de"), 0);
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        EXPECT_FALSE(line.find("subor chyba") != std::string::npos &&
                     (line.find("/de/") != std::string::npos || line.find("_de.") != std::string::npos))
            << line;
    EXPECT_GE(lines_with(log, "loadding dialog file data/dialogs/de/close.txt"), 1) << log;
}

TEST_F(numbers_in_range_test, DamagedCreaturesEmptyNamesAndRepeatedStatesAreSaidOnce)
{
    write_bytes("data/creature/bandit.chr", {'A', 'G', 'P', '!', 1, 2, 3});
    // The gate's own greeting, as on a later visit: it stays up, and its conditions are met each frame.
    std::string script = read_text("data/scripts/brana.txt");
    const size_t lessons = script.find("flagstate.gate_lessons = 0");
    ASSERT_NE(lessons, std::string::npos);
    script.replace(lessons, std::strlen("flagstate.gate_lessons = 0"), "flagstate.gate_lessons = 1");
    write_text("data/scripts/brana.txt", script);
    run("zorv console brana.sav", 60);
    const std::string log = read_text(k_console_log_file);
    EXPECT_EQ(lines_with(log, "data/creature/bandit.chr: poskodeny subor ("), 1);
    std::istringstream in(log);
    std::map<std::string, int> states;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("relacia ", 0) == 0)
            ++states[line];
    EXPECT_FALSE(states.empty());
    for (const auto& [line, count] : states)
        EXPECT_EQ(count, 1) << line;

    g_console_enabled = 1;  // as the run had it; the fixture puts it back
    EXPECT_EQ(data_file_path("data/creature/", ""), "");
    EXPECT_NE(read_text(k_console_log_file).find("prazdne meno suboru v priecinku data/creature/, odmietnute"),
              std::string::npos);
}
