// The demo levels, written through the level map writer from tables filled here: the menu level
// "data/levels/start.sav", the level "data/levels/brana.sav" to change to, and the editor's
// empty template "global/empty". Also the loading pictures of a level change.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "characters/monster_points.h"
#include "characters/monster_spawning.h"
#include "characters/char_record.h"
#include "characters/char_spawning.h"
#include "characters/placements.h"
#include "core/utilities.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Every level table empty, as before a map is read: no prototypes, sectors, events, texts,
// entities, objects, lights, effects, containers, placements, ground items or monster points;
// a new scene header.
void clear_level_tables()
{
    for (int32_t s = 0; s < k_proto_slots; ++s)
        reset_object_proto(&g_object_protos[s]);
    g_object_proto_count = 0;
    for (map_sector& sector : g_sectors)
        clear_sector(&sector);
    g_sector_count = 0;
    g_event_count = 0;
    g_map_text_count = 0;
    g_entity_count = 0;
    reserve_objects(0);
    for (light_record& light : g_lights)
        light.state = k_light_free;
    g_light_count = 0;
    g_level_effect_count = 0;
    free_level_containers();
    g_char_placements.count = 0;
    g_ground_item_count = 0;
    reset_monster_points(&g_monster_points);
    reset_scene_header(&g_scene_header);
}

namespace {

// A level prototype from a demo ".pr" file; its frame slots are cleared, the game loads them.
int32_t proto_from_file(const char* path)
{
    int32_t slot = int32_t(g_object_proto_count);
    packed_stream* in = stream_open(path, "rp");
    bool read = read_object_proto(slot, in, 0);
    stream_close(in);
    require(read, path);
    object_proto& p = g_object_protos[slot];
    for (auto& animation : p.frames)
        for (int32_t& frame : animation)
            frame = -1;
    p.frames_loaded = 0;
    ++g_object_proto_count;
    return slot;
}

// The demo crate as a mesh prototype.
int32_t crate_proto()
{
    int32_t slot = add_empty_object_proto();
    object_proto& p = g_object_protos[slot];
    copy_bounded(p.name, sizeof p.name, "crate");
    p.kind = k_proto_mesh;
    p.frame_counts[0] = 1;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], "3d\\demo\\crate.3d");
    p.frames[0][0] = -1;
    p.default_layer = 10;
    return slot;
}

} // namespace

level_protos add_level_protos()
{
    level_protos p;
    p.meadow = proto_from_file("data/objects/meadow.pr");
    p.torch = proto_from_file("data/objects/torch.pr");
    p.wheel = proto_from_file("data/objects/wheel.pr");
    p.sparks = proto_from_file("data/objects/sparks.pr");
    p.crate = crate_proto();
    return p;
}

int32_t place(int32_t proto, float x, float y, uint8_t layer, bool depth_sorted, float r, float g, float b)
{
    int32_t i = add_object(x, y, proto, 1.0f, 1.0f, 0, 0);
    world_object& o = g_objects[i];
    o.layer = layer;
    o.depth_sorted = depth_sorted ? 1 : 0;
    o.red = r;
    o.green = g;
    o.blue = b;
    return i;
}

int32_t sprite_proto(const char* name, const char* image, int32_t width, int32_t height)
{
    int32_t slot = add_empty_object_proto();
    object_proto& p = g_object_protos[slot];
    copy_bounded(p.name, sizeof p.name, name);
    p.kind = k_proto_sprite;
    p.width = width;
    p.height = height;
    p.frame_counts[0] = 1;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], image);
    p.frames[0][0] = -1;
    return slot;
}

void add_object_entity(int16_t entity, const char* name, int32_t object)
{
    entity_record& e = g_entities[entity];
    e = entity_record{};
    e.state = 1;
    copy_bounded(e.name, sizeof e.name, name);
    e.sector = -1;
    e.link = -1;
    if (uint32_t(entity) >= g_entity_count)
        g_entity_count = uint32_t(entity) + 1;
    g_objects[object].entity = entity;
}

void lay_ground(int32_t meadow, float x0, float y0, int columns, int rows, float r, float g, float b)
{
    for (int w = 0; w < rows; ++w)
        for (int c = 0; c < columns; ++c)
            place(meadow, x0 + 192.0f * float(c), y0 + 192.0f * float(w), 0, false, r, g, b);
    scene_header& h = g_scene_header;
    h.camera_min_x = x0;
    h.camera_max_x = x0 + 192.0f * float(columns);
    h.camera_min_y = y0;
    h.camera_max_y = y0 + 192.0f * float(rows);
}

namespace {

void place_emitter(int32_t sparks, float x, float y)
{
    int32_t i = place(sparks, x, y, 100, false);
    g_objects[i].particle_role = k_role_emitter;
}

} // namespace

// A movement map over the rectangle, its cells blocked around each listed point.
void make_movemap(float x0, float y0, float x1, float y1, const std::vector<std::pair<float, float>>& blocked)
{
    int16_t origin_column = int16_t(std::ceil(-x0 / k_cell_size));
    int16_t origin_row = int16_t(std::ceil(-y0 / k_cell_size));
    int16_t columns = int16_t(std::ceil((x1 - x0) / k_cell_size)) + 1;
    int16_t rows = int16_t(std::ceil((y1 - y0) / k_cell_size)) + 1;
    require(create_movemap(&g_movement_map, columns, rows, origin_column, origin_row), "movement map");
    for (auto [x, y] : blocked)
        for (int dx = -32; dx <= 32; dx += 32)
            for (int dy = -32; dy <= 0; dy += 32)
                set_movemap_cell(&g_movement_map, int32_t(x) + dx, int32_t(y) + dy, k_cell_blocked);
}

void add_rect_sector(float x0, float y0, float x1, float y1, int32_t ground)
{
    int32_t n = new_sector();
    require(n >= 0, "sector");
    map_sector& s = g_sectors[n];
    const float points[][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    for (const auto& p : points)
        add_sector_point(&s, p[0], p[1]);
    s.parameter = ground;
    g_sector_count = int16_t(std::max<int32_t>(g_sector_count, n + 1));
}

namespace {

// A point light; its range is in view units (about 80 pixels each at 1024 pixels across).
void add_light(float x, float y, float r, float g, float b, float range)
{
    int32_t slot = create_light(k_light_kind_point, x, y, -2.0f, r, g, b);
    require(slot >= 0, "light");
    g_lights[slot].range = range;
}

// Light 0's colour pulses between its bounds.
void add_pulsing_light_effect(int32_t light)
{
    level_effect& e = g_level_effects[g_level_effect_count++];
    e = level_effect{};
    e.active = 1;
    e.kind = k_effect_light_pulse;
    e.target = light;
    e.period = 3;
    for (effect_channel& c : e.channel)
        c = {0.5f, 1.0f, 0.03f};
}

} // namespace

void set_scene(const char* display_name, uint8_t type, float entry_x, float entry_y, float light)
{
    scene_header& h = g_scene_header;
    copy_bounded(h.display_name, sizeof h.display_name, display_name);
    copy_bounded(h.music_name, sizeof h.music_name, "town");
    h.level_type = type;
    h.light_red = h.light_green = h.light_blue = light;
    h.entry_count = 1;
    h.entry_x[0] = entry_x;
    h.entry_y[0] = entry_y;
    h.ground_type = 2;
}

void save_level(const char* path)
{
    require(write_level_map(path), path);
}

namespace {

// The menu level behind the front end, a gui level around the camera the first level takes
// (-2366, -414): a meadow lit by two torches, a wheel and sparks. Its display name is
// the editor's "new map", which is not announced on entering.
void write_start_level()
{
    clear_level_tables();
    level_protos p = add_level_protos();
    lay_ground(p.meadow, -2432.0f, -448.0f, 7, 5, 1.0f, 1.0f, 1.0f);
    place(p.torch, -2100.0f, -200.0f, 10, true);
    place(p.torch, -1600.0f, -200.0f, 10, true);
    place(p.wheel, -1854.0f, 120.0f, 10, true);
    place_emitter(p.sparks, -2100.0f, -240.0f);
    add_light(-2100.0f, -200.0f, 1.0f, 0.8f, 0.5f, 6.0f);
    add_light(-1600.0f, -200.0f, 1.0f, 0.8f, 0.5f, 6.0f);
    add_pulsing_light_effect(0);
    add_rect_sector(-2400.0f, -400.0f, -1350.0f, 340.0f, 2);
    make_movemap(-2432.0f, -448.0f, -1152.0f, 512.0f, {{-2100.0f, -200.0f}, {-1600.0f, -200.0f}, {-1854.0f, 120.0f}});
    set_scene("new map", k_level_gui, -1854.0f, -30.0f, 0.85f);
    save_level("data/levels/start.sav");
}

// How far the camp sees: a bandit joins a fight once a place beside the hero (some 100 units from
// it) lies this near, the shaman casts at the hero this near; from the entry (512, 384) neither
// does.
constexpr int16_t k_bandit_sight = 200, k_shaman_sight = 420;

// A placed enemy of the bandit class with skills 6 that notices the hero at `sight`.
void make_camp_enemy(char_placement& p, int16_t sight)
{
    p.kind = k_kind_enemy;
    std::fill(std::begin(p.skills), std::end(p.skills), uint8_t(6));
    p.monster_class = 0;
    p.ai_distance = sight;
}

// The level shown as "The Gate": an autumn meadow around its entry point (512, 384), a row of
// torches, two wheels, the crate and the shrine, an inside level under a warm fixed light, in the
// rain.
void write_gate_level()
{
    clear_level_tables();
    level_protos p = add_level_protos();
    lay_ground(p.meadow, k_gate_west, k_gate_north, 8, 6, 1.0f, 0.8f, 0.55f);
    for (int i = 0; i < 5; ++i)
        place(p.torch, 160.0f + 180.0f * float(i), 200.0f, 10, true);
    place(p.wheel, 400.0f, 540.0f, 10, true);
    place(p.wheel, 720.0f, 560.0f, 10, true);
    place(p.crate, 512.0f, 460.0f, 10, true);
    place(shrine_proto(), 120.0f, 520.0f, 10, true);
    add_light(340.0f, 200.0f, 1.0f, 0.6f, 0.3f, 8.0f);
    add_light(700.0f, 200.0f, 1.0f, 0.6f, 0.3f, 8.0f);
    add_pulsing_light_effect(1);
    add_rect_sector(k_gate_west, k_gate_north, k_gate_east, k_gate_south, 4);
    make_movemap(k_gate_west, k_gate_north, k_gate_east, k_gate_south, {{160.0f, 200.0f}, {520.0f, 200.0f}, {880.0f, 200.0f}});
    map_text& text = g_map_texts[g_map_text_count++];
    text.tag = 1;
    copy_bounded(text.key, sizeof text.key, "tabula");
    copy_bounded(text.text, sizeof text.text, "The road is closed.");
    // Two bandits of the bandit class camp east of the gate, out of sight of the entry: they
    // come at the hero once it walks near them. The squire waits on the way there, by the hero's
    // side when the bandits meet it.
    add_char_placement(&g_char_placements, "bandit.chr", 880.0f, 430.0f, 220);
    add_char_placement(&g_char_placements, "bandit.chr", 860.0f, 560.0f, 250);
    add_char_placement(&g_char_placements, "squire.chr", 700.0f, 400.0f, 200);
    for (int i : {0, 1})
        make_camp_enemy(g_char_placements.entries[i], k_bandit_sight);
    g_char_placements.entries[2].kind = k_kind_sidekick;
    // Bandits come back to the clearing east of the gate some hours after the last one fell.
    add_monster_point(&g_monster_points, 1000.0f, 300.0f);
    g_monster_points.kind_class[0] = 0;
    g_monster_points.kind_level[0] = 2;
    g_monster_points.kind_class[1] = 0;  // a second slot: an older bandit on rolls 4 to 6
    g_monster_points.kind_level[1] = 3;
    add_char_placement(&g_char_placements, "villager.chr", 280.0f, 400.0f, 220);
    // A bandit shaman on the north-east path casts at the hero from a distance.
    add_char_placement(&g_char_placements, "shaman.chr", 980.0f, 330.0f, 220);
    make_camp_enemy(g_char_placements.entries[g_char_placements.count - 1], k_shaman_sight);
    set_scene("Brana", k_level_inside, 512.0f, 384.0f, 0.9f);
    g_scene_header.rain_chance = 100;  // it always rains at the gate, for a minute at a time
    g_scene_header.rain_duration = 37;
    add_gate_containers();
    add_gate_events();
    add_gate_road();
    add_gate_entities(p.torch, p.crate);
    add_epilogue_signpost();
    add_gate_ground_items();
    add_gate_laid_torch(p.torch);
    save_level("data/levels/brana.sav");
}

// The editor's new map: the demo's object prototypes, nothing placed, a free movement map of
// 200 x 200 cells, entry point 0 at (512, 384), no sectors.
void write_empty_template()
{
    clear_level_tables();
    add_level_protos();
    require(create_movemap(&g_movement_map, 200, 200, 100, 100), "movement map");
    set_scene("new map", k_level_inside, 512.0f, 384.0f, 0.9f);
    save_level("global/empty");
}

// A loading picture: a dark band with a lighter frame, its hue by picture.
void write_loading_picture(const char* name, uint32_t r, uint32_t g, uint32_t b)
{
    constexpr uint32_t w = 512, h = 256;
    std::vector<uint32_t> texels(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            bool frame = x < 8 || y < 8 || x >= w - 8 || y >= h - 8;
            uint32_t shade = frame ? 255 : 80 + 100 * y / h;
            texels[size_t(y) * w + x] = 0xFF000000u | (r * shade / 255) << 16 | (g * shade / 255) << 8 | (b * shade / 255);
        }
    require(write_image_file(name, texels.data(), w, h), name);
}

} // namespace

void write_levels_demo_data()
{
    for (const char* folder : {"global", "data/levels"})
        require(make_folder(folder), folder);
    write_loading_picture("data/loading.tga", 200, 170, 120);
    write_loading_picture("data/loading2.tga", 120, 170, 200);
    write_loading_picture("data/loading3.tga", 170, 200, 120);
    write_start_level();
    write_gate_level();
    write_empty_template();
    clear_level_tables();
}
