// Test helper: every level table empty, as before a map is read (prototypes, sectors, events,
// texts, entities, objects, lights, effects, movement map, scene header, containers,
// placements, ground items, monster points and models).
#pragma once

void clear_level_tables();
