// The screen tour: the game run in-process on the data of the working folder, led by injected
// input from the splash cards to the ending as a new player goes, stopping on every game screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The screens in the order the tour shows them; each name is a file name without extension.
const std::vector<std::string>& tour_screen_names();

struct tour_watch {
    // Once per screen, at the start of the pass after the one that drew it: the device's frame
    // and what it recorded since `passed` last ran are exactly that screen.
    std::function<void(const std::string& screen)> seen;
    // At the start of every other pass.
    std::function<void()> passed;
};

// Start-up with the front end, the tour and shutdown, on the device that start-up makes, with
// the manual clock moving 16 ms a read. False, with the first screen that was never reached in
// `failure`, when the tour stopped early.
bool run_screen_tour(const tour_watch& watch, std::string& failure);
