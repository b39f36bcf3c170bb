// Route search on a 400 x 400 movement map, the whole search grid (larger maps are searched
// only within it): typical searches within one screen of 32 x 24 cells, and the worst cases
// of long searches on open, maze-like and adversarial maps. Each iteration is one find_path.
#include "platform/random.h"
#include "world/path_search.h"

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

namespace {

constexpr int k_size = 400;

struct bench_map {
    movement_map map{};
    explicit bench_map(uint8_t fill)
    {
        create_movemap(&map, k_size, k_size, 0, 0);
        for (int i = 0; i < k_size * k_size; ++i)
            map.cells[i] = fill;
    }
    ~bench_map() { free_movemap(&map); }
    uint8_t& at(int c, int r) { return map.cells[r * k_size + c]; }
};

// An open level: about one cell in ten blocked, in scattered short walls.
bench_map* open_map()
{
    static bench_map* m = [] {
        auto* b = new bench_map(0);
        game_srand(11);
        for (int n = 0; n < 5000; ++n) {
            int c = game_rand() % k_size, r = game_rand() % k_size, len = 2 + game_rand() % 8;
            bool across = game_rand() % 2;
            for (int i = 0; i < len; ++i) {
                int cc = across ? c + i : c, rr = across ? r : r + i;
                if (cc < k_size && rr < k_size)
                    b->at(cc, rr) = 1;
            }
        }
        return b;
    }();
    return m;
}

// A maze of one-cell corridors between rooms on odd cells, carved depth first.
bench_map* maze_map()
{
    static bench_map* m = [] {
        auto* b = new bench_map(1);
        game_srand(7);
        std::vector<std::pair<int, int>> stack = {{1, 1}};
        b->at(1, 1) = 0;
        while (!stack.empty()) {
            auto [c, r] = stack.back();
            std::pair<int, int> options[4];
            int n = 0;
            for (auto [dc, dr] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}}) {
                int nc = c + dc, nr = r + dr;
                if (nc > 0 && nr > 0 && nc < k_size - 1 && nr < k_size - 1 && b->at(nc, nr) == 1)
                    options[n++] = {nc, nr};
            }
            if (n == 0) {
                stack.pop_back();
                continue;
            }
            auto [nc, nr] = options[game_rand() % n];
            b->at((c + nc) / 2, (r + nr) / 2) = 0;
            b->at(nc, nr) = 0;
            stack.emplace_back(nc, nr);
        }
        return b;
    }();
    return m;
}

// Walls down every other column, open at alternate ends: one corridor snaking across the map.
bench_map* serpentine_map()
{
    static bench_map* m = [] {
        auto* b = new bench_map(0);
        for (int c = 1; c < k_size; c += 2) {
            for (int r = 0; r < k_size; ++r)
                b->at(c, r) = 1;
            b->at(c, (c / 2) % 2 ? 0 : k_size - 1) = 0;
        }
        return b;
    }();
    return m;
}

// Pairs of free cells within one screen of each other.
std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> screen_pairs(bench_map* b, uint32_t seed)
{
    std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> pairs;
    game_srand(seed);
    while (pairs.size() < 256) {
        int c = 20 + game_rand() % (k_size - 40), r = 20 + game_rand() % (k_size - 40);
        int gc = c + game_rand() % 33 - 16, gr = r + game_rand() % 25 - 12;
        if (b->at(c, r) == 0 && b->at(gc, gr) == 0 && (c != gc || r != gr))
            pairs.push_back({{c, r}, {gc, gr}});
    }
    return pairs;
}

void search_pairs(benchmark::State& state, bench_map* b, uint32_t seed)
{
    auto pairs = screen_pairs(b, seed);
    char_route route{};
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state) {
        auto [s, g] = pairs[i++ % pairs.size()];
        benchmark::DoNotOptimize(find_path(&route, &b->map, s.first, s.second, g.first, g.second, 0));
        found += route.route_count > 0;
    }
    state.counters["routes_found"] = benchmark::Counter(double(found) / double(state.iterations()));
}

void search_once(benchmark::State& state, bench_map* b, int sc, int sr, int gc, int gr)
{
    char_route route{};
    int32_t result = 0;
    for (auto _ : state) {
        result = find_path(&route, &b->map, sc, sr, gc, gr, 0);
        benchmark::DoNotOptimize(result);
    }
    state.counters["result"] = result;
    state.counters["points"] = route.route_count;
}

void BM_FindPath_OpenScreen(benchmark::State& state)
{
    search_pairs(state, open_map(), 3);
}
BENCHMARK(BM_FindPath_OpenScreen);

void BM_FindPath_MazeScreen(benchmark::State& state)
{
    search_pairs(state, maze_map(), 5);
}
BENCHMARK(BM_FindPath_MazeScreen);

void BM_FindPath_OpenAcrossTheMap(benchmark::State& state)
{
    search_once(state, open_map(), 5, 200, 395, 210);
}
BENCHMARK(BM_FindPath_OpenAcrossTheMap);

void BM_FindPath_MazeCornerToCorner(benchmark::State& state)
{
    search_once(state, maze_map(), 1, 1, 397, 397);
}
BENCHMARK(BM_FindPath_MazeCornerToCorner);

void BM_FindPath_SerpentineEndToEnd(benchmark::State& state)
{
    search_once(state, serpentine_map(), 0, 0, 398, 398);
}
BENCHMARK(BM_FindPath_SerpentineEndToEnd);

void BM_FindPath_WalledOffGoal(benchmark::State& state)
{
    static bench_map* m = [] {
        auto* b = new bench_map(0);
        for (int i = 150; i <= 250; ++i)
            b->at(i, 150) = b->at(i, 250) = b->at(150, i) = b->at(250, i) = 1;
        return b;
    }();
    search_once(state, m, 10, 10, 200, 200);
}
BENCHMARK(BM_FindPath_WalledOffGoal);

} // namespace
