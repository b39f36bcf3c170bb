#include "engine/render_context.h"

render_device* g_d3d_device = nullptr;
render_device* g_d3dx_context = nullptr;
matrix4 g_view_matrix = matrix_identity();
matrix4 g_projection_matrix = matrix_identity();
ambient_colour g_ambient_color = {1.0f, 1.0f, 1.0f};

int32_t restore_lost_surfaces()
{
    return 0;
}

void modal_pass_end()
{
    if (!g_d3d_device)
        return;
    g_d3d_device->end_scene();
    if (!g_d3d_device->present())
        restore_lost_surfaces();
}

uint32_t set_device_ambient_light()
{
    auto channel = [](float v) {
        float x = v * 255.0f;
        return !(x > 0.0f) ? 0u : x >= 255.0f ? 255u : uint32_t(x);
    };
    uint32_t argb = 0xFF000000u | channel(g_ambient_color.red) << 16 | channel(g_ambient_color.green) << 8 |
                    channel(g_ambient_color.blue);
    if (g_d3d_device)
        g_d3d_device->set_render_state(render_state::ambient, argb);
    return argb;
}
