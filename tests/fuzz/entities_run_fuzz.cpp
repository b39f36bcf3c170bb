// Runs hostile entities in the per-frame pass on a fake world: the hero and three characters
// with world objects, four square sectors, a movement map, four spell records without missiles and
// a wait for the release that ends as the input says. The input's head chooses the clock, the
// cursor, the buttons, the hero's state and the number of frames; the rest is up to 100 entity
// records, taken as they are (their run-time fields included), each given up to three objects.
// No input may crash or hang the pass; every input ends with a line in the console log.
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/utilities.h"
#include "items/spells.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/script_links.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/game_clock.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr size_t k_head = 16;

struct run_head {
    uint8_t hour;
    uint8_t light_phase;
    uint8_t buttons;      // bit 0 left, bit 1 right, bit 2 the wait ends in a quit
    uint8_t frames;
    float mouse_x;
    float mouse_y;
    uint8_t hero_state;
    uint8_t in_combat;
    uint8_t level_type;
    uint8_t objects;      // objects per entity, 0 to 3
};
static_assert(sizeof(run_head) == k_head);

uint8_t g_buttons = 0;

bool release(bool (*held)())
{
    g_mouse_left = 0;
    return !held() && (g_buttons & 4) == 0;
}

void make_world(const run_head& head)
{
    g_scene_header.level_type = uint8_t(head.level_type % 3);
    g_game_clock.hour = head.hour;
    g_game_clock.light_phase = head.light_phase;
    g_char_count = 4;
    for (int32_t s = 0; s < 4; ++s) {
        char_record& c = g_chars[s];
        std::memset(&c, 0, sizeof c);
        c.kind = uint8_t(s == 0 ? k_kind_player : k_kind_enemy);
        c.life = k_life_alive;
        c.slot = int16_t(s);
        c.hp = c.mana = 5;
        c.hp_max = c.mana_max = 10;
        c.interior = 255;
        for (int16_t& clip : c.clip_special)
            clip = -1;
        for (int16_t& clip : c.clip_stand)
            clip = -1;
        c.object = add_object(100.0f * float(s), 100.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
    g_chars[0].state = head.hero_state % 8;
    g_player_char = 0;
    g_sector_count = 4;
    for (int16_t n = 0; n < 4; ++n) {
        const float x = 100.0f * float(n) - 50.0f;
        begin_sector(&g_sectors[n], 0, x, 50);
        add_sector_point(&g_sectors[n], x + 100, 50);
        add_sector_point(&g_sectors[n], x + 100, 150);
        add_sector_point(&g_sectors[n], x, 150);
        add_sector_point(&g_sectors[n], x, 50);
    }
    create_movemap(&g_movement_map, 16, 16, 4, 4);
    g_spell_proto_count = 4;
    for (int32_t i = 0; i < 4; ++i) {
        g_spell_protos[i] = spell_proto{};
        reset_spell_proto(g_spell_protos[i]);
        g_spell_protos[i].missile_slot = k_spell_no_slot;
        g_spell_protos[i].companion_slot = k_spell_no_slot;
        g_spell_protos[i].item_effect = -1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    run_head head{};
    std::memcpy(&head, data, std::min(size, sizeof head));
    if (!reserve_objects(64))
        return 0;
    make_world(head);
    const size_t body = size > k_head ? size - k_head : 0;
    g_entity_count = uint32_t(std::min<size_t>(body / k_entity_record_size, k_entity_slots));
    std::memcpy(g_entities, data + k_head, g_entity_count * k_entity_record_size);
    g_script_links.wait_until_released = release;
    g_buttons = head.buttons;

    g_ticks = 1000;
    for (int frame = 0; frame < head.frames % 24; ++frame) {
        g_ticks += 5;
        g_mouse_x = head.mouse_x;
        g_mouse_y = head.mouse_y;
        g_mouse_left = head.buttons & 1;
        g_mouse_right = (head.buttons >> 1) & 1;
        g_in_combat = head.in_combat % 2;
        clear_entity_object_counts();
        for (uint32_t i = 0; i < g_entity_count; ++i)
            for (int k = 0; k < head.objects % 4; ++k)
                add_entity_object(int32_t(i), int32_t((i + uint32_t(k)) % g_object_count));
        update_entities();
        if (g_entity_count > uint32_t(k_entity_slots))
            std::abort();
        g_dialogue_running = 0;
    }
    console_log("entities run fuzz: %u entities, %u objects", g_entity_count, g_object_count);
    std::string log;
    {
        FILE* f = std::fopen("global/konzola.log", "rb");
        if (!f)
            std::abort();
        char line[4096];
        while (std::fgets(line, sizeof line, f))
            log += line;
        std::fclose(f);
    }
    if (log.find("entities run fuzz:") == std::string::npos)
        std::abort();

    free_objects();
    free_movemap(&g_movement_map);
    std::memset(g_entities, 0, sizeof g_entities);
    g_entity_count = 0;
    g_script_links = {};
    g_char_count = 0;
    g_spell_proto_count = 0;
    g_in_combat = 0;
    g_scene_header.level_type = 0;
    std::remove("global/konzola.log");
    return 0;
}
