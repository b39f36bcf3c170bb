// Blood, bleeding and water circles.
#include "world/environment_fixture.h"

#include "world/blood.h"

#include "core/frame_timing.h"
#include "platform/random.h"
#include "world/object_draw_internal.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

recording_device* device_of_test = nullptr;  // for the fakes, which capture nothing

class blood_test : public environment_test {
protected:
    void SetUp() override
    {
        environment_test::SetUp();
        write_template("data/env/blood0.pr", k_proto_particle);
        write_template("data/env/blood2.pr", k_proto_sprite);
        write_template("data/env/bleed1.pr", k_proto_sprite);
        write_template("data/env/wcircle.pr", k_proto_sprite);
        load_blood_templates(&g_blood);
        load_water_circle(&g_water_circle);
    }

    static std::vector<world_object*> objects_of(int16_t slot)
    {
        std::vector<world_object*> found;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].proto == slot)
                found.push_back(&g_objects[i]);
        return found;
    }
};

TEST_F(blood_test, VariantsWithoutAFileHaveNoTemplate)
{
    EXPECT_EQ(g_blood.blood[0], 1000);
    EXPECT_EQ(g_blood.blood[2], 1001);
    EXPECT_EQ(g_blood.bleed[1], 1002);
    EXPECT_EQ(g_water_circle.template_slot, 1003);
    for (int v : {1, 3, 9})
        EXPECT_EQ(g_blood.blood[v], -1);
    EXPECT_EQ(g_blood.bleed[0], -1);
}

TEST_F(blood_test, BlobsLieWithinTheirReachAndFadeOut)
{
    spawn_blood(&g_blood, 500.0f, 300.0f, 40, 10.0f, 30.0f, 100, 0);
    std::vector<world_object*> blobs = objects_of(g_blood.blood[0]);
    ASSERT_EQ(blobs.size(), 40u);
    for (const world_object* o : blobs) {
        EXPECT_LE(std::hypot(o->x - 500.0f, o->y - 300.0f), 13.0f + 1e-3f);
        EXPECT_EQ(o->lifetime, 300);
        EXPECT_EQ(o->layer, 25);
        EXPECT_EQ(o->depth_sorted, k_depth_ground);
        EXPECT_FLOAT_EQ(o->depth_offset, -40.0f);
        EXPECT_GE(o->scale, 0.2f);
        EXPECT_LE(o->scale, 0.6f);
        EXPECT_GE(o->alpha, 0.4f);
        EXPECT_LE(o->alpha, 1.2f);
        EXPECT_GE(o->angle_a, 0);
        EXPECT_LE(o->angle_b, 3);
        EXPECT_EQ(o->entry_count, 1);
        EXPECT_EQ(o->entry_kinds[0], k_entry_fade_out);
        EXPECT_EQ(o->particle_role, k_role_emitter);  // a particle template emits
    }
    spawn_blood(&g_blood, 0.0f, 0.0f, 1, 10.0f, 10.0f, 100, 2);
    EXPECT_EQ(objects_of(g_blood.blood[2])[0]->particle_role, k_role_none);
}

TEST_F(blood_test, AnUnreachableShapeFallsBackToTheCentreAndBadVariantsSpawnNothing)
{
    // With no width every draw off the centre line misses: the blobs fall back to the centre.
    spawn_blood(&g_blood, 50.0f, 60.0f, 5, 0.0f, 40.0f, 10, 0);
    spawn_blood(&g_blood, 50.0f, 60.0f, 5, -8.0f, 40.0f, 10, 0);
    std::vector<world_object*> blobs = objects_of(g_blood.blood[0]);
    ASSERT_EQ(blobs.size(), 10u);
    for (const world_object* o : blobs) {
        EXPECT_FLOAT_EQ(o->x, 50.0f);
        EXPECT_FLOAT_EQ(o->y, 60.0f);
    }

    uint32_t before = g_object_count;
    for (int32_t variant : {-1, 1, 10, 1000})
        spawn_blood(&g_blood, 0, 0, 3, 5.0f, 5.0f, 10, variant);
    for (int32_t variant : {-1, 0, 10})
        spawn_bleed(&g_blood, 0, 0, 1.0f, 20.0f, 10, variant);
    EXPECT_EQ(g_object_count, before);
}

TEST_F(blood_test, BleedingStandsAboveThePointAndWaterCirclesSpreadAroundIt)
{
    spawn_bleed(&g_blood, 200.0f, 400.0f, 1.5f, 60.0f, 80, 1);
    std::vector<world_object*> bleed = objects_of(g_blood.bleed[1]);
    ASSERT_EQ(bleed.size(), 1u);
    EXPECT_FLOAT_EQ(bleed[0]->y, 340.0f);
    EXPECT_FLOAT_EQ(bleed[0]->scale, 1.5f);
    EXPECT_FLOAT_EQ(bleed[0]->alpha, 1.0f);
    EXPECT_FLOAT_EQ(bleed[0]->depth_offset, 40.0f);
    EXPECT_EQ(bleed[0]->depth_sorted, k_depth_sorted);  // a splash in the air, not on the ground
    EXPECT_EQ(bleed[0]->layer, 10);
    EXPECT_EQ(bleed[0]->lifetime, 80);
    EXPECT_EQ(bleed[0]->entry_count, 0);

    spawn_water_circle(&g_water_circle, 100.0f, 100.0f, 12, 20.0f, 5.0f, 50);
    std::vector<world_object*> circles = objects_of(g_water_circle.template_slot);
    ASSERT_EQ(circles.size(), 12u);
    for (const world_object* o : circles) {
        EXPECT_LE(std::fabs(o->x - 100.0f), 20.0f);
        EXPECT_LE(std::fabs(o->y - 100.0f), 5.0f);
        EXPECT_EQ(o->layer, 20);
        EXPECT_FLOAT_EQ(o->depth_offset, -80.0f);
        EXPECT_EQ(o->depth_sorted, k_depth_ground);
        EXPECT_EQ(o->lifetime, 50);
        EXPECT_EQ(o->entry_kinds[0], k_entry_fade_out);
    }

    g_water_circle.template_slot = -1;
    uint32_t before = g_object_count;
    spawn_water_circle(&g_water_circle, 0, 0, 5, 1.0f, 1.0f, 10);
    EXPECT_EQ(g_object_count, before);
}

// The frames of `rate` updates a second from now on, each a frame of the world: owned objects
// follow, the pass draws and steps every object. Returns the ticks until `index` is freed.
uint32_t ticks_until_freed(int32_t index, double rate)
{
    const uint32_t start = g_ticks;
    double ms = double(g_ticks) * 16.0;
    while (g_objects[index].state != 0 && g_ticks - start < 10000) {
        ms += 1000.0 / rate;
        g_ticks = uint32_t(ms) >> 4;
        follow_owner_objects();
        draw_objects();
    }
    return g_ticks - start;
}

TEST_F(blood_test, BloodLastsTheSameGameTimeAtSixtyUpdatesASecondAndAtTen)
{
    // 300 steps of lifetime, then the fade of its alpha by 0.06 a step, a step every 3 ticks.
    uint32_t ticks[2];
    const double rates[2] = {60.0, 10.0};
    for (int r = 0; r < 2; ++r) {
        free_objects();
        g_ticks = 100;
        game_srand(5);  // the same alpha, so the same fade
        spawn_blood(&g_blood, 500.0f, 300.0f, 1, 10.0f, 10.0f, 100, 2);
        const std::vector<world_object*> blob = objects_of(g_blood.blood[2]);
        ASSERT_EQ(blob.size(), 1u);
        const float alpha = blob[0]->alpha;
        ticks[r] = ticks_until_freed(int32_t(blob[0] - g_objects), rates[r]);
        const uint32_t expected = (300 + uint32_t(std::ceil(alpha / 0.06f))) * k_step_period;
        EXPECT_NEAR(double(ticks[r]), double(expected), 10.0) << rates[r] << " updates a second";
    }
    EXPECT_LE(std::abs(int(ticks[0]) - int(ticks[1])), 10);  // 6 times apart before
}

TEST_F(blood_test, BloodLiesUnderTheCharacterStandingInIt)
{
    // The hero's object comes first in the array, the blood after it, partly in front of it.
    static int32_t draws_before_hero;
    draws_before_hero = -1;
    s_hero_object = add_object(500.0f, 300.0f, -2 - 0, 1.0f, 1.0f, 0, 0);
    g_objects[s_hero_object].state = 1;
    g_object_links.draw_char = [](int32_t, const world_object&, float, float) {
        draws_before_hero = int32_t(device_of_test->draws().size());
    };
    device_of_test = device_.get();
    const int32_t crate = add_object(560.0f, 360.0f, add_test_proto("crate", 1), 1.0f, 1.0f, 0, 0);
    g_objects[crate].state = 1;
    g_objects[crate].depth_sorted = k_depth_sorted;
    spawn_blood(&g_blood, 500.0f, 330.0f, 12, 30.0f, 30.0f, 100, 2);
    for (int frame = 0; frame < 3; ++frame)  // new objects are drawn from their third pass on
        run_frame();
    device_->clear_recording();
    run_frame();
    // The twelve blobs, then the hero; the crate stands in front of it, after.
    EXPECT_EQ(draws_before_hero, 12);
    EXPECT_EQ(device_->draws().size(), 13u);
}

TEST_F(blood_test, OnlyTheNewestSixtyFourEmittersWithALifetimeLive)
{
    const int32_t torch = add_object(100.0f, 100.0f, g_blood.blood[0], 1.0f, 1.0f, 0, 1);  // the level's, endless
    ASSERT_EQ(g_objects[torch].particle_role, k_role_emitter);
    // A corpse: a character's object with a lifetime, which emits nothing.
    const int32_t corpse = add_object(150.0f, 100.0f, -2 - 5, 1.0f, 1.0f, 0, 0);
    g_objects[corpse].lifetime = 800;
    // Five hits 200 pixels apart: a blob tells its hit by its x.
    auto living = [](int hit) {
        int n = 0;
        for (uint32_t i = 0; i < g_object_count; ++i) {
            const world_object& o = g_objects[i];
            n += o.state != 0 && o.particle_role == k_role_emitter && o.lifetime != -1 &&
                         std::fabs(o.x - (1000.0f + 200.0f * float(hit))) < 100.0f
                     ? 1
                     : 0;
        }
        return n;
    };
    for (int hit = 0; hit < 5; ++hit)
        spawn_blood(&g_blood, 1000.0f + 200.0f * float(hit), 300.0f, 15, 20.0f, 20.0f, 200, 0);
    // 75 blobs: the 11 oldest ended as the fifth hit came.
    EXPECT_EQ(living(0), 15 - 11);
    for (int hit = 1; hit < 5; ++hit)
        EXPECT_EQ(living(hit), 15);
    run_frame();
    EXPECT_EQ(living(0), 4);
    EXPECT_NE(g_objects[torch].state, 0);
    // An effect's emitter with a lifetime made elsewhere counts too: the pass ends the oldest.
    const int32_t effect = add_object(2000.0f, 300.0f, g_blood.blood[0], 1.0f, 1.0f, 0, 1);
    g_objects[effect].lifetime = 50;
    run_frame();
    EXPECT_EQ(living(0), 3);
    EXPECT_NE(g_objects[effect].state, 0);
    EXPECT_NE(g_objects[corpse].state, 0);
    EXPECT_EQ(g_objects[corpse].proto, -2 - 5);  // its slot not taken by a blob
}

} // namespace
