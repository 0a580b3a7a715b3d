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

}  // namespace kv::e2e
