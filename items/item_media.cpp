#include "items/item_media.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "items/items.h"
#include "items/template_protos.h"
#include "platform/random.h"
#include "world/object_protos.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int32_t k_item_sounds = 5;
constexpr uint16_t k_no_texture = 0xFFFF;

// The slot of an item image "data/predmety/<prefix><name>.tga", without checking the file.
uint16_t item_texture(const char* prefix, const char* name)
{
    char path[128];
    std::snprintf(path, sizeof path, "data/predmety/%s%s.tga", prefix, name);
    return uint16_t(get_texture(path, 0, 0, 0, 0, 1, 1));
}

// What one loading pass learned of an image or sound name; the files do not change during it.
struct media_memo {
    std::unordered_map<std::string, bool> has_big_image;
    std::unordered_set<std::string> no_ground_model;
    std::unordered_map<std::string, item_proto> sounds;  // the sound fields of the first item of the name
};

void load_item_images(item_proto& item, media_memo& memo)
{
    item.icon_texture = item_texture("", item.image_name);
    auto [known, fresh] = memo.has_big_image.try_emplace(item.image_name, false);
    if (fresh) {
        char big[128];
        std::snprintf(big, sizeof big, "data/predmety/big_%s.tga", item.image_name);
        known->second = file_exists(big) == 1;
    }
    item.big_image = known->second ? item_texture("big_", item.image_name) : item.icon_texture;
}

constexpr const char* k_default_ground_model = "data/predmety/ground/default.pr";

// The template slot named "gr_<image name>", reading the item's ".pr" file, or the default one
// (a missing file named once), into the first free slot met before one of that name; 0xFFFF when
// neither is found or no file reads.
uint16_t ground_model_of(const char* image_name, media_memo& memo)
{
    if (memo.no_ground_model.count(image_name))
        return k_item_no_ground_model;
    char proto_name[k_proto_name_size];
    std::snprintf(proto_name, sizeof proto_name, "gr_%s", image_name);
    bool found = false;
    int32_t slot = scan_template_protos(proto_name, &found);
    if (found)
        return uint16_t(slot);
    if (slot < 0)
        return k_item_no_ground_model;
    char path[128];
    std::snprintf(path, sizeof path, "data/predmety/ground/%s.pr", image_name);
    if (file_exists(path) != 1) {
        report_missing_file_once(path, k_default_ground_model);
        std::snprintf(path, sizeof path, "%s", k_default_ground_model);
    }
    if (file_exists(path) != 1)
        report_missing_file_once(path, "predmet bez modelu na zemi");
    else if (read_template_proto(slot, path, proto_name))
        return uint16_t(slot);
    memo.no_ground_model.insert(image_name);
    return k_item_no_ground_model;
}

// Up to five samples "<prefix><name>1" on, stopping at the first that does not load.
int32_t load_sound_list(const char* prefix, const char* name, uint32_t* sounds)
{
    int32_t count = 0;
    for (int n = 1; n <= k_item_sounds; ++n) {
        char sample_name[64];
        std::snprintf(sample_name, sizeof sample_name, "%s%s%d", prefix, name, n);
        int32_t sample = load_sound(sample_name);
        if (sample < 0)
            break;
        sounds[count++] = uint32_t(sample);
    }
    return count;
}

void copy_sound_fields(item_proto& to, const item_proto& from)
{
    to.attack_sound_count = from.attack_sound_count;
    to.drop_sound_count = from.drop_sound_count;
    to.inventory_sound_count = from.inventory_sound_count;
    std::copy(std::begin(from.attack_sounds), std::end(from.attack_sounds), to.attack_sounds);
    std::copy(std::begin(from.drop_sounds), std::end(from.drop_sounds), to.drop_sounds);
    std::copy(std::begin(from.inventory_sounds), std::end(from.inventory_sounds), to.inventory_sounds);
}

void load_item_sounds(item_proto& item, media_memo& memo)
{
    item.attack_sound_count = item.drop_sound_count = item.inventory_sound_count = 0;
    auto known = memo.sounds.find(item.sound_name);
    if (known != memo.sounds.end()) {
        copy_sound_fields(item, known->second);
    } else if (is_plain_file_name(item.sound_name)) {
        item.attack_sound_count = load_sound_list("a_", item.sound_name, item.attack_sounds);
        item.drop_sound_count = load_sound_list("d_", item.sound_name, item.drop_sounds);
        item.inventory_sound_count = load_sound_list("i_", item.sound_name, item.inventory_sounds);
        copy_sound_fields(memo.sounds[item.sound_name], item);
    } else if (item.sound_name[0]) {
        console_log("predmet %s: nepovolene meno zvuku %s", item.key_name, item.sound_name);
    }
    console_log("pocet zvukov pre attack %d", int(item.attack_sound_count));
    console_log("pocet zvukov pre drop %d", int(item.drop_sound_count));
    console_log("pocet zvukov pre inventory %d", int(item.inventory_sound_count));
}

} // namespace

void load_item_media()
{
    int32_t count = std::clamp(g_item_proto_count, 0, k_item_slots);
    media_memo memo;
    for (int32_t i = 0; i < count; ++i) {
        item_proto& item = g_item_protos[i];
        item.ground_model = k_item_no_ground_model;
        if (is_plain_file_name(item.image_name)) {
            load_item_images(item, memo);
            item.ground_model = ground_model_of(item.image_name, memo);
        } else {
            console_log("predmet %s: nepovolene meno obrazku %s", item.key_name, item.image_name);
            item.icon_texture = item.big_image = k_no_texture;
        }
    }
    for (int32_t i = 0; i < count; ++i)
        load_item_sounds(g_item_protos[i], memo);
}

int32_t pick_item_sound(const uint32_t* sounds, int32_t count)
{
    int32_t n = std::clamp(count, 0, k_item_sounds);
    if (n == 0)
        return -1;
    int32_t index = game_rand() % n;
    console_log("chcem zahrat zvuk cislo %d/%d", int(index), int(sounds[index]));
    return int32_t(sounds[index]);
}
