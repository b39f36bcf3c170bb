// Vertex-morph 3D models: one triangle mesh with up to 16 materials, up to 32 key frames of
// vertex positions, and skins (sets of texture slots per material, chosen per draw).
//
// Models come from the program's ".3d" files (packed streams) or from DirectX ".x" files; the
// texture names of each material come from a skin file (".sk") beside the model file. Two
// global tables hold them: g_models (object, item and effect meshes) and g_char_models
// (characters' body parts). Drawing is engine/model_draw.h.
//
// The ".3d" file (all numbers little-endian): u32 material count M; per material u32 index
// count and char[80] texture name; u32 vertex count V; u32 index count N; V vertices of 32
// bytes (position, normal, texture coordinates); N u16 indices; u32 frame count F; F frames of
// V × (x, y, z) f32. A mesh dump is the same up to the indices, in a plain stream.
//
// The skin file is text of whitespace-separated tokens: the skin count S; then, when the next
// token begins with a positive decimal number, the variant count V (the rest of that token, if
// any, is the next token); then for every skin and, within it, every material V texture names
// (one when V is 0).
#pragma once

#include "platform/device_types.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int k_model_max_materials = 16;
constexpr int k_model_max_frames = 32;
constexpr int k_model_name_size = 80;
constexpr int k_model_material_columns = 32; // material_textures and the skin table's columns
constexpr int k_model_skin_entries = 4128;
constexpr int k_model_capacity = 200;
constexpr int k_char_model_capacity = 5000;

struct model_material {
    device_material colour;
    char texture_name[k_model_name_size]; // material 0 keeps the skin file's path
    uint32_t index_count;                 // this material's run of the index array
};

struct model_mesh {
    char name[k_model_name_size];
    std::vector<device_vertex> vertices;
    std::vector<uint16_t> indices; // triangle list; material m's run follows those of 0 to m-1
    uint32_t material_count = 0;
    model_material materials[k_model_max_materials] = {};
};

struct model {
    std::unique_ptr<model_mesh> mesh;                 // null when none is loaded
    std::vector<float> frames[k_model_max_frames];    // vertex count × (x, y, z) each
    int32_t current_frame = 0;                        // the frame in the mesh's positions
    int32_t frame_count = 0;
    int32_t skin_count = 0;
    int32_t variant_count = 0;                        // 0: no texture variants
    // Texture slots: variant k, skin s, material m at 1 + 129k + 32s + m (without variants
    // 1 + 32s + m), up to the last entry a skin file named (at most k_model_skin_entries); -1
    // where the file named nothing, as every entry past the end.
    std::vector<int32_t> skin_textures;
    int32_t material_textures[k_model_material_columns] = {}; // the slots drawn with now
};

extern model g_models[k_model_capacity];
extern int32_t g_model_count;
extern model g_char_models[k_char_model_capacity];

// The skin-table entry of (variant, skin, material); a variant of -1 is the plain table.
// -1 when it lies outside the table.
int32_t skin_entry_index(int32_t variant, int32_t skin, int32_t material);

// Frees what the model holds and fills it from path: ".3d" when the path ends in 'd' or 'k'
// (read, then scaled by 640 / g_screen_width), else a ".x" import as frame 0 (not scaled).
// The skin file is the path with its last two characters replaced by "sk" when it ends in 'd',
// else with its last character replaced by "sk". Frame 0 is selected.
void load_model(model* m, const char* path);

// Reads a ".3d" file into a fresh mesh named "D3DFile_Root" (grey materials) and its frames;
// every normal is negated. A file that is missing, truncated or out of bounds (over 16
// materials, an index not below the vertex count, material runs past the index count) leaves
// the empty mesh, logged. Frames past 32 are ignored. True when the file was read.
bool read_model(model* m, const char* path);

// Writes the ".3d" file of the model as it is in memory. False (logged, old file kept) when
// there is no mesh or a write fails.
bool save_model(const model* m, const char* path);

// Writes the mesh dump of the model (no frames, plain stream). False as for save_model.
bool write_model_mesh(const model* m, const char* path);

// Adds the positions of a mesh dump as the model's next frame. A dump with more vertices than
// the mesh is cut (logged "pocet vertexov nesedi!!!!!"); positions past a shorter dump are 0.
// False, adding nothing, when the model has no mesh or 32 frames, or the dump cannot be read.
bool read_model_frame(model* m, const char* path);

// Drops the frames and the mesh; skins and texture references stay.
void free_model(model* m);

// Copies key frame `frame`'s positions into the mesh. Nothing for a frame the model lacks.
void set_model_frame(model* m, int32_t frame);

// Points every material at its texture slot of (skin, variant); variant -1: no variants.
void select_model_skin(model* m, int32_t skin, int32_t variant);

// Reads the skin file: keeps its path in material 0 (when it fits, else logs and keeps none),
// then fills the skin table with get_texture slots. Nothing without a mesh. A file that does not
// open, lacks its skin count or ends early is logged by name (what was read stays). Entries that
// fall outside the table are ignored, logged.
void load_model_skins(model* m, const char* sk_path);

// load_model_skins for every loaded model of both tables, each with its kept skin path.
void reload_all_model_skins();

// Loads the file into the next record of g_models; its index, or -1 when the file is missing
// or the table is full (logged).
int32_t add_model(const char* path);

// Imports the ".x" file and adds its positions as a further frame of g_models[index].
void add_model_frame_from_x(int32_t index, const char* x_path);

// Builds one ".3d" file per folder of ".x" frame files, starting at the folder of the ".x"
// file `path`, and recursing into sub-folders that hold an "01.x".
void convert_model_directory(const char* path);

// Multiplies the positions of every frame by factor; the mesh shows the scaled current frame.
void scale_model(model* m, float factor);

// The mesh's vertex count; 0 without a mesh.
uint32_t get_model_vertex_count(const model* m);
