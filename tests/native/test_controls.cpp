// The framework's objects and the sim backend's modal loop, popup menus and dialogs.
#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/sim/sim_ui.h"

using namespace kv;

namespace {

struct Fixture : ::testing::Test {
    SimUser user;
    void SetUp() override { setUi(&user); }
    void TearDown() override { setUi(nullptr); }
};

struct DemoForm : Form {
    Panel* Band = make<Panel>(this, "Band");
    Button* BtnOK = make<Button>(Band, "BtnOK");
    Button* BtnQuit = make<Button>(Band, "BtnQuit");
    int activations = 0;
    bool allowClose = true;
    std::vector<int> keys;
    DemoForm() : Form("DemoForm") {
        BtnOK->modalResult = ModalResult::OK;
        BtnQuit->onClick = [this](Control*) { close(); };
        onActivate = [this](Control*) { ++activations; };
        onCloseQuery = [this](Control*, bool& can) { can = allowClose; };
        keyPreview = true;
        onKeyDown = [this](Control*, int& key, unsigned) {
            keys.push_back(key);
            if (key == vk::F10) key = 0;  // the form handles F10 itself
        };
    }
};

}  // namespace

TEST_F(Fixture, ButtonWithModalResultEndsTheModalLoop) {
    DemoForm f;
    user.onModal("DemoForm", [](Form& form) { static_cast<DemoForm&>(form).BtnOK->click(); });
    EXPECT_EQ(f.showModal(), ModalResult::OK);
    EXPECT_EQ(f.activations, 1);
    EXPECT_TRUE(f.closed());
    EXPECT_TRUE(user.unexpected.empty());
}

TEST_F(Fixture, RefusedCloseKeepsTheFormOpenAndClearsTheResult) {
    DemoForm f;
    f.allowClose = false;
    user.onModal("DemoForm", [](Form& form) {
        auto& d = static_cast<DemoForm&>(form);
        d.BtnQuit->click();
        EXPECT_EQ(d.modalResult(), ModalResult::None);
        EXPECT_FALSE(d.closed());
        d.allowClose = true;
    });
    user.onModal("DemoForm", [](Form& form) { static_cast<DemoForm&>(form).BtnQuit->click(); });
    EXPECT_EQ(f.showModal(), ModalResult::Cancel);
}

TEST_F(Fixture, DisabledControlsIgnoreClicksAndKeyPreviewRunsFirst) {
    DemoForm f;
    int clicks = 0;
    f.BtnOK->onClick = [&](Control*) { ++clicks; };
    f.BtnOK->setEnabled(false);
    f.BtnOK->click();
    EXPECT_EQ(clicks, 0);
    int seenByButton = 0;
    f.BtnOK->onKeyDown = [&](Control*, int&, unsigned) { ++seenByButton; };
    int k = vk::F10;
    f.BtnOK->keyDown(k, 0);
    k = vk::Space;
    f.BtnOK->keyDown(k, 0);
    EXPECT_EQ(f.keys, (std::vector<int>{vk::F10, vk::Space}));
    EXPECT_EQ(seenByButton, 1);  // F10 was consumed by the form
}

TEST_F(Fixture, UnscriptedDialogsAndFormsAreReportedNotHung) {
    EXPECT_EQ(user.messageDialog("Surprise", DialogKind::Confirmation, BtnYes | BtnNo), ModalResult::No);
    DemoForm f;
    f.showModal();  // nobody scripted what the user does
    ASSERT_EQ(user.unexpected.size(), 2u);
    EXPECT_EQ(user.unexpected[0], "dialog: Surprise");
    EXPECT_EQ(user.unexpected[1], "modal form left open: DemoForm");
}

TEST_F(Fixture, StringGridKeepsCellsRowsAndSelection) {
    Form f("F");
    auto* g = make<StringGrid>(&f, "Grid", 16, 2);
    g->fixedCols = 4;
    g->setBounds(0, 0, 600, 19 * 11);  // header and ten rows visible
    g->setRowCount(30);
    g->setCell(4, 29, "last");
    EXPECT_EQ(g->cell(4, 29), "last");
    EXPECT_EQ(g->cell(99, 99), "");  // out of range reads as empty
    g->setRow(29);
    EXPECT_EQ(g->row(), 29);
    EXPECT_EQ(g->topRow(), 29 - g->visibleRowCount() + 1);
    std::vector<std::pair<int, int>> moves;
    g->onRowMoved = [&](Control*, int a, int b) { moves.emplace_back(a, b); };
    g->moveRow(29, 1);
    EXPECT_EQ(g->cell(4, 1), "last");
    EXPECT_EQ(moves.size(), 1u);
    g->moveRow(0, 3);  // the header row cannot be moved
    EXPECT_EQ(moves.size(), 1u);
    g->setRowCount(5);
    EXPECT_EQ(g->row(), 4);
}

TEST_F(Fixture, PopupMenuRunsOnPopupAndTheScriptedChoice) {
    Form f("F");
    PopupMenu* m = f.addMenu("mnuFile");
    MenuItem* open = m->add("mnuOpen", "&Open", "Ctrl+L");
    MenuItem* save = m->add("mnuSave", "Save &As", "Ctrl+S");
    int opened = 0, saved = 0, popups = 0;
    open->onClick = [&](Control*) { ++opened; };
    save->onClick = [&](Control*) { ++saved; };
    m->onPopup = [&](Control*) { ++popups; };
    save->setEnabled(false);
    user.onPopup("mnuFile", [](PopupMenu& pm) {
        pm.find("mnuSave")->click();
        pm.find("mnuOpen")->click();
    });
    m->popup(10, 20);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(user.popupX, 10);
    EXPECT_EQ(f.findMenu("mnuFile"), m);
}

TEST_F(Fixture, ComboBoxChoiceFromCodeRunsNoEventTheUsersDoes) {
    DemoForm f;
    auto* box = make<ComboBox>(&f, "Box");
    box->setItems({"Pixels", "Inches", "cm."});
    int changes = 0;
    box->onChange = [&](Control*) { ++changes; };
    EXPECT_EQ(box->itemIndex(), -1);
    EXPECT_EQ(box->text(), "");
    box->setItemIndex(1);
    EXPECT_EQ(box->text(), "Inches");
    box->setText("CM.");
    EXPECT_EQ(box->itemIndex(), 2);
    EXPECT_EQ(changes, 0);
    box->select(0);
    box->select(0);  // the same item again: no change
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(box->text(), "Pixels");
    box->setText("Metres");
    EXPECT_EQ(box->itemIndex(), -1);
    box->setItemIndex(7);
    EXPECT_EQ(box->itemIndex(), -1);
    box->setEnabled(false);
    box->select(1);
    EXPECT_EQ(box->itemIndex(), -1);
    box->setEnabled(true);
    box->addItem("Points");
    box->select(3);
    EXPECT_EQ(box->text(), "Points");
    box->clear();
    EXPECT_TRUE(box->items().empty());
    EXPECT_EQ(box->itemIndex(), -1);
    EXPECT_EQ(f.findControl("Box"), box);
}

TEST_F(Fixture, CheckBoxReportsEveryChangeOfItsState) {
    DemoForm f;
    auto* chk = make<CheckBox>(&f, "Chk");
    chk->setCaption("Co&lor");
    std::vector<bool> seen;
    chk->onClick = [&](Control* c) { seen.push_back(static_cast<CheckBox*>(c)->checked()); };
    chk->setChecked(true);
    chk->setChecked(true);  // no change, no event
    chk->click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    chk->setEnabled(false);
    chk->click();
    EXPECT_FALSE(chk->checked());
    EXPECT_EQ(seen.size(), 2u);
}

// ---- Edit, RadioGroup, ScrollBar scrolls, dialog keys ------------------------------------

namespace {

struct EntryForm : Form {
    Edit* Box = make<Edit>(this, "Box");
    ScrollBar* Bar = make<ScrollBar>(this, "Bar");
    RadioGroup* Choices = make<RadioGroup>(this, "Choices");
    Button* BtnOK = make<Button>(this, "BtnOK");
    Button* BtnCancel = make<Button>(this, "BtnCancel");
    std::vector<std::string> changes;
    std::vector<std::string> events;
    EntryForm() : Form("EntryForm") {
        BtnOK->isDefault = true;
        BtnOK->modalResult = ModalResult::OK;
        BtnCancel->cancel = true;
        BtnCancel->modalResult = ModalResult::Cancel;
        Box->onChange = [this](Control*) { changes.push_back(Box->text()); };
        Box->onKeyDown = [this](Control*, int& k, unsigned) { events.push_back("down " + std::to_string(k)); };
        Box->onKeyUp = [this](Control*, int& k, unsigned) { events.push_back("up " + std::to_string(k)); };
        Box->onKeyPress = [this](Control*, char& c) { events.push_back(std::string("press ") + c); };
        Choices->setItems({"&a = 1", "&b = 2", "&c = 3"});
        Choices->setColumns(3);
    }
};

}  // namespace

TEST_F(Fixture, EditTextSetByTheProgramRunsOnChangeOnlyWhenItChanges_TypingReplacesTheSelection) {
    EntryForm f;
    f.Box->setText("100");
    f.Box->setText("100");
    EXPECT_EQ(f.changes, (std::vector<std::string>{"100"}));
    EXPECT_EQ(f.Box->caption(), "100");
    EXPECT_EQ(f.Box->selStart(), 0);
    // Typing replaces the selection one character at a time.
    f.changes.clear();
    f.Box->setFocus();  // selects the whole text
    EXPECT_TRUE(f.Box->focused());
    EXPECT_EQ(f.Box->selLength(), 3);
    f.Box->type("42");
    EXPECT_EQ(f.Box->text(), "42");
    EXPECT_EQ(f.changes, (std::vector<std::string>{"4", "42"}));
    EXPECT_EQ(f.events, (std::vector<std::string>{"down 52", "press 4", "up 52", "down 50", "press 2", "up 50"}));
    f.Box->type("\b");
    EXPECT_EQ(f.Box->text(), "4");
    f.Box->pressKey(vk::Home);
    f.Box->pressKey(vk::Delete);
    EXPECT_EQ(f.Box->text(), "");
}

TEST_F(Fixture, KeyPressCanRefuseACharacterAndMaxLengthLimitsTyping) {
    EntryForm f;
    f.Box->onKeyPress = [](Control*, char& c) {
        if (c == 'x') c = 0;
    };
    f.Box->setMaxLength(3);
    UserPort* saved = ports().user;
    ports().user = &user;
    f.Box->type("1x2345");
    ports().user = saved;
    EXPECT_EQ(f.Box->text(), "123");
    EXPECT_EQ(user.beeps, 2);  // 4 and 5 did not fit
}

TEST_F(Fixture, EnterInAnEditClicksTheDefaultButtonAndEscTheCancelButton) {
    EntryForm f;
    user.onModal("EntryForm", [&](Form& form) { user.pressKeyIn(form, "Box", vk::Return); });
    EXPECT_EQ(f.showModal(), ModalResult::OK);
    user.onModal("EntryForm", [&](Form& form) { user.typeInto(form, "Box", "7\x1b"); });
    EXPECT_EQ(f.showModal(), ModalResult::Cancel);
    EXPECT_EQ(f.Box->text(), "7");
    EXPECT_TRUE(user.unexpected.empty());
}

TEST_F(Fixture, RadioItemClickSelectsItAndRunsOnClickOnlyOnAChange) {
    EntryForm f;
    int clicks = 0;
    f.Choices->onClick = [&](Control*) { ++clicks; };
    f.Choices->setItemIndex(1);  // the program: no event
    EXPECT_EQ(clicks, 0);
    f.Choices->clickItem(2);
    f.Choices->clickItem(2);
    f.Choices->clickItem(7);
    EXPECT_EQ(f.Choices->itemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    f.Choices->setItem(0, "&a = 9");
    EXPECT_EQ(f.Choices->items()[0], "&a = 9");
    user.onModal("EntryForm", [&](Form& form) {
        user.clickRadioItem(form, "Choices", 0);
        form.setModalResult(ModalResult::OK);
    });
    f.showModal();
    EXPECT_EQ(f.Choices->itemIndex(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Fixture, ScrollBarScrollsBySteps_RunsOnScrollFirst_AndStaysInRange) {
    EntryForm f;
    f.Bar->setRange(10, 500);
    f.Bar->setPosition(100);
    f.Bar->largeChange = 10;
    std::vector<std::string> seen;
    f.Bar->onScroll = [&](Control*, ScrollCode, int& pos) { seen.push_back("scroll " + std::to_string(pos)); };
    f.Bar->onChange = [&](Control*) { seen.push_back("change " + std::to_string(f.Bar->position())); };
    f.Bar->scroll(ScrollCode::LineDown);
    f.Bar->scroll(ScrollCode::PageUp);
    f.Bar->scroll(ScrollCode::Track, 9999);
    f.Bar->scroll(ScrollCode::Top);
    EXPECT_EQ(seen, (std::vector<std::string>{"scroll 101", "change 101", "scroll 91", "change 91", "scroll 500",
                                              "change 500", "scroll 10", "change 10"}));
    user.onModal("EntryForm", [&](Form& form) {
        user.scrollBar(form, "Bar", ScrollCode::LineDown);
        user.clickButton(form, "BtnOK");
    });
    EXPECT_EQ(f.showModal(), ModalResult::OK);
    EXPECT_EQ(f.Bar->position(), 11);
}

TEST_F(Fixture, ScriptedUserActingOnAMissingControlIsReported) {
    EntryForm f;
    user.onModal("EntryForm", [&](Form& form) {
        user.typeInto(form, "Nope", "1");
        user.clickRadioItem(form, "Box", 0);
        form.setModalResult(ModalResult::OK);
    });
    f.showModal();
    EXPECT_EQ(user.unexpected.size(), 2u);
}
