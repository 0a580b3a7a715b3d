// The explorer's exports: the modeless window (RemoteWin95 and its close, hide and update
// exports) and the modal dialog (RemoteDlg95).
#include "explorer/explorer_dialog.h"

#include <memory>

#include "explorer/file_form.h"
#include "explorer/formats.h"
#include "framework/on_exit.h"
#include "framework/platform.h"
#include "host/entry.h"

namespace kv::explorer {

namespace {
std::function<int32_t(int32_t, int32_t)>& handler() {
    static std::function<int32_t(int32_t, int32_t)> h;
    return h;
}
}  // namespace

void setRemoteDlgHandler(std::function<int32_t(int32_t, int32_t)> h) { handler() = std::move(h); }

int32_t RemoteDlg95(int32_t mode, int32_t option) {
    if (handler()) return handler()(mode, option);
    return ShowDialogForm(mode, option);
}

int32_t ShowDialogForm(int32_t mode, int32_t option) {
    // The dialog's own state: the modeless window, when it is open, keeps its own untouched.
    ExplorerState st;
    UserPort& user = *ports().user;
    // 1.
    user.setCursor(CursorKind::HourGlass);
    st.mode = mode;
    st.option = option;
    st.convert = mode >= 101 && mode <= 200;
    if (st.convert) st.mode -= 100;
    st.dialog = true;
    st.building = true;
    st.lookBusy = true;
    // 2.
    std::unique_ptr<TFileForm> form;
    // 4. (however the dialog ends)
    const OnExit normalCursor([&] { user.setCursor(CursorKind::Default); });
    form = std::make_unique<TFileForm>(st);
    st.form = form.get();
    form->borderStyle = BorderStyle::Dialog;
    form->systemMenu = false;
    form->SetDefaultFontAndSize();
    // Every mode but adding slides selects one file: the list is made so from the start
    // (the set-up at the first activation finds it so), not made again once shown.
    if (st.mode != 253) form->XFiles->setMultiSelect(false);
    // 3.
    if (form->showModal() != ModalResult::OK) return -1;
    if (!isSaveMode(st.mode)) return 0;
    const int row = form->FilterComboBox1->itemIndex();
    const int32_t result = (row >= 0 && row < 64) ? st.formatCodes[static_cast<size_t>(row)] : 0;
    form->WriteSaveOptions();
    return result;
}

void ShowWindowForm(TFileForm& f, uintptr_t hostWindow);

void OpenWindow(uintptr_t hostWindow, int32_t rememberRect) {
    ExplorerState& st = state();
    if (st.open && st.form) {
        st.form->setVisible(true);
        if (st.form->windowState() == WindowState::Minimized) st.form->setWindowState(WindowState::Normal);
        st.form->show();
        return;
    }
    // 1.
    st.dialog = false;
    st.convert = false;
    st.mode = 999;
    st.option = 0;
    st.rememberRect = rememberRect != 0;
    st.building = true;
    st.lookBusy = true;
    st.open = false;
    st.mask.clear();
    st.proposedName.clear();
    // 2. to 6.
    auto* form = new TFileForm(st);
    st.form = form;
    try {
        ShowWindowForm(*form, hostWindow);
    } catch (...) {
        // Nothing half-built stays on the screen.
        st.open = false;
        st.building = false;
        st.lookBusy = false;
        if (st.form == form) st.form = nullptr;
        form->setVisible(false);
        form->release();
        throw;
    }
}

void ShowWindowForm(TFileForm& f, uintptr_t hostWindow) {
    ExplorerState& st = state();
    TFileForm* form = &f;
    // Messages run on the way (a rectangle restored, the window shown): the window may be
    // closed by them, and then it is not built any further.
    auto gone = [&] { return st.form != form || form->closed(); };
    form->SetDefaultFontAndSize();
    if (!st.rememberRect || !form->RestoreRectangle()) {
        if (st.rememberRect) {
            // No rectangle restored: the design rectangle.
            form->placeOuter(333, 231, 413, 310);
            form->FormResize(form);
        }
    }
    if (gone()) return;
    // 7.
    st.hostWindow = hostWindow;
    form->show();
    if (gone()) return;
    // 8.
    form->ChangeDirectory(st.startFolder);
    form->DirectoryListBox1->update();
    form->XFiles->setEnabled(true);
    st.open = true;
    st.building = false;
    st.lookBusy = false;
    form->UpdateFiles();
    form->UpdateHistory();
    form->CalcStringWidth();
}

}  // namespace kv::explorer

namespace kv::entry {

using namespace kv::explorer;

void RemoteWin95(uintptr_t hostWindow, int32_t rememberRect) { OpenWindow(hostWindow, rememberRect); }

int32_t RemoteDlg95(int32_t mode, int32_t option) { return explorer::RemoteDlg95(mode, option); }

void RemoteWinClose95() {
    ExplorerState& st = state();
    if (!st.open || !st.form) return;
    TFileForm* form = st.form;
    try {
        if (st.rememberRect) form->SaveWindowState();
    } catch (...) {
        form->close();
        throw;
    }
    form->close();
}

void RemoteWinHide95() {
    ExplorerState& st = state();
    if (!st.open || !st.form) return;
    st.form->setVisible(false);
}

void RemoteWinUpdate95() {
    ExplorerState& st = state();
    if (!st.open || !st.form) return;
    TFileForm& f = *st.form;
    const int i = f.XFiles->itemIndex();
    f.UpdateFiles();
    if (i > 0) {
        f.XFiles->setSelected(0, false);
        f.XFiles->setItemIndex(i - 1);
        f.XFiles->setSelected(i - 1, true);
        f.Edit1->setText(f.XFiles->item(i - 1));
    }
}

}  // namespace kv::entry
