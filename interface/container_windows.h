// The two container windows below the side panel: a chest, a shop or a bag as a grid of cells.
#pragma once

#include <cstdint>

struct container;

// The container a window shows when it is open and has an item grid, else null (0 first, 1
// second).
container* window_container(int window);
// The screen y of the lowest bottom edge of the container windows the side panel draws this
// frame (it draws none during a dialogue); 0 when none is shown.
float container_windows_bottom();
// Cells a window can reach: 50 in the first, 100 in the second.
int32_t window_cell_limit(int window);

// Per frame, second window first: frame, close button (closing the first moves the second into
// its place), mouse_over_ui, cell backgrounds, tints and icons.
void draw_container_windows();
// The slot code of the cell under the cursor: 100 + k or 150 + k, the second window winning;
// 255 for none.
uint8_t container_hit_code();
// The cursor is over a window's band (the ground drop is not offered there).
bool cursor_over_container_windows();
// While nothing is held and the cursor is on an inventory bag, holding the right button opens
// the bag's container: in the second window when the first shows another container, else in
// the first. A bag whose word names no character container (100-199) opens nothing.
void open_bag_on_right_button(int32_t entry);

// Puts an item taken from a window and its flag byte back into its cell; when the cell cannot take
// it (no container, no grid, a cell outside the grid or an occupied cell) the item falls at the
// hero instead, logged, so that it is never lost.
void return_container_item(container* c, uint32_t cell, int32_t item, uint8_t flag);
