// The explorer form's creation, the dialog set-up of each mode at the first activation, and
// the captions that follow the name box.
#include "explorer/file_form.h"

#include <algorithm>

#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

// ---- creation ----------------------------------------------------------------------------

void TFileForm::FormCreate(Control*) {
    ExplorerState& st = st_;
    // 1, 2. The glyphs are the list's pictures; the hidden drive box on c, the folder list
    // and the file list on c:\.
    DriveBox->refresh();
    DriveBox->setDrive('c');
    // 3. The list file and the start folder.
    IniFile ini(SettingsFileName);
    st.listFile = ini.readString(SettingsSection, "Win95Tmp", "c:\\kavrin.tmp");
    st.startFolder = ini.readString(SettingsSection, "LastDir", "c:\\");
    // 4. Save modes start in SavePath with the proposed name and the remembered row.
    if (st.dialog && st.mode <= 200) {
        if (st.mode != 2) st.startFolder = ini.readString(SettingsSection, "SavePath", "c:\\");
        st.proposedName = ini.readString(SettingsSection, "SaveAs", "");
        ReadRememberedRow();
    }
    // 5. The start folder in its long form, or c:\ when it is not a folder.
    std::string f = st.startFolder;
    if (!f.empty() && f.back() == '\\') f.pop_back();
    f = GetLongPath(f);
    if (f.size() == 2 && f[1] == ':') f += '\\';
    FileSystemPort* fs = ports().fs;
    if (!fs || !fs->isDirectory(f)) f = "c:\\";
    st.startFolder = f;
    // 6. The window starts on "All validated formats".
    if (!st.dialog) {
        FilterComboBox1->setItemIndex(1);
        FilterComboBox1Change(FilterComboBox1);
    }
}

// ---- dialog set-up -------------------------------------------------------------------------

void TFileForm::FormActivate(Control*) {
    ExplorerState& st = st_;
    ports().user->setCursor(CursorKind::Default);
    if (!st.dialog) return;
    // The set-up runs at the first activation only: a message box or the compression dialog
    // closing must not reset what the user chose.
    if (activatedOnce_) return;
    activatedOnce_ = true;

    BtnExit->setCaption("Cancel");
    const int32_t mode = st.mode;
    if (mode == 252 || mode == 253 || mode == 254) {
        if (mode == 252) {
            setCaption("Open File for Tiling or Texture");
            Edit1->setReadOnly(true);
            Edit1->setColor(SysColor(syscolor::BtnFace));
            FilterComboBox1->setItemIndex(2);
            FilterComboBox1->setEnabled(false);
        } else if (mode == 253) {
            setCaption("Add Multiple Slides");
            Edit1->setReadOnly(true);
            Edit1->setColor(SysColor(syscolor::Highlight));
            FilterComboBox1->setItemIndex(1);
            FilterComboBox1->setEnabled(true);
        } else {
            setCaption("Open Slideshow");
            Edit1->setReadOnly(false);
            Edit1->setColor(SysColor(syscolor::Window));
        }
        if (mode != 253) {
            XFiles->setMultiSelect(false);
            MarkDirectory->setVisible(false);
            UnmarkDirectory->setVisible(false);
        }
    } else {
        if (!st.convert) {
            setCaption(st.option != 0 ? "Save Contact Sheet as" : "Save File");
            Edit1->setReadOnly(false);
            Edit1->setColor(SysColor(syscolor::Window));
        } else if (mode == 2) {
            setCaption("Move File to");
            Edit1->setVisible(false);
            BPPtype->setVisible(false);
            LabelName->setCaption("File: " + st.proposedName);
            LabelName->focusControl = nullptr;  // a name shown, no box beside it
            LabelName->setWidth(std::max(62, ui().textWidth(LabelName->font(), LabelName->caption()) + 4));
            Label2->setVisible(false);
            mnuListInput->setVisible(false);
            FilterComboBox1->setVisible(false);
            mnuFOpen->setCaption("Move");
            BtnOK->setCaption("Mo&ve");
        } else {
            setCaption("Convert Multiple Files");
            Edit1->setVisible(false);
            BPPtype->setVisible(true);
            BPPtype->setItemIndex(0);
            LabelName->setCaption("&Pixels:");
            LabelName->focusControl = BPPtype;
            mnuListInput->setVisible(true);
            mnuFOpen->setCaption("Convert");
            BtnOK->setCaption("Con&vert");
        }
        LabelList->setCaption("Save &in");
        XFiles->setMultiSelect(false);
        MarkDirectory->setVisible(false);
        UnmarkDirectory->setVisible(false);
        if (mode > 0) SetFileFormats();
    }

    // 4. The start folder; the fixed rows of mode 0 and the open-slideshow mode.
    ChangeDirectory(st.startFolder);
    DirectoryListBox1->update();
    if (mode == 0 || mode > 253) {
        FilterComboBox1->setItemIndex(mode == 0 && st.option != 0 ? 6 : 5);
        FilterComboBox1->setEnabled(false);
    }
    // 5. A mask no list equals, so that applying the filter always lists.
    st.mask = "\\\\\\";
    FilterComboBox1Change(FilterComboBox1);
    XFiles->setEnabled(true);
    st.open = true;
    st.building = false;
    st.lookBusy = false;
    UpdateHistory();
    // 6. The file actions are the window's.
    for (MenuItem* m : {mnuFInfo, mnuFPreview, mnuFRename, mnuFDelete, BatchConvert, InstantSlideshow})
        m->setVisible(false);
    mnuPreviewMode->setVisible(false);
    // 7. The format code of the row; the list listed and focused.
    const int row = FilterComboBox1->itemIndex();
    st.formatCode = (row >= 0 && row < 64) ? st.formatCodes[static_cast<size_t>(row)] : 0;
    XFiles->setFocus();
    UpdateFiles();
    // 8. The proposed name, the compression button and the captions.
    if (mode == 0) {
        if (!st.proposedName.empty()) Edit1->setText(st.proposedName);
    } else if (mode >= 1 && mode <= 199) {
        BtnJPEG->setVisible(mode != 2 && compressible(st.formatCode));
        Edit1Change(Edit1);
        if (!st.proposedName.empty()) Edit1->setText(st.proposedName);
    }
    // The documented set-up lets pending messages run before and after listing. It runs here
    // without: a user's input handled in the middle of the set-up was undone by the listing,
    // or ended the dialog before its set-up had, and the dialog's own loop runs the messages
    // as soon as the set-up returns.
}

// ---- captions that follow the name box -------------------------------------------------------

void TFileForm::Edit1Change(Control*) {
    ExplorerState& st = st_;
    const bool named = !Edit1->text().empty();
    if (!isSaveMode(st.mode) && st.mode != 2) {
        // The file actions of a name (hidden in the dialog modes).
        for (MenuItem* m : {mnuFInfo, mnuFPreview, mnuFRename, mnuFDelete}) m->setEnabled(named);
        return;
    }
    if (named) {
        if (!st.convert) {
            mnuFOpen->setCaption("Save");
            BtnOK->setCaption("&Save");
        } else {
            mnuFOpen->setCaption(st.mode == 2 ? "Move" : "Convert");
        }
    } else {
        mnuFOpen->setCaption("Open");
        if (!st.convert) BtnOK->setCaption("&Open");
    }
}

}  // namespace kv::explorer
