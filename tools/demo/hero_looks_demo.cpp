// The new hero's choices: head looks 1 to 12 and body looks 1 to 9 as variant part files of the
// hero's clips (reshaped, recoloured copies of the plain head and body; look 1 is the plain one),
// and the six candidate starting attunements with their descriptions.
#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "engine/models.h"
#include "items/items.h"
#include "platform/files.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const char* k_hero_clips[] = {"stand1", "move1", "attack1", "death1", "hit1"};

struct look {
    float sx, sy, sz;  // scale across, up and front to back, about the part's middle
    uint32_t r, g, b;
};

// Heads 1 to 12: skin tones and shapes, from narrow and tall to broad and flat.
const look k_heads[] = {
    {1.00f, 1.00f, 1.00f, 70, 110, 200},  {0.85f, 1.15f, 0.90f, 230, 190, 160}, {1.15f, 0.90f, 1.05f, 200, 150, 110},
    {1.00f, 1.20f, 1.00f, 150, 100, 70},  {1.25f, 1.00f, 1.10f, 240, 210, 180}, {0.90f, 0.90f, 0.90f, 110, 75, 50},
    {1.10f, 1.10f, 1.10f, 220, 170, 130}, {0.80f, 1.25f, 0.85f, 180, 130, 90},  {1.20f, 0.85f, 1.20f, 250, 220, 200},
    {1.05f, 1.30f, 0.95f, 130, 90, 60},   {1.30f, 1.05f, 1.00f, 210, 160, 120}, {0.95f, 1.00f, 1.25f, 160, 200, 120},
};

// Bodies 1 to 9: cloth colours and builds, from slim to broad.
const look k_bodies[] = {
    {1.00f, 1.00f, 1.00f, 70, 110, 200}, {0.85f, 1.00f, 0.90f, 150, 40, 40},  {1.20f, 1.00f, 1.15f, 60, 120, 60},
    {1.10f, 1.05f, 1.00f, 120, 90, 50},  {0.90f, 1.00f, 1.20f, 200, 180, 60}, {1.30f, 0.95f, 1.20f, 90, 90, 100},
    {1.00f, 1.10f, 0.90f, 110, 60, 150}, {1.15f, 1.00f, 1.30f, 40, 40, 50},   {0.95f, 1.05f, 1.05f, 220, 220, 230},
};

// Look n of a part in every clip: the plain part reshaped, with a skin file that names the
// look's texture "3d/hero/<part><n>.tga". Look 1 keeps the plain part's texture.
void write_part_looks(const char* part, const look* looks, int count)
{
    for (int n = 1; n <= count; ++n) {
        const look& l = looks[n - 1];
        const std::string texture = "3d/hero/" + std::string(part) + std::to_string(n) + ".tga";
        if (n > 1)
            write_skin_texture(texture, l.r, l.g, l.b);
        const std::string skin_texture = n > 1 ? texture : "3d/hero/skin.tga";
        std::string skin = "1\r\n1\r\n" + skin_texture + "\r\n";
        std::replace(skin.begin(), skin.end(), '/', '\\');
        for (const char* clip : k_hero_clips) {
            const std::string folder = std::string("3d/hero/1/") + clip + "/";
            const std::string stem = folder + part + std::to_string(n);
            model m;
            require(read_model(&m, (folder + part + ".3d").c_str()), folder + part + ".3d");
            scale_model_about_middle(m, l.sx, l.sy, l.sz);
            require(save_model(&m, (stem + ".3d").c_str()), stem + ".3d");
            require(write_whole_file((stem + ".sk").c_str(), skin.data(), skin.size()), stem + ".sk");
            free_model(&m);
        }
    }
}

struct candidate {
    int16_t id;
    const char* key;
    const char* name;
    const char* text;
};

const candidate k_candidates[] = {
    {204, "oko", "Keen eye", "Arrows and bolts find the gaps in armour."},
    {208, "koza", "Thick skin", "Blows land softer on a hide toughened by the road."},
    {220, "iskra", "Spark", "A little fire answers the hand that calls it."},
    {216, "krok", "Light step", "The feet carry the body further before it tires."},
    {178, "snivec", "Dream walker", "The other world opens a little wider to the sleeper."},
    {151, "stit_vole", "Will shield", "A calm mind turns aside the spells aimed at it."},
};

// Each candidate that the table lacks (or holds deleted) becomes a tier-0 attunement; every
// candidate gets its description.
void add_candidate_attunements()
{
    require(make_folder("data/attunements/eng"), "data/attunements/eng");
    for (const candidate& c : k_candidates) {
        require(c.id < g_item_proto_count, "the item table's records for the candidate attunements");
        item_proto& a = g_item_protos[c.id];
        if (a.deleted) {
            a = item_proto{};
            copy_bounded(a.key_name, sizeof a.key_name, c.key);
            copy_bounded(a.display_name, sizeof a.display_name, c.name);
            copy_bounded(a.image_name, sizeof a.image_name, "fokus");
            a.item_class = k_item_attunement;
            a.attunement_link = -1;
            a.critical_multiplier = 1.0f;
            g_item_lists[c.id] = item_lists{};
        }
        const std::string text = std::string(c.text) + "\r\n";
        const std::string path = std::string("data/attunements/eng/") + a.key_name + ".txt";
        require(write_whole_file(path.c_str(), text.data(), text.size()), path);
    }
    require(save_items(), "global/items.dat");
}

} // namespace

void scale_model_about_middle(model& m, float sx, float sy, float sz)
{
    const float scale[3] = {sx, sy, sz};
    for (int f = 0; f < m.frame_count && f < k_model_max_frames; ++f) {
        std::vector<float>& v = m.frames[f];
        if (v.size() < 3)
            continue;
        float low[3] = {v[0], v[1], v[2]}, high[3] = {v[0], v[1], v[2]};
        for (size_t i = 0; i + 2 < v.size(); i += 3)
            for (int k = 0; k < 3; ++k)
                low[k] = std::min(low[k], v[i + k]), high[k] = std::max(high[k], v[i + k]);
        for (size_t i = 0; i + 2 < v.size(); i += 3)
            for (int k = 0; k < 3; ++k) {
                const float middle = 0.5f * (low[k] + high[k]);
                v[i + k] = middle + (v[i + k] - middle) * scale[k];
            }
    }
}

void write_hero_looks_demo_data()
{
    write_part_looks("head", k_heads, int(std::size(k_heads)));
    write_part_looks("body", k_bodies, int(std::size(k_bodies)));
    add_candidate_attunements();
}
