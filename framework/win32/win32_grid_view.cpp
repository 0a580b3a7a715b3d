// The string grid's view: where its rows and columns show, the scroll bars told their ranges,
// and its cells painted on a bitmap and copied to the window in one go.
#include "framework/win32/win32_grid_view.h"

#include <algorithm>

namespace kv::win32::detail::grid {

// Tells a scroll bar its range, page and position unless it was told the same already:
// every telling redraws the bar.
void tellScroll(HWND bar, SCROLLINFO& told, const SCROLLINFO& si, bool redraw) {
    if (told.cbSize && told.nMin == si.nMin && told.nMax == si.nMax && told.nPage == si.nPage && told.nPos == si.nPos)
        return;
    told = si;
    SetScrollInfo(bar, SB_CTL, &si, redraw ? TRUE : FALSE);
}

std::map<HWND, GridState>& states() {
    static std::map<HWND, GridState> s;
    return s;
}

RECT viewPixels(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    const GridState& st = states()[h];
    rc.right = std::max<LONG>(0, rc.right - st.barWidth);
    if (st.hbarShown) rc.bottom = std::max<LONG>(0, rc.bottom - st.barHeight);
    return rc;
}

// Rounded up: a column that ends within the last pixel still counts as shown.
RECT viewRect(HWND h) {
    const RECT rc = viewPixels(h);
    const Scale s = scaleOf(h);
    return {0, 0, s.layoutCeil(rc.right), s.layoutCeil(rc.bottom)};
}

// The vertical bar along the right edge, the sideways one (when shown) along the bottom, and
// between them the corner the grid fills itself.
void placeBars(HWND h, GridState& st) {
    RECT rc;
    GetClientRect(h, &rc);
    const int below = st.hbarShown ? st.barHeight : 0;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(st.vbar, nullptr, rc.right - st.barWidth, 0, st.barWidth, std::max<LONG>(0, rc.bottom - below), flags);
    SetWindowPos(st.hbar, nullptr, 0, rc.bottom - st.barHeight, std::max<LONG>(0, rc.right - st.barWidth), st.barHeight,
                 flags | (st.hbarShown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

StringGrid* gridOf(HWND h) { return dynamic_cast<StringGrid*>(controlOf(h)); }

int rowStep(const StringGrid& g) { return g.defaultRowHeight + 1; }  // a row and its line

int fixedHeight(const StringGrid& g) { return g.fixedRows * rowStep(g); }

// Rows that fit whole below the fixed rows.
int fullRows(const StringGrid& g, HWND h) {
    RECT rc = viewRect(h);
    return std::max(1, static_cast<int>(rc.bottom - fixedHeight(g)) / rowStep(g));
}

int maxTopRow(const StringGrid& g, HWND h) {
    return std::max(g.fixedRows, g.rowCount() - fullRows(g, h));
}

// Top edge of a row, or a value outside the client area for rows scrolled away.
int rowTop(const StringGrid& g, int row) {
    if (row < g.fixedRows) return row * rowStep(g);
    return fixedHeight(g) + (row - g.topRow()) * rowStep(g);
}

// Width of the fixed columns with their lines, and of all columns: the scrolled columns
// show right of the fixed ones, moved left by GridState::scrollX.
int fixedWidth(const StringGrid& g) {
    int x = 0;
    for (int c = 0; c < g.fixedCols && c < g.colCount(); ++c) x += g.colWidth(c) + 1;
    return x;
}

int contentWidth(const StringGrid& g) {
    int x = 0;
    for (int c = 0; c < g.colCount(); ++c) x += g.colWidth(c) + 1;
    return x;
}

int clientWidth(HWND h) { return viewRect(h).right; }

int maxScrollX(const StringGrid& g, HWND h) { return std::max(0, contentWidth(g) - clientWidth(h)); }

// Left edge of every column in the window.
std::vector<int> columnLefts(const StringGrid& g, int scrollX) {
    std::vector<int> lefts(static_cast<size_t>(g.colCount()));
    int x = 0;
    for (int c = 0; c < g.colCount(); ++c) {
        lefts[static_cast<size_t>(c)] = c < g.fixedCols ? x : x - scrollX;
        x += g.colWidth(c) + 1;
    }
    return lefts;
}

int colAt(const StringGrid& g, int scrollX, int x) {
    const bool inFixed = x < fixedWidth(g);
    const std::vector<int> lefts = columnLefts(g, scrollX);
    for (int c = 0; c < g.colCount(); ++c) {
        if ((c < g.fixedCols) != inFixed) continue;
        int left = lefts[static_cast<size_t>(c)];
        if (x >= left && x < left + g.colWidth(c) + 1) return c;
    }
    return -1;
}

int rowAt(const StringGrid& g, int y) {
    if (y < 0) return -1;
    if (y < fixedHeight(g)) return y / rowStep(g);
    int r = g.topRow() + (y - fixedHeight(g)) / rowStep(g);
    return r < g.rowCount() ? r : -1;
}

// The column whose right-hand line lies under x in the header, or -1.
int sizingColAt(const StringGrid& g, int scrollX, int x, int y) {
    if (!(g.options & StringGrid::ColSizing) || y < 0 || y >= fixedHeight(g)) return -1;
    const int fixedW = fixedWidth(g);
    const std::vector<int> lefts = columnLefts(g, scrollX);
    for (int c = 0; c < g.colCount(); ++c) {
        int line = lefts[static_cast<size_t>(c)] + g.colWidth(c);
        if (c >= g.fixedCols && line < fixedW) continue;  // scrolled under the fixed columns
        if (x >= line - 2 && x <= line + 2 && g.colWidth(c) > 1) return c;
    }
    return -1;
}

// Scrolls sideways so that the current column shows, all of it when it fits.
void ensureColVisible(StringGrid& g, HWND h, GridState& st) {
    st.shownCol = g.col();
    if (g.col() < g.fixedCols || g.col() >= g.colCount()) return;
    int left = 0;
    for (int c = 0; c < g.col(); ++c) left += g.colWidth(c) + 1;
    const int right = left + g.colWidth(g.col()) + 1;
    const int fixedW = fixedWidth(g), w = clientWidth(h);
    int x = st.scrollX;
    if (right - x > w) x = right - w;
    if (left - x < fixedW) x = left - fixedW;
    st.scrollX = std::clamp(x, 0, maxScrollX(g, h));
}

void updateScroll(StringGrid& g, HWND h) {
    // Sideways first: the horizontal bar shows only when the columns are wider than the
    // window, and takes its height from the rows that fit. The bars of a window that is not
    // shown are drawn when it shows.
    GridState& st = states()[h];
    const bool redraw = IsWindowVisible(h) != FALSE;
    const bool wide = contentWidth(g) > clientWidth(h);
    if (wide != st.hbarShown) {
        st.hbarShown = wide;
        placeBars(h, st);
        InvalidateRect(h, nullptr, FALSE);  // the rows that fit change
    }
    st.scrollX = std::clamp(st.scrollX, 0, maxScrollX(g, h));
    SCROLLINFO hs{};
    hs.cbSize = sizeof hs;
    hs.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    hs.nMin = 0;
    hs.nMax = std::max(0, contentWidth(g) - 1);
    hs.nPage = static_cast<UINT>(clientWidth(h));
    hs.nPos = st.scrollX;
    if (wide) tellScroll(st.hbar, st.toldH, hs, redraw);

    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = g.fixedRows;
    si.nMax = std::max(g.fixedRows, g.rowCount() - 1);
    si.nPage = static_cast<UINT>(fullRows(g, h));
    si.nPos = g.topRow();
    tellScroll(st.vbar, st.toldV, si, redraw);
}

void invalidate(HWND h, GridState& st) {
    if (st.invalid) return;
    st.invalid = true;
    InvalidateRect(h, nullptr, FALSE);
}

// The current cell, painted anew (its focus frame comes or goes).
void invalidateCurrentCell(const StringGrid& g, HWND h, const GridState& st) {
    if (!(g.options & StringGrid::DrawFocusSelected) || g.col() < g.fixedCols || g.col() >= g.colCount() ||
        g.row() < g.fixedRows || g.row() >= g.rowCount())
        return;
    const int x = columnLefts(g, st.scrollX)[static_cast<size_t>(g.col())], y = rowTop(g, g.row());
    RECT cell = scaleOf(h).px(RECT{x, y, x + g.colWidth(g.col()), y + g.defaultRowHeight});
    InflateRect(&cell, 1, 1);  // the screen's pixels the cell's edges round into
    InvalidateRect(h, &cell, FALSE);
}

// Draws the part `shown` of the window (the part that needs painting, in the screen's pixels):
// the cells that lie in it, on a bitmap, then copied to the window in one go. The cells are
// drawn in layout pixels, which the bitmap's mapping turns into the screen's.
void paint(StringGrid& g, HWND h, HDC target, GridState& st, const RECT& shown) {
    const RECT pixels = viewPixels(h);
    if (pixels.right <= 0 || pixels.bottom <= 0) return;
    const Scale s = scaleOf(h);
    const RECT rc = s.layout(pixels);
    const int w = rc.right, ht = rc.bottom;
    // The layout pixels the part to paint touches, rounded outwards.
    const RECT area = s.identity() ? shown
                                   : RECT{s.layout(shown.left) - 1, s.layout(shown.top) - 1,
                                          s.layoutCeil(shown.right) + 1, s.layoutCeil(shown.bottom) + 1};
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bmp = CreateCompatibleBitmap(target, pixels.right, pixels.bottom);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    drawInLayoutPixels(dc, s);
    HGDIOBJ oldFont = SelectObject(dc, fontOf(g.font(), kLayoutDpi));
    SetBkMode(dc, TRANSPARENT);

    const COLORREF window = colorRef(g.color()), face = GetSysColor(COLOR_BTNFACE),
                   text = colorRef(g.font().color), hiBack = GetSysColor(COLOR_HIGHLIGHT),
                   hiText = GetSysColor(COLOR_HIGHLIGHTTEXT), normalLine = RGB(192, 192, 192),
                   fixedLine = GetSysColor(COLOR_WINDOWFRAME);
    HBRUSH winBrush = CreateSolidBrush(window), faceBrush = CreateSolidBrush(face), hiBrush = CreateSolidBrush(hiBack);
    HPEN normalPen = CreatePen(PS_SOLID, 1, normalLine), fixedPen = CreatePen(PS_SOLID, 1, fixedLine);
    FillRect(dc, &area, winBrush);

    const bool focused = GetFocus() == h;
    const int step = rowStep(g);
    const std::vector<int> lefts = columnLefts(g, st.scrollX);
    const int fixedW = fixedWidth(g);
    // The scrolled rows that show, then the fixed rows; the scrolled columns first, clipped
    // to the part of the window right of the fixed columns, then the fixed columns.
    // Cells: fixed cells raised on the button face, the current cell highlighted, text
    // clipped to its cell; normal cells lie on the background filled above.
    const int bottomRow = std::min(g.rowCount() - 1, g.topRow() + (ht - fixedHeight(g)) / step + 1);
    auto drawRow = [&](int row, int fromCol, int toCol) {
        int y = rowTop(g, row);
        if (y >= std::min<int>(ht, area.bottom) || y + step <= std::max<int>(0, area.top)) return;
        bool fixedRow = row < g.fixedRows;
        for (int col = fromCol; col < toCol; ++col) {
            int x = lefts[static_cast<size_t>(col)];
            int cw = g.colWidth(col);
            if (x >= std::min<int>(w, area.right)) break;
            if (x + cw < 0 || x + cw < area.left) continue;
            bool fixedCell = fixedRow || col < g.fixedCols;
            RECT cell{x, y, x + cw, y + g.defaultRowHeight};
            bool selected = !fixedCell && row == g.row() && col == g.col() &&
                            (g.options & StringGrid::DrawFocusSelected);
            if (fixedCell || selected) FillRect(dc, &cell, fixedCell ? faceBrush : hiBrush);
            if (fixedCell && cw > 2) DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
            const std::string& s = g.cell(col, row);
            if (!s.empty() && cw > 2) {
                if (selected) SetTextColor(dc, hiText);
                RECT clip{cell.left + 2, cell.top, cell.right - 1, cell.bottom};
                ExtTextOutA(dc, cell.left + 2, cell.top + 2, ETO_CLIPPED, &clip, s.c_str(), static_cast<UINT>(s.size()),
                            nullptr);
                if (selected) SetTextColor(dc, text);
            }
            if (selected && focused) DrawFocusRect(dc, &cell);
        }
    };
    SetTextColor(dc, text);
    const int firstScrolled = std::min(g.fixedCols, g.colCount());
    SaveDC(dc);
    IntersectClipRect(dc, fixedW, 0, w, ht);
    for (int r = g.topRow(); r <= bottomRow; ++r) drawRow(r, firstScrolled, g.colCount());
    for (int r = 0; r < g.fixedRows && r < g.rowCount(); ++r) drawRow(r, firstScrolled, g.colCount());
    RestoreDC(dc, -1);
    for (int r = g.topRow(); r <= bottomRow; ++r) drawRow(r, 0, firstScrolled);
    for (int r = 0; r < g.fixedRows && r < g.rowCount(); ++r) drawRow(r, 0, firstScrolled);

    // Grid lines, each drawn once across the rows or columns it runs through: right of every
    // column and below every row, in the fixed colour where they bound fixed cells.
    const int rowsBottom = std::min(ht, rowTop(g, bottomRow) + step);
    const int colsRight = std::min(w, g.colCount() > g.fixedCols ? contentWidth(g) - st.scrollX : fixedW);
    std::vector<POINT> fixedPts, normalPts;
    auto segment = [](std::vector<POINT>& v, int x1, int y1, int x2, int y2) {
        v.push_back({x1, y1});
        v.push_back({x2, y2});
    };
    const int fh = fixedHeight(g);
    for (int c = 0; c < g.colCount(); ++c) {
        const int x = lefts[static_cast<size_t>(c)] + g.colWidth(c);
        bool fixedCol = c < g.fixedCols;
        if (x >= w) break;
        if (!fixedCol && x < fixedW) continue;  // scrolled under the fixed columns
        // The header part of every column line is a fixed line; below it, fixed columns
        // have fixed lines and the others normal ones.
        if (g.options & StringGrid::FixedVertLine) segment(fixedPts, x, 0, x, fh);
        if (fixedCol && (g.options & StringGrid::FixedVertLine)) segment(fixedPts, x, fh, x, rowsBottom);
        if (!fixedCol && (g.options & StringGrid::VertLine)) segment(normalPts, x, fh, x, rowsBottom);
    }
    auto rowLine = [&](int row) {
        int y = rowTop(g, row) + g.defaultRowHeight;
        if (y < 0 || y >= ht) return;
        bool fixedRow = row < g.fixedRows;
        if (fixedRow) {
            if (g.options & StringGrid::FixedHorzLine) segment(fixedPts, 0, y, colsRight, y);
            return;
        }
        if (g.options & StringGrid::FixedHorzLine) segment(fixedPts, 0, y, fixedW, y);
        if (g.options & StringGrid::HorzLine) segment(normalPts, fixedW, y, colsRight, y);
    };
    for (int r = 0; r < g.fixedRows && r < g.rowCount(); ++r) rowLine(r);
    for (int r = g.topRow(); r <= bottomRow; ++r) rowLine(r);
    auto drawSegments = [&](std::vector<POINT>& v, HPEN pen) {
        if (v.empty()) return;
        std::vector<DWORD> counts(v.size() / 2, 2);
        SelectObject(dc, pen);
        PolyPolyline(dc, v.data(), counts.data(), static_cast<DWORD>(counts.size()));
    };
    drawSegments(normalPts, normalPen);
    drawSegments(fixedPts, fixedPen);

    // Where a dragged row would land.
    if (st.drag == Drag::RowMove && st.dropRow >= 0) {
        int y = rowTop(g, st.dropRow) + (st.dropRow > st.dragRow ? step - 1 : 0);
        RECT mark{0, y - 1, w, y + 1};
        FillRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    SetMapMode(dc, MM_TEXT);
    BitBlt(target, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, dc, shown.left, shown.top,
           SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    DeleteObject(winBrush);
    DeleteObject(faceBrush);
    DeleteObject(hiBrush);
    DeleteObject(normalPen);
    DeleteObject(fixedPen);
}

}  // namespace kv::win32::detail::grid
