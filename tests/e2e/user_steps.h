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

}  // namespace kv::e2e
