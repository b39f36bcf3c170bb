#include "characters/char_fixture.h"
#include "characters/char_models.h"
#include "engine/lights.h"
#include "items/item_looks.h"
#include "items/item_properties.h"
#include "support/item_table_guard.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

namespace {

constexpr int16_t k_sword = 0, k_ring = 1, k_helm = 2, k_bad_name = 3, k_looks = 4, k_effects = 5;

std::string path_of(int16_t index)
{
    return index >= 0 && uint32_t(index) < g_chardata_count ? g_chardata[index].path : "";
}

void add_efect(int16_t item, uint16_t code, std::initializer_list<int16_t> args)
{
    item_proto& p = g_item_protos[item];
    item_property& e = g_item_lists[item].efects[p.efect_count++];
    e = item_property{code, {}};
    std::copy(args.begin(), args.end(), e.args);
}

class ItemLooks : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_item_look_links);
        std::strcpy(make_item(k_sword, "mec", "Sword", k_item_medium_weapon).model_name, "mec");
        std::strcpy(make_item(k_ring, "prsten", "Ring", k_item_ring).model_name, "prsten");
        std::strcpy(make_item(k_helm, "kapa", "Helm", k_item_helm).model_name, "kapa");
        std::strcpy(make_item(k_bad_name, "zle", "Bad", k_item_helm).model_name, "../stand1/mec");
        make_item(k_looks, "farba", "Looks", k_item_ring);
        make_item(k_effects, "efekt", "Effects", k_item_ring);
        write_clip("hero", 1, "stand1", {"head", "mec", "mec_e", "prsten"}, 1);
        write_clip("hero", 1, "attack1", {"head", "mec"}, 1);
        write_clip("hero", 1, "spec1", {"head", "kapa"}, 1);
    }
    char_record& hero(int slot)
    {
        char_record& c = make_char(slot, "hero", k_kind_player);
        load_char_anims(&c, 1, true);
        return c;
    }
    item_table_guard items_;
    saved_globals saved_;
};

TEST_F(ItemLooks, WornModelsFillEveryClipOnceAndLeaveWithTheirItem)
{
    char_record& a = hero(1);
    ASSERT_GE(a.clip_stand[0], 0);
    ASSERT_GE(a.clip_attack[0], 0);
    ASSERT_EQ(a.clip_stand[1], -1);
    build_char_model_set(k_sword, &a);
    const char_move_proto& stand = g_move_protos[a.clip_stand[0]];
    const char_move_proto& attack = g_move_protos[a.clip_attack[0]];
    EXPECT_EQ(path_of(stand.part_model[8]), "3d/hero/1/stand1/mec.3d");
    EXPECT_EQ(path_of(stand.part_model[15]), "3d/hero/1/stand1/mec_e.3d");
    EXPECT_EQ(stand.part_model[16], -1);  // no "_g" file
    EXPECT_EQ(path_of(attack.part_model[8]), "3d/hero/1/attack1/mec.3d");
    EXPECT_EQ(attack.part_model[15], -1);

    // A second character finds the same files in the registry: nothing new is loaded.
    char_record& b = hero(2);
    uint32_t count = g_chardata_count;
    build_char_model_set(k_sword, &b);
    EXPECT_EQ(g_chardata_count, count);
    EXPECT_EQ(g_move_protos[b.clip_stand[0]].part_model[8], stand.part_model[8]);

    // A ring has no body part: building and clearing it touch nothing.
    build_char_model_set(k_ring, &a);
    char_move_proto before = stand;
    clear_char_model_parts(k_ring, &a);
    EXPECT_EQ(std::memcmp(&before, &stand, sizeof before), 0);

    // Unequipping the weapon clears its part and parts 15 and 16 in every clip.
    clear_char_model_parts(k_sword, &a);
    for (int part : {8, 15, 16}) {
        EXPECT_EQ(stand.part_model[part], -1) << part;
        EXPECT_EQ(attack.part_model[part], -1) << part;
    }
    EXPECT_EQ(path_of(stand.part_model[0]), "3d/hero/1/stand1/head.3d");

    // A model name leaving its folder loads nothing.
    build_char_model_set(k_bad_name, &a);
    EXPECT_EQ(stand.part_model[9], -1);
    EXPECT_NE(log_text().find("mimo priecinka"), std::string::npos);
}

TEST_F(ItemLooks, AFullRegistryKeepsTheClipsPartAndTheClassTableEndsAtBooks)
{
    char_record& a = hero(1);
    ASSERT_GE(a.clip_special[0], 0);
    char_move_proto& spec = g_move_protos[a.clip_special[0]];
    spec.part_model[9] = 0;
    while (g_chardata_count < k_chardata_append_limit) {
        chardata_entry& e = g_chardata[g_chardata_count];
        std::snprintf(e.path, sizeof e.path, "filler/%u.3d", g_chardata_count++);
        e.loaded = 1;
    }
    build_char_model_set(k_helm, &a);
    EXPECT_EQ(spec.part_model[9], 0);
    EXPECT_EQ(g_chardata_count, k_chardata_append_limit);

    // One free entry takes the model.
    g_chardata[7].loaded = 0;
    build_char_model_set(k_helm, &a);
    EXPECT_EQ(spec.part_model[9], 7);
    EXPECT_EQ(path_of(7), "3d/hero/1/spec1/kapa.3d");

    EXPECT_EQ(item_body_part(24), -1);
    EXPECT_EQ(item_body_part(25), -1);
    EXPECT_EQ(item_body_part(26), -1);
    EXPECT_EQ(item_body_part(27), -1);
    EXPECT_EQ(item_body_part(k_item_focus), 8);
    EXPECT_EQ(item_body_part(k_item_efect), 18);
}

TEST_F(ItemLooks, LookPropertiesFollowActionsAndCheckTheirArguments)
{
    char_record& c = hero(1);
    c.light = 3;
    g_lights[3].r = g_lights[3].g = g_lights[3].b = 0.5f;
    add_efect(k_looks, k_efect_change_3d_part, {5 + 1, 4, 0});      // attack variant 1
    add_efect(k_looks, k_efect_change_3d_part_color, {2, 20, 10, 0, 20});
    add_efect(k_looks, k_efect_change_3d_part_color, {24, 1, 1, 1, 1});  // no such part: skipped
    add_efect(k_looks, k_efect_change_skin, {3, 0x105});
    add_efect(k_looks, k_efect_change_char_part, {6, 0});
    add_efect(k_looks, k_efect_change_char_part, {7, 30000});  // no such model: skipped
    add_efect(k_looks, k_efect_add_char_light, {2, 4, 6});
    c.anim_action = 2;
    c.attack_variant = 1;
    c.part_model[4] = -1;
    c.part_model[6] = -1;
    c.part_frame[6] = 5;
    c.part_extra_a[6] = 9;
    c.part_model[7] = 0;
    apply_item_looks(k_looks, &c);
    EXPECT_EQ(c.part_model[4], 0);
    EXPECT_FLOAT_EQ(c.part_values[0][2], 1.0f);
    EXPECT_FLOAT_EQ(c.part_values[1][2], 0.5f);
    EXPECT_FLOAT_EQ(c.part_values[2][2], 0.0f);
    EXPECT_EQ(c.part_mode[3], 5);
    EXPECT_EQ(c.part_model[6], 0);
    EXPECT_EQ(c.part_frame[6], 0);
    EXPECT_EQ(c.part_extra_a[6], 0);
    EXPECT_EQ(c.part_model[7], 0);
    EXPECT_FLOAT_EQ(g_lights[3].r, 0.6f);
    EXPECT_FLOAT_EQ(g_lights[3].b, 0.8f);
    EXPECT_NE(log_text().find("preskakujem"), std::string::npos);

    // Property 24 by action: stand variant a1, move a1 - 3, hit a1 - 11, spell only 13, never 7 up.
    struct { uint8_t action, variant; int16_t anim; bool applies; } cases[] = {
        {0, 1, 1, true}, {0, 0, 1, false}, {1, 1, 4, true}, {4, 0, 11, true}, {3, 1, 9, true},
        {5, 0, 13, true}, {5, 0, 12, false}, {6, 0, 15, true}, {2, 0, 6, false}, {7, 0, 0, false}, {9, 0, 0, false}};
    for (const auto& t : cases) {
        item_proto& p = make_item(k_looks, "farba", "Looks", k_item_ring);
        (void)p;
        add_efect(k_looks, k_efect_change_3d_part, {t.anim, 5, 0});
        c.anim_action = t.action;
        c.stand_variant = c.move_variant = c.attack_variant = c.death_variant = c.hit_variant = t.variant;
        c.part_model[5] = -1;
        apply_item_looks(k_looks, &c);
        EXPECT_EQ(c.part_model[5] == 0, t.applies) << int(t.action) << " " << t.anim;
    }
    add_efect(k_looks, k_efect_sub_char_light, {2, 4, 6});
    c.anim_action = 7;
    apply_item_looks(k_looks, &c);
    EXPECT_FLOAT_EQ(g_lights[3].r, 0.5f);
}

TEST_F(ItemLooks, AttachedEffectsNeedAWorldObjectAndAValidPrototype)
{
    g_item_look_links.efect_proto_slot = [](int32_t n) { return uint16_t(n == 3 ? 1500 : 0xFFFF); };
    add_efect(k_effects, k_efect_change_char_color, {20, 0, 0, 20});
    add_efect(k_effects, k_efect_add_efect2d, {1, 3, 40});
    add_efect(k_effects, k_efect_add_efect2d, {0, 3, 20});
    add_efect(k_effects, k_efect_add_efect2d, {0, 4, 20});    // no slot: nothing
    add_efect(k_effects, k_efect_add_efect2d, {0, 100, 20});  // no such prototype: skipped
    add_efect(k_effects, k_efect_add_efect3d, {30, 3, 0});    // no such part: skipped
    add_efect(k_effects, k_efect_add_efect3d, {0, 3, 30000}); // no such vertex: skipped
    add_efect(k_effects, k_efect_equipment_spell, {-1});      // no such spell: skipped
    char_record& c = hero(1);
    c.part_model[0] = 1;

    uint32_t objects = g_object_count;
    apply_item_looks(k_effects, &c);
    attach_item_effects(k_effects, &c, k_effects);
    EXPECT_EQ(g_object_count, objects);  // no world object: looks only
    EXPECT_FLOAT_EQ(c.part_values[1][10], 0.0f);

    c.object = add_object(300.0f, 400.0f, 1500, 1.0f, 1.0f, 0, 0);
    g_objects[c.object].layer = 7;
    attach_item_effects(k_effects, &c, k_effects);
    int found = 0;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (int32_t(i) == c.object || o.state == 0)
            continue;
        ++found;
        EXPECT_EQ(o.owner, 1);
        EXPECT_EQ(o.entity, 1);
        EXPECT_EQ(o.layer, 7);
        EXPECT_EQ(o.object_class, k_class_pinned);
        EXPECT_EQ(std::make_tuple(o.item_id, o.attached_drawing), std::make_tuple(uint32_t(k_effects), 1u));
        EXPECT_FLOAT_EQ(o.x, 300.0f);
        if (o.entry_ints[0][0] == 1) {
            EXPECT_FLOAT_EQ(o.y, 300.0f);
            EXPECT_FLOAT_EQ(o.z, 50.0f);
            EXPECT_FLOAT_EQ(o.scale, 2.0f);
        } else {
            EXPECT_FLOAT_EQ(o.y, 400.0f);
            EXPECT_FLOAT_EQ(o.z, -20.0f);
        }
    }
    EXPECT_EQ(found, 2);
}

} // namespace
