// Any bytes as a markup text and as a markup file: the window holds at most 4,999 words, each
// ended inside its 100-byte slot and free of separators, the last slot stays empty, a window's
// own word parses into it again, and an unreadable file, or one holding a NUL byte, leaves the
// window as it was.
#include "tests/fuzz/fuzz_scratch.h"

#include "script/text_window.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

void check(const text_window& w)
{
    if (w.word_count < 0 || w.word_count > k_window_word_limit)
        std::abort();
    for (int32_t i = 0; i < w.word_count; ++i) {
        const void* end = std::memchr(w.words[i], 0, k_window_word_size);
        if (!end)
            std::abort();
        for (const char* c = w.words[i]; c != end; ++c)
            if (uint8_t(*c) <= ' ' || uint8_t(*c) == 127)
                std::abort();
    }
    static const char empty[k_window_word_size] = {};
    if (std::memcmp(w.words[k_window_word_limit], empty, sizeof empty) != 0 || !std::memchr(w.name, 0, sizeof w.name))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto window = std::make_unique<text_window>();
    static const auto before = std::make_unique<text_window>();

    const std::string text(reinterpret_cast<const char*>(data), size);
    parse_text_window(window.get(), text.c_str());
    check(*window);
    parse_text_window(window.get(), window->words[0]);
    check(*window);
    if (window->word_count > 1)
        std::abort();

    // A file whose text (the part read) holds a NUL byte is damaged: refused, the window kept.
    const std::string path = fuzz_input_file(data, size);
    const bool damaged = std::memchr(data, 0, std::min<size_t>(size, k_markup_text_size - 1)) != nullptr;
    std::memcpy(before.get(), window.get(), sizeof(text_window));
    const int32_t loaded = load_markup_file(window.get(), path.c_str());
    if (damaged ? loaded != -1 || std::memcmp(before.get(), window.get(), sizeof(text_window)) != 0
                : loaded != 1 || path != window->name)
        std::abort();
    check(*window);

    std::memcpy(before.get(), window.get(), sizeof(text_window));
    if (load_markup_file(window.get(), fuzz_scratch_path("missing.txt").c_str()) != -1 ||
        load_markup_file(window.get(), fuzz_scratch_path("").c_str()) != -1 ||
        std::memcmp(before.get(), window.get(), sizeof(text_window)) != 0)
        std::abort();
    return 0;
}
