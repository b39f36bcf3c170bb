// The OpenGL back end of the device, drawing into the program window (platform/gl_window.h).
#pragma once

#include "platform/render_device.h"

#include <memory>
#include <string>

// A device of the given size on the window's current context; null with a reason in error when
// no window or context is open. A drawable area of another size shows the frame scaled to fit.
std::unique_ptr<render_device> create_gl_device(uint32_t width, uint32_t height, std::string& error);
