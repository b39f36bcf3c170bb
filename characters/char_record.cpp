#include "characters/char_record.h"

#include "engine/record_io.h"

#include <iterator>
#include <type_traits>

namespace {

template <class Io, class Array>
void i16_array(Io& io, uint32_t at, Array& a)
{
    for (uint32_t i = 0; i < std::size(a); ++i)
        io.i16(at + 2 * i, a[i]);
}

template <class Io, class Array>
void u16_array(Io& io, uint32_t at, Array& a)
{
    for (uint32_t i = 0; i < std::size(a); ++i)
        io.u16(at + 2 * i, a[i]);
}

template <class Io, class Array>
void u32_array(Io& io, uint32_t at, Array& a)
{
    for (uint32_t i = 0; i < std::size(a); ++i)
        io.u32(at + 4 * i, a[i]);
}

template <class Io, class Array>
void bytes_of(Io& io, uint32_t at, Array& a)
{
    io.bytes(at, a, uint32_t(sizeof a));
}

// Every byte of the 5,812-byte record, reserved ones included.
template <class Io, class Record>
void char_fields(Io& io, Record& c)
{
    io.u32(0, c.record_flag);
    io.text(4, c.name, uint32_t(sizeof c.name));
    io.u8(24, c.kind);
    io.u8(25, c.life);
    bytes_of(io, 26, c.reserved_26);
    io.i32(28, c.range);
    io.i32(32, c.home_sector);
    io.u32(36, c.last_step_ms);
    io.u32(40, c.pending_target);
    io.u32(44, c.pending_action);
    io.i32(48, c.object);
    bytes_of(io, 52, c.part_frame);
    i16_array(io, 76, c.part_model);
    io.i16(124, c.anim_speed);
    bytes_of(io, 126, c.reserved_126);
    for (uint32_t k = 0; k < 5; ++k)
        for (uint32_t p = 0; p < k_body_parts; ++p)
            io.f32(128 + 4 * (k * k_body_parts + p), c.part_values[k][p]);
    bytes_of(io, 608, c.part_mode);
    io.f32(632, c.scale_x);
    io.f32(636, c.scale_y);
    io.f32(640, c.scale_z);
    io.u8(644, c.anim_action);
    io.u8(645, c.stand_variant);
    i16_array(io, 646, c.clip_stand);
    io.u8(652, c.move_variant);
    bytes_of(io, 653, c.reserved_653);
    i16_array(io, 654, c.clip_move);
    io.u8(662, c.attack_variant);
    bytes_of(io, 663, c.reserved_663);
    i16_array(io, 664, c.clip_attack);
    io.u8(682, c.death_variant);
    bytes_of(io, 683, c.reserved_683);
    i16_array(io, 684, c.clip_death);
    io.u8(692, c.hit_variant);
    bytes_of(io, 693, c.reserved_693);
    i16_array(io, 694, c.clip_hit);
    i16_array(io, 700, c.clip_spell);
    bytes_of(io, 710, c.reserved_710);
    i16_array(io, 712, c.clip_special);
    io.u32(744, c.state);
    io.i32(748, c.steps_left);
    io.u32(752, c.state_arg);
    bytes_of(io, 756, c.reserved_756);
    io.u32(764, c.next_state);
    io.f32(768, c.goal_x);
    io.f32(772, c.goal_y);
    bytes_of(io, 776, c.reserved_776);
    io.u8(888, c.melee_base);
    io.u8(889, c.melee);
    io.u8(890, c.ranged_base);
    io.u8(891, c.ranged);
    io.u8(892, c.magic_base);
    io.u8(893, c.magic);
    io.u8(894, c.speed_base);
    io.u8(895, c.speed);
    io.i16(896, c.skill_points);
    io.u8(898, c.world);
    bytes_of(io, 899, c.reserved_899);
    io.i16(900, c.ai_distance);
    bytes_of(io, 902, c.reserved_902);
    io.i32(904, c.hp_max);
    io.i32(908, c.hp);
    io.i32(912, c.mana_max);
    io.i32(916, c.mana);
    io.i32(920, c.level);
    io.i32(924, c.exp);
    io.u8(928, c.dot_kind);
    io.u8(929, c.dot_pulses);
    io.i16(930, c.dot_damage);
    io.u8(932, c.dot_damage_type);
    io.u8(933, c.frenzy);
    io.u8(934, c.armor_break);
    io.u8(935, c.armor_break2);
    io.u8(936, c.dot_queue_count);
    bytes_of(io, 937, c.dot_queue_amount);
    bytes_of(io, 954, c.dot_queue_type);
    bytes_of(io, 971, c.dot_queue_spell);
    io.u8(988, c.head_variant);
    io.u8(989, c.body_variant);
    bytes_of(io, 990, c.quest_bytes);
    io.u8(1112, c.inv_count);
    bytes_of(io, 1113, c.inv_location);
    bytes_of(io, 1313, c.reserved_1313);
    i16_array(io, 1314, c.inv_item);
    bytes_of(io, 1714, c.inv_damage_type);
    i16_array(io, 1914, c.resist);
    bytes_of(io, 1930, c.reserved_1930);
    io.i16(1932, c.monster_class);
    bytes_of(io, 1934, c.reserved_1934);
    io.u32(1936, c.route.route_index);
    io.i32(1940, c.route.route_count);
    for (uint32_t i = 0; i < k_route_points; ++i) {
        io.i16(1944 + 4 * i, c.route.route[i].x);
        io.i16(1946 + 4 * i, c.route.route[i].y);
    }
    io.f32(2008, c.path_goal_x);
    io.f32(2012, c.path_goal_y);
    io.u32(2016, c.run_speed);
    io.f32(2020, c.move_correction);
    io.u32(2024, c.reserved_word_2024);
    io.i16(2028, c.target);
    io.i16(2030, c.slot);
    io.u32(2032, c.selected_spell);
    io.u32(2036, c.next_attack_tick);
    if constexpr (std::is_const_v<Record>)
        encode_map_sector(c.outline, io.p + 2040);
    else
        decode_map_sector(io.p + 2040, &c.outline);
    io.u32(2296, c.following_cursor);
    i16_array(io, 2300, c.script_flags);
    io.u8(2316, c.fade_parts);
    bytes_of(io, 2317, c.reserved_2317);
    io.u32(2320, c.struck);
    io.i16(2324, c.difficulty);
    bytes_of(io, 2326, c.reserved_2326);
    io.u32(2328, c.level_char);
    bytes_of(io, 2332, c.reserved_2332);
    io.i16(2338, c.facing);
    bytes_of(io, 2340, c.reserved_2340);
    io.u16(2342, c.light);
    io.u8(2344, c.interior);
    bytes_of(io, 2345, c.reserved_2345);
    io.u32(2348, c.spell_mode);
    io.i16(2352, c.ai_distance2);
    bytes_of(io, 2354, c.reserved_2354);
    io.u32(2356, c.stance);
    io.u32(2360, c.stance_until);
    io.u32(2364, c.next_regen_tick);
    bytes_of(io, 2368, c.reserved_2368);
    io.u32(2372, c.next_footstep_tick);
    io.i16(2376, c.monster_point);
    io.u8(2378, c.running);
    io.u8(2379, c.walk_speed);
    io.i16(2380, c.loot_container);
    bytes_of(io, 2382, c.reserved_2382);
    u32_array(io, 2384, c.inv_expire);
    u32_array(io, 3184, c.inv_value);
    i16_array(io, 3984, c.part_extra_a);
    i16_array(io, 4032, c.part_extra_b);
    bytes_of(io, 4080, c.part_extra_c);
    bytes_of(io, 4104, c.reserved_4104);
    io.text(4201, c.appearance, uint32_t(sizeof c.appearance));
    io.u8(4211, c.anim_set);
    io.f32(4212, c.pos_x);
    io.f32(4216, c.pos_y);
    io.i16(4220, c.hp_ceiling);
    io.i16(4222, c.stamina);
    bytes_of(io, 4224, c.reserved_4224);
    io.u32(4232, c.reserved_word_4232);
    bytes_of(io, 4236, c.reserved_4236);
    io.i16(4238, c.hit_sound_count);
    u16_array(io, 4240, c.hit_sounds);
    bytes_of(io, 4250, c.reserved_4250);
    io.i16(4256, c.death_sound_count);
    u16_array(io, 4258, c.death_sounds);
    bytes_of(io, 4268, c.reserved_4268);
    io.text(4274, c.speech, uint32_t(sizeof c.speech));
    bytes_of(io, 4354, c.reserved_4354);
    io.u32(4356, c.speech_until);
    io.i16(4360, c.action_sector);
    bytes_of(io, 4362, c.reserved_4362);
    io.u8(4442, c.patrol_point);
    bytes_of(io, 4443, c.reserved_4443);
    io.f32(4444, c.world_fade);
    io.u32(4448, c.next_fade_tick);
    io.u32(4452, c.next_think);
    io.u32(4456, c.random_move);
    io.u8(4460, c.bleed_type);
    bytes_of(io, 4461, c.change_into);
    bytes_of(io, 4481, c.reserved_4481);
    io.text(4862, c.display_name, uint32_t(sizeof c.display_name));
    bytes_of(io, 4922, c.reserved_4922);
    u32_array(io, 4924, c.inv_timer);
    io.u32(5724, c.dot_next_tick);
    io.u32(5728, c.critical_until);
    io.i16(5732, c.active_attunement_count);
    i16_array(io, 5734, c.active_attunements);
    bytes_of(io, 5766, c.reserved_5766);
    u32_array(io, 5784, c.focus_cooldown);
    io.f32(5800, c.drawn_alpha);
    io.i32(5804, c.gold);
    io.u32(5808, c.next_damage_tick);
}

} // namespace

void encode_char_record(const char_record& record, uint8_t* bytes)
{
    record_writer out{bytes};
    char_fields(out, record);
}

void decode_char_record(const uint8_t* bytes, char_record* record)
{
    record_reader in{bytes};
    char_fields(in, *record);
}
