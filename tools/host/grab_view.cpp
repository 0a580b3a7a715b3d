#include "tools/host/grab_view.h"

#include "tests/e2e/kit/kit_avi.h"

namespace kv::host {

namespace {

HWND g_view = nullptr;
HBITMAP g_frame = nullptr;
int g_w = 0, g_h = 0;

LRESULT CALLBACK viewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (g_frame) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, g_frame);
            BitBlt(dc, 0, 0, g_w, g_h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        EndPaint(h, &ps);
        return 0;
    }
    if (msg == WM_CLOSE) {
        ShowWindow(h, SW_HIDE);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

std::string grabFrame(HWND owner, HDC surface, int left, int top, int width, int height) {
    if (!surface || width <= 0 || height <= 0) return "   nothing to grab";
    HDC mem = CreateCompatibleDC(surface);
    HBITMAP copy = CreateCompatibleBitmap(surface, width, height);
    HGDIOBJ old = SelectObject(mem, copy);
    BitBlt(mem, 0, 0, width, height, surface, left, top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (g_frame) DeleteObject(g_frame);
    g_frame = copy;
    g_w = width;
    g_h = height;
    if (!g_view || !IsWindow(g_view)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = viewProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "KavrinGrabView";
        RegisterClassA(&wc);
        g_view = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Grabbed frame", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 40, 560, 100, 100, owner, nullptr, wc.hInstance, nullptr);
    }
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW);
    SetWindowPos(g_view, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(g_view, SW_SHOWNOACTIVATE);
    InvalidateRect(g_view, nullptr, FALSE);
    UpdateWindow(g_view);
    return "   copied the frame (" + std::to_string(width) + "x" + std::to_string(height) + ") into the grab view";
}

std::string demoVideo() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "kavrin demo video.avi";
    return kv::kit::writeTestAvi(path, {320, 240, 75, 25, false}) ? path : std::string();
}

}  // namespace kv::host
