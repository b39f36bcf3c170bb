#include "items/spell_tooltip.h"

#include "core/text_lines.h"
#include "items/spells.h"
#include "items/tooltip_text.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

const char* const k_school_names[] = {"Fire Magic", "Water Magic", "Air Magic", "Earth Magic", "Arrows", "Death Magic"};

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
    format_fixed(height, 6, number, sizeof number);

    append_markup(buffer, size, "^window 0 0 500 %s ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 %s ^l ^l ", number, name);
    const char* school = spell.school < std::size(k_school_names) ? k_school_names[spell.school] : "";
    append_markup(buffer, size, "^c 1 1 1 1 Type: ^c 0 1 0 1 ^set_x 150 %s ^l ", school);
    append_markup(buffer, size, "^c 1 1 1 1 Mana Cost: ^c 0 1 0 1 ^set_x 150 %d ^l ", int(spell.mana_cost));
    append_markup(buffer, size, "^c 1 1 1 1 Duration: ^c 0 1 0 1 ^set_x 150 %d ^l ", int(spell.duration));
    char damage[48];
    spell_damage_text(spell.damage_percent, spell.dice_sides, spell.damage_bonus, damage, sizeof damage);
    if (damage[0])
        append_markup(buffer, size, " ^c 1 1 1 1 Damage: ^c 0 1 0 1  ^set_x 150  %s ^l ", damage);

    char path[k_spell_name_size + 32];
    std::snprintf(path, sizeof path, "data/spell/%s.txt", name);
    char text[k_spell_description_max + 1];
    if (is_plain_file_name(name) && read_description(path, text, sizeof text))
        append_markup(buffer, size, " ^c 1 1 1 1 ^l %s", text);
    return std::strlen(buffer);
}
