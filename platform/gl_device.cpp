// The OpenGL 2.1 back end of the device. Lighting arrives done (vertex colours); GL's own
// lighting stays off. States reach GL at the next draw, and only those that changed.
//
// Coordinates: the device's transforms map depth to 0..1 and put pixel centres on whole screen
// coordinates; the matrix loaded into GL maps depth to GL's -1..1 and moves the picture by half
// a pixel so that the same pixels are covered.
#include "platform/gl_device.h"

#include "platform/gl_window.h"

#include <SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

enum sampler_slot { applied_min, applied_mag, applied_wrap_s, applied_wrap_t, applied_count };

GLenum gl_compare(uint32_t f)
{
    switch (static_cast<compare_func>(f)) {
    case compare_func::never: return GL_NEVER;
    case compare_func::less: return GL_LESS;
    case compare_func::equal: return GL_EQUAL;
    case compare_func::less_equal: return GL_LEQUAL;
    case compare_func::greater: return GL_GREATER;
    case compare_func::not_equal: return GL_NOTEQUAL;
    case compare_func::greater_equal: return GL_GEQUAL;
    case compare_func::always: return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum gl_blend(uint32_t f)
{
    switch (static_cast<blend_factor>(f)) {
    case blend_factor::zero: return GL_ZERO;
    case blend_factor::one: return GL_ONE;
    case blend_factor::src_alpha: return GL_SRC_ALPHA;
    case blend_factor::inv_src_alpha: return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

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
                uint32_t index_count, bool joins_batch) override;
    void texture_created(device_texture* t) override;
    void texture_changed(device_texture* t) override;
    void texture_released(device_texture* t) override;
    bool holds_texture_pixels(const device_texture& t) const override;
    bool read_texture_back(device_texture* t) override;

private:
    // The quads of the open batch go to GL as one array of triangles; the next draw opens anew.
    void flush_batch();
    void finish_batch();
    void apply_changes();
    void apply_render_states();
    void apply_stage();
    void apply_sampler(device_texture* t);
    void apply_viewport();
    void apply_scissor();
    void upload(device_texture* t);
    bool texturing() const;

    int drawable_width_, drawable_height_;
    float scale_ = 1.0f;
    int offset_x_ = 0, offset_y_ = 0;
    const lit_vertex* array_ = nullptr; // the vertex array the GL pointers point into
    GLuint bound_ = 0;
    bool texture_enabled_ = false;
    std::vector<lit_vertex> batch_;      // four vertices a quad, as their strips give them
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
    if (changed(render_state::alpha_test))
        set_enabled(GL_ALPHA_TEST, value(render_state::alpha_test) != 0);
    if (changed(render_state::alpha_ref) || changed(render_state::alpha_func))
        glAlphaFunc(gl_compare(value(render_state::alpha_func)),
                    std::min<uint32_t>(value(render_state::alpha_ref), 255) / 255.0f);
    if (changed(render_state::alpha_blend))
        set_enabled(GL_BLEND, value(render_state::alpha_blend) != 0);
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
void gl_device::apply_sampler(device_texture* t)
{
    auto stage = [this](texture_stage_state s) { return get_texture_stage_state(s); };
    const bool min_linear = static_cast<texture_filter>(stage(texture_stage_state::min_filter)) == texture_filter::linear;
    const auto mip = static_cast<texture_filter>(stage(texture_stage_state::mip_filter));
    GLenum min = min_linear ? GL_LINEAR : GL_NEAREST;
    if (t->mipmaps && mip == texture_filter::point)
        min = min_linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else if (t->mipmaps && mip == texture_filter::linear)
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
        if (t->applied[i] != wanted[i]) {
            glTexParameteri(GL_TEXTURE_2D, names[i], static_cast<GLint>(wanted[i]));
            t->applied[i] = wanted[i];
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

void gl_device::apply_changes()
{
    if (dirty_ & dirty_render_states)
        apply_render_states();
    if (dirty_ & dirty_viewport)
        apply_viewport();
    if (dirty_ & dirty_scissor)
        apply_scissor();
    if (dirty_ & (dirty_transforms | dirty_viewport)) {
        const device_viewport& vp = get_viewport();
        matrix4 to_gl = matrix_identity();
        to_gl.m[2][2] = 2.0f;
        to_gl.m[3][2] = -1.0f;
        if (vp.width && vp.height) {
            to_gl.m[3][0] = 1.0f / vp.width;
            to_gl.m[3][1] = -1.0f / vp.height;
        }
        const matrix4 m = matrix_multiply(
            matrix_multiply(matrix_multiply(get_transform(transform_kind::world), get_transform(transform_kind::view)),
                            get_transform(transform_kind::projection)),
            to_gl);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&m.m[0][0]);
    }
    if (dirty_ & dirty_stage)
        apply_stage();
    const bool want_texture = texturing();
    if (want_texture != texture_enabled_) {
        set_enabled(GL_TEXTURE_2D, want_texture);
        texture_enabled_ = want_texture;
    }
    if (want_texture) {
        device_texture* t = get_texture();
        if (bound_ != t->handle) {
            glBindTexture(GL_TEXTURE_2D, t->handle);
            bound_ = t->handle;
        }
        apply_sampler(t);
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
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch_.size() / 4 * 6), GL_UNSIGNED_SHORT,
                   quad_indices().data());
    batch_.clear();
}

void gl_device::finish_batch()
{
    flush_batch();
    break_batch();
}

void gl_device::submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                       const uint16_t* indices, uint32_t index_count, bool joins_batch)
{
    if (joins_batch && batch_.size() < k_batch_quads * 4) {
        batch_.insert(batch_.end(), vertices, vertices + 4);
        return;
    }
    flush_batch();
    apply_changes();
    if (type == primitive_type::triangle_strip && vertex_count == 4 && !indices) {
        batch_.assign(vertices, vertices + 4);
        return;
    }
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
    // A segment from a point to itself covers no pixel by OpenGL's rules; it is drawn as the point.
    if (type == primitive_type::line_strip) {
        const uint32_t count = indices ? index_count : vertex_count;
        for (uint32_t i = 0; i + 1 < count; ++i) {
            const uint32_t a = indices ? indices[i] : i, b = indices ? indices[i + 1] : i + 1;
            if (vertices[a].x == vertices[b].x && vertices[a].y == vertices[b].y && vertices[a].z == vertices[b].z)
                glDrawArrays(GL_POINTS, static_cast<GLint>(a), 1);
        }
    }
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

void gl_device::upload(device_texture* t)
{
    glBindTexture(GL_TEXTURE_2D, t->handle);
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

void gl_device::texture_created(device_texture* t)
{
    flush_batch();
    GLuint name = 0;
    glGenTextures(1, &name);
    t->handle = name;
    std::fill(std::begin(t->applied), std::end(t->applied), ~0u);
    upload(t);
}

// A DXT3 texture is uploaded decoded: its blocks cannot be read back.
bool gl_device::holds_texture_pixels(const device_texture& t) const
{
    return t.format != texture_format::dxt3;
}

bool gl_device::read_texture_back(device_texture* t)
{
    if (!holds_texture_pixels(*t))
        return false;
    flush_batch();
    t->pixels.resize(size_t(t->pitch) * t->rows);
    glBindTexture(GL_TEXTURE_2D, t->handle);
    if (t->format == texture_format::a8r8g8b8)
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, t->pixels.data());
    else if (t->format == texture_format::a4r4g4b4)
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, t->pixels.data());
    else
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, t->pixels.data());
    glBindTexture(GL_TEXTURE_2D, bound_);
    return true;
}

void gl_device::texture_changed(device_texture* t)
{
    flush_batch();
    upload(t);
}

void gl_device::texture_released(device_texture* t)
{
    flush_batch();
    GLuint name = t->handle;
    if (bound_ == name) {
        glBindTexture(GL_TEXTURE_2D, 0);
        bound_ = 0;
    }
    glDeleteTextures(1, &name);
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
