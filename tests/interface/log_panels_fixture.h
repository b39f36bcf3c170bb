// Tests of the message-log window and the quest log: a scratch folder, the recording device at
// 1024 x 768, the small font replaced by one whose every byte is 10 pixels wide and draws one
// pixel, and readers of what was drawn: strings with their place and colour, and the centres of
// the draws of a texture slot.
#pragma once

#include "engine/draw_test_support.h"
#include "platform/recording_device.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"
#include "tests/script/fixed_advance_font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct drawn_string {
    size_t bytes;
    int x, y;
    uint32_t colour;  // 0x00BBGGRR
};

using screen_point = std::pair<float, float>;

// The same places in the same order, each within the view's scale error (half a percent away
// from the screen's centre, and half a pixel).
::testing::AssertionResult same_places(const std::vector<screen_point>& actual,
                                       const std::vector<screen_point>& expected);

class log_panels_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A 32 x 32 white image in a texture slot of its own.
    static uint16_t texture(const std::string& name);
    std::vector<drawn_string> strings() const;
    std::vector<screen_point> centres_of(uint16_t slot) const;
    void clear_draws();

    saved_globals saved_;
    std::unique_ptr<temp_folder> folder_;
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    std::unique_ptr<fixed_advance_font> font_;
};
