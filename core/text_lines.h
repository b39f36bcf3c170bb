// Reading the game's line-based text files.
#pragma once

#include <cstddef>
#include <cstdio>

// Reads one line and stores at most size - 1 of its characters, without the line end; the rest
// of a longer line is skipped. Carriage returns are dropped. A last line without a line end is a
// line like any other. Returns the line's length as a reader that keeps the line feed counts it
// (the characters plus 1 for the line end), or -1 at the end of the file with nothing read.
int read_text_line(std::FILE* file, char* line, size_t size);

// Opens a text file of the data for reading (names resolved as platform/files.h does); null when
// it is missing.
std::FILE* open_text_file(const char* name);

// A line-based text table read line by line, keeping where it is damaged: a line that holds a NUL
// byte marks the file damaged from that line on.
class text_file_lines {
public:
    explicit text_file_lines(const char* name);  // opened with open_text_file
    ~text_file_lines();
    text_file_lines(const text_file_lines&) = delete;
    text_file_lines& operator=(const text_file_lines&) = delete;

    bool is_open() const { return file_ != nullptr; }
    const char* name() const { return name_; }
    // The next line, as read_text_line reads and returns it; -1 at the end (or when not open).
    int next(char* line, size_t size);
    // The number of the last line read, from 1; 0 before the first.
    int line_number() const { return line_number_; }
    // The first damaged line, or 0 while every line read was whole.
    int damaged_line() const { return damaged_line_; }
    // The last line read is damaged: whole, but not what its reader can use (a count that is no
    // number). An earlier damaged line stays the first.
    void mark_damaged()
    {
        if (damaged_line_ == 0)
            damaged_line_ = line_number_;
    }
    std::FILE* file() { return file_; }

private:
    const char* name_;
    std::FILE* file_;
    int line_number_ = 0;
    int damaged_line_ = 0;
};

// True for a name that stays in its folder when joined to a path: not empty, no "/" or "\",
// not "." or "..".
bool is_plain_file_name(const char* name);

// True for a path that stays below the working folder: not empty, relative (no leading "/" or
// "\"), and no component "..".
bool stays_in_working_folder(const char* path);
