// The game interface: every piece of state of the HUD, its panels and the overlay screens, and
// the texture slots of the interface images. It lives here, below the game rules, because the
// rules, the level code and the shell set and read some of its fields directly; the interface
// layer works on the rest. The field order follows the interface's own grouping.
#pragma once

#include "core/pointer_areas.h"

#include <cstdint>

constexpr uint16_t k_no_texture_slot = 0xFFFF;

constexpr int k_quick_slots = 16;
constexpr int k_quick_key_slots = 10;   // slots 0 to 9 answer to the keys 1 to 9 and 0
constexpr int k_panel_tiles = 182;      // the seven panel backgrounds, 64 x 64 tiles each
constexpr int k_attunement_icons = 16;

struct game_interface {
    uint32_t shown = 1;                   // the HUD is drawn and updated
    uint32_t side_panel_open;             // inventory or container window
    uint32_t character_panel_open;
    uint32_t quest_log_open;
    uint32_t attunement_select_open;      // the attunement selection window
    uint32_t attunement_select_first;     // opened by "^select_attunement_first"
    uint32_t attunement_panel_open;
    uint32_t menu_open;                   // an overlay screen holds the game
    uint32_t right_click_latch;           // the new-hero screen's difficulty field
    // The pointer is over the interface this frame: the shell sets it from the pointer areas
    // before the world handles the mouse (pointer_over_interface); the interface pass sets it
    // again while it draws. While it is set a press does not act on the world.
    uint32_t mouse_over_ui;
    uint8_t side_panel_page = 2;          // 2 inventory, 3 skills
    uint32_t player_invulnerable;         // attacks on the player do nothing
    int16_t shop_buy_factor;
    int16_t shop_sell_factor;
    uint32_t scroll_enabled = 1;          // the camera follows the hero; every level load sets it
    uint32_t zoom_enabled = 1;            // the zoom keys act; every level load sets it
    uint32_t f8_toggle;                   // the characters are drawn a second time, translucent

    // The quick-slot pull-down.
    uint32_t quick_menu_open;
    int16_t quick_menu_slot = -1;
    float quick_menu_alpha;
    uint32_t quick_menu_next_tick;
    int16_t quick_list_kind = -1;
    float quick_list_alpha;

    uint32_t container_open;              // the container window shows container_id
    int16_t container_id = -1;            // slot in the container table
    uint32_t second_container_open;
    int16_t second_container_id = -1;
    uint32_t overlay_click_latch;         // held left button on the overlay pages
    uint32_t quick_click_latch[k_quick_key_slots];

    // The item the mouse drags.
    int16_t held_icon = -1;               // texture slot drawn at the cursor
    int16_t held_item = -1;
    uint8_t held_origin = 255;            // cell or slot it was taken from
    uint8_t held_flag;                    // its damage-type byte (gold from a cell: its amount)
    uint32_t held_word;                   // its inventory entry's container-slot word
    uint32_t held_from_container;
    uint32_t held_from_second_container;

    // The quick bar, kept together as the quick-bar file stores it.
    int16_t quick_ids[k_quick_slots] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    uint16_t quick_icons[k_quick_slots];
    uint8_t quick_kinds[k_quick_slots];
    uint8_t quick_selected = 255;

    uint32_t preview_turn_due;            // the turning hero preview steps every 3 ticks
    uint32_t anim_step_due;
    uint32_t quick_list_open;
    uint32_t quick_list_next_tick;

    // Texture slots, first block.
    uint16_t hud_buttons[8];
    uint16_t hud_divider;
    uint16_t text_frame[6];               // the text windows' frame pieces
    uint16_t text_background;             // the overlay screens' text background
    uint16_t skill_tabs[3];
    uint16_t pull_kinds[4];               // quick, spell, weapon, remove
    uint16_t hud_frame[6];
    uint16_t panel_tiles[k_panel_tiles];  // panel by panel, each column by column
    uint16_t skill_page[15];
    uint16_t slot_box;
    uint16_t bars[3];
    uint16_t text_background_texture = k_no_texture_slot;  // the textured rectangle fill

    uint8_t overlay_screen = 1;           // which overlay screen is up; 1 the menu
    uint32_t dream_switch_allowed;        // "^enable_dreamworld"; saved with the game
    uint16_t quest_scroll_top;
    uint16_t quest_scroll_bottom;

    // Texture slots, second block.
    uint16_t menu_buttons[14];            // seven buttons, then the same seven highlighted
    uint16_t list_widgets[10];
    uint16_t save_load_frame[8];
    uint16_t save_load_buttons[18];       // normal and highlighted of each of nine buttons
    uint16_t settings_images[11];
    uint16_t new_hero_tabs[9];

    uint8_t settings_page;
    int16_t selected_save = -1;
    int16_t save_preview = -1;            // texture slot of the chosen save's picture
    uint8_t attunement_page;
    uint16_t attunement_icons[k_attunement_icons];
    int16_t clicked_char = -1;            // the character last clicked
    uint32_t npc_kill_enabled;            // "^enable_npckill": spells may hurt inhabitants

    // The new-hero screen.
    uint8_t start_attunement_count;
    int32_t name_cursor;
    uint8_t skill_added[4];

    // Asked of the HUD by the notices of new skill points and attunements.
    uint32_t skill_panel_request;
    uint32_t attunement_panel_request;

    // The hero's inventory as the interface follows it: the selected entry (-1 none) stays on
    // its entry when an entry before it is removed and becomes -1 when its own is; the weapon the
    // hero last equipped (-1 none), its icon's texture slot and a flag set at each change.
    int16_t selected_entry = -1;
    int16_t last_weapon = -1;
    uint16_t last_weapon_icon = k_no_texture_slot;
    uint32_t last_weapon_changed;

    // The areas the last pass of the interface showed (core/pointer_areas.h).
    pointer_area pointer_areas[k_pointer_areas];
    uint32_t pointer_area_count;
};
