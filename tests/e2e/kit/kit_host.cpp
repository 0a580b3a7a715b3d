// The test host's window, message loop and window pictures.
#include "tests/e2e/kit/kit_host.h"

#include <cstdlib>

#include "tests/e2e/kit/kit.h"

namespace kv::kit {

namespace {
constexpr const char* kHostClass = "KvTestHostWindow";
}

HostWindow::HostWindow(Handler onMessage, bool visible) : onMessage_(std::move(onMessage)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);  // fails harmlessly once the class exists
    hwnd_ = CreateWindowExA(0, kHostClass, "Test host", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 300,
                            200, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK HostWindow::proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self && self->onMessage_ && self->onMessage_(msg, wp, lp)) return 0;
    return DefWindowProcA(h, msg, wp, lp);
}

bool hostLoop(const std::function<bool()>& done, DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    MSG m;
    while (GetTickCount() < until) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (done && done()) return true;
        Sleep(5);
    }
    return done ? done() : true;
}

const char* hostActionName(HostAction a) {
    switch (a) {
        case HostAction::None: return "nothing more";
        case HostAction::MessageBox: return "a message box";
        case HostAction::PumpMessages: return "its messages let run";
        case HostAction::CallBack: return "a call back into the library";
    }
    return "?";
}

namespace {
constexpr const char* kHostBoxTitle = "Test host's answer";

struct BoxCloser {
    DWORD ms;
    static DWORD WINAPI run(void* p) {
        const DWORD ms = static_cast<BoxCloser*>(p)->ms;
        const DWORD until = GetTickCount() + ms + 10000;
        HWND box = nullptr;
        while (!box && GetTickCount() < until) {
            box = FindWindowA("#32770", kHostBoxTitle);
            if (!box) Sleep(10);
        }
        if (!box) return 0;
        Sleep(ms);  // the box's loop runs meanwhile
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
};
}  // namespace

void runHostAction(HostAction a, HWND owner, const std::function<void()>& callBack, DWORD ms) {
    switch (a) {
        case HostAction::None: break;
        case HostAction::MessageBox: {
            BoxCloser closer{ms};
            HANDLE t = CreateThread(nullptr, 0, &BoxCloser::run, &closer, 0, nullptr);
            MessageBoxA(owner, "The host answers.", kHostBoxTitle, MB_OK);
            WaitForSingleObject(t, INFINITE);
            CloseHandle(t);
            break;
        }
        case HostAction::PumpMessages: hostLoop(nullptr, ms); break;
        case HostAction::CallBack:
            if (callBack) callBack();
            break;
    }
}

bool captureWindow(HWND window, const std::string& name, bool redraw, DWORD settleMs) {
    if (redraw) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    hostLoop(nullptr, settleMs);
    return saveWindowBitmap(window, screensFolder() + "\\" + name);
}

bool colorsNear(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace kv::kit
