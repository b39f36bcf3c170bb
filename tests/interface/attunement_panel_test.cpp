#include "tests/interface/attunement_fixture.h"

#include "core/input_state.h"
#include "items/item_tooltips.h"
#include "script/script_services.h"

#include <filesystem>
#include <fstream>

namespace {

uint8_t g_page_while_waiting = 0;

class attunement_panel_test : public attunement_test {
protected:
    void SetUp() override
    {
        attunement_test::SetUp();
        g_interface.attunement_panel_open = 1;
    }
    void frame()
    {
        device_.clear_recording();
        update_attunement_panel();
    }
};

TEST_F(attunement_panel_test, PagesListLearnedAndActiveAttunementsBesideOpenPanelsAndTheButtonsWaitForTheRelease)
{
    attunement(1, 100);        // exactly the threshold: listed
    attunement(2, 199, 1);     // one point short of tier 1's
    attunement(3, 300, 2);
    attunement(4, 1999, 3);    // no such tier
    attunement(5, 1999).deleted = 1;
    attunement(6, 100);
    attunement(7, 100).requirement_count = 1;
    g_item_lists[7].requirements[0].code = 1;  // a weapon held, which the hero has not
    activate({6, 7, 900});                     // 900 lies outside the table

    g_interface.side_panel_open = 1;
    frame();
    EXPECT_EQ(drawn(), "412,72,ffdcdc 342,92,cdcdcd 342,104,cdcdcd");
    g_interface.character_panel_open = 1;
    g_mouse_screen_x = 680.0f, g_mouse_screen_y = 98.0f;  // over the first row
    frame();
    EXPECT_EQ(drawn(), "727,72,ffdcdc 657,92,ffffff 657,104,cdcdcd");
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    EXPECT_TRUE(places(centres_of(device_, g_interface.save_load_buttons[10]), {{795.0f, 417.0f}}));

    g_interface_links.wait_until_released = [](bool (*held)()) {
        ++g_release_waits;
        g_page_while_waiting = g_interface.attunement_page;
        g_mouse_left = 0;
        return !held();
    };
    click(795.0f, 417.0f, [&] { frame(); });
    EXPECT_EQ(g_release_waits, 1);
    EXPECT_EQ(g_page_while_waiting, 0u);  // the page turns once the button is let go
    EXPECT_EQ(g_interface.attunement_page, 1u);
    EXPECT_TRUE(places(centres_of(device_, g_interface.save_load_buttons[13]), {{795.0f, 417.0f}}));
    EXPECT_EQ(drawn(), "717,72,ffdcdc 657,92,ffffff 657,104,7878f0");  // unmet: red 240, green 120, blue 120

    g_notices.attunement_seen = 0;
    click(930.0f, 65.0f, [&] { frame(); });
    EXPECT_EQ(g_release_waits, 2);
    EXPECT_EQ(g_interface.attunement_panel_open, 0u);
    EXPECT_EQ(g_notices.attunement_seen, 1u);
}

TEST_F(attunement_panel_test, ThirtyLearnedWheelDownToFiveAndTheTooltipFitsItsText)
{
    learned(1, 30);
    frame();
    EXPECT_EQ(drawn_at_x(27), 25u);
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[2]), {{300.0f, 279.0f}, {300.0f, 393.0f}}));
    g_wheel_down = 1;
    for (int turn = 0; turn < 8; ++turn)
        frame();
    g_wheel_down = 0;
    EXPECT_EQ(g_attunement_panel_scroll, 5);
    EXPECT_EQ(strings()[1].bytes, 2u);  // "A6" on top
    g_wheel_up = 1;
    frame();
    g_wheel_up = 0;
    EXPECT_EQ(g_attunement_panel_scroll, 4);

    std::filesystem::create_directories("data/attunements/eng");
    std::ofstream("data/attunements/eng/a5.txt") << std::string(40, 'x') << " ^l second ^l third ^l fourth";
    char markup[4096];
    draw_attunement_tooltip(5, markup, sizeof markup, 320.0f);
    replace_text_message(markup);
    const std::string fitted = std::to_string(run_text_window(&g_message_window) + 32.0f - g_message_window.y1);
    reset_text_window(&g_message_window);
    g_mouse_screen_x = 100.0f, g_mouse_screen_y = 98.0f;  // row 0: attunement 5
    frame();
    ASSERT_GE(g_message_window.word_count, 5);
    EXPECT_EQ(std::string(g_message_window.words[4]), fitted);
    EXPECT_NE(fitted, "320.000000");
}

} // namespace
