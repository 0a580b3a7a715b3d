#include "editor/editor_state.h"

namespace kv::editor {

EditorState& editorState() {
    static EditorState s;
    return s;
}

void setDefaults() { editorState() = EditorState{}; }

}  // namespace kv::editor
