// A test helper that sees which files a run reads: while a file_read_log lives, every regular file
// that the test process opens for reading only (open(2) or fopen(3), by the program or by the
// libraries it calls) is recorded once, in the order of the first opening.
#pragma once

#include <string>
#include <vector>

class file_read_log {
public:
    file_read_log();
    ~file_read_log();
    file_read_log(const file_read_log&) = delete;
    file_read_log& operator=(const file_read_log&) = delete;

    // The files of the working folder, by their paths relative to it with "/" between the parts.
    std::vector<std::string> files() const;
    // Every file, by its full path without "." or ".." parts or symbolic links.
    std::vector<std::string> all_files() const;
};
