// The editor window's life: start-up and first activation (full screen height, column
// widths), the file commands New, Open, Save As, Run and Help, the slide-dependent controls,
// the keyboard and closing.
#include <algorithm>
#include <cmath>

#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

constexpr int kHelpContext = 300;
constexpr int kAppsKey = vk::Apps;           // the context-menu key
constexpr unsigned kModifiers = ShiftKey | AltKey | CtrlKey;

bool confirmed(const std::string& question) {
    return ports().user->messageDialog(question, DialogKind::Confirmation, BtnYes | BtnNo) ==
           ModalResult::Yes;
}

}  // namespace

void TEditorForm::setTitle(const std::string& title) {
    setCaption(editorState().captionPrefix + " [" + title + "]");
}

// ---- start-up --------------------------------------------------------------------------

void TEditorForm::FormCreate(Control*) {
    editorState().DirectoryTable.clear();

    Grid->options = StringGrid::FixedVertLine | StringGrid::FixedHorzLine | StringGrid::VertLine |
                    StringGrid::HorzLine | StringGrid::DrawFocusSelected | StringGrid::ColSizing |
                    StringGrid::RowMoving | StringGrid::ThumbTracking;
    static const struct { int col; const char* text; } headers[] = {
        {SlideNo, "N"},   {DisplayName, "Filename"}, {UseColor, "Clr"}, {EffectName, "Effect"},
        {Wait, "Wait"},   {HorzPos, "Horz"},         {VertPos, "Vert"}, {Gamma, "gamma"},
        {Zoom, "Vid%"},   {Volume, "Vol%"},          {Speed, "Spd%"},   {Tag, "Tag"},
    };
    for (const auto& h : headers) Grid->setCell(h.col, 0, h.text);

    PanelGrid->setVisible(true);
    PanelThumbs->setVisible(false);
    SetUpClear();
    ColorDialog1.fullOpen = true;
    helpFile = "KAVRIN.HLP";
}

void TEditorForm::LayoutForScreen() {
    if (laidOutForScreen_) return;
    laidOutForScreen_ = true;
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    const int screenH = user.screenHeight();

    // Full screen height, then a little less so that the grid is a multiple of 80 plus 4
    // pixels high: whole catalogue rows fit it.
    setWindowHeight(screenH);
    st.CatRows = (Grid->height() - 2) / 80;
    setWindowHeight(screenH + 4 - Grid->height() % 80);
    setTop((screenH - height()) / 2);

    Tab->tabFont.color = user.systemColor(syscolor::WindowText);
    for (Panel* page : Tab->pages()) {
        Font f = page->font();
        f.color = user.systemColor(syscolor::WindowText);
        page->setFont(f);
    }

    // Column widths in proportion to the window's width; the file name takes what is left.
    const double u = width() / 634.0;
    auto scaled = [u](double w) { return static_cast<int>(std::nearbyint(w * u)); };
    for (int c : {FilePath, Param, ColorValue, ThumbIndex, DisplayName}) Grid->setColWidth(c, 1);
    Grid->setColWidth(EffectName, scaled(100));
    for (int c : {Wait, Gamma}) Grid->setColWidth(c, scaled(45));
    for (int c : {SlideNo, HorzPos, VertPos, Zoom, Volume, Speed}) Grid->setColWidth(c, scaled(35));
    for (int c : {UseColor, Tag}) Grid->setColWidth(c, scaled(30));
    int sum = 0;
    for (int c = 0; c < Grid->colCount(); ++c) sum += Grid->colWidth(c);
    Grid->setColWidth(DisplayName, Grid->width() - (sum + ports().metrics->hScrollThumbWidth() + 14));

    Font f = font();
    f.color = user.systemColor(syscolor::WindowText);
    setFont(f);
}

void TEditorForm::FormActivate(Control*) {
    if (activatedOnce_) return;
    activatedOnce_ = true;
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    LayoutForScreen();
    // The window shows before the script loads; the slide table paints once, with its rows.
    // Before a load only painting runs: what the user does meanwhile (a click on Add, with
    // its dialog) waits until the loaded rows are there, instead of running on a held table
    // whose rows the load then replaces. Without a script the messages run, the table is not
    // held, so it shows such a change at once, and the change is not forgotten after them.
    const bool load = st.CurrentScript != "*";
    if (!load) st.modified = false;
    if (load) Grid->holdDrawing();
    struct Release {
        StringGrid* grid;
        ~Release() { grid->releaseDrawing(); }  // also when the load fails
    } release{Grid};
    if (load) ui().paintNow(*this);
    else ui().processMessages();

    if (load) LoadFile(true);
    user.setCursor(CursorKind::Default);
    // The user works with the keyboard at once: Space, Enter, the arrows and the context-menu
    // key act on the slide table.
    Grid->setFocus();
}

// ---- closing ---------------------------------------------------------------------------

void TEditorForm::FormCloseQuery(Control*, bool& canClose) {
    EditorState& st = editorState();
    canClose = true;
    if (!st.modified || confirmed("Discard changes?")) return;
    BtnSaveClick(this);
    if (st.modified) {  // the save was cancelled or is not possible: stay open
        setModalResult(ModalResult::None);
        canClose = false;
    }
}

void TEditorForm::FormClose(Control*) {
    auto& table = editorState().DirectoryTable;
    table.clear();
    table.shrink_to_fit();
}

// ---- keyboard --------------------------------------------------------------------------

void TEditorForm::FormKeyDown(Control*, int& key, unsigned shift) {
    const bool ctrlOnly = (shift & kModifiers) == CtrlKey;
    if (ctrlOnly) {
        switch (key) {
            case 'L': key = 0; BtnLoadClick(this); return;
            case 'N': key = 0; BtnNewClick(this); return;
            case 'R': key = 0; BtnTestClick(this); return;
            case 'S': key = 0; BtnSaveClick(this); return;
            case 'Z': key = 0; mnuUndoClick(this); return;
            case 'Y': key = 0; mnuRedoClick(this); return;
            default: break;
        }
    }
    if ((shift & kModifiers) == (CtrlKey | ShiftKey) && key == 'Z') {
        key = 0;
        mnuRedoClick(this);
        return;
    }
    const bool thumbsPage = Tab->pageIndex() > 0;
    EditorState& st = editorState();
    if (thumbsPage && (key == vk::Prior || key == vk::Next)) {
        int p = CatScroll->position();
        p = key == vk::Prior ? std::max(1, p - st.CatPageSize)
                             : std::min(CatScroll->maxValue(), p + st.CatPageSize);
        key = 0;
        CatScroll->setPosition(p);
        ui().processMessages();  // repaint the scroll bar before the page is drawn
        UpdatePreview();
    } else if (thumbsPage && key == vk::F10) {
        key = 0;
        GetMPOS();
        mnuEdit->popup(st.popupX, st.popupY);
    } else if (!thumbsPage && ctrlOnly && key == 'E') {
        key = 0;
        Grid->setFocus();
    }
}

void TEditorForm::GridKeyPress(Control*, char& key) {
    if (key != ' ' && key != '\r') return;
    key = 0;
    editorState().keyboardPopup = true;
    CommonAction(nullptr);
}

void TEditorForm::GridKeyDown(Control*, int& key, unsigned) {
    if (key != kAppsKey) return;
    editorState().keyboardPopup = false;
    ui().processMessages();
    CommonAction(nullptr);
}

void TEditorForm::GridMouseUp(Control*, MouseButton button, unsigned, int, int) {
    if (button == MouseButton::Right) CommonAction(nullptr);
}

// ---- file commands ---------------------------------------------------------------------

void TEditorForm::BtnNewClick(Control*) {
    if (Grid->rowCount() >= 3 && !confirmed("Discard script?")) return;
    editorState().modified = false;
    SetUpClear();
    history->reset(true);
    GridClick(this);
    DisableControls();
}

void TEditorForm::BtnLoadClick(Control*) {
    if (Grid->rowCount() >= 3 && !confirmed("Discard script?")) return;
    Grid->setRow(1);
    Grid->setRowCount(2);
    CatScroll->setPosition(1);
    editorState().modified = false;
    SetUpClear();
    GridClick(this);
    if (Tab->pageIndex() > 0) Tab->setPageIndex(0);  // runs TabClick, which hides the catalogue
    LoadFile(false);
}

void TEditorForm::BtnSaveClick(Control*) {
    if (BtnSave->enabled()) SaveFile(false);
}

void TEditorForm::BtnTestClick(Control*) {
    if (!BtnTest->enabled()) return;
    if (Grid->rowCount() < 3 && Grid->cell(FilePath, 1).empty()) {
        ports().user->messageDialog("Nothing to test!", DialogKind::Information, BtnOK);
        return;
    }
    editorState().modified = false;
    SaveFile(true);
    setModalResult(ModalResult::All);  // 8: the host plays the temporary script
}

void TEditorForm::BtnHelpClick(Control*) { ports().system->help("KAVRIN.HLP", kHelpContext); }

void TEditorForm::BtnFileMenuClick(Control*) {
    EditorState& st = editorState();
    ports().user->cursorPos(st.popupX, st.popupY);
    mnuFile->popup(st.popupX, st.popupY);
}

// ---- notebook pages --------------------------------------------------------------------

void TEditorForm::TabClick(Control*) {
    if (Tab->pageIndex() == 0) {
        PanelThumbs->setVisible(false);
        Grid->setVisible(true);
        return;
    }
    EditorState& st = editorState();
    Grid->setVisible(false);
    PanelThumbs->setVisible(true);
    CatScroll->setEnabled(true);
    Font f;
    f.name = "Arial";
    f.size = 8;
    f.pixelsPerInch = 96;  // the captions fit their 12-pixel strip on any screen
    Image2->setFont(f);
    st.CatColumns = Image2->width() / 74;
    st.CatPageSize = st.CatRows * st.CatColumns;
    CatScroll->largeChange = st.CatPageSize;
    CatScroll->setRange(1, Grid->rowCount() - 1);
    CatScroll->setPosition(Grid->row());
    UpdateCatalogView(Grid->row());
}

// ---- slide-dependent controls ----------------------------------------------------------

namespace {

template <class F>
void forSlideControls(TEditorForm& f, F set) {
    for (MenuItem* m : {f.mnuFind, f.mnuInfo, f.mnuRelocate, f.mnuRename, f.mnuTagAll, f.mnuUnTagAll,
                        f.mnuGotoSlide, f.mnuSortName, f.mnuSortDate, f.mnuSortSize, f.mnuTag, f.mnuMove,
                        f.mnuCut, f.mnuTrash, f.mnuInsert})
        set(m);
    for (Button* b : {f.BtnFind, f.BtnInfo, f.BtnRelocate, f.BtnSort, f.BtnTag, f.BtnView, f.BtnSave,
                      f.BtnTest, f.BtnMove, f.BtnDelete, f.BtnTrash, f.BtnInsert, f.BtnCatalog,
                      f.BtnKillCat})
        set(b);
}

}  // namespace

void TEditorForm::EnableControls() {
    if (BtnFind->enabled()) return;
    forSlideControls(*this, [](auto* c) { c->setEnabled(true); });
}

void TEditorForm::DisableControls() {
    if (!BtnFind->enabled()) return;
    forSlideControls(*this, [](auto* c) { c->setEnabled(false); });
    mnuView->setEnabled(false);
}

}  // namespace kv::editor
