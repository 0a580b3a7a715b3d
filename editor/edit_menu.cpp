// The slide menu mnuEdit: the "Tool&s" button that opens it, and the update of
// its items each time it opens.
#include "editor/editor_form.h"
#include "framework/platform.h"

namespace kv::editor {

void TEditorForm::BtnSortClick(Control*) {
    EditorState& st = editorState();
    ports().user->cursorPos(st.popupX, st.popupY);
    mnuEdit->popup(st.popupX, st.popupY);
}

// "Vie&w file(s)" is enabled exactly when the current slide has a file, "C&ontact sheet"
// exactly when the thumbnails page is shown (EnableControls leaves both to this update).
void TEditorForm::mnuEditPopup(Control*) {
    mnuView->setEnabled(!Grid->cell(FilePath, Grid->row()).empty());
    mnuContactSheet->setEnabled(Tab->pageIndex() > 0);
}

}  // namespace kv::editor
