// The print layout dialog's controls, its layout arithmetic and its handlers.
//
// Design size: client area 374 x 266:
//
//   +--------------------------------------------------------------+
//   | Portrait : 8.3 x 11.7  (600 x 600 dpi)        (PanelSettings) |
//   +--------------------------+-----------------------------------+
//   | +----------------------+^| X pos : 1.0        Width : 6.3     |
//   | |      +--------+      ||| Y pos : 2.0        Height: 4.7     |
//   | |      | paper  |      |||   Size: 100%                      |
//   | |      | +----+ |      ||| [<=========== ZoomScroll ======>]  |
//   | |      | |pic | |      ||| Measure: [Inches        v]        |
//   | |      | +----+ |      ||| [x] Color      [x] Enhance        |
//   | |      +--------+      ||| Style:   [Stevenson     v]        |
//   | +----------------------+v| [ Center ]  [ Setup   ]           |
//   | <====== XScroll =====>   | [Print It]  [ Help    ]           |
//   +--------------------------+ [        Cancel       ]           |
#include "print/print_form.h"

#include <cmath>
#include <cstdio>

#include "framework/error.h"
#include "framework/settings.h"
#include "framework/text.h"
#include "print/print_state.h"

namespace kv::print {

namespace {

constexpr int kClientWidth = 374, kClientHeight = 266;
constexpr int kParentLeft = 4, kParentTop = 29, kParentWidth = 185, kParentHeight = 233;
constexpr int kRight = 196;        // left edge of the right-hand column
constexpr int kRightWidth = 170;   // its width
constexpr int kButtonWidth = 82, kButtonHeight = 24;

Label* label(Control* parent, const char* name, const std::string& caption, int left, int top, int width) {
    Label* l = make<Label>(parent, name);
    l->setBounds(left, top, width, 14);
    l->setCaption(caption);
    l->showAccelChar = true;
    return l;
}

Button* button(Control* parent, const char* name, const std::string& caption, int left, int top, int width) {
    Button* b = make<Button>(parent, name);
    b->setBounds(left, top, width, kButtonHeight);
    b->setCaption(caption);
    return b;
}

TXScrollbar* bar(Control* parent, const char* name) { return make<TXScrollbar>(parent, name); }

// "%3.1f": at least three characters, one decimal.
std::string oneDecimal(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%3.1f", v);
    return b;
}

}  // namespace

// ---- the form ------------------------------------------------------------------------------

TPrintForm::TPrintForm() : Form("PrintForm") {
    setCaption("Kavrin Print Setup");
    borderStyle = BorderStyle::Dialog;
    systemMenu = false;
    keyPreview = true;
    buildControls();
    setClientSize(kClientWidth, kClientHeight);
    // Centred on the screen.
    if (UserPort* u = ports().user) {
        const FrameSize frame = frameOverhead(borderStyle);
        const int w = kClientWidth + frame.width, h = kClientHeight + frame.height;
        setBounds((u->screenWidth() - w) / 2, (u->screenHeight() - h) / 2, w, h);
        setClientSize(kClientWidth, kClientHeight);
    }
    helpFile = "KAVRIN.HLP";
    onActivate = [this](Control* s) { FormActivate(s); };
    onClose = [this](Control* s) { FormClose(s); };
    onKeyDown = [this](Control* s, int& k, unsigned sh) { FormKeyDown(s, k, sh); };
}

TPrintForm::~TPrintForm() {
    PrintState& st = state();
    if (st.form != this) return;  // closed before: a later dialog may own the state now
    st.form = nullptr;
    st.dialogOpen = 0;
}

// Built in the order of the dialog's Tab navigation: the platform moves the focus through
// the windows in the order they were made.
void TPrintForm::buildControls() {
    PanelSettings = make<Panel>(this, "PanelSettings");
    PanelSettings->setBounds(0, 0, kClientWidth, 25);
    PanelSettings->lowered = true;
    PanelSettings->setCaption("Paper Settings");

    LabelXPos = label(this, "LabelXPos", "&X pos : ", kRight, 32, 86);
    LabelYpos = label(this, "LabelYpos", "&Y pos : ", kRight, 48, 86);
    LabelDocW = label(this, "LabelDocW", "Width : ", kRight + 88, 32, 82);
    LabelDocH = label(this, "LabelDocH", "Height: ", kRight + 88, 48, 82);
    ZoomLabel = label(this, "ZoomLabel", "  Si&ze: 100%", kRight, 68, kRightWidth);
    Label1 = label(this, "Label1", "&Measure:", kRight, 110, 50);
    Label2 = label(this, "Label2", "S&tyle:", kRight, 158, 50);

    BtnSetup = button(this, "BtnSetup", "&Setup", kRight + 88, 184, kButtonWidth);
    ZoomScroll = bar(this, "ZoomScroll");
    ZoomScroll->setBounds(kRight, 84, kRightWidth, 17);
    ZoomScroll->setParams(1, 100, 10, 100);

    PanelParent = make<Panel>(this, "PanelParent");
    PanelParent->setBounds(kParentLeft, kParentTop, kParentWidth, kParentHeight);
    PanelParent->bevel = 0;
    PanelImage = make<Panel>(PanelParent, "PanelImage");
    PanelImage->lowered = true;
    PanelImage->setColor(0x808080);
    PaperImage = make<Panel>(PanelImage, "PaperImage");
    PaperImage->bevel = 0;
    PaperImage->setColor(0xFFFFFF);
    DocImage = make<Image>(PaperImage, "DocImage");
    DocImage->stretch = true;
    DocImage->transparent = false;
    DocImage->setColor(0xC08040);  // the placeholder: a blue block where the picture goes
    PanelX = make<Panel>(PanelParent, "PanelX");
    PanelX->bevel = 0;
    XScroll = bar(PanelX, "XScroll");
    PanelY = make<Panel>(PanelParent, "PanelY");
    PanelY->bevel = 0;
    YScroll = bar(PanelY, "YScroll");
    // The bars' own size follows the thumb size at activation; until then a usual one.
    const int t = 17;
    PanelImage->setBounds(0, 0, kParentWidth - t, kParentHeight - t);
    PanelX->setBounds(0, kParentHeight - t, kParentWidth - t, t);
    XScroll->setBounds(0, 0, kParentWidth - t, t);
    PanelY->setBounds(kParentWidth - t, 0, t, kParentHeight - t);
    YScroll->setBounds(0, 0, t, kParentHeight - t);
    XScroll->setParams(0, 0, 1, 0);
    YScroll->setParams(0, 0, 1, 0);

    BtnPrintIt = button(this, "BtnPrintIt", "&Print It", kRight, 212, kButtonWidth);
    BtnClose = button(this, "BtnClose", "Cancel", kRight, 240, kRightWidth);
    BtnClose->cancel = true;
    Enhance = make<CheckBox>(this, "Enhance");
    Enhance->setBounds(kRight + 88, 134, 82, 18);
    Enhance->setCaption("E&nhance");
    Enhance->setChecked(true);
    BtnHelp = button(this, "BtnHelp", "&Help", kRight + 88, 212, kButtonWidth);
    Color = make<CheckBox>(this, "Color");
    Color->setBounds(kRight, 134, 82, 18);
    Color->setCaption("Co&lor");
    Color->setChecked(true);
    MeasureBox = make<ComboBox>(this, "MeasureBox");
    MeasureBox->setBounds(kRight + 52, 106, kRightWidth - 52, 21);
    MeasureBox->setItems({"Pixels", "Inches", "cm."});
    BtnReset = button(this, "BtnReset", "Cen&ter", kRight, 184, kButtonWidth);
    PrintStyle = make<ComboBox>(this, "PrintStyle");
    PrintStyle->setBounds(kRight + 52, 154, kRightWidth - 52, 21);
    PrintStyle->setItems(std::vector<std::string>(std::begin(kStyles), std::end(kStyles)));

    XScroll->onChange = [this](Control* s) { XScrollChange(s); };
    YScroll->onChange = [this](Control* s) { XScrollChange(s); };
    XScroll->onScroll = [this](Control* s, ScrollCode c, int& p) { YScrollScroll(s, c, p); };
    YScroll->onScroll = [this](Control* s, ScrollCode c, int& p) { YScrollScroll(s, c, p); };
    XScroll->onMouseDown = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { YScrollMouseDown(s, b, sh, x, y); };
    YScroll->onMouseDown = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { YScrollMouseDown(s, b, sh, x, y); };
    ZoomScroll->onScroll = [this](Control* s, ScrollCode c, int& p) { ZoomScrollScroll(s, c, p); };
    BtnReset->onClick = [this](Control* s) { BtnResetClick(s); };
    BtnSetup->onClick = [this](Control* s) { BtnSetupClick(s); };
    MeasureBox->onChange = [this](Control* s) { MeasureBoxChange(s); };
    PrintStyle->onChange = [this](Control* s) { MeasureBoxChange(s); };
    Enhance->onClick = [this](Control* s) { EnhanceClick(s); };
    BtnPrintIt->onClick = [this](Control* s) { BtnPrintItClick(s); };
    BtnClose->onClick = [this](Control* s) { BtnCloseClick(s); };
    BtnHelp->onClick = [this](Control* s) { BtnHelpClick(s); };
}

void TPrintForm::readPrinter() {
    PrinterPort* p = ports().printer;
    std::optional<PrinterPage> pg = p ? p->page() : std::nullopt;
    if (!pg) throw Error(kNoPrinter);
    page_ = *pg;
}

// ---- activation ----------------------------------------------------------------------------

void TPrintForm::FormActivate(Control*) {
    try {
        ActivateLayout();
        unlaidReason_.clear();
    } catch (const std::exception& e) {
        unlaidReason_ = e.what();
        throw;
    }
}

void TPrintForm::ActivateLayout() {
    PrintState& st = state();
    st.dialogOpen = 1;
    Font f = font();
    f.color = SysColor(syscolor::WindowText);
    setFont(f);

    const std::string bmp = IniFile(SettingsFileName).readString(SettingsSection, "BMP", "");
    if (!bmp.empty() && !DocImage->loadFromFile(bmp)) {
        FileSystemPort* fs = ports().fs;
        if (fs && !fs->exists(bmp)) throw Error("Cannot open file \"" + bmp + "\". The system cannot find the file specified");
        throw Error("Bitmap image is not valid");
    }

    const int t = ports().metrics ? ports().metrics->vScrollThumbHeight() : 17;
    ZoomScroll->setHeight(t);
    // PanelX along the bottom of PanelParent, PanelY along its right, the preview in the rest.
    PanelX->setBounds(0, PanelParent->clientHeight() - t, PanelParent->clientWidth() - t, t);
    XScroll->setBounds(0, 0, PanelX->width(), t);
    PanelY->setBounds(PanelParent->clientWidth() - t, 0, t, PanelParent->clientHeight() - t);
    YScroll->setBounds(0, 0, t, PanelY->height());
    PanelImage->setBounds(0, 0, PanelParent->clientWidth() - t, PanelParent->clientHeight() - t);

    st.zoom = 1.0;
    ZoomScroll->setPosition(100);
    MeasureBox->setText("Inches");
    st.measureUnit = 1;
    PrintStyle->setText("Stevenson");

    readPrinter();
    ResizePaper();
    ResizeImage(true);
    AllSpecs(true);
    UpdateDocPosition();
}

// ---- layout --------------------------------------------------------------------------------

void TPrintForm::ResizePaper() {
    FitRecord r{PanelImage->clientWidth(), PanelImage->clientHeight(), page_.width, page_.height};
    FitRect(r);
    int left = r.areaWidth > r.width ? (r.areaWidth - r.width) / 2 : 0;
    int top = r.areaHeight > r.height ? (r.areaHeight - r.height) / 2 : 0;
    PaperImage->setBounds(left, top, r.width, r.height);
}

void TPrintForm::ResizeImage(bool centre) {
    const PrintState& st = state();
    FitRecord r{PaperImage->clientWidth(), PaperImage->clientHeight(), st.pictureWidth, st.pictureHeight};
    FitRect(r);
    const int w = static_cast<int>(std::trunc(r.fittedWidth * st.zoom));
    const int h = static_cast<int>(std::trunc(r.fittedHeight * st.zoom));
    int left = 0, top = 0;
    if (centre) {
        if (PaperImage->clientWidth() > w) left = (PaperImage->clientWidth() - w) / 2;
        if (PaperImage->clientHeight() > h) top = (PaperImage->clientHeight() - h) / 2;
    }
    DocImage->setBounds(left, top, w, h);
}

void TPrintForm::AllSpecs(bool withDefaults) {
    const PrintState& st = state();
    const int depth = page_.bitsPixel * page_.planes;
    if (withDefaults) {
        Color->setChecked(depth > 8);
        PrintStyle->setItemIndex(depth > 8 ? kStyleStevenson : kStyleFloydSteinberg);
    }
    // Both sides at least as large as the page, the proportions kept. The sizes are checked
    // to be positive when the dialog opens, so the doubling ends.
    long long w = st.pictureWidth, h = st.pictureHeight;
    while (page_.width > w || page_.height > h) {
        w *= 2;
        h *= 2;
    }
    FitRecord r{page_.width, page_.height, static_cast<int>(std::min<long long>(w, INT32_MAX)),
                static_cast<int>(std::min<long long>(h, INT32_MAX))};
    FitRect(r);
    printWidth_ = static_cast<int>(std::trunc(r.fittedWidth * st.zoom));
    printHeight_ = static_cast<int>(std::trunc(r.fittedHeight * st.zoom));

    const int xMax = page_.width - printWidth_;
    XScroll->setParams(0, xMax, std::max(1, xMax / 8), xMax / 2);
    const int yMax = page_.height - printHeight_;
    YScroll->setParams(0, yMax, std::max(1, yMax / 8), yMax / 2);
    UpdateDocPosition();
    suspend_ = false;
}

void TPrintForm::UpdateDocPosition() {
    const PrintState& st = state();
    yPos_ = YScroll->position();
    xPos_ = XScroll->position();
    const std::string o = page_.landscape ? "Landscape" : "Portrait ";
    std::string pageText;
    if (st.measureUnit == 1 || st.measureUnit == 2) {
        const double f = st.measureUnit == 1 ? 1.0 : 2.54;
        const double dx = page_.dpiX, dy = page_.dpiY;
        LabelDocW->setCaption("Width : " + oneDecimal(printWidth_ / dx * f));
        LabelDocH->setCaption("Height: " + oneDecimal(printHeight_ / dy * f));
        LabelXPos->setCaption("&X pos : " + oneDecimal(xPos_ / dx * f));
        LabelYpos->setCaption("&Y pos : " + oneDecimal(yPos_ / dy * f));
        pageText = o + ": " + oneDecimal(page_.width / dx * f) + " x " + oneDecimal(page_.height / dy * f);
    } else {
        pageText = o + ": " + intToStr(page_.width) + " x " + intToStr(page_.height);
        LabelDocW->setCaption("Width : " + intToStr(printWidth_));
        LabelDocH->setCaption("Height: " + intToStr(printHeight_));
        LabelXPos->setCaption("&X pos : " + intToStr(xPos_));
        LabelYpos->setCaption("&Y pos : " + intToStr(yPos_));
    }
    PanelSettings->setCaption(pageText + "  (" + intToStr(page_.dpiX) + " x " + intToStr(page_.dpiY) + " dpi)");
}

void TPrintForm::UpdateXYscroll() {
    if (suspend_) return;
    const int freeH = PaperImage->clientHeight() - DocImage->height();
    if (freeH > 0 && YScroll->maxValue() > 0)
        DocImage->setTop(static_cast<int>(static_cast<long long>(freeH) * YScroll->position() / YScroll->maxValue()));
    const int freeW = PaperImage->clientWidth() - DocImage->width();
    if (freeW > 0 && XScroll->maxValue() > 0)
        DocImage->setLeft(static_cast<int>(static_cast<long long>(freeW) * XScroll->position() / XScroll->maxValue()));
}

// ---- handlers ------------------------------------------------------------------------------

void TPrintForm::XScrollChange(Control*) {
    if (!suspend_) UpdateDocPosition();
}

// The scroll event comes before the bar moves: the bar is put where the user asks first, so
// the preview follows the thumb while it is dragged (and the texts follow the change).
void TPrintForm::YScrollScroll(Control* sender, ScrollCode, int& pos) {
    static_cast<ScrollBar*>(sender)->setPosition(pos);
    UpdateXYscroll();
}

void TPrintForm::YScrollMouseDown(Control*, MouseButton, unsigned, int, int) {
    UpdateXYscroll();
    UpdateDocPosition();
}

void TPrintForm::ZoomScrollScroll(Control*, ScrollCode, int& pos) {
    ZoomScroll->setPosition(pos);
    state().zoom = ZoomScroll->position() * 0.01;
    ResizeImage(true);
    suspend_ = true;
    AllSpecs(false);
    ZoomLabel->setCaption("  Si&ze : " + intToStr(ZoomScroll->position()) + "%");
}

void TPrintForm::BtnResetClick(Control*) {
    ResizeImage(true);
    AllSpecs(false);
}

void TPrintForm::BtnSetupClick(Control*) {
    PrinterPort* p = ports().printer;
    if (!p || !p->setupDialog()) return;
    if (state().form != this) return;  // closed while the printer's dialog ran
    readPrinter();
    ResizePaper();
    ResizeImage(true);
    AllSpecs(true);
}

void TPrintForm::MeasureBoxChange(Control*) {
    state().measureUnit = MeasureBox->itemIndex();
    UpdateDocPosition();
}

void TPrintForm::EnhanceClick(Control*) { PrintStyle->setEnabled(Enhance->checked()); }

void TPrintForm::BtnPrintItClick(Control*) {
    PrintState& st = state();
    PrinterPort* p = ports().printer;
    // No layout yet (the activation stopped before it): a job now would come out as an empty
    // page. No job is begun; the user is told again why, or to check the printer when there
    // is none.
    if ((printWidth_ <= 0 || printHeight_ <= 0) && p && p->page()) {
        ports().user->messageDialog(unlaidReason_.empty() ? std::string("Nothing to print.") : unlaidReason_,
                                    DialogKind::Error, BtnOK);
        return;
    }
    if (!p || printWidth_ <= 0 || printHeight_ <= 0 || !p->beginDoc(kDocumentTitle) || !p->surface()) {
        if (p && p->printing()) p->abortDoc();
        ports().user->messageDialog(kCheckPrinter, DialogKind::Custom, BtnOK);
        return;
    }
    // The layout keys are written before the dialog steps aside: when the settings file refuses
    // them, the job is aborted and the dialog stays as it was (the error box says why), rather
    // than leaving a disabled dialog and an open job that no host message will ever end.
    try {
        const IniFile ini(SettingsFileName);
        ini.writeInteger(SettingsSection, "prT", yPos_);
        ini.writeInteger(SettingsSection, "prL", xPos_);
        ini.writeInteger(SettingsSection, "prW", printWidth_);
        ini.writeInteger(SettingsSection, "prH", printHeight_);
        ini.writeInteger(SettingsSection, "prN", Enhance->checked() ? 1 : 0);
        ini.writeInteger(SettingsSection, "prC", Color->checked() ? 1 : 0);
        ini.writeInteger(SettingsSection, "prD", PrintStyle->itemIndex());
    } catch (...) {
        p->abortDoc();
        throw;
    }
    st.printing = true;
    setEnabled(false);
    minimize();
    ports().host->send(st.hostWindow, kPrintMessage, 0, static_cast<intptr_t>(p->surface()));
}

void TPrintForm::BtnCloseClick(Control*) { close(); }

void TPrintForm::BtnHelpClick(Control*) { ports().system->help("KAVRIN.HLP", kHelpContext); }

// The dialog is gone for the host from here on (PrintCheck95 answers 0, PrintDlg95 opens a new
// one), also while the host's answer to 2322 still runs and the form waits to be freed.
void TPrintForm::FormClose(Control*) {
    PrintState& st = state();
    if (st.form == this) {
        st.form = nullptr;
        st.dialogOpen = 0;
    }
    release();
}

void TPrintForm::FormKeyDown(Control*, int& key, unsigned shift) {
    if (key == vk::Escape || (key == 'C' && (shift & AltKey) && !(shift & CtrlKey))) {
        key = 0;
        close();
        return;
    }
    if (key == vk::Tab && (shift & CtrlKey)) {
        key = 0;
        Control* const ring[] = {BtnReset, BtnSetup,   BtnPrintIt, BtnClose, BtnHelp, PrintStyle,
                                 XScroll,  YScroll,    ZoomScroll, Color,    Enhance, MeasureBox};
        constexpr int n = static_cast<int>(std::size(ring));
        Control* focused = ui().focusedControl();
        int at = -1;
        for (int i = 0; i < n; ++i)
            if (ring[i] == focused) at = i;
        Control* next = ring[(at + 1) % n];
        if (next->enabled() && next->showing()) next->setFocus();
        return;
    }
    ui().processMessages();
}

}  // namespace kv::print
