// What every character state machine shares: facing a point, distances and reach, the path plan,
// the set-up and walk of a route leg, the turn, the animation frames a state waits for,
// footsteps and water circles.
//
// Positions are those of the character's world object; a character without one does not move,
// turn or plan, and is 10000 away from everything. Walking and turning run on the system
// millisecond count (clock_ms), one step per elapsed millisecond.
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

// The character's world-object position; false (and 0, 0) without a world object.
bool char_position(const char_record& c, float* x, float* y);
// The distance between the two characters' world objects.
float char_distance(const char_record& a, const char_record& b);
// truncate((the weapon's reach, or 100 without a weapon) x the level's scale factor).
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
// The reference part has reached the strike frame: the weapon's strike frame when a weapon is
// held, else the last frame, and never a frame beyond the last (true without a reference part).
bool at_strike_frame(const char_record& c);

// State 1: searches a route on the movement map from the own cell to the goal's cell (goal_x,
// goal_y, which also become the path goal). With a route: state 2 and the move animation;
// without one: state 0 and the stand animation.
void plan_path(char_record* c);

// State 2: sets up the leg toward the route point at route_index: the step vector of one
// millisecond in goal_x, goal_y, the milliseconds of the leg in steps_left, the facing, then a
// turn (state 6) into state 3. A point closer than 2 pixels on both axes is skipped; an exhausted
// route ends in state 0.
void set_up_next_leg(char_record* c);

// The step vector toward a point at (dx, dy) = own position - point: (dx, dy) / n / 4 with n the
// larger of |dx| and |dy| truncated (dy on a tie) into goal_x, goal_y. Returns n, 0 (and nothing
// set) when the point is closer than 2 pixels on both axes.
int32_t set_step_vector(char_record* c, float dx, float dy);

// How a machine walks a leg.
struct leg_walk_rules {
    float factor;           // multiplies every step
    bool test_final_cells;  // near the end of the final leg, stop before a cell it cannot stand on
};
// The attunement that makes its holder walk 1.25 times as fast.
constexpr int16_t k_swift_attunement = 240;

enum class leg_result { walking, next_leg, stopped };
// State 3's movement: one step of goal_x, goal_y x move_correction x scale x speed x 0.08 x
// factor per elapsed millisecond. When the leg's milliseconds run out: state 2 while route_index
// <= route_count, else a stop. A stop is state 0 with the stand animation.
leg_result walk_leg(char_record* c, uint32_t elapsed, const leg_walk_rules& rules);

// When a turn looks whether it has arrived.
enum class turn_end_test {
    after_step,   // after each one-degree step: within 2 degrees
    before_step,  // before each one-degree step: within less than 3 degrees
};
// State 6: turns the world object one degree per elapsed millisecond toward facing, the short way
// round (through 360 when that is shorter), with the move animation; once near enough the turn
// ends on facing and the state becomes next_state.
void turn_toward_facing(char_record* c, turn_end_test test = turn_end_test::after_step);

// State 7: once the reference part shows its last frame, the stand animation in loop mode and
// state 0. True when the recovery ended.
bool end_recovery(char_record* c);

// The end of the combat stance when its tick has passed: the running action's clip restarts
// without it.
void end_expired_stance(char_record* c);

// States 10 and 11: every 2 ticks the world object's alpha falls (fade out) or rises (fade in)
// by 0.05; below 0 it ends at 0, above 1 at 1, and the state becomes 0. last_step_ms holds the
// tick of the last step; a value ahead of g_ticks (left by walking, which counts milliseconds)
// lets the next step come at once.
void step_fade(char_record* c, bool fade_in);

// A footstep every 25 ticks while walking.
void step_footsteps(char_record* c, int32_t slot);
// One water circle at the character for every sector in use of type 5 that contains it.
void spawn_water_circles_under(const char_record& c);
