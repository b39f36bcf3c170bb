#include "platform/input.h"

#include "platform/clock.h"
#include "platform/gl_window.h"
#include "platform/key_codes.h"
#include "platform/signals.h"
#include "platform/text_encoding.h"
#include "platform/window_services.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

// A press or release that a read has not shown yet.
struct pending_change {
    bool button;  // a mouse button, else a key
    uint8_t code;
    bool down;
};

struct input_state {
    std::deque<input_event> injected;
    std::deque<window_message> messages;
    uint8_t keys[256] = {};     // as the reads show them
    uint8_t buttons[4] = {};
    // Each read shows the next change of every key and button, so that a press between two reads
    // is seen even when it was released again, and each of several presses is seen once.
    std::deque<pending_change> pending;
    uint8_t latest_keys[256] = {};  // as the events left them
    uint8_t latest_buttons[4] = {};
    int32_t cursor_x = 0, cursor_y = 0;
    bool cursor_in_window = false;
    int32_t dx = 0, dy = 0, wheel = 0;
    bool acquired = false;
    bool closed = false;           // a close was queued: the window takes no further messages
    bool signal_reported = false;  // the quit signal has become a close message
    int32_t display_width = 1024, display_height = 768;
    std::deque<input_event> ui_events;  // for input_take_ui_events, the newest k_ui_events_kept
    bool text_entry = false;
};

constexpr size_t k_ui_events_kept = 512;

input_state g_input;

// Kept apart from g_input, which input_reset clears: a script outlives a window.
std::function<void(uint32_t)> g_input_script;
uint32_t g_input_script_pass = 0;

void push_message(window_message_kind kind, uint32_t param)
{
    if (!g_input.closed)
        g_input.messages.push_back({kind, param});
}

bool cursor_over_display(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < g_input.display_width && y < g_input.display_height;
}

constexpr size_t k_pending_kept = 256;

uint8_t& shown(bool button, uint8_t code)
{
    return button ? g_input.buttons[code] : g_input.keys[code];
}

// Shows every change at once (the device was not read meanwhile, or too many changes wait).
void show_all_changes()
{
    for (const pending_change& c : g_input.pending)
        shown(c.button, c.code) = c.down ? k_key_down_bit : 0;
    g_input.pending.clear();
}

// A read of the keys (or the buttons): their waiting changes are shown in order up to a second
// change of one key, which waits for the next read with all after it.
void show_next_changes(bool buttons)
{
    bool changed[256] = {};
    bool stopped = false;
    std::deque<pending_change> waiting;
    for (const pending_change& c : g_input.pending) {
        if (c.button == buttons && !stopped)
            stopped = changed[c.code];
        if (c.button != buttons || stopped) {
            waiting.push_back(c);
            continue;
        }
        changed[c.code] = true;
        shown(c.button, c.code) = c.down ? k_key_down_bit : 0;
    }
    g_input.pending.swap(waiting);
}

void add_change(bool button, uint8_t code, bool down)
{
    uint8_t& latest = button ? g_input.latest_buttons[code] : g_input.latest_keys[code];
    const uint8_t state = down ? k_key_down_bit : 0;
    if (latest == state)
        return;  // a repeat of a held key
    latest = state;
    if (g_input.pending.size() >= k_pending_kept)
        show_all_changes();
    g_input.pending.push_back({button, code, down});
}

void keep_for_ui(const input_event& event)
{
    if (g_input.ui_events.size() == k_ui_events_kept)
        g_input.ui_events.pop_front();
    g_input.ui_events.push_back(event);
}

// A modal box of the program's own holds the focus lent to it until the window has it back.
// Meanwhile SDL does not minimize a full-screen window for losing it (which it does to give the
// desktop its mode back), since a minimized window is not given the focus again.
bool g_focus_lent = false;

void end_focus_loan()
{
    if (g_focus_lent)
        SDL_ResetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS);
    g_focus_lent = false;
}

// Asks for the focus: a window manager gives it and the focus event follows; without a window on
// a screen the window counts as having gained it at once.
void ask_for_focus()
{
    if (window_is_interactive()) {
        SDL_RaiseWindow(gl_window_handle());
        SDL_SetWindowInputFocus(gl_window_handle());
    } else {
        input_inject({input_event_kind::focus_gained});
    }
}

void apply(const input_event& event)
{
    switch (event.kind) {
    case input_event_kind::focus_gained:
        end_focus_loan();
        push_message(window_message_kind::activate_app, 1);
        push_message(window_message_kind::activate, 1);
        push_message(window_message_kind::set_focus, 0);
        break;
    case input_event_kind::focus_lost:
        push_message(window_message_kind::activate, 0);
        push_message(window_message_kind::activate_app, 0);
        break;
    case input_event_kind::close:
        push_message(window_message_kind::close, 0);
        g_input.closed = true;
        break;
    case input_event_kind::key:
        if (event.code)
            add_change(false, event.code, event.down);
        keep_for_ui(event);
        break;
    case input_event_kind::mouse_move:
        g_input.dx += event.x - g_input.cursor_x;
        g_input.dy += event.y - g_input.cursor_y;
        g_input.cursor_x = event.x;
        g_input.cursor_y = event.y;
        g_input.cursor_in_window = cursor_over_display(event.x, event.y);
        break;
    case input_event_kind::mouse_leave:
        g_input.cursor_in_window = false;
        break;
    case input_event_kind::mouse_button:
        if (event.code < 4)
            add_change(true, event.code, event.down);
        keep_for_ui(event);
        break;
    case input_event_kind::mouse_wheel:
        g_input.wheel += event.wheel;
        keep_for_ui(event);
        break;
    case input_event_kind::text:
        keep_for_ui(event);
        break;
    }
}

// A window position in window coordinates to display pixels: the display area is scaled to
// fit the window, keeping its shape, and centred.
void window_to_display(SDL_Window* window, int32_t x, int32_t y, int32_t* out_x, int32_t* out_y)
{
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w <= 0 || h <= 0 || (w == g_input.display_width && h == g_input.display_height)) {
        *out_x = x;
        *out_y = y;
        return;
    }
    double scale = std::min(double(w) / g_input.display_width, double(h) / g_input.display_height);
    double left = (w - g_input.display_width * scale) / 2.0;
    double top = (h - g_input.display_height * scale) / 2.0;
    *out_x = int32_t((x - left) / scale);
    *out_y = int32_t((y - top) / scale);
}

int button_index(uint8_t sdl_button)
{
    switch (sdl_button) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    default: return -1;
    }
}

// One SDL event as an input event; false for events the game does not take.
bool translate(SDL_Window* window, const SDL_Event& e, input_event* out)
{
    switch (e.type) {
    case SDL_QUIT:
        *out = {input_event_kind::close};
        return true;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != SDL_GetWindowID(window))
            return false;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: *out = {input_event_kind::focus_gained}; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: *out = {input_event_kind::focus_lost}; return true;
        case SDL_WINDOWEVENT_CLOSE: *out = {input_event_kind::close}; return true;
        case SDL_WINDOWEVENT_LEAVE: *out = {input_event_kind::mouse_leave}; return true;
        default: return false;
        }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        *out = {input_event_kind::key};
        out->code = key_code_for_scancode(e.key.keysym.scancode);
        out->down = e.type == SDL_KEYDOWN;
        return out->code != 0;
    case SDL_MOUSEMOTION:
        *out = {input_event_kind::mouse_move};
        window_to_display(window, e.motion.x, e.motion.y, &out->x, &out->y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int index = button_index(e.button.button);
        if (index < 0)
            return false;
        *out = {input_event_kind::mouse_button};
        out->code = uint8_t(index);
        out->down = e.type == SDL_MOUSEBUTTONDOWN;
        return true;
    }
    case SDL_MOUSEWHEEL:
        *out = {input_event_kind::mouse_wheel};
        out->wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        return true;
    default:
        return false;
    }
}

// Typed text: one text event per character.
void apply_text(const char* utf8)
{
    const std::string_view text(utf8);
    for (size_t at = 0; at < text.size();) {
        input_event event{input_event_kind::text};
        event.character = next_utf8(text, &at);
        apply(event);
    }
}

} // namespace

void input_inject(const input_event& event)
{
    g_input.injected.push_back(event);
}

void input_set_script(std::function<void(uint32_t pass)> script)
{
    g_input_script = std::move(script);
    g_input_script_pass = 0;
}

void input_drain()
{
    if (g_input_script)
        g_input_script(g_input_script_pass++);
    if (SDL_Window* window = gl_window_handle()) {
        SDL_Event e;
        input_event event;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_TEXTINPUT)
                apply_text(e.text.text);
            else if (translate(window, e, &event))
                apply(event);
        }
    }
    while (!g_input.injected.empty()) {
        input_event event = g_input.injected.front();
        g_input.injected.pop_front();
        apply(event);
    }
    if (quit_signal_received() && !g_input.signal_reported) {
        g_input.signal_reported = true;
        apply({input_event_kind::close});
    }
}

bool input_next_message(window_message* out)
{
    if (g_input.messages.empty())
        return false;
    *out = g_input.messages.front();
    g_input.messages.pop_front();
    return true;
}

void input_wait(uint32_t timeout_ms)
{
    if (!g_input.messages.empty() || !g_input.injected.empty())
        return;
    if (quit_signal_received() && !g_input.signal_reported)
        return;
    if (gl_window_is_open())
        SDL_WaitEventTimeout(nullptr, int(timeout_ms));
    else
        clock_sleep(timeout_ms);
}

void input_set_acquired(bool acquired)
{
    if (acquired && !g_input.acquired) {
        g_input.dx = g_input.dy = g_input.wheel = 0;
        show_all_changes();  // what happened while released is not replayed
    }
    g_input.acquired = acquired;
}

bool input_read_keyboard(uint8_t state[256])
{
    if (!g_input.acquired) {
        show_all_changes();
        std::memset(state, 0, 256);
        return false;
    }
    show_next_changes(false);
    std::memcpy(state, g_input.keys, 256);
    return true;
}

bool input_read_mouse(mouse_reading* out)
{
    if (!g_input.acquired) {
        show_all_changes();
        g_input.dx = g_input.dy = g_input.wheel = 0;
        return false;
    }
    show_next_changes(true);
    out->dx = g_input.dx;
    out->dy = g_input.dy;
    out->wheel = g_input.wheel;
    std::memcpy(out->buttons, g_input.buttons, sizeof out->buttons);
    g_input.dx = g_input.dy = g_input.wheel = 0;
    return true;
}

cursor_position input_cursor()
{
    return {g_input.cursor_x, g_input.cursor_y, g_input.cursor_in_window};
}

void input_set_display_size(int32_t width, int32_t height)
{
    g_input.display_width = std::max(width, 1);
    g_input.display_height = std::max(height, 1);
}

void input_take_ui_events(std::vector<input_event>* out)
{
    out->assign(g_input.ui_events.begin(), g_input.ui_events.end());
    g_input.ui_events.clear();
}

void input_set_text_entry(bool on)
{
    if (on == g_input.text_entry)
        return;
    g_input.text_entry = on;
    if (!window_is_interactive())
        return;
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

namespace {
uint32_t g_input_resets = 0;
}

uint32_t input_reset_count()
{
    return g_input_resets;
}

void input_reset()
{
    ++g_input_resets;
    end_focus_loan();
    int32_t width = g_input.display_width, height = g_input.display_height;
    g_input = input_state{};
    g_input.display_width = width;
    g_input.display_height = height;
}

void input_window_shown()
{
    // Typed text is read from the key state; the system's text input stays off.
    if (window_is_interactive())
        SDL_StopTextInput();
    ask_for_focus();
}

void input_lend_focus()
{
    if (!g_focus_lent)
        SDL_SetHintWithPriority(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0", SDL_HINT_OVERRIDE);
    g_focus_lent = true;
}

void input_focus_returned()
{
    ask_for_focus();
}
