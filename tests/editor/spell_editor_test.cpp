// The spell editor: spells added, shown, changed, removed and saved through the window, the
// item-effect boxes resolving rows by place, and the references following a removed spell.
#include "tests/editor/table_editor_support.h"

#include "editor/controls/dialog_records.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "tests/editor/dialog_screen_support.h"
#include "items/item_properties.h"
#include "platform/files.h"

#include <filesystem>

namespace {

class SpellEditor : public table_editor_test {
protected:
    void SetUp() override
    {
        table_editor_test::SetUp();
        saved_.keep(g_spell_editor_window), saved_.keep(g_command_window), saved_.keep(g_command_window_open);
        saved_.keep(g_item_editor_window, g_entity_editor_window);
        saved_.keep(g_current_tab, g_tabs_window, g_tab_window, g_global_settings_window);
        g_spell_editor_window = g_command_window = g_item_editor_window = g_entity_editor_window = 0;
        g_tabs_window = g_tab_window = g_global_settings_window = 0;
        g_current_tab = -1;
        g_command_window_open = 0;
        ASSERT_TRUE(make_folder("global"));
        // Two effect items of one name, a removed one between them and a plain item.
        make_item(0, "Stone", k_item_normal);
        make_item(3, "Glow", k_item_efect);
        make_item(4, "Old glow", k_item_efect).deleted = 1;
        make_item(5, "Glow", k_item_efect);
        for (int32_t id = 0; id < 6; ++id)
            add_spell(id);
    }

    static spell_proto& add_spell(int32_t id)
    {
        spell_proto& s = g_spell_protos[id];
        s = spell_proto{};
        std::snprintf(s.name, sizeof s.name, "spell%d", int(id));
        s.item_effect = -1;
        for (int16_t& e : s.effect_per_level)
            e = -1;
        g_spell_proto_count = std::max(g_spell_proto_count, id + 1);
        return s;
    }
    // Opens the editor from the command window's menu.
    dialog_handle open()
    {
        open_editor_windows();
        user_pick_menu(g_command_window, k_menu_spells);
        return g_spell_editor_window;
    }
    // True when "global/spells.dat" holds what the saver writes of the table now.
    static bool read_spell_file_equals_table()
    {
        const std::vector<uint8_t> written = read_bytes("global/spells.dat");
        return save_spells() && read_bytes("global/spells.dat") == written;
    }
    static bool enabled(dialog_handle d, int32_t id) { return find_control(find_dialog(d), id)->enabled; }
    void TearDown() override
    {
        table_editor_test::TearDown();
        screen_.reset();
    }

    std::unique_ptr<dialog_screen_driver> screen_;  // for the tests that click on the drawn windows
};

} // namespace

TEST_F(SpellEditor, OpeningListsTheSpellsAndTheBoxesAndChoosingShowsEveryField)
{
    spell_proto& s = g_spell_protos[2];
    std::snprintf(s.effect_key, sizeof s.effect_key, "ohen");
    s.mana_cost = -7;
    s.motion = k_motion_bezier;
    s.rotation_speed = 0.125f;
    s.glow_scale = 1.5f;
    s.hit_spell = 5;
    s.item_effect = 5;
    s.effect_per_level[2] = 4;  // removed: shown as "no efect"
    s.spread_per_level[1] = 2;
    s.action_anim = 4;
    s.stun_max = 3;
    s.quake_length = 9;

    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(open(), d);  // one editor at a time
    EXPECT_EQ(find_dialog(d)->caption, "Spell/Shot Editor");
    ASSERT_EQ(get_list_count(d, k_spell_list), 6);
    EXPECT_EQ(list_row(d, k_spell_list, 4), "004. spell4");
    EXPECT_EQ(get_combo_count(d, k_spell_hit_spell), 7);
    EXPECT_EQ(combo_row(d, k_spell_hit_spell, 0), "nothing");
    EXPECT_EQ(combo_row(d, k_spell_hit_spell, 6), "spell5");
    EXPECT_EQ(get_combo_count(d, k_spell_school), 6);
    EXPECT_EQ(get_combo_count(d, k_spell_level_type + 3), 3);
    EXPECT_EQ(get_combo_sel(d, k_spell_motion), 0);
    for (int32_t id : {int32_t(k_spell_item_effect), int32_t(k_spell_level_effect), k_spell_level_effect + 3}) {
        ASSERT_EQ(get_combo_count(d, id), 3);
        EXPECT_EQ(combo_row(d, id, 0), "no efect");
        EXPECT_EQ(combo_row(d, id, 2), "Glow");
        EXPECT_EQ(get_combo_sel(d, id), 0);
    }
    EXPECT_FALSE(enabled(d, k_spell_red));

    user_choose(d, k_spell_list, 2);
    EXPECT_EQ(field_text(d, k_spell_name), "spell2");
    EXPECT_EQ(field_text(d, k_spell_effect_key), "ohen");
    EXPECT_EQ(field_text(d, k_spell_mana), "-7");
    EXPECT_EQ(get_combo_sel(d, k_spell_motion), k_motion_bezier);
    EXPECT_EQ(field_text(d, k_spell_rotspeed), "0.125");
    EXPECT_EQ(field_text(d, k_spell_glow_scale), "1.50");
    EXPECT_EQ(get_combo_sel(d, k_spell_hit_spell), 5);
    EXPECT_EQ(get_combo_sel(d, k_spell_item_effect), 2);  // item 5 is the second "Glow"
    EXPECT_EQ(get_combo_sel(d, k_spell_level_effect + 2), 0);
    EXPECT_EQ(get_combo_sel(d, k_spell_level_type + 1), 2);
    EXPECT_EQ(field_text(d, k_spell_action_anim), "5");
    EXPECT_EQ(field_text(d, k_spell_stun_max), "3");
    EXPECT_EQ(field_text(d, k_spell_quake_max), "9");
    EXPECT_FALSE(enabled(d, k_spell_green));

    user_close(d);
    EXPECT_EQ(g_spell_editor_window, 0u);
}

TEST_F(SpellEditor, UpdateWritesTheControlsIntoTheSpellAndTheTableToItsFile)
{
    spell_proto& s = g_spell_protos[1];
    s.is_light = 1;
    s.light_colour[0] = 0.25f;
    s.light_colour[1] = 0.5f;
    s.light_colour[2] = 0.75f;
    s.explosion_scale = 2.5f;
    s.spread_per_level[3] = 1;
    s.effect_per_level[0] = 3;
    s.level = 4;
    s.hit_spell = 250;  // past the box's rows: no selection, so the field stays
    s.sound_name[0] = 'x';
    const spell_proto before = s;

    const dialog_handle d = open();
    user_choose(d, k_spell_list, 1);
    EXPECT_TRUE(enabled(d, k_spell_blue));
    EXPECT_EQ(field_text(d, k_spell_red), "0.25");
    EXPECT_EQ(get_combo_sel(d, k_spell_hit_spell), -1);

    // Unedited, the spell stays byte for byte; the file equals what the saver writes.
    user_click(d, k_spell_update);
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
    EXPECT_TRUE(read_spell_file_equals_table());

    // Edited: numbers in their field's width, the name alone as the row, hit spell row 5 as 5,
    // item-effect rows by their place, the colour while "is light" is checked.
    user_edit_text(d, k_spell_name, "Frost");
    user_edit_text(d, k_spell_mana, "70000");
    user_edit_text(d, k_spell_level, "12abc");
    user_edit_text(d, k_spell_pause, "none");
    user_edit_text(d, k_spell_expl_scale, "0.3");
    user_edit_text(d, k_spell_green, "2");
    user_choose(d, k_spell_hit_spell, 5);
    user_choose(d, k_spell_item_effect, 2);
    user_choose(d, k_spell_level_effect, 1);
    user_choose(d, k_spell_level_effect + 1, 0);
    user_choose(d, k_spell_level_type + 3, 2);
    user_choose(d, k_spell_school, 4);
    user_click(d, k_spell_update);
    EXPECT_STREQ(s.name, "Frost");
    EXPECT_EQ(s.mana_cost, int16_t(70000 - 65536));
    EXPECT_EQ(s.level, 12);
    EXPECT_EQ(s.pause, 0);
    EXPECT_FLOAT_EQ(s.explosion_scale, 0.3f);
    EXPECT_FLOAT_EQ(s.light_colour[1], 2.0f);
    EXPECT_EQ(s.hit_spell, 5);
    EXPECT_EQ(s.item_effect, 5);
    EXPECT_EQ(s.effect_per_level[0], 3);
    EXPECT_EQ(s.effect_per_level[1], -1);
    EXPECT_EQ(s.spread_per_level[3], 2);
    EXPECT_EQ(s.school, 4);
    EXPECT_EQ(list_row(d, k_spell_list, 1), "Frost");
    EXPECT_EQ(get_list_sel(d, k_spell_list), 1);
    ASSERT_TRUE(read_spell_file_equals_table());

    // Unchecked, the colour keeps its values and its boxes are greyed out.
    user_click(d, k_spell_is_light);
    EXPECT_FALSE(enabled(d, k_spell_red));
    EXPECT_EQ(field_text(d, k_spell_red), "1.00");
    user_click(d, k_spell_update);
    EXPECT_EQ(s.is_light, 0u);
    EXPECT_FLOAT_EQ(s.light_colour[1], 2.0f);
    user_click(d, k_spell_is_light);
    EXPECT_TRUE(enabled(d, k_spell_red));
    EXPECT_EQ(field_text(d, k_spell_green), "1.00");

    // Without a selection UPDATE still writes the file, and logs a write that fails.
    set_list_sel(d, k_spell_list, -1);
    g_spell_protos[0].mana_cost = 33;
    user_click(d, k_spell_update);
    EXPECT_TRUE(read_spell_file_equals_table());
    std::filesystem::remove("global/spells.dat");
    std::filesystem::create_directory("global/spells.dat");
    user_click(d, k_spell_update);
    EXPECT_TRUE(console_says("spells.dat"));
    EXPECT_TRUE(console_says("UPDATE"));
}

TEST_F(SpellEditor, AddGivesTheNewSpellItsDefaultsUpToTwoHundredSpells)
{
    g_spell_protos[6].mana_cost = 41;  // a stale slot behind the spells
    g_spell_protos[6].speed = 90;
    const dialog_handle d = open();
    user_click(d, k_spell_add);
    ASSERT_EQ(g_spell_proto_count, 7);
    const spell_proto& s = g_spell_protos[6];
    EXPECT_STREQ(s.name, "new");
    EXPECT_EQ(s.speed, 8);
    EXPECT_EQ(s.missile_slot, -1);
    EXPECT_FLOAT_EQ(s.light_colour[2], 1.0f);
    EXPECT_FLOAT_EQ(s.glow_scale, 1.0f);
    EXPECT_EQ(s.mana_cost, 41);
    EXPECT_EQ(list_row(d, k_spell_list, 6), "new");
    EXPECT_EQ(get_combo_count(d, k_spell_hit_spell), 8);  // "hit spell:" offers the new spell too
    EXPECT_EQ(combo_row(d, k_spell_hit_spell, 7), "new");

    for (int32_t id = 7; id < k_spell_slots; ++id)
        add_spell(id);
    user_click(d, k_spell_add);
    EXPECT_EQ(g_spell_proto_count, k_spell_slots);
    EXPECT_EQ(get_list_count(d, k_spell_list), 7);
    EXPECT_TRUE(console_says("200"));
}

TEST_F(SpellEditor, RemoveMovesTheLaterSpellsDownAndTheirReferencesFollow)
{
    g_spell_protos[0].hit_spell = 4;  // spell 3, removed
    g_spell_protos[1].hit_spell = 5;  // spell 4
    g_spell_protos[2].hit_spell = 3;  // spell 2, before it
    item_lists& lists = g_item_lists[0];
    g_item_protos[0].efect_count = 4;
    lists.efects[0] = item_property{k_efect_learn_spell, {3, 3, 3, 3, 0, 0, 0, 0}};
    lists.efects[1] = item_property{k_efect_cast_spell_when_hit_on_foe, {5, 5, 0, 0, 0, 0, 0, 0}};
    lists.efects[2] = item_property{k_efect_add_residual_when_hit_on_foe, {4, 4, 4, 4, 0, 0, 0, 0}};
    lists.efects[3] = item_property{k_efect_critical_chance_add, {4, 0, 0, 0, 0, 0, 0, 0}};
    lists.efects[4] = item_property{k_efect_learn_spell, {4, 0, 0, 0, 0, 0, 0, 0}};  // past the count
    g_entity_count = 2;
    g_entities[0].spell = 4;
    g_entities[1].spell = 6;

    const dialog_handle d = open();
    user_choose(d, k_spell_list, 3);
    user_click(d, k_spell_remove);
    ASSERT_EQ(g_spell_proto_count, 5);
    EXPECT_STREQ(g_spell_protos[3].name, "spell4");
    EXPECT_STREQ(g_spell_protos[4].name, "spell5");
    ASSERT_EQ(get_list_count(d, k_spell_list), 5);
    EXPECT_EQ(list_row(d, k_spell_list, 3), "004. spell4");
    EXPECT_EQ(get_list_sel(d, k_spell_list), -1);

    EXPECT_EQ(g_spell_protos[0].hit_spell, 0);
    EXPECT_EQ(g_spell_protos[1].hit_spell, 4);
    EXPECT_EQ(g_spell_protos[2].hit_spell, 3);
    EXPECT_EQ(lists.efects[0].args[0], -1);
    EXPECT_EQ(lists.efects[0].args[1], 3);
    EXPECT_EQ(lists.efects[1].args[0], 4);
    EXPECT_EQ(lists.efects[1].args[1], 5);
    EXPECT_EQ(lists.efects[2].args[0], 4);
    EXPECT_EQ(lists.efects[2].args[3], 3);
    EXPECT_EQ(lists.efects[3].args[0], 4);
    EXPECT_EQ(lists.efects[4].args[0], 4);
    EXPECT_EQ(g_entities[0].spell, 0);
    EXPECT_EQ(g_entities[1].spell, 5);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_TRUE(console_says("atunement"));

    // Without a selection nothing is removed.
    user_click(d, k_spell_remove);
    EXPECT_EQ(g_spell_proto_count, 5);
}

TEST_F(SpellEditor, AddAndRemoveLeaveTheIdentPageUnderTheEditorWithItsChoiceAndTheItemsEffectRowsFollow)
{
    screen_ = std::make_unique<dialog_screen_driver>();
    add_entity("gate", k_entity_normal, 1);
    add_entity("socha", k_entity_normal, 1);
    g_entities[1].spell = 5;  // spell 4
    g_item_protos[0].efect_count = 2;
    g_item_lists[0].efects[0] = item_property{k_efect_cast_spell_when_attack, {2, 0, 0, 0, 0, 0, 0, 0}};
    g_item_lists[0].efects[1] = item_property{k_efect_cast_spell_when_attack, {4, 0, 0, 0, 0, 0, 0, 0}};
    // The Ident tab's page, the item editor on Stone, then the spell editor over both.
    const dialog_handle strip = open_mode_tabs();
    ASSERT_TRUE(user_choose(strip, k_mode_tabs_control, 7));
    screen_->frame();
    clock_advance_manual(16);
    screen_->frame();  // the strip's timer opens the page
    const dialog_handle ident = g_entity_editor_window;
    ASSERT_TRUE(ident != 0 && g_tab_window == ident) << "the Ident page is not open";
    open_editor_windows();
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_item));
    const dialog_handle items = g_item_editor_window;
    ASSERT_TRUE(user_choose(items, k_itm_list, 0));
    ASSERT_EQ(selected_row(items, k_itm_list), list_row(items, k_itm_list, 0));
    const dialog_handle d = open();
    screen_->frame();
    ASSERT_TRUE(user_choose(ident, k_ent_list, 1));
    ASSERT_TRUE(user_edit_text(ident, k_ent_name, "sochaX"));

    // An add at the end: the page stays below the editor, whose ADD takes the next click too.
    screen_->click_control(d, k_spell_add);
    screen_->click_control(d, k_spell_add);
    EXPECT_EQ(g_spell_proto_count, 8);
    EXPECT_EQ(g_entity_editor_window, ident);
    EXPECT_EQ(get_list_sel(ident, k_ent_list), 1);
    EXPECT_EQ(field_text(ident, k_ent_name), "sochaX");
    EXPECT_EQ(get_combo_count(ident, k_ent_spell), 9);
    EXPECT_EQ(combo_shown(ident, k_ent_spell), "spell4");

    // A removal renumbers: the spell chosen on the page follows, and the item's rows name the
    // spells as they are now.
    ASSERT_TRUE(user_choose(d, k_spell_list, 2));
    screen_->click_control(d, k_spell_remove);
    ASSERT_EQ(g_spell_proto_count, 7);
    EXPECT_EQ(get_list_sel(ident, k_ent_list), 1);
    EXPECT_EQ(field_text(ident, k_ent_name), "sochaX");
    EXPECT_EQ(get_combo_sel(ident, k_ent_spell), 4);
    EXPECT_EQ(combo_shown(ident, k_ent_spell), "spell4");
    EXPECT_EQ(list_rows(items, k_itm_eff_list),
              (std::vector<std::string>{"cast spell when attack ?", "cast spell when attack spell4"}));
    ASSERT_TRUE(user_click(ident, k_ent_update));
    EXPECT_STREQ(g_entities[1].name, "sochaX");
    EXPECT_EQ(g_entities[1].spell, 4);
    screen_->click_control(d, k_spell_add);
    EXPECT_EQ(g_spell_proto_count, 8);
}
