// Animated cubic Bezier curves in world coordinates whose progress runs from 0 to 1 over time.
//
// A missile keeps the slot index of its curve; the main loop advances every active curve once
// every 4 ticks at most, 0.005 a step, so a curve runs its course in about 200 steps.
#pragma once

#include <cstdint>

struct curve_point {
    float x, y;
};

struct curve {
    uint8_t active;          // 1 while the progress runs
    curve_point p0, p1, p2, p3;
    float draw_t;            // parameter of the drawing loop
    curve_point c0, c1, c2, c3;  // B(t) = c0 + c1 t + c2 t^2 + c3 t^3
    curve_point current;     // the last point computed (p0 after curve_init)
    curve_point previous;
    float progress;          // 0 to 1
    float step;              // progress per step, 0.005
};

constexpr int k_curve_slots = 101;

extern curve g_curves[k_curve_slots];
extern int16_t g_curve_count;        // slots 0 to count-1 are in use or free (active 0)
extern uint32_t g_curve_next_tick;   // update_curves steps once g_ticks is above it

// Stores the points and coefficients; current = p0, progress 0, step 0.005, active.
void curve_init(curve* c, float p0x, float p0y, float p1x, float p1y, float p2x, float p2y, float p3x,
                float p3y);

// A curve from the lower of the two points (larger y; (x1, y1) on a tie) to the other, bowing
// toward the left edge of the view. Takes the last free slot below the count, else appends;
// -1 when all slots are taken.
int16_t create_curve(float x0, float y0, float x1, float y1);

// Once g_ticks is above the stored tick: every active curve advances one step, and the next
// step is due 3 ticks on.
void update_curves();

// An active curve gains one step of progress and stops at 1.0.
void advance_curve(curve* c);

// The point at the current progress.
float curve_x(const curve* c);
float curve_y(const curve* c);

// Steps the drawing parameter from 0 by 0.005 while below 1, moving current to B(draw_t) and
// previous to the point before it, and draws a red world line from previous to current; the
// first segment joins the point the last call left (p0 after curve_init) to B(0).
void draw_curve(curve* c);
