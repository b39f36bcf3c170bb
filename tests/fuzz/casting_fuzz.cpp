// Casts hostile spell records on a fake world: four characters with world objects, a combat list
// and template prototypes of each kind. The input's head chooses the cast (record, caster,
// points, lifetime, no-damage flag, combat list, update rounds); the rest is up to four spell
// records, taken as they are (their run-time slots included). The spawned objects then run the
// behaviour step, re-casting rain and ending in impacts, while the object table stays below a
// bound. Every input ends with a line in the console log.
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "items/casting.h"
#include "platform/files.h"
#include "items/spells.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/fuzz/fuzz_templates.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>

// from items/spell_impact.h
void spell_impact(const spell_proto& spell, int16_t character, uint32_t spell_id, float x, float y, uint8_t side);

namespace {

constexpr uint32_t k_object_bound = 60000;
constexpr int k_records = 4;
constexpr size_t k_head = 32;

struct cast_head {
    int8_t caster;
    uint8_t spell;
    int16_t lifetime;
    float points[4];  // origin, target
    uint8_t no_damage;
    uint8_t combat_count;
    uint8_t rounds;
    uint8_t pad;
    int8_t combat[8];
};
static_assert(sizeof(cast_head) == k_head);

void make_world()
{
    make_fuzz_templates();
    for (int32_t k = 0; k < 4; ++k)
        g_object_protos[k_proto_first_template + k].frame_counts[0] = k;
    g_scene_header.scale = 1.0f;
    static const uint8_t kinds[] = {k_kind_player, k_kind_enemy, k_kind_normal, k_kind_sidekick};
    g_char_count = 4;
    for (int32_t s = 0; s < 4; ++s) {
        char_record& c = g_chars[s];
        std::memset(&c, 0, sizeof c);
        c.kind = kinds[s];
        c.life = k_life_alive;
        c.slot = int16_t(s);
        c.hp = c.hp_max = 100;
        c.world_fade = 1.0f;
        c.interior = uint8_t(s == 1 ? 0 : 255);
        std::snprintf(c.display_name, sizeof c.display_name, "c%d", int(s));
        c.object = add_object(100.0f * float(s), 50.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
}

void link_world()
{
    g_behaviour_links.missile_spell = missile_spell_values;
    g_behaviour_links.cast_spell = cast_spell_by_id;
    g_behaviour_links.spell_impact = [](int32_t spell, int32_t hit, float x, float y, int32_t side) {
        if (const spell_proto* s = spell_proto_at(spell))
            spell_impact(*s, int16_t(hit), uint32_t(spell), x, y, uint8_t(side));
    };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    cast_head head{};
    std::memcpy(&head, data, std::min(size, sizeof head));
    if (!reserve_objects(64))
        return 0;
    make_world();
    link_world();
    std::memset(g_spell_protos, 0, sizeof(spell_proto) * k_records);
    size_t body = size > k_head ? size - k_head : 0;
    g_spell_proto_count = int32_t(std::min<size_t>(body / k_spell_proto_size, k_records));
    for (int32_t i = 0; i < g_spell_proto_count; ++i)
        std::memcpy(&g_spell_protos[i], data + k_head + size_t(i) * k_spell_proto_size, k_spell_proto_size);
    g_in_combat = head.combat_count;
    for (int k = 0; k < 8; ++k)
        g_combat_list[k] = head.combat[k];

    g_ticks = 1000;
    cast_spell_by_id(head.spell % k_records, head.caster, head.points[0], head.points[1], head.points[2],
                     head.points[3], head.lifetime, head.no_damage);
    for (int round = 0; round < head.rounds % 16 && g_object_count < k_object_bound; ++round) {
        g_ticks += 3;
        for (uint32_t i = 0; i < g_object_count && g_object_count < k_object_bound; ++i)
            if (g_objects[i].state != 0)
                update_missile_object(&g_objects[i], int32_t(i));
    }
    console_log("casting fuzz: %u objects", g_object_count);
    if (cast_depth() != 0)
        std::abort();

    free_objects();
    g_behaviour_links = {};
    g_char_count = 0;
    g_spell_proto_count = 0;
    g_in_combat = 0;
    std::remove("global/konzola.log");
    return 0;
}
