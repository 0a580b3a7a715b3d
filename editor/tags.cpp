// Tags: tagging every picture slide or none, and viewing: the current picture in the player
// program, or the tagged slides as the tag list "tag.lst" for the host (the editor then ends
// with result 2). Tags live only in the slide table and do not count as a change.
#include <string>

#include "editor/editor_form.h"
#include "framework/error.h"
#include "framework/ini.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

constexpr char kTagList[] = "tag.lst";
constexpr char kPlayer[] = "kvshow.exe";
constexpr int kHidden = 0;  // show state of the player's start

}  // namespace

void TEditorForm::wireTags() {
    BtnTag->onClick = [this](Control*) { TagSlide(); };
    mnuTag->onClick = [this](Control*) { TagSlide(); };
    mnuTagAll->onClick = [this](Control*) { mnuTagAllClick(mnuTagAll); };
    mnuUnTagAll->onClick = [this](Control*) { mnuTagAllClick(mnuUnTagAll); };
    BtnView->onClick = [this](Control* s) { BtnViewClick(s); };
    mnuView->onClick = [this](Control*) { BtnViewClick(BtnView); };
}

// "Tag al&l" tags every slide that can be tagged and has a file (the blank start row is no
// slide); any other sender clears every tag.
void TEditorForm::mnuTagAllClick(const MenuItem* sender) {
    const bool tagging = sender == mnuTagAll;
    Grid->beginUpdate();
    for (int r = Grid->rowCount() - 1; r >= 1; --r) {
        if (Grid->cell(Tag, r) == BlankMarker) continue;
        if (tagging && Grid->cell(FilePath, r).empty()) continue;
        Grid->setCell(Tag, r, tagging ? "X" : "");
    }
    Grid->endUpdate();
    if (Tab->pageIndex() > 0) UpdateCatalogTags();
}

void TEditorForm::BtnViewClick(Control*) { SaveTagList(); }

void TEditorForm::SetSaveAs(const std::string& text) {
    IniFile(SettingsFileName).writeString(SettingsSection, "SaveAs", text);
}

void TEditorForm::SaveTagList() {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    const std::string listFile = st.AppDir + kTagList;
    if (fs.exists(listFile)) fs.deleteFile(listFile);  // only the latest list is ever there

    const int row = Grid->row();
    const bool current = Grid->cell(Tag, row) != BlankMarker && !Grid->cell(FilePath, row).empty();
    CheckTags();
    if (!st.AnyTagged && !current) {
        user.messageDialog("Tag slides or select graphic slide for viewing.", DialogKind::Information, BtnOK);
        return;
    }
    if (current && (!st.AnyTagged || user.messageDialog("View all tagged slides?", DialogKind::Information,
                                                        BtnYes | BtnNo) != ModalResult::Yes)) {
        SetSaveAs(Grid->cell(FilePath, row));
        // The editor stays open and does not wait for the player.
        const std::string player = st.AppDir + kPlayer;
        // The program's path is quoted: in a folder whose name has spaces ("C:\Program
        // Files\...") the platform would first try the path cut at the first space.
        if (!ports().system->run("\"" + player + "\" /x", kHidden))
            user.messageDialog("Cannot start\n" + player, DialogKind::Error, BtnOK);
        return;
    }

    IniBuilder list;
    int n = 0;
    for (int r = 1; r < Grid->rowCount(); ++r)
        if (Grid->cell(Tag, r) == "X") ++n;
    list.reserve(static_cast<size_t>(n) * 48 + 32, static_cast<size_t>(n) + 1);
    list.add("Count", "N", intToStr(n));
    for (int r = 1, i = 0; r < Grid->rowCount(); ++r)
        if (Grid->cell(Tag, r) == "X") list.add(intToStr(++i), "F", Grid->cell(FilePath, r));
    try {
        IniFile(listFile).replace(list);
    } catch (const Error& e) {
        showError(e);  // no list for the host: the editor stays open
        return;
    }
    setModalResult(ModalResult::Retry);  // EditorWin95 returns 2
}

}  // namespace kv::editor
