// A scratch folder with an empty texture table, prototype table and object array (the object
// tests' set-up), every other level table empty, no link to an unbuilt subsystem, and no level
// loaded, for the level file and level change tests.
#pragma once

#include "level/level_tables.h"
#include "support/saved_globals.h"
#include "world/object_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

// Every level table as bytes, for whole-level comparisons. Lights are compared without their
// device part and fade tick, which the reader recomputes.
struct level_snapshot {
    std::vector<uint8_t> protos, sectors, events, texts, entities, objects, lights, effects, cells, scene,
        containers, placements, ground_items, monster_points;
    int16_t movemap[4];

    static level_snapshot take();
};

// Expects every table of the two snapshots to be the same.
void expect_same(const level_snapshot& a, const level_snapshot& b);

class level_test : public object_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Fills every section with records in the form a reader leaves them: patterned bytes with
    // terminated texts, counts within their tables, run-time fields as the readers set them.
    // Placements name the creature file "data/creature/orc.chr", which is written.
    static void fill_every_section();
    // The calls the level code made through its links, in order, as "name" or "name:argument".
    static std::vector<std::string>& link_calls();
    // Links that record their calls instead of the unbuilt subsystems.
    static void record_links();

private:
    saved_globals saved_;  // the level paths, put back after the test
};
