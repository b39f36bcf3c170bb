#include "editor/editor_frame.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/editor_links.h"
#include "editor/view/brush_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "engine/fonts.h"
#include "engine/models.h"
#include "items/items.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "platform/render_device.h"
#include "platform/window_services.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>

editor_links g_editor_links = {};

namespace {

// The edge latches of the frame's own keys.
struct frame_latches {
    uint32_t f8, numpad1, numpad2, grid, save, undo;
};
frame_latches g_latches = {};

constexpr int32_t k_no_preview_anim = 10;  // an animation mode no animation handles
constexpr uint32_t k_saving_colour = 0xFF7FCF7F;
constexpr uint32_t k_notice_ticks = 188; // three seconds

// The reason the last Ctrl+S wrote nothing, shown until the tick.
const char* g_notice = nullptr;
uint32_t g_notice_until = 0;

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

void init_marker()
{
    reset_object(&g_brush_preview);
    init_object(&g_brush_preview, g_mouse_x, g_mouse_y, 0, 0.8f, 1.5f, 0, 0);
}

void init_item_preview(const editor_state& e)
{
    reset_object(&g_brush_preview);
    const item_proto* item = item_proto_at(e.ground_item_choice);
    if (!item || item->ground_model == k_item_no_ground_model)
        return;
    init_object(&g_brush_preview, g_mouse_x, g_mouse_y, item->ground_model, 1.0f, 1.0f, 0, 0);
    g_brush_preview.anim_mode = k_no_preview_anim;
}

void enter_play_test()
{
    init_marker();
    if (g_player_char < k_char_slots && g_chars[g_player_char].object < 0)
        place_hero_at_entry(&g_scene_header, 0);
    apply_daylight(&g_game_clock);
}

struct mode_key {
    uint8_t key;
    uint32_t mode;
};

// In the order they are tested: of several held keys the last wins.
const mode_key k_mode_keys[] = {
    {k_key_f1, k_work_insert},       {k_key_f2, k_work_select},         {k_key_f3, k_work_light},
    {k_key_f4, k_work_sectors},      {k_key_tab, k_work_play},          {k_key_f5, k_work_characters},
    {k_key_f6, k_work_ground_items}, {k_key_f7, k_work_monster_points},
};

void switch_mode(editor_state& e, uint32_t mode)
{
    set_combo_sel(g_global_settings_window, k_glset_work_type, int32_t(mode));
    switch (mode) {
    case k_work_insert:
        rebuild_brush_preview(e);
        break;
    case k_work_play:
        enter_play_test();
        break;
    case k_work_ground_items:
    case k_work_monster_points:
        init_item_preview(e);
        break;
    default:
        init_marker();
        break;
    }
    g_work_mode = mode;
    if (mode == k_work_insert || mode == k_work_select)
        sort_objects();
}

void run_mode_handler(editor_state& e)
{
    switch (g_work_mode) {
    case k_work_insert:
        run_hook(g_editor_links.run_brush_mode, "run_brush_mode", e);
        break;
    case k_work_select:
        run_hook(g_editor_links.run_object_mode, "run_object_mode", e);
        break;
    case k_work_light:
        run_hook(g_editor_links.run_light_mode, "run_light_mode", e);
        break;
    case k_work_sectors:
        run_hook(g_editor_links.run_sector_mode, "run_sector_mode", e);
        break;
    case k_work_characters:
        run_hook(g_editor_links.run_char_mode, "run_char_mode", e);
        break;
    case k_work_ground_items:
        run_hook(g_editor_links.run_ground_item_mode, "run_ground_item_mode", e);
        break;
    case k_work_monster_points:
        run_hook(g_editor_links.run_monster_point_mode, "run_monster_point_mode", e);
        break;
    default:
        break;
    }
}

// Text in the saving colour where the saving message stands, inside a scene begun by the caller.
void draw_saving_line(const char* text)
{
    const uint32_t colour = (k_saving_colour >> 16 & 0xFF) | (k_saving_colour & 0xFF00) | (k_saving_colour & 0xFF) << 16;
    font_begin(&g_font_small);
    font_text_out(&g_font_small, int32_t(0.01f * float(g_screen_width)), int32_t(0.45f * float(g_screen_height)),
                  text, colour);
    font_end(&g_font_small);
}

void show_saving_text()
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    d->begin_scene();
    draw_saving_line("Saving MAP (please wait) ...");
    d->end_scene();
    d->present();
}

void save_with_keys()
{
    const bool has_file = g_session_map_path[0] != '\0'; // only the file the map was read from or saved to
    if (has_file)
        show_saving_text();
    g_notice = nullptr;
    if (save_session_map() == 0)
        return;
    console_log("mapa neulozena");
    g_notice = has_file ? "Map not saved: the file could not be written (see the console)"
                        : "Map not saved: it has no file yet (file / save map)";
    g_notice_until = g_ticks + k_notice_ticks;
}

void scroll_and_zoom()
{
    const float step = float(720 / std::max<uint32_t>(g_fps, 1));
    const float dx = (down(k_key_right) ? step : 0.0f) - (down(k_key_left) ? step : 0.0f);
    const float dy = (down(k_key_down) ? step : 0.0f) - (down(k_key_up) ? step : 0.0f);
    g_camera_x += dx;
    g_mouse_x += dx;
    g_camera_y += dy;
    g_mouse_y += dy;
    if (down(k_key_f9))
        g_zoom = std::max(g_zoom - 0.002f, k_min_editor_zoom);
    if (down(k_key_f10))
        g_zoom += 0.002f;
    if (down(k_key_f11))
        g_zoom = 1.0f;
}

void rescale_models(float factor)
{
    for (int32_t i = 0; i < std::min<int32_t>(g_model_count, k_model_capacity); ++i)
        scale_model(&g_models[i], factor);
    for (uint32_t i = 0; i < std::min<uint32_t>(g_chardata_count, k_char_model_capacity); ++i)
        scale_model(&g_char_models[i], factor);
}

} // namespace

void rebuild_brush_preview(const editor_state& e)
{
    reset_object(&g_brush_preview);
    init_object(&g_brush_preview, g_mouse_x, g_mouse_y, e.brush_proto, e.brush_alfa, e.brush_scale, e.brush_rot1, 0);
    apply_brush_corner_kind(&g_brush_preview, false);
}

void rebuild_item_preview(const editor_state& e)
{
    init_item_preview(e);
}

void reset_editor_brush(editor_state& e)
{
    e = {};
    e.brush_scale = e.brush_alfa = 1.0f;
    e.glset_number_a = 2;
    e.glset_number_b = 1;
    e.brush_efect_type = -1;
    e.new_light_type = 1;
    g_latches = {};
    g_notice = nullptr;
    g_brush_latches = {};
    g_brush_corner_mode = 0;
    g_work_mode = k_work_insert;
    g_map_dirty = 0;
    rebuild_brush_preview(e);
}

void draw_editor_notice()
{
    if (g_notice && g_ticks < g_notice_until && g_d3d_device)
        draw_saving_line(g_notice);
}

view_layout editor_view_layout(int32_t desktop_width, bool wide)
{
    view_layout v;
    v.x = wide ? 15 : 295;
    v.y = 0;
    v.width = std::max(desktop_width - (wide ? 30 : 300), 1);
    v.height = std::max(int32_t(float(v.width) / 1.333333f), 1);
    return v;
}

void switch_editor_layout(editor_state& e)
{
    const bool wide = e.wide_layout == 0;
    int32_t desktop_width = 0, desktop_height = 0;
    desktop_size(&desktop_width, &desktop_height);
    const view_layout v = editor_view_layout(desktop_width, wide);

    rescale_models(float(g_screen_width) / 640.0f);
    g_screen_width = v.width;
    g_screen_height = v.height;
    rescale_models(640.0f / float(g_screen_width));
    g_view_x = v.x;
    g_view_y = v.y;
    run_hook(g_editor_links.apply_view_layout, "apply_view_layout");

    for (dialog_handle window : {g_command_window, g_tabs_window, g_tab_window}) {
        enable_dialog(window, !wide);
        show_dialog(window, !wide);
    }
    e.wide_layout = wide ? 1 : 0;
}

void run_editor_frame(editor_state& e)
{
    if (!g_editor_enabled)
        return;
    for (const mode_key& k : k_mode_keys)
        if (down(k.key))
            switch_mode(e, k.mode);

    if (press_edge(down(k_key_f8), g_latches.f8))
        switch_editor_layout(e);

    run_mode_handler(e);

    if (press_edge(down(k_key_numpad1), g_latches.numpad1) && g_active_layer > 0)
        --g_active_layer;
    if (press_edge(down(k_key_numpad2), g_latches.numpad2) && g_active_layer < k_max_editor_layer)
        ++g_active_layer;

    if (g_work_mode == k_work_light || g_work_mode == k_work_characters)
        g_latches.grid = 0;
    else if (!g_console_shown && press_edge(down(k_key_g), g_latches.grid))
        g_cursor_grid = g_cursor_grid ? 0 : 1;

    const bool ctrl = down(k_key_lcontrol);
    if (press_edge(ctrl && down(k_key_s), g_latches.save))
        save_with_keys();
    if (press_edge(ctrl && down(k_key_z), g_latches.undo))
        run_hook(g_editor_links.pop_undo_snapshot, "pop_undo_snapshot");

    if (g_editor_enabled == 1)
        scroll_and_zoom();
}
