#include "tests/interface/log_panels_fixture.h"

#include "characters/char_table.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "interface/interface_images.h"
#include "interface/interface_links.h"
#include "interface/quest_log_panel.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "script/text_window.h"

namespace {

int g_waits = 0;

class quest_log_panel_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        saved_.keep(g_chars[0]), saved_.keep(g_char_count), saved_.keep(g_player_char), saved_.keep(g_quests);
        saved_.keep(g_quest_count), saved_.keep(g_ui_text[8]), saved_.keep(g_ui_text[9]);
        saved_.keep(g_hud_click_latch);
        saved_.keep(g_interface_links), saved_.keep(g_message_window), saved_.keep(g_message_shown);
        std::memset(&g_chars[0], 0, sizeof g_chars[0]);
        g_char_count = 1, g_player_char = 0, g_quest_count = 0, g_hud_click_latch = 0;
        std::strcpy(g_ui_text[8], "Open");
        std::strcpy(g_ui_text[9], "Done");
        std::fill(std::begin(g_interface.panel_tiles), std::end(g_interface.panel_tiles), k_no_texture_slot);
        g_interface.panel_tiles[k_panel_layouts[0].first_tile] = tile_ = texture("tile");
        for (int k = 0; k < 10; ++k)
            g_interface.list_widgets[k] = texture("widget" + std::to_string(k));
        g_interface.side_panel_open = g_interface.character_panel_open = 0;
        g_interface.quest_log_open = 1;
        g_interface.quest_scroll_top = 0;
        g_waits = 0;
        g_interface_links = interface_links{};
        g_interface_links.wait_until_released = [](bool (*held)()) {
            ++g_waits;
            g_mouse_left = 0;
            return !held();
        };
    }
    // Quest `index` with that title, added to the hero's list.
    static void quest(uint8_t index, const std::string& title, bool completed = false)
    {
        quest_record& q = g_quests[index];
        q = quest_record{};
        std::snprintf(q.name, sizeof q.name, "q%d", int(index));
        std::strncpy(q.title, title.c_str(), sizeof q.title);
        q.completed = completed;
        g_quest_count = std::max<uint8_t>(g_quest_count, uint8_t(index + 1));
        g_chars[0].quest_bytes[++g_chars[0].quest_bytes[0]] = index;
    }
    void frame()
    {
        device_.clear_recording();
        update_quest_log_panel();
    }
    void press_at(float x, float y)
    {
        g_mouse_screen_x = x, g_mouse_screen_y = y;
        g_mouse_left = 1;
        frame();
        frame();  // held: acts once
        g_mouse_left = 0;
        frame();
    }
    uint16_t tile_ = 0;
};

TEST_F(quest_log_panel_test, BesideOpenPanelsLongTitlesCutTheTextWindowFittedAndTheCloseBoxReturnsTheHeldItem)
{
    quest(0, "short");
    quest(1, std::string(30, 'L'));  // 300 pixels
    quest(2, "done", true);
    g_chars[0].quest_bytes[++g_chars[0].quest_bytes[0]] = 200;  // past the quest count: skipped
    g_interface.side_panel_open = g_interface.character_panel_open = 1;
    frame();
    EXPECT_TRUE(places(centres_of(device_, tile_), {{662.0f, 77.0f}}));
    std::vector<drawn_string> texts = strings();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].x, 727);
    EXPECT_EQ(texts[0].y, 72);
    EXPECT_EQ(texts[0].colour, 0xFFDCDCu);
    EXPECT_EQ(texts[1].bytes, 5u);
    EXPECT_EQ(texts[1].x, 675);
    EXPECT_EQ(texts[1].colour, 0xCDCDCDu);
    EXPECT_EQ(texts[2].bytes, 25u);
    EXPECT_EQ(texts[2].y, 108);  // 22 bytes of 220 pixels, "..."
    EXPECT_EQ(texts[4].bytes, 4u);
    EXPECT_EQ(texts[4].y, 267);
    EXPECT_TRUE(centres_of(device_, g_interface.list_widgets[2]).empty());  // no bar for three

    g_interface.character_panel_open = 0;
    g_mouse_screen_x = 415.0f, g_mouse_screen_y = 100.0f;  // over the first open row
    frame();
    EXPECT_TRUE(places(centres_of(device_, tile_), {{347.0f, 77.0f}}));
    EXPECT_EQ(strings()[1].colour, 0xFFFFFFu);
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    char markup[4096];  // composed again at the height its layout reached
    show_quest_text(&g_quests[0], markup, sizeof markup, 320.0f);
    text_window guess;
    reset_text_window(&guess);
    parse_text_window(&guess, markup);
    const float height = run_text_window(&guess) + 32.0f - guess.y1;
    reset_text_window(&guess);
    ASSERT_GE(g_message_window.word_count, 5);
    EXPECT_EQ(std::string(g_message_window.words[4]), std::to_string(height));
    EXPECT_NE(height, 320.0f);

    // The close box waits for the release and puts the held item back in the first free slot.
    g_chars[0].inv_count = 1;
    g_chars[0].inv_location[0] = k_code_none;
    g_interface.held_item = 0, g_interface.held_origin = 3, g_interface.side_panel_page = 2;
    press_at(315.0f + 300.0f, 65.0f);
    EXPECT_EQ(g_waits, 1);
    EXPECT_EQ(g_interface.quest_log_open, 0u);
    EXPECT_EQ(g_chars[0].inv_location[0], 0u);
    EXPECT_EQ(g_interface.held_origin, k_code_none);
}

TEST_F(quest_log_panel_test, TenQuestsBringTheBarWhoseDownArrowStopsAtOne)
{
    for (uint8_t k = 0; k < 9; ++k)
        quest(k, std::string(size_t(k + 1), 'q'));
    frame();
    EXPECT_TRUE(centres_of(device_, g_interface.list_widgets[2]).empty());
    quest(9, std::string(10, 'q'));
    frame();
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[2]), {{300.0f, 105.0f}, {300.0f, 219.0f}}));
    for (int press = 0; press < 2; ++press)
        press_at(293.0f, 229.0f);
    EXPECT_EQ(g_interface.quest_scroll_top, 1u);
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[4]), {{293.0f, 206.0f}}));
    ASSERT_EQ(strings().size(), 11u);  // two headings and nine rows, quest 1 at the top
    EXPECT_EQ(strings()[1].bytes, 2u);
    for (int press = 0; press < 2; ++press)
        press_at(293.0f, 95.0f);
    EXPECT_EQ(g_interface.quest_scroll_top, 0u);
}

} // namespace
