#include "interface/world_loop.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/interface_links.h"
#include "level/level_effects.h"
#include "script/entities.h"
#include "world/weather.h"
#include "world/world_objects.h"

namespace {

template <class Change>
void for_entity_objects(int32_t entity, Change change)
{
    if (entity < 0 || !g_objects)
        return;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.state != 0 && o.entity == entity && o.object_class < k_class_attached)
            change(o);
    }
}

void draw_world()
{
    if (g_d3d_device) {
        g_d3d_device->begin_scene();
        g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
    }
    update_all_avi_textures();
    update_entities();
    follow_owner_objects();
    draw_objects();
    update_rain(&g_rain);
    update_lightning(&g_lightning);
    apply_lights();
    update_level_effects();
    draw_console();
}

} // namespace

void set_entity_alpha(int32_t entity, float alpha)
{
    for_entity_objects(entity, [alpha](world_object& o) { o.alpha = alpha; });
}

void raise_entity_alpha(int32_t entity, float step)
{
    for_entity_objects(entity, [step](world_object& o) {
        if (o.alpha < 1.0f)
            o.alpha += step;
    });
}

void run_world_loop(uint32_t* done, void (*draw_more)(), void (*step)())
{
    do {
        if (!run_hook_or(g_interface_links.modal_pass_begin, "modal_pass_begin", true))
            continue;
        run_hook(g_interface_links.poll_input, "poll_input");
        run_hook(g_interface_links.toggle_console_on_key, "toggle_console_on_key", &g_console_toggle_latch);
        update_frame_timing();
        draw_world();
        if (draw_more)
            draw_more();
        if (g_d3d_device)
            g_d3d_device->end_scene();
        step();
        if (g_d3d_device && !g_d3d_device->present())
            restore_lost_surfaces();
    } while (!*done && !g_quit_all);
}
