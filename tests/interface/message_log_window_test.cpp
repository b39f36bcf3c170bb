#include "tests/interface/log_panels_fixture.h"

#include "core/settings.h"
#include "interface/interface_state.h"
#include "items/containers.h"
#include "interface/message_log_window.h"
#include "platform/key_codes.h"

namespace {

class message_log_window_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        saved_.keep(g_message_log), saved_.keep(g_message_log_tab_latch), saved_.keep(g_message_log_height_latch);
        g_message_log.count = 0;
        g_message_log_tab_latch = g_message_log_height_latch = 0;
        std::fill(std::begin(g_interface.text_frame), std::end(g_interface.text_frame), k_no_texture_slot);
        init_message_log(&g_message_log);
    }
    void frame()
    {
        device_.clear_recording();
        draw_message_log(&g_message_log);
    }
    // Frames with the key held, one tick apart, then one with it up; the view offset after each
    // held frame.
    std::vector<uint32_t> hold(uint8_t key, int frames)
    {
        std::vector<uint32_t> offsets;
        g_key_state[key] = k_key_down_bit;
        for (int k = 0; k < frames; ++k, ++g_ticks) {
            frame();
            offsets.push_back(g_message_log.view_offset);
        }
        g_key_state[key] = 0;
        frame();
        return offsets;
    }
};

TEST_F(message_log_window_test, TabDialogueAndTheBottomStripCycleOfFourHeights)
{
    log_add_line(&g_message_log, 1, "old");
    log_add_line(&g_message_log, 7, "%s", std::string(60, 'w').c_str());  // wider than the box
    log_add_line(&g_message_log, 1, "new");
    g_dialogue_running = 1;  // Tab still toggles; nothing is drawn
    hold(k_key_tab, 2);
    EXPECT_EQ(g_message_log.window_shown, 0u);
    g_dialogue_running = 0;
    hold(k_key_tab, 1);
    EXPECT_EQ(g_message_log.window_shown, 1u);
    g_dialogue_running = 1;
    hold(k_key_up, 1);
    EXPECT_TRUE(device_.draws().empty());
    g_dialogue_running = 0;
    EXPECT_EQ(hold(k_key_up, 30).back(), 0u);  // three lines do not scroll
    const std::vector<drawn_string> lines = strings();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].bytes, 3u);
    EXPECT_EQ(lines[0].x, 25);
    EXPECT_EQ(lines[0].y, 705);
    EXPECT_EQ(lines[0].colour, 0x64FFFFu);
    EXPECT_EQ(lines[1].bytes, 60u);
    EXPECT_EQ(lines[1].y, 693);
    EXPECT_EQ(lines[1].colour, 0xC8C8C8u);

    g_mouse_screen_x = 100.0f, g_mouse_screen_y = 715.0f;  // the bottom strip of 628 to 724
    for (float top : {564.0f, 500.0f, 436.0f, 628.0f}) {
        g_message_log.view_offset = 1;
        g_mouse_left = 1;
        frame();
        frame();  // held: one step
        g_mouse_left = 0;
        frame();
        EXPECT_EQ(g_message_log.y1, top);
        EXPECT_EQ(g_message_log.size_step, top == 628.0f ? 0 : (628 - int(top)) / 64);
        EXPECT_EQ(g_message_log.view_offset, 0u);
    }
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
}

TEST_F(message_log_window_test, ThirtyLinesScrollBackTwentyFourAtMostOnceEveryFourTicks)
{
    for (int k = 0; k < 30; ++k)  // line k has k + 1 bytes
        log_add_line(&g_message_log, 2, "%s", std::string(size_t(k + 1), 'a').c_str());
    const std::vector<uint32_t> offsets = hold(k_key_up, 200);
    EXPECT_EQ(offsets.back(), 24u);
    for (size_t k = 4; k < offsets.size(); ++k)
        EXPECT_LE(offsets[k] - offsets[k - 4], 1u);
    const std::vector<drawn_string> lines = strings();  // lines 5 (lowest) to 0
    ASSERT_EQ(lines.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(lines[k].bytes, size_t(6 - k));
        EXPECT_EQ(lines[k].y, 705 - 12 * k);
    }
    EXPECT_EQ(lines[0].colour, 0x6464FFu);
    EXPECT_EQ(hold(k_key_down, 200).back(), 0u);
    EXPECT_EQ(strings()[0].bytes, 30u);
}

TEST_F(message_log_window_test, LinesThatAContainerWindowWouldCoverInPartAreLeftOut)
{
    for (int k = 0; k < 6; ++k)  // line k has k + 1 bytes; line 5 is the lowest, at y 705
        log_add_line(&g_message_log, 0, "%s", std::string(size_t(k + 1), 'a').c_str());
    saved_.keep(g_containers[0]);
    uint16_t items[6] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    uint8_t flags[6] = {};
    container& chest = g_containers[0];
    chest.items = items, chest.flags = flags, chest.width = 2, chest.height = 3;
    game_interface& gi = g_interface;
    gi.container_id = 0;
    gi.container_open = gi.side_panel_open = 1;
    // A chest of three rows: its window ends at y 45 + 385 + 256 = 686; the lines at 705 and
    // 693 show, the one at 681 and those above it would lie under the window.
    frame();
    std::vector<size_t> shown;
    for (const drawn_string& s : strings())
        shown.push_back(s.bytes);
    EXPECT_EQ(shown, (std::vector<size_t>{6, 5}));
    // Two rows: the window ends at 558, above the log; every line shows. So with the panel shut.
    chest.height = 2;
    frame();
    EXPECT_EQ(strings().size(), 6u);
    chest.height = 3;
    gi.side_panel_open = 0;
    frame();
    EXPECT_EQ(strings().size(), 6u);
}

} // namespace
