#include "platform/audio_source.h"

#include "platform/byte_order.h"
#include "platform/files.h"

#include <SDL.h>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Rates and channel counts outside these are refused: no real sound file has them, and an
// extreme rate would make the converter produce or swallow unbounded data.
constexpr int k_min_rate = 4000;
constexpr int k_max_rate = 192000;
constexpr int k_max_channels = 8;
constexpr int k_chunk_bytes = 16384;
constexpr int k_max_holes = 64;  // consecutive gaps in an Ogg file before it counts as bad
constexpr int k_padding_frames = 4096;  // more than the converter holds back at any rate ratio

// One decoder per file format: raw PCM in its own format, rate and channel count.
class pcm_decoder {
public:
    virtual ~pcm_decoder() = default;
    // Up to `bytes` bytes of whole frames; 0 at the end, -1 when the data went bad.
    virtual int decode(uint8_t* out, int bytes) = 0;
    // Back to the first frame; false when that is not possible.
    virtual bool rewind() = 0;

    SDL_AudioFormat format = AUDIO_S16SYS;
    int channels = 0;
    int rate = 0;
};

// True when every chunk of a RIFF file lies inside it. SDL's loader allocates the size a chunk
// declares before reading it, so a hostile size must be caught first.
bool riff_chunks_fit(const std::vector<uint8_t>& file)
{
    if (file.size() < 12)
        return false;
    size_t at = 12;
    while (file.size() - at >= 8) {
        size_t length = le_u32(file.data() + at + 4);
        if (length > file.size() - at - 8)
            return false;
        at += 8 + length + (length & 1);
        if (at >= file.size())
            break;
    }
    return true;
}

// A ".wav" file decoded whole by SDL; the PCM is handed out from memory.
class wav_decoder final : public pcm_decoder {
public:
    ~wav_decoder() override { SDL_FreeWAV(data_); }

    bool open(const std::vector<uint8_t>& file, std::string* error)
    {
        if (file.size() > size_t(INT_MAX)) {
            *error = "wave file too large";
            return false;
        }
        if (!riff_chunks_fit(file)) {
            *error = "bad wave file: a chunk runs past the end";
            return false;
        }
        SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
        SDL_AudioSpec spec;
        SDL_RWops* rw = SDL_RWFromConstMem(file.data(), int(file.size()));
        if (!rw || !SDL_LoadWAV_RW(rw, 1, &spec, &data_, &length_)) {
            *error = std::string("bad wave file: ") + SDL_GetError();
            data_ = nullptr;
            return false;
        }
        format = spec.format;
        channels = spec.channels;
        rate = spec.freq;
        frame_bytes_ = SDL_AUDIO_BITSIZE(format) / 8 * channels;
        if (frame_bytes_ <= 0) {
            *error = "bad wave file: no frames";
            return false;
        }
        length_ -= length_ % uint32_t(frame_bytes_);
        return true;
    }

    int decode(uint8_t* out, int bytes) override
    {
        uint32_t n = uint32_t(bytes - bytes % frame_bytes_);
        if (n > length_ - position_)
            n = length_ - position_;
        if (n == 0)
            return 0;
        std::memcpy(out, data_ + position_, n);
        position_ += n;
        return int(n);
    }

    bool rewind() override
    {
        position_ = 0;
        return true;
    }

private:
    uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
    uint32_t position_ = 0;
    int frame_bytes_ = 1;
};

size_t file_read(void* out, size_t size, size_t count, void* file)
{
    return std::fread(out, size, count, static_cast<FILE*>(file));
}

int file_seek(void* file, ogg_int64_t offset, int whence)
{
    return fseeko(static_cast<FILE*>(file), off_t(offset), whence);
}

long file_tell(void* file)
{
    return long(ftello(static_cast<FILE*>(file)));
}

// True when an Ogg file ends with a whole page that closes its stream. A file cut short ends
// inside a page or after one without the end-of-stream flag. Leaves the position anywhere.
bool ogg_ends_whole(FILE* file)
{
    constexpr long k_max_page = 27 + 255 + 255 * 255;
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    const off_t size = ftello(file);
    const long n = long(std::min<off_t>(size, k_max_page));
    std::vector<uint8_t> tail(size_t(std::max(n, 0L)));
    if (n < 27 || fseeko(file, size - n, SEEK_SET) != 0 ||
        std::fread(tail.data(), 1, tail.size(), file) != tail.size())
        return false;
    // The last page is the one whose header and body reach exactly to the end.
    for (long at = n - 27; at >= 0; --at) {
        const uint8_t* page = tail.data() + at;
        if (std::memcmp(page, "OggS", 4) != 0 || page[4] != 0)
            continue;
        const long segments = page[26];
        if (at + 27 + segments > n)
            continue;
        long body = 0;
        for (long i = 0; i < segments; ++i)
            body += page[27 + i];
        if (at + 27 + segments + body == n)
            return (page[5] & 4) != 0;
    }
    return false;
}

// An Ogg Vorbis file decoded as it is read.
class ogg_decoder final : public pcm_decoder {
public:
    ~ogg_decoder() override
    {
        if (open_)
            ov_clear(&file_);
        else if (handle_)
            std::fclose(handle_);
    }

    bool open(FILE* handle, std::string* error)
    {
        handle_ = handle;
        if (!ogg_ends_whole(handle_)) {
            *error = "ogg vorbis file cut short";
            return false;
        }
        std::rewind(handle_);
        ov_callbacks callbacks = {file_read, file_seek, [](void* f) { return std::fclose(static_cast<FILE*>(f)); },
                                  file_tell};
        if (ov_open_callbacks(handle_, &file_, nullptr, 0, callbacks) != 0) {
            *error = "bad ogg vorbis file";
            return false;  // the file stays ours to close
        }
        open_ = true;
        const vorbis_info* info = ov_info(&file_, 0);
        if (!info) {
            *error = "bad ogg vorbis file";
            return false;
        }
        channels = info->channels;
        rate = int(info->rate);
        return true;
    }

    int decode(uint8_t* out, int bytes) override
    {
        const int big_endian = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0;
        for (int holes = 0; holes < k_max_holes; ++holes) {
            int link = 0;
            long n = ov_read(&file_, reinterpret_cast<char*>(out), bytes, big_endian, 2, 1, &link);
            if (n == OV_HOLE)
                continue;
            if (n < 0)
                return -1;
            if (n > 0 && link != link_) {
                // A chained file whose next part differs in layout cannot go on in one stream.
                const vorbis_info* info = ov_info(&file_, link);
                if (!info || info->channels != channels || int(info->rate) != rate)
                    return -1;
                link_ = link;
            }
            return int(n);
        }
        return -1;
    }

    bool rewind() override
    {
        link_ = 0;
        return ov_pcm_seek(&file_, 0) == 0;
    }

private:
    FILE* handle_ = nullptr;
    OggVorbis_File file_{};
    bool open_ = false;
    int link_ = 0;  // the part of a chained file being read
};

std::unique_ptr<pcm_decoder> open_decoder(const char* path, std::string* error)
{
    if (!path || !is_readable_file(path)) {
        *error = "file not found";
        return nullptr;
    }
    int fd = open_file_read(path);
    FILE* handle = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (!handle) {
        if (fd >= 0)
            close(fd);
        *error = "file cannot be read";
        return nullptr;
    }
    char magic[4] = {};
    size_t got = std::fread(magic, 1, 4, handle);
    if (got == 4 && std::memcmp(magic, "OggS", 4) == 0) {
        std::rewind(handle);
        auto decoder = std::make_unique<ogg_decoder>();
        if (!decoder->open(handle, error))
            return nullptr;
        return decoder;
    }
    std::fclose(handle);
    if (got == 4 && std::memcmp(magic, "RIFF", 4) == 0) {
        std::vector<uint8_t> file;
        if (!read_whole_file(path, &file)) {
            *error = "file cannot be read";
            return nullptr;
        }
        auto decoder = std::make_unique<wav_decoder>();
        if (!decoder->open(file, error))
            return nullptr;
        return decoder;
    }
    *error = "neither a wave nor an ogg vorbis file";
    return nullptr;
}

} // namespace

struct audio_source_state {
    std::unique_ptr<pcm_decoder> decoder;
    SDL_AudioStream* converter = nullptr;
    int output_rate = 0;
    bool loop = false;
    bool ended = false;            // the decoder has nothing more; the converter is flushed
    bool failed = false;
    bool produced = false;         // audio decoded since the last rewind
    uint64_t in_frames = 0;        // frames handed to the converter
    uint64_t out_frames = 0;       // frames taken from it
    uint64_t out_limit = UINT64_MAX;  // the frames the input makes, known once it has ended
    uint8_t chunk[k_chunk_bytes];

    ~audio_source_state()
    {
        if (converter)
            SDL_FreeAudioStream(converter);
    }

    int frame_bytes() const { return SDL_AUDIO_BITSIZE(decoder->format) / 8 * decoder->channels; }

    // Feeds the converter one chunk, rewinding or ending at the end of the data.
    void feed()
    {
        int n = decoder->decode(chunk, k_chunk_bytes);
        if (n > 0) {
            produced = true;
            in_frames += uint64_t(n / frame_bytes());
            if (SDL_AudioStreamPut(converter, chunk, n) == 0)
                return;
            n = -1;
        }
        if (n < 0)
            failed = true;
        else if (loop && produced && decoder->rewind()) {
            produced = false;
            return;
        }
        finish();
    }

    // The converter holds back the last frames for its filter: silence pushes them out, and
    // what the silence itself makes is cut off.
    void finish()
    {
        ended = true;
        out_limit = (in_frames * uint64_t(output_rate) + uint64_t(decoder->rate) / 2) / uint64_t(decoder->rate);
        int silence = decoder->format == AUDIO_U8 ? 0x80 : 0;
        std::memset(chunk, silence, sizeof chunk);
        int padding = k_padding_frames * frame_bytes();
        while (padding > 0) {
            int n = std::min(padding, k_chunk_bytes - k_chunk_bytes % frame_bytes());
            SDL_AudioStreamPut(converter, chunk, n);
            padding -= n;
        }
        SDL_AudioStreamFlush(converter);
    }
};

audio_source::audio_source(std::unique_ptr<audio_source_state> state) : state_(std::move(state)) {}

audio_source::~audio_source() = default;

std::unique_ptr<audio_source> audio_source::open(const char* path, int output_rate, bool loop,
                                                 std::string* error)
{
    auto state = std::make_unique<audio_source_state>();
    state->decoder = open_decoder(path, error);
    if (!state->decoder)
        return nullptr;
    const pcm_decoder& d = *state->decoder;
    if (d.rate < k_min_rate || d.rate > k_max_rate || d.channels < 1 || d.channels > k_max_channels) {
        *error = "unplayable rate or channel count";
        return nullptr;
    }
    state->converter = SDL_NewAudioStream(d.format, uint8_t(d.channels), d.rate, AUDIO_S16SYS, 2, output_rate);
    if (!state->converter) {
        *error = std::string("cannot convert: ") + SDL_GetError();
        return nullptr;
    }
    state->loop = loop;
    state->output_rate = output_rate;
    return std::unique_ptr<audio_source>(new audio_source(std::move(state)));
}

int audio_source::read(int16_t* out, int frames)
{
    audio_source_state& s = *state_;
    int done = 0;
    while (done < frames) {
        int available = SDL_AudioStreamAvailable(s.converter) / 4;
        uint64_t room = s.out_limit > s.out_frames ? s.out_limit - s.out_frames : 0;
        if (uint64_t(available) > room)
            available = int(room);
        if (available > 0) {
            int want = std::min(available, frames - done);
            int got = SDL_AudioStreamGet(s.converter, out + 2 * done, want * 4);
            if (got <= 0) {
                s.failed = true;
                break;
            }
            done += got / 4;
            s.out_frames += uint64_t(got / 4);
            continue;
        }
        if (s.ended)
            break;
        s.feed();
    }
    return done;
}

bool audio_source::failed() const
{
    return state_->failed;
}

bool decode_whole_file(const char* path, int output_rate, std::vector<int16_t>* frames, std::string* error)
{
    auto source = audio_source::open(path, output_rate, false, error);
    if (!source)
        return false;
    frames->clear();
    constexpr int k_step = 4096;
    for (;;) {
        size_t at = frames->size();
        if (at / 2 >= k_max_sample_frames) {
            *error = "sample too long";
            return false;
        }
        frames->resize(at + 2 * k_step);
        int got = source->read(frames->data() + at, k_step);
        frames->resize(at + 2 * size_t(got));
        if (got < k_step)
            break;
    }
    if (source->failed()) {
        *error = "damaged audio data";
        return false;
    }
    if (frames->empty()) {
        *error = "no audio data";
        return false;
    }
    frames->shrink_to_fit();  // the sample is kept: none of the room it grew by
    return true;
}
