#include "editor/dialogs/monster_editor.h"

#include "core/console_log.h"
#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/item_effect_params.h"
#include "editor/windows/command_window.h"
#include "editor/windows/editor_windows.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "items/items.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

weapon_table_clip g_weapon_table_clipboard;
treasure_table_clip g_treasure_table_clipboard;

namespace {

constexpr int32_t k_table_limit = k_monster_table_entries - 1;  // "add" stops here
constexpr int32_t k_top_chance_step = 20;
constexpr const char* k_attack_classes[] = {"fast", "normal", "heavy", "magic"};
constexpr const char* k_dreamwalk_types[] = {"dreamwalker", "normal creature", "astral creature"};
constexpr const char* k_grades[] = {"00", "F",  "E-", "E",  "E+", "D-", "D",  "D+", "C-",
                                    "C",  "C+", "B-", "B",  "B+", "A-", "A",  "A+"};
constexpr const char* k_rarities[] = {"common", "uncommon", "rare", "custom"};

// The i16 fields shown in edits.
struct number_field {
    int32_t id;
    int16_t monster_proto::*member;
};
constexpr number_field k_number_fields[] = {
    {k_mon_damage_multiplier, &monster_proto::unarmed_per_level},
    {k_mon_damage_bonus, &monster_proto::unarmed_base},
    {k_mon_critical_chance, &monster_proto::critical_base},
    {k_mon_critical_multiplier, &monster_proto::critical_per_level},
    {k_mon_critical_damage, &monster_proto::unarmed_critical_multiplier},
    {k_mon_armour_base, &monster_proto::armor_base},
    {k_mon_armour_multiplier, &monster_proto::armor_per_level},
    {k_mon_shield, &monster_proto::shield},
    {k_mon_hitpoints, &monster_proto::hp_percent},
    {k_mon_experience, &monster_proto::exp_percent},
    {k_mon_attack_pause, &monster_proto::attack_pause},
};

// The items behind the rows of the two item drop-downs, filled when the window opens.
std::vector<int32_t> g_weapon_item_rows;
std::vector<int32_t> g_treasure_item_rows;

int32_t proto_count()
{
    return std::clamp<int32_t>(g_monster_proto_count, 0, k_monster_proto_slots);
}

int32_t weapon_count(const monster_proto& p)
{
    return std::min<int32_t>(p.weapon_count, k_monster_table_entries);
}

int32_t treasure_count(const monster_proto& p)
{
    return std::clamp<int32_t>(p.treasure_count, 0, k_monster_table_entries);
}

template <size_t N>
std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

std::string item_name(int32_t id)
{
    const item_proto* item = item_proto_at(id);
    return item ? field(item->display_name) : "?";
}

std::string rarity_name(int32_t rarity)
{
    return rarity >= 0 && rarity < int32_t(std::size(k_rarities)) ? k_rarities[rarity] : "?";
}

// The selected class, -1 without one.
int32_t selected_proto(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_mon_list);
    return row >= 0 && row < proto_count() ? row : -1;
}

template <size_t N>
void fill_names(dialog_handle dialog, int32_t id, const char* const (&names)[N], size_t count = N)
{
    for (size_t k = 0; k < count && k < N; ++k)
        add_combo_string(dialog, id, names[k]);
    set_combo_sel(dialog, id, 0);
}

void fill_numbers(dialog_handle dialog, int32_t id, int32_t first, int32_t last, int32_t step)
{
    for (int32_t n = first; n <= last; n += step)
        add_combo_string(dialog, id, std::to_string(n).c_str());
    set_combo_sel(dialog, id, 0);
}

void set_number(dialog_handle dialog, int32_t id, int64_t value)
{
    set_item_text(dialog, id, std::to_string(value).c_str());
}

// A field's number: its leading digits, at most `width` characters read.
long read_number(dialog_handle dialog, int32_t id, int32_t width = 9)
{
    char text[16] = {};
    get_item_text(dialog, id, text, std::min<int32_t>(width + 1, sizeof text));
    return std::strtol(text, nullptr, 10);
}

void fill_tables(dialog_handle dialog, monster_proto& p)
{
    clear_list(dialog, k_mon_weapon_list);
    char row[200];
    for (int32_t e = 0; e < weapon_count(p); ++e) {
        std::snprintf(row, sizeof row, "%s level %d %s", item_name(p.weapon_item[e]).c_str(), p.weapon_level[e],
                      rarity_name(p.weapon_rarity[e]).c_str());
        add_list_string(dialog, k_mon_weapon_list, row);
    }
    clear_list(dialog, k_mon_treasure_list);
    for (int32_t e = 0; e < treasure_count(p); ++e) {
        if (p.treasure_chance[e] > k_top_chance_step)
            p.treasure_chance[e] = k_top_chance_step;
        std::snprintf(row, sizeof row, "%s level %d of type %s with chance %d%%", item_name(p.treasure_item[e]).c_str(),
                      p.treasure_level[e], rarity_name(p.treasure_rarity[e]).c_str(), 5 * p.treasure_chance[e]);
        add_list_string(dialog, k_mon_treasure_list, row);
    }
}

// A field's change stored into class p; false when the control is not a field.
bool store_field(dialog_handle dialog, int32_t id, monster_proto& p)
{
    for (const number_field& f : k_number_fields)
        if (f.id == id) {
            p.*f.member = int16_t(read_number(dialog, id));
            return true;
        }
    const int32_t row = get_combo_sel(dialog, id);
    switch (id) {
    case k_mon_type:
        if (row >= 0)
            p.genus = uint8_t(row);
        return true;
    case k_mon_attack_class:
        if (row >= 0)
            p.attack_class = int16_t(row);
        return true;
    case k_mon_damage_type:
        if (row >= 0)
            p.damage_type = int16_t(row);
        return true;
    case k_mon_dreamwalk:
        if (row >= 0)
            p.dreamwalk = uint8_t(row);
        return true;
    case k_mon_name:
        get_item_text(dialog, id, p.name, sizeof p.name);
        return true;
    case k_mon_chr_name:
        get_item_text(dialog, id, p.chr_name, sizeof p.chr_name);
        return true;
    case k_mon_aphotic:
        p.aphotic = uint8_t(get_check(dialog, id) == 1);
        return true;
    case k_mon_main_chance:
        p.treasure_chance_main = uint8_t(read_number(dialog, id));
        return true;
    default:
        break;
    }
    if (id >= k_mon_skill && id < k_mon_skill + 4) {
        if (row >= 0)
            p.base_skills[id - k_mon_skill] = int16_t(row);
        return true;
    }
    if (id >= k_mon_gold && id < k_mon_gold + 3) {
        const uint32_t value = uint32_t(read_number(dialog, id, 11));
        if (id == k_mon_gold)
            p.carries_gold = value;
        else
            p.reserved_792[id - k_mon_gold - 1] = value;
        return true;
    }
    return false;
}

// The item of an item drop-down's selected row, -1 without one.
int32_t chosen_item(dialog_handle dialog, int32_t id, const std::vector<int32_t>& rows)
{
    const int32_t row = get_combo_sel(dialog, id);
    return row >= 0 && row < int32_t(rows.size()) ? rows[size_t(row)] : -1;
}

// One of a class's two random tables as columns of equal length: the items, then the level,
// the rarity and (treasure only) the chance step.
struct random_table {
    int16_t* item;
    uint8_t* columns[3];
    int32_t count;
};

random_table table_of(monster_proto& p, bool treasure)
{
    if (treasure)
        return {p.treasure_item, {p.treasure_level, p.treasure_rarity, p.treasure_chance}, treasure_count(p)};
    return {p.weapon_item, {p.weapon_level, p.weapon_rarity, nullptr}, weapon_count(p)};
}

void set_table_count(monster_proto& p, bool treasure, int32_t count)
{
    if (treasure)
        p.treasure_count = int16_t(count);
    else
        p.weapon_count = uint8_t(count);
}

// "add": the chosen item, level position + 1, rarity position (and the chance step) appended.
void add_entry(dialog_handle dialog, int32_t c, bool treasure)
{
    monster_proto& p = g_monster_protos[c];
    const random_table t = table_of(p, treasure);
    const int32_t item = treasure ? chosen_item(dialog, k_mon_treasure_item, g_treasure_item_rows)
                                  : chosen_item(dialog, k_mon_weapon_item, g_weapon_item_rows);
    if (t.count >= k_table_limit || item < 0)
        return;
    const int32_t n = t.count;
    t.item[n] = int16_t(item);
    t.columns[0][n] = uint8_t(get_combo_sel(dialog, treasure ? k_mon_treasure_level : k_mon_weapon_level) + 1);
    t.columns[1][n] = uint8_t(get_combo_sel(dialog, treasure ? k_mon_treasure_rarity : k_mon_weapon_rarity));
    if (treasure)
        t.columns[2][n] = uint8_t(get_combo_sel(dialog, k_mon_treasure_chance));
    set_table_count(p, treasure, n + 1);
    fill_monster_list(dialog, c);
}

// "rem": the entry of the selected row taken out, the later ones moved down.
void remove_entry(dialog_handle dialog, int32_t c, bool treasure)
{
    monster_proto& p = g_monster_protos[c];
    const random_table t = table_of(p, treasure);
    const int32_t e = get_list_sel(dialog, treasure ? k_mon_treasure_list : k_mon_weapon_list);
    if (e < 0 || e >= t.count)
        return;
    std::copy(t.item + e + 1, t.item + t.count, t.item + e);
    for (uint8_t* column : t.columns)
        if (column)
            std::copy(column + e + 1, column + t.count, column + e);
    set_table_count(p, treasure, t.count - 1);
    fill_monster_list(dialog, c);
}

void copy_tables(int32_t id, monster_proto& p)
{
    if (id == k_mon_menu_copy_weapons) {
        weapon_table_clip& w = g_weapon_table_clipboard;
        w.count = weapon_count(p);
        std::copy_n(p.weapon_item, w.count, w.item), std::copy_n(p.weapon_level, w.count, w.level);
        std::copy_n(p.weapon_rarity, w.count, w.rarity);
    } else if (id == k_mon_menu_copy_treasure) {
        treasure_table_clip& t = g_treasure_table_clipboard;
        t.count = treasure_count(p);
        std::copy_n(p.treasure_item, t.count, t.item), std::copy_n(p.treasure_chance, t.count, t.chance);
        std::copy_n(p.treasure_level, t.count, t.level), std::copy_n(p.treasure_rarity, t.count, t.rarity);
    } else if (id == k_mon_menu_paste_weapons) {
        const weapon_table_clip& w = g_weapon_table_clipboard;
        p.weapon_count = uint8_t(w.count);
        std::copy_n(w.item, w.count, p.weapon_item), std::copy_n(w.level, w.count, p.weapon_level);
        std::copy_n(w.rarity, w.count, p.weapon_rarity);
    } else if (id == k_mon_menu_paste_treasure) {
        const treasure_table_clip& t = g_treasure_table_clipboard;
        p.treasure_count = int16_t(t.count);
        std::copy_n(t.item, t.count, p.treasure_item), std::copy_n(t.chance, t.count, p.treasure_chance);
        std::copy_n(t.level, t.count, p.treasure_level), std::copy_n(t.rarity, t.count, p.treasure_rarity);
    }
}

void new_proto(dialog_handle dialog)
{
    const int32_t n = proto_count();
    if (n >= k_monster_proto_slots) {
        console_log("tabulka monstier je plna (%d)", k_monster_proto_slots);
        return;
    }
    monster_proto& p = g_monster_protos[n];
    p = monster_proto{};  // a slot past the count carries nothing over
    new_monster_proto(&p);
    add_list_string(dialog, k_mon_list, field(p.name).c_str());
    g_monster_proto_count = int16_t(n + 1);
    fill_monster_list(dialog, n);
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id == k_mon_menu_new) {
        new_proto(dialog);
        return;
    }
    const int32_t c = selected_proto(dialog);
    if (c < 0)
        return;
    monster_proto& p = g_monster_protos[c];
    if (store_field(dialog, id, p))
        return;
    switch (id) {
    case k_mon_list: fill_monster_list(dialog, c); break;
    case k_mon_weapon_add: add_entry(dialog, c, false); break;
    case k_mon_treasure_add: add_entry(dialog, c, true); break;
    case k_mon_weapon_rem: remove_entry(dialog, c, false); break;
    case k_mon_treasure_rem: remove_entry(dialog, c, true); break;
    case k_mon_menu_delete:
        new_monster_proto(&p);
        fill_monster_list(dialog, c);
        break;
    default: copy_tables(id, p); break;
    }
}

// The item drop-downs: display names of the items neither removed nor kept out of containers
// whose class the test accepts, in item order.
void fill_items(dialog_handle dialog, int32_t id, std::vector<int32_t>& rows, bool weapons)
{
    rows.clear();
    for (int32_t i = 0; i < std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots); ++i) {
        const item_proto& item = g_item_protos[i];
        const bool weapon_class = item.item_class >= 1 && item.item_class <= 5;
        const bool listed = weapons ? weapon_class : item.item_class == 0 || item.item_class >= 5;
        if (item.deleted || item.no_loss || !listed)
            continue;
        rows.push_back(i);
        add_combo_string(dialog, id, field(item.display_name).c_str());
    }
    set_combo_sel(dialog, id, 0);
}

void init(dialog_handle dialog)
{
    for (int32_t c = 0; c < proto_count(); ++c)
        add_list_string(dialog, k_mon_list, field(g_monster_protos[c].name).c_str());
    fill_names(dialog, k_mon_type, k_genus_names);
    fill_names(dialog, k_mon_attack_class, k_attack_classes);
    fill_names(dialog, k_mon_damage_type, k_damage_type_names);
    fill_names(dialog, k_mon_dreamwalk, k_dreamwalk_types);
    for (int32_t k = 0; k < 4; ++k) {
        fill_names(dialog, k_mon_skill + k, k_grades);
        set_combo_sel(dialog, k_mon_skill + k, 1);
    }
    fill_items(dialog, k_mon_treasure_item, g_treasure_item_rows, false);
    fill_numbers(dialog, k_mon_treasure_chance, 0, 100, 5);
    fill_numbers(dialog, k_mon_treasure_level, 1, 21, 1);
    fill_names(dialog, k_mon_treasure_rarity, k_rarities);
    fill_items(dialog, k_mon_weapon_item, g_weapon_item_rows, true);
    fill_numbers(dialog, k_mon_weapon_level, 1, 20, 1);
    fill_names(dialog, k_mon_weapon_rarity, k_rarities, 3);
    g_monster_editor_window = dialog;
}

dialog_template monster_template()
{
    dialog_template t;
    t.caption = "Monsters Editor";
    t.width = 500;
    t.height = 300;
    t.x = 270; // the window fits a screen 1024 pixels wide
    t.y = k_tab_window_top; // below the tab strip
    t.menu = {{"Monster",
               0,
               {{"new", k_mon_menu_new, {}},
                {"delete", k_mon_menu_delete, {}},
                {"copytreasuretable", k_mon_menu_copy_treasure, {}},
                {"copyweapontable", k_mon_menu_copy_weapons, {}},
                {"pastetreasuretable", k_mon_menu_paste_treasure, {}},
                {"pasteweapontable", k_mon_menu_paste_weapons, {}}}}};
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
        return &t.controls.back();
    };
    add(control_kind::list_box, k_mon_list, 4, 4, 80, 290);
    struct labelled {
        const char* label;
        control_kind kind;
        int32_t id;
        int32_t limit;
    };
    const labelled fields[] = {
        {"Type:", control_kind::combo, k_mon_type, 0},
        {"Name:", control_kind::edit, k_mon_name, 100},
        {"Attack Class:", control_kind::combo, k_mon_attack_class, 0},
        {"Damage Type:", control_kind::combo, k_mon_damage_type, 0},
        {"Damage: multiplier", control_kind::edit, k_mon_damage_multiplier, 9},
        {"bonus", control_kind::edit, k_mon_damage_bonus, 9},
        {"Critical: chance", control_kind::edit, k_mon_critical_chance, 9},
        {"multiplier", control_kind::edit, k_mon_critical_multiplier, 9},
        {"damage", control_kind::edit, k_mon_critical_damage, 9},
        {"base armour value", control_kind::edit, k_mon_armour_base, 9},
        {"Armour: multiplier", control_kind::edit, k_mon_armour_multiplier, 9},
        {"shield", control_kind::edit, k_mon_shield, 9},
        {"hitpoints multi:", control_kind::edit, k_mon_hitpoints, 9},
        {"exp multi:", control_kind::edit, k_mon_experience, 9},
        {"dreamwalk type:", control_kind::combo, k_mon_dreamwalk, 0},
        {"melee:", control_kind::combo, k_mon_skill, 0},
        {"ranged:", control_kind::combo, k_mon_skill + 1, 0},
        {"magic:", control_kind::combo, k_mon_skill + 2, 0},
        {"speed:", control_kind::combo, k_mon_skill + 3, 0},
        {"chr name:", control_kind::edit, k_mon_chr_name, 20},
        {"attack pause:", control_kind::edit, k_mon_attack_pause, 9},
        {"gold:", control_kind::edit, k_mon_gold, 11},
        {"k", control_kind::edit, k_mon_gold + 1, 11},
        {"+", control_kind::edit, k_mon_gold + 2, 11},
        {"main treasure chance:", control_kind::edit, k_mon_main_chance, 9},
    };
    // Two columns of 13 fields, each a label and its box; the second column's labels are longer.
    for (size_t k = 0; k < std::size(fields); ++k) {
        const bool second = k >= 13;
        const int32_t x = second ? 228 : 88, label_width = second ? 86 : 74, y = 4 + int32_t(k % 13) * 15;
        add(control_kind::static_text, 0, x, y + 2, label_width, 10, fields[k].label);
        add(fields[k].kind, fields[k].id, x + label_width + 2, y, 60, fields[k].kind == control_kind::combo ? 120 : 12)
            ->limit = fields[k].limit;
    }
    add(control_kind::check, k_mon_aphotic, 228, 184, 100, 10, "aphotic monster");
    add(control_kind::group_box, 0, 380, 4, 116, 140, "Random Weapon Table");
    add(control_kind::list_box, k_mon_weapon_list, 384, 14, 108, 60);
    add(control_kind::combo, k_mon_weapon_item, 384, 78, 108, 120);
    add(control_kind::combo, k_mon_weapon_level, 384, 93, 52, 120);
    add(control_kind::combo, k_mon_weapon_rarity, 440, 93, 52, 120);
    add(control_kind::button, k_mon_weapon_add, 384, 110, 40, 13, "add");
    add(control_kind::button, k_mon_weapon_rem, 428, 110, 40, 13, "rem");
    add(control_kind::group_box, 0, 380, 148, 116, 148, "Random Treasure");
    add(control_kind::list_box, k_mon_treasure_list, 384, 158, 108, 60);
    add(control_kind::combo, k_mon_treasure_item, 384, 222, 108, 120);
    add(control_kind::combo, k_mon_treasure_chance, 384, 237, 52, 120);
    add(control_kind::combo, k_mon_treasure_level, 440, 237, 52, 120);
    add(control_kind::combo, k_mon_treasure_rarity, 384, 252, 108, 120);
    add(control_kind::button, k_mon_treasure_add, 384, 270, 40, 13, "add");
    add(control_kind::button, k_mon_treasure_rem, 428, 270, 40, 13, "rem");
    return t;
}

} // namespace

void fill_monster_list(dialog_handle dialog, int32_t proto)
{
    if (proto < 0 || proto >= k_monster_proto_slots)
        return;
    monster_proto& p = g_monster_protos[proto];
    set_list_sel(dialog, k_mon_list, proto);
    set_combo_sel(dialog, k_mon_type, p.genus);
    set_item_text(dialog, k_mon_name, field(p.name).c_str());
    set_combo_sel(dialog, k_mon_attack_class, p.attack_class);
    set_combo_sel(dialog, k_mon_damage_type, p.damage_type);
    for (const number_field& f : k_number_fields)
        set_number(dialog, f.id, p.*f.member);
    set_combo_sel(dialog, k_mon_dreamwalk, p.dreamwalk);
    for (int32_t k = 0; k < 4; ++k)
        set_combo_sel(dialog, k_mon_skill + k, p.base_skills[k]);
    set_check(dialog, k_mon_aphotic, p.aphotic ? 1 : 0);
    set_item_text(dialog, k_mon_chr_name, field(p.chr_name).c_str());
    set_number(dialog, k_mon_gold, int32_t(p.carries_gold));
    set_number(dialog, k_mon_gold + 1, int32_t(p.reserved_792[0]));
    set_number(dialog, k_mon_gold + 2, int32_t(p.reserved_792[1]));
    set_number(dialog, k_mon_main_chance, p.treasure_chance_main);
    fill_tables(dialog, p);
}

bool monster_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_monster_editor_window, {init, run_command}, dialog, m);
}

void open_monster_editor()
{
    if (!g_monster_editor_window)
        create_dialog(monster_template(), monster_editor_proc);
}
