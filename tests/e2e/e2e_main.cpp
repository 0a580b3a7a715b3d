// Runs the end-to-end tests with a watchdog around every test, so a window that never closes
// or a call that never returns ends the run with a message instead of hanging it.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/kit/kit.h"

namespace {

class WatchEveryTest : public ::testing::EmptyTestEventListener {
    std::unique_ptr<kv::kit::WatchdogScope> scope_;
    void OnTestStart(const ::testing::TestInfo& t) override {
        scope_ = std::make_unique<kv::kit::WatchdogScope>(
            std::string(t.test_suite_name()) + "." + t.name(), 120000);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { scope_.reset(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new WatchEveryTest);
    return RUN_ALL_TESTS();
}
