// Keys: the modifiers of keys sent without the keyboard, a form's accelerators (Alt+letter),
// Esc, Enter and Tab, handled alike by every window of a form.
#include "framework/win32/win32_backend.h"

#include <functional>

#include "framework/text.h"

namespace kv::win32::detail {

// ---- modifier keys -----------------------------------------------------------------------

namespace {

// The modifiers of keys pressed on the keyboard are read from the thread's key state when a
// key arrives (keyShift). Only a modifier whose key-down message did not come from the
// keyboard (sent or posted by an automation tool or a test) is remembered here until its
// key-up. A modal loop that takes key messages (a popup menu, moving the window) may take
// that key-up, so the record is dropped when such a loop ends and when the focus moves.
unsigned g_sentModifiers = 0;

}  // namespace

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

// ---- accelerators, Esc, Enter, Tab ------------------------------------------------------

namespace {

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

}  // namespace

// A click on a button as the user makes it: the object's click, then the modal loop looks.
void clickButton(Button& b) {
    showingErrors([&] { b.click(); });
    pokeModalLoop(b);
}

namespace {

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

bool handleKeyDown(Control& c, HWND hwnd, WPARAM wp) {
    int key = static_cast<int>(wp);
    unsigned shift = keyShift();
    showingErrors([&] { c.keyDown(key, shift); });
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
            showingErrors([&] { used = f->dialogKey(VK_RETURN); });
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
    showingErrors([&] { c.keyPress(ch); });
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
        showingErrors([&] { k->click(); });
        pokeModalLoop(*k);
        return true;
    }
    if (radioAccelerator(*f, up)) return true;
    // A tab's letter chooses its page, as a click on the tab does (a visible button with the
    // same letter comes first).
    int page = 0;
    if (Notebook* nb = findNotebookTab(*f, up, &page)) {
        showingErrors([&] { nb->setPageIndex(page); });
        pokeModalLoop(*nb);
        return true;
    }
    // A label's letter moves the focus to the label's control.
    bool focused = false;
    showingErrors([&] { focused = f->labelKey(up); });
    return focused;
}


}  // namespace kv::win32::detail
