// Builds item 0 from the input and runs it on a test character with a world object, a clip and
// one loaded part model: its looks, worn models, attached effects, attack spells, use and damage,
// then its models are cleared. The input: class, action, variant, damage (i16), then up to 16
// EFECTS entries of 18 bytes (code and eight arguments), taken as they are.
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "tests/engine/model_test_support.h"
#include "engine/models.h"
#include "items/item_looks.h"
#include "items/item_use.h"
#include "items/items.h"
#include "items/spells.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/fuzz/fuzz_templates.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t k_head = 5;

char_record& make_user()
{
    g_char_count = 2;
    for (int32_t s = 0; s < 2; ++s) {
        char_record& c = g_chars[s];
        std::memset(&c, 0, sizeof c);
        c.kind = uint8_t(s + 1);
        c.life = k_life_alive;
        c.slot = int16_t(s);
        c.hp = c.hp_max = 100;
        c.hp_ceiling = 150;
        c.mana_max = 50;
        c.world_fade = 1.0f;
        c.interior = 255;
        c.light = 0xFFFF;
        c.anim_set = 1;
        std::strcpy(c.appearance, "hero");
        std::fill(std::begin(c.clip_stand), std::end(c.clip_stand), int16_t(0));
        std::fill(std::begin(c.clip_move), std::end(c.clip_move), int16_t(-1));
        std::fill(std::begin(c.clip_attack), std::end(c.clip_attack), int16_t(0));
        std::fill(std::begin(c.clip_death), std::end(c.clip_death), int16_t(-1));
        std::fill(std::begin(c.clip_hit), std::end(c.clip_hit), int16_t(-1));
        std::fill(std::begin(c.clip_spell), std::end(c.clip_spell), int16_t(-1));
        std::fill(std::begin(c.clip_special), std::end(c.clip_special), int16_t(-1));
        c.object = add_object(100.0f * float(s), 50.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
    return g_chars[1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    g_scene_header.scale = 1.0f;
    if (!reserve_objects(64))
        return 0;
    make_fuzz_templates();
    g_item_look_links.efect_proto_slot = [](int32_t n) {
        return uint16_t(n % 5 == 4 ? 0xFFFF : k_proto_first_template + n % 4);
    };
    g_chardata_count = 1;
    g_chardata[0] = chardata_entry{};
    std::strcpy(g_chardata[0].path, "3d/hero/1/stand1/head.3d");
    g_chardata[0].loaded = 1;
    make_grid_model(g_char_models[0], 2, 2, 1, 2);
    g_move_proto_count = 1;
    init_move_proto(&g_move_protos[0]);
    g_move_protos[0].part_model[0] = 0;
    g_spell_proto_count = 2;
    std::memset(g_spell_protos, 0, sizeof(spell_proto) * 2);
    std::strcpy(g_spell_protos[0].name, "a");
    std::strcpy(g_spell_protos[1].name, "b");
    char_record& c = make_user();
    c.part_model[0] = 0;

    uint8_t head[k_head] = {};
    std::memcpy(head, data, std::min(size, k_head));
    item_proto& item = g_item_protos[0];
    item = item_proto{};
    g_item_lists[0] = item_lists{};
    item.item_class = head[0];
    std::strcpy(item.model_name, "m");
    std::memcpy(&item.damage, head + 3, 2);
    c.anim_action = head[1];
    c.stand_variant = c.attack_variant = c.hit_variant = head[2];
    size_t body = size > k_head ? size - k_head : 0;
    item.efect_count = int16_t(std::min<size_t>(body / k_item_property_size, k_item_list_entries));
    for (int16_t i = 0; i < item.efect_count; ++i)
        std::memcpy(&g_item_lists[0].efects[i], data + k_head + size_t(i) * k_item_property_size,
                    k_item_property_size);
    g_item_proto_count = 1;

    apply_item_looks(0, &c);
    build_char_model_set(0, &c);
    attach_item_effects(0, &c, 0);
    cast_item_attack_spells(0, c.slot);
    use_item(0, &c, 0);
    deal_item_damage(0, &g_chars[0], c.slot);
    clear_char_model_parts(0, &c);
    console_log("item effects fuzz: %u objects", g_object_count);

    free_objects();
    free_model(&g_char_models[0]);
    release_char_models();
    g_item_look_links = {};
    g_item_proto_count = 0;
    g_spell_proto_count = 0;
    g_char_count = 0;
    std::remove("global/konzola.log");
    return 0;
}
