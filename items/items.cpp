#include "items/items.h"

int32_t g_item_proto_count = 0;
int32_t g_spell_proto_count = 0;

void load_items() { g_item_proto_count = 0; }
void save_items() {}
void load_char_containers() {}
void load_spells() { g_spell_proto_count = 0; }
void save_spells() {}
void update_ground_items(int) {}
void draw_ground_item_labels() {}
