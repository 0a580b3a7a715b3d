// The editor's thumbnails page under Wine: paging through an 1800-slide script with the keys,
// dragging one cell onto another and the order the script is run in, "&Kill all" on real
// files, "&Update" ending the editor with 1, and pictures of the page.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

std::string base32(int v) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    std::string s;
    do {
        s.insert(s.begin(), digits[v % 32]);
        v /= 32;
    } while (v);
    return s;
}

COLORREF thumbColor(int slide) { return RGB((slide * 37) % 200 + 40, (slide * 91) % 200 + 40, (slide * 53) % 200 + 40); }

class CatalogPage : public EditorFixture {
protected:
    // A script of picture slides P0001.BMP ... in catalogue CATLG, slide i with index i in
    // base 32; the slides in `withThumbs` get a 64 x 64 thumbnail of their own colour (and
    // slide 2 one of 48 x 32).
    std::string writeCatalogScript(int count, const std::vector<int>& withThumbs) {
        std::string body = "[Header]\nVer=7\nScreenW=1024\nScreenH=768\nN=" + std::to_string(count + 1) +
                           "\nCat=CATLG\n[Directory]\n0=" + appDir + "\\\n1=" + slides + "\\\n";
        char name[32];
        for (int i = 1; i <= count; ++i) {
            snprintf(name, sizeof name, "P%04d.BMP", i);
            body += "[" + std::to_string(i) + "]\nF=" + name + ",1\nX=0\nT=" + base32(i) + "\n";
        }
        std::string path = folder.writeFile("Catalogue show.avl", body);
        for (int i : withThumbs) {
            const int w = i == 2 ? 48 : 64, h = i == 2 ? 32 : 64;
            kit::writeBitmap(appDir + "\\CATLG" + base32(i) + ".BMP", w, h, [i](int, int) { return thumbColor(i); });
        }
        kit::writeKey("AVLFIL", path);
        kit::writeKey("AVLNOW", path);
        return path;
    }
};

void clickTab(HWND tab, int index) {
    RECT tr{};
    SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tr));
    LPARAM at = MAKELPARAM((tr.left + tr.right) / 2, (tr.top + tr.bottom) / 2);
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab, WM_LBUTTONUP, 0, at);
}

// The middle of the picture area of page cell k.
POINT cellCentre(int k) { return POINT{74 * (k % 8) + 2 + 2 + 32, 80 * (k / 8) + 2 + 2 + 32}; }

// What the view shows at a point, once it has painted.
bool viewShows(HWND view, POINT p, COLORREF c, DWORD ms = 5000) {
    return waitUntil(
        [&] {
            HDC dc = GetDC(view);
            COLORREF got = GetPixel(dc, p.x, p.y);
            ReleaseDC(view, dc);
            return got == c;
        },
        ms);
}

int scrollPos(HWND bar) { return GetScrollPos(bar, SB_CTL); }

TEST_F(CatalogPage, PagingThroughAnd1800SlidesAndDraggingACellChangesTheOrderRun) {
    std::vector<int> thumbs;
    for (int i = 1; i <= 40; ++i) thumbs.push_back(i);
    thumbs.push_back(1800);
    writeCatalogScript(1800, thumbs);
    bool shown = false, firstPage = false, paged = false, lastPage = false, dragged = false;
    int pageDowns = 0, pageSize = 0;
    Driver user([&] {
        HWND form = waitEditorLoaded(60000);
        if (!form) return;
        answerDialog("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.", "OK");
        clickTab(findNamedIn(form, "Tab"), 1);
        HWND view = findNamedIn(form, "Image2"), bar = findNamedIn(form, "CatScroll");
        shown = waitUntil([&] { return IsWindowVisible(view) != FALSE; }, 5000);
        firstPage = viewShows(view, cellCentre(0), thumbColor(1)) && viewShows(view, cellCentre(31), thumbColor(32));

        // Slide 3 dragged onto slide 7: it goes just before it.
        POINT from = cellCentre(2), to = cellCentre(6);
        SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 40, from.y));
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        dragged = viewShows(view, cellCentre(5), thumbColor(3)) && viewShows(view, cellCentre(2), thumbColor(4));

        // Page Down from whatever has the focus, to the last slide, then Page Up once. A page
        // is as many rows of 8 cells as the window's height gave (the first step shows it).
        const int start = scrollPos(bar);
        sendKey(focusedWindowOf(form), VK_NEXT);
        ++pageDowns;
        pageSize = scrollPos(bar) - start;
        while (scrollPos(bar) < 1800 && pageDowns < 100) {
            sendKey(focusedWindowOf(form), VK_NEXT);
            ++pageDowns;
        }
        lastPage = viewShows(view, cellCentre(0), thumbColor(1800)) && viewShows(view, cellCentre(1), RGB(255, 255, 255));
        sendKey(focusedWindowOf(form), VK_PRIOR);
        paged = scrollPos(bar) == 1800 - pageSize;
        sendKey(focusedWindowOf(form), 'R', true);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(r, -1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(firstPage);
    EXPECT_TRUE(dragged);
    ASSERT_GT(pageSize, 0);
    EXPECT_EQ(pageSize % 8, 0);
    EXPECT_EQ(pageDowns, (1799 + pageSize - 1) / pageSize);  // one page at a time, the last one clipped
    EXPECT_TRUE(lastPage);
    EXPECT_TRUE(paged);
    const std::string temp = folder.file("temp show.avl");
    EXPECT_EQ(profile(temp, "3", "F").substr(0, 5), "p0004");
    EXPECT_EQ(profile(temp, "6", "F").substr(0, 5), "p0003");
    EXPECT_EQ(profile(temp, "6", "T"), "3");
    EXPECT_EQ(profile(temp, "7", "F").substr(0, 5), "p0007");
    EXPECT_EQ(profile(temp, "Header", "N"), "1801");
}

TEST_F(CatalogPage, KillAllDeletesTheFilesAndUpdateEndsTheEditorWith1) {
    writeCatalogScript(6, {1, 2, 3});
    std::string title;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        clickTab(findNamedIn(form, "Tab"), 1);
        PostMessageA(findNamedIn(form, "BtnKillCat"), BM_CLICK, 0, 0);
        title = answerDialog("Delete ALL thumbnails for this script?", "No");
        PostMessageA(findNamedIn(form, "BtnKillCat"), BM_CLICK, 0, 0);
        answerDialog("Delete ALL thumbnails for this script?", "Yes");
        waitUntil([&] { return !kit::fileExists(appDir + "\\CATLG1.BMP"); }, 5000);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(editorWin95(), 0);  // the indices went, the script counts as unchanged
    user.join();
    EXPECT_EQ(title, "Warning");
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(kit::fileExists(appDir + "\\CATLG" + base32(i) + ".BMP")) << i;

    // Every picture indexed and nothing changed: "&Update" ends the editor at once with 1.
    writeCatalogScript(6, {});
    kit::writeKey("AVLidx", "3");
    Driver again([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        clickTab(findNamedIn(form, "Tab"), 1);
        PostMessageA(findNamedIn(form, "BtnCatalog"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(editorWin95(), 1);
    again.join();
    EXPECT_EQ(kit::readKey("AVLidx"), "7");
}

// Keys of the page from the keyboard, from every control of the page that takes the focus:
// Alt+K asks to kill the thumbnails, Page Down pages, F10 opens the slide menu. Then a drag
// held beside the view scrolls by the window timer.
TEST_F(CatalogPage, KeysFromEveryControlOfThePageAndAutoScrollByTheTimer) {
    writeCatalogScript(100, {1});
    std::vector<std::string> asked, paged, menus, visited;
    double tick = 0;
    int scrolled = 0, stopped = 0;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        clickTab(findNamedIn(form, "Tab"), 1);
        HWND bar = findNamedIn(form, "CatScroll");
        RealKeyboard keys;
        std::vector<std::string> seen;
        for (int i = 0; i < 40; ++i) {
            keys.press(VK_TAB);
            Sleep(50);
            HWND focus = focusedWindowOf(form);
            const std::string name = focus ? kvName(focus) : "";
            if (name.empty() || std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
            seen.push_back(name);
            keys.down(VK_MENU);
            keys.press('K');
            keys.up(VK_MENU);
            if (answerDialog("Delete ALL thumbnails for this script?", "No", 3000) == "Warning") asked.push_back(name);
            waitUntil([&] { return focusedWindowOf(form) == focus; }, 2000);
            const int before = scrollPos(bar);
            keys.press(VK_NEXT);
            if (waitUntil([&] { return scrollPos(bar) != before; }, 2000)) paged.push_back(name);
            keys.press(VK_F10);
            HWND menu = nullptr;
            if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 3000)) {
                menus.push_back(name);
                keys.press(VK_ESCAPE);
                waitUntil([] { return popupMenuWindow() == nullptr; }, 3000);
            }
            keys.press(VK_PRIOR);
        }
        visited = seen;

        // A drag held left of the view scrolls back one row of 8 slides per timer tick.
        while (scrollPos(bar) < 100) keys.press(VK_NEXT);
        HWND view = findNamedIn(form, "Image2");
        POINT c = cellCentre(0);
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, c.y));
        const double t0 = kit::nowMs();
        waitUntil([&] { return scrollPos(bar) == 92; }, 3000);
        const double first = kit::nowMs() - t0;
        waitUntil([&] { return scrollPos(bar) == 84; }, 3000);
        tick = kit::nowMs() - t0 - first;
        scrolled = scrollPos(bar);
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));  // back inside: it stops
        Sleep(700);
        stopped = scrollPos(bar);
        SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes", 3000);
    });
    EXPECT_EQ(editorWin95(), 0);
    user.join();
    // The page's own controls are in the focus ring, and every control on it answers the keys.
    for (const char* name : {"BtnCatalog", "BtnKillCat", "CatScroll"})
        EXPECT_NE(std::find(visited.begin(), visited.end(), name), visited.end()) << name;
    std::sort(visited.begin(), visited.end());
    for (auto* v : {&asked, &paged, &menus}) {
        std::sort(v->begin(), v->end());
        EXPECT_EQ(*v, visited);
    }
    EXPECT_EQ(scrolled, 84);
    EXPECT_EQ(stopped, 84);
    EXPECT_GT(tick, 350);  // one row per 500 ms tick
    EXPECT_LT(tick, 1500);
}

// Pictures for a person to look at: the page with real thumbnails, one slide tagged, and the
// slide menu opened over a cell with the right button.
TEST_F(CatalogPage, ScreensOfThePage) {
    std::vector<int> thumbs;
    for (int i = 1; i <= 40; ++i) thumbs.push_back(i);
    writeCatalogScript(45, thumbs);
    bool saved = false, menuSaved = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        for (int i = 0; i < 4; ++i) sendKey(grid, VK_DOWN);
        PostMessageA(findNamedIn(form, "BtnTag"), BM_CLICK, 0, 0);
        waitUntil([&] { return false; }, 200);
        clickTab(findNamedIn(form, "Tab"), 1);
        HWND view = findNamedIn(form, "Image2");
        viewShows(view, cellCentre(0), thumbColor(1));
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
        saved = kit::saveWindowBitmap(form, kit::screensFolder() + "\\editor-catalogue.bmp");
        POINT c = cellCentre(9);
        PostMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(c.x, c.y));
        HWND menu = nullptr;
        waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
        if (menu) {
            Sleep(300);
            menuSaved = kit::saveWindowBitmap(GetDesktopWindow(), kit::screensFolder() + "\\editor-catalogue-menu.bmp");
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            waitUntil([&] { return !IsWindowVisible(menu); }, 5000);
        }
        PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(editorWin95(), 0);
    user.join();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(menuSaved);
}

}  // namespace
