#include "world/world_objects.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/math.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "platform/process_memory.h"
#include "world/object_behaviour.h"
#include "world/object_draw_internal.h"
#include "world/object_order.h"
#include "world/object_protos.h"
#include "world/scene_header.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

world_object* g_objects = nullptr;
uint32_t g_object_count = 0;
uint32_t g_object_capacity = 0;
uint32_t g_depth_list[k_depth_list_size];
uint16_t g_depth_list_count = 0;
uint16_t g_objects_drawn = 0;
float g_object_alpha = 1.0f;
world_object_links g_object_links = {};
world_object g_brush_preview = {};

namespace {

// What add_object knows of the free slots: while the array and its count are as they were when
// it last looked, the slots from s_used_from up to the count are in use (free_object_slot keeps
// this true), so its search for the highest free slot starts below them.
world_object* s_hint_array = nullptr;
uint32_t s_hint_count = 0;
uint32_t s_used_from = 0;

// The 420-byte record of level map files and sort-information files.
template <class Io, class Object>
void object_fields(Io& io, Object& o)
{
    io.u8(0, o.state);
    io.u8(1, o.layer);
    io.u8(2, o.grabbed_corner);
    io.u8(3, o.pad3);
    io.i32(4, o.entity);
    io.u32(8, o.highlight);
    io.u32(12, o.cursor);
    io.u32(16, o.light);
    io.i32(20, o.proto);
    io.i32(24, o.frame);
    io.u32(28, o.backward);
    io.i32(32, o.angle_a);
    io.i32(36, o.angle_b);
    io.i32(40, o.angle_c);
    io.u8(44, o.anim);
    io.u8(45, o.impact);
    io.u8(46, o.spell_object);
    io.u8(47, o.lasting_mark);
    io.f32(48, o.alpha);
    io.f32(52, o.scale);
    io.f32(56, o.x);
    io.f32(60, o.y);
    io.f32(64, o.z);
    io.f32(68, o.drift_x);
    io.f32(72, o.drift_y);
    io.f32(76, o.drift_step_x);
    io.f32(80, o.drift_step_y);
    io.u8(84, o.drift_interval);
    io.bytes(85, o.pad85, 3);
    io.u32(88, o.has_corners);
    for (uint32_t i = 0; i < 8; ++i)
        io.f32(92 + 4 * i, o.corners[i]);
    io.bytes(124, o.entry_kinds, 5);
    io.bytes(129, o.pad129, 3);
    io.i32(132, o.entry_count);
    for (uint32_t e = 0; e < 5; ++e) {
        for (uint32_t i = 0; i < 5; ++i) {
            io.f32(136 + 20 * e + 4 * i, o.entry_floats[e][i]);
            io.i32(236 + 20 * e + 4 * i, o.entry_ints[e][i]);
        }
    }
    io.u32(336, o.next_anim_tick);
    io.u32(340, o.next_behaviour_tick);
    io.u32(344, o.next_drift_tick);
    io.u32(348, o.next_particle_tick);
    io.i32(352, o.particle_role);
    io.u32(356, o.item_id);
    io.u32(360, o.attached_drawing);
    io.i32(364, o.width);
    io.i32(368, o.height);
    io.i32(372, o.depth_key);
    io.i32(376, o.lifetime);
    io.i32(380, o.anim_mode);
    io.i32(384, o.frame_delay);
    io.i32(388, o.model_variant);
    io.u32(392, o.depth_sorted);
    io.f32(396, o.red);
    io.f32(400, o.green);
    io.f32(404, o.blue);
    io.f32(408, o.depth_offset);
    io.f32(412, o.reserved);
    io.u8(416, o.object_class);
    io.u8(417, o.pad417);
    io.i16(418, o.owner);
}

constexpr uint32_t k_sort_name_size = 30;

// Free slots sort after every used slot of layer 250 and before layer 251.
uint32_t sort_key(const world_object& o)
{
    return o.state == 0 ? 2u * k_free_layer + 1u : 2u * o.layer;
}

// The world object of a character slot, or null.
world_object* char_world_object(int32_t slot)
{
    if (!g_object_links.char_object)
        return nullptr;
    int32_t index = g_object_links.char_object(slot);
    if (index < 0 || uint32_t(index) >= g_object_count)
        return nullptr;
    return &g_objects[index];
}

bool same_place(const world_object& stored, const world_object& o)
{
    if (!stored.has_corners)
        return stored.x == o.x && stored.y == o.y;
    return std::equal(std::begin(stored.corners), std::end(stored.corners), std::begin(o.corners));
}

} // namespace

void encode_world_object(const world_object& object, uint8_t* bytes)
{
    record_writer out{bytes};
    object_fields(out, object);
}

void decode_world_object(const uint8_t* bytes, world_object* object)
{
    *object = world_object{};
    record_reader in{bytes};
    object_fields(in, *object);
}

world_object* init_object(world_object* o, float x, float y, int32_t proto, float alpha, float scale,
                          int32_t angle_a, int32_t editor_corners)
{
    o->state = 3;
    o->layer = g_active_layer;
    o->entity = -1;
    o->lifetime = -1;
    o->proto = proto;
    o->frame = 0;
    o->backward = 0;
    o->alpha = alpha;
    o->scale = scale;
    o->angle_a = angle_a;
    o->x = x;
    o->y = y;
    o->angle_b = o->angle_c = 0;
    o->drift_x = o->drift_y = o->drift_step_x = o->drift_step_y = 0.0f;
    o->drift_interval = 1;
    o->has_corners = 0;
    o->entry_count = 0;
    o->red = o->green = o->blue = 1.0f;
    o->reserved = 1.0f;
    o->object_class = k_class_ordinary;
    o->owner = k_no_owner;
    o->next_anim_tick = o->next_behaviour_tick = o->next_drift_tick = o->next_particle_tick = 0;
    o->model_variant = 0;
    const object_proto* p = proto_at(proto);
    if (p) {
        o->width = p->width;
        o->height = p->height;
        o->anim_mode = p->anim_mode;
        o->frame_delay = p->frame_delay;
    }
    if (proto <= -2)  // a character's object (-2 - slot) stands where it was put
        return o;
    if (p && p->kind == k_proto_particle) {
        o->particle_role = editor_corners == 0 && o->cursor == 0 ? k_role_particle : k_role_emitter;
        std::memset(o->entry_floats, 0, sizeof o->entry_floats);
        std::memset(o->entry_ints, 0, sizeof o->entry_ints);
        particle_value(*o, k_particle_red) = 1.0f;
        particle_value(*o, k_particle_green) = 1.0f;
        particle_value(*o, k_particle_blue) = 1.0f;
    } else {
        o->particle_role = k_role_none;
    }
    if (g_work_mode == k_work_light)
        o->light = 1;
    if (g_work_mode == k_work_select || g_work_mode == k_work_light) {
        if (editor_corners) {
            std::copy(std::begin(g_stored_corners), std::end(g_stored_corners), o->corners);
        } else {
            set_corner_diamond(o);
        }
        o->has_corners = 1;
    }
    return o;
}

void set_corner_diamond(world_object* o)
{
    const object_proto* p = proto_at(o->proto);
    const float w = p ? float(p->width) : 0.0f;
    const float h = p ? float(p->height) : 0.0f;
    o->x = g_mouse_x;
    o->y = g_mouse_y;
    const float diamond[8] = {o->x, o->y - h / 2, o->x + 3 * w / 4, o->y, o->x, o->y + h / 2, o->x - 3 * w / 4, o->y};
    std::copy(std::begin(diamond), std::end(diamond), o->corners);
    o->has_corners = 1;
}

int32_t add_object(float x, float y, int32_t proto, float alpha, float scale, int32_t angle_a,
                   int32_t editor_corners)
{
    int32_t index = -1;
    uint32_t top = g_object_count;
    if (s_hint_array == g_objects && s_hint_count == g_object_count)
        top = std::min(top, s_used_from);
    for (uint32_t i = top; i-- > 1;) {
        if (g_objects[i].state == 0) {
            index = int32_t(i);
            break;
        }
    }
    if (index < 0) {
        if ((g_object_capacity == 0 || g_object_count >= g_object_capacity) && !grow_objects())
            return -1;
        index = int32_t(g_object_count++);
        s_used_from = 1;
    } else {
        s_used_from = uint32_t(index);
    }
    s_hint_array = g_objects;
    s_hint_count = g_object_count;
    stamp_object_serial(uint32_t(index));
    world_object* o = &g_objects[index];
    std::memset(o, 0, sizeof *o);
    init_object(o, x, y, proto, alpha, scale, angle_a, editor_corners);
    return index;
}

void reset_object(world_object* o)
{
    if (o->object_class >= k_class_attached) {
        int32_t count = std::clamp(o->entry_count, 0, 5);
        for (int32_t e = 0; e < count; ++e) {
            if (o->entry_kinds[e] == k_entry_fade_out) {
                o->lifetime = 0;
                return;
            }
        }
    }
    free_object_slot(o);
}

void forget_free_slot_hint()
{
    s_hint_array = nullptr;
}

void free_object_slot(world_object* o)
{
    if (s_hint_array == g_objects && g_objects && o >= g_objects && o < g_objects + g_object_count)
        s_used_from = std::max(s_used_from, uint32_t(o - g_objects) + 1);
    o->alpha = 0.0f;
    o->entry_count = 0;
    o->layer = k_free_layer;
    o->state = 0;
    o->object_class = k_class_ordinary;
    o->owner = k_no_owner;
}

namespace {

// A zeroed array of records: taken from the system as zero pages, which become resident only as
// records are used.
world_object* new_object_array(uint32_t capacity)
{
    static_assert(std::is_trivially_copyable_v<world_object>);
    return static_cast<world_object*>(map_zeroed_pages(size_t(capacity) * sizeof(world_object)));
}

void delete_object_array(world_object* objects, uint32_t capacity)
{
    unmap_pages(objects, size_t(capacity) * sizeof(world_object));
}

} // namespace

bool reserve_objects(uint32_t n)
{
    free_objects();
    uint32_t capacity = std::max(k_object_growth, (n + k_object_growth - 1) / k_object_growth * k_object_growth);
    g_objects = new_object_array(capacity);
    if (!g_objects) {
        console_log("malo pamate pre objekty (%u)", unsigned(capacity));
        return false;
    }
    g_object_capacity = capacity;
    return true;
}

bool grow_objects()
{
    uint32_t capacity = g_object_capacity + k_object_growth;
    world_object* grown = new_object_array(capacity);
    if (!grown) {
        console_log("malo pamate pre objekty (%u)", unsigned(capacity));
        return false;
    }
    if (g_object_count > 0)
        std::memcpy(grown, g_objects, sizeof(world_object) * g_object_count);
    keep_object_order_on_growth(g_objects, grown);
    delete_object_array(g_objects, g_object_capacity);
    g_objects = grown;
    g_object_capacity = capacity;
    return true;
}

void free_objects()
{
    forget_free_slot_hint();
    delete_object_array(g_objects, g_object_capacity);
    g_objects = nullptr;
    g_object_count = g_object_capacity = 0;
    reset_object_order();
    g_objects_drawn = 0;
}

float world_object_distance(int32_t a, int32_t b)
{
    if (a < 0 || b < 0 || uint32_t(a) >= g_object_count || uint32_t(b) >= g_object_count)
        return 10000.0f;
    return distance2d(g_objects[a].x, g_objects[a].y, g_objects[b].x, g_objects[b].y);
}

void set_object_position(world_object* o, float x, float y)
{
    if (o->cursor) {
        g_marker_dx = int32_t(std::lround(x - o->x));
        g_marker_dy = int32_t(std::lround(y - o->y));
    }
    const world_object* owner = o->owner != k_no_owner ? char_world_object(o->owner) : nullptr;
    if (!o->has_corners) {
        o->x = x;
        o->y = y;
        if (owner) {
            o->x = owner->x;
            o->y = owner->y;
        }
        return;
    }
    float dx = x - o->x, dy = y - o->y;
    for (int i = 0; i < 8; i += 2) {
        o->corners[i] += dx;
        o->corners[i + 1] += dy;
    }
    bool own = o->owner == k_no_owner || o->owner == scene_player_slot();
    if (own || !owner) {
        o->x = x;
        o->y = y;
    } else {
        o->x = owner->x;
        o->y = owner->y;
    }
}

void animate_object(world_object* o)
{
    const object_proto* p = proto_at(o->proto);
    if (!p || o->anim >= k_proto_animations)
        return;
    int32_t n = std::clamp(p->frame_counts[o->anim], 0, k_proto_frames);
    if (n < 2 || g_ticks <= o->next_anim_tick)
        return;
    o->next_anim_tick = g_ticks + uint32_t(o->frame_delay);
    if (o->frame < 0 || o->frame >= n)
        o->frame = 0;
    switch (o->anim_mode) {
    case k_anim_ping_pong:
        if (!o->backward) {
            if (o->frame == n - 1)
                o->backward = 1;
            else
                ++o->frame;
        } else {
            if (o->frame == 0)
                o->backward = 0;
            else
                --o->frame;
        }
        break;
    case k_anim_loop:
        o->frame = o->frame == n - 1 ? 0 : o->frame + 1;
        break;
    case k_anim_reverse_loop:
        o->frame = o->frame == 0 ? n - 1 : o->frame - 1;
        break;
    case k_anim_once:
        if (o->frame < n - 1)
            ++o->frame;
        break;
    case k_anim_once_backward:
        if (o->frame > 0)
            --o->frame;
        break;
    default:
        break;
    }
}

void clear_object_motion(world_object* o)
{
    o->drift_x = o->drift_y = o->drift_step_x = o->drift_step_y = 0.0f;
    o->angle_a = o->angle_b = o->angle_c = 0;
}

const object_view& current_object_view()
{
    static object_view view{0.0f, 0.0f};
    static bool known = false;
    static int32_t width = 0, height = 0;
    static float zoom = 0.0f;
    if (!known || g_screen_width != width || g_screen_height != height || !(g_zoom == zoom)) {
        known = true;
        width = g_screen_width;
        height = g_screen_height;
        zoom = g_zoom;
        view = {float(width) / zoom, float(height) / zoom};
    }
    return view;
}

int32_t is_object_visible(const world_object* o)
{
    const object_view& view = current_object_view();
    const float view_w = view.width, view_h = view.height;
    float s = std::fabs(o->scale);
    float left, top, right, bottom;
    const object_proto* p = proto_at(o->proto);
    if (o->proto < 0) {
        left = o->x - 64 * s;
        right = o->x + 64 * s;
        top = o->y - 128 * s;
        bottom = o->y + 128 * s;
    } else if (p && (p->kind == k_proto_sprite || p->kind == k_proto_particle) && !o->has_corners) {
        float hw = float(o->width) * s / 2, hh = float(o->height) * s / 2;
        left = o->x - hw;
        right = o->x + hw;
        top = o->y - hh;
        bottom = o->y + hh;
    } else if (o->has_corners) {
        left = std::min({o->corners[0], o->corners[2], o->corners[4], o->corners[6]});
        right = std::max({o->corners[0], o->corners[2], o->corners[4], o->corners[6]});
        top = std::min({o->corners[1], o->corners[3], o->corners[5], o->corners[7]});
        bottom = std::max({o->corners[1], o->corners[3], o->corners[5], o->corners[7]});
        float w = right - left, h = bottom - top;
        left -= w;
        right += w;
        top -= h;
        bottom += h;
    } else if (p && p->kind == k_proto_surface) {
        float w = float(std::clamp(p->anim_count, 0, k_proto_animations) * k_tile_size) * s;
        float h = float(std::clamp(p->frame_counts[0], 0, k_proto_frames) * k_tile_size) * s;
        left = o->x * s;
        top = o->y * s;
        right = left + w;
        bottom = top + h;
        if (o->angle_a >= 4) {
            left -= w / 2;
            right += w / 2;
        }
    } else {
        return 1;
    }
    return left - g_camera_x < view_w && right - g_camera_x > 0 && top - g_camera_y < view_h &&
                   bottom - g_camera_y > 0
               ? 1
               : 0;
}

void sort_objects()
{
    forget_free_slot_hint();
    reset_object_order();
    const uint32_t n = g_object_count;
    if (n < 2)
        return;
    // A stable counting sort by key: where each record goes, then the records are moved there
    // along the cycles of that permutation, each once.
    constexpr uint32_t k_keys = 2 * 255 + 1;  // layers 0 to 255, and the free slots' key
    uint32_t starts[k_keys + 1] = {};
    bool sorted = true;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t key = sort_key(g_objects[i]);
        sorted = sorted && (i == 0 || key >= sort_key(g_objects[i - 1]));
        ++starts[key + 1];
    }
    if (sorted)
        return;
    for (uint32_t k = 1; k <= k_keys; ++k)
        starts[k] += starts[k - 1];
    std::vector<uint32_t> target(n);
    for (uint32_t i = 0; i < n; ++i)
        target[i] = starts[sort_key(g_objects[i])]++;
    for (uint32_t i = 0; i < n; ++i) {
        if (target[i] == i)
            continue;
        world_object carried = g_objects[i];
        uint32_t to = target[i];
        target[i] = i;
        while (to != i) {
            std::swap(carried, g_objects[to]);
            std::swap(to, target[to]);
        }
        g_objects[i] = carried;
    }
}

void sort_and_trim_objects()
{
    sort_objects();
    while (g_object_count > 1 && g_objects[g_object_count - 1].state == 0)
        --g_object_count;
}

int32_t swap_object_in_layer(int32_t index, bool backward)
{
    if (index < 0 || uint32_t(index) >= g_object_count)
        return -1;
    forget_free_slot_hint();
    reset_object_order();
    uint8_t layer = g_objects[index].layer;
    int32_t step = backward ? -1 : 1;
    for (int32_t j = index + step; j >= 0 && uint32_t(j) < g_object_count; j += step) {
        if (g_objects[j].layer == layer) {
            std::swap(g_objects[j], g_objects[index]);
            return j;
        }
    }
    return -1;
}

bool write_objects(const char* path)
{
    packed_stream* out = stream_open(path, "wp");
    if (!out)
        return false;
    bool ok = true;
    uint8_t bytes[k_world_object_size + k_sort_name_size];
    for (uint32_t i = 0; i < g_object_count && ok; ++i) {
        const world_object& o = g_objects[i];
        const object_proto* p = proto_at(o.proto);
        if (!o.depth_sorted || o.proto <= 0 || !p || o.object_class != k_class_ordinary)
            continue;
        encode_world_object(o, bytes);
        std::memcpy(bytes + k_world_object_size, p->name, k_sort_name_size);
        ok = stream_write(bytes, int(sizeof bytes), out) == int(sizeof bytes);
    }
    return finish_written_file(out, ok);
}

bool read_objects(const char* path, uint32_t* changed)
{
    if (changed)
        *changed = 0;
    constexpr const char* k_kept = "objekty, ako boli";
    packed_stream* in = open_data_file(path, k_kept);
    if (!in)
        return false;
    // Every record is read before any object changes, so a file that does not read whole changes none.
    constexpr int k_record = int(k_world_object_size + k_sort_name_size);
    std::vector<uint8_t> records;
    int got = 0;
    for (uint8_t bytes[k_record]; (got = stream_read(bytes, k_record, in)) == k_record;)
        records.insert(records.end(), bytes, bytes + k_record);
    if (stream_close(in) != 0 || got != 0) {
        const std::string where = got > 0 ? std::to_string(got) + " bajtov za koncom dat" : std::string("zaznamy");
        report_damaged_file(path, where.c_str(), k_kept);
        return false;
    }
    forget_free_slot_hint();
    for (size_t at = 0; at < records.size(); at += size_t(k_record)) {
        const uint8_t* bytes = records.data() + at;
        world_object stored;
        decode_world_object(bytes, &stored);
        char name[k_sort_name_size + 1] = {};
        std::memcpy(name, bytes + k_world_object_size, k_sort_name_size);
        console_log("pridavam object %s", name);
        bool matched = false;
        for (uint32_t i = 0; i < g_object_count; ++i) {
            world_object& o = g_objects[i];
            const object_proto* p = proto_at(o.proto);
            if (o.state == 0 || !p || std::strncmp(p->name, name, k_sort_name_size) != 0 || !same_place(stored, o))
                continue;
            int32_t own_proto = o.proto;
            o = stored;
            o.proto = own_proto;
            matched = true;
            if (changed)
                ++*changed;
        }
        if (!matched)
            console_log("taky object tu neni");
    }
    return true;
}
