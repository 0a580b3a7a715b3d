// EditorWin95: the slide editor as the host opens it.
#include "editor/editor_run.h"
#include "host/entry.h"

namespace kv::entry {

int32_t EditorWin95() { return editor::runEditor(); }

}  // namespace kv::entry
