#include "tests/interface/log_panels_fixture.h"

#include "core/game_interface.h"
#include "engine/lights.h"
#include "engine/ui_texts.h"
#include "interface/save_load_screen.h"
#include "level/save_games.h"
#include "script/text_window.h"

#include <algorithm>
#include <filesystem>
#include <utime.h>

namespace {

// The page at 1024 x 768 lies at (128, 160); its texts start at (158, 210).
constexpr float k_x0 = 128.0f, k_y0 = 160.0f;
constexpr float k_tx = k_x0 + 30.0f, k_ty = k_y0 + 50.0f;

class save_load_screen_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        saved_.keep(g_save_list), saved_.keep(g_save_list_scroll), saved_.keep(g_ui_text[155]);
        saved_.keep(g_save_load_notice);
        g_save_load_notice[0] = '\0';
        saved_.keep(g_wheel_up), saved_.keep(g_wheel_down), saved_.keep(g_message_window);
        saved_.keep(g_message_shown), saved_.keep(g_lights), saved_.keep(g_light_count);
        g_save_list.count = 0;
        g_save_list_scroll = 0;
        g_wheel_up = g_wheel_down = 0;
        std::strcpy(g_ui_text[155], "Quick save");
        game_interface& gi = g_interface;
        gi.text_background = texture("tile");
        for (int k = 0; k < 8; ++k)
            gi.save_load_frame[k] = texture("frame" + std::to_string(k));
        for (int k = 0; k < 18; ++k)
            gi.save_load_buttons[k] = texture("button" + std::to_string(k));
        for (int k = 0; k < 10; ++k)
            gi.list_widgets[k] = texture("widget" + std::to_string(k));
        gi.selected_save = gi.save_preview = -1;
        gi.overlay_click_latch = 0;
    }
    void TearDown() override
    {
        g_mouse_left = 0;
        log_panels_test::TearDown();
    }
    static void add_save(const std::string& name)
    {
        std::snprintf(g_save_list.names[g_save_list.count++], k_save_name_size, "%s", name.c_str());
    }
    void frame()
    {
        device_.clear_recording();
        run_save_load_screen(2);
    }
    // The left button held over (x, y) for three frames, then let go there.
    void press_at(float x, float y)
    {
        g_mouse_screen_x = x, g_mouse_screen_y = y;
        g_mouse_left = 1;
        for (int k = 0; k < 3; ++k)
            frame();
        g_mouse_left = 0;
        frame();
    }
    // The lengths of the row names drawn (every second string after the date, if any).
    std::vector<size_t> name_lengths() const
    {
        std::vector<size_t> out;
        for (const drawn_string& s : strings())
            if (s.x == int(k_tx) + 30)
                out.push_back(s.bytes);
        return out;
    }
    bool bar_drawn() const { return !centres_of(device_, g_interface.list_widgets[2]).empty(); }
};

TEST_F(save_load_screen_test, AnEmptyListOrAChoicePastTheCountShowsNoRowDateOrPreviewAndTheButtonsLight)
{
    g_interface.selected_save = 0;
    g_save_list_scroll = 7;  // left from a longer list
    g_mouse_screen_x = k_x0 + 650.0f, g_mouse_screen_y = k_y0 + 400.0f;  // over Cancel
    frame();
    EXPECT_EQ(g_interface.selected_save, -1);
    EXPECT_EQ(g_save_list_scroll, 0);
    EXPECT_TRUE(strings().empty());
    EXPECT_FALSE(bar_drawn());
    const game_interface& gi = g_interface;
    EXPECT_TRUE(places(centres_of(device_, gi.save_load_frame[1]), {{144.0f, 176.0f}, {880.0f, 176.0f}}));
    EXPECT_EQ(centres_of(device_, gi.save_load_frame[7]).size(), 11u);  // the divider's line
    EXPECT_TRUE(places(centres_of(device_, gi.save_load_buttons[2 * 1]), {{598.0f, 570.0f}}));  // Load normal
    EXPECT_TRUE(places(centres_of(device_, gi.save_load_buttons[2 * 0 + 1]), {{818.0f, 570.0f}}));  // Cancel lit
    EXPECT_TRUE(centres_of(device_, gi.save_load_buttons[2 * 0]).empty());
    press_at(k_tx + 100.0f, k_ty + 6.0f);  // where the first row would be
    EXPECT_EQ(g_interface.selected_save, -1);

    add_save("one"), add_save("two"), add_save("three");
    g_interface.selected_save = 3;  // chosen before the list was read again
    frame();
    EXPECT_EQ(g_interface.selected_save, -1);
    ASSERT_EQ(strings().size(), 6u);  // numbers and names, no date
    EXPECT_EQ(strings()[0].x, int(k_tx));
    EXPECT_EQ(strings()[0].y, int(k_ty));
    EXPECT_EQ(strings()[5].y, int(k_ty) + 32);
    for (size_t k = 0; k < strings().size(); ++k)  // the cursor is still over the first name
        EXPECT_EQ(strings()[k].colour, k == 1 ? 0xFFFFFFu : 0xC8C8C8u) << k;
}

TEST_F(save_load_screen_test, ThePageLiesOnAnOpaqueGroundThatHidesTheWorldBehindItsTexts)
{
    game_interface& gi = g_interface;
    gi.text_background_texture = texture("ground");
    add_save("one");
    frame();
    // The ground is the first draw: the whole page, centred on the screen, opaque.
    ASSERT_FALSE(device_.draws().empty());
    const recorded_draw& ground = device_.draws().front();
    EXPECT_EQ(ground.texture, g_textures[gi.text_background_texture].surface);
    EXPECT_FLOAT_EQ(device_.material_of(ground).diffuse.a, 1.0f);
    EXPECT_TRUE(places(centres_of(device_, gi.text_background_texture), {{512.0f, 384.0f}}));
    float x1 = 1e9f, y1 = 1e9f, x2 = -1e9f, y2 = -1e9f;
    for (uint32_t i = 0; i < ground.vertex_count; ++i) {
        float x, y, z;
        device_.screen_position(ground, i, x, y, z);
        x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
    }
    EXPECT_NEAR(x2 - x1, 768.0f, 5.0f);
    EXPECT_NEAR(y2 - y1, 448.0f, 3.0f);
}

TEST_F(save_load_screen_test, TwentyThreeSavesBringTheBarWhoseArrowsAndWheelMoveOneRowPerPressOrPoll)
{
    for (int i = 0; i < 22; ++i)
        add_save(std::string(size_t(i + 1), 'n'));  // the name's length tells its row
    g_wheel_down = 1;
    frame();
    EXPECT_EQ(g_save_list_scroll, 0);
    EXPECT_FALSE(bar_drawn());
    EXPECT_EQ(name_lengths().size(), 22u);
    g_wheel_down = 0;

    add_save(std::string(23, 'n'));
    frame();
    ASSERT_TRUE(places(centres_of(device_, g_interface.list_widgets[2]), {{503.0f, 220.0f}, {503.0f, 556.0f}}));
    EXPECT_EQ(centres_of(device_, g_interface.list_widgets[3]).size(), 20u);
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[7]), {{496.0f, 210.0f}, {496.0f, 566.0f}}));
    for (int press = 0; press < 2; ++press)
        press_at(496.0f, 566.0f);  // held three frames each; the second stops at the end
    EXPECT_EQ(g_save_list_scroll, 1);
    EXPECT_EQ(name_lengths().front(), 2u);
    EXPECT_EQ(name_lengths().back(), 23u);
    g_mouse_screen_x = 496.0f, g_mouse_screen_y = 210.0f;
    frame();
    EXPECT_TRUE(places(centres_of(device_, g_interface.list_widgets[8]), {{496.0f, 210.0f}}));  // lit up arrow
    press_at(496.0f, 210.0f);
    EXPECT_EQ(g_save_list_scroll, 0);

    add_save("more"), add_save("most");
    g_mouse_screen_x = g_mouse_screen_y = -100.0f;
    g_wheel_down = 1;
    std::vector<int16_t> seen;
    for (int poll = 0; poll < 4; ++poll) {
        frame();
        seen.push_back(g_save_list_scroll);
    }
    EXPECT_EQ(seen, (std::vector<int16_t>{1, 2, 3, 3}));
    g_wheel_down = 0, g_wheel_up = 1;
    frame();
    g_wheel_up = 0;
    frame();
    EXPECT_EQ(g_save_list_scroll, 2);
}

TEST_F(save_load_screen_test, RowsShowQuickAsItsTextAndCutNamesAndAChoiceReadsOnlyItsOwnSaveFolder)
{
    namespace fs = std::filesystem;
    std::vector<uint32_t> texels(8 * 8, 0xFF336699u);
    const std::string long_name(254, 'W');
    const std::vector<std::string> folders = {"save/plain", "save/quick", "outside", "save/" + long_name};
    for (const std::string& folder : folders) {
        fs::create_directories(folder);
        write_text(folder + "/game.ss", "x");
        ASSERT_TRUE(write_image_file((folder + "/shot.bmp").c_str(), texels.data(), 8, 8));
    }
    const utimbuf fixed{1700000000, 1700000000};
    ASSERT_EQ(utime("save/plain/game.ss", &fixed), 0);
    add_save("quick"), add_save(long_name), add_save("plain"), add_save("../outside");
    add_save(std::string(29, 'w'));  // 290 pixels: 28 are left
    frame();
    EXPECT_EQ(name_lengths(), (std::vector<size_t>{10, 31, 5, 10, 31}));

    press_at(k_tx + 339.0f, k_ty + 32.0f + 13.0f);  // inside the third row's box, at its corner
    const game_interface& gi = g_interface;
    EXPECT_EQ(gi.selected_save, 2);
    ASSERT_GE(gi.save_preview, 0);
    EXPECT_STREQ(g_textures[gi.save_preview].name, "save/plain/shot.bmp");
    EXPECT_TRUE(places(centres_of(device_, uint16_t(gi.save_preview)), {{693.0f, 316.0f}}));
    std::vector<drawn_string> texts = strings();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0].bytes, 17u);  // "11/14/2023  23:13" in some zone
    EXPECT_EQ(texts[0].x, int(k_tx) + 370);
    EXPECT_EQ(texts[0].y, int(k_ty) + 245);
    EXPECT_EQ(texts[0].colour, 0xC8C8C8u);
    EXPECT_EQ(texts[6].colour, 0x6464C8u);  // the chosen name
    EXPECT_EQ(texts[5].colour, 0xC8C8C8u);  // its number

    // Held over another row, the screenshot is read again in every frame into the same slot.
    const int16_t slot = gi.save_preview;
    const int32_t slots = g_texture_count;
    press_at(k_tx + 100.0f, k_ty + 6.0f);
    EXPECT_EQ(gi.selected_save, 0);
    EXPECT_EQ(gi.save_preview, slot);
    EXPECT_EQ(g_texture_count, slots);
    EXPECT_STREQ(g_textures[slot].name, "save/quick/shot.bmp");

    // A name leaving the save folder: chosen, but neither its picture nor its date is read.
    press_at(k_tx + 100.0f, k_ty + 48.0f + 6.0f);
    EXPECT_EQ(gi.selected_save, 3);
    EXPECT_EQ(gi.save_preview, -1);
    EXPECT_STREQ(g_textures[slot].name, "");  // the old preview freed
    EXPECT_EQ(strings().size(), 10u);  // rows only
    for (int32_t k = 0; k < g_texture_count; ++k)
        EXPECT_EQ(std::string(g_textures[k].name).find("outside"), std::string::npos);
    g_mouse_screen_x = k_tx + 100.0f, g_mouse_screen_y = k_ty + 48.0f + 6.0f;
    frame();
    EXPECT_EQ(strings()[7].colour, 0x6464C8u);

    // The longest name: its date is shown; its screenshot's path is too long for a texture.
    press_at(k_tx + 100.0f, k_ty + 16.0f + 6.0f);
    EXPECT_EQ(gi.selected_save, 1);
    EXPECT_EQ(gi.save_preview, -1);
    ASSERT_EQ(strings().size(), 11u);
    EXPECT_EQ(strings()[0].bytes, 17u);
}

} // namespace
