#include "editor/view/object_markers.h"

#include "core/editor_globals.h"
#include "engine/quads.h"
#include "engine/textures.h"

void draw_object_marker(float x, float y, uint32_t marker)
{
    static const sprite_rect k_marker = {0, 0, 8, 8};
    int32_t texture;
    switch (marker) {
    case k_marker_plain:
        texture = k_texture_select;
        break;
    case k_marker_highlighted:
        texture = k_texture_select2;
        break;
    case k_marker_depth:
        texture = k_texture_select4;
        break;
    default:
        return;
    }
    draw_sprite_world(g_fixed_textures[texture], x, y, 1.0f, 1.0f, 0, &k_marker);
}
