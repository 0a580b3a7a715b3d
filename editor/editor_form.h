// The slide editor window: the slide table, its information panels, the file commands and
// the two popup menus. Handlers carry the names of the controls and events they serve.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/edit_history.h"
#include "editor/editor_state.h"
#include "controls/xscroll.h"
#include "framework/controls.h"
#include "framework/paint_box.h"

namespace kv::editor {

// Name of transition effect k (0 to 29) as the slide table shows it; "" outside the table.
const std::string& effectName(int k);
// Whether a row is a video or animation slide: the upper-cased extension of its DisplayName
// occurs in ".AVI.MOV.MPG.FLI.FLC.FLX.DAT".
bool isVideoOrAnimation(const StringGrid& grid, int row);
// The colour value (RGB, red in the low byte) of colour number 0 to 15 of the colour menu.
uint32_t menuColorValue(int tag);

// Draws the catalogue's focus frame of cell (c, q) in white, the page's background.
void eraseFrame(PixelMap& view, int c, int q);

// After a write to a name from the explorer's save dialog failed: for a new name the dialog
// leaves a placeholder file (its four probe bytes) so that the long name survives a write to
// the short one; when the file still holds only that, it goes, so that a failed save leaves
// no file behind. A file that was there before, or that holds anything else, stays.
void removeUnwrittenPlaceholder(const std::string& file);

class TEditorForm : public Form {
public:
    TEditorForm();  // builds the controls and runs FormCreate
    ~TEditorForm() override;

    // ---- controls (top to bottom) ----
    Panel* Fullname;      // path panel across the top
    kv::Gauge* Gauge;       // progress of a load or save, inside Fullname
    Panel* PanelGrid;
    StringGrid* Grid;     // the slide table
    Panel* PanelThumbs;   // catalogue view, in the grid's place
    PaintBox* Image2;     // the catalogue page, drawn on its own picture
    Panel* PanelControls;  // the button band along the bottom
    Button* BtnLoad;
    Button* BtnSave;
    Button* BtnNew;
    Button* BtnTest;
    Button* BtnHelp;
    Button* BtnQuit;
    Button* BtnFileMenu;
    Button* BtnAdd;
    Button* BtnInsert;
    Button* BtnDelete;
    Button* BtnMove;
    Button* BtnFind;
    Button* BtnTag;
    Button* BtnView;
    Button* BtnInfo;
    Button* BtnRelocate;
    Button* BtnTrash;
    Panel* ColorPanel;
    Label* ColorLabel;
    Image* Thumbnail;
    Notebook* Tab;
    Panel* PageEditor;     // first page of Tab
    Panel* PageThumbs;     // second page of Tab
    Button* BtnGlobal;
    Button* BtnCD;
    Button* BtnSort;
    TXScrollbar* CatScroll;
    Button* BtnCatalog;
    Button* BtnKillCat;

    PopupMenu* mnuFile;
    MenuItem *mnuOpen, *mnuSave, *mnuNew, *mnuRun, *mnuHelp;
    PopupMenu* mnuEdit;
    MenuItem *mnuAdd, *mnuInsert, *mnuTag, *mnuCut, *mnuMove, *mnuFind, *mnuGotoSlide, *mnuTagAll,
        *mnuUnTagAll, *mnuInfo, *mnuView, *mnuRelocate, *mnuTrash, *mnuRename, *mnuSortName,
        *mnuSortDate, *mnuSortSize, *mnuContactSheet;
    MenuItem *mnuUndo, *mnuRedo;  // after a separator at the end of mnuEdit
    PopupMenu* mnuFX;
    PopupMenu* mnuColor;
    PopupMenu* mnuHPOS;
    PopupMenu* mnuVPOS;

    // ---- slide table (slide_table.cpp) ----
    void SetUpGraphic();
    void SetUpAVI();
    void SetUpMOV();
    void SetUpFLI();
    void SetUpAudio();
    void SetUpAVL();
    void ValidateGraphic(int row);
    void ValidateFLI(int row);
    void ValidateAudio(int row);
    void ValidateCD(int row);
    void ValidateAVL(int row);
    void SetUpClear();
    void CommonAction(Control* sender);
    void GetMPOS();
    void TagSlide();
    void GridClick(Control* sender);
    // ---- attribute editing (attribute_editors.cpp) ----
    void fx1Click(MenuItem* sender);   // every item of mnuFX
    void clr0Click(MenuItem* sender);  // every item of mnuColor
    void hpos0Click(MenuItem* sender); // "Left", "Mid" of mnuHPOS
    void hposXClick(MenuItem* sender); // "&User" of mnuHPOS
    void vpos0Click(MenuItem* sender); // "Top", "Mid" of mnuVPOS
    void vposXClick(MenuItem* sender); // "&User" of mnuVPOS
    // Global changes: cell := v in every row 1 to n whose cell in col is not the blank marker
    // (POS: a "Mid" centres both axes of each row it changed; FX: only rows that are not video
    // or animation slides; LOOP: only rows that are). Each returns the rows it changed.
    std::vector<int> GlobalModify(int col, const std::string& v);
    std::vector<int> GlobalModifyPOS(int col, const std::string& v);
    std::vector<int> GlobalModifyFX(int col, const std::string& v);
    std::vector<int> GlobalModifyLOOP(int col, const std::string& v);
    void SetVideoLoops();
    void SetSlideWait();
    void GammaClick();
    void SetVideoZoom();
    void SetVideoVolume();
    void SetVideoSpeed();
    void UpdateCatalogTags();  // the captions of the page shown
    void UpdatePreview();  // refreshes the catalogue view when it is shown

    // ---- script file (script_file.cpp) ----
    void SaveFile(bool temporary);
    void LoadFile(bool atActivation);

    // ---- window lifecycle (editor_window.cpp) ----
    void FormCreate(Control* sender);
    void FormActivate(Control* sender);
    // The first activation's layout (screen height, whole catalogue rows, column widths, the
    // system text colour). It is done once; the editor does it before the window shows, so
    // that the windows are made at their places and paint once, at their final size.
    void LayoutForScreen();
    void FormCloseQuery(Control* sender, bool& canClose);
    void FormClose(Control* sender);
    void FormKeyDown(Control* sender, int& key, unsigned shift);
    void GridKeyDown(Control* sender, int& key, unsigned shift);
    void GridKeyPress(Control* sender, char& key);
    void GridMouseUp(Control* sender, MouseButton button, unsigned shift, int x, int y);
    void BtnNewClick(Control* sender);
    void BtnLoadClick(Control* sender);
    void BtnSaveClick(Control* sender);
    void BtnTestClick(Control* sender);
    void BtnHelpClick(Control* sender);
    void BtnFileMenuClick(Control* sender);
    void TabClick(Control* sender);
    // ---- catalogue view (catalog_view.cpp, catalog_commands.cpp) ----
    std::unique_ptr<Timer> Timer1;  // auto-scroll while a drag is held beside the view
    void UpdateCatalogView(int first);
    void UpdateCatalogTags(int first);
    void FocusPreview(int c, int q);
    void Image2MouseDown(Control* sender, MouseButton button, unsigned shift, int x, int y);
    void Image2MouseMove(Control* sender, MouseButton button, unsigned shift, int x, int y);
    void Image2MouseUp(Control* sender, MouseButton button, unsigned shift, int x, int y);
    void EndCatalogDrag();
    void Timer1Timer(Timer* sender);
    void CatScrollMouseDown(Control* sender, MouseButton button, unsigned shift, int x, int y);
    void BtnCatalogClick(Control* sender);
    void BtnKillCatClick(Control* sender);
    void mnuContactSheetClick(Control* sender);
    // The thumbnail file of a slide; empty for a slide that has no index ("-" or none yet).
    std::string ThumbnailFile(int row) const;

    // ---- moving slide rows (slide_rows.cpp) ----
    void GridInsert(int at, int count);
    void GridxMove();
    void CopySlideRow(int from, int to);
    void SwapSlideRows(int a, int b);
    void RenumberSlides();
    // Removes slide r from the table, as the erase does once its questions are answered.
    void RemoveSlideRow(int r);

    // ---- slide list operations (slide_list.cpp, slide_sort.cpp) ----
    // Add (BtnAdd, mnuAdd) appends the files chosen in the explorer; BtnInsert inserts them
    // before the current slide.
    void BtnAddClick(Control* sender);
    void BtnCDClick(Control* sender);
    // Sender BtnDelete (also for mnuCut) checks tags and asks about the thumbnail; BtnTrash
    // deletes the thumbnail without asking; any other sender (the move) keeps it.
    void BtnDeleteClick(Control* sender);
    void MultiErase();
    void BtnMoveClick(Control* sender);
    void BtnFindClick(Control* sender);
    void mnuGotoSlideClick(Control* sender);
    void GridRowMoved(Control* sender, int from, int to);
    void CheckTags();
    // Sender mnuSortName, mnuSortDate or mnuSortSize (as menu items are not controls, the
    // wiring passes which one).
    void SortByAny(const MenuItem* sender);

    // ---- tags (tags.cpp) ----
    // Sender mnuTagAll tags every picture slide; mnuUnTagAll (or any other) clears every tag.
    void mnuTagAllClick(const MenuItem* sender);
    void BtnViewClick(Control* sender);
    void SaveTagList();
    void SetSaveAs(const std::string& text);  // SaveAs in the settings file
    // ---- the slide's file (slide_files.cpp) ----
    void BtnInfoClick(Control* sender);
    void mnuRenameClick(Control* sender);
    void mnuRelocateClick(Control* sender);
    void MoveTaggedFiles();
    void BtnTrashClick(Control* sender);

    // ---- the slide menu (edit_menu.cpp) ----
    void BtnSortClick(Control* sender);
    void mnuEditPopup(Control* sender);
    // Undo (Ctrl+Z) and redo (Ctrl+Y, Ctrl+Shift+Z) of the last step that changed the table.
    void mnuUndoClick(Control* sender);
    void mnuRedoClick(Control* sender);
    // Every change of the slide table, step by step (edit_history.h).
    std::unique_ptr<EditHistory> history;
    void EnableControls();
    void DisableControls();

    // Sets the caption "<prefix> [title]".
    void setTitle(const std::string& title);

    // The colour dialog's settings: opens with its custom-colour part expanded and starts
    // from the colour it returned last.
    struct ColorDialogSettings {
        bool fullOpen = false;
        uint32_t color = 0;
    } ColorDialog1;

    // Window height with the frame; lays the bands out again (Fullname and PanelControls
    // keep their heights, PanelGrid takes the rest).
    void setWindowHeight(int height);
    // Height the frame (caption and borders) adds to the client area.
    static int frameHeight();
    static int frameWidth();

private:
    void buildControls();  // editor_layout.cpp: controls, captions, hints, sizes
    void buildCatalog();   // catalog_view.cpp: the view's font, timer and events
    void wireSlideList();  // slide_list.cpp: the list operations' buttons and menu items
    void wireTags();       // tags.cpp
    void wireSlideFiles(); // slide_files.cpp
    bool activatedOnce_ = false;
    bool laidOutForScreen_ = false;
};

}  // namespace kv::editor
