// Paint boxes and timers with the Win32 API: a paint box's window shows its picture with one
// transfer of its pixels, reports the mouse (held by the window while a button pressed on it
// is down, so moves outside it are reported too, and the loss of that hold to anything else),
// and text is drawn by GDI into the pixels under it. Timers are thread timers of the message
// loop that runs them.
#include <map>

#include "framework/paint_box.h"
#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32 {

namespace {

constexpr const char* kPaintBoxClass = "KvPaintBox";

// The paint box letting the mouse go itself at a button's release: that is no lost capture.
HWND releasingCapture = nullptr;

using namespace detail;

// The picture is drawn in layout pixels; on a screen of a higher resolution it is shown
// enlarged, pixel for pixel by whole multiples, else smoothed.
void paintBox(PaintBox& box, HDC dc, const RECT& rc) {
    const PixelMap& m = box.picture();
    const Scale s = scaleOf(box);
    const int shownW = s.px(m.width), shownH = s.px(m.height);
    // What the picture does not cover shows the control's colour.
    HBRUSH brush = CreateSolidBrush(colorRef(box.color()));
    if (shownW < rc.right) {
        RECT r{shownW, 0, rc.right, rc.bottom};
        FillRect(dc, &r, brush);
    }
    if (shownH < rc.bottom) {
        RECT r{0, shownH, std::min<LONG>(shownW, rc.right), rc.bottom};
        FillRect(dc, &r, brush);
    }
    DeleteObject(brush);
    if (m.empty()) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m.width;
    bi.bmiHeader.biHeight = -m.height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (s.identity()) {
        SetDIBitsToDevice(dc, 0, 0, m.width, m.height, 0, 0, 0, m.height, m.pixels.data(), &bi, DIB_RGB_COLORS);
        return;
    }
    SetStretchBltMode(dc, s.dpi % kLayoutDpi == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, 0, 0, shownW, shownH, 0, 0, m.width, m.height, m.pixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK paintBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* box = dynamic_cast<PaintBox*>(controlOf(hwnd));
    if (!box) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    LRESULT r;
    if (commonControlMessage(*box, hwnd, msg, wp, lp, &r)) return r;
    const POINT at = scaleOf(*box).mouse(lp);
    const int x = at.x, y = at.y;
    const unsigned buttons = ((wp & MK_LBUTTON) ? LeftButton : 0u) | ((wp & MK_RBUTTON) ? RightButton : 0u);
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            paintClient(hwnd, [&](HDC dc, const RECT& rc) { paintBox(*box, dc, rc); });
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            SetCapture(hwnd);
            const MouseButton b = msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right;
            showingErrors([&] { box->mouseDown(b, keyShift() | buttons, x, y); });
            pokeModalLoop(*box);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            if (GetCapture() == hwnd && !(wp & (MK_LBUTTON | MK_RBUTTON))) {
                releasingCapture = hwnd;
                ReleaseCapture();
                releasingCapture = nullptr;
            }
            const MouseButton b = msg == WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right;
            showingErrors([&] { box->mouseUp(b, keyShift() | buttons, x, y); });
            if (b == MouseButton::Left) showingErrors([&] { box->click(); });
            pokeModalLoop(*box);
            return 0;
        }
        case WM_MOUSEMOVE:
            showingErrors([&] { box->mouseMove(keyShift() | buttons, x, y); });
            pokeModalLoop(*box);
            return 0;
        case WM_CAPTURECHANGED:  // (WM_CANCELMODE releases the capture in the default procedure)
            if (reinterpret_cast<HWND>(lp) != hwnd && releasingCapture != hwnd) {
                showingErrors([&] { box->mouseCaptureLost(); });
                pokeModalLoop(*box);
            }
            return 0;
        default: break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// ---- text and timers ---------------------------------------------------------------------

class Win32Painter final : public PaintBackend {
public:
    // The text is drawn by GDI on a copy of the pixels under it, which then goes back: the
    // picture stays one block of memory that the window shows in one transfer.
    void textOut(PaintBox& box, int x, int y, const std::string& text, uint32_t colorref) override {
        PixelMap& m = box.picture();
        if (m.empty() || text.empty()) return;
        HDC dc = memoryDc();
        HGDIOBJ oldFont = SelectObject(dc, fontOf(box.font(), kLayoutDpi));  // the picture is in layout pixels
        SIZE sz{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        const int w = sz.cx + tm.tmOverhang + 2, h = sz.cy;
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + w, m.width), y1 = std::min(y + h, m.height);
        if (x1 > x0 && y1 > y0 && ensureSurface(x1 - x0, y1 - y0)) {
            const int cw = x1 - x0, ch = y1 - y0;
            for (int yy = 0; yy < ch; ++yy)
                std::copy_n(&m.pixels[static_cast<size_t>(y0 + yy) * m.width + x0], cw, bits_ + static_cast<size_t>(yy) * surfW_);
            HGDIOBJ oldBmp = SelectObject(dc, surface_);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, static_cast<COLORREF>(colorref & 0xFFFFFF));
            TextOutA(dc, x - x0, y - y0, text.c_str(), static_cast<int>(text.size()));
            GdiFlush();
            SelectObject(dc, oldBmp);
            for (int yy = 0; yy < ch; ++yy)
                for (int xx = 0; xx < cw; ++xx)
                    m.pixels[static_cast<size_t>(y0 + yy) * m.width + x0 + xx] = bits_[static_cast<size_t>(yy) * surfW_ + xx] & 0xFFFFFF;
        }
        SelectObject(dc, oldFont);
    }

    void timerChanged(Timer& t) override {
        stop(t);
        if (!t.enabled()) return;
        UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(std::max(t.interval(), 1)), &timerProc);
        if (!id) return;
        timers()[id] = &t;
        t.peer = reinterpret_cast<void*>(id);
    }
    void timerReleased(Timer& t) override { stop(t); }

private:
    static std::map<UINT_PTR, Timer*>& timers() {
        static std::map<UINT_PTR, Timer*> m;
        return m;
    }
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD) {
        auto it = timers().find(id);
        if (it == timers().end()) return;
        Timer* t = it->second;
        HandlerScope running;
        showingErrors([&] { t->tick(); });
    }
    static void stop(Timer& t) {
        if (!t.peer) return;
        auto id = reinterpret_cast<UINT_PTR>(t.peer);
        KillTimer(nullptr, id);
        timers().erase(id);
        t.peer = nullptr;
    }

    HDC memoryDc() {
        if (!dc_) dc_ = CreateCompatibleDC(nullptr);
        return dc_;
    }
    bool ensureSurface(int w, int h) {
        if (surface_ && w <= surfW_ && h <= surfH_) return true;
        if (surface_) DeleteObject(surface_);
        surfW_ = std::max(w, surfW_);
        surfH_ = std::max(h, surfH_);
        void* bits = nullptr;
        surface_ = createTopDownDib(surfW_, surfH_, &bits);
        bits_ = static_cast<uint32_t*>(bits);
        if (!surface_) surfW_ = surfH_ = 0;
        return surface_ != nullptr;
    }

    HDC dc_ = nullptr;
    HBITMAP surface_ = nullptr;
    uint32_t* bits_ = nullptr;
    int surfW_ = 0, surfH_ = 0;
};

}  // namespace

namespace detail {

HWND createPaintBox(PaintBox& box, HWND parent, DWORD childStyle) {
    static bool registered = false;
    if (!registered) {
        registered = true;
        HMODULE inst = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&paintBoxProc), &inst);
        registerWindowClass(inst, kPaintBoxClass, paintBoxProc, CS_DBLCLKS);
    }
    installPainter();
    const RECT b = pixelBounds(box);
    return CreateWindowExA(0, kPaintBoxClass, "", childStyle, b.left, b.top, b.right - b.left, b.bottom - b.top, parent,
                           nullptr, nullptr, nullptr);
}

void installPainter() {
    static Win32Painter p;
    if (painter() != &p) setPainter(&p);
}

}  // namespace detail

}  // namespace kv::win32
