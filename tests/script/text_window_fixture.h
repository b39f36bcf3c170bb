// The texture tests' set-up (a scratch folder, an empty texture table on a recording device, the
// debug log on) with a fake hero behind the script links, the UI texts of the notice phrases,
// and a zeroed text window on the heap. The two long-lived windows, the dialogue and message
// flags, the narration name, the lights, the ambient colour, the UI texts, the language and the
// links are given back as found.
#pragma once

#include "engine/texture_fixture.h"
#include "script/text_window.h"

#include <memory>
#include <string>
#include <vector>

class text_window_test : public texture_test {
protected:
    text_window_test();
    ~text_window_test() override;
    void SetUp() override;
    void TearDown() override;

    // The fake hero: slot 0, file key "hero_key", display name "Aren" unless a test changes it.
    static std::string& hero_name();
    // The words of a window, in order.
    static std::vector<std::string> words(const text_window& window);
    // parse_text_window into window_, then its words.
    std::vector<std::string> parse(const std::string& text);

    std::unique_ptr<text_window> window_;

private:
    struct saved_state;
    std::unique_ptr<saved_state> saved_;
};
