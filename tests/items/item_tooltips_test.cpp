#include "items/item_tooltips.h"

#include "items/item_properties.h"
#include "items/item_tooltip_fixture.h"
#include "script/text_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr int16_t k_sword = 1, k_attunement = 2, k_mail = 3, k_shield = 4, k_potion = 5;

const std::string k_line = " ^c 1 1 1 1 ";
std::string label(const char* name, const std::string& value)
{
    return k_line + name + " ^c 0 1 0 1 ^set_x 200 " + value + " ^l ";
}

class ItemTooltips : public item_tooltip_test {
protected:
    void SetUp() override
    {
        item_tooltip_test::SetUp();
        item_proto& sword = make_item(k_sword, "sword", "Sword", k_item_fast_weapon);
        sword.damage = 10;
        sword.critical_chance = 5;
        sword.critical_multiplier = 1.5f;
        sword.price = 7;
        make_item(k_attunement, "blade_art", "Blade Art", k_item_attunement).size = 1;
        g_attunement_thresholds[0] = 50, g_attunement_thresholds[1] = 200, g_attunement_thresholds[2] = 1000;
    }
    void require(int16_t id, std::initializer_list<item_property> list)
    {
        g_item_protos[id].requirement_count = int16_t(list.size());
        int i = 0;
        for (const item_property& p : list)
            g_item_lists[id].requirements[i++] = p;
    }
};

TEST_F(ItemTooltips, WeaponShowsItsValuesAndShopPrices)
{
    const std::string head = "^window 0 0 600 320.000000 ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 Sword ^l ^l " +
                             label("U45", "U60");
    const std::string values = label("U48", "U70") + label("U23", "7 - 12 U28") + label("U49", "5%") +
                               label("U50", "x1.50");
    // No shop open: no prices; the entry's damage byte replaces the item's own.
    EXPECT_EQ(tooltip(k_sword, 3, 5), head + values + label("U51", "U42"));
    EXPECT_NE(tooltip(k_sword, 3).find(label("U51", "U122")), std::string::npos);

    // A shop: what it pays for a carried item, and what a cell costs, red when unaffordable.
    open_container(2, 2, true);
    g_interface.shop_buy_factor = 50;
    g_interface.shop_sell_factor = 150;
    EXPECT_EQ(tooltip(k_sword, 20, 5), head + label("U46", "3 U30") + values + label("U51", "U42"));
    hero_->gold = 9;
    EXPECT_EQ(tooltip(k_sword, 120, 5),
              head + " ^c 1 1 1 1 U47 ^c 1 0 0 1 ^set_x 200 10 U30 ^l  ^c 1 0 0 1 " + values + label("U51", "U42"));
    hero_->gold = 10;
    EXPECT_EQ(tooltip(k_sword, 149, 5), head + label("U47", "10 U30") + values + label("U51", "U42"));
    g_containers[0].shop = 0;
    EXPECT_EQ(tooltip(k_sword, 120, 5), head + values + label("U51", "U42"));

    // Outside the table: nothing.
    EXPECT_EQ(tooltip(-1, 3), "");
    EXPECT_EQ(tooltip(g_item_proto_count, 3), "");
}

TEST_F(ItemTooltips, ArmourShieldAndQuickItemValues)
{
    item_proto& mail = make_item(k_mail, "mail", "Mail", k_item_armor);
    mail.armour_bonus = 6;
    mail.size = 1;
    EXPECT_NE(tooltip(k_mail, 3).find(label("U48", "U121") + label("U53", "U76") + label("U54", "6") +
                                      label("U55", "500")),
              std::string::npos);
    make_item(k_shield, "shield", "Shield", k_item_shield).size = 2;
    EXPECT_NE(tooltip(k_shield, 3).find(label("U48", "U75") + label("U52", "x2")), std::string::npos);
    make_item(k_potion, "potion", "Potion", k_item_quick).damage = 3;
    EXPECT_NE(tooltip(k_potion, 3).find(label("U45", "U67") + label("U56", "3")), std::string::npos);
    g_item_protos[k_shield].size = 7;  // words of a size outside the tables are empty
    EXPECT_NE(tooltip(k_shield, 3).find(label("U48", "") + label("U52", "")), std::string::npos);
}

TEST_F(ItemTooltips, AttunementProgressAndRequirements)
{
    item_proto& art = g_item_protos[k_attunement];
    const std::string learning = " ^l ^c 1 1 1 1 U57 ^c 0 1 0 1 ^set_x 200 ";
    g_item_protos[k_sword].attunement_link = 0;
    EXPECT_EQ(tooltip(k_sword, 16).find("U57"), std::string::npos);

    g_item_protos[k_sword].attunement_link = k_attunement;
    art.damage = 50;
    EXPECT_NE(tooltip(k_sword, 16).find(learning + "U40 (25%) ^l "), std::string::npos);

    // Fire element and no shield: the hero has no fire weapon, so worn it is red.
    require(k_attunement, {{k_req_element, {0}}, {k_req_no_shield, {}}});
    EXPECT_NE(tooltip(k_sword, 16).find(learning + " ^c 1 0 0 1 U41U91, U82 (25% - 50)  ^l "), std::string::npos);
    EXPECT_NE(tooltip(k_sword, 3).find(learning + "U41U91, U82 (25% - 50)  ^l "), std::string::npos);

    art.damage = 200;
    EXPECT_NE(tooltip(k_sword, 16).find(" ^l ^c 1 1 1 1 U58 ^c 0 1 0 1 ^set_x 200 Blade Art ^l "), std::string::npos);

    // A tier outside 0 to 2, a link to another class, a link outside the table: no line.
    art.damage = 50;
    art.size = 3;
    EXPECT_EQ(tooltip(k_sword, 16).find("U57"), std::string::npos);
    art.size = 1;
    art.item_class = k_item_gem;
    EXPECT_EQ(tooltip(k_sword, 16).find("U57"), std::string::npos);
    g_item_protos[k_sword].attunement_link = int16_t(g_item_proto_count);
    EXPECT_EQ(tooltip(k_sword, 16).find("U57"), std::string::npos);
}

TEST_F(ItemTooltips, DescriptionsAreCutAndStayInTheirFolder)
{
    std::filesystem::create_directories("data/predmety/eng");
    write_text("data/predmety/eng/sword.txt", "A fine blade.\r\n \t\r\n");
    const std::string plain = tooltip(k_sword, 3);
    const std::string end = " ^l  ^c 1 1 1 1 ^l A fine blade.";
    EXPECT_EQ(plain.substr(plain.size() - end.size()), end);

    std::string long_text;
    while (long_text.size() < 3000)
        long_text += "word" + std::to_string(long_text.size()) + " ";
    write_text("data/predmety/eng/sword.txt", long_text);
    const std::string cut = tooltip(k_sword, 3);
    std::string expected = long_text.substr(0, k_item_description_max);
    while (expected.back() == ' ')
        expected.pop_back();
    EXPECT_EQ(cut.substr(cut.size() - expected.size() - 1), " " + expected);
    auto window = std::make_unique<text_window>();
    parse_text_window(window.get(), cut.c_str());
    ASSERT_GT(window->word_count, 0);
    EXPECT_EQ(std::string(window->words[window->word_count - 1]), expected.substr(expected.rfind(' ') + 1));

    // A key that leaves its folder reads nothing.
    copy_bounded(g_item_protos[k_sword].key_name, sizeof g_item_protos[k_sword].key_name, "../eng/sword");
    EXPECT_EQ(tooltip(k_sword, 3).find("word0"), std::string::npos);

    // A small buffer is cut and terminated, never overrun.
    char small[48];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(draw_item_tooltip(k_sword, small, 40, 320.0f, 3, -1), 39u);
    EXPECT_EQ(small[39], 0);
    EXPECT_EQ(small[40], '#');
    EXPECT_EQ(draw_item_tooltip(k_sword, small, 1, 320.0f, 3, -1), 0u);
    EXPECT_EQ(small[0], 0);
}

TEST_F(ItemTooltips, AttunementTooltipNeedsItsDescription)
{
    const std::string head = "^window 0 0 400 300.000000 ^mouse_center ^gl_a 0.6 ";
    auto attunement_tooltip = [] {
        char buffer[4096];
        draw_attunement_tooltip(k_attunement, buffer, sizeof buffer, 300.0f);
        return std::string(buffer);
    };
    EXPECT_EQ(attunement_tooltip(), head);
    std::filesystem::create_directories("data/attunements/eng");
    write_text("data/attunements/eng/blade_art.txt", "Cuts deep.\r\n");
    EXPECT_EQ(attunement_tooltip(),
              head + " ^c 1 1 1 1 ^l Cuts deep. ^l  ^l ^c 1 1 1 1 U39 ^c 0 1 0 1 ^set_x 150 U40 ^l ");
    require(k_attunement, {{k_req_weapon, {}}});
    EXPECT_EQ(attunement_tooltip(),
              head + " ^c 1 1 1 1 ^l Cuts deep. ^l  ^l ^c 1 1 1 1 U39 ^c 0 1 0 1 ^set_x 150  ^c 1 0 0 1 U81 ^l ");
}

} // namespace
