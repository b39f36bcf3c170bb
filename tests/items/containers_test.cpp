#include "core/console_log.h"
#include "core/globals.h"
#include "items/containers.h"
#include "items/items.h"
#include "platform/files.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
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

namespace {

// Item ids of the rule tests' table.
constexpr int32_t k_bag = 0, k_big_bag = 1, k_plain = 2, k_potion = 3, k_scroll = 4;
constexpr int32_t k_wares = 10;  // 10 to 29: rings priced 100 - id, so later ids are cheaper

std::vector<uint16_t> grid_of(const container& c)
{
    return {c.items, c.items + container_cells(&c)};
}

void free_char_containers()
{
    for (int i = k_char_container_first; i < k_container_slots; ++i)
        container_free(&g_containers[i]);
    g_char_container_count = 0;
}

class container_rules : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_console_enabled), saved_.keep(g_char_container_count);
        g_console_enabled = 1;
        ASSERT_TRUE(make_folder("global"));
        free_char_containers();
        g_item_proto_count = 0;
        make_item(k_bag, "vak", "Bag", k_item_container).container_width = 3;
        g_item_protos[k_bag].container_height = 2;
        item_proto& big = make_item(k_big_bag, "vak2", "Big bag", k_item_container);
        big.container_width = big.container_height = 255;
        make_item(k_plain, "kamen", "Stone", k_item_normal).price = 1;
        make_item(k_potion, "elixir", "Potion", k_item_quick).price = 1;
        make_item(k_scroll, "zvitok", "Scroll", k_item_scroll).price = 1;
        for (int32_t id = k_wares; id < k_wares + 20; ++id)
            make_item(id, "prsten", "Ring", k_item_ring).price = int16_t(100 - id);
    }

    void TearDown() override
    {
        free_char_containers();
        free_level_containers();
    }

    // A shop of width x height holding the listed items from cell 0 on.
    static container shop_of(uint8_t width, uint8_t height, const std::vector<int32_t>& items)
    {
        container c{};
        EXPECT_TRUE(container_init(&c, "shop", width, height, 1));
        for (size_t k = 0; k < items.size(); ++k)
            EXPECT_TRUE(container_put(&c, int32_t(k % width), int32_t(k / width), items[k], 0, 1.0f));
        return c;
    }

    temp_folder folder_;

private:
    item_table_guard table_;
    saved_globals saved_;
};

} // namespace

TEST_F(container_rules, CharContainersRoundTripReuseReleasedSlotsAndStopWhenFull)
{
    ASSERT_EQ(new_char_container(k_bag), 100);
    ASSERT_EQ(new_char_container(k_big_bag), 101);
    ASSERT_EQ(new_char_container(k_bag), 102);
    EXPECT_STREQ(g_containers[101].name, "ch_cont");
    EXPECT_EQ(container_cells(&g_containers[101]), 255u * 255u);
    EXPECT_EQ(g_containers[100].shop, 0u);
    ASSERT_TRUE(container_put(&g_containers[100], 2, 1, k_wares, 7, 1.5f));
    ASSERT_TRUE(container_put(&g_containers[101], 254, 254, k_plain, 9, 3.0f));
    EXPECT_EQ(g_containers[100].items[5], k_wares);
    EXPECT_EQ(g_containers[100].prices[5], 135);  // 90 x 1.5
    EXPECT_EQ(g_containers[100].flags[5], 7);

    // A released slot below the count is taken before the count grows.
    container_free(&g_containers[101]);
    ASSERT_EQ(new_char_container(k_big_bag), 101);
    EXPECT_EQ(g_char_container_count, 3);
    ASSERT_TRUE(container_put(&g_containers[101], 254, 254, k_plain, 9, 3.0f));
    std::vector<container_copy> expected;
    for (int i = 100; i < 103; ++i)
        expected.push_back(copy_of(g_containers[i]));

    ASSERT_TRUE(save_char_containers());
    ASSERT_TRUE(make_folder("save"));
    ASSERT_TRUE(save_char_containers_to("save/container.ss"));
    EXPECT_EQ(read_bytes("global/cont.dat"), read_bytes("save/container.ss"));
    for (const char* path : {"global/cont.dat", "save/container.ss"}) {
        free_char_containers();
        ASSERT_EQ(new_char_container(k_bag), 100);  // replaced by the file's
        ASSERT_TRUE(std::string(path) == "global/cont.dat" ? load_char_containers() : load_char_containers_from(path));
        ASSERT_EQ(g_char_container_count, 3) << path;
        for (int i = 0; i < 3; ++i)
            expect_same(expected[size_t(i)], g_containers[100 + i]);
    }

    // Full: the hundredth slot is the last; anything but a container item gets none.
    for (int slot = 103; slot < k_container_slots; ++slot)
        ASSERT_EQ(new_char_container(k_bag), slot);
    EXPECT_EQ(new_char_container(k_bag), -1);
    container_free(&g_containers[150]);
    EXPECT_EQ(new_char_container(k_plain), -1);
    EXPECT_EQ(new_char_container(-1), -1);
    EXPECT_EQ(new_char_container(k_item_slots), -1);
    EXPECT_EQ(g_containers[150].items, nullptr);
    EXPECT_EQ(new_char_container(k_bag), 150);
    EXPECT_EQ(g_char_container_count, 100);
}

TEST_F(container_rules, DamagedOrMissingCharContainerFilesChangeNothing)
{
    ASSERT_EQ(new_char_container(k_bag), 100);
    ASSERT_EQ(new_char_container(k_bag), 101);
    ASSERT_TRUE(container_put(&g_containers[101], 0, 0, k_wares, 1, 1.0f));
    ASSERT_EQ(new_char_container(k_bag), 102);
    container_copy kept = copy_of(g_containers[101]);

    auto stored = [](section_bytes body) {  // a packed file with a stored body
        body.bytes.insert(body.bytes.begin(), {'A', 'G', 'P', '.'});
        write_bytes("global/cont.dat", body.bytes);
    };
    // Cut in the last container, no count, not a packed file, no file at all.
    section_bytes cut;
    cut.u16(3);
    stored_container(cut, "a", 2, 2);
    stored_container(cut, "b", 2, 2);
    stored_container(cut, "c", 3, 3).bytes.pop_back();
    stored(cut);
    EXPECT_FALSE(load_char_containers());
    stored(section_bytes().u8(1));
    EXPECT_FALSE(load_char_containers());
    write_bytes("global/cont.dat", {1, 0});
    EXPECT_FALSE(load_char_containers());
    std::filesystem::remove("global/cont.dat");
    EXPECT_FALSE(load_char_containers());
    EXPECT_FALSE(load_char_containers_from("save/none.ss"));
    EXPECT_EQ(g_char_container_count, 3);
    expect_same(kept, g_containers[101]);
    EXPECT_NE(g_containers[102].items, nullptr);
    std::string log = read_text(k_console_log_file);
    EXPECT_NE(log.find("global/cont.dat: poskodeny subor (konci v kontajneri"), std::string::npos);

    // A write that cannot be made is reported.
    EXPECT_FALSE(save_char_containers_to("no/such/folder/container.ss"));
    EXPECT_NE(read_text(k_console_log_file).find("no/such/folder/container.ss: the write failed"), std::string::npos);

    // A negative count is none; of 103 stored the first 100 are kept.
    stored(section_bytes().u16(0xFFFF));
    EXPECT_TRUE(load_char_containers());
    EXPECT_EQ(g_char_container_count, 0);
    EXPECT_EQ(g_containers[101].items, nullptr);
    section_bytes many;
    many.u16(103);
    for (int i = 0; i < 103; ++i)
        stored_container(many, "x", 1, 1);
    stored(many);
    EXPECT_TRUE(load_char_containers());
    EXPECT_EQ(g_char_container_count, 100);
    EXPECT_EQ(new_char_container(k_bag), -1);
}

TEST_F(container_rules, PutRefusesCellsOutsideTheGridAndUnknownItems)
{
    container c{};
    EXPECT_FALSE(container_put(&c, 0, 0, k_plain, 0, 1.0f));  // no grids
    ASSERT_TRUE(container_init(&c, "chest", 3, 2, 0));
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}})
        EXPECT_FALSE(container_put(&c, x, y, k_plain, 0, 1.0f)) << x << "," << y;
    for (int32_t item : {-1, 30, k_item_slots, 0xFFFF})
        EXPECT_FALSE(container_put(&c, 0, 0, item, 0, 1.0f)) << item;
    EXPECT_EQ(grid_of(c), std::vector<uint16_t>(6, k_container_cell_empty));

    // Prices are truncated and held to the u16 range.
    g_item_protos[k_plain].price = 7;
    ASSERT_TRUE(container_put(&c, 0, 1, k_plain, 3, 0.99f));
    ASSERT_TRUE(container_put(&c, 1, 1, k_plain, 3, -2.0f));
    ASSERT_TRUE(container_put(&c, 2, 1, k_plain, 3, 1e9f));
    EXPECT_EQ(std::vector<uint16_t>(c.prices + 3, c.prices + 6), (std::vector<uint16_t>{6, 0, 65535}));
    EXPECT_EQ(c.items[3], k_plain);
    container_free(&c);
}

TEST_F(container_rules, TidyKeepsFirstDuplicatesAndThinsOnlyCrowdedShops)
{
    auto wares = [](int n) {
        std::vector<int32_t> ids;
        for (int i = 0; i < n; ++i)
            ids.push_back(k_wares + i);
        return ids;
    };
    // 12 of 16 (75 %): the four cheapest (the last four ids) go; 11 of 16 and 7 of 10 stay.
    container c = shop_of(4, 4, wares(12));
    container_tidy(&c);
    std::vector<uint16_t> left = grid_of(c);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(left[size_t(k)], k < 8 ? uint16_t(k_wares + k) : k_container_cell_empty) << k;
    container_free(&c);
    for (auto [w, h, n] : {std::tuple{4, 4, 11}, {10, 1, 7}}) {
        c = shop_of(uint8_t(w), uint8_t(h), wares(n));
        std::vector<uint16_t> before = grid_of(c);
        container_tidy(&c);
        EXPECT_EQ(grid_of(c), before) << n;
        container_free(&c);
    }

    // Duplicates keep their first cell (5 of 8 left: no thinning).
    c = shop_of(4, 2, {k_plain, k_wares + 3, k_wares + 3, k_potion, k_scroll, k_wares + 5, k_wares + 5, k_plain});
    container_tidy(&c);
    EXPECT_EQ(grid_of(c), (std::vector<uint16_t>{k_plain, k_wares + 3, 0xFFFF, k_potion, k_scroll, k_wares + 5,
                                                 0xFFFF, 0xFFFF}));
    container_free(&c);
    // 7 of 8, three passes: both rings go; normal items, quick items, scrolls and ids outside the
    // table stay (but take their cells).
    c = shop_of(2, 4, {k_plain, k_potion, k_wares + 2, k_wares + 1, k_scroll});
    c.items[5] = 900;
    c.items[6] = 901;
    container_tidy(&c);
    EXPECT_EQ(grid_of(c), (std::vector<uint16_t>{k_plain, k_potion, 0xFFFF, 0xFFFF, k_scroll, 900, 901, 0xFFFF}));
    container_free(&c);
    // Full 2 x 2, two passes: the cheapest ring, then the first of two equally cheap ones.
    g_item_protos[k_wares + 1].price = g_item_protos[k_wares + 2].price;
    c = shop_of(2, 2, {k_wares + 5, k_plain, k_wares + 2, k_wares + 1});
    container_tidy(&c);
    EXPECT_EQ(grid_of(c), (std::vector<uint16_t>{0xFFFF, k_plain, 0xFFFF, k_wares + 1}));
    container_free(&c);

    container_tidy(&c);  // no grids: nothing
    EXPECT_EQ(c.items, nullptr);
}

TEST_F(container_rules, RemovingTheFirstAndTheLastLevelContainerKeepsTheOthers)
{
    make_level_containers(4);
    std::vector<container_copy> before;
    for (int i = 0; i < 4; ++i)
        before.push_back(copy_of(g_containers[i]));
    uint16_t* second_grid = g_containers[1].items;

    remove_level_container(0);
    ASSERT_EQ(g_level_container_count, 3);
    for (int i = 0; i < 3; ++i)
        expect_same(before[size_t(i + 1)], g_containers[i]);
    EXPECT_EQ(g_containers[0].items, second_grid);
    EXPECT_EQ(g_containers[3].items, nullptr);

    remove_level_container(2);
    ASSERT_EQ(g_level_container_count, 2);
    EXPECT_EQ(g_containers[2].items, nullptr);
    expect_same(before[2], g_containers[1]);

    for (int bad : {-1, 2, 100, 150})
        remove_level_container(bad);
    EXPECT_EQ(g_level_container_count, 2);
    expect_same(before[1], g_containers[0]);
}
