// The slide editor through the real DLL: EditorWin95 runs modally on the test's thread while a
// second thread acts as the user, with clicks and keys sent to the windows found by name.
#include <gtest/gtest.h>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

const char* const kCaptionNew = "Kavrin Slide Editor [*New*]";

using Editor = EditorFixture;

TEST_F(Editor, OpensBlankDisablesTheHostAndClosesWithEscapeOrTheCloseButton) {
    kit::HostWindow host({}, true);
    bool hostDisabled = false, saveOff = false, runOff = false, hostBack = false;
    std::string caption, cell, path, tip;
    RECT shown{}, settled{};
    Driver user([&] {
        HWND form = waitNamed("EditorForm");
        if (!form) return;
        GetWindowRect(form, &shown);  // as it first shows
        waitUntil([&] { return windowText(form) == kCaptionNew; }, 3000);
        caption = windowText(form);
        GetWindowRect(form, &settled);
        hostDisabled = !IsWindowEnabled(host.hwnd());
        saveOff = !IsWindowEnabled(findNamedIn(form, "BtnSave"));
        runOff = !IsWindowEnabled(findNamedIn(form, "BtnTest"));
        HWND grid = findNamedIn(form, "Grid");
        cell = gridText(grid);
        path = windowText(findNamedIn(form, "Fullname"));
        // The pointer resting on a picture button shows its hint.
        RealMouse mouse;
        mouse.moveTo(findNamedIn(form, "BtnLoad"), 10, 10);
        mouse.moveTo(findNamedIn(form, "BtnLoad"), 12, 12);
        waitUntil([&] {
            for (HWND w : topWindows()) {
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (lstrcmpiA(cls, "tooltips_class32") == 0) tip = windowText(w);
            }
            return !tip.empty();
        }, 5000);
        sendKey(grid, VK_ESCAPE);
    });
    int32_t r = editorWin95();
    hostBack = IsWindowEnabled(host.hwnd()) != FALSE;
    user.join();
    EXPECT_EQ(r, 0);
    EXPECT_EQ(caption, kCaptionNew);
    // It shows at its full height and place at once, not at its design size first.
    EXPECT_TRUE(EqualRect(&shown, &settled) && settled.bottom - settled.top > 480)
        << "shown at " << shown.top << ".." << shown.bottom << ", settled at " << settled.top << ".." << settled.bottom;
    EXPECT_TRUE(hostDisabled) << "the host's window takes input while the editor is open";
    EXPECT_TRUE(hostBack);
    EXPECT_TRUE(saveOff);
    EXPECT_TRUE(runOff);
    EXPECT_EQ(cell, "<right-click me>");
    EXPECT_EQ(path, "Slide Pathname: <blank>");
    EXPECT_EQ(tip, "Open (load)");
    EXPECT_EQ(findNamed("EditorForm", false), nullptr) << "the window outlived the call";
    // The Close button ends it with 0 too.
    Driver closer([&] {
        if (HWND form = waitNamed("EditorForm")) click(findNamedIn(form, "BtnQuit"));
    });
    EXPECT_EQ(editorWin95(), 0);
    closer.join();
}

// Ctrl+R runs (the Run button does too, in the attribute tests): the script is written as
// version 7 and the export returns -1. Ctrl+Shift+R is no shortcut.
TEST_F(Editor, CtrlRRunsAndWritesTheScriptAsVersionSevenAndCtrlShiftRDoesNot) {
    TestScript s = openOn(12, true);
    std::string caption, afterShift;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        caption = windowText(form);
        sendKey(grid, 'R', true, true);  // not a shortcut: Ctrl must be the only modifier
        Sleep(200);
        afterShift = findNamed("EditorForm") ? "open" : "closed";
        sendKey(grid, 'R', true);
    });
    EXPECT_EQ(afterShift, "open");
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

// Closing a modified script asks "Discard changes?": Esc on the question and No lead to Save As,
// whose cancel keeps the editor open; Yes discards.
TEST_F(Editor, CloseWhileModifiedAsks_EscAndNoLeadToSaveAs_YesDiscards) {
    openOn(4, false);  // no AVLNOW: the loaded script counts as new and modified
    std::string caption, escTitle, noTitle, yesTitle, openAfterEsc, openAfterNo;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        caption = windowText(form);
        // Back from the cancelled Save As: the editor is still there and takes input.
        auto stillOpen = [&] {
            cancelSaveDialog();
            waitUntil([&] { return IsWindowEnabled(form) != FALSE && !findNamed("MessageDialog"); }, 5000);
            Sleep(300);
            return (findNamed("EditorForm") == form && IsWindowEnabled(form)) ? "open" : "closed";
        };
        sendKey(grid, VK_ESCAPE);
        HWND dlg = waitNamed("MessageDialog");
        if (!dlg) return;
        escTitle = windowText(dlg);
        SendMessageA(findNamedIn(dlg, "Yes"), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        openAfterEsc = stillOpen();
        click(findNamedIn(form, "BtnQuit"));
        noTitle = answerDialog("Discard changes?", "No");
        openAfterNo = stillOpen();
        yesTitle = quitDiscarding(form);
    });
    EXPECT_EQ(caption, kCaptionNew);
    EXPECT_EQ(escTitle, "Confirm");
    EXPECT_EQ(openAfterEsc, "open");
    EXPECT_EQ(noTitle, "Confirm");
    EXPECT_EQ(openAfterNo, "open");
    EXPECT_EQ(yesTitle, "Confirm");
    EXPECT_EQ(r, 0);
}

// The keys move the table's current cell, which the table answers WM_GETTEXT with and the path
// panel follows; Space and the menu key open the slide menu; the table scrolls by pages.
TEST_F(Editor, GridMovesWithTheKeysAndAnswersWithTheCurrentCell_MenusAndPages) {
    TestScript s = openOn(120, true);
    std::vector<std::string> seen;
    std::string panel3, panelLast;
    bool bySpace = false, byMenuKey = false;
    int top0 = -1, topPage = -1, topEnd = -1, page = 0;
    runEditor([&](HWND form, HWND grid) {
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
        sendKey(grid, VK_LEFT);
        sendKey(grid, VK_LEFT);

        PostMessageA(grid, WM_CHAR, ' ', 0x00390001);
        bySpace = escapeMenu();
        PostMessageA(grid, WM_KEYDOWN, VK_APPS, 0x015D0001);
        byMenuKey = escapeMenu();
        // The table's own bar: a click in its track below the thumb pages down.
        HWND bar = findNamedIn(grid, "GridVScroll");
        SCROLLINFO si{sizeof si, SIF_ALL};
        GetScrollInfo(bar, SB_CTL, &si);
        top0 = si.nPos;
        page = static_cast<int>(si.nPage);
        RECT br{};
        GetClientRect(bar, &br);
        {
            RealMouse mouse;
            mouse.click(bar, br.right / 2, br.bottom - br.right - 4);
        }
        waitUntil([&] { return GetScrollInfo(bar, SB_CTL, &si) && si.nPos != top0; }, 3000);
        topPage = si.nPos;
        SendMessageA(grid, WM_VSCROLL, SB_BOTTOM, 0);
        GetScrollInfo(bar, SB_CTL, &si);
        topEnd = si.nPos + static_cast<int>(si.nPage) - 1;  // last row that shows whole
        // Opening a cell's editor counts as a change: closing asks.
        quitDiscarding(form);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{s.displayNames[0], s.displayNames[2], s.displayNames[119],
                                              s.displayNames[0], "Yes", "Wipe Rt"}));
    EXPECT_NE(panel3.find("[3 of 120]"), std::string::npos) << panel3;
    EXPECT_NE(panelLast.find("[120 of 120]"), std::string::npos) << panelLast;
    EXPECT_TRUE(bySpace);
    EXPECT_TRUE(byMenuKey);
    EXPECT_EQ(top0, 1);
    EXPECT_GT(page, 5);
    EXPECT_EQ(topPage, 1 + page);
    EXPECT_EQ(topEnd, 120);
}

TEST_F(Editor, EscapeInTheFileMenuClosesOnlyTheMenuAndItsRunItemRuns) {
    openOn(5, true);
    bool menuShown = false, menuGone = false, editorStayed = false, menuAgain = false;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        PostMessageA(findNamedIn(form, "BtnFileMenu"), BM_CLICK, 0, 0);
        menuShown = escapeMenu();
        menuGone = popupMenuWindow() == nullptr;
        Sleep(200);
        editorStayed = findNamed("EditorForm") == form;
        PostMessageA(findNamedIn(form, "BtnFileMenu"), BM_CLICK, 0, 0);
        HWND menu = nullptr;
        menuAgain = waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
        if (!menuAgain) return click(findNamedIn(form, "BtnQuit"));
        // The menu takes the keyboard while it is open: "R" chooses "&Run".
        PostMessageA(menu, WM_KEYDOWN, 'R', 0x00130001);
        PostMessageA(menu, WM_CHAR, 'r', 0x00130001);
    });
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(menuGone);
    EXPECT_TRUE(editorStayed);
    EXPECT_TRUE(menuAgain);
    EXPECT_EQ(r, -1);
}

TEST_F(Editor, MouseSelectsACellDoubleClickOpensTheEditMenuAndARowIsDraggedByItsNumber) {
    TestScript s = openOn(8, true);
    std::string clicked, afterDrag, menuSeen, asked;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        // A click in the file name column of slide 3.
        clickGrid(grid, 100, 3);
        clicked = gridText(grid);
        // A double click there opens the slide menu; Esc closes it.
        PostMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, gridPoint(100, 3));
        menuSeen = escapeMenu() ? "menu" : "";
        SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(100, 3));
        // Slide 2 dragged by its number cell to the place of slide 5.
        dragGrid(grid, {{10, 2}, {10, 4}, {10, 5}});
        clickGrid(grid, 100, 5);
        afterDrag = gridText(grid);
        // The move changed the script: closing asks; Yes discards.
        asked = quitDiscarding(form, 3000);
    });
    EXPECT_EQ(clicked, s.displayNames[2]);
    EXPECT_EQ(menuSeen, "menu");
    EXPECT_EQ(afterDrag, s.displayNames[1]);
    EXPECT_EQ(asked, "Confirm");
    EXPECT_EQ(r, 0);
}

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

}  // namespace

TEST_F(Editor, SaveAsWritesUnderTheLongNameTypedInTheExplorerAndOpenLoadsItBack) {
    openOn(5, true);
    kit::writeKey("SavePath", kit::shortPath(slides) + "\\");
    kit::writeKey("LastDir", kit::shortPath(slides) + "\\");
    bool saved = false, opened = false;
    std::string afterSave, afterOpen;
    int32_t r = runEditor([&](HWND form, HWND grid) {
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
