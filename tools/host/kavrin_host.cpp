// The reference host: a small window that loads w95KVR07.dll, calls its exports, logs every
// notification the library sends back and shows the settings keys a call wrote.
//
//   kavrin-host.exe               interactive
//   kavrin-host.exe /tour <dir>   runs the scripted tour and saves a picture of every window
//                                 it shows into <dir> (Windows bitmaps), then exits
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "include/kavrin.h"
#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_script.h"
#include "tools/host/editor_action.h"
#include "tools/host/grab_view.h"

namespace kit = kv::kit;

namespace {

constexpr UINT MsgCallPrintEnd = WM_APP + 1;

enum : int { IdLog = 100, IdKeys, IdKeyEdit, IdValueEdit, IdWriteKey, IdModeEdit, IdOptionEdit, IdFirstAction = 200 };

HWND g_main, g_log, g_keys, g_keyEdit, g_valueEdit, g_modeEdit, g_optionEdit;

int editNumber(HWND edit, int def) {
    char b[32] = {};
    if (!edit || !GetWindowTextA(edit, b, sizeof b)) return def;
    return std::atoi(b);
}
std::map<std::string, std::string> g_lastEntries;

void log(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (!g_log) return;
    const LRESULT i = SendMessageA(g_log, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(g_log, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
}

std::string hex(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%X", v);
    return b;
}

std::map<std::string, std::string> entries() {
    std::map<std::string, std::string> m;
    for (const std::string& e : kit::sectionEntries()) {
        const size_t eq = e.find('=');
        m[e.substr(0, eq)] = eq == std::string::npos ? std::string() : e.substr(eq + 1);
    }
    return m;
}

// Shows the [kavrin] section and logs the keys that changed since the last look.
void showKeys(const std::string& after) {
    kit::flushSettings();
    const std::map<std::string, std::string> now = entries();
    for (const auto& [k, v] : now) {
        auto it = g_lastEntries.find(k);
        if (it == g_lastEntries.end() || it->second != v) log("   " + after + " wrote " + k + "=" + v);
    }
    for (const auto& [k, v] : g_lastEntries)
        if (!now.count(k)) log("   " + after + " removed " + k);
    g_lastEntries = now;
    if (!g_keys) return;
    SendMessageA(g_keys, LB_RESETCONTENT, 0, 0);
    for (const std::string& e : kit::sectionEntries())
        SendMessageA(g_keys, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
}

// ---- the exports ---------------------------------------------------------------------------

// The DLL is loaded from this program's folder (or KV_DLL), so its exports are reached through
// the header's pointer types.
using Fn0 = KavrinIntProc;
using FnRemoteWin = KavrinRemoteWinProc;
using FnRemoteDlg = KavrinRemoteDlgProc;
using FnVideo = KavrinVideoPlayerProc;
using FnPrint = KavrinPrintDlgProc;

template <class F>
F fn(const char* name) {
    return reinterpret_cast<F>(kit::exportAddress(name));
}

struct Action {
    const char* label;
    std::function<std::string()> run;  // calls the export, returns its result as text
};

std::string callNoArgs(const char* name, bool hasResult) {
    Fn0 f = fn<Fn0>(name);
    if (!f) return "not exported";
    const int32_t r = f();
    return hasResult ? std::to_string(r) : "done";
}

std::vector<Action> actions() {
    return {
        {"Editor", [] { return kv::host::editorAction(); }},
        {"Explorer", [] {
             auto f = fn<FnRemoteWin>("RemoteWin95");
             if (!f) return std::string("not exported");
             f(g_main, 1);
             return std::string("done");
         }},
        {"Explorer close", [] { return callNoArgs("RemoteWinClose95", false); }},
        {"Explorer hide", [] { return callNoArgs("RemoteWinHide95", false); }},
        {"Explorer update", [] { return callNoArgs("RemoteWinUpdate95", false); }},
        {"Open dialog", [] {
             auto f = fn<FnRemoteDlg>("RemoteDlg95");
             return f ? std::to_string(f(KAVRIN_DLG_OPEN_SLIDESHOW, 0)) : std::string("not exported");
         }},
        {"Save dialog", [] {
             auto f = fn<FnRemoteDlg>("RemoteDlg95");
             return f ? std::to_string(f(KAVRIN_DLG_SAVE, 0)) : std::string("not exported");
         }},
        {"Dialog (mode, option)", [] {
             // Any mode of the explorer dialog: 0, 1, 4, 8, 16, 24 save; 102 move; 101..124
             // convert; 252 tiling; 253 add slides; 254 open slideshow.
             auto f = fn<FnRemoteDlg>("RemoteDlg95");
             const int mode = editNumber(g_modeEdit, 24), option = editNumber(g_optionEdit, 0);
             log("   mode " + std::to_string(mode) + ", option " + std::to_string(option));
             return f ? std::to_string(f(mode, option)) : std::string("not exported");
         }},
        {"Video", [] {
             auto f = fn<FnVideo>("VideoWinPlayer95");
             return f ? std::to_string(f(g_main, KAVRIN_PLAY_NORMAL, 0)) : std::string("not exported");
         }},
        {"Video status", [] { return callNoArgs("VideoWinStatus95", true); }},
        {"Video close", [] { return callNoArgs("VideoWinClose95", false); }},
        {"Print", [] {
             auto f = fn<FnPrint>("PrintDlg95");
             if (!f) return std::string("not exported");
             f(g_main, 640, 480, 0);
             return std::string("done");
         }},
        {"Print end", [] { return callNoArgs("PrintEnd95", false); }},
        {"Print check", [] { return callNoArgs("PrintCheck95", true); }},
        {"Short to long", [] { return callNoArgs("ShortToLongName95", false); }},
        {"Rename short", [] { return callNoArgs("RenameShort2Long95", false); }},
        {"Free page mem", [] {
             auto f = fn<Fn0>("GetFreePageMem95");
             return f ? std::to_string(static_cast<uint32_t>(f())) : std::string("not exported");
         }},
        {"GDI flush", [] { return callNoArgs("GDIflush95", true); }},
    };
}

const std::vector<Action>& allActions() {
    static const std::vector<Action> a = actions();
    return a;
}

void runAction(size_t i) {
    const Action& a = allActions().at(i);
    log("-> " + std::string(a.label));
    const std::string result = a.run();
    log("   result " + result);
    showKeys(a.label);
}

// ---- notifications -------------------------------------------------------------------------

std::string explorerRequest(LPARAM code) {
    switch (code) {
        case KAVRIN_REQ_INFO: return "show information on Win95file";
        case KAVRIN_REQ_PREVIEW: return "preview Win95file";
        case KAVRIN_REQ_DELETE: return "delete Win95file";
        case KAVRIN_REQ_SLIDESHOW: return "play the instant slideshow";
        case KAVRIN_REQ_CONVERT: return "convert the files of the selection list";
        case KAVRIN_REQ_OPEN_ONE: return "open Win95file";
        case KAVRIN_REQ_OPEN_LIST: return "open the files of the selection list";
        case KAVRIN_REQ_ACTIVATED: return "explorer window activated";
        default: return "unknown request";
    }
}

// Draws the picture the print layout was opened for (the BMP key) where the layout asks for
// it; a stand-in (a crossed frame) when there is none.
void drawPage(HDC dc) {
    const int l = kit::readIntKey(KAVRIN_KEY_PR_LEFT, 0), t = kit::readIntKey(KAVRIN_KEY_PR_TOP, 0);
    const int w = kit::readIntKey(KAVRIN_KEY_PR_WIDTH, 0), h = kit::readIntKey(KAVRIN_KEY_PR_HEIGHT, 0);
    const std::string bmp = kit::readKey(KAVRIN_KEY_BMP);
    if (bmp.empty() || !kit::drawPictureFile(dc, bmp, l, t, w, h)) {
        Rectangle(dc, l, t, l + w, t + h);
        MoveToEx(dc, l, t, nullptr);
        LineTo(dc, l + w, t + h);
        MoveToEx(dc, l + w, t, nullptr);
        LineTo(dc, l, t + h);
    }
    log("   drew " + (bmp.empty() ? std::string("a stand-in") : bmp) + " at " + std::to_string(l) + "," +
        std::to_string(t) + " size " + std::to_string(w) + "x" + std::to_string(h));
}

LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case KAVRIN_MSG_EXPLORER: {
            log("<- 2321 lParam " + hex(static_cast<uint32_t>(lp)) + ": " + explorerRequest(lp));
            if (lp == KAVRIN_REQ_OPEN_ONE || lp == KAVRIN_REQ_INFO || lp == KAVRIN_REQ_PREVIEW || lp == KAVRIN_REQ_DELETE)
                log("   Win95file=" + kit::readKey(KAVRIN_KEY_WIN95_FILE) + "  LongName=" + kit::readKey(KAVRIN_KEY_LONG_NAME));
            if (lp == KAVRIN_REQ_OPEN_LIST || lp == KAVRIN_REQ_CONVERT || lp == KAVRIN_REQ_SLIDESHOW) {
                const std::string list = kit::readKey(KAVRIN_KEY_WIN95_TMP, "c:\\kavrin.tmp");
                char n[32] = {}, dir[300] = {};
                GetPrivateProfileStringA(KAVRIN_LIST_SECTION, KAVRIN_LIST_COUNT, "?", n, sizeof n, list.c_str());
                GetPrivateProfileStringA(KAVRIN_LIST_SECTION, KAVRIN_LIST_FOLDER, "?", dir, sizeof dir, list.c_str());
                log("   " + list + ": Files=" + n + "  Name=" + dir);
            }
            showKeys("explorer");
            return 0;
        }
        case KAVRIN_MSG_PRINT_PAGE:
            log("<- 2322 page DC " + hex(static_cast<uint32_t>(lp)) + ": print the picture");
            drawPage(reinterpret_cast<HDC>(lp));
            PostMessageA(w, MsgCallPrintEnd, 0, 0);
            return 0;
        case KAVRIN_MSG_GRAB_FRAME:
            log("<- 2323 player DC " + hex(static_cast<uint32_t>(lp)) + ": grab the frame at " +
                kit::readKey(KAVRIN_KEY_PR_LEFT) + "," + kit::readKey(KAVRIN_KEY_PR_TOP) + " size " +
                kit::readKey(KAVRIN_KEY_PR_WIDTH) + "x" + kit::readKey(KAVRIN_KEY_PR_HEIGHT));
            log(kv::host::grabFrame(g_main, reinterpret_cast<HDC>(lp), kit::readIntKey(KAVRIN_KEY_PR_LEFT, 0),
                                    kit::readIntKey(KAVRIN_KEY_PR_TOP, 0), kit::readIntKey(KAVRIN_KEY_PR_WIDTH, 0),
                                    kit::readIntKey(KAVRIN_KEY_PR_HEIGHT, 0)));
            return 0;
        case KAVRIN_MSG_VIDEO_CLOSED:
            log("<- 2309: the video player closed");
            return 0;
        case MsgCallPrintEnd:
            log("-> Print end (after printing)");
            callNoArgs("PrintEnd95", false);
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (id >= IdFirstAction && id < IdFirstAction + static_cast<int>(allActions().size())) {
                runAction(static_cast<size_t>(id - IdFirstAction));
            } else if (id == IdWriteKey) {
                char k[256] = {}, v[1024] = {};
                GetWindowTextA(g_keyEdit, k, sizeof k);
                GetWindowTextA(g_valueEdit, v, sizeof v);
                if (k[0]) {
                    kit::writeKey(k, v);
                    log("-> wrote " + std::string(k) + "=" + v);
                    showKeys("host");
                }
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

HWND child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_main,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return c;
}

void createMainWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = mainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KavrinHost";
    RegisterClassA(&wc);
    g_main = CreateWindowExA(0, "KavrinHost", "Kavrin reference host", WS_OVERLAPPEDWINDOW, 20, 20, 760, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
    const auto& as = allActions();
    for (size_t i = 0; i < as.size(); ++i)
        child("BUTTON", as[i].label, BS_PUSHBUTTON, 8 + static_cast<int>(i % 2) * 118, 8 + static_cast<int>(i / 2) * 28,
              112, 24, IdFirstAction + static_cast<int>(i));
    int y = 8 + static_cast<int>((as.size() + 1) / 2) * 28;
    child("STATIC", "Mode:", 0, 8, y + 2, 40, 18, -1);
    g_modeEdit = child("EDIT", "24", WS_BORDER | ES_AUTOHSCROLL, 50, y, 60, 20, IdModeEdit);
    child("STATIC", "Option:", 0, 122, y + 2, 44, 18, -1);
    g_optionEdit = child("EDIT", "0", WS_BORDER | ES_AUTOHSCROLL, 170, y, 60, 20, IdOptionEdit);
    y += 28;
    child("STATIC", "Key:", 0, 8, y + 2, 40, 18, -1);
    g_keyEdit = child("EDIT", "SaveName", WS_BORDER | ES_AUTOHSCROLL, 50, y, 180, 20, IdKeyEdit);
    child("STATIC", "Value:", 0, 8, y + 28, 40, 18, -1);
    g_valueEdit = child("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 50, y + 26, 180, 20, IdValueEdit);
    child("BUTTON", "Write key", BS_PUSHBUTTON, 50, y + 52, 112, 24, IdWriteKey);
    child("STATIC", ("Settings: " + kit::settingsPath() + " [kavrin]").c_str(), 0, 8, y + 82, 228, 30, -1);
    g_keys = child("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 8, y + 114, 228,
                   std::max(40, 560 - (y + 114)), IdKeys);
    g_log = child("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 244, 8, 496, 552, IdLog);
    SendMessageA(g_log, LB_SETHORIZONTALEXTENT, 1200, 0);
}

// ---- the tour ------------------------------------------------------------------------------

// A window of this process (or a child of `root`) by its automation name (KvName).
HWND findNamedWindow(const std::string& name, HWND root = nullptr) {
    struct Search {
        std::string name;
        HWND found = nullptr;
        static bool matches(HWND h, const std::string& n) {
            char buf[256] = {};
            ATOM a = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "KvName")));
            return a && GlobalGetAtomNameA(a, buf, sizeof buf) && n == buf;
        }
        static BOOL CALLBACK child(HWND h, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            if (!matches(h, s->name)) return TRUE;
            s->found = h;
            return FALSE;
        }
    } s{name};
    if (root) {
        EnumChildWindows(root, Search::child, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    for (HWND w : kit::processWindows(g_main))
        if (Search::matches(w, name)) return w;
    return nullptr;
}

// A folder of pictures and scripts for the explorer to show.
std::string makeDemoFolder() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(sizeof tmp, tmp);
    const std::string dir = std::string(tmp) + "Kavrin demo pictures";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* sub : {"Holidays 1998", "Scans", "Family"}) CreateDirectoryA((dir + "\\" + sub).c_str(), nullptr);
    for (const char* f : {"Beach at noon.bmp", "Harbour.bmp", "mountain lake.jpg", "Grandma's garden.jpg", "sunset.tif",
                          "Old town.pcx", "fireworks.avi", "birthday song.wav", "summer show.avl", "Slides 1998.avl",
                          "logo.png", "readme.txt"}) {
        HANDLE h = CreateFileA((dir + "\\" + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, "demo", 4, &n, nullptr);
        CloseHandle(h);
    }
    return dir;
}

struct Tour {
    std::string dir;
    int shot = 0;
    std::string video = kv::host::demoVideo();

    std::string fileFor(const std::string& name) {
        char n[16];
        std::snprintf(n, sizeof n, "%02d-", ++shot);
        std::string clean;
        for (char c : name) clean += (isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(tolower(c)) : '-');
        return dir + "\\" + n + clean + ".bmp";
    }

    void save(HWND w, const std::string& name) {
        const std::string f = fileFor(name);
        if (kit::saveWindowBitmap(w, f))
            log("   saved " + f);
        else
            log("   could not save " + f + " (error " + std::to_string(GetLastError()) + ")");
    }

    void saveLibraryWindows(const std::string& step) {
        for (HWND w : kit::processWindows(g_main)) {
            char title[128] = {};
            GetWindowTextA(w, title, sizeof title);
            save(w, step + " " + title);
        }
    }

    struct Closer {
        Tour* tour;
        std::string label;
        bool compression = false;
    };

    // Runs beside a modal export, which returns only when its window closes: saves the windows
    // the call shows and then closes the modal ones (the host is disabled while they run).
    static DWORD WINAPI closeModal(void* p) {
        auto* c = static_cast<Closer*>(p);
        Sleep(1500);
        if (c->compression) {
            // The save dialog's "JPEG Compression" button opens the compression dialog.
            for (HWND w : kit::processWindows(g_main))
                if (HWND b = findNamedWindow("BtnJPEG", w)) PostMessageA(b, BM_CLICK, 0, 0);
            Sleep(1000);
        }
        c->tour->saveLibraryWindows(c->label);
        // The editor's thumbnails page: its tab clicked, then the window again.
        if (c->label == "Editor")
            if (HWND form = findNamedWindow("EditorForm"))
                if (HWND tab = findNamedWindow("Tab", form)) {
                    RECT tr{};
                    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tr));
                    const LPARAM at = MAKELPARAM((tr.left + tr.right) / 2, (tr.top + tr.bottom) / 2);
                    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
                    SendMessageA(tab, WM_LBUTTONUP, 0, at);
                    Sleep(500);
                    c->tour->save(form, "Editor thumbnails");
                }
        // The player: a few frames on, then the options menu and its Grab Frame for the host's
        // grab view; "Video close" then closes it (a second close request acts at once).
        if (c->label == "Video") c->tour->driveVideo();
        if (c->label == "Video close") {
            if (HWND form = findNamedWindow("VideoForm")) PostMessageA(form, WM_KEYDOWN, VK_ESCAPE, 0);
            // The grab view has been pictured; the later pictures go without it.
            if (HWND view = FindWindowA("KavrinGrabView", nullptr)) PostMessageA(view, WM_CLOSE, 0, 0);
        }
        // The print layout prints its page: the host draws on 2322 and ends it with PrintEnd95.
        if (c->label == "Print")
            if (HWND form = findNamedWindow("PrintForm"))
                if (HWND button = findNamedWindow("BtnPrintIt", form)) PostMessageA(button, BM_CLICK, 0, 0);
        // The host is disabled while a modal window runs; back out until it is enabled again
        // (a question such as "Discard changes?" may need a second answer).
        std::map<std::string, int> attempts;
        for (int i = 0; i < 120 && !IsWindowEnabled(g_main); ++i) {
            kit::cancelProcessWindows(g_main, &attempts);
            Sleep(250);
        }
        return 0;
    }

    void driveVideo() {
        HWND form = findNamedWindow("VideoForm");
        if (!form) return;
        for (int i = 0; i < 30; ++i)
            if (HWND step = findNamedWindow("BtnStep", form); step && IsWindowVisible(step)) {
                PostMessageA(step, BM_CLICK, 0, 0);
                Sleep(60);
            }
        Sleep(600);
        PostMessageA(form, WM_KEYDOWN, VK_CONTROL, 0);
        PostMessageA(form, WM_KEYDOWN, 'M', 0);
        HWND menu = nullptr;
        for (int i = 0; i < 100 && !(menu = FindWindowA("#32768", nullptr)); ++i) Sleep(50);
        if (!menu) return;
        Sleep(300);
        save(menu, "Video options menu");
        PostMessageA(menu, WM_CHAR, 'g', 0);
        Sleep(800);
        PostMessageA(form, WM_KEYUP, VK_CONTROL, 0);
        saveLibraryWindows("Video grabbed");
    }

    void step(size_t action, const std::string& name = {}, bool compression = false) {
        const std::string label = name.empty() ? std::string(allActions().at(action).label) : name;
        if (label == "Video") kit::writeKey("SaveName", video);
        if (label == "Video status") kit::writeKey("SaveName", "C:\\windows\\win.ini");
        kit::WatchdogScope watch("tour step " + label, 60000);
        Closer c{this, label, compression};
        HANDLE t = CreateThread(nullptr, 0, &closeModal, &c, 0, nullptr);
        runAction(action);
        // The helper logs into the host's window, so messages keep running while it finishes.
        while (t && MsgWaitForMultipleObjects(1, &t, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            kit::pumpMessages(0);
        if (t) CloseHandle(t);
        kit::pumpMessages(300);
        save(g_main, "host after " + label);
    }

    int run() {
        CreateDirectoryA(dir.c_str(), nullptr);
        log("Tour: pictures go to " + dir);
        kit::clearSection();
        showKeys("start");
        kit::pumpMessages(500);
        save(g_main, "host");
        kit::writeKey("SaveName", "C:\\windows\\win.ini");
        // The picture the print layout shows and the host prints.
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        const std::string picture = std::string(temp) + "kavrin print picture.bmp";
        if (kit::writeTestBitmap(picture, 640, 480, RGB(30, 90, 200), RGB(250, 200, 60))) kit::writeKey("BMP", picture);
        showKeys("host");
        const std::string demo = makeDemoFolder();
        kit::writeKey("LastDir", kit::shortPath(demo) + "\\");
        kit::writeKey("SavePath", kit::shortPath(demo) + "\\");
        kit::writeKey("SaveAs", "");
        showKeys("host");
        for (size_t i = 0; i < allActions().size(); ++i) {
            const std::string label = allActions()[i].label;
            if (label != "Dialog (mode, option)") {
                step(i);
                continue;
            }
            // Every mode of the explorer dialog, then the compression dialog of a 24-bit save.
            const std::pair<int, int> modes[] = {{0, 0},   {0, 1},   {24, 0},  {16, 0},  {8, 0},  {4, 0},
                                                 {1, 0},   {8, 1},   {102, 0}, {124, 0}, {252, 0}, {253, 0},
                                                 {254, 0}};
            for (auto [mode, option] : modes) {
                SetWindowTextA(g_modeEdit, std::to_string(mode).c_str());
                SetWindowTextA(g_optionEdit, std::to_string(option).c_str());
                if (mode == 102) kit::writeKey("SaveAs", kit::shortPath(demo + "\\Harbour.bmp"));
                step(i, "Dialog " + std::to_string(mode) + " " + std::to_string(option));
                kit::writeKey("SaveAs", "");
            }
            SetWindowTextA(g_modeEdit, "24");
            SetWindowTextA(g_optionEdit, "0");
            step(i, "Compression", true);
        }
        log("Tour finished");
        kit::pumpMessages(200);
        save(g_main, "host end");
        return 0;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    createMainWindow();
    if (!kit::dll()) {
        MessageBoxA(g_main, ("Cannot load " + kit::dllPath()).c_str(), "Kavrin reference host", MB_ICONERROR);
        return 1;
    }
    log("Loaded " + kit::dllPath());
    showKeys("start");

    if (__argc >= 3 && lstrcmpiA(__argv[1], "/tour") == 0) {
        ShowWindow(g_main, SW_SHOWNORMAL);
        UpdateWindow(g_main);
        Tour t{__argv[2]};
        return t.run();
    }
    // A video to play: the demo's own, unless the settings name one already.
    if (kit::readKey("SaveName").empty()) {
        const std::string video = kv::host::demoVideo();
        if (!video.empty()) {
            kit::writeKey("SaveName", video);
            log("-> wrote SaveName=" + video + " (a demo video)");
        }
    }
    ShowWindow(g_main, show);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
