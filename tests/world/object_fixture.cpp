#include "world/object_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "editor/editor_state.h"
#include "platform/random.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>

void object_test::SetUp()
{
    texture_test::SetUp();
    kept_.keep(g_object_alpha, g_work_mode, g_editor_enabled, g_editor, g_active_layer, g_current_tab, g_settings, g_ticks);
    std::memset(g_object_protos, 0, sizeof g_object_protos);
    g_object_proto_count = 0;
    g_protos_all_loaded = 0;
    g_proto_loading = -1;
    free_objects();
    g_object_links = {};
    g_scene_hero = {};
    g_object_alpha = 1.0f;
    g_work_mode = k_work_play;
    g_editor_enabled = 0;
    g_editor.pick_count = 0;
    g_editor.brush_proto = -1;
    g_active_layer = 0;
    g_current_tab = 0;
    g_settings.gr_displayshadows = 0;
    g_ticks = 100;
    game_srand(1);
}

void object_test::TearDown()
{
    free_objects();
    for (int32_t s = 0; s < k_proto_slots; ++s)
        unload_object_proto(s, false);
    g_object_proto_count = 0;
    g_object_links = {};  // the fakes a test linked die with it
    g_scene_hero = {};
    kept_.restore();
    texture_test::TearDown();
}

int32_t object_test::add_test_proto(const char* stem, int32_t frames, int32_t kind)
{
    int32_t slot = add_empty_object_proto();
    object_proto& p = g_object_protos[slot];
    p.kind = kind;
    copy_bounded(p.name, sizeof p.name, stem);
    p.width = p.height = 32;
    p.anim_mode = 1;
    p.frame_delay = 1;
    p.frame_counts[0] = frames;
    for (int32_t f = 0; f < frames; ++f) {
        std::snprintf(p.frame_names[f], sizeof p.frame_names[f], "%s%02d.tga", stem, int(f));
        write_test_image(p.frame_names[f], 16, 16, uint32_t(slot * 32 + f));
    }
    return slot;
}

void object_test::run_frame()
{
    ++g_ticks;
    follow_owner_objects();
    draw_objects();
}
