// Dialogue files: reading a full 200-node file, and a talk event choosing among 32 start files of
// 10 nodes each (every file read and its conditions tested), in a scratch folder.
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "platform/files.h"
#include "script/dialogues.h"
#include "script/quests.h"
#include "script/text_window.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tools/demo/dialogue_file_writer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::unique_ptr<dialogue_record> full_dialogue(int nodes)
{
    auto d = std::make_unique<dialogue_record>();
    std::snprintf(d->name, sizeof d->name, "bench");
    for (int n = 0; n < nodes; ++n) {
        set_dialogue_node(d.get(), n, "villager", ("n" + std::to_string(n)).c_str(), std::string(999, 'a' + n % 26).c_str());
        for (int o = 0; o < k_dialogue_options; ++o)
            set_dialogue_option(d.get(), n, o, std::string(254, 'o').c_str(), uint16_t((n + o) % nodes + 1));
    }
    return d;
}

void BM_ReadDialogue200Nodes(benchmark::State& state)
{
    in_fuzz_folder scratch;
    if (!write_dialogue_file("full.dia2", *full_dialogue(k_dialogue_nodes)))
        state.SkipWithError("cannot write the dialogue file");
    for (auto _ : state)
        benchmark::DoNotOptimize(read_dialogue("full.dia2"));
}
BENCHMARK(BM_ReadDialogue200Nodes)->Unit(benchmark::kMillisecond);

void BM_TalkEvent32StartFiles(benchmark::State& state)
{
    in_fuzz_folder scratch;
    make_folder("data/dia/eng/villager");
    std::strcpy(g_language, "eng");
    auto d = full_dialogue(10);
    set_quest_name(&g_quests[0], "watersupply");
    g_quest_count = 1;
    for (int n = 0; n < 32; ++n) {
        set_dialogue_condition(d.get(), 0, k_dia_quest_at_most, "watersupply", 1);
        set_dialogue_condition(d.get(), 1, k_dia_char_memory0, "hero", 0);
        if (!write_dialogue_file(("data/dia/eng/villager/start" + std::to_string(n) + ".dia2").c_str(), *d))
            state.SkipWithError("cannot write the dialogue files");
    }
    std::memset(g_chars, 0, sizeof(char_record) * 2);
    std::strcpy(g_chars[0].name, "hero_key");
    std::strcpy(g_chars[1].name, "villager");
    g_chars[1].script_flags[k_talked_to_memory] = 1;
    g_char_count = 2;
    g_player_char = 0;
    for (auto _ : state) {
        g_dialogue_running = 0;
        run_char_event(1, 0);
        benchmark::DoNotOptimize(g_dialogue_window.requested_file[0]);
    }
    g_dialogue_running = 0;
}
BENCHMARK(BM_TalkEvent32StartFiles)->Unit(benchmark::kMillisecond);

} // namespace
