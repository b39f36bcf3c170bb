#include "engine/models.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "support/temp_folder.h"
#include "support/x_file_text.h"
#include "tests/engine/model_table_fixture.h"

#include <gtest/gtest.h>


namespace {

class model_import : public model_table_test {
protected:
    void SetUp() override
    {
        model_table_test::SetUp();
        g_screen_width = 1280; // ".x" files are not scaled
    }

    // The positions of a pose of the pyramid in the order the import gives them.
    static std::vector<float> pose(float dx, float dy, float dz)
    {
        model m;
        write_text("pose.x", x_file_text(x_pyramid(dx, dy, dz)));
        load_model(&m, "pose.x");
        return m.frames[0];
    }

};

} // namespace

TEST_F(model_import, AnXFileIsFrameZeroUnscaledWithItsSkinBeside)
{
    make_folder("a");
    write_text("a/b.x", x_file_text(x_pyramid()));
    write_text("a/b.sk", "1 side.tga base.tga");
    model m;
    m.skin_textures.assign(k_model_skin_entries, 7);
    load_model(&m, "a\\b.x");
    ASSERT_NE(m.mesh, nullptr);
    EXPECT_EQ(m.mesh->material_count, 2u);
    EXPECT_EQ(m.mesh->materials[1].index_count, 6u);
    EXPECT_STREQ(m.mesh->materials[1].texture_name, "base.tga");
    EXPECT_STREQ(m.mesh->materials[0].texture_name, "a\\b.sk");
    EXPECT_FLOAT_EQ(m.mesh->materials[0].colour.diffuse.r, 0.8f); // the file's colours are kept
    ASSERT_EQ(m.frame_count, 1);
    ASSERT_EQ(m.frames[0].size(), 3 * m.mesh->vertices.size());
    for (size_t i = 0; i < m.mesh->vertices.size(); ++i)
        EXPECT_EQ(m.frames[0][3 * i + 2], m.mesh->vertices[i].z);
    EXPECT_FLOAT_EQ(m.mesh->vertices[m.mesh->indices[2]].z, 2.0f); // the apex, as in the file
    EXPECT_EQ(m.skin_count, 1);
    EXPECT_STREQ(g_textures[m.skin_textures[2]].name, "base.tga");
    EXPECT_EQ(m.skin_textures[40], 7); // entries the file does not name stay
    EXPECT_FALSE(is_readable_file("d_temp2"));
}

TEST_F(model_import, FurtherPosesAreAddedAsFramesInTheSameVertexOrder)
{
    const std::vector<float> moved = pose(5.0f, 0.0f, -1.0f);
    write_text("01.x", x_file_text(x_pyramid()));
    write_text("02.x", x_file_text(x_pyramid(5.0f, 0.0f, -1.0f)));
    ASSERT_EQ(add_model("01.x"), 0);
    add_model_frame_from_x(0, "02.x");
    const model& m = g_models[0];
    ASSERT_EQ(m.frame_count, 2);
    EXPECT_EQ(m.frames[1], moved);
    for (size_t i = 0; i < m.mesh->vertices.size(); ++i)
        EXPECT_FLOAT_EQ(m.frames[1][3 * i], m.frames[0][3 * i] + 5.0f);
    EXPECT_FALSE(is_readable_file("d_temp"));

    add_model_frame_from_x(3, "02.x");
    add_model_frame_from_x(0, "missing.x");
    EXPECT_EQ(g_models[0].frame_count, 2);
}

TEST_F(model_import, AFileThatIsNotAMeshLeavesAnEmptyModel)
{
    write_text("junk.x", "this is not a mesh");
    model m;
    load_model(&m, "junk.x");
    ASSERT_NE(m.mesh, nullptr);
    EXPECT_EQ(m.mesh->material_count, 0u);
    EXPECT_EQ(m.frame_count, 0);

    x_text_mesh many = x_pyramid();
    many.textures.clear();
    many.faces.clear();
    many.face_materials.clear();
    for (int i = 0; i < 17; ++i) {
        many.textures.push_back("t" + std::to_string(i) + ".tga");
        many.faces.push_back({0, 1, 4});
        many.face_materials.push_back(i);
    }
    write_text("many.x", x_file_text(many));
    load_model(&m, "many.x");
    EXPECT_EQ(m.mesh->material_count, 0u);
    EXPECT_TRUE(logged("17 materials"));
}

TEST_F(model_import, AFolderTreeOfFramesBecomesOneModelFilePerFolder)
{
    make_folder("3d/ogre/arm");
    make_folder("3d/ogre/.old");
    make_folder("3d/ogre/empty");
    write_text("3d/ogre/01.x", x_file_text(x_pyramid()));
    write_text("3d/ogre/02.x", x_file_text(x_pyramid(1, 0, 0)));
    write_text("3d/ogre/03.X", x_file_text(x_pyramid(2, 0, 0)));
    write_text("3d/ogre/notes.txt", "not a frame");
    write_text("3d/ogre/arm/01.x", x_file_text(x_pyramid(0, 1, 0)));
    write_text("3d/ogre/arm/02.x", x_file_text(x_pyramid(0, 2, 0)));
    write_text("3d/ogre/.old/01.x", x_file_text(x_pyramid()));
    write_text("3d/ogre/empty/02.x", x_file_text(x_pyramid()));
    const std::vector<float> third = pose(2, 0, 0);

    convert_model_directory((folder.path().string() + "/3d/ogre/01.x").c_str());
    EXPECT_EQ(g_model_count, 2);
    EXPECT_FALSE(is_readable_file("3d/ogre/.old.3d"));
    EXPECT_FALSE(is_readable_file("3d/ogre/empty.3d"));

    g_screen_width = 640;
    model ogre, arm;
    ASSERT_TRUE(read_model(&ogre, "3d/ogre.3d"));
    ASSERT_EQ(ogre.frame_count, 3);
    EXPECT_EQ(ogre.frames[2], third);
    ASSERT_TRUE(read_model(&arm, "3d/ogre/arm.3d"));
    EXPECT_EQ(arm.frame_count, 2);
    EXPECT_FLOAT_EQ(arm.frames[1][1], arm.frames[0][1] + 1.0f);

    // A path named from the working folder works the same; a missing one does nothing.
    delete_file("3d/ogre.3d");
    convert_model_directory("3d\\ogre\\01.x");
    EXPECT_TRUE(is_readable_file("3d/ogre.3d"));
    const int32_t count = g_model_count;
    convert_model_directory("3d\\none\\01.x");
    EXPECT_EQ(g_model_count, count);
}
