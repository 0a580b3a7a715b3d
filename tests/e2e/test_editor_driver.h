// Driving the slide editor as a user does while EditorWin95 runs modally on the test's main
// thread: a second thread finds the windows by their automation names and sends them the
// messages that clicks and keys produce.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/kit/kit_script.h"

namespace kv::e2e {

// Automation name of a window (the KvName property), or "".
std::string kvName(HWND h);
std::string windowText(HWND h);
// A window of this process with this automation name (top-level windows and their children;
// visible ones only when `visibleOnly`), or null.
HWND findNamed(const std::string& name, bool visibleOnly = true);
HWND findNamedIn(HWND root, const std::string& name);
// Waits up to `ms` for findNamed to find the window.
HWND waitNamed(const std::string& name, DWORD ms = 15000);
// Visible top-level windows of this process.
std::vector<HWND> topWindows();
// The visible popup menu window of this process, or null.
HWND popupMenuWindow();
// The window that has the keyboard focus in the thread of window `h`, or null.
HWND focusedWindowOf(HWND h);
// Polls `done` every 20 ms up to `ms`; returns its last answer.
bool waitUntil(const std::function<bool()>& done, DWORD ms = 15000);

// Keys as the keyboard sends them to the focused window: modifiers down, the key, modifiers up.
void sendKey(HWND h, int vk, bool ctrl = false, bool shift = false);
void sendChar(HWND h, char c);
// Keys as the keyboard itself makes them (SendInput): they reach the focused window of the
// foreground thread through its message queue and change the key state the program reads,
// as a person's typing does. Keys still held when the object goes are let go.
class RealKeyboard {
public:
    RealKeyboard() = default;
    RealKeyboard(const RealKeyboard&) = delete;
    RealKeyboard& operator=(const RealKeyboard&) = delete;
    ~RealKeyboard();
    void down(int vk);
    void up(int vk);
    void press(int vk) { down(vk); up(vk); }

private:
    std::vector<int> held_;
};
// The mouse as a person moves it (SendInput): the pointer goes to a point of a window's
// client area, the buttons go down and up there, and the program sees the messages, the
// capture and the key state a real mouse gives. A button still held when the object goes is
// let go.
class RealMouse {
public:
    RealMouse() = default;
    RealMouse(const RealMouse&) = delete;
    RealMouse& operator=(const RealMouse&) = delete;
    ~RealMouse();
    // Moves the pointer to (x, y) of the client area of `window` (points outside it too).
    void moveTo(HWND window, int x, int y);
    void down(bool right = false);
    void up(bool right = false);
    void click(HWND window, int x, int y, bool right = false) {
        moveTo(window, x, y);
        down(right);
        up(right);
    }

private:
    bool leftHeld_ = false, rightHeld_ = false;
};
void click(HWND button);
// The middle of cell (col, row) of the slide table, in the grid's client coordinates: the
// widths the editor gives the columns at its first activation (in proportion to the window's
// width, the file name taking what is left), one pixel of grid line after each; rows 19
// pixels high.
LPARAM cellPoint(HWND form, HWND grid, int col, int row);
// A click on row i of a list box, with the keys held in `keys` (MK_CONTROL adds the row to the
// selection, MK_SHIFT extends it to the row).
void clickListRow(HWND list, int i, WPARAM keys = 0);
// Text of the grid's current cell (WM_GETTEXT).
std::string gridText(HWND grid);

// Runs a body on a second thread; join() waits for it.
class Driver {
public:
    explicit Driver(std::function<void()> body);
    ~Driver();
    void join();

private:
    static DWORD WINAPI run(LPVOID self);
    std::function<void()> body_;
    HANDLE thread_ = nullptr;
};

// Calls the EditorWin95 export on this thread.
int32_t editorWin95();

// The editor's window once it has finished loading the script named by AVLFIL: the grid
// shows something other than the blank start row and the progress gauge is hidden again.
HWND waitEditorLoaded(DWORD ms = 20000);
// Waits for the explorer dialog with this caption, types the name and presses its OK button.
bool answerExplorer(const std::string& caption, const std::string& name, DWORD ms = 15000);
// Answers the next message dialog whose text is `text` with the button of this name; returns
// the dialog's title ("" when none came).
std::string answerDialog(const std::string& text, const std::string& button, DWORD ms = 10000);

// Scripts and pictures made for the tests (tests/e2e/kit/kit_script.h).
using kv::kit::TestScript;
using kv::kit::writeTestBitmap;
using kv::kit::writeTestScript;

}  // namespace kv::e2e
