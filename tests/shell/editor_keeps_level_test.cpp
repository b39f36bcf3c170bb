// The editor loses nothing of a level: the demo's gate level read in each work mode and written
// back with Ctrl+S keeps every object, placement, ground item, light, sector and monster point;
// undos give back the level as it was before each change, characters and ground items included;
// after "new map" Ctrl+S writes over no file, and the free editors list the map in memory; a map
// saved while the play test's sparks rise, and its undo snapshot, hold no record of a template.
#include "shell/shell_fixture.h"

#include "tests/editor/dialog_texts.h"
#include "tests/shell/editor_demo_steps.h"
#include "tests/shell/editor_demo_support.h"

#include "characters/char_table.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/map_text_editor.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/windows/command_window.h"
#include "engine/lights.h"
#include "items/ground_items.h"
#include "level/level_map.h"
#include "platform/byte_order.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr const char* k_gate_map = "data/levels/brana.sav";

// What a level holds that an edit may lose, each table comparable on its own.
struct level_state {
    std::vector<std::tuple<int32_t, uint8_t, float, float, float, float, float, uint32_t>> objects;
    std::vector<std::tuple<std::string, float, float, int32_t, uint8_t>> placements;
    std::vector<std::tuple<int32_t, float, float>> characters;  // slot and its object's place
    std::vector<std::tuple<uint16_t, int16_t, int16_t, int16_t, bool>> ground_items;  // with an object
    std::vector<std::tuple<float, float, float, float, uint8_t>> lights;
    std::vector<uint8_t> sectors;
    std::vector<std::tuple<float, float, int16_t>> monster_points;
};

level_state read_level(bool with_objects_of_tables)
{
    level_state s;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        const bool ground = o.entry_count > 0 && o.entry_kinds[0] == k_entry_ground_item;
        if (o.state != 0 && o.proto >= 0 && o.object_class == k_class_ordinary && !ground)
            s.objects.emplace_back(o.proto, o.layer, o.x, o.y, o.scale, o.alpha, o.corners[0], o.has_corners);
    }
    // The drawing order within each layer; F1 and F2 sort the array by layer.
    std::stable_sort(s.objects.begin(), s.objects.end(),
                     [](const auto& a, const auto& b) { return std::get<1>(a) < std::get<1>(b); });
    for (int32_t i = 0; i < g_char_placements.count; ++i) {
        const char_placement& p = g_char_placements.entries[i];
        s.placements.emplace_back(p.creature_file, p.x, p.y, p.run_speed, p.walk_speed);
    }
    for (int32_t i = 0; i < g_ground_item_count; ++i) {
        const ground_item& g = g_ground_items[i];
        if (g.state != k_ground_item_free)
            s.ground_items.emplace_back(g.item, g.amount, g.x, g.y,
                                        with_objects_of_tables && ground_item_object(i) != nullptr);
    }
    if (with_objects_of_tables)
        for (uint32_t slot = 0; slot < g_char_count; ++slot)
            if (const world_object* o = world_object_of(g_chars[slot]))
                s.characters.emplace_back(int32_t(slot), o->x, o->y);
    for (const light_record& l : g_lights)
        if (l.state == k_light_on)
            s.lights.emplace_back(l.x, l.y, l.z, l.range, l.kind);
    const auto* sectors = reinterpret_cast<const uint8_t*>(g_sectors);
    s.sectors.assign(sectors, sectors + sizeof(map_sector) * size_t(std::max<int16_t>(g_sector_count, 0)));
    for (int32_t i = 0; i < g_monster_points.count; ++i) {
        const monster_point& m = g_monster_points.points[i];
        s.monster_points.emplace_back(m.x, m.y, m.move_sector);
    }
    return s;
}

void expect_same_level(const level_state& a, const level_state& b, const std::string& when)
{
    SCOPED_TRACE(when);
    EXPECT_EQ(a.objects, b.objects);
    EXPECT_EQ(a.placements, b.placements);
    EXPECT_EQ(a.characters, b.characters);
    EXPECT_EQ(a.ground_items, b.ground_items);
    EXPECT_EQ(a.lights, b.lights);
    EXPECT_EQ(a.sectors, b.sectors);
    EXPECT_EQ(a.monster_points, b.monster_points);
}

bool load_map(const char* path)
{
    answer_file(path);
    const bool picked = user_pick_menu(g_command_window, k_menu_load_map);
    set_modal_responder({});
    return picked;
}

} // namespace

TEST_F(shell_test, TheGateLevelReadInEachWorkModeAndSavedWithCtrlSKeepsEveryTable)
{
    // The tables as the file holds them, read without spawning anything from them.
    auto file_tables = [] {
        return read_level_map_file("brana.sav", k_gate_map) == map_read::whole ? read_level(false) : level_state{};
    };
    const uint8_t mode_keys[] = {k_key_f1, k_key_f2, k_key_f3, k_key_f4, k_key_f5, k_key_f6, k_key_f7};
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    program_shutdown(true);
    const level_state demo = file_tables();
    ASSERT_FALSE(demo.placements.empty());
    ASSERT_EQ(std::get<3>(demo.placements[0]), k_placement_keep_speeds);
    for (uint8_t key : mode_keys) {
        ASSERT_TRUE(program_startup("zorv editor"));
        ASSERT_TRUE(program_frame());
        // The pointer over the view, away from every character.
        ASSERT_TRUE(tap_at(float(g_view_x + 40), 30.0f, {key}));
        ASSERT_TRUE(load_map(k_gate_map));
        ASSERT_TRUE(program_frame());
        const std::vector<uint8_t> read = read_bytes(k_gate_map);
        ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
        ASSERT_NE(read_bytes(k_gate_map), read);  // written anew
        program_shutdown(true);
        expect_same_level(demo, file_tables(), "work mode key " + std::to_string(key));
    }
    render_use_recording(false);
}

TEST_F(shell_test, EachOfThreeUndosGivesBackTheLevelAsItWasBeforeItsChange)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_brush_latches);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));  // the template map
    ASSERT_TRUE(program_frame());
    g_cursor_grid = 0;
    const float x = float(g_view_x + 200), y = 200.0f;

    // Objects on layers 0 and 3, a character and a ground item.
    ASSERT_TRUE(tap_at(x, y, {k_key_f1}));
    ASSERT_TRUE(tap_keys({k_key_next}));
    ASSERT_TRUE(tap_keys({k_key_space}));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(tap_keys({k_key_numpad2}));
    ASSERT_TRUE(tap_keys({k_key_next}));
    ASSERT_TRUE(tap_at(x + 150.0f, y, {k_key_space}));
    ASSERT_TRUE(tap_at(x + 300.0f, y + 50.0f, {k_key_f5}));
    ASSERT_TRUE(tap_keys({k_key_return}));
    ASSERT_TRUE(tap_at(x + 100.0f, y + 250.0f, {k_key_f6}));
    ASSERT_TRUE(click_at(x + 100.0f, y + 250.0f));
    ASSERT_TRUE(program_frame());
    std::vector<level_state> before_change = {read_level(true)};
    ASSERT_EQ(before_change[0].characters.size(), 1u);
    ASSERT_EQ(before_change[0].ground_items.size(), 1u);
    ASSERT_TRUE(std::get<4>(before_change[0].ground_items[0]));

    // Three changes: an object placed, a light made, the layer-3 object deleted.
    ASSERT_TRUE(tap_at(x, y + 120.0f, {k_key_f1}));
    ASSERT_TRUE(tap_keys({k_key_space}));
    before_change.push_back(read_level(true));
    ASSERT_TRUE(tap_at(x + 200.0f, y + 150.0f, {k_key_f3}));
    ASSERT_TRUE(tap_keys({k_key_return}));
    before_change.push_back(read_level(true));
    ASSERT_TRUE(tap_at(x + 150.0f, y, {k_key_f2}));
    inject_pointer(x + 150.0f, y);
    ASSERT_TRUE(program_frame());
    input_event right{input_event_kind::mouse_button};
    right.code = 1;
    right.down = true;
    input_inject(right);
    ASSERT_TRUE(program_frame());
    right.down = false;
    input_inject(right);
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(read_level(true).objects.size() + 1, before_change.back().objects.size());

    for (int undo = 0; undo < 3; ++undo) {
        ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_z}));
        ASSERT_TRUE(program_frame());
        expect_same_level(before_change.back(), read_level(true), "undo " + std::to_string(undo + 1));
        before_change.pop_back();
    }
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AfterNewMapCtrlSWritesNoFileAndTheTextAndEventListsShowTheMapInMemory)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_text));
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
    ASSERT_NE(g_text_editor_window, 0u);
    ASSERT_NE(g_event_editor_window, 0u);
    auto expect_lists_show_the_map = [](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(get_list_count(g_text_editor_window, k_txt_list), int32_t(g_map_text_count));
        for (int32_t i = 0; i < int32_t(g_map_text_count); ++i)
            EXPECT_EQ(list_row(g_text_editor_window, k_txt_list, i), g_map_texts[i].key);
        ASSERT_EQ(get_list_count(g_event_editor_window, k_evt_list), int32_t(g_event_count));
        for (int32_t i = 0; i < int32_t(g_event_count); ++i)
            EXPECT_EQ(list_row(g_event_editor_window, k_evt_list, i), g_events[i].name);
    };

    ASSERT_TRUE(load_map(k_gate_map));
    ASSERT_GT(g_map_text_count, 0u);
    ASSERT_GT(g_event_count, 0u);
    expect_lists_show_the_map("the gate level read");
    const std::vector<uint8_t> gate = read_bytes(k_gate_map);

    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_new_map));
    expect_lists_show_the_map("a new map");
    ASSERT_TRUE(tap_at(float(g_view_x + 100), 100.0f, {k_key_lcontrol, k_key_s}));
    EXPECT_EQ(read_bytes(k_gate_map), gate);
    EXPECT_NE(read_text(k_console_log_file).find("ziadna nacitana mapa, nic nezapisujem\n"), std::string::npos);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AMapSavedWhileSparksRiseInThePlayTestReadsBackWholeAndItsUndoSnapshotHoldsNoSpark)
{
    saved_globals saved;
    saved.keep(g_undo_counter);
    constexpr const char* k_yard_map = "data/levels/dedina01.sav";
    auto file_objects = [] {
        return read_level_map_file("dedina01.sav", k_yard_map) == map_read::whole ? read_level(false).objects
                                                                                    : level_state{}.objects;
    };
    // An object of an effect template: the sparks on the hero's helm.
    auto of_a_template = [](const world_object& o) {
        return o.state != 0 && o.object_class == k_class_ordinary && o.proto >= int32_t(g_object_proto_count);
    };
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    program_shutdown(true);
    const auto placed = file_objects();
    ASSERT_FALSE(placed.empty());

    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(load_map(k_yard_map));
    const float x = float(g_view_x + 40), y = 30.0f;
    ASSERT_TRUE(tap_at(x, y, {k_key_tab}));
    for (int i = 0; i < 300 && std::none_of(g_objects, g_objects + g_object_count, of_a_template); ++i)
        ASSERT_TRUE(program_frame());
    ASSERT_TRUE(tap_keys({k_key_tab}));
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
    // A light made while the sparks rise pushes a snapshot of the objects.
    ASSERT_TRUE(tap_at(x, y, {k_key_f3}));
    ASSERT_TRUE(std::any_of(g_objects, g_objects + g_object_count, of_a_template)) << "no sparks rose";
    ASSERT_TRUE(tap_keys({k_key_return}));
    const std::vector<uint8_t> snapshot = read_bytes(undo_snapshot_path(g_undo_counter).c_str());
    ASSERT_TRUE(undo_snapshot_is_sound(snapshot.data(), snapshot.size()));
    for (uint32_t i = 0; i < le_u32(&snapshot[4]); ++i) {
        world_object o;
        decode_world_object(&snapshot[12 + i * k_world_object_size], &o);
        EXPECT_FALSE(of_a_template(o)) << "snapshot record " << i;
    }
    g_quit = 1;
    program_shutdown(true);
    EXPECT_EQ(file_objects(), placed);
    EXPECT_EQ(read_text(k_console_log_file).find("nie je v leveli"), std::string::npos);
    render_use_recording(false);
}
