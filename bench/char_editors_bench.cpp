// The character pages without drawing: creating "ChAnim" over a full table of 9,999 move
// prototypes (sixteen drop-downs of 10,000 rows), and a keystroke in "MoveG"'s model filter with
// 5,000 registry names (nineteen drop-downs emptied and filled again, the prototype shown again).
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/char_anim_editor.h"
#include "editor/dialogs/move_proto_editor.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void fill_protos()
{
    g_move_proto_count = 0;
    for (int i = 0; i < k_move_proto_capacity; ++i) {
        init_move_proto(&g_move_protos[i]);
        std::snprintf(g_move_protos[i].name, sizeof g_move_protos[i].name, "3d/creature%d/1/attack2/%d", i % 40, i);
    }
    g_move_proto_count = k_move_proto_capacity;
}

void BM_CharAnimPageWith9999Protos(benchmark::State& state)
{
    fill_protos();
    const uint32_t chars = g_char_count;
    g_char_count = 0;
    for (int i = 0; i < 40; ++i)
        new_default_char();
    for (auto _ : state) {
        create_char_anim_editor();
        state.PauseTiming();
        destroy_all_dialogs();
        state.ResumeTiming();
    }
    g_char_count = chars;
    g_move_proto_count = 0;
}
BENCHMARK(BM_CharAnimPageWith9999Protos)->Unit(benchmark::kMillisecond);

void BM_MoveProtoFilterKeystrokeWith5000Models(benchmark::State& state)
{
    g_chardata_count = 0;
    for (uint32_t i = 0; i < uint32_t(k_chardata_capacity); ++i) {
        std::snprintf(g_chardata[i].name, sizeof g_chardata[i].name, "3d/creature%u/1/stand1/part%u.3d", i % 40, i);
        g_chardata[i].loaded = 1;
    }
    g_chardata_count = k_chardata_capacity;
    fill_protos();
    for (int p = 0; p < k_body_parts; ++p)
        g_move_protos[7].part_model[p] = int16_t(p * 200);
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    user_choose(page, k_mpe_list, 7);
    int i = 0;
    for (auto _ : state)
        user_type(page, k_mpe_select, (i++ & 1) ? "\b" : "3");  // "" <-> "3": most names match
    destroy_all_dialogs();
    for (uint32_t k = 0; k < uint32_t(k_chardata_capacity); ++k)
        g_chardata[k].loaded = 0;
    g_chardata_count = 0;
    g_move_proto_count = 0;
    g_part_model_filter[0] = 0;
}
BENCHMARK(BM_MoveProtoFilterKeystrokeWith5000Models)->Unit(benchmark::kMillisecond);

} // namespace
