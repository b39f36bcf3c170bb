// The slot rules on a hero with one item of each class, and the quick-bar file: an exact round
// trip, a missing or damaged file that changes nothing, hostile entries read as empty, and a
// failed write that keeps the old file.
#include "interface/equipment_slots.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "items/items.h"
#include "items/quick_bar_block.h"
#include "items/spells.h"
#include "level/save_files.h"
#include "platform/files.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

class equipment_slots_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_chars[0]), saved_.keep(g_char_count), saved_.keep(g_player_char);
        saved_.keep(g_item_protos), saved_.keep(g_item_proto_count), saved_.keep(g_spell_proto_count);
        saved_.keep(g_interface), saved_.keep(g_console_enabled);
        g_char_count = 1;
        g_player_char = 0;
        g_chars[0].inv_count = 0;
        // Item id n has class n, 0 to 26.
        g_item_proto_count = 27;
        for (int i = 0; i < g_item_proto_count; ++i)
            g_item_protos[i].item_class = uint8_t(i);
        g_spell_proto_count = 4;
        g_console_enabled = 1;
        ASSERT_TRUE(make_folder("global"));
    }

    void carry(int16_t item, uint8_t location)
    {
        char_record& c = g_chars[0];
        c.inv_item[c.inv_count] = item;
        c.inv_location[c.inv_count] = location;
        ++c.inv_count;
    }

    static void fill_bar()
    {
        for (int i = 0; i < k_quick_slots; ++i) {
            g_interface.quick_ids[i] = int16_t(i % 3 == 0 ? -1 : i);
            g_interface.quick_icons[i] = uint16_t(0x1234 + i);
            g_interface.quick_kinds[i] = uint8_t(i % 3 == 0 ? 0 : 1 + i % 2);
        }
        g_interface.quick_kinds[2] = 3;  // spell 2
        g_interface.quick_selected = 7;
    }

    // The four fields as they lie in memory, in order (the machine is little-endian).
    static std::vector<uint8_t> bar_bytes()
    {
        const auto* first = reinterpret_cast<const uint8_t*>(g_interface.quick_ids);
        static_assert(offsetof(game_interface, quick_selected) - offsetof(game_interface, quick_ids) == 80);
        return std::vector<uint8_t>(first, first + 81);
    }

    temp_folder folder_;
    saved_globals saved_;
};

TEST_F(equipment_slots_test, SlotsTakeTheirClassesAndHomeSlotsFillInOrder)
{
    // One entry of each class 0 to 26, all in the backpack's slot 0.
    for (int16_t item = 0; item < 27; ++item)
        carry(item, 0);
    for (int32_t entry = 0; entry < 27; ++entry)
        EXPECT_TRUE(inventory_item_fits_slot(5, entry) && !inventory_item_fits_slot(28, entry)) << entry;
    EXPECT_EQ(inventory_item_fits_slot(5, -1) + inventory_item_fits_slot(5, 27), 0);
    // Each class fits exactly its slots among 16 to 27.
    const std::vector<std::vector<int>> fits = {
        {}, {24}, {24}, {24}, {24}, {24}, {23}, {17}, {20}, {26}, {19, 21}, {18}, {16}, {27}, {22}, {25},
        {}, {}, {}, {}, {}, {}, {}, {}, {}, {26}, {}};
    for (int32_t item = 0; item < 27; ++item)
        for (int32_t slot = 16; slot < 28; ++slot) {
            const bool want = std::find(fits[item].begin(), fits[item].end(), slot) != fits[item].end();
            EXPECT_EQ(item_proto_fits_slot(slot, item), want ? 1 : 0) << item << " in " << slot;
            EXPECT_EQ(inventory_item_fits_slot(slot, item), want ? 1 : 0) << item << " in " << slot;
        }
    EXPECT_EQ(item_proto_fits_slot(3, -1) + item_proto_fits_slot(3, 27), 0) << "ids outside the table fit nowhere";
    // The lantern has no home slot: only a drop on the shield slot equips it.
    EXPECT_EQ(free_equip_slot_for_type(k_item_lantern), -1);
    for (int32_t c : {-1, 0, 16, 25, 27, 255})
        EXPECT_EQ(equip_slot_for_type(c), -1) << c;

    // Rings: 19, then 21, then none; their home stays 19.
    EXPECT_EQ(free_equip_slot_for_type(k_item_ring), 19);
    carry(9, 19);
    EXPECT_EQ(free_equip_slot_for_type(k_item_ring), 21);
    EXPECT_EQ(equip_slot_for_type(k_item_ring), 19);
    carry(10, 21);
    EXPECT_EQ(free_equip_slot_for_type(k_item_ring), -1);
    EXPECT_EQ(equip_slot_for_type(k_item_ring), 19);
    // A taken home slot gives -1 for other classes; the first entry at a slot is found.
    EXPECT_EQ(free_equip_slot_for_type(k_item_heavy_weapon), 24);
    carry(3, 24);
    carry(1, 24);
    EXPECT_EQ(free_equip_slot_for_type(k_item_fast_weapon), -1);
    EXPECT_EQ(find_item_in_slot(24), 29);
    EXPECT_EQ(find_item_in_slot(5), -1);
    EXPECT_EQ(free_equip_slot_for_type(k_item_helm), 17);
}

TEST_F(equipment_slots_test, TheQuickBarFileRoundTripsAndBadFilesChangeNothing)
{
    // A missing file leaves the start bar: slots 0 to 9 empty, nothing selected.
    g_interface = game_interface{};
    const std::vector<uint8_t> start = bar_bytes();
    read_quick_bar();
    EXPECT_EQ(bar_bytes(), start);
    EXPECT_TRUE(g_interface.quick_ids[9] == -1 && g_interface.quick_selected == 255);

    // Round trip, byte for byte, and the written file is the owner's to change.
    fill_bar();
    const std::vector<uint8_t> written = bar_bytes();
    ASSERT_TRUE(write_quick_bar());
    struct stat st;
    ASSERT_EQ(stat("global/quick.dat", &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    std::vector<uint8_t> stored;
    ASSERT_TRUE(read_packed_file("global/quick.dat", &stored));
    ASSERT_EQ(stored.size(), 81u);
    EXPECT_EQ(stored, written);  // the fields in order, little-endian as the machine
    std::memset(g_interface.quick_ids, 0, sizeof g_interface.quick_ids);
    g_interface.quick_selected = 0;
    read_quick_bar();
    // Ids, kinds and the selection come back; the icons are the slots' own again (below).
    const auto without_icons = [](std::vector<uint8_t> bytes) {
        std::fill(bytes.begin() + 32, bytes.begin() + 64, uint8_t(0));
        return bytes;
    };
    EXPECT_EQ(without_icons(bar_bytes()), without_icons(written));
    const std::vector<uint8_t> read_back = bar_bytes();

    // A short file and a long one are logged and ignored.
    for (size_t size : {size_t(80), size_t(82)}) {
        std::vector<uint8_t> bad(size, 1);
        ASSERT_TRUE(write_packed_file("global/quick.dat", bad));
        read_quick_bar();
        EXPECT_EQ(bar_bytes(), read_back) << size;
    }
    EXPECT_NE(read_text(k_console_log_file).find("global/quick.dat"), std::string::npos);

    // Unknown kinds and ids outside their tables read as empty slots; the rest stays.
    std::vector<uint8_t> hostile = written;
    auto put = [&](int slot, int16_t id, uint8_t kind) {
        std::memcpy(&hostile[2 * slot], &id, 2);
        hostile[64 + slot] = kind;
    };
    put(1, 27, 1);   // item id = item count
    put(4, -2, 2);   // negative item id
    put(5, k_spell_slots, 3);  // spell id past the table
    put(7, 3, 4);    // kind above 3
    put(8, 26, 2);   // the last item: kept
    put(2, 150, 3);  // a spell not loaded yet: kept for the bar to judge
    ASSERT_TRUE(write_packed_file("global/quick.dat", hostile));
    read_quick_bar();
    for (int slot : {1, 4, 5, 7})
        EXPECT_TRUE(g_interface.quick_ids[slot] == -1 && g_interface.quick_kinds[slot] == 0 &&
                    g_interface.quick_icons[slot] == 0)
            << slot;
    // Stored icon numbers are not trusted: an item slot shows its item's icon, a spell slot's
    // icon is looked up when the bar is drawn.
    EXPECT_TRUE(g_interface.quick_ids[8] == 26 && g_interface.quick_kinds[8] == 2);
    EXPECT_EQ(g_interface.quick_icons[8], g_item_protos[26].icon_texture);
    EXPECT_TRUE(g_interface.quick_ids[2] == 150 && g_interface.quick_icons[2] == k_quick_icon_unknown);
    EXPECT_EQ(g_interface.quick_selected, 7);

    // A write that cannot complete fails, keeps the old file and leaves no temporary.
    ASSERT_TRUE(write_quick_bar());
    const std::vector<uint8_t> before = read_bytes("global/quick.dat");
    g_interface.quick_selected = 1;
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit no_growth{0, limit.rlim_max};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &no_growth), 0);
    const bool wrote = write_quick_bar();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(read_bytes("global/quick.dat"), before);
    for (const auto& f : std::filesystem::directory_iterator("global"))
        EXPECT_EQ(f.path().filename().string().find(".~"), std::string::npos) << "no temporary left";
}

} // namespace
