// Answering the value-entry dialog from a caller's native test, as a user does: the sim
// backend shows the real dialog form ("XScrlDlg") and these scripts act on it.
#pragma once
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>

#include "dialogs/value_dialog.h"
#include "framework/sim/sim_ui.h"

namespace value_dialog_test {

// What the dialog showed when it opened.
struct Seen {
    std::string caption, labelMin, labelMax, box;
    int min = 0, max = 0, position = 0, large = 0, small = 0;
    bool presetsShown = false;
    std::vector<std::string> presets;
    bool operator==(const Seen&) const = default;
};

// How a failed comparison shows what the dialog showed.
inline void PrintTo(const Seen& s, std::ostream* os) {
    *os << '"' << s.caption << "\" " << s.labelMin << ".." << s.labelMax << " box " << s.box << " bar " << s.min << ".."
        << s.max << " at " << s.position << " steps " << s.large << "/" << s.small << " presets "
        << (s.presetsShown ? "shown" : "hidden");
    for (const auto& p : s.presets) *os << " [" << p << "]";
}

// What the dialog shows when it opens with these limits, start, steps and six presets: the
// limits as labels, the start in the box and, within the limits, on the bar.
inline Seen shows(const std::string& caption, int min, int max, int start, int large, int small,
                  std::initializer_list<int> presets) {
    Seen s{caption, std::to_string(min), std::to_string(max), std::to_string(start), min, max,
           std::clamp(start, min, max), large, small, true, {}};
    char letter = 'a';
    for (int p : presets) s.presets.push_back(std::string("&") + letter++ + " = " + std::to_string(p));
    return s;
}

inline Seen look(kv::Form& f) {
    auto& d = static_cast<kv::dialogs::TXScrlDlg&>(f);
    Seen s;
    s.caption = d.caption();
    s.labelMin = d.LabelMin->caption();
    s.labelMax = d.LabelMax->caption();
    s.box = d.CustomSetting->text();
    s.min = d.CustomScrollBar->minValue();
    s.max = d.CustomScrollBar->maxValue();
    s.position = d.CustomScrollBar->position();
    s.large = d.CustomScrollBar->largeChange;
    s.small = d.CustomScrollBar->smallChange;
    s.presetsShown = d.GroupOptions->visible();
    s.presets = d.GroupOptions->items();
    return s;
}

// The user selects the box's text, types `text` and presses Enter. `seen`, when given,
// receives what the dialog showed as it opened.
inline void typeAndEnter(kv::SimUser& user, const std::string& text, Seen* seen = nullptr) {
    user.onModal("XScrlDlg", [&user, text, seen](kv::Form& f) {
        if (seen) *seen = look(f);
        user.typeInto(f, "CustomSetting", text);
        user.pressKeyIn(f, "CustomSetting", kv::vk::Return);
    });
}

// The user clicks preset item k (0 for a).
inline void clickPreset(kv::SimUser& user, int k, Seen* seen = nullptr) {
    user.onModal("XScrlDlg", [&user, k, seen](kv::Form& f) {
        if (seen) *seen = look(f);
        user.clickRadioItem(f, "GroupOptions", k);
    });
}

// The user presses Esc.
inline void cancel(kv::SimUser& user, Seen* seen = nullptr) {
    user.onModal("XScrlDlg", [&user, seen](kv::Form& f) {
        if (seen) *seen = look(f);
        user.pressKeyIn(f, "CustomSetting", kv::vk::Escape);
    });
}

}  // namespace value_dialog_test
