// The fades and the modal loop pattern.
#include "shell/fades.h"

#include "characters/char_update.h"
#include "core/frame_timing.h"

#include "core/globals.h"
#include "core/input_state.h"
#include "editor/gui/dialog_screen.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/screenshots.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "level/level_effects.h"
#include "platform/key_codes.h"
#include "script/entities.h"
#include "script/script_services.h"
#include "shell/device_setup.h"
#include "shell/program_steps.h"
#include "shell/window.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <string>

namespace {

fade_state g_fade = {};
bool g_fade_done = false;
// A save's picture to write from the fade's next pass, before its veil; empty for none.
std::string g_fade_picture;
bool g_fade_picture_written = false;

// One pass of a fade: the world runs and is drawn under the black rectangle.
const program_step k_fade_pass[] = {
    {"modal_pass_begin", [] { return modal_pass_begin() && !g_quit_all; }},
    {"update_frame_timing", [] { update_frame_timing(); return true; }},
    {"begin_scene", [] {
         if (g_d3d_device) {
             g_d3d_device->begin_scene();
             g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
         }
         return true;
     }},
    {"update_all_avi_textures", [] { update_all_avi_textures(); return true; }},
    {"update_entities", [] { update_entities(); return true; }},
    {"update_all_chars", [] { update_all_chars(true); return true; }},
    {"update_ground_items", [] { update_ground_items(1); return true; }},
    {"follow_owner_objects", [] { follow_owner_objects(); return true; }},
    {"draw_objects", [] { draw_objects(); return true; }},
    {"rain_and_lightning", [] {
         update_rain(&g_rain);
         update_lightning(&g_lightning);
         return true;
     }},
    {"update_lights", [] { apply_lights(); return true; }},
    {"update_level_effects", [] { update_level_effects(); return true; }},
    {"dream_world", [] {
         if (!g_no_game_running)
             update_dream_world(&g_dream_world);
         else
             draw_dream_overlay(&g_dream_world);
         return true;
     }},
    {"advance_game_clock", [] { advance_game_clock(&g_game_clock); return true; }},
    {"fade_step", [] { g_fade_done = fade_advance(&g_fade, g_ticks); return true; }},
    {"save_picture", [] {
         if (!g_fade_picture.empty()) {
             g_fade_picture_written = capture_thumbnail(g_fade_picture.c_str());
             g_fade_picture.clear();
         }
         return true;
     }},
    {"draw_fade_rectangle", [] {
         draw_colored_rect(0, 0, float(g_screen_width), float(g_screen_height), 0, 0, 0, g_fade.opacity, k_rect_black);
         return true;
     }},
    {"end_scene_and_present", [] { modal_pass_end(); return true; }},
};
const step_table_registration k_fade_pass_registration{"fade pass", k_fade_pass};

void run_fade(float opacity, float step)
{
    g_fade = {opacity, step, 0};
    g_fade_done = false;
    while (!g_fade_done && !g_quit_all)
        run_program_steps(k_fade_pass);
}

} // namespace

bool fade_advance(fade_state* fade, uint32_t ticks)
{
    if (ticks > fade->next_step_tick) {
        fade->next_step_tick = ticks + 1;
        fade->opacity += fade->step;
    }
    return fade->step > 0.0f ? fade->opacity >= 1.0f : fade->opacity <= 0.0f;
}

void fade_to_black()
{
    advance_game_clock(&g_game_clock);
    run_fade(0.0f, 0.05f);
}

bool picture_world(const char* path)
{
    g_fade_picture = path ? path : "";
    g_fade_picture_written = false;
    run_fade(0.0f, 0.0f);  // a veil that does not move is done after its first pass
    g_fade_picture.clear();
    return g_fade_picture_written;
}

void fade_from_black()
{
    run_fade(1.0f, -0.05f);
}

bool modal_pass_begin()
{
    pump_messages();
    if (g_app_active)
        return true;
    wait_message();
    return false;
}

void toggle_console_on_key(uint32_t* latch)
{
    if (!g_console_enabled)
        return;
    if (!(g_key_state[k_key_grave] & k_key_down_bit)) {
        *latch = 1;
    } else if (*latch) {
        *latch = 0;
        g_console_shown = !g_console_shown;
    }
}

void clear_whole_target(uint32_t colour)
{
    render_device& d = *g_d3d_device;
    const device_viewport view = d.get_viewport();
    d.set_viewport({0, 0, d.width(), d.height(), 0.0f, 1.0f});
    d.clear(k_clear_target | k_clear_depth, colour);
    d.set_viewport(view);
}

bool modal_dialog_pass()
{
    if (modal_pass_begin()) {
        drop_view_input();
        if (g_d3d_device) {
            g_d3d_device->begin_scene();
            keep_view_picture();
            clear_whole_target(0xFF000000);
        }
        run_dialog_frame();
        modal_pass_end();
    }
    return !g_quit_all;
}
