// The value-entry dialog: the window, its controls and the rules that keep the edit box and
// the scroll bar together.
//
// Layout (client area 259 x 178; without presets the window is shorter by the group's
// height + 12):
//
//            min                          max
//   [ edit ] [<|========[]============|>]        Panel1 holds the scroll bar
//            [  &Ok  ]   [ Cancel ]
//   +- Preset Options ------------------------+
//   | (o) &a = 1    (o) &c = 10   (o) &e = 60 |
//   | (o) &b = 5    (o) &d = 30   (o) &f = 120|
//   +-----------------------------------------+
#include "dialogs/value_dialog.h"

#include <algorithm>

#include "framework/error.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::dialogs {

ValueDialogState& valueDialogState() {
    static ValueDialogState s;
    return s;
}

namespace {

constexpr int kGroupTop = 92, kGroupHeight = 78;

}  // namespace

TXScrlDlg::TXScrlDlg() : Form("XScrlDlg") {
    borderStyle = BorderStyle::Dialog;
    stayOnTop = true;
    Font f;
    f.name = "MS Sans Serif";
    f.size = 8;
    f.bold = true;
    setFont(f);
    setCaption("Special Reusable Dialog");

    LabelMin = make<Label>(this, "LabelMin");
    LabelMin->setBounds(66, 5, 80, 14);
    LabelMax = make<Label>(this, "LabelMax");
    LabelMax->setBounds(171, 5, 80, 14);
    LabelMax->alignment = Alignment::Right;
    CustomSetting = make<Edit>(this, "CustomSetting");
    CustomSetting->setBounds(8, 21, 51, 21);
    Panel1 = make<Panel>(this, "Panel1");
    Panel1->setBounds(64, 19, 189, 25);
    CustomScrollBar = make<ScrollBar>(Panel1, "CustomScrollBar");
    CustomScrollBar->setBounds(3, 4, 183, 17);
    BtnOK = make<Button>(this, "BtnOK");
    BtnOK->setBounds(48, 56, 75, 25);
    BtnOK->setCaption("&Ok");
    BtnOK->isDefault = true;
    BtnOK->modalResult = ModalResult::OK;
    BtnCancel = make<Button>(this, "BtnCancel");
    BtnCancel->setBounds(136, 56, 75, 25);
    BtnCancel->setCaption("Cancel");
    BtnCancel->cancel = true;
    BtnCancel->modalResult = ModalResult::Cancel;
    GroupOptions = make<RadioGroup>(this, "GroupOptions");
    GroupOptions->setBounds(8, kGroupTop, 243, kGroupHeight);
    GroupOptions->setCaption("Preset Options");
    GroupOptions->setColumns(3);
    GroupOptions->setItems({"&a = ", "&b = ", "&c = ", "&d = ", "&e = ", "&f = "});

    setClientSize(DesignClientWidth, DesignClientHeight);
    const FrameSize frame = frameOverhead(borderStyle);
    setBounds(0, 0, DesignClientWidth + frame.width, DesignClientHeight + frame.height);

    onCreate = [this](Control* s) { FormCreate(s); };
    onActivate = [this](Control* s) { FormActivate(s); };
    onClose = [this](Control* s) { FormClose(s); };
    CustomSetting->onChange = [this](Control* s) { CustomSettingChange(s); };
    CustomSetting->onKeyDown = [this](Control* s, int& key, unsigned shift) { CustomSettingKeyDown(s, key, shift); };
    CustomSetting->onKeyUp = [this](Control* s, int& key, unsigned shift) { CustomSettingKeyUp(s, key, shift); };
    CustomScrollBar->onChange = [this](Control* s) { CustomScrollBarChange(s); };
    CustomScrollBar->onScroll = [this](Control* s, ScrollCode code, int& pos) { CustomScrollBarScroll(s, code, pos); };
    BtnOK->onClick = [this](Control* s) { BtnOKClick(s); };
    BtnCancel->onClick = [this](Control* s) { BtnCancelClick(s); };
    GroupOptions->onClick = [this](Control* s) { GroupOptionsClick(s); };

    FormCreate(this);
}

void TXScrlDlg::FormCreate(Control*) {
    systemMenu = false;  // no system menu, no close box
}

void TXScrlDlg::FormActivate(Control*) {
    Font f = font();
    f.color = SysColor(syscolor::WindowText);
    setFont(f);
    CustomSetting->setFocus();
}

void TXScrlDlg::FormClose(Control*) {
    // The dialog is destroyed once closed: ShowValueDialog owns it and ends it on return.
}

void TXScrlDlg::CustomSettingChange(Control*) {
    ValueDialogState& st = valueDialogState();
    st.typing = true;
    const std::string t = CustomSetting->text();
    if (t.empty()) {
        st.typing = false;
        return;
    }
    if (auto v = strToInt(t); !v) {
        // Not a whole number: beep, and back to the initial value (the box takes the minimum
        // first; the scroll bar's change then writes the initial value into it).
        if (UserPort* u = ports().user) u->beep();
        CustomSetting->setText(intToStr(st.min));
        CustomScrollBar->setPosition(st.initial);
    } else if (*v >= st.min && *v <= st.max) {
        CustomScrollBar->setPosition(*v);
    }
    // A number outside the limits stays in the box; the scroll bar keeps its position.
    st.typing = false;
}

void TXScrlDlg::CustomSettingKeyDown(Control*, int&, unsigned) { valueDialogState().typing = true; }

void TXScrlDlg::CustomSettingKeyUp(Control* sender, int& key, unsigned) {
    if (key != vk::Return) return;
    key = 0;
    valueDialogState().typing = false;
    CustomSettingChange(sender);
}

void TXScrlDlg::CustomScrollBarChange(Control*) {
    if (!valueDialogState().typing) CustomSetting->setText(intToStr(CustomScrollBar->position()));
}

void TXScrlDlg::CustomScrollBarScroll(Control*, ScrollCode, int&) { valueDialogState().typing = false; }

void TXScrlDlg::BtnOKClick(Control*) {
    ValueDialogState& st = valueDialogState();
    setModalResult(ModalResult::OK);  // at once: the dialog closes even when the box is refused
    int32_t v;
    try {
        v = strToIntChecked(CustomSetting->text());
    } catch (const Error& e) {
        showError(e);  // "'' is not a valid integer value"; the scroll bar's position stands
        return;
    }
    // A number outside the limits becomes the nearer limit; the scroll bar follows the box.
    if (v > st.max) {
        st.typing = false;
        CustomSetting->setText(intToStr(st.max));
    } else if (v < st.min) {
        st.typing = false;
        CustomSetting->setText(intToStr(st.min));
    }
}

void TXScrlDlg::BtnCancelClick(Control*) { setModalResult(ModalResult::Cancel); }

void TXScrlDlg::GroupOptionsClick(Control*) {
    const int i = GroupOptions->itemIndex();
    if (i < 0 || i >= 6) return;
    CustomSetting->setText(intToStr(valueDialogState().presets[static_cast<size_t>(i)]));
    ui().processMessages();
    setModalResult(ModalResult::OK);
}

int32_t ShowValueDialog(const std::string& caption, int32_t min, int32_t max, int32_t position,
                        int32_t largeChange, int32_t smallChange, int32_t presetA, int32_t presetB,
                        int32_t presetC, int32_t presetD, int32_t presetE, int32_t presetF) {
    ValueDialogState& st = valueDialogState();
    int32_t result = ValueCancelled;
    st.min = min;
    st.max = max;
    st.initial = position;
    st.typing = false;

    TXScrlDlg dlg;
    st.dialog = &dlg;
    struct Closed {
        ValueDialogState& st;
        ~Closed() { st.dialog = nullptr; }
    } closed{st};

    dlg.CustomScrollBar->setRange(min, max);
    dlg.LabelMin->setCaption(intToStr(min));
    dlg.LabelMax->setCaption(intToStr(max));
    dlg.CustomScrollBar->setPosition(position);  // kept within the limits
    dlg.CustomSetting->setText(intToStr(position));
    dlg.CustomScrollBar->largeChange = static_cast<int16_t>(largeChange);
    dlg.CustomScrollBar->smallChange = static_cast<int16_t>(smallChange);
    dlg.setCaption(caption);

    st.presets = {presetA, presetB, presetC, presetD, presetE, presetF};
    static const char* const letters = "abcdef";
    for (int k = 0; k < 6; ++k)
        dlg.GroupOptions->setItem(k, std::string("&") + letters[k] + " = " + intToStr(st.presets[static_cast<size_t>(k)]));
    long long sum = 0;
    for (int32_t p : st.presets) sum += p;
    int clientH = TXScrlDlg::DesignClientHeight;
    if (sum == 0) {
        dlg.GroupOptions->setVisible(false);
        clientH -= dlg.GroupOptions->height() + 12;
    }
    // Centred on the screen.
    const FrameSize frame = frameOverhead(dlg.borderStyle);
    const int w = TXScrlDlg::DesignClientWidth + frame.width, h = clientH + frame.height;
    UserPort* u = ports().user;
    const int sw = u ? u->screenWidth() : w, sh = u ? u->screenHeight() : h;
    dlg.setBounds((sw - w) / 2, (sh - h) / 2, w, h);
    dlg.setClientSize(TXScrlDlg::DesignClientWidth, clientH);

    if (dlg.showModal() == ModalResult::OK) result = dlg.CustomScrollBar->position();
    return result;
}

}  // namespace kv::dialogs
