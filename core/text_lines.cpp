#include "core/text_lines.h"

#include "platform/files.h"

#include <climits>
#include <cstring>

int read_text_line(std::FILE* file, char* line, size_t size)
{
    size_t stored = 0, length = 0;
    int c = std::fgetc(file);
    if (c == EOF) {
        if (size)
            line[0] = '\0';
        return -1;
    }
    for (; c != EOF; c = std::fgetc(file)) {
        if (c == '\r')
            continue;
        ++length;
        if (c == '\n')
            break;
        if (stored + 1 < size)
            line[stored++] = char(c);
    }
    if (size)
        line[stored] = '\0';
    return length > size_t(INT_MAX) ? INT_MAX : int(length);
}

std::FILE* open_text_file(const char* name)
{
    if (!is_readable_file(name))
        return nullptr;
    return std::fopen(resolve_path(name).c_str(), "rb");
}

bool stays_in_working_folder(const char* path)
{
    if (!path[0] || path[0] == '/' || path[0] == '\\')
        return false;
    for (const char* p = path; *p;) {
        size_t length = std::strcspn(p, "/\\");
        if (length == 2 && p[0] == '.' && p[1] == '.')
            return false;
        p += p[length] ? length + 1 : length;
    }
    return true;
}

bool is_plain_file_name(const char* name)
{
    if (!name[0] || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return !std::strchr(name, '/') && !std::strchr(name, '\\');
}
