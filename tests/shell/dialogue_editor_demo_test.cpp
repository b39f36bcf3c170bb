// Dialogues on the demo data: the gate's well event plays the exported well story, and the
// villager's greeting, loaded in the dialogue editor through the command window's "dialogues"
// with a scripted file chooser, changed and saved over its file, is spoken at the next talk.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"

#include "support/saved_globals.h"

#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/dialogue_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "script/dialogues.h"
#include "script/map_events.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "core/settings.h"
#include "shell/program.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool logged(const char* text)
{
    for (uint32_t l = 0; l < g_message_log.count; ++l)
        if (std::strstr(g_message_log.lines[l], text))
            return true;
    return false;
}

void choose(std::string name)
{
    set_modal_responder([name](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, name);
        user_click(chooser, k_id_ok);
        return false;
    });
}

} // namespace

TEST_F(shell_test, TheWellStoryPlaysAndAGreetingChangedInTheDialogueEditorIsSpoken)
{
    saved_globals editor_state;
    editor_state.keep(g_last_file_dir), editor_state.keep(g_file_dialog_path), editor_state.keep(g_message_log);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());

    // The well's event starts the exported story at its part "1"; going on reaches part "2".
    int32_t well = -1;
    for (uint32_t e = 0; e < g_event_count && well < 0; ++e)
        if (std::strcmp(g_events[e].name, "well") == 0)
            well = int32_t(e);
    ASSERT_GE(well, 0);
    g_message_log.count = 0;
    run_event_action(well, 0);
    ASSERT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/well_story/1.txt");
    ASSERT_TRUE(pass_greeting());
    EXPECT_TRUE(logged("The well is dry"));
    EXPECT_TRUE(logged("something glints"));

    const char* path = "data/dia/eng/villager/start0.dia2";
    open_editor_windows();
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_dialogues));
    const dialog_handle editor = g_dialogue_editor_window;
    ASSERT_NE(editor, 0u);
    choose(path);
    ASSERT_TRUE(user_pick_menu(editor, k_dia_menu_load));
    char text[k_dialogue_text_size] = {};
    get_item_text(editor, k_dia_text, text, sizeof text);
    EXPECT_STREQ(text, "Back again, Dovan? The water is still gone.");
    EXPECT_EQ(g_dialogue.condition_kind[0], k_dia_quest_at_most);
    user_choose(editor, k_dia_part_list, 0);
    user_edit_text(editor, k_dia_text, "The spring flows again, friend.");
    choose((folder_->path() / path).string());  // the chooser opens in the folder of the last file
    ASSERT_TRUE(user_pick_menu(editor, k_dia_menu_save));
    set_modal_responder({});

    // Only the changed greeting may be chosen: the other greeting goes, the first meeting was held.
    ASSERT_EQ(std::remove("data/dia/eng/villager/start1.dia2"), 0);
    int32_t villager = -1;
    for (uint32_t s = 0; s < g_char_count && villager < 0; ++s)
        if (std::strcmp(g_chars[s].name, "villager") == 0)
            villager = int32_t(s);
    ASSERT_GE(villager, 0);
    g_chars[villager].script_flags[k_talked_to_memory] = 1;
    g_message_log.count = 0;
    g_char_rule_links.run_char_event(villager, 0);
    ASSERT_EQ(g_dialogue_running, 1u);
    bool spoken = false;
    for (int i = 0; i < 60 && !spoken; ++i) {
        ASSERT_TRUE(program_frame());
        spoken = logged("The spring flows again, friend.");
    }
    EXPECT_TRUE(spoken);
    EXPECT_NE(std::strstr(g_dialogue_window.name, "villager/start0.dia2"), nullptr) << g_dialogue_window.name;
    program_shutdown(true);
}
