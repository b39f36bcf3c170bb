// The dialogue record: a tree of up to 200 spoken nodes, each with a speaker, a text and up to ten
// options leading to another node or closing the dialogue, guarded as a whole by up to eight entry
// conditions. The game keeps one, g_dialogue; dialogue files are read into it, its conditions are
// tested when a character chooses what to say, and its current node becomes the markup that the
// dialogue window shows.
//
// A dialogue file (".dia2", packed stream; written with a stored body) holds it, little-endian: the eight conditions (kind
// u16, name char[30], a i32, b i32), the name char[50], the language u16, the node count i16, that
// many nodes (speaker char[50], node name char[20], text char[1000], ten option texts char[255],
// ten links u16) and the any-of byte: 375 + 3,640 x n bytes. One reader and one writer share its
// field list, so what is written reads back the same.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int k_dialogue_nodes = 200;
constexpr int k_dialogue_options = 10;
constexpr int k_dialogue_shown_options = 5;  // options past the fifth never reach the markup
constexpr int k_dialogue_conditions = 8;
constexpr int k_dialogue_any_of_conditions = 5;  // the any-of test reads only these
constexpr int k_dialogue_name_size = 50;
constexpr int k_dialogue_speaker_size = 50;
constexpr int k_dialogue_node_name_size = 20;
constexpr int k_dialogue_text_size = 1000;
constexpr int k_dialogue_option_size = 255;
constexpr int k_dialogue_condition_name_size = 30;
constexpr uint32_t k_dialogue_record_size = 728380;
constexpr uint32_t k_dialogue_file_head_size = 375;    // a ".dia2" without nodes
constexpr uint32_t k_dialogue_file_node_size = 3640;   // each node of a ".dia2"
constexpr size_t k_dialogue_markup_size = 4000;        // the markup of a node or of the question menu

struct dialogue_record {
    uint16_t language;  // 0 "eng", 1 "sk": the folder of the markup export
    char name[k_dialogue_name_size];
    char speaker[k_dialogue_nodes][k_dialogue_speaker_size];  // the speaking character's file key
    int16_t node_count;
    char node_name[k_dialogue_nodes][k_dialogue_node_name_size];
    char text[k_dialogue_nodes][k_dialogue_text_size];
    char option_text[k_dialogue_nodes][k_dialogue_options][k_dialogue_option_size];  // empty: no option
    uint16_t option_link[k_dialogue_nodes][k_dialogue_options];  // target node counted from 1; 0 closes
    uint16_t condition_kind[k_dialogue_conditions];  // 0 none, 1 to 20 (dialogue_condition_kind)
    char condition_name[k_dialogue_conditions][k_dialogue_condition_name_size];
    uint8_t reserved_728310[2];
    int32_t condition_a[k_dialogue_conditions];
    int32_t condition_b[k_dialogue_conditions];
    uint8_t any_of;  // 0: every condition must hold; else one of the first five is enough
    uint8_t reserved_728377[3];
};
static_assert(sizeof(dialogue_record) == k_dialogue_record_size);
static_assert(offsetof(dialogue_record, language) == 0);
static_assert(offsetof(dialogue_record, name) == 2);
static_assert(offsetof(dialogue_record, speaker) == 52);
static_assert(offsetof(dialogue_record, node_count) == 10052);
static_assert(offsetof(dialogue_record, node_name) == 10054);
static_assert(offsetof(dialogue_record, text) == 14054);
static_assert(offsetof(dialogue_record, option_text) == 214054);
static_assert(offsetof(dialogue_record, option_link) == 724054);
static_assert(offsetof(dialogue_record, condition_kind) == 728054);
static_assert(offsetof(dialogue_record, condition_name) == 728070);
static_assert(offsetof(dialogue_record, reserved_728310) == 728310);
static_assert(offsetof(dialogue_record, condition_a) == 728312);
static_assert(offsetof(dialogue_record, condition_b) == 728344);
static_assert(offsetof(dialogue_record, any_of) == 728376);
static_assert(offsetof(dialogue_record, reserved_728377) == 728377);

// Entry condition kinds. "Quest" is every quest record named like the condition, "character"
// every character among the first g_char_count whose file key is the name, "the hero" the
// player's character; N is the name read as a decimal number.
enum dialogue_condition_kind : uint16_t {
    k_dia_none = 0,
    k_dia_quest_equal = 1,        // quest state = a
    k_dia_quest_at_least = 2,     // quest state >= a
    k_dia_quest_at_most = 3,      // quest state <= a
    k_dia_quest_between = 4,      // a <= quest state <= b
    k_dia_char_memory0 = 5,       // 5 to 10: the character's memory value 0 to 5 = a
    k_dia_char_memory5 = 10,
    k_dia_hero_hurt = 11,         // the hero's hit points differ from its hit-point ceiling
    k_dia_hero_has_item = 12,     // the hero carries an item of that key name
    k_dia_hero_lacks_item = 13,
    k_dia_gold_at_least = 14,     // the hero's gold >= N
    k_dia_quest_not = 15,         // quest state != a
    k_dia_hero_armed = 16,        // the hero holds a weapon
    k_dia_flag_equal = 17,        // every story flag of that name has the value a
    k_dia_armour_at_least = 18,   // the armour bonuses of the hero's equipped items add up to >= N
    k_dia_armour_at_most = 19,
    k_dia_gold_below = 20,        // the hero's gold < N
};

// The one dialogue of the game: static storage, zero at start-up.
extern dialogue_record g_dialogue;

// Name "NEW DIALOGUE", no nodes, all-of mode; every node's text and option texts empty and its
// links 0. The language, speakers, node names and conditions stay.
void new_dialogue(dialogue_record* d);

// The number of the eight conditions whose kind is not 0.
int16_t count_dialogue_conditions(const dialogue_record* d);

// 1 when the dialogue may be spoken: the any-of test when its any-of byte is set, else the all-of
// test. Just before a condition is tested, a name equal to "hero" (any case) is rewritten into
// the hero's file key, in the record.
int32_t test_dialogue_conditions(dialogue_record* d);
// 1 when each of the eight holds. Kind 0, a kind above 20, and a quest, flag or character
// condition that matches no record hold; with several matching records each must hold.
int32_t test_dialogue_conditions_all(dialogue_record* d);
// 1 at the first of the first five that holds (a quest, flag or character condition when some
// matching record holds; N of kinds 14 and 20 read as a 16-bit number); 0 when none does.
int32_t test_dialogue_conditions_any(dialogue_record* d);

// Node `node` as markup, into `out` of `size` bytes (always terminated): the window, the speaker
// (the hero's file key in place of a speaker "Dovan" or "Serin", stored back in the record; the
// speaking character centred and named by its display name when one has that key), the text and
// the first five options with a text, each linked to "<dialogue name>/<node name of link - 1>.txt"
// or, for link 0 or a link past the node count, to "close.txt"; numbered 1. to 5. unless only one
// is shown. Lines that would not fit whole are left out. A node outside 0..199 gives no markup.
void build_dialogue_node_markup(dialogue_record* d, char* out, size_t size, int32_t node);

// Writes each node below the node count as the markup file
// "data/dialogs/<language>/<dialogue name>/<node name>.txt", making the folders as needed. A
// dialogue or node name holding "/", "\" or ".." (or empty) is refused and logged: nothing of
// that node (or, for the dialogue name, nothing at all) is written. False when a file could not
// be written or a name was refused.
bool export_dialogue_texts(const dialogue_record* d);

// Writes `d` as a dialogue file with its first node count (held to 0..200) nodes. The old file
// is replaced only after a complete write; the file written is writable by its owner. False,
// logged, when it could not be written.
bool write_dialogue_record(const char* path, const dialogue_record& d);
// Writes g_dialogue as a dialogue file (write_dialogue_record).
bool write_dialogue(const char* path);

// Reads a dialogue file into g_dialogue, logging the path first. A file that cannot be opened
// leaves g_dialogue as it was (false). Otherwise the fields are read in order: the node count is
// held to 0..200 (logged when it was not), every text is terminated within its field, the nodes
// past the count keep what they held, a link past the node count becomes 0 (closes, logged), a
// language other than 0 and 1 is kept and logged, and a file that ends early leaves the fields
// it did not reach as they were (logged, false).
bool read_dialogue(const char* path);

// Choosing what a character says. A character's dialogue files are
// "data/dia/<language>/<file key>/<family><n>.dia2", n from 0 to 31, in the families "start"
// (greetings), "first" (first meetings), "end" (closing lines) and "question" (the hero's
// questions); each is a dialogue file with its entry conditions.

// The n of the family's file to speak, or -1. The files are read in turn into g_dialogue (which
// afterwards holds the last one read, not necessarily the chosen one); a file that does not read
// whole is passed over. The lowest acceptable file decides the class: either only files without
// conditions or only files whose conditions hold are candidates. The highest candidate 0 gives 0;
// otherwise up to 20 draws of game_rand() mod (highest + 1) give the first that hits a
// candidate, and 20 misses give -1. The end family logs each conditioned candidate and the hit.
int32_t pick_start_dialogue(int16_t slot);
int32_t pick_first_dialogue(int16_t slot);
int32_t pick_end_dialogue(int16_t slot);
// The link of option `option` (0 to 9) of node `node` of g_dialogue, as a signed number: the
// target node counted from 1, 0 to close; 0 for a node or option outside the record.
int16_t dialogue_option_link(int32_t node, int32_t option);

// The hero's question menu for the character in `slot`, as markup into `out` of `size` bytes
// (always terminated): one numbered link per question file whose conditions hold (its node 0's
// text, leading to the file's path), at most 15 and only as many as fit, then the leave option
// (UI text 159, leading to "a"), which is always there and numbered 2 when no question is.
void build_question_menu(char* out, size_t size, int16_t slot);

// Character events: 0 talk, 1 encounter ("_enc"), 2 enter ("_enter"), 3 death ("_death"), 4 near
// dead ("_neardead"), 5 half dead ("_halfdead"); any other kind runs "data/scripts/<key>". Nothing
// while a dialogue runs or for a slot not in use. Talking picks the first-meeting file at the
// first talk (marking the character talked to) and else, or when there is none, a start file, and
// requests it in the dialogue window as a dialogue record from node 0; without one nothing starts.
// The other kinds load "data/scripts/<key><suffix>.txt" into the dialogue window, mark a dialogue
// running and run the run pass once; a file missing or unreadable does nothing. A script shown
// this way (and by start_script) is the file the window asks for, so what an earlier dialogue
// asked for is dropped.
void run_char_event(int32_t slot, int32_t kind);

// Shows "data/scripts/<name>" in the dialogue window as a running script (its run-time commands
// act from the first pass on); a file missing or unreadable does nothing.
void start_script(const char* name);
// Runs "data/scripts/<name>" at once in a window of its own (one run pass and one draw pass) that
// is then emptied and dropped: nothing stays on screen. A missing file does nothing.
void run_script(const char* name);

// Fills the script links of the dialogue window's loader (the dialogue file, a node's markup,
// the question menu) and the character rules' event link.
void install_dialogue_links();

// The character's memory value that marks it talked to (the first dialogue was held).
constexpr int k_talked_to_memory = 7;
