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

namespace {

float dot(vec3 a, vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

vec3 sub_scaled(vec3 a, float s, vec3 b)
{
    return {a.x - s * b.x, a.y - s * b.y, a.z - s * b.z};
}

} // namespace

bool matrix_look_at_lh(vec3 from, vec3 at, vec3 up, matrix4& out)
{
    vec3 view{at.x - from.x, at.y - from.y, at.z - from.z};
    const float length = std::sqrt(dot(view, view));
    if (length < 1e-6f)
        return false;
    view = {view.x / length, view.y / length, view.z / length};

    // The up vector made perpendicular to the view direction, with fallbacks when it is unusable.
    vec3 u = sub_scaled(up, dot(up, view), view);
    float u_length = std::sqrt(dot(u, u));
    if (u_length < 1e-6f) {
        u = sub_scaled({0.0f, 1.0f, 0.0f}, view.y, view);
        u_length = std::sqrt(dot(u, u));
        if (u_length < 1e-6f) {
            u = sub_scaled({0.0f, 0.0f, 1.0f}, view.z, view);
            u_length = std::sqrt(dot(u, u));
            if (u_length < 1e-6f)
                return false;
        }
    }
    u = {u.x / u_length, u.y / u_length, u.z / u_length};
    const vec3 right{u.y * view.z - u.z * view.y, u.z * view.x - u.x * view.z, u.x * view.y - u.y * view.x};

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
    out.m[3][0] = -dot(from, right);
    out.m[3][1] = -dot(from, u);
    out.m[3][2] = -dot(from, view);
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
