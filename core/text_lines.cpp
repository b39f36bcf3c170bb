#include "core/text_lines.h"

#include "platform/files.h"

#include <climits>
#include <cstring>

namespace {

// read_text_line, also telling whether the line held a NUL byte.
int read_line(std::FILE* file, char* line, size_t size, bool* nul)
{
    size_t stored = 0, length = 0;
    *nul = false;
    int c = std::fgetc(file);
    if (c == EOF) {
        if (size)
            line[0] = '\0';
        return -1;
    }
    for (; c != EOF && c != '\n'; c = std::fgetc(file)) {
        if (c == '\r')
            continue;
        ++length;
        *nul = *nul || c == 0;
        if (stored + 1 < size)
            line[stored++] = char(c);
    }
    ++length;  // the line end, also of a last line without one
    if (size)
        line[stored] = '\0';
    return length > size_t(INT_MAX) ? INT_MAX : int(length);
}

} // namespace

int read_text_line(std::FILE* file, char* line, size_t size)
{
    bool nul;
    return read_line(file, line, size, &nul);
}

text_file_lines::text_file_lines(const char* name) : name_(name), file_(open_text_file(name)) {}

text_file_lines::~text_file_lines()
{
    if (file_)
        std::fclose(file_);
}

int text_file_lines::next(char* line, size_t size)
{
    if (!file_) {
        if (size)
            line[0] = '\0';
        return -1;
    }
    bool nul;
    const int length = read_line(file_, line, size, &nul);
    if (length < 0)
        return -1;
    ++line_number_;
    if (nul && damaged_line_ == 0)
        damaged_line_ = line_number_;
    return length;
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
