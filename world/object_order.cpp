#include "world/object_order.h"

#include "world/world_objects.h"

#include <algorithm>
#include <cstddef>
#include <vector>

std::vector<uint32_t> g_draw_order;
std::vector<uint8_t> g_behaviour_marks;

namespace {

// The draw order and the serials belong to the array they were made for.
struct object_order {
    const world_object* array = nullptr;
    std::vector<uint32_t>& order = g_draw_order;
    std::vector<uint32_t> serial;  // per slot
    uint32_t next_serial = 0;
};
object_order s_order;

// What the last pass saw: positions of the depth list (beside g_depth_list), the ground decals
// and the first character object.
uint32_t s_depth_positions[k_depth_list_size];
uint32_t s_depth_noted = 0;  // entries of the depth list not yet sorted
struct noted_object {
    uint32_t index, position;
};
std::vector<noted_object> s_decals;
constexpr uint32_t k_none = UINT32_MAX;
uint32_t s_first_char = k_none;

struct keyed_index {
    int32_t key;
    uint32_t index;
};

bool by_key(const keyed_index& a, const keyed_index& b)
{
    return a.key < b.key;
}

// A stable sort that is linear on the nearly sorted keys of consecutive frames: an insertion
// sort, which hands over to a merge sort once it has moved more than a few elements per entry.
void sort_nearly_sorted(std::vector<keyed_index>& v)
{
    const size_t n = v.size();
    size_t budget = 8 * n + 64;
    for (size_t i = 1; i < n; ++i) {
        const keyed_index x = v[i];
        size_t j = i;
        while (j > 0 && by_key(x, v[j - 1])) {
            v[j] = v[j - 1];
            --j;
            if (--budget == 0) {
                v[j] = x;
                std::stable_sort(v.begin(), v.end(), by_key);
                return;
            }
        }
        v[j] = x;
    }
}

// True when position p still draws the used object `index` (the array may have changed since
// the pass noted it).
bool still_at(uint32_t index, uint32_t p)
{
    return p < s_order.order.size() && s_order.order[p] == index && index < g_object_count &&
           g_objects[index].state != 0;
}

void sort_depth_sorted()
{
    std::vector<keyed_index> entries;
    std::vector<uint32_t> positions;
    entries.reserve(g_depth_list_count);
    positions.reserve(g_depth_list_count);
    constexpr uint32_t k_ahead = 8;  // records fetched early: the list is in key order
    for (uint32_t k = 0; k < s_depth_noted; ++k) {
        if (k + k_ahead < s_depth_noted && g_depth_list[k + k_ahead] < g_object_count) {
            const char* record = reinterpret_cast<const char*>(&g_objects[g_depth_list[k + k_ahead]]);
            __builtin_prefetch(record);
            __builtin_prefetch(record + offsetof(world_object, depth_key));
        }
        const uint32_t index = g_depth_list[k], p = s_depth_positions[k];
        if (!still_at(index, p) || !g_objects[index].depth_sorted || g_objects[index].depth_sorted == k_depth_ground)
            continue;
        entries.push_back({g_objects[index].depth_key, index});
        positions.push_back(p);
    }
    sort_nearly_sorted(entries);
    for (size_t j = 0; j < entries.size(); ++j)
        s_order.order[positions[j]] = entries[j].index;
}

void place_ground_decals()
{
    std::vector<keyed_index> decals;
    std::vector<uint32_t> positions;
    for (const noted_object& d : s_decals) {
        if (still_at(d.index, d.position) && g_objects[d.index].depth_sorted == k_depth_ground) {
            decals.push_back({g_objects[d.index].depth_key, d.index});
            positions.push_back(d.position);
        }
    }
    if (decals.empty())
        return;
    sort_nearly_sorted(decals);
    const uint32_t n = uint32_t(decals.size());
    const bool char_seen = s_first_char != k_none && s_first_char < s_order.order.size();
    // Already a run in key order right before the first character: nothing moves.
    if (char_seen && positions.front() + n == s_first_char && positions.back() + 1 == s_first_char) {
        bool sorted = true;
        for (uint32_t j = 0; j < n && sorted; ++j)
            sorted = s_order.order[positions[j]] == decals[j].index;
        if (sorted)
            return;
    }
    std::vector<uint32_t>& order = s_order.order;
    uint32_t insert_at = positions.front();
    uint32_t out = 0, next_decal = 0;
    for (uint32_t p = 0; p < order.size(); ++p) {
        if (next_decal < n && positions[next_decal] == p) {
            ++next_decal;
            continue;
        }
        if (char_seen && p == s_first_char)
            insert_at = out;
        order[out++] = order[p];
    }
    order.resize(out);
    std::vector<uint32_t> run(n);
    for (uint32_t j = 0; j < n; ++j)
        run[j] = decals[j].index;
    order.insert(order.begin() + insert_at, run.begin(), run.end());
}

void clear_notes()
{
    g_depth_list_count = 0;
    s_depth_noted = 0;
    s_decals.clear();
    s_first_char = k_none;
}

} // namespace

void sync_object_order()
{
    if (s_order.array != g_objects || s_order.order.size() > g_object_count) {
        s_order.array = g_objects;
        s_order.order.clear();
        s_order.serial.assign(g_object_count, 0);
        clear_notes();
    } else if (s_order.serial.size() < g_object_count) {
        s_order.serial.resize(g_object_count, 0);
    }
    while (s_order.order.size() < g_object_count)
        s_order.order.push_back(uint32_t(s_order.order.size()));
}

void reset_object_order()
{
    s_order.array = nullptr;
    sync_object_order();
}

void keep_object_order_on_growth(const world_object* from, const world_object* to)
{
    if (s_order.array == from)
        s_order.array = to;
}

uint32_t object_serial(uint32_t index)
{
    return s_order.array == g_objects && index < s_order.serial.size() ? s_order.serial[index] : 0;
}

void stamp_object_serial(uint32_t index)
{
    sync_object_order();
    if (index < s_order.serial.size())
        s_order.serial[index] = ++s_order.next_serial;
    mark_for_behaviour(index);
}

void begin_behaviour_marks()
{
    g_behaviour_marks.assign(g_object_count, 0);
}

void begin_depth_pass()
{
    clear_notes();
}

void note_depth_sorted(uint32_t index, uint32_t position, uint32_t limit)
{
    if (g_depth_list_count >= limit)
        return;
    s_depth_positions[g_depth_list_count] = position;
    g_depth_list[g_depth_list_count++] = index;
    s_depth_noted = g_depth_list_count;
}

void note_ground_decal(uint32_t index, uint32_t position)
{
    s_decals.push_back({index, position});
}

void note_char_object(uint32_t position)
{
    if (s_first_char == k_none)
        s_first_char = position;
}

void sort_draw_order()
{
    sync_object_order();
    sort_depth_sorted();
    place_ground_decals();
    // What the pass noted is used up: the places it names have moved.
    s_depth_noted = 0;
    s_decals.clear();
    s_first_char = k_none;
}
