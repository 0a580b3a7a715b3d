#include "framework/platform.h"

namespace kv {

const char* dialogTitle(DialogKind kind) {
    switch (kind) {
        case DialogKind::Warning: return "Warning";
        case DialogKind::Error: return "Error";
        case DialogKind::Information: return "Information";
        case DialogKind::Confirmation: return "Confirm";
        case DialogKind::Custom: break;
    }
    return "";
}

Ports& ports() {
    static Ports p;
    return p;
}

FrameSize frameOverhead(BorderStyle style) {
    MetricsPort* m = ports().metrics;
    return m ? m->frameOverhead(style) : FrameSize{};
}

}  // namespace kv
