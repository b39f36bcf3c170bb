#include "world/environment_fixture.h"

#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "interface/interface_state.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "script/script_services.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <cstring>

int32_t environment_test::s_hero_object = -1;
int32_t environment_test::s_hero_mana = 0;
uint8_t environment_test::s_hero_life = 2;
bool environment_test::s_hero_warded = false;

void environment_test::SetUp()
{
    saved_.keep(g_settings), saved_.keep(g_scene_header), saved_.keep(g_sectors), saved_.keep(g_sector_count);
    saved_.keep(g_rain), saved_.keep(g_snow), saved_.keep(g_fog), saved_.keep(g_lightning);
    saved_.keep(g_dream_world), saved_.keep(g_camera_shake), saved_.keep(g_blood), saved_.keep(g_water_circle);
    saved_.keep(g_interface), saved_.keep(g_text_viewer_open), saved_.keep(g_dialogue_running);
    object_test::SetUp();
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot)
        g_object_protos[slot].kind = k_proto_free;
    g_settings.gr_displayweather = 1;
    std::memset(&g_scene_header, 0, sizeof g_scene_header);
    reset_scene_header(&g_scene_header);
    g_sector_count = 0;
    std::memset(g_sectors, 0, sizeof g_sectors);
    for (weather_emitters* w : {&g_rain, &g_snow, &g_fog}) {
        std::memset(w, 0, sizeof *w);
        w->template_slot = -1;
    }
    g_lightning = {};
    std::memset(&g_dream_world, 0, sizeof g_dream_world);
    for (uint16_t& t : g_dream_world.textures)
        t = 0xFFFF;
    g_camera_shake = {};
    for (int v = 0; v < k_blood_variants; ++v)
        g_blood.blood[v] = g_blood.bleed[v] = -1;
    g_water_circle.template_slot = -1;
    g_interface.menu_open = 0;
    g_text_viewer_open = 0;
    g_dialogue_running = 0;

    s_hero_object = -1;
    s_hero_mana = 0;
    s_hero_life = 2;
    s_hero_warded = false;
    link_weather_to_objects();
    link_dream_world_to_objects();
    g_object_links.char_object = [](int32_t slot) { return slot == 0 ? s_hero_object : -1; };
    g_object_links.char_life_state = [](int32_t) { return s_hero_life; };
    g_dream_hero.mana = [] { return s_hero_mana; };
    g_dream_hero.set_mana = [](int32_t value) { s_hero_mana = value; };
    g_dream_hero.has_attunement = [](int32_t item) { return s_hero_warded && item == k_dream_ward_item; };
    make_folder("data/env");
    audio_init_headless(k_audio_rate);
    g_sound_enabled = 1;
    sound_init();
}

void environment_test::TearDown()
{
    audio_shutdown();
    g_sound_enabled = 0;
    g_dream_hero = {};
    object_test::TearDown();
    saved_.restore();
}

void environment_test::write_template(const char* path, int32_t kind)
{
    const int32_t scratch = k_proto_slots - 1;
    object_proto& p = g_object_protos[scratch];
    reset_object_proto(&p);
    copy_bounded(p.name, sizeof p.name, path);
    p.kind = kind;
    p.anim_count = 3;
    p.frame_counts[0] = 1;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], "drop00.tga");
    write_test_image("drop00.tga", 16, 16);
    packed_stream* out = stream_open(path, "wp");
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(write_object_proto(scratch, out));
    ASSERT_EQ(stream_close(out), 0);
    reset_object_proto(&p);
}

int32_t environment_test::place_hero(float x, float y, int32_t mana)
{
    s_hero_object = add_object(x, y, -1, 1.0f, 1.0f, 0, 0);
    s_hero_mana = mana;
    return s_hero_object;
}
