// File services of the platform layer.
//
// The game's data was made on a case-insensitive file system and names it with "\" or "/"
// in any case. Every function here takes such a name, reads "\" as "/", and resolves each
// component that does not exist as written by a case-insensitive match in its folder.
// A name that still matches nothing (a file about to be created) keeps its unmatched tail
// as written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The name as it exists on disk (see above).
std::string resolve_path(std::string_view name);

// open(2) on the resolved name; the result is a descriptor or -1 with errno set.
int open_file_read(const char* name);
int open_file_write(const char* name);  // created or truncated, mode 0644

// True when the name is a regular file that opens for reading (a folder is not).
bool is_readable_file(const char* name);
bool is_folder(const char* name);
// True when both names reach one existing file (or folder), by whatever path.
bool same_file(const char* a, const char* b);
// The name relative to the working folder, "/" between its parts: a relative name without a ".."
// part as it is; any other name, when it lies below the working folder (symbolic links followed),
// relative to it; "" for a name outside the working folder or the folder itself.
std::string working_relative_name(const char* name);

// Size in bytes of a regular file; 0 when it is missing or cannot be read.
uint32_t file_size(const char* name);

// Creates the folder and any missing parents; an existing folder is no error.
bool make_folder(const char* name);

// Copies a file, replacing the target; the target appears only after a complete copy.
bool copy_file(const char* from, const char* to);

// Gives `to` the contents of `from` as copy_file does, sharing the data through a hard link where
// the file system allows (the data then is never written, nor synced, twice). Only for files
// whose writers replace them whole (a temporary synced and renamed over them), never change them
// in place.
bool share_or_copy_file(const char* from, const char* to);

// Gives a temporary of new_temporary_name the contents of `from` as share_or_copy_file does, left
// for its caller to commit or discard. `shared` tells whether the data is shared with `from` (a
// file its writer made durable: commit with data_on_disk) or was copied (commit plainly). False
// when `from` cannot be read or the temporary written.
bool fill_temporary_from(const char* from, const std::string& temporary, bool* shared);

// Adds write permission for the file's owner when it lacks it; false when the file is missing or
// its mode cannot be changed.
bool make_user_writable(const char* name);

// Deletes a file, making it writable first. A missing file is a failure.
bool delete_file(const char* name);

// Renames a file over another (atomic on one file system), durably: the file's data reaches the
// disk before the rename, and the folder's new entry after it (at the end of a folder_sync_batch
// while one lives). False, nothing renamed, when the data cannot be synced or the rename fails.
// A folder renamed this way is synced itself first. data_on_disk: the data is known to be on
// disk already (a hard link to a file written durably), and only the rename is made durable.
bool replace_file(const char* from, const char* to, bool data_on_disk = false);

// While one lives, the folders whose entries replace_file and exchange_entries change are synced
// once each when the outermost batch ends, instead of after every change; before a folder is
// renamed or exchanged the folders waiting are synced, so that its entries are on disk first.
// Each file written is still synced before its rename.
class folder_sync_batch {
public:
    folder_sync_batch();
    ~folder_sync_batch();
    folder_sync_batch(const folder_sync_batch&) = delete;
    folder_sync_batch& operator=(const folder_sync_batch&) = delete;
};

// Writing through a temporary beside the target. The temporary's name is the resolved target
// followed by ".~<process id>-<serial>" ("global/efects.dat.~4711-3"). commit_temporary replaces
// the target by the written temporary (replace_file) and removes the temporary when it cannot;
// discard_temporary removes it. Every name handed out is ended by exactly one of the two.
std::string new_temporary_name(const char* target);
bool commit_temporary(const std::string& temporary, const char* target, bool data_on_disk = false);
void discard_temporary(const std::string& temporary);

// Removes the temporaries that interrupted writes left in a folder and the folders walk_folder_tree
// reaches below it: regular files named exactly as above whose process is not running, or is this
// process while it holds no temporary of its own. Returns the paths removed: the resolved folder's
// name ("" for ".") followed by the path below it as the listings spell it.
std::vector<std::string> remove_stale_temporaries(const char* folder);

struct folder_entry {
    std::string name;
    uint64_t size = 0;
    bool is_folder = false;
};

// The entries of a folder except "." and "..", in no particular order; empty when it cannot be read.
std::vector<folder_entry> list_folder(const char* name);

// An entry of a walked folder, as the listing gives it. A symbolic link is a link, neither a folder
// nor a file, whatever it points to.
struct walked_entry {
    std::string name;  // every byte as listed ("\" is a character of the name)
    bool is_folder = false;
    bool is_regular_file = false;
    bool is_link = false;
};

// One folder of a walk, open while its visitor runs.
class walked_folder {
public:
    std::string path;  // below the root: "" for the root itself, else "a/b/"
    int depth = 0;     // 0 for the root
    std::vector<walked_entry> entries;  // all but "." and "..", in listing order

    // Removes this folder's entry of that name (a name without "/") unless it is a folder; true when
    // removed.
    bool remove_file(const std::string& name) const;

private:
    friend class folder_walker;
    int descriptor_ = -1;
};

// Folders deeper than this below the root are not walked.
constexpr int k_folder_walk_depth = 16;

// Lists the folder `root` (a name as above; "" or "." the working folder) and every folder below
// it, each visited before the folders it holds. Below the root nothing is resolved: a folder is
// entered by its entry's name, a symbolic link never, a folder reached twice (a mount of its
// parent) once only, and none deeper than k_folder_walk_depth; a folder that cannot be read is
// left out. False when the root cannot be read.
bool walk_folder_tree(const char* root, const std::function<void(const walked_folder&)>& visit);

// Seconds since the epoch of the last modification; false when the file is missing.
bool file_modified_time(const char* name, int64_t* seconds);

// Reads a whole file; false when it is missing or cannot be read.
bool read_whole_file(const char* name, std::vector<uint8_t>* out);

// Writes a whole file through a temporary beside it, replacing the target (commit_temporary)
// only after a complete, checked write.
bool write_whole_file(const char* name, const void* data, size_t size);

// Swaps two existing entries (files or folders) of one file system in a single atomic step,
// durably (the folders' entries are synced after it). False, nothing changed, when either is
// missing or the file system cannot swap.
bool exchange_entries(const char* a, const char* b);

// Deletes a folder with everything in it (a file is deleted too). True when nothing of that name
// is left.
bool remove_folder_tree(const char* name);
