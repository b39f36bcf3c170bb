// The characters' action state machines, one frame each. States shared by every machine:
// 0 idle, 1 plan a path, 2 set up the next leg, 3 walk a leg, 4 strike, 5 hit reaction, 6 turn,
// 7 recover, 8 follow the cursor (player), 9 knocked back, 10 fade out, 11 fade in, 12 stunned.
// A machine ignores the states it does not handle.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

enum char_state : uint32_t {
    k_state_idle = 0,
    k_state_plan_path = 1,
    k_state_next_leg = 2,
    k_state_walk_leg = 3,
    k_state_strike = 4,
    k_state_hit = 5,
    k_state_turn = 6,
    k_state_recover = 7,
    k_state_follow_cursor = 8,
    k_state_knocked_back = 9,
    k_state_fade_out = 10,
    k_state_fade_in = 11,
    k_state_stunned = 12,
};

// Pending actions carried out when the player arrives.
enum pending_action_kind : uint32_t {
    k_pending_none = 0,
    k_pending_container = 1,
    k_pending_attack = 2,
    k_pending_entity = 3,
};
constexpr uint32_t k_strike_done = 4;  // pending_target after a strike

// Runs the machine of the character's kind for one frame.
void update_char(char_record* c, int32_t slot);
// The PLAYER's machine: the mouse becomes walking, talking, looting and attacks. A left press
// that another place took (take_left_press) does nothing here while it is held; a click that
// starts a talk or aims at an entity takes its press. While a window that takes the pointer is
// open (pointer_taking_window_open) the hero stands: a walk, turn or follow ends where it is.
void update_player_char(char_record* c, int32_t slot);
// The ENEMY's machine, while the AI is on: melee attacks from a place around the player, ranged
// shots along a straight way, patrols of the action sector, knock-back, fades and the stun.
void update_enemy_char(char_record* c, int32_t slot);
// The NORMAL and NETPLAYER machine: strolls the action sector's corners or plays the special
// animation now and then, and strikes back at a target it was given.
void update_normal_char(char_record* c, int32_t slot);
// The SIDEKICK machine: strikes the player's target when it is in reach, else strolls.
void update_sidekick_char(char_record* c, int32_t slot);
