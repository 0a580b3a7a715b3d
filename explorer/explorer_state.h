// Module state of the explorer (window and dialog share it; one explorer at a time).
#pragma once
#include <cstdint>

namespace kv {
class Form;
}

namespace kv::explorer {

struct ExplorerState {
    Form* form = nullptr;      // the one explorer form, window or dialog
    bool open = false;         // set once the form is built and listed; cleared when it closes
    uintptr_t hostWindow = 0;  // receives the notifications of the modeless window
    bool dialog = false;       // opened by RemoteDlg95
    int32_t mode = 999;        // dialog mode; 999 for the modeless window
    bool convert = false;      // dialog mode argument was 101..200
    int32_t option = 0;        // second argument of RemoteDlg95
    bool rememberRect = false; // second argument of RemoteWin95 was non-zero
    bool building = false;     // the form is being created; suppresses listing
    int columnWidth = 0;       // pixel width of one list column

    bool operator==(const ExplorerState&) const = default;
};

ExplorerState& state();

// The defaults the explorer starts with when the library loads.
void setDefaults();

}  // namespace kv::explorer
