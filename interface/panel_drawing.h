// What the panels share: the side panel's and the container windows' origin on the screen, the
// cursor tests in panel coordinates and the drawing of one 32 x 32 cell; the place, frame and
// close box of the log panels (the quest log and the attunement panel); the scroll bar of a list.
#pragma once

#include <cstdint>

constexpr float k_panel_x0 = 0.0f;  // the panel origin in screen pixels
constexpr float k_panel_y0 = 45.0f;

// The cursor in panel coordinates lies in [x1, x2) x [y1, y2).
bool cursor_in(float x1, float y1, float x2, float y2);
// The cursor lies strictly between the bounds on all four sides.
bool cursor_strictly_in(float x1, float y1, float x2, float y2);

// At a cell whose top-left corner is (x, y) in panel coordinates: the slot-box background; the
// translucent tint of a damage-type byte 4 to 7 (others draw none); a texture centred on the
// cell, skipped for no texture (0xFFFF).
void draw_cell_background(float x, float y);
void draw_damage_tint(float x, float y, uint8_t damage_type);
void draw_cell_icon(uint16_t texture, float x, float y);

// The cursor lies strictly inside, in screen pixels.
bool cursor_strictly_on_screen(float x1, float y1, float x2, float y2);

// Waits, pumping window messages and polling input, until the left button is up; false when the
// window was closed meanwhile.
bool wait_for_left_release();

struct panel_origin {
    float x, y;
};
// Where a log panel lies: x 0, plus 315 while the side panel is open and 315 more while the
// character panel is open; y 45.
panel_origin log_panel_origin();
// The log panel's frame (panel background 0) at o. A left press in the close box (strictly inside
// x o.x + 290 to o.x + 305, y o.y + 10 to o.y + 30) waits for the release, cancels a drag and calls
// close; otherwise the whole frame takes the pointer (claim_pointer_area of panel_frame_area).
// False when the panel's frame ends here (closed, or the window closed during the wait).
bool begin_log_panel(const panel_origin& o, void (*close)());

// The scroll bar of a list of n entries showing `shown` rows from `offset`, beside a panel whose
// left edge is x; only for n above shown. The upper cap is centred at (x + 300, top), the lower cap
// (mirrored) 114 below it, six middle pieces from 16 below it, 16 apart; the up arrow at
// (x + 293, top - 10), the down arrow (mirrored) at (x + 293, top + 124), the slider at
// (x + 293, top + 15 + offset x 86 / (n - shown)); images from g_interface.list_widgets.
// The offset is first held to 0 to n - shown; then `wheel` steps it (-1 up, 1 down, 0 not); an
// arrow the cursor is over (x strictly between x + 285 and x + 301, y strictly within 8 of its
// centre) is drawn hovered and steps it once per press of the left button: `latch` is set on
// the press and cleared while the button is up. A step never leaves 0 to n - shown.
void update_list_scroll_bar(float x, float top, int32_t n, int32_t shown, int32_t wheel, uint32_t& latch,
                            int32_t& offset);
