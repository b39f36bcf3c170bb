// What every character state machine shares: facing a point, distances and reach, the path plan,
// the patrol of an action sector, the set-up and walk of a route leg, the turn, the animation
// frames a state waits for, the hit reaction, recovery and fade steps, the combat stance,
// footsteps, water circles, interiors and the encounter event.
//
// Positions are those of the character's world object; a character without one does not move,
// turn or plan, and is 10000 away from everything. The player's, the enemies' and the ordinary
// characters' walking and turning run on the system millisecond count (clock_ms), one step per
// elapsed millisecond; the sidekick's run on ticks.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

constexpr int32_t k_unarmed_reach = 100;
constexpr uint32_t k_stall_ms = 1000;  // an elapsed time above it counts as one millisecond
constexpr float k_speed_unit = 0.08f;  // turns a speed value into the length factor of a one-millisecond step

// The facing toward (point_x, point_y) from (x, y), 0 to 359: a = atan(dx / dy) in degrees,
// truncated, with (dx, dy) = own position - point (+/-90 when dy is 0); a when the point lies
// below (greater y), else 180 + a. `current` when the point is the own position.
int16_t facing_toward(float x, float y, float point_x, float point_y, int16_t current);
// Sets the character's facing toward the point.
void face_point(char_record* c, float x, float y);
// Sets the facing and turns the world object to it at once.
void face_and_set(char_record* c, float x, float y);

// Whether a machine that the overlay menu holds runs this frame: only for a living character
// (life 2), and not while the menu is open, when the character stands instead.
bool machine_runs(char_record* c);

// The character's world-object position; false (and 0, 0) without a world object.
bool char_position(const char_record& c, float* x, float* y);
// The distance between the two characters' world objects.
float char_distance(const char_record& a, const char_record& b);
// The weapon's reach, or 100 without a weapon.
int32_t char_weapon_reach(const char_record& c);
// truncate(char_weapon_reach x the level's scale factor).
int32_t char_reach(const char_record& c);
// The target is nearer than the character's reach (equal is out of reach).
bool char_in_reach(const char_record& c, const char_record& target);

// The speed value used for walking: run_speed while running, else walk_speed.
float char_move_speed(const char_record& c);
// The world object's animation mode, when it has one.
void set_char_object_anim_mode(char_record* c, int32_t mode);

// Milliseconds since last_step_ms, as movement steps: 1 when none passed or more than stall_ms;
// last_step_ms becomes now.
uint32_t take_elapsed_ms(char_record* c, uint32_t now, uint32_t stall_ms = k_stall_ms);

// The first body part with a loaded model, or -1.
int32_t reference_body_part(const char_record& c);
// The reference part shows its model's last frame (true without a reference part).
bool at_last_frame(const char_record& c);
// The reference part has reached `frame`, or its model's last frame when that comes first (true
// without a reference part).
bool at_frame(const char_record& c, int32_t frame);
// The reference part has reached the strike frame: the weapon's strike frame when a weapon is
// held, else the last frame, and never a frame beyond the last (true without a reference part).
bool at_strike_frame(const char_record& c);

// State 1: searches a route on the movement map from the own cell to the goal's cell (goal_x,
// goal_y, which also become the path goal). With a route: state 2 and the move animation;
// without one: state 0 and the stand animation.
void plan_path(char_record* c);

// State 2: sets up the leg toward the route point at route_index: the step vector of one
// millisecond in goal_x, goal_y, the steps of the leg in steps_left, the facing, then a turn
// (state 6) into state 3. A point closer than 2 pixels on both axes is skipped; an exhausted route
// ends in state 0. The steps are 4n / scale, divided by the speed (run_speed x 0.08) unless
// `speed_in_steps` is false (the walk then repeats its steps by the speed instead).
void set_up_next_leg(char_record* c, bool speed_in_steps = true);

struct map_sector;
// The character's action sector (1 to 99; 0 none) when it names a sector in use (below the sector
// count and active) with corner points; null otherwise.
const map_sector* patrol_sector(const char_record& c);
// The patrol of the action sector: the next corner (patrol_point + 1, back to 0 past the last;
// with `at_random` another corner than the current one, drawn at random) becomes the goal of a
// path plan (state 1). Without a patrol_sector nothing changes (false); a sector with a single
// corner keeps going to it.
bool patrol_next_corner(char_record* c, bool at_random);

// The step vector toward a point at (dx, dy) = own position - point: (dx, dy) / n / 4 with n the
// larger of |dx| and |dy| truncated (dy on a tie) into goal_x, goal_y. Returns n, 0 (and nothing
// set) when the point is closer than 2 pixels on both axes.
int32_t set_step_vector(char_record* c, float dx, float dy);

constexpr int32_t k_final_leg_test_steps = 50;
// How a machine walks a leg.
struct leg_walk_rules {
    float factor;           // multiplies every step
    bool test_final_cells;  // near the end of the final leg, stop before a cell it cannot stand on
    int32_t final_test_steps = k_final_leg_test_steps;  // "near the end": fewer steps left than this
    bool speed_scaled = true;       // a step is also x speed x 0.08
    bool moves_cursor = false;      // the cursor's world position moves with it on each axis the
                                    // camera is not held at the scene's bounds
    bool final_leg_ends_walk = false;  // the final leg's end is a stop, not state 2
};
// 1.25 while the character holds attunement 240, which makes its holder walk faster; else 1.
float swift_factor(const char_record& c);

enum class leg_result { walking, next_leg, stopped };
// State 3's movement: `steps` steps of goal_x, goal_y x move_correction x scale (x speed x 0.08
// when speed_scaled) x factor. When the leg's steps run out: state 2 while route_index <=
// route_count (< with final_leg_ends_walk), else a stop. A stop is state 0 with the stand
// animation.
leg_result walk_leg(char_record* c, uint32_t steps, const leg_walk_rules& rules);

// When a turn looks whether it has arrived.
enum class turn_end_test {
    after_step,   // after each step
    before_step,  // before each step
};
// State 6: turns the world object one degree per elapsed millisecond toward facing, the short way
// round (through 360 when that is shorter), with the move animation; within 2 degrees the turn
// ends on facing and the state becomes next_state. An elapsed time above stall_ms counts as one.
void turn_toward_facing(char_record* c, uint32_t stall_ms = k_stall_ms,
                        turn_end_test test = turn_end_test::after_step);
// The turn's steps: `steps` times `degrees` toward facing by the same rule, each with the move
// animation; the turn ends on facing once the angle is less than `done_below` degrees from it,
// tested after or before each step. True when it ended.
bool turn_steps(char_record* c, uint32_t steps, int32_t degrees, int32_t done_below,
                turn_end_test test = turn_end_test::after_step);

// Ticks since last_step_ms for the per-tick steps: 0 when more than 30 (or the clock went back);
// last_step_ms becomes g_ticks.
uint32_t take_elapsed_ticks(char_record* c);

// State 5: the hit animation plays once; at its last frame blood of the given variant at the
// character, the looping animation mode, the stand animation, state 0, pending_target and
// pending_action 0. True when the reaction ended this frame.
bool step_hit_reaction(char_record* c, uint8_t blood_type);
// State 7: at the reference part's last frame the looping animation mode, the stand animation and
// state 0. True when the recovery ended this frame.
bool step_recover(char_record* c);
// States 10 (fade out) and 11 (fade in): every 2 ticks the world object's alpha falls or rises by
// 0.05; past 0 or 1 it is held there and the state becomes 0, as it does at once without a world
// object. last_step_ms holds the tick of the last step; a value ahead of g_ticks (left by walking,
// which counts milliseconds) lets the next step come at once.
void step_fade(char_record* c);

// Ends the combat stance once stance_until has passed, restarting the current action.
void expire_stance(char_record* c);
// Unless the dream world is active: every `period` ticks (next_regen_tick) mana + 1, up to
// mana_max.
void regenerate_mana(char_record* c, uint32_t period);
// The character takes every interior entity (type 1) whose sector contains it: interior = the
// entity, and its world object takes the player's object's depth offset.
void enter_interiors_under(char_record* c);
// The encounter event (character event 1) of a visible character in the player's interior whose
// first script value is 0, while it is nearer than 400 to the player.
void run_encounter_when_near(const char_record& c, int32_t slot);

// A footstep every 25 ticks while walking.
void step_footsteps(char_record* c, int32_t slot);
// One water circle at the character for every sector in use of type 5 that contains it.
void spawn_water_circles_under(const char_record& c);
