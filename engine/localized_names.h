// Localized names and level texts: the names of characters and items and the texts of a level
// are replaced by those of the player's language (g_language). Keys are compared ignoring
// case. In editor mode nothing is replaced, so the editor works on the names of the data files.
// A missing file leaves every name as it was. A names file that is missing, holds no names line or
// a damaged line is named once in a run (it is read at every level change).
//
// Each loader takes the names it may replace from their owner's table.
#pragma once

#include <cstddef>
#include <span>

// A character's display name (60 bytes in the character record), in slot order.
struct char_name_entry {
    char* display_name;
    size_t size;
};

// Applies "global/chars_%s.txt": lines "key;name", read until a line shorter than 4 characters.
// Every character from slot 1 on (the hero in slot 0 keeps its name) whose display name equals
// a key becomes that key's name; a character already renamed no longer matches its key.
void load_char_names_into(std::span<const char_name_entry> chars);

// An item prototype's names: its key name (terminated) and its display name (100 bytes); `replaceable` is
// false for an item whose name-replacement field is set.
struct item_name_entry {
    const char* key_name;
    char* display_name;
    size_t size;
    bool replaceable;
};

// Applies "global/itemnames_%s.txt": lines "number;key;name" (the number is informative), read
// until a line shorter than 5 characters. Every replaceable item whose key name equals the key
// gets the name as its display name.
void load_item_names_into(std::span<const item_name_entry> items);

// A map text of the level: its key (terminated) and its text buffer (256 bytes in the record).
struct map_text_entry {
    const char* key;
    char* text;
    size_t size;
};

// Applies the folder "data/leveltext/<language>/<level display name>/": each map text whose file
// "<key>.txt" exists is replaced by the file (cut to fit its buffer), and the first line of
// "levelname" becomes the level's display name. A folder or key name that would leave its
// folder is refused with a log line.
void load_level_texts_into(char* level_name, size_t level_name_size, std::span<const map_text_entry> texts);
