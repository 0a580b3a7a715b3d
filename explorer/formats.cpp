#include "explorer/formats.h"

#include <algorithm>
#include <cstdlib>

#include "framework/text.h"

namespace kv::explorer {

const std::vector<FilterRow>& browseFilters() {
    static const std::vector<FilterRow> rows = {
        {"*.* any file (No validation)", "*.*"},
        {"All validated formats",
         "*.pc?;*.tga;*.ras;*.dib;*.cal;*.cmp;*.av?;*.mid;*.fl?;*.?pg;*.dcx;*.pic;*.kqp;*.wav;*.mov;*.tif;*.bmp;*.png;*.dat"},
        {"All graphics formats",
         "*.jif;*.cmp;*.dib;*.cal;*.ras;*.wpg;*.pc?;*.mac;*.dcx;*.pic;*.kqp;*.bmp;*.tif;*.tga;*.jpg;*.png"},
        {"All multimedia formats", "*.mid;*.fl?;*.mpg;*.mov;*.avi;*.wav;*.dat"},
        {"AVI (Video for Windows)", "*.avi"},
        {"AVL (AV List Slideshow)", "*.avl"},
        {"BMP,DIB (Windows,OS/2)", "*.bmp;*.dib"},
        {"CAL (CALS Group 4 B/W)", "*.cal"},
        {"CMP (LEAD 'JPEG')", "*.cmp"},
        {"DCX (Intel MultiPage PCX)", "*.dcx"},
        {"FLI,FLC,FLX (Autodesk)", "*.fl?"},
        {"JPEG (JFIF compliant)", "*.jpg;*.jif"},
        {"KQP (Konica Quality Photo)", "*.kqp;*.pic"},
        {"MID (MIDI music)", "*.mid"},
        {"MAC (Apple B&W)", "*.mac"},
        {"MOV (Apple Quicktime)", "*.mov"},
        {"MPG (MPEG)", "*.mpg;*.dat"},
        {"PIC (Pegasus 'JPEG')", "*.pic;*.kqp"},
        {"PCD Kodak PhotoCD", "*.pcd"},
        {"PCT (Mac PiCT)", "*.pct"},
        {"PCX (ZSoft Paintbrush)", "*.pcx;*.pcc"},
        {"PNG (Portable Network Graphics)", "*.png"},
        {"RAS (Sun RASter)", "*.ras;*.rs"},
        {"TIF (Aldus TIFF)", "*.tif;*.mpt"},
        {"TGA (Truevision TarGA)", "*.tga"},
        {"WAV (Wavform Audio)", "*.wav"},
        {"WPG (WordPerfect Graphic)", "*.wpg"},
    };
    return rows;
}

std::string browseMask(int row) {
    const auto& rows = browseFilters();
    if (row < 0 || row >= static_cast<int>(rows.size())) return "*.*";
    return rows[static_cast<size_t>(row)].masks;
}

std::vector<FormatRow> formatRows(int depth, int32_t option) {
    std::vector<FormatRow> r;
    const bool opt0 = option == 0;
    switch (depth) {
        case 24:
            r.push_back({"BMP Windows BitMaP", 7});
            r.push_back({"BMP OS/2 BitMaP", 8});
            if (opt0) r.push_back({"CMP Lead \"JPEG\"", 0});
            r.push_back({"DIB Windows Bitmap", 7});
            if (opt0) r.push_back({"JPG JPEG/JFIF(Normal)", 1});
            if (option <= 1) r.push_back({"JPG JPEG/JFIF(Enhanced)", 99});
            else r.push_back({"JPG JPEG/JFIF(Extended)", 88});
            r.push_back({"KQP Konica Quality Photo", 98});
            r.push_back({"PIC Pegasus \"JPEG\"", 98});
            r.push_back({"PCT Mac PICTure", 20});
            r.push_back({"PCX ZSoft Paintbrush", 12});
            r.push_back({"PNG Portable Network Graphics", 37});
            r.push_back({"PSD Adobe PhotoShop", 38});
            r.push_back({"RAS Sun RASter", 18});
            r.push_back({"TGA Truevision TarGA", 11});
            r.push_back({"TIF Aldus TIFF", 9});
            break;
        case 16:
            if (opt0) r.push_back({"CMP Lead \"JPEG\"", 0});
            if (opt0) r.push_back({"JPG JPEG/JFIF(Normal)", 1});
            r.push_back({"JPG JPEG/JFIF(Enhanced)", 99});
            r.push_back({"KQP Konica Quality Photo", 98});
            r.push_back({"PIC Pegasus \"JPEG\"", 98});
            r.push_back({"TGA Truevision TarGA", 11});
            break;
        case 8:
            r.push_back({"BMP Windows BitMaP", 7});
            r.push_back({"BMP OS/2 BitMaP", 8});
            r.push_back({"DIB Windows Bitmap", 7});
            if (opt0) r.push_back({"Lead \"JPEG\" [gray]", -10});
            if (opt0) r.push_back({"JPG JPEG/JFIF [gray]", -11});
            r.push_back({"KQP Konica Quality Photo", 98});
            r.push_back({"PIC Pegasus \"JPEG\"", 98});
            r.push_back({"PCT Mac PICTure", 20});
            r.push_back({"PCX ZSoft Paintbrush", 12});
            r.push_back({"PNG Portable Network Graphics", 37});
            r.push_back({"RAS Sun RASter", 18});
            r.push_back({"TGA Truevision TarGA", 11});
            r.push_back({"TIF Aldus TIFF", 9});
            r.push_back({"WPG WordPerfect Graphic", 17});
            break;
        case 4:
            r.push_back({"BMP Windows BitMaP", 7});
            r.push_back({"BMP OS/2 BitMaP", 8});
            r.push_back({"DIB Windows Bitmap", 7});
            r.push_back({"PCX ZSoft Paintbrush", 12});
            r.push_back({"PNG Portable Network Graphics", 37});
            r.push_back({"WPG WordPerfect Graphic", 17});
            break;
        case 1:
            r.push_back({"BMP Windows BitMaP", 7});
            r.push_back({"BMP OS/2 BitMaP", 8});
            r.push_back({"CAL C.A.L.S", 15});
            r.push_back({"DIB Windows Bitmap", 7});
            r.push_back({"PCT Mac PICTure", 20});
            r.push_back({"PCX ZSoft Paintbrush", 12});
            r.push_back({"PNG Portable Network Graphics", 37});
            r.push_back({"RAS Sun RASter", 18});
            r.push_back({"TIF Aldus TIFF", 9});
            r.push_back({"TIF Aldus TIFF CCITT", 24});
            r.push_back({"TIF Aldus TIFF G3 1d", 25});
            r.push_back({"TIF Aldus TIFF G3 2d", 26});
            r.push_back({"TIF Aldus TIFF G4", 27});
            r.push_back({"WPG WordPerfect Graphic", 17});
            break;
        default: break;
    }
    return r;
}

int forcedRow(int depth) {
    switch (depth) {
        case 24: return 3;
        case 16: return 0;
        case 8: return 7;
        default: return -1;
    }
}

int defaultRow(int depth) {
    switch (depth) {
        case 24: return 5;
        case 16: return 2;
        case 8: return 9;
        case 4: return 0;
        case 1: return 5;
        default: return 0;
    }
}

std::string rowKey(int depth) {
    switch (depth) {
        case 1: case 4: case 8: case 16: case 24: return "Save" + intToStr(depth);
        default: return {};
    }
}

bool compressible(int32_t code) { return code < 7 || std::abs(static_cast<long long>(code)) >= 88; }

std::string saveMask(const std::string& label) { return "*." + copy(label, 1, 3); }

std::vector<std::string> maskWalk(const std::string& mask) {
    std::vector<std::string> out;
    std::string m = mask != "*.*" ? mask + ";;" : std::string("*.???;;");
    while (m.size() >= 7) {
        out.push_back(copy(m, 1, 5));
        m = copyFrom(m, 7);
    }
    return out;
}

int columnWidth(int wwWidth, int widestEntry) { return wwWidth + std::max(60, widestEntry); }

int columnCount(int listWidth, int colWidth) {
    if (colWidth <= 0) return 1;
    return std::max(1, listWidth / colWidth);
}

void defaultSize(int screenW, int screenH, int& w, int& h) {
    if (screenW == 640) {
        w = 400;
        h = 300;
    } else {
        w = screenW / 2;
        h = screenH / 2;
    }
}

bool rectangleFits(int top, int left, int width, int height, int screenW, int screenH) {
    if (top == -1 || left == -1 || width == -1 || height == -1) return false;
    // The values come from the settings file: summed in 64 bits, so that a huge left or top
    // cannot wrap round to a small sum; a size below zero or a rectangle wholly above or left
    // of the screen fits no screen either.
    if (width < 0 || height < 0) return false;
    const int64_t right = int64_t{left} + width, bottom = int64_t{top} + height;
    if (right > screenW || right <= 0) return false;
    if (bottom > screenH || bottom <= 0) return false;
    return true;
}

const std::vector<DepthRow>& depthRows() {
    static const std::vector<DepthRow> rows = {
        {"16M Colors (24 bits)", 24, 5}, {"64K Colors (16 bits)", 16, 5}, {"256 Colors (8 bits)", 8, 9},
        {"16 Colors (4-bits)", 4, 0},    {"Black & White (1 bit)", 1, 5},
    };
    return rows;
}

}  // namespace kv::explorer
