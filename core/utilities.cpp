#include "core/utilities.h"

#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

int32_t file_exists(const char* path)
{
    return path && is_readable_file(path) ? 1 : -1;
}

void copy_bounded(char* destination, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t n = std::strlen(text);
    if (n >= size)
        n = size - 1;
    std::memcpy(destination, text, n);
    destination[n] = '\0';
}

char* trim_trailing_space(char* text)
{
    for (size_t n = std::strlen(text); n > 0; --n) {
        auto c = static_cast<unsigned char>(text[n - 1]);
        if (c >= 32 && c != 127)
            break;
        text[n - 1] = '\0';
    }
    return text;
}

bool parse_decimal(const char* text, long long* value)
{
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE)
        return false;
    *value = number;
    return true;
}
