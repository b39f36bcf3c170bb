// The command window and the mode tabs: one window of each editor, the tab pages replacing each
// other, the map saved through the level writer, and the mapinfo and sortinfo round trips and
// refusals.
#include "level/level_fixture.h"
#include "tests/editor/dialog_texts.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/level_editor.h"
#include "editor/editor_state.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/packed_stream.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/save_files.h"
#include "platform/clock.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class CommandWindow : public level_test {
protected:
    void SetUp() override
    {
        level_test::SetUp();
        saved_.keep(g_command_window_open), saved_.keep(g_command_window), saved_.keep(g_event_editor_window);
        saved_.keep(g_text_editor_window), saved_.keep(g_item_editor_window), saved_.keep(g_help_viewer_window);
        saved_.keep(g_tabs_window), saved_.keep(g_tab_window), saved_.keep(g_current_tab);
        saved_.keep(g_global_settings_window), saved_.keep(g_map_dirty), saved_.keep(g_editor_enabled);
        saved_.keep(g_level_links), saved_.keep(g_last_file_dir), saved_.keep(g_file_dialog_path);
        saved_.keep(g_console_enabled), saved_.keep(g_level_editor_window), saved_.keep(g_entity_editor_window);
        g_console_enabled = 1;
        g_level_editor_window = g_entity_editor_window = 0;
        g_command_window_open = 0;
        g_command_window = g_tabs_window = g_tab_window = g_global_settings_window = 0;
        g_event_editor_window = g_help_viewer_window = 0;
        g_current_tab = -1;
        g_map_dirty = 0;
        g_last_file_dir[0] = 0;
        clock_use_manual(true);
        clock_set_manual(1000);
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        set_modal_responder({});
        clock_use_manual(false);
        saved_.restore();
        level_test::TearDown();
    }

    // The next file chooser is answered with the name (relative to the working folder) and OK;
    // an empty name cancels it. A question asked then is answered Yes.
    static void choose(std::string name)
    {
        set_modal_responder([name](dialog_handle modal) {
            if (!user_click(modal, k_id_yes) && !name.empty()) {
                user_edit_text(modal, k_chooser_name, name);
                user_click(modal, k_id_ok);
            }
            return false;
        });
    }
    // A frame of the dialogs, a few milliseconds after the last.
    static void tick()
    {
        clock_advance_manual(5);
        user_tick();
    }
    static std::string caption(dialog_handle d)
    {
        const dialog_record* r = find_dialog(d);
        return r ? r->caption : "";
    }

    saved_globals saved_;
};

} // namespace

TEST_F(CommandWindow, OpensOnceAndEachEditorAndTheHelpViewerOnce)
{
    open_editor_windows();
    const dialog_handle menu = g_command_window;
    open_editor_windows();
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(live_dialogs().size(), 1u);
    EXPECT_EQ(caption(menu), "menu");

    ASSERT_TRUE(user_pick_menu(menu, k_menu_event));
    const dialog_handle events = g_event_editor_window;
    ASSERT_NE(events, 0u);
    EXPECT_EQ(caption(events), "Events");
    user_pick_menu(menu, k_menu_event);
    EXPECT_EQ(g_event_editor_window, events);
    EXPECT_EQ(live_dialogs().size(), 2u);
    user_close(events);
    EXPECT_EQ(g_event_editor_window, 0u);
    user_pick_menu(menu, k_menu_event);
    EXPECT_NE(g_event_editor_window, 0u);
    EXPECT_NE(g_event_editor_window, events);

    // Help texts in one read-only viewer; a missing text is logged and opens nothing.
    write_text("doc/help.txt", "F1 inserting\r\nF2 editing\r\n");
    user_pick_menu(menu, k_menu_faq);
    EXPECT_EQ(g_help_viewer_window, 0u);
    EXPECT_NE(log_text().find("doc/faq.txt sa neda otvorit\n"), std::string::npos);
    user_pick_menu(menu, k_menu_help);
    ASSERT_NE(g_help_viewer_window, 0u);
    char text[64];
    get_item_text(g_help_viewer_window, k_help_viewer_text, text, sizeof text);
    EXPECT_STREQ(text, "F1 inserting\nF2 editing\n");
    EXPECT_FALSE(user_edit_text(g_help_viewer_window, k_help_viewer_text, "typed"));

    // Closed, it can be opened again.
    user_close(menu);
    EXPECT_EQ(g_command_window, 0u);
    EXPECT_EQ(g_command_window_open, 0u);
    open_editor_windows();
    EXPECT_NE(g_command_window, 0u);
}

TEST_F(CommandWindow, TabsShowGlobalFirstAndASwitchReplacesThePage)
{
    const dialog_handle strip = open_mode_tabs();
    ASSERT_EQ(strip, g_tabs_window);
    EXPECT_EQ(find_dialog(strip)->y, 26);
    const control_record* tabs = find_control(strip, k_mode_tabs_control, control_kind::tabs);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->rows, (std::vector<std::string>{"Global", "Prtyp", "Efect", "MoveG", "ChMain", "ChAnim", "ChData",
                                                    "Ident", "Level", "Quests", "Cont.", "MPoint"}));

    tick();
    const dialog_handle global = g_tab_window;
    EXPECT_EQ(g_current_tab, 0);
    EXPECT_EQ(global, g_global_settings_window);
    EXPECT_EQ(caption(global), "Global");
    EXPECT_EQ(find_dialog(global)->x, 0);
    EXPECT_EQ(find_dialog(global)->y, 80);

    user_choose(strip, k_mode_tabs_control, 0);
    tick();
    EXPECT_EQ(g_tab_window, global);  // a re-click re-creates nothing
    user_close(global);
    tick();
    EXPECT_EQ(g_tab_window, 0u);  // a page closed on its own leaves no handle behind
    EXPECT_EQ(get_tab_sel(strip, k_mode_tabs_control), -1);
    user_choose(strip, k_mode_tabs_control, 0);  // and its tab, chosen again, brings it back
    tick();
    ASSERT_NE(g_tab_window, 0u);
    EXPECT_EQ(caption(g_tab_window), "Global");
    const dialog_handle global_again = g_tab_window;
    // The strip cannot be closed: it has no close box, and Esc leaves it.
    EXPECT_FALSE(find_dialog(strip)->title_bar);
    user_press_escape(strip);
    EXPECT_TRUE(dialog_exists(strip));

    user_choose(strip, k_mode_tabs_control, 8);
    tick();
    EXPECT_FALSE(dialog_exists(global_again));
    EXPECT_EQ(g_global_settings_window, 0u);
    EXPECT_EQ(g_current_tab, 8);
    EXPECT_EQ(caption(g_tab_window), "Level");
    const dialog_handle level = g_tab_window;

    // "new map" without the template changes nothing; with it the strip comes back on "Global".
    g_editor_enabled = 1;
    g_level_links.open_mode_tabs = [] { open_mode_tabs(); };
    open_editor_windows();
    user_pick_menu(g_command_window, k_menu_new_map);
    EXPECT_EQ(g_tabs_window, strip);
    tick();
    EXPECT_EQ(g_tab_window, level);

    ASSERT_TRUE(write_level_map("global/empty"));
    user_pick_menu(g_command_window, k_menu_new_map);
    EXPECT_FALSE(dialog_exists(strip));
    EXPECT_EQ(get_tab_sel(g_tabs_window, k_mode_tabs_control), 0);
    EXPECT_EQ(g_tab_window, level);  // the page stays until the next tick
    tick();
    EXPECT_FALSE(dialog_exists(level));
    EXPECT_EQ(caption(g_tab_window), "Global");
    EXPECT_EQ(g_map_dirty, 0u);
}

TEST_F(CommandWindow, SaveMapWritesTheLevelWritersFileToAnyPathOrClaimsNothing)
{
    fill_every_section();
    write_text("reference.sav", "");
    ASSERT_EQ(save_level_map("reference.sav"), 0);
    open_editor_windows();

    // A cancel logs the empty path and saves nothing.
    choose("");
    g_map_dirty = 1;
    user_pick_menu(g_command_window, k_menu_save_map);
    EXPECT_EQ(g_map_dirty, 1u);

    choose("fresh.sav");
    user_pick_menu(g_command_window, k_menu_save_map);
    EXPECT_EQ(read_text("fresh.sav"), read_text("reference.sav"));
    EXPECT_EQ(g_map_dirty, 0u);
    const std::string path = g_map_path;
    EXPECT_EQ(path.substr(path.size() - 10), "/fresh.sav");
    const std::string log = log_text();
    size_t at = log.find(path + "\n");
    for (const char* line : {"prtypy out", "sektory out", "udalosti out", "texty out", "identity out", "objekty out",
                             "efekty out", "pohybovka out", "scena out", "kontajneri out", "char_info out",
                             "ground items out", "game saved succesfully"}) {
        at = log.find(std::string(line) + "\n", at);
        EXPECT_NE(at, std::string::npos) << line;
    }

    // A write that fails keeps the old file, the map path and the changed flag.
    g_map_dirty = 1;
    std::strcpy(g_map_path, "kept.sav");
    choose("fresh.sav");
    {
        file_size_limit limit(64);
        user_pick_menu(g_command_window, k_menu_save_map);
    }
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_STREQ(g_map_path, "kept.sav");
    EXPECT_EQ(read_text("fresh.sav"), read_text("reference.sav"));
    // The log file could not grow either: the console's lines tell.
    EXPECT_NE(std::string(g_console_history[0]).find("zapis zlyhal"), std::string::npos);
}

TEST_F(CommandWindow, MapinfoAndSortinfoComeBackAndRefusedFilesChangeNothing)
{
    fill_every_section();
    open_editor_windows();
    const level_snapshot before = level_snapshot::take();
    choose("level.mv");
    user_pick_menu(g_command_window, k_menu_export_mapinfo);
    ASSERT_TRUE(file_exists("level.mv") == 1);

    ASSERT_TRUE(create_movemap(&g_movement_map, 3, 4, 1, 1));
    std::memset(&g_scene_header, 0, sizeof g_scene_header);
    choose("level.mv");
    user_pick_menu(g_command_window, k_menu_import_mapinfo);
    const level_snapshot imported = level_snapshot::take();
    EXPECT_EQ(imported.cells, before.cells);
    EXPECT_EQ(std::memcmp(imported.movemap, before.movemap, sizeof before.movemap), 0);
    EXPECT_EQ(imported.scene, before.scene);
    EXPECT_EQ(g_map_dirty, 1u);

    // A movement map of no columns: the header behind it is not read either.
    write_text("refused.mv", std::string("\x01\x00\x01\x00\x00\x00\x05\x00", 8));
    std::memset(&g_scene_header, 0, sizeof g_scene_header);
    const level_snapshot cleared = level_snapshot::take();
    g_map_dirty = 0;
    choose("refused.mv");
    user_pick_menu(g_command_window, k_menu_import_mapinfo);
    const level_snapshot refused = level_snapshot::take();
    EXPECT_EQ(refused.cells, cleared.cells);
    EXPECT_EQ(refused.scene, cleared.scene);
    EXPECT_EQ(g_map_dirty, 0u);

    // Sortinfo: the depth-sorted objects come back over the ones at their places.
    ASSERT_GE(g_object_count, 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        g_objects[i].depth_sorted = 1;
        g_objects[i].has_corners = 0;
        g_objects[i].x = g_objects[i].y = 100.0f * float(i);
    }
    g_objects[0].proto = 0;  // prototype 0 is not exported
    choose("objects.inf");
    user_pick_menu(g_command_window, k_menu_export_sortinfo);
    const world_object kept = g_objects[1];
    g_objects[1].alpha = 0.25f;
    g_objects[1].layer = 3;
    g_objects[2].x += 1.0f;  // no longer at its place
    g_map_dirty = 0;
    const std::string log = log_text();
    choose("objects.inf");
    user_pick_menu(g_command_window, k_menu_import_sortinfo);
    EXPECT_EQ(std::memcmp(&g_objects[1], &kept, sizeof kept), 0);
    EXPECT_EQ(g_map_dirty, 1u);
    const std::string after = log_text().substr(log.size());
    size_t misses = 0;
    for (size_t at = after.find("taky object tu neni"); at != std::string::npos;
         at = after.find("taky object tu neni", at + 1))
        ++misses;
    EXPECT_EQ(misses, 1u);
}

TEST_F(CommandWindow, AnImportIsShownOnTheOpenPagesInPlaceAndTheirUpdateStoresIt)
{
    fill_every_section();
    open_editor_windows();
    g_scene_header.scale = 1.0f;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        g_objects[i].depth_sorted = 1, g_objects[i].has_corners = 0, g_objects[i].entity = -1;
        g_objects[i].x = g_objects[i].y = 100.0f * float(i);
    }
    g_objects[1].entity = 2;
    choose("good.mv");
    user_pick_menu(g_command_window, k_menu_export_mapinfo);
    choose("objects.inf");
    user_pick_menu(g_command_window, k_menu_export_sortinfo);

    // With both pages open the designer stores a scale and drops a start position; object 1
    // moves to layer 3 and to no entity.
    g_objects[1].layer = 3;
    g_objects[1].entity = 0;
    open_level_editor();
    open_entity_editor();
    const dialog_handle level = g_level_editor_window, ident = g_entity_editor_window;
    user_click(level, k_level_object_info);
    user_choose(ident, k_ent_list, 2);
    user_edit_text(level, k_level_scale, "0.5");
    user_click(level, k_level_update);
    user_choose(level, k_level_entries, 0);
    user_click(level, k_level_remove_entry);
    ASSERT_FLOAT_EQ(g_scene_header.scale, 0.5f);

    // The imports are shown in the pages that were open.
    choose("good.mv");
    user_pick_menu(g_command_window, k_menu_import_mapinfo);
    choose("objects.inf");
    user_pick_menu(g_command_window, k_menu_import_sortinfo);
    EXPECT_EQ(g_level_editor_window, level);
    EXPECT_EQ(g_entity_editor_window, ident);
    EXPECT_EQ(field_text(level, k_level_scale), "1.00");
    EXPECT_EQ(control_rows(level, k_level_entries).size(), 5u);
    EXPECT_NE(list_row(level, k_level_objects, 1).find("-layer10-"), std::string::npos);
    const std::vector<std::string> assigned = control_rows(ident, k_ent_objects);
    ASSERT_EQ(assigned.size(), 1u);
    EXPECT_EQ(assigned[0].substr(0, 2), "1-");

    // UPDATE and a save keep the imported scale and start positions.
    user_click(level, k_level_update);
    choose("brana.sav");
    user_pick_menu(g_command_window, k_menu_save_map);
    reset_scene_header(&g_scene_header);
    ASSERT_EQ(load_level_map_file("brana.sav"), map_read::whole);
    EXPECT_FLOAT_EQ(g_scene_header.scale, 1.0f);
    EXPECT_EQ(g_scene_header.entry_count, 5);
}

TEST_F(CommandWindow, AnImportThatFailsChangesNothingAndSaysSo)
{
    fill_every_section();
    open_editor_windows();
    ASSERT_TRUE(write_level_map("brana.sav"));
    // A movement map alone; a whole mapinfo with three bytes after it.
    packed_stream* out = stream_open("alone.mv", "wp");
    ASSERT_TRUE(write_movemap(out));
    ASSERT_EQ(stream_close(out), 0);
    out = stream_open("longer.mv", "wp");
    ASSERT_TRUE(write_movemap(out) && write_scene_header(out));
    ASSERT_EQ(stream_write("abc", 3, out), 3);
    ASSERT_EQ(stream_close(out), 0);
    // A sortinfo file whose last record is cut.
    for (uint32_t i = 0; i < 3; ++i)
        g_objects[i].depth_sorted = 1;
    ASSERT_TRUE(write_objects("objects.inf"));
    std::vector<uint8_t> records;
    ASSERT_TRUE(read_packed_file("objects.inf", &records));
    ASSERT_GT(records.size(), 450u);
    g_objects[1].alpha = 0.25f;  // the first record would put it back
    out = stream_open("cut.inf", "wp");
    ASSERT_EQ(stream_write(records.data(), int(records.size() - 10), out), int(records.size() - 10));
    ASSERT_EQ(stream_close(out), 0);

    const level_snapshot before = level_snapshot::take();
    const std::vector<uint8_t> saved = (write_level_map("before.sav"), read_bytes("before.sav"));
    std::vector<std::string> shown;  // "caption|text" of each box; "chooser|title" of each file chooser
    auto answer = [&shown](std::string name) {
        set_modal_responder([&shown, name](dialog_handle modal) {
            const dialog_record* r = find_dialog(modal);
            if (find_control(modal, k_chooser_name, control_kind::edit)) {
                shown.push_back("chooser|" + r->caption);
                user_edit_text(modal, k_chooser_name, name);
                user_click(modal, k_id_ok);
                return false;
            }
            shown.push_back(r->caption + "|" + label_texts(modal));
            user_click(modal, k_id_ok);
            return false;
        });
    };
    const struct {
        const char* file;
        int32_t command;
        const char* title;
        const char* line;
    } refused[] = {
        {"brana.sav", k_menu_import_mapinfo, "load movemap", "movement map of size 13104 x 0 refused"},
        {"alone.mv", k_menu_import_mapinfo, "load movemap", "ziadne info o scene"},
        {"longer.mv", k_menu_import_mapinfo, "load movemap", "longer.mv: poskodeny subor (3 bajtov za koncom dat)"},
        {"cut.inf", k_menu_import_sortinfo, "load sortinfo", "cut.inf: poskodeny subor (440 bajtov za koncom dat)"},
    };
    for (const auto& r : refused) {
        shown.clear();
        const size_t logged = log_text().size();
        answer(r.file);
        ASSERT_TRUE(user_pick_menu(g_command_window, r.command)) << r.file;
        ASSERT_EQ(shown.size(), 2u) << r.file;
        EXPECT_EQ(shown[0], std::string("chooser|") + r.title);
        EXPECT_EQ(shown[1].substr(0, shown[1].find('|')), r.title);
        EXPECT_NE(shown[1].find(std::string(r.file) + "\nThe file could not be read whole"), std::string::npos);
        const std::string log = log_text().substr(logged);
        EXPECT_NE(log.find(r.line), std::string::npos) << r.file << "\n" << log;
        EXPECT_NE(log.find(" sa nenacital cely, nic nemenim\n"), std::string::npos) << r.file;
        EXPECT_EQ(g_map_dirty, 0u) << r.file;
        const level_snapshot after = level_snapshot::take();
        EXPECT_EQ(after.cells, before.cells) << r.file;
        EXPECT_EQ(after.scene, before.scene) << r.file;
        EXPECT_EQ(after.objects, before.objects) << r.file;
    }
    ASSERT_TRUE(write_level_map("after.sav"));
    EXPECT_EQ(read_bytes("after.sav"), saved);
}
