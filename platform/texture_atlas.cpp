#include "platform/texture_atlas.h"

#include <cstddef>

atlas_packer::atlas_packer(uint32_t page_size, uint32_t max_pages) : page_size_(page_size), max_pages_(max_pages) {}

bool atlas_packer::place_on(int32_t index, uint32_t width, uint32_t height, atlas_slot& out)
{
    page& p = pages_[static_cast<size_t>(index)];
    for (size_t i = 0; i < p.holes.size(); ++i) {
        if (p.holes[i].width == width && p.holes[i].height == height) {
            out = p.holes[i];
            p.holes.erase(p.holes.begin() + static_cast<std::ptrdiff_t>(i));
            ++p.live;
            return true;
        }
    }
    // A shelf at most half as tall again as the rectangle, so that short images do not fill
    // tall rows.
    for (shelf& s : p.shelves) {
        if (s.height >= height && s.height <= height + height / 2 && s.used_width + width <= page_size_) {
            out = {index, s.used_width, s.y, width, height};
            s.used_width += width;
            ++p.live;
            return true;
        }
    }
    if (p.used_height + height > page_size_)
        return false;
    p.shelves.push_back({p.used_height, height, width});
    out = {index, 0, p.used_height, width, height};
    p.used_height += height;
    ++p.live;
    return true;
}

atlas_slot atlas_packer::place(uint32_t width, uint32_t height)
{
    atlas_slot out;
    if (width == 0 || height == 0 || width > page_size_ || height > page_size_)
        return out;
    for (size_t i = 0; i < pages_.size(); ++i)
        if (place_on(static_cast<int32_t>(i), width, height, out))
            return out;
    if (pages_.size() >= max_pages_)
        return out;
    pages_.emplace_back();
    place_on(static_cast<int32_t>(pages_.size() - 1), width, height, out);
    return out;
}

void atlas_packer::release(const atlas_slot& slot)
{
    if (slot.page < 0 || static_cast<size_t>(slot.page) >= pages_.size())
        return;
    page& p = pages_[static_cast<size_t>(slot.page)];
    if (p.live == 0)
        return;
    if (--p.live == 0)
        p = page{};
    else
        p.holes.push_back(slot);
}

uint32_t atlas_packer::live(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < pages_.size() ? pages_[static_cast<size_t>(index)].live : 0;
}

void add_wrapped_border(const std::vector<uint32_t>& image, uint32_t width, uint32_t height,
                        std::vector<uint32_t>& out)
{
    const uint32_t w = width + 2, h = height + 2;
    out.resize(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y) {
        const uint32_t sy = (y + height - 1) % height;
        for (uint32_t x = 0; x < w; ++x)
            out[static_cast<size_t>(y) * w + x] = image[static_cast<size_t>(sy) * width + (x + width - 1) % width];
    }
}
