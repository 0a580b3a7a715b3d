// The player's media button bar: nine buttons (Play, Pause, Stop, Next, Prev, Step, Back,
// Record, Eject) over the media device, with a set of enabled and a set of visible buttons;
// the visible ones share the bar's width. A click first calls onButton with the button, then
// does the button's own action on the device; a failed action raises the device's error.
#pragma once
#include <array>
#include <functional>

#include "framework/controls.h"

namespace kv::video {

enum class MediaBtn { Play, Pause, Stop, Next, Prev, Step, Back, Record, Eject };
using MediaSet = unsigned;  // bit (1 << button)
constexpr MediaSet bit(MediaBtn b) { return 1u << static_cast<unsigned>(b); }
template <class... B>
constexpr MediaSet buttons(B... b) { return (bit(b) | ... | 0u); }

class TMediaBar : public Panel {
public:
    TMediaBar(Control* parent, std::string name);
    const char* className() const override { return "MediaPlayer"; }

    MediaSet enabledButtons() const { return enabled_; }
    MediaSet visibleButtons() const { return visible_; }
    void setEnabledButtons(MediaSet s);
    void setVisibleButtons(MediaSet s);
    Button* button(MediaBtn b) const { return buttons_[static_cast<size_t>(b)]; }

    std::string fileName;      // the file open() gives the device
    uintptr_t notifyWindow = 0;  // told by the device when play ends
    int32_t stepFrames = 1;

    std::function<void(MediaBtn)> onButton;  // runs before each button's own action

    void open();  // opens the device on fileName; raises the device's error
    // What each button does on the device after onButton.
    void act(MediaBtn b);
    // As the user clicking a button: onButton, then the action (nothing when it is hidden or
    // disabled).
    void press(MediaBtn b);
    void arrange();  // lays the visible buttons out across the bar

private:
    std::array<Button*, 9> buttons_{};
    MediaSet enabled_ = 0, visible_ = 0;
};

// The media device the player drives; raises "No media device." when none is installed.
MediaPort& device();

// Raises the device's error for a failed command (its text), remembering the error number in
// the module state; does nothing for 0.
void check(uint32_t result);

}  // namespace kv::video
