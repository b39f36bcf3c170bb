// The texture table on a recording device, an empty prototype table and object array, the
// editor in play mode and the tick counter at 100, for the object prototype and world object
// tests.
#pragma once

#include "engine/texture_fixture.h"
#include "support/saved_globals.h"

#include <cstdint>

struct world_object;

class object_test : public texture_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A level prototype of the kind with `frames` frames named "<stem>00.tga" upwards (their
    // images written, 16 x 16), 32 x 32 pixels, animation mode 1, frame delay 1.
    static int32_t add_test_proto(const char* stem, int32_t frames, int32_t kind = 0);
    // The tick counter advances, objects follow their owners, and the object pass runs.
    static void run_frame();

private:
    saved_globals kept_;  // the editor's state, the settings and the ticks a test sets
};
