#include "tests/e2e/test_editor_driver.h"

#include <algorithm>
#include <cmath>

#include "tests/e2e/kit/kit.h"

namespace kv::e2e {

std::string kvName(HWND h) {
    ATOM a = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "KvName")));
    char buf[256] = {};
    if (!a || !GlobalGetAtomNameA(a, buf, sizeof buf)) return "";
    return buf;
}

std::string windowText(HWND h) {
    char buf[1024] = {};
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, nullptr);
    return buf;
}

namespace {

struct Search {
    const std::string* name;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK childMatch(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if ((!s->visibleOnly || IsWindowVisible(h)) && kvName(h) == *s->name) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK topMatch(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    auto* s = reinterpret_cast<Search*>(lp);
    if (s->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (kvName(h) == *s->name) {
        s->found = h;
        return FALSE;
    }
    EnumChildWindows(h, childMatch, lp);
    return s->found ? FALSE : TRUE;
}

}  // namespace

HWND findNamed(const std::string& name, bool visibleOnly) {
    Search s{&name, visibleOnly, nullptr};
    EnumWindows(topMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND findNamedIn(HWND root, const std::string& name) {
    Search s{&name, false, nullptr};
    EnumChildWindows(root, childMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> topWindows() { return kv::kit::processWindows(); }

HWND popupMenuWindow() {
    HWND found = nullptr;
    for (HWND w : topWindows()) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32768") == 0) found = w;
    }
    return found;
}

HWND focusedWindowOf(HWND h) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti)) return nullptr;
    return gti.hwndFocus;
}

bool waitUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

HWND waitNamed(const std::string& name, DWORD ms) {
    HWND h = nullptr;
    waitUntil([&] { return (h = findNamed(name)) != nullptr; }, ms);
    return h;
}

void sendKey(HWND h, int vk, bool ctrl, bool shift) {
    if (ctrl) SendMessageA(h, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    if (shift) SendMessageA(h, WM_KEYDOWN, VK_SHIFT, 0x002A0001);
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    SendMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    if (!ctrl && (vk == VK_SPACE || vk == VK_RETURN || (vk >= '0' && vk <= 'Z')))
        SendMessageA(h, WM_CHAR, vk == VK_RETURN ? '\r' : static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    SendMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
    if (shift) SendMessageA(h, WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC02A0001u));
    if (ctrl) SendMessageA(h, WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC01D0001u));
}

void sendChar(HWND h, char c) { SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), 1); }

namespace {

void inputKey(int vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(vk);
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(vk), 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

}  // namespace

RealKeyboard::~RealKeyboard() {
    while (!held_.empty()) up(held_.back());
}

void RealKeyboard::down(int vk) {
    inputKey(vk, false);
    held_.push_back(vk);
}

void RealKeyboard::up(int vk) {
    inputKey(vk, true);
    held_.erase(std::remove(held_.begin(), held_.end(), vk), held_.end());
}

namespace {

void inputMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

}  // namespace

RealMouse::~RealMouse() {
    if (leftHeld_) up(false);
    if (rightHeld_) up(true);
}

void RealMouse::moveTo(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    // Absolute moves count in 65536ths of the screen; rounding up lands on the pixel meant.
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    inputMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (p.x * 65536 + w - 1) / w, (p.y * 65536 + h - 1) / h);
    // The pointer is there once the system has taken the move in.
    waitUntil(
        [&] {
            POINT at{};
            return GetCursorPos(&at) && at.x == p.x && at.y == p.y;
        },
        1000);
}

void RealMouse::down(bool right) {
    inputMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    (right ? rightHeld_ : leftHeld_) = true;
}

void RealMouse::up(bool right) {
    inputMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    (right ? rightHeld_ : leftHeld_) = false;
}

void click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

LPARAM cellPoint(HWND form, HWND grid, int col, int row) {
    enum { SlideNo, DisplayName = 4, UseColor, Effect, Wait, Horz, Vert, Gamma, Zoom, Volume, Speed, Tag = 15, Count };
    RECT fr, gr;
    GetWindowRect(form, &fr);
    GetWindowRect(grid, &gr);
    const double u = (fr.right - fr.left) / 634.0;
    auto scaled = [u](double w) { return static_cast<int>(std::nearbyint(w * u)); };
    int w[Count];
    for (int c = 0; c < Count; ++c) w[c] = 1;
    w[Effect] = scaled(100);
    w[Wait] = w[Gamma] = scaled(45);
    for (int c : {SlideNo, Horz, Vert, Zoom, Volume, Speed}) w[c] = scaled(35);
    w[UseColor] = w[Tag] = scaled(30);
    int sum = 0;
    for (int c = 0; c < Count; ++c) sum += w[c];
    w[DisplayName] = (gr.right - gr.left) - (sum + GetSystemMetrics(SM_CXHTHUMB) + 14);
    int x = 0;
    for (int c = 0; c < col; ++c) x += w[c] + 1;
    return MAKELPARAM(x + w[col] / 2, row * 19 + 9);
}

void clickListRow(HWND list, int i, WPARAM keys) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageA(list, WM_LBUTTONUP, keys, at);
}

bool answerExplorer(const std::string& caption, const std::string& name, DWORD ms) {
    HWND dlg = nullptr;
    if (!waitUntil([&] { return (dlg = findNamed("FileForm")) && windowText(dlg) == caption && IsWindowEnabled(dlg); },
                   ms))
        return false;
    SendMessageA(findNamedIn(dlg, "Edit1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(findNamedIn(dlg, "BtnOK"), BM_CLICK, 0, 0);
    return true;
}

std::string gridText(HWND grid) {
    char buf[1024] = {};
    SendMessageA(grid, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

Driver::Driver(std::function<void()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

Driver::~Driver() { join(); }

void Driver::join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI Driver::run(LPVOID self) {
    static_cast<Driver*>(self)->body_();
    return 0;
}

int32_t editorWin95() {
    auto fn = reinterpret_cast<int32_t(WINAPI*)()>(kv::kit::exportAddress("EditorWin95"));
    return fn ? fn() : 0x7FFFFFFF;
}

HWND waitEditorLoaded(DWORD ms) {
    HWND form = waitNamed("EditorForm", ms);
    if (!form) return nullptr;
    HWND grid = findNamedIn(form, "Grid");
    HWND gauge = findNamedIn(form, "Gauge");
    bool ok = waitUntil(
        [&] { return grid && gridText(grid) != "<right-click me>" && gauge && !IsWindowVisible(gauge); }, ms);
    return ok ? form : nullptr;
}

std::string answerDialog(const std::string& text, const std::string& button, DWORD ms) {
    std::string title;
    waitUntil(
        [&] {
            HWND dlg = findNamed("MessageDialog");
            if (!dlg) return false;
            HWND msg = findNamedIn(dlg, "Message");
            if (!msg || windowText(msg) != text) return false;
            HWND b = findNamedIn(dlg, button);
            if (!b) return false;
            title = windowText(dlg);
            PostMessageA(b, BM_CLICK, 0, 0);
            return true;
        },
        ms);
    return title;
}

}  // namespace kv::e2e
