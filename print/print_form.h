// The print layout dialog "Kavrin Print Setup": a preview of the printer's page with the
// picture on it, the picture's size (1 to 100 % of the largest size that fits the page) and
// position on paper, printer choice, colour and enhancement style. "&Print It" begins the
// printer's document, writes the layout keys and hands the page's drawing surface to the
// host (message 2322), which draws the picture; PrintEnd95 then ends the page and closes the
// dialog. Modeless: it lives in the host's message loop and frees itself when it closes.
#pragma once
#include <string>

#include "controls/xscroll.h"
#include "framework/fit.h"
#include "framework/controls.h"
#include "framework/platform.h"

namespace kv::print {

using kv::FitRecord;
using kv::FitRect;

// Enhancement styles, by the index written as prD.
inline constexpr const char* kStyles[] = {"Floyd-Steinberg", "Burkes", "Stucki", "Sierra",
                                          "Stevenson", "Jarvis", "Ordered"};
inline constexpr int kStyleStevenson = 4, kStyleFloydSteinberg = 0;
inline constexpr uint32_t kPrintMessage = 2322;  // to the host: draw into this page
inline constexpr int kHelpContext = 110;
inline constexpr char kCheckPrinter[] = "Check printer.";
inline constexpr char kNoPrinter[] = "No printer is installed.";
inline constexpr char kDocumentTitle[] = "Kavrin Graphic";

class TPrintForm : public Form {
public:
    TPrintForm();  // builds the controls
    ~TPrintForm() override;  // FormDestroy: the dialog-open flag returns to 0 unless it closed first

    // ---- controls ----
    Panel* PanelSettings;  // page description across the top
    TXScrollbar* ZoomScroll;
    Button* BtnSetup;
    Panel* PanelParent;
    Panel* PanelImage;   // the preview area
    Panel* PaperImage;   // the page
    Image* DocImage;     // the picture on it
    Panel* PanelX;
    TXScrollbar* XScroll;
    Panel* PanelY;
    TXScrollbar* YScroll;
    Button* BtnPrintIt;
    Button* BtnClose;
    CheckBox* Enhance;
    Button* BtnHelp;
    CheckBox* Color;
    ComboBox* MeasureBox;
    Button* BtnReset;
    ComboBox* PrintStyle;
    Label* LabelXPos;
    Label* LabelYpos;
    Label* LabelDocW;
    Label* LabelDocH;
    Label* ZoomLabel;
    Label* Label1;
    Label* Label2;

    // ---- handlers ----
    void FormActivate(Control*);
    void FormClose(Control*);
    void FormKeyDown(Control*, int& key, unsigned shift);
    void XScrollChange(Control*);
    void YScrollScroll(Control*, ScrollCode, int& pos);
    void YScrollMouseDown(Control*, MouseButton, unsigned, int, int);
    void ZoomScrollScroll(Control*, ScrollCode, int& pos);
    void BtnResetClick(Control*);
    void BtnSetupClick(Control*);
    void MeasureBoxChange(Control*);
    void EnhanceClick(Control*);
    void BtnPrintItClick(Control*);
    void BtnCloseClick(Control*);
    void BtnHelpClick(Control*);

    // ---- layout work shared by the handlers ----
    void ResizePaper();
    void ResizeImage(bool centre);
    void AllSpecs(bool withDefaults);
    void UpdateDocPosition();
    void UpdateXYscroll();

    // What the layout worked with: the printer's page as last asked, the picture on paper.
    const PrinterPage& printerPage() const { return page_; }
    int printWidth() const { return printWidth_; }
    int printHeight() const { return printHeight_; }
    int xPosition() const { return xPos_; }
    int yPosition() const { return yPos_; }
    bool suspended() const { return suspend_; }

private:
    void buildControls();
    void ActivateLayout();  // the activation's work
    void readPrinter();  // the page of the current printer, or the error "no printer"
    PrinterPage page_;
    // Why the last activation could not lay the picture out (a BMP file that cannot be
    // loaded, no printer); empty once one has.
    std::string unlaidReason_;
    int printWidth_ = 0, printHeight_ = 0;
    int xPos_ = 0, yPos_ = 0;
    bool suspend_ = false;
};

}  // namespace kv::print
