// Drawing models on the device at a world position, and where their vertices land.
//
// A model is placed at world (x, y) and height z with the view scale of the sprites and lights:
// with W, H the screen size, Z the zoom, (cx, cy) the camera, s = scale × Z, the depth factor
// d = 1 - z / 650 and k = (W / 640 × 50.7) / d × s × f, the model's origin goes to view
// X = ((x × Z - W div 2) - cx × Z) / k, Y = -((y × Z - H div 2) - cy × Z) / k, height z, and
// the view is scaled by (s × scale_x, s × scale_y, -s). Rotations are applied about z, then y,
// then x, in whole degrees.
#pragma once

#include "core/globals.h"

#include <cstdint>

struct model;

// Draws the model with key frame `frame` (kept when it is not a frame of the model), the skin
// and variant (-1: no variants) given. depth_test 0 draws without the depth test, otherwise
// with the w-buffer (g_wbuffer_switch 0) or the z-buffer (1). shadow draws the flat, squashed
// shadow pass without the depth test. mirrored is accepted and has no effect. The view and
// world transforms are restored afterwards and the depth test is left off.
void draw_model(model* m, float x, float y, float z, float scale, int32_t angle_x, int32_t angle_y,
                int32_t angle_z, uint32_t depth_test, int32_t frame, uint32_t mirrored, uint32_t shadow, int32_t skin,
                float scale_x, float scale_y, int32_t variant);

// Where vertex `vertex` of the model, placed as draw_model places it (scale_x of 1.35), lies in
// world coordinates: out receives x, y, height and w. Returns out, or null when the model has
// no mesh or the vertex is not below its vertex count.
float* get_model_vertex_world_pos(const model* m, float x, float y, float z, float scale, int32_t angle_x,
                                  int32_t angle_y, int32_t angle_z, uint32_t vertex, float out[4]);

// Tints every material towards (r, g, b) under the current ambient colour: diffuse and ambient
// (1, 1, 1, a), diffuse's colour 1 - the ambient colour, emissive (r - 1, g - 1, b - 1).
void set_model_colour(model* m, float r, float g, float b, float a);

// Every material: diffuse = ambient = (r, g, b, a), no specular or emissive colour.
void set_model_rgba(model* m, float r, float g, float b, float a);
