// The character pages in the editor on the demo: the gate map's villager renamed and given a
// ring on "ChMain", UPDATE, "save map"; the game started on the gate map then has both. A model
// registered on "ChData" and written by "MoveG"'s "save all" is in the registry at the next start;
// the names the registry's lookup keeps for "none" are refused there.
#include "shell/shell_fixture.h"
#include "tests/editor/dialog_texts.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/char_editor.h"
#include "editor/dialogs/chardata_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "characters/placements.h"
#include "level/level_map.h"
#include "platform/recording_device.h"
#include "shell/program.h"
#include "world/world_objects.h"
#include "tools/demo/demo_data.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

void choose_file(const std::string& path)
{
    set_modal_responder([path](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, path);
        user_click(chooser, k_id_ok);
        return false;
    });
}

// Picks the mode tab and runs the frame whose tick makes its page.
bool open_tab(int32_t tab)
{
    return user_choose(g_tabs_window, k_mode_tabs_control, tab) && program_frame();
}

int32_t row_of_key(dialog_handle page, const char* key)
{
    char text[64];
    for (int32_t row = 0; row < get_list_count(page, k_che_chars); ++row) {
        get_list_text(page, k_che_chars, row, text, sizeof text);
        const char* dash = std::strchr(text, '-');
        if (dash && std::strcmp(dash + 1, key) == 0)
            return row;
    }
    return -1;
}

} // namespace

TEST_F(shell_test, AVillagerRenamedAndGivenARingInTheEditorHasBothInTheGame)
{
    saved_globals chooser;
    chooser.keep(g_last_file_dir), chooser.keep(g_file_dialog_path);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    const std::string map = (folder_->path() / "data/levels/brana.sav").string();
    choose_file(map);
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    EXPECT_GT(g_move_proto_count, 0);  // the map's characters' clips
    EXPECT_GT(g_chardata_count, 0u);

    ASSERT_TRUE(open_tab(4));
    const dialog_handle page = g_char_editor_window;
    ASSERT_NE(page, 0u);
    const int32_t slot = row_of_key(page, "villager");
    ASSERT_GE(slot, 0);
    ASSERT_TRUE(user_choose(page, k_che_chars, slot));
    user_edit_text(page, k_che_description, "Old Miller");
    set_modal_responder([](dialog_handle d) {
        user_choose(d, k_aid_items, k_demo_silver_ring);
        user_choose(d, k_aid_location, 2);  // the backpack's third slot
        user_click(d, k_aid_add);
        return false;
    });
    ASSERT_TRUE(user_click(page, k_che_add));
    set_modal_responder({});
    ASSERT_TRUE(char_has_item_id(&g_chars[slot], k_demo_silver_ring));
    g_map_dirty = 0;
    ASSERT_TRUE(user_click(page, k_che_update));
    EXPECT_EQ(g_map_dirty, 1u);
    choose_file(map);
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_save_map));
    set_modal_responder({});
    EXPECT_EQ(g_map_dirty, 0u);

    // A new character put into the view's centre; CENTER brings it back there after a scroll.
    ASSERT_TRUE(user_pick_menu(page, k_che_menu_new));
    const int32_t added = get_list_sel(page, k_che_chars);
    ASSERT_EQ(uint32_t(added), g_char_count - 1);
    ASSERT_TRUE(user_click(page, k_che_insert));
    const world_object* o = world_object_of(g_chars[added]);
    ASSERT_NE(o, nullptr);
    EXPECT_FLOAT_EQ(o->x, float(g_screen_width / 2) + g_camera_x);
    EXPECT_FLOAT_EQ(o->y, float(g_screen_height / 2) + g_camera_y);
    const float camera_x = g_camera_x, camera_y = g_camera_y;
    g_camera_x += 300.0f;
    g_camera_y -= 120.0f;
    ASSERT_TRUE(user_click(page, k_che_center));
    EXPECT_FLOAT_EQ(g_camera_x, camera_x);
    EXPECT_FLOAT_EQ(g_camera_y, camera_y);
    // Made NORMAL, it stays out of the global characters; unplaced, the map stays unchanged.
    user_choose(page, k_che_kind, 0);
    ASSERT_TRUE(user_click(page, k_che_update));
    EXPECT_EQ(g_chars[added].kind, 0);
    EXPECT_EQ(g_map_dirty, 0u);
    g_quit = 1;
    program_shutdown(true);

    render_use_recording(false);

    // The map read again and its characters spawned from their creature files and placements.
    g_char_count = 4;
    g_char_placements.count = 0;
    load_level_map("data/levels/brana.sav");
    int32_t found = -1;
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (std::strcmp(g_chars[s].name, "villager") == 0)
            found = int32_t(s);
    ASSERT_GE(found, 0);
    EXPECT_STREQ(g_chars[found].display_name, "Old Miller");
    EXPECT_TRUE(char_has_item_id(&g_chars[found], k_demo_silver_ring));
}

TEST_F(shell_test, AModelRegisteredOnChDataAndSavedWithSaveAllIsInTheRegistryAtTheNextStart)
{
    saved_globals chooser;
    chooser.keep(g_last_file_dir), chooser.keep(g_file_dialog_path);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    const uint32_t before = g_chardata_count;
    ASSERT_GT(before, 0u);  // the demo's models
    const std::string model = g_chardata[0].path;

    ASSERT_TRUE(open_tab(6));
    const dialog_handle registry = g_chardata_editor_window;
    ASSERT_NE(registry, 0u);
    EXPECT_GT(get_list_count(registry, k_chd_list), 0);
    user_edit_text(registry, k_chd_name, "spare head");
    choose_file((folder_->path() / model).string());
    ASSERT_TRUE(user_click(registry, k_chd_add));
    set_modal_responder({});
    ASSERT_EQ(find_chardata_by_name("spare head"), int32_t(before));

    ASSERT_TRUE(open_tab(3));
    ASSERT_EQ(g_chardata_editor_window, 0u);
    ASSERT_NE(g_move_proto_editor_window, 0u);
    ASSERT_TRUE(user_click(g_move_proto_editor_window, k_mpe_save_all));
    g_quit = 1;
    program_shutdown(true);

    release_char_models();
    g_quit = 0;
    ASSERT_TRUE(program_startup("zorv editor"));
    const int32_t entry = find_chardata_by_name("spare head");
    ASSERT_EQ(entry, int32_t(before));
    EXPECT_EQ(g_chardata[entry].loaded, 1u);
    EXPECT_EQ(std::string(g_chardata[entry].path), model);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, ChDataRefusesTheNamesTheRegistryLookupKeepsForNone)
{
    ASSERT_TRUE(program_startup("zorv editor") && program_frame() && open_tab(6));
    const dialog_handle registry = g_chardata_editor_window;
    ASSERT_TRUE(user_choose(registry, k_chd_list, 0));
    const std::vector<std::string> rows = list_rows(registry, k_chd_list);
    const uint32_t count = g_chardata_count;
    std::vector<std::string> asked;  // the modal dialogs' captions; each is left with Esc
    set_modal_responder([&asked](dialog_handle modal) {
        asked.push_back(find_dialog(modal)->caption);
        return user_press_escape(modal), false;
    });
    for (const auto& [typed, button] : {std::pair("nothing", k_chd_update), std::pair("", k_chd_update),
                                        std::pair("nothing", k_chd_add)})
        ASSERT_TRUE(user_edit_text(registry, k_chd_name, typed) && user_click(registry, button));
    set_modal_responder({});
    EXPECT_EQ(asked, std::vector<std::string>(3, "ERROR"));
    EXPECT_EQ(list_rows(registry, k_chd_list), rows);  // no entry renamed
    EXPECT_EQ(g_chardata_count, count);                // none added
    g_quit = 1;
    program_shutdown(true);
}
