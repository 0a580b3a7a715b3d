// The value-entry dialog, driven by the sim backend's scripted user.
#include <gtest/gtest.h>

#include "dialogs/value_dialog.h"
#include "framework/sim/sim_platform.h"
#include "tests/native/value_dialog_kit.h"

namespace {

using namespace kv::dialogs;
using kv::Form;
using kv::ModalResult;
using kv::ScrollCode;

class ValueDialog : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(sim.user.unexpected.empty()) << sim.user.unexpected.front();
        EXPECT_EQ(valueDialogState().dialog, nullptr);
    }
    static TXScrlDlg& dlg(Form& f) { return static_cast<TXScrlDlg&>(f); }
    int32_t gamma() { return ShowValueDialog("Gamma Correction (n/100)", 10, 500, 100, 10, 1, 80, 120, 140, 160, 180, 200); }
    int32_t zoom() { return ShowValueDialog("Video Zoom Factor (%)", 25, 400, 100, 25, 1, 50, 75, 150, 200, 300, 400); }
    // The user's act on the open dialog.
    void then(std::function<void(TXScrlDlg&)> act) {
        sim.user.onModal("XScrlDlg", [act](Form& f) { act(static_cast<TXScrlDlg&>(f)); });
    }

    kv::SimPlatform sim;
    kv::SimUser& user = sim.user;
};

TEST_F(ValueDialog, TheWindowAsItOpens) {
    value_dialog_test::Seen seen;
    bool checked = false;
    then([&](TXScrlDlg& d) {
        seen = value_dialog_test::look(d);
        EXPECT_EQ(valueDialogState().dialog, &d);
        EXPECT_EQ(d.clientWidth(), 259);
        EXPECT_EQ(d.clientHeight(), 178);
        EXPECT_FALSE(d.systemMenu);
        EXPECT_TRUE(d.stayOnTop);
        EXPECT_EQ(d.borderStyle, kv::BorderStyle::Dialog);
        EXPECT_EQ(d.font().name, "MS Sans Serif");
        EXPECT_EQ(d.font().size, 8);
        EXPECT_TRUE(d.font().bold);
        EXPECT_EQ(d.font().color, kv::SysColor(kv::syscolor::WindowText));
        EXPECT_TRUE(d.CustomSetting->focused());
        EXPECT_EQ(d.CustomSetting->width(), 51);
        EXPECT_EQ(d.CustomScrollBar->parent(), d.Panel1);
        EXPECT_EQ(d.BtnOK->caption(), "&Ok");
        EXPECT_TRUE(d.BtnOK->isDefault);
        EXPECT_EQ(d.BtnCancel->caption(), "Cancel");
        EXPECT_TRUE(d.BtnCancel->cancel);
        EXPECT_EQ(d.GroupOptions->caption(), "Preset Options");
        EXPECT_EQ(d.GroupOptions->columns(), 3);
        EXPECT_EQ(d.LabelMax->alignment, kv::Alignment::Right);
        // Centred on the 800 x 600 screen.
        EXPECT_EQ(d.left(), (800 - d.width()) / 2);
        EXPECT_EQ(d.top(), (600 - d.height()) / 2);
        checked = true;
        d.BtnCancel->click();
    });
    EXPECT_EQ(gamma(), ValueCancelled);
    ASSERT_TRUE(checked);
    EXPECT_EQ(seen, (value_dialog_test::Seen{"Gamma Correction (n/100)", "10", "500", "100", 10, 500, 100, 10, 1, true,
                                              {"&a = 80", "&b = 120", "&c = 140", "&d = 160", "&e = 180", "&f = 200"}}));
    EXPECT_EQ(seen, value_dialog_test::shows("Gamma Correction (n/100)", 10, 500, 100, 10, 1, {80, 120, 140, 160, 180, 200}));
}

TEST_F(ValueDialog, NoPresetsHidesTheGroupAndShortensTheWindow) {
    int withPresets = 0, without = 0, outerWith = 0, outerWithout = 0;
    bool shown = true;
    then([&](TXScrlDlg& d) {
        withPresets = d.clientHeight();
        outerWith = d.height();
        d.BtnCancel->click();
    });
    gamma();
    then([&](TXScrlDlg& d) {
        without = d.clientHeight();
        outerWithout = d.height();
        shown = d.GroupOptions->visible();
        EXPECT_EQ(d.top(), (600 - d.height()) / 2);
        d.BtnCancel->click();
    });
    ShowValueDialog("CD Audio Track Selection", 1, 99, 1, 1, 1, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(shown);
    EXPECT_EQ(withPresets, 178);
    EXPECT_EQ(without, 178 - (78 + 12));
    EXPECT_EQ(outerWith - outerWithout, 78 + 12);
}

TEST_F(ValueDialog, TypingOutsideTheLimitsLeavesTheScrollBar_OkAndEnterReturnTheNearerLimit) {
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "99");
        EXPECT_EQ(d.CustomScrollBar->position(), 99);
        user.typeInto(d, "CustomSetting", "9");
        EXPECT_EQ(d.CustomSetting->text(), "999");
        EXPECT_EQ(d.CustomScrollBar->position(), 99);  // where it was
        user.clickButton(d, "BtnOK");
        EXPECT_EQ(d.CustomSetting->text(), "500");
    });
    EXPECT_EQ(gamma(), 500);
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "5");
        EXPECT_EQ(d.CustomScrollBar->position(), 100);
        user.clickButton(d, "BtnOK");
    });
    EXPECT_EQ(zoom(), 25);
    // Enter in the box is OK, and clamps too.
    value_dialog_test::typeAndEnter(user, "5");
    EXPECT_EQ(zoom(), 25);
    value_dialog_test::typeAndEnter(user, "250");
    EXPECT_EQ(zoom(), 250);
}

TEST_F(ValueDialog, PresetCInGammaReturns140WithoutOk) {
    int calls = 0;
    then([&](TXScrlDlg& d) {
        calls = user.processMessagesCalls;
        user.clickRadioItem(d, "GroupOptions", 2);
        EXPECT_EQ(d.CustomSetting->text(), "140");
        EXPECT_EQ(d.CustomScrollBar->position(), 140);
        EXPECT_EQ(d.modalResult(), ModalResult::OK);
    });
    EXPECT_EQ(gamma(), 140);
    EXPECT_EQ(user.processMessagesCalls, calls + 1);  // pending messages run once
}

TEST_F(ValueDialog, NotANumberBeepsAndPutsTheInitialValueBack) {
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "12");
        EXPECT_EQ(d.CustomScrollBar->position(), 12);
        user.typeInto(d, "CustomSetting", "a");
        EXPECT_EQ(user.beeps, 1);
        EXPECT_EQ(d.CustomSetting->text(), "100");
        EXPECT_EQ(d.CustomScrollBar->position(), 100);
        EXPECT_FALSE(valueDialogState().typing);
        user.clickButton(d, "BtnOK");
    });
    EXPECT_EQ(gamma(), 100);
}

TEST_F(ValueDialog, CancelOrEscAfterAChangeReturnsMinus999) {
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "300");
        EXPECT_EQ(d.CustomScrollBar->position(), 300);
        user.clickButton(d, "BtnCancel");
    });
    EXPECT_EQ(gamma(), -999);
    then([&](TXScrlDlg& d) {
        user.scrollBar(d, "CustomScrollBar", ScrollCode::PageDown);
        user.pressKeyIn(d, "CustomSetting", kv::vk::Escape);
    });
    EXPECT_EQ(gamma(), -999);
}

TEST_F(ValueDialog, OkWithAnEmptyBoxShowsTheConversionErrorAndReturnsTheLastValidValue) {
    user.answer("'' is not a valid integer value", ModalResult::OK);
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "130");
        d.CustomSetting->selectAll();
        d.CustomSetting->pressKey(kv::vk::Delete);
        EXPECT_EQ(d.CustomSetting->text(), "");
        EXPECT_EQ(d.CustomScrollBar->position(), 130);
        user.clickButton(d, "BtnOK");
    });
    EXPECT_EQ(gamma(), 130);
    ASSERT_EQ(user.dialogs.size(), 1u);
    EXPECT_EQ(user.dialogs[0].kind, kv::DialogKind::Error);
}

TEST_F(ValueDialog, ScrollingWritesTheBoxContinuously_EvenWhileTyping) {
    then([&](TXScrlDlg& d) {
        user.typeInto(d, "CustomSetting", "4");  // below the limits: stays in the box
        user.scrollBar(d, "CustomScrollBar", ScrollCode::LineDown);
        EXPECT_EQ(d.CustomSetting->text(), "101");
        user.scrollBar(d, "CustomScrollBar", ScrollCode::PageDown);
        EXPECT_EQ(d.CustomSetting->text(), "111");
        for (int p : {150, 200, 260}) {
            user.scrollBar(d, "CustomScrollBar", ScrollCode::Track, p);
            EXPECT_EQ(d.CustomSetting->text(), std::to_string(p));
        }
        user.scrollBar(d, "CustomScrollBar", ScrollCode::Position, 260);
        user.scrollBar(d, "CustomScrollBar", ScrollCode::Bottom);
        EXPECT_EQ(d.CustomSetting->text(), "500");
        user.scrollBar(d, "CustomScrollBar", ScrollCode::Top);
        EXPECT_EQ(d.CustomSetting->text(), "10");
        user.clickButton(d, "BtnOK");
    });
    EXPECT_EQ(gamma(), 10);
}

TEST_F(ValueDialog, StartOutsideTheLimitsIsKeptWithinThem_StepsAreSixteenBitValues) {
    then([&](TXScrlDlg& d) {
        EXPECT_EQ(d.CustomScrollBar->position(), 5);
        EXPECT_EQ(d.CustomSetting->text(), "9");
        user.clickButton(d, "BtnOK");
    });
    // The box shows the position asked for; OK clamps it like a typed number.
    EXPECT_EQ(ShowValueDialog("Go to Slide", 1, 5, 9, 1, 1, 0, 0, 0, 0, 0, 0), 5);
    then([&](TXScrlDlg& d) {
        EXPECT_EQ(d.CustomScrollBar->largeChange, 4464);  // 70000 & 0xFFFF
        EXPECT_EQ(d.CustomScrollBar->smallChange, 1);
        d.BtnCancel->click();
    });
    ShowValueDialog("Steps", 0, 100000, 0, 70000, 65537, 0, 0, 0, 0, 0, 0);
}

}  // namespace
