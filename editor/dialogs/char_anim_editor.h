// The "ChAnim" page: which move prototype plays in each of a character's sixteen animation
// clips. Each clip's drop-down holds "nothing" then every move prototype name, so row p stands
// for prototype p - 1. The character list and the drop-downs are filled when the page is made.
#pragma once

#include "characters/char_record.h"
#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_anim_chars = 3101,   // list box "Characters:": one key per used slot, row = slot
    k_anim_update = 3102,  // button "UPDATE"
    k_anim_clip = 3110,    // 3110 to 3125: the sixteen clip drop-downs in the order below
};

constexpr int k_anim_clip_fields = 16;

// The clip slot behind drop-down k: stand 0-2, move 0-1, attack 0-3, death 0-1, hit 0-1,
// spell 0-2.
int16_t& anim_clip_slot(char_record& character, int32_t k);

extern dialog_handle g_char_anim_editor_window;  // the page while it is open, else 0

// Makes the page at (0, the tabs' page top); its handle is kept in g_char_anim_editor_window.
void create_char_anim_editor();
bool char_anim_editor_proc(dialog_handle dialog, const dialog_message& m);
