// Sorted folder listings: one folder's entries in fixed-size tables of dir_entry records, names
// lower-cased, sorted by name with plain folders first. The working directory is never changed.
#pragma once

#include <cstddef>
#include <cstdint>

struct dir_entry {
    char name[60];        // lower case (ASCII A-Z only), NUL-terminated, without path
    uint32_t attributes;  // k_dir_attr_* bits
    uint32_t size;        // low 32 bits of the file's size; 0 for a folder
};
static_assert(sizeof(dir_entry) == 68);
static_assert(offsetof(dir_entry, attributes) == 60);
static_assert(offsetof(dir_entry, size) == 64);

constexpr uint32_t k_dir_attr_read_only = 1;
constexpr uint32_t k_dir_attr_folder = 16;
constexpr uint32_t k_dir_attr_file = 0x20;
constexpr uint32_t k_dir_entries_capacity = 5000;

// The folder to list: relative to the working directory or absolute, "\" read as "/", resolved
// ignoring case (platform/files.h).
extern char g_dir_path[256];
extern dir_entry g_dir_entries[k_dir_entries_capacity];
extern uint32_t g_dir_count;

// True when the name matches the mask, ignoring ASCII case: '*' matches any run of characters,
// '?' any one character, and "*.*" matches every name (also one without a dot).
bool dir_mask_matches(const char* mask, const char* name);

// Lists g_dir_path's entries matching the mask, "." and ".." included, into out (at most
// capacity entries; the rest are left out, logged), sorted; names of 60 characters or more are
// left out, logged. Attributes: 16 for a folder, 0x20 for anything else, plus 1 when the entry
// is not writable. Returns the count and leaves it in g_dir_count. A missing or unreadable
// folder gives 0.
uint32_t list_directory_into(dir_entry* out, uint32_t capacity, const char* mask);

// list_directory_into g_dir_entries.
void fill_dir_table(const char* mask);

// Sorts by name (bytes as unsigned characters, equal names keep their order), then moves the
// entries whose attributes are exactly 16 before all others, keeping the name order in both.
void sort_dir_entries(dir_entry* entries, uint32_t count);
