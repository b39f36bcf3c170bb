// The keywords of the markup language: every command with the number of argument words that
// follow it, whether the parse acts on it and whether the per-frame passes know it. The table is
// the one list by which the parse and both passes step over commands.
//
// A word beginning with "^" is a command when it names a keyword; keywords compare without
// regard to case. A "^" word that the passes do not know is laid out and drawn as a plain word.
#pragma once

#include <cstdint>
#include <span>

struct text_window;

// How a keyword takes its arguments.
enum class markup_syntax : uint8_t {
    fixed,       // exactly `args` words
    condition,   // "^if" condition words "^then" ... "^endif"
    over_text,   // one word, then the words up to "^endover"
};

// What the parse does with the command.
enum class parse_role : uint8_t {
    none,      // nothing at load time
    acts,      // carried out when its last argument is read
    replaced,  // the word itself is rewritten
};

// How a word is matched against the keyword.
enum class keyword_match : uint8_t {
    exact,             // the whole word
    prefix_in_passes,  // the passes take any word beginning with the keyword that no earlier
                       // keyword took; the parse matches it whole
    prefix,            // any word beginning with the keyword, in the parse too
};

struct markup_keyword {
    const char* word;
    uint8_t args;            // argument words after the keyword
    markup_syntax syntax;
    parse_role parse;
    bool passes;             // the run and draw passes know it
    keyword_match match;
    uint8_t parse_from;      // the parse recognises the keyword only from this word index on
};

// Every keyword, in the order in which the passes test them.
std::span<const markup_keyword> markup_keywords();

// The keyword the run and draw passes take `word` for, or null when they place it as a plain
// word: the first keyword of the table that the passes know and that matches.
const markup_keyword* find_pass_keyword(const char* word);

// The table's entry spelled `keyword` (case ignored), or null.
const markup_keyword* find_markup_keyword(const char* keyword);

// Comparisons of keywords and names: the letters A to Z match their lower case, every other byte
// only itself, whatever the locale.
bool markup_equal(const char* a, const char* b);
bool markup_begins(const char* word, const char* prefix);

// Numbers of the markup, read as in the "C" locale ("0.6" whatever the locale): leading blanks,
// then a sign and the longest number that follows; 0 when there is none. An integer beyond the
// 32-bit range is held to it.
float markup_float(const char* word);
int32_t markup_int(const char* word);

// True when the parse, having just stored word `current` of the window, recognises `keyword`
// as completed by it: the keyword stands `args` words before, at or after its first allowed
// index, and matches that word (whole, or by its prefix for a prefix keyword).
bool load_time_command_completed(const text_window* window, int32_t current, const markup_keyword& keyword);
