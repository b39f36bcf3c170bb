// Models built in memory and ".3d" files written byte by byte, for model tests and benchmarks.
#pragma once

#include "core/utilities.h"
#include "engine/models.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <cstring>
#include <string>
#include <vector>

// A model of `materials` materials over one grid of (columns + 1) × (rows + 1) vertices: two
// triangles per cell, the cells split into equal runs per material. Frame f moves every vertex
// by (f, 2f, 3f); normals point along -z, texture coordinates follow the grid.
inline void make_grid_model(model& m, int columns, int rows, int materials, int frames)
{
    free_model(&m);
    m.mesh = std::make_unique<model_mesh>();
    copy_bounded(m.mesh->name, sizeof m.mesh->name, "grid");
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= columns; ++x)
            m.mesh->vertices.push_back({float(x), float(y), float((x + y) % 3), 0.0f, 0.0f, -1.0f,
                                        float(x) / float(columns), float(y) / float(rows)});
    const int cells = columns * rows;
    m.mesh->material_count = uint32_t(materials);
    for (int i = 0; i < materials; ++i) {
        model_material& material = m.mesh->materials[i];
        material.colour.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        material.colour.ambient = material.colour.diffuse;
        copy_bounded(material.texture_name, sizeof material.texture_name, ("tex" + std::to_string(i)).c_str());
        const int first = cells * i / materials, last = cells * (i + 1) / materials;
        for (int c = first; c < last; ++c) {
            const uint16_t a = uint16_t((c / columns) * (columns + 1) + c % columns);
            const uint16_t b = uint16_t(a + 1), d = uint16_t(a + columns + 1), e = uint16_t(d + 1);
            for (uint16_t index : {a, b, e, a, e, d})
                m.mesh->indices.push_back(index);
        }
        material.index_count = uint32_t(6 * (last - first));
    }
    for (int f = 0; f < frames; ++f) {
        std::vector<float>& frame = m.frames[f];
        for (const device_vertex& v : m.mesh->vertices) {
            frame.push_back(v.x + float(f));
            frame.push_back(v.y + 2.0f * float(f));
            frame.push_back(v.z + 3.0f * float(f));
        }
    }
    m.frame_count = frames;
    m.current_frame = 0;
    set_model_frame(&m, 0);
}

// The parts of a ".3d" body, each given as it is to be written.
struct model_file_parts {
    std::vector<std::pair<uint32_t, std::string>> materials; // index count, texture name
    uint32_t vertex_count = 0;
    uint32_t index_count = 0;
    std::vector<device_vertex> vertices;
    std::vector<uint16_t> indices;
    uint32_t frame_count = 0;
    std::vector<float> frame_values; // every frame's positions in a row
};

inline std::vector<uint8_t> model_file_body(const model_file_parts& parts)
{
    std::vector<uint8_t> out;
    auto u32 = [&](uint32_t v) {
        uint8_t b[4];
        put_le_u32(b, v);
        out.insert(out.end(), b, b + 4);
    };
    auto f32 = [&](float v) { u32(std::bit_cast<uint32_t>(v)); };
    u32(uint32_t(parts.materials.size()));
    for (const auto& [count, name] : parts.materials) {
        u32(count);
        char field[80] = {};
        std::strncpy(field, name.c_str(), sizeof field - 1);
        out.insert(out.end(), field, field + sizeof field);
    }
    u32(parts.vertex_count);
    u32(parts.index_count);
    for (const device_vertex& v : parts.vertices)
        for (float value : {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v})
            f32(value);
    for (uint16_t i : parts.indices) {
        out.push_back(uint8_t(i));
        out.push_back(uint8_t(i >> 8));
    }
    u32(parts.frame_count);
    for (float value : parts.frame_values)
        f32(value);
    return out;
}

// Writes bytes through a packed stream ("wp") or a plain one ("w").
inline bool write_stream_file(const char* path, const std::vector<uint8_t>& bytes, const char* mode = "wp")
{
    packed_stream* s = stream_open(path, mode);
    if (!s)
        return false;
    const bool ok = stream_write(bytes.data(), int(bytes.size()), s) == int(bytes.size());
    return stream_close(s) == 0 && ok;
}

// A one-triangle body: material "skin.sk" of 3 indices, vertices (i, 2i, 3i) with normal
// (0, 1, 0), and `frames` frames where frame f holds (100f + i, ...).
inline model_file_parts triangle_parts(uint32_t frames)
{
    model_file_parts p;
    p.materials = {{3, "skin.sk"}};
    p.vertex_count = 3;
    p.index_count = 3;
    for (int i = 0; i < 3; ++i)
        p.vertices.push_back({float(i), float(2 * i), float(3 * i), 0.0f, 1.0f, 0.0f, 0.5f, 0.25f});
    p.indices = {0, 1, 2};
    p.frame_count = frames;
    for (uint32_t f = 0; f < frames; ++f)
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 3; ++c)
                p.frame_values.push_back(float(100 * f + i) + 0.1f * float(c));
    return p;
}
