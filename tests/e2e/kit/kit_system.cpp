#include <cstdio>
#include <functional>

#include "tests/e2e/kit/kit.h"

namespace kv::kit {

// ---- files --------------------------------------------------------------------------------

TempFolder::TempFolder(const std::string& hint) {
    static unsigned counter = 0;
    char tmp[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, tmp);
    std::string base(tmp, n);
    if (!base.empty() && base.back() != '\\') base += '\\';
    for (;;) {
        path_ = base + hint + " " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { removeTree(path_); }

std::string TempFolder::writeFile(const std::string& name, const std::string& bytes) const {
    const std::string p = file(name);
    HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    return p;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool readFile(const std::string& path, std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(h);
    return true;
}

std::string shortPath(const std::string& path) {
    char buf[MAX_PATH] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : path;
}

void removeTree(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name != "." && name != "..") removeTree(path + "\\" + name);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

// ---- time ---------------------------------------------------------------------------------

namespace {

struct Watchdog {
    CRITICAL_SECTION lock;
    ULONGLONG deadline = 0;  // 0: disarmed
    std::string what;
    Watchdog() {
        InitializeCriticalSection(&lock);
        CloseHandle(CreateThread(nullptr, 0, &Watchdog::run, this, 0, nullptr));
    }
    static DWORD WINAPI run(void* self) {
        auto* w = static_cast<Watchdog*>(self);
        for (;;) {
            Sleep(100);
            EnterCriticalSection(&w->lock);
            const bool expired = w->deadline != 0 && GetTickCount64() > w->deadline;
            const std::string what = w->what;
            LeaveCriticalSection(&w->lock);
            if (expired) {
                std::fprintf(stderr, "\nWATCHDOG: %s did not finish in time; ending the process\n", what.c_str());
                std::fflush(stderr);
                std::fflush(stdout);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
    }
};

Watchdog& watchdog() {
    static Watchdog w;
    return w;
}

}  // namespace

WatchdogScope::WatchdogScope(const std::string& what, DWORD milliseconds) {
    Watchdog& w = watchdog();
    EnterCriticalSection(&w.lock);
    w.what = what;
    w.deadline = GetTickCount64() + milliseconds;
    LeaveCriticalSection(&w.lock);
}

WatchdogScope::~WatchdogScope() {
    Watchdog& w = watchdog();
    EnterCriticalSection(&w.lock);
    w.deadline = 0;
    LeaveCriticalSection(&w.lock);
}

void pumpMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

namespace {

BOOL CALLBACK collectWindow(HWND w, LPARAM p) {
    auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && w != list->first && IsWindowVisible(w)) list->second.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> processWindows(HWND except) {
    std::pair<HWND, std::vector<HWND>> list{except, {}};
    EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&list));
    return list.second;
}

namespace {

// The texts of a window and its children, and its buttons that a user backs out with.
struct WindowLook {
    std::string texts;
    std::vector<std::pair<std::string, HWND>> buttons;
};

BOOL CALLBACK lookAtChild(HWND w, LPARAM p) {
    auto* look = reinterpret_cast<WindowLook*>(p);
    char cls[32] = {}, text[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    look->texts += std::string("|") + text;
    if (lstrcmpiA(cls, "BUTTON") == 0 && IsWindowVisible(w) && IsWindowEnabled(w)) look->buttons.emplace_back(text, w);
    return TRUE;
}

}  // namespace

void cancelProcessWindows(HWND except, std::map<std::string, int>* attempts) {
    for (HWND w : processWindows(except)) {
        if (!IsWindowEnabled(w)) continue;
        WindowLook look;
        char title[256] = {};
        GetWindowTextA(w, title, sizeof title);
        look.texts = title;
        EnumChildWindows(w, &lookAtChild, reinterpret_cast<LPARAM>(&look));
        std::vector<HWND> ways;
        for (const char* text : {"Cancel", "&No", "&Yes", "OK", "Close"})
            for (const auto& [t, b] : look.buttons)
                if (t == text) ways.push_back(b);
        if (ways.empty()) {
            PostMessageA(w, WM_CLOSE, 0, 0);
            continue;
        }
        const int n = attempts ? (*attempts)[look.texts]++ : 0;
        PostMessageA(ways[static_cast<size_t>(n) % ways.size()], BM_CLICK, 0, 0);
    }
}

ModalCloser::ModalCloser(DWORD patience, HWND except) : patience_(patience), except_(except) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &ModalCloser::run, this, 0, nullptr);
}

ModalCloser::~ModalCloser() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
}

DWORD WINAPI ModalCloser::run(void* self) {
    auto* c = static_cast<ModalCloser*>(self);
    while (WaitForSingleObject(c->stop_, c->patience_) == WAIT_TIMEOUT) {
        const std::vector<HWND> open = processWindows(c->except_);
        if (open.empty()) continue;
        InterlockedAdd(&c->cancelled_, static_cast<LONG>(open.size()));
        cancelProcessWindows(c->except_, &c->attempts_);
    }
    return 0;
}

// ---- pictures -----------------------------------------------------------------------------

namespace {

// Saves a w x h picture as a 24-bit Windows bitmap file; `draw` paints it into a memory
// drawing surface.
bool saveDrawnBitmap(int w, int h, const std::function<bool(HDC)>& draw, const std::string& file) {
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!mem || !bmp) {
        if (bmp) DeleteObject(bmp);
        if (mem) DeleteDC(mem);
        return false;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    const bool ok = draw(mem);
    GdiFlush();

    bool saved = false;
    if (ok) {
        const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
        const DWORD size = stride * static_cast<DWORD>(h);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;  // "BM"
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + size;
        HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD n1 = 0, n2 = 0, n3 = 0;
            saved = WriteFile(f, &fh, sizeof fh, &n1, nullptr) &&
                    WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &n2, nullptr) &&
                    WriteFile(f, bits, size, &n3, nullptr) && n3 == size;
            CloseHandle(f);
        }
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return saved;
}

}  // namespace

// Copies what a window shows into a drawing surface at (x, y).
bool copyWindow(HWND window, HDC dest, int x, int y) {
    RECT r;
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return false;
    HDC src = GetWindowDC(window);
    const bool ok = BitBlt(dest, x, y, r.right - r.left, r.bottom - r.top, src, 0, 0, SRCCOPY) != FALSE;
    ReleaseDC(window, src);
    return ok;
}

bool saveWindowBitmap(HWND window, const std::string& file) { return saveWindowBitmap(window, {}, file); }

bool saveWindowBitmap(HWND window, const std::vector<HWND>& above, const std::string& file) {
    RECT r;
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return false;
    return saveDrawnBitmap(
        r.right - r.left, r.bottom - r.top,
        [&](HDC mem) {
            bool ok = copyWindow(window, mem, 0, 0);
            for (HWND w : above) {
                RECT a;
                ok = ok && GetWindowRect(w, &a) && copyWindow(w, mem, a.left - r.left, a.top - r.top);
            }
            return ok;
        },
        file);
}

double nowMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

namespace {

// The folder the program was started in, taken before any test runs: the library and its
// dialogs change the current folder, and a relative folder would then name another place.
const std::string g_startFolder = [] {
    char buf[MAX_PATH] = {};
    return GetCurrentDirectoryA(sizeof buf, buf) ? std::string(buf) : std::string(".");
}();

}  // namespace

std::string screensFolder() {
    char buf[MAX_PATH] = {};
    std::string dir = GetEnvironmentVariableA("KV_SCREENS", buf, sizeof buf) ? buf : "out\\screens";
    if (dir.size() < 2 || (dir[1] != ':' && dir[0] != '\\' && dir[0] != '/')) dir = g_startFolder + "\\" + dir;
    std::string part;
    for (char c : dir + "\\") {
        if ((c == '\\' || c == '/') && !part.empty()) CreateDirectoryA(part.c_str(), nullptr);
        part += c == '/' ? '\\' : c;
    }
    return dir;
}

}  // namespace kv::kit
