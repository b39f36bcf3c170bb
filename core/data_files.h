// The data files as the loaders meet them: the one log line for a file that is missing or damaged,
// and the one way a file name that data gives becomes a path.
#pragma once

#include <set>
#include <string>
#include <vector>

// "<file>: subor chyba, ostava <kept>": a file the program reads is missing; `kept` names what
// stands in its place.
void report_missing_file(const char* file, const char* kept);

// "<file>: poskodeny subor (<where>), ostava <kept>": the file could not be read as stored;
// `where` says where it broke, `kept` what the program keeps. A file so reported is never logged
// as read.
void report_damaged_file(const char* file, const char* where, const char* kept);

// The same two lines for a file that is looked for again and again (each frame, each level
// change, each character placed): only the first report of a file in a run is written.
void report_missing_file_once(const char* file, const char* kept);
void report_damaged_file_once(const char* file, const char* where, const char* kept);
// The files reported once so far.
extern std::set<std::string> g_files_reported_once;

// The path of a file that data names, `folder` followed by `name` ("" for the working folder,
// else ending in "/"). An empty name gives "", logged "prazdne meno suboru v priecinku <folder>,
// odmietnute"; so does a name that would leave the folder (starting with "/" or "\", or with a
// ".." part), logged "<name>: mimo priecinka <folder>, odmietnute".
std::string data_file_path(const char* folder, const char* name);

// A file the data holds for English and the same file for language `code`.
struct language_file {
    std::string english;
    std::string translated;
    bool translated_exists = false;  // `translated` is a regular file of the walked folders
};

// Every file of the working folder's data that English has under its code, in path order: a
// folder part "eng" or a file name holding "_eng." (letter case aside), wherever it stands, with
// the same path for `code` (each such part and name holding `code` instead). The save games, the
// change files in "global/" and the temporaries of interrupted writes are no data. The folders are
// walked by walk_folder_tree (platform/files.h), each read once, names as listed (a "\" is part
// of a name); a symbolic link is no data, nor is a folder too deep to walk, each logged
// "<path>: ..., vynechavam". A translated file is looked up in those listings, each part as
// written, else ignoring case, as files are found everywhere; one behind a link is missing.
std::vector<language_file> language_files(const char* code);
