// Mesh prototypes load their model parts into the object model table; a mesh object draws each
// part with the object's colour, angles, scale and frames, its lights raised to its depth.
#include "world/object_models.h"

#include "core/data_files.h"

#include "engine/lights.h"
#include "engine/model_draw.h"
#include "engine/models.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>

namespace {

model* model_at(int32_t index)
{
    return index >= 0 && index < g_model_count ? &g_models[index] : nullptr;
}

} // namespace

int32_t load_proto_model(const char* path)
{
    if (data_file_path("", path).empty())
        return -1;
    return add_model(path);
}

void free_proto_model(int32_t index)
{
    if (model* m = model_at(index))
        free_model(m);
}

int32_t proto_model_frames(const object_proto& p)
{
    const model* m = p.kind == k_proto_mesh ? model_at(p.frames[0][0]) : nullptr;
    return m ? m->frame_count : 0;
}

void draw_mesh_object(const world_object& o, const object_proto& p, float z, float alpha, int32_t model_frame)
{
    raise_lights_z(z, 1.0f);
    int32_t parts = std::clamp(p.anim_count, 0, k_proto_animations);
    for (int32_t i = 0; i < parts; ++i) {
        model* m = model_at(p.frames[i][0]);
        if (!m)
            continue;
        set_model_colour(m, o.red, o.green, o.blue, alpha);
        draw_model(m, o.x, o.y, z, 1.0f, o.angle_a, o.angle_b, o.angle_c, uint32_t(p.depth_setting), model_frame, 0,
                   0, o.frame, o.scale, o.scale, o.model_variant);
    }
    lower_lights_z(z, 1.0f);
}
