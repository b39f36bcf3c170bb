// The 3D model table is not built yet: mesh prototypes get no model, and a mesh object draws
// nothing. Each of these says so once in the debug log.
#include "world/object_models.h"

#include "shell/console_log.h"

namespace {

bool g_load_told = false;
bool g_draw_told = false;

} // namespace

int32_t load_proto_model(const char* path)
{
    if (!g_load_told) {
        console_log("modely nie su: %s", path);
        g_load_told = true;
    }
    return -1;
}

void free_proto_model(int32_t) {}

void draw_mesh_object(const world_object&, const object_proto&, float, float, int32_t)
{
    if (!g_draw_told) {
        console_log("modely nie su: mesh sa nekresli");
        g_draw_told = true;
    }
}
