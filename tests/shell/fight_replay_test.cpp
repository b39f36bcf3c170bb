// The fights at the gate, replayed through the program's own frames: on the demo's gate level the
// mouse, clicking the bandit with the right button, walks the hero over and strikes until
// the bandit dies; the hits follow the combat rules, the corpse stays and drops its loot, and the
// experience raises the hero a level. The bandits' camp waits until the hero comes near, and the
// hero's potion heals its wounds.
#include "shell/shell_fixture.h"

#include "support/input_script.h"
#include "support/temp_folder.h"
#include "tests/shell/injected_input.h"

#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/surround.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/render_context.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/recording_device.h"
#include "shell/program.h"
#include "world/object_order.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

bool in_surround(int32_t slot)
{
    for (int16_t occupant : g_surround.occupant)
        if (occupant == slot)
            return true;
    return false;
}

// One blow as the debug log tells it: the block and dodge rolls against their chances, then for
// a blow that lands the rolled damage, the armour class, what passed the armour and what was
// taken.
struct logged_blow {
    int block_roll = -1, block_chance = -1, dodge_roll = -1, dodge_chance = -1;
    bool blocked = false, dodged = false;
    float final_damage = -1.0f;
    int armour = -1;
    float real_damage = -1.0f;
    float critical_multiplier = 1.0f;
    bool critical = false;
    int taken = -1;
};

std::vector<logged_blow> blows_in(const std::string& log)
{
    std::vector<logged_blow> blows;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const char* l = line.c_str();
        char name[64];
        int a = 0, b = 0;
        if (std::sscanf(l, "block chance: %d -> %d", &a, &b) == 2) {
            blows.push_back({});
            blows.back().block_roll = a;
            blows.back().block_chance = b;
        }
        if (blows.empty())
            continue;
        logged_blow& blow = blows.back();
        if (std::sscanf(l, "dodge chance: %d -> %d", &a, &b) == 2) {
            blow.dodge_roll = a;
            blow.dodge_chance = b;
        }
        blow.blocked = blow.blocked || line.find(" blocked attack") != std::string::npos;
        blow.dodged = blow.dodged || line.find(" dodged attack") != std::string::npos;
        std::sscanf(l, "final damage: %f", &blow.final_damage);
        std::sscanf(l, "AC: %d", &blow.armour);
        std::sscanf(l, "real damage: %f", &blow.real_damage);
        std::sscanf(l, "critical multiplier: %f", &blow.critical_multiplier);
        blow.critical = blow.critical || line.find("! damage") != std::string::npos;
        std::sscanf(l, "%63s has taken %d", name, &blow.taken);
    }
    return blows;
}

// The first character with the key name from slot `from` on, or -1.
int32_t slot_named(const char* name, int32_t from = 0)
{
    for (uint32_t s = uint32_t(from); s < g_char_count; ++s)
        if (std::strcmp(g_chars[s].name, name) == 0)
            return int32_t(s);
    return -1;
}

bool message_logged(const char* text)
{
    for (uint32_t i = 0; i < g_message_log.count; ++i)
        if (std::strstr(g_message_log.lines[i], text))
            return true;
    return false;
}

// The cursor over the middle of the character's body; the right button clicked (down for this
// frame) or up.
void point_at(const world_object& o, bool click)
{
    input_event move{input_event_kind::mouse_move};
    move.x = int32_t((o.x - g_camera_x) * g_zoom);
    move.y = int32_t((o.y - 35.0f - g_camera_y) * g_zoom);
    input_inject(move);
    input_event button{input_event_kind::mouse_button};
    button.code = 1;
    button.down = click;
    input_inject(button);
}

// The game started at the gate on the recording device and its greeting passed by
// `pass_greeting`; the device.
void start_at_the_gate(const std::function<bool()>& pass_greeting, recording_device** device)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    *device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(*device, nullptr);
}

void end_the_game()
{
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

} // namespace

TEST_F(shell_test, TheHeroWalksToTheBanditAndBeatsItDown)
{
    recording_device* device = nullptr;
    start_at_the_gate([this] { return pass_greeting(); }, &device);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(g_work_mode, uint32_t(k_work_play));
    char_record& hero = g_chars[g_player_char];
    const int32_t bandit_slot = slot_named("bandit");
    ASSERT_GE(bandit_slot, 0);
    char_record& bandit = g_chars[bandit_slot];
    ASSERT_EQ(bandit.kind, k_kind_enemy);
    hero.exp = xp_for_level(2) - level_value(bandit.level);  // the kill makes level 2
    // The hero fights alone with its sword (the demo hero starts in spell mode): the squire
    // would take the kill and its experience, the shaman would join in.
    hero.spell_mode = 0;
    const int32_t squire = slot_named("squire"), shaman = slot_named("shaman");
    ASSERT_GE(squire, 0);
    ASSERT_GE(shaman, 0);
    g_chars[squire].life = k_life_gone;
    g_chars[shaman].life = k_life_gone;
    const world_object start = *world_object_of(hero);
    const int16_t ground_items_before = g_ground_item_count;
    int loot = 0;  // the bandit's items that fall when it dies
    for (int i = 0; i < bandit.inv_count; ++i)
        loot += item_proto_at(bandit.inv_item[i]) && !item_proto_at(bandit.inv_item[i])->no_loss ? 1 : 0;
    ASSERT_GE(loot, 2);
    const int32_t bandit_hp = bandit.hp;

    bool walked = false, aimed = false;
    int frames = 0;
    for (; frames < 4000 && bandit.life == k_life_alive; ++frames) {
        device->clear_recording();
        // A player clicks the bandit whenever the hero stands idle.
        point_at(*world_object_of(bandit), hero.state == 0 && !g_mouse_right);
        ASSERT_TRUE(program_frame());
        walked = walked || hero.state == 3;
        aimed = aimed || hero.target == bandit_slot;  // the bandit under the cursor was the target
    }
    ASSERT_EQ(bandit.life, k_life_dead) << "after " << frames << " frames";
    EXPECT_TRUE(walked);
    EXPECT_TRUE(aimed);
    EXPECT_TRUE(message_logged("Bandit takes"));  // the blows were told to the player
    EXPECT_TRUE(message_logged("Bandit: slain"));

    // The hero walked from its entry point to within the sword's reach of the bandit.
    const world_object& at = *world_object_of(hero);
    const world_object& corpse = *world_object_of(bandit);
    EXPECT_GT(std::hypot(at.x - start.x, at.y - start.y), 30.0f);  // the bandit came to meet it
    EXPECT_LT(std::hypot(at.x - corpse.x, at.y - corpse.y), 120.0f * g_scene_header.scale);

    // Every blow was rolled against the bandit's block, then its dodge chance; one that got
    // through took the armour's rule off the rolled damage: above the armour class the excess and
    // a quarter of the class, otherwise a quarter.
    const std::vector<logged_blow> blows = blows_in(read_text(k_console_log_file));
    ASSERT_FALSE(blows.empty());
    int32_t taken = 0;
    for (const logged_blow& b : blows) {
        EXPECT_GT(b.block_chance, 0);
        EXPECT_EQ(b.blocked, b.block_roll < b.block_chance);
        if (b.blocked) {
            EXPECT_EQ(b.taken, -1);
            continue;
        }
        EXPECT_GT(b.dodge_chance, 0);
        EXPECT_EQ(b.dodged, b.dodge_roll < b.dodge_chance);
        if (b.dodged) {
            EXPECT_EQ(b.taken, -1);
            continue;
        }
        ASSERT_GE(b.armour, 0);
        const float expected = b.armour < b.final_damage ? b.final_damage - float(b.armour) + float(b.armour / 4)
                                                         : b.final_damage / 4.0f;
        EXPECT_NEAR(b.real_damage, expected, 0.01f);
        // A critical multiplies what passed; the bandit has no resistance to slashing.
        const float dealt = b.critical ? b.real_damage * b.critical_multiplier : b.real_damage;
        EXPECT_NEAR(b.taken, std::max(1.0f, dealt), 1.0f);
        taken += b.taken;
    }
    EXPECT_GE(taken, bandit_hp);

    // The corpse stays for 800 steps and its loot lies on the ground; the kill raised the hero.
    EXPECT_GT(corpse.lifetime, 700);
    EXPECT_LE(corpse.lifetime, 800);
    EXPECT_EQ(g_ground_item_count, ground_items_before + loot);
    ASSERT_TRUE(program_frame());  // the level-up comes with the next update
    EXPECT_EQ(hero.level, 2);
    EXPECT_TRUE(message_logged(ui_text(119)));

    end_the_game();
}

// The whole gate: both bandits take places beside the hero and strike it, the squire strikes
// whatever the hero attacks, and the hero beats one bandit after the other. The placed
// characters start at full health; F5 during the fight is refused, after it the game saves.
TEST_F(shell_test, TheHeroAndTheSquireBeatBothBandits)
{
    recording_device* device = nullptr;
    start_at_the_gate([this] { return pass_greeting(); }, &device);
    if (HasFatalFailure())
        return;
    char_record& hero = g_chars[g_player_char];
    const int32_t first = slot_named("bandit"), second = slot_named("bandit", first + 1);
    const int32_t squire_slot = slot_named("squire");
    ASSERT_GE(second, 0);
    ASSERT_GE(squire_slot, 0);
    char_record& squire = g_chars[squire_slot];
    ASSERT_EQ(squire.kind, k_kind_sidekick);
    hero.hp = hero.hp_ceiling = 30000;  // the replay is about the blows, not about surviving them
    hero.hp_max = 30000;
    hero.spell_mode = 0;  // the sword, not the spells the demo hero starts with
    const int32_t shaman = slot_named("shaman");  // the fight is the bandits'
    ASSERT_GE(shaman, 0);
    g_chars[shaman].life = k_life_gone;
    for (int32_t slot : {first, second, squire_slot})
        EXPECT_EQ(std::make_pair(g_chars[slot].hp, g_chars[slot].hp_max),
                  std::make_pair(char_base_max_hp(&g_chars[slot]), char_base_max_hp(&g_chars[slot])))
            << g_chars[slot].name;

    bool both_placed = false, squire_joined = false, bandits_struck = false, save_tried = false;
    int frames = 0;
    for (; frames < 8000 && (g_chars[first].life == k_life_alive || g_chars[second].life == k_life_alive); ++frames) {
        device->clear_recording();
        const char_record& foe = g_chars[g_chars[first].life == k_life_alive ? first : second];
        point_at(*world_object_of(foe), hero.state == 0 && !g_mouse_right);
        if (both_placed && !save_tried) {  // F5 in the thick of it
            ASSERT_TRUE(tap_keys({k_key_f5}));
            save_tried = true;
            EXPECT_TRUE(message_logged(ui_text(105)));  // "Could not save during combat!"
            EXPECT_FALSE(std::filesystem::exists("save/quick"));
        }
        ASSERT_TRUE(program_frame());
        both_placed = both_placed || (in_surround(first) && in_surround(second));
        squire_joined = squire_joined || (hero.target >= 0 && squire.target == hero.target && squire.state == 4);
        bandits_struck = bandits_struck || g_chars[first].state == 4 || g_chars[second].state == 4;
        hero.hp = std::max(hero.hp, 1000);  // recompute caps it at the level's maximum
    }
    EXPECT_EQ(g_chars[first].life, k_life_dead);
    EXPECT_EQ(g_chars[second].life, k_life_dead) << "after " << frames << " frames";
    EXPECT_TRUE(both_placed);
    EXPECT_TRUE(squire_joined);  // it swung at the hero's target
    EXPECT_EQ(squire.life, k_life_alive);
    EXPECT_TRUE(bandits_struck);
    EXPECT_TRUE(save_tried);
    // The dead leave the fight at the next assignment of the places; then F5 saves.
    for (int i = 0; i < 60 && g_in_combat != 0; ++i)
        ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_in_combat, 0);
    ASSERT_TRUE(tap_keys({k_key_f5}));
    EXPECT_TRUE(std::filesystem::exists("save/quick/game.ss"));
    end_the_game();
}

// A minute of the gate's fight at ten frames a second: the blood's emitters keep to their bound,
// the objects to what they were after ten seconds, and the blood lies under the fighters.
TEST_F(shell_test, AMinuteOfFightingAtTenFramesASecondKeepsTheBloodBoundedAndUnderTheFighters)
{
    recording_device* device = nullptr;
    start_at_the_gate([this] { return pass_greeting(); }, &device);
    if (HasFatalFailure())
        return;
    clock_set_manual_step(0);
    input_set_script([](uint32_t) { clock_advance_manual(100); });  // every pass a tenth of a second
    char_record& hero = g_chars[g_player_char];
    hero.spell_mode = 0;
    const int32_t shaman = slot_named("shaman"), bandit = slot_named("bandit");
    ASSERT_TRUE(shaman >= 0 && bandit >= 0);
    g_chars[shaman].life = k_life_gone;
    auto live_objects = [] {
        return std::count_if(g_objects, g_objects + g_object_count, [](const world_object& o) { return o.state != 0; });
    };
    long objects_at_ten = 0;
    size_t most_emitters = 0, most_decals = 0;
    for (int frame = 1; frame <= 600; ++frame) {
        device->clear_recording();
        for (uint32_t s = 0; s < g_char_count; ++s)
            g_chars[s].hp = std::max(g_chars[s].hp, g_chars[s].hp_max);
        point_at(*world_object_of(g_chars[bandit]), hero.state == 0 && !g_mouse_right);
        ASSERT_TRUE(program_frame());
        const auto timed_emitter = [](const world_object& o) {
            return o.state != 0 && o.particle_role == k_role_emitter && o.lifetime != -1;
        };
        most_emitters =
            std::max<size_t>(most_emitters, std::count_if(g_objects, g_objects + g_object_count, timed_emitter));
        // In the order the next pass draws in (the sort it starts with, made here already, does
        // the same again), every decal on the ground that is drawn comes before the characters.
        sort_draw_order();
        size_t decals = 0;
        bool character_passed = false;
        for (uint32_t k = 0; k < g_object_count; ++k) {
            const world_object& o = g_objects[object_at_draw_position(k)];
            character_passed = character_passed || (o.state != 0 && o.proto < -1);
            if (o.state == 1 && o.depth_sorted == k_depth_ground) {
                ++decals;
                ASSERT_FALSE(character_passed) << "frame " << frame;
            }
        }
        most_decals = std::max(most_decals, decals);
        if (frame == 100)
            objects_at_ten = live_objects();
    }
    input_set_script({});
    clock_set_manual_step(16);  // as the fixture runs the program: the closing fade ends
    EXPECT_GT(most_decals, 100u);  // the fight bled
    EXPECT_LE(most_emitters, 64u);
    EXPECT_LE(double(live_objects()), 1.2 * double(objects_at_ten));

    end_the_game();
}

// The bandits camp east of the gate: a hero who stays at the entry after the greeting is left
// alone, and one who walks up to the camp is met by all three of them.
TEST_F(shell_test, TheBanditsCampWaitsUntilTheHeroComesNear)
{
    recording_device* device = nullptr;
    start_at_the_gate([this] { return pass_greeting(); }, &device);
    if (HasFatalFailure())
        return;
    char_record& hero = g_chars[g_player_char];
    for (int frame = 0; frame < 1200; ++frame) {  // about 20 seconds
        device->clear_recording();
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(hero.hp, hero.hp_max);
    EXPECT_EQ(g_in_combat, 0);

    const world_object* bandit = world_object_of(g_chars[slot_named("bandit")]);
    ASSERT_NE(bandit, nullptr);
    const float camp_x = bandit->x, camp_y = bandit->y;
    bool fight = false;
    for (int frame = 0; frame < 1200 && !fight; ++frame) {
        device->clear_recording();
        if (frame % 60 < 2)
            inject_left_at(int32_t((camp_x - 150.0f - g_camera_x) * g_zoom), int32_t((camp_y - g_camera_y) * g_zoom),
                           frame % 60 == 0);
        ASSERT_TRUE(program_frame());
        fight = g_in_combat >= 3;
    }
    EXPECT_TRUE(fight) << int(g_in_combat) << " in the fight";
    end_the_game();
}

// Key 2 drinks the hero's healing potion from the quick bar: the wounds close, the most hit
// points drop by the wound over the potion's amount, and the message log tells both.
TEST_F(shell_test, TheQuickBarPotionHealsTheWoundedHero)
{
    recording_device* device = nullptr;
    start_at_the_gate([this] { return pass_greeting(); }, &device);
    if (HasFatalFailure())
        return;
    char_record& hero = g_chars[g_player_char];
    const int16_t potion = g_interface.quick_ids[1];
    ASSERT_GE(potion, 0);
    ASSERT_STREQ(item_proto_at(potion)->key_name, "elixir");
    const int32_t ceiling = hero.hp_ceiling, wound = 60;
    hero.hp = ceiling - wound;
    ASSERT_TRUE(tap_keys({k_key_2}));
    const int32_t mark = ceiling - wound / item_proto_at(potion)->damage;
    EXPECT_EQ(hero.hp_ceiling, mark);
    EXPECT_EQ(hero.hp, mark);
    EXPECT_TRUE(message_logged("You recover 60 hit points."));
    end_the_game();
}

// In every frame of the fight a quad that follows another with the same states goes on in its
// batch, or, with another texture, in a call the back end may join to it: states set and set
// back between them (a text's filters, the ambient light) do not part them.
TEST_F(shell_test, FightFramesPartTheirQuadsOnlyWhereAStateDiffers)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);
    const char_record& hero = g_chars[g_player_char];
    const int32_t bandit = slot_named("bandit");
    ASSERT_GE(bandit, 0);
    int set_back = 0, parted = 0;
    for (int frame = 0; frame < 240; ++frame) {
        device->clear_recording();
        for (uint32_t s = 0; s < g_char_count; ++s)
            g_chars[s].hp = std::max(g_chars[s].hp, g_chars[s].hp_max);
        point_at(*world_object_of(g_chars[bandit]), hero.state == 0 && !g_mouse_right);
        ASSERT_TRUE(program_frame());
        const recorded_draw* previous = nullptr;
        bool states_set = false;
        for (const recorded_call& c : device->calls()) {
            switch (c.kind) {
            case device_call::render_state:
            case device_call::stage_state:
            case device_call::transform:
            case device_call::viewport:
            case device_call::scissor: states_set = true; break;
            case device_call::clear:
            case device_call::begin_scene:
            case device_call::end_scene:
            case device_call::present: previous = nullptr; break;
            case device_call::draw: {
                const recorded_draw& d = device->draws()[c.value];
                if (previous && previous->quad() && d.quad() &&
                    same_drawing_states(device->states_of(*previous), device->states_of(d))) {
                    set_back += states_set ? 1 : 0;
                    parted += d.join != (d.texture == previous->texture ? batch_join::continues
                                                                         : batch_join::other_texture);
                }
                previous = &d;
                states_set = false;
                break;
            }
            default: break;
            }
        }
    }
    EXPECT_GT(set_back, 240);
    EXPECT_EQ(parted, 0);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
