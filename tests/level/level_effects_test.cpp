// Level effects: the steps of every kind, the checks of their references, their section of the
// level map file; effect prototypes and "global/efects.dat".
#include "level/level_fixture.h"

#include "core/frame_timing.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "level/level_effects.h"
#include "platform/files.h"
#include "script/entities.h"
#include "shell/device_setup.h"
#include "support/file_size_limit.h"
#include "support/section_files.h"
#include "world/game_clock.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <climits>
#include <cstring>

namespace {

class level_effects_test : public level_test {
protected:
    static level_effect pulse_effect(uint32_t kind, float lower, float upper, float step)
    {
        level_effect e{};
        e.active = 1;
        e.kind = kind;
        e.target = 3;
        for (effect_channel& c : e.channel)
            c = {lower, upper, step};
        return e;
    }

    // Entity 2 whose first listed object is object 4 of five.
    static void entity_with_object()
    {
        ASSERT_TRUE(reserve_objects(5));
        g_object_count = 5;
        g_entity_count = 3;
        g_entities[2].object_list = 1;
        g_entities[2].object_count = 1;
        g_entity_object_lists[0][0] = 4;
    }
};

TEST_F(level_effects_test, APulseTurnsOnlyAfterPassingABound)
{
    level_effect e = pulse_effect(k_effect_light_pulse, 0.5f, 1.0f, 0.25f);
    g_lights[3].r = 0.5f;
    std::vector<float> values;
    std::vector<int32_t> directions;
    for (int i = 0; i < 6; ++i) {
        update_level_effect(&e);
        values.push_back(g_lights[3].r);
        directions.push_back(e.direction[0]);
    }
    // Meeting 1.0 exactly does not turn; passing it does, and so at the lower bound.
    EXPECT_EQ(values, (std::vector<float>{0.75f, 1.0f, 1.25f, 1.0f, 0.75f, 0.5f}));
    EXPECT_EQ(directions, (std::vector<int32_t>{0, 0, 1, 1, 1, 1}));
    update_level_effect(&e);
    EXPECT_FLOAT_EQ(g_lights[3].r, 0.25f);
    EXPECT_EQ(e.direction[0], 0);
}

TEST_F(level_effects_test, EqualBoundsKeepTurningAndOvershootByAStep)
{
    level_effect e = pulse_effect(k_effect_light_pulse, 0.5f, 0.5f, 0.125f);
    g_lights[3].g = 0.5f;
    std::vector<float> values;
    for (int i = 0; i < 8; ++i) {
        update_level_effect(&e);
        values.push_back(g_lights[3].g);
    }
    EXPECT_EQ(values, (std::vector<float>{0.625f, 0.5f, 0.375f, 0.5f, 0.625f, 0.5f, 0.375f, 0.5f}));
}

TEST_F(level_effects_test, StepsWaitForTheirTickAndEachKindDoesItsOwnThing)
{
    g_ticks = 100;
    level_effect e = pulse_effect(k_effect_counter, 0, 1, 0.1f);
    e.period = 5;
    e.next_tick = 101;
    update_level_effect(&e);
    EXPECT_EQ(e.counter, 0);
    g_ticks = 101;
    update_level_effect(&e);
    EXPECT_EQ(e.counter, 1);
    EXPECT_EQ(e.next_tick, 106u);

    for (uint32_t kind : {k_effect_add_light, k_effect_x_move, k_effect_y_move, k_effect_flashlight, 11u, 0u}) {
        level_effect quiet = pulse_effect(kind, 0, 1, 0.1f);
        quiet.period = 0;
        level_effect before = quiet;
        g_lights[3].r = 0.2f;
        update_level_effect(&quiet);
        EXPECT_EQ(quiet.next_tick, g_ticks) << kind;  // period 0: due again in the same tick
        quiet.next_tick = before.next_tick;
        EXPECT_EQ(0, std::memcmp(&quiet, &before, sizeof quiet)) << kind;
        EXPECT_FLOAT_EQ(g_lights[3].r, 0.2f);
    }
}

TEST_F(level_effects_test, TheAmbientPulseSetsTheDeviceAmbient)
{
    g_ambient_color = {0.5f, 0.25f, 1.0f};
    level_effect e = pulse_effect(k_effect_ambient_pulse, 0.0f, 2.0f, 0.25f);
    e.direction[2] = 1;
    update_level_effect(&e);
    EXPECT_FLOAT_EQ(g_ambient_color.red, 0.75f);
    EXPECT_FLOAT_EQ(g_ambient_color.green, 0.5f);
    EXPECT_FLOAT_EQ(g_ambient_color.blue, 0.75f);
    EXPECT_EQ(g_d3d_device->get_render_state(render_state::ambient), 191u << 16 | 127u << 8 | 191u);
}

TEST_F(level_effects_test, TurningEffectsTurnTheEntitysFirstObject)
{
    entity_with_object();
    const uint32_t kinds[] = {k_effect_turn_x, k_effect_turn_y, k_effect_turn_z};
    for (uint32_t kind : kinds) {
        level_effect e{};
        e.active = 1;
        e.kind = kind;
        e.target = 2;
        e.direction[0] = 15;
        update_level_effect(&e);
    }
    EXPECT_EQ(g_objects[4].angle_a, 15);
    EXPECT_EQ(g_objects[4].angle_b, 15);
    EXPECT_EQ(g_objects[4].angle_c, 15);

    g_objects[4].angle_a = INT_MAX;
    level_effect e{};
    e.kind = k_effect_turn_x;
    e.target = 2;
    e.direction[0] = 2;
    update_level_effect(&e);
    EXPECT_EQ(g_objects[4].angle_a, INT_MIN + 1);  // wraps around
}

TEST_F(level_effects_test, EffectsWithoutTheirLightEntityOrObjectOnlyTakeTheirTick)
{
    entity_with_object();
    g_ticks = 50;
    auto unchanged = [] {
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].angle_a || g_objects[i].angle_b || g_objects[i].angle_c)
                return false;
        return true;
    };
    for (int32_t target : {-1, 0, 3, 100, 1 << 20}) {
        level_effect e{};
        e.kind = k_effect_turn_y;
        e.target = target;
        e.direction[0] = 9;
        update_level_effect(&e);
        EXPECT_EQ(e.next_tick, 50u);
        EXPECT_TRUE(unchanged()) << target;
    }
    g_entity_object_lists[0][0] = 5;  // past the objects
    level_effect e{};
    e.kind = k_effect_turn_z;
    e.target = 2;
    e.direction[0] = 9;
    update_level_effect(&e);
    EXPECT_TRUE(unchanged());

    for (int32_t light : {-1, k_light_slots}) {
        level_effect p = pulse_effect(k_effect_light_pulse, 0, 1, 0.5f);
        p.target = light;
        update_level_effect(&p);  // no light is touched
    }
}

TEST_F(level_effects_test, OnlyActiveEffectsBelowTheCountStep)
{
    g_level_effect_count = 2;
    g_level_effects[0] = pulse_effect(k_effect_counter, 0, 1, 0);
    g_level_effects[1] = pulse_effect(k_effect_counter, 0, 1, 0);
    g_level_effects[1].active = 2;
    g_level_effects[2] = pulse_effect(k_effect_counter, 0, 1, 0);
    update_level_effects();
    EXPECT_EQ(g_level_effects[0].counter, 1);
    EXPECT_EQ(g_level_effects[1].counter, 0);
    EXPECT_EQ(g_level_effects[2].counter, 0);
}

TEST_F(level_effects_test, TheSectionKeepsAHundredAndClearsTheTicks)
{
    for (int i = 0; i < k_level_effect_slots; ++i) {
        fill_pattern(&g_level_effects[i], uint32_t(i));
        g_level_effects[i].next_tick = 0;
    }
    g_level_effect_count = k_level_effect_slots;
    ASSERT_TRUE(write_section(write_level_effects));
    level_effect written[k_level_effect_slots];
    std::memcpy(written, g_level_effects, sizeof written);
    std::memset(g_level_effects, 0, sizeof g_level_effects);
    g_level_effect_count = 0;
    ASSERT_TRUE(read_section(read_level_effects));
    EXPECT_EQ(g_level_effect_count, uint32_t(k_level_effect_slots));
    EXPECT_EQ(0, std::memcmp(written, g_level_effects, sizeof written));

    // 103 stored, of 80 bytes each: 100 kept, the rest skipped; ticks cleared.
    section_bytes s;
    s.u32(80).u32(103);
    for (int i = 0; i < 103; ++i) {
        uint8_t bytes[80];
        std::memset(bytes, 0, sizeof bytes);
        bytes[0] = 1;
        bytes[12] = 0x55;  // next tick
        bytes[36] = uint8_t(i);
        s.raw(bytes, sizeof bytes);
    }
    raw_read r = read_raw_section(s.bytes, read_level_effects);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(r.aligned);
    EXPECT_EQ(g_level_effect_count, 100u);
    EXPECT_EQ(g_level_effects[99].counter, 99);
    EXPECT_EQ(g_level_effects[5].next_tick, 0u);

    // A shorter record fills the start of its slot.
    section_bytes shorter;
    shorter.u32(12).u32(1).u32(1).u32(7).u32(5);
    r = read_raw_section(shorter.bytes, read_level_effects);
    EXPECT_TRUE(r.aligned);
    ASSERT_EQ(g_level_effect_count, 1u);
    EXPECT_EQ(g_level_effects[0].target, 7);
    EXPECT_EQ(g_level_effects[0].kind, 5u);
    EXPECT_EQ(g_level_effects[0].period, 0u);

    EXPECT_FALSE(read_last_section({0x4C}, read_level_effects));
    EXPECT_EQ(g_level_effect_count, 0u);
    EXPECT_NE(log_text().find("ziadne efecty\n"), std::string::npos);
}

class efect_proto_test : public level_effects_test {
protected:
    void SetUp() override
    {
        level_effects_test::SetUp();
        make_folder("data/efects");
        // A sprite template without frames.
        object_proto& p = g_object_protos[k_proto_slots - 1];
        reset_object_proto(&p);
        std::strcpy(p.name, "glow");
        p.kind = k_proto_sprite;
        p.width = 48;
        packed_stream* out = stream_open("data/efects/glow.pr", "wp");
        ASSERT_TRUE(write_object_proto(k_proto_slots - 1, out));
        ASSERT_EQ(stream_close(out), 0);
        reset_object_proto(&p);
    }

    static void set_entries(std::initializer_list<const char*> names)
    {
        g_efect_proto_count = 0;
        for (const char* name : names) {
            efect_proto_entry& e = g_efect_protos[g_efect_proto_count++];
            init_efect_proto_entry(&e);
            std::strcpy(e.name, name);
            e.scale = 0.5f + float(g_efect_proto_count);
        }
    }
};

TEST_F(efect_proto_test, EntriesAreSavedAndLoadedWithTheirTemplates)
{
    set_entries({"glow", "missing", "glow"});
    ASSERT_TRUE(save_efect_protos());
    std::memset(g_efect_protos, 0, sizeof g_efect_protos);
    g_efect_proto_count = 0;
    load_efect_protos();
    ASSERT_EQ(g_efect_proto_count, 3);
    EXPECT_STREQ(g_efect_protos[0].name, "glow");
    EXPECT_FLOAT_EQ(g_efect_protos[2].scale, 3.5f);
    EXPECT_EQ(g_efect_protos[0].slot, k_proto_first_template);
    EXPECT_EQ(g_efect_protos[1].slot, k_efect_no_slot);
    EXPECT_EQ(g_efect_protos[2].slot, k_proto_first_template + 1);
    EXPECT_EQ(g_object_protos[k_proto_first_template].kind, k_proto_sprite);
    EXPECT_EQ(g_object_protos[k_proto_first_template].width, 48);
    EXPECT_NE(log_text().find("pridal som efectu glow prototyp 1000 typu 0\n"), std::string::npos);

    // Attaching again frees the template held and takes the first free slot.
    attach_efect_proto(&g_efect_protos[2]);
    EXPECT_EQ(g_efect_protos[2].slot, k_proto_first_template + 1);
    std::strcpy(g_efect_protos[2].name, "missing");
    attach_efect_proto(&g_efect_protos[2]);
    EXPECT_EQ(g_efect_protos[2].slot, k_efect_no_slot);
    EXPECT_EQ(g_object_protos[k_proto_first_template + 1].kind, k_proto_free);
}

TEST_F(efect_proto_test, TemplatesNeedAFreeSlotAndANameInTheFolder)
{
    for (int32_t s = k_proto_first_template; s < k_proto_slots; ++s)
        g_object_protos[s].kind = k_proto_sprite;
    efect_proto_entry e;
    init_efect_proto_entry(&e);
    EXPECT_STREQ(e.name, "new");
    EXPECT_FLOAT_EQ(e.scale, 1.0f);
    std::strcpy(e.name, "glow");
    attach_efect_proto(&e);
    EXPECT_EQ(e.slot, k_efect_no_slot);

    g_object_protos[k_proto_slots - 1].kind = k_proto_free;
    write_text("outside.pr", "");
    std::strcpy(e.name, "../../outside");
    attach_efect_proto(&e);
    EXPECT_EQ(e.slot, k_efect_no_slot);
    std::memset(e.name, 'a', sizeof e.name);  // an unterminated name is cut
    attach_efect_proto(&e);
    EXPECT_EQ(e.name[k_efect_name_size - 1], '\0');
}

TEST_F(efect_proto_test, HostileFilesAreBoundedAndAFailedSaveKeepsTheOldFile)
{
    for (int16_t count : {int16_t(-5), int16_t(300)}) {
        section_bytes s;
        s.u8('A').u8('G').u8('P').u8('.').u16(uint16_t(count)).u32(20);
        for (int i = 0; i < 300; ++i)
            s.raw("nothing_here_at_all", 20);
        write_bytes("global/efects.dat", s.bytes);
        load_efect_protos();
        EXPECT_EQ(g_efect_proto_count, count < 0 ? 0 : k_efect_proto_slots);
        if (count > 0) {
            EXPECT_STREQ(g_efect_protos[99].name, "nothing_here_at_all");
            EXPECT_EQ(g_efect_protos[99].slot, k_efect_no_slot);
        }
    }

    set_entries({"glow"});
    ASSERT_TRUE(save_efect_protos());
    std::vector<uint8_t> old = read_bytes("global/efects.dat");
    set_entries({"glow", "glow", "glow", "glow"});
    {
        file_size_limit limit(8);
        EXPECT_FALSE(save_efect_protos());
    }
    EXPECT_EQ(read_bytes("global/efects.dat"), old);
}

} // namespace
