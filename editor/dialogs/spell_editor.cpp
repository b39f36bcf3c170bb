#include "editor/dialogs/spell_editor.h"

#include "core/console_log.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/level_references.h"
#include "editor/dialogs/table_references.h"
#include "editor/store/table_edits.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "items/items.h"
#include "items/spells.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

namespace {

constexpr const char* k_schools[] = {"FIRE SPELL", "WATER SPELL", "AIR SPELL", "EARTH SPELL", "ARROWS", "DEATH SPELL"};
constexpr const char* k_motions[] = {"DIRECTIONAL", "ROTATING", "STATIONAL", "LINE",
                                     "SINUSOID",    "GLOBAL",   "BEZIER",    "LIGHTNING"};
constexpr const char* k_spreads[] = {"LINEAR", "CIRCULAR", "RANDOM", "SEEKER"};
constexpr const char* k_level_spreads[] = {"LINEAR", "CIRCULAR", "RANDOM"};
constexpr const char* k_action_anims[] = {"1", "2", "3", "4", "5"};
constexpr const char* k_damage_kinds[] = {"DAMAGE", "NO DAMAGE", "HEAL SELF", "HEAL OTHER", "CLOSEDAM", "FARDAM"};
constexpr const char* k_rotations[] = {"NO ROT", "CHAR", "+ROT", "-ROT"};

// How a control shows its field.
enum class field_kind : uint8_t {
    text,       // char[k_spell_name_size]
    u8,         // decimal
    u16,
    i16,
    real,       // f32 shown with `format`
    check,      // u32, 0 or 1
    u8_box,     // combo, row = value
    u16_box,
    effect_box, // i16 item id: "no efect" (-1) or a class-19 item
};

struct spell_field {
    int32_t id;
    field_kind kind;
    uint16_t offset;  // in spell_proto
    const char* format = nullptr;
    std::span<const char* const> rows = {};  // the names of a box filled at opening
};

constexpr uint16_t at(size_t offset, int32_t level = 0, size_t step = 2)
{
    return uint16_t(offset + size_t(level) * step);
}

// Every field the controls show, except the light colour, which follows "is light".
std::vector<spell_field> make_fields()
{
    using k = field_kind;
    std::vector<spell_field> f = {
        {k_spell_name, k::text, at(offsetof(spell_proto, name))},
        {k_spell_mana, k::i16, at(offsetof(spell_proto, mana_cost))},
        {k_spell_roll, k::i16, at(offsetof(spell_proto, damage_percent))},
        {k_spell_dice, k::i16, at(offsetof(spell_proto, dice_sides))},
        {k_spell_bonus, k::i16, at(offsetof(spell_proto, damage_bonus))},
        {k_spell_damage_kind, k::u8_box, at(offsetof(spell_proto, damage_kind)), 0, k_damage_kinds},
        {k_spell_school, k::u8_box, at(offsetof(spell_proto, school)), 0, k_schools},
        {k_spell_motion, k::u8_box, at(offsetof(spell_proto, motion)), 0, k_motions},
        {k_spell_spread, k::u8_box, at(offsetof(spell_proto, spread)), 0, k_spreads},
        {k_spell_effect_key, k::text, at(offsetof(spell_proto, effect_key))},
        {k_spell_icon, k::text, at(offsetof(spell_proto, icon))},
        {k_spell_level, k::u8, at(offsetof(spell_proto, level))},
        {k_spell_duration, k::u16, at(offsetof(spell_proto, duration))},
        {k_spell_pause, k::u16, at(offsetof(spell_proto, pause))},
        {k_spell_speed, k::u8, at(offsetof(spell_proto, speed))},
        {k_spell_phase, k::u8, at(offsetof(spell_proto, phase))},
        {k_spell_height, k::i16, at(offsetof(spell_proto, height))},
        {k_spell_xpar, k::i16, at(offsetof(spell_proto, side_offset))},
        {k_spell_ypar, k::i16, at(offsetof(spell_proto, forward_offset))},
        {k_spell_rotspeed, k::real, at(offsetof(spell_proto, rotation_speed)), "%.3f"},
        {k_spell_multi, k::u8, at(offsetof(spell_proto, missiles_per_direction))},
        {k_spell_dist_num, k::u8, at(offsetof(spell_proto, volley_size))},
        {k_spell_dist_step, k::u8, at(offsetof(spell_proto, volley_step))},
        {k_spell_castef_duration, k::u16, at(offsetof(spell_proto, cast_effect_duration))},
        {k_spell_castef_scale, k::real, at(offsetof(spell_proto, cast_effect_scale)), "%.2f"},
        {k_spell_castef_shift, k::i16, at(offsetof(spell_proto, cast_effect_shift))},
        {k_spell_castef_multi, k::u8, at(offsetof(spell_proto, cast_effect_count))},
        {k_spell_glow_duration, k::u16, at(offsetof(spell_proto, glow_duration))},
        {k_spell_glow_scale, k::real, at(offsetof(spell_proto, glow_scale)), "%.2f"},
        {k_spell_glow_multi, k::u8, at(offsetof(spell_proto, glow_count))},
        {k_spell_expl_duration, k::u16, at(offsetof(spell_proto, explosion_duration))},
        {k_spell_expl_scale, k::real, at(offsetof(spell_proto, explosion_scale)), "%.2f"},
        {k_spell_expl_multi, k::u8, at(offsetof(spell_proto, explosion_count))},
        {k_spell_expl2_duration, k::u16, at(offsetof(spell_proto, second_explosion_duration))},
        {k_spell_expl2_scale, k::real, at(offsetof(spell_proto, second_explosion_scale)), "%.2f"},
        {k_spell_expl2_multi, k::u8, at(offsetof(spell_proto, second_explosion_count))},
        {k_spell_expl3_duration, k::u16, at(offsetof(spell_proto, third_explosion_duration))},
        {k_spell_expl3_scale, k::real, at(offsetof(spell_proto, third_explosion_scale)), "%.2f"},
        {k_spell_expl3_multi, k::u8, at(offsetof(spell_proto, third_explosion_count))},
        {k_spell_is_light, k::check, at(offsetof(spell_proto, is_light))},
        {k_spell_moves_with_caster, k::check, at(offsetof(spell_proto, moves_with_caster))},
        {k_spell_action_anim, k::u8_box, at(offsetof(spell_proto, action_anim)), 0, k_action_anims},
        {k_spell_sound, k::text, at(offsetof(spell_proto, sound_name))},
        {k_spell_rotation, k::u8_box, at(offsetof(spell_proto, rotation)), 0, k_rotations},
        {k_spell_hit_spell, k::u16_box, at(offsetof(spell_proto, hit_spell))},
        {k_spell_item_effect, k::effect_box, at(offsetof(spell_proto, item_effect))},
        {k_spell_stun_min, k::u8, at(offsetof(spell_proto, stun_min))},
        {k_spell_stun_max, k::u8, at(offsetof(spell_proto, stun_max))},
        {k_spell_quake_min, k::u8, at(offsetof(spell_proto, quake_amplitude))},
        {k_spell_quake_max, k::u8, at(offsetof(spell_proto, quake_length))},
    };
    for (int32_t l = 0; l < k_spell_levels; ++l) {
        f.push_back({k_spell_level_damage + l, k::i16, at(offsetof(spell_proto, damage_per_level), l)});
        f.push_back({k_spell_level_number + l, k::i16, at(offsetof(spell_proto, number_per_level), l)});
        f.push_back({k_spell_level_step + l, k::i16, at(offsetof(spell_proto, step_per_level), l)});
        f.push_back({k_spell_level_cost + l, k::i16, at(offsetof(spell_proto, cost_per_level), l)});
        f.push_back({k_spell_level_type + l, k::u16_box, at(offsetof(spell_proto, spread_per_level), l), 0,
                     k_level_spreads});
        f.push_back({k_spell_level_effect + l, k::effect_box, at(offsetof(spell_proto, effect_per_level), l)});
    }
    return f;
}

const std::vector<spell_field>& fields()
{
    static const std::vector<spell_field> table = make_fields();
    return table;
}

constexpr int32_t k_colour[3] = {k_spell_red, k_spell_green, k_spell_blue};

// The class-19 items the item-effect boxes were filled with, in row order after "no efect".
std::vector<int16_t> g_effect_items;

template <typename T>
T read_at(const spell_proto& s, uint16_t offset)
{
    T value;
    std::memcpy(&value, reinterpret_cast<const char*>(&s) + offset, sizeof value);
    return value;
}

template <typename T>
void write_at(spell_proto& s, uint16_t offset, T value)
{
    std::memcpy(reinterpret_cast<char*>(&s) + offset, &value, sizeof value);
}

int32_t spell_count()
{
    return std::clamp<int32_t>(g_spell_proto_count, 0, k_spell_slots);
}

// The spell of the selected row, -1 when none.
int32_t selected_spell(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_spell_list);
    return row >= 0 && row < spell_count() ? row : -1;
}

// The box row of a stored item id: its place among the listed class-19 items, else row 0.
int32_t effect_row(int16_t item)
{
    auto it = std::find(g_effect_items.begin(), g_effect_items.end(), item);
    return it == g_effect_items.end() ? 0 : int32_t(it - g_effect_items.begin()) + 1;
}

void show_field(dialog_handle dialog, const spell_field& f, const spell_proto& s)
{
    switch (f.kind) {
    case field_kind::text: {
        char text[k_spell_name_size + 1] = {};
        std::memcpy(text, reinterpret_cast<const char*>(&s) + f.offset, k_spell_name_size);
        set_item_text(dialog, f.id, text);
        break;
    }
    case field_kind::u8: set_item_int(dialog, f.id, read_at<uint8_t>(s, f.offset)); break;
    case field_kind::u16: set_item_int(dialog, f.id, read_at<uint16_t>(s, f.offset)); break;
    case field_kind::i16: set_item_int(dialog, f.id, read_at<int16_t>(s, f.offset)); break;
    case field_kind::real: set_item_float(dialog, f.id, f.format, read_at<float>(s, f.offset)); break;
    case field_kind::check: set_check(dialog, f.id, read_at<uint32_t>(s, f.offset) ? 1 : 0); break;
    case field_kind::u8_box: set_combo_sel(dialog, f.id, read_at<uint8_t>(s, f.offset)); break;
    case field_kind::u16_box: set_combo_sel(dialog, f.id, read_at<uint16_t>(s, f.offset)); break;
    case field_kind::effect_box: set_combo_sel(dialog, f.id, effect_row(read_at<int16_t>(s, f.offset))); break;
    }
}

// A box without a selection keeps its field.
void store_field(dialog_handle dialog, const spell_field& f, spell_proto& s)
{
    const int32_t row = get_combo_sel(dialog, f.id);
    switch (f.kind) {
    case field_kind::text: {
        char text[k_spell_name_size] = {};
        get_item_text(dialog, f.id, text, sizeof text);
        std::memcpy(reinterpret_cast<char*>(&s) + f.offset, text, sizeof text);
        break;
    }
    case field_kind::u8: write_at(s, f.offset, uint8_t(get_item_int(dialog, f.id))); break;
    case field_kind::u16: write_at(s, f.offset, uint16_t(get_item_int(dialog, f.id))); break;
    case field_kind::i16: write_at(s, f.offset, int16_t(get_item_int(dialog, f.id))); break;
    case field_kind::real: write_at(s, f.offset, get_item_float(dialog, f.id)); break;
    case field_kind::check: write_at(s, f.offset, uint32_t(get_check(dialog, f.id) ? 1 : 0)); break;
    case field_kind::u8_box:
        if (row >= 0)
            write_at(s, f.offset, uint8_t(row));
        break;
    case field_kind::u16_box:
        if (row >= 0)
            write_at(s, f.offset, uint16_t(row));
        break;
    case field_kind::effect_box:
        if (row == 0)
            write_at(s, f.offset, int16_t(-1));
        else if (row > 0 && size_t(row) <= g_effect_items.size())
            write_at(s, f.offset, g_effect_items[size_t(row) - 1]);
        break;
    }
}

void enable_colour(dialog_handle dialog, bool enabled)
{
    for (int32_t id : k_colour)
        enable_item(dialog, id, enabled ? 1 : 0);
}

void show_spell(dialog_handle dialog, int32_t id)
{
    const spell_proto& s = g_spell_protos[id];
    for (const spell_field& f : fields())
        show_field(dialog, f, s);
    enable_colour(dialog, s.is_light != 0);
    if (s.is_light)
        for (int32_t c = 0; c < 3; ++c)
            set_item_float(dialog, k_colour[c], "%.2f", s.light_colour[c]);
}

void add_spell_row(dialog_handle dialog, int32_t id)
{
    char row[k_spell_name_size + 8];
    std::snprintf(row, sizeof row, "%.3d. %s", int(id), record_text(g_spell_protos[id].name).c_str());
    add_list_string(dialog, k_spell_list, row);
}

// "hit spell:": row 0 "nothing", row n spell n - 1.
void fill_hit_spells(dialog_handle dialog)
{
    add_combo_string(dialog, k_spell_hit_spell, "nothing");
    for (int32_t id = 0; id < spell_count(); ++id)
        add_combo_string(dialog, k_spell_hit_spell, record_text(g_spell_protos[id].name).c_str());
}

void fill_boxes(dialog_handle dialog)
{
    for (const spell_field& f : fields()) {
        for (const char* name : f.rows)
            add_combo_string(dialog, f.id, name);
        if (!f.rows.empty())
            set_combo_sel(dialog, f.id, 0);
    }
    fill_hit_spells(dialog);
    set_combo_sel(dialog, k_spell_hit_spell, 0);

    g_effect_items.clear();
    for (int32_t id = 0; id < std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots); ++id)
        if (g_item_protos[id].item_class == k_item_efect && !g_item_protos[id].deleted)
            g_effect_items.push_back(int16_t(id));
    for (const spell_field& f : fields()) {
        if (f.kind != field_kind::effect_box)
            continue;
        add_combo_string(dialog, f.id, "no efect");
        for (int16_t item : g_effect_items)
            add_combo_string(dialog, f.id, record_text(g_item_protos[item].display_name).c_str());
        set_combo_sel(dialog, f.id, 0);
    }
}

void add_spell(dialog_handle dialog)
{
    const int32_t id = spell_count();
    if (id >= k_spell_slots) {
        console_log("tabulka kuziel je plna (%d), nove kuzlo sa neprida", k_spell_slots);
        return;
    }
    reset_spell_proto(g_spell_protos[id]);
    add_list_string(dialog, k_spell_list, "new");
    g_spell_proto_count = id + 1;
    show_changed_table({record_table::spells});
}

void update_spell(dialog_handle dialog)
{
    const int32_t id = selected_spell(dialog);
    if (id >= 0) {
        spell_proto& s = g_spell_protos[id];
        for (const spell_field& f : fields())
            store_field(dialog, f, s);
        if (get_check(dialog, k_spell_is_light))
            for (int32_t c = 0; c < 3; ++c)
                s.light_colour[c] = get_item_float(dialog, k_colour[c]);
        delete_list_string(dialog, k_spell_list, id);
        insert_list_string(dialog, k_spell_list, id, record_text(s.name).c_str());
        set_list_sel(dialog, k_spell_list, id);
    }
    // A write refused by the user is logged by the question.
    if (!write_table_from_page(dialog, g_spells_file, save_spells) && g_spells_file.read_whole)
        console_log("SPELL UPDATE: global/spells.dat sa nepodarilo zapisat");
}

// The later spells move down one id and the references follow them.
void remove_spell(dialog_handle dialog)
{
    const int32_t id = selected_spell(dialog);
    if (id < 0)
        return;
    const int32_t count = spell_count();
    std::copy(g_spell_protos + id + 1, g_spell_protos + count, g_spell_protos + id);
    g_spell_proto_count = count - 1;
    delete_list_string(dialog, k_spell_list, id);
    renumber_spell_references(id);
    show_changed_table({record_table::spells, id});
}

void light_switched(dialog_handle dialog)
{
    if (selected_spell(dialog) < 0)
        return;
    enable_colour(dialog, get_check(dialog, k_spell_is_light) != 0);
    for (int32_t id : k_colour)
        set_item_text(dialog, id, "1.00");
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_spell_list:
        if (const int32_t spell = selected_spell(dialog); spell >= 0)
            show_spell(dialog, spell);
        break;
    case k_spell_add: add_spell(dialog); break;
    case k_spell_update: update_spell(dialog); break;
    case k_spell_remove: remove_spell(dialog); break;
    case k_spell_reload:
        if (const int32_t spell = selected_spell(dialog); spell >= 0)
            load_spell_effects(g_spell_protos[spell]);
        break;
    case k_spell_is_light: light_switched(dialog); break;
    default: break;
    }
}

// Lays out the window's controls: the list and buttons, then the groups General, Parameters,
// Special and Levels.
struct spell_layout {
    dialog_template& t;

    void add(control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, const char* text = "", uint32_t style = 0)
    {
        const int32_t h = kind == control_kind::combo ? 100 : kind == control_kind::static_text ? 10 : 12;
        t.controls.push_back(make_control(kind, id, x, y, w, h, text, style));
        if (kind == control_kind::edit && (id == k_spell_name || id == k_spell_effect_key || id == k_spell_icon ||
                                           id == k_spell_sound))
            t.controls.back().limit = k_spell_name_size - 1;
    }
    // A label and its control on one line.
    void row(int32_t x, int32_t y, int32_t label_width, const char* label, control_kind kind, int32_t id,
             int32_t width)
    {
        add(control_kind::static_text, 0, x, y + 2, label_width, label);
        add(kind, id, x + label_width, y, width);
    }
    void group(int32_t x, int32_t y, int32_t w, int32_t h, const char* caption)
    {
        t.controls.push_back(make_control(control_kind::group_box, 0, x, y, w, h, caption));
    }
};

constexpr int32_t k_line = 14;

void lay_out_general(spell_layout& l)
{
    using c = control_kind;
    l.group(102, 2, 118, 168, "General");
    int32_t y = 12;
    l.row(106, y, 34, "name:", c::edit, k_spell_name, 80);
    l.row(106, y += k_line, 34, "mana :", c::edit, k_spell_mana, 40);
    y += k_line;
    l.row(106, y, 20, "roll:", c::edit, k_spell_roll, 20);
    l.row(148, y, 8, "K", c::edit, k_spell_dice, 20);
    l.row(178, y, 14, "+/-", c::edit, k_spell_bonus, 22);
    l.add(c::combo, k_spell_damage_kind, 140, y += k_line, 74);
    const struct {
        const char* label;
        control_kind kind;
        int32_t id;
        int32_t width;
    } rows[] = {{"type:", c::combo, k_spell_school, 74},   {"mtype:", c::combo, k_spell_motion, 74},
                {"dtype:", c::combo, k_spell_spread, 74},  {"efect:", c::edit, k_spell_effect_key, 74},
                {"icon:", c::edit, k_spell_icon, 74},      {"level:", c::edit, k_spell_level, 30}};
    for (const auto& r : rows)
        l.row(106, y += k_line, 34, r.label, r.kind, r.id, r.width);
}

void lay_out_parameters(spell_layout& l)
{
    l.group(224, 2, 222, 206, "Parameters");
    const struct {
        const char* label;
        int32_t id;
    } rows[] = {{"spell duration:", k_spell_duration},   {"spell pause:", k_spell_pause},
                {"spell speed:", k_spell_speed},         {"spell phase:", k_spell_phase},
                {"spell height:", k_spell_height},       {"spell xpar:", k_spell_xpar},
                {"spell ypar:", k_spell_ypar},           {"spell rotspeed:", k_spell_rotspeed},
                {"spell multi:", k_spell_multi},         {"dist. num:", k_spell_dist_num},
                {"dist. step:", k_spell_dist_step},      {"castef duration:", k_spell_castef_duration},
                {"castef scale:", k_spell_castef_scale}, {"castef shift:", k_spell_castef_shift},
                {"castef multi:", k_spell_castef_multi}, {"glow duration:", k_spell_glow_duration},
                {"glow scale:", k_spell_glow_scale},     {"glow multi:", k_spell_glow_multi},
                {"expl duration:", k_spell_expl_duration}, {"expl scale:", k_spell_expl_scale},
                {"expl multi:", k_spell_expl_multi},     {"expl 2 duration:", k_spell_expl2_duration},
                {"expl 2 scale:", k_spell_expl2_scale},  {"expl 2 multi:", k_spell_expl2_multi},
                {"expl 3 duration:", k_spell_expl3_duration}, {"expl 3 scale:", k_spell_expl3_scale},
                {"expl 3 multi:", k_spell_expl3_multi}};
    constexpr int32_t k_first_column_rows = 14;
    int32_t k = 0;
    for (const auto& r : rows) {
        const int32_t x = k < k_first_column_rows ? 228 : 338;
        const int32_t y = 12 + (k < k_first_column_rows ? k : k - k_first_column_rows) * k_line;
        l.row(x, y, 62, r.label, control_kind::edit, r.id, 42);
        ++k;
    }
}

void lay_out_special(spell_layout& l)
{
    using c = control_kind;
    l.group(448, 2, 130, 166, "Special");
    int32_t y = 12;
    l.add(c::check, k_spell_is_light, 452, y, 44, "is light");
    l.add(c::check, k_spell_moves_with_caster, 498, y, 74, "Move with char");
    y += k_line;
    const char* colour_names[] = {"r", "g", "b"};
    for (int32_t i = 0; i < 3; ++i)
        l.row(452 + i * 40, y, 8, colour_names[i], c::edit, k_colour[i], 28);
    l.row(452, y += k_line, 50, "akt anim:", c::combo, k_spell_action_anim, 70);
    l.row(452, y += k_line, 50, "cast sound:", c::edit, k_spell_sound, 70);
    l.row(452, y += k_line, 50, "3d rot type:", c::combo, k_spell_rotation, 70);
    l.row(452, y += k_line, 50, "hit spell:", c::combo, k_spell_hit_spell, 70);
    l.row(452, y += k_line, 50, "item efect:", c::combo, k_spell_item_effect, 70);
    l.row(452, y += k_line, 66, "stun min/max:", c::edit, k_spell_stun_min, 26);
    l.add(c::edit, k_spell_stun_max, 548, y, 26);
    l.row(452, y += k_line, 66, "quake min/max:", c::edit, k_spell_quake_min, 26);
    l.add(c::edit, k_spell_quake_max, 548, y, 26);
}

void lay_out_levels(spell_layout& l)
{
    l.group(224, 212, 354, 94, "Levels");
    const struct {
        const char* label;
        int32_t id;
        control_kind kind;
    } rows[] = {{"damage:", k_spell_level_damage, control_kind::edit}, {"number:", k_spell_level_number, control_kind::edit},
                {"step:", k_spell_level_step, control_kind::edit},     {"cost:", k_spell_level_cost, control_kind::edit},
                {"type:", k_spell_level_type, control_kind::combo},    {"efect:", k_spell_level_effect, control_kind::combo}};
    int32_t y = 222;
    for (const auto& r : rows) {
        l.add(control_kind::static_text, 0, 228, y + 2, 30, r.label);
        for (int32_t level = 0; level < k_spell_levels; ++level)
            l.add(r.kind, r.id + level, 266 + level * 77, y, 73);
        y += k_line;
    }
}

dialog_template spell_editor_template()
{
    dialog_template t;
    t.caption = "Spell/Shot Editor";
    t.width = 582;
    t.height = 310;
    t.x = 140; // the window fits a screen 1024 pixels wide
    t.y = k_tab_window_top; // below the tab strip
    spell_layout l{t};
    l.add(control_kind::static_text, 0, 4, 4, 60, "Spells:");
    t.controls.push_back(make_control(control_kind::list_box, k_spell_list, 4, 14, 96, 240));
    l.add(control_kind::button, k_spell_add, 4, 258, 46, "ADD");
    l.add(control_kind::button, k_spell_remove, 52, 258, 48, "REMOVE");
    l.add(control_kind::button, k_spell_update, 4, 272, 96, "UPDATE");
    l.add(control_kind::button, k_spell_reload, 4, 286, 96, "(RE)LOAD PROTOTYPES");
    lay_out_general(l);
    lay_out_parameters(l);
    lay_out_special(l);
    lay_out_levels(l);
    return t;
}

// Fills the page when it is made.
void init_page(dialog_handle dialog)
{
    for (int32_t id = 0; id < spell_count(); ++id)
        add_spell_row(dialog, id);
    fill_boxes(dialog);
    enable_colour(dialog, false);
}

} // namespace

void refill_spell_editor_boxes(const table_change& change)
{
    const dialog_handle dialog = g_spell_editor_window;
    if (change.table != record_table::spells || !dialog)
        return;
    const int32_t row = get_combo_sel(dialog, k_spell_hit_spell);
    clear_combo(dialog, k_spell_hit_spell);
    fill_hit_spells(dialog);
    set_combo_sel(dialog, k_spell_hit_spell, renumbered_link_row(change, row));
}

bool spell_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_spell_editor_window, {init_page, run_command}, dialog, m);
}

void open_spell_editor()
{
    if (!g_spell_editor_window)
        create_dialog(spell_editor_template(), spell_editor_proc);
}
