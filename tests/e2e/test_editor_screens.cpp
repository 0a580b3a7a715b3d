// Pictures of the editor for a person to look at: the window on a script of every slide kind,
// and its "Discard changes?" question. Saved as bitmaps under out\screens (or the folder in
// KV_SCREENS); the test script turns them into PNG files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

// Lets the window paint, then saves it.
bool capture(HWND w, const std::string& name) { return kit::captureWindow(w, name, true, 400); }

TEST(EditorScreens, EditorOnAScriptOfEveryKindAndItsQuestion) {
    ASSERT_NE(kit::dll(), nullptr);
    kit::TempFolder folder;
    std::string appDir = folder.path() + "\\App";
    std::string slides = folder.path() + "\\My pictures";
    CreateDirectoryA(appDir.c_str(), nullptr);
    CreateDirectoryA(slides.c_str(), nullptr);
    // Slide 1 has thumbnail index 1 in catalogue SHOW1: the picture the colour panel shows.
    writeTestBitmap(appDir + "\\SHOW11.BMP", 64, 48, RGB(30, 90, 200), RGB(250, 200, 60));
    TestScript s = writeTestScript(slides, appDir, 40, true, "SHOW1");
    kit::writeKey("AVLFIL", s.path);
    kit::writeKey("AVLNOW", "");
    kit::writeKey("AVLTMP", folder.file("temp.avl"));
    kit::writeKey("AppDir", appDir);

    bool editorSaved = false, questionSaved = false, secondSaved = false, menuSaved = false, thumbsShown = false,
         thumbsSaved = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        editorSaved = capture(form, "editor.bmp");

        // Slide 9 (a coloured picture), the effect column.
        for (int i = 0; i < 8; ++i) sendKey(grid, VK_DOWN);
        sendKey(grid, VK_RIGHT);
        sendKey(grid, VK_RIGHT);
        secondSaved = capture(form, "editor-slide9.bmp");

        // The slide menu of the file name column, opened by a double click on slide 2.
        clickGrid(grid, 100, 2);
        PostMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, gridPoint(100, 2));
        escapeMenu(5000, [&](HWND menu) { menuSaved = capture(menu, "editor-slide-menu.bmp"); });
        SendMessageA(grid, WM_LBUTTONUP, 0, gridPoint(100, 2));

        // The thumbnails page of the notebook, chosen by a click on its tab, then back.
        HWND tab = findNamedIn(form, "Tab");
        auto clickTab = [&](int index) {
            RECT tr{};
            SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tr));
            LPARAM at = MAKELPARAM((tr.left + tr.right) / 2, (tr.top + tr.bottom) / 2);
            SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(tab, WM_LBUTTONUP, 0, at);
        };
        clickTab(1);
        HWND thumbs = findNamedIn(form, "PanelThumbs");
        thumbsShown = waitUntil([&] { return IsWindowVisible(thumbs) != FALSE; }, 3000);
        thumbsSaved = capture(form, "editor-thumbnails.bmp");
        clickTab(0);

        // Opening a cell's menu counts as a change: closing asks.
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        HWND dlg = waitNamed("MessageDialog", 10000);
        if (dlg) {
            questionSaved = capture(dlg, "editor-discard-changes.bmp");
            click(findNamedIn(dlg, "Yes"));
        }
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(editorSaved);
    EXPECT_TRUE(secondSaved);
    EXPECT_TRUE(questionSaved);
    EXPECT_TRUE(menuSaved);
    EXPECT_TRUE(thumbsShown);
    EXPECT_TRUE(thumbsSaved);
}

}  // namespace
