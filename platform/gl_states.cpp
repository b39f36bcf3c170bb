#include "platform/gl_states.h"

GLenum gl_compare(uint32_t func)
{
    switch (static_cast<compare_func>(func)) {
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

GLenum gl_blend(uint32_t factor)
{
    switch (static_cast<blend_factor>(factor)) {
    case blend_factor::zero: return GL_ZERO;
    case blend_factor::one: return GL_ONE;
    case blend_factor::src_alpha: return GL_SRC_ALPHA;
    case blend_factor::inv_src_alpha: return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

matrix4 gl_clip_matrix(const matrix4& world, const matrix4& view, const matrix4& projection,
                       const device_viewport& viewport)
{
    matrix4 to_gl = matrix_identity();
    to_gl.m[2][2] = 2.0f;
    to_gl.m[3][2] = -1.0f;
    if (viewport.width && viewport.height) {
        to_gl.m[3][0] = 1.0f / viewport.width;
        to_gl.m[3][1] = -1.0f / viewport.height;
    }
    return matrix_multiply(matrix_multiply(matrix_multiply(world, view), projection), to_gl);
}
