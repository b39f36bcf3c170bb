// The program's own data files across a run: damaged files met at start-up are logged by name and
// never as loaded, a table that did not load whole is not written back over its file, the
// temporaries of interrupted writes are removed at start-up, a file that cannot be used is named
// once however often it is asked for, and a text file's last line is read whether or not it ends
// with a line end.
#include "shell/shell_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "script/quests.h"
#include "script/text_window.h"
#include "shell/program.h"
#include "world/scene_header.h"
#include "support/ended_process.h"
#include "support/section_files.h"

#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

namespace {

bool logged(const std::string& line)
{
    return read_text(k_console_log_file).find(line) != std::string::npos;
}

// "global/efects.dat" stored unpacked ("AGP."): count 3, record size 28, the first `records`
// records whole and then `extra` bytes of the next.
std::vector<uint8_t> effect_table(int records, int extra = 0)
{
    section_bytes s;
    s.u8('A').u8('G').u8('P').u8('.').u16(3).u32(k_efect_proto_size);
    for (int i = 0; i < records; ++i) {
        char name[k_efect_name_size] = {};
        std::snprintf(name, sizeof name, "effect%d", i);
        s.raw(name, sizeof name).u16(k_efect_no_slot).u16(0).u32(0x3F800000);  // scale 1.0
    }
    s.fill(size_t(extra), 'x');
    return s.bytes;
}

// The body of a packed file as read back.
std::vector<uint8_t> unpacked(const char* name)
{
    std::vector<uint8_t> body;
    packed_stream* in = stream_open(name, "rp");
    for (int c; in && (c = stream_getc(in)) >= 0;)
        body.push_back(uint8_t(c));
    stream_close(in);
    return body;
}

} // namespace

TEST_F(shell_test, AnEditorRunKeepsAnEffectTableThatDidNotLoadWhole)
{
    // Cut after no, one and two of its three records, and zeroed: each keeps its bytes.
    std::vector<std::vector<uint8_t>> damaged = {effect_table(0, 5), effect_table(1), effect_table(2, 27),
                                                 std::vector<uint8_t>(90, 0)};
    for (const auto& bytes : damaged) {
        write_bytes(k_efect_protos_file, bytes);
        run("zorv editor", 1);
        EXPECT_EQ(read_bytes(k_efect_protos_file), bytes);
        EXPECT_TRUE(logged("global/efects.dat sa nenacital cely, nezapisujem ho\n"));
    }
    EXPECT_TRUE(logged("global/efects.dat: poskodeny subor (hlavicka), ostava doterajsie efekty\n"));  // the zeroed one

    // Changed by the editor, the table is written whatever it was loaded from.
    write_bytes(k_efect_protos_file, effect_table(1));
    ASSERT_TRUE(program_startup("zorv editor"));
    table_file_changed(g_efect_protos_file);
    program_shutdown(true);
    std::vector<uint8_t> body = unpacked(k_efect_protos_file);
    std::vector<uint8_t> one = effect_table(1);
    one[4] = 1;  // the count of the records read
    EXPECT_EQ(body, std::vector<uint8_t>(one.begin() + 4, one.end()));

    // A whole table is written back (packed now) with the same records.
    std::vector<uint8_t> whole = effect_table(3);
    write_bytes(k_efect_protos_file, whole);
    run("zorv editor", 1);
    std::vector<uint8_t> rewritten = read_bytes(k_efect_protos_file);
    ASSERT_GE(rewritten.size(), 4u);
    EXPECT_EQ(std::string(rewritten.begin(), rewritten.begin() + 4), "AGP!");
    EXPECT_EQ(unpacked(k_efect_protos_file), std::vector<uint8_t>(whole.begin() + 4, whole.end()));
}

TEST_F(shell_test, StartUpRemovesTheTemporariesOfInterruptedWrites)
{
    const std::string dead = std::to_string(ended_process_id()), live = std::to_string(getppid());
    // Every folder the program writes into: tables, saves and their folders, levels, prototypes,
    // dialogues, level texts, models.
    const std::vector<std::string> stale = {"config.cfg.~" + dead + "-1", "global/efects.dat.~" + dead + "-2",
                                            "save/slot1.sav.~" + dead + "-3",
                                            "data/levels/brana.sav.~" + dead + "-4",
                                            "save/demo/char.ss.~" + dead + "-5",
                                            "data/objects/torch.pr.~" + dead + "-6",
                                            "data/dialogs/eng/villager/0.txt.~" + dead + "-7",
                                            "data/leveltext/eng/Brana/tabula.txt.~" + dead + "-8",
                                            "3d/hero/1/stand1/head.3d.~" + dead + "-9"};
    const std::vector<std::string> kept = {"global/efects.dat.~" + live + "-1"};  // its writer still runs
    for (const auto& name : stale)
        write_text(name, "part");
    for (const auto& name : kept)
        write_text(name, "part");
    run("zorv console", 1);
    for (const auto& name : stale) {
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
        EXPECT_TRUE(logged("zmazal som zvysok nedokonceneho zapisu " + name + "\n")) << name;
    }
    for (const auto& name : kept)
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

TEST_F(shell_test, DamagedStartUpFilesAreLoggedByNameAndNeverAsLoaded)
{
    const char* const damage[] = {
        "config.cfg: poskodeny subor (14 z 16 poloziek), ostava predvolene hodnoty necitatelnych poloziek\n",
        "global/main.fn: poskodeny subor (hlavicka), ostava pismo bez znakov\n",
        "global/mouse.txt: poskodeny subor (konci predcasne), ostava hodnoty precitane pred koncom\n",
        "global\\cursor00.tga: poskodeny subor (",
        "data/levels/main_eng.idx: poskodeny subor (0 zaznamov v 624 bajtoch), ostava 0 zaznamov\n",
    };
    // The demo's files load without a word about them.
    run("zorv console", 1);
    EXPECT_TRUE(logged("nacital som prototyp global/mouse.txt\n"));
    for (const char* line : damage)
        EXPECT_FALSE(logged(line)) << line;

    auto zeroed = [](const char* name) {
        write_bytes(name, std::vector<uint8_t>(read_bytes(name).size(), 0));
    };
    write_text("config.cfg", "gr_gamma= 0\ngr_force16bit= 0\ngr_disp");
    zeroed("global/main.fn");
    write_text("global/mouse.txt", "mouse kind 0\r\nwidth 32 height 32\r\n"
                                   "frames 1 : global\\cursor00.tga\r\nmode 1 delay");
    write_text("global/cursor00.tga", "not an image");
    zeroed("data/levels/main_eng.idx");
    run("zorv console", 1);
    for (const char* line : damage)
        EXPECT_TRUE(logged(line)) << line;
    EXPECT_FALSE(logged("nacital som prototyp global/mouse.txt"));

    std::filesystem::remove("config.cfg");
    std::filesystem::remove("global/main.fn");
    run("zorv console", 1);
    EXPECT_TRUE(logged("config.cfg: subor chyba, ostava predvolene nastavenia\n"));
    EXPECT_TRUE(logged("global/main.fn: subor chyba, ostava pismo bez znakov\n"));
}

TEST_F(shell_test, FilesThatCannotBeUsedAreNamedOnceEach)
{
    // The shaman placed at the gate, the water bolt's explosion, the armour's ground model and
    // the default one it falls back to, and the two names tables.
    std::filesystem::remove("data/creature/shaman.chr");
    std::filesystem::remove("data/spell/e_voda.pr");
    std::filesystem::remove("data/predmety/ground/brnenie.pr");
    std::filesystem::remove("data/predmety/ground/default.pr");
    write_text("global/chars_eng.txt", "");
    write_text("global/itemnames_eng.txt", "");
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    for (const char* level : {"dedina01.sav", "brana.sav", "dedina01.sav", "brana.sav"}) {
        change_level(level, 0, 0, 1);
        ASSERT_TRUE(program_frame());
    }
    const std::string log = read_text(k_console_log_file);
    for (const std::string name : {"data/creature/shaman.chr: subor chyba", "data/spell/e_voda.pr: subor chyba",
                                   "data/predmety/ground/brnenie.pr: subor chyba, ostava data/predmety/ground/default.pr",
                                   "data/predmety/ground/default.pr: subor chyba", "global/chars_eng.txt: poskodeny",
                                   "global/itemnames_eng.txt: poskodeny"}) {
        const size_t first = log.find("\n" + name);
        EXPECT_TRUE(first != std::string::npos && log.find("\n" + name, first + 1) == std::string::npos) << name;
    }
    program_shutdown(true);
}

TEST_F(shell_test, TheDemoHasEveryFileItsLevelsAndItsQuestAskForAndUsesItsNamesTable)
{
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_EQ(g_sound_enabled, 1u);  // a sound file is asked for only when sounds play
    std::set<std::string> names;     // the characters' names as the levels show them
    for (const auto& file : std::filesystem::directory_iterator("data/levels"))
        if (file.path().extension() == ".sav") {
            change_level(file.path().filename().c_str(), 0, 0, 1);
            ASSERT_TRUE(program_frame());
            for (uint32_t slot = 1; slot < g_char_count; ++slot)
                names.insert(g_chars[slot].display_name);
        }
    // The villager's reward, as its talk shows it: the water quest completes with its sound.
    change_level("brana.sav", 0, 0, 1);
    ASSERT_TRUE(pass_greeting());
    std::strcpy(g_dialogue_window.requested_file, "data/dialogs/eng/villager_reward/0.txt");
    g_dialogue_running = 1;
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_quests[find_quest("watersupply")].completed, 1u);
    EXPECT_NE(g_sound.voice_stream, 0u);
    ASSERT_TRUE(pass_greeting());
    // Done with the quest, the gate greets no more: its greeting speaks of the bandits.
    change_level("brana.sav", 0, 0, 1);
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_TRUE(program_frame());
        EXPECT_EQ(g_dialogue_running, 0u) << frame;
    }
    program_shutdown(true);
    // Every line naming a missing file, but a spell's effect: a spell without a missile or a
    // second explosion has no file for it, and reads only the effects it has.
    std::istringstream log(read_text(k_console_log_file));
    for (std::string line; std::getline(log, line);)
        EXPECT_TRUE(line.find(": subor chyba") == std::string::npos || line.ends_with("ostava kuzlo bez tohto efektu"))
            << line;
    // Every line of the names table renames a character the levels bring.
    std::istringstream table(read_text("global/chars_eng.txt"));
    for (std::string line; std::getline(table, line) && line.size() > 3;) {
        line.erase(line.find_last_not_of('\r') + 1);
        const size_t semicolon = line.find(';');
        EXPECT_TRUE(names.count(line.substr(semicolon + 1)) && !names.count(line.substr(0, semicolon))) << line;
    }
}

TEST_F(shell_test, ALastLineWithoutItsLineEndIsReadLikeAnyOther)
{
    const std::string flags = read_text("global/flag.txt");
    const size_t last_line = flags.find_last_not_of("\r\n");
    const std::string last_flag = flags.substr(flags.find_last_of('\n', last_line) + 1, last_line - flags.find_last_of('\n', last_line));
    for (const char* name : {"global/quest_eng.txt", "global/flag.txt", "global/text_eng.txt", "global/itemnames_eng.txt",
                             "global/attunements.txt", "data/leveltext/eng/Brana/levelname"}) {
        std::string text = read_text(name);
        while (text.ends_with("\n") || text.ends_with("\r"))
            text.pop_back();
        write_text(name, text);
    }
    write_text("3d/hero/1/stand1/ini", "stand1 7");
    ASSERT_TRUE(program_startup("zorv console brana.sav"));

    EXPECT_TRUE(g_quest_count == 3 && g_quests[2].experience == 7);
    EXPECT_TRUE(g_flag_count > 0 && last_flag == g_flags[g_flag_count - 1].name) << last_flag;
    EXPECT_STREQ(g_ui_text[k_ui_text_count - 1], "Nightmare");
    EXPECT_GE(find_item_proto_by_name("Healing Potion"), 0);
    const int32_t insight = find_item_proto_by_name("Master's insight");
    EXPECT_TRUE(insight >= 0 && g_item_protos[insight].size == 2);
    EXPECT_STREQ(g_scene_header.display_name, "The Gate");
    EXPECT_EQ(g_move_protos[g_chars[g_player_char].clip_stand[0]].frame_time, 7);
    EXPECT_FALSE(logged(": poskodeny subor ("));
    program_shutdown(true);
}
