// Map texts: the level's keyed markup texts that events, entities and the interface show in the
// message window. This file holds the record, the level's table and its section of the level map
// file, and the operations that put messages into the message window.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_map_text_slots = 50;
constexpr uint32_t k_map_text_record_size = 277;
constexpr int k_map_text_key_size = 20;
constexpr int k_map_text_size = 256;
constexpr uint8_t k_map_text_empty = 255;  // tag of an empty record

struct map_text {
    uint8_t tag;                      // 255 empty; the editor gives new texts 1
    char key[k_map_text_key_size];    // the name by which events find the text
    char text[k_map_text_size];       // markup
};
static_assert(sizeof(map_text) == k_map_text_record_size);
static_assert(offsetof(map_text, key) == 1);
static_assert(offsetof(map_text, text) == 21);

extern map_text g_map_texts[k_map_text_slots];
extern uint32_t g_map_text_count;  // records 0 to count - 1 are the level's texts

// Tag 255; the key and the text stay.
void clear_map_text(map_text* record);
// Copies the key and the text (cut to their fields, terminated) and stores the tag.
void set_map_text(map_text* record, const char* text, const char* key, uint8_t tag);
// Appends a text to the level's table; refused (false, logged) when the table holds 50.
bool add_map_text(const char* text, const char* key, uint8_t tag);
// Removes record i: the later records move down by one, the last is cleared, the count drops.
// Nothing for an index outside the table.
void remove_map_text(int32_t i);

// The message operations. Each marks the message window shown (g_message_shown = 1) for the
// rest of the frame, also when the message was dropped. A message is up only while something
// asks for it every frame: the window keeps the text it holds when that same text is asked for
// again, and the frame's end drops a text nobody asked for (message_window_asked false), such as
// a tooltip the pointer has left while a map text is asked for, so the next message shows.
//
// The start of each frame's messages (the map-event pass): nothing is asked for yet and
// g_message_shown is 0.
void begin_message_frame();
// Some message was asked for in this frame, and the window's text is one of them.
bool message_window_asked();
//
// Map text i, whatever the window holds: "^window 10 k_map_text_top w h " with w = (length -
// 22) x 9, at least the width that holds a short text on one line (up to the screen's width less
// 20) and the widest word, and h = 18 + 16 x the lines the text takes at that width, then the
// text, parsed into the message window. Nothing but the log line for an index outside the
// table.
constexpr int k_map_text_top = 34;  // below the HUD's level name
void show_map_text(int32_t i);
// For each map text whose key equals `key` (case-sensitive), in table order: parsed into the
// message window while the window holds no words. So the first non-empty match is shown, and
// nothing when a message is already up.
void show_map_text_by_key(const char* key);
// A markup file into the message window while the window holds no words; gives the loader's
// result, or 1 when the window was busy. A missing file clears g_message_shown and gives -1.
int32_t show_text_file(const char* path);

// The map-texts section: u32 record size 277, u32 count, count records. Both do nothing for a null
// stream and return false when the section is incomplete.
//
// The reader clears the records of the current table, then reads the stored size and the count
// and each record with the stored size: a shorter record leaves the rest of its slot zeroed, the
// rest of a longer one is skipped. Of a count above 50 the first 50 records are kept and the
// others skipped. The key and the text of every record read are terminated. When the data ends
// early the count covers the records read whole.
bool write_map_texts(packed_stream* stream);
bool read_map_texts(packed_stream* stream);
