#include "core/data_files.h"

#include "core/console_log.h"
#include "core/dir_listing.h"
#include "core/text_lines.h"
#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

void report_missing_file(const char* file, const char* kept)
{
    console_log("%s: subor chyba, ostava %s", file, kept);
}

void report_damaged_file(const char* file, const char* where, const char* kept)
{
    console_log("%s: poskodeny subor (%s), ostava %s", file, where, kept);
}

std::set<std::string> g_files_reported_once;

void report_missing_file_once(const char* file, const char* kept)
{
    if (g_files_reported_once.insert(file).second)
        report_missing_file(file, kept);
}

void report_damaged_file_once(const char* file, const char* where, const char* kept)
{
    if (g_files_reported_once.insert(file).second)
        report_damaged_file(file, where, kept);
}

std::string data_file_path(const char* folder, const char* name)
{
    if (!name || !name[0]) {
        console_log("prazdne meno suboru v priecinku %s, odmietnute", folder[0] ? folder : ".");
        return {};
    }
    if (!stays_in_working_folder(name)) {
        console_log("%s: mimo priecinka %s, odmietnute", name, folder[0] ? folder : ".");
        return {};
    }
    return std::string(folder) + name;
}

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// `name` with its English marks put in `code`'s: a folder "eng" becomes `code`, and so does the
// "eng" of each "_eng." in a file name. Unchanged when it has none.
std::string translated_part(const std::string& name, bool folder, const std::string& code)
{
    const std::string low = lower(name);
    if (folder)
        return low == "eng" ? code : name;
    std::string out;
    size_t from = 0;
    for (size_t at = low.find("_eng."); at != std::string::npos; at = low.find("_eng.", at + 1)) {
        out += name.substr(from, at + 1 - from) + code;
        from = at + 4;
    }
    return out + name.substr(from);
}

// A file or folder the program or the player made, not data: the save games, the change files
// of visited levels ("global/<level>.sav") and the temporaries of interrupted writes.
bool is_no_data(const std::string& folder, const walked_entry& entry)
{
    const char* name = entry.name.c_str();
    if (dir_mask_matches("*.~*", name))
        return true;
    if (folder.empty())
        return entry.is_folder && dir_mask_matches("save", name);
    return !entry.is_folder && dir_mask_matches("global/", folder.c_str()) && dir_mask_matches("*.sav", name);
}

// The folder listings of one walk, each indexed when first looked in, and a path looked up in them
// as resolve_path finds it: each part as written, else the first entry that matches it ignoring case.
class walked_listings {
public:
    void add(const walked_folder& folder) { folders_[folder.path].entries = folder.entries; }

    // True when `path` ("a/b/c") names a regular file of the listed folders.
    bool has_file(const std::string& path)
    {
        std::string folder;
        for (size_t from = 0;;) {
            const size_t slash = path.find('/', from);
            const walked_entry* entry = find(folder, path.substr(from, slash - from));
            if (!entry)
                return false;
            if (slash == std::string::npos)
                return entry->is_regular_file;
            if (!entry->is_folder)
                return false;
            folder += entry->name + "/";
            from = slash + 1;
        }
    }

private:
    struct listing {
        std::vector<walked_entry> entries;
        std::unordered_map<std::string, size_t> exact, folded;  // index in entries by name
    };

    const walked_entry* find(const std::string& folder, const std::string& name)
    {
        const auto listed = folders_.find(folder);
        if (listed == folders_.end())
            return nullptr;
        listing& in = listed->second;
        if (in.exact.empty()) {
            for (size_t i = 0; i < in.entries.size(); ++i) {
                in.exact.emplace(in.entries[i].name, i);
                in.folded.emplace(lower(in.entries[i].name), i);  // the first of a case-blind name stays
            }
        }
        auto at = in.exact.find(name);
        if (at == in.exact.end() && (at = in.folded.find(lower(name))) == in.folded.end())
            return nullptr;
        return &in.entries[at->second];
    }

    std::unordered_map<std::string, listing> folders_;
};

} // namespace

std::vector<language_file> language_files(const char* code_text)
{
    const std::string code = code_text ? code_text : "";
    walked_listings listings;
    std::unordered_set<std::string> no_data;                                  // folders holding no data
    std::unordered_map<std::string, std::string> translated_folders{{"", ""}};  // by the English folder
    std::vector<language_file> files;
    walk_folder_tree(".", [&](const walked_folder& folder) {
        listings.add(folder);
        const bool data = no_data.count(folder.path) == 0;
        const std::string translated_folder = data ? translated_folders[folder.path] : "";
        for (const walked_entry& entry : folder.entries) {
            const std::string path = folder.path + entry.name;
            if (!data || is_no_data(folder.path, entry)) {
                if (entry.is_folder)
                    no_data.insert(path + "/");
                continue;
            }
            const std::string translated = translated_folder + translated_part(entry.name, entry.is_folder, code);
            if (entry.is_link)
                console_log("%s: symbolicky odkaz, vynechavam", path.c_str());
            else if (entry.is_folder && folder.depth == k_folder_walk_depth)
                console_log("%s: priecinok hlbsie ako %d urovni, vynechavam", path.c_str(), k_folder_walk_depth);
            else if (entry.is_folder)
                translated_folders[path + "/"] = translated + "/";
            else if (entry.is_regular_file && translated != path)
                files.push_back({path, translated, false});
        }
    });
    for (language_file& file : files)
        file.translated_exists = listings.has_file(file.translated);
    std::sort(files.begin(), files.end(),
              [](const language_file& a, const language_file& b) { return a.english < b.english; });
    return files;
}
