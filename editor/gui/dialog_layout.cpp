#include "editor/gui/dialog_layout.h"

#include "editor/gui/imgui_backend.h"
#include "platform/text_encoding.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Between a label's room and the control to its right, and inside a group box's frame.
constexpr float k_label_gap = 3.0f;

const ImFont& font()
{
    imgui_make_ready();
    return *ImGui::GetIO().Fonts->Fonts[0];
}

const ImGuiStyle& style()
{
    imgui_make_ready();
    return ImGui::GetStyle();
}

float pixels_x(int32_t units)
{
    return std::round(float(units) * k_dialog_unit_x);
}

float pixels_y(int32_t units)
{
    return std::round(float(units) * k_dialog_unit_y);
}

bool rows_meet(const unit_box& a, const unit_box& b)
{
    return a.y < b.bottom() && b.y < a.bottom();
}

// How far right, in client pixels, the label of control `index` may reach.
float label_reach(const dialog_record& d, size_t index)
{
    const unit_box own = control_box(d.controls[index].source);
    float limit = pixels_x(d.width) - k_label_gap;
    for (size_t j = 0; j < d.controls.size(); ++j) {
        if (j == index)
            continue;
        const control_template& other = d.controls[j].source;
        const unit_box box = control_box(other);
        if (!rows_meet(own, box))
            continue;
        if (other.kind == control_kind::group_box && box_holds(box, own))
            limit = std::min(limit, pixels_x(box.right()) - k_label_gap);
        else if (box.x > own.x)
            limit = std::min(limit, pixels_x(box.x) - k_label_gap);
    }
    // A label never has less than its own rectangle unless a control reaches into it.
    const float own_right = pixels_x(own.right());
    return limit >= own_right - k_label_gap ? std::max(limit, own_right) : limit;
}

} // namespace

float dialog_font_size()
{
    return font().FontSize;
}

float dialog_text_width(const std::string& text)
{
    const ImFont& f = font();
    const std::string utf8 = utf8_from_cp1252(text);
    return f.CalcTextSizeA(f.FontSize, FLT_MAX, 0.0f, utf8.c_str(), utf8.c_str() + utf8.size()).x;
}

pixel_box unit_pixels(const unit_box& units)
{
    const float x = pixels_x(units.x), y = pixels_y(units.y);
    return {x, y, pixels_x(units.right()) - x, pixels_y(units.bottom()) - y};
}

float title_bar_pixels(const dialog_record& d)
{
    return d.title_bar ? dialog_font_size() + style().FramePadding.y * 2 : 0.0f;
}

float menu_bar_pixels(const dialog_record& d)
{
    return d.menu.empty() ? 0.0f : dialog_font_size() + style().FramePadding.y * 2;
}

pixel_box window_pixels(const dialog_record& d)
{
    const pixel_box client = unit_pixels({0, 0, d.width, d.height});
    return {float(d.x), float(d.y), client.width, client.height + title_bar_pixels(d) + menu_bar_pixels(d)};
}

unit_box control_box(const control_template& c)
{
    unit_box box{c.x, c.y, c.width, c.height};
    if (c.kind == control_kind::combo)
        box.height = std::min(box.height, k_combo_box_units);
    return box;
}

bool box_holds(const unit_box& outer, const unit_box& inner)
{
    return outer.x <= inner.x && inner.right() <= outer.right() && outer.y <= inner.y && inner.bottom() <= outer.bottom();
}

float frame_padding_y(float box_height)
{
    const float spare = std::floor((box_height - dialog_font_size()) / 2);
    return std::clamp(spare, 0.0f, style().FramePadding.y);
}

label_room label_room_of(const dialog_record& d, size_t index)
{
    const control_template& c = d.controls[index].source;
    const pixel_box box = unit_pixels(control_box(c));
    const int32_t one_line = box.height >= dialog_font_size() ? 1 : 0;
    switch (c.kind) {
    case control_kind::static_text:
        return {label_reach(d, index) - box.x, int32_t(box.height / dialog_font_size())};
    case control_kind::check:
    case control_kind::radio: {
        const float square = dialog_font_size() + 2 * frame_padding_y(box.height);
        return {label_reach(d, index) - box.x - square - style().ItemInnerSpacing.x, one_line};
    }
    case control_kind::button:
        return {box.width - 2 * style().FramePadding.x, one_line};
    case control_kind::group_box:
        return {box.width - 2 * k_group_caption_inset, one_line};
    default:
        return {};
    }
}

int32_t wrapped_lines(const std::string& text, float width)
{
    constexpr int32_t k_too_wide = std::numeric_limits<int32_t>::max();
    int32_t lines = 0;
    size_t at = 0;
    while (true) { // one paragraph, up to a line end, at a time
        const size_t end = std::min(text.find('\n', at), text.size());
        std::string line;
        for (size_t word_at = at; word_at <= end;) {
            size_t word_end = std::min(text.find(' ', word_at), end);
            const std::string word = text.substr(word_at, word_end - word_at);
            if (dialog_text_width(word) > width)
                return k_too_wide;
            const std::string joined = line.empty() ? word : line + " " + word;
            if (!line.empty() && dialog_text_width(joined) > width) {
                ++lines;
                line = word;
            } else {
                line = joined;
            }
            word_at = word_end + 1;
        }
        ++lines;
        if (end == text.size())
            return lines;
        at = end + 1;
    }
}

std::vector<pixel_box> tab_places(const control_record& c, const pixel_box& box)
{
    std::vector<pixel_box> places;
    const size_t count = c.rows.size();
    if (count == 0)
        return places;
    std::vector<float> natural(count);
    for (size_t k = 0; k < count; ++k)
        natural[k] = dialog_text_width(c.rows[k]) + 2 * style().FramePadding.x + k_tab_gap;
    auto width_of = [&natural](size_t first, size_t last) {
        float sum = 0;
        for (size_t k = first; k < last; ++k)
            sum += natural[k];
        return sum;
    };
    // The fewest rows, each holding an equal share of the tabs in order, whose tabs fit across.
    size_t rows = 1;
    for (; rows < count; ++rows) {
        const size_t per_row = (count + rows - 1) / rows;
        bool fits = true;
        for (size_t first = 0; first < count && fits; first += per_row)
            fits = width_of(first, std::min(count, first + per_row)) <= box.width;
        if (fits)
            break;
    }
    const size_t per_row = (count + rows - 1) / rows;
    const float row_height = std::floor(box.height / float(rows));
    for (size_t first = 0, row = 0; first < count; first += per_row, ++row) {
        const size_t last = std::min(count, first + per_row);
        const float stretch = (box.width - width_of(first, last)) / float(last - first);
        float x = box.x;
        for (size_t k = first; k < last; ++k) {
            const float right = k + 1 == last ? box.right() : std::round(x + natural[k] + stretch);
            places.push_back({x, box.y + float(row) * row_height, right - x, row_height});
            x = right;
        }
    }
    return places;
}

float tab_label_room(const pixel_box& tab)
{
    return tab.width - k_tab_gap - 2 * style().FramePadding.x;
}
