// What the character rules need of subsystems built elsewhere: spells, character events, the
// game interface's item drag and the slide shows. Each owner fills its members at start-up; a
// member left null (a test that installs none) is skipped (run_hook logs it once), as if it had
// nothing to do.
#pragma once

#include "core/hooks.h"

#include <cstdint>

struct char_rule_links {
    // Spells. A cast from the caster's slot (-1 none) at (x0, y0) toward (x1, y1); zeros for the
    // point when the spell acts on the caster. flag: 0 from the weapon location, 1 from others.
    void (*cast_spell)(int32_t spell, int32_t caster, float x0, float y0, float x1, float y1, int16_t lifetime,
                       int32_t flag);
    // The spell's cast effect at a position, before cast_spell.
    void (*spawn_cast_particles)(int32_t spell, int32_t caster, float x, float y, float layer);
    // The mana cost and the cooldown in ticks of a spell; false for a spell that does not exist.
    bool (*spell_cost)(int32_t spell, int32_t* mana_cost, uint32_t* cooldown);
    // The animation frame at which a spell is cast; false for a spell that does not exist.
    bool (*spell_cast_frame)(int32_t spell, int32_t* frame);
    // Casts every spell named "Learn attunement" on the character at its position.
    void (*cast_learn_attunement)(int32_t slot);

    // Character events: 0 talk, 1 encounter, 2 enter, 3 death, 4 near dead, 5 half dead.
    void (*run_char_event)(int32_t slot, int32_t kind);

    // The game interface: the item the mouse holds goes back and the container windows close;
    // at the player's death the quick-slot pull-down closes with them.
    void (*cancel_item_drag)();
    void (*close_item_windows)();
    // A chapter or the epilogue slide show is on screen.
    bool (*slide_show_running)();
};

extern char_rule_links g_char_rule_links;

// The slide_show_running hook's answer; false while it is not linked.
bool slide_show_on_screen();
