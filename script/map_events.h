// Map events: the level's trigger rules, each a name with up to four conditions and up to four
// actions. This file holds the record, the level's table and its section of the level map file
// and of the per-level change file.
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

extern event_record g_events[k_event_slots];
extern uint32_t g_event_count;  // records 0 to count - 1 are the level's events, in order

// State 0, reserved word -1, both counts 0; the other fields keep their values.
void clear_event(event_record* event);

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
