// The headless device: it draws nothing and keeps every state change and every draw with its
// lit vertices, each quad of a batch as a draw of its own, so that drawing code can be checked
// exactly without a screen.
#pragma once

#include "platform/render_device.h"

#include <vector>

enum class device_call : uint8_t {
    render_state, // what = render_state, value = the new value
    stage_state,  // what = texture_stage_state, value = the new value
    transform,    // what = transform_kind
    material,
    light,        // what = slot
    light_enable, // what = slot, value = 0 or 1
    texture,      // value = 1 when a texture is bound, 0 for none
    viewport,
    draw,         // value = index into draws()
    clear,        // what = flags, value = colour
    begin_scene,
    end_scene,
    present,
    scissor,      // value = 1 when draws are limited, 0 when not
};

struct recorded_call {
    device_call kind;
    uint32_t what;
    uint32_t value;
};

// What a draw was made with besides its material and texture. Draws share one entry until a
// state changes.
using recorded_states = draw_states;

struct recorded_draw {
    primitive_type type;
    device_texture* texture;
    uint32_t first_vertex, vertex_count;
    uint32_t first_index, index_count; // index_count 0: not indexed
    uint32_t states;                   // index into the recorded states
    uint32_t material;                 // index into the recorded materials (material_of)
    batch_join join;                   // how it joins the quads drawn just before it

    // A triangle strip of four vertices, not indexed: what batches are made of.
    bool quad() const { return type == primitive_type::triangle_strip && vertex_count == 4 && index_count == 0; }
};

class recording_device : public render_device {
public:
    recording_device(uint32_t width, uint32_t height);

    void clear(uint32_t flags, uint32_t argb, float z = 1.0f) override;
    void begin_scene() override;
    void end_scene() override;
    bool present() override;
    // The picture set_frame gave, else a frame of the last clear colour (opaque): nothing is
    // rasterised here.
    bool read_frame(std::vector<uint32_t>& argb) override;
    // The picture read_frame returns from now on: width × height texels 0xAARRGGBB, top row
    // first. An empty or wrongly sized picture goes back to the clear colour.
    void set_frame(std::vector<uint32_t> argb);

    const std::vector<recorded_call>& calls() const { return calls_; }
    const std::vector<recorded_draw>& draws() const { return draws_; }
    const recorded_states& states_of(const recorded_draw& draw) const { return states_[draw.states]; }
    const device_material& material_of(const recorded_draw& draw) const { return materials_[draw.material]; }
    const lit_vertex* vertices_of(const recorded_draw& draw) const { return vertices_.data() + draw.first_vertex; }
    const uint16_t* indices_of(const recorded_draw& draw) const { return indices_.data() + draw.first_index; }
    // Where vertex i of a draw lands: pixels from the top-left corner (y down) and depth 0..1.
    // False when it lies behind the eye (w not above 0).
    bool screen_position(const recorded_draw& draw, uint32_t i, float& x, float& y, float& z) const;
    // Forgets the calls and draws recorded so far.
    void clear_recording();

protected:
    void submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count, const uint16_t* indices,
                uint32_t index_count, batch_join join) override;
    void render_state_changed(render_state s, uint32_t v) override;
    void stage_state_changed(texture_stage_state s, uint32_t v) override;
    void transform_changed(transform_kind k) override;
    void material_changed() override;
    void light_changed(uint32_t index) override;
    void light_enable_changed(uint32_t index, bool on) override;
    void texture_bound(device_texture* t) override;
    void viewport_changed() override;
    void scissor_changed() override;

private:
    void log(device_call kind, uint32_t what = 0, uint32_t value = 0) { calls_.push_back({kind, what, value}); }

    std::vector<recorded_call> calls_;
    std::vector<recorded_draw> draws_;
    std::vector<recorded_states> states_;
    std::vector<device_material> materials_;
    bool material_recorded_ = false;  // materials_ ends with the current material
    std::vector<lit_vertex> vertices_;
    std::vector<uint16_t> indices_;
    uint32_t clear_colour_ = 0;
    std::vector<uint32_t> frame_;
};
