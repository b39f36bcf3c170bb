// What the interface benchmarks share: grey images in texture slots of their own and the player
// character in character slot 0 with a world object. Callers keep and restore what they change.
#pragma once

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "engine/textures.h"
#include "platform/image_writer.h"
#include "world/world_objects.h"

#include <cstdint>
#include <string>
#include <vector>

// A side x side grey image written as "<name>.tga" and loaded into a texture slot.
inline uint16_t bench_image(const std::string& name, uint32_t side)
{
    std::vector<uint32_t> texels(side * side, 0xFF808080u);
    const std::string file = name + ".tga";
    write_image_file(file.c_str(), texels.data(), side, side);
    return uint16_t(get_texture(file.c_str(), 0, 0, 0, 0, 1, 0));
}

// A fresh, living player in slot 0 (the only character) at world (500, 500); object 0 is a
// placeholder so the hero's object is not the first.
inline char_record& place_bench_hero()
{
    reserve_objects(8);
    add_object(0.0f, 0.0f, -1, 1.0f, 1.0f, 0, 0);
    char_record& hero = g_chars[0];
    hero = char_record{};
    hero.kind = k_kind_player;
    hero.life = k_life_alive;
    hero.slot = 0;
    hero.object = add_object(500.0f, 500.0f, -2, 1.0f, 1.0f, 0, 0);
    g_char_count = 1;
    g_player_char = 0;
    return hero;
}
