// The editor window: what the editor export returns, the start without a script, the first
// activation's sizes, the file commands, the keyboard and closing.
#include <gtest/gtest.h>

#include <memory>

#include "tests/native/sim_kit.h"
#include "editor/editor_form.h"
#include "tests/native/editor_test_kit.h"
#include "editor/editor_run.h"
#include "explorer/explorer_dialog.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;

const std::string B = BlankMarker;

class EditorWindow : public editor_test::EditorTest {
protected:
    EditorWindow() {
        appDir.clear();
        lazyForm = true;
    }
    void SetUp() override {
        EditorTest::SetUp();
        kv::explorer::setRemoteDlgHandler([this](int32_t mode, int32_t) {
            dialogModes.push_back(mode);
            return -1;  // the user cancels
        });
    }
    void open() { form = std::make_unique<TEditorForm>(); }
    void setKey(const std::string& key, const std::string& value) { editor_test::setSetting(key, value); }
    // Appends a picture slide; the first replaces the blank start row.
    void addPicture(const std::string& path) {
        editor_test::appendSlide(*form, path, &TEditorForm::SetUpGraphic);
        form->EnableControls();
    }
    static TEditorForm& editor(kv::Form& f) { return static_cast<TEditorForm&>(f); }

    std::vector<int32_t> dialogModes;
};

TEST_F(EditorWindow, LayoutOfTheWindow) {
    open();
    EXPECT_EQ(form->clientWidth(), 607);
    EXPECT_FALSE(form->systemMenu);
    EXPECT_TRUE(form->keyPreview);
    EXPECT_EQ(form->borderStyle, kv::BorderStyle::Dialog);
    EXPECT_EQ(form->font().name, "MS Sans Serif");
    EXPECT_EQ(form->font().size, 8);
    EXPECT_TRUE(form->font().bold);
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [*New*]");
    EXPECT_EQ(form->Fullname->height(), 24);
    EXPECT_EQ(form->Fullname->caption(), "Slide Pathname: <blank>");
    EXPECT_EQ(form->PanelControls->height(), 94);
    EXPECT_EQ(form->PanelControls->top() + 94, form->clientHeight());
    EXPECT_FALSE(form->Gauge->visible());
    EXPECT_TRUE(form->PanelGrid->visible());
    EXPECT_FALSE(form->PanelThumbs->visible());
    EXPECT_EQ(form->Thumbnail->width(), 64);
    EXPECT_EQ(form->Thumbnail->height(), 64);
    EXPECT_EQ(form->ColorLabel->caption(), "no backcolor");
    // Every control carries its documented name, caption or hint and starting state.
    struct Expect { const char* name; const char* caption; const char* hint; bool enabled; };
    const Expect controls[] = {
        {"BtnLoad", "", "Open (load)", true},   {"BtnSave", "", "Save", false},
        {"BtnNew", "", "New", true},            {"BtnTest", "", "Run", false},
        {"BtnHelp", "", "Help", true},          {"BtnQuit", "", "Close", true},
        {"BtnFileMenu", "AVL &File", "File menu", true},
        {"BtnAdd", "&Add", "", true},           {"BtnInsert", "&Insert", "", false},
        {"BtnDelete", "", "Erase slide(s)", false}, {"BtnMove", "", "Move slide", false},
        {"BtnFind", "", "Find slide", false},   {"BtnTag", "&Tag", "", false},
        {"BtnView", "Vie&w", "", false},        {"BtnInfo", "", "File info", false},
        {"BtnRelocate", "", "Move file(s)", false}, {"BtnTrash", "", "Trash file", false},
        {"BtnGlobal", "&Global", "", true},     {"BtnCD", "C&D track", "", true},
        {"BtnSort", "Tool&s", "", false},       {"BtnCatalog", "&Update", "", false},
        {"BtnKillCat", "&Kill all", "", false},
    };
    for (const Expect& e : controls) {
        kv::Control* c = form->findControl(e.name);
        ASSERT_NE(c, nullptr) << e.name;
        EXPECT_EQ(c->caption(), e.caption) << e.name;
        EXPECT_EQ(c->hint(), e.hint) << e.name;
        EXPECT_EQ(c->enabled(), e.enabled) << e.name;
        EXPECT_TRUE(c->parent() == form->PanelControls || c->parent()->parent() == form->Tab) << e.name;
    }
    ASSERT_EQ(form->Tab->pages().size(), 2u);
    EXPECT_EQ(form->Tab->pages()[0]->caption(), "&Editor           ");
    EXPECT_EQ(form->Tab->pages()[1]->caption(), "Th&umbnails    ");

    const auto& edit = form->mnuEdit->items();
    // The documented items keep their places; undo and redo follow after a separator, with
    // their shortcuts, disabled while there is nothing to undo or redo.
    ASSERT_EQ(edit.size(), 23u);
    EXPECT_EQ(edit[19].get(), form->mnuContactSheet);
    EXPECT_TRUE(edit[20]->isSeparator());
    EXPECT_EQ(edit[21]->caption() + " " + edit[21]->shortcut(), "&Undo Ctrl+Z");
    EXPECT_EQ(edit[22]->caption() + " " + edit[22]->shortcut(), "Redo Ctrl+Y");
    EXPECT_EQ(edit[0]->caption(), "&Add slide(s)");
    EXPECT_TRUE(edit[0]->enabled());
    for (size_t i = 1; i < edit.size(); ++i)
        if (!edit[i]->isSeparator()) EXPECT_FALSE(edit[i]->enabled()) << edit[i]->name();
    EXPECT_TRUE(form->mnuInfo->newColumn);
    EXPECT_EQ(form->mnuContactSheet->caption(), "C&ontact sheet");
}

TEST_F(EditorWindow, WithoutAScriptTheEditorStartsNew) {
    bool checked = false;
    sim.user.onModal("EditorForm", [&](kv::Form& f) {
        TEditorForm& e = editor(f);
        EXPECT_EQ(e.caption(), "Kavrin Slide Editor [*New*]");
        EXPECT_FALSE(editorState().modified);
        EXPECT_FALSE(e.BtnSave->enabled());
        EXPECT_FALSE(e.BtnTest->enabled());
        EXPECT_EQ(e.Grid->rowCount(), 2);
        EXPECT_EQ(e.Grid->cell(DisplayName, 1), "<right-click me>");
        checked = true;
        e.BtnQuit->click();
    });
    EXPECT_EQ(runEditor(), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(editorState().CurrentScript, "*");
    EXPECT_EQ(editorState().TempScript, "ERROR");
    EXPECT_EQ(editorState().AppDir, "ERROR");  // no backslash added to the missing value
    ASSERT_GE(sim.user.cursorHistory.size(), 2u);
    EXPECT_EQ(sim.user.cursorHistory.front(), kv::CursorKind::HourGlass);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);
}

TEST_F(EditorWindow, SettingsAndResults) {
    setKey("AVLFIL", "*");
    setKey("AVLTMP", "c:\\kavrin\\temp.avl");
    setKey("AppDir", "c:\\kavrin");
    const std::pair<ModalResult, int32_t> results[] = {
        {ModalResult::OK, 1}, {ModalResult::Retry, 2}, {ModalResult::Cancel, 0}, {ModalResult::Abort, 0}};
    for (auto [r, code] : results) {
        sim.user.onModal("EditorForm", [r = r](kv::Form& f) { f.setModalResult(r); });
        EXPECT_EQ(runEditor(), code);
    }
    EXPECT_EQ(editorState().TempScript, "c:\\kavrin\\temp.avl");
    EXPECT_EQ(editorState().AppDir, "c:\\kavrin\\");
}

TEST_F(EditorWindow, RunNeedsASlide) {
    open();
    form->EnableControls();  // as after the last slide was erased
    sim.user.answer("Nothing to test!", ModalResult::OK);
    form->BtnTest->click();
    ASSERT_EQ(sim.user.dialogs.size(), 1u);
    EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Information);
    EXPECT_EQ(sim.user.dialogs[0].buttons, kv::BtnOK);
    EXPECT_EQ(form->modalResult(), ModalResult::None);

    // Disabled, the button does nothing at all.
    form->DisableControls();
    form->BtnTestClick(form.get());
    EXPECT_EQ(sim.user.dialogs.size(), 1u);
}

TEST_F(EditorWindow, RunWithOneCdTrackPlaysIt) {
    setKey("AVLTMP", "c:\\temp.avl");
    sim.user.onModal("EditorForm", [](kv::Form& f) {
        TEditorForm& e = editor(f);
        auto& g = *e.Grid;
        g.setCell(FilePath, 1, B);
        g.setCell(DisplayName, 1, "CD Track: 7");
        e.SetUpAudio();
        g.setCell(Param, 1, "7");
        e.EnableControls();
        editorState().modified = true;
        e.BtnTest->click();
        EXPECT_FALSE(editorState().modified);
    });
    EXPECT_EQ(runEditor(), -1);
    EXPECT_TRUE(sim.user.dialogs.empty());
}

TEST_F(EditorWindow, NewAsksOnlyWhenThereAreTwoSlides) {
    open();
    addPicture("c:\\p\\a.bmp");
    editorState().modified = true;
    form->BtnNew->click();  // one slide: no question
    EXPECT_TRUE(sim.user.dialogs.empty());
    EXPECT_EQ(form->Grid->cell(DisplayName, 1), "<right-click me>");
    EXPECT_FALSE(editorState().modified);
    EXPECT_FALSE(form->BtnSave->enabled());
    EXPECT_FALSE(form->mnuView->enabled());

    addPicture("c:\\p\\a.bmp");
    addPicture("c:\\p\\b.bmp");
    sim.user.answer("Discard script?", ModalResult::No);
    form->BtnNew->click();
    EXPECT_EQ(form->Grid->rowCount(), 3);
    EXPECT_TRUE(form->BtnSave->enabled());
    ASSERT_EQ(sim.user.dialogs.size(), 1u);
    EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Confirmation);
    EXPECT_EQ(sim.user.dialogs[0].buttons, kv::BtnYes | kv::BtnNo);

    form->setTitle("show.avl");
    sim.user.answer("Discard script?", ModalResult::Yes);
    int ctrlN = 'N';
    form->Grid->keyDown(ctrlN, kv::CtrlKey);
    EXPECT_EQ(form->Grid->rowCount(), 2);
    EXPECT_FALSE(form->BtnSave->enabled());
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [show.avl]");  // New keeps the caption
}

TEST_F(EditorWindow, SlideControlsGoTogether) {
    open();
    form->mnuView->setEnabled(true);
    form->EnableControls();
    for (kv::MenuItem* m : {form->mnuFind, form->mnuInfo, form->mnuRelocate, form->mnuRename, form->mnuTagAll,
                            form->mnuUnTagAll, form->mnuGotoSlide, form->mnuSortName, form->mnuSortDate,
                            form->mnuSortSize, form->mnuTag, form->mnuMove, form->mnuCut, form->mnuTrash,
                            form->mnuInsert})
        EXPECT_TRUE(m->enabled()) << m->name();
    for (kv::Button* b : {form->BtnFind, form->BtnInfo, form->BtnRelocate, form->BtnSort, form->BtnTag,
                          form->BtnView, form->BtnSave, form->BtnTest, form->BtnMove, form->BtnDelete,
                          form->BtnTrash, form->BtnInsert, form->BtnCatalog, form->BtnKillCat})
        EXPECT_TRUE(b->enabled()) << b->name();
    EXPECT_FALSE(form->mnuContactSheet->enabled());

    // BtnFind stands for the set: a second enable changes nothing it did not change.
    form->BtnSave->setEnabled(false);
    form->EnableControls();
    EXPECT_FALSE(form->BtnSave->enabled());

    form->DisableControls();
    EXPECT_FALSE(form->mnuView->enabled());
    EXPECT_FALSE(form->BtnKillCat->enabled());
    EXPECT_TRUE(form->BtnAdd->enabled());
    EXPECT_TRUE(form->mnuAdd->enabled());
}

TEST_F(EditorWindow, CtrlShortcutsNeedCtrlAlone) {
    editorState().TempScript = "c:\\temp.avl";
    open();
    addPicture("c:\\p\\a.bmp");
    sim_test::press(form->Grid, 'S', kv::CtrlKey | kv::ShiftKey);
    sim_test::press(form->Grid, 'S', kv::CtrlKey | kv::AltKey);
    sim_test::press(form->Grid, 'S');
    EXPECT_TRUE(dialogModes.empty());

    sim_test::press(form->Grid, 'R', kv::CtrlKey | kv::ShiftKey);
    EXPECT_EQ(form->modalResult(), ModalResult::None);
    EXPECT_EQ(sim_test::press(form->Grid, 'R', kv::CtrlKey), 0);  // handled: the table does not see it
    EXPECT_EQ(form->modalResult(), ModalResult::All);

    sim_test::press(form->Grid, 'S', kv::CtrlKey);
    EXPECT_EQ(dialogModes, std::vector<int32_t>{kv::explorer::ModeSaveScript});

    // A held mouse button is not a modifier.
    sim_test::press(form->Grid, 'S', kv::CtrlKey | kv::LeftButton);
    EXPECT_EQ(dialogModes.size(), 2u);
}

TEST_F(EditorWindow, HelpAndFileMenu) {
    open();
    form->BtnHelp->click();
    form->mnuHelp->click();
    ASSERT_EQ(sim.system.helpCalls.size(), 2u);
    EXPECT_EQ(sim.system.helpCalls[0], (std::pair<std::string, int>{"KAVRIN.HLP", 300}));

    sim.user.mouseX = 250;
    sim.user.mouseY = 400;
    sim.user.onPopup("mnuFile", [](kv::PopupMenu& m) { m.find("mnuNew")->click(); });
    form->BtnFileMenu->click();
    EXPECT_EQ(sim.user.popups, std::vector<std::string>{"mnuFile"});
    EXPECT_EQ(sim.user.popupX, 250);
    EXPECT_EQ(sim.user.popupY, 400);
}

TEST_F(EditorWindow, ThumbnailPageKeys) {
    open();
    for (int i = 0; i < 40; ++i) addPicture("c:\\p\\s" + std::to_string(i) + ".bmp");
    form->Grid->setRow(10);
    form->Tab->setPageIndex(1);
    EXPECT_TRUE(form->PanelThumbs->visible());
    EXPECT_FALSE(form->Grid->visible());
    EXPECT_EQ(editorState().CatPageSize, 32);
    EXPECT_EQ(form->CatScroll->position(), 10);
    EXPECT_EQ(form->CatScroll->maxValue(), 40);

    sim_test::press(form->Grid, kv::vk::Prior);
    EXPECT_EQ(form->CatScroll->position(), 1);
    sim_test::press(form->Grid, kv::vk::Next);
    EXPECT_EQ(form->CatScroll->position(), 33);
    sim_test::press(form->Grid, kv::vk::Next);
    EXPECT_EQ(form->CatScroll->position(), 40);

    sim_test::press(form->Grid, kv::vk::F10);
    EXPECT_EQ(sim.user.popups, std::vector<std::string>{"mnuEdit"});
    sim_test::press(form->Grid, 'E', kv::CtrlKey);  // only on the editor page
    EXPECT_EQ(sim.user.focused, nullptr);

    form->Tab->setPageIndex(0);
    EXPECT_FALSE(form->PanelThumbs->visible());
    EXPECT_TRUE(form->Grid->visible());
    sim_test::press(form->Grid, kv::vk::Prior);
    EXPECT_EQ(form->CatScroll->position(), 40);  // the editor page ignores paging
    sim_test::press(form->Grid, kv::vk::F10);
    EXPECT_EQ(sim.user.popups.size(), 1u);
    sim_test::press(form->BtnAdd, 'E', kv::CtrlKey);
    EXPECT_EQ(sim.user.focused, form->Grid);
}

TEST_F(EditorWindow, FirstActivationFitsTheScreen) {
    struct Case {
        int screenH, caption, frame;  // screen height, caption and dialog-frame metrics
        int windowH, top, catRows;
    };
    // grid = client - 24 - 94, made a multiple of 80 plus 4.
    const Case cases[] = {
        {600, 0, 0, 602, -1, 6},    // grid 482 -> 484
        {768, 18, 3, 706, 31, 7},   // grid 626 -> 564
        {1080, 18, 3, 1026, 27, 11},  // grid 938 -> 884
    };
    for (const Case& c : cases) {
        sim.user.screenH = c.screenH;
        sim.user.metrics[4] = c.caption;
        sim.user.metrics[7] = c.frame;
        sim.user.metrics[8] = c.frame;
        open();
        form->activate();
        EXPECT_EQ(form->height(), c.windowH) << c.screenH;
        EXPECT_EQ(form->top(), c.top) << c.screenH;
        EXPECT_EQ(editorState().CatRows, c.catRows) << c.screenH;
        EXPECT_EQ(form->Grid->height() % 80, 4) << c.screenH;
        EXPECT_EQ(form->clientHeight(), form->Grid->height() + 24 + 94) << c.screenH;
        // A second activation (the user comes back from another window) changes nothing.
        sim.user.screenH = 480;
        form->activate();
        EXPECT_EQ(form->height(), c.windowH) << c.screenH;
    }
}

TEST_F(EditorWindow, FirstActivationSetsColumnWidths) {
    // Window 607 wide (no frame): u = 607 / 634.
    open();
    form->activate();
    auto& g = *form->Grid;
    const int expected0[16] = {34, 1, 1, 1, 0, 29, 96, 43, 34, 34, 43, 34, 34, 34, 1, 29};
    int sum = 0;
    for (int c = 0; c < 16; ++c)
        if (c != DisplayName) {
            EXPECT_EQ(g.colWidth(c), expected0[c]) << c;
            sum += g.colWidth(c);
        }
    EXPECT_EQ(sum, 448);
    // The file name takes the rest, less the scroll-bar thumb (17) and 14 pixels.
    EXPECT_EQ(g.colWidth(DisplayName), 607 - (449 + 17 + 14));

    // A frame of 3 pixels each side: u = 613 / 634.
    sim.user.metrics[7] = 3;
    open();
    form->activate();
    EXPECT_EQ(form->width(), 613);
    EXPECT_EQ(form->Grid->colWidth(EffectName), 97);
    EXPECT_EQ(form->Grid->colWidth(Wait), 44);
    EXPECT_EQ(form->Grid->colWidth(SlideNo), 34);
    EXPECT_EQ(form->Grid->colWidth(Tag), 29);
}

TEST_F(EditorWindow, CloseWhileModifiedAsks) {
    open();
    editorState().modified = true;
    sim.user.answer("Discard changes?", ModalResult::Yes);
    EXPECT_TRUE(form->closeQuery());

    // No: Save As, which is not possible without slides; the window stays open.
    sim.user.answer("Discard changes?", ModalResult::No);
    form->setModalResult(ModalResult::Cancel);
    EXPECT_FALSE(form->closeQuery());
    EXPECT_EQ(form->modalResult(), ModalResult::None);
    EXPECT_TRUE(dialogModes.empty());
    EXPECT_EQ(sim.user.dialogs.size(), 2u);
    EXPECT_EQ(sim.user.dialogs[1].kind, kv::DialogKind::Confirmation);

    // Not modified: no question.
    editorState().modified = false;
    EXPECT_TRUE(form->closeQuery());
    EXPECT_EQ(sim.user.dialogs.size(), 2u);
}

TEST_F(EditorWindow, CloseWhileModifiedThroughTheModalLoop) {
    sim.user.onModal("EditorForm", [](kv::Form& f) {
        editorState().modified = true;
        editor(f).BtnQuit->click();  // asks, the user says No, Save As is not possible
    });
    sim.user.onModal("EditorForm", [](kv::Form& f) {
        EXPECT_FALSE(f.closed());
        f.setModalResult(ModalResult::Cancel);  // asks again, the user says Yes
    });
    sim.user.answer("Discard changes?", ModalResult::No);
    sim.user.answer("Discard changes?", ModalResult::Yes);
    EXPECT_EQ(runEditor(), 0);
    EXPECT_EQ(sim.user.dialogs.size(), 2u);
}

class EditorScripts : public EditorWindow {
protected:
    // The explorer dialog answers with this name for every mode.
    void chooseInDialog(const std::string& name) {
        kv::explorer::setRemoteDlgHandler([this, name](int32_t mode, int32_t) {
            dialogModes.push_back(mode);
            setKey("SaveName", name);
            return 0;
        });
    }
    void addSlide(const std::string& path, void (TEditorForm::*setUp)()) {
        sim.writeFile(path);
        editor_test::appendSlide(*form, path, setUp);
        form->EnableControls();
    }
};

TEST_F(EditorScripts, NewSlidesAfterSaveAndLoad) {
    open();
    addSlide("c:\\media\\clip.mov", &TEditorForm::SetUpMOV);
    addSlide("c:\\media\\bell.wav", &TEditorForm::SetUpAudio);
    addSlide("c:\\media\\a.bmp", &TEditorForm::SetUpGraphic);
    form->TagSlide();
    auto& g = *form->Grid;
    EXPECT_EQ(g.cell(EffectName, 1), B);
    EXPECT_EQ(g.cell(Volume, 1), "50");
    EXPECT_EQ(g.cell(Param, 2), "1");
    EXPECT_EQ(g.cell(Tag, 3), "X");

    chooseInDialog("c:\\show.avl");
    form->BtnSave->click();
    EXPECT_FALSE(editorState().modified);
    sim.user.answer("Discard script?", ModalResult::Yes);
    form->BtnLoad->click();
    EXPECT_EQ(dialogModes, (std::vector<int32_t>{kv::explorer::ModeSaveScript, kv::explorer::ModeOpenScript}));
    ASSERT_EQ(g.rowCount(), 4);
    // The loaded MOV video has a loop cell and keeps its half volume; the sound's Param is 0;
    // tags are not kept.
    EXPECT_EQ(g.cell(EffectName, 1), "Loop 1x");
    EXPECT_EQ(g.cell(Volume, 1), "50");
    EXPECT_EQ(g.cell(Param, 2), "0");
    EXPECT_EQ(g.cell(Tag, 3), "");
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [show.avl]");
    EXPECT_TRUE(form->BtnSave->enabled());
}

TEST_F(EditorScripts, ScriptOpenedWithoutAVLNOWCountsAsModified) {
    open();
    addSlide("c:\\media\\a.bmp", &TEditorForm::SetUpGraphic);
    chooseInDialog("c:\\show.avl");
    form->BtnSave->click();
    form.reset();

    setKey("AVLFIL", "c:\\show.avl");
    setKey("AVLNOW", "");
    sim.user.onModal("EditorForm", [](kv::Form& f) {
        TEditorForm& e = editor(f);
        EXPECT_EQ(e.caption(), "Kavrin Slide Editor [*New*]");
        EXPECT_EQ(e.Grid->cell(DisplayName, 1), "a.bmp");
        EXPECT_TRUE(editorState().modified);
        EXPECT_TRUE(e.BtnTest->enabled());
        e.BtnQuit->click();
    });
    sim.user.answer("Discard changes?", ModalResult::Yes);
    EXPECT_EQ(runEditor(), 0);
    EXPECT_EQ(sim.user.dialogs.size(), 1u);
}

TEST_F(EditorScripts, OpenDiscardsTheTableEvenWhenCancelled) {
    open();
    addSlide("c:\\media\\a.bmp", &TEditorForm::SetUpGraphic);
    addSlide("c:\\media\\b.bmp", &TEditorForm::SetUpGraphic);
    form->Tab->setPageIndex(1);
    sim.user.answer("Discard script?", ModalResult::Yes);
    sim_test::press(form->Grid, 'L', kv::CtrlKey);
    EXPECT_EQ(dialogModes, std::vector<int32_t>{kv::explorer::ModeOpenScript});
    EXPECT_EQ(form->Grid->rowCount(), 2);
    EXPECT_EQ(form->Grid->cell(DisplayName, 1), "<right-click me>");
    EXPECT_EQ(form->Tab->pageIndex(), 0);
    EXPECT_FALSE(form->PanelThumbs->visible());
    EXPECT_TRUE(editorState().modified);  // a cancelled Open marks the table changed
}

}  // namespace
