// A fixture for the editors of the item, container and spell tables: the tables and the level's
// entities and events are kept and written back, the level containers freed, and small helpers
// read the dialogs' rows.
#pragma once

#include "tests/editor/dialog_test_support.h"
#include "tests/editor/dialog_texts.h"

#include "core/editor_globals.h"
#include "core/utilities.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "tests/support/saved_globals.h"

#include <algorithm>
#include <iterator>
#include <string>

class table_editor_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        saved_.keep(g_item_protos), saved_.keep(g_item_lists), saved_.keep(g_item_proto_count);
        saved_.keep(g_spell_protos), saved_.keep(g_spell_proto_count);
        saved_.keep(g_entities), saved_.keep(g_entity_count), saved_.keep(g_events), saved_.keep(g_event_count);
        saved_.keep(g_map_dirty);
        free_level_containers();
        std::fill(std::begin(g_item_protos), std::end(g_item_protos), item_proto{});
        std::fill(std::begin(g_item_lists), std::end(g_item_lists), item_lists{});
        std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
        g_item_proto_count = 0;
        g_spell_proto_count = 0;
        g_entity_count = 0;
        g_event_count = 0;
        g_map_dirty = 0;
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        free_level_containers();
        saved_.restore();
    }

    // Item id `id` (the table grows to it) with a display name and class.
    static item_proto& make_item(int32_t id, const char* name, uint8_t item_class)
    {
        g_item_proto_count = std::max(g_item_proto_count, id + 1);
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        copy_bounded(p.display_name, sizeof p.display_name, name);
        p.item_class = item_class;
        return p;
    }
    bool console_says(const std::string& part) const { return last_console_line().find(part) != std::string::npos; }

    saved_globals saved_;
};
