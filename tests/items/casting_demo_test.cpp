// The demo's showcase spells on the gate level: the hero in spell mode with the volley chosen,
// the shaman that casts at the hero, and each spell cast through the character rules' link and
// flown by the program's frames to its impacts.
#include "shell/shell_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_rule_links.h"
#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "characters/rule_tables.h"
#include "core/game_globals.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "items/casting.h"
#include "engine/ui_texts.h"
#include "items/spells.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "engine/render_context.h"
#include "shell/program.h"
#include "support/saved_globals.h"
#include "tools/demo/demo_data.h"
#include "world/object_behaviour.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> s_impacts;  // spell ids of the impacts the missile update asked for
void (*s_impact_link)(int32_t, int32_t, float, float, int32_t) = nullptr;

int32_t slot_named(const char* name)
{
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (std::strcmp(g_chars[s].name, name) == 0)
            return int32_t(s);
    return -1;
}

int spell_objects()
{
    int n = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        n += g_objects[i].state != 0 && g_objects[i].spell_object ? 1 : 0;
    return n;
}

// Objects flying a spell (explosions and cast effects are spell objects without one).
int missile_objects()
{
    int n = 0;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        for (int e = 0; o.state != 0 && e < o.entry_count && e < 5; ++e)
            n += o.entry_kinds[e] == k_entry_missile ? 1 : 0;
    }
    return n;
}

// Frames until every spell object has ended (at most `frames`); the impacts seen meanwhile.
std::vector<int32_t> fly_out(int frames)
{
    s_impacts.clear();
    for (int f = 0; f < frames && spell_objects() > 0; ++f)
        EXPECT_TRUE(program_frame());
    EXPECT_EQ(spell_objects(), 0);
    return s_impacts;
}

int count_of(const std::vector<int32_t>& ids, int32_t id)
{
    int n = 0;
    for (int32_t i : ids)
        n += i == id ? 1 : 0;
    return n;
}

TEST_F(shell_test, TheShowcaseSpellsFlyOnTheGateToTheirImpacts)
{
    saved_globals saved;
    saved.keep(g_behaviour_links), saved.keep(g_editor), saved.keep(block_dodge_chance_table);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    // Key 4 chooses the volley from the quick bar: spell mode.
    char_record& hero = g_chars[g_player_char];
    for (bool down : {true, false}) {
        input_event key{input_event_kind::key};
        key.code = k_key_4;
        key.down = down;
        input_inject(key);
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(hero.spell_mode, 1u);
    EXPECT_EQ(hero.selected_spell, uint32_t(k_demo_spell_volley));
    const int32_t shaman = slot_named("shaman"), bandit = slot_named("bandit");
    ASSERT_GE(shaman, 0);
    ASSERT_GE(bandit, 0);
    EXPECT_EQ(g_chars[shaman].kind, k_kind_enemy);
    EXPECT_EQ(char_weapon_item(&g_chars[shaman]), k_demo_staff);
    const spell_proto& volley = g_spell_protos[k_demo_spell_volley];
    for (int16_t slot : {volley.missile_slot, volley.glow_slot, volley.companion_slot, volley.explosion_slot,
                         volley.second_explosion_slot, volley.third_explosion_slot, volley.cast_effect_slot})
        EXPECT_NE(slot, k_spell_no_slot);
    EXPECT_EQ(volley.hit_spell, k_demo_spell_burst + 1);

    // The world holds still (no AI) while the hero, beside the bandit and facing it, casts.
    g_editor.ai_on = 0;
    g_interface.player_invulnerable = 1;  // the hero stands in its own fire rain
    s_impact_link = g_behaviour_links.spell_impact;
    g_behaviour_links.spell_impact = [](int32_t spell, int32_t hit, float x, float y, int32_t layer) {
        s_impacts.push_back(spell);
        if (s_impact_link)
            s_impact_link(spell, hit, x, y, layer);
    };
    const uint8_t shaman_life = g_chars[shaman].life;
    g_chars[shaman].life = k_life_gone;
    // Objects are found again by index: casting may grow the array.
    auto me = [&]() -> world_object& { return *world_object_of(hero); };
    auto foe = [&]() -> world_object& { return *world_object_of(g_chars[bandit]); };
    me().x = foe().x - 90.0f;
    me().y = foe().y;
    me().angle_b = 90;
    g_chars[bandit].hp = g_chars[bandit].hp_max = 5000;
    auto cast = [&](int32_t spell) {
        g_char_rule_links.cast_spell(spell, int32_t(g_player_char), me().x, me().y, foe().x, foe().y, 0, 0);
    };

    ASSERT_NE(g_char_rule_links.cast_spell, nullptr);
    cast(k_demo_spell_volley);
    EXPECT_EQ(spell_objects(), 4 * 2 * 3);  // four directions of two sparks, a glow and an ember each
    std::vector<int32_t> impacts = fly_out(600);
    EXPECT_EQ(count_of(impacts, k_demo_spell_volley), 4);  // each direction's damaging spark
    EXPECT_LT(g_chars[bandit].hp, 5000);

    cast(k_demo_spell_wall);
    EXPECT_EQ(spell_objects(), 1 + k_line_objects);
    EXPECT_EQ(count_of(fly_out(600), k_demo_spell_wall), 1);

    cast(k_demo_spell_rain);
    EXPECT_GE(count_of(fly_out(600), k_demo_spell_rain), 1);

    g_message_log.count = 0;
    g_chars[bandit].life = k_life_alive;  // whatever the spells before did to it
    g_chars[bandit].state = k_state_idle;
    const int32_t hp = g_chars[bandit].hp = 500;
    block_dodge_chance_table.fill(0);  // the thunder is about the stun, not about avoiding it
    cast(k_demo_spell_thunder);
    EXPECT_EQ(missile_objects(), 0);  // no missile: the area is hit at once
    EXPECT_LT(g_chars[bandit].hp, hp);
    EXPECT_EQ(g_chars[bandit].state, k_state_stunned);
    ASSERT_GT(g_message_log.count, 0u);
    EXPECT_EQ(std::string(g_message_log.lines[g_message_log.count - 1]),
              std::string(g_chars[bandit].display_name) + " " + ui_text(95));

    // The shaman, with the AI on, strikes at the hero from afar: each strike of its staff casts
    // the water bolt.
    g_editor.ai_on = 1;
    g_chars[shaman].life = shaman_life;
    g_chars[bandit].life = k_life_gone;
    world_object& caster = *world_object_of(g_chars[shaman]);
    caster.x = me().x + 250.0f;
    caster.y = me().y;
    s_impacts.clear();
    for (int f = 0; f < 1500 && count_of(s_impacts, k_demo_spell_shaman) == 0; ++f) {
        ASSERT_TRUE(program_frame());
    }
    EXPECT_GE(count_of(s_impacts, k_demo_spell_shaman), 1);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    // The hero is saved in spell mode with the volley chosen (entering the world clears the
    // choice; the quick bar makes it again).
    ASSERT_TRUE(read_characters(false));
    EXPECT_EQ(g_chars[0].spell_mode, 1u);
    EXPECT_EQ(g_chars[0].selected_spell, uint32_t(k_demo_spell_volley));
}

} // namespace
