// Module state of the print layout dialog (at most one dialog; kept between export calls).
#pragma once
#include <cstdint>

namespace kv {
class Form;
}

namespace kv::print {

struct PrintState {
    Form* form = nullptr;        // the dialog while it exists (it frees itself when closed)
    uintptr_t hostWindow = 0;    // receives the print message
    int32_t pictureWidth = 0;    // the picture's own size in pixels
    int32_t pictureHeight = 0;
    int32_t dialogOpen = 0;      // 1 from the dialog's activation until it closes
    bool printing = false;       // a printer document was begun and not yet ended
    double zoom = 1.0;           // Size bar position / 100
    int measureUnit = 1;         // 0 pixels, 1 inches, 2 cm

    bool operator==(const PrintState&) const = default;
};

PrintState& state();

// The defaults the print dialog starts with when the library loads.
void setDefaults();

}  // namespace kv::print
