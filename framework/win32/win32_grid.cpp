// The string grid as a window of its own: draws the visible rows of the grid object (fixed
// header row and columns, grid lines, the current cell drawn selected), scrolls vertically
// with thumb tracking and sideways when its columns are wider than the window (the fixed
// columns stay in place), sizes columns by dragging the header lines, moves a row dragged by
// its number cell, moves the current cell with the keyboard and the mouse, and reports
// clicks, double clicks, keys and mouse buttons to the object. It answers WM_GETTEXT with the
// text of the current cell.
//
// Its scroll bars are two bar controls of its own, named after the grid with "VScroll" and
// "HScroll" added and drawn in the classic style. The bars of a window's frame would follow
// the desktop's visual style, whose bitmaps take longer to draw than the whole table.
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <vector>

#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

const char* const kGridClass = "KvGrid";

namespace {

enum class Drag { None, ColSize, RowMove };

struct GridState {
    bool invalid = false;      // an invalidation is pending (cells change in bulk)
    bool scrollDirty = true;   // the scroll bar must be set again before painting
    HWND vbar = nullptr, hbar = nullptr;  // the scroll bars; the sideways one shows when needed
    bool hbarShown = false;
    int barWidth = 0, barHeight = 0;  // of the vertical and the horizontal bar
    Drag drag = Drag::None;
    int dragCol = 0;           // column being sized
    int dragStartX = 0, dragStartWidth = 0;
    int dragRow = 0;           // row being moved
    int dropRow = -1;          // where it would land
    int scrollX = 0;           // pixels the columns right of the fixed ones are scrolled left
    int shownCol = -1;         // current column last scrolled into view
    SCROLLINFO toldH{}, toldV{};  // what the scroll bars were last told
};

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

// The part of the window the cells show in: the client area less the scroll bars.
RECT viewRect(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    const GridState& st = states()[h];
    rc.right = std::max<LONG>(0, rc.right - st.barWidth);
    if (st.hbarShown) rc.bottom = std::max<LONG>(0, rc.bottom - st.barHeight);
    return rc;
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
    RECT cell{x, y, x + g.colWidth(g.col()), y + g.defaultRowHeight};
    InvalidateRect(h, &cell, FALSE);
}

// Draws the part `area` of the window (the part that needs painting): the cells that lie in it,
// on a bitmap, then copied to the window in one go.
void paint(StringGrid& g, HWND h, HDC target, GridState& st, const RECT& area) {
    RECT rc = viewRect(h);
    int w = rc.right, ht = rc.bottom;
    if (w <= 0 || ht <= 0) return;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bmp = CreateCompatibleBitmap(target, w, ht);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HGDIOBJ oldFont = SelectObject(dc, fontOf(g.font()));
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

    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc, area.left, area.top, SRCCOPY);
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

// Keeps the current row inside the rows that show whole.
void ensureVisible(StringGrid& g, HWND h) {
    int full = fullRows(g, h);
    if (g.row() < g.topRow()) g.setTopRow(g.row());
    else if (g.row() >= g.topRow() + full) g.setTopRow(g.row() - full + 1);
    if (g.topRow() > maxTopRow(g, h)) g.setTopRow(maxTopRow(g, h));
}

// After the user's own scrolling the bar follows at once (bulk changes wait for the paint).
void syncScroll(StringGrid& g, HWND h) {
    states()[h].scrollDirty = false;
    updateScroll(g, h);
}

// Moves the current cell as the user does and reports it as the grid's click.
void moveTo(StringGrid& g, HWND h, int col, int row) {
    showingErrors([&] {
        g.setCol(col);
        g.setRow(row);
        ensureVisible(g, h);
    });
    syncScroll(g, h);
    showingErrors([&] { g.click(); });
    pokeModalLoop(g);
}

void navigate(StringGrid& g, HWND h, int key, unsigned shift) {
    int row = g.row(), col = g.col();
    int page = fullRows(g, h);
    int lastRow = g.rowCount() - 1, lastCol = g.colCount() - 1;
    switch (key) {
        case VK_UP: row -= 1; break;
        case VK_DOWN: row += 1; break;
        case VK_LEFT: col -= 1; break;
        case VK_RIGHT: col += 1; break;
        case VK_PRIOR:
            row -= page;
            showingErrors([&] { g.setTopRow(std::max(g.fixedRows, g.topRow() - page)); });
            break;
        case VK_NEXT:
            row += page;
            showingErrors([&] { g.setTopRow(std::min(maxTopRow(g, h), g.topRow() + page)); });
            break;
        case VK_HOME:
            if (shift & CtrlKey) row = g.fixedRows;
            else col = g.fixedCols;
            break;
        case VK_END:
            if (shift & CtrlKey) row = lastRow;
            else col = lastCol;
            break;
        default: return;
    }
    row = std::clamp(row, g.fixedRows, lastRow);
    col = std::clamp(col, g.fixedCols, lastCol);
    moveTo(g, h, col, row);
}

void scrollTo(StringGrid& g, HWND h, int top) {
    top = std::clamp(top, g.fixedRows, maxTopRow(g, h));
    showingErrors([&] { g.setTopRow(top); });
    syncScroll(g, h);
}

void scrollSideways(StringGrid& g, HWND h, int left) {
    GridState& st = states()[h];
    left = std::clamp(left, 0, maxScrollX(g, h));
    if (left == st.scrollX) return;
    st.scrollX = left;
    syncScroll(g, h);
    InvalidateRect(h, nullptr, FALSE);
}

LRESULT CALLBACK gridProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    StringGrid* g = gridOf(h);
    if (!g) {
        if (msg == WM_NCDESTROY) states().erase(h);
        return DefWindowProcA(h, msg, wp, lp);
    }
    HandlerScope running;
    GridState& st = states()[h];
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(g->cell(g->col(), g->row()).size());
        case WM_GETTEXT: {
            const std::string& s = g->cell(g->col(), g->row());
            if (wp == 0 || !lp) return 0;
            size_t n = std::min(s.size(), static_cast<size_t>(wp) - 1);
            char* out = reinterpret_cast<char*>(lp);
            std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n), out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            if (st.scrollDirty) {
                st.scrollDirty = false;
                updateScroll(*g, h);
            }
            st.invalid = false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            RECT view = viewRect(h), area;
            if (IntersectRect(&area, &ps.rcPaint, &view)) paint(*g, h, dc, st, area);
            if (st.hbarShown) {
                RECT rc;
                GetClientRect(h, &rc);
                RECT corner{view.right, view.bottom, rc.right, rc.bottom};
                FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
            }
            EndPaint(h, &ps);
            return 0;
        }
        case WM_SIZE:
            placeBars(h, st);
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_ENABLE:
            // A disabled table does not scroll by its bars either (a child window takes the
            // mouse whatever its parent's state).
            EnableWindow(st.vbar, wp != 0);
            EnableWindow(st.hbar, wp != 0);
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // Only the current cell shows whether the grid has the focus (its focus frame).
            invalidateCurrentCell(*g, h, st);
            if (msg == WM_KILLFOCUS) forgetSentModifiers();
            return 0;
        case WM_VSCROLL: {
            int top = g->topRow(), page = fullRows(*g, h);
            switch (LOWORD(wp)) {
                case SB_LINEUP: top -= 1; break;
                case SB_LINEDOWN: top += 1; break;
                case SB_PAGEUP: top -= page; break;
                case SB_PAGEDOWN: top += page; break;
                case SB_TOP: top = g->fixedRows; break;
                case SB_BOTTOM: top = maxTopRow(*g, h); break;
                case SB_THUMBTRACK:
                    if (!(g->options & StringGrid::ThumbTracking)) return 0;
                    [[fallthrough]];
                case SB_THUMBPOSITION: {
                    SCROLLINFO si{sizeof si, SIF_TRACKPOS};
                    GetScrollInfo(st.vbar, SB_CTL, &si);
                    top = si.nTrackPos;
                    break;
                }
                default: return 0;
            }
            scrollTo(*g, h, top);
            return 0;
        }
        case WM_HSCROLL: {
            int left = st.scrollX, page = std::max(1, clientWidth(h) - fixedWidth(*g));
            switch (LOWORD(wp)) {
                case SB_LINELEFT: left -= rowStep(*g); break;
                case SB_LINERIGHT: left += rowStep(*g); break;
                case SB_PAGELEFT: left -= page; break;
                case SB_PAGERIGHT: left += page; break;
                case SB_LEFT: left = 0; break;
                case SB_RIGHT: left = maxScrollX(*g, h); break;
                case SB_THUMBTRACK:
                    if (!(g->options & StringGrid::ThumbTracking)) return 0;
                    [[fallthrough]];
                case SB_THUMBPOSITION: {
                    SCROLLINFO si{sizeof si, SIF_TRACKPOS};
                    GetScrollInfo(st.hbar, SB_CTL, &si);
                    left = si.nTrackPos;
                    break;
                }
                default: return 0;
            }
            scrollSideways(*g, h, left);
            return 0;
        }
        case WM_MOUSEWHEEL:
            scrollTo(*g, h, g->topRow() - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3);
            return 0;
        case WM_MOUSEHWHEEL:
            scrollSideways(*g, h, st.scrollX + GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3 * rowStep(*g));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            trackModifier(msg, wp);
            if (handleKeyDown(*g, h, wp)) return 0;
            if (msg == WM_KEYDOWN) navigate(*g, h, static_cast<int>(wp), keyShift());
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            trackModifier(msg, wp);
            return 0;
        case WM_CHAR:
            handleChar(*g, wp);
            return 0;
        case WM_SYSCHAR:
            // Alt+letter reaches the buttons' mnemonics as from any other control.
            if (handleSysChar(*g, wp)) return 0;
            break;
        case WM_SETCURSOR:
            if (ports().user && ports().user->cursor() == CursorKind::HourGlass) {
                SetCursor(LoadCursorA(nullptr, IDC_WAIT));
                return TRUE;
            }
            if (LOWORD(lp) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(h, &p);
                SetCursor(LoadCursorA(nullptr, sizingColAt(*g, st.scrollX, p.x, p.y) >= 0 || st.drag == Drag::ColSize
                                                   ? IDC_SIZEWE
                                                   : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN: {
            SetFocus(h);
            unsigned shift = keyShift() | LeftButton;
            int sc = sizingColAt(*g, st.scrollX, x, y);
            int col = colAt(*g, st.scrollX, x), row = rowAt(*g, y);
            if (sc >= 0) {
                st.drag = Drag::ColSize;
                st.dragCol = sc;
                st.dragStartX = x;
                st.dragStartWidth = g->colWidth(sc);
                SetCapture(h);
            } else if ((g->options & StringGrid::RowMoving) && col >= 0 && col < g->fixedCols && row >= g->fixedRows) {
                st.drag = Drag::RowMove;
                st.dragRow = row;
                st.dropRow = row;
                SetCapture(h);
            } else if (col >= g->fixedCols && row >= g->fixedRows) {
                moveTo(*g, h, col, row);
            }
            showingErrors([&] { g->mouseDown(MouseButton::Left, shift, x, y); });
            pokeModalLoop(*g);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (st.drag == Drag::ColSize) {
                int nw = std::max(1, st.dragStartWidth + x - st.dragStartX);
                if (nw != g->colWidth(st.dragCol)) showingErrors([&] { g->setColWidth(st.dragCol, nw); });
            } else if (st.drag == Drag::RowMove) {
                RECT rc = viewRect(h);
                if (y < fixedHeight(*g)) scrollTo(*g, h, g->topRow() - 1);
                else if (y >= rc.bottom) scrollTo(*g, h, g->topRow() + 1);
                int r = rowAt(*g, std::clamp(y, fixedHeight(*g), static_cast<int>(rc.bottom) - 1));
                if (r < g->fixedRows) r = g->fixedRows;
                if (r < 0) r = g->rowCount() - 1;
                if (r != st.dropRow) {
                    st.dropRow = r;
                    InvalidateRect(h, nullptr, FALSE);
                }
            }
            return 0;
        case WM_LBUTTONUP: {
            Drag was = st.drag;
            st.drag = Drag::None;
            if (GetCapture() == h) ReleaseCapture();
            if (was == Drag::RowMove) {
                int from = st.dragRow, to = st.dropRow;
                st.dropRow = -1;
                InvalidateRect(h, nullptr, FALSE);
                if (to >= g->fixedRows && to != from) showingErrors([&] { g->moveRow(from, to); });
            }
            showingErrors([&] { g->mouseUp(MouseButton::Left, keyShift(), x, y); });
            pokeModalLoop(*g);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (st.drag != Drag::None && reinterpret_cast<HWND>(lp) != h) {
                st.drag = Drag::None;
                st.dropRow = -1;
                InvalidateRect(h, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONDBLCLK:
            if (rowAt(*g, y) >= g->fixedRows && colAt(*g, st.scrollX, x) >= g->fixedCols) {
                showingErrors([&] { g->dblClick(); });
                pokeModalLoop(*g);
            }
            return 0;
        case WM_RBUTTONDOWN:
            showingErrors([&] { g->mouseDown(MouseButton::Right, keyShift() | RightButton, x, y); });
            pokeModalLoop(*g);
            return 0;
        case WM_RBUTTONUP:
            showingErrors([&] { g->mouseUp(MouseButton::Right, keyShift(), x, y); });
            pokeModalLoop(*g);
            return 0;
        case WM_CONTEXTMENU: return 0;
        case WM_NCDESTROY: states().erase(h); break;
        default: break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

void registerGridClass(HINSTANCE inst) { registerWindowClass(inst, kGridClass, gridProc, CS_DBLCLKS); }

HWND createGrid(StringGrid& g, HWND parent) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | (g.visible() ? WS_VISIBLE : 0) |
                  (g.enabled() ? 0 : WS_DISABLED);
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, kGridClass, "", style, g.left(), g.top(), g.width(), g.height(), parent,
                             nullptr, inst, nullptr);
    if (h) {
        GridState& st = states()[h] = GridState{};
        st.shownCol = g.col();
        st.barWidth = GetSystemMetrics(SM_CXVSCROLL);
        st.barHeight = GetSystemMetrics(SM_CYHSCROLL);
        // Not tab stops: a click on a bar leaves the keyboard with the table.
        const DWORD off = g.enabled() ? 0 : WS_DISABLED;
        st.vbar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT | off, 0, 0, 0, 0, h, nullptr, inst, nullptr);
        st.hbar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_HORZ | off, 0, 0, 0, 0, h, nullptr, inst, nullptr);
        for (HWND bar : {st.vbar, st.hbar}) classicLook(bar);
        setWindowName(st.vbar, g.name() + "VScroll");
        setWindowName(st.hbar, g.name() + "HScroll");
        placeBars(h, st);
        // The bars are told their ranges before the window shows: they draw once, with it.
        syncScroll(g, h);
    }
    return h;
}

void gridChanged(StringGrid& g, HWND h, Prop what) {
    GridState& st = states()[h];
    switch (what) {
        case Prop::Cells:
        case Prop::Selection:
            // A new current column is scrolled into view (scrolling rows keeps the view).
            if (what == Prop::Selection && g.col() != st.shownCol) ensureColVisible(g, h, st);
            st.scrollDirty = true;
            invalidate(h, st);
            break;
        case Prop::Drawing:
            // Held: the window keeps its place but counts as hidden, so nothing draws it or
            // its scroll bars. Released: the bars take their state while still hidden, then
            // the window and its bars paint once, there and then: the table shows before
            // whatever its owner does next (a message built over it, say).
            if (g.drawingHeld()) {
                SendMessageA(h, WM_SETREDRAW, FALSE, 0);
                break;
            }
            st.scrollDirty = false;
            updateScroll(g, h);
            SendMessageA(h, WM_SETREDRAW, TRUE, 0);
            st.invalid = true;
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            break;
        case Prop::Layout:  // column widths: the sideways range changes
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            break;
        case Prop::Bounds:
            // Not erased at once: the grid paints every pixel itself (see the backend's moves).
            SetWindowPos(h, nullptr, g.left(), g.top(), g.width(), g.height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            break;
        default: InvalidateRect(h, nullptr, FALSE); break;
    }
}

}  // namespace kv::win32::detail
