// The quad family: a texture slot drawn on a lit, textured quad of the device, in world pixels
// (camera and zoom applied) or screen pixels, with colour, alpha, scale, flip mode and texture
// offsets; and sprites drawn at screen pixels without lighting.
//
// Coordinates: a world point goes to screen pixels as (x - g_camera_x) × g_zoom, and screen
// pixels to view units around the screen centre with k = g_screen_width / 640 × 50.7 pixels per
// unit (the halves of the screen size are integer halves). A texture drawn at scale 1 spans its
// surface's size divided by k.
//
// Flip modes: 1 upside down, 2 mirrored left to right, 3 half a turn; any other value upright.
// The inset f pulls the texture coordinates inside the image by f; du and dv are added to every
// texture coordinate afterwards.
//
// Every member returns -1 without drawing when the slot has no surface (ensure_texture), else
// 0. They set the texture and material they draw with and change no render state.
#pragma once

#include "core/pointer_areas.h"
#include "platform/device_types.h"

#include <cstdint>

// Diffuse = ambient = (r, g, b, a); specular and emissive 0; power 0.
void init_material(device_material& material, float r, float g, float b, float a);
// Diffuse r, g, b = 1 - g_ambient_color; emissive r, g, b = r - 1, g - 1, b - 1.
void set_sprite_material(device_material& material, float r, float g, float b);

// Centred at world point (x, y); material (1, 1, 1, alpha) then the sprite material (r, g, b).
int32_t draw_texture_world(int32_t slot, float x, float y, float alpha, float scale, int32_t flip, float du, float dv,
                           float inset, float r, float g, float b);
// Centred at screen pixel (x, y); material (r, g, b, alpha) then the sprite material.
int32_t draw_texture_screen(int32_t slot, float x, float y, float alpha, float scale, int32_t flip, float du, float dv,
                            float inset, float r, float g, float b);
// The screen rectangle draw_texture_screen covers with the slot's image centred at (x, y) at
// scale 1: the surface's size about that point, its surface made now if it was deferred (as a draw
// makes it); empty, (x, y, x, y), when the slot has no surface.
pointer_area texture_screen_area(int32_t slot, float x, float y);
// As draw_texture_world at depth z, always upright; ignored_flip is not used.
int32_t draw_texture_scaled_world(int32_t slot, float x, float y, float z, float r, float g, float b, float alpha,
                                  float scale, int32_t ignored_flip, float du, float dv, float inset);
// The whole image upright at screen pixel (x, y), material as draw_texture_screen; never makes
// a deferred surface (a slot without one draws nothing).
int32_t draw_texture_direct_screen(int32_t slot, float x, float y, float alpha, float scale, float r, float g, float b);
// As draw_texture_screen upright, showing only the lower fraction (0 to 1) of the image.
int32_t draw_texture_gauge_screen(int32_t slot, float x, float y, float alpha, float scale, float fraction, float r,
                                  float g, float b);

// Four free corners in world pixels: the bottom-left, top-left, top-right and bottom-right of
// the upright image. quarter_turns below 4 (with no_turn 0) move the positions on by one corner
// per turn (the position given for corner 3 goes to corner 0, 0's to 1, 1's to 2, 2's to 3).
// black: a silhouette of material (0, 0, 0, alpha); opaque: material (r, g, b, 1) instead.
int32_t draw_quad_world(int32_t slot, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                        float alpha, float du, float dv, int32_t black, float inset, int32_t opaque,
                        int32_t quarter_turns, float r, float g, float b, int32_t no_turn, int32_t flip);
// As draw_quad_world with screen corners and no quarter turns.
int32_t draw_quad_screen(int32_t slot, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                         float alpha, float du, float dv, int32_t black, float inset, int32_t opaque, int32_t flip,
                         float r, float g, float b);

// A rectangle of the surface in texels (right and bottom exclusive).
struct sprite_rect {
    int32_t left, top, right, bottom;
};

// Sprites: the surface (or its source rectangle, null for all of it) drawn unlit and pixel
// exact, white modulated by alpha, centred on a screen point, scaled and turned clockwise by
// the angle. They leave the transforms as they found them.
// Centre ((x - g_camera_x) × g_zoom, (y - g_camera_y) × g_zoom); scale × g_zoom; angle in degrees.
int32_t draw_sprite_world(int32_t slot, float x, float y, float alpha, float scale, int32_t angle,
                          const sprite_rect* source);
// Centre (x, y) in screen pixels, alpha 1, scale 1, no turn.
int32_t draw_sprite_screen(int32_t slot, float x, float y, const sprite_rect* source);
// The source drawn onto four screen corners (x, y pairs: top-left, top-right, bottom-right,
// bottom-left of the image).
int32_t draw_sprite_quad_screen(int32_t slot, const float corners[8], float alpha, const sprite_rect* source);
