#include "framework/platform.h"

namespace kv {

Ports& ports() {
    static Ports p;
    return p;
}

}  // namespace kv
