// Reading the game's line-based text files.
#pragma once

#include <cstddef>
#include <cstdio>

// Reads one line and stores at most size - 1 of its characters, without the line end; the rest
// of a longer line is skipped. Carriage returns are dropped. Returns the line's length as a
// reader that keeps the line feed counts it (the characters plus 1 for the line feed), or -1 at
// the end of the file with nothing read.
int read_text_line(std::FILE* file, char* line, size_t size);

// Opens a text file of the data for reading (names resolved as platform/files.h does); null when
// it is missing.
std::FILE* open_text_file(const char* name);

// True for a name that stays in its folder when joined to a path: not empty, no "/" or "\",
// not "." or "..".
bool is_plain_file_name(const char* name);

// True for a path that stays below the working folder: not empty, relative (no leading "/" or
// "\"), and no component "..".
bool stays_in_working_folder(const char* path);
