// Save games on the demo data, with the whole program started: the round trip with an overwrite,
// the refusals and the forced quest autosave, damaged saves refused with nothing changed, a save
// killed half-way, and the save list's reading and order.
#include "shell/shell_fixture.h"
#include "support/file_sync_log.h"
#include "tests/shell/editor_demo_steps.h"
#include "tests/shell/injected_input.h"
#include "support/input_script.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "editor/windows/command_window.h"
#include "engine/fonts.h"
#include "engine/ui_texts.h"
#include "interface/credits.h"
#include "interface/front_end.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/save_load_screen.h"
#include "items/containers.h"
#include "items/items.h"
#include "level/level_change.h"
#include "level/level_saves.h"
#include "level/save_files.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/save_games.h"
#include "platform/files.h"
#include "platform/render_device.h"
#include "script/quests.h"
#include "shell/console_commands.h"
#include "shell/level_requests.h"
#include "shell/program.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int16_t k_focus = 3;  // the demo's attunement

class save_games_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        kept_.keep(g_save_list), kept_.keep(g_save_list_file), kept_.keep(g_map_locations_open), kept_.keep(g_dialogue_running);
        kept_.keep(g_in_combat), kept_.keep(g_item_protos);
        g_save_list.count = 0;
    }
    void TearDown() override
    {
        g_save_file_written = nullptr;
        g_text_drawn = nullptr;
        if (started_)
            program_shutdown(true);
        kept_.restore();
        shell_test::TearDown();
    }

    // Starts the game in the demo's level with the hero placed.
    void start(const char* command_line = "zorv brana.sav")
    {
        ASSERT_TRUE(program_startup(command_line));
        started_ = true;
        g_editor.ai_on = 0;  // the gate's enemies stand: no fight refuses the saves
        ASSERT_TRUE(pass_greeting());
        ASSERT_NE(hero_object(), nullptr);
        // Start-up listed the demo's save; the tests start from an empty list.
        ASSERT_EQ(g_save_list.count, 1);
        EXPECT_STREQ(g_save_list.names[0], "demo");
        g_save_list.count = 0;
    }

    static world_object* hero_object() { return world_object_of(g_chars[g_player_char]); }

    // Every file and folder under `folder`, a folder with no bytes.
    static std::map<std::string, std::vector<uint8_t>> files_under(const char* folder)
    {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            files[entry.path().string()] = entry.is_regular_file() ? read_bytes(entry.path()) : std::vector<uint8_t>();
        return files;
    }

    // Esc with the pointer at (x, y) opens the menu; its "save game" is pressed, the button held
    // until the menu closes.
    static void press_menu_save(float x, float y)
    {
        ASSERT_TRUE(tap_at(x, y, {k_key_escape}));
        ASSERT_EQ(g_interface.menu_open, 1u);
        g_interface_links.wait_until_released = release_then_wait;
        inject_pointer(float(g_view_x + g_screen_width / 2), float(g_view_y + g_screen_height / 2 + 187));
        inject_left_button(true);
        for (int frame = 0; frame < 2000 && g_interface.menu_open; ++frame)
            ASSERT_TRUE(program_frame());
        inject_left_button(false);
        ASSERT_EQ(g_interface.menu_open, 0u) << "the menu's save never closed it";
    }

    // Puts the game into a state that differs in every part a save holds.
    static void set_state(int day, float x, float y, int seed)
    {
        g_game_clock.day = uint32_t(day);
        g_game_clock.hour = uint8_t(seed);
        hero_object()->x = x;
        hero_object()->y = y;
        hero_object()->angle_b = 40 + seed;
        g_chars[g_player_char].script_flags[3] = int16_t(seed);
        g_quests[1].state = uint8_t(seed);
        g_quests[1].completed = uint32_t(seed & 1);
        g_flags[0].value = seed;
        g_interface.quick_ids[2] = int16_t(seed);
        g_interface.quick_selected = uint8_t(seed);
        // Below the first tier's threshold, so no character update learns it meanwhile.
        g_item_protos[k_focus].damage = int16_t(10 * seed);
        g_map_locations_open[5] = uint32_t(seed & 1);
    }

    // The state set_state(…, seed) leaves, as the restored game must show it.
    static void expect_state(int day, float x, float y, int seed)
    {
        EXPECT_EQ(g_game_clock.day, uint32_t(day));
        EXPECT_EQ(g_game_clock.hour, seed);
        ASSERT_NE(hero_object(), nullptr);
        EXPECT_EQ(hero_object()->x, x);
        EXPECT_EQ(hero_object()->y, y);
        EXPECT_EQ(hero_object()->angle_b, 40 + seed);
        EXPECT_EQ(g_chars[g_player_char].script_flags[3], seed);
        EXPECT_EQ(g_quests[1].state, seed);
        EXPECT_EQ(g_flags[0].value, seed);
        EXPECT_EQ(g_interface.quick_ids[2], seed);
        EXPECT_EQ(g_interface.quick_selected, seed);
        EXPECT_EQ(g_item_protos[k_focus].damage, 10 * seed);
        EXPECT_EQ(g_map_locations_open[5], uint32_t(seed & 1));
        EXPECT_STREQ(g_map_path, "data/levels/brana.sav");
        // The camera stays inside the level's bounds.
        EXPECT_GE(g_camera_x, g_scene_header.camera_min_x);
        EXPECT_GE(g_camera_y, g_scene_header.camera_min_y);
    }

    static std::string last_message() { return g_message_log.lines[(g_message_log.count + 99) % 100]; }
    // The message log's lines that hold `part`.
    static int message_lines_with(const std::string& part)
    {
        int n = 0;
        for (int i = 0; i < std::min<int>(int(g_message_log.count), 100); ++i)
            n += std::string(g_message_log.lines[i]).find(part) != std::string::npos;
        return n;
    }
    // The file's first half in place of the file.
    static void cut_in_half(const char* file)
    {
        const std::vector<uint8_t> bytes = read_bytes(file);
        write_bytes(file, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
    }

    // A game saved under `name` at the gate, then a start at the title, as a new process makes it.
    void save_then_start_at_title(const char* name)
    {
        start();
        ASSERT_TRUE(save_game(&g_save_list, name, 0, 0));
        program_shutdown(true);
        started_ = false;
        g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';
        ASSERT_TRUE(program_startup("zorv console"));
        started_ = true;
    }

    saved_globals kept_;
    bool started_ = false;
};

// Every byte of the running game a refused load must leave alone.
struct game_bytes {
    std::vector<uint8_t> bytes;
    static game_bytes take()
    {
        game_bytes g;
        auto add = [&](const void* p, size_t n) {
            auto* b = static_cast<const uint8_t*>(p);
            g.bytes.insert(g.bytes.end(), b, b + n);
        };
        add(&g_game_clock, sizeof g_game_clock), add(g_map_path, sizeof g_map_path);
        add(&g_player_char, sizeof g_player_char), add(&g_chars[g_player_char], sizeof(char_record));
        add(g_quests, sizeof g_quests), add(g_flags, sizeof g_flags);
        add(&g_interface, sizeof g_interface), add(g_map_locations_open, sizeof g_map_locations_open);
        add(g_item_protos, sizeof(item_proto) * size_t(g_item_proto_count));
        add(&g_char_container_count, sizeof g_char_container_count);
        for (int i = k_char_container_first; i < k_char_container_first + g_char_container_count; ++i) {
            const container& c = g_containers[i];
            add(c.name, sizeof c.name), add(&c.width, 1), add(&c.height, 1);
            if (c.items)
                add(c.items, 2 * container_cells(&c)), add(c.flags, container_cells(&c));
        }
        std::vector<uint8_t> live;
        read_whole_file("global/brana.sav", &live);
        g.bytes.insert(g.bytes.end(), live.begin(), live.end());
        return g;
    }
};

} // namespace

TEST_F(save_games_test, ASaveOverwrittenAndLoadedRestoresTheGameAndItsLevelCopies)
{
    start();
    // The demo's save puts the hero at the gate level's first entry.
    hero_object()->x += 77.0f;
    ASSERT_TRUE(load_game(&g_save_list, "demo"));
    ASSERT_TRUE(pass_greeting());  // entering the level greets the hero again
    EXPECT_EQ(hero_object()->x, g_scene_header.entry_x[0]);
    EXPECT_EQ(hero_object()->y, g_scene_header.entry_y[0]);
    EXPECT_EQ(g_quests[0].assigned, 1u);

    ASSERT_TRUE(save_level_changes("dedina01.sav"));  // a level visited before
    set_state(3, 300.0f, 250.0f, 1);
    ASSERT_TRUE(save_game(&g_save_list, "alpha", 1, 0));
    EXPECT_EQ(last_message(), std::string("alpha ") + ui_text(106));
    std::vector<uint8_t> game;
    ASSERT_TRUE(read_packed_file("save/alpha/game.ss", &game));
    EXPECT_EQ(game.size(), k_game_state_size);
    for (const char* f : {"char.ss", "container.ss", "quest.ss", "quick.ss", "attune.ss", "brana.sav", "dedina01.sav"})
        EXPECT_TRUE(is_readable_file(("save/alpha/" + std::string(f)).c_str())) << f;

    // The second save under the name replaces every file and drops the copy no longer in global/.
    delete_file("global/dedina01.sav");
    set_state(5, 420.0f, 380.0f, 2);
    ASSERT_TRUE(save_game(&g_save_list, "alpha", 0, 0));
    ASSERT_EQ(g_save_list.count, 1);
    EXPECT_STREQ(g_save_list.names[0], "alpha");
    EXPECT_FALSE(is_readable_file("save/alpha/dedina01.sav"));
    EXPECT_TRUE(is_readable_file("save/alpha/brana.sav"));
    EXPECT_FALSE(fs::exists("save/.~saving"));

    // A level visited after saving is forgotten by the load; the level copies come back.
    ASSERT_TRUE(save_level_changes("les.sav"));
    set_state(9, 100.0f, 120.0f, 3);
    g_in_combat = 2;
    ASSERT_TRUE(load_game(&g_save_list, "alpha"));
    expect_state(5, 420.0f, 380.0f, 2);
    EXPECT_EQ(g_in_combat, 0);
    EXPECT_EQ(g_mouse_x, 420.0f);
    EXPECT_FALSE(is_readable_file("global/les.sav"));
    EXPECT_FALSE(is_readable_file("global/dedina01.sav"));
    EXPECT_EQ(last_message(), std::string("alpha ") + ui_text(108));

    // The quick save is listed like any other and reports with its own texts.
    ASSERT_TRUE(pass_greeting());  // entering the level greeted the hero again
    ASSERT_TRUE(save_game(&g_save_list, "quick", 0, 0));
    EXPECT_EQ(g_save_list.count, 2);
    EXPECT_EQ(last_message(), std::string(ui_text(155)) + " " + ui_text(157));
}

TEST_F(save_games_test, ALevelReadFromOutsideTheLevelsFolderIsSavedAndLoadedByItsPath)
{
    fs::create_directory("mylevels");
    fs::copy_file("data/levels/dedina01.sav", "mylevels/my.sav");
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    started_ = true;
    g_editor.ai_on = 0;
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(tap_keys({k_key_grave}));
    auto console = [](const char* line) { return type_keys(line) && tap_keys({k_key_return}) && program_frame(); };
    ASSERT_TRUE(console("load mylevels/my.sav"));
    ASSERT_STREQ(g_current_level, "mylevels/my.sav");
    ASSERT_TRUE(console("savegame t1"));
    ASSERT_TRUE(console("load brana.sav"));
    ASSERT_STREQ(g_current_level, "brana.sav");

    ASSERT_TRUE(console("loadgame t1"));
    EXPECT_STREQ(g_current_level, "mylevels/my.sav");
    EXPECT_EQ(last_message(), std::string("t1 ") + ui_text(108));

    // Without its level the save is refused before anything is replaced.
    fs::remove("mylevels/my.sav");
    ASSERT_TRUE(console("load brana.sav"));
    const float x = hero_object()->x, y = hero_object()->y;
    ASSERT_TRUE(console("loadgame t1"));
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(hero_object()->x, x);
    EXPECT_EQ(hero_object()->y, y);
    EXPECT_EQ(last_message(), "The level my.sav of this save is missing.");
}

TEST_F(save_games_test, RefusalsChangeNothingAndTheQuestAutosaveIsForced)
{
    start();
    for (const std::string& name : {std::string("../escape"), std::string("a/b"), std::string("a\\b"),
                                    std::string(".."), std::string("."), std::string(""), std::string(255, 'n')})
        EXPECT_FALSE(save_game(&g_save_list, name.c_str(), 0, 1)) << name;
    EXPECT_FALSE(fs::exists("escape"));
    EXPECT_TRUE(save_game(&g_save_list, std::string(254, 'n').c_str(), 0, 1));

    g_dialogue_running = 1;
    EXPECT_FALSE(save_game(&g_save_list, "talk", 1, 0));
    EXPECT_EQ(last_message(), ui_text(103));
    g_dialogue_running = 0;
    g_in_combat = 1;
    EXPECT_FALSE(save_game(&g_save_list, "fight", 1, 0));
    EXPECT_EQ(last_message(), ui_text(105));
    EXPECT_FALSE(fs::exists("save/talk") || fs::exists("save/fight"));

    // Completing a quest saves during a dialogue and a fight.
    g_dialogue_running = 1;
    complete_quest(&g_quests[0], 0);
    const std::string autosave = std::string(ui_text(124)) + " '" + g_quests[0].title + "' " + ui_text(125);
    EXPECT_TRUE(is_readable_file(("save/" + autosave + "/game.ss").c_str()));
    ASSERT_EQ(g_save_list.count, 2);
    EXPECT_EQ(autosave, g_save_list.names[1]);
    g_dialogue_running = 0;
    g_in_combat = 0;

    // With 199 names every save is refused, also one that would overwrite a listed name.
    for (int i = g_save_list.count; i < k_save_slots; ++i)
        std::snprintf(g_save_list.names[i], k_save_name_size, "filler%d", i);
    g_save_list.count = k_save_slots;
    EXPECT_FALSE(save_game(&g_save_list, autosave.c_str(), 0, 1));
    EXPECT_EQ(last_message(), ui_text(104));
    EXPECT_EQ(g_save_list.count, k_save_slots);
}

TEST_F(save_games_test, ADamagedOrHalfMissingSaveIsRefusedWithNothingChanged)
{
    start();
    set_state(3, 300.0f, 250.0f, 1);
    ASSERT_TRUE(save_game(&g_save_list, "good", 0, 0));
    set_state(7, 200.0f, 210.0f, 2);
    std::vector<uint8_t> game, story, attune, quick, containers, level;
    ASSERT_TRUE(read_packed_file("save/good/game.ss", &game));
    ASSERT_TRUE(read_packed_file("save/good/quest.ss", &story));
    ASSERT_TRUE(read_packed_file("save/good/attune.ss", &attune));
    ASSERT_TRUE(read_packed_file("save/good/container.ss", &containers));
    ASSERT_TRUE(read_packed_file("save/good/brana.sav", &level));

    auto with = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> put) {
        std::copy(put.begin(), put.end(), bytes.begin() + long(at));
        return bytes;
    };
    auto cut = [](std::vector<uint8_t> bytes) {
        bytes.pop_back();
        return bytes;
    };
    auto longer = [](std::vector<uint8_t> bytes) {
        bytes.push_back(0);
        return bytes;
    };
    struct damage {
        const char* what;
        const char* file;  // removed when bytes is empty and garbage is false
        std::vector<uint8_t> bytes;
        bool garbage = false;
    };
    const std::vector<damage> damages = {
        {"game.ss short", "game.ss", cut(game)},
        {"20 locations", "game.ss", with(game, 336, {20, 0})},
        {"hero beyond the global slots", "game.ss", with(game, 296, {9, 0, 0, 0})},
        {"missing level", "game.ss", with(game, 40, {'x', 0})},
        {"101 quests", "quest.ss", with(story, 0, {101})},
        {"quest.ss short", "quest.ss", cut(story)},
        {"attunement index of a sword", "attune.ss", with(attune, 2, {0, 0, 0, 0})},
        {"attunement count", "attune.ss", with(attune, 0, {0x7F, 0})},
        {"quick.ss missing", "quick.ss", {}},
        {"char.ss missing", "char.ss", {}},
        {"container.ss missing", "container.ss", {}},
        {"container.ss only its count", "container.ss", {2, 0}},
        {"container.ss longer", "container.ss", longer(containers)},
        {"level copy cut", "brana.sav", cut(level)},
        {"level copy longer", "brana.sav", longer(level)},
        {"level copy counting more placements than it holds", "brana.sav", with(level, 4, {0xFF, 0x0F})},
        {"char.ss cut", "char.ss", {1, 2, 3}},
        {"level copy damaged", "brana.sav", {'n', 'o', 'p', 'e'}, true},
    };
    const game_bytes before = game_bytes::take();
    const int lines = int(g_message_log.count);
    for (const damage& d : damages) {
        fs::remove_all("save/bad");
        fs::copy("save/good", "save/bad");
        if (d.garbage)
            write_bytes(std::string("save/bad/") + d.file, d.bytes);
        else if (d.bytes.empty())
            fs::remove(std::string("save/bad/") + d.file);
        else
            ASSERT_TRUE(write_packed_file((std::string("save/bad/") + d.file).c_str(), d.bytes));
        EXPECT_FALSE(load_game(&g_save_list, "bad")) << d.what;
        EXPECT_TRUE(game_bytes::take().bytes == before.bytes) << d.what;
        const bool no_level = std::string(d.what) == "missing level";
        EXPECT_EQ(last_message(), no_level ? "The level x of this save is missing." : ui_text(107)) << d.what;
    }
    EXPECT_EQ(int(g_message_log.count), lines + int(damages.size()));
    // A save without game.ss only logs.
    fs::remove("save/bad/game.ss");
    EXPECT_FALSE(load_game(&g_save_list, "bad"));
    EXPECT_EQ(int(g_message_log.count), lines + int(damages.size()));
    EXPECT_TRUE(load_game(&g_save_list, "good"));
    expect_state(3, 300.0f, 250.0f, 1);
}

TEST_F(save_games_test, ASaveKilledBetweenTwoFilesLeavesTheOldSaveLoadable)
{
    // The recording device: no GL driver and its threads, whose locks a forked child would
    // inherit held. The child runs the save alone: no window, no sound.
    render_use_recording(true);
    start();
    set_state(3, 300.0f, 250.0f, 1);
    ASSERT_TRUE(save_game(&g_save_list, "alpha", 0, 0));
    for (const char* stop_after : {"brana.sav", "game.ss", "attune.ss"}) {
        set_state(8, 500.0f, 510.0f, 2);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            static const char* stop;
            stop = stop_after;
            g_level_links.picture_world = nullptr;  // no window pass in the child: the frame so far
            g_save_file_written = [](const char* file) {
                if (std::strcmp(file, stop) == 0)
                    _exit(9);
            };
            save_game(&g_save_list, "alpha", 0, 0);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << stop_after;
        EXPECT_TRUE(fs::exists("save/.~saving"));
        ASSERT_TRUE(load_game(&g_save_list, "alpha")) << stop_after;
        ASSERT_TRUE(pass_greeting());  // entering the level greets the hero again
        expect_state(3, 300.0f, 250.0f, 1);
    }
    // The next reading of the list removes what the killed save left, and says so.
    g_console_enabled = 1;
    save_list_read();
    EXPECT_FALSE(fs::exists("save/.~saving"));
    EXPECT_NE(read_text(k_console_log_file).find("zmazal som zvysok prerusenej ulozenej hry save/.~saving"),
              std::string::npos);
    EXPECT_EQ(g_save_list.count, 1);
}

TEST_F(save_games_test, SavingAndLoadingSyncEachFileAndEachFolderOnce)
{
    start();
    for (const char* level : {"dedina01.sav", "les.sav", "tabor.sav"})
        ASSERT_TRUE(save_level_changes(level));  // levels visited before
    auto synced_once = [](const file_sync_log& log, const char* what) {
        std::map<std::string, int> syncs;
        for (const std::string& e : log.events())
            if (e.rfind("sync ", 0) == 0)
                ++syncs[e.substr(5)];
        for (const auto& [path, n] : syncs)
            EXPECT_EQ(n, 1) << what << ": " << path;
        // Every file renamed into place was synced before, but for the level copies: they share
        // the data of change files synced when they were written.
        for (size_t i = 0; i < log.events().size(); ++i) {
            const std::string& e = log.events()[i];
            if (e.rfind("rename ", 0) != 0)
                continue;
            const std::string from = e.substr(7, e.find(" -> ") - 7);
            const std::string to = fs::path(e.substr(e.find(" -> ") + 4)).filename().string();
            const bool synced =
                std::find(log.events().begin(), log.events().begin() + std::ptrdiff_t(i), "sync " + from) !=
                log.events().begin() + std::ptrdiff_t(i);
            const bool level_copy = to == "brana.sav" || to == "dedina01.sav" || to == "les.sav" || to == "tabor.sav";
            EXPECT_TRUE(synced || level_copy) << what << ": " << e;
        }
        return syncs.size();
    };
    size_t save_syncs = 0, load_syncs = 0;
    {
        file_sync_log log;
        ASSERT_TRUE(save_game(&g_save_list, "alpha", 0, 0));
        save_syncs = synced_once(log, "save");
    }
    {
        file_sync_log log;
        ASSERT_TRUE(load_game(&g_save_list, "alpha"));
        load_syncs = synced_once(log, "load");
    }
    // The save: the level's change file, the thumbnail, six files, the list, and the folders
    // global/, the save's and save/; the load: global/ (the level copies are linked).
    EXPECT_LE(save_syncs, 12u);
    EXPECT_LE(load_syncs, 1u);
    ASSERT_TRUE(pass_greeting());
    EXPECT_TRUE(is_readable_file("global/tabor.sav"));
}

TEST_F(save_games_test, TheListDropsSavesWithoutGameFilesAndSortsNewestFirst)
{
    // save.dat claims 300 names: at most 199 are taken; those without game.ss or leaving save/
    // are dropped. The file, read in part, keeps its bytes; a list read whole is rewritten.
    fs::create_directories("save");
    auto list_file = [](size_t count) {
        std::vector<uint8_t> dat(2 + 255 * count, 0);
        dat[0] = uint8_t(count & 0xFF), dat[1] = uint8_t(count >> 8);
        const char* names[] = {"old", "gone", "../global", "new", "same1", "same2"};
        for (size_t i = 0; i < 6; ++i)
            std::strcpy(reinterpret_cast<char*>(dat.data() + 2 + 255 * i), names[i]);
        for (size_t i = 6; i < count; ++i)
            std::snprintf(reinterpret_cast<char*>(dat.data() + 2 + 255 * i), 255, "missing%zu", i);
        return dat;
    };
    ASSERT_TRUE(write_packed_file("save/save.dat", list_file(300)));
    const std::vector<uint8_t> too_long = read_bytes("save/save.dat");
    fs::create_directories("global");
    write_bytes("global/game.ss", {1});
    const auto base = fs::file_time_type::clock::now();
    for (auto [name, age] : {std::pair{"old", 300}, {"new", 10}, {"same1", 100}, {"same2", 100}}) {
        fs::create_directories(std::string("save/") + name);
        write_bytes(std::string("save/") + name + "/game.ss", {1});
        fs::last_write_time(std::string("save/") + name + "/game.ss", base - std::chrono::seconds(age));
    }
    refresh_save_list();
    ASSERT_EQ(g_save_list.count, 4);
    EXPECT_STREQ(g_save_list.names[0], "new");
    EXPECT_STREQ(g_save_list.names[1], "same1");
    EXPECT_STREQ(g_save_list.names[2], "same2");
    EXPECT_STREQ(g_save_list.names[3], "old");
    EXPECT_EQ(read_bytes("save/save.dat"), too_long);
    EXPECT_FALSE(g_save_list_file.read_whole);

    ASSERT_TRUE(write_packed_file("save/save.dat", list_file(6)));
    refresh_save_list();
    ASSERT_EQ(g_save_list.count, 4);
    EXPECT_TRUE(g_save_list_file.read_whole);
    std::vector<uint8_t> written;
    ASSERT_TRUE(read_packed_file("save/save.dat", &written));
    EXPECT_EQ(written.size(), 2u + 255 * 4);

    // Deleting a save's game.ss by hand makes it disappear at the next reading.
    fs::remove("save/same1/game.ss");
    save_list_read();
    EXPECT_EQ(g_save_list.count, 3);
}

TEST_F(save_games_test, ADamagedListIsMadeAgainFromTheSavesThatReadWhole)
{
    start();
    // Beside the demo's save: a newer copy of it, and a copy whose hero file is cut.
    fs::copy("save/demo", "save/newer", fs::copy_options::recursive);
    fs::copy("save/demo", "save/broken", fs::copy_options::recursive);
    std::vector<uint8_t> hero = read_bytes("save/broken/char.ss");
    hero.resize(hero.size() / 2);
    write_bytes("save/broken/char.ss", hero);
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time("save/demo/game.ss", now - std::chrono::seconds(100));
    fs::last_write_time("save/newer/game.ss", now);

    g_console_enabled = 1;
    const std::vector<uint8_t> list = read_bytes("save/save.dat");
    std::vector<uint8_t> zeroed = list;
    std::fill(zeroed.begin(), zeroed.begin() + 4, 0);
    const std::vector<std::vector<uint8_t>> damaged = {std::vector<uint8_t>(list.begin(), list.begin() + 7),
                                                       std::vector<uint8_t>(list.begin(), list.begin() + long(list.size() / 2)),
                                                       zeroed};
    for (const auto& bytes : damaged) {
        write_text(k_console_log_file, "");
        write_bytes("save/save.dat", bytes);
        save_list_read();
        ASSERT_EQ(g_save_list.count, 2);
        EXPECT_STREQ(g_save_list.names[0], "newer");
        EXPECT_STREQ(g_save_list.names[1], "demo");
        EXPECT_NE(read_text(k_console_log_file).find("save/save.dat: poskodeny subor ("), std::string::npos);
        EXPECT_NE(read_text(k_console_log_file).find("ostava zoznam z 2 celych ulozenych hier\n"), std::string::npos);

        // The list made again is on disk at once, and reads back whole.
        EXPECT_TRUE(g_save_list_file.read_whole);
        g_save_list.count = 0;
        write_text(k_console_log_file, "");
        save_list_read();
        EXPECT_EQ(g_save_list.count, 2);
        EXPECT_EQ(read_text(k_console_log_file).find("save.dat"), std::string::npos);
    }

    // With no save folder read whole the damaged file stays as it was and is not written at exit.
    write_bytes("save/newer/char.ss", hero);
    write_bytes("save/demo/char.ss", hero);
    write_bytes("save/save.dat", zeroed);
    save_list_read();
    EXPECT_EQ(g_save_list.count, 0);
    EXPECT_NE(read_text(k_console_log_file).find("save/save.dat: poskodeny subor (hlavicka), ostava subor, ako bol"),
              std::string::npos);
    EXPECT_FALSE(table_file_may_be_written(g_save_list_file));
    EXPECT_EQ(read_bytes("save/save.dat"), zeroed);
}

// A save.dat whose count is lower than the names it holds is made again from the save folders at
// start-up, so the next save lists every save. A game saved from the menu in the editor's play
// test, on a map the file dialog opened by its absolute path, names its level as the game does
// and loads.
TEST_F(save_games_test, AListCountingTooFewIsMadeAgainAndASaveFromThePlayTestLoads)
{
    fs::copy("save/demo", "save/alpha", fs::copy_options::recursive);
    fs::copy("save/demo", "save/beta", fs::copy_options::recursive);
    std::vector<uint8_t> list(2 + 255 * 3, 0);
    list[0] = 2;
    for (int i = 0; const char* name : {"demo", "alpha", "beta"})
        std::strcpy(reinterpret_cast<char*>(list.data() + 2 + 255 * i++), name);
    ASSERT_TRUE(write_packed_file("save/save.dat", list));
    ASSERT_TRUE(program_startup("zorv dedina01.sav console"));
    started_ = true;
    EXPECT_NE(read_text(k_console_log_file)
                  .find("save/save.dat: poskodeny subor (255 bajtov za koncom dat), ostava zoznam z 3 celych ulozenych hier"),
              std::string::npos);
    g_editor.ai_on = 0;
    ASSERT_TRUE(tap_keys({k_key_f5}));
    auto listed = [] {
        std::set<std::string> names;
        for (int i = 0; i < g_save_list.count; ++i)
            names.insert(g_save_list.names[i]);
        return names;
    };
    const std::set<std::string> all = {"demo", "alpha", "beta", "quick"};
    EXPECT_EQ(listed(), all);
    save_list_read();
    EXPECT_EQ(listed(), all);
    program_shutdown(true);
    started_ = false;

    ASSERT_TRUE(program_startup("zorv editor"));
    started_ = true;
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    ASSERT_EQ(g_map_path[0], '/');
    const float x = float(g_view_x + 40), y = 30.0f;  // over the view, which takes the keys
    ASSERT_TRUE(tap_at(x, y, {k_key_tab}));  // the play test
    ASSERT_EQ(g_work_mode, k_work_play);
    g_editor.ai_on = 0;
    ASSERT_TRUE(pass_greeting());
    ASSERT_NO_FATAL_FAILURE(press_menu_save(x, y));
    ASSERT_EQ(g_save_list.count, 5) << "the menu's save is not listed";
    const std::string name = g_save_list.names[4];
    std::vector<uint8_t> game;
    saved_game_state state;
    ASSERT_TRUE(read_packed_file(("save/" + name + "/game.ss").c_str(), &game));
    ASSERT_TRUE(parse_game_state(game, &state));
    EXPECT_STREQ(state.map_path, "data/levels/brana.sav");
    ASSERT_TRUE(load_game(&g_save_list, name.c_str()));
    EXPECT_STREQ(g_current_level, "brana.sav");
}

// The player is told in the message log why a level or a save was refused, once per attempt:
// walking onto the gate's way to the yard, whose map is cut, closes the way (standing on it says
// nothing more, stepping onto it again says it again), and a save whose level's map is cut is
// refused as such, the save left as it was.
TEST_F(save_games_test, ARefusedLevelOrSaveIsSaidOncePerAttemptInTheMessageLog)
{
    start("zorv console brana.sav");
    cut_in_half("data/levels/dedina01.sav");
    const std::string closed = "The way is closed: the level file dedina01.sav is damaged or missing.";
    // Presses at (x, y) every 60 frames, for `frames` frames or until the line was said `said` times.
    const auto walk = [&](int x, int y, int frames, int said) {
        for (int frame = 0; frame < frames && message_lines_with(closed) < said; ++frame) {
            if (frame % 60 < 5)
                inject_left_at(x, y, frame % 60 < 4);
            ASSERT_TRUE(program_frame());
        }
    };
    // Towards the screen's north-west corner, where the way to the yard lies, and on for a while.
    walk(60, 120, 1500, 1);
    ASSERT_EQ(message_lines_with(closed), 1) << "no line that the way to the yard is closed";
    walk(60, 120, 60, 2);
    EXPECT_EQ(message_lines_with(closed), 1);
    // Off the exit towards the screen's centre, then onto it again: a new attempt, a new line.
    walk(600, 450, 200, 2);
    walk(60, 120, 1300, 2);
    EXPECT_EQ(message_lines_with(closed), 2) << "no second line after the hero stepped onto the exit again";
    EXPECT_STREQ(g_current_level, "brana.sav");

    ASSERT_TRUE(save_game(&g_save_list, "good", 0, 0));
    cut_in_half("data/levels/brana.sav");
    const auto save = files_under("save/good");
    write_text(k_console_log_file, "");
    EXPECT_FALSE(load_game(&g_save_list, "good"));
    const std::string damaged = "The level brana.sav of this save is damaged.";
    EXPECT_EQ(last_message(), damaged);
    EXPECT_EQ(message_lines_with(damaged), 1);
    EXPECT_EQ(message_lines_with(ui_text(107)), 0);
    EXPECT_NE(read_text(k_console_log_file).find("load: level data/levels/brana.sav sa neda otvorit (sekcia "),
              std::string::npos);
    EXPECT_TRUE(files_under("save/good") == save);
}

// A start in a level that cannot be entered (cut in half, or missing) names it in the log and on
// the title and starts at the title, as a start without a level does. No game is saved while the
// world holds no level read from its file (the editor's new map in its play test): the saves made
// before stay as they were.
TEST_F(save_games_test, AStartInALevelThatCannotBeEnteredGoesToTheTitleAndNothingIsSavedWithoutALevel)
{
    start();
    ASSERT_TRUE(save_game(&g_save_list, "quick", 0, 0));
    program_shutdown(true);
    started_ = false;
    const auto saves = files_under("save");
    const auto saved_nothing = [&] { return files_under("save") == saves; };
    for (const bool cut : {true, false}) {
        SCOPED_TRACE(cut ? "cut in half" : "missing");
        if (cut)
            cut_in_half("data/levels/dedina01.sav");
        else
            fs::remove("data/levels/dedina01.sav");
        write_text(k_console_log_file, "");
        g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';  // as a new process has them
        ASSERT_TRUE(program_startup("zorv dedina01.sav console"));
        started_ = true;
        const std::string log = read_text(k_console_log_file);
        const size_t line = log.find("data/levels/dedina01.sav: ");
        ASSERT_NE(line, std::string::npos) << log;
        const std::string refusal = log.substr(line, log.find('\n', line) - line);
        EXPECT_TRUE(refusal.ends_with(", ostava ziadny level")) << refusal;
        EXPECT_EQ(g_no_game_running, 1u);
        EXPECT_STREQ(g_current_level, "start.sav");
        // The title shows the line, whole on its panel.
        static std::vector<text_draw> drawn;
        drawn.clear();
        g_text_drawn = [](const text_draw& t) { drawn.push_back(t); };
        ASSERT_TRUE(tap_keys({k_key_f5}));
        g_text_drawn = nullptr;
        const auto notice = std::find_if(drawn.begin(), drawn.end(), [](const text_draw& t) {
            return t.text.find("dedina01.sav could not be entered") != std::string::npos;
        });
        ASSERT_NE(notice, drawn.end());
        const int32_t panel_left = g_screen_width / 2 - 220;
        EXPECT_TRUE(notice->x >= panel_left && notice->x + notice->width <= g_screen_width - panel_left &&
                    notice->y >= 0 && notice->y + notice->height <= g_screen_height);
        EXPECT_TRUE(saved_nothing());
        program_shutdown(true);
        started_ = false;
    }

    // The menu's "save game" in the play test of the editor's new map, which no file holds.
    g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';
    ASSERT_TRUE(program_startup("zorv editor"));
    started_ = true;
    const float x = float(g_view_x + 40), y = 30.0f;
    ASSERT_TRUE(tap_at(x, y, {k_key_tab}));
    ASSERT_EQ(g_work_mode, k_work_play);
    g_editor.ai_on = 0;
    ASSERT_NO_FATAL_FAILURE(press_menu_save(x, y));
    EXPECT_EQ(last_message(), "Nothing was saved: no level has been loaded.");
    EXPECT_TRUE(saved_nothing());
}

// The title's ways into a level: a new game whose first level is cut, the credits and the ending
// whose levels are missing each leave the title as it was, saying on it which level could not be
// entered. No game runs, so neither F5 nor the console's savegame writes a save.
TEST_F(save_games_test, ANewGameTheCreditsOrTheEndingWhoseLevelCannotBeEnteredStayAtTheTitle)
{
    ASSERT_NO_FATAL_FAILURE(save_then_start_at_title("quick"));
    cut_in_half("data/levels/brana.sav");
    const auto saves = files_under("save");
    g_game_finished = 0;
    const auto expect_title = [&](const char* level) {
        EXPECT_EQ(g_no_game_running, 1u) << level;
        EXPECT_STREQ(g_current_level, "start.sav") << level;
        EXPECT_EQ(g_interface.menu_open, 1u) << level;
        EXPECT_EQ(g_interface.overlay_screen, k_page_menu) << level;
        EXPECT_NE(std::string(g_title_notice).find(std::string(level) + " could not be entered"), std::string::npos)
            << level << ": " << g_title_notice;
    };
    // Start on the new-hero page, at 1024 x 768.
    g_interface.menu_open = 1;
    g_interface.overlay_screen = k_page_new_hero;
    g_mouse_screen_x = 802.0f, g_mouse_screen_y = 622.0f, g_mouse_left = 1;
    handle_main_menu_clicks();
    expect_title("brana.sav");
    EXPECT_TRUE(std::string(g_chars[g_player_char].display_name).ends_with("_")) << "the name lost its cursor";
    ASSERT_TRUE(tap_keys({k_key_f5}));
    write_text(k_console_log_file, "");
    run_console_command_table("savegame title");
    EXPECT_NE(read_text(k_console_log_file).find("save: ziadna hra nebezi, hra title sa neulozila"), std::string::npos);
    EXPECT_TRUE(files_under("save") == saves);

    // The title menu's credits, then the button held over them for many passes of the title:
    // one press is one attempt; let go and pressed again, a second.
    fs::remove("data/levels/credits.sav");
    g_mouse_screen_x = 507.0f, g_mouse_screen_y = 638.0f, g_mouse_left = 1;
    handle_main_menu_clicks();
    EXPECT_EQ(g_credits.active, 0u);
    expect_title("credits.sav");
    g_splash.state = k_splash_done;  // the title as the player meets it, the intro over
    g_intro_slides.active = 0;
    front_end_pass();  // the button up
    write_text(k_console_log_file, "");
    const auto attempts = [] {
        const std::string log = read_text(k_console_log_file);
        int n = 0;
        for (size_t at = log.find("level credits.sav sa neda otvorit"); at != std::string::npos;
             at = log.find("level credits.sav sa neda otvorit", at + 1))
            ++n;
        return n;
    };
    inject_pointer(507, 638);
    for (const bool again : {false, true}) {
        inject_left_button(true);
        for (int pass = 0; pass < 40; ++pass)
            front_end_pass();
        inject_left_button(false);
        front_end_pass();
        EXPECT_EQ(attempts(), again ? 2 : 1);
    }
    expect_title("credits.sav");

    // The ending of a finished game.
    fs::remove("data/levels/final_eng.sav");
    g_game_finished = 1;
    ASSERT_TRUE(run_ending_if_finished());
    EXPECT_EQ(g_game_finished, 0u);
    ASSERT_EQ(g_new_game_request, 1u);
    run_new_game_request();
    expect_title("final_eng.sav");
    EXPECT_TRUE(files_under("save") == saves);
}

// A load from the title's load page whose save's level is cut is refused on the page, which
// stays open and says why in its own lines (the title draws no message log); the save and the
// title stay as they were.
TEST_F(save_games_test, ALoadRefusedFromTheTitlesLoadPageIsSaidOnThePage)
{
    ASSERT_NO_FATAL_FAILURE(save_then_start_at_title("good"));
    cut_in_half("data/levels/brana.sav");
    const auto save = files_under("save/good");
    // Holds the left button at (x, y) until `reached` holds, at most 60 frames, then lets go.
    const auto press_until = [](float x, float y, const char* what, auto reached) {
        inject_pointer(x, y);
        inject_left_button(true);
        for (int frame = 0; frame < 60 && !reached(); ++frame)
            ASSERT_TRUE(program_frame());
        EXPECT_TRUE(reached()) << "waited 60 frames for " << what;
        inject_left_button(false);
        ASSERT_TRUE(program_frame());
    };
    // The menu's "load game", the save's row, then Load, at 1024 x 768.
    press_until(512, 538, "the load page", [] { return g_interface.overlay_screen == k_page_save_load; });
    ASSERT_GE(g_save_list.count, 1);
    press_until(250, 215, "the save chosen", [] { return g_interface.selected_save == 0; });
    ASSERT_STREQ(g_save_list.names[0], "good");  // the newest first
    static std::string drawn;
    drawn.clear();
    g_text_drawn = [](const text_draw& t) { drawn += t.text + " "; };
    press_until(580, 566, "the refusal", [] { return g_save_load_notice[0] != '\0'; });
    g_text_drawn = nullptr;
    EXPECT_STREQ(g_save_load_notice, "The level brana.sav of this save is damaged.");
    EXPECT_NE(drawn.find("The level brana.sav of this save"), std::string::npos) << drawn;
    EXPECT_NE(drawn.find("is damaged."), std::string::npos) << drawn;
    EXPECT_EQ(g_interface.overlay_screen, k_page_save_load);
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_STREQ(g_current_level, "start.sav");
    EXPECT_TRUE(files_under("save/good") == save);
    // A row chosen again takes the line away.
    press_until(250, 215, "the save chosen again", [] { return g_save_load_notice[0] == '\0'; });
}

// The console's loadgame at the title starts the game it loads, as the load page does: the
// title's menu closes and the game runs, so Esc opens the menu and F5 saves. A save that cannot
// be loaded leaves the title as it was.
TEST_F(save_games_test, TheConsolesLoadgameAtTheTitleStartsTheGameItLoads)
{
    ASSERT_NO_FATAL_FAILURE(save_then_start_at_title("quick"));
    ASSERT_TRUE(run_console_command_table("loadgame nosuch"));
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_EQ(g_interface.menu_open, 1u);
    EXPECT_STREQ(g_current_level, "start.sav");

    ASSERT_TRUE(run_console_command_table("loadgame quick"));
    EXPECT_EQ(g_no_game_running, 0u);
    EXPECT_EQ(g_interface.menu_open, 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(g_dream_world.active, 0u);
    g_editor.ai_on = 0;  // the gate's enemies stand: no fight refuses the save
    write_text(k_console_log_file, "");
    ASSERT_TRUE(tap_keys({k_key_f5}));
    EXPECT_EQ(message_lines_with(std::string(ui_text(156)) + " " + ui_text(158)), 1) << "F5 saved nothing";
    EXPECT_EQ(read_text(k_console_log_file).find("ziadna hra nebezi"), std::string::npos);
    ASSERT_TRUE(tap_keys({k_key_escape}));
    EXPECT_EQ(g_interface.menu_open, 1u);
}
