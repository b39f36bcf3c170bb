// The editor's tour: starts the program in editor mode in the working folder (a data folder such
// as the demo's), loads a level, opens every page and editor window the way a designer does and
// writes what the screen shows of each as a PNG file into the folder given.
//
//     editor_tour OUT_FOLDER [LEVEL]      (LEVEL: a level of data/levels/, brana.sav at first)
//
// Run it with SDL_VIDEODRIVER=offscreen to take the pictures without a screen.
#include "core/editor_globals.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/controls/message_box.h"
#include "editor/dialogs/char_editor.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "engine/render_context.h"
#include "level/level_map.h"
#include "platform/render_device.h"
#include "shell/program.h"

#include <stb_image_write.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::filesystem::path g_out;
int g_shots = 0;
int g_failures = 0;

// A name for a file: lower-case letters and digits, the rest as "-".
std::string file_word(const std::string& text)
{
    std::string out;
    for (unsigned char ch : text)
        out += std::isalnum(ch) ? char(std::tolower(ch)) : '-';
    while (!out.empty() && out.back() == '-')
        out.pop_back();
    return out;
}

// The frame on the device as "NN-name.png".
void shoot(const std::string& name)
{
    std::vector<uint32_t> argb;
    if (!g_d3d_device || !g_d3d_device->read_frame(argb)) {
        std::fprintf(stderr, "editor_tour: %s: the frame cannot be read\n", name.c_str());
        ++g_failures;
        return;
    }
    const int width = int(g_d3d_device->width()), height = int(g_d3d_device->height());
    std::vector<uint8_t> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgba[i * 4 + 0] = uint8_t(argb[i] >> 16);
        rgba[i * 4 + 1] = uint8_t(argb[i] >> 8);
        rgba[i * 4 + 2] = uint8_t(argb[i]);
        rgba[i * 4 + 3] = 255;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%02d-", ++g_shots);
    const std::filesystem::path file = g_out / (number + file_word(name) + ".png");
    if (!stbi_write_png(file.string().c_str(), width, height, 4, rgba.data(), width * 4)) {
        std::fprintf(stderr, "editor_tour: %s cannot be written\n", file.string().c_str());
        ++g_failures;
        return;
    }
    std::printf("%s\n", file.string().c_str());
}

// Frames of the main loop; the dialogs settle in a few.
bool frames(int count)
{
    for (int i = 0; i < count; ++i)
        if (!program_frame())
            return false;
    return true;
}

// Opens a modal dialog with `open`; it is drawn for a few passes of its loop, shot and cancelled.
void shoot_modal(const std::string& name, void (*open)(dialog_handle), dialog_handle page)
{
    set_modal_responder([name](dialog_handle modal) {
        for (int i = 0; i < 4; ++i)
            g_dialog_loop_links.modal_pass();
        shoot(name);
        user_press_escape(modal);
        return false;
    });
    open(page);
    set_modal_responder({});
}

void shoot_window(const std::string& name, dialog_handle* window)
{
    frames(4);
    shoot(name);
    if (*window)
        destroy_dialog(*window);
    frames(1);
}

void tour(const char* level)
{
    load_level_map(level);
    frames(6);
    for (int tab = 0; tab < k_mode_tab_count; ++tab) {
        const editor_window_entry& page = g_mode_tab_pages[tab];
        user_choose(g_tabs_window, k_mode_tabs_control, tab);
        frames(4);
        shoot(std::string("tab ") + page.caption);
        const dialog_handle shown = *page.window;
        switch (tab) {
        case 1:
            user_click(shown, k_proto_particles);
            shoot_window("prtyp particles", &g_particle_editor_window);
            break;
        case 3:
            user_choose(shown, k_mpe_list, 0);
            user_click(shown, k_mpe_edit);
            shoot_window("moveg body part", &g_body_part_editor_window);
            break;
        case 4:
            user_choose(shown, k_che_chars, 0);
            shoot_modal("chmain add item", [](dialog_handle d) { user_click(d, k_che_add); }, shown);
            break;
        case 10:
            shoot_modal("cont new", [](dialog_handle d) { user_pick_menu(d, k_cont_menu_new); }, shown);
            user_choose(shown, k_cont_list, 0);
            shoot_modal("cont insert", [](dialog_handle d) { user_click(d, k_cont_insert); }, shown);
            break;
        default:
            break;
        }
    }
    for (int editor = 0; editor < k_free_editor_count; ++editor) {
        run_menu_command(k_menu_event + editor);
        shoot_window(std::string("menu ") + g_free_editors[editor].caption, g_free_editors[editor].window);
    }
    run_menu_command(k_menu_readme);
    shoot_window("help readme", &g_help_viewer_window);
    shoot_modal("file load map", [](dialog_handle) { run_menu_command(k_menu_load_map); }, 0);
    shoot_modal("message box", [](dialog_handle) {
        message_box(0, "The name already exists", "ERROR", message_box_kind::ok);
    }, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: editor_tour OUT_FOLDER [LEVEL]   (in a data folder)\n");
        return 2;
    }
    std::error_code error;
    g_out = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(g_out, error);
    if (error) {
        std::fprintf(stderr, "editor_tour: %s: %s\n", g_out.string().c_str(), error.message().c_str());
        return 1;
    }
    const bool started = program_startup("editor");
    if (started)
        tour(argc > 2 ? argv[2] : "brana.sav");
    program_shutdown(started);
    if (!started || g_shots == 0)
        return 1;
    return g_failures == 0 ? 0 : 1;
}
