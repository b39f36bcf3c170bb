// A frame of the demo's placed objects on the recording device: the draws come in layer order,
// depth-sorted objects by their depth keys, and each lands where its world position says.
#include "world/object_fixture.h"

#include "core/globals.h"
#include "engine/packed_stream.h"
#include "engine/textures.h"
#include "shell/device_setup.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// The view contract of 50.7 units per 640 pixels places a quad within about half a percent of
// its distance from the screen centre.
constexpr float k_pixels = 3.0f;

class object_frame_test : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        init_render_states();
    }

    // Reads a demo ".pr" file into the next level slot.
    static int32_t read_demo_proto(const char* path)
    {
        int32_t slot = int32_t(g_object_proto_count++);
        packed_stream* in = stream_open(path, "rp");
        EXPECT_TRUE(read_object_proto(slot, in, 0)) << path;
        stream_close(in);
        return slot;
    }

    static int32_t place(int32_t proto, float x, float y, uint8_t layer, bool depth_sorted = false)
    {
        int32_t i = add_object(x, y, proto, 1, 1, 0, 0);
        g_objects[i].layer = layer;
        g_objects[i].depth_sorted = depth_sorted ? 1 : 0;
        return i;
    }

    // The screen rectangle a draw covers.
    struct box {
        float left, top, right, bottom;
    };
    box screen_box(const recorded_draw& d) const
    {
        box b{1e9f, 1e9f, -1e9f, -1e9f};
        for (uint32_t v = 0; v < d.vertex_count; ++v) {
            float x, y, z;
            EXPECT_TRUE(device_->screen_position(d, v, x, y, z));
            b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
        }
        return b;
    }

    static bool shows(const recorded_draw& d, const object_proto& p, int32_t animation = 0)
    {
        for (int32_t f = 0; f < p.frame_counts[animation]; ++f)
            if (p.frames[animation][f] >= 0 && d.texture == g_textures[p.frames[animation][f]].surface)
                return true;
        return false;
    }
};

TEST_F(object_frame_test, PlacedObjectsDrawInLayerAndDepthOrderAtTheirPositions)
{
    int32_t meadow = read_demo_proto("data/objects/meadow.pr");
    int32_t torch = read_demo_proto("data/objects/torch.pr");
    int32_t wheel = read_demo_proto("data/objects/wheel.pr");
    ASSERT_EQ(g_object_protos[meadow].kind, k_proto_surface);
    ASSERT_EQ(g_object_protos[wheel].frame_counts[0], 16);

    place(torch, 400, 300, 10);
    place(wheel, 600, 350, 10, true);
    place(torch, 500, 250, 10, true);
    int32_t quad = place(torch, 0, 0, 5);
    const float corners[8] = {700, 200, 700, 100, 800, 100, 800, 200};
    std::copy(std::begin(corners), std::end(corners), g_objects[quad].corners);
    g_objects[quad].has_corners = 1;
    place(meadow, 0, 0, 0);
    sort_objects();

    // Two passes hide the new objects; the third computes the depth keys, which the next frame
    // sorts by before it draws.
    for (int frame = 0; frame < 3; ++frame)
        run_frame();
    device_->clear_recording();
    run_frame();

    const auto& draws = device_->draws();
    ASSERT_EQ(draws.size(), 11u + 1u + 3u);
    // The surface: 4 x 3 tiles by columns, the masked tile (3, 1) left out.
    size_t d = 0;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 3; ++r) {
            if (c == 3 && r == 1)
                continue;
            const recorded_draw& tile = draws[d++];
            EXPECT_EQ(tile.texture, g_textures[g_object_protos[meadow].frames[c][r]].surface);
            box b = screen_box(tile);
            EXPECT_NEAR(b.left, 64.0f * float(c), k_pixels) << c << "," << r;
            EXPECT_NEAR(b.top, 64.0f * float(r), k_pixels);
            EXPECT_NEAR(b.right - b.left, 64.0f, k_pixels);
        }
    }
    // Layer 5: the cornered quad spans its corners.
    box q = screen_box(draws[d]);
    EXPECT_TRUE(shows(draws[d++], g_object_protos[torch]));
    EXPECT_NEAR(q.left, 700, k_pixels);
    EXPECT_NEAR(q.top, 100, k_pixels);
    EXPECT_NEAR(q.right, 800, k_pixels);
    EXPECT_NEAR(q.bottom, 200, k_pixels);
    // Layer 10: the plain torch in array order, then the depth-sorted torch (key 250) before
    // the wheel (key 350), each centred on its position at its image's size.
    struct expected_sprite {
        int32_t proto;
        float x, y;
    };
    for (const expected_sprite& e : {expected_sprite{torch, 400, 300}, {torch, 500, 250}, {wheel, 600, 350}}) {
        const recorded_draw& s = draws[d++];
        EXPECT_TRUE(shows(s, g_object_protos[e.proto])) << e.x;
        box b = screen_box(s);
        EXPECT_NEAR((b.left + b.right) / 2, e.x, k_pixels);
        EXPECT_NEAR((b.top + b.bottom) / 2, e.y, k_pixels);
        EXPECT_NEAR(b.right - b.left, 64.0f, k_pixels);
    }

    // Moving the camera and zooming in moves every draw with them.
    g_camera_x = 100;
    g_zoom = 2;
    device_->clear_recording();
    run_frame();
    box moved = screen_box(device_->draws().back());
    EXPECT_NEAR((moved.left + moved.right) / 2, (600 - 100) * 2.0f, k_pixels);
    EXPECT_NEAR(moved.right - moved.left, 128.0f, k_pixels);
}

TEST_F(object_frame_test, MeshObjectsDrawTheirModelPartsAtTheirDepthAndLeaveTheDepthTestOff)
{
    write_text("crate.txt", "crate kind 3 zbuf 1 second 0 w 64 h 64 frames 1 : 3d\\demo\\crate.3d mode 0 delay 0");
    int32_t crate = add_object_proto("crate.txt");
    ASSERT_GE(g_object_protos[crate].frames[0][0], 0);
    int32_t i = place(crate, 400, 330, 10, true);
    g_objects[i].state = 1;
    device_->clear_recording();
    run_frame();
    ASSERT_FALSE(device_->draws().empty());
    for (const recorded_draw& draw : device_->draws())
        EXPECT_GT(draw.index_count, 0u);
    EXPECT_FLOAT_EQ(g_objects[i].z, -1.0f - 330.0f / 55.0f);
    EXPECT_EQ(g_objects[i].depth_key, 330);
    EXPECT_EQ(g_d3d_device->get_render_state(render_state::z_enable), uint32_t(z_mode::off));
}

} // namespace
