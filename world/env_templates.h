// Internal to the environment effects: their template prototypes.
#pragma once

#include <cstdint>

// Reads the ".pr" file into the first free prototype slot from 1000 to 2999 and sets its
// animation count to 0; the slot, or -1 when the file is missing, unreadable, of no known kind
// (the slot stays free) or no slot is free.
int16_t load_effect_template(const char* path);

// The prototype of a template slot, or null for -1 or a slot that no longer holds a template.
struct object_proto;
const object_proto* effect_template(int16_t slot);
