// Opening the print layout dialog through the real DLL: from the call of PrintDlg95 until it
// returns with the preview painted (the dialog is modeless: the call shows it and lets its
// messages run). Prints the first opening (the process loads the printing services then),
// the median of the later ones, and beside them what the printer's part alone costs: the
// default printer's settings and an information context of it, done here directly.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_figures.h"
#include "tests/e2e/kit/kit.h"

namespace kit = kv::kit;
using kit::nowMs;

namespace {

// The default printer's settings and an information context of it, as the printer port asks.
double printerPartMs() {
    const double t0 = nowMs();
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd)) return -1;
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
    const char* base = reinterpret_cast<const char*>(dn);
    HDC ic = CreateICA(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, nullptr);
    GetDeviceCaps(ic, HORZRES);
    DeleteDC(ic);
    GlobalUnlock(pd.hDevNames);
    GlobalFree(pd.hDevNames);
    GlobalFree(pd.hDevMode);
    return nowMs() - t0;
}

}  // namespace

int main() {
    if (!kit::dll()) {
        std::printf("cannot load %s\n", kit::dllPath().c_str());
        return 1;
    }
    auto dlg = reinterpret_cast<void(WINAPI*)(HWND, int32_t, int32_t, int32_t)>(kit::exportAddress("PrintDlg95"));
    auto end = reinterpret_cast<void(WINAPI*)()>(kit::exportAddress("PrintEnd95"));
    auto check = reinterpret_cast<int32_t(WINAPI*)()>(kit::exportAddress("PrintCheck95"));
    HWND host = CreateWindowExA(0, "STATIC", "bench host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    kv::bench::Runs opens("print dialog open until painted (later openings)");
    double first = -1;
    for (int i = 0; i < 12; ++i) {
        kit::WatchdogScope watch("PrintDlg95", 30000);
        const double t0 = nowMs();
        dlg(host, 640, 480, 0);
        const double ms = nowMs() - t0;
        if (check() != 1) {
            std::printf("the dialog did not open (no printer?)\n");
            return 1;
        }
        if (i == 0) first = ms;
        else opens.add(ms, "");
        end();
        kit::pumpMessages(50);
    }
    kv::bench::Runs printer("default printer settings + information context alone");
    for (int i = 0; i < 5; ++i) printer.add(printerPartMs(), "the platform's print dialog gave no default printer");
    if (opens.measured())
        std::printf("print dialog open until painted: first %.1f ms, median of %zu later %.1f ms\n", first, opens.count(),
                    opens.median());
    if (printer.measured())
        std::printf("default printer settings + information context alone: median %.1f ms\n", printer.median());
    return kv::bench::exitStatus();
}
