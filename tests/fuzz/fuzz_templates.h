// Fuzz targets that cast or attach effects: four empty template prototypes "t0" to "t3" in the
// first template slots, of kinds 0, 1, 2 and surface, for spells and effects to name.
#pragma once

#include "world/object_protos.h"

#include <cstdio>
#include <cstring>

inline void make_fuzz_templates()
{
    for (int32_t k = 0; k < 4; ++k) {
        object_proto& p = g_object_protos[k_proto_first_template + k];
        std::memset(&p, 0, sizeof p);
        reset_object_proto(&p);
        std::snprintf(p.name, sizeof p.name, "t%d", int(k));
        p.kind = k == 3 ? k_proto_surface : k;
    }
}
