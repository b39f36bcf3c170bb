// Test helpers: a scratch working folder that the test runs in and that is removed after it.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <cstdint>

class temp_folder {
public:
    // Creates a fresh folder under the system's temporary folder and makes it the working folder;
    // no file of it has been reported once (core/data_files.h) yet.
    temp_folder();
    // Restores the previous working folder and the files reported once before, and removes the
    // scratch folder with its contents.
    ~temp_folder();
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
    std::set<std::string> reported_before_;
};

// Whole-file helpers for assertions.
std::vector<uint8_t> read_bytes(const std::filesystem::path& file);
std::string read_text(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
void write_text(const std::filesystem::path& file, const std::string& text);
