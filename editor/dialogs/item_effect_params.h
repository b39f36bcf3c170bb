// The parameter boxes of the item editor's REQUIREMENTS and EFECTS codes and the texts of their
// list rows. A box offers rows; an entry stores the selected rows as its arguments (the model
// boxes a model registry index instead), and a row of the lists is composed back from them.
#pragma once

#include "editor/controls/dialog_model.h"
#include "items/items.h"

#include <cstdint>
#include <string>

constexpr int k_requirement_param_boxes = 3;
constexpr int k_effect_param_boxes = 6;

// What a parameter box lists.
enum class param_rows : uint8_t {
    none,
    factor_300,    // "%.2f" of k x 0.05, k = -40 to 300; row r is k = r - 40
    factor_100,    // the same for k = -40 to 100
    genus,         // the 14 creature genera and an empty row
    percent,       // "%i%%" of -100 to 100; row r is r - 100
    number_50,     // "%i" of 0 to 49
    animation,     // the first 16 animation names
    body_part,     // the 19 body-part names
    part_model,    // "nothing", then the registry names containing the chosen body part's twin
    value_40,      // "%.2f" of k x 0.05, k = 0 to 40
    skin,          // "skin %i" of 0 to 15
    efect_proto,   // "efect %s" of every effect prototype
    vertex,        // "vertex %i" of 0 to 1599
    layer,         // "under", "above"
    scale,         // "scale %f" of k x 0.05, k = 0 to 99
    dice,          // the 18 dice, row = damage code
    bonus,         // "%d" of -100 to 99; row r is r - 100
    head_model,    // "nothing", then the registry names containing "ahead"
    spell,         // every spell prototype's name, row = spell id
    grid,          // "%d" of 1 to 29
    time,          // "%d" of 10 to 1990 in steps of 10
    element,       // the first eight element names
    range_10,      // "%d" of 0 to 9
    base_100,      // "%d" of 0 to 99
    damage_type,   // the eight damage types
    fire_element,  // "Fire", "Water", "Air", "Earth"
};

struct param_box {
    param_rows rows = param_rows::none;
    int32_t first = 0;  // the row selected when the box is filled
};

// The boxes a code offers, in order; codes outside the tables offer none.
void effect_param_boxes(int32_t code, param_box (&boxes)[k_effect_param_boxes]);
void requirement_param_boxes(int32_t code, param_box (&boxes)[k_requirement_param_boxes]);

// Empties the combo and fills it with the rows of the list; `part` is the body
// part whose twin filters part_model. Selects `first` unless the list is none.
void fill_param_box(dialog_handle dialog, int32_t id, param_box box, int32_t part);

// The label of a code and " " and what its stored arguments show: for requirements the element
// of codes 13 and 14; for effects the code's row text. A value outside its box's rows, a code
// outside the tables and a registry, effect or spell index outside its table show "?".
std::string requirement_row_text(const item_property& entry);
std::string effect_row_text(const item_property& entry);

// Names shown by the boxes, also used by the other item and monster pages.
extern const char* const k_genus_names[14];
extern const char* const k_damage_type_names[8];
