#include "interface/credits.h"

#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/world_loop.h"
#include "level/level_change.h"
#include "platform/key_codes.h"
#include "world/dream_world.h"
#include "world/scene_header.h"

credits_state g_credits = {0, -1, 0, 0.0f, 0, 0};

namespace {

constexpr float k_fade_step = 0.05f;
constexpr uint32_t k_step_wait = 4;     // a step every 5 ticks at most
constexpr uint32_t k_pause = 500;       // ticks after the last step of a fade
constexpr float k_menu_camera_x = -2366.0f;
constexpr float k_menu_camera_y = -414.0f;

void cross_fade_step(credits_state& c)
{
    c.due_tick = g_ticks + k_step_wait;
    set_entity_alpha(c.group, c.alpha);
    if (c.previous_group != -1)
        set_entity_alpha(c.previous_group, 1.0f - c.alpha);
    if (c.alpha < 1.0f) {
        c.alpha += k_fade_step;
        return;
    }
    c.alpha = 1.0f;
    set_entity_alpha(c.group, 1.0f);
    if (c.previous_group != -1)
        set_entity_alpha(c.previous_group, 0.0f);
    c.phase = 0;
    c.due_tick = g_ticks + k_pause;
    c.previous_group = c.group;
    c.group = c.group < k_credits_groups - 1 ? int16_t(c.group + 1) : int16_t(0);
}

void return_to_menu()
{
    run_hook(g_interface_links.fade_to_black, "fade_to_black");
    g_no_game_running = 1;
    change_level("start.sav", 0, 0, 1);
    g_credits.active = 0;
    g_work_mode = k_work_play;
    apply_ambient_light(&g_scene_header);
    place_hero_at_entry(&g_scene_header, 0);
    g_camera_x = k_menu_camera_x;
    g_camera_y = k_menu_camera_y;
    enter_dream_world(&g_dream_world, 1);
    g_interface.overlay_screen = 1;
    g_interface.menu_open = 1;
    g_credits_end_flag = 1;
    run_hook(g_interface_links.fade_from_black, "fade_from_black");
}

} // namespace

void update_credits()
{
    credits_state& c = g_credits;
    if (c.due_tick < g_ticks) {
        if (c.phase == 0) {
            c.phase = 1;
            c.alpha = 0.0f;
        } else {
            cross_fade_step(c);
        }
    }
    if (g_mouse_left || (g_key_state[k_key_escape] & k_key_down_bit))
        return_to_menu();
}

void run_credits()
{
    run_world_loop(&g_credits_end_flag, nullptr, update_credits);
    if (!g_quit_all)
        g_credits_end_flag = 0;
}

