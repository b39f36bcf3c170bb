// The demo containers: the player's bag container in "global/cont.dat", written through the
// character container saver, and the gate level's chest and shop, put into the level container
// table before the level is saved. Filled with items of the demo item table.
#include "tools/demo/demo_data.h"

#include "items/containers.h"
#include "items/items.h"

#include <initializer_list>

namespace {

// Item ids of the demo item table besides those named in demo_data.h.
constexpr int32_t k_bow = 7, k_ring = 9, k_potion = 10, k_scroll = 12, k_bag = 13;

struct ware {
    int32_t item;
    uint8_t flag;  // the damage-type byte, or the amount of gold
};

// Fills the container's cells in row-major order at the item's price times factor.
void fill(container* c, std::initializer_list<ware> wares, float factor)
{
    int32_t k = 0;
    for (const ware& w : wares) {
        require(container_put(c, k % c->width, k / c->width, w.item, w.flag, factor), c->name);
        ++k;
    }
}

} // namespace

void add_gate_containers()
{
    free_level_containers();
    container* chest = &g_containers[0];
    require(container_init(chest, "truhla", 4, 3, 0), "the gate's chest");
    fill(chest,
         {{k_demo_dagger, 1}, {k_potion, 0}, {k_demo_gold, 40}, {k_scroll, 0}, {k_demo_boots, 0}, {k_demo_silver_ring, 0},
          {k_demo_lantern, 0}, {k_demo_gold, 25}, {k_demo_sword, 1}},
         1.0f);
    chest->x = 900.0f;  // at the chest entity's crate
    chest->y = 620.0f;
    container* shop = &g_containers[1];
    // Six by five cells: the shop tidies a stock that fills more than 70 % of its cells down to
    // half of them, so its 18 wares (each once) stay whole, the bag among them.
    require(container_init(shop, "obchod", 6, 5, 1), "the gate's shop");
    fill(shop,
         {{k_demo_sword, 1}, {k_demo_axe, 1}, {k_bow, 2}, {k_demo_armour, 0}, {k_ring, 0}, {k_potion, 0}, {k_scroll, 0}, {k_demo_dagger, 1}, {k_bag, 0}, {k_demo_wand, 4}, {k_demo_shield, 0}, {k_demo_neclace, 0},
          {k_demo_cloak, 0}, {k_demo_legs, 0}, {k_demo_bracer, 0}, {k_demo_glove, 0}, {k_demo_boots, 0},
          {k_demo_lantern, 0}},
         1.0f);
    shop->x = 880.0f;
    shop->y = 200.0f;
    g_level_container_count = 2;
}

void write_containers_demo_data()
{
    int32_t slot = new_char_container(k_bag);
    require(slot == k_char_container_first, "the bag's container");
    fill(&g_containers[slot], {{k_potion, 0}, {k_ring, 0}, {k_demo_gold, 15}}, 1.0f);
    require(save_char_containers(), k_char_containers_file);
    container_free(&g_containers[slot]);
    g_char_container_count = 0;
}
