#include "platform/key_codes.h"

#include <SDL.h>

#include <array>

namespace {

struct scancode_key {
    SDL_Scancode scancode;
    uint8_t code;
};

// Every key of a PC keyboard and its media keys, by physical position.
constexpr scancode_key k_scancode_keys[] = {
    {SDL_SCANCODE_ESCAPE, k_key_escape},
    {SDL_SCANCODE_1, k_key_1}, {SDL_SCANCODE_2, k_key_2}, {SDL_SCANCODE_3, k_key_3},
    {SDL_SCANCODE_4, k_key_4}, {SDL_SCANCODE_5, k_key_5}, {SDL_SCANCODE_6, k_key_6},
    {SDL_SCANCODE_7, k_key_7}, {SDL_SCANCODE_8, k_key_8}, {SDL_SCANCODE_9, k_key_9},
    {SDL_SCANCODE_0, k_key_0},
    {SDL_SCANCODE_MINUS, k_key_minus}, {SDL_SCANCODE_EQUALS, k_key_equals},
    {SDL_SCANCODE_BACKSPACE, k_key_back}, {SDL_SCANCODE_TAB, k_key_tab},
    {SDL_SCANCODE_Q, k_key_q}, {SDL_SCANCODE_W, k_key_w}, {SDL_SCANCODE_E, k_key_e},
    {SDL_SCANCODE_R, k_key_r}, {SDL_SCANCODE_T, k_key_t}, {SDL_SCANCODE_Y, k_key_y},
    {SDL_SCANCODE_U, k_key_u}, {SDL_SCANCODE_I, k_key_i}, {SDL_SCANCODE_O, k_key_o},
    {SDL_SCANCODE_P, k_key_p},
    {SDL_SCANCODE_LEFTBRACKET, k_key_lbracket}, {SDL_SCANCODE_RIGHTBRACKET, k_key_rbracket},
    {SDL_SCANCODE_RETURN, k_key_return}, {SDL_SCANCODE_LCTRL, k_key_lcontrol},
    {SDL_SCANCODE_A, k_key_a}, {SDL_SCANCODE_S, k_key_s}, {SDL_SCANCODE_D, k_key_d},
    {SDL_SCANCODE_F, k_key_f}, {SDL_SCANCODE_G, k_key_g}, {SDL_SCANCODE_H, k_key_h},
    {SDL_SCANCODE_J, k_key_j}, {SDL_SCANCODE_K, k_key_k}, {SDL_SCANCODE_L, k_key_l},
    {SDL_SCANCODE_SEMICOLON, k_key_semicolon}, {SDL_SCANCODE_APOSTROPHE, k_key_apostrophe},
    {SDL_SCANCODE_GRAVE, k_key_grave}, {SDL_SCANCODE_LSHIFT, k_key_lshift},
    {SDL_SCANCODE_BACKSLASH, k_key_backslash},
    // Some keyboards report the key beside Return as the "non-US #" position.
    {SDL_SCANCODE_NONUSHASH, k_key_backslash},
    {SDL_SCANCODE_Z, k_key_z}, {SDL_SCANCODE_X, k_key_x}, {SDL_SCANCODE_C, k_key_c},
    {SDL_SCANCODE_V, k_key_v}, {SDL_SCANCODE_B, k_key_b}, {SDL_SCANCODE_N, k_key_n},
    {SDL_SCANCODE_M, k_key_m},
    {SDL_SCANCODE_COMMA, k_key_comma}, {SDL_SCANCODE_PERIOD, k_key_period},
    {SDL_SCANCODE_SLASH, k_key_slash}, {SDL_SCANCODE_RSHIFT, k_key_rshift},
    {SDL_SCANCODE_KP_MULTIPLY, k_key_multiply}, {SDL_SCANCODE_LALT, k_key_lmenu},
    {SDL_SCANCODE_SPACE, k_key_space}, {SDL_SCANCODE_CAPSLOCK, k_key_capital},
    {SDL_SCANCODE_F1, k_key_f1}, {SDL_SCANCODE_F2, k_key_f2}, {SDL_SCANCODE_F3, k_key_f3},
    {SDL_SCANCODE_F4, k_key_f4}, {SDL_SCANCODE_F5, k_key_f5}, {SDL_SCANCODE_F6, k_key_f6},
    {SDL_SCANCODE_F7, k_key_f7}, {SDL_SCANCODE_F8, k_key_f8}, {SDL_SCANCODE_F9, k_key_f9},
    {SDL_SCANCODE_F10, k_key_f10},
    {SDL_SCANCODE_NUMLOCKCLEAR, k_key_numlock}, {SDL_SCANCODE_SCROLLLOCK, k_key_scroll},
    {SDL_SCANCODE_KP_7, k_key_numpad7}, {SDL_SCANCODE_KP_8, k_key_numpad8},
    {SDL_SCANCODE_KP_9, k_key_numpad9}, {SDL_SCANCODE_KP_MINUS, k_key_subtract},
    {SDL_SCANCODE_KP_4, k_key_numpad4}, {SDL_SCANCODE_KP_5, k_key_numpad5},
    {SDL_SCANCODE_KP_6, k_key_numpad6}, {SDL_SCANCODE_KP_PLUS, k_key_add},
    {SDL_SCANCODE_KP_1, k_key_numpad1}, {SDL_SCANCODE_KP_2, k_key_numpad2},
    {SDL_SCANCODE_KP_3, k_key_numpad3}, {SDL_SCANCODE_KP_0, k_key_numpad0},
    {SDL_SCANCODE_KP_PERIOD, k_key_decimal},
    {SDL_SCANCODE_NONUSBACKSLASH, k_key_oem_102},
    {SDL_SCANCODE_F11, k_key_f11}, {SDL_SCANCODE_F12, k_key_f12},
    {SDL_SCANCODE_F13, k_key_f13}, {SDL_SCANCODE_F14, k_key_f14}, {SDL_SCANCODE_F15, k_key_f15},
    {SDL_SCANCODE_INTERNATIONAL2, k_key_kana}, {SDL_SCANCODE_INTERNATIONAL1, k_key_abnt_c1},
    {SDL_SCANCODE_INTERNATIONAL4, k_key_convert}, {SDL_SCANCODE_INTERNATIONAL5, k_key_noconvert},
    {SDL_SCANCODE_INTERNATIONAL3, k_key_yen}, {SDL_SCANCODE_KP_EQUALS, k_key_numpadequals},
    {SDL_SCANCODE_AUDIOPREV, k_key_prevtrack}, {SDL_SCANCODE_AUDIONEXT, k_key_nexttrack},
    {SDL_SCANCODE_KP_ENTER, k_key_numpadenter}, {SDL_SCANCODE_RCTRL, k_key_rcontrol},
    {SDL_SCANCODE_AUDIOMUTE, k_key_mute}, {SDL_SCANCODE_CALCULATOR, k_key_calculator},
    {SDL_SCANCODE_AUDIOPLAY, k_key_playpause}, {SDL_SCANCODE_AUDIOSTOP, k_key_mediastop},
    {SDL_SCANCODE_VOLUMEDOWN, k_key_volumedown}, {SDL_SCANCODE_VOLUMEUP, k_key_volumeup},
    {SDL_SCANCODE_AC_HOME, k_key_webhome}, {SDL_SCANCODE_KP_COMMA, k_key_numpadcomma},
    {SDL_SCANCODE_KP_DIVIDE, k_key_divide}, {SDL_SCANCODE_PRINTSCREEN, k_key_sysrq},
    {SDL_SCANCODE_RALT, k_key_rmenu}, {SDL_SCANCODE_PAUSE, k_key_pause},
    {SDL_SCANCODE_HOME, k_key_home}, {SDL_SCANCODE_UP, k_key_up},
    {SDL_SCANCODE_PAGEUP, k_key_prior}, {SDL_SCANCODE_LEFT, k_key_left},
    {SDL_SCANCODE_RIGHT, k_key_right}, {SDL_SCANCODE_END, k_key_end},
    {SDL_SCANCODE_DOWN, k_key_down}, {SDL_SCANCODE_PAGEDOWN, k_key_next},
    {SDL_SCANCODE_INSERT, k_key_insert}, {SDL_SCANCODE_DELETE, k_key_delete},
    {SDL_SCANCODE_LGUI, k_key_lwin}, {SDL_SCANCODE_RGUI, k_key_rwin},
    {SDL_SCANCODE_APPLICATION, k_key_apps}, {SDL_SCANCODE_POWER, k_key_power},
    {SDL_SCANCODE_SLEEP, k_key_sleep}, {SDL_SCANCODE_AC_SEARCH, k_key_websearch},
    {SDL_SCANCODE_AC_REFRESH, k_key_webrefresh}, {SDL_SCANCODE_AC_STOP, k_key_webstop},
    {SDL_SCANCODE_AC_FORWARD, k_key_webforward}, {SDL_SCANCODE_AC_BACK, k_key_webback},
    {SDL_SCANCODE_COMPUTER, k_key_mycomputer}, {SDL_SCANCODE_MAIL, k_key_mail},
    {SDL_SCANCODE_MEDIASELECT, k_key_mediaselect},
};

// Built once: the key code of every scancode.
const std::array<uint8_t, SDL_NUM_SCANCODES>& scancode_table()
{
    static const std::array<uint8_t, SDL_NUM_SCANCODES> table = [] {
        std::array<uint8_t, SDL_NUM_SCANCODES> t{};
        for (const scancode_key& key : k_scancode_keys)
            t[key.scancode] = key.code;
        return t;
    }();
    return table;
}

} // namespace

uint8_t key_code_for_scancode(int scancode)
{
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return 0;
    return scancode_table()[size_t(scancode)];
}
