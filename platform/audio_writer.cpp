#include "platform/audio_writer.h"

#include "platform/files.h"

#include <vorbis/vorbisenc.h>

#include <vector>

namespace {

void put_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

void put_tag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

void append_page(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// The Ogg pages of one Vorbis stream, built in memory.
class vorbis_writer {
public:
    vorbis_writer() = default;
    vorbis_writer(const vorbis_writer&) = delete;
    vorbis_writer& operator=(const vorbis_writer&) = delete;
    ~vorbis_writer()
    {
        if (started_) {
            ogg_stream_clear(&stream_);
            vorbis_block_clear(&block_);
            vorbis_dsp_clear(&dsp_);
        }
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }

    bool start(int channels, int rate, float quality)
    {
        vorbis_info_init(&info_);
        vorbis_comment_init(&comment_);
        if (vorbis_encode_init_vbr(&info_, channels, rate, quality) != 0)
            return false;
        vorbis_analysis_init(&dsp_, &info_);
        vorbis_block_init(&dsp_, &block_);
        ogg_stream_init(&stream_, 0x7a6f7276);
        started_ = true;
        ogg_packet header, comments, codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &header, &comments, &codebooks);
        ogg_stream_packetin(&stream_, &header);
        ogg_stream_packetin(&stream_, &comments);
        ogg_stream_packetin(&stream_, &codebooks);
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            append_page(bytes, page);
        return true;
    }

    // Hands `frames` frames to the encoder; 0 frames ends the stream.
    void write(const int16_t* samples, int channels, int frames)
    {
        if (frames > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp_, frames);
            for (int i = 0; i < frames; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = float(samples[i * channels + c]) / 32768.0f;
        }
        vorbis_analysis_wrote(&dsp_, frames);
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
                ogg_stream_packetin(&stream_, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream_, &page) != 0)
                    append_page(bytes, page);
            }
        }
    }

    void finish()
    {
        write(nullptr, 0, 0);
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            append_page(bytes, page);
    }

    std::vector<uint8_t> bytes;

private:
    bool started_ = false;
    vorbis_info info_{};
    vorbis_comment comment_{};
    vorbis_dsp_state dsp_{};
    vorbis_block block_{};
    ogg_stream_state stream_{};
};

} // namespace

bool write_wav_file(const char* path, const int16_t* samples, int channels, int rate, size_t frames)
{
    if (channels < 1 || channels > 8 || rate <= 0)
        return false;
    uint64_t data_bytes = uint64_t(frames) * uint64_t(channels) * 2;
    if (data_bytes > 0x7FFFFFF0u)
        return false;
    std::vector<uint8_t> out;
    out.reserve(44 + size_t(data_bytes));
    put_tag(out, "RIFF");
    put_u32(out, uint32_t(36 + data_bytes));
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);  // PCM
    put_u16(out, uint32_t(channels));
    put_u32(out, uint32_t(rate));
    put_u32(out, uint32_t(rate * channels * 2));
    put_u16(out, uint32_t(channels * 2));
    put_u16(out, 16);
    put_tag(out, "data");
    put_u32(out, uint32_t(data_bytes));
    for (size_t i = 0; i < frames * size_t(channels); ++i)
        put_u16(out, uint16_t(samples[i]));
    return write_whole_file(path, out.data(), out.size());
}

bool write_ogg_file(const char* path, const int16_t* samples, int channels, int rate, size_t frames,
                    float quality)
{
    if (channels < 1 || channels > 8 || rate <= 0)
        return false;
    vorbis_writer writer;
    if (!writer.start(channels, rate, quality))
        return false;
    constexpr size_t k_step = 1024;
    for (size_t at = 0; at < frames; at += k_step) {
        size_t n = frames - at < k_step ? frames - at : k_step;
        writer.write(samples + at * size_t(channels), channels, int(n));
    }
    writer.finish();
    return write_whole_file(path, writer.bytes.data(), writer.bytes.size());
}
