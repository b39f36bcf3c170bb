// The side panel's item tooltip: show_slot_tooltip on an equipped weapon with a 600-byte
// description (composed, shown, laid out, composed and shown again), alone (range 0) and with the
// message window's run and draw passes as the frame draws it (range 1), on the recording device,
// in a scratch folder.
#include "bench/bench_device.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/render_context.h"
#include "interface/side_panel_tooltips.h"
#include "items/items.h"
#include "platform/files.h"
#include "script/text_window.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr uint8_t k_weapon_slot_code = 24;

void BM_ItemTooltipTwoPass(benchmark::State& state)
{
    in_fuzz_folder scratch;
    make_folder("data");
    make_folder("data/predmety");
    make_folder("data/predmety/eng");
    std::string text;
    while (text.size() < 600)
        text += "A blade of old make, light in the hand and keen. ^l ";
    const std::string path = "data/predmety/eng/sword.txt";
    write_fuzz_file(path.c_str(), reinterpret_cast<const uint8_t*>(text.data()), text.size());

    const item_proto kept_item = g_item_protos[0];
    const int32_t kept_count = g_item_proto_count;
    item_proto& sword = g_item_protos[0];
    sword = item_proto{};
    copy_bounded(sword.key_name, sizeof sword.key_name, "sword");
    copy_bounded(sword.display_name, sizeof sword.display_name, "Sword");
    sword.item_class = k_item_medium_weapon;
    sword.damage = 10;
    sword.critical_multiplier = 1.5f;
    sword.attunement_link = -1;
    g_item_proto_count = 1;
    std::strcpy(g_language, "eng");
    std::memset(&g_chars[0], 0, sizeof(char_record));
    g_chars[0].inv_count = 1;
    g_chars[0].inv_item[0] = 0;
    g_chars[0].inv_location[0] = k_weapon_slot_code;
    g_char_count = 1;
    g_player_char = 0;

    auto device = open_bench_device(state, false);
    g_d3d_device = device.get();
    const bool draw = state.range(0) == 1;
    for (auto _ : state) {
        show_slot_tooltip(k_weapon_slot_code);
        if (draw) {
            run_text_window(&g_message_window);
            draw_text_window(&g_message_window);
        }
        benchmark::DoNotOptimize(g_message_window.word_count);
    }
    reset_text_window(&g_message_window);
    g_d3d_device = nullptr;
    g_char_count = 0;
    g_item_protos[0] = kept_item;
    g_item_proto_count = kept_count;
}
BENCHMARK(BM_ItemTooltipTwoPass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
