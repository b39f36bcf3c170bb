#include "items/containers.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/items.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

container g_containers[k_container_slots];
int16_t g_level_container_count = 0;
int16_t g_char_container_count = 0;

namespace {

constexpr const char* k_char_containers_kept = "doterajsie kontajnery postav";

// Grids move through the stream in chunks of whole cells.
constexpr uint32_t k_chunk_cells = 2048;

// The 31-byte head of the level form.
template <class Io, class Container>
void container_head_fields(Io& io, Container& c)
{
    io.text(0, c.name, k_container_name_size);
    io.u32(25, c.shop);
    io.u8(29, c.width);
    io.u8(30, c.height);
}

bool write_u16_grid(const uint16_t* grid, uint32_t cells, packed_stream* stream)
{
    uint8_t bytes[2 * k_chunk_cells];
    for (uint32_t at = 0; at < cells;) {
        uint32_t n = std::min(cells - at, k_chunk_cells);
        for (uint32_t i = 0; i < n; ++i)
            put_le_u16(bytes + 2 * i, grid[at + i]);
        if (!write_stream_bytes(stream, bytes, 2 * n))
            return false;
        at += n;
    }
    return true;
}

bool read_u16_grid(uint16_t* grid, uint32_t cells, packed_stream* stream)
{
    uint8_t bytes[2 * k_chunk_cells];
    for (uint32_t at = 0; at < cells;) {
        uint32_t n = std::min(cells - at, k_chunk_cells);
        if (stream_read(bytes, int(2 * n), stream) != int(2 * n))
            return false;
        for (uint32_t i = 0; i < n; ++i)
            grid[at + i] = le_u16(bytes + 2 * i);
        at += n;
    }
    return true;
}

bool read_container_head(container* head, packed_stream* stream)
{
    uint8_t bytes[k_container_head_size];
    if (stream_read(bytes, int(sizeof bytes), stream) != int(sizeof bytes))
        return false;
    record_reader in{bytes};
    container_head_fields(in, *head);
    return true;
}

// Skips one container of the level form; false when the data ends first.
bool skip_container(packed_stream* stream)
{
    container head{};
    return read_container_head(&head, stream) &&
           skip_stream_bytes(stream, uint64_t(container_cells(&head)) * k_container_cell_size);
}

// Level slots from `from` up lose their grids.
void free_level_slots_from(int32_t from)
{
    for (int32_t i = std::max(from, 0); i < k_level_container_slots; ++i)
        container_free(&g_containers[i]);
}

// The i16 count of a section of level or character containers, or -1 when it cannot be read.
int32_t read_level_count(packed_stream* stream, const char* section)
{
    int value = stream_read_u16le(stream);
    if (value < 0)
        return -1;
    int32_t count = int16_t(value);
    if (count < 0) {
        console_log("%s: count %d read as 0", section, int(count));
        return 0;
    }
    if (count > k_level_container_slots)
        console_log("%s: %d stored, the first %d kept", section, int(count), k_level_container_slots);
    return count;
}

// The i16 level count, then write_one(container, stream) for each level container.
template <class Write>
bool save_level_list(packed_stream* stream, Write write_one)
{
    if (!stream)
        return false;
    int16_t count = int16_t(std::clamp<int32_t>(g_level_container_count, 0, k_level_container_slots));
    if (stream_write_u16le(uint16_t(count), stream) < 0)
        return false;
    for (int32_t i = 0; i < count; ++i)
        if (!write_one(&g_containers[i], stream))
            return false;
    return true;
}

int32_t char_count()
{
    return std::clamp<int32_t>(g_char_container_count, 0, k_container_slots - k_char_container_first);
}

// Reads the character containers' list whole into scratch slots; false (nothing kept) when the
// count is missing or the data ends early.
bool read_char_list(packed_stream* stream, std::vector<container>& scratch, const char* path)
{
    int32_t count = read_level_count(stream, path);
    if (count < 0) {
        report_damaged_file(path, "chyba pocet", k_char_containers_kept);
        return false;
    }
    scratch.assign(size_t(std::min(count, k_container_slots - k_char_container_first)), container{});
    bool complete = true;
    int32_t i = 0;
    for (; complete && i < int32_t(scratch.size()); ++i)
        complete = container_read(&scratch[size_t(i)], stream);
    for (; complete && i < count; ++i)
        complete = skip_container(stream);
    if (!complete) {
        const std::string where = "konci v kontajneri " + std::to_string(i) + " z " + std::to_string(count);
        report_damaged_file(path, where.c_str(), k_char_containers_kept);
        for (container& c : scratch)
            container_free(&c);
    }
    return complete;
}

// Within the grid: the cheapest item a crowded shop may lose (not normal, quick or scroll, and in
// the item table), the first cell winning a tie; -1 when there is none.
int32_t cheapest_removable_cell(const container* c)
{
    int32_t best = -1;
    int32_t best_price = 0;
    uint32_t cells = container_cells(c);
    for (uint32_t k = 0; k < cells; ++k) {
        if (c->items[k] == k_container_cell_empty)
            continue;
        const item_proto* p = item_proto_at(c->items[k]);
        if (!p || p->item_class == k_item_normal || p->item_class == k_item_quick || p->item_class == k_item_scroll)
            continue;
        if (best < 0 || p->price < best_price) {
            best = int32_t(k);
            best_price = p->price;
        }
    }
    return best;
}

} // namespace

uint32_t container_cells(const container* c)
{
    return uint32_t(c->width) * c->height;
}

bool container_init(container* c, const char* name, uint8_t width, uint8_t height, uint32_t shop)
{
    if (c->name != name)
        std::strncpy(c->name, name, k_container_name_size - 1);
    c->name[k_container_name_size - 1] = 0;
    c->width = width;
    c->height = height;
    c->shop = shop;
    container_free(c);
    uint32_t cells = container_cells(c);
    size_t room = std::max<uint32_t>(cells, 1);  // a grid of no cells still marks the slot in use
    c->items = static_cast<uint16_t*>(std::malloc(room * sizeof(uint16_t)));
    c->prices = static_cast<uint16_t*>(std::calloc(room, sizeof(uint16_t)));
    c->flags = static_cast<uint8_t*>(std::calloc(room, 1));
    if (!c->items || !c->prices || !c->flags) {
        container_free(c);
        return false;
    }
    std::fill(c->items, c->items + cells, k_container_cell_empty);
    return true;
}

void container_free(container* c)
{
    std::free(c->items);
    std::free(c->prices);
    std::free(c->flags);
    c->items = nullptr;
    c->prices = nullptr;
    c->flags = nullptr;
}

bool container_write(container* c, packed_stream* stream)
{
    if (!c->items && !container_init(c, c->name, c->width, c->height, c->shop))
        return false;
    uint8_t head[k_container_head_size] = {};
    record_writer out{head};
    container_head_fields(out, *c);
    uint32_t cells = container_cells(c);
    return write_stream_bytes(stream, head, sizeof head) && write_u16_grid(c->items, cells, stream) &&
           write_u16_grid(c->prices, cells, stream) && write_stream_bytes(stream, c->flags, cells);
}

bool container_read(container* c, packed_stream* stream)
{
    container head{};
    if (!read_container_head(&head, stream)) {
        container_free(c);
        return false;
    }
    if (!container_init(c, head.name, head.width, head.height, head.shop)) {
        console_log("container %s of %d x %d: no memory for its grids", head.name, int(head.width), int(head.height));
        skip_stream_bytes(stream, uint64_t(container_cells(&head)) * k_container_cell_size);
        return false;
    }
    uint32_t cells = container_cells(c);
    if (read_u16_grid(c->items, cells, stream) && read_u16_grid(c->prices, cells, stream) &&
        stream_read(c->flags, int(cells), stream) == int(cells))
        return true;
    container_free(c);
    return false;
}

bool container_write_state(const container* c, packed_stream* stream)
{
    uint8_t bytes[k_container_state_size];
    put_le_u32(bytes, k_container_state_version);
    put_le_f32(bytes + 4, c->x);
    put_le_f32(bytes + 8, c->y);
    return write_stream_bytes(stream, bytes, sizeof bytes);
}

bool container_read_state(container* c, packed_stream* stream)
{
    uint8_t bytes[k_container_state_size];
    if (stream_read(bytes, int(sizeof bytes), stream) != int(sizeof bytes))
        return false;
    c->x = le_f32(bytes + 4);
    c->y = le_f32(bytes + 8);
    return true;
}

bool save_level_containers(packed_stream* stream)
{
    return save_level_list(stream, container_write);
}

bool load_level_containers(packed_stream* stream)
{
    if (!stream)
        return false;
    int32_t count = read_level_count(stream, "level containers");
    if (count < 0) {
        console_log("level containers: the section is missing; the containers are kept");
        return false;
    }
    int32_t kept = std::min(count, k_level_container_slots);
    int32_t read = 0;
    while (read < kept && container_read(&g_containers[read], stream))
        ++read;
    g_level_container_count = int16_t(read);
    free_level_slots_from(read);
    bool complete = read == kept;
    for (int32_t i = kept; complete && i < count; ++i)
        complete = skip_container(stream);
    if (!complete)
        console_log("level containers: the section ends early; %d containers read", int(read));
    return complete;
}

bool skip_level_containers(packed_stream* stream)
{
    const int value = stream ? stream_read_u16le(stream) : -1;
    if (value < 0)
        return false;
    bool complete = true;
    for (int32_t i = 0; complete && i < int16_t(value); ++i)
        complete = skip_container(stream);
    return complete;
}

bool save_level_container_states(packed_stream* stream)
{
    return save_level_list(stream, container_write_state);
}

bool load_level_container_states(packed_stream* stream)
{
    if (!stream)
        return false;
    int32_t count = read_level_count(stream, "container states");
    if (count < 0) {
        console_log("container states: the section is missing; no level containers");
        g_level_container_count = 0;
        free_level_slots_from(0);
        return false;
    }
    int32_t kept = std::min(count, k_level_container_slots);
    g_level_container_count = int16_t(kept);
    free_level_slots_from(kept);
    int32_t read = 0;
    while (read < kept && container_read_state(&g_containers[read], stream))
        ++read;
    bool complete = read == kept &&
                    skip_stream_bytes(stream, uint64_t(count - kept) * k_container_state_size);
    if (!complete)
        console_log("container states: the section ends early; %d positions read", int(read));
    return complete;
}

void free_level_containers()
{
    free_level_slots_from(0);
    g_level_container_count = 0;
}

void remove_level_container(int32_t index)
{
    int32_t count = std::clamp<int32_t>(g_level_container_count, 0, k_level_container_slots);
    if (index < 0 || index >= count) {
        console_log("remove container %d: no such level container", int(index));
        return;
    }
    container_free(&g_containers[index]);
    std::move(g_containers + index + 1, g_containers + count, g_containers + index);
    g_level_container_count = int16_t(count - 1);
    container& freed = g_containers[count - 1];
    freed.items = nullptr;
    freed.prices = nullptr;
    freed.flags = nullptr;
}

bool container_put(container* c, int32_t x, int32_t y, int32_t item, uint8_t flag, float factor)
{
    const item_proto* p = item_proto_at(item);
    if (!c->items || x < 0 || y < 0 || x >= c->width || y >= c->height || !p)
        return false;
    uint32_t k = uint32_t(y) * c->width + uint32_t(x);
    float price = std::trunc(float(p->price) * factor);
    c->items[k] = uint16_t(item);
    c->flags[k] = flag;
    c->prices[k] = std::isnan(price) ? 0 : uint16_t(std::clamp(price, 0.0f, 65535.0f));
    return true;
}

void container_tidy(container* c)
{
    if (!c->items)
        return;
    uint32_t cells = container_cells(c);
    std::vector<bool> seen(k_container_cell_empty);
    uint32_t used = 0;
    for (uint32_t k = 0; k < cells; ++k) {
        uint16_t& id = c->items[k];
        if (id == k_container_cell_empty)
            continue;
        if (seen[id])
            id = k_container_cell_empty;
        else
            seen[id] = true, ++used;
    }
    if (uint64_t(used) * 10 <= uint64_t(cells) * 7)
        return;
    for (uint32_t pass = used - cells / 2; pass > 0; --pass) {
        int32_t k = cheapest_removable_cell(c);
        if (k >= 0)
            c->items[k] = k_container_cell_empty;
    }
}

bool save_char_containers_to(const char* path)
{
    packed_stream* out = stream_open(path, "wp");
    int32_t count = char_count();
    bool written = out && stream_write_u16le(uint16_t(count), out) >= 0;
    for (int32_t i = 0; written && i < count; ++i)
        written = container_write(&g_containers[k_char_container_first + i], out);
    if (!finish_written_file(out, written)) {
        console_log("%s: the write failed, the old file stays", path);
        return false;
    }
    return true;
}

bool load_char_containers_from(const char* path)
{
    packed_stream* in = open_data_file(path, k_char_containers_kept);
    if (!in)
        return false;
    std::vector<container> scratch;
    bool read = read_char_list(in, scratch, path);
    if (close_read_file(in, read, path, k_char_containers_kept) > 0) {
        for (container& c : scratch)
            container_free(&c);
        return false;
    }
    if (!read)
        return false;
    for (int32_t i = k_char_container_first; i < k_container_slots; ++i)
        container_free(&g_containers[i]);
    std::copy(scratch.begin(), scratch.end(), g_containers + k_char_container_first);
    g_char_container_count = int16_t(scratch.size());
    return true;
}

bool save_char_containers()
{
    return save_char_containers_to(k_char_containers_file);
}

bool load_char_containers()
{
    return load_char_containers_from(k_char_containers_file);
}

int32_t new_char_container(int32_t item)
{
    console_log("pocet char kontajnerov je %d", int(g_char_container_count));
    const item_proto* p = item_proto_at(item);
    if (!p || p->item_class != k_item_container) {
        console_log("item %d is no container item: no character container", int(item));
        return -1;
    }
    int32_t count = char_count();
    int32_t slot = k_char_container_first;
    while (slot < k_char_container_first + count && g_containers[slot].items)
        ++slot;
    if (slot >= k_container_slots) {
        console_log("all %d character containers are in use", k_container_slots - k_char_container_first);
        return -1;
    }
    if (!container_init(&g_containers[slot], k_char_container_name, p->container_width, p->container_height, 0)) {
        console_log("character container %d: no memory for its grids", int(slot));
        return -1;
    }
    g_char_container_count = int16_t(std::max(count, slot - k_char_container_first + 1));
    return slot;
}

int32_t scaled_price(int32_t price, int32_t factor)
{
    return int32_t(int64_t(price) * factor / 100);
}
