// The editor follows the map it shows: after "load map" and "new map" Ctrl+Z gives back no state
// of the map before, the pages under the tabs list the new map's records, and "load map" reads
// the file chosen in any folder, or says why it cannot.
#include "shell/shell_fixture.h"

#include "tests/editor/dialog_texts.h"
#include "tests/shell/editor_demo_steps.h"
#include "tests/shell/editor_demo_support.h"

#include "core/editor_globals.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "world/object_behaviour.h"
#include "world/world_objects.h"

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

using object_list = std::vector<std::tuple<int32_t, float, float>>;

// The level's own objects, not the ground items': prototype and place.
object_list level_objects()
{
    object_list objects;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        const bool ground = o.entry_count > 0 && o.entry_kinds[0] == k_entry_ground_item;
        if (o.state != 0 && o.proto >= 0 && o.object_class == k_class_ordinary && !ground)
            objects.emplace_back(o.proto, o.x, o.y);
    }
    return objects;
}

// "load map" with the file chosen; a message box after it is answered and its text kept.
bool load_map(const std::string& path, std::string* message = nullptr)
{
    const std::string chosen = (std::filesystem::current_path() / path).string();
    set_modal_responder([chosen, message](dialog_handle d) {
        if (find_control(d, k_chooser_name, control_kind::edit)) {
            user_edit_text(d, k_chooser_name, chosen);
        } else if (message) {
            *message += label_texts(d);
        }
        user_click(d, k_id_ok);
        return false;
    });
    const bool picked = user_pick_menu(g_command_window, k_menu_load_map);
    set_modal_responder({});
    return picked;
}

class editor_map_loads : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        saved_.keep(g_undo_counter), saved_.keep(g_brush_latches);
        render_use_recording(true);
        ASSERT_TRUE(program_startup("zorv editor"));
        ASSERT_TRUE(program_frame());
        g_cursor_grid = 0;
    }
    void TearDown() override
    {
        g_quit = 1;
        program_shutdown(true);
        render_use_recording(false);
        shell_test::TearDown();
    }

    saved_globals saved_;
};

} // namespace

TEST_F(editor_map_loads, CtrlZAfterLoadMapOrNewMapGivesBackNoStateOfTheMapBefore)
{
    const float x = float(g_view_x + 200), y = 200.0f;
    ASSERT_TRUE(load_map("data/levels/credits.sav"));
    ASSERT_TRUE(tap_at(x, y, {k_key_f1}));
    ASSERT_TRUE(tap_keys({k_key_space}));  // one object placed: a snapshot of the credits level
    ASSERT_TRUE(load_map("data/levels/brana.sav"));
    const object_list gate = level_objects();
    ASSERT_TRUE(tap_at(x, y, {k_key_lcontrol, k_key_z}));
    EXPECT_EQ(level_objects(), gate);

    ASSERT_TRUE(tap_keys({k_key_space}));  // a snapshot of the gate level
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_new_map));
    ASSERT_TRUE(tap_at(x, y, {k_key_lcontrol, k_key_z}));
    EXPECT_TRUE(level_objects().empty());
}

// Ident, Cont. and MPoint show after "load map" what a page made afresh shows.
TEST_F(editor_map_loads, ThePagesUnderTheTabsListTheMapThatLoadMapRead)
{
    const std::tuple<int32_t, dialog_handle*, std::vector<int32_t>> pages[] = {
        {7, &g_entity_editor_window, {k_ent_list, k_ent_description, k_ent_container}},
        {10, &g_container_editor_window, {k_cont_list}},
        {11, &g_monster_point_editor_window, {k_mpt_points}},
    };
    for (const auto& [tab, window, lists] : pages) {
        SCOPED_TRACE("tab " + std::to_string(tab));
        auto rows = [&, window = window, lists = &lists] {
            std::vector<std::vector<std::string>> all;
            for (int32_t id : *lists)
                all.push_back(control_rows(*window, id));
            return all;
        };
        ASSERT_TRUE(load_map("data/levels/start.sav"));
        ASSERT_TRUE(choose_tab(tab, *window));
        const auto start_rows = rows();
        ASSERT_TRUE(load_map("data/levels/brana.sav"));
        const auto shown = rows();
        ASSERT_TRUE(choose_tab(0, g_global_settings_window));
        ASSERT_TRUE(choose_tab(tab, *window));
        ASSERT_NE(rows(), start_rows);
        EXPECT_EQ(shown, rows());
    }
}

TEST_F(editor_map_loads, LoadMapReadsTheFileChosenInAnyFolderOrSaysWhyNot)
{
    ASSERT_TRUE(load_map("data/levels/credits.sav"));
    const object_list credits = level_objects();
    std::filesystem::create_directory("elsewhere");
    std::filesystem::copy_file("data/levels/credits.sav", "elsewhere/brana.sav");
    ASSERT_TRUE(load_map("data/levels/start.sav"));
    ASSERT_NE(level_objects(), credits);

    std::string message;
    ASSERT_TRUE(load_map("elsewhere/brana.sav", &message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(level_objects(), credits);
    EXPECT_EQ(std::filesystem::path(g_map_path), std::filesystem::current_path() / "elsewhere/brana.sav");

    // A file that is no map: the level stays and a message box says why.
    write_text("elsewhere/notes.sav", "not a map");
    ASSERT_TRUE(load_map("elsewhere/notes.sav", &message));
    EXPECT_NE(message.find("not a level map"), std::string::npos) << message;
    EXPECT_EQ(level_objects(), credits);
}
