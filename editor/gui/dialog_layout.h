// How the dialog layer lays a dialog out on the screen: the dialog font, the pixels of a place in
// dialog units, the part of a control's rectangle it draws in, the room each label's text has and
// the places of a tab control's tabs. The drawing and the layout checks use these alone.
#pragma once

#include "editor/controls/dialog_records.h"

#include <cstdint>
#include <string>
#include <vector>

struct pixel_box {
    float x = 0, y = 0, width = 0, height = 0;
    float right() const { return x + width; }
    float bottom() const { return y + height; }
};

struct unit_box {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t right() const { return x + width; }
    int32_t bottom() const { return y + height; }
};

// A combo's closed box, in dialog units; its template's height is that of the open list.
constexpr int32_t k_combo_box_units = 12;
// A group box's caption keeps this many pixels from either side of its frame.
constexpr float k_group_caption_inset = 8.0f;
// A tab is drawn this many pixels narrower and lower than its place, apart from its neighbours.
constexpr float k_tab_gap = 1.0f;

// The dialog font's line height in pixels, and a Windows-1252 text's width in it.
float dialog_font_size();
float dialog_text_width(const std::string& text);

// Whole pixels of a rectangle in dialog units: each edge rounded on its own, so controls that
// meet in dialog units meet on the screen.
pixel_box unit_pixels(const unit_box& units);

// The height of a window's title bar and of its menu bar, in pixels (0 for none).
float title_bar_pixels(const dialog_record& d);
float menu_bar_pixels(const dialog_record& d);
// The whole window on the screen: its client area under the title and the menu bar.
pixel_box window_pixels(const dialog_record& d);

// The part of the control's rectangle that it draws in.
unit_box control_box(const control_template& c);
// True when `inner` lies wholly within `outer`.
bool box_holds(const unit_box& outer, const unit_box& inner);

// The frame height of a framed control (edit, combo, slider, check box, radio button) inside a box
// of that many pixels, and the padding above and below its text that gives it.
float frame_padding_y(float box_height);

// The pixels a control's label may take across and the lines it may take down. A static text, a
// check box and a radio button take the room to their right up to the next control on their
// line, the group box around them or the window's edge; a button and a group box keep to their
// own rectangle. Kinds without a label get 0 across.
struct label_room {
    float width = 0;
    int32_t lines = 0;
};
label_room label_room_of(const dialog_record& d, size_t index);

// The lines a text takes when wrapped at whole words into that width; the largest int32_t when a
// word alone is wider.
int32_t wrapped_lines(const std::string& text, float width);

// The places of a tab control's tabs within its box: as few rows as hold every tab at its label's
// width, the tabs of a row stretched to fill it; and the label room of a tab of that width.
std::vector<pixel_box> tab_places(const control_record& c, const pixel_box& box);
float tab_label_room(const pixel_box& tab);
