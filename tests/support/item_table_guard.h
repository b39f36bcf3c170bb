// Test helper: keeps the item table (records, lists, count and attunement thresholds) as it was
// around a test, and builds records for it.
#pragma once

#include "core/utilities.h"
#include "items/items.h"

#include <algorithm>
#include <iterator>
#include <memory>

class item_table_guard {
public:
    item_table_guard()
        : protos_(std::make_unique<item_proto[]>(k_item_slots)), lists_(std::make_unique<item_lists[]>(k_item_slots)),
          count_(g_item_proto_count)
    {
        std::copy(std::begin(g_item_protos), std::end(g_item_protos), protos_.get());
        std::copy(std::begin(g_item_lists), std::end(g_item_lists), lists_.get());
        std::copy(std::begin(g_attunement_thresholds), std::end(g_attunement_thresholds), thresholds_);
    }
    ~item_table_guard()
    {
        std::copy(protos_.get(), protos_.get() + k_item_slots, g_item_protos);
        std::copy(lists_.get(), lists_.get() + k_item_slots, g_item_lists);
        std::copy(std::begin(thresholds_), std::end(thresholds_), g_attunement_thresholds);
        g_item_proto_count = count_;
    }
    item_table_guard(const item_table_guard&) = delete;
    item_table_guard& operator=(const item_table_guard&) = delete;

private:
    std::unique_ptr<item_proto[]> protos_;
    std::unique_ptr<item_lists[]> lists_;
    int32_t count_;
    int32_t thresholds_[k_attunement_tiers];
};

// Item id `id` becomes a cleared record with the key name, display name and class; the count
// grows to cover it.
inline item_proto& make_item(int32_t id, const char* key_name, const char* display_name, uint8_t item_class)
{
    item_proto& item = g_item_protos[id];
    item = item_proto{};
    g_item_lists[id] = item_lists{};
    copy_bounded(item.key_name, sizeof item.key_name, key_name);
    copy_bounded(item.display_name, sizeof item.display_name, display_name);
    item.item_class = item_class;
    item.attunement_link = -1;
    g_item_proto_count = std::max(g_item_proto_count, id + 1);
    return item;
}
