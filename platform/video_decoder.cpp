#include "platform/video_decoder.h"

#include "platform/av_library.h"
#include "platform/files.h"

namespace {

constexpr uint32_t k_max_video_side = 4096;

} // namespace

struct video_file {
    const av_library* av = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    int stream = -1;
    AVRational frame_rate{0, 1}; // frames per second
    int64_t start_pts = 0;
    int64_t current = -1;        // number of the frame held in `frame`, -1 for none
    bool draining = false;
    video_stream_info info;
};

namespace {

// The frame number of a decoded frame from its time stamp, or the one after the last.
int64_t frame_number(const video_file& v)
{
    const int64_t ts = v.frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE)
        return v.current + 1;
    const AVStream* s = v.format->streams[v.stream];
    return v.av->av_rescale_q(ts - v.start_pts, s->time_base, av_inv_q(v.frame_rate));
}

// Decodes the next frame of the stream into v.frame.
bool decode_next(video_file& v)
{
    for (int guard = 0; guard < 1 << 20; ++guard) {
        const int r = v.av->avcodec_receive_frame(v.codec, v.frame);
        if (r == 0) {
            v.current = frame_number(v);
            return true;
        }
        if (r != AVERROR(EAGAIN))
            return false;
        if (v.draining)
            return false;
        if (v.av->av_read_frame(v.format, v.packet) < 0) {
            v.draining = true;
            v.av->avcodec_send_packet(v.codec, nullptr);
            continue;
        }
        if (v.packet->stream_index == v.stream)
            v.av->avcodec_send_packet(v.codec, v.packet);
        v.av->av_packet_unref(v.packet);
    }
    return false;
}

bool seek_to(video_file& v, int64_t n)
{
    const AVStream* s = v.format->streams[v.stream];
    const int64_t ts = v.start_pts + v.av->av_rescale_q(n, av_inv_q(v.frame_rate), s->time_base);
    if (v.av->av_seek_frame(v.format, v.stream, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
        v.av->av_seek_frame(v.format, v.stream, v.start_pts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    v.av->avcodec_flush_buffers(v.codec);
    v.current = -1;
    v.draining = false;
    return true;
}

} // namespace

video_file* video_open(const char* name)
{
    const av_library* av = name ? load_av_library() : nullptr;
    if (!av)
        return nullptr;
    const std::string path = resolve_path(name);
    auto* v = new video_file;
    v->av = av;
    const AVCodec* codec = nullptr;
    if (av->avformat_open_input(&v->format, path.c_str(), nullptr, nullptr) < 0 ||
        av->avformat_find_stream_info(v->format, nullptr) < 0 ||
        (v->stream = av->av_find_best_stream(v->format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)) < 0 || !codec) {
        video_close(v);
        return nullptr;
    }
    AVStream* s = v->format->streams[v->stream];
    v->codec = av->avcodec_alloc_context3(codec);
    if (!v->codec || av->avcodec_parameters_to_context(v->codec, s->codecpar) < 0 ||
        av->avcodec_open2(v->codec, codec, nullptr) < 0) {
        video_close(v);
        return nullptr;
    }
    const int w = v->codec->width, h = v->codec->height;
    AVRational rate = s->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = s->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = av_inv_q(s->time_base);
    if (w <= 0 || h <= 0 || static_cast<uint32_t>(w) > k_max_video_side || static_cast<uint32_t>(h) > k_max_video_side ||
        rate.num <= 0 || rate.den <= 0) {
        video_close(v);
        return nullptr;
    }
    v->frame_rate = rate;
    v->start_pts = s->start_time == AV_NOPTS_VALUE ? 0 : s->start_time;
    v->frame = av->av_frame_alloc();
    v->packet = av->av_packet_alloc();
    if (!v->frame || !v->packet) {
        video_close(v);
        return nullptr;
    }
    v->info.rate = static_cast<uint32_t>(rate.num);
    v->info.scale = static_cast<uint32_t>(rate.den);
    v->info.start = 0;
    int64_t length = s->nb_frames;
    if (length <= 0 && s->duration != AV_NOPTS_VALUE)
        length = av->av_rescale_q(s->duration, s->time_base, av_inv_q(rate));
    if (length <= 0 && v->format->duration != AV_NOPTS_VALUE)
        length = av->av_rescale_q(v->format->duration, AVRational{1, AV_TIME_BASE}, av_inv_q(rate));
    v->info.length = length > 0 && length < 0x7FFFFFFF ? static_cast<uint32_t>(length) : 0;
    v->info.width = static_cast<uint32_t>(w);
    v->info.height = static_cast<uint32_t>(h);
    return v;
}

void video_close(video_file* v)
{
    if (!v)
        return;
    v->av->sws_freeContext(v->scaler);
    v->av->av_packet_free(&v->packet);
    v->av->av_frame_free(&v->frame);
    v->av->avcodec_free_context(&v->codec);
    v->av->avformat_close_input(&v->format);
    delete v;
}

const video_stream_info& video_info(const video_file* v)
{
    return v->info;
}

bool video_read_frame(video_file* v, uint32_t n, std::vector<uint8_t>& rgb)
{
    if (!v || n >= v->info.length)
        return false;
    const int64_t want = n;
    if (v->current > want || v->current < 0 || want - v->current > 64) {
        if (!(v->current == -1 && want == 0) && !seek_to(*v, want))
            return false;
    }
    while (v->current < want)
        if (!decode_next(*v))
            return false;
    const AVFrame* f = v->frame;
    if (f->width <= 0 || f->height <= 0 || f->format < 0)
        return false;
    const int w = static_cast<int>(v->info.width), h = static_cast<int>(v->info.height);
    v->scaler = v->av->sws_getCachedContext(v->scaler, f->width, f->height, static_cast<AVPixelFormat>(f->format), w,
                                            h, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
    if (!v->scaler)
        return false;
    rgb.resize(static_cast<size_t>(w) * h * 3);
    uint8_t* planes[4] = {rgb.data(), nullptr, nullptr, nullptr};
    int pitches[4] = {w * 3, 0, 0, 0};
    return v->av->sws_scale(v->scaler, f->data, f->linesize, 0, f->height, planes, pitches) == h;
}
