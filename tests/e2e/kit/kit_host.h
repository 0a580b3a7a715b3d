// The host's side of a test: a top-level window that receives the library's notification
// messages, a host's bare message loop, and pictures of the windows a test drives.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace kv::kit {

// A top-level window of this thread playing the host's main window. `onMessage` sees every
// message first and returns true when it handled it (the window then answers 0).
class HostWindow {
public:
    using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp)>;
    explicit HostWindow(Handler onMessage = {}, bool visible = false);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    Handler onMessage_;
    HWND hwnd_ = nullptr;
};

// A host's message loop (translate and dispatch) for up to `ms` or until `done` answers true;
// returns the last answer of `done` (true without one).
bool hostLoop(const std::function<bool()>& done, DWORD ms);

// What a host may do inside its answer to a notification, beside handling it: nothing more,
// show a message box of its own (a helper thread closes it after `ms`), let its messages run
// for `ms` (a nested PeekMessage loop), or call back into the library.
enum class HostAction { None, MessageBox, PumpMessages, CallBack };
const char* hostActionName(HostAction a);
// Does it; `callBack` is the call of CallBack.
void runHostAction(HostAction a, HWND owner, const std::function<void()>& callBack = {}, DWORD ms = 300);

// Saves the picture of a window under the screens folder as `name`, after letting it paint
// for `settleMs` (redrawn first when `redraw`); false when no picture was saved.
bool captureWindow(HWND window, const std::string& name, bool redraw = true, DWORD settleMs = 300);

// Whether two colours differ by at most `tolerance` in each of red, green and blue.
bool colorsNear(COLORREF a, COLORREF b, int tolerance);

}  // namespace kv::kit
