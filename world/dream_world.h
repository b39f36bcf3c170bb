// The dream world: a full-screen overlay of twelve animated textures that leaves a clear area
// around the hero, with its own ambient colour (red 0, green 0.5, blue 1.0). While the hero is in
// it, its second pool drains; when the pool is empty the hero wakes.
#pragma once

#include <cstdint>

constexpr int k_dream_textures = 12;
constexpr int k_dream_ambient_steps = 10;
// The attunement that keeps the dream world from draining the hero.
constexpr int32_t k_dream_ward_item = 178;

struct dream_world {
    uint32_t active;                      // 1 while the hero is in the dream world
    uint16_t textures[k_dream_textures];  // "data/dreamworld/dream01.tga" to "dream12.tga"; 0xFFFF none
    int16_t texture_index;                // current overlay texture, 0 to 11
    float overlay_alpha;                  // 0 to 1; objects on layers 29 to 32 take it as their alpha
    uint32_t texture_tick;                // next texture change
    uint32_t drain_tick;                  // next drain of the hero's pool
    uint32_t fade_tick;                   // next fade step
    float ambient_step[3];                // per-step change of the ambient red, green, blue
    uint16_t steps;                       // ambient steps left, 10 at each switch
};

extern dream_world g_dream_world;

// What the dream world needs of the hero (the player's character). The character table is not
// built yet and fills these in when it is; while `mana` is null the hero's pool counts as empty.
// The hero's slot comes from g_scene_hero and its world object from g_object_links.
struct dream_hero_link {
    int32_t (*mana)();                          // the hero's second pool
    void (*set_mana)(int32_t value);
    bool (*has_attunement)(int32_t item_id);    // the hero has learned that attunement
};
extern dream_hero_link g_dream_hero;

// The twelve overlay textures, once at start-up.
void load_dream_textures(dream_world* state);

// Switches the dream world on: the ambient colour moves to (0, 0.5, 1.0) over the next 10 fade
// steps; unless silent "data/sound/dream_in.ogg" plays as narration.
void enter_dream_world(dream_world* state, int32_t silent);
// Only while it is on: switches it off; the ambient colour moves back to the clock's daylight
// over the next 10 fade steps; unless silent "data/sound/dream_out.ogg" plays.
void leave_dream_world(dream_world* state, int32_t silent);

// The playing frame (not in gui levels). Every 2 ticks the overlay fades in or out by 0.04 and
// the ambient colour takes one step. While the overlay shows: the hero wakes (with sound) when
// its pool is empty or it has no world object; every 66 ticks the pool falls by 1 unless a text
// viewer, the menu or a dialogue holds the game or the hero has the ward attunement; every 8
// ticks the texture advances; the texture is drawn over the hero at scale 13 - k, k growing by
// one for every 10 points the pool lies below 60.
void update_dream_world(dream_world* state);

// The fades and the front end: the same fade and ambient steps, and the overlay drawn at the
// screen centre at scale 13.
void draw_dream_overlay(dream_world* state);

// The overlay is showing (alpha above 0): the daylight leaves the ambient colour alone.
bool dream_overlay_visible(const dream_world* state);

// Points the object pass's dream-layer hook at the overlay alpha.
void link_dream_world_to_objects();
