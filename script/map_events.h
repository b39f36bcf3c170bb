// Map events: the level's trigger rules, each a name with up to four conditions and up to four
// actions. This file holds the record, the level's table, its editing operations, the per-frame
// pass (evaluate_events, declared in script/script_services.h) and the table's section of the
// level map file and of the per-level change file.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_event_slots = 100;
constexpr uint32_t k_event_record_size = 980;
constexpr int k_event_name_size = 23;
constexpr int k_event_parts = 5;        // condition and action slots stored; 0 to 3 are used
constexpr int k_event_part_values = 5;  // values, coordinates and numbers per slot
constexpr int k_event_text_size = 50;

struct event_record {
    uint8_t state;                   // 1 active, 0 empty
    char name[k_event_name_size];
    int32_t reserved;                // -1 after clear_event
    uint32_t condition_count;        // 0 to 4
    uint32_t condition_kind[k_event_parts];                        // 0 no condition
    uint32_t condition_value[k_event_parts][k_event_part_values];  // carried along, never read
    int32_t condition_number[k_event_parts][k_event_part_values];
    char condition_text[k_event_parts][k_event_text_size];
    uint8_t reserved502[2];
    uint32_t action_count;           // 0 to 4
    uint32_t action_kind[k_event_parts];                           // 0 no action
    float action_coord[k_event_parts][k_event_part_values];        // x and y first
    int32_t action_number[k_event_parts][k_event_part_values];
    char action_text[k_event_parts][k_event_text_size];
    uint8_t reserved978[2];
};
static_assert(sizeof(event_record) == k_event_record_size);
static_assert(offsetof(event_record, name) == 1);
static_assert(offsetof(event_record, reserved) == 24);
static_assert(offsetof(event_record, condition_count) == 28);
static_assert(offsetof(event_record, condition_kind) == 32);
static_assert(offsetof(event_record, condition_value) == 52);
static_assert(offsetof(event_record, condition_number) == 152);
static_assert(offsetof(event_record, condition_text) == 252);
static_assert(offsetof(event_record, reserved502) == 502);
static_assert(offsetof(event_record, action_count) == 504);
static_assert(offsetof(event_record, action_kind) == 508);
static_assert(offsetof(event_record, action_coord) == 528);
static_assert(offsetof(event_record, action_number) == 628);
static_assert(offsetof(event_record, action_text) == 728);
static_assert(offsetof(event_record, reserved978) == 978);

// Condition kinds; a kind above 14 holds.
enum event_condition_kind : uint32_t {
    k_cond_nothing = 0,
    k_cond_mouse_in_sector = 1,
    k_cond_lmb_in_sector = 2,
    k_cond_rmb_in_sector = 3,
    k_cond_item_in_inventory = 4,
    k_cond_player_in_sector = 5,
    k_cond_entity_state = 6,
    k_cond_char_memory = 7,
    k_cond_click_on_char = 8,
    k_cond_quest_state = 9,
    k_cond_hero_armed = 10,
    k_cond_active_attunement = 11,
    k_cond_no_enemy = 12,
    k_cond_no_real_enemy = 13,
    k_cond_no_dream_enemy = 14,
};

// Action kinds; a kind above 17 does nothing.
enum event_action_kind : uint32_t {
    k_act_nothing = 0,
    k_act_debug = 1,
    k_act_delete_event = 2,
    k_act_game_text = 3,
    k_act_add_item = 4,
    k_act_remove_item = 5,
    k_act_set_entity_state = 6,
    k_act_load_map = 7,
    k_act_start_dialogue = 8,
    k_act_move_char = 9,
    k_act_char_set_memory = 10,
    k_act_add_char = 11,
    k_act_break = 12,
    k_act_set_object_phase = 13,
    k_act_add_creature = 14,
    k_act_open_container = 15,
    k_act_open_travel_map = 16,
    k_act_enable_location = 17,
};

extern event_record g_events[k_event_slots];
extern uint32_t g_event_count;  // records 0 to count - 1 are the level's events, in order
// Edge latches of the click conditions: set by a press that fired, cleared with the button up
// and after every event whose conditions fail.
extern uint32_t g_event_left_latch;
extern uint32_t g_event_right_latch;

// The actions whose level (load map), travel map (open travel map: no known place whose level
// can be entered), dialogue (start dialog, also a level script's) or creature (add creature) was
// refused, by kind and name: each refusal is reported once and the action then
// does nothing, so an event that holds in every frame neither logs again nor stops the hero
// again. A refused level is not requested. The newest k_event_slots are kept; entering a level
// forgets them all, so each is reported once per visit. A refused level change is forgotten when
// its event stops holding, so each new attempt (the hero steps onto the exit again) tries the level
// again and reports it again.
constexpr int k_refused_name_size = 100;  // the longest markup word and its end
struct refused_event_actions {
    uint32_t count;  // refusals noted; the newest overwrite the oldest
    uint32_t kind[k_event_slots];
    char name[k_event_slots][k_refused_name_size];
};
extern refused_event_actions g_refused_event_actions;
// Whether the action `kind` on `name` was refused before; noting a refusal.
bool event_action_refused(uint32_t kind, const char* name);
void note_refused_event_action(uint32_t kind, const char* name);

// State 0, reserved word -1, both counts 0; the other fields keep their values.
void clear_event(event_record* event);
// State 1, the name copied (cut to its field), both counts 0; kinds, numbers and texts stay.
void init_event(event_record* event, const char* name);
// While fewer than four conditions (actions) exist: the kind goes into the next slot, up to five
// numbers into its number row and up to five values (coordinates) into its value row; the count
// rises. False when the record is full.
bool add_event_condition(event_record* event, uint32_t kind, const int32_t* numbers, int number_count,
                         const uint32_t* values, int value_count);
bool add_event_action(event_record* event, uint32_t kind, const int32_t* numbers, int number_count,
                      const float* coords, int coord_count);
// Appends a new active event; refused (null, logged) when the table holds 100.
event_record* append_event(const char* name);
// Removes event i: the later records move down by one, the last is cleared, the count drops.
// Nothing for an index outside the table.
void remove_event_at(int32_t i);
// remove_event_at for the first event whose name equals `name` (case-sensitive).
void remove_event_named(const char* name);

// Condition slot `slot` of event `event`: 1 when it holds. Entity numbers, memory indices and
// character keys are checked: an invalid one fails the condition. A "HERO" text of the character
// conditions is rewritten in the record to the hero's file key.
int32_t test_event_condition(int32_t event, int32_t slot);
// Action slot `slot` of event `event`: 0 ends the frame's pass (a break, an object phase, the
// travel map when no story detour was taken), 1 goes on. Invalid entity numbers, memory
// indices, item ids, containers and creature names make it do nothing.
int32_t run_event_action(int32_t event, int32_t slot);

// The events section: u32 record size 980, u32 count, count records. Both do nothing for a null
// stream and return false when the section is incomplete.
//
// The reader clears the records of the current table, then reads the stored size and the count
// and each record with the stored size: a shorter record leaves the rest of its slot as a cleared,
// zeroed record, the rest of a longer one is skipped. Of a count above 100 the first 100 records
// are kept and the others skipped. The texts of every record read are terminated. When the data
// ends early the count covers the records read whole.
bool write_events(packed_stream* stream);
bool read_events(packed_stream* stream);
