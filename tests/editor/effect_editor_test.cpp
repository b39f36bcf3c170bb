// The effect page: level effect slots made and freed, the fields each kind shows and stores, and
// the effect prototype table edited, with the items' prototype numbers kept on their entries.
#include "tests/editor/content_editor_fixture.h"

#include "editor/dialogs/effect_editor.h"
#include "editor/windows/mode_tabs.h"
#include "items/item_properties.h"

#include <cstring>

namespace {

class EffectEditor : public content_editor_test {
protected:
    dialog_handle open()
    {
        return create_editor_window(g_mode_tab_pages[2], 0, k_tab_window_top);
    }
    std::vector<std::string> params(dialog_handle d)
    {
        std::vector<std::string> out;
        for (int k = 0; k < k_efe_params; ++k)
            out.push_back(field_text(d, k_efe_param + k));
        return out;
    }
    // Selects the row of effect i and sets the kind and the fields "1" to "9".
    void edit(dialog_handle d, int32_t row, int32_t kind, std::vector<const char*> values)
    {
        user_choose(d, k_efe_list, row);
        user_choose(d, k_efe_type, kind);
        for (size_t k = 0; k < values.size(); ++k)
            user_edit_text(d, k_efe_param + int32_t(k), values[k]);
        user_click(d, k_efe_update);
    }
};

} // namespace

TEST_F(EffectEditor, NewTakesTheFirstFreeSlotAndTheCountGrowsOnlyAtTheEnd)
{
    g_level_effect_count = 5;
    for (int32_t i = 0; i < 5; ++i)
        g_level_effects[i] = effect(k_effect_turn_x, 0);
    const dialog_handle d = open();
    ASSERT_EQ(d, g_effect_editor_window);
    ASSERT_EQ(list_rows(d, k_efe_list), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    user_choose(d, k_efe_list, 2);
    ASSERT_TRUE(user_pick_menu(d, k_efe_menu_delete));
    EXPECT_EQ(g_level_effects[2].active, 0u);
    EXPECT_EQ(g_map_dirty, 1u);
    user_pick_menu(d, k_efe_menu_new);
    EXPECT_EQ(g_level_effect_count, 5u);
    EXPECT_EQ(g_level_effects[2].active, 1u);
    EXPECT_EQ(g_level_effects[2].kind, 0u);
    EXPECT_EQ(g_level_effects[2].period, 1u);
    user_pick_menu(d, k_efe_menu_new);
    EXPECT_EQ(g_level_effect_count, 6u);
    EXPECT_EQ(list_rows(d, k_efe_list), (std::vector<std::string>{"0", "1", "3", "4", "2", "5"}));
}

TEST_F(EffectEditor, EachKindShowsAndStoresItsOwnParameters)
{
    g_level_effect_count = 4;
    g_level_effects[0] = effect(k_effect_turn_z, 4, 9);
    g_level_effects[1] = effect(k_effect_counter, 0);
    g_level_effects[1].counter = 55;
    g_level_effects[1].direction[2] = 6;
    g_level_effects[2] = effect(k_effect_x_move, 0);
    g_level_effects[2].direction[2] = 9;
    g_level_effects[3] = effect(k_effect_light_pulse, 1);
    g_level_effects[3].channel[2].step = 0.25f;
    const dialog_handle d = open();

    user_choose(d, k_efe_list, 1);
    EXPECT_EQ(params(d), (std::vector<std::string>{"6", "0", "55", "", "", "", "", "", ""}));
    user_choose(d, k_efe_list, 0);  // kind 8: only the target and the period
    EXPECT_EQ(combo_shown(d, k_efe_type), "3D Z rotation");
    EXPECT_EQ(field_text(d, k_efe_ident), "4");
    EXPECT_EQ(field_text(d, k_efe_speed), "9");
    EXPECT_EQ(params(d), std::vector<std::string>(k_efe_params, ""));

    edit(d, 1, k_effect_counter, {"3", "4"});
    EXPECT_EQ(g_level_effects[1].direction[2], 3);
    EXPECT_EQ(g_level_effects[1].editor_value, 4);
    EXPECT_EQ(g_level_effects[1].counter, 0);
    edit(d, 2, k_effect_x_move, {"-2", "40"});
    EXPECT_EQ(g_level_effects[2].direction[0], -2);
    EXPECT_EQ(g_level_effects[2].editor_value, 40);
    EXPECT_EQ(g_level_effects[2].direction[1], 40);
    EXPECT_EQ(g_level_effects[2].direction[2], 0);
    edit(d, 2, k_effect_flashlight, {"7"});
    EXPECT_EQ(g_level_effects[2].direction[0], 7);

    user_choose(d, k_efe_list, 3);
    EXPECT_EQ(field_text(d, k_efe_param + 8), "0.250000");
    edit(d, 3, k_effect_light_pulse, {"0.1", "0.9", "x", "0", "1", "0.5", "0.2", "0.3", "1e-2"});
    EXPECT_FLOAT_EQ(g_level_effects[3].channel[0].lower, 0.1f);
    EXPECT_FLOAT_EQ(g_level_effects[3].channel[0].upper, 0.9f);
    EXPECT_FLOAT_EQ(g_level_effects[3].channel[0].step, 0.0f);
    EXPECT_FLOAT_EQ(g_level_effects[3].channel[2].step, 0.01f);

    // A type combo showing nothing keeps the kind; "Ident:" and "Speed:" are read.
    g_level_effects[0].kind = 77;
    user_choose(d, k_efe_list, 0);
    EXPECT_EQ(get_combo_sel(d, k_efe_type), -1);
    user_edit_text(d, k_efe_speed, "12");
    user_edit_text(d, k_efe_ident, "99999999999");  // held to the 32-bit bound
    user_click(d, k_efe_update);
    EXPECT_EQ(g_level_effects[0].target, 2147483647);
    EXPECT_EQ(g_level_effects[0].kind, 77u);
    EXPECT_EQ(g_level_effects[0].period, 12u);
}

TEST_F(EffectEditor, PrototypesAreAddedRenamedAndRemovedUnlessAnItemUsesThem)
{
    g_efect_proto_count = 3;
    for (int32_t r = 0; r < 3; ++r) {
        init_efect_proto_entry(&g_efect_protos[r]);
        copy_bounded(g_efect_protos[r].name, k_efect_name_size, ("fx" + std::to_string(r)).c_str());
    }
    g_item_proto_count = 2;
    copy_bounded(g_item_protos[1].key_name, sizeof g_item_protos[1].key_name, "torch");
    g_item_protos[1].efect_count = 2;
    g_item_lists[1].efects[0] = {k_efect_add_efect2d, {0, 2}};
    g_item_lists[1].efects[1] = {k_efect_add_efect3d2, {0, 1}};
    const dialog_handle d = open();
    ASSERT_EQ(list_rows(d, k_efe_proto_list), (std::vector<std::string>{"fx0", "fx1", "fx2"}));

    // "Add": an entry of no name, whatever the slot held.
    copy_bounded(g_efect_protos[3].name, k_efect_name_size, "stale");
    user_choose(d, k_efe_proto_list, 0);
    ASSERT_TRUE(user_click(d, k_efe_proto_add));
    EXPECT_EQ(g_efect_proto_count, 4);
    EXPECT_EQ(list_row(d, k_efe_proto_list, 3), "");
    EXPECT_STREQ(g_efect_protos[3].name, "");
    EXPECT_EQ(g_efect_protos[3].slot, k_efect_no_slot);
    EXPECT_TRUE(g_efect_protos_file.changed);
    user_choose(d, k_efe_proto_list, 3);
    EXPECT_EQ(field_text(d, k_efe_proto_name), "");
    user_edit_text(d, k_efe_proto_name, "a_name_longer_than_nineteen");
    user_click(d, k_efe_proto_upd);
    EXPECT_STREQ(g_efect_protos[3].name, "a_name_longer_than_");
    EXPECT_EQ(get_list_sel(d, k_efe_proto_list), 3);

    // Entry 1 is used by the torch: refused with a line naming it.
    g_console_history_count = 0;
    user_choose(d, k_efe_proto_list, 1);
    user_click(d, k_efe_proto_rem);
    EXPECT_EQ(g_efect_proto_count, 4);
    EXPECT_NE(last_console_line().find("torch"), std::string::npos);

    user_choose(d, k_efe_proto_list, 0);
    ASSERT_TRUE(user_click(d, k_efe_proto_rem));
    EXPECT_EQ(g_efect_proto_count, 3);
    EXPECT_EQ(list_rows(d, k_efe_proto_list), (std::vector<std::string>{"fx1", "fx2", "a_name_longer_than_"}));
    EXPECT_STREQ(g_efect_protos[0].name, "fx1");
    EXPECT_EQ(g_item_lists[1].efects[0].args[1], 1);
    EXPECT_EQ(g_item_lists[1].efects[1].args[1], 0);

    while (g_efect_proto_count < k_efect_proto_slots)
        user_click(d, k_efe_proto_add);
    g_console_history_count = 0;
    user_click(d, k_efe_proto_add);
    EXPECT_EQ(g_efect_proto_count, k_efect_proto_slots);
    EXPECT_EQ(g_console_history_count, 1);
}
