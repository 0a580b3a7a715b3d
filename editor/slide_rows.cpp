// Moving slide rows: opening rows, copying and exchanging them, renumbering, removing one,
// and moving a slide to another number (the catalogue's drag and drop, the move command).
#include <utility>

#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::editor {

void TEditorForm::GridInsert(int at, int count) {
    const int oldCount = Grid->rowCount();
    Grid->beginUpdate();
    Grid->setRowCount(oldCount + count);
    for (int d = oldCount + count - 1; d >= at + count; --d) Grid->setRowCells(d, Grid->rowCells(d - count));
    for (int r = at; r < at + count; ++r) Grid->setRowCells(r, std::vector<std::string>(ColumnCount));
    Grid->endUpdate();
}

void TEditorForm::CopySlideRow(int from, int to) { Grid->setRowCells(to, Grid->rowCells(from)); }

void TEditorForm::SwapSlideRows(int a, int b) {
    std::vector<std::string> ra = Grid->rowCells(a), rb = Grid->rowCells(b);
    for (int c = FilePath; c < ColumnCount; ++c) std::swap(ra[static_cast<size_t>(c)], rb[static_cast<size_t>(c)]);
    Grid->beginUpdate();
    Grid->setRowCells(a, std::move(ra));
    Grid->setRowCells(b, std::move(rb));
    Grid->endUpdate();
}

void TEditorForm::RenumberSlides() {
    Grid->beginUpdate();
    for (int r = 1; r < Grid->rowCount(); ++r) Grid->setCell(SlideNo, r, intToStr(r));
    Grid->endUpdate();
}

void TEditorForm::RemoveSlideRow(int r) {
    EditorState& st = editorState();
    const int n = Grid->rowCount() - 1;
    if (n <= 1) {
        st.modified = false;
        SetUpClear();
        GridClick(this);
    } else if (r == n) {
        Grid->setRow(r - 1);
        Grid->setRowCount(n);
        GridClick(this);
    } else {
        Grid->beginUpdate();
        for (int d = r; d < n; ++d) Grid->setRowCells(d, Grid->rowCells(d + 1));
        Grid->setRowCount(n);
        Grid->endUpdate();
        GridClick(this);
        RenumberSlides();
    }
    UpdatePreview();
}

void TEditorForm::GridxMove() {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    int s = st.DragSource;
    const int t = st.DragTarget;
    const int n = Grid->rowCount() - 1;
    if (s < 1 || s > n || t < 1 || t > n || s == t) return;  // row 0 is the header
    EditHistory::Step step(*history, "move slide");
    user.setCursor(CursorKind::HourGlass);
    if (s - t == 1 || t - s == 1) {
        SwapSlideRows(s, t);
        // The exchange changes the script as much as any other move: without the flag a
        // close would not ask and the new order would be lost.
        st.modified = true;
    } else {
        GridInsert(t, 1);
        if (s > t) ++s;  // the source row was pushed down
        CopySlideRow(s, t);
        Grid->setRow(s);
        GridClick(this);
        // The erase of the copied row: no tag check, no question, its thumbnail kept.
        st.modified = true;
        RemoveSlideRow(s);
        Grid->beginUpdate();
        for (int r = t; r < Grid->rowCount(); ++r) Grid->setCell(SlideNo, r, intToStr(r));
        Grid->endUpdate();
    }
    if (Tab->pageIndex() > 0) UpdateCatalogView(CatScroll->position());
    Grid->setRow(t);
    GridClick(this);
    user.setCursor(CursorKind::Default);
}

}  // namespace kv::editor
