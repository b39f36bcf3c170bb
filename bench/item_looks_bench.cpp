// Worn item models: build_char_model_set of a weapon (three models in each of 18 clips) for a
// character whose model registry holds 4,999 loaded entries, the weapon's 54 among them at the end
// (CPU time per build).
#include "bench/bench_scene.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/utilities.h"
#include "items/item_looks.h"
#include "items/items.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void BM_BuildCharModelSetCached(benchmark::State& state)
{
    bench_scene scene("zorv_item_looks_bench");
    release_char_models();
    char_record& c = g_chars[1];
    c = char_record{};
    c.slot = 1;
    c.anim_set = 1;
    copy_bounded(c.appearance, sizeof c.appearance, "hero");
    g_move_proto_count = k_item_anim_count;
    for (int32_t n = 0; n < k_item_anim_count; ++n) {
        init_move_proto(&g_move_protos[n]);
        *item_anim_clip(&c, n) = int16_t(n);
    }
    item_proto saved_item = g_item_protos[0];
    int32_t saved_count = g_item_proto_count;
    item_proto& sword = g_item_protos[0];
    sword = item_proto{};
    sword.item_class = k_item_medium_weapon;
    copy_bounded(sword.model_name, sizeof sword.model_name, "mec");
    g_item_proto_count = std::max(g_item_proto_count, 1);

    const int32_t worn = 3 * k_item_anim_count;
    const int32_t first_worn = int32_t(k_chardata_append_limit) - worn;
    static const char* const k_suffixes[3] = {"", "_e", "_g"};
    for (int32_t i = 0; i < int32_t(k_chardata_append_limit); ++i) {
        chardata_entry& e = g_chardata[i];
        if (i < first_worn) {
            std::snprintf(e.path, sizeof e.path, "3d/hero/1/%s/other%d.3d", k_item_anim_names[i % 18], int(i));
        } else {
            int32_t k = i - first_worn;
            std::snprintf(e.path, sizeof e.path, "3d/hero/1/%s/mec%s.3d", k_item_anim_names[k % 18], k_suffixes[k / 18]);
        }
        copy_bounded(e.name, sizeof e.name, e.path);
        e.loaded = 1;
    }
    g_chardata_count = k_chardata_append_limit;

    for (auto _ : state) {
        build_char_model_set(0, &c);
        benchmark::DoNotOptimize(g_move_protos[0].part_model[8]);
    }
    if (g_move_protos[17].part_model[16] != int16_t(k_chardata_append_limit - 1))
        state.SkipWithError("the cached models were not found");

    release_char_models();
    g_item_protos[0] = saved_item;
    g_item_proto_count = saved_count;
    c = char_record{};
}
BENCHMARK(BM_BuildCharModelSetCached)->Unit(benchmark::kMicrosecond);

} // namespace
