// Fails any test that leaves the render device pointer set: the device it points at lived on
// that test's stack or in its fixture, and the next test to draw would reach a dead object.
#include "engine/render_context.h"

#include <gtest/gtest.h>

namespace {

class device_pointer_guard : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& info) override
    {
        if (g_d3d_device == nullptr)
            return;
        ADD_FAILURE() << info.test_suite_name() << "." << info.name()
                      << " left g_d3d_device set";
        g_d3d_device = nullptr;
    }
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new device_pointer_guard);
    return true;
}();

} // namespace
