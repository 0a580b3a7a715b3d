// The list box with pictures as a native list: owner-drawn, without data of its own (the
// texts and pictures are the object's; the list is told only how many items there are, so
// ten thousand items cost one message), extended selection for a multiple-selection list,
// columns for a multi-column one. Also: the platform's font dialog, and the windows of the
// hidden drive box and folder list.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "framework/lists.h"
#include "framework/win32/win32_glyphs.h"
#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

namespace {

DWORD listStyle(const ListBox& lb) {
    DWORD s = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA |
              LBS_NOINTEGRALHEIGHT;
    if (lb.visible()) s |= WS_VISIBLE;
    if (!lb.enabled()) s |= WS_DISABLED;
    if (lb.multiSelect()) s |= LBS_EXTENDEDSEL;
    if (lb.columns() > 0) s |= LBS_MULTICOLUMN | WS_HSCROLL;
    else s |= WS_VSCROLL;
    return s;
}

DWORD builtStyle(HWND h) { return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)); }

bool styleMatches(const ListBox& lb, HWND h) {
    DWORD s = builtStyle(h);
    return ((s & LBS_EXTENDEDSEL) != 0) == lb.multiSelect() && ((s & LBS_MULTICOLUMN) != 0) == (lb.columns() > 0);
}

void sendSelection(ListBox& lb, HWND h) {
    if (lb.multiSelect()) {
        SendMessageA(h, LB_SETSEL, FALSE, -1);
        // One message a run of selected rows: a row at a time, each moves the caret (and may
        // scroll and repaint), which takes seconds for thousands of rows.
        const auto& items = lb.items();
        for (size_t i = 0; i < items.size();) {
            if (!items[i].selected) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j + 1 < items.size() && items[j + 1].selected) ++j;
            SendMessageA(h, LB_SELITEMRANGEEX, static_cast<WPARAM>(i), static_cast<LPARAM>(j));
            i = j + 1;
        }
        if (lb.itemIndex() >= 0) {
            SendMessageA(h, LB_SETANCHORINDEX, static_cast<WPARAM>(lb.itemIndex()), 0);
            SendMessageA(h, LB_SETCARETINDEX, static_cast<WPARAM>(lb.itemIndex()), FALSE);
        }
    } else {
        SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(lb.itemIndex()), 0);
    }
}

void sendItems(ListBox& lb, HWND h) {
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    SendMessageA(h, LB_SETCOUNT, static_cast<WPARAM>(lb.count()), 0);
    if (lb.columns() > 0)
        SendMessageA(h, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(scaleOf(lb).px(std::max(lb.columnWidth(), 16))), 0);
    sendSelection(lb, h);
    SendMessageA(h, LB_SETTOPINDEX, static_cast<WPARAM>(lb.topIndex()), 0);
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, FALSE);  // every item paints its whole rectangle
}

// A picture drawn once on its background into a bitmap and copied from there afterwards:
// a list paints about a hundred items at a time, each picture made of several shapes. Each
// pixel of it is a square of `multiple` pixels (screens of a higher resolution).
void drawCachedGlyph(HDC dc, const std::string& name, int cx, int cy, COLORREF back, int multiple) {
    struct Key {
        std::string name;
        COLORREF back;
        int multiple;
        bool operator<(const Key& o) const {
            return std::tie(back, multiple, name) < std::tie(o.back, o.multiple, o.name);
        }
    };
    static std::map<Key, HBITMAP> cache;
    static HDC mem = CreateCompatibleDC(nullptr);
    const int size = 16 * multiple;
    Key key{name, back, multiple};
    auto it = cache.find(key);
    if (it == cache.end()) {
        HBITMAP bmp = createTopDownDib(size, size);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT r{0, 0, size, size};
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(mem, &r, brush);
        DeleteObject(brush);
        drawGlyph(mem, name, size / 2, size / 2, false, multiple, back);
        SelectObject(mem, old);
        it = cache.emplace(key, bmp).first;
    }
    HGDIOBJ old = SelectObject(mem, it->second);
    BitBlt(dc, cx - size / 2, cy - size / 2, size, size, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
}

}  // namespace

HWND createList(ListBox& lb, HWND parent) {
    const RECT b = pixelBounds(lb);
    const Scale s = scaleOf(lb);
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", listStyle(lb), b.left, b.top, b.right - b.left,
                             b.bottom - b.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!h) return nullptr;
    SendMessageA(h, LB_SETITEMHEIGHT, 0, s.px(lb.itemHeight));
    sendItems(lb, h);
    return h;
}

bool listChanged(ListBox& lb, HWND h, Prop what) {
    switch (what) {
        case Prop::Layout:
            if (!styleMatches(lb, h)) {
                // The selection style and the column layout are fixed when a list window is
                // made: the window is made again, with the focus where it was.
                bool focused = GetFocus() == h;
                recreate(lb);
                if (focused)
                    if (HWND n = hwndOf(lb)) SetFocus(n);
                return true;
            }
            if (lb.columns() > 0)
                SendMessageA(h, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(scaleOf(lb).px(std::max(lb.columnWidth(), 16))), 0);
            InvalidateRect(h, nullptr, TRUE);
            return true;
        case Prop::Items: sendItems(lb, h); return true;
        case Prop::Selection:
            sendSelection(lb, h);
            SendMessageA(h, LB_SETTOPINDEX, static_cast<WPARAM>(lb.topIndex()), 0);
            return true;
        case Prop::Font:
        case Prop::Color: InvalidateRect(h, nullptr, TRUE); return false;
        default: return false;
    }
}

void listNotify(ListBox& lb, HWND h, int code) {
    if (code != LBN_SELCHANGE && code != LBN_DBLCLK) return;
    std::vector<int> rows;
    int current = -1;
    if (lb.multiSelect()) {
        int n = static_cast<int>(SendMessageA(h, LB_GETSELCOUNT, 0, 0));
        if (n > 0) {
            rows.resize(static_cast<size_t>(n));
            SendMessageA(h, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(rows.data()));
        }
        current = static_cast<int>(SendMessageA(h, LB_GETCARETINDEX, 0, 0));
    } else {
        current = static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0));
        if (current >= 0) rows.push_back(current);
    }
    lb.selectionFromPeer(std::move(rows), current);
    if (code == LBN_SELCHANGE) showingErrors([&] { lb.click(); });
    else showingErrors([&] { lb.dblClick(); });
    pokeModalLoop(lb);
}

void drawListItem(ListBox& lb, const DRAWITEMSTRUCT& di) {
    HDC dc = di.hDC;
    RECT r = di.rcItem;
    const int i = static_cast<int>(di.itemID);
    const bool sel = (di.itemState & ODS_SELECTED) != 0;
    if (i >= 0 && i < lb.count()) {
        // The item is drawn into a bitmap of our own and copied to the window in one go: under
        // Wine every drawing call on a window is a request to the display, and a list paints a
        // hundred items at a time.
        const int w = r.right - r.left, h = r.bottom - r.top;
        static HDC mem = CreateCompatibleDC(nullptr);
        static HBITMAP bmp = nullptr;
        static int bmpW = 0, bmpH = 0;
        if (w > bmpW || h > bmpH) {
            if (bmp) DeleteObject(bmp);
            bmpW = std::max(w, bmpW);
            bmpH = std::max(h, bmpH);
            bmp = createTopDownDib(bmpW, bmpH);
        }
        HGDIOBJ oldBmp = SelectObject(mem, bmp);
        const COLORREF back = GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        const int pic = lb.picture(i);
        const bool hasPic = pic >= 0 && pic < static_cast<int>(lb.pictures.size());
        const Scale s = scaleOf(lb);
        const int x = s.px(2 + (hasPic ? 20 : 0));
        HGDIOBJ old = SelectObject(mem, fontOf(lb.font(), s.dpi));
        TEXTMETRICA tm{};
        GetTextMetricsA(mem, &tm);
        SetBkColor(mem, back);
        SetTextColor(mem, GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT local{0, 0, w, h};
        const std::string& text = lb.item(i);
        ExtTextOutA(mem, x, (h - tm.tmHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &local, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
        SelectObject(mem, old);
        if (hasPic) drawCachedGlyph(mem, lb.pictures[static_cast<size_t>(pic)], s.px(10), h / 2, back, s.wholeMultiple());
        BitBlt(dc, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, oldBmp);
    } else {
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    }
    if (di.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

bool listMessage(ListBox& lb, HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case WM_RBUTTONUP: {
            // The right button reaches the object (its popup menu), at the item under it.
            const POINT at = scaleOf(lb).mouse(lp);
            showingErrors([&] { lb.mouseUp(MouseButton::Right, keyShift(), at.x, at.y); });
            pokeModalLoop(lb);
            return true;
        }
        case WM_CONTEXTMENU: return true;
        case WM_SYSKEYUP:
            // F10 is a key of the form (its menus), not the window menu's.
            return wp == VK_F10;
        case WM_GETDLGCODE:
            *result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            return true;
        default: (void)h; return false;
    }
}

// ---- the drop-down list with pictures --------------------------------------------------------

namespace {
// The picture box being made: it asks its parent for its item heights while it is made.
thread_local PictureComboBox* g_measuring = nullptr;
constexpr int kPictureItemHeight = 18;  // an entry of the opened list
int pictureFieldHeight(const PictureComboBox& cb) { return scaleOf(cb).px(std::max(cb.height() - 6, 16)); }
}  // namespace

// The box is made with its item heights (answered to its WM_MEASUREITEM while it is made) and
// at its full height: setting them afterwards resizes the box and its opened list, a
// window of its own, several times over.
HWND createPictureCombo(PictureComboBox& cb, HWND parent, DWORD childStyle) {
    g_measuring = &cb;
    const RECT b = pixelBounds(cb);
    const Scale s = scaleOf(cb);
    HWND h = CreateWindowExA(0, "COMBOBOX", "",
                             childStyle | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                             b.left, b.top, b.right - b.left,
                             s.px(cb.height() + std::max(cb.dropDownCount, 1) * kPictureItemHeight + 2), parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    g_measuring = nullptr;
    if (!h) return nullptr;
    choiceChanged(cb, h, Prop::Items);
    return h;
}

bool measureComboItem(MEASUREITEMSTRUCT& mi) {
    if (mi.CtlType != ODT_COMBOBOX || !g_measuring) return false;
    mi.itemHeight = mi.itemID == static_cast<UINT>(-1) ? pictureFieldHeight(*g_measuring)
                                                       : scaleOf(*g_measuring).px(kPictureItemHeight);
    return true;
}

void itemHeightsForScreen(Control& c, HWND h) {
    if (auto* lb = dynamic_cast<ListBox*>(&c)) {
        SendMessageA(h, LB_SETITEMHEIGHT, 0, scaleOf(*lb).px(lb->itemHeight));
        listChanged(*lb, h, Prop::Layout);
    } else if (auto* cb = dynamic_cast<PictureComboBox*>(&c)) {
        SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), pictureFieldHeight(*cb));
        SendMessageA(h, CB_SETITEMHEIGHT, 0, scaleOf(*cb).px(kPictureItemHeight));
    }
}

void drawComboItem(PictureComboBox& cb, const DRAWITEMSTRUCT& di) {
    HDC dc = di.hDC;
    RECT r = di.rcItem;
    const int i = static_cast<int>(di.itemID);
    const bool sel = (di.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (i < 0 || i >= static_cast<int>(cb.items().size())) return;
    const std::string& text = cb.items()[static_cast<size_t>(i)];
    // In the opened list the leading blanks indent the entry and its picture; the closed box
    // shows the entry at the left.
    const bool inEdit = (di.itemState & ODS_COMBOBOXEDIT) != 0;
    size_t blanks = text.find_first_not_of(' ');
    if (blanks == std::string::npos) blanks = text.size();
    std::string shown = text.substr(blanks);
    const Scale s = scaleOf(cb);
    HGDIOBJ old = SelectObject(dc, fontOf(cb.font(), s.dpi));
    SIZE sp{};
    GetTextExtentPoint32A(dc, "  ", 2, &sp);
    int x = r.left + s.px(2) + (inEdit ? 0 : static_cast<int>(blanks) * std::max<int>(sp.cx / 2, s.px(4)) * 2);
    const std::string& pic = cb.picture(i);
    if (!pic.empty())
        drawCachedGlyph(dc, pic, x + s.px(8), (r.top + r.bottom) / 2, GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW),
                        s.wholeMultiple());
    x += s.px(20);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    // An entry too long for the box (a deep folder's name) ends in "...".
    RECT t{x, r.top, r.right, r.bottom};
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &t,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    if (di.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

// ---- the font dialog -----------------------------------------------------------------------

bool fontDialog(Font& font, int minSize, int maxSize) {
    LOGFONTA lf{};
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(font.size, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = GetActiveWindow();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_SCRIPTSONLY | CF_LIMITSIZE | CF_EFFECTS;
    cf.rgbColors = font.color;
    cf.nSizeMin = minSize;
    cf.nSizeMax = maxSize;
    if (!ChooseFontA(&cf)) return false;
    font.name = lf.lfFaceName;
    font.size = cf.iPointSize / 10;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.color = cf.rgbColors;
    return true;
}

}  // namespace kv::win32::detail
