// Pictures in memory, the Windows bitmap file format, a control that shows a picture of its
// own that the program draws on (PaintBox), and timers. The drawing is backend-neutral: the
// pixels live here; a backend only draws text into them and shows them on the screen.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace kv {

// A picture of width × height pixels, top row first, each pixel 0x00RRGGBB.
struct PixelMap {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    void resize(int w, int h, uint32_t color = 0xFFFFFF);
    bool empty() const { return width <= 0 || height <= 0; }
    uint32_t pixel(int x, int y) const;  // 0 outside the picture
    // Rectangles include left and top and exclude right and bottom; they are clipped.
    void fillRect(int left, int top, int right, int bottom, uint32_t color);
    // A one-pixel outline of the rectangle.
    void frameRect(int left, int top, int right, int bottom, uint32_t color);
    // Copies src with its top-left corner at (x, y), at its own size, clipped.
    void draw(const PixelMap& src, int x, int y);
};

// Reads a Windows bitmap file: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, with bit
// fields or run-length encoded (4 and 8 bits), bottom-up or top-down. Raises kv::Error for
// bytes that are not such a bitmap.
PixelMap decodeBitmap(const std::string& bytes);
// A 24-bit Windows bitmap file of the picture.
std::string encodeBitmap(const PixelMap& map);

// RGB(r, g, b) as PixelMap stores it.
constexpr uint32_t rgbPixel(int r, int g, int b) {
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
// A COLORREF (0x00BBGGRR) as PixelMap stores it.
constexpr uint32_t pixelOf(uint32_t colorref) {
    return rgbPixel(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

// A control that shows its own picture, as the program drew it. The picture keeps its size
// when the control is resized; the program sizes it (setPictureSize) when it wants.
class PaintBox : public Control {
public:
    using Control::Control;
    const char* className() const override { return "PaintBox"; }
    PixelMap& picture() { return picture_; }
    const PixelMap& picture() const { return picture_; }
    // Text with the control's font, in a colour (COLORREF), on a transparent background, its
    // top-left corner at (x, y).
    void textOut(int x, int y, const std::string& text, uint32_t colorref);
    // Shows what was drawn (the window repaints from the picture).
    void invalidate() { notify(Prop::Picture); }

    MouseEvent onMouseMove;
    // The mouse moved over the control, or anywhere while a button pressed on it is held.
    void mouseMove(unsigned shift, int x, int y) {
        if (onMouseMove) onMouseMove(this, MouseButton::Left, shift, x, y);
    }

private:
    PixelMap picture_;
};

// A timer that runs onTimer every `interval` milliseconds while enabled, from the message
// loop of the thread that made it.
class Timer {
public:
    explicit Timer(std::string name, int intervalMs = 1000) : name_(std::move(name)), interval_(intervalMs) {}
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    void setInterval(int ms);  // a running timer goes on at the new rate
    std::function<void(Timer*)> onTimer;
    void tick() {  // one period ended (called by the backend, or by a test)
        if (enabled_ && onTimer) onTimer(this);
    }
    void* peer = nullptr;  // backend's timer

private:
    std::string name_;
    int interval_;
    bool enabled_ = false;
};

// What a backend does for paint boxes and timers.
class PaintBackend {
public:
    virtual ~PaintBackend() = default;
    virtual void textOut(PaintBox& box, int x, int y, const std::string& text, uint32_t colorref) = 0;
    virtual void timerChanged(Timer& t) = 0;   // started or stopped
    virtual void timerReleased(Timer& t) = 0;  // the timer is going away
};
PaintBackend* painter();
void setPainter(PaintBackend* backend);

}  // namespace kv
