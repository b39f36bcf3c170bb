#include "core/data_files.h"

#include "core/console_log.h"
#include "core/text_lines.h"

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
