// The slide table paints only what changed: the focus frame of the current cell when the focus
// comes and goes, the rows a page moves by. What it shows after such partial paints must be
// what a whole new paint shows. On opening it paints once, with the loaded rows, and shows
// them behind the warning about a long script.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

// The pixels the window shows in its client area.
std::vector<DWORD> clientPixels(HWND w) {
    RECT rc;
    GetClientRect(w, &rc);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, rc.right, -rc.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    HDC dc = GetDC(w);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(w, dc);
    std::vector<DWORD> px(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + rc.right * rc.bottom);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    return px;
}

size_t differing(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// What the window shows once its paints are done.
std::vector<DWORD> settled(HWND w) {
    waitUntil([&] { return !GetUpdateRect(w, nullptr, FALSE); }, 5000);
    Sleep(200);
    return clientPixels(w);
}

// The same window painted whole anew.
std::vector<DWORD> repainted(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return settled(w);
}

}  // namespace

TEST(EditorPaint, TheOpeningTableTheFocusFrameAndPagingPaintWhatAWholePaintShows) {
    ASSERT_NE(kit::dll(), nullptr);
    kit::TempFolder folder;
    std::string appDir = folder.path() + "\\App";
    std::string slides = folder.path() + "\\Slides";
    CreateDirectoryA(appDir.c_str(), nullptr);
    CreateDirectoryA(slides.c_str(), nullptr);
    TestScript s = writeTestScript(slides, appDir, 1700, false);
    kit::writeKey("AVLFIL", s.path);
    kit::writeKey("AVLNOW", s.path);
    kit::writeKey("AVLTMP", folder.file("temp.avl"));
    kit::writeKey("AppDir", appDir);

    size_t focusFrame = 0, withoutFocus = 0, focusBack = 0, paged = 0, pagedBack = 0;
    bool dialogShown = false, tableBehindWarning = false;
    size_t behindWarning = 0;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        const std::string tooMany = "Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.";
        HWND warning = nullptr;
        waitUntil([&] {
            warning = findNamed("MessageDialog");
            HWND m = warning ? findNamedIn(warning, "Message") : nullptr;
            return m && windowText(m) == tooMany;
        });
        if (warning) {
            tableBehindWarning = IsWindowVisible(grid) && gridText(grid) != "<right-click me>";
            const std::vector<DWORD> shown = settled(grid);
            behindWarning = differing(shown, repainted(grid));
            answerDialog(tooMany, "OK");
        }
        for (int i = 0; i < 3; ++i) sendKey(grid, VK_RIGHT);  // the Wait column
        const std::vector<DWORD> focused = settled(grid);

        // The delay dialog takes the focus: only the current cell's frame goes.
        PostMessageA(grid, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(grid, WM_KEYUP, VK_RETURN, 0xC01C0001);
        HWND dlg = waitNamed("XScrlDlg", 10000);
        dialogShown = dlg != nullptr;
        if (dlg) {
            // The dialog shows before it takes the focus; the grid repaints its cell after.
            waitUntil([&] { return focusedWindowOf(grid) != grid; }, 5000);
            const std::vector<DWORD> unfocused = settled(grid);
            focusFrame = differing(focused, unfocused);
            withoutFocus = differing(unfocused, repainted(grid));
            sendKey(findNamedIn(dlg, "CustomSetting"), VK_ESCAPE);
            waitUntil([&] { return findNamed("XScrlDlg") == nullptr; }, 5000);
        }
        const std::vector<DWORD> back = settled(grid);
        focusBack = differing(focused, back);

        // Paging down and back up shows the rows as a whole paint does.
        sendKey(grid, VK_NEXT);
        const std::vector<DWORD> down = settled(grid);
        paged = differing(down, repainted(grid));
        sendKey(grid, VK_PRIOR);
        pagedBack = differing(settled(grid), back);

        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes", 3000);
    });
    editorWin95();
    user.join();

    EXPECT_TRUE(tableBehindWarning);
    EXPECT_EQ(behindWarning, 0u);
    ASSERT_TRUE(dialogShown);
    // The frame is a dotted line round one cell: some pixels, far fewer than a cell's area.
    EXPECT_GT(focusFrame, 0u);
    EXPECT_LT(focusFrame, 400u);
    EXPECT_EQ(withoutFocus, 0u);
    EXPECT_EQ(focusBack, 0u);
    EXPECT_EQ(paged, 0u);
    EXPECT_EQ(pagedBack, 0u);
}
