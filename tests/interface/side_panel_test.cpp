#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/draw_test_support.h"
#include "engine/render_context.h"
#include "tests/platform/device_test_support.h"
#include "engine/textures.h"
#include "interface/container_windows.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/side_panel.h"
#include "tests/interface/recorded_places.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "platform/image_writer.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/text_window.h"
#include "support/item_table_guard.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

enum : int16_t { k_sword = 1, k_ring = 2, k_bag = 3, k_potion = 4, k_gem = 5 };
constexpr int16_t k_first_bag_container = 150;

class side_panel_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_interface), saved_.keep(g_ground_items);
        saved_.keep(g_ground_item_count), saved_.keep(g_key_state), saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y), saved_.keep(g_hud_click_latch), saved_.keep(g_interface_links);
        saved_.keep(g_message_window), saved_.keep(g_message_shown), saved_.keep(g_ambient_color);
        device_ = std::make_unique<recording_device>(1024, 768);
        device_guard_ = std::make_unique<use_device>(device_.get());
        use_fixed_camera(*device_);
        clear_texture_table();
        g_ground_item_count = 0;
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_hud_click_latch = 0;
        g_interface_links = interface_links{};
        std::fill(std::begin(g_interface.panel_tiles), std::end(g_interface.panel_tiles), k_no_texture_slot);
        // The rest of the HUD pass draws without pictures here.
        std::fill(std::begin(g_interface.hud_frame), std::end(g_interface.hud_frame), k_no_texture_slot);
        std::fill(std::begin(g_interface.hud_buttons), std::end(g_interface.hud_buttons), k_no_texture_slot);
        g_interface.hud_divider = g_interface.bars[0] = g_interface.bars[1] = k_no_texture_slot;
        g_interface.slot_box = texture("box");
        g_interface.bars[2] = texture("gold");
        g_interface.side_panel_open = 1;
        g_interface.side_panel_page = 2;
        g_interface.container_open = g_interface.second_container_open = 0;
        clear_held_item(true);
        item("mec", k_item_medium_weapon, k_sword);
        item("prsten", k_item_ring, k_ring);
        item("vak", k_item_container, k_bag);
        item("elixir", k_item_quick, k_potion);
        item("kamen", k_item_gem, k_gem);
        ASSERT_EQ(add_object(0.0f, 0.0f, -1, 1.0f, 1.0f, 0, 0), 0);
        hero_ = &make_char(0, "hero", k_kind_player);
        hero_->object = add_object(500.0f, 500.0f, -2, 1.0f, 1.0f, 0, 0);
        hero_->life = k_life_alive;
        mouse_at(900.0f, 100.0f);
    }
    void TearDown() override
    {
        for (auto& [id, before] : used_containers_) {
            container_free(&g_containers[id]);
            g_containers[id] = before;
        }
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
        item_proto& p = make_item(id, name, name, item_class);
        p.icon_texture = texture(std::string("icon_") + name);
        p.big_image = texture(std::string("big_") + name);
        p.price = 10;
    }
    int32_t give(int16_t item, uint8_t location, uint8_t damage_type = 0, uint32_t word = 0)
    {
        const int32_t e = hero_->inv_count++;
        hero_->inv_item[e] = item;
        hero_->inv_location[e] = location;
        hero_->inv_damage_type[e] = damage_type;
        hero_->inv_value[e] = word;
        return e;
    }
    // Picks an inventory entry up as the clicks do.
    void hold_entry(int32_t entry)
    {
        g_interface.held_origin = hero_->inv_location[entry];
        g_interface.held_item = int16_t(entry);
        g_interface.held_icon = int16_t(g_item_protos[hero_->inv_item[entry]].big_image);
        g_interface.held_flag = hero_->inv_damage_type[entry];
        hero_->inv_location[entry] = k_code_none;
    }
    // Container slot id with an empty grid of w x h; the slot's former record (whose grids
    // belong to someone else) comes back when the test ends.
    container& grid(int16_t id, uint8_t w, uint8_t h)
    {
        if (!used_containers_.count(id)) {
            used_containers_[id] = g_containers[id];
            g_containers[id] = container{};
        }
        container& c = g_containers[id];
        EXPECT_TRUE(container_init(&c, "ch_cont", w, h, 0));
        return c;
    }
    container& open_window(int window, int16_t id, uint8_t w, uint8_t h)
    {
        container& c = grid(id, w, h);
        (window == 0 ? g_interface.container_open : g_interface.second_container_open) = 1;
        (window == 0 ? g_interface.container_id : g_interface.second_container_id) = id;
        return c;
    }
    static void mouse_at(float x, float y)
    {
        g_mouse_screen_x = x;
        g_mouse_screen_y = y;
    }
    // One frame of the panel with the left button down, then up again.
    void frame_with_left_down()
    {
        g_mouse_left = 1;
        update_side_panel();
        g_mouse_left = 0;
    }
    std::vector<screen_point> centres_of(uint16_t slot) const { return ::centres_of(*device_, slot); }
    // The top-left corners of the untextured draws in that colour and alpha.
    std::vector<std::pair<float, float>> corners_in(float r, float g, float b, float a) const
    {
        std::vector<std::pair<float, float>> out;
        for (const recorded_draw& d : device_->draws()) {
            const device_colour& c = device_->material_of(d).diffuse;
            if (d.texture || std::fabs(c.r - r) > 1e-3f || std::fabs(c.g - g) > 1e-3f || std::fabs(c.b - b) > 1e-3f ||
                std::fabs(c.a - a) > 1e-3f)
                continue;
            float mx = 1e9f, my = 1e9f;
            for (uint32_t i = 0; i < d.vertex_count; ++i) {
                float x, y, z;
                device_->screen_position(d, i, x, y, z);
                mx = std::min(mx, x), my = std::min(my, y);
            }
            out.emplace_back(mx, my);
        }
        return out;
    }
    static uint16_t icon(int16_t item) { return g_item_protos[item].icon_texture; }

    char_record* hero_ = nullptr;
    std::unique_ptr<item_table_guard> items_ = std::make_unique<item_table_guard>();
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    saved_globals saved_;
    std::map<int16_t, container> used_containers_;
};

using point = screen_point;
using points = std::vector<point>;

bool contains(const points& list, point p)
{
    return std::any_of(list.begin(), list.end(), [&](point q) { return near(q, p); });
}

} // namespace

TEST_F(side_panel_test, DrawsSlotsIconsTintsOutlinesCellsAndTheHeldItemWhereTheGeometrySays)
{
    give(k_sword, 3, 4);   // backpack row 1, red
    give(k_gem, 9, 7);     // backpack row 2: icon one pixel higher, green
    give(k_sword, 24, 6);  // weapon slot, pale blue
    give(k_gem, 77);       // attunements are not drawn
    const int32_t ring = give(k_ring, 5);
    hold_entry(ring);
    container& chest = open_window(0, 3, 3, 2);
    chest.items[4] = uint16_t(k_gem), chest.flags[4] = 5;  // (1, 1), blue
    chest.items[5] = 900, chest.flags[5] = 4;             // no such item: an empty cell, no tint
    mouse_at(700.0f, 120.0f);

    g_interface.shown = 1;
    g_ambient_color = {0.5f, 0.5f, 0.5f};
    device_->clear_recording();
    update_game_interface();

    // In full light: the ambient light is white before the first draw and restored after the last.
    size_t first_draw = 0, last_draw = 0, first_ambient = SIZE_MAX, last_ambient = 0;
    const std::vector<recorded_call>& calls = device_->calls();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == device_call::draw)
            first_draw = first_draw ? first_draw : i, last_draw = i;
        if (calls[i].kind == device_call::render_state && calls[i].what == uint32_t(render_state::ambient)) {
            if (first_ambient == SIZE_MAX) {
                EXPECT_EQ(calls[i].value, 0xFFFFFFFFu);
            }
            first_ambient = std::min(first_ambient, i), last_ambient = i;
        }
    }
    EXPECT_LT(first_ambient, first_draw);
    EXPECT_GT(last_ambient, last_draw);
    EXPECT_EQ(calls[last_ambient].value, 0xFF7F7F7Fu);

    // 28 slots and 6 cells get their background (the quick bar's boxes along the bottom aside).
    const auto panel_boxes = [this] {
        points boxes = centres_of(g_interface.slot_box);
        boxes.erase(std::remove_if(boxes.begin(), boxes.end(), [](point p) { return p.second > 600.0f; }), boxes.end());
        return boxes;
    };
    EXPECT_EQ(panel_boxes().size(), 34u);
    EXPECT_TRUE(contains(centres_of(g_interface.slot_box), point(22 + 16, 45 + 308 + 16)));
    EXPECT_TRUE(contains(centres_of(g_interface.slot_box), point(22 + 34 + 16, 45 + 342 + 16)));
    EXPECT_TRUE(contains(centres_of(g_interface.slot_box), point(235 + 16, 45 + 105 + 68 + 16)));
    EXPECT_TRUE(places(centres_of(icon(k_sword)), points{{22 + 102 + 16, 45 + 308 + 16}, {45 + 16, 45 + 105 + 68 + 16}}));
    // The windows are drawn before the panel's icons.
    EXPECT_TRUE(places(centres_of(icon(k_gem)), points{{22 + 34 + 16, 45 + 415 + 34 + 16}, {22 + 34 + 16, 45 + 341 + 16}}));
    EXPECT_TRUE(centres_of(icon(k_ring)).empty());  // held: location 255
    EXPECT_TRUE(places(centres_of(g_item_protos[k_ring].big_image), points{{700, 120}}));
    EXPECT_TRUE(places(centres_of(g_interface.bars[2]), points{{266, 45 + 266}}));
    EXPECT_TRUE(places(corners_in(1, 0, 0, 0.2f), points{{22 + 102, 45 + 308}}));
    EXPECT_TRUE(places(corners_in(0, 1, 0, 0.2f), points{{22 + 34, 45 + 341}}));
    EXPECT_TRUE(places(corners_in(0.5f, 0.5f, 1, 0.2f), points{{45, 45 + 105 + 68}}));
    EXPECT_TRUE(places(corners_in(0, 0, 1, 0.2f), points{{22 + 34, 45 + 415 + 34}}));
    // A held ring outlines both ring slots and nothing else.
    points outlined = corners_in(0.9f, 0.9f, 0.9f, 0.7f);
    ASSERT_FALSE(outlined.empty());
    for (const point& p : outlined) {
        bool on_ring_cell = false;
        for (float x : {108.0f, 140.0f, 176.0f, 208.0f})
            for (float y : {45.0f + 250.0f, 45.0f + 282.0f})
                on_ring_cell = on_ring_cell || near(p, point(x, y));
        EXPECT_TRUE(on_ring_cell) << p.first << "," << p.second;
    }

    // Hidden interface: nothing is drawn; closed panel: no slot of it.
    device_->clear_recording();
    g_interface.shown = 0;
    update_game_interface();
    EXPECT_TRUE(device_->draws().empty());
    g_interface.shown = 1;
    g_interface.side_panel_open = 0;
    update_game_interface();
    EXPECT_TRUE(panel_boxes().empty());
}

TEST_F(side_panel_test, HitTestIsStrictTakesCellsWithinTheirLimitsAndTheHeroWinsOverTheRingRow)
{
    container& first = open_window(0, 110, 10, 6);   // 60 cells, 50 reachable
    container& second = open_window(1, 120, 9, 12);  // 108 cells, 100 reachable
    (void)first, (void)second;
    const struct {
        float x, y;
        uint8_t code;
    } cases[] = {
        {23, 45 + 309, 0},         {53, 45 + 339, 0},        {22, 45 + 320, 255},      {30, 45 + 340, 255},
        {30, 45 + 341, 255},       {30, 45 + 342, 8},        {22 + 34 * 7 + 5, 45 + 372, 15},
        {110, 45 + 26, 16},        {108 + 68 + 5, 45 + 56, 18}, {45 + 32, 45 + 105 + 32, 22},
        {46, 45 + 105 + 68 + 32, 24}, {266, 45 + 105 + 40, 26}, {267, 45 + 120, 255},
        {120, 45 + 255, 250},      {120, 45 + 270, 19},      {200, 45 + 282, 21},      {120, 45 + 283, 255},
        {97, 45 + 150, 250},       {210, 45 + 150, 255},
        {23, 45 + 416, 100},       {22 + 34 * 9 + 5, 45 + 415 + 34 * 4 + 5, 149},
        {27, 45 + 415 + 34 * 5 + 5, 255},  // cell 50 of the first window
        {338, 45 + 416, 150},      {337 + 34 * 8 + 5, 45 + 415 + 34 * 10 + 5, 248}, {342, 45 + 415 + 34 * 11 + 5, 249},
        {337 + 34 + 5, 45 + 415 + 34 * 11 + 5, 255},  // cell 100 of the second
    };
    for (const auto& c : cases) {
        mouse_at(c.x, c.y);
        EXPECT_EQ(side_panel_hit_code(), c.code) << c.x << "," << c.y;
    }
}

TEST_F(side_panel_test, DeleteDestroysAHeldInventoryItemButNotAContainerItem)
{
    const int32_t sword = give(k_sword, 2);
    give(k_gem, 4);
    hold_entry(sword);
    g_key_state[k_key_delete] = 0x80;
    update_side_panel();
    EXPECT_EQ(hero_->inv_count, 1);
    EXPECT_EQ(hero_->inv_item[0], k_gem);
    EXPECT_TRUE(holding_nothing());
    // A destroyed bag takes its container and the window showing it along.
    container& contents = open_window(1, k_first_bag_container, 1, 1);
    hold_entry(give(k_bag, 5, 0, uint32_t(k_first_bag_container)));
    update_side_panel();
    EXPECT_EQ(contents.items, nullptr);
    EXPECT_EQ(g_interface.second_container_open, 0u);
    EXPECT_EQ(hero_->inv_count, 1);

    container& chest = open_window(0, 130, 2, 1);
    g_interface.held_item = k_ring;
    g_interface.held_origin = 1;
    g_interface.held_from_container = 1;
    update_side_panel();
    EXPECT_EQ(g_interface.held_item, k_ring);
    EXPECT_TRUE(holding_container_item());
    // Cancelling puts it back into its cell and closes the windows.
    cancel_item_drag();
    EXPECT_EQ(chest.items[1], uint16_t(k_ring));
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(g_interface.container_id, 0);

    // A cell that can no longer take it back: the item falls at the hero instead of vanishing.
    container_free(&chest);
    g_interface.container_open = 1, g_interface.container_id = 130;
    g_interface.held_item = k_ring, g_interface.held_origin = 1, g_interface.held_from_container = 1;
    cancel_item_drag();
    ASSERT_EQ(g_ground_item_count, 1);
    EXPECT_EQ(g_ground_items[0].item, uint16_t(k_ring));
    EXPECT_TRUE(holding_nothing());

    // A press sets the click latch; it stays set while the button is held and clears on release.
    g_mouse_left = 1;
    update_side_panel();
    EXPECT_EQ(g_hud_click_latch, 1u);
    update_side_panel();
    EXPECT_EQ(g_hud_click_latch, 1u);
    g_mouse_left = 0;
    update_side_panel();
    EXPECT_EQ(g_hud_click_latch, 0u);
}

TEST_F(side_panel_test, ABagDroppedOnTheGroundSpillsItsCellsAndClosesItsWindow)
{
    const int32_t bag = give(k_bag, 6, 0, uint32_t(k_first_bag_container));
    container& inside = open_window(0, k_first_bag_container, 2, 2);
    inside.items[1] = uint16_t(k_sword), inside.flags[1] = 5;
    inside.items[2] = uint16_t(k_gem);
    hold_entry(bag);

    mouse_at(700.0f, 200.0f);  // off the panel, above the HUD strip
    g_interface.menu_open = 1;  // a click on the open menu drops nothing
    frame_with_left_down();
    EXPECT_TRUE(holding_inventory_item());
    g_interface.menu_open = 0;
    frame_with_left_down();

    EXPECT_EQ(hero_->inv_count, 0);
    EXPECT_TRUE(holding_nothing());
    ASSERT_EQ(g_ground_item_count, 3);
    EXPECT_EQ(g_ground_items[0].item, uint16_t(k_gem));  // column 0 first
    EXPECT_EQ(g_ground_items[1].item, uint16_t(k_sword));
    EXPECT_EQ(g_ground_items[1].element, 5);
    EXPECT_EQ(g_ground_items[2].item, uint16_t(k_bag));
    EXPECT_EQ(inside.items, nullptr);
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(g_interface.container_id, -1);

    // A bag whose word names no bag container spills nothing and still falls; nothing falls over
    // the panel (its right strip too), the HUD strip or an open window's band (by the window's
    // right edge too), nor over the character panel that the HUD's pass shows before this one,
    // nor without the button.
    const int32_t odd = give(k_bag, 6, 0, 7);
    hold_entry(odd);
    open_window(0, 131, 1, 1);
    for (point p : {point(100, 100), point(700, 768 - 64), point(200, 45 + 500), point(312, 200),
                    point(312, 45 + 450)}) {
        mouse_at(p.first, p.second);
        begin_pointer_areas();  // as each pass of the interface begins
        frame_with_left_down();
    }
    g_interface.character_panel_open = 1;
    begin_pointer_areas();
    mouse_at(400, 200);
    g_mouse_left = 1;
    update_game_interface();
    g_mouse_left = 0;
    g_interface.character_panel_open = 0;
    begin_pointer_areas();
    mouse_at(700, 200);
    update_side_panel();
    EXPECT_EQ(g_ground_item_count, 3);
    frame_with_left_down();
    EXPECT_EQ(g_ground_item_count, 4);
    EXPECT_EQ(hero_->inv_count, 0);

    // With one free ground record left, the first cell falls; the bag keeps the other and stays.
    container& full = grid(k_first_bag_container + 1, 2, 1);
    full.items[0] = uint16_t(k_sword), full.items[1] = uint16_t(k_gem);
    hold_entry(give(k_bag, 6, 0, uint32_t(k_first_bag_container + 1)));
    for (int i = 0; i < 999; ++i)
        g_ground_items[i].state = i == 500 ? 0 : 1;
    g_ground_item_count = 999;
    frame_with_left_down();
    EXPECT_EQ(g_ground_items[500].item, uint16_t(k_sword));
    EXPECT_EQ(full.items[0], k_container_cell_empty);
    EXPECT_EQ(full.items[1], uint16_t(k_gem));
    EXPECT_EQ(hero_->inv_count, 1);
    EXPECT_TRUE(holding_inventory_item());
}

TEST_F(side_panel_test, AQuickBarDropMovesTheIdAndKeepsSpells)
{
    const int32_t sword = give(k_sword, 0);
    hold_entry(sword);
    game_interface& gi = g_interface;
    gi.quick_ids[3] = k_sword, gi.quick_kinds[3] = 1;
    gi.quick_ids[5] = k_sword, gi.quick_kinds[5] = 3;  // a spell of the same number
    const float left = (1024 - 330) / 2;
    mouse_at(left + 33 * 2 + 32, 768 - 44);
    frame_with_left_down();
    EXPECT_EQ(gi.quick_ids[2], k_sword);
    EXPECT_EQ(gi.quick_kinds[2], 1);
    EXPECT_EQ(gi.quick_icons[2], icon(k_sword));
    EXPECT_EQ(gi.quick_ids[3], -1);
    EXPECT_EQ(gi.quick_ids[5], k_sword);
    EXPECT_TRUE(holding_inventory_item());  // the item stays held

    // A quick item gets kind 2; a gem is refused; below the bar nothing happens.
    hero_->inv_item[sword] = k_potion;
    mouse_at(left + 1, 768 - 20);
    frame_with_left_down();
    EXPECT_EQ(gi.quick_kinds[0], 2);
    EXPECT_EQ(gi.quick_ids[0], k_potion);
    hero_->inv_item[sword] = k_gem;
    mouse_at(left + 33 + 1, 768 - 20);
    frame_with_left_down();
    mouse_at(left + 33 * 4 + 1, 768 - 12);
    hero_->inv_item[sword] = k_sword;
    frame_with_left_down();
    EXPECT_EQ(gi.quick_ids[1], -1);
    EXPECT_EQ(gi.quick_ids[4], -1);
}

TEST_F(side_panel_test, CancelNeverLeavesAnInventoryItemUnplaced)
{
    for (uint8_t slot = 0; slot < 16; ++slot)
        give(k_gem, slot);
    const int32_t sword = give(k_sword, 24);
    g_interface.quick_selected = 2;
    hold_entry(sword);
    cancel_item_drag();  // full backpack: back to its free origin slot
    EXPECT_EQ(hero_->inv_location[sword], 24);
    EXPECT_EQ(g_interface.quick_selected, 255);
    EXPECT_TRUE(holding_nothing());

    hold_entry(3);  // a backpack item: its origin is taken by now
    give(k_ring, 3);
    cancel_item_drag();
    EXPECT_EQ(g_ground_item_count, 1);  // dropped at the hero and removed
    EXPECT_EQ(g_ground_items[0].item, uint16_t(k_gem));
    EXPECT_EQ(hero_->inv_count, 17);
    for (int32_t e = 0; e < hero_->inv_count; ++e)
        EXPECT_NE(hero_->inv_location[e], k_code_none);

    // With a free backpack slot the first free one is taken.
    const int32_t moved = last_entry_at(24);
    hold_entry(moved);
    hero_->inv_location[last_entry_at(4)] = 30;
    cancel_item_drag();
    EXPECT_EQ(hero_->inv_location[moved], 4);

    // Nothing held on the inventory page: the windows close, their ids stay.
    open_window(0, 132, 1, 1);
    cancel_item_drag();
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(g_interface.container_id, 132);
}

TEST_F(side_panel_test, ClosingTheFirstWindowReturnsItsItemAndShiftsTheSecond)
{
    g_interface_links.wait_until_released = [](bool (*held)()) {
        g_mouse_left = 0;
        return !held();
    };
    container& chest = open_window(0, 140, 2, 2);
    container& bag = open_window(1, 141, 2, 2);
    (void)bag;
    g_interface.held_item = k_gem;
    g_interface.held_origin = 3;
    g_interface.held_from_second_container = 1;
    mouse_at(300, 45 + 400);  // the first window's close button
    frame_with_left_down();
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 141);
    EXPECT_EQ(g_interface.second_container_open, 0u);
    EXPECT_EQ(g_interface.held_from_container, 1u);
    EXPECT_EQ(g_interface.held_from_second_container, 0u);
    EXPECT_EQ(window_container(0), &g_containers[141]);

    // Closing it now puts the held item back into its cell first.
    frame_with_left_down();
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(g_containers[141].items[3], uint16_t(k_gem));
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(chest.items[3], k_container_cell_empty);

    // The panel's close button cancels the drag and closes the panel; the frame goes on.
    open_window(0, 140, 2, 2);
    const int32_t sword = give(k_sword, 2);
    hold_entry(sword);
    mouse_at(300, 45 + 20);
    g_interface.mouse_over_ui = 0;
    frame_with_left_down();
    EXPECT_EQ(g_interface.side_panel_open, 0u);
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(hero_->inv_location[sword], 0);
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
}

TEST_F(side_panel_test, TheCloseButtonHidesTheTooltipShownBeforeIt)
{
    g_interface_links.wait_until_released = [](bool (*held)()) {
        g_mouse_left = 0;
        return !held();
    };
    give(k_gem, 0);
    mouse_at(22 + 5, 45 + 310);
    update_side_panel();
    ASSERT_GT(g_message_window.word_count, 0);
    mouse_at(300, 45 + 20);
    frame_with_left_down();
    EXPECT_EQ(g_interface.side_panel_open, 0u);
    EXPECT_EQ(g_message_window.word_count, 0);
}

TEST_F(side_panel_test, RightHoldingABagOpensItBesideAnotherContainerOnlyWhileNothingIsHeld)
{
    const int32_t bag = give(k_bag, 0, 0, uint32_t(k_first_bag_container));
    give(k_bag, 1, 0, 7);  // names a level container: opens nothing
    open_window(0, 12, 2, 2);
    container& inside = grid(k_first_bag_container, 2, 2);
    g_mouse_right = 1;
    mouse_at(22 + 34 + 5, 45 + 310);
    update_side_panel();
    EXPECT_EQ(g_interface.second_container_open, 0u);
    mouse_at(22 + 5, 45 + 310);
    hold_entry(give(k_sword, 2));
    update_side_panel();
    EXPECT_EQ(g_interface.second_container_open, 0u);
    cancel_item_drag();  // the sword goes to slot 2; the ids become 0
    g_interface.container_open = 1, g_interface.container_id = 12;
    update_side_panel();
    g_mouse_right = 0;
    EXPECT_EQ(g_interface.second_container_open, 1u);
    EXPECT_EQ(g_interface.second_container_id, k_first_bag_container);
    EXPECT_EQ(g_interface.container_id, 12);
    EXPECT_EQ(window_container(1), &inside);
    // With the first window closed the bag opens there.
    g_interface.container_open = g_interface.second_container_open = 0;
    g_mouse_right = 1;
    update_side_panel();
    g_mouse_right = 0;
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, k_first_bag_container);
    EXPECT_EQ(hero_->inv_location[bag], 0);
}
