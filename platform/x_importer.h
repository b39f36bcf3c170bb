// Reading a DirectX ".x" mesh file (text, binary or compressed) into plain arrays.
//
// Every mesh of the file is taken, without its frame's transform, and the meshes are recombined
// in material order into one vertex array and one triangle list: first all triangles of
// material 0 (meshes in file order, faces in file order), then those of material 1, and so on.
// Vertices are neither joined nor reordered, so two files of the same mesh in different poses
// give their vertices in the same order. Positions, normals, texture coordinates and triangle
// winding are those the file holds (DirectX's left-handed space, v growing downwards).
#pragma once

#include "platform/device_types.h"

#include <cstdint>
#include <string>
#include <vector>

struct x_material {
    device_material colour;    // diffuse and ambient = the face colour; specular, emissive, power
    std::string texture_name;  // the file's texture file name, "" when none
    uint32_t index_count = 0;  // the indices of this material's triangles
};

struct x_mesh {
    std::string name;                  // the first mesh's name
    std::vector<device_vertex> vertices;
    std::vector<uint16_t> indices;     // triangle list, materials' runs in material order
    std::vector<x_material> materials; // only materials with triangles are kept
};

// Reads the ".x" file `path` (a game file name: "\" and any letter case). False with the
// reason in error when the file is missing, is not a ".x" file, cannot be read, has no
// triangles, or has more vertices than 16-bit indices reach. The file is parsed in a child
// process: a file that makes the parser crash, or take more than 30 seconds, is refused.
bool import_x_file(const char* path, x_mesh& out, std::string& error);
