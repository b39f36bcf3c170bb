// The character record: the run-time state of one character and, byte for byte, the record of
// "global/characters.dat", of single character files, of save games and of level sections.
// Fields named reserved_<offset> carry nothing here; they are copied unchanged with the record.
#pragma once

#include "world/path_search.h"
#include "world/sectors.h"

#include <cstddef>
#include <cstdint>

constexpr int k_body_parts = 24;
constexpr int k_inventory_entries = 200;
constexpr uint32_t k_char_record_size = 5812;
constexpr uint16_t k_no_light = 0xFFFF;  // a character's light slot: none

// Selects the state machine.
enum char_kind : uint8_t {
    k_kind_normal = 0,
    k_kind_player = 1,
    k_kind_enemy = 2,
    k_kind_netplayer = 3,
    k_kind_sidekick = 4,
};

// Life states.
constexpr uint8_t k_life_gone = 0;   // out of the world; the slot may be reused
constexpr uint8_t k_life_dead = 1;   // a corpse in the world
constexpr uint8_t k_life_alive = 2;

// Inventory locations: 0 to 15 the backpack, 16 to 254 equipped, 255 none.
enum inventory_location : uint8_t {
    k_inv_backpack_last = 15,
    k_inv_cloak = 16,
    k_inv_helm = 17,
    k_inv_neclace = 18,
    k_inv_ring1 = 19,
    k_inv_bots = 20,
    k_inv_ring2 = 21,
    k_inv_rhand = 22,
    k_inv_armor = 23,
    k_inv_weapon = 24,
    k_inv_lhand = 25,
    k_inv_shield = 26,
    k_inv_legs = 27,
    k_inv_attunement = 77,
    k_inv_none = 255,
};

struct char_record {
    uint32_t record_flag;  // 1 in a record made by the editor
    // key name: script and dialogue file names, localized name key, 20 characters with the
    // terminator
    char name[20];
    uint8_t kind;  // char_kind
    uint8_t life;  // life state
    uint8_t reserved_26[2];
    int32_t range;  // attack reach
    int32_t home_sector;  // map sector index the character belongs to
    uint32_t last_step_ms;  // time of the last movement step
    uint32_t pending_target;  // target of the pending action; the stun end time (g_elapsed_ms) while stunned
    uint32_t pending_action;  // 0 none, 1 open container, 2 attack, 3 use entity
    int32_t object;  // world object of the character, -1 none
    uint8_t part_frame[k_body_parts];  // current animation frame per body part
    int16_t part_model[k_body_parts];  // model registry index per body part of the running clip, -1 none
    int16_t anim_speed;  // animation frame time in 16 ms units
    uint8_t reserved_126[2];
    // five per-body-part values copied from the running clip's move prototype: colour red, green,
    // blue, alpha and scale; 1.0 by default
    float part_values[5][k_body_parts];
    uint8_t part_mode[k_body_parts];  // per-body-part byte of the running clip
    float scale_x;  // model scale
    float scale_y;  // model scale
    float scale_z;  // 1.0
    // current action clip: 0 stand, 1 move, 2 attack, 3 death, 4 hit, 5 spell, 6 special
    uint8_t anim_action;
    uint8_t stand_variant;  // index into clip_stand, 255 none
    int16_t clip_stand[3];  // move prototype ids of "stand1", "stand2"
    uint8_t move_variant;
    uint8_t reserved_653[1];
    int16_t clip_move[4];  // "move1", "move2"
    uint8_t attack_variant;
    uint8_t reserved_663[1];
    int16_t clip_attack[9];  // "attack1" to "attack4"
    uint8_t death_variant;
    uint8_t reserved_683[1];
    int16_t clip_death[4];  // "death1", "death2"
    uint8_t hit_variant;
    uint8_t reserved_693[1];
    int16_t clip_hit[3];  // "hit1", "hit2"
    int16_t clip_spell[5];  // "spell1" to "spell3"
    uint8_t reserved_710[2];
    int16_t clip_special[16];  // "spec1" to "spec6"
    uint32_t state;  // action state of the state machine
    int32_t steps_left;  // state machine step counter
    uint32_t state_arg;  // state argument
    uint8_t reserved_756[8];
    uint32_t next_state;  // state entered after turning
    float goal_x;  // goal of a planned walk
    float goal_y;
    uint8_t reserved_776[112];
    uint8_t melee_base;  // skills: base and current value of each, 0 to 17
    uint8_t melee;
    uint8_t ranged_base;
    uint8_t ranged;
    uint8_t magic_base;
    uint8_t magic;
    uint8_t speed_base;
    uint8_t speed;
    int16_t skill_points;  // unspent skill points
    uint8_t world;  // 0 seen in both worlds, 1 only in the real world, 2 only in the dream world
    uint8_t reserved_899[1];
    int16_t ai_distance;  // distance at which the AI reacts (700 for a new placement)
    uint8_t reserved_902[2];
    int32_t hp_max;  // maximum hit points
    int32_t hp;  // hit points
    int32_t mana_max;  // maximum of the second pool
    int32_t mana;  // second pool
    int32_t level;  // character level, from 1
    int32_t exp;  // experience
    uint8_t dot_kind;  // damage-over-time slot: 0 none, 1 to 3
    uint8_t dot_pulses;  // pulses left
    int16_t dot_damage;  // base damage of a pulse
    uint8_t dot_damage_type;  // damage type of the pulses
    uint8_t frenzy;  // 1 while criticals are certain
    uint8_t armor_break;  // each count lowers the armour class by a fifth (at most 200)
    uint8_t armor_break2;  // number of slowing effects: walking x0.9 each (at most 200)
    uint8_t dot_queue_count;  // queued damage entries, below 16
    uint8_t dot_queue_amount[17];
    uint8_t dot_queue_type[17];
    uint8_t dot_queue_spell[17];  // spell cast with the entry, 255 none
    uint8_t head_variant;  // the hero's head model variant, 0 none
    uint8_t body_variant;  // the hero's body model variant, 0 none
    uint8_t quest_bytes[122];  // bytes of the quest list and interface
    uint8_t inv_count;  // inventory entries in use, at most 200
    uint8_t inv_location[k_inventory_entries];  // inventory_location per entry
    uint8_t reserved_1313[1];
    int16_t inv_item[k_inventory_entries];  // item prototype id per entry
    uint8_t inv_damage_type[k_inventory_entries];  // per entry: damage type of a weapon entry
    int16_t resist[8];  // resistances in percent: magic, fire, cold, lightning, poison, slash, pierce, crush
    uint8_t reserved_1930[2];
    int16_t monster_class;  // index into g_monster_protos
    uint8_t reserved_1934[2];
    char_route route;  // the searched route: next point, count, points
    float path_goal_x;  // goal of the last path search
    float path_goal_y;
    uint32_t run_speed;  // running speed (4 by default)
    float move_correction;  // walking speed factor (1.0)
    uint32_t reserved_word_2024;  // zeroed when the character is read or enters the world
    int16_t target;  // target character slot, -1 none
    int16_t slot;  // own slot in g_chars
    uint32_t selected_spell;  // spell cast in spell mode
    uint32_t next_attack_tick;  // earliest tick of the next attack
    // a map sector record made relative to the character's position: its mouse-focus polygon
    map_sector outline;
    uint32_t following_cursor;  // 1 while the player follows the cursor
    // values set by scripts; flag 1 suppresses the near-dead event, flag 2 the half-dead event
    int16_t script_flags[8];
    uint8_t fade_parts;  // 1: body parts fade out while a play-once animation runs
    uint8_t reserved_2317[3];
    uint32_t struck;  // the player's strike landed
    int16_t difficulty;  // game difficulty 0 to 4 (read from the player's record)
    uint8_t reserved_2326[2];
    uint32_t level_char;  // 1 for a character added by the level (placement, monster point)
    uint8_t reserved_2332[6];
    int16_t facing;  // wanted facing in degrees
    uint8_t reserved_2340[2];
    uint16_t light;  // dynamic light slot of the player's character, 0xFFFF none
    uint8_t interior;  // entity index of the interior the character is in, 255 none
    uint8_t reserved_2345[3];
    uint32_t spell_mode;  // right button casts
    int16_t ai_distance2;  // second copy of the AI distance
    uint8_t reserved_2354[2];
    uint32_t stance;  // combat stance: stand with the second stand clip
    uint32_t stance_until;  // tick at which the stance ends
    uint32_t next_regen_tick;
    uint8_t reserved_2368[4];
    uint32_t next_footstep_tick;
    int16_t monster_point;  // monster point that spawned the character, -1 none
    uint8_t running;  // 1 runs with run_speed and the "move2" clip, 0 walks
    uint8_t walk_speed;  // walking speed
    int16_t loot_container;  // container opened by clicking the corpse, -1 none
    uint8_t reserved_2382[2];
    uint32_t inv_expire[k_inventory_entries];  // per entry: tick at which a timed item runs out
    uint32_t inv_value[k_inventory_entries];  // per entry: amount, charge or container index
    int16_t part_extra_a[k_body_parts];  // per-body-part values of the running clip
    int16_t part_extra_b[k_body_parts];  // per-body-part values of the running clip
    uint8_t part_extra_c[k_body_parts];  // per-body-part values of the running clip
    uint8_t reserved_4104[97];
    char appearance[10];  // model folder name, formatted into "3d/%s/%d/" with anim_set; also the sound names
    uint8_t anim_set;  // animation set number (1 by default)
    float pos_x;  // position at the last update
    float pos_y;
    int16_t hp_ceiling;  // highest value hit points may reach
    int16_t stamina;  // spent by approach attacks
    uint8_t reserved_4224[8];
    uint32_t reserved_word_4232;  // zeroed when the character enters the world
    uint8_t reserved_4236[2];
    int16_t hit_sound_count;
    uint16_t hit_sounds[5];  // sample slots of the "h_%s%d" sounds
    uint8_t reserved_4250[6];
    int16_t death_sound_count;
    uint16_t death_sounds[5];  // sample slots of the "d_%s%d" sounds
    uint8_t reserved_4268[6];
    char speech[80];  // text the character says
    uint8_t reserved_4354[2];
    uint32_t speech_until;  // tick at which the speech ends
    int16_t action_sector;  // map sector of the character's action area
    uint8_t reserved_4362[80];
    uint8_t patrol_point;  // current corner of the action sector
    uint8_t reserved_4443[1];
    float world_fade;  // model opacity 0 to 1: presence in the current world
    uint32_t next_fade_tick;  // next tick of the world fade
    uint32_t next_think;  // earliest tick of the next AI decision
    uint32_t random_move;  // the character wanders at random
    uint8_t bleed_type;  // blood variant
    // character file the character turns into once it has faded down; kept as stored, so a reader
    // bounds it to its 20 bytes
    char change_into[20];
    uint8_t reserved_4481[381];
    char display_name[60];  // name shown to the player; the key name when empty
    uint8_t reserved_4922[2];
    uint32_t inv_timer[k_inventory_entries];  // per entry: second item timer
    uint32_t dot_next_tick;  // next pulse of the damage-over-time slot
    uint32_t critical_until;  // g_elapsed_ms until which criticals are certain
    int16_t active_attunement_count;
    int16_t active_attunements[16];  // attunement item ids chosen as active
    uint8_t reserved_5766[18];
    uint32_t focus_cooldown[4];  // due times of the four focus tiers
    float drawn_alpha;  // alpha the character was last drawn with, 0 when not drawn
    int32_t gold;  // purse
    uint32_t next_damage_tick;  // next tick of the damage-over-time queue
};
static_assert(sizeof(char_record) == 5812);
static_assert(offsetof(char_record, record_flag) == 0);
static_assert(offsetof(char_record, name) == 4);
static_assert(offsetof(char_record, kind) == 24);
static_assert(offsetof(char_record, life) == 25);
static_assert(offsetof(char_record, range) == 28);
static_assert(offsetof(char_record, home_sector) == 32);
static_assert(offsetof(char_record, last_step_ms) == 36);
static_assert(offsetof(char_record, pending_target) == 40);
static_assert(offsetof(char_record, pending_action) == 44);
static_assert(offsetof(char_record, object) == 48);
static_assert(offsetof(char_record, part_frame) == 52);
static_assert(offsetof(char_record, part_model) == 76);
static_assert(offsetof(char_record, anim_speed) == 124);
static_assert(offsetof(char_record, part_values) == 128);
static_assert(offsetof(char_record, part_mode) == 608);
static_assert(offsetof(char_record, scale_x) == 632);
static_assert(offsetof(char_record, scale_y) == 636);
static_assert(offsetof(char_record, scale_z) == 640);
static_assert(offsetof(char_record, anim_action) == 644);
static_assert(offsetof(char_record, stand_variant) == 645);
static_assert(offsetof(char_record, clip_stand) == 646);
static_assert(offsetof(char_record, move_variant) == 652);
static_assert(offsetof(char_record, clip_move) == 654);
static_assert(offsetof(char_record, attack_variant) == 662);
static_assert(offsetof(char_record, clip_attack) == 664);
static_assert(offsetof(char_record, death_variant) == 682);
static_assert(offsetof(char_record, clip_death) == 684);
static_assert(offsetof(char_record, hit_variant) == 692);
static_assert(offsetof(char_record, clip_hit) == 694);
static_assert(offsetof(char_record, clip_spell) == 700);
static_assert(offsetof(char_record, clip_special) == 712);
static_assert(offsetof(char_record, state) == 744);
static_assert(offsetof(char_record, steps_left) == 748);
static_assert(offsetof(char_record, state_arg) == 752);
static_assert(offsetof(char_record, next_state) == 764);
static_assert(offsetof(char_record, goal_x) == 768);
static_assert(offsetof(char_record, goal_y) == 772);
static_assert(offsetof(char_record, melee_base) == 888);
static_assert(offsetof(char_record, skill_points) == 896);
static_assert(offsetof(char_record, world) == 898);
static_assert(offsetof(char_record, ai_distance) == 900);
static_assert(offsetof(char_record, hp_max) == 904);
static_assert(offsetof(char_record, hp) == 908);
static_assert(offsetof(char_record, mana_max) == 912);
static_assert(offsetof(char_record, mana) == 916);
static_assert(offsetof(char_record, level) == 920);
static_assert(offsetof(char_record, exp) == 924);
static_assert(offsetof(char_record, dot_kind) == 928);
static_assert(offsetof(char_record, dot_pulses) == 929);
static_assert(offsetof(char_record, dot_damage) == 930);
static_assert(offsetof(char_record, dot_damage_type) == 932);
static_assert(offsetof(char_record, frenzy) == 933);
static_assert(offsetof(char_record, armor_break) == 934);
static_assert(offsetof(char_record, armor_break2) == 935);
static_assert(offsetof(char_record, dot_queue_count) == 936);
static_assert(offsetof(char_record, dot_queue_amount) == 937);
static_assert(offsetof(char_record, dot_queue_type) == 954);
static_assert(offsetof(char_record, dot_queue_spell) == 971);
static_assert(offsetof(char_record, head_variant) == 988);
static_assert(offsetof(char_record, body_variant) == 989);
static_assert(offsetof(char_record, quest_bytes) == 990);
static_assert(offsetof(char_record, inv_count) == 1112);
static_assert(offsetof(char_record, inv_location) == 1113);
static_assert(offsetof(char_record, inv_item) == 1314);
static_assert(offsetof(char_record, inv_damage_type) == 1714);
static_assert(offsetof(char_record, resist) == 1914);
static_assert(offsetof(char_record, monster_class) == 1932);
static_assert(offsetof(char_record, route) == 1936);
static_assert(offsetof(char_record, path_goal_x) == 2008);
static_assert(offsetof(char_record, path_goal_y) == 2012);
static_assert(offsetof(char_record, run_speed) == 2016);
static_assert(offsetof(char_record, move_correction) == 2020);
static_assert(offsetof(char_record, reserved_word_2024) == 2024);
static_assert(offsetof(char_record, target) == 2028);
static_assert(offsetof(char_record, slot) == 2030);
static_assert(offsetof(char_record, selected_spell) == 2032);
static_assert(offsetof(char_record, next_attack_tick) == 2036);
static_assert(offsetof(char_record, outline) == 2040);
static_assert(offsetof(char_record, following_cursor) == 2296);
static_assert(offsetof(char_record, script_flags) == 2300);
static_assert(offsetof(char_record, fade_parts) == 2316);
static_assert(offsetof(char_record, struck) == 2320);
static_assert(offsetof(char_record, difficulty) == 2324);
static_assert(offsetof(char_record, level_char) == 2328);
static_assert(offsetof(char_record, facing) == 2338);
static_assert(offsetof(char_record, light) == 2342);
static_assert(offsetof(char_record, interior) == 2344);
static_assert(offsetof(char_record, spell_mode) == 2348);
static_assert(offsetof(char_record, ai_distance2) == 2352);
static_assert(offsetof(char_record, stance) == 2356);
static_assert(offsetof(char_record, stance_until) == 2360);
static_assert(offsetof(char_record, next_regen_tick) == 2364);
static_assert(offsetof(char_record, next_footstep_tick) == 2372);
static_assert(offsetof(char_record, monster_point) == 2376);
static_assert(offsetof(char_record, running) == 2378);
static_assert(offsetof(char_record, walk_speed) == 2379);
static_assert(offsetof(char_record, loot_container) == 2380);
static_assert(offsetof(char_record, inv_expire) == 2384);
static_assert(offsetof(char_record, inv_value) == 3184);
static_assert(offsetof(char_record, part_extra_a) == 3984);
static_assert(offsetof(char_record, part_extra_b) == 4032);
static_assert(offsetof(char_record, part_extra_c) == 4080);
static_assert(offsetof(char_record, appearance) == 4201);
static_assert(offsetof(char_record, anim_set) == 4211);
static_assert(offsetof(char_record, pos_x) == 4212);
static_assert(offsetof(char_record, pos_y) == 4216);
static_assert(offsetof(char_record, hp_ceiling) == 4220);
static_assert(offsetof(char_record, stamina) == 4222);
static_assert(offsetof(char_record, reserved_word_4232) == 4232);
static_assert(offsetof(char_record, hit_sound_count) == 4238);
static_assert(offsetof(char_record, hit_sounds) == 4240);
static_assert(offsetof(char_record, death_sound_count) == 4256);
static_assert(offsetof(char_record, death_sounds) == 4258);
static_assert(offsetof(char_record, speech) == 4274);
static_assert(offsetof(char_record, speech_until) == 4356);
static_assert(offsetof(char_record, action_sector) == 4360);
static_assert(offsetof(char_record, patrol_point) == 4442);
static_assert(offsetof(char_record, world_fade) == 4444);
static_assert(offsetof(char_record, next_fade_tick) == 4448);
static_assert(offsetof(char_record, next_think) == 4452);
static_assert(offsetof(char_record, random_move) == 4456);
static_assert(offsetof(char_record, bleed_type) == 4460);
static_assert(offsetof(char_record, change_into) == 4461);
static_assert(offsetof(char_record, display_name) == 4862);
static_assert(offsetof(char_record, inv_timer) == 4924);
static_assert(offsetof(char_record, dot_next_tick) == 5724);
static_assert(offsetof(char_record, critical_until) == 5728);
static_assert(offsetof(char_record, active_attunement_count) == 5732);
static_assert(offsetof(char_record, active_attunements) == 5734);
static_assert(offsetof(char_record, focus_cooldown) == 5784);
static_assert(offsetof(char_record, drawn_alpha) == 5800);
static_assert(offsetof(char_record, gold) == 5804);
static_assert(offsetof(char_record, next_damage_tick) == 5808);

// The record as files store it: k_char_record_size bytes, little-endian, at the offsets above.
// Decoding terminates the texts (name, appearance, speech, display name) within their fields
// and holds the outline's point count to 0 to 20.
void encode_char_record(const char_record& record, uint8_t* bytes);
void decode_char_record(const uint8_t* bytes, char_record* record);
