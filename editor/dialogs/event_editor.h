// The event editor: a free window over the level's map events (g_events). Each event has a name,
// four condition rows and four action rows; a row is a kind chosen in a drop-down and up to three
// boxes whose meaning the kind gives. Every change of the table marks the map changed.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

constexpr int k_event_rows = 4;
constexpr int k_event_boxes = 3;

// Controls of the window.
enum : int32_t {
    k_evt_list = 1501,       // list "Event:": one row per event, its name
    k_evt_name = 1502,       // edit "Name:"
    k_evt_update = 1503,     // button "update"
    k_evt_condition = 1510,  // 1510 to 1513: condition drop-downs
    k_evt_action = 1520,     // 1520 to 1523: action drop-downs
    k_evt_condition_box = 1530,  // 1530 + 3 r + b: box b of condition row r
    k_evt_action_box = 1550,     // 1550 + 3 r + b: box b of action row r
};

// Menu "event".
enum : int32_t {
    k_evt_menu_new = 2501,
    k_evt_menu_delete = 2502,
};

// What one box of a row shows and stores.
enum class event_box : uint8_t {
    none,
    number1,  // the row's first number, "%d"
    number2,  // its second number
    decimal1, // the action's first decimal, "%.2f"
    decimal2,
    text19,   // the row's text, at most 19 characters
    text24,   // ... at most 24
};

constexpr int k_condition_kinds = 15;
constexpr int k_action_kinds = 18;

struct event_kind {
    const char* label;
    event_box boxes[k_event_boxes];
};
extern const event_kind k_condition_kind_table[k_condition_kinds];
extern const event_kind k_action_kind_table[k_action_kinds];

// Opens the window centred on the screen; nothing while it is open.
void open_event_editor();
// After another map was read: the open window's list shows its events (row i is event i).
void refresh_event_list();
// After the events' entity and container numbers were renumbered: the open window's chosen event
// stays chosen and its boxes show the new numbers. Nothing while the window is closed or none is chosen.
void show_renumbered_event();

bool event_editor_proc(dialog_handle dialog, const dialog_message& m);
