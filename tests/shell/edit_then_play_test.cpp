// A level built in the editor from the demo's template and prototypes, saved, and played: the
// editor run places objects, a light and a sector, edits a spell, adds an item and a chest holding
// it, saves the map and closes; a second editor run reads every table back; a new game started
// from the title menu enters the saved level by the console's "load", and the hero walks into the
// sector, where the event opens the chest.
#include "shell/shell_fixture.h"

#include "tests/shell/editor_demo_steps.h"

#include "characters/char_table.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/view/light_mode.h"
#include "editor/view/sector_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "engine/lights.h"
#include "items/containers.h"
#include "items/item_editing.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_change.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/map_events.h"
#include "script/text_window.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "tests/shell/side_panel_pixels.h"
#include "shell/console_commands.h"
#include "shell/injected_input.h"
#include "tests/shell/new_game_input.h"
#include "interface/front_end.h"
#include "support/input_script.h"
#include "shell/program.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_data.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr const char* k_edited_map = "data/levels/edited.sav";
constexpr int32_t k_edited_spell = k_demo_spell_shield;

// The pointer moved to a screen point and a frame for the marker to follow, then a click there.
bool click_on(float x, float y)
{
    inject_pointer(x, y);
    return program_frame() && click_at(x, y);
}

// What the level holds that the editor run builds (the light the hero carries is not the level's).
struct level_tables {
    int32_t objects = 0, lights_on = 0, closed_sectors = 0, containers = 0;
    std::vector<int32_t> object_protos;
    float light_x = 0, light_range = 0;
    std::string chest_name;
    int32_t chest_width = 0, chest_height = 0, chest_first = -1;
    int32_t placements = 0, monster_points = 0, kind_class = -1, kind_level = 0;

    bool operator==(const level_tables&) const = default;
};

level_tables read_tables()
{
    level_tables t;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (o.state != 0 && o.object_class == k_class_ordinary && o.entity < 0 && o.proto >= 0 &&
            uint32_t(o.proto) < g_object_proto_count) {
            ++t.objects;
            t.object_protos.push_back(o.proto);
        }
    }
    const uint16_t hero_light = g_char_count > g_player_char ? g_chars[g_player_char].light : k_no_light;
    for (int32_t i = 0; i < k_light_slots; ++i)
        if (const light_record& l = g_lights[i]; l.state == k_light_on && i != hero_light) {
            ++t.lights_on;
            t.light_x = l.x;
            t.light_range = l.range;
        }
    for (int32_t i = 0; i < g_sector_count; ++i)
        t.closed_sectors += g_sectors[i].active && g_sectors[i].closed ? 1 : 0;
    t.containers = g_level_container_count;
    t.placements = g_char_placements.count;
    t.monster_points = g_monster_points.count;
    t.kind_class = g_monster_points.kind_class[0];
    t.kind_level = g_monster_points.kind_level[0];
    if (g_level_container_count > 0) {
        const container& c = g_containers[0];
        t.chest_name = c.name;
        t.chest_width = c.width;
        t.chest_height = c.height;
        t.chest_first = c.items[0];
    }
    return t;
}

// After a run's shutdown: no hook was skipped (the log starts anew each run) and no shell step
// was left pending.
void expect_complete_run(const char* run, std::vector<std::string>& trace)
{
    const std::string log = read_text(k_console_log_file);
    EXPECT_EQ(log.find("nie je, preskakujem"), std::string::npos) << run << ":\n" << log;
    for (const std::string& t : trace)
        EXPECT_FALSE(t.ends_with(" (pending)")) << run << ": " << t;
    trace.clear();
}

// The words the message window shows, one space apart.
std::string message_words()
{
    std::string text;
    for (int32_t i = 0; i < std::min<int32_t>(g_message_window.word_count, k_window_word_slots); ++i)
        text += std::string(g_message_window.words[i], strnlen(g_message_window.words[i], k_window_word_size)) + " ";
    return text;
}

// The pointer held still over the screen pixel: true once the tooltip there shows `words`.
bool hover_shows(std::pair<int32_t, int32_t> at, const std::string& words)
{
    for (int i = 0; i < 10; ++i) {
        inject_pointer(float(at.first), float(at.second));
        if (!program_frame())
            return false;
        if (message_words().find(words) != std::string::npos)
            return true;
    }
    ADD_FAILURE() << "the tooltip at " << at.first << "," << at.second << " shows: " << message_words();
    return false;
}

// The left button pressed over the screen pixel for two frames and let go for two: the panel
// picks up or puts down what is there.
bool press_at(std::pair<int32_t, int32_t> at)
{
    inject_pointer(float(at.first), float(at.second));
    for (int i = 0; i < 4; ++i) {
        inject_left_button(i < 2);
        if (!program_frame())
            return false;
    }
    return true;
}

// What a new process starts with that an editor run changes: the editor off (only its command
// line sets it), no dialogs, no window, the screen size the view had shrunk, no typed key.
void as_a_new_process()
{
    g_editor_enabled = 0;
    destroy_all_dialogs();
    close_main_window();
    g_screen_width = 1024;
    g_screen_height = 768;
    g_typed_char = g_console_last_char = 0;
}

} // namespace

TEST_F(shell_test, ALevelBuiltInTheEditorIsSavedReadBackAndEnteredByTheGame)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_brush_latches), saved.keep(g_sector_latches);
    saved.keep(g_selected_light), saved.keep(g_selected_light_handle);
    saved.keep(g_container_add_target), saved.keep(g_item_protos), saved.keep(g_item_lists);
    saved.keep(g_item_proto_count);
    saved.keep(g_shell_trace);
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    reset_hook_skip_log();

    // 1. "new map" reads the demo's template.
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    {
        SCOPED_TRACE("1. new map");
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_new_map));
        ASSERT_GE(g_object_proto_count, 3u);
        ASSERT_EQ(g_sector_count, 0);
        ASSERT_EQ(read_tables().objects, 0);
        ASSERT_GE(g_scene_header.entry_count, 1u);
    }
    g_cursor_grid = 0;
    const float x = float(g_view_x + 200), y = 150.0f;

    // 2. Three objects of two prototypes; one undone and placed again.
    {
        SCOPED_TRACE("2. objects");
        inject_pointer(x, y);
        ASSERT_TRUE(tap_keys({k_key_f1}));
        ASSERT_EQ(g_work_mode, k_work_insert);
        const int32_t first = g_editor.brush_proto;
        ASSERT_TRUE(click_on(x, y));
        ASSERT_TRUE(click_on(x + 60.0f, y));
        ASSERT_TRUE(tap_keys({k_key_next}));
        ASSERT_EQ(g_editor.brush_proto, first + 1);
        ASSERT_TRUE(click_on(x + 120.0f, y));
        ASSERT_EQ(read_tables().objects, 3);
        ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_z}));
        ASSERT_EQ(read_tables().objects, 2);
        ASSERT_TRUE(click_on(x + 120.0f, y));
        const level_tables t = read_tables();
        ASSERT_EQ(t.objects, 3);
        EXPECT_EQ(std::count(t.object_protos.begin(), t.object_protos.end(), first), 2);
        EXPECT_EQ(std::count(t.object_protos.begin(), t.object_protos.end(), first + 1), 1);
    }

    // 3. A light made with Space, dragged by its position, its range raised.
    float light_x = 0, light_range = 0;
    {
        SCOPED_TRACE("3. light");
        ASSERT_TRUE(tap_at(x, y + 100.0f, {k_key_f3}));
        ASSERT_EQ(g_work_mode, k_work_light);
        ASSERT_TRUE(tap_keys({k_key_space}));
        ASSERT_EQ(read_tables().lights_on, 1);
        int32_t made = -1;
        for (int32_t i = 0; i < k_light_slots; ++i)
            made = g_lights[i].state == k_light_on ? i : made;
        const float start_x = g_lights[made].x, start_range = g_lights[made].range;
        inject_pointer_at_world(g_lights[made].x, g_lights[made].y);
        ASSERT_TRUE(program_frame());
        inject_left_button(true);
        ASSERT_TRUE(program_frame());
        ASSERT_EQ(g_selected_light, made);
        inject_pointer_at_world(start_x + 40.0f, g_lights[made].y);
        ASSERT_TRUE(program_frame());
        inject_key(k_key_j, true);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(program_frame());
        inject_key(k_key_j, false);
        inject_left_button(false);
        ASSERT_TRUE(program_frame());
        EXPECT_NEAR(g_lights[made].x, start_x + 40.0f, 2.0f);
        EXPECT_GT(g_lights[made].range, start_range);
        light_x = g_lights[made].x;
        light_range = g_lights[made].range;
    }

    // 4. Space at four corners and the first again: a closed sector away from entry point 0.
    int32_t sector = -1;
    {
        SCOPED_TRACE("4. sector");
        ASSERT_TRUE(tap_at(x, y + 200.0f, {k_key_f4}));
        for (auto [dx, dy] : {std::pair{0.0f, 0.0f}, std::pair{160.0f, 0.0f}, std::pair{160.0f, 120.0f},
                              std::pair{0.0f, 120.0f}, std::pair{0.0f, 0.0f}})
            ASSERT_TRUE(tap_at(x + dx, y + 200.0f + dy, {k_key_space}));
        for (int32_t i = 0; i < g_sector_count; ++i)
            if (g_sectors[i].active && g_sectors[i].closed)
                sector = i;
        ASSERT_GE(sector, 0) << "no closed sector; active " << g_editor.active_sector << " with "
                             << g_sectors[std::max(0, g_editor.active_sector)].count << " points";
        ASSERT_EQ(g_sectors[sector].count, 5);  // the closing point repeats the first
        EXPECT_EQ(g_sectors[sector].x[4], g_sectors[sector].x[0]);
        EXPECT_NE(g_editor.active_sector, sector);  // the next points start a new sector
        EXPECT_FALSE(point_in_sector(g_scene_header.entry_x[0], g_scene_header.entry_y[0], sector));
    }

    // 5. A demo spell's mana set to 7; UPDATE writes the spell table.
    {
        SCOPED_TRACE("5. spell");
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_spells));
        const dialog_handle spells = g_spell_editor_window;
        ASSERT_NE(spells, 0u);
        ASSERT_TRUE(user_choose(spells, k_spell_list, k_edited_spell));
        ASSERT_TRUE(user_edit_text(spells, k_spell_mana, "7"));
        ASSERT_TRUE(user_click(spells, k_spell_update));
        ASSERT_TRUE(program_frame());
        EXPECT_EQ(g_spell_protos[k_edited_spell].mana_cost, 7);
        ASSERT_TRUE(user_close(spells));  // the view under it takes clicks again
    }

    // 6. A new item "testblade": a medium weapon with the sword's images, shown as "Test blade",
    // price 77, casting the edited spell when it attacks.
    int32_t blade = -1;
    {
        SCOPED_TRACE("6. item");
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_item));
        const dialog_handle items = g_item_editor_window;
        ASSERT_NE(items, 0u);
        ASSERT_TRUE(user_click(items, k_itm_add));
        const int32_t row = row_of_item(items, "new item");
        ASSERT_GE(row, 0);
        ASSERT_TRUE(user_choose(items, k_itm_list, row));
        blade = find_item_by_list_row(list_row(items, k_itm_list, row).c_str());
        ASSERT_GE(blade, 0);
        const item_proto& sword = g_item_protos[k_demo_sword];
        const std::string image = sword.image_name[0] ? sword.image_name : sword.key_name;
        const std::string model = sword.model_name[0] ? sword.model_name : sword.key_name;
        ASSERT_TRUE(user_edit_text(items, k_itm_name, "testblade"));
        ASSERT_TRUE(user_edit_text(items, k_itm_desc, "Test blade"));
        ASSERT_TRUE(user_choose(items, k_itm_class, 2));  // medium weapon
        ASSERT_TRUE(user_edit_text(items, k_itm_price, "77"));
        ASSERT_TRUE(user_edit_text(items, k_itm_image, image));
        ASSERT_TRUE(user_edit_text(items, k_itm_model, model));
        ASSERT_TRUE(user_click(items, k_itm_upd));
        ASSERT_TRUE(user_choose(items, k_itm_eff_code, 34));  // cast spell when attack
        ASSERT_TRUE(user_choose(items, k_itm_eff_param, k_edited_spell));
        ASSERT_TRUE(user_click(items, k_itm_eff_add));
        ASSERT_TRUE(program_frame());
        const item_proto& made = g_item_protos[blade];
        EXPECT_STREQ(made.key_name, "testblade");
        EXPECT_STREQ(made.display_name, "Test blade");
        EXPECT_EQ(made.item_class, 2);
        EXPECT_EQ(made.price, 77);
        EXPECT_EQ(image, made.image_name[0] ? made.image_name : made.key_name);
        ASSERT_EQ(made.efect_count, 1);
        EXPECT_EQ(g_item_lists[blade].efects[0].code, 34);
        EXPECT_EQ(g_item_lists[blade].efects[0].args[0], k_edited_spell);
        ASSERT_TRUE(user_close(items));
    }

    // 7. "Cont.": a new "test chest" of 4 x 2 with the blade in cell (0, 0).
    {
        SCOPED_TRACE("7. container");
        ASSERT_TRUE(choose_tab(10, g_container_editor_window));
        const dialog_handle page = g_container_editor_window;
        set_modal_responder([](dialog_handle modal) {
            user_edit_text(modal, k_cont_new_name, "test chest");
            user_edit_text(modal, k_cont_new_width, "4");
            user_edit_text(modal, k_cont_new_height, "2");
            user_click(modal, k_id_ok);
            return false;
        });
        ASSERT_TRUE(user_pick_menu(page, k_cont_menu_new));
        ASSERT_EQ(g_level_container_count, 1);
        ASSERT_TRUE(user_choose(page, k_cont_list, 0));
        set_modal_responder([blade](dialog_handle modal) {
            user_choose(modal, k_cont_add_item, blade);
            user_choose(modal, k_cont_add_number, 0);
            user_choose(modal, k_cont_add_x, 0);
            user_choose(modal, k_cont_add_y, 0);
            user_click(modal, k_id_ok);
            return false;
        });
        ASSERT_TRUE(user_click(page, k_cont_insert));
        set_modal_responder({});
        const control_record* cells = find_control(page, k_cont_cells, control_kind::list_view);
        ASSERT_NE(cells, nullptr);
        ASSERT_EQ(cells->view_rows.size(), 8u);
        EXPECT_EQ(cells->view_rows[0].cells[0], "Test blade");
    }

    // 8. An event: the hero in the sector opens the chest, once: the event then deletes itself.
    {
        SCOPED_TRACE("8. event");
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
        const dialog_handle events = g_event_editor_window;
        ASSERT_NE(events, 0u);
        ASSERT_TRUE(user_pick_menu(events, k_evt_menu_new));
        ASSERT_EQ(g_event_count, 1u);
        ASSERT_TRUE(user_choose(events, k_evt_list, 0));
        ASSERT_TRUE(user_edit_text(events, k_evt_name, "chest"));
        ASSERT_TRUE(user_choose(events, k_evt_condition, k_cond_player_in_sector));
        ASSERT_TRUE(user_edit_text(events, k_evt_condition_box, std::to_string(sector)));
        ASSERT_TRUE(user_choose(events, k_evt_action, k_act_open_container));
        ASSERT_TRUE(user_edit_text(events, k_evt_action_box, "0"));
        ASSERT_TRUE(user_choose(events, k_evt_action + 1, k_act_delete_event));
        ASSERT_TRUE(user_edit_text(events, k_evt_action_box + k_event_boxes, "chest"));
        ASSERT_TRUE(user_click(events, k_evt_update));
        const event_record& e = g_events[0];
        EXPECT_STREQ(e.name, "chest");
        EXPECT_EQ(e.action_kind[1], uint32_t(k_act_delete_event));
        EXPECT_STREQ(e.action_text[1], "chest");
        EXPECT_EQ(e.condition_kind[0], uint32_t(k_cond_player_in_sector));
        EXPECT_EQ(e.condition_number[0][0], sector);
        EXPECT_EQ(e.action_kind[0], uint32_t(k_act_open_container));
        EXPECT_EQ(e.action_number[0][0], 0);
        ASSERT_TRUE(user_close(events));
    }

    // 9. "Level": the villager's creature row; F5, Space: its placement.
    {
        SCOPED_TRACE("9. placement");
        ASSERT_TRUE(choose_tab(8, g_level_editor_window));
        const dialog_handle page = g_level_editor_window;
        int32_t row = -1;
        for (int32_t r = 0; r < get_list_count(page, k_level_creatures); ++r)
            row = list_row(page, k_level_creatures, r).find("villager") != std::string::npos ? r : row;
        ASSERT_GE(row, 0);
        ASSERT_TRUE(user_choose(page, k_level_creatures, row));
        ASSERT_EQ(g_editor.creature_choice, row);
        ASSERT_TRUE(tap_at(x + 300.0f, y, {k_key_f5}));
        ASSERT_TRUE(tap_keys({k_key_space}));
        ASSERT_EQ(g_char_placements.count, 1);
    }

    // 10. F7, Space: a monster point; "MPoint": slot "1-3" the demo's first class at "L2".
    {
        SCOPED_TRACE("10. monster point");
        ASSERT_TRUE(tap_at(x + 300.0f, y + 250.0f, {k_key_f7}));
        ASSERT_TRUE(tap_keys({k_key_space}));
        ASSERT_EQ(g_monster_points.count, 1);
        ASSERT_TRUE(choose_tab(11, g_monster_point_editor_window));
        const dialog_handle page = g_monster_point_editor_window;
        ASSERT_TRUE(user_choose(page, k_mpt_class, 1));
        ASSERT_TRUE(user_choose(page, k_mpt_level, 1));
        EXPECT_EQ(g_monster_points.kind_class[0], 0);
        EXPECT_EQ(g_monster_points.kind_level[0], 2);
    }

    // 11. "save map" under a new name clears the changed flag; Ctrl+S writes the same bytes.
    level_tables saved_tables;
    {
        SCOPED_TRACE("11. save");
        answer_file(k_edited_map);
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_save_map));
        set_modal_responder({});
        EXPECT_EQ(g_map_dirty, 0u);
        const std::vector<uint8_t> saved_bytes = read_bytes(k_edited_map);
        ASSERT_GT(saved_bytes.size(), 1000u);
        // The objects' animation ticks advance every frame, so the key's write is told apart
        // from the menu's by a stand-in the key must write over.
        ASSERT_TRUE(write_whole_file(k_edited_map, "x", 1));
        ASSERT_TRUE(tap_at(x, y, {k_key_lcontrol, k_key_s}));
        EXPECT_GT(read_bytes(k_edited_map).size(), 1000u);
        saved_tables = read_tables();
    }

    // 12. One more object, the window closed: the question cannot be shown headless and answers
    // No; shutdown writes the global tables.
    {
        SCOPED_TRACE("12. close");
        ASSERT_TRUE(tap_at(x, y, {k_key_f1}));
        const int32_t objects = read_tables().objects;
        ASSERT_TRUE(click_on(x + 60.0f, y + 60.0f));
        ASSERT_EQ(read_tables().objects, objects + 1) << "mode " << g_work_mode;
        ASSERT_EQ(g_map_dirty, 1u);
        input_inject({input_event_kind::close});
        for (int i = 0; i < 5 && program_frame(); ++i) {
        }
        program_shutdown(true);
        render_use_recording(false);
        EXPECT_NE(read_text(k_console_log_file).find("\"Map changed! Save?\" sa neda zobrazit, odpoved: No"),
                  std::string::npos);
        expect_complete_run("editor", trace);
    }

    // The second editor run reads every table as saved; the global files hold the edits.
    {
        SCOPED_TRACE("second editor run");
        g_quit = g_quit_all = 0;  // the closed window ended every loop
        render_use_recording(true);
        ASSERT_TRUE(program_startup("zorv editor"));
        ASSERT_TRUE(program_frame());
        answer_file(k_edited_map);
        ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
        set_modal_responder({});
        EXPECT_EQ(read_tables(), saved_tables);
        EXPECT_EQ(saved_tables.objects, 3);
        EXPECT_NEAR(saved_tables.light_x, light_x, 0.01f);
        EXPECT_EQ(saved_tables.light_range, light_range);
        EXPECT_EQ(saved_tables.chest_name, "test chest");
        EXPECT_EQ(saved_tables.chest_width, 4);
        EXPECT_EQ(saved_tables.chest_height, 2);
        EXPECT_EQ(saved_tables.chest_first, blade);
        EXPECT_EQ(saved_tables.placements, 1);
        EXPECT_EQ(saved_tables.monster_points, 1);
        g_quit = 1;
        program_shutdown(true);
        render_use_recording(false);
        expect_complete_run("second editor", trace);
        g_spell_proto_count = 0;
        load_spells();
        EXPECT_EQ(g_spell_protos[k_edited_spell].mana_cost, 7);
        g_item_proto_count = 0;
        load_items();
        ASSERT_LT(blade, int32_t(g_item_proto_count));
        EXPECT_STREQ(g_item_protos[blade].key_name, "testblade");
        EXPECT_EQ(g_item_protos[blade].price, 77);
        EXPECT_EQ(g_item_lists[blade].efects[0].args[0], k_edited_spell);
    }

    // 13. A new game as a player starts one; the console's "load", typed, enters the edited level.
    {
        SCOPED_TRACE("13. game");
        g_quit = 0;
        as_a_new_process();
        g_front_end = run_front_end;
        render_use_recording(true);
        new_game_input player;
        {
            input_script script([&player](uint32_t pass) { player(pass); });
            ASSERT_TRUE(program_startup("console"));
        }
        ASSERT_TRUE(player.typed) << "the new hero: " << g_chars[0].display_name;
        ASSERT_STREQ(g_current_level, "brana.sav");
        inject_left_at(k_new_hero_start_x, k_new_hero_start_y, false);
        ASSERT_TRUE(pass_greeting());
        ASSERT_TRUE(tap_keys({k_key_grave}));
        ASSERT_EQ(g_console_shown, 1u);
        ASSERT_TRUE(type_keys("load edited.sav"));
        ASSERT_TRUE(tap_keys({k_key_return}));
        int frames = 0;
        for (; frames < 300 && std::strcmp(g_current_level, "edited.sav") != 0; ++frames)
            ASSERT_TRUE(program_frame());
        ASSERT_STREQ(g_current_level, "edited.sav") << "not entered in " << frames << " frames";
        std::printf("edit then play: the level entered in %d frames\n", frames);
        ASSERT_TRUE(program_frame());
        const world_object* hero = world_object_of(g_chars[g_player_char]);
        ASSERT_NE(hero, nullptr);
        EXPECT_EQ(hero->x, g_scene_header.entry_x[0]);
        EXPECT_EQ(hero->y, g_scene_header.entry_y[0]);
        const level_tables played = read_tables();
        EXPECT_EQ(played.objects, saved_tables.objects);
        EXPECT_EQ(played.lights_on, 1);
        EXPECT_EQ(played.closed_sectors, 1);
        EXPECT_EQ(played.chest_first, blade);
        EXPECT_EQ(played.placements, 1);
        EXPECT_EQ(played.monster_points, 1);
        EXPECT_NE(g_monster_points.points[0].stamp, 0u);  // stamped on entering: nothing spawned yet
        EXPECT_EQ(g_monster_points.points[0].slots[1], -1);
    }

    // 14. A click inside the sector: the hero walks in, the event opens the chest.
    {
        SCOPED_TRACE("14. the chest");
        ASSERT_GE(sector, 0);
        const map_sector& area = g_sectors[sector];
        float cx = 0, cy = 0;
        for (int32_t k = 0; k < 4; ++k)
            cx += area.x[k] / 4.0f, cy += area.y[k] / 4.0f;
        int frames = 0;
        for (; frames < 1500 && !g_interface.container_open; ++frames) {
            if (frames % 60 < 5) {
                inject_pointer_at_world(cx, cy);
                inject_left_button(frames % 60 < 4);
            }
            ASSERT_TRUE(program_frame());
        }
        ASSERT_TRUE(g_interface.container_open) << "not opened in " << frames << " frames";
        std::printf("edit then play: the chest opened after %d frames\n", frames);
        EXPECT_EQ(g_interface.container_id, 0);
        const world_object* hero = world_object_of(g_chars[g_player_char]);
        ASSERT_NE(hero, nullptr);
        EXPECT_TRUE(point_in_sector(hero->x, hero->y, sector));
        EXPECT_EQ(g_containers[0].items[0], blade);
        EXPECT_EQ(g_item_protos[blade].price, 77);

        // The cell's tooltip names the blade; taken into the backpack, the blade's own tooltip
        // names it there, and its effect casts the edited spell.
        const auto cell = pixel_of_code(k_code_first_cell);
        ASSERT_GE(cell.first, 0) << "the chest's first cell is not on the screen";
        EXPECT_TRUE(hover_shows(cell, "Test blade"));
        ASSERT_TRUE(press_at(cell));
        ASSERT_EQ(g_interface.held_item, blade);
        const int32_t pack = free_backpack_location();
        ASSERT_GE(pack, 0);
        ASSERT_TRUE(press_at(pixel_of_code(uint8_t(pack))));
        ASSERT_LT(g_interface.held_item, 0);
        const char_record& hero_record = g_chars[g_player_char];
        const auto entry = std::find(hero_record.inv_location, hero_record.inv_location + hero_record.inv_count,
                                     uint8_t(pack));
        ASSERT_NE(entry, hero_record.inv_location + hero_record.inv_count);
        EXPECT_EQ(hero_record.inv_item[entry - hero_record.inv_location], blade);
        EXPECT_TRUE(hover_shows(pixel_of_code(uint8_t(pack)), "Test blade"));
        const item_property& effect = g_item_lists[blade].efects[0];
        EXPECT_EQ(effect.code, 34);  // cast spell when attack
        ASSERT_EQ(effect.args[0], k_edited_spell);
        EXPECT_EQ(g_spell_protos[effect.args[0]].mana_cost, 7);

        // Space puts the chest away, and it stays away: the hero walks out of the sector.
        ASSERT_TRUE(tap_keys({k_key_space}));
        EXPECT_EQ(g_interface.container_open, 0u);
        EXPECT_EQ(g_event_count, 0u) << "the event deleted itself";
        const float out_x = g_scene_header.entry_x[0], out_y = g_scene_header.entry_y[0];
        frames = 0;
        for (; frames < 1500 && point_in_sector(hero->x, hero->y, sector); ++frames) {
            if (frames % 60 < 5) {
                inject_pointer_at_world(out_x, out_y);
                inject_left_button(frames % 60 < 4);
            }
            ASSERT_TRUE(program_frame());
            ASSERT_EQ(g_interface.container_open, 0u) << "opened again after " << frames << " frames";
        }
        EXPECT_FALSE(point_in_sector(hero->x, hero->y, sector)) << "still in the sector after " << frames << " frames";
        g_quit = 1;
        program_shutdown(true);
        render_use_recording(false);
        expect_complete_run("game", trace);
    }
}
