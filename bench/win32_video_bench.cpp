// The video player under Wine, driven the way a host does: how long from VideoWinPlayer95
// until the first frame of a 320 x 240 video is painted in the player, and whether playback
// keeps the video's frame rate while the status timer runs at its fastest rate (167 ms).
//
//   win32_video_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_avi.h"

namespace kit = kv::kit;

namespace {

HWND findNamed(HWND root, const std::string& name) {
    struct S {
        std::string name;
        HWND found = nullptr;
        static BOOL CALLBACK each(HWND h, LPARAM lp) {
            auto* s = reinterpret_cast<S*>(lp);
            char buf[128] = {};
            ATOM a = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "KvName")));
            if (a && GlobalGetAtomNameA(a, buf, sizeof buf) && s->name == buf) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        }
    } s{name};
    if (root) EnumChildWindows(root, S::each, reinterpret_cast<LPARAM>(&s));
    else
        for (HWND w : kit::processWindows()) {
            S::each(w, reinterpret_cast<LPARAM>(&s));
            if (s.found) break;
        }
    return s.found;
}

std::string text(HWND h) {
    char b[256] = {};
    GetWindowTextA(h, b, sizeof b);
    return b;
}

void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool closeColor(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

using FnPlayer = int32_t(WINAPI*)(HWND, int32_t, uint32_t);
using FnNoArgs = int32_t(WINAPI*)();
using FnVoid = void(WINAPI*)();

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (!kit::dll()) {
        std::printf("cannot load %s\n", kit::dllPath().c_str());
        return 1;
    }
    auto player = reinterpret_cast<FnPlayer>(kit::exportAddress("VideoWinPlayer95"));
    auto status = reinterpret_cast<FnNoArgs>(kit::exportAddress("VideoWinStatus95"));
    auto closeVideo = reinterpret_cast<FnVoid>(kit::exportAddress("VideoWinClose95"));
    kit::TempFolder folder("Kavrin video bench");
    const std::string video = folder.file("bench 320x240.avi");
    if (!kit::writeTestAvi(video, {320, 240, 200, 25, false})) return 1;
    kit::writeKey("SaveName", video);
    HWND host = CreateWindowExA(0, "STATIC", "bench host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const COLORREF first = kit::aviFrameColor(0);

    // ---- from the call to the first painted frame ----
    std::vector<double> times, calls;
    for (int r = 0; r < runs; ++r) {
        kit::WatchdogScope watch("opening the player", 30000);
        const double t0 = kit::nowMs();
        if (player(host, 0, 0) != 1) {
            std::printf("VideoWinPlayer95 failed\n");
            return 1;
        }
        const double returned = kit::nowMs();
        HWND form = findNamed(nullptr, "VideoForm");
        HWND pic = form ? findNamed(form, "VideoWin") : nullptr;
        double painted = -1;
        while (pic && kit::nowMs() - t0 < 5000) {
            HDC dc = GetDC(pic);
            RECT rc;
            GetClientRect(pic, &rc);
            const COLORREF c = GetPixel(dc, rc.right / 2, rc.bottom / 2);
            ReleaseDC(pic, dc);
            if (closeColor(c, first)) {
                painted = kit::nowMs();
                break;
            }
            pump();
            Sleep(1);
        }
        if (painted < 0) {
            std::printf("run %d: the first frame was not seen within 5 s\n", r + 1);
            return 1;
        }
        times.push_back(painted - t0);
        calls.push_back(returned - t0);
        closeVideo();
        closeVideo();
        while (status() != 0) pump();
        pump();
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("first frame painted after VideoWinPlayer95 (320x240): median %.1f ms, min %.1f, max %.1f over %d runs"
                " (the call itself returned after a median %.1f ms)\n",
                median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), runs, median(calls));
    std::printf("  (the first opening in a process: %.1f ms, it loads the media services)\n", times.front());

    // ---- playback rate with the fastest status update ----
    player(host, 0, 0);
    HWND form = findNamed(nullptr, "VideoForm");
    HWND statusBar = findNamed(form, "Status");
    HWND playButton = findNamed(form, "BtnPlay");
    // The fastest update rate from the options menu: Ctrl+M, "Status &Update", the sixth item.
    PostMessageA(form, WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(form, WM_KEYDOWN, 'M', 0);
    struct Keys {
        static DWORD WINAPI run(void*) {
            HWND menu = nullptr;
            for (int i = 0; i < 200 && !(menu = FindWindowA("#32768", nullptr)); ++i) Sleep(10);
            if (!menu) return 0;
            Sleep(100);
            PostMessageA(menu, WM_CHAR, 'u', 0);
            Sleep(150);
            for (int i = 0; i < 5; ++i) {
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
                Sleep(30);
            }
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            return 0;
        }
    };
    HANDLE t = CreateThread(nullptr, 0, &Keys::run, nullptr, 0, nullptr);
    for (double until = kit::nowMs() + 1500; kit::nowMs() < until;) {
        pump();
        Sleep(5);
    }
    WaitForSingleObject(t, 2000);
    CloseHandle(t);
    PostMessageA(form, WM_KEYUP, VK_CONTROL, 0);
    pump();
    SendMessageA(playButton, BM_CLICK, 0, 0);
    // Each change of the status text is a timer tick; its frame number is the position then.
    std::string last = text(statusBar);
    double firstAt = -1, lastAt = -1;
    int firstFrame = -1, lastFrame = -1, ticks = 0;
    const double start = kit::nowMs();
    while (kit::nowMs() - start < 5000) {
        pump();
        const std::string s = text(statusBar);
        if (s != last) {
            last = s;
            int f = -1;
            if (std::sscanf(s.c_str(), "Playing Frame:%d", &f) == 1) {
                const double at = kit::nowMs();
                if (firstAt < 0 && at - start > 300) {
                    firstAt = at;
                    firstFrame = f;
                } else if (firstAt >= 0) {
                    lastAt = at;
                    lastFrame = f;
                    ++ticks;
                }
            }
        }
        Sleep(1);
    }
    if (firstAt < 0 || lastAt < 0) {
        std::printf("playback: the status bar showed no playing frames\n");
        return 1;
    }
    const double secs = (lastAt - firstAt) / 1000.0;
    const double rate = (lastFrame - firstFrame) / secs;
    std::printf("playback: %d frames in %.2f s = %.2f fps (video 25 fps: %+.1f %%; 100 frames in 4 s would be %.1f);"
                " %d status updates, %.0f ms apart\n",
                lastFrame - firstFrame, secs, rate, (rate / 25.0 - 1) * 100, rate * 4, ticks, 1000 * secs / ticks);
    closeVideo();
    closeVideo();
    while (status() != 0) pump();
    DestroyWindow(host);
    return 0;
}
