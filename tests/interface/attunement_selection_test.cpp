#include "tests/interface/attunement_fixture.h"

#include "characters/char_inventory.h"
#include "core/input_state.h"
#include "platform/recording_device.h"

namespace {

// The window's origin at 1024 x 768: x0 212, y0 184, the right panel from x 522.
constexpr float k_x0 = 212.0f, k_y0 = 184.0f, k_x1 = 522.0f;

class attunement_selection_test : public attunement_test {
protected:
    void SetUp() override
    {
        attunement_test::SetUp();
        saved_.keep(g_press_latches);
        g_interface.attunement_select_open = 1;
        g_lights[3].state = k_light_on;
        g_light_count = 4;
        device_.light_enable(3, true);
        g_ambient_color = {0.2f, 0.4f, 0.6f};
        set_device_ambient_light();
    }
    // One frame; the lights and the ambient light are as they were before it, whatever it did.
    void frame()
    {
        device_.clear_recording();
        const uint32_t ambient = device_.get_render_state(render_state::ambient);
        end_released_presses();  // as each input poll does
        update_attunement_selection();
        EXPECT_TRUE(device_.is_light_enabled(3));
        EXPECT_EQ(device_.get_render_state(render_state::ambient), ambient);
    }
    void click_at(float x, float y) { click(x, y, [&] { frame(); }); }
    // The centre of row k of the left list and of the right one.
    static screen_point learned_row(int k) { return {k_x0 + 80.0f, k_y0 + 63.0f + 12.0f * float(k)}; }
    static screen_point active_row(int k) { return {k_x1 + 100.0f, k_y0 + 75.0f + 16.0f * float(k)}; }
    static std::vector<int16_t> active()
    {
        return {hero().active_attunements, hero().active_attunements + hero().active_attunement_count};
    }
};

TEST_F(attunement_selection_test, ListsLearnedAttunementsInTwentyFiveRowsAndScrollsLongerListsByWheelAndArrows)
{
    learned(1, 25);
    attunement(26, 99);          // not learned yet
    attunement(27, 1999, 5);     // no such tier
    g_interface.side_panel_open = g_interface.quest_log_open = g_interface.attunement_panel_open = 1;
    g_interface.character_panel_open = 1;
    g_attunement_select_scroll = 7;  // kept from a longer list: 25 entries still show from the first
    frame();
    EXPECT_EQ(g_interface.side_panel_open + g_interface.quest_log_open + g_interface.attunement_panel_open, 0u);
    EXPECT_EQ(g_interface.character_panel_open, 0u);
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    EXPECT_EQ(drawn_at_x(int(k_x0) + 27), 25u);
    EXPECT_TRUE(centres_of(device_, g_interface.list_widgets[2]).empty());
    EXPECT_EQ(centres_of(device_, g_interface.list_widgets[1]).size(), 4u);  // slot boxes at level 1

    learned(28, 5);
    g_attunement_select_scroll = 50;  // held to the last place first
    g_mouse_state.z = -120;
    for (int turn = 0; turn < 8; ++turn)
        frame();
    EXPECT_EQ(g_attunement_select_scroll, 5);
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[2]), {{k_x0 + 300.0f, k_y0 + 234.0f},
                                                                          {k_x0 + 300.0f, k_y0 + 348.0f}}));
    g_mouse_state.z = 120;
    frame();
    g_mouse_state.z = 0;
    EXPECT_EQ(g_attunement_select_scroll, 4);
    for (int press = 0; press < 2; ++press)
        click_at(k_x0 + 293.0f, k_y0 + 358.0f);  // the down arrow, once per press, not past the end
    EXPECT_EQ(g_attunement_select_scroll, 5);
    click_at(k_x0 + 293.0f, k_y0 + 224.0f);
    EXPECT_EQ(g_attunement_select_scroll, 4);
}

TEST_F(attunement_selection_test, AddsAppendsOrSupersedesInPlaceAFullListTakesNothingAndActiveRowsAreRemoved)
{
    learned(1, 30);
    attunement(40, 100);
    attunement(41, 100);
    g_item_protos[5].attunement_link = 41;  // 5 supersedes 41
    activate({40, 41, 900});                // 900 lies outside the table
    g_attunement_select_scroll = 3;         // rows from attunement 4
    frame();
    EXPECT_EQ(drawn_at_x(int(k_x1) + 47), 2u);

    click_at(learned_row(1).first, learned_row(1).second);
    EXPECT_EQ(g_release_waits, 1);
    EXPECT_EQ(active(), (std::vector<int16_t>{40, 5, 900}));
    EXPECT_EQ(g_attunement_select_scroll, 3);

    g_mouse_screen_x = learned_row(0).first, g_mouse_screen_y = learned_row(0).second;
    g_mouse_left = 1;
    frame();
    EXPECT_EQ(active(), (std::vector<int16_t>{40, 5, 900, 4}));
    EXPECT_EQ(g_attunement_select_scroll, 2);
    EXPECT_EQ(g_message_window.word_count, 0);
    EXPECT_EQ(g_message_shown, 0u);

    click_at(learned_row(0).first, learned_row(0).second);  // four of four slots taken
    EXPECT_EQ(active(), (std::vector<int16_t>{40, 5, 900, 4}));

    click_at(active_row(1).first, active_row(1).second);
    EXPECT_EQ(active(), (std::vector<int16_t>{40, 900, 4}));
    click_at(active_row(1).first, active_row(1).second);  // an id outside the table goes too
    EXPECT_EQ(active(), (std::vector<int16_t>{40, 4}));
}

TEST_F(attunement_selection_test, ClosingWaitsAndResyncsTheHeroAndTheFirstChoiceHoldsWhileItCanBeChosen)
{
    learned(1, 3);
    attunement(175, 100);
    g_interface.attunement_select_first = 1;
    frame();
    EXPECT_EQ(drawn(), "299,211,ffdcdc 239,241,cdcdcd 239,253,cdcdcd 239,265,cdcdcd 239,277,cdcdcd 609,211,ffdcdc");
    click_at(k_x1 + 298.0f, k_y0 + 20.0f);   // the close box
    click_at(k_x1 + 290.0f, k_y0 + 374.0f);  // the close button
    EXPECT_EQ(g_interface.attunement_select_open, 1u);
    EXPECT_EQ(g_release_waits, 0);

    click_at(learned_row(3).first, learned_row(3).second);
    EXPECT_EQ(active(), (std::vector<int16_t>{175}));
    EXPECT_EQ(hero().inv_count, 0);
    click_at(k_x1 + 290.0f, k_y0 + 374.0f);
    EXPECT_EQ(g_release_waits, 2);
    EXPECT_EQ(g_interface.attunement_select_open, 0u);
    ASSERT_EQ(hero().inv_count, 1);
    EXPECT_EQ(hero().inv_item[0], 175);
    EXPECT_EQ(hero().inv_location[0], 77);
    frame();
    EXPECT_TRUE(device_.draws().empty());

    // Opened for the first choice when 175 cannot be chosen, the window still closes.
    active_attunement_remove_at(&hero(), 0);
    g_item_protos[175].damage = 99;
    g_interface.attunement_select_open = 1;
    click_at(k_x1 + 298.0f, k_y0 + 20.0f);
    EXPECT_EQ(g_interface.attunement_select_open, 0u);

    g_interface.attunement_select_open = 1;
    g_text_viewer_open = 1;
    frame();
    EXPECT_TRUE(device_.draws().empty());
}

} // namespace
