#include "framework/win32/win32_glyphs.h"

#include <initializer_list>

namespace kv::win32 {

namespace {

// Draws in a 16 x 16 box with its top left corner at (ox, oy). In the greyed form every
// colour is replaced by one colour (drawn twice, shadow over highlight, as disabled
// pictures look).
class Pen16 {
public:
    Pen16(HDC dc, int ox, int oy, bool mono, COLORREF monoColor)
        : dc_(dc), ox_(ox), oy_(oy), mono_(mono), monoColor_(monoColor) {}

    void box(int x, int y, int w, int h, COLORREF fill, COLORREF edge) {
        HBRUSH b = CreateSolidBrush(c(fill));
        HPEN p = CreatePen(PS_SOLID, 1, c(edge));
        HGDIOBJ ob = SelectObject(dc_, b), op = SelectObject(dc_, p);
        Rectangle(dc_, ox_ + x, oy_ + y, ox_ + x + w, oy_ + y + h);
        SelectObject(dc_, ob);
        SelectObject(dc_, op);
        DeleteObject(b);
        DeleteObject(p);
    }
    void poly(std::initializer_list<POINT> pts, COLORREF fill, COLORREF edge) {
        POINT v[16];
        int n = 0;
        for (POINT q : pts) v[n++] = {ox_ + q.x, oy_ + q.y};
        HBRUSH b = CreateSolidBrush(c(fill));
        HPEN p = CreatePen(PS_SOLID, 1, c(edge));
        HGDIOBJ ob = SelectObject(dc_, b), op = SelectObject(dc_, p);
        Polygon(dc_, v, n);
        SelectObject(dc_, ob);
        SelectObject(dc_, op);
        DeleteObject(b);
        DeleteObject(p);
    }
    void line(int x1, int y1, int x2, int y2, COLORREF color, int width = 1) {
        HPEN p = CreatePen(PS_SOLID, width, c(color));
        HGDIOBJ op = SelectObject(dc_, p);
        MoveToEx(dc_, ox_ + x1, oy_ + y1, nullptr);
        LineTo(dc_, ox_ + x2, oy_ + y2);
        SelectObject(dc_, op);
        DeleteObject(p);
    }
    void ellipse(int x, int y, int w, int h, COLORREF fill, COLORREF edge, bool hollow = false) {
        HBRUSH b = hollow ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(c(fill));
        HPEN p = CreatePen(PS_SOLID, hollow ? 2 : 1, c(edge));
        HGDIOBJ ob = SelectObject(dc_, b), op = SelectObject(dc_, p);
        Ellipse(dc_, ox_ + x, oy_ + y, ox_ + x + w, oy_ + y + h);
        SelectObject(dc_, ob);
        SelectObject(dc_, op);
        if (!hollow) DeleteObject(b);
        DeleteObject(p);
    }
    void text(int x, int y, const char* s, COLORREF color) {
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, c(color));
        TextOutA(dc_, ox_ + x, oy_ + y, s, lstrlenA(s));
    }

private:
    COLORREF c(COLORREF v) const { return mono_ ? monoColor_ : v; }
    HDC dc_;
    int ox_, oy_;
    bool mono_;
    COLORREF monoColor_;
};

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kYellow = RGB(255, 223, 96),
                   kDarkYellow = RGB(160, 128, 0), kBlue = RGB(0, 0, 160), kGreen = RGB(0, 160, 0),
                   kRed = RGB(200, 0, 0), kGrey = RGB(128, 128, 128), kSilver = RGB(192, 192, 192),
                   kNavy = RGB(0, 0, 128), kTeal = RGB(0, 128, 128);

void folder(Pen16& g) {
    g.poly({{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 14}, {1, 14}}, kYellow, kDarkYellow);
}

void drawNamed(Pen16& g, const std::string& name) {
    if (name == "open") {
        folder(g);
        g.poly({{3, 9}, {16, 9}, {13, 14}, {1, 14}}, RGB(255, 240, 160), kDarkYellow);
    } else if (name == "save") {
        g.box(1, 1, 14, 14, kNavy, kBlack);
        g.box(4, 1, 8, 6, kWhite, kBlack);
        g.box(4, 9, 8, 6, kSilver, kBlack);
        g.box(9, 10, 2, 4, kNavy, kNavy);
    } else if (name == "new") {
        g.poly({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kWhite, kBlack);
        g.poly({{10, 1}, {10, 4}, {13, 4}}, kSilver, kBlack);
    } else if (name == "run") {
        g.poly({{3, 1}, {14, 8}, {3, 15}}, kGreen, RGB(0, 96, 0));
    } else if (name == "help") {
        g.ellipse(0, 0, 16, 16, RGB(255, 255, 200), kBlue);
        g.text(4, 1, "?", kBlue);
    } else if (name == "close") {
        g.box(2, 1, 10, 14, RGB(160, 96, 32), kBlack);
        g.poly({{6, 2}, {11, 1}, {11, 15}, {6, 14}}, RGB(200, 140, 64), kBlack);
        g.box(7, 7, 2, 2, kYellow, kBlack);
        g.line(13, 8, 16, 8, kRed, 2);
    } else if (name == "erase") {
        g.line(3, 3, 13, 13, kRed, 3);
        g.line(13, 3, 3, 13, kRed, 3);
    } else if (name == "move") {
        g.poly({{8, 0}, {13, 5}, {10, 5}, {10, 11}, {13, 11}, {8, 16}, {3, 11}, {6, 11}, {6, 5}, {3, 5}}, kTeal,
               kBlack);
    } else if (name == "find") {
        g.ellipse(1, 1, 10, 10, RGB(200, 230, 255), kBlack);
        g.line(9, 9, 15, 15, kBlack, 3);
    } else if (name == "info") {
        g.ellipse(0, 0, 16, 16, kWhite, kBlue);
        g.box(7, 3, 2, 2, kBlue, kBlue);
        g.box(7, 6, 2, 7, kBlue, kBlue);
    } else if (name == "relocate") {
        folder(g);
        g.poly({{6, 9}, {10, 9}, {10, 7}, {14, 10}, {10, 13}, {10, 11}, {6, 11}}, kGreen, RGB(0, 96, 0));
    } else if (name == "file") {
        g.poly({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kWhite, kGrey);
        g.poly({{10, 1}, {10, 4}, {13, 4}}, kSilver, kGrey);
        g.line(5, 7, 11, 7, kNavy);
        g.line(5, 10, 11, 10, kNavy);
    } else if (name == "folder") {
        folder(g);
    } else if (name == "folder-open") {
        folder(g);
        g.poly({{3, 9}, {16, 9}, {13, 14}, {1, 14}}, RGB(255, 240, 160), kDarkYellow);
    } else if (name == "up") {
        folder(g);
        g.poly({{8, 7}, {12, 11}, {10, 11}, {10, 13}, {6, 13}, {6, 11}, {4, 11}}, kGreen, RGB(0, 96, 0));
    } else if (name == "goodies") {
        g.box(2, 2, 12, 12, kWhite, kBlack);
        g.line(4, 5, 12, 5, kBlack);
        g.line(4, 8, 12, 8, kBlack);
        g.line(4, 11, 12, 11, kBlack);
    } else if (name == "jpeg") {
        g.box(1, 3, 14, 10, RGB(200, 230, 255), kBlack);
        g.poly({{2, 12}, {6, 6}, {9, 10}, {11, 8}, {14, 12}}, kGreen, RGB(0, 96, 0));
        g.ellipse(10, 4, 3, 3, kYellow, kDarkYellow);
    } else if (name.rfind("drive-", 0) == 0) {
        g.box(1, 6, 14, 6, kSilver, kBlack);
        g.line(2, 10, 13, 10, kGrey);
        if (name == "drive-floppy") {
            g.box(5, 7, 6, 2, kBlack, kBlack);
        } else if (name == "drive-cd") {
            g.ellipse(4, 1, 8, 8, RGB(230, 230, 255), kGrey);
            g.ellipse(7, 4, 2, 2, kWhite, kGrey);
        } else if (name == "drive-net") {
            g.line(8, 12, 8, 15, kBlack);
            g.line(3, 15, 13, 15, kBlack);
        } else {
            g.box(11, 7, 2, 2, kGreen, kGreen);
        }
    } else if (name == "mplay") {  // the media buttons: green triangles, dark bars
        g.poly({{5, 3}, {12, 8}, {5, 13}}, kGreen, kBlack);
    } else if (name == "mpause") {
        g.box(4, 3, 3, 10, kNavy, kBlack);
        g.box(9, 3, 3, 10, kNavy, kBlack);
    } else if (name == "mstop") {
        g.box(4, 4, 8, 8, kRed, kBlack);
    } else if (name == "mnext" || name == "mstep") {
        g.poly({{3, 3}, {9, 8}, {3, 13}}, kNavy, kBlack);
        if (name == "mnext") g.box(10, 3, 3, 11, kNavy, kBlack);
        else g.poly({{8, 3}, {14, 8}, {8, 13}}, kNavy, kBlack);
    } else if (name == "mprev" || name == "mback") {
        g.poly({{13, 3}, {7, 8}, {13, 13}}, kNavy, kBlack);
        if (name == "mprev") g.box(3, 3, 3, 11, kNavy, kBlack);
        else g.poly({{8, 3}, {2, 8}, {8, 13}}, kNavy, kBlack);
    } else if (name == "mrecord") {
        g.ellipse(4, 4, 9, 9, kRed, kBlack);
    } else if (name == "meject") {
        g.poly({{8, 3}, {14, 9}, {2, 9}}, kNavy, kBlack);
        g.box(2, 11, 13, 3, kNavy, kBlack);
    } else if (name == "mmenu") {  // the options button: a list with a pointer
        g.box(2, 3, 12, 2, kBlack, kBlack);
        g.box(2, 7, 12, 2, kBlack, kBlack);
        g.box(2, 11, 12, 2, kBlack, kBlack);
    } else if (name == "trash") {
        g.box(2, 2, 12, 2, kGrey, kBlack);
        g.box(6, 0, 4, 3, kGrey, kBlack);
        g.poly({{3, 4}, {13, 4}, {12, 15}, {4, 15}}, kSilver, kBlack);
        g.line(6, 6, 6, 13, kGrey);
        g.line(8, 6, 8, 13, kGrey);
        g.line(10, 6, 10, 13, kGrey);
    }
}

}  // namespace

void drawGlyph(HDC dc, const std::string& name, int cx, int cy, bool disabled) {
    int ox = cx - 8, oy = cy - 8;
    if (disabled) {
        Pen16 hi(dc, ox + 1, oy + 1, true, GetSysColor(COLOR_BTNHIGHLIGHT));
        drawNamed(hi, name);
        Pen16 sh(dc, ox, oy, true, GetSysColor(COLOR_BTNSHADOW));
        drawNamed(sh, name);
        return;
    }
    Pen16 g(dc, ox, oy, false, 0);
    drawNamed(g, name);
}

void drawGlyph(HDC dc, const std::string& name, int cx, int cy, bool disabled, int multiple, COLORREF back) {
    if (multiple <= 1) {
        drawGlyph(dc, name, cx, cy, disabled);
        return;
    }
    // Drawn at its own size on the background, then every pixel made a square of pixels.
    constexpr int kBox = 17;  // the picture and the greyed form's highlight one pixel below right
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, kBox, kBox);
    if (!mem || !bmp) {
        if (bmp) DeleteObject(bmp);
        if (mem) DeleteDC(mem);
        drawGlyph(dc, name, cx, cy, disabled);
        return;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, kBox, kBox};
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    drawGlyph(mem, name, 8, 8, disabled);
    const int x = cx - 8 * multiple, y = cy - 8 * multiple;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, kBox * multiple, kBox * multiple, mem, 0, 0, kBox, kBox, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

}  // namespace kv::win32
