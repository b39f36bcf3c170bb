// The item editor: ADD, REM and UPD over the item table, the class filters, the fields shown and
// written back, the attunement links, and the REQUIREMENTS and EFECTS lists with the rows every
// effect family composes from its stored arguments.
#include "tests/editor/monster_item_editor_support.h"

#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/item_effect_params.h"
#include "items/item_editing.h"
#include "items/item_properties.h"

#include <cstring>
#include <vector>

namespace {

class ItemEditor : public monster_item_editor_test {
protected:
    dialog_handle open()
    {
        open_editor_windows();
        user_pick_menu(g_command_window, k_menu_item);
        return g_item_editor_window;
    }
    // Chooses the list row of the item id; false when it is not listed.
    static bool choose_item(dialog_handle d, int32_t id)
    {
        for (int32_t row = 0; row < get_list_count(d, k_itm_list); ++row)
            if (find_item_by_list_row(list_row(d, k_itm_list, row).c_str()) == id)
                return user_choose(d, k_itm_list, row);
        return false;
    }
};

using rows_t = std::vector<std::string>;

} // namespace

TEST_F(ItemEditor, AddTakesTheLowestRemovedSlotAndRowsActOnTheItemTheyWereMadeFor)
{
    make_item("Sword", 2);
    make_item("Old", 6).deleted = 1;
    make_item("Ring", 10);
    make_item("Gone", 0).deleted = 1;
    add_item_effect(1, 55, {0, 0, 0, 0, 0, 0});
    const dialog_handle d = open();
    EXPECT_EQ(list_rows(d, k_itm_list), (rows_t{"0-Sword", "2-Ring"}));

    // A filter, then ADD: the row shows whatever the filter.
    user_click(d, k_itm_filter + 3);  // "armor"
    EXPECT_EQ(list_rows(d, k_itm_list), rows_t{});
    user_edit_text(d, k_itm_name, "bow");
    user_edit_text(d, k_itm_desc, "A bow");
    user_edit_text(d, k_itm_price, "70000");
    user_choose(d, k_itm_class, 4);
    user_click(d, k_itm_add);
    EXPECT_EQ(list_rows(d, k_itm_list), rows_t{"1-new item"});
    const item_proto& reused = g_item_protos[1];
    EXPECT_EQ(reused.deleted, 0u);
    EXPECT_STREQ(reused.display_name, "new item");
    EXPECT_STREQ(reused.key_name, "bow");
    EXPECT_EQ(reused.item_class, 4);
    EXPECT_EQ(reused.price, int16_t(70000 - 65536));
    EXPECT_EQ(reused.efect_count, 1);  // the slot keeps its lists
    EXPECT_EQ(reused.item_class, 4);
    user_click(d, k_itm_add);
    user_click(d, k_itm_add);  // no removed slot left: a new one at the end
    EXPECT_EQ(g_item_proto_count, 5);
    EXPECT_EQ(list_rows(d, k_itm_list), (rows_t{"1-new item", "3-new item", "4-new item"}));
    EXPECT_EQ(g_item_protos[4].efect_count, 0);
    EXPECT_EQ(g_item_protos[4].attunement_link, -1);

    // Two "new item"s act apart: UPD and REM of the second row change item 3 only.
    user_choose(d, k_itm_list, 1);
    user_edit_text(d, k_itm_desc, "Longbow");
    user_click(d, k_itm_upd);
    EXPECT_STREQ(g_item_protos[3].display_name, "Longbow");
    EXPECT_STREQ(g_item_protos[1].display_name, "new item");
    EXPECT_EQ(list_rows(d, k_itm_list), (rows_t{"1-new item", "3-Longbow", "4-new item"}));
    EXPECT_EQ(get_list_sel(d, k_itm_list), 1);
    user_choose(d, k_itm_list, 2);
    user_click(d, k_itm_rem);
    EXPECT_EQ(g_item_protos[4].deleted, 1u);
    EXPECT_EQ(g_item_protos[1].deleted, 0u);
    EXPECT_EQ(list_rows(d, k_itm_list), (rows_t{"1-new item", "3-Longbow"}));
    EXPECT_EQ(find_item_by_list_row("3-new item"), -1);  // a stale row resolves to nothing

    // A full table with nothing removed refuses ADD with a console line.
    g_item_proto_count = k_item_slots;
    for (int32_t id = 0; id < k_item_slots; ++id)
        g_item_protos[id].deleted = 0;
    user_click(d, k_itm_add);
    EXPECT_EQ(g_item_proto_count, k_item_slots);
    EXPECT_NE(last_console_line().find("1000"), std::string::npos);
    EXPECT_EQ(get_list_count(d, k_itm_list), 2);
}

TEST_F(ItemEditor, FiltersListTheClassesOfTheFirstCheckedButton)
{
    const uint8_t classes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17, 18, 19, 20, 21, 26};
    for (uint8_t c : classes)
        make_item(("c" + std::to_string(c)).c_str(), c);
    const dialog_handle d = open();
    EXPECT_EQ(get_list_count(d, k_itm_list), int32_t(std::size(classes)));
    struct expectation {
        int filter;
        rows_t listed;
    };
    const expectation cases[] = {
        {13, {"5-c5"}},                                // "focus/staff/rod" alone
        {4, {"8-c8", "10-c10"}},                       // "equipment" wins over the weapons' button
        {8, {"8-c8", "10-c10"}},                       // "efect" comes later in the order
        {1, {"1-c1", "2-c2", "3-c3", "4-c4", "5-c5"}}, // "all weapons" comes first
        {3, {"1-c1", "2-c2", "3-c3", "4-c4", "5-c5"}}, // "armor" replaces "equipment", after "all weapons"
    };
    for (const expectation& e : cases) {
        user_click(d, k_itm_filter + e.filter);
        EXPECT_EQ(list_rows(d, k_itm_list), e.listed) << e.filter;
    }
    user_click(d, k_itm_filter + 0);  // "all" lists 0 and 21 to 26 too
    EXPECT_EQ(get_list_count(d, k_itm_list), int32_t(std::size(classes)));
}

TEST_F(ItemEditor, ChoosingShowsTheFieldsAndAnUneditedUpdateChangesOnlyWhatTheyRound)
{
    make_item("Aura", 20);                       // 0
    item_proto& gone = make_item("Gone", 20);    // 1: a removed attunement
    gone.deleted = 1;
    item_proto& blade = make_item("Blade", 2);   // 2
    make_item("Aura", 20);                       // 3: a second attunement of the same name
    blade.attunement_link = 3;
    blade.critical_multiplier = 1.23456f;
    blade.attack_delay = 14;
    blade.damage = -5;
    blade.weapon_category = 6;
    blade.size = 9;  // no such row: kept by UPD
    blade.destroy_after = 1;
    blade.container_width = 200;
    std::memset(blade.sound_name, 's', 31);
    std::memset(blade.hit_sound, 'h', 29);
    copy_bounded(blade.image_name, sizeof blade.image_name, "blade_icon");
    item_proto& ring = make_item("Ring", 10);    // 4
    ring.attunement_link = 1;                    // not listed
    const dialog_handle d = open();
    EXPECT_EQ(get_combo_count(d, k_itm_attunement), 2);
    EXPECT_EQ(combo_row(d, k_itm_attunement, 1), "3-Aura");

    ASSERT_TRUE(choose_item(d, 2));
    EXPECT_EQ(field_text(d, k_itm_multiplier), "1.23");
    EXPECT_EQ(field_text(d, k_itm_uses), "14");
    EXPECT_EQ(field_text(d, k_itm_damage), "-5");
    EXPECT_EQ(field_text(d, k_itm_container_x), "200");
    EXPECT_EQ(combo_shown(d, k_itm_category), "magic");
    EXPECT_EQ(get_combo_sel(d, k_itm_size), -1);
    EXPECT_EQ(combo_shown(d, k_itm_attunement), "3-Aura");  // the linked one, not the first of its name
    EXPECT_EQ(get_check(d, k_itm_destroy), 1);
    item_proto expected = blade;
    expected.critical_multiplier = 1.23f;
    user_click(d, k_itm_upd);
    EXPECT_EQ(std::memcmp(&blade, &expected, sizeof expected), 0);

    // Edited fields reach the item in their width; the link follows the chosen row.
    user_edit_text(d, k_itm_uses, "300");
    user_edit_text(d, k_itm_multiplier, "2.5x");
    user_choose(d, k_itm_attunement, 0);
    user_click(d, k_itm_no_container);
    user_click(d, k_itm_upd);
    EXPECT_EQ(blade.attack_delay, uint8_t(300 - 256));
    EXPECT_FLOAT_EQ(blade.critical_multiplier, 2.5f);
    EXPECT_EQ(blade.attunement_link, 0);
    EXPECT_EQ(blade.no_loss, 1u);

    // A link the box does not list shows no selection and UPD makes it -1.
    ASSERT_TRUE(choose_item(d, 4));
    EXPECT_EQ(get_combo_sel(d, k_itm_attunement), -1);
    user_click(d, k_itm_upd);
    EXPECT_EQ(ring.attunement_link, -1);
}

TEST_F(ItemEditor, RequirementsShowTheirElementAndAListHoldsSixteen)
{
    make_item("Charm", 10);
    add_item_requirement(0, 13, 2, -1, -1);
    add_item_requirement(0, 14, 7, -1, -1);  // no such element
    add_item_requirement(0, 40, 0, 0, 0);    // no such code
    const dialog_handle d = open();
    ASSERT_TRUE(choose_item(d, 0));
    EXPECT_EQ(list_rows(d, k_itm_req_list), (rows_t{"Element Air", "Element Focus ?", "? "}));

    // The element box is offered by codes 13 and 14 only.
    user_choose(d, k_itm_req_code, 14);
    EXPECT_EQ(get_combo_count(d, k_itm_req_param), 4);
    EXPECT_EQ(combo_shown(d, k_itm_req_param), "Fire");
    user_choose(d, k_itm_req_param, 3);
    user_click(d, k_itm_req_add);
    EXPECT_EQ(list_row(d, k_itm_req_list, 3), "Element Focus Earth   ");
    const item_property& added = g_item_lists[0].requirements[3];
    EXPECT_EQ(added.code, 14);
    EXPECT_EQ(added.args[0], 3);
    EXPECT_EQ(added.args[1], -1);
    user_choose(d, k_itm_req_code, 2);
    EXPECT_EQ(get_combo_count(d, k_itm_req_param), 0);
    for (int k = 0; k < 14; ++k)
        user_click(d, k_itm_req_add);
    EXPECT_EQ(g_item_protos[0].requirement_count, 16);
    EXPECT_EQ(get_list_count(d, k_itm_req_list), 16);  // the 17th adds no row
    user_choose(d, k_itm_req_code, 0);
    user_click(d, k_itm_req_add);  // "Any" adds nothing
    EXPECT_EQ(g_item_protos[0].requirement_count, 16);

    // Removing every entry leaves an empty list; a later ADD starts a new one.
    user_choose(d, k_itm_req_code, 2);
    for (int k = 0; k < 16; ++k) {
        user_choose(d, k_itm_req_list, 0);
        user_click(d, k_itm_req_rem);
    }
    EXPECT_EQ(g_item_protos[0].requirement_count, 0);
    user_click(d, k_itm_req_rem);  // nothing selected: nothing happens
    user_click(d, k_itm_req_add);
    EXPECT_EQ(g_item_protos[0].requirement_count, 1);
    EXPECT_EQ(g_item_lists[0].requirements[0].code, 2);
}

// For each effect family: the boxes a code offers, the rows chosen in them, the arguments stored
// and the row composed again when the item is chosen.
TEST_F(ItemEditor, EveryEffectFamilyStoresItsRowsAndComposesItsRowBack)
{
    make_item("Relic", 0);
    copy_bounded(g_efect_protos[0].name, sizeof g_efect_protos[0].name, "fire");
    copy_bounded(g_efect_protos[1].name, sizeof g_efect_protos[1].name, "glow");
    g_efect_proto_count = 2;
    copy_bounded(g_spell_protos[0].name, sizeof g_spell_protos[0].name, "Bolt");
    copy_bounded(g_spell_protos[1].name, sizeof g_spell_protos[1].name, "Heal");
    g_spell_proto_count = 2;
    const char* models[] = {"ahead_helm", "wr_axe", "wl_shield", "ahead_hood"};
    for (uint32_t r = 0; r < 4; ++r) {
        g_chardata[r] = chardata_entry{};
        copy_bounded(g_chardata[r].name, sizeof g_chardata[r].name, models[r]);
        g_chardata[r].loaded = 1;
    }
    g_chardata_count = 4;
    struct family {
        int code;
        std::vector<int> boxes;   // rows offered per box
        std::vector<int> chosen;  // rows chosen, -1 keeps the first selection
        std::vector<int> stored;  // arguments 1 to 6
        const char* row;          // composed again
    };
    const family cases[] = {
        {1, {341}, {60}, {60, -1, -1, -1, -1, -1}, "base damage add 1.00x"},
        {2, {141, 15}, {0, 14}, {0, 14, -1, -1, -1, -1}, "base damage on creature add -2.00x "},
        {3, {18, 100, 8}, {1, 4, 4}, {1, 4, 4, -1, -1, -1}, "critical chance add 1d6 + 4 fire"},
        {6, {201}, {-1}, {100, -1, -1, -1, -1, -1}, "slashing damage resistance add 0%"},
        {18, {50}, {49}, {49, -1, -1, -1, -1, -1}, "set ac 49"},
        {24, {16, 19, 3}, {5, 9, 2}, {5, 9, 3, -1, -1, -1}, "change 3d part ATTACK1 AHEAD ahead_hood"},
        {24, {16, 19, 2}, {15, 8, 0}, {15, 8, -1, -1, -1, -1}, "change 3d part SPEC1 WEAPONR nothing"},
        {25, {19, 41, 41, 41, 41}, {18, 0, -1, 40, 1}, {18, 0, 20, 40, 1, -1}, "change 3d part color SPEC4 0.00 1.00 2.00 0.05"},
        {26, {41, 41, 41, 41}, {-1, -1, -1, 3}, {20, 20, 20, 3, -1, -1}, "change char color 1.00 1.00 1.00 0.15"},
        {27, {19, 16}, {1, 15}, {1, 15, -1, -1, -1, -1}, "change skin BODY skin 15"},
        {28, {19, 2, 1600}, {2, 1, 1599}, {2, 1, 1599, -1, -1, -1}, "add efect3d LARM efect glow vertex 1599"},
        {29, {2, 2, 100}, {1, 0, -1}, {1, 0, 20, -1, -1, -1}, "add efect2d above efect fire scale 1.000000"},
        {31, {18, 200}, {17, 0}, {17, 0, -1, -1, -1, -1}, "add mana 3d4 + -100"},
        {33, {19, 3}, {0, 2}, {0, 3, -1, -1, -1, -1}, "change char part HEAD ahead_hood"},
        {37, {2}, {1}, {1, -1, -1, -1, -1, -1}, "learn spell Heal"},
        {39, {29, 29, 199}, {0, 28, 198}, {0, 28, 198, -1, -1, -1}, "earthquake when hit x: 1 - y: 29 - time: 1990"},
        {46, {141, 8}, {140, 6}, {140, 6, -1, -1, -1, -1}, "damage type add 5.00x Air"},
        {58, {8}, {4}, {4, -1, -1, -1, -1, -1}, "change damage type Fire"},
        {66, {341, 10, 10, 2}, {340, 2, 9, 0}, {340, 2, 9, 0, -1, -1}, "add residual when critical hit on foe 15.00x rand(2,9) Bolt"},
        {55, {}, {}, {-1, -1, -1, -1, -1, -1}, "stun enemy "},
    };
    const dialog_handle d = open();
    ASSERT_TRUE(choose_item(d, 0));
    int32_t entry = 0;
    for (const family& f : cases) {
        SCOPED_TRACE(f.row);
        user_choose(d, k_itm_eff_code, f.code);
        for (int k = 0; k < k_effect_param_boxes; ++k) {
            const int offered = k < int(f.boxes.size()) ? f.boxes[size_t(k)] : 0;
            // The model box of code 24 follows the body part chosen in the second box.
            if (k < int(f.chosen.size()) && f.chosen[size_t(k)] >= 0)
                user_choose(d, k_itm_eff_param + k, f.chosen[size_t(k)]);
            EXPECT_EQ(get_combo_count(d, k_itm_eff_param + k), offered) << "box " << k;
        }
        if (entry == 16) {
            g_item_protos[0].efect_count = 0;  // room for the rest
            g_item_lists[0] = item_lists{};
            entry = 0;
        }
        user_click(d, k_itm_eff_add);
        ASSERT_EQ(g_item_protos[0].efect_count, entry + 1);
        const item_property& e = g_item_lists[0].efects[entry];
        EXPECT_EQ(e.code, f.code);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(e.args[k], f.stored[size_t(k)]) << "argument " << k + 1;
        EXPECT_EQ(effect_row_text(e), f.row);
        ++entry;
    }
    // The rows ADD appended show the boxes' texts; choosing the item again composes them.
    EXPECT_EQ(list_row(d, k_itm_eff_list, get_list_count(d, k_itm_eff_list) - 1), "stun enemy       ");
    ASSERT_TRUE(choose_item(d, 0));
    EXPECT_EQ(get_list_count(d, k_itm_eff_list), entry);
    EXPECT_EQ(list_row(d, k_itm_eff_list, entry - 1), "stun enemy ");

    // Stored values outside their tables show "?".
    item_property odd{};
    odd.code = 28;
    odd.args[0] = 19, odd.args[1] = 2, odd.args[2] = -1;
    EXPECT_EQ(effect_row_text(odd), "add efect3d ? ? ?");
    odd.code = 24, odd.args[0] = 0, odd.args[1] = 0, odd.args[2] = 4;
    EXPECT_EQ(effect_row_text(odd), "change 3d part STAND1 HEAD ?");
    odd.code = 69;
    EXPECT_EQ(effect_row_text(odd), "? ");

    // A full list refuses the 17th effect and adds no row.
    g_item_protos[0].efect_count = 16;
    user_choose(d, k_itm_eff_code, 1);
    ASSERT_TRUE(choose_item(d, 0));
    const int32_t shown = get_list_count(d, k_itm_eff_list);
    EXPECT_EQ(shown, 16);
    user_click(d, k_itm_eff_add);
    EXPECT_EQ(g_item_protos[0].efect_count, 16);
    EXPECT_EQ(get_list_count(d, k_itm_eff_list), shown);
}
