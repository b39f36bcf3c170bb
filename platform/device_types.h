// Value types of the 3D device: vertices, colours, materials, lights, matrices, the viewport and
// the named render and texture-stage states with their values.
//
// Matrices are row-vector matrices: a point v goes to v · M, and m[3][0..2] is the translation.
// The light record is laid out byte for byte as the light block that level files store.
#pragma once

#include <cstddef>
#include <cstdint>

struct device_colour {
    float r, g, b, a;
};

// A point or direction in 3D.
struct vec3 {
    float x, y, z;
};

vec3 vec3_add(vec3 a, vec3 b);
vec3 vec3_sub(vec3 a, vec3 b);
vec3 vec3_scale(vec3 a, float s);
vec3 vec3_div(vec3 a, float s);
float vec3_dot(vec3 a, vec3 b);
float vec3_length_sq(vec3 a);
float vec3_length(vec3 a);
vec3 vec3_normalize(vec3 a);  // a zero vector gives a zero vector
vec3 vec3_cross(vec3 a, vec3 b);
float vec3_at(const vec3& a, int i);  // 0 x, 1 y, 2 z
float& vec3_at_mut(vec3& a, int i);

// Position, normal and one pair of texture coordinates (eight floats).
struct device_vertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(device_vertex) == 32);

struct device_material {
    device_colour diffuse;
    device_colour ambient;
    device_colour specular;
    device_colour emissive;
    float power;
};
static_assert(sizeof(device_material) == 68);

constexpr uint32_t k_light_point = 1;
constexpr uint32_t k_light_spot = 2;

// One light slot. Position and direction are in world space; theta and phi are the full inner
// and outer cone angles of a spot light in radians.
struct device_light {
    uint32_t type;
    device_colour diffuse;
    device_colour specular;
    device_colour ambient;
    vec3 position;
    vec3 direction;
    float range;
    float falloff;
    float attenuation0;
    float attenuation1;
    float attenuation2;
    float theta;
    float phi;
};
static_assert(sizeof(device_light) == 104);
static_assert(offsetof(device_light, position) == 52);
static_assert(offsetof(device_light, range) == 76);
static_assert(offsetof(device_light, phi) == 100);

// The number of addressable light slots.
constexpr uint32_t k_device_light_slots = 100;

struct matrix4 {
    float m[4][4];
};

struct device_viewport {
    uint32_t x, y, width, height;
    float min_z, max_z;
};

// A vertex after lighting, as the back ends draw it: position as given, texture coordinates and
// the lit colour as bytes.
struct lit_vertex {
    float x, y, z;
    float u, v;
    uint8_t r, g, b, a;
};
static_assert(sizeof(lit_vertex) == 24);

enum class transform_kind : uint8_t { world, view, projection, count };

enum class primitive_type : uint8_t { point_list, line_strip, triangle_list, triangle_strip };

enum class render_state : uint8_t {
    lighting,            // 0 or 1
    ambient,             // 0xAARRGGBB
    z_enable,            // z_mode
    z_write,             // 0 or 1
    shade_mode,          // shade_mode
    alpha_test,          // 0 or 1
    alpha_ref,           // 0..255
    alpha_func,          // compare_func
    alpha_blend,         // 0 or 1
    src_blend,           // blend_factor
    dest_blend,          // blend_factor
    cull_mode,           // cull_mode
    fill_mode,           // fill_mode
    dither,              // 0 or 1
    texture_perspective, // 0 or 1
    last_pixel,          // 0 or 1
    count
};

// The depth test: off, on, or the w-buffer request (drawn as an ordinary depth test).
enum class z_mode : uint32_t { off, on, w_buffer };
enum class shade_mode : uint32_t { flat = 1, gouraud = 2 };
enum class compare_func : uint32_t { never, less, equal, less_equal, greater, not_equal, greater_equal, always };
enum class blend_factor : uint32_t { zero, one, src_alpha, inv_src_alpha };
// Which triangles are dropped, by their winding as seen on the screen.
enum class cull_mode : uint32_t { none, clockwise, counter_clockwise };
enum class fill_mode : uint32_t { point, wireframe, solid };

enum class texture_stage_state : uint8_t {
    colour_op,      // texture_op
    colour_arg1,    // texture_arg
    colour_arg2,    // texture_arg
    alpha_op,       // texture_op
    alpha_arg1,     // texture_arg
    alpha_arg2,     // texture_arg
    min_filter,     // texture_filter
    mag_filter,     // texture_filter
    mip_filter,     // texture_filter
    address_u,      // texture_address
    address_v,      // texture_address
    max_anisotropy, // 1..16
    count
};

enum class texture_op : uint32_t { disable, select_arg1, select_arg2, modulate };
enum class texture_arg : uint32_t { diffuse, texture };
enum class texture_filter : uint32_t { none, point, linear };
enum class texture_address : uint32_t { wrap, clamp };

// Clear flags.
constexpr uint32_t k_clear_target = 1;
constexpr uint32_t k_clear_depth = 2;

// Matrix helpers.
matrix4 matrix_identity();
// a · b: first a, then b.
matrix4 matrix_multiply(const matrix4& a, const matrix4& b);
matrix4 matrix_translation(float x, float y, float z);
matrix4 matrix_scaling(float x, float y, float z);
matrix4 matrix_rotation_x(float radians);
matrix4 matrix_rotation_y(float radians);
matrix4 matrix_rotation_z(float radians);
// Left-handed look-at view from `from` towards `at`. An up vector that is zero or parallel to the
// view direction is replaced by (0, 1, 0), then (0, 0, 1). False when from and at coincide.
bool matrix_look_at_lh(vec3 from, vec3 at, vec3 up, matrix4& out);
// Left-handed perspective: x scaled by aspect × cot(fov / 2), y by cot(fov / 2), depth from near
// to far mapped to 0..1. False (out unchanged) when the planes nearly coincide or the field of
// view is too small.
bool matrix_perspective_fov_lh(float fov, float aspect, float near_plane, float far_plane, matrix4& out);
// (x, y, z, 1) · m, all four components.
void matrix_transform_point(const matrix4& m, vec3 p, float out[4]);
