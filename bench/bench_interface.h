// What the interface benchmarks share: grey images in texture slots of their own and the player
// character in character slot 0 with a world object. Callers keep and restore what they change.
#pragma once

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/textures.h"
#include "items/items.h"
#include "platform/image_writer.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdint>
#include <memory>
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

// The interface, the character count, the player slot, character slot 0 and the whole item
// table as they were, put back when it goes.
class kept_interface_scene {
public:
    kept_interface_scene()
        : interface_(g_interface), char_count_(g_char_count), player_(g_player_char),
          hero_(std::make_unique<char_record>(g_chars[0])), items_(std::make_unique<item_proto[]>(k_item_slots)),
          item_count_(g_item_proto_count)
    {
        std::copy(g_item_protos, g_item_protos + k_item_slots, items_.get());
    }
    ~kept_interface_scene()
    {
        std::copy(items_.get(), items_.get() + k_item_slots, g_item_protos);
        g_item_proto_count = item_count_;
        g_chars[0] = *hero_;
        g_char_count = char_count_;
        g_player_char = player_;
        g_interface = interface_;
    }
    kept_interface_scene(const kept_interface_scene&) = delete;
    kept_interface_scene& operator=(const kept_interface_scene&) = delete;

private:
    game_interface interface_;
    uint32_t char_count_, player_;
    std::unique_ptr<char_record> hero_;
    std::unique_ptr<item_proto[]> items_;
    int32_t item_count_;
};
