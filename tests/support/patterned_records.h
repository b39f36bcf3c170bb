// Test helpers: script records of patterned bytes (fill_pattern) in the form a level file holds
// them, every text terminated, for round trips of their sections.
#pragma once

#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "support/section_files.h"

#include <cstring>

inline event_record patterned_event(uint32_t seed)
{
    event_record e;
    fill_pattern(&e, seed);
    e.name[k_event_name_size - 1] = 0;
    for (int k = 0; k < k_event_parts; ++k) {
        e.condition_text[k][k_event_text_size - 1] = 0;
        e.action_text[k][k_event_text_size - 1] = 0;
    }
    return e;
}

inline map_text patterned_map_text(uint32_t seed)
{
    map_text t;
    fill_pattern(&t, seed);
    t.key[k_map_text_key_size - 1] = 0;
    t.text[k_map_text_size - 1] = 0;
    return t;
}

inline entity_record patterned_entity(uint32_t seed, uint8_t type)
{
    entity_record e;
    fill_pattern(&e, seed);
    e.name[k_entity_name_size - 1] = 0;
    e.type = type;
    return e;
}

// An entity as reading leaves it: its run-time fields reset.
inline entity_record entity_as_read(entity_record e)
{
    e.run_word36 = 0;
    e.run_word44 = 0;
    e.due_tick = 0;
    e.object_count = 0;
    e.inside = 0;
    e.object_list = 0;
    std::memset(e.memory, 0, sizeof e.memory);
    return e;
}
