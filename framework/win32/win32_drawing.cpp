// Drawing: the GDI objects the backend draws with (fonts, brushes, bitmaps, colours) and the
// painting of our own panels, labels, images and picture buttons.
#include "framework/win32/win32_backend.h"

#include <tuple>

#include "framework/bounded_cache.h"
#include "framework/text.h"
#include "framework/win32/win32_glyphs.h"

namespace kv::win32::detail {

std::unordered_map<HFONT, int> g_fontWindows;
std::map<HFONT, std::vector<int>> g_charWidths;

// The font a window was given is held while the window has it.
void setSentFont(Peer& p, HFONT f) {
    if (p.sentFont && --g_fontWindows[p.sentFont] <= 0) g_fontWindows.erase(p.sentFont);
    p.sentFont = f;
    if (f) ++g_fontWindows[f];
}

HBITMAP createTopDownDib(int w, int h, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = pixels;
    return bmp;
}

// Draws a system control in the classic style whatever visual style the desktop has: the
// library's own buttons and frames are classic, and a styled scroll bar, tab strip or progress
// bar is drawn from stretched bitmaps, several times slower than the classic lines and fills.
// (The bars of a window's frame follow the style whatever the window asks under Wine.)
// Systems without visual styles have no uxtheme.dll and nothing to change.
void classicLook(HWND h) {
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static SetTheme setTheme = [] {
        HMODULE ux = LoadLibraryA("uxtheme.dll");
        return ux ? reinterpret_cast<SetTheme>(reinterpret_cast<void*>(GetProcAddress(ux, "SetWindowTheme"))) : nullptr;
    }();
    if (setTheme) setTheme(h, L" ", L" ");  // a class list naming no class
}

COLORREF colorRef(uint32_t c) {
    if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

namespace {
// A font's points are of an inch of the screen drawn on; a font sized for a given number of
// pixels per inch keeps that size in layout pixels, so it grows with the screen as the
// layout does.
HFONT makeFont(const Font& f, int dpi) {
    const int height = f.pixelsPerInch > 0 ? -MulDiv(MulDiv(f.size, f.pixelsPerInch, 72), dpi, kLayoutDpi)
                                           : -MulDiv(f.size, dpi, 72);
    HFONT h = CreateFontA(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, f.name.c_str());
    if (!h) h = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return h;
}
}  // namespace

HFONT fontOf(const Font& f, int dpi) {
    static BoundedCache<std::tuple<std::string, int, int, bool, int>, HFONT> cache(
        kFontCacheSize,
        [](HFONT& h) {
            g_charWidths.erase(h);
            if (h != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(h);
        },
        [](const HFONT& h) { return g_fontWindows.count(h) != 0; });
    if (dpi <= 0) dpi = systemDpi();
    return cache.get(std::make_tuple(f.name, f.size, f.pixelsPerInch, f.bold, dpi), [&] { return makeFont(f, dpi); });
}

// Colour a control's background takes: its own, or for labels its parent's.
COLORREF backColor(Control& c) {
    if (dynamic_cast<Label*>(&c) && c.parent()) return colorRef(c.parent()->color());
    return colorRef(c.color());
}

HBRUSH brushFor(COLORREF color) {
    static BoundedCache<COLORREF, HBRUSH> cache(kBrushCacheSize, [](HBRUSH& b) { DeleteObject(b); });
    return cache.get(color, [&] { return CreateSolidBrush(color); });
}

void paintPanel(Panel& p, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, brushFor(colorRef(p.color())));
    RECT r = rc;
    const Scale s = scaleOf(p);
    if (p.bevel > 0) {
        DrawEdge(dc, &r, p.lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(&r, -s.px(p.bevel), -s.px(p.bevel));
    }
    // A notebook page's caption is its tab's text, not drawn on the page.
    if (p.caption().empty() || dynamic_cast<Notebook*>(p.parent())) return;
    HGDIOBJ old = SelectObject(dc, fontOf(p.font(), s.dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(p.font().color));
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (p.alignment == Alignment::Center) fmt |= DT_CENTER;
    else r.left += s.px(2);
    DrawTextA(dc, p.caption().c_str(), -1, &r, fmt);
    SelectObject(dc, old);
}

void paintLabel(Label& l, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, brushFor(backColor(l)));
    HGDIOBJ old = SelectObject(dc, fontOf(l.font(), scaleOf(l).dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(l.font().color));
    RECT r = rc;
    UINT align = l.alignment == Alignment::Right ? DT_RIGHT : l.alignment == Alignment::Center ? DT_CENTER : DT_LEFT;
    DrawTextA(dc, l.caption().c_str(), -1, &r, DT_WORDBREAK | DT_EXPANDTABS | (l.showAccelChar ? 0 : DT_NOPREFIX) | align);
    SelectObject(dc, old);
}

void paintImage(Image& im, Peer& p, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, brushFor(im.transparent ? backColor(*im.parent()) : colorRef(im.color())));
    if (p.icon) {
        DrawIcon(dc, 0, 0, p.icon);
        return;
    }
    if (!p.bitmap) return;
    BITMAP bm{};
    GetObjectA(p.bitmap, sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, p.bitmap);
    int w = rc.right, h = rc.bottom;
    // A picture at its own size grows by whole multiples with the screen: its pixels stay sharp.
    const int k = scaleOf(im).wholeMultiple();
    const int bw = bm.bmWidth * k, bh = bm.bmHeight * k;
    SetStretchBltMode(dc, COLORONCOLOR);
    if (im.stretch) {
        StretchBlt(dc, 0, 0, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else if (im.center) {
        StretchBlt(dc, (w - bw) / 2, (h - bh) / 2, bw, bh, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else {
        StretchBlt(dc, 0, 0, bw, bh, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

void paintOwnerButton(Button& b, const DRAWITEMSTRUCT& di) {
    HDC dc = di.hDC;
    RECT r = di.rcItem;
    bool pushed = (di.itemState & ODS_SELECTED) != 0;
    bool disabled = (di.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const Scale s = scaleOf(b);
    int off = pushed ? s.px(1) : 0;
    int cx = (r.left + r.right) / 2 + off, cy = (r.top + r.bottom) / 2 + off;
    drawGlyph(dc, b.glyph, cx, cy, disabled, s.wholeMultiple(), GetSysColor(COLOR_BTNFACE));
    if (di.itemState & ODS_FOCUS) {
        RECT f = r;
        InflateRect(&f, -s.px(4), -s.px(4));
        DrawFocusRect(dc, &f);
    }
}


}  // namespace kv::win32::detail
