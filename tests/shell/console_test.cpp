#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/lights.h"
#include "engine/sprite_font.h"
#include "engine/textures.h"
#include "platform/device_test_support.h"
#include "platform/image_writer.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/window.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"
#include "world/game_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

class console_line : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_text("global/.keep", "");
        g_console_enabled = 1;
        g_console_shown = 1;
        g_console_history_count = 0;
        std::memset(g_console_history, 0, sizeof g_console_history);
        std::strcpy(g_console_line, "_");
        g_console_line_length = 0;
        g_console_last_char = 0;
        g_console_repeat_tick = 0;
        g_console_enter_latch = 1;
        g_ticks = 100;
        release();
    }
    void TearDown() override
    {
        release();
        g_console_enabled = 0;
        g_console_shown = 0;
        g_console_history_count = 0;
    }

    static void release() { std::memset(g_key_state, 0, sizeof g_key_state); }
    static void hold(std::initializer_list<uint8_t> keys)
    {
        release();
        for (uint8_t key : keys)
            g_key_state[key] = 0x80;
    }
    // The program draws on `device`, a 1024 x 768 screen seen by the fixed camera.
    static void draw_on(recording_device& device)
    {
        use_fixed_camera(device);
        g_d3d_device = &device;
        g_screen_width = 1024;
        g_screen_height = 768;
    }
    // One frame with these keys held.
    static void frame(std::initializer_list<uint8_t> keys)
    {
        hold(keys);
        draw_console();
        ++g_ticks;
    }
    static void type(const char* keys_text)
    {
        for (const char* p = keys_text; *p; ++p) {
            frame({uint8_t(*p)});
            frame({});
        }
    }

    temp_folder folder;
};

TEST_F(console_line, KeysGiveTheirCharactersInTestOrder)
{
    struct { std::initializer_list<uint8_t> keys; char c; } cases[] = {
        {{k_key_a}, 'a'},
        {{k_key_a, k_key_lshift}, 'A'},
        {{k_key_z, k_key_rshift}, 'Z'},
        {{k_key_x, k_key_y}, 'y'},           // y is tested before x
        {{k_key_q, k_key_5}, 'q'},           // letters before digits
        {{k_key_space}, ' '},
        {{k_key_0}, '0'},
        {{k_key_9}, '9'},
        {{k_key_numpad7}, '7'},
        {{k_key_decimal}, '.'},
        {{k_key_period}, '.'},
        {{k_key_slash}, '/'},
        {{k_key_backslash}, '\\'},
        {{k_key_semicolon}, ':'},
        {{k_key_semicolon, k_key_lshift}, ':'},
        {{k_key_minus}, '-'},
        {{k_key_subtract, k_key_lshift}, '_'},
        {{k_key_back}, '$'},
        {{k_key_back, k_key_1}, '1'},        // backspace comes last
        {{k_key_return}, 0},
        {{k_key_f1}, 0},
    };
    for (const auto& c : cases) {
        hold(c.keys);
        EXPECT_EQ(read_typed_char(), uint8_t(c.c)) << c.c;
    }
}

TEST_F(console_line, AHeldKeyRepeatsAfterThirtyTicksThenEveryThree)
{
    std::string typed_at;
    for (int i = 0; i < 40; ++i) {
        int32_t before = g_console_line_length;
        frame({k_key_a});
        if (g_console_line_length > before)
            typed_at += std::to_string(i) + " ";
    }
    // Pressed at tick 100: again at tick 131, then 134, 137.
    EXPECT_EQ(typed_at, "0 31 34 37 ");
    EXPECT_STREQ(g_console_line, "aaaa_");

    // Released and pressed again, it types at once.
    frame({});
    frame({k_key_a});
    EXPECT_EQ(g_console_line_length, 5);
}

TEST_F(console_line, BackspaceDeletesAndTheLineHoldsAtMost102Characters)
{
    frame({k_key_back});
    EXPECT_STREQ(g_console_line, "_");
    type("\x1E\x30");  // a, b
    EXPECT_STREQ(g_console_line, "ab_");
    frame({k_key_back});
    EXPECT_STREQ(g_console_line, "a_");
    EXPECT_EQ(g_console_last_char, '$');

    for (int i = 0; i < 150; ++i)
        type("\x2D");  // x
    EXPECT_EQ(g_console_line_length, k_console_line_max);
    EXPECT_EQ(std::strlen(g_console_line), size_t(k_console_line_max) + 1);
    EXPECT_EQ(g_console_line[k_console_line_max], '_');
}

TEST_F(console_line, EnterRunsTheLineOnceAndUnknownLinesLogError)
{
    frame({k_key_return});
    EXPECT_STREQ(g_console_history[1], "");
    EXPECT_STREQ(g_console_history[0], "error");

    type("\x20\x17\x1F");  // d, i, s
    frame({k_key_return});
    frame({k_key_return});  // still held: nothing more
    frame({k_key_return});
    EXPECT_STREQ(g_console_history[1], "dis");
    EXPECT_STREQ(g_console_history[0], "error");
    EXPECT_STREQ(g_console_line, "_");
    EXPECT_EQ(g_console_line_length, 0);
    EXPECT_EQ(read_text("global/konzola.log"), "\nerror\ndis\nerror\n");

    frame({});
    frame({k_key_return});
    EXPECT_EQ(read_text("global/konzola.log"), "\nerror\ndis\nerror\n\nerror\n");
}

TEST_F(console_line, AHiddenConsoleTypesNothing)
{
    g_console_shown = 0;
    type("\x1E");
    frame({k_key_return});
    EXPECT_STREQ(g_console_line, "_");
    EXPECT_FALSE(std::filesystem::exists("global/konzola.log"));
}

} // namespace

TEST_F(console_line, TheShownConsoleDrawsItsBoxAndLinesWithTheLightsOffAndRestoresThem)
{
    recording_device device(1024, 768);
    draw_on(device);
    std::memset(g_lights, 0, sizeof g_lights);
    g_lights[3].state = k_light_on;
    device.light_enable(3, true);
    g_ambient_color = {0.5f, 0.5f, 0.5f};

    frame({});
    g_d3d_device = nullptr;

    bool switched_off = false;
    for (const recorded_call& call : device.calls())
        switched_off |= call.kind == device_call::light_enable && call.what == 3 && call.value == 0;
    EXPECT_TRUE(switched_off);
    EXPECT_TRUE(device.is_light_enabled(3));
    EXPECT_EQ(device.get_render_state(render_state::ambient), 0xFF7F7F7Fu);

    // The box comes first, at the bottom centre of the screen.
    ASSERT_FALSE(device.draws().empty());
    const recorded_draw& box = device.draws().front();
    float x, y, z, min_x = 1e9f, max_y = -1e9f;
    for (uint32_t i = 0; i < box.vertex_count; ++i) {
        ASSERT_TRUE(device.screen_position(box, i, x, y, z));
        min_x = std::min(min_x, x);
        max_y = std::max(max_y, y);
    }
    EXPECT_NEAR(min_x, 212.0f, 3.0f);
    EXPECT_NEAR(max_y, 768.0f - 62.0f, 3.0f);
    EXPECT_NEAR(device.material_of(box).diffuse.a, 0.6f, 1e-5f);
}

TEST_F(console_line, LongLinesAreDrawnInsideTheBox)
{
    recording_device device(1024, 768);
    draw_on(device);
    saved_globals kept;
    kept.keep(g_sprite_font);
    // Every glyph a 16 x 16 image advancing 12 pixels.
    std::vector<uint32_t> texels(16 * 16, 0xFFFFFFFFu);
    ASSERT_TRUE(write_image_file("glyph.tga", texels.data(), 16, 16));
    const int32_t glyph = get_texture("glyph.tga", 0, 0, 0, 0, 1, 0);
    ASSERT_GE(glyph, 0);
    std::fill(std::begin(g_sprite_font.glyphs), std::end(g_sprite_font.glyphs), glyph);
    std::fill(std::begin(g_sprite_font.width), std::end(g_sprite_font.width), 12);
    for (int i = 0; i < k_console_history_lines; ++i)
        console_log("%s", std::string(200, 'h').c_str());  // 2,400 pixels each
    const std::string typed = std::string(60, 't') + "ij";  // 62 typed and the cursor: 756 pixels
    std::strcpy(g_console_line, (typed + "_").c_str());
    g_console_line_length = int32_t(typed.size());

    device.clear_recording();
    frame({});
    g_d3d_device = nullptr;
    size_t glyphs = 0;
    for (const recorded_draw& d : device.draws()) {
        if (d.texture != g_textures[glyph].surface)
            continue;
        ++glyphs;
        for (uint32_t i = 0; i < d.vertex_count; ++i) {
            float x, y, z;
            ASSERT_TRUE(device.screen_position(d, i, x, y, z));
            EXPECT_TRUE(x >= 212.0f - 3.0f && x <= 812.0f + 3.0f) << "a glyph at x " << x;
        }
    }
    // The history lines keep their beginnings, the typed line its end with the cursor: about
    // 48 glyphs of 12 pixels each line.
    EXPECT_GE(glyphs, size_t(10 * 45));
    EXPECT_EQ(std::string(g_console_line), typed + "_");  // drawn cut, kept whole
    clear_texture_table();
}
