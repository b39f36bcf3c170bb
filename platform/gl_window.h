// The program window with its OpenGL 2.1 compatibility context: one window per process.
//
// The window is created with its context in one step, because the pixel format is chosen with
// the window. Swapping never waits for the vertical blank, and it ends the frame for the driver:
// on a drawable without a back buffer (the offscreen video driver's pbuffer), where swapping
// itself does nothing, it finishes the frame's drawing instead.
#pragma once

#include <cstdint>
#include <string>

struct SDL_Window;

enum class window_mode : uint8_t {
    windowed,
    desktop_full_screen, // the desktop's mode; the frame is scaled to fit, keeping its shape
    full_screen,         // the display switched to the window's size
};

struct gl_window_options {
    const char* title = "";
    uint32_t width = 1024;
    uint32_t height = 768;
    window_mode mode = window_mode::windowed;
    int colour_bits = 32; // 16 asks for 5-6-5 colour
    bool visible = true;
};

// Opens the window and makes its context current; when it is already open, switches it to the
// mode and size of the options instead. False with SDL's reason in error.
bool gl_window_open(const gl_window_options& options, std::string& error);
void gl_window_close();
bool gl_window_is_open();
// The SDL window, for the window's own event and position handling; null when closed.
SDL_Window* gl_window_handle();
// The size of the window's drawable area in pixels (0 when closed).
void gl_window_drawable_size(int& width, int& height);
void gl_window_swap();
// Waits until everything drawn on the window so far is done.
void gl_window_finish();
