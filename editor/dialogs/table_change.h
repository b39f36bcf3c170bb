// The tables whose records the editor's boxes and lists name by number, and one change of such
// a table: a record added at its end, or one removed with the later records one number lower.
#pragma once

#include <cstdint>

enum class record_table : uint8_t {
    entities,      // the level's entities
    map_texts,     // the level's map texts
    containers,    // the level containers
    spells,        // the spell prototypes
    efect_protos,  // the effect prototypes
};

struct table_change {
    record_table table;
    int32_t removed = -1;  // the record taken out; -1: a record was added at the end
};

// The number record `record` has after the change: -1 for the removed one.
inline int32_t renumbered(const table_change& change, int32_t record)
{
    if (change.removed < 0 || record < change.removed)
        return record;
    return record == change.removed ? -1 : record - 1;
}

// The row a box whose row 0 names no record and row k record k - 1 shows after the change: a row
// naming the removed record shows none, a row showing nothing (-1) stays so.
inline int32_t renumbered_link_row(const table_change& change, int32_t row)
{
    return row <= 0 ? row : renumbered(change, row - 1) + 1;
}
