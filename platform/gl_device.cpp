// The OpenGL 2.1 back end of the device. Lighting arrives done (vertex colours); GL's own
// lighting stays off. States reach GL at the next draw, and only those that changed.
//
// Quads (see render_device::draw_call_count) are gathered into arrays of triangles. Small
// textures are packed onto atlas pages (platform/texture_atlas.h), so that quads of different
// textures on one page still go in one array; a texture keeps a GL texture of its own for the
// draws a page cannot serve: not a quad, texture coordinates outside 0..1, clamped addressing,
// mipmaps, a large image, or pixels that change more than once after they were made. Textures
// reach GL at the first draw that needs them. A draw whose fragments all come out opaque is
// drawn with blending and the alpha test off where they would leave it as drawn; in such a batch
// without the depth test, a quad drawn again at the same corners covers the first, which is left
// out. Every k_flush_primitives primitives GL is flushed, so that a rasteriser that starts at a
// flush draws while the rest of the frame is built.
//
// Coordinates: the device's transforms map depth to 0..1 and put pixel centres on whole screen
// coordinates; the matrix loaded into GL maps depth to GL's -1..1 and moves the picture by half
// a pixel so that the same pixels are covered.
#include "platform/gl_device.h"

#include "platform/gl_states.h"
#include "platform/gl_window.h"
#include "platform/texture_atlas.h"

#include <SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace {

enum sampler_slot { applied_min, applied_mag, applied_wrap_s, applied_wrap_t, applied_count };

// A GL texture object and the sampler state last set on it (~0u: not known).
struct gl_texture_object {
    GLuint name = 0;
    uint32_t applied[applied_count] = {~0u, ~0u, ~0u, ~0u};
};

// What the device keeps of a texture (device_texture::handle is its index): its own GL
// texture, made when a draw first needs it, and its place on an atlas page.
struct texture_record {
    device_texture* texture = nullptr;
    gl_texture_object alone;
    bool alone_current = false; // alone holds the pixels as they are
    atlas_slot slot;            // page -1: on no page
    bool slot_current = false;
    bool opaque = false;
    bool opaque_current = false;
    uint32_t changes = 0;       // uploads asked for since it was made
};

// Where a draw takes its texels from and how its fragments are written.
struct draw_route {
    gl_texture_object* object = nullptr; // null: untextured
    bool plain = false;     // opaque fragments that blending and the alpha test would leave as drawn
    bool on_page = false;   // texture coordinates go to the image's place on an atlas page
    float u0 = 0, v0 = 0, u_scale = 1, v_scale = 1;

    bool same_batch(const draw_route& o) const { return object == o.object && plain == o.plain; }
};

// The corners of a quad, exactly as given, as a key of the quads in a batch.
struct quad_corners {
    float p[12];
    bool operator==(const quad_corners& o) const { return std::memcmp(p, o.p, sizeof p) == 0; }
};

struct quad_corners_hash {
    size_t operator()(const quad_corners& q) const
    {
        uint32_t bits[12];
        std::memcpy(bits, q.p, sizeof bits);
        size_t h = 14695981039346656037ull;
        for (uint32_t b : bits)
            h = (h ^ b) * 1099511628211ull;
        return h;
    }
};

constexpr uint32_t k_atlas_page_size = 1024;
constexpr uint32_t k_atlas_pages = 8;
constexpr uint32_t k_atlas_largest = 128; // a texture with a longer side keeps to its own
constexpr uint32_t k_flush_primitives = 512;

GLenum gl_primitive(primitive_type t)
{
    switch (t) {
    case primitive_type::point_list: return GL_POINTS;
    case primitive_type::line_strip: return GL_LINE_STRIP;
    case primitive_type::triangle_list: return GL_TRIANGLES;
    case primitive_type::triangle_strip: return GL_TRIANGLE_STRIP;
    }
    return GL_POINTS;
}

GLenum gl_source(uint32_t arg)
{
    return static_cast<texture_arg>(arg) == texture_arg::texture ? GL_TEXTURE : GL_PRIMARY_COLOR;
}

void set_enabled(GLenum cap, bool on)
{
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

class gl_device final : public render_device {
public:
    gl_device(uint32_t width, uint32_t height, int drawable_width, int drawable_height);
    ~gl_device() override;

    void clear(uint32_t flags, uint32_t argb, float z) override;
    void begin_scene() override { finish_batch(); }
    void end_scene() override { finish_batch(); }
    bool present() override;
    bool read_frame(std::vector<uint32_t>& argb) override;

protected:
    void submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count, const uint16_t* indices,
                uint32_t index_count, batch_join join) override;
    void texture_created(device_texture* t) override;
    void texture_changed(device_texture* t) override;
    void texture_released(device_texture* t) override;

private:
    // The quads of the open batch go to GL as one array of triangles; the next draw opens anew.
    void flush_batch();
    void finish_batch();
    void hide_covered_quad(const lit_vertex* quad);
    void drawn(uint32_t primitives);
    draw_route route(const lit_vertex* vertices, uint32_t count, bool quad);
    bool page_serves(const texture_record& r, const lit_vertex* quad);
    bool plain_fragments(texture_record* r, const lit_vertex* vertices, uint32_t count);
    bool opaque(texture_record& r);
    gl_texture_object* alone_object(texture_record& r);
    void upload_to_page(texture_record& r);
    void leave_page(texture_record& r);
    void apply_changes(const draw_route& r);
    void apply_render_states();
    void apply_stage();
    void apply_sampler(gl_texture_object& o, bool mipmaps);
    void apply_viewport();
    void apply_scissor();
    void bind(GLuint name);
    void upload(device_texture* t, GLuint name);
    bool texturing() const;

    int drawable_width_, drawable_height_;
    float scale_ = 1.0f;
    int offset_x_ = 0, offset_y_ = 0;
    const lit_vertex* array_ = nullptr; // the vertex array the GL pointers point into
    GLuint bound_ = 0;
    bool texture_enabled_ = false;
    bool blend_on_ = false, alpha_test_on_ = false; // as GL has them
    std::vector<lit_vertex> batch_;      // four vertices a quad, as their strips give them
    draw_route batch_route_;
    std::unordered_map<quad_corners, uint32_t, quad_corners_hash> batch_corners_; // first vertex of each
    uint32_t unflushed_primitives_ = 0; // drawn since GL was last flushed
    std::deque<texture_record> records_; // stays in place as it grows
    std::vector<uint32_t> free_records_;
    atlas_packer atlas_{k_atlas_page_size, k_atlas_pages};
    gl_texture_object pages_[k_atlas_pages];
    std::vector<uint32_t> texels_, bordered_; // conversion buffers of page uploads
};

// The two triangles of each quad strip (0 1 2 and 1 3 2: the strip's own winding and first
// vertices), for as many quads as 16-bit indices reach.
constexpr uint32_t k_batch_quads = 16384;
const std::vector<uint16_t>& quad_indices()
{
    static const std::vector<uint16_t> indices = [] {
        std::vector<uint16_t> v;
        v.reserve(k_batch_quads * 6);
        for (uint32_t q = 0; q < k_batch_quads; ++q) {
            const auto b = static_cast<uint16_t>(q * 4);
            for (uint16_t k : {0, 1, 2, 1, 3, 2})
                v.push_back(static_cast<uint16_t>(b + k));
        }
        return v;
    }();
    return indices;
}

gl_device::gl_device(uint32_t width, uint32_t height, int drawable_width, int drawable_height)
    : render_device(width, height), drawable_width_(drawable_width), drawable_height_(drawable_height)
{
    if (drawable_width_ != static_cast<int>(width) || drawable_height_ != static_cast<int>(height)) {
        scale_ = std::min(static_cast<float>(drawable_width_) / width, static_cast<float>(drawable_height_) / height);
        offset_x_ = static_cast<int>((drawable_width_ - width * scale_) / 2);
        offset_y_ = static_cast<int>((drawable_height_ - height * scale_) / 2);
    }
    glDisable(GL_LIGHTING);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFrontFace(GL_CCW);
    glDepthFunc(GL_LEQUAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    // Flat shading takes a triangle's colour from its first vertex.
    using provoking_fn = void (*)(GLenum);
    auto provoking = reinterpret_cast<provoking_fn>(SDL_GL_GetProcAddress("glProvokingVertex"));
    if (!provoking)
        provoking = reinterpret_cast<provoking_fn>(SDL_GL_GetProcAddress("glProvokingVertexEXT"));
    if (provoking)
        provoking(GL_FIRST_VERTEX_CONVENTION);
    if (scale_ != 1.0f) { // the border around a scaled frame
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

gl_device::~gl_device()
{
    batch_.clear();  // nothing more is drawn
    for (device_texture* t : live_textures())
        texture_released(t);
}

void gl_device::bind(GLuint name)
{
    if (bound_ != name) {
        glBindTexture(GL_TEXTURE_2D, name);
        bound_ = name;
    }
}

bool gl_device::texturing() const
{
    return get_texture() &&
           static_cast<texture_op>(get_texture_stage_state(texture_stage_state::colour_op)) != texture_op::disable;
}

void gl_device::apply_render_states()
{
    const uint32_t dirty = dirty_states_;
    dirty_states_ = 0;
    auto changed = [dirty](render_state s) { return (dirty >> static_cast<int>(s)) & 1; };
    auto value = [this](render_state s) { return get_render_state(s); };
    if (changed(render_state::z_enable))
        set_enabled(GL_DEPTH_TEST, static_cast<z_mode>(value(render_state::z_enable)) != z_mode::off);
    if (changed(render_state::z_write))
        glDepthMask(value(render_state::z_write) ? GL_TRUE : GL_FALSE);
    if (changed(render_state::shade_mode))
        glShadeModel(static_cast<shade_mode>(value(render_state::shade_mode)) == shade_mode::flat ? GL_FLAT : GL_SMOOTH);
    if (changed(render_state::alpha_ref) || changed(render_state::alpha_func))
        glAlphaFunc(gl_compare(value(render_state::alpha_func)),
                    std::min<uint32_t>(value(render_state::alpha_ref), 255) / 255.0f);
    if (changed(render_state::src_blend) || changed(render_state::dest_blend))
        glBlendFunc(gl_blend(value(render_state::src_blend)), gl_blend(value(render_state::dest_blend)));
    if (changed(render_state::cull_mode)) {
        // GL's front faces are those counter-clockwise as seen on the screen.
        const auto mode = static_cast<cull_mode>(value(render_state::cull_mode));
        set_enabled(GL_CULL_FACE, mode != cull_mode::none);
        glCullFace(mode == cull_mode::clockwise ? GL_BACK : GL_FRONT);
    }
    if (changed(render_state::fill_mode)) {
        const auto mode = static_cast<fill_mode>(value(render_state::fill_mode));
        glPolygonMode(GL_FRONT_AND_BACK,
                      mode == fill_mode::point ? GL_POINT : mode == fill_mode::wireframe ? GL_LINE : GL_FILL);
    }
    if (changed(render_state::dither))
        set_enabled(GL_DITHER, value(render_state::dither) != 0);
}

void gl_device::apply_stage()
{
    const uint32_t dirty = dirty_stage_states_;
    const uint32_t combine_bits = (1u << static_cast<int>(texture_stage_state::min_filter)) - 1;
    if (!(dirty & combine_bits))
        return;
    dirty_stage_states_ &= ~combine_bits;
    auto stage = [this](texture_stage_state s) { return get_texture_stage_state(s); };
    struct channel {
        GLenum combine, source0, source1;
        texture_stage_state op, arg1, arg2;
    };
    const channel channels[2] = {
        {GL_COMBINE_RGB, GL_SOURCE0_RGB, GL_SOURCE1_RGB, texture_stage_state::colour_op,
         texture_stage_state::colour_arg1, texture_stage_state::colour_arg2},
        {GL_COMBINE_ALPHA, GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA, texture_stage_state::alpha_op,
         texture_stage_state::alpha_arg1, texture_stage_state::alpha_arg2},
    };
    for (const channel& c : channels) {
        switch (static_cast<texture_op>(stage(c.op))) {
        case texture_op::modulate:
            glTexEnvi(GL_TEXTURE_ENV, c.combine, GL_MODULATE);
            glTexEnvi(GL_TEXTURE_ENV, c.source0, gl_source(stage(c.arg1)));
            glTexEnvi(GL_TEXTURE_ENV, c.source1, gl_source(stage(c.arg2)));
            break;
        case texture_op::select_arg1:
            glTexEnvi(GL_TEXTURE_ENV, c.combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, c.source0, gl_source(stage(c.arg1)));
            break;
        case texture_op::select_arg2:
            glTexEnvi(GL_TEXTURE_ENV, c.combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, c.source0, gl_source(stage(c.arg2)));
            break;
        case texture_op::disable:
            glTexEnvi(GL_TEXTURE_ENV, c.combine, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, c.source0, GL_PRIMARY_COLOR);
            break;
        }
    }
}

// The stage's filters and addressing apply to whatever texture is bound, so they are set on the
// texture object at the draw when they differ from what it last got.
void gl_device::apply_sampler(gl_texture_object& o, bool mipmaps)
{
    auto stage = [this](texture_stage_state s) { return get_texture_stage_state(s); };
    const bool min_linear = static_cast<texture_filter>(stage(texture_stage_state::min_filter)) == texture_filter::linear;
    const auto mip = static_cast<texture_filter>(stage(texture_stage_state::mip_filter));
    GLenum min = min_linear ? GL_LINEAR : GL_NEAREST;
    if (mipmaps && mip == texture_filter::point)
        min = min_linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else if (mipmaps && mip == texture_filter::linear)
        min = min_linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    const GLenum mag =
        static_cast<texture_filter>(stage(texture_stage_state::mag_filter)) == texture_filter::linear ? GL_LINEAR : GL_NEAREST;
    auto wrap = [&](texture_stage_state s) {
        return static_cast<texture_address>(stage(s)) == texture_address::clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    };
    const uint32_t wanted[applied_count] = {min, mag, static_cast<uint32_t>(wrap(texture_stage_state::address_u)),
                                            static_cast<uint32_t>(wrap(texture_stage_state::address_v))};
    const GLenum names[applied_count] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S,
                                         GL_TEXTURE_WRAP_T};
    for (int i = 0; i < applied_count; ++i) {
        if (o.applied[i] != wanted[i]) {
            glTexParameteri(GL_TEXTURE_2D, names[i], static_cast<GLint>(wanted[i]));
            o.applied[i] = wanted[i];
        }
    }
}

void gl_device::apply_viewport()
{
    const device_viewport& vp = get_viewport();
    const int bottom = static_cast<int>(height()) - static_cast<int>(vp.y + vp.height);
    glViewport(offset_x_ + static_cast<int>(vp.x * scale_), offset_y_ + static_cast<int>(bottom * scale_),
               static_cast<int>(vp.width * scale_), static_cast<int>(vp.height * scale_));
    glDepthRange(vp.min_z, vp.max_z);
}

// GL's scissor box counts rows from the bottom of the drawable area.
void gl_device::apply_scissor()
{
    device_rect r;
    if (!get_scissor(r)) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    const int bottom = static_cast<int>(height()) - (r.y + r.height);
    glEnable(GL_SCISSOR_TEST);
    glScissor(offset_x_ + static_cast<int>(r.x * scale_), offset_y_ + static_cast<int>(bottom * scale_),
              std::max(0, static_cast<int>(r.width * scale_)), std::max(0, static_cast<int>(r.height * scale_)));
}

void gl_device::apply_changes(const draw_route& r)
{
    if (dirty_ & dirty_render_states)
        apply_render_states();
    if (dirty_ & dirty_viewport)
        apply_viewport();
    if (dirty_ & dirty_scissor)
        apply_scissor();
    if (dirty_ & (dirty_transforms | dirty_viewport)) {
        const matrix4 m = gl_clip_matrix(get_transform(transform_kind::world), get_transform(transform_kind::view),
                                         get_transform(transform_kind::projection), get_viewport());
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&m.m[0][0]);
    }
    if (dirty_ & dirty_stage)
        apply_stage();
    const bool want_texture = r.object != nullptr;
    if (want_texture != texture_enabled_) {
        set_enabled(GL_TEXTURE_2D, want_texture);
        texture_enabled_ = want_texture;
    }
    if (want_texture) {
        bind(r.object->name);
        apply_sampler(*r.object, !r.on_page && get_texture()->mipmaps);
    }
    const bool blend = !r.plain && get_render_state(render_state::alpha_blend) != 0;
    const bool alpha_test = !r.plain && get_render_state(render_state::alpha_test) != 0;
    if (blend != blend_on_) {
        set_enabled(GL_BLEND, blend);
        blend_on_ = blend;
    }
    if (alpha_test != alpha_test_on_) {
        set_enabled(GL_ALPHA_TEST, alpha_test);
        alpha_test_on_ = alpha_test;
    }
    dirty_ = 0;
}

void gl_device::flush_batch()
{
    if (batch_.empty())
        return;
    glVertexPointer(3, GL_FLOAT, sizeof(lit_vertex), &batch_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(lit_vertex), &batch_[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(lit_vertex), &batch_[0].r);
    array_ = nullptr;
    const auto quads = static_cast<uint32_t>(batch_.size() / 4);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_SHORT, quad_indices().data());
    batch_.clear();
    batch_corners_.clear();
    drawn(quads * 2);
}

void gl_device::finish_batch()
{
    flush_batch();
    break_batch();
}

// With blending, the alpha test and the depth test off, a quad of the batch drawn again at the
// same corners is covered pixel for pixel: the earlier one shrinks to a point and draws nothing.
void gl_device::hide_covered_quad(const lit_vertex* quad)
{
    quad_corners key;
    for (int i = 0; i < 4; ++i) {
        key.p[3 * i] = quad[i].x;
        key.p[3 * i + 1] = quad[i].y;
        key.p[3 * i + 2] = quad[i].z;
    }
    const auto first = static_cast<uint32_t>(batch_.size());
    auto [at, added] = batch_corners_.try_emplace(key, first);
    if (added)
        return;
    lit_vertex* covered = &batch_[at->second];
    for (int i = 1; i < 4; ++i) {
        covered[i].x = covered[0].x;
        covered[i].y = covered[0].y;
        covered[i].z = covered[0].z;
    }
    at->second = first;
}

void gl_device::drawn(uint32_t primitives)
{
    unflushed_primitives_ += primitives;
    if (unflushed_primitives_ >= k_flush_primitives) {
        glFlush();
        unflushed_primitives_ = 0;
    }
}

bool gl_device::opaque(texture_record& r)
{
    if (!r.opaque_current) {
        r.opaque = texture_opaque(*r.texture);
        r.opaque_current = true;
    }
    return r.opaque;
}

// Blending and the alpha test leave a fragment of alpha 1 as drawn when the blend takes all of
// the source and none of the target at that alpha and the test passes it.
bool gl_device::plain_fragments(texture_record* r, const lit_vertex* vertices, uint32_t count)
{
    auto state = [this](render_state s) { return get_render_state(s); };
    const bool blend = state(render_state::alpha_blend) != 0, test = state(render_state::alpha_test) != 0;
    if (!blend && !test)
        return false;
    if (blend) {
        const auto src = static_cast<blend_factor>(state(render_state::src_blend));
        const auto dest = static_cast<blend_factor>(state(render_state::dest_blend));
        if ((src != blend_factor::one && src != blend_factor::src_alpha) ||
            (dest != blend_factor::zero && dest != blend_factor::inv_src_alpha))
            return false;
    }
    if (test) {
        const uint32_t ref = std::min<uint32_t>(state(render_state::alpha_ref), 255);
        switch (static_cast<compare_func>(state(render_state::alpha_func))) {
        case compare_func::never: return false;
        case compare_func::less: return false;
        case compare_func::equal: if (ref != 255) return false; break;
        case compare_func::less_equal: if (ref != 255) return false; break;
        case compare_func::greater: if (ref == 255) return false; break;
        case compare_func::not_equal: if (ref == 255) return false; break;
        case compare_func::greater_equal:
        case compare_func::always: break;
        }
    }
    bool vertices_opaque = true;
    for (uint32_t i = 0; i < count && vertices_opaque; ++i)
        vertices_opaque = vertices[i].a == 255;
    if (!r)
        return vertices_opaque;
    auto stage = [this](texture_stage_state s) { return get_texture_stage_state(s); };
    auto arg_opaque = [&](texture_stage_state arg) {
        return static_cast<texture_arg>(stage(arg)) == texture_arg::texture ? opaque(*r) : vertices_opaque;
    };
    switch (static_cast<texture_op>(stage(texture_stage_state::alpha_op))) {
    case texture_op::modulate: return arg_opaque(texture_stage_state::alpha_arg1) && arg_opaque(texture_stage_state::alpha_arg2);
    case texture_op::select_arg1: return arg_opaque(texture_stage_state::alpha_arg1);
    case texture_op::select_arg2: return arg_opaque(texture_stage_state::alpha_arg2);
    case texture_op::disable: return vertices_opaque;
    }
    return false;
}

// A page serves a quad whose texture coordinates stay within the image and wrap, from a small
// texture without mipmaps whose pixels changed at most once after it was made.
bool gl_device::page_serves(const texture_record& r, const lit_vertex* quad)
{
    const device_texture& t = *r.texture;
    if (t.mipmaps || t.width > k_atlas_largest || t.height > k_atlas_largest || r.changes > 1)
        return false;
    auto wraps = [this](texture_stage_state s) {
        return static_cast<texture_address>(get_texture_stage_state(s)) == texture_address::wrap;
    };
    if (!wraps(texture_stage_state::address_u) || !wraps(texture_stage_state::address_v))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!(quad[i].u >= 0.0f && quad[i].u <= 1.0f && quad[i].v >= 0.0f && quad[i].v <= 1.0f))
            return false;
    return true;
}

void gl_device::upload_to_page(texture_record& r)
{
    if (r.slot.page < 0) {
        r.slot = atlas_.place(r.texture->width + 2, r.texture->height + 2);
        if (r.slot.page < 0)
            return;
        r.slot_current = false;
    }
    gl_texture_object& page = pages_[r.slot.page];
    if (!page.name) {
        glGenTextures(1, &page.name);
        std::fill(std::begin(page.applied), std::end(page.applied), ~0u);
        glBindTexture(GL_TEXTURE_2D, page.name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, k_atlas_page_size, k_atlas_page_size, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        glBindTexture(GL_TEXTURE_2D, bound_);
    }
    if (r.slot_current)
        return;
    texture_to_argb(*r.texture, texels_);
    add_wrapped_border(texels_, r.texture->width, r.texture->height, bordered_);
    glBindTexture(GL_TEXTURE_2D, page.name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(r.slot.x), static_cast<GLint>(r.slot.y),
                    static_cast<GLsizei>(r.slot.width), static_cast<GLsizei>(r.slot.height), GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, bordered_.data());
    glBindTexture(GL_TEXTURE_2D, bound_);
    r.slot_current = true;
}

void gl_device::leave_page(texture_record& r)
{
    if (r.slot.page < 0)
        return;
    const int32_t page = r.slot.page;
    atlas_.release(r.slot);
    r.slot = {};
    if (atlas_.live(page) == 0 && pages_[page].name) {
        if (bound_ == pages_[page].name)
            bind(0);
        glDeleteTextures(1, &pages_[page].name);
        pages_[page] = {};
    }
}

gl_texture_object* gl_device::alone_object(texture_record& r)
{
    if (!r.alone.name) {
        glGenTextures(1, &r.alone.name);
        r.alone_current = false;
    }
    if (!r.alone_current) {
        upload(r.texture, r.alone.name);
        r.alone_current = true;
    }
    return &r.alone;
}

draw_route gl_device::route(const lit_vertex* vertices, uint32_t count, bool quad)
{
    draw_route out;
    texture_record* r = texturing() ? &records_[get_texture()->handle] : nullptr;
    if (r) {
        if (quad && page_serves(*r, vertices)) {
            upload_to_page(*r);
            if (r->slot.page >= 0) {
                const float page = static_cast<float>(k_atlas_page_size);
                out.object = &pages_[r->slot.page];
                out.on_page = true;
                out.u0 = static_cast<float>(r->slot.x + 1) / page;
                out.v0 = static_cast<float>(r->slot.y + 1) / page;
                out.u_scale = static_cast<float>(r->texture->width) / page;
                out.v_scale = static_cast<float>(r->texture->height) / page;
            }
        }
        if (!out.object)
            out.object = alone_object(*r);
    }
    out.plain = plain_fragments(r, vertices, count);
    return out;
}

void gl_device::submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                       const uint16_t* indices, uint32_t index_count, batch_join join)
{
    const bool quad = type == primitive_type::triangle_strip && vertex_count == 4 && !indices;
    const draw_route r = route(vertices, vertex_count, quad);
    if (quad) {
        // Quads that differ in their texture only still join when they share the GL texture.
        if (batch_.empty() || join == batch_join::starts || !r.same_batch(batch_route_) ||
            batch_.size() >= k_batch_quads * 4) {
            flush_batch();
            apply_changes(r);
            batch_route_ = r;
            ++draw_calls_;
        }
        dirty_ &= ~dirty_texture;
        if (r.plain && static_cast<z_mode>(get_render_state(render_state::z_enable)) == z_mode::off)
            hide_covered_quad(vertices);
        const size_t at = batch_.size();
        batch_.insert(batch_.end(), vertices, vertices + 4);
        if (r.on_page) {
            for (size_t i = at; i < at + 4; ++i) {
                batch_[i].u = r.u0 + batch_[i].u * r.u_scale;
                batch_[i].v = r.v0 + batch_[i].v * r.v_scale;
            }
        }
        return;
    }
    flush_batch();
    apply_changes(r);
    if (vertices != array_) {
        glVertexPointer(3, GL_FLOAT, sizeof(lit_vertex), &vertices->x);
        glTexCoordPointer(2, GL_FLOAT, sizeof(lit_vertex), &vertices->u);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(lit_vertex), &vertices->r);
        array_ = vertices;
    }
    if (indices)
        glDrawElements(gl_primitive(type), static_cast<GLsizei>(index_count), GL_UNSIGNED_SHORT, indices);
    else
        glDrawArrays(gl_primitive(type), 0, static_cast<GLsizei>(vertex_count));
    ++draw_calls_;
    // A segment from a point to itself covers no pixel by OpenGL's rules; it is drawn as the point.
    if (type == primitive_type::line_strip) {
        const uint32_t count = indices ? index_count : vertex_count;
        for (uint32_t i = 0; i + 1 < count; ++i) {
            const uint32_t a = indices ? indices[i] : i, b = indices ? indices[i + 1] : i + 1;
            if (vertices[a].x == vertices[b].x && vertices[a].y == vertices[b].y && vertices[a].z == vertices[b].z)
                glDrawArrays(GL_POINTS, static_cast<GLint>(a), 1);
        }
    }
    const uint32_t count = indices ? index_count : vertex_count;
    drawn(type == primitive_type::triangle_list ? count / 3 : type == primitive_type::triangle_strip ? count - 2 : count);
}

void gl_device::clear(uint32_t flags, uint32_t argb, float z)
{
    finish_batch();
    GLbitfield mask = 0;
    if (flags & k_clear_target) {
        glClearColor(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
                     (argb >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & k_clear_depth) {
        glClearDepth(z);
        glDepthMask(GL_TRUE); // the depth buffer is cleared whatever the depth writes
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (!mask)
        return;
    if (dirty_ & dirty_viewport) {
        apply_viewport();
        dirty_ &= ~dirty_viewport;
        dirty_ |= dirty_transforms; // the half-pixel shift follows the viewport
    }
    const device_viewport& vp = get_viewport();
    const int bottom = static_cast<int>(height()) - static_cast<int>(vp.y + vp.height);
    glEnable(GL_SCISSOR_TEST);
    glScissor(offset_x_ + static_cast<int>(vp.x * scale_), offset_y_ + static_cast<int>(bottom * scale_),
              static_cast<int>(vp.width * scale_), static_cast<int>(vp.height * scale_));
    glClear(mask);
    glDisable(GL_SCISSOR_TEST);
    dirty_ |= dirty_scissor; // the draws' own limit is set again at the next draw
    if (flags & k_clear_depth)
        glDepthMask(get_render_state(render_state::z_write) ? GL_TRUE : GL_FALSE);
}

bool gl_device::present()
{
    finish_batch();
    gl_window_swap();
    return true;
}

bool gl_device::read_frame(std::vector<uint32_t>& argb)
{
    finish_batch();
    const int w = static_cast<int>(width() * scale_), h = static_cast<int>(height() * scale_);
    std::vector<uint32_t> raw(static_cast<size_t>(w) * h);
    glReadBuffer(GL_BACK);
    glReadPixels(offset_x_, offset_y_, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, raw.data());
    if (glGetError() != GL_NO_ERROR)
        return false;
    argb.resize(static_cast<size_t>(width()) * height());
    for (uint32_t y = 0; y < height(); ++y) {
        // GL's rows run bottom-up; the frame's rows top-down.
        const int source_y = h - 1 - std::min(h - 1, static_cast<int>(y * scale_));
        for (uint32_t x = 0; x < width(); ++x) {
            const int source_x = std::min(w - 1, static_cast<int>(x * scale_));
            argb[static_cast<size_t>(y) * width() + x] = raw[static_cast<size_t>(source_y) * w + source_x] | 0xFF000000u;
        }
    }
    return true;
}

void gl_device::upload(device_texture* t, GLuint name)
{
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, t->mipmaps ? GL_TRUE : GL_FALSE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, t->mipmaps ? 1000 : 0);
    const GLsizei w = static_cast<GLsizei>(t->width), h = static_cast<GLsizei>(t->height);
    switch (t->format) {
    case texture_format::a8r8g8b8:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, t->pixels.data());
        break;
    case texture_format::a4r4g4b4:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA4, w, h, 0, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, t->pixels.data());
        break;
    case texture_format::r5g6b5:
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, t->pixels.data());
        break;
    case texture_format::dxt3: {
        std::vector<uint32_t> texels;
        texture_to_argb(*t, texels);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, texels.data());
        break;
    }
    }
    glBindTexture(GL_TEXTURE_2D, bound_);
}

// GL work waits for the first draw that needs the texture.
void gl_device::texture_created(device_texture* t)
{
    if (free_records_.empty()) {
        free_records_.push_back(static_cast<uint32_t>(records_.size()));
        records_.emplace_back();
    }
    t->handle = free_records_.back();
    free_records_.pop_back();
    records_[t->handle] = {};
    records_[t->handle].texture = t;
}

void gl_device::texture_changed(device_texture* t)
{
    flush_batch();
    texture_record& r = records_[t->handle];
    r.alone_current = r.slot_current = r.opaque_current = false;
    if (++r.changes > 1)
        leave_page(r);
}

void gl_device::texture_released(device_texture* t)
{
    flush_batch();
    texture_record& r = records_[t->handle];
    leave_page(r);
    if (r.alone.name) {
        if (bound_ == r.alone.name)
            bind(0);
        glDeleteTextures(1, &r.alone.name);
    }
    r = {};
    free_records_.push_back(t->handle);
    t->handle = 0;
}

} // namespace

std::unique_ptr<render_device> create_gl_device(uint32_t width, uint32_t height, std::string& error)
{
    if (!gl_window_is_open() || !SDL_GL_GetCurrentContext()) {
        error = "no OpenGL context";
        return nullptr;
    }
    int dw = 0, dh = 0;
    gl_window_drawable_size(dw, dh);
    if (dw <= 0 || dh <= 0) {
        error = "the window has no drawable area";
        return nullptr;
    }
    return std::make_unique<gl_device>(width, height, dw, dh);
}
