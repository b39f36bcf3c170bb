// Throughput of packed streams beside an independent coder over memory that codes the same bytes
// (tests/support/reference_lzss.h), on two data sets (the benchmark's argument): 0, 8 MiB of
// mixed text, fixed-size records and noise; 1, the body of a level at table limits, 15,000
// world-object records of 420 bytes and a movement map of 1,024 x 1,024 cells.
#include "engine/packed_stream.h"
#include "tests/support/reference_lzss.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t k_data_size = 8u << 20;

struct generator {
    uint32_t x;
    uint32_t next()
    {
        x = x * 1664525u + 1013904223u;
        return x >> 8;
    }
};

// English-like sentences, fixed-size binary records and noise, in stretches of 4 to 68 KiB.
const std::vector<uint8_t>& mixed_data()
{
    static std::vector<uint8_t> data;
    if (!data.empty())
        return data;
    static const char* const words[] = {
        "the", "hero", "walks", "through", "a", "dark", "forest", "and", "finds", "an", "old",
        "sword", "of", "ice", "near", "river", "where", "goblins", "guard", "bridge", "stone",
        "gold", "coins", "quest", "village", "elder", "speaks", "to", "you", "about", "fire"};
    generator g{12345};
    data.reserve(k_data_size);
    while (data.size() < k_data_size) {
        size_t stretch = 4096 + g.next() % 65536;
        size_t end = std::min(k_data_size, data.size() + stretch);
        switch (g.next() % 3) {
        case 0:  // text
            while (data.size() < end) {
                int sentence = 4 + int(g.next() % 12);
                for (int w = 0; w < sentence && data.size() < end; w++) {
                    const char* word = words[g.next() % std::size(words)];
                    for (const char* c = word; *c && data.size() < end; c++)
                        data.push_back(uint8_t(w == 0 && c == word ? *c - 32 : *c));
                    if (data.size() < end)
                        data.push_back(w + 1 == sentence ? '.' : ' ');
                }
                if (data.size() + 1 < end) {
                    data.push_back('\r');
                    data.push_back('\n');
                }
            }
            break;
        case 1: {  // records: an index, a name, coordinates, flags and padding
            uint32_t index = 0;
            while (data.size() < end) {
                uint8_t record[64] = {};
                std::memcpy(record, &index, 4);
                std::snprintf(reinterpret_cast<char*>(record + 4), 24, "object_%u", g.next() % 500);
                int32_t xy[2] = {int32_t(g.next() % 4000), int32_t(g.next() % 3000)};
                std::memcpy(record + 28, xy, 8);
                record[36] = uint8_t(g.next() % 4);
                float scale = 1.0f + float(g.next() % 8) * 0.25f;
                std::memcpy(record + 40, &scale, 4);
                for (uint8_t b : record)
                    if (data.size() < end)
                        data.push_back(b);
                index++;
            }
            break;
        }
        default:  // noise
            while (data.size() < end)
                data.push_back(uint8_t(g.next()));
        }
    }
    return data;
}

// World-object records as a level holds them (few fields set, the rest zero) and a movement map
// of one blocked cell in nine.
const std::vector<uint8_t>& level_data()
{
    static std::vector<uint8_t> data;
    if (!data.empty())
        return data;
    auto put = [](uint8_t* at, const void* value, size_t n) { std::memcpy(at, value, n); };
    for (uint32_t i = 0; i < 15000; ++i) {
        uint8_t r[420] = {};
        const int32_t none = -1, proto = int32_t(i % 1000), one_i = 1, two = 2, size[2] = {32, 32};
        const float one = 1.0f, scale = 1.0f + float(i % 7) * 0.1f;
        const float xy[2] = {float(i % 400) * 37.5f, float(i / 400) * 41.25f};
        const float colour[4] = {1, 1, 1, 0};
        const int16_t owner = 255;
        r[0] = 3;
        r[1] = uint8_t(i % 40);
        put(r + 4, &none, 4);
        put(r + 20, &proto, 4);
        put(r + 48, &one, 4);
        put(r + 52, &scale, 4);
        put(r + 56, xy, 8);
        r[84] = 1;
        put(r + 352, &none, 4);
        put(r + 364, size, 8);
        put(r + 376, &none, 4);
        put(r + 380, &one_i, 4);
        put(r + 384, &two, 4);
        put(r + 396, colour, 16);
        put(r + 412, &one, 4);
        put(r + 418, &owner, 2);
        data.insert(data.end(), r, r + sizeof r);
    }
    for (size_t i = 0; i < size_t(1024) * 1024; ++i)
        data.push_back((i / 1024 + i % 1024) % 9 == 0 ? 1 : 0);
    return data;
}

const std::vector<uint8_t>& data_set(const benchmark::State& state)
{
    return state.range(0) == 0 ? mixed_data() : level_data();
}

std::string bench_file()
{
    return (std::filesystem::temp_directory_path() / "zorv_packed_stream_bench.dat").string();
}

bool write_packed(const std::string& name, const std::vector<uint8_t>& data)
{
    packed_stream* out = stream_open(name.c_str(), "wp");
    if (out == nullptr)
        return false;
    constexpr size_t chunk = 65536;
    for (size_t at = 0; at < data.size(); at += chunk)
        stream_write(data.data() + at, int(std::min(chunk, data.size() - at)), out);
    return stream_close(out) == 0;
}

std::vector<uint8_t> file_bytes(const std::string& name)
{
    std::vector<uint8_t> file(std::filesystem::file_size(name));
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        file.resize(std::fread(file.data(), 1, file.size(), f));
        std::fclose(f);
    }
    return file;
}

// Writes the benchmark's packed file; false (the benchmark skipped) when that fails.
bool prepare_packed_file(benchmark::State& state, const std::string& name)
{
    if (write_packed(name, data_set(state)))
        return true;
    state.SkipWithError("writing the packed file failed");
    return false;
}

void set_ratio(benchmark::State& state, size_t packed)
{
    state.counters["ratio"] = double(packed) / double(data_set(state).size());
}

void BM_PackedStreamWrite(benchmark::State& state)
{
    const auto& data = data_set(state);
    const std::string name = bench_file();
    for (auto _ : state) {
        if (!write_packed(name, data)) {
            state.SkipWithError("writing the packed file failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    set_ratio(state, std::filesystem::file_size(name));
    const std::vector<uint8_t> file = file_bytes(name);
    const std::vector<uint8_t> body = reference_lzss_encoder().encode(data.data(), data.size());
    if (file.size() != body.size() + 4 || std::memcmp(file.data() + 4, body.data(), body.size()) != 0)
        state.SkipWithError("the packed stream's body differs from the reference coder's");
}
BENCHMARK(BM_PackedStreamWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReferenceEncode(benchmark::State& state)
{
    const auto& data = data_set(state);
    auto encoder = std::make_unique<reference_lzss_encoder>();
    std::vector<uint8_t> body;
    for (auto _ : state) {
        body = encoder->encode(data.data(), data.size());
        benchmark::DoNotOptimize(body.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    set_ratio(state, body.size() + 4);
}
BENCHMARK(BM_ReferenceEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PackedStreamRead(benchmark::State& state)
{
    const auto& data = data_set(state);
    const std::string name = bench_file();
    if (!prepare_packed_file(state, name))
        return;
    std::vector<uint8_t> back(data.size());
    for (auto _ : state) {
        packed_stream* in = stream_open(name.c_str(), "rp");
        int got = stream_read(back.data(), int(back.size()), in);
        stream_close(in);
        if (size_t(got) != data.size()) {
            state.SkipWithError("short read");
            return;
        }
    }
    if (back != data)
        state.SkipWithError("the data read back differs");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    set_ratio(state, std::filesystem::file_size(name));
}
BENCHMARK(BM_PackedStreamRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The reference decoder over the coded body in memory (no file read).
void BM_ReferenceDecode(benchmark::State& state)
{
    const auto& data = data_set(state);
    const std::string name = bench_file();
    if (!prepare_packed_file(state, name))
        return;
    const std::vector<uint8_t> file = file_bytes(name);
    std::vector<uint8_t> back;
    for (auto _ : state) {
        back = reference_lzss_decode(file.data() + 4, file.size() - 4);
        benchmark::DoNotOptimize(back.data());
    }
    if (back != data)
        state.SkipWithError("the reference decoder's bytes differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_ReferenceDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PackedStreamReadByGetc(benchmark::State& state)
{
    const auto& data = data_set(state);
    const std::string name = bench_file();
    if (!prepare_packed_file(state, name))
        return;
    for (auto _ : state) {
        packed_stream* in = stream_open(name.c_str(), "rp");
        uint32_t sum = 0;
        for (int c; (c = stream_getc(in)) >= 0;)
            sum += uint32_t(c);
        stream_close(in);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_PackedStreamReadByGetc)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
