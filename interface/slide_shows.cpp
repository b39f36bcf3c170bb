#include "interface/slide_shows.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/lights.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "interface/interface_links.h"
#include "platform/audio.h"
#include "platform/key_codes.h"
#include "world/scene_header.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

scrolling_slide_show g_intro_slides;
scrolling_slide_show g_epilogue_slides;
chapter_slide_show g_chapter_slides;
uint32_t& g_chapter_slides_running = g_chapter_slides.timing.running;
uint32_t& g_epilogue_slides_active = g_epilogue_slides.active;
bool (*g_slide_narration_active)(uint32_t stream) = audio_channel_is_active;

namespace {

constexpr float k_tile_size = 64.0f;
constexpr float k_fade_step = 0.05f;
constexpr float k_scroll_start = -576.0f;
constexpr float k_scroll_step = 2.0f;
constexpr uint32_t k_scroll_period = 3;   // a step every 4 ticks
constexpr uint32_t k_chapter_period = 4;  // every 5
constexpr int16_t k_scroll_pause = 20;    // a pause ends when its count exceeds this
constexpr int16_t k_chapter_pause = 10;
constexpr int k_slide_light_slots = 50;   // the lights the shows switch off around their tiles
constexpr const char* k_scroll_folder = "data/slides/zudevu/";
constexpr const char* k_chapter_music = "data/slides/1.ogg";
constexpr int k_path_size = 128;

constexpr int k_input_escape = 3;

using path_buffer = char[k_path_size];

// ---------------------------------------------------------------------------------------------
// Tiles

template <int Rows>
void load_tiles(slide_tiles<Rows>& tiles, const char* folder)
{
    for (int c = 0; c < k_slide_columns; ++c) {
        for (int r = 0; r < Rows; ++r) {
            path_buffer path;
            std::snprintf(path, sizeof path, "%s%dx%d.tga", folder, 64 * c, 64 * r);
            const int32_t slot = get_texture(path, 0, 0, 0, 0, 1, 0);
            tiles.slot[c][r] = slot < 0 ? k_no_tile : uint16_t(slot);
        }
    }
}

// The set takes the picture of `folder` (none for null). What it held is released after the
// new picture is loaded, so a tile of both keeps its texture.
template <int Rows>
void replace_tiles(slide_tiles<Rows>& tiles, const char* folder)
{
    slide_tiles<Rows> loaded = no_slide_tiles<Rows>();
    if (folder)
        load_tiles(loaded, folder);
    release_slide_tiles(tile_slots(tiles));
    tiles = loaded;
}

// Whether a tile of the texture's size centred at (x, y) reaches into the screen.
bool tile_on_screen(const texture_record& texture, float x, float y)
{
    const float half_width = 0.5f * float(texture.width), half_height = 0.5f * float(texture.height);
    return x + half_width > 0.0f && x - half_width < float(g_screen_width) && y + half_height > 0.0f &&
           y - half_height < float(g_screen_height);
}

// Each tile centred on its cell, the picture `scroll` pixels up; tiles wholly off the screen
// are left out.
template <int Rows>
void draw_tiles(const slide_tiles<Rows>& tiles, float scroll, float alpha)
{
    if (!(alpha > 0.0f))
        return;
    for (int c = 0; c < k_slide_columns; ++c) {
        for (int r = 0; r < Rows; ++r) {
            const uint16_t slot = tiles.slot[c][r];
            const float x = 32.0f + k_tile_size * float(c), y = 32.0f + scroll + k_tile_size * float(r);
            if (slot == k_no_tile || !tile_on_screen(g_textures[slot], x, y))
                continue;
            draw_texture_screen(slot, x, y, alpha, 1.0f, 0, 0.0f, 0.0f, 0.008f, 1.0f, 1.0f, 1.0f);
        }
    }
}

bool light_lit(const light_record& light)
{
    return light.state == k_light_on || light.state == k_light_fading;
}

void switch_lit_lights(bool on)
{
    for (int i = 0; i < k_slide_light_slots; ++i)
        if (light_lit(g_lights[i]))
            g_d3d_device->light_enable(uint32_t(i), on);
}

uint32_t ambient_channel(float value)
{
    return uint32_t(std::clamp(int(value * 255.0f), 0, 255));
}

// Runs draw() in white ambient light with the lit lights off, then gives the scene its light
// back: the lights on again and the ambient from g_ambient_color as 0x00RRGGBB.
template <class Draw>
void draw_unlit(Draw draw)
{
    if (!g_d3d_device)
        return;
    g_d3d_device->set_render_state(render_state::ambient, 0x00FFFFFFu);
    switch_lit_lights(false);
    draw();
    switch_lit_lights(true);
    g_d3d_device->set_render_state(render_state::ambient, ambient_channel(g_ambient_color.red) << 16 |
                                                              ambient_channel(g_ambient_color.green) << 8 |
                                                              ambient_channel(g_ambient_color.blue));
}

// ---------------------------------------------------------------------------------------------
// Narration, subtitles and music

void stop_stream(uint32_t& stream)
{
    if (stream) {
        audio_channel_stop(stream);
        audio_stream_free(stream);
    }
    stream = 0;
}

void empty_message_window()
{
    run_hook(g_interface_links.reset_message_window, "reset_message_window");
    g_message_shown = 0;
}

// "data/sound/slide/<language>/<name><extension>"
void segment_file(path_buffer& path, const char* language, const char* name, const char* extension)
{
    std::snprintf(path, sizeof path, "data/sound/slide/%s/%s%s", language, name, extension);
}

void show_subtitles(const char* name)
{
    path_buffer path;
    segment_file(path, g_language, name, ".txt");
    empty_message_window();
    run_hook(g_interface_links.show_text_file, "show_text_file", static_cast<const char*>(path));
}

// Replaces `stream` by the narration segment `name` playing once at the sound volume, and shows
// its subtitles. False when the segment plays in neither folder (or there is no audio).
bool open_segment(uint32_t& stream, const char* name)
{
    path_buffer own, english;
    segment_file(own, g_language, name, ".ogg");
    const char* path = own;
    if (file_exists(own) != 1) {
        segment_file(english, "eng", name, ".ogg");
        path = english;
    }
    stop_stream(stream);
    stream = audio_stream_create_file(path, false);
    show_subtitles(name);
    if (!stream)
        return false;
    audio_channel_set_attributes(stream, -1, sound_volume_percent(&g_settings), -1);
    audio_stream_play(stream);
    return true;
}

void draw_shown_message_window()
{
    if (g_message_shown)
        run_hook(g_interface_links.draw_message_window, "draw_message_window");
}

// ---------------------------------------------------------------------------------------------
// Skip inputs

bool input_down(int input)
{
    switch (input) {
    case 0:
        return g_mouse_left != 0;
    case 1:
        return (g_key_state[k_key_space] & k_key_down_bit) != 0;
    case 2:
        return (g_key_state[k_key_return] & k_key_down_bit) != 0;
    default:
        return (g_key_state[k_key_escape] & k_key_down_bit) != 0;
    }
}

// act(input) once per press of the left button, Space, Enter and Esc, in this order.
template <class Act>
void read_skip_inputs(uint32_t (&latches)[k_slide_inputs], Act act)
{
    for (int input = 0; input < k_slide_inputs; ++input) {
        if (!input_down(input)) {
            latches[input] = 0;
        } else if (!latches[input]) {
            latches[input] = 1;
            act(input);
        }
    }
}

bool escape_held()
{
    return input_down(k_input_escape);
}

// One step of the state machine when its due tick has passed.
template <class Step>
void step_when_due(uint32_t& step_tick, uint32_t period, Step step)
{
    if (step_tick < g_ticks) {
        step_tick = g_ticks + period;
        step();
    }
}

// One step of a fade in: true when alpha passes 1.0, which it then holds.
bool fade_up(float& alpha)
{
    alpha += k_fade_step;
    if (!(alpha > 1.0f))
        return false;
    alpha = 1.0f;
    return true;
}

// The narrating state: once the segment has ended, a pause, and after it the next segment.
template <class Open>
void narrate_step(uint32_t stream, uint32_t& state, uint32_t& resume_state, int16_t& pause_count, int16_t& segment,
                  Open open_segment)
{
    if (g_slide_narration_active(stream))
        return;
    if (pause_count == 0) {
        state = k_slide_pause;
        resume_state = k_slide_narrate;
        return;
    }
    pause_count = 0;
    ++segment;
    open_segment();
}

// ---------------------------------------------------------------------------------------------
// The intro and the epilogue

bool is_epilogue(const scrolling_slide_show& s)
{
    return &s == &g_epilogue_slides;
}

void start_scrolling(scrolling_slide_show& s)
{
    replace_tiles(s.tiles, k_scroll_folder);
    stop_stream(s.narration_stream);
    s.scroll = k_scroll_start;
    s.alpha = 0.0f;
    s.state = k_slide_fade_in;
    s.segment = 1;
    s.pause_count = 0;
    s.step_tick = 0;
    s.active = 1;
}

void scrolling_segment_name(const scrolling_slide_show& s, char (&name)[32])
{
    if (is_epilogue(s))
        std::snprintf(name, sizeof name, "e%d.%d", s.outro_number, s.segment);
    else
        std::snprintf(name, sizeof name, "m%d", s.segment);
}

void open_scrolling_segment(scrolling_slide_show& s)
{
    char name[32];
    scrolling_segment_name(s, name);
    s.state = open_segment(s.narration_stream, name) ? k_slide_narrate : k_slide_fade_out;
}

void scroll_up(scrolling_slide_show& s)
{
    if (s.scroll < 0.0f)
        s.scroll += k_scroll_step;
}

void end_scrolling(scrolling_slide_show& s)
{
    s.active = 0;
    stop_stream(s.narration_stream);
    if (is_epilogue(s)) {
        g_quit = 1;
        g_game_finished = 1;
    }
}

void scrolling_step(scrolling_slide_show& s)
{
    switch (s.state) {
    case k_slide_fade_in:
        if (fade_up(s.alpha)) {
            s.segment = 1;
            open_scrolling_segment(s);
        }
        break;
    case k_slide_narrate:
        scroll_up(s);
        narrate_step(s.narration_stream, s.state, s.resume_state, s.pause_count, s.segment,
                     [&] { open_scrolling_segment(s); });
        break;
    case k_slide_fade_out:
        empty_message_window();
        s.alpha -= k_fade_step;
        if (s.alpha < 0.0f)
            end_scrolling(s);
        break;
    case k_slide_pause:
        scroll_up(s);
        if (++s.pause_count > k_scroll_pause)
            s.state = s.resume_state;
        break;
    default:
        break;
    }
}

void play_scrolling(scrolling_slide_show& s)
{
    if (!s.active)
        return;
    step_when_due(s.step_tick, k_scroll_period, [&] { scrolling_step(s); });
    if (!s.active)
        return;
    const bool epilogue = is_epilogue(s);
    if (epilogue) {
        char name[32];
        scrolling_segment_name(s, name);
        show_subtitles(name);
    }
    draw_unlit([&] { draw_tiles(s.tiles, s.scroll, s.alpha); });
    if (epilogue) {
        draw_shown_message_window();
        return;
    }
    read_skip_inputs(s.latches, [&](int input) {
        empty_message_window();
        stop_stream(s.narration_stream);
        if (input == k_input_escape) {
            if (g_interface_links.wait_until_released)
                g_interface_links.wait_until_released(escape_held);
            else
                log_hook_skipped("wait_until_released");
        }
        s.state = k_slide_fade_out;
    });
}

// ---------------------------------------------------------------------------------------------
// Chapter shows

// The folder of entry `entry`'s picture, or null when the list has no such entry.
const char* entry_folder(const slide_timing& t, int32_t entry, path_buffer& folder)
{
    if (entry < 0 || entry >= t.count)
        return nullptr;
    std::snprintf(folder, sizeof folder, "data/slides/%d/", t.pictures[entry]);
    return folder;
}

void chapter_segment_name(const chapter_slide_show& s, char (&name)[32])
{
    std::snprintf(name, sizeof name, "%d.%d", s.timing.narrations[s.timing.index], s.part);
}

// After the current entry: a cross-fade to the next one, or the fade-out after the last.
uint32_t chapter_state_after_entry(const chapter_slide_show& s)
{
    return s.timing.index + 1 < s.timing.count ? k_slide_cross_fade : k_slide_fade_out;
}

void open_chapter_part(chapter_slide_show& s)
{
    char name[32];
    chapter_segment_name(s, name);
    s.state = open_segment(s.timing.narration_stream, name) ? k_slide_narrate : chapter_state_after_entry(s);
}

void lower_chapter_music(const chapter_slide_show& s)
{
    int volume = 0;
    if (audio_channel_get_attributes(s.music_stream, nullptr, &volume, nullptr) && volume > 0)
        audio_channel_set_attributes(s.music_stream, -1, volume - 1, -1);
}

void end_chapter(chapter_slide_show& s)
{
    s.timing.running = 0;
    g_dialogue_running = 1;
    stop_stream(s.music_stream);
    stop_stream(s.timing.narration_stream);
    path_buffer music;
    std::snprintf(music, sizeof music, "data/music/%.*s.ogg",
                  int(strnlen(g_scene_header.music_name, sizeof g_scene_header.music_name)),
                  g_scene_header.music_name);
    play_map_music(music);
}

void chapter_step(chapter_slide_show& s)
{
    switch (s.state) {
    case k_slide_fade_in:
        empty_message_window();
        if (fade_up(s.current_alpha)) {
            s.part = 1;
            open_chapter_part(s);
        }
        break;
    case k_slide_narrate:
        narrate_step(s.timing.narration_stream, s.state, s.resume_state, s.pause_count, s.part,
                     [&] { open_chapter_part(s); });
        break;
    case k_slide_cross_fade:
        empty_message_window();
        if (fade_up(s.next_alpha)) {
            s.next_alpha = 0.0f;
            s.current_alpha = 1.0f;
            load_chapter_slide_pair(s.timing.index + 2);
            ++s.timing.index;
            s.part = 1;
            open_chapter_part(s);
        }
        break;
    case k_slide_fade_out:
        s.current_alpha -= k_fade_step;
        empty_message_window();
        lower_chapter_music(s);
        if (s.current_alpha < 0.0f)
            end_chapter(s);
        break;
    case k_slide_pause:
        if (++s.pause_count > k_chapter_pause)
            s.state = s.resume_state;
        break;
    default:
        break;
    }
}

void chapter_skip(chapter_slide_show& s, int input)
{
    empty_message_window();
    stop_stream(s.timing.narration_stream);
    if (input != k_input_escape) {
        if (s.state == k_slide_narrate)
            s.state = chapter_state_after_entry(s);
        return;
    }
    s.state = k_slide_fade_out;
    run_hook(g_interface_links.cancel_item_drag, "cancel_item_drag");
    g_interface.menu_open = 0;
}

} // namespace

void load_intro_slide()
{
    start_scrolling(g_intro_slides);
}

void play_intro_slides()
{
    play_scrolling(g_intro_slides);
}

void free_slide_tiles()
{
    release_slide_tiles(tile_slots(g_intro_slides.tiles));
}

void start_epilogue_slides()
{
    g_epilogue_slides.outro_number = 1;
    start_scrolling(g_epilogue_slides);
}

void play_epilogue_slides()
{
    play_scrolling(g_epilogue_slides);
}

void free_epilogue_tiles()
{
    release_slide_tiles(tile_slots(g_epilogue_slides.tiles));
}

void start_chapter_slides()
{
    chapter_slide_show& s = g_chapter_slides;
    if (s.timing.count <= 0)
        return;  // a list missing, refused or empty: no show, the game goes on
    path_buffer first, second;
    replace_tiles(s.timing.current, entry_folder(s.timing, 0, first));
    replace_tiles(s.timing.next, entry_folder(s.timing, 1, second));
    s.timing.running = 1;
    s.timing.index = 0;
    s.state = k_slide_fade_in;
    s.current_alpha = s.next_alpha = 0.0f;
    s.step_tick = 0;
    s.part = 0;
    s.pause_count = 0;
    g_dialogue_running = 0;
    stop_map_music();
    stop_stream(s.music_stream);
    s.music_stream = audio_stream_create_file(k_chapter_music, true);
    if (s.music_stream)
        audio_stream_play(s.music_stream);
}

void load_chapter_slide_pair(int32_t entry)
{
    slide_timing& t = g_chapter_slides.timing;
    path_buffer folder;
    slide_tiles<k_chapter_rows> loaded = no_slide_tiles<k_chapter_rows>();
    if (const char* path = entry_folder(t, entry, folder))
        load_tiles(loaded, path);
    release_slide_tiles(tile_slots(t.current));
    t.current = t.next;
    t.next = loaded;
}

void play_chapter_slides()
{
    chapter_slide_show& s = g_chapter_slides;
    if (!s.timing.running)
        return;
    step_when_due(s.step_tick, k_chapter_period, [&] { chapter_step(s); });
    if (!s.timing.running)
        return;
    char name[32];
    chapter_segment_name(s, name);
    show_subtitles(name);
    draw_unlit([&] {
        draw_tiles(s.timing.current, 0.0f, s.current_alpha);
        draw_tiles(s.timing.next, 0.0f, s.next_alpha);
    });
    draw_shown_message_window();
    read_skip_inputs(s.latches, [&](int input) { chapter_skip(s, input); });
}
