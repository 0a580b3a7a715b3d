#include "explorer/explorer_dialog.h"

namespace kv::explorer {

namespace {
std::function<int32_t(int32_t, int32_t)>& handler() {
    static std::function<int32_t(int32_t, int32_t)> h;
    return h;
}
}  // namespace

void setRemoteDlgHandler(std::function<int32_t(int32_t, int32_t)> h) { handler() = std::move(h); }

int32_t RemoteDlg95(int32_t mode, int32_t option) {
    if (handler()) return handler()(mode, option);
    // The explorer window is not built yet: the dialog cannot be confirmed.
    return -1;
}

}  // namespace kv::explorer
