#include "characters/char_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/model_test_support.h"
#include "engine/models.h"
#include "platform/files.h"
#include "world/dream_world.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

void empty_model_tables()
{
    release_char_models();
    for (model& m : g_char_models)
        free_model(&m);
}

} // namespace

void char_test::SetUp()
{
    folder_ = std::make_unique<temp_folder>();
    saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_player_char);
    saved_.keep(g_ticks), saved_.keep(g_elapsed_ms), saved_.keep(g_dream_world.active);
    saved_.keep(g_zoom), saved_.keep(g_camera_x), saved_.keep(g_camera_y);
    saved_.keep(g_screen_width), saved_.keep(g_screen_height);
    saved_.keep(g_lights), saved_.keep(g_light_count);
    g_char_count = 0;
    g_player_char = 0;
    std::memset(g_lights, 0, sizeof g_lights);  // every light free
    g_light_count = 0;
    empty_model_tables();
    free_objects();
    ASSERT_TRUE(reserve_objects(64));
    ASSERT_TRUE(make_folder("global"));
    g_console_enabled = 1;
    g_editor_enabled = 0;
    g_dream_world.active = 0;
    g_ticks = 100;
    g_elapsed_ms = 1600;
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = 0.0f;
    g_screen_width = 1024;
    g_screen_height = 768;
}

void char_test::TearDown()
{
    empty_model_tables();
    free_objects();
    saved_.restore();
    g_console_enabled = 0;
    folder_.reset();
}

void write_clip(const char* appearance, int set, const char* clip, std::initializer_list<const char*> parts,
                int frames)
{
    std::string folder = std::string("3d/") + appearance + "/" + std::to_string(set) + "/" + clip + "/";
    ASSERT_TRUE(make_folder(folder.c_str()));
    model m;
    make_grid_model(m, 1, 1, 1, frames);
    for (const char* part : parts)
        ASSERT_TRUE(save_model(&m, (folder + part + ".3d").c_str()));
}

char_record& make_char(int slot, const char* appearance, uint8_t kind)
{
    char_record& c = g_chars[slot];
    c = char_record{};
    c.kind = kind;
    c.life = k_life_alive;
    c.object = -1;
    c.slot = int16_t(slot);
    c.anim_set = 1;
    // No clips, as for a character that entered the world.
    auto no_clips = [](auto& clips) { std::fill(std::begin(clips), std::end(clips), int16_t(-1)); };
    no_clips(c.clip_stand);
    no_clips(c.clip_move);
    no_clips(c.clip_attack);
    no_clips(c.clip_death);
    no_clips(c.clip_hit);
    no_clips(c.clip_spell);
    no_clips(c.clip_special);
    copy_bounded(c.appearance, sizeof c.appearance, appearance);
    std::snprintf(c.name, sizeof c.name, "%s%d", appearance, slot);
    if (g_char_count <= uint32_t(slot))
        g_char_count = uint32_t(slot + 1);
    return c;
}

std::string log_text()
{
    return read_text(k_console_log_file);
}
