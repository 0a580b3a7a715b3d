#include "explorer/explorer_state.h"

#include "explorer/explorer_dialog.h"
#include "host/entry.h"

namespace kv::explorer {

ExplorerState& state() {
    static ExplorerState s;
    return s;
}

void setDefaults() {
    ExplorerState& s = state();
    s.open = false;
    s.building = false;
    s.convert = false;
    s.rememberRect = false;
    s.columnWidth = 0;
}

}  // namespace kv::explorer

namespace kv::entry {

// The explorer window is not built yet. RemoteWin95 opens nothing and leaves the module state
// as it is; the window commands act only on an open explorer window, and none can be open, so
// they return without effect.
void RemoteWin95(uintptr_t, int32_t) {}

int32_t RemoteDlg95(int32_t mode, int32_t option) { return explorer::RemoteDlg95(mode, option); }

void RemoteWinClose95() {}

void RemoteWinHide95() {}

void RemoteWinUpdate95() {}

}  // namespace kv::entry
