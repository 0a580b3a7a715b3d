// A modal form's run: the thread's other windows disabled, the form shown, activated and
// given its message loop until it ends; a form's window state.
#include "framework/win32/win32_backend.h"


namespace kv::win32::detail {

namespace {

struct DisabledWindows {
    HWND keep;
    std::vector<HWND> list;
};

BOOL CALLBACK disableOne(HWND h, LPARAM lp) {
    auto* d = reinterpret_cast<DisabledWindows*>(lp);
    if (h != d->keep && IsWindowVisible(h) && IsWindowEnabled(h)) {
        EnableWindow(h, FALSE);
        d->list.push_back(h);
    }
    return TRUE;
}

}  // namespace

ModalResult Win32Ui::showModal(Form& f) {
    // What the window below has still to paint is painted first, before the form's windows
    // are made: it shows its present state (a table just loaded) behind the form, not what
    // it showed before, and as soon as it can.
    HWND prevActive = GetActiveWindow();
    if (prevActive && prevActive != hwndOf(f)) UpdateWindow(prevActive);
    realizeTree(f);
    Peer* p = peerOf(f);
    HWND h = p->hwnd;
    forgetSentModifiers();
    f.beginModal();

    // The other windows of the thread (the host's) take no input while the form is shown.
    DisabledWindows off{h, {}};
    EnumThreadWindows(GetCurrentThreadId(), disableOne, reinterpret_cast<LPARAM>(&off));

    ShowWindow(h, SW_SHOW);
    SetForegroundWindow(h);
    SetActiveWindow(h);
    giveInitialFocus(f);
    UpdateWindow(h);
    activateOnce(f);

    MSG msg;
    for (;;) {
        bool ended = false;
        showingErrors([&] { ended = f.checkModalEnd(); });
        if (ended) break;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The application is quitting: end the form and leave the quit for the host's loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            f.setModalResult(ModalResult::Cancel);
            f.doClose();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (f.peer) realizeTree(f);  // controls made by handlers get their windows
    }

    for (auto it = off.list.rbegin(); it != off.list.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
    if (f.peer) {
        if (prevActive && IsWindow(prevActive) && prevActive != h) SetActiveWindow(prevActive);
        // Hidden from the message loop, not here: a form is mostly destroyed right after its
        // modal run, and hiding a window can wait on the window manager (seconds under X
        // without one) where destroying it does not.
        PostMessageA(h, WM_KV_HIDE, 0, 0);
        peerOf(f)->activated = false;
    }
    forgetSentModifiers();
    f.endModal();
    return f.modalResult();
}

WindowState Win32Ui::windowState(Form& f) {
    HWND h = hwndOf(f);
    if (!h) return WindowState::Normal;
    if (IsIconic(h)) return WindowState::Minimized;
    if (IsZoomed(h)) return WindowState::Maximized;
    return WindowState::Normal;
}

void Win32Ui::setWindowState(Form& f, WindowState s) {
    HWND h = hwndOf(f);
    if (!h || windowState(f) == s) return;
    ShowWindow(h, s == WindowState::Minimized ? SW_MINIMIZE : s == WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE);
}

}  // namespace kv::win32::detail
