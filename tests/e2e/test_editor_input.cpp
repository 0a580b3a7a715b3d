// The editor's keyboard and window handling through the real DLL, as a user's input arrives:
// modifier keys let go inside a popup menu, Alt+letter from the slide table, the window moved
// by the user, the keyboard focus when the editor opens, columns wider than the table.
#include <gtest/gtest.h>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

using namespace kv::e2e;

namespace {

class EditorInput : public EditorFixture {};

// Alt key messages as the keyboard queues them for the focused window.
constexpr LPARAM kAltDown = 0x20380001, kAltUp = 0xC0380001;
constexpr LPARAM kAltFDown = 0x20210001, kAltFUp = 0xE0210001;

bool waitMenu(HWND* menu, DWORD ms = 5000) {
    return waitUntil([&] { return (*menu = popupMenuWindow()) != nullptr; }, ms);
}

// Ctrl+L/N/R/S act only with Ctrl as the only modifier. A Ctrl let go while the
// slide menu (opened by Ctrl+Space) is open, where the menu takes the key-up, must not stay
// "down": a plain N afterwards is not Ctrl+N, which would ask "Discard script?" and could
// wipe the table. An Alt let go inside the file menu (opened by Alt+F) must not stay "down"
// either: Ctrl+R afterwards runs the script. Typed on the keyboard itself, as a person does.
TEST_F(EditorInput, CtrlOrAltLetGoInsideAMenuIsNotHeldAfterwards) {
    openOn(3, true);
    bool tableFocused = false, menuShown = false, discardAsked = false, fileMenuShown = false;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        RealKeyboard keys;
        keys.down(VK_CONTROL);  // Ctrl+E: the slide table takes the focus
        keys.press('E');
        keys.up(VK_CONTROL);
        tableFocused = waitUntil([&] { return focusedWindowOf(form) == grid; }, 3000);
        // Opens a menu with `key` and `modifier` held, lets the modifier go inside it, Esc.
        auto letGoInside = [&](int modifier, int key) {
            keys.down(modifier);
            keys.press(key);
            HWND menu = nullptr;
            const bool shown = waitMenu(&menu);
            keys.up(modifier);  // let go inside the menu
            Sleep(100);
            keys.press(VK_ESCAPE);
            waitUntil([] { return popupMenuWindow() == nullptr; }, 3000);
            return shown;
        };
        menuShown = letGoInside(VK_CONTROL, VK_SPACE);  // Ctrl+Space opens the slide menu
        keys.press('N');
        discardAsked = !answerDialog("Discard script?", "No", 1500).empty();
        fileMenuShown = letGoInside(VK_MENU, 'F');
        keys.down(VK_CONTROL);
        keys.press('R');
        keys.up(VK_CONTROL);
        // Opening the slide menu counts as a change: closing asks.
        if (!waitUntil([] { return findNamed("EditorForm") == nullptr; }, 1500)) quitDiscarding(form);
    });
    EXPECT_TRUE(tableFocused);
    EXPECT_TRUE(menuShown);
    EXPECT_FALSE(discardAsked) << "a plain N acted as Ctrl+N";
    EXPECT_TRUE(fileMenuShown);
    EXPECT_EQ(r, -1) << "Ctrl+R was not taken for Ctrl+R";
}

// A Ctrl key-down sent as a window message (by automation) whose key-up the menu took is
// forgotten when the menu closes: a plain R afterwards is not Ctrl+R. A Ctrl+R sent as window
// messages (as automation tools and these tests send keys) still counts as Ctrl+R after a popup
// menu was opened and closed.
TEST_F(EditorInput, SentCtrlWhoseKeyUpTheMenuTookIsForgottenAndSentShortcutsStillWork) {
    openOn(3, true);
    bool menuShown = false, stayed = false;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        SendMessageA(grid, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
        PostMessageA(grid, WM_CHAR, ' ', 0x00390001);
        menuShown = escapeMenu(5000, [](HWND menu) {
            PostMessageA(menu, WM_KEYUP, VK_CONTROL, 0xC01D0001);  // taken by the menu
        });
        sendKey(grid, 'R');
        stayed = !waitUntil([] { return findNamed("EditorForm") == nullptr; }, 1000);
        if (!stayed) return;
        sendKey(grid, 'R', true);
        if (!waitUntil([] { return findNamed("EditorForm") == nullptr; }, 1500)) quitDiscarding(form);
    });
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(stayed) << "a plain R acted as Ctrl+R";
    EXPECT_EQ(r, -1);
}

// Alt+letter reaches the buttons' mnemonics while the slide table has the focus, as from any
// other control: Alt+F opens the file menu. The keyboard popup point is the editor window's
// left edge + 2 x the height of Fullname (24), its top + 3 x that height; after the user moves
// the window, the point follows it.
TEST_F(EditorInput, AltLetterFromTheSlideTableOpensTheFileMenu_TheKeyboardPopupFollowsTheWindow) {
    openOn(3, true);
    RECT moved{}, menuRect{};
    bool fileMenuShown = false, menuShown = false;
    runEditor([&](HWND form, HWND grid) {
        PostMessageA(grid, WM_SYSKEYDOWN, VK_MENU, kAltDown);
        PostMessageA(grid, WM_SYSKEYDOWN, 'F', kAltFDown);
        PostMessageA(grid, WM_SYSCHAR, 'f', kAltFDown);
        fileMenuShown = escapeMenu(3000, [&](HWND) {
            PostMessageA(grid, WM_SYSKEYUP, 'F', kAltFUp);
            PostMessageA(grid, WM_SYSKEYUP, VK_MENU, kAltUp);
        });
        RECT before{};
        GetWindowRect(form, &before);
        // Dragged by its caption: the move loop places the window, not the library.
        SetWindowPos(form, nullptr, 20, before.top + 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(form, &moved);
        PostMessageA(grid, WM_CHAR, ' ', 0x00390001);
        menuShown = escapeMenu(5000, [&](HWND menu) { GetWindowRect(menu, &menuRect); });
        quitDiscarding(form);
    });
    EXPECT_TRUE(fileMenuShown);
    ASSERT_TRUE(menuShown);
    EXPECT_EQ(moved.left, 20);
    EXPECT_EQ(menuRect.left, moved.left + 48);
    EXPECT_EQ(menuRect.top, moved.top + 72);
}

// A person opening the editor works with the keyboard at once: the slide table has the
// focus, so the Down key moves the table's current cell. After a message dialog the focus
// goes back to the control that had it: the slide table answers the keyboard again without a
// click.
TEST_F(EditorInput, TheSlideTableHasTheKeyboardFocusWhenTheEditorOpensAndAfterAMessageDialog) {
    TestScript s = openOn(5, false);  // counts as modified: closing asks
    std::string asked, focusName, cell, focusAfter, cellAfter;
    EXPECT_EQ(runEditor([&](HWND form, HWND grid) {
        // The focused control's name, then Down on the keyboard itself: the cell it reaches.
        auto focusAndDown = [&](std::string& name, std::string& reached) {
            HWND focus = focusedWindowOf(form);
            name = focus ? kvName(focus) : "<none>";
            const std::string before = gridText(grid);
            RealKeyboard keys;
            keys.press(VK_DOWN);
            waitUntil([&] { return gridText(grid) != before; }, 1500);
            reached = gridText(grid);
        };
        focusAndDown(focusName, cell);
        // Close, "Discard changes?" No, the Save As dialog cancelled: the editor stays.
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        asked = answerDialog("Discard changes?", "No");
        cancelSaveDialog();
        waitUntil([&] { return IsWindowEnabled(form) && !findNamed("MessageDialog") &&
                               GetForegroundWindow() == form; }, 5000);
        focusAndDown(focusAfter, cellAfter);
        quitDiscarding(form);
    }), 0);
    EXPECT_EQ(focusName, "Grid");
    EXPECT_EQ(cell, s.displayNames[1]);
    EXPECT_EQ(asked, "Confirm");
    EXPECT_EQ(focusAfter, "Grid");
    EXPECT_EQ(cellAfter, s.displayNames[2]);
}

// Dragging a header line sizes its column: every column after it moves along. Columns made
// wider than the table: a horizontal scroll bar brings the last column (Tag) back within
// reach; the fixed columns stay in place.
TEST_F(EditorInput, DraggingAHeaderLineSizesTheColumn_ColumnsWiderThanTheTableScrollSideways) {
    TestScript s = openOn(5, true);
    bool barAfterWidening = false;
    int posRight = -1, posHome = -1;
    std::string before, after, tagged, afterHome;
    runEditor([&](HWND form, HWND grid) {
        // Before: 200 pixels in is a column right of the file name.
        clickGrid(grid, 200, 3);
        before = gridText(grid);
        // The line right of the number column (34 pixels wide at this window width) dragged
        // 100 pixels to the right.
        dragGrid(grid, {{34, 0}, {84, 0}, {134, 0}});
        clickGrid(grid, 200, 3);
        after = gridText(grid);
        // 200 pixels more: Tag lies far past the edge.
        dragGrid(grid, {{134, 0}, {234, 0}, {334, 0}});
        HWND bar = findNamedIn(grid, "GridHScroll");
        SCROLLINFO si{sizeof si, SIF_ALL};
        barAfterWidening = IsWindowVisible(bar) && GetScrollInfo(bar, SB_CTL, &si) && si.nPage > 0 &&
                           static_cast<int>(si.nPage) < si.nMax - si.nMin + 1;
        // Scrolled to the far right, the Tag column lies at the right edge (left of the
        // vertical bar): a click there and Space tag slide 1.
        SendMessageA(grid, WM_HSCROLL, SB_RIGHT, 0);
        si = SCROLLINFO{sizeof si, SIF_ALL};
        GetScrollInfo(bar, SB_CTL, &si);
        posRight = si.nPos;
        RECT rc{};
        GetClientRect(bar, &rc);
        clickGrid(grid, rc.right - 4, 1);
        // Posted: on another column Space would open that column's menu.
        PostMessageA(grid, WM_CHAR, ' ', 0x00390001);
        HWND menu = nullptr;
        waitUntil([&] { return gridText(grid) == "X" || (menu = popupMenuWindow()) != nullptr; }, 1500);
        if (menu) escapeMenu();
        tagged = gridText(grid);
        // Home goes to the first column that scrolls, and the view follows it back.
        sendKey(grid, VK_HOME);
        afterHome = gridText(grid);
        si = SCROLLINFO{sizeof si, SIF_ALL};
        GetScrollInfo(bar, SB_CTL, &si);
        posHome = si.nPos;
        quitDiscarding(form, 1500);  // asked when another column was opened
    });
    EXPECT_NE(before, s.displayNames[2]);
    EXPECT_EQ(after, s.displayNames[2]);
    EXPECT_TRUE(barAfterWidening) << "no horizontal scroll range";
    EXPECT_GT(posRight, 0);
    EXPECT_EQ(tagged, "X") << "the right edge is not the Tag column";
    EXPECT_EQ(afterHome, s.displayNames[0]);
    EXPECT_EQ(posHome, 0);
}

}  // namespace
