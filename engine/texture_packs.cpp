#include "engine/texture_packs.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

std::vector<uint8_t> (*g_pack_mask_file)() = nullptr;

namespace {

constexpr const char* k_no_pack = "textury bez balika";

constexpr uint32_t k_index_entry_size = 124;
constexpr uint32_t k_max_pitch = 65536;

bool in_table(int32_t slot)
{
    return slot >= 0 && slot < k_texture_slots;
}

bool put_u32(std::FILE* file, uint32_t v)
{
    uint8_t b[4];
    put_le_u32(b, v);
    return std::fwrite(b, 1, 4, file) == 4;
}

bool get_u32(std::FILE* file, uint32_t& v)
{
    uint8_t b[4];
    if (std::fread(b, 1, 4, file) != 4)
        return false;
    v = le_u32(b);
    return true;
}

// Reads exactly n bytes from a pack file or a packed stream.
struct entry_source {
    std::FILE* file = nullptr;
    packed_stream* stream = nullptr;

    bool read(void* buffer, size_t n) const
    {
        if (file)
            return std::fread(buffer, 1, n, file) == n;
        return n <= 0x7FFFFFFF && stream_read(buffer, static_cast<int>(n), stream) == static_cast<int>(n);
    }
    bool read_u32(uint32_t& v) const
    {
        uint8_t b[4];
        if (!read(b, 4))
            return false;
        v = le_u32(b);
        return true;
    }
};

enum class entry_result { surface, empty, bad };

// Reads a pixel entry after its width into the slot's new surface (discard: past it, leaving
// no surface). The slot's old surface is freed first.
entry_result read_entry_body(const entry_source& in, int32_t slot, uint32_t width, bool discard)
{
    texture_record& t = g_textures[slot];
    drop_texture_surface(slot);
    if (width == 0)
        return entry_result::empty;
    uint32_t height = 0, format = 0, pitch = 0;
    if (width > k_pack_max_side || !in.read_u32(height) || !in.read_u32(format) || height == 0 ||
        height > k_pack_max_side || (!discard && !texture_format_known(format)) || !in.read_u32(pitch) ||
        pitch == 0 || pitch > k_max_pitch)
        return entry_result::bad;
    const texture_format layout = discard ? texture_format::r5g6b5 : static_cast<texture_format>(format);
    const uint32_t rows = texture_rows(layout, height);
    std::vector<uint8_t> bytes(static_cast<size_t>(pitch) * rows);
    if (!in.read(bytes.data(), bytes.size()))
        return entry_result::bad;
    if (discard)
        return entry_result::empty;
    if (!g_d3d_device)
        return entry_result::bad;
    device_texture* surface = g_d3d_device->create_texture(width, height, layout, false);
    texture_lock lock;
    if (!surface || !g_d3d_device->lock_texture(surface, lock)) {
        if (surface)
            g_d3d_device->release_texture(surface);
        return entry_result::bad;
    }
    const uint32_t row_bytes = std::min(pitch, lock.pitch);
    for (uint32_t r = 0; r < std::min(rows, lock.rows); ++r)
        std::memcpy(lock.bits + static_cast<size_t>(r) * lock.pitch, bytes.data() + static_cast<size_t>(r) * pitch,
                    row_bytes);
    g_d3d_device->unlock_texture(surface, true);
    t.surface = surface;
    t.format = format;
    t.width = surface->width;
    t.height = surface->height;
    return entry_result::surface;
}

// Writes a file through a temporary beside it, replacing the target after a complete write.
class pack_writer {
public:
    explicit pack_writer(const char* target) : target_(target), temp_(new_temporary_name(target))
    {
        file_ = std::fopen(temp_.c_str(), "wb");
    }
    ~pack_writer()
    {
        if (file_)
            std::fclose(file_);
        if (!ended_)
            discard_temporary(temp_);
    }
    pack_writer(const pack_writer&) = delete;
    pack_writer& operator=(const pack_writer&) = delete;

    std::FILE* file() const { return file_; }
    // Closes and replaces the target; false (the target untouched) after any failure.
    bool commit(bool written)
    {
        if (!file_)
            return false;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        ended_ = true;
        if (written && closed)
            return commit_temporary(temp_, target_.c_str());
        discard_temporary(temp_);
        return false;
    }

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool ended_ = false;  // the temporary was committed or discarded
};

// The number of index entries the file holds, N clamped to the entries present and the table.
bool read_index_count(std::FILE* file, const char* name, uint32_t& n)
{
    if (!get_u32(file, n)) {
        report_damaged_file(name, "hlavicka", k_no_pack);
        return false;
    }
    long size = 0;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::fseek(file, 4, SEEK_SET);
    const uint32_t present = size > 4 ? static_cast<uint32_t>((size - 4) / k_index_entry_size) : 0;
    const uint32_t usable = std::min<uint32_t>(present, static_cast<uint32_t>(k_texture_slots));
    if (n > usable) {
        const std::string where = std::to_string(n) + " zaznamov, v subore " + std::to_string(present);
        report_damaged_file(name, where.c_str(), (std::to_string(usable) + " zaznamov").c_str());
        n = usable;
    } else if (size != 4 + static_cast<long>(n) * k_index_entry_size) {
        const std::string where = std::to_string(n) + " zaznamov v " + std::to_string(size) + " bajtoch";
        report_damaged_file(name, where.c_str(), (std::to_string(n) + " zaznamov").c_str());
    }
    return true;
}

std::FILE* open_read(const char* name)
{
    return name ? std::fopen(resolve_path(name).c_str(), "rb") : nullptr;
}

} // namespace

bool texture_pack_names(const char* base, char (&dat)[256], char (&idx)[256], char (&msk)[256])
{
    const size_t length = base ? std::strlen(base) : 0;
    if (length < 3 || length >= 256)
        return false;
    for (char* name : {dat, idx, msk})
        std::memcpy(name, base, length + 1);
    dat[length - 3] = 'd';
    dat[length - 1] = 't';
    std::memcpy(idx + length - 3, "idx", 3);
    std::memcpy(msk + length - 3, "msk", 3);
    return true;
}

int32_t write_texture_pixels(int32_t slot, std::FILE* file)
{
    if (!in_table(slot) || !file)
        return -1;
    const texture_record& t = g_textures[slot];
    texture_lock lock;
    if (!t.surface || !g_d3d_device || !g_d3d_device->lock_texture(t.surface, lock))
        return put_u32(file, 0) ? 0 : -1;
    const size_t size = static_cast<size_t>(lock.pitch) * lock.rows;
    const bool ok = put_u32(file, t.surface->width) && put_u32(file, t.surface->height) &&
                    put_u32(file, static_cast<uint32_t>(t.surface->format)) && put_u32(file, lock.pitch) &&
                    std::fwrite(lock.bits, 1, size, file) == size;
    g_d3d_device->unlock_texture(t.surface, false);
    return ok ? 0 : -1;
}

int32_t save_texture_pack(int32_t level_only)
{
    std::vector<int32_t> slots;
    for (int32_t i = 0; i < g_texture_count; ++i)
        if (!level_only || g_textures[i].in_level == 1)
            slots.push_back(i);
    char dat[256], idx[256], msk[256];
    if (!texture_pack_names(level_only ? g_map_path : "main.dat", dat, idx, msk)) {
        console_log("texture pack: bad name %s", level_only ? g_map_path : "main.dat");
        return -1;
    }

    std::vector<int32_t> offsets;
    pack_writer pixels(dat);
    bool ok = pixels.file() != nullptr;
    for (size_t i = 0; ok && i < slots.size(); ++i) {
        const long at = std::ftell(pixels.file());
        ok = at >= 0 && at <= 0x7FFFFFFF && write_texture_pixels(slots[i], pixels.file()) == 0;
        offsets.push_back(static_cast<int32_t>(at));
    }
    if (!pixels.commit(ok)) {
        console_log("could not write texture pack %s", dat);
        return -1;
    }
    for (size_t i = 0; i < slots.size(); ++i)
        g_textures[slots[i]].pack_offset = offsets[i];

    pack_writer index(idx);
    ok = index.file() && put_u32(index.file(), static_cast<uint32_t>(slots.size()));
    for (size_t i = 0; ok && i < slots.size(); ++i)
        ok = std::fwrite(g_textures[slots[i]].name, 1, k_texture_name_size, index.file()) == k_texture_name_size &&
             put_u32(index.file(), static_cast<uint32_t>(offsets[i]));
    if (!index.commit(ok)) {
        console_log("could not write texture pack %s", idx);
        return -1;
    }

    const std::vector<uint8_t> mask_file = g_pack_mask_file ? g_pack_mask_file() : std::vector<uint8_t>(4, 0);
    pack_writer masks(msk);
    ok = masks.file() && std::fwrite(mask_file.data(), 1, mask_file.size(), masks.file()) == mask_file.size();
    if (!masks.commit(ok)) {
        console_log("could not write texture pack %s", msk);
        return -1;
    }
    return 0;
}

int32_t read_texture_record(int32_t slot, std::FILE* file)
{
    if (!file || !in_table(slot))
        return -1;
    free_texture(slot);
    texture_record& t = g_textures[slot];
    char name[k_texture_name_size];
    uint32_t offset = 0;
    if (std::fread(name, 1, sizeof name, file) != sizeof name || !get_u32(file, offset))
        return -1;
    name[k_texture_name_size - 1] = '\0';
    std::memcpy(t.name, name, sizeof name);
    t.pack_offset = static_cast<int32_t>(offset);
    t.refcount = 0;
    return 0;
}

void load_texture_pack(const char* index_name, const char* pixel_file)
{
    std::FILE* file = open_read(index_name);
    if (!file) {
        report_missing_file(index_name ? index_name : "", k_no_pack);
        return;
    }
    uint32_t n = 0;
    if (!read_index_count(file, index_name, n)) {
        std::fclose(file);
        return;
    }
    const std::vector<resident_texture> residents = take_resident_textures();
    const int32_t old_count = g_texture_count;
    for (int32_t i = 0; i < std::max(old_count, static_cast<int32_t>(n)); ++i)
        free_texture(i);
    ++g_texture_table_generation;
    g_texture_count = static_cast<int32_t>(n);
    for (int32_t i = 0; i < g_texture_count; ++i) {
        if (read_texture_record(i, file) != 0) {
            g_texture_count = i;
            break;
        }
    }
    std::fclose(file);
    if (pixel_file)
        std::snprintf(g_map_path, sizeof g_map_path, "%s", pixel_file);
    else
        std::snprintf(g_map_path, sizeof g_map_path, "data/levels/main_%s.dat", g_language);
    console_log("wahahahaha %s", g_map_path);
    int32_t made = 0;
    for (int32_t i = 0; i < g_texture_count; ++i) {
        g_textures[i].in_level = 0;
        upload_texture(i);
        made += g_textures[i].surface != nullptr;
    }
    // Empty entries are 4 bytes each: a pack of nothing else is that long.
    const uint32_t empty_pack = 4u * static_cast<uint32_t>(g_texture_count);
    if (g_d3d_device && g_texture_count > 0 && made == 0 && file_size(g_map_path) != empty_pack)
        report_damaged_file(g_map_path, "ziadny citatelny zaznam", k_no_pack);
    put_resident_textures(residents);
}

int32_t add_textures_from_pack(const char* index_name)
{
    std::FILE* file = open_read(index_name);
    if (!file) {
        report_missing_file(index_name ? index_name : "", k_no_pack);
        return -1;
    }
    uint32_t n = 0;
    if (!read_index_count(file, index_name, n)) {
        std::fclose(file);
        return -1;
    }
    int32_t search = 0; // slots before it are taken or were not free
    for (uint32_t e = 0; e < n; ++e) {
        while (search < g_texture_count &&
               (g_textures[search].surface || g_textures[search].pack_offset != -1))
            ++search;
        if (search >= k_texture_slots) {
            console_log("texture table full: %s", index_name);
            break;
        }
        const int32_t slot = search;
        if (slot == g_texture_count)
            ++g_texture_count;
        if (read_texture_record(slot, file) != 0)
            break;
        g_textures[slot].in_level = 1;
        g_textures[slot].loaded = 0;
    }
    return std::fclose(file) == 0 ? 0 : -1;
}

int32_t upload_texture_from_pack(int32_t slot)
{
    if (!in_table(slot))
        return -1;
    texture_record& t = g_textures[slot];
    const size_t length = std::strlen(g_map_path);
    if (length < 5)
        return -1;
    char path[256];
    std::memcpy(path, g_map_path, length + 1);
    std::memcpy(path + length - 3, "dat", 3);
    if (file_exists(path) != 1)
        return -1;
    if (t.surface)
        return 0;
    std::FILE* file = open_read(path);
    uint32_t width = 0;
    entry_result result = entry_result::bad;
    if (file && t.pack_offset >= 0 && std::fseek(file, t.pack_offset, SEEK_SET) == 0 && get_u32(file, width))
        result = read_entry_body(entry_source{file, nullptr}, slot, width, false);
    if (file)
        std::fclose(file);
    t.loaded = 1;
    if (result == entry_result::bad) {
        const std::string where = std::string("zaznam ") + t.name;
        report_damaged_file(path, where.c_str(), "prazdna textura");
    }
    return result == entry_result::surface ? 0 : -1;
}

int32_t read_texture_pixels(int32_t slot, packed_stream* stream)
{
    if (!stream || !in_table(slot))
        return -1;
    texture_record& t = g_textures[slot];
    const size_t length = std::strlen(t.name);
    const bool video = length > 0 && t.name[length - 1] == 'i';
    t.refcount = 0;
    const entry_source in{nullptr, stream};
    uint32_t width = 0;
    if (!in.read_u32(width)) {
        drop_texture_surface(slot);
        return -1;
    }
    if (video) {
        console_log("bude to avi");
        t.format = k_format_r5g6b5;
    }
    const entry_result result = read_entry_body(in, slot, width, video);
    t.loaded = 1;
    if (result == entry_result::bad) {
        console_log("bad texture entry: %s", t.name);
        return -1;
    }
    return 0;
}
