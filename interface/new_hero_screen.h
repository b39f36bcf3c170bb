// The new-hero page (overlay screen 5): the hero's name, head and body looks, difficulty, skill
// points and up to two starting attunements, all written straight into the hero's record and the
// attunements' prototypes. Start is drawn here; its press is the front end's.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

constexpr int k_start_attunement_candidates = 6;
constexpr int k_start_attunement_choices = 2;
constexpr int32_t k_hero_name_max = 24;  // typed characters, the cursor not counted
constexpr int32_t k_hero_heads = 12;     // head looks 1 to 12
constexpr int32_t k_hero_bodies = 9;     // body looks 1 to 9

// The candidates in row order: item ids 204, 208, 220, 216, 178, 151.
extern const int16_t k_start_attunement_ids[k_start_attunement_candidates];

extern int16_t g_start_attunements[k_start_attunement_choices];  // the chosen ids, in choice order
extern uint32_t g_name_repeat_tick;  // a held key types again once g_ticks has passed it

// One frame of the page while overlay_screen is 5: name entry (unless the console is shown), the
// framed panel, look arrows, skill plus and minus, Cancel (back to the menu) and Start, the hero's
// preview, the texts, the difficulty field and the six attunement rows with their tooltips.
void run_new_hero_screen();

// Sets the head (a) or body (b) look of character slot 0 and rebuilds its clips: the clip table
// emptied, the animation set registered again (the model loader picks "head<n>.3d" or
// "body<n>.3d" where they exist), the equipped items applied again, each action whose first clip
// is set made available, and actions move, attack and stand started. Nothing without slot 0.
void setup_hero_look_a(int32_t head);
void setup_hero_look_b(int32_t body);

// The page as a new hero finds it: the name cursor on the last character of the player's name
// (-1 without a player character), no skill point added and no starting attunement chosen: the
// chosen ones are taken back, their points 0.
void reset_new_hero_page();

// Appends the cursor "_" to a name that does not end in it; a name that fills its field has its
// last character replaced by the cursor.
void add_name_cursor(char_record* hero);
