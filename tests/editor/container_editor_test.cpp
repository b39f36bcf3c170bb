// The container editor: containers made, filled, emptied, renamed and deleted through the page
// and its two modal dialogs, with the level's references following a deleted container.
#include "tests/editor/table_editor_support.h"

#include "editor/controls/dialog_records.h"
#include "editor/dialogs/container_editor.h"
#include "editor/windows/mode_tabs.h"

#include <functional>
#include <vector>

namespace {

constexpr int32_t k_gold = 2, k_sword = 4, k_ring = 6;

using rows = std::vector<std::vector<std::string>>;

class ContainerEditor : public table_editor_test {
protected:
    void SetUp() override
    {
        table_editor_test::SetUp();
        saved_.keep(g_container_editor_window), saved_.keep(g_container_add_target);
        g_container_editor_window = 0;
        make_item(0, "Stone", k_item_normal);
        make_item(k_gold, "Gold", k_item_gold).price = 1;
        item_proto& sword = make_item(k_sword, "Sword", k_item_medium_weapon);
        sword.damage_type = 1;
        sword.price = 120;
        make_item(k_ring, "Ring", k_item_ring).damage_type = 5;
    }

    dialog_handle open()
    {
        open_container_editor();
        return g_container_editor_window;
    }
    // The cell list's rows from the top.
    static rows cells(dialog_handle d)
    {
        rows out;
        for (const list_view_row& r : find_control(d, k_cont_cells, control_kind::list_view)->view_rows)
            out.push_back(r.cells);
        return out;
    }
    // Answers the next modal dialog with `act` once.
    static void answer(std::function<void(dialog_handle)> act)
    {
        set_modal_responder([act](dialog_handle modal) {
            act(modal);
            return false;
        });
    }
    // "Create new container" with these texts, then OK.
    void make(dialog_handle page, const char* name, const char* width, const char* height)
    {
        answer([=](dialog_handle modal) {
            user_edit_text(modal, k_cont_new_name, name);
            user_edit_text(modal, k_cont_new_width, width);
            user_edit_text(modal, k_cont_new_height, height);
            user_click(modal, k_id_ok);
        });
        user_pick_menu(page, k_cont_menu_new);
    }
    // "Add item to container" for the selected container: item row, number row and, when given,
    // the cell; then OK.
    void add(dialog_handle page, int32_t item, int32_t number_row, int32_t x = -1, int32_t y = -1)
    {
        answer([=](dialog_handle modal) {
            user_choose(modal, k_cont_add_item, item);
            user_choose(modal, k_cont_add_number, number_row);
            if (x >= 0) {
                user_choose(modal, k_cont_add_x, x);
                user_choose(modal, k_cont_add_y, y);
            }
            user_click(modal, k_id_ok);
        });
        user_click(page, k_cont_insert);
    }
};

} // namespace

TEST_F(ContainerEditor, NewContainersTakeTheDefaultsAndRefuseSizesAndSlotsTheTableCannotKeep)
{
    const dialog_handle page = open();
    ASSERT_NE(page, 0u);
    EXPECT_EQ(find_dialog(page)->y, k_tab_window_top);

    // The defaults: "container", 8 x 2, sixteen empty rows.
    answer([](dialog_handle modal) {
        EXPECT_EQ(field_text(modal, k_cont_new_name), "container");
        EXPECT_EQ(field_text(modal, k_cont_new_width), "8");
        EXPECT_EQ(field_text(modal, k_cont_new_height), "2");
        user_click(modal, k_id_ok);
    });
    user_pick_menu(page, k_cont_menu_new);
    ASSERT_EQ(g_level_container_count, 1);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(list_row(page, k_cont_list, 0), "container");
    user_choose(page, k_cont_list, 0);
    EXPECT_EQ(field_text(page, k_cont_width), "8");
    EXPECT_EQ(field_text(page, k_cont_height), "2");
    EXPECT_EQ(get_check(page, k_cont_shop), 0);
    const rows shown = cells(page);
    ASSERT_EQ(shown.size(), 16u);
    for (const auto& row : shown)
        EXPECT_EQ(row, (std::vector<std::string>{"no item in slot", ""}));

    // A side of 0 or above 255 is refused and the dialog stays open; Cancel then changes nothing.
    int32_t passes = 0;
    set_modal_responder([&passes](dialog_handle modal) {
        const char* sizes[][2] = {{"0", "3"}, {"4", "256"}, {"-2", "3"}};
        if (passes < 3) {
            user_edit_text(modal, k_cont_new_width, sizes[passes][0]);
            user_edit_text(modal, k_cont_new_height, sizes[passes][1]);
            user_click(modal, k_id_ok);
            EXPECT_TRUE(dialog_exists(modal));
        } else {
            user_click(modal, k_id_cancel);
        }
        return ++passes <= 3;
    });
    user_pick_menu(page, k_cont_menu_new);
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(g_level_container_count, 1);
    EXPECT_EQ(get_list_count(page, k_cont_list), 1);

    // A long name keeps 24 characters; 255 x 255 is the largest container.
    make(page, "a-very-long-container-name-indeed", "255", "255");
    ASSERT_EQ(g_level_container_count, 2);
    EXPECT_STREQ(g_containers[1].name, "a-very-long-container-na");
    EXPECT_EQ(container_cells(&g_containers[1]), 255u * 255u);

    // At 100 level containers "new" refuses without opening the dialog.
    for (int32_t slot = 2; slot < k_level_container_slots; ++slot)
        ASSERT_TRUE(container_init(&g_containers[slot], "filler", 1, 1, 0));
    g_level_container_count = k_level_container_slots;
    bool opened = false;
    answer([&opened](dialog_handle) { opened = true; });
    user_pick_menu(page, k_cont_menu_new);
    EXPECT_FALSE(opened);
    EXPECT_EQ(g_level_container_count, k_level_container_slots);
    EXPECT_TRUE(console_says("100"));

    user_close(page);
    EXPECT_EQ(g_container_editor_window, 0u);
}

TEST_F(ContainerEditor, ItemsArePutIntoCellsAndEmptiedWithTheirFlagBytesAndPrices)
{
    const dialog_handle page = open();
    make(page, "chest", "2", "2");
    user_choose(page, k_cont_list, 0);
    container& c = g_containers[0];

    // The first empty cell is preselected; gold keeps its number's low eight bits.
    answer([](dialog_handle modal) {
        EXPECT_EQ(get_combo_count(modal, k_cont_add_item), 7);
        EXPECT_EQ(get_combo_sel(modal, k_cont_add_item), 0);
        EXPECT_EQ(get_combo_count(modal, k_cont_add_x), 2);
        EXPECT_EQ(get_combo_count(modal, k_cont_add_number), 500);
        EXPECT_EQ(get_combo_sel(modal, k_cont_add_x), 0);
        EXPECT_EQ(get_combo_sel(modal, k_cont_add_y), 0);
        user_choose(modal, k_cont_add_item, k_gold);
        user_choose(modal, k_cont_add_number, 299);  // "300"
        user_click(modal, k_id_ok);
    });
    user_click(page, k_cont_insert);
    EXPECT_EQ(c.items[0], k_gold);
    EXPECT_EQ(c.flags[0], 44);
    EXPECT_EQ(c.prices[0], 1);
    // Any other item stores its damage type whatever the number says, at its price.
    add(page, k_sword, 9);
    EXPECT_EQ(c.items[1], k_sword);
    EXPECT_EQ(c.flags[1], 1);
    EXPECT_EQ(c.prices[1], 120);
    add(page, k_ring, 0, 1, 1);
    EXPECT_EQ(cells(page), (rows{{"Gold", "44x"}, {"Sword", "1x"}, {"no item in slot", ""}, {"Ring", "5x"}}));

    // An occupied cell is replaced; Cancel changes nothing.
    add(page, k_ring, 0, 1, 0);
    EXPECT_EQ(c.items[1], k_ring);
    answer([](dialog_handle modal) {
        user_choose(modal, k_cont_add_item, k_gold);
        user_click(modal, k_id_cancel);
    });
    user_click(page, k_cont_insert);
    EXPECT_EQ(c.items[2], k_container_cell_empty);

    // A full container preselects no cell.
    add(page, 0, 0);
    EXPECT_EQ(c.items[2], 0);
    answer([](dialog_handle modal) {
        EXPECT_EQ(get_combo_sel(modal, k_cont_add_x), -1);
        EXPECT_EQ(get_combo_sel(modal, k_cont_add_y), -1);
        user_click(modal, k_id_ok);
    });
    user_click(page, k_cont_insert);
    EXPECT_EQ(c.items[0], k_gold);

    // "Delete" empties the selected cell; its price and flag byte stay.
    g_map_dirty = 0;
    user_choose(page, k_cont_cells, 0);
    user_click(page, k_cont_delete);
    EXPECT_EQ(c.items[0], k_container_cell_empty);
    EXPECT_EQ(c.flags[0], 44);
    EXPECT_EQ(c.prices[0], 1);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(cells(page).size(), 4u);
    EXPECT_EQ(cells(page)[0][0], "no item in slot");
    user_click(page, k_cont_delete);  // no row selected after the refill
    EXPECT_EQ(c.items[1], k_ring);

    // The list allows one selected row; an item outside the item table shows "?".
    user_toggle_row(page, k_cont_cells, 1);
    user_toggle_row(page, k_cont_cells, 3);
    EXPECT_EQ(get_listview_selection(page, k_cont_cells), 3);
    c.items[3] = 999;
    fill_container_list(page);
    EXPECT_EQ(cells(page)[3], (std::vector<std::string>{"?", "5x"}));

    // Without a selected container "Insert" clears the target and opens nothing.
    set_list_sel(page, k_cont_list, -1);
    bool opened = false;
    answer([&opened](dialog_handle) { opened = true; });
    user_click(page, k_cont_insert);
    EXPECT_FALSE(opened);
    EXPECT_EQ(g_container_add_target, k_container_no_target);
}

TEST_F(ContainerEditor, UpdateRenamesAndSetsTheShopFlagAndDeleteRenumbersTheLevelsReferences)
{
    const dialog_handle page = open();
    for (const char* name : {"A", "B", "C"})
        make(page, name, "3", "1");
    ASSERT_EQ(g_level_container_count, 3);

    user_choose(page, k_cont_list, 1);
    user_edit_text(page, k_cont_name, "Bakery");
    user_click(page, k_cont_shop);
    g_map_dirty = 0;
    user_click(page, k_cont_update);
    EXPECT_STREQ(g_containers[1].name, "Bakery");
    EXPECT_EQ(g_containers[1].shop, 1u);
    EXPECT_EQ(g_containers[1].width, 3);
    EXPECT_EQ(list_row(page, k_cont_list, 1), "Bakery");
    EXPECT_EQ(get_list_sel(page, k_cont_list), 1);
    EXPECT_EQ(g_map_dirty, 1u);
    user_pick_menu(page, k_cont_menu_update);  // does nothing

    // Entities linked to B and C, events opening A, B and C.
    g_entity_count = 3;
    g_entities[0].container = 3;
    g_entities[1].container = 2;
    g_entities[2].container = 0;
    g_event_count = 1;
    event_record& e = g_events[0];
    e.action_count = 3;
    for (int32_t a = 0; a < 3; ++a) {
        e.action_kind[a] = k_act_open_container;
        e.action_number[a][0] = a;
    }
    e.action_kind[3] = k_act_open_container;  // past the count, as "new" leaves it: run all the same
    e.action_number[3][0] = 2;

    user_choose(page, k_cont_cells, 0);
    user_pick_menu(page, k_cont_menu_delete);
    ASSERT_EQ(g_level_container_count, 2);
    EXPECT_STREQ(g_containers[1].name, "C");
    EXPECT_EQ(get_list_count(page, k_cont_list), 2);
    EXPECT_EQ(list_row(page, k_cont_list, 1), "C");
    EXPECT_EQ(cells(page).size(), 3u);  // the cell list keeps its rows
    EXPECT_EQ(g_entities[0].container, 2);
    EXPECT_STREQ(g_containers[g_entities[0].container - 1].name, "C");
    EXPECT_EQ(g_entities[1].container, 0);
    EXPECT_EQ(g_entities[2].container, 0);
    EXPECT_EQ(e.action_number[0][0], 0);
    EXPECT_EQ(e.action_number[1][0], -1);
    EXPECT_EQ(e.action_number[2][0], 1);
    EXPECT_EQ(e.action_number[3][0], 1);
    EXPECT_TRUE(console_says("ine levely"));

    // The last container goes too; without a selection nothing happens.
    user_choose(page, k_cont_list, 1);
    user_pick_menu(page, k_cont_menu_delete);
    EXPECT_EQ(g_level_container_count, 1);
    EXPECT_EQ(g_containers[1].items, nullptr);
    user_pick_menu(page, k_cont_menu_delete);
    EXPECT_EQ(g_level_container_count, 1);
}
