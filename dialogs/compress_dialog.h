// The compression settings dialog, TUserCompress ("Compression Setting"), module JPEG9501:
// the quality of luminance and colour (or smoothing), the chroma sampling and the CMP presets
// of the JPEG-family save formats.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "framework/controls.h"

namespace kv::dialogs {

struct CompressionValues {
    int32_t sample = 0;      // SaveYUV: 0 = 4:4:4, 1 = 4:2:2, 2 = 4:1:1
    int32_t luminance = 6;   // SaveJPG: 2..255
    int32_t colour = 12;     // SavePIC: 2..255
    int32_t preset = 0;      // SaveCMP: 0..9, 0 custom
};

class TUserCompress : public Form {
public:
    TUserCompress();
    ~TUserCompress() override;

    Label* LumaLabel;
    Panel* Panel1;
    ScrollBar* LumaScrollBar;
    Edit* LumaEdit;
    Label* Label2;  // "2 (best)"
    Label* Label1;  // "(smallest) 255"
    Label* ColorLabel;
    Panel* Panel2;
    ScrollBar* ColorScrollBar;
    Edit* ColorEdit;
    ComboBox* CustomLEADsetting;
    RadioGroup* Sample;  // the group "S&ample": items YUV4 "4:4:4", YUV2 "4:2:2", YUV1 "4:1:1"
    Button* BtnOK;
    Button* BtnCancel;
    Button* BtnHelp;

    CompressionValues values;

    // Sets the controls from the values and arranges them for a format code.
    void Arrange(int32_t code);
    void FormActivate(Control* sender);
    void LumaScrollBarChange(Control* sender);
    void ColorScrollBarChange(Control* sender);
    void LumaEditChange(Control* sender);
    void ColorEditChange(Control* sender);
    void CustomLEADsettingChange(Control* sender);
    void SampleClick(Control* sender);
    void BtnOKClick(Control* sender);
    void BtnHelpClick(Control* sender);

private:
    void applyEdit(Edit* edit, ScrollBar* bar);
    bool applying_ = false;
};

// Reads SaveYUV, SaveJPG, SavePIC and SaveCMP (a missing key, or 911, takes its default),
// shows the dialog for the format code and returns false for Cancel; true with the user's
// values otherwise. The caller writes the keys.
bool ShowCompressionDialog(int32_t code, CompressionValues& out);

// Replaces the dialog (tests of its callers script the answer); empty restores it.
void setCompressionHandler(std::function<bool(int32_t code, CompressionValues& out)> handler);

}  // namespace kv::dialogs
