// Editing mode: the hit tests and the picked list, the grab and the drag with its handles, copy,
// delete, the toggle, the keys on the held object, turning and nudging, and the snapshots and
// map-changed flag each of them leaves.
#include "world/object_fixture.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/object_mode.h"
#include "editor/windows/mode_tabs.h"
#include "platform/key_codes.h"
#include "support/saved_globals.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct buttons {
    bool left = false, right = false, middle = false;
};

class ObjectMode : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        saved_.keep(g_editor), saved_.keep(g_work_mode), saved_.keep(g_key_state), saved_.keep(g_mouse_left);
        saved_.keep(g_mouse_right), saved_.keep(g_mouse_middle), saved_.keep(g_mouse_x), saved_.keep(g_mouse_y);
        saved_.keep(g_brush_preview), saved_.keep(g_undo_counter), saved_.keep(g_map_dirty), saved_.keep(g_zoom);
        saved_.keep(g_active_layer), saved_.keep(g_marker_dx), saved_.keep(g_marker_dy), saved_.keep(g_dragged_object);
        saved_.keep(g_object_mode_latches), saved_.keep(g_edit_step_tick), saved_.keep(g_mode_info_text);
        saved_.keep(g_global_settings_window);
        g_global_settings_window = 0;
        sprite = add_test_proto("crate", 1, k_proto_sprite);
        mesh = add_test_proto("barrel", 1, k_proto_mesh);
        surface = add_test_proto("floor", 1, k_proto_surface);
        particle = add_test_proto("smoke", 1, k_proto_particle);
        g_editor = editor_state{};
        g_editor.brush_efect_type = -1;
        g_editor.brush_scale = g_editor.brush_alfa = 1.0f;
        g_undo_counter = 0;
        g_map_dirty = 0;
        g_zoom = 1.0f;
        g_marker_dx = g_marker_dy = 0;
        g_dragged_object = -1;
        g_object_mode_latches = {};
        g_edit_step_tick = 0;
        g_brush_preview = {};
        g_work_mode = k_work_select;
        mouse(0, 0);
    }
    void TearDown() override
    {
        saved_.restore();
        object_test::TearDown();
    }

    // A plain object of the prototype at (x, y) in the layer (the active one by default).
    static int32_t place(int32_t proto, float x, float y, int layer = -1)
    {
        const uint32_t mode = g_work_mode;
        g_work_mode = k_work_insert;
        const int32_t i = add_object(x, y, proto, 1.0f, 1.0f, 0, 0);
        g_work_mode = mode;
        g_objects[i].layer = uint8_t(layer < 0 ? g_active_layer : layer);
        return i;
    }
    // A sprite on the square of side 40 whose corner 0 is (x, y), corners clockwise.
    static int32_t place_square(float x, float y)
    {
        const int32_t i = place(0, x + 20, y + 20);
        const float c[8] = {x, y, x + 40, y, x + 40, y + 40, x, y + 40};
        std::memcpy(g_objects[i].corners, c, sizeof c);
        g_objects[i].has_corners = 1;
        return i;
    }
    static void mouse(float x, float y)
    {
        g_mouse_x = g_brush_preview.x = x;
        g_mouse_y = g_brush_preview.y = y;
    }
    // One frame with exactly these keys and buttons down.
    static void frame(std::initializer_list<uint8_t> keys = {}, buttons b = {})
    {
        std::memset(g_key_state, 0, sizeof g_key_state);
        for (uint8_t k : keys)
            g_key_state[k] = k_key_down_bit;
        g_mouse_left = b.left, g_mouse_right = b.right, g_mouse_middle = b.middle;
        ++g_ticks;
        run_object_mode(g_editor);
    }
    static void click(float x, float y)
    {
        mouse(x, y);
        frame({}, {.left = true});
    }
    static world_object& obj(int32_t i) { return g_objects[i]; }
    static std::vector<int32_t> picks()
    {
        return {g_editor.picked, g_editor.picked + g_editor.pick_count};
    }
    static std::vector<int32_t> picks_at(float x, float y)
    {
        mouse(x, y);
        frame();
        return picks();
    }

    int32_t sprite = 0, mesh = 0, surface = 0, particle = 0;
    saved_globals saved_;
};

using ids = std::vector<int32_t>;

} // namespace

TEST_F(ObjectMode, HitTestsAreStrictAndThePickedListCountsEveryHitOfTheActiveLayerUpTo32)
{
    const int32_t a = place(sprite, 100, 100);  // 32 x 32: box half 16
    EXPECT_EQ(picks_at(115.9f, 100), ids{a});
    EXPECT_EQ(picks_at(116.0f, 100), ids{});
    g_zoom = 2.0f;  // the box shrinks by the zoom: half 8
    EXPECT_EQ(picks_at(107.9f, 100), ids{a});
    EXPECT_EQ(picks_at(108.0f, 100), ids{});
    g_zoom = 1.0f;

    // A cornered sprite: one entry per corner hit (within 4 of trunc(corner)), one more inside.
    const int32_t q = place_square(200, 200);
    obj(q).corners[0] = 200.9f;  // truncated to 200
    EXPECT_EQ(picks_at(203.9f, 200.5f), (ids{q, q}));
    EXPECT_EQ(picks_at(196.1f, 199.0f), ids{q});
    EXPECT_EQ(picks_at(196.0f, 199.0f), ids{});
    EXPECT_EQ(picks_at(220, 220), ids{q});

    // A mesh is taken by its anchor (radius 8) even with corner points; a surface at x, y x scale.
    const int32_t m = place(mesh, 300, 300);
    obj(m).has_corners = 1;
    EXPECT_EQ(picks_at(307.9f, 300), ids{m});
    EXPECT_EQ(picks_at(308.0f, 300), ids{});
    const int32_t s = place(surface, 200, 100);
    obj(s).scale = 0.5f;
    EXPECT_EQ(picks_at(100, 50), ids{s});
    // Particles by their box; emitters by their anchor.
    const int32_t p = place(particle, 600, 600);
    obj(p).particle_role = k_role_emitter;
    EXPECT_EQ(picks_at(609, 600), ids{});
    EXPECT_EQ(picks_at(607, 600), ids{p});

    // Other layers and characters' objects (prototype below 0) never count.
    place(sprite, 400, 400, 3);
    const int32_t hero = place(sprite, 400, 400);
    obj(hero).proto = -2;
    EXPECT_EQ(picks_at(400, 400), ids{});

    // 40 stacked sprites fill the list to 32, lowest indices first; a later frame with fewer
    // hits leaves -1 behind.
    std::vector<int32_t> stack;
    for (int k = 0; k < 40; ++k)
        stack.push_back(place(sprite, 800, 800));
    EXPECT_EQ(picks_at(800, 800), ids(stack.begin(), stack.begin() + 32));
    EXPECT_EQ(picks_at(100, 100), ids{a});
    EXPECT_EQ(g_editor.picked[1], -1);
    EXPECT_EQ(g_editor.picked[31], -1);

    // A position no integer holds is truncated safely: not-a-number counts as 0.
    const int32_t lost = place(sprite, NAN, NAN);
    const int32_t far = place(sprite, 1e30f, -1e30f);
    EXPECT_EQ(picks_at(0, 0), ids{lost});
    EXPECT_EQ(picks_at(1e30f, -1e30f), ids{});
    (void)far;
}

TEST_F(ObjectMode, TheGrabSelectsEveryHitHoldsTheHighestIndexAndTheDragMovesEverySelectedObject)
{
    const int32_t a = place(sprite, 100, 100), b = place(sprite, 110, 100), c = place(sprite, 400, 400);
    g_brush_preview.x = 105.7f;  // the grab snaps the mouse to the preview's whole position
    g_brush_preview.y = 100.2f;
    g_mouse_x = g_mouse_y = 0;
    frame({}, {.left = true});
    EXPECT_EQ(g_mouse_x, 105.0f);
    EXPECT_EQ(g_mouse_y, 100.0f);
    EXPECT_TRUE(obj(a).highlight && obj(b).highlight);
    EXPECT_FALSE(obj(c).highlight);
    EXPECT_EQ(g_dragged_object, b);
    EXPECT_EQ(g_undo_counter, 1u);
    EXPECT_EQ(g_map_dirty, 1u);

    g_marker_dx = 5, g_marker_dy = -3;
    frame({}, {.left = true});
    EXPECT_EQ(obj(a).x, 105.0f);
    EXPECT_EQ(obj(a).y, 97.0f);
    EXPECT_EQ(obj(b).x, 115.0f);
    EXPECT_EQ(obj(c).x, 400.0f);
    EXPECT_EQ(std::string(g_mode_info_text).rfind("\nobject: " + std::to_string(b) + ", pr: 0,", 0), 0u);
    g_marker_dx = g_marker_dy = 0;

    // Ctrl puts them on the preview.
    mouse(50, 60);
    frame({k_key_lcontrol}, {.left = true});
    EXPECT_EQ(obj(a).x, 50.0f);
    EXPECT_EQ(obj(b).y, 60.0f);
    EXPECT_EQ(g_undo_counter, 1u);

    // The release lets go and unselects everything; the info text is gone.
    frame();
    EXPECT_EQ(g_dragged_object, -1);
    EXPECT_FALSE(obj(a).highlight || obj(b).highlight);
    EXPECT_STREQ(g_mode_info_text, "");

    // Holding the button over empty space tries again every frame with one snapshot per press.
    mouse(700, 700);
    for (int k = 0; k < 3; ++k)
        frame({}, {.left = true});
    EXPECT_EQ(g_undo_counter, 2u);
    EXPECT_EQ(g_dragged_object, -1);
    mouse(400, 400);  // still down: the grab takes what comes under the mouse
    frame({}, {.left = true});
    EXPECT_EQ(g_dragged_object, c);
    EXPECT_EQ(g_undo_counter, 2u);
    frame();

    // A surface moves a further 1/30 of the displacement: dragged 30, it moves 31.
    const int32_t s = place(surface, 20, 20);
    click(20, 20);
    EXPECT_EQ(g_dragged_object, s);
    g_marker_dx = 30;
    frame({}, {.left = true});
    EXPECT_EQ(obj(s).x, 51.0f);
}

TEST_F(ObjectMode, ACornerHandleMovesAloneWithShiftAndTheQuadGrabMovesNothingThen)
{
    const int32_t q = place_square(200, 200);
    click(240.5f, 241);  // corner 2
    EXPECT_EQ(g_dragged_object, q);
    EXPECT_EQ(obj(q).grabbed_corner, 3);
    g_marker_dx = 10, g_marker_dy = 5;
    frame({k_key_lshift}, {.left = true});
    EXPECT_EQ(obj(q).corners[4], 250.0f);
    EXPECT_EQ(obj(q).corners[5], 245.0f);
    EXPECT_EQ(obj(q).corners[0], 200.0f);
    mouse(300, 310);
    frame({k_key_lshift, k_key_lcontrol}, {.left = true});
    EXPECT_EQ(obj(q).corners[4], 300.0f);
    EXPECT_EQ(obj(q).corners[5], 310.0f);
    frame({}, {.left = true});  // without Shift every corner moves; x and y stay
    EXPECT_EQ(obj(q).corners[0], 210.0f);
    EXPECT_EQ(obj(q).corners[7], 245.0f);
    EXPECT_EQ(obj(q).x, 220.0f);
    frame();

    g_marker_dx = g_marker_dy = 0;
    click(215, 230);  // inside the quad, near no corner
    EXPECT_EQ(obj(q).grabbed_corner, 5);
    g_marker_dx = 10;
    const world_object before = obj(q);
    frame({k_key_lshift}, {.left = true});
    EXPECT_EQ(std::memcmp(before.corners, obj(q).corners, sizeof before.corners), 0);
}

TEST_F(ObjectMode, EnterCopiesTheSelectionOnceSoThatItsSmallestCornerLandsOnTheMouse)
{
    // Fill the array to its capacity, so that the copies make it grow under the sources.
    const int32_t plain = place(sprite, 10, 50);
    const int32_t quad = place_square(40, 20);
    obj(plain).highlight = obj(quad).highlight = 1;
    obj(quad).layer = 2;  // copies take every layer
    while (g_object_count < g_object_capacity)
        place(mesh, -500, -500, 7);
    const uint32_t count = g_object_count;
    mouse(100, 200);
    frame({k_key_return});
    frame({k_key_return});  // held: one copy
    ASSERT_EQ(g_object_count, count + 2);
    EXPECT_EQ(g_undo_counter, 0u);
    EXPECT_EQ(g_map_dirty, 1u);

    // The plain copy right after its source (sorted by layer), the cornered one in layer 2.
    const world_object& plain_copy = g_objects[1];
    EXPECT_EQ(plain_copy.x, 100.0f);
    EXPECT_EQ(plain_copy.y, 230.0f);
    EXPECT_EQ(plain_copy.highlight, 0u);
    const world_object& quad_copy = g_objects[3];
    EXPECT_EQ(quad_copy.layer, 2);
    EXPECT_EQ(quad_copy.corners[0], 130.0f);
    EXPECT_EQ(quad_copy.corners[1], 200.0f);
    EXPECT_EQ(quad_copy.x, 60.0f);  // a cornered copy keeps x, y
    EXPECT_EQ(quad_copy.highlight, 0u);
    for (uint32_t i = 1; i < g_object_count; ++i)
        ASSERT_LE(g_objects[i - 1].layer, g_objects[i].layer);
    EXPECT_EQ(g_objects[0].x, 10.0f);  // the sources stay, unselected while Enter is held
    EXPECT_EQ(g_objects[0].highlight, 0u);
}

TEST_F(ObjectMode, DeleteAndTheRightButtonPushOneSnapshotPerPressAndSkipCharacterObjects)
{
    place(sprite, 100, 100);
    frame({k_key_delete});
    frame({k_key_delete});
    EXPECT_EQ(g_undo_counter, 1u);
    EXPECT_EQ(g_objects[0].state, 3);

    const int32_t other_layer = place(sprite, 300, 300, 4);
    const int32_t hero = place(sprite, 300, 300);
    obj(hero).proto = -3;
    obj(other_layer).highlight = obj(hero).highlight = 1;
    frame();
    frame({k_key_delete});
    EXPECT_EQ(g_undo_counter, 2u);
    EXPECT_EQ(obj(other_layer).state, 0);
    EXPECT_EQ(obj(hero).state, 3);

    // The right button frees the whole stack under the mouse, in the active layer only.
    const int32_t s1 = place(sprite, 500, 500), s2 = place(sprite, 505, 500), s3 = place_square(480, 480);
    const int32_t away = place(sprite, 500, 500, 9);
    mouse(501, 501);
    frame({}, {.right = true});
    frame({}, {.right = true});
    EXPECT_EQ(g_undo_counter, 3u);
    EXPECT_EQ(obj(s1).state + obj(s2).state + obj(s3).state, 0);
    EXPECT_EQ(obj(away).state, 3);

    // A plain particle is never deleted this way; an emitter by radius 8, meshes by radius 6.
    const int32_t drop = place(particle, 700, 700);
    const int32_t emitter = place(particle, 800, 800);
    obj(emitter).particle_role = k_role_emitter;
    const int32_t barrel = place(mesh, 900, 900);
    for (float x : {700.0f, 807.0f, 906.0f}) {
        frame();
        mouse(x, x < 800 ? 700 : x < 900 ? 800 : 900);
        frame({}, {.right = true});
    }
    EXPECT_EQ(obj(drop).state, 3);
    EXPECT_EQ(obj(emitter).state, 0);
    EXPECT_EQ(obj(barrel).state, 3);
}

TEST_F(ObjectMode, TheMiddleButtonTogglesUnderTheMouseButNotEmittersWhichTheGrabStillTakes)
{
    const int32_t a = place(sprite, 100, 100);
    const int32_t emitter = place(particle, 100, 100);
    obj(emitter).particle_role = k_role_emitter;
    mouse(100, 100);
    frame({}, {.middle = true});
    frame({}, {.middle = true});  // one toggle per press
    EXPECT_EQ(obj(a).highlight, 1u);
    EXPECT_EQ(obj(emitter).highlight, 0u);
    frame();
    frame({k_key_insert, k_key_lmenu});
    EXPECT_EQ(obj(a).highlight, 0u);
    frame();

    obj(a).layer = 5;
    frame({}, {.left = true});
    EXPECT_EQ(g_dragged_object, emitter);
    EXPECT_NE(log_text().find("object " + std::to_string(emitter) + " typ 1 partsys 0"), std::string::npos);
    EXPECT_EQ(std::string(g_mode_info_text),
              "\nobject: " + std::to_string(emitter) + ", pr: " + std::to_string(particle) + ", part_sys: 0 \ntriedenie: 0/0");

    // While an object is held the toggle does nothing; Home clears the active layer.
    obj(a).layer = 0;
    frame({k_key_insert}, {.left = true});
    EXPECT_EQ(obj(a).highlight, 0u);
    frame({k_key_home}, {.left = true});
    EXPECT_EQ(obj(emitter).highlight, 0u);
}

TEST_F(ObjectMode, TheHeldObjectsKeysActOncePerPressAndLetGoWhereTheyShould)
{
    const int32_t a = place(sprite, 100, 100), b = place(sprite, 300, 300), c = place(sprite, 500, 500);
    obj(b).highlight = 1;
    click(100, 100);
    ASSERT_EQ(g_dragged_object, a);
    obj(a).angle_a = 9;
    frame({k_key_back}, {.left = true});
    frame({k_key_back}, {.left = true});
    EXPECT_EQ(obj(a).angle_a, 0);
    frame({k_key_backslash}, {.left = true});
    EXPECT_EQ(obj(a).angle_b, 1);

    // Held keys tune every selected object; Z stops once the scale is down to 0.01.
    obj(a).scale = 0.035f;
    for (int k = 0; k < 6; ++k)
        frame({k_key_z, k_key_e, k_key_o}, {.left = true});
    EXPECT_GT(obj(a).scale, 0.0f);
    EXPECT_LE(obj(a).scale, 0.0101f);
    EXPECT_EQ(obj(b).angle_a, 6);
    EXPECT_NEAR(obj(b).z, 0.3f, 1e-5);

    // N and M once per press on every selected object, at most 4 entries.
    g_editor.brush_efect_type = 7;
    g_editor.brush_efect_int[2] = 42;
    for (int k = 0; k < 6; ++k) {
        frame({k_key_n}, {.left = true});
        frame({k_key_n}, {.left = true});
        frame({}, {.left = true});
    }
    EXPECT_EQ(obj(a).entry_count, 4);
    EXPECT_EQ(obj(b).entry_count, 4);
    EXPECT_EQ(obj(b).entry_ints[3][2], 42);
    frame({k_key_m}, {.left = true});
    frame({k_key_m}, {.left = true});
    EXPECT_EQ(obj(a).entry_count, 3);
    EXPECT_EQ(obj(b).entry_count, 3);

    // 1 takes the texture movement template; 0 clears the motion and the rotations.
    g_editor.tex_move_period = 0x105;
    g_editor.tex_move_x = 0.5f;
    frame({k_key_1}, {.left = true});
    EXPECT_EQ(obj(a).drift_interval, 5);
    EXPECT_EQ(obj(b).drift_step_x, 0.5f);
    frame({k_key_0}, {.left = true});
    EXPECT_EQ(obj(a).drift_step_x, 0.0f);
    EXPECT_EQ(obj(a).angle_b, 0);

    // Numpad + swaps the held object with the next one of its layer and lets it go.
    const world_object held = obj(a);
    frame({k_key_add}, {.left = true});
    EXPECT_EQ(g_dragged_object, -1);
    EXPECT_EQ(obj(b).angle_b, held.angle_b);
    EXPECT_EQ(obj(b).x, held.x);
    EXPECT_EQ(obj(b).highlight, 0u);
    EXPECT_EQ(obj(a).x, 300.0f);
    frame();

    // Numpad - at index 0 does nothing and keeps the hold.
    click(300, 300);
    ASSERT_EQ(g_dragged_object, 0);
    frame({k_key_subtract}, {.left = true});
    EXPECT_EQ(g_dragged_object, 0);
    frame();

    // L: a diamond of the prototype's size around the mouse, unselected and still held.
    click(500, 500);
    ASSERT_EQ(g_dragged_object, c);
    mouse(600, 600);
    frame({k_key_l}, {.left = true});
    EXPECT_EQ(obj(c).has_corners, 1u);
    EXPECT_EQ(obj(c).highlight, 0u);
    EXPECT_EQ(g_dragged_object, c);
    const float diamond[8] = {600, 584, 624, 600, 600, 616, 576, 600};
    EXPECT_EQ(std::memcmp(obj(c).corners, diamond, sizeof diamond), 0);
    frame();

    // Space on a plain object: a rectangle of its scaled size, and the hold ends.
    obj(1).scale = 2.0f;  // the first object, at index 1 now
    click(100, 100);
    ASSERT_EQ(g_dragged_object, 1);
    frame({k_key_space}, {.left = true});
    EXPECT_EQ(g_dragged_object, -1);
    EXPECT_EQ(obj(1).has_corners, 1u);
    EXPECT_EQ(obj(1).corners[0], 68.0f);
    EXPECT_EQ(obj(1).corners[1], 132.0f);
}

TEST_F(ObjectMode, TurningAndTheKeypadChangeTheLevelWithoutASnapshot)
{
    const int32_t q = place_square(0, 0), r = place_square(100, 0), plain = place(sprite, 50, 50);
    obj(q).highlight = obj(r).highlight = obj(plain).highlight = 1;
    g_edit_step_tick = 0;
    frame({k_key_numpad6});  // every selected cornered object turns by 0.1 about corner 0
    EXPECT_NEAR(obj(q).corners[2], 40 * std::cos(0.1f), 1e-4);
    EXPECT_NEAR(obj(q).corners[3], 40 * std::sin(0.1f), 1e-4);
    EXPECT_EQ(obj(r).corners[0], 100.0f);
    EXPECT_NEAR(obj(r).corners[3], 40 * std::sin(0.1f), 1e-4);
    frame({k_key_numpad6});  // the next tick is too early
    EXPECT_NEAR(obj(q).corners[3], 40 * std::sin(0.1f), 1e-4);
    frame({k_key_numpad4});
    EXPECT_NEAR(obj(q).corners[3], 0.0f, 1e-4);
    EXPECT_EQ(g_map_dirty, 1u);

    g_map_dirty = 0;
    frame({k_key_numpad9, k_key_numpad8});
    EXPECT_FLOAT_EQ(obj(plain).x, 50.05f);
    EXPECT_FLOAT_EQ(obj(plain).y, 49.95f);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(g_undo_counter, 0u);
}
