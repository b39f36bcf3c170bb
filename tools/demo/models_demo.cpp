#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "engine/models.h"
#include "platform/files.h"
#include "platform/image_writer.h"

#include <string>
#include <vector>

namespace {

// Planks: bands of wood with darker seams; `top` draws a cross of boards instead.
void write_wood(const char* name, uint32_t r, uint32_t g, uint32_t b, bool top)
{
    constexpr uint32_t side = 64;
    std::vector<uint32_t> texels(side * side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            const bool seam = top ? (x < 6 || x > 57 || y < 6 || y > 57 || (x > 28 && x < 35)) : y % 16 == 0;
            const uint32_t grain = (x * 7 + y * 13 + (x * y) % 11) % 24;
            const uint32_t k = seam ? 2 : 4;
            texels[y * side + x] = 0xFF000000u | ((r + grain) * k / 4) << 16 | ((g + grain) * k / 4) << 8 | (b + grain) * k / 4;
        }
    require(write_image_file(name, texels.data(), side, side), name);
}

// One face of the box: four corners, its outward normal, and the material it belongs to.
struct face {
    float corners[4][3];
    float normal[3];
    int material;
};

// A crate of 1.2 × 1.2 × 1 units standing on z = 0, material 0 its sides and material 1 its top
// and bottom; frame f lifts the top by 0.08 f.
void build_crate(model& m)
{
    const float w = 0.6f, h = 1.0f;
    const face faces[] = {
        {{{-w, -w, h}, {w, -w, h}, {w, w, h}, {-w, w, h}}, {0, 0, 1}, 1},
        {{{-w, -w, 0}, {-w, w, 0}, {w, w, 0}, {w, -w, 0}}, {0, 0, -1}, 1},
        {{{-w, -w, 0}, {w, -w, 0}, {w, -w, h}, {-w, -w, h}}, {0, -1, 0}, 0},
        {{{w, w, 0}, {-w, w, 0}, {-w, w, h}, {w, w, h}}, {0, 1, 0}, 0},
        {{{w, -w, 0}, {w, w, 0}, {w, w, h}, {w, -w, h}}, {1, 0, 0}, 0},
        {{{-w, w, 0}, {-w, -w, 0}, {-w, -w, h}, {-w, w, h}}, {-1, 0, 0}, 0},
    };
    const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    m.mesh = std::make_unique<model_mesh>();
    copy_bounded(m.mesh->name, sizeof m.mesh->name, "crate");
    m.mesh->material_count = 2;
    copy_bounded(m.mesh->materials[0].texture_name, k_model_name_size, "3d\\demo\\crate.sk");
    copy_bounded(m.mesh->materials[1].texture_name, k_model_name_size, "3d\\demo\\crate_top.tga");
    for (int material = 0; material < 2; ++material) {
        for (const face& f : faces) {
            if (f.material != material)
                continue;
            const uint16_t base = uint16_t(m.mesh->vertices.size());
            for (int c = 0; c < 4; ++c) {
                // The file holds the normals reversed: reading negates them to point outwards.
                m.mesh->vertices.push_back({f.corners[c][0], f.corners[c][1], f.corners[c][2], -f.normal[0],
                                            -f.normal[1], -f.normal[2], uv[c][0], uv[c][1]});
            }
            // Drawing mirrors z, so a face seen from outside winds clockwise on the screen when
            // its corners turn clockwise about the outward normal in model space.
            for (uint16_t i : {0, 3, 2, 0, 2, 1})
                m.mesh->indices.push_back(uint16_t(base + i));
            m.mesh->materials[material].index_count += 6;
        }
    }
    m.frame_count = 4;
    for (int f = 0; f < m.frame_count; ++f)
        for (const device_vertex& v : m.mesh->vertices) {
            const float lift = v.z > 0.5f ? 0.08f * float(f) : 0.0f;
            m.frames[f].insert(m.frames[f].end(), {v.x, v.y, v.z + lift});
        }
}

} // namespace

void write_model_demo_data()
{
    require(make_folder("3d/demo"), "3d/demo");
    write_wood("3d/demo/crate_side.tga", 150, 100, 50, false);
    write_wood("3d/demo/crate_top.tga", 170, 120, 60, true);
    write_wood("3d/demo/crate_side2.tga", 90, 90, 100, false);
    write_wood("3d/demo/crate_top2.tga", 110, 110, 120, true);
    // The variant count 1 comes first: a first name beginning with digits would be taken for it.
    const std::string skins = "2 1\r\n3d\\demo\\crate_side.tga 3d\\demo\\crate_top.tga\r\n"
                              "3d\\demo\\crate_side2.tga 3d\\demo\\crate_top2.tga\r\n";
    require(write_whole_file("3d/demo/crate.sk", skins.data(), skins.size()), "3d/demo/crate.sk");
    model crate;
    build_crate(crate);
    require(save_model(&crate, "3d/demo/crate.3d"), "3d/demo/crate.3d");
}
