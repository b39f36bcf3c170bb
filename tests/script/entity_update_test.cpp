// The entities' per-frame pass on a small world: the hero, square sectors, entity objects, a
// missile spell, and the input injected frame by frame.
#include "script/entities.h"

#include "characters/char_machines.h"
#include "characters/char_scene.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/ui_texts.h"
#include "items/casting.h"
#include "items/containers.h"
#include "items/spells.h"
#include "platform/files.h"
#include "script/map_texts.h"
#include "script/script_links.h"
#include "support/item_table_guard.h"
#include "world/dream_world.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/sectors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr int32_t k_missile_proto = 1000;
constexpr int32_t k_dart = 5;  // spell id of the traps

class EntityUpdate : public char_scene_test {
protected:
    void SetUp() override
    {
        char_scene_test::SetUp();
        kept_.keep(g_entities), kept_.keep(g_entity_count), kept_.keep(g_entity_object_lists);
        kept_.keep(g_sectors), kept_.keep(g_sector_count), kept_.keep(g_map_texts), kept_.keep(g_map_text_count);
        kept_.keep(g_spell_protos), kept_.keep(g_spell_proto_count), kept_.keep(g_object_protos[k_missile_proto]);
        kept_.keep(g_ticks), kept_.keep(g_entity_busy), kept_.keep(g_mouse_left), kept_.keep(g_mouse_right);
        kept_.keep(g_player_char), kept_.keep(g_script_links), kept_.keep(g_in_combat), kept_.keep(g_dialogue_window);
        kept_.keep(g_text_viewer_open), kept_.keep(g_dream_world), kept_.keep(g_language), kept_.keep(g_movement_map);
        kept_.keep(g_message_shown), kept_.keep(g_message_window);
        g_entity_count = 0;
        g_sector_count = 0;
        for (map_sector& s : g_sectors)
            clear_sector(&s);
        g_map_text_count = 0;
        g_message_shown = 0;
        reset_text_window(&g_message_window);
        g_ticks = 1000;
        g_mouse_left = g_mouse_right = 0;
        g_in_combat = 0;
        g_text_viewer_open = 0;
        g_dream_world.active = 0;
        g_movement_map = movement_map{};
        g_player_char = 0;
        g_script_links = script_links{};
        hero_ = &place(0, k_kind_player, 0, 0);
        hero_->state = k_state_idle;

        object_proto& p = g_object_protos[k_missile_proto];
        reset_object_proto(&p);
        p.kind = k_proto_sprite;
        spell_proto& s = g_spell_protos[k_dart];
        s = spell_proto{};
        reset_spell_proto(s);
        s.companion_slot = k_spell_no_slot;
        s.item_effect = -1;
        s.missile_slot = k_missile_proto;
        s.duration = 30;
        s.missiles_per_direction = 1;
        g_spell_proto_count = k_dart + 1;
    }
    void TearDown() override
    {
        free_movemap(&g_movement_map);
        kept_.restore();
        char_scene_test::TearDown();
    }

    // Sector n as the square from (x0, y0) to (x1, y1).
    static int16_t square(int16_t n, float x0, float y0, float x1, float y1)
    {
        begin_sector(&g_sectors[n], 0, x0, y0);
        add_sector_point(&g_sectors[n], x1, y0);
        add_sector_point(&g_sectors[n], x1, y1);
        add_sector_point(&g_sectors[n], x0, y1);
        add_sector_point(&g_sectors[n], x0, y0);
        g_sector_count = std::max<int16_t>(g_sector_count, int16_t(n + 1));
        return n;
    }

    // An entity with `objects` objects of alpha `alpha` at the sector's corner.
    static entity_record& entity(const char* name, uint8_t type, uint8_t state, int16_t sector, int objects = 1,
                                 float alpha = 1.0f)
    {
        const int32_t i = add_entity(name, type, state);
        EXPECT_GE(i, 0);
        entity_record& e = g_entities[i];
        e.sector = sector;
        for (int k = 0; k < objects; ++k) {
            const int32_t o = add_object(float(10 * k), 0, 0, alpha, 1.0f, 0, 0);
            g_objects[o].state = 1;
            g_objects[o].entity = i;
            add_entity_object(i, o);
        }
        return e;
    }

    static world_object& object(const entity_record& e, int k = 0) { return g_objects[entity_objects(&e)[k]]; }

    static int missiles()
    {
        int n = 0;
        for (uint32_t i = 0; i < g_object_count; ++i)
            n += g_objects[i].state != 0 && g_objects[i].proto == k_missile_proto;
        return n;
    }

    void frames(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            g_ticks += 5;
            update_entities();
        }
    }

    void move_hero(float x, float y)
    {
        world_object& o = g_objects[hero_->object];
        o.x = x;
        o.y = y;
    }

    static void write_text(const char* path, const std::string& text)
    {
        FILE* f = std::fopen(path, "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }

    char_record* hero_ = nullptr;
    saved_globals kept_;
};

// The left button is released at once; the count of waits is kept.
int g_waits = 0;
bool g_wait_result = true;
bool release_left(bool (*held)())
{
    ++g_waits;
    g_mouse_left = 0;
    return !held() && g_wait_result;
}

} // namespace

TEST_F(EntityUpdate, DescriptionsShowOnlyForAVisibleEntityUnderTheCursorAndTheLongOneIsCut)
{
    g_map_texts[0].tag = 1;
    std::snprintf(g_map_texts[0].text, sizeof g_map_texts[0].text, "Socha starca");
    g_map_text_count = 1;
    entity_record& statue = entity("socha", k_entity_normal, 0, square(1, 100, 100, 200, 200));
    statue.description = 1;
    g_mouse_x = g_mouse_y = 150;

    // State 0: neither drawn nor described.
    frames();
    EXPECT_TRUE(entity_objects_hidden(0));
    EXPECT_EQ(g_message_shown, 0u);

    statue.state = 1;
    frames();
    EXPECT_FALSE(entity_objects_hidden(0));
    EXPECT_EQ(g_message_shown, 1u);
    EXPECT_STREQ(g_message_window.words[g_message_window.word_count - 1], "starca");
    EXPECT_EQ(g_entity_busy, 0u);

    // The right button: the long description, at most 1,999 bytes of it, and the busy flag.
    std::string text;
    for (int i = 0; i < 1500; ++i)
        text += "ab ";
    ASSERT_TRUE(make_folder("data") && make_folder("data/text") && make_folder("data/text/eng"));
    write_text("data/text/eng/socha.txt", text + "  \r\n");
    std::snprintf(g_language, sizeof g_language, "eng");
    g_mouse_right = 1;
    frames();
    EXPECT_EQ(g_entity_busy, 1u);
    EXPECT_STREQ(g_message_window.words[0], "^window");
    EXPECT_EQ(g_message_window.word_count, 8 + 667);  // the head's words, then 1,999 bytes of text
    g_mouse_right = 0;
    frames();
    EXPECT_EQ(g_entity_busy, 0u);

    // Not under the cursor, over the interface, during a dialogue, or with no such map text.
    const auto shown_when = [&](auto setup) {
        g_message_shown = 0;
        setup();
        frames();
        const bool shown = g_message_shown != 0;
        g_mouse_x = g_mouse_y = 150;
        g_interface.mouse_over_ui = 0;
        g_dialogue_running = 0;
        statue.description = 1;
        return shown;
    };
    EXPECT_FALSE(shown_when([] { g_mouse_x = 300; }));
    EXPECT_FALSE(shown_when([] { g_interface.mouse_over_ui = 1; }));
    EXPECT_FALSE(shown_when([] { g_dialogue_running = 1; }));
    EXPECT_FALSE(shown_when([&] { statue.description = 2; }));
    EXPECT_TRUE(shown_when([] {}));

    // An outside description is not shown while the hero is inside an interior (one before it in
    // the table).
    statue.state = 0;
    entity("chata", k_entity_interior, 0, square(2, -50, -50, 50, 50));
    entity("tabula", k_entity_outside_desc, 1, 1).description = 1;
    EXPECT_FALSE(shown_when([] {}));
    move_hero(500, 500);
    EXPECT_TRUE(shown_when([] {}));
}

TEST_F(EntityUpdate, AnInteriorFadesInWithItsSortOffsetAndOutAgain)
{
    entity_record& hut = entity("chata", k_entity_interior, 0, square(1, 100, 100, 300, 300), 2, 0.0f);
    hut.value = 40;
    char_record& guest = place(1, k_kind_normal, 150, 150);
    char_record& orc = place(2, k_kind_enemy, 600, 600);
    g_objects[orc.object].alpha = 0.5f;
    move_hero(0, 0);
    frames(3);
    EXPECT_EQ(hut.state, 0);
    EXPECT_EQ(guest.interior, 0);  // standing inside, the hero not
    EXPECT_EQ(hero_->interior, k_no_interior);
    EXPECT_GT(g_objects[orc.object].alpha, 0.5f);  // enemies outside fade in while the hero is out

    move_hero(200, 200);
    frames();
    EXPECT_EQ(hut.state, 1);
    EXPECT_EQ(hut.inside, 1);
    EXPECT_FLOAT_EQ(g_objects[hero_->object].depth_offset, 40.0f);
    EXPECT_FLOAT_EQ(object(hut, 1).depth_offset, 40.0f);
    EXPECT_FLOAT_EQ(g_objects[guest.object].depth_offset, 40.0f);  // takes the hero's sort value
    EXPECT_NEAR(object(hut).alpha, 0.08f, 1e-6);
    frames(20);
    EXPECT_FLOAT_EQ(object(hut).alpha, 1.0f);
    EXPECT_FLOAT_EQ(g_objects[hero_->object].depth_offset, 40.0f);  // added once per entry

    move_hero(0, 0);
    frames();
    EXPECT_EQ(hut.state, 1);
    EXPECT_NEAR(object(hut).alpha, 0.92f, 1e-6);
    frames(30);
    EXPECT_EQ(hut.state, 0);
    EXPECT_EQ(hut.inside, 0);
    EXPECT_FLOAT_EQ(object(hut).alpha, 0.0f);
    EXPECT_FLOAT_EQ(g_objects[hero_->object].depth_offset, 0.0f);
    EXPECT_FLOAT_EQ(object(hut, 1).depth_offset, 0.0f);
    EXPECT_TRUE(entity_objects_hidden(0));
}

TEST_F(EntityUpdate, TrapsFireFromTheMissileSectorOncePerEntryOrByTheirInterval)
{
    entity_record& trap = entity("pasca", k_entity_trap, 1, square(1, 100, 100, 300, 300), 2);
    trap.link = square(2, 400, 100, 500, 200);  // five points, the last closing the polygon
    trap.spell = k_dart + 1;
    trap.value = 3;
    move_hero(0, 0);
    frames(2);
    EXPECT_EQ(missiles(), 0);
    EXPECT_EQ(object(trap).anim_mode, k_entity_anim_open);

    // One shot per entry: a missile from each point of the missile sector, then nothing.
    move_hero(200, 200);
    frames();
    EXPECT_EQ(missiles(), 5);
    EXPECT_EQ(trap.state, k_entity_state_done);
    EXPECT_EQ(object(trap, 1).anim_mode, k_entity_anim_closed);
    frames(50);
    EXPECT_EQ(missiles(), 5);
    move_hero(0, 0);
    frames();
    EXPECT_EQ(trap.state, 1);
    move_hero(200, 200);
    frames();
    EXPECT_EQ(missiles(), 10);

    // With an interval it fires again once the interval has passed.
    trap.interval = 20;
    trap.state = 1;
    trap.due_tick = 0;
    const int before = missiles();
    frames();
    EXPECT_EQ(missiles(), before + 5);
    frames(3);  // 15 ticks
    EXPECT_EQ(missiles(), before + 5);
    frames(2);
    EXPECT_EQ(missiles(), before + 10);

    // A spell or missile sector that does not exist casts nothing; the due tick still moves on.
    for (auto [spell, link] : {std::pair{int16_t(k_dart + 2), trap.link}, std::pair{trap.spell, int16_t(77)},
                               std::pair{trap.spell, int16_t(-5)}}) {
        trap.spell = spell;
        trap.link = link;
        trap.due_tick = 0;
        const int now = missiles();
        frames();
        EXPECT_EQ(missiles(), now);
        trap.spell = k_dart + 1;
        trap.link = 2;
    }
}

TEST_F(EntityUpdate, ALeverLeavesItsLinkedGateOppositeAndAKeyLeverConsumesEveryKey)
{
    g_script_links.wait_until_released = release_left;
    g_waits = 0;
    g_wait_result = true;
    entity_record& gate = entity("brana", k_entity_normal, 1, -1, 2);
    entity_record& lever = entity("paka", k_entity_lever, 1, square(1, 100, 100, 200, 200));
    lever.link = 0;
    move_hero(0, 0);
    frames();
    EXPECT_EQ(gate.state, k_entity_state_done);  // the lever is up: the gate is shut
    EXPECT_EQ(object(gate, 1).anim_mode, k_entity_anim_closed);

    g_mouse_x = g_mouse_y = 150;
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(g_waits, 1);
    EXPECT_EQ(lever.state, k_entity_state_done);
    EXPECT_EQ(gate.state, 1);
    EXPECT_EQ(object(gate).anim_mode, k_entity_anim_open);
    EXPECT_EQ(object(lever).anim_mode, k_entity_anim_open);
    EXPECT_EQ(hero_->state, k_state_turn);
    EXPECT_EQ(hero_->facing, spell_direction(0, 0, 150, 150));

    // Only an idle hero pulls it; pulled again, both turn back.
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(g_waits, 1);
    hero_->state = k_state_idle;
    frames();
    EXPECT_EQ(lever.state, 1);
    EXPECT_EQ(gate.state, k_entity_state_done);

    // A lever linked to itself or to no entity only moves itself.
    lever.link = 1;
    hero_->state = k_state_idle;
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(lever.state, k_entity_state_done);
    EXPECT_EQ(gate.state, k_entity_state_done);

    // A quit during the wait ends the pass: the later entities wait for the next frame.
    item_table_guard items;
    entity_record& door = entity("dvere", k_entity_normal, 1, -1);
    entity_record& key_lever = entity("zamok", k_entity_key_lever, 1, square(3, 100, 100, 200, 200));
    key_lever.link = 2;
    key_lever.key_item = 31;
    hero_->state = k_state_idle;
    g_wait_result = false;
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(door.state, 1);
    g_wait_result = true;

    // The key lever: nothing without the key; with it one click takes every copy.
    lever.sector = -1;
    hero_->state = k_state_idle;
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(key_lever.state, 1);
    EXPECT_EQ(door.state, k_entity_state_done);
    hero_->inv_count = 3;
    for (int i = 0; i < 3; ++i) {
        hero_->inv_item[i] = int16_t(i == 1 ? 12 : 30);
        hero_->inv_location[i] = uint8_t(i);
    }
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(key_lever.state, k_entity_state_done);
    EXPECT_EQ(door.state, 1);
    EXPECT_EQ(hero_->inv_count, 1);
    EXPECT_EQ(hero_->inv_item[0], 12);

    // A key item outside the item table keeps the lever shut.
    key_lever.key_item = k_item_slots + 5;
    hero_->state = k_state_idle;
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(key_lever.state, k_entity_state_done);
}

TEST_F(EntityUpdate, SoundsByTheHourTheCampfireWallsPoolsAndSleepers)
{
    for (uint8_t hour = 0; hour < 24; ++hour) {
        EXPECT_EQ(entity_sound_plays_at(k_entity_loop_sound_day, hour), hour >= 6 && hour <= 19) << int(hour);
        EXPECT_EQ(entity_sound_plays_at(k_entity_loop_sound_night, hour), hour <= 4 || hour >= 21) << int(hour);
        EXPECT_TRUE(entity_sound_plays_at(k_entity_random_sound, hour));
        EXPECT_FALSE(entity_sound_plays_at(k_entity_loop_sound, hour));
    }

    // The campfire refuses while the hero is attacked; a new press opens its dialogue.
    std::snprintf(g_language, sizeof g_language, "eng");
    std::snprintf(g_ui_text[k_campfire_refusal_text], k_ui_text_size, "Nie teraz");
    entity("ohen", k_entity_campfire, 1, square(1, 100, 100, 200, 200));
    g_mouse_x = g_mouse_y = 150;
    g_mouse_left = 1;
    g_in_combat = 1;
    frames();
    EXPECT_EQ(g_dialogue_running, 0u);
    ASSERT_GE(g_message_log.count, 1u);
    g_in_combat = 0;
    frames();
    EXPECT_EQ(g_dialogue_running, 0u);  // the same press
    g_mouse_left = 0;
    frames();
    g_mouse_left = 1;
    frames();
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_dialogue_window.name, "bbb");
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/campfire/1.txt");
    g_mouse_left = 0;
    g_dialogue_running = 0;

    // A wall blocks the cells of its points while its state is 1.
    ASSERT_TRUE(create_movemap(&g_movement_map, 20, 20, 0, 0));
    entity_record& wall = entity("stena", k_entity_movemap_edit, 1, square(2, 64, 64, 128, 64), 0);
    frames();
    EXPECT_EQ(is_cell_free(&g_movement_map, 70, 70), 0);
    EXPECT_EQ(is_cell_free(&g_movement_map, 130, 70), 0);
    wall.state = 0;
    frames();
    EXPECT_EQ(is_cell_free(&g_movement_map, 70, 70), 1);

    // A pool refills one point per due tick while the hero stands in it.
    hero_->mana = 3;
    hero_->mana_max = 5;
    entity("studna", k_entity_mana_pool, 1, square(3, -50, -50, 50, 50), 0);
    frames(30);  // 150 ticks: five due ticks, two of them needed
    EXPECT_EQ(hero_->mana, 5);

    // A sleeper stays dormant until the hero enters; a slot outside the table only moves objects.
    char_record& wolf = place(1, k_kind_enemy, 900, 900);
    entity_record& sleeper = entity("vlk", k_entity_monster_enabler, 1, square(4, 300, 300, 400, 400));
    sleeper.link = 1;
    frames();
    EXPECT_EQ(wolf.life, 3);
    EXPECT_EQ(object(sleeper).anim_mode, k_entity_anim_closed);
    move_hero(350, 350);
    frames();
    EXPECT_EQ(wolf.life, k_life_alive);
    EXPECT_EQ(sleeper.state, k_entity_state_done);
    EXPECT_EQ(object(sleeper).anim_mode, k_entity_anim_open);
    sleeper.state = 1;
    sleeper.link = 200;
    frames();
    EXPECT_EQ(sleeper.state, k_entity_state_done);

    // A dream-only entity sleeps outside the dream world; nothing at all runs in a gui level.
    sleeper.state = 1;
    sleeper.dream_only = 1;
    frames();
    EXPECT_EQ(sleeper.state, 1);
    g_dream_world.active = 1;
    g_scene_header.level_type = k_level_gui;
    frames();
    EXPECT_EQ(sleeper.state, 1);
    g_scene_header.level_type = 0;
    frames();
    EXPECT_EQ(sleeper.state, k_entity_state_done);
}

TEST_F(EntityUpdate, AChestOpensWithItsOwnContainerAndAHexMarkGivesItsPointsOnce)
{
    kept_.keep(g_containers[3]);
    g_containers[3] = container{};
    ASSERT_TRUE(container_init(&g_containers[3], "truhla", 2, 2, 0));
    entity_record& chest = entity("truhla", k_entity_container, 1, square(7, 500, 500, 600, 600));
    chest.container = 4;
    // The chest is in the mouse focus only under the cursor.
    g_mouse_x = g_mouse_y = 400.0f;
    frames();
    EXPECT_EQ(object(chest).anim_mode, k_entity_anim_closed);
    EXPECT_EQ(g_focus_list.count, 0u);
    g_mouse_x = g_mouse_y = 550.0f;
    frames();
    EXPECT_EQ(g_focus_list.count, 1u);
    g_interface.container_open = 1;
    g_interface.container_id = 2;  // another container
    frames();
    EXPECT_EQ(object(chest).anim_mode, k_entity_anim_closed);
    g_interface.container_id = 3;
    frames();
    EXPECT_EQ(object(chest).anim_mode, k_entity_anim_open);
    chest.container = 300;  // no such container: neither focus nor animation
    focus_list_clear(&g_focus_list);
    g_interface.container_open = 0;
    frames();
    EXPECT_EQ(object(chest).anim_mode, k_entity_anim_open);
    EXPECT_EQ(g_focus_list.count, 0u);
    container_free(&g_containers[3]);

    entity_record& mark = entity("znak", k_entity_hex_mark, 1, square(1, -50, -50, 50, 50));
    hero_->skill_points = 1;
    hero_->state = k_state_walk_leg;
    frames();
    EXPECT_EQ(mark.state, 1);  // only an idle hero takes it
    hero_->state = k_state_idle;
    frames();
    EXPECT_EQ(hero_->skill_points, 11);
    EXPECT_EQ(mark.state, k_entity_state_done);
    EXPECT_EQ(hero_->state, k_state_recover);
    EXPECT_EQ(g_objects[hero_->object].anim_mode, k_entity_anim_open);
    EXPECT_GE(g_message_log.count, 1u);
    hero_->state = k_state_idle;
    frames(100);
    EXPECT_EQ(hero_->skill_points, 11);
    EXPECT_EQ(mark.state, 0);  // faded out
    EXPECT_LT(object(mark).alpha, 0.05f);
}
