// The explorer form's OK action (open a folder, notify the host, or confirm the dialog) and the
// storing of the chosen file's names for the host.
#include "explorer/file_form.h"

#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

namespace {

// What a placeholder or a probe file holds.
const std::string kPlaceholderBytes("\0\0\1\0", 4);

// Writes a probe file of the explorer's own in `folder` (ending in a backslash): a new name
// each time, made exclusively, so that a file of the user's that happens to have the name is
// never replaced or deleted. Its path, or empty when the folder refuses new files.
std::string writeProbe(FileSystemPort& fs, const std::string& folder) {
    static uint32_t counter = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string probe = folder + "~kvp" + hexText(++counter) + ".tmp";
        if (fs.createNewFile(probe, kPlaceholderBytes)) return probe;
        if (!fs.exists(probe)) return {};  // refused, not taken
    }
    return {};
}

}  // namespace

// ---- the OK action ---------------------------------------------------------------------------

void TFileForm::BtnOKClick(bool fromButton) {
    ExplorerState& st = st_;
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    const std::string D = AddTrailingBackslash(currentFolder());
    std::string N = Edit1->text();

    // The folder rule: open a selected folder; a selected file (in a dialog) refuses.
    auto folderRule = [&] {
        const int i = XFiles->itemIndex();
        if (XFiles->count() == 0 || XFiles->selCount() == 0 || i < 0) return;
        const std::string& entry = XFiles->item(i);
        if (isFolderEntry(entry) && XFiles->selected(i)) ChangeDirectory(D + entry);
    };
    auto accept = [&] { setModalResult(ModalResult::OK); };

    if (!st.dialog) {
        // The window: folders open; one file opens through 0x909, several through the list.
        const int i = XFiles->itemIndex();
        if (XFiles->count() == 0 || XFiles->selCount() == 0) return;
        if (i >= 0 && XFiles->selected(i) && isFolderEntry(XFiles->item(i))) {
            ChangeDirectory(D + XFiles->item(i));
            return;
        }
        if (XFiles->selCount() == 1 && !N.empty()) {
            if (StoreChosenFile()) ports().host->send(st.hostWindow, MsgExplorer, 0, NotifyOpenOne);
            return;
        }
        if (ListMultipleFiles() > 0) ports().host->send(st.hostWindow, MsgExplorer, 0, NotifyOpenList);
        else user.messageDialog("No file(s) selected!", DialogKind::Warning, kv::BtnOK);
        return;
    }

    const int32_t mode = st.mode;
    if (isSaveMode(mode)) {
        if (st.convert && XFiles->count() == 0) N = "~";
        if (N.empty() && !(fromButton && st.convert)) {
            folderRule();
            return;
        }
        if (st.convert) N = D + "~(_)(_)~";
        N = CheckExtension(N, FilterComboBox1->text());
        if (N.empty()) return;
        Edit1->setText(N);
        if (ValidateFileName(N) == 0) return;
        const std::string F = fileOf(N);
        if (fs.exists(F) &&
            user.messageDialog(N + "\n" + "in use.  Overwrite?", DialogKind::Confirmation, BtnYes | BtnNo) !=
                ModalResult::Yes)
            return;
        if (StoreChosenFile()) accept();
        return;
    }
    if (mode == 2) {
        if (N.empty() && !fromButton) {
            folderRule();
            return;
        }
        IniFile(SettingsFileName).writeString(SettingsSection, "Savename", D + GetLongFileName(st.proposedName));
        accept();
        return;
    }
    if (mode == 253) {
        if (ListMultipleFiles() > 0) {
            accept();
            return;
        }
        folderRule();
        return;
    }
    // 252, 254.
    if (N.empty()) {
        folderRule();
        return;
    }
    if (mode == 254) {
        N = CheckExtension(N, FilterComboBox1->text());
        if (N.empty()) return;
        Edit1->setText(N);
    }
    if (ValidateFileName(N) == 0) return;
    const std::string F = fileOf(N);
    if (fs.exists(F) && !fs.isDirectory(F)) {
        if (StoreChosenFile()) accept();
        return;
    }
    user.messageDialog("File not found.", DialogKind::Error, kv::BtnOK);
}

// ---- storing the chosen file -------------------------------------------------------------------

bool TFileForm::StoreChosenFile() {
    ExplorerState& st = st_;
    FileSystemPort& fs = *ports().fs;
    const std::string N = Edit1->text();
    const std::string F = fileOf(N);
    const bool saving = st.dialog && st.mode <= 200;
    IniFile ini(SettingsFileName);
    // Sound over the documented behaviour. The documented check writes a placeholder over
    // the chosen name and deletes it: an existing file the user agreed to overwrite was gone
    // before the host had written anything (a host whose save then failed lost it), and a new
    // long name was gone with its short alias, so a host (or the editor) writing to the short
    // name in `Savename` made a file of that 8.3 name instead. Here:
    // - an existing file is checked by a probe written and deleted beside it (under a new
    //   name of its own, see writeProbe): the file stays until the host replaces it;
    // - a new name keeps its placeholder, so that writing to its short name replaces the
    //   placeholder under the long name the user typed;
    // - the convert dialog's "~(_)(_)~" stands for no file of its own: its placeholder goes.
    // After OK the name is writable in every case.
    if (saving) {
        const bool existed = fs.exists(F);
        const std::string probe = existed ? writeProbe(fs, folderPart(F)) : F;
        if (probe.empty() || (!existed && !fs.writeFileAtomic(probe, kPlaceholderBytes))) {
            ports().user->messageDialog("Access denied.", DialogKind::Error, kv::BtnOK);
            return false;
        }
        ini.writeString(SettingsSection, "LongName", namePart(F));
        const std::string S = GetShortPath(F);
        ini.writeString(SettingsSection, "Savename", S);
        if (existed || st.convert) {
            if (!fs.deleteFile(existed ? probe : S)) {
                ports().user->messageDialog("Access denied.", DialogKind::Error, kv::BtnOK);
                return false;
            }
        }
        return true;
    }
    ini.writeString(SettingsSection, "LongName", namePart(F));
    ini.writeString(SettingsSection, st.dialog ? "Savename" : "Win95file", GetShortPath(F));
    return true;
}

}  // namespace kv::explorer
