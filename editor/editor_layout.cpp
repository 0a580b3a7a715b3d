// The slide editor's controls: every control with its caption, hint, starting state, size
// and place, the popup menus, and the wiring of events to the form's handlers.
//
// Design size: client area 607 x 455: the path panel (24 high) across the top, the slide
// table below it, and the button band (94 high) along the bottom:
//
//   +-------+ +----------+ +----+----+----+----+----+----+ +-------------------------+
//   |colour | | AVL File | |open|save|new |run |help|quit| | Editor  | Thumbnails    |
//   |panel  | +----------+-+---------+----+----+----+----+ |                         |
//   | with  | |   Add    | | Insert  |del |move|find|      |  Global   C&D   Tools   |
//   |thumb- | +----------+ +---------+----+----+----+      |                         |
//   | nail  | |   Tag    | |  View   |info|relo|trsh|      |                         |
//   +-------+ +----------+ +---------+----+----+----+      +-------------------------+
#include <algorithm>

#include "editor/editor_form.h"
#include "framework/platform.h"

namespace kv::editor {

namespace {

constexpr int kClientWidth = 607;
constexpr int kFullnameHeight = 24;
constexpr int kBandHeight = 94;
constexpr int kDesignGridHeight = 337;  // (337 - 2) div 80 = 4 catalogue rows at design size

// Button band geometry: three rows of buttons between the colour panel and the notebook.
constexpr int kRowTop[3] = {5, 34, 63};
constexpr int kRowHeight = 27;
constexpr int kColA = 80;      // wide caption buttons
constexpr int kColAWidth = 76;
constexpr int kColB = 157;     // second caption column (spans two picture columns)
constexpr int kColBWidth = 73;
constexpr int kGlyphWidth = 36;  // picture buttons, one pixel apart
constexpr int glyphCol(int i) { return kColB + i * (kGlyphWidth + 1); }

Button* button(Control* parent, const char* name, const std::string& caption, const std::string& hint,
               bool enabled, int left, int top, int width, int height, const char* glyph = "") {
    Button* b = make<Button>(parent, name);
    b->setBounds(left, top, width, height);
    b->setCaption(caption);
    b->setHint(hint);
    b->setEnabled(enabled);
    b->glyph = glyph;
    return b;
}

MenuItem* item(PopupMenu* m, const char* name, const char* caption, bool enabled = true,
               const char* shortcut = "") {
    MenuItem* i = m->add(name, caption, shortcut);
    i->setEnabled(enabled);
    return i;
}

}  // namespace

int TEditorForm::frameHeight() { return frameOverhead(BorderStyle::Dialog).height; }

int TEditorForm::frameWidth() { return frameOverhead(BorderStyle::Dialog).width; }

void TEditorForm::setWindowHeight(int height) {
    int clientH = std::max(height - frameHeight(), kFullnameHeight + kBandHeight);
    setBounds(left(), top(), kClientWidth + frameWidth(), clientH + frameHeight());
    setClientSize(kClientWidth, clientH);
    // A backend with a real frame reports the client height the window really got.
    const int gridH = std::max(clientHeight() - kFullnameHeight - kBandHeight, 0);
    PanelGrid->setBounds(0, kFullnameHeight, kClientWidth, gridH);
    Grid->setBounds(0, 0, kClientWidth, gridH);
    PanelThumbs->setBounds(0, 0, kClientWidth, gridH);
    Image2->setBounds(2, 2, kClientWidth - 4, gridH > 4 ? gridH - 4 : 0);
    PanelControls->setBounds(0, kFullnameHeight + gridH, kClientWidth, kBandHeight);
}

TEditorForm::TEditorForm() : Form("EditorForm") {
    buildControls();
    FormCreate(this);
    history = std::make_unique<EditHistory>(*Grid);
}

TEditorForm::~TEditorForm() = default;

void TEditorForm::buildControls() {
    // ---- the window ----
    borderStyle = BorderStyle::Dialog;
    systemMenu = false;
    keyPreview = true;
    Font f;
    f.name = "MS Sans Serif";
    f.size = 8;
    f.bold = true;
    setFont(f);
    setCaption(editorState().captionPrefix + " [*New*]");
    helpFile = "KAVRIN.HLP";

    // ---- path panel with the progress gauge ----
    Fullname = make<Panel>(this, "Fullname");
    Fullname->setBounds(0, 0, kClientWidth, kFullnameHeight);
    Fullname->alignment = Alignment::Left;
    Fullname->setCaption("Slide Pathname: <blank>");
    Gauge = make<kv::Gauge>(Fullname, "Gauge");
    Gauge->setBounds(404, 4, 199, 16);
    Gauge->setVisible(false);

    // ---- slide table and, in its place, the catalogue view ----
    PanelGrid = make<Panel>(this, "PanelGrid");
    PanelGrid->bevel = 0;
    Grid = make<StringGrid>(PanelGrid, "Grid", static_cast<int>(ColumnCount), 2);
    Grid->fixedCols = 4;
    Grid->fixedRows = 1;
    Grid->options = StringGrid::FixedVertLine | StringGrid::FixedHorzLine | StringGrid::VertLine |
                    StringGrid::HorzLine | StringGrid::DrawFocusSelected | StringGrid::ColSizing |
                    StringGrid::RowMoving | StringGrid::ThumbTracking;
    Grid->setCol(DisplayName);
    PanelThumbs = make<Panel>(PanelGrid, "PanelThumbs");
    PanelThumbs->bevel = 0;
    PanelThumbs->setVisible(false);
    Image2 = make<PaintBox>(PanelThumbs, "Image2");

    // ---- the button band ----
    PanelControls = make<Panel>(this, "PanelControls");

    ColorPanel = make<Panel>(PanelControls, "ColorPanel");
    ColorPanel->setBounds(4, 4, 72, 86);
    ColorLabel = make<Label>(ColorPanel, "ColorLabel");
    // As wide as "no backcolor" in the form's bold font: a pixel less and the label breaks
    // the second word onto a line below its height, leaving "no" alone.
    ColorLabel->setBounds(2, 36, 69, 14);
    ColorLabel->setCaption("no backcolor");
    Thumbnail = make<Image>(ColorPanel, "Thumbnail");
    Thumbnail->setBounds(4, 11, 64, 64);
    Thumbnail->center = true;
    Thumbnail->setVisible(false);

    Control* band = PanelControls;
    // Row 1: the script commands.
    BtnFileMenu = button(band, "BtnFileMenu", "AVL &File", "File menu", true, kColA, kRowTop[0], kColAWidth, kRowHeight);
    BtnLoad = button(band, "BtnLoad", "", "Open (load)", true, glyphCol(0), kRowTop[0], kGlyphWidth, kRowHeight, "open");
    BtnSave = button(band, "BtnSave", "", "Save", false, glyphCol(1), kRowTop[0], kGlyphWidth, kRowHeight, "save");
    BtnNew = button(band, "BtnNew", "", "New", true, glyphCol(2), kRowTop[0], kGlyphWidth, kRowHeight, "new");
    BtnTest = button(band, "BtnTest", "", "Run", false, glyphCol(3), kRowTop[0], kGlyphWidth, kRowHeight, "run");
    BtnHelp = button(band, "BtnHelp", "", "Help", true, glyphCol(4), kRowTop[0], kGlyphWidth, kRowHeight, "help");
    BtnQuit = button(band, "BtnQuit", "", "Close", true, glyphCol(5), kRowTop[0], kGlyphWidth, kRowHeight, "close");
    BtnQuit->modalResult = ModalResult::Cancel;
    BtnQuit->cancel = true;
    // Row 2: the slide list.
    BtnAdd = button(band, "BtnAdd", "&Add", "", true, kColA, kRowTop[1], kColAWidth, kRowHeight);
    BtnInsert = button(band, "BtnInsert", "&Insert", "", false, kColB, kRowTop[1], kColBWidth, kRowHeight);
    BtnDelete = button(band, "BtnDelete", "", "Erase slide(s)", false, glyphCol(2), kRowTop[1], kGlyphWidth, kRowHeight, "erase");
    BtnMove = button(band, "BtnMove", "", "Move slide", false, glyphCol(3), kRowTop[1], kGlyphWidth, kRowHeight, "move");
    BtnFind = button(band, "BtnFind", "", "Find slide", false, glyphCol(4), kRowTop[1], kGlyphWidth, kRowHeight, "find");
    // Row 3: tags and the slide's file.
    BtnTag = button(band, "BtnTag", "&Tag", "", false, kColA, kRowTop[2], kColAWidth, kRowHeight);
    BtnView = button(band, "BtnView", "Vie&w", "", false, kColB, kRowTop[2], kColBWidth, kRowHeight);
    BtnInfo = button(band, "BtnInfo", "", "File info", false, glyphCol(2), kRowTop[2], kGlyphWidth, kRowHeight, "info");
    BtnRelocate = button(band, "BtnRelocate", "", "Move file(s)", false, glyphCol(3), kRowTop[2], kGlyphWidth, kRowHeight, "relocate");
    BtnTrash = button(band, "BtnTrash", "", "Trash file", false, glyphCol(4), kRowTop[2], kGlyphWidth, kRowHeight, "trash");

    // ---- the notebook: editor page and thumbnails page ----
    Tab = make<Notebook>(band, "Tab");
    Tab->setBounds(388, 3, 215, 88);
    PageEditor = Tab->addPage("PageEditor", "&Editor           ");
    PageThumbs = Tab->addPage("PageThumbs", "Th&umbnails    ");
    PageEditor->setBounds(4, 24, 207, 60);
    PageThumbs->setBounds(4, 24, 207, 60);
    BtnGlobal = button(PageEditor, "BtnGlobal", "&Global", "", true, 2, 17, 65, kRowHeight);
    BtnCD = button(PageEditor, "BtnCD", "C&D track", "", true, 71, 17, 65, kRowHeight);
    BtnSort = button(PageEditor, "BtnSort", "Tool&s", "", false, 140, 17, 65, kRowHeight);
    CatScroll = make<TXScrollbar>(PageThumbs, "CatScroll");
    CatScroll->setBounds(2, 4, 203, 17);
    CatScroll->setRange(1, 1);
    CatScroll->setPosition(1);
    BtnCatalog = button(PageThumbs, "BtnCatalog", "&Update", "", false, 2, 28, 100, kRowHeight);
    BtnKillCat = button(PageThumbs, "BtnKillCat", "&Kill all", "", false, 105, 28, 100, kRowHeight);

    // ---- size and place: design height, centred on the screen ----
    int clientH = kFullnameHeight + kDesignGridHeight + kBandHeight;
    setClientSize(kClientWidth, clientH);
    setWindowHeight(clientH + frameHeight());
    int sw = ports().user ? ports().user->screenWidth() : width();
    int sh = ports().user ? ports().user->screenHeight() : height();
    setBounds((sw - width()) / 2, (sh - height()) / 2, width(), height());

    // ---- popup menus ----
    mnuFile = addMenu("mnuFile");
    mnuOpen = item(mnuFile, "mnuOpen", "&Open", true, "Ctrl+L");
    mnuSave = item(mnuFile, "mnuSave", "Save &As", true, "Ctrl+S");
    mnuNew = item(mnuFile, "mnuNew", "&New", true, "Ctrl+N");
    mnuRun = item(mnuFile, "mnuRun", "&Run", true, "Ctrl+R");
    item(mnuFile, "N2", "-");
    mnuHelp = item(mnuFile, "mnuHelp", "&Help");

    mnuEdit = addMenu("mnuEdit");
    mnuAdd = item(mnuEdit, "mnuAdd", "&Add slide(s)");
    mnuInsert = item(mnuEdit, "mnuInsert", "&Insert slide(s)", false);
    mnuTag = item(mnuEdit, "mnuTag", "&Tag slide", false);
    mnuCut = item(mnuEdit, "mnuCut", "&Erase slide(s)", false);
    mnuMove = item(mnuEdit, "mnuMove", "&Move slide", false);
    mnuFind = item(mnuEdit, "mnuFind", "&Find slide", false);
    mnuGotoSlide = item(mnuEdit, "mnuGotoSlide", "&Go to slide", false);
    item(mnuEdit, "N1", "-");
    mnuTagAll = item(mnuEdit, "mnuTagAll", "Tag al&l", false);
    mnuUnTagAll = item(mnuEdit, "mnuUnTagAll", "&Clear tags", false);
    mnuInfo = item(mnuEdit, "mnuInfo", "File i&nfo", false);
    mnuInfo->newColumn = true;
    mnuView = item(mnuEdit, "mnuView", "Vie&w file(s)", false);
    mnuRelocate = item(mnuEdit, "mnuRelocate", "Mo&ve file(s)", false);
    mnuTrash = item(mnuEdit, "mnuTrash", "Tras&h file", false);
    mnuRename = item(mnuEdit, "mnuRename", "&Rename file", false);
    item(mnuEdit, "N3", "-");
    mnuSortName = item(mnuEdit, "mnuSortName", "&Sort by Name", false);
    mnuSortDate = item(mnuEdit, "mnuSortDate", "Sort by &Date", false);
    mnuSortSize = item(mnuEdit, "mnuSortSize", "Sort by Si&ze", false);
    mnuContactSheet = item(mnuEdit, "mnuContactSheet", "C&ontact sheet", false);
    item(mnuEdit, "N4", "-");
    mnuUndo = item(mnuEdit, "mnuUndo", "&Undo", false, "Ctrl+Z");
    mnuRedo = item(mnuEdit, "mnuRedo", "Redo", false, "Ctrl+Y");

    mnuFX = addMenu("mnuFX");
    for (int k = 0; k < 30; ++k) {
        MenuItem* i = item(mnuFX, ("fx" + std::to_string(k)).c_str(), effectName(k).c_str());
        i->tag = k;
        i->newColumn = k == 15;
    }

    // Colours in menu order; the tag is the colour number the handler selects by.
    mnuColor = addMenu("mnuColor");
    struct ColorItem { const char* name; const char* caption; int tag; };
    static const ColorItem colors[] = {
        {"clr0", "none", -1},        {"clrBlk", "Black", 0},       {"clrNavy", "Navy Blue", 1},
        {"clrGrn", "Green", 2},      {"clrTeal", "Teal", 3},       {"clrMaroon", "Maroon", 4},
        {"clrPurple", "Purple", 5},  {"clrOlive", "Olive", 6},     {"clrSilver", "Silver", 8},
        {"clrUser", "&User Color", 255}, {"clrGray", "Gray", 7},   {"clrBlue", "Blue", 9},
        {"clrLime", "Lime", 10},     {"clrAqua", "Aqua", 11},      {"clrRed", "Red", 12},
        {"clrFuchsia", "Fuchsia", 13}, {"Yellow1", "Yellow", 14},  {"clrWht", "White", 15},
    };
    for (const ColorItem& c : colors) {
        MenuItem* i = item(mnuColor, c.name, c.caption);
        i->tag = c.tag;
        i->newColumn = c.tag == 255;
    }

    mnuHPOS = addMenu("mnuHPOS");
    item(mnuHPOS, "hpos0", "Left");
    item(mnuHPOS, "hpos1", "Mid");
    item(mnuHPOS, "hposX", "&User");
    mnuVPOS = addMenu("mnuVPOS");
    item(mnuVPOS, "vpos0", "Top");
    item(mnuVPOS, "vpos1", "Mid");
    item(mnuVPOS, "vposX", "&User");

    // ---- events ----
    onCreate = [this](Control* s) { FormCreate(s); };
    onActivate = [this](Control* s) { FormActivate(s); };
    onCloseQuery = [this](Control* s, bool& can) { FormCloseQuery(s, can); };
    onClose = [this](Control* s) { FormClose(s); };
    onKeyDown = [this](Control* s, int& key, unsigned shift) { FormKeyDown(s, key, shift); };

    Grid->onClick = [this](Control* s) { GridClick(s); };
    Grid->onSelectCell = [this](Control* s) { GridClick(s); };
    Grid->onDblClick = [this](Control* s) { CommonAction(s); };
    Grid->onKeyDown = [this](Control* s, int& key, unsigned shift) { GridKeyDown(s, key, shift); };
    Grid->onKeyPress = [this](Control* s, char& key) { GridKeyPress(s, key); };
    Grid->onMouseUp = [this](Control* s, MouseButton b, unsigned shift, int x, int y) {
        GridMouseUp(s, b, shift, x, y);
    };

    BtnLoad->onClick = [this](Control* s) { BtnLoadClick(s); };
    BtnSave->onClick = [this](Control* s) { BtnSaveClick(s); };
    BtnNew->onClick = [this](Control* s) { BtnNewClick(s); };
    BtnTest->onClick = [this](Control* s) { BtnTestClick(s); };
    BtnHelp->onClick = [this](Control* s) { BtnHelpClick(s); };
    BtnFileMenu->onClick = [this](Control* s) { BtnFileMenuClick(s); };
    BtnSort->onClick = [this](Control* s) { BtnSortClick(s); };
    mnuEdit->onPopup = [this](Control* s) { mnuEditPopup(s); };
    mnuUndo->onClick = [this](Control* s) { mnuUndoClick(s); };
    mnuRedo->onClick = [this](Control* s) { mnuRedoClick(s); };
    BtnGlobal->onClick = [this](Control* s) { CommonAction(s); };
    Tab->onClick = [this](Control* s) { TabClick(s); };

    mnuOpen->onClick = [this](Control*) { BtnLoadClick(nullptr); };
    mnuSave->onClick = [this](Control*) { BtnSaveClick(nullptr); };
    mnuNew->onClick = [this](Control*) { BtnNewClick(nullptr); };
    mnuRun->onClick = [this](Control*) { BtnTestClick(nullptr); };
    mnuHelp->onClick = [this](Control*) { BtnHelpClick(nullptr); };
    for (auto& i : mnuFX->items()) i->onClick = [this, it = i.get()](Control*) { fx1Click(it); };
    for (auto& i : mnuColor->items()) i->onClick = [this, it = i.get()](Control*) { clr0Click(it); };
    for (auto& i : mnuHPOS->items())
        i->onClick = [this, it = i.get()](Control*) { it->name() == "hposX" ? hposXClick(it) : hpos0Click(it); };
    for (auto& i : mnuVPOS->items())
        i->onClick = [this, it = i.get()](Control*) { it->name() == "vposX" ? vposXClick(it) : vpos0Click(it); };
    wireSlideList();
    wireTags();
    wireSlideFiles();
    buildCatalog();
}

}  // namespace kv::editor
