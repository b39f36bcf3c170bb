// Object prototypes that items and spells place in the template slots (1000 to 2999) by key: a
// key is looked up among the slots below the first free one, and a file is read into that free
// slot when no slot holds the key.
#pragma once

#include <cstdint>

// Scans the template slots upward. The slot whose prototype is named key (compared over the whole
// name field) sets *found and is returned; otherwise the first free slot met, with *found false;
// -1 when the scan runs past the last slot. A key stored past the first free slot is not found.
int32_t scan_template_protos(const char* key, bool* found);

// Reads the ".pr" file at path into the free template slot and names the prototype key. False,
// with the slot left free and the file reported missing or damaged (core/data_files.h), when the
// file does not open or does not read into a prototype.
bool read_template_proto(int32_t slot, const char* path, const char* key);
