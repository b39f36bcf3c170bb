// A scratch folder, an empty texture table on a recording device and the debug log on, for the
// texture, quad and pack tests.
#pragma once

#include "platform/recording_device.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class texture_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes an image file of w × h texels: colour (x × 4, y × 4, tag) with full alpha.
    static void write_test_image(const char* name, uint32_t w, uint32_t h, uint32_t tag = 0);
    // The debug log written so far.
    static std::string log_text();

    std::unique_ptr<temp_folder> folder_;
    std::unique_ptr<recording_device> device_;
};
