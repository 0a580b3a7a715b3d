#include "dialogs/compress_dialog.h"

#include <algorithm>

#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::dialogs {

namespace {

std::function<bool(int32_t, CompressionValues&)>& handler() {
    static std::function<bool(int32_t, CompressionValues&)> h;
    return h;
}

int32_t readValue(const IniFile& ini, const char* key, int32_t def) {
    int32_t v = ini.readInteger(SettingsSection, key, 911);
    return v == 911 ? def : v;
}

constexpr int kClientW = 300, kClientH = 196;

}  // namespace

void setCompressionHandler(std::function<bool(int32_t, CompressionValues&)> h) { handler() = std::move(h); }

TUserCompress::TUserCompress() : Form("UserCompress") {
    borderStyle = BorderStyle::Dialog;
    systemMenu = false;
    setCaption("Compression Setting");
    helpFile = "KAVRIN.HLP";
    setClientSize(kClientW, kClientH);
    UserPort* u = ports().user;
    const int sw = u ? u->screenWidth() : 800, sh = u ? u->screenHeight() : 600;
    setBounds((sw - (kClientW + 6)) / 2, (sh - (kClientH + 25)) / 2, kClientW + 6, kClientH + 25);

    LumaLabel = make<Label>(this, "LumaLabel");
    LumaLabel->showAccelChar = true;
    LumaLabel->setCaption("Luminance &Setting");
    LumaLabel->setBounds(8, 6, 200, 16);
    Panel1 = make<Panel>(this, "Panel1");
    Panel1->setBounds(8, 24, 284, 26);
    LumaEdit = make<Edit>(Panel1, "LumaEdit");
    LumaEdit->setBounds(3, 3, 40, 20);
    LumaEdit->setText("2");
    LumaScrollBar = make<ScrollBar>(Panel1, "LumaScrollBar");
    LumaScrollBar->setBounds(48, 4, 232, 18);
    LumaScrollBar->setRange(2, 255);
    LumaScrollBar->largeChange = 10;
    Label2 = make<Label>(this, "Label2");
    Label2->setCaption("2 (best)");
    Label2->setBounds(56, 52, 80, 16);
    Label1 = make<Label>(this, "Label1");
    Label1->setCaption("(smallest) 255");
    Label1->setBounds(200, 52, 92, 16);

    ColorLabel = make<Label>(this, "ColorLabel");
    ColorLabel->showAccelChar = true;
    ColorLabel->setCaption("&Color Setting");
    ColorLabel->setBounds(8, 72, 200, 16);
    Panel2 = make<Panel>(this, "Panel2");
    Panel2->setBounds(8, 90, 284, 26);
    ColorEdit = make<Edit>(Panel2, "ColorEdit");
    ColorEdit->setBounds(3, 3, 40, 20);
    ColorScrollBar = make<ScrollBar>(Panel2, "ColorScrollBar");
    ColorScrollBar->setBounds(48, 4, 232, 18);
    ColorScrollBar->setRange(2, 255);
    ColorScrollBar->largeChange = 10;
    CustomLEADsetting = make<ComboBox>(this, "CustomLEADsetting");
    CustomLEADsetting->setBounds(8, 90, 284, 22);
    CustomLEADsetting->dropDownCount = 10;
    CustomLEADsetting->setItems({"0 - Custom Quality vs. Size", "1 - Perfect Quality (Option 1)",
                                 "2 - Perfect Quality (Option 2)", "3 - Better Quality vs. Size",
                                 "4 - More Quality  vs. Size", "5 - Equal Quality vs. Size",
                                 "6 - More Compression (Sharp)", "7 - More Compression (Less Tiling)",
                                 "8 - Greater Compression", "9 - Maximum Compression"});

    Sample = make<RadioGroup>(this, "Sample");
    Sample->setCaption("S&ample");
    Sample->setBounds(8, 124, 190, 64);
    Sample->setItems({"4:4:4", "4:2:2", "4:1:1"});
    Sample->setColumns(3);
    Sample->setItemIndex(0);

    BtnOK = make<Button>(this, "BtnOK");
    BtnOK->setCaption("&Ok");
    BtnOK->isDefault = true;
    BtnOK->setBounds(208, 122, 84, 22);
    BtnCancel = make<Button>(this, "BtnCancel");
    BtnCancel->setCaption("Cancel");
    BtnCancel->cancel = true;
    BtnCancel->modalResult = ModalResult::Cancel;
    BtnCancel->setBounds(208, 146, 84, 22);
    BtnHelp = make<Button>(this, "BtnHelp");
    BtnHelp->setCaption("&Help");
    BtnHelp->setBounds(208, 170, 84, 22);

    onActivate = [this](Control* s) { FormActivate(s); };
    LumaScrollBar->onChange = [this](Control* s) { LumaScrollBarChange(s); };
    ColorScrollBar->onChange = [this](Control* s) { ColorScrollBarChange(s); };
    LumaEdit->onChange = [this](Control* s) { LumaEditChange(s); };
    ColorEdit->onChange = [this](Control* s) { ColorEditChange(s); };
    CustomLEADsetting->onChange = [this](Control* s) { CustomLEADsettingChange(s); };
    Sample->onClick = [this](Control* s) { SampleClick(s); };
    BtnOK->onClick = [this](Control* s) { BtnOKClick(s); };
    BtnHelp->onClick = [this](Control* s) { BtnHelpClick(s); };
}

TUserCompress::~TUserCompress() = default;

void TUserCompress::Arrange(int32_t code) {
    // 2. The bars (each writes its edit) and the sample buttons.
    LumaScrollBar->setPosition(values.luminance);
    // An edit shows its bar also when the position did not move.
    if (LumaEdit->text() != intToStr(LumaScrollBar->position())) LumaEdit->setText(intToStr(LumaScrollBar->position()));
    ColorScrollBar->setPosition(values.colour);
    if (ColorEdit->text() != intToStr(ColorScrollBar->position()))
        ColorEdit->setText(intToStr(ColorScrollBar->position()));
    Sample->setItemIndex(values.sample == 1 ? 1 : values.sample == 2 ? 2 : 0);
    // A stored value outside the three shows as 4:4:4, and that is what OK writes back.
    values.sample = Sample->itemIndex();

    // 3. By code.
    auto showPresets = [&](bool enabled) {
        CustomLEADsetting->setBounds(Panel2->left(), Panel2->top(), Panel2->width(), CustomLEADsetting->height());
        CustomLEADsetting->setVisible(true);
        CustomLEADsetting->setEnabled(enabled);
        CustomLEADsetting->setItemIndex(values.preset);
    };
    if (code == 0 || code == -10) {
        showPresets(true);
        ColorLabel->setCaption("&CMP Presets");
        LumaLabel->setCaption("Custom &Setting");
        Panel2->setVisible(false);
        Sample->setEnabled(false);
        CustomLEADsetting->setFocus();
    } else if (code == 1 || code == -11) {
        values.preset = 0;
        showPresets(false);
        LumaLabel->setCaption("Custom &Setting");
        Panel2->setVisible(false);
        ColorLabel->setVisible(false);
        Sample->setEnabled(code == 1);
    } else if (code == 88) {
        values.preset = 0;
        CustomLEADsetting->setItemIndex(0);
        CustomLEADsetting->setVisible(false);
        LumaLabel->setCaption("Luminance &Setting");
        ColorLabel->setCaption("S&moothing");
        Panel2->setVisible(true);
        Sample->setItemIndex(2);
        values.sample = 2;
        Sample->setEnabled(false);
        ColorEdit->setFocus();
    } else {
        values.preset = 0;
        CustomLEADsetting->setItemIndex(0);
        CustomLEADsetting->setVisible(false);
        LumaLabel->setCaption("Luminance &Setting");
        ColorLabel->setCaption("&Color Setting");
        Panel2->setVisible(true);
        Sample->setEnabled(true);
        ColorEdit->setFocus();
    }
}

void TUserCompress::FormActivate(Control*) {
    Font f = font();
    if (ports().user) f.color = ports().user->systemColor(syscolor::WindowText);
    setFont(f);
    const bool custom = CustomLEADsetting->itemIndex() <= 0;
    LumaScrollBar->setEnabled(custom);
    LumaEdit->setEnabled(custom);
}

void TUserCompress::LumaScrollBarChange(Control*) {
    if (!applying_) LumaEdit->setText(intToStr(LumaScrollBar->position()));
}

void TUserCompress::ColorScrollBarChange(Control*) {
    if (!applying_) ColorEdit->setText(intToStr(ColorScrollBar->position()));
}

void TUserCompress::applyEdit(Edit* edit, ScrollBar* bar) {
    if (applying_) return;
    applying_ = true;
    std::string t = edit->text();
    if (t.empty()) {
        t = "2";
        edit->setText(t);
    }
    auto v = strToInt(t);
    if (!v) {
        applying_ = false;
        ports().user->messageDialog("'" + t + "' is not a valid integer value", DialogKind::Error, kv::BtnOK);
        return;
    }
    int n = *v;
    if (n >= 256) {
        n = 255;
        edit->setText("255");
    } else if (n < 2) {
        n = 2;
        edit->setText("2");
    }
    bar->setPosition(n);
    applying_ = false;
}

void TUserCompress::LumaEditChange(Control*) { applyEdit(LumaEdit, LumaScrollBar); }

void TUserCompress::ColorEditChange(Control*) { applyEdit(ColorEdit, ColorScrollBar); }

void TUserCompress::CustomLEADsettingChange(Control*) {
    const bool custom = CustomLEADsetting->itemIndex() == 0;
    LumaScrollBar->setEnabled(custom);
    LumaEdit->setEnabled(custom);
}

void TUserCompress::SampleClick(Control*) { values.sample = std::max(0, Sample->itemIndex()); }

void TUserCompress::BtnOKClick(Control*) {
    // The edits hold numbers in 2..255: every change was clamped as it was made.
    values.luminance = std::clamp(strToIntDef(LumaEdit->text(), LumaScrollBar->position()), 2, 255);
    values.colour = std::clamp(strToIntDef(ColorEdit->text(), ColorScrollBar->position()), 2, 255);
    values.preset = std::max(0, CustomLEADsetting->itemIndex());
    setModalResult(ModalResult::OK);
}

void TUserCompress::BtnHelpClick(Control*) {
    if (ports().system) ports().system->help("KAVRIN.HLP", 101);
}

bool ShowCompressionDialog(int32_t code, CompressionValues& out) {
    if (handler()) return handler()(code, out);
    IniFile ini(SettingsFileName);
    CompressionValues v;
    v.sample = readValue(ini, "SaveYUV", 0);
    v.luminance = readValue(ini, "SaveJPG", 6);
    v.colour = readValue(ini, "SavePIC", 12);
    v.preset = readValue(ini, "SaveCMP", 0);
    auto form = std::make_unique<TUserCompress>();
    form->values = v;
    form->Arrange(code);
    const ModalResult r = form->showModal();
    // The sample follows the buttons in every case; the rest only on OK.
    out.sample = form->values.sample;
    if (r == ModalResult::Cancel || r == ModalResult::None) return false;
    out.luminance = form->values.luminance;
    out.colour = form->values.colour;
    out.preset = form->values.preset;
    return true;
}

}  // namespace kv::dialogs
