#include "interface/interface_images.h"

#include "core/data_files.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/quads.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "level/level_change.h"
#include "level/level_map.h"
#include "script/quests.h"

#include <cstdio>
#include <initializer_list>

const panel_layout k_panel_layouts[k_panel_count] = {
    {"data/interface/ram/", 5, 7, 0},
    {"data/interface/ram2/", 5, 2, 35},
    {"data/interface/ram3/", 5, 4, 45},
    {"data/interface/skills/podklad/", 5, 2, 65},
    {"data/interface/skills/tabulka/", 5, 5, 75},
    {"data/interface/spell/ramcek/", 1, 5, 100},
    {"data/interface/main/background/", 7, 11, 105},
};
static_assert(105 + 7 * 11 == k_panel_tiles, "the panels fill panel_tiles exactly");

std::string panel_tile_name(const panel_layout& panel, int column, int row)
{
    char name[96];
    std::snprintf(name, sizeof name, "%s%dx%d.tga", panel.folder, column * k_panel_tile_side,
                  row * k_panel_tile_side);
    return name;
}

namespace {

class image_list {
public:
    explicit image_list(std::vector<interface_image>& out) : out_(out) {}

    // Files "<folder><name>" into consecutive slots from `first`.
    void add(uint16_t* first, bool full_colour, const std::string& folder, std::initializer_list<std::string> names)
    {
        for (const std::string& name : names)
            out_.push_back({folder + name, full_colour, first++});
    }

private:
    std::vector<interface_image>& out_;
};

constexpr bool k_a = true;   // 32-bit with 8-bit alpha
constexpr bool k_b = false;  // 16-bit with 4-bit alpha

// The title menu's buttons in the language, in the order of menu_buttons.
std::vector<std::string> menu_button_files(const std::string& language)
{
    std::vector<std::string> files;
    for (const char* name : {"new_game", "load_game", "save_game", "quit", "settings", "credits", "resume",
                             "new_game_b", "load_game_b", "save_game_b", "quit_b", "settings_b", "credits_b",
                             "resume_b"})
        files.push_back("data/interface/main/" + language + "/" + name + ".tga");
    return files;
}

// The save/load page's buttons in the language, each normal and lit, in the order of
// save_load_buttons.
std::vector<std::string> save_load_button_files(const std::string& language)
{
    std::vector<std::string> files;
    for (const char* stem : {"cancel", "load", "delete", "yes", "no", "active", "all", "ok", "start"})
        for (const char* look : {" normal1.tga", " efect1.tga"})
            files.push_back("data/interface/saveload/button/" + language + "/" + stem + look);
    return files;
}

} // namespace

std::vector<interface_image> list_interface_images(game_interface& gi)
{
    std::vector<interface_image> out;
    out.reserve(320);
    image_list list(out);
    const std::string language = g_language;

    list.add(gi.hud_buttons, k_a, "data/buttons/",
             {"buton1.tga", "buton2.tga", "buton5.tga", "buton4.tga", "buton3.tga", "buton7.tga", "buton8.tga",
              "buton6.tga"});
    list.add(&gi.hud_divider, k_a, "data/buttons/", {"prepazka.tga"});
    list.add(gi.text_frame, k_a, "data/interface/text/",
             {"d_linka1.tga", "h_linka1.tga", "h_linka2.tga", "z_linka1.tga", "d_roh.tga", "h_roh.tga"});
    list.add(&gi.text_background, k_a, "data/interface/text/", {"pozadie.tga"});
    list.add(gi.skill_tabs, k_a, "data/buttons/", {"sk_combat.tga", "sk_magic.tga", "sk_perks.tga"});
    list.add(gi.pull_kinds, k_a, "data/interface/pull/", {"quick.tga", "spell.tga", "weapon.tga", "remove.tga"});
    list.add(gi.hud_frame, k_a, "data/interface/",
             {"roh.tga", "pas1.tga", "pas2.tga", "droh.tga", "dpas1.tga", "dpas2.tga"});
    for (const panel_layout& panel : k_panel_layouts)
        for (int column = 0; column < panel.columns; ++column)
            for (int row = 0; row < panel.rows; ++row)
                out.push_back({panel_tile_name(panel, column, row), k_a,
                               &gi.panel_tiles[panel.first_tile + column * panel.rows + row]});
    list.add(gi.skill_page, k_b, "data/interface/skills/",
             {"skill1.tga", "skill2.tga", "skill3.tga", "weapon1.tga", "weapon2.tga", "weapon3.tga", "weapon4.tga",
              "spell1.tga", "spell2.tga", "spell3.tga", "spell4.tga", "button1.tga", "button2.tga", "button3.tga",
              "bod.tga"});
    list.add(&gi.slot_box, k_a, "data/interface/", {"box.tga"});
    list.add(gi.bars, k_a, "data/interface/", {"tuba.tga", "tuba2.tga", "dukatiky.tga"});
    list.add(&gi.text_background_texture, k_a, "data/interface/text/", {"pozadie.tga"});

    uint16_t* menu_button = gi.menu_buttons;
    for (const std::string& file : menu_button_files(language))
        out.push_back({file, k_a, menu_button++});
    list.add(gi.list_widgets, k_b, "data/interface/",
             {"delitko.tga", "t_ram.tga", "p_start.tga", "p_ram.tga", "posuvatko.tga", "buton1.tga", "buton2.tga",
              "sipka1.tga", "sipka2.tga", "zaplata.tga"});
    list.add(gi.save_load_frame, k_a, "data/interface/saveload/",
             {"roh dolny1.tga", "roh horny1.tga", "lista dolna1.tga", "lista horna1.tga", "lista bocna1.tga",
              "lina spoj1.tga", "lina spoj2.tga", "lina stred1.tga"});
    uint16_t* save_load_button = gi.save_load_buttons;
    for (const std::string& file : save_load_button_files(language))
        out.push_back({file, k_a, save_load_button++});
    list.add(gi.settings_images, k_b, "data/interface/settings/",
             {"button game.tga", "button game efekt.tga", "button sound.tga", "button sound efekt.tga",
              "button graphics.tga", "button graphics efekt.tga", "lista2.tga", "lista1.tga", "bezec.tga",
              "stvorcek.tga", "stvorcek on.tga"});
    list.add(gi.new_hero_tabs, k_a, "data/interface/tab/",
             {"01.tga", "02.tga", "03.tga", "plus.tga", "plus2.tga", "minus.tga", "minus2.tga", "sip normal.tga",
              "sip efekt.tga"});
    for (int n = 0; n < k_attunement_icons; ++n)
        list.add(&gi.attunement_icons[n], k_a, "data/interface/att/", {std::to_string(n) + ".tga"});
    return out;
}

namespace {

// "" when the level `name` can be entered, else what keeps it from it.
std::string level_fault(const std::string& name)
{
    if (level_can_be_entered(name.c_str()))
        return {};
    const std::string path = level_map_path(name.c_str());
    return file_exists(path.c_str()) == 1 ? path + " je poskodeny" : "chyba " + path;
}

} // namespace

std::string language_data_fault(const char* code)
{
    for (const std::string& table : {ui_text_table_fault(code), quest_table_fault(code)})
        if (!table.empty())
            return table;
    // Every file English has under its code, the same for this language.
    std::string first;
    int missing = 0;
    for (const language_file& file : language_files(code))
        if (!file.translated_exists && missing++ == 0)
            first = file.translated;
    if (missing > 0)
        return "chyba " + first + (missing > 1 ? " a " + std::to_string(missing - 1) + " dalsich suborov" : "");
    // The travel map and the ending are levels of the language, entered as they are.
    for (const char* level : {"mapa_", "final_"})
        if (std::string fault = level_fault(level + std::string(code) + ".sav"); !fault.empty())
            return fault;
    return {};
}

void draw_panel_frame(int16_t panel, float x, float y, float alpha)
{
    if (panel < 0 || panel >= k_panel_count)
        return;
    constexpr float half = k_panel_tile_side / 2.0f;
    const panel_layout& layout = k_panel_layouts[panel];
    for (int column = 0; column < layout.columns; ++column)
        for (int row = 0; row < layout.rows; ++row)
            draw_texture_screen(g_interface.panel_tiles[layout.first_tile + column * layout.rows + row],
                                x + half + float(column * k_panel_tile_side), y + half + float(row * k_panel_tile_side),
                                alpha, 1.0f, 0, 0.0f, 0.0f, 0.008f, 1.0f, 1.0f, 1.0f);
}

pointer_area panel_frame_area(int16_t panel, float x, float y)
{
    if (panel < 0 || panel >= k_panel_count)
        return {x, y, x, y};
    const panel_layout& layout = k_panel_layouts[panel];
    return {x, y, x + float(layout.columns * k_panel_tile_side), y + float(layout.rows * k_panel_tile_side)};
}
