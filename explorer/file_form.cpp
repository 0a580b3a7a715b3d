// The explorer form's controls: building them with their captions, hints and events, and
// laying them out for the window's size.
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

Button* glyphButton(Control* parent, const char* name, const char* hint, const char* glyph) {
    Button* b = make<Button>(parent, name);
    b->setHint(hint);
    b->glyph = glyph;
    b->setBounds(0, 4, kGlyphButton, 24);
    return b;
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
    helpFile = "KAVRIN.HLP";
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

}  // namespace kv::explorer
