// The value-entry dialog: one small modal dialog, TXScrlDlg, that asks the user for
// a whole number within limits, by typing it, dragging a scroll bar or clicking one of up to
// six presets. Every caller (the editor's attribute editors, slide numbers and CD tracks, the
// video player's speed and volume) reaches it through ShowValueDialog alone; native tests of a
// caller answer it through the sim backend like any modal form ("XScrlDlg").
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "framework/controls.h"

namespace kv::dialogs {

// What ShowValueDialog returns when the user cancelled.
constexpr int32_t ValueCancelled = -999;

// Asks for a number between min and max (min must not exceed max), starting at position;
// largeChange and smallChange are the scroll bar's page and arrow steps (used as 16-bit
// values); presets a to f are offered as radio items, none when all are 0. Returns the
// chosen value, or -999 when the dialog was cancelled.
int32_t ShowValueDialog(const std::string& caption, int32_t min, int32_t max, int32_t position,
                        int32_t largeChange, int32_t smallChange, int32_t presetA, int32_t presetB,
                        int32_t presetC, int32_t presetD, int32_t presetE, int32_t presetF);

class TXScrlDlg;

// Module state of the dialog (one dialog at a time).
struct ValueDialogState {
    TXScrlDlg* dialog = nullptr;  // the open dialog, if any
    int32_t min = 0, max = 0, initial = 0;  // of the current call
    std::array<int32_t, 6> presets{};
    bool typing = false;  // the user is typing: the scroll bar leaves the box alone
};
ValueDialogState& valueDialogState();

class TXScrlDlg : public Form {
public:
    TXScrlDlg();  // builds the controls and runs FormCreate

    // Design sizes.
    static constexpr int DesignClientWidth = 259, DesignClientHeight = 178;

    Label* LabelMin;
    Label* LabelMax;
    Edit* CustomSetting;
    Panel* Panel1;
    ScrollBar* CustomScrollBar;
    Button* BtnOK;
    Button* BtnCancel;
    RadioGroup* GroupOptions;

    void FormCreate(Control* sender);
    void FormActivate(Control* sender);
    void FormClose(Control* sender);
    void CustomSettingChange(Control* sender);
    void CustomSettingKeyDown(Control* sender, int& key, unsigned shift);
    void CustomSettingKeyUp(Control* sender, int& key, unsigned shift);
    void CustomScrollBarChange(Control* sender);
    void CustomScrollBarScroll(Control* sender, ScrollCode code, int& pos);
    void BtnOKClick(Control* sender);
    void BtnCancelClick(Control* sender);
    void GroupOptionsClick(Control* sender);
};

}  // namespace kv::dialogs
