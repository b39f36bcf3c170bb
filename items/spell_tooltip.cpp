#include "items/spell_tooltip.h"

#include "core/console_log.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "items/spells.h"
#include "platform/files.h"

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unistd.h>

namespace {

const char* const k_school_names[] = {"Fire Magic", "Water Magic", "Air Magic", "Earth Magic", "Arrows", "Death Magic"};

// Appends printf-style text to the terminated text in buffer, cutting what does not fit.
void append(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void append(char* buffer, size_t size, const char* format, ...)
{
    size_t used = std::strlen(buffer);
    if (used + 1 >= size)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer + used, size - used, format, args);
    va_end(args);
}

// "%f" as the "C" locale writes it.
void format_fixed(float value, char* out, size_t size)
{
    std::to_chars_result r = std::to_chars(out, out + size - 1, value, std::chars_format::fixed, 6);
    *(r.ec == std::errc() ? r.ptr : out) = 0;
}

// The description file's first k_spell_description_max bytes, terminated; false when it does
// not exist.
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

} // namespace

void spell_damage_text(int n, int sides, int bonus, char* out, size_t size)
{
    out[0] = 0;
    if (bonus < 1) {
        if (sides > 0 && n > 0)
            std::snprintf(out, size, "%dd%d", n, sides);
    } else if (sides <= 0 || n <= 0) {
        std::snprintf(out, size, "%d", bonus);
    } else {
        std::snprintf(out, size, "%dd%d + %d", n, sides, bonus);
    }
}

size_t draw_spell_tooltip(const spell_proto& spell, char* buffer, size_t size, float height)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = 0;
    char name[k_spell_name_size + 1];
    std::memcpy(name, spell.name, k_spell_name_size);
    name[k_spell_name_size] = 0;
    char number[64];
    format_fixed(height, number, sizeof number);

    append(buffer, size, "^window 0 0 500 %s ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 %s ^l ^l ", number, name);
    const char* school = spell.school < std::size(k_school_names) ? k_school_names[spell.school] : "";
    append(buffer, size, "^c 1 1 1 1 Type: ^c 0 1 0 1 ^set_x 150 %s ^l ", school);
    append(buffer, size, "^c 1 1 1 1 Mana Cost: ^c 0 1 0 1 ^set_x 150 %d ^l ", int(spell.mana_cost));
    append(buffer, size, "^c 1 1 1 1 Duration: ^c 0 1 0 1 ^set_x 150 %d ^l ", int(spell.duration));
    char damage[48];
    spell_damage_text(spell.damage_percent, spell.dice_sides, spell.damage_bonus, damage, sizeof damage);
    if (damage[0])
        append(buffer, size, " ^c 1 1 1 1 Damage: ^c 0 1 0 1  ^set_x 150  %s ^l ", damage);

    char path[k_spell_name_size + 32];
    std::snprintf(path, sizeof path, "data/spell/%s.txt", name);
    char text[k_spell_description_max + 1];
    if (is_plain_file_name(name) && read_description(path, text, sizeof text))
        append(buffer, size, " ^c 1 1 1 1 ^l %s", text);
    return std::strlen(buffer);
}
