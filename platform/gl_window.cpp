#include "platform/gl_window.h"

#include <SDL.h>

#include <GL/gl.h>

namespace {

SDL_Window* g_window = nullptr;
SDL_GLContext g_context = nullptr;
// The drawable has no back buffer (the offscreen driver draws into an EGL pbuffer): its swap
// does nothing, not even end the frame for the driver.
bool g_swap_is_empty = false;

uint32_t mode_flags(window_mode mode)
{
    switch (mode) {
    case window_mode::windowed: return 0;
    case window_mode::desktop_full_screen: return SDL_WINDOW_FULLSCREEN_DESKTOP;
    case window_mode::full_screen: return SDL_WINDOW_FULLSCREEN;
    }
    return 0;
}

bool fail(std::string& error)
{
    error = SDL_GetError();
    return false;
}

} // namespace

bool gl_window_open(const gl_window_options& options, std::string& error)
{
    if (g_window) {
        SDL_SetWindowFullscreen(g_window, 0);
        SDL_SetWindowSize(g_window, static_cast<int>(options.width), static_cast<int>(options.height));
        if (options.mode != window_mode::windowed && SDL_SetWindowFullscreen(g_window, mode_flags(options.mode)) != 0)
            return fail(error);
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fail(error);
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    const bool low = options.colour_bits == 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, low ? 5 : 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, low ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, low ? 5 : 8);

    uint32_t flags = SDL_WINDOW_OPENGL | mode_flags(options.mode);
    flags |= options.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    g_window = SDL_CreateWindow(options.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                static_cast<int>(options.width), static_cast<int>(options.height), flags);
    if (!g_window) {
        fail(error);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    g_context = SDL_GL_CreateContext(g_window);
    if (!g_context) {
        fail(error);
        gl_window_close();
        return false;
    }
    SDL_GL_SetSwapInterval(0);
    GLint double_buffered = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &double_buffered);
    g_swap_is_empty = double_buffered == 0;
    return true;
}

void gl_window_close()
{
    if (g_context)
        SDL_GL_DeleteContext(g_context);
    if (g_window) {
        SDL_DestroyWindow(g_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    g_context = nullptr;
    g_window = nullptr;
    g_swap_is_empty = false;
}

bool gl_window_is_open()
{
    return g_window != nullptr;
}

SDL_Window* gl_window_handle()
{
    return g_window;
}

void gl_window_drawable_size(int& width, int& height)
{
    width = height = 0;
    if (g_window)
        SDL_GL_GetDrawableSize(g_window, &width, &height);
}

void gl_window_swap()
{
    if (!g_window)
        return;
    // A window's swap hands the frame to the driver and lets it reuse what the frame's draws
    // held. Where the swap does nothing the frame is finished here instead; otherwise a software
    // driver keeps queueing draws, and their memory, frame after frame.
    if (g_swap_is_empty)
        glFinish();
    SDL_GL_SwapWindow(g_window);
}

void gl_window_finish()
{
    if (g_window)
        glFinish();
}
