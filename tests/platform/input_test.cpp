#include "platform/clock.h"
#include "platform/gl_window.h"
#include "platform/input.h"
#include "platform/key_codes.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace {

// Every key the game names, by its physical position.
TEST(KeyCodes, EveryNamedKeyHasItsCode)
{
    const std::vector<std::pair<SDL_Scancode, uint8_t>> keys = {
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B},
        {SDL_SCANCODE_MINUS, 0x0C}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
        {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
        {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_P, 0x19}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
        {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
        {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
        {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_L, 0x26}, {SDL_SCANCODE_SEMICOLON, 0x27},
        {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
        {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
        {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32}, {SDL_SCANCODE_PERIOD, 0x34},
        {SDL_SCANCODE_SLASH, 0x35}, {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C},
        {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F8, 0x42},
        {SDL_SCANCODE_F10, 0x44}, {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
        {SDL_SCANCODE_KP_MINUS, 0x4A}, {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C},
        {SDL_SCANCODE_KP_6, 0x4D}, {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_1, 0x4F},
        {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_0, 0x52},
        {SDL_SCANCODE_KP_PERIOD, 0x53}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_PAGEUP, 0xC9}, {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD},
        {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
        {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
    };
    for (const auto& [scancode, code] : keys)
        EXPECT_EQ(key_code_for_scancode(scancode), code) << SDL_GetScancodeName(scancode);

    // The letters in keyboard order fill the three rows without a gap.
    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const uint8_t first[] = {0x10, 0x1E, 0x2C};
    for (int r = 0; r < 3; ++r)
        for (int i = 0; rows[r][i]; ++i)
            EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_A + (rows[r][i] - 'A')), first[r] + i) << rows[r][i];
}

TEST(KeyCodes, CodesAreUniqueAndUnknownKeysHaveNone)
{
    std::map<uint8_t, int> owners;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        uint8_t code = key_code_for_scancode(scancode);
        if (code && scancode != SDL_SCANCODE_NONUSHASH) {
            EXPECT_EQ(owners.count(code), 0u) << "code " << int(code) << " twice";
            owners[code] = scancode;
        }
    }
    EXPECT_GT(owners.size(), 120u);
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(key_code_for_scancode(-1), 0);
    EXPECT_EQ(key_code_for_scancode(SDL_NUM_SCANCODES), 0);
}

// Headless: no window is open, injected events are the only ones.
class headless_input : public ::testing::Test {
protected:
    void SetUp() override
    {
        input_reset();
        input_set_display_size(800, 600);
    }
    void TearDown() override { input_reset(); }

    std::vector<window_message> messages()
    {
        std::vector<window_message> taken;
        window_message m;
        while (input_next_message(&m))
            taken.push_back(m);
        return taken;
    }
};

TEST_F(headless_input, FocusAndCloseBecomeWindowMessagesInOrder)
{
    input_inject({input_event_kind::focus_gained});
    input_inject({input_event_kind::focus_lost});
    input_inject({input_event_kind::close});
    input_inject({input_event_kind::close});  // the window is gone after the first
    input_inject({input_event_kind::focus_gained});
    input_drain();
    auto taken = messages();
    ASSERT_EQ(taken.size(), 6u);
    EXPECT_EQ(taken[0].kind, window_message_kind::activate_app);
    EXPECT_EQ(taken[0].param, 1u);
    EXPECT_EQ(taken[1].kind, window_message_kind::activate);
    EXPECT_EQ(taken[2].kind, window_message_kind::set_focus);
    EXPECT_EQ(taken[3].kind, window_message_kind::activate);
    EXPECT_EQ(taken[3].param, 0u);
    EXPECT_EQ(taken[4].kind, window_message_kind::activate_app);
    EXPECT_EQ(taken[4].param, 0u);
    EXPECT_EQ(taken[5].kind, window_message_kind::close);
}

TEST_F(headless_input, KeysAreReadOnlyWhileAcquired)
{
    input_event key{input_event_kind::key, k_key_return, true};
    input_inject(key);
    input_drain();
    uint8_t state[256];
    std::fill(std::begin(state), std::end(state), 0x55);
    EXPECT_FALSE(input_read_keyboard(state));
    EXPECT_EQ(std::count(std::begin(state), std::end(state), 0), 256);

    input_set_acquired(true);
    ASSERT_TRUE(input_read_keyboard(state));
    EXPECT_EQ(state[k_key_return], 0x80);
    EXPECT_EQ(state[k_key_space], 0);
    key.down = false;
    input_inject(key);
    input_drain();
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_return], 0);
}

TEST_F(headless_input, EachPressBetweenTwoReadsIsShownInAReadOfItsOwn)
{
    input_set_acquired(true);
    auto key = [](uint8_t code, bool down) { input_inject({input_event_kind::key, code, down}); };
    auto read = [](uint8_t code) {
        uint8_t state[256];
        input_read_keyboard(state);
        return state[code];
    };
    // Two taps of Return and a repeat of the held key, all before one drain.
    key(k_key_return, true), key(k_key_return, false), key(k_key_return, true), key(k_key_return, true);
    key(k_key_return, false);
    input_drain();
    EXPECT_EQ(read(k_key_return), 0x80);
    EXPECT_EQ(read(k_key_return), 0);
    EXPECT_EQ(read(k_key_return), 0x80);
    EXPECT_EQ(read(k_key_return), 0);
    EXPECT_EQ(read(k_key_return), 0);

    // Ctrl+S tapped at once is seen as the pair; L then P typed fast are seen one after the other.
    key(k_key_lcontrol, true), key(k_key_s, true), key(k_key_s, false), key(k_key_lcontrol, false);
    key(k_key_l, true), key(k_key_l, false), key(k_key_p, true), key(k_key_p, false);
    input_drain();
    uint8_t state[256];
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_lcontrol], 0x80);
    EXPECT_EQ(state[k_key_s], 0x80);
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_lcontrol], 0);
    EXPECT_EQ(state[k_key_s], 0);
    EXPECT_EQ(state[k_key_l], 0x80);
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_l], 0);
    EXPECT_EQ(state[k_key_p], 0x80);
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_p], 0);

    // A click shorter than a read is shown; what happens while released is not replayed.
    input_inject({input_event_kind::mouse_button, 0, true});
    input_inject({input_event_kind::mouse_button, 0, false});
    input_drain();
    mouse_reading reading{};
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.buttons[0], 0x80);
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.buttons[0], 0);
    input_set_acquired(false);
    key(k_key_space, true), key(k_key_space, false);
    input_drain();
    input_set_acquired(true);
    EXPECT_EQ(read(k_key_space), 0);
}

TEST_F(headless_input, MouseMovementWheelAndButtons)
{
    input_set_acquired(true);
    input_inject({input_event_kind::mouse_move, 0, false, 100, 50});
    input_inject({input_event_kind::mouse_button, 1, true});
    input_inject({.kind = input_event_kind::mouse_wheel, .wheel = 2});
    input_inject({.kind = input_event_kind::mouse_wheel, .wheel = -1});
    input_drain();
    mouse_reading reading{};
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.dx, 100);
    EXPECT_EQ(reading.dy, 50);
    EXPECT_EQ(reading.wheel, 1);
    EXPECT_EQ(reading.buttons[1], 0x80);
    EXPECT_EQ(reading.buttons[0], 0);
    cursor_position cursor = input_cursor();
    EXPECT_EQ(cursor.x, 100);
    EXPECT_TRUE(cursor.inside);

    // Movement and wheel are counted since the last read.
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.wheel, 0);
    EXPECT_EQ(reading.dx, 0);

    // Beyond the display area's right edge the cursor is outside.
    input_inject({input_event_kind::mouse_move, 0, false, 800, 10});
    input_drain();
    EXPECT_FALSE(input_cursor().inside);
    input_inject({input_event_kind::mouse_move, 0, false, 10, 10});
    input_inject({input_event_kind::mouse_leave});
    input_drain();
    EXPECT_FALSE(input_cursor().inside);

    // Released, the mouse reads nothing and its wheel movement meanwhile is dropped.
    input_set_acquired(false);
    input_inject({.kind = input_event_kind::mouse_wheel, .wheel = 3});
    input_drain();
    reading.wheel = 77;
    EXPECT_FALSE(input_read_mouse(&reading));
    EXPECT_EQ(reading.wheel, 77);
    input_set_acquired(true);
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.wheel, 0);
}

TEST_F(headless_input, WaitingReturnsAtOnceForAPendingMessageAndSleepsOtherwise)
{
    clock_use_manual(true);
    clock_set_manual(5000);
    input_wait(100);
    EXPECT_EQ(clock_ms(), 5100u);  // nothing pending: the whole wait is spent
    input_inject({input_event_kind::close});
    input_wait(100);
    EXPECT_EQ(clock_ms(), 5100u);
    input_drain();
    input_wait(100);
    EXPECT_EQ(clock_ms(), 5100u);  // the close message waits in the queue
    clock_use_manual(false);
}

// The SDL back end on the offscreen video driver: events pushed into SDL's queue.
TEST(SdlInput, WindowEventsKeysAndWheelComeThroughSdl)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    gl_window_options options;
    options.title = "ZORV";
    options.width = 640;
    options.height = 480;
    std::string error;
    if (!gl_window_open(options, error))
        GTEST_SKIP() << "no video driver for a window: " << error;
    input_reset();
    input_set_display_size(640, 480);
    input_set_acquired(true);
    input_drain();
    window_message m;
    while (input_next_message(&m)) {
    }

    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_GRAVE;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -1;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(gl_window_handle());
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
    input_drain();

    uint8_t state[256];
    input_read_keyboard(state);
    EXPECT_EQ(state[k_key_grave], 0x80);
    mouse_reading reading{};
    ASSERT_TRUE(input_read_mouse(&reading));
    EXPECT_EQ(reading.wheel, -1);
    std::vector<window_message_kind> kinds;
    while (input_next_message(&m))
        kinds.push_back(m.kind);
    EXPECT_EQ(kinds, (std::vector<window_message_kind>{window_message_kind::activate, window_message_kind::activate_app,
                                                      window_message_kind::close}));
    gl_window_close();
    input_reset();
}

} // namespace
