// The video player against the sim media device: the status word, opening and its error
// report, the first activation's geometry, the fit of the picture, the status timer's
// end-of-play handling in each play mode, the buttons, the seek bar, the options menu with the
// value dialog for speed and volume, the frame grab, the keys and every way of closing.
#include <gtest/gtest.h>

#include "tests/native/sim_kit.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "host/entry.h"
#include "tests/native/value_dialog_kit.h"
#include "video/video_form.h"
#include "video/video_state.h"

using namespace kv;
using video::MediaBtn;
using video::TVideoForm;

namespace {

constexpr uintptr_t kHost = 0x1234;
constexpr int VK_INSERT = 45, VK_DELETE = 46;
const char* const kFile = "c:\\videos\\Holiday clip.avi";

class VideoPlayer : public ::testing::Test {
protected:
    SimPlatform sim;
    void SetUp() override {
        video::state() = {};
        sim.user.screenW = 1024;
        sim.user.screenH = 768;
        // Caption 18, sizing frame 4, border 1: the frame adds 8 x 25 pixels.
        sim.user.metrics[4] = 18;
        sim.user.metrics[6] = 1;
        sim.user.metrics[32] = 4;
        sim.user.metrics[33] = 4;
        sim.writeFile(kFile, "RIFF");
        sim.media.files[kFile] = {320, 240, 100};
        setKey("SaveName", kFile);
    }
    void TearDown() override {
        closePlayer();
        EXPECT_TRUE(sim.user.unexpected.empty()) << sim.user.unexpected.front();
    }
    void setKey(const std::string& k, const std::string& v) {
        IniFile(SettingsFileName).writeString(SettingsSection, k, v);
    }
    TVideoForm& open(int mode = 0, uint16_t redraw = 0) {
        EXPECT_EQ(entry::VideoWinPlayer95(kHost, mode, redraw), 1);
        EXPECT_NE(video::state().form, nullptr);
        return *static_cast<TVideoForm*>(video::state().form);
    }
    void tick(TVideoForm& f) { f.Timer1.tick(); }
    // Closes the open player, if any, and lets the message loop free it.
    void closePlayer() {
        if (video::state().form) video::state().form->close();
        sim.user.processMessages();
    }
    static std::string visible(TVideoForm& f) {
        static const char* names[] = {"Play", "Pause", "Stop", "Next", "Prev", "Step", "Back", "Record", "Eject"};
        std::string out;
        for (int i = 0; i < 9; ++i)
            if (f.MediaPlayer1->visibleButtons() & (1u << i)) out += std::string(out.empty() ? "" : ",") + names[i];
        return out;
    }
    // A control's left, top, width and height.
    static std::vector<int> box(const Control* c) { return {c->left(), c->top(), c->width(), c->height()}; }
    int broadcasts() {
        int n = 0;
        for (auto& m : sim.host.sent) n += m.broadcast && m.msg == video::kClosedMessage;
        return n;
    }
};

}  // namespace

TEST_F(VideoPlayer, OpensSizedToTheVideoAndReportsItsStatus) {
    TVideoForm& f = open(1);
    EXPECT_EQ(entry::VideoWinStatus95(), 257);
    EXPECT_EQ(f.caption(), "Holiday clip.avi");
    EXPECT_TRUE(f.stayOnTop);
    EXPECT_EQ(video::state().volumeFactor, 500);  // play mode 1
    EXPECT_FALSE(f.mnuPlaybackLoop->visible());
    EXPECT_EQ(video::state().frameOverheadWidth, 8);
    EXPECT_EQ(video::state().frameOverheadHeight, 18 + 8 - 1);
    // The client area shows the video at 100 % above the control and status bars.
    EXPECT_EQ((std::vector<int>{f.clientWidth(), f.clientHeight(), f.width(), f.height()}),
              (std::vector<int>{320, 240 + 28 + 21, 328, 289 + 25}));
    EXPECT_EQ(f.XScrollbar1->maxValue(), 99);
    EXPECT_EQ(f.XScrollbar1->width(), f.Panel2->width() - 4);
    EXPECT_EQ(visible(f), "Play,Stop");
    EXPECT_TRUE(f.MediaPlayer1->visible());
    EXPECT_TRUE(f.MenuButton->visible());
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(sim.media.displayWindow, reinterpret_cast<uintptr_t>(f.VideoWin));
    EXPECT_EQ(sim.user.cursor(), CursorKind::Default);
    // The worked example: 320 x 240 in a 320 x 240 background gives 321 x 240 at (-1, 0).
    EXPECT_EQ(box(f.VideoWin), (std::vector<int>{-1, 0, 321, 240}));
    EXPECT_EQ(sim.media.rectWidth, 321);
}

TEST_F(VideoPlayer, FitVideoKeepsTheProportionsInEveryShape) {
    TVideoForm& f = open();
    struct Case { int bw, bh, left, top, w, h; };
    for (Case c : {Case{200, 300, -1, 75, 201, 150}, Case{640, 240, 159, -1, 321, 241},
                   Case{100, 100, -1, 12, 101, 75}, Case{320, 480, -1, 120, 321, 240}}) {
        f.VideoWinBack->setBounds(0, 0, c.bw, c.bh);
        f.FitVideo();
        EXPECT_EQ(box(f.VideoWin), (std::vector<int>{c.left, c.top, c.w, c.h})) << c.bw << "x" << c.bh;
    }
}

TEST_F(VideoPlayer, SeekBarCountsTensAbove32760Frames) {
    sim.media.files[kFile].frames = 32760;
    TVideoForm& f = open();
    EXPECT_EQ(f.XScrollbar1->maxValue(), 32759);
    f.XScrollbar1->scroll(ScrollCode::Position, 32759);
    EXPECT_EQ(f.Status->caption(), "Seek Frame:32759");
    closePlayer();

    sim.media.files[kFile].frames = 32761;
    TVideoForm& g = open();
    EXPECT_EQ(g.XScrollbar1->maxValue(), 3276);
    tick(g);  // frame 0 shows at position 0 ((0 - 1) div 10 truncates to 0)
    EXPECT_EQ(g.XScrollbar1->position(), 0);
    g.XScrollbar1->userClick(3276);
    EXPECT_EQ(g.Status->caption(), "Seek Frame:32760");
    EXPECT_EQ(sim.media.log.back(), "seek 32760");
    EXPECT_EQ(visible(g), "Play,Step");
    sim.media.pos = 25001;
    g.Timer1.setEnabled(true);
    tick(g);
    EXPECT_EQ(g.XScrollbar1->position(), 2500);
}

TEST_F(VideoPlayer, TimerHandlesTheEndOfPlayInPlayModes0And2) {
    TVideoForm& f = open();
    tick(f);  // stopped at frame 0 after opening
    EXPECT_EQ(f.Status->caption(), "Stopped Frame:0");
    EXPECT_EQ(visible(f), "Play,Step");
    EXPECT_FALSE(f.Timer1.enabled());

    f.MediaPlayer1->press(MediaBtn::Play);
    EXPECT_EQ(visible(f), "Pause,Stop");
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_EQ(sim.media.commands("volume 1000"), 1);
    EXPECT_EQ(sim.media.commands("speed 1000"), 1);
    sim.media.advance(50);
    tick(f);
    EXPECT_EQ(f.Status->caption(), "Playing Frame:50");
    EXPECT_EQ(f.XScrollbar1->position(), 50);
    sim.media.advance(100);
    tick(f);
    EXPECT_EQ(f.Status->caption(), "Stopped Frame:99");
    EXPECT_EQ(visible(f), "Stop,Prev");
    f.MediaPlayer1->press(MediaBtn::Prev);
    EXPECT_EQ(f.Status->caption(), "Ready");
    EXPECT_EQ(f.XScrollbar1->position(), 0);
    EXPECT_EQ(visible(f), "Play,Step");
    closePlayer();

    // Play mode 2: the first stop only clears the first-play flag; no speed or volume is sent.
    TVideoForm& g = open(2);
    EXPECT_FALSE(g.VideoOptions1->enabled());
    EXPECT_FALSE(g.mnuQuietPlayback->visible());
    tick(g);
    EXPECT_FALSE(video::state().firstPlay);
    EXPECT_EQ(visible(g), "Play,Stop");
    const int volumes = sim.media.commands("volume");
    g.MediaPlayer1->press(MediaBtn::Play);
    EXPECT_EQ(sim.media.commands("volume"), volumes);
    sim.media.advance(10);
    g.MediaPlayer1->press(MediaBtn::Stop);  // also asks the window to close at the next tick
    sim.media.pos = 10;
    video::state().closeRequest = false;
    tick(g);  // stopped before the end: mode 2 still ends the play
    EXPECT_EQ(visible(g), "Stop,Prev");
}

TEST_F(VideoPlayer, LoopReplaysFromTheStart) {
    TVideoForm& f = open(2);
    tick(f);
    f.mnuPlaybackLoopClick();
    EXPECT_TRUE(f.mnuPlaybackLoop->checked());
    f.mnuPlayClick();
    sim.media.advance(200);
    const int seeks = sim.media.commands("seek start");
    tick(f);
    EXPECT_EQ(sim.media.commands("seek start"), seeks + 1);  // mode 2 rewinds first
    EXPECT_EQ(sim.media.currentMode, MediaMode::Playing);
    EXPECT_EQ(visible(f), "Pause,Stop");
}

TEST_F(VideoPlayer, StepShowsThePositionBeforeTheStepAndTheSeekBarSeeks) {
    TVideoForm& f = open();
    tick(f);
    sim.media.files[kFile].frames = 400;
    sim.media.pos = 250;
    sim.media.currentMode = MediaMode::Paused;
    f.MediaPlayer1->press(MediaBtn::Step);
    EXPECT_EQ(f.Status->caption(), "PausedFrame:250");
    EXPECT_EQ(sim.media.pos, 251);

    // Dragging the bar while playing pauses; releasing it seeks.
    f.mnuPlayClick();
    EXPECT_EQ(sim.media.currentMode, MediaMode::Playing);
    f.XScrollbar1->scroll(ScrollCode::Track, 40);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Paused);
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_EQ(f.Status->caption(), "Seek Frame:40");
    EXPECT_EQ(visible(f), "Play,Step");
    f.XScrollbar1->userClick(60);
    EXPECT_EQ(sim.media.log.back(), "seek 60");
    EXPECT_EQ(sim.media.pos, 60);
}

TEST_F(VideoPlayer, ZoomOptimizeAndStatusBarResizeWithinTheScreen) {
    TVideoForm& f = open();
    sim_test::press(f, '4', CtrlKey);  // 1280 pixels and the frame: wider than the screen
    EXPECT_EQ(f.clientWidth(), 320);
    sim_test::press(f, '2', CtrlKey | ShiftKey);  // another modifier set: nothing
    EXPECT_EQ(f.clientWidth(), 320);
    sim_test::press(f, '2', CtrlKey);
    EXPECT_EQ(f.clientWidth(), 640);
    EXPECT_EQ(f.clientHeight(), 480 + 28 + 21);
    EXPECT_EQ(f.VideoWin->width(), 641);
    EXPECT_TRUE(f.Timer1.enabled());

    // Status bar hidden: the window keeps its size, the picture's area grows.
    f.DisplayStatusClick();
    EXPECT_FALSE(f.Status->visible());
    EXPECT_FALSE(f.DisplayStatus->checked());
    EXPECT_EQ(f.clientHeight(), 480 + 28 + 21);
    EXPECT_EQ(f.VideoWinBack->height(), 480 + 21);
    // Optimize: the window becomes the fitted picture plus the control bar.
    const int w = f.VideoWin->width(), h = f.VideoWin->height();
    f.mnuOptimizeClick();
    EXPECT_EQ(f.clientWidth(), w);
    EXPECT_EQ(f.clientHeight(), h + 28);
}

TEST_F(VideoPlayer, SpeedAndVolumeComeFromTheValueDialogAndReachTheDeviceAtPlay) {
    TVideoForm& f = open();
    tick(f);
    value_dialog_test::Seen seen;
    value_dialog_test::typeAndEnter(sim.user, "50", &seen);
    f.mnuVidVolume->click();
    EXPECT_EQ(seen, value_dialog_test::shows("Audio Volume Factor (%)", 0, 100, 100, 10, 1, {0, 20, 40, 50, 60, 80}));
    EXPECT_EQ(video::state().volumeFactor, 500);
    value_dialog_test::clickPreset(sim.user, 0);  // 0 % means full volume
    f.mnuVidVolume->click();
    EXPECT_EQ(video::state().volumeFactor, 1000);

    value_dialog_test::typeAndEnter(sim.user, "125", &seen);
    f.mnuVidSpeed->click();
    EXPECT_EQ(seen, value_dialog_test::shows("Video Speed Factor (%)", 25, 200, 100, 25, 1, {25, 50, 75, 125, 150, 200}));
    EXPECT_EQ(video::state().speedFactor, 1250);
    // A command while playing pauses; cancel keeps the factor and the pause.
    f.mnuPlayClick();
    EXPECT_EQ(sim.media.log.back(), "play");
    EXPECT_EQ(sim.media.commands("speed 1250"), 1);
    value_dialog_test::cancel(sim.user);
    f.mnuVidSpeed->click();
    EXPECT_EQ(video::state().speedFactor, 1250);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Paused);
    EXPECT_EQ(visible(f), "Play,Step");
}

TEST_F(VideoPlayer, GrabWritesThePanelsPlaceAndHandsTheSurfaceToTheHost) {
    TVideoForm& f = open();
    f.mnuPlayClick();
    f.mnuGrab->click();
    EXPECT_EQ(sim.media.currentMode, MediaMode::Paused);
    IniFile ini(SettingsFileName);
    std::vector<int> grabbed;
    for (const char* k : {"prL", "prT", "prW", "prH"}) grabbed.push_back(ini.readInteger(SettingsSection, k, -99));
    EXPECT_EQ(grabbed, (std::vector<int>{-1, 0, 321, 240}));
    ASSERT_FALSE(sim.host.sent.empty());
    const SentMessage& m = sim.host.sent.back();
    EXPECT_EQ(m.window, kHost);
    EXPECT_EQ(m.msg, 2323u);
    EXPECT_EQ(static_cast<uintptr_t>(m.lparam), reinterpret_cast<uintptr_t>(&f) + 1);
    EXPECT_EQ(sim.user.surfacesReleased, sim.user.surfacesTaken);
    closePlayer();

    setKey("SafePLAY", "0x10000");  // only the low 16 bits count
    EXPECT_TRUE(open().mnuGrab->visible());
    closePlayer();
    setKey("SafePLAY", "1");
    EXPECT_FALSE(open().mnuGrab->visible());
}

TEST_F(VideoPlayer, EveryWayOfClosing) {
    // VideoWinClose95: recorded, carried out at the next tick; a second one closes at once.
    TVideoForm& f = open(1);
    entry::VideoWinClose95();
    EXPECT_EQ(entry::VideoWinStatus95(), 256);
    tick(f);
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
    EXPECT_EQ(broadcasts(), 1);
    EXPECT_EQ(sim.media.commands("close"), 1);
    EXPECT_FALSE(sim.media.isOpen());
    sim.user.processMessages();

    open();
    entry::VideoWinClose95();
    entry::VideoWinClose95();
    EXPECT_EQ(video::state().form, nullptr);
    EXPECT_EQ(broadcasts(), 2);
    sim.user.processMessages();

    // Esc: the first records, the second closes; with a modifier it is not Esc.
    TVideoForm& g = open();
    sim_test::press(g.XScrollbar1, vk::Escape, ShiftKey);
    EXPECT_FALSE(video::state().closeRequest);
    sim_test::press(g.XScrollbar1, vk::Escape);
    EXPECT_TRUE(video::state().closeRequest);
    EXPECT_EQ(entry::VideoWinStatus95(), 256);
    sim_test::press(g.XScrollbar1, vk::Escape);
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
    sim.user.processMessages();

    // Stop closes at the next tick, not at once.
    TVideoForm& h = open();
    h.MediaPlayer1->press(MediaBtn::Stop);
    EXPECT_EQ(entry::VideoWinStatus95(), 256);
    tick(h);
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
    sim.user.processMessages();

    // "Close and E&xit " closes at once.
    TVideoForm& k = open();
    k.mnuExit->click();
    EXPECT_EQ(video::state().form, nullptr);
    EXPECT_FALSE(video::state().closeRequest);
    EXPECT_EQ(broadcasts(), 5);
    sim.user.processMessages();

    // A second player call closes the first window before it opens the new one.
    open();
    TVideoForm& second = open(1);
    EXPECT_EQ(broadcasts(), 6);
    EXPECT_EQ(video::state().form, &second);
    EXPECT_EQ(entry::VideoWinStatus95(), 257);
    closePlayer();
    EXPECT_EQ(broadcasts(), 7);

    // A close requested while no player is open closes the next one at its first tick.
    entry::VideoWinClose95();
    TVideoForm& next = open(1);
    EXPECT_EQ(entry::VideoWinStatus95(), 257);
    tick(next);
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
    EXPECT_EQ(broadcasts(), 8);
}

TEST_F(VideoPlayer, OpeningErrorsNameTheDeviceErrorAndReturnZero) {
    // A type no device handles, and no SaveName at all ("ERROR"): the README suffix.
    const std::string noDevice = "There is no driver installed on your system.\nPlease see README file.";
    setKey("SaveName", "c:\\videos\\clip.xyz");
    sim.user.answer(noDevice, ModalResult::OK);
    EXPECT_EQ(entry::VideoWinPlayer95(kHost, 1, 0), 0);
    IniFile(SettingsFileName).writeString(SettingsSection, "SaveName", "ERROR");
    sim.user.answer(noDevice, ModalResult::OK);
    EXPECT_EQ(entry::VideoWinPlayer95(kHost, 1, 0), 0);
    // Any other error: its number.
    setKey("SaveName", "c:\\videos\\gone.avi");
    sim.user.answer("Cannot find the specified file.ErrCode=275", ModalResult::OK);
    EXPECT_EQ(entry::VideoWinPlayer95(kHost, 0, 0), 0);
    ASSERT_EQ(sim.user.dialogs.size(), 3u);
    EXPECT_EQ(sim.user.dialogs.back().kind, DialogKind::Error);
    EXPECT_EQ(sim.user.dialogs.back().buttons, static_cast<unsigned>(BtnOK));
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
    EXPECT_EQ(broadcasts(), 0);
    EXPECT_EQ(video::state().form, nullptr);
}

TEST_F(VideoPlayer, DeviceFailureIsReportedAndClosesTheWindow) {
    TVideoForm& f = open();
    sim.media.failNext["position"] = SimMedia::ErrUnsupported;
    sim.user.answer("The MCI device the system is using does not support the specified command.", ModalResult::OK);
    tick(f);
    EXPECT_EQ(sim.user.sentToBack, std::vector<std::string>{"VideoForm"});
    EXPECT_EQ(video::state().form, nullptr);
    EXPECT_EQ(broadcasts(), 1);
    sim.user.processMessages();

    // The device taken away while playing: every command fails from then on, and the status
    // timer ticks while the box is up. The timer stops before the box: one failure, one box.
    TVideoForm& g = open();
    g.MediaPlayer1->press(MediaBtn::Play);
    sim.media.failAlways = SimMedia::ErrNotOpen;
    int ticksInBox = 0;
    sim.user.whileDialogUp = [&](const std::string&) {
        for (int i = 0; i < 3 && ticksInBox < 40; ++i) {
            ++ticksInBox;
            for (Timer* t : std::vector<Timer*>(sim.painter.running)) t->tick();
        }
    };
    sim.user.answer("The device is not open.", ModalResult::OK);
    tick(g);
    sim.user.whileDialogUp = nullptr;
    EXPECT_EQ(sim.user.dialogs.size(), 2u);
    EXPECT_EQ(video::state().form, nullptr);
    EXPECT_EQ(broadcasts(), 2);
    EXPECT_FALSE(sim.media.isOpen());
    sim.media.failAlways = 0;
    sim.user.processMessages();

    // A video without frames cannot be shown: the activation fails, the export still says 1.
    sim.media.files[kFile].frames = 0;
    sim.user.answer("The video has no frames.", ModalResult::OK);
    EXPECT_EQ(entry::VideoWinPlayer95(kHost, 0, 0), 1);
    EXPECT_EQ(entry::VideoWinStatus95(), 0);
}

TEST_F(VideoPlayer, RedrawOption8PausesForTheRelayoutAndSeeksBack) {
    TVideoForm& f = open(0, 8);
    f.mnuPlayClick();
    sim.media.advance(30);
    tick(f);
    f.ZoomVideo(1);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Stopped);  // paused, then re-sought
    EXPECT_EQ(sim.media.log.back(), "put 0,0,321,240");
    EXPECT_EQ(sim.media.commands("seek 30"), 1);
    EXPECT_EQ(visible(f), "Play,Step");
}

TEST_F(VideoPlayer, KeysAndTheOptionsButton) {
    TVideoForm& f = open();
    tick(f);
    sim_test::press(f.MenuButton, VK_INSERT, ShiftKey);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Playing);
    sim_test::press(f.MenuButton, VK_DELETE, ShiftKey);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Paused);
    sim_test::press(f.MenuButton, 'Q', CtrlKey);
    EXPECT_TRUE(f.mnuQuietPlayback->checked());
    EXPECT_FALSE(sim.media.audioOn);
    sim_test::press(f.MenuButton, 'Q', CtrlKey | AltKey);  // not Ctrl+Q
    EXPECT_TRUE(f.mnuQuietPlayback->checked());
    sim_test::press(f.MenuButton, 'M', CtrlKey);
    ASSERT_EQ(sim.user.popups.back(), "MenuOptions");
    EXPECT_EQ(sim.user.popupX, f.left() + f.width() / 2);
    EXPECT_EQ(sim.user.popupY, f.top() + f.height() / 4);
    f.mnuUpdateClick(5);
    EXPECT_EQ(f.Timer1.interval(), 167);
    EXPECT_TRUE(f.mnuUpdate[5]->checked());
    EXPECT_FALSE(f.mnuUpdate[1]->checked());
}

TEST_F(VideoPlayer, PaletteChangesRepaintTheFrameAndConfigurePausesAndLaysOutInMode1) {
    TVideoForm& f = open(1);
    f.onPaletteChanged(&f, reinterpret_cast<uintptr_t>(f.VideoWin));  // our own picture: nothing
    EXPECT_EQ(sim.media.commands("update"), 0);
    f.onPaletteChanged(&f, 0x4242);  // another window's palette: the frame is drawn again
    EXPECT_EQ(sim.media.commands("update 0,0,321,240"), 1);
    EXPECT_EQ(sim.user.surfacesTaken, sim.user.surfacesReleased);
    EXPECT_TRUE(f.Timer1.enabled());

    f.mnuPlayClick();
    const int puts = sim.media.commands("put");
    f.mnuConfigureClick();
    EXPECT_EQ(sim.media.commands("configure"), 1);
    EXPECT_EQ(sim.media.currentMode, MediaMode::Paused);
    EXPECT_EQ(visible(f), "Play,Step");
    EXPECT_GT(sim.media.commands("put"), puts);  // play mode 1: laid out again
    closePlayer();

    TVideoForm& g = open(2);  // play mode 2 ignores palette changes
    g.onPaletteChanged(&g, 0x4242);
    EXPECT_EQ(sim.media.commands("update"), 1);
}
