#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/held_item.h"
#include "interface/hud.h"
#include "interface/interface_state.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "script/text_window.h"
#include "world/dream_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using point = std::pair<float, float>;

class hud_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_interface), saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y);
        saved_.keep(g_hud_click_latch), saved_.keep(g_message_window), saved_.keep(g_ambient_color);
        saved_.keep(g_editor_enabled), saved_.keep(g_dialogue_running), saved_.keep(g_console_shown);
        device_ = std::make_unique<recording_device>(1024, 768);
        device_guard_ = std::make_unique<use_device>(device_.get());
        use_fixed_camera(*device_);
        clear_texture_table();
        g_editor_enabled = g_dialogue_running = g_console_shown = 0;
        g_hud_click_latch = 0;
        game_interface& gi = g_interface;
        std::fill(std::begin(gi.panel_tiles), std::end(gi.panel_tiles), k_no_texture_slot);
        const char* frame[] = {"roh", "pas1", "pas2", "droh", "dpas1", "dpas2"};
        for (int i = 0; i < 6; ++i)
            gi.hud_frame[i] = texture(frame[i]);
        for (int i = 0; i < 8; ++i)
            gi.hud_buttons[i] = texture("button" + std::to_string(i));
        gi.hud_divider = texture("divider");
        gi.slot_box = gi.bars[2] = k_no_texture_slot;
        gi.mouse_over_ui = 0;
        gi.bars[0] = texture("tuba"), gi.bars[1] = texture("tuba2");
        gi.shown = 1;
        gi.side_panel_open = gi.character_panel_open = gi.quest_log_open = gi.attunement_panel_open = 0;
        gi.menu_open = 0, gi.side_panel_page = 2, gi.dream_switch_allowed = 0;
        clear_held_item(true);
        hero_ = &make_char(0, "hero", k_kind_player);
        hero_->life = k_life_alive;
        hero_->hp_max = 100, hero_->hp = 50, hero_->hp_ceiling = 80;
        hero_->mana_max = 60, hero_->mana = 30;
        g_player_char = 0;
        mouse_at(600.0f, 300.0f);
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

    static uint16_t texture(const std::string& name)
    {
        std::vector<uint32_t> texels(16 * 16, 0xFFFFFFFFu);
        const std::string file = name + ".tga";
        EXPECT_TRUE(write_image_file(file.c_str(), texels.data(), 16, 16));
        return uint16_t(get_texture(file.c_str(), 0, 0, 0, 0, 1, 0));
    }
    static void mouse_at(float x, float y) { g_mouse_screen_x = x, g_mouse_screen_y = y; }

    void frame()
    {
        device_->clear_recording();
        update_game_interface();
    }
    // One frame with the left button down over (x, y) at the bottom button row.
    void press_at(float x)
    {
        mouse_at(x, 750.0f);
        g_mouse_left = 1;
        frame();
        g_mouse_left = 0;
    }
    std::vector<point> centres_of(uint16_t slot) const
    {
        std::vector<point> out;
        for (const recorded_draw& d : device_->draws()) {
            if (!d.texture || d.texture != g_textures[slot].surface)
                continue;
            float sx = 0, sy = 0;
            for (uint32_t i = 0; i < d.vertex_count; ++i) {
                float x, y, z;
                device_->screen_position(d, i, x, y, z);
                sx += x, sy += y;
            }
            out.emplace_back(std::round(sx / float(d.vertex_count)), std::round(sy / float(d.vertex_count)));
        }
        return out;
    }
    // The x of every draw of that slot at that height.
    std::vector<float> xs_at(uint16_t slot, float y) const
    {
        std::vector<float> out;
        for (point p : centres_of(slot))
            if (std::fabs(p.second - y) <= 3.0f)
                out.push_back(p.first);
        return out;
    }

    char_record* hero_ = nullptr;
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    saved_globals saved_;
};

constexpr float k_inventory_x = 60.0f, k_menu_x = 30.0f, k_character_x = 100.0f, k_quest_x = 130.0f, k_dream_x = 190.0f;

TEST_F(hud_test, FrameStripsAlternateAcrossTheScreenWithMirroredRightCorners)
{
    for (uint32_t editing : {0u, 1u}) {
        g_editor_enabled = editing;
        frame();
        const size_t strips = editing ? 15 : 14;
        const size_t odd = strips / 2, even = strips - odd;
        EXPECT_EQ(xs_at(g_interface.hud_frame[1], 32).size(), even);
        EXPECT_EQ(xs_at(g_interface.hud_frame[2], 32).size(), odd);
        EXPECT_EQ(xs_at(g_interface.hud_frame[4], 752).size(), even);
        EXPECT_EQ(xs_at(g_interface.hud_frame[5], 752).size(), odd);
        const std::vector<float> second = xs_at(g_interface.hud_frame[2], 32);
        ASSERT_FALSE(second.empty());
        EXPECT_NEAR(second.front(), 160.0f, 2.0f);
        EXPECT_NEAR(second.back(), 96.0f + 64.0f * float(2 * odd - 1), 6.0f);
        const std::vector<float> corners = xs_at(g_interface.hud_frame[0], 32);
        ASSERT_EQ(corners.size(), 2u);
        EXPECT_NEAR(corners[0], 32.0f, 2.0f);
        EXPECT_NEAR(corners[1], 992.0f, 6.0f);
        EXPECT_EQ(xs_at(g_interface.hud_frame[3], 752).size(), 2u);
    }
    EXPECT_EQ(hud_strip_count(800), 10 + 1);
    g_editor_enabled = 0;
    EXPECT_EQ(hud_strip_count(800), 10);
}

TEST_F(hud_test, AButtonActsOncePerPressAndReArmsOnlyWhenReleasedOverAButton)
{
    // Held over the character button for three frames: it opens once.
    mouse_at(k_character_x, 750.0f);
    g_mouse_left = 1;
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_EQ(g_interface.character_panel_open, 1u);
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    // A hovered button is drawn larger, centred on its place.
    const std::vector<point> big = centres_of(g_interface.hud_buttons[4]);
    ASSERT_EQ(big.size(), 1u);
    EXPECT_NEAR(big[0].first, 87.0f + 16.0f, 2.0f);
    // Released away from the buttons: still latched, the next press does nothing.
    mouse_at(600.0f, 300.0f);
    g_mouse_left = 0;
    frame();
    press_at(k_quest_x);
    EXPECT_EQ(g_interface.quest_log_open, 0u);
    // Released over a button: armed again.
    frame();
    press_at(k_quest_x);
    EXPECT_EQ(g_interface.quest_log_open, 1u);
    frame();
    press_at(k_character_x);
    EXPECT_EQ(g_interface.character_panel_open, 0u);
    // The inventory button opens the inventory page and closes it again.
    g_interface.side_panel_page = 3;
    frame();
    press_at(k_inventory_x);
    EXPECT_EQ(g_interface.side_panel_open, 1u);
    EXPECT_EQ(g_interface.side_panel_page, 2);
    frame();
    press_at(k_inventory_x);
    EXPECT_EQ(g_interface.side_panel_open, 0u);

    // In a dialogue only the menu button acts; the console blocks all of them.
    g_dialogue_running = 1;
    frame();
    press_at(k_character_x);
    EXPECT_EQ(g_interface.character_panel_open, 0u);
    frame();
    press_at(k_menu_x);
    EXPECT_EQ(g_interface.menu_open, 1u);
    EXPECT_EQ(g_interface.settings_page, 4);
    EXPECT_EQ(g_interface.overlay_screen, 1);
    frame();
    g_console_shown = 1;
    press_at(k_menu_x);
    EXPECT_EQ(g_interface.menu_open, 1u);
    g_console_shown = 0;
    frame();
    press_at(k_menu_x);
    EXPECT_EQ(g_interface.menu_open, 0u);
}

TEST_F(hud_test, TheDreamButtonExistsOnlyOnceTheSwitchIsAllowed)
{
    const uint16_t dream_image = g_interface.hud_buttons[6];
    press_at(k_dream_x);
    EXPECT_TRUE(centres_of(dream_image).empty());
    EXPECT_EQ(g_dream_world.active, 0u);
    EXPECT_EQ(g_hud_click_latch, 0u);
    EXPECT_EQ(g_interface.mouse_over_ui, 0u);

    g_interface.dream_switch_allowed = 1;
    press_at(k_dream_x);
    EXPECT_EQ(centres_of(dream_image).size(), 1u);
    EXPECT_EQ(g_dream_world.active, 1u);
    frame();
    press_at(k_dream_x);
    EXPECT_EQ(g_dream_world.active, 0u);
}

TEST_F(hud_test, BarsFollowTheHeroAndHitPointsAboveTheMaximumAreCut)
{
    hud_bar_rects r = hud_bar_layout(hero_, 1024.0f, 768.0f);
    EXPECT_FLOAT_EQ(r.health.y1, 768.0f - 65.0f - 66.0f);
    EXPECT_FLOAT_EQ(r.trail.y1, 768.0f - 65.0f - 132.0f * 0.8f);
    EXPECT_FLOAT_EQ(r.trail.y2, r.health.y1);
    EXPECT_FLOAT_EQ(r.pool.y1, 768.0f - 55.0f - 47.5f);
    EXPECT_FLOAT_EQ(r.pool.x1, 1004.0f);
    EXPECT_FLOAT_EQ(r.health.x2, 994.0f);

    hero_->hp = 150, hero_->hp_ceiling = 140;
    frame();
    EXPECT_EQ(hero_->hp, 100);
    EXPECT_EQ(hero_->hp_ceiling, 100);
    EXPECT_EQ(centres_of(g_interface.bars[0]).size(), 1u);

    // Dead hero, no pool: empty bars.
    hero_->hp = -5, hero_->mana_max = 0;
    r = hud_bar_layout(hero_, 1024.0f, 768.0f);
    EXPECT_FLOAT_EQ(r.health.y1, r.health.y2);
    EXPECT_FLOAT_EQ(r.trail.y1, r.trail.y2);
    EXPECT_FLOAT_EQ(r.pool.y1, r.pool.y2);
    // No maximum: nothing to divide by, the hit points are cut to it.
    hero_->hp = 5, hero_->hp_max = 0;
    r = hud_bar_layout(hero_, 1024.0f, 768.0f);
    EXPECT_EQ(hero_->hp, 0);
    EXPECT_FLOAT_EQ(r.health.y1, r.health.y2);
    hero_->hp_max = 100;

    // The health tooltip over the bar; a hero struck below 0 is shown with 0.
    hero_->hp = 40;
    g_interface.mouse_over_ui = 0;
    mouse_at(980.0f, 700.0f);
    frame();
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    hero_->hp = -7;
    frame();
    const auto words_end = g_message_window.words + g_message_window.word_count;
    EXPECT_NE(std::find_if(g_message_window.words, words_end,
                           [](const char* w) { return std::string(w).starts_with("0/"); }),
              words_end);
}

TEST_F(hud_test, LightsAndAmbientAreTheSameAfterAFrameEvenWhenTheFrameEndsEarly)
{
    g_lights[3].state = k_light_on;
    g_lights[7].state = k_light_on;
    device_->light_enable(3, true);
    device_->light_enable(7, true);
    g_ambient_color = {0.2f, 0.4f, 0.6f};
    set_device_ambient_light();
    for (uint32_t dialogue : {0u, 1u}) {
        g_dialogue_running = dialogue;
        const uint32_t ambient = device_->get_render_state(render_state::ambient);
        frame();
        EXPECT_TRUE(device_->is_light_enabled(3));
        EXPECT_TRUE(device_->is_light_enabled(7));
        EXPECT_FALSE(device_->is_light_enabled(4));
        EXPECT_EQ(device_->get_render_state(render_state::ambient), ambient);
        // Drawn in full light: the first ambient change is white and comes before any draw.
        const std::vector<recorded_call>& calls = device_->calls();
        const auto first_draw = std::find_if(calls.begin(), calls.end(),
                                             [](const recorded_call& c) { return c.kind == device_call::draw; });
        const auto first_ambient = std::find_if(calls.begin(), calls.end(), [](const recorded_call& c) {
            return c.kind == device_call::render_state && c.what == uint32_t(render_state::ambient);
        });
        ASSERT_NE(first_draw, calls.end());
        EXPECT_LT(first_ambient, first_draw);
        EXPECT_EQ(first_ambient->value, 0xFFFFFFFFu);
    }
    g_lights[3].state = g_lights[7].state = k_light_free;
}

} // namespace
