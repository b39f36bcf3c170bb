// The object pass of one frame: 15,000, 30,000 or 60,000 world objects (the argument) of mixed
// layers, a third of them depth-sorted and moving, sorted by depth and drawn on the recording
// device (CPU time per frame). One case has every object on screen, one a level where most lie
// outside the view.
#include "bench/bench_scene.h"
#include "core/frame_timing.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "platform/random.h"
#include "platform/recording_device.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int32_t k_sprite_protos = 8;

// A scratch folder with the sprite images, a device and a level of objects; undone on exit.
class object_scene : public bench_scene {
public:
    object_scene(float spread, uint32_t objects) : bench_scene("zorv_objects_bench")
    {
        make_protos();
        place_objects(spread, objects);
    }

    ~object_scene()
    {
        free_objects();
        for (int32_t s = 0; s < int32_t(g_object_proto_count); ++s)
            unload_object_proto(s, false);
        g_object_proto_count = 0;
    }

private:
    void make_protos()
    {
        g_object_proto_count = 0;
        std::vector<uint32_t> texels(32 * 32);
        for (int32_t s = 0; s < k_sprite_protos; ++s) {
            int32_t slot = add_empty_object_proto();
            object_proto& p = g_object_protos[slot];
            p.width = p.height = 32;
            p.anim_mode = k_anim_loop;
            p.frame_delay = 2;
            p.frame_counts[0] = 4;
            for (int32_t f = 0; f < 4; ++f) {
                std::snprintf(p.frame_names[f], sizeof p.frame_names[f], "s%d_%02d.tga", int(s), int(f));
                for (size_t i = 0; i < texels.size(); ++i)
                    texels[i] = 0xFF000000u | uint32_t(s * 30 + f * 7 + int32_t(i)) * 2654435761u >> 8;
                write_image_file(p.frame_names[f], texels.data(), 32, 32);
            }
            load_proto_textures(slot, 0);
        }
    }

    static void place_objects(float spread, uint32_t objects)
    {
        game_srand(7);
        reserve_objects(objects);
        for (uint32_t i = 0; i < objects; ++i) {
            float x = float(game_rand() % 1000) / 1000.0f * 1024.0f * spread;
            float y = float(game_rand() % 1000) / 1000.0f * 768.0f * spread;
            int32_t index = add_object(x, y, int32_t(i % k_sprite_protos), 1.0f, 1.0f, 0, 0);
            world_object& o = g_objects[index];
            o.layer = uint8_t(game_rand() % 20);
            o.state = 1;
            if (i % 3 == 0) {
                o.layer = 10;
                o.depth_sorted = 1;
            }
        }
        sort_objects();
    }
};

// One frame: the depth-sorted objects move a little, then the owners' pass sorts them and the
// object pass animates and draws every object.
void run_frame(uint32_t frame)
{
    ++g_ticks;
    for (uint32_t i = frame % 3; i < g_object_count; i += 97)
        if (g_objects[i].depth_sorted)
            g_objects[i].y += (frame & 1) ? 3.0f : -3.0f;
    follow_owner_objects();
    draw_objects();
}

// Timed in the steady state: the first frames sort the newly placed objects once.
void run_frames(benchmark::State& state, float spread)
{
    object_scene scene(spread, uint32_t(state.range(0)));
    uint32_t frame = 0;
    for (; frame < 4; ++frame) {
        run_frame(frame);
        scene.device().clear_recording();
    }
    size_t quads = scene.time_frames(state, [&] { run_frame(frame++); });
    state.counters["quads"] = double(quads);
    state.counters["depth_sorted"] = double(g_depth_list_count);
}

void BM_ObjectFrameAllOnScreen(benchmark::State& state)
{
    run_frames(state, 1.0f);
}
BENCHMARK(BM_ObjectFrameAllOnScreen)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_ObjectFrameLevelOfTenScreens(benchmark::State& state)
{
    run_frames(state, 3.2f);
}
BENCHMARK(BM_ObjectFrameLevelOfTenScreens)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
