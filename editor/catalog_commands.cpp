// The commands of the thumbnails page: "&Update" gives every picture slide a thumbnail index,
// saves the script and ends the editor with result 1 so that the host makes the thumbnails;
// "&Kill all" deletes the script's thumbnails; "C&ontact sheet" saves the page as a bitmap.
// Each acts on files on disk, which no undo takes back: each drops the undo history.
#include <algorithm>

#include "editor/catalog_id.h"
#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

constexpr int64_t kLastIndex = 32760;  // "VVO": the highest index a file name has room for
constexpr int32_t kContactSheetOption = 1;

}  // namespace

void TEditorForm::BtnCatalogClick(Control*) {
    EditorState& st = editorState();
    const int n = Grid->rowCount() - 1;
    int64_t m = 0;
    for (int r = 1; r <= n; ++r) {
        const std::string& t = Grid->cell(ThumbIndex, r);
        if (!t.empty() && t != "-") m = std::max<int64_t>(m, DecodeBase32(t));
    }
    int64_t i = m + 1;  // 64 bits: a counter near the top of its range still adds one
    const IniFile settings(SettingsFileName);
    const int64_t next = settings.readInteger(SettingsSection, "AVLidx", 0);
    if (next > i) i = next + 1;
    if (i > kLastIndex) {
        if (ports().user->messageDialog("New thumbnails and indices will be required\nfor ALL images in this script.  Continue?",
                                        DialogKind::Confirmation, BtnYes | BtnNo) != ModalResult::Yes)
            return;
        st.CatalogId.clear();  // the next save issues a new catalogue id
        i = 1;
        for (int r = 1; r <= n; ++r)
            if (Grid->cell(ThumbIndex, r) != "-") Grid->setCell(ThumbIndex, r, "");
    }
    Grid->beginUpdate();
    for (int r = 1; r <= n; ++r) {
        if (!Grid->cell(ThumbIndex, r).empty()) continue;
        Grid->setCell(ThumbIndex, r, StripLeadingZeros(EncodeBase32(static_cast<uint32_t>(i))));
        st.modified = true;
        ++i;
    }
    Grid->endUpdate();
    history->drop();
    settings.writeInteger(SettingsSection, "AVLidx", static_cast<int32_t>(i));
    if (st.modified) BtnSaveClick(this);
    if (!st.modified) setModalResult(ModalResult::OK);  // EditorWin95 returns 1
}

void TEditorForm::BtnKillCatClick(Control*) {
    UserPort& user = *ports().user;
    if (user.messageDialog("Delete ALL thumbnails for this script?", DialogKind::Warning, BtnYes | BtnNo) !=
        ModalResult::Yes)
        return;
    user.setCursor(CursorKind::HourGlass);
    FileSystemPort& fs = *ports().fs;
    const int n = Grid->rowCount() - 1;
    Grid->beginUpdate();
    for (int r = 1; r <= n; ++r) {
        const std::string file = ThumbnailFile(r);
        if (!file.empty()) fs.deleteFile(file);  // a missing file is no error
        if (Grid->cell(ThumbIndex, r) != "-") Grid->setCell(ThumbIndex, r, "");
    }
    Grid->endUpdate();
    history->drop();
    user.setCursor(CursorKind::Default);
    UpdatePreview();
}

void TEditorForm::mnuContactSheetClick(Control*) {
    if (explorer::RemoteDlg95(explorer::ModeSaveScript, kContactSheetOption) == -1) return;
    const std::string name = IniFile(SettingsFileName).readString(SettingsSection, "SaveName", "");
    if (name.empty()) return;
    // The page as drawn, without the focus frame that the mouse left on it (the right button
    // that opened the menu drew one): the sheet shows the slides, not the pointer.
    PixelMap sheet = Image2->picture();
    if (editorState().FrameShown) eraseFrame(sheet, editorState().FrameCellC, editorState().FrameCellQ);
    if (sheet.empty() || !ports().fs->writeFileAtomic(name, encodeBitmap(sheet))) {
        removeUnwrittenPlaceholder(name);
        ports().user->messageDialog("Cannot save file.\n" + namePart(name), DialogKind::Error, BtnOK);
        return;
    }
    history->drop();
}

}  // namespace kv::editor
