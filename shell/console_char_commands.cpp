// The console's commands on characters.
#include "shell/console_command_parts.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_spawning.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "interface/new_hero_screen.h"
#include "items/items.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int32_t k_damage_types = 8;
constexpr int32_t k_efect_vert = 27;  // the EFECTS code whose third argument "vert" sets

char_record* player()
{
    return char_at(int32_t(g_player_char));
}

bool char_slot_ok(int32_t slot)
{
    return console_index_ok(slot, int32_t(g_char_count), "character");
}

template <class F>
void for_each_weapon_entry(char_record* c, F f)
{
    for (int e = 0; e < std::min<int>(c->inv_count, k_inventory_entries); ++e)
        if (c->inv_location[e] == k_inv_weapon)
            f(e);
}

// Body or head variant n for character slot 0, its clips loaded anew and restarted.
void set_variant(const char* line, bool body)
{
    int32_t n = 0;
    std::sscanf(line, "%*s %d", &n);
    char_record* c = char_at(0);
    if (!c || !console_index_ok(n, 256, body ? "body variant" : "head variant"))
        return;
    (body ? setup_hero_look_b : setup_hero_look_a)(n);
}

void restore_health(char_record* c)
{
    c->hp = c->hp_max;
    c->mana = c->mana_max;
    c->life = k_life_alive;
}

// The world position at the screen's centre, raised by `above` pixels.
void screen_centre(float above, float* x, float* y)
{
    *x = g_camera_x + float(g_screen_width / 2);
    *y = g_camera_y + float(g_screen_height / 2) - above;
}

// "clonesec" and "addsec": "%s %d %d", a character and a sector.
bool read_char_and_sector(const char* line, char_record** c, int32_t* sector)
{
    int32_t slot = -1;
    *sector = -1;
    std::sscanf(line, "%*s %d %d", &slot, sector);
    if (!char_slot_ok(slot) || !console_index_ok(*sector, k_sector_slots, "sector"))
        return false;
    *c = char_at(slot);
    return *c != nullptr;
}

} // namespace

void run_setbody(const char* line)
{
    set_variant(line, true);
}

void run_sethead(const char* line)
{
    set_variant(line, false);
}

void run_welement(const char* line)
{
    int32_t element = 4;
    std::sscanf(line, "%*s %d", &element);
    char_record* c = player();
    if (!c || !console_index_ok(element, k_damage_types, "damage type"))
        return;
    for_each_weapon_entry(c, [&](int e) { c->inv_damage_type[e] = uint8_t(element); });
}

void run_vert(const char* line)
{
    int32_t n = 1;
    std::sscanf(line, "%*s %d", &n);
    char_record* c = player();
    if (!c)
        return;
    const int16_t value = int16_t(std::clamp(n, int32_t(INT16_MIN), int32_t(INT16_MAX)));
    for_each_weapon_entry(c, [&](int e) {
        const item_proto* item = item_proto_at(c->inv_item[e]);
        if (!item)
            return;
        item_lists& lists = g_item_lists[c->inv_item[e]];
        for (int k = 0; k < std::clamp<int>(item->efect_count, 0, k_item_list_entries); ++k)
            if (lists.efects[k].code == k_efect_vert)
                lists.efects[k].args[2] = value;
    });
    if (world_object* o = world_object_of(*c))
        o->entry_ints[0][1] = n;
}

void run_heal(const char*)
{
    if (char_record* c = player())
        restore_health(c);
}

void run_addexp(const char*)
{
    if (char_record* c = player())
        award_experience(c, 1000);
}

void run_addgold(const char*)
{
    if (char_record* c = player())
        c->gold = c->gold > INT32_MAX - 1000 ? INT32_MAX : c->gold + 1000;
}

void run_attune(const char*)
{
    if (char_record* c = player())
        add_attunement_charge(c, 100);
}

void run_addchar(const char* line)
{
    char name[k_console_arg_size] = "";
    std::sscanf(line, "%*s %255s", name);
    if (!is_plain_file_name(name)) {
        console_log("character file name %s refused", name);
        return;
    }
    const std::string path = std::string("data/creature/") + name + ".chr";
    if (!creature_file_found(path.c_str()))
        return;
    const int32_t slot = load_char_into_free_slot(path.c_str());
    if (slot < 0)
        return;
    float x, y;
    screen_centre(200.0f, &x, &y);
    char_record* c = add_char(&g_chars[slot], slot, x, y);
    c->level_char = 1;
}

void run_hobbary(const char* line)
{
    int32_t slot = 0;
    std::sscanf(line, "%*s %d", &slot);
    if (slot < 0 || slot >= int32_t(g_char_count))
        slot = 0;
    if (!char_at(slot))
        return;
    float x, y;
    screen_centre(0.0f, &x, &y);
    add_char(&g_chars[slot], slot, x, y);
}

void run_setplayer(const char* line)
{
    int32_t slot = -1;
    std::sscanf(line, "%*s %d", &slot);
    if (!char_slot_ok(slot))
        return;
    if (char_record* old = player()) {
        if (world_object* o = world_object_of(*old))
            free_object_slot(o);
        old->object = -1;
    }
    g_player_char = uint32_t(slot);
    place_hero_at_entry(&g_scene_header, 0);
}

void run_resetplayer(const char*)
{
    if (char_record* c = player()) {
        c->skill_points = 800;
        c->quest_bytes[0] = 0;
        c->difficulty = 1;
    }
    g_scene_header.entry_count = 0;
}

void run_resetchars(const char*)
{
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        char_record& c = g_chars[s];
        c.hp = c.hp_max;
        c.world = 0;
        std::fill(std::begin(c.script_flags), std::end(c.script_flags), int16_t(0));
    }
    update_all_placements(&g_char_placements);
}

void run_fadedeath(const char* line)
{
    const int32_t slot = console_int_at(line, 10);
    if (char_slot_ok(slot))
        g_chars[slot].fade_parts = 1;
}

void run_findsec(const char*)
{
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        char_record& c = g_chars[s];
        const world_object* o = c.life == k_life_alive ? world_object_of(c) : nullptr;
        if (!o)
            continue;
        for (int32_t n = 0; n < k_sector_slots; ++n)
            if (g_sectors[n].active && g_sectors[n].type == 3 && point_in_sector(o->x, o->y, n))
                c.home_sector = n;
    }
}

void run_clonesec(const char* line)
{
    char_record* c = nullptr;
    int32_t sector = -1;
    if (!read_char_and_sector(line, &c, &sector))
        return;
    g_sectors[sector] = c->outline;
    if (sector >= g_sector_count)
        g_sector_count = int16_t(sector + 1);
}

void run_addsec(const char* line)
{
    char_record* c = nullptr;
    int32_t sector = -1;
    if (read_char_and_sector(line, &c, &sector))
        c->outline = g_sectors[sector];
}
