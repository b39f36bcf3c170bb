// The numbers by which the loaded level and the item table refer to entities, map texts and
// effect prototypes, kept pointing at the same records when the editor removes one.
#pragma once

#include "editor/dialogs/table_change.h"

#include <cstdint>

// Whether world object `o` names an entity in its entity field (not a character slot).
struct world_object;
bool object_names_entity(const world_object& o);

// After entity `removed` left the table: every entity number of the level above it drops by
// one and one equal to it becomes -1. Those are the world objects' owners, the links of levers
// and key levers, the targets of level effects of kinds 8 to 10, and number 1 of event
// conditions "id state" and of the actions "set id state" and "set id ob phase".
void renumber_entity_references(int32_t removed);

// After map text `removed` left the table: the entities' description links (map text + 1) above
// it drop by one, one naming it becomes 0.
void renumber_map_text_references(int32_t removed);

// After `change` added or removed a record (and the references to it were renumbered): every
// open window and page whose boxes or rows that change leaves out of date shows the table as it
// is now, so that a pick from it stores the number of the record the user chose. The event
// editor's chosen event shows its boxes again after a removal of an entity or a container; the
// Ident page and the spell and item editors refill in place the boxes and rows that list the
// table, keeping the record chosen in each under its new number.
void show_changed_table(const table_change& change);

// The first item id whose EFECTS list names effect prototype `proto` (codes 28, 29 and 42), or
// -1 when none does.
int32_t item_naming_efect_proto(int32_t proto);
// After effect prototype `removed` left the table: the items' effect prototype numbers above it
// drop by one.
void renumber_efect_proto_references(int32_t removed);
