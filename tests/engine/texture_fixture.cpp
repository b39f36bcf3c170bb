#include "engine/texture_fixture.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "engine/sprite_font.h"
#include "engine/textures.h"
#include "level/level_saves.h"
#include "platform/clock.h"
#include "platform/device_test_support.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "shell/device_setup.h"
#include "world/game_clock.h"
#include "world/object_protos.h"

#include <vector>

void texture_test::SetUp()
{
    folder_ = std::make_unique<temp_folder>();
    make_folder("global");
    device_ = std::make_unique<recording_device>(1024, 768);
    g_d3d_device = device_.get();
    g_screen_width = 1024;
    g_screen_height = 768;
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = 0.0f;
    g_ambient_color = {1.0f, 1.0f, 1.0f};
    g_map_path[0] = '\0';
    g_console_enabled = 1;
    clock_use_manual(true);
    clock_set_manual(10000);
    clear_texture_table();
    saved_proto_count_ = g_object_proto_count;
    g_object_proto_count = 0;  // no level prototypes: a pack's mask file lists none
}

void texture_test::TearDown()
{
    if (font_loaded_)
        load_sprite_font(&g_sprite_font, nullptr);
    font_loaded_ = false;
    clear_texture_table();
    if (gl_) {
        gl_.reset();
        gl_window_close();
    }
    g_d3d_device = nullptr;
    device_.reset();
    g_object_proto_count = saved_proto_count_;
    g_console_enabled = 0;
    clock_use_manual(false);
    folder_.reset();
}

void texture_test::write_test_image(const char* name, uint32_t w, uint32_t h, uint32_t tag)
{
    std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            texels[y * w + x] = 0xFF000000u | (x * 4 & 0xFF) << 16 | (y * 4 & 0xFF) << 8 | (tag & 0xFF);
    ASSERT_TRUE(write_image_file(name, texels.data(), w, h));
}

void texture_test::load_test_font_and_fixed_textures()
{
    std::vector<uint8_t> font(8 * 90, 0);
    for (uint32_t v : {4u, 2u, k_format_a8r8g8b8, 16u})
        for (int b = 0; b < 4; ++b)
            font.push_back(static_cast<uint8_t>(v >> (8 * b)));
    font.resize(font.size() + 32, 0x7F);
    font.resize(font.size() + 4 * 89, 0);
    packed_stream* out = stream_open("global/main.fn", "wp");
    ASSERT_EQ(stream_write(font.data(), static_cast<int>(font.size()), out), static_cast<int>(font.size()));
    ASSERT_EQ(stream_close(out), 0);
    font_loaded_ = true;
    ASSERT_EQ(load_sprite_font(&g_sprite_font, "global/main.fn"), 1);
    for (const char* name : {"global/select.bmp", "global/select2.bmp", "global/select3.bmp", "global/select4.bmp",
                             "global/close.bmp", "global/black.tga", "global/red.tga", "global/green.tga",
                             "global/blue.tga"})
        write_test_image(name, 8, 8);
    load_fixed_textures();
}

bool texture_test::use_gl_device(std::string& why)
{
    gl_ = open_hidden_gl_device(why);
    if (!gl_)
        return false;
    g_d3d_device = gl_.get();
    init_render_states();
    gl_->clear(k_clear_target | k_clear_depth, 0xFF000000u);
    return true;
}

std::string texture_test::log_text()
{
    return read_text(k_console_log_file);
}
