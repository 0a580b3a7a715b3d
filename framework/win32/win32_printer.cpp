// The printer port over the platform's printing services: the default printer (or the one
// chosen in the common print dialog) as a device context of the spooler, its page size and
// capabilities, and one document of one page at a time.
#include <windows.h>

#include <commdlg.h>

#include "framework/win32/win32_ports.h"

namespace kv::win32 {

namespace {

class Win32Printer final : public PrinterPort {
public:
    std::optional<PrinterPage> page() override {
        if (!chooseDefault()) return std::nullopt;
        // Asked once per printer setting: each activation of the dialog reads it, and an
        // information context of a printer costs milliseconds.
        if (known_) return known_;
        HDC dc = createDc(true);
        if (!dc) return std::nullopt;
        PrinterPage p;
        p.width = GetDeviceCaps(dc, HORZRES);
        p.height = GetDeviceCaps(dc, VERTRES);
        p.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        p.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        p.bitsPixel = GetDeviceCaps(dc, BITSPIXEL);
        p.planes = GetDeviceCaps(dc, PLANES);
        DeleteDC(dc);
        if (auto* dm = static_cast<DEVMODEA*>(GlobalLock(devMode_))) {
            p.landscape = (dm->dmFields & DM_ORIENTATION) && dm->dmOrientation == DMORIENT_LANDSCAPE;
            GlobalUnlock(devMode_);
        }
        p.name = deviceName();
        if (p.width <= 0 || p.height <= 0 || p.dpiX <= 0 || p.dpiY <= 0) return std::nullopt;
        known_ = p;
        return p;
    }

    bool setupDialog() override {
        chooseDefault();
        PRINTDLGA pd{};
        pd.lStructSize = sizeof pd;
        pd.hwndOwner = GetActiveWindow();
        pd.hDevMode = devMode_;
        pd.hDevNames = devNames_;
        pd.Flags = PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
        pd.nFromPage = pd.nToPage = pd.nMinPage = pd.nMaxPage = 1;
        pd.nCopies = 1;
        BOOL ok = PrintDlgA(&pd);
        known_.reset();
        // The dialog may hand back new settings blocks in place of the ones it was given.
        if (pd.hDevMode != devMode_ && devMode_) GlobalFree(devMode_);
        if (pd.hDevNames != devNames_ && devNames_) GlobalFree(devNames_);
        devMode_ = pd.hDevMode;
        devNames_ = pd.hDevNames;
        return ok != FALSE;
    }

    bool beginDoc(const std::string& title) override {
        if (dc_ || !chooseDefault()) return false;
        dc_ = createDc(false);
        if (!dc_) return false;
        std::string t = title.substr(0, 31);
        DOCINFOA di{};
        di.cbSize = sizeof di;
        di.lpszDocName = t.c_str();
        if (StartDocA(dc_, &di) <= 0) {
            DeleteDC(dc_);
            dc_ = nullptr;
            return false;
        }
        if (StartPage(dc_) <= 0) {
            AbortDoc(dc_);
            DeleteDC(dc_);
            dc_ = nullptr;
            return false;
        }
        return true;
    }

    uintptr_t surface() override { return reinterpret_cast<uintptr_t>(dc_); }
    bool printing() override { return dc_ != nullptr; }

    bool endDoc() override {
        if (!dc_) return false;
        bool ok = EndPage(dc_) > 0;
        ok = EndDoc(dc_) > 0 && ok;
        DeleteDC(dc_);
        dc_ = nullptr;
        return ok;
    }

    void abortDoc() override {
        if (!dc_) return;
        AbortDoc(dc_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    // The settings of the system's default printer, until a printer is chosen. False when
    // there is no printer; asked again next time, as a printer may have been added since.
    bool chooseDefault() {
        if (devNames_) return true;
        PRINTDLGA pd{};
        pd.lStructSize = sizeof pd;
        pd.Flags = PD_RETURNDEFAULT;
        if (!PrintDlgA(&pd)) return false;
        devMode_ = pd.hDevMode;
        devNames_ = pd.hDevNames;
        return devNames_ != nullptr;
    }

    std::string deviceName() {
        std::string name;
        if (auto* dn = static_cast<DEVNAMES*>(GlobalLock(devNames_))) {
            name = reinterpret_cast<const char*>(dn) + dn->wDeviceOffset;
            GlobalUnlock(devNames_);
        }
        return name;
    }

    // A device context of the chosen printer: an information context to ask it, or one to
    // print on.
    HDC createDc(bool info) {
        auto* dn = static_cast<DEVNAMES*>(GlobalLock(devNames_));
        if (!dn) return nullptr;
        const char* base = reinterpret_cast<const char*>(dn);
        auto* dm = devMode_ ? static_cast<DEVMODEA*>(GlobalLock(devMode_)) : nullptr;
        HDC dc = info ? CreateICA(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm)
                      : CreateDCA(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm);
        if (dm) GlobalUnlock(devMode_);
        GlobalUnlock(devNames_);
        return dc;
    }

    HGLOBAL devMode_ = nullptr, devNames_ = nullptr;
    HDC dc_ = nullptr;
    std::optional<PrinterPage> known_;  // the page of the printer as set now
};

}  // namespace

PrinterPort& printerPort() {
    static Win32Printer p;
    return p;
}

}  // namespace kv::win32
