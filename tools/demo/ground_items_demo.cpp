// The items lying at the gate: their ground models "data/predmety/ground/<key>.pr" with one
// image each, the trap record, and the gate level's ground items.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "items/ground_items.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "platform/files.h"
#include "platform/image_writer.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr const char* k_trap_key = "pasca";

// Whether the texel at offset (x, y) from the middle of a 32 x 32 frame belongs to the shape.
using ground_shape = bool (*)(float x, float y);

bool blade(float x, float y)
{
    return std::fabs(x + y) < 2.5f && std::fabs(x - y) < 24.0f;  // lying corner to corner
}
bool coins(float x, float y)
{
    return std::hypot(x + 5.0f, y - 3.0f) < 7.0f || std::hypot(x - 6.0f, y - 4.0f) < 6.0f ||
           std::hypot(x, y + 5.0f) < 6.0f;
}
bool flask(float x, float y)
{
    return std::hypot(x, y - 5.0f) < 8.0f || (std::fabs(x) < 2.5f && y > -11.0f && y < 0.0f);
}
bool crystal(float x, float y)
{
    return std::fabs(x) / 7.0f + std::fabs(y) / 12.0f < 1.0f;
}
bool jaws(float x, float y)
{
    const float r = std::hypot(x, y);
    return (r > 9.0f && r < 13.0f) || (std::fabs(x) < 12.0f && std::fabs(y) < 1.5f);
}

// The image "data/predmety/ground/<key>00.tga": the shape in the colour, a darker rim one texel
// wide, on a transparent field; then its ground model.
void write_ground_model(const char* key, ground_shape inside, uint32_t r, uint32_t g, uint32_t b)
{
    std::vector<uint32_t> texels(32 * 32, 0u);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float fx = float(x) - 15.5f, fy = float(y) - 15.5f;
            if (!inside(fx, fy))
                continue;
            const bool rim = !inside(fx - 1, fy) || !inside(fx + 1, fy) || !inside(fx, fy - 1) || !inside(fx, fy + 1);
            const uint32_t shade = rim ? 2 : 1;
            texels[size_t(y) * 32 + size_t(x)] = 0xFF000000u | (r / shade) << 16 | (g / shade) << 8 | (b / shade);
        }
    const std::string path = std::string("data/predmety/ground/") + key + "00.tga";
    require(write_image_file(path.c_str(), texels.data(), 32, 32), path);
    write_ground_sprite_model(key);
}

// The trap: an enemy stepping on it casts the thunderclap there.
void add_trap_record()
{
    require(k_demo_trap < g_item_proto_count && g_item_protos[k_demo_trap].deleted, "a free record for the trap");
    item_proto& trap = g_item_protos[k_demo_trap];
    trap = item_proto{};
    copy_bounded(trap.key_name, sizeof trap.key_name, k_trap_key);
    copy_bounded(trap.display_name, sizeof trap.display_name, "Snare trap");
    copy_bounded(trap.image_name, sizeof trap.image_name, k_trap_key);
    trap.item_class = k_item_trap;
    trap.price = 20;
    trap.attunement_link = -1;
    trap.critical_multiplier = 1.0f;
    item_lists& lists = g_item_lists[k_demo_trap];
    lists = item_lists{};
    lists.efects[0] = item_property{k_efect_cast_spell_when_groundstep, {k_demo_spell_thunder, 0, 0, 0, 0, 0, 0, 0}};
    trap.efect_count = 1;
}

} // namespace

void write_ground_items_demo_data()
{
    add_trap_record();
    write_ground_model("mec", blade, 200, 200, 220);
    write_ground_model("zlato", coins, 240, 200, 40);
    write_ground_model("elixir", flask, 220, 40, 40);
    write_ground_model("esencia", crystal, 160, 60, 220);
    write_ground_model(k_trap_key, jaws, 150, 150, 160);
    // The trap's icon is its ground image.
    const std::string icon = std::string("data/predmety/") + k_trap_key + ".tga";
    require(copy_file((std::string("data/predmety/ground/") + k_trap_key + "00.tga").c_str(), icon.c_str()), icon);
    require(save_items(), "global/items.dat");
}

void add_gate_ground_items()
{
    struct lying {
        int16_t item, amount, cell_x, cell_y;
    };
    constexpr uint16_t k_no_owner = 0xFFFF;
    // Cells of the 24-pixel grid around the hero's entry (512, 384); the trap lies on the first
    // bandit's way from (880, 430) to the hero.
    const lying items[] = {
        {k_demo_sword, 1, 18, 15},  {k_demo_gold, 120, 19, 13},  {k_demo_potion, 1, 16, 19},
        {k_demo_potion, 1, 17, 20}, {k_demo_essence, 1, 28, 13}, {k_demo_trap, 1, 27, 17},
    };
    for (const lying& l : items)
        require(drop_ground_item(uint16_t(l.item), uint16_t(l.amount), l.cell_x, l.cell_y, false, k_no_owner,
                                 k_ground_item_no_element),
                "the gate's ground items");
}

void write_remaining_ground_models()
{
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        // An item without an image name is shown by its key name, as the item table reads it.
        const item_proto& item = g_item_protos[i];
        const std::string name = item.image_name[0] ? item.image_name : item.key_name;
        const std::string model = "data/predmety/ground/" + name + ".pr";
        if (name.empty() || file_exists(model.c_str()) == 1)
            continue;
        const std::string image = "data/predmety/ground/" + name + "00.tga";
        require(copy_file(("data/predmety/" + name + ".tga").c_str(), image.c_str()), image);
        write_ground_sprite_model(name.c_str());
    }
}
