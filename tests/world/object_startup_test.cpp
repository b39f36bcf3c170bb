// Start-up loads the mouse cursor's prototype, frees the template slots and sets up the brush
// preview; every frame runs the object pass.
#include "shell/shell_fixture.h"

#include "editor/editor_state.h"
#include "engine/textures.h"
#include "items/spells.h"
#include "platform/files.h"
#include "world/object_protos.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>

namespace {

TEST_F(shell_test, StartUpLoadsTheCursorPrototypeAndFreesTheTemplateSlots)
{
    g_object_protos[1500].kind = k_proto_sprite;
    g_object_proto_count = 0;
    std::memset(&g_brush_preview, 0, sizeof g_brush_preview);
    delete_file("data/levels/start.sav");  // a first level would replace the prototypes
    run("zorv", 1);

    EXPECT_EQ(g_object_proto_count, 1u);
    const object_proto& mouse = g_object_protos[0];
    EXPECT_STREQ(mouse.name, "mouse");
    EXPECT_EQ(mouse.kind, k_proto_sprite);
    EXPECT_EQ(mouse.width, 32);
    EXPECT_STREQ(mouse.frame_names[0], "global\\cursor00.tga");
    EXPECT_GE(mouse.frames[0][0], 0);
    // The items' ground models then fill the freed slots from 1000 on, the spells' effect
    // prototypes the slots after them and the weather templates the slots after those.
    EXPECT_EQ(std::strncmp(g_object_protos[1000].name, "gr_", 3), 0);
    int32_t last_effect = -1;
    for (int32_t i = 0; i < g_spell_proto_count; ++i)
        for (int e = 0; e < k_spell_effects; ++e)
            last_effect = std::max<int32_t>(last_effect, *spell_effect_slot(g_spell_protos[i], e));
    EXPECT_GT(last_effect, 1001);
    EXPECT_EQ(int32_t(g_rain.template_slot), last_effect + 1);
    for (int slot : {1500, 2999})
        EXPECT_EQ(g_object_protos[slot].kind, k_proto_free) << slot;

    // The game's first level puts the brush preview on the cursor prototype.
    EXPECT_EQ(g_brush_preview.cursor, 1u);
    EXPECT_EQ(g_brush_preview.proto, 0);
    EXPECT_FLOAT_EQ(g_brush_preview.alpha, 0.8f);
    EXPECT_FLOAT_EQ(g_brush_preview.scale, 1.5f);
    EXPECT_EQ(g_brush_preview.width, 32);
    g_object_proto_count = 0;
}

} // namespace
