// Frames of the settings page over the click world (a hero with an attunement and items) on the
// recording device. The input starts with a head, read as far as it reaches (missing bytes read
// 0): bit 0 of byte 0 marks no game running, bit 1 the dream world on, bit 2 a dead hero at 0 hit
// points; the hero's maximum hit
// points (i16) and gold (i32); the language (0 "eng", 1 "sk", others "de"); the page shown. Every
// later group of three bytes is one frame: a kind (0 move the cursor, 1 press, 2 release, 3 a
// page and the game-running switch) and two values. The cursor spans the page and a margin
// around it. After every frame the settings must lie in the controls' ranges (gamma -165 to
// 165, the second slider and the volumes 0 to 100, flags 0 or 1), the switches that follow the
// flags must equal them, the language must be the starting one, "sk" or "eng", and the purse
// must not have shrunk; a broken rule is logged and aborts.
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/render_context.h"
#include "interface/interface_links.h"
#include "interface/settings_screen.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/fuzz/fuzz_screen.h"
#include "tests/interface/click_world.h"
#include "world/dream_world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t k_frame_bytes = 3;
constexpr float k_page_x = 253.0f, k_page_y = 192.0f;  // the page's origin on the 1024 x 768 screen

// The head's fields, little-endian; missing bytes read 0.
struct input_head {
    uint8_t flags;
    int16_t hp_max;
    int32_t gold;
    uint8_t language;
    uint8_t page;
};
constexpr size_t k_head_bytes = 9;

input_head read_head(const uint8_t* data, size_t size)
{
    uint8_t b[k_head_bytes] = {};
    std::memcpy(b, data, std::min(size, k_head_bytes));
    const uint32_t gold = uint32_t(b[3]) | uint32_t(b[4]) << 8 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 24;
    return {b[0], int16_t(uint16_t(b[1] | b[2] << 8)), int32_t(gold), b[7], b[8]};
}

bool is_flag(uint32_t v)
{
    return v == 0 || v == 1;
}

// The first rule the settings break, or "".
std::string broken_rule(const std::string& language)
{
    const game_settings& s = g_settings;
    if (s.gr_gamma < -165 || s.gr_gamma > 165)
        return "gamma " + std::to_string(s.gr_gamma);
    if (s.slider_value < 0 || s.slider_value > 100 || s.snd_musicvolume > 100 || s.snd_soundvolume > 100)
        return "a slider out of 0 to 100";
    const uint32_t flags[] = {s.gr_lowparticles, s.gr_displayshadows, s.gr_force16bit, s.gr_disablelight,
                              s.gr_displayweather, s.gr_showstats, s.gr_runwindowed, s.gr_enablewbuffer,
                              g_editor.ai_on, g_interface.player_invulnerable};
    for (uint32_t f : flags)
        if (!is_flag(f))
            return "a flag not 0 or 1";
    if (g_show_stats != s.gr_showstats || g_wbuffer_switch != s.gr_enablewbuffer)
        return "a switch does not follow its flag";
    if (g_language != language && std::strcmp(g_language, "sk") != 0 && std::strcmp(g_language, "eng") != 0)
        return std::string("language ") + g_language;
    return "";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    in_fuzz_folder here;
    use_fuzz_screen(device);
    g_interface_links = interface_links{};
    g_interface_links.set_gamma = [](int32_t) {};

    build_click_world(false);
    char_record& hero = g_chars[k_cw_hero_slot];
    const input_head head = read_head(data, size);
    g_no_game_running = head.flags & 1;
    g_dream_world.active = head.flags >> 1 & 1;
    if (head.flags >> 2 & 1)
        hero.life = k_life_dead, hero.hp = 0;
    hero.hp_max = head.hp_max;
    hero.gold = head.gold;
    std::strcpy(g_language, head.language == 0 ? "eng" : head.language == 1 ? "sk" : "de");
    const std::string start_language = g_language;
    config_set_defaults(&g_settings);
    g_show_stats = g_settings.gr_showstats;
    g_wbuffer_switch = g_settings.gr_enablewbuffer;
    g_editor.ai_on = 1;
    g_interface.player_invulnerable = 0;
    g_interface.overlay_click_latch = 0;
    g_interface.menu_open = 1;
    g_interface.overlay_screen = 2;
    g_interface.settings_page = uint8_t(head.page % 6);
    std::memset(g_settings_slider_drag, 0, sizeof g_settings_slider_drag);
    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    g_mouse_screen_x = g_mouse_screen_y = 0.0f;

    size_t frame = 0;
    for (size_t at = k_head_bytes; at + k_frame_bytes <= size; at += k_frame_bytes, ++frame) {
        const uint8_t* f = data + at;
        switch (f[0] % 4) {
        case 0:
            g_mouse_screen_x = k_page_x - 160.0f + float(f[1]) * 3.0f + float(f[2] % 4) * 0.25f;
            g_mouse_screen_y = k_page_y - 40.0f + float(f[2]) * 2.0f;
            break;
        case 1:
            g_mouse_left = 1;
            break;
        case 2:
            g_mouse_left = 0;
            break;
        default:
            g_interface.settings_page = uint8_t(f[1] % 6);
            g_no_game_running = f[2] & 1;
            break;
        }
        const int32_t gold = hero.gold;
        run_settings_screen();
        device.clear_recording();
        std::string fault = broken_rule(start_language);
        if (fault.empty() && hero.gold < gold)
            fault = "the purse shrank";
        if (!fault.empty()) {
            console_log("settings page fuzz: frame %d: %s", int(frame), fault.c_str());
            std::abort();
        }
    }
    console_log("settings page fuzz: %d frames", int(frame));

    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    for (container& c : g_containers)
        if (c.items)
            container_free(&c);
    g_char_count = 0;
    g_item_proto_count = 0;
    g_pending_level.pending = 0;
    g_dream_world.active = 0;
    g_interface_links = interface_links{};
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
