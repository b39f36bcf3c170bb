// The UI text table: line n of "global/text_%s.txt" is text n.
#pragma once

constexpr int k_ui_text_count = 172;
constexpr int k_ui_text_size = 100;

extern char g_ui_text[k_ui_text_count][k_ui_text_size];

// Text n, or "" for a number outside the table.
const char* ui_text(int n);
