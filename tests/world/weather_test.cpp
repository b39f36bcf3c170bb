// Rain, snow and fog emitter grids, their templates and the object pass's adoption; lightning.
#include "world/environment_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "engine/packed_stream.h"
#include "platform/files.h"
#include "world/game_clock.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace {

class weather_test : public environment_test {
protected:
    void SetUp() override
    {
        environment_test::SetUp();
        write_template("data/env/rain.pr", k_proto_particle);
        write_template("data/env/snow.pr", k_proto_particle);
        write_template("data/env/fog.pr", k_proto_particle);
        load_rain(&g_rain);
        load_snow(&g_snow);
        load_fog(&g_fog);
    }

    // The used class-1 objects of a template.
    static std::vector<int32_t> emitters_of(int16_t slot)
    {
        std::vector<int32_t> found;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].object_class == k_class_weather && g_objects[i].proto == slot)
                found.push_back(int32_t(i));
        return found;
    }

    // The emitters' offsets from the camera.
    static std::set<std::pair<int, int>> offsets_of(const std::vector<int32_t>& objects)
    {
        std::set<std::pair<int, int>> offsets;
        for (int32_t i : objects)
            offsets.insert({int(g_objects[i].x - g_camera_x), int(g_objects[i].y - g_camera_y)});
        return offsets;
    }
};

TEST_F(weather_test, TemplatesTakeTheFirstFreeSlotsAndBadFilesLeaveNone)
{
    EXPECT_EQ(g_rain.template_slot, 1000);
    EXPECT_EQ(g_snow.template_slot, 1001);
    EXPECT_EQ(g_fog.template_slot, 1002);
    EXPECT_EQ(g_object_protos[1000].kind, k_proto_particle);
    EXPECT_EQ(g_object_protos[1000].anim_count, 0);  // the emitter shape is cleared

    // Missing: no template, nothing logged as broken, the slot stays free.
    delete_file("data/env/rain.pr");
    load_rain(&g_rain);
    EXPECT_EQ(g_rain.template_slot, -1);
    EXPECT_EQ(g_object_protos[1003].kind, k_proto_free);

    // Truncated.
    write_bytes("data/env/rain.pr", {'A', 'G', 'P', '.', 0x38, 0x29, 0, 0, 1, 0});
    load_rain(&g_rain);
    EXPECT_EQ(g_rain.template_slot, -1);
    EXPECT_EQ(g_object_protos[1003].kind, k_proto_free);
    EXPECT_NE(log_text().find("data/env/rain.pr: poskodeny subor (zaznam prototypu), ostava bez sablony"), std::string::npos);

    // A whole record of no known kind (a free slot's -1 among them) is refused and keeps the
    // slot free for the next template.
    for (int32_t kind : {k_proto_free, 7}) {
        write_template("data/env/rain.pr", kind);
        load_rain(&g_rain);
        EXPECT_EQ(g_rain.template_slot, -1);
        EXPECT_EQ(g_object_protos[1003].kind, k_proto_free);
    }
    load_snow(&g_snow);
    EXPECT_EQ(g_snow.template_slot, 1003);

    // No free slot at all.
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot)
        g_object_protos[slot].kind = k_proto_sprite;
    load_fog(&g_fog);
    EXPECT_EQ(g_fog.template_slot, -1);
}

TEST_F(weather_test, OnePassOfRainCoversTheScreenAndDensityStopsAt128)
{
    g_camera_x = 300.0f;
    g_camera_y = -50.0f;
    start_rain(&g_rain, 1, 1.0f);
    std::vector<int32_t> rain = emitters_of(g_rain.template_slot);
    ASSERT_EQ(rain.size(), 32u);  // 8 columns of 4 rows at 1024 x 768
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            expected.insert({150 * i, -200 * j});  // created above the camera row by row
    EXPECT_EQ(offsets_of(rain), expected);
    const world_object& o = g_objects[rain[0]];
    EXPECT_EQ(o.layer, k_weather_layer);
    EXPECT_EQ(o.particle_role, k_role_emitter);
    EXPECT_EQ(o.depth_sorted, 1u);
    EXPECT_EQ(o.state, 2);
    EXPECT_FLOAT_EQ(o.depth_offset, 1000.0f);
    EXPECT_EQ(g_rain.active, 1);
    EXPECT_EQ(g_rain.density, 1);
    EXPECT_EQ(g_rain.member_count, 0);  // adopted at the next object pass

    stop_rain(&g_rain);  // also the emitters no object pass has adopted yet
    EXPECT_TRUE(emitters_of(g_rain.template_slot).empty());
    EXPECT_EQ(g_rain.active, 0);

    start_rain(&g_rain, 5, 1.0f);
    EXPECT_EQ(emitters_of(g_rain.template_slot).size(), 128u);
    EXPECT_EQ(g_rain.density, 5);

    // Fog halves its grid at zoom 2; snow's grid grows with the zoom instead.
    g_zoom = 2.0f;
    start_fog(&g_fog, 1, 2.0f);
    std::vector<int32_t> fog = emitters_of(g_fog.template_slot);
    EXPECT_EQ(fog.size(), 10u);  // 5 columns of 2 rows over 512 x 384
    EXPECT_FLOAT_EQ(g_objects[fog[0]].depth_offset, 10000.0f);
    start_snow(&g_snow, 1);
    std::vector<int32_t> snow = emitters_of(g_snow.template_slot);
    EXPECT_EQ(snow.size(), 120u);  // 15 columns of 8 rows over 2048 x 1536
    EXPECT_EQ(g_objects[snow[0]].depth_sorted, 0u);
    EXPECT_EQ(g_objects[snow[0]].state, 3);
}

TEST_F(weather_test, MembersFollowTheCameraOutsideOnly)
{
    start_rain(&g_rain, 1, 1.0f);
    run_frame();
    ASSERT_EQ(g_rain.member_count, 32);
    g_camera_x = 1000.0f;
    g_camera_y = 2000.0f;
    update_rain(&g_rain);
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            expected.insert({150 * i, 200 * j});
    EXPECT_EQ(offsets_of(emitters_of(g_rain.template_slot)), expected);

    // Inside, or with the weather not shown, the emitters stay where they are.
    g_scene_header.level_type = k_level_inside;
    g_camera_x = 0.0f;
    update_rain(&g_rain);
    EXPECT_FLOAT_EQ(g_objects[g_rain.members[0]].x - 1000.0f, float(g_rain.grid_x[0]));
    g_scene_header.level_type = k_level_outside;
    g_settings.gr_displayweather = 0;
    update_rain(&g_rain);
    EXPECT_FLOAT_EQ(g_objects[g_rain.members[0]].x - 1000.0f, float(g_rain.grid_x[0]));

    // Off, it does not start either.
    stop_rain(&g_rain);
    start_rain(&g_rain, 1, 1.0f);
    EXPECT_EQ(g_rain.active, 0);
    EXPECT_TRUE(emitters_of(g_rain.template_slot).empty());
}

// Each emitter keeps the grid place it was made for, frame after frame, whatever order the
// object pass meets it in: fog of sprites is drawn sorted by depth, row by row, and the emitters
// of a rain started again take the freed slots from the top down, out of index order.
TEST_F(weather_test, EachEmitterKeepsTheGridPlaceItWasMadeFor)
{
    write_template("data/env/fog.pr", k_proto_sprite);
    load_fog(&g_fog);
    start_fog(&g_fog, 1, 1.0f);
    start_rain(&g_rain, 1, 1.0f);
    stop_rain(&g_rain);
    start_rain(&g_rain, 1, 1.0f);
    std::map<int32_t, std::pair<float, float>> made_at;  // each emitter's offset from the camera
    for (int16_t slot : {g_fog.template_slot, g_rain.template_slot})
        for (int32_t i : emitters_of(slot))
            made_at[i] = {g_objects[i].x - g_camera_x, g_objects[i].y - g_camera_y};
    ASSERT_EQ(made_at.size(), 64u);
    for (int frame = 0; frame < 4; ++frame) {
        g_camera_x += 37.0f;
        g_camera_y += 11.0f;
        run_frame();
        update_fog(&g_fog);
        update_rain(&g_rain);
        for (const auto& [i, offset] : made_at) {
            EXPECT_FLOAT_EQ(g_objects[i].x - g_camera_x, offset.first);
            EXPECT_FLOAT_EQ(g_objects[i].y - g_camera_y, -offset.second);  // made above, kept below
        }
    }
}

TEST_F(weather_test, EachWeatherAdoptsOnlyItsOwnEmittersAndStopsOnlyThose)
{
    start_rain(&g_rain, 1, 1.0f);
    start_snow(&g_snow, 1);
    int32_t ordinary = add_object(0, 0, g_rain.template_slot, 1.0f, 1.0f, 0, 0);  // rain's prototype, class 0
    run_frame();
    EXPECT_EQ(g_rain.member_count, 32);
    EXPECT_EQ(g_snow.member_count, 32);
    for (int k = 0; k < g_rain.member_count; ++k)
        EXPECT_EQ(g_objects[g_rain.members[k]].proto, g_rain.template_slot);

    stop_snow(&g_snow);
    EXPECT_TRUE(emitters_of(g_snow.template_slot).empty());
    EXPECT_EQ(emitters_of(g_rain.template_slot).size(), 32u);
    EXPECT_NE(g_objects[ordinary].state, 0);

    // A level change switches the weather off without touching objects, which the new level owns.
    switch_off_weather(&g_rain);
    EXPECT_EQ(g_rain.active, 0);
    EXPECT_EQ(g_rain.member_count, 0);
    EXPECT_EQ(emitters_of(g_rain.template_slot).size(), 32u);
    run_frame();
    EXPECT_EQ(g_rain.member_count, 0);
}

TEST_F(weather_test, RestartKeepsTheDensityAtTheNewZoomAndOnlyWhileOn)
{
    restart_rain(&g_rain, 2.0f);
    EXPECT_EQ(g_rain.active, 0);
    start_rain(&g_rain, 2, 1.0f);
    run_frame();
    restart_rain(&g_rain, 2.0f);
    EXPECT_EQ(g_rain.density, 2);
    EXPECT_EQ(emitters_of(g_rain.template_slot).size(), 20u);  // two passes of 5 x 2 at 512 x 384
}

TEST_F(weather_test, TheWeatherRollStartsAndStopsTheWeather)
{
    g_scene_header.rain_chance = 100;
    g_scene_header.rain_duration = 1;
    g_work_mode = k_work_play;
    update_weather(&g_scene_header);
    EXPECT_EQ(g_scene_header.weather, k_weather_rain);
    EXPECT_EQ(g_rain.active, 1);
    run_frame();
    g_scene_header.rain_chance = 0;
    g_ticks += 100;
    update_weather(&g_scene_header);
    EXPECT_EQ(g_rain.active, 0);
    EXPECT_TRUE(emitters_of(g_rain.template_slot).empty());

    // The scene start switches rain off without freeing anything.
    start_rain(&g_rain, 1, 1.0f);
    play_scene_music(&g_scene_header);
    EXPECT_EQ(g_rain.active, 0);
    EXPECT_EQ(emitters_of(g_rain.template_slot).size(), 32u);
}

TEST_F(weather_test, LightningDoublesTheAmbientAndReturnsIt)
{
    g_scene_header.level_type = k_level_outside;
    g_work_mode = k_work_play;
    g_ambient_color = {0.5f, 0.4f, 0.2f};
    toggle_lightning(&g_lightning);
    EXPECT_EQ(g_lightning.state, k_lightning_waiting);
    EXPECT_EQ(g_lightning.flash, 1);
    EXPECT_GE(g_lightning.flashes, 2);
    EXPECT_LE(g_lightning.flashes, 4);
    EXPECT_GE(g_lightning.due, g_ticks + 200);
    EXPECT_LE(g_lightning.due, g_ticks + 600);

    g_ticks = g_lightning.due;
    update_lightning(&g_lightning);
    EXPECT_EQ(g_lightning.state, k_lightning_flash_due);
    EXPECT_TRUE(lightning_in_progress(&g_lightning));
    update_lightning(&g_lightning);
    EXPECT_EQ(g_lightning.state, k_lightning_brightening);
    EXPECT_EQ(g_lightning.steps, 5);  // 10 / (flash 1 + 1)

    // While the flash runs the clock leaves the colour alone.
    g_game_clock.hour = 12;
    float brightest = 0.0f;
    int ticks = 0;
    while (g_lightning.state != k_lightning_waiting && ticks++ < 100) {
        ++g_ticks;
        apply_daylight(&g_game_clock);  // a flash is in progress here: no effect
        update_lightning(&g_lightning);
        brightest = std::max(brightest, g_ambient_color.red);
    }
    EXPECT_NEAR(brightest, 1.0f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.red, 0.5f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.green, 0.4f, 1e-5f);
    EXPECT_NEAR(g_ambient_color.blue, 0.2f, 1e-5f);
    EXPECT_EQ(device_->get_render_state(render_state::ambient), set_device_ambient_light());

    // The next flash of the burst is due 10 ticks later, with fewer steps; the burst ends with a
    // long pause and a new count.
    if (g_lightning.flash < g_lightning.flashes) {
        EXPECT_EQ(g_lightning.due, g_ticks + 10);
    } else {
        EXPECT_EQ(g_lightning.flash, 0);
        EXPECT_GE(g_lightning.due, g_ticks + 200);
    }

    toggle_lightning(&g_lightning);
    EXPECT_EQ(g_lightning.state, k_lightning_off);
    float before = g_ambient_color.red;
    g_ticks += 10000;
    update_lightning(&g_lightning);
    EXPECT_EQ(g_ambient_color.red, before);
}

} // namespace
