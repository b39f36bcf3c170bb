#include "core/input_state.h"

#include "platform/key_codes.h"

uint32_t g_windowed = 0;
uint32_t g_resolution_mode = 0;
uint32_t g_app_active = 0;
uint32_t g_input_focus = 1;

mouse_state g_mouse_state = {};
uint8_t g_key_state[256] = {};
uint32_t g_mouse_left = 0, g_mouse_right = 0, g_mouse_middle = 0, g_mouse_button4 = 0;
uint32_t g_wheel_up = 0, g_wheel_down = 0;
float g_mouse_x = 320.0f, g_mouse_y = 240.0f;
float g_mouse_screen_x = 320.0f, g_mouse_screen_y = 240.0f;
uint8_t g_typed_char = 0;
uint8_t g_console_last_char = 0;
press_latches g_press_latches = {};

namespace {

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

struct key_char {
    uint8_t key;
    char c;
};

// The letters in the order they are tested (y before x).
constexpr key_char k_letters[] = {
    {k_key_a, 'a'}, {k_key_b, 'b'}, {k_key_c, 'c'}, {k_key_d, 'd'}, {k_key_e, 'e'}, {k_key_f, 'f'},
    {k_key_g, 'g'}, {k_key_h, 'h'}, {k_key_i, 'i'}, {k_key_j, 'j'}, {k_key_k, 'k'}, {k_key_l, 'l'},
    {k_key_m, 'm'}, {k_key_n, 'n'}, {k_key_o, 'o'}, {k_key_p, 'p'}, {k_key_q, 'q'}, {k_key_r, 'r'},
    {k_key_s, 's'}, {k_key_t, 't'}, {k_key_u, 'u'}, {k_key_v, 'v'}, {k_key_w, 'w'}, {k_key_y, 'y'},
    {k_key_x, 'x'}, {k_key_z, 'z'},
};

// The keys after the letters, in the order they are tested.
constexpr key_char k_others[] = {
    {k_key_space, ' '},
    {k_key_0, '0'}, {k_key_1, '1'}, {k_key_2, '2'}, {k_key_3, '3'}, {k_key_4, '4'},
    {k_key_5, '5'}, {k_key_6, '6'}, {k_key_7, '7'}, {k_key_8, '8'}, {k_key_9, '9'},
    {k_key_numpad0, '0'}, {k_key_numpad1, '1'}, {k_key_numpad2, '2'}, {k_key_numpad3, '3'},
    {k_key_numpad4, '4'}, {k_key_numpad5, '5'}, {k_key_numpad6, '6'}, {k_key_numpad7, '7'},
    {k_key_numpad8, '8'}, {k_key_numpad9, '9'},
    {k_key_decimal, '.'}, {k_key_slash, '/'}, {k_key_backslash, '\\'}, {k_key_semicolon, ':'},
    {k_key_period, '.'},
};

} // namespace

uint8_t read_typed_char()
{
    bool shift = down(k_key_lshift) || down(k_key_rshift);
    for (const key_char& key : k_letters)
        if (down(key.key))
            return uint8_t(shift ? key.c - 'a' + 'A' : key.c);
    for (const key_char& key : k_others)
        if (down(key.key))
            return uint8_t(key.c);
    if (down(k_key_minus) || down(k_key_subtract))
        return shift ? '_' : '-';
    if (down(k_key_back))
        return '$';
    return 0;
}

bool press_edge(uint32_t down, uint32_t& latch)
{
    if (!down) {
        latch = 0;
        return false;
    }
    if (latch)
        return false;
    latch = 1;
    return true;
}

bool take_key_press(uint8_t key)
{
    return press_edge(down(key), g_press_latches.keys[key]);
}

bool key_press_taken(uint8_t key)
{
    if (!down(key))
        g_press_latches.keys[key] = 0;
    return g_press_latches.keys[key] != 0;
}

bool take_left_press()
{
    return press_edge(g_mouse_left, g_press_latches.left);
}

bool left_press_taken()
{
    if (!g_mouse_left)
        g_press_latches.left = 0;
    return g_press_latches.left != 0;
}

void end_released_presses()
{
    for (int key = 0; key < 256; ++key)
        if (!down(uint8_t(key)))
            g_press_latches.keys[key] = 0;
    if (!g_mouse_left)
        g_press_latches.left = g_press_latches.title_credits = 0;
}
