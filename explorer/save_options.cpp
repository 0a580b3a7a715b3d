// Save options: the remembered format row of each colour depth, the convert dialog's colour-depth
// box, the "JPEG Compression" button and the save options written after OK.
#include "dialogs/compress_dialog.h"
#include "explorer/file_form.h"
#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

void TFileForm::ReadRememberedRow() {
    ExplorerState& st = st_;
    const std::string key = rowKey(st.mode);
    int32_t* row = st.rememberedRow(st.mode);
    if (key.empty() || !row) return;
    int32_t v = IniFile(SettingsFileName).readInteger(SettingsSection, key, 911);
    *row = v == 911 ? defaultRow(st.mode) : v;
}

void TFileForm::UpdateJpegButton() {
    const ExplorerState& st = st_;
    BtnJPEG->setVisible(st.dialog && isSaveMode(st.mode) && st.mode != 2 && compressible(st.formatCode));
}

void TFileForm::BPPtypeChange(Control*) {
    ExplorerState& st = st_;
    const int i = BPPtype->itemIndex();
    const auto& rows = depthRows();
    if (i < 0 || i >= static_cast<int>(rows.size())) return;
    st.mode = rows[static_cast<size_t>(i)].depth;
    if (int32_t* r = st.rememberedRow(st.mode)) *r = rows[static_cast<size_t>(i)].row;
    SetFileFormats();
    FilterComboBox1Change(FilterComboBox1);
}

void TFileForm::BtnJPEGClick(Control*) {
    ExplorerState& st = st_;
    const int row = FilterComboBox1->itemIndex();
    st.formatCode = (row >= 0 && row < 64) ? st.formatCodes[static_cast<size_t>(row)] : 0;
    dialogs::CompressionValues v;
    if (!dialogs::ShowCompressionDialog(st.formatCode, v)) return;
    IniFile ini(SettingsFileName);
    ini.writeInteger(SettingsSection, "SaveYUV", v.sample);
    ini.writeInteger(SettingsSection, "SaveJPG", v.luminance);
    ini.writeInteger(SettingsSection, "SavePIC", v.colour);
    ini.writeInteger(SettingsSection, "SaveCMP", v.preset);
}

void TFileForm::WriteSaveOptions() {
    ExplorerState& st = st_;
    IniFile ini(SettingsFileName);
    const int32_t depth = st.mode;
    if (int32_t* r = st.rememberedRow(depth)) ini.writeInteger(SettingsSection, rowKey(depth), *r);
    const std::string N = Edit1->text();
    const std::string F = fileOf(N);
    // The documented short path of the file itself is no short path once the placeholder is
    // gone (the file does not exist then): the folder's own short form is what is meant.
    std::string savePath = folderPart(GetShortPath(GetShortPath(F)));
    if (GetShortPath(F) == F) {
        std::string folder = folderPart(F);
        if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        savePath = AddTrailingBackslash(GetShortPath(folder));
    }
    ini.writeString(SettingsSection, "SavePath", savePath);
    ini.writeString(SettingsSection, "SaveExt", extensionOf(F));
    if (depth > 0 && depth < 200) ini.writeInteger(SettingsSection, "MultiBPP", depth);
}

}  // namespace kv::explorer
