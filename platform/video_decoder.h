// Video files (AVI) read frame by frame for video textures.
//
// A file is opened on its first video stream; frames are numbered from 0 and decoded to 24-bit
// RGB at the stream's own size. Reading frame n after frame n - 1 decodes one frame; any other
// order seeks. Nothing is logged: failures are a null file or false.
#pragma once

#include <cstdint>
#include <vector>

struct video_file;

struct video_stream_info {
    uint32_t rate = 0;   // frames per second = rate / scale
    uint32_t scale = 0;
    uint32_t start = 0;  // first frame number
    uint32_t length = 0; // frames
    uint32_t width = 0;
    uint32_t height = 0;
};

// Opens a video file; null when it cannot be read or holds no decodable video stream, or when
// the video libraries cannot be opened.
video_file* video_open(const char* name);
void video_close(video_file* video);

const video_stream_info& video_info(const video_file* video);

// Decodes frame n into rgb: width × height pixels of three bytes R, G, B, top row first.
// False when n is past the stream's end or the frame cannot be decoded.
bool video_read_frame(video_file* video, uint32_t n, std::vector<uint8_t>& rgb);
