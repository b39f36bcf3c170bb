// The 3D device: render and texture-stage states, transforms, material, light slots, textures
// and primitives, with lighting computed per vertex on the CPU.
//
// Every state is cached: a set that does not change the value is dropped, and a back end sees
// only what changed since its last draw. Two back ends stand behind this interface: OpenGL for
// the program (platform/gl_device) and a recording device for tests (platform/recording_device).
//
// Lit colour of a vertex, with lighting on: emissive + material ambient × device ambient
// + Σ enabled lights (material diffuse × light colour × max(0, N·L) × attenuation × spot factor),
// each channel clamped to 0..1; alpha is the material's diffuse alpha. A light adds nothing to a
// vertex farther away than its range. Positions, normals and lights are taken to view space with
// the world and view transforms in force at the draw. With lighting off every vertex is white.
#pragma once

#include "platform/device_texture.h"
#include "platform/device_types.h"
#include "platform/gl_window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// How a draw stands to the quads drawn just before it (see render_device::draw_call_count).
enum class batch_join : uint8_t {
    starts,        // not a quad, or a quad with other states: a call of its own
    other_texture, // a quad with the same states and another texture: a call of its own, unless
                   // the back end draws both textures from one of its own
    continues,     // a quad with the same states and texture: the batch goes on
};

// A rectangle of the target in pixels from its top-left corner.
struct device_rect {
    int32_t x, y, width, height;
};

// The states a draw is made with, besides its texture, material and lights.
struct draw_states {
    uint32_t render[static_cast<int>(render_state::count)];
    uint32_t stage[static_cast<int>(texture_stage_state::count)];
    matrix4 transforms[static_cast<int>(transform_kind::count)];
    device_viewport viewport;
    bool scissor_on;
    device_rect scissor; // all 0 while draws are not limited

    uint32_t get(render_state s) const { return render[static_cast<int>(s)]; }
    uint32_t get(texture_stage_state s) const { return stage[static_cast<int>(s)]; }
    const matrix4& get(transform_kind k) const { return transforms[static_cast<int>(k)]; }
};

// Whether draws made with a and with b are drawn alike: all their states but the lighting and
// the ambient light, which are lit into the vertices.
bool same_drawing_states(const draw_states& a, const draw_states& b);

class render_device {
public:
    render_device(uint32_t width, uint32_t height);
    virtual ~render_device();
    render_device(const render_device&) = delete;
    render_device& operator=(const render_device&) = delete;

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // Distinct for every device made in this process: what was made on one device is never
    // taken for another's, even when the second takes the first one's address.
    uint64_t serial() const { return serial_; }

    void set_render_state(render_state state, uint32_t value);
    template <class E>
    void set_render_state(render_state state, E value) { set_render_state(state, static_cast<uint32_t>(value)); }
    uint32_t get_render_state(render_state state) const { return states_[static_cast<int>(state)]; }

    // Stage 0, the only stage.
    void set_texture_stage_state(texture_stage_state state, uint32_t value);
    template <class E>
    void set_texture_stage_state(texture_stage_state state, E value)
    {
        set_texture_stage_state(state, static_cast<uint32_t>(value));
    }
    uint32_t get_texture_stage_state(texture_stage_state state) const { return stage_[static_cast<int>(state)]; }

    void set_transform(transform_kind kind, const matrix4& m);
    const matrix4& get_transform(transform_kind kind) const { return transforms_[static_cast<int>(kind)]; }

    void set_viewport(const device_viewport& viewport);
    const device_viewport& get_viewport() const { return viewport_; }

    void set_material(const device_material& material);
    const device_material& get_material() const { return material_; }

    // Light slots 0 to 99; other indices are refused (false).
    bool set_light(uint32_t index, const device_light& light);
    bool get_light(uint32_t index, device_light& out) const;
    bool light_enable(uint32_t index, bool on);
    bool is_light_enabled(uint32_t index) const;

    // The texture of stage 0; null draws untextured.
    void set_texture(device_texture* texture);
    device_texture* get_texture() const { return texture_; }

    // Draws with the current states. False, drawing nothing, for a null or too short vertex
    // array or an index that is not below vertex_count.
    bool draw_primitive(primitive_type type, const device_vertex* vertices, uint32_t count);
    bool draw_indexed_primitive(primitive_type type, const device_vertex* vertices, uint32_t vertex_count,
                                const uint16_t* indices, uint32_t index_count);

    // Draws vertices that carry their own colours: the current states, texture and transforms
    // apply, lighting and the material do not. Indices null for a non-indexed draw; refused as
    // draw_primitive and draw_indexed_primitive refuse.
    bool draw_coloured_primitive(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                                 const uint16_t* indices = nullptr, uint32_t index_count = 0);

    // Draw calls the back end made so far. Consecutive quads (triangle strips of four vertices,
    // not indexed) drawn with the same texture, transforms, viewport, scissor, stage states and
    // render states form a batch, drawn with one call: states changed and set back between them
    // do not part them, and the ambient light, lighting and the material, applied to the
    // vertices, do not count. Any other draw is a call of its own. A back end may join batches
    // further where its own state does not change (the OpenGL one: textures on one atlas page).
    uint64_t draw_call_count() const { return draw_calls_; }

    // Limits the draws to a rectangle of the target (clears are not limited); null lifts it.
    void set_scissor(const device_rect* rect);
    // The rectangle; false while draws are not limited.
    bool get_scissor(device_rect& out) const;

    draw_states current_states() const;

    // Clears the viewport's area of the target (colour 0xAARRGGBB) and/or the depth buffer.
    virtual void clear(uint32_t flags, uint32_t argb, float z = 1.0f) = 0;
    virtual void begin_scene() = 0;
    virtual void end_scene() = 0;
    // Shows the finished frame without waiting for the vertical blank.
    virtual bool present() = 0;
    // The frame drawn so far, width × height texels 0xAARRGGBB, top row first.
    virtual bool read_frame(std::vector<uint32_t>& argb) = 0;

    // A texture of the given size and format, or null for a zero or too large size or an unknown
    // format. Its pixels are copied from `pixels` (rows of texture_pitch bytes, texture_rows of
    // them) or zeroed when that is null. mipmaps asks for a chain made from level 0 at every
    // upload.
    device_texture* create_texture(uint32_t width, uint32_t height, texture_format format, bool mipmaps,
                                   const void* pixels = nullptr);
    // Gives the CPU copy of the pixels; false when the texture is already locked.
    bool lock_texture(device_texture* texture, texture_lock& lock);
    // Ends a lock; the pixels are uploaded when changed is true.
    void unlock_texture(device_texture* texture, bool changed = true);
    // Frees the texture; it is unbound first when it is the current texture.
    void release_texture(device_texture* texture);

protected:
    // Dirty bits of what changed since the back end last looked.
    enum dirty_bit : uint32_t {
        dirty_render_states = 1,
        dirty_stage = 2,
        dirty_transforms = 4,
        dirty_viewport = 8,
        dirty_texture = 16,
        dirty_scissor = 32,
    };

    // Draws lit vertices; indices are null for a non-indexed draw.
    virtual void submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                        const uint16_t* indices, uint32_t index_count, batch_join join) = 0;
    // The next draw starts a new batch: back ends call it where the target changes (clear, scene
    // begin and end, present, frame read); texture uploads and releases do it here.
    void break_batch() { batch_open_ = false; }
    virtual void texture_created(device_texture*) {}
    virtual void texture_changed(device_texture*) {}
    virtual void texture_released(device_texture*) {}

    // Notifications of a change that the cache let through, for a back end that logs them.
    virtual void render_state_changed(render_state, uint32_t) {}
    virtual void stage_state_changed(texture_stage_state, uint32_t) {}
    virtual void transform_changed(transform_kind) {}
    virtual void material_changed() {}
    virtual void light_changed(uint32_t) {}
    virtual void light_enable_changed(uint32_t, bool) {}
    virtual void texture_bound(device_texture*) {}
    virtual void viewport_changed() {}
    virtual void scissor_changed() {}

    // Every texture this device made and has not released.
    std::vector<device_texture*> live_textures() const;

    uint64_t draw_calls_ = 0; // counted by the back end

    uint32_t dirty_ = ~0u;
    uint32_t dirty_states_ = ~0u; // one bit per render_state
    uint32_t dirty_stage_states_ = ~0u;

private:
    struct internals;
    void light_vertices(const device_vertex* vertices, uint32_t count);
    void prepare_lighting();
    // How the draw joins the open batch; opens one for a quad.
    batch_join join_batch(primitive_type type, uint32_t count, const uint16_t* indices);
    // A state the batch depends on was set to a new value since the last draw.
    void touch_batch() { batch_touched_ = true; }

    uint32_t width_, height_;
    uint64_t serial_;
    uint32_t states_[static_cast<int>(render_state::count)];
    uint32_t stage_[static_cast<int>(texture_stage_state::count)];
    matrix4 transforms_[static_cast<int>(transform_kind::count)];
    device_viewport viewport_;
    device_material material_;
    device_light lights_[k_device_light_slots];
    bool light_on_[k_device_light_slots];
    device_texture* texture_ = nullptr;
    bool batch_open_ = false;
    bool batch_touched_ = false;
    draw_states batch_states_ = {};   // those of the open batch's quads
    device_texture* batch_texture_ = nullptr;
    bool scissor_on_ = false;
    device_rect scissor_ = {};

    // Lighting terms, rebuilt when an input of them changes, and the live textures.
    bool lighting_stale_ = true;
    bool view_stale_ = true;
    std::unique_ptr<internals> inner_;
    std::vector<lit_vertex> lit_;
};

// Restores a render state on leaving a scope.
class render_state_guard {
public:
    render_state_guard(render_device& device, render_state state, uint32_t value);
    template <class E>
    render_state_guard(render_device& device, render_state state, E value)
        : render_state_guard(device, state, static_cast<uint32_t>(value)) {}
    ~render_state_guard();
    render_state_guard(const render_state_guard&) = delete;
    render_state_guard& operator=(const render_state_guard&) = delete;

private:
    render_device& device_;
    render_state state_;
    uint32_t saved_;
};

// Restores a texture-stage state on leaving a scope.
class stage_state_guard {
public:
    stage_state_guard(render_device& device, texture_stage_state state, uint32_t value);
    template <class E>
    stage_state_guard(render_device& device, texture_stage_state state, E value)
        : stage_state_guard(device, state, static_cast<uint32_t>(value)) {}
    ~stage_state_guard();
    stage_state_guard(const stage_state_guard&) = delete;
    stage_state_guard& operator=(const stage_state_guard&) = delete;

private:
    render_device& device_;
    texture_stage_state state_;
    uint32_t saved_;
};

// Restores a transform on leaving a scope.
class transform_guard {
public:
    transform_guard(render_device& device, transform_kind kind, const matrix4& m);
    ~transform_guard();
    transform_guard(const transform_guard&) = delete;
    transform_guard& operator=(const transform_guard&) = delete;

private:
    render_device& device_;
    transform_kind kind_;
    matrix4 saved_;
};

// The devices a program can choose from. The hardware level codes are those the device choice
// compares: transform-and-lighting is below k_device_level_raster.
constexpr uint32_t k_device_level_tl = 0xFFFFFFFA;
constexpr uint32_t k_device_level_raster = 0xFFFFFFFB;

struct render_device_info {
    uint32_t level;
    uint32_t max_lights;
};

int render_device_count();
bool render_device_describe(int index, render_device_info& out);

// Headless switch: once on, open_render_device makes recording devices and opens no window.
void render_use_recording(bool on);
// For tests: the next `count` openings of the window fail with `reason`, headless ones too, as
// they do while a display refuses connections for a moment.
void render_fail_window_opens(uint32_t count, const std::string& reason);

// Tries to open the window, in all, before open_render_device gives up.
constexpr int k_window_attempts = 5;

// Told why the window did not open and how long open_render_device waits before it tries again.
using window_retry_notice = std::function<void(const std::string& reason, uint32_t wait_ms)>;

// Opens device `index` of render_device_count() at the given size: the OpenGL device on the
// program window (opened, or switched to the mode and size when already open) or, headless, a
// recording device. Null with a reason in error when it cannot be had. colour_bits is 16 or 32.
// A window that does not open is tried again, k_window_attempts times in all, after waits of
// 100 ms, then twice as long each time (an X server that resets after its last client has left
// refuses connections for a moment); `retrying` hears of each retry before its wait.
std::unique_ptr<render_device> open_render_device(int index, uint32_t width, uint32_t height, window_mode mode,
                                                  int colour_bits, std::string& error,
                                                  const window_retry_notice& retrying = {});
