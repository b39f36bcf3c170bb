// Lines, rectangles and points drawn straight on the device, in world pixels (camera and zoom
// applied) or screen pixels, and the editor's cursor marker with its snap grid.
//
// Every shape goes through the projection the quads and models use, so it lines up with them
// at every screen size and zoom. Its colour is a lit material (diffuse = ambient = the colour,
// no specular or emissive), so the scene's ambient light and lights shade it. Colour components
// and alpha run from 0 to 1. Nothing is drawn while there is no device.
#pragma once

#include <cstdint>

void draw_world_line(float x1, float y1, float x2, float y2, float r, float g, float b, float a);
void draw_screen_line(float x1, float y1, float x2, float y2, float r, float g, float b, float a);

// Four lines: (x1, y1)-(x1, y2), (x2, y1)-(x2, y2), (x1, y1)-(x2, y1), (x1, y2)-(x2, y2).
void draw_world_rect_outline(float x1, float y1, float x2, float y2, float r, float g, float b, float a);
void draw_screen_rect_outline(float x1, float y1, float x2, float y2, float r, float g, float b, float a);

// The looks of draw_colored_rect.
enum : int16_t {
    k_rect_plain = 0, // untextured, in the colour
    k_rect_black = 1, // "global/black.tga" under white at the alpha
    k_rect_green = 2, // "global/green.tga"
    k_rect_red = 3,   // "global/red.tga"
    k_rect_blue = 4,  // "global/blue.tga"
};
// A filled screen rectangle; a mode other than those above draws with whatever texture and
// material the device holds.
void draw_colored_rect(float x1, float y1, float x2, float y2, float r, float g, float b, float a, int16_t mode);
// A screen rectangle filled with the text-window background, tinted by the colour; it leaves
// linear mip filtering on.
void draw_screen_rect_textured(float x1, float y1, float x2, float y2, float r, float g, float b, float a);
void draw_world_filled_rect(float x1, float y1, float x2, float y2, float r, float g, float b, float a);
void draw_world_point(float x, float y, float r, float g, float b, float a);

// The view's span in world units (screen size / zoom); false when the zoom gives none (0,
// below 0 or not finite).
bool cursor_grid_span(float* sx, float* sy);
// White unlit dots on the diamond lattice of 32 × 64 cells with a dot in each centre, from one
// cell left of and above the cell of world (mx, my) across a view of sx × sy units.
void draw_cursor_grid(float mx, float my, float sx, float sy);
// Where the cursor marker goes for the mouse at world (mx, my) with the grid on: the last point
// of the lattice of 16 × 32 cells with a point in each centre, searched over a view of
// sx × sy units, that lies strictly within 4 units of the mouse on both axes; else the mouse
// position itself.
void snap_to_cursor_grid(float mx, float my, float sx, float sy, float* x, float* y);

// Called once per frame by the main loop; does nothing.
void empty_frame_hook();
