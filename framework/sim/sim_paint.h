// The sim backend's drawing: text drawn on a paint box is recorded (where, what, in which
// colour) and shown as a solid block of the text's measured width and 8 pixels high, so that
// tests can read both the words and the pixels. Timers tick only when a test ticks them.
#pragma once
#include <string>
#include <vector>

#include "framework/paint_box.h"

namespace kv {

struct DrawnText {
    std::string box;  // name of the paint box
    int x, y;
    std::string text;
    uint32_t color;   // COLORREF
};

class SimPainter : public PaintBackend {
public:
    std::vector<DrawnText> texts;  // everything drawn, in order; tests clear it
    std::vector<Timer*> running;   // timers enabled now

    void textOut(PaintBox& box, int x, int y, const std::string& text, uint32_t colorref) override;
    void timerChanged(Timer& t) override;
    void timerReleased(Timer& t) override;
};

}  // namespace kv
