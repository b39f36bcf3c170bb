// The ".3d" model file and the mesh dumps of the ".x" import.
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/utilities.h"
#include "engine/model_internal.h"
#include "engine/models.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr const char* k_empty_model = "prazdny model";

constexpr uint32_t k_material_entry_size = 4 + k_model_name_size; // index count, texture name
constexpr uint32_t k_vertex_size = 32;
constexpr uint32_t k_position_size = 12;
constexpr uint32_t k_max_vertices = 65536; // what 16-bit indices reach
constexpr uint32_t k_read_step = 1u << 20;

static_assert(sizeof(device_vertex) == k_vertex_size);

// Reads n bytes, growing the buffer step by step so that a count from the file allocates no
// more than the data that is really there (plus one step).
bool read_block(packed_stream* s, std::vector<uint8_t>& out, uint64_t n)
{
    out.clear();
    while (out.size() < n) {
        const size_t at = out.size();
        const size_t take = size_t(std::min<uint64_t>(k_read_step, n - at));
        out.resize(at + take);
        if (stream_read(out.data() + at, int(take), s) != int(take))
            return false;
    }
    return true;
}

bool read_u32(packed_stream* s, uint32_t& value)
{
    const int64_t v = stream_read_u32le(s);
    if (v < 0)
        return false;
    value = uint32_t(v);
    return true;
}

device_material grey_material()
{
    device_material c{};
    c.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    c.ambient = c.diffuse;
    return c;
}

// The vertex bytes of the file layout.
template <class Io, class Vertex>
void vertex_fields(Io& io, Vertex& v)
{
    io.f32(0, v.x);
    io.f32(4, v.y);
    io.f32(8, v.z);
    io.f32(12, v.nx);
    io.f32(16, v.ny);
    io.f32(20, v.nz);
    io.f32(24, v.u);
    io.f32(28, v.v);
}

// What both writers share: the materials, the counts, the vertices and the indices.
std::vector<uint8_t> mesh_bytes(const model_mesh& mesh)
{
    const uint32_t materials = std::min<uint32_t>(mesh.material_count, k_model_max_materials);
    const uint32_t vertices = uint32_t(mesh.vertices.size());
    const uint32_t indices = uint32_t(mesh.indices.size());
    std::vector<uint8_t> out(4 + k_material_entry_size * materials + 8 + size_t(k_vertex_size) * vertices +
                             2 * size_t(indices));
    uint8_t* p = out.data();
    put_le_u32(p, materials);
    p += 4;
    for (uint32_t i = 0; i < materials; ++i) {
        put_le_u32(p, mesh.materials[i].index_count);
        std::memcpy(p + 4, mesh.materials[i].texture_name, k_model_name_size);
        p += k_material_entry_size;
    }
    put_le_u32(p, vertices);
    put_le_u32(p + 4, indices);
    p += 8;
    for (const device_vertex& v : mesh.vertices) {
        record_writer io{p};
        vertex_fields(io, v);
        p += k_vertex_size;
    }
    for (uint16_t index : mesh.indices) {
        put_le_u16(p, index);
        p += 2;
    }
    return out;
}

std::vector<uint8_t> frame_bytes(const model& m)
{
    const size_t vertices = m.mesh->vertices.size();
    const int32_t frames = std::clamp(m.frame_count, 0, k_model_max_frames);
    std::vector<uint8_t> out(4 + k_position_size * vertices * size_t(frames));
    put_le_u32(out.data(), uint32_t(frames));
    uint8_t* p = out.data() + 4;
    for (int32_t f = 0; f < frames; ++f) {
        const std::vector<float>& frame = m.frames[f];
        for (size_t i = 0; i < vertices * 3; ++i, p += 4)
            put_le_f32(p, i < frame.size() ? frame[i] : 0.0f);
    }
    return out;
}

bool write_file(const char* path, const char* mode, const std::vector<uint8_t>& head,
                const std::vector<uint8_t>& tail)
{
    packed_stream* s = stream_open(path, mode);
    if (!s) {
        console_log("cannot write model %s", path);
        return false;
    }
    bool ok = stream_write(head.data(), int(head.size()), s) == int(head.size());
    ok = ok && stream_write(tail.data(), int(tail.size()), s) == int(tail.size());
    if (!ok) {
        // An incomplete stream is not renamed over the old file at close.
        stream_close(s);
        console_log("cannot write model %s", path);
        return false;
    }
    if (stream_close(s) != 0) {
        console_log("cannot write model %s", path);
        return false;
    }
    return true;
}

// The body of a ".3d" file after its material count. False when it is cut short or out of
// bounds; the mesh may then hold part of it.
bool read_model_body(packed_stream* s, model* m, uint32_t materials, const char* path)
{
    model_mesh& mesh = *m->mesh;
    std::vector<uint8_t> bytes;
    if (!read_block(s, bytes, uint64_t(k_material_entry_size) * materials))
        return false;
    uint64_t runs = 0;
    for (uint32_t i = 0; i < materials; ++i) {
        model_material& material = mesh.materials[i];
        const uint8_t* p = bytes.data() + k_material_entry_size * i;
        material.colour = grey_material();
        material.index_count = le_u32(p);
        std::memcpy(material.texture_name, p + 4, k_model_name_size);
        material.texture_name[k_model_name_size - 1] = '\0';
        runs += material.index_count;
    }
    mesh.material_count = materials;

    uint32_t vertices = 0, indices = 0;
    if (!read_u32(s, vertices) || !read_u32(s, indices))
        return false;
    if (vertices > k_max_vertices || runs > indices) {
        console_log("model %s: %u vertices, %u indices, %llu in material runs refused", path, vertices, indices,
                    static_cast<unsigned long long>(runs));
        return false;
    }
    if (!read_block(s, bytes, uint64_t(k_vertex_size) * vertices))
        return false;
    mesh.vertices.resize(vertices);
    for (uint32_t i = 0; i < vertices; ++i) {
        record_reader io{bytes.data() + k_vertex_size * i};
        vertex_fields(io, mesh.vertices[i]);
    }
    if (!read_block(s, bytes, uint64_t(2) * indices))
        return false;
    mesh.indices.resize(indices);
    for (uint32_t i = 0; i < indices; ++i) {
        mesh.indices[i] = le_u16(bytes.data() + 2 * i);
        if (mesh.indices[i] >= vertices) {
            console_log("model %s: index %u not below the vertex count %u", path, mesh.indices[i], vertices);
            return false;
        }
    }

    uint32_t frames = 0;
    if (!read_u32(s, frames))
        return false;
    if (frames > uint32_t(k_model_max_frames)) {
        const std::string where = std::to_string(frames) + " snimkov";
        const std::string kept = "prvych " + std::to_string(k_model_max_frames) + " snimkov";
        report_damaged_file(path, where.c_str(), kept.c_str());
    }
    frames = std::min<uint32_t>(frames, k_model_max_frames);
    for (uint32_t f = 0; f < frames; ++f) {
        if (!read_block(s, bytes, uint64_t(k_position_size) * vertices))
            return false;
        std::vector<float>& frame = m->frames[f];
        frame.resize(size_t(vertices) * 3);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = le_f32(bytes.data() + 4 * i);
        m->frame_count = int32_t(f + 1);
    }
    return true;
}

} // namespace

void reset_model_mesh(model* m)
{
    free_model(m);
    m->mesh = std::make_unique<model_mesh>();
    copy_bounded(m->mesh->name, sizeof m->mesh->name, "D3DFile_Root");
}

bool read_model(model* m, const char* path)
{
    reset_model_mesh(m);
    packed_stream* s = open_data_file(path, k_empty_model);
    if (!s)
        return false;
    uint32_t materials = 0;
    bool ok = read_u32(s, materials);
    if (ok && materials > uint32_t(k_model_max_materials)) {
        report_damaged_file(path, (std::to_string(materials) + " materialov").c_str(), k_empty_model);
        ok = false;
    } else if (ok) {
        ok = read_model_body(s, m, materials, path);
        if (!ok)
            report_damaged_file(path, "konci predcasne alebo zle hodnoty", k_empty_model);
    } else {
        report_damaged_file(path, "konci predcasne", k_empty_model);
    }
    stream_close(s);
    if (!ok) {
        reset_model_mesh(m);
        return false;
    }
    for (device_vertex& v : m->mesh->vertices) {
        v.nx = -v.nx;
        v.ny = -v.ny;
        v.nz = -v.nz;
    }
    return true;
}

bool save_model(const model* m, const char* path)
{
    if (!m->mesh) {
        console_log("model %s has no mesh; not written", path);
        return false;
    }
    return write_file(path, "wp", mesh_bytes(*m->mesh), frame_bytes(*m));
}

bool write_model_mesh(const model* m, const char* path)
{
    if (!m->mesh) {
        console_log("model %s has no mesh; not written", path);
        return false;
    }
    return write_file(path, "w", mesh_bytes(*m->mesh), {});
}

bool read_model_frame(model* m, const char* path)
{
    if (!m->mesh || m->frame_count >= k_model_max_frames) {
        console_log("no room for a frame from %s", path);
        return false;
    }
    packed_stream* s = stream_open(path, "r");
    if (!s) {
        report_missing_file(path, "model bez tohto snimku");
        return false;
    }
    const size_t own = m->mesh->vertices.size();
    std::vector<float> frame(own * 3, 0.0f);
    std::vector<uint8_t> bytes;
    uint32_t materials = 0, vertices = 0, indices = 0;
    bool ok = read_u32(s, materials) && materials <= uint32_t(k_model_max_materials) &&
              read_block(s, bytes, uint64_t(k_material_entry_size) * materials) && read_u32(s, vertices) &&
              read_u32(s, indices);
    if (ok && vertices > own)
        console_log("pocet vertexov nesedi!!!!!");
    const size_t copied = ok ? std::min<size_t>(vertices, own) : 0;
    ok = ok && read_block(s, bytes, uint64_t(k_vertex_size) * copied);
    stream_close(s);
    if (!ok) {
        report_damaged_file(path, "konci predcasne alebo zle hodnoty", "model bez tohto snimku");
        return false;
    }
    for (size_t i = 0; i < copied; ++i)
        for (size_t c = 0; c < 3; ++c)
            frame[3 * i + c] = le_f32(bytes.data() + k_vertex_size * i + 4 * c);
    m->frames[m->frame_count++] = std::move(frame);
    return true;
}
