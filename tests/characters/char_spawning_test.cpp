// Placements becoming live characters and live characters copied back into their placements.
#include "characters/char_fixture.h"

#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "core/utilities.h"
#include "platform/files.h"
#include "world/world_objects.h"

#include <cstring>
#include <memory>
#include <tuple>

namespace {

class char_spawning_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_list_ = std::make_unique<char_placement_list>(g_char_placements);
        g_char_placements.count = 0;

        // A creature file: a bandit with 30 hit points and a dagger in its backpack.
        ASSERT_TRUE(make_folder("data/creature"));
        char_record& bandit = make_char(10, "bandit", k_kind_enemy);
        copy_bounded(bandit.name, sizeof bandit.name, "bandit");
        bandit.hp = bandit.hp_max = bandit.hp_ceiling = 30;
        bandit.inv_count = 1;
        bandit.inv_item[0] = 7;
        bandit.inv_location[0] = 2;
        ASSERT_TRUE(write_char_file(10, "data/creature/bandit.chr"));
        g_chars[10] = char_record{};
        g_char_count = k_global_char_slots;  // as after a level's placements were read
    }
    void TearDown() override
    {
        g_char_placements = *saved_list_;
        char_test::TearDown();
    }

private:
    std::unique_ptr<char_placement_list> saved_list_;
};

TEST_F(char_spawning_test, APlacementSpawnsItsCreatureWithItsOverridesAndTakesItsStateBack)
{
    add_char_placement(&g_char_placements, "bandit.chr", 300.0f, 200.0f, 220);
    char_placement& p = g_char_placements.entries[0];
    EXPECT_EQ(p.char_slot, -1);
    EXPECT_EQ(p.scale, 1.35f);
    EXPECT_EQ(std::make_pair(p.hp, p.mana), std::make_pair(k_placement_keep_points, k_placement_keep_points));
    p.mana = 5;
    p.kind = k_kind_normal;
    copy_bounded(p.display_name, sizeof p.display_name, "Bandit chief");
    copy_bounded(p.key_name, sizeof p.key_name, "noname");  // keeps the file's key
    p.hp_ceiling = 30;

    const int32_t slot = spawn_char_from_placement(&g_char_placements, 0, true);
    ASSERT_EQ(slot, k_global_char_slots);  // the first slot after the global ones
    EXPECT_EQ(p.char_slot, slot);
    const char_record& c = g_chars[slot];
    EXPECT_STREQ(c.name, "bandit");
    EXPECT_STREQ(c.display_name, "Bandit chief");
    EXPECT_EQ(c.hp, 30);   // kept from the file
    EXPECT_EQ(c.mana, 5);  // from the placement
    EXPECT_EQ(c.kind, k_kind_normal);
    EXPECT_EQ(c.level_char, 1u);
    EXPECT_EQ(c.inv_count, 1);  // a placement with no inventory keeps the file's
    EXPECT_EQ(c.scale_x, 1.35f);
    const world_object* o = world_object_of(c);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->x, 300.0f);
    EXPECT_EQ(o->angle_b, 220);

    // The live state goes back into the placement, recomputed first: hit points above the
    // health ceiling come back at it.
    g_chars[slot].hp = 45;
    g_chars[slot].exp = 40;
    update_all_placements(&g_char_placements);
    EXPECT_EQ(p.hp, 30);
    EXPECT_EQ(g_chars[slot].hp_max, char_base_max_hp(&g_chars[slot]));
    EXPECT_EQ(p.exp, 40);
    EXPECT_STREQ(p.key_name, "bandit");
    EXPECT_EQ(p.inv_count, 1);

    // Full health is the maximum recomputed for the placement's level, not the file's figure.
    add_char_placement(&g_char_placements, "bandit.chr", 400.0f, 200.0f, 0);
    g_char_placements.entries[1].level = 5;
    const int32_t second = spawn_char_from_placement_full_health(&g_char_placements, 1, true);
    ASSERT_EQ(second, slot + 1);
    const char_record& fresh = g_chars[second];
    EXPECT_EQ(fresh.level, 5);
    EXPECT_EQ(fresh.hp_max, char_base_max_hp(&fresh));
    EXPECT_GT(fresh.hp_max, 30);
    EXPECT_EQ(std::make_tuple(fresh.hp, int32_t(fresh.hp_ceiling)), std::make_tuple(fresh.hp_max, fresh.hp_max));

    remove_char_placement(&g_char_placements, slot);
    ASSERT_EQ(g_char_placements.count, 1);
    EXPECT_EQ(g_char_placements.entries[0].char_slot, second);
}

TEST_F(char_spawning_test, TheCompanionAMissingFileAndAFullListSpawnNothing)
{
    add_char_placement(&g_char_placements, "bandit.chr", 0.0f, 0.0f, 0);
    copy_bounded(g_char_placements.entries[0].key_name, sizeof g_char_placements.entries[0].key_name, "Serin");
    add_char_placement(&g_char_placements, "nobody.chr", 0.0f, 0.0f, 0);
    add_char_placement(&g_char_placements, "../bandit.chr", 0.0f, 0.0f, 0);
    EXPECT_EQ(spawn_char_from_placement(&g_char_placements, 0, true), -1);
    EXPECT_EQ(spawn_char_from_placement(&g_char_placements, 1, true), -1);
    EXPECT_EQ(spawn_char_from_placement(&g_char_placements, 2, true), -1);
    EXPECT_EQ(spawn_char_from_placement(&g_char_placements, 3, true), -1);  // outside the list
    EXPECT_EQ(g_char_count, uint32_t(k_global_char_slots));

    while (g_char_placements.count < k_placement_slots)
        add_char_placement(&g_char_placements, "bandit.chr", 0.0f, 0.0f, 0);
    add_char_placement(&g_char_placements, "bandit.chr", 0.0f, 0.0f, 0);
    EXPECT_EQ(g_char_placements.count, k_placement_slots);

    // A count above 255 spawns nothing and empties the list.
    spawn_level_chars(&g_char_placements);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_EQ(g_char_count, uint32_t(k_global_char_slots));
}

} // namespace
