// The FFmpeg libraries as the platform layer uses them for video files. They are opened when a
// video is first read or written, not at start: most runs never need them. They log nothing;
// failures are results.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#define ZORV_AV_FUNCTIONS(F)                                                                              \
    F(av_log_set_level) F(av_mallocz) F(av_rescale_q) F(av_frame_alloc) F(av_frame_free) F(av_packet_alloc) \
    F(av_packet_free) F(av_packet_unref) F(avcodec_alloc_context3) F(avcodec_free_context)                 \
    F(avcodec_parameters_to_context) F(avcodec_open2) F(avcodec_send_packet) F(avcodec_receive_frame)      \
    F(avcodec_flush_buffers) F(avformat_open_input) F(avformat_close_input) F(avformat_find_stream_info)   \
    F(av_find_best_stream) F(av_read_frame) F(av_seek_frame) F(avformat_alloc_output_context2)             \
    F(avformat_free_context) F(avformat_new_stream) F(avformat_write_header) F(av_write_frame)             \
    F(av_write_trailer) F(avio_open) F(avio_closep) F(avio_flush) F(sws_getCachedContext) F(sws_scale)     \
    F(sws_freeContext)

// The functions of the libraries the program was built against, each under its own name.
struct av_library {
#define ZORV_AV_MEMBER(name) decltype(&::name) name = nullptr;
    ZORV_AV_FUNCTIONS(ZORV_AV_MEMBER)
#undef ZORV_AV_MEMBER
};

// Opens the libraries on the first call, with their logging silenced. Null, on this call and
// every later one, when a library or one of the functions cannot be found.
const av_library* load_av_library();
