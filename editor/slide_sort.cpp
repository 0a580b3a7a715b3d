// Sorting the script by display name, file date or file size: a selection sort over the
// table that exchanges rows and leaves the slide numbers in place; the date and size keys are
// written into the Tag column, one file-system look-up per slide, and every tag is cleared
// afterwards.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

// Seconds since 1970 as a packed DOS date and time: the date in the high 16 bits (years since
// 1980, month, day), the time of day in the low 16 bits (hours, minutes, seconds / 2). Stamps
// before 1980 give 1980-01-01 00:00, as the packed form cannot hold them.
uint32_t dosStamp(int64_t seconds) {
    if (seconds < 315532800) return (1u << 5 | 1u) << 16;  // 1980-01-01
    const int64_t secs = seconds % 86400;
    const CivilDate c = civilFromDays(seconds / 86400);
    const uint32_t date = static_cast<uint32_t>(((c.year - 1980) & 0x7F) << 9 | c.month << 5 | c.day);
    const uint32_t time = static_cast<uint32_t>((secs / 3600) << 11 | (secs / 60 % 60) << 5 | (secs % 60) / 2);
    return date << 16 | time;
}

std::string hex12(uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%012llX", static_cast<unsigned long long>(v));
    return buf;
}

// Directory entries of the slides' files. A folder that holds many of the slides is listed once
// (with thousands of files in a folder, finding one file by its short name may scan the whole
// folder); other files, and any a listing does not hold, are found one by one.
class SlideFiles {
public:
    explicit SlideFiles(const std::vector<std::string>& paths) {
        std::unordered_map<std::string, int> perFolder;
        for (const std::string& p : paths) ++perFolder[folderOf(p)];
        for (const auto& [folder, count] : perFolder) {
            if (count < 64) continue;
            for (DirEntry& e : ports().fs->list(folder, "*.*")) {
                if (e.directory) continue;
                if (!e.shortName.empty()) byPath_.emplace(folder + lower(e.shortName), e);
                byPath_.emplace(folder + lower(e.longName), std::move(e));
            }
        }
    }
    std::optional<DirEntry> find(const std::string& path) const {
        if (auto it = byPath_.find(lower(path)); it != byPath_.end()) return it->second;
        return ports().fs->findEntry(path);
    }

private:
    static std::string folderOf(const std::string& path) {
        const size_t sep = path.find_last_of("\\:");
        return sep == std::string::npos ? std::string() : lower(path.substr(0, sep + 1));
    }
    std::unordered_map<std::string, DirEntry> byPath_;
};

}  // namespace

void TEditorForm::SortByAny(const MenuItem* sender) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    if (st.modified &&
        user.messageDialog("Slide order will be rearranged.  Continue?", DialogKind::Confirmation, BtnYes | BtnNo) !=
            ModalResult::Yes)
        return;
    if (Tab->pageIndex() > 0) Tab->setPageIndex(0);  // runs TabClick, which hides the catalogue
    EditHistory::Step step(*history, sender == mnuSortName   ? "sort by name"
                                     : sender == mnuSortDate ? "sort by date"
                                                             : "sort by size");
    user.setCursor(CursorKind::HourGlass);
    const int n = Grid->rowCount() - 1;

    std::vector<std::string> key(static_cast<size_t>(n) + 1);
    if (sender == mnuSortName) {
        for (int r = 1; r <= n; ++r) key[static_cast<size_t>(r)] = lower(Grid->cell(DisplayName, r));
    } else {
        const bool byDate = sender == mnuSortDate;
        std::vector<std::string> paths;
        for (int r = 1; r <= n; ++r) {
            const std::string& path = Grid->cell(FilePath, r);
            if (!path.empty() && path != BlankMarker && Grid->cell(Tag, r) != BlankMarker) paths.push_back(path);
        }
        const SlideFiles files(paths);
        for (int r = n; r >= 1; --r) {
            const std::string& path = Grid->cell(FilePath, r);
            if (!path.empty() && path != BlankMarker && Grid->cell(Tag, r) != BlankMarker) {
                if (const auto e = files.find(path); e && !e->directory)
                    Grid->setCell(Tag, r, hex12(byDate ? dosStamp(e->modified) : e->size));
            }
            key[static_cast<size_t>(r)] = Grid->cell(Tag, r);
        }
    }

    // Selection sort from the end: the greatest key of rows 1..i goes to row i; of equal keys
    // the one with the higher row number is taken first; empty keys are never taken.
    Grid->beginUpdate();
    for (int i = n; i >= 1; --i) {
        const std::string* best = nullptr;
        int p = 0;
        for (int a = i; a >= 1; --a) {
            const std::string& k = key[static_cast<size_t>(a)];
            if (best ? k > *best : !k.empty()) {
                best = &k;
                p = a;
            }
        }
        if (p != 0 && p != i) {
            SwapSlideRows(p, i);
            st.modified = true;  // the order changed (p's key is greater than i's): closing must ask
            std::swap(key[static_cast<size_t>(p)], key[static_cast<size_t>(i)]);
        }
    }
    Grid->endUpdate();
    mnuTagAllClick(mnuUnTagAll);  // every tag cleared, and with them the date and size keys
    user.setCursor(CursorKind::Default);
    GridClick(this);
}

}  // namespace kv::editor
