// The creature file list: the names of the character files in "data/creature/", for the
// editor's lists and the placements it makes; and the test every reader of a creature file makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int k_creature_name_size = 20;
constexpr int32_t k_creature_list_capacity = 32767;
constexpr const char* k_creature_files_folder = "data/creature/";

struct creature_name {
    char name[k_creature_name_size];
};

struct creature_file_list {
    int16_t count = 0;
    std::vector<creature_name> names;  // count entries
};

extern creature_file_list g_creature_files;

// Fills the list with every entry of the folder's sorted listing (core/dir_listing.h) that is
// not a folder and whose lower-cased name fits 19 characters (a longer name is left out,
// logged), at most 32,767 names. A missing folder
// gives an empty list.
void list_creature_files(creature_file_list* list);

// The path of the creature file `name` in "data/creature/"; "" for a name that would leave the
// folder, refused with the line of core/data_files.h.
std::string creature_file_path(const char* name);

// True when the creature file at `path` (under "data/creature/") exists; a missing one is named
// once in a run, however often it is asked for (a placement at each visit, a map event each
// frame).
bool creature_file_found(const char* path);
