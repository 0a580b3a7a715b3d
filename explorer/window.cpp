// The explorer form's window: its default font and size, placing and "Reset window", help and
// the menus, the keyboard, closing with its saved rectangle, and the window hook.
#include "explorer/file_form.h"

#include <initializer_list>

#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

void TFileForm::RecordDefaults() {
    ExplorerState& st = st_;
    st.defaultFont = font();
    int w = 0, h = 0;
    defaultSize(ports().user->screenWidth(), ports().user->screenHeight(), w, h);
    st.defaultWidth = w;
    st.defaultHeight = h;
}

void TFileForm::placeOuter(int l, int t, int w, int h) {
    const FrameSize frame = frameOverhead(borderStyle);
    setBounds(l, t, w, h);
    setClientSize(std::max(0, w - frame.width), std::max(0, h - frame.height));
}

void TFileForm::SetDefaultFontAndSize() {
    ExplorerState& st = st_;
    UserPort& user = *ports().user;
    if (ports().metrics->menuBarHeight() > 18) {
        Font f = font();
        f.size = 10;
        f.bold = false;
        setFont(f);
    }
    RecordDefaults();
    placeOuter((user.screenWidth() - st.defaultWidth) / 2, (user.screenHeight() - st.defaultHeight) / 2,
               st.defaultWidth, st.defaultHeight);
    FormResize(this);
}

void TFileForm::mnuResetClick(Control*) {
    ExplorerState& st = st_;
    setWindowState(WindowState::Normal);
    Font f = font();
    f.name = st.defaultFont.name;
    f.size = st.defaultFont.size;
    f.bold = st.defaultFont.bold;
    setFont(f);
    setVisible(false);
    UserPort& user = *ports().user;
    placeOuter((user.screenWidth() - st.defaultWidth) / 2, (user.screenHeight() - st.defaultHeight) / 2,
               st.defaultWidth, st.defaultHeight);
    setVisible(true);
    FormResize(this);
    UpdateFiles();
}

// ---- help, goodies ---------------------------------------------------------------------------

void TFileForm::BtnHelpClick(Control*) {
    const ExplorerState& st = st_;
    ports().system->help(helpFile, st.dialog && isSaveMode(st.mode) ? 101 : 100);
}

void TFileForm::BtnMenuClick(Control*) {
    const std::string hint = BtnMenu->hint();
    BtnMenu->setHint("");
    ui().processMessages();
    MainMenu->popup(left() + BtnMenu->left() + BtnMenu->width(), top() + BtnMenu->top() + BtnMenu->height());
    BtnMenu->setHint(hint);
}

void TFileForm::mnuFileActionsClick(Control*) {
    Edit1Change(Edit1);
    FileMenu->popup(left() + BtnMenu->left() + BtnMenu->width(), top() + BtnMenu->top() + BtnMenu->height());
}

// ---- keyboard ------------------------------------------------------------------------------

void TFileForm::FormKeyDown(Control* sender, int& key, unsigned shift) {
    const ExplorerState& st = st_;
    const bool ctrl = (shift & CtrlKey) != 0;
    Control* from = sender;
    if (Control* f = ui().focusedControl()) from = f;
    switch (key) {
        case vk::Escape:
            key = 0;
            if (inputViewShown()) HideInputView();
            else BtnExitClick(this);
            return;
        case vk::F1:
            key = 0;
            BtnHelpClick(this);
            return;
        case vk::F10:
            key = 0;
            if (ctrl) {
                BtnMenuClick(this);
            } else {
                int x = 0, y = 0;
                ports().user->cursorPos(x, y);
                x = std::min(x, left() + PanelList->clientWidth());
                y = std::min(y, top() + PanelList->top() + PanelList->clientHeight());
                FileMenu->popup(x, y);
            }
            return;
        case vk::Tab: {
            key = 0;
            // The name box is in the cycle where the user types a name into it.
            std::vector<Control*> cycle = {LookBox, XFiles, FilterComboBox1, BtnOK, BtnExit};
            if (!Edit1->readOnly()) cycle.insert(cycle.begin() + 2, Edit1);
            auto it = std::find(cycle.begin(), cycle.end(), from);
            size_t i = it == cycle.end() ? 0 : static_cast<size_t>(it - cycle.begin());
            const bool back = (shift & ShiftKey) != 0;
            for (size_t n = 0; n < cycle.size(); ++n) {
                i = back ? (i + cycle.size() - 1) % cycle.size() : (i + 1) % cycle.size();
                Control* c = cycle[i];
                if (c->showing() && c->enabled()) {
                    c->setFocus();
                    break;
                }
            }
            return;
        }
        case vk::Return:
        case vk::Space:
            if (from == XFiles) {
                key = 0;
                // Preview mode previews a file; a folder still opens.
                if (mnuPreviewMode->checked() && !isFolderEntry(XFiles->item(XFiles->itemIndex())))
                    mnuFPreviewClick(XFiles);
                else BtnOKClick(false);
                return;
            }
            if (from == Edit1 && key == vk::Return) {
                key = 0;
                if (st.dialog) BtnOKClick(false);
                return;
            }
            return;
        default: return;
    }
}

// ---- closing -------------------------------------------------------------------------------

void TFileForm::BtnExitClick(Control*) {
    if (isModal()) setModalResult(ModalResult::Cancel);
    else close();
}

// The input-file view takes the place of the folder panels and the file list; the menu
// entries that act on the folder go with them.
void TFileForm::SwitchInputView(bool shown) {
    for (Control* c : std::initializer_list<Control*>{PanelTop, PanelBottom, XFiles}) c->setVisible(!shown);
    InputList->setVisible(shown);
    for (MenuItem* m : {mnuFSep, mnuFOpen, mnuFLevel, mnuRefresh}) m->setVisible(!shown);
    mnuListInput->setCaption(shown ? "&Hide input files" : "&View input files");
    LayoutPanels();
}

void TFileForm::HideInputView() {
    SwitchInputView(false);
    XFiles->setFocus();
}

void TFileForm::SaveWindowState() {
    ExplorerState& st = st_;
    IniFile ini(SettingsFileName);
    if (!st.dialog) {
        ini.writeInteger(SettingsSection, "bWinT", top());
        ini.writeInteger(SettingsSection, "bWinL", left());
        ini.writeInteger(SettingsSection, "bWinW", width());
        ini.writeInteger(SettingsSection, "bWinH", height());
    }
    ini.writeString(SettingsSection, "LastDir", AddTrailingBackslash(GetShortPath(currentFolder())));
}

bool TFileForm::RestoreRectangle() {
    IniFile ini(SettingsFileName);
    const int t = ini.readInteger(SettingsSection, "bWinT", -1);
    const int l = ini.readInteger(SettingsSection, "bWinL", -1);
    const int w = ini.readInteger(SettingsSection, "bWinW", -1);
    const int h = ini.readInteger(SettingsSection, "bWinH", -1);
    UserPort& user = *ports().user;
    if (!rectangleFits(t, l, w, h, user.screenWidth(), user.screenHeight())) return false;
    setVisible(false);
    placeOuter(l, t, w, h);
    FormResize(this);
    ui().processMessages();
    setVisible(true);
    return true;
}

void TFileForm::FormClose(Control*) {
    ExplorerState& st = st_;
    st.open = false;
    if (!st.dialog) {
        // The window frees itself once its handlers have returned, also when saving its
        // state below fails (a settings file that cannot be written). A dialog's form is
        // freed by the dialog's caller.
        if (st.form == this) st.form = nullptr;
        release();
    }
    SaveWindowState();
}

void TFileForm::RxWindowHook1BeforeMessage(uint32_t msg, uintptr_t wparam) {
    const ExplorerState& st = st_;
    if (msg == wm::Activate && (wparam & 0xFFFF) != 0 && !st.dialog && st.form == this)
        ports().host->send(st.hostWindow, MsgExplorer, 0, NotifyActivated);
}

}  // namespace kv::explorer
