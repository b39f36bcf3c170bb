// The items lying at the demo's gate, through the program's own frames: each lies as a world
// object of its own ground model where the level put it; a bandit stepping on the trap sets it
// off; a click on the gold walks the hero over and fills its purse.
#include "shell/shell_fixture.h"

#include "support/temp_folder.h"

#include "tools/demo/demo_data.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/render_context.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/input.h"
#include "shell/program.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

// The index of the first used ground-item record of the item, or -1.
int32_t record_of(uint16_t item)
{
    for (int32_t i = 0; i < g_ground_item_count; ++i)
        if (g_ground_items[i].state != k_ground_item_free && g_ground_items[i].item == item)
            return i;
    return -1;
}

// The cursor over world point (x, y); the left button down or up.
void point_at(float x, float y, bool click)
{
    input_event move{input_event_kind::mouse_move};
    move.x = int32_t((x - g_camera_x) * g_zoom);
    move.y = int32_t((y - g_camera_y) * g_zoom);
    input_inject(move);
    input_event button{input_event_kind::mouse_button};
    button.code = 0;
    button.down = click;
    input_inject(button);
}

// The first character with the key name from slot `from` on, or -1.
int32_t slot_named(const char* name, int32_t from = 0)
{
    for (uint32_t s = uint32_t(from); s < g_char_count; ++s)
        if (std::strcmp(g_chars[s].name, name) == 0)
            return int32_t(s);
    return -1;
}

} // namespace

TEST_F(shell_test, TheGateItemsLieAsTheirModelsAndAreTaken)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());

    // Each record lies as its own world object, at its place, drawn with the item's own model.
    std::map<uint16_t, int> counts;
    for (int32_t i = 0; i < g_ground_item_count; ++i) {
        const ground_item& g = g_ground_items[i];
        if (g.state == k_ground_item_free)
            continue;
        SCOPED_TRACE(i);
        EXPECT_EQ(g.state, k_ground_item_lying);
        const world_object* o = ground_item_object(i);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(int32_t(o->x), g.x);
        EXPECT_EQ(int32_t(o->y), g.y);
        const item_proto* p = item_proto_at(g.item);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(o->proto, int32_t(p->ground_model));
        EXPECT_EQ(std::string(g_object_protos[p->ground_model].name), std::string("gr_") + p->key_name);
        ++counts[g.item];
    }
    const std::map<uint16_t, int> expected = {{k_demo_sword, 1}, {k_demo_gold, 1},    {k_demo_potion, 2},
                                              {k_demo_essence, 1}, {k_demo_trap, 1}};
    EXPECT_EQ(counts, expected);
    // No two share a cell.
    for (int32_t i = 0; i < g_ground_item_count; ++i)
        for (int32_t j = i + 1; j < g_ground_item_count; ++j)
            EXPECT_FALSE(g_ground_items[i].x == g_ground_items[j].x && g_ground_items[i].y == g_ground_items[j].y);
    EXPECT_EQ(item_proto_at(k_demo_trap)->item_class, k_item_trap);

    // A bandit set on the trap sets it off; the trap is gone.
    const int32_t trap = record_of(k_demo_trap);
    ASSERT_GE(trap, 0);
    const int32_t bandit = slot_named("bandit");
    ASSERT_GE(bandit, 0);
    ASSERT_EQ(g_chars[bandit].kind, k_kind_enemy);
    world_object* b = world_object_of(g_chars[bandit]);
    ASSERT_NE(b, nullptr);
    b->x = float(g_ground_items[trap].x + 5);
    b->y = float(g_ground_items[trap].y - 5);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_ground_items[trap].state, k_ground_item_free);
    EXPECT_EQ(ground_item_object(trap), nullptr);

    EXPECT_NE(read_text(k_console_log_file).find("the trap went off under character " + std::to_string(bandit)),
              std::string::npos);
    // The hero goes for the gold alone: the enemies and the squire leave the level.
    for (const char* name : {"bandit", "shaman", "squire"})
        for (int32_t s = slot_named(name); s >= 0; s = slot_named(name, s + 1))
            g_chars[s].life = k_life_gone;

    // A click on the gold marks it; the hero walks over, takes the 120 and the record is freed.
    char_record& hero = g_chars[g_player_char];
    const int32_t gold = record_of(k_demo_gold);
    ASSERT_GE(gold, 0);
    ASSERT_EQ(g_ground_items[gold].amount, 120);
    const int32_t purse = hero.gold;
    bool marked = false;
    int frames = 0;
    for (; frames < 600 && g_ground_items[gold].state != k_ground_item_free; ++frames) {
        point_at(float(g_ground_items[gold].x), float(g_ground_items[gold].y), frames < 4);
        ASSERT_TRUE(program_frame());
        marked = marked || g_ground_items[gold].state == k_ground_item_taken;
    }
    EXPECT_TRUE(marked);
    EXPECT_EQ(g_ground_items[gold].state, k_ground_item_free) << "after " << frames << " frames";
    EXPECT_EQ(hero.gold, purse + 120);
    EXPECT_EQ(ground_item_object(gold), nullptr);
    EXPECT_NE(ground_item_object(record_of(k_demo_sword)), nullptr);  // the others still lie

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
