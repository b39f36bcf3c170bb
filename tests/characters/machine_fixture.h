// Test helper for the character state machines: a 40 x 40 free movement map, level scale 1, play
// mode with the mouse, focus list, interface, entities, sectors, blood and water circles cleared,
// the system millisecond clock on manual, and the spell, event and interface hooks recording
// their calls. Everything it changes is restored afterwards.
#pragma once

#include "characters/char_fixture.h"
#include "support/item_table_guard.h"

#include "characters/char_record.h"
#include "world/world_objects.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

struct cast_call {
    int32_t spell, caster;
    float x1, y1;
    int32_t flag;
};
// What the hooks were called with since the test began.
extern std::vector<cast_call> g_hook_casts;
extern std::vector<int32_t> g_hook_particle_spells;
extern std::vector<std::pair<int32_t, int32_t>> g_hook_events;  // (slot, event kind)
extern int32_t g_hook_spell_mana_cost;                          // every spell's mana cost (cooldown 30)
// The spells of g_hook_casts, in order.
std::vector<int32_t> hook_cast_spells();

class machine_test : public char_test {
protected:
    void SetUp() override;
    void TearDown() override;

    saved_globals saved_;
    item_table_guard items_;
};

// Slot `slot` alive and visible in the world at (x, y) with its own world object, no body-part
// models, running at run speed 4 (walk 2), 10 stamina, 20 hit points, sight 700, no target, loot
// or interior, and no encounter event unless a test clears its first script value.
char_record& place(int slot, uint8_t kind, float x, float y);
world_object& obj(const char_record& c);
// Body part 0 of the character shows registry model 0, of `frames` frames, at frame 0.
void give_model(char_record& c, int frames);
void give_item(char_record& c, int16_t item, uint8_t location, uint8_t damage_type = 0);
void add_property(int32_t item, uint16_t code, std::initializer_list<int16_t> args);
// Sector `n` in use, closed, of the given type with the given corners; the sector count covers it.
void make_sector(int n, std::initializer_list<std::pair<float, float>> corners, uint8_t type = 0);
// The system millisecond clock and g_elapsed_ms advance by `ms`, the ticks by ms / 16.
void advance_time(uint32_t ms);
// One frame of the character's machine `ms` milliseconds after the last.
void frame(char_record& c, uint32_t ms = 50);
