// Steps a user takes again and again while a test drives the library's windows from the
// driver thread: answering a popup menu, closing the editor, backing out of the save dialog.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "tests/e2e/test_editor_driver.h"

namespace kv::e2e {

// A client point of the slide table: x in pixels, the middle of table row `row` (0 = header).
inline LPARAM gridPoint(int x, int row) { return MAKELPARAM(x, row * 19 + 9); }
// A left click (sent) at that point.
void clickGrid(HWND grid, int x, int row);
// A drag with the left button through the given points (x, row): pressed at the first, moved
// through the others, let go at the last.
void dragGrid(HWND grid, std::initializer_list<std::pair<int, int>> points);

// Waits for the popup menu, moves `downs` items down with the keyboard and presses Enter;
// returns whether the menu came (and then waits for it to close and its command to run).
// `before`, when given, sees the open menu's window first.
bool chooseMenuItem(int downs, DWORD ms = 5000, const std::function<void(HWND)>& before = {});
// Waits for the popup menu and closes it with Esc; returns whether it came. `before`, when
// given, sees the open menu's window first.
bool escapeMenu(DWORD ms = 5000, const std::function<void(HWND)>& before = {});
// Answers the next message dialog, whatever it says, with the button of this name; returns its
// title ("" when none came) and its text in `text` when given.
std::string answerNextDialog(const std::string& button, std::string* text = nullptr, DWORD ms = 10000);
// Clicks the editor's Close button (posted) and answers "Discard changes?" with Yes when it
// is asked within `ms`; returns the question's title ("" when none came).
std::string quitDiscarding(HWND editor, DWORD ms = 10000);
// Ends the editor when a step did not come as expected, so the test fails instead of waiting:
// a value dialog or input box left open is closed, then Close, discarding the changes.
void abandonEditor(HWND editor);
// After the step that should end the editor (Run, Update): when it is still open after `ms`,
// a key or click was missed; it is abandoned so that the test ends with its failures rather
// than waiting for ever.
void endedOrAbandoned(HWND editor, DWORD ms = 10000);
// Waits for the explorer's "Save File" dialog and clicks its Exit button; false when none came.
bool cancelSaveDialog(DWORD ms = 10000);

// Waits until the window is gone or hidden; false when it is still shown after `ms`.
bool waitClosed(HWND w, DWORD ms = 10000);

// Keys as the keyboard gives them. A key that opens a modal window is posted, key down and
// key up (a sent one would wait for the window to close; the message loop's translation makes
// the character); typed text is sent a character at a time (key down, character, key up);
// Alt and a letter go to the focused window as the keyboard sends them.
void postKey(HWND h, int vk);
void typeText(HWND h, const std::string& text);
void sendAltKey(HWND h, char letter);

// The value-entry dialog's windows, found by their names once the dialog is up.
struct ValueDialogWindows {
    HWND form = nullptr, box = nullptr, bar = nullptr, ok = nullptr, cancel = nullptr, group = nullptr,
         labelMin = nullptr, labelMax = nullptr;
    explicit operator bool() const { return form && box && bar && ok && cancel; }
};
// Waits for the value-entry dialog and for its box to have the keyboard focus.
ValueDialogWindows waitValueDialog(DWORD ms = 10000);
// Waits for the value-entry dialog, lets `act` answer it, waits until it has closed and returns
// the text of the table's current cell ("<no dialog>" when none came).
std::string inValueDialog(HWND grid, const std::function<void(ValueDialogWindows&)>& act);
// Types `text` into the dialog's box, then the key (Enter or Esc) there.
void typeAndPress(const ValueDialogWindows& d, const std::string& text, int vk);

}  // namespace kv::e2e
