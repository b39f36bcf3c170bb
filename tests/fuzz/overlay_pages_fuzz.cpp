// Frames of the new-hero page on the recording device. The input starts with a block of values,
// read as far as it reaches (missing bytes read 0): the hero's name length (up to 30, with or
// without its cursor), which of the six candidate attunements are deleted from the item table,
// the difficulty, head and body looks, the four skills, the unspent points and the first tier's
// threshold. Every later group of four bytes is one frame: the key held (none, letters, blank,
// digits, minus, backspace) with Shift, a console toggle and the ticks that pass, the buttons
// (bit 0 left, bit 1 right), and the cursor's x and y over the page. After every frame the name
// must end in its cursor with the cursor index at its end and no more than 24 characters typed,
// skills must stay within their grades with every step added paid for, and the difficulty, the
// looks and the chosen attunements must stay in range; a broken rule is logged and aborts.
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/render_context.h"
#include "interface/new_hero_screen.h"
#include "items/items.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/fuzz/fuzz_screen.h"
#include "tests/script/fixed_advance_font.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint8_t k_keys[16] = {0,          k_key_a, k_key_b,    k_key_x,    k_key_space, k_key_1,
                                k_key_minus, k_key_back, k_key_back, k_key_period, k_key_c,  k_key_z,
                                k_key_0,    k_key_9, k_key_back, 0};
constexpr uint32_t k_tick_steps[4] = {1, 2, 16, 40};
constexpr int k_skill_count = 4;

constexpr uint8_t char_record::*k_skills[k_skill_count] = {&char_record::melee_base, &char_record::ranged_base,
                                                            &char_record::magic_base, &char_record::speed_base};

void make_hero(fuzz_byte_reader& in)
{
    g_char_count = 1;
    g_player_char = 0;
    char_record& hero = g_chars[0];
    hero = char_record{};
    hero.kind = k_kind_player;
    hero.life = k_life_alive;
    hero.object = -1;
    hero.anim_set = 1;
    std::strcpy(hero.appearance, "hero");
    const uint8_t length = in.u8() % 31, flags = in.u8();
    std::memset(hero.display_name, 'N', length);
    if (flags & 1 && length > 0)
        hero.display_name[length - 1] = '_';
    g_console_shown = flags >> 1 & 1;
    const uint8_t deleted = in.u8();
    hero.difficulty = int16_t(in.u8() % 5);
    hero.head_variant = uint8_t(1 + in.u8() % 12);
    hero.body_variant = uint8_t(1 + in.u8() % 9);
    for (int r = 0; r < k_skill_count; ++r)
        hero.*k_skills[r] = in.u8() % 18;
    hero.skill_points = int16_t((in.u8() | in.u8() << 8) % 1000);
    g_attunement_thresholds[0] = 1 + in.u8();

    g_item_proto_count = 0;
    for (int i = 0; i < k_start_attunement_candidates; ++i) {
        const int16_t id = k_start_attunement_ids[i];
        g_item_proto_count = std::max<int32_t>(g_item_proto_count, id + 1);
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        std::snprintf(p.key_name, sizeof p.key_name, "a%d", int(id));
        std::snprintf(p.display_name, sizeof p.display_name, "Attunement %d", int(id));
        p.item_class = k_item_attunement;
        p.damage = int16_t(id);
        p.deleted = deleted >> i & 1;
    }
}

void set_frame_input(const uint8_t* frame)
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    if (const uint8_t key = k_keys[frame[0] & 15])
        g_key_state[key] = k_key_down_bit;
    if (frame[0] & 16)
        g_key_state[k_key_lshift] = k_key_down_bit;
    g_console_shown ^= frame[0] >> 5 & 1;
    g_ticks += k_tick_steps[frame[0] >> 6];
    g_mouse_left = frame[1] & 1;
    g_mouse_right = frame[1] >> 1 & 1;
    g_mouse_screen_x = 128.0f + float(frame[2]) * 3.0f;
    g_mouse_screen_y = 96.0f + float(frame[3]) * 2.25f;
}

// What the page must keep; empty when it holds.
std::string fault(const char_record& hero, int32_t longest_cursor, int32_t paid_total)
{
    const size_t n = strnlen(hero.display_name, sizeof hero.display_name);
    if (n == 0 || n == sizeof hero.display_name || hero.display_name[n - 1] != '_')
        return "the name lost its cursor";
    if (g_interface.name_cursor != int32_t(n) - 1 || g_interface.name_cursor > longest_cursor)
        return "the cursor index is off or the name grew past 24";
    int32_t added = 0;
    for (int r = 0; r < k_skill_count; ++r) {
        const uint8_t skill = hero.*k_skills[r];
        if (skill > 17 || g_interface.skill_added[r] > skill)
            return "a skill left its grades";
        added += g_interface.skill_added[r];
    }
    if (hero.skill_points < 0 || hero.skill_points + 100 * added != paid_total)
        return "a skill step was not paid for";
    if (hero.difficulty < 0 || hero.difficulty > 4 || hero.head_variant < 1 || hero.head_variant > 12 ||
        hero.body_variant < 1 || hero.body_variant > 9)
        return "the difficulty or a look left its range";
    const int count = g_interface.start_attunement_count;
    if (count > 2 || (count == 2 && g_start_attunements[0] == g_start_attunements[1]))
        return "the starting attunements are off";
    for (int k = 0; k < count; ++k) {
        const item_proto* p = item_proto_at(g_start_attunements[k]);
        if (!p || p->deleted || p->damage != g_attunement_thresholds[0])
            return "a chosen attunement is missing or lacks its points";
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font large(9);
    in_fuzz_folder here;
    use_fuzz_screen(device);
    g_ticks = 1000;
    g_console_last_char = 0;
    g_name_repeat_tick = 0;
    game_interface& gi = g_interface;
    gi.overlay_screen = 5;
    gi.overlay_click_latch = gi.right_click_latch = 0;
    gi.start_attunement_count = 0;
    std::memset(gi.skill_added, 0, sizeof gi.skill_added);

    fuzz_byte_reader in{data, size};
    make_hero(in);
    char_record& hero = g_chars[0];
    add_name_cursor(&hero);
    // As the title menu opens the page: the cursor index at the name's cursor.
    gi.name_cursor = int32_t(strnlen(hero.display_name, sizeof hero.display_name)) - 1;
    const int32_t longest_cursor =
        std::max<int32_t>(k_hero_name_max, int32_t(strnlen(hero.display_name, sizeof hero.display_name)) - 1);
    const int32_t paid_total = hero.skill_points;

    size_t frame = 0;
    for (; in.at + 4 <= size; in.at += 4, ++frame) {
        set_frame_input(data + in.at);
        gi.overlay_screen = 5;
        run_new_hero_screen();
        device.clear_recording();
        const std::string broken = fault(hero, longest_cursor, paid_total);
        if (!broken.empty()) {
            console_log("overlay pages fuzz: frame %d: %s", int(frame), broken.c_str());
            std::abort();
        }
    }
    console_log("overlay pages fuzz: %d frames", int(frame));

    g_mouse_left = g_mouse_right = 0;
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_console_shown = 0;
    g_char_count = 0;
    g_item_proto_count = 0;
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
