// TXScrollbar (module Xscroll): the scroll bar the print dialog's size and position bars, the
// video player's seek bar and the editor's catalogue use. Beyond an ordinary scroll bar it
// reports the mouse button on the bar: onMouseDown, onMouseUp and onClick, all three once the
// platform has finished tracking the mouse on the bar (in effect on release), so a handler
// reads the position the user left the bar at. onScroll runs for every move while the user
// scrolls or drags (with the position asked for, before the bar moves there), onChange
// whenever the position changes.
#pragma once
#include "framework/controls.h"

namespace kv {

class TXScrollbar : public ScrollBar {
public:
    TXScrollbar(Control* parent, std::string name) : ScrollBar(parent, std::move(name)) {
        mouseDownAfterTracking = true;
    }
    const char* className() const override { return "TXScrollbar"; }
    // Sets range, large step and position in one go; the position is kept within the range
    // and reports a change like setPosition.
    void setParams(int min, int max, int large, int position) {
        largeChange = large;
        setRange(min, max);
        setPosition(position);
    }
    // As the user's left click on the bar that leaves it at this position: the scroll and
    // change events, then mouse down, mouse up and click.
    void userClick(int position, int x = 0, int y = 0) {
        scroll(ScrollCode::Position, position);
        mouseDown(MouseButton::Left, LeftButton, x, y);
        mouseUp(MouseButton::Left, 0, x, y);
        click();
    }
};

}  // namespace kv
