// Blood, bleeding and water circles.
#include "world/environment_fixture.h"

#include "world/blood.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cmath>
#include <vector>

namespace {

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
        EXPECT_EQ(o->depth_sorted, 1u);
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
        EXPECT_EQ(o->lifetime, 50);
        EXPECT_EQ(o->entry_kinds[0], k_entry_fade_out);
    }

    g_water_circle.template_slot = -1;
    uint32_t before = g_object_count;
    spawn_water_circle(&g_water_circle, 0, 0, 5, 1.0f, 1.0f, 10);
    EXPECT_EQ(g_object_count, before);
}

} // namespace
