#include "editor/gui/dialog_screen.h"

#include "core/globals.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/gui/dialog_layout.h"
#include "editor/gui/imgui_backend.h"
#include "engine/render_context.h"
#include "platform/clock.h"
#include "platform/text_encoding.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// What the drawing remembers of a control between frames.
struct control_view {
    bool combo_open = false;
    int32_t last_selection = -1;
};

struct drawn_rect {
    dialog_handle dialog;
    int32_t id;
    device_rect rect;
};

// The view as a modal dialog found it, drawn under the dialogs while one is open.
struct view_picture {
    device_texture* texture = nullptr;
    uint64_t device = 0; // the serial of the device that holds it
    device_rect place = {};
};

struct screen_state {
    std::vector<std::function<void()>> acts; // the user's acts of the frame, in order
    std::map<std::pair<dialog_handle, int32_t>, control_view> views; // by dialog and control index
    std::map<dialog_handle, int32_t> slots; // ImGui window names, reused once a dialog is gone
    std::map<dialog_handle, std::pair<int32_t, int32_t>> placed; // the position last given to ImGui
    std::vector<drawn_rect> rects;
    bool multi_line_active = false;
    view_picture picture;
};

screen_state g_screen;

void release_view_picture()
{
    view_picture& p = g_screen.picture;
    if (p.texture && g_d3d_device && g_d3d_device->serial() == p.device)
        g_d3d_device->release_texture(p.texture);
    p = {};
}

ImVec2 at_of(const pixel_box& box)
{
    return ImVec2(box.x, box.y);
}

ImVec2 size_of(const pixel_box& box)
{
    return ImVec2(box.width, box.height);
}

std::string shown(const std::string& text)
{
    return utf8_from_cp1252(text);
}

// A multi-line edit keeps "\r\n" line ends; ImGui edits with "\n".
std::string edit_text_shown(const control_record& c)
{
    std::string out = utf8_from_cp1252(c.text);
    if (c.multi_line())
        std::erase(out, '\r');
    return out;
}

std::string edit_text_kept(const control_record& c, const std::string& utf8)
{
    std::string text = cp1252_from_utf8(utf8);
    if (!c.multi_line())
        return text;
    std::string out;
    for (char ch : text) {
        if (ch == '\n')
            out += '\r';
        out += ch;
    }
    return out;
}

void act(std::function<void()> f)
{
    g_screen.acts.push_back(std::move(f));
}

int32_t slot_of(dialog_handle dialog)
{
    auto it = g_screen.slots.find(dialog);
    if (it != g_screen.slots.end())
        return it->second;
    int32_t slot = 0;
    while (std::any_of(g_screen.slots.begin(), g_screen.slots.end(),
                       [slot](const auto& entry) { return entry.second == slot; }))
        ++slot;
    g_screen.slots[dialog] = slot;
    return slot;
}

// Forgets the slots and views of dialogs that are gone.
void forget_gone(const std::vector<dialog_handle>& live)
{
    auto gone = [&](dialog_handle h) { return !std::binary_search(live.begin(), live.end(), h); };
    std::erase_if(g_screen.slots, [&](const auto& entry) { return gone(entry.first); });
    std::erase_if(g_screen.placed, [&](const auto& entry) { return gone(entry.first); });
    std::erase_if(g_screen.views, [&](const auto& entry) { return gone(entry.first.first); });
}

// Draws a menu bar's menus; Esc closes an open menu with the menus it opened from, and is then
// the menu's alone (true).
bool draw_menu(dialog_handle dialog, const std::vector<menu_entry>& entries)
{
    bool escape_taken = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        const menu_entry& e = entries[i];
        ImGui::PushID(int(i));
        if (!e.items.empty()) {
            if (ImGui::BeginMenu(shown(e.text).c_str())) {
                escape_taken |= draw_menu(dialog, e.items);
                if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false)) {
                    ImGui::CloseCurrentPopup();
                    escape_taken = true;
                }
                ImGui::EndMenu();
            }
        } else if (ImGui::MenuItem(shown(e.text).c_str())) {
            const int32_t id = e.id;
            act([dialog, id] { user_pick_menu(dialog, id); });
        }
        ImGui::PopID();
    }
    return escape_taken;
}

void draw_rows_list(dialog_handle dialog, const control_record& c, control_view& view, ImVec2 size)
{
    const int32_t id = c.source.id;
    if (!ImGui::BeginListBox("##list", size))
        return;
    const float line = ImGui::GetTextLineHeightWithSpacing();
    if (c.selection >= 0 && c.selection != view.last_selection) { // scrolled into view
        const float y = float(c.selection) * line;
        if (y < ImGui::GetScrollY() || y + line > ImGui::GetScrollY() + size.y)
            ImGui::SetScrollY(y);
    }
    view.last_selection = c.selection;
    ImGuiListClipper clipper;
    clipper.Begin(int(c.rows.size()), line);
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            ImGui::PushID(row);
            if (ImGui::Selectable(shown(c.rows[size_t(row)]).c_str(), c.selection == row))
                act([dialog, id, row] { user_choose(dialog, id, row); });
            if (ImGui::IsItemHovered() && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left))
                act([dialog, id, row] { user_double_click(dialog, id, row); });
            ImGui::PopID();
        }
    ImGui::EndListBox();
}

void draw_combo_rows(dialog_handle dialog, const control_record& c)
{
    const int32_t id = c.source.id;
    ImGuiListClipper clipper;  // long drop-downs (thousands of rows) draw only the visible ones
    clipper.Begin(int(c.rows.size()));
    if (c.selection >= 0)
        clipper.ForceDisplayRangeByIndices(c.selection, c.selection + 1);
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            ImGui::PushID(row);
            const bool selected = c.selection == row;
            if (ImGui::Selectable(shown(c.rows[size_t(row)]).c_str(), selected))
                act([dialog, id, row] { user_choose(dialog, id, row); });
            if (selected && ImGui::IsWindowAppearing())
                ImGui::SetScrollHereY();
            ImGui::PopID();
        }
}

void draw_combo(dialog_handle dialog, const control_record& c, control_view& view, float width)
{
    const int32_t id = c.source.id;
    bool open;
    if (c.source.style & k_style_editable) {
        std::string text = shown(c.text);
        ImGui::SetNextItemWidth(std::max(1.0f, width - ImGui::GetFrameHeight()));
        if (ImGui::InputText("##text", &text)) {
            std::string kept = cp1252_from_utf8(text);
            act([dialog, id, kept] { user_edit_text(dialog, id, kept); });
        }
        if (ImGui::IsItemActivated())
            act([dialog, id] { user_focus(dialog, id); });
        ImGui::SameLine(0, 0);
        open = ImGui::BeginCombo("##rows", nullptr, ImGuiComboFlags_NoPreview);
    } else {
        ImGui::SetNextItemWidth(width);
        open = ImGui::BeginCombo("##rows", shown(c.text).c_str());
    }
    if (open) {
        draw_combo_rows(dialog, c);
        ImGui::EndCombo();
    }
    if (open != view.combo_open)
        act([dialog, id, open] { user_open_combo(dialog, id, open); });
    view.combo_open = open;
}

// The tabs in rows, each a button that shows whether it is the chosen one.
void draw_tabs(dialog_handle dialog, const control_record& c, ImVec2 size)
{
    const int32_t id = c.source.id;
    const ImVec2 origin = ImGui::GetCursorPos();
    const std::vector<pixel_box> places = tab_places(c, {origin.x, origin.y, size.x, size.y});
    for (size_t tab = 0; tab < places.size(); ++tab) {
        const bool chosen = c.selection == int32_t(tab);
        ImGui::PushID(int(tab));
        ImGui::PushStyleColor(ImGuiCol_Button, ImGui::GetColorU32(chosen ? ImGuiCol_TabActive : ImGuiCol_Tab));
        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImGui::GetColorU32(ImGuiCol_TabHovered));
        ImGui::PushStyleColor(ImGuiCol_ButtonActive, ImGui::GetColorU32(ImGuiCol_TabActive));
        const pixel_box& place = places[tab];
        ImGui::SetCursorPos(at_of(place));
        if (ImGui::Button(shown(c.rows[tab]).c_str(), ImVec2(place.width - k_tab_gap, place.height - k_tab_gap)) &&
            !chosen) {
            const int32_t chosen_tab = int32_t(tab);
            act([dialog, id, chosen_tab] { user_choose(dialog, id, chosen_tab); });
        }
        ImGui::PopStyleColor(3);
        ImGui::PopID();
    }
}

void draw_list_view(dialog_handle dialog, const control_record& c, ImVec2 size)
{
    const int32_t id = c.source.id;
    const int columns = std::max(1, int(c.source.items.size()));
    // Columns share the width in proportion to what they hold.
    const ImGuiTableFlags flags = ImGuiTableFlags_Borders | ImGuiTableFlags_RowBg | ImGuiTableFlags_ScrollY |
                                  ImGuiTableFlags_Resizable | ImGuiTableFlags_SizingStretchProp;
    if (!ImGui::BeginTable("##view", columns, flags, size))
        return;
    ImGui::TableSetupScrollFreeze(0, 1);
    for (int col = 0; col < columns; ++col)
        ImGui::TableSetupColumn(col < int(c.source.items.size()) ? shown(c.source.items[size_t(col)]).c_str() : "");
    ImGui::TableHeadersRow();
    ImGuiListClipper clipper;
    clipper.Begin(int(c.view_rows.size()));
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            const list_view_row& r = c.view_rows[size_t(row)];
            ImGui::TableNextRow();
            ImGui::PushID(row);
            for (int col = 0; col < columns && col < int(r.cells.size()); ++col) {
                ImGui::TableSetColumnIndex(col);
                if (col > 0) {
                    ImGui::TextUnformatted(shown(r.cells[size_t(col)]).c_str());
                    continue;
                }
                if (ImGui::Selectable(shown(r.cells[0]).c_str(), r.selected, ImGuiSelectableFlags_SpanAllColumns)) {
                    if (ImGui::GetIO().KeyCtrl)
                        act([dialog, id, row] { user_toggle_row(dialog, id, row); });
                    else
                        act([dialog, id, row] { user_choose(dialog, id, row); });
                }
                if (ImGui::IsItemHovered() && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left))
                    act([dialog, id, row] { user_double_click(dialog, id, row); });
            }
            ImGui::PopID();
        }
    ImGui::EndTable();
}

void draw_edit(dialog_handle dialog, const control_record& c, ImVec2 size)
{
    const int32_t id = c.source.id;
    std::string text = edit_text_shown(c);
    const ImGuiInputTextFlags flags = c.source.style & k_style_read_only ? ImGuiInputTextFlags_ReadOnly : 0;
    bool edited;
    if (c.multi_line()) {
        edited = ImGui::InputTextMultiline("##edit", &text, size, flags);
        g_screen.multi_line_active |= ImGui::IsItemActive();
    } else {
        ImGui::SetNextItemWidth(size.x);
        edited = ImGui::InputText("##edit", &text, flags);
    }
    if (ImGui::IsItemActivated())
        act([dialog, id] { user_focus(dialog, id); });
    if (edited) {
        std::string kept = edit_text_kept(c, text);
        act([dialog, id, kept] { user_edit_text(dialog, id, kept); });
    }
}

void draw_group_box(const control_record& c, ImVec2 size, float label_width)
{
    const ImVec2 at = ImGui::GetCursorScreenPos();
    const float half_line = ImGui::GetTextLineHeight() / 2;
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRect(ImVec2(at.x, at.y + half_line), ImVec2(at.x + size.x, at.y + size.y),
                  ImGui::GetColorU32(ImGuiCol_Border));
    if (c.text.empty())
        return;
    const std::string label = shown(c.text);
    const ImVec2 text_size = ImGui::CalcTextSize(label.c_str());
    const ImVec2 label_at(at.x + k_group_caption_inset, at.y);
    const float width = std::min(text_size.x, label_width);
    draw->AddRectFilled(ImVec2(label_at.x - 2, label_at.y), ImVec2(label_at.x + width + 2, label_at.y + text_size.y),
                        ImGui::GetColorU32(ImGuiCol_WindowBg));
    draw->PushClipRect(label_at, ImVec2(label_at.x + width, label_at.y + text_size.y), true);
    draw->AddText(label_at, ImGui::GetColorU32(ImGuiCol_Text), label.c_str());
    draw->PopClipRect();
}

// A check box or radio button with its label kept to its room.
template <typename Draw>
bool draw_marked(const pixel_box& box, float label_width, Draw draw)
{
    const ImVec2 at = ImGui::GetCursorScreenPos();
    const float square = ImGui::GetFrameHeight();
    ImGui::PushClipRect(at, ImVec2(at.x + square + ImGui::GetStyle().ItemInnerSpacing.x + label_width, at.y + box.height),
                        true);
    const bool clicked = draw();
    ImGui::PopClipRect();
    return clicked;
}

void draw_static_text(const std::string& label, const pixel_box& box, label_room room)
{
    const ImVec2 at = ImGui::GetCursorScreenPos();
    ImGui::PushClipRect(at, ImVec2(at.x + room.width, at.y + box.height), true);
    if (room.lines > 1) {
        ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + room.width);
        ImGui::TextUnformatted(label.c_str());
        ImGui::PopTextWrapPos();
    } else {
        ImGui::TextUnformatted(label.c_str());
    }
    ImGui::PopClipRect();
}

void draw_control(dialog_handle dialog, const control_record& c, control_view& view, const pixel_box& box,
                  label_room room)
{
    const int32_t id = c.source.id;
    const ImVec2 size = size_of(box);
    const std::string label = shown(c.text);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(ImGui::GetStyle().FramePadding.x, frame_padding_y(box.height)));
    switch (c.source.kind) {
    case control_kind::button:
        if (ImGui::Button(label.c_str(), size))
            act([dialog, id] { user_click(dialog, id); });
        break;
    case control_kind::check: {
        bool checked = c.check != 0;
        if (draw_marked(box, room.width, [&] { return ImGui::Checkbox(label.c_str(), &checked); }))
            act([dialog, id] { user_click(dialog, id); });
        break;
    }
    case control_kind::radio:
        if (draw_marked(box, room.width, [&] { return ImGui::RadioButton(label.c_str(), c.check != 0); }))
            act([dialog, id] { user_click(dialog, id); });
        break;
    case control_kind::edit:
        draw_edit(dialog, c, size);
        break;
    case control_kind::static_text:
        draw_static_text(label, box, room);
        break;
    case control_kind::group_box:
        draw_group_box(c, size, room.width);
        ImGui::Dummy(size);
        break;
    case control_kind::list_box:
        draw_rows_list(dialog, c, view, size);
        break;
    case control_kind::combo:
        draw_combo(dialog, c, view, size.x);
        break;
    case control_kind::slider: {
        int position = c.position;
        ImGui::SetNextItemWidth(size.x);
        if (ImGui::SliderInt("##slider", &position, std::min(c.range_min, c.range_max),
                             std::max(c.range_min, c.range_max)))
            act([dialog, id, position] { user_slide(dialog, id, position); });
        break;
    }
    case control_kind::tabs:
        draw_tabs(dialog, c, size);
        break;
    case control_kind::list_view:
        draw_list_view(dialog, c, size);
        break;
    }
    ImGui::PopStyleVar();
}

void keep_rect(dialog_handle dialog, int32_t id, ImVec2 at, ImVec2 size)
{
    g_screen.rects.push_back({dialog, id, {int32_t(at.x), int32_t(at.y), int32_t(size.x), int32_t(size.y)}});
}

void draw_dialog(const dialog_record& d, dialog_handle modal)
{
    const dialog_handle dialog = d.handle;
    const pixel_box window = window_pixels(d);
    // A position set by the model reaches ImGui, moved where needed to keep the window on the
    // display; one the user dragged to, or the display moved it to, comes back as a move.
    auto placed = g_screen.placed.find(dialog);
    if (placed == g_screen.placed.end() || placed->second != std::pair(d.x, d.y)) {
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        const float x = std::clamp(float(d.x), 0.0f, std::max(0.0f, display.x - window.width));
        const float y = std::clamp(float(d.y), 0.0f, std::max(0.0f, display.y - window.height));
        ImGui::SetNextWindowPos(ImVec2(x, y), ImGuiCond_Always);
        g_screen.placed[dialog] = {d.x, d.y};
    }
    ImGui::SetNextWindowSize(size_of(window), ImGuiCond_Always);
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                             ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar |
                             ImGuiWindowFlags_NoScrollWithMouse;
    // While a modal dialog is open it alone takes the mouse and keeps the keyboard.
    if (modal && dialog != modal)
        flags |= ImGuiWindowFlags_NoInputs;
    if (!d.menu.empty())
        flags |= ImGuiWindowFlags_MenuBar;
    if (!d.title_bar)
        flags |= ImGuiWindowFlags_NoTitleBar;
    // ImGui keeps a window after its dialog is gone, and a new dialog takes over its name with its
    // place among the windows and the scroll of its lists: a new dialog is raised, and its lists
    // start at the top, as in a window new to ImGui.
    const bool new_here = !g_screen.slots.contains(dialog);
    if (new_here)
        ImGui::SetNextWindowFocus();
    const std::string name = shown(d.caption) + "###dialog" + std::to_string(slot_of(dialog));
    bool open = true;
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    const bool visible = ImGui::Begin(name.c_str(), &open, flags);
    ImGui::PopStyleVar();
    if (new_here)
        imgui_scroll_children_home();
    if (dialog == modal && !ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows))
        ImGui::SetWindowFocus();
    const ImVec2 at = ImGui::GetWindowPos();
    if (int32_t(at.x) != d.x || int32_t(at.y) != d.y) {
        const int32_t x = int32_t(at.x), y = int32_t(at.y);
        g_screen.placed[dialog] = {x, y};
        act([dialog, x, y] { user_move(dialog, x, y); });
    }
    if (!open)
        act([dialog] { user_close(dialog); });
    if (visible) {
        ImGui::BeginDisabled(!d.enabled);
        bool escape_taken = false;
        if (!d.menu.empty() && ImGui::BeginMenuBar()) {
            escape_taken = draw_menu(dialog, d.menu);
            ImGui::EndMenuBar();
        }
        const ImVec2 start = ImGui::GetCursorStartPos();
        g_screen.multi_line_active = false;
        for (size_t i = 0; i < d.controls.size(); ++i) {
            const control_record& c = d.controls[i];
            if (!c.shown)
                continue;
            const pixel_box box = unit_pixels(control_box(c.source));
            ImGui::SetCursorPos(ImVec2(start.x + box.x, start.y + box.y));
            keep_rect(dialog, c.source.id, ImGui::GetCursorScreenPos(), size_of(box));
            ImGui::PushID(int(i));
            ImGui::BeginDisabled(!c.enabled);
            draw_control(dialog, c, g_screen.views[{dialog, int32_t(i)}], box, label_room_of(d, i));
            ImGui::EndDisabled();
            ImGui::PopID();
        }
        const bool focused = ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows) && d.enabled &&
                             !ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
        if (focused && !g_screen.multi_line_active &&
            (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false) ||
             ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter), false)))
            act([dialog] { user_press_enter(dialog); });
        if (focused && !escape_taken && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false))
            act([dialog] { user_press_escape(dialog); });
        ImGui::EndDisabled();
    }
    ImGui::End();
}

} // namespace

void run_dialog_frame()
{
    const uint32_t now = clock_ms();
    dialog_frame_step(now);
    const std::vector<dialog_handle> live = live_dialogs();
    forget_gone(live);
    const bool any_shown = std::any_of(live.begin(), live.end(), [](dialog_handle h) {
        const dialog_record* d = find_dialog(h);
        return d && d->shown;
    });
    g_screen.rects.clear();
    if (!g_d3d_device || !any_shown) {
        release_view_picture();
        imgui_drop_input();
        return;
    }
    render_device& device = *g_d3d_device;
    imgui_begin_input(device, now);
    ImGui::NewFrame();
    const dialog_handle modal = top_modal_dialog();
    if (!modal)
        release_view_picture();
    if (const view_picture& p = g_screen.picture; p.texture && p.device == device.serial()) {
        const ImVec2 from(float(p.place.x), float(p.place.y));
        const ImVec2 to(float(p.place.x + p.place.width), float(p.place.y + p.place.height));
        ImGui::GetBackgroundDrawList()->AddImage(static_cast<ImTextureID>(p.texture), from, to);
    }
    for (dialog_handle h : live)
        if (const dialog_record* d = find_dialog(h); d && d->shown)
            draw_dialog(*d, modal);
    ImGui::Render();
    imgui_draw(device, ImGui::GetDrawData());
    std::vector<std::function<void()>> acts;
    acts.swap(g_screen.acts);
    for (const auto& f : acts)
        f();
}

void keep_view_picture()
{
    render_device* device = g_d3d_device;
    if (!device || !top_modal_dialog() || (g_screen.picture.texture && g_screen.picture.device == device->serial()))
        return;
    const int32_t width = int32_t(device->width()), height = int32_t(device->height());
    const int32_t x0 = std::clamp(g_view_x, 0, width), y0 = std::clamp(g_view_y, 0, height);
    const int32_t x1 = std::clamp(g_view_x + g_screen_width, x0, width);
    const int32_t y1 = std::clamp(g_view_y + g_screen_height, y0, height);
    std::vector<uint32_t> frame;
    if (x1 == x0 || y1 == y0 || !device->read_frame(frame))
        return;
    std::vector<uint32_t> view;
    view.reserve(size_t(x1 - x0) * size_t(y1 - y0));
    for (int32_t y = y0; y < y1; ++y)
        view.insert(view.end(), frame.begin() + y * width + x0, frame.begin() + y * width + x1);
    g_screen.picture.texture = device->create_texture(uint32_t(x1 - x0), uint32_t(y1 - y0),
                                                      texture_format::a8r8g8b8, false, view.data());
    g_screen.picture.device = device->serial();
    g_screen.picture.place = {x0, y0, x1 - x0, y1 - y0};
}

bool dialog_control_rect(dialog_handle dialog, int32_t id, device_rect& out)
{
    for (const drawn_rect& r : g_screen.rects)
        if (r.dialog == dialog && r.id == id) {
            out = r.rect;
            return true;
        }
    return false;
}
