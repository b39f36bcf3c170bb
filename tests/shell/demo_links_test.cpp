#include "shell/shell_fixture.h"

#include "characters/char_table.h"
#include "characters/placements.h"
#include "items/containers.h"
#include "items/item_looks.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/quests.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What a level of the demo leads to and what it holds, read back from its map file.
struct level_facts {
    std::vector<std::string> creatures;
    int enemies = 0;
    std::vector<std::pair<float, float>> entries;
    struct way {
        std::string event, level;
        int32_t entry;
        int32_t sector;
    };
    std::vector<way> ways;
    // The ways' sectors, kept past the reading of the next level.
    std::vector<map_sector> way_sectors;
};

using demo_links_test = shell_test;

// Reads the level and checks what must hold inside it: every cell of its containers an item of
// the table, every container entity a container of the level.
level_facts read_level(const std::string& name)
{
    SCOPED_TRACE(name);
    level_facts facts;
    const std::string path = level_map_path(name.c_str());
    EXPECT_EQ(check_level_map(path.c_str()), map_check::ok);
    EXPECT_EQ(read_level_map_file(name.c_str(), path.c_str()), map_read::whole);
    for (int i = 0; i < g_char_placements.count; ++i) {
        facts.creatures.push_back(g_char_placements.entries[i].creature_file);
        facts.enemies += g_char_placements.entries[i].kind == k_kind_enemy;
    }
    for (int i = 0; i < g_scene_header.entry_count; ++i)
        facts.entries.emplace_back(g_scene_header.entry_x[i], g_scene_header.entry_y[i]);
    for (int c = 0; c < g_level_container_count; ++c)
        for (uint32_t cell = 0; cell < container_cells(&g_containers[c]); ++cell) {
            const uint16_t item = g_containers[c].items[cell];
            if (item == k_container_cell_empty)
                continue;
            EXPECT_LT(int32_t(item), g_item_proto_count) << g_containers[c].name << " cell " << cell;
            if (int32_t(item) < g_item_proto_count) {
                EXPECT_EQ(g_item_protos[item].deleted, 0u) << g_containers[c].name << " cell " << cell;
            }
        }
    for (uint32_t e = 0; e < g_entity_count; ++e)
        if (g_entities[e].type == k_entity_container) {
            EXPECT_GE(g_entities[e].container, 1) << g_entities[e].name;
            EXPECT_LE(g_entities[e].container, g_level_container_count) << g_entities[e].name;
        }
    for (uint32_t e = 0; e < g_event_count; ++e) {
        const event_record& ev = g_events[e];
        for (uint32_t a = 0; a < ev.action_count; ++a) {
            if (ev.action_kind[a] != k_act_load_map)
                continue;
            int32_t sector = -1;
            for (uint32_t c = 0; c < ev.condition_count; ++c)
                if (ev.condition_kind[c] == k_cond_player_in_sector)
                    sector = ev.condition_number[c][0];
            facts.ways.push_back({ev.name, ev.action_text[a], ev.action_number[a][0], sector});
            EXPECT_GE(sector, 0) << ev.name << ": a way taken by walking into its sector";
            EXPECT_LT(sector, int32_t(g_sector_count)) << ev.name;
            facts.way_sectors.push_back(sector >= 0 && sector < int32_t(g_sector_count) ? g_sectors[sector] : map_sector{});
        }
    }
    return facts;
}

TEST_F(demo_links_test, EveryLinkOfTheDemoWorldLeadsToSomethingThatExists)
{
    load_items();
    load_quests();

    // The levels a way leads to, followed from the gate.
    std::map<std::string, level_facts> levels;
    std::vector<std::string> open{"brana.sav"};
    while (!open.empty()) {
        const std::string name = open.back();
        open.pop_back();
        if (levels.count(name))
            continue;
        levels[name] = read_level(name);
        for (const auto& way : levels[name].ways)
            open.push_back(way.level);
    }
    ASSERT_GE(levels.size(), 2u);
    for (const auto& [name, facts] : levels) {
        for (const std::string& creature : facts.creatures)
            EXPECT_TRUE(is_readable_file((k_creature_folder + creature).c_str())) << name << ": " << creature;
        for (size_t w = 0; w < facts.ways.size(); ++w) {
            const auto& way = facts.ways[w];
            const level_facts& there = levels[way.level];
            ASSERT_LT(size_t(way.entry), there.entries.size()) << name << " " << way.event;
            // The arrival is outside every way back, so a change does not bounce straight back.
            const auto [x, y] = there.entries[size_t(way.entry)];
            for (size_t back = 0; back < there.ways.size(); ++back)
                EXPECT_FALSE(point_in_polygon(x, y, &there.way_sectors[back], 1.0f)) << name << " " << way.event << " lands in "
                                                                    << there.ways[back].event;
        }
    }
    // The gate and the yard are joined both ways; the gate holds a group of enemies.
    const auto leads_to = [&](const char* from, const char* to) {
        for (const auto& way : levels[from].ways)
            if (way.level == to)
                return true;
        return false;
    };
    EXPECT_TRUE(leads_to("brana.sav", "dedina01.sav"));
    EXPECT_TRUE(leads_to("dedina01.sav", "brana.sav"));
    EXPECT_GE(levels["brana.sav"].enemies, 3);

    // The hero's file and the dialogue markup: every file it names is there, every quest it
    // assigns is in the quest table, every level it changes to exists.
    EXPECT_TRUE(is_readable_file("global/characters.dat"));
    EXPECT_TRUE(fs::is_directory("data/dia/eng/villager"));
    const std::regex command(R"(\^(start_dialog|lnend|assign_quest|complete_quest|map) (\S+))");
    int quests_named = 0;
    std::vector<fs::path> markup;
    for (const char* folder : {"data/dia/eng", "data/dialogs/eng", "data/scripts"})
        for (const auto& file : fs::recursive_directory_iterator(folder))
            if (file.is_regular_file())
                markup.push_back(file.path());
    for (const fs::path& file : markup) {
        std::string text = read_text(file);
        std::replace(text.begin(), text.end(), '\0', ' ');  // a dialogue file's text fields end at NUL
        for (auto m = std::sregex_iterator(text.begin(), text.end(), command); m != std::sregex_iterator(); ++m) {
            const std::string what = (*m)[1], name = (*m)[2];
            SCOPED_TRACE(file.string() + ": ^" + what + " " + name);
            if (what == "start_dialog")
                EXPECT_TRUE(is_readable_file(("data/dialogs/eng/" + name + "/0.txt").c_str()));
            else if (what == "lnend")
                EXPECT_TRUE(is_readable_file(("data/dialogs/eng/" + name).c_str()));
            else if (what == "map")
                EXPECT_TRUE(levels.count(name) || is_readable_file(level_map_path(name.c_str()).c_str()));
            else {
                EXPECT_GE(find_quest(name.c_str()), 0);
                ++quests_named;
            }
        }
    }
    EXPECT_GE(quests_named, 2);  // the task assigns it, the reward completes it
    // Every quest has its text for the quest log; every item a player uses (a quick item or a
    // scroll) does something when used.
    for (int q = 0; q < g_quest_count; ++q)
        EXPECT_TRUE(is_readable_file(("data/quests/eng/" + std::string(g_quests[q].name) + ".txt").c_str()))
            << g_quests[q].name;
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        const item_proto& p = g_item_protos[i];
        if (p.deleted || (p.item_class != k_item_quick && p.item_class != k_item_scroll))
            continue;
        int32_t count = 0;
        const item_property* list = item_efects(i, &count);
        const bool acts = std::any_of(list, list + count, [](const item_property& e) {
            return e.code == k_efect_add_life || e.code == k_efect_add_mana || e.code == k_efect_learn_spell ||
                   e.code == k_efect_cast_spell_when_quickused;
        });
        EXPECT_TRUE(acts) << p.key_name;
    }
}

} // namespace
