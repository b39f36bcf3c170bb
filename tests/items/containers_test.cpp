#include "items/containers.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct container_copy {
    std::string name;
    uint32_t shop;
    uint8_t width, height;
    std::vector<uint16_t> items, prices;
    std::vector<uint8_t> flags;
    float x, y;
};

container_copy copy_of(const container& c)
{
    uint32_t n = container_cells(&c);
    return {c.name, c.shop, c.width, c.height,
            {c.items, c.items + n}, {c.prices, c.prices + n}, {c.flags, c.flags + n}, c.x, c.y};
}

void expect_same(const container_copy& a, const container& c)
{
    container_copy b = copy_of(c);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.shop, b.shop);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.items, b.items);
    EXPECT_EQ(a.prices, b.prices);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

void make_level_containers(int count)
{
    free_level_containers();
    for (int i = 0; i < count; ++i) {
        container& c = g_containers[i];
        std::string name = "chest" + std::to_string(i);
        ASSERT_TRUE(container_init(&c, name.c_str(), uint8_t(1 + i % 9), uint8_t(i % 5), uint32_t(i % 2)));
        for (uint32_t k = 0; k < container_cells(&c); ++k) {
            c.items[k] = uint16_t(k % 3 ? i * 7 + k : 0xFFFF);
            c.prices[k] = uint16_t(1000 + k);
            c.flags[k] = uint8_t(k * 5);
        }
        c.x = float(i) * 1.5f;
        c.y = -float(i);
    }
    g_level_container_count = int16_t(count);
}

bool save_both(packed_stream* s) { return save_level_containers(s) && save_level_container_states(s); }
bool load_both(packed_stream* s) { return load_level_containers(s) && load_level_container_states(s); }

// One container in the level form.
section_bytes& stored_container(section_bytes& b, const char* name, uint8_t width, uint8_t height)
{
    char field[25] = {};
    std::memcpy(field, name, std::min(sizeof field, std::strlen(name)));
    b.raw(field, 25).u32(0).u8(width).u8(height);
    for (int k = 0; k < width * height; ++k)
        b.u16(uint16_t(k));
    b.fill(size_t(width) * height * 3, 1);
    return b;
}

} // namespace

TEST(Containers, AFullSetOfLevelContainersAndTheirStatesRoundTrip)
{
    temp_folder folder;
    make_level_containers(k_level_container_slots);
    std::vector<container_copy> expected;
    for (int i = 0; i < k_level_container_slots; ++i)
        expected.push_back(copy_of(g_containers[i]));
    ASSERT_TRUE(write_section(save_both));

    make_level_containers(3);
    ASSERT_TRUE(read_section(load_both));
    ASSERT_EQ(g_level_container_count, k_level_container_slots);
    for (int i = 0; i < k_level_container_slots; ++i)
        expect_same(expected[i], g_containers[i]);

    // An empty set frees what the level had.
    free_level_containers();
    ASSERT_TRUE(write_section(save_both));
    make_level_containers(4);
    ASSERT_TRUE(read_section(load_both));
    EXPECT_EQ(g_level_container_count, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g_containers[i].items, nullptr);
    EXPECT_FALSE(save_level_containers(nullptr));
    EXPECT_FALSE(load_level_container_states(nullptr));
}

TEST(Containers, InitEmptiesTheItemGridAndWriteAllocatesMissingGrids)
{
    temp_folder folder;
    container c{};
    ASSERT_TRUE(container_init(&c, "a name much longer than its field", 3, 2, 1));
    EXPECT_STREQ(c.name, "a name much longer than ");
    for (uint32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(c.items[k], k_container_cell_empty);
        EXPECT_EQ(c.prices[k], 0);
        EXPECT_EQ(c.flags[k], 0);
    }
    container_free(&c);
    EXPECT_EQ(c.items, nullptr);

    // A container without grids is written as an empty one of its size.
    ASSERT_TRUE(write_section([&](packed_stream* s) { return container_write(&c, s); }));
    container back{};
    ASSERT_TRUE(read_section([&](packed_stream* s) { return container_read(&back, s); }));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.items[5], k_container_cell_empty);
    container_free(&back);
    container_free(&c);

    // A grid of no cells still marks its slot in use.
    ASSERT_TRUE(container_init(&c, "", 0, 7, 0));
    EXPECT_NE(c.items, nullptr);
    container_free(&c);
}

TEST(Containers, HostileAndCutSectionsLeaveAConsistentTable)
{
    temp_folder folder;
    // 103 containers: 100 kept, 3 skipped, the stream left after the section.
    section_bytes many;
    many.u16(103);
    for (int i = 0; i < 103; ++i)
        stored_container(many, "0123456789012345678901234567", uint8_t(i % 4), 255);
    raw_read got = read_raw_section(many.bytes, load_level_containers);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_level_container_count, k_level_container_slots);
    EXPECT_EQ(std::strlen(g_containers[0].name), 24u);
    EXPECT_EQ(g_containers[3].items[254 * 3 + 2], uint16_t(254 * 3 + 2));

    // Cut inside the third container's prices: two kept, the rest of the level slots freed.
    section_bytes cut;
    cut.u16(5);
    stored_container(cut, "a", 2, 2);
    stored_container(cut, "b", 2, 2);
    stored_container(cut, "c", 4, 4);
    cut.bytes.resize(cut.bytes.size() - 20);
    got.complete = read_last_section(cut.bytes, load_level_containers);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_level_container_count, 2);
    EXPECT_STREQ(g_containers[1].name, "b");
    for (int i = 2; i < k_level_container_slots; ++i)
        EXPECT_EQ(g_containers[i].items, nullptr);

    // A negative count is none; a missing count keeps the containers.
    got = read_raw_section(section_bytes().u16(0x8000).bytes, load_level_containers);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_level_container_count, 0);
    make_level_containers(2);
    got.complete = read_last_section(std::vector<uint8_t>{}, load_level_containers);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_level_container_count, 2);
    EXPECT_NE(g_containers[1].items, nullptr);
    free_level_containers();
}

TEST(Containers, TheStateCountBecomesTheLevelCount)
{
    temp_folder folder;
    make_level_containers(5);
    section_bytes three;
    three.u16(3);
    for (int i = 0; i < 3; ++i)
        three.u32(2).u32(0x40000000).u32(0x3F800000);  // x 2.0, y 1.0
    raw_read got = read_raw_section(three.bytes, load_level_container_states);
    EXPECT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_level_container_count, 3);
    EXPECT_EQ(g_containers[2].x, 2.0f);
    EXPECT_EQ(g_containers[2].y, 1.0f);
    EXPECT_EQ(g_containers[3].items, nullptr);
    EXPECT_NE(g_containers[2].items, nullptr);

    // Above 100: 100 read, the rest skipped; a failed count read: no level containers.
    section_bytes many;
    many.u16(120).fill(120 * 12, 0);
    got = read_raw_section(many.bytes, load_level_container_states);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_level_container_count, k_level_container_slots);
    got.complete = read_last_section({1}, load_level_container_states);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(g_level_container_count, 0);
    EXPECT_EQ(g_containers[0].items, nullptr);
}
