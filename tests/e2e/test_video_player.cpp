// The video player through the real DLL, with this program as the host: a window of its own
// that receives the frame grab (2323, whose rectangle it copies from the drawing surface it
// gets) and the closing broadcast (2309), and a bare message loop of a host. The videos are
// made here: uncompressed AVI files whose frames are solid colours telling their numbers.
#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_avi.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

constexpr UINT kGrabMessage = 2323, kClosedMessage = 2309;

struct VideoHost {
    int grabs = 0, closedMessages = 0;
    COLORREF grabbedCentre = CLR_INVALID;
    int grabW = 0, grabH = 0;
    // What the host does once more on the next 2309 (then nothing again), and its call back.
    kit::HostAction onClosed = kit::HostAction::None;
    std::function<void()> callBack;
    kit::HostWindow window{[this](UINT msg, WPARAM, LPARAM lp) {
        if (msg == kGrabMessage) {
            onGrab(reinterpret_cast<HDC>(lp));
        } else if (msg == kClosedMessage) {
            ++closedMessages;
            const kit::HostAction a = onClosed;
            onClosed = kit::HostAction::None;
            kit::runHostAction(a, window.hwnd(), callBack);
        } else {
            return false;
        }
        return true;
    }};

    // What a host does on 2323: copies the rectangle prL, prT, prW, prH of the surface.
    void onGrab(HDC surface) {
        ++grabs;
        const auto [l, t, w, h] = kit::pictureRect();
        grabW = w;
        grabH = h;
        if (grabW <= 0 || grabH <= 0) return;
        HDC mem = CreateCompatibleDC(surface);
        HBITMAP bmp = CreateCompatibleBitmap(surface, grabW, grabH);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, grabW, grabH, surface, l, t, SRCCOPY);
        grabbedCentre = GetPixel(mem, grabW / 2, grabH / 2);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
};

template <class F>
F exportFn(const char* name) {
    return reinterpret_cast<F>(kit::exportAddress(name));
}

int32_t player(HWND host, int32_t mode, uint32_t redraw) {
    auto fn = exportFn<int32_t(WINAPI*)(HWND, int32_t, uint32_t)>("VideoWinPlayer95");
    return fn ? fn(host, mode, redraw) : -1;
}
int32_t status() {
    auto fn = exportFn<int32_t(WINAPI*)()>("VideoWinStatus95");
    return fn ? fn() : -1;
}
void closePlayer() {
    if (auto fn = exportFn<void(WINAPI*)()>("VideoWinClose95")) fn();
}

using kit::hostLoop;

bool closeTo(COLORREF a, COLORREF b, int tol = 12) { return kit::colorsNear(a, b, tol); }

void capture(HWND w, const std::string& name) { EXPECT_TRUE(kit::captureWindow(w, name, false)) << name; }

bool shown(HWND form, const char* name) {
    HWND h = findNamedIn(form, name);
    return h && IsWindowVisible(h);
}

// The visible buttons of the bar, in order, as "Play,Stop".
std::string visibleButtons(HWND form) {
    std::string out;
    for (const char* b : {"BtnPlay", "BtnPause", "BtnStop", "BtnNext", "BtnPrev", "BtnStep", "BtnBack", "BtnRecord", "BtnEject"})
        if (shown(form, b)) out += std::string(out.empty() ? "" : ",") + (b + 3);
    return out;
}

class VideoPlayerE2E : public ::testing::Test {
protected:
    kit::TempFolder folder{"Kavrin video test"};
    VideoHost host;
    std::string video;  // 320 x 240, 25 fps, 30 frames

    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr);
        video = folder.file("Colour frames 320x240.avi");
        ASSERT_TRUE(kit::writeTestAvi(video, {320, 240, 30, 25, false}));
        kit::writeKey("SaveName", video);
        kit::deleteKey("SafePLAY");
    }
    void TearDown() override {
        if (status() != 0) {
            closePlayer();
            closePlayer();
            hostLoop([] { return status() == 0; }, 3000);
        }
        kit::deleteKey("SaveName");
    }
    HWND open(int mode = 0, uint32_t redraw = 0) {
        kit::WatchdogScope watch("VideoWinPlayer95", 30000);
        EXPECT_EQ(player(host.window.hwnd(), mode, redraw), 1);
        HWND f = findNamed("VideoForm");
        EXPECT_NE(f, nullptr);
        return f;
    }
    std::string statusText(HWND form) { return windowText(findNamedIn(form, "Status")); }
};

}  // namespace

TEST_F(VideoPlayerE2E, OpensPlaysToTheEndAndClosesAtTheNextTickWithTheBroadcast) {
    HWND form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(status(), 256);
    EXPECT_EQ(windowText(form), "Colour frames 320x240.avi");
    EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 320);  // the video at 100 %, plus the control and status bars
    EXPECT_EQ(client.bottom, 240 + 28 + 21);
    EXPECT_EQ(visibleButtons(form), "Play,Stop");
    // The first tick finds the device stopped at frame 0.
    ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 3000)) << statusText(form);
    EXPECT_EQ(visibleButtons(form), "Play,Step");

    // Play to the end in the host's loop: 30 frames at 25 fps.
    click(findNamedIn(form, "BtnPlay"));
    EXPECT_EQ(visibleButtons(form), "Pause,Stop");
    ASSERT_TRUE(hostLoop([&] { return visibleButtons(form) == "Stop,Prev"; }, 8000)) << statusText(form);
    EXPECT_EQ(statusText(form), "Stopped Frame:29");
    capture(form, "video-player-end.bmp");

    // Play again, then the host's close: carried out at the next tick.
    click(findNamedIn(form, "BtnPrev"));
    EXPECT_EQ(statusText(form), "Ready");
    click(findNamedIn(form, "BtnPlay"));
    closePlayer();
    EXPECT_EQ(status(), 256);
    EXPECT_EQ(host.closedMessages, 0);
    ASSERT_TRUE(hostLoop([] { return status() == 0; }, 3000));
    EXPECT_EQ(host.closedMessages, 1);  // the broadcast reached the host's top-level window
    hostLoop(nullptr, 100);
    EXPECT_EQ(findNamed("VideoForm", false), nullptr);
}

TEST_F(VideoPlayerE2E, StepsSeeksAndHandsTheShownFrameToTheHost) {
    HWND form = open(1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(status(), 257);
    ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 3000));
    // Step shows the position before the step.
    click(findNamedIn(form, "BtnStep"));
    EXPECT_EQ(statusText(form), "StoppedFrame:0");
    click(findNamedIn(form, "BtnStep"));
    EXPECT_EQ(statusText(form), "StoppedFrame:1");

    // The seek bar: the user's arrow steps, then a click on the thumb seeks there.
    HWND bar = findNamedIn(form, "XScrollbar1");
    ASSERT_NE(bar, nullptr);
    const int k = 12;
    for (int i = 0; i < k - 1; ++i)  // from frame 1, where the second step left the bar
        SendMessageA(GetParent(bar), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(statusText(form), "Seek Frame:" + std::to_string(k));
    SCROLLBARINFO sbi{sizeof sbi};
    ASSERT_TRUE(GetScrollBarInfo(bar, OBJID_CLIENT, &sbi));
    const int x = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2, y = (sbi.rcScrollBar.bottom - sbi.rcScrollBar.top) / 2;
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    hostLoop(nullptr, 200);
    EXPECT_EQ(visibleButtons(form), "Play,Step");

    // Grab Frame from the options menu (Ctrl+M opens it, G chooses the item).
    capture(form, "video-player-paused.bmp");
    Driver menu([&] {
        HWND m = nullptr;
        waitUntil([&] { return (m = FindWindowA("#32768", nullptr)) && IsWindowVisible(m); }, 5000);
        if (!m) return;
        Sleep(200);
        kit::saveWindowBitmap(m, kit::screensFolder() + "\\video-player-options-menu.bmp");
        PostMessageA(m, WM_KEYDOWN, 'G', 0);
        PostMessageA(m, WM_CHAR, 'g', 0);
    });
    sendKey(findNamedIn(form, "XScrollbar1"), 'M', true);
    menu.join();
    hostLoop([&] { return host.grabs > 0; }, 3000);
    ASSERT_EQ(host.grabs, 1);
    // The fitted panel of a 320 x 240 video at 100 %: one pixel wider than its background,
    // at -1.
    EXPECT_EQ(kit::readIntKey("prL", 0), -1);
    EXPECT_EQ(kit::readIntKey("prT", -9), 0);
    EXPECT_EQ(host.grabW, 321);
    EXPECT_EQ(host.grabH, 240);
    EXPECT_TRUE(closeTo(host.grabbedCentre, kit::aviFrameColor(k)))
        << std::hex << host.grabbedCentre << " for frame " << std::dec << k << " expected " << std::hex
        << kit::aviFrameColor(k);

    // Esc twice closes at once, with the broadcast.
    sendKey(findNamedIn(form, "XScrollbar1"), VK_ESCAPE);
    EXPECT_EQ(status(), 257);
    sendKey(findNamedIn(form, "XScrollbar1"), VK_ESCAPE);
    hostLoop([] { return status() == 0; }, 2000);
    EXPECT_EQ(status(), 0);
    EXPECT_EQ(host.closedMessages, 1);
}

TEST_F(VideoPlayerE2E, MissingFileAndUnknownTypeGiveTheErrorBoxAndZero) {
    for (const auto& [name, suffix] : {std::pair<std::string, std::string>{"missing.avi", "ErrCode="},
                                       {"picture.xyz", "\nPlease see README file."}}) {
        std::string path = folder.file(name);
        if (name == "picture.xyz") folder.writeFile(name, "not a video");
        kit::writeKey("SaveName", path);
        std::string text, title;
        Driver answer([&] { title = answerNextDialog("OK", &text); });
        {
            kit::WatchdogScope watch("VideoWinPlayer95 on " + name, 20000);
            EXPECT_EQ(player(host.window.hwnd(), 0, 0), 0) << name;
        }
        answer.join();
        EXPECT_EQ(title, "Error");
        EXPECT_NE(text.find(suffix), std::string::npos) << name << ": " << text;
        EXPECT_EQ(status(), 0);
        hostLoop(nullptr, 100);
        EXPECT_EQ(host.closedMessages, 0);
    }
}

// A video with a sound track plays to its end without a sound device; a second player call on
// a video above 32760 frames (it closes the first) counts the seek bar in tens.
TEST_F(VideoPlayerE2E, AVideoWithSoundPlaysWithoutASoundDevice_ALongVideoCountsTheSeekBarInTens) {
    const std::string sound = folder.file("with sound.avi"), longVideo = folder.file("long.avi");
    ASSERT_TRUE(kit::writeTestAvi(sound, {160, 120, 20, 25, true}));
    ASSERT_TRUE(kit::writeTestAvi(longVideo, {8, 8, 32761, 25, false}));
    kit::writeKey("SaveName", sound);
    HWND form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 3000));
    click(findNamedIn(form, "BtnPlay"));
    ASSERT_TRUE(hostLoop([&] { return visibleButtons(form) == "Stop,Prev"; }, 8000)) << statusText(form);
    EXPECT_EQ(status(), 256);  // still open: no error closed it
    EXPECT_EQ(findNamed("MessageDialog", false), nullptr);

    kit::writeKey("SaveName", longVideo);
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(host.closedMessages, 1);  // the first player closed with its broadcast
    HWND bar = findNamedIn(form, "XScrollbar1");
    SCROLLINFO si{sizeof si, SIF_RANGE};
    GetScrollInfo(bar, SB_CTL, &si);
    EXPECT_EQ(si.nMax, 3276);
    SendMessageA(GetParent(bar), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(statusText(form), "Seek Frame:32760");
}

TEST_F(VideoPlayerE2E, SizedByTheUserTheWindowFitsThePictureAndZoomsWithinTheScreen) {
    HWND form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 3000));
    // The user drags the window wider and lower: the picture keeps its proportions, centred.
    RECT wr;
    GetWindowRect(form, &wr);
    SetWindowPos(form, nullptr, wr.left + 30, wr.top + 20, (wr.right - wr.left) + 200, wr.bottom - wr.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    hostLoop(nullptr, 300);
    RECT client, pic;
    GetClientRect(form, &client);
    HWND videoWin = findNamedIn(form, "VideoWin");
    GetWindowRect(videoWin, &pic);
    MapWindowPoints(nullptr, GetParent(videoWin), reinterpret_cast<POINT*>(&pic), 2);
    EXPECT_EQ(pic.bottom - pic.top, 241);  // the height decides: 320 x 240 in a 520 x 240 area
    EXPECT_EQ(pic.right - pic.left, 321);
    EXPECT_EQ(pic.left, (client.right - 321) / 2);
    capture(form, "video-player-widened.bmp");
    // Ctrl+4 needs 1280 pixels and the frame: refused on a 1280-pixel screen; Ctrl+2 fits.
    sendKey(findNamedIn(form, "XScrollbar1"), '4', true);
    hostLoop(nullptr, 200);
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 520);
    sendKey(findNamedIn(form, "XScrollbar1"), '2', true);
    hostLoop(nullptr, 300);
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480 + 28 + 21);
}

TEST_F(VideoPlayerE2E, AHungWindowDoesNotHoldUpTheClosingBroadcast) {
    // A top-level window whose thread does not take its messages for 6 s.
    struct Hung {
        static DWORD WINAPI run(void* p) {
            HWND h = CreateWindowExA(0, "STATIC", "hung window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
            *static_cast<HWND*>(p) = h;
            Sleep(6000);
            DestroyWindow(h);
            return 0;
        }
    };
    HWND hung = nullptr;
    HANDLE t = CreateThread(nullptr, 0, &Hung::run, &hung, 0, nullptr);
    ASSERT_TRUE(waitUntil([&] { return hung != nullptr; }, 2000));
    HWND form = open();
    ASSERT_NE(form, nullptr);
    const DWORD t0 = GetTickCount();
    {
        kit::WatchdogScope watch("closing beside a hung window", 20000);
        closePlayer();
        closePlayer();  // the second request closes at once
    }
    const DWORD took = GetTickCount() - t0;
    EXPECT_EQ(status(), 0);
    EXPECT_EQ(host.closedMessages, 1);
    EXPECT_LT(took, 4000u) << "the close waited " << took << " ms";
    std::printf("[ figure   ] closing with a hung top-level window: %lu ms\n", took);
    WaitForSingleObject(t, 10000);
    CloseHandle(t);
}

// The host answers the closing broadcast with a message box, by letting its messages run or by
// opening the player again, while the player's own handlers are still on the stack: the player
// closed by "Close and E&xit " from its options menu, or by a posted WM_CLOSE, is freed only
// after they have returned, and the process goes on.
TEST_F(VideoPlayerE2E, TheHostMayRunMessagesOrOpenThePlayerAgainInItsAnswerToTheClosingBroadcast) {
    using kit::HostAction;
    host.callBack = [&] { EXPECT_EQ(player(host.window.hwnd(), 0, 0), 1); };
    int closed = 0;
    HWND reopened = nullptr;  // the player the host's call back opened
    const std::pair<HostAction, bool> cases[] = {{HostAction::MessageBox, false},
                                                 {HostAction::PumpMessages, false},
                                                 {HostAction::CallBack, false},
                                                 {HostAction::MessageBox, true}};
    for (const auto& [action, postedClose] : cases) {
        SCOPED_TRACE(std::string(kit::hostActionName(action)) + (postedClose ? ", posted WM_CLOSE" : ", Close and Exit"));
        HWND form = reopened ? reopened : open();
        reopened = nullptr;
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 8000));
        host.onClosed = action;
        {
            kit::WatchdogScope watch("closing the player", 30000);
            if (postedClose) {
                PostMessageA(form, WM_CLOSE, 0, 0);
            } else {
                Driver menu([] {
                    HWND m = nullptr;
                    waitUntil([&] { return (m = FindWindowA("#32768", nullptr)) && IsWindowVisible(m); }, 5000);
                    if (!m) return;
                    PostMessageA(m, WM_KEYDOWN, 'X', 0);
                    PostMessageA(m, WM_CHAR, 'x', 0);
                });
                sendKey(findNamedIn(form, "XScrollbar1"), 'M', true);
                menu.join();
            }
            hostLoop([&] { return host.closedMessages > closed && !IsWindow(form); }, 5000);
        }
        EXPECT_EQ(host.closedMessages, ++closed);
        EXPECT_FALSE(IsWindow(form));  // freed once the handlers had returned
        if (action == HostAction::CallBack) {
            EXPECT_EQ(status(), 256);  // the player the host opened again
            reopened = findNamed("VideoForm");
            EXPECT_NE(reopened, nullptr);
        } else {
            EXPECT_EQ(status(), 0);
        }
    }
}

// The host closes every media device of its process while the player plays: the player's next
// status tick fails. The timer stops before the error box, so its ticks while the box is up
// (four here) add no box; after the one answer the window closes and the host's loop goes on.
TEST_F(VideoPlayerE2E, ADeviceClosedUnderThePlayingPlayerGivesOneErrorBox) {
    HWND form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(hostLoop([&] { return statusText(form) == "Stopped Frame:0"; }, 8000));
    click(findNamedIn(form, "BtnPlay"));
    std::set<HWND> boxes;
    std::string text;
    Driver user([&] {
        auto look = [&] {
            for (HWND h : topWindows())
                if (kvName(h) == "MessageDialog" && boxes.insert(h).second && text.empty())
                    text = windowText(findNamedIn(h, "Message"));
        };
        if (!waitUntil([&] { look(); return !boxes.empty(); }, 15000)) return;
        const DWORD until = GetTickCount() + 2000;
        while (GetTickCount() < until) {
            look();
            Sleep(50);
        }
        // Every box is answered, the last one first, until none comes for a while.
        DWORD quietSince = GetTickCount();
        while (GetTickCount() - quietSince < 1500) {
            look();
            HWND top = findNamed("MessageDialog");
            if (HWND ok = top ? findNamedIn(top, "OK") : nullptr) {
                PostMessageA(ok, BM_CLICK, 0, 0);
                waitUntil([&] { return !IsWindow(top); }, 3000);
                quietSince = GetTickCount();
            }
            Sleep(50);
        }
    });
    mciSendStringA("close all", nullptr, 0, nullptr);
    {
        kit::WatchdogScope watch("the player over a closed device", 60000);
        hostLoop([] { return status() == 0; }, 30000);
    }
    user.join();
    EXPECT_EQ(boxes.size(), 1u) << text;
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(status(), 0);
    EXPECT_FALSE(IsWindow(form));
}
