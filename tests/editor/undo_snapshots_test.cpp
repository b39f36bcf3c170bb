// The undo store: snapshots of the objects, lights and movement map pushed to files and popped
// back, the sixty kept, the Global page's undo button, and damaged snapshots refused whole.
#include "level/level_fixture.h"

#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"
#include "editor/store/undo_snapshots.h"
#include "editor/windows/mode_tabs.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "platform/files.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstring>
#include <filesystem>

namespace {

class UndoSnapshots : public level_test {
protected:
    void SetUp() override
    {
        level_test::SetUp();
        saved_.keep(g_undo_counter), saved_.keep(g_map_dirty), saved_.keep(g_global_settings_window);
        g_undo_counter = 0;
        g_map_dirty = 0;
        fill_every_section();
        dialog_template t;
        t.caption = "Global";
        t.controls = {make_control(control_kind::button, k_glset_undo, 4, 4, 40, 14)};
        g_global_settings_window = create_dialog(t, nullptr);
        enable_item(g_global_settings_window, k_glset_undo, 0);
    }
    void TearDown() override
    {
        destroy_dialog(g_global_settings_window);
        saved_.restore();
        level_test::TearDown();
    }
    static bool button_enabled()
    {
        const control_record* c = find_control(g_global_settings_window, k_glset_undo, control_kind::button);
        return c && c->enabled;
    }
    static bool snapshot_exists(uint32_t n) { return std::filesystem::exists(undo_snapshot_path(n)); }
    saved_globals saved_;
};

} // namespace

TEST_F(UndoSnapshots, PopBringsBackObjectsLightsAndMovementMapButNotTheOtherTablesAndLeavesOtherStreamsOpen)
{
    write_text("other.bin", "xyz");
    packed_stream* other = stream_open("other.bin", "r");
    ASSERT_NE(other, nullptr);

    const level_snapshot before = level_snapshot::take();
    push_undo_snapshot();
    EXPECT_EQ(g_undo_counter, 1u);
    EXPECT_TRUE(snapshot_exists(1));
    EXPECT_TRUE(button_enabled());
    EXPECT_EQ(g_map_dirty, 1u);

    // Edit every kind of table, then take the snapshot back.
    ASSERT_GE(add_object(5, 6, 0, 1.0f, 1.0f, 0, 0), 0);
    g_objects[1].x += 40.0f;
    g_lights[3].x += 7.0f;
    g_movement_map.cells[4] = 1;
    g_sectors[0].count += 1;
    ASSERT_GT(g_char_placements.count, 0);
    g_char_placements.entries[0].x += 3.0f;
    const level_snapshot edited = level_snapshot::take();
    g_map_dirty = 0;
    pop_undo_snapshot();
    const level_snapshot after = level_snapshot::take();
    EXPECT_EQ(after.objects, before.objects);
    EXPECT_EQ(after.lights, before.lights);
    EXPECT_EQ(after.cells, before.cells);
    EXPECT_EQ(after.sectors, edited.sectors);
    EXPECT_EQ(after.placements, edited.placements);
    EXPECT_EQ(g_undo_counter, 0u);
    EXPECT_FALSE(snapshot_exists(1));
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_TRUE(button_enabled());

    // The stream opened before is still open and readable.
    char c = 0;
    EXPECT_EQ(stream_read(&c, 1, other), 1);
    EXPECT_EQ(c, 'x');
    stream_close(other);

    // Three pushes, three pops: the counter at 0, the button still enabled; a fourth pop
    // disables it and changes nothing.
    for (int i = 0; i < 3; ++i)
        push_undo_snapshot();
    for (int i = 0; i < 3; ++i)
        pop_undo_snapshot();
    EXPECT_EQ(g_undo_counter, 0u);
    EXPECT_TRUE(button_enabled());
    EXPECT_TRUE(std::filesystem::is_empty(k_undo_folder));
    g_map_dirty = 0;
    pop_undo_snapshot();
    EXPECT_FALSE(button_enabled());
    EXPECT_EQ(g_map_dirty, 0u);
}

TEST_F(UndoSnapshots, SixtyKeptWithoutTheGlobalPageAndAPopPastThemForgetsTheRest)
{
    destroy_dialog(g_global_settings_window);
    g_global_settings_window = 0;
    for (int i = 0; i < 61; ++i)
        push_undo_snapshot();
    EXPECT_EQ(g_undo_counter, 61u);
    EXPECT_FALSE(snapshot_exists(1));
    for (uint32_t n = 2; n <= 61; ++n)
        EXPECT_TRUE(snapshot_exists(n)) << n;

    g_undo_counter = 1;
    pop_undo_snapshot();  // file 1 is gone: the counter drops to 0
    EXPECT_EQ(g_undo_counter, 0u);

    push_undo_snapshot();
    make_folder("global/undo/sub");
    clear_undo_folder();
    EXPECT_FALSE(snapshot_exists(1));
    EXPECT_TRUE(std::filesystem::is_directory("global/undo/sub"));
}

TEST_F(UndoSnapshots, ADamagedSnapshotIsLoggedAndDeletedWithTheTablesAndTheDirtyFlagUnchanged)
{
    push_undo_snapshot();
    const std::vector<uint8_t> good = read_bytes(undo_snapshot_path(1));
    ASSERT_TRUE(undo_snapshot_is_sound(good.data(), good.size()));
    const size_t objects = 12 + size_t(g_object_count) * 420;
    const size_t movemap = objects + 4 + 100 * 180;

    auto damaged = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    };
    std::vector<std::vector<uint8_t>> cases = {
        std::vector<uint8_t>(good.begin(), good.end() - 1),              // a cell short
        std::vector<uint8_t>(good.begin(), good.begin() + long(objects)), // no lights
        damaged(0, 400),                                                  // record size
        damaged(4, g_object_capacity + 1),                                // count beyond capacity
        damaged(objects, 179),                                            // light size
        damaged(movemap + 4, 0x00FF0040),                                 // 64 x 255 cells
    };
    cases.push_back(good);
    cases.back().push_back(0);  // a byte too many
    add_object(5, 6, 0, 1.0f, 1.0f, 0, 0);
    const level_snapshot edited = level_snapshot::take();
    for (const auto& bytes : cases) {
        EXPECT_FALSE(undo_snapshot_is_sound(bytes.data(), bytes.size()));
        write_bytes(undo_snapshot_path(7), bytes);
        g_undo_counter = 7;
        g_map_dirty = 0;
        g_console_history[0][0] = 0;
        pop_undo_snapshot();
        EXPECT_EQ(g_undo_counter, 6u);
        EXPECT_FALSE(snapshot_exists(7));
        EXPECT_EQ(g_map_dirty, 0u);
        EXPECT_NE(std::strstr(g_console_history[0], "poskodeny"), nullptr);
        expect_same(level_snapshot::take(), edited);
    }

    // A push that cannot write leaves the counter as it was.
    std::filesystem::remove_all(k_undo_folder);
    write_text(k_undo_folder, "a file in the folder's place");
    g_undo_counter = 3;
    push_undo_snapshot();
    EXPECT_EQ(g_undo_counter, 3u);
}
