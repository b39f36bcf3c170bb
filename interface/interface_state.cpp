#include "interface/interface_state.h"

#include "characters/char_notices.h"
#include "characters/char_table.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/settings.h"
#include "engine/textures.h"
#include "interface/equipment_slots.h"
#include "interface/interface_images.h"
#include "interface/interface_links.h"
#include "interface/message_log_window.h"
#include "interface/new_hero_screen.h"

uint32_t g_ending_end_flag = 0;
uint32_t g_credits_end_flag = 0;
interface_links g_interface_links = {};

namespace {

void set_start_values(game_interface& gi)
{
    gi.shown = 1;
    gi.side_panel_open = gi.character_panel_open = 0;
    gi.attunement_select_open = gi.attunement_select_first = gi.attunement_panel_open = 0;
    gi.menu_open = 0;
    gi.side_panel_page = 2;
    gi.scroll_enabled = gi.zoom_enabled = 1;
    gi.quick_menu_open = 0;
    gi.quick_menu_slot = -1;
    gi.quick_menu_alpha = 0.0f;
    gi.quick_menu_next_tick = 0;
    gi.quick_list_kind = -1;
    gi.quick_list_alpha = 0.0f;
    gi.container_open = gi.second_container_open = 0;
    gi.held_icon = gi.held_item = -1;
    gi.held_origin = 255;
    gi.held_from_container = gi.held_from_second_container = 0;
    for (int slot = 0; slot < k_quick_key_slots; ++slot)
        gi.quick_ids[slot] = -1;
    gi.quick_selected = 255;
    gi.preview_turn_due = gi.anim_step_due = 0;
    gi.quick_list_open = gi.quick_list_next_tick = 0;
    gi.overlay_screen = 1;
    gi.dream_switch_allowed = 0;
    gi.quest_scroll_top = gi.quest_scroll_bottom = 0;
    gi.selected_save = gi.save_preview = -1;
    gi.npc_kill_enabled = 0;
    gi.pointer_area_count = 0;  // no pass has shown an area yet
    reset_new_hero_page();
}

void load_images(game_interface& gi)
{
    for (const interface_image& image : list_interface_images(gi)) {
        const int32_t choice = image.full_colour ? 1 : 0;
        // The rectangle fill shares its file with the text background but has a slot of its own.
        int32_t slot = -1;
        if (image.slot == &gi.text_background_texture) {
            slot = append_texture_slot(image.name.c_str());
            if (slot >= 0)
                create_texture_from_file(slot, image.name.c_str(), 0, 0, choice, 0, 0);
        } else {
            slot = get_texture(image.name.c_str(), 0, 0, 0, 0, choice, 0);
        }
        *image.slot = slot < 0 ? k_no_texture_slot : uint16_t(slot);
    }
}

struct start_step {
    const char* name;
    void (*run)();  // null: the step is skipped and logged once
};

const start_step k_start_steps[] = {
    {"interface_start_values", [] { set_start_values(g_interface); }},
    {"init_message_log", [] { init_message_log(&g_message_log); }},
    {"load_interface_images", [] { load_images(g_interface); }},
    {"read_quick_bar", read_quick_bar},
    {"load_notice_icons", [] { load_notice_icons(&g_notices); }},
    {"clear_new_game_request", [] { g_new_game_request = 0; }},
    {"hero_start_looks", [] {
         g_chars[0].head_variant = 1;
         g_chars[0].body_variant = 1;
     }},
};

} // namespace

void load_interface_textures()
{
    for (const start_step& step : k_start_steps) {
        if (step.run)
            step.run();
        else
            log_hook_skipped(step.name);
    }
}

void shutdown_interface() {}
