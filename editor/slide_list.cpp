// Slide list operations: adding the files chosen in the explorer (at the end or before the
// current slide), CD track slides, erasing one slide or every tagged one, moving a slide to
// another number, finding a slide by part of its path, going to a number, and renumbering
// after a row was dragged in the table.
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dialogs/value_dialog.h"
#include "editor/editor_form.h"
#include "editor/profile_values.h"
#include "explorer/explorer_dialog.h"
#include "framework/ini.h"
#include "framework/input_box.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv::editor {

namespace {

// The explorer dialog's add-slides mode.
constexpr int32_t kModeAddSlides = 253;
// A count beyond this is not a list the explorer wrote: the file is treated as damaged
// rather than growing the table without end.
constexpr int32_t kMaxListFiles = 32767;

// Extension of a path, dot included and in upper case: from the last dot after the last
// backslash or colon; empty when there is none.
std::string upperExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t sep = path.find_last_of("\\:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
    return upper(path.substr(dot));
}

struct SelectionList {
    std::string folder;
    int32_t count = 0;
    IniDocument doc;
};

// Reads the selection list file; false when it cannot be read or holds no usable count.
bool readSelectionList(const std::string& file, SelectionList& list) {
    std::string bytes;
    if (!ports().fs->readFile(profileFilePath(file), bytes)) return false;
    list.doc = IniDocument::parse(std::move(bytes));
    list.folder = AddTrailingBackslash(list.doc.readString("Directory", "Name", "c:\\"));
    list.count = profileInteger(list.doc.readString("Directory", "Files", ""), 0);
    return list.count >= 1 && list.count <= kMaxListFiles;
}

// The short path and the long name of each listed file. A long list is answered from one
// listing of its folder instead of two or three look-ups per file (with thousands of files in
// a folder, each look-up of a short name may scan the whole folder); a name the listing does
// not hold is looked up on its own.
class ListedNames {
public:
    ListedNames(const std::string& folder, int count) : folder_(folder) {
        if (count < 64) return;
        shortFolder_ = AddTrailingBackslash(GetShortPath(folder));
        entries_ = ports().fs->list(folder, "*.*");
        for (size_t i = 0; i < entries_.size(); ++i) {
            const DirEntry& e = entries_[i];
            if (e.directory) continue;
            byName_.emplace(lower(e.longName), i);
            if (!e.shortName.empty()) byName_.emplace(lower(e.shortName), i);
        }
    }
    // FilePath and DisplayName of the file `name` of the folder.
    std::pair<std::string, std::string> paths(const std::string& name) const {
        if (auto it = byName_.find(lower(name)); it != byName_.end()) {
            const DirEntry& e = entries_[it->second];
            if (e.shortName.empty()) return {lower(shortFolder_ + e.longName), lower(e.longName)};
            return {lower(shortFolder_ + e.shortName), e.longName};
        }
        const std::string full = folder_ + name;
        return {lower(GetShortPath(full)), GetLongFileName(full)};
    }

private:
    std::string folder_, shortFolder_;
    std::vector<DirEntry> entries_;
    std::unordered_map<std::string, size_t> byName_;
};

}  // namespace

void TEditorForm::wireSlideList() {
    BtnAdd->onClick = [this](Control* s) { BtnAddClick(s); };
    BtnInsert->onClick = [this](Control* s) { BtnAddClick(s); };
    mnuAdd->onClick = [this](Control*) { BtnAddClick(BtnAdd); };
    mnuInsert->onClick = [this](Control*) { BtnAddClick(BtnInsert); };
    BtnCD->onClick = [this](Control* s) { BtnCDClick(s); };
    BtnDelete->onClick = [this](Control* s) { BtnDeleteClick(s); };
    mnuCut->onClick = [this](Control*) { BtnDeleteClick(BtnDelete); };
    BtnMove->onClick = [this](Control* s) { BtnMoveClick(s); };
    mnuMove->onClick = [this](Control*) { BtnMoveClick(BtnMove); };
    BtnFind->onClick = [this](Control* s) { BtnFindClick(s); };
    mnuFind->onClick = [this](Control*) { BtnFindClick(BtnFind); };
    mnuGotoSlide->onClick = [this](Control*) { mnuGotoSlideClick(nullptr); };
    mnuSortName->onClick = [this](Control*) { SortByAny(mnuSortName); };
    mnuSortDate->onClick = [this](Control*) { SortByAny(mnuSortDate); };
    mnuSortSize->onClick = [this](Control*) { SortByAny(mnuSortSize); };
    Grid->onRowMoved = [this](Control* s, int from, int to) { GridRowMoved(s, from, to); };
}

// ---- add and insert -----------------------------------------------------------------------

void TEditorForm::BtnAddClick(Control* sender) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    if (explorer::RemoteDlg95(kModeAddSlides, 0) == -1) return;
    EnableControls();
    const std::string listFile = IniFile(SettingsFileName).readString(SettingsSection, "Win95Tmp", "ERROR");
    if (listFile == "ERROR") return;
    SelectionList list;
    if (!readSelectionList(listFile, list)) {
        user.messageDialog("Bad AVL file.", DialogKind::Error, BtnOK);
        return;
    }
    // The table as it is now, after the dialog's loop. A script without slides is the blank
    // start row alone: the first new slide takes its place, and inserting there is adding. A
    // blank start row that a CD track followed stays a row like any other.
    const bool noSlides = Grid->rowCount() == 2 && Grid->cell(FilePath, 1).empty();
    const bool insert = sender == BtnInsert && !noSlides;
    EditHistory::Step step(*history, insert ? "insert slide(s)" : "add slide(s)");
    const int k = list.count;
    const int r0 = Grid->row();
    int selectAtEnd = r0;
    // The new slides go to rows first .. first + k - 1, which are made empty for them here;
    // every row there was before keeps its slide.
    int first = 1;

    if (!insert) {
        if (noSlides) {
            Grid->setRowCount(k + 1);
        } else {
            first = Grid->rowCount();
            selectAtEnd = first - 1;
            Grid->setRow(1);
            GridClick(this);
            // No messages run while the new rows are still empty: the table is repainted
            // once they are filled.
            Grid->setRowCount(first + k);
            Grid->setRow(selectAtEnd);
            GridClick(this);
        }
    } else {
        first = r0;
        GridInsert(r0, k);
        Grid->setRow(r0);
        GridClick(this);
    }
    st.modified = true;

    // The rows are filled without showing each one: the selection moves on quietly and the
    // slide is shown once at the end.
    auto shown = std::move(Grid->onSelectCell);
    Grid->onSelectCell = nullptr;
    struct Restore {
        StringGrid* g;
        decltype(shown)& ev;
        ~Restore() {
            if (ev) g->onSelectCell = std::move(ev);
        }
    } restore{Grid, shown};
    const ListedNames listed(list.folder, k);
    Grid->beginUpdate();
    for (int i = 1; i <= k; ++i) {
        const std::string name = list.doc.readString(intToStr(i), "F", "ERROR");
        const std::string ext = upperExtension(list.folder + name);
        const int r = first + i - 1;
        Grid->setRow(r);  // the kind's set-up fills the current row
        auto [shortPath, longName] = listed.paths(name);
        Grid->setCell(FilePath, r, std::move(shortPath));
        Grid->setCell(DisplayName, r, std::move(longName));
        if (ext == ".WAV" || ext == ".MID") SetUpAudio();
        else if (ext == ".AVI" || ext == ".MPG" || ext == ".DAT") SetUpAVI();
        else if (ext == ".MOV") SetUpMOV();
        else if (ext == ".FLI" || ext == ".FLC" || ext == ".FLX") SetUpFLI();
        else if (ext == ".AVL") SetUpAVL();
        else SetUpGraphic();
    }
    Grid->endUpdate();
    Grid->onSelectCell = std::move(shown);

    ui().processMessages();
    Grid->setRow(selectAtEnd);
    ui().processMessages();
    GridClick(this);
    ui().processMessages();
    RenumberSlides();
    UpdatePreview();
    if (Grid->rowCount() > 1600)
        user.messageDialog("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.",
                           DialogKind::Warning, BtnOK);
}

// ---- CD track -----------------------------------------------------------------------------

void TEditorForm::BtnCDClick(Control*) {
    const int32_t t = dialogs::ShowValueDialog("CD Audio Track Selection", 1, 99, 1, 1, 1, 0, 0, 0, 0, 0, 0);
    if (t == dialogs::ValueCancelled) return;
    const bool replace = ports().user->messageDialog("Replace current slide?", DialogKind::Confirmation,
                                                     BtnYes | BtnNo) == ModalResult::Yes;
    EditHistory::Step step(*history, "CD track");
    if (!replace) {
        Grid->setRowCount(Grid->rowCount() + 1);
        Grid->setRow(Grid->rowCount() - 1);
    }
    const int r = Grid->row();
    const std::string name = "CD Track: " + intToStr(t);
    Grid->setCell(SlideNo, r, intToStr(r));
    Grid->setCell(FilePath, r, BlankMarker);
    Grid->setCell(DisplayName, r, name);
    Fullname->setCaption(name);
    SetUpAudio();
    Grid->setCell(Param, r, intToStr(t));
    editorState().modified = true;  // a new or replaced slide: closing must ask
}

// ---- erase --------------------------------------------------------------------------------

void TEditorForm::CheckTags() {
    EditorState& st = editorState();
    st.AnyTagged = Grid->cell(Tag, Grid->row()) == "X";
    for (int r = 1; !st.AnyTagged && r < Grid->rowCount(); ++r) st.AnyTagged = Grid->cell(Tag, r) == "X";
}

void TEditorForm::BtnDeleteClick(Control* sender) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    const int r = Grid->row();
    st.modified = true;
    EditHistory::Step step(*history, "erase slide(s)");
    if (sender == BtnDelete) {
        CheckTags();
        if (st.AnyTagged) {
            MultiErase();
            return;
        }
    }
    const std::string thumb = ThumbnailFile(r);
    if (!thumb.empty() && fs.exists(thumb)) {
        ModalResult answer = ModalResult::No;
        if (sender == BtnDelete)
            answer = user.messageDialog(
                "ERASE SLIDE\nThumbnail should be kept\nif you will save a subset.\nDelete thumbnail ?",
                DialogKind::Confirmation, BtnYes | BtnNo | BtnCancel);
        else if (sender == BtnTrash)
            answer = ModalResult::Yes;
        if (answer == ModalResult::Cancel) return;
        if (answer == ModalResult::Yes) fs.deleteFile(thumb);
    }
    RemoveSlideRow(r);
}

// The tagged rows go from the last upward, as the erase of one slide would take them; the rows
// that stay are moved up once each, so erasing half of a long script is one pass over it.
void TEditorForm::MultiErase() {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    st.modified = true;
    const ModalResult answer =
        user.messageDialog("ERASE SLIDES\nDelete tagged thumbnails too?", DialogKind::Confirmation, BtnYes | BtnNo | BtnCancel);
    if (answer == ModalResult::Cancel) return;
    EditHistory::Step step(*history, "erase slide(s)");
    user.setCursor(CursorKind::HourGlass);
    // The tagged slides are visited from the last up, their thumbnails deleted and pending
    // messages let run after each; the table then loses them all in one pass. Removing them
    // one by one moved every row below each (and repainted the table each time): seconds for
    // hundreds of slides where the pass takes a millisecond. When every slide goes, the
    // blank start row stays and there is nothing to save.
    const int n = Grid->rowCount() - 1;
    std::vector<bool> erased(static_cast<size_t>(n) + 1, false);
    int kept = n;
    for (int r = n; r >= 1; --r) {
        if (Grid->cell(Tag, r) != "X") continue;
        erased[static_cast<size_t>(r)] = true;
        --kept;
        if (answer == ModalResult::Yes) {
            const std::string thumb = ThumbnailFile(r);
            if (!thumb.empty()) fs.deleteFile(thumb);  // a missing file is no error
        }
        ui().processMessages();
    }
    if (kept == 0) {
        st.modified = false;
        SetUpClear();
    } else if (kept < n) {
        Grid->beginUpdate();
        int d = 1;
        for (int r = 1; r <= n; ++r) {
            if (erased[static_cast<size_t>(r)]) continue;
            if (d != r) Grid->setRowCells(d, std::vector<std::string>(Grid->rowCells(r)));
            ++d;
        }
        Grid->setRowCount(kept + 1);
        Grid->endUpdate();
    }
    GridClick(this);
    RenumberSlides();
    UpdatePreview();
    user.setCursor(CursorKind::Default);
}

// ---- move, go to, row drag ----------------------------------------------------------------

void TEditorForm::BtnMoveClick(Control*) {
    EditorState& st = editorState();
    const int r = Grid->row();
    const int n = Grid->rowCount() - 1;
    const int32_t v = dialogs::ShowValueDialog("Move slide #" + intToStr(r) + " to", 1, n, r, 1, 1, 0, 0, 0, 0, 0, 0);
    if (v == dialogs::ValueCancelled || v == r) return;
    st.DragTarget = v;
    st.DragSource = r;
    GridxMove();
}

void TEditorForm::mnuGotoSlideClick(Control*) {
    const int n = Grid->rowCount() - 1;
    const int32_t v = dialogs::ShowValueDialog("Go to Slide", 1, n, Grid->row(), 1, 1, 0, 0, 0, 0, 0, 0);
    if (v == dialogs::ValueCancelled) return;
    Grid->setRow(v);
    GridClick(this);
    CatScroll->setPosition(v);
    UpdatePreview();
}

void TEditorForm::GridRowMoved(Control*, int, int) {
    EditHistory::Step step(*history, "move slide");  // joins the step the move opened
    RenumberSlides();
    editorState().modified = true;  // the table reports only a row that changed places
}

// ---- find ---------------------------------------------------------------------------------

void TEditorForm::BtnFindClick(Control*) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    std::string word = st.SearchWord;
    if (!InputQuery("Find Slide", "Enter partial filename (no wildcards)", word)) return;
    st.SearchWord = lower(word);
    bool found = false;
    if (!st.SearchWord.empty()) {
        for (int r = 1; r < Grid->rowCount(); ++r) {
            if (lower(Grid->cell(FilePath, r)).find(st.SearchWord) == std::string::npos) continue;
            found = true;
            Grid->setRow(r);
            GridClick(this);
            CatScroll->setPosition(r);
            UpdatePreview();
            if (user.messageDialog("Find next matching slide?", DialogKind::Confirmation, BtnYes | BtnNo) !=
                ModalResult::Yes)
                return;
        }
    }
    user.messageDialog(found ? std::string("Search done.") : "No match found.\nSearch word: " + st.SearchWord,
                       DialogKind::Information, BtnOK);
}

}  // namespace kv::editor
