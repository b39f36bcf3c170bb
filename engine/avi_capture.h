// Screen capture into an AVI file (platform/video_encoder: uncompressed 24-bit frames).
//
// While g_capture_on is set, the main loop hands every finished frame to avi_capture_frame and
// moves the game clock's start on by the time the call took, so capturing does not advance game
// time. Every frame handed over is written as the file's next frame; none is dropped. The file
// is complete, and appears under its name, when the capture is closed (at the latest at
// shutdown).
#pragma once

#include <cstdint>

constexpr int32_t k_capture_done = 1;          // a frame was written; a capture was opened
constexpr int32_t k_capture_not_open = 10;     // no capture is open: nothing written
constexpr int32_t k_capture_no_frame = 11;     // the frame could not be read back
constexpr int32_t k_capture_write_failed = 12; // the frame was not written and the capture was closed
constexpr int32_t k_capture_open_failed = 77;  // opening failed; nothing is open

// Frames per second of the capture avi_capture_start opens.
constexpr int32_t k_capture_default_fps = 30;

// Opens a capture of the device's frames at its present size, fps frames per second (1 to 1000),
// into path; a capture already open is closed first. k_capture_done, or k_capture_open_failed
// without a device, for a refused rate or when the file cannot be made.
int32_t avi_capture_open(const char* path, int32_t fps);

// Reads the finished frame back from g_d3d_device and writes it: one of the results above. A
// frame of another size than at opening closes the capture with the frames written so far; a
// failed write closes it and drops the file, which is then incomplete.
int32_t avi_capture_frame();

// Finishes the open capture's file (nothing when none is open). True when a file was completed.
bool avi_capture_close();

bool avi_capture_is_open();

// The number of the next file avi_capture_start names: 0 at start, never stored.
extern uint32_t g_capture_file_counter;

// What "video on" opens: when no capture is open, "zorv - capture%.3d.avi" in the working folder
// at k_capture_default_fps, numbered from 000 in each run. k_capture_done when a capture is open
// afterwards, else k_capture_open_failed.
int32_t avi_capture_start();
