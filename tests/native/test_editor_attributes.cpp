// Slide attribute editing: the effect, colour and position menus, the value-entry
// dialogs, and the global changes started by "&Global", answered as a user would through the
// sim backend (popup menus by item, the real value dialog by typing and clicking).
#include <gtest/gtest.h>

#include <memory>

#include "editor/editor_form.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"
#include "tests/native/editor_test_kit.h"
#include "tests/native/value_dialog_kit.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;
using kv::PopupMenu;
namespace vd = value_dialog_test;

const std::string B = BlankMarker;
using Row = std::vector<std::string>;

class Attributes : public editor_test::EditorTest {
protected:
    // One slide of every kind: picture, AVI, fresh MOV, FLI, WAV, CD track 7, AVL.
    void addEveryKind() {
        pic = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
        avi = add("c:\\p\\b.avi", &TEditorForm::SetUpAVI);
        mov = add("c:\\p\\c.mov", &TEditorForm::SetUpMOV);
        fli = add("c:\\p\\d.fli", &TEditorForm::SetUpFLI);
        wav = add("c:\\p\\e.wav", &TEditorForm::SetUpAudio);
        cd = addCd(7);
        sim.user.answer("AVL file should be the LAST slide.\nSubsequent slides are disregarded.", ModalResult::OK);
        avl = add("c:\\p\\f.avl", &TEditorForm::SetUpAVL);
        pic2 = add("c:\\p\\g.bmp", &TEditorForm::SetUpGraphic);
    }
    // The user opens the current cell's editor: from the table, or with "&Global".
    void open(int row, int col, bool global = false) {
        grid().setRow(row);
        grid().setCol(col);
        if (global) form->BtnGlobal->click();
        else grid().dblClick();
    }
    // The user chooses item `name` in the next popup menu `menu` (the menu must open).
    void choose(const std::string& menu, const std::string& name) {
        sim.user.onPopup(menu, [name](PopupMenu& m) {
            ASSERT_NE(m.find(name), nullptr) << name;
            m.find(name)->click();
        });
    }
    int pic = 0, avi = 0, mov = 0, fli = 0, wav = 0, cd = 0, avl = 0, pic2 = 0;
};

// ---- effects and loops -----------------------------------------------------------------------

TEST_F(Attributes, EffectOfTheCurrentSlideByItsMenuPosition_GlobalWipeUpLeavesLoopsTracksAndAudioAlone) {
    addEveryKind();
    choose("mnuFX", "fx17");
    open(pic, EffectName);
    EXPECT_EQ(cell(EffectName, pic), "InToOut Lace");
    EXPECT_EQ(cell(Param, pic), "17");
    EXPECT_EQ(cell(EffectName, pic2), "none");
    EXPECT_TRUE(editorState().modified);
    // Global: every slide with an effect cell.
    choose("mnuFX", "fx2");
    open(pic, EffectName, true);
    // Slides: picture, AVI, MOV, FLI, WAV, CD track 7, AVL, picture. The effect number goes
    // only where the effect name went, so a CD track keeps its track number and an audio slide
    // its added flag.
    EXPECT_EQ(column(EffectName), (Row{"Wipe Up", "Loop 1x", B, "Loop 1x", B, B, B, "Wipe Up"}));
    EXPECT_EQ(column(Param), (Row{"2", "0", "0", "0", "1", "7", B, "2"}));
}

TEST_F(Attributes, LoopsOfTheCurrentVideoThroughTheDialog_GlobalLoops3SkipsAFreshMovsBlankLoopCell) {
    addEveryKind();
    vd::Seen seen;
    vd::typeAndEnter(sim.user, "4", &seen);
    open(avi, EffectName);
    EXPECT_EQ(seen, vd::shows("Loop Animation N Times", 1, 20, 1, 1, 1, {2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(cell(EffectName, avi), "Loop 4x");
    EXPECT_EQ(cell(Param, avi), "3");
    EXPECT_EQ(cell(EffectName, fli), "Loop 1x");
    // Global: every video and animation.
    vd::clickPreset(sim.user, 1);  // b = 3
    open(fli, EffectName, true);
    EXPECT_EQ(column(EffectName), (Row{"none", "Loop 3x", B, "Loop 3x", B, B, B, "none"}));
    EXPECT_EQ(column(Param), (Row{"0", "2", "2", "2", "1", "7", B, "0"}));
}

// ---- colours ---------------------------------------------------------------------------------

TEST_F(Attributes, ColourOfTheCurrentSlideAndNone_GlobalRedOnEverySlideWithAColourCell) {
    addEveryKind();
    choose("mnuColor", "clrTeal");
    open(pic, UseColor);
    EXPECT_EQ(cell(UseColor, pic), "Yes");
    EXPECT_EQ(cell(ColorValue, pic), "8421376");
    EXPECT_EQ(form->ColorPanel->color(), 0x808000u);
    EXPECT_FALSE(form->ColorLabel->visible());
    choose("mnuColor", "clr0");
    open(pic, UseColor);
    EXPECT_EQ(cell(UseColor, pic), "No");
    EXPECT_EQ(cell(ColorValue, pic), "8421376");
    EXPECT_TRUE(form->ColorLabel->visible());
    // Global: every slide with a colour cell.
    grid().setCell(UseColor, pic2, "No");
    choose("mnuColor", "clrRed");
    open(pic, UseColor, true);
    EXPECT_EQ(column(UseColor), (Row{"Yes", "Yes", "Yes", "Yes", B, B, B, "Yes"}));
    for (int r : {pic, avi, mov, fli, pic2}) EXPECT_EQ(cell(ColorValue, r), "255") << r;
}

TEST_F(Attributes, EveryMenuColourHasItsDocumentedValue) {
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    const std::pair<const char*, const char*> values[] = {
        {"clrBlk", "0"},          {"clrNavy", "8388608"},   {"clrGrn", "32768"},    {"clrTeal", "8421376"},
        {"clrMaroon", "128"},     {"clrPurple", "8388736"}, {"clrOlive", "32896"},  {"clrSilver", "12632256"},
        {"clrGray", "8421504"},   {"clrBlue", "16711680"},  {"clrLime", "65280"},   {"clrAqua", "16776960"},
        {"clrRed", "255"},        {"clrFuchsia", "16711935"}, {"Yellow1", "65535"}, {"clrWht", "16777215"},
    };
    for (auto [name, value] : values) {
        choose("mnuColor", name);
        open(1, UseColor);
        EXPECT_EQ(cell(ColorValue, 1), value) << name;
    }
}

TEST_F(Attributes, UserColourOpensTheFullColourDialogAtItsLastColour) {
    addEveryKind();
    sim.user.answerColor(0x123456);
    choose("mnuColor", "clrUser");
    open(pic, UseColor);
    EXPECT_EQ(cell(ColorValue, pic), std::to_string(0x123456));
    EXPECT_EQ(cell(UseColor, pic), "Yes");
    // Cancelled the second time, from another slide: nothing changes.
    sim.user.answerColor(std::nullopt);
    choose("mnuColor", "clrUser");
    open(pic2, UseColor);
    EXPECT_EQ(cell(ColorValue, pic2), "0");
    ASSERT_EQ(sim.user.colorDialogs.size(), 2u);
    EXPECT_TRUE(sim.user.colorDialogs[0].fullOpen);
    EXPECT_EQ(sim.user.colorDialogs[0].start, 0u);
    EXPECT_EQ(sim.user.colorDialogs[1].start, 0x123456u);
}

// ---- positions -------------------------------------------------------------------------------

TEST_F(Attributes, LeftThenMidOnACentredSlide) {
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    choose("mnuHPOS", "hpos0");
    open(1, HorzPos);
    EXPECT_EQ(cell(HorzPos, 1), "Left");
    EXPECT_EQ(cell(VertPos, 1), "Mid");
    choose("mnuVPOS", "vpos0");
    open(1, VertPos);
    EXPECT_EQ(cell(VertPos, 1), "Top");
    choose("mnuHPOS", "hpos1");
    open(1, HorzPos);
    EXPECT_EQ(cell(HorzPos, 1), "Mid");
    EXPECT_EQ(cell(VertPos, 1), "Mid");
    choose("mnuVPOS", "vpos0");
    open(1, VertPos);
    choose("mnuVPOS", "vpos1");
    open(1, VertPos);
    EXPECT_EQ(cell(HorzPos, 1), "Mid");
    EXPECT_EQ(cell(VertPos, 1), "Mid");
}

TEST_F(Attributes, UserPositionsThroughTheDialogWithTheScreenLimits) {
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    grid().setCell(HorzPos, 1, "44");
    vd::Seen seen;
    vd::typeAndEnter(sim.user, "120", &seen);
    choose("mnuHPOS", "hposX");
    open(1, HorzPos);
    EXPECT_EQ(seen.caption, "Horizontal Position (pixels)");
    EXPECT_EQ(seen.max, 800 - 33);
    EXPECT_EQ(seen.box, "0");  // not the cell's value
    EXPECT_EQ(seen.large, 10);
    EXPECT_FALSE(seen.presetsShown);
    EXPECT_EQ(cell(HorzPos, 1), "120");
    EXPECT_EQ(cell(VertPos, 1), "Mid");
    vd::typeAndEnter(sim.user, "9999", &seen);
    choose("mnuVPOS", "vposX");
    open(1, VertPos);
    EXPECT_EQ(seen.caption, "Vertical Position (pixels)");
    EXPECT_EQ(cell(VertPos, 1), std::to_string(600 - 33));
}

TEST_F(Attributes, GlobalPositionsSkipBlankCells_GlobalMidCentresBothAxes) {
    addEveryKind();
    grid().setCell(VertPos, pic2, "Top");
    choose("mnuHPOS", "hpos0");
    open(pic, HorzPos, true);
    EXPECT_EQ(column(HorzPos), (Row{"Left", "Left", "Left", B, B, B, B, "Left"}));
    EXPECT_EQ(column(VertPos), (Row{"Mid", "Mid", "Mid", B, B, B, B, "Top"}));
    choose("mnuVPOS", "vpos1");
    open(pic, VertPos, true);
    EXPECT_EQ(column(HorzPos), (Row{"Mid", "Mid", "Mid", B, B, B, B, "Mid"}));
    EXPECT_EQ(column(VertPos), column(HorzPos));
    vd::typeAndEnter(sim.user, "30");
    choose("mnuVPOS", "vposX");
    open(pic, VertPos, true);
    EXPECT_EQ(column(VertPos), (Row{"30", "30", "30", B, B, B, B, "30"}));
    EXPECT_EQ(column(HorzPos), (Row{"Mid", "Mid", "Mid", B, B, B, B, "Mid"}));
}

// ---- delay, gamma, zoom, volume, speed ------------------------------------------------------

TEST_F(Attributes, DelayDialogStartsAtZeroEvenWhenTheDelayIs10) {
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    grid().setCell(Wait, 1, "10");
    vd::Seen seen;
    vd::clickPreset(sim.user, 3, &seen);  // d = 30
    open(1, Wait);
    EXPECT_EQ(seen, vd::shows("Slide Delay/Wait (secs)", 0, 32000, 0, 60, 1, {1, 5, 10, 30, 60, 120}));
    EXPECT_EQ(cell(Wait, 1), "30");
}

TEST_F(Attributes, GlobalGammaChangesGraphicSlidesOnly_GlobalDelayReachesEveryKindButTheNestedScript) {
    addEveryKind();
    vd::typeAndEnter(sim.user, "150");
    open(pic, Gamma, true);
    EXPECT_EQ(column(Gamma), (Row{"150", B, B, B, B, B, B, "150"}));
    vd::typeAndEnter(sim.user, "7");
    open(wav, Wait, true);
    EXPECT_EQ(column(Wait), (Row{"7", "7", "7", "7", "7", "7", B, "7"}));
}

TEST_F(Attributes, ZoomVolumeAndSpeedOfTheCurrentVideo) {
    addEveryKind();
    vd::Seen z, v, s;
    vd::typeAndEnter(sim.user, "5", &z);  // below the minimum: 25
    open(avi, Zoom);
    vd::clickPreset(sim.user, 0, &v);  // a = 0
    open(mov, Volume);
    vd::typeAndEnter(sim.user, "175", &s);
    open(avi, Speed);
    EXPECT_EQ(cell(Zoom, avi), "25");
    EXPECT_EQ(cell(Volume, mov), "0");
    EXPECT_EQ(cell(Speed, avi), "175");
    EXPECT_EQ(cell(Zoom, mov), "100");
    EXPECT_EQ(z, vd::shows("Video Zoom Factor (%)", 25, 400, 100, 25, 1, {50, 75, 150, 200, 300, 400}));
    EXPECT_EQ(v, vd::shows("Audio Volume Factor (%)", 0, 100, 100, 10, 1, {0, 20, 40, 50, 60, 80}));  // not the MOV's 50
    EXPECT_EQ(s, vd::shows("Video Speed Factor (%)", 25, 200, 100, 25, 1, {25, 50, 75, 125, 150, 200}));
    // Global volume: videos only.
    vd::typeAndEnter(sim.user, "60");
    open(avi, Volume, true);
    EXPECT_EQ(cell(Volume, avi), "60");
    EXPECT_EQ(cell(Volume, mov), "60");
    EXPECT_EQ(cell(Volume, pic), B);
}

// ---- cancelling, the modified flag, global mode -------------------------------------------

TEST_F(Attributes, CancelledChoicesChangeNoCellButMarkTheScriptModified) {
    addEveryKind();
    const auto before = grid().rowCells(pic);
    vd::cancel(sim.user);
    open(pic, Gamma);
    EXPECT_TRUE(editorState().modified);
    editorState().modified = false;
    open(pic, EffectName);  // the menu is closed without a choice
    EXPECT_TRUE(editorState().modified);
    vd::cancel(sim.user);
    open(pic, Wait, true);
    sim.user.answerColor(std::nullopt);
    choose("mnuColor", "clrUser");
    open(pic, UseColor, true);
    vd::cancel(sim.user);
    choose("mnuHPOS", "hposX");
    open(pic, HorzPos);
    EXPECT_EQ(grid().rowCells(pic), before);
    EXPECT_EQ(cell(Wait, pic2), "0");
    EXPECT_EQ(cell(ColorValue, pic2), "0");
}

TEST_F(Attributes, GlobalModeLastsUntilTheNextCommonAction) {
    addEveryKind();
    vd::typeAndEnter(sim.user, "3");
    open(pic, Wait, true);
    EXPECT_TRUE(editorState().globalMode);
    EXPECT_EQ(cell(Wait, pic2), "3");
    vd::typeAndEnter(sim.user, "9");
    open(pic, Wait);
    EXPECT_FALSE(editorState().globalMode);
    EXPECT_EQ(cell(Wait, pic), "9");
    EXPECT_EQ(cell(Wait, pic2), "3");
    // "&Global" on the file name column, or on a blank cell, opens nothing.
    open(pic, DisplayName, true);
    open(avi, Gamma, true);
    EXPECT_TRUE(sim.user.popups.empty());
    EXPECT_EQ(sim.user.modalForms.size(), 2u);
}

// ---- what survives a save and a load -------------------------------------------------------

TEST_F(Attributes, EditedValuesSurviveASaveAndALoad) {
    sim.writeFile("c:\\p\\a.bmp");
    sim.writeFile("c:\\p\\b.avi");
    sim.writeFile("c:\\p\\g.bmp");
    editorState().CatalogId = "00001";
    pic = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    avi = add("c:\\p\\b.avi", &TEditorForm::SetUpAVI);
    pic2 = add("c:\\p\\g.bmp", &TEditorForm::SetUpGraphic);
    // Each step: a menu item chosen (menu and item) or a value typed, on a slide's cell.
    struct Step { const char* menu; const char* item; const char* typed; int row, col; };
    const Step steps[] = {
        {"mnuFX", "fx5", nullptr, pic, EffectName},     {"mnuColor", "clrRed", nullptr, pic, UseColor},
        {nullptr, nullptr, "12", pic, Wait},            {nullptr, nullptr, "140", pic, Gamma},
        {"mnuHPOS", "hposX", "40", pic, HorzPos},       {"mnuVPOS", "vpos0", nullptr, pic, VertPos},
        {nullptr, nullptr, "3", avi, EffectName},       {nullptr, nullptr, "200", avi, Zoom},
        {nullptr, nullptr, "40", avi, Volume},          {nullptr, nullptr, "150", avi, Speed},
        {"mnuHPOS", "hpos0", nullptr, pic2, HorzPos},  // Left, with the vertical axis still Mid: not stored
    };
    for (const Step& s : steps) {
        if (s.menu) choose(s.menu, s.item);
        if (s.typed) vd::typeAndEnter(sim.user, s.typed);
        open(s.row, s.col);
    }
    const auto picCells = grid().rowCells(pic);
    const auto aviCells = grid().rowCells(avi);

    editorState().TempScript = "c:\\s.avl";
    form->SaveFile(true);
    reload("c:\\s.avl");
    ASSERT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(grid().rowCells(1), picCells);
    EXPECT_EQ(grid().rowCells(2), aviCells);
    EXPECT_EQ(cell(HorzPos, 1), "40");
    EXPECT_EQ(cell(VertPos, 1), "Top");
    EXPECT_EQ(cell(EffectName, 1), "Rnd Pix");
    EXPECT_EQ(cell(ColorValue, 1), "255");
    EXPECT_EQ(cell(Gamma, 1), "140");
    EXPECT_EQ(cell(EffectName, 2), "Loop 3x");
    EXPECT_EQ(cell(HorzPos, 3), "Mid");
    EXPECT_EQ(cell(VertPos, 3), "Mid");
}

}  // namespace
