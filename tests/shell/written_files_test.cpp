// Every file the program writes at shutdown or on the editor's "save all", in game mode and in
// editor mode: after a run that changed nothing each is as it was, but for the fields its loader
// sets; cut to half, cut to 7 bytes or zeroed, each keeps its bytes through a run, but the save
// list, which is made again from the saves; so does one holding more than its count names.
#include "shell/shell_fixture.h"

#include "tests/editor/dialog_texts.h"
#include "tests/shell/editor_demo_steps.h"
#include "tests/shell/editor_demo_support.h"

#include "core/console_log.h"
#include "characters/monster_protos.h"
#include "editor/dialogs/monster_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/windows/command_window.h"
#include "level/save_files.h"
#include "platform/byte_order.h"
#include "platform/recording_device.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int32_t k_move_proto_tab = 3;  // "MoveG"

struct load_set_field {
    uint32_t at, size;
    const char* reason;
};

// A written file; a packed table is compared by its body, record by record, past the fields its
// loader sets.
struct written_file {
    const char* name;
    bool packed;
    uint32_t head = 0, record = 0;
    bool item_lists = false;  // each record is followed by its two property lists
    std::vector<load_set_field> set_at_load = {};
};

const std::vector<written_file>& written_files()
{
    static const std::vector<written_file> files = {
        {"config.cfg", false},
        {"save/save.dat", true},
        {"global/monsters.dat", true},
        {"global/characters.dat", true, 8, 5812,
         false,
         {{25, 1, "life: alive on reading"},
          {40, 4, "pending target cleared on reading"},
          {48, 4, "world object: none on reading"},
          {904, 16, "hit point and mana maxima and values: statistics recomputed as the character is added"},
          {2024, 4, "the word after the walking factor cleared on reading"},
          {2300, 16, "script flags cleared on reading"},
          {2328, 4, "level-character flag cleared on reading"},
          {2384, 800, "item expiry ticks cleared on reading"},
          {4238, 30, "hit and death sound lists rebuilt from the sound files"},
          {4274, 80, "speech emptied on reading"},
          {4862, 60, "display name: the key name when it is shorter than 2 characters"}}},
        {"global/items.dat", true, 8, 816,
         true,
         {{40, 2, "attunement points: 0 for every attunement on loading"},
          {68, 2, "icon texture slot"},
          {196, 24, "attack sound count and sample slots"},
          {264, 24, "drop sound count and sample slots"},
          {340, 4, "ground model prototype slot and big image texture slot"},
          {728, 30, "image name: the key name when empty"},
          {758, 30, "model name: the key name when empty"},
          {788, 24, "inventory sound count and sample slots"},
          {812, 4, "critical multiplier: the 16-bit value when 0.0"}}},
        {"global/efects.dat", true, 6, 28, false, {{20, 2, "template prototype slot the entry took"}}},
        {"global/spells.dat", true, 8, 428,
         false,
         {{32, 4, "missile and explosion prototype slots"},
          {68, 2, "damage percent: 100 when below 5"},
          {78, 2, "cast effect prototype slot"},
          {112, 24, "cast sound count and sample slots"},
          {178, 2, "glow prototype slot"},
          {196, 2, "third explosion prototype slot"},
          {206, 2, "second explosion prototype slot"},
          {382, 2, "companion prototype slot"},
          {388, 24, "explosion sound count and sample slots"}}},
        {"global/chardata.dat", true, 4, 192, false, {{188, 4, "loaded flag: whether the model file exists"}}},
        {"global/charpr.dat", true},
    };
    return files;
}

// The file's bytes, a packed file's body, with the fields its loader sets zeroed.
std::vector<uint8_t> comparable(const written_file& f)
{
    std::vector<uint8_t> body;
    if (!f.packed)
        return read_bytes(f.name);
    if (!read_packed_file(f.name, &body))
        return read_bytes(f.name);
    for (size_t at = f.head; f.record && at + f.record <= body.size();) {
        for (const load_set_field& field : f.set_at_load)
            std::fill_n(body.begin() + long(at + field.at), field.size, uint8_t(0));
        size_t next = at + f.record;
        if (f.item_lists)
            next += 18u * uint16_t(le_i16(&body[at + 52]) + le_i16(&body[at + 60]));
        at = next;
    }
    return body;
}

// Every file of the working folder but the log, by name.
std::map<std::string, std::vector<uint8_t>> folder_files()
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator("."))
        if (entry.is_regular_file() && entry.path() != fs::path(".") / k_console_log_file)
            files[entry.path().lexically_relative(".").string()] = read_bytes(entry.path());
    return files;
}

// After a run that changed nothing: the same files, each byte-identical or, for a table, the same
// body but for the fields set at load.
void expect_as_before(const char* run, const std::map<std::string, std::vector<uint8_t>>& before,
                      const std::map<std::string, std::vector<uint8_t>>& loaded_bodies)
{
    const auto after = folder_files();
    for (const auto& [name, bytes] : after)
        EXPECT_TRUE(before.count(name)) << run << " made " << name;
    for (const auto& [name, bytes] : before) {
        auto now = after.find(name);
        if (now == after.end()) {
            ADD_FAILURE() << run << " removed " << name;
        } else if (now->second != bytes) {
            auto body = loaded_bodies.find(name);
            ASSERT_NE(body, loaded_bodies.end()) << run << " changed " << name;
            const auto f = std::find_if(written_files().begin(), written_files().end(),
                                        [&file = name](const written_file& w) { return file == w.name; });
            EXPECT_EQ(comparable(*f), body->second) << run << " changed " << name << " beyond the fields set at load";
        }
    }
}

// An editor run that loads the gate level, presses "save all" on the "MoveG" page and closes.
void editor_run_with_save_all()
{
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    ASSERT_TRUE(choose_tab(k_move_proto_tab, g_move_proto_editor_window));
    ASSERT_TRUE(user_click(g_move_proto_editor_window, k_mpe_save_all));
    program_shutdown(true);
    render_use_recording(false);
}

} // namespace

TEST_F(shell_test, AnUnchangedRunLeavesEveryFileItWritesAsItWasButForTheFieldsSetAtLoad)
{
    const auto before = folder_files();
    std::map<std::string, std::vector<uint8_t>> bodies;
    for (const written_file& f : written_files())
        bodies[f.name] = comparable(f);

    run("zorv brana.sav", 30);
    expect_as_before("a game run", before, bodies);

    editor_run_with_save_all();
    expect_as_before("an editor run", before, bodies);
}

TEST_F(shell_test, AWrittenFileCutOrZeroedKeepsItsBytesThroughAGameAndAnEditorRun)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t> (*)(std::vector<uint8_t>)>> damages = {
        {"cut to half", [](std::vector<uint8_t> b) { b.resize(b.size() / 2); return b; }},
        {"cut to 7 bytes", [](std::vector<uint8_t> b) { b.resize(std::min<size_t>(b.size(), 7)); return b; }},
        {"zeroed", [](std::vector<uint8_t> b) { return std::vector<uint8_t>(b.size(), 0); }},
    };
    std::map<std::string, std::vector<uint8_t>> demo;
    for (const written_file& f : written_files())
        demo[f.name] = read_bytes(f.name);
    for (const auto& [damage, make] : damages) {
        for (const auto& [name, bytes] : demo)
            write_bytes(name, make(bytes));
        for (bool editor : {false, true}) {
            if (editor)
                editor_run_with_save_all();
            else
                run("zorv console brana.sav", 5);
            const std::string log = read_text(k_console_log_file);
            for (const auto& [name, bytes] : demo) {
                // The save list is made again from the demo's save, which reads whole.
                const bool save_list = name == "save/save.dat";
                EXPECT_EQ(read_bytes(name), save_list ? bytes : make(bytes))
                    << name << " " << damage << (editor ? ", editor" : ", game");
                if (save_list) {
                    write_bytes(name, make(bytes));
                    continue;
                }
                // The game writes no table but the save list (made again, above) and the settings.
                // The move prototypes' file is never read: the line says so, not that it was cut.
                if (editor || name == "config.cfg") {
                    const bool unread = name == "global/charpr.dat";
                    const std::string kept = unread ? " sa necita a tabulka sa nezmenila, nezapisujem ho\n"
                                                    : " sa nenacital cely, nezapisujem ho\n";
                    EXPECT_NE(log.find(name + kept), std::string::npos)
                        << name << " " << damage << (editor ? ", editor" : ", game");
                    if (unread) {
                        EXPECT_EQ(log.find(name + " sa nenacital cely"), std::string::npos) << damage;
                    }
                }
            }
        }
    }

    // Edited in the editor, a table that did not read is written: the class made is in the file.
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_monsters));
    ASSERT_TRUE(user_pick_menu(g_monster_editor_window, k_mon_menu_new));
    program_shutdown(true);
    render_use_recording(false);
    EXPECT_NE(read_bytes("global/monsters.dat"), damages.back().second(demo["global/monsters.dat"]));
    g_monster_proto_count = 0;
    ASSERT_TRUE(load_monster_protos());
    EXPECT_EQ(g_monster_proto_count, 1);
}

// UPDATE with no spell chosen and "save all" over a file cut in its fourth record: the question
// tells the records the file names and holds whole and those the write stores; No keeps the file,
// Yes writes it, with as many records as the question said.
TEST_F(shell_test, AnEditorButtonWritesATableThatDidNotReadWholeOnlyAfterTheUserSaysYes)
{
    struct table_write {
        const char* file;
        size_t head, record;
        void (*press)();
    };
    const table_write writes[] = {
        {"global/spells.dat", 8, 428,
         [] {
             user_pick_menu(g_command_window, k_menu_spells);
             user_click(g_spell_editor_window, k_spell_update);
         }},
        {"global/chardata.dat", 4, 192,
         [] {
             if (g_move_proto_editor_window || choose_tab(k_move_proto_tab, g_move_proto_editor_window))
                 user_click(g_move_proto_editor_window, k_mpe_save_all);
         }},
    };
    for (const auto& [file, head, record, press] : writes) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> whole = read_bytes(file);
        std::vector<uint8_t> body;
        ASSERT_TRUE(read_packed_file(file, &body));
        const uint32_t named = le_u32(&body[0]);
        body.resize(head + 3 * record + record / 2);
        ASSERT_TRUE(write_packed_file(file, body));
        const std::vector<uint8_t> cut = read_bytes(file);
        render_use_recording(true);
        ASSERT_TRUE(program_startup("zorv editor"));
        ASSERT_TRUE(program_frame());
        std::vector<std::string> questions;
        int32_t answer = k_id_no;
        set_modal_responder([&](dialog_handle d) {
            questions.push_back(label_texts(d));
            user_click(d, answer);
            return false;
        });
        press();
        ASSERT_EQ(questions.size(), 1u);
        const std::string found =
            " did not read whole: it names " + std::to_string(named) + " records, 3 of them read whole.";
        EXPECT_EQ(questions[0].find(file + found), 0u) << questions[0];
        const size_t stores = questions[0].find("Writing stores the ");
        ASSERT_NE(stores, std::string::npos) << questions[0];
        EXPECT_EQ(read_bytes(file), cut);
        answer = k_id_yes;
        press();
        EXPECT_EQ(questions.size(), 2u);
        ASSERT_TRUE(read_packed_file(file, &body));
        EXPECT_EQ(le_u32(&body[0]), std::stoul(questions[0].substr(stores + 19)));
        set_modal_responder({});
        program_shutdown(true);
        render_use_recording(false);
        write_bytes(file, whole);
    }
}

// A spell added to a table that did not read whole (none of it: a damaged spell table reads as
// empty): closing the window asks first (no box can be shown here: the answer is No), and the
// file keeps its bytes.
TEST_F(shell_test, AnEditedTableThatDidNotReadWholeIsNotWrittenAtCloseWithoutAYes)
{
    const std::vector<uint8_t> whole = read_bytes("global/spells.dat");
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2));
    write_bytes("global/spells.dat", cut);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_spells));
    ASSERT_TRUE(user_click(g_spell_editor_window, k_spell_add));
    input_inject({input_event_kind::close});
    for (int i = 0; i < 5 && program_frame(); ++i) {
    }
    program_shutdown(true);
    render_use_recording(false);
    EXPECT_EQ(read_bytes("global/spells.dat"), cut);
    EXPECT_NE(read_text(k_console_log_file).find("global/spells.dat did not read whole"), std::string::npos);
}

// A table whose count is lower than the records it holds, or with bytes after them, and a level
// with bytes after its last section: each is named in the log once; an editor run closed with
// nothing edited leaves the tables byte for byte, and the level is not logged as read.
TEST_F(shell_test, AFileHoldingMoreThanItsDataNamesIsNamedOnceAndKeptByAnEditorRun)
{
    const std::pair<const char*, void (*)(std::vector<uint8_t>&)> changes[] = {
        {"global/spells.dat", [](std::vector<uint8_t>& b) { put_le_u32(&b[0], le_u32(&b[0]) - 1); }},
        {"global/monsters.dat", [](std::vector<uint8_t>& b) { put_le_u16(&b[0], uint16_t(le_u16(&b[0]) - 1)); }},
        {"global/items.dat", [](std::vector<uint8_t>& b) { b.push_back(7); }},
        {"global/characters.dat", [](std::vector<uint8_t>& b) { b.insert(b.end(), 3, 0); }},
        {"global/efects.dat", [](std::vector<uint8_t>& b) { b.push_back(0); }},
        {"global/cont.dat", [](std::vector<uint8_t>& b) { b.push_back(0); }},
        {"data/levels/brana.sav", [](std::vector<uint8_t>& b) { b.insert(b.end(), 12, 0); }},
    };
    std::map<std::string, std::vector<uint8_t>> stored;
    for (const auto& [name, change] : changes) {
        std::vector<uint8_t> body;
        ASSERT_TRUE(read_packed_file(name, &body)) << name;
        change(body);
        ASSERT_TRUE(write_packed_file(name, body)) << name;
        stored[name] = read_bytes(name);
    }
    stored["config.cfg"] = read_bytes("config.cfg");
    for (char c : std::string("x= 1\n"))
        stored["config.cfg"].push_back(uint8_t(c));
    write_bytes("config.cfg", stored["config.cfg"]);

    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    input_inject({input_event_kind::close});
    for (int i = 0; i < 5 && program_frame(); ++i) {
    }
    program_shutdown(true);
    render_use_recording(false);
    const std::string log = read_text(k_console_log_file);
    for (const auto& [name, bytes] : stored) {
        EXPECT_EQ(read_bytes(name), bytes) << name;
        size_t reports = 0;
        for (size_t at = 0; (at = log.find(name + ": poskodeny subor (", at)) != std::string::npos; ++at)
            ++reports;
        EXPECT_EQ(reports, 1u) << name;
    }
    EXPECT_EQ(log.find("\nload ok\n"), std::string::npos);
}
