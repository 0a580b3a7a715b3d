// Screen resolution. The windows are laid out in pixels of a 96 dots-per-inch screen (the
// figures the forms are built with); the backend turns them into the screen's pixels where
// it makes, moves or paints a window, and turns what the platform reports (sizes, the mouse)
// back. At 96 dots per inch both ways are the identity.
#pragma once
#include <windows.h>

#include "framework/controls.h"

namespace kv::win32::detail {

constexpr int kLayoutDpi = 96;

struct Scale {
    int dpi = kLayoutDpi;
    bool identity() const { return dpi == kLayoutDpi; }
    int px(int layout) const { return identity() ? layout : MulDiv(layout, dpi, kLayoutDpi); }
    int layout(int pixels) const { return identity() ? pixels : MulDiv(pixels, kLayoutDpi, dpi); }
    // A measured size in layout pixels, rounded up: what it is given shows all of it.
    int layoutCeil(int pixels) const {
        return identity() || pixels <= 0 ? pixels : (pixels * kLayoutDpi + dpi - 1) / dpi;
    }
    RECT px(const RECT& r) const { return {px(r.left), px(r.top), px(r.right), px(r.bottom)}; }
    RECT layout(const RECT& r) const { return {layout(r.left), layout(r.top), layout(r.right), layout(r.bottom)}; }
    // Whole multiples for pictures drawn pixel for pixel (glyphs, thumbnails): 1 up to
    // 191 dots per inch, 2 from 192, and so on.
    int wholeMultiple() const { return dpi >= kLayoutDpi ? dpi / kLayoutDpi : 1; }
    // The point of a mouse message, in layout pixels.
    POINT mouse(LPARAM lp) const {
        return {layout(static_cast<short>(LOWORD(lp))), layout(static_cast<short>(HIWORD(lp)))};
    }
};

// The resolution windows are made with when nothing else is known: the screen's, as the
// process sees it (read once).
inline int systemDpi() {
    static const int dpi = [] {
        HDC dc = GetDC(nullptr);
        const int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kLayoutDpi;
        if (dc) ReleaseDC(nullptr, dc);
        return d > 0 ? d : kLayoutDpi;
    }();
    return dpi;
}
inline Scale systemScale() { return {systemDpi()}; }
// The resolution of the screen a window is on, for a process that follows screens (the
// platform says so where it can), else the system's.
inline int windowDpi(HWND h) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const DpiForWindow dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const int d = dpiForWindow && h ? static_cast<int>(dpiForWindow(h)) : 0;
    return d > 0 ? d : systemDpi();
}
// A size the platform draws with (a scroll bar's width, say) on a screen of `dpi` dots per
// inch: the system's own where the platform cannot say for another resolution.
inline int systemMetricFor(int index, int dpi) {
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const MetricsForDpi metricsForDpi = reinterpret_cast<MetricsForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
    if (metricsForDpi && dpi != systemDpi()) return metricsForDpi(index, static_cast<UINT>(dpi));
    return GetSystemMetrics(index);
}
// The resolution of a window of a form: the form's (which follows the screen the form is
// on, for a host that follows screens), else the system's.
Scale scaleOf(const Control& c);
Scale scaleOf(HWND h);
// A control's bounds in the screen's pixels.
RECT pixelBounds(const Control& c);
// Makes a device context draw in layout pixels: the caller draws with the figures of a
// 96 dots-per-inch screen and with fonts made for it (fontOf(font, kLayoutDpi)).
void drawInLayoutPixels(HDC dc, const Scale& s);

}  // namespace kv::win32::detail
