// The slide list operations' figures, shared by the native and the Win32 benchmark programs:
// sorting an 1800-slide script by date and by size against looking up its 1800 files bare,
// and adding 5,000 slides from a selection list against reading the list and looking up its
// names bare. The caller installs the platform (file system, settings, a headless user).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "bench/script_bench_table.h"
#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/ini.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/sim/sim_ui.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv::bench {

inline void slideListBench(const std::string& root, int rounds, SimUser& user) {
    using namespace kv::editor;
    FileSystemPort& fs = *ports().fs;
    const char* const warning = "Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.";
    // 5,000 picture files of different sizes; the script uses the first 1800.
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) {
        names.push_back("Picture number " + intToStr(i) + ".bmp");
        fs.writeFileAtomic(root + names.back(), std::string(static_cast<size_t>(1 + (i * 7919) % 4000), 'p'));
    }

    editorState() = EditorState{};
    TEditorForm form;
    form.Grid->setRowCount(1801);
    for (int r = 1; r <= 1800; ++r) {
        form.Grid->setRow(r);
        form.Grid->setCell(SlideNo, r, intToStr(r));
        form.Grid->setCell(FilePath, r, lower(GetShortPath(root + names[static_cast<size_t>(r - 1)])));
        form.Grid->setCell(DisplayName, r, names[static_cast<size_t>(r - 1)]);
        form.SetUpGraphic();
    }
    form.EnableControls();
    editorState().modified = false;
    std::vector<std::string> paths;
    for (int r = 1; r <= 1800; ++r) paths.push_back(form.Grid->cell(FilePath, r));
    const double bare = medianMs(rounds, [&] {
        for (const std::string& p : paths) fs.findEntry(p);
    });
    const double bySize = medianMs(rounds, [&] { form.SortByAny(form.mnuSortSize); });
    const double byDate = medianMs(rounds, [&] { form.SortByAny(form.mnuSortDate); });
    const double byName = medianMs(rounds, [&] { form.SortByAny(form.mnuSortName); });
    std::printf("sort 1800 slides: by size %.1f ms, by date %.1f ms, by name %.1f ms; "
                "looking up the 1800 files bare %.1f ms (size sort %.1fx)\n",
                bySize, byDate, byName, bare, bySize / bare);

    // The selection list as the explorer writes it: short names, the short folder.
    std::string list = "[Directory]\r\nFiles=5000\r\nName=" + AddTrailingBackslash(GetShortPath(root)) + "\r\n";
    for (size_t i = 0; i < names.size(); ++i)
        list += "[" + intToStr(static_cast<int>(i) + 1) + "]\r\nF=" + namePart(GetShortPath(root + names[i])) + "\r\n";
    const std::string listFile = root + "kavrin.tmp";
    fs.writeFileAtomic(listFile, list);
    IniFile(SettingsFileName).writeString(SettingsSection, "Win95Tmp", listFile);
    explorer::setRemoteDlgHandler([](int32_t, int32_t) { return 0; });
    const double add = medianMs(rounds, [&] {
        TEditorForm fresh;
        user.answer(warning, ModalResult::OK);
        fresh.BtnAdd->click();
        if (fresh.Grid->rowCount() != 5001) std::printf("add: %d rows\n", fresh.Grid->rowCount());
    });
    const double addBare = medianMs(rounds, [&] {
        std::string bytes;
        fs.readFile(listFile, bytes);
        const IniDocument doc = IniDocument::parse(std::move(bytes));
        const std::string folder = doc.readString("Directory", "Name", "");
        for (int i = 1; i <= 5000; ++i) {
            const std::string full = folder + doc.readString(intToStr(i), "F", "");
            GetShortPath(full);
            GetLongFileName(full);
        }
    });
    explorer::setRemoteDlgHandler({});
    std::printf("add 5000 slides from a selection list: %.1f ms; reading the list and looking up its names bare "
                "%.1f ms (%.2fx)\n",
                add, addBare, add / addBare);
    for (const std::string& n : names) fs.deleteFile(root + n);
    fs.deleteFile(listFile);
}

}  // namespace kv::bench
