#include "tests/interface/log_panels_fixture.h"

#include "platform/recording_device.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "interface/message_log_window.h"
#include "platform/key_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class message_log_window_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        if (IsSkipped())
            return;
        saved_.keep(g_message_log), saved_.keep(g_message_log_tab_latch), saved_.keep(g_message_log_height_latch);
        g_message_log.count = 0;
        g_message_log_tab_latch = g_message_log_height_latch = 0;
        for (uint16_t& slot : g_interface.text_frame)
            slot = k_no_texture_slot;
        init_message_log(&g_message_log);
    }
    // Line k of `count` lines has k + 1 bytes, so each drawn string tells which line it is.
    static void fill(int count, uint8_t colour)
    {
        for (int k = 0; k < count; ++k)
            log_add_line(&g_message_log, colour, "%s", std::string(size_t(k % 40 + 1), 'a').c_str());
    }
    void frame()
    {
        clear_draws();
        draw_message_log(&g_message_log);
    }
};

TEST_F(message_log_window_test, BottomStripCyclesFourHeightsAndLinesSitNewestLowest)
{
    EXPECT_EQ(g_message_log.window_shown, 1u);
    EXPECT_EQ(g_message_log.y1, 628.0f);
    EXPECT_EQ(g_message_log.y2, 724.0f);
    log_add_line(&g_message_log, 0, "old");
    log_add_line(&g_message_log, 7, "%s", std::string(60, 'w').c_str());  // wider than the box
    log_add_line(&g_message_log, 1, "new");
    frame();
    const std::vector<drawn_string> lines = strings();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].bytes, 3u);
    EXPECT_EQ(lines[0].x, 25);
    EXPECT_EQ(lines[0].y, 705);
    EXPECT_EQ(lines[0].colour, 0x64FFFFu);
    EXPECT_EQ(lines[1].bytes, 60u);  // drawn whole
    EXPECT_EQ(lines[1].y, 693);
    EXPECT_EQ(lines[1].colour, 0xC8C8C8u);  // an unknown colour byte draws grey
    EXPECT_EQ(lines[2].y, 681);

    // With three lines the arrows do not scroll.
    g_key_state[k_key_up] = k_key_down_bit;
    for (g_ticks = 1; g_ticks < 40; ++g_ticks)
        frame();
    g_key_state[k_key_up] = 0;
    EXPECT_EQ(g_message_log.view_offset, 0u);

    g_mouse_screen_x = 100.0f, g_mouse_screen_y = 715.0f;  // the bottom strip
    const float tops[] = {564.0f, 500.0f, 436.0f, 628.0f};
    for (int click = 0; click < 4; ++click) {
        g_message_log.view_offset = 1;
        g_interface.mouse_over_ui = 0;
        g_mouse_left = 1;
        frame();
        frame();  // still held: no second step
        g_mouse_left = 0;
        frame();
        EXPECT_EQ(g_message_log.y1, tops[click]) << "click " << click;
        EXPECT_EQ(g_message_log.size_step, (click + 1) % 4);
        EXPECT_EQ(g_message_log.view_offset, 0u);
        EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    }
}

TEST_F(message_log_window_test, ThirtyLinesScrollBackTwentyFourAtMostOnceEveryFourTicks)
{
    fill(30, 2);
    g_key_state[k_key_up] = k_key_down_bit;
    std::vector<uint32_t> step_ticks;
    for (g_ticks = 1; g_ticks < 400; ++g_ticks) {
        const uint32_t before = g_message_log.view_offset;
        frame();
        if (g_message_log.view_offset != before)
            step_ticks.push_back(g_ticks);
    }
    g_key_state[k_key_up] = 0;
    EXPECT_EQ(g_message_log.view_offset, 24u);
    ASSERT_EQ(step_ticks.size(), 24u);
    for (size_t k = 1; k < step_ticks.size(); ++k)
        EXPECT_GT(step_ticks[k] - step_ticks[k - 1], 4u);

    // The oldest six lines show, line 5 lowest, line 0 at the top, in red.
    const std::vector<drawn_string> lines = strings();
    ASSERT_EQ(lines.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(lines[k].bytes, size_t(6 - k));
        EXPECT_EQ(lines[k].y, 705 - 12 * k);
        EXPECT_EQ(lines[k].colour, 0x6464FFu);
    }

    g_key_state[k_key_down] = k_key_down_bit;
    for (int frames = 0; frames < 400; ++frames, ++g_ticks)
        frame();
    g_key_state[k_key_down] = 0;
    EXPECT_EQ(g_message_log.view_offset, 0u);
    ASSERT_EQ(strings().size(), 6u);
    EXPECT_EQ(strings()[0].bytes, 30u % 40u);  // line 29, the newest
}

TEST_F(message_log_window_test, TabTogglesOncePerPressEvenInADialogueThatStopsDrawingAndScrolling)
{
    fill(30, 0);
    g_dialogue_running = 1;
    g_key_state[k_key_up] = k_key_down_bit;
    for (g_ticks = 1; g_ticks < 40; ++g_ticks)
        frame();
    g_key_state[k_key_up] = 0;
    EXPECT_EQ(g_message_log.view_offset, 0u);
    EXPECT_TRUE(strings().empty());
    EXPECT_TRUE(device_->draws().empty());

    g_key_state[k_key_tab] = k_key_down_bit;
    frame();
    frame();
    EXPECT_EQ(g_message_log.window_shown, 0u);
    g_key_state[k_key_tab] = 0;
    frame();
    g_dialogue_running = 0;
    frame();
    EXPECT_TRUE(device_->draws().empty());  // hidden

    g_key_state[k_key_tab] = k_key_down_bit;
    frame();
    g_key_state[k_key_tab] = 0;
    EXPECT_EQ(g_message_log.window_shown, 1u);
    EXPECT_EQ(strings().size(), 6u);
}

} // namespace
