// The demo's gate level played through the program's own frames: the lever beside the hut is
// clicked with the pointer and opens the gate, the hut's interior fades in around the hero and
// out again, and the trap fires its bolt once each time the hero steps in.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"
#include "support/saved_globals.h"

#include "characters/char_machines.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "items/casting.h"
#include "platform/input.h"
#include "platform/recording_device.h"
#include "engine/render_context.h"
#include "script/entities.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "shell/program.h"
#include "world/world_objects.h"

#include <cstring>

namespace {

bool (*g_shell_wait)(bool (*)()) = nullptr;
int g_waits = 0;

// The player lets go of the button while the shell waits for it.
bool release_and_wait(bool (*held)())
{
    ++g_waits;
    inject_left_button(false);
    return g_shell_wait(held);
}

entity_record& named(const char* name)
{
    for (uint32_t i = 0; i < g_entity_count; ++i)
        if (std::strcmp(g_entities[i].name, name) == 0)
            return g_entities[i];
    ADD_FAILURE() << name;
    return g_entities[0];
}

int32_t index_of(const entity_record& e)
{
    return int32_t(&e - g_entities);
}

char_record& hero()
{
    return g_chars[g_player_char];
}

// The hero stands still at (x, y).
void put_hero(float x, float y)
{
    char_record& h = hero();
    world_object& o = g_objects[h.object];
    o.x = h.pos_x = h.goal_x = x;
    o.y = h.pos_y = h.goal_y = y;
    h.state = k_state_idle;
}

int spell_objects()
{
    int n = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        n += g_objects[i].state != 0 && g_objects[i].spell_object;
    return n;
}

} // namespace

TEST_F(shell_test, TheGatesLeverHutAndTrapAnswerTheHero)
{
    saved_globals kept;
    kept.keep(g_dialogue_window), kept.keep(g_message_window);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    g_shell_wait = g_script_links.wait_until_released;
    ASSERT_NE(g_shell_wait, nullptr);
    g_script_links.wait_until_released = release_and_wait;
    g_waits = 0;
    // The bandits stay out of it: nobody fights the hero during the replay.
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (g_chars[s].kind == k_kind_enemy)
            g_chars[s].life = k_life_gone;
    entity_record& lever = named("paka");
    entity_record& gate = named("vrata");
    ASSERT_EQ(lever.link, index_of(gate));
    auto hero_beside_lever = [] {
        for (int i = 0; i < 60; ++i) {  // the view follows the hero there
            put_hero(330, 600);
            if (!program_frame())
                return false;
        }
        inject_pointer_at_world(270, 680);
        return program_frame();
    };

    // While the greeting holds the screen, a click on the lever is not the lever's.
    for (int i = 0; i < 5 && !g_dialogue_running; ++i)
        ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_dialogue_running, 1u) << "the greeting";
    ASSERT_TRUE(hero_beside_lever());
    put_hero(330, 600);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    inject_left_button(false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(lever.state, 1) << "a click during the greeting";
    EXPECT_EQ(gate.state, k_entity_state_done);
    ASSERT_TRUE(pass_greeting());
    g_waits = 0;

    // The lever: a click on it, the hero beside it.
    ASSERT_TRUE(hero_beside_lever());
    put_hero(330, 600);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_waits, 1) << g_mouse_x << "," << g_mouse_y;
    EXPECT_EQ(lever.state, k_entity_state_done);
    EXPECT_EQ(gate.state, 1);
    EXPECT_EQ((hero().facing + 360) % 360, (spell_direction(330, 600, g_mouse_x, g_mouse_y) + 360) % 360);
    EXPECT_EQ(g_objects[entity_objects(&gate)[0]].anim_mode, k_entity_anim_open);
    inject_pointer_at_world(330, 400);

    // The hut: its crates fade in while the hero is inside and out after it leaves.
    entity_record& hut = named("chata");
    EXPECT_EQ(hut.state, 0);
    for (int i = 0; i < 40; ++i) {
        put_hero(110, 670);
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(hut.state, 1);
    EXPECT_EQ(hero().interior, index_of(hut));
    ASSERT_EQ(hut.object_count, 2);
    EXPECT_FLOAT_EQ(g_objects[entity_objects(&hut)[0]].alpha, 1.0f);
    for (int i = 0; i < 60 && hut.inside != 0; ++i) {
        put_hero(330, 500);
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(hut.state, 0);
    EXPECT_EQ(hut.inside, 0);

    // The trap: one bolt per entry.
    entity_record& trap = named("pasca");
    const int before = spell_objects();
    put_hero(400, 700);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(trap.state, k_entity_state_done);
    const int fired = spell_objects();
    EXPECT_GT(fired, before);
    for (int i = 0; i < 5; ++i) {
        put_hero(400, 700);
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(trap.state, k_entity_state_done);
    put_hero(330, 500);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(trap.state, 1);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
