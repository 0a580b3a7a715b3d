// Runs the end-to-end tests with a watchdog around every test, so a window that never closes
// or a call that never returns ends the run with a message instead of hanging it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
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
    // "--screen-dpi": prints the screen's resolution as a program started now sees it, and
    // ends (scripts/lib.sh checks that a change of resolution is in effect).
    if (argc == 2 && std::strcmp(argv[1], "--screen-dpi") == 0) {
        HDC dc = GetDC(nullptr);
        std::printf("%d\n", GetDeviceCaps(dc, LOGPIXELSY));
        ReleaseDC(nullptr, dc);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new WatchEveryTest);
    return RUN_ALL_TESTS();
}
