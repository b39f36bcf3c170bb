// Video files (AVI) written frame by frame, for the screen capture.
//
// The one codec is uncompressed 24-bit video: each frame a DIB of blue-green-red pixels, rows
// padded to 4 bytes and stored bottom-up, which every AVI reader plays. Frames follow one another
// at the rate given at opening. The file is written through a temporary beside the target and
// put in place by video_encoder_close only when every frame and the file's index were written;
// a failed or abandoned write leaves the target as it was. Nothing is logged.
#pragma once

#include <cstdint>

struct video_encoder;

constexpr uint32_t k_video_encoder_max_side = 4096;
constexpr uint32_t k_video_encoder_max_fps = 1000;

// Starts a file of width × height frames (1 to k_video_encoder_max_side each) at fps frames per
// second (1 to k_video_encoder_max_fps). Null when a value is refused, the file cannot be made or
// the video libraries cannot be opened.
video_encoder* video_encoder_open(const char* path, uint32_t width, uint32_t height, uint32_t fps);

// Appends one frame: width × height pixels of three bytes blue, green, red, rows packed without
// padding, the top row first unless bottom_up. False when it cannot be written: the encoder then
// refuses every later frame and its close discards the file.
bool video_encoder_write(video_encoder* video, const uint8_t* bgr, bool bottom_up);

// Frames written so far.
uint32_t video_encoder_frames(const video_encoder* video);

// Finishes the file and frees the encoder (null is no error). True when the file is complete and
// in place under its name.
bool video_encoder_close(video_encoder* video);
