// The character fixture with what the combat rules read besides the character table: an empty
// item table, two monster classes, the rule tables, the interface's god mode, the message log,
// the camera shake and the UI texts, all restored afterwards; the spell and event hooks record
// their calls.
#pragma once

#include "characters/char_fixture.h"
#include "platform/random.h"
#include "support/item_table_guard.h"

#include <cstdint>
#include <vector>

struct recorded_cast {
    int32_t spell;
    int32_t caster;
    float x0, y0;
    int32_t flag;
};

struct recorded_event {
    int32_t slot;
    int32_t kind;
};

class combat_test : public char_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Slot `slot` as a living character of that kind at level 1 with 100 hit points, class 0, no
    // skills and no inventory, at (100 x slot, 0).
    char_record& fighter(int slot, uint8_t kind);
    // Appends an inventory entry without anything giving an item does besides.
    static void equip(char_record& c, int16_t item, uint8_t location, uint8_t damage_type = 0);
    // Item `id` of the class, with one EFECTS entry per property given.
    static item_proto& item(int16_t id, uint8_t item_class, std::vector<item_property> efects = {});

    static std::vector<recorded_cast> casts;
    static std::vector<recorded_event> events;

private:
    item_table_guard items_;
    saved_globals saved_;
};

// The first seed whose next `count` generator values pass ok(values).
template <class Ok>
uint32_t seed_where(int count, Ok ok)
{
    for (uint32_t seed = 0;; ++seed) {
        game_srand(seed);
        std::vector<int> values(static_cast<size_t>(count));
        for (int& v : values)
            v = game_rand();
        if (ok(values))
            return seed;
    }
}
