#include "engine/lzss.h"
#include "engine/packed_stream.h"
#include "support/file_sync_log.h"
#include "support/reference_lzss.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;

bytes text_bytes(const std::string& text)
{
    return bytes(text.begin(), text.end());
}

// Deterministic test data: stretches of repeated words, zero runs and noise.
bytes mixed_data(size_t size, uint32_t seed = 7)
{
    static const char* const words[] = {"the ", "sword ", "of ", "ice ", "and ", "fire ", "\r\n"};
    std::mt19937 rng(seed);
    bytes data;
    while (data.size() < size) {
        switch (rng() % 4) {
        case 0:
        case 1:
            for (int n = 0; n < 40; n++)
                for (const char* c = words[rng() % 7]; *c; c++)
                    data.push_back(uint8_t(*c));
            break;
        case 2:
            data.insert(data.end(), rng() % 300, 0);
            break;
        default:
            for (int n = int(rng() % 200); n > 0; n--)
                data.push_back(uint8_t(rng()));
        }
    }
    data.resize(size);
    return data;
}

bytes noise(size_t size, uint32_t seed)
{
    std::mt19937 rng(seed);
    bytes data(size);
    for (auto& b : data)
        b = uint8_t(rng());
    return data;
}

bool write_file(const char* name, const char* mode, const bytes& data)
{
    packed_stream* out = stream_open(name, mode);
    if (out == nullptr)
        return false;
    bool ok = stream_write(data.data(), int(data.size()), out) == int(data.size());
    return stream_close(out) == 0 && ok;
}

// Everything a stream delivers; false when it does not open.
bool read_file(const char* name, const char* mode, bytes* data)
{
    data->clear();
    packed_stream* in = stream_open(name, mode);
    if (in == nullptr)
        return false;
    for (int c; (c = stream_getc(in)) >= 0;)
        data->push_back(uint8_t(c));
    stream_close(in);
    return true;
}

bytes body_of(const char* name)
{
    bytes file = read_bytes(name);
    EXPECT_GE(file.size(), 4u);
    return bytes(file.begin() + std::min<size_t>(4, file.size()), file.end());
}

// The coded body of the whole data from one call of the encoder.
bytes encode_one_shot(const bytes& data)
{
    packed_stream* out = stream_open("one_shot.bin", "w");
    auto* state = static_cast<lzss_encoder_state*>(std::calloc(1, sizeof(lzss_encoder_state)));
    EXPECT_EQ(lzss_encode(out, state, int(data.size()), data.data(), true), 0);
    std::free(state);
    EXPECT_EQ(stream_close(out), 0);
    return read_bytes("one_shot.bin");
}

struct coded_item {
    bool match;
    int length;
};

// The items of a coded body in order; an item cut short at the end is left out.
std::vector<coded_item> items_of(const bytes& body)
{
    std::vector<coded_item> items;
    size_t at = 0;
    while (at < body.size()) {
        uint8_t flags = body[at++];
        for (int bit = 0; bit < 8; bit++) {
            bool literal = flags & (1 << bit);
            size_t size = literal ? 1 : 2;
            if (at + size > body.size())
                return items;
            items.push_back({!literal, literal ? 1 : (body[at + 1] & 0x0F) + 3});
            at += size;
        }
    }
    return items;
}

}  // namespace

TEST(PackedFormat, KnownInputsGiveTheirCodedBodies)
{
    temp_folder dir;
    struct example {
        bytes data;
        bytes body;
    } const examples[] = {
        {text_bytes("abc"), {0x07, 0x61, 0x62, 0x63}},
        {text_bytes("abcabcabc"), {0x07, 0x61, 0x62, 0x63, 0xEE, 0xF3}},
        {bytes(18, 0), {0x00, 0xDC, 0xFF}},
        {text_bytes("A"), {0x01, 0x41}},
    };
    for (const auto& e : examples) {
        ASSERT_TRUE(write_file("packed.dat", "wp", e.data));
        bytes file = read_bytes("packed.dat");
        ASSERT_GE(file.size(), 4u);
        EXPECT_EQ(bytes(file.begin(), file.begin() + 4), text_bytes("AGP!"));
        EXPECT_EQ(body_of("packed.dat"), e.body);
        bytes back;
        ASSERT_TRUE(read_file("packed.dat", "rp", &back));
        EXPECT_EQ(back, e.data);
    }
}

TEST(PackedFormat, NothingWrittenLeavesTheMagicAlone)
{
    temp_folder dir;
    packed_stream* out = stream_open("empty.dat", "wp");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(stream_close(out), 0);
    EXPECT_EQ(read_text("empty.dat"), "AGP!");

    packed_stream* in = stream_open("empty.dat", "rp");
    ASSERT_NE(in, nullptr);
    uint8_t buffer[8];
    EXPECT_EQ(stream_read(buffer, 8, in), 0);
    EXPECT_EQ(stream_getc(in), -1);
    EXPECT_TRUE(in->flags & STREAM_EOF);
    EXPECT_EQ(stream_close(in), 0);
}

TEST(PackedFormat, StoredMagicModeWritesTheDataAfterAgpDot)
{
    temp_folder dir;
    ASSERT_TRUE(write_file("stored.dat", "w!", text_bytes("hello")));
    EXPECT_EQ(read_text("stored.dat"), "AGP.hello");
    bytes back;
    ASSERT_TRUE(read_file("stored.dat", "rp", &back));
    EXPECT_EQ(back, text_bytes("hello"));
}

TEST(PackedFormat, LargerInputKeepsItsCodedBody)
{
    // Size and FNV-1a digest of the body that the tree encoder gives for this input.
    temp_folder dir;
    const bytes body = encode_one_shot(mixed_data(200000, 99));
    uint32_t digest = 2166136261u;
    for (uint8_t b : body)
        digest = (digest ^ b) * 16777619u;
    EXPECT_EQ(body.size(), 63520u);
    EXPECT_EQ(digest, 0x604256ABu);
}

namespace {

// Codes the inputs in turn with one encoder state, each fed in pieces of random sizes (mostly
// large, now and then tiny), and expects every body to be byte for byte the independent coder's.
// The bodies land in "bodies.bin" of the current folder.
void expect_reference_bodies(const std::vector<bytes>& inputs, uint32_t seed)
{
    std::mt19937 rng(seed);
    packed_stream* out = stream_open("bodies.bin", "w");
    ASSERT_NE(out, nullptr);
    std::vector<size_t> ends;
    const auto state = std::make_unique<lzss_encoder_state>();
    for (const bytes& data : inputs) {
        size_t at = 0;
        do {
            const size_t piece = std::min<size_t>(data.size() - at, rng() % 4 ? rng() % 9000 : rng() % 40);
            ASSERT_EQ(lzss_encode(out, state.get(), int(piece), data.data() + at, at + piece == data.size()), 0);
            at += piece;
        } while (at < data.size());
        ends.push_back(size_t(out->left + out->count));
    }
    ASSERT_EQ(stream_close(out), 0);
    const bytes bodies = read_bytes("bodies.bin");
    ASSERT_EQ(bodies.size(), ends.back());
    for (size_t k = 0; k < inputs.size(); ++k) {
        const auto from = bodies.begin() + std::ptrdiff_t(k ? ends[k - 1] : 0);
        const bytes body(from, bodies.begin() + std::ptrdiff_t(ends[k]));
        ASSERT_EQ(body, reference_lzss_encoder().encode(inputs[k].data(), inputs[k].size()))
            << "input " << k << " of " << inputs[k].size() << " bytes";
        ASSERT_EQ(reference_lzss_decode(body.data(), body.size()), inputs[k]);
    }
}

}  // namespace

TEST(PackedFormat, BodiesAreTheReferenceCodersOnTheDemoDataAndTheFuzzSeeds)
{
    // The packed files of the demo data (the bytes they hold), every fuzz seed, level records
    // that repeat in long runs and mixed data: the bodies are the independent coder's, and the
    // stream reads the last ones back.
    temp_folder dir;
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " demo > /dev/null").c_str()), 0);
    std::vector<bytes> inputs;
    for (const char* root : {"demo", ZORV_SOURCE_DIR "/tests/fuzz/corpus"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            const std::string path = entry.path().string();
            bytes data = read_bytes(path.c_str());
            const bool packed = data.size() >= 4 && std::memcmp(data.data(), "AGP!", 4) == 0;
            if (packed) {
                ASSERT_TRUE(read_file(path.c_str(), "rp", &data)) << path;
            }
            if (packed || root[0] != 'd')
                inputs.push_back(std::move(data));
        }
    }
    ASSERT_GT(inputs.size(), 600u);
    bytes records;
    for (uint32_t i = 0; i < 2000; ++i) {
        bytes record(420, 0);
        record[0] = 3;
        record[1] = uint8_t(i % 40);
        record[20] = uint8_t(i % 7);
        std::memset(record.data() + 352, 0xFF, 4);
        records.insert(records.end(), record.begin(), record.end());
    }
    inputs.push_back(mixed_data(300000, 5));
    inputs.push_back(records);
    size_t total = 0;
    for (const bytes& data : inputs)
        total += data.size();
    EXPECT_GT(total, 5u << 20);
    expect_reference_bodies(inputs, 3);
    for (size_t k = inputs.size() - 2; k < inputs.size(); ++k) {
        ASSERT_TRUE(write_file("copy.bin", "wp", inputs[k]));
        bytes back(inputs[k].size() + 1);
        packed_stream* in = stream_open("copy.bin", "rp");
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(stream_read(back.data(), int(back.size()), in), int(inputs[k].size()));
        stream_close(in);
        back.resize(inputs[k].size());
        EXPECT_EQ(back, inputs[k]);
    }
}

TEST(PackedFormat, RunsCountersPeriodsAndSmallAlphabetsGiveTheReferenceBodies)
{
    // Data that makes the trees deep and their strings alike: runs of one byte of every length up
    // to past the window, counters, short patterns repeated, words of two and three letters.
    temp_folder dir;
    std::vector<bytes> inputs;
    bytes runs;
    for (int n = 1; n <= 80; ++n) {
        runs.insert(runs.end(), size_t(n), n % 3 ? 0 : 0xFF);
        runs.push_back(uint8_t(n * 37));
    }
    for (size_t n : {4095u, 4096u, 4114u, 9000u}) {
        runs.insert(runs.end(), n, 0x20);
        runs.push_back(1);
    }
    runs.insert(runs.end(), 100, 7);
    inputs.push_back(runs);
    bytes counters;
    for (uint32_t i = 0; i < 30000; ++i) {
        const uint8_t up[4] = {uint8_t(i), uint8_t(i >> 8), 0, 0};
        const uint8_t down[2] = {uint8_t((60000 - i) >> 8), uint8_t(60000 - i)};
        counters.insert(counters.end(), up, up + 4);
        counters.insert(counters.end(), down, down + 2);
    }
    inputs.push_back(counters);
    std::mt19937 rng(17);
    bytes periods;
    for (size_t period = 1; period <= 40; ++period) {
        const bytes pattern = noise(period, uint32_t(period));
        for (size_t k = 0; k < 40 * period + 300; ++k)
            periods.push_back(pattern[k % period]);
    }
    inputs.push_back(periods);
    for (const char* letters : {"ab", "abc"}) {
        bytes words;
        while (words.size() < 60000) {
            for (size_t n = 1 + rng() % 7; n > 0; --n)
                words.push_back(uint8_t(letters[rng() % std::strlen(letters)]));
            words.push_back(' ');
        }
        inputs.push_back(words);
    }
    expect_reference_bodies(inputs, 11);
}

TEST(PackedRoundTrip, EveryLengthAcrossSeveralBuffers)
{
    temp_folder dir;
    const bytes source = mixed_data(5 * 4096 + 64);
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 600; n++)
        lengths.push_back(n);
    for (size_t k = 1; k <= 5; k++)
        for (size_t base : {k * 4095, k * 4096, k * 4078})
            for (size_t n = base - 2; n <= base + 2; n++)
                lengths.push_back(n);

    for (size_t n : lengths) {
        bytes data(source.begin(), source.begin() + long(n));
        ASSERT_TRUE(write_file("round.dat", "wp", data)) << n;
        bytes back;
        ASSERT_TRUE(read_file("round.dat", "rp", &back)) << n;
        ASSERT_EQ(back, data) << "length " << n;
        // One read asking for more than the file holds: the bytes past its count stay as they were.
        packed_stream* in = stream_open("round.dat", "rp");
        ASSERT_NE(in, nullptr);
        bytes whole(n + 300, 0xA5);
        ASSERT_EQ(stream_read(whole.data(), int(whole.size()), in), int(n));
        stream_close(in);
        ASSERT_TRUE(std::equal(data.begin(), data.end(), whole.begin())) << "length " << n;
        ASSERT_TRUE(std::all_of(whole.begin() + long(n), whole.end(), [](uint8_t b) { return b == 0xA5; }))
            << "length " << n;
    }
}

TEST(PackedRoundTrip, RunsNoiseAndMatchesCrossingTheWindowSize)
{
    temp_folder dir;
    std::vector<bytes> cases = {bytes(3 * 4096 + 7, 0), bytes(9000, 0xAB), noise(3 * 4096 + 1, 3)};
    // The last item is an 18-byte match whose output crosses 4096 and 8192 bytes.
    for (size_t prefix : {4090u, 8190u}) {
        bytes data = noise(prefix, 11);
        bytes repeat(data.end() - 1000, data.end() - 982);
        data.insert(data.end(), repeat.begin(), repeat.end());
        cases.push_back(data);
    }
    for (const bytes& data : cases) {
        ASSERT_TRUE(write_file("round.dat", "wp", data));
        bytes back;
        ASSERT_TRUE(read_file("round.dat", "rp", &back));
        ASSERT_EQ(back, data) << "length " << data.size();
    }
    for (size_t prefix : {4090u, 8190u}) {
        bytes data = cases[prefix == 4090 ? 3 : 4];
        auto items = items_of(encode_one_shot(data));
        ASSERT_FALSE(items.empty());
        EXPECT_TRUE(items.back().match);
        EXPECT_EQ(items.back().length, 18);
    }
}

TEST(PackedPieces, StreamWritesOfRandomSizesGiveTheOneShotBody)
{
    temp_folder dir;
    const bytes data = mixed_data(40000, 21);
    const bytes expected = encode_one_shot(data);
    std::mt19937 rng(5);
    for (int round = 0; round < 4; round++) {
        packed_stream* out = stream_open("pieces.dat", "wp");
        ASSERT_NE(out, nullptr);
        size_t at = 0;
        while (at < data.size()) {
            size_t n = std::min<size_t>(data.size() - at, rng() % (round == 0 ? 5 : 9000));
            if (rng() % 3 == 0) {
                for (size_t k = 0; k < n; k++)
                    ASSERT_EQ(stream_putc(data[at + k], out), data[at + k]);
            } else {
                ASSERT_EQ(stream_write(data.data() + at, int(n), out), int(n));
            }
            at += n;
        }
        ASSERT_EQ(stream_close(out), 0);
        EXPECT_EQ(body_of("pieces.dat"), expected) << "round " << round;
    }
}

TEST(PackedPieces, EncoderFedInRandomPiecesGivesTheOneShotBody)
{
    temp_folder dir;
    for (uint32_t seed : {1u, 2u, 3u}) {
        const bytes data = mixed_data(30000 + seed * 77, seed);
        const bytes expected = encode_one_shot(data);
        std::mt19937 rng(seed);
        packed_stream* out = stream_open("fed.bin", "w");
        auto* state = static_cast<lzss_encoder_state*>(std::calloc(1, sizeof(lzss_encoder_state)));
        size_t at = 0;
        while (at < data.size()) {
            // Pieces of 0 to 20 bytes mostly, now and then a large one.
            size_t n = rng() % 8 == 0 ? rng() % 5000 : rng() % 21;
            n = std::min(n, data.size() - at);
            ASSERT_EQ(lzss_encode(out, state, int(n), data.data() + at, false), 0);
            at += n;
        }
        ASSERT_EQ(lzss_encode(out, state, 0, nullptr, true), 0);
        EXPECT_EQ(state->step, 0);
        std::free(state);
        ASSERT_EQ(stream_close(out), 0);
        EXPECT_EQ(read_bytes("fed.bin"), expected) << "seed " << seed;
    }
}

TEST(PackedPieces, DecoderAndReadsOfRandomCountsGiveTheData)
{
    temp_folder dir;
    const bytes data = mixed_data(50000, 9);
    ASSERT_TRUE(write_file("data.dat", "wp", data));
    std::mt19937 rng(4);

    // The decoder itself, asked for 1 to 40 bytes at a time, stopping inside matches.
    packed_stream* coded = stream_open("data.dat", "r");
    ASSERT_NE(coded, nullptr);
    ASSERT_EQ(stream_read_u32be(coded), int64_t(STREAM_MAGIC_PACKED));
    auto* state = static_cast<lzss_decoder_state*>(std::calloc(1, sizeof(lzss_decoder_state)));
    bytes back;
    uint8_t piece[40];
    for (;;) {
        int want = 1 + int(rng() % 40);
        int got = lzss_decode(coded, state, want, piece);
        back.insert(back.end(), piece, piece + got);
        if (got < want)
            break;
    }
    std::free(state);
    stream_close(coded);
    EXPECT_EQ(back, data);

    // The stream, read in pieces of random sizes mixed with single bytes.
    packed_stream* in = stream_open("data.dat", "rp");
    ASSERT_NE(in, nullptr);
    back.clear();
    std::vector<uint8_t> buffer(9000);
    while (!(in->flags & STREAM_EOF)) {
        if (rng() % 2) {
            int c = stream_getc(in);
            ASSERT_GE(c, 0);
            back.push_back(uint8_t(c));
        } else {
            int got = stream_read(buffer.data(), int(rng() % buffer.size()), in);
            back.insert(back.end(), buffer.begin(), buffer.begin() + got);
        }
    }
    EXPECT_EQ(stream_close(in), 0);
    EXPECT_EQ(back, data);
}

TEST(PackedOpen, StoredBodyIsReadThroughAPlainStreamFromByteFour)
{
    temp_folder dir;
    write_text("stored.dat", "AGP.raw body");
    packed_stream* in = stream_open("stored.dat", "rp");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->flags & STREAM_PACKED, 0u);
    EXPECT_EQ(in->inner, nullptr);
    char text[16] = {};
    EXPECT_EQ(stream_read(text, 15, in), 8);
    EXPECT_STREQ(text, "raw body");
    EXPECT_EQ(stream_close(in), 0);

    write_text("magic_only.dat", "AGP.");
    in = stream_open("magic_only.dat", "rp");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(stream_getc(in), -1);
    stream_close(in);
}

TEST(PackedOpen, OtherMagicShortFilesAndMissingFilesAreRefused)
{
    temp_folder dir;
    for (const char* content : {"AGPX1234", "agp!1234", "GPA!", "AGP", "A", ""}) {
        write_text("bad.dat", content);
        errno = 0;
        EXPECT_EQ(stream_open("bad.dat", "rp"), nullptr) << content;
        EXPECT_EQ(errno, EDOM) << content;
    }
    EXPECT_EQ(stream_open("missing.dat", "rp"), nullptr);
    EXPECT_EQ(stream_open("missing.dat", "r"), nullptr);
    write_text("empty.dat", "");
    EXPECT_EQ(stream_open("empty.dat", "r"), nullptr);
    std::filesystem::create_directory("folder");
    EXPECT_EQ(stream_open("folder", "r"), nullptr);
    EXPECT_EQ(stream_open("folder", "rp"), nullptr);
    EXPECT_EQ(stream_open("folder", "w"), nullptr);
    EXPECT_EQ(stream_open("no_such_folder/file.dat", "wp"), nullptr);
    EXPECT_EQ(stream_close(nullptr), 0);
}

TEST(PackedOpen, ModeLettersIgnoreCaseAndOtherCharacters)
{
    temp_folder dir;
    const bytes data = text_bytes("abcabcabc");
    ASSERT_TRUE(write_file("upper.dat", "WP", data));
    EXPECT_EQ(body_of("upper.dat"), (bytes{0x07, 'a', 'b', 'c', 0xEE, 0xF3}));
    bytes back;
    ASSERT_TRUE(read_file("upper.dat", "Rp", &back));
    EXPECT_EQ(back, data);
    ASSERT_TRUE(read_file("upper.dat", "rb", &back));  // plain: the raw file, magic included
    EXPECT_EQ(back, read_bytes("upper.dat"));
    ASSERT_TRUE(write_file("plain.dat", "wbx", data));
    EXPECT_EQ(read_bytes("plain.dat"), data);
    EXPECT_EQ(stream_open("later.dat", "rwpr"), nullptr);  // the last of r and w wins: reading
    EXPECT_FALSE(std::filesystem::exists("later.dat"));
}

TEST(PackedOpen, NamesResolveBackslashesAndCaseToTheExistingFile)
{
    temp_folder dir;
    write_text("Global/Items.DAT", "old");
    ASSERT_TRUE(write_file("global\\items.dat", "wp", text_bytes("new")));
    bytes back;
    ASSERT_TRUE(read_file("GLOBAL\\ITEMS.DAT", "rp", &back));
    EXPECT_EQ(back, text_bytes("new"));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator("Global")) {
        EXPECT_EQ(entry.path().filename(), "Items.DAT");
        files++;
    }
    EXPECT_EQ(files, 1);
}

TEST(PackedBuffer, EndOfDataComesWithTheLastByteAndStays)
{
    temp_folder dir;
    const bytes data = mixed_data(4096 + 10);
    write_bytes("plain.dat", data);
    ASSERT_TRUE(write_file("packed.dat", "wp", data));
    for (const char* mode : {"r", "rp"}) {
        packed_stream* in = stream_open(mode[1] ? "packed.dat" : "plain.dat", mode);
        ASSERT_NE(in, nullptr);
        for (size_t k = 0; k + 1 < data.size(); k++) {
            ASSERT_EQ(stream_getc(in), data[k]);
            ASSERT_FALSE(in->flags & STREAM_EOF) << mode << " at " << k;
        }
        EXPECT_EQ(stream_getc(in), data.back());
        EXPECT_TRUE(in->flags & STREAM_EOF) << mode;
        for (int k = 0; k < 5; k++)
            EXPECT_EQ(stream_getc(in), -1);
        EXPECT_EQ(in->count, 0);
        uint8_t b;
        EXPECT_EQ(stream_read(&b, 1, in), 0);
        EXPECT_EQ(stream_close(in), 0);
    }
}

TEST(PackedBuffer, WritingHandsOnPiecesOf4095Bytes)
{
    temp_folder dir;
    for (const char* mode : {"w", "wp"}) {
        const int32_t magic = mode[1] ? 4 : 0;
        packed_stream* out = stream_open("out.dat", mode);
        ASSERT_NE(out, nullptr);
        for (int k = 0; k < 4095; k++)
            stream_putc(k & 0xFF, out);
        EXPECT_EQ(out->left, magic);
        EXPECT_EQ(out->count, 4095);
        stream_putc(0xFF, out);
        EXPECT_EQ(out->left, magic + 4095);
        EXPECT_EQ(out->count, 1);
        EXPECT_EQ(stream_close(out), 0);
        bytes back;
        ASSERT_TRUE(read_file("out.dat", mode[1] ? "rp" : "r", &back));
        ASSERT_EQ(back.size(), 4096u);
        EXPECT_EQ(back.back(), 0xFF);
    }
}

TEST(PackedBuffer, ByteCallsOnTheWrongKindOfStreamAreRefused)
{
    temp_folder dir;
    const bytes data = mixed_data(5000);
    write_bytes("plain.dat", data);
    packed_stream* in = stream_open("plain.dat", "r");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(stream_putc('x', in), -1);
    for (size_t k = 0; k < data.size(); k++)
        ASSERT_EQ(stream_getc(in), data[k]);
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(stream_putc('x', in), -1);
    EXPECT_EQ(stream_getc(in), -1);
    EXPECT_EQ(stream_close(in), 0);

    // Reading a stream open for writing leaves what it holds as it was.
    packed_stream* out = stream_open("out.dat", "w");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(stream_write("abc", 3, out), 3);
    EXPECT_EQ(stream_getc(out), -1);
    EXPECT_EQ(stream_putc('d', out), 'd');
    EXPECT_EQ(stream_close(out), 0);
    EXPECT_EQ(read_bytes("out.dat"), text_bytes("abcd"));
}

TEST(PackedSafety, FailedWritesKeepTheOldFileAndLeaveNoTemporary)
{
    temp_folder dir;
    for (const char* mode : {"w", "wp"}) {
        write_text("save.dat", "old contents");
        packed_stream* out = stream_open("save.dat", mode);
        ASSERT_NE(out, nullptr);
        // The descriptor no longer accepts writes.
        packed_stream* file = out->inner ? out->inner : out;
        int read_only = open("save.dat", O_RDONLY);
        ASSERT_GE(dup2(read_only, file->handle), 0);
        close(read_only);
        const bytes data = noise(20000, 8);
        int written = stream_write(data.data(), int(data.size()), out);
        if (!mode[1]) {
            EXPECT_LT(written, int(data.size()));
            EXPECT_EQ(stream_putc('x', out), -1);
            EXPECT_TRUE(out->flags & STREAM_ERROR);
        }
        EXPECT_EQ(stream_close(out), EFAULT) << mode;
        EXPECT_EQ(errno, EFAULT);
        EXPECT_EQ(read_text("save.dat"), "old contents") << mode;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << mode;
    }
    // A complete write replaces the file and leaves nothing beside it.
    ASSERT_TRUE(write_file("save.dat", "w", text_bytes("new")));
    EXPECT_EQ(read_text("save.dat"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
}

TEST(PackedSafety, ASavedFileReachesTheDiskBeforeItReplacesTheOldOne)
{
    temp_folder dir;
    std::filesystem::create_directory("save");
    write_text("save/game.sav", "old contents");
    const std::string target = file_sync_log::full("save/game.sav");
    for (const char* mode : {"w", "wp"}) {
        file_sync_log log;
        packed_stream* out = stream_open("SAVE\\game.sav", mode);
        ASSERT_NE(out, nullptr);
        const bytes data = noise(20000, 3);
        ASSERT_EQ(stream_write(data.data(), int(data.size()), out), int(data.size()));
        // Nothing reaches the target before the close.
        EXPECT_TRUE(log.events().empty());
        EXPECT_EQ(read_text("save/game.sav"), "old contents");
        ASSERT_EQ(stream_close(out), 0);
        const auto& events = log.events();
        ASSERT_EQ(events.size(), 3u) << mode;
        const std::string temp = events[0].substr(5);
        EXPECT_EQ(temp.rfind(target + ".~", 0), 0u) << temp;
        EXPECT_EQ(events[1], "rename " + temp + " -> " + target);
        EXPECT_EQ(events[2], "sync " + file_sync_log::full("save"));
        write_text("save/game.sav", "old contents");
    }
}

TEST(PackedSafety, AFileCutShortWhileReadIsAnError)
{
    temp_folder dir;
    write_bytes("data.dat", noise(10000, 2));
    packed_stream* in = stream_open("data.dat", "r");
    ASSERT_NE(in, nullptr);
    ASSERT_GE(stream_getc(in), 0);
    ASSERT_EQ(truncate("data.dat", 5000), 0);
    uint8_t buffer[8192];
    EXPECT_EQ(stream_read(buffer, sizeof buffer, in), 4095);
    EXPECT_EQ(errno, EFAULT);
    EXPECT_TRUE(in->flags & STREAM_ERROR);
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(stream_getc(in), -1);
    EXPECT_EQ(in->count, 0);
    EXPECT_EQ(stream_close(in), EFAULT);

    // The same under a packed stream.
    ASSERT_TRUE(write_file("packed.dat", "wp", noise(10000, 3)));
    in = stream_open("packed.dat", "rp");
    ASSERT_NE(in, nullptr);
    ASSERT_GE(stream_getc(in), 0);
    ASSERT_EQ(truncate("packed.dat", 5000), 0);
    while (stream_getc(in) >= 0) {
    }
    EXPECT_TRUE(in->flags & STREAM_ERROR);
    EXPECT_EQ(stream_close(in), EFAULT);
}

TEST(PackedSafety, HostileBodiesDecodeToWhatTheyDescribe)
{
    temp_folder dir;
    auto decode = [](const bytes& body) {
        bytes file = text_bytes("AGP!");
        file.insert(file.end(), body.begin(), body.end());
        write_bytes("hostile.dat", file);
        bytes out;
        EXPECT_TRUE(read_file("hostile.dat", "rp", &out));
        return out;
    };
    // Matches at the window's last position wrap to its start; all of it is zero.
    EXPECT_EQ(decode({0x00, 0xFF, 0xFF, 0xFF, 0xFF}), bytes(36, 0));
    // A match of the bytes it is producing repeats them.
    EXPECT_EQ(decode({0x01, 'x', 0xEE, 0xFF}), bytes(19, 'x'));
    // Items cut short at the end are dropped.
    EXPECT_EQ(decode({0x01}), bytes());
    EXPECT_EQ(decode({0x00, 0x10}), bytes());
    EXPECT_EQ(decode({0x03, 'a', 'b', 0x00}), text_bytes("ab"));
    // Noise decodes to some bytes without reaching past the window.
    for (uint32_t seed = 0; seed < 20; seed++) {
        bytes body = noise(3000 + seed * 517, seed);
        EXPECT_LE(decode(body).size(), body.size() * 18);
    }
}

TEST(PackedFixedWidth, ValuesRoundTripInBothByteOrders)
{
    temp_folder dir;
    packed_stream* out = stream_open("values.dat", "w");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(stream_write_u16le(0x1234, out), 0x1234);
    EXPECT_EQ(stream_write_u16be(0xABCD, out), 0xABCD);
    EXPECT_EQ(stream_write_u32le(0xDEADBEEF, out), 0xDEADBEEF);
    EXPECT_EQ(stream_write_u32be(0x01020304, out), 0x01020304);
    EXPECT_EQ(stream_write_u16le(0x7F, out), 0x7F);
    ASSERT_EQ(stream_close(out), 0);
    EXPECT_EQ(read_bytes("values.dat"), (bytes{0x34, 0x12, 0xAB, 0xCD, 0xEF, 0xBE, 0xAD, 0xDE, 1, 2,
                                               3, 4, 0x7F, 0x00}));

    packed_stream* in = stream_open("values.dat", "r");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(stream_read_u16le(in), 0x1234);
    EXPECT_EQ(stream_read_u16be(in), 0xABCD);
    EXPECT_EQ(stream_read_u32le(in), 0xDEADBEEF);
    EXPECT_EQ(stream_read_u32be(in), 0x01020304);
    EXPECT_EQ(stream_read_u32le(in), -1);  // two bytes left
    EXPECT_EQ(stream_read_u16be(in), -1);
    stream_close(in);
}

