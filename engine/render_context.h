// The program's device as every drawing layer sees it: the device pointer, the fixed camera and
// its matrices, and the end of a presented pass. The shell creates the device (shell/device_setup.h).
#pragma once

#include "core/globals.h"
#include "platform/render_device.h"

#include <cstdint>

extern render_device* g_d3d_device;   // the device; null until created
extern render_device* g_d3dx_context; // the same device, for its clear and present
extern matrix4 g_view_matrix;         // set once by init_render_states
extern matrix4 g_projection_matrix;   // set once by init_render_states

// The camera: from (0, 0, -465) towards the origin, vertical field of view pi / 155,
// aspect height / width, depth from 1 to 2000.
constexpr float k_camera_distance = 465.0f;
constexpr float k_camera_eye_separation = 1.1f;  // the side views, to either side
constexpr float k_camera_fov = 3.14159265358979f / 155.0f;
constexpr float k_camera_near = 1.0f;
constexpr float k_camera_far = 2000.0f;

// View units: what the camera sees at depth 0, y up, the origin at the screen's centre, with
// pixels_per_view_unit() pixels to a unit (the screen width / 640 x 50.7).
inline float pixels_per_view_unit()
{
    return static_cast<float>(g_screen_width) / 640.0f * 50.7f;
}

// Its inverse, kept while the screen width stays: points are multiplied by it, not divided.
inline float view_units_per_pixel()
{
    static int32_t width = 0;
    static float per_pixel = 0.0f;
    if (g_screen_width != width || per_pixel == 0.0f) {
        width = g_screen_width;
        per_pixel = 1.0f / pixels_per_view_unit();
    }
    return per_pixel;
}

// A world point (pixels, before the zoom and the camera) in view units.
inline void world_to_view(float x, float y, float& vx, float& vy, float per_pixel = view_units_per_pixel())
{
    vx = ((x * g_zoom - static_cast<float>(g_screen_width / 2)) - g_camera_x * g_zoom) * per_pixel;
    vy = -(((y * g_zoom - static_cast<float>(g_screen_height / 2)) - g_camera_y * g_zoom) * per_pixel);
}

// A screen point (pixels from the top-left corner) in view units.
inline void screen_to_view(float x, float y, float& vx, float& vy, float per_pixel = view_units_per_pixel())
{
    vx = (x - static_cast<float>(g_screen_width / 2)) * per_pixel;
    vy = -(y - static_cast<float>(g_screen_height / 2)) * per_pixel;
}

// 0: nothing is ever lost on this device.
int32_t restore_lost_surfaces();

// Ends the scene and presents it without waiting for the vertical blank, restoring a lost
// surface. Every modal pass and the loading screen end this way; nothing without a device.
void modal_pass_end();

struct ambient_colour {
    float red, green, blue;  // 0 to 1
};
// The scene's ambient colour; the device's ambient light follows it.
extern ambient_colour g_ambient_color;

// Hands g_ambient_color to the device as its ambient light: alpha 255, each channel
// int(value x 255) held to 0 to 255. Returns the packed 0xAARRGGBB value.
uint32_t set_device_ambient_light();
