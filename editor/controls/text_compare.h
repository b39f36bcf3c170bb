// Case-blind comparisons of Windows-1252 texts, as the dialogs' lists sort and search them:
// letters A to Z match a to z; other bytes compare by value.
#pragma once

#include <string_view>

bool case_blind_less(std::string_view a, std::string_view b);
bool case_blind_equal(std::string_view a, std::string_view b);
// True when `text` begins with `prefix`.
bool case_blind_prefix(std::string_view text, std::string_view prefix);
