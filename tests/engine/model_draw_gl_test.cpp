// Model drawing on the OpenGL device under the offscreen driver: what reaches the pixels.
#include "engine/texture_fixture.h"

#include "engine/model_draw.h"
#include "engine/models.h"
#include "engine/textures.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class model_gl_test : public texture_test {
protected:
    void SetUp() override
    {
        texture_test::SetUp();
        std::string why;
        if (!use_gl_device(why))
            GTEST_SKIP() << "no OpenGL device: " << why;
    }

    void TearDown() override
    {
        free_model(&crate_);
        texture_test::TearDown();
    }

    model crate_;
};

} // namespace

TEST_F(model_gl_test, TheDemoCrateShowsItsTopTexturedAtItsPlace)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string()).c_str()), 0);
    load_model(&crate_, "3d\\demo\\crate.3d");
    ASSERT_EQ(crate_.frame_count, 4);
    gl_->begin_scene();
    draw_model(&crate_, 300, 200, 0, 3.0f, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, -1);
    draw_model(&crate_, 600, 400, 0, 3.0f, 50, 20, 30, 1, 3, 0, 0, 1, 1, 1, -1);
    gl_->end_scene();
    std::vector<uint32_t> frame;
    ASSERT_TRUE(gl_->read_frame(frame));
    auto at = [&](int x, int y) { return frame[static_cast<size_t>(y) * 1024 + x]; };
    // The top, lit by the white ambient light at the grey material's half: wood, not black.
    const uint32_t top = at(300 + 20, 200 + 20);
    EXPECT_GT((top >> 16) & 0xFF, 40u) << std::hex << top;
    EXPECT_GT((top >> 16) & 0xFF, top & 0xFF) << std::hex << top; // reddish brown
    // The second crate, turned, in its grey second skin.
    const uint32_t turned = at(600, 400);
    EXPECT_GT(turned & 0xFF, 30u) << std::hex << turned;
    EXPECT_GE(turned & 0xFF, (turned >> 16) & 0xFF) << std::hex << turned;
    EXPECT_EQ(at(600, 700) & 0xFFFFFF, 0u);
    EXPECT_EQ(at(300, 400) & 0xFFFFFF, 0u);
    EXPECT_EQ(gl_->get_render_state(render_state::z_enable), static_cast<uint32_t>(z_mode::off));
}
