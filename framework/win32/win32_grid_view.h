// The string grid window's state and view, shared by its files: where rows and columns
// show, its scroll bars, and the painting of its cells (win32_grid_view.cpp).
#pragma once
#include <windows.h>

#include <map>
#include <vector>

#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32::detail::grid {

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
void tellScroll(HWND bar, SCROLLINFO& told, const SCROLLINFO& si, bool redraw);

std::map<HWND, GridState>& states();
// The grid object of a grid window.
StringGrid* gridOf(HWND h);
// Height of a row with its line; of the fixed rows.
int rowStep(const StringGrid& g);
int fixedHeight(const StringGrid& g);
// Width of the part the cells show in; how far the columns can scroll sideways.
int clientWidth(HWND h);
int maxScrollX(const StringGrid& g, HWND h);

// The part of the window the cells show in: the client area less the scroll bars, in the
// screen's pixels and in layout pixels (the table's own figures: column widths, row heights
// and the mouse are in layout pixels; only painting and the bars deal in the screen's).
RECT viewPixels(HWND h);
RECT viewRect(HWND h);

// The vertical bar along the right edge, the sideways one (when shown) along the bottom, and
// between them the corner the grid fills itself.
void placeBars(HWND h, GridState& st);

// Rows that fit whole below the fixed rows.
int fullRows(const StringGrid& g, HWND h);

int maxTopRow(const StringGrid& g, HWND h);

// Top edge of a row, or a value outside the client area for rows scrolled away.
int rowTop(const StringGrid& g, int row);

// Width of the fixed columns with their lines, and of all columns: the scrolled columns
// show right of the fixed ones, moved left by GridState::scrollX.
int fixedWidth(const StringGrid& g);

int contentWidth(const StringGrid& g);

// Left edge of every column in the window.
std::vector<int> columnLefts(const StringGrid& g, int scrollX);

int colAt(const StringGrid& g, int scrollX, int x);

int rowAt(const StringGrid& g, int y);

// The column whose right-hand line lies under x in the header, or -1.
int sizingColAt(const StringGrid& g, int scrollX, int x, int y);

// Scrolls sideways so that the current column shows, all of it when it fits.
void ensureColVisible(StringGrid& g, HWND h, GridState& st);

void updateScroll(StringGrid& g, HWND h);

void invalidate(HWND h, GridState& st);

// The current cell, painted anew (its focus frame comes or goes).
void invalidateCurrentCell(const StringGrid& g, HWND h, const GridState& st);

// Draws the part `area` of the window (the part that needs painting): the cells that lie in it,
// on a bitmap, then copied to the window in one go.
void paint(StringGrid& g, HWND h, HDC target, GridState& st, const RECT& area);

}  // namespace kv::win32::detail::grid
