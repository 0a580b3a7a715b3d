// The slide editor window: the slide table, its information panels, the file commands and
// the two popup menus. Handlers carry the names of the controls and events they serve.
#pragma once
#include <string>

#include "editor/editor_state.h"
#include "framework/controls.h"

namespace kv::editor {

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
    Image* Image2;
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
    ScrollBar* CatScroll;
    Button* BtnCatalog;
    Button* BtnKillCat;

    PopupMenu* mnuFile;
    MenuItem *mnuOpen, *mnuSave, *mnuNew, *mnuRun, *mnuHelp;
    PopupMenu* mnuEdit;
    MenuItem *mnuAdd, *mnuInsert, *mnuTag, *mnuCut, *mnuMove, *mnuFind, *mnuGotoSlide, *mnuTagAll,
        *mnuUnTagAll, *mnuInfo, *mnuView, *mnuRelocate, *mnuTrash, *mnuRename, *mnuSortName,
        *mnuSortDate, *mnuSortSize, *mnuContactSheet;
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
    // Attribute editors that CommonAction dispatches to; each is filled in with its window.
    void SetVideoLoops();
    void SetSlideWait();
    void GammaClick();
    void SetVideoZoom();
    void SetVideoVolume();
    void SetVideoSpeed();
    void UpdateCatalogTags();

    // ---- script file (script_file.cpp) ----
    void SaveFile(bool temporary);
    void LoadFile(bool atActivation);

    // ---- window lifecycle (editor_window.cpp) ----
    void FormCreate(Control* sender);
    void FormActivate(Control* sender);
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
    void EnableControls();
    void DisableControls();

    // Sets the caption "<prefix> [title]".
    void setTitle(const std::string& title);

private:
    void buildControls();  // editor_layout.cpp: controls, captions, hints, sizes
};

}  // namespace kv::editor
