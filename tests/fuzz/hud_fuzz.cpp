// Frames of the HUD pass over the click world (a hero with items, a chest and the hero's bag) on
// the recording device. The input starts with a block of values, read as far as it reaches
// (missing bytes read 0): the open panels and the dialogue flag, which lights are on and the
// ambient colour, the hero's skills, points, level, experience and pools, the ten quick-bar slots
// (ids and kinds within and outside their tables) and the selection, the quest table's count and
// the hero's quest list (indices within and outside it) with titles of any length, and the
// message log's count, scroll and line colours. Every later group of four bytes is one frame:
// the key held (none, Tab, Up, Down, 1 to 0 or Delete), the buttons (bits 0 to 2 left, right,
// middle; bits 3 to 6 toggle the character panel, the side panel, the quest log and the
// dialogue), and the cursor's x and y. After every frame the device's lights and ambient colour
// must be as before it, and each raised skill must have cost exactly 100 points without passing
// the top grade; a broken rule is logged and aborts.
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/quests.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_screen.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/interface/click_world.h"
#include "tests/script/fixed_advance_font.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t k_keys[] = {0,         k_key_tab, k_key_up, k_key_down, 0x02, 0x03, 0x04, 0x05,
                              0x06,      0x07,      0x08,     0x09,       0x0A, 0x0B, k_key_delete};
constexpr int k_quick_bar_slots = 10;
constexpr int k_quest_list_entries = 12;
constexpr int k_coloured_lines = 24;

// Lights 0-5, 49 and 50 on as the mask says, the device switched to match and the scene's
// ambient colour handed to it.
void set_lights(recording_device& device, uint8_t mask, uint8_t ambient)
{
    static constexpr int k_slots[8] = {0, 1, 2, 3, 4, 5, 49, 50};
    for (int i = 0; i < k_light_slots; ++i) {
        g_lights[i] = light_record{};
        device.light_enable(uint32_t(i), false);
    }
    for (int bit = 0; bit < 8; ++bit)
        if (mask >> bit & 1) {
            g_lights[k_slots[bit]].state = k_light_on;
            device.light_enable(uint32_t(k_slots[bit]), true);
        }
    g_light_count = 51;
    g_ambient_color = {float(ambient) / 255.0f, float(ambient ^ 0x5A) / 255.0f, 0.25f};
    end_full_light(k_full_light_slots);
}

void set_panels(fuzz_byte_reader& in)
{
    const uint8_t flags = in.u8();
    game_interface& gi = g_interface;
    gi.shown = 1;
    gi.side_panel_open = flags & 1;
    gi.character_panel_open = flags >> 1 & 1;
    gi.quest_log_open = flags >> 2 & 1;
    gi.attunement_panel_open = flags >> 3 & 1;
    gi.dream_switch_allowed = flags >> 4 & 1;
    g_dialogue_running = flags >> 5 & 1;
    if (!(flags >> 6 & 1))
        gi.container_open = gi.second_container_open = 0;
}

void set_hero(char_record& hero, fuzz_byte_reader& in)
{
    uint8_t* const skills[8] = {&hero.melee_base, &hero.melee, &hero.ranged_base, &hero.ranged,
                                &hero.magic_base, &hero.magic, &hero.speed_base, &hero.speed};
    for (uint8_t* skill : skills)
        *skill = in.u8();
    hero.skill_points = in.i16();
    hero.level = int8_t(in.u8());
    hero.exp = in.i16() * 1000;
    hero.hp_max = in.i16();
    hero.hp = in.i16();
    hero.mana_max = in.i16();
    hero.mana = in.i16();
    std::strcpy(hero.display_name, "Rovan");
}

void set_quick_bar(fuzz_byte_reader& in)
{
    game_interface& gi = g_interface;
    for (int slot = 0; slot < k_quick_bar_slots; ++slot) {
        gi.quick_ids[slot] = in.i16();
        gi.quick_kinds[slot] = in.u8() % 6;
        gi.quick_icons[slot] = k_no_texture_slot;
    }
    gi.quick_selected = in.u8();
    gi.quick_menu_slot = int16_t(int8_t(in.u8()));
}

void set_quests(char_record& hero, fuzz_byte_reader& in)
{
    g_quest_count = uint8_t(in.u8() % (k_quest_slots + 1));
    const uint8_t title_length = in.u8();
    const uint8_t completed = in.u8();
    for (int q = 0; q < k_quest_slots; ++q) {
        quest_record& quest = g_quests[q];
        quest = quest_record{};
        std::snprintf(quest.name, sizeof quest.name, "q%d", q);
        std::memset(quest.title, 'T', std::min<size_t>(title_length, sizeof quest.title - 1));
        quest.assigned = 1;
        quest.completed = completed >> (q % 8) & 1;
    }
    std::memset(hero.quest_bytes, 0, sizeof hero.quest_bytes);
    hero.quest_bytes[0] = in.u8() % (k_quest_list_entries + 1);
    for (int i = 0; i < k_quest_list_entries; ++i)
        hero.quest_bytes[1 + i] = in.u8();
    g_interface.quest_scroll_top = in.u8();
    g_interface.quest_scroll_bottom = in.u8();
}

void set_log(fuzz_byte_reader& in)
{
    g_message_log = message_log{};
    const uint8_t width = in.u8();
    for (int i = 0; i < k_coloured_lines; ++i) {
        char* line = g_message_log.lines[i];
        std::memset(line, 'a' + i % 26, std::min<size_t>(width + i, k_message_log_width - 1));
        g_message_log.colours[i] = in.u8();
    }
    g_message_log.count = uint16_t(in.i16());
    g_message_log.view_offset = uint16_t(in.i16());
}

// One frame's input: the key, the buttons and the panel toggles, the cursor.
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
    game_interface& gi = g_interface;
    gi.character_panel_open ^= buttons >> 3 & 1;
    gi.side_panel_open ^= buttons >> 4 & 1;
    gi.quest_log_open ^= buttons >> 5 & 1;
    g_dialogue_running ^= buttons >> 6 & 1;
    g_mouse_screen_x = float(frame[2]) * 4.0f;
    g_mouse_screen_y = float(frame[3]) * 3.0f;
    gi.mouse_over_ui = 0;
}

struct skill_sum {
    int32_t bases;
    int32_t points;
    uint8_t highest;
};

skill_sum skills_of(const char_record& hero)
{
    const uint8_t bases[4] = {hero.melee_base, hero.ranged_base, hero.magic_base, hero.speed_base};
    skill_sum s{0, hero.skill_points, 0};
    for (uint8_t b : bases)
        s.bases += b, s.highest = std::max(s.highest, b);
    return s;
}

void fail(const char* what, size_t frame)
{
    console_log("hud fuzz: frame %d: %s", int(frame), what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font small(9, g_font_small);
    in_fuzz_folder here;
    use_fuzz_screen(device);
    clock_use_manual(true);
    g_interface_links.wait_until_released = [](bool (*)()) {
        g_mouse_left = 0;
        return true;
    };
    g_hud_click_latch = 0;

    fuzz_byte_reader in{data, size};
    build_click_world(false);
    char_record& hero = g_chars[k_cw_hero_slot];
    set_panels(in);
    const uint8_t light_mask = in.u8();
    set_lights(device, light_mask, in.u8());
    set_hero(hero, in);
    set_quick_bar(in);
    set_quests(hero, in);
    set_log(in);

    const fuzz_light_view lights = fuzz_lights_of(device);
    size_t frame = 0;
    for (; in.at + 4 <= size; in.at += 4, ++frame) {
        set_frame_input(data + in.at);
        clock_advance_manual(16u * (1u + data[in.at] % 64));
        update_frame_timing();
        const skill_sum before = skills_of(hero);
        update_game_interface();
        device.clear_recording();
        const skill_sum after = skills_of(hero);
        if (!(fuzz_lights_of(device) == lights))
            fail("the lights or the ambient colour changed", frame);
        const int32_t raised = after.bases - before.bases;
        if (raised < 0 || before.points - after.points != 100 * raised ||
            (raised > 0 && after.highest > std::max<uint8_t>(before.highest, 17)))
            fail("a skill was raised without its points or past the top grade", frame);
    }
    console_log("hud fuzz: %d frames", int(frame));

    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    std::memset(g_key_state, 0, sizeof g_key_state);
    for (container& c : g_containers)
        if (c.items)
            container_free(&c);
    g_char_count = 0;
    g_item_proto_count = 0;
    g_quest_count = 0;
    g_dialogue_running = 0;
    g_interface_links = interface_links{};
    clock_use_manual(false);
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
