// The demo's intro and chapter show played to their ends on the headless mixer: the narrations
// end by themselves and the shows move on.
#include "interface/slide_fixture.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "platform/audio.h"
#include "shell/console_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class slide_demo : public slide_test {
protected:
    void SetUp() override
    {
        slide_test::SetUp();
        const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string();
        ASSERT_EQ(std::system(command.c_str()), 0);
        use_mixer_activity();
    }

    // Frames of one tick, each mixing a tick's worth of sound, while `running` is set; the
    // number of frames (at most 20,000).
    int play_while(void (*play)(), const uint32_t& running)
    {
        std::vector<int16_t> mixed(2 * k_frames_per_tick);
        int frames = 0;
        for (; running && frames < 20000; ++frames) {
            device_->clear_recording();
            ++g_ticks;
            play();
            audio_mix(mixed.data(), k_frames_per_tick);
        }
        return frames;
    }

    static constexpr int k_frames_per_tick = k_audio_rate * 16 / 1000;
};

// The subtitle files shown, in order, without repeats in a row.
std::vector<std::string> shown_subtitles()
{
    std::vector<std::string> shown;
    for (const std::string& call : slide_test::calls())
        if (call.rfind("show:", 0) == 0 && (shown.empty() || shown.back() != call.substr(5)))
            shown.push_back(call.substr(5));
    return shown;
}

} // namespace

TEST_F(slide_demo, TheIntroAndTheChapterPlayToTheirEnds)
{
    load_intro_slide();
    for (uint16_t slot : tile_slots(g_intro_slides.tiles))
        ASSERT_NE(g_textures[slot].surface, nullptr);
    const int intro_frames = play_while(play_intro_slides, g_intro_slides.active);
    EXPECT_EQ(g_intro_slides.active, 0u);
    EXPECT_EQ(shown_subtitles(), (std::vector<std::string>{"data/sound/slide/eng/m1.txt", "data/sound/slide/eng/m2.txt",
                                                          "data/sound/slide/eng/m3.txt"}));
    // Fades, two narrations of about 1.5 seconds and a pause after each, at 4 ticks a step.
    EXPECT_GT(intro_frames, 4 * (20 + 21 + 21 + 20) + 2 * 80);
    EXPECT_LT(intro_frames, 4 * (20 + 21 + 21 + 20) + 2 * 150);
    free_slide_tiles();

    calls().clear();
    std::strcpy(g_scene_header.music_name, "town");
    EXPECT_TRUE(run_console_command_table("slide data/slides/chapter1.txt"));
    EXPECT_EQ(g_chapter_slides_running, 1u);
    EXPECT_EQ(g_chapter_slides.timing.count, 2);
    EXPECT_EQ(g_textures[g_chapter_slides.timing.current.slot[0][0]].name, std::string("data/slides/1/0x0.tga"));
    EXPECT_EQ(g_textures[g_chapter_slides.timing.next.slot[0][0]].name, std::string("data/slides/2/0x0.tga"));
    EXPECT_TRUE(audio_channel_is_active(g_chapter_slides.music_stream));
    play_while(play_chapter_slides, g_chapter_slides_running);
    EXPECT_EQ(g_chapter_slides_running, 0u);
    EXPECT_EQ(g_chapter_slides.timing.index, 1);
    EXPECT_EQ(shown_subtitles(),
              (std::vector<std::string>{"data/sound/slide/eng/1.0.txt", "data/sound/slide/eng/1.1.txt",
                                        "data/sound/slide/eng/1.2.txt", "data/sound/slide/eng/1.3.txt",
                                        "data/sound/slide/eng/2.1.txt", "data/sound/slide/eng/2.2.txt"}));
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_music.map_name, "data/music/town.ogg");
}
