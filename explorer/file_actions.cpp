// The file menu's actions: information, preview and delete of the chosen file (the host does
// them on its notification), rename, mark and unmark, the selection list file for convert
// and for opening several files, the instant slideshow script, and the convert dialog's view
// of its input files.
//
// The selection list file and the instant slideshow script are each written in one atomic
// replacement, with the bytes that writing their keys one by one into a deleted file gives:
// a write that fails leaves the previous list whole, raises the framework's error and the
// host is not told.
#include <algorithm>

#include "explorer/file_form.h"
#include "framework/input_box.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

namespace {

constexpr const char* kNoFiles = "No file(s) selected!";
// A count beyond this is no list the explorer wrote: the input view shows no more rows.
constexpr int32_t kMaxListFiles = 32767;

void warnNoFiles() { ports().user->messageDialog(kNoFiles, DialogKind::Warning, kv::BtnOK); }

void notifyHost(const ExplorerState& st, intptr_t code) { ports().host->send(st.hostWindow, MsgExplorer, 0, code); }

// Extension from the last dot of the text, dot included; empty when there is none.
std::string lastDotExtension(const std::string& text) {
    const size_t dot = text.rfind('.');
    return dot == std::string::npos ? std::string() : text.substr(dot);
}

// Extension of a path: from the last dot of its name part.
std::string pathExtension(const std::string& path) { return lastDotExtension(namePart(path)); }

// Characters no file name may hold on the platform; a separator would also move the file to
// another folder instead of renaming it.
bool isPlainFileName(const std::string& name) {
    for (unsigned char c : name)
        if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return true;
}

}  // namespace

// ---- the chosen file: information, preview, delete -------------------------------------------

void TFileForm::NotifyChosenFile(intptr_t code) {
    // The name box of the window holds a listed file's name, but a listing since (the host's
    // update selects the row before) may have put a folder there, or the file may be gone:
    // the host is not asked to act on a folder or on nothing.
    const std::string N = Edit1->text();
    const std::string F = fileOf(N);
    FileSystemPort& fs = *ports().fs;
    if (N.empty() || !fs.exists(F) || fs.isDirectory(F)) {
        warnNoFiles();
        return;
    }
    if (StoreChosenFile()) notifyHost(st_, code);
}

void TFileForm::mnuFInfoClick(Control*) { NotifyChosenFile(NotifyInfo); }

void TFileForm::mnuFPreviewClick(Control*) { NotifyChosenFile(NotifyPreview); }

void TFileForm::mnuFDeleteClick(Control*) { NotifyChosenFile(NotifyDelete); }

// ---- rename ----------------------------------------------------------------------------------

void TFileForm::mnuFRenameClick(Control*) {
    UserPort& user = *ports().user;
    FileSystemPort& fs = *ports().fs;
    for (;;) {
        // 1.
        const std::string E1 = lastDotExtension(Edit1->text());
        const std::string D = AddTrailingBackslash(currentFolder());
        const std::string O = namePart(Edit1->text());
        if (O.empty()) {
            warnNoFiles();
            return;
        }
        // 2.
        const std::string prompt = D.size() > 40 ? D.substr(0, 40) + " ..." : D;
        std::string A = O;
        if (!InputQuery("Rename File", prompt, A) || A.empty() || A == O) return;
        // 3.
        const std::string T = D + A;
        if (fs.exists(T)) {
            user.messageDialog("Filename exists.\n" + T, DialogKind::Warning, kv::BtnOK);
            continue;
        }
        // 4. The comparison is exact: a.bmp to A.BMP asks too.
        const std::string E2 = pathExtension(T);
        if (E1 != E2 &&
            user.messageDialog("Different FILE extension.\nOld Type:" + E1 + "\n" + "New Type:" + E2 + "\n" + "Continue ?",
                               DialogKind::Confirmation, kv::BtnOK | kv::BtnCancel) != ModalResult::OK)
            continue;
        // 5. A name the platform refuses (or one naming another folder) is not tried.
        if (isPlainFileName(A) && fs.moveFile(D + O, T)) {
            UpdateFiles();
            return;
        }
        user.messageDialog("Could not rename\n" + D + O + "\n" + "to" + "\n" + T, DialogKind::Error, kv::BtnOK);
        return;
    }
}

// ---- marking -------------------------------------------------------------------------------

void TFileForm::ValidateSelection() {
    for (int i = 0; i < XFiles->count(); ++i)
        if (XFiles->selected(i) && isFolderEntry(XFiles->item(i))) XFiles->setSelected(i, false);
}

void TFileForm::MarkDirectoryClick(Control*) {
    if (XFiles->count() > 0) XFiles->selectWhere([](const ListBox::Item& it) { return !isFolderEntry(it.text); });
    ValidateSelection();
}

void TFileForm::UnmarkDirectoryClick(Control*) {
    XFiles->selectWhere([](const ListBox::Item&) { return false; });
    // A single-selection list has its one row.
    if (!XFiles->multiSelect()) XFiles->setItemIndex(-1);
}

// ---- the selection list file and the instant slideshow ----------------------------------------

std::string TFileForm::shortFolder() {
    // The folder part of a listed file's short path is the folder's own short path: looked up
    // in its parent rather than by a file among thousands.
    return AddTrailingBackslash(GetShortPath(currentFolder()));
}

std::vector<std::string> TFileForm::SelectedShortNames() {
    ValidateSelection();
    const std::string D = AddTrailingBackslash(currentFolder());
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(XFiles->selCount()));
    for (const ListBox::Item& it : XFiles->items()) {
        if (!it.selected) continue;
        // The name part of the file's short path: from the listing, or looked up when the
        // listing did not have it.
        auto known = listedShortNames.find(it.text);
        names.push_back(known != listedShortNames.end() ? known->second : namePart(GetShortPath(D + it.text)));
    }
    return names;
}

int TFileForm::ListMultipleFiles() {
    const std::vector<std::string> names = SelectedShortNames();
    const int n = static_cast<int>(names.size());
    if (XFiles->count() == 0 || n == 0) return 0;
    IniBuilder list;
    list.reserve(static_cast<size_t>(n) * 24 + 64, static_cast<size_t>(n) + 2);
    list.add("Directory", "Files", intToStr(n));
    for (int k = 1; k <= n; ++k) list.add(intToStr(k), "F", names[static_cast<size_t>(k - 1)]);
    list.add("Directory", "Name", shortFolder());
    IniFile(st_.listFile).replace(list);
    return n;
}

void TFileForm::BatchConvertClick(Control*) {
    if (ListMultipleFiles() > 0) notifyHost(st_, NotifyConvert);
    else warnNoFiles();
}

void TFileForm::InstantSlideshowClick(Control*) {
    if (XFiles->count() == 0) return;
    const std::vector<std::string> names = SelectedShortNames();
    const int n = static_cast<int>(names.size());
    if (n == 0) {
        warnNoFiles();
        return;
    }
    IniBuilder show;
    show.reserve(static_cast<size_t>(n) * 26 + 64, static_cast<size_t>(n) + 3);
    show.add("Header", "Ver", "4");
    show.add("Header", "N", intToStr(n + 1));
    for (int k = 1; k <= n; ++k) show.add(intToStr(k), "F", names[static_cast<size_t>(k - 1)] + ",0");
    show.add("Directory", "0", shortFolder());
    IniFile(st_.listFile).replace(show);
    notifyHost(st_, NotifySlideshow);
}

// ---- the convert dialog's input files ----------------------------------------------------------

void TFileForm::mnuListInputClick(Control*) {
    if (inputViewShown()) HideInputView();
    else ShowInputView();
}

void TFileForm::ShowInputView() {
    SwitchInputView(true);
    // Filled once: the list the host wrote before it opened the dialog.
    if (InputList->count() == 0) {
        IniFile list(st_.listFile);
        const int32_t n = std::min(list.readInteger("Directory", "Files", 1), kMaxListFiles);
        std::vector<ListBox::Item> rows;
        for (int32_t k = 1; k <= n; ++k) rows.push_back({lower(list.readString(intToStr(k), "F", "[ERROR]")), -1, false});
        InputList->assign(std::move(rows));
    }
    InputList->setFocus();
}

}  // namespace kv::explorer
