#include "items/item_tooltips.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_interface.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/item_properties.h"
#include "items/item_requirements.h"
#include "items/items.h"
#include "items/tooltip_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int k_item_classes = 27;
constexpr int k_sizes = 3;
constexpr int k_damage_types = 8;

// The English words; load_ui_texts localizes most of them once they are installed.
struct tooltip_words {
    builtin_name damage_types[k_damage_types] = {"None", "None", "None", "None", "Fire", "Water", "Air", "Earth"};
    builtin_name kinds[k_item_classes] = {"Quest", "Melee", "Melee", "Melee", "Ranged", "Focus", "Armour",
                                          "Armour", "Boots", "Shield", "Ring", "Necklace", "Cloak", "Armour",
                                          "Armour", "Armour", "Healing Item", "Container", "Scroll", "Efect",
                                          "Perk", "Trap", "Gem", "Gold", "Essence", "Lantern", "Book"};
    builtin_name classes[k_item_classes] = {"Quest", "Fast", "Normal", "Heavy", "Normal", "exotic weapon",
                                            "Body", "Head", "Boots", "Shield", "Ring", "Necklace", "cloak",
                                            "Legs", "Left Arm", "Right Arm", "Healing Item", "Container",
                                            "Scroll", "Efect", "Perk", "Trap", "Gem", "Gold", "Essence",
                                            "Lantern", "Book"};
    builtin_name shield_sizes[k_sizes] = {"Small", "Medium", "Large"};
    builtin_name armour_weights[k_sizes] = {"Light", "Heavy", "Heavy"};
    builtin_name focus_speeds[k_sizes] = {"Fast", "Heavy", "Heavy"};
    builtin_name requirements[k_requirement_codes] = {};

    tooltip_words()
    {
        for (int code = 0; code < k_requirement_codes; ++code)
            copy_bounded(requirements[code], sizeof(builtin_name), k_requirement_texts[code].tooltip_word);
    }
};

tooltip_words g_words;

// Never localized.
const char* const k_shield_factor_words[k_sizes] = {"x1.25", "x1.5", "x2"};

const char* word(const builtin_name* table, int count, int index)
{
    return index >= 0 && index < count ? table[index] : "";
}

// The label line: a white label and a green value at x 200.
void label_line(char* buffer, size_t size, int label, const char* value)
{
    append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %s ^l ", ui_text(label), value);
}

void number_line(char* buffer, size_t size, int label, int value)
{
    append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %d ^l ", ui_text(label), value);
}

const item_property* requirements_of(int32_t id, int& count)
{
    count = std::clamp<int>(g_item_protos[id].requirement_count, 0, k_item_list_entries);
    return g_item_lists[id].requirements;
}

// The requirement words of record id, separated by ", ": codes 13 and 14 print the element word
// of a1 (0 to 3) first.
void append_requirement_words(char* buffer, size_t size, int32_t id)
{
    int count = 0;
    const item_property* list = requirements_of(id, count);
    for (int i = 0; i < count; ++i) {
        const item_property& r = list[i];
        if (i > 0)
            append_markup(buffer, size, ", ");
        if ((r.code == k_req_element || r.code == k_req_element_focus) && r.args[0] >= 0 &&
            r.args[0] <= 3)
            append_markup(buffer, size, "%s", g_words.damage_types[r.args[0] + 4]);
        append_markup(buffer, size, "%s", word(g_words.requirements, k_requirement_codes, r.code));
    }
}

int32_t player_gold()
{
    const char_record* hero = char_at(int32_t(g_player_char));
    return hero ? hero->gold : 0;
}

void append_prices(char* buffer, size_t size, const item_proto& item, int32_t location)
{
    const game_interface& gi = g_interface;
    if (!gi.container_open || gi.container_id < 0 || gi.container_id >= k_container_slots ||
        !g_containers[gi.container_id].shop)
        return;
    if (location < 100 || location > 149) {
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %d %s ^l ", ui_text(46),
                      scaled_price(item.price, gi.shop_buy_factor), ui_text(30));
        return;
    }
    const int32_t price = scaled_price(item.price, gi.shop_sell_factor);
    if (price <= player_gold()) {
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %d %s ^l ", ui_text(47), price, ui_text(30));
    } else {
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 1 0 0 1 ^set_x 200 %d %s ^l ", ui_text(47), price, ui_text(30));
        append_markup(buffer, size, " ^c 1 0 0 1 ");
    }
}

void append_class_values(char* buffer, size_t size, const item_proto& item, int32_t damage_type)
{
    const int cls = item.item_class;
    const int sz = item.size;
    if (cls >= k_item_fast_weapon && cls <= k_item_focus) {
        label_line(buffer, size, 48,
                   cls == k_item_focus ? word(g_words.focus_speeds, k_sizes, sz) : word(g_words.classes, k_item_classes, cls));
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %d - %d %s ^l ", ui_text(23),
                      int(item.damage * 0.75), int(item.damage * 1.25), ui_text(28));
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %d%% ^l ", ui_text(49), int(item.critical_chance));
        char multiplier[64];
        format_fixed(item.critical_multiplier, 2, multiplier, sizeof multiplier);
        append_markup(buffer, size, " ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 x%s ^l ", ui_text(50), multiplier);
        const int type = damage_type == -1 ? int(item.damage_type) : damage_type;
        label_line(buffer, size, 51, word(g_words.damage_types, k_damage_types, type));
    } else if (cls == k_item_shield) {
        label_line(buffer, size, 48, word(g_words.shield_sizes, k_sizes, sz));
        label_line(buffer, size, 52, sz < k_sizes ? k_shield_factor_words[sz] : "");
    } else if (cls == k_item_armor || cls == k_item_helm || cls == k_item_legs || cls == k_item_left_hand_armor ||
               cls == k_item_right_hand_armor) {
        label_line(buffer, size, 48, word(g_words.armour_weights, k_sizes, sz));
        label_line(buffer, size, 53, word(g_words.classes, k_item_classes, cls));
        number_line(buffer, size, 54, item.armour_bonus);
        const int weight = cls == k_item_armor ? 125 : cls == k_item_helm ? 50 : 25;
        number_line(buffer, size, 55, sz != 0 ? weight * 4 : weight);
    }
}

// The progress and requirements of the attunement the item trains; nothing for a link that names
// no attunement record or an attunement of a tier outside 0 to 2.
void append_attunement(char* buffer, size_t size, const item_proto& item, int32_t location)
{
    const int32_t link = item.attunement_link;
    if (link <= 0 || link >= g_item_proto_count)
        return;
    const item_proto& attunement = g_item_protos[link];
    if (attunement.item_class != k_item_attunement || attunement.size >= k_attunement_tiers)
        return;
    const int32_t threshold = g_attunement_thresholds[attunement.size];
    const int32_t points = attunement.damage;
    if (points >= threshold) {
        append_markup(buffer, size, " ^l ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %s ^l ", ui_text(58), attunement.display_name);
        return;
    }
    // points < threshold here, so a threshold of 0 or below leaves only negative points.
    const int32_t percent = threshold > 0 ? int32_t(double(points) / threshold * 100.0) : 0;
    int count = 0;
    requirements_of(link, count);
    if (count == 0) {
        append_markup(buffer, size, " ^l ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 %s (%d%%) ^l ", ui_text(57), ui_text(40),
                      percent);
        return;
    }
    append_markup(buffer, size, " ^l ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 200 ", ui_text(57));
    if (location >= 16 && !item_requirements_met(link, int32_t(g_player_char), link))
        append_markup(buffer, size, " ^c 1 0 0 1 ");
    append_requirement_words(buffer, size, link);
    append_markup(buffer, size, " (%d%% - %d) ", percent, points);
    append_markup(buffer, size, " ^l ");
}

// "<folder>/<language>/<key>.txt" into text, trailing white space cut; false when the key is no
// plain file name or the file does not exist.
bool read_localized_description(const char* folder, const item_proto& item, char* text, size_t size)
{
    char key[sizeof item.key_name + 1];
    copy_bounded(key, sizeof key, item.key_name);
    if (!is_plain_file_name(key))
        return false;
    char path[128];
    std::snprintf(path, sizeof path, "%s/%s/%s.txt", folder, g_language, key);
    if (!read_description(path, text, size))
        return false;
    size_t n = std::strlen(text);
    while (n > 0 && (uint8_t(text[n - 1]) <= ' ' || text[n - 1] == 127))
        text[--n] = 0;
    return true;
}

// The record's display name, terminated.
void display_name_of(const item_proto& item, char* name, size_t size)
{
    copy_bounded(name, size, item.display_name);
}

} // namespace

builtin_name_tables item_tooltip_words()
{
    return {g_words.damage_types, g_words.kinds,          g_words.classes,     g_words.shield_sizes,
            g_words.armour_weights, g_words.focus_speeds, g_words.requirements};
}

void install_item_tooltip_words()
{
    g_builtin_name_tables = item_tooltip_words();
}

size_t draw_item_tooltip(int32_t item, char* buffer, size_t size, float height, int32_t location, int32_t damage_type)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = 0;
    const item_proto* p = item_proto_at(item);
    if (!p)
        return 0;
    char number[64];
    format_fixed(height, 6, number, sizeof number);
    char name[sizeof p->display_name + 1];
    display_name_of(*p, name, sizeof name);
    append_markup(buffer, size, "^window 0 0 600 %s ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 %s ^l ^l ", number, name);
    label_line(buffer, size, 45, word(g_words.kinds, k_item_classes, p->item_class));
    append_prices(buffer, size, *p, location);
    append_class_values(buffer, size, *p, damage_type);
    if (p->item_class == k_item_quick)
        number_line(buffer, size, 56, p->damage);
    append_attunement(buffer, size, *p, location);

    char text[k_item_description_max + 1];
    if (read_localized_description("data/predmety", *p, text, sizeof text))
        append_markup(buffer, size, " ^c 1 1 1 1 ^l %s", text);
    return std::strlen(buffer);
}

size_t draw_attunement_tooltip(int32_t attunement, char* buffer, size_t size, float height)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = 0;
    const item_proto* p = item_proto_at(attunement);
    if (!p)
        return 0;
    char number[64];
    format_fixed(height, 6, number, sizeof number);
    append_markup(buffer, size, "^window 0 0 400 %s ^mouse_center ^gl_a 0.6 ", number);
    char text[k_item_description_max + 1];
    if (!read_localized_description("data/attunements", *p, text, sizeof text))
        return std::strlen(buffer);
    append_markup(buffer, size, " ^c 1 1 1 1 ^l %s ^l ", text);
    int count = 0;
    requirements_of(attunement, count);
    if (count == 0) {
        append_markup(buffer, size, " ^l ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 150 %s ^l ", ui_text(39), ui_text(40));
    } else {
        append_markup(buffer, size, " ^l ^c 1 1 1 1 %s ^c 0 1 0 1 ^set_x 150 ", ui_text(39));
        if (!item_requirements_met(attunement, int32_t(g_player_char), -1))
            append_markup(buffer, size, " ^c 1 0 0 1 ");
        append_requirement_words(buffer, size, attunement);
        append_markup(buffer, size, " ^l ");
    }
    return std::strlen(buffer);
}
