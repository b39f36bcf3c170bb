// The device's states in OpenGL's terms, shared by the OpenGL back end and the bare OpenGL
// drawing that benchmarks read it against.
#pragma once

#include "platform/device_types.h"

#include <GL/gl.h>

GLenum gl_compare(uint32_t func);  // a compare_func
GLenum gl_blend(uint32_t factor);  // a blend_factor

// The matrix loaded into GL for the given transforms and viewport: the device's depth 0..1
// becomes GL's -1..1, and the picture moves by half a pixel so that pixel centres on whole
// screen coordinates cover the pixels they do on the device.
matrix4 gl_clip_matrix(const matrix4& world, const matrix4& view, const matrix4& projection,
                       const device_viewport& viewport);
