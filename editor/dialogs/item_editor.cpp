#include "editor/dialogs/item_editor.h"

#include "characters/char_models.h"
#include "core/console_log.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/item_effect_params.h"
#include "editor/windows/command_window.h"
#include "editor/windows/editor_windows.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "items/item_editing.h"
#include "items/item_properties.h"
#include "items/items.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* k_class_names[] = {
    "normal", "fast weapon", "medium weapon", "heavy weapon", "ranged weapon", "focus", "armor", "helm", "boots",
    "shield", "ring", "neclace", "cloak", "legs", "left hand armor", "right hand armor", "quick item", "container",
    "scroll", "efect", "attunement", "trap", "gem", "gold", "essence", "lantern", "book"};
constexpr const char* k_size_names[] = {"one/light/small", "two/robust/normal", "both/heavy/large"};
constexpr const char* k_category_names[] = {"axe", "sword", "polearm", "spear", "ranged", "blunt", "magic"};
constexpr const char* k_anim_names[] = {"NOCHANGE", "ONEHANDSWORD", "TWOHANDSWORD", "SPEAR", "BOW", "ROD/STAFF"};

struct class_filter {
    const char* label;
    int32_t group;     // 1 Items, 2 Weapons, 3 Special
    uint32_t classes;  // bit c: class c is listed; all bits: every class
};
constexpr uint32_t bit(int c)
{
    return 1u << c;
}
constexpr class_filter k_filters[k_item_filters] = {
    {"all", 1, ~0u},
    {"all weapons", 2, bit(1) | bit(2) | bit(3) | bit(4) | bit(5)},
    {"shield", 1, bit(9)},
    {"armor", 1, bit(6) | bit(7) | bit(14) | bit(15)},
    {"equipment", 1, bit(8) | bit(10) | bit(11) | bit(12) | bit(13)},
    {"quickitem", 1, bit(16)},
    {"kontainer", 1, bit(17)},
    {"scroll", 1, bit(18)},
    {"efect", 3, bit(19)},
    {"fast", 2, bit(1)},
    {"normal", 2, bit(2)},
    {"heavy", 2, bit(3)},
    {"ranged", 2, bit(4)},
    {"focus/staff/rod", 2, bit(5)},
    {"attunement", 3, bit(20)},
};

// The ids of the "attunement:" rows, filled when the window opens.
std::vector<int32_t> g_attunement_rows;

int32_t item_count()
{
    return std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots);
}

template <size_t N>
std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

std::string item_row(int32_t id)
{
    return std::to_string(id) + "-" + field(g_item_protos[id].display_name);
}

template <size_t N>
void fill_names(dialog_handle dialog, int32_t id, const char* const (&names)[N])
{
    for (const char* name : names)
        add_combo_string(dialog, id, name);
    set_combo_sel(dialog, id, 0);
}

void set_number(dialog_handle dialog, int32_t id, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    set_item_text(dialog, id, text);
}

long read_number(dialog_handle dialog, int32_t id)
{
    char text[64] = {};
    get_item_text(dialog, id, text, sizeof text);
    return std::strtol(text, nullptr, 10);
}

template <size_t N>
void read_text(dialog_handle dialog, int32_t id, char (&out)[N])
{
    get_item_text(dialog, id, out, int32_t(N));
}

// A drop-down's row into a field; a box without a selection keeps the field.
void read_box(dialog_handle dialog, int32_t id, uint8_t& out)
{
    const int32_t row = get_combo_sel(dialog, id);
    if (row >= 0)
        out = uint8_t(row);
}

// The item of the selected row of the item list, -1 when none.
int32_t selected_item(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_itm_list);
    char text[128] = {};
    if (row < 0 || get_list_text(dialog, k_itm_list, row, text, sizeof text) < 0)
        return -1;
    return find_item_by_list_row(text);
}

void fill_item_list(dialog_handle dialog, uint32_t classes)
{
    clear_list(dialog, k_itm_list);
    for (int32_t id = 0; id < item_count(); ++id) {
        const item_proto& item = g_item_protos[id];
        const bool listed = classes == ~0u || (item.item_class < 32 && (classes & bit(item.item_class)));
        if (!item.deleted && listed)
            add_list_string(dialog, k_itm_list, item_row(id).c_str());
    }
}

void apply_filter(dialog_handle dialog)
{
    for (int k = 0; k < k_item_filters; ++k)
        if (get_check(dialog, k_itm_filter + k) == 1) {
            fill_item_list(dialog, k_filters[k].classes);
            return;
        }
}

// The fields ADD takes from the controls (UPD with the display name, the category and the link).
struct number_field {
    int32_t id;
    int16_t item_proto::*wide;   // an i16 field, or
    uint8_t item_proto::*narrow; // a u8 field
};
constexpr number_field k_number_fields[] = {
    {k_itm_damage, &item_proto::damage, nullptr},
    {k_itm_critical, &item_proto::critical_chance, nullptr},
    {k_itm_attack_bonus, &item_proto::attack_bonus, nullptr},
    {k_itm_ac_bonus, &item_proto::armour_bonus, nullptr},
    {k_itm_range, &item_proto::range, nullptr},
    {k_itm_price, &item_proto::price, nullptr},
    {k_itm_duration, &item_proto::duration, nullptr},
    {k_itm_stamina_move, &item_proto::stamina_move, nullptr},
    {k_itm_stamina_attack, &item_proto::stamina_cost, nullptr},
    {k_itm_uses, nullptr, &item_proto::attack_delay},
    {k_itm_period, nullptr, &item_proto::period},
    {k_itm_hit_frame, nullptr, &item_proto::strike_frame},
    {k_itm_container_x, nullptr, &item_proto::container_width},
    {k_itm_container_y, nullptr, &item_proto::container_height},
};
struct box_field {
    int32_t id;
    uint8_t item_proto::*value;  // the row
};
constexpr box_field k_box_fields[] = {
    {k_itm_class, &item_proto::item_class},
    {k_itm_size, &item_proto::size},
    {k_itm_damage_type, &item_proto::damage_type},
    {k_itm_anim, &item_proto::anim_set},
};
struct text_field {
    int32_t id;
    size_t offset, size;  // the text's place in the record
};
#define ITEM_TEXT(id, name) {id, offsetof(item_proto, name), sizeof(item_proto::name)}
constexpr text_field k_text_fields[] = {
    ITEM_TEXT(k_itm_name, key_name),         ITEM_TEXT(k_itm_image, image_name),
    ITEM_TEXT(k_itm_model, model_name),      ITEM_TEXT(k_itm_attack_sound, sound_name),
    ITEM_TEXT(k_itm_hit_sound, hit_sound),
};
#undef ITEM_TEXT

char* text_of(item_proto& item, const text_field& f)
{
    return reinterpret_cast<char*>(&item) + f.offset;
}

void write_common_fields(dialog_handle dialog, item_proto& item)
{
    for (const text_field& f : k_text_fields)
        get_item_text(dialog, f.id, text_of(item, f), int32_t(f.size));
    for (const box_field& f : k_box_fields)
        read_box(dialog, f.id, item.*f.value);
    for (const number_field& f : k_number_fields) {
        const long value = read_number(dialog, f.id);
        if (f.wide)
            item.*f.wide = int16_t(value);
        else
            item.*f.narrow = uint8_t(value);
    }
    char text[64] = {};
    get_item_text(dialog, k_itm_multiplier, text, sizeof text);
    item.critical_multiplier = std::strtof(text, nullptr);
    item.destroy_after = get_check(dialog, k_itm_destroy) == 1 ? 1 : 0;
    item.no_loss = get_check(dialog, k_itm_no_container) == 1 ? 1 : 0;
}

void show_effect_rows(dialog_handle dialog, int32_t id)
{
    clear_list(dialog, k_itm_eff_list);
    const int32_t efects = std::clamp<int32_t>(g_item_protos[id].efect_count, 0, k_item_list_entries);
    for (int32_t e = 0; e < efects; ++e)
        add_list_string(dialog, k_itm_eff_list, effect_row_text(g_item_lists[id].efects[e]).c_str());
}

void show_lists(dialog_handle dialog, int32_t id)
{
    clear_list(dialog, k_itm_req_list);
    const int32_t requirements = std::clamp<int32_t>(g_item_protos[id].requirement_count, 0, k_item_list_entries);
    for (int32_t e = 0; e < requirements; ++e)
        add_list_string(dialog, k_itm_req_list, requirement_row_text(g_item_lists[id].requirements[e]).c_str());
    show_effect_rows(dialog, id);
}

void show_item(dialog_handle dialog, int32_t id)
{
    item_proto& item = g_item_protos[id];
    for (const text_field& f : k_text_fields)
        set_item_text(dialog, f.id, std::string(text_of(item, f), strnlen(text_of(item, f), f.size)).c_str());
    set_item_text(dialog, k_itm_desc, field(item.display_name).c_str());
    for (const box_field& f : k_box_fields)
        set_combo_sel(dialog, f.id, item.*f.value);
    set_combo_sel(dialog, k_itm_category, item.weapon_category);
    for (const number_field& f : k_number_fields)
        set_number(dialog, f.id, f.wide ? item.*f.wide : item.*f.narrow);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", double(item.critical_multiplier));
    set_item_text(dialog, k_itm_multiplier, text);
    const auto link = std::find(g_attunement_rows.begin(), g_attunement_rows.end(), int32_t(item.attunement_link));
    set_combo_sel(dialog, k_itm_attunement,
                  item.attunement_link >= 0 && link != g_attunement_rows.end() ? int32_t(link - g_attunement_rows.begin()) : -1);
    set_check(dialog, k_itm_destroy, item.destroy_after ? 1 : 0);
    set_check(dialog, k_itm_no_container, item.no_loss ? 1 : 0);
    show_lists(dialog, id);
}

// ADD: the lowest removed slot, else a new one after the last; refused when the table is full.
void add_item(dialog_handle dialog)
{
    int32_t slot = 0;
    while (slot < item_count() && !g_item_protos[slot].deleted)
        ++slot;
    if (slot >= k_item_slots) {
        console_log("tabulka predmetov je plna (%d)", k_item_slots);
        return;
    }
    item_proto& item = g_item_protos[slot];
    if (slot == item_count()) {  // a slot never used in this table starts clean
        item = item_proto{};
        item.attunement_link = -1;
        item.ground_model = k_item_no_ground_model;
        g_item_lists[slot] = item_lists{};
    }
    write_common_fields(dialog, item);
    copy_bounded(item.display_name, sizeof item.display_name, "new item");
    item.deleted = 0;
    add_list_string(dialog, k_itm_list, item_row(slot).c_str());
    if (slot == item_count())
        g_item_proto_count = slot + 1;
}

void remove_item(dialog_handle dialog)
{
    const int32_t id = selected_item(dialog);
    if (id < 0)
        return;
    g_item_protos[id].deleted = 1;
    delete_list_string(dialog, k_itm_list, get_list_sel(dialog, k_itm_list));
}

void update_item(dialog_handle dialog)
{
    const int32_t id = selected_item(dialog);
    if (id < 0)
        return;
    item_proto& item = g_item_protos[id];
    write_common_fields(dialog, item);
    read_text(dialog, k_itm_desc, item.display_name);
    read_box(dialog, k_itm_category, item.weapon_category);
    const int32_t link = get_combo_sel(dialog, k_itm_attunement);
    item.attunement_link = int16_t(link >= 0 && link < int32_t(g_attunement_rows.size()) ? g_attunement_rows[size_t(link)] : -1);
    const int32_t row = get_list_sel(dialog, k_itm_list);
    delete_list_string(dialog, k_itm_list, row);
    insert_list_string(dialog, k_itm_list, row, item_row(id).c_str());
    set_list_sel(dialog, k_itm_list, row);
}

// The text of a combo's selected row, "" without one.
std::string selected_text(dialog_handle dialog, int32_t id)
{
    char text[160] = {};
    const int32_t row = get_combo_sel(dialog, id);
    if (row >= 0)
        get_combo_text(dialog, id, row, text, sizeof text);
    return text;
}

void fill_requirement_boxes(dialog_handle dialog)
{
    param_box boxes[k_requirement_param_boxes];
    requirement_param_boxes(get_combo_sel(dialog, k_itm_req_code), boxes);
    for (int k = 0; k < k_requirement_param_boxes; ++k)
        fill_param_box(dialog, k_itm_req_param + k, boxes[k], -1);
}

void fill_effect_boxes(dialog_handle dialog)
{
    param_box boxes[k_effect_param_boxes];
    effect_param_boxes(get_combo_sel(dialog, k_itm_eff_code), boxes);
    for (int k = 0; k < k_effect_param_boxes; ++k)
        fill_param_box(dialog, k_itm_eff_param + k, boxes[k], get_combo_sel(dialog, k_itm_eff_param + 1));
}

void add_requirement(dialog_handle dialog)
{
    const int32_t code = get_combo_sel(dialog, k_itm_req_code);
    const int32_t id = selected_item(dialog);
    if (code < 1 || id < 0 || g_item_protos[id].requirement_count >= k_item_list_entries)
        return;
    std::string row = std::string(k_requirement_texts[code].editor_name) + " ";
    int32_t args[k_requirement_param_boxes];
    for (int k = 0; k < k_requirement_param_boxes; ++k) {
        row += selected_text(dialog, k_itm_req_param + k) + " ";
        args[k] = get_combo_sel(dialog, k_itm_req_param + k);
    }
    add_list_string(dialog, k_itm_req_list, row.c_str());
    add_item_requirement(id, code, args[0], args[1], args[2]);
}

int32_t model_argument(dialog_handle dialog, int32_t box)
{
    const int32_t found = find_chardata_by_name(selected_text(dialog, k_itm_eff_param + box).c_str());
    return found < 0 ? -1 : found;
}

void add_effect(dialog_handle dialog)
{
    const int32_t code = get_combo_sel(dialog, k_itm_eff_code);
    const int32_t id = selected_item(dialog);
    if (code < 1 || id < 0 || g_item_protos[id].efect_count >= k_item_list_entries)
        return;
    std::string row = std::string(k_efect_editor_names[code]) + " ";
    int32_t args[k_effect_param_boxes];
    for (int k = 0; k < k_effect_param_boxes; ++k) {
        row += selected_text(dialog, k_itm_eff_param + k) + " ";
        args[k] = get_combo_sel(dialog, k_itm_eff_param + k);
    }
    if (code == k_efect_change_3d_part)
        args[2] = model_argument(dialog, 2);
    if (code == k_efect_change_char_part)
        args[1] = model_argument(dialog, 1);
    add_list_string(dialog, k_itm_eff_list, row.c_str());
    add_item_effect(id, code, args);
}

void remove_entry(dialog_handle dialog, int32_t list, void (*remove)(int32_t, int32_t))
{
    const int32_t row = get_list_sel(dialog, list);
    const int32_t id = selected_item(dialog);
    if (row < 0 || id < 0)
        return;
    remove(id, row);
    delete_list_string(dialog, list, row);
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id >= k_itm_filter && id < k_itm_filter + k_item_filters) {
        apply_filter(dialog);
        return;
    }
    if (id == k_itm_eff_param + 1 && get_combo_sel(dialog, k_itm_eff_code) == k_efect_change_3d_part) {
        param_box boxes[k_effect_param_boxes];
        effect_param_boxes(k_efect_change_3d_part, boxes);
        fill_param_box(dialog, k_itm_eff_param + 2, boxes[2], get_combo_sel(dialog, id));
        return;
    }
    switch (id) {
    case k_itm_list: {
        const int32_t item = selected_item(dialog);
        if (item >= 0)
            show_item(dialog, item);
        break;
    }
    case k_itm_add: add_item(dialog); break;
    case k_itm_rem: remove_item(dialog); break;
    case k_itm_upd: update_item(dialog); break;
    case k_itm_req_code: fill_requirement_boxes(dialog); break;
    case k_itm_req_add: add_requirement(dialog); break;
    case k_itm_req_rem: remove_entry(dialog, k_itm_req_list, remove_item_requirement); break;
    case k_itm_eff_code: fill_effect_boxes(dialog); break;
    case k_itm_eff_add: add_effect(dialog); break;
    case k_itm_eff_rem: remove_entry(dialog, k_itm_eff_list, remove_item_effect); break;
    default: break;
    }
}

void init(dialog_handle dialog)
{
    g_item_editor_window = dialog;
    fill_item_list(dialog, ~0u);
    g_attunement_rows.clear();
    for (int32_t id = 0; id < item_count(); ++id)
        if (g_item_protos[id].item_class == k_item_attunement && !g_item_protos[id].deleted) {
            g_attunement_rows.push_back(id);
            add_combo_string(dialog, k_itm_attunement, item_row(id).c_str());
        }
    set_combo_sel(dialog, k_itm_attunement, 0);
    fill_names(dialog, k_itm_class, k_class_names);
    fill_names(dialog, k_itm_size, k_size_names);
    fill_names(dialog, k_itm_damage_type, k_damage_type_names);
    fill_names(dialog, k_itm_category, k_category_names);
    for (const requirement_code_text& r : k_requirement_texts)
        add_combo_string(dialog, k_itm_req_code, r.editor_name);
    set_combo_sel(dialog, k_itm_req_code, 0);
    fill_names(dialog, k_itm_eff_code, k_efect_editor_names);
    fill_names(dialog, k_itm_anim, k_anim_names);
}

dialog_template item_template()
{
    dialog_template t;
    t.caption = "Item/weapon/efect/perk Editor";
    t.width = 570;
    t.height = 330;
    t.x = 140; // the window fits a screen 1024 pixels wide
    t.y = k_tab_window_top; // below the tab strip
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
        return &t.controls.back();
    };
    add(control_kind::list_box, k_itm_list, 4, 4, 120, 250);
    add(control_kind::button, k_itm_add, 4, 258, 38, 13, "ADD");
    add(control_kind::button, k_itm_rem, 45, 258, 38, 13, "REM");
    add(control_kind::button, k_itm_upd, 86, 258, 38, 13, "UPD");
    // The fields, two label-and-box columns.
    struct labelled {
        const char* label;
        control_kind kind;
        int32_t id;
        int32_t limit;
    };
    const labelled left[] = {
        {"name:", control_kind::edit, k_itm_name, 29},          {"desc:", control_kind::edit, k_itm_desc, 99},
        {"type:", control_kind::combo, k_itm_class, 0},         {"", control_kind::combo, k_itm_size, 0},
        {"weapon cathegory:", control_kind::combo, k_itm_category, 0}, {"dam:", control_kind::edit, k_itm_damage, 0},
        {"critical: %", control_kind::edit, k_itm_critical, 0}, {"X", control_kind::edit, k_itm_multiplier, 0},
        {"", control_kind::combo, k_itm_damage_type, 0},        {"hit frame:", control_kind::edit, k_itm_hit_frame, 0},
        {"attunement:", control_kind::combo, k_itm_attunement, 0}, {"Price:", control_kind::edit, k_itm_price, 0},
        {"range:", control_kind::edit, k_itm_range, 0},         {"attack bonus:", control_kind::edit, k_itm_attack_bonus, 0},
        {"AC bonus:", control_kind::edit, k_itm_ac_bonus, 0},   {"Duration:", control_kind::edit, k_itm_duration, 0},
    };
    const labelled right[] = {
        {"Num of use:", control_kind::edit, k_itm_uses, 0},     {"Period:", control_kind::edit, k_itm_period, 0},
        {"anim prototype:", control_kind::combo, k_itm_anim, 0}, {"attack sound:", control_kind::edit, k_itm_attack_sound, 31},
        {"hit sound:", control_kind::edit, k_itm_hit_sound, 29}, {"stamina move:", control_kind::edit, k_itm_stamina_move, 0},
        {"/attack penalty:", control_kind::edit, k_itm_stamina_attack, 0},
        {"kontainer x:", control_kind::edit, k_itm_container_x, 0}, {"/y size:", control_kind::edit, k_itm_container_y, 0},
        {"interface name:", control_kind::edit, k_itm_image, 29}, {"model name:", control_kind::edit, k_itm_model, 29},
    };
    // Two columns of a label and its box; the first column's labels are the longer.
    auto place = [&](const labelled& f, int32_t x, int32_t label_width, int32_t box_width, int32_t y) {
        add(control_kind::static_text, 0, x, y + 2, label_width, 10, f.label);
        control_template* c = add(f.kind, f.id, x + label_width + 2, y, box_width, f.kind == control_kind::combo ? 120 : 12);
        c->limit = f.limit;
    };
    for (size_t k = 0; k < std::size(left); ++k)
        place(left[k], 130, 74, 68, 4 + int32_t(k) * 15);
    for (size_t k = 0; k < std::size(right); ++k)
        place(right[k], 278, 62, 78, 4 + int32_t(k) * 15);
    add(control_kind::check, k_itm_destroy, 278, 172, 160, 10, "Destroy after use (or after duration)");
    add(control_kind::check, k_itm_no_container, 278, 184, 160, 10, "Do not move to container");
    // The class filters in three groups, two radio buttons a row.
    const char* const groups[] = {"Items", "Weapons", "Special"};
    int32_t top = 4;
    for (int32_t group = 1; group <= 3; ++group) {
        int32_t n = 0;
        for (int k = 0; k < k_item_filters; ++k) {
            if (k_filters[k].group != group)
                continue;
            add(control_kind::radio, k_itm_filter + k, 428 + (n % 2) * 66, top + 10 + (n / 2) * 11, 64, 10,
                k_filters[k].label)
                ->group = group;
            ++n;
        }
        const int32_t height = 14 + (n + 1) / 2 * 11;
        add(control_kind::group_box, 0, 424, top, 142, height, groups[group - 1]);
        top += height + 2;
    }
    add(control_kind::static_text, 0, 130, 246, 80, 10, "REQUIREMENTS");
    add(control_kind::combo, k_itm_req_code, 130, 258, 80, 120);
    for (int k = 0; k < k_requirement_param_boxes; ++k)
        add(control_kind::combo, k_itm_req_param + k, 130, 273 + k * 15, 80, 120);
    add(control_kind::list_box, k_itm_req_list, 214, 246, 120, 64);
    add(control_kind::button, k_itm_req_add, 214, 313, 38, 13, "ADD");
    add(control_kind::button, k_itm_req_rem, 256, 313, 38, 13, "REM");
    add(control_kind::static_text, 0, 340, 198, 80, 10, "EFECTS");
    add(control_kind::combo, k_itm_eff_code, 340, 210, 90, 160);
    for (int k = 0; k < k_effect_param_boxes; ++k)
        add(control_kind::combo, k_itm_eff_param + k, 340, 225 + k * 15, 90, 160);
    add(control_kind::list_box, k_itm_eff_list, 434, 198, 122, 112);
    add(control_kind::button, k_itm_eff_add, 434, 313, 38, 13, "ADD");
    add(control_kind::button, k_itm_eff_rem, 476, 313, 38, 13, "REM");
    return t;
}

} // namespace

void refill_item_editor_boxes(const table_change& change)
{
    const dialog_handle dialog = g_item_editor_window;
    const param_rows listed = change.table == record_table::spells         ? param_rows::spell
                              : change.table == record_table::efect_protos ? param_rows::efect_proto
                                                                           : param_rows::none;
    if (!dialog || listed == param_rows::none)
        return;
    param_box boxes[k_effect_param_boxes];
    effect_param_boxes(get_combo_sel(dialog, k_itm_eff_code), boxes);
    for (int k = 0; k < k_effect_param_boxes; ++k) {
        if (boxes[k].rows != listed)
            continue;
        const int32_t id = k_itm_eff_param + k;
        const int32_t row = get_combo_sel(dialog, id);
        fill_param_box(dialog, id, boxes[k], -1);
        set_combo_sel(dialog, id, row < 0 ? -1 : renumbered(change, row));
    }
    // The chosen item's EFECTS rows name spells and effect prototypes by what they are now.
    if (const int32_t item = selected_item(dialog); item >= 0) {
        const int32_t row = get_list_sel(dialog, k_itm_eff_list);
        show_effect_rows(dialog, item);
        set_list_sel(dialog, k_itm_eff_list, row);
    }
}

bool item_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_item_editor_window, {init, run_command}, dialog, m);
}

void open_item_editor()
{
    if (!g_item_editor_window)
        create_dialog(item_template(), item_editor_proc);
}
