// Reading and writing slideshow scripts. Placeholder so the editor links; the script reader
// and writer replace these bodies.
#include "editor/editor_form.h"

namespace kv::editor {

void TEditorForm::SaveFile(bool) {}
void TEditorForm::LoadFile(bool) {}

}  // namespace kv::editor
