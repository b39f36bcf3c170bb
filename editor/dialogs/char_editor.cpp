#include "editor/dialogs/char_editor.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_outline.h"
#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "engine/math.h"
#include "items/items.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

dialog_handle g_char_editor_window = 0;
int32_t g_added_item = -1;
int32_t g_added_item_amount = 1;
int32_t g_added_item_location = 0;

static_assert(offsetof(char_record, melee) == 889);
static_assert(offsetof(char_record, ranged_base) == 890);
static_assert(offsetof(char_record, ranged) == 891);
static_assert(offsetof(char_record, magic_base) == 892);
static_assert(offsetof(char_record, magic) == 893);
static_assert(offsetof(char_record, speed_base) == 894);
static_assert(offsetof(char_record, speed) == 895);

namespace {

constexpr char k_char_filter[] = "CHAR FILE\0*.chr\0ALL\0*.*\0";
constexpr const char* k_kinds[] = {"NORMAL", "PLAYER", "ENEMY", "NETPLAYER", "SIDEKICK"};
constexpr const char* k_equipment[] = {"cloak", "helm", "neclace", "ring1", "bots",   "ring2",
                                       "rhand", "armor", "weapon", "lhand", "shield", "legs"};
constexpr int32_t k_skills = 4;

int32_t selected_char(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_che_chars);
    return row >= 0 && uint32_t(row) < g_char_count && row < k_char_slots ? row : -1;
}

std::string char_row(int32_t slot)
{
    return std::to_string(slot) + "-" + std::string(g_chars[slot].name, strnlen(g_chars[slot].name, 20));
}

template <size_t N>
void set_text_field(dialog_handle dialog, int32_t id, const char (&text)[N])
{
    set_item_text(dialog, id, std::string(text, strnlen(text, N)).c_str());
}

// Base and current byte of skill k: melee, ranged, magic, speed.
uint8_t* skill_bytes(char_record& c, int32_t k)
{
    uint8_t* bytes[k_skills] = {&c.melee_base, &c.ranged_base, &c.magic_base, &c.speed_base};
    return bytes[k];
}

void fill_inventory(dialog_handle dialog, const char_record& c)
{
    clear_listview(dialog, k_che_inventory);
    const int32_t n = std::min<int32_t>(c.inv_count, k_inventory_entries);
    for (int32_t i = 0; i < n; ++i) {
        const int16_t item = c.inv_item[i];
        const char* name = item >= 0 && item < k_item_slots ? g_item_protos[item].display_name : "";
        set_listview_cell(dialog, k_che_inventory, 0, i, std::string(name, strnlen(name, 100)).c_str());
        char location[16];
        set_listview_cell(dialog, k_che_inventory, 1, i, inventory_location_text(c.inv_location[i], location));
        set_listview_cell(dialog, k_che_inventory, 2, i, std::to_string(int32_t(c.inv_value[i])).c_str());
    }
}

void show_char(dialog_handle dialog, char_record& c)
{
    set_item_int(dialog, k_che_level, c.level);
    set_item_int(dialog, k_che_exp, c.exp);
    set_text_field(dialog, k_che_name, c.name);
    set_item_int(dialog, k_che_anim_speed, c.anim_speed);
    set_text_field(dialog, k_che_description, c.display_name);
    set_item_int(dialog, k_che_hp_max, c.hp_max);
    set_item_int(dialog, k_che_hp, c.hp);
    set_item_int(dialog, k_che_run_speed, int32_t(c.run_speed));
    set_item_int(dialog, k_che_walk_speed, c.walk_speed);
    set_item_float(dialog, k_che_move_cor, "%.2f", c.move_correction);
    for (int32_t k = 0; k < k_skills; ++k) {
        const uint8_t* bytes = skill_bytes(c, k);
        set_item_int(dialog, k_che_melee + 2 * k, int8_t(bytes[0]));
        set_item_int(dialog, k_che_melee + 2 * k + 1, int8_t(bytes[1]));
    }
    set_item_int(dialog, k_che_range, c.range);
    set_item_int(dialog, k_che_gold, c.gold);
    set_item_float(dialog, k_che_scale_x, "%.2f", c.scale_x);
    set_item_float(dialog, k_che_scale_y, "%.2f", c.scale_y);
    set_text_field(dialog, k_che_appearance, c.appearance);
    for (int32_t k = 0; k < 8; ++k)
        set_item_int(dialog, k_che_resist + k, c.resist[k]);
    set_item_int(dialog, k_che_home_sector, c.home_sector);
    set_item_int(dialog, k_che_action_sector, c.action_sector);
    set_item_int(dialog, k_che_monster_point, c.monster_point);
    set_item_int(dialog, k_che_ai_distance, c.ai_distance);
    set_item_int(dialog, k_che_bleed, c.bleed_type);
    for (int32_t row = get_list_count(dialog, k_che_mem) - 1; row >= 0; --row)
        delete_list_string(dialog, k_che_mem, row);
    const int16_t* f = c.script_flags;
    char mem[100];
    std::snprintf(mem, sizeof mem, "%d-%d-%d-%d-%d-%d-%d-%d", f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
    add_list_string(dialog, k_che_mem, mem);
    fill_inventory(dialog, c);
    set_combo_sel(dialog, k_che_kind, c.kind);
    set_combo_sel(dialog, k_che_proto, c.monster_class);
    set_check(dialog, k_che_random_move, c.random_move ? 1 : 0);
}

// Whether a placement of the level names the live character (so the update reaches the map).
bool placed_in_level(int32_t slot)
{
    if (!world_object_of(g_chars[slot]))
        return false;
    for (int32_t i = 0; i < std::clamp<int32_t>(g_char_placements.count, 0, k_placement_slots); ++i)
        if (g_char_placements.entries[i].char_slot == slot)
            return true;
    return false;
}

void update_char(dialog_handle dialog, int32_t slot)
{
    char_record& c = g_chars[slot];
    get_item_text(dialog, k_che_name, c.name, sizeof c.name);
    get_item_text(dialog, k_che_description, c.display_name, sizeof c.display_name);
    for (int32_t k = 0; k < k_skills; ++k) {
        uint8_t* bytes = skill_bytes(c, k);
        bytes[0] = bytes[1] = uint8_t(get_item_int(dialog, k_che_melee + 2 * k));
    }
    c.exp = get_item_int(dialog, k_che_exp);
    c.hp_max = c.hp = get_item_int(dialog, k_che_hp_max);
    c.range = get_item_int(dialog, k_che_range);
    c.gold = get_item_int(dialog, k_che_gold);
    c.scale_x = get_item_float(dialog, k_che_scale_x, k_long_number_field_chars);
    c.scale_y = get_item_float(dialog, k_che_scale_y, k_long_number_field_chars);
    c.home_sector = get_item_int(dialog, k_che_home_sector);
    c.action_sector = int16_t(get_item_int(dialog, k_che_action_sector));
    if (const int32_t kind = get_combo_sel(dialog, k_che_kind); kind >= 0)
        c.kind = uint8_t(kind);
    if (const int32_t proto = get_combo_sel(dialog, k_che_proto); proto >= 0)
        c.monster_class = int16_t(proto);
    c.anim_speed = int16_t(get_item_int(dialog, k_che_anim_speed));
    c.run_speed = uint32_t(get_item_int(dialog, k_che_run_speed));
    c.walk_speed = uint8_t(get_item_int(dialog, k_che_walk_speed));
    c.move_correction = get_item_float(dialog, k_che_move_cor, k_long_number_field_chars);
    c.ai_distance2 = int16_t(get_item_int(dialog, k_che_ai_distance));
    c.level = get_item_int(dialog, k_che_level);
    get_item_text(dialog, k_che_appearance, c.appearance, sizeof c.appearance);
    delete_list_string(dialog, k_che_chars, slot);
    insert_list_string(dialog, k_che_chars, slot, char_row(slot).c_str());
    c.random_move = get_check(dialog, k_che_random_move) ? 1 : 0;
    c.ai_distance = int16_t(get_item_int(dialog, k_che_ai_distance));
    c.bleed_type = uint8_t(get_item_int(dialog, k_che_bleed));
    c.monster_point = int16_t(get_item_int(dialog, k_che_monster_point));
    set_list_sel(dialog, k_che_chars, slot);
    recompute_char_stats(&c, true);
    if (placed_in_level(slot)) {
        update_placement_from_char(&g_char_placements, slot);
        g_map_dirty = 1;
    }
}

void roll(dialog_handle dialog)
{
    const int32_t order[k_skills] = {0, 2, 1, 3};  // melee, magic, ranged, speed
    for (int32_t k : order) {
        const int32_t value = roll_dice(6, 3, 0);
        set_item_int(dialog, k_che_melee + 2 * k, value);
        set_item_int(dialog, k_che_melee + 2 * k + 1, value);
    }
}

// What the page does after the inventory changed.
void inventory_changed(dialog_handle dialog, char_record& c)
{
    char_sync_attunements(&c);
    char_apply_item_effects(&c);
    char_refresh_equipment(&c);
    set_char_anim(&c, c.anim_action, 1, 1);
    fill_inventory(dialog, c);
}

constexpr const char* k_add_locations[] = {"CLOAK", "HELM",   "NECLACE", "RING1",  "BOOTS", "RING2",     "RHAND",
                                           "ARMOR", "WEAPON", "LHAND",   "SHIELD", "LEGS",  "ATTUNEMENT"};

dialog_template add_item_template()
{
    dialog_template t;
    t.caption = "Add item";
    t.width = 200;
    t.height = 200;
    t.x = 200;
    t.y = 120;
    t.controls = {
        make_control(control_kind::static_text, -1, 4, 4, 40, 10, "Items:"),
        make_control(control_kind::list_box, k_aid_items, 4, 16, 192, 140),
        make_control(control_kind::static_text, -1, 4, 162, 34, 10, "Number:"),
        make_control(control_kind::edit, k_aid_number, 40, 160, 30, 12),
        make_control(control_kind::static_text, -1, 74, 162, 34, 10, "Location:"),
        make_control(control_kind::combo, k_aid_location, 110, 160, 86, 120),
        make_control(control_kind::button, k_aid_add, 90, 180, 50, 14, "ADD"),
        make_control(control_kind::button, k_id_cancel, 146, 180, 50, 14, "Cancel"),
    };
    return t;
}

void init_add_item(dialog_handle dialog)
{
    for (int32_t id = 0; id < std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots); ++id) {
        const char* name = g_item_protos[id].display_name;
        add_list_string(dialog, k_aid_items, std::string(name, strnlen(name, sizeof g_item_protos[id].display_name)).c_str());
    }
    set_item_text(dialog, k_aid_number, "1");
    for (int32_t k = 1; k <= 16; ++k)
        add_combo_string(dialog, k_aid_location, ("INVENTORY" + std::to_string(k)).c_str());
    for (const char* location : k_add_locations)
        add_combo_string(dialog, k_aid_location, location);
    set_combo_sel(dialog, k_aid_location, 0);
}

void add_item(dialog_handle dialog, int32_t slot)
{
    char_record& c = g_chars[slot];
    if (c.inv_count >= k_inventory_entries) {
        console_log("%s: inventar je plny (%d)", c.name, k_inventory_entries);
        return;
    }
    g_added_item = -1;
    run_modal_dialog(add_item_template(), add_item_dialog_proc, 0, dialog);
    if (g_added_item == -1 || !dialog_exists(dialog))
        return;
    char_give_item(&c, int16_t(g_added_item), uint32_t(g_added_item_amount), uint8_t(g_added_item_location), -1);
    inventory_changed(dialog, c);
}

void remove_item(dialog_handle dialog, int32_t slot)
{
    char_record& c = g_chars[slot];
    const int32_t count = std::min<int32_t>(c.inv_count, k_inventory_entries);
    const int32_t row = get_listview_selection(dialog, k_che_inventory);
    if (count <= 0 || row < 0 || row >= count)
        return;
    const int32_t entry = count - 1 - row;
    console_log("%d", entry);
    char_remove_item_at(&c, entry, false);
    inventory_changed(dialog, c);
}

void insert(int32_t slot)
{
    const float x = float(g_screen_width / 2) + g_camera_x;
    const float y = float(g_screen_height / 2) + g_camera_y;
    add_char(&g_chars[slot], slot, x, y);
}

void center(int32_t slot)
{
    const world_object* o = world_object_of(g_chars[slot]);
    if (!o)
        return;
    g_camera_x = o->x - float(g_screen_width / 2);
    g_camera_y = o->y - float(g_screen_height / 2);
}

void new_char(dialog_handle dialog)
{
    const int32_t slot = new_default_char();
    if (slot < 0)
        return;  // the table is full; new_default_char logged it
    copy_bounded(g_chars[slot].name, sizeof g_chars[slot].name, "NEW");
    set_list_sel(dialog, k_che_chars, add_list_string(dialog, k_che_chars, char_row(slot).c_str()));
    fill_char_inventory_list(dialog);
}

// Removes the slot unless a world object or the player uses it; every live-slot reference above
// it follows the records down.
void delete_char(dialog_handle dialog, int32_t slot)
{
    if (g_chars[slot].object >= 0 || uint32_t(slot) == g_player_char) {
        console_log("postavu %d nemozno zmazat: je vo svete alebo je to hrac", slot);
        return;
    }
    for (int32_t i = 0; i < std::clamp<int32_t>(g_char_placements.count, 0, k_placement_slots); ++i) {
        int16_t& live = g_char_placements.entries[i].char_slot;
        if (live == slot)
            live = -1;
        else if (live > slot)
            --live;
    }
    remove_char_slot(slot);
    delete_list_string(dialog, k_che_chars, slot);
}

void save_char(dialog_handle dialog, int32_t slot)
{
    const std::string path = ask_file_name("save character", k_char_filter, "chr", 2, dialog);
    if (!path.empty() && !write_char_file(slot, path.c_str()))
        console_log("%.200s: zapis zlyhal", path.c_str());
}

void load_char(dialog_handle dialog, int32_t slot)
{
    const std::string path = ask_file_name("load character", k_char_filter, "chr", k_file_dialog_open, dialog);
    if (!path.empty())
        read_char_file(slot, path.c_str());
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id == k_che_chars) {
        fill_char_inventory_list(dialog);
        return;
    }
    if (id == k_che_menu_new) {
        new_char(dialog);
        return;
    }
    const int32_t slot = selected_char(dialog);
    if (slot < 0)
        return;
    switch (id) {
    case k_che_update: update_char(dialog, slot); break;
    case k_che_roll: roll(dialog); break;
    case k_che_add: add_item(dialog, slot); break;
    case k_che_remove: remove_item(dialog, slot); break;
    case k_che_insert: insert(slot); break;
    case k_che_add_sector: char_set_outline_from_sector(&g_chars[slot], 0); break;
    case k_che_center: center(slot); break;
    case k_che_menu_delete: delete_char(dialog, slot); break;
    case k_che_menu_save: save_char(dialog, slot); break;
    case k_che_menu_load: load_char(dialog, slot); break;
    default: break;
    }
}

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        add_list_string(dialog, k_che_chars, char_row(int32_t(s)).c_str());
    for (const char* kind : k_kinds)
        add_combo_string(dialog, k_che_kind, kind);
    set_combo_sel(dialog, k_che_kind, 0);
    for (int32_t p = 0; p < std::clamp<int32_t>(g_monster_proto_count, 0, k_monster_proto_slots); ++p) {
        const char* name = g_monster_protos[p].name;
        add_combo_string(dialog, k_che_proto, std::string(name, strnlen(name, sizeof g_monster_protos[p].name)).c_str());
    }
    set_combo_sel(dialog, k_che_proto, 0);
}

// The page fits a 768-pixel screen under the tabs.
constexpr int32_t k_height = 400;

dialog_template page_template()
{
    dialog_template t;
    t.caption = "ChMain";
    t.width = 300;
    t.height = k_height;
    t.x = 0;
    t.y = k_tab_window_top;
    t.menu = {{"character",
               0,
               {{"new", k_che_menu_new, {}},
                {"delete", k_che_menu_delete, {}},
                {"save", k_che_menu_save, {}},
                {"load", k_che_menu_load, {}}}}};
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "",
                    uint32_t style = 0) {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text, style));
        return &t.controls.back();
    };
    // Label and field pairs in two columns right of the character list; a second id adds a
    // read-only or second field beside the first.
    struct row {
        const char* label;
        int32_t id, second;
        bool read_only;
        int32_t limit;
    };
    const row column_a[] = {
        {"name:", k_che_name, 0, false, 19},          {"description:", k_che_description, 0, false, 59},
        {"level:", k_che_level, 0, false, 0},         {"exp:", k_che_exp, 0, false, 0},
        {"anim speed:", k_che_anim_speed, 0, false, 0}, {"hitp:", k_che_hp_max, k_che_hp, true, 0},
        {"r/w sp:", k_che_run_speed, k_che_walk_speed, false, 0}, {"move cor.:", k_che_move_cor, 0, false, 0},
        {"melee:", k_che_melee, k_che_melee + 1, true, 0},  {"ranged:", k_che_melee + 2, k_che_melee + 3, true, 0},
        {"magic:", k_che_melee + 4, k_che_melee + 5, true, 0}, {"speed:", k_che_melee + 6, k_che_melee + 7, true, 0},
        {"range:", k_che_range, 0, false, 0},         {"gold:", k_che_gold, 0, false, 0},
        {"scale x/y:", k_che_scale_x, k_che_scale_y, false, 0}, {"apr name:", k_che_appearance, 0, false, 9},
        {"home sector:", k_che_home_sector, 0, false, 0}, {"action sector:", k_che_action_sector, 0, false, 0},
        {"m. point:", k_che_monster_point, 0, false, 0}, {"AI distance:", k_che_ai_distance, 0, false, 0},
        {"Bleed type:", k_che_bleed, 0, false, 0},
    };
    add(control_kind::static_text, -1, 4, 4, 60, 10, "Characters:");
    add(control_kind::list_box, k_che_chars, 4, 16, 70, 200);
    add(control_kind::static_text, -1, 80, 4, 40, 10, "AI type:");
    add(control_kind::combo, k_che_kind, 124, 2, 60, 80);
    add(control_kind::static_text, -1, 190, 4, 40, 10, "prototype:");
    add(control_kind::combo, k_che_proto, 232, 2, 64, 120);
    int32_t y = 18;
    for (const row& r : column_a) {
        add(control_kind::static_text, -1, 80, y + 2, 52, 10, r.label);
        const int32_t width = r.second ? 40 : (r.limit > 20 ? 86 : 60);
        add(control_kind::edit, r.id, 134, y, width, 12)->limit = r.limit;
        if (r.second)
            add(control_kind::edit, r.second, 178, y, 40, 12, "", r.read_only ? uint32_t(k_style_read_only) : 0u);
        y += 13;
    }
    add(control_kind::check, k_che_random_move, 80, y + 2, 80, 10, "Random AI move");
    add(control_kind::static_text, -1, 224, 18, 40, 10, "mem:");
    add(control_kind::list_box, k_che_mem, 224, 30, 72, 14);
    add(control_kind::group_box, -1, 224, 48, 72, 126, "Resistances");
    const char* const resists[8] = {"magic:", "fire:", "cold:", "light:", "poison:", "slash:", "pierce:", "crush:"};
    for (int32_t k = 0; k < 8; ++k) {
        add(control_kind::static_text, -1, 228, 60 + k * 14, 30, 10, resists[k]);
        add(control_kind::edit, k_che_resist + k, 260, 58 + k * 14, 32, 12, "", k_style_read_only);
    }
    const char* const buttons[] = {"UPDATE", "roll", "INSERT", "ADD SEC", "CENTER"};
    const int32_t button_ids[] = {k_che_update, k_che_roll, k_che_insert, k_che_add_sector, k_che_center};
    for (int32_t k = 0; k < 5; ++k)
        add(control_kind::button, button_ids[k], 224, 180 + k * 16, 72, 14, buttons[k]);
    y = std::max(y + 16, 264);
    add(control_kind::static_text, -1, 4, y, 60, 10, "Inventory:");
    add(control_kind::button, k_che_add, 190, y - 2, 50, 13, "ADD");
    add(control_kind::button, k_che_remove, 246, y - 2, 50, 13, "REMOVE");
    add(control_kind::list_view, k_che_inventory, 4, y + 14, 292, k_height - y - 18)->items = {"name", "loacation",
                                                                                          "quantity"};
    return t;
}

} // namespace

const char* inventory_location_text(uint8_t location, char (&buffer)[16])
{
    if (location <= k_inv_backpack_last)
        std::snprintf(buffer, sizeof buffer, "inventory%d", location + 1);
    else if (location >= k_inv_cloak && location <= k_inv_legs)
        std::snprintf(buffer, sizeof buffer, "%s", k_equipment[location - k_inv_cloak]);
    else if (location == k_inv_attunement)
        std::snprintf(buffer, sizeof buffer, "attunement");
    else
        buffer[0] = 0;
    return buffer;
}

void fill_char_inventory_list(dialog_handle dialog)
{
    const int32_t slot = selected_char(dialog);
    if (slot >= 0)
        show_char(dialog, g_chars[slot]);
}

bool char_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_char_editor_window, {init_page, run_command}, dialog, m);
}

bool add_item_dialog_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        init_add_item(dialog);
        return true;
    case dialog_message_kind::command:
        if (m.id == k_aid_add) {
            g_added_item = get_list_sel(dialog, k_aid_items);
            g_added_item_amount = get_item_int(dialog, k_aid_number);
            const int32_t row = get_combo_sel(dialog, k_aid_location);
            if (row >= 0)
                g_added_item_location = row == k_aid_attunement_row ? int32_t(k_inv_attunement) : row;
            end_dialog(dialog, k_id_ok);
        } else if (m.id == k_id_cancel) {
            end_dialog(dialog, k_id_cancel);
        }
        return true;
    case dialog_message_kind::close:
        end_dialog(dialog, k_id_cancel);
        return true;
    default:
        return false;
    }
}

void create_char_editor()
{
    create_dialog(page_template(), char_editor_proc);
}
