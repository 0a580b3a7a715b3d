// Attribute editing: the handlers of the effect, colour and position menus and the
// value-entry dialogs for loops, delay, gamma, zoom, volume and speed, each working on the
// current slide or, in global mode, on every slide the attribute applies to.
#include <array>

#include "dialogs/value_dialog.h"
#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

// Colour numbers 0 to 15 of the colour menu: Black, then Navy Blue, Green, Teal, Maroon,
// Purple, Olive, Gray, Silver, Blue, Lime, Aqua, Red, Fuchsia, Yellow, White.
constexpr std::array<uint32_t, 16> kColors = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

int32_t valueDialog(const char* caption, int32_t min, int32_t max, int32_t start, int32_t large, int32_t small,
                    std::array<int32_t, 6> p = {}) {
    return dialogs::ShowValueDialog(caption, min, max, start, large, small, p[0], p[1], p[2], p[3], p[4], p[5]);
}

// Slide positions are of the screen the show fills, in its own pixels.
int screenWidth() { return ports().user ? ports().user->displayWidth() : 640; }
int screenHeight() { return ports().user ? ports().user->displayHeight() : 480; }

}  // namespace

uint32_t menuColorValue(int tag) { return tag >= 0 && tag < 16 ? kColors[static_cast<size_t>(tag)] : 0; }

// ---- global changes --------------------------------------------------------------------

std::vector<int> TEditorForm::GlobalModify(int col, const std::string& v) {
    std::vector<int> rows;
    Grid->beginUpdate();
    for (int r = 1; r < Grid->rowCount(); ++r) {
        if (Grid->cell(col, r) == BlankMarker) continue;
        Grid->setCell(col, r, v);
        rows.push_back(r);
    }
    Grid->endUpdate();
    return rows;
}

std::vector<int> TEditorForm::GlobalModifyPOS(int col, const std::string& v) {
    Grid->beginUpdate();
    std::vector<int> rows = GlobalModify(col, v);
    if (v == "Mid")
        for (int r : rows) {
            Grid->setCell(HorzPos, r, "Mid");
            Grid->setCell(VertPos, r, "Mid");
        }
    Grid->endUpdate();
    return rows;
}

std::vector<int> TEditorForm::GlobalModifyFX(int col, const std::string& v) {
    std::vector<int> rows;
    Grid->beginUpdate();
    for (int r = 1; r < Grid->rowCount(); ++r) {
        if (Grid->cell(col, r) == BlankMarker || isVideoOrAnimation(*Grid, r)) continue;
        Grid->setCell(col, r, v);
        rows.push_back(r);
    }
    Grid->endUpdate();
    return rows;
}

std::vector<int> TEditorForm::GlobalModifyLOOP(int col, const std::string& v) {
    std::vector<int> rows;
    Grid->beginUpdate();
    for (int r = 1; r < Grid->rowCount(); ++r) {
        if (Grid->cell(col, r) == BlankMarker || !isVideoOrAnimation(*Grid, r)) continue;
        Grid->setCell(col, r, v);
        rows.push_back(r);
    }
    Grid->endUpdate();
    return rows;
}

// ---- menus -------------------------------------------------------------------------------

void TEditorForm::fx1Click(MenuItem* sender) {
    int k = 0;
    for (const auto& item : mnuFX->items()) {
        if (item.get() == sender) break;
        ++k;
    }
    if (k >= static_cast<int>(mnuFX->items().size())) return;
    if (editorState().globalMode) {
        // The effect number goes only into the rows whose effect cell took the name: in an
        // audio slide Param is its added flag and in a CD-track slide its track number,
        // which a global effect must not overwrite.
        Grid->beginUpdate();
        for (int r : GlobalModifyFX(EffectName, effectName(k))) Grid->setCell(Param, r, intToStr(k));
        Grid->endUpdate();
    } else {
        const int row = Grid->row();
        Grid->setCell(EffectName, row, effectName(k));
        Grid->setCell(Param, row, intToStr(k));
    }
}

void TEditorForm::clr0Click(MenuItem* sender) {
    const bool global = editorState().globalMode;
    const int row = Grid->row();
    const int tag = sender ? sender->tag : -1;
    if (tag == -1) {
        if (global) GlobalModify(UseColor, "No");
        else Grid->setCell(UseColor, row, "No");
        GridClick(this);
        return;
    }
    uint32_t value;
    if (tag >= 0 && tag <= 15) {
        value = kColors[static_cast<size_t>(tag)];
    } else {
        uint32_t c = ColorDialog1.color;
        if (!ui().colorDialog(c, ColorDialog1.fullOpen)) return;
        ColorDialog1.color = c;
        value = c;
    }
    const std::string v = intToStr(value);
    if (global) {
        Grid->beginUpdate();
        GlobalModify(ColorValue, v);
        GlobalModify(UseColor, "Yes");
        Grid->endUpdate();
    } else {
        Grid->setCell(UseColor, row, "Yes");
        Grid->setCell(ColorValue, row, v);
    }
    GridClick(this);
}

void TEditorForm::hpos0Click(MenuItem* sender) {
    const std::string v = sender ? sender->caption() : "Mid";
    if (editorState().globalMode) {
        GlobalModifyPOS(HorzPos, v);
    } else {
        Grid->setCell(HorzPos, Grid->row(), v);
        if (v == "Mid") Grid->setCell(VertPos, Grid->row(), "Mid");
    }
}

void TEditorForm::hposXClick(MenuItem*) {
    const int32_t m = valueDialog("Horizontal Position (pixels)", 0, screenWidth() - 33, 0, 10, 1);
    if (m == dialogs::ValueCancelled) return;
    if (editorState().globalMode) GlobalModifyPOS(HorzPos, intToStr(m));
    else Grid->setCell(HorzPos, Grid->row(), intToStr(m));
}

void TEditorForm::vpos0Click(MenuItem* sender) {
    const std::string v = sender ? sender->caption() : "Mid";
    if (editorState().globalMode) {
        GlobalModifyPOS(VertPos, v);
    } else {
        Grid->setCell(VertPos, Grid->row(), v);
        if (v == "Mid") Grid->setCell(HorzPos, Grid->row(), "Mid");
    }
}

void TEditorForm::vposXClick(MenuItem*) {
    const int32_t m = valueDialog("Vertical Position (pixels)", 0, screenHeight() - 33, 0, 10, 1);
    if (m == dialogs::ValueCancelled) return;
    if (editorState().globalMode) GlobalModifyPOS(VertPos, intToStr(m));
    else Grid->setCell(VertPos, Grid->row(), intToStr(m));
}

// ---- dialogs -----------------------------------------------------------------------------

void TEditorForm::SetVideoLoops() {
    const int32_t m = valueDialog("Loop Animation N Times", 1, 20, 1, 1, 1, {2, 3, 4, 5, 6, 7});
    if (m == dialogs::ValueCancelled) return;
    const std::string name = "Loop " + intToStr(m) + "x";
    if (editorState().globalMode) {
        Grid->beginUpdate();
        GlobalModifyLOOP(EffectName, name);
        GlobalModifyLOOP(Param, intToStr(m - 1));
        Grid->endUpdate();
    } else {
        Grid->setCell(EffectName, Grid->row(), name);
        Grid->setCell(Param, Grid->row(), intToStr(m - 1));
    }
}

namespace {

// A dialog's value into one column: the current row's cell, or every row's in global mode.
void setFromDialog(TEditorForm& f, int col, int32_t m) {
    if (m == dialogs::ValueCancelled) return;
    if (editorState().globalMode) f.GlobalModify(col, intToStr(m));
    else f.Grid->setCell(col, f.Grid->row(), intToStr(m));
}

}  // namespace

void TEditorForm::SetSlideWait() {
    setFromDialog(*this, Wait, valueDialog("Slide Delay/Wait (secs)", 0, 32000, 0, 60, 1, {1, 5, 10, 30, 60, 120}));
}

void TEditorForm::GammaClick() {
    setFromDialog(*this, Gamma, valueDialog("Gamma Correction (n/100)", 10, 500, 100, 10, 1, {80, 120, 140, 160, 180, 200}));
}

void TEditorForm::SetVideoZoom() {
    setFromDialog(*this, Zoom, valueDialog("Video Zoom Factor (%)", 25, 400, 100, 25, 1, {50, 75, 150, 200, 300, 400}));
}

void TEditorForm::SetVideoVolume() {
    setFromDialog(*this, Volume, valueDialog("Audio Volume Factor (%)", 0, 100, 100, 10, 1, {0, 20, 40, 50, 60, 80}));
}

void TEditorForm::SetVideoSpeed() {
    setFromDialog(*this, Speed, valueDialog("Video Speed Factor (%)", 25, 200, 100, 25, 1, {25, 50, 75, 125, 150, 200}));
}

}  // namespace kv::editor
