// The load-time commands' shared pieces: the call of one command and the handlers, split over
// script/load_time_commands.cpp (window, hero, items, story) and
// script/load_time_char_commands.cpp (characters).
#pragma once

#include "script/load_time_commands.h"
#include "script/text_window.h"

struct char_record;

// One command being carried out: its keyword stands at word `at` of the window and its
// arguments follow it.
struct load_time_call {
    text_window* window;
    int32_t at;
    parse_state* state;

    // Argument i, from 1; the window's word, which a command may rewrite.
    char* arg(int i) const { return window->words[at + i]; }
};

// The hero's names that a command rewrites into the hero's file key.
enum hero_names : uint8_t {
    k_name_hero = 1,   // "HERO"
    k_name_serin = 2,  // "Serin"
    k_name_dovan = 4,  // "Dovan"
};
// When the word equals one of the listed names (case ignored), it becomes the hero's file key.
void put_hero_key(char* word, uint8_t names);

// The hero's record, or null.
char_record* hero_record();
// The hero re-adds its attunements, re-applies its item effects and refreshes its equipment.
void refresh_hero();
// The last item prototype whose key name is `name` (case ignored), or -1.
int32_t find_item_named(const char* name);

// Handlers of the character commands.
void ltc_run_char_script(const load_time_call& c);
void ltc_char_attack(const load_time_call& c);
void ltc_char_kill(const load_time_call& c);
void ltc_char_fadedown(const load_time_call& c);
void ltc_char_fadeup(const load_time_call& c);
void ltc_update_char(const load_time_call& c);
void ltc_play_anim(const load_time_call& c);
void ltc_play_spec_anim(const load_time_call& c);
void ltc_heal_char(const load_time_call& c);
void ltc_cast_spell_char(const load_time_call& c);
void ltc_cast_spell_char_on(const load_time_call& c);
void ltc_move_char(const load_time_call& c);
void ltc_rem_char(const load_time_call& c);
void ltc_change_char(const load_time_call& c);
void ltc_weapon_name(const load_time_call& c);
void ltc_change_element(const load_time_call& c);
void ltc_add_char(const load_time_call& c);
void ltc_char2char(const load_time_call& c);
void ltc_hero2clicked(const load_time_call& c);
void ltc_lookat2(const load_time_call& c);
void ltc_lookat3(const load_time_call& c);
void ltc_lookat(const load_time_call& c);
void ltc_center_clicked(const load_time_call& c);
void ltc_center_char(const load_time_call& c);
void ltc_add_char_item(const load_time_call& c);
void ltc_add_char_weapon(const load_time_call& c);
