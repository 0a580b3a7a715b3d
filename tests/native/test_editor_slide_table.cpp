// The slide table of the editor: the cells of new and loaded slides, the dispatch from a cell
// to its editor, tags, and the information panels of the current slide.
#include <gtest/gtest.h>

#include "tests/native/value_dialog_kit.h"

#include <memory>

#include "editor/editor_form.h"
#include "tests/native/editor_test_kit.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;

const std::string B = BlankMarker;

class SlideTable : public editor_test::EditorTest {
protected:
    std::vector<std::string> rowFrom2(int r) {
        const auto& c = form->Grid->rowCells(r);
        return {c.begin() + 2, c.end()};
    }
};

TEST_F(SlideTable, EffectMenuFollowsTheEffectTable) {
    EXPECT_EQ(effectName(30), "");
    EXPECT_EQ(effectName(-1), "");
    const auto& items = form->mnuFX->items();
    ASSERT_EQ(items.size(), 30u);
    EXPECT_EQ(items[2]->caption(), "Wipe Up");
    EXPECT_EQ(items[29]->caption(), "Random FX");
    for (int k = 0; k < 30; ++k) {
        EXPECT_EQ(items[k]->caption(), effectName(k));
        EXPECT_EQ(items[k]->newColumn, k == 15);  // a second column from "OutToIn"
    }
}

TEST_F(SlideTable, BlankStartRowAndHeaders) {
    auto& g = *form->Grid;
    EXPECT_EQ(g.colCount(), 16);
    EXPECT_EQ(g.fixedCols, 4);
    EXPECT_EQ(g.rowCount(), 2);
    const std::vector<std::string> headers = {"N", "", "", "", "Filename", "Clr", "Effect", "Wait",
                                              "Horz", "Vert", "gamma", "Vid%", "Vol%", "Spd%", "", "Tag"};
    EXPECT_EQ(g.rowCells(0), headers);
    const std::vector<std::string> start = {"1", "", "0", "", "<right-click me>", B, B, B, B, B, B, B, B, B, "", ""};
    EXPECT_EQ(g.rowCells(1), start);
    EXPECT_EQ(g.col(), DisplayName);
}

TEST_F(SlideTable, SetUpOfEachKind) {
    using V = std::vector<std::string>;
    int r = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    EXPECT_EQ(rowFrom2(r), (V{"0", "0", "a.bmp", "Yes", "none", "0", "Mid", "Mid", "100", B, B, B, "", ""}));
    r = add("c:\\p\\b.avi", &TEditorForm::SetUpAVI);
    EXPECT_EQ(rowFrom2(r), (V{"0", "0", "b.avi", "Yes", "Loop 1x", "0", "Mid", "Mid", B, "100", "100", "100", "-", B}));
    // A new MOV video plays at half volume and has no loop cell.
    r = add("c:\\p\\c.mov", &TEditorForm::SetUpMOV);
    EXPECT_EQ(rowFrom2(r), (V{"0", "0", "c.mov", "Yes", B, "0", "Mid", "Mid", B, "100", "50", "100", "-", B}));
    r = add("c:\\p\\d.flc", &TEditorForm::SetUpFLI);
    EXPECT_EQ(rowFrom2(r), (V{"0", "0", "d.flc", "Yes", "Loop 1x", "0", B, B, B, B, B, B, "-", B}));
    r = add("c:\\p\\e.wav", &TEditorForm::SetUpAudio);
    EXPECT_EQ(rowFrom2(r), (V{"1", "", "e.wav", B, B, "0", B, B, B, B, B, B, "-", B}));

    sim.user.answer("AVL file should be the LAST slide.\nSubsequent slides are disregarded.", ModalResult::OK);
    r = add("c:\\p\\f.avl", &TEditorForm::SetUpAVL);
    EXPECT_EQ(rowFrom2(r), (V{B, "", "f.avl", B, B, B, B, B, B, B, B, B, "-", B}));
    ASSERT_EQ(sim.user.dialogs.size(), 1u);
    EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Warning);
    EXPECT_EQ(sim.user.dialogs[0].buttons, kv::BtnOK);
}

TEST_F(SlideTable, CleanUpAfterLoad) {
    auto& g = *form->Grid;
    g.setRowCount(6);
    const std::vector<std::string> loaded = {"1", "x", "7", "255", "x", "Yes", "Loop 3x", "5", "10", "20",
                                             "150", "200", "60", "75", "3", "X"};
    for (int r = 1; r <= 5; ++r) g.setRowCells(r, loaded);
    form->ValidateGraphic(1);
    form->ValidateFLI(2);
    form->ValidateAudio(3);
    form->ValidateCD(4);
    form->ValidateAVL(5);
    using V = std::vector<std::string>;
    EXPECT_EQ(g.rowCells(1), (V{"1", "x", "7", "255", "x", "Yes", "Loop 3x", "5", "10", "20", "150", B, B, B, "3", ""}));
    EXPECT_EQ(g.rowCells(2), (V{"1", "x", "7", "255", "x", "Yes", "Loop 3x", "5", B, B, B, B, B, B, "-", B}));
    // A WAV slide that was added has Param "1"; after a load it has "0".
    EXPECT_EQ(g.rowCells(3), (V{"1", "x", "0", "", "x", B, B, "5", B, B, B, B, B, B, "-", B}));
    EXPECT_EQ(g.rowCells(4), (V{"1", "x", "7", "", "x", B, B, "5", B, B, B, B, B, B, "-", B}));
    EXPECT_EQ(g.rowCells(5), (V{"1", "x", B, "", "x", B, B, B, B, B, B, B, B, B, "-", B}));
}

// Tagging a picture and a video with the button and the menu: Tags.TaggingTagAllAndTheThreeWaysOfView.
TEST_F(SlideTable, TagTogglesOnlyGraphicSlidesAndFromTheTableWithoutCountingAsAChange) {
    auto& g = *form->Grid;
    int audio = add("c:\\p\\e.wav", &TEditorForm::SetUpAudio);
    int pic = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    g.setRow(audio);
    form->TagSlide();
    EXPECT_EQ(g.cell(Tag, audio), B);
    g.setRow(pic);
    g.setCol(Tag);
    g.dblClick();
    EXPECT_EQ(g.cell(Tag, pic), "X");
    EXPECT_FALSE(editorState().modified);
    g.dblClick();
    EXPECT_EQ(g.cell(Tag, pic), "");
}

TEST_F(SlideTable, BlankMarkedCellsDoNothing) {
    auto& g = *form->Grid;
    int audio = add("c:\\p\\e.wav", &TEditorForm::SetUpAudio);
    g.setRow(audio);
    for (int col : {UseColor, EffectName, HorzPos, VertPos, Gamma, Zoom, Volume, Speed, Tag}) {
        g.setCol(col);
        g.dblClick();
        char space = ' ', enter = '\r';
        g.keyPress(space);
        g.keyPress(enter);
        g.mouseUp(kv::MouseButton::Right, 0, 5, 5);
        form->BtnGlobal->click();
    }
    EXPECT_TRUE(sim.user.popups.empty());
    EXPECT_FALSE(editorState().modified);
    EXPECT_FALSE(editorState().globalMode);
    const std::vector<std::string> cells = rowFrom2(audio);
    EXPECT_EQ(cells, (std::vector<std::string>{"1", "", "e.wav", B, B, "0", B, B, B, B, B, B, "-", B}));
}

TEST_F(SlideTable, EachColumnOpensItsEditor) {
    auto& g = *form->Grid;
    int pic = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    int vid = add("c:\\p\\b.avi", &TEditorForm::SetUpAVI);
    g.setRow(pic);
    // "&Global" on the file name column does nothing but set global mode; from the table the
    // same cell opens the edit menu and leaves global mode.
    g.setCol(DisplayName);
    form->BtnGlobal->click();
    EXPECT_TRUE(sim.user.popups.empty());
    EXPECT_FALSE(editorState().modified);
    EXPECT_TRUE(editorState().globalMode);
    g.dblClick();
    EXPECT_FALSE(editorState().globalMode);
    EXPECT_TRUE(editorState().modified);
    // The thumbnail index only moves to the tag column.
    g.setCol(ThumbIndex);
    g.dblClick();
    EXPECT_EQ(g.col(), Tag);
    EXPECT_EQ(g.cell(Tag, pic), "");
    EXPECT_EQ(g.cell(ThumbIndex, pic), "");
    EXPECT_EQ(sim.user.popups.size(), 1u);
    for (int col : {UseColor, EffectName, HorzPos, VertPos}) {
        g.setCol(col);
        g.dblClick();
    }
    EXPECT_EQ(sim.user.popups, (std::vector<std::string>{"mnuEdit", "mnuColor", "mnuFX", "mnuHPOS", "mnuVPOS"}));
    // The effect cell of a video is its loop count, which is not an effect menu.
    g.setRow(vid);
    g.setCol(EffectName);
    value_dialog_test::Seen seen;
    value_dialog_test::cancel(sim.user, &seen);
    g.dblClick();
    EXPECT_EQ(sim.user.popups.size(), 5u);
    EXPECT_EQ(seen.caption, "Loop Animation N Times");
    // Global mode stays set for the chosen item's handler.
    g.setCol(HorzPos);
    form->BtnGlobal->click();
    EXPECT_EQ(sim.user.popups.back(), "mnuHPOS");
    EXPECT_TRUE(editorState().globalMode);
}

TEST_F(SlideTable, PopupPointFollowsMouseOrKeyboard) {
    auto& g = *form->Grid;
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    g.setCol(UseColor);
    sim.user.mouseX = 321;
    sim.user.mouseY = 123;
    g.mouseUp(kv::MouseButton::Right, 0, 1, 1);
    EXPECT_EQ(sim.user.popupX, 321);
    EXPECT_EQ(sim.user.popupY, 123);
    g.mouseUp(kv::MouseButton::Left, 0, 1, 1);  // only the right button opens it
    EXPECT_EQ(sim.user.popups.size(), 1u);

    char space = ' ';
    g.keyPress(space);
    EXPECT_EQ(sim.user.popupX, form->left() + 48);
    EXPECT_EQ(sim.user.popupY, form->top() + 72);
    EXPECT_FALSE(editorState().keyboardPopup);

    // The context-menu key opens it at the mouse.
    int apps = kv::vk::Apps;
    g.keyDown(apps, 0);
    EXPECT_EQ(sim.user.popupX, 321);
    EXPECT_EQ(sim.user.popups.size(), 3u);
}

TEST_F(SlideTable, LongPathIsShownFromItsEnd) {
    const std::string folder = "c:\\Holiday pictures from the summer of the year nineteen ninety six";
    const std::string file = folder + "\\The beach at the end of the long road near the old harbour.bmp";
    sim.writeFile(file);
    std::string shortPath = sim.fs.shortPath(file).value();
    add(kv::lower(shortPath), &TEditorForm::SetUpGraphic);
    form->GridClick(form->Grid);

    const std::string full = " " + file + " [1 of 1]";
    const std::string shown = form->Fullname->caption();
    ASSERT_EQ(shown.substr(0, 3), "...");
    std::string rest = shown.substr(3);
    // Characters were taken from the front two at a time, just until the rest fits.
    ASSERT_LT(rest.size(), full.size());
    EXPECT_EQ(full.substr(full.size() - rest.size()), rest);
    EXPECT_EQ((full.size() - rest.size()) % 2, 0u);
    const int room = form->Fullname->clientWidth() - 32;
    EXPECT_LE(sim.user.textWidth(form->font(), rest), room);
    EXPECT_GT(sim.user.textWidth(form->font(), full.substr(full.size() - rest.size() - 2)), room);
    EXPECT_EQ(rest.substr(rest.size() - 8), "[1 of 1]");

    // A short path fits and is shown whole.
    form->Grid->setCell(FilePath, 1, "c:\\a.bmp");
    form->GridClick(form->Grid);
    EXPECT_EQ(form->Fullname->caption(), " c:\\a.bmp [1 of 1]");
}

TEST_F(SlideTable, CdTrackShowsItsNumberAndPlace) {
    auto& g = *form->Grid;
    for (int i = 1; i <= 10; ++i) add("c:\\p\\s" + std::to_string(i) + ".bmp", &TEditorForm::SetUpGraphic);
    g.setRow(3);
    g.setCell(FilePath, 3, B);
    form->SetUpAudio();
    g.setCell(Param, 3, "7");
    form->GridClick(&g);
    EXPECT_EQ(form->Fullname->caption(), " CD Track: 7 [3 of 10]");

    // The blank start row.
    form->SetUpClear();
    form->GridClick(&g);
    EXPECT_EQ(form->Fullname->caption(), "  [1 of 1]");
}

TEST_F(SlideTable, ColourPanelAndThumbnail) {
    auto& g = *form->Grid;
    editorState().CatalogId = "0A1B2";
    sim.writeFile("c:\\kavrin\\0A1B23.BMP");
    int pic = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    int wav = add("c:\\p\\e.wav", &TEditorForm::SetUpAudio);

    g.setRow(pic);
    g.setCell(ColorValue, pic, "255");
    g.setCell(ThumbIndex, pic, "3");
    form->GridClick(&g);
    EXPECT_EQ(form->ColorPanel->color(), 255u);
    EXPECT_FALSE(form->ColorLabel->visible());
    EXPECT_TRUE(form->Thumbnail->visible());
    EXPECT_EQ(form->Thumbnail->pictureFile, "c:\\kavrin\\0A1B23.BMP");

    // An empty colour value leaves the panel as it was.
    g.setCell(ColorValue, pic, "");
    form->GridClick(&g);
    EXPECT_EQ(form->ColorPanel->color(), 255u);

    // No colour: the button face and the label; no thumbnail file: no picture.
    g.setRow(wav);
    EXPECT_EQ(form->ColorPanel->color(), kv::SysColor(kv::syscolor::BtnFace));
    EXPECT_TRUE(form->ColorLabel->visible());
    EXPECT_FALSE(form->Thumbnail->visible());
}

}  // namespace
