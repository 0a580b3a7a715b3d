// The current slide's file: its information, rename, move (or the move of every tagged
// file to one folder through the explorer's move dialog), and trash (the file deleted from
// disk, then its slide erased). A file the platform refuses to rename, move or delete stays
// where it was and so does its slide; the user is told. What these do on disk cannot be
// undone: each drops the undo history once it has changed a file.
#include <optional>
#include <string>

#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/input_box.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

constexpr int32_t kModeMove = 102;

// Whether a FilePath cell names a file: not the blank start row's empty cell, not a CD
// track's blank marker (which as a path would name a file in the current folder), and no
// wildcard (which the platform would answer with some other file).
bool namesFile(const std::string& path) {
    return !path.empty() && path != BlankMarker && path.find_first_of("*?") == std::string::npos;
}

// The first 40 characters of a display name and `more` when it is longer.
std::string shortened(const std::string& name, const char* more) {
    return name.size() > 40 ? name.substr(0, 40) + more : name;
}

// Whether two existing paths name one file (another case, a short name, a long name).
bool sameFile(const std::string& a, const std::string& b) {
    return sameText(GetShortPath(a), GetShortPath(b));
}

// Whether two paths lie on one drive: a move between them is a rename, which either happens
// whole or not at all.
bool sameDrive(const std::string& a, const std::string& b) {
    return a.size() > 1 && b.size() > 1 && a[1] == ':' && b[1] == ':' && sameText(a.substr(0, 1), b.substr(0, 1));
}

// Moves a slide's file to `dest`, which did not exist; true when it went there. To another
// drive the platform copies the file and removes the original: when it reports the move done
// with the original still there, the original is removed only when `dest` is a distinct copy
// of the same size, so the only copy is never lost; when it reports a failure, whatever it
// left at `dest` (a copy, or part of one) is taken back while the original is still there.
bool moveSlideFile(const std::string& src, const std::string& dest) {
    FileSystemPort& fs = *ports().fs;
    const bool moved = fs.moveFile(src, dest);
    if (sameDrive(src, dest)) return moved;  // a rename leaves nothing behind either way
    const std::optional<DirEntry> left = fs.findEntry(src);
    const std::optional<DirEntry> copy = left ? fs.findEntry(dest) : std::nullopt;
    const bool twoFiles = copy && !copy->directory && !sameFile(src, dest);
    if (moved && twoFiles && copy->size == left->size) fs.deleteFile(src);
    if (!moved && twoFiles) fs.deleteFile(dest);
    return moved;
}

}  // namespace

void TEditorForm::wireSlideFiles() {
    BtnInfo->onClick = [this](Control* s) { BtnInfoClick(s); };
    mnuInfo->onClick = [this](Control*) { BtnInfoClick(BtnInfo); };
    mnuRename->onClick = [this](Control*) { mnuRenameClick(nullptr); };
    BtnRelocate->onClick = [this](Control* s) { mnuRelocateClick(s); };
    mnuRelocate->onClick = [this](Control*) { mnuRelocateClick(BtnRelocate); };
    BtnTrash->onClick = [this](Control* s) { BtnTrashClick(s); };
    mnuTrash->onClick = [this](Control*) { BtnTrashClick(BtnTrash); };
}

// ---- information ----------------------------------------------------------------------------

void TEditorForm::BtnInfoClick(Control*) {
    UserPort& user = *ports().user;
    const int row = Grid->row();
    const std::string& p = Grid->cell(FilePath, row);
    const std::optional<DirEntry> e = namesFile(p) ? ports().fs->findEntry(p) : std::nullopt;
    if (!e || e->directory) {
        user.messageDialog("File not found!", DialogKind::Error, BtnOK);
        return;
    }
    user.messageDialog("Slide: " + intToStr(row) + "\n" + "File: " + namePart(p) + "\n" + "Alias: " +
                           shortened(Grid->cell(DisplayName, row), " ...") + "\n" + "Size: " +
                           intToStr(static_cast<long long>(e->size)) + " bytes" + "\n" + "Modified: " +
                           ports().system->dateTimeText(e->modified),
                       DialogKind::Information, BtnOK);
}

// ---- rename ---------------------------------------------------------------------------------

// The file renamed is the one the slide plays, named by FilePath; the display name is only
// what the user sees and types over. A renamed file makes the script differ from its file:
// the saved script still names the old file.
void TEditorForm::mnuRenameClick(Control*) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    const int row = Grid->row();
    const std::string src = Grid->cell(FilePath, row);
    const std::string old = lower(Grid->cell(DisplayName, row));
    const std::string dir = AddTrailingBackslash(folderPart(src));
    std::string typed = old;
    if (!InputQuery("Rename File", old, typed) || typed == old || typed.empty()) return;
    if (ports().fs->exists(dir + typed)) {
        user.messageDialog("Filename exists.\n" + typed, DialogKind::Warning, BtnOK);
        return;
    }
    // A name with a folder in it would move the file elsewhere.
    const bool plainName = typed.find_first_of("\\/:") == std::string::npos;
    if (!plainName || !namesFile(src) || !ports().fs->moveFile(src, dir + typed)) {
        user.messageDialog("Could not rename\n" + old + "\n" + "to" + "\n" + typed, DialogKind::Error, BtnOK);
        return;
    }
    Grid->setCell(FilePath, row, lower(GetShortPath(dir + typed)));
    Grid->setCell(DisplayName, row, typed);
    history->drop();
    st.modified = true;
    GridClick(this);
    if (Tab->pageIndex() > 0) UpdateCatalogTags();
}

// ---- move -----------------------------------------------------------------------------------

void TEditorForm::mnuRelocateClick(Control*) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    CheckTags();
    if (st.AnyTagged) {
        MoveTaggedFiles();
        return;
    }
    const int r = Grid->row();
    const std::string src = Grid->cell(FilePath, r);
    if (!namesFile(src)) {  // a CD track or the blank start row: no file to move
        user.messageDialog("Move file failed.", DialogKind::Error, BtnOK);
        return;
    }
    SetSaveAs(Grid->cell(DisplayName, r));
    if (explorer::RemoteDlg95(kModeMove, 0) == -1) return;
    const std::string dest = IniFile(SettingsFileName).readString(SettingsSection, "SaveName", "");
    if (ports().fs->exists(dest)) {
        user.messageDialog("Destination file exists.", DialogKind::Warning, BtnOK);
        return;
    }
    if (dest.empty() || !moveSlideFile(src, dest)) {
        user.messageDialog("Move file failed.", DialogKind::Error, BtnOK);
        return;
    }
    Grid->setCell(FilePath, r, lower(GetShortPath(dest)));
    history->drop();
    GridClick(this);
    st.modified = true;
}

void TEditorForm::MoveTaggedFiles() {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    SetSaveAs("~[ ALL TAGGED FILES ]~");
    if (explorer::RemoteDlg95(kModeMove, 0) == -1) return;
    const std::string folder =
        folderPart(IniFile(SettingsFileName).readString(SettingsSection, "SaveName", ""));
    if (folder.empty()) return;  // no folder chosen: the files would land in the current one
    bool moved = false;
    for (int r = 1; r < Grid->rowCount(); ++r) {
        if (Grid->cell(Tag, r) != "X") continue;
        const std::string src = Grid->cell(FilePath, r);
        const std::string& name = Grid->cell(DisplayName, r);
        const std::string dest = folder + name;
        if (ports().fs->exists(dest)) {
            user.messageDialog(name + "\n" + "Destination file exists; skipped.", DialogKind::Warning, BtnOK);
            continue;
        }
        if (!namesFile(src) || !moveSlideFile(src, dest)) {
            user.messageDialog("Move file failed.\n" + namePart(src), DialogKind::Error, BtnOK);
            continue;
        }
        Grid->setCell(FilePath, r, lower(GetShortPath(dest)));
        st.modified = moved = true;
    }
    if (moved) {
        history->drop();
        GridClick(this);  // the current slide shown once, with its path as it is now
    }
    if (Tab->pageIndex() > 0) UpdateCatalogTags();
}

// ---- trash ----------------------------------------------------------------------------------

void TEditorForm::BtnTrashClick(Control*) {
    UserPort& user = *ports().user;
    const std::string path = Grid->cell(FilePath, Grid->row());
    if (user.messageDialog(shortened(Grid->cell(DisplayName, Grid->row()), "...") + "\n" + "Delete file ?",
                           DialogKind::Warning, BtnYes | BtnNo) != ModalResult::Yes)
        return;
    if (!namesFile(path) || !ports().fs->deleteFile(path)) {
        user.messageDialog("Access denied.", DialogKind::Error, BtnOK);
        return;
    }
    BtnDeleteClick(BtnTrash);
    history->drop();
}

}  // namespace kv::editor
