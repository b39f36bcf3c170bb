// Character placement mode: adding a creature at the mouse, copying a held character's whole
// placement beside the mouse, the tuning keys and their reset written back into the placement,
// removal of every hit character, and the guards on the creature row and the full list.
#include "editor/view_mode_fixture.h"

#include "characters/char_spawning.h"
#include "core/utilities.h"
#include "platform/files.h"

#include <string>

namespace {

class CharMode : public view_mode_test {
protected:
    void SetUp() override
    {
        view_mode_test::SetUp();
        ASSERT_TRUE(make_folder("data/creature"));
        char_record& bandit = make_char(10, "bandit", k_kind_enemy);
        copy_bounded(bandit.name, sizeof bandit.name, "bandit");
        ASSERT_TRUE(write_char_file(10, "data/creature/bandit.chr"));
        g_chars[10] = char_record{};
        g_char_count = k_global_char_slots;
        list_creature_files(&g_creature_files);
        ASSERT_EQ(g_creature_files.count, 1);
        g_map_dirty = 0;
    }
    static void run(std::initializer_list<uint8_t> keys = {}, bool left = false, bool right = false)
    {
        frame(run_char_mode, keys, left, right);
    }
    static world_object& object(int32_t slot) { return *world_object_of(g_chars[slot]); }
};

} // namespace

TEST_F(CharMode, EnterAddsAtTheMouseAndWithACharacterHeldCopiesItsLooksBesideTheMouse)
{
    mouse(300.0f, 200.0f);
    run({k_key_return});
    run({k_key_return, k_key_space});  // one per press
    run();
    ASSERT_EQ(g_char_placements.count, 1);
    EXPECT_EQ(g_map_dirty, 1u);
    const int32_t first = g_char_placements.entries[0].char_slot;
    ASSERT_GE(first, k_global_char_slots);
    EXPECT_EQ(object(first).x, 300.0f);
    EXPECT_EQ(object(first).angle_b, 40);

    // Hold it, change its looks, then copy it.
    mouse(303.5f, 192.5f);
    run({k_key_a, k_key_x, k_key_e, k_key_f, k_key_v, k_key_t, k_key_h, k_key_n, k_key_2}, true);
    EXPECT_EQ(g_selected_char, first);
    EXPECT_EQ(object(first).x, 303.5f);  // it follows the mouse
    const char_placement& p = g_char_placements.entries[0];
    EXPECT_FLOAT_EQ(p.scale, 1.36f);
    EXPECT_FLOAT_EQ(p.object_alpha, 0.99f);
    EXPECT_EQ(p.angle, 46);
    EXPECT_EQ(p.angle2, 39);
    EXPECT_EQ(p.angle3, -1);
    EXPECT_FLOAT_EQ(p.colour[0], 0.99f);
    EXPECT_FLOAT_EQ(p.colour[1], 1.01f);
    EXPECT_FLOAT_EQ(p.colour[2], 1.01f);
    EXPECT_EQ(p.world, 1);  // keys 1, 2, 3 give 0, 1, 2
    EXPECT_EQ(p.x, 303.5f);
    run({}, true);  // the line shows the state before this frame's keys
    EXPECT_EQ(std::string(g_mode_info_text), "\nchar: " + std::to_string(first) +
                                                 ", dream: 1, scale: 1.360000, alfa: 0.990000, rot: 46//39//-1, "
                                                 "rgb: 0.990000//1.010000//1.010000");

    g_mode_info_text[0] = 'x';
    run({k_key_return, k_key_a}, true);  // the add ends the frame: no key edits, no info line
    ASSERT_EQ(g_char_placements.count, 2);
    EXPECT_EQ(g_mode_info_text[0], 'x');
    EXPECT_FLOAT_EQ(p.scale, 1.36f);
    const char_placement& copy = g_char_placements.entries[1];
    const int32_t second = copy.char_slot;
    ASSERT_NE(second, first);
    EXPECT_EQ(object(second).x, 353.5f);
    EXPECT_EQ(object(second).y, 242.5f);
    EXPECT_EQ(object(second).angle_a, 46);
    EXPECT_FLOAT_EQ(g_chars[second].scale_x, 1.36f);
    EXPECT_FLOAT_EQ(object(second).red, 0.99f);
    EXPECT_EQ(object(first).x, 303.5f);

    // Ctrl+S and Ctrl+Z still tune here; 0 resets every look.
    g_map_dirty = 0;
    run({k_key_lcontrol, k_key_s, k_key_z}, true);
    EXPECT_FLOAT_EQ(p.object_alpha, 1.0f);
    EXPECT_FLOAT_EQ(p.scale, 1.35f);
    EXPECT_EQ(g_map_dirty, 1u);
    run({k_key_0}, true);
    EXPECT_FLOAT_EQ(p.scale, 1.35f);
    EXPECT_EQ(p.angle, 45);
    EXPECT_EQ(p.angle2, 40);
    EXPECT_EQ(p.angle3, 1);
    EXPECT_FLOAT_EQ(p.colour[0], 1.0f);
    EXPECT_FLOAT_EQ(p.colour[2], 1.0f);
    g_map_dirty = 0;
    run({}, true);  // held still: nothing changes
    EXPECT_EQ(g_map_dirty, 0u);
    run();
    EXPECT_EQ(g_selected_char, -1);
}

TEST_F(CharMode, TheRightButtonRemovesEveryHitCharacterOnlyWhileNoneIsHeld)
{
    mouse(300.0f, 200.0f);
    press(run_char_mode, k_key_space);
    mouse(305.0f, 200.0f);
    press(run_char_mode, k_key_space);
    mouse(600.0f, 200.0f);
    press(run_char_mode, k_key_space);
    ASSERT_EQ(g_char_placements.count, 3);
    const int32_t a = g_char_placements.entries[0].char_slot, b = g_char_placements.entries[1].char_slot;
    const int32_t c = g_char_placements.entries[2].char_slot;

    mouse(600.0f, 200.0f);
    run({}, true, true);  // holding c: nothing removed
    EXPECT_EQ(g_char_placements.count, 3);
    run();
    mouse(302.0f, 200.0f);
    g_map_dirty = 0;
    run({}, false, true);
    ASSERT_EQ(g_char_placements.count, 1);
    EXPECT_EQ(g_char_placements.entries[0].char_slot, c);
    EXPECT_EQ(g_chars[a].object, -1);
    EXPECT_EQ(g_chars[b].object, -1);
    EXPECT_EQ(g_map_dirty, 1u);

    // A character whose object index lies outside the object array is neither hit nor touched.
    g_chars[c].object = 1 << 20;
    mouse(600.0f, 200.0f);
    run({}, true, true);
    EXPECT_EQ(g_selected_char, -1);
    EXPECT_EQ(g_char_placements.count, 1);
}

TEST_F(CharMode, ACreatureRowOutsideTheListAndAFullListAddNothing)
{
    g_editor.creature_choice = 1;
    press(run_char_mode, k_key_return);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_NE(console_line().find("zozname"), std::string::npos);
    g_editor.creature_choice = -1;
    press(run_char_mode, k_key_return);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_EQ(g_map_dirty, 0u);

    g_editor.creature_choice = 0;
    while (g_char_placements.count < k_placement_slots)
        add_char_placement(&g_char_placements, "bandit.chr", 0.0f, 0.0f, 0);
    const uint32_t chars = g_char_count;
    press(run_char_mode, k_key_return);
    EXPECT_EQ(g_char_placements.count, k_placement_slots);
    EXPECT_EQ(g_char_count, chars);
    EXPECT_NE(console_line().find("plny"), std::string::npos);
}
