#include "interface/side_panel_tooltips.h"

#include "core/input_state.h"
#include "interface/held_item.h"
#include "items/item_tooltip_fixture.h"
#include "core/game_globals.h"
#include "script/script_services.h"
#include "script/text_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr int16_t k_sword = 1, k_gold = 2;

class SidePanelTooltips : public item_tooltip_test {
protected:
    void SetUp() override
    {
        item_tooltip_test::SetUp();
        saved_.keep(g_message_window), saved_.keep(g_message_shown), saved_.keep(g_dialogue_running);
        saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y);
        g_dialogue_running = 0;
        reset_text_window(&g_message_window);
        parse_text_window(&g_message_window, "as it was");
        item_proto& sword = make_item(k_sword, "sword", "Sword", k_item_medium_weapon);
        sword.damage = 10;
        make_item(k_gold, "gold", "Gold", k_item_gold);
    }

    // The message window's words, joined by blanks.
    static std::string shown()
    {
        std::string text;
        for (int i = 0; i < g_message_window.word_count; ++i)
            text += (i ? " " : "") + std::string(g_message_window.words[i]);
        return text;
    }
    static bool shows(const std::string& part) { return shown().find(part) != std::string::npos; }
};

TEST_F(SidePanelTooltips, PurseCountsPiecesInsideTheGoldSquare)
{
    g_mouse_screen_x = 260.0f, g_mouse_screen_y = 45.0f + 270.0f;
    hero_->gold = 1;
    show_purse_tooltip();
    EXPECT_TRUE(shows("^mouse_center ^gl_a 0.6 1 U29")) << shown();
    EXPECT_EQ(std::string(g_message_window.words[0]), "^window");
    for (int gold : {0, 2}) {
        hero_->gold = gold;
        show_purse_tooltip();
        EXPECT_TRUE(shows(std::to_string(gold) + " U30")) << shown();
    }
    reset_text_window(&g_message_window);
    parse_text_window(&g_message_window, "as it was");
    for (float x : {250.0f, 282.0f}) {  // the square's edges are outside
        g_mouse_screen_x = x;
        show_purse_tooltip();
        EXPECT_EQ(shown(), "as it was");
    }
}

TEST_F(SidePanelTooltips, SlotsOnlyWhileNothingIsHeldCellsAlways)
{
    equip(*hero_, k_sword, 3, 4);
    equip(*hero_, k_sword, 22, 5);  // the last entry at a location is the one described
    container& box = open_container(3, 2, false);
    box.items[4] = k_sword;
    box.flags[4] = 6;
    box.items[5] = k_gold;
    box.flags[5] = 25;

    show_slot_tooltip(22);
    EXPECT_TRUE(shows("7 - 12 U28")) << shown();
    EXPECT_TRUE(shows("U51 ^c 0 1 0 1 ^set_x 200 U42")) << shown();

    // Empty slots and cells, the hero figure, nothing, an id past the table, a cell past the grid.
    parse_text_window(&g_message_window, "as it was");
    box.items[0] = uint16_t(g_item_proto_count);
    for (uint8_t code : {uint8_t(5), uint8_t(27), uint8_t(100), uint8_t(103), uint8_t(106), uint8_t(149),
                         uint8_t(154), k_code_hero, k_code_none})
        show_slot_tooltip(code);
    EXPECT_EQ(shown(), "as it was");

    // Something on the cursor: slots say nothing, cells still do.
    g_interface.held_origin = 3;
    g_interface.held_item = 0;
    show_slot_tooltip(22);
    EXPECT_EQ(shown(), "as it was");
    show_slot_tooltip(104);
    EXPECT_TRUE(shows("U51 ^c 0 1 0 1 ^set_x 200 U43")) << shown();
    show_slot_tooltip(105);
    EXPECT_TRUE(shows("^window 10 0 60 30 ^mouse_center ^gl_a 0.6 25 Gold")) << shown();

    // The second window's cells count from 150.
    g_interface.second_container_open = 1;
    g_interface.second_container_id = 0;
    show_slot_tooltip(154);
    EXPECT_TRUE(shows("U43")) << shown();
}

TEST_F(SidePanelTooltips, ItemWindowFitsTheHeightTheLayoutReached)
{
    equip(*hero_, k_sword, 3, 0);
    std::filesystem::create_directories("data/predmety/eng");
    write_text("data/predmety/eng/sword.txt", std::string(40, 'x') + " ^l second line ^l third line");

    char markup[8192];
    draw_item_tooltip(k_sword, markup, sizeof markup, 320.0f, 3, 0);
    reset_text_window(&g_message_window);
    show_text_message(markup);
    const float height = run_text_window(&g_message_window) + 32.0f - g_message_window.y1;
    const std::string expected = std::to_string(height);  // "%f"

    show_slot_tooltip(3);
    ASSERT_GE(g_message_window.word_count, 5);
    EXPECT_EQ(std::string(g_message_window.words[4]), expected);
    EXPECT_NE(expected, "320.000000");
    EXPECT_TRUE(shows("third line"));
}

} // namespace
