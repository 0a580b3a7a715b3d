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
#include <vector>

#include "framework/win32/win32_backend.h"
#include "framework/win32/win32_grid_view.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

using namespace grid;

const char* const kGridClass = "KvGrid";

namespace {

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
    const POINT at = scaleOf(*g).mouse(lp);  // (for the mouse messages)
    const int x = at.x, y = at.y;
    switch (msg) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_GETFONT: {
            const Peer* p = peerOf(*g);
            return p ? reinterpret_cast<LRESULT>(p->sentFont) : 0;
        }
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
            RECT view = viewPixels(h), area;
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
                const Scale s = scaleOf(*g);
                p = {s.layout(p.x), s.layout(p.y)};
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

// The scroll bars' sizes on the screen of the table's form; true when they changed.
bool takeBarSizes(const StringGrid& g, GridState& st) {
    const int dpi = scaleOf(g).dpi;
    const int width = systemMetricFor(SM_CXVSCROLL, dpi), height = systemMetricFor(SM_CYHSCROLL, dpi);
    if (width == st.barWidth && height == st.barHeight) return false;
    st.barWidth = width;
    st.barHeight = height;
    return true;
}

}  // namespace

void registerGridClass(HINSTANCE inst) { registerWindowClass(inst, kGridClass, gridProc, CS_DBLCLKS); }

HWND createGrid(StringGrid& g, HWND parent) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | (g.visible() ? WS_VISIBLE : 0) |
                  (g.enabled() ? 0 : WS_DISABLED);
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    const RECT b = pixelBounds(g);
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, kGridClass, "", style, b.left, b.top, b.right - b.left, b.bottom - b.top, parent,
                             nullptr, inst, nullptr);
    if (h) {
        GridState& st = states()[h] = GridState{};
        st.shownCol = g.col();
        takeBarSizes(g, st);
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
        case Prop::Font: {
            // Also sent when the table's form moved to a screen of another resolution: the
            // bars take that screen's sizes.
            if (Peer* p = peerOf(g)) setSentFont(*p, fontOf(g.font(), scaleOf(g).dpi));  // what WM_GETFONT answers
            if (takeBarSizes(g, st)) placeBars(h, st);
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            break;
        }
        case Prop::Layout:  // column widths: the sideways range changes
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            break;
        case Prop::Bounds: {
            // Not erased at once: the grid paints every pixel itself (see the backend's moves).
            const RECT b = pixelBounds(g);
            SetWindowPos(h, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
            st.scrollDirty = true;
            InvalidateRect(h, nullptr, FALSE);
            break;
        }
        default: InvalidateRect(h, nullptr, FALSE); break;
    }
}

}  // namespace kv::win32::detail
