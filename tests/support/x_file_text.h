// Small DirectX ".x" text files for import tests.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

struct x_text_mesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> uvs;       // one per position
    std::vector<std::vector<int>> faces;         // polygons of position indices
    std::vector<int> face_materials;             // one per face
    std::vector<std::string> textures;           // one material per texture name
    std::array<float, 3> normal{0.0f, 0.0f, 1.0f}; // the one normal of every face corner
};

inline std::string x_number(float v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

// The mesh inside a frame with a translation, which the import does not apply.
inline std::string x_file_text(const x_text_mesh& mesh)
{
    std::string t = "xof 0303txt 0032\n\nFrame Root {\n FrameTransformMatrix {\n"
                    "  1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,9.0,9.0,9.0,1.0;;\n }\n Mesh body {\n";
    t += "  " + std::to_string(mesh.positions.size()) + ";\n";
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        const auto& p = mesh.positions[i];
        t += "  " + x_number(p[0]) + ";" + x_number(p[1]) + ";" + x_number(p[2]) + ";";
        t += i + 1 < mesh.positions.size() ? ",\n" : ";\n";
    }
    auto faces = [&](bool normals) {
        std::string f = "  " + std::to_string(mesh.faces.size()) + ";\n";
        for (size_t i = 0; i < mesh.faces.size(); ++i) {
            f += "  " + std::to_string(mesh.faces[i].size()) + ";";
            for (size_t j = 0; j < mesh.faces[i].size(); ++j)
                f += (j ? "," : "") + std::to_string(normals ? 0 : mesh.faces[i][j]);
            f += i + 1 < mesh.faces.size() ? ";,\n" : ";;\n";
        }
        return f;
    };
    t += faces(false);
    t += "  MeshMaterialList {\n   " + std::to_string(mesh.textures.size()) + ";\n   " +
         std::to_string(mesh.face_materials.size()) + ";\n   ";
    for (size_t i = 0; i < mesh.face_materials.size(); ++i)
        t += (i ? "," : "") + std::to_string(mesh.face_materials[i]);
    t += ";;\n";
    for (size_t i = 0; i < mesh.textures.size(); ++i)
        t += "   Material m" + std::to_string(i) + " {\n    0.8;0.6;0.4;1.0;;\n    12.0;\n    0.1;0.2;0.3;;\n"
             "    0.0;0.0;0.0;;\n    TextureFilename { \"" + mesh.textures[i] + "\"; }\n   }\n";
    t += "  }\n  MeshNormals {\n   1;\n   " + x_number(mesh.normal[0]) + ";" + x_number(mesh.normal[1]) + ";" +
         x_number(mesh.normal[2]) + ";;\n" + faces(true) + "  }\n";
    t += "  MeshTextureCoords {\n   " + std::to_string(mesh.uvs.size()) + ";\n";
    for (size_t i = 0; i < mesh.uvs.size(); ++i)
        t += "   " + x_number(mesh.uvs[i][0]) + ";" + x_number(mesh.uvs[i][1]) + (i + 1 < mesh.uvs.size() ? ";,\n" : ";;\n");
    t += "  }\n }\n}\n";
    return t;
}

// A pyramid of five points: a square base (one quad, material 1) and two triangles
// (material 0), each point moved by (dx, dy, dz).
inline x_text_mesh x_pyramid(float dx = 0.0f, float dy = 0.0f, float dz = 0.0f)
{
    x_text_mesh m;
    m.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 2}};
    for (auto& p : m.positions) {
        p[0] += dx;
        p[1] += dy;
        p[2] += dz;
    }
    m.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.25f}};
    m.faces = {{0, 1, 2, 3}, {0, 1, 4}, {1, 2, 4}};
    m.face_materials = {1, 0, 0};
    m.textures = {"side.tga", "base.tga"};
    return m;
}
