// The level content editors' tests: the dialog fixture with the level's entities, effects,
// effect prototypes, events, map texts, world objects and the item, spell and container tables
// kept as they were around each test, and a small world object array of the test's own.
#pragma once

#include "tests/editor/dialog_test_support.h"
#include "tests/editor/dialog_texts.h"

#include "core/editor_globals.h"
#include "editor/windows/command_window.h"
#include "items/containers.h"
#include "items/spells.h"
#include "level/level_effects.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "tests/support/item_table_guard.h"
#include "tests/support/saved_globals.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <memory>
#include <string>
#include <vector>

class content_editor_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        items_ = std::make_unique<item_table_guard>();
        saved_.keep(g_entities), saved_.keep(g_entity_count), saved_.keep(g_entity_object_lists);
        saved_.keep(g_level_effects), saved_.keep(g_level_effect_count);
        saved_.keep(g_efect_protos), saved_.keep(g_efect_proto_count), saved_.keep(g_efect_protos_file);
        saved_.keep(g_events), saved_.keep(g_event_count), saved_.keep(g_map_texts), saved_.keep(g_map_text_count);
        saved_.keep(g_map_dirty), saved_.keep(g_event_editor_window), saved_.keep(g_text_editor_window);
        saved_.keep(g_objects), saved_.keep(g_object_count), saved_.keep(g_object_capacity);
        saved_.keep(g_spell_proto_count), saved_.keep(g_level_container_count);
        protos_ = std::make_unique<object_proto[]>(4);
        std::copy(g_object_protos, g_object_protos + 4, protos_.get());
        g_entity_count = g_level_effect_count = g_event_count = g_map_text_count = 0;
        g_efect_proto_count = 0;
        g_item_proto_count = g_spell_proto_count = 0;
        g_level_container_count = 0;
        g_map_dirty = 0;
        g_event_editor_window = g_text_editor_window = 0;
        objects_.assign(8, world_object{});
        g_objects = objects_.data();
        g_object_count = g_object_capacity = uint32_t(objects_.size());
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        std::copy(protos_.get(), protos_.get() + 4, g_object_protos);
        saved_.restore();
        items_.reset();
    }

    // An active level effect of the kind on the target.
    static level_effect effect(uint32_t kind, int32_t target, uint32_t period = 0)
    {
        level_effect e{};
        e.active = 1;
        e.kind = kind;
        e.target = target;
        e.period = period;
        return e;
    }

    saved_globals saved_;
    std::unique_ptr<item_table_guard> items_;
    std::unique_ptr<object_proto[]> protos_;
    std::vector<world_object> objects_;
};
