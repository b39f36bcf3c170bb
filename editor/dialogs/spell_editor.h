// The spell editor: a window over the spell table g_spell_protos. The spell list shows one row
// per spell; every button acts on the spell whose row is selected at that moment, and the window
// holds no copy of a spell. "UPDATE" writes the controls into the selected spell and then the
// whole table to "global/spells.dat", after a question when the file did not read whole
// (editor/store/table_edits.h).
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/dialogs/table_change.h"

#include <cstdint>

// Controls of the window. Each field control shows one field of the selected spell.
enum : int32_t {
    k_spell_list = 1601,  // list box "Spells:": "%.3d. %s" (id, name), row = spell id
    k_spell_add,          // buttons
    k_spell_update,
    k_spell_remove,
    k_spell_reload,       // "(RE)LOAD PROTOTYPES"
    k_spell_is_light,     // check box "is light"
    k_spell_red,          // edits "r", "g", "b": enabled only while "is light" is checked
    k_spell_green,
    k_spell_blue,
    // General
    k_spell_name,
    k_spell_mana,
    k_spell_roll,          // "roll:", "K", "+/-"
    k_spell_dice,
    k_spell_bonus,
    k_spell_damage_kind,   // combo
    k_spell_school,        // combo "type:"
    k_spell_motion,        // combo "mtype:"
    k_spell_spread,        // combo "dtype:"
    k_spell_effect_key,    // "efect:"
    k_spell_icon,
    k_spell_level,
    // Parameters
    k_spell_duration,
    k_spell_pause,
    k_spell_speed,
    k_spell_phase,
    k_spell_height,
    k_spell_xpar,
    k_spell_ypar,
    k_spell_rotspeed,
    k_spell_multi,
    k_spell_dist_num,
    k_spell_dist_step,
    k_spell_castef_duration,
    k_spell_castef_scale,
    k_spell_castef_shift,
    k_spell_castef_multi,
    k_spell_glow_duration,
    k_spell_glow_scale,
    k_spell_glow_multi,
    k_spell_expl_duration,
    k_spell_expl_scale,
    k_spell_expl_multi,
    k_spell_expl2_duration,
    k_spell_expl2_scale,
    k_spell_expl2_multi,
    k_spell_expl3_duration,
    k_spell_expl3_scale,
    k_spell_expl3_multi,
    // Special
    k_spell_moves_with_caster,  // check box "Move with char"
    k_spell_action_anim,        // combo "akt anim:", "1" to "5"
    k_spell_sound,              // "cast sound:"
    k_spell_rotation,           // combo "3d rot type:"
    k_spell_hit_spell,          // combo: "nothing", then every spell name (row = stored value)
    k_spell_item_effect,        // combo: "no efect", then the class-19 items
    k_spell_stun_min,
    k_spell_stun_max,
    k_spell_quake_min,
    k_spell_quake_max,
};

// Levels 1 to 4: the control of level k (0 to 3) is the base + k.
enum : int32_t {
    k_spell_level_damage = 1700,
    k_spell_level_number = 1704,
    k_spell_level_step = 1708,
    k_spell_level_cost = 1712,
    k_spell_level_type = 1716,    // combos "LINEAR", "CIRCULAR", "RANDOM"
    k_spell_level_effect = 1720,  // combos like k_spell_item_effect
};

// Opens the editor; nothing while it is open.
void open_spell_editor();

// After the spell table changed: the open editor's "hit spell:" box lists the spells as they are
// now, the spell it showed chosen under its new number ("nothing" when it was removed).
void refill_spell_editor_boxes(const table_change& change);

bool spell_editor_proc(dialog_handle dialog, const dialog_message& m);
