// Clicks on the side panel and the container windows in a small world (a hero with items, a
// chest or a shop in the first window, the hero's bag in the second). Byte 0 chooses the shop,
// bytes 1 and 2 are the shop's buy and sell factors; each later byte is a slot code, except 251,
// which cancels the drag and opens both windows again, and 252, which empties the purse. After
// every step no item may have been made or lost (an item used from a window excepted) and the
// purse must have moved by exactly the trades; a broken rule is logged and aborts.
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "interface/item_clicks.h"
#include "interface/side_panel.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/interface/click_world.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr uint8_t k_cancel_byte = 251;
constexpr uint8_t k_empty_purse_byte = 252;
constexpr size_t k_head = 3;

void free_grids()
{
    for (container& c : g_containers)
        if (c.items)
            container_free(&c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    build_click_world(size > 0 && data[0] % 2 == 1);
    if (size >= k_head) {
        g_interface.shop_buy_factor = data[1];
        g_interface.shop_sell_factor = data[2];
    }
    const int16_t first = g_interface.container_id, second = g_interface.second_container_id;
    for (size_t i = k_head; i < size; ++i) {
        const item_census before = take_item_census();
        const uint8_t code = data[i];
        const int32_t used = census_usable_item(code);
        if (code == k_cancel_byte) {
            cancel_item_drag();
            g_interface.container_open = g_interface.second_container_open = 1;
            g_interface.container_id = first;
            g_interface.second_container_id = second;
        } else if (code == k_empty_purse_byte) {
            panel_hero()->gold = 0;
            continue;
        } else if (code != k_code_none) {
            click_panel_code(code);
        }
        const std::string fault = census_difference(before, take_item_census(), used) + hand_fault();
        if (!fault.empty()) {
            console_log("panel clicks: step %d code %d: %s", int(i), int(code), fault.c_str());
            std::abort();
        }
    }
    console_log("panel clicks fuzz: %d steps", int(size));
    free_grids();
    g_char_count = 0;
    g_item_proto_count = 0;
    std::remove("global/konzola.log");
    return 0;
}
