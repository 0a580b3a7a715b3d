// The explorer form's controls and its window and dialog handlers: creation, the dialog set-up of each
// mode, the captions that follow the name box, the OK action, storing the chosen file, the
// layout, "Reset window", help, "Goodies", the keyboard, closing and the window hook.
//
// Design size 413 x 310: a top panel with the drive/folder box and four picture buttons, the
// file list, and a bottom panel with the name box, the filter box and the two buttons:
//
//   Look in: [ drive / folder box          ] [up][menu][help][jpeg]
//   +---------------------------------------------------------------+
//   | file list (columns)                                           |
//   +---------------------------------------------------------------+
//   File name: [ name box                  ]     [ Open  ]
//   File type: [ filter box                ]     [ Close ]
#include "explorer/file_form.h"

#include <algorithm>
#include <initializer_list>

#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

namespace {

constexpr int kTopHeight = 32;
constexpr int kBottomHeight = 60;
constexpr int kLabelLeft = 6;
constexpr int kBoxLeft = 74;
constexpr int kGlyphButton = 26;
constexpr int kButtonWidth = 75;
constexpr int kRowHeight = 23;
constexpr const char* kHelpFile = "KAVRIN.HLP";

Button* glyphButton(Control* parent, const char* name, const char* hint, const char* glyph) {
    Button* b = make<Button>(parent, name);
    b->setHint(hint);
    b->glyph = glyph;
    b->setBounds(0, 4, kGlyphButton, 24);
    return b;
}

IniFile settings() { return IniFile(SettingsFileName); }

// What a placeholder or a probe file holds.
const std::string kPlaceholderBytes("\0\0\1\0", 4);

// Writes a probe file of the explorer's own in `folder` (ending in a backslash): a new name
// each time, made exclusively, so that a file of the user's that happens to have the name is
// never replaced or deleted. Its path, or empty when the folder refuses new files.
std::string writeProbe(FileSystemPort& fs, const std::string& folder) {
    static uint32_t counter = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string probe = folder + "~kvp" + hexText(++counter) + ".tmp";
        if (fs.createNewFile(probe, kPlaceholderBytes)) return probe;
        if (!fs.exists(probe)) return {};  // refused, not taken
    }
    return {};
}

}  // namespace

TFileForm::TFileForm(ExplorerState& st) : Form("FileForm"), st_(st) {
    buildControls();
    FormCreate(this);
}

TFileForm::~TFileForm() = default;

void TFileForm::buildControls() {
    borderStyle = BorderStyle::Sizeable;
    keyPreview = true;
    setCaption("Kavrin Explorer");
    helpFile = kHelpFile;
    setBounds(333, 231, 413, 310);
    setClientSize(405, 283);

    // ---- top panel ----
    PanelTop = make<Panel>(this, "PanelTop");
    PanelTop->bevel = 0;
    LabelList = make<Label>(PanelTop, "LabelList");
    LabelList->showAccelChar = true;
    LabelList->setCaption("Look &in:");
    LabelList->setBounds(kLabelLeft, 9, 64, 16);
    LookBox = make<PictureComboBox>(PanelTop, "LookBox");
    LookBox->setBounds(kBoxLeft, 5, 220, 22);
    LookBox->dropDownCount = 12;
    BtnUp = glyphButton(PanelTop, "BtnUp", "Up One Level", "up");
    BtnMenu = glyphButton(PanelTop, "BtnMenu", "Goodies", "goodies");
    BtnHelp = glyphButton(PanelTop, "BtnHelp", "Help", "help");
    BtnJPEG = glyphButton(PanelTop, "BtnJPEG", "JPEG Compression", "jpeg");
    BtnJPEG->setVisible(false);

    // ---- the file list and, over it, the input-file view ----
    PanelList = make<Panel>(this, "PanelList");
    PanelList->bevel = 0;
    XFiles = make<ListBox>(PanelList, "XFiles");
    XFiles->pictures = {"file", "folder"};
    XFiles->sorted = true;
    XFiles->setMultiSelect(true);
    XFiles->setColumns(2);
    XFiles->setEnabled(false);
    InputList = make<ListBox>(PanelList, "InputList");
    InputList->setHint("Right-click or press Esc to go back");
    InputList->setColumns(4);
    InputList->setVisible(false);

    // ---- bottom panel ----
    PanelBottom = make<Panel>(this, "PanelBottom");
    PanelBottom->bevel = 0;
    LabelName = make<Label>(PanelBottom, "LabelName");
    LabelName->showAccelChar = true;
    LabelName->setCaption("File &name:");
    LabelName->setBounds(kLabelLeft, 8, 64, 16);
    Edit1 = make<Edit>(PanelBottom, "Edit1");
    Edit1->setBounds(kBoxLeft, 4, 220, 22);
    Edit1->setReadOnly(true);
    Edit1->setColor(SysColor(syscolor::BtnFace));
    Label2 = make<Label>(PanelBottom, "Label2");
    Label2->showAccelChar = true;
    Label2->setCaption("File &type:");
    Label2->setBounds(kLabelLeft, 8 + kRowHeight + 4, 64, 16);
    FilterComboBox1 = make<ComboBox>(PanelBottom, "FilterComboBox1");
    FilterComboBox1->setBounds(kBoxLeft, 4 + kRowHeight + 4, 220, 22);
    FilterComboBox1->dropDownCount = 14;
    {
        std::vector<std::string> rows;
        for (const FilterRow& r : browseFilters()) rows.push_back(r.text);
        FilterComboBox1->setItems(rows);
    }
    BPPtype = make<ComboBox>(PanelBottom, "BPPtype");
    BPPtype->setBounds(kBoxLeft, 4, 220, 22);
    {
        std::vector<std::string> rows;
        for (const DepthRow& r : depthRows()) rows.push_back(r.text);
        BPPtype->setItems(rows);
    }
    BPPtype->setVisible(false);
    BtnOK = make<Button>(PanelBottom, "BtnOK");
    BtnOK->setCaption("&Open");
    BtnOK->setBounds(300, 4, kButtonWidth, kRowHeight);
    BtnExit = make<Button>(PanelBottom, "BtnExit");
    BtnExit->setCaption("Close");
    BtnExit->setBounds(300, 4 + kRowHeight + 4, kButtonWidth, kRowHeight);
    // Alt and a label's letter go to the box beside it.
    LabelList->focusControl = LookBox;
    LabelName->focusControl = Edit1;
    Label2->focusControl = FilterComboBox1;

    DirectoryListBox1 = make<DirectoryListBox>(this, "DirectoryListBox1");
    DriveBox = make<DriveComboBox>(this, "DriveBox");

    // ---- menus ----
    FileMenu = addMenu("FileMenu");
    mnuFLevel = FileMenu->add("mnuFLevel", "Up One &Level");
    mnuFSep = FileMenu->add("mnuFSep", "-");
    mnuFOpen = FileMenu->add("mnuFOpen", "&Open");
    mnuFInfo = FileMenu->add("mnuFInfo", "&Info");
    mnuFPreview = FileMenu->add("mnuFPreview", "&Preview");
    mnuFRename = FileMenu->add("mnuFRename", "Renam&e");
    mnuFDelete = FileMenu->add("mnuFDelete", "&Delete");
    mnuRefresh = FileMenu->add("mnuRefresh", "Refres&h");
    MarkDirectory = FileMenu->add("MarkDirectory", "&Mark all files");
    UnmarkDirectory = FileMenu->add("UnmarkDirectory", "&Unmark all files");
    BatchConvert = FileMenu->add("BatchConvert", "&Convert file(s)");
    InstantSlideshow = FileMenu->add("InstantSlideshow", "Instant &slideshow");
    mnuListInput = FileMenu->add("mnuListInput", "&View input files");
    mnuListInput->setVisible(false);
    // Enabled while the name box holds a name (Edit1Change).
    for (MenuItem* m : {mnuFInfo, mnuFPreview, mnuFRename, mnuFDelete}) m->setEnabled(false);

    MainMenu = addMenu("MainMenu");
    mnuFileActions = MainMenu->add("mnuFileActions", "File &actions");
    mnuOptimizeWin = MainMenu->add("mnuOptimizeWin", "&Optimize files list");
    mnuMaximizeWin = MainMenu->add("mnuMaximizeWin", "Maximi&ze files list");
    mnuFont = MainMenu->add("mnuFont", "Change &font");
    mnuReset = MainMenu->add("mnuReset", "&Reset window");
    mnuLowercase = MainMenu->add("mnuLowercase", "&Lowercase");
    mnuLowercase->setChecked(true);
    mnuFoldersAfter = MainMenu->add("mnuFoldersAfter", "Folders &after files");
    mnuSingleColumn = MainMenu->add("mnuSingleColumn", "Singl&e column");
    mnuPreviewMode = MainMenu->add("mnuPreviewMode", "&Preview mode");

    RxWindowHook1 = std::make_unique<WindowHook>(this);

    // ---- events ----
    onActivate = [this](Control* s) { FormActivate(s); };
    onClose = [this](Control* s) { FormClose(s); };
    onResize = [this](Control* s) { FormResize(s); };
    onKeyDown = [this](Control* s, int& k, unsigned sh) { FormKeyDown(s, k, sh); };
    Edit1->onChange = [this](Control* s) { Edit1Change(s); };
    BtnOK->onClick = [this](Control*) { BtnOKClick(true); };
    BtnExit->onClick = [this](Control* s) { BtnExitClick(s); };
    BtnHelp->onClick = [this](Control* s) { BtnHelpClick(s); };
    BtnMenu->onClick = [this](Control* s) { BtnMenuClick(s); };
    BtnUp->onClick = [this](Control* s) { BtnUpClick(s); };
    BtnJPEG->onClick = [this](Control* s) { BtnJPEGClick(s); };
    LookBox->onChange = [this](Control* s) { LookBoxChange(s); };
    LookBox->onClick = [this](Control* s) { LookBoxClick(s); };
    FilterComboBox1->onChange = [this](Control* s) { FilterComboBox1Change(s); };
    BPPtype->onChange = [this](Control* s) { BPPtypeChange(s); };
    DirectoryListBox1->onChange = [this](Control* s) { DirectoryListBox1Change(s); };
    XFiles->onClick = [this](Control* s) { XFilesClick(s); };
    XFiles->onDblClick = [this](Control* s) { XFilesDblClick(s); };
    XFiles->onMouseUp = [this](Control*, MouseButton b, unsigned, int, int) {
        if (b != MouseButton::Right) return;
        int x = 0, y = 0;
        ports().user->cursorPos(x, y);
        FileMenu->popup(x, y);
    };
    InputList->onMouseUp = [this](Control*, MouseButton b, unsigned, int, int) {
        if (b == MouseButton::Right) HideInputView();
    };
    PanelList->onMouseUp = [this](Control*, MouseButton b, unsigned, int, int) {
        if (b != MouseButton::Right) return;
        int x = 0, y = 0;
        ports().user->cursorPos(x, y);
        MainMenu->popup(x, y);
    };
    PanelTop->onMouseUp = PanelList->onMouseUp;
    PanelBottom->onMouseUp = PanelList->onMouseUp;
    RxWindowHook1->onBeforeMessage = [this](uint32_t m, uintptr_t w) { RxWindowHook1BeforeMessage(m, w); };

    mnuFLevel->onClick = [this](Control* s) { BtnUpClick(s); };
    mnuFOpen->onClick = [this](Control*) { BtnOKClick(false); };
    mnuRefresh->onClick = [this](Control* s) { mnuRefreshClick(s); };
    mnuFInfo->onClick = [this](Control* s) { mnuFInfoClick(s); };
    mnuFPreview->onClick = [this](Control* s) { mnuFPreviewClick(s); };
    mnuFRename->onClick = [this](Control* s) { mnuFRenameClick(s); };
    mnuFDelete->onClick = [this](Control* s) { mnuFDeleteClick(s); };
    MarkDirectory->onClick = [this](Control* s) { MarkDirectoryClick(s); };
    UnmarkDirectory->onClick = [this](Control* s) { UnmarkDirectoryClick(s); };
    BatchConvert->onClick = [this](Control* s) { BatchConvertClick(s); };
    InstantSlideshow->onClick = [this](Control* s) { InstantSlideshowClick(s); };
    mnuListInput->onClick = [this](Control* s) { mnuListInputClick(s); };
    mnuFileActions->onClick = [this](Control* s) { mnuFileActionsClick(s); };
    mnuOptimizeWin->onClick = [this](Control*) { mnuOptimizeWinClick(false); };
    mnuMaximizeWin->onClick = [this](Control*) { mnuOptimizeWinClick(true); };
    mnuFont->onClick = [this](Control* s) { mnuFontClick(s); };
    mnuReset->onClick = [this](Control* s) { mnuResetClick(s); };
    mnuLowercase->onClick = [this](Control* s) { mnuLowercaseClick(s); };
    mnuFoldersAfter->onClick = [this](Control* s) { mnuFoldersAfterClick(s); };
    mnuSingleColumn->onClick = [this](Control* s) { mnuSingleColumnClick(s); };
    mnuPreviewMode->onClick = [this](Control* s) { mnuPreviewModeClick(s); };

    LayoutPanels();
}

// ---- creation ----------------------------------------------------------------------------

void TFileForm::FormCreate(Control*) {
    ExplorerState& st = st_;
    // 1, 2. The glyphs are the list's pictures; the hidden drive box on c, the folder list
    // and the file list on c:\.
    DriveBox->refresh();
    DriveBox->setDrive('c');
    // 3. The list file and the start folder.
    IniFile ini = settings();
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

// ---- the OK action ---------------------------------------------------------------------------

void TFileForm::BtnOKClick(bool fromButton) {
    ExplorerState& st = st_;
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    const std::string D = AddTrailingBackslash(currentFolder());
    std::string N = Edit1->text();

    // The folder rule: open a selected folder; a selected file (in a dialog) refuses.
    auto folderRule = [&] {
        const int i = XFiles->itemIndex();
        if (XFiles->count() == 0 || XFiles->selCount() == 0 || i < 0) return;
        const std::string& entry = XFiles->item(i);
        if (isFolderEntry(entry) && XFiles->selected(i)) ChangeDirectory(D + entry);
    };
    auto accept = [&] { setModalResult(ModalResult::OK); };

    if (!st.dialog) {
        // The window: folders open; one file opens through 0x909, several through the list.
        const int i = XFiles->itemIndex();
        if (XFiles->count() == 0 || XFiles->selCount() == 0) return;
        if (i >= 0 && XFiles->selected(i) && isFolderEntry(XFiles->item(i))) {
            ChangeDirectory(D + XFiles->item(i));
            return;
        }
        if (XFiles->selCount() == 1 && !N.empty()) {
            if (StoreChosenFile()) ports().host->send(st.hostWindow, MsgExplorer, 0, NotifyOpenOne);
            return;
        }
        if (ListMultipleFiles() > 0) ports().host->send(st.hostWindow, MsgExplorer, 0, NotifyOpenList);
        else user.messageDialog("No file(s) selected!", DialogKind::Warning, kv::BtnOK);
        return;
    }

    const int32_t mode = st.mode;
    if (isSaveMode(mode)) {
        if (st.convert && XFiles->count() == 0) N = "~";
        if (N.empty() && !(fromButton && st.convert)) {
            folderRule();
            return;
        }
        if (st.convert) N = D + "~(_)(_)~";
        N = CheckExtension(N, FilterComboBox1->text());
        if (N.empty()) return;
        Edit1->setText(N);
        if (ValidateFileName(N) == 0) return;
        const std::string F = fileOf(N);
        if (fs.exists(F) &&
            user.messageDialog(N + "\n" + "in use.  Overwrite?", DialogKind::Confirmation, BtnYes | BtnNo) !=
                ModalResult::Yes)
            return;
        if (StoreChosenFile()) accept();
        return;
    }
    if (mode == 2) {
        if (N.empty() && !fromButton) {
            folderRule();
            return;
        }
        settings().writeString(SettingsSection, "Savename", D + GetLongFileName(st.proposedName));
        accept();
        return;
    }
    if (mode == 253) {
        if (ListMultipleFiles() > 0) {
            accept();
            return;
        }
        folderRule();
        return;
    }
    // 252, 254.
    if (N.empty()) {
        folderRule();
        return;
    }
    if (mode == 254) {
        N = CheckExtension(N, FilterComboBox1->text());
        if (N.empty()) return;
        Edit1->setText(N);
    }
    if (ValidateFileName(N) == 0) return;
    const std::string F = fileOf(N);
    if (fs.exists(F) && !fs.isDirectory(F)) {
        if (StoreChosenFile()) accept();
        return;
    }
    user.messageDialog("File not found.", DialogKind::Error, kv::BtnOK);
}

// ---- storing the chosen file -------------------------------------------------------------------

bool TFileForm::StoreChosenFile() {
    ExplorerState& st = st_;
    FileSystemPort& fs = *ports().fs;
    const std::string N = Edit1->text();
    const std::string F = fileOf(N);
    const bool saving = st.dialog && st.mode <= 200;
    IniFile ini = settings();
    // Sound over the documented behaviour. The documented check writes a placeholder over
    // the chosen name and deletes it: an existing file the user agreed to overwrite was gone
    // before the host had written anything (a host whose save then failed lost it), and a new
    // long name was gone with its short alias, so a host (or the editor) writing to the short
    // name in `Savename` made a file of that 8.3 name instead. Here:
    // - an existing file is checked by a probe written and deleted beside it (under a new
    //   name of its own, see writeProbe): the file stays until the host replaces it;
    // - a new name keeps its placeholder, so that writing to its short name replaces the
    //   placeholder under the long name the user typed;
    // - the convert dialog's "~(_)(_)~" stands for no file of its own: its placeholder goes.
    // After OK the name is writable in every case.
    if (saving) {
        const bool existed = fs.exists(F);
        const std::string probe = existed ? writeProbe(fs, folderPart(F)) : F;
        if (probe.empty() || (!existed && !fs.writeFileAtomic(probe, kPlaceholderBytes))) {
            ports().user->messageDialog("Access denied.", DialogKind::Error, kv::BtnOK);
            return false;
        }
        ini.writeString(SettingsSection, "LongName", namePart(F));
        const std::string S = GetShortPath(F);
        ini.writeString(SettingsSection, "Savename", S);
        if (existed || st.convert) {
            if (!fs.deleteFile(existed ? probe : S)) {
                ports().user->messageDialog("Access denied.", DialogKind::Error, kv::BtnOK);
                return false;
            }
        }
        return true;
    }
    ini.writeString(SettingsSection, "LongName", namePart(F));
    ini.writeString(SettingsSection, st.dialog ? "Savename" : "Win95file", GetShortPath(F));
    return true;
}

// ---- layout --------------------------------------------------------------------------------

void TFileForm::LayoutPanels() {
    const int w = clientWidth(), h = clientHeight();
    PanelTop->setBounds(0, 0, w, kTopHeight);
    const int listH = std::max(0, h - kTopHeight - kBottomHeight);
    // The input-file view takes the whole window while the panels are hidden.
    if (inputViewShown()) PanelList->setBounds(0, 0, w, h);
    else PanelList->setBounds(0, kTopHeight, w, listH);
    XFiles->setBounds(2, 0, std::max(0, w - 4), listH);
    InputList->setBounds(2, 2, std::max(0, w - 4), std::max(0, PanelList->height() - 4));
    InputList->setColumnWidth(std::max(16, (InputList->width() - 4) / 4));
    PanelBottom->setBounds(0, kTopHeight + listH, w, kBottomHeight);
}

void TFileForm::FormResize(Control*) {
    ExplorerState& st = st_;
    LayoutPanels();
    const int W = std::max(40, PanelBottom->width() - (LabelName->width() + BtnUp->width() + BtnOK->width() + 24));
    Control* nameBox = st.convert && st.mode != 2 ? static_cast<Control*>(BPPtype) : static_cast<Control*>(Edit1);
    nameBox->setWidth(W);
    if (nameBox != Edit1) Edit1->setWidth(W);
    FilterComboBox1->setWidth(W);
    LookBox->setWidth(W);
    int left = Edit1->left() + W + 8;
    BtnOK->setLeft(left);
    BtnExit->setLeft(left);
    BtnUp->setLeft(left);
    BtnMenu->setLeft(BtnUp->left() + BtnUp->width() + 2);
    BtnHelp->setLeft(BtnMenu->left() + BtnUp->width() + 2);
    BtnJPEG->setLeft(BtnHelp->left() + BtnUp->width() + 2);
    left += (PanelBottom->width() - BtnOK->left() - BtnOK->width()) / 2;
    BtnOK->setLeft(left);
    BtnExit->setLeft(left);
    if (!st.building) CalcStringWidth();
}

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
    ports().system->help(kHelpFile, st.dialog && isSaveMode(st.mode) ? 101 : 100);
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
    IniFile ini = settings();
    if (!st.dialog) {
        ini.writeInteger(SettingsSection, "bWinT", top());
        ini.writeInteger(SettingsSection, "bWinL", left());
        ini.writeInteger(SettingsSection, "bWinW", width());
        ini.writeInteger(SettingsSection, "bWinH", height());
    }
    ini.writeString(SettingsSection, "LastDir", AddTrailingBackslash(GetShortPath(currentFolder())));
}

bool TFileForm::RestoreRectangle() {
    IniFile ini = settings();
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
