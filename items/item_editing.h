// What the item editor changes in the item table: the REQUIREMENTS and EFECTS lists of one item
// and the resolving of an item-list row "%d-%s" (id, display name) to its item.
#pragma once

#include <cstdint>

// Appends an entry with the code and arguments 1 to 3 (the others 0) to the REQUIREMENTS list of
// item id; nothing for an id outside the table or a list of 16 entries.
void add_item_requirement(int32_t item, int32_t code, int32_t a1, int32_t a2, int32_t a3);
// Removes entry index of the REQUIREMENTS list, moving the later ones down; nothing for an id
// outside the table or an index outside the list.
void remove_item_requirement(int32_t item, int32_t index);

// The same for the EFECTS list, with arguments 1 to 6 (7 and 8 become 0).
void add_item_effect(int32_t item, int32_t code, const int32_t (&args)[6]);
void remove_item_effect(int32_t item, int32_t index);

// The item a row "%d-%s" was made for: the id in front of a "-" at the row's 2nd, 3rd or 4th
// character, when that id is in the table (a removed item included) and its display name equals
// the text behind the "-" exactly. -1 otherwise, so a stale row resolves to nothing rather than
// to another item of the same name.
int32_t find_item_by_list_row(const char* row);
