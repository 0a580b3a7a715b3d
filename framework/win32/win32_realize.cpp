// A control's window: made for the object (realize), kept in step with its properties
// (changed), and untied and destroyed with it (release).
#include "framework/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>

namespace kv::win32::detail {

DWORD formStyle(const Form& f, DWORD* ex) {
    DWORD style = frameStyle(f.borderStyle, ex) | WS_CLIPCHILDREN;
    *ex |= WS_EX_CONTROLPARENT;
    if (f.borderStyle == BorderStyle::Sizeable) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (f.borderStyle == BorderStyle::Single) style |= WS_MINIMIZEBOX;
    if (f.systemMenu) style |= WS_SYSMENU;
    if (f.stayOnTop) *ex |= WS_EX_TOPMOST;
    return style;
}

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
    const RECT b = pixelBounds(c);
    const int x = b.left, y = b.top, w = b.right - b.left, ht = b.bottom - b.top;

    if (auto* f = dynamic_cast<Form*>(&c)) {
        DWORD ex;
        DWORD style = formStyle(*f, &ex);
        h = CreateWindowExA(ex, kFormClass, caption, style, x, y, std::max(w, 1), std::max(ht, 1), parentWnd,
                            nullptr, inst, nullptr);
        p->hwnd = h;
        tieControl(h, &c);
        p->dpi = windowDpi(h);
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
    const int dpi = scaleOf(c).dpi;
    setSentFont(*p, fontOf(c.font(), dpi));
    p->drawnFontColor = c.font().color;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(p->sentFont), FALSE);
    if (dynamic_cast<ScrollBar*>(&c) || dynamic_cast<Gauge*>(&c)) changed(c, Prop::Position);
    if (dynamic_cast<ComboBox*>(&c)) changed(c, Prop::Bounds);  // the list's height follows the font
    if (auto* nb = dynamic_cast<Notebook*>(&c)) {
        setSentFont(*p, fontOf(nb->tabFont, dpi));
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
    const Scale s = scaleOf(f);
    const RECT asked{f.left(), f.top(), f.left() + f.width(), f.top() + f.height()};
    const RECT wr = pixelBounds(f);
    bool clientAsked = f.clientWidthValue > 0 && f.clientHeightValue > 0 &&
                       (f.clientWidthValue != p.appliedClientW || f.clientHeightValue != p.appliedClientH);
    bool outerAsked = !EqualRect(&asked, &p.appliedOuter) && f.width() > 0 && f.height() > 0;
    // As with the controls, the backgrounds are erased by the paint that follows.
    if (clientAsked || (!outerAsked && f.clientWidthValue > 0)) {
        RECT r{0, 0, s.px(f.clientWidthValue), s.px(f.clientHeightValue)};
        AdjustWindowRectEx(&r, style, FALSE, ex);
        SetWindowPos(p.hwnd, nullptr, wr.left, wr.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    } else if (outerAsked) {
        SetWindowPos(p.hwnd, nullptr, wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    } else {
        SetWindowPos(p.hwnd, nullptr, wr.left, wr.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE | SWP_DEFERERASE);
    }
    // The object takes the sizes the window really has.
    takeWindowBounds(f, p);
}

void Win32Ui::takeWindowBounds(Form& f, Peer& p) {
    RECT now, client;
    GetWindowRect(p.hwnd, &now);
    GetClientRect(p.hwnd, &client);
    const Scale s = scaleOf(f);
    now = s.layout(now);
    client = s.layout(client);
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
        if (page->width() > 0 && page->height() > 0) {
            const RECT b = pixelBounds(*page);
            MoveWindow(h, b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
        } else {
            MoveWindow(h, disp.left, disp.top, disp.right - disp.left, disp.bottom - disp.top, TRUE);
        }
    }
}

void Win32Ui::followScreen(Form& f, int dpi, const RECT& suggested) {
    Peer* p = peerOf(f);
    if (!p || !p->hwnd || dpi <= 0 || dpi == p->dpi) return;
    p->dpi = dpi;
    std::vector<Control*> all;
    auto collect = [&](auto&& self, Control& c) -> void {
        for (Control* k : c.children()) {
            all.push_back(k);
            self(self, *k);
        }
    };
    collect(collect, f);
    for (Control* c : all) {
        changed(*c, Prop::Font);
        if (HWND h = hwndOf(*c)) itemHeightsForScreen(*c, h);
        changed(*c, Prop::Bounds);
    }
    changed(f, Prop::Font);
    SetWindowPos(p->hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    takeWindowBounds(f, *p);
    InvalidateRect(p->hwnd, nullptr, TRUE);
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
                const RECT b = pixelBounds(c);
                SetWindowPos(h, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
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
            HFONT font = fontOf(c.font(), scaleOf(c).dpi);
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

namespace {

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

}  // namespace

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

}  // namespace kv::win32::detail
