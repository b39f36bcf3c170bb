#include "engine/models.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "tests/engine/model_table_fixture.h"
#include "tests/engine/model_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class models : public model_table_test {
protected:
    static void expect_empty_mesh(const model& m)
    {
        ASSERT_NE(m.mesh, nullptr);
        EXPECT_STREQ(m.mesh->name, "D3DFile_Root");
        EXPECT_EQ(m.mesh->material_count, 0u);
        EXPECT_TRUE(m.mesh->vertices.empty());
        EXPECT_TRUE(m.mesh->indices.empty());
        EXPECT_EQ(m.frame_count, 0);
    }

    int32_t slot_of(const char* name)
    {
        for (int32_t i = 0; i < g_texture_count; ++i)
            if (std::strcmp(g_textures[i].name, name) == 0)
                return i;
        return -2;
    }
};

} // namespace

TEST_F(models, SavedModelsReadBackWithNegatedNormalsEachTime)
{
    model source;
    make_grid_model(source, 3, 2, 2, 3);
    make_folder("objects");
    ASSERT_TRUE(save_model(&source, "objects\\crate.3d"));
    const std::vector<uint8_t> bytes = read_bytes("objects/crate.3d");
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "AGP!");

    model& m = g_models[0];
    load_model(&m, "OBJECTS/Crate.3d");
    ASSERT_NE(m.mesh, nullptr);
    const model_mesh& mesh = *m.mesh;
    EXPECT_STREQ(mesh.name, "D3DFile_Root");
    ASSERT_EQ(mesh.material_count, 2u);
    EXPECT_EQ(mesh.materials[0].index_count, source.mesh->materials[0].index_count);
    EXPECT_EQ(mesh.materials[1].index_count, source.mesh->materials[1].index_count);
    EXPECT_STREQ(mesh.materials[1].texture_name, "tex1");
    EXPECT_STREQ(mesh.materials[0].texture_name, "OBJECTS/Crate.sk"); // the skin path is kept there
    EXPECT_EQ(mesh.materials[0].colour.diffuse.r, 0.5f);
    EXPECT_EQ(mesh.materials[1].colour.ambient.b, 0.5f);
    EXPECT_EQ(mesh.materials[1].colour.power, 0.0f);
    EXPECT_EQ(mesh.indices, source.mesh->indices);
    EXPECT_EQ(m.material_textures[0], -1);
    EXPECT_EQ(m.material_textures[1], -1);
    ASSERT_EQ(m.frame_count, 3);
    for (int f = 0; f < 3; ++f)
        EXPECT_EQ(m.frames[f], source.frames[f]) << f;
    ASSERT_EQ(mesh.vertices.size(), source.mesh->vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const device_vertex &a = mesh.vertices[i], &b = source.mesh->vertices[i];
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.z, b.z);
        EXPECT_EQ(a.nz, -b.nz) << i;
        EXPECT_EQ(a.u, b.u);
        EXPECT_EQ(a.v, b.v);
    }

    // Saving writes the normals as they are in memory; reading negates them again.
    ASSERT_TRUE(save_model(&m, "again.3d"));
    model back;
    ASSERT_TRUE(read_model(&back, "again.3d"));
    EXPECT_EQ(back.mesh->vertices[4].nz, source.mesh->vertices[4].nz);
}

TEST_F(models, LoadingScalesFramesByTheScreenWidthAndShowsFrameZero)
{
    model source;
    make_grid_model(source, 2, 2, 1, 2);
    ASSERT_TRUE(save_model(&source, "a.3dk"));
    g_screen_width = 1280;
    model& m = g_models[0];
    m.current_frame = 1;
    load_model(&m, "a.3dk"); // read as a ".3d" file too
    ASSERT_EQ(m.frame_count, 2);
    EXPECT_EQ(m.current_frame, 0);
    EXPECT_EQ(m.frames[1][0], source.frames[1][0] * 0.5f);
    EXPECT_EQ(m.mesh->vertices[4].y, source.frames[0][13] * 0.5f);

    scale_model(&m, 4.0f);
    EXPECT_EQ(m.frames[1][0], source.frames[1][0] * 2.0f);
    EXPECT_EQ(m.mesh->vertices[4].y, source.frames[0][13] * 2.0f); // the shown frame follows

    set_model_frame(&m, 1);
    EXPECT_EQ(m.mesh->vertices[0].x, m.frames[1][0]);
    EXPECT_EQ(m.mesh->vertices[0].nz, 1.0f); // normals stay
    for (int frame : {2, 32, -1}) {
        set_model_frame(&m, frame);
        EXPECT_EQ(m.mesh->vertices[0].x, m.frames[1][0]) << frame;
    }

    free_model(&m);
    EXPECT_EQ(m.mesh, nullptr);
    EXPECT_EQ(m.frame_count, 0);
    EXPECT_EQ(get_model_vertex_count(&m), 0u);
}

TEST_F(models, FramesPastThirtyTwoAreIgnored)
{
    ASSERT_TRUE(write_stream_file("many.3d", model_file_body(triangle_parts(40))));
    model& m = g_models[0];
    load_model(&m, "many.3d");
    ASSERT_EQ(m.frame_count, 32);
    EXPECT_FLOAT_EQ(m.frames[31][0], 3100.0f);
    EXPECT_TRUE(logged("many.3d: poskodeny subor (40 snimkov), ostava prvych 32 snimkov"));
    set_model_frame(&m, 31);
    EXPECT_FLOAT_EQ(m.mesh->vertices[2].z, 3102.2f);
    set_model_frame(&m, 32);
    EXPECT_FLOAT_EQ(m.mesh->vertices[2].z, 3102.2f);
    EXPECT_EQ(m.mesh->vertices[1].ny, -1.0f);
}

TEST_F(models, DamagedFilesLeaveAnEmptyMeshAndSayWhy)
{
    model m;
    EXPECT_FALSE(read_model(&m, "missing.3d"));
    expect_empty_mesh(m);

    model_file_parts too_many = triangle_parts(1);
    too_many.materials.assign(17, {0, "x"});
    model_file_parts bad_index = triangle_parts(1);
    bad_index.indices[1] = 3;
    model_file_parts long_runs = triangle_parts(1);
    long_runs.materials.push_back({3, "more"});
    model_file_parts huge = triangle_parts(0);
    huge.vertex_count = 70000;
    const model_file_parts damaged[] = {too_many, bad_index, long_runs, huge};
    for (const model_file_parts& parts : damaged) {
        ASSERT_TRUE(write_stream_file("bad.3d", model_file_body(parts)));
        g_console_history_count = 0;
        std::memset(g_console_history, 0, sizeof g_console_history);
        EXPECT_FALSE(read_model(&m, "bad.3d"));
        expect_empty_mesh(m);
        EXPECT_TRUE(logged("bad.3d"));
    }

    // Cut anywhere before the last frame's end: nothing of it is kept.
    const std::vector<uint8_t> whole = model_file_body(triangle_parts(2));
    for (size_t size : {size_t(2), size_t(50), size_t(100), size_t(190), whole.size() - 4, whole.size() - 1}) {
        ASSERT_TRUE(write_stream_file("cut.3d", {whole.begin(), whole.begin() + long(size)}));
        EXPECT_FALSE(read_model(&m, "cut.3d")) << size;
        expect_empty_mesh(m);
    }
    ASSERT_TRUE(write_stream_file("whole.3d", whole));
    EXPECT_TRUE(read_model(&m, "whole.3d"));
    EXPECT_EQ(m.frame_count, 2);
}

TEST_F(models, MeshDumpsBecomeFramesCutOrPaddedToTheMesh)
{
    model m;
    make_grid_model(m, 2, 1, 1, 1); // six vertices
    model bigger, smaller;
    make_grid_model(bigger, 3, 1, 1, 1);
    make_grid_model(smaller, 1, 1, 1, 1);
    for (device_vertex& v : bigger.mesh->vertices)
        v.x += 50.0f;
    ASSERT_TRUE(write_model_mesh(&bigger, "d_big"));
    ASSERT_TRUE(write_model_mesh(&smaller, "d_small"));
    const std::vector<uint8_t> dump = read_bytes("d_big");
    EXPECT_EQ(le_u32(dump.data()), 1u); // a plain stream: the material count comes first

    EXPECT_TRUE(read_model_frame(&m, "d_big"));
    EXPECT_TRUE(logged("pocet vertexov nesedi!!!!!"));
    ASSERT_EQ(m.frame_count, 2);
    ASSERT_EQ(m.frames[1].size(), 18u);
    EXPECT_EQ(m.frames[1][15], bigger.mesh->vertices[5].x);

    EXPECT_TRUE(read_model_frame(&m, "d_small"));
    ASSERT_EQ(m.frame_count, 3);
    EXPECT_EQ(m.frames[2][9], smaller.mesh->vertices[3].x);
    EXPECT_EQ(m.frames[2][12], 0.0f); // past the dump's four vertices
    EXPECT_EQ(m.frames[2][17], 0.0f);

    EXPECT_FALSE(read_model_frame(&m, "none"));
    EXPECT_EQ(m.frame_count, 3);
    while (m.frame_count < 32)
        ASSERT_TRUE(read_model_frame(&m, "d_small"));
    EXPECT_FALSE(read_model_frame(&m, "d_small"));
    EXPECT_EQ(m.frame_count, 32);
    model none;
    EXPECT_FALSE(read_model_frame(&none, "d_small"));
    EXPECT_FALSE(save_model(&none, "none.3d"));
    EXPECT_FALSE(is_readable_file("none.3d"));
}

TEST_F(models, AFailedWriteKeepsTheOldFile)
{
    model m;
    make_grid_model(m, 2, 2, 1, 1);
    ASSERT_TRUE(save_model(&m, "keep.3d"));
    const std::vector<uint8_t> before = read_bytes("keep.3d");
    EXPECT_FALSE(save_model(&m, "no_folder/keep.3d"));
    // A folder in the way of the target: the write completes, the replacement fails.
    make_folder("taken.3d");
    EXPECT_FALSE(save_model(&m, "taken.3d"));
    EXPECT_TRUE(is_folder("taken.3d"));
    EXPECT_FALSE(write_model_mesh(&m, "taken.3d"));
    EXPECT_TRUE(logged("cannot write model taken.3d"));
    EXPECT_EQ(read_bytes("keep.3d"), before);
}

TEST_F(models, SkinsWithoutVariantsTakeOneNamePerSkinAndMaterial)
{
    model m;
    make_grid_model(m, 2, 1, 2, 1);
    write_text("ogre.sk", "2\r\nhead_a.tga body_a.tga\r\n head_b.tga\tbody_b.tga\r\n");
    load_model_skins(&m, "ogre.sk");
    EXPECT_STREQ(m.mesh->materials[0].texture_name, "ogre.sk");
    EXPECT_EQ(m.skin_count, 2);
    EXPECT_EQ(m.variant_count, 0);
    ASSERT_EQ(m.skin_textures.size(), 35u);  // up to the last entry named
    EXPECT_EQ(m.skin_textures[1], slot_of("head_a.tga"));
    EXPECT_EQ(m.skin_textures[2], slot_of("body_a.tga"));
    EXPECT_EQ(m.skin_textures[33], slot_of("head_b.tga"));
    EXPECT_EQ(m.skin_textures[34], slot_of("body_b.tga"));
    EXPECT_EQ(m.skin_textures[0], -1);

    select_model_skin(&m, 1, -1);
    EXPECT_EQ(m.material_textures[0], slot_of("head_b.tga"));
    EXPECT_EQ(m.material_textures[1], slot_of("body_b.tga"));
    select_model_skin(&m, 0, 0); // variant 0 is the plain table
    EXPECT_EQ(m.material_textures[1], slot_of("body_a.tga"));
    select_model_skin(&m, 500, 40); // outside the table
    EXPECT_EQ(m.material_textures[0], -1);

    // A missing skin file keeps the tables as they were.
    load_model_skins(&m, "none.sk");
    EXPECT_STREQ(m.mesh->materials[0].texture_name, "none.sk");
    EXPECT_EQ(m.skin_count, 2);
    EXPECT_EQ(m.skin_textures[34], slot_of("body_b.tga"));
}

TEST_F(models, SkinVariantsAndTheirCount)
{
    model m;
    make_grid_model(m, 2, 1, 2, 1);
    write_text("v.sk", "2 3 a0 a1 a2 b0 b1 b2\n c0 c1 c2 d0 d1 d2");
    load_model_skins(&m, "v.sk");
    EXPECT_EQ(m.variant_count, 3);
    EXPECT_EQ(m.skin_textures[skin_entry_index(2, 0, 1)], slot_of("b2"));
    EXPECT_EQ(skin_entry_index(2, 0, 1), 1 + 258 + 1);
    select_model_skin(&m, 1, 1);
    EXPECT_EQ(m.material_textures[0], slot_of("c1"));
    EXPECT_EQ(m.material_textures[1], slot_of("d1"));
    select_model_skin(&m, 1, -1);
    EXPECT_EQ(m.material_textures[1], slot_of("d0"));

    // A first name beginning with digits gives those digits as the variant count.
    model n;
    make_grid_model(n, 2, 1, 1, 1);
    write_text("d.sk", "1 2red.tga blue.tga");
    load_model_skins(&n, "d.sk");
    EXPECT_EQ(n.variant_count, 2);
    EXPECT_EQ(n.skin_textures[1], slot_of("red.tga"));
    EXPECT_EQ(n.skin_textures[1 + 129], slot_of("blue.tga"));

    // A skin count of 0 reads nothing more.
    const int32_t before = g_texture_count;
    write_text("zero.sk", "0 7 never.tga");
    load_model_skins(&n, "zero.sk");
    EXPECT_EQ(n.skin_count, 0);
    EXPECT_EQ(n.variant_count, 2);
    EXPECT_EQ(g_texture_count, before);
}

TEST_F(models, SkinFilesStayWithinTheTable)
{
    model m;
    make_grid_model(m, 2, 1, 2, 1);
    std::string text = "200 ";
    for (int i = 0; i < 400; ++i)
        text += "t" + std::to_string(i) + " ";
    write_text("big.sk", text);
    load_model_skins(&m, "big.sk");
    EXPECT_EQ(m.skin_count, 128);
    EXPECT_EQ(m.skin_textures[1 + 32 * 127 + 1], slot_of("t255"));
    EXPECT_EQ(slot_of("t256"), -2); // never asked for
    EXPECT_TRUE(logged("big.sk"));

    std::string names;
    for (int i = 0; i < 80; ++i)
        names += "v" + std::to_string(i) + " ";
    write_text("var.sk", "1 40 " + names);
    load_model_skins(&m, "var.sk");
    EXPECT_EQ(m.variant_count, 32);
    EXPECT_EQ(m.skin_textures[1 + 129 * 31], slot_of("v31"));
    EXPECT_EQ(m.skin_textures[1 + 129 * 31 + 1], slot_of("v71")); // material 1: names 40 to 79
    EXPECT_EQ(slot_of("v32"), -2);

    // A path that does not fit its field is not kept, and the skins are still read.
    const std::string deep = std::string(90, 'a') + ".sk";
    write_text(deep, "1 p.tga q.tga");
    load_model_skins(&m, deep.c_str());
    EXPECT_STREQ(m.mesh->materials[0].texture_name, "");
    EXPECT_EQ(m.skin_textures[2], slot_of("q.tga"));
    EXPECT_TRUE(logged("too long"));
}

TEST_F(models, MissingOrDamagedSkinFilesAreLoggedByName)
{
    model m;
    make_grid_model(m, 2, 1, 2, 1);
    write_text("whole.sk", "1 a.tga b.tga\r\n");
    load_model_skins(&m, "whole.sk");
    EXPECT_FALSE(logged("whole.sk"));

    load_model_skins(&m, "gone.sk");
    EXPECT_TRUE(logged("gone.sk: subor chyba, ostava model bez koze"));
    write_text("nocount.sk", "a.tga b.tga");
    load_model_skins(&m, "nocount.sk");
    EXPECT_TRUE(logged("nocount.sk: poskodeny subor (chyba pocet), ostava model bez koze"));
    EXPECT_EQ(m.skin_count, 0);
    write_text("cut.sk", "2 c.tga d.tga e.tga");  // two skins of two materials want four names
    load_model_skins(&m, "cut.sk");
    EXPECT_TRUE(logged("cut.sk: poskodeny subor (konci predcasne)"));
    EXPECT_EQ(m.skin_textures[33], slot_of("e.tga"));  // what was read stays

    // Cut inside its last name: nothing follows a name that names no file.
    write_text("f.tga", "");
    write_text("half.sk", "1 f.tga g.t");
    load_model_skins(&m, "half.sk");
    EXPECT_TRUE(logged("half.sk: poskodeny subor (posledny nazov odrezany)"));
    write_text("g.tga", "");
    write_text("ends.sk", "1 f.tga g.tga");
    load_model_skins(&m, "ends.sk");
    EXPECT_FALSE(logged("ends.sk"));
}

TEST_F(models, SkinFileNamesFollowTheModelsName)
{
    model source;
    make_grid_model(source, 1, 1, 1, 1);
    ASSERT_TRUE(save_model(&source, "ogre.3d"));
    ASSERT_TRUE(save_model(&source, "ogre.3dk"));
    write_text("ogre.sk", "1 skin.tga");
    write_text("ogre.3dsk", "1 other.tga");
    EXPECT_EQ(add_model("missing.3d"), -1);
    EXPECT_EQ(add_model("ogre.3d"), 0);
    EXPECT_EQ(add_model("ogre.3dk"), 1);
    EXPECT_EQ(g_model_count, 2);
    EXPECT_EQ(g_models[0].skin_textures[1], slot_of("skin.tga"));
    EXPECT_EQ(g_models[1].skin_textures[1], slot_of("other.tga"));

    // Level change: the textures go, the skins are read again from the kept paths.
    clear_texture_table();
    reload_all_model_skins();
    EXPECT_EQ(g_models[0].skin_textures[1], slot_of("skin.tga"));
    EXPECT_NE(slot_of("skin.tga"), -2);

    g_model_count = k_model_capacity;
    EXPECT_EQ(add_model("ogre.3d"), -1);
    EXPECT_TRUE(logged("full"));
}
