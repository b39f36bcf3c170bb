// The interface's start-up: the start values, every image in its slot and format, and the tiled
// panel backgrounds on the recording device.
#include "engine/texture_fixture.h"

#include "characters/char_notices.h"
#include "characters/char_table.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/settings.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "platform/files.h"
#include "support/saved_globals.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr float k_view = 1024.0f / 640.0f * 50.7f;  // pixels per view unit on a 1024-wide screen

class interface_state_test : public texture_test {
protected:
    void SetUp() override
    {
        saved_.keep(g_interface), saved_.keep(g_notices), saved_.keep(g_new_game_request), saved_.keep(g_message_log);
        saved_.keep(g_chars[0]), saved_.keep(g_char_count), saved_.keep(g_player_char), saved_.keep(g_language);
        texture_test::SetUp();
        reset_hook_skip_log();
    }
    void TearDown() override
    {
        texture_test::TearDown();
        saved_.restore();
        reset_hook_skip_log();
    }

    void write_demo_set()
    {
        const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        clear_texture_table();
    }

    // The texture slots of the interface, in field order, each with the field's name and index.
    static std::vector<std::pair<std::string, uint16_t>> slot_fields()
    {
        std::vector<std::pair<std::string, uint16_t>> out;
        auto add = [&](const char* field, const uint16_t* first, int count) {
            for (int i = 0; i < count; ++i)
                out.emplace_back(std::string(field) + "[" + std::to_string(i) + "]", first[i]);
        };
        game_interface& gi = g_interface;
        add("hud_buttons", gi.hud_buttons, 8), add("hud_divider", &gi.hud_divider, 1);
        add("text_frame", gi.text_frame, 6), add("text_background", &gi.text_background, 1);
        add("skill_tabs", gi.skill_tabs, 3), add("pull_kinds", gi.pull_kinds, 4), add("hud_frame", gi.hud_frame, 6);
        add("panel_tiles", gi.panel_tiles, k_panel_tiles), add("skill_page", gi.skill_page, 15);
        add("slot_box", &gi.slot_box, 1), add("bars", gi.bars, 3);
        add("text_background_texture", &gi.text_background_texture, 1);
        add("menu_buttons", gi.menu_buttons, 14), add("list_widgets", gi.list_widgets, 10);
        add("save_load_frame", gi.save_load_frame, 8), add("save_load_buttons", gi.save_load_buttons, 18);
        add("settings_images", gi.settings_images, 11), add("new_hero_tabs", gi.new_hero_tabs, 9);
        add("attunement_icons", gi.attunement_icons, k_attunement_icons);
        return out;
    }

    saved_globals saved_;
};

// The files in slot order, written out from the image table and the panel table.
std::vector<std::string> expected_names(const std::string& language)
{
    std::vector<std::string> names;
    auto add = [&](const std::string& folder, std::initializer_list<std::string> files) {
        for (const std::string& f : files)
            names.push_back(folder + f);
    };
    add("data/buttons/", {"buton1.tga", "buton2.tga", "buton5.tga", "buton4.tga", "buton3.tga", "buton7.tga",
                          "buton8.tga", "buton6.tga", "prepazka.tga"});
    add("data/interface/text/",
        {"d_linka1.tga", "h_linka1.tga", "h_linka2.tga", "z_linka1.tga", "d_roh.tga", "h_roh.tga", "pozadie.tga"});
    add("data/buttons/", {"sk_combat.tga", "sk_magic.tga", "sk_perks.tga"});
    add("data/interface/pull/", {"quick.tga", "spell.tga", "weapon.tga", "remove.tga"});
    add("data/interface/", {"roh.tga", "pas1.tga", "pas2.tga", "droh.tga", "dpas1.tga", "dpas2.tga"});
    const struct {
        const char* folder;
        int columns, rows;
    } panels[] = {{"ram", 5, 7},           {"ram2", 5, 2},           {"ram3", 5, 4},
                  {"skills/podklad", 5, 2}, {"skills/tabulka", 5, 5}, {"spell/ramcek", 1, 5},
                  {"main/background", 7, 11}};
    for (const auto& p : panels)
        for (int c = 0; c < p.columns; ++c)
            for (int r = 0; r < p.rows; ++r)
                names.push_back("data/interface/" + std::string(p.folder) + "/" + std::to_string(64 * c) + "x" +
                                std::to_string(64 * r) + ".tga");
    add("data/interface/skills/", {"skill1.tga", "skill2.tga", "skill3.tga", "weapon1.tga", "weapon2.tga",
                                   "weapon3.tga", "weapon4.tga", "spell1.tga", "spell2.tga", "spell3.tga",
                                   "spell4.tga", "button1.tga", "button2.tga", "button3.tga", "bod.tga"});
    add("data/interface/", {"box.tga", "tuba.tga", "tuba2.tga", "dukatiky.tga"});
    add("data/interface/text/", {"pozadie.tga"});
    for (const char* suffix : {"", "_b"})
        for (const char* b : {"new_game", "load_game", "save_game", "quit", "settings", "credits", "resume"})
            names.push_back("data/interface/main/" + language + "/" + b + suffix + ".tga");
    add("data/interface/", {"delitko.tga", "t_ram.tga", "p_start.tga", "p_ram.tga", "posuvatko.tga", "buton1.tga",
                            "buton2.tga", "sipka1.tga", "sipka2.tga", "zaplata.tga"});
    add("data/interface/saveload/", {"roh dolny1.tga", "roh horny1.tga", "lista dolna1.tga", "lista horna1.tga",
                                     "lista bocna1.tga", "lina spoj1.tga", "lina spoj2.tga", "lina stred1.tga"});
    for (const char* b : {"cancel", "load", "delete", "yes", "no", "active", "all", "ok", "start"})
        for (const char* state : {" normal1.tga", " efect1.tga"})
            names.push_back("data/interface/saveload/button/" + language + "/" + b + state);
    add("data/interface/settings/", {"button game.tga", "button game efekt.tga", "button sound.tga",
                                     "button sound efekt.tga", "button graphics.tga", "button graphics efekt.tga",
                                     "lista2.tga", "lista1.tga", "bezec.tga", "stvorcek.tga", "stvorcek on.tga"});
    add("data/interface/tab/", {"01.tga", "02.tga", "03.tga", "plus.tga", "plus2.tga", "minus.tga", "minus2.tga",
                                "sip normal.tga", "sip efekt.tga"});
    for (int n = 0; n < 16; ++n)
        names.push_back("data/interface/att/" + std::to_string(n) + ".tga");
    return names;
}

bool is_16_bit_field(const std::string& field)
{
    return field.rfind("skill_page", 0) == 0 || field.rfind("list_widgets", 0) == 0 ||
           field.rfind("settings_images", 0) == 0;
}

TEST_F(interface_state_test, EveryImageLoadsIntoItsSlotInOrderWithItsFormat)
{
    // A few files under other letter cases: the file layer finds them, blanks and all.
    ASSERT_TRUE(make_folder("data/interface/Saveload") && make_folder("data/interface/settings") &&
                make_folder("data/interface/text"));
    write_test_image("data/interface/Saveload/Roh Dolny1.tga", 64, 64);
    write_test_image("data/interface/settings/STVORCEK on.tga", 16, 16);
    write_test_image("data/interface/text/pozadie.tga", 32, 32);

    load_interface_textures();

    const auto fields = slot_fields();
    const std::vector<std::string> expected = expected_names("eng");
    ASSERT_EQ(fields.size(), expected.size());
    ASSERT_EQ(fields.size(), 317u);
    int32_t previous = -1;
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& [field, slot] = fields[i];
        ASSERT_NE(slot, k_no_texture_slot) << field;
        EXPECT_GT(int32_t(slot), previous) << field << " is loaded out of order";
        previous = slot;
        EXPECT_EQ(g_textures[slot].name, expected[i]) << field;
    }
    EXPECT_EQ(g_textures[g_interface.panel_tiles[1 * 7 + 2]].name, std::string("data/interface/ram/64x128.tga"));

    // The rectangle fill has a slot of its own on the text background's file.
    EXPECT_NE(g_interface.text_background_texture, g_interface.text_background);
    for (uint16_t slot : {g_interface.text_background, g_interface.text_background_texture}) {
        ASSERT_NE(g_textures[slot].surface, nullptr);
        EXPECT_EQ(g_textures[slot].surface->format, texture_format::a8r8g8b8);
        EXPECT_FALSE(g_textures[slot].surface->mipmaps);
    }
    const texture_record& corner = g_textures[g_interface.save_load_frame[0]];
    ASSERT_NE(corner.surface, nullptr);
    EXPECT_EQ(corner.surface->format, texture_format::a8r8g8b8);
    const texture_record& box = g_textures[g_interface.settings_images[10]];
    ASSERT_NE(box.surface, nullptr);
    EXPECT_EQ(box.surface->format, texture_format::a4r4g4b4);
    EXPECT_FALSE(box.surface->mipmaps);
    // The rest are missing: named slots without a picture, and the start goes on.
    EXPECT_EQ(g_textures[g_interface.hud_buttons[0]].surface, nullptr);
    EXPECT_EQ(g_textures[g_notices.new_points_texture].name, std::string("data/interface/new_points.tga"));
}

TEST_F(interface_state_test, StartValuesAndTheStepsAroundTheImages)
{
    std::memset(static_cast<void*>(&g_interface), 0x5A, sizeof g_interface);
    g_new_game_request = 1;
    g_char_count = 1;
    g_player_char = 0;
    std::strcpy(g_chars[0].display_name, "Dovan");
    g_chars[0].head_variant = g_chars[0].body_variant = 7;

    load_interface_textures();

    const game_interface& gi = g_interface;
    EXPECT_EQ(gi.shown, 1u);
    EXPECT_EQ(gi.side_panel_open | gi.character_panel_open | gi.attunement_select_open | gi.attunement_select_first |
                  gi.attunement_panel_open | gi.menu_open,
              0u);
    EXPECT_EQ(gi.side_panel_page, 2);
    EXPECT_EQ(gi.scroll_enabled, 1u);
    EXPECT_EQ(gi.zoom_enabled, 1u);
    EXPECT_EQ(gi.quick_menu_open | gi.quick_menu_next_tick | gi.quick_list_open | gi.quick_list_next_tick, 0u);
    EXPECT_EQ(gi.quick_menu_slot, -1);
    EXPECT_EQ(gi.quick_list_kind, -1);
    EXPECT_EQ(gi.quick_menu_alpha, 0.0f);
    EXPECT_EQ(gi.quick_list_alpha, 0.0f);
    EXPECT_EQ(gi.container_open | gi.second_container_open, 0u);
    EXPECT_EQ(gi.held_icon, -1);
    EXPECT_EQ(gi.held_item, -1);
    EXPECT_EQ(gi.held_origin, 255);
    EXPECT_EQ(gi.held_from_container | gi.held_from_second_container, 0u);
    for (int slot = 0; slot < k_quick_key_slots; ++slot)
        EXPECT_EQ(gi.quick_ids[slot], -1) << slot;
    EXPECT_EQ(gi.quick_ids[10], 0x5A5A) << "slots 10 to 15 keep what they held";
    EXPECT_EQ(gi.quick_selected, 255);
    EXPECT_EQ(gi.preview_turn_due | gi.anim_step_due, 0u);
    EXPECT_EQ(gi.overlay_screen, 1);
    EXPECT_EQ(gi.dream_switch_allowed | gi.npc_kill_enabled, 0u);
    EXPECT_EQ(gi.pointer_area_count, 0u);
    EXPECT_EQ(gi.quest_scroll_top | gi.quest_scroll_bottom, 0);
    EXPECT_EQ(gi.selected_save, -1);
    EXPECT_EQ(gi.save_preview, -1);
    EXPECT_EQ(gi.start_attunement_count, 0);
    EXPECT_EQ(gi.name_cursor, 4);
    for (uint8_t added : gi.skill_added)
        EXPECT_EQ(added, 0);
    EXPECT_EQ(gi.player_invulnerable, 0x5A5A5A5Au) << "fields without a start value are left alone";

    EXPECT_EQ(g_new_game_request, 0u);
    EXPECT_EQ(g_chars[0].head_variant, 1);
    EXPECT_EQ(g_chars[0].body_variant, 1);
    EXPECT_EQ(g_textures[g_notices.new_attunement_texture].name, std::string("data/interface/new_att.tga"));
    // The message-log window starts shown, at its smallest height, at the bottom left.
    EXPECT_EQ(g_message_log.window_shown, 1u);
    EXPECT_EQ(g_message_log.size_step, 0);
    EXPECT_EQ(g_message_log.x2, 512.0f);
    EXPECT_EQ(g_message_log.y1, float(g_screen_height - 140));
    EXPECT_EQ(g_message_log.y2, float(g_screen_height - 44));
}

// The demo set: every slot has its picture in its format; the panels tile on the recording
// device; a language without its own button folders still starts.
TEST_F(interface_state_test, TheDemoSetFillsEverySlotAndThePanelsTile)
{
    write_demo_set();
    load_interface_textures();
    for (const auto& [field, slot] : slot_fields()) {
        ASSERT_NE(slot, k_no_texture_slot) << field;
        const device_texture* surface = g_textures[slot].surface;
        ASSERT_NE(surface, nullptr) << field << " " << g_textures[slot].name;
        EXPECT_EQ(surface->format, is_16_bit_field(field) ? texture_format::a4r4g4b4 : texture_format::a8r8g8b8)
            << field;
        EXPECT_FALSE(surface->mipmaps) << field;
    }
    for (uint16_t icon : {g_notices.new_attunement_texture, g_notices.level_up_texture, g_notices.new_points_texture,
                          g_notices.new_map_texture})
        EXPECT_NE(g_textures[icon].surface, nullptr) << g_textures[icon].name;

    struct expect_panel {
        int16_t panel;
        int columns, rows, first;
    };
    for (const expect_panel p : {expect_panel{6, 7, 11, 105}, expect_panel{0, 5, 7, 0}, expect_panel{5, 1, 5, 100}}) {
        device_->clear_recording();
        draw_panel_frame(p.panel, 100.0f, 50.0f, 0.5f);
        ASSERT_EQ(device_->draws().size(), size_t(p.columns * p.rows)) << p.panel;
        std::set<std::pair<int, int>> seen;
        for (const recorded_draw& draw : device_->draws()) {
            const lit_vertex* v = device_->vertices_of(draw);
            const float cx = (v[0].x + v[3].x) / 2 * k_view + 512.0f;
            const float cy = 384.0f - (v[0].y + v[3].y) / 2 * k_view;
            const int column = int(std::lround((cx - 132.0f) / 64.0f)), row = int(std::lround((cy - 82.0f) / 64.0f));
            ASSERT_NEAR(cx, 132.0f + 64.0f * float(column), 0.01f);
            ASSERT_NEAR(cy, 82.0f + 64.0f * float(row), 0.01f);
            ASSERT_TRUE(column >= 0 && column < p.columns && row >= 0 && row < p.rows) << column << "," << row;
            EXPECT_TRUE(seen.insert({column, row}).second);
            EXPECT_EQ(draw.texture, g_textures[g_interface.panel_tiles[p.first + column * p.rows + row]].surface)
                << "panel " << p.panel << " tile " << column << "," << row;
            EXPECT_NEAR((v[3].x - v[0].x) * k_view, 64.0f, 0.01f);
            EXPECT_FLOAT_EQ(device_->material_of(draw).diffuse.a, 0.5f);
            EXPECT_FLOAT_EQ(device_->material_of(draw).emissive.r, 0.0f) << "white";
            EXPECT_FLOAT_EQ(device_->material_of(draw).emissive.b, 0.0f) << "white";
            EXPECT_FLOAT_EQ(v[0].u, 0.008f);
            EXPECT_FLOAT_EQ(v[3].u, 0.992f);
        }
    }
    for (int16_t nothing : {int16_t(7), int16_t(-1), int16_t(-32768)}) {
        device_->clear_recording();
        draw_panel_frame(nothing, 0.0f, 0.0f, 1.0f);
        EXPECT_TRUE(device_->draws().empty()) << nothing;
    }

    clear_texture_table();
    std::strcpy(g_language, "sk");
    load_interface_textures();
    std::vector<std::string> empty;
    for (const auto& [field, slot] : slot_fields())
        if (!g_textures[slot].surface)
            empty.push_back(g_textures[slot].name);
    ASSERT_EQ(empty.size(), 14u + 18u);
    EXPECT_EQ(empty.front(), "data/interface/main/sk/new_game.tga");
    EXPECT_EQ(empty.back(), "data/interface/saveload/button/sk/start efect1.tga");
}

} // namespace
