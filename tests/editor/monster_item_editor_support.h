// Helpers for the tests of the monster, monster-point and item editors: a fixture that keeps the
// tables they change and small builders of classes and items.
#pragma once

#include "tests/editor/dialog_test_support.h"
#include "tests/editor/dialog_texts.h"

#include "characters/char_models.h"
#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "characters/monster_spawning.h"
#include "core/editor_globals.h"
#include "core/utilities.h"
#include "editor/dialogs/monster_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/windows/command_window.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_effects.h"
#include "tests/support/saved_globals.h"

#include <memory>
#include <string>

class monster_item_editor_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        saved_.keep(g_monster_protos), saved_.keep(g_monster_proto_count), saved_.keep(g_monster_protos_file);
        saved_.keep(g_item_protos), saved_.keep(g_item_lists), saved_.keep(g_item_proto_count);
        saved_.keep(g_monster_points), saved_.keep(g_map_dirty);
        saved_.keep(g_weapon_table_clipboard), saved_.keep(g_treasure_table_clipboard);
        saved_.keep(g_item_editor_window), saved_.keep(g_monster_editor_window);
        saved_.keep(g_monster_point_editor_window), saved_.keep(g_command_window), saved_.keep(g_command_window_open);
        saved_.keep(g_efect_protos), saved_.keep(g_efect_proto_count);
        saved_.keep(g_spell_proto_count), saved_.keep(g_chardata_count);
        for (int s = 0; s < 4; ++s)
            saved_.keep(g_spell_protos[s]);
        for (int r = 0; r < 8; ++r)
            saved_.keep(g_chardata[r]);
        g_item_editor_window = g_monster_editor_window = g_monster_point_editor_window = 0;
        g_command_window = 0;
        g_command_window_open = 0;
        g_monster_proto_count = 0;
        g_item_proto_count = 0;
        g_efect_proto_count = 0;
        g_spell_proto_count = 0;
        g_chardata_count = 0;
        g_monster_protos_file.changed = false;
        g_map_dirty = 0;
        g_weapon_table_clipboard = {};
        g_treasure_table_clipboard = {};
        reset_monster_points(&g_monster_points);
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        saved_.restore();
    }

    static item_proto& make_item(const char* name, uint8_t item_class)
    {
        const int32_t id = g_item_proto_count++;
        item_proto& item = g_item_protos[id];
        item = item_proto{};
        copy_bounded(item.key_name, sizeof item.key_name, name);
        copy_bounded(item.display_name, sizeof item.display_name, name);
        item.item_class = item_class;
        item.attunement_link = -1;
        item.critical_multiplier = 1.0f;
        g_item_lists[id] = item_lists{};
        return item;
    }
    static monster_proto& make_class(const char* name)
    {
        monster_proto& p = g_monster_protos[g_monster_proto_count++];
        p = monster_proto{};
        new_monster_proto(&p);
        copy_bounded(p.name, sizeof p.name, name);
        return p;
    }


    saved_globals saved_;
};
