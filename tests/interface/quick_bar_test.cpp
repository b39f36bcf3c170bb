#include "interface/quick_bar.h"

#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "items/spells.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/text_window.h"
#include "support/item_table_guard.h"
#include "tests/interface/recorded_places.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

enum : int16_t { k_sword = 1, k_axe = 2, k_focus = 3, k_potion = 4 };
constexpr int16_t k_fire_ward = 244;  // the first tier's fire attunement
constexpr int32_t k_spell = 5;

class quick_bar_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_interface), saved_.keep(g_key_state), saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y), saved_.keep(g_message_window), saved_.keep(g_message_shown);
        saved_.keep(g_dialogue_running), saved_.keep(g_text_viewer_open), saved_.keep(g_ticks);
        saved_.keep(g_elapsed_ms), saved_.keep(g_spell_proto_count), saved_.keep(g_spell_protos[k_spell]);
        saved_.keep(g_ui_text[33]);
        device_ = std::make_unique<recording_device>(1024, 768);
        device_guard_ = std::make_unique<use_device>(device_.get());
        use_fixed_camera(*device_);
        clear_texture_table();
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_dialogue_running = g_text_viewer_open = 0;
        g_ticks = 100, g_elapsed_ms = 100000;
        g_spell_proto_count = k_spell + 1;
        std::strcpy(g_spell_protos[k_spell].name, "ohnivak");
        clear_held_item(true);
        g_interface.slot_box = texture("box");
        for (int k = 0; k < 4; ++k)
            g_interface.pull_kinds[k] = texture("pull" + std::to_string(k));
        g_interface.attunement_icons[0] = texture("fire0");
        spell_icon_ = texture("spell");
        std::strcpy(g_ui_text[33], "Zbrane");
        item("mec", k_item_medium_weapon, k_sword);
        item("sekera", k_item_heavy_weapon, k_axe);
        item("ohniskovac", k_item_focus, k_focus);
        item("elixir", k_item_quick, k_potion);
        item("Ohnivy stit", k_item_attunement, k_fire_ward);
        for (int i = 0; i < k_quick_slots; ++i)
            g_interface.quick_ids[i] = -1, g_interface.quick_kinds[i] = 0, g_interface.quick_click_latch[i % 10] = 0;
        g_interface.quick_selected = 255;
        ASSERT_EQ(add_object(0.0f, 0.0f, -1, 1.0f, 1.0f, 0, 0), 0);
        hero_ = &make_char(0, "hero", k_kind_player);
        hero_->object = add_object(500.0f, 500.0f, -2, 1.0f, 1.0f, 0, 0);
        hero_->life = k_life_alive;
        mouse_at(10.0f, 10.0f);
    }
    void TearDown() override
    {
        clear_texture_table();
        device_guard_.reset();
        device_.reset();
        saved_.restore();
        items_.reset();
        char_test::TearDown();
    }

    static uint16_t texture(const std::string& name) { return test_texture(name); }
    static void item(const char* name, uint8_t item_class, int16_t id)
    {
        make_item(id, name, name, item_class).icon_texture = texture(std::string("icon_") + std::to_string(id));
    }
    int32_t give(int16_t item, uint8_t location, uint8_t damage_type = 0)
    {
        const int32_t e = hero_->inv_count++;
        hero_->inv_item[e] = item, hero_->inv_location[e] = location, hero_->inv_damage_type[e] = damage_type;
        return e;
    }
    void put(int slot, int16_t id, uint8_t kind) const
    {
        g_interface.quick_ids[slot] = id, g_interface.quick_kinds[slot] = kind;
        g_interface.quick_icons[slot] = kind == 3 ? spell_icon_ : g_item_protos[id].icon_texture;
    }
    static void mouse_at(float x, float y) { g_mouse_screen_x = x, g_mouse_screen_y = y; }
    static void frame() { update_quick_bar(); }
    // One bar frame, or one pull-down step two ticks later, with the button or key down.
    static void frame_with(uint32_t& button, void (*pass)() = update_quick_bar)
    {
        g_ticks += 2;
        button = 1;
        pass();
        button = 0;
    }
    static void frame_with_key(uint8_t key)
    {
        g_key_state[key] = 0x80;
        update_quick_bar();
        g_key_state[key] = 0;
    }
    std::vector<screen_point> centres_of(uint16_t slot) const { return ::centres_of(*device_, slot); }
    // The message window's words, joined by blanks.
    static std::string shown()
    {
        std::string text;
        for (int i = 0; i < g_message_window.word_count; ++i)
            text += (i ? " " : "") + std::string(g_message_window.words[i]);
        return text;
    }

    char_record* hero_ = nullptr;
    uint16_t spell_icon_ = 0;
    std::unique_ptr<item_table_guard> items_ = std::make_unique<item_table_guard>();
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    saved_globals saved_;
};

bool near(std::pair<float, float> a, float x, float y)
{
    return std::fabs(a.first - x) <= 0.5f + 0.005f * std::fabs(x - 512.0f) &&
           std::fabs(a.second - y) <= 0.5f + 0.005f * std::fabs(y - 384.0f);
}

} // namespace

TEST_F(quick_bar_test, SlotsFollowTheInventoryAndTheSpellTableAndBoxesShowElementCooldowns)
{
    const float x0 = quick_bar_left();
    EXPECT_EQ(x0, 347.0f);
    g_screen_width = 800;
    EXPECT_EQ(quick_bar_left(), 330.0f);
    g_screen_width = 1024;

    const int32_t sword = give(k_sword, 3);
    give(k_focus, k_inv_weapon, 4);  // a fire focus
    give(k_fire_ward, k_inv_attunement);
    put(0, k_sword, 1), put(1, k_spell, 3), put(2, 99, 3), put(3, k_potion, 2), put(4, k_axe, 0);
    device_->clear_recording();
    frame();
    // Ten slots and four element boxes; the fire ward shows its icon in the first box.
    const auto boxes = centres_of(g_interface.slot_box);
    ASSERT_EQ(boxes.size(), 13u);
    EXPECT_TRUE(near(boxes[9], x0 + 16 + 33 * 9, 768 - 28));
    EXPECT_TRUE(near(boxes[10], x0 + 416 + 33, 768 - 28));
    ASSERT_EQ(centres_of(g_interface.attunement_icons[0]).size(), 1u);
    EXPECT_TRUE(near(centres_of(g_interface.attunement_icons[0])[0], x0 + 416, 768 - 28));
    ASSERT_EQ(centres_of(g_item_protos[k_sword].icon_texture).size(), 1u);
    EXPECT_TRUE(near(centres_of(g_item_protos[k_sword].icon_texture)[0], x0 + 15, 768 - 28));
    // Emptied: the spell outside the table, the potion nobody carries and the empty kind.
    const int16_t kept[5] = {k_sword, k_spell, -1, -1, -1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g_interface.quick_ids[i], kept[i]) << i;

    // The sword is sold: drawn once more, then the slot is empty.
    hero_->inv_item[sword] = k_potion;
    device_->clear_recording();
    frame();
    EXPECT_EQ(centres_of(g_item_protos[k_sword].icon_texture).size(), 1u);
    device_->clear_recording();
    frame();
    EXPECT_TRUE(centres_of(g_item_protos[k_sword].icon_texture).empty());

    // The box's tooltip counts whole seconds up to 1,000 ms after the deadline.
    mouse_at(x0 + 400 + 32, 768 - 44);  // the right and top edges belong to the box
    const std::pair<int32_t, const char*> cases[] = {
        {6500, "Ohnivy stit (7 s) ^l"}, {-400, "Ohnivy stit (1 s) ^l"}, {-999, "Ohnivy stit (1 s) ^l"},
        {-1000, "Ohnivy stit ^l"},
    };
    for (const auto& [remaining, text] : cases) {
        hero_->focus_cooldown[0] = uint32_t(int64_t(g_elapsed_ms) + remaining);
        frame();
        EXPECT_NE(shown().find(text), std::string::npos) << remaining << ": " << shown();
    }
    // A damage type above 7 is no element: no box is drawn or reacts.
    for (uint8_t type : {uint8_t(3), uint8_t(8), uint8_t(200)}) {
        hero_->inv_damage_type[1] = type;
        g_interface.mouse_over_ui = 0;
        device_->clear_recording();
        frame();
        EXPECT_EQ(centres_of(g_interface.slot_box).size(), 10u) << int(type);
        EXPECT_EQ(g_interface.mouse_over_ui, 0u) << int(type);
    }
}

TEST_F(quick_bar_test, KeysAndClicksActOncePerPressSwapWeaponsAndYieldToAHeldItem)
{
    const int32_t sword = give(k_sword, 3);
    const int32_t axe = give(k_axe, k_inv_weapon);
    give(k_potion, 5);
    put(0, k_sword, 1), put(1, k_axe, 1), put(2, k_potion, 2), put(3, k_spell, 3);

    // Key 1 swaps the sword in and the axe out; holding the key acts no more.
    g_key_state[k_key_1] = 0x80;
    frame();
    EXPECT_EQ(hero_->inv_location[sword], k_inv_weapon);
    EXPECT_EQ(hero_->inv_location[axe], 3);
    EXPECT_EQ(g_interface.quick_selected, 0);
    g_interface.quick_selected = 255;
    frame();
    EXPECT_EQ(g_interface.quick_selected, 255);
    g_key_state[k_key_1] = 0;
    frame();
    // The equipped sword only selects.
    frame_with_key(k_key_1);
    EXPECT_EQ(hero_->inv_location[sword], k_inv_weapon);
    EXPECT_EQ(g_interface.quick_selected, 0);

    // A held item blocks weapon and quick-item slots, not spells.
    g_interface.held_item = int16_t(give(k_focus, k_code_none)), g_interface.held_origin = 6;
    const std::string before = log_text();
    frame_with_key(k_key_2), frame_with_key(k_key_3);
    EXPECT_EQ(hero_->inv_location[axe], 3);
    EXPECT_EQ(g_interface.quick_selected, 0);
    EXPECT_EQ(log_text(), before);
    frame_with_key(k_key_4);
    frame();
    EXPECT_EQ(g_interface.quick_selected, 3);
    EXPECT_EQ(hero_->selected_spell, uint32_t(k_spell));
    EXPECT_EQ(hero_->spell_mode, 1u);
    clear_held_item(true);

    // A held click on the potion's slot uses it once; a busy player's click does nothing.
    mouse_at(quick_bar_left() + 66, 768 - 44);
    g_mouse_left = 1;
    frame(), frame();
    hero_->state = 3;
    g_mouse_left = 0;
    frame();
    frame_with(g_mouse_left);
    const std::string log = log_text().substr(before.size());
    EXPECT_EQ(log.find("item type 4"), log.rfind("item type 4")) << log;
    EXPECT_NE(log.find("item type 4"), std::string::npos);
    // A selected weapon slot ends spell mode.
    frame_with_key(k_key_2);
    frame();
    EXPECT_EQ(hero_->spell_mode, 0u);
    // A selected spell slot whose id lies outside the spell table casts nothing.
    put(5, 99, 3);
    g_interface.quick_selected = 5;
    frame();
    EXPECT_EQ(hero_->spell_mode, 0u);
    EXPECT_EQ(hero_->selected_spell, uint32_t(k_spell));
}

TEST_F(quick_bar_test, PullDownFadesInAssignsMovesAndRemoves)
{
    const float x0 = quick_bar_left(), x = x0 + 66, y = 768 - 175;
    give(k_sword, 3), give(k_focus, k_inv_weapon), give(k_axe, 4), give(k_potion, 5);
    put(0, k_sword, 1), put(6, k_potion, 2);
    mouse_at(x0 + 66 + 32, 768 - 13);  // slot 2, its right edge
    frame_with(g_mouse_right);
    EXPECT_EQ(g_interface.quick_menu_slot, 2);
    int steps = 0;
    for (; g_interface.quick_menu_alpha < 1.0f && steps < 40; ++steps)
        g_ticks += 2, run_quick_slot_menu();
    EXPECT_EQ(steps, 17);

    // Hovering the weapons option lists the sword and, one above, the axe beside the column.
    mouse_at(x + 1, y + 1);
    g_ticks += 2, run_quick_slot_menu();
    EXPECT_EQ(g_interface.quick_list_kind, 0);
    EXPECT_NE(shown().find("0.6 Zbrane"), std::string::npos) << shown();
    device_->clear_recording();
    g_ticks += 2, run_quick_slot_menu();
    ASSERT_EQ(centres_of(g_item_protos[k_axe].icon_texture).size(), 1u);
    EXPECT_TRUE(near(centres_of(g_item_protos[k_axe].icon_texture)[0], x + 34 + 16, y - 33 + 16));
    EXPECT_TRUE(centres_of(g_item_protos[k_focus].icon_texture).empty());

    // Choosing the sword moves it from slot 0; the press starts both fade-outs.
    g_interface.quick_selected = 2;
    mouse_at(x + 34 + 32, y + 31);
    frame_with(g_mouse_left, run_quick_slot_menu);
    EXPECT_EQ(g_interface.quick_ids[2], k_sword);
    EXPECT_EQ(g_interface.quick_kinds[2], 1);
    EXPECT_EQ(g_interface.quick_ids[0], -1);
    EXPECT_EQ(g_interface.quick_selected, 255);
    EXPECT_EQ(g_interface.quick_menu_open + g_interface.quick_list_open, 0u);
    mouse_at(10, 10);
    for (steps = 0; g_interface.quick_menu_slot != -1 && steps < 40; ++steps)
        g_ticks += 2, run_quick_slot_menu();
    EXPECT_EQ(steps, 17);
    EXPECT_EQ(g_interface.quick_list_kind, -1);

    // On slot 6, remove empties the selected slot and the selection; kind and icon stay.
    mouse_at(x0 + 33 * 6 + 5, 768 - 20);
    frame_with(g_mouse_right);
    g_interface.quick_selected = 6;
    mouse_at(x0 + 33 * 6 + 5, y + 96 + 5);
    frame_with(g_mouse_left, run_quick_slot_menu);
    EXPECT_EQ(g_interface.quick_ids[6], -1);
    EXPECT_EQ(g_interface.quick_kinds[6], 2);
    EXPECT_EQ(g_interface.quick_icons[6], g_item_protos[k_potion].icon_texture);
    EXPECT_EQ(g_interface.quick_selected, 255);

    // The text viewer stops the whole pass; a slot outside the bar has no pull-down.
    g_text_viewer_open = 1;
    device_->clear_recording();
    g_ticks += 2, run_quick_slot_menu();
    g_text_viewer_open = 0;
    g_interface.quick_menu_slot = 12, g_interface.quick_menu_open = 1, g_interface.quick_list_kind = 0;
    mouse_at(x0 + 33 * 12 + 5, y + 5);
    frame_with(g_mouse_left, run_quick_slot_menu);
    EXPECT_TRUE(device_->draws().empty());
    EXPECT_EQ(g_interface.quick_ids[12], -1);
}
