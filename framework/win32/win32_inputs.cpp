// One-line edit boxes and radio groups as native windows.
//
// An edit box is the system EDIT control run through our procedure first: keys reach the
// object's key events and the form's key preview, Enter and Esc go to the form's default and
// cancel buttons, and every change of the text the box makes (typing, deleting, pasting, a
// WM_SETTEXT from outside) is reported to the object, which runs its change event.
//
// A radio group is a window of our own that draws the group frame and its caption and holds
// one system radio button per item, laid out in columns as the framework's radio group
// describes. Each item window is named "<group>[<index>]" in the KvName property; a click on
// one (also a BM_CLICK sent to it) is the user's click on that item.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "framework/text.h"
#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

#include <commdlg.h>

namespace kv::win32::detail {

namespace {

constexpr const char* kRadioGroupClass = "KvRadioGroup";

WNDPROC oldProcOf(HWND h) { return tiedOldProc(h); }

void subclass(HWND h, WNDPROC proc) {
    tieOldProc(h, reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc))));
}

// ---- edit box ------------------------------------------------------------------------------

std::string windowString(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(0, n)));
    return s;
}

void readSelection(HWND h, int& start, int& length) {
    DWORD a = 0, b = 0;
    SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    start = static_cast<int>(a);
    length = static_cast<int>(b) - static_cast<int>(a);
}

// What the box shows now, told to the object (its change event runs when the text changed).
void reportText(Edit& e, HWND h) {
    std::string now = windowString(h);
    int start, length;
    readSelection(h, start, length);
    if (now == e.text() && start == e.selStart() && length == e.selLength()) return;
    showingErrors([&] { e.userChangedText(now, start, length); });
    pokeModalLoop(e);
}

// A key whose WM_KEYDOWN was used (Enter, Esc, Tab) sends a character the box must not see
// (it would beep); the flag is per thread, as the keyboard is.
thread_local bool t_swallowChar = false;

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = oldProcOf(hwnd);
    auto* e = dynamic_cast<Edit*>(controlOf(hwnd));
    if (!old) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    if (msg == WM_NCDESTROY) {
        untieOldProc(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        return CallWindowProcA(old, hwnd, msg, wp, lp);
    }
    if (!e) return CallWindowProcA(old, hwnd, msg, wp, lp);
    LRESULT r = 0;
    switch (msg) {
        case WM_GETDLGCODE: return CallWindowProcA(old, hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            t_swallowChar = false;
            if (commonControlMessage(*e, hwnd, msg, wp, lp, &r)) {
                t_swallowChar = msg == WM_KEYDOWN;
                return r;
            }
            r = CallWindowProcA(old, hwnd, msg, wp, lp);  // Delete, arrows, Home, End
            reportText(*e, hwnd);
            return r;
        case WM_CHAR: {
            if (t_swallowChar) {
                t_swallowChar = false;
                return 0;
            }
            char ch = static_cast<char>(wp);
            showingErrors([&] { e->keyPress(ch); });
            pokeModalLoop(*e);
            // Enter, Esc and Tab are the dialog's keys, not text for a one-line box.
            if (ch == 0 || ch == '\r' || ch == '\n' || ch == 27 || ch == '\t') return 0;
            r = CallWindowProcA(old, hwnd, msg, static_cast<WPARAM>(static_cast<unsigned char>(ch)), lp);
            reportText(*e, hwnd);
            return r;
        }
        case WM_SETFOCUS:
            r = CallWindowProcA(old, hwnd, msg, wp, lp);
            if (e->autoSelect) SendMessageA(hwnd, EM_SETSEL, 0, -1);
            reportText(*e, hwnd);
            return r;
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case EM_REPLACESEL:
        case WM_SETTEXT:
        case WM_IME_CHAR:
        case WM_LBUTTONUP:
            r = CallWindowProcA(old, hwnd, msg, wp, lp);
            reportText(*e, hwnd);
            return r;
        default:
            if (commonControlMessage(*e, hwnd, msg, wp, lp, &r)) return r;
            return CallWindowProcA(old, hwnd, msg, wp, lp);
    }
}

// ---- radio group ---------------------------------------------------------------------------

int fontHeight(HWND h, HFONT font) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return tm.tmHeight;
}

std::vector<HWND> itemWindows(HWND group) {
    std::vector<HWND> v;
    for (HWND k = GetWindow(group, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) v.push_back(k);
    std::sort(v.begin(), v.end(), [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
    return v;
}

// The places of `count` items in columns, top to bottom, then the next column (as a radio
// group arranges them).
std::vector<RECT> itemPlaces(RadioGroup& g, HWND h, int count) {
    std::vector<RECT> places;
    if (count <= 0) return places;
    RECT rc;
    GetClientRect(h, &rc);
    const Scale s = scaleOf(g);
    int cols = std::max(1, g.columns());
    int perCol = (count + cols - 1) / cols;
    int tm = fontHeight(h, fontOf(g.font(), s.dpi));
    int buttonW = (rc.right - s.px(10)) / cols;
    int avail = rc.bottom - tm - s.px(5);
    int buttonH = std::max(1, avail / perCol);
    int topMargin = tm + s.px(1) + (avail % perCol) / 2;
    for (int i = 0; i < count; ++i) {
        int x = (i / perCol) * buttonW + s.px(8);
        int y = (i % perCol) * buttonH + topMargin;
        places.push_back(RECT{x, y, x + buttonW, y + buttonH});
    }
    return places;
}

void arrangeItems(RadioGroup& g, HWND h) {
    std::vector<HWND> items = itemWindows(h);
    if (items.empty()) return;
    std::vector<RECT> places = itemPlaces(g, h, static_cast<int>(items.size()));
    HDWP dwp = BeginDeferWindowPos(static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        const RECT& r = places[i];
        if (dwp) dwp = DeferWindowPos(dwp, items[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (dwp) EndDeferWindowPos(dwp);
}

// The item that takes the keyboard when the group is tabbed to: the checked one, or the first.
bool isTabStop(const RadioGroup& g, int i) { return g.itemIndex() >= 0 ? i == g.itemIndex() : i == 0; }

void syncChecks(RadioGroup& g, HWND h) {
    std::vector<HWND> items = itemWindows(h);
    for (size_t i = 0; i < items.size(); ++i) {
        bool on = static_cast<int>(i) == g.itemIndex();
        SendMessageA(items[i], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        LONG_PTR style = GetWindowLongPtrA(items[i], GWL_STYLE);
        bool stop = isTabStop(g, static_cast<int>(i));
        LONG_PTR want = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        if (want != style) SetWindowLongPtrA(items[i], GWL_STYLE, want);
    }
}

void clickItemOf(RadioGroup& g, int i) {
    showingErrors([&] { g.clickItem(i); });
    pokeModalLoop(g);
}

LRESULT CALLBACK itemProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = oldProcOf(hwnd);
    if (!old) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    if (msg == WM_NCDESTROY) {
        clearWindowName(hwnd);
        untieControl(hwnd);
        untieOldProc(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        return CallWindowProcA(old, hwnd, msg, wp, lp);
    }
    auto* g = dynamic_cast<RadioGroup*>(controlOf(hwnd));
    if (!g) return CallWindowProcA(old, hwnd, msg, wp, lp);
    LRESULT r = 0;
    if (msg == WM_GETDLGCODE) return CallWindowProcA(old, hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN || wp == VK_LEFT || wp == VK_RIGHT)) {
        // The arrows move to the item before or after and choose it, as in a dialog.
        int key = static_cast<int>(wp);
        showingErrors([&] { g->keyDown(key, keyShift()); });
        if (key == 0) return 0;
        std::vector<HWND> items = itemWindows(GetParent(hwnd));
        auto it = std::find(items.begin(), items.end(), hwnd);
        if (it == items.end()) return 0;
        int i = static_cast<int>(it - items.begin());
        int n = static_cast<int>(items.size());
        i = (wp == VK_UP || wp == VK_LEFT) ? (i + n - 1) % n : (i + 1) % n;
        SetFocus(items[static_cast<size_t>(i)]);
        clickItemOf(*g, i);
        return 0;
    }
    if (msg == WM_CHAR && wp == ' ') return CallWindowProcA(old, hwnd, msg, wp, lp);
    if (commonControlMessage(*g, hwnd, msg, wp, lp, &r)) return r;
    return CallWindowProcA(old, hwnd, msg, wp, lp);
}

// Each item is made in its place, with its check and tab stop: nothing is moved or told
// again after (every move and state change of a button is a trip to the window server).
void makeItems(RadioGroup& g, HWND h) {
    for (HWND k : itemWindows(h)) DestroyWindow(k);
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
    HFONT font = fontOf(g.font(), scaleOf(g).dpi);
    const int count = static_cast<int>(g.items().size());
    const std::vector<RECT> places = itemPlaces(g, h, count);
    for (int i = 0; i < count; ++i) {
        const RECT& r = places[static_cast<size_t>(i)];
        DWORD style = WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0) | (isTabStop(g, i) ? WS_TABSTOP : 0);
        HWND b = CreateWindowExA(0, "BUTTON", g.items()[static_cast<size_t>(i)].c_str(), style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)),
                                 inst, nullptr);
        if (!b) continue;
        setWindowName(b, g.name() + "[" + std::to_string(i) + "]");
        tieControl(b, &g);
        subclass(b, itemProc);
        SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (i == g.itemIndex()) SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    }
}

void paintGroup(RadioGroup& g, HWND h, HDC dc) {
    RECT rc;
    GetClientRect(h, &rc);
    COLORREF back = colorRef(g.color());
    FillRect(dc, &rc, brushFor(back));
    const Scale s = scaleOf(g);
    HFONT font = fontOf(g.font(), s.dpi);
    int tm = fontHeight(h, font);
    RECT frame = rc;
    frame.top = tm / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (g.caption().empty()) return;
    HGDIOBJ old = SelectObject(dc, font);
    SIZE sz{};
    GetTextExtentPoint32A(dc, g.caption().c_str(), static_cast<int>(g.caption().size()), &sz);
    RECT text{s.px(8), 0, std::min<LONG>(s.px(8) + sz.cx + s.px(2), rc.right - s.px(2)), tm};
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, back);
    SetTextColor(dc, IsWindowEnabled(h) ? colorRef(g.font().color) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, g.caption().c_str(), -1, &text, DT_SINGLELINE | DT_LEFT | DT_TOP);
    SelectObject(dc, old);
}

LRESULT CALLBACK radioGroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* g = dynamic_cast<RadioGroup*>(controlOf(hwnd));
    if (!g) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    LRESULT r = 0;
    switch (msg) {
        case WM_COMMAND:
            if (lp && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
                clickItemOf(*g, static_cast<int>(LOWORD(wp)) - 1);
                return 0;
            }
            break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            paintGroup(*g, hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkColor(dc, colorRef(g->color()));
            SetTextColor(dc, colorRef(g->font().color));
            return reinterpret_cast<LRESULT>(brushFor(colorRef(g->color())));
        }
        case WM_SETFONT: {
            // Items made with this font already (the group's window is told its font after
            // they were made) keep their places.
            std::vector<HWND> items = itemWindows(hwnd);
            if (!items.empty() && SendMessageA(items.front(), WM_GETFONT, 0, 0) == static_cast<LRESULT>(wp)) return 0;
            for (HWND k : items) SendMessageA(k, WM_SETFONT, wp, lp);
            arrangeItems(*g, hwnd);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_SIZE:
            arrangeItems(*g, hwnd);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ENABLE:
            for (HWND k : itemWindows(hwnd)) EnableWindow(k, wp != 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFOCUS: {
            // The focus goes on to the checked item, or to the first.
            std::vector<HWND> items = itemWindows(hwnd);
            if (!items.empty()) SetFocus(items[static_cast<size_t>(std::max(0, g->itemIndex()))]);
            return 0;
        }
        default: break;
    }
    if (commonControlMessage(*g, hwnd, msg, wp, lp, &r)) return r;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A caption's mnemonic, upper-cased as the platform does; 0 for none.
char accel(const std::string& caption) {
    const char c = accelChar(caption);
    return c ? static_cast<char>(reinterpret_cast<uintptr_t>(
                   CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(c))))))
             : 0;
}

bool usable(Control& c) {
    for (Control* p = &c; p; p = p->parent())
        if (!p->visible() || !p->enabled()) return false;
    return true;
}

RadioGroup* findAccel(Control& c, char up, int& item) {
    if (auto* g = dynamic_cast<RadioGroup*>(&c); g && usable(*g)) {
        for (size_t i = 0; i < g->items().size(); ++i)
            if (accel(g->items()[i]) == up) {
                item = static_cast<int>(i);
                return g;
            }
    }
    for (Control* k : c.children())
        if (RadioGroup* g = findAccel(*k, up, item)) return g;
    return nullptr;
}

}  // namespace

HWND createEdit(Edit& e, HWND parent, DWORD childStyle) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    DWORD style = childStyle | WS_TABSTOP | ES_AUTOHSCROLL | (e.readOnly() ? ES_READONLY : 0);
    const RECT b = pixelBounds(e);
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", e.text().c_str(), style, b.left, b.top, b.right - b.left,
                             b.bottom - b.top, parent, nullptr, inst, nullptr);
    if (!h) return nullptr;
    if (e.maxLength() > 0) SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(e.maxLength()), 0);
    SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(e.selStart()), e.selStart() + e.selLength());
    subclass(h, editProc);
    return h;
}

bool editChanged(Edit& e, HWND h, Prop what) {
    switch (what) {
        case Prop::Caption:
            if (windowString(h) != e.text()) SetWindowTextA(h, e.text().c_str());
            SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(e.selStart()), e.selStart() + e.selLength());
            return true;
        case Prop::Selection: {
            int start, length;
            readSelection(h, start, length);
            if (start != e.selStart() || length != e.selLength())
                SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(e.selStart()), e.selStart() + e.selLength());
            return true;
        }
        case Prop::Layout:
            SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(std::max(0, e.maxLength())), 0);
            SendMessageA(h, EM_SETREADONLY, e.readOnly() ? TRUE : FALSE, 0);
            return true;
        default: return false;
    }
}

void registerRadioGroupClass(HINSTANCE inst) { registerWindowClass(inst, kRadioGroupClass, radioGroupProc, 0); }

HWND createRadioGroup(RadioGroup& g, HWND parent, DWORD childStyle) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    registerRadioGroupClass(inst);
    const RECT b = pixelBounds(g);
    HWND h = CreateWindowExA(WS_EX_CONTROLPARENT, kRadioGroupClass, g.caption().c_str(), childStyle | WS_CLIPCHILDREN,
                             b.left, b.top, b.right - b.left, b.bottom - b.top, parent, nullptr, inst, nullptr);
    if (!h) return nullptr;
    tieControl(h, &g);  // the items' procedures find the group through it
    // A hidden group (a dialog without presets) gets its item windows when it is first shown.
    if (g.visible()) makeItems(g, h);
    return h;
}

bool radioGroupChanged(RadioGroup& g, HWND h, Prop what) {
    switch (what) {
        case Prop::Items:
            if (g.visible() || !itemWindows(h).empty()) makeItems(g, h);
            return true;
        case Prop::Visible:
            if (g.visible() && itemWindows(h).empty() && !g.items().empty()) makeItems(g, h);
            return false;  // shown or hidden as any control
        case Prop::Selection: syncChecks(g, h); return true;
        case Prop::Layout: arrangeItems(g, h); return true;
        case Prop::Caption: SetWindowTextA(h, g.caption().c_str()); InvalidateRect(h, nullptr, TRUE); return true;
        default: return false;
    }
}

bool chooseColor(uint32_t& color, bool fullOpen) {
    static COLORREF custom[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    HWND owner = GetActiveWindow();
    cc.hwndOwner = owner ? owner : applicationWindow();
    cc.rgbResult = color & 0xFFFFFF;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | (fullOpen ? CC_FULLOPEN : 0);
    if (!ChooseColorA(&cc)) return false;
    color = cc.rgbResult & 0xFFFFFF;
    return true;
}

bool radioAccelerator(Form& f, char upper) {
    int item = -1;
    RadioGroup* g = upper ? findAccel(f, upper, item) : nullptr;
    if (!g) return false;
    std::vector<HWND> items = hwndOf(*g) ? itemWindows(hwndOf(*g)) : std::vector<HWND>{};
    if (item < static_cast<int>(items.size())) SetFocus(items[static_cast<size_t>(item)]);
    clickItemOf(*g, item);
    return true;
}

}  // namespace kv::win32::detail
