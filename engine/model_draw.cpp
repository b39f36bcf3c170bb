#include "engine/model_draw.h"

uint32_t g_wbuffer_switch = 0;
