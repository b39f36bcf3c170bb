#include "characters/char_scene.h"

#include "characters/char_damage.h"
#include "characters/char_drawing.h"
#include "characters/char_outline.h"
#include "engine/draw_test_support.h"
#include "platform/recording_device.h"

#include <cstring>
#include <string>

namespace {

void draw_at_object(int slot)
{
    draw_char_at_object(slot, g_objects[g_chars[slot].object], 1.0f, 1.0f);
}

bool window_has_word(const char* word)
{
    for (int i = 0; i < g_message_window.word_count; ++i)
        if (std::strcmp(g_message_window.words[i], word) == 0)
            return true;
    return false;
}

} // namespace

TEST_F(char_scene_test, OnlyLivingVisibleOthersUnderTheMouseTakeTheFocus)
{
    recording_device dev(1024, 768);
    use_device device(&dev);
    place(0, k_kind_player, 100, 100);
    char_record& first = place(1, k_kind_enemy, 100, 100);
    place(2, k_kind_sidekick, 110, 100);
    place(3, k_kind_enemy, 100, 100).life = k_life_dead;
    place(4, k_kind_enemy, 100, 100).world_fade = 0.0f;
    place(5, k_kind_normal, 100, 100);
    place(6, k_kind_enemy, 400, 100);  // not under the mouse
    first.level = 3;
    first.hp = 7;
    g_mouse_x = g_mouse_y = 100.0f;

    for (int s = 0; s <= 6; ++s)
        draw_at_object(s);

    ASSERT_EQ(g_focus_list.count, 3u);
    EXPECT_EQ(g_focus_list.type[0], uint32_t(k_focus_fighter));
    EXPECT_EQ(g_focus_list.id[0], 1u);
    EXPECT_EQ(g_focus_list.type[1], uint32_t(k_focus_fighter));
    EXPECT_EQ(g_focus_list.id[1], 2u);
    EXPECT_EQ(g_focus_list.type[2], uint32_t(k_focus_ordinary));
    EXPECT_EQ(g_focus_list.id[2], 5u);
    // The last label drawn is the ordinary character's name alone.
    EXPECT_EQ(g_message_shown, 1u);
    EXPECT_TRUE(window_has_word("Orc5"));
    EXPECT_FALSE(window_has_word("L1"));
    // A corpse is drawn, a character faded out of this world is not.
    EXPECT_FLOAT_EQ(g_chars[3].drawn_alpha, 1.0f);
    dev.clear_recording();
    draw_at_object(4);
    EXPECT_TRUE(dev.draws().empty());

    // The enemy's label carries its level and hit points.
    focus_list_clear(&g_focus_list);
    draw_at_object(1);
    EXPECT_TRUE(window_has_word("L3"));
    EXPECT_TRUE(window_has_word("(7"));

    // While a dialogue runs nobody takes the focus.
    focus_list_clear(&g_focus_list);
    g_dialogue_running = 1;
    draw_at_object(1);
    EXPECT_EQ(g_focus_list.count, 0u);
}

// A blow that takes an enemy below 0 leaves it alive until the next character update; drawn under
// the mouse in between, its label shows 0 hit points.
TEST_F(char_scene_test, AnEnemyStruckBelowZeroIsLabelledWithNoHitPoints)
{
    char_record& wolf = place(1, k_kind_enemy, 100, 100);
    wolf.level = 2;
    wolf.hp = 3;
    ASSERT_GT(apply_effect_damage(&wolf, 50, 0, -1), 3);
    ASSERT_LT(wolf.hp, 0);
    g_mouse_x = g_mouse_y = 100.0f;
    draw_at_object(1);
    EXPECT_TRUE(window_has_word("L2"));
    EXPECT_TRUE(window_has_word("(0"));
}

TEST_F(char_scene_test, ASeventhCandidateStartsTheFocusListOver)
{
    g_mouse_x = g_mouse_y = 100.0f;
    for (int s = 1; s <= 7; ++s)
        place(s, k_kind_enemy, 100, 100);
    for (int s = 1; s <= 6; ++s)
        draw_at_object(s);
    EXPECT_EQ(g_focus_list.count, 0u);  // index 5 written: the list is full
    EXPECT_EQ(g_focus_list.id[5], 6u);
    draw_at_object(7);
    EXPECT_EQ(g_focus_list.count, 1u);
    EXPECT_EQ(g_focus_list.id[0], 7u);
}

TEST_F(char_scene_test, ShadowsAndTheFirstPassPartsFollowTheirPasses)
{
    recording_device dev(1024, 768);
    use_device device(&dev);
    char_record& c = place(1, k_kind_enemy, 100, 100);
    c.part_model[15] = 0;  // a first-pass part
    draw_at_object(1);
    EXPECT_EQ(dev.draws().size(), 2u);  // parts 0 and 1, no shadows

    dev.clear_recording();
    g_settings.gr_displayshadows = 1;
    draw_at_object(1);
    ASSERT_EQ(dev.draws().size(), 4u);
    EXPECT_EQ(dev.material_of(dev.draws()[0]).diffuse.r, 0.0f);  // the shadows come first, black
    EXPECT_FLOAT_EQ(dev.material_of(dev.draws()[0]).diffuse.a, 0.4f);

    dev.clear_recording();
    draw_char_first_pass(&c, 100, 100, 0, 1.0f, 1.0f, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(dev.draws().size(), 1u);  // part 15 only

    // The character takes its object's depth key and depth.
    EXPECT_EQ(g_objects[c.object].depth_key, 100);
    EXPECT_FLOAT_EQ(g_objects[c.object].z, 100.0f / 55.0f);
}

TEST_F(char_scene_test, APreviewLeavesTheCharacterAsItWas)
{
    recording_device dev(1024, 768);
    use_device device(&dev);
    char_record& c = place(0, k_kind_player, 100, 100);
    c.part_model[16] = 1;
    c.part_frame[0] = 1;
    c.anim_action = 1;
    c.anim_speed = 3;
    const char_record before = c;
    draw_chars(&c, 300, 300, 1.0f, 1.0f, 1.0f, 0, 180, 0, 1, 1, 1, 1);
    EXPECT_EQ(dev.draws().size(), 2u);  // part 16 is hidden in the preview
    c.drawn_alpha = before.drawn_alpha;
    EXPECT_EQ(std::memcmp(&c, &before, sizeof c), 0);
}

TEST_F(char_scene_test, TheOutlineMovesWithTheCharacter)
{
    char_record& c = place(1, k_kind_enemy, 100, 100);
    EXPECT_TRUE(char_outline_contains(&c, 140, 60));
    EXPECT_FALSE(char_outline_contains(&c, 160, 100));
    set_object_position(&g_objects[c.object], 300, 100);
    EXPECT_TRUE(char_outline_contains(&c, 340, 100));
    EXPECT_FALSE(char_outline_contains(&c, 140, 100));
    c.object = -1;
    EXPECT_FALSE(char_outline_contains(&c, 300, 100));
}
