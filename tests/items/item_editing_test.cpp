// The item editor's operations on the item table: list rows resolved to the item they were made
// for, and the REQUIREMENTS and EFECTS lists growing to 16 and shrinking in place.
#include "items/item_editing.h"
#include "items/items.h"
#include "tests/support/saved_globals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class ItemEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_item_protos), saved_.keep(g_item_lists), saved_.keep(g_item_proto_count);
        g_item_proto_count = 0;
        for (const char* name : {"Axe", "Axe", "", "Tall-Hat"})
            add(name);
    }
    static void add(const char* name)
    {
        item_proto& item = g_item_protos[g_item_proto_count];
        item = item_proto{};
        std::strncpy(item.display_name, name, sizeof item.display_name - 1);
        g_item_lists[g_item_proto_count++] = item_lists{};
    }
    saved_globals saved_;
};

} // namespace

TEST_F(ItemEditing, RowsResolveToTheirOwnIdOnlyWhenTheNameStillMatches)
{
    g_item_protos[1].deleted = 1;
    EXPECT_EQ(find_item_by_list_row("0-Axe"), 0);
    EXPECT_EQ(find_item_by_list_row("1-Axe"), 1);  // the same name, its own item, removed or not
    EXPECT_EQ(find_item_by_list_row("2-"), 2);
    EXPECT_EQ(find_item_by_list_row("3-Tall-Hat"), 3);
    EXPECT_EQ(find_item_by_list_row("3-Tall"), -1);   // the name differs
    EXPECT_EQ(find_item_by_list_row("0-axe"), -1);    // case counts
    EXPECT_EQ(find_item_by_list_row("4-Axe"), -1);    // beyond the count
    EXPECT_EQ(find_item_by_list_row("0003-Tall-Hat"), -1);  // the "-" after the 4th character
    EXPECT_EQ(find_item_by_list_row("-Axe"), -1);
    EXPECT_EQ(find_item_by_list_row("Axe"), -1);
    EXPECT_EQ(find_item_by_list_row(""), -1);
    EXPECT_EQ(find_item_by_list_row(nullptr), -1);
    std::memset(g_item_protos[0].display_name, 'x', sizeof g_item_protos[0].display_name);  // unterminated
    EXPECT_EQ(find_item_by_list_row(("0-" + std::string(100, 'x')).c_str()), -1);
}

TEST_F(ItemEditing, ListsHoldSixteenEntriesAndCloseUpOnRemoval)
{
    for (int k = 0; k < 17; ++k)
        add_item_effect(0, k + 1, {k, 1, 2, 3, 4, 5});
    ASSERT_EQ(g_item_protos[0].efect_count, 16);
    EXPECT_EQ(g_item_lists[0].efects[15].code, 16);
    EXPECT_EQ(g_item_lists[0].efects[15].args[5], 5);
    EXPECT_EQ(g_item_lists[0].efects[15].args[6], 0);
    remove_item_effect(0, 0);
    remove_item_effect(0, 16);  // beyond the list
    EXPECT_EQ(g_item_protos[0].efect_count, 15);
    EXPECT_EQ(g_item_lists[0].efects[0].code, 2);
    EXPECT_EQ(g_item_lists[0].efects[14].code, 16);
    EXPECT_EQ(g_item_lists[0].efects[15].code, 0);

    add_item_requirement(1, 13, 2, -1, -1);
    remove_item_requirement(1, 0);
    remove_item_requirement(1, 0);  // an empty list stays empty
    EXPECT_EQ(g_item_protos[1].requirement_count, 0);
    g_item_protos[2].requirement_count = -4;  // a damaged count counts as empty
    add_item_requirement(2, 5, 0, 0, 0);
    EXPECT_EQ(g_item_protos[2].requirement_count, 1);
    add_item_requirement(7, 5, 0, 0, 0);  // no such item
    add_item_requirement(-1, 5, 0, 0, 0);
    EXPECT_EQ(g_item_proto_count, 4);
}
