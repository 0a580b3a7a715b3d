// Modeless forms: they live in the host's message loop, which dispatches their messages but
// knows nothing of dialogs (no IsDialogMessage, perhaps not even TranslateMessage). While any
// modeless form is shown, one thread message hook (WH_GETMESSAGE) takes the keyboard messages
// meant for a modeless form's windows out of the host's hands: it translates and dispatches
// them itself and leaves the host a WM_NULL. The forms' own window procedures then do the key
// preview, Tab, Enter, Esc and the accelerators, as in a modal run. While a menu is open the
// keys are the menu's, and the hook leaves them alone. A form that frees itself
// on closing is deleted from a message of the loop, after the event that closed it.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

namespace {

constexpr UINT WM_KV_RELEASE = WM_APP + 0x4B4;  // deletes a released form (lParam)
constexpr const char* kReleaseClass = "KvRelease";

std::vector<Form*> g_modeless;  // shown modeless forms that still exist
std::vector<Form*> g_released;  // released forms waiting for their message
HHOOK g_hook = nullptr;

bool isModeless(const Form* f) { return f && std::find(g_modeless.begin(), g_modeless.end(), f) != g_modeless.end(); }

// The modeless form that this window belongs to, or nullptr.
Form* modelessFormOf(HWND h) {
    if (!h) return nullptr;
    auto* f = dynamic_cast<Form*>(controlOf(GetAncestor(h, GA_ROOT)));
    return isModeless(f) && !f->isModal() ? f : nullptr;
}

// Whether the thread runs a loop of the system's that reads the keys itself: a menu (a popup
// menu, the menu bar, the system menu) or the keyboard moving or sizing a window. Its keys
// reach the queue addressed to the window that has the focus, which may be a modeless form's,
// yet they are the loop's: a form that saw them too would act on them twice (Esc closing the
// window behind the menu, arrows moving its list).
bool inSystemLoop() {
    GUITHREADINFO gi{};
    gi.cbSize = sizeof gi;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &gi)) return false;
    return (gi.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE)) != 0;
}

LRESULT CALLBACK keyHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* m = reinterpret_cast<MSG*>(lp);
        // A message box or a dialog takes its keys in its own windows, which are no modeless
        // form's; a menu's or a window move's keys are told apart by the thread's mode.
        if (m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST && modelessFormOf(m->hwnd) && !inSystemLoop()) {
            MSG mine = *m;
            m->message = WM_NULL;
            TranslateMessage(&mine);
            DispatchMessageA(&mine);
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

LRESULT CALLBACK releaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KV_RELEASE) {
        auto* f = reinterpret_cast<Form*>(lp);
        auto it = std::find(g_released.begin(), g_released.end(), f);
        if (it != g_released.end()) {
            g_released.erase(it);
            // Delivered by a loop that a handler of ours runs: the form waits for it to return.
            if (handlersRunning()) releaseWhenIdle(*f);
            else showingErrors([&] { delete f; });
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND releaseWindow() {
    static HWND h = nullptr;
    if (!h || !IsWindow(h)) {
        HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(applicationWindow(), GWLP_HINSTANCE));
        registerWindowClass(inst, kReleaseClass, releaseProc, 0);
        h = CreateWindowExA(0, kReleaseClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    }
    return h;
}

}  // namespace

void showModeless(Form& f) {
    realizeTree(f);
    HWND h = hwndOf(f);
    if (!h) return;
    if (!isModeless(&f)) g_modeless.push_back(&f);
    if (!g_hook) g_hook = SetWindowsHookExA(WH_GETMESSAGE, keyHook, nullptr, GetCurrentThreadId());
    ShowWindow(h, SW_SHOW);
    SetForegroundWindow(h);
    SetActiveWindow(h);
    UpdateWindow(h);
}

bool activatesModeless(Form& f, HWND previous, bool first) {
    if (!isModeless(&f) || f.isModal()) return false;
    if (first) return true;
    Form* from = modelessFormOf(previous);
    return from && from != &f;
}

void forgetModeless(Form& f) {
    g_released.erase(std::remove(g_released.begin(), g_released.end(), &f), g_released.end());
    g_modeless.erase(std::remove(g_modeless.begin(), g_modeless.end(), &f), g_modeless.end());
    if (g_modeless.empty() && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

void releaseLater(Form& f) {
    if (std::find(g_released.begin(), g_released.end(), &f) != g_released.end()) return;
    g_released.push_back(&f);
    PostMessageA(releaseWindow(), WM_KV_RELEASE, 0, reinterpret_cast<LPARAM>(&f));
}

}  // namespace kv::win32::detail
