// The object fixture with the environment effects at their start values: weather shown, an
// outside level, the template slots free and the weather and dream-world hooks linked; a hero in
// character slot 0 whose world object and pool the test sets; the tick counter at 100; sound on
// a headless mixer. The effect states are put back as they were after the test.
#pragma once

#include "support/saved_globals.h"
#include "world/object_fixture.h"

#include <cstdint>

class environment_test : public object_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a one-frame template ".pr" file of the kind at `path` (its frame image too).
    static void write_template(const char* path, int32_t kind);
    // Puts the hero's world object at (x, y) with the given pool; returns its index.
    static int32_t place_hero(float x, float y, int32_t mana);

    static int32_t s_hero_object;   // -1: the hero has no world object
    static int32_t s_hero_mana;
    static uint8_t s_hero_life;     // life state of every character
    static bool s_hero_warded;      // has the attunement with item id 178

private:
    saved_globals saved_;
};
