#include "shell/ui_texts.h"

char g_ui_text[k_ui_text_count][k_ui_text_size] = {};

const char* ui_text(int n)
{
    return n >= 0 && n < k_ui_text_count ? g_ui_text[n] : "";
}
