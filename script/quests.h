// Quests and story flags: two global tables read from text files at start-up and for a new game,
// stored whole by the save game. The hero's quest list is kept in the hero's char_record
// (quest_bytes: a u8 count, then the u8 quest indices in the order of assignment).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int k_quest_slots = 100;
constexpr int k_flag_slots = 200;
// Entries the hero's quest list holds: one per quest of the table.
constexpr int k_quest_list_room = k_quest_slots;

struct quest_record {
    char name[30];       // key of scripts, events, conditions and the quest text file
    char title[80];      // display title
    uint8_t state;       // story state: 0 after loading, 1 once assigned, others set by scripts
    uint8_t reserved_111[1];
    uint32_t assigned;   // 1 while the quest is in the hero's quest list
    uint32_t completed;  // 1 once completed
    int32_t experience;  // reward before the attunement factor
};
static_assert(sizeof(quest_record) == 124);
static_assert(offsetof(quest_record, title) == 30);
static_assert(offsetof(quest_record, state) == 110);
static_assert(offsetof(quest_record, assigned) == 112);
static_assert(offsetof(quest_record, completed) == 116);
static_assert(offsetof(quest_record, experience) == 120);

struct flag_record {
    char name[32];  // key
    int32_t value;  // 0 after loading, 1 once set
};
static_assert(sizeof(flag_record) == 36);
static_assert(offsetof(flag_record, value) == 32);

extern quest_record g_quests[k_quest_slots];
extern uint8_t g_quest_count;
extern flag_record g_flags[k_flag_slots];
extern int16_t g_flag_count;

// Reads "global/quest_<language>.txt": a count line, then per quest a name line (29 characters
// kept), a title line (79 kept) and an experience line (decimal); and "global/flag.txt": a count
// line, then one name per line (29 kept), each value 0. Characters past a field's room are
// skipped with the rest of their line; trailing white space (a carriage return too) is cut. At
// most 100 quests and 200 flags are read; a count beyond that, a negative one, or a file that
// ends before its count are logged, and the records read stay. A missing quest file leaves both
// tables as they were; a missing flag file leaves the flags. A detour still waiting for its level
// is forgotten.
void load_quests();

// What keeps the quest table of the language `code` ("global/quest_<code>.txt") from reading
// whole, as the log names it ("chyba <file>", "<file> konci po 2 z 5"); "" when it reads whole.
// Nothing is loaded or logged.
std::string quest_table_fault(const char* code);

// Copies the name (cut to its field, trailing white space cut); state, assigned and completed 0.
void set_quest_name(quest_record* quest, const char* name);

// The first index below the count whose name equals `name` ignoring case, or -1.
int16_t find_quest(const char* name);
int16_t find_flag(const char* name);
// The state of the last quest and the value of the last flag whose name equals `name` ignoring
// case, as conditions read them; false when there is none.
bool last_quest_state(const char* name, uint8_t* state);
bool last_flag_value(const char* name, int32_t* value);

int32_t get_flag(const flag_record* flag);
void set_flag(flag_record* flag);  // value 1

// When the quest is not assigned yet: appends `index` to the hero's quest list, then assigned 1
// and state 1. Refused (false, nothing changed, logged) without a hero or with the list full.
// True when the quest is assigned afterwards.
bool assign_quest(quest_record* quest, uint8_t index);
// When the quest is assigned: removes the last occurrence of `index` from the hero's quest list
// (later entries move down), then assigned 0 and state 1.
void unassign_quest(quest_record* quest, int16_t index);
void set_quest_state(quest_record* quest, uint8_t state);

// Rewards the quest once: nothing when it is already completed. Otherwise it is assigned first
// when it is not (a refused assignment does not stop the reward), marked completed, the hero
// gains its experience x the attunement factor (truncated toward zero; see add_experience), the
// game is saved at once, forced, under "<UI text 124> '<title>' <UI text 125>", and the voice
// stream plays "data/sound/quest_completed.ogg". Without a hero only the mark is set.
void complete_quest(quest_record* quest, uint16_t index);

// Writes the quest log's markup of the quest into `out` (`size` bytes): the window of height
// `height` with the title, then, when "data/quests/<language>/<name>.txt" exists, a white line
// with its first 1,999 bytes, trailing white space cut. No file is created; a name or language
// that would lead out of that folder reads no file.
void show_quest_text(const quest_record* quest, char* out, size_t size, float height);

// The story detours of a travel-map request: with quest "watersupply" at state 3 and flag
// "encounter" at 0 a level change to "encounter.sav", entry 0, is requested; then with quest
// "locdrusk" at state 5 and "meetdrusk" at 0 one to "vantiel_penta.sav", entry 2, which wins. A
// quest or flag the tables lack makes its detour false. True when one was taken. The flag
// "encounter" is set when the detour's level is entered (end_story_detour), so a refused level
// leaves the story as it was.
bool take_story_detours();
// The level take_story_detours would lead to now, or null when no detour is due; changes nothing.
const char* story_detour_level();
// A level change was carried out to `level`, entered or refused: a detour waiting for that level
// moves the story on only when it was entered. Any change ends the wait.
void end_story_detour(const char* level, bool entered);
