// Attribute editors that CommonAction opens for a cell: the value-entry dialogs for loops,
// delay, gamma, zoom, volume and speed, and the catalogue's tag captions.
#include "editor/editor_form.h"

namespace kv::editor {

// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::SetVideoLoops() {}
// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::SetSlideWait() {}
// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::GammaClick() {}
// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::SetVideoZoom() {}
// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::SetVideoVolume() {}
// Filled in together with the value-entry dialog and the attribute menu handlers.
void TEditorForm::SetVideoSpeed() {}

}  // namespace kv::editor
