// What a host does with the print message: the picture, stretched onto the printer's page.
#include <vector>

#include "tests/e2e/kit/kit.h"

namespace kv::kit {

bool drawPictureFile(HDC dc, const std::string& file, int left, int top, int width, int height) {
    auto bmp = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bmp) return false;
    DIBSECTION ds{};
    bool ok = GetObjectA(bmp, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits;
    if (ok) {
        // The bits go to the printer as a device-independent picture: a printer's surface
        // takes no blit from a screen bitmap.
        BITMAPINFO bi{};
        bi.bmiHeader = ds.dsBmih;
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        SetStretchBltMode(dc, COLORONCOLOR);
        ok = StretchDIBits(dc, left, top, width, height, 0, 0, ds.dsBm.bmWidth, ds.dsBm.bmHeight, ds.dsBm.bmBits, &bi,
                           DIB_RGB_COLORS, SRCCOPY) != 0 && ok;
    }
    DeleteObject(bmp);
    return ok;
}

}  // namespace kv::kit
