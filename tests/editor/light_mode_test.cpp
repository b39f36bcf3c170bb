// Light mode: strict handle picking where the last hit and the aim point win, a snapshot per
// frame while pressing empty ground, the tuning keys with their spot-light bounds, creating and
// switching off lights, and the dirty flag.
#include "editor/view_mode_fixture.h"

#include "engine/lights.h"

#include <string>

namespace {

class LightMode : public view_mode_test {
protected:
    static int32_t light_at(uint8_t kind, float x, float y)
    {
        const int32_t slot = create_light(kind, x, y, 1.0f, 1.0f, 1.0f, 1.0f);
        EXPECT_GE(slot, 0);
        return slot;
    }
    static void run(std::initializer_list<uint8_t> keys = {}, bool left = false, bool right = false)
    {
        frame(run_light_mode, keys, left, right);
    }
};

} // namespace

TEST_F(LightMode, HandlesArePickedStrictlyTheLastHitAndTheAimPointWinAndEmptyGroundSnapshotsEveryFrame)
{
    const int32_t a = light_at(k_light_kind_point, 100.0f, 100.0f);
    const int32_t b = light_at(k_light_kind_spot, 300.0f, 300.0f);
    g_lights[b].target_x = 100.7f;  // truncated to 100: the same square as a's position
    g_lights[b].target_y = 100.2f;

    mouse(104.0f, 100.0f);  // exactly 4 pixels away: no hit
    run({}, true);
    run({}, true);
    EXPECT_EQ(g_selected_light, -1);
    EXPECT_EQ(g_undo_counter, 2u);  // one snapshot in every frame on empty ground
    EXPECT_EQ(g_mode_info_text[0], '\0');
    run();

    mouse(103.5f, 96.5f);
    run({}, true);
    EXPECT_EQ(g_selected_light, b);
    EXPECT_EQ(g_selected_light_handle, 2u);
    EXPECT_EQ(g_lights[b].selected, 1u);
    EXPECT_EQ(g_undo_counter, 3u);
    mouse(150.0f, 160.0f);
    run({}, true);
    EXPECT_EQ(g_undo_counter, 3u);  // held: no more snapshots
    EXPECT_EQ(g_lights[b].target_x, 150.0f);
    EXPECT_EQ(g_lights[b].x, 300.0f);
    EXPECT_EQ(std::string(g_mode_info_text),
              "\nsvetlo: 1 | typ: 2 | z: 1.00 | r 1.00 | g: 1.00 | b: 1.00 | theta: 1.00 | phi: 2.00 | range: 10.00");
    run();
    EXPECT_EQ(g_selected_light, -1);
    EXPECT_EQ(g_lights[b].selected, 0u);

    // The position of a point light drags the light.
    mouse(100.0f, 100.0f);
    run({}, true);
    EXPECT_EQ(g_selected_light, a);
    EXPECT_EQ(g_selected_light_handle, 1u);
    mouse(40.0f, 50.0f);
    run({}, true);
    EXPECT_EQ(g_lights[a].x, 40.0f);
    EXPECT_EQ(g_lights[a].y, 50.0f);
}

TEST_F(LightMode, KeysTuneTheHeldLightAndOnlyASpotLightTakesItsConeWithinItsBounds)
{
    const int32_t point = light_at(k_light_kind_point, 100.0f, 100.0f);
    const int32_t spot = light_at(k_light_kind_spot, 200.0f, 100.0f);
    mouse(100.0f, 100.0f);
    run({k_key_a, k_key_s, k_key_d, k_key_v, k_key_j}, true);
    light_record& p = g_lights[point];
    EXPECT_FLOAT_EQ(p.z, 1.01f);
    EXPECT_FLOAT_EQ(p.r, 1.01f);
    EXPECT_FLOAT_EQ(p.g, 1.01f);
    EXPECT_FLOAT_EQ(p.b, 0.99f);
    EXPECT_FLOAT_EQ(p.range, 10.1f);
    run({k_key_lcontrol, k_key_z, k_key_s}, true);  // undo and save keys: z and red stay
    EXPECT_FLOAT_EQ(p.z, 1.01f);
    EXPECT_FLOAT_EQ(p.r, 1.01f);
    run({k_key_w, k_key_e, k_key_r, k_key_x, k_key_c, k_key_f}, true);
    EXPECT_FLOAT_EQ(p.r, 1.0f);  // the setting keys come after the steps in the table's order
    EXPECT_FLOAT_EQ(p.g, 1.0f);
    EXPECT_FLOAT_EQ(p.b, 1.0f);
    const float theta = p.theta, phi = p.phi;
    run({k_key_g, k_key_b, k_key_t, k_key_h, k_key_n}, true);
    EXPECT_EQ(p.theta, theta);
    EXPECT_EQ(p.phi, phi);
    run();

    light_record& s = g_lights[spot];
    mouse(200.0f, 100.0f);
    s.phi = s.theta = 0.5f;
    run({k_key_b}, true);
    EXPECT_FLOAT_EQ(s.phi, 0.51f);
    s.phi = 0.6f;
    s.theta = 0.595f;
    run({k_key_h}, true);
    EXPECT_FLOAT_EQ(s.theta, 0.59f);  // raised past phi, then put just below it
    s.phi = 2.995f;
    run({k_key_g}, true);
    run({k_key_g}, true);
    EXPECT_FLOAT_EQ(s.phi, 3.005f);  // raised only while below 3
    s.theta = 0.005f;
    run({k_key_n}, true);
    run({k_key_n}, true);
    EXPECT_FLOAT_EQ(s.theta, -0.005f);  // lowered only while above 0
    run({k_key_t}, true);
    EXPECT_FLOAT_EQ(s.phi, 1.0f);
}

TEST_F(LightMode, EnterCreatesTheChosenTypeWithASnapshotAndTheRightButtonSwitchesOffWithoutOne)
{
    g_map_dirty = 0;
    mouse(50.0f, 60.0f);
    frame(run_light_mode, {k_key_2});
    frame(run_light_mode, {k_key_return});
    frame(run_light_mode, {k_key_return, k_key_space});  // one light per press
    frame(run_light_mode);
    ASSERT_EQ(g_light_count, 1);
    EXPECT_EQ(g_lights[0].state, k_light_on);
    EXPECT_EQ(g_lights[0].kind, k_light_kind_spot);
    EXPECT_EQ(g_lights[0].x, 50.0f);
    EXPECT_EQ(g_lights[0].z, 1.0f);
    EXPECT_EQ(g_undo_counter, 1u);
    frame(run_light_mode, {k_key_1});
    press(run_light_mode, k_key_space);
    EXPECT_EQ(g_lights[1].kind, k_light_kind_point);

    // A held light shields every light from the right button.
    g_lights[1].x = 200.0f;
    mouse(200.0f, 60.0f);
    run({}, true, true);
    EXPECT_EQ(g_selected_light, 1);
    EXPECT_EQ(g_lights[0].state, k_light_on);
    EXPECT_EQ(g_lights[1].state, k_light_on);
    run();
    g_lights[1].x = 50.5f;  // both within 4 pixels now
    mouse(50.0f, 60.0f);
    const uint32_t snapshots = g_undo_counter;
    g_map_dirty = 0;
    run({}, false, true);
    EXPECT_EQ(g_lights[0].state, k_light_free);
    EXPECT_EQ(g_lights[1].state, k_light_free);
    EXPECT_EQ(g_undo_counter, snapshots);
    EXPECT_EQ(g_map_dirty, 1u);

    // A full table creates nothing, but still snapshots first.
    for (int32_t i = 0; i < k_light_slots; ++i)
        g_lights[i].state = k_light_on, g_lights[i].x = -900.0f;
    g_light_count = k_light_slots;
    press(run_light_mode, k_key_return);
    EXPECT_EQ(g_undo_counter, snapshots + 1);
    for (const light_record& l : g_lights)
        EXPECT_EQ(l.x, -900.0f);
}
