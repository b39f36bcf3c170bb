// Runs hostile map events in the per-frame pass on a fake level: a hero and three characters with
// world objects, a square sector, two entities, quests and map texts. The input's head sets the
// frames to run and the mouse for each; the rest is up to eight 980-byte event records, taken as
// they are. The pass must end every frame and keep the tables within their bounds. Every input
// ends with a line in the console log.
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int k_records = 8;

struct run_head {
    uint8_t frames;
    uint8_t buttons;  // bit 0 left, bit 1 right, bit 2 mouse over the interface, bit 3 hero busy
    uint8_t pad[2];
    float mouse_x, mouse_y;
};
constexpr size_t k_head = sizeof(run_head);

void make_level()
{
    g_char_count = 4;
    for (int32_t s = 0; s < 4; ++s) {
        char_record& c = g_chars[s];
        std::memset(&c, 0, sizeof c);
        c.kind = uint8_t(s == 0 ? k_kind_player : s == 1 ? k_kind_enemy : k_kind_normal);
        c.life = k_life_alive;
        c.slot = int16_t(s);
        c.interior = 255;
        std::snprintf(c.name, sizeof c.name, s == 0 ? "hero" : "c%d", int(s));
        for (auto* clips : {c.clip_stand, c.clip_move, c.clip_death, c.clip_hit})
            std::fill(clips, clips + 3, int16_t(-1));
        std::fill(std::begin(c.clip_attack), std::end(c.clip_attack), int16_t(-1));
        std::fill(std::begin(c.clip_spell), std::end(c.clip_spell), int16_t(-1));
        std::fill(std::begin(c.clip_special), std::end(c.clip_special), int16_t(-1));
        c.object = add_object(100.0f * float(s), 50.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
    g_player_char = 0;
    std::memset(g_sectors, 0, sizeof g_sectors);
    begin_sector(&g_sectors[0], 0, 0, 0);
    const float corners[][2] = {{200, 0}, {200, 200}, {0, 200}, {0, 0}};
    for (const auto& p : corners)
        add_sector_point(&g_sectors[0], p[0], p[1]);
    g_sector_count = 1;
    g_entity_count = 2;
    g_entities[0] = g_entities[1] = entity_record{};
    set_quest_name(&g_quests[0], "locdrusk");
    g_quest_count = 1;
    g_map_text_count = 0;
    add_map_text("a sign", "sign", 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    run_head head{};
    std::memcpy(&head, data, std::min(size, k_head));
    if (!reserve_objects(64))
        return 0;
    make_level();
    const size_t body = size > k_head ? size - k_head : 0;
    g_event_count = uint32_t(std::min<size_t>(body / k_event_record_size, k_records));
    for (uint32_t i = 0; i < g_event_count; ++i)
        std::memcpy(&g_events[i], data + k_head + size_t(i) * k_event_record_size, k_event_record_size);

    g_work_mode = k_work_play;
    g_dialogue_running = 0;
    g_refused_event_actions = {};  // each input starts with nothing refused
    for (int frame = 0; frame < head.frames % 8 + 1; ++frame) {
        g_mouse_left = (head.buttons >> (frame % 2)) & 1;
        g_mouse_right = (head.buttons >> 1) & 1;
        g_interface.mouse_over_ui = (head.buttons >> 2) & 1;
        g_chars[0].state = (head.buttons >> 3) & 1;
        g_mouse_x = head.mouse_x;
        g_mouse_y = head.mouse_y;
        evaluate_events();
        g_dialogue_running = 0;
        if (g_event_count > k_event_slots || g_char_count > k_char_slots)
            std::abort();
    }
    console_log("map events run fuzz: %u events, %u characters", g_event_count, g_char_count);

    reset_text_window(&g_message_window);
    reset_text_window(&g_dialogue_window);
    free_objects();
    g_interface = game_interface{};
    g_char_count = 0;
    g_event_count = 0;
    g_entity_count = 0;
    g_quest_count = 0;
    g_pending_level = pending_level{};
    std::remove("global/konzola.log");
    return 0;
}
