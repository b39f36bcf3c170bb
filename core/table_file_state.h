// Whether a table's file may be replaced by the table in memory (at shutdown, on a save-all).
// A table read whole may be written back; so may one whose file was missing (nothing there to
// lose). A table read in part, refused or never read holds less than its file, so it is written
// only after an edit changed it; otherwise a console line says why its file is left alone.
#pragma once

#include <cstdint>

// What a loader found in its file, as the question before a write over it tells it.
struct table_file_contents {
    int64_t named_records = -1;  // the record count its head names; -1 when the head was unreadable
    int64_t whole_records = 0;   // of those, the records read whole
    int64_t bytes_after = 0;     // bytes after the last named record
};

struct table_file_state {
    const char* file;
    bool read_whole;                      // the table holds what the file held (or the file was missing)
    bool changed;                         // an edit changed the table since it was read or written
    int32_t (*held_records)() = nullptr;  // the records a write of the table stores now
    table_file_contents found = {};       // the file as its loader last found it
    bool never_read = false;              // the table is built otherwise; its file is only written
};

// The loader's verdict on its file, and what it found there; an edit is forgotten.
void table_file_read(table_file_state& state, bool whole, const table_file_contents& found = {});
// A table that is built otherwise than from its file, which nothing reads: like a table not read
// whole it replaces its file only after an edit.
void table_file_not_read(table_file_state& state);
// An edit of the table.
void table_file_changed(table_file_state& state);
// True when the table may be written over its file; otherwise logs "<file> sa nenacital cely,
// nezapisujem ho" (for a file nothing reads "<file> sa necita a tabulka sa nezmenila, nezapisujem
// ho") and returns false.
bool table_file_may_be_written(const table_file_state& state);
// Writes the table with `write` when it may be written; a complete write makes the file hold the
// table (read whole, no edit pending). False when the file was left alone or the write failed.
bool write_table_file(table_file_state& state, bool (*write)());
