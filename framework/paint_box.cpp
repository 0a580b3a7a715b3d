#include "framework/paint_box.h"

#include <algorithm>

#include "framework/error.h"

namespace kv {

namespace {
PaintBackend* g_painter = nullptr;
}

PaintBackend* painter() { return g_painter; }
void setPainter(PaintBackend* backend) { g_painter = backend; }

// ---- pictures in memory ----------------------------------------------------------------

void PixelMap::resize(int w, int h, uint32_t color) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), color);
}

uint32_t PixelMap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void PixelMap::fillRect(int left, int top, int right, int bottom, uint32_t color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        std::fill(row + left, row + std::max(left, right), color);
    }
}

void PixelMap::frameRect(int left, int top, int right, int bottom, uint32_t color) {
    if (right <= left || bottom <= top) return;
    fillRect(left, top, right, top + 1, color);
    fillRect(left, bottom - 1, right, bottom, color);
    fillRect(left, top, left + 1, bottom, color);
    fillRect(right - 1, top, right, bottom, color);
}

void PixelMap::draw(const PixelMap& src, int x, int y) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + src.width, width), y1 = std::min(y + src.height, height);
    if (x1 <= x0) return;
    for (int yy = y0; yy < y1; ++yy) {
        const uint32_t* from = src.pixels.data() + static_cast<size_t>(yy - y) * static_cast<size_t>(src.width) +
                               static_cast<size_t>(x0 - x);
        std::copy(from, from + (x1 - x0), pixels.data() + static_cast<size_t>(yy) * static_cast<size_t>(width) + static_cast<size_t>(x0));
    }
}

// ---- Windows bitmap files ----------------------------------------------------------------

namespace {

uint32_t u16(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}
uint32_t u32(const std::string& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

[[noreturn]] void notABitmap() { throw Error("Bitmap image is not valid"); }

// Value of a bit-field channel scaled to 0..255.
uint32_t channel(uint32_t v, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    uint32_t m = mask >> shift, c = (v & mask) >> shift;
    return m == 255 ? c : (c * 255 + m / 2) / m;
}

void put16(std::string& b, uint32_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::string& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

}  // namespace

// Offsets into the file are worked out in 64 bits, where no sum of the header's 32-bit fields
// can wrap, and checked against the file's size before anything is read: a 32-bit build and a
// 64-bit one (where the fuzzers run) read the same bytes of any file.
PixelMap decodeBitmap(const std::string& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') notABitmap();
    const uint64_t size = b.size();
    const uint64_t dataAt = u32(b, 10);
    const uint64_t hdr = u32(b, 14);
    int64_t w = 0, h = 0;
    uint32_t bpp = 0, comp = 0, used = 0;
    uint64_t palAt = 14 + hdr;
    int palEntry = 4;
    if (hdr == 12) {  // OS/2 core header
        w = u16(b, 18);
        h = static_cast<int16_t>(u16(b, 20));
        bpp = u16(b, 24);
        palEntry = 3;
    } else if (hdr >= 40 && b.size() >= 54) {
        w = static_cast<int32_t>(u32(b, 18));
        h = static_cast<int32_t>(u32(b, 22));
        bpp = u16(b, 28);
        comp = u32(b, 30);
        used = u32(b, 46);
    } else {
        notABitmap();
    }
    const bool topDown = h < 0;
    if (topDown) h = -h;
    // A thumbnail is small; a header that claims a picture larger than 16 million pixels is
    // refused before anything is allocated for it.
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || w * h > (int64_t{1} << 24)) notABitmap();
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (comp == 3) {  // bit fields: after a 40-byte header, or inside a larger one
        if (b.size() < 66) notABitmap();
        masks[0] = u32(b, 54), masks[1] = u32(b, 58), masks[2] = u32(b, 62);
        if (hdr == 40) palAt += 12;
    } else if (comp != 0 && !(comp == 1 && bpp == 8) && !(comp == 2 && bpp == 4)) {
        notABitmap();
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) notABitmap();
    if ((bpp == 16 || bpp == 32) && comp != 0 && comp != 3) notABitmap();

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const uint64_t count = used ? std::min<uint32_t>(used, 256) : (1u << bpp);
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t entry = palAt + i * static_cast<uint64_t>(palEntry);
            if (entry + 3 > size) break;
            const auto at = static_cast<size_t>(entry);
            palette.push_back(rgbPixel(static_cast<unsigned char>(b[at + 2]), static_cast<unsigned char>(b[at + 1]),
                                       static_cast<unsigned char>(b[at])));
        }
        if (palette.empty()) notABitmap();
    }
    auto fromPalette = [&](uint32_t i) { return i < palette.size() ? palette[i] : 0u; };

    if (dataAt >= size) notABitmap();
    const uint64_t stride64 = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
    if (comp != 1 && comp != 2 && stride64 * static_cast<uint64_t>(h) > size - dataAt) notABitmap();
    const auto stride = static_cast<size_t>(stride64);
    PixelMap m;
    m.resize(static_cast<int>(w), static_cast<int>(h), 0);
    const int W = m.width, H = m.height;
    auto rowOf = [&](int fileRow) { return topDown ? fileRow : H - 1 - fileRow; };

    if (comp == 1 || comp == 2) {  // run-length encoded, bottom-up
        auto at = static_cast<size_t>(dataAt);
        int x = 0, y = 0;
        auto set = [&](uint32_t idx) {
            if (x < W && y < H) m.pixels[static_cast<size_t>(rowOf(y)) * W + x] = fromPalette(idx);
            ++x;
        };
        while (at + 1 < b.size() && y < H) {
            unsigned n = static_cast<unsigned char>(b[at]), v = static_cast<unsigned char>(b[at + 1]);
            at += 2;
            if (n) {
                for (unsigned i = 0; i < n; ++i) set(comp == 1 ? v : (i % 2 ? v & 15 : v >> 4));
            } else if (v == 0) {
                x = 0, ++y;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                if (at + 1 >= b.size()) break;
                x += static_cast<unsigned char>(b[at]);
                y += static_cast<unsigned char>(b[at + 1]);
                at += 2;
            } else {
                size_t bytes = comp == 1 ? v : (v + 1) / 2;
                if (at + bytes > b.size()) notABitmap();
                for (unsigned i = 0; i < v; ++i) {
                    unsigned byte = static_cast<unsigned char>(b[at + (comp == 1 ? i : i / 2)]);
                    set(comp == 1 ? byte : (i % 2 ? byte & 15 : byte >> 4));
                }
                at += (bytes + 1) & ~size_t{1};
            }
        }
        return m;
    }

    for (int fy = 0; fy < H; ++fy) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(b.data()) + static_cast<size_t>(dataAt) + stride * static_cast<size_t>(fy);
        uint32_t* out = m.pixels.data() + static_cast<size_t>(rowOf(fy)) * W;
        for (int x = 0; x < W; ++x) {
            switch (bpp) {
                case 1: out[x] = fromPalette((row[x / 8] >> (7 - x % 8)) & 1u); break;
                case 4: out[x] = fromPalette(x % 2 ? row[x / 2] & 15u : row[x / 2] >> 4); break;
                case 8: out[x] = fromPalette(row[x]); break;
                case 24: out[x] = rgbPixel(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
                default: {
                    uint32_t v = bpp == 16 ? (row[2 * x] | row[2 * x + 1] << 8)
                                           : (row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
                                              static_cast<uint32_t>(row[4 * x + 3]) << 24);
                    out[x] = rgbPixel(static_cast<int>(channel(v, masks[0])), static_cast<int>(channel(v, masks[1])),
                                      static_cast<int>(channel(v, masks[2])));
                }
            }
        }
    }
    return m;
}

std::string encodeBitmap(const PixelMap& m) {
    const size_t stride = (static_cast<size_t>(m.width) * 3 + 3) & ~size_t{3};
    const size_t data = stride * static_cast<size_t>(m.height);
    std::string b;
    b.reserve(54 + data);
    b += "BM";
    put32(b, static_cast<uint32_t>(54 + data));
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(m.width));
    put32(b, static_cast<uint32_t>(m.height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, static_cast<uint32_t>(data));
    put32(b, 3780);  // 96 pixels per inch
    put32(b, 3780);
    put32(b, 0);
    put32(b, 0);
    for (int y = m.height - 1; y >= 0; --y) {
        const uint32_t* row = m.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m.width);
        for (int x = 0; x < m.width; ++x) {
            b.push_back(static_cast<char>(row[x] & 0xFF));
            b.push_back(static_cast<char>((row[x] >> 8) & 0xFF));
            b.push_back(static_cast<char>((row[x] >> 16) & 0xFF));
        }
        b.append(stride - static_cast<size_t>(m.width) * 3, '\0');
    }
    return b;
}

// ---- paint box and timer -----------------------------------------------------------------

void PaintBox::textOut(int x, int y, const std::string& text, uint32_t colorref) {
    if (g_painter) g_painter->textOut(*this, x, y, text, colorref);
}

Timer::~Timer() {
    if (g_painter) g_painter->timerReleased(*this);
}

void Timer::setEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    if (g_painter) g_painter->timerChanged(*this);
}

void Timer::setInterval(int ms) {
    if (interval_ == ms) return;
    interval_ = ms;
    if (enabled_ && g_painter) g_painter->timerChanged(*this);
}

}  // namespace kv
