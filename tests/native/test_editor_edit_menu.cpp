// The editor's slide menu mnuEdit: how it opens and updates itself: the "Tool&s" button
// opens it at the mouse, and each opening enables "Vie&w file(s)" and "C&ontact sheet" from
// the current slide and the page shown. Also where the keyboard focus goes when the editor
// opens.
#include <gtest/gtest.h>

#include <memory>

#include "editor/editor_form.h"
#include "editor/editor_run.h"
#include "tests/native/editor_test_kit.h"
#include "tests/native/sim_kit.h"

namespace {

using namespace kv::editor;

class EditMenu : public editor_test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // What mnuEdit showed each time it opened.
        sim.user.onPopup("mnuEdit", [this](kv::PopupMenu&) { record(); });
    }
    void addSlide(const std::string& path, void (TEditorForm::*setUp)()) {
        add(path, setUp);
        form->EnableControls();
    }
    void record() {
        viewShown.push_back(form->mnuView->enabled());
        sheetShown.push_back(form->mnuContactSheet->enabled());
        // Each opening is scripted anew.
        sim.user.onPopup("mnuEdit", [this](kv::PopupMenu&) { record(); });
    }
    void openByKeyboard() {
        char space = ' ';
        form->Grid->keyPress(space);
    }

    std::vector<bool> viewShown, sheetShown;
};

TEST_F(EditMenu, ViewFilesFollowsTheCurrentSlidesFile) {
    // The blank start row has no file.
    openByKeyboard();
    // A picture slide has one, whatever the other controls say.
    addSlide("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    openByKeyboard();
    form->mnuView->setEnabled(true);
    form->DisableControls();  // New disables the item; the next opening decides again
    openByKeyboard();
    // A sound slide too.
    addSlide("c:\\p\\bell.wav", &TEditorForm::SetUpAudio);
    form->Grid->setCol(DisplayName);
    openByKeyboard();
    // The blank start row again, after New.
    sim.user.answer("Discard script?", kv::ModalResult::Yes);
    form->BtnNew->click();
    openByKeyboard();
    EXPECT_EQ(viewShown, (std::vector<bool>{false, true, true, true, false}));
}

// "Tool&s" opens the menu at the mouse; "C&ontact sheet" only on the thumbnails page.
TEST_F(EditMenu, ToolsButtonOpensTheSlideMenuAtTheMouseWithContactSheetOnlyOnTheThumbnailsPage) {
    addSlide("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    ASSERT_TRUE(form->BtnSort->enabled());
    sim.user.mouseX = 432;
    sim.user.mouseY = 345;
    form->BtnSort->click();
    EXPECT_EQ(sim.user.popups, std::vector<std::string>{"mnuEdit"});
    EXPECT_EQ(sim.user.popupX, 432);
    EXPECT_EQ(sim.user.popupY, 345);
    form->Tab->setPageIndex(1);
    sim_test::press(form->Grid, kv::vk::F10);  // the thumbnails page opens the menu with F10
    form->Tab->setPageIndex(0);
    form->BtnSort->click();
    EXPECT_EQ(sheetShown, (std::vector<bool>{false, true, false}));
}

// A person opening the editor works with the keyboard at once: the first activation gives
// the slide table the keyboard focus.
TEST_F(EditMenu, TheSlideTableHasTheFocusAfterTheFirstActivation) {
    EXPECT_EQ(sim.user.focused, nullptr);
    form->activate();
    EXPECT_EQ(sim.user.focused, form->Grid);
}

}  // namespace
