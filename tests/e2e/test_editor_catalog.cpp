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
#include "tests/e2e/user_steps.h"

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

// Where a person's pointer goes on a window: the middle of the client rectangle's `r`.
POINT middleOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RECT tabRect(HWND tab, int index) {
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool cursorIs(LPCSTR shape) {
    CURSORINFO ci{};
    ci.cbSize = sizeof ci;
    return GetCursorInfo(&ci) && ci.hCursor == LoadCursorA(nullptr, shape);
}

// The whole page with the real mouse and keyboard on an 1800-slide script: the tab, the
// scroll bar's page areas, a drag of one cell onto another, a drag held below the view (no
// drop, no scroll) and beside it (one row per timer tick) and dropped pages later, Page Down
// to the last page and Page Up, then Run: the script run has the new order.
TEST_F(CatalogPage, PagingThroughAnd1800SlidesAndDraggingACellChangesTheOrderRun) {
    // Thumbnails for the first page, for the first slide of every row (each page starts on
    // one) and for the last slide.
    std::vector<int> thumbs;
    for (int i = 1; i <= 1800; ++i)
        if (i <= 40 || i % 8 == 1 || i == 1800) thumbs.push_back(i);
    writeCatalogScript(1800, thumbs);
    bool shown = false, firstPage = false, barForward = false, barBack = false, dragged = false, lastPage = false,
         paged = false;
    bool noDropCursor = false, besideCursor = false;
    int pageDowns = 0, pageSize = 0, barStep = 0, belowPos = 0, dropPos = 0, dropCell = 0;
    std::vector<double> ticks;
    Driver user([&] {
        HWND form = waitEditorLoaded(60000);
        if (!form) return;
        answerDialog("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.", "OK");
        RealMouse mouse;
        RealKeyboard keys;
        HWND tab = findNamedIn(form, "Tab");
        POINT t = middleOf(tabRect(tab, 1));
        waitUntil([&] { return IsWindowEnabled(form) && GetForegroundWindow() == form; }, 5000);
        HWND view = findNamedIn(form, "Image2"), bar = findNamedIn(form, "CatScroll");
        // Under a loaded virtual display the first click after the warning closed can go to
        // the window system; a person clicks the tab again then.
        for (int clicks = 0; clicks < 3 && !shown; ++clicks) {
            mouse.click(tab, t.x, t.y);
            shown = waitUntil([&] { return IsWindowVisible(view) != FALSE; }, 3000);
        }
        firstPage = viewShows(view, cellCentre(0), thumbColor(1)) && viewShows(view, cellCentre(31), thumbColor(32));
        RECT vr, br;
        GetClientRect(view, &vr);
        GetClientRect(bar, &br);

        // The scroll bar pressed right of its thumb pages forward and the view follows when
        // the button comes up; left of the thumb pages back. The bar is disabled while the
        // view redraws after a press; the next press waits for it, as a person's would. Two
        // presses soon after each other come as a double click, which pages as well.
        auto pressBeside = [&](bool right) {
            waitUntil([&] { return IsWindowEnabled(bar) != FALSE; }, 3000);
            SCROLLBARINFO sbi{};
            sbi.cbSize = sizeof sbi;
            SendMessageA(bar, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&sbi));
            const int x = right ? (sbi.xyThumbBottom + (br.right - sbi.dxyLineButton)) / 2
                                : (sbi.dxyLineButton + sbi.xyThumbTop) / 2;
            mouse.click(bar, x, br.bottom / 2);
        };
        pressBeside(true);
        waitUntil([&] { return scrollPos(bar) > 1; }, 3000);
        barStep = scrollPos(bar) - 1;
        barForward = barStep > 0 && viewShows(view, cellCentre(0), thumbColor(1 + barStep));
        pressBeside(true);
        // The view shows the page it reached before the bar takes the next press.
        viewShows(view, cellCentre(0), thumbColor(1 + 2 * barStep));
        pressBeside(false);
        barBack = waitUntil([&] { return scrollPos(bar) == 1 + barStep; }, 3000) &&
                  viewShows(view, cellCentre(0), thumbColor(1 + barStep));
        keys.press(VK_PRIOR);  // back to the first page
        waitUntil([&] { return scrollPos(bar) == 1; }, 3000);
        barBack = barBack && viewShows(view, cellCentre(0), thumbColor(1));

        // Slide 3 dragged onto slide 7: it goes just before it.
        POINT from = cellCentre(2), to = cellCentre(6);
        mouse.moveTo(view, from.x, from.y);
        mouse.down();
        for (int step = 1; step <= 4; ++step) {
            mouse.moveTo(view, from.x + (to.x - from.x) * step / 4, from.y);
            Sleep(30);
        }
        mouse.up();
        dragged = viewShows(view, cellCentre(5), thumbColor(3)) && viewShows(view, cellCentre(2), thumbColor(4));

        // Slide 9 dragged below the view: the no-drop cursor and no scrolling; right of the
        // view: the four-headed arrow and one row of 8 slides per tick; back on the view
        // the scrolling stops, and the slide is dropped on a cell of the page it reached.
        POINT nine = cellCentre(8);
        mouse.moveTo(view, nine.x, nine.y);
        mouse.down();
        mouse.moveTo(view, nine.x, vr.bottom + 20);
        Sleep(100);
        noDropCursor = cursorIs(IDC_NO);
        Sleep(1100);
        belowPos = scrollPos(bar);
        mouse.moveTo(view, vr.right + 20, vr.bottom / 2);
        Sleep(100);
        besideCursor = cursorIs(IDC_SIZEALL);
        double last = kit::nowMs();
        for (int pos = 1; ticks.size() < 3;) {
            if (!waitUntil([&] { return scrollPos(bar) != pos; }, 3000)) break;
            const double now = kit::nowMs();
            if (pos != 1) ticks.push_back(now - last);
            last = now;
            pos = scrollPos(bar);
        }
        dropCell = 13;
        POINT drop = cellCentre(dropCell);
        mouse.moveTo(view, drop.x, drop.y);
        Sleep(700);
        dropPos = scrollPos(bar);
        mouse.up();
        Sleep(200);

        // Page Down to the last slide, then Page Up once. A page is as many rows of 8 cells
        // as the window's height gave (the first step shows it).
        const int start = scrollPos(bar);
        keys.press(VK_NEXT);
        ++pageDowns;
        waitUntil([&] { return scrollPos(bar) != start; }, 3000);
        pageSize = scrollPos(bar) - start;
        while (scrollPos(bar) < 1800 && pageDowns < 100 && pageSize > 0) {
            const int before = scrollPos(bar);
            keys.press(VK_NEXT);
            ++pageDowns;
            waitUntil([&] { return scrollPos(bar) != before; }, 3000);
        }
        lastPage = viewShows(view, cellCentre(0), thumbColor(1800)) && viewShows(view, cellCentre(1), RGB(255, 255, 255));
        keys.press(VK_PRIOR);
        paged = waitUntil([&] { return scrollPos(bar) == 1800 - pageSize; }, 3000);
        keys.down(VK_CONTROL);
        keys.press('R');
        keys.up(VK_CONTROL);
        endedOrAbandoned(form);
    });
    int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(r, -1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(firstPage);
    ASSERT_GT(pageSize, 0);
    EXPECT_EQ(barStep, pageSize);  // the bar's large change is one page
    EXPECT_TRUE(barForward);
    EXPECT_TRUE(barBack);
    EXPECT_TRUE(dragged);
    EXPECT_TRUE(noDropCursor);
    EXPECT_EQ(belowPos, 1);
    EXPECT_TRUE(besideCursor);
    ASSERT_EQ(ticks.size(), 3u);
    for (double tick : ticks) {
        EXPECT_GT(tick, 350) << "one row per 500 ms tick";
        EXPECT_LT(tick, 1500);
    }
    EXPECT_EQ((dropPos - 1) % 8, 0);
    EXPECT_GE(dropPos, 25);
    EXPECT_EQ(pageSize % 8, 0);
    EXPECT_TRUE(lastPage);
    EXPECT_TRUE(paged);
    const std::string temp = folder.file("temp show.avl");
    auto fileAt = [&](int slide) { return profile(temp, std::to_string(slide).c_str(), "F").substr(0, 5); };
    auto pname = [](int i) {
        char n[8];
        snprintf(n, sizeof n, "p%04d", i);
        return std::string(n);
    };
    EXPECT_EQ(fileAt(3), "p0004");
    EXPECT_EQ(fileAt(6), "p0003");
    EXPECT_EQ(profile(temp, "6", "T"), "3");
    EXPECT_EQ(fileAt(7), "p0007");
    // Slide 9 dropped on slide T went just before it: number T - 1.
    const int target = dropPos + dropCell;
    EXPECT_EQ(fileAt(9), "p0010");
    EXPECT_EQ(fileAt(target - 2), pname(target - 1));
    EXPECT_EQ(fileAt(target - 1), "p0009");
    EXPECT_EQ(fileAt(target), pname(target));
    EXPECT_EQ(profile(temp, "Header", "N"), "1801");
}

// A bitmap file as the platform reads it: its size and the colour of a few pixels.
struct ReadBack {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
};
ReadBack readBitmapFile(const std::string& file, const std::vector<POINT>& at) {
    ReadBack r;
    HBITMAP b = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!b) return r;
    BITMAP bm{};
    GetObjectA(b, sizeof bm, &bm);
    r.width = bm.bmWidth;
    r.height = bm.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    for (POINT p : at) r.colours.push_back(GetPixel(dc, p.x, p.y));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
    return r;
}

// The page's commands through the real dialogs: the contact sheet from the slide menu
// (right button on a cell) saved under a long name and read back; a contact sheet over a
// read-only file refused with the documented message and the file left alone; "&Kill all"
// declined, then done; "&Update" giving indices, saving through the explorer and ending the
// editor with 1.
TEST_F(CatalogPage, ContactSheetKillAllAndUpdateThroughTheRealDialogs) {
    // Slides 1 to 8 indexed with thumbnails, 9 and 10 pictures without an index, 11 a video.
    std::string body = "[Header]\nVer=7\nScreenW=1024\nScreenH=768\nN=12\nCat=CATLG\n[Directory]\n0=" + appDir +
                       "\\\n1=" + slides + "\\\n";
    char name[32];
    for (int i = 1; i <= 10; ++i) {
        snprintf(name, sizeof name, "P%04d.BMP", i);
        body += "[" + std::to_string(i) + "]\nF=" + name + ",1\nX=0\n" + (i <= 8 ? "T=" + base32(i) + "\n" : "");
    }
    body += "[11]\nF=CLIP.AVI,1\nX=0\nT=-\n";
    const std::string script = folder.writeFile("Catalogue show.avl", body);
    for (int i = 1; i <= 8; ++i)
        kit::writeBitmap(appDir + "\\CATLG" + base32(i) + ".BMP", 64, 64, [i](int, int) { return thumbColor(i); });
    kit::writeKey("AVLFIL", script);
    kit::writeKey("AVLNOW", script);
    kit::writeKey("AVLidx", "20");
    kit::writeKey("SavePath", kit::shortPath(folder.path()) + "\\");
    kit::writeKey("LastDir", kit::shortPath(folder.path()) + "\\");
    const std::string locked = folder.writeFile("LOCKED.BMP", "old bytes");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);

    bool sheetAsked = false, lockedAsked = false, killedShown = false, updateAsked = false;
    std::string refusal, refusalTitle, killTitle;
    std::vector<COLORREF> onScreen;
    RECT vr{};
    const std::vector<POINT> probes = {cellCentre(0), cellCentre(4), cellCentre(7), POINT{74 * 0 + 2 + 6, 80 * 1 + 2 + 6},
                                       cellCentre(12), cellCentre(31)};
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        RealMouse mouse;
        RealKeyboard keys;
        waitUntil([&] { return GetForegroundWindow() == form; }, 5000);
        keys.down(VK_MENU);  // Alt+U from the slide table: "Th&umbnails"
        keys.press('U');
        keys.up(VK_MENU);
        HWND view = findNamedIn(form, "Image2");
        if (!viewShows(view, cellCentre(7), thumbColor(8))) {
            PostMessageA(form, WM_CLOSE, 0, 0);
            return;
        }
        GetClientRect(view, &vr);
        HDC dc = GetDC(view);
        for (POINT p : probes) onScreen.push_back(GetPixel(dc, p.x, p.y));
        ReleaseDC(view, dc);

        // Right button on slide 5, "C&ontact sheet" from the slide menu.
        POINT c = cellCentre(4);
        mouse.moveTo(view, c.x, c.y);
        mouse.down(true);
        waitUntil([] { return popupMenuWindow() != nullptr; }, 5000);
        mouse.up(true);
        Sleep(150);  // the menu takes keys once its loop runs
        keys.press('O');
        sheetAsked = answerExplorer("Save Contact Sheet as", "Contact sheet of the show.bmp");
        waitUntil([&] { return IsWindowEnabled(form) && kit::fileExists(folder.file("Contact sheet of the show.bmp")); },
                  10000);

        // F10 opens the slide menu from the keyboard; a read-only target cannot be replaced.
        waitUntil([&] { return IsWindowEnabled(form) && GetForegroundWindow() == form; }, 5000);
        keys.press(VK_F10);
        waitUntil([] { return popupMenuWindow() != nullptr; }, 5000);
        Sleep(150);
        keys.press('O');
        lockedAsked = answerExplorer("Save Contact Sheet as", "LOCKED.BMP");
        answerDialog("LOCKED.BMP\nin use.  Overwrite?", "Yes");
        waitUntil(
            [&] {
                HWND dlg = findNamed("MessageDialog");
                const std::string text = dlg ? windowText(findNamedIn(dlg, "Message")) : "";
                if (text.empty() || text.find("Overwrite?") != std::string::npos) return false;
                refusal = text;
                return true;
            },
            10000);
        if (!refusal.empty()) refusalTitle = answerDialog(refusal, "OK");

        // "&Kill all": No keeps the files, Yes deletes them and the page shows no pictures.
        waitUntil([&] { return IsWindowEnabled(form) != FALSE; }, 5000);
        keys.down(VK_MENU);
        keys.press('K');
        keys.up(VK_MENU);
        killTitle = answerDialog("Delete ALL thumbnails for this script?", "No");
        keys.down(VK_MENU);
        keys.press('K');
        keys.up(VK_MENU);
        answerDialog("Delete ALL thumbnails for this script?", "Yes");
        killedShown = viewShows(view, POINT{8, 8}, RGB(255, 255, 255)) && viewShows(view, POINT{74 * 7 + 8, 8}, RGB(255, 255, 255));

        // "&Update" with the mouse: indices for the pictures, the script saved under a new
        // name, the editor ends.
        HWND update = findNamedIn(form, "BtnCatalog");
        RECT ur;
        GetClientRect(update, &ur);
        POINT u = middleOf(ur);
        waitUntil([&] { return IsWindowEnabled(form) && GetForegroundWindow() == form; }, 5000);
        mouse.click(update, u.x, u.y);
        updateAsked = answerExplorer("Save File", "Indexed show");
        endedOrAbandoned(form);
    });
    const int32_t r = editorWin95();
    user.join();

    // The contact sheet is the view as drawn: its size, the thumbnails where they were drawn.
    const ReadBack sheet = readBitmapFile(folder.file("Contact sheet of the show.bmp"), probes);
    EXPECT_TRUE(sheetAsked);
    EXPECT_EQ(sheet.width, vr.right);
    EXPECT_EQ(sheet.height, vr.bottom);
    ASSERT_EQ(sheet.colours.size(), probes.size());
    EXPECT_EQ(sheet.colours[0], thumbColor(1));
    EXPECT_EQ(sheet.colours[1], thumbColor(5));
    EXPECT_EQ(sheet.colours[2], thumbColor(8));
    EXPECT_EQ(sheet.colours[3], RGB(255, 255, 255));  // slide 9 has no picture
    EXPECT_EQ(sheet.colours[4], RGB(255, 255, 255));  // past the last slide
    EXPECT_EQ(sheet.colours, onScreen);
    CopyFileA(folder.file("Contact sheet of the show.bmp").c_str(),
              (kit::screensFolder() + "\\editor-contact-sheet.bmp").c_str(), FALSE);

    EXPECT_TRUE(lockedAsked);
    EXPECT_EQ(refusal, "Cannot save file.\nLOCKED.BMP");
    EXPECT_EQ(refusalTitle, "Error");
    std::string bytes;
    EXPECT_TRUE(kit::readFile(locked, bytes));
    EXPECT_EQ(bytes, "old bytes");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(killTitle, "Warning");
    EXPECT_TRUE(killedShown);
    for (int i = 1; i <= 8; ++i) EXPECT_FALSE(kit::fileExists(appDir + "\\CATLG" + base32(i) + ".BMP")) << i;

    // AVLidx 20 was above the next index: the ten pictures get 21 to 30 in base 32.
    EXPECT_TRUE(updateAsked);
    EXPECT_EQ(r, 1);
    const std::string saved = folder.file("Indexed show.avl");
    ASSERT_TRUE(kit::fileExists(saved));
    EXPECT_EQ(profile(saved, "Header", "Cat"), "CATLG");
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(profile(saved, std::to_string(i).c_str(), "T"), base32(20 + i)) << i;
    EXPECT_EQ(profile(saved, "11", "T"), "<none>");  // a video has no index to store
    EXPECT_EQ(kit::readKey("AVLidx"), "31");

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
// held beside the view scrolls by the window timer; a drag whose mouse is taken away (the
// window told to cancel its modes, as when the user switches windows) stops and moves
// nothing, not even at the next plain click; and a thumbnail that cannot be opened while a
// drag scrolls gives one box, not one per tick. Run: the order is the script's.
TEST_F(CatalogPage, KeysFromEveryControlOfThePageAndAutoScrollByTheTimer) {
    writeCatalogScript(100, {1});
    std::vector<std::string> asked, paged, menus, visited;
    double tick = 0;
    int scrolled = 0, stopped = 0, cancelledAt = 0, afterCancel = 0, boxes = 0, boxesAfter = 0, boxAt = 0,
        afterBox = 0;
    std::string picked, boxText;
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

        // The same drag, and the mouse taken away while it scrolls.
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, c.y));
        waitUntil([&] { return scrollPos(bar) < 84; }, 3000);
        SendMessageA(form, WM_CANCELMODE, 0, 0);
        cancelledAt = scrollPos(bar);
        Sleep(1200);
        afterCancel = scrollPos(bar);
        POINT third = cellCentre(2);  // a plain click picks that slide and moves none
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.x, third.y));
        SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(third.x, third.y));
        picked = gridText(findNamedIn(form, "Grid"));

        // The thumbnail of the slide before the page, held open by another program: the
        // drag's first tick meets it.
        const std::string thumb = appDir + "\\CATLG" + base32(scrollPos(bar) - 1) + ".BMP";
        HANDLE held = CreateFileA(thumb.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        auto countBoxes = [] {
            int n = 0;
            for (HWND w : topWindows()) n += kvName(w) == "MessageDialog" ? 1 : 0;
            return n;
        };
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, c.y));
        if (HWND box = waitNamed("MessageDialog", 3000)) {
            boxAt = scrollPos(bar);
            Sleep(1600);  // three more periods of the timer
            boxes = countBoxes();
            boxText = windowText(findNamedIn(box, "Message"));
            for (int k = 0; k < 20; ++k) {  // a person closes every box (boxes that kept coming, 20)
                HWND b = findNamed("MessageDialog");
                if (!b) break;
                PostMessageA(findNamedIn(b, "OK"), BM_CLICK, 0, 0);
                waitUntil([&] { return IsWindow(b) == FALSE; }, 3000);
            }
            Sleep(1200);
            boxesAfter = countBoxes();
            afterBox = scrollPos(bar);
        }
        SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        CloseHandle(held);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
        endedOrAbandoned(form);
    });
    EXPECT_EQ(editorWin95(), -1);
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
    EXPECT_LT(cancelledAt, 84);
    EXPECT_EQ(afterCancel, cancelledAt);
    char name[16];
    snprintf(name, sizeof name, "P%04d.BMP", cancelledAt + 2);
    EXPECT_EQ(lstrcmpiA(picked.c_str(), name), 0) << picked;
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxText.rfind("Cannot open file ", 0), 0u) << boxText;
    EXPECT_EQ(boxesAfter, 0);
    EXPECT_EQ(afterBox, boxAt);
    // The first drag dropped slide 100 on slide 84; the cancelled one and the one that met
    // the bad thumbnail moved nothing.
    const std::string temp = folder.file("temp show.avl");
    for (int i = 1; i <= 100; ++i) {
        snprintf(name, sizeof name, "p%04d", i < 84 ? i : i == 84 ? 100 : i - 1);
        EXPECT_EQ(profile(temp, std::to_string(i).c_str(), "F").substr(0, 5), name) << i;
    }
}

// Pictures for a person to look at: the page with real thumbnails, one slide tagged, and the
// slide menu opened over a cell with the right button.
TEST_F(CatalogPage, ScreensOfThePage) {
    std::vector<int> thumbs;
    for (int i = 1; i <= 40; ++i) thumbs.push_back(i);
    writeCatalogScript(45, thumbs);
    bool saved = false, menuSaved = false, tagged = false, red = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        // Slide 5 tagged in its Tag cell (the last column): Space toggles it.
        HWND grid = findNamedIn(form, "Grid");
        RealKeyboard keys;
        for (int i = 0; i < 4; ++i) keys.press(VK_DOWN);
        keys.press(VK_END);
        keys.press(VK_SPACE);
        tagged = waitUntil([&] { return gridText(grid) == "X"; }, 3000);
        clickTab(findNamedIn(form, "Tab"), 1);
        HWND view = findNamedIn(form, "Image2");
        viewShows(view, cellCentre(0), thumbColor(1));
        // The page starts at the current slide, the tagged one: its caption is red (some
        // pixel of its text line is).
        red = waitUntil(
            [&] {
                HDC dc = GetDC(view);
                bool any = false;
                for (int x = 2; x < 74 && !any; ++x)
                    for (int y = 67; y < 80 && !any; ++y) any = GetPixel(dc, x, y) == RGB(255, 0, 0);
                ReleaseDC(view, dc);
                return any;
            },
            3000);
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
        saved = kit::saveWindowBitmap(form, kit::screensFolder() + "\\editor-catalogue.bmp");
        POINT c = cellCentre(9);
        RealMouse mouse;
        mouse.moveTo(view, c.x, c.y);
        mouse.down(true);
        HWND menu = nullptr;
        waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000);
        mouse.up(true);
        if (menu) {
            Sleep(300);
            menuSaved = kit::saveWindowBitmap(GetDesktopWindow(), kit::screensFolder() + "\\editor-catalogue-menu.bmp");
            keys.press(VK_ESCAPE);
            waitUntil([&] { return !IsWindowVisible(menu); }, 5000);
        }
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(editorWin95(), 0);
    user.join();
    EXPECT_TRUE(tagged);
    EXPECT_TRUE(red);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(menuSaved);
}

}  // namespace
