// Tests of the message-log window and the quest log: a scratch folder, the recording device at
// 1024 x 768 and the small font replaced by one whose every byte is 10 pixels wide and draws one
// pixel, so that each string drawn tells its length, place and colour.
#pragma once

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "platform/image_writer.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"
#include "tests/interface/recorded_places.h"
#include "tests/script/fixed_advance_font.h"

#include <cstring>
#include <memory>
#include <string>

struct drawn_string {
    size_t bytes;
    int x, y;
    uint32_t colour;  // 0x00BBGGRR
};

class log_panels_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_interface), saved_.keep(g_key_state), saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y), saved_.keep(g_ticks), saved_.keep(g_dialogue_running), saved_.keep(g_font_small);
        if (!font_.make_drawable())
            GTEST_SKIP() << "no font face to draw with";
        g_font_small = g_font_large;
        use_fixed_camera(device_);
        clear_texture_table();
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_mouse_screen_x = g_mouse_screen_y = -100.0f;
        g_dialogue_running = 0;
    }
    void TearDown() override
    {
        clear_texture_table();
        saved_.restore();  // the small font comes back before the replacement's looks are freed
    }
    static uint16_t texture(const std::string& name) { return test_texture(name); }
    std::vector<drawn_string> strings() const
    {
        std::vector<drawn_string> out;
        const auto byte = [](float v) { return uint32_t(std::lround(v * 255.0f)); };
        for (const recorded_draw& d : device_.draws()) {
            float x = 0, y = 0, z = 0;
            device_.screen_position(d, 0, x, y, z);
            const device_colour& c = device_.material_of(d).emissive;
            if (d.type == primitive_type::triangle_list)
                out.push_back({d.vertex_count / 6, int(std::lround(x + 0.5f)), int(std::lround(y + 0.5f)),
                               byte(c.r) | byte(c.g) << 8 | byte(c.b) << 16});
        }
        return out;
    }

    temp_folder folder_;
    fixed_advance_font font_{10};
    recording_device device_{1024, 768};
    use_device device_guard_{&device_};
    saved_globals saved_;
};
