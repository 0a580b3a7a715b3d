// The listing of the current folder under the masks in force, the filter rows, the
// format lists of the save modes, the drive/folder box, the columns and the view options.
#include <algorithm>

#include "explorer/file_form.h"
#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::explorer {

namespace {

// Sort prefixes that put folders before (two blanks) or after (two bytes 255) the files.
const std::string kBefore = "  ";
const std::string kAfter = "\xFF\xFF";

}  // namespace

bool TFileForm::isFolderEntry(const std::string& text) { return text.find('\\') != std::string::npos; }

std::string TFileForm::fileOf(const std::string& name) const {
    return pos(":", name) > 0 && pos("\\", name) > 0 ? name : AddTrailingBackslash(currentFolder()) + name;
}

// ---- listing -------------------------------------------------------------------------------

void TFileForm::UpdateFiles() {
    ExplorerState& st = st_;
    if (!st.open || st.building) return;
    FileSystemPort& fs = *ports().fs;
    // 1. The list shows its new entries once, at the end (the documented listing hides the
    // list meanwhile; hiding and showing a window repaints all around it).
    XFiles->beginUpdate();
    BtnUp->setEnabled(false);
    mnuFLevel->setEnabled(false);
    Edit1->setText("");
    XFiles->clear();
    const std::string D = AddTrailingBackslash(currentFolder());

    // 2. The mask walk: files, hidden ones too, not system files and not folders. The folder
    // is read once ("*.*", every entry with its 8.3 alias) and each mask of the walk is matched
    // as find-first matches it (the long name or the alias, DOS wildcards): the entries each
    // find-first would give, in the walk's order, for one reading of the folder instead of one
    // a mask (the first row has nineteen). The list sorts on insertion; the entries are
    // gathered and put in that order at once, the same list without ten thousand insertions.
    const std::vector<DirEntry> all = fs.list(D, "*.*");
    // Each file's short name under the text the list shows for it (step 3 below).
    listedShortNames.clear();
    listedShortNames.reserve(all.size());
    for (const DirEntry& e : all)
        if (!e.directory)
            listedShortNames.emplace(mnuLowercase->checked() ? lower(e.longName) : e.longName,
                                     e.shortName.empty() ? e.longName : e.shortName);
    std::vector<ListBox::Item> files;
    files.reserve(all.size());
    for (const std::string& m : maskWalk(st.mask)) {
        const bool ext = IsExtensionMask(m);
        const std::string e3 = ext ? m.substr(2) : std::string();
        auto matches = [&](const std::string& name) {
            return ext ? MatchesExtensionMask(e3, name) : MatchesPattern(name, m);
        };
        for (const DirEntry& e : all)
            if (!e.directory && !e.system && (matches(e.longName) || (!e.shortName.empty() && matches(e.shortName))))
                files.push_back({e.longName, FileGlyph, false});
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const ListBox::Item& a, const ListBox::Item& b) { return ListBox::lessText(a.text, b.text); });
    // 3.
    if (mnuLowercase->checked())
        for (auto& f : files)
            for (char& c : f.text)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    // 4. Folders, with the sort prefix; "." enables "Up One Level".
    const std::string& prefix = mnuFoldersAfter->checked() ? kAfter : kBefore;
    std::vector<ListBox::Item> folders;
    bool up = false;
    for (const DirEntry& e : all) {
        if (!e.directory) continue;
        if (!e.longName.empty() && e.longName[0] == '.') {
            up = true;
            continue;
        }
        folders.push_back({prefix + e.longName + "\\", FolderGlyph, false});
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const ListBox::Item& a, const ListBox::Item& b) { return ListBox::lessText(a.text, b.text); });
    // 5. The prefix removed in place, the folder in lower case.
    for (auto& f : folders) f.text = lower(copyFrom(f.text, 3));
    std::vector<ListBox::Item> items;
    items.reserve(files.size() + folders.size());
    if (mnuFoldersAfter->checked()) {
        items = std::move(files);
        items.insert(items.end(), folders.begin(), folders.end());
    } else {
        items = std::move(folders);
        items.insert(items.end(), files.begin(), files.end());
    }
    XFiles->assign(std::move(items));
    if (up) {
        BtnUp->setEnabled(true);
        mnuFLevel->setEnabled(true);
    }
    // 6.
    CalcStringWidth();
    XFiles->endUpdate();
    InitFocus();
}

void TFileForm::InitFocus() {
    if (XFiles->count() == 0) {
        mnuFOpen->setEnabled(false);
        return;
    }
    if (!isFolderEntry(XFiles->item(0))) Edit1->setText(XFiles->item(0));
    if (XFiles->multiSelect()) {
        XFiles->setItemIndex(0);
        XFiles->setSelected(0, true);
    } else {
        XFiles->setItemIndex(0);
    }
    XFiles->setFocus();
    mnuFOpen->setEnabled(true);
}

void TFileForm::XFilesClick(Control*) {
    const int i = XFiles->itemIndex();
    if (i < 0) return;
    const std::string& t = XFiles->item(i);
    Edit1->setText(isFolderEntry(t) ? std::string() : t);
}

void TFileForm::XFilesDblClick(Control*) {
    const int i = XFiles->itemIndex();
    if (i < 0) return;
    const std::string& t = XFiles->item(i);
    if (isFolderEntry(t)) {
        ChangeDirectory(AddTrailingBackslash(currentFolder()) + t);
        return;
    }
    if (mnuPreviewMode->checked()) mnuFPreviewClick(XFiles);
    else BtnOKClick(false);
}

void TFileForm::mnuRefreshClick(Control*) { UpdateFiles(); }

// ---- filters -------------------------------------------------------------------------------

void TFileForm::FilterComboBox1Change(Control*) {
    ExplorerState& st = st_;
    const std::string old = st.mask;
    const int row = FilterComboBox1->itemIndex();
    if (st.dialog && isDepth(st.mode)) {
        st.mask = saveMask(FilterComboBox1->text());
        if (st.mask != old) {
            if (!st.open) return;
            UpdateFiles();
        }
        st.formatCode = (row >= 0 && row < 64) ? st.formatCodes[static_cast<size_t>(row)] : 0;
        UpdateJpegButton();
        if (int32_t* r = st.rememberedRow(st.mode)) *r = row;
        return;
    }
    st.mask = (st.dialog && st.mode == 2) ? std::string("*.*") : browseMask(row);
    if (st.mask != old && st.open) UpdateFiles();
}

void TFileForm::SetFileFormats() {
    ExplorerState& st = st_;
    const int depth = st.mode;
    if (st.option > 0 && (depth == 24 || depth == 16 || depth == 8))
        if (int32_t* r = st.rememberedRow(depth)) *r = forcedRow(depth);
    std::vector<std::string> labels;
    st.formatCodes.fill(0);
    size_t i = 0;
    for (const FormatRow& r : formatRows(depth, st.option)) {
        labels.push_back(r.label);
        if (i < st.formatCodes.size()) st.formatCodes[i] = r.code;
        ++i;
    }
    FilterComboBox1->setItems(labels);
    // A remembered row outside the list (a settings file edited by hand) selects nothing
    // rather than a row that is not there.
    int32_t* r = st.rememberedRow(depth);
    int row = r ? *r : -1;
    FilterComboBox1->setItemIndex(row >= 0 && row < static_cast<int>(labels.size()) ? row : -1);
}

// ---- drive/folder box -----------------------------------------------------------------------

void TFileForm::UpdateHistory() {
    const std::string& dir = currentFolder();
    if (dir.empty()) return;
    DriveBox->refresh();
    DriveBox->setDrive(dir[0]);
    int p = DriveBox->itemIndex() + 1;
    std::vector<std::string> items, pics;
    for (const auto& e : DriveBox->entries()) {
        items.push_back(e.text);
        pics.push_back(e.picture);
    }
    std::string indent = " ";
    const int levels = DirectoryListBox1->itemIndex();
    const auto& entries = DirectoryListBox1->entries();
    for (int k = 1; k <= levels; ++k) {
        items.insert(items.begin() + p, indent + "\\" + entries[static_cast<size_t>(k)]);
        pics.insert(pics.begin() + p, k == levels ? DirectoryListBox1->picture(k) : std::string());
        indent += " ";
        ++p;
    }
    LookBox->setItems(items, pics);
    LookBox->setItemIndex(p - 1);
}

void TFileForm::LookBoxChange(Control*) {
    ExplorerState& st = st_;
    if (st.lookBusy) return;
    st.lookBusy = true;
    const int i = LookBox->itemIndex();
    const std::string entry = LookBox->text();
    if (i >= 0 && pos(":", entry) > 0) {
        const char letter = entry[0];
        if (!ports().fs->driveReady(letter)) {
            DriveBox->setDrive('c');
            ChangeDirectory("c:\\");
            st.lookBusy = false;
            ports().user->messageDialog("Drive " + upper(std::string(1, letter)) + ": not ready.", DialogKind::Error,
                                        kv::BtnOK);
            return;
        }
        ChangeDirectory(std::string(1, letter) + ":\\");
    } else if (i >= 0) {
        auto trimmed = [](const std::string& s) {
            size_t b = s.find_first_not_of(' ');
            return b == std::string::npos ? std::string() : s.substr(b);
        };
        std::string path = trimmed(entry);
        const auto& items = LookBox->items();
        int k = i - 1;
        for (; k >= 0; --k) {
            const std::string& t = items[static_cast<size_t>(k)];
            if (pos(":", t) > 0) break;
            path = trimmed(t) + path;
        }
        if (k >= 0) ChangeDirectory(copy(items[static_cast<size_t>(k)], 1, 2) + path);
    }
    st.lookBusy = false;
}

void TFileForm::LookBoxClick(Control*) {
    const std::string entry = LookBox->text();
    if (pos(":", entry) > 0 && !entry.empty() && lower(std::string(1, entry[0]))[0] == DriveBox->drive())
        LookBoxChange(LookBox);
}

void TFileForm::BtnUpClick(Control*) {
    const int i = LookBox->itemIndex();
    if (i <= 0) return;
    LookBox->setItemIndex(i - 1);
    LookBoxChange(LookBox);
}

void TFileForm::ChangeDirectory(const std::string& path) {
    std::string p = path;
    if (p.size() > 3 && p.back() == '\\') p.pop_back();
    if (DirectoryListBox1->directory() == p) return;
    DirectoryListBox1->setDirectory(p);
}

void TFileForm::DirectoryListBox1Change(Control*) {
    const ExplorerState& st = st_;
    if (!st.open || st.building) return;
    UpdateFiles();
    UpdateHistory();
}

// ---- columns and view options ------------------------------------------------------------------

void TFileForm::CalcStringWidth() {
    ExplorerState& st = st_;
    if (!st.open || st.building) return;
    if (mnuSingleColumn->checked()) return;
    std::vector<const std::string*> texts;
    texts.reserve(static_cast<size_t>(XFiles->count()));
    for (const auto& it : XFiles->items()) texts.push_back(&it.text);
    const int widest = texts.empty() ? 0 : ui().maxTextWidth(XFiles->font(), texts);
    // The "WW" of the width keeps room for the item's picture before its text.
    st.columnWidth = columnWidth(ui().textWidth(XFiles->font(), "WW"), widest);
    const int cols = columnCount(XFiles->width(), st.columnWidth);
    XFiles->setColumns(cols);
    // As a list of n columns shares its width among them.
    XFiles->setColumnWidth(std::max(1, (XFiles->width() + cols - 3) / cols));
}

void TFileForm::mnuOptimizeWinClick(bool maximize) {
    ExplorerState& st = st_;
    UserPort& user = *ports().user;
    if (st.columnWidth <= 0) return;
    const int frame = frameOverhead(borderStyle).width + 2 * ports().metrics->borderWidth();
    const int n = maximize ? (user.screenWidth() - frame) / st.columnWidth : XFiles->width() / st.columnWidth;
    if (windowState() != WindowState::Normal) setWindowState(WindowState::Normal);
    const int w = frame + std::max(n, 1) * st.columnWidth + 4;
    placeOuter(left(), top(), w, height());
    FormResize(this);
    ui().processMessages();
    if (left() + width() > user.screenWidth()) {
        placeOuter((user.screenWidth() - width()) / 2, top(), width(), height());
    }
}

void TFileForm::mnuSingleColumnClick(Control*) {
    const bool single = !mnuSingleColumn->checked();
    mnuSingleColumn->setChecked(single);
    XFiles->setColumns(single ? 0 : 2);
    mnuOptimizeWin->setEnabled(!single);
    mnuMaximizeWin->setEnabled(!single);
    UpdateFiles();
}

void TFileForm::mnuFontClick(Control*) {
    Font f = XFiles->font();
    if (!chooseFont(f, 6, 14)) return;
    Font mine = font();
    mine.name = f.name;
    mine.size = f.size;
    mine.bold = f.bold;
    setFont(mine);
    ui().processMessages();
    UpdateFiles();
}

void TFileForm::mnuLowercaseClick(Control*) {
    mnuLowercase->setChecked(!mnuLowercase->checked());
    UpdateFiles();
}

void TFileForm::mnuFoldersAfterClick(Control*) {
    mnuFoldersAfter->setChecked(!mnuFoldersAfter->checked());
    UpdateFiles();
}

void TFileForm::mnuPreviewModeClick(Control*) {
    mnuPreviewMode->setChecked(!mnuPreviewMode->checked());
    ports().user->messageDialog(mnuPreviewMode->checked() ? "Preview mode enabled." : "Preview mode disabled.",
                                DialogKind::Information, kv::BtnOK);
}

}  // namespace kv::explorer
