#include "platform/video_encoder.h"

#include "platform/av_library.h"
#include "platform/files.h"

#include <cstring>
#include <string>
#include <vector>

struct video_encoder {
    const av_library* av = nullptr;
    AVFormatContext* format = nullptr;
    AVPacket* packet = nullptr;
    std::string path;
    std::string temporary;
    uint32_t width = 0, height = 0;
    size_t row_size = 0;          // a stored row with its padding
    std::vector<uint8_t> frame;   // the stored frame, bottom row first
    uint32_t frames = 0;
    bool failed = false;
};

namespace {

// Frees the muxer and its file; the temporary stays for the caller to commit or discard.
bool close_output(video_encoder& v)
{
    bool ok = true;
    if (v.format) {
        if (v.format->pb && v.av->avio_closep(&v.format->pb) < 0)
            ok = false;
        v.av->avformat_free_context(v.format);
        v.format = nullptr;
    }
    v.av->av_packet_free(&v.packet);
    return ok;
}

// Abandons an encoder that failed to open.
void destroy(video_encoder* v)
{
    close_output(*v);
    discard_temporary(v->temporary);
    delete v;
}

bool output_ok(const video_encoder& v)
{
    return v.format->pb && v.format->pb->error >= 0;
}

} // namespace

video_encoder* video_encoder_open(const char* path, uint32_t width, uint32_t height, uint32_t fps)
{
    if (!path || !*path || width == 0 || height == 0 || width > k_video_encoder_max_side ||
        height > k_video_encoder_max_side || fps == 0 || fps > k_video_encoder_max_fps)
        return nullptr;
    const av_library* av = load_av_library();
    if (!av)
        return nullptr;
    auto* v = new video_encoder;
    v->av = av;
    v->path = path;
    v->width = width;
    v->height = height;
    v->row_size = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    v->frame.assign(v->row_size * height, 0);
    v->temporary = new_temporary_name(path);
    if (av->avformat_alloc_output_context2(&v->format, nullptr, "avi", nullptr) < 0 || !v->format) {
        destroy(v);
        return nullptr;
    }
    AVStream* stream = av->avformat_new_stream(v->format, nullptr);
    v->packet = av->av_packet_alloc();
    if (!stream || !v->packet) {
        destroy(v);
        return nullptr;
    }
    AVCodecParameters* p = stream->codecpar;
    p->codec_type = AVMEDIA_TYPE_VIDEO;
    p->codec_id = AV_CODEC_ID_RAWVIDEO;
    p->codec_tag = 0; // BI_RGB
    p->format = AV_PIX_FMT_BGR24;
    p->bits_per_coded_sample = 24;
    p->width = static_cast<int>(width);
    p->height = static_cast<int>(height);
    // Marks the rows as stored bottom-up, so that the header carries a positive height.
    static const char k_bottom_up[] = "BottomUp";
    p->extradata = static_cast<uint8_t*>(av->av_mallocz(sizeof k_bottom_up + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!p->extradata) {
        destroy(v);
        return nullptr;
    }
    std::memcpy(p->extradata, k_bottom_up, sizeof k_bottom_up);
    p->extradata_size = sizeof k_bottom_up;
    stream->time_base = AVRational{1, static_cast<int>(fps)};
    stream->avg_frame_rate = AVRational{static_cast<int>(fps), 1};
    stream->r_frame_rate = stream->avg_frame_rate;
    if (av->avio_open(&v->format->pb, v->temporary.c_str(), AVIO_FLAG_WRITE) < 0 ||
        av->avformat_write_header(v->format, nullptr) < 0 || (av->avio_flush(v->format->pb), !output_ok(*v))) {
        destroy(v);
        return nullptr;
    }
    return v;
}

bool video_encoder_write(video_encoder* v, const uint8_t* bgr, bool bottom_up)
{
    if (!v || !bgr || v->failed)
        return false;
    const size_t packed = static_cast<size_t>(v->width) * 3;
    for (uint32_t row = 0; row < v->height; ++row) {
        const uint32_t stored = bottom_up ? row : v->height - 1 - row;
        std::memcpy(v->frame.data() + stored * v->row_size, bgr + row * packed, packed);
    }
    AVPacket* packet = v->packet;
    packet->data = v->frame.data();
    packet->size = static_cast<int>(v->frame.size());
    packet->stream_index = 0;
    packet->pts = packet->dts = v->frames;
    packet->duration = 1;
    packet->flags = AV_PKT_FLAG_KEY;
    const bool written =
        v->av->av_write_frame(v->format, packet) >= 0 && (v->av->avio_flush(v->format->pb), output_ok(*v));
    v->av->av_packet_unref(packet);
    if (!written) {
        v->failed = true;
        return false;
    }
    ++v->frames;
    return true;
}

uint32_t video_encoder_frames(const video_encoder* v)
{
    return v ? v->frames : 0;
}

bool video_encoder_close(video_encoder* v)
{
    if (!v)
        return true;
    const bool complete = !v->failed && v->av->av_write_trailer(v->format) >= 0 &&
                          (v->av->avio_flush(v->format->pb), output_ok(*v));
    const bool closed = close_output(*v);
    const bool placed = complete && closed && commit_temporary(v->temporary, v->path.c_str());
    if (!(complete && closed))
        discard_temporary(v->temporary);
    delete v;
    return placed;
}
