// Window procedures: the messages of our forms, panels, labels and subclassed system controls
// (keys, mouse, scroll bars, commands, painting), their hints and the window classes.
#include "framework/win32/win32_backend.h"

#include <commctrl.h>

namespace kv::win32::detail {

// ---- window procedures -------------------------------------------------------------------

namespace {

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
    showingErrors([&] { sb->scroll(sc, pos); });
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
            showingErrors([&] { c.keyUp(key, shift); });
            pokeModalLoop(c);
            return key == 0;
        }
        case WM_CHAR: return handleChar(c, wp);
        case WM_SYSCHAR: return handleSysChar(c, wp);
        case WM_GETFONT:
            // Our own windows (labels, panels, the table) answer with the font they draw
            // with, as the system's controls do: a tool reading their text can measure it.
            if (const Peer* p = peerOf(c); p && p->hwnd == hwnd && p->sentFont) {
                *result = reinterpret_cast<LRESULT>(p->sentFont);
                return true;
            }
            return false;
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

bool commonControlMessage(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return commonMessage(c, hwnd, msg, wp, lp, result);
}



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
                    showingErrors([&] { nb->setPageIndex(i); });
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
    const POINT at = scaleOf(c).mouse(lp);
    const int x = at.x, y = at.y;
    unsigned shift = keyShift();
    switch (msg) {
        case WM_LBUTTONDOWN: showingErrors([&] { c.mouseDown(MouseButton::Left, shift | LeftButton, x, y); }); break;
        case WM_RBUTTONDOWN: showingErrors([&] { c.mouseDown(MouseButton::Right, shift | RightButton, x, y); }); break;
        case WM_LBUTTONUP:
            showingErrors([&] { c.mouseUp(MouseButton::Left, shift, x, y); });
            showingErrors([&] { c.click(); });
            break;
        case WM_RBUTTONUP: showingErrors([&] { c.mouseUp(MouseButton::Right, shift, x, y); }); break;
        case WM_LBUTTONDBLCLK: showingErrors([&] { c.dblClick(); }); break;
        default: return false;
    }
    pokeModalLoop(c);
    return true;
}

}  // namespace

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
    showingErrors([&] { f.activate(); });
    pokeModalLoop(f);
}

namespace {

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* f = dynamic_cast<Form*>(controlOf(hwnd));
    if (!f) return DefWindowProcA(hwnd, msg, wp, lp);
    HandlerScope running;
    if (!f->windowHooks.empty()) showingErrors([&] { WindowHook::beforeMessage(*f, msg, wp); });
    LRESULT r;
    if (commonMessage(*f, hwnd, msg, wp, lp, &r)) return r;
    if (containerMessage(*f, hwnd, msg, wp, lp, &r)) return r;
    switch (msg) {
        case WM_CLOSE:
            showingErrors([&] { f->close(); });
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
                showingErrors([&] { f->activate(); });
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
                const Scale s = scaleOf(*f);
                f->clientWidthValue = s.layout(LOWORD(lp));
                f->clientHeightValue = s.layout(HIWORD(lp));
                showingErrors([&] { f->onResize(f); });
            }
            break;
        case WM_DPICHANGED:
            // Sent only to a host that follows the screens its windows are on.
            followFormScreen(*f, HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_PALETTECHANGED:
            if (f->onPaletteChanged) showingErrors([&] { f->onPaletteChanged(f, static_cast<uintptr_t>(wp)); });
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
        paintClient(hwnd, [&](HDC dc, const RECT& rc) {
            if (auto* p = dynamic_cast<Panel*>(c)) {
                paintPanel(*p, dc, rc);
                if (p->onPaint) showingErrors([&] { p->onPaint(p, reinterpret_cast<uintptr_t>(dc)); });
            } else {
                FillRect(dc, &rc, brushFor(colorRef(c->color())));
            }
        });
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
            paintClient(hwnd, [&](HDC dc, const RECT& rc) {
                if (auto* l = dynamic_cast<Label*>(c)) paintLabel(*l, dc, rc);
                else if (auto* im = dynamic_cast<Image*>(c)) paintImage(*im, *peerOf(*c), dc, rc);
            });
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

}  // namespace

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

namespace {

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

}  // namespace

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
        const POINT at = scaleOf(*c).mouse(lp);
        const int x = at.x, y = at.y;
        // A second press soon after the first comes as a double click, which the bar scrolls
        // for as well: the program hears of both presses.
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
            const bool after = static_cast<ScrollBar*>(c)->mouseDownAfterTracking;
            if (!after) showingErrors([&] { c->mouseDown(MouseButton::Left, keyShift() | LeftButton, x, y); });
            LRESULT res = CallWindowProcA(old, hwnd, msg, wp, lp);  // runs the scroll loop
            if (after) showingErrors([&] { c->mouseDown(MouseButton::Left, keyShift() | LeftButton, x, y); });
            showingErrors([&] { c->mouseUp(MouseButton::Left, keyShift(), x, y); });
            showingErrors([&] { c->click(); });
            pokeModalLoop(*c);
            return res;
        }
    }
    return CallWindowProcA(old, hwnd, msg, wp, lp);
}

namespace {

LRESULT CALLBACK appProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

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

}  // namespace kv::win32::detail
