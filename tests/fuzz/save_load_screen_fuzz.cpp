// Frames of the save/load page over a save list built from the input, on the recording device.
// The input starts with the list's stored count, the scroll and the chosen save as raw 16-bit
// values (any of them out of range), two masks giving the first eight names a "game.ss" and a
// "shot.bmp" in their folders (other names have neither), the number of names (at most 199) and
// the names, each a length byte and that many bytes (255 fills the field with no terminator):
// long names, "/", "\", "..", bytes above 0x7F. A folder "outside" beside "save" holds both files.
// Every later group of three bytes is one frame: bit 0 the left button, bits 1 and 2 the wheel up
// and down, bit 3 the hotkey pass's Delete on the chosen save; then the cursor's x and y. After
// every frame the choice lies within the list or is none, the scroll within the list, and every
// picture loaded is the shot.bmp of a valid save name inside "save/"; a broken rule is logged and
// aborts.
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/save_load_screen.h"
#include "level/save_games.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/script/fixed_advance_font.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr int k_frame_bytes = 3;
constexpr size_t k_max_frames = 1000;
constexpr int k_visible_rows = 22;

void write_save_files(const char* folder, bool game, bool shot)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return;
    const std::string base(folder);
    static const uint32_t texels[4] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    if (game)
        write_fuzz_file((base + "/game.ss").c_str(), reinterpret_cast<const uint8_t*>("x"), 1);
    if (shot)
        write_image_file((base + "/shot.bmp").c_str(), texels, 2, 2);
}

// The names and their files; the stored count is set as given.
void build_list(fuzz_byte_reader& in, int16_t count)
{
    const uint8_t game_mask = in.u8(), shot_mask = in.u8();
    const int names = std::min<int>(in.u8(), k_save_slots);
    std::memset(&g_save_list, 0, sizeof g_save_list);
    for (int i = 0; i < names; ++i) {
        char* name = g_save_list.names[i];
        const int length = in.u8();
        for (int k = 0; k < std::min(length, k_save_name_size); ++k)
            name[k] = char(in.u8());
        if (length >= k_save_name_size || i >= 8)
            continue;
        if (is_valid_save_name(name))
            write_save_files(("save/" + std::string(name)).c_str(), game_mask >> i & 1, shot_mask >> i & 1);
    }
    g_save_list.count = count;
}

// A loaded picture: "save/<valid save name>/shot.bmp".
bool inside_save_folder(const char* texture)
{
    constexpr char prefix[] = "save/", suffix[] = "/shot.bmp";
    const size_t length = std::strlen(texture), p = sizeof prefix - 1, s = sizeof suffix - 1;
    if (length <= p + s || std::strncmp(texture, prefix, p) != 0 || std::strcmp(texture + length - s, suffix) != 0)
        return false;
    const std::string name(texture + p, length - p - s);
    return is_valid_save_name(name.c_str());
}

void fail(const char* what, size_t frame)
{
    console_log("save/load page fuzz: frame %d: %s", int(frame), what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font large(9);
    in_fuzz_folder here;
    std::error_code ec;
    std::filesystem::create_directories("global", ec);
    std::filesystem::remove_all("save", ec);
    std::filesystem::remove_all("outside", ec);
    write_save_files("outside", true, true);
    g_d3d_device = &device;
    g_screen_width = 1024;
    g_screen_height = 768;
    clear_texture_table();
    static const uint32_t grey[4] = {0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF808080u};
    write_image_file("piece.tga", grey, 2, 2);  // one picture for every image of the page
    const uint16_t piece = uint16_t(get_texture("piece.tga", 0, 0, 0, 0, 1, 0));
    game_interface& gi = g_interface;
    std::fill(std::begin(gi.save_load_frame), std::end(gi.save_load_frame), piece);
    std::fill(std::begin(gi.save_load_buttons), std::end(gi.save_load_buttons), piece);
    std::fill(std::begin(gi.list_widgets), std::end(gi.list_widgets), piece);
    gi.text_background = piece;
    const int32_t own_slots = g_texture_count;

    fuzz_byte_reader in{data, size};
    const int16_t count = in.i16();
    g_save_list_scroll = in.i16();
    gi.selected_save = in.i16();
    gi.save_preview = -1;
    gi.overlay_click_latch = 0;
    build_list(in, count);
    const int shown = std::clamp<int>(count, 0, k_save_slots);

    size_t frame = 0;
    for (; in.at + k_frame_bytes <= size && frame < k_max_frames; in.at += k_frame_bytes, ++frame) {
        const uint8_t* f = data + in.at;
        g_mouse_left = f[0] & 1;
        g_wheel_up = f[0] >> 1 & 1;
        g_wheel_down = f[0] >> 2 & 1;
        g_mouse_screen_x = float(f[1]) * 4.0f;
        g_mouse_screen_y = float(f[2]) * 3.0f;
        run_save_load_screen(2);
        device.clear_recording();
        const int listed = std::clamp<int>(g_save_list.count, 0, k_save_slots);
        if (listed > shown)
            fail("the list grew", frame);
        if (gi.selected_save < -1 || gi.selected_save >= listed)
            fail("the choice lies outside the list", frame);
        if (g_save_list_scroll < 0 || g_save_list_scroll > std::max(listed - k_visible_rows, 0))
            fail("the scroll lies outside the list", frame);
        for (int32_t k = own_slots; k < g_texture_count; ++k)
            if (g_textures[k].name[0] && !inside_save_folder(g_textures[k].name))
                fail("a picture was read from outside the save folder", frame);
        if (f[0] >> 3 & 1 && gi.selected_save != -1 && g_save_list.count <= k_save_slots) {
            save_list_remove(&g_save_list, gi.selected_save);
            gi.selected_save = -1;
        }
    }
    console_log("save/load page fuzz: %d frames", int(frame));

    g_mouse_left = g_wheel_up = g_wheel_down = 0;
    g_save_list.count = 0;
    g_save_list_scroll = 0;
    gi.selected_save = gi.save_preview = -1;
    gi.overlay_click_latch = 0;
    clear_texture_table();
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
