#include "core/data_files.h"

#include "core/console_log.h"
#include "core/dir_listing.h"
#include "core/text_lines.h"
#include "platform/files.h"

#include <algorithm>
#include <cctype>

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

constexpr int k_language_walk_depth = 16;

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
bool is_no_data(const std::string& folder, const folder_entry& entry)
{
    const char* name = entry.name.c_str();
    if (dir_mask_matches("*.~*", name))
        return true;
    if (folder.empty())
        return entry.is_folder && dir_mask_matches("save", name);
    return !entry.is_folder && dir_mask_matches("global/", folder.c_str()) && dir_mask_matches("*.sav", name);
}

void walk_language_files(const std::string& folder, const std::string& translated_folder, const std::string& code,
                         int depth, std::vector<language_file>* out)
{
    for (const folder_entry& entry : list_folder(folder.empty() ? "." : folder.c_str())) {
        if (is_no_data(folder, entry))
            continue;
        const std::string path = folder + entry.name;
        const std::string translated = translated_folder + translated_part(entry.name, entry.is_folder, code);
        if (entry.is_folder) {
            if (depth < k_language_walk_depth)
                walk_language_files(path + "/", translated + "/", code, depth + 1, out);
        } else if (translated != path) {
            out->push_back({path, translated});
        }
    }
}

} // namespace

std::vector<language_file> language_files(const char* code)
{
    std::vector<language_file> files;
    walk_language_files("", "", code ? code : "", 0, &files);
    std::sort(files.begin(), files.end(),
              [](const language_file& a, const language_file& b) { return a.english < b.english; });
    return files;
}
