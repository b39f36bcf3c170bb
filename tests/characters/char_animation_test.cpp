#include "characters/char_fixture.h"
#include "support/item_table_guard.h"

#include "characters/char_animation.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/settings.h"
#include "engine/model_test_support.h"
#include "engine/ui_texts.h"
#include "world/dream_world.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Registry entry `index` as a loaded model of `frames` frames and `skins` skins.
void registry_model(int index, int frames, int skins)
{
    make_grid_model(g_char_models[index], 1, 1, 1, frames);
    g_char_models[index].skin_count = skins;
    g_chardata[index].loaded = 1;
    g_chardata_count = std::max(g_chardata_count, uint32_t(index + 1));
}

// A character in the world whose body parts 0 and 1 show registry models 0 and 1.
char_record& animated_char(int32_t anim_mode, int16_t speed)
{
    registry_model(0, 3, 0);
    registry_model(1, 5, 0);
    char_record& c = make_char(1, "wolf", k_kind_enemy);
    c.part_model[0] = 0;
    c.part_model[1] = 1;
    c.anim_speed = speed;
    c.object = add_object(0, 0, -2 - 1, 1, 1, 0, 0);
    g_objects[c.object].anim_mode = anim_mode;
    g_objects[c.object].next_anim_tick = g_elapsed_ms;
    return c;
}

std::vector<int> frames_of_part(char_record& c, int part, int steps, int16_t speed)
{
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) {
        animate_char(&c);
        seen.push_back(c.part_frame[part]);
        g_elapsed_ms += uint32_t(speed) * 16;
    }
    return seen;
}

void equip_attunement(char_record& c, int16_t item)
{
    c.inv_item[c.inv_count] = item;
    c.inv_location[c.inv_count] = k_inv_attunement;
    ++c.inv_count;
}

} // namespace

TEST_F(char_test, FramesFollowTheClockAndCatchUpAfterAStall)
{
    char_record& c = animated_char(k_anim_loop, 2);  // 32 ms a frame
    world_object& o = g_objects[c.object];
    animate_char(&c);
    EXPECT_EQ(c.part_frame[1], 1);
    EXPECT_EQ(o.next_anim_tick, g_elapsed_ms + 32);
    animate_char(&c);  // not due yet
    EXPECT_EQ(c.part_frame[1], 1);

    // 100 ms late: three frames, the next due by the remainder earlier.
    g_elapsed_ms = o.next_anim_tick + 100;
    animate_char(&c);
    EXPECT_EQ(c.part_frame[1], 4);
    EXPECT_EQ(o.next_anim_tick, g_elapsed_ms + 32 - 4);

    // A stall beyond a second counts as one frame, and the next comes a millisecond later.
    g_elapsed_ms = o.next_anim_tick + 5000;
    animate_char(&c);
    EXPECT_EQ(c.part_frame[1], 0);  // looped past its last frame
    EXPECT_EQ(o.next_anim_tick, g_elapsed_ms + 1);
}

TEST_F(char_test, EachAnimationModeStepsThePartsItsOwnWay)
{
    char_record& c = animated_char(k_anim_ping_pong, 1);
    EXPECT_EQ(frames_of_part(c, 0, 7, 1), (std::vector<int>{1, 2, 1, 0, 1, 2, 1}));

    g_objects[c.object].anim_mode = k_anim_reverse_loop;
    c.part_frame[0] = 0;
    EXPECT_EQ(frames_of_part(c, 0, 4, 1), (std::vector<int>{2, 1, 0, 2}));

    // Play once holds the last frame; with fade_parts each step takes 0.05 of the parts' alpha.
    g_objects[c.object].anim_mode = k_anim_once;
    c.fade_parts = 1;
    c.part_frame[1] = 0;
    c.part_values[3][1] = 0.12f;
    EXPECT_EQ(frames_of_part(c, 1, 6, 1), (std::vector<int>{1, 2, 3, 4, 4, 4}));
    EXPECT_EQ(c.part_values[3][1], 0.0f);

    // Parts with animated skins take part 8's frame as their skin.
    registry_model(2, 2, 4);
    c.part_model[8] = 1;
    c.part_model[2] = 2;
    g_objects[c.object].anim_mode = k_anim_loop;
    c.part_frame[8] = 2;
    frames_of_part(c, 0, 1, 1);
    EXPECT_EQ(c.part_extra_a[2], 3);
    EXPECT_EQ(c.part_extra_a[0], 0);  // a single skin
}

TEST_F(char_test, CharactersFadeIntoTheWorldShown)
{
    char_record& ghost = make_char(2, "wolf", k_kind_enemy);
    ghost.world = 2;
    ghost.world_fade = 1.0f;
    int steps = 0;
    while (ghost.world_fade > 0.0f && steps < 100) {
        g_ticks += 3;  // a step is due once its tick has passed
        animate_char(&ghost);
        ++steps;
    }
    EXPECT_EQ(steps, 25);  // invisible outside the dream world after 25 steps
    EXPECT_EQ(ghost.next_fade_tick, g_ticks + 2);
    g_ticks += 2;
    animate_char(&ghost);  // not yet past the due tick: no step
    EXPECT_EQ(ghost.next_fade_tick, g_ticks);

    // In the dream world it comes back and, an enemy, thins out while it moves.
    g_dream_world.active = 1;
    ghost.object = add_object(0, 0, -2 - 2, 1, 1, 0, 0);
    ghost.anim_action = 1;
    for (int i = 0; i < 25; ++i) {
        g_ticks += 3;
        animate_char(&ghost);
    }
    EXPECT_EQ(ghost.world_fade, 1.0f);
    EXPECT_NEAR(g_objects[ghost.object].alpha, 1.0f - 25 * 0.005f, 1e-5f);
    ghost.anim_action = 0;
    for (int i = 0; i < 2; ++i) {
        g_ticks += 3;
        animate_char(&ghost);
    }
    EXPECT_EQ(g_objects[ghost.object].alpha, 1.0f);

    ghost.world = 1;  // the real world's characters vanish in the dream world, at once after a level change
    set_char_world_presence(&ghost);
    EXPECT_EQ(ghost.world_fade, 0.0f);
    ghost.world = 0;
    set_char_world_presence(&ghost);
    EXPECT_EQ(ghost.world_fade, 1.0f);
}

TEST_F(char_test, ExperienceTakesTheLastHeldAttunementAndThePlayersDifficulty)
{
    std::memset(&g_message_log, 0, sizeof g_message_log);
    std::strcpy(g_ui_text[115], "gains");
    std::strcpy(g_ui_text[116], "experience");
    char_record& hero = make_char(0, "hero", k_kind_player);
    std::strcpy(hero.display_name, "Hero");
    char_record& wolf = make_char(1, "wolf", k_kind_enemy);
    item_table_guard items;
    for (int16_t id : {179, 180, 186})
        make_item(id, "att", "Attunement", k_item_attunement);

    award_experience(&wolf, 10);
    EXPECT_EQ(wolf.exp, 10);
    equip_attunement(wolf, 179);
    award_experience(&wolf, 10);
    EXPECT_EQ(wolf.exp, 21);
    equip_attunement(wolf, 186);  // with 179: 1.5, not 1.65
    award_experience(&wolf, 10);
    EXPECT_EQ(wolf.exp, 36);
    wolf.inv_location[1] = 3;  // in the backpack it does not count
    award_experience(&wolf, 10);
    EXPECT_EQ(wolf.exp, 47);

    hero.difficulty = 3;  // everyone's awards halve
    award_experience(&wolf, 10);
    EXPECT_EQ(wolf.exp, 52);
    award_experience(&wolf, 1);  // a gain below 1 is still 1
    EXPECT_EQ(wolf.exp, 53);
    EXPECT_EQ(g_message_log.count, 0u);

    hero.difficulty = 4;
    award_experience(&hero, 100);
    EXPECT_EQ(hero.exp, 25);
    ASSERT_EQ(g_message_log.count, 1u);
    EXPECT_STREQ(g_message_log.lines[0], "Hero gains 25 experience");
    g_ui_text[115][0] = g_ui_text[116][0] = 0;
    std::memset(&g_message_log, 0, sizeof g_message_log);
}
