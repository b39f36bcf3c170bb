// The dialogue editor: parts built, renamed and linked through the window's fields, the menus,
// and the record going through dialogue files and the markup export.
#include "tests/editor/dialog_test_support.h"
#include "tests/editor/dialog_texts.h"

#include "core/utilities.h"
#include "editor/controls/dialog_records.h"
#include "editor/dialogs/dialogue_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "platform/files.h"
#include "script/dialogues.h"
#include "tests/support/saved_globals.h"

namespace {

class DialogueEditor : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        saved_record_ = std::make_unique<dialogue_record>(g_dialogue);
        saved_.keep(g_dialogue_editor_window), saved_.keep(g_command_window), saved_.keep(g_command_window_open);
        saved_.keep(g_last_file_dir), saved_.keep(g_file_dialog_path);
        g_dialogue_editor_window = g_command_window = 0;
        g_command_window_open = 0;
        g_last_file_dir[0] = 0;
        std::memset(&g_dialogue, 0, sizeof g_dialogue);
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        saved_.restore();
        g_dialogue = *saved_record_;
    }

    // Opens the editor from the command window's menu.
    dialog_handle open()
    {
        open_editor_windows();
        user_pick_menu(g_command_window, k_menu_dialogues);
        return g_dialogue_editor_window;
    }
    // The next file chooser is answered with the name and OK; an empty name cancels it.
    static void choose(std::string name)
    {
        set_modal_responder([name](dialog_handle chooser) {
            if (!name.empty()) {
                user_edit_text(chooser, k_chooser_name, name);
                user_click(chooser, k_id_ok);
            }
            return false;
        });
    }
    std::unique_ptr<dialogue_record> saved_record_;
    saved_globals saved_;
};

} // namespace

TEST_F(DialogueEditor, PartsAreMadeRenamedLinkedAndJumpedToThroughTheWindow)
{
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(find_dialog(d)->caption, "Dialogue Editor");
    EXPECT_EQ(open(), d);  // one editor at a time

    // A stale slot behind the parts: the new part starts empty all the same.
    std::snprintf(g_dialogue.text[1], sizeof g_dialogue.text[1], "old");
    std::snprintf(g_dialogue.option_text[1][3], sizeof g_dialogue.option_text[1][3], "old");
    user_pick_menu(d, k_dia_menu_new);
    EXPECT_STREQ(g_dialogue.name, "NEW DIALOGUE");
    EXPECT_EQ(field_text(d, k_dia_name), "NEW DIALOGUE");
    ASSERT_EQ(g_dialogue.node_count, 1);
    EXPECT_STREQ(g_dialogue.node_name[0], "1");
    EXPECT_STREQ(g_dialogue.speaker[0], "Dovan");
    EXPECT_STREQ(g_dialogue.option_text[0][0], "Click to continue.");
    g_dialogue.option_link[1][2] = 1;
    user_pick_menu(d, k_dia_menu_new_part);
    user_pick_menu(d, k_dia_menu_new_part);
    EXPECT_EQ(g_dialogue.text[1][0], 0);
    EXPECT_EQ(g_dialogue.option_text[1][3][0], 0);
    EXPECT_EQ(g_dialogue.option_link[1][2], 0);
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), -1);  // adding selects nothing
    ASSERT_EQ(get_list_count(d, k_dia_part_list), 3);
    EXPECT_EQ(combo_row(d, k_dia_link + 4, 0), "no link");
    EXPECT_EQ(combo_row(d, k_dia_link + 4, 3), "3");

    // Part 1 shown; its second answer links to part 2, which is renamed.
    user_choose(d, k_dia_part_list, 0);
    EXPECT_EQ(field_text(d, k_dia_part_name), "1");
    EXPECT_EQ(field_text(d, k_dia_speaker), "Dovan");
    EXPECT_EQ(field_text(d, k_dia_answer), "Click to continue.");
    EXPECT_EQ(get_combo_sel(d, k_dia_link), 0);
    user_choose(d, k_dia_link + 1, 2);
    EXPECT_EQ(g_dialogue.option_link[0][1], 2);
    user_choose(d, k_dia_part_list, 1);
    user_edit_text(d, k_dia_part_name, "Gate");
    EXPECT_STREQ(g_dialogue.node_name[1], "Gate");
    EXPECT_EQ(list_row(d, k_dia_part_list, 1), "Gate");
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), 1);
    for (int32_t k = 0; k < k_dialogue_shown_options; ++k)
        EXPECT_EQ(combo_row(d, k_dia_link + k, 2), "Gate");
    user_choose(d, k_dia_part_list, 0);
    EXPECT_EQ(get_combo_sel(d, k_dia_link + 1), 2);
    EXPECT_EQ(g_dialogue.option_link[0][1], 2);

    // A combo showing no row keeps its link when another changes.
    g_dialogue.option_link[0][4] = 3;
    set_combo_sel(d, k_dia_link + 4, -1);
    user_choose(d, k_dia_link + 2, 1);
    EXPECT_EQ(g_dialogue.option_link[0][4], 3);
    EXPECT_EQ(g_dialogue.option_link[0][2], 1);

    // Jumps follow links to parts only.
    user_click(d, k_dia_jump + 1);
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), 1);
    EXPECT_EQ(field_text(d, k_dia_part_name), "Gate");
    user_click(d, k_dia_jump);  // no link
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), 1);
    g_dialogue.option_link[1][0] = 9;  // past the parts
    user_click(d, k_dia_jump);
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), 1);

    // Fields cut to their size less one; the language from its combo.
    set_item_text(d, k_dia_text, std::string(1500, 't').c_str());
    set_item_text(d, k_dia_part_name, std::string(40, 'p').c_str());
    set_item_text(d, k_dia_answer + 4, std::string(400, 'a').c_str());
    EXPECT_EQ(std::strlen(g_dialogue.text[1]), 999u);
    EXPECT_EQ(std::strlen(g_dialogue.node_name[1]), 19u);
    EXPECT_EQ(std::strlen(g_dialogue.option_text[1][4]), 254u);
    EXPECT_EQ(list_row(d, k_dia_part_list, 1), std::string(19, 'p'));
    user_choose(d, k_dia_language, 1);
    EXPECT_EQ(g_dialogue.language, 1);

    // The menu's "export" and "delete" change nothing; a part past 200 is refused.
    auto before = std::make_unique<dialogue_record>(g_dialogue);
    user_pick_menu(d, k_dia_menu_export);
    user_pick_menu(d, k_dia_menu_delete_part);
    EXPECT_EQ(std::memcmp(before.get(), &g_dialogue, sizeof g_dialogue), 0);
    EXPECT_FALSE(file_exists("data/dialogs") == 1);
    g_dialogue.node_count = k_dialogue_nodes;
    fill_dialogue_links(d, 0);
    user_pick_menu(d, k_dia_menu_new_part);
    EXPECT_EQ(g_dialogue.node_count, k_dialogue_nodes);
    EXPECT_EQ(get_list_count(d, k_dia_part_list), k_dialogue_nodes);
    EXPECT_NE(last_console_line().find("200"), std::string::npos);

    user_close(d);
    EXPECT_EQ(g_dialogue_editor_window, 0u);
}

TEST_F(DialogueEditor, SavedFilesLoadBackAndTheExportButtonWritesTheMarkup)
{
    const dialog_handle d = open();
    user_pick_menu(d, k_dia_menu_new);
    user_pick_menu(d, k_dia_menu_new_part);
    user_choose(d, k_dia_part_list, 1);
    user_edit_text(d, k_dia_text, "Hello \xE9there.");
    user_choose(d, k_dia_link, 1);
    user_edit_text(d, k_dia_name, "mill");
    g_dialogue.condition_kind[3] = k_dia_flag_equal;
    std::snprintf(g_dialogue.condition_name[3], sizeof g_dialogue.condition_name[3], "encounter");
    g_dialogue.condition_a[3] = 5;
    g_dialogue.any_of = 1;
    const auto saved = std::make_unique<dialogue_record>(g_dialogue);

    choose("mill");  // the default extension is added
    user_pick_menu(d, k_dia_menu_save);
    ASSERT_EQ(file_exists("mill.dia2"), 1);

    // A cancelled load refreshes the window from the record as it is.
    std::snprintf(g_dialogue.node_name[0], sizeof g_dialogue.node_name[0], "changed");
    choose("");
    user_pick_menu(d, k_dia_menu_load);
    EXPECT_EQ(list_row(d, k_dia_part_list, 0), "changed");
    EXPECT_EQ(get_list_sel(d, k_dia_part_list), 0);

    std::memset(&g_dialogue, 0, sizeof g_dialogue);
    choose("mill.dia2");
    user_pick_menu(d, k_dia_menu_load);
    // Byte for byte over the fields a file holds; the parts past the two saved stay zero.
    g_dialogue.node_count = 2;
    std::memset(saved->speaker[2], 0, sizeof saved->speaker - 2 * sizeof saved->speaker[0]);
    std::memset(saved->node_name[2], 0, sizeof saved->node_name - 2 * sizeof saved->node_name[0]);
    std::memset(saved->text[2], 0, sizeof saved->text - 2 * sizeof saved->text[0]);
    std::memset(saved->option_text[2], 0, sizeof saved->option_text - 2 * sizeof saved->option_text[0]);
    std::memset(saved->option_link[2], 0, sizeof saved->option_link - 2 * sizeof saved->option_link[0]);
    EXPECT_EQ(std::memcmp(&g_dialogue, saved.get(), sizeof g_dialogue), 0);
    EXPECT_EQ(list_row(d, k_dia_part_list, 1), "2");
    EXPECT_EQ(field_text(d, k_dia_name), "mill");

    // The button exports each part; names leaving their folder and unknown languages are refused.
    user_click(d, k_dia_export);
    std::vector<uint8_t> markup;
    ASSERT_TRUE(read_whole_file("data/dialogs/eng/mill/2.txt", &markup));
    EXPECT_NE(std::string(markup.begin(), markup.end()).find("Hello \xE9there."), std::string::npos);
    EXPECT_EQ(file_exists("data/dialogs/eng/mill/1.txt"), 1);
    user_edit_text(d, k_dia_name, "../out");
    user_click(d, k_dia_export);
    EXPECT_NE(last_console_line().find("export"), std::string::npos);
}
