// A scratch working folder holding the demo data, and the shell's switches back at their
// start values, for tests that run start-up, frames and shutdown in-process. The view (camera
// and zoom) and the level links are given back as the test found them.
#pragma once

#include "level/level_links.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

class shell_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up, `frames` frames (fewer when a quit comes first) and shutdown, as the entry runs them.
    void run(const char* command_line, int frames);

    std::unique_ptr<temp_folder> folder_;

private:
    float camera_x_ = 0, camera_y_ = 0, zoom_ = 1, zoom_target_ = 1;
    level_links level_links_ = {};  // start-up fills the links
};
