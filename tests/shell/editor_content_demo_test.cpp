// The editor on the demo gate map through the headless user: a map text and an event's text box
// changed, a pulsing light effect added on the effect page, "save map"; the game's loader then
// finds all three in the level file. Deletions that renumber links leave the pages still open
// unable to write an old number back, the page that deleted stays open, and the boxes left open
// list the records as they are now.
#include "shell/shell_fixture.h"

#include "tests/shell/editor_demo_steps.h"
#include "tests/shell/editor_demo_support.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/controls/number_fields.h"
#include "editor/dialogs/effect_editor.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/map_text_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "items/item_properties.h"
#include "items/spells.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "platform/recording_device.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "shell/program.h"

#include <string>

namespace {

void answer_chooser(const char* path)
{
    set_modal_responder([path](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, path);
        user_click(chooser, k_id_ok);
        return false;
    });
}

// The row of the combo that shows the text, -1 none.
int32_t combo_row_of(dialog_handle d, int32_t id, const std::string& text)
{
    for (int32_t row = 0; row < get_combo_count(d, id); ++row)
        if (combo_row(d, id, row) == text)
            return row;
    return -1;
}

} // namespace

TEST_F(shell_test, MapTextEventAndEffectEditedInTheEditorAreInTheSavedGateMap)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    answer_chooser("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    ASSERT_STREQ(g_map_texts[0].key, "tabula");
    ASSERT_STREQ(g_events[0].name, "sign");
    ASSERT_EQ(g_events[0].action_kind[0], uint32_t(k_act_game_text));
    const uint32_t effects = g_level_effect_count;

    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_text));
    const dialog_handle texts = g_text_editor_window;
    ASSERT_TRUE(user_choose(texts, k_txt_list, 0));
    ASSERT_TRUE(user_edit_text(texts, k_txt_text, "The road is open now."));
    ASSERT_TRUE(user_click(texts, k_txt_update));

    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
    const dialog_handle events = g_event_editor_window;
    ASSERT_TRUE(user_choose(events, k_evt_list, 0));
    ASSERT_TRUE(user_edit_text(events, k_evt_action_box + 1, "shrine"));
    ASSERT_TRUE(user_click(events, k_evt_update));

    ASSERT_TRUE(user_choose(g_tabs_window, k_mode_tabs_control, 2));
    ASSERT_TRUE(program_frame());
    const dialog_handle page = g_effect_editor_window;
    ASSERT_NE(page, 0u);
    ASSERT_EQ(g_tab_window, page);
    ASSERT_TRUE(user_pick_menu(page, k_efe_menu_new));
    const int32_t row = get_list_count(page, k_efe_list) - 1;
    ASSERT_TRUE(user_choose(page, k_efe_list, row));
    ASSERT_TRUE(user_choose(page, k_efe_type, k_effect_light_pulse));
    ASSERT_TRUE(user_edit_text(page, k_efe_ident, "0"));
    ASSERT_TRUE(user_edit_text(page, k_efe_speed, "4"));
    const char* bounds[k_efe_params] = {"0.2", "1", "0.05", "0.2", "1", "0.05", "0.2", "1", "0.05"};
    for (int k = 0; k < k_efe_params; ++k)
        ASSERT_TRUE(user_edit_text(page, k_efe_param + k, bounds[k]));
    ASSERT_TRUE(user_click(page, k_efe_update));
    EXPECT_EQ(g_map_dirty, 1u);

    answer_chooser("brana.sav");  // the chooser opens in the folder of the map loaded
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_save_map));
    set_modal_responder({});
    EXPECT_EQ(g_map_dirty, 0u);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    EXPECT_STREQ(g_map_texts[0].text, "The road is open now.");
    EXPECT_STREQ(g_events[0].action_text[0], "shrine");
    ASSERT_EQ(g_level_effect_count, effects + 1);
    const level_effect& added = g_level_effects[effects];
    EXPECT_EQ(added.active, 1u);
    EXPECT_EQ(added.kind, k_effect_light_pulse);
    EXPECT_EQ(added.target, 0);
    EXPECT_EQ(added.period, 4u);
    EXPECT_FLOAT_EQ(added.channel[2].upper, 1.0f);
    EXPECT_FLOAT_EQ(added.channel[1].step, 0.05f);
}

TEST_F(shell_test, PagesLeftOpenWriteNoNumberBackThatADeletionRenumbered)
{
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    ASSERT_GT(g_entities[6].description, 2);
    const std::string described = g_map_texts[g_entities[6].description - 1].key;

    // Socha chosen on the Ident page and its name retyped, then the texts "tabula" and "sign" deleted.
    ASSERT_TRUE(choose_tab(7, g_entity_editor_window));
    ASSERT_EQ(list_row(g_entity_editor_window, k_ent_list, 6), "6-socha");
    ASSERT_TRUE(user_choose(g_entity_editor_window, k_ent_list, 6));
    ASSERT_TRUE(user_edit_text(g_entity_editor_window, k_ent_name, "socha"));
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_text));
    for (const char* key : {"tabula", "sign"}) {
        ASSERT_EQ(list_row(g_text_editor_window, k_txt_list, 0), key);
        ASSERT_TRUE(user_choose(g_text_editor_window, k_txt_list, 0));
        ASSERT_TRUE(user_pick_menu(g_text_editor_window, k_txt_menu_delete));
    }
    ASSERT_TRUE(user_click(g_entity_editor_window, k_ent_update));

    // Event "sign" set to truhla (7), then 0-chata deleted: truhla is entity 6 now.
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
    const dialog_handle events = g_event_editor_window;
    ASSERT_TRUE(user_choose(events, k_evt_list, 0));
    ASSERT_TRUE(user_choose(events, k_evt_action, k_act_set_entity_state));
    ASSERT_TRUE(user_edit_text(events, k_evt_action_box, "7"));
    ASSERT_TRUE(user_click(events, k_evt_update));
    ASSERT_TRUE(user_choose(g_entity_editor_window, k_ent_list, 0));
    ASSERT_TRUE(user_pick_menu(g_entity_editor_window, k_ent_menu_delete));
    // The page stays, under its tab, showing the level after the delete.
    const dialog_handle ident = g_entity_editor_window;
    ASSERT_TRUE(program_frame());
    ASSERT_NE(ident, 0u);
    EXPECT_TRUE(dialog_exists(ident));
    EXPECT_EQ(g_entity_editor_window, ident);
    EXPECT_EQ(g_tab_window, ident);
    EXPECT_EQ(get_tab_sel(g_tabs_window, k_mode_tabs_control), 7);
    EXPECT_EQ(get_list_count(ident, k_ent_list), int32_t(g_entity_count));
    EXPECT_EQ(list_row(ident, k_ent_list, 5), "5-socha");
    // The event stays chosen and its box shows truhla's new number, which its update stores.
    EXPECT_EQ(get_list_sel(events, k_evt_list), 0);
    EXPECT_EQ(get_item_int(events, k_evt_action_box), 6);
    ASSERT_TRUE(user_click(events, k_evt_update));
    // Ctrl+S with the pointer on the view's corner, away from the centred event editor.
    ASSERT_TRUE(tap_at(float(g_view_x + g_screen_width - 20), float(g_screen_height - 20), {k_key_lcontrol, k_key_s}));
    EXPECT_EQ(g_map_dirty, 0u);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    ASSERT_STREQ(g_entities[5].name, "socha");
    EXPECT_EQ(g_map_texts[g_entities[5].description - 1].key, described);
    ASSERT_STREQ(g_entities[6].name, "truhla");
    EXPECT_STREQ(g_events[0].name, "sign");
    EXPECT_EQ(g_events[0].action_kind[0], uint32_t(k_act_set_entity_state));
    EXPECT_EQ(g_events[0].action_number[0][0], 6);
}

TEST_F(shell_test, APickFromABoxLeftOpenAcrossARemovalStoresTheRecordTheUserChose)
{
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    // Effect prototypes sparks, smoke and fog on the effect page.
    ASSERT_TRUE(choose_tab(2, g_effect_editor_window));
    const dialog_handle page = g_effect_editor_window;
    ASSERT_EQ(list_row(page, k_efe_proto_list, 0), "sparks");
    for (const char* name : {"smoke", "fog"}) {
        ASSERT_TRUE(user_click(page, k_efe_proto_add));
        ASSERT_TRUE(user_choose(page, k_efe_proto_list, get_list_count(page, k_efe_proto_list) - 1));
        ASSERT_TRUE(user_edit_text(page, k_efe_proto_name, name));
        ASSERT_TRUE(user_click(page, k_efe_proto_upd));
    }
    // The item editor on the Dagger, "cast spell when attack" with Tremor chosen.
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_item));
    const dialog_handle items = g_item_editor_window;
    ASSERT_TRUE(user_choose(items, k_itm_list, row_of_item(items, "Dagger")));
    const int32_t dagger = find_item_by_list_row(selected_row(items, k_itm_list).c_str());
    ASSERT_TRUE(user_choose(items, k_itm_eff_code, k_efect_cast_spell_when_attack));
    ASSERT_TRUE(user_choose(items, k_itm_eff_param, combo_row_of(items, k_itm_eff_param, "Tremor")));

    // Fire bolt removed; Heal's hit spell set to Tremor in the spell editor.
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_spells));
    const dialog_handle spells = g_spell_editor_window;
    ASSERT_EQ(list_row(spells, k_spell_list, 0), "000. Fire bolt");
    ASSERT_TRUE(user_choose(spells, k_spell_list, 0));
    ASSERT_TRUE(user_click(spells, k_spell_remove));
    ASSERT_EQ(list_row(spells, k_spell_list, 1), "002. Heal");
    ASSERT_TRUE(user_choose(spells, k_spell_list, 1));
    EXPECT_EQ(combo_row(spells, k_spell_hit_spell, 1), "Water bolt");
    ASSERT_TRUE(user_choose(spells, k_spell_hit_spell, combo_row_of(spells, k_spell_hit_spell, "Tremor")));
    ASSERT_TRUE(user_click(spells, k_spell_update));
    ASSERT_STREQ(g_spell_protos[1].name, "Heal");
    ASSERT_STREQ(g_spell_protos[2].name, "Tremor");
    EXPECT_EQ(g_spell_protos[1].hit_spell, 3);

    // The Dagger's box still shows Tremor, now spell 2, and stores it.
    EXPECT_EQ(combo_shown(items, k_itm_eff_param), "Tremor");
    ASSERT_TRUE(user_click(items, k_itm_eff_add));
    int32_t last = g_item_protos[dagger].efect_count - 1;
    ASSERT_GE(last, 0);
    EXPECT_EQ(g_item_lists[dagger].efects[last].code, k_efect_cast_spell_when_attack);
    EXPECT_EQ(g_item_lists[dagger].efects[last].args[0], 2);

    // "add efect3d" with fog chosen, then smoke removed on the effect page: fog is prototype 1.
    ASSERT_TRUE(user_choose(items, k_itm_eff_code, k_efect_add_efect3d));
    ASSERT_TRUE(user_choose(items, k_itm_eff_param + 1, 2));
    ASSERT_EQ(combo_shown(items, k_itm_eff_param + 1), "efect fog");
    ASSERT_TRUE(user_choose(page, k_efe_proto_list, 1));
    ASSERT_TRUE(user_click(page, k_efe_proto_rem));
    EXPECT_EQ(combo_rows(items, k_itm_eff_param + 1), (std::vector<std::string>{"efect sparks", "efect fog"}));
    EXPECT_EQ(combo_shown(items, k_itm_eff_param + 1), "efect fog");
    ASSERT_TRUE(user_choose(items, k_itm_eff_param + 1, 1));
    ASSERT_TRUE(user_click(items, k_itm_eff_add));
    last = g_item_protos[dagger].efect_count - 1;
    EXPECT_EQ(g_item_lists[dagger].efects[last].code, k_efect_add_efect3d);
    EXPECT_EQ(g_item_lists[dagger].efects[last].args[1], 1);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
