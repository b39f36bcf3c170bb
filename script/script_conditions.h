// Conditions in markup texts: "^if" kind-and-name relation number "^then" ... "^endif".
//
// The first word after "^if" is a kind prefix followed by a name (for example
// "queststate.oracle" or "charstate.HERO"), then a relation ("=", "==", "!=", "<", ">", "<=",
// ">=") and an integer. "invitem.<item>", "hasweapon" and "hasfocus" take no relation and no
// number. There is no else and no nesting: a false condition skips to the first "^endif" after
// its "^then".
//
// Kind prefixes are compared case-sensitively; names (cut at 49 bytes) are compared with the
// game's names ignoring case. A character named "HERO" is the hero; for the memory kinds
// "Serin" and "Dovan" are the hero too. A record that is not found, a word that names no kind
// and a word that is no relation write a debug line and, unless the kind says otherwise, the
// condition holds, so that the text is shown. A condition's debug line is written when it differs
// from the last one the same condition wrote (core/console_log.h console_log_state), so one
// evaluated each frame logs each state once.
#pragma once

#include "script/text_window.h"

#include <cstdint>

constexpr int k_condition_name_max = 49;  // bytes of a condition name kept

// 1 when the condition holds, 0 when not. i is the index of the word after "^if", j the index of
// "^then" (the word count when there is none). Words past the word count read as empty. Reads
// the window and the game tables; writes nothing but its debug lines.
int32_t eval_script_condition(const text_window* window, int32_t i, int32_t j);

// The conditional stretch that starts at the word "^if" with index p, for the run pass and the
// draw pass alike. Returns the index of the word the pass goes on with: the word after "^then"
// when the condition holds (the matching "^endif" is later passed over as an empty command),
// else the word after the first "^endif" after "^then". A condition without "^then" logs
// "neukoncena podmienka" and ends at the word count; a false one without "^endif" logs
// "neukoncena vetva" and skips the rest of the text.
int32_t next_word_after_condition(const text_window* window, int32_t p);
