#include "interface/save_load_screen.h"

#include "core/file_times.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/utilities.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/quads.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/list_widgets.h"
#include "interface/overlay_page.h"
#include "level/save_games.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

int16_t g_save_list_scroll = 0;
char g_save_load_notice[160] = {};

namespace {

constexpr int32_t k_page_height = 448;
constexpr int k_visible_rows = 22;
constexpr int k_row_height = 16;
constexpr int32_t k_name_room = 280;
constexpr int k_quick_text = 155;
constexpr uint32_t k_grey = 0xC8C8C8;     // red, green and blue 200 (0x00BBGGRR)
constexpr uint32_t k_white = 0xFFFFFF;
constexpr uint32_t k_chosen = 0x6464C8;   // red 200, green and blue 100
constexpr uint32_t k_refused = 0x5050F0;  // red 240, green and blue 80
constexpr float k_notice_width = 330.0f;  // the preview's width
constexpr char k_preview_prefix[] = "save/";
constexpr char k_preview_suffix[] = "/shot.bmp";

// Entry i's name, terminated whatever the list holds.
struct shown_name {
    char text[k_save_name_size + 4];  // room for the cut's "..."
};

shown_name name_of(int i)
{
    shown_name out{};
    std::memcpy(out.text, g_save_list.names[i], k_save_name_size);
    out.text[k_save_name_size] = '\0';
    return out;
}

// "save/<name>/<file>" for a valid save name, else false: no other name reaches a file.
template <size_t size>
bool save_file_path(const char* name, const char* file, char (&path)[size])
{
    if (!is_valid_save_name(name))
        return false;
    const int n = std::snprintf(path, size, "%s%s/%s", k_preview_prefix, name, file);
    return n > 0 && size_t(n) < size;
}

// The slot still holds a save's screenshot (an older table may have been replaced since).
bool holds_preview(int32_t slot)
{
    if (slot < 0 || slot >= g_texture_count)
        return false;
    const char* name = g_textures[slot].name;
    const size_t length = std::strlen(name), tail = sizeof k_preview_suffix - 1;
    return std::strncmp(name, k_preview_prefix, sizeof k_preview_prefix - 1) == 0 && length > tail &&
           std::strcmp(name + length - tail, k_preview_suffix) == 0;
}

// The name of the save chosen last: the choice follows it when the list is read and sorted again.
char g_chosen_name[k_save_name_size] = {};

// The choice names the save chosen last, wherever the list now holds it; none when it is gone.
void follow_chosen_save(int count)
{
    game_interface& gi = g_interface;
    if (gi.selected_save < 0) {
        gi.selected_save = -1;
        return;
    }
    const auto chosen = [](int i) { return std::strncmp(g_save_list.names[i], g_chosen_name, k_save_name_size) == 0; };
    if (gi.selected_save < count && chosen(gi.selected_save))
        return;
    gi.selected_save = -1;
    for (int i = 0; i < count; ++i)
        if (chosen(i))
            gi.selected_save = int16_t(i);
}

// The save in row n becomes the choice and its screenshot the preview, in the old preview's slot.
void choose_save(int n, const char* name)
{
    game_interface& gi = g_interface;
    gi.selected_save = int16_t(n);
    g_save_load_notice[0] = '\0';
    copy_bounded(g_chosen_name, sizeof g_chosen_name, name);
    char path[k_texture_name_size];  // a longer path has no texture: no screenshot
    const bool own_slot = holds_preview(gi.save_preview);
    if (!save_file_path(name, "shot.bmp", path)) {
        if (own_slot)
            free_texture(gi.save_preview);
        gi.save_preview = -1;
        return;
    }
    if (own_slot)
        create_texture_from_file(gi.save_preview, path, 0, 0, 1, 0, 0);
    else
        gi.save_preview = int16_t(get_texture(path, 0, 0, 0, 0, 1, 0));
}

void draw_preview(const overlay_origin& o)
{
    const game_interface& gi = g_interface;
    if (gi.selected_save == -1 || !holds_preview(gi.save_preview))
        return;
    const float left = o.x + 400.0f, top = o.y + 32.0f, right = o.x + 730.0f, bottom = o.y + 280.0f;
    draw_quad_screen(gi.save_preview, left, bottom, left, top, right, top, right, bottom, 1.0f, 0.0f, 0.0f, 0, 0.0f, 1,
                     0, 1.0f, 1.0f, 1.0f);
}

void scroll(int step, int count)
{
    if (step < 0 && g_save_list_scroll > 0)
        --g_save_list_scroll;
    if (step > 0 && g_save_list_scroll + k_visible_rows < count)
        ++g_save_list_scroll;
}

void draw_date(float tx, float ty)
{
    const int16_t chosen = g_interface.selected_save;
    if (chosen == -1)
        return;
    char path[k_save_name_size + 16], text[64];
    int64_t seconds = 0;
    filetime time{};
    if (save_file_path(name_of(chosen).text, "game.ss", path) && file_modified_time(path, &seconds) &&
        time_to_filetime(seconds, &time) && local_date_text(time, text, sizeof text))
        font_text_out(&g_font_large, int32_t(tx + 370.0f), int32_t(ty + 245.0f), text, k_grey);
}

// The notice under the date, a word at a time into lines no wider than the preview.
void draw_notice(float tx, float ty)
{
    std::string line;
    float y = ty + 275.0f;
    const auto flush = [&] {
        font_text_out(&g_font_large, int32_t(tx + 370.0f), int32_t(y), line.c_str(), k_refused);
        y += float(k_row_height + 2);
        line.clear();
    };
    for (const char* word = g_save_load_notice; *word;) {
        word += std::strspn(word, " ");
        const size_t length = std::strcspn(word, " ");
        if (!length)
            break;
        const std::string longer = (line.empty() ? "" : line + " ") + std::string(word, length);
        if (!line.empty() && float(font_text_width(&g_font_large, longer.c_str())) > k_notice_width) {
            flush();
            line.assign(word, length);
        } else {
            line = longer;
        }
        word += length;
    }
    if (!line.empty())
        flush();
}

void draw_rows(float tx, float ty, int count)
{
    game_interface& gi = g_interface;
    const int rows = std::min(count - g_save_list_scroll, k_visible_rows);
    for (int i = 0; i < rows; ++i) {
        const int n = g_save_list_scroll + i;
        const float y = ty + float(k_row_height * i);
        shown_name name = name_of(n);
        const float mx = g_mouse_screen_x, my = g_mouse_screen_y;
        const bool over = mx > tx && mx < tx + 340.0f && my > y - 2.0f && my < y + 14.0f;
        if (over && g_mouse_left)
            choose_save(n, name.text);
        char number[16];
        std::snprintf(number, sizeof number, "%.2d.", n + 1);
        font_text_out(&g_font_large, int32_t(tx), int32_t(y), number, k_grey);
        const char* shown = name.text;
        if (strcasecmp(name.text, "quick") == 0)
            shown = ui_text(k_quick_text);
        else
            cut_to_width(&g_font_large, name.text, sizeof name.text, k_name_room);
        const uint32_t colour = n == gi.selected_save ? k_chosen : over ? k_white : k_grey;
        font_text_out(&g_font_large, int32_t(tx + 30.0f), int32_t(y), shown, colour);
    }
}

} // namespace

void run_save_load_screen(int32_t)
{
    game_interface& gi = g_interface;
    const int count = std::clamp<int>(g_save_list.count, 0, k_save_slots);
    follow_chosen_save(count);
    g_save_list_scroll = int16_t(std::clamp<int>(g_save_list_scroll, 0, std::max(count - k_visible_rows, 0)));

    clear_overlay_message();
    full_light_guard light;
    const overlay_origin o = overlay_page_origin(k_page_height);
    draw_overlay_page(o, k_page_height);
    draw_overlay_divider(o, 384.0f, k_page_height);
    draw_preview(o);
    draw_overlay_button(o, k_button_load, 470.0f, 410.0f, 406.0f, 394.0f, 502.0f, 418.0f);
    draw_overlay_button(o, k_button_delete, 580.0f, 410.0f, 516.0f, 394.0f, 612.0f, 418.0f);
    draw_overlay_button(o, k_button_cancel, 690.0f, 410.0f, 626.0f, 394.0f, 722.0f, 418.0f);
    if (count > k_visible_rows)
        scroll(list_scroll_bar(o.x + 375.0f, o.y + 60.0f, 336.0f, 20, gi.overlay_click_latch), count);
    if (g_wheel_up)
        scroll(-1, count);
    if (g_wheel_down)
        scroll(1, count);

    const float tx = o.x + 30.0f, ty = o.y + 50.0f;
    font_begin(&g_font_large);
    draw_date(tx, ty);
    draw_notice(tx, ty);
    draw_rows(tx, ty, count);
    font_end(&g_font_large);
}
