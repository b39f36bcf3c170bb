#include "characters/char_fixture.h"

#include "characters/char_models.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

int objects_of_slot(int32_t slot)
{
    int n = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        n += g_objects[i].state != 0 && g_objects[i].proto == -2 - slot;
    return n;
}

void write_tone(const std::string& name)
{
    std::vector<int16_t> pcm(2 * 200, 3000);
    ASSERT_TRUE(write_wav_file(("data/sound/" + name + ".wav").c_str(), pcm.data(), 2, k_audio_rate, 200));
}

} // namespace

TEST_F(char_test, AddingACharacterPlacesItWithItsClipsStarted)
{
    write_clip("hero", 1, "stand1", {"head", "body"}, 2);
    write_clip("hero", 1, "move1", {"legs"}, 4);
    write_clip("hero", 1, "attack1", {"wr"}, 3);
    char_record& hero = make_char(0, "hero", k_kind_player);
    hero.life = k_life_dead;
    hero.anim_set = 3;
    hero.state = 5;
    hero.target = 7;
    hero.reserved_word_2024 = hero.reserved_word_4232 = 9;
    hero.focus_cooldown[2] = 44;
    hero.part_frame[0] = 1;
    // The file's figures: stale statistics that the entry recomputes.
    hero.level = 5;
    hero.hp_max = 20;
    hero.hp = hero.hp_ceiling = 20;
    hero.melee_base = 7;
    const uint8_t lights = g_light_count;

    add_char(&hero, 0, 300.0f, 200.0f);
    const world_object* o = world_object_of(hero);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->proto, -2);
    EXPECT_EQ(std::make_tuple(o->x, o->y, o->alpha, o->scale), std::make_tuple(300.0f, 200.0f, 1.0f, 0.7f));
    EXPECT_EQ(std::make_tuple(o->angle_a, o->angle_b, o->angle_c), std::make_tuple(45, 220, 0));
    EXPECT_EQ(std::make_tuple(o->layer, o->state, o->anim_mode), std::make_tuple(uint8_t(20), uint8_t(1), 1));
    EXPECT_EQ(std::make_tuple(hero.pos_x, hero.pos_y, hero.life), std::make_tuple(300.0f, 200.0f, k_life_alive));
    EXPECT_EQ(std::make_tuple(hero.state, hero.target, hero.reserved_word_2024, hero.reserved_word_4232),
              std::make_tuple(0u, int16_t(-1), 0u, 0u));
    EXPECT_EQ(hero.focus_cooldown[2], 0u);
    EXPECT_EQ(hero.anim_set, 1);
    EXPECT_EQ(hero.next_think, g_ticks + 800);
    // The stand clip runs last; the move and attack clips have their first variants.
    EXPECT_EQ(hero.anim_action, 0);
    EXPECT_EQ(std::make_tuple(hero.stand_variant, hero.move_variant, hero.attack_variant, hero.death_variant),
              std::make_tuple(uint8_t(0), uint8_t(0), uint8_t(0), uint8_t(255)));
    EXPECT_EQ(hero.part_model[0], g_move_protos[hero.clip_stand[0]].part_model[0]);
    EXPECT_EQ(hero.part_model[4], -1);
    EXPECT_EQ(hero.part_frame[0], 0);
    EXPECT_EQ(g_light_count, lights + 1);  // the player's light
    EXPECT_EQ(hero.light, uint16_t(g_light_count - 1));
    EXPECT_EQ(hero.level_char, 0u);
    EXPECT_EQ(hero.hp_max, char_base_max_hp(&hero));
    EXPECT_GT(hero.hp_max, 20);
    EXPECT_EQ(std::make_tuple(hero.hp, hero.melee), std::make_tuple(20, uint8_t(7)));  // held at the ceiling

    // Putting it into the world again moves it rather than doubling it; an enemy is a level character.
    add_char(&hero, 0, 10.0f, 20.0f);
    EXPECT_EQ(objects_of_slot(0), 1);
    char_record& wolf = make_char(1, "hero", k_kind_enemy);
    add_char(&wolf, 1, 0.0f, 0.0f);
    EXPECT_EQ(wolf.level_char, 1u);
    EXPECT_EQ(wolf.light, 0xFFFF);
    EXPECT_NE(log_text().find("pridavam character hero1"), std::string::npos);
}

TEST_F(char_test, ARebuiltCorpseStaysDeadAndHealed)
{
    write_clip("wolf", 1, "stand1", {"head"}, 2);
    write_clip("wolf", 1, "death1", {"body"}, 4);
    char_record& wolf = make_char(2, "wolf", k_kind_enemy);
    wolf.life = k_life_dead;
    wolf.anim_action = 3;
    wolf.pos_x = 40.0f;
    wolf.pos_y = 50.0f;
    wolf.hp = 0;
    wolf.hp_ceiling = 30;
    std::strcpy(wolf.speech, "grr");
    wolf.speech_until = 999;
    wolf.dot_queue_count = 4;

    init_char_runtime(&wolf, 2);
    const world_object* o = world_object_of(wolf);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(std::make_tuple(o->x, o->y, o->anim_mode), std::make_tuple(40.0f, 50.0f, 3));
    EXPECT_EQ(wolf.life, k_life_dead);
    EXPECT_EQ(wolf.hp, 30);
    EXPECT_EQ(wolf.anim_action, 3);
    EXPECT_EQ(wolf.part_model[1], g_move_protos[wolf.clip_death[0]].part_model[1]);
    EXPECT_EQ(std::make_tuple(std::string(wolf.speech), wolf.speech_until, wolf.dot_queue_count),
              std::make_tuple(std::string(), 0u, uint8_t(0)));
}

TEST_F(char_test, SlotsAreTakenReusedAndRemovedWithinTheTable)
{
    make_char(0, "hero", k_kind_player);
    ASSERT_TRUE(write_char_file(0, "data_hero.chr"));
    char_record& gone = make_char(1, "wolf", k_kind_enemy);
    gone.level_char = 1;
    gone.life = k_life_gone;
    make_char(2, "bear", k_kind_enemy);

    // A level character out of the world gives its slot; then the table grows.
    EXPECT_EQ(load_char_into_free_slot("data_hero.chr"), 1);
    EXPECT_STREQ(g_chars[1].name, "hero0");
    EXPECT_EQ(g_chars[1].level_char, 1u);
    EXPECT_EQ(load_char_into_free_slot("data_hero.chr"), 3);
    EXPECT_EQ(g_char_count, 4u);
    EXPECT_EQ(load_char_into_free_slot("missing.chr"), -1);
    EXPECT_EQ(g_char_count, 4u);

    // Removing a slot moves the later ones down, with their slot numbers and world objects.
    g_chars[3].object = add_object(0, 0, -2 - 3, 1, 1, 0, 0);
    g_chars[3].slot = 3;
    g_player_char = 3;
    remove_char_slot(1);
    EXPECT_EQ(g_char_count, 3u);
    EXPECT_STREQ(g_chars[1].name, "bear2");
    EXPECT_EQ(g_chars[2].slot, 2);
    ASSERT_NE(world_object_of(g_chars[2]), nullptr);
    EXPECT_EQ(world_object_of(g_chars[2])->proto, -4);
    EXPECT_EQ(g_player_char, 2u);

    // The editor's new character fills the table and no further.
    const int32_t slot = new_default_char();
    ASSERT_EQ(slot, 3);
    const char_record& fresh = g_chars[slot];
    EXPECT_EQ(std::make_tuple(fresh.melee_base, fresh.speed, fresh.hp, fresh.mana, fresh.level),
              std::make_tuple(uint8_t(10), uint8_t(10), 10, 10, 1));
    EXPECT_EQ(std::make_tuple(fresh.kind, fresh.life, fresh.run_speed, fresh.anim_set),
              std::make_tuple(k_kind_player, k_life_alive, 4u, uint8_t(1)));
    EXPECT_EQ(std::make_tuple(fresh.part_model[23], fresh.clip_attack[0], fresh.scale_z, fresh.move_correction),
              std::make_tuple(int16_t(-1), int16_t(-1), 1.0f, 1.0f));
    while (new_default_char() >= 0) {
    }
    EXPECT_EQ(g_char_count, 255u);
    EXPECT_EQ(load_char_into_free_slot("data_hero.chr"), -1);
    EXPECT_NE(log_text().find("tabulka postav je plna"), std::string::npos);
}

TEST_F(char_test, SoundListsStopAtTheFirstMissingSampleAndPlayAmongThem)
{
    ASSERT_TRUE(make_folder("data/sound"));
    audio_init_headless(k_audio_rate);
    g_sound_enabled = 1;
    sound_init();
    write_tone("h_wolf1");
    write_tone("h_wolf2");
    write_tone("h_wolf4");  // after the gap: not taken
    write_tone("d_wolf1");
    make_char(1, "wolf", k_kind_enemy);
    ASSERT_TRUE(write_char_file(1, "wolf.chr"));
    ASSERT_TRUE(read_char_file(1, "wolf.chr"));
    char_record& wolf = g_chars[1];
    EXPECT_EQ(wolf.hit_sound_count, 2);
    EXPECT_EQ(wolf.death_sound_count, 1);
    EXPECT_EQ(std::string(g_sound.name[wolf.hit_sounds[1]]), "h_wolf2");
    EXPECT_NE(log_text().find("pocet zvukov pre hit 2\npocet zvukov pre death 1\n"), std::string::npos);

    play_char_hit_sound(1);  // no world object: silent
    EXPECT_EQ(g_sound.playing_count, 0u);
    wolf.object = add_object(512, 384, -2 - 1, 1, 1, 0, 0);
    play_char_hit_sound(1);
    play_char_death_sound(1);
    ASSERT_EQ(g_sound.playing_count, 2u);
    EXPECT_TRUE(g_sound.playing_slot[0] == wolf.hit_sounds[0] || g_sound.playing_slot[0] == wolf.hit_sounds[1]);
    EXPECT_EQ(g_sound.playing_slot[1], wolf.death_sounds[0]);

    char_say(1, "Leave!");
    EXPECT_STREQ(wolf.speech, "Leave!");
    EXPECT_EQ(wolf.speech_until, g_ticks + 400);
    silence_all_sounds();
    audio_shutdown();
    g_sound_enabled = 0;
}
