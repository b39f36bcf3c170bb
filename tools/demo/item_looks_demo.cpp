// The demo helm: a cap over the hero's head in every clip of its animation folders, tinted gold,
// with sparks floating above the wearer; the hero wears it.
#include "tools/demo/demo_data.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "level/level_effects.h"
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* k_helm_key = "kapa";
constexpr const char* k_hero_clips[] = {"stand1", "move1", "attack1", "death1", "hit1"};
constexpr float k_helm_growth = 1.15f;
constexpr int16_t k_sparks_efect = 0;


// The hero's head of a clip, grown about its middle in every frame, saved as the helm's model of
// that clip with the head's skin file.
void write_helm_model(const std::string& folder)
{
    model m;
    require(read_model(&m, (folder + "head.3d").c_str()), folder + "head.3d");
    scale_model_about_middle(m, k_helm_growth, k_helm_growth, k_helm_growth);
    const std::string stem = folder + k_helm_key;
    require(save_model(&m, (stem + ".3d").c_str()), stem + ".3d");
    std::vector<uint8_t> skin;
    require(read_whole_file((folder + "head.sk").c_str(), &skin), folder + "head.sk");
    require(write_whole_file((stem + ".sk").c_str(), skin.data(), skin.size()), stem + ".sk");
    free_model(&m);
}

// Effect prototype 0: the sparks, from the objects' template.
void write_sparks_efect()
{
    require(make_folder("data/efects"), "data/efects");
    std::vector<uint8_t> sparks;
    require(read_whole_file("data/objects/sparks.pr", &sparks), "data/objects/sparks.pr");
    require(write_whole_file("data/efects/sparks.pr", sparks.data(), sparks.size()), "data/efects/sparks.pr");
    init_efect_proto_entry(&g_efect_protos[k_sparks_efect]);
    copy_bounded(g_efect_protos[k_sparks_efect].name, k_efect_name_size, "sparks");
    g_efect_proto_count = std::max<int16_t>(g_efect_proto_count, k_sparks_efect + 1);
    table_file_read(g_efect_protos_file, true);
    require(save_efect_protos(), k_efect_protos_file);
}

// The helm's icon and big image, "data/predmety/kapa.tga" and "big_kapa.tga".
void write_helm_pictures()
{
    constexpr uint32_t gold = 0xFFDCB43Cu;
    write_item_picture(std::string("data/predmety/") + k_helm_key + ".tga", k_helm_key, 32, gold);
    write_item_picture(std::string("data/predmety/big_") + k_helm_key + ".tga", k_helm_key, 64, gold);
}

void add_helm_record()
{
    require(k_demo_helm < g_item_proto_count && g_item_protos[k_demo_helm].deleted, "a free record for the helm");
    item_proto& helm = g_item_protos[k_demo_helm];
    helm = item_proto{};
    copy_bounded(helm.key_name, sizeof helm.key_name, k_helm_key);
    copy_bounded(helm.display_name, sizeof helm.display_name, "Golden helm");
    copy_bounded(helm.model_name, sizeof helm.model_name, k_helm_key);
    helm.item_class = k_item_helm;
    helm.armour_bonus = 2;
    helm.price = 40;
    helm.attunement_link = -1;
    helm.critical_multiplier = 1.0f;
    item_lists& lists = g_item_lists[k_demo_helm];
    lists = item_lists{};
    lists.efects[0] = item_property{k_efect_change_3d_part_color, {9, 20, 16, 4, 20, 0, 0, 0}};
    lists.efects[1] = item_property{k_efect_add_efect2d, {1, k_sparks_efect, 20, 0, 0, 0, 0, 0}};
    helm.efect_count = 2;
    require(save_items(), "global/items.dat");
}

// The hero of "global/characters.dat" wears the helm; the table in memory is kept.
void give_helm_to_hero()
{
    auto chars = std::make_unique<char_record[]>(k_char_slots);
    std::copy(g_chars, g_chars + k_char_slots, chars.get());
    uint32_t count = g_char_count;
    require(read_characters(false), k_characters_file);
    char_record* hero = nullptr;
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        if (g_chars[s].kind == k_kind_player)
            hero = &g_chars[s];
    require(hero && hero->inv_count < k_inventory_entries, "the hero's backpack");
    const int i = hero->inv_count++;
    hero->inv_item[i] = k_demo_helm;
    hero->inv_location[i] = k_inv_helm;
    hero->inv_value[i] = 1;
    hero->inv_damage_type[i] = 0;
    require(write_characters(), k_characters_file);
    std::copy(chars.get(), chars.get() + k_char_slots, g_chars);
    g_char_count = count;
}

} // namespace

void write_item_looks_demo_data()
{
    for (const char* clip : k_hero_clips)
        write_helm_model(std::string("3d/hero/1/") + clip + "/");
    write_sparks_efect();
    write_helm_pictures();
    add_helm_record();
    give_helm_to_hero();
}
