// What the side panel and the container windows share: the panel's origin on the screen, the
// cursor tests in panel coordinates, and the drawing of one 32 x 32 cell.
#pragma once

#include <cstdint>

constexpr float k_panel_x0 = 0.0f;  // the panel origin in screen pixels
constexpr float k_panel_y0 = 45.0f;

// The cursor in panel coordinates lies in [x1, x2) x [y1, y2).
bool cursor_in(float x1, float y1, float x2, float y2);
// The cursor lies strictly between the bounds on all four sides.
bool cursor_strictly_in(float x1, float y1, float x2, float y2);

// At a cell whose top-left corner is (x, y) in panel coordinates: the slot-box background; the
// translucent tint of a damage-type byte 4 to 7 (others draw none); a texture centred on the
// cell, skipped for no texture (0xFFFF).
void draw_cell_background(float x, float y);
void draw_damage_tint(float x, float y, uint8_t damage_type);
void draw_cell_icon(uint16_t texture, float x, float y);
