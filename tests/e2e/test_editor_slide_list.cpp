// The slide list operations through the real DLL: slides added and inserted through the
// explorer's add-slides dialog, a slide moved by its number, another erased, one found by part
// of its name, a jump by number, a CD track added, and a sort by file size from the slide
// menu; each run ends with Run, and the script Run writes is read back in the order it holds.
// Pictures of the editor afterwards are saved for a person.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

class EditorSlideList : public EditorFixture {
protected:
    // Whether slide k of the script Run wrote names the file `longName` of the slide folder
    // (by its short name, with or without extension) or, for "", is a CD track.
    bool slideIs(int k, const std::string& longName) {
        std::string f = profile(folder.file("temp show.avl"), std::to_string(k).c_str(), "F");
        if (longName.empty()) return f.rfind("------------------------------", 0) == 0;
        std::string s = shortName(longName);
        s = s.substr(0, s.rfind('.'));
        CharLowerA(f.data());
        return f.rfind(s, 0) == 0;
    }
    // Short name of a file of the slide folder, in lower case.
    std::string shortName(const std::string& longName) {
        char buf[MAX_PATH] = {};
        GetShortPathNameA((slides + "\\" + longName).c_str(), buf, sizeof buf);
        std::string s = buf;
        s = s.substr(s.rfind('\\') + 1);
        CharLowerA(s.data());
        return s;
    }
};

// Types a number into the value dialog that is about to open and presses Enter.
bool answerValue(const std::string& number) {
    HWND dlg = waitNamed("XScrlDlg", 10000);
    HWND box = dlg ? findNamedIn(dlg, "CustomSetting") : nullptr;
    if (!box) return false;
    waitUntil([box] { return focusedWindowOf(box) == box; }, 5000);
    SendMessageA(box, EM_SETSEL, 0, -1);
    for (char c : number) sendKey(box, c);
    sendKey(box, VK_RETURN);
    return waitClosed(dlg);
}

// Files of the slide folder with sizes, written as a program writes them; false when one
// could not be written.
bool writeSized(const std::string& dir, const std::vector<std::pair<const char*, int>>& files) {
    for (const auto& [name, size] : files) {
        HANDLE f = CreateFileA((dir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        const std::string bytes(static_cast<size_t>(size), 'x');
        DWORD done = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(f);
    }
    return true;
}

// Chooses an item of the slide menu ("Tool&s") by its underlined letter.
bool slideMenu(HWND form, char letter) {
    // The menu window this click opens (a menu window of an earlier menu may still be shown).
    const HWND before = popupMenuWindow();
    PostMessageA(findNamedIn(form, "BtnSort"), BM_CLICK, 0, 0);
    HWND menu = nullptr;
    if (!waitUntil([&] { return (menu = popupMenuWindow()) != nullptr && menu != before; }, 5000)) return false;
    // A key that reaches the menu before its loop runs is lost: pressed again while it stays.
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(letter), 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        PostMessageA(menu, WM_KEYDOWN, static_cast<WPARAM>(letter), static_cast<LPARAM>(1 | (scan << 16)));
        PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(letter - 'A' + 'a'), static_cast<LPARAM>(1 | (scan << 16)));
        if (waitUntil([menu] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 2000)) return true;
    }
    return false;
}

TEST_F(EditorSlideList, MoveEraseFindGoToAndCdTrackThenRun) {
    // Beach, Harbour, Holiday clip, Mountain, Street, Spinning logo.
    openOn(6, true);
    std::vector<std::string> steps;
    std::string findTitle;
    const int32_t r = runEditor([&](HWND form, HWND grid) {
        // Slide 5 to number 2.
        for (int i = 0; i < 4; ++i) sendKey(grid, VK_DOWN);
        PostMessageA(findNamedIn(form, "BtnMove"), BM_CLICK, 0, 0);
        if (!answerValue("2")) return abandonEditor(form);
        steps.push_back("move");
        // Slide 3 (Harbour) erased: no catalogue, so no thumbnail question.
        sendKey(grid, VK_DOWN);
        SendMessageA(findNamedIn(form, "BtnDelete"), BM_CLICK, 0, 0);
        steps.push_back("erase");
        // Find by part of a name: the box, the word, Enter; the first match is enough.
        PostMessageA(findNamedIn(form, "BtnFind"), BM_CLICK, 0, 0);
        HWND box = waitNamed("InputBox", 10000);
        HWND edit = box ? findNamedIn(box, "Value") : nullptr;
        if (!edit) return abandonEditor(form);
        waitUntil([edit] { return focusedWindowOf(edit) == edit; }, 5000);
        for (char c : shortName("Mountain walk.jpg").substr(0, 4)) sendKey(edit, VkKeyScanA(c) & 0xFF);
        // Enter as the keyboard posts it, through the dialog's message loop.
        const UINT scan = MapVirtualKeyA(VK_RETURN, 0);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, static_cast<LPARAM>(1 | (scan << 16)));
        PostMessageA(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u | (scan << 16)));
        findTitle = answerDialog("Find next matching slide?", "No");
        if (windowText(findNamedIn(form, "Fullname")).find("Mountain") == std::string::npos) return abandonEditor(form);
        steps.push_back("find");
        // Go to slide 1 from the slide menu, then a CD track after the last slide.
        if (!slideMenu(form, 'G') || !answerValue("1")) return abandonEditor(form);
        steps.push_back("goto");
        PostMessageA(findNamedIn(form, "BtnCD"), BM_CLICK, 0, 0);
        if (!answerValue("12")) return abandonEditor(form);
        answerDialog("Replace current slide?", "No");
        steps.push_back("cd");
        Sleep(200);
        kit::saveWindowBitmap(form, kit::screensFolder() + "\\editor-slide-list.bmp");
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(steps, (std::vector<std::string>{"move", "erase", "find", "goto", "cd"}));
    EXPECT_EQ(findTitle, "Confirm");
    EXPECT_EQ(r, -1);
    EXPECT_EQ(profile(folder.file("temp show.avl"), "Header", "N"), "7");
    const std::vector<std::string> want = {"Beach at sunset.jpg", "Street parade.mov", "Holiday clip.avi",
                                           "Mountain walk.jpg", "Spinning logo.fli", ""};
    for (int k = 1; k <= 6; ++k) EXPECT_TRUE(slideIs(k, want[static_cast<size_t>(k - 1)])) << "slide " << k;
    EXPECT_EQ(profile(folder.file("temp show.avl"), "6", "X"), "12");
}

TEST_F(EditorSlideList, SortBySizeFromTheSlideMenuThenRun) {
    // The six files with sizes that order them differently from the script (the pictures
    // Beach 500, Harbour 100, Mountain 50 bytes).
    const std::vector<std::pair<const char*, int>> sizes = {
        {"Beach at sunset.jpg", 500}, {"Harbour lights.bmp", 100}, {"Holiday clip.avi", 300},
        {"Mountain walk.jpg", 50},    {"Street parade.mov", 200},  {"Spinning logo.fli", 400}};
    ASSERT_TRUE(writeSized(slides, sizes));
    openOn(6, true);
    bool sorted = false;
    const int32_t r = runEditor([&](HWND form, HWND) {
        // A script without changes is sorted without a question.
        sorted = slideMenu(form, 'Z');
        Sleep(200);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(sorted);
    EXPECT_EQ(r, -1);
    // Pictures by their sizes; the video and animation slides have no tag cell and so no size
    // key: they come before every picture.
    const std::vector<std::string> want = {"Spinning logo.fli", "Street parade.mov", "Holiday clip.avi",
                                           "Mountain walk.jpg", "Harbour lights.bmp", "Beach at sunset.jpg"};
    for (int k = 1; k <= 6; ++k) EXPECT_TRUE(slideIs(k, want[static_cast<size_t>(k - 1)])) << "slide " << k;
}

// A sort taken back with Ctrl+Z typed on the keyboard: Run writes the script in the order it
// was loaded in.
TEST_F(EditorSlideList, SortThenCtrlZThenRunWritesTheLoadedOrder) {
    ASSERT_TRUE(writeSized(slides, {{"Beach at sunset.jpg", 500}, {"Harbour lights.bmp", 100}, {"Holiday clip.avi", 300},
                                    {"Mountain walk.jpg", 50}, {"Street parade.mov", 200}, {"Spinning logo.fli", 400}}));
    const kit::TestScript s = openOn(6, true);
    bool sorted = false, undone = false;
    const int32_t r = runEditor([&](HWND form, HWND grid) {
        const std::string first = gridText(grid);  // the path of slide 1, the current cell
        sorted = slideMenu(form, 'Z') && waitUntil([&] { return gridText(grid) != first; }, 5000);
        RealKeyboard keys;
        keys.down(VK_CONTROL);
        keys.press('Z');
        keys.up(VK_CONTROL);
        undone = waitUntil([&] { return gridText(grid) == first; }, 5000);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
        endedOrAbandoned(form);
    });
    EXPECT_TRUE(sorted);
    EXPECT_TRUE(undone);
    EXPECT_EQ(r, -1);
    for (int k = 1; k <= 6; ++k) EXPECT_TRUE(slideIs(k, s.displayNames[static_cast<size_t>(k - 1)])) << "slide " << k;
}

TEST_F(EditorSlideList, AddAndInsertThroughTheExplorerThenEraseMoveSortFindAndRun) {
    ASSERT_TRUE(writeSized(slides, {{"Alpha beach.jpg", 500}, {"Bravo harbour.jpg", 100}, {"Charlie hill.jpg", 300},
                        {"Delta lake.jpg", 50}, {"Echo street.jpg", 200}, {"Foxtrot tower.jpg", 400}}));
    kit::writeKey("LastDir", kit::shortPath(slides) + "\\");
    kit::writeKey("Win95Tmp", folder.file("kavrin.tmp"));
    std::vector<std::string> steps;
    bool tableShownBehindDialog = true;
    int barMaxAfterAdd = -1;
    Driver user([&] {
        HWND form = waitNamed("EditorForm");
        HWND grid = form ? findNamedIn(form, "Grid") : nullptr;
        if (!grid) return;
        HWND path = findNamedIn(form, "Fullname");
        auto current = [&](const char* word) {
            return waitUntil([&] { return windowText(path).find(word) != std::string::npos; }, 8000);
        };
        // The add-slides dialog: the rows from `first` to `last` chosen with the mouse, OK.
        auto addFrom = [&](const char* button, int first, int last) {
            PostMessageA(findNamedIn(form, button), BM_CLICK, 0, 0);
            HWND dlg = waitNamed("FileForm", 10000);
            HWND list = dlg ? findNamedIn(dlg, "XFiles") : nullptr;
            if (!list || !waitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 6; }, 10000)) return false;
            tableShownBehindDialog = tableShownBehindDialog && IsWindowVisible(grid);
            clickListRow(list, first);
            if (last != first) clickListRow(list, last, MK_SHIFT);
            PostMessageA(findNamedIn(dlg, "BtnOK"), BM_CLICK, 0, 0);
            const bool closed = waitUntil([&] { return !IsWindow(dlg); }, 10000);
            Sleep(300);  // the editor selects and shows the slide it keeps current after the add
            return closed;
        };
        // Alpha to Echo at the end of the empty script, clicked at once as the editor opens,
        // Foxtrot before slide 2. The table's bar takes the five rows once it has painted them.
        if (!addFrom("BtnAdd", 0, 4) || !current("Alpha")) return abandonEditor(form);
        waitUntil([&] { return !GetUpdateRect(grid, nullptr, FALSE); }, 5000);
        SCROLLINFO si{sizeof si, SIF_RANGE};
        if (GetScrollInfo(findNamedIn(grid, "GridVScroll"), SB_CTL, &si)) barMaxAfterAdd = si.nMax;
        steps.push_back("add");
        sendKey(grid, VK_DOWN);
        if (!addFrom("BtnInsert", 5, 5) || !current("Foxtrot")) return abandonEditor(form);
        steps.push_back("insert");
        Sleep(200);
        kit::saveWindowBitmap(form, kit::screensFolder() + "\\editor-added-slides.bmp");
        // A F B C D E: slide 4 (Charlie) erased, then slide 5 (Echo) moved to 2.
        sendKey(grid, VK_DOWN);
        sendKey(grid, VK_DOWN);
        SendMessageA(findNamedIn(form, "BtnDelete"), BM_CLICK, 0, 0);
        if (!current("Delta")) return abandonEditor(form);
        steps.push_back("erase");
        sendKey(grid, VK_DOWN);
        PostMessageA(findNamedIn(form, "BtnMove"), BM_CLICK, 0, 0);
        if (!answerValue("2") || !current("Echo")) return abandonEditor(form);
        steps.push_back("move");
        // The script has changes: the sort asks first.
        if (!slideMenu(form, 'Z') || answerDialog("Slide order will be rearranged.  Continue?", "Yes") != "Confirm")
            return abandonEditor(form);
        steps.push_back("sort");
        // Find by part of Delta's short name.
        waitUntil([] { return !findNamed("MessageDialog"); }, 5000);
        PostMessageA(findNamedIn(form, "BtnFind"), BM_CLICK, 0, 0);
        HWND box = waitNamed("InputBox", 10000);
        HWND edit = box ? findNamedIn(box, "Value") : nullptr;
        if (!edit) return abandonEditor(form);
        waitUntil([edit] { return focusedWindowOf(edit) == edit; }, 5000);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (char c : shortName("Delta lake.jpg").substr(0, 4)) sendKey(edit, VkKeyScanA(c) & 0xFF);
        const UINT enter = MapVirtualKeyA(VK_RETURN, 0);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, static_cast<LPARAM>(1 | (enter << 16)));
        PostMessageA(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u | (enter << 16)));
        if (answerDialog("Find next matching slide?", "No") != "Confirm" || !current("Delta")) return abandonEditor(form);
        steps.push_back("find");
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
    const int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(steps, (std::vector<std::string>{"add", "insert", "erase", "move", "sort", "find"}));
    EXPECT_TRUE(tableShownBehindDialog);
    EXPECT_EQ(barMaxAfterAdd, 5);
    EXPECT_EQ(r, -1);
    // A E F B D sorted by size: Delta 50, Bravo 100, Echo 200, Foxtrot 400, Alpha 500.
    EXPECT_EQ(profile(folder.file("temp show.avl"), "Header", "N"), "6");
    const std::vector<std::string> want = {"Delta lake.jpg", "Bravo harbour.jpg", "Echo street.jpg",
                                           "Foxtrot tower.jpg", "Alpha beach.jpg"};
    for (int k = 1; k <= 5; ++k) EXPECT_TRUE(slideIs(k, want[static_cast<size_t>(k - 1)])) << "slide " << k;
}

// A click on Add given as the editor appears, before its script has loaded, waits for the
// load: the slides added come after the script's, none of which is lost.
TEST_F(EditorSlideList, AddClickedAsTheEditorOpensOnAScriptWaitsForTheLoad) {
    TestScript s = openOn(6, true);
    kit::writeKey("LastDir", kit::shortPath(slides) + "\\");
    kit::writeKey("Win95Tmp", folder.file("kavrin.tmp"));
    Driver user([&] {
        HWND form = waitNamed("EditorForm");
        if (!form) return;
        PostMessageA(findNamedIn(form, "BtnAdd"), BM_CLICK, 0, 0);
        HWND dlg = waitNamed("FileForm", 20000);
        HWND list = dlg ? findNamedIn(dlg, "XFiles") : nullptr;
        if (!list || !waitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }, 10000)) return abandonEditor(form);
        clickListRow(list, 0);
        PostMessageA(findNamedIn(dlg, "BtnOK"), BM_CLICK, 0, 0);
        if (!waitUntil([&] { return !IsWindow(dlg); }, 10000)) return abandonEditor(form);
        Sleep(300);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
    const int32_t r = editorWin95();
    user.join();
    EXPECT_EQ(r, -1);
    EXPECT_EQ(profile(folder.file("temp show.avl"), "Header", "N"), "8");
    for (int k = 1; k <= 6; ++k) EXPECT_TRUE(slideIs(k, s.displayNames[static_cast<size_t>(k - 1)])) << "slide " << k;
    EXPECT_FALSE(profile(folder.file("temp show.avl"), "7", "F").empty());  // the added picture
}

}  // namespace
