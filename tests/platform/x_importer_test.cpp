#include "platform/x_importer.h"
#include "support/temp_folder.h"
#include "support/x_file_text.h"

#include <gtest/gtest.h>

namespace {

float cross_z(const device_vertex& a, const device_vertex& b, const device_vertex& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

} // namespace

TEST(x_importer, MeshesAreRecombinedInMaterialOrderWithTheFilesOwnValues)
{
    temp_folder folder;
    write_text("Frames/Ogre.x", x_file_text(x_pyramid()));
    x_mesh mesh;
    std::string error;
    ASSERT_TRUE(import_x_file("frames\\ogre.X", mesh, error)) << error;

    // Material 0 holds the two side triangles (faces 1 and 2 of the file), material 1 the base
    // quad (face 0) as two triangles; the frame's translation is not applied.
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].texture_name, "side.tga");
    EXPECT_EQ(mesh.materials[1].texture_name, "base.tga");
    EXPECT_EQ(mesh.materials[0].index_count, 6u);
    EXPECT_EQ(mesh.materials[1].index_count, 6u);
    ASSERT_EQ(mesh.indices.size(), 12u);
    EXPECT_FLOAT_EQ(mesh.materials[0].colour.diffuse.g, 0.6f);
    EXPECT_FLOAT_EQ(mesh.materials[0].colour.ambient.r, 0.8f);
    EXPECT_FLOAT_EQ(mesh.materials[0].colour.specular.b, 0.3f);
    EXPECT_FLOAT_EQ(mesh.materials[0].colour.power, 12.0f);

    const x_text_mesh source = x_pyramid();
    const int side_corners[6] = {0, 1, 4, 1, 2, 4};
    for (int i = 0; i < 6; ++i) {
        const device_vertex& v = mesh.vertices[mesh.indices[i]];
        const auto& p = source.positions[side_corners[i]];
        EXPECT_EQ(v.x, p[0]) << i;
        EXPECT_EQ(v.y, p[1]) << i;
        EXPECT_EQ(v.z, p[2]) << i; // not mirrored
        EXPECT_EQ(v.u, source.uvs[side_corners[i]][0]) << i;
        EXPECT_EQ(v.v, source.uvs[side_corners[i]][1]) << i; // not flipped
        EXPECT_EQ(v.nz, 1.0f) << i;
    }
    // The base keeps the file's winding (counter-clockwise seen from +z) and its four corners.
    for (int t = 2; t < 4; ++t) {
        const uint16_t* tri = &mesh.indices[3 * t];
        EXPECT_GT(cross_z(mesh.vertices[tri[0]], mesh.vertices[tri[1]], mesh.vertices[tri[2]]), 0.0f);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(mesh.vertices[tri[c]].z, 0.0f);
    }
}

TEST(x_importer, TwoPosesOfOneMeshGiveTheirVerticesInTheSameOrder)
{
    temp_folder folder;
    write_text("01.x", x_file_text(x_pyramid()));
    write_text("02.x", x_file_text(x_pyramid(3.0f, -2.0f, 0.5f)));
    x_mesh a, b;
    std::string error;
    ASSERT_TRUE(import_x_file("01.x", a, error)) << error;
    ASSERT_TRUE(import_x_file("02.x", b, error)) << error;
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    EXPECT_EQ(a.indices, b.indices);
    for (size_t i = 0; i < a.vertices.size(); ++i) {
        EXPECT_FLOAT_EQ(b.vertices[i].x, a.vertices[i].x + 3.0f) << i;
        EXPECT_FLOAT_EQ(b.vertices[i].y, a.vertices[i].y - 2.0f) << i;
        EXPECT_FLOAT_EQ(b.vertices[i].z, a.vertices[i].z + 0.5f) << i;
    }
}

TEST(x_importer, MissingForeignAndEmptyFilesAreRefusedWithAReason)
{
    temp_folder folder;
    x_mesh mesh;
    std::string error;
    EXPECT_FALSE(import_x_file("none.x", mesh, error));
    EXPECT_NE(error.find("none.x"), std::string::npos);

    // An OBJ file named ".x" is not read by another reader.
    write_text("cube.x", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_FALSE(import_x_file("cube.x", mesh, error));

    write_text("cut.x", x_file_text(x_pyramid()).substr(0, 200));
    EXPECT_FALSE(import_x_file("cut.x", mesh, error));
    EXPECT_TRUE(mesh.vertices.empty());

    x_text_mesh flat = x_pyramid();
    flat.faces = {{0, 1}};
    flat.face_materials = {0};
    write_text("lines.x", x_file_text(flat));
    EXPECT_FALSE(import_x_file("lines.x", mesh, error));
}

TEST(x_importer, AFileThatBreaksTheParserIsRefusedAndTheNextOneReads)
{
    // Normal indices far past the normals: the parser reads outside its arrays.
    const std::vector<uint8_t> bad = read_bytes(std::string(ZORV_SOURCE_DIR) + "/tests/fuzz/corpus/x_import/bad_normal_index.x");
    temp_folder folder;
    write_bytes("bad.x", bad);
    write_text("good.x", x_file_text(x_pyramid()));
    x_mesh mesh;
    std::string error;
    // The reader's crash says nothing (no report of a crash handler or sanitizer reaches the
    // error output): the refusal is the whole outcome.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(import_x_file("bad.x", mesh, error));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(error.find("the reader failed on it"), std::string::npos) << error;
    EXPECT_TRUE(mesh.vertices.empty());
    ASSERT_TRUE(import_x_file("good.x", mesh, error)) << error;
    EXPECT_EQ(mesh.indices.size(), 12u);
}
