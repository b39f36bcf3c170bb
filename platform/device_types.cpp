#include "platform/device_types.h"

#include <cmath>

matrix4 matrix_identity()
{
    matrix4 r{};
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

matrix4 matrix_multiply(const matrix4& a, const matrix4& b)
{
    matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

matrix4 matrix_translation(float x, float y, float z)
{
    matrix4 r = matrix_identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

matrix4 matrix_scaling(float x, float y, float z)
{
    matrix4 r = matrix_identity();
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

matrix4 matrix_rotation_x(float radians)
{
    matrix4 r = matrix_identity();
    const float c = std::cos(radians), s = std::sin(radians);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

matrix4 matrix_rotation_y(float radians)
{
    matrix4 r = matrix_identity();
    const float c = std::cos(radians), s = std::sin(radians);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

matrix4 matrix_rotation_z(float radians)
{
    matrix4 r = matrix_identity();
    const float c = std::cos(radians), s = std::sin(radians);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

vec3 vec3_add(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 vec3_sub(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 vec3_scale(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
vec3 vec3_div(vec3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
float vec3_dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float vec3_length_sq(vec3 a) { return vec3_dot(a, a); }
float vec3_length(vec3 a) { return std::sqrt(vec3_length_sq(a)); }

vec3 vec3_normalize(vec3 a)
{
    float length = vec3_length(a);
    return length > 0.0f ? vec3_div(a, length) : vec3{0, 0, 0};
}

vec3 vec3_cross(vec3 a, vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vec3_at(const vec3& a, int i) { return i == 0 ? a.x : i == 1 ? a.y : a.z; }
float& vec3_at_mut(vec3& a, int i) { return i == 0 ? a.x : i == 1 ? a.y : a.z; }

namespace {

// a without its part along the unit vector d.
vec3 without_part_along(vec3 a, vec3 d)
{
    return vec3_sub(a, vec3_scale(d, vec3_dot(a, d)));
}

} // namespace

bool matrix_look_at_lh(vec3 from, vec3 at, vec3 up, matrix4& out)
{
    vec3 view = vec3_sub(at, from);
    const float length = vec3_length(view);
    if (length < 1e-6f)
        return false;
    view = vec3_div(view, length);

    // The up vector made perpendicular to the view direction, with fallbacks when it is unusable.
    vec3 u = without_part_along(up, view);
    float u_length = vec3_length(u);
    if (u_length < 1e-6f) {
        u = without_part_along({0.0f, 1.0f, 0.0f}, view);
        u_length = vec3_length(u);
        if (u_length < 1e-6f) {
            u = without_part_along({0.0f, 0.0f, 1.0f}, view);
            u_length = vec3_length(u);
            if (u_length < 1e-6f)
                return false;
        }
    }
    u = vec3_div(u, u_length);
    const vec3 right = vec3_cross(u, view);

    out = matrix_identity();
    out.m[0][0] = right.x;
    out.m[1][0] = right.y;
    out.m[2][0] = right.z;
    out.m[0][1] = u.x;
    out.m[1][1] = u.y;
    out.m[2][1] = u.z;
    out.m[0][2] = view.x;
    out.m[1][2] = view.y;
    out.m[2][2] = view.z;
    out.m[3][0] = -vec3_dot(from, right);
    out.m[3][1] = -vec3_dot(from, u);
    out.m[3][2] = -vec3_dot(from, view);
    return true;
}

bool matrix_perspective_fov_lh(float fov, float aspect, float near_plane, float far_plane, matrix4& out)
{
    if (std::fabs(far_plane - near_plane) < 0.01f)
        return false;
    if (std::fabs(std::sin(fov / 2.0f)) < 0.01f)
        return false;
    const float cot = std::cos(fov / 2.0f) / std::sin(fov / 2.0f);
    const float q = far_plane / (far_plane - near_plane);
    out = matrix4{};
    out.m[0][0] = aspect * cot;
    out.m[1][1] = cot;
    out.m[2][2] = q;
    out.m[2][3] = 1.0f;
    out.m[3][2] = -q * near_plane;
    return true;
}

void matrix_transform_point(const matrix4& m, vec3 p, float out[4])
{
    for (int j = 0; j < 4; ++j)
        out[j] = p.x * m.m[0][j] + p.y * m.m[1][j] + p.z * m.m[2][j] + m.m[3][j];
}
