// A test helper that sees how files reach the disk: while a file_sync_log lives, every fsync(2)
// and rename(2) of the test process is recorded, in order, as "sync PATH" and
// "rename FROM -> TO" with full paths, then done as usual.
#pragma once

#include <string>
#include <vector>

class file_sync_log {
public:
    file_sync_log();
    ~file_sync_log();
    file_sync_log(const file_sync_log&) = delete;
    file_sync_log& operator=(const file_sync_log&) = delete;

    const std::vector<std::string>& events() const { return events_; }

    // The full path of a name relative to the working folder, as the events spell it.
    static std::string full(const std::string& name);

private:
    std::vector<std::string> events_;
};
