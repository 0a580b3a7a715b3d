// Screen resolution: the system's, a form's, and a control's bounds in the screen's pixels.
#include "framework/win32/win32_scale.h"

#include "framework/win32/win32_backend.h"

namespace kv::win32::detail {

Scale scaleOf(const Control& c) {
    const Control* top = &c;
    while (top->parent()) top = top->parent();
    const Peer* p = peerOf(*top);
    return {p && p->dpi > 0 ? p->dpi : systemDpi()};
}

Scale scaleOf(HWND h) {
    if (Control* c = controlOf(h)) return scaleOf(*c);
    HWND root = h ? GetAncestor(h, GA_ROOT) : nullptr;
    if (Control* c = root ? controlOf(root) : nullptr) return scaleOf(*c);
    return {systemDpi()};
}

RECT pixelBounds(const Control& c) {
    const Scale s = scaleOf(c);
    return s.px(RECT{c.left(), c.top(), c.left() + c.width(), c.top() + c.height()});
}

void drawInLayoutPixels(HDC dc, const Scale& s) {
    if (s.identity()) return;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, kLayoutDpi, kLayoutDpi, nullptr);
    SetViewportExtEx(dc, s.dpi, s.dpi, nullptr);
}

}  // namespace kv::win32::detail
