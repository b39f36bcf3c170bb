#include "platform/bare_gl_quads.h"

#include "platform/gl_states.h"
#include "platform/gl_window.h"

#include <unordered_map>

bare_gl_quads::bare_gl_quads(const recording_device& recording)
    : width_(recording.width()), height_(recording.height())
{
    std::unordered_map<const device_texture*, int32_t> texture_index;
    for (const recorded_draw& d : recording.draws()) {
        if (!d.quad())
            continue;
        int32_t t = -1;
        if (d.texture) {
            auto [at, added] = texture_index.try_emplace(d.texture, static_cast<int32_t>(textures_.size()));
            if (added) {
                textures_.push_back({d.texture->width, d.texture->height, {}});
                texture_to_argb(*d.texture, textures_.back().argb);
            }
            t = at->second;
        }
        const recorded_states& states = recording.states_of(d);
        if (runs_.empty() || runs_.back().texture != t || !same_drawing_states(runs_.back().states, states))
            runs_.push_back({t, states, static_cast<uint32_t>(vertices_.size()), 0});
        const lit_vertex* v = recording.vertices_of(d);
        for (int k : {0, 1, 2, 1, 3, 2})
            vertices_.push_back(v[k]);
        runs_.back().vertex_count += 6;
    }
}

bare_gl_quads::~bare_gl_quads()
{
    for (texture& t : textures_)
        if (t.name)
            glDeleteTextures(1, &t.name);
}

void bare_gl_quads::apply_states(const recorded_states& s)
{
    auto set = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
    const device_viewport& vp = s.viewport;
    glViewport(static_cast<GLint>(vp.x), static_cast<GLint>(height_ - (vp.y + vp.height)),
               static_cast<GLsizei>(vp.width), static_cast<GLsizei>(vp.height));
    glDepthRange(vp.min_z, vp.max_z);
    const matrix4 m = gl_clip_matrix(s.get(transform_kind::world), s.get(transform_kind::view),
                                     s.get(transform_kind::projection), vp);
    glLoadMatrixf(&m.m[0][0]);
    set(GL_SCISSOR_TEST, s.scissor_on);
    if (s.scissor_on)
        glScissor(s.scissor.x, static_cast<GLint>(height_) - (s.scissor.y + s.scissor.height), s.scissor.width,
                  s.scissor.height);
    set(GL_BLEND, s.get(render_state::alpha_blend) != 0);
    glBlendFunc(gl_blend(s.get(render_state::src_blend)), gl_blend(s.get(render_state::dest_blend)));
    set(GL_ALPHA_TEST, s.get(render_state::alpha_test) != 0);
    glAlphaFunc(gl_compare(s.get(render_state::alpha_func)), s.get(render_state::alpha_ref) / 255.0f);
    set(GL_DEPTH_TEST, static_cast<z_mode>(s.get(render_state::z_enable)) != z_mode::off);
    glDepthMask(s.get(render_state::z_write) ? GL_TRUE : GL_FALSE);
    const auto cull = static_cast<cull_mode>(s.get(render_state::cull_mode));
    set(GL_CULL_FACE, cull != cull_mode::none);
    glCullFace(cull == cull_mode::clockwise ? GL_BACK : GL_FRONT);
}

void bare_gl_quads::use_texture(const run& r)
{
    if (r.texture < 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    texture& t = textures_[r.texture];
    glBindTexture(GL_TEXTURE_2D, t.name);
    const recorded_states& s = r.states;
    auto filter = [&](texture_stage_state f) {
        return static_cast<texture_filter>(s.get(f)) == texture_filter::linear ? GL_LINEAR : GL_NEAREST;
    };
    auto wrap = [&](texture_stage_state a) {
        return static_cast<texture_address>(s.get(a)) == texture_address::clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    };
    const GLint wanted[4] = {filter(texture_stage_state::min_filter), filter(texture_stage_state::mag_filter),
                             wrap(texture_stage_state::address_u), wrap(texture_stage_state::address_v)};
    const GLenum names[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T};
    for (int i = 0; i < 4; ++i) {
        if (t.sampler[i] != wanted[i]) {
            glTexParameteri(GL_TEXTURE_2D, names[i], wanted[i]);
            t.sampler[i] = wanted[i];
        }
    }
}

void bare_gl_quads::draw_frame(bool batched)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    for (texture& t : textures_) {
        if (t.name)
            continue;
        glGenTextures(1, &t.name);
        glBindTexture(GL_TEXTURE_2D, t.name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(t.width), static_cast<GLsizei>(t.height), 0,
                     GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, t.argb.data());
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    glClearColor(0, 0, 0, 1);
    glClearDepth(1);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (!vertices_.empty()) {
        glVertexPointer(3, GL_FLOAT, sizeof(lit_vertex), &vertices_[0].x);
        glTexCoordPointer(2, GL_FLOAT, sizeof(lit_vertex), &vertices_[0].u);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(lit_vertex), &vertices_[0].r);
    }
    const run* previous = nullptr;
    for (const run& r : runs_) {
        if (!previous || !same_drawing_states(previous->states, r.states))
            apply_states(r.states);
        previous = &r;
        use_texture(r);
        if (batched) {
            glDrawArrays(GL_TRIANGLES, static_cast<GLint>(r.first_vertex), static_cast<GLsizei>(r.vertex_count));
            continue;
        }
        for (uint32_t v = r.first_vertex; v < r.first_vertex + r.vertex_count; v += 6) {
            glBindTexture(GL_TEXTURE_2D, r.texture >= 0 ? textures_[r.texture].name : 0);
            glDrawArrays(GL_TRIANGLES, static_cast<GLint>(v), 6);
        }
    }
    gl_window_swap();
    gl_window_finish();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}
