// The example host of the kit (examples/minimal_host.c), run as its own program and driven
// from here as a person drives it: its buttons clicked, the library's windows it opens
// answered, and its log read back. The program is build\win32\minimal_host.exe, or the one
// named by KV_MINIMAL_HOST (the test command points it at the build made from the package).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_avi.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/kit/kit_script.h"
#include "tests/e2e/test_editor_driver.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

std::string hostProgram() {
    const char* env = std::getenv("KV_MINIMAL_HOST");
    if (env && *env) return env;
    char buf[MAX_PATH] = {};
    std::string p(buf, GetModuleFileNameA(nullptr, buf, MAX_PATH));
    return p.substr(0, p.find_last_of('\\') + 1) + "minimal_host.exe";
}

struct Search {
    DWORD pid;
    const std::string* name;
    const char* cls;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    char c[64] = {};
    GetClassNameA(h, c, sizeof c);
    if (owner != s->pid || !IsWindowVisible(h)) return TRUE;
    if (s->cls ? lstrcmpA(c, s->cls) != 0 : kvName(h) != *s->name) return TRUE;
    s->found = h;
    return FALSE;
}

// A visible top-level window of process `pid` with this automation name (KvName), or of this
// window class.
HWND windowOf(DWORD pid, const std::string& name, const char* cls = nullptr) {
    Search s{pid, &name, cls, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

class MinimalHost : public ::testing::Test {
protected:
    void SetUp() override {
        // The files the explorer shows: a video and two pictures.
        kit::writeTestAvi(folder.file("clip.avi"), {320, 240, 40, 25, false});
        writeTestBitmap(folder.file("beach.bmp"), 64, 48, RGB(30, 90, 200), RGB(250, 200, 60));
        writeTestBitmap(folder.file("harbour.bmp"), 64, 48, RGB(200, 90, 30), RGB(60, 200, 250));
        kit::writeKey("LastDir", kit::shortPath(folder.path()) + "\\");
        kit::writeKey("Win95Tmp", folder.file("kavrin.tmp"));
        kit::flushSettings();

        STARTUPINFOA si{sizeof si};
        std::string command = "\"" + hostProgram() + "\"";
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << "cannot start " << hostProgram();
        waitUntil([&] { return (main = windowOf(pi.dwProcessId, "", "KavrinMinimalHost")) != nullptr; }, 20000);
        ASSERT_NE(main, nullptr) << "the host's window did not show";
        log = FindWindowExA(main, nullptr, "EDIT", nullptr);
    }

    void TearDown() override {
        if (!pi.hProcess) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 9);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    void press(const char* button) { PostMessageA(FindWindowExA(main, nullptr, "BUTTON", button), BM_CLICK, 0, 0); }

    // Waits until the host's log holds `text` (file names in any case).
    bool logged(const std::string& text, DWORD ms = 15000) {
        return waitUntil([&] { return lower(windowText(log)).find(lower(text)) != std::string::npos; }, ms);
    }

    static std::string lower(std::string s) {
        CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
        return s;
    }

    HWND waitWindow(const std::string& name, DWORD ms = 20000) {
        HWND w = nullptr;
        waitUntil([&] { return (w = windowOf(pi.dwProcessId, name)) != nullptr && IsWindowEnabled(w); }, ms);
        return w;
    }

    kit::TempFolder folder{"Kavrin minimal host files"};
    PROCESS_INFORMATION pi{};
    HWND main = nullptr, log = nullptr;
};

TEST_F(MinimalHost, OpensEachWindowAndAnswersEachMessage) {
    kit::WatchdogScope watch("the minimal host", 180000);

    // The editor: opened modally, closed by its Close button; the call returns 0.
    press("&Editor");
    HWND editor = waitWindow("EditorForm");
    ASSERT_NE(editor, nullptr);
    PostMessageA(findNamedIn(editor, "BtnQuit"), BM_CLICK, 0, 0);
    EXPECT_TRUE(logged("EditorWin95 returned 0")) << windowText(log);

    // The explorer window: Enter on the video names it (0x909); on the two pictures marked
    // together it names both from the selection list (0x910).
    press("E&xplorer");
    HWND explorer = waitWindow("FileForm");
    ASSERT_NE(explorer, nullptr);
    HWND list = findNamedIn(explorer, "XFiles");
    ASSERT_TRUE(waitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 3; }, 10000));
    clickListRow(list, 1);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(logged("(clip.avi)")) << windowText(log);
    clickListRow(list, 0);
    clickListRow(list, 2, MK_CONTROL);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(logged("beach.bmp") && logged("harbour.bmp")) << windowText(log);

    // The video: the file the explorer named plays; Grab Frame (Ctrl+M, G) reaches the host as
    // 2323 with the picture's rectangle, and the frame it copies is one of the video's.
    press("&Video");
    EXPECT_TRUE(logged("VideoWinPlayer95 returned 1")) << windowText(log);
    HWND player = waitWindow("VideoForm");
    ASSERT_NE(player, nullptr);
    PostMessageA(player, WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(player, WM_KEYDOWN, 'M', 0);
    HWND menu = nullptr;
    waitUntil([&] { return (menu = windowOf(pi.dwProcessId, "", "#32768")) != nullptr; }, 10000);
    ASSERT_NE(menu, nullptr) << "no options menu";
    PostMessageA(menu, WM_KEYDOWN, 'G', 0);
    PostMessageA(menu, WM_CHAR, 'g', 0);
    PostMessageA(player, WM_KEYUP, VK_CONTROL, 0);
    ASSERT_TRUE(logged("Grabbed 321x240, centre ")) << windowText(log);
    const std::string text = windowText(log);
    const COLORREF centre = std::strtoul(text.substr(text.find(", centre ") + 9, 6).c_str(), nullptr, 16);
    bool aFrame = false;
    for (int k = 0; k < 40; ++k) aFrame = aFrame || kit::colorsNear(centre, kit::aviFrameColor(k), 24);
    EXPECT_TRUE(aFrame) << std::hex << centre;
    // Closed by the user: the host hears 2309.
    PostMessageA(player, WM_CLOSE, 0, 0);
    EXPECT_TRUE(logged("Video player closed")) << windowText(log);

    // The print dialog: Print It has the host draw its page (2322) and end it; the dialog is
    // gone when the host asks.
    press("&Print");
    HWND print = waitWindow("PrintForm");
    ASSERT_NE(print, nullptr);
    PostMessageA(findNamedIn(print, "BtnPrintIt"), BM_CLICK, 0, 0);
    EXPECT_TRUE(logged("; PrintCheck95 0", 30000)) << windowText(log);

    // Closed, the host closes the explorer window with it and ends normally.
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
