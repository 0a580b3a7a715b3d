// Slide attribute editing through the real DLL: the value-entry dialog and the effect and
// colour menus opened from the editor's table by keyboard and mouse, answered in the real
// windows (typing, the scroll bar, the presets, Enter and Esc), the cells read back, and a
// global change carried into the script that Run writes. Pictures of the dialog and menus
// are saved for a person to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

// Slide table columns.
enum { cSlideNo, cFilePath, cParam, cColorValue, cDisplayName, cUseColor, cEffect, cWait, cHorz, cVert, cGamma,
       cZoom, cVolume, cSpeed, cThumb, cTag, cCount };

void clickCell(HWND form, HWND grid, int col, int row) {
    clickGrid(grid, LOWORD(cellPoint(form, grid, col, row)), row);
}

// A double click as the mouse makes it: down, up, double click (posted: it opens a modal
// window), up.
void doubleClickCell(HWND form, HWND grid, int col, int row) {
    clickCell(form, grid, col, row);
    PostMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, cellPoint(form, grid, col, row));
    PostMessageA(grid, WM_LBUTTONUP, 0, cellPoint(form, grid, col, row));
}

int scrollPos(HWND bar) {
    SCROLLINFO si{sizeof si, SIF_POS};
    GetScrollInfo(bar, SB_CTL, &si);
    return si.nPos;
}

// Slides cycle through: 1 picture (Wipe Rt, 5 s), 2 picture, 3 AVI, 4 picture, 5 MOV, 6 FLI,
// 7 WAV, 8 CD track 7, 9 picture, 10 picture.
class EditorAttributes : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        openOn(10, true);
    }
};

TEST_F(EditorAttributes, DelayByKeyboard_TypingEnterAndEsc) {
    std::string caption, box, lmin, lmax, afterEnter, afterEsc, afterClamp;
    bool presetsShown = false;
    runEditor([&](HWND form, HWND grid) {
        // Slide 1, three columns right of the file name: the delay (5).
        for (int i = 0; i < 3; ++i) sendKey(grid, VK_RIGHT);
        postKey(grid, VK_RETURN);
        afterEnter = inValueDialog(grid, [&](ValueDialogWindows& d) {
            caption = windowText(d.form);
            box = windowText(d.box);
            lmin = windowText(d.labelMin);
            lmax = windowText(d.labelMax);
            presetsShown = d.group && IsWindowVisible(d.group);
            typeAndPress(d, "12", VK_RETURN);
        });
        // Again with Space; a change, then Esc: nothing changes.
        postKey(grid, VK_SPACE);
        afterEsc = inValueDialog(grid, [&](ValueDialogWindows& d) { typeAndPress(d, "77", VK_ESCAPE); });
        // 40000 is above the limit: OK gives 32000.
        postKey(grid, VK_RETURN);
        afterClamp = inValueDialog(grid, [&](ValueDialogWindows& d) {
            typeText(d.box, "40000");
            click(d.ok);
        });
        quitDiscarding(form);
    });
    EXPECT_EQ(caption, "Slide Delay/Wait (secs)");
    EXPECT_EQ(box, "0");  // not the slide's 5
    EXPECT_EQ(lmin, "0");
    EXPECT_EQ(lmax, "32000");
    EXPECT_TRUE(presetsShown);
    EXPECT_EQ(afterEnter, "12");
    EXPECT_EQ(afterEsc, "12");
    EXPECT_EQ(afterClamp, "32000");
}

TEST_F(EditorAttributes, GammaByMouse_ScrollBarPresetsNonNumbersAndAltKeys) {
    std::string box0, afterLine, afterPage, afterKey, afterBad, afterType, cell, afterEmpty, errorTitle, afterPreset,
        afterOk;
    int posAfterType = -1, posOutside = -1, beepsReset = -1;
    runEditor([&](HWND form, HWND grid) {
        // Slide 2 (a picture with gamma 120): a double click on its gamma cell.
        doubleClickCell(form, grid, cGamma, 2);
        cell = inValueDialog(grid, [&](ValueDialogWindows& d) {
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
        });
        // OK with an empty box: the standard conversion error, then the last valid value.
        doubleClickCell(form, grid, cGamma, 2);
        afterEmpty = inValueDialog(grid, [&](ValueDialogWindows& d) {
            typeText(d.box, "130");
            SendMessageA(d.box, EM_SETSEL, 0, -1);
            sendKey(d.box, VK_DELETE);
            PostMessageA(d.ok, BM_CLICK, 0, 0);
            errorTitle = answerDialog("'' is not a valid integer value", "OK");
        });
        // Alt and a preset's letter from the box; Alt+O ("&Ok") from the scroll bar.
        doubleClickCell(form, grid, cGamma, 1);
        afterPreset = inValueDialog(grid, [](ValueDialogWindows& d) { sendAltKey(d.box, 'E'); });  // "&e = 180"
        doubleClickCell(form, grid, cGamma, 1);
        afterOk = inValueDialog(grid, [](ValueDialogWindows& d) {
            sendKey(d.bar, VK_RIGHT);  // 101
            sendAltKey(d.bar, 'O');
        });
        quitDiscarding(form);
    });
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
    EXPECT_EQ(afterPreset, "180");
    EXPECT_EQ(afterOk, "101");
}

TEST_F(EditorAttributes, GlobalGammaAndEffectThenRunWriteTheScript) {
    bool gotDialog = false;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        HWND global = findNamedIn(form, "BtnGlobal");
        // The gamma cell of slide 1, then "&Global": 150 for every picture.
        clickCell(form, grid, cGamma, 1);
        PostMessageA(global, BM_CLICK, 0, 0);
        inValueDialog(grid, [&](ValueDialogWindows& d) {
            gotDialog = true;
            typeAndPress(d, "150", VK_RETURN);
        });
        if (!gotDialog) return;
        // The effect cell, "&Global", "Wipe Up" for every picture.
        clickCell(form, grid, cEffect, 1);
        PostMessageA(global, BM_CLICK, 0, 0);
        chooseMenuItem(3);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);
    });
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

// A "&Global" effect change taken back with Ctrl+Z and made again with Ctrl+Y, typed on the
// keyboard: closing asks "Discard changes?" (answered No, then the save dialog left, so the
// editor stays). Ctrl+Z then brings back the script as loaded: closing asks nothing.
TEST_F(EditorAttributes, GlobalEffectUndoneAndRedoneByKeysThenUndoneToTheLoadedScript) {
    bool changed = false, undone = false, redone = false, savedAgain = false, closedQuietly = false;
    std::string asked;
    int32_t r = runEditor([&](HWND form, HWND grid) {
        const auto ctrl = [](int key) {
            RealKeyboard keys;
            keys.down(VK_CONTROL);
            keys.press(key);
            keys.up(VK_CONTROL);
        };
        const auto shows = [grid](const std::string& text) {
            return waitUntil([&] { return gridText(grid) == text; }, 5000);
        };
        clickCell(form, grid, cEffect, 1);
        const std::string loaded = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnGlobal"), BM_CLICK, 0, 0);
        chooseMenuItem(3);
        changed = shows("Wipe Up");
        ctrl('Z');
        undone = shows(loaded);
        ctrl('Y');
        redone = shows("Wipe Up");
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        asked = answerDialog("Discard changes?", "No", 5000);
        savedAgain = cancelSaveDialog();
        Sleep(300);
        ctrl('Z');
        shows(loaded);
        PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
        closedQuietly = waitUntil([form] { return !IsWindow(form); }, 5000) && !findNamed("MessageDialog");
        endedOrAbandoned(form, 1000);
    });
    EXPECT_TRUE(changed);
    EXPECT_TRUE(undone);
    EXPECT_TRUE(redone);
    EXPECT_FALSE(asked.empty()) << "closing after the redo did not ask";
    EXPECT_TRUE(savedAgain);
    EXPECT_TRUE(closedQuietly) << "closing on the script as loaded asked or did not close";
    EXPECT_EQ(r, 0);
}

// The effect and colour menus by mouse and keyboard, the loop count's dialog, and pictures of
// the dialog with and without presets and of the two menus for a person to look at.
TEST_F(EditorAttributes, EffectAndColourMenusByMouseAndKeyboard_PicturesOfTheDialogAndTheMenus) {
    std::string effect, colour, loops;
    bool withPresets = false, without = false, fxMenu = false, colorMenu = false;
    int heightWith = 0, heightWithout = 0;
    runEditor([&](HWND form, HWND grid) {
        // Each dialog's height and picture; Esc closes it.
        auto picture = [&](const char* file, bool& saved, int& height) {
            inValueDialog(grid, [&](ValueDialogWindows& d) {
                RECT r;
                GetWindowRect(d.form, &r);
                height = r.bottom - r.top;
                saved = kit::captureWindow(d.form, file);
                sendKey(d.box, VK_ESCAPE);
            });
        };
        // The gamma dialog, with presets.
        doubleClickCell(form, grid, cGamma, 2);
        picture("value-dialog.bmp", withPresets, heightWith);
        // The horizontal position's "&User": the dialog without presets.
        doubleClickCell(form, grid, cHorz, 2);
        chooseMenuItem(3);
        picture("value-dialog-no-presets.bmp", without, heightWithout);
        // Slide 2's effect cell: the effect menu; the third item is "Wipe Up".
        doubleClickCell(form, grid, cEffect, 2);
        chooseMenuItem(3, 5000, [&](HWND m) { fxMenu = kit::captureWindow(m, "editor-effect-menu.bmp"); });
        effect = gridText(grid);
        // The colour cell by keyboard (Left), Space: the colour menu; "Green" is the fourth.
        sendKey(grid, VK_LEFT);
        postKey(grid, VK_SPACE);
        chooseMenuItem(4, 5000, [&](HWND m) { colorMenu = kit::captureWindow(m, "editor-colour-menu.bmp"); });
        colour = gridText(grid);
        // The AVI's effect cell is its loop count: the dialog, preset b (3).
        doubleClickCell(form, grid, cEffect, 3);
        loops = inValueDialog(grid, [](ValueDialogWindows& d) {
            if (HWND b = findNamedIn(d.form, "GroupOptions[1]")) click(b);
        });
        quitDiscarding(form);
    });
    EXPECT_EQ(effect, "Wipe Up");
    EXPECT_EQ(colour, "Yes");
    EXPECT_EQ(loops, "Loop 3x");
    EXPECT_TRUE(withPresets);
    EXPECT_TRUE(without);
    EXPECT_TRUE(fxMenu);
    EXPECT_TRUE(colorMenu);
    EXPECT_EQ(heightWith - heightWithout, 78 + 12);
}

}  // namespace
