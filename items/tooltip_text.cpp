#include "items/tooltip_text.h"

#include "core/console_log.h"
#include "core/utilities.h"
#include "platform/files.h"

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

void append_markup(char* buffer, size_t size, const char* format, ...)
{
    if (!buffer || size == 0)
        return;
    size_t used = std::strlen(buffer);
    if (used + 1 >= size)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer + used, size - used, format, args);
    va_end(args);
}

void format_fixed(float value, int decimals, char* out, size_t size)
{
    if (size == 0)
        return;
    std::to_chars_result r = std::to_chars(out, out + size - 1, value, std::chars_format::fixed, decimals);
    *(r.ec == std::errc() ? r.ptr : out) = 0;
}

bool read_description(const char* path, char* text, size_t size)
{
    if (file_exists(path) != 1)
        return false;
    text[0] = 0;
    int fd = open_file_read(path);
    if (fd < 0) {
        console_log("nemozem citat %s", path);
        return true;
    }
    size_t n = 0;
    while (n + 1 < size) {
        ssize_t got = ::read(fd, text + n, size - 1 - n);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        n += size_t(got);
    }
    ::close(fd);
    text[n] = 0;
    trim_trailing_space(text);
    return true;
}
