#include "platform/random.h"

#include <benchmark/benchmark.h>

static void BM_GameRand(benchmark::State& state)
{
    game_srand(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(game_rand());
}
BENCHMARK(BM_GameRand);
