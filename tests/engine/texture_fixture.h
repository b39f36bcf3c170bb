// A scratch folder, an empty texture table on a recording device and the debug log on, for the
// texture, quad and pack tests; on request the OpenGL device in the recording device's place.
#pragma once

#include "platform/recording_device.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

class texture_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes an image file of w × h texels: colour (x × 4, y × 4, tag) with full alpha.
    static void write_test_image(const char* name, uint32_t w, uint32_t h, uint32_t tag = 0);
    // Loads a sprite font whose first glyph (character 33) has a 4 x 2 image and the nine fixed
    // textures from 8 x 8 images; the font is emptied again when the test ends.
    void load_test_font_and_fixed_textures();
    // The debug log written so far.
    static std::string log_text();
    // Makes the OpenGL device on a hidden window (gl_) the program's device, with the program's
    // render states and the frame cleared to black; false with the reason in why where no OpenGL
    // context can be had. TearDown empties the texture table on it, then closes it.
    bool use_gl_device(std::string& why);

    std::unique_ptr<temp_folder> folder_;
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<render_device> gl_;
    uint32_t saved_proto_count_ = 0;
    bool font_loaded_ = false;
};
