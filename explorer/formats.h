// The explorer's tables and the listing arithmetic that needs no window: the filter rows
// of the browsing and opening modes, the format lists of the save modes, the mask walk, the
// column width, the default size and the remembered rectangle.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kv::explorer {

struct FilterRow {
    const char* text;
    const char* masks;
};
// The 27 rows of the fixed filter list (row 0 "*.* any file (No validation)" .. 26).
const std::vector<FilterRow>& browseFilters();
// The mask list of a fixed row; "*.*" for any other row.
std::string browseMask(int row);

struct FormatRow {
    std::string label;
    int32_t code;
};
// The format list of a colour depth (1, 4, 8, 16, 24) for RemoteDlg95's option; empty for
// any other depth.
std::vector<FormatRow> formatRows(int depth, int32_t option);
// The row that a contact-sheet dialog (option > 0) forces for the depth, or -1 when it forces
// none (24 bits 3, 16 bits 0, 8 bits 7).
int forcedRow(int depth);
// The remembered row's default (also for the stored value 911): 24 bits 5, 16 bits 2,
// 8 bits 9, 4 bits 0, 1 bit 5.
int defaultRow(int depth);
// The settings key of a depth's remembered row ("Save24", ...); "" for other depths.
std::string rowKey(int depth);
// Whether the "JPEG Compression" button shows for a format code: below 7 or |code| >= 88.
bool compressible(int32_t code);
// The mask of a save-mode row: "*." and the first three characters of its label.
std::string saveMask(const std::string& label);

// The masks the listing searches one after the other: the current mask + ";;" (or "*.???;;"
// for "*.*"); each round takes its first five characters and drops six, until fewer than
// seven remain.
std::vector<std::string> maskWalk(const std::string& mask);

// Column width W := width of "WW" + max(60, widest entry); columns := list width div W, at
// least 1.
int columnWidth(int wwWidth, int widestEntry);
int columnCount(int listWidth, int colWidth);

// Default window size: 400 x 300 on a screen exactly 640 wide, else half the screen.
void defaultSize(int screenW, int screenH, int& w, int& h);
// Whether a saved rectangle is used: none of the four is -1, left + width <= screen width,
// top + height <= screen height (summed without overflow); a negative size, or a rectangle
// ending at or before the screen's left or top edge, is not used.
bool rectangleFits(int top, int left, int width, int height, int screenW, int screenH);

// Colour-depth box rows: text, depth and the remembered row it sets.
struct DepthRow {
    const char* text;
    int depth;
    int row;
};
const std::vector<DepthRow>& depthRows();

}  // namespace kv::explorer
