// What the framed overlay pages share (save/load, settings, new hero): the page origin, the
// background and frame, a divider, and the buttons of "data/interface/saveload/button/<language>/".
// Positions are relative to the page origin and name image centres unless said otherwise.
#pragma once

#include <cstdint>

constexpr int32_t k_overlay_page_width = 768;

struct overlay_origin {
    float x, y;
};

// ((W - 768) / 2, (H - height) / 2), each halved with truncation toward zero.
overlay_origin overlay_page_origin(int32_t height);

// The page's opening: the message window emptied and g_message_shown cleared.
void clear_overlay_message();

// An opaque dark ground over the whole page, then the background tile in 12 columns by
// height / 64 rows at (32 + 64 c, 32 + 64 r), opacity 0.5,
// and the opaque frame around a page of the given height (448 or 576): corners, top and bottom
// bars, (height - 64) / 32 side pieces on each side. Both use a texture inset of 0.008.
void draw_overlay_page(const overlay_origin& o, int32_t height);

// A vertical divider of a page of the given height: the joint piece at (joint_x, 38), the line
// pieces at (joint_x + 3, 70 + 32 i) down to the joint piece flipped upside down at
// (joint_x, height - 38).
void draw_overlay_divider(const overlay_origin& o, float joint_x, int32_t height);

// The buttons by their place in g_interface.save_load_buttons.
enum overlay_button : int {
    k_button_cancel, k_button_load, k_button_delete, k_button_yes, k_button_no, k_button_active,
    k_button_all, k_button_ok, k_button_start
};

// An image of the page drawn opaque at its own size centred at (x, y), flipped as the quads flip
// (1 upside down, 2 mirrored), without a texture inset; a slot without a picture draws nothing.
void draw_overlay_image(const overlay_origin& o, uint16_t slot, float x, float y, int32_t flip = 0);

// The cursor lies strictly inside the box (page coordinates).
bool overlay_cursor_in(const overlay_origin& o, float x1, float y1, float x2, float y2);

// One action per press on a box: true when the cursor is over it, the button is down and the
// latch was clear (the latch is set then); the latch clears while the button is up over the box.
bool overlay_latched_press(bool over, uint32_t button, uint32_t& latch);

// Draws the button centred at (x, y): its lit image while the cursor lies strictly inside the
// box, else its normal image. Returns whether the cursor is inside.
bool draw_overlay_button(const overlay_origin& o, overlay_button button, float x, float y, float x1, float y1,
                         float x2, float y2);
