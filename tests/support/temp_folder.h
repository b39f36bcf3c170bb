// Test helpers: a scratch working folder that the test runs in and that is removed after it.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <cstdint>

class temp_folder {
public:
    // Creates a fresh folder under the system's temporary folder and makes it the working folder;
    // no file of it has been reported once (core/data_files.h) yet and no state logged
    // (core/console_log.h).
    temp_folder();
    // Restores the previous working folder, the files reported once and the states logged before,
    // and removes the scratch folder with its contents.
    ~temp_folder();
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
    std::set<std::string> reported_before_;
    std::map<std::string, std::string> states_before_;
};

// Whole-file helpers for assertions.
std::vector<uint8_t> read_bytes(const std::filesystem::path& file);
std::string read_text(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
void write_text(const std::filesystem::path& file, const std::string& text);
