// The drop-down list and the check box as the platform's own controls: a COMBOBOX of the
// drop-down-list kind and a BUTTON of the check-box kind, kept in step with their objects;
// the user's choice and click come back through the parent's WM_COMMAND.
#include <windows.h>

#include <algorithm>

#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

namespace {

// The window of a drop-down list is as high as the closed box and its opened list together
// (in the screen's pixels).
int comboWindowHeight(ComboBox& cb, HWND h) {
    const Scale s = scaleOf(cb);
    int item = h ? static_cast<int>(SendMessageA(h, CB_GETITEMHEIGHT, 0, 0)) : 0;
    if (item <= 0) item = s.px(14);
    return s.px(cb.height()) + std::max(cb.dropDownCount, 1) * item + s.px(2);
}

void fillCombo(ComboBox& cb, HWND h) {
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : cb.items()) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(cb.itemIndex()), 0);
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
}

}  // namespace

HWND createChoice(Control& c, HWND parent, DWORD childStyle) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    const RECT b = pixelBounds(c);
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) {
        // CBS_HASSTRINGS keeps the texts, so WM_GETTEXT answers the chosen item.
        HWND h = CreateWindowExA(0, "COMBOBOX", "", childStyle | CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                                 b.left, b.top, b.right - b.left, comboWindowHeight(*cb, nullptr), parent, nullptr, inst,
                                 nullptr);
        if (h) fillCombo(*cb, h);
        return h;
    }
    if (auto* chk = dynamic_cast<CheckBox*>(&c)) {
        HWND h = CreateWindowExA(0, "BUTTON", c.caption().c_str(), childStyle | BS_CHECKBOX | WS_TABSTOP, b.left, b.top,
                                 b.right - b.left, b.bottom - b.top, parent, nullptr, inst, nullptr);
        if (h) SendMessageA(h, BM_SETCHECK, chk->checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        return h;
    }
    return nullptr;
}

bool choiceChanged(Control& c, HWND h, Prop what) {
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) {
        switch (what) {
            case Prop::Items: fillCombo(*cb, h); return true;
            case Prop::Selection: SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(cb->itemIndex()), 0); return true;
            case Prop::Bounds: {
                // A box already in place is left alone: each move of it moves its opened
                // list too, a window of its own, which then fits its height to whole items.
                const int height = comboWindowHeight(*cb, h);
                RECT now{}, dropped{};
                GetWindowRect(h, &now);
                MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&now), 2);
                SendMessageA(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
                const RECT b = pixelBounds(c);
                if (now.left != b.left || now.top != b.top || now.right - now.left != b.right - b.left ||
                    dropped.bottom - dropped.top != height)
                    SetWindowPos(h, nullptr, b.left, b.top, b.right - b.left, height,
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
                return true;
            }
            default: return false;
        }
    }
    if (auto* chk = dynamic_cast<CheckBox*>(&c)) {
        if (what != Prop::Selection) return false;
        SendMessageA(h, BM_SETCHECK, chk->checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        return true;
    }
    return false;
}

bool choiceCommand(HWND from, UINT code) {
    Control* c = controlOf(from);
    if (auto* cb = dynamic_cast<ComboBox*>(c)) {
        if (code != CBN_SELCHANGE) return false;
        int i = static_cast<int>(SendMessageA(from, CB_GETCURSEL, 0, 0));
        showingErrors([&] { cb->select(i); });
        pokeModalLoop(*cb);
        return true;
    }
    if (auto* chk = dynamic_cast<CheckBox*>(c)) {
        if (code != BN_CLICKED) return false;
        showingErrors([&] { chk->click(); });
        pokeModalLoop(*chk);
        return true;
    }
    return false;
}

}  // namespace kv::win32::detail
