#include "engine/textures.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/utilities.h"
#include "engine/render_context.h"
#include "engine/sprite_font.h"
#include "engine/texture_packs.h"
#include "platform/clock.h"
#include "platform/texture_image.h"

#include <cstring>
#include <string>

texture_record g_textures[k_texture_slots];
int32_t g_texture_count = 0;
uint32_t g_texture_table_generation = 1;
video_slot g_video_slots[k_video_slots];
uint8_t g_live_videos = 0;
int32_t g_fixed_textures[k_fixed_texture_count] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};

namespace {

constexpr const char* k_empty_texture = "prazdna textura";

bool in_table(int32_t slot)
{
    return slot >= 0 && slot < k_texture_slots;
}

float now_seconds()
{
    return static_cast<float>(clock_ms()) / 1000.0f;
}

bool name_fits(const char* name)
{
    const size_t length = std::strlen(name);
    if (length < static_cast<size_t>(k_texture_name_size))
        return true;
    console_log("%.119s", name);
    console_log("pridlhe meno %d", static_cast<int>(length));
    return false;
}

// Frees the slot's video stream and its surface, leaving the other fields as they are.
void drop_surface(texture_record& t)
{
    if (t.is_video) {
        if (t.video_slot < k_video_slots && g_video_slots[t.video_slot].file) {
            video_close(g_video_slots[t.video_slot].file);
            g_video_slots[t.video_slot] = {};
            if (g_live_videos > 0)
                --g_live_videos;
        }
        t.is_video = 0;
    }
    if (t.surface && g_d3d_device)
        g_d3d_device->release_texture(t.surface);
    t.surface = nullptr;
}

uint32_t format_for_choice(int32_t format_choice, uint32_t current)
{
    switch (format_choice) {
    case 0: return k_format_a4r4g4b4;
    case 1: return k_format_a8r8g8b8;
    case 2: return k_format_dxt3;
    default: return current;
    }
}

// Makes the surface of an image slot from its file in the slot's format; sets the size.
// False, with what went wrong in `error` (empty without a device), when no surface was made.
bool make_image_surface(texture_record& t, bool mipmaps, std::string& error)
{
    if (!g_d3d_device)
        return false;
    t.surface = create_texture_from_image_file(*g_d3d_device, t.name, t.format, mipmaps, error);
    if (!t.surface)
        return false;
    t.width = t.surface->width;
    t.height = t.surface->height;
    t.is_video = 0;
    return true;
}

int free_video_slot()
{
    for (int i = 0; i < k_video_slots; ++i)
        if (!g_video_slots[i].file)
            return i;
    return -1;
}

void make_video_texture(texture_record& t, uint32_t video_width, uint32_t video_height)
{
    const int vs = free_video_slot();
    if (vs < 0) {
        console_log("too many video textures: %s", t.name);
        t.loaded = 1;
        return;
    }
    t.video_slot = static_cast<uint8_t>(vs);
    t.format = k_format_r5g6b5;
    const uint32_t width = texture_side_for(video_width), height = texture_side_for(video_height);
    if (g_d3d_device && width && height)
        t.surface = g_d3d_device->create_texture(width, height, texture_format::r5g6b5, false);
    video_file* file = t.surface ? video_open(t.name) : nullptr;
    if (!file) {
        console_log("could not open video: %s", t.name);
        if (t.surface)
            g_d3d_device->release_texture(t.surface);
        t.surface = nullptr;
        t.loaded = 1;
        return;
    }
    t.width = t.video_width = width;
    t.height = t.video_height = height;
    g_video_slots[vs].file = file;
    g_video_slots[vs].info = video_info(file);
    t.video_frames = g_video_slots[vs].info.length;
    t.is_video = 1;
    t.video_start = now_seconds();
    t.video_last_frame = -1;
    ++g_live_videos;
}

// Copies a decoded frame (24-bit, top row first) into the 5-6-5 surface bottom row first, within
// both sizes and pitches.
void copy_video_frame(const std::vector<uint8_t>& rgb, uint32_t frame_width, uint32_t frame_height,
                      const texture_lock& lock, uint32_t surface_width)
{
    const uint32_t width = std::min(frame_width, std::min(surface_width, lock.pitch / 2));
    const uint32_t rows = std::min(frame_height, lock.rows);
    for (uint32_t r = 0; r < rows; ++r) {
        const uint8_t* src = rgb.data() + static_cast<size_t>(frame_height - 1 - r) * frame_width * 3;
        uint8_t* dst = lock.bits + static_cast<size_t>(r) * lock.pitch;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t red = src[3 * x], green = src[3 * x + 1], blue = src[3 * x + 2];
            const uint32_t texel = (red & 0xF8) << 8 | (green & 0xFC) << 3 | blue >> 3;
            dst[2 * x] = static_cast<uint8_t>(texel);
            dst[2 * x + 1] = static_cast<uint8_t>(texel >> 8);
        }
    }
}

void update_video(texture_record& t)
{
    if (!t.surface || t.video_slot >= k_video_slots || !g_video_slots[t.video_slot].file || !g_d3d_device)
        return;
    video_slot& vs = g_video_slots[t.video_slot];
    const float now = now_seconds();
    const double per_second = vs.info.scale ? static_cast<double>(vs.info.rate) / vs.info.scale : 0.0;
    int64_t frame = static_cast<int64_t>((now - t.video_start) * per_second);
    if (frame == t.video_last_frame)
        return;
    if (frame >= static_cast<int64_t>(t.video_frames)) {
        t.video_start = now;
        frame = static_cast<int64_t>(vs.info.start) + 1;
    }
    texture_lock lock;
    if (!g_d3d_device->lock_texture(t.surface, lock))
        return;
    static std::vector<uint8_t> rgb;
    const bool got = frame >= 0 && video_read_frame(vs.file, static_cast<uint32_t>(frame), rgb);
    if (got)
        copy_video_frame(rgb, vs.info.width, vs.info.height, lock, t.surface->width);
    g_d3d_device->unlock_texture(t.surface, got);
    t.video_last_frame = static_cast<int32_t>(frame);
}

// A slot as the table holds it before its first use.
texture_record empty_record()
{
    texture_record t{};
    t.pack_offset = -1;
    t.video_last_frame = -1;
    return t;
}

// Fills a new slot the way get_texture does.
int32_t fill_slot(int32_t slot, const char* name, uint32_t video_width, uint32_t video_height, uint32_t in_level,
                  uint32_t mipmaps, int32_t format_choice, uint32_t defer)
{
    create_texture_from_file(slot, name, video_width, video_height, format_choice, mipmaps, defer);
    g_textures[slot].refcount = 1;
    g_textures[slot].in_level = in_level;
    return slot;
}

} // namespace

int32_t get_texture(const char* name, uint32_t video_width, uint32_t video_height, uint32_t in_level,
                    uint32_t mipmaps, int32_t format_choice, uint32_t defer)
{
    if (!name || !name_fits(name))
        return -1;
    for (int32_t i = 0; i < g_texture_count; ++i) {
        if (std::strcmp(g_textures[i].name, name) == 0) {
            ++g_textures[i].refcount;
            return i;
        }
    }
    for (int32_t i = 0; i < g_texture_count; ++i) {
        if (texture_slot_empty(i))
            g_textures[i] = empty_record();
        else if (g_textures[i].surface || g_textures[i].loaded != 1)
            continue;
        return fill_slot(i, name, video_width, video_height, in_level, mipmaps, format_choice, defer);
    }
    if (g_texture_count >= k_texture_slots) {
        console_log("texture table full: %s", name);
        return -1;
    }
    const int32_t slot = g_texture_count++;
    return fill_slot(slot, name, video_width, video_height, in_level, mipmaps, format_choice, defer);
}

void create_texture_from_file(int32_t slot, const char* name, uint32_t video_width, uint32_t video_height,
                              int32_t format_choice, uint32_t mipmaps, uint32_t defer)
{
    if (!in_table(slot) || !name || !name_fits(name))
        return;
    texture_record& t = g_textures[slot];
    drop_surface(t);
    std::strcpy(t.name, name);
    t.pack_offset = -1;
    t.loaded = 0;
    t.is_video = 0;
    t.failure_logged = 0;
    if (file_exists(name) != 1) {
        report_missing_file(name, k_empty_texture);
        t.failure_logged = 1;
        return;
    }
    const size_t length = std::strlen(name);
    if (name[length - 1] == 'i') {
        make_video_texture(t, video_width, video_height);
        return;
    }
    t.format = format_for_choice(format_choice, t.format);
    if (defer)
        return;
    t.loaded = 1;
    std::string error;
    if (!make_image_surface(t, mipmaps != 0, error)) {
        report_damaged_file(name, error.empty() ? "ziadne zariadenie" : error.c_str(), k_empty_texture);
        t.failure_logged = 1;
    }
}

int32_t ensure_texture(int32_t slot)
{
    if (!in_table(slot))
        return -1;
    const texture_record& t = g_textures[slot];
    if (t.is_video || t.loaded == 1)
        return t.surface ? 0 : -1;
    return upload_texture(slot);
}

int32_t upload_texture(int32_t slot)
{
    if (!in_table(slot))
        return -1;
    texture_record& t = g_textures[slot];
    if (t.pack_offset != -1)
        return upload_texture_from_pack(slot);
    if (t.surface)
        return 0;
    if (!t.name[0])
        return -1;
    std::string error;
    if (!make_image_surface(t, false, error)) {
        if (g_d3d_device && !t.failure_logged) {
            if (file_exists(t.name) == 1)
                report_damaged_file(t.name, error.c_str(), k_empty_texture);
            else
                report_missing_file(t.name, k_empty_texture);
            t.failure_logged = 1;
        }
        return -1;
    }
    t.loaded = 1;
    return 0;
}

void release_texture(int32_t slot)
{
    if (!in_table(slot))
        return;
    texture_record& t = g_textures[slot];
    if (t.refcount >= 2) {
        --t.refcount;
        return;
    }
    t.refcount = 0;
    t.loaded = 0;
    t.pack_offset = -1;
    drop_surface(t);
    t.name[0] = '\0';
}

void free_texture(int32_t slot)
{
    if (!in_table(slot))
        return;
    g_textures[slot].refcount = 0;
    release_texture(slot);
}

void drop_texture_surface(int32_t slot)
{
    if (in_table(slot))
        drop_surface(g_textures[slot]);
}

int32_t find_free_texture()
{
    for (int32_t i = 0; i < g_texture_count; ++i)
        if (!g_textures[i].surface)
            return i;
    return -1;
}

bool texture_slot_empty(int32_t slot)
{
    if (!in_table(slot))
        return false;
    const texture_record& t = g_textures[slot];
    return !t.surface && !t.is_video && t.refcount == 0 && t.pack_offset == -1;
}

int32_t append_texture_slot(const char* name)
{
    if (!name || !name_fits(name))
        return -1;
    if (g_texture_count >= k_texture_slots) {
        console_log("texture table full: %s", name);
        return -1;
    }
    const int32_t slot = g_texture_count++;
    texture_record& t = g_textures[slot];
    drop_surface(t);
    t = empty_record();
    std::strcpy(t.name, name);
    t.refcount = 1;
    return slot;
}

void update_all_avi_textures()
{
    for (int32_t i = 0; i < g_texture_count; ++i)
        if (g_textures[i].is_video)
            update_video(g_textures[i]);
}

void set_texture_size(int32_t slot, uint32_t width, uint32_t height)
{
    if (!in_table(slot))
        return;
    g_textures[slot].width = width;
    g_textures[slot].height = height;
}

void clear_texture_table()
{
    ++g_texture_table_generation;
    for (int32_t i = 0; i < k_texture_slots; ++i) {
        texture_record& t = g_textures[i];
        if (t.surface || t.is_video)
            drop_surface(t);
        t = empty_record();
    }
    g_texture_count = 0;
    for (int32_t& slot : g_fixed_textures)
        slot = -1;
    for (int32_t& slot : g_sprite_font.glyphs)
        slot = -1;
}

std::vector<resident_texture> take_resident_textures()
{
    std::vector<int32_t*> holders;
    for (int32_t& slot : g_fixed_textures)
        holders.push_back(&slot);
    for (int32_t& slot : g_sprite_font.glyphs)
        holders.push_back(&slot);
    std::vector<resident_texture> taken;
    for (int32_t* holder : holders) {
        if (*holder < 0 || *holder >= g_texture_count)
            continue;
        taken.push_back({holder, g_textures[*holder]});
        g_textures[*holder] = empty_record();
    }
    return taken;
}

void put_resident_textures(const std::vector<resident_texture>& textures)
{
    for (const resident_texture& r : textures) {
        if (g_texture_count >= k_texture_slots) {
            console_log("texture table full: %s", r.record.name);
            texture_record lost = r.record;
            drop_surface(lost);
            *r.holder = -1;
            continue;
        }
        *r.holder = g_texture_count++;
        g_textures[*r.holder] = r.record;
    }
}

void load_fixed_textures()
{
    struct fixed {
        const char* name;
        uint32_t size;
    };
    static const fixed k_files[k_fixed_texture_count] = {
        {"global/select.bmp", 8}, {"global/select2.bmp", 8}, {"global/select3.bmp", 8},
        {"global/select4.bmp", 8}, {"global/close.bmp", 8},  {"global/black.tga", 64},
        {"global/red.tga", 64},    {"global/green.tga", 64}, {"global/blue.tga", 64},
    };
    for (int i = 0; i < k_fixed_texture_count; ++i) {
        const int32_t slot = append_texture_slot(k_files[i].name);
        g_fixed_textures[i] = slot;
        if (slot >= 0)
            create_texture_from_file(slot, k_files[i].name, k_files[i].size, k_files[i].size, 0, 0, 0);
    }
}
