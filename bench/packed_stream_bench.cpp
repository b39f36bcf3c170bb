// Throughput of packed streams on 8 MiB of mixed data, beside a plain one-shot tree encoder
// over a memory buffer that codes the same bytes.
#include "engine/packed_stream.h"

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

std::string bench_file()
{
    return (std::filesystem::temp_directory_path() / "zorv_packed_stream_bench.dat").string();
}

// The same binary-tree LZSS encoder as the packed stream's, written plainly for one buffer.
class plain_tree_encoder {
public:
    std::vector<uint8_t> encode(const uint8_t* in, size_t size)
    {
        std::vector<uint8_t> out;
        out.reserve(size / 2);
        const uint8_t* end = in + size;
        for (int i = N + 1; i <= N + 256; i++)
            rson_[i] = NIL;
        for (int i = 0; i < N; i++)
            dad_[i] = NIL;
        std::memset(text_, 0, sizeof text_);
        uint8_t code_buf[17] = {};
        int code_buf_ptr = 1;
        uint8_t mask = 1;
        int s = 0;
        int r = N - F;
        int len = 0;
        for (; len < F && in < end; len++)
            text_[r + len] = *in++;
        if (len == 0)
            return out;
        for (int i = 1; i <= F; i++)
            insert(r - i);
        insert(r);
        do {
            if (match_length_ > len)
                match_length_ = len;
            if (match_length_ <= 2) {
                match_length_ = 1;
                code_buf[0] |= mask;
                code_buf[code_buf_ptr++] = text_[r];
            } else {
                code_buf[code_buf_ptr++] = uint8_t(match_position_);
                code_buf[code_buf_ptr++] =
                    uint8_t(((match_position_ >> 4) & 0xF0) | (match_length_ - 3));
            }
            if ((mask <<= 1) == 0) {
                out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
                code_buf[0] = 0;
                code_buf_ptr = 1;
                mask = 1;
            }
            int last_match_length = match_length_;
            int i = 0;
            for (; i < last_match_length && in < end; i++) {
                uint8_t c = *in++;
                remove(s);
                text_[s] = c;
                if (s < F - 1)
                    text_[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                insert(r);
            }
            while (i++ < last_match_length) {
                remove(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len)
                    insert(r);
            }
        } while (len > 0);
        if (code_buf_ptr > 1)
            out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
        return out;
    }

private:
    static constexpr int N = 4096, F = 18, NIL = N;

    void insert(int r)
    {
        int cmp = 1;
        const uint8_t* key = &text_[r];
        int p = N + 1 + key[0];
        rson_[r] = lson_[r] = NIL;
        match_length_ = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson_[p] != NIL) {
                    p = rson_[p];
                } else {
                    rson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            } else {
                if (lson_[p] != NIL) {
                    p = lson_[p];
                } else {
                    lson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < F; i++)
                if ((cmp = key[i] - text_[p + i]) != 0)
                    break;
            if (i > match_length_) {
                match_position_ = p;
                if ((match_length_ = i) >= F)
                    break;
            }
        }
        dad_[r] = dad_[p];
        lson_[r] = lson_[p];
        rson_[r] = rson_[p];
        dad_[lson_[p]] = r;
        dad_[rson_[p]] = r;
        if (rson_[dad_[p]] == p)
            rson_[dad_[p]] = r;
        else
            lson_[dad_[p]] = r;
        dad_[p] = NIL;
    }

    void remove(int p)
    {
        if (dad_[p] == NIL)
            return;
        int q;
        if (rson_[p] == NIL) {
            q = lson_[p];
        } else if (lson_[p] == NIL) {
            q = rson_[p];
        } else {
            q = lson_[p];
            if (rson_[q] != NIL) {
                do
                    q = rson_[q];
                while (rson_[q] != NIL);
                rson_[dad_[q]] = lson_[q];
                dad_[lson_[q]] = dad_[q];
                lson_[q] = lson_[p];
                dad_[lson_[p]] = q;
            }
            rson_[q] = rson_[p];
            dad_[rson_[p]] = q;
        }
        dad_[q] = dad_[p];
        if (rson_[dad_[p]] == p)
            rson_[dad_[p]] = q;
        else
            lson_[dad_[p]] = q;
        dad_[p] = NIL;
    }

    uint8_t text_[N + F - 1];
    int lson_[N + 1], rson_[N + 257], dad_[N + 1];
    int match_position_ = 0, match_length_ = 0;
};

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

// Writes the benchmark's packed file; false (the benchmark skipped) when that fails.
bool prepare_packed_file(benchmark::State& state, const std::string& name)
{
    if (write_packed(name, mixed_data()))
        return true;
    state.SkipWithError("writing the packed file failed");
    return false;
}

void set_ratio(benchmark::State& state, size_t packed)
{
    state.counters["ratio"] = double(packed) / double(mixed_data().size());
}

void BM_PackedStreamWrite(benchmark::State& state)
{
    const auto& data = mixed_data();
    const std::string name = bench_file();
    for (auto _ : state) {
        if (!write_packed(name, data)) {
            state.SkipWithError("writing the packed file failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    set_ratio(state, std::filesystem::file_size(name));
}
BENCHMARK(BM_PackedStreamWrite)->Unit(benchmark::kMillisecond);

void BM_PlainTreeEncode(benchmark::State& state)
{
    const auto& data = mixed_data();
    auto encoder = std::make_unique<plain_tree_encoder>();
    std::vector<uint8_t> body;
    for (auto _ : state) {
        body = encoder->encode(data.data(), data.size());
        benchmark::DoNotOptimize(body.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    set_ratio(state, body.size() + 4);

    // Both encoders must give the same bytes.
    const std::string name = bench_file();
    if (!prepare_packed_file(state, name))
        return;
    std::vector<uint8_t> file(std::filesystem::file_size(name));
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        file.resize(std::fread(file.data(), 1, file.size(), f));
        std::fclose(f);
    }
    if (file.size() != body.size() + 4 || std::memcmp(file.data() + 4, body.data(), body.size()) != 0)
        state.SkipWithError("the packed stream's body differs from the plain encoder's");
}
BENCHMARK(BM_PlainTreeEncode)->Unit(benchmark::kMillisecond);

void BM_PackedStreamRead(benchmark::State& state)
{
    const auto& data = mixed_data();
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
BENCHMARK(BM_PackedStreamRead)->Unit(benchmark::kMillisecond);

void BM_PackedStreamReadByGetc(benchmark::State& state)
{
    const auto& data = mixed_data();
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
BENCHMARK(BM_PackedStreamReadByGetc)->Unit(benchmark::kMillisecond);

}  // namespace
