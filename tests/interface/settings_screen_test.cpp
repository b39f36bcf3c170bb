#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/draw_test_support.h"
#include "interface/interface_links.h"
#include "interface/settings_screen.h"
#include "items/items.h"
#include "script/text_window.h"
#include "support/item_table_guard.h"
#include "tests/interface/recorded_places.h"
#include "tests/platform/device_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// On the 1024 x 768 screen the panel's origin is (128, 160) and the page's (253, 192).
constexpr float k_px = 253.0f, k_py = 192.0f;

std::vector<int32_t> g_gamma_calls;

class settings_screen_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_interface), saved_.keep(g_settings), saved_.keep(g_settings_slider_drag);
        saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y), saved_.keep(g_mouse_right);
        saved_.keep(g_mouse_middle), saved_.keep(g_interface_links), saved_.keep(g_show_stats);
        saved_.keep(g_wbuffer_switch), saved_.keep(g_no_game_running), saved_.keep(g_language);
        saved_.keep(g_pending_level), saved_.keep(g_editor), saved_.keep(g_message_window);
        saved_.keep(g_message_shown);
        device_ = std::make_unique<recording_device>(1024, 768);
        device_guard_ = std::make_unique<use_device>(device_.get());
        use_fixed_camera(*device_);
        clear_texture_table();
        g_interface_links = interface_links{};
        g_interface_links.set_gamma = [](int32_t offset) { g_gamma_calls.push_back(offset); };
        g_gamma_calls.clear();
        std::fill(std::begin(g_interface.save_load_frame), std::end(g_interface.save_load_frame), k_no_texture_slot);
        std::fill(std::begin(g_interface.save_load_buttons), std::end(g_interface.save_load_buttons),
                  k_no_texture_slot);
        g_interface.text_background = k_no_texture_slot;
        for (int i = 0; i < 11; ++i)
            g_interface.settings_images[i] = test_texture("settings" + std::to_string(i));
        g_interface.save_load_frame[5] = joint_ = test_texture("joint");
        config_set_defaults(&g_settings);
        std::fill(std::begin(g_settings_slider_drag), std::end(g_settings_slider_drag), 0u);
        g_interface.overlay_screen = 2;
        g_interface.settings_page = 2;
        g_interface.menu_open = 1;
        g_interface.overlay_click_latch = 0;
        g_no_game_running = 0;
        hero_ = &make_char(0, "hero", k_kind_player);
        g_player_char = 0;
        mouse(0.0f, 0.0f, false);
    }
    void TearDown() override
    {
        g_mouse_left = 0;
        clear_texture_table();
        device_guard_.reset();
        device_.reset();
        saved_.restore();
        char_test::TearDown();
    }
    // The cursor at page point (x, y) with the left button as given, then one frame.
    void mouse(float x, float y, bool left)
    {
        g_mouse_screen_x = k_px + x, g_mouse_screen_y = k_py + y;
        g_mouse_left = left ? 1 : 0;
        device_->clear_recording();
        run_settings_screen();
    }
    // A press held for three frames and released where it was.
    void click(float x, float y)
    {
        for (int i = 0; i < 3; ++i)
            mouse(x, y, true);
        mouse(x, y, false);
    }
    // The knob's drawn offset on the slider at page row y.
    float knob_on_row(float y) const
    {
        for (screen_point p : centres_of(*device_, g_interface.settings_images[8]))
            if (std::fabs(p.second - (k_py + y)) < 1.0f)
                return p.first - (k_px + 50.0f);
        return -1000.0f;
    }

    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    saved_globals saved_;
    char_record* hero_ = nullptr;
    uint16_t joint_ = 0;
};

TEST_F(settings_screen_test, SlidersDragOverTheirWholeBarAndTheDragEndsWithTheButton)
{
    // Gamma 0 sits mid-bar, the second slider's default 100 at 329, not 330; the divider stands
    // at 110 of the panel, with no middle divider of the save/load page.
    mouse(0.0f, 0.0f, false);
    EXPECT_NEAR(knob_on_row(100.0f), 165.0f, 1.0f);
    EXPECT_NEAR(knob_on_row(200.0f), 329.0f, 1.0f);
    EXPECT_TRUE(places(centres_of(*device_, joint_), {{238.0f, 198.0f}, {238.0f, 570.0f}}));

    mouse(51.0f, 100.0f, true);  // the far left of the gamma bar
    EXPECT_EQ(g_settings.gr_gamma, -164);
    mouse(51.0f, 100.0f, true);  // the same place: the ramp is not set again
    mouse(379.0f, 300.0f, true); // off the bar vertically: the drag goes on
    EXPECT_EQ(g_settings.gr_gamma, 164);
    EXPECT_EQ(g_gamma_calls, (std::vector<int32_t>{-16400, 16400}));
    mouse(200.0f, 300.0f, false);
    mouse(200.0f, 300.0f, true); // released, then pressed off the bar: no drag
    EXPECT_EQ(g_settings.gr_gamma, 164);

    // The music's default 100 also shows at 329; dragged far right it reads 99.
    g_interface.settings_page = 3;
    g_settings.snd_musicvolume = 100;
    mouse(0.0f, 0.0f, false);
    EXPECT_NEAR(knob_on_row(100.0f), 329.0f, 1.0f);
    mouse(200.0f, 100.0f, true);
    mouse(379.9f, 100.0f, true);
    EXPECT_EQ(g_settings.snd_musicvolume, 99);
    EXPECT_EQ(g_settings.snd_soundvolume, 100);
    mouse(166.0f, 300.0f, false);

    // A stored value outside the controls' range keeps the knob on the bar.
    g_settings.snd_soundvolume = 60000;
    mouse(0.0f, 0.0f, false);
    EXPECT_NEAR(knob_on_row(200.0f), 330.0f, 1.0f);
}

TEST_F(settings_screen_test, ACheckBoxFlipsOncePerPressAndItsSwitchFollows)
{
    g_settings.gr_showstats = 0, g_show_stats = 0;
    for (int i = 0; i < 3; ++i)
        mouse(100.0f, 350.0f, true);  // the statistics label, held
    EXPECT_EQ(g_settings.gr_showstats, 1u);
    EXPECT_EQ(g_show_stats, 1u);
    mouse(100.0f, 330.0f, true);      // moved onto the weather label while held: no flip
    EXPECT_EQ(g_settings.gr_displayweather, 1u);
    mouse(100.0f, 350.0f, false);
    click(100.0f, 350.0f);
    EXPECT_EQ(g_settings.gr_showstats, 0u);
    EXPECT_EQ(g_show_stats, 0u);
    // The box shows the flag.
    const auto boxes_on = [&] { return centres_of(*device_, g_interface.settings_images[10]); };
    mouse(0.0f, 0.0f, false);
    EXPECT_TRUE(places(boxes_on(), {{k_px + 20.0f, k_py + 249.0f}, {k_px + 20.0f, k_py + 329.0f}}));

    // The right column's w-buffer box drives the renderer's switch in the same sense.
    click(400.0f, 250.0f);
    EXPECT_EQ(g_settings.gr_enablewbuffer, 1u);
    EXPECT_EQ(g_wbuffer_switch, 1u);
    click(400.0f, 250.0f);
    EXPECT_EQ(g_wbuffer_switch, 0u);
    click(305.0f, 250.0f);  // between the two columns' boxes
    EXPECT_EQ(g_settings.gr_lowparticles, 1u);
    EXPECT_EQ(g_settings.gr_enablewbuffer, 0u);
}

TEST_F(settings_screen_test, TabsOkAndTheDeveloperPageWhichActsOnlyInAGame)
{
    item_table_guard items;
    make_item(5, "att_a", "A", k_item_attunement).damage = 40;
    hero_->life = k_life_dead, hero_->hp = 0, hero_->hp_max = 80, hero_->mana = 1, hero_->mana_max = 30;
    std::strcpy(g_language, "sk");
    g_interface.settings_page = 4;

    // On the title menu the page shows only the frame, the tabs and OK.
    g_no_game_running = 1;
    click(250.0f, 40.0f);
    EXPECT_EQ(hero_->life, k_life_dead);
    g_no_game_running = 0;

    click(250.0f, 40.0f);  // "Heal (Respawn)"
    EXPECT_EQ(hero_->life, k_life_alive);
    EXPECT_EQ(hero_->hp, 80);
    EXPECT_EQ(hero_->hp_ceiling, 80);
    EXPECT_EQ(hero_->mana, 30);
    hero_->hp_max = 70000;  // past the 16-bit copy: held to its largest value, not wrapped
    click(250.0f, 40.0f);
    EXPECT_EQ(hero_->hp, 32767);

    click(250.0f, 160.0f);  // the language, held three frames: switched once
    EXPECT_STREQ(g_language, "eng");
    click(250.0f, 160.0f);
    EXPECT_STREQ(g_language, "sk");
    std::strcpy(g_language, "de");
    click(250.0f, 160.0f);
    EXPECT_STREQ(g_language, "sk");

    click(250.0f, 260.0f);  // every attunement not yet learned becomes learned
    EXPECT_EQ(g_item_protos[5].damage, 1999);
    hero_->gold = INT32_MAX - 3;
    click(250.0f, 300.0f);
    EXPECT_EQ(hero_->gold, INT32_MAX);

    // A location is only requested; the menu closes and the buttons are let go.
    g_mouse_right = g_mouse_middle = 1;
    mouse(50.0f, 60.0f, true);  // the second location
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "tabor.sav");
    EXPECT_EQ(g_pending_level.mode, 0);
    EXPECT_EQ(g_interface.menu_open, 0u);
    EXPECT_EQ(g_mouse_left | g_mouse_right | g_mouse_middle, 0u);

    // The sound tab leaves the developer page, shows its tooltip and acts on a press.
    mouse(66.0f - 125.0f, 150.0f - 32.0f, false);
    EXPECT_EQ(g_interface.settings_page, 4);
    EXPECT_EQ(g_message_shown, 1u);
    mouse(66.0f - 125.0f, 150.0f - 32.0f, true);
    EXPECT_EQ(g_interface.settings_page, 3);
    mouse(0.0f, 0.0f, false);
    EXPECT_EQ(g_message_shown, 0u);
    EXPECT_EQ(g_interface.overlay_screen, 2);
    mouse(690.0f - 125.0f, 406.0f - 32.0f, true);  // OK
    EXPECT_EQ(g_interface.overlay_screen, 1);
}

} // namespace
