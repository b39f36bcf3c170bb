#include "items/item_editing.h"

#include "items/items.h"

#include <algorithm>
#include <cstring>

namespace {

item_property* append_entry(int16_t& count, item_property* list)
{
    const int32_t n = std::clamp<int32_t>(count, 0, k_item_list_entries);
    if (n >= k_item_list_entries)
        return nullptr;
    count = int16_t(n + 1);
    list[n] = item_property{};
    return &list[n];
}

void remove_entry(int16_t& count, item_property* list, int32_t index)
{
    const int32_t n = std::clamp<int32_t>(count, 0, k_item_list_entries);
    if (index < 0 || index >= n)
        return;
    std::copy(list + index + 1, list + n, list + index);
    list[n - 1] = item_property{};
    count = int16_t(n - 1);
}

bool in_table(int32_t item)
{
    return item >= 0 && item < std::min(g_item_proto_count, k_item_slots);
}

} // namespace

void add_item_requirement(int32_t item, int32_t code, int32_t a1, int32_t a2, int32_t a3)
{
    if (!in_table(item))
        return;
    item_property* e = append_entry(g_item_protos[item].requirement_count, g_item_lists[item].requirements);
    if (!e)
        return;
    e->code = uint16_t(code);
    e->args[0] = int16_t(a1);
    e->args[1] = int16_t(a2);
    e->args[2] = int16_t(a3);
}

void remove_item_requirement(int32_t item, int32_t index)
{
    if (in_table(item))
        remove_entry(g_item_protos[item].requirement_count, g_item_lists[item].requirements, index);
}

void add_item_effect(int32_t item, int32_t code, const int32_t (&args)[6])
{
    if (!in_table(item))
        return;
    item_property* e = append_entry(g_item_protos[item].efect_count, g_item_lists[item].efects);
    if (!e)
        return;
    e->code = uint16_t(code);
    for (int k = 0; k < 6; ++k)
        e->args[k] = int16_t(args[k]);
}

void remove_item_effect(int32_t item, int32_t index)
{
    if (in_table(item))
        remove_entry(g_item_protos[item].efect_count, g_item_lists[item].efects, index);
}

int32_t find_item_by_list_row(const char* row)
{
    if (!row)
        return -1;
    int32_t id = 0;
    int32_t k = 0;
    for (; k < 3 && row[k] >= '0' && row[k] <= '9'; ++k)
        id = id * 10 + (row[k] - '0');
    if (k == 0 || row[k] != '-' || !in_table(id))
        return -1;
    const item_proto& item = g_item_protos[id];
    const char* name = row + k + 1;
    return std::strncmp(item.display_name, name, sizeof item.display_name) == 0 &&
                   std::strlen(name) < sizeof item.display_name
               ? id
               : -1;
}
