// Frames of the hotkeys, the HUD with the attunement panel and the attunement selection window on
// the recording device, over an item table and an active list made from the input. The input
// starts with a block read as far as it reaches (missing bytes read 0): the record count, then per
// record its deleted flag, class (an attunement or not), tier (0 to 3), points, upgrade link and
// one requirement; the hero's level, hit points, active count (also outside the list) and active
// ids (also outside the table); which panels and windows are open, the panel's page, both scroll
// positions, the forced first choice and the lights. Every later group of four bytes is one
// frame: the key held (none, Escape, F8, Space, keypad Enter, I, C, S, Q, A, D, H), the buttons
// and wheel (bits 0 to 2 left, right, middle; bit 3 wheel up, bit 4 down; bit 5 the console), and
// the cursor's x and y. After every frame the device's lights and ambient colour must be as
// before it, and the active list must hold only attunements of the table; a broken rule is logged
// and aborts.
#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "interface/attunement_panel.h"
#include "interface/held_item.h"
#include "interface/hotkeys.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_screen.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/script/fixed_advance_font.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t k_keys[] = {0,         k_key_escape, k_key_f8, k_key_space, k_key_numpadenter, k_key_i, k_key_c,
                              k_key_s,   k_key_q,      k_key_a,  k_key_d,     k_key_h};
constexpr int k_most_records = 400;

void set_items(fuzz_byte_reader& in)
{
    g_item_proto_count = std::min<int32_t>(in.u8() * 2, k_most_records);
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        item_proto& p = g_item_protos[i];
        p = item_proto{};
        const uint8_t bits = in.u8();
        p.deleted = bits & 1;
        p.item_class = bits & 2 ? k_item_attunement : k_item_ring;
        p.size = uint8_t(bits >> 2 & 3);
        p.damage = in.i16();
        p.attunement_link = in.i16();
        p.requirement_count = uint8_t(bits >> 4 & 3);
        g_item_lists[i].requirements[0] = item_property{uint16_t(in.u8() % 20), {in.i16(), 0, 0, 0, 0, 0, 0, 0}};
        std::snprintf(p.key_name, sizeof p.key_name, "a%d", int(i));
        std::snprintf(p.display_name, sizeof p.display_name, "Attunement %d", int(i));
    }
    g_attunement_thresholds[0] = 50, g_attunement_thresholds[1] = 200, g_attunement_thresholds[2] = 1000;
}

void set_hero(char_record& hero, fuzz_byte_reader& in)
{
    hero = char_record{};
    hero.kind = k_kind_player, hero.life = k_life_alive, hero.slot = 0, hero.object = -1;
    hero.level = int8_t(in.u8());
    hero.hp_max = 100;
    hero.hp = in.u8();
    hero.active_attunement_count = int16_t(int8_t(in.u8()));
    for (int16_t& id : hero.active_attunements)
        id = in.i16();
    g_char_count = 1, g_player_char = 0;
}

void set_windows(fuzz_byte_reader& in)
{
    const uint8_t flags = in.u8();
    game_interface& gi = g_interface;
    gi.shown = 1;
    gi.attunement_panel_open = flags & 1;
    gi.attunement_select_open = flags >> 1 & 1;
    gi.attunement_select_first = flags >> 2 & 1;
    gi.quest_log_open = flags >> 3 & 1;
    gi.menu_open = 0;
    gi.attunement_page = uint8_t(flags >> 4 & 3);
    g_attunement_panel_scroll = int32_t(in.i16());
    g_attunement_select_scroll = int32_t(in.i16());
}

void set_lights(recording_device& device, uint8_t mask)
{
    for (int i = 0; i < k_light_slots; ++i) {
        g_lights[i] = light_record{};
        device.light_enable(uint32_t(i), false);
    }
    for (int bit = 0; bit < 8; ++bit)
        if (mask >> bit & 1) {
            g_lights[bit * 7].state = k_light_on;
            device.light_enable(uint32_t(bit * 7), true);
        }
    g_light_count = 51;
    g_ambient_color = {float(mask) / 255.0f, 0.5f, 0.25f};
    end_full_light(k_full_light_slots);
}

void set_frame_input(const uint8_t* frame)
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    const uint8_t key = k_keys[frame[0] % sizeof k_keys];
    if (key)
        g_key_state[key] = 0x80;
    const uint8_t buttons = frame[1];
    g_mouse_left = buttons & 1;
    g_mouse_right = buttons >> 1 & 1;
    g_mouse_middle = buttons >> 2 & 1;
    g_wheel_up = buttons >> 3 & 1;
    g_wheel_down = buttons >> 4 & 1;
    g_mouse_state.z = g_wheel_up ? 120 : g_wheel_down ? -120 : 0;
    g_console_shown = buttons >> 5 & 1;
    g_mouse_screen_x = float(frame[2]) * 4.0f;
    g_mouse_screen_y = float(frame[3]) * 3.0f;
    g_interface.mouse_over_ui = 0;
}

using active_ids = std::array<int16_t, k_max_active_attunements>;

// Whatever the frame put into the active list is an attunement of the table that is not
// deleted; what was there before may stay or move down. A count outside 0 to 16 reads as clamped.
bool active_list_sound(const char_record& hero, int16_t count_before, const active_ids& before)
{
    const int16_t n = hero.active_attunement_count;
    const auto kept = before.begin() + std::clamp<int16_t>(count_before, 0, k_max_active_attunements);
    if (n == count_before)
        return true;
    if (n < 0 || n > k_max_active_attunements)
        return false;
    for (int16_t k = 0; k < n; ++k) {
        const int16_t id = hero.active_attunements[k];
        if (std::find(before.begin(), kept, id) != kept)
            continue;
        const item_proto* p = item_proto_at(id);
        if (!p || p->item_class != k_item_attunement || p->deleted)
            return false;
    }
    return true;
}

void fail(const char* what, size_t frame)
{
    console_log("attunement windows fuzz: frame %d: %s", int(frame), what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font small(9, g_font_small);
    in_fuzz_folder here;
    use_fuzz_screen(device);
    g_work_mode = k_work_play;
    g_no_game_running = 0;
    clock_use_manual(true);
    g_interface_links.wait_until_released = [](bool (*)()) {
        g_mouse_left = 0;
        return true;
    };
    g_hud_click_latch = 0;
    g_hotkeys = hotkey_state{};
    const game_interface kept_interface = g_interface;

    fuzz_byte_reader in{data, size};
    set_items(in);
    char_record& hero = g_chars[0];
    set_hero(hero, in);
    set_windows(in);
    set_lights(device, in.u8());

    const fuzz_light_view lights = fuzz_lights_of(device);
    size_t frame = 0;
    for (; in.at + 4 <= size; in.at += 4, ++frame) {
        set_frame_input(data + in.at);
        clock_advance_manual(16u * (1u + data[in.at] % 8));
        update_frame_timing();
        const int16_t count_before = hero.active_attunement_count;
        active_ids before;
        std::copy(std::begin(hero.active_attunements), std::end(hero.active_attunements), before.begin());
        update_game_interface();
        update_attunement_selection();
        handle_hotkeys();
        device.clear_recording();
        if (!(fuzz_lights_of(device) == lights))
            fail("the lights or the ambient colour changed", frame);
        if (!active_list_sound(hero, count_before, before))
            fail("the active list holds what is not an attunement of the table", frame);
    }
    console_log("attunement windows fuzz: %d frames", int(frame));

    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    g_wheel_up = g_wheel_down = 0;
    g_mouse_state = mouse_state{};
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_console_shown = 0;
    g_char_count = 0;
    g_item_proto_count = 0;
    g_interface = kept_interface;
    g_interface_links = interface_links{};
    clock_use_manual(false);
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
