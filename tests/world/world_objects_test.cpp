// World objects: the first hidden passes, animation modes, layer and depth order, growth of the
// array, emitters and particles, the sort-information file, owned objects, the file record, the
// behaviour step after the pass and the view.
#include "world/object_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "editor/editor_state.h"
#include "engine/math.h"
#include "engine/textures.h"
#include "platform/byte_order.h"
#include "platform/random.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

class world_objects_test : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        sprite_ = add_test_proto("s", 1);
        particle_ = add_test_proto("p", 1, k_proto_particle);
    }

    // An emitter of the particle prototype at (x, y): emitting every tick, particles that stand
    // still, of the given shape and spawn spreads.
    int32_t add_emitter(float x, float y, int32_t shape, float rx, float ry, float ring = 0)
    {
        object_proto& p = g_object_protos[particle_];
        p.anim_count = shape;
        p.emit_interval = 0;
        p.particle_lifetime = 1000;
        p.spawn_spread[0] = rx;
        p.spawn_spread[1] = ry;
        p.spawn_spread[2] = ring;
        int32_t index = add_object(x, y, particle_, 1, 1, 0, 1);
        g_objects[index].state = 1;
        return index;
    }

    // The particles (role 1) now in the array.
    static std::vector<const world_object*> particles()
    {
        std::vector<const world_object*> found;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].particle_role == k_role_particle)
                found.push_back(&g_objects[i]);
        return found;
    }

    int32_t sprite_ = -1, particle_ = -1;
};

TEST_F(world_objects_test, NewObjectsAreFirstDrawnOnTheirThirdVisiblePassAndParticlesOnTheirSecond)
{
    int32_t near = add_object(100, 100, sprite_, 1, 1, 0, 0);
    int32_t far = add_object(5000, 5000, sprite_, 1, 1, 0, 0);
    int32_t spark = add_object(200, 100, particle_, 1, 1, 0, 0);
    EXPECT_EQ(g_objects[spark].particle_role, k_role_particle);
    g_objects[spark].state = 2;
    g_objects[spark].lifetime = 100;

    std::vector<size_t> draws;
    for (int pass = 0; pass < 3; ++pass) {
        device_->clear_recording();
        run_frame();
        draws.push_back(device_->draws().size());
    }
    EXPECT_EQ(draws, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(g_objects[near].state, 1);
    EXPECT_EQ(g_objects[far].state, 3);  // only visible passes count
    EXPECT_EQ(g_objects_drawn, 2);
}

TEST_F(world_objects_test, AnimationModesStepAsTheirTableSays)
{
    object_proto& p = g_object_protos[sprite_];
    p.frame_counts[0] = 3;
    struct mode_case {
        int32_t mode, start;
        std::vector<int32_t> frames;
    };
    const mode_case cases[] = {
        {k_anim_ping_pong, 0, {1, 2, 2, 1, 0, 0, 1}},
        {k_anim_loop, 0, {1, 2, 0, 1}},
        {k_anim_reverse_loop, 0, {2, 1, 0, 2}},
        {k_anim_once, 0, {1, 2, 2}},
        {k_anim_once_backward, 2, {1, 0, 0}},
        {9, 1, {1, 1}},  // an unknown mode stands still
    };
    for (const mode_case& c : cases) {
        world_object o{};
        init_object(&o, 0, 0, sprite_, 1, 1, 0, 0);
        o.anim_mode = c.mode;
        o.frame = c.start;
        o.frame_delay = 3;
        std::vector<int32_t> seen;
        for (size_t step = 0; step < c.frames.size(); ++step) {
            g_ticks = o.next_anim_tick + 1;
            animate_object(&o);
            seen.push_back(o.frame);
            animate_object(&o);  // not due again before the delay
            EXPECT_EQ(o.frame, seen.back());
        }
        EXPECT_EQ(seen, c.frames) << "mode " << c.mode;
    }

    // One frame never steps; a frame number from a file outside the animation starts over.
    world_object single{};
    init_object(&single, 0, 0, add_test_proto("one", 1), 1, 1, 0, 0);
    g_ticks += 100;
    animate_object(&single);
    EXPECT_EQ(single.next_anim_tick, 0u);
    world_object wild{};
    init_object(&wild, 0, 0, sprite_, 1, 1, 0, 0);
    wild.anim_mode = k_anim_loop;
    wild.frame = 40;
    animate_object(&wild);
    EXPECT_EQ(wild.frame, 1);
}

TEST_F(world_objects_test, LayerSortIsStableAndFreeSlotsComeAfterLayer250)
{
    const uint8_t layers[] = {5, 2, 5, 0, 2, 251, 250, 0, 255};
    for (uint8_t layer : layers) {
        int32_t i = add_object(float(g_object_count), 0, sprite_, 1, 1, 0, 0);
        g_objects[i].layer = layer;
    }
    reset_object(&g_objects[3]);
    reset_object(&g_objects[7]);
    sort_objects();
    std::vector<std::pair<int, float>> order;
    for (uint32_t i = 0; i < g_object_count; ++i)
        order.push_back({g_objects[i].state == 0 ? -1 : g_objects[i].layer, g_objects[i].x});
    const std::vector<std::pair<int, float>> expected = {{2, 1}, {2, 4}, {5, 0}, {5, 2}, {250, 6},
                                                         {-1, 3}, {-1, 7}, {251, 5}, {255, 8}};
    EXPECT_EQ(order, expected);

    sort_and_trim_objects();
    EXPECT_EQ(g_object_count, 9u);  // objects of layers above 250 end the array
    reset_object(&g_objects[7]);
    reset_object(&g_objects[8]);
    sort_and_trim_objects();
    EXPECT_EQ(g_object_count, 5u);

    // Swapping within a layer: the nearest neighbour of the same layer, or none.
    EXPECT_EQ(swap_object_in_layer(0, false), 1);
    EXPECT_EQ(g_objects[0].x, 4.0f);
    EXPECT_EQ(swap_object_in_layer(2, true), -1);
    EXPECT_EQ(swap_object_in_layer(4, false), -1);
}

TEST_F(world_objects_test, DepthSortOrdersTheDrawByKeyWhileRecordsKeepTheirIndices)
{
    // Object i is drawn with red 0.1 x (i + 1), which its draw's material tells.
    const float ys[] = {200, 0, 100, 200};
    for (int i = 0; i < 4; ++i) {
        int32_t k = add_object(100.0f + 100.0f * float(i), ys[i], sprite_, 1, 1, 0, 0);
        g_objects[k].state = 1;
        g_objects[k].depth_sorted = k_depth_sorted;
        g_objects[k].red = 0.1f * float(i + 1);
    }
    g_objects[1].depth_sorted = k_depth_unsorted;
    g_objects[3].depth_offset = 0.5f;  // same key as object 0
    auto drawn = [&] {
        device_->clear_recording();
        draw_objects();
        std::vector<int> objects;
        for (const recorded_draw& d : device_->draws())
            objects.push_back(int(std::lround((device_->material_of(d).emissive.r + 1.0f) * 10.0f)) - 1);
        return objects;
    };

    EXPECT_EQ(drawn(), (std::vector<int>{0, 1, 2, 3}));  // the index order, before any sort
    ASSERT_EQ(g_depth_list_count, 3);
    follow_owner_objects();
    // The sorted objects take the places of the sorted ones by key, equal keys in their order;
    // the unsorted one keeps its place. Nothing moved in the array.
    EXPECT_EQ(drawn(), (std::vector<int>{2, 1, 0, 3}));
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(g_objects[i].x, 100.0f + 100.0f * float(i));

    // A new object is drawn last, and a layer sort starts from the index order again.
    const int32_t added = add_object(500, 50, sprite_, 1, 1, 0, 0);
    g_objects[added].state = 1;
    g_objects[added].red = 0.5f;
    follow_owner_objects();
    EXPECT_EQ(drawn(), (std::vector<int>{2, 1, 0, 3, 4}));
    sort_objects();
    EXPECT_EQ(drawn(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(world_objects_test, DepthKeysOfHugeFileValuesHoldToTheIntegerRange)
{
    // An offset beyond the 32-bit range, as fuzzed map files hold, added to the object's own row.
    const int32_t kinds[] = {sprite_, add_test_proto("s16", 1, k_proto_sprite16), particle_,
                             add_test_proto("m", 1, k_proto_mesh), add_test_proto("f", 1, k_proto_surface)};
    g_camera_y = -500.0f;  // views y from -500 on, so that both signs of y are drawn
    for (int32_t proto : kinds) {
        for (float sign : {1.0f, -1.0f}) {
            free_objects();
            int32_t i = add_object(100, 100 * sign, proto, 1, 1, 0, 0);
            world_object& o = g_objects[i];
            o.state = 1;
            o.depth_offset = 1.58e29f * sign;
            draw_objects();
            EXPECT_EQ(o.depth_key, sign > 0 ? INT32_MAX : INT32_MIN) << "kind " << g_object_protos[proto].kind;
        }
    }
    g_camera_y = 0.0f;
}

TEST_F(world_objects_test, GrowthKeepsEveryIndexAndFreeSlotsAreReusedFromTheTop)
{
    for (uint32_t i = 0; i < k_object_growth; ++i)
        ASSERT_EQ(add_object(float(i), 1, sprite_, 1, 1, 0, 0), int32_t(i));
    EXPECT_EQ(g_object_capacity, k_object_growth);
    EXPECT_EQ(add_object(-1, 2, sprite_, 1, 1, 0, 0), int32_t(k_object_growth));
    EXPECT_EQ(g_object_capacity, 2 * k_object_growth);
    for (uint32_t i : {0u, 1u, 7777u, k_object_growth - 1})
        EXPECT_EQ(g_objects[i].x, float(i));

    reset_object(&g_objects[7]);
    reset_object(&g_objects[9]);
    reset_object(&g_objects[0]);
    EXPECT_EQ(g_objects[9].layer, k_free_layer);
    EXPECT_EQ(add_object(0, 0, sprite_, 1, 1, 0, 0), 9);
    EXPECT_EQ(add_object(0, 0, sprite_, 1, 1, 0, 0), 7);
    EXPECT_EQ(add_object(0, 0, sprite_, 1, 1, 0, 0), int32_t(k_object_growth) + 1);  // slot 0 stays free
    // Slots freed after a search passed over them are found again, the highest first.
    reset_object(&g_objects[3]);
    reset_object(&g_objects[12000]);
    EXPECT_EQ(add_object(0, 0, sprite_, 1, 1, 0, 0), 12000);
    EXPECT_EQ(add_object(0, 0, sprite_, 1, 1, 0, 0), 3);
}

TEST_F(world_objects_test, EmitterShapesPlaceTheirParticlesInBoxDiscAndRing)
{
    struct shape_case {
        int32_t shape;
        float rx, ry, ring;
        float min_distance, max_distance;
    };
    const shape_case cases[] = {
        {0, 30, 10, 0, 0, 31.7f},
        {2, 40, 20, 0, 0, 40},
        {3, 40, 40, 5, 35, 40},
        {3, 40, 20, 0, 30, 40},        // no ring width: 10
        {3, 1000, 1000, 1e-4f, 999.9f, 1000},  // a ring the box hardly hits
    };
    for (const shape_case& c : cases) {
        free_objects();
        int32_t emitter = add_emitter(500, 300, c.shape, c.rx, c.ry, c.ring);
        for (int frame = 0; frame < 60; ++frame)
            run_frame();
        auto found = particles();
        ASSERT_GE(found.size(), 50u) << c.shape;
        for (const world_object* q : found) {
            float dx = q->x - g_objects[emitter].x, dy = q->y - g_objects[emitter].y;
            float d = std::sqrt(dx * dx + dy * dy);
            EXPECT_LE(std::fabs(dx), c.rx + 1e-3f);
            EXPECT_LE(std::fabs(dy), c.ry + 1e-3f);
            EXPECT_GE(d, c.min_distance - 1e-2f) << c.shape;
            EXPECT_LE(d, c.max_distance + 1e-2f) << c.shape;
        }
    }
}

TEST_F(world_objects_test, ParticlesTakeTheEmittersPlaceAndSettingsWhenTheArrayGrows)
{
    for (uint32_t i = 0; i + 1 < k_object_growth; ++i)
        add_object(-9000, -9000, sprite_, 1, 1, 0, 0);
    int32_t emitter = add_emitter(300, 200, 0, 0, 0);
    ASSERT_EQ(g_object_count, g_object_capacity);
    world_object& e = g_objects[emitter];
    e.layer = 42;
    e.owner = 7;
    e.depth_sorted = 2;
    e.depth_offset = 5;
    e.alpha = 0.5f;
    e.z = 3;
    g_object_protos[particle_].spawn_offset[0] = 4;
    g_object_protos[particle_].colour[3] = 0.8f;
    g_object_protos[particle_].alpha_mode_value = 1.9f;
    run_frame();
    ASSERT_EQ(g_object_capacity, 2 * k_object_growth);
    const world_object& q = g_objects[k_object_growth];
    EXPECT_EQ(q.particle_role, k_role_particle);
    EXPECT_EQ(q.layer, 42);
    EXPECT_EQ(q.owner, 7);
    EXPECT_EQ(q.depth_sorted, 2u);
    EXPECT_EQ(q.depth_offset, 5.0f);
    EXPECT_EQ(q.x, 304.0f);
    EXPECT_EQ(q.y, 200.0f);
    EXPECT_FLOAT_EQ(q.alpha, 0.4f);
    EXPECT_EQ(q.z, 3.0f);
    EXPECT_EQ(q.entry_ints[0][0], 1);
    EXPECT_EQ(q.state, 1);  // appended and passed once in the same frame
    EXPECT_GE(q.lifetime, 900);
    EXPECT_LE(q.lifetime, 1100);
}

TEST_F(world_objects_test, AnEmissionDrawsItsRandomValuesInTheirFixedOrder)
{
    add_emitter(300, 200, 0, 0, 0);
    object_proto& p = g_object_protos[particle_];
    for (int c = 0; c < 3; ++c) {
        p.colour[c] = 0.5f;
        p.colour_spread[c] = 0.5f;
        p.colour_change[c] = 0.0f;
        p.colour_change_spread[c] = 0.01f;
    }
    p.colour_change[3] = 0.02f;
    p.colour_change_spread[3] = 0.01f;
    p.scale = 1.0f;
    p.scale_spread = 0.5f;
    game_srand(77);
    run_frame();
    auto found = particles();
    ASSERT_EQ(found.size(), 1u);
    const world_object& q = *found[0];

    // Spawn offset x and y, alpha, lifetime, z, velocity x and y, wobble, acceleration x and y
    // and wobble change come first; then the colour, its change, the alpha change, the scale
    // change and the scale.
    game_srand(77);
    for (int skipped = 0; skipped < 11; ++skipped)
        game_rand();
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(particle_value(q, k_particle_red + c), rand_range(0.0f, 1.0f)) << c;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(particle_value(q, k_particle_red_change + c), rand_range(-0.01f, 0.01f)) << c;
    EXPECT_EQ(particle_value(q, k_particle_alpha_change), rand_range(0.01f, 0.03f));
    EXPECT_EQ(particle_value(q, k_particle_scale_change), rand_range(0.0f, 0.0f));
    EXPECT_EQ(q.scale, rand_range(0.5f, 1.5f));
}

TEST_F(world_objects_test, ParticlesWobbleAcrossTheirMainDirectionAndFadeByTheirAlphaMode)
{
    world_object falling{};
    init_object(&falling, 100, 100, particle_, 0.5f, 1, 0, 0);
    particle_value(falling, k_particle_velocity_y) = 5;
    particle_value(falling, k_particle_wobble) = 1;
    particle_value(falling, k_particle_alpha_change) = 0.3f;
    falling.entry_ints[0][0] = 1;
    falling.lifetime = 10;
    falling.state = 1;
    world_object sideways = falling;
    particle_value(sideways, k_particle_velocity_x) = 5;
    particle_value(sideways, k_particle_velocity_y) = 0;

    for (int step = 0; step < 2; ++step) {
        g_ticks += 3;  // a step is due once the tick has passed now + 2
        update_draw_object(&falling, 0, 0);
        update_draw_object(&sideways, 0, 0);
    }
    EXPECT_NEAR(falling.x, 100 + 2 * 2 * std::cos(5.0f), 1e-4f);  // across a fall: sideways
    EXPECT_FLOAT_EQ(falling.y, 110);
    EXPECT_FLOAT_EQ(sideways.x, 110);                          // across a sideways move: up and down
    EXPECT_NEAR(sideways.y, 100 + 2 * 2 * std::sin(5.0f), 1e-4f);
    // Alpha mode 1 rises to 1.0, then becomes 2 and falls.
    EXPECT_FLOAT_EQ(falling.alpha, 1.1f);
    EXPECT_EQ(falling.entry_ints[0][0], 2);
}

TEST_F(world_objects_test, SortInformationFileRestoresTheDepthSortedObjectsByNameAndPlace)
{
    int32_t named = add_test_proto("s2", 1);
    int32_t other = add_test_proto("other", 1);
    int32_t a = add_object(10, 20, named, 1, 1, 0, 0);
    int32_t b = add_object(30, 40, other, 1, 1, 0, 0);
    int32_t c = add_object(50, 60, named, 1, 1, 0, 0);
    int32_t skipped = add_object(70, 80, 0, 1, 1, 0, 0);  // prototype 0 is never written
    int32_t cornered = add_object(0, 0, other, 1, 1, 0, 0);
    world_object& k = g_objects[cornered];
    k.has_corners = 1;
    for (int i = 0; i < 8; ++i)
        k.corners[i] = float(i);
    for (int32_t i : {a, b, c, skipped, cornered}) {
        g_objects[i].depth_sorted = 1;
        g_objects[i].depth_offset = float(i) * 10;
    }
    g_objects[c].object_class = k_class_pinned;  // not an ordinary object: not written
    ASSERT_TRUE(write_objects("level.inf"));

    for (int32_t i : {a, b, c, skipped, cornered})
        g_objects[i].depth_offset = -1;
    g_objects[b].x = 31;  // moved: no longer matched
    int32_t twin = add_object(10, 20, named, 1, 1, 0, 0);  // same name and place as a
    ASSERT_TRUE(read_objects("level.inf"));
    EXPECT_EQ(g_objects[a].depth_offset, 10.0f * float(a));
    EXPECT_EQ(g_objects[twin].depth_offset, 10.0f * float(a));
    EXPECT_EQ(g_objects[twin].proto, named);
    EXPECT_EQ(g_objects[b].depth_offset, -1.0f);
    EXPECT_EQ(g_objects[c].depth_offset, -1.0f);
    EXPECT_EQ(g_objects[skipped].depth_offset, -1.0f);
    EXPECT_EQ(g_objects[cornered].depth_offset, 10.0f * float(cornered));
    std::string log = log_text();
    EXPECT_NE(log.find("pridavam object s2\n"), std::string::npos);
    EXPECT_NE(log.find("taky object tu neni\n"), std::string::npos);
    EXPECT_FALSE(read_objects("missing.inf"));
}

// What the character table would answer, for owned and character objects.
struct fake_chars {
    static inline int32_t object = -1;
    static inline float last_x = 0, last_y = 0;
    static inline int32_t hidden_entity = -1;
    static inline std::vector<int32_t> drawn;
};

TEST_F(world_objects_test, OwnedObjectsFollowTheirOwnerAndHiddenEntitiesShowOnlyInSelectionMode)
{
    g_object_links.char_object = [](int32_t slot) { return slot == 4 ? fake_chars::object : -1; };
    g_object_links.char_last_position = [](int32_t, float* x, float* y) {
        *x = fake_chars::last_x;
        *y = fake_chars::last_y;
        return true;
    };
    g_scene_hero.player_slot = [] { return int16_t(0); };
    g_object_links.entity_hidden = [](int32_t entity) { return entity == fake_chars::hidden_entity; };
    g_object_links.draw_char = [](int32_t slot, const world_object&, float, float) {
        fake_chars::drawn.push_back(slot);
    };
    g_object_links.set_char_object = [](int32_t, int32_t index) { fake_chars::object = index; };

    int32_t body = add_object(100, 100, -2 - 4, 1, 1, 0, 0);
    fake_chars::object = body;
    int32_t cloak = add_object(110, 90, sprite_, 1, 1, 0, 0);
    g_objects[cloak].owner = 4;
    g_objects[cloak].state = 1;
    fake_chars::last_x = 95;
    fake_chars::last_y = 100;
    follow_owner_objects();
    EXPECT_EQ(g_objects[cloak].x, 115.0f);  // moved by the owner's step since its last update
    EXPECT_EQ(g_objects[cloak].y, 90.0f);

    g_objects[body].state = 1;
    fake_chars::drawn.clear();
    draw_objects();
    EXPECT_EQ(fake_chars::drawn, (std::vector<int32_t>{4}));

    int32_t door = add_object(300, 300, sprite_, 1, 1, 0, 0);
    g_objects[door].entity = 2;
    g_objects[door].state = 1;
    fake_chars::hidden_entity = 2;
    device_->clear_recording();
    draw_objects();
    size_t hidden_draws = device_->draws().size();
    g_work_mode = k_work_select;
    device_->clear_recording();
    draw_objects();
    EXPECT_EQ(device_->draws().size(), hidden_draws + 1);
}

TEST_F(world_objects_test, TheDistanceOfTwoObjectsIsFarWhenEitherIsNone)
{
    const int32_t a = add_object(10, 20, sprite_, 1, 1, 0, 0);
    const int32_t b = add_object(13, 24, sprite_, 1, 1, 0, 0);
    EXPECT_FLOAT_EQ(world_object_distance(a, b), 5.0f);
    EXPECT_FLOAT_EQ(world_object_distance(b, a), 5.0f);
    EXPECT_EQ(world_object_distance(-1, b), 10000.0f);
    EXPECT_EQ(world_object_distance(a, -1), 10000.0f);
    EXPECT_EQ(world_object_distance(a, int32_t(g_object_count)), 10000.0f);
}

TEST_F(world_objects_test, AFileRecordReadsIntoItsFieldsAndWritesBackByteForByte)
{
    // Bytes that tell the fields apart, none of them making a float a NaN.
    uint8_t bytes[k_world_object_size];
    for (uint32_t i = 0; i < k_world_object_size; ++i)
        bytes[i] = uint8_t(i % 61 + 1);
    world_object o{};
    decode_world_object(bytes, &o);
    auto f32_at = [&](uint32_t at) {
        float v;
        std::memcpy(&v, bytes + at, sizeof v);
        return v;
    };
    EXPECT_EQ(o.state, bytes[0]);
    EXPECT_EQ(uint32_t(o.proto), le_u32(bytes + 20));
    EXPECT_EQ(o.x, f32_at(56));
    EXPECT_EQ(o.drift_interval, bytes[84]);
    EXPECT_EQ(o.corners[7], f32_at(120));
    EXPECT_EQ(o.entry_ints[4][4], int32_t(le_u32(bytes + 332)));
    EXPECT_EQ(o.next_behaviour_tick, le_u32(bytes + 340));
    EXPECT_EQ(uint32_t(o.depth_key), le_u32(bytes + 372));
    EXPECT_EQ(o.depth_sorted, le_u32(bytes + 392));
    EXPECT_EQ(o.object_class, bytes[416]);
    EXPECT_EQ(uint16_t(o.owner), uint16_t(bytes[418] | bytes[419] << 8));
    uint8_t written[k_world_object_size];
    encode_world_object(o, written);
    EXPECT_EQ(std::memcmp(written, bytes, sizeof bytes), 0);
}

TEST_F(world_objects_test, TheBehaviourStepAfterThePassReachesEveryObjectInUse)
{
    add_object(-9000, -9000, sprite_, 1, 1, 0, 0);
    const int32_t freed = add_object(-9000, -9000, sprite_, 1, 1, 0, 0);
    add_emitter(300, 200, 0, 0, 0);
    const int32_t waiting = add_object(400, 200, sprite_, 1, 1, 0, 0);
    const int32_t due = add_object(-9000, -9000, sprite_, 1, 1, 0, 0);
    free_object_slot(&g_objects[freed]);
    g_objects[waiting].lifetime = g_objects[due].lifetime = 50;
    g_objects[waiting].next_behaviour_tick = g_ticks + 10;
    run_frame();
    // The emitter's particle took the free slot the pass had already passed, and took its first
    // step all the same.
    ASSERT_EQ(g_objects[freed].particle_role, k_role_particle);
    EXPECT_EQ(g_objects[freed].next_behaviour_tick, g_ticks + 2);
    EXPECT_EQ(g_objects[waiting].lifetime, 50);
    EXPECT_EQ(g_objects[due].lifetime, 49);  // also outside the view
}

TEST_F(world_objects_test, TheViewFollowsTheZoomAndTheScreenSizeFromFrameToFrame)
{
    const float zoom = g_zoom;
    const int32_t width = g_screen_width;
    const int32_t beyond = add_object(1500, 300, sprite_, 1, 1, 0, 0);  // right of the 1024-pixel view
    g_objects[beyond].state = 1;
    auto draws = [&] {
        device_->clear_recording();
        run_frame();
        return device_->draws().size();
    };
    EXPECT_EQ(draws(), 0u);
    g_zoom = 0.5f;
    EXPECT_EQ(draws(), 1u);
    g_zoom = 1.0f;
    EXPECT_EQ(draws(), 0u);
    g_screen_width = 2048;
    EXPECT_EQ(draws(), 1u);
    g_zoom = zoom;
    g_screen_width = width;
}

} // namespace
