// The explorer form, TFileForm: the modeless file browser window (RemoteWin95) and the modal
// open/save/convert dialog (RemoteDlg95). Handlers carry the names of the controls and events
// they serve. The controls and their layout are built in file_form.cpp; the creation and the
// set-up of each mode in modes.cpp; the OK action and storing the chosen file in
// ok_action.cpp; the window's size, menus, keys and closing in window.cpp; the listing,
// filters, drive/folder box, columns and view options in listing.cpp; the file menu's actions
// and the selection list file in file_actions.cpp; the save options in save_options.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "explorer/explorer_state.h"
#include "framework/controls.h"
#include "framework/lists.h"

namespace kv::explorer {

class TFileForm : public Form {
public:
    // Builds the controls and runs FormCreate. `st` is the state of the instance the form
    // serves (the modeless window's, or a dialog's own); it outlives the form.
    explicit TFileForm(ExplorerState& st);
    ~TFileForm() override;

    // The state of the instance this form serves.
    ExplorerState& explorerState() const { return st_; }

    // ---- controls ----
    Panel* PanelTop;
    Label* LabelList;
    PictureComboBox* LookBox;
    Button* BtnUp;
    Button* BtnMenu;
    Button* BtnHelp;
    Button* BtnJPEG;
    Panel* PanelList;
    ListBox* XFiles;
    ListBox* InputList;
    Panel* PanelBottom;
    Label* LabelName;
    Edit* Edit1;
    Label* Label2;
    ComboBox* FilterComboBox1;
    ComboBox* BPPtype;
    Button* BtnOK;
    Button* BtnExit;
    DirectoryListBox* DirectoryListBox1;
    DriveComboBox* DriveBox;

    PopupMenu* FileMenu;
    MenuItem *mnuFLevel, *mnuFSep, *mnuFOpen, *mnuFInfo, *mnuFPreview, *mnuFRename, *mnuFDelete, *mnuRefresh,
        *MarkDirectory, *UnmarkDirectory, *BatchConvert, *InstantSlideshow, *mnuListInput;
    PopupMenu* MainMenu;
    MenuItem *mnuFileActions, *mnuOptimizeWin, *mnuMaximizeWin, *mnuFont, *mnuReset, *mnuLowercase,
        *mnuFoldersAfter, *mnuSingleColumn, *mnuPreviewMode;
    std::unique_ptr<WindowHook> RxWindowHook1;

    // The pictures of list entries (indexes into XFiles->pictures).
    static constexpr int FileGlyph = 0, FolderGlyph = 1;

    // ---- creation and modes (modes.cpp), OK action (ok_action.cpp), window and keys
    // (window.cpp), layout (file_form.cpp) ----
    void FormCreate(Control* sender);
    void FormActivate(Control* sender);
    void FormClose(Control* sender);
    void FormResize(Control* sender);
    void FormKeyDown(Control* sender, int& key, unsigned shift);
    void Edit1Change(Control* sender);
    // The OK action; `fromButton` when BtnOK ran it.
    void BtnOKClick(bool fromButton);
    void BtnExitClick(Control* sender);
    void BtnHelpClick(Control* sender);
    void BtnMenuClick(Control* sender);
    void mnuFileActionsClick(Control* sender);
    void mnuResetClick(Control* sender);
    void RxWindowHook1BeforeMessage(uint32_t msg, uintptr_t wparam);
    // Writes the chosen file's names; false (the user was told) when the name is refused.
    bool StoreChosenFile();
    // Writes the rectangle (window only) and LastDir.
    void SaveWindowState();
    // Restores bWinT/L/W/H when they fit the screen; true when it did.
    bool RestoreRectangle();
    // Records the font and size that "Reset window" goes back to.
    void RecordDefaults();
    // Sets the default font (size 10 where the menu bar is tall), records it and the default
    // size as what "Reset window" goes back to, then sizes the window to that size, centred.
    void SetDefaultFontAndSize();
    // Window rectangle with the frame; the client area follows.
    void placeOuter(int left, int top, int width, int height);
    bool inputViewShown() const { return InputList->visible(); }
    void HideInputView();

    // ---- listing and filters (listing.cpp) ----
    void UpdateFiles();
    void InitFocus();
    void FilterComboBox1Change(Control* sender);
    void SetFileFormats();
    void UpdateHistory();
    void LookBoxChange(Control* sender);
    void LookBoxClick(Control* sender);
    void BtnUpClick(Control* sender);
    void DirectoryListBox1Change(Control* sender);
    void CalcStringWidth();
    void XFilesClick(Control* sender);
    void XFilesDblClick(Control* sender);
    void mnuOptimizeWinClick(bool maximize);
    void mnuSingleColumnClick(Control* sender);
    void mnuFontClick(Control* sender);
    void mnuLowercaseClick(Control* sender);
    void mnuFoldersAfterClick(Control* sender);
    void mnuPreviewModeClick(Control* sender);
    void mnuRefreshClick(Control* sender);
    // Changes to a folder (the folder list, the process's current directory, the listing).
    void ChangeDirectory(const std::string& path);
    // The current folder (the folder list's).
    const std::string& currentFolder() const { return DirectoryListBox1->directory(); }
    // The file a typed name stands for: the name itself when it holds both a colon and a
    // backslash (a full path), else the name in the current folder.
    std::string fileOf(const std::string& name) const;
    // Folders are list entries whose text holds a backslash.
    static bool isFolderEntry(const std::string& text);
    // Lays the panels and the bottom row out for the window's client size.
    void LayoutPanels();

    // ---- file actions (file_actions.cpp) ----
    void mnuFInfoClick(Control* sender);
    void mnuFPreviewClick(Control* sender);
    void mnuFRenameClick(Control* sender);
    void mnuFDeleteClick(Control* sender);
    void MarkDirectoryClick(Control* sender);
    void UnmarkDirectoryClick(Control* sender);
    void BatchConvertClick(Control* sender);
    void InstantSlideshowClick(Control* sender);
    void mnuListInputClick(Control* sender);
    // Deselects every folder entry.
    void ValidateSelection();
    // Writes the selection list file; the number of files written (0: nothing written).
    int ListMultipleFiles();
    void ShowInputView();
    void SwitchInputView(bool shown);
    // The short names (without folder) of the selected files in list order, after
    // ValidateSelection.
    std::vector<std::string> SelectedShortNames();
    // The current folder's short path with a trailing backslash ("Name" of the selection list).
    std::string shortFolder();

    // ---- save options (save_options.cpp) ----
    void ReadRememberedRow();
    void BPPtypeChange(Control* sender);
    void BtnJPEGClick(Control* sender);
    void WriteSaveOptions();
    void UpdateJpegButton();

    // The 8.3 name of each file of the last listing (the name itself when it is its own 8.3
    // name), by its text in the list: the selection list names thousands of files without a
    // look-up of each in a folder that holds thousands.
    std::unordered_map<std::string, std::string> listedShortNames;

private:
    ExplorerState& st_;
    void buildControls();
    // Stores the name box's file and sends the host `code`; a name box that names no
    // existing file is "No file(s) selected!".
    void NotifyChosenFile(intptr_t code);
    bool activatedOnce_ = false;
};

}  // namespace kv::explorer
