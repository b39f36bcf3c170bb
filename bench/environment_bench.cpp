// The environment's cost per frame with rain and snow at their densest (128 emitters each), in
// the steady state where their particles fill the screen: the environment's own update (the
// weathers following the camera and adopting their emitters, lightning, the camera shake and the
// dream world), and the whole object pass that draws the weather on the recording device.
#include "bench/bench_scene.h"
#include "core/frame_timing.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "platform/image_writer.h"
#include "platform/random.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// A scratch folder, a device, rain and snow templates and both weathers at their densest; undone
// on exit.
class weather_scene : public bench_scene {
public:
    weather_scene() : bench_scene("zorv_environment_bench")
    {
        g_settings.gr_displayweather = 1;
        reset_scene_header(&g_scene_header);
        game_srand(3);
        for (int32_t s = k_proto_first_template; s < k_proto_slots; ++s)
            g_object_protos[s].kind = k_proto_free;
        g_rain.template_slot = make_template(1000, "drop00.tga", 0.0f, 9.0f, 6, 40);
        g_snow.template_slot = make_template(1001, "flake00.tga", 0.0f, 1.2f, 10, 200);
        reserve_objects(k_object_growth);
        link_weather_to_objects();
        link_dream_world_to_objects();
        start_rain(&g_rain, 5, 1.0f);
        start_snow(&g_snow, 5);
    }

    ~weather_scene()
    {
        free_objects();
        for (int32_t s : {1000, 1001})
            free_object_proto(&g_object_protos[s], s);
        g_object_links = {};
    }

private:
    static int16_t make_template(int32_t slot, const char* image, float vx, float vy, int32_t interval,
                                 int32_t lifetime)
    {
        std::vector<uint32_t> texels(16 * 16, 0xC0A0B0FFu);
        write_image_file(image, texels.data(), 16, 16);
        object_proto& p = g_object_protos[slot];
        reset_object_proto(&p);
        p.frames_loaded = 0;
        p.kind = k_proto_particle;
        p.width = p.height = 16;
        p.frame_counts[0] = 1;
        copy_bounded(p.frame_names[0], sizeof p.frame_names[0], image);
        p.spawn_spread[0] = 75.0f;
        p.spawn_spread[1] = 100.0f;
        p.velocity[0] = vx;
        p.velocity[1] = vy;
        p.velocity_spread[0] = p.velocity_spread[1] = 0.2f;
        p.emit_interval = interval;
        p.particle_lifetime = lifetime;
        p.alpha_mode_value = 2.0f;
        load_proto_textures(slot, 0);
        return int16_t(slot);
    }
};

// The environment's part of a frame: the weathers follow the camera, lightning and the shake
// step, the dream world fades, and the object pass's weather share (the member lists cleared and
// every weather emitter offered back).
void update_environment()
{
    update_rain(&g_rain);
    update_snow(&g_snow);
    update_fog(&g_fog);
    update_lightning(&g_lightning);
    expire_camera_shake(&g_camera_shake);
    draw_dream_overlay(&g_dream_world);
    clear_weather_members();
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (g_objects[i].object_class == k_class_weather)
            offer_weather_member(int32_t(i));
}

// One whole frame: the camera pans, the environment updates, and the object pass runs.
void run_frame(uint32_t frame)
{
    ++g_ticks;
    g_camera_x = float(frame % 200);
    update_environment();
    follow_owner_objects();
    draw_objects();
}

// Runs frames until the particles of both weathers have reached their steady count.
void settle(weather_scene& scene, uint32_t& frame)
{
    for (; frame < 400; ++frame) {
        run_frame(frame);
        scene.device().clear_recording();
    }
}

void BM_EnvironmentUpdateDensestRainAndSnow(benchmark::State& state)
{
    weather_scene scene;
    uint32_t frame = 0;
    settle(scene, frame);
    for (auto _ : state) {
        ++g_ticks;
        g_camera_x = float(frame++ % 200);
        update_environment();
    }
    state.counters["emitters"] = double(g_rain.member_count + g_snow.member_count);
    state.counters["objects"] = double(g_object_count);
}
BENCHMARK(BM_EnvironmentUpdateDensestRainAndSnow)->Unit(benchmark::kMicrosecond);

void BM_ObjectFrameWithDensestRainAndSnow(benchmark::State& state)
{
    weather_scene scene;
    uint32_t frame = 0;
    settle(scene, frame);
    size_t quads = scene.time_frames(state, [&] { run_frame(frame++); });
    state.counters["quads"] = double(quads);
    state.counters["objects"] = double(g_object_count);
}
BENCHMARK(BM_ObjectFrameWithDensestRainAndSnow)->Unit(benchmark::kMillisecond);

} // namespace
