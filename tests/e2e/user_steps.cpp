// The user's recurring steps in the end-to-end tests.
#include "tests/e2e/user_steps.h"

namespace kv::e2e {

namespace {

bool waitMenuWindow(HWND* menu, DWORD ms) {
    return waitUntil([&] { return (*menu = popupMenuWindow()) != nullptr; }, ms);
}

void waitMenuGone() {
    waitUntil([] { return popupMenuWindow() == nullptr; }, 5000);
}

}  // namespace

void clickGrid(HWND grid, int x, int row) {
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, gridPoint(x, row));
    SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(x, row));
}

void dragGrid(HWND grid, std::initializer_list<std::pair<int, int>> points) {
    const auto* p = points.begin();
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, gridPoint(p->first, p->second));
    for (++p; p != points.end(); ++p) SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, gridPoint(p->first, p->second));
    const auto& last = *(points.end() - 1);
    SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(last.first, last.second));
}

bool chooseMenuItem(int downs, DWORD ms, const std::function<void(HWND)>& before) {
    HWND menu = nullptr;
    if (!waitMenuWindow(&menu, ms)) return false;
    if (before) before(menu);
    for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0x00500001);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    waitMenuGone();
    Sleep(100);  // the chosen command runs
    return true;
}

bool escapeMenu(DWORD ms, const std::function<void(HWND)>& before) {
    HWND menu = nullptr;
    if (!waitMenuWindow(&menu, ms)) return false;
    if (before) before(menu);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    waitMenuGone();
    return true;
}

std::string answerNextDialog(const std::string& button, std::string* text, DWORD ms) {
    std::string title;
    waitUntil([&] {
        HWND dlg = findNamed("MessageDialog");
        HWND b = dlg ? findNamedIn(dlg, button) : nullptr;
        if (!b) return false;
        title = windowText(dlg);
        if (text) *text = windowText(findNamedIn(dlg, "Message"));
        PostMessageA(b, BM_CLICK, 0, 0);
        return true;
    }, ms);
    return title;
}

std::string quitDiscarding(HWND editor, DWORD ms) {
    PostMessageA(findNamedIn(editor, "BtnQuit"), BM_CLICK, 0, 0);
    return answerDialog("Discard changes?", "Yes", ms);
}

void abandonEditor(HWND editor) {
    for (const char* name : {"XScrlDlg", "InputBox"})
        if (HWND left = findNamed(name)) PostMessageA(left, WM_CLOSE, 0, 0);
    quitDiscarding(editor, 3000);
}

void endedOrAbandoned(HWND editor, DWORD ms) {
    if (!waitUntil([&] { return IsWindow(editor) == FALSE; }, ms)) abandonEditor(editor);
}

bool cancelSaveDialog(DWORD ms) {
    HWND dlg = nullptr;
    if (!waitUntil([&] { return (dlg = findNamed("FileForm")) && windowText(dlg) == "Save File"; }, ms)) return false;
    PostMessageA(findNamedIn(dlg, "BtnExit"), BM_CLICK, 0, 0);
    return true;
}

bool waitClosed(HWND w, DWORD ms) {
    return waitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }, ms);
}

// ---- keys ----

void postKey(HWND h, int vk) {
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    PostMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
}

void typeText(HWND h, const std::string& text) {
    for (char c : text) {
        int vk = VkKeyScanA(c) & 0xFF;
        UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
        SendMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
        SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), static_cast<LPARAM>(1 | (scan << 16)));
        SendMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
    }
}

void sendAltKey(HWND h, char letter) {
    const UINT altScan = MapVirtualKeyA(VK_MENU, 0), scan = MapVirtualKeyA(static_cast<UINT>(letter), 0);
    const LPARAM ctx = 1 << 29;  // Alt is down
    SendMessageA(h, WM_SYSKEYDOWN, VK_MENU, static_cast<LPARAM>(1 | (altScan << 16)) | ctx);
    SendMessageA(h, WM_SYSKEYDOWN, static_cast<WPARAM>(letter), static_cast<LPARAM>(1 | (scan << 16)) | ctx);
    SendMessageA(h, WM_SYSCHAR, static_cast<WPARAM>(letter - 'A' + 'a'), static_cast<LPARAM>(1 | (scan << 16)) | ctx);
    SendMessageA(h, WM_SYSKEYUP, static_cast<WPARAM>(letter), static_cast<LPARAM>(0xC0000001u | (scan << 16)) | ctx);
    SendMessageA(h, WM_KEYUP, VK_MENU, static_cast<LPARAM>(0xC0000001u | (altScan << 16)));
}

// ---- the value-entry dialog ----

ValueDialogWindows waitValueDialog(DWORD ms) {
    ValueDialogWindows d;
    d.form = waitNamed("XScrlDlg", ms);
    if (!d.form) return d;
    d.box = findNamedIn(d.form, "CustomSetting");
    d.bar = findNamedIn(d.form, "CustomScrollBar");
    d.ok = findNamedIn(d.form, "BtnOK");
    d.cancel = findNamedIn(d.form, "BtnCancel");
    d.group = findNamedIn(d.form, "GroupOptions");
    d.labelMin = findNamedIn(d.form, "LabelMin");
    d.labelMax = findNamedIn(d.form, "LabelMax");
    // The box has the keyboard focus once the dialog is active.
    waitUntil([&] {
        GUITHREADINFO gi{sizeof gi};
        DWORD tid = GetWindowThreadProcessId(d.form, nullptr);
        return GetGUIThreadInfo(tid, &gi) && gi.hwndFocus == d.box;
    }, 3000);
    return d;
}

std::string inValueDialog(HWND grid, const std::function<void(ValueDialogWindows&)>& act) {
    ValueDialogWindows d = waitValueDialog();
    if (!d) return "<no dialog>";
    act(d);
    waitClosed(d.form);
    return gridText(grid);
}

void typeAndPress(const ValueDialogWindows& d, const std::string& text, int vk) {
    typeText(d.box, text);
    sendKey(d.box, vk);
}

}  // namespace kv::e2e
