// The slide table: one row per slide, one text cell per attribute. The defaults a new slide
// gets, the clean-up after a load, the dispatch from a cell to its attribute editor, the tag
// toggle and the information panels of the current slide.
#include <array>
#include <optional>

#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv::editor {

namespace {

const std::array<std::string, 30> kEffects = {
    "none",          "Wipe Dn",       "Wipe Up",        "Wipe Rt",        "Wipe Lf",
    "Rnd Pix",       "Rnd SmlBox",    "Rnd MedBox",     "Rnd LgBox",      "Rnd HorzLines",
    "Rnd VertLines", "Out VertLines", "Out HorzLines",  "Horz Interlace", "Vert Interlace",
    "OutToIn",       "InToOut",       "InToOut Lace",   "OutToIn Lace",   "Spiral In",
    "Spiral Out",    "In HorzLines",  "In VertLines",   "Vert Lace In",   "Horz Lace In",
    "Interlace Rt",  "Interlace Lf",  "Interlace Up",   "Interlace Dn",   "Random FX",
};

// Extensions whose EffectName cell is a loop count rather than a transition effect.
constexpr const char* kVideoExtensions = ".AVI.MOV.MPG.FLI.FLC.FLX.DAT";

const std::string& B = BlankMarker;

}  // namespace

bool isVideoOrAnimation(const StringGrid& grid, int row) {
    return pos(upper(extensionOf(grid.cell(DisplayName, row))), kVideoExtensions) > 0;
}

const std::string& effectName(int k) {
    static const std::string none;
    if (k < 0 || k >= static_cast<int>(kEffects.size())) return none;
    return kEffects[static_cast<size_t>(k)];
}

// ---- set-up of a new slide (current row) -----------------------------------------------

namespace {

// Cells 2, 3 and 5 to 15 of a row, in that order.
using SetUpCells = std::array<const std::string*, 13>;

void fill(StringGrid& g, int row, const SetUpCells& v) {
    static constexpr int cols[13] = {Param, ColorValue, UseColor, EffectName, Wait, HorzPos, VertPos,
                                     Gamma, Zoom, Volume, Speed, ThumbIndex, Tag};
    for (size_t i = 0; i < v.size(); ++i) g.setCell(cols[i], row, *v[i]);
}

const std::string s0 = "0", s1 = "1", sYes = "Yes", sNone = "none", sMid = "Mid", s100 = "100",
                  s50 = "50", sLoop1 = "Loop 1x", sDash = "-", sEmpty;

void setCells(StringGrid& g, int row, int from, int to, const std::string& v) {
    for (int c = from; c <= to; ++c) g.setCell(c, row, v);
}

}  // namespace

void TEditorForm::SetUpGraphic() {
    fill(*Grid, Grid->row(), {&s0, &s0, &sYes, &sNone, &s0, &sMid, &sMid, &s100, &B, &B, &B, &sEmpty, &sEmpty});
}

void TEditorForm::SetUpAVI() {
    fill(*Grid, Grid->row(), {&s0, &s0, &sYes, &sLoop1, &s0, &sMid, &sMid, &B, &s100, &s100, &s100, &sDash, &B});
}

void TEditorForm::SetUpMOV() {
    fill(*Grid, Grid->row(), {&s0, &s0, &sYes, &B, &s0, &sMid, &sMid, &B, &s100, &s50, &s100, &sDash, &B});
}

void TEditorForm::SetUpFLI() {
    fill(*Grid, Grid->row(), {&s0, &s0, &sYes, &sLoop1, &s0, &B, &B, &B, &B, &B, &B, &sDash, &B});
}

void TEditorForm::SetUpAudio() {
    fill(*Grid, Grid->row(), {&s1, &sEmpty, &B, &B, &s0, &B, &B, &B, &B, &B, &B, &sDash, &B});
}

void TEditorForm::SetUpAVL() {
    fill(*Grid, Grid->row(), {&B, &sEmpty, &B, &B, &B, &B, &B, &B, &B, &B, &B, &sDash, &B});
    ports().user->messageDialog("AVL file should be the LAST slide.\nSubsequent slides are disregarded.",
                                DialogKind::Warning, BtnOK);
}

// ---- clean-up after a load -------------------------------------------------------------

void TEditorForm::ValidateGraphic(int row) {
    setCells(*Grid, row, Zoom, Speed, B);
    Grid->setCell(Tag, row, sEmpty);
}

void TEditorForm::ValidateFLI(int row) {
    setCells(*Grid, row, HorzPos, Speed, B);
    Grid->setCell(ThumbIndex, row, sDash);
    Grid->setCell(Tag, row, B);
}

void TEditorForm::ValidateAudio(int row) {
    setCells(*Grid, row, UseColor, EffectName, B);
    setCells(*Grid, row, HorzPos, Speed, B);
    Grid->setCell(Param, row, s0);
    Grid->setCell(ColorValue, row, sEmpty);
    Grid->setCell(ThumbIndex, row, sDash);
    Grid->setCell(Tag, row, B);
}

void TEditorForm::ValidateCD(int row) {
    setCells(*Grid, row, UseColor, EffectName, B);
    setCells(*Grid, row, HorzPos, Speed, B);
    Grid->setCell(ColorValue, row, sEmpty);
    Grid->setCell(ThumbIndex, row, sDash);
    Grid->setCell(Tag, row, B);
}

void TEditorForm::ValidateAVL(int row) {
    setCells(*Grid, row, UseColor, Speed, B);
    Grid->setCell(Param, row, B);
    Grid->setCell(ColorValue, row, sEmpty);
    Grid->setCell(ThumbIndex, row, sDash);
    Grid->setCell(Tag, row, B);
}

void TEditorForm::SetUpClear() {
    Grid->setRowCount(2);
    Grid->setCell(SlideNo, 1, "1");
    Grid->setCell(FilePath, 1, sEmpty);
    Grid->setCell(Param, 1, s0);
    Grid->setCell(ColorValue, 1, sEmpty);
    Grid->setCell(DisplayName, 1, "<right-click me>");
    setCells(*Grid, 1, UseColor, Speed, B);
    Grid->setCell(ThumbIndex, 1, sEmpty);
    Grid->setCell(Tag, 1, sEmpty);
}

// ---- editing the current cell ----------------------------------------------------------

namespace {

using Action = void (*)(TEditorForm&);

void openAt(PopupMenu* m) { m->popup(editorState().popupX, editorState().popupY); }

// What a double click (or Space, Enter, the right button, "&Global") does on each column.
const std::array<Action, ColumnCount> kActions = [] {
    std::array<Action, ColumnCount> a{};
    a[DisplayName] = [](TEditorForm& f) { openAt(f.mnuEdit); };
    a[UseColor] = [](TEditorForm& f) { openAt(f.mnuColor); };
    a[EffectName] = [](TEditorForm& f) {
        if (isVideoOrAnimation(*f.Grid, f.Grid->row())) f.SetVideoLoops();
        else openAt(f.mnuFX);
    };
    a[Wait] = [](TEditorForm& f) { f.SetSlideWait(); };
    a[HorzPos] = [](TEditorForm& f) { openAt(f.mnuHPOS); };
    a[VertPos] = [](TEditorForm& f) { openAt(f.mnuVPOS); };
    a[Gamma] = [](TEditorForm& f) { f.GammaClick(); };
    a[Zoom] = [](TEditorForm& f) { f.SetVideoZoom(); };
    a[Volume] = [](TEditorForm& f) { f.SetVideoVolume(); };
    a[Speed] = [](TEditorForm& f) { f.SetVideoSpeed(); };
    a[ThumbIndex] = [](TEditorForm& f) { f.Grid->setCol(Tag); };  // the index is not editable
    a[Tag] = [](TEditorForm& f) { f.TagSlide(); };
    return a;
}();

// What an attribute change is called in the undo and redo items ("&Undo global effect"); none
// for the columns whose action is no change of their own (the name's menu, the tag).
std::string attributeStep(const StringGrid& g, int col, int row, bool global) {
    const char* name = nullptr;
    switch (col) {
        case UseColor: name = "color"; break;
        case EffectName: name = isVideoOrAnimation(g, row) ? "loop" : "effect"; break;
        case Wait: name = "wait"; break;
        case HorzPos: case VertPos: name = "position"; break;
        case Gamma: name = "gamma"; break;
        case Zoom: name = "zoom"; break;
        case Volume: name = "volume"; break;
        case Speed: name = "speed"; break;
        default: return {};
    }
    return global ? std::string("global ") + name : std::string(name);
}

}  // namespace

void TEditorForm::CommonAction(Control* sender) {
    EditorState& st = editorState();
    const int row = Grid->row(), col = Grid->col();
    if (Grid->cell(col, row) == BlankMarker) return;
    if (sender == BtnGlobal) {
        st.globalMode = true;
        if (col == DisplayName) return;
    } else {
        st.globalMode = false;
    }
    if (col != Tag) st.modified = true;  // also when the popup or dialog is then cancelled
    GetMPOS();
    if (col >= 0 && col < ColumnCount && kActions[static_cast<size_t>(col)]) {
        // An attribute's change, on one slide or all, is one step.
        std::optional<EditHistory::Step> step;
        if (std::string label = attributeStep(*Grid, col, row, st.globalMode); !label.empty())
            step.emplace(*history, std::move(label));
        kActions[static_cast<size_t>(col)](*this);
    }
    GridClick(this);
    st.keyboardPopup = false;
}

void TEditorForm::GetMPOS() {
    EditorState& st = editorState();
    if (st.keyboardPopup) {
        st.popupX = left() + 2 * Fullname->height();
        st.popupY = top() + 3 * Fullname->height();
    } else {
        ports().user->cursorPos(st.popupX, st.popupY);
    }
}

void TEditorForm::TagSlide() {
    const int row = Grid->row();
    const std::string& t = Grid->cell(Tag, row);
    if (t == BlankMarker) return;
    Grid->setCell(Tag, row, t == "X" ? sEmpty : std::string("X"));
    if (Tab->pageIndex() > 0) UpdateCatalogTags();
}

// ---- information panels ----------------------------------------------------------------

void TEditorForm::GridClick(Control*) {
    const EditorState& st = editorState();
    const int row = Grid->row();
    const int n = Grid->rowCount() - 1;

    // 1-3: the path, slide number and count, cut from the front to fit the path panel.
    const std::string& p = Grid->cell(FilePath, row);
    const std::string& param = Grid->cell(Param, row);
    std::string shown;
    if (p != BlankMarker && !p.empty()) shown = GetLongPath(p);
    else if (param != "0") shown = "CD Track: " + param;
    else shown = GetLongPath(p);
    std::string t = " " + shown + " [" + intToStr(row) + " of " + intToStr(n) + "]";
    const int room = Fullname->clientWidth() - 32;
    if (ui().textWidth(font(), t) > room) {
        while (!t.empty() && ui().textWidth(font(), t) > room) t = copyFrom(t, 3);
        t = "..." + t;
    }
    Fullname->setCaption(t);

    // 4: the background colour.
    if (Grid->cell(UseColor, row) != "Yes") {
        ColorPanel->setColor(SysColor(syscolor::BtnFace));
        ColorLabel->setVisible(true);
    } else if (!Grid->cell(ColorValue, row).empty()) {
        // A cell that is not a number (a damaged script) leaves the panel as it is.
        if (auto v = strToInt(Grid->cell(ColorValue, row))) {
            ColorPanel->setColor(static_cast<uint32_t>(*v) & 0x00FFFFFFu);
            ColorLabel->setVisible(false);
        }
    }

    // 5: the thumbnail file, when there is one.
    const std::string f = st.AppDir + st.CatalogId + Grid->cell(ThumbIndex, row) + ".BMP";
    FileSystemPort* fs = ports().fs;
    if (fs && fs->exists(f) && !fs->isDirectory(f) && Thumbnail->loadFromFile(f)) {
        Thumbnail->setVisible(true);
    } else {
        Thumbnail->clear();
        Thumbnail->setVisible(false);
    }
}

}  // namespace kv::editor
