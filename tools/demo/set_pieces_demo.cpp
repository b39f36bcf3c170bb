// The levels' set pieces as a player tells them from the scenery: signposts whose boards name
// where they lead, trodden paths over the ways out of a level, a lever that tips over when
// pulled and a gate that swings open with it, the statue and the shrine. Their pictures go to
// "data/sprites/"; the prototypes are the level's own.
#include "tools/demo/demo_canvas.h"
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "script/map_events.h"
#include "world/object_protos.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr uint32_t k_wood = 0xFF8A5A2Cu, k_light_wood = 0xFFC89A5Cu, k_stone = 0xFF9A9AA2u;

// A sprite prototype of the level with `count` frames "data/sprites/<stem>NN.tga", each painted
// by `paint` on a width x height canvas; its slot. The object rests on its first frame until an
// entity plays the frames forward (opened) or back (closed).
int32_t frames_proto(const std::string& stem, int32_t count, uint32_t width, uint32_t height,
                     const std::function<void(canvas&, int32_t)>& paint)
{
    const int32_t slot = sprite_proto(stem.c_str(), "", int32_t(width), int32_t(height));
    object_proto& p = g_object_protos[slot];
    p.frame_counts[0] = count;
    p.frame_delay = 3;
    p.anim_mode = k_anim_once_backward;
    for (int32_t f = 0; f < count; ++f) {
        char name[k_proto_frame_name_size];
        std::snprintf(name, sizeof name, "data/sprites/%s%02d.tga", stem.c_str(), int(f));
        canvas c(width, height, 0);
        paint(c, f);
        c.save(name);
        copy_bounded(p.frame_names[f], sizeof p.frame_names[f], name);
        p.frames[0][f] = -1;
    }
    return slot;
}

// A signpost whose board carries `board` in dark letters.
int32_t signpost_proto(const std::string& name, const char* board)
{
    return frames_proto("sign_" + name, 1, 64, 96, [board](canvas& c, int32_t) {
        c.bar(16.0f, 14.0f, 16.0f, 46.0f, 1.6f, k_wood, k_ink);
        c.box(2.0f, 4.0f, 30.0f, 17.0f, k_light_wood, k_ink);
        canvas letters(52, 22, 0);
        letters.label(board, k_ink, 15);
        c.paste(letters, 6, 11);
    });
}

// A patch of trodden earth, its edge fading into the grass.
int32_t path_proto()
{
    return frames_proto("path", 1, 128, 128, [](canvas& c, int32_t) {
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x) {
                const float dx = (float(x) - 63.5f) / 64.0f, dy = (float(y) - 63.5f) / 64.0f;
                const float angle = std::atan2(dy, dx);
                const float edge = 0.9f + 0.06f * std::sin(5.0f * angle) + 0.03f * std::sin(11.0f * angle);
                const float d = std::hypot(dx, dy) / edge;
                if (d >= 1.0f)
                    continue;
                const uint32_t grain = ((x * 2654435761u) ^ (y * 40503u)) >> 28;
                const uint32_t alpha = uint32_t(220.0f * std::min(1.0f, (1.0f - d) * 5.0f));
                c.put(int(x), int(y), argb(alpha, 150 - grain * 3, 115 - grain * 3, 70 - grain * 2));
            }
    });
}

} // namespace

event_record& add_event(const char* name)
{
    event_record* e = append_event(name);
    require(e != nullptr, name);
    *e = event_record{};
    init_event(e, name);
    return *e;
}

int32_t add_exit(const level_exit& way)
{
    add_rect_sector(way.x0, way.y0, way.x1, way.y1, 4);
    const int32_t sector = int32_t(g_sector_count) - 1;
    // The path covers the rectangle; the signpost stands on it.
    const float width = way.x1 - way.x0, height = way.y1 - way.y0;
    const int32_t path = place(path_proto(), way.x0 + width / 2, way.y0 + height / 2, 1, false);
    g_objects[path].scale = std::max(width, height) / 110.0f;
    place(signpost_proto(way.name, way.board), way.sign_x, way.sign_y, 10, true);

    event_record& e = add_event(way.name);
    const int32_t sectors[] = {sector};
    add_event_condition(&e, k_cond_player_in_sector, sectors, 1, nullptr, 0);
    const int32_t numbers[] = {way.number};
    add_event_action(&e, way.action, numbers, 1, nullptr, 0);
    copy_bounded(e.action_text[0], sizeof e.action_text[0], way.text);
    return sector;
}

void lay_small_ground(int32_t meadow, float r, float g, float b)
{
    lay_ground(meadow, k_small_west, k_small_north, 6, 5, r, g, b);
}

void add_way_back_to_gate()
{
    add_exit({"to_gate", k_small_east - 190.0f, k_small_south - 230.0f, k_small_east, k_small_south, 860.0f, 690.0f,
              "Gate", k_act_load_map, "brana.sav", 0});
}

int32_t add_signpost(const char* name, const char* board, float x, float y)
{
    return place(signpost_proto(name, board), x, y, 10, true);
}

void add_map_location_event(int32_t location)
{
    const int32_t numbers[] = {location};
    add_event_action(&add_event("on_the_map"), k_act_enable_location, numbers, 1, nullptr, 0);
}

int32_t lever_proto()
{
    // The handle tips from the left over to the right, the knob red.
    return frames_proto("lever", 8, 64, 64, [](canvas& c, int32_t f) {
        c.box(9.0f, 24.0f, 23.0f, 30.0f, k_stone, k_ink);
        const float angle = (-40.0f + 80.0f * float(f) / 7.0f) * 3.14159265f / 180.0f;
        const float x = 16.0f + 15.0f * std::sin(angle), y = 25.0f - 15.0f * std::cos(angle);
        c.bar(16.0f, 25.0f, x, y, 1.2f, k_wood, k_ink);
        c.disc(x, y, 2.6f, 0xFFD03020u, k_ink);
    });
}

int32_t gate_proto()
{
    // Two stone posts under a lintel; the wooden leaves swing open towards the viewer.
    return frames_proto("gate", 8, 96, 96, [](canvas& c, int32_t f) {
        c.box(1.0f, 6.0f, 6.0f, 31.0f, k_stone, k_ink);
        c.box(26.0f, 6.0f, 31.0f, 31.0f, k_stone, k_ink);
        c.box(1.0f, 3.0f, 31.0f, 7.0f, shade(k_stone, 0.8f), k_ink);
        const float leaf = 10.0f * (1.0f - 0.8f * float(f) / 7.0f);
        c.box(6.0f, 8.0f, 6.0f + leaf, 30.0f, k_wood, k_ink);
        c.box(26.0f - leaf, 8.0f, 26.0f, 30.0f, k_wood, k_ink);
        for (float x : {6.0f + leaf / 2, 26.0f - leaf / 2})
            c.bar(x, 9.0f, x, 29.0f, 0.3f, shade(k_wood, 0.6f));
    });
}

int32_t statue_proto()
{
    // A grey figure on its plinth.
    return frames_proto("statue", 1, 64, 96, [](canvas& c, int32_t) {
        c.box(7.0f, 38.0f, 25.0f, 46.0f, shade(k_stone, 0.8f), k_ink);
        c.box(11.0f, 15.0f, 21.0f, 38.0f, k_stone, k_ink);
        c.bar(11.0f, 17.0f, 6.0f, 29.0f, 1.6f, k_stone, k_ink);
        c.bar(21.0f, 17.0f, 26.0f, 8.0f, 1.6f, k_stone, k_ink);
        c.disc(16.0f, 10.0f, 4.0f, k_stone, k_ink);
    });
}

int32_t shrine_proto()
{
    // A stone pillar carrying a blue light.
    return frames_proto("shrine", 1, 64, 80, [](canvas& c, int32_t) {
        c.box(5.0f, 30.0f, 27.0f, 39.0f, shade(k_stone, 0.8f), k_ink);
        c.box(11.0f, 14.0f, 21.0f, 30.0f, k_stone, k_ink);
        c.ring(16.0f, 8.0f, 5.0f, 7.0f, 0x8060A0FFu);
        c.disc(16.0f, 8.0f, 4.5f, 0xFF70B0FFu, 0xFF2040A0u);
    });
}
