// Every text the library's windows show fits the room its control has for it, at the screen's
// resolution this program runs at (scripts/test.sh runs these tests again at 120, 144 and
// 192 dots per inch). Each window is opened as a user opens it; then every visible named
// window in it is measured with the font it was given: its text must fit its client area
// less what the control draws besides text (a check box's box, a drop-down's button, an
// edit box's margins, a button's edges). One failure lists every control that cuts its text.
// Not measured: what windows paint as pixels (the catalogue's captions, cut to 12 characters
// on purpose, the table's cells) and the texts of lists the library draws from its own items.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_avi.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/test_editor_driver.h"
#include "tests/e2e/test_editor_fixture.h"
#include "tests/e2e/user_steps.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

// ---- the font a window draws with ---------------------------------------------------------

HFONT fontOf(HWND h) {
    DWORD_PTR asked = 0;
    if (SendMessageTimeoutA(h, WM_GETFONT, 0, 0, SMTO_NORMAL, 5000, &asked)) return reinterpret_cast<HFONT>(asked);
    return nullptr;
}

// ---- measuring -----------------------------------------------------------------------------

int screenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

// A length the library lays out at 96 dots per inch, on this screen.
int layoutPx(int v) { return MulDiv(v, screenDpi(), 96); }

std::string className(HWND h) {
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

// A drawing surface of the screen with a font chosen into it.
class Measure {
public:
    explicit Measure(HFONT font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) { GetTextMetricsA(dc_, &tm_); }
    ~Measure() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;

    // The size of the text on one line; `prefix` treats "&x" as the underlined letter x.
    SIZE line(const std::string& text, bool prefix) const {
        RECT r{0, 0, 0, 0};
        DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | (prefix ? 0 : DT_NOPREFIX));
        return {r.right, std::max<LONG>(r.bottom, tm_.tmHeight)};
    }
    // The size of the text broken into lines at word ends within `width` (wider than `width`
    // when one word alone does not fit).
    SIZE wrapped(const std::string& text, int width, bool prefix) const {
        RECT r{0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (prefix ? 0 : DT_NOPREFIX));
        return {r.right, r.bottom};
    }
    int height() const { return tm_.tmHeight; }
    int charWidth(char c) const {
        INT w = 0;
        GetCharWidth32A(dc_, static_cast<UINT>(static_cast<unsigned char>(c)), static_cast<UINT>(static_cast<unsigned char>(c)), &w);
        return w;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
    TEXTMETRICA tm_{};
};

// What one control needs and has.
struct Cut {
    std::string control, text;
    SIZE need, room;
    std::string note = "";
};

class FitCheck {
public:
    // `gridRowRoom`: the pixels a row of the slide table has for its text, measured by the
    // test (-1: not measured).
    FitCheck(std::string window, int gridRowRoom) : window_(std::move(window)), gridRowRoom_(gridRowRoom) {}

    // Looks at every visible named window inside `top`.
    void walk(HWND top) { EnumChildWindows(top, &FitCheck::visit, reinterpret_cast<LPARAM>(this)); }
    int controlsMeasured() const { return measured_; }
    const std::vector<Cut>& cuts() const { return cuts_; }
    // One line per cut text: window, control, text, needed and available size.
    std::string report() const {
        std::ostringstream o;
        for (const Cut& c : cuts_)
            o << "\n  " << window_ << " / " << c.control << " \"" << c.text << "\": needs " << c.need.cx << "x" << c.need.cy
              << (c.note.empty() ? "" : " " + c.note) << ", has " << c.room.cx << "x" << c.room.cy;
        return o.str();
    }

private:
    static BOOL CALLBACK visit(HWND h, LPARAM self) {
        if (IsWindowVisible(h)) reinterpret_cast<FitCheck*>(self)->check(h);
        return TRUE;
    }

    void cut(const std::string& name, const std::string& text, SIZE need, SIZE room) {
        if (need.cx > room.cx || need.cy > room.cy) cuts_.push_back({name, text, need, room});
    }

    void check(HWND h) {
        const std::string name = kvName(h);
        if (name.empty()) return;  // a part of a system control (a drop-down's list, a bar)
        const std::string cls = className(h);
        RECT rc{};
        GetClientRect(h, &rc);
        const std::string text = windowText(h);
        HFONT font = fontOf(h);
        if (!font) {
            if (!text.empty() || cls == "ComboBox" || cls == "ListBox")
                cuts_.push_back({name + " (its font is not known)", text, {0, 0}, {0, 0}});
            return;
        }
        Measure m(font);
        ++measured_;
        const LONG style = GetWindowLongA(h, GWL_STYLE);
        const int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
        const int borderX = GetSystemMetrics(SM_CXBORDER), borderY = GetSystemMetrics(SM_CYBORDER);
        if (lstrcmpiA(cls.c_str(), "Button") == 0) {
            const LONG kind = style & BS_TYPEMASK;
            if (kind == BS_OWNERDRAW || text.empty()) return;  // a picture button
            const SIZE need = m.line(text, true);
            if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON ||
                kind == BS_3STATE || kind == BS_AUTO3STATE) {
                // The box, then half a digit's width of space before the text.
                const int box = GetSystemMetrics(SM_CXMENUCHECK) + m.charWidth('0') / 2;
                cut(name, text, need, {rc.right - box, rc.bottom});
            } else {
                // Inside the raised edges; a default button's dark frame takes a pixel more.
                const int frame = kind == BS_DEFPUSHBUTTON ? borderX : 0;
                cut(name, text, need, {rc.right - 2 * (edgeX + frame), rc.bottom - 2 * (edgeY + frame)});
            }
        } else if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
            const LRESULT margins = SendMessageA(h, EM_GETMARGINS, 0, 0);
            const SIZE need = m.line(text, false);
            cut(name, text, need, {rc.right - LOWORD(margins) - HIWORD(margins), rc.bottom});
        } else if (lstrcmpiA(cls.c_str(), "ComboBox") == 0) {
            checkCombo(h, name, style, m);
        } else if (lstrcmpiA(cls.c_str(), "ListBox") == 0) {
            // The rows are drawn by the library from its own items (the window holds no
            // texts): a row must be as high as the text.
            const int item = static_cast<int>(SendMessageA(h, LB_GETITEMHEIGHT, 0, 0));
            cut(name, "<a row>", {0, m.height()}, {rc.right, item});
        } else if (cls == WC_TABCONTROLA) {
            checkTabs(h, name, m);
        } else if (cls == "KvLabel") {
            // Broken into lines at word ends, within the label's width and height.
            if (text.empty()) return;
            const SIZE wrapped = m.wrapped(text, rc.right, true);
            if (wrapped.cx <= rc.right && wrapped.cy <= rc.bottom) return;
            // Cut: what one line of it needs, and how it breaks within the label's width.
            const SIZE one = m.line(text, true);
            cuts_.push_back({name, text, one, {rc.right, rc.bottom},
                             "on one line; broken at " + std::to_string(rc.right) + " pixels it takes " +
                                 std::to_string(wrapped.cx) + "x" + std::to_string(wrapped.cy)});
        } else if (cls == "KvPanel") {
            // One line, inside the bevel, two pixels in from the left. A notebook page's
            // caption is its tab's text. The editor's path panel holds the path already cut
            // at the left behind "..." to fit, and is measured as it is.
            if (text.empty() || className(GetParent(h)) == WC_TABCONTROLA) return;
            const SIZE need = m.line(text, false);
            cut(name, text, {need.cx + layoutPx(2), need.cy}, {rc.right - 2 * borderX, rc.bottom - 2 * borderY});
        } else if (cls == "KvRadioGroup") {
            // The caption sits on the frame from 8 pixels in, with a pixel of space either
            // side, and ends 2 pixels before the right edge.
            if (text.empty()) return;
            const SIZE need = m.line(text, true);
            cut(name, text, {need.cx + layoutPx(8 + 2 + 2), need.cy}, {rc.right, rc.bottom});
        } else if (cls == "KvGrid") {
            // A row's text must be as high as the font needs. The table paints its cells
            // itself; their texts and the column widths cannot be read from outside, so they
            // are not measured.
            if (gridRowRoom_ < 0) cuts_.push_back({name + " (its row height was not measured)", "", {0, 0}, {0, 0}});
            else cut(name, "<a row>", {0, m.height()}, {rc.right, gridRowRoom_});
        }
    }

    void checkCombo(HWND h, const std::string& name, LONG style, const Measure& m) {
        COMBOBOXINFO ci{};
        ci.cbSize = sizeof ci;
        if (!GetComboBoxInfo(h, &ci)) {
            cuts_.push_back({name + " (no drop-down information)", "", {0, 0}, {0, 0}});
            return;
        }
        const int field = ci.rcItem.right - ci.rcItem.left, fieldH = ci.rcItem.bottom - ci.rcItem.top;
        const bool drawn = (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
        // The system draws the chosen text a pixel inside the field and a pixel in; the
        // library's drop-downs with pictures put their text 2 + 20 layout pixels in (its
        // picture), and end an entry too long for the box (a deep folder) with "...": for
        // them only the height is checked.
        const int indent = drawn ? layoutPx(2 + 20) : 3 * GetSystemMetrics(SM_CXBORDER);
        const int count = static_cast<int>(SendMessageA(h, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const int len = static_cast<int>(SendMessageA(h, CB_GETLBTEXTLEN, i, 0));
            if (len <= 0) continue;
            std::string item(static_cast<size_t>(len) + 1, '\0');
            SendMessageA(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<size_t>(len));
            if (drawn) item.erase(0, item.find_first_not_of(' '));  // the closed box shows it without its indent
            SIZE need = m.line(item, false);
            if (drawn) need.cx = std::min<LONG>(need.cx, field - indent);
            const int row = static_cast<int>(SendMessageA(h, CB_GETITEMHEIGHT, drawn ? i : 0, 0));
            cut(name + "[" + std::to_string(i) + "]", item, need, {field - indent, std::min(fieldH, row)});
        }
    }

    // Each tab shows its text inside its rectangle, and the row of tabs ends above the page.
    void checkTabs(HWND h, const std::string& name, const Measure& m) {
        const int count = static_cast<int>(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0));
        int rowBottom = 0;
        for (int i = 0; i < count; ++i) {
            char buf[128] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = buf;
            item.cchTextMax = sizeof buf;
            SendMessageA(h, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            RECT r{};
            SendMessageA(h, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
            rowBottom = std::max<int>(rowBottom, r.bottom);
            cut(name + "[" + std::to_string(i) + "]", buf, m.line(buf, true), {r.right - r.left, r.bottom - r.top});
        }
        for (HWND page = GetWindow(h, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
            if (!IsWindowVisible(page) || kvName(page).empty()) continue;  // not the tabs' arrows
            RECT pr{};
            GetWindowRect(page, &pr);
            MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&pr), 2);
            if (pr.top < rowBottom)
                cuts_.push_back({name + " (its tabs under page " + kvName(page) + ")", "", {0, rowBottom}, {0, pr.top}});
        }
    }

    std::string window_;
    std::vector<Cut> cuts_;
    int gridRowRoom_;
    int measured_ = 0;
};

// Measures every control of the window; the result lists the cut texts.
::testing::AssertionResult textsFit(HWND top, const std::string& what, int gridRowRoom = -1) {
    if (!top) return ::testing::AssertionFailure() << what << ": the window did not come";
    FitCheck fit(what, gridRowRoom);
    fit.walk(top);
    if (fit.controlsMeasured() == 0) return ::testing::AssertionFailure() << what << ": no control was measured";
    if (fit.cuts().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "texts cut at " << screenDpi() << " dots per inch:" << fit.report();
}

}  // namespace

namespace {

template <class F>
F exportFn(const char* name) {
    return reinterpret_cast<F>(kit::exportAddress(name));
}

void callVoid(const char* name) {
    if (auto fn = exportFn<void(WINAPI*)()>(name)) fn();
}

// A click on tab `index` of a notebook, where the tab is.
void clickTab(HWND tab, int index) {
    RECT tr{};
    SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tr));
    const LPARAM at = MAKELPARAM((tr.left + tr.right) / 2, (tr.top + tr.bottom) / 2);
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab, WM_LBUTTONUP, 0, at);
}

// The editor's Close button; "Discard changes?" answered Yes when it is asked.
void closeEditor(HWND form) {
    PostMessageA(findNamedIn(form, "BtnQuit"), BM_CLICK, 0, 0);
    HWND question = nullptr;
    waitUntil([&] { return !IsWindowVisible(form) || (question = findNamed("MessageDialog")) != nullptr; }, 10000);
    if (question) click(findNamedIn(question, "Yes"));
}

class TextFit : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        std::printf("[ figure   ] screen resolution: %d dots per inch\n", screenDpi());
    }
    // What each window's measuring found, checked on the test's thread.
    void expectAllFit() {
        for (const auto& r : results) EXPECT_TRUE(r);
        EXPECT_FALSE(results.empty());
    }
    std::vector<::testing::AssertionResult> results;
};

}  // namespace

// The pixels between the tops of slide 1's and slide 2's rows, found by clicking down the
// file name column a pixel at a time: -1 when the clicks did not reach both.
int rowPitch(HWND form, HWND grid, const TestScript& s) {
    const int x = LOWORD(cellPoint(form, grid, 4, 1));
    RECT rc{};
    GetClientRect(grid, &rc);
    int first = -1;
    for (int y = 0; y < rc.bottom; ++y) {
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        const std::string now = gridText(grid);
        if (first < 0 && now == s.displayNames[0]) first = y;
        if (first >= 0 && now == s.displayNames[1]) return y - first;
    }
    return -1;
}

TEST_F(TextFit, EditorOnBothNotebookPagesAndItsValueDialog) {
    const TestScript script = openOn(10, true);
    std::string colorLabel;
    bool thumbsShown = false;
    int pitch = -1;
    runEditor([&](HWND form, HWND grid) {
        // Started on slide 4, so that the first click on slide 1 shows; ends on slide 2.
        for (int i = 0; i < 3; ++i) sendKey(grid, VK_DOWN);
        pitch = rowPitch(form, grid, script);
        // Slide 4 has no background colour: the colour panel says so.
        for (int i = 0; i < 2; ++i) sendKey(grid, VK_DOWN);
        colorLabel = windowText(findNamedIn(form, "ColorLabel"));
        // A row's room for text: its pitch less the grid line.
        results.push_back(textsFit(form, "editor, editor page", pitch - 1));
        HWND tab = findNamedIn(form, "Tab");
        clickTab(tab, 1);
        HWND thumbs = findNamedIn(form, "PanelThumbs");
        thumbsShown = waitUntil([&] { return IsWindowVisible(thumbs) != FALSE; }, 3000);
        results.push_back(textsFit(form, "editor, thumbnails page", pitch - 1));
        clickTab(tab, 0);
        // The delay of slide 4 (three columns right of the file name): the value dialog with presets.
        for (int i = 0; i < 3; ++i) sendKey(grid, VK_RIGHT);
        postKey(grid, VK_RETURN);
        ValueDialogWindows d = waitValueDialog();
        results.push_back(textsFit(d.form, "value dialog"));
        if (d) {
            sendKey(d.box, VK_ESCAPE);
            waitClosed(d.form);
        }
        closeEditor(form);
    });
    std::printf("[ figure   ] slide table rows %d pixels apart\n", pitch);
    EXPECT_GT(pitch, 0);
    EXPECT_EQ(colorLabel, "no backcolor");
    EXPECT_TRUE(thumbsShown);
    expectAllFit();
}

TEST_F(TextFit, ExplorerWindowEveryDialogModeAndTheCompressionDialog) {
    const std::string photos = folder.path() + "\\Holiday photos";
    CreateDirectoryA(photos.c_str(), nullptr);
    CreateDirectoryA((photos + "\\Album").c_str(), nullptr);
    folder.writeFile("Holiday photos\\Beach at noon.bmp", "BM");
    folder.writeFile("Holiday photos\\show.avl", "[Header]\r\nVer=7\r\nN=1\r\n");
    kit::writeKey("LastDir", kit::shortPath(photos) + "\\");
    kit::writeKey("SavePath", kit::shortPath(photos) + "\\");
    kit::writeKey("Win95Tmp", folder.file("kavrin.tmp"));
    kit::writeKey("SaveAs", "");
    for (const char* k : {"Savename", "LongName", "SaveExt", "MultiBPP", "Save24", "Save1", "bWinT", "bWinL", "bWinW", "bWinH"})
        kit::deleteKey(k);

    {  // The modeless window in a host's loop.
        kit::HostWindow host({}, true);
        kit::WatchdogScope watch("RemoteWin95", 30000);
        if (auto fn = exportFn<void(WINAPI*)(HWND, int32_t)>("RemoteWin95")) fn(host.hwnd(), 0);
        HWND form = findNamed("FileForm");
        HWND list = form ? findNamedIn(form, "XFiles") : nullptr;
        kit::hostLoop([&] { return list && SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }, 5000);
        kit::hostLoop(nullptr, 200);
        results.push_back(textsFit(form, "explorer window"));
        callVoid("RemoteWinClose95");
        kit::pumpMessages(100);
    }

    struct Mode {
        int32_t mode, option;
        const char* caption;
    };
    const Mode modes[] = {{0, 0, "Save File"},          {0, 1, "Save Contact Sheet as"},
                          {24, 0, "Save File"},         {8, 1, "Save Contact Sheet as"},
                          {16, 0, "Save File"},         {4, 0, "Save File"},
                          {1, 0, "Save File"},          {102, 0, "Move File to"},
                          {124, 0, "Convert Multiple Files"}, {252, 0, "Open File for Tiling or Texture"},
                          {253, 0, "Add Multiple Slides"},    {254, 0, "Open Slideshow"}};
    bool compressionSeen = false;
    for (const Mode& m : modes) {
        const std::string what = std::string(m.caption) + " (mode " + std::to_string(m.mode) + ", option " +
                                 std::to_string(m.option) + ")";
        Driver user([&] {
            HWND form = waitNamed("FileForm");
            if (!form || !waitUntil([&] { return windowText(form) == m.caption; }, 5000)) {
                results.push_back(::testing::AssertionFailure() << what << ": the dialog did not come");
                if (form) click(findNamedIn(form, "BtnExit"));
                return;
            }
            HWND list = findNamedIn(form, "XFiles");
            waitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 0; }, 5000);
            Sleep(200);
            results.push_back(textsFit(form, what));
            if (m.mode == 24) {
                // 24 bits starts on Enhanced JPEG, whose button opens the compression dialog.
                HWND jpeg = findNamedIn(form, "BtnJPEG");
                waitUntil([&] { return jpeg && IsWindowVisible(jpeg); }, 5000);
                PostMessageA(jpeg, BM_CLICK, 0, 0);
                HWND dlg = waitNamed("UserCompress");
                compressionSeen = dlg && windowText(dlg) == "Compression Setting";
                results.push_back(textsFit(dlg, "compression dialog"));
                if (dlg) {
                    click(findNamedIn(dlg, "BtnCancel"));
                    waitUntil([&] { return !findNamed("UserCompress") && IsWindowEnabled(form); }, 5000);
                }
            }
            click(findNamedIn(form, "BtnExit"));
        });
        kit::WatchdogScope watch("RemoteDlg95 " + what, 30000);
        auto fn = exportFn<int32_t(WINAPI*)(int32_t, int32_t)>("RemoteDlg95");
        EXPECT_EQ(fn ? fn(m.mode, m.option) : 0, -1) << what;
        user.join();
    }
    EXPECT_TRUE(compressionSeen);
    expectAllFit();
}

namespace {

// The video player on a test video in the host's loop, and closed again.
HWND openPlayer(const std::string& video, HWND host) {
    EXPECT_TRUE(kit::writeTestAvi(video, {320, 240, 30, 25, false}));
    kit::writeKey("SaveName", video);
    kit::deleteKey("SafePLAY");
    kit::WatchdogScope watch("VideoWinPlayer95", 30000);
    auto player = exportFn<int32_t(WINAPI*)(HWND, int32_t, uint32_t)>("VideoWinPlayer95");
    EXPECT_TRUE(player && player(host, 0, 0) == 1);
    kit::hostLoop(nullptr, 300);
    return findNamed("VideoForm");
}

void closePlayer() {
    auto status = exportFn<int32_t(WINAPI*)()>("VideoWinStatus95");
    callVoid("VideoWinClose95");
    callVoid("VideoWinClose95");
    kit::hostLoop([&] { return !status || status() == 0; }, 5000);
    kit::deleteKey("SaveName");
}

}  // namespace

TEST_F(TextFit, VideoPlayer) {
    kit::HostWindow host({}, true);
    results.push_back(textsFit(openPlayer(folder.file("Colour frames 320x240.avi"), host.hwnd()), "video player"));
    closePlayer();
    expectAllFit();
}

TEST_F(TextFit, PrintDialog) {
    // Without a printer the dialog says so in a message box instead of opening.
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    ASSERT_GT(needed, 0u) << "no printer: scripts/printer.sh makes the CUPS queue KavrinPDF";
    const std::string picture = folder.file("picture.bmp");
    ASSERT_TRUE(kit::writeTestBitmap(picture, 64, 48, RGB(30, 90, 200), RGB(250, 200, 60)));
    kit::writeKey("BMP", picture);
    kit::HostWindow host({}, true);
    {
        kit::WatchdogScope watch("PrintDlg95", 20000);
        auto fn = exportFn<void(WINAPI*)(HWND, int32_t, int32_t, int32_t)>("PrintDlg95");
        ASSERT_NE(fn, nullptr);
        fn(host.hwnd(), 640, 480, 0);
    }
    HWND form = findNamed("PrintForm");
    kit::hostLoop(nullptr, 300);
    results.push_back(textsFit(form, "print dialog"));
    if (form) click(findNamedIn(form, "BtnClose"));
    kit::pumpMessages(200);
    if (HWND f = findNamed("PrintForm", false)) PostMessageA(f, WM_CLOSE, 0, 0);
    kit::deleteKey("BMP");
    expectAllFit();
}

// A host that follows the screens its windows are on gets WM_DPICHANGED when the user drags
// a window to a screen of another resolution: the window takes the rectangle suggested,
// its controls their places and fonts at that resolution, and every text still fits.
TEST_F(TextFit, VideoPlayerFollowsItsWindowToAScreenOfTwiceTheResolution) {
    kit::HostWindow host({}, true);
    HWND form = openPlayer(folder.file("Colour frames 320x240.avi"), host.hwnd());
    ASSERT_NE(form, nullptr);
    HWND button = findNamedIn(form, "MenuButton");
    auto size = [](HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    auto fontHeight = [](HWND h) {
        LOGFONTA lf{};
        GetObjectA(fontOf(h), sizeof lf, &lf);
        return std::abs(lf.lfHeight);
    };
    const SIZE buttonBefore = size(button);
    const int fontBefore = fontHeight(button);
    RECT suggested{};
    GetWindowRect(form, &suggested);
    suggested.right = suggested.left + 2 * (suggested.right - suggested.left);
    suggested.bottom = suggested.top + 2 * (suggested.bottom - suggested.top);
    const int twice = 2 * screenDpi();
    SendMessageA(form, WM_DPICHANGED, MAKEWPARAM(twice, twice), reinterpret_cast<LPARAM>(&suggested));
    kit::hostLoop(nullptr, 300);

    // Each edge is rounded to the screen's pixels on its own: twice as large within 2.
    const SIZE buttonAfter = size(button);
    EXPECT_NEAR(buttonAfter.cx, 2 * buttonBefore.cx, 2);
    EXPECT_NEAR(buttonAfter.cy, 2 * buttonBefore.cy, 2);
    EXPECT_NEAR(fontHeight(button), 2 * fontBefore, 1);
    RECT now{};
    GetWindowRect(form, &now);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    results.push_back(textsFit(form, "video player at twice the resolution"));
    closePlayer();
    expectAllFit();
}
