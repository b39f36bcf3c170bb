// What the editor updates when it removes a record that other records name by its index: every
// reference to the removed record becomes "none", every reference to a later record one less.
// Only the tables in memory change; a console line names what keeps the old numbers.
#pragma once

#include <cstdint>

// After level container `removed` left the table: the loaded level's entity container links
// (number + 1, 0 none) and the "open container" actions of its events (number, -1 none; all four
// actions of an event, whatever its action count). Sets
// g_map_dirty when a reference changed.
void renumber_container_references(int32_t removed);

// After spell `removed` left the table: the spells' hit spells (id + 1, 0 none), the spell
// arguments of the items' EFECTS entries (id, -1 none) and the loaded level's entity spell links
// (id + 1, 0 none). Sets g_map_dirty when an entity changed.
void renumber_spell_references(int32_t removed);

// Whether an EFECTS entry of that code holds a spell id, and in which argument (-1 none).
int32_t efect_spell_argument(int32_t code);
