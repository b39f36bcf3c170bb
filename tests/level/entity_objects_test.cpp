// The entities' run-time object lists on a loaded level: the change file re-adds the objects and
// a turning effect then turns the entity's first object.
#include "level/level_fixture.h"

#include "core/frame_timing.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "level/level_saves.h"
#include "script/entities.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

TEST_F(level_test, ATurningEffectTurnsAnEntityObjectOfALoadedLevel)
{
    saved_globals kept;
    kept.keep(g_level_effects), kept.keep(g_level_effect_count), kept.keep(g_ticks);
    kept.keep(g_entities), kept.keep(g_entity_count), kept.keep(g_entity_object_lists);
    g_entity_count = 0;
    link_entities_to_objects();
    ASSERT_EQ(add_entity("mlyn", k_entity_normal, 1), 0);
    ASSERT_EQ(add_entity("koleso", k_entity_normal, 1), 1);
    add_object(0, 0, -1, 1.0f, 1.0f, 0, 0);  // no entity
    const int32_t wheel = add_object(50, 50, -1, 1.0f, 1.0f, 0, 0);
    g_objects[wheel].entity = 1;
    g_objects[wheel].state = 1;
    ASSERT_EQ(save_level_changes("mlyn.sav"), true);

    // Whatever the lists held before the level was entered, the change file's step fills them.
    clear_entity_object_counts();
    for (entity_record& e : g_entities)
        e.object_list = 0;
    ASSERT_EQ(load_level_changes("mlyn.sav"), 1);
    ASSERT_EQ(g_entities[1].object_count, 1);
    EXPECT_EQ(entity_objects(&g_entities[1])[0], wheel);
    EXPECT_EQ(g_entities[0].object_count, 0);

    g_level_effect_count = 1;
    g_level_effects[0] = level_effect{};
    g_level_effects[0].active = 1;
    g_level_effects[0].kind = k_effect_turn_z;
    g_level_effects[0].target = 1;
    g_level_effects[0].direction[0] = 12;
    g_ticks = 100;
    update_level_effects();
    EXPECT_EQ(g_objects[wheel].angle_c, 12);
}
