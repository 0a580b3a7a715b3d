// The Win32 backend of the forms and controls: a native window per control object, kept in
// step with the object's properties; modal forms with their own message loop; popup menus;
// text measurement; pictures from bitmap files.
#include "framework/win32/win32_ui.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>
#include <tuple>
#include <vector>

#include "framework/bounded_cache.h"
#include "framework/text.h"
#include "framework/win32/win32_glyphs.h"

namespace kv::win32 {

namespace {

constexpr const char* kFormClass = "KvForm";
constexpr const char* kPanelClass = "KvPanel";
constexpr const char* kLabelClass = "KvLabel";
constexpr const char* kImageClass = "KvImage";
constexpr const char* kAppClass = "KvApplication";
constexpr UINT WM_KV_CHECK = WM_APP + 0x4B0;  // wakes a modal loop to look at its form
constexpr UINT WM_KV_HIDE = WM_APP + 0x4B1;   // hides a form whose modal run has ended
constexpr UINT WM_KV_BOUNDS = WM_APP + 0x4B2; // applies the bounds a shown form was given
constexpr UINT_PTR kGaugeTimer = 0x4B3;       // tells a gauge the position it skipped
// A gauge redraws itself at once whenever its position changes, which costs about a
// millisecond a time under Wine; a load moving it a pixel at a time would spend most of its
// time drawing the bar. So the bar is told its position at most once per frame.
constexpr DWORD kGaugeFrameMs = 30;

// What the backend keeps beside each native window.
struct Peer {
    HWND hwnd = nullptr;
    WNDPROC oldProc = nullptr;  // of a subclassed system control
    HBITMAP bitmap = nullptr;   // picture of an image
    HICON icon = nullptr;       // icon of an image (message dialog)
    HWND tooltip = nullptr;     // of a form: the tooltip window of its controls
    bool tipAdded = false;      // of a control: the form's tooltip window has it as a tool
    bool activated = false;     // of a form: activate() has run
    bool syncing = false;       // the backend itself is writing the object's bounds
    RECT appliedOuter{};        // of a form: the window rectangle last applied
    int appliedClientW = -1, appliedClientH = -1;
    Control* pendingFocus = nullptr;  // of a form: focus asked for before the window existed
    HWND lastFocus = nullptr;         // of a form: its control that had the focus when it was deactivated
    int gaugeMin = 0, gaugeMax = -1, gaugePixel = -1;  // of a gauge: what the bar was told
    DWORD gaugeToldAt = 0;       // of a gauge: when the bar was last told its position
    bool gaugePending = false;   // of a gauge: a position is waiting for the next frame
    bool boundsPending = false;  // of a shown form: WM_KV_BOUNDS is on its way
    HFONT sentFont = nullptr;    // the font the window was last given
    uint32_t drawnFontColor = 0; // the font colour it was last drawn with
};

Peer* peerOf(const Control& c) { return static_cast<Peer*>(c.peer); }

// Brushes and fonts are made once per colour and per font and kept in caches of a bounded
// size (a slide show may have a colour per slide; the user picks fonts): those not asked for
// longest go. A font that a window still has (WM_SETFONT) is kept until no window has it; a
// brush or font selected into a device context is so only within one drawing, which asks for
// far fewer other brushes or fonts than the caches hold.
constexpr size_t kBrushCacheSize = 64, kFontCacheSize = 32;
std::unordered_map<HFONT, int> g_fontWindows;           // windows that have each font
std::map<HFONT, std::vector<int>> g_charWidths;         // each font's character widths, measured once

// The font a window was given is held while the window has it.
void setSentFont(Peer& p, HFONT f) {
    if (p.sentFont && --g_fontWindows[p.sentFont] <= 0) g_fontWindows.erase(p.sentFont);
    p.sentFont = f;
    if (f) ++g_fontWindows[f];
}

HINSTANCE moduleInstance() {
    static HINSTANCE inst = [] {
        HMODULE m = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&moduleInstance), &m);
        return static_cast<HINSTANCE>(m);
    }();
    return inst;
}

// ---- modifier keys -----------------------------------------------------------------------

// The modifiers of keys pressed on the keyboard are read from the thread's key state when a
// key arrives (keyShift). Only a modifier whose key-down message did not come from the
// keyboard (sent or posted by an automation tool or a test) is remembered here until its
// key-up. A modal loop that takes key messages (a popup menu, moving the window) may take
// that key-up, so the record is dropped when such a loop ends and when the focus moves.
unsigned g_sentModifiers = 0;

}  // namespace

namespace detail {

namespace {
struct Ties {
    std::mutex lock;
    std::unordered_map<HWND, Control*> controls;
    std::unordered_map<HWND, WNDPROC> oldProcs;
};
Ties& ties() {
    static Ties t;
    return t;
}
}  // namespace

void tieControl(HWND hwnd, Control* c) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().controls[hwnd] = c;
}

void untieControl(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().controls.erase(hwnd);
}

void tieOldProc(HWND hwnd, WNDPROC proc) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().oldProcs[hwnd] = proc;
}

WNDPROC tiedOldProc(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    auto it = ties().oldProcs.find(hwnd);
    return it == ties().oldProcs.end() ? nullptr : it->second;
}

void untieOldProc(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().oldProcs.erase(hwnd);
}

// The name atoms are made once per name and kept for the life of the process: a window
// of a name that was seen before costs no trip to the atom table, neither when it is made
// nor when it goes (the editor alone makes and destroys some forty named windows).
void setWindowName(HWND hwnd, const std::string& name) {
    static std::mutex lock;
    static std::unordered_map<std::string, ATOM> atoms;
    ATOM atom;
    {
        std::lock_guard<std::mutex> g(lock);
        ATOM& a = atoms[name];
        if (!a) a = GlobalAddAtomA(name.c_str());
        atom = a;
    }
    SetPropA(hwnd, kNameProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void clearWindowName(HWND hwnd) { RemovePropA(hwnd, kNameProp); }

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
HFONT makeFont(const Font& f) {
    int perInch = f.pixelsPerInch;
    if (perInch <= 0) {
        HDC dc = GetDC(nullptr);
        perInch = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    int height = -MulDiv(f.size, perInch, 72);
    HFONT h = CreateFontA(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, f.name.c_str());
    if (!h) h = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return h;
}
}  // namespace

HFONT fontOf(const Font& f) {
    static BoundedCache<std::tuple<std::string, int, int, bool>, HFONT> cache(
        kFontCacheSize,
        [](HFONT& h) {
            g_charWidths.erase(h);
            if (h != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(h);
        },
        [](const HFONT& h) { return g_fontWindows.count(h) != 0; });
    return cache.get(std::make_tuple(f.name, f.size, f.pixelsPerInch, f.bold), [&] { return makeFont(f); });
}

void trackModifier(UINT msg, WPARAM wp) {
    unsigned bit = 0;
    int key = 0;
    switch (wp) {
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: bit = ShiftKey; key = VK_SHIFT; break;
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: bit = CtrlKey; key = VK_CONTROL; break;
        case VK_MENU: case VK_LMENU: case VK_RMENU: bit = AltKey; key = VK_MENU; break;
        default: return;
    }
    // A key pressed on the keyboard shows in the key state already: nothing to remember.
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        if (GetKeyState(key) >= 0) g_sentModifiers |= bit;
    } else {
        g_sentModifiers &= ~bit;
    }
}

void forgetSentModifiers() { g_sentModifiers = 0; }

unsigned keyShift() {
    unsigned s = g_sentModifiers;
    if (GetKeyState(VK_SHIFT) < 0) s |= ShiftKey;
    if (GetKeyState(VK_CONTROL) < 0) s |= CtrlKey;
    if (GetKeyState(VK_MENU) < 0) s |= AltKey;
    return s;
}

void reportError(const char* what) {
    if (UserPort* u = ports().user) u->messageDialog(what, DialogKind::Error, BtnOK);
}

namespace {
int g_handlerDepth = 0;
std::vector<Form*> g_heldForms;  // released while handlers ran, waiting for them to return
}  // namespace

HandlerScope::HandlerScope() { ++g_handlerDepth; }

HandlerScope::~HandlerScope() {
    if (--g_handlerDepth > 0 || g_heldForms.empty()) return;
    std::vector<Form*> held;
    held.swap(g_heldForms);
    for (Form* f : held) releaseLater(*f);
}

bool handlersRunning() { return g_handlerDepth > 0; }

void releaseWhenIdle(Form& f) {
    if (std::find(g_heldForms.begin(), g_heldForms.end(), &f) == g_heldForms.end()) g_heldForms.push_back(&f);
    // Closed: nothing of it takes input or shows while it waits.
    if (HWND h = hwndOf(f)) {
        EnableWindow(h, FALSE);
        ShowWindow(h, SW_HIDE);
    }
}

void pokeModalLoop(Control& c) {
    Form* f = c.form();
    if (f && f->peer) PostMessageA(peerOf(*f)->hwnd, WM_KV_CHECK, 0, 0);
}

void registerWindowClass(HINSTANCE inst, const char* name, WNDPROC proc, UINT style) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

}  // namespace detail

using namespace detail;

namespace {

// ---- accelerators, Esc, Enter, Tab ------------------------------------------------------

char upperChar(char ch) {
    return static_cast<char>(reinterpret_cast<uintptr_t>(
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(ch))))));
}

// A caption's mnemonic, upper-cased as the platform does; 0 for none.
char accelOf(const std::string& caption) {
    const char c = accelChar(caption);
    return c ? upperChar(c) : 0;
}

bool usable(Control& c) {
    if (!c.showing()) return false;
    for (Control* p = &c; p; p = p->parent())
        if (!p->enabled()) return false;
    return true;
}

Button* findButton(Control& root, const std::function<bool(Button&)>& pred) {
    if (auto* b = dynamic_cast<Button*>(&root))
        if (usable(*b) && pred(*b)) return b;
    for (Control* k : root.children())
        if (Button* r = findButton(*k, pred)) return r;
    return nullptr;
}

// The usable check box whose caption has this accelerator letter.
CheckBox* findCheckBox(Control& root, char up) {
    if (auto* k = dynamic_cast<CheckBox*>(&root))
        if (usable(*k) && accelOf(k->caption()) == up) return k;
    for (Control* c : root.children())
        if (CheckBox* r = findCheckBox(*c, up)) return r;
    return nullptr;
}

// The usable notebook with a tab whose caption has this accelerator letter; its page in *page.
Notebook* findNotebookTab(Control& root, char up, int* page) {
    if (auto* nb = dynamic_cast<Notebook*>(&root); nb && usable(*nb)) {
        for (size_t i = 0; i < nb->pages().size(); ++i)
            if (accelOf(nb->pages()[i]->caption()) == up) {
                *page = static_cast<int>(i);
                return nb;
            }
    }
    for (Control* c : root.children())
        if (Notebook* r = findNotebookTab(*c, up, page)) return r;
    return nullptr;
}

// A click on a button as the user makes it: the object's click, then the modal loop looks.
void clickButton(Button& b) {
    guarded([&] { b.click(); });
    pokeModalLoop(b);
}

// Esc: clicks the form's cancel button, or ends a modal form with Cancel.
bool cancelForm(Form& f) {
    if (Button* b = findButton(f, [](Button& x) { return x.cancel; })) {
        clickButton(*b);
        return true;
    }
    if (f.isModal()) {
        f.setModalResult(ModalResult::Cancel);
        pokeModalLoop(f);
        return true;
    }
    return false;
}

}  // namespace

namespace detail {

bool handleKeyDown(Control& c, HWND hwnd, WPARAM wp) {
    int key = static_cast<int>(wp);
    unsigned shift = keyShift();
    guarded([&] { c.keyDown(key, shift); });
    pokeModalLoop(c);
    if (key == 0) return true;
    Form* f = c.form();
    if (!f) return false;
    switch (key) {
        case VK_ESCAPE: return cancelForm(*f);
        case VK_RETURN: {
            if (auto* b = dynamic_cast<Button*>(&c)) {
                clickButton(*b);
                return true;
            }
            bool used = false;  // the default button
            guarded([&] { used = f->dialogKey(VK_RETURN); });
            pokeModalLoop(*f);
            return used;
        }
        case VK_TAB: {
            if (shift & (CtrlKey | AltKey)) return false;
            HWND top = GetAncestor(hwnd, GA_ROOT);
            HWND next = GetNextDlgTabItem(top, hwnd, (shift & ShiftKey) != 0);
            if (next) SetFocus(next);
            return true;
        }
        default: return false;
    }
}

bool handleChar(Control& c, WPARAM wp) {
    char ch = static_cast<char>(wp);
    // Typed letters reach a button's accelerator when the focus is not in a control that
    // takes text itself (as in a dialog).
    if (!dynamic_cast<StringGrid*>(&c) && ch > ' ') {
        char up = upperChar(ch);
        if (Form* f = c.form()) {
            if (Button* b = findButton(*f, [&](Button& x) { return accelOf(x.caption()) == up; })) {
                clickButton(*b);
                return true;
            }
            if (radioAccelerator(*f, up)) return true;
        }
    }
    guarded([&] { c.keyPress(ch); });
    pokeModalLoop(c);
    return ch == 0;
}

bool handleSysChar(Control& c, WPARAM wp) {
    char up = upperChar(static_cast<char>(wp));
    Form* f = c.form();
    if (!f) return false;
    if (Button* b = findButton(*f, [&](Button& x) { return accelOf(x.caption()) == up; })) {
        clickButton(*b);
        return true;
    }
    if (CheckBox* k = findCheckBox(*f, up)) {
        SetFocus(hwndOf(*k));
        guarded([&] { k->click(); });
        pokeModalLoop(*k);
        return true;
    }
    if (radioAccelerator(*f, up)) return true;
    // A tab's letter chooses its page, as a click on the tab does (a visible button with the
    // same letter comes first).
    int page = 0;
    if (Notebook* nb = findNotebookTab(*f, up, &page)) {
        guarded([&] { nb->setPageIndex(page); });
        pokeModalLoop(*nb);
        return true;
    }
    // A label's letter moves the focus to the label's control.
    bool focused = false;
    guarded([&] { focused = f->labelKey(up); });
    return focused;
}

}  // namespace detail

namespace {

// ---- painting helpers --------------------------------------------------------------------

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
    if (p.bevel > 0) {
        DrawEdge(dc, &r, p.lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(&r, -p.bevel, -p.bevel);
    }
    // A notebook page's caption is its tab's text, not drawn on the page.
    if (p.caption().empty() || dynamic_cast<Notebook*>(p.parent())) return;
    HGDIOBJ old = SelectObject(dc, fontOf(p.font()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(p.font().color));
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (p.alignment == Alignment::Center) fmt |= DT_CENTER;
    else r.left += 2;
    DrawTextA(dc, p.caption().c_str(), -1, &r, fmt);
    SelectObject(dc, old);
}

void paintLabel(Label& l, HDC dc, const RECT& rc) {
    FillRect(dc, &rc, brushFor(backColor(l)));
    HGDIOBJ old = SelectObject(dc, fontOf(l.font()));
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
    if (im.stretch) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else if (im.center) {
        BitBlt(dc, (w - bm.bmWidth) / 2, (h - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
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
    int off = pushed ? 1 : 0;
    int cx = (r.left + r.right) / 2 + off, cy = (r.top + r.bottom) / 2 + off;
    drawGlyph(dc, b.glyph, cx, cy, disabled);
    if (di.itemState & ODS_FOCUS) {
        RECT f = r;
        InflateRect(&f, -4, -4);
        DrawFocusRect(dc, &f);
    }
}

// ---- window procedures -------------------------------------------------------------------

void handleScroll(HWND bar, int code) {
    auto* sb = dynamic_cast<ScrollBar*>(controlOf(bar));
    if (!sb) return;
    int pos = 0;
    ScrollCode sc;
    switch (code) {
        case SB_LINELEFT: sc = ScrollCode::LineUp; break;
        case SB_LINERIGHT: sc = ScrollCode::LineDown; break;
        case SB_PAGELEFT: sc = ScrollCode::PageUp; break;
        case SB_PAGERIGHT: sc = ScrollCode::PageDown; break;
        case SB_LEFT: sc = ScrollCode::Top; break;
        case SB_RIGHT: sc = ScrollCode::Bottom; break;
        case SB_ENDSCROLL: sc = ScrollCode::EndScroll; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            sc = code == SB_THUMBTRACK ? ScrollCode::Track : ScrollCode::Position;
            SCROLLINFO si{sizeof si, SIF_TRACKPOS};
            GetScrollInfo(bar, SB_CTL, &si);
            pos = si.nTrackPos;
            break;
        }
        default: return;
    }
    guarded([&] { sb->scroll(sc, pos); });
    pokeModalLoop(*sb);
}

// Messages every window of ours treats alike; returns true with *result when handled.
bool commonMessage(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            trackModifier(msg, wp);
            return handleKeyDown(c, hwnd, wp);
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            trackModifier(msg, wp);
            int key = static_cast<int>(wp);
            unsigned shift = keyShift();
            guarded([&] { c.keyUp(key, shift); });
            pokeModalLoop(c);
            return key == 0;
        }
        case WM_CHAR: return handleChar(c, wp);
        case WM_SYSCHAR: return handleSysChar(c, wp);
        case WM_KILLFOCUS:
        case WM_EXITMENULOOP:
        case WM_EXITSIZEMOVE: forgetSentModifiers(); return false;
        case WM_NCPAINT: {
            // A child window without a frame or bars has nothing outside its client area to
            // draw. Left to the default procedure it would still take a device context for
            // its whole window, and keep one more from the platform's cache bound to it,
            // which every later move or hide of the form then goes through.
            const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
            const LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
            return (style & WS_CHILD) && !(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL)) &&
                   !(ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
        }
        case WM_SETCURSOR:
            if (ports().user && ports().user->cursor() == CursorKind::HourGlass) {
                SetCursor(LoadCursorA(nullptr, IDC_WAIT));
                *result = TRUE;
                return true;
            }
            return false;
        default: return false;
    }
}

}  // namespace

namespace detail {
bool commonControlMessage(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return commonMessage(c, hwnd, msg, wp, lp, result);
}
}  // namespace detail

namespace {

// Messages of windows that hold other controls (forms, panels, notebook pages).
bool containerMessage(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case WM_COMMAND:
            if (lp && choiceCommand(reinterpret_cast<HWND>(lp), HIWORD(wp))) return true;
            if (lp && (HIWORD(wp) == BN_CLICKED)) {
                if (auto* b = dynamic_cast<Button*>(controlOf(reinterpret_cast<HWND>(lp)))) clickButton(*b);
                return true;
            }
            if (lp)
                if (auto* lb = dynamic_cast<ListBox*>(controlOf(reinterpret_cast<HWND>(lp)))) {
                    listNotify(*lb, reinterpret_cast<HWND>(lp), HIWORD(wp));
                    return true;
                }
            return false;
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (lp) {
                handleScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
                return true;
            }
            return false;
        case WM_NOTIFY: {
            auto* nh = reinterpret_cast<NMHDR*>(lp);
            if (nh->code == static_cast<UINT>(TCN_SELCHANGE)) {
                if (auto* nb = dynamic_cast<Notebook*>(controlOf(nh->hwndFrom))) {
                    int i = static_cast<int>(SendMessageA(nh->hwndFrom, TCM_GETCURSEL, 0, 0));
                    guarded([&] { nb->setPageIndex(i); });
                    pokeModalLoop(*nb);
                }
                return true;
            }
            return false;
        }
        case WM_MEASUREITEM:
            if (!measureComboItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return false;
            *result = TRUE;
            return true;
        case WM_DRAWITEM: {
            auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (auto* b = dynamic_cast<Button*>(controlOf(di->hwndItem))) {
                paintOwnerButton(*b, *di);
                *result = TRUE;
                return true;
            }
            if (auto* lb = dynamic_cast<ListBox*>(controlOf(di->hwndItem))) {
                drawListItem(*lb, *di);
                *result = TRUE;
                return true;
            }
            if (auto* pc = dynamic_cast<PictureComboBox*>(controlOf(di->hwndItem))) {
                drawComboItem(*pc, *di);
                *result = TRUE;
                return true;
            }
            return false;
        }
        case WM_CTLCOLORSTATIC:
            // A read-only edit box shows its own colour (the explorer's name box is button
            // face, highlight or window by mode).
            if (auto* e = dynamic_cast<Edit*>(controlOf(reinterpret_cast<HWND>(lp))); e && e->readOnly()) {
                const COLORREF back = colorRef(e->color());
                SetBkColor(reinterpret_cast<HDC>(wp), back);
                *result = reinterpret_cast<LRESULT>(brushFor(back));
                return true;
            }
            [[fallthrough]];
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR:
            *result = reinterpret_cast<LRESULT>(brushFor(colorRef(c.color())));
            return true;
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, brushFor(colorRef(c.color())));
            *result = 1;
            return true;
        }
        default: return false;
    }
}

// Mouse events of plain windows (panels, labels, images).
bool mouseMessage(Control& c, UINT msg, WPARAM, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_LBUTTONDBLCLK: break;
        default: return false;
    }
    // The key state is asked of the server: only for the messages that report it.
    int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    unsigned shift = keyShift();
    switch (msg) {
        case WM_LBUTTONDOWN: guarded([&] { c.mouseDown(MouseButton::Left, shift | LeftButton, x, y); }); break;
        case WM_RBUTTONDOWN: guarded([&] { c.mouseDown(MouseButton::Right, shift | RightButton, x, y); }); break;
        case WM_LBUTTONUP:
            guarded([&] { c.mouseUp(MouseButton::Left, shift, x, y); });
            guarded([&] { c.click(); });
            break;
        case WM_RBUTTONUP: guarded([&] { c.mouseUp(MouseButton::Right, shift, x, y); }); break;
        case WM_LBUTTONDBLCLK: guarded([&] { c.dblClick(); }); break;
        default: return false;
    }
    pokeModalLoop(c);
    return true;
}

void applyPendingBounds(Form& f);
void followFormWindow(Form& f);

// The focus goes where it was asked for before the window showed, or to the first control
// that takes it, unless a control of the form has it already. The form's own window having
// it (where the default activation puts it) does not count: keys would reach no control.
void giveInitialFocus(Form& f) {
    Peer* p = peerOf(f);
    if (!p) return;
    HWND focus = GetFocus();
    if (focus && IsChild(p->hwnd, focus) && !p->pendingFocus) return;
    if (p->pendingFocus && hwndOf(*p->pendingFocus)) SetFocus(hwndOf(*p->pendingFocus));
    else if (HWND first = GetNextDlgTabItem(p->hwnd, nullptr, FALSE)) SetFocus(first);
    p->pendingFocus = nullptr;
}

void activateOnce(Form& f) {
    Peer* p = peerOf(f);
    if (!p || p->activated) return;
    p->activated = true;
    guarded([&] { f.activate(); });
    pokeModalLoop(f);
}

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* f = dynamic_cast<Form*>(controlOf(hwnd));
    if (!f) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    if (!f->windowHooks.empty()) guarded([&] { WindowHook::beforeMessage(*f, msg, wp); });
    LRESULT r;
    if (commonMessage(*f, hwnd, msg, wp, lp, &r)) return r;
    if (containerMessage(*f, hwnd, msg, wp, lp, &r)) return r;
    switch (msg) {
        case WM_CLOSE:
            guarded([&] { f->close(); });
            pokeModalLoop(*f);
            return 0;
        case WM_ACTIVATE: {
            Peer* p = peerOf(*f);
            if (!p) break;
            if (LOWORD(wp) == WA_INACTIVE) {
                // The control that has the focus gets it back when the form is active again
                // (after a message dialog, another window), as in a dialog.
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) p->lastFocus = focus;
                break;
            }
            LRESULT res = DefWindowProcA(hwnd, msg, wp, lp);  // puts the focus on the form itself
            HWND back = p->lastFocus;
            p->lastFocus = nullptr;
            if (!HIWORD(wp) && back && IsChild(hwnd, back) && IsWindowVisible(back) && IsWindowEnabled(back))
                SetFocus(back);
            if (f->isModal()) {
                if (!p->activated) giveInitialFocus(*f);
                activateOnce(*f);
            } else if (activatesModeless(*f, reinterpret_cast<HWND>(lp), !p->activated)) {
                // A modeless form's activation runs when it is shown and whenever the focus
                // comes to it from another modeless form of ours.
                if (!p->activated) giveInitialFocus(*f);
                p->activated = true;
                guarded([&] { f->activate(); });
            }
            return res;
        }
        case WM_CANCELMODE:
            // Sent when the form is disabled, a box comes up or the user switches away: a
            // control of the form that holds the mouse lets it go (and ends its drag).
            if (HWND held = GetCapture(); held && IsChild(hwnd, held)) ReleaseCapture();
            break;
        case WM_KV_CHECK: return 0;
        case WM_KV_HIDE:
            if (!f->isModal()) ShowWindow(hwnd, SW_HIDE);
            return 0;
        case WM_KV_BOUNDS:
            applyPendingBounds(*f);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            // Whatever moved or sized the window (the user dragging its caption, the
            // system), the form's bounds follow it; the default procedure then sends
            // WM_MOVE and WM_SIZE.
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) followFormWindow(*f);
            break;
        }
        case WM_SIZE:
            // The form's client size follows its window, then its size-change event runs.
            if (wp != SIZE_MINIMIZED && f->onResize) {
                f->clientWidthValue = LOWORD(lp);
                f->clientHeightValue = HIWORD(lp);
                guarded([&] { f->onResize(f); });
            }
            break;
        case WM_PALETTECHANGED:
            if (f->onPaletteChanged) guarded([&] { f->onPaletteChanged(f, static_cast<uintptr_t>(wp)); });
            break;
        default: break;
    }
    if (mouseMessage(*f, msg, wp, lp)) return 0;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* c = controlOf(hwnd);
    if (!c) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    LRESULT r;
    if (commonMessage(*c, hwnd, msg, wp, lp, &r)) return r;
    if (containerMessage(*c, hwnd, msg, wp, lp, &r)) return r;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        if (auto* p = dynamic_cast<Panel*>(c)) {
            paintPanel(*p, dc, rc);
            if (p->onPaint) guarded([&] { p->onPaint(p, reinterpret_cast<uintptr_t>(dc)); });
        } else {
            FillRect(dc, &rc, brushFor(colorRef(c->color())));
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_SIZE) InvalidateRect(hwnd, nullptr, TRUE);
    if (mouseMessage(*c, msg, wp, lp)) return 0;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* c = controlOf(hwnd);
    if (!c) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    LRESULT r;
    if (commonMessage(*c, hwnd, msg, wp, lp, &r)) return r;
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            if (auto* l = dynamic_cast<Label*>(c)) paintLabel(*l, dc, rc);
            else if (auto* im = dynamic_cast<Image*>(c)) paintImage(*im, *peerOf(*c), dc, rc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCHITTEST:
            // Labels let the mouse through to what lies beneath, as graphic controls do.
            if (dynamic_cast<Label*>(c)) return HTTRANSPARENT;
            break;
        default: break;
    }
    if (mouseMessage(*c, msg, wp, lp)) return 0;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Gives the form's tooltip window the control's hint as a tool, or takes it away. The tip
// window and a control's tool are made when the pointer first comes over the control: a form
// whose hints nobody points at does without the tip window (a top-level window, costly to
// make under X) and without telling it its tools.
void tellTip(Control& c, HWND h) {
    Form* f = c.form();
    Peer* fp = f ? peerOf(*f) : nullptr;
    Peer* p = peerOf(c);
    if (!fp || !fp->hwnd || !p || &c == f) return;
    std::string text = c.hint();
    if (!fp->tooltip && !text.empty())
        fp->tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, fp->hwnd, nullptr, moduleInstance(),
                                      nullptr);
    HWND tip = fp->tooltip;
    if (!tip) return;
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    // The tip hears of the mouse from our own procedure (relayHint), not by subclassing the
    // control: a subclassed window asks the server for its subclass data on every message.
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = GetParent(h);
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    ti.lpszText = text.data();
    if (p->tipAdded) SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    p->tipAdded = !text.empty();
    if (p->tipAdded) SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

// Shows a control's hint: the form's tip window is told of the mouse over the control.
void relayHint(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_MOUSEMOVE && msg != WM_LBUTTONDOWN && msg != WM_LBUTTONUP && msg != WM_RBUTTONDOWN &&
        msg != WM_RBUTTONUP && msg != WM_MBUTTONDOWN && msg != WM_MBUTTONUP)
        return;
    if (c.hint().empty()) return;
    Peer* p = peerOf(c);
    if (p && !p->tipAdded) tellTip(c, hwnd);
    Form* f = c.form();
    Peer* fp = f ? peerOf(*f) : nullptr;
    if (!fp || !fp->tooltip) return;
    MSG m{hwnd, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageA(fp->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

// System controls (buttons, scroll bars, progress bars, tabs) run through this first, so
// that keys reach the form's key preview and the mouse events of scroll bars are reported.
LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* c = controlOf(hwnd);
    Peer* p = c ? peerOf(*c) : nullptr;
    if (!p || !p->oldProc) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    WNDPROC old = p->oldProc;
    LRESULT r;
    relayHint(*c, hwnd, msg, wp, lp);
    if (msg == WM_GETDLGCODE && dynamic_cast<Button*>(c))
        return CallWindowProcA(old, hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
    if (auto* lb = dynamic_cast<ListBox*>(c))
        if (listMessage(*lb, hwnd, msg, wp, lp, &r)) return r;
    if (commonMessage(*c, hwnd, msg, wp, lp, &r)) return r;
    if (auto* b = dynamic_cast<Button*>(c); b && msg == BM_CLICK) {
        // A click sent to the button acts as the user's click, also while it is being driven
        // from outside the message loop.
        if (!IsWindowEnabled(hwnd)) return 0;
        clickButton(*b);
        return 0;
    }
    if (msg == WM_TIMER && wp == kGaugeTimer && dynamic_cast<Gauge*>(c)) {
        KillTimer(hwnd, kGaugeTimer);
        if (p->gaugePending) {
            p->gaugePending = false;
            p->gaugeToldAt = GetTickCount();
            SendMessageA(hwnd, PBM_SETPOS, static_cast<Gauge*>(c)->progress(), 0);
        }
        return 0;
    }
    if (dynamic_cast<ScrollBar*>(c)) {
        int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        // A second press soon after the first comes as a double click, which the bar scrolls
        // for as well: the program hears of both presses.
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
            const bool after = static_cast<ScrollBar*>(c)->mouseDownAfterTracking;
            if (!after) guarded([&] { c->mouseDown(MouseButton::Left, keyShift() | LeftButton, x, y); });
            LRESULT res = CallWindowProcA(old, hwnd, msg, wp, lp);  // runs the scroll loop
            if (after) guarded([&] { c->mouseDown(MouseButton::Left, keyShift() | LeftButton, x, y); });
            guarded([&] { c->mouseUp(MouseButton::Left, keyShift(), x, y); });
            guarded([&] { c->click(); });
            pokeModalLoop(*c);
            return res;
        }
    }
    return CallWindowProcA(old, hwnd, msg, wp, lp);
}

LRESULT CALLBACK appProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void registerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE inst = moduleInstance();
    auto reg = [&](const char* name, WNDPROC proc, UINT style) { registerWindowClass(inst, name, proc, style); };
    reg(kFormClass, formProc, CS_DBLCLKS);
    reg(kPanelClass, panelProc, CS_DBLCLKS);
    reg(kLabelClass, labelProc, CS_DBLCLKS);
    reg(kImageClass, labelProc, CS_DBLCLKS);
    reg(kAppClass, appProc, 0);
    registerGridClass(inst);
}

// ---- the backend -------------------------------------------------------------------------

DWORD formStyle(const Form& f, DWORD* ex) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    *ex = WS_EX_CONTROLPARENT;
    switch (f.borderStyle) {
        case BorderStyle::Dialog: style |= WS_DLGFRAME; *ex |= WS_EX_DLGMODALFRAME; break;
        case BorderStyle::Sizeable: style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; break;
        case BorderStyle::Single: style |= WS_BORDER | WS_MINIMIZEBOX; break;
    }
    if (f.systemMenu) style |= WS_SYSMENU;
    if (f.stayOnTop) *ex |= WS_EX_TOPMOST;
    return style;
}

class Win32Ui final : public UiBackend {
public:
    void realize(Control& c) override;
    void changed(Control& c, Prop what) override;
    void release(Control& c) override;
    ModalResult showModal(Form& f) override;
    void show(Form& f) override { showModeless(f); }
    void releaseLater(Form& f) override { detail::releaseLater(f); }
    void popup(PopupMenu& menu, int x, int y) override;
    void processMessages() override;
    void paintNow(Form& f) override;
    int textWidth(const Font& font, const std::string& text) override;
    int maxTextWidth(const Font& font, const std::vector<const std::string*>& texts) override;
    void setFocus(Control& c) override;
    bool fontDialog(Font& font, int minSize, int maxSize) override { return detail::fontDialog(font, minSize, maxSize); }
    WindowState windowState(Form& f) override;
    void setWindowState(Form& f, WindowState s) override;
    Control* focusedControl() override { return controlOf(GetFocus()); }
    bool colorDialog(uint32_t& color, bool fullOpen) override { return chooseColor(color, fullOpen); }
    bool loadPicture(Control& image, const std::string& file) override;
    uintptr_t windowHandle(Control& c) override { return reinterpret_cast<uintptr_t>(hwndOf(c)); }
    uintptr_t takeSurface(Control& c) override {
        HWND h = hwndOf(c);
        return h ? reinterpret_cast<uintptr_t>(GetDC(h)) : 0;
    }
    void releaseSurface(Control& c, uintptr_t surface) override {
        if (surface) ReleaseDC(hwndOf(c), reinterpret_cast<HDC>(surface));
    }
    void sendToBack(Form& f) override {
        if (HWND h = hwndOf(f)) {
            SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

    void realizeTree(Control& c) {
        if (!c.peer) realize(c);
        for (Control* k : c.children()) realizeTree(*k);
    }

    void applyBounds(Form& f) {
        if (Peer* p = peerOf(f)) applyFormBounds(f, *p);
    }

    // The form takes the place and size its window has. Not while bounds the program gave
    // the form wait to be applied (they are applied next and win), nor while the window is
    // minimised (the form keeps its normal place).
    void followWindow(Form& f) {
        Peer* p = peerOf(f);
        if (!p || !p->hwnd || p->boundsPending || IsIconic(p->hwnd)) return;
        takeWindowBounds(f, *p);
    }

    void setIcon(Control& c, HICON icon) {
        if (Peer* p = peerOf(c)) {
            p->icon = icon;
            InvalidateRect(p->hwnd, nullptr, TRUE);
        }
    }

private:
    void applyFormBounds(Form& f, Peer& p);
    void takeWindowBounds(Form& f, Peer& p);
    void syncHint(Control& c);
    void placeNotebookPages(Notebook& nb);
    std::map<Control*, HBITMAP> pictures_;  // loaded before the image had a window
};

Win32Ui& backend() {
    static Win32Ui b;
    return b;
}

void applyPendingBounds(Form& f) {
    Peer* p = peerOf(f);
    if (!p || !p->boundsPending) return;
    p->boundsPending = false;
    backend().applyBounds(f);
}

void followFormWindow(Form& f) { backend().followWindow(f); }

}  // namespace

HWND applicationWindow() {
    static HWND app = nullptr;
    if (!app || !IsWindow(app)) {
        registerClasses();
        app = CreateWindowExA(WS_EX_TOOLWINDOW, kAppClass, "Kavrin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              moduleInstance(), nullptr);
    }
    return app;
}

HWND hwndOf(const Control& c) {
    Peer* p = peerOf(c);
    return p ? p->hwnd : nullptr;
}

Control* controlOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    std::lock_guard<std::mutex> g(ties().lock);
    auto it = ties().controls.find(hwnd);
    return it == ties().controls.end() ? nullptr : it->second;
}

UiBackend& uiBackend() { return backend(); }

namespace detail {
void setImageIcon(Control& image, HICON icon) { backend().setIcon(image, icon); }
void realizeTree(Control& c) { backend().realizeTree(c); }
void recreate(Control& c) {
    backend().release(c);
    backend().realize(c);
}
}  // namespace detail

namespace {

void Win32Ui::realize(Control& c) {
    if (c.peer) return;
    registerClasses();
    HINSTANCE inst = moduleInstance();
    Control* parent = c.parent();
    if (parent && !parent->peer) realize(*parent);
    HWND parentWnd = parent ? hwndOf(*parent) : applicationWindow();

    auto* p = new Peer;
    c.peer = p;
    DWORD child = WS_CHILD | WS_CLIPSIBLINGS | (c.visible() ? WS_VISIBLE : 0) | (c.enabled() ? 0 : WS_DISABLED);
    HWND h = nullptr;
    const char* caption = c.caption().c_str();
    int x = c.left(), y = c.top(), w = c.width(), ht = c.height();

    if (auto* f = dynamic_cast<Form*>(&c)) {
        DWORD ex;
        DWORD style = formStyle(*f, &ex);
        h = CreateWindowExA(ex, kFormClass, caption, style, x, y, std::max(w, 1), std::max(ht, 1), parentWnd,
                            nullptr, inst, nullptr);
        p->hwnd = h;
        tieControl(h, &c);
        applyFormBounds(*f, *p);
    } else if (auto* g = dynamic_cast<StringGrid*>(&c)) {
        h = createGrid(*g, parentWnd);
        p->hwnd = h;
    } else if (auto* lb = dynamic_cast<ListBox*>(&c)) {
        h = createList(*lb, parentWnd);
    } else if (dynamic_cast<Notebook*>(&c)) {
        h = CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "", child | WS_CLIPCHILDREN | WS_TABSTOP, x, y, w, ht, parentWnd,
                            nullptr, inst, nullptr);
    } else if (auto* sb = dynamic_cast<ScrollBar*>(&c)) {
        DWORD dir = sb->width() >= sb->height() ? SBS_HORZ : SBS_VERT;
        h = CreateWindowExA(0, "SCROLLBAR", "", child | dir | WS_TABSTOP, x, y, w, ht, parentWnd, nullptr, inst, nullptr);
    } else if (auto* e = dynamic_cast<Edit*>(&c)) {
        h = createEdit(*e, parentWnd, child);
    } else if (auto* rg = dynamic_cast<RadioGroup*>(&c)) {
        h = createRadioGroup(*rg, parentWnd, child);
    } else if (dynamic_cast<Gauge*>(&c)) {
        h = CreateWindowExA(0, PROGRESS_CLASSA, "", child, x, y, w, ht, parentWnd, nullptr, inst, nullptr);
    } else if (dynamic_cast<Image*>(&c)) {
        h = CreateWindowExA(0, kImageClass, "", child, x, y, w, ht, parentWnd, nullptr, inst, nullptr);
    } else if (auto* b = dynamic_cast<Button*>(&c)) {
        DWORD kind = (!b->glyph.empty() && b->caption().empty()) ? BS_OWNERDRAW : b->isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        h = CreateWindowExA(0, "BUTTON", caption, child | kind | WS_TABSTOP, x, y, w, ht, parentWnd, nullptr, inst,
                            nullptr);
    } else if (auto* pc = dynamic_cast<PictureComboBox*>(&c)) {
        h = createPictureCombo(*pc, parentWnd, child);
    } else if (dynamic_cast<ComboBox*>(&c) || dynamic_cast<CheckBox*>(&c)) {
        h = createChoice(c, parentWnd, child);
    } else if (auto* pb = dynamic_cast<PaintBox*>(&c)) {
        h = createPaintBox(*pb, parentWnd, child);
    } else if (dynamic_cast<Label*>(&c)) {
        h = CreateWindowExA(0, kLabelClass, caption, child, x, y, w, ht, parentWnd, nullptr, inst, nullptr);
    } else {
        h = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, caption, child | WS_CLIPCHILDREN, x, y, w, ht,
                            parentWnd, nullptr, inst, nullptr);
    }
    p->hwnd = h;
    if (!h) return;
    tieControl(h, &c);
    setWindowName(h, c.name());

    // System controls go through our procedure first.
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpiA(cls, "BUTTON") == 0 || lstrcmpiA(cls, "SCROLLBAR") == 0 || lstrcmpiA(cls, PROGRESS_CLASSA) == 0 ||
        lstrcmpiA(cls, WC_TABCONTROLA) == 0 || lstrcmpiA(cls, "LISTBOX") == 0 || lstrcmpiA(cls, "COMBOBOX") == 0)
        p->oldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));

    // The string grid makes its own bars classic.
    if (dynamic_cast<ScrollBar*>(&c) || dynamic_cast<Notebook*>(&c) || dynamic_cast<Gauge*>(&c)) classicLook(h);
    setSentFont(*p, fontOf(c.font()));
    p->drawnFontColor = c.font().color;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(p->sentFont), FALSE);
    if (dynamic_cast<ScrollBar*>(&c) || dynamic_cast<Gauge*>(&c)) changed(c, Prop::Position);
    if (dynamic_cast<ComboBox*>(&c)) changed(c, Prop::Bounds);  // the list's height follows the font
    if (auto* nb = dynamic_cast<Notebook*>(&c)) {
        setSentFont(*p, fontOf(nb->tabFont));
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(p->sentFont), FALSE);
        changed(c, Prop::Items);
    }
    if (parent)
        if (auto* nb = dynamic_cast<Notebook*>(parent)) placeNotebookPages(*nb);
    if (dynamic_cast<Image*>(&c)) {
        auto it = pictures_.find(&c);
        if (it != pictures_.end()) {
            p->bitmap = it->second;
            pictures_.erase(it);
        }
    }
}

void Win32Ui::applyFormBounds(Form& f, Peer& p) {
    DWORD ex;
    DWORD style = formStyle(f, &ex);
    RECT wr{f.left(), f.top(), f.left() + f.width(), f.top() + f.height()};
    bool clientAsked = f.clientWidthValue > 0 && f.clientHeightValue > 0 &&
                       (f.clientWidthValue != p.appliedClientW || f.clientHeightValue != p.appliedClientH);
    bool outerAsked = !EqualRect(&wr, &p.appliedOuter) && f.width() > 0 && f.height() > 0;
    // As with the controls, the backgrounds are erased by the paint that follows.
    if (clientAsked || (!outerAsked && f.clientWidthValue > 0)) {
        RECT r{0, 0, f.clientWidthValue, f.clientHeightValue};
        AdjustWindowRectEx(&r, style, FALSE, ex);
        SetWindowPos(p.hwnd, nullptr, f.left(), f.top(), r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    } else if (outerAsked) {
        SetWindowPos(p.hwnd, nullptr, f.left(), f.top(), f.width(), f.height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    } else {
        SetWindowPos(p.hwnd, nullptr, f.left(), f.top(), 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE | SWP_DEFERERASE);
    }
    // The object takes the sizes the window really has.
    takeWindowBounds(f, p);
}

void Win32Ui::takeWindowBounds(Form& f, Peer& p) {
    RECT now, client;
    GetWindowRect(p.hwnd, &now);
    GetClientRect(p.hwnd, &client);
    p.appliedOuter = now;
    p.appliedClientW = client.right;
    p.appliedClientH = client.bottom;
    f.clientWidthValue = client.right;
    f.clientHeightValue = client.bottom;
    p.syncing = true;
    f.setBounds(now.left, now.top, now.right - now.left, now.bottom - now.top);
    p.syncing = false;
}

void Win32Ui::placeNotebookPages(Notebook& nb) {
    HWND tab = hwndOf(nb);
    if (!tab) return;
    RECT disp;
    GetClientRect(tab, &disp);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&disp));
    for (Panel* page : nb.pages()) {
        HWND h = hwndOf(*page);
        if (!h) continue;
        if (page->width() > 0 && page->height() > 0)
            MoveWindow(h, page->left(), page->top(), page->width(), page->height(), TRUE);
        else
            MoveWindow(h, disp.left, disp.top, disp.right - disp.left, disp.bottom - disp.top, TRUE);
    }
}

// A changed hint reaches a tool the tip window has already (others are made when pointed at).
void Win32Ui::syncHint(Control& c) {
    Peer* p = peerOf(c);
    if (p && p->hwnd && p->tipAdded) tellTip(c, p->hwnd);
}

void Win32Ui::changed(Control& c, Prop what) {
    Peer* p = peerOf(c);
    if (!p || !p->hwnd || p->syncing) return;
    HWND h = p->hwnd;
    if (auto* lb = dynamic_cast<ListBox*>(&c))
        if (listChanged(*lb, h, what)) return;
    if (auto* e = dynamic_cast<Edit*>(&c); e && editChanged(*e, h, what)) return;
    if (auto* rg = dynamic_cast<RadioGroup*>(&c); rg && radioGroupChanged(*rg, h, what)) return;
    if (auto* g = dynamic_cast<StringGrid*>(&c)) {
        if (what == Prop::Cells || what == Prop::Selection || what == Prop::Layout || what == Prop::Bounds ||
            what == Prop::Font || what == Prop::Color || what == Prop::Drawing) {
            gridChanged(*g, h, what);
            return;
        }
    }
    if (choiceChanged(c, h, what)) return;
    switch (what) {
        case Prop::Bounds:
            if (auto* f = dynamic_cast<Form*>(&c)) {
                // A shown window is moved once for a run of changes (a layout sets the outer
                // size, the client size and the place one after the other): from the message
                // loop, before anything paints.
                if (IsWindowVisible(h)) {
                    if (!p->boundsPending) {
                        p->boundsPending = true;
                        PostMessageA(h, WM_KV_BOUNDS, 0, 0);
                    }
                } else {
                    applyFormBounds(*f, *p);
                }
            } else {
                // Windows are moved without erasing their backgrounds there and then: the
                // next paint erases what it draws. Erasing at once goes through the whole
                // window tree on every move, several milliseconds a move under Wine, and a
                // layout moves many controls in a row.
                SetWindowPos(h, nullptr, c.left(), c.top(), c.width(), c.height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
            }
            if (auto* nb = dynamic_cast<Notebook*>(&c)) placeNotebookPages(*nb);
            if (c.parent())
                if (auto* nb = dynamic_cast<Notebook*>(c.parent())) placeNotebookPages(*nb);
            break;
        case Prop::Visible:
            if (auto* f = dynamic_cast<Form*>(&c)) {
                if (!c.visible()) ShowWindow(h, SW_HIDE);
                else if (f->minimized()) ShowWindow(h, SW_MINIMIZE);
                else if (!c.form()->isModal()) ShowWindow(h, SW_SHOW);
            } else {
                ShowWindow(h, c.visible() ? SW_SHOWNA : SW_HIDE);
            }
            break;
        case Prop::Enabled: EnableWindow(h, c.enabled()); break;
        case Prop::Caption:
            SetWindowTextA(h, c.caption().c_str());
            if (!dynamic_cast<Button*>(&c) && !dynamic_cast<Form*>(&c)) InvalidateRect(h, nullptr, TRUE);
            break;
        case Prop::Hint: syncHint(c); break;
        case Prop::Font: {
            // A font set on a form reaches every control of it; one that would draw the same
            // as before (a colour that comes out as the same colour, such as the window-text
            // colour for black) leaves the window alone.
            HFONT font = fontOf(c.font());
            if (font == p->sentFont && colorRef(c.font().color) == colorRef(p->drawnFontColor)) break;
            setSentFont(*p, font);
            p->drawnFontColor = c.font().color;
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            InvalidateRect(h, nullptr, TRUE);
            break;
        }
        case Prop::Color: InvalidateRect(h, nullptr, TRUE); break;
        case Prop::Position:
            if (auto* sb = dynamic_cast<ScrollBar*>(&c)) {
                SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, sb->minValue(), sb->maxValue(), 0, sb->position(), 0};
                SetScrollInfo(h, SB_CTL, &si, TRUE);
            } else if (auto* gg = dynamic_cast<Gauge*>(&c)) {
                // A load moves the gauge once per slide; the bar is told only when it would
                // draw differently (the range changed, or the filled part grows a pixel).
                RECT rc;
                GetClientRect(h, &rc);
                int span = std::max(1, gg->maxValue() - gg->minValue());
                int pixel = static_cast<int>(static_cast<long long>(gg->progress() - gg->minValue()) * std::max<LONG>(rc.right, 1) / span);
                if (gg->minValue() != p->gaugeMin || gg->maxValue() != p->gaugeMax) {
                    p->gaugeMin = gg->minValue();
                    p->gaugeMax = gg->maxValue();
                    p->gaugePixel = -1;
                    SendMessageA(h, PBM_SETRANGE32, gg->minValue(), gg->maxValue());
                }
                if (pixel != p->gaugePixel) {
                    p->gaugePixel = pixel;
                    // The first and the last position show at once; one in between waits
                    // for the next frame, or for the message loop if the run ends first.
                    const DWORD now = GetTickCount();
                    const bool edge = gg->progress() == gg->minValue() || gg->progress() == gg->maxValue();
                    if (edge || now - p->gaugeToldAt >= kGaugeFrameMs) {
                        if (p->gaugePending) KillTimer(h, kGaugeTimer);
                        p->gaugePending = false;
                        p->gaugeToldAt = now;
                        SendMessageA(h, PBM_SETPOS, gg->progress(), 0);
                    } else if (!p->gaugePending) {
                        p->gaugePending = true;
                        SetTimer(h, kGaugeTimer, kGaugeFrameMs, nullptr);
                    }
                }
            }
            break;
        case Prop::Picture:
            if (auto* im = dynamic_cast<Image*>(&c); im && im->pictureFile.empty() && p->bitmap) {
                DeleteObject(p->bitmap);
                p->bitmap = nullptr;
            }
            InvalidateRect(h, nullptr, TRUE);
            break;
        case Prop::Items:
            if (auto* nb = dynamic_cast<Notebook*>(&c)) {
                SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
                int i = 0;
                for (Panel* page : nb->pages()) {
                    std::string text = page->caption();
                    TCITEMA item{};
                    item.mask = TCIF_TEXT;
                    item.pszText = text.data();
                    SendMessageA(h, TCM_INSERTITEMA, i++, reinterpret_cast<LPARAM>(&item));
                }
                SendMessageA(h, TCM_SETCURSEL, nb->pageIndex(), 0);
                placeNotebookPages(*nb);
            }
            break;
        case Prop::Selection:
            if (auto* nb = dynamic_cast<Notebook*>(&c)) SendMessageA(h, TCM_SETCURSEL, nb->pageIndex(), 0);
            break;
        case Prop::Cells:
        case Prop::Layout: InvalidateRect(h, nullptr, TRUE); break;
        case Prop::Drawing: break;  // only grids hold their drawing
    }
}

// Unties a window from its control (object, our procedure) before it is destroyed. Its name
// goes with the window's other properties when it is destroyed.
void detachWindow(Peer& p) {
    untieControl(p.hwnd);
    if (p.oldProc) SetWindowLongPtrA(p.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(p.oldProc));
}

// The windows of a form's controls, untied from them: they go with the form's window.
void detachControls(Control& c) {
    for (Control* k : c.children()) {
        detachControls(*k);
        Peer* p = peerOf(*k);
        if (p && p->hwnd && IsWindow(p->hwnd)) detachWindow(*p);
        if (p) p->hwnd = nullptr;
    }
}

void Win32Ui::release(Control& c) {
    Peer* p = peerOf(c);
    if (!p) return;
    c.peer = nullptr;
    if (auto* f = dynamic_cast<Form*>(&c)) std::erase(g_heldForms, f);
    if (p->hwnd && IsWindow(p->hwnd)) {
        // A form released before its controls takes their windows with its own in one go:
        // much cheaper than taking them from the shown window one at a time. Any control's
        // windows are untied from their objects before they go, so no message finds an
        // object through a window that no longer exists.
        if (auto* f = dynamic_cast<Form*>(&c)) forgetModeless(*f);
        detachControls(c);
        detachWindow(*p);
        if (p->tooltip) DestroyWindow(p->tooltip);
        DestroyWindow(p->hwnd);
    }
    if (p->bitmap) DeleteObject(p->bitmap);
    setSentFont(*p, nullptr);
    delete p;
    auto it = pictures_.find(&c);
    if (it != pictures_.end()) {
        DeleteObject(it->second);
        pictures_.erase(it);
    }
}

struct DisabledWindows {
    HWND keep;
    std::vector<HWND> list;
};

BOOL CALLBACK disableOne(HWND h, LPARAM lp) {
    auto* d = reinterpret_cast<DisabledWindows*>(lp);
    if (h != d->keep && IsWindowVisible(h) && IsWindowEnabled(h)) {
        EnableWindow(h, FALSE);
        d->list.push_back(h);
    }
    return TRUE;
}

ModalResult Win32Ui::showModal(Form& f) {
    // What the window below has still to paint is painted first, before the form's windows
    // are made: it shows its present state (a table just loaded) behind the form, not what
    // it showed before, and as soon as it can.
    HWND prevActive = GetActiveWindow();
    if (prevActive && prevActive != hwndOf(f)) UpdateWindow(prevActive);
    realizeTree(f);
    Peer* p = peerOf(f);
    HWND h = p->hwnd;
    forgetSentModifiers();
    f.beginModal();

    // The other windows of the thread (the host's) take no input while the form is shown.
    DisabledWindows off{h, {}};
    EnumThreadWindows(GetCurrentThreadId(), disableOne, reinterpret_cast<LPARAM>(&off));

    ShowWindow(h, SW_SHOW);
    SetForegroundWindow(h);
    SetActiveWindow(h);
    giveInitialFocus(f);
    UpdateWindow(h);
    activateOnce(f);

    MSG msg;
    for (;;) {
        bool ended = false;
        guarded([&] { ended = f.checkModalEnd(); });
        if (ended) break;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The application is quitting: end the form and leave the quit for the host's loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            f.setModalResult(ModalResult::Cancel);
            f.doClose();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (f.peer) realizeTree(f);  // controls made by handlers get their windows
    }

    for (auto it = off.list.rbegin(); it != off.list.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
    if (f.peer) {
        if (prevActive && IsWindow(prevActive) && prevActive != h) SetActiveWindow(prevActive);
        // Hidden from the message loop, not here: a form is mostly destroyed right after its
        // modal run, and hiding a window can wait on the window manager (seconds under X
        // without one) where destroying it does not.
        PostMessageA(h, WM_KV_HIDE, 0, 0);
        peerOf(f)->activated = false;
    }
    forgetSentModifiers();
    f.endModal();
    return f.modalResult();
}

WindowState Win32Ui::windowState(Form& f) {
    HWND h = hwndOf(f);
    if (!h) return WindowState::Normal;
    if (IsIconic(h)) return WindowState::Minimized;
    if (IsZoomed(h)) return WindowState::Maximized;
    return WindowState::Normal;
}

void Win32Ui::setWindowState(Form& f, WindowState s) {
    HWND h = hwndOf(f);
    if (!h || windowState(f) == s) return;
    ShowWindow(h, s == WindowState::Minimized ? SW_MINIMIZE : s == WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE);
}

// A native popup menu of the visible items; an item with items of its own opens a submenu.
HMENU buildMenu(const std::vector<std::unique_ptr<MenuItem>>& items, std::vector<MenuItem*>& byId) {
    HMENU hm = CreatePopupMenu();
    for (auto& item : items) {
        if (!item->visible()) continue;
        UINT flags = item->isSeparator() ? MF_SEPARATOR : MF_STRING;
        if (!item->enabled()) flags |= MF_GRAYED;
        if (item->checked()) flags |= MF_CHECKED;
        if (item->newColumn) flags |= MF_MENUBARBREAK;
        std::string text = item->caption();
        if (!item->shortcut().empty()) text += "\t" + item->shortcut();
        UINT_PTR id;
        if (!item->items().empty()) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(buildMenu(item->items(), byId));
        } else {
            byId.push_back(item.get());
            id = byId.size();
        }
        AppendMenuA(hm, flags, id, item->isSeparator() ? nullptr : text.c_str());
    }
    return hm;
}

void Win32Ui::popup(PopupMenu& menu, int x, int y) {
    HandlerScope running;  // the menu and its owner stay while the chosen item's handler runs
    std::vector<MenuItem*> byId;
    HMENU hm = buildMenu(menu.items(), byId);
    HWND owner = menu.owner() ? hwndOf(*menu.owner()) : nullptr;
    if (!owner) owner = GetActiveWindow();
    if (!owner) owner = applicationWindow();
    int cmd = TrackPopupMenu(hm, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y,
                             0, owner, nullptr);
    forgetSentModifiers();  // the menu's loop may have taken their key-ups
    DestroyMenu(hm);
    PostMessageA(owner, WM_NULL, 0, 0);
    if (cmd > 0 && static_cast<size_t>(cmd) <= byId.size()) {
        MenuItem* chosen = byId[static_cast<size_t>(cmd) - 1];
        guarded([&] { chosen->click(); });
        if (menu.owner()) pokeModalLoop(*menu.owner());
    }
}

void Win32Ui::processMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Ui::paintNow(Form& f) {
    if (HWND h = hwndOf(f)) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Win32Ui::textWidth(const Font& font, const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fontOf(font));
    SIZE sz{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return sz.cx;
}

int Win32Ui::maxTextWidth(const Font& font, const std::vector<const std::string*>& texts) {
    // The font's character widths once, then sums: the platform measures text as the sum of
    // its characters' advance widths (no kerning), and ten thousand names cost nothing.
    std::map<HFONT, std::vector<int>>& widths = g_charWidths;
    HFONT hf = fontOf(font);
    auto it = widths.find(hf);
    if (it == widths.end()) {
        std::vector<int> w(256, 0);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, hf);
        if (!GetCharWidth32A(dc, 0, 255, w.data())) {
            for (int ch = 0; ch < 256; ++ch) {
                char c = static_cast<char>(ch);
                SIZE sz{};
                GetTextExtentPoint32A(dc, &c, 1, &sz);
                w[static_cast<size_t>(ch)] = sz.cx;
            }
        }
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        it = widths.emplace(hf, std::move(w)).first;
    }
    const std::vector<int>& cw = it->second;
    int best = 0;
    for (const std::string* t : texts) {
        int sum = 0;
        for (unsigned char ch : *t) sum += cw[ch];
        best = std::max(best, sum);
    }
    return best;
}

void Win32Ui::setFocus(Control& c) {
    HWND h = hwndOf(c);
    Form* f = c.form();
    if (h && IsWindowVisible(GetAncestor(h, GA_ROOT))) {
        SetFocus(h);
    } else if (f) {
        if (!f->peer) realize(*f);
        peerOf(*f)->pendingFocus = &c;
    }
}

bool Win32Ui::loadPicture(Control& image, const std::string& file) {
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    Peer* p = peerOf(image);
    HBITMAP* slot = nullptr;
    if (p) {
        slot = &p->bitmap;
    } else {
        slot = &pictures_[&image];
    }
    if (*slot) DeleteObject(*slot);
    *slot = bmp;
    if (!p && !bmp) pictures_.erase(&image);
    if (p) InvalidateRect(p->hwnd, nullptr, TRUE);
    return bmp != nullptr;
}

// The user port with its message dialog shown by the library's own dialog window; every
// other service is the installed port's.
class DialogUserPort final : public UserPort {
public:
    explicit DialogUserPort(UserPort* base) : base_(base) {}
    void setCursor(CursorKind kind) override { base_->setCursor(kind); }
    CursorKind cursor() override { return base_->cursor(); }
    void cursorPos(int& x, int& y) override { base_->cursorPos(x, y); }
    ModalResult messageDialog(const std::string& text, DialogKind kind, unsigned buttons) override {
        return showMessageDialog(text, kind, buttons);
    }
    int screenWidth() override { return base_->screenWidth(); }
    int screenHeight() override { return base_->screenHeight(); }
    int systemMetric(int index) override { return base_->systemMetric(index); }
    uint32_t systemColor(int index) override { return base_->systemColor(index); }
    void beep() override { base_->beep(); }

private:
    UserPort* base_;
};

}  // namespace

void installUi() {
    setUi(&backend());
    installPainter();
    Ports& p = ports();
    static DialogUserPort* wrapped = nullptr;
    if (p.user && p.user != wrapped) {
        static DialogUserPort port(p.user);
        wrapped = &port;
        p.user = wrapped;
    }
}

}  // namespace kv::win32
