// The "ChMain" page over the character table: fields stored in their widths, the inventory
// through the "Add item" dialog, and the roster's new and delete.
#include "tests/editor/char_editors_support.h"

#include "characters/char_inventory.h"
#include "items/items.h"
#include "tests/support/item_table_guard.h"

namespace {

class CharEditor : public char_editors_test {
protected:
    dialog_handle open_page()
    {
        create_char_editor();
        return g_char_editor_window;
    }
    // The next "Add item" dialog chooses the item row, the amount and the location row.
    void add_with(int32_t item_row, const char* amount, int32_t location_row)
    {
        set_modal_responder([=](dialog_handle d) {
            if (item_row >= 0)
                user_choose(d, k_aid_items, item_row);
            user_edit_text(d, k_aid_number, amount);
            user_choose(d, k_aid_location, location_row);
            user_click(d, k_aid_add);
            return false;
        });
    }
    std::vector<std::string> inventory_row(dialog_handle d, int32_t row)
    {
        const control_record* c = find_control(d, k_che_inventory, control_kind::list_view);
        return c && row < int32_t(c->view_rows.size()) ? c->view_rows[size_t(row)].cells : std::vector<std::string>{};
    }
};

TEST_F(CharEditor, UpdateStoresEachFieldInItsWidthRefillsHitPointsAndTheRefreshShowsIt)
{
    add_character("first");
    const int32_t slot = add_character("second");
    char_record& c = g_chars[slot];
    c.ai_distance = 10, c.ai_distance2 = 20, c.hp = 1, c.kind = 9;  // a kind no row shows
    const dialog_handle page = open_page();
    EXPECT_EQ(list_rows(page, k_che_chars), (std::vector<std::string>{"0-first", "1-second"}));
    ASSERT_TRUE(user_choose(page, k_che_chars, slot));
    EXPECT_EQ(get_combo_sel(page, k_che_kind), -1);

    user_edit_text(page, k_che_name, "guard");
    user_edit_text(page, k_che_description, "Gate guard");
    user_edit_text(page, k_che_melee, "200");
    user_edit_text(page, k_che_melee + 2, "7 feet");  // ranged: leading digits
    user_edit_text(page, k_che_melee + 4, "many");    // magic: no number gives 0
    user_edit_text(page, k_che_ai_distance, "300");
    user_edit_text(page, k_che_scale_x, "1.25");
    user_edit_text(page, k_che_bleed, "258");
    user_click(page, k_che_random_move);
    ASSERT_TRUE(user_click(page, k_che_update));

    EXPECT_STREQ(c.name, "guard");
    EXPECT_STREQ(c.display_name, "Gate guard");
    EXPECT_EQ(int8_t(c.melee_base), -56);
    EXPECT_EQ(c.melee, c.melee_base);
    EXPECT_EQ(c.ranged_base, 7);
    EXPECT_EQ(c.magic_base, 0);
    EXPECT_EQ(c.ai_distance, 300);
    EXPECT_EQ(c.ai_distance2, 300);
    EXPECT_FLOAT_EQ(c.scale_x, 1.25f);
    EXPECT_EQ(c.bleed_type, 2);
    EXPECT_EQ(c.random_move, 1u);
    EXPECT_EQ(c.kind, 9);  // the drop-down showed no row
    EXPECT_EQ(c.hp, c.hp_max);
    EXPECT_EQ(list_rows(page, k_che_chars)[1], "1-guard");
    EXPECT_EQ(get_list_sel(page, k_che_chars), slot);

    user_choose(page, k_che_chars, 0);
    ASSERT_TRUE(user_choose(page, k_che_chars, slot));
    EXPECT_EQ(field_text(page, k_che_melee), "-56");
    EXPECT_EQ(field_text(page, k_che_melee + 1), "-56");
    EXPECT_EQ(field_text(page, k_che_scale_x), "1.25");

    // "roll" only fills the fields: each skill 3 to 18 in both of its fields.
    user_click(page, k_che_roll);
    for (int32_t k = 0; k < 4; ++k) {
        const std::string rolled = field_text(page, k_che_melee + 2 * k);
        EXPECT_GE(std::stoi(rolled), 3);
        EXPECT_LE(std::stoi(rolled), 18);
        EXPECT_EQ(field_text(page, k_che_melee + 2 * k + 1), rolled);
    }
    EXPECT_EQ(int8_t(c.melee_base), -56);
}

TEST_F(CharEditor, TheInventoryListFollowsTheRecordThroughAddAndRemove)
{
    item_table_guard items;
    make_item(0, "sword", "Sword", 0);
    make_item(1, "ring", "Ring", 0);
    make_item(2, "focus", "Focus", 0);
    const int32_t slot = add_character("keeper");
    char_record& c = g_chars[slot];
    const dialog_handle page = open_page();
    user_choose(page, k_che_chars, slot);

    add_with(2, "1", k_aid_attunement_row);
    ASSERT_TRUE(user_click(page, k_che_add));
    ASSERT_EQ(c.inv_count, 1);
    EXPECT_EQ(c.inv_location[0], k_inv_attunement);
    EXPECT_EQ(inventory_row(page, 0), (std::vector<std::string>{"Focus", "attunement", "1"}));
    add_with(0, "3", 0);
    user_click(page, k_che_add);
    ASSERT_EQ(c.inv_count, 2);
    // The last entry on top.
    EXPECT_EQ(inventory_row(page, 0), (std::vector<std::string>{"Sword", "inventory1", "3"}));
    EXPECT_EQ(inventory_row(page, 1), (std::vector<std::string>{"Focus", "attunement", "1"}));
    user_choose(page, k_che_chars, slot);
    EXPECT_EQ(inventory_row(page, 1)[1], "attunement");

    // No item chosen, or Cancel: nothing changes.
    add_with(-1, "5", 3);
    user_click(page, k_che_add);
    set_modal_responder([](dialog_handle d) { return user_click(d, k_id_cancel), false; });
    user_click(page, k_che_add);
    EXPECT_EQ(c.inv_count, 2);

    // REMOVE of the bottom row takes entry 0; the list stays in step for the next REMOVE.
    user_choose(page, k_che_inventory, 1);
    ASSERT_TRUE(user_click(page, k_che_remove));
    EXPECT_EQ(last_console_line(), "0");
    ASSERT_EQ(c.inv_count, 1);
    EXPECT_EQ(c.inv_item[0], 0);
    user_choose(page, k_che_inventory, 0);
    user_click(page, k_che_remove);
    EXPECT_EQ(c.inv_count, 0);
    EXPECT_EQ(find_control(page, k_che_inventory, control_kind::list_view)->view_rows.size(), 0u);

    // A full inventory refuses ADD before asking.
    c.inv_count = k_inventory_entries;
    set_modal_responder([](dialog_handle) -> bool { ADD_FAILURE() << "asked"; return false; });
    user_click(page, k_che_add);
    EXPECT_NE(last_console_line().find("inventar je plny"), std::string::npos);
}

TEST_F(CharEditor, DeleteMovesLaterSlotsAndTheirReferencesDownAndRefusesPlacedOrPlayerSlots)
{
    for (const char* key : {"a", "b", "c", "d", "e"})
        add_character(key);
    g_player_char = 4;
    g_chars[1].object = 7;  // in the world
    g_char_placements.count = 3;
    g_char_placements.entries[0].char_slot = 2;
    g_char_placements.entries[1].char_slot = 3;
    g_char_placements.entries[2].char_slot = 1;
    const dialog_handle page = open_page();

    for (int32_t refused : {1, 4}) {
        user_choose(page, k_che_chars, refused);
        user_pick_menu(page, k_che_menu_delete);
        EXPECT_EQ(g_char_count, 5u);
        EXPECT_NE(last_console_line().find("nemozno zmazat"), std::string::npos);
    }
    user_choose(page, k_che_chars, 2);
    ASSERT_TRUE(user_pick_menu(page, k_che_menu_delete));
    EXPECT_EQ(g_char_count, 4u);
    EXPECT_EQ(list_rows(page, k_che_chars), (std::vector<std::string>{"0-a", "1-b", "3-d", "4-e"}));
    EXPECT_EQ(g_player_char, 3u);
    EXPECT_EQ(g_char_placements.entries[0].char_slot, -1);
    EXPECT_EQ(g_char_placements.entries[1].char_slot, 2);
    EXPECT_EQ(g_char_placements.entries[2].char_slot, 1);
    EXPECT_EQ(g_chars[2].slot, 2);
    EXPECT_EQ(g_chars[3].slot, 3);
    user_choose(page, k_che_chars, 2);  // row 2 now stands for slot 2, the old "d"
    EXPECT_EQ(field_text(page, k_che_name), "d");

    // "new" appends "NEW", selected; at 255 characters it is refused with a line.
    ASSERT_TRUE(user_pick_menu(page, k_che_menu_new));
    EXPECT_EQ(g_char_count, 5u);
    EXPECT_EQ(get_list_sel(page, k_che_chars), 4);
    EXPECT_EQ(field_text(page, k_che_name), "NEW");
    g_char_count = k_char_slots;
    user_pick_menu(page, k_che_menu_new);
    EXPECT_EQ(g_char_count, uint32_t(k_char_slots));
    EXPECT_EQ(last_console_line(), "tabulka postav je plna");
}

TEST_F(CharEditor, SaveAndLoadGoThroughTheCharacterFileOfTheSelectedSlot)
{
    add_character("other");
    const int32_t slot = add_character("wanderer");
    g_chars[slot].gold = 77;
    const dialog_handle page = open_page();
    user_pick_menu(page, k_che_menu_save);  // nothing selected: nothing asked
    user_choose(page, k_che_chars, slot);
    answer_with((folder_->path() / "w.chr").string());
    ASSERT_TRUE(user_pick_menu(page, k_che_menu_save));
    g_chars[slot].gold = 1;
    user_choose(page, k_che_chars, 0);
    user_choose(page, k_che_chars, slot);
    answer_with((folder_->path() / "w.chr").string());
    ASSERT_TRUE(user_pick_menu(page, k_che_menu_load));
    EXPECT_EQ(g_chars[slot].gold, 77);
    EXPECT_EQ(field_text(page, k_che_gold), "1");  // not shown until the row is chosen again
    user_choose(page, k_che_chars, 0);
    user_choose(page, k_che_chars, slot);
    EXPECT_EQ(field_text(page, k_che_gold), "77");
}

} // namespace
