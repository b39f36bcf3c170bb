// The load-time commands as the parse carries them out, on a scene of characters standing in the
// world, a small item table and fake links to the hero and the slide shows.
#include "characters/char_scene.h"

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "core/utilities.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "items/ground_items.h"
#include "items/spells.h"
#include "script/entities.h"
#include "script/load_time_commands.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "support/item_table_guard.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr int32_t k_potion = 1;
constexpr int32_t k_key = 2;
constexpr int32_t k_ring = 3;       // trains the attunement k_attunement
constexpr int32_t k_attunement = 4;

std::string g_slide_request;
int32_t g_outro_request = -1;

class load_time_test : public char_scene_test {
protected:
    void SetUp() override
    {
        char_scene_test::SetUp();
        kept_.keep(g_script_links), kept_.keep(g_quests), kept_.keep(g_quest_count);
        kept_.keep(g_entities), kept_.keep(g_entity_count), kept_.keep(g_ground_items);
        kept_.keep(g_ground_item_count), kept_.keep(g_mouse_screen_x), kept_.keep(g_mouse_screen_y);
        kept_.keep(g_ui_text), kept_.keep(g_spell_proto_count), kept_.keep(g_map_locations_open);
        kept_.keep(g_textures), kept_.keep(g_texture_count);
        g_script_links.player_char = [] { return int32_t(g_player_char); };
        g_script_links.char_file_key = [](int32_t slot) -> const char* { return g_chars[slot].name; };
        g_script_links.char_display_name = [](int32_t slot) -> const char* { return g_chars[slot].display_name; };
        g_script_links.start_chapter_slide_show = [](const char* chapter) { g_slide_request = chapter; };
        g_script_links.start_epilogue_slide_show = [](int32_t ending) { g_outro_request = ending; };
        g_slide_request.clear();
        g_outro_request = -1;

        make_item(k_potion, "potion", "Potion", 0);
        make_item(k_key, "key", "Old key", 0);
        make_item(k_ring, "ring", "Ring", 0).attunement_link = k_attunement;
        make_item(k_attunement, "Focus", "Focus", k_item_attunement);
        make_item(k_centre_marker_item, "marker", "Marker", k_item_attunement);
        std::snprintf(g_ui_text[94], k_ui_text_size, "No room, it fell down");
        g_quest_count = 0;
        g_entity_count = 0;
        g_ground_item_count = 0;
        g_spell_proto_count = 0;

        hero_ = &place(0, k_kind_player, 100, 100);
        std::snprintf(hero_->name, sizeof hero_->name, "hero_key");
        g_player_char = 0;
        orc_ = &place(1, k_kind_normal, 400, 100);
        std::snprintf(orc_->name, sizeof orc_->name, "orc");
        g_scene_header.followed_char = 0;
        window_ = std::make_unique<text_window>();
    }

    void parse(const std::string& text) { parse_text_window(window_.get(), text.c_str()); }
    std::string word(int i) const { return window_->words[i]; }
    int count_of(const char_record& c, int16_t item) const
    {
        return int(std::count(c.inv_item, c.inv_item + c.inv_count, item));
    }

    item_table_guard items_;
    saved_globals kept_;
    char_record* hero_ = nullptr;
    char_record* orc_ = nullptr;
    std::unique_ptr<text_window> window_;
};

TEST_F(load_time_test, WindowPlacementFollowsTheScreenTheCursorAndThePictures)
{
    parse("^window 100 50 300 200 ^center");
    EXPECT_EQ(window_->x1, 312.0f); EXPECT_EQ(window_->y1, 259.0f);
    EXPECT_EQ(window_->x2, 612.0f); EXPECT_EQ(window_->y2, 459.0f);
    parse("^window 0 0 300 200 ^center_x");
    EXPECT_EQ(window_->x1, 362.0f); EXPECT_EQ(window_->y1, 0.0f);
    parse("^window 0 0 300 200 ^center_y");
    EXPECT_EQ(window_->y1, 284.0f); EXPECT_EQ(window_->x1, 0.0f);
    parse("^window 0 0 300 200 ^dialog ^gl_a 0.6 ^no_rect ^no_draw ^poz_start 7 9");
    EXPECT_EQ(window_->x1, 362.0f); EXPECT_EQ(window_->x2, 662.0f);
    EXPECT_EQ(window_->y1, 768.0f - 200 - 64); EXPECT_EQ(window_->y2, 768.0f);
    EXPECT_FLOAT_EQ(window_->alpha, 0.6f);
    EXPECT_EQ(window_->draw_rect, 0u); EXPECT_EQ(window_->no_draw, 1u);
    EXPECT_EQ(window_->background_start[0], 7.0f); EXPECT_EQ(window_->background_start[1], 9.0f);

    // At the bottom edge the top goes to H - 75, then up to H - h for a taller window.
    g_mouse_screen_x = 1000, g_mouse_screen_y = 768;
    parse("^window 0 0 300 200 ^mouse_center");
    EXPECT_EQ(window_->x1, 1024.0f - 300); EXPECT_EQ(window_->y1, 568.0f); EXPECT_EQ(window_->y2, 768.0f);
    parse("^window 0 0 300 50 ^mouse_center");
    EXPECT_EQ(window_->y1, 768.0f - 75); EXPECT_EQ(window_->y2, 768.0f - 25);
    g_mouse_screen_x = 10, g_mouse_screen_y = -100;
    parse("^window 0 0 300 50 ^mouse_center");
    EXPECT_EQ(window_->x1, 0.0f); EXPECT_EQ(window_->y1, 0.0f);

    // Sixteen picture slots: a seventeenth "^o1" loads nothing.
    std::string pictures;
    for (int i = 0; i < 17; ++i)
        pictures += " ^o1 pic" + std::to_string(i) + ".tga";
    parse(pictures);
    EXPECT_EQ(window_->picture_count, k_window_pictures);
    parse("^pozadie back.tga ^poz_size 64 32");
    ASSERT_EQ(window_->has_background, 1);
    EXPECT_EQ(g_textures[window_->background].width, 64u);
    EXPECT_EQ(g_textures[window_->background].height, 32u);
    reset_text_window(window_.get());
}

TEST_F(load_time_test, GoldItemsAttunementsAndQuestsOfTheHero)
{
    hero_->gold = 100;
    parse("x ^take_gold 500");
    EXPECT_EQ(hero_->gold, 0);
    parse("^add_gold 40");  // the first word of a text
    EXPECT_EQ(hero_->gold, 0);
    parse("x ^add_gold 40 ^add_gold 2147483647");
    EXPECT_EQ(hero_->gold, INT32_MAX);
    hero_->gold = 0;

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(char_take_item(hero_, k_potion, 1, -1));
    parse("^sell_item potion 5");  // not as the first or second word
    EXPECT_EQ(count_of(*hero_, k_potion), 3);
    parse("Thanks, friend. ^sell_item POTION 5");
    EXPECT_EQ(count_of(*hero_, k_potion), 0);
    EXPECT_EQ(hero_->gold, 15);

    ASSERT_TRUE(char_take_item(hero_, k_key, 1, -1));
    ASSERT_TRUE(char_take_item(hero_, k_key, 1, -1));
    parse("^remove_item key ^remove_item nothing");
    EXPECT_EQ(count_of(*hero_, k_key), 1);

    // A full backpack: the key falls at the hero, with UI text 94 in the message log.
    for (int i = 0; i < k_backpack_slots - 1; ++i)
        ASSERT_TRUE(char_take_item(hero_, k_potion, 1, -1));
    g_message_log.count = 0;
    parse("^add_char_item HERO key 1");
    EXPECT_EQ(word(1), "hero_key");
    EXPECT_EQ(count_of(*hero_, k_key), 1);
    ASSERT_EQ(g_ground_item_count, 1);
    EXPECT_EQ(g_ground_items[0].item, k_key);
    ASSERT_GE(g_message_log.count, 1u);
    EXPECT_STREQ(g_message_log.lines[g_message_log.count - 1], "No room, it fell down");
    EXPECT_EQ(g_message_log.colours[g_message_log.count - 1], 1);
    parse("^add_char_item orc %s%n%d 1");
    EXPECT_NE(log_text().find("%s%n%d nenasiel"), std::string::npos);
    parse("^add_char_item orc key 1");
    EXPECT_EQ(count_of(*orc_, k_key), 1);

    parse("^attune_item RING ^add_attunement 4 ^add_attunement 1000 ^add_attunement -4 ^add_attunement 0");
    EXPECT_EQ(g_item_protos[k_attunement].damage, 500);

    set_quest_name(&g_quests[0], "bandits");
    set_quest_name(&g_quests[1], "bandits");
    g_quest_count = 2;
    g_quests[0].state = 250;
    parse("^add_quest_state Bandits 10 ^add_quest_state nobody 1");
    EXPECT_EQ(g_quests[0].state, 4); EXPECT_EQ(g_quests[1].state, 0);
    EXPECT_NE(log_text().find("quest bandits state 4"), std::string::npos);
}

TEST_F(load_time_test, CharacterCommandsFindTheirCharactersByKey)
{
    parse("^char_kill orc");  // the first word of a text
    EXPECT_EQ(orc_->hp, 10); EXPECT_EQ(orc_->kind, k_kind_normal);
    parse("Now ^char_kill ORC ^char_kill nobody");
    EXPECT_EQ(orc_->hp, -1); EXPECT_EQ(orc_->kind, k_kind_enemy);
    orc_->hp = 10, orc_->kind = k_kind_normal;

    // Only a living character is marked; the old centred one loses its mark.
    char_give_item(hero_, k_centre_marker_item, 1, k_inv_attunement, -1);
    orc_->life = k_life_dead;
    parse("^center_char orc");
    EXPECT_EQ(g_scene_header.followed_char, 1);
    EXPECT_EQ(count_of(*hero_, k_centre_marker_item), 0); EXPECT_EQ(count_of(*orc_, k_centre_marker_item), 0);
    orc_->life = k_life_alive;
    parse("^center_char orc");
    EXPECT_EQ(count_of(*orc_, k_centre_marker_item), 1);
    parse("^center_char HERO");
    EXPECT_EQ(g_scene_header.followed_char, 0);
    EXPECT_EQ(count_of(*orc_, k_centre_marker_item), 0); EXPECT_EQ(count_of(*hero_, k_centre_marker_item), 1);

    // The hero at (100, 100) and the orc at (400, 100) turn to each other.
    parse("^char2char Serin orc");
    EXPECT_EQ(word(1), "hero_key");
    EXPECT_EQ(hero_->facing, 90); EXPECT_EQ(orc_->facing, 270);
    EXPECT_EQ(hero_->state, uint32_t(k_state_turn)); EXPECT_EQ(orc_->state, uint32_t(k_state_turn));
    parse("^lookat2 100 400");
    EXPECT_EQ(hero_->facing, 0);

    // "^move_char" passes over a named character within 20 of the point.
    char_record& orc2 = place(2, k_kind_normal, 500, 500);
    std::snprintf(orc2.name, sizeof orc2.name, "orc");
    orc_->state = orc2.state = 0;
    parse("^move_char orc 410 100");
    EXPECT_EQ(orc_->state, 0u);
    EXPECT_EQ(orc2.state, uint32_t(k_state_plan_path));
    EXPECT_EQ(orc2.goal_x, 410.0f); EXPECT_EQ(orc2.path_goal_y, 100.0f);

    orc_->state = orc2.state = 0;
    parse("^char_attack orc hero_key");  // the last orc with a world object attacks
    EXPECT_EQ(orc2.state, uint32_t(k_state_strike)); EXPECT_EQ(orc2.target, 0);
    EXPECT_EQ(orc_->state, 0u);

    orc_->hp_max = 30;
    parse("^heal_char orc");
    EXPECT_EQ(orc_->hp, 30); EXPECT_EQ(orc_->hp_ceiling, 30);

    // Clips 0 to 17 only; in range the character plays, its object in mode 3.
    orc_->state = orc2.state = 0;
    parse("x ^play_spec_anim orc 18 ^play_spec_anim orc -1 ^play_anim orc 9");
    EXPECT_EQ(orc_->state, 0u);
    parse("x ^play_spec_anim orc 17");
    EXPECT_EQ(orc_->state, uint32_t(k_state_recover));
    EXPECT_EQ(g_objects[orc_->object].anim_mode, 3);

    parse("^change_char orc wolf");
    EXPECT_EQ(orc_->state, uint32_t(k_state_fade_out)); EXPECT_STREQ(orc_->change_into, "wolf");
    parse("^change_char orc bear");  // the first orc fades already: the second one changes
    EXPECT_STREQ(orc2.change_into, "bear");

    const int32_t object = orc2.object;
    parse("^rem_char orc");
    EXPECT_EQ(orc_->object, -1); EXPECT_EQ(orc2.object, -1);
    EXPECT_EQ(g_objects[object].entry_kinds[0], 10); EXPECT_EQ(g_objects[object].entry_ints[0][4], 2);
    EXPECT_EQ(g_objects[object].entry_count, 1);
}

TEST_F(load_time_test, EntitiesSpellsSlidesAndTheElementDialogue)
{
    g_entities[0] = entity_record{};
    std::snprintf(g_entities[0].name, sizeof g_entities[0].name, "gate");
    g_entity_count = 1;
    parse("^set_id_mem GATE 7 -3 ^set_id_mem gate 8 5 ^set_id_mem gate -1 5");
    EXPECT_EQ(g_entities[0].memory[7], -3);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(g_entities[0].memory[i], 0);

    parse("^cast_spell_char HERO fire 0 ^cast_spell_char_on ghost fire nobody");
    const std::string log = log_text();
    EXPECT_NE(log.find("Nenasiel som kuzlo"), std::string::npos);
    EXPECT_NE(log.find("Nenasiel som charakter1"), std::string::npos);
    EXPECT_NE(log.find("Nenasiel som charakter2"), std::string::npos);

    parse("^play_slide 3 ^play_outro 2 ^enable_map 5 ^enable_map 100000 ^open");
    EXPECT_EQ(g_slide_request, "3"); EXPECT_EQ(g_outro_request, 2);
    EXPECT_EQ(g_map_locations_open[5], 1u);
    EXPECT_EQ(g_dialogue_running, 1u);

    parse("^name's ^start_element never read");
    EXPECT_EQ(window_->word_count, 2);
    EXPECT_EQ(word(0), "hero_key's");
    EXPECT_EQ(std::string(window_->requested_file), std::string("data/dialogs/") + g_language + "/element/1.txt");
    EXPECT_EQ(window_->element_request, 1u);
}

} // namespace
