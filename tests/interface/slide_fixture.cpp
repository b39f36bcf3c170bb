#include "interface/slide_fixture.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "tests/platform/device_test_support.h"

#include <cstdio>
#include <cstring>

namespace {

void clear_input()
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_mouse_left = 0;
}

void clear_shows()
{
    g_intro_slides = {};
    g_epilogue_slides = {};
    g_chapter_slides = {};
}

} // namespace

std::vector<std::string>& slide_test::calls()
{
    static std::vector<std::string> list;
    return list;
}

bool& slide_test::narration_playing()
{
    static bool playing = false;
    return playing;
}

void slide_test::SetUp()
{
    for (auto keep : {keep_value(g_ticks), keep_value(g_language), keep_value(g_settings), keep_value(g_interface),
                      keep_value(g_dialogue_running), keep_value(g_message_shown), keep_value(g_quit),
                      keep_value(g_game_finished), keep_value(g_sound_enabled), keep_value(g_console_enabled),
                      keep_value(g_scene_header), keep_value(g_ambient_color), keep_value(g_lights),
                      keep_value(g_light_count), keep_value(g_interface_links), keep_value(g_slide_narration_active),
                      keep_value(g_d3d_device), keep_value(g_screen_width), keep_value(g_screen_height)})
        restorers_.push_back(keep);
    folder_ = std::make_unique<temp_folder>();
    make_folder("global");
    device_ = std::make_unique<recording_device>(1024, 768);
    g_d3d_device = device_.get();
    use_fixed_camera(*device_);
    g_screen_width = 1024;
    g_screen_height = 768;
    clear_texture_table();
    audio_init_headless(k_audio_rate);
    g_sound_enabled = 1;
    g_console_enabled = 0;
    music_init();
    clear_shows();
    clear_input();
    reset_hook_skip_log();
    std::strcpy(g_language, "eng");
    g_settings.snd_soundvolume = 70;
    g_ticks = 1000;
    g_dialogue_running = g_message_shown = g_quit = g_game_finished = 0;
    std::memset(g_lights, 0, sizeof g_lights);
    g_light_count = 0;

    calls().clear();
    narration_playing() = true;
    g_slide_narration_active = [](uint32_t stream) { return stream != 0 && narration_playing(); };
    g_interface_links = {};
    g_interface_links.reset_message_window = [] { calls().push_back("reset"); };
    g_interface_links.show_text_file = [](const char* path) {
        calls().push_back(std::string("show:") + path);
        g_message_shown = 1;
    };
    g_interface_links.draw_message_window = [] { calls().push_back("draw"); };
    g_interface_links.cancel_item_drag = [] { calls().push_back("cancel_item_drag"); };
    g_interface_links.wait_until_released = [](bool (*held)()) {
        calls().push_back(std::string(held() ? "wait:held:" : "wait:up:") + std::to_string(g_intro_slides.state));
        g_key_state[0x01] = 0;  // the key comes up while the window is pumped
        return true;
    };
}

void slide_test::TearDown()
{
    stop_all_music();
    audio_shutdown();
    clear_shows();  // the streams went with the mixer
    clear_texture_table();
    music_init();
    clear_input();
    for (const auto& restore : restorers_)
        restore();
    restorers_.clear();
    reset_hook_skip_log();
    device_.reset();
    folder_.reset();
}

void slide_test::use_mixer_activity()
{
    g_slide_narration_active = audio_channel_is_active;
}

void slide_test::write_narration(const char* language, const char* name)
{
    const std::string folder = std::string("data/sound/slide/") + language;
    ASSERT_TRUE(make_folder(folder.c_str()));
    std::vector<int16_t> pcm(2205, 1000);  // a twentieth of a second
    const std::string path = folder + "/" + name + ".ogg";
    ASSERT_TRUE(write_wav_file(path.c_str(), pcm.data(), 1, k_audio_rate, pcm.size()));
}

void slide_test::write_tile(const std::string& path, uint32_t argb)
{
    const std::vector<uint32_t> texels(64 * 64, argb);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encode_image(texels.data(), 64, 64, image_file_kind::tga, bytes));
    ASSERT_TRUE(make_folder(path.substr(0, path.rfind('/')).c_str()));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

void slide_test::write_picture(const std::string& folder, int rows)
{
    for (int c = 0; c < k_slide_columns; ++c)
        for (int r = 0; r < rows; ++r)
            write_tile(folder + std::to_string(64 * c) + "x" + std::to_string(64 * r) + ".tga",
                       0xFF000000u | uint32_t(c * 16) << 16 | uint32_t(r * 10) << 8);
}

void slide_test::step(void (*play)())
{
    device_->clear_recording();
    g_ticks += 5;
    play();
}
