// The explorer through the real DLL: RemoteDlg95 in its modes answered with OK and Cancel by a
// second thread that acts as the user, the keys each writes, the messages it shows, and the
// modeless window (RemoteWin95) driven in a host-style message loop with its notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

int32_t remoteDlg(int32_t mode, int32_t option) {
    auto fn = reinterpret_cast<int32_t(WINAPI*)(int32_t, int32_t)>(kit::exportAddress("RemoteDlg95"));
    return fn ? fn(mode, option) : 0x7FFFFFFF;
}

void callVoid(const char* name) {
    auto fn = reinterpret_cast<void(WINAPI*)()>(kit::exportAddress(name));
    if (fn) fn();
}

void remoteWin(HWND host, int32_t remember) {
    auto fn = reinterpret_cast<void(WINAPI*)(HWND, int32_t)>(kit::exportAddress("RemoteWin95"));
    if (fn) fn(host, remember);
}

// A key of a profile file as a host reads it.
std::string profileOf(const std::string& file, const char* section, const char* key) {
    char buf[300] = {};
    GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
    return buf;
}

// Types into an edit box as the keyboard would leave it: the box's whole text replaced.
void setText(HWND edit, const std::string& t) { SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str())); }

// A user's choice of a drop-down row: the row selected and the parent told.
void chooseRow(HWND combo, int row) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// A click on row i of a list box (with Ctrl: added to the selection).
void clickRow(HWND list, int i, bool ctrl = false) { clickListRow(list, i, ctrl ? MK_CONTROL : 0); }

class ExplorerE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr) << "cannot load " << kit::dllPath();
        // No explorer window of an earlier test stays in the way.
        callVoid("RemoteWinClose95");
        for (HWND w : topWindows())
            if (kvName(w) == "FileForm") PostMessageA(w, WM_CLOSE, 0, 0);
        kit::pumpMessages(100);
        photos = folder.path() + "\\Holiday photos";
        CreateDirectoryA(photos.c_str(), nullptr);
        CreateDirectoryA((photos + "\\Album").c_str(), nullptr);
        kit::writeKey("LastDir", kit::shortPath(photos) + "\\");
        kit::writeKey("SavePath", kit::shortPath(photos) + "\\");
        kit::writeKey("Win95Tmp", folder.file("kavrin.tmp"));
        kit::writeKey("SaveAs", "");
        for (const char* k : {"Savename", "LongName", "SaveExt", "MultiBPP", "Save24", "Save1", "bWinT", "bWinL",
                              "bWinW", "bWinH", "Win95file"})
            kit::deleteKey(k);
        writeIn(photos, "Beach at noon.bmp", "BM");
        writeIn(photos, "show.avl", "[Header]\r\nVer=7\r\nN=1\r\n");
        writeIn(photos, "zz.bmp", "BM");
    }
    void TearDown() override {
        if (HWND left = findNamed("FileForm")) PostMessageA(left, WM_CLOSE, 0, 0);
        kit::pumpMessages(50);
    }
    // Calls RemoteDlg95 on this thread while `user` acts, from the driver thread, on the dialog
    // once it shows (and, when `caption` is given, carries that caption); returns the result.
    int32_t runDialog(int32_t mode, int32_t option, const char* caption, const std::function<void(HWND)>& user) {
        Driver driver([&] {
            HWND form = waitNamed("FileForm");
            if (!form) return;
            if (caption) waitUntil([&] { return windowText(form) == caption; }, 5000);
            user(form);
        });
        kit::WatchdogScope watch("RemoteDlg95", 30000);
        const int32_t r = remoteDlg(mode, option);
        driver.join();
        return r;
    }
    static void writeIn(const std::string& dir, const std::string& name, const std::string& bytes) {
        HANDLE h = CreateFileA((dir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(h);
    }

    // RemoteWin95 for a visible host window that records the notifications (0x911) it gets in
    // `notes`; the window once its list shows the photo folder's four entries, or null.
    HWND openInHost(int32_t remember) {
        if (!hostWindow)
            hostWindow = std::make_unique<kit::HostWindow>(
                [this](UINT m, WPARAM, LPARAM l) {
                    if (m == 0x911) notes.push_back(l);
                    return false;
                },
                true);
        remoteWin(host(), remember);
        HWND form = findNamed("FileForm");
        HWND list = form ? findNamedIn(form, "XFiles") : nullptr;
        // album\, beach, show.avl (*.av?), zz
        if (list) kit::hostLoop([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 4; }, 5000);
        return form;
    }
    HWND host() const { return hostWindow->hwnd(); }

    kit::TempFolder folder;
    std::string photos;
    std::vector<LPARAM> notes;
    std::unique_ptr<kit::HostWindow> hostWindow;
};

TEST_F(ExplorerE2E, EveryModeOpensWithItsCaptionAndCancelReturnsMinusOne) {
    struct Case {
        int32_t mode, option;
        const char* caption;
    };
    const Case cases[] = {{0, 0, "Save File"},          {0, 1, "Save Contact Sheet as"},
                          {24, 0, "Save File"},         {8, 1, "Save Contact Sheet as"},
                          {16, 0, "Save File"},         {4, 0, "Save File"},
                          {1, 0, "Save File"},          {102, 0, "Move File to"},
                          {124, 0, "Convert Multiple Files"}, {252, 0, "Open File for Tiling or Texture"},
                          {253, 0, "Add Multiple Slides"},    {254, 0, "Open Slideshow"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::string caption, cancel;
        EXPECT_EQ(runDialog(c.mode, c.option, c.caption, [&](HWND form) {
            caption = windowText(form);
            HWND exit = findNamedIn(form, "BtnExit");
            cancel = windowText(exit);
            click(exit);
        }), -1);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(cancel, "Cancel");
        EXPECT_TRUE(samePath(kit::readKey("LastDir"), kit::shortPath(photos) + "\\"));
    }
}

TEST_F(ExplorerE2E, SaveFileUnderALongNameWritesTheShortNameAndTheSaveOptions) {
    EXPECT_EQ(runDialog(0, 0, "Save File", [&](HWND form) {
        setText(findNamedIn(form, "Edit1"), "My summer show");
        click(findNamedIn(form, "BtnOK"));
    }), 0);
    EXPECT_EQ(kit::readKey("LongName"), "My summer show.AVL");
    // The short name the platform gave the placeholder (the file itself is for the host).
    const std::string savename = kit::readKey("Savename");
    EXPECT_TRUE(samePath(savename.substr(0, kit::shortPath(photos).size()), kit::shortPath(photos)));
    EXPECT_NE(savename.find('~'), std::string::npos) << savename;
    // The placeholder keeps the long name: writing to the short one replaces it.
    EXPECT_TRUE(kit::fileExists(photos + "\\My summer show.AVL"));
    EXPECT_TRUE(samePath(kit::shortPath(photos + "\\My summer show.AVL"), savename));
    EXPECT_TRUE(samePath(kit::readKey("SavePath"), kit::shortPath(photos) + "\\"));
    EXPECT_EQ(kit::readKey("SaveExt"), ".AVL");
}

TEST_F(ExplorerE2E, TwentyFourBitSaveReturnsTheFormatCodeAndRemembersTheRow) {
    EXPECT_EQ(runDialog(24, 0, nullptr, [&](HWND form) {
        HWND filter = findNamedIn(form, "FilterComboBox1");
        waitUntil([&] { return windowText(filter) == "JPG JPEG/JFIF(Enhanced)"; }, 5000);
        chooseRow(filter, 0);  // BMP Windows BitMaP
        setText(findNamedIn(form, "Edit1"), "picture");
        click(findNamedIn(form, "BtnOK"));
    }), 7);
    EXPECT_EQ(kit::readKey("Save24"), "0");
    EXPECT_EQ(kit::readKey("MultiBPP"), "24");
    EXPECT_EQ(kit::readKey("SaveExt"), ".BMP");
    EXPECT_EQ(kit::readKey("LongName"), "picture.BMP");
}

TEST_F(ExplorerE2E, OverwriteAnsweredNoLeavesTheFileAndTheDialogOpen) {
    std::string title;
    bool stillOpen = false;
    EXPECT_EQ(runDialog(0, 0, "Save File", [&](HWND form) {
        setText(findNamedIn(form, "Edit1"), "show.avl");
        PostMessageA(findNamedIn(form, "BtnOK"), BM_CLICK, 0, 0);
        title = answerDialog("show.avl\nin use.  Overwrite?", "No");
        Sleep(200);
        stillOpen = IsWindowVisible(form) != FALSE;
        click(findNamedIn(form, "BtnExit"));
    }), -1);
    EXPECT_EQ(title, "Confirm");
    EXPECT_TRUE(stillOpen);
    std::string bytes;
    ASSERT_TRUE(kit::readFile(photos + "\\show.avl", bytes));
    EXPECT_EQ(bytes.substr(0, 8), "[Header]");

    // Yes: the file stays for the host to write; the probe written beside it is a file of the
    // dialog's own, and a file of the user's with a probe-like name is left alone.
    writeIn(photos, "~kvprobe.tmp", "mine");
    EXPECT_EQ(runDialog(0, 0, "Save File", [&](HWND form) {
        setText(findNamedIn(form, "Edit1"), "show.avl");
        PostMessageA(findNamedIn(form, "BtnOK"), BM_CLICK, 0, 0);
        answerDialog("show.avl\nin use.  Overwrite?", "Yes");
    }), 0);
    ASSERT_TRUE(kit::readFile(photos + "\\show.avl", bytes));
    EXPECT_EQ(bytes.substr(0, 8), "[Header]");
    ASSERT_TRUE(kit::readFile(photos + "\\~kvprobe.tmp", bytes));
    EXPECT_EQ(bytes, "mine");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((photos + "\\~kvp*.tmp").c_str(), &fd);
    int probes = 0;
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) ++probes;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    EXPECT_EQ(probes, 1);  // the user's
}

TEST_F(ExplorerE2E, OpenSlideshowSaysFileNotFoundThenOpensTheScript) {
    std::string title;
    EXPECT_EQ(runDialog(254, 0, "Open Slideshow", [&](HWND form) {
        HWND edit = findNamedIn(form, "Edit1");
        setText(edit, "missing");
        PostMessageA(findNamedIn(form, "BtnOK"), BM_CLICK, 0, 0);
        title = answerDialog("File not found.", "OK");
        waitUntil([&] { return findNamed("MessageDialog") == nullptr; }, 5000);
        setText(edit, "show");
        click(findNamedIn(form, "BtnOK"));
    }), 0);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(kit::readKey("LongName"), "show.AVL");
    EXPECT_TRUE(samePath(kit::readKey("Savename"), kit::shortPath(photos + "\\show.avl")));
}

TEST_F(ExplorerE2E, AddSlidesWritesTheSelectionListOfTheClickedFiles) {
    EXPECT_EQ(runDialog(253, 0, nullptr, [&](HWND form) {
        HWND list = findNamedIn(form, "XFiles");
        waitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 4; }, 5000);
        // album\, beach at noon.bmp, show.avl, zz.bmp
        clickRow(list, 1);
        clickRow(list, 3, true);
        click(findNamedIn(form, "BtnOK"));
    }), 0);
    const std::string tmp = folder.file("kavrin.tmp");
    EXPECT_EQ(profileOf(tmp, "Directory", "Files"), "2");
    EXPECT_EQ(profileOf(tmp, "1", "F"), kit::shortPath(photos + "\\Beach at noon.bmp").substr(kit::shortPath(photos).size() + 1));
    EXPECT_EQ(profileOf(tmp, "2", "F"), "zz.bmp");
}

TEST_F(ExplorerE2E, MoveConvertAndTilingAnswerWithTheirKeys) {
    // Move: the folder the user is in and the long name of SaveAs.
    kit::writeKey("SaveAs", kit::shortPath(photos + "\\Beach at noon.bmp"));
    EXPECT_EQ(runDialog(102, 0, "Move File to", [&](HWND form) {
        click(findNamedIn(form, "BtnOK"));
    }), 0);
    // The folder as the explorer holds it (its long form) and the long name.
    EXPECT_TRUE(samePath(kit::readKey("Savename"), photos + "\\Beach at noon.bmp"));

    // Convert at 24 bits on "BMP Windows BitMaP": the folder with the placeholder, code 7.
    kit::writeKey("SaveAs", "");
    kit::writeKey("Save24", "0");
    EXPECT_EQ(runDialog(124, 0, "Convert Multiple Files", [&](HWND form) {
        click(findNamedIn(form, "BtnOK"));
    }), 7);
    EXPECT_EQ(kit::readKey("LongName"), "~(_)(_)~.BMP");
    EXPECT_EQ(kit::readKey("MultiBPP"), "24");
    EXPECT_EQ(kit::readKey("SaveExt"), ".BMP");
    EXPECT_FALSE(kit::fileExists(photos + "\\~(_)(_)~.BMP"));  // the placeholder stands for no file

    // Tiling: the clicked file.
    EXPECT_EQ(runDialog(252, 0, nullptr, [&](HWND form) {
        HWND list = nullptr;
        waitUntil([&] {
            list = findNamedIn(form, "XFiles");
            return windowText(form) == "Open File for Tiling or Texture" && SendMessageA(list, LB_GETCOUNT, 0, 0) == 3;
        }, 5000);  // album\, beach, zz
        clickRow(list, 2);
        click(findNamedIn(form, "BtnOK"));
    }), 0);
    EXPECT_EQ(kit::readKey("LongName"), "zz.bmp");
    EXPECT_TRUE(samePath(kit::readKey("Savename"), kit::shortPath(photos + "\\zz.bmp")));
}

TEST_F(ExplorerE2E, JpegCompressionWritesItsKeysOnOk) {
    for (const char* k : {"SaveYUV", "SaveJPG", "SavePIC", "SaveCMP"}) kit::deleteKey(k);
    std::string luma, caption;
    EXPECT_EQ(runDialog(24, 0, nullptr, [&](HWND form) {
        HWND jpeg = findNamedIn(form, "BtnJPEG");
        waitUntil([&] { return jpeg && IsWindowVisible(jpeg); }, 5000);  // 24 bits starts on Enhanced JPEG
        PostMessageA(jpeg, BM_CLICK, 0, 0);
        HWND dlg = waitNamed("UserCompress");
        if (!dlg) return;
        caption = windowText(dlg);
        HWND edit = findNamedIn(dlg, "LumaEdit");
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("300"));  // clamped to 255
        luma = windowText(edit);
        click(findNamedIn(dlg, "BtnOK"));
        waitUntil([&] { return !findNamed("UserCompress") && IsWindowEnabled(form); }, 5000);
        click(findNamedIn(form, "BtnExit"));
    }), -1);
    EXPECT_EQ(caption, "Compression Setting");
    EXPECT_EQ(luma, "255");
    EXPECT_EQ(kit::readKey("SaveJPG"), "255");
    EXPECT_EQ(kit::readKey("SavePIC"), "12");
    EXPECT_EQ(kit::readKey("SaveYUV"), "0");
    EXPECT_EQ(kit::readKey("SaveCMP"), "0");
}

// ---- the modeless window in a host's loop ------------------------------------------------------

using kit::hostLoop;

TEST_F(ExplorerE2E, WindowLivesInTheHostsLoopAndNotifiesTheHost) {
    kit::WatchdogScope watch("RemoteWin95", 60000);
    HWND form = openInHost(1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(windowText(form), "Kavrin Explorer");
    HWND list = findNamedIn(form, "XFiles");
    // The library's own dialog runs while the window is open (as the editor's Open does),
    // cancelled and then confirmed; all below still holds for the window.
    for (bool confirm : {false, true}) {
        Driver user([&] {
            HWND dlg = nullptr;
            waitUntil([&] {
                for (HWND w : topWindows())
                    if (w != form && kvName(w) == "FileForm" && windowText(w) == "Open Slideshow" && IsWindowEnabled(w))
                        dlg = w;
                return dlg != nullptr;
            }, 10000);
            if (!dlg) return;
            if (confirm) setText(findNamedIn(dlg, "Edit1"), "show.avl");
            PostMessageA(findNamedIn(dlg, confirm ? "BtnOK" : "BtnExit"), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(remoteDlg(254, 0), confirm ? 0 : -1);
        user.join();
    }
    EXPECT_TRUE(IsWindowVisible(form));
    // Activation reaches the host as 17.
    SetActiveWindow(host());
    SetActiveWindow(form);
    hostLoop([&] { return !notes.empty(); }, 3000);
    EXPECT_NE(std::find(notes.begin(), notes.end(), 17), notes.end());
    notes.clear();

    // Tab goes from the list to the filter box; Enter on a file opens it.
    SetFocus(list);
    PostMessageA(list, WM_KEYDOWN, VK_TAB, 0);
    hostLoop([&] { return GetFocus() != list; }, 3000);
    EXPECT_EQ(kvName(GetFocus()), "FilterComboBox1");
    SetFocus(list);
    clickRow(list, 1);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    hostLoop([&] { return !notes.empty(); }, 3000);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back(), 0x909);
    EXPECT_EQ(kit::readKey("LongName"), "beach at noon.bmp");
    EXPECT_TRUE(samePath(kit::readKey("Win95file"), kit::shortPath(photos + "\\Beach at noon.bmp")));
    notes.clear();
    clickRow(list, 2, true);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    hostLoop([&] { return !notes.empty(); }, 3000);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back(), 0x910);
    // The host's update selects the row before the current one.
    clickRow(list, 2);
    callVoid("RemoteWinUpdate95");
    EXPECT_EQ(windowText(findNamedIn(form, "Edit1")), "beach at noon.bmp");

    // Hide, show again (the same window), then close: the rectangle and LastDir are saved.
    callVoid("RemoteWinHide95");
    EXPECT_FALSE(IsWindowVisible(form));
    remoteWin(host(), 1);
    EXPECT_TRUE(IsWindowVisible(form));
    const auto explorers = topWindows();
    EXPECT_EQ(std::count_if(explorers.begin(), explorers.end(), [](HWND w) { return kvName(w) == "FileForm"; }), 1);
    RECT r{};
    GetWindowRect(form, &r);
    callVoid("RemoteWinClose95");
    hostLoop([&] { return !IsWindow(form); }, 3000);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(kit::readIntKey("bWinL", -1), r.left);
    EXPECT_EQ(kit::readIntKey("bWinW", -1), r.right - r.left);
    EXPECT_TRUE(samePath(kit::readKey("LastDir"), kit::shortPath(photos) + "\\"));

    // The remembered rectangle comes back at the next opening.
    remoteWin(host(), 1);
    HWND again = findNamed("FileForm");
    ASSERT_NE(again, nullptr);
    RECT r2{};
    GetWindowRect(again, &r2);
    EXPECT_EQ(r2.left, r.left);
    EXPECT_EQ(r2.right - r2.left, r.right - r.left);
    PostMessageA(findNamedIn(again, "XFiles"), WM_KEYDOWN, VK_ESCAPE, 0);
    hostLoop([&] { return !IsWindow(again); }, 3000);
    EXPECT_FALSE(IsWindow(again));
}

// ---- the file menu of the window ------------------------------------------------------------

// The file menu opened with F10 and an item chosen by its underlined letter, as from the keyboard.
bool fileMenu(RealKeyboard& keys, char letter) {
    keys.press(VK_F10);
    if (!waitUntil([] { return popupMenuWindow() != nullptr; }, 5000)) return false;
    keys.press(letter);
    return waitUntil([] { return popupMenuWindow() == nullptr; }, 5000);
}

// Home, then Shift+End: from the first row (or character) to the last.
void selectToEnd(RealKeyboard& keys) {
    keys.press(VK_HOME);
    keys.down(VK_SHIFT);
    keys.press(VK_END);
    keys.up(VK_SHIFT);
}

// The keys pressed while the window's file menu is open are the menu's: Esc closes the menu
// only, the arrows move in the menu and not in the list behind it, and Enter runs the chosen
// item once.
TEST_F(ExplorerE2E, KeysInTheWindowsMenuAreTheMenus) {
    kit::WatchdogScope watch("explorer menu keys", 60000);
    HWND form = openInHost(0);
    ASSERT_NE(form, nullptr);
    HWND list = findNamedIn(form, "XFiles");
    SetForegroundWindow(form);
    SetFocus(list);
    clickRow(list, 1);  // beach at noon.bmp
    hostLoop([] { return false; }, 300);
    notes.clear();
    bool escMenu = false, openAfterEsc = false, chosen = false, finished = false;
    Driver user([&] {
        RealKeyboard keys;
        auto menuShown = [] { return popupMenuWindow() != nullptr; };
        auto menuGone = [] { return popupMenuWindow() == nullptr; };
        keys.press(VK_F10);
        if (waitUntil(menuShown, 5000)) {
            keys.press(VK_ESCAPE);
            escMenu = waitUntil(menuGone, 5000);
            Sleep(300);
            openAfterEsc = IsWindowVisible(form) != FALSE;
        }
        // "Up One &Level", then "&Open" (below the separator).
        keys.press(VK_F10);
        if (waitUntil(menuShown, 5000)) {
            keys.press(VK_DOWN);
            keys.press(VK_DOWN);
            keys.press(VK_RETURN);
            chosen = waitUntil(menuGone, 5000);
            Sleep(500);
        }
        finished = true;
    });
    hostLoop([&] { return finished; }, 50000);
    user.join();
    EXPECT_TRUE(escMenu);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_TRUE(chosen);
    EXPECT_EQ(notes, (std::vector<LPARAM>{0x909}));
    EXPECT_EQ(kit::readKey("LongName"), "beach at noon.bmp");
    EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 1);
    callVoid("RemoteWinClose95");
    hostLoop([&] { return !IsWindow(form); }, 3000);
}

TEST_F(ExplorerE2E, FileMenuConvertsShowsAndRenamesWhatTheUserMarked) {
    kit::WatchdogScope watch("explorer file menu", 90000);
    HWND form = openInHost(0);
    ASSERT_NE(form, nullptr);
    HWND list = findNamedIn(form, "XFiles");
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    SetForegroundWindow(form);
    SetFocus(list);
    hostLoop([] { return false; }, 300);
    notes.clear();  // the activation (17)
    const std::string tmp = folder.file("kavrin.tmp");
    const std::string shortDir = kit::shortPath(photos) + "\\";
    const std::string beach = kit::shortPath(photos + "\\Beach at noon.bmp").substr(shortDir.size());

    std::vector<std::string> done;
    std::vector<LPARAM> afterConvert, afterShow;
    std::vector<std::string> listed, shown;
    std::string caption, prompt, preset;
    bool finished = false;
    // What the host reads of the file, key by key.
    auto hostReads = [&](std::initializer_list<std::pair<const char*, const char*>> keys) {
        std::vector<std::string> v;
        for (const auto& [section, key] : keys) v.push_back(profileOf(tmp, section, key));
        return v;
    };
    Driver user([&] {
        RealKeyboard keys;
        // Every row by the keyboard (the folder too); Convert leaves the folder out.
        selectToEnd(keys);
        if (fileMenu(keys, 'C') && waitUntil([&] { return !notes.empty(); }, 5000)) {
            afterConvert = notes;
            listed = hostReads({{"Directory", "Files"}, {"Directory", "Name"}, {"1", "F"}, {"3", "F"}});
            done.push_back("convert");
        }
        // Two files by the mouse, the second with Ctrl: the instant slideshow of them.
        clickRow(list, 1);
        clickRow(list, 3, true);
        Sleep(200);
        kit::saveWindowBitmap(form, kit::screensFolder() + "\\explorer-marked.bmp");
        if (fileMenu(keys, 'S') && waitUntil([&] { return notes.size() > afterConvert.size(); }, 5000)) {
            afterShow = notes;
            shown = hostReads({{"Header", "N"}, {"1", "F"}, {"2", "F"}, {"Directory", "0"}});
            done.push_back("slideshow");
        }
        // zz.bmp renamed through the box: its text replaced by typing, Enter.
        clickRow(list, 3);
        if (fileMenu(keys, 'E')) {
            HWND box = waitNamed("InputBox", 10000);
            HWND edit = box ? findNamedIn(box, "Value") : nullptr;
            if (edit && waitUntil([edit] { return focusedWindowOf(edit) == edit; }, 5000)) {
                caption = windowText(box);
                prompt = windowText(findNamedIn(box, "Prompt"));
                preset = windowText(edit);
                Sleep(200);
                kit::saveWindowBitmap(box, kit::screensFolder() + "\\explorer-rename.bmp");
                selectToEnd(keys);
                for (char c : std::string("renamed.bmp")) keys.press(VkKeyScanA(c) & 0xFF);
                keys.press(VK_RETURN);
                if (waitUntil([&] { return !findNamed("InputBox") && kit::fileExists(photos + "\\renamed.bmp"); }, 5000))
                    done.push_back("rename");
            }
            if (HWND left = findNamed("InputBox")) PostMessageA(left, WM_CLOSE, 0, 0);
        }
        finished = true;
    });
    hostLoop([&] { return finished; }, 80000);
    user.join();
    EXPECT_EQ(done, (std::vector<std::string>{"convert", "slideshow", "rename"}));
    EXPECT_EQ(afterConvert, (std::vector<LPARAM>{0x908}));
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_TRUE(samePath(listed[1], shortDir));
    listed[1] = "";
    EXPECT_EQ(listed, (std::vector<std::string>{"3", "", beach, "zz.bmp"}));
    EXPECT_EQ(afterShow, (std::vector<LPARAM>{0x908, 0x907}));
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(samePath(shown[3], shortDir));
    shown[3] = "";
    EXPECT_EQ(shown, (std::vector<std::string>{"3", beach + ",0", "zz.bmp,0", ""}));
    EXPECT_EQ(caption, "Rename File");
    const std::string D = photos + "\\";
    EXPECT_TRUE(samePath(prompt.substr(0, 40), D.substr(0, 40)));
    EXPECT_EQ(prompt.substr(40), " ...");
    EXPECT_EQ(preset, "zz.bmp");
    EXPECT_FALSE(kit::fileExists(photos + "\\zz.bmp"));
    std::string inFolder;  // what the folder holds, should the count be wrong
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((photos + "\\*").c_str(), &fd);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) inFolder += std::string(fd.cFileName) + "|";
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4) << inFolder;  // listed again under the new name
    callVoid("RemoteWinClose95");
    hostLoop([&] { return !IsWindow(form); }, 3000);
}

// The boxes of "Save File" and "Open Slideshow" by the keyboard: from every control that can
// have the focus (reached with Tab, the name box after the list), Alt+T stays (the filter box
// is disabled in these modes), Alt+N goes to the name box and Alt+I to the drive/folder box.
TEST_F(ExplorerE2E, LabelsLettersAndTabReachTheNameBox) {
    for (auto [mode, caption] : {std::pair{0, "Save File"}, {254, "Open Slideshow"}}) {
        SCOPED_TRACE(caption);
        std::vector<std::string> seen;
        const int32_t r = runDialog(mode, 0, caption, [&](HWND form) {
            if (!waitUntil([&] { return focusedWindowOf(form) != nullptr; }, 5000)) return;
            RealKeyboard keys;
            auto focusName = [&] {
                Sleep(150);
                return kvName(focusedWindowOf(form));
            };
            auto alt = [&](char letter) {
                keys.down(VK_MENU);
                keys.press(letter);
                keys.up(VK_MENU);
                return focusName();
            };
            for (int k = 0; k < 5; ++k) {
                for (char letter : {'T', 'N', 'I'}) {
                    alt('I');
                    for (int i = 0; i < k; ++i) keys.press(VK_TAB);
                    const std::string from = focusName();
                    seen.push_back(from + " " + letter + " " + alt(letter));
                }
            }
            click(findNamedIn(form, "BtnExit"));
        });
        EXPECT_EQ(r, -1);
        std::vector<std::string> expected;
        for (const char* from : {"LookBox", "XFiles", "Edit1", "BtnOK", "BtnExit"})
            for (auto [letter, to] : {std::pair{'T', from}, {'N', "Edit1"}, {'I', "LookBox"}})
                expected.push_back(std::string(from) + " " + letter + " " + to);
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(ExplorerE2E, ConvertDialogShowsTheHostsInputFilesAndEscGoesBack) {
    // The list the host wrote before opening the dialog, key by key.
    const std::string tmp = folder.file("kavrin.tmp");
    DeleteFileA(tmp.c_str());
    WritePrivateProfileStringA("Directory", "Files", "3", tmp.c_str());
    for (const char* k : {"1", "2", "3"}) WritePrivateProfileStringA(k, "F", (std::string("PICTURE") + k + ".BMP").c_str(), tmp.c_str());
    WritePrivateProfileStringA("Directory", "Name", (kit::shortPath(photos) + "\\").c_str(), tmp.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, tmp.c_str());
    int rows = -1;
    bool shown = false, back = false;
    Driver user([&] {
        HWND form = waitNamed("FileForm");
        if (!form || !waitUntil([&] { return windowText(form) == "Convert Multiple Files"; }, 5000)) return;
        HWND files = findNamedIn(form, "XFiles");
        HWND inputs = findNamedIn(form, "InputList");
        waitUntil([&] { return focusedWindowOf(form) != nullptr; }, 3000);
        RealKeyboard keys;
        if (fileMenu(keys, 'V') && waitUntil([&] { return IsWindowVisible(inputs) != FALSE; }, 3000)) {
            shown = !IsWindowVisible(files);
            rows = static_cast<int>(SendMessageA(inputs, LB_GETCOUNT, 0, 0));
            Sleep(200);
            kit::saveWindowBitmap(form, kit::screensFolder() + "\\explorer-input-files.bmp");
            keys.press(VK_ESCAPE);
            back = waitUntil([&] { return IsWindowVisible(files) && !IsWindowVisible(inputs); }, 3000);
        }
        click(findNamedIn(form, "BtnExit"));
    });
    kit::WatchdogScope watch("RemoteDlg95 input files", 30000);
    EXPECT_EQ(remoteDlg(124, 0), -1);
    user.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(back);
}

}  // namespace
