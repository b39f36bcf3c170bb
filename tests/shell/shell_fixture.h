// A scratch working folder holding the demo data, and the shell's switches back at their
// start values, for tests that run start-up, frames and shutdown in-process.
#pragma once

#include "support/temp_folder.h"
#include "world/dream_world.h"
#include "world/weather.h"

#include <gtest/gtest.h>

#include <memory>

class shell_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up, `frames` frames (fewer when a quit comes first) and shutdown, as the entry runs them.
    void run(const char* command_line, int frames);

    std::unique_ptr<temp_folder> folder_;
    // The dream world and the lightning as they were before start-up changed them.
    std::unique_ptr<dream_world> saved_dream_;
    std::unique_ptr<lightning_state> saved_lightning_;
};
