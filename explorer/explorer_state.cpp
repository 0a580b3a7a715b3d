#include "explorer/explorer_state.h"

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

int32_t* ExplorerState::rememberedRow(int depth) {
    switch (depth) {
        case 1: return &row1;
        case 4: return &row4;
        case 8: return &row8;
        case 16: return &row16;
        case 24: return &row24;
        default: return nullptr;
    }
}

bool isDepth(int32_t mode) { return mode == 1 || mode == 4 || mode == 8 || mode == 16 || mode == 24; }

bool isSaveMode(int32_t mode) { return mode == 0 || isDepth(mode); }

}  // namespace kv::explorer
