// The UI text table: line n of "global/text_%s.txt" (the language's code) is text n. Reading it
// also puts UI texts in place of the built-in English names of the item tooltips' word tables.
#pragma once

#include <string>

constexpr int k_ui_text_count = 172;
constexpr int k_ui_text_size = 100;

extern char g_ui_text[k_ui_text_count][k_ui_text_size];

// Text n, or "" for a number outside the table.
const char* ui_text(int n);

// Reads the table (lines of more than 99 characters are cut; missing lines stay empty), then
// localizes the built-in name tables. A missing file leaves every text empty and the built-in
// names English; it, and a file cut short or damaged, is reported (core/data_files.h). Read in
// game and editor mode alike.
void load_ui_texts();

// What is wrong with the UI text table of the language `code`, as the log names it: "chyba
// <file>" when it is missing, "<file> konci po riadku N" when it holds fewer than 172 lines,
// "<file> riadok N" at a damaged line; "" when it reads whole.
std::string ui_text_table_fault(const char* code);

// The built-in name tables of the item tooltips, 30-byte English words. Their owners put them
// here before start-up reads the UI texts; a table left null is not localized.
constexpr int k_builtin_name_size = 30;
using builtin_name = char[k_builtin_name_size];

struct builtin_name_tables {
    builtin_name* damage_type_words = nullptr;    // 8, by damage type: "None" x 4, the elements
    builtin_name* kind_words = nullptr;           // 27, by item class: "Quest", "Melee", ...
    builtin_name* class_words = nullptr;          // 27, by item class: "Quest", "Fast", ...
    builtin_name* shield_size_words = nullptr;    // 3, by size: "Small", "Medium", "Large"
    builtin_name* armour_weight_words = nullptr;  // 3, by size: "Light", "Heavy", "Heavy"
    builtin_name* focus_speed_words = nullptr;    // 3, by size: "Fast", "Heavy", "Heavy"
    builtin_name* requirement_words = nullptr;    // 16, by requirement code: "nothing", "Weapon", ...
};

extern builtin_name_tables g_builtin_name_tables;

// Overwrites the entries of the tables that the UI texts localize with those texts (the
// damage-type words are all cleared first); the other entries keep their English names.
void localize_builtin_names(const builtin_name_tables& tables);
