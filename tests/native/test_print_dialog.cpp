// The print layout dialog against the sim printer: the fit routine, the layout on paper and
// in the preview, the texts in each measure unit, the bars, printer setup, printing, closing,
// and what goes wrong without a printer.
#include <gtest/gtest.h>

#include "tests/native/sim_kit.h"
#include "framework/error.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "host/entry.h"
#include "print/print_form.h"
#include "print/print_state.h"

using namespace kv;
using kv::print::FitRecord;
using kv::print::TPrintForm;

namespace {

constexpr uintptr_t kHost = 0x1234;

class PrintDialog : public ::testing::Test {
protected:
    SimPlatform sim;
    void SetUp() override {
        print::state() = {};
        print::setDefaults();
    }
    // Every test fails on a dialog it did not script.
    void TearDown() override {
        if (print::state().form) {
            print::state().form->close();
            sim.user.processMessages();
        }
        for (const auto& u : sim.user.unexpected) ADD_FAILURE() << "unexpected " << u;
    }
    TPrintForm& open(int w = 640, int h = 480, int noEnhance = 0) {
        entry::PrintDlg95(kHost, w, h, noEnhance);
        EXPECT_NE(print::state().form, nullptr);
        return *static_cast<TPrintForm*>(print::state().form);
    }
    static std::string key(const std::string& k) {
        return IniFile(SettingsFileName).readString(SettingsSection, k, "<none>");
    }
};

using I = std::vector<int>;
using V = std::vector<std::string>;

// What the dialog shows, gathered for one comparison: the paper line and the four texts of the
// picture's size and place; a control's left, top, width and height; a bar's maximum,
// position and large step; the picture's size on paper.
V texts(TPrintForm& f) {
    return {f.PanelSettings->caption(), f.LabelDocW->caption(), f.LabelDocH->caption(), f.LabelXPos->caption(),
            f.LabelYpos->caption()};
}
I box(const Control* c) { return {c->left(), c->top(), c->width(), c->height()}; }
I bar(const ScrollBar* b) { return {b->maxValue(), b->position(), b->largeChange}; }
I size(TPrintForm& f) { return {f.printWidth(), f.printHeight()}; }

FitRecord fit(int A, int B, int a, int b) {
    FitRecord r{A, B, a, b};
    print::FitRect(r);
    return r;
}

}  // namespace

TEST(FitRect, LargestRectangleWithTheObjectsProportions) {
    struct Case { const char* what; int A, B, a, b, width, height; float fitted, tolerance; };  // fitted < 0: not checked
    const Case cases[] = {
        {"taller object than the area allows: the height decides", 4800, 6600, 10240, 7680, 4800, 3600, 3600.0f, 1e-3f},
        {"wider than the area, lower than it: the width decides", 100, 300, 200, 100, 100, 50, -1, 0},
        {"narrower, taller: the height decides", 300, 100, 100, 200, 50, 100, -1, 0},
        {"smaller in both directions: grows until one side meets the area", 168, 216, 64, 48, 168, 126, -1, 0},
        {"landscape page in a portrait preview area", 168, 216, 6600, 4800, 168, 122, 122.1818f, 1e-3f},
        {"larger in both, the second correction step trims the height", 157, 216, 640, 480, 157, 117, 117.75f, 1e-4f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FitRecord r = fit(c.A, c.B, c.a, c.b);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        if (c.fitted >= 0) EXPECT_NEAR(r.fittedHeight, c.fitted, c.tolerance);
    }
}

TEST_F(PrintDialog, OpensWithTheDocumentedLayout) {
    TPrintForm& f = open();
    EXPECT_EQ(f.caption(), "Kavrin Print Setup");
    EXPECT_EQ(f.clientWidth(), 374);
    EXPECT_EQ(f.clientHeight(), 266);
    EXPECT_FALSE(f.systemMenu);
    EXPECT_TRUE(f.keyPreview);
    EXPECT_EQ(sim.user.shownForms, std::vector<std::string>{"PrintForm"});
    EXPECT_EQ(entry::PrintCheck95(), 1);
    EXPECT_EQ(f.MeasureBox->text(), "Inches");
    EXPECT_EQ(f.PrintStyle->text(), "Stevenson");
    EXPECT_TRUE(f.Color->checked());
    EXPECT_TRUE(f.Enhance->checked());
    EXPECT_TRUE(f.PrintStyle->enabled());
    EXPECT_EQ(f.ZoomScroll->minValue(), 1);
    EXPECT_EQ(bar(f.ZoomScroll), (I{100, 100, 10}));
    EXPECT_EQ(f.ZoomLabel->caption(), "  Si&ze: 100%");
    // Bars as thick as the thumb (17 on the sim screen).
    EXPECT_EQ(f.XScroll->height(), 17);
    EXPECT_EQ(f.YScroll->width(), 17);
    EXPECT_EQ(f.XScroll->width(), f.PanelX->width());
    EXPECT_EQ(f.YScroll->height(), f.PanelY->height());
    for (const char* name : {"PanelSettings", "PanelParent", "PanelImage", "PaperImage", "DocImage", "PanelX",
                             "PanelY", "XScroll", "YScroll", "ZoomScroll", "LabelXPos", "LabelYpos", "LabelDocW",
                             "LabelDocH", "ZoomLabel", "Label1", "MeasureBox", "Color", "Enhance", "Label2",
                             "PrintStyle", "BtnReset", "BtnSetup", "BtnPrintIt", "BtnClose", "BtnHelp"})
        EXPECT_NE(f.findControl(name), nullptr) << name;
    f.BtnHelp->click();
    EXPECT_EQ(sim.system.helpCalls, (std::vector<std::pair<std::string, int>>{{"KAVRIN.HLP", 110}}));
}

TEST_F(PrintDialog, PictureOnAPortraitPageAtFullSizeThenWithTheSizeBarAtHalfAndAtItsSmallest) {
    TPrintForm& f = open(640, 480);
    // Doubled four times to 10240 x 7680, fitted to the page's 4800 wide.
    EXPECT_EQ(size(f), (I{4800, 3600}));
    EXPECT_EQ(bar(f.XScroll), (I{0, 0, 1}));
    EXPECT_EQ(bar(f.YScroll), (I{3000, 1500, 375}));
    // The preview: the page fitted into 168 x 216, the picture into the page, centred.
    EXPECT_EQ(box(f.PaperImage), (I{5, 0, 157, 216}));
    EXPECT_EQ(box(f.DocImage), (I{0, 49, 157, 117}));
    EXPECT_EQ(texts(f), (V{"Portrait : 8.0 x 11.0  (600 x 600 dpi)", "Width : 8.0", "Height: 6.0", "&X pos : 0.0",
                           "&Y pos : 2.5"}));

    // The size bar at half.
    f.ZoomScroll->scroll(ScrollCode::Position, 50);
    EXPECT_EQ(size(f), (I{2400, 1800}));
    EXPECT_EQ(bar(f.XScroll), (I{2400, 1200, 300}));
    EXPECT_EQ(bar(f.YScroll), (I{4800, 2400, 600}));
    EXPECT_FALSE(f.suspended());
    EXPECT_EQ(f.ZoomLabel->caption(), "  Si&ze : 50%");
    EXPECT_DOUBLE_EQ(print::state().zoom, 0.5);
    EXPECT_EQ(box(f.DocImage), (I{(157 - 78) / 2, (216 - 58) / 2, 78, 58}));
    EXPECT_EQ(f.LabelDocW->caption(), "Width : 4.0");
    // The smallest size.
    f.ZoomScroll->scroll(ScrollCode::Position, 1);
    EXPECT_EQ(size(f), (I{48, 36}));
    f.ZoomScroll->scroll(ScrollCode::Position, 0);  // below the range: stays at 1
    EXPECT_EQ(f.ZoomScroll->position(), 1);
}

TEST_F(PrintDialog, A4PageInEachMeasureUnit) {
    sim.printer.current = PrinterPage{4960, 7015, 600, 600, 24, 1, false, "A4"};
    TPrintForm& f = open(640, 480);
    EXPECT_EQ(f.PanelSettings->caption(), "Portrait : 8.3 x 11.7  (600 x 600 dpi)");
    f.MeasureBox->select(0);
    EXPECT_EQ(print::state().measureUnit, 0);
    EXPECT_EQ(texts(f), (V{"Portrait : 4960 x 7015  (600 x 600 dpi)", "Width : 4960", "Height: 3720", "&X pos : 0",
                           "&Y pos : 1647"}));
    f.MeasureBox->select(2);
    EXPECT_EQ(texts(f), (V{"Portrait : 21.0 x 29.7  (600 x 600 dpi)", "Width : 21.0", "Height: 15.7", "&X pos : 0.0",
                           "&Y pos : 7.0"}));
    // The keys written are printer pixels whatever the unit.
    f.BtnPrintIt->click();
    for (auto [k, v] : {std::pair{"prW", "4960"}, {"prH", "3720"}, {"prT", "1647"}}) EXPECT_EQ(key(k), v) << k;
    entry::PrintEnd95();
}

TEST_F(PrintDialog, DifferentResolutionsPerAxisAndLandscapeAfterSetup) {
    sim.printer.current = PrinterPage{2400, 3300, 300, 300, 24, 1, false, "300"};
    TPrintForm& f = open(1000, 1000);
    EXPECT_EQ(size(f), (I{2400, 2400}));
    EXPECT_EQ(f.YScroll->maxValue(), 900);
    sim.printer.onSetup = [](SimPrinter& p) {
        p.current = PrinterPage{6600, 2400, 600, 300, 1, 1, true, "Wide"};
        return true;
    };
    f.ZoomScroll->scroll(ScrollCode::Position, 40);
    f.MeasureBox->select(1);
    f.BtnSetup->click();
    EXPECT_EQ(sim.printer.setupCalls, 1);
    // The zoom stays; the defaults follow the new printer (depth 1: no colour, Floyd-Steinberg).
    EXPECT_EQ(size(f), (I{960, 960}));
    EXPECT_EQ(f.XScroll->position(), (6600 - 960) / 2);
    EXPECT_FALSE(f.Color->checked());
    EXPECT_EQ(f.PrintStyle->text(), "Floyd-Steinberg");
    EXPECT_EQ(f.PanelSettings->caption(), "Landscape: 11.0 x 8.0  (600 x 300 dpi)");
    EXPECT_EQ(f.LabelDocW->caption(), "Width : 1.6");
    EXPECT_EQ(f.LabelDocH->caption(), "Height: 3.2");
    // The page in the preview turned: wider than high.
    EXPECT_GT(f.PaperImage->width(), f.PaperImage->height());
    // A cancelled setup changes nothing.
    sim.printer.onSetup = nullptr;
    f.ZoomScroll->scroll(ScrollCode::Position, 20);
    f.BtnSetup->click();
    EXPECT_EQ(f.printWidth(), 480);
}

TEST_F(PrintDialog, BarsMoveThePreviewAndTheTexts) {
    TPrintForm& f = open(640, 480);
    f.ZoomScroll->scroll(ScrollCode::Position, 50);
    f.MeasureBox->select(0);
    // Dragging: the preview follows, the texts follow the change of position.
    f.XScroll->scroll(ScrollCode::Position, 0);
    EXPECT_EQ(f.DocImage->left(), 0);
    EXPECT_EQ(f.LabelXPos->caption(), "&X pos : 0");
    f.XScroll->scroll(ScrollCode::Position, 2400);
    EXPECT_EQ(f.DocImage->left(), 157 - 78);
    f.YScroll->userClick(4800);
    EXPECT_EQ(f.DocImage->top(), 216 - 58);
    EXPECT_EQ(f.LabelYpos->caption(), "&Y pos : 4800");
    EXPECT_EQ(f.yPosition(), 4800);
    // Centre: back to the middle, the size kept.
    f.BtnReset->click();
    EXPECT_EQ(f.XScroll->position(), 1200);
    EXPECT_EQ(f.YScroll->position(), 2400);
    EXPECT_EQ(f.printWidth(), 2400);
    EXPECT_EQ(f.DocImage->left(), (157 - 78) / 2);
    EXPECT_EQ(f.LabelXPos->caption(), "&X pos : 1200");
}

TEST_F(PrintDialog, PrintItWritesTheLayoutAndHandsTheHostThePage) {
    TPrintForm& f = open(640, 480);
    f.ZoomScroll->scroll(ScrollCode::Position, 50);
    f.XScroll->scroll(ScrollCode::Position, 100);
    f.Enhance->click();  // off: the style list goes disabled
    EXPECT_FALSE(f.PrintStyle->enabled());
    f.BtnPrintIt->click();
    EXPECT_EQ(sim.printer.begun, std::vector<std::string>{"Kavrin Graphic"});
    EXPECT_TRUE(sim.printer.printing());
    EXPECT_FALSE(f.enabled());
    EXPECT_TRUE(f.minimized());
    for (auto [k, v] : {std::pair{"prT", "2400"}, {"prL", "100"}, {"prW", "2400"}, {"prH", "1800"}, {"prN", "0"},
                        {"prC", "1"}, {"prD", "4"}})
        EXPECT_EQ(key(k), v) << k;
    ASSERT_EQ(sim.host.sent.size(), 1u);
    EXPECT_EQ(sim.host.sent[0].window, kHost);
    EXPECT_EQ(sim.host.sent[0].msg, 2322u);
    EXPECT_EQ(sim.host.sent[0].wparam, 0u);
    EXPECT_EQ(static_cast<uintptr_t>(sim.host.sent[0].lparam), sim.printer.dc);

    entry::PrintEnd95();
    EXPECT_EQ(sim.printer.ended, 1);
    EXPECT_FALSE(sim.printer.printing());
    sim.user.processMessages();
    EXPECT_EQ(print::state().form, nullptr);
    EXPECT_EQ(entry::PrintCheck95(), 0);
}

TEST_F(PrintDialog, HostEndsThePrintWhileHandlingTheMessage) {
    struct EndingHost : SimHost {
        intptr_t send(uintptr_t w, uint32_t m, uintptr_t wp, intptr_t lp) override {
            SimHost::send(w, m, wp, lp);
            entry::PrintEnd95();
            return 0;
        }
    } host;
    ports().host = &host;
    TPrintForm& f = open();
    f.BtnPrintIt->click();
    EXPECT_EQ(sim.printer.ended, 1);
    EXPECT_TRUE(f.closed());
    sim.user.processMessages();
    EXPECT_EQ(entry::PrintCheck95(), 0);
    ports().host = &sim.host;
}

TEST_F(PrintDialog, PrinterThatCannotStartAJob) {
    sim.printer.failBegin = true;
    TPrintForm& f = open();
    sim.user.answer("Check printer.", ModalResult::OK);
    f.BtnPrintIt->click();
    ASSERT_EQ(sim.user.dialogs.size(), 1u);
    EXPECT_EQ(sim.user.dialogs[0].kind, DialogKind::Custom);
    EXPECT_EQ(sim.user.dialogs[0].buttons, static_cast<unsigned>(BtnOK));
    EXPECT_EQ(key("prW"), "<none>");
    EXPECT_TRUE(sim.host.sent.empty());
    EXPECT_TRUE(f.enabled());
    EXPECT_FALSE(f.minimized());
    EXPECT_EQ(entry::PrintCheck95(), 1);
    // A second try once the printer works.
    sim.printer.failBegin = false;
    f.BtnPrintIt->click();
    EXPECT_EQ(sim.host.sent.size(), 1u);
    entry::PrintEnd95();
}

TEST_F(PrintDialog, WithoutAPrinterTheDialogSaysSoAndClosesCleanly_AShallowPrinterStartsWithoutColour) {
    sim.printer.current.reset();
    sim.user.answer("No printer is installed.", ModalResult::OK);
    TPrintForm& f = open();
    EXPECT_EQ(sim.user.dialogs.at(0).kind, DialogKind::Error);
    EXPECT_EQ(entry::PrintCheck95(), 1);
    EXPECT_EQ(f.PanelSettings->caption(), "Paper Settings");
    sim.user.answer("Check printer.", ModalResult::OK);
    f.BtnPrintIt->click();
    EXPECT_TRUE(sim.printer.begun.empty());
    EXPECT_EQ(sim.printer.aborted, 0);
    f.BtnClose->click();
    sim.user.processMessages();
    EXPECT_EQ(entry::PrintCheck95(), 0);
    // A printer arrives: the next dialog works. A shallow one starts without colour.
    sim.printer.current = PrinterPage{4800, 6600, 600, 600, 4, 2, false, "Grey"};
    TPrintForm& g = open();
    EXPECT_EQ(g.printWidth(), 4800);
    EXPECT_FALSE(g.Color->checked());
    EXPECT_EQ(g.PrintStyle->itemIndex(), 0);
    EXPECT_EQ(g.PrintStyle->text(), "Floyd-Steinberg");
}

TEST_F(PrintDialog, SecondDialogIsRefusedAndBadSizesOpenNothing) {
    TPrintForm& f = open(640, 480);
    entry::PrintDlg95(0x999, 10, 10, 1);
    EXPECT_EQ(print::state().form, &f);
    EXPECT_EQ(print::state().hostWindow, kHost);
    EXPECT_EQ(print::state().pictureWidth, 640);
    EXPECT_EQ(sim.user.shownForms.size(), 1u);
    f.close();
    sim.user.processMessages();
    entry::PrintDlg95(kHost, 0, 480, 0);
    entry::PrintDlg95(kHost, 640, -1, 0);
    EXPECT_EQ(print::state().form, nullptr);
    EXPECT_EQ(entry::PrintCheck95(), 0);
}

TEST_F(PrintDialog, CancelEscAndAltCCloseWithoutAJob) {
    TPrintForm& f = open();
    f.BtnClose->click();
    EXPECT_TRUE(f.closed());
    // Gone for the host at once, though the form is freed later from the message loop (a host
    // waiting for 0 inside its own handler would otherwise wait for ever).
    EXPECT_EQ(entry::PrintCheck95(), 0);
    EXPECT_EQ(kv::print::state().form, nullptr);
    sim.user.processMessages();
    EXPECT_EQ(entry::PrintCheck95(), 0);
    EXPECT_TRUE(sim.printer.begun.empty());

    TPrintForm& g = open();
    sim_test::press(g.BtnSetup, vk::Escape);
    EXPECT_TRUE(g.closed());
    sim.user.processMessages();

    TPrintForm& h = open();
    sim_test::press(h.MeasureBox, 'C', AltKey);
    EXPECT_TRUE(h.closed());
    sim.user.processMessages();
    EXPECT_EQ(entry::PrintCheck95(), 0);

    // PrintEnd95 without a job only closes; without a dialog it does nothing.
    open();
    entry::PrintEnd95();
    sim.user.processMessages();
    EXPECT_EQ(entry::PrintCheck95(), 0);
    entry::PrintEnd95();
    EXPECT_EQ(sim.printer.ended, 0);
    EXPECT_TRUE(sim.printer.begun.empty());
}

TEST_F(PrintDialog, NoEnhanceLeavesEnhanceOffAndDisabled) {
    TPrintForm& f = open(640, 480, 1);
    EXPECT_FALSE(f.Enhance->checked());
    EXPECT_FALSE(f.Enhance->enabled());
    EXPECT_FALSE(f.PrintStyle->enabled());
    f.BtnPrintIt->click();
    EXPECT_EQ(key("prN"), "0");
    entry::PrintEnd95();
}

TEST_F(PrintDialog, CtrlTabRingSkipsTheDisabledStyleList) {
    TPrintForm& f = open(640, 480, 1);  // style list disabled
    sim.user.focused = f.BtnHelp;
    EXPECT_EQ(sim_test::press(f.BtnHelp, vk::Tab, CtrlKey), 0);
    EXPECT_EQ(sim.user.focused, f.BtnHelp);  // the next one cannot take the focus
    f.Enhance->setEnabled(true);
    f.Enhance->setChecked(true);
    sim_test::press(f.BtnHelp, vk::Tab, CtrlKey);
    EXPECT_EQ(sim.user.focused, f.PrintStyle);
    sim.user.focused = f.MeasureBox;
    sim_test::press(f.MeasureBox, vk::Tab, CtrlKey);
    EXPECT_EQ(sim.user.focused, f.BtnReset);
    // Another key lets pending messages run and keeps its effect.
    int calls = sim.user.processMessagesCalls;
    EXPECT_EQ(sim_test::press(f.MeasureBox, vk::Down), vk::Down);
    EXPECT_EQ(sim.user.processMessagesCalls, calls + 1);
}

TEST_F(PrintDialog, EveryActivationResetsUnitZoomAndStyle) {
    TPrintForm& f = open(640, 480);
    f.MeasureBox->select(2);
    f.ZoomScroll->scroll(ScrollCode::Position, 30);
    f.PrintStyle->select(6);
    f.activate();  // the focus came back from another window of the library
    EXPECT_EQ(f.MeasureBox->text(), "Inches");
    EXPECT_EQ(print::state().measureUnit, 1);
    EXPECT_DOUBLE_EQ(print::state().zoom, 1.0);
    EXPECT_EQ(f.ZoomScroll->position(), 100);
    EXPECT_EQ(f.PrintStyle->text(), "Stevenson");
    EXPECT_EQ(f.printWidth(), 4800);
    // And a later dialog shows inches again.
    f.MeasureBox->select(2);
    f.close();
    sim.user.processMessages();
    TPrintForm& g = open();
    EXPECT_EQ(g.MeasureBox->text(), "Inches");
    EXPECT_EQ(g.LabelDocW->caption(), "Width : 8.0");
}

TEST_F(PrintDialog, PreviewPictureFromTheBmpKey_AMissingOneEndsTheActivationWithTheReason) {
    sim.writeFile("c:\\pics\\sunset.bmp");
    IniFile(SettingsFileName).writeString(SettingsSection, "BMP", "c:\\pics\\sunset.bmp");
    TPrintForm& f = open();
    EXPECT_EQ(f.DocImage->pictureFile, "c:\\pics\\sunset.bmp");
    EXPECT_TRUE(f.DocImage->stretch);
    f.close();
    sim.user.processMessages();

    IniFile(SettingsFileName).writeString(SettingsSection, "BMP", "c:\\pics\\gone.bmp");
    sim.user.answer("Cannot open file \"c:\\pics\\gone.bmp\". The system cannot find the file specified",
                    ModalResult::OK);
    TPrintForm& g = open();
    // The rest of the activation did not run: the initial layout stays.
    EXPECT_EQ(g.PanelSettings->caption(), "Paper Settings");
    EXPECT_EQ(g.printWidth(), 0);
    EXPECT_EQ(entry::PrintCheck95(), 1);
    // Without a layout "&Print It" begins no job (it would come out empty) and says why again.
    sim.user.answer("Cannot open file \"c:\\pics\\gone.bmp\". The system cannot find the file specified",
                    ModalResult::OK);
    g.BtnPrintIt->click();
    EXPECT_TRUE(sim.printer.begun.empty());
    EXPECT_TRUE(sim.host.sent.empty());
    EXPECT_EQ(key("prW"), "<none>");
    EXPECT_TRUE(g.enabled());
    ASSERT_EQ(sim.user.dialogs.size(), 2u);
    EXPECT_EQ(sim.user.dialogs.back().kind, DialogKind::Error);
}

TEST_F(PrintDialog, SettingsFileThatRefusesTheKeysAbortsTheJob) {
    struct Refusing : SimProfile {
        using SimProfile::SimProfile;
        bool writeString(const std::string&, const std::string&, const std::string&, const std::string&) override {
            return false;
        }
    } refusing{sim.fs};
    TPrintForm& f = open();
    ports().profile = &refusing;
    EXPECT_THROW(f.BtnPrintIt->click(), Error);
    ports().profile = &sim.profile;
    EXPECT_EQ(sim.printer.aborted, 1);
    EXPECT_FALSE(sim.printer.printing());
    EXPECT_TRUE(f.enabled());
    EXPECT_FALSE(f.minimized());
    EXPECT_TRUE(sim.host.sent.empty());
    EXPECT_FALSE(print::state().printing);
}
