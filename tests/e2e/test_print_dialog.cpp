// The print layout dialog through the real DLL, with this program as the host: it opens the
// dialog with PrintDlg95, drives its controls with the messages a user's input makes, draws
// a picture of known colours into the printer's page on message 2322 and calls PrintEnd95.
// The page goes through the system's printer queue (CUPS, made by scripts/printer.sh) and
// comes out as a PDF file in build/printed; the test renders it (pdftoppm) and finds the
// picture at the place and size the dialog wrote. Pictures of the dialog go to out\screens.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_host.h"
#include "tests/e2e/kit/kit_script.h"
#include "tests/e2e/test_editor_driver.h"

namespace kit = kv::kit;
using namespace kv::e2e;

namespace {

constexpr UINT kPrintMessage = 2322;

// The four colours of the test picture, by quadrant.
constexpr COLORREF kTopLeft = RGB(255, 0, 0), kTopRight = RGB(0, 160, 0), kBottomLeft = RGB(0, 0, 255),
                   kBottomRight = RGB(255, 200, 0);

// A 64 x 48 bitmap file in four coloured quadrants.
bool writeQuadrantBitmap(const std::string& path) {
    return kit::writeBitmap(path, 64, 48, [](int x, int y) {
        return y < 24 ? (x < 32 ? kTopLeft : kTopRight) : (x < 32 ? kBottomLeft : kBottomRight);
    });
}

// The test host: a window that receives the print message and draws the picture.
struct PrintHost {
    int messages = 0;
    HDC dc = nullptr;
    int physOffX = 0, physOffY = 0, physW = 0, physH = 0, dpiX = 0, dpiY = 0, pageW = 0, pageH = 0;
    DWORD sentAt = 0;
    bool endInside = false;  // call PrintEnd95 while handling the message
    kit::HostAction afterEnd = kit::HostAction::None;  // and then do this
    std::function<void()> callBack;
    std::string picture;
    kit::HostWindow window{[this](UINT msg, WPARAM, LPARAM lp) {
        if (msg != kPrintMessage) return false;
        onPrint(reinterpret_cast<HDC>(lp));
        return true;
    }};

    void onPrint(HDC page) {
        sentAt = GetTickCount();
        ++messages;
        dc = page;
        physOffX = GetDeviceCaps(page, PHYSICALOFFSETX);
        physOffY = GetDeviceCaps(page, PHYSICALOFFSETY);
        physW = GetDeviceCaps(page, PHYSICALWIDTH);
        physH = GetDeviceCaps(page, PHYSICALHEIGHT);
        dpiX = GetDeviceCaps(page, LOGPIXELSX);
        dpiY = GetDeviceCaps(page, LOGPIXELSY);
        pageW = GetDeviceCaps(page, HORZRES);
        pageH = GetDeviceCaps(page, VERTRES);
        const kit::PictureRect r = kit::pictureRect();
        EXPECT_TRUE(kit::drawPictureFile(page, picture, r.left, r.top, r.width, r.height));
        if (endInside) call("PrintEnd95");
        kit::runHostAction(afterEnd, window.hwnd(), callBack);
    }

    static void call(const char* name) {
        auto fn = reinterpret_cast<void(WINAPI*)()>(kit::exportAddress(name));
        ASSERT_NE(fn, nullptr);
        fn();
    }
};

int32_t printCheck() {
    auto fn = reinterpret_cast<int32_t(WINAPI*)()>(kit::exportAddress("PrintCheck95"));
    return fn ? fn() : -1;
}

void printDlg(HWND host, int w, int h, int noEnhance) {
    auto fn = reinterpret_cast<void(WINAPI*)(HWND, int32_t, int32_t, int32_t)>(kit::exportAddress("PrintDlg95"));
    ASSERT_NE(fn, nullptr);
    fn(host, w, h, noEnhance);
}

// The folder the printer queue writes its PDF files to: build\printed beside build\win32.
std::string printedFolder() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string dir = exe;
    dir = dir.substr(0, dir.find_last_of('\\'));  // build\win32
    dir = dir.substr(0, dir.find_last_of('\\'));  // build
    return dir + "\\printed";
}

std::vector<std::string> pdfFiles(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do out.push_back(folder + "\\" + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

bool hasPrinter() {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    if (!needed) return false;
    std::vector<BYTE> buf(needed);
    return EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buf.data(), needed, &needed,
                         &count) &&
           count > 0;
}

// Starts a Linux program of this machine (Wine starts such programs too, but hands back no
// process to wait for: the caller waits for what the program makes).
void startUnix(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

// The Linux name of a file, for a Linux program.
std::string unixPath(const std::string& path) {
    using Fn = char*(CDECL*)(LPCWSTR);
    auto fn = reinterpret_cast<Fn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, full, -1, wide, MAX_PATH);
    char* u = fn ? fn(wide) : nullptr;
    if (!u) return path;
    std::string r = u;
    HeapFree(GetProcessHeap(), 0, u);
    return r;
}

// A PPM picture (P6) read into memory.
struct Ppm {
    int w = 0, h = 0;
    std::string px;
    COLORREF at(int x, int y) const {
        size_t i = (static_cast<size_t>(y) * w + x) * 3;
        return RGB(static_cast<unsigned char>(px[i]), static_cast<unsigned char>(px[i + 1]),
                   static_cast<unsigned char>(px[i + 2]));
    }
};

bool readPpm(const std::string& path, Ppm& out) {
    std::string bytes;
    if (!kit::readFile(path, bytes)) return false;
    int maxv = 0, used = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &out.w, &out.h, &maxv, &used) != 3 || maxv != 255) return false;
    out.px = bytes.substr(static_cast<size_t>(used) + 1);
    return out.px.size() >= static_cast<size_t>(out.w) * out.h * 3;
}

bool closeTo(COLORREF a, COLORREF b, int tol = 40) { return kit::colorsNear(a, b, tol); }

void capture(HWND w, const std::string& name) { EXPECT_TRUE(kit::captureWindow(w, name)) << name; }

// One step of a bar as the user makes it (arrow or page): the message the bar sends its parent.
void scrollBar(HWND bar, int code) {
    const UINT msg = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(GetParent(bar), msg, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar));
}

class PrintDialogE2E : public ::testing::Test {
protected:
    kit::TempFolder folder{"Kavrin print test"};
    std::string picture;
    PrintHost host;

    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr);
        // Without a printer the dialog says so in a message box when it opens.
        ASSERT_TRUE(hasPrinter()) << "no printer: scripts/printer.sh makes the CUPS queue KavrinPDF";
        picture = folder.file("four colours.bmp");
        ASSERT_TRUE(writeQuadrantBitmap(picture));
        kit::writeKey("BMP", picture);
        for (const char* k : {"prT", "prL", "prW", "prH", "prN", "prC", "prD"}) kit::deleteKey(k);
        host.picture = picture;
    }
    void TearDown() override {
        // Whatever a failed step left open.
        if (HWND f = findNamed("PrintForm", false)) PostMessageA(f, WM_CLOSE, 0, 0);
        kit::pumpMessages(200);
        kit::deleteKey("BMP");
    }

    HWND openDialog(int noEnhance = 0) {
        kit::WatchdogScope watch("PrintDlg95", 20000);
        const DWORD t0 = GetTickCount();
        printDlg(host.window.hwnd(), 640, 480, noEnhance);
        openMs = GetTickCount() - t0;
        std::printf("[ figure   ] PrintDlg95 until the preview has painted: %lu ms\n", openMs);
        HWND f = findNamed("PrintForm");
        EXPECT_NE(f, nullptr);
        return f;
    }
    DWORD openMs = 0;
};

}  // namespace

TEST_F(PrintDialogE2E, PrintsThePictureAtHalfSizeCentredOnARealQueue) {
    const std::string out = printedFolder();
    for (const std::string& old : pdfFiles(out)) DeleteFileA(old.c_str());

    HWND form = openDialog();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(printCheck(), 1);
    char title[64] = {};
    GetWindowTextA(form, title, sizeof title);
    EXPECT_STREQ(title, "Kavrin Print Setup");
    capture(form, "print-dialog-100.bmp");

    // Size 50 %: five large steps down from 100; then "Cen&ter".
    HWND zoom = findNamedIn(form, "ZoomScroll");
    ASSERT_NE(zoom, nullptr);
    for (int i = 0; i < 5; ++i) scrollBar(zoom, SB_PAGELEFT);
    EXPECT_EQ(windowText(findNamedIn(form, "ZoomLabel")), "  Si&ze : 50%");
    HWND y = findNamedIn(form, "YScroll");
    scrollBar(y, SB_PAGERIGHT);  // moved away, then centred again
    click(findNamedIn(form, "BtnReset"));
    capture(form, "print-dialog-50-centred.bmp");

    // Print it: the host draws on 2322; PrintEnd95 afterwards.
    const DWORD t0 = GetTickCount();
    {
        kit::WatchdogScope watch("Print It", 60000);
        click(findNamedIn(form, "BtnPrintIt"));
    }
    ASSERT_EQ(host.messages, 1);
    std::printf("[ figure   ] Print It until message 2322: %lu ms\n", host.sentAt - t0);
    EXPECT_NE(host.dc, nullptr);
    const auto [prL, prT, prW, prH] = kit::pictureRect();
    EXPECT_EQ(kit::readIntKey("prN", -1), 1);
    // Colour and its style follow the printer's depth: a colour printer prints "Stevenson".
    EXPECT_EQ(kit::readIntKey("prD", -1), kit::readIntKey("prC", -1) == 1 ? 4 : 0);
    // Half the largest size that fits, in the middle of the printable page.
    EXPECT_NEAR(prW, host.pageW / 2, 1);
    EXPECT_EQ(prL, (host.pageW - prW) / 2);
    EXPECT_EQ(prT, (host.pageH - prH) / 2);
    EXPECT_NEAR(static_cast<double>(prW) / prH, 640.0 / 480.0, 0.01);
    EXPECT_TRUE(IsIconic(form) || !IsWindowEnabled(form));

    {
        kit::WatchdogScope watch("PrintEnd95", 60000);
        PrintHost::call("PrintEnd95");
        kit::pumpMessages(200);
    }
    EXPECT_EQ(printCheck(), 0);
    EXPECT_EQ(findNamed("PrintForm", false), nullptr);

    // The queue turns the job into a PDF file (through Ghostscript: a few seconds).
    std::vector<std::string> pdfs;
    ASSERT_TRUE(waitUntil([&] {
        pdfs = pdfFiles(out);
        if (pdfs.empty()) return false;
        HANDLE h = CreateFileA(pdfs[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;  // still being written
        CloseHandle(h);
        // The queue may leave the file open to others while it writes: complete when it ends.
        std::string bytes;
        return kit::readFile(pdfs[0], bytes) && bytes.rfind("%%EOF") != std::string::npos;
    }, 60000)) << "no PDF came out of the queue into " << out;
    ASSERT_EQ(pdfs.size(), 1u);
    const std::string pdf = out + "\\page.pdf";
    MoveFileExA(pdfs[0].c_str(), pdf.c_str(), MOVEFILE_REPLACE_EXISTING);

    // The page as a picture at a quarter of the printer's resolution.
    const int scale = 4, res = host.dpiX / scale;
    const std::string ppmBase = out + "\\page";
    DeleteFileA((ppmBase + ".ppm").c_str());
    startUnix("/usr/bin/pdftoppm -r " + std::to_string(res) + " -singlefile " + unixPath(pdf) + " " + unixPath(ppmBase));
    Ppm img;
    ASSERT_TRUE(waitUntil([&] { return readPpm(ppmBase + ".ppm", img); }, 60000)) << "pdftoppm gave no picture";
    // Also as PNG for a person to look at.
    startUnix("/usr/bin/pdftoppm -r 40 -png -singlefile " + unixPath(pdf) + " " +
              unixPath(kit::screensFolder() + "\\printed-page"));

    // The page's size is the printer's paper.
    EXPECT_NEAR(img.w, host.physW / scale, 2);
    EXPECT_NEAR(img.h, host.physH / scale, 2);
    // The picture's extent: every pixel that is not white.
    int minX = img.w, minY = img.h, maxX = -1, maxY = -1;
    for (int yy = 0; yy < img.h; ++yy)
        for (int xx = 0; xx < img.w; ++xx)
            if (!closeTo(img.at(xx, yy), RGB(255, 255, 255), 30)) {
                minX = std::min(minX, xx);
                maxX = std::max(maxX, xx);
                minY = std::min(minY, yy);
                maxY = std::max(maxY, yy);
            }
    ASSERT_GE(maxX, 0) << "the printed page is blank";
    const double ex0 = (host.physOffX + prL) / double(scale), ey0 = (host.physOffY + prT) / double(scale);
    const double ex1 = (host.physOffX + prL + prW) / double(scale), ey1 = (host.physOffY + prT + prH) / double(scale);
    EXPECT_NEAR(minX, ex0, 2);
    EXPECT_NEAR(minY, ey0, 2);
    EXPECT_NEAR(maxX + 1, ex1, 2);
    EXPECT_NEAR(maxY + 1, ey1, 2);
    // The quadrants in their places.
    const int cx = (minX + maxX) / 2, cy = (minY + maxY) / 2, qx = (maxX - minX) / 4, qy = (maxY - minY) / 4;
    EXPECT_TRUE(closeTo(img.at(cx - qx, cy - qy), kTopLeft));
    EXPECT_TRUE(closeTo(img.at(cx + qx, cy - qy), kTopRight));
    EXPECT_TRUE(closeTo(img.at(cx - qx, cy + qy), kBottomLeft));
    EXPECT_TRUE(closeTo(img.at(cx + qx, cy + qy), kBottomRight));
    std::printf("[ figure   ] printed page %dx%d px at %d dpi; picture at %d,%d to %d,%d (expected %.1f,%.1f to %.1f,%.1f)\n",
                img.w, img.h, res, minX, minY, maxX + 1, maxY + 1, ex0, ey0, ex1, ey1);
    DeleteFileA((ppmBase + ".ppm").c_str());
}

// Close, PrintEnd95 without a job and Esc each close the dialog; no job is started.
TEST_F(PrintDialogE2E, CloseButtonPrintEndWithoutAJobAndEscCloseWithoutAJob) {
    const std::string out = printedFolder();
    const size_t before = pdfFiles(out).size();
    HWND form = openDialog(1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(printCheck(), 1);
    // No enhancement: the check box is off and disabled, the style list disabled.
    HWND enhance = findNamedIn(form, "Enhance");
    EXPECT_EQ(SendMessageA(enhance, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(enhance));
    EXPECT_FALSE(IsWindowEnabled(findNamedIn(form, "PrintStyle")));
    EXPECT_EQ(windowText(findNamedIn(form, "MeasureBox")), "Inches");
    // A second PrintDlg95 while it is open changes nothing.
    printDlg(host.window.hwnd(), 10, 10, 1);
    EXPECT_EQ(findNamed("PrintForm"), form);
    click(findNamedIn(form, "BtnClose"));
    kit::pumpMessages(200);
    EXPECT_EQ(printCheck(), 0);

    ASSERT_NE(openDialog(), nullptr);
    PrintHost::call("PrintEnd95");
    kit::pumpMessages(200);
    EXPECT_EQ(printCheck(), 0);

    // Esc through the host's own bare message loop (no dialog handling of its own).
    form = openDialog();
    ASSERT_NE(form, nullptr);
    HWND reset = findNamedIn(form, "BtnReset");
    SetFocus(reset);
    PostMessageA(reset, WM_KEYDOWN, VK_ESCAPE, 0);
    MSG m;
    const DWORD until = GetTickCount() + 1000;
    while (GetTickCount() < until && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    kit::pumpMessages(200);
    EXPECT_EQ(printCheck(), 0);

    // PrintEnd95 without a dialog or a job does nothing; no job reached the queue.
    PrintHost::call("PrintEnd95");
    kit::pumpMessages(1500);
    EXPECT_EQ(host.messages, 0);
    EXPECT_EQ(kit::readKey("prW", "<none>"), "<none>");
    EXPECT_EQ(pdfFiles(out).size(), before);
}

// The host ends the page inside its answer to 2322, then shows a message box, lets its
// messages run or opens the dialog again while the dialog's handler is still on the stack: the
// dialog is gone for the host at once and freed after the handler has returned.
TEST_F(PrintDialogE2E, MeasureListAndPrintItWithTheHostEndingInsideTheMessage) {
    using kit::HostAction;
    host.endInside = true;
    host.callBack = [&] {
        EXPECT_EQ(printCheck(), 0);
        printDlg(host.window.hwnd(), 640, 480, 0);
        EXPECT_EQ(printCheck(), 1);
    };
    int printed = 0;
    for (HostAction action : {HostAction::None, HostAction::PumpMessages, HostAction::MessageBox, HostAction::CallBack}) {
        SCOPED_TRACE(kit::hostActionName(action));
        HWND form = openDialog();
        ASSERT_NE(form, nullptr);
        if (action == HostAction::None) {
            HWND measure = findNamedIn(form, "MeasureBox");
            // The user picks "Pixels": the list reports its choice to the dialog.
            SendMessageA(measure, CB_SETCURSEL, 0, 0);
            SendMessageA(form, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(measure));
            const std::string w = windowText(findNamedIn(form, "LabelDocW"));
            EXPECT_EQ(w.find('.'), std::string::npos) << w;  // whole printer pixels
        }
        host.afterEnd = action;
        {
            kit::WatchdogScope watch("Print It", 60000);
            click(findNamedIn(form, "BtnPrintIt"));
            kit::pumpMessages(300);
        }
        EXPECT_EQ(host.messages, ++printed);
        EXPECT_FALSE(IsWindow(form));
        if (action == HostAction::None) EXPECT_EQ(kit::readIntKey("prW", -1), host.pageW);
        if (action == HostAction::CallBack) {
            HWND again = findNamed("PrintForm");
            ASSERT_NE(again, nullptr);
            EXPECT_NE(again, form);
            click(findNamedIn(again, "BtnClose"));
            kit::pumpMessages(200);
        }
        EXPECT_EQ(printCheck(), 0);
    }
}
