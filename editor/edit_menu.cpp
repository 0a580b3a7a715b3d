// The slide menu mnuEdit: the "Tool&s" button that opens it, the update of its items each
// time it opens, and its undo and redo items.
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
    // "&Undo sort by name": each item names the step it acts on, and is enabled only when
    // there is one.
    const std::string undo = history->undoLabel(), redo = history->redoLabel();
    mnuUndo->setCaption(undo.empty() ? "&Undo" : "&Undo " + undo);
    mnuUndo->setEnabled(!undo.empty());
    mnuRedo->setCaption(redo.empty() ? "Redo" : "Redo " + redo);
    mnuRedo->setEnabled(!redo.empty());
}

namespace {

// After an undo or redo: the modified flag says whether the table is the script as loaded or
// saved; the panels, the catalogue page and the slide-dependent controls show the table as
// it is now.
void showRestoredTable(TEditorForm& f) {
    editorState().modified = !f.history->atSaved();
    f.GridClick(&f);
    f.UpdatePreview();
    if (f.Grid->rowCount() == 2 && f.Grid->cell(FilePath, 1).empty()) f.DisableControls();
    else f.EnableControls();
}

}  // namespace

void TEditorForm::mnuUndoClick(Control*) {
    if (history->undo()) showRestoredTable(*this);
}

void TEditorForm::mnuRedoClick(Control*) {
    if (history->redo()) showRestoredTable(*this);
}

}  // namespace kv::editor
