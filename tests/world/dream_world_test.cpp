// The dream world: its ambient steps, the overlay fade, the hero's drain and waking, the overlay
// drawn over the hero, and what the clock and the object pass take from it.
#include "world/environment_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "editor/editor_state.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "platform/files.h"
#include "script/script_services.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>

namespace {

class dream_world_test : public environment_test {
protected:
    void SetUp() override
    {
        environment_test::SetUp();
        make_folder("data/dreamworld");
        for (int i = 1; i <= k_dream_textures; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "data/dreamworld/dream%02d.tga", i);
            write_test_image(name, 16, 16, uint32_t(i));
        }
        load_dream_textures(&g_dream_world);
    }

    // One playing frame a tick later.
    static void frame()
    {
        ++g_ticks;
        update_dream_world(&g_dream_world);
    }

    // The last draw's centre and width in screen pixels (its vertices are in view units of k
    // pixels around the screen centre; 0 and 3 are opposite corners).
    void last_draw(float& x, float& y, float& width) const
    {
        ASSERT_FALSE(device_->draws().empty());
        const lit_vertex* v = device_->vertices_of(device_->draws().back());
        const float k = float(g_screen_width) / 640.0f * 50.7f;
        x = (v[0].x + v[3].x) / 2.0f * k + float(g_screen_width / 2);
        y = -(v[0].y + v[3].y) / 2.0f * k + float(g_screen_height / 2);
        width = std::fabs(v[3].x - v[0].x) * k;
    }
};

TEST_F(dream_world_test, EnteringFromWhiteEndsAtTheDreamColourAfterTenStepsOfTwoTicks)
{
    place_hero(512.0f, 384.0f, 100);
    g_ambient_color = {1.0f, 1.0f, 1.0f};
    enter_dream_world(&g_dream_world, 1);
    EXPECT_EQ(g_dream_world.active, 1u);
    EXPECT_STREQ(g_sound.voice_name, "");  // silent

    update_dream_world(&g_dream_world);  // the first step is due at once
    for (int step = 1; step < 10; ++step) {
        frame();  // an odd tick: no step
        frame();
    }
    EXPECT_EQ(g_dream_world.steps, 0);
    EXPECT_NEAR(g_ambient_color.red, 0.0f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.green, 0.5f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.blue, 1.0f, 1e-5f);
    EXPECT_NEAR(g_dream_world.overlay_alpha, 0.4f, 1e-5f);
    for (int i = 0; i < 40; ++i)
        frame();
    EXPECT_FLOAT_EQ(g_dream_world.overlay_alpha, 1.0f);
    EXPECT_NEAR(g_ambient_color.red, 0.0f, 1e-5f);  // no further steps

    // While the overlay shows, the clock only hands the colour to the device.
    g_work_mode = k_work_play;
    g_game_clock.hour = 12;
    apply_daylight(&g_game_clock);
    EXPECT_NEAR(g_ambient_color.green, 0.5f, 1e-5f);
    // Objects on the dream layers take the overlay alpha.
    ASSERT_NE(g_object_links.dream_alpha, nullptr);
    EXPECT_FLOAT_EQ(g_object_links.dream_alpha(), 1.0f);

    // Leaving returns to the clock's daylight (noon: white) and fades the overlay out.
    leave_dream_world(&g_dream_world, 0);
    EXPECT_STREQ(g_sound.voice_name, "data/sound/dream_out.ogg");
    for (int i = 0; i < 60; ++i)
        frame();
    EXPECT_NEAR(g_ambient_color.red, 1.0f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.green, 1.0f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.blue, 1.0f, 1e-5f);
    EXPECT_FALSE(dream_overlay_visible(&g_dream_world));
    leave_dream_world(&g_dream_world, 0);  // only while it is on
    EXPECT_EQ(g_dream_world.steps, 0);
}

TEST_F(dream_world_test, AnEmptyPoolOrNoWorldObjectWakesTheHeroAtOnce)
{
    place_hero(100.0f, 100.0f, 0);
    enter_dream_world(&g_dream_world, 0);
    EXPECT_STREQ(g_sound.voice_name, "data/sound/dream_in.ogg");
    update_dream_world(&g_dream_world);
    EXPECT_EQ(g_dream_world.active, 0u);
    EXPECT_STREQ(g_sound.voice_name, "data/sound/dream_out.ogg");

    s_hero_mana = 50;
    enter_dream_world(&g_dream_world, 1);
    frame();
    frame();
    EXPECT_EQ(g_dream_world.active, 1u);
    s_hero_object = -1;
    frame();
    EXPECT_EQ(g_dream_world.active, 0u);

    // In a gui level nothing runs.
    g_scene_header.level_type = k_level_gui;
    place_hero(100.0f, 100.0f, 0);
    enter_dream_world(&g_dream_world, 1);
    float alpha = g_dream_world.overlay_alpha;
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(g_dream_world.active, 1u);
    EXPECT_EQ(g_dream_world.overlay_alpha, alpha);
}

TEST_F(dream_world_test, ThePoolDrainsEvery66TicksUnlessSomethingHoldsTheGame)
{
    place_hero(100.0f, 100.0f, 30);
    enter_dream_world(&g_dream_world, 1);
    update_dream_world(&g_dream_world);
    EXPECT_EQ(s_hero_mana, 29);  // due at once on entering
    for (int i = 0; i < 65; ++i)
        frame();
    EXPECT_EQ(s_hero_mana, 29);
    frame();
    EXPECT_EQ(s_hero_mana, 28);

    auto drains_after_66 = [&] {
        int32_t before = s_hero_mana;
        for (int i = 0; i < 66; ++i)
            frame();
        return s_hero_mana != before;
    };
    g_interface.menu_open = 1;
    EXPECT_FALSE(drains_after_66());
    g_interface.menu_open = 0;
    g_text_viewer_open = 1;
    EXPECT_FALSE(drains_after_66());
    g_text_viewer_open = 0;
    g_dialogue_running = 1;
    EXPECT_FALSE(drains_after_66());
    g_dialogue_running = 0;
    s_hero_warded = true;
    EXPECT_FALSE(drains_after_66());
    s_hero_warded = false;
    EXPECT_TRUE(drains_after_66());
}

TEST_F(dream_world_test, TheClearAreaAroundTheHeroClosesAsThePoolRunsOut)
{
    g_camera_x = 100.0f;
    g_camera_y = 50.0f;
    g_zoom = 1.0f;
    place_hero(400.0f, 350.0f, 100);
    enter_dream_world(&g_dream_world, 1);
    update_dream_world(&g_dream_world);
    float x, y, full, narrow;
    last_draw(x, y, full);
    EXPECT_NEAR(x, 300.0f, 0.5f);
    EXPECT_NEAR(y, 300.0f, 0.5f);
    EXPECT_NEAR(full, 16.0f * 13.0f, 0.5f);
    const device_material& m = device_->material_of(device_->draws().back());
    EXPECT_GT(m.emissive.r, 0.99f);  // colour 2.0: emissive 2 - 1

    s_hero_mana = 31;  // drained to 30 at the next drain: k = 3
    for (int i = 0; i < 66; ++i)
        frame();
    last_draw(x, y, narrow);
    EXPECT_NEAR(narrow, 16.0f * 10.0f, 0.5f);

    // The texture advances every 8 ticks and wraps after the twelfth.
    int16_t index = g_dream_world.texture_index;
    for (int i = 0; i < 8 * 12; ++i)
        frame();
    EXPECT_EQ(g_dream_world.texture_index, index);
}

TEST_F(dream_world_test, TheFrontEndOverlayStandsAtTheScreenCentre)
{
    g_ambient_color = {0.2f, 0.2f, 0.5f};
    enter_dream_world(&g_dream_world, 1);
    device_->clear_recording();
    draw_dream_overlay(&g_dream_world);
    float x, y, width;
    last_draw(x, y, width);
    EXPECT_NEAR(x, 512.0f, 0.5f);
    EXPECT_NEAR(y, 384.0f, 0.5f);
    EXPECT_NEAR(width, 16.0f * 13.0f, 0.5f);
    for (int i = 0; i < 20; ++i) {
        ++g_ticks;
        draw_dream_overlay(&g_dream_world);
    }
    EXPECT_NEAR(g_ambient_color.red, 0.0f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.green, 0.5f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.blue, 1.0f, 1e-5f);
}

} // namespace
