#include "shell/device_setup.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/math.h"
#include "engine/textures.h"
#include "platform/window_services.h"
#include "shell/window.h"

#include <algorithm>

#include <memory>
#include <string>

uint32_t g_device_table[k_device_table_size] = {};
gamma_ramp g_gamma_ramp = {};
int32_t g_last_result = 0;

namespace {

std::unique_ptr<render_device> g_device_owner;

} // namespace

uint32_t choose_render_device(int count, bool (*describe)(int, render_device_info&), bool prefer_tl)
{
    console_log("num devices = %d", count);
    uint32_t chosen = 1;
    for (int i = 0; i < count; ++i) {
        render_device_info info;
        if (!describe(i, info))
            continue;
        console_log("device %d: hwlevel %d max lights %d", i, static_cast<int>(info.level),
                    static_cast<int>(info.max_lights));
        if (i >= k_device_table_size)
            continue;
        g_device_table[i] = static_cast<uint32_t>(i);
        if (info.level < k_device_level_raster && prefer_tl)
            chosen = static_cast<uint32_t>(i);
    }
    console_log("best device = %d", static_cast<int>(chosen));
    return chosen;
}

void release_device_context()
{
    // The table's surfaces were made on this device and go with it: a slot kept past it would
    // hand the next device a texture it never made.
    clear_texture_table();
    g_d3d_device = nullptr;
    g_d3dx_context = nullptr;
    g_device_owner.reset();
}

namespace {

std::string g_device_error;

} // namespace

const char* device_context_error()
{
    return g_device_error.c_str();
}

int32_t create_device_context()
{
    release_device_context();
    g_device_error.clear();

    const uint32_t entry = choose_render_device(render_device_count(), render_device_describe,
                                                g_settings.gr_disablelight != 0);
    const int device_index = static_cast<int>(g_device_table[entry < k_device_table_size ? entry : 0]);

    const bool windowed = g_settings.gr_runwindowed != 0 || g_editor_enabled != 0;
    int colour_bits = 32;
    window_mode mode = window_mode::windowed;
    if (!windowed) {
        colour_bits = g_settings.gr_force16bit ? 16 : 32;
        mode = window_mode::full_screen;
    }
    g_windowed = windowed ? 1 : 0;

    // The editor's window covers the desktop; the view is a part of it.
    int32_t width = g_screen_width, height = g_screen_height;
    if (g_editor_enabled)
        desktop_size(&width, &height);
    std::string error;
    g_device_owner = open_render_device(
        device_index, width > 0 ? static_cast<uint32_t>(width) : 0, height > 0 ? static_cast<uint32_t>(height) : 0,
        mode, colour_bits, error, [](const std::string& reason, uint32_t wait_ms) {
            console_log("okno sa neotvorilo (%.100s), skusam znova o %u ms", reason.c_str(), wait_ms);
        });
    if (!g_device_owner) {
        g_device_error = error.empty() ? "the display device cannot be opened" : error;
        console_log("%.100s", error.c_str());
        return -1;
    }
    g_d3d_device = g_device_owner.get();
    g_d3dx_context = g_d3d_device;
    return 1;
}

void init_render_states()
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    d->set_render_state(render_state::lighting, 1u);
    d->set_render_state(render_state::ambient, 0x00FFFFFFu);

    const uint32_t width = g_screen_width > 0 ? static_cast<uint32_t>(g_screen_width) : d->width();
    const uint32_t height = g_screen_height > 0 ? static_cast<uint32_t>(g_screen_height) : d->height();
    d->set_viewport({static_cast<uint32_t>(std::max(g_view_x, 0)), static_cast<uint32_t>(std::max(g_view_y, 0)), width,
                     height, 0.0f, 1.0f});

    view_matrices views;
    if (set_view_matrices({0.0f, 0.0f, -k_camera_distance}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f},
                          k_camera_eye_separation, views))
        g_view_matrix = views.centre;
    matrix_perspective_fov_lh(k_camera_fov, static_cast<float>(height) / static_cast<float>(width), k_camera_near,
                              k_camera_far, g_projection_matrix);
    d->set_transform(transform_kind::projection, g_projection_matrix);
    d->set_transform(transform_kind::view, g_view_matrix);

    // Prepared for sprites with the depth test on: blending by source alpha, texture times
    // vertex colour for colour and alpha.
    d->set_render_state(render_state::z_enable, z_mode::on);
    d->set_render_state(render_state::z_write, 1u);
    d->set_render_state(render_state::src_blend, blend_factor::src_alpha);
    d->set_render_state(render_state::dest_blend, blend_factor::inv_src_alpha);
    d->set_texture_stage_state(texture_stage_state::alpha_op, texture_op::modulate);
    d->set_texture_stage_state(texture_stage_state::alpha_arg1, texture_arg::texture);
    d->set_texture_stage_state(texture_stage_state::alpha_arg2, texture_arg::diffuse);

    d->set_texture_stage_state(texture_stage_state::colour_arg1, texture_arg::texture);
    d->set_texture_stage_state(texture_stage_state::colour_arg2, texture_arg::diffuse);
    d->set_texture_stage_state(texture_stage_state::colour_op, texture_op::modulate);
    d->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
    d->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::linear);
    d->set_texture_stage_state(texture_stage_state::max_anisotropy, 4u);

    d->set_render_state(render_state::dither, 1u);
    d->set_render_state(render_state::shade_mode, shade_mode::gouraud);
    d->set_render_state(render_state::alpha_ref, 1u);
    d->set_render_state(render_state::alpha_test, 1u);
    d->set_render_state(render_state::alpha_func, compare_func::greater_equal);
    d->set_render_state(render_state::alpha_blend, 1u);
    d->set_render_state(render_state::texture_perspective, 1u);
    d->set_render_state(render_state::last_pixel, 1u);
    // Textures keep their pixels on this device: there is nothing to restore.
}

void save_gamma_ramp()
{
    gamma_read(g_gamma_ramp);
}

void set_gamma(int32_t offset)
{
    gamma_ramp ramp;
    if (!gamma_read(ramp))
        return;
    uint16_t* current[3] = {ramp.red, ramp.green, ramp.blue};
    const uint16_t* kept[3] = {g_gamma_ramp.red, g_gamma_ramp.green, g_gamma_ramp.blue};
    for (int channel = 0; channel < 3; ++channel) {
        for (int i = 0; i < 255; ++i) {
            const int32_t value = static_cast<int32_t>(kept[channel][i]) + offset;
            if (value >= 0 && value <= 65534)
                current[channel][i] = static_cast<uint16_t>(value);
        }
    }
    gamma_write(ramp);
}
