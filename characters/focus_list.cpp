#include "characters/focus_list.h"

focus_list g_focus_list = {};

void focus_list_add(focus_list* list, uint32_t type, uint32_t id)
{
    const uint32_t i = list->count < k_focus_entries ? list->count : 0;
    list->type[i] = type;
    list->id[i] = id;
    list->count = i + 1 < k_focus_entries ? i + 1 : 0;
}

void focus_list_clear(focus_list* list)
{
    list->count = 0;
}
