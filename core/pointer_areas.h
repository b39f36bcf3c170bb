// The screen areas of the interface that take the pointer from the world. Each pass of the
// interface records the areas it shows; before the world acts on the mouse in the next frame, that
// frame's pointer is tested against them, so a pointer that has just moved onto the interface is
// over it in the very frame it arrives there.
#pragma once

#include <cstdint>
#include <limits>

// The edges that belong to an area; an edge not named bounds it strictly.
enum pointer_area_edge : uint32_t {
    k_edge_left = 1,
    k_edge_top = 2,
    k_edge_right = 4,
    k_edge_bottom = 8,
    k_edges_left_top = k_edge_left | k_edge_top,
};

// A rectangle in screen pixels: [x1, x2) x [y1, y2) unless its edges say otherwise.
struct pointer_area {
    float x1, y1, x2, y2;
    uint32_t edges = k_edges_left_top;
};

// Every point of the screen: an element that takes the whole pointer while it is shown.
inline constexpr pointer_area k_everywhere{-std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity(),
                                           std::numeric_limits<float>::infinity(),
                                           std::numeric_limits<float>::infinity()};

constexpr int k_pointer_areas = 64;  // areas one pass records at most; more still set mouse_over_ui

bool pointer_area_holds(const pointer_area& a, float x, float y);

// A pass of the interface begins: no area is recorded yet and mouse_over_ui is clear.
void begin_pointer_areas();
// Records an area the interface shows in this pass; true, with mouse_over_ui set, while the
// pointer is in it.
bool claim_pointer_area(const pointer_area& a);
// A window that takes the whole pointer is open: the menu or the attunement selection.
bool pointer_taking_window_open();
// This frame's pointer is over the interface: inside an area of the last pass, or a window that
// takes the whole pointer is open (also one opened after that pass).
bool pointer_over_interface();
