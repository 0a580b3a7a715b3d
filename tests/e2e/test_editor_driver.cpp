#include "tests/e2e/test_editor_driver.h"

#include <cstdio>

#include "tests/e2e/kit/kit.h"

namespace kv::e2e {

std::string kvName(HWND h) {
    ATOM a = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "KvName")));
    char buf[256] = {};
    if (!a || !GlobalGetAtomNameA(a, buf, sizeof buf)) return "";
    return buf;
}

std::string windowText(HWND h) {
    char buf[1024] = {};
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, nullptr);
    return buf;
}

namespace {

struct Search {
    const std::string* name;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK childMatch(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if ((!s->visibleOnly || IsWindowVisible(h)) && kvName(h) == *s->name) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK topMatch(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    auto* s = reinterpret_cast<Search*>(lp);
    if (s->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (kvName(h) == *s->name) {
        s->found = h;
        return FALSE;
    }
    EnumChildWindows(h, childMatch, lp);
    return s->found ? FALSE : TRUE;
}

BOOL CALLBACK collectTop(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

}  // namespace

HWND findNamed(const std::string& name, bool visibleOnly) {
    Search s{&name, visibleOnly, nullptr};
    EnumWindows(topMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND findNamedIn(HWND root, const std::string& name) {
    Search s{&name, false, nullptr};
    EnumChildWindows(root, childMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> topWindows() {
    std::vector<HWND> v;
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&v));
    return v;
}

bool waitUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

HWND waitNamed(const std::string& name, DWORD ms) {
    HWND h = nullptr;
    waitUntil([&] { return (h = findNamed(name)) != nullptr; }, ms);
    return h;
}

void sendKey(HWND h, int vk, bool ctrl, bool shift) {
    if (ctrl) SendMessageA(h, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    if (shift) SendMessageA(h, WM_KEYDOWN, VK_SHIFT, 0x002A0001);
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    SendMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    if (!ctrl && (vk == VK_SPACE || vk == VK_RETURN || (vk >= '0' && vk <= 'Z')))
        SendMessageA(h, WM_CHAR, vk == VK_RETURN ? '\r' : static_cast<WPARAM>(vk), static_cast<LPARAM>(1 | (scan << 16)));
    SendMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u | (scan << 16)));
    if (shift) SendMessageA(h, WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC02A0001u));
    if (ctrl) SendMessageA(h, WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC01D0001u));
}

void sendChar(HWND h, char c) { SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), 1); }

void click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

std::string gridText(HWND grid) {
    char buf[1024] = {};
    SendMessageA(grid, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

Driver::Driver(std::function<void()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

Driver::~Driver() { join(); }

void Driver::join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI Driver::run(LPVOID self) {
    static_cast<Driver*>(self)->body_();
    return 0;
}

int32_t editorWin95() {
    auto fn = reinterpret_cast<int32_t(WINAPI*)()>(kv::kit::exportAddress("EditorWin95"));
    return fn ? fn() : 0x7FFFFFFF;
}

HWND waitEditorLoaded(DWORD ms) {
    HWND form = waitNamed("EditorForm", ms);
    if (!form) return nullptr;
    HWND grid = findNamedIn(form, "Grid");
    HWND gauge = findNamedIn(form, "Gauge");
    bool ok = waitUntil(
        [&] { return grid && gridText(grid) != "<right-click me>" && gauge && !IsWindowVisible(gauge); }, ms);
    return ok ? form : nullptr;
}

std::string answerDialog(const std::string& text, const std::string& button, DWORD ms) {
    std::string title;
    waitUntil(
        [&] {
            HWND dlg = findNamed("MessageDialog");
            if (!dlg) return false;
            HWND msg = findNamedIn(dlg, "Message");
            if (!msg || windowText(msg) != text) return false;
            HWND b = findNamedIn(dlg, button);
            if (!b) return false;
            title = windowText(dlg);
            PostMessageA(b, BM_CLICK, 0, 0);
            return true;
        },
        ms);
    return title;
}

bool writeTestBitmap(const std::string& path, int w, int h, COLORREF from, COLORREF to) {
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::string bytes(54 + stride * static_cast<DWORD>(h), '\0');
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = 54;
    fh.bfSize = static_cast<DWORD>(bytes.size());
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(&bytes[0], &fh, sizeof fh);
    memcpy(&bytes[14], &ih, sizeof ih);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int t = (x + y) * 255 / (w + h);
            auto mix = [&](int a, int b) { return static_cast<char>(a + (b - a) * t / 255); };
            size_t o = 54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
            bytes[o] = mix(GetBValue(from), GetBValue(to));
            bytes[o + 1] = mix(GetGValue(from), GetGValue(to));
            bytes[o + 2] = mix(GetRValue(from), GetRValue(to));
        }
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

TestScript writeTestScript(const std::string& folder, const std::string& appDir, int count, bool nested,
                           const std::string& catalog) {
    struct Kind {
        const char* name;  // long file name
        const char* keys;  // keys after F
    };
    static const Kind kinds[] = {
        {"Beach at sunset.jpg", "B=0\nX=3\nW=5\n"},
        {"Harbour lights.bmp", "B=FF\nX=0\nP=Left,Top\nG=78\n"},
        {"Holiday clip.avi", "B=0\nX=1\nZ=200\nL=50\n"},
        {"Mountain walk.jpg", "X=12\nW=2\n"},
        {"Street parade.mov", "B=0\nX=0\nL=50\n"},
        {"Spinning logo.fli", "B=C0C0C0\nX=2\nW=1\n"},
        {"Welcome music.wav", "X=1\nW=3\n"},
        {nullptr, "X=7\n"},  // CD track 7
        {"Old town square.jpg", "B=800000\nX=21\nW=4\nP=20,40\n"},
        {"Garden party.bmp", "X=29\nG=96\n"},
    };
    const int nk = sizeof kinds / sizeof kinds[0];
    TestScript s;
    std::string dir = folder;
    if (dir.back() != '\\') dir += '\\';
    std::string body = "[Header]\nVer=7\nScreenW=1024\nScreenH=768\nN=" + std::to_string(count + 1) +
                       "\nCat=" + catalog + "\n[Directory]\n0=" + appDir + "\n1=" + dir + "\n";
    for (int i = 1; i <= count; ++i) {
        const Kind& k = kinds[(i - 1) % nk];
        bool last = nested && i == count;
        std::string name = last ? "Second part.avl" : k.name ? k.name : "";
        body += "[" + std::to_string(i) + "]\n";
        if (name.empty()) {
            body += "F=------------------------------\n" + std::string(k.keys);
            s.displayNames.push_back("CD Track: 7");
            continue;
        }
        std::string full = dir + name;
        if (GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
            HANDLE f = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(f);
        }
        std::string shortName = kv::kit::shortPath(full);
        shortName = shortName.substr(shortName.rfind('\\') + 1);
        if (shortName.size() > 4 && lstrcmpiA(shortName.substr(shortName.size() - 4).c_str(), ".JPG") == 0)
            shortName.resize(shortName.size() - 4);
        body += "F=" + shortName + ",1\n" + (last ? std::string() : std::string(k.keys));
        if (i == 1 && !catalog.empty()) body += "T=1\n";
        s.displayNames.push_back(name);
    }
    s.path = dir + "Holiday show.avl";
    FILE* f = fopen(s.path.c_str(), "wb");
    if (f) {
        fwrite(body.data(), 1, body.size(), f);
        fclose(f);
    }
    s.slides = count;
    return s;
}

}  // namespace kv::e2e
