// The slide editor through the real DLL: EditorWin95 runs modally on the test's thread while a
// second thread acts as the user, with clicks and keys sent to the windows found by name.
#include <gtest/gtest.h>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

const char* const kCaptionNew = "Kavrin Slide Editor [*New*]";

// A visible top-level window that plays the host's main window.
class HostWindow {
public:
    HostWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvTestHost";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "KvTestHost", "Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

using Editor = EditorFixture;

TEST_F(Editor, OpensBlankDisablesTheHostAndClosesWithEscape) {
    HostWindow host;
    bool hostDisabled = false, saveOff = false, runOff = false, hostBack = false;
    std::string caption, cell, path;
    Driver user([&] {
        HWND form = waitNamed("EditorForm");
        if (!form) return;
        waitUntil([&] { return windowText(form) == kCaptionNew; }, 3000);
        caption = windowText(form);
        hostDisabled = !IsWindowEnabled(host.hwnd);
        saveOff = !IsWindowEnabled(findNamedIn(form, "BtnSave"));
        runOff = !IsWindowEnabled(findNamedIn(form, "BtnTest"));
        HWND grid = findNamedIn(form, "Grid");
        cell = gridText(grid);
        path = windowText(findNamedIn(form, "Fullname"));
        sendKey(grid, VK_ESCAPE);
    });
    int32_t r = editorWin95();
    hostBack = IsWindowEnabled(host.hwnd) != FALSE;
    user.join();
    EXPECT_EQ(r, 0);
    EXPECT_EQ(caption, kCaptionNew);
    EXPECT_TRUE(hostDisabled) << "the host's window takes input while the editor is open";
    EXPECT_TRUE(hostBack);
    EXPECT_TRUE(saveOff);
    EXPECT_TRUE(runOff);
    EXPECT_EQ(cell, "<right-click me>");
    EXPECT_EQ(findNamed("EditorForm", false), nullptr) << "the window outlived the call";
}

TEST_F(Editor, CloseButtonEndsWithZero) {
    Driver user([&] {
        if (HWND form = waitNamed("EditorForm")) click(findNamedIn(form, "BtnQuit"));
    });
    EXPECT_EQ(editorWin95(), 0);
}

TEST_F(Editor, RunWritesTheScriptAsVersionSevenAndReturnsMinusOne) {
    TestScript s = openOn(12, true);
    std::string caption;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        caption = windowText(form);
        click(findNamedIn(form, "BtnTest"));
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(r, -1);
    EXPECT_EQ(caption, "Kavrin Slide Editor [Holiday show.avl]");
    std::string tmp = folder.file("temp show.avl");
    ASSERT_TRUE(kit::fileExists(tmp));
    EXPECT_EQ(profile(tmp, "Header", "Ver"), "7");
    EXPECT_EQ(profile(tmp, "Header", "N"), "13");
    EXPECT_EQ(profile(tmp, "Directory", "0"), appDir + "\\");
    EXPECT_EQ(profile(tmp, "1", "X"), "3");
    EXPECT_EQ(profile(tmp, "1", "W"), "5");
    EXPECT_EQ(profile(tmp, "2", "P"), "Left,Top");
    EXPECT_EQ(profile(tmp, "2", "G"), "78");
    EXPECT_EQ(profile(tmp, "8", "F"), "------------------------------");
    EXPECT_EQ(profile(tmp, "8", "X"), "7");
    EXPECT_EQ(profile(tmp, "12", "X"), "0");  // the 12th slide is the second .bmp graphic
}

TEST_F(Editor, CtrlRRunsAndCtrlShiftRDoesNot) {
    openOn(3, true);
    std::string afterShift;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        sendKey(grid, 'R', true, true);  // not a shortcut: Ctrl must be the only modifier
        Sleep(200);
        afterShift = findNamed("EditorForm") ? "open" : "closed";
        sendKey(grid, 'R', true);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(afterShift, "open");
    EXPECT_EQ(r, -1);
    EXPECT_EQ(profile(folder.file("temp show.avl"), "Header", "N"), "4");
}

TEST_F(Editor, CloseWhileModifiedAsksAndYesDiscards) {
    openOn(4, false);  // no AVLNOW: the loaded script counts as new and modified
    std::string caption, title;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        caption = windowText(form);
        sendKey(findNamedIn(form, "Grid"), VK_ESCAPE);
        title = answerDialog("Discard changes?", "Yes");
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(caption, kCaptionNew);
    EXPECT_EQ(title, "Confirm");
    EXPECT_EQ(r, 0);
}

TEST_F(Editor, NoToDiscardLeadsToSaveAsAndACancelledSaveKeepsTheWindow) {
    openOn(4, false);
    std::string title, stillOpen, secondTitle;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        click(findNamedIn(form, "BtnQuit"));
        title = answerDialog("Discard changes?", "No");
        // Save As asks the explorer dialog for a name; cancel it when it shows.
        HWND dlg = nullptr;
        waitUntil([&] { return (dlg = findNamed("FileForm")) && windowText(dlg) == "Save File"; }, 10000);
        if (dlg) PostMessageA(findNamedIn(dlg, "BtnExit"), BM_CLICK, 0, 0);
        waitUntil([&] { return IsWindowEnabled(form) != FALSE; }, 5000);
        Sleep(300);
        stillOpen = (findNamed("EditorForm") == form && IsWindowEnabled(form)) ? "open" : "closed";
        click(findNamedIn(form, "BtnQuit"));
        secondTitle = answerDialog("Discard changes?", "Yes");
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(title, "Confirm");
    EXPECT_EQ(stillOpen, "open");
    EXPECT_EQ(secondTitle, "Confirm");
    EXPECT_EQ(r, 0);
}

TEST_F(Editor, GridMovesWithTheKeysAndAnswersWithTheCurrentCell) {
    TestScript s = openOn(60, true);
    std::vector<std::string> seen;
    std::string panel3, panelLast;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        HWND fullname = findNamedIn(form, "Fullname");
        seen.push_back(gridText(grid));           // slide 1, file name column
        sendKey(grid, VK_DOWN);
        sendKey(grid, VK_DOWN);
        seen.push_back(gridText(grid));           // slide 3
        panel3 = windowText(fullname);
        sendKey(grid, VK_END, true);
        seen.push_back(gridText(grid));           // last slide
        panelLast = windowText(fullname);
        sendKey(grid, VK_PRIOR);
        sendKey(grid, VK_HOME, true);
        seen.push_back(gridText(grid));           // slide 1 again
        sendKey(grid, VK_RIGHT);
        seen.push_back(gridText(grid));           // slide 1, colour column
        sendKey(grid, VK_RIGHT);
        seen.push_back(gridText(grid));           // effect column
        sendKey(grid, VK_ESCAPE);
    });
    editorWin95();
    user.join();
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], s.displayNames[0]);
    EXPECT_EQ(seen[1], s.displayNames[2]);
    EXPECT_EQ(seen[2], s.displayNames[59]);
    EXPECT_EQ(seen[3], s.displayNames[0]);
    EXPECT_EQ(seen[4], "Yes");
    EXPECT_EQ(seen[5], "Wipe Rt");
    EXPECT_NE(panel3.find("[3 of 60]"), std::string::npos) << panel3;
    EXPECT_NE(panelLast.find("[60 of 60]"), std::string::npos) << panelLast;
}

}  // namespace

namespace {

TEST_F(Editor, FileMenuOpensAtTheButtonAndItsRunItemRuns) {
    openOn(5, true);
    bool menuShown = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        PostMessageA(findNamedIn(form, "BtnFileMenu"), BM_CLICK, 0, 0);
        HWND menu = nullptr;
        menuShown = waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
        if (!menuShown) return;
        // The menu takes the keyboard while it is open: "R" chooses "&Run".
        PostMessageA(menu, WM_KEYDOWN, 'R', 0x00130001);
        PostMessageA(menu, WM_CHAR, 'r', 0x00130001);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(r, -1);
}

TEST_F(Editor, EscapeInTheFileMenuClosesOnlyTheMenu) {
    openOn(5, true);
    bool menuShown = false, menuGone = false, editorStayed = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        PostMessageA(findNamedIn(form, "BtnFileMenu"), BM_CLICK, 0, 0);
        HWND menu = nullptr;
        menuShown = waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
        if (menuShown) {
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            menuGone = waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        Sleep(200);
        editorStayed = findNamed("EditorForm") == form;
        click(findNamedIn(form, "BtnQuit"));
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(menuGone);
    EXPECT_TRUE(editorStayed);
    EXPECT_EQ(r, 0);
}

}  // namespace

namespace {

// Client point inside the slide table: x in pixels, the middle of table row `row` (0 = header).
LPARAM gridPoint(int x, int row) { return MAKELPARAM(x, row * 19 + 9); }
// A left click at that point.
void clickGrid(HWND grid, int x, int row) {
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, gridPoint(x, row));
    SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(x, row));
}

TEST_F(Editor, MouseSelectsACellDoubleClickOpensTheEditMenuAndARowIsDraggedByItsNumber) {
    TestScript s = openOn(8, true);
    std::string clicked, afterDrag, menuSeen;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        // A click in the file name column of slide 3.
        clickGrid(grid, 100, 3);
        clicked = gridText(grid);
        // A double click there opens the slide menu; Esc closes it.
        PostMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, gridPoint(100, 3));
        HWND menu = nullptr;
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            menuSeen = "menu";
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(100, 3));
        // Slide 2 dragged by its number cell to the place of slide 5.
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, gridPoint(10, 2));
        SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, gridPoint(10, 4));
        SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, gridPoint(10, 5));
        SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(10, 5));
        clickGrid(grid, 100, 5);
        afterDrag = gridText(grid);
        // The move changed the script: closing asks; Yes discards.
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes", 3000);
    });
    editorWin95();
    user.join();
    EXPECT_EQ(clicked, s.displayNames[2]);
    EXPECT_EQ(menuSeen, "menu");
    EXPECT_EQ(afterDrag, s.displayNames[1]);
}

}  // namespace

namespace {

TEST_F(Editor, SpaceAndTheMenuKeyOpenTheSlideMenuAndTheTableScrollsByPages) {
    openOn(120, true);
    bool bySpace = false, byMenuKey = false;
    int top0 = -1, topPage = -1, topEnd = -1, page = 0;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        auto closeMenu = [&] {
            HWND menu = nullptr;
            bool seen = waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
            if (seen) {
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
            }
            return seen;
        };
        PostMessageA(grid, WM_CHAR, ' ', 0x00390001);
        bySpace = closeMenu();
        PostMessageA(grid, WM_KEYDOWN, VK_APPS, 0x015D0001);
        byMenuKey = closeMenu();

        SCROLLINFO si{sizeof si, SIF_ALL};
        GetScrollInfo(grid, SB_VERT, &si);
        top0 = si.nPos;
        page = static_cast<int>(si.nPage);
        SendMessageA(grid, WM_VSCROLL, SB_PAGEDOWN, 0);
        GetScrollInfo(grid, SB_VERT, &si);
        topPage = si.nPos;
        SendMessageA(grid, WM_VSCROLL, SB_BOTTOM, 0);
        GetScrollInfo(grid, SB_VERT, &si);
        topEnd = si.nPos + static_cast<int>(si.nPage) - 1;  // last row that shows whole
        // Opening a cell's editor counts as a change: closing asks.
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_TRUE(bySpace);
    EXPECT_TRUE(byMenuKey);
    EXPECT_EQ(top0, 1);
    EXPECT_GT(page, 5);
    EXPECT_EQ(topPage, 1 + page);
    EXPECT_EQ(topEnd, 120);
}

}  // namespace

namespace {

TEST_F(Editor, AScriptWithoutSlidesIsReportedInTheErrorDialogAndTheBlankTableStays) {
    std::string bad = folder.writeFile("Empty show.avl", "[Header]\r\nVer=7\r\nN=0\r\n");
    kit::writeKey("AVLFIL", bad);
    kit::writeKey("AVLNOW", bad);
    std::string title, cell, buttons;
    Driver user([&] {
        HWND dlg = waitNamed("MessageDialog");
        if (!dlg) return;
        title = windowText(dlg);
        for (const char* b : {"OK", "Cancel", "Yes", "No"})
            if (findNamedIn(dlg, b)) buttons += std::string(b) + " ";
        // Enter on the button answers with it.
        PostMessageA(findNamedIn(dlg, "OK"), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        HWND form = waitNamed("EditorForm");
        if (!form) return;
        waitUntil([&] { return findNamed("MessageDialog") == nullptr; }, 5000);
        HWND grid = findNamedIn(form, "Grid");
        cell = gridText(grid);
        sendKey(grid, VK_ESCAPE);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(buttons, "OK ");
    EXPECT_EQ(cell, "<right-click me>");
    EXPECT_EQ(r, 0);
}

TEST_F(Editor, EscapeOnTheDiscardQuestionAnswersNo) {
    openOn(3, false);
    std::string stillOpen;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        HWND dlg = waitNamed("MessageDialog");
        if (!dlg) return;
        SendMessageA(findNamedIn(dlg, "Yes"), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        // No leads to Save As, which is cancelled: the editor stays.
        HWND save = nullptr;
        waitUntil([&] { return (save = findNamed("FileForm")) && windowText(save) == "Save File"; }, 10000);
        if (save) PostMessageA(findNamedIn(save, "BtnExit"), BM_CLICK, 0, 0);
        waitUntil([&] { return IsWindowEnabled(form) != FALSE && !findNamed("MessageDialog"); }, 5000);
        stillOpen = findNamed("EditorForm") == form ? "open" : "closed";
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(stillOpen, "open");
    EXPECT_EQ(r, 0);
}

}  // namespace

namespace {

TEST_F(Editor, DraggingAHeaderLineSizesTheColumn) {
    TestScript s = openOn(5, true);
    std::string before, after;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        // Before: 200 pixels in is a column right of the file name.
        clickGrid(grid, 200, 3);
        before = gridText(grid);
        // The line right of the number column (34 pixels wide at this window width) dragged
        // 100 pixels to the right: every column after it moves along.
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, gridPoint(34, 0));
        SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, gridPoint(84, 0));
        SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, gridPoint(134, 0));
        SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(134, 0));
        clickGrid(grid, 200, 3);
        after = gridText(grid);
        sendKey(grid, VK_ESCAPE);
    });
    editorWin95();
    user.join();
    EXPECT_NE(before, s.displayNames[2]);
    EXPECT_EQ(after, s.displayNames[2]);
}

}  // namespace

TEST_F(Editor, SaveAsWritesUnderTheLongNameTypedInTheExplorerAndOpenLoadsItBack) {
    openOn(5, true);
    kit::writeKey("SavePath", kit::shortPath(slides) + "\\");
    kit::writeKey("LastDir", kit::shortPath(slides) + "\\");
    bool saved = false, opened = false;
    std::string afterSave, afterOpen;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        PostMessageA(findNamedIn(form, "BtnSave"), BM_CLICK, 0, 0);
        saved = answerExplorer("Save File", "My long holiday show");
        waitUntil([&] { return IsWindowEnabled(form) && windowText(form).find("My long") != std::string::npos; }, 15000);
        afterSave = windowText(form);
        PostMessageA(findNamedIn(form, "BtnLoad"), BM_CLICK, 0, 0);
        answerDialog("Discard script?", "Yes");
        opened = answerExplorer("Open Slideshow", "My long holiday show.avl");
        waitUntil([&] { return IsWindowEnabled(form) && waitEditorLoaded(1000); }, 15000);
        Sleep(200);
        afterOpen = windowText(form);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(opened);
    EXPECT_EQ(r, 0);
    const std::string file = slides + "\\My long holiday show.AVL";
    ASSERT_TRUE(kit::fileExists(file));
    EXPECT_EQ(profile(file, "Header", "Ver"), "7");
    EXPECT_EQ(profile(file, "Header", "N"), "6");
    EXPECT_EQ(afterSave, "Kavrin Slide Editor [My long holiday show.AVL]");
    EXPECT_EQ(afterOpen, "Kavrin Slide Editor [My long holiday show.AVL]");
    EXPECT_EQ(kit::readKey("LongName"), "My long holiday show.avl");  // as typed in the open dialog
}
