// Quads drawn with plain OpenGL calls: the measure a benchmark reads the device's OpenGL frames
// against. It takes the quads of a recording (the lit vertices the device made, the pixels of
// their textures, the states each was drawn with), gives every texture a GL texture of its own
// and draws consecutive quads of one texture and the same states as one array of triangles,
// setting only the states that change from one array to the next.
#pragma once

#include "platform/recording_device.h"

#include <cstdint>
#include <vector>

class bare_gl_quads {
public:
    // Copies the recording's quads (triangle strips of four vertices, not indexed) and their
    // textures; needs no GL.
    explicit bare_gl_quads(const recording_device& recording);
    ~bare_gl_quads();
    bare_gl_quads(const bare_gl_quads&) = delete;
    bare_gl_quads& operator=(const bare_gl_quads&) = delete;

    uint32_t quads() const { return static_cast<uint32_t>(vertices_.size() / 6); }
    // GL draw calls of a batched frame.
    uint32_t runs() const { return static_cast<uint32_t>(runs_.size()); }

    // One frame on the program window (platform/gl_window.h): clears colour and depth, draws
    // the quads, each run with one call (batched) or each quad with one call of its own, swaps
    // and waits until GL has drawn it. The GL state is left as it was found.
    void draw_frame(bool batched = true);

private:
    struct run {
        int32_t texture; // index into textures_, -1 for none
        recorded_states states;
        uint32_t first_vertex, vertex_count;
    };
    struct texture {
        uint32_t width, height;
        std::vector<uint32_t> argb;
        uint32_t name = 0;            // the GL texture, made at the first frame
        int32_t sampler[4] = {};      // its filters and wrapping as last set
    };

    void apply_states(const recorded_states& s);
    void use_texture(const run& r);

    uint32_t width_, height_;
    std::vector<lit_vertex> vertices_; // six a quad: two triangles
    std::vector<run> runs_;
    std::vector<texture> textures_;
};
