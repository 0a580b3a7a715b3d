// Slide attribute editing through the real DLL: the value-entry dialog and the effect and
// colour menus opened from the editor's table by keyboard and mouse, answered in the real
// windows (typing, the scroll bar, the presets, Enter and Esc), the cells read back, and a
// global change carried into the script that Run writes. Pictures of the dialog and menus
// are saved for a person to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

// Slide table columns.
enum { cSlideNo, cFilePath, cParam, cColorValue, cDisplayName, cUseColor, cEffect, cWait, cHorz, cVert, cGamma,
       cZoom, cVolume, cSpeed, cThumb, cTag, cCount };

std::string screensFolder() {
    char buf[MAX_PATH] = {};
    std::string dir = GetEnvironmentVariableA("KV_SCREENS", buf, sizeof buf) ? buf : "out\\screens";
    std::string part;
    for (char c : dir + "\\") {
        if ((c == '\\' || c == '/') && !part.empty()) CreateDirectoryA(part.c_str(), nullptr);
        part += c == '/' ? '\\' : c;
    }
    return dir;
}

bool capture(HWND w, const std::string& name) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    return kit::saveWindowBitmap(w, screensFolder() + "\\" + name);
}

HWND popupMenuWindow() {
    HWND found = nullptr;
    for (HWND w : topWindows()) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32768") == 0) found = w;
    }
    return found;
}

void clickCell(HWND form, HWND grid, int col, int row) {
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, cellPoint(form, grid, col, row));
    SendMessageA(grid, WM_LBUTTONUP, 0, cellPoint(form, grid, col, row));
}

// A double click as the mouse makes it: down, up, double click (posted: it opens a modal
// window), up.
void doubleClickCell(HWND form, HWND grid, int col, int row) {
    clickCell(form, grid, col, row);
    PostMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, cellPoint(form, grid, col, row));
    PostMessageA(grid, WM_LBUTTONUP, 0, cellPoint(form, grid, col, row));
}

// A key that opens a modal window is posted (a sent one would wait for the window to close):
// key down and key up, as the keyboard posts them; the message loop's translation makes the
// character.
void postKey(HWND h, int vk) {
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    PostMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
}

// Keys typed into a window, one character at a time (key down, character, key up).
void typeText(HWND h, const std::string& text) {
    for (char c : text) {
        int vk = VkKeyScanA(c) & 0xFF;
        UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
        SendMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
        SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), static_cast<LPARAM>(1 | (scan << 16)));
        SendMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
    }
}

struct ValueDialogWindows {
    HWND form = nullptr, box = nullptr, bar = nullptr, ok = nullptr, cancel = nullptr, group = nullptr,
         labelMin = nullptr, labelMax = nullptr;
    explicit operator bool() const { return form && box && bar && ok && cancel; }
};

ValueDialogWindows waitValueDialog(DWORD ms = 10000) {
    ValueDialogWindows d;
    d.form = waitNamed("XScrlDlg", ms);
    if (!d.form) return d;
    d.box = findNamedIn(d.form, "CustomSetting");
    d.bar = findNamedIn(d.form, "CustomScrollBar");
    d.ok = findNamedIn(d.form, "BtnOK");
    d.cancel = findNamedIn(d.form, "BtnCancel");
    d.group = findNamedIn(d.form, "GroupOptions");
    d.labelMin = findNamedIn(d.form, "LabelMin");
    d.labelMax = findNamedIn(d.form, "LabelMax");
    // The box has the keyboard focus once the dialog is active.
    waitUntil([&] {
        GUITHREADINFO gi{sizeof gi};
        DWORD tid = GetWindowThreadProcessId(d.form, nullptr);
        return GetGUIThreadInfo(tid, &gi) && gi.hwndFocus == d.box;
    }, 3000);
    return d;
}

bool waitClosed(HWND w, DWORD ms = 10000) {
    return waitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }, ms);
}

int scrollPos(HWND bar) {
    SCROLLINFO si{sizeof si, SIF_POS};
    GetScrollInfo(bar, SB_CTL, &si);
    return si.nPos;
}

class EditorAttributes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr) << "cannot load " << kit::dllPath();
        appDir = folder.path() + "\\App";
        CreateDirectoryA(appDir.c_str(), nullptr);
        slides = folder.path() + "\\Slide files";
        CreateDirectoryA(slides.c_str(), nullptr);
        kit::writeKey("AVLTMP", folder.file("temp show.avl"));
        kit::writeKey("AppDir", appDir);
        // Slides cycle through: 1 picture (Wipe Rt, 5 s), 2 picture, 3 AVI, 4 picture,
        // 5 MOV, 6 FLI, 7 WAV, 8 CD track 7, 9 picture, 10 picture.
        script = writeTestScript(slides, appDir, 10, false);
        kit::writeKey("AVLFIL", script.path);
        kit::writeKey("AVLNOW", script.path);
    }
    void TearDown() override {
        if (HWND left = findNamed("EditorForm")) PostMessageA(left, WM_CLOSE, 0, 0);
    }
    std::string profile(const std::string& file, const char* section, const char* key) {
        char buf[256] = {};
        GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
        return buf;
    }

    kit::TempFolder folder;
    std::string appDir, slides;
    TestScript script;
};

TEST_F(EditorAttributes, DelayByKeyboard_TypingEnterAndEsc) {
    std::string caption, box, lmin, lmax, afterEnter, afterEsc, afterClamp;
    bool presetsShown = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        // Slide 1, three columns right of the file name: the delay (5).
        for (int i = 0; i < 3; ++i) sendKey(grid, VK_RIGHT);
        postKey(grid, VK_RETURN);
        ValueDialogWindows d = waitValueDialog();
        if (!d) return;
        caption = windowText(d.form);
        box = windowText(d.box);
        lmin = windowText(d.labelMin);
        lmax = windowText(d.labelMax);
        presetsShown = d.group && IsWindowVisible(d.group);
        typeText(d.box, "12");
        sendKey(d.box, VK_RETURN);
        waitClosed(d.form);
        afterEnter = gridText(grid);

        // Again with Space; a change, then Esc: nothing changes.
        postKey(grid, VK_SPACE);
        d = waitValueDialog();
        if (!d) return;
        typeText(d.box, "77");
        sendKey(d.box, VK_ESCAPE);
        waitClosed(d.form);
        afterEsc = gridText(grid);

        // 40000 is above the limit: OK gives 32000.
        postKey(grid, VK_RETURN);
        d = waitValueDialog();
        if (!d) return;
        typeText(d.box, "40000");
        click(d.ok);
        waitClosed(d.form);
        afterClamp = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_EQ(caption, "Slide Delay/Wait (secs)");
    EXPECT_EQ(box, "0");  // not the slide's 5
    EXPECT_EQ(lmin, "0");
    EXPECT_EQ(lmax, "32000");
    EXPECT_TRUE(presetsShown);
    EXPECT_EQ(afterEnter, "12");
    EXPECT_EQ(afterEsc, "12");
    EXPECT_EQ(afterClamp, "32000");
}

TEST_F(EditorAttributes, GammaByMouse_ScrollBarPresetsAndNonNumbers) {
    std::string box0, afterLine, afterPage, afterKey, afterBad, afterType, cell, afterEmpty, errorTitle;
    int posAfterType = -1, posOutside = -1, beepsReset = -1;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        // Slide 2 (a picture with gamma 120): a double click on its gamma cell.
        doubleClickCell(form, grid, cGamma, 2);
        ValueDialogWindows d = waitValueDialog();
        if (!d) return;
        box0 = windowText(d.box);
        // The scroll bar's right arrow, then the page area right of the thumb, then the key.
        RECT br;
        GetClientRect(d.bar, &br);
        int arrow = GetSystemMetrics(SM_CXHSCROLL);
        PostMessageA(d.bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(br.right - arrow / 2, br.bottom / 2));
        PostMessageA(d.bar, WM_LBUTTONUP, 0, MAKELPARAM(br.right - arrow / 2, br.bottom / 2));
        waitUntil([&] { return windowText(d.box) != "100"; }, 3000);
        afterLine = windowText(d.box);
        PostMessageA(d.bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(br.right - arrow - 4, br.bottom / 2));
        PostMessageA(d.bar, WM_LBUTTONUP, 0, MAKELPARAM(br.right - arrow - 4, br.bottom / 2));
        waitUntil([&] { return windowText(d.box) != afterLine; }, 3000);
        afterPage = windowText(d.box);
        sendKey(d.bar, VK_LEFT);
        afterKey = windowText(d.box);
        // Typing: a number within the limits moves the scroll bar, one outside does not, and
        // a letter beeps and puts the initial value back.
        SendMessageA(d.box, EM_SETSEL, 0, -1);
        typeText(d.box, "250");
        afterType = windowText(d.box);
        posAfterType = scrollPos(d.bar);
        typeText(d.box, "0");  // 2500
        posOutside = scrollPos(d.bar);
        typeText(d.box, "x");
        afterBad = windowText(d.box);
        beepsReset = scrollPos(d.bar);
        // Preset c: 140, without OK.
        if (HWND c = findNamedIn(d.form, "GroupOptions[2]")) click(c);
        waitClosed(d.form);
        cell = gridText(grid);

        // OK with an empty box: the standard conversion error, then the last valid value.
        doubleClickCell(form, grid, cGamma, 2);
        d = waitValueDialog();
        if (!d) return;
        typeText(d.box, "130");
        SendMessageA(d.box, EM_SETSEL, 0, -1);
        sendKey(d.box, VK_DELETE);
        PostMessageA(d.ok, BM_CLICK, 0, 0);
        errorTitle = answerDialog("'' is not a valid integer value", "OK");
        waitClosed(d.form);
        afterEmpty = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_EQ(box0, "100");
    EXPECT_EQ(afterLine, "101");
    EXPECT_EQ(afterPage, "111");
    EXPECT_EQ(afterKey, "110");
    EXPECT_EQ(afterType, "250");
    EXPECT_EQ(posAfterType, 250);
    EXPECT_EQ(posOutside, 250);
    EXPECT_EQ(afterBad, "100");
    EXPECT_EQ(beepsReset, 100);
    EXPECT_EQ(cell, "140");
    EXPECT_EQ(errorTitle, "Error");
    EXPECT_EQ(afterEmpty, "130");
}

// Alt and a letter as the keyboard sends them to the focused window.
void sendAltKey(HWND h, char letter) {
    const UINT altScan = MapVirtualKeyA(VK_MENU, 0), scan = MapVirtualKeyA(static_cast<UINT>(letter), 0);
    const LPARAM ctx = 1 << 29;  // Alt is down
    SendMessageA(h, WM_SYSKEYDOWN, VK_MENU, static_cast<LPARAM>(1 | (altScan << 16)) | ctx);
    SendMessageA(h, WM_SYSKEYDOWN, static_cast<WPARAM>(letter), static_cast<LPARAM>(1 | (scan << 16)) | ctx);
    SendMessageA(h, WM_SYSCHAR, static_cast<WPARAM>(letter - 'A' + 'a'), static_cast<LPARAM>(1 | (scan << 16)) | ctx);
    SendMessageA(h, WM_SYSKEYUP, static_cast<WPARAM>(letter), static_cast<LPARAM>(0xC0000001u | (scan << 16)) | ctx);
    SendMessageA(h, WM_KEYUP, VK_MENU, static_cast<LPARAM>(0xC0000001u | (altScan << 16)));
}

TEST_F(EditorAttributes, AltKeysChooseAPresetFromTheBoxAndOkFromTheScrollBar) {
    std::string afterPreset, afterOk;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        doubleClickCell(form, grid, cGamma, 1);
        ValueDialogWindows d = waitValueDialog();
        if (!d) return;
        sendAltKey(d.box, 'E');  // "&e = 180"
        waitClosed(d.form);
        afterPreset = gridText(grid);
        doubleClickCell(form, grid, cGamma, 1);
        d = waitValueDialog();
        if (!d) return;
        sendKey(d.bar, VK_RIGHT);  // 101
        sendAltKey(d.bar, 'O');    // "&Ok"
        waitClosed(d.form);
        afterOk = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_EQ(afterPreset, "180");
    EXPECT_EQ(afterOk, "101");
}

TEST_F(EditorAttributes, EffectAndColourMenusByMouseAndKeyboard) {
    std::string effect, colour, loops;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        // Slide 2's effect cell: the effect menu; the third item is "Wipe Up".
        doubleClickCell(form, grid, cEffect, 2);
        HWND menu = nullptr;
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0x00500001);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        Sleep(100);
        effect = gridText(grid);
        // The colour cell by keyboard (Left), Space: the colour menu; "Green" is the fourth.
        sendKey(grid, VK_LEFT);
        postKey(grid, VK_SPACE);
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            for (int i = 0; i < 4; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0x00500001);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        Sleep(100);
        colour = gridText(grid);
        // The AVI's effect cell is its loop count: the dialog, preset b (3).
        doubleClickCell(form, grid, cEffect, 3);
        ValueDialogWindows d = waitValueDialog();
        if (d) {
            if (HWND b = findNamedIn(d.form, "GroupOptions[1]")) click(b);
            waitClosed(d.form);
        }
        loops = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_EQ(effect, "Wipe Up");
    EXPECT_EQ(colour, "Yes");
    EXPECT_EQ(loops, "Loop 3x");
}

TEST_F(EditorAttributes, GlobalGammaAndEffectThenRunWriteTheScript) {
    bool gotDialog = false;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        HWND global = findNamedIn(form, "BtnGlobal");
        // The gamma cell of slide 1, then "&Global": 150 for every picture.
        clickCell(form, grid, cGamma, 1);
        PostMessageA(global, BM_CLICK, 0, 0);
        ValueDialogWindows d = waitValueDialog();
        if (!d) return;
        gotDialog = true;
        typeText(d.box, "150");
        sendKey(d.box, VK_RETURN);
        waitClosed(d.form);
        // The effect cell, "&Global", "Wipe Up" for every picture.
        clickCell(form, grid, cEffect, 1);
        PostMessageA(global, BM_CLICK, 0, 0);
        HWND menu = nullptr;
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0x00500001);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        Sleep(100);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
    int32_t r = editorWin95();
    user.join();
    ASSERT_TRUE(gotDialog);
    EXPECT_EQ(r, -1);
    const std::string tmp = folder.file("temp show.avl");
    for (const char* s : {"1", "2", "4", "9", "10"}) {
        EXPECT_EQ(profile(tmp, s, "G"), "96") << "slide " << s;  // 150
        EXPECT_EQ(profile(tmp, s, "X"), "2") << "slide " << s;   // Wipe Up
    }
    EXPECT_EQ(profile(tmp, "3", "G"), "<none>");
    EXPECT_EQ(profile(tmp, "3", "X"), "1");  // the AVI keeps its loops
    EXPECT_EQ(profile(tmp, "8", "X"), "7");  // the CD track keeps its track
    EXPECT_EQ(profile(tmp, "7", "X"), "0");  // the audio slide its flag (0 after a load)
}

TEST_F(EditorAttributes, PicturesOfTheDialogAndTheMenus) {
    bool withPresets = false, without = false, fxMenu = false, colorMenu = false;
    int heightWith = 0, heightWithout = 0;
    Driver user([&] {
        HWND form = waitEditorLoaded();
        if (!form) return;
        HWND grid = findNamedIn(form, "Grid");
        RECT r;
        // The gamma dialog, with presets.
        doubleClickCell(form, grid, cGamma, 2);
        ValueDialogWindows d = waitValueDialog();
        if (d) {
            GetWindowRect(d.form, &r);
            heightWith = r.bottom - r.top;
            withPresets = capture(d.form, "value-dialog.bmp");
            sendKey(d.box, VK_ESCAPE);
            waitClosed(d.form);
        }
        // The horizontal position's "&User": the dialog without presets.
        doubleClickCell(form, grid, cHorz, 2);
        HWND menu = nullptr;
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            for (int i = 0; i < 3; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0x00500001);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        }
        d = waitValueDialog();
        if (d) {
            GetWindowRect(d.form, &r);
            heightWithout = r.bottom - r.top;
            without = capture(d.form, "value-dialog-no-presets.bmp");
            sendKey(d.box, VK_ESCAPE);
            waitClosed(d.form);
        }
        // The effect and colour menus.
        doubleClickCell(form, grid, cEffect, 2);
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            fxMenu = capture(menu, "editor-effect-menu.bmp");
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        doubleClickCell(form, grid, cUseColor, 2);
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            colorMenu = capture(menu, "editor-colour-menu.bmp");
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            waitUntil([&] { return popupMenuWindow() == nullptr; }, 5000);
        }
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        answerDialog("Discard changes?", "Yes");
    });
    editorWin95();
    user.join();
    EXPECT_TRUE(withPresets);
    EXPECT_TRUE(without);
    EXPECT_TRUE(fxMenu);
    EXPECT_TRUE(colorMenu);
    EXPECT_EQ(heightWith - heightWithout, 78 + 12);
}

}  // namespace
