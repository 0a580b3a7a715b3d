// The metrics port: frame sizes, border, menu bar and scroll-thumb sizes as the platform
// reports them, the frames measured by the same window styles the backend gives its forms.
#include <windows.h>

#include "framework/controls.h"
#include "framework/win32/win32_ports.h"
#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32 {

// The styles that make a form's frame and caption; the rest of a form's styles (system menu,
// minimise and maximise boxes, top-most) do not change its size.
DWORD detail::frameStyle(BorderStyle style, DWORD* ex) {
    *ex = 0;
    switch (style) {
        case BorderStyle::Dialog: *ex = WS_EX_DLGMODALFRAME; return WS_POPUP | WS_CAPTION | WS_DLGFRAME;
        case BorderStyle::Sizeable: return WS_POPUP | WS_CAPTION | WS_THICKFRAME;
        case BorderStyle::Single: break;
    }
    return WS_POPUP | WS_CAPTION | WS_BORDER;
}

namespace {

class Win32Metrics final : public MetricsPort {
public:
    FrameSize frameOverhead(BorderStyle style) override {
        DWORD ex = 0;
        const DWORD s = detail::frameStyle(style, &ex);
        RECT r{0, 0, 0, 0};
        if (!AdjustWindowRectEx(&r, s, FALSE, ex)) return {};
        return {layout(r.right - r.left), layout(r.bottom - r.top)};
    }
    int borderWidth() override { return layout(GetSystemMetrics(SM_CXBORDER)); }
    int borderHeight() override { return layout(GetSystemMetrics(SM_CYBORDER)); }
    int menuBarHeight() override { return layout(GetSystemMetrics(SM_CYMENU)); }
    int vScrollThumbHeight() override { return layout(GetSystemMetrics(SM_CYVTHUMB)); }
    int hScrollThumbWidth() override { return layout(GetSystemMetrics(SM_CXHTHUMB)); }

private:
    // The platform's sizes are of the screen's pixels; the forms are laid out in layout pixels.
    static int layout(int pixels) { return detail::systemScale().layoutCeil(pixels); }
};

}  // namespace

MetricsPort& metricsPort() {
    static Win32Metrics port;
    return port;
}

}  // namespace kv::win32
