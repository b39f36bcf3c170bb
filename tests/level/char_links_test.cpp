#include "characters/char_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "engine/model_test_support.h"
#include "engine/models.h"
#include "items/item_looks.h"
#include "items/item_properties.h"
#include "support/item_table_guard.h"
#include "characters/surround.h"
#include "level/char_links.h"
#include "level/level_links.h"
#include "platform/files.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include "core/frame_timing.h"

#include <cstring>
#include <string>

namespace {

class char_links_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        install_char_links();
    }
    void TearDown() override
    {
        g_scene_hero = {};
        g_dream_hero = {};
        g_object_links = {};
        g_level_links = {};
        char_test::TearDown();
    }
};

} // namespace

TEST_F(char_links_test, TheSceneAndTheObjectsSeeThePlayerThroughTheTable)
{
    write_clip("hero", 1, "stand1", {"head"}, 2);
    make_char(0, "wolf", k_kind_enemy);
    char_record& hero = make_char(1, "hero", k_kind_player);
    hero.mana = 12;
    g_player_char = 1;
    scene_header header;
    reset_scene_header(&header);
    header.entry_count = 1;
    header.entry_x[0] = 100.0f;
    header.entry_y[0] = 200.0f;
    header.entry_angle[0] = 90;

    place_hero_at_entry(&header, 0);
    const world_object* o = world_object_of(hero);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(std::make_tuple(o->x, o->y, o->angle_b), std::make_tuple(100.0f, 200.0f, 90));
    EXPECT_EQ(header.followed_char, 1);
    EXPECT_EQ(scene_player_slot(), 1);
    EXPECT_GE(hero.part_model[0], 0);
    EXPECT_EQ(g_object_links.char_object(1), hero.object);
    EXPECT_EQ(g_object_links.char_object(2), -1);  // past the count
    EXPECT_EQ(g_dream_hero.mana(), 12);
    g_dream_hero.set_mana(3);
    EXPECT_EQ(hero.mana, 3);

    // The stored position: where the hero's object is.
    g_objects[hero.object].x = 150.0f;
    place_hero_at_entry(&header, -1);
    o = world_object_of(hero);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(std::make_tuple(o->x, o->y, o->angle_b), std::make_tuple(150.0f, 200.0f, 90));
    EXPECT_EQ(add_entry_point(&header), true);
    EXPECT_EQ(header.entry_x[1], 150.0f);

    // A new scene has the attackers' places assigned at the next frame.
    const uint32_t due = g_surround.next_update;
    g_surround.next_update = 500;
    g_scene_hero.reassign_attackers();
    EXPECT_EQ(g_surround.next_update, 0u);
    g_surround.next_update = due;
}

TEST_F(char_links_test, LevelFilesAndLevelChangesReachTheCharacters)
{
    write_clip("wolf", 1, "stand1", {"head"}, 2);
    char_record& hero = make_char(0, "hero", k_kind_player);
    char_record& ghost = make_char(1, "wolf", k_kind_enemy);
    char_record& farmer = make_char(2, "wolf", k_kind_normal);
    hero.world = ghost.world = 2;
    farmer.world = 1;
    hero.world_fade = ghost.world_fade = farmer.world_fade = 0.5f;
    hero.object = ghost.object = 7;
    hero.interior = 3;
    g_player_object = 9;

    g_level_links.clear_char_objects();
    g_level_links.forget_player_object();
    g_level_links.clear_player_interior();
    EXPECT_EQ(std::make_tuple(hero.object, ghost.object, g_player_object, hero.interior),
              std::make_tuple(-1, -1, -1, uint8_t(255)));

    g_dream_world.active = 1;
    g_level_links.set_dream_presence();
    EXPECT_EQ(std::make_tuple(hero.world_fade, ghost.world_fade, farmer.world_fade),
              std::make_tuple(0.5f, 1.0f, 0.0f));  // the hero keeps its fade

    // Localized names from the second slot on.
    std::strcpy(hero.display_name, "Vlk");
    std::strcpy(ghost.display_name, "vlk");
    ASSERT_TRUE(make_folder("global"));
    const std::string names = "Vlk;Wolf\n";
    ASSERT_TRUE(write_whole_file("global/chars_eng.txt", names.data(), names.size()));
    g_level_links.load_char_names();
    EXPECT_STREQ(hero.display_name, "Vlk");
    EXPECT_STREQ(ghost.display_name, "Wolf");

    // A companion that crossed over takes its class's world and gets its statistics, item
    // effects and equipment anew; a slot out of the world (its slot field 0, the hero's) is left,
    // and with it the hero's own attached objects.
    item_table_guard table;
    saved_globals kept;
    kept.keep(g_monster_protos), kept.keep(g_monster_proto_count);
    g_monster_proto_count = 1;
    new_monster_proto(&g_monster_protos[0]);
    g_monster_protos[0].dreamwalk = 1;
    g_monster_protos[0].hp_percent = 150;
    item_proto& cloak = make_item(0, "plast", "Cloak", k_item_cloak);
    cloak.efect_count = 1;
    g_item_lists[0].efects[0] = item_property{26, {10, 10, 10, 20, 0, 0, 0, 0}};  // half red, green, blue
    load_char_anims(&ghost, 1, true);
    ghost.monster_class = 0;
    ghost.level = 1;
    ghost.hp_max = ghost.hp = ghost.hp_ceiling = 5;
    ghost.melee_base = 9;
    ghost.inv_count = 1;
    ghost.inv_item[0] = 0;
    ghost.inv_location[0] = k_inv_cloak;
    ghost.object = add_object(0.0f, 0.0f, -2 - 1, 1.0f, 1.0f, 0, 0);
    world_object& worn = g_objects[add_object(0.0f, 0.0f, 0, 1.0f, 1.0f, 0, 0)];
    worn.owner = 1;  // an effect of the old level's
    world_object& heros = g_objects[add_object(0.0f, 0.0f, 0, 1.0f, 1.0f, 0, 0)];
    heros.owner = 0;
    farmer.life = k_life_gone;
    farmer.slot = 0;
    g_level_links.prepare_crossing_chars();
    EXPECT_EQ(ghost.world, 1);
    EXPECT_EQ(ghost.hp_max, char_base_max_hp(&ghost));
    EXPECT_GT(ghost.hp_max, 5);
    EXPECT_EQ(ghost.melee, 9);
    EXPECT_FLOAT_EQ(ghost.part_values[0][5], 0.5f);
    EXPECT_EQ(worn.state, 0u);
    EXPECT_NE(heros.state, 0u);
    g_level_links.release_char_models();
    EXPECT_EQ(g_chardata_count, 0u);
    EXPECT_EQ(g_move_proto_count, 0);
}

TEST_F(char_links_test, MissilesSeeOutlinesAndHitsReachTheCharacters)
{
    char_record& wolf = make_char(0, "wolf", k_kind_enemy);
    char_record& farmer = make_char(1, "farmer", k_kind_normal);
    wolf.world_fade = 0.5f;
    wolf.scale_x = 1.35f;  // the outline is tested at scale 1
    begin_sector(&wolf.outline, 2, -20.0f, -20.0f);
    for (auto [x, y] : {std::pair{20.0f, -20.0f}, {20.0f, 20.0f}, {-20.0f, 20.0f}, {-20.0f, -20.0f}})
        add_sector_point(&wolf.outline, x, y);
    EXPECT_FALSE(g_object_links.char_outline_contains(0, 0.0f, 0.0f));  // no world object yet
    wolf.object = add_object(300.0f, 200.0f, -2, 1.0f, 1.0f, 0, 0);
    EXPECT_TRUE(g_object_links.char_outline_contains(0, 315.0f, 185.0f));
    EXPECT_FALSE(g_object_links.char_outline_contains(0, 325.0f, 200.0f));
    EXPECT_EQ(std::make_tuple(g_object_links.char_count(), g_object_links.char_kind(0), g_object_links.char_world_fade(0)),
              std::make_tuple(2u, uint8_t(k_kind_enemy), 0.5f));

    // A hit: the hit reaction, then the stun of a whole number of seconds; a stunned character
    // and an ordinary one do not react.
    g_object_links.char_hit_reaction(0, 0, 0);
    EXPECT_EQ(std::make_tuple(wolf.state, wolf.anim_action), std::make_tuple(uint32_t(k_state_hit), uint8_t(4)));
    g_object_links.char_hit_reaction(0, 3, 3);
    EXPECT_EQ(std::make_tuple(wolf.state, wolf.pending_target),
              std::make_tuple(uint32_t(k_state_stunned), g_elapsed_ms + 3000u));
    wolf.anim_action = 0;
    g_object_links.char_hit_reaction(0, 1, 1);
    g_object_links.char_hit_reaction(1, 1, 1);
    EXPECT_EQ(std::make_tuple(wolf.anim_action, wolf.pending_target, farmer.state, farmer.anim_action),
              std::make_tuple(uint8_t(0), g_elapsed_ms + 3000u, uint32_t(k_state_idle), uint8_t(0)));

    // An effect attached to a vertex of the wolf's model is drawn where that vertex is now, on a
    // dream-world layer while the wolf is seen only in the dream world, owned by it.
    make_grid_model(g_char_models[1], 2, 2, 1, 1);
    g_chardata[1].loaded = 1;
    g_chardata_count = 2;
    wolf.part_model[3] = 1;
    world_object& spark = g_objects[add_object(0.0f, 0.0f, 0, 1.0f, 1.0f, 0, 0)];
    spark.object_class = k_class_attached;
    spark.entity = 0;
    spark.entry_ints[0][0] = 3;  // body part
    spark.entry_ints[0][1] = 4;  // vertex
    spark.layer = 5;
    wolf.world = 2;
    g_objects[wolf.object].alpha = 0.5f;
    float x, y;
    ASSERT_TRUE(char_vertex_position(wolf, 3, 4, &x, &y));
    EXPECT_FLOAT_EQ(g_object_links.draw_attached_model(&spark, 0), 0.5f);
    EXPECT_EQ(std::make_tuple(spark.x, spark.y, spark.layer, spark.owner), std::make_tuple(x, y, uint8_t(30), int16_t(0)));

    g_object_links.char_leave_world(0);
    EXPECT_EQ(std::make_tuple(wolf.life, wolf.object), std::make_tuple(k_life_gone, -1));
}
