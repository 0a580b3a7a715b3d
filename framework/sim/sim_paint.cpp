#include "framework/sim/sim_paint.h"

#include <algorithm>

namespace kv {

void SimPainter::textOut(PaintBox& box, int x, int y, const std::string& text, uint32_t colorref) {
    texts.push_back({box.name(), x, y, text, colorref});
    const int w = ui().textWidth(box.font(), text);
    box.picture().fillRect(x, y, x + w, y + 8, pixelOf(colorref));
}

void SimPainter::timerChanged(Timer& t) {
    auto it = std::find(running.begin(), running.end(), &t);
    if (t.enabled() && it == running.end()) running.push_back(&t);
    if (!t.enabled() && it != running.end()) running.erase(it);
}

void SimPainter::timerReleased(Timer& t) { std::erase(running, &t); }

}  // namespace kv
