#include "interface/slide_fixture.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/key_codes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using slide_shows = slide_test;

int count_calls(const std::string& call)
{
    const auto& c = slide_test::calls();
    return int(std::count(c.begin(), c.end(), call));
}

bool called(const std::string& call)
{
    return count_calls(call) > 0;
}

void write_list(const char* text)
{
    write_text("list.txt", text);
    load_slide_timing(&g_chapter_slides.timing, "list.txt");
}

int music_volume()
{
    int volume = -1;
    audio_channel_get_attributes(g_chapter_slides.music_stream, nullptr, &volume, nullptr);
    return volume;
}

void press(uint8_t key)
{
    g_key_state[key] = k_key_down_bit;
}

void release(uint8_t key)
{
    g_key_state[key] = 0;
}

} // namespace

TEST_F(slide_shows, TheIntroFadesScrollsNarratesWithPausesAndFadesOut)
{
    write_narration("eng", "m1");
    write_picture("data/slides/zudevu/", k_scroll_rows);
    load_intro_slide();
    const scrolling_slide_show& s = g_intro_slides;
    EXPECT_EQ(s.active, 1);
    EXPECT_EQ(s.scroll, -576.0f);
    EXPECT_EQ(s.state, k_slide_fade_in);
    EXPECT_EQ(g_textures[s.tiles.slot[1][0]].name, std::string("data/slides/zudevu/64x0.tga"));
    EXPECT_EQ(g_textures[s.tiles.slot[15][21]].name, std::string("data/slides/zudevu/960x1344.tga"));

    // A step every 4 ticks.
    play_intro_slides();
    EXPECT_EQ(s.alpha, 0.05f);
    g_ticks += 3;
    play_intro_slides();
    EXPECT_EQ(s.alpha, 0.05f);
    g_ticks += 1;
    play_intro_slides();
    EXPECT_EQ(s.alpha, 0.1f);

    EXPECT_EQ(steps_while(play_intro_slides, s.state, k_slide_fade_in) + 2, 20);
    EXPECT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(s.state, k_slide_narrate);
    EXPECT_NE(s.narration_stream, 0u);
    EXPECT_TRUE(audio_channel_is_active(s.narration_stream));
    int volume = 0;
    audio_channel_get_attributes(s.narration_stream, nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 70);
    EXPECT_TRUE(called("show:data/sound/slide/eng/m1.txt"));
    EXPECT_EQ(s.scroll, -576.0f);  // no scroll while fading in

    // The scroll moves 2 pixels a step, 288 steps, and stays at 0.
    for (int i = 0; i < 287; ++i)
        step(play_intro_slides);
    EXPECT_EQ(s.scroll, -2.0f);
    for (int i = 0; i < 100; ++i)
        step(play_intro_slides);
    EXPECT_EQ(s.scroll, 0.0f);

    // The end of the segment: a pause of 21 steps, then the next segment, missing: fade-out.
    narration_playing() = false;
    step(play_intro_slides);
    EXPECT_EQ(s.state, k_slide_pause);
    EXPECT_EQ(steps_while(play_intro_slides, s.state, k_slide_pause), 21);
    EXPECT_EQ(s.state, k_slide_narrate);
    step(play_intro_slides);
    EXPECT_EQ(s.segment, 2);
    EXPECT_EQ(s.state, k_slide_fade_out);
    EXPECT_EQ(s.narration_stream, 0u);
    EXPECT_TRUE(called("show:data/sound/slide/eng/m2.txt"));
    EXPECT_EQ(steps_while(play_intro_slides, s.active, 1), 20);
    EXPECT_LT(s.alpha, 0.0f);
    EXPECT_EQ(s.scroll, 0.0f);
}

TEST_F(slide_shows, NarrationFallsBackToEnglishButSubtitlesNever)
{
    std::strcpy(g_language, "slk");
    write_narration("eng", "m1");  // only in English
    write_narration("slk", "m2");  // only in the language's folder
    load_intro_slide();
    steps_while(play_intro_slides, g_intro_slides.state, k_slide_fade_in);
    EXPECT_EQ(g_intro_slides.state, k_slide_narrate);
    EXPECT_TRUE(called("show:data/sound/slide/slk/m1.txt"));
    narration_playing() = false;
    steps_while(play_intro_slides, g_intro_slides.segment, 1);
    EXPECT_EQ(g_intro_slides.state, k_slide_narrate);
    EXPECT_TRUE(called("show:data/sound/slide/slk/m2.txt"));
    for (const std::string& c : calls())
        EXPECT_EQ(c.find("/eng/"), std::string::npos) << c;
}

TEST_F(slide_shows, AMissingFirstSegmentOrNoAudioFadesTheShowInAndOutAtOnce)
{
    for (bool audio : {true, false}) {
        SCOPED_TRACE(audio);
        write_narration("eng", "m1");
        if (!audio)
            audio_shutdown();  // with no device no stream can be made
        else
            std::remove("data/sound/slide/eng/m1.ogg");
        load_intro_slide();
        EXPECT_EQ(steps_while(play_intro_slides, g_intro_slides.state, k_slide_fade_in), 20);
        EXPECT_EQ(g_intro_slides.state, k_slide_fade_out);
        EXPECT_EQ(steps_while(play_intro_slides, g_intro_slides.active, 1), 20);
        EXPECT_EQ(g_quit, 0u);
    }
}

TEST_F(slide_shows, IntroInputsEndItOncePerPressAndEscWaitsForItsRelease)
{
    write_narration("eng", "m1");
    load_intro_slide();
    steps_while(play_intro_slides, g_intro_slides.state, k_slide_fade_in);
    const uint32_t narration = g_intro_slides.narration_stream;

    press(k_key_space);
    play_intro_slides();
    EXPECT_EQ(g_intro_slides.state, k_slide_fade_out);
    EXPECT_EQ(g_intro_slides.narration_stream, 0u);
    EXPECT_FALSE(audio_channel_get_attributes(narration, nullptr, nullptr, nullptr));  // freed
    EXPECT_EQ(g_message_shown, 0u);

    // Held: nothing more, even in a state it would change.
    g_intro_slides.state = k_slide_narrate;
    play_intro_slides();
    EXPECT_EQ(g_intro_slides.state, k_slide_narrate);
    release(k_key_space);
    play_intro_slides();
    press(k_key_space);
    play_intro_slides();
    EXPECT_EQ(g_intro_slides.state, k_slide_fade_out);

    // Esc: the fade-out starts once the key is up.
    g_intro_slides.state = k_slide_narrate;
    calls().clear();
    press(k_key_escape);
    play_intro_slides();
    EXPECT_TRUE(called("wait:held:2"));  // in the state it had
    EXPECT_EQ(g_key_state[k_key_escape], 0);
}

TEST_F(slide_shows, AChapterShowCrossFadesThroughItsListWithMusicAndGivesTheMapMusicBack)
{
    for (const char* picture : {"1", "2"})
        write_tile(std::string("data/slides/") + picture + "/64x0.tga", 0xFF808080u);
    write_narration("eng", "1.1");
    write_narration("eng", "2.1");
    std::vector<int16_t> pcm(4410, 500);
    ASSERT_TRUE(make_folder("data/music"));
    ASSERT_TRUE(write_wav_file("data/music/town.ogg", pcm.data(), 1, k_audio_rate, pcm.size()));
    ASSERT_TRUE(write_wav_file("data/slides/1.ogg", pcm.data(), 1, k_audio_rate, pcm.size()));
    std::strcpy(g_scene_header.music_name, "town");
    play_map_music("data/music/town.ogg");
    ASSERT_NE(g_music.map_stream, 0u);
    g_dialogue_running = 1;

    write_list("2 1 1 2 2");
    start_chapter_slides();
    chapter_slide_show& s = g_chapter_slides;
    slide_timing& t = s.timing;
    EXPECT_EQ(g_chapter_slides_running, 1);
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(g_music.map_stream, 0u);
    EXPECT_TRUE(audio_channel_is_active(s.music_stream));
    const uint16_t first = t.current.slot[1][0], second = t.next.slot[1][0];
    EXPECT_EQ(g_textures[first].name, std::string("data/slides/1/64x0.tga"));
    EXPECT_EQ(g_textures[second].name, std::string("data/slides/2/64x0.tga"));
    EXPECT_EQ(g_textures[t.next.slot[15][11]].name, std::string("data/slides/2/960x704.tga"));

    // The music loops past its end.
    std::vector<int16_t> mixed(2 * 20000);
    audio_mix(mixed.data(), 20000);
    EXPECT_TRUE(audio_channel_is_active(s.music_stream));

    EXPECT_EQ(steps_while(play_chapter_slides, s.state, k_slide_fade_in), 20);
    EXPECT_EQ(s.part, 1);
    EXPECT_EQ(s.state, k_slide_narrate);
    narration_playing() = false;
    step(play_chapter_slides);
    EXPECT_EQ(steps_while(play_chapter_slides, s.state, k_slide_pause), 11);
    step(play_chapter_slides);  // part 2 is missing: on to the next picture
    EXPECT_EQ(s.part, 2);
    EXPECT_EQ(s.state, k_slide_cross_fade);
    EXPECT_TRUE(called("show:data/sound/slide/eng/1.2.txt"));

    EXPECT_EQ(steps_while(play_chapter_slides, s.state, k_slide_cross_fade), 20);
    EXPECT_EQ(t.index, 1);
    EXPECT_EQ(s.part, 1);
    EXPECT_EQ(s.current_alpha, 1.0f);
    EXPECT_EQ(s.next_alpha, 0.0f);
    EXPECT_EQ(t.current.slot[1][0], second);
    EXPECT_EQ(t.next.slot[1][0], k_no_tile);  // no entry 2: the next set stays empty
    EXPECT_EQ(g_textures[first].surface, nullptr);
    EXPECT_NE(g_textures[second].surface, nullptr);
    EXPECT_EQ(s.state, k_slide_narrate);
    EXPECT_TRUE(called("show:data/sound/slide/eng/2.1.txt"));

    step(play_chapter_slides);
    steps_while(play_chapter_slides, s.state, k_slide_pause);
    step(play_chapter_slides);  // 2.2 is missing and no entry follows
    EXPECT_EQ(s.state, k_slide_fade_out);
    for (int i = 0; i < 19; ++i)
        step(play_chapter_slides);
    EXPECT_EQ(music_volume(), 81);
    EXPECT_EQ(g_chapter_slides_running, 1);
    const uint32_t music = s.music_stream;
    step(play_chapter_slides);
    EXPECT_EQ(g_chapter_slides_running, 0u);
    EXPECT_EQ(g_dialogue_running, 1);
    EXPECT_EQ(s.music_stream, 0u);
    EXPECT_FALSE(audio_channel_get_attributes(music, nullptr, nullptr, nullptr));
    EXPECT_NE(g_music.map_stream, 0u);
    EXPECT_STREQ(g_music.map_name, "data/music/town.ogg");
}

TEST_F(slide_shows, AMissingChapterSegmentCrossFadesWhileAnEntryFollowsEvenTheFirst)
{
    write_list("3 1 1 2 2 3 3");
    start_chapter_slides();
    chapter_slide_show& s = g_chapter_slides;
    EXPECT_EQ(s.music_stream, 0u);  // no music file: the show goes on without it
    steps_while(play_chapter_slides, s.state, k_slide_fade_in);
    EXPECT_EQ(s.state, k_slide_cross_fade);
    EXPECT_EQ(steps_while(play_chapter_slides, s.timing.index, 0), 20);
    EXPECT_EQ(s.state, k_slide_cross_fade);
    EXPECT_EQ(steps_while(play_chapter_slides, s.timing.index, 1), 20);
    EXPECT_EQ(s.state, k_slide_fade_out);
    EXPECT_EQ(steps_while(play_chapter_slides, g_chapter_slides_running, 1), 20);
    EXPECT_TRUE(called("show:data/sound/slide/eng/3.1.txt"));
}

TEST_F(slide_shows, ChapterClicksSkipOnlyWhileNarratingAndEscEndsTheShow)
{
    write_narration("eng", "1.1");
    write_narration("eng", "1.2");
    write_narration("eng", "2.1");
    write_list("2 1 1 2 2");
    start_chapter_slides();
    chapter_slide_show& s = g_chapter_slides;
    steps_while(play_chapter_slides, s.state, k_slide_fade_in);
    narration_playing() = false;
    step(play_chapter_slides);
    ASSERT_EQ(s.state, k_slide_pause);

    // In a pause a click only stops the narration.
    const uint32_t narration = s.timing.narration_stream;
    g_mouse_left = 1;
    play_chapter_slides();
    EXPECT_EQ(s.state, k_slide_pause);
    EXPECT_EQ(s.timing.narration_stream, 0u);
    EXPECT_FALSE(audio_channel_get_attributes(narration, nullptr, nullptr, nullptr));
    g_mouse_left = 0;
    steps_while(play_chapter_slides, s.state, k_slide_pause);
    step(play_chapter_slides);
    EXPECT_EQ(s.part, 2);
    ASSERT_EQ(s.state, k_slide_narrate);

    // While narrating: Enter goes to the next picture, once per press.
    narration_playing() = true;
    press(k_key_return);
    play_chapter_slides();
    EXPECT_EQ(s.state, k_slide_cross_fade);
    steps_while(play_chapter_slides, s.state, k_slide_cross_fade);
    EXPECT_EQ(s.timing.index, 1);
    EXPECT_EQ(s.state, k_slide_narrate);
    play_chapter_slides();
    EXPECT_EQ(s.state, k_slide_narrate);  // still held
    release(k_key_return);
    play_chapter_slides();
    press(k_key_return);
    play_chapter_slides();  // after the last picture: the fade-out
    EXPECT_EQ(s.state, k_slide_fade_out);
    release(k_key_return);

    // Esc in any state: the fade-out, the item drag cancelled and the menu closed.
    s.state = k_slide_cross_fade;
    g_interface.menu_open = 1;
    press(k_key_escape);
    play_chapter_slides();
    EXPECT_EQ(s.state, k_slide_fade_out);
    EXPECT_TRUE(called("cancel_item_drag"));
    EXPECT_EQ(g_interface.menu_open, 0u);
    EXPECT_FALSE(called("wait:held:2"));
}

TEST_F(slide_shows, ChapterAndEpilogueReloadTheirSubtitlesEveryFrameAndDrawThem)
{
    write_narration("eng", "e3.1");
    start_epilogue_slides();
    g_epilogue_slides.outro_number = 3;
    steps_while(play_epilogue_slides, g_epilogue_slides.state, k_slide_fade_in);
    ASSERT_EQ(g_epilogue_slides.state, k_slide_narrate);
    calls().clear();
    for (int i = 0; i < 3; ++i)
        play_epilogue_slides();  // frames without a step
    EXPECT_EQ(calls(), (std::vector<std::string>{"reset", "show:data/sound/slide/eng/e3.1.txt", "draw", "reset",
                                                 "show:data/sound/slide/eng/e3.1.txt", "draw", "reset",
                                                 "show:data/sound/slide/eng/e3.1.txt", "draw"}));

    write_narration("eng", "4.1");
    write_list("1 9 4");
    start_chapter_slides();
    steps_while(play_chapter_slides, g_chapter_slides.state, k_slide_fade_in);
    calls().clear();
    play_chapter_slides();
    play_chapter_slides();
    EXPECT_EQ(count_calls("show:data/sound/slide/eng/4.1.txt"), 2);
    EXPECT_EQ(count_calls("draw"), 2);

    // Without a message window nothing is drawn, and the skip is logged once.
    g_interface_links = {};
    g_console_enabled = 1;
    play_chapter_slides();
    play_chapter_slides();
    EXPECT_EQ(g_message_shown, 0u);
    const std::string log = read_text("global/konzola.log");
    EXPECT_NE(log.find("show_text_file: nie je, preskakujem\n"), std::string::npos);
    EXPECT_EQ(log.find("show_text_file", log.find("show_text_file") + 1), std::string::npos);
}

TEST_F(slide_shows, TheEpilogueHasNoSkipAndItsEndFinishesTheGame)
{
    write_narration("eng", "e2.1");
    start_epilogue_slides();
    EXPECT_EQ(g_epilogue_slides.outro_number, 1);
    g_epilogue_slides.outro_number = 2;
    EXPECT_EQ(g_epilogue_slides_active, 1);
    steps_while(play_epilogue_slides, g_epilogue_slides.state, k_slide_fade_in);
    ASSERT_EQ(g_epilogue_slides.state, k_slide_narrate);
    g_mouse_left = 1;
    for (uint8_t key : {k_key_space, k_key_return, k_key_escape})
        press(key);
    play_epilogue_slides();
    EXPECT_EQ(g_epilogue_slides.state, k_slide_narrate);
    EXPECT_NE(g_epilogue_slides.narration_stream, 0u);

    narration_playing() = false;
    step(play_epilogue_slides);
    EXPECT_EQ(steps_while(play_epilogue_slides, g_epilogue_slides.state, k_slide_pause), 21);
    step(play_epilogue_slides);  // e2.2 is missing
    EXPECT_EQ(g_epilogue_slides.state, k_slide_fade_out);
    EXPECT_EQ(g_quit, 0u);
    EXPECT_EQ(steps_while(play_epilogue_slides, g_epilogue_slides_active, 1), 20);
    EXPECT_EQ(g_quit, 1);
    EXPECT_EQ(g_game_finished, 1);
    play_epilogue_slides();  // not active: nothing
    EXPECT_EQ(g_epilogue_slides_active, 0u);
}

TEST_F(slide_shows, TilesAreDrawnUnlitInWhiteAmbientAndTheSceneLightComesBack)
{
    // Rows 9 to 20 are on the screen at the start of the scroll; rows 0 and 21 are not.
    for (const char* tile : {"0x0", "0x576", "64x576", "960x1280", "960x1344"})
        write_tile(std::string("data/slides/zudevu/") + tile + ".tga", 0xFF102030u);
    for (int light : {2, 7, 60}) {
        g_lights[light].state = light == 7 ? k_light_fading : k_light_on;
        device_->light_enable(uint32_t(light), true);
    }
    g_ambient_color = {0.5f, 0.25f, 1.0f};
    load_intro_slide();
    step(play_intro_slides);
    device_->clear_recording();
    play_intro_slides();  // a frame without a step

    std::vector<std::string> order;
    for (const recorded_call& c : device_->calls()) {
        if (c.kind == device_call::render_state && c.what == uint32_t(render_state::ambient))
            order.push_back("ambient " + std::to_string(c.value));
        else if (c.kind == device_call::light_enable)
            order.push_back("light " + std::to_string(c.what) + (c.value ? " on" : " off"));
        else if (c.kind == device_call::draw && (order.empty() || order.back() != "draw"))
            order.push_back("draw");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"ambient " + std::to_string(0x00FFFFFF), "light 2 off", "light 7 off",
                                               "draw", "light 2 on", "light 7 on",
                                               "ambient " + std::to_string(0x007F3FFF)}));

    // Only tiles with a texture that reach into the screen are drawn, centred on their cells (576
    // pixels up) with the show's alpha.
    ASSERT_EQ(device_->draws().size(), 3u);
    const float expected[3][2] = {{32, 32}, {96, 32}, {992, 32 - 576 + 1280}};
    for (size_t d = 0; d < 3; ++d) {
        const recorded_draw& draw = device_->draws()[d];
        float cx = 0, cy = 0;
        for (uint32_t v = 0; v < 4; ++v) {
            float x, y, z;
            ASSERT_TRUE(device_->screen_position(draw, v, x, y, z));
            cx += x / 4;
            cy += y / 4;
        }
        // The view's scale differs from a pixel by half a percent, away from the screen's centre.
        EXPECT_NEAR(cx, expected[d][0], 0.5f + 0.005f * std::fabs(expected[d][0] - 512.0f));
        EXPECT_NEAR(cy, expected[d][1], 0.5f + 0.005f * std::fabs(expected[d][1] - 384.0f));
        EXPECT_FLOAT_EQ(device_->material_of(draw).diffuse.a, 0.05f);
    }

    // A chapter show draws the current picture, then the next one over it.
    write_tile("data/slides/1/0x0.tga", 0xFF0000FFu);
    write_tile("data/slides/2/0x0.tga", 0xFF00FF00u);
    write_list("2 1 1 2 2");
    start_chapter_slides();
    g_chapter_slides.current_alpha = 1.0f;
    g_chapter_slides.next_alpha = 0.5f;
    g_chapter_slides.step_tick = g_ticks + 100;
    device_->clear_recording();
    play_chapter_slides();
    ASSERT_EQ(device_->draws().size(), 2u);
    EXPECT_FLOAT_EQ(device_->material_of(device_->draws()[0]).diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(device_->material_of(device_->draws()[1]).diffuse.a, 0.5f);
    EXPECT_NE(device_->draws()[0].texture, device_->draws()[1].texture);
}

TEST_F(slide_shows, APictureListedTwiceInARowKeepsItsTexturesAcrossTheAdvance)
{
    write_tile("data/slides/1/0x0.tga", 0xFF0000FFu);
    write_tile("data/slides/5/0x0.tga", 0xFF00FF00u);
    write_list("3 1 1 1 2 5 3");
    start_chapter_slides();
    slide_timing& t = g_chapter_slides.timing;
    const uint16_t one = t.current.slot[0][0];
    EXPECT_EQ(t.next.slot[0][0], one);
    EXPECT_EQ(g_textures[one].refcount, 2u);
    device_texture* surface = g_textures[one].surface;
    ASSERT_NE(surface, nullptr);

    t.current.slot[3][3] = k_no_tile;  // a tile the table refused: never released
    load_chapter_slide_pair(2);
    EXPECT_EQ(t.current.slot[0][0], one);
    EXPECT_EQ(g_textures[one].surface, surface);
    EXPECT_EQ(g_textures[one].refcount, 1u);
    EXPECT_EQ(g_textures[t.next.slot[0][0]].name, std::string("data/slides/5/0x0.tga"));

    load_chapter_slide_pair(3);  // past the list: the next set stays empty
    load_chapter_slide_pair(-1);
    EXPECT_EQ(g_textures[one].surface, nullptr);
    for (uint16_t slot : tile_slots(t.next))
        EXPECT_EQ(slot, k_no_tile);
}

TEST_F(slide_shows, StreamCallsOnNoneOrAFreedHandleDoNothing)
{
    write_narration("eng", "1.1");
    const uint32_t stream = audio_stream_create_file("data/sound/slide/eng/1.1.ogg", false);
    ASSERT_NE(stream, 0u);
    audio_stream_free(stream);
    for (uint32_t handle : {0u, stream}) {
        EXPECT_FALSE(audio_channel_stop(handle));
        audio_stream_free(handle);
        EXPECT_FALSE(audio_channel_is_active(handle));
        EXPECT_FALSE(audio_channel_get_attributes(handle, nullptr, nullptr, nullptr));
    }
    // A show restarted over a running one leaves neither its music nor its narration playing.
    ASSERT_TRUE(make_folder("data/slides"));
    std::vector<int16_t> pcm(4410, 500);
    ASSERT_TRUE(write_wav_file("data/slides/1.ogg", pcm.data(), 1, k_audio_rate, pcm.size()));
    write_list("1 1 1");
    start_chapter_slides();
    steps_while(play_chapter_slides, g_chapter_slides.state, k_slide_fade_in);
    const uint32_t music = g_chapter_slides.music_stream, narration = g_chapter_slides.timing.narration_stream;
    ASSERT_TRUE(audio_channel_is_active(music));
    ASSERT_TRUE(audio_channel_is_active(narration));
    write_list("1 1 1");
    start_chapter_slides();
    EXPECT_FALSE(audio_channel_is_active(music));
    EXPECT_FALSE(audio_channel_is_active(narration));
    EXPECT_TRUE(audio_channel_is_active(g_chapter_slides.music_stream));
}
