// Texture atlases: small images packed onto square pages, so that quads of different textures
// can be drawn from one texture object. Each image keeps a border one texel wide that repeats
// its opposite edge, so that filtered samples at its edges see what a wrapping sampler of the
// image alone would see.
#pragma once

#include <cstdint>
#include <vector>

// A rectangle of a page in texels, border included; page -1 for none.
struct atlas_slot {
    int32_t page = -1;
    uint32_t x = 0, y = 0, width = 0, height = 0;
};

// Places rectangles on pages of page_size × page_size texels, at most max_pages of them, in
// rows (shelves) of similar heights. A released rectangle is reused by one of the same size; a
// page whose last rectangle is released is empty again.
class atlas_packer {
public:
    atlas_packer(uint32_t page_size, uint32_t max_pages);

    uint32_t page_size() const { return page_size_; }
    // A free rectangle of the size, on the first page with room; page -1 when no page has room or
    // the size does not fit a page.
    atlas_slot place(uint32_t width, uint32_t height);
    void release(const atlas_slot& slot);
    // Rectangles placed on the page and not released.
    uint32_t live(int32_t page) const;

private:
    struct shelf {
        uint32_t y, height, used_width;
    };
    struct page {
        std::vector<shelf> shelves;
        std::vector<atlas_slot> holes; // released rectangles
        uint32_t used_height = 0;
        uint32_t live = 0;
    };
    bool place_on(int32_t index, uint32_t width, uint32_t height, atlas_slot& out);

    uint32_t page_size_;
    uint32_t max_pages_;
    std::vector<page> pages_;
};

// The width × height image (texels top row first) with the wrapping border around it:
// (width + 2) × (height + 2) texels in out.
void add_wrapped_border(const std::vector<uint32_t>& image, uint32_t width, uint32_t height,
                        std::vector<uint32_t>& out);
