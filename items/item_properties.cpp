#include "items/item_properties.h"

const requirement_code_text* requirement_text(int32_t code)
{
    return code >= 0 && code < k_requirement_codes ? &k_requirement_texts[code] : nullptr;
}

const char* efect_editor_name(int32_t code)
{
    return code >= 0 && code < k_efect_codes ? k_efect_editor_names[code] : nullptr;
}

const char* requirement_element_word(int32_t element)
{
    return element >= 0 && element < 4 ? k_requirement_element_words[element] : nullptr;
}

static_assert(k_efect_editor_names[k_efect_codes - 1] != nullptr, "every EFECTS code has an editor name");
static_assert(k_requirement_texts[k_requirement_codes - 1].editor_name != nullptr);
