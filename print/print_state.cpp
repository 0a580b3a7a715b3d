#include "print/print_state.h"

#include "host/entry.h"

namespace kv::print {

PrintState& state() {
    static PrintState s;
    return s;
}

void setDefaults() {
    PrintState& s = state();
    s.dialogOpen = 0;
    s.zoom = 1.0;
    s.measureUnit = 1;
}

}  // namespace kv::print

namespace kv::entry {

// The print dialog is not built yet: PrintDlg95 opens nothing and leaves the state as it is,
// and with no dialog and no document in progress PrintEnd95 has nothing to end or close.
void PrintDlg95(uintptr_t, int32_t, int32_t, int32_t) {}

void PrintEnd95() {}

int32_t PrintCheck95() { return print::state().dialogOpen != 0 ? 1 : 0; }

}  // namespace kv::entry
