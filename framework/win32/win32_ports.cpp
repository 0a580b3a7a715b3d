#include "framework/win32/win32_ports.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/win32/win32_scale.h"

namespace kv::win32 {

namespace {

// How long a broadcast waits for one window's answer.
constexpr UINT kBroadcastTimeoutMs = 2000;

BOOL CALLBACK collectWindow(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

class Win32Host final : public HostPort {
public:
    intptr_t send(uintptr_t window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override {
        return SendMessageA(reinterpret_cast<HWND>(window), msg, wparam, lparam);
    }
    // The platform drops a broadcast of a private message number (WM_USER to 0xBFFF), so
    // the message is sent to each top-level window itself, and waited for; a window that
    // does not answer within the time-out (hung) is passed over.
    void broadcast(uint32_t msg, uintptr_t wparam, intptr_t lparam) override {
        std::vector<HWND> windows;
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
        std::vector<DWORD> hungThreads;  // a thread that did not answer is not asked again
        for (HWND h : windows) {
            if (!IsWindow(h)) continue;  // gone while an earlier one handled the message
            const DWORD thread = GetWindowThreadProcessId(h, nullptr);
            if (std::find(hungThreads.begin(), hungThreads.end(), thread) != hungThreads.end()) continue;
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(h, msg, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_NORMAL, kBroadcastTimeoutMs, &answer) &&
                IsWindow(h))
                hungThreads.push_back(thread);
        }
    }
    bool isWindow(uintptr_t window) override {
        return window != 0 && IsWindow(reinterpret_cast<HWND>(window));
    }
};

// Days from 1 January 1970 to the civil date y-m-d (proleptic Gregorian calendar).
long long daysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

class Win32System final : public SystemPort {
public:
    uint32_t availablePageFile() override {
        MEMORYSTATUS ms{};
        ms.dwLength = sizeof ms;
        GlobalMemoryStatus(&ms);
        return static_cast<uint32_t>(ms.dwAvailPageFile);
    }
    bool gdiFlush() override { return GdiFlush() != FALSE; }
    bool help(const std::string& file, int context) override {
        HWND owner = GetActiveWindow();
        return WinHelpA(owner ? owner : GetDesktopWindow(), file.c_str(), HELP_CONTEXT,
                        static_cast<ULONG_PTR>(context)) != FALSE;
    }
    bool run(const std::string& commandLine, int showState) override {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(showState);
        PROCESS_INFORMATION pi{};
        std::string cmd = commandLine;  // CreateProcessA may write into the command line
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }
    double now() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        // 30 December 1899 is 25569 days before 1 January 1970.
        const double days = static_cast<double>(daysFromCivil(t.wYear, t.wMonth, t.wDay) + 25569);
        const double secs = t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
        return days + secs / 86400.0;
    }
    std::string dateTimeText(int64_t utcSeconds) override {
        // FILETIME counts 100 ns steps from 1601.
        const uint64_t t = static_cast<uint64_t>(utcSeconds + 11644473600ll) * 10000000ull;
        FILETIME utc{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}, local{};
        SYSTEMTIME st{};
        if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
        char date[128] = {}, time[128] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
        return std::string(date) + " " + time;
    }
};

UINT dialogIcon(DialogKind kind) {
    switch (kind) {
        case DialogKind::Warning: return MB_ICONWARNING;
        case DialogKind::Error: return MB_ICONERROR;
        case DialogKind::Information: return MB_ICONINFORMATION;
        case DialogKind::Confirmation: return MB_ICONQUESTION;
        case DialogKind::Custom: break;
    }
    return 0;
}

// The message box offers fixed button sets; the nearest set that holds the buttons asked for.
UINT buttonSet(unsigned b) {
    if (b & (BtnAbort | BtnIgnore)) return MB_ABORTRETRYIGNORE;
    if (b & BtnYes) return (b & BtnCancel) ? MB_YESNOCANCEL : MB_YESNO;
    if (b & BtnRetry) return MB_RETRYCANCEL;
    if (b & BtnCancel) return MB_OKCANCEL;
    return MB_OK;
}

ModalResult answer(int id) {
    switch (id) {
        case IDOK: return ModalResult::OK;
        case IDCANCEL: return ModalResult::Cancel;
        case IDABORT: return ModalResult::Abort;
        case IDRETRY: return ModalResult::Retry;
        case IDIGNORE: return ModalResult::Ignore;
        case IDYES: return ModalResult::Yes;
        case IDNO: return ModalResult::No;
        default: return ModalResult::None;
    }
}

class Win32User final : public UserPort {
public:
    void setCursor(CursorKind kind) override {
        kind_ = kind;
        LPCSTR shape = IDC_ARROW;
        switch (kind) {
            case CursorKind::HourGlass: shape = IDC_WAIT; break;
            case CursorKind::Drag: shape = IDC_HAND; break;
            case CursorKind::NoDrop: shape = IDC_NO; break;
            case CursorKind::SizeAll: shape = IDC_SIZEALL; break;
            default: break;
        }
        SetCursor(LoadCursorA(nullptr, shape));
    }
    CursorKind cursor() override { return kind_; }
    void cursorPos(int& x, int& y) override {
        POINT p{};
        GetCursorPos(&p);
        const detail::Scale s = detail::systemScale();
        x = s.layout(p.x);
        y = s.layout(p.y);
    }
    ModalResult messageDialog(const std::string& text, DialogKind kind, unsigned buttons) override {
        const UINT style = buttonSet(buttons) | dialogIcon(kind) | MB_TASKMODAL;
        return answer(MessageBoxA(GetActiveWindow(), text.c_str(), dialogTitle(kind), style));
    }
    // The screen, the mouse and the frames are measured in layout pixels, as the windows are.
    int screenWidth() override { return detail::systemScale().layout(GetSystemMetrics(SM_CXSCREEN)); }
    int screenHeight() override { return detail::systemScale().layout(GetSystemMetrics(SM_CYSCREEN)); }
    int displayWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
    int displayHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
    int systemMetric(int index) override { return GetSystemMetrics(index); }
    uint32_t systemColor(int index) override { return GetSysColor(index); }
    void beep() override { MessageBeep(MB_OK); }

private:
    CursorKind kind_ = CursorKind::Default;
};

}  // namespace

HostPort& hostPort() {
    static Win32Host p;
    return p;
}

SystemPort& systemPort() {
    static Win32System p;
    return p;
}

UserPort& userPort() {
    static Win32User p;
    return p;
}

void installPorts() {
    Ports& p = ports();
    p.host = &hostPort();
    p.system = &systemPort();
    p.user = &userPort();
    p.profile = &profilePort();
    p.fs = &fileSystemPort();
    p.printer = &printerPort();
    p.media = &mediaPort();
    p.metrics = &metricsPort();
}

}  // namespace kv::win32
