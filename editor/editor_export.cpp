// EditorWin95 until the editor window exists: no window opens and the result is 0, "left
// without a request", so a host goes on as after a plain close.
#include "host/entry.h"

namespace kv::entry {

int32_t EditorWin95() { return 0; }

}  // namespace kv::entry
