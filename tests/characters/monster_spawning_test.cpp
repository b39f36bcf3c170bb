// Monsters appearing at monster points, and the weapons, treasure and gold of their classes.
#include "characters/char_scene.h"

#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/monster_protos.h"
#include "characters/monster_spawning.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"
#include "support/item_table_guard.h"
#include "tests/engine/overlay_test_support.h"

#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int16_t k_human = 0;  // "bandit.chr"
constexpr int16_t k_beast = 1;  // "wolf.chr"
constexpr int16_t k_spirit = 2;  // "wolf.chr"
constexpr uint32_t k_full_chance_minutes = 14400;

class monster_spawning_test : public char_scene_test {
protected:
    void SetUp() override
    {
        char_scene_test::SetUp();
        kept_.keep(g_monster_protos), kept_.keep(g_monster_proto_count), kept_.keep(g_editor_enabled);
        clock_use_manual(true);
        clock_set_manual(7000);

        ASSERT_TRUE(make_folder("data/creature"));
        for (const char* name : {"bandit", "wolf"}) {
            char_record& c = make_char(10, name, k_kind_normal);
            copy_bounded(c.name, sizeof c.name, name);
            c.run_speed = 6;
            c.walk_speed = 3;
            c.mana = 9;
            ASSERT_TRUE(write_char_file(10, (std::string("data/creature/") + name + ".chr").c_str()));
        }
        g_chars[10] = char_record{};
        g_char_count = k_global_char_slots;

        g_monster_proto_count = 3;
        const struct {
            uint8_t genus;
            const char* chr;
        } classes[] = {{k_genus_human, "bandit"}, {k_genus_beast, "wolf"}, {k_genus_spirit, "wolf"}};
        for (int i = 0; i < 3; ++i) {
            monster_proto& m = g_monster_protos[i];
            m = monster_proto{};
            new_monster_proto(&m);
            m.genus = classes[i].genus;
            copy_bounded(m.chr_name, sizeof m.chr_name, classes[i].chr);
        }
        g_monster_protos[k_beast].base_skills[0] = 6;
        g_monster_protos[k_beast].base_skills[3] = 30;  // held to 17
        g_monster_protos[k_beast].dreamwalk = 2;

        // The game clock at day 11, 17:55, so that a stamp 14,400 minutes back is not 0.
        g_game_clock.day = 11;
        make_item(k_gold_item, "gold", "Gold", k_item_gold);
    }
    void TearDown() override
    {
        clock_use_manual(false);
        kept_.restore();
        char_scene_test::TearDown();
    }

    static uint32_t now() { return get_clock_minutes(&g_game_clock); }

    // Every kind of the level names the class, at the level.
    static void all_kinds(int16_t cls, int16_t level)
    {
        std::fill(std::begin(g_monster_points.kind_class), std::end(g_monster_points.kind_class), cls);
        std::fill(std::begin(g_monster_points.kind_level), std::end(g_monster_points.kind_level), level);
    }

    // A point whose monster died long enough ago for the full chance.
    static monster_point& ready_point()
    {
        EXPECT_TRUE(add_monster_point(&g_monster_points, 300.0f, 400.0f));
        monster_point& p = g_monster_points.points[g_monster_points.count - 1];
        p.stamp = now() - k_full_chance_minutes;
        return p;
    }

    // Seeds the generator so that the next spawn chance of 90 % passes (or fails); each call
    // takes a seed after the last one, so that the rolls after it differ.
    void seed_chance(bool passes)
    {
        for (;; ++next_seed_) {
            game_srand(next_seed_);
            if ((game_rand() % 100 <= 90) == passes)
                break;
        }
        game_srand(next_seed_++);
    }

    // Spawns the next monster at a fresh ready point; its record, or null.
    char_record* spawn_one()
    {
        ready_point();
        const uint32_t before = g_char_count;
        seed_chance(true);
        spawn_monsters_at_points(&g_monster_points);
        return g_char_count > before ? &g_chars[g_char_count - 1] : nullptr;
    }

    static std::multiset<int16_t> items_at(const char_record& c, uint8_t location)
    {
        std::multiset<int16_t> items;
        for (int i = 0; i < c.inv_count; ++i)
            if (c.inv_location[i] == location)
                items.insert(c.inv_item[i]);
        return items;
    }

    item_table_guard items_;
    saved_globals kept_;
    uint32_t next_seed_ = 1;
};

TEST_F(monster_spawning_test, APointFirstSeenOnlyStampsAndALongFreedOneHasTheFullChance)
{
    all_kinds(k_beast, 5);
    add_monster_point(&g_monster_points, 100.0f, 100.0f);
    monster_point& ready = ready_point();
    monster_point& recent = ready_point();
    recent.stamp = now() - (k_full_chance_minutes - 1);
    monster_point& taken = ready_point();
    taken.slots[1] = 3;  // holds a live monster

    seed_chance(true);
    spawn_monsters_at_points(&g_monster_points);
    const std::string log = log_text();
    EXPECT_EQ(g_monster_points.points[0].stamp, now());
    EXPECT_EQ(g_monster_points.points[0].slots[1], -1);
    EXPECT_NE(log.find("Chance to upload a monster is 90"), std::string::npos);
    EXPECT_NE(log.find("Chance to upload a monster is 89"), std::string::npos);
    EXPECT_EQ(taken.stamp, now() - k_full_chance_minutes);

    // The ready point's monster: an ENEMY of the kind's level and class, linked to its point and
    // kept by a placement.
    ASSERT_EQ(ready.slots[1], int16_t(k_global_char_slots));
    const char_record& wolf = g_chars[ready.slots[1]];
    EXPECT_STREQ(wolf.name, "wolf");
    EXPECT_EQ(wolf.kind, k_kind_enemy);
    EXPECT_EQ(wolf.level, 5);
    EXPECT_EQ(wolf.monster_class, k_beast);
    EXPECT_EQ(wolf.monster_point, 1);
    EXPECT_EQ(wolf.world, 2);
    EXPECT_EQ(std::make_tuple(wolf.melee_base, wolf.melee, wolf.speed_base), std::make_tuple(6, 6, 17));
    EXPECT_EQ(wolf.hp_max, char_base_max_hp(&wolf));  // recomputed for level 5 and the class
    EXPECT_EQ(wolf.hp, wolf.hp_max);
    EXPECT_EQ(std::make_tuple(wolf.run_speed, wolf.walk_speed, wolf.mana), std::make_tuple(6u, 3, 9));
    const world_object* o = world_object_of(wolf);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(std::make_tuple(o->x, o->y), std::make_tuple(300.0f, 400.0f));
    ASSERT_GE(g_char_placements.count, 1);
    const char_placement& p = g_char_placements.entries[0];
    EXPECT_STREQ(p.creature_file, "wolf.chr");
    EXPECT_EQ(p.char_slot, ready.slots[1]);
    EXPECT_EQ(p.monster_point, 2);
    EXPECT_EQ(p.monster_class, k_beast);
    EXPECT_EQ(p.level, 5);

    // A failed roll spawns nothing.
    reset_monster_points(&g_monster_points);
    all_kinds(k_beast, 5);
    ready_point();
    const uint32_t count = g_char_count;
    seed_chance(false);
    spawn_monsters_at_points(&g_monster_points);
    EXPECT_EQ(g_char_count, count);
}

TEST_F(monster_spawning_test, ASpiritNeverBlocksButALivingHumanBlocksABeastPoint)
{
    all_kinds(k_beast, 1);
    place(4, k_kind_enemy, 0, 0).monster_class = k_spirit;
    char_record& human = place(5, k_kind_enemy, 50, 0);
    human.monster_class = k_human;
    human.life = k_life_dead;

    char_record* first = spawn_one();
    ASSERT_NE(first, nullptr);  // a SPIRIT and a dead HUMAN do not block
    EXPECT_NE(spawn_one(), nullptr);  // nor does a living BEAST

    human.life = k_life_alive;
    EXPECT_EQ(spawn_one(), nullptr);
    EXPECT_EQ(g_monster_points.points[g_monster_points.count - 1].slots[1], -1);

    // A HUMAN point is blocked by the BEASTs in turn; a SPIRIT point by everything but SPIRITs.
    all_kinds(k_human, 1);
    EXPECT_EQ(spawn_one(), nullptr);
    human.life = k_life_dead;
    all_kinds(k_spirit, 1);
    EXPECT_EQ(spawn_one(), nullptr);
}

TEST_F(monster_spawning_test, TheD20PicksTheKindsAndAnUnusableKindSpawnsNothing)
{
    int per_kind[k_monster_kinds] = {};
    for (int roll = 1; roll <= 20; ++roll)
        ++per_kind[monster_kind_for_d20(roll)];
    EXPECT_EQ(std::vector<int>(std::begin(per_kind), std::end(per_kind)),
              (std::vector<int>{3, 3, 3, 3, 2, 2, 2, 1, 1}));
    EXPECT_EQ(monster_kind_for_d20(19), 7);
    EXPECT_EQ(monster_kind_for_d20(20), 8);
    EXPECT_EQ(monster_kind_for_d20(0), -1);
    EXPECT_EQ(monster_kind_for_d20(21), -1);

    all_kinds(-1, 1);
    EXPECT_EQ(spawn_one(), nullptr);
    all_kinds(200, 1);  // outside the class table
    EXPECT_EQ(spawn_one(), nullptr);
    all_kinds(k_beast, 1);
    copy_bounded(g_monster_protos[k_beast].chr_name, sizeof g_monster_protos[k_beast].chr_name, "ghost");
    EXPECT_EQ(spawn_one(), nullptr);  // no creature file
    std::memset(g_monster_protos[k_beast].chr_name, 'w', 20);  // too long for a placement
    EXPECT_EQ(spawn_one(), nullptr);
    EXPECT_EQ(g_char_placements.count, 0);  // no placement is left behind
}

TEST_F(monster_spawning_test, RollsAreGradedByTierAndTheCharactersLevelBand)
{
    auto grade = [](item_roll_table table, int roll, int level) {
        const item_grade g = item_grade_for_roll(table, roll, level);
        return std::make_pair(int(g.level), int(g.rarity));
    };
    using p = std::pair<int, int>;
    // Level 5: the six tiers of each table at their thresholds.
    const int weapon[] = {1, 400, 401, 750, 751, 950, 951, 980, 981, 999, 1000};
    const p weapon_grades[] = {{4, 0}, {4, 0}, {2, 1}, {2, 1}, {4, 1}, {4, 1}, {4, 2}, {4, 2}, {4, 2}, {4, 2}, {6, 0}};
    for (size_t i = 0; i < std::size(weapon); ++i)
        EXPECT_EQ(grade(k_weapon_roll, weapon[i], 5), weapon_grades[i]) << weapon[i];
    EXPECT_EQ(grade(k_treasure_roll, 550, 5), p(2, 1));
    EXPECT_EQ(grade(k_treasure_roll, 551, 5), p(4, 1));
    EXPECT_EQ(grade(k_treasure_roll, 920, 5), p(4, 2));
    EXPECT_EQ(grade(k_treasure_roll_attuned, 300, 5), p(4, 0));
    EXPECT_EQ(grade(k_treasure_roll_attuned, 301, 5), p(2, 1));
    EXPECT_EQ(grade(k_treasure_roll_attuned, 871, 5), p(4, 2));
    // The bands, told apart by tier 5.
    const int levels[] = {-2, 3, 4, 5, 6, 7, 8, 11, 12, 15, 16, 40};
    const p top[] = {{4, 0}, {4, 0}, {6, 0}, {6, 0}, {8, 0}, {8, 0}, {12, 0}, {12, 0}, {12, 2}, {12, 2}, {16, 2}, {16, 2}};
    for (size_t i = 0; i < std::size(levels); ++i)
        EXPECT_EQ(grade(k_weapon_roll, 1000, levels[i]), top[i]) << levels[i];

    // A level-5 monster takes its weapon from the entries of its band's grade only: tier 0 gives
    // (4, common); the below-4 band's (2, common) and other tiers have no entry, and give none. A
    // count above 64 reads the 64 entries.
    all_kinds(k_beast, 5);
    monster_proto& wolf = g_monster_protos[k_beast];
    wolf.weapon_count = 255;
    for (int i = 0; i < k_monster_table_entries; ++i) {
        wolf.weapon_item[i] = int16_t(100 + i % 2);
        wolf.weapon_level[i] = 2;
        wolf.weapon_rarity[i] = 0;
    }
    wolf.weapon_level[63] = 4;  // item 101
    make_item(100, "club", "Club", k_item_medium_weapon);
    make_item(101, "axe", "Axe", k_item_medium_weapon);
    int armed = 0, unarmed = 0;
    for (int i = 0; i < 30; ++i) {
        char_record* c = spawn_one();
        ASSERT_NE(c, nullptr);
        const auto weapons = items_at(*c, k_inv_weapon);
        EXPECT_LE(weapons.size(), 1u);
        EXPECT_EQ(weapons.count(100), 0u);
        ++(weapons.empty() ? unarmed : armed);
    }
    EXPECT_GT(armed, 0);
    EXPECT_GT(unarmed, 0);
}

TEST_F(monster_spawning_test, PlacedCharactersRollTheirClassesTreasureOnAFirstVisitOnly)
{
    monster_proto& bandit = g_monster_protos[k_human];
    bandit.base_skills[1] = 7;
    bandit.dreamwalk = 1;
    bandit.treasure_chance_main = 0;  // at most 0: one roll in a hundred
    bandit.treasure_count = 1;
    bandit.treasure_item[0] = 204;
    bandit.treasure_rarity[0] = k_rarity_custom;
    bandit.treasure_chance[0] = 20;  // 100 %
    make_item(204, "ring", "Ring", k_item_ring);

    g_char_placements.change_file_read = 0;
    add_char_placement(&g_char_placements, "bandit.chr", 0, 0, 0);
    g_char_placements.entries[0].monster_point = 40;  // point 39, beyond the block's count
    g_monster_points.points[39].slots[1] = -1;
    const char_record* placed = char_at(spawn_char_from_placement(&g_char_placements, 0, true));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(items_at(*placed, 1).count(204), 1u);
    EXPECT_EQ(std::make_tuple(placed->ranged_base, placed->world), std::make_tuple(7, 1));
    EXPECT_EQ(g_monster_points.points[39].slots[1], -1);

    // A change file was read, or the editor runs: no treasure.
    g_char_placements.change_file_read = 1;
    add_char_placement(&g_char_placements, "bandit.chr", 0, 0, 0);
    placed = char_at(spawn_char_from_placement(&g_char_placements, 1, true));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(items_at(*placed, 1).count(204), 0u);
    g_char_placements.change_file_read = 0;
    g_editor_enabled = 1;
    add_char_placement(&g_char_placements, "bandit.chr", 0, 0, 0);
    placed = char_at(spawn_char_from_placement(&g_char_placements, 2, true));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(items_at(*placed, 1).count(204), 0u);
    g_editor_enabled = 0;

    // A monster point's placement starts as class 0, but only its own class's treasure comes.
    for (uint32_t s = k_global_char_slots; s < g_char_count; ++s)
        g_chars[s].life = k_life_dead;  // the bandits would block a BEAST point
    all_kinds(k_beast, 1);
    char_record* wolf = spawn_one();
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(items_at(*wolf, 1).count(204), 0u);

    // While the player holds attunement 151, custom chances grow by half: 70 % becomes certain.
    monster_proto& beast = g_monster_protos[k_beast];
    beast.treasure_count = -3;  // no entries
    wolf = spawn_one();
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(items_at(*wolf, 1).size(), 0u);
    beast.treasure_count = 1;
    beast.treasure_item[0] = 204;
    beast.treasure_rarity[0] = k_rarity_custom;
    beast.treasure_chance[0] = 14;
    char_record& hero = place(0, k_kind_player, 0, 0);
    g_player_char = 0;
    make_item(k_treasure_finder_attunement, "finder", "Finder", k_item_attunement);
    hero.inv_count = 1;
    hero.inv_item[0] = k_treasure_finder_attunement;
    hero.inv_location[0] = k_inv_attunement;
    for (int i = 0; i < 12; ++i) {
        wolf = spawn_one();
        ASSERT_NE(wolf, nullptr);
        EXPECT_EQ(items_at(*wolf, 1).count(204), 1u);
    }
}

TEST_F(monster_spawning_test, GoldFollowsTheRarityOfTheMainRollAndTheLevel)
{
    int32_t low = 0, high = 0;
    EXPECT_TRUE(monster_gold_range(2, 1, &low, &high));
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(0, 0));
    EXPECT_TRUE(monster_gold_range(1, -7, &low, &high));  // held to level 1
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(0, 0));
    EXPECT_FALSE(monster_gold_range(3, 5, &low, &high));

    // A level-5 character whose main treasure always comes, one item per rarity of its grade.
    monster_proto& bandit = g_monster_protos[k_human];
    bandit.carries_gold = 1;
    bandit.treasure_chance_main = 100;
    const struct {
        uint8_t level, rarity;
        int16_t item;
    } entries[] = {{4, 0, 201}, {6, 0, 201}, {2, 1, 202}, {4, 1, 202}, {4, 2, 203}, {2, 0, 209}};
    bandit.treasure_count = int16_t(std::size(entries));
    for (size_t i = 0; i < std::size(entries); ++i) {
        bandit.treasure_level[i] = entries[i].level;
        bandit.treasure_rarity[i] = entries[i].rarity;
        bandit.treasure_item[i] = entries[i].item;
    }
    for (int16_t id : {201, 202, 203, 209})
        make_item(id, "gem", "Gem", k_item_gem);
    char_record& c = place(4, k_kind_enemy, 0, 0);
    c.monster_class = k_human;
    c.level = 5;

    const int32_t ranges[3][2] = {{9, 81}, {33, 321}, {81, 801}};  // trunc of 8-80, 32-320, 80-800, plus 1
    int32_t seen_low[3] = {1 << 30, 1 << 30, 1 << 30}, seen_high[3] = {};
    game_srand(11);
    for (int i = 0; i < 400; ++i) {
        c.inv_count = 0;
        roll_monster_treasure(4);
        ASSERT_EQ(c.inv_count, 2);
        const int rarity = c.inv_item[0] - 201;
        ASSERT_GE(rarity, 0);  // never the lower band's entry
        ASSERT_LE(rarity, 2);
        EXPECT_EQ(c.inv_item[1], k_gold_item);
        EXPECT_EQ(c.inv_location[1], 1);
        const int32_t amount = int32_t(c.inv_value[1]);
        EXPECT_GE(amount, ranges[rarity][0]);
        EXPECT_LE(amount, ranges[rarity][1]);
        seen_low[rarity] = std::min(seen_low[rarity], amount);
        seen_high[rarity] = std::max(seen_high[rarity], amount);
    }
    for (int r = 0; r < 3; ++r) {  // every rarity came, its gold spread over most of its range
        EXPECT_LT(seen_low[r], ranges[r][0] + (ranges[r][1] - ranges[r][0]) / 4) << r;
        EXPECT_GT(seen_high[r], ranges[r][1] - (ranges[r][1] - ranges[r][0]) / 4) << r;
    }

    // No gold without the class's gold flag; a level-1 character gets a single coin.
    bandit.carries_gold = 0;
    c.inv_count = 0;
    roll_monster_treasure(4);
    EXPECT_EQ(items_at(c, 1).count(k_gold_item), 0u);
    bandit.carries_gold = 1;
    c.level = 1;
    c.inv_count = 0;
    roll_monster_treasure(4);
    ASSERT_EQ(items_at(c, 1).count(k_gold_item), 1u);
    EXPECT_EQ(c.inv_value[c.inv_count - 1], 1u);
}

class monster_point_markers : public overlay_test {
protected:
    void SetUp() override
    {
        overlay_test::SetUp();
        kept_.keep(g_monster_points), kept_.keep(g_editor_enabled);
        reset_monster_points(&g_monster_points);
        g_editor_enabled = 1;
    }
    void TearDown() override
    {
        kept_.restore();
        overlay_test::TearDown();
    }
    saved_globals kept_;
};

TEST_F(monster_point_markers, TheMonsterPointModeMarksEachPointScaledWithTheZoom)
{
    g_camera_x = g_camera_y = 50.0f;
    g_zoom = 2.0f;
    ASSERT_TRUE(add_monster_point(&g_monster_points, 100.0f, 200.0f));
    ASSERT_TRUE(add_monster_point(&g_monster_points, 300.0f, 80.0f));
    EXPECT_EQ(g_monster_points.points[1].move_sector, -1);
    g_work_mode = k_work_monster_points;
    draw_monster_points(&g_monster_points);
    auto marks = sprites_of(select_surface);
    ASSERT_EQ(marks.size(), 2u);
    expect_pixel(marks[0].centre(), 100, 300);
    expect_pixel(marks[1].centre(), 500, 60);
    EXPECT_NEAR(marks[0].width(), 16 * 2, 0.5f);

    // Other modes and the game draw none.
    dev.clear_recording();
    g_work_mode = k_work_characters;
    draw_monster_points(&g_monster_points);
    g_work_mode = k_work_monster_points;
    g_editor_enabled = 0;
    draw_monster_points(&g_monster_points);
    EXPECT_TRUE(sprites_of(select_surface).empty());

    // The block holds 255 points; a larger count read from a file is drawn as 255.
    g_editor_enabled = 1;
    while (add_monster_point(&g_monster_points, 0.0f, 0.0f)) {
    }
    EXPECT_EQ(g_monster_points.count, k_monster_point_slots);
    g_monster_points.count = 300;
    EXPECT_FALSE(add_monster_point(&g_monster_points, 0.0f, 0.0f));
    dev.clear_recording();
    draw_monster_points(&g_monster_points);
    EXPECT_EQ(sprites_of(select_surface).size(), size_t(k_monster_point_slots));
}

} // namespace
