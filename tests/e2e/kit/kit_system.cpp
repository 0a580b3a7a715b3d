#include <cstdio>

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

// ---- pictures -----------------------------------------------------------------------------

bool saveWindowBitmap(HWND window, const std::string& file) {
    RECT r;
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
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
    HDC src = GetWindowDC(window);
    const bool ok = BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY) != FALSE;
    ReleaseDC(window, src);
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

}  // namespace kv::kit
