// Module state of the windows the host reaches through the exports: start-up defaults, the
// guards of the commands that need an open window, and the video status word.
#include <gtest/gtest.h>

#include "explorer/explorer_state.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "host/entry.h"
#include "print/print_state.h"
#include "video/video_state.h"

namespace {

class ModuleState : public ::testing::Test {
protected:
    void SetUp() override {
        kv::explorer::state() = {};
        kv::video::state() = {};
        kv::print::state() = {};
        kv::entry::libraryStartup();
    }
};

TEST_F(ModuleState, StartupSetsTheDocumentedDefaults) {
    auto& ex = kv::explorer::state();
    ex.open = ex.building = ex.convert = ex.rememberRect = true;
    ex.columnWidth = 120;
    auto& pr = kv::print::state();
    pr.dialogOpen = 1;
    pr.zoom = 0.25;
    pr.measureUnit = 2;

    kv::entry::libraryStartup();

    EXPECT_FALSE(ex.open);
    EXPECT_FALSE(ex.building);
    EXPECT_FALSE(ex.convert);
    EXPECT_FALSE(ex.rememberRect);
    EXPECT_EQ(ex.columnWidth, 0);
    EXPECT_EQ(pr.dialogOpen, 0);
    EXPECT_EQ(pr.zoom, 1.0);
    EXPECT_EQ(pr.measureUnit, 1);
}

TEST_F(ModuleState, ExplorerCommandsBeforeAnyWindowChangeNothing) {
    auto& ex = kv::explorer::state();
    ex.hostWindow = 0x1234;
    ex.mode = 254;
    const kv::explorer::ExplorerState before = ex;

    kv::entry::RemoteWinClose95();
    kv::entry::RemoteWinHide95();
    kv::entry::RemoteWinUpdate95();
    EXPECT_EQ(ex, before);
}

TEST_F(ModuleState, VideoStatusPacksOpenFlagAndPlayMode_CloseWithoutPlayerRecordsARequest) {
    auto& v = kv::video::state();
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 0);
    v.openFlag = 1;
    v.playMode = 1;
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 257);
    v.playMode = 2;
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 258);
    kv::entry::VideoWinClose95();  // a request on an open player: play mode 0
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 256);

    v = {};
    v.playMode = 2;
    kv::entry::VideoWinClose95();
    EXPECT_EQ(v.playMode, 0);
    EXPECT_TRUE(v.closeRequest);
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 0);
    // A second request with no window keeps waiting for the next player.
    kv::entry::VideoWinClose95();
    EXPECT_TRUE(v.closeRequest);
    EXPECT_EQ(v.form, nullptr);
}

TEST_F(ModuleState, VideoPlayerThatCannotOpenKeepsThePendingRequest) {
    kv::SimPlatform sim;
    kv::entry::VideoWinClose95();
    sim.user.answer("Cannot find the specified file.ErrCode=275", kv::ModalResult::OK);
    kv::IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, "SaveName", "c:\\none.avi");
    EXPECT_EQ(kv::entry::VideoWinPlayer95(0xBAD, 1, 8), 0);
    EXPECT_TRUE(kv::video::state().closeRequest);
    EXPECT_EQ(kv::video::state().form, nullptr);
    EXPECT_EQ(kv::entry::VideoWinStatus95(), 0);
    EXPECT_TRUE(sim.user.unexpected.empty());
    EXPECT_TRUE(sim.host.sent.empty());  // nothing is broadcast for a player that never opened
}

TEST_F(ModuleState, PrintCheckFollowsTheDialogFlag_PrintEndAndPrintDlgChangeNothingWithoutOrWhileADialog) {
    const kv::print::PrintState before = kv::print::state();
    kv::entry::PrintEnd95();
    kv::entry::PrintDlg95(0, 0, -5, 1);
    EXPECT_EQ(kv::print::state(), before);
    EXPECT_EQ(kv::entry::PrintCheck95(), 0);

    auto& pr = kv::print::state();
    pr.dialogOpen = 1;
    EXPECT_EQ(kv::entry::PrintCheck95(), 1);
    pr.hostWindow = 0x77;
    pr.pictureWidth = 640;
    pr.pictureHeight = 480;
    const kv::print::PrintState open = pr;
    kv::entry::PrintDlg95(0x99, 10, 10, 0);
    EXPECT_EQ(pr, open);
}

}  // namespace
