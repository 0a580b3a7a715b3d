// Tags and slide files through the real DLL on real files: three slides tagged by keyboard
// and mouse and viewed (the tag list the host reads, result 2), with a picture of the slide
// menu over the tagged slides; a trash refused for a read-only file and for a file held open,
// then done; the information of a real file; a rename typed into the real input box.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

constexpr int kTagColumn = 15;

class EditorTags : public EditorFixture {
protected:
    std::string longPathOf(const std::string& path) {
        char buf[MAX_PATH] = {};
        GetLongPathNameA(path.c_str(), buf, sizeof buf);
        return buf;
    }
};

TEST_F(EditorTags, ThreeSlidesTaggedByKeyboardAndMouseThenViewed) {
    // Beach (picture), Harbour (picture), Holiday clip (video), Mountain (picture), ...
    openOn(6, true);
    folder.writeFile("App\\tag.lst", "[Count]\r\nN=9\r\n");  // an old list goes first
    std::string tags, videoTag;
    bool menuSaved = false;
    const int32_t r = runEditor([&](HWND form, HWND grid) {
        // The mouse: slide 2's tag cell, the right button released over it.
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, cellPoint(form, grid, kTagColumn, 2));
        SendMessageA(grid, WM_LBUTTONUP, 0, cellPoint(form, grid, kTagColumn, 2));
        SendMessageA(grid, WM_RBUTTONDOWN, MK_RBUTTON, cellPoint(form, grid, kTagColumn, 2));
        SendMessageA(grid, WM_RBUTTONUP, 0, cellPoint(form, grid, kTagColumn, 2));
        tags += gridText(grid);
        // The keyboard: up to slide 1, Alt+T ("&Tag") from the table.
        RealKeyboard keys;
        keys.press(VK_UP);
        waitUntil([&] { return gridText(grid).empty(); }, 3000);
        keys.down(VK_MENU);
        keys.press('T');
        keys.up(VK_MENU);
        waitUntil([&] { return gridText(grid) == "X"; }, 3000);
        tags += gridText(grid);
        // Down to slide 4's tag cell, Space.
        for (int i = 0; i < 3; ++i) keys.press(VK_DOWN);
        waitUntil([&] { return gridText(grid).empty(); }, 3000);
        keys.press(VK_SPACE);
        waitUntil([&] { return gridText(grid) == "X"; }, 3000);
        tags += gridText(grid);
        // Slide 3, the video: no tag to set.
        keys.press(VK_UP);
        waitUntil([&] { return !gridText(grid).empty(); }, 3000);
        keys.press(VK_SPACE);
        Sleep(200);
        videoTag = gridText(grid);
        // The slide menu over the tagged slides, for a person to look at: "Tool&s" opens it
        // where the mouse is.
        RECT fr{};
        GetWindowRect(form, &fr);
        SetCursorPos((fr.left + fr.right) / 2 - 150, fr.top + 120);
        PostMessageA(findNamedIn(form, "BtnSort"), BM_CLICK, 0, 0);
        HWND menu = nullptr;
        if (waitUntil([&] { return (menu = popupMenuWindow()) != nullptr; }, 5000)) {
            Sleep(300);
            menuSaved = kit::saveWindowBitmap(form, {menu}, kit::screensFolder() + "\\editor-tags-menu.bmp");
            keys.press(VK_ESCAPE);
            waitUntil([] { return popupMenuWindow() == nullptr; }, 3000);
        }
        // Alt+W, "Vie&w", with the video current: the list, no question, the editor ends.
        keys.down(VK_MENU);
        keys.press('W');
        keys.up(VK_MENU);
        if (!waitUntil([] { return findNamed("EditorForm") == nullptr; }, 5000)) abandonEditor(form);
    });
    EXPECT_EQ(tags, "XXX");
    EXPECT_EQ(videoTag, "------------------------------");
    EXPECT_TRUE(menuSaved);
    EXPECT_EQ(r, 2);
    const std::string list = appDir + "\\tag.lst";
    ASSERT_EQ(profile(list, "Count", "N"), "3");
    std::string want = "[Count]\r\nN=3\r\n";
    int k = 0;
    for (const char* name : {"Beach at sunset.jpg", "Harbour lights.bmp", "Mountain walk.jpg"}) {
        const std::string f = profile(list, std::to_string(++k).c_str(), "F");
        EXPECT_TRUE(samePath(longPathOf(f), slides + "\\" + name)) << f;
        want += "[" + std::to_string(k) + "]\r\nF=" + f + "\r\n";
    }
    std::string bytes;
    ASSERT_TRUE(kit::readFile(list, bytes));
    EXPECT_EQ(bytes, want);
}

TEST_F(EditorTags, TrashRefusedForReadOnlyAndHeldFilesThenDone) {
    openOn(6, true);
    const std::string harbour = slides + "\\Harbour lights.bmp";
    ASSERT_TRUE(SetFileAttributesA(harbour.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string titles, afterRefusals, afterTrash;
    const int32_t r = runEditor([&](HWND form, HWND grid) {
        sendKey(grid, VK_DOWN);
        auto trash = [&](const char* outcome) {
            PostMessageA(findNamedIn(form, "BtnTrash"), BM_CLICK, 0, 0);
            titles += answerDialog("Harbour lights.bmp\nDelete file ?", "Yes") + "|";
            if (*outcome) titles += answerDialog(outcome, "OK") + "|";
        };
        trash("Access denied.");
        SetFileAttributesA(harbour.c_str(), FILE_ATTRIBUTE_NORMAL);
        // Held open by another program that shares reading only.
        HANDLE held = CreateFileA(harbour.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        trash("Access denied.");
        CloseHandle(held);
        afterRefusals = gridText(grid);
        trash("");
        waitUntil([&] { return gridText(grid) != "Harbour lights.bmp"; }, 3000);
        afterTrash = gridText(grid);
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);  // Run writes the script
    });
    EXPECT_EQ(titles, "Warning|Error|Warning|Error|Warning|");
    EXPECT_EQ(afterRefusals, "Harbour lights.bmp");
    EXPECT_EQ(afterTrash, "Holiday clip.avi");
    EXPECT_FALSE(kit::fileExists(harbour));
    EXPECT_EQ(r, -1);
    EXPECT_EQ(profile(folder.file("temp show.avl"), "Header", "N"), "6");  // five slides and the end marker
}

TEST_F(EditorTags, FileInformationThenARenameInTheInputBox) {
    openOn(6, true);
    const std::string beach = slides + "\\Beach at sunset.jpg";
    folder.writeFile("Slide files\\Beach at sunset.jpg", std::string(1234, 'b'));
    // The text the platform's short date and long time formats give the file's time.
    WIN32_FIND_DATAA fd{};
    FindClose(FindFirstFileA(beach.c_str(), &fd));
    FILETIME local{};
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &st);
    char date[128] = {}, time[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    std::string shortName = kit::shortPath(beach);
    shortName = shortName.substr(shortName.rfind('\\') + 1);
    CharLowerA(shortName.data());
    const std::string info = "Slide: 1\nFile: " + shortName + "\nAlias: Beach at sunset.jpg\nSize: 1234 bytes\nModified: " +
                             date + " " + time;
    std::string infoTitle, renamed, prompt;
    EXPECT_EQ(runEditor([&](HWND form, HWND grid) {
        PostMessageA(findNamedIn(form, "BtnInfo"), BM_CLICK, 0, 0);
        infoTitle = answerDialog(info, "OK");
        // The slide menu by the keyboard (Space on the file name), "&Rename file".
        RealKeyboard keys;
        keys.press(VK_SPACE);
        if (!waitUntil([] { return popupMenuWindow() != nullptr; }, 5000)) return abandonEditor(form);
        keys.press('R');
        HWND box = waitNamed("InputBox", 10000);
        HWND edit = box ? findNamedIn(box, "Value") : nullptr;
        if (!edit) return abandonEditor(form);
        prompt = windowText(box) + "|" + windowText(findNamedIn(box, "Prompt"));
        waitUntil([edit] { return focusedWindowOf(edit) == edit; }, 5000);
        // The box selects its whole text when its activation arrives, which may come after the
        // first typed letter: type again until the box holds the name.
        for (int attempt = 0; attempt < 3 && windowText(edit) != "Sunny beach.jpg"; ++attempt) {
            SendMessageA(edit, EM_SETSEL, 0, -1);
            for (char c : std::string("Sunny beach.jpg")) sendChar(edit, c);
            Sleep(100);
        }
        keys.press(VK_RETURN);
        waitUntil([&] { return findNamed("InputBox") == nullptr; }, 5000);
        waitUntil([&] { return gridText(grid) == "Sunny beach.jpg"; }, 3000);
        renamed = gridText(grid);
        quitDiscarding(form);
    }), 0);
    EXPECT_EQ(infoTitle, "Information");
    EXPECT_EQ(prompt, "Rename File|beach at sunset.jpg");
    EXPECT_EQ(renamed, "Sunny beach.jpg");
    EXPECT_FALSE(kit::fileExists(beach));
    std::string bytes;
    EXPECT_TRUE(kit::readFile(slides + "\\Sunny beach.jpg", bytes));
    EXPECT_EQ(bytes.size(), 1234u);
}

TEST_F(EditorTags, FilesMovedThroughTheMoveDialogUnlessTheNameIsTaken) {
    openOn(6, true);
    const std::string dest = folder.path() + "\\Moved here";
    CreateDirectoryA(dest.c_str(), nullptr);
    folder.writeFile("Moved here\\Harbour lights.bmp", "theirs");
    kit::writeKey("LastDir", dest + "\\");  // the move dialog opens in the last folder
    std::string titles;
    EXPECT_EQ(runEditor([&](HWND form, HWND grid) {
        auto moveCurrent = [&] {
            PostMessageA(findNamedIn(form, "BtnRelocate"), BM_CLICK, 0, 0);
            HWND dlg = waitNamed("FileForm", 10000);
            if (!dlg || !waitUntil([&] { return windowText(dlg) == "Move File to"; }, 5000)) return false;
            PostMessageA(findNamedIn(dlg, "BtnOK"), BM_CLICK, 0, 0);
            return waitUntil([] { return findNamed("FileForm") == nullptr; }, 5000);
        };
        if (!moveCurrent()) return abandonEditor(form);
        sendKey(grid, VK_DOWN);
        if (!moveCurrent()) return abandonEditor(form);
        titles = answerDialog("Destination file exists.", "OK");
        PostMessageA(findNamedIn(form, "BtnTest"), BM_CLICK, 0, 0);  // Run writes the script
    }), -1);
    EXPECT_EQ(titles, "Warning");
    EXPECT_TRUE(kit::fileExists(dest + "\\Beach at sunset.jpg"));
    EXPECT_FALSE(kit::fileExists(slides + "\\Beach at sunset.jpg"));
    std::string theirs;
    EXPECT_TRUE(kit::readFile(dest + "\\Harbour lights.bmp", theirs) && theirs == "theirs");
    EXPECT_TRUE(kit::fileExists(slides + "\\Harbour lights.bmp"));
    // Slide 1 now names the moved file's folder, slide 2 its old one.
    const std::string script = folder.file("temp show.avl");
    auto folderOf = [&](const char* slide) {
        const std::string f = profile(script, slide, "F");
        return longPathOf(profile(script, "Directory", f.substr(f.rfind(',') + 1).c_str()));
    };
    EXPECT_TRUE(samePath(folderOf("1"), dest + "\\"));
    EXPECT_TRUE(samePath(folderOf("2"), slides + "\\"));
}

}  // namespace
