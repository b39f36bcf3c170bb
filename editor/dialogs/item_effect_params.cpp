#include "editor/dialogs/item_effect_params.h"

#include "characters/char_models.h"
#include "editor/controls/dialog_controls.h"
#include "items/item_properties.h"
#include "items/spells.h"
#include "level/level_effects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

const char* const k_genus_names[14] = {"HUMAN",      "BEAST",       "UNDEAD",      "GOBLIN",      "SPIRIT",
                                       "ELEMENTAL",  "DEMON",       "HUMAN BOSS",  "BEAST BOSS",  "UNDEAD BOSS",
                                       "GOBLIN BOSS", "SPIRIT BOSS", "ELEMENTAL BOSS", "DEMON BOSS"};
const char* const k_damage_type_names[8] = {"generic", "slashing", "piercing", "crushing",
                                            "fire",    "cold",     "lighting", "poison"};

namespace {

constexpr const char* k_animation_names[] = {"STAND1",  "STAND2",  "STAND3", "MOVE1", "MOVE2",  "ATTACK1",
                                             "ATTACK2", "ATTACK3", "DEATH1", "DEATH2", "HIT1",  "HIT2",
                                             "SPELL1",  "SPELL2",  "SPELL3", "SPEC1"};
constexpr const char* k_body_parts[] = {"HEAD",  "BODY",  "LARM",  "RARM",  "LEGS",  "FEET",  "CLOAK",
                                        "WEAPONL", "WEAPONR", "AHEAD", "ABODY", "ALARM", "ARARM", "ALEG",
                                        "AFEET", "SPEC1", "SPEC2", "SPEC3", "SPEC4"};
constexpr const char* k_body_part_twins[] = {"head",  "body",  "larm",  "rarm", "leg",  "feet", "cloak",
                                             "wl",    "wr",    "ahead", "abody", "alarm", "ararm", "aleg",
                                             "afeet", "spec",  "spec",  "spec", "spec"};
static_assert(std::size(k_body_parts) == std::size(k_body_part_twins));
constexpr const char* k_dice[] = {"1d3", "1d6", "1d8", "1d10", "1d12", "2d3", "2d6", "2d8", "2d10",
                                  "2d12", "3d3", "3d6", "3d8", "3d10", "3d12", "1d4", "2d4", "3d4"};
constexpr const char* k_elements[] = {"None", "None", "None", "None", "Fire", "Water", "Air", "Earth"};
constexpr const char* k_layers[] = {"under", "above"};

template <size_t N>
std::string name_row(const char* const (&names)[N], int32_t row)
{
    return row >= 0 && row < int32_t(N) ? names[row] : "?";
}

std::string format_row(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string format_row(const char* format, int32_t value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string registry_name(int32_t index)
{
    const int32_t count = int32_t(std::min<uint32_t>(g_chardata_count, k_chardata_capacity));
    if (index < 0 || index >= count)
        return "?";
    const char* name = g_chardata[index].name;
    return std::string(name, strnlen(name, sizeof g_chardata[index].name));
}

int32_t spell_count()
{
    return std::clamp<int32_t>(g_spell_proto_count, 0, k_spell_slots);
}

int32_t efect_count()
{
    return std::clamp<int32_t>(g_efect_proto_count, 0, k_efect_proto_slots);
}

// Rows of an index-based list, or -1 for the filtered model lists.
int32_t row_count(param_rows rows)
{
    switch (rows) {
    case param_rows::none: return 0;
    case param_rows::factor_300: return 341;
    case param_rows::factor_100: return 141;
    case param_rows::genus: return 15;
    case param_rows::percent: return 201;
    case param_rows::number_50: return 50;
    case param_rows::animation: return int32_t(std::size(k_animation_names));
    case param_rows::body_part: return int32_t(std::size(k_body_parts));
    case param_rows::value_40: return 41;
    case param_rows::skin: return 16;
    case param_rows::efect_proto: return efect_count();
    case param_rows::vertex: return 1600;
    case param_rows::layer: return 2;
    case param_rows::scale: return 100;
    case param_rows::dice: return int32_t(std::size(k_dice));
    case param_rows::bonus: return 200;
    case param_rows::spell: return spell_count();
    case param_rows::grid: return 29;
    case param_rows::time: return 199;
    case param_rows::element: return 8;
    case param_rows::range_10: return 10;
    case param_rows::base_100: return 100;
    case param_rows::damage_type: return 8;
    case param_rows::fire_element: return 4;
    case param_rows::part_model:
    case param_rows::head_model: return -1;
    }
    return 0;
}

// The text of row `row` of an index-based list; "?" outside its rows.
std::string row_text(param_rows rows, int32_t row)
{
    if (row < 0 || row >= row_count(rows))
        return "?";
    switch (rows) {
    case param_rows::factor_300:
    case param_rows::factor_100: return format_row("%.2f", double(float(row - 40) * k_twentieth));
    case param_rows::genus: return row < 14 ? k_genus_names[row] : "";
    case param_rows::percent: return format_row("%i%%", row - 100);
    case param_rows::number_50:
    case param_rows::range_10:
    case param_rows::base_100: return format_row("%i", row);
    case param_rows::animation: return k_animation_names[row];
    case param_rows::body_part: return k_body_parts[row];
    case param_rows::value_40: return format_row("%.2f", double(float(row) * k_twentieth));
    case param_rows::skin: return format_row("skin %i", row);
    case param_rows::efect_proto: {
        const char* name = g_efect_protos[row].name;
        return "efect " + std::string(name, strnlen(name, k_efect_name_size));
    }
    case param_rows::vertex: return format_row("vertex %i", row);
    case param_rows::layer: return k_layers[row];
    case param_rows::scale: return format_row("scale %f", double(float(row) * k_twentieth));
    case param_rows::dice: return k_dice[row];
    case param_rows::bonus: return format_row("%d", row - 100);
    case param_rows::spell: {
        const char* name = g_spell_protos[row].name;
        return std::string(name, strnlen(name, sizeof g_spell_protos[row].name));
    }
    case param_rows::grid: return format_row("%d", row + 1);
    case param_rows::time: return format_row("%d", (row + 1) * 10);
    case param_rows::element: return k_elements[row];
    case param_rows::damage_type: return k_damage_type_names[row];
    case param_rows::fire_element: return k_requirement_element_words[row];
    default: return "?";
    }
}

// A stored model index: "nothing" when negative, else the registry entry's name.
std::string model_text(int32_t index)
{
    return index < 0 ? "nothing" : registry_name(index);
}

std::string effect_text(const item_property& e)
{
    const int32_t a1 = e.args[0], a2 = e.args[1], a3 = e.args[2], a4 = e.args[3], a5 = e.args[4];
    using r = param_rows;
    switch (e.code) {
    case 1: case 4: case 5: case 9: case 14: case 16: case 17: case 47: case 48: case 49: case 51: case 53:
    case 54: case 59:
        return row_text(r::factor_300, a1) + "x";
    case 2: return row_text(r::factor_100, a1) + "x " + row_text(r::genus, a2);
    case 3: return row_text(r::dice, a1) + " + " + row_text(r::base_100, a2) + " " + row_text(r::damage_type, a3);
    case 6: case 7: case 8: case 19: case 20: case 21: case 22: case 23: return row_text(r::percent, a1);
    case 18: case 67: return row_text(r::number_50, a1);
    case 24: return row_text(r::animation, a1) + " " + row_text(r::body_part, a2) + " " + model_text(a3);
    case 25:
        return row_text(r::body_part, a1) + " " + row_text(r::value_40, a2) + " " + row_text(r::value_40, a3) + " " +
               row_text(r::value_40, a4) + " " + row_text(r::value_40, a5);
    case 26: case 43: case 44:
        return row_text(r::value_40, a1) + " " + row_text(r::value_40, a2) + " " + row_text(r::value_40, a3) + " " +
               row_text(r::value_40, a4);
    case 27: return row_text(r::body_part, a1) + " " + row_text(r::skin, a2);
    case 28: case 42:
        return row_text(r::body_part, a1) + " " + row_text(r::efect_proto, a2) + " " + row_text(r::vertex, a3);
    case 29: return row_text(r::layer, a1) + " " + row_text(r::efect_proto, a2) + " " + row_text(r::scale, a3);
    case 30: case 31: case 32: return row_text(r::dice, a1) + " + " + row_text(r::bonus, a2);
    case 33: return row_text(r::body_part, a1) + " " + model_text(a2);
    case 34: case 37: case 38: case 40: case 45: case 60: case 61: case 62: case 63: case 64: case 68:
        return row_text(r::spell, a1);
    case 36: case 39: case 41:
        return "x: " + row_text(r::grid, a1) + " - y: " + row_text(r::grid, a2) + " - time: " + row_text(r::time, a3);
    case 46: return row_text(r::factor_100, a1) + "x " + row_text(r::element, a2);
    case 58: return row_text(r::element, a1);
    case 65: case 66:
        return row_text(r::factor_300, a1) + "x rand(" + row_text(r::range_10, a2) + "," + row_text(r::range_10, a3) +
               ") " + row_text(r::spell, a4);
    default: return "";
    }
}

} // namespace

void effect_param_boxes(int32_t code, param_box (&boxes)[k_effect_param_boxes])
{
    using r = param_rows;
    for (param_box& b : boxes)
        b = {};
    auto set = [&boxes](std::initializer_list<param_box> list) { std::copy(list.begin(), list.end(), boxes); };
    switch (code) {
    case 1: case 4: case 5: case 9: case 14: case 16: case 17: case 47: case 48: case 49: case 51: case 53:
    case 54: case 59:
        set({{r::factor_300, 40}});
        break;
    case 2: set({{r::factor_100, 40}, {r::genus, 0}}); break;
    case 3: set({{r::dice, 0}, {r::base_100, 0}, {r::damage_type, 0}}); break;
    case 6: case 7: case 8: case 19: case 20: case 21: case 22: case 23: set({{r::percent, 100}}); break;
    case 18: case 67: set({{r::number_50, 0}}); break;
    case 24: set({{r::animation, 0}, {r::body_part, 0}, {r::part_model, 0}}); break;
    case 25: set({{r::body_part, 0}, {r::value_40, 20}, {r::value_40, 20}, {r::value_40, 20}, {r::value_40, 20}}); break;
    case 26: case 43: case 44:
        set({{r::value_40, 20}, {r::value_40, 20}, {r::value_40, 20}, {r::value_40, 20}});
        break;
    case 27: set({{r::body_part, 0}, {r::skin, 0}}); break;
    case 28: case 42: set({{r::body_part, 0}, {r::efect_proto, 0}, {r::vertex, 0}}); break;
    case 29: set({{r::layer, 0}, {r::efect_proto, 0}, {r::scale, 20}}); break;
    case 30: case 31: case 32: set({{r::dice, 0}, {r::bonus, 100}}); break;
    case 33: set({{r::body_part, 0}, {r::head_model, 0}}); break;
    case 34: case 37: case 38: case 40: case 45: case 60: case 61: case 62: case 63: case 64: case 68:
        set({{r::spell, 0}});
        break;
    case 36: case 39: case 41: set({{r::grid, 0}, {r::grid, 0}, {r::time, 0}}); break;
    case 46: set({{r::factor_100, 40}, {r::element, 0}}); break;
    case 58: set({{r::element, 0}}); break;
    case 65: case 66: set({{r::factor_300, 40}, {r::range_10, 0}, {r::range_10, 0}, {r::spell, 0}}); break;
    default: break;
    }
}

void requirement_param_boxes(int32_t code, param_box (&boxes)[k_requirement_param_boxes])
{
    for (param_box& b : boxes)
        b = {};
    if (code == k_req_element || code == k_req_element_focus)
        boxes[0] = {param_rows::fire_element, 0};
}

void fill_param_box(dialog_handle dialog, int32_t id, param_box box, int32_t part)
{
    clear_combo(dialog, id);
    if (box.rows == param_rows::none)
        return;
    if (box.rows == param_rows::part_model || box.rows == param_rows::head_model) {
        const char* twin = box.rows == param_rows::head_model ? "ahead"
                           : part >= 0 && part < int32_t(std::size(k_body_part_twins)) ? k_body_part_twins[part]
                                                                                      : nullptr;
        add_combo_string(dialog, id, "nothing");
        const uint32_t count = std::min<uint32_t>(g_chardata_count, k_chardata_capacity);
        for (uint32_t i = 0; twin && i < count; ++i)
            if (g_chardata[i].loaded && chardata_name_contains(i, twin))
                add_combo_string(dialog, id, registry_name(int32_t(i)).c_str());
    } else {
        const int32_t n = row_count(box.rows);
        for (int32_t row = 0; row < n; ++row)
            add_combo_string(dialog, id, row_text(box.rows, row).c_str());
    }
    set_combo_sel(dialog, id, box.first);
}

std::string requirement_row_text(const item_property& entry)
{
    const requirement_code_text* label = requirement_text(entry.code);
    std::string text = std::string(label ? label->editor_name : "?") + " ";
    if (entry.code == k_req_element || entry.code == k_req_element_focus)
        text += row_text(param_rows::fire_element, entry.args[0]);
    return text;
}

std::string effect_row_text(const item_property& entry)
{
    const char* label = efect_editor_name(entry.code);
    return std::string(label ? label : "?") + " " + effect_text(entry);
}
