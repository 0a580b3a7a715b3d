// The slide list operations' figures, shared by the native and the Win32 benchmark programs:
// sorting an 1800-slide script by date and by size against looking up its 1800 files bare;
// the explorer's "&Convert file(s)" with 5,000 files marked against writing the same bytes as
// one file; and adding those 5,000 slides from the selection list against reading the list
// and looking up its names bare. The caller installs the platform (file system, settings, a
// headless user) and may give a plain write of one file (no temporary file, no rename).
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/script_bench_table.h"
#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "explorer/file_form.h"
#include "framework/ini.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/sim/sim_ui.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv::bench {

// Tags on the 1800-slide script: "Tag al&l", the tag list of 1800 files against writing its
// bytes as one file, moving 900 tagged files to another folder and back against moving them
// bare, and erasing 900 tagged slides. The table is restored after each erase.
inline void tagsBench(const std::string& root, int rounds, SimUser& user, editor::TEditorForm& form) {
    using namespace kv::editor;
    auto nowMs = [] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    FileSystemPort& fs = *ports().fs;
    editorState().AppDir = root;
    const double tagAll = medianMs(rounds, [&] { form.mnuTagAllClick(form.mnuTagAll); });
    form.Grid->setRow(1);
    const double view = medianMs(rounds, [&] {
        user.answer("View all tagged slides?", ModalResult::Yes);
        form.setModalResult(ModalResult::None);
        form.BtnView->click();
    });
    std::string listBytes;
    fs.readFile(root + "tag.lst", listBytes);
    const double viewBare = medianMs(rounds, [&] { fs.writeFileAtomic(root + "bare.lst", listBytes); });
    std::printf("tag all 1800 slides %.1f ms; tag list of 1800 files %.1f ms, its bytes as one file %.1f ms (%.1fx)\n",
                tagAll, view, viewBare, view / viewBare);

    // Every other slide tagged; moved to a folder and back.
    form.mnuTagAllClick(form.mnuUnTagAll);
    for (int r = 1; r <= 1800; r += 2) form.Grid->setCell(Tag, r, "X");
    const std::string away = root + "Moved away\\";  // made by the caller
    IniFile settings(SettingsFileName);
    settings.writeString(SettingsSection, "SaveName", away + "x");
    std::vector<std::string> moved;
    for (int r = 1; r <= 1800; r += 2) moved.push_back(form.Grid->cell(DisplayName, r));
    fs.setCurrentDirectory(root);
    explorer::setRemoteDlgHandler([](int32_t, int32_t) { return 0; });
    double move = 0, back = 0, bare = 0;
    const int moveRounds = std::min(rounds, 2);  // 3,600 file moves a round
    for (int i = 0; i < moveRounds; ++i) {
        settings.writeString(SettingsSection, "SaveName", away + "x");
        const double a = nowMs();
        form.mnuRelocateClick(form.BtnRelocate);
        settings.writeString(SettingsSection, "SaveName", root + "x");
        const double b = nowMs();
        form.mnuRelocateClick(form.BtnRelocate);
        std::vector<std::string> shortPaths;  // short paths, as a script holds them
        for (const std::string& n : moved) shortPaths.push_back(GetShortPath(root + n));
        const double c = nowMs();
        size_t done = 0;
        for (size_t k = 0; k < moved.size(); ++k) done += fs.moveFile(shortPaths[k], away + moved[k]);
        for (const std::string& n : moved) done += fs.moveFile(away + n, root + n);
        const double d = nowMs();
        if (done != 2 * moved.size())
            notMeasured("moving the tagged files bare", std::to_string(done) + " of " + std::to_string(2 * moved.size()) + " moves done");
        move += (b - a) / moveRounds;
        back += (c - b) / moveRounds;
        bare += (d - c) / 2 / moveRounds;
    }
    explorer::setRemoteDlgHandler({});
    std::printf("move 900 tagged files to a folder %.1f ms and back %.1f ms; moving them bare (from the short paths "
                "the script holds, and back) %.1f ms (%.1fx)\n",
                move,
                back, bare, move / bare);

    // Erasing the 900 tagged slides (thumbnails kept).
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r <= 1800; ++r) rows.push_back(form.Grid->rowCells(r));
    double erase = 0;
    for (int i = 0; i < rounds; ++i) {
        user.answer("ERASE SLIDES\nDelete tagged thumbnails too?", ModalResult::No);
        const double a = nowMs();
        form.MultiErase();
        erase += (nowMs() - a) / rounds;
        if (form.Grid->rowCount() != 901)
            notMeasured("erase 900 tagged slides", "the table has " + std::to_string(form.Grid->rowCount()) + " rows, not 901");
        form.Grid->setRowCount(1801);
        for (int r = 0; r <= 1800; ++r) form.Grid->setRowCells(r, rows[static_cast<size_t>(r)]);
    }
    form.mnuTagAllClick(form.mnuUnTagAll);
    editorState().modified = false;
    std::printf("erase 900 tagged slides of 1800: %.1f ms (mean of %d)\n", erase, rounds);
}

inline void slideListBench(const std::string& root, int rounds, SimUser& user,
                           const std::function<void(const std::string&, const std::string&)>& plainWrite = {}) {
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

    tagsBench(root, rounds, user, form);

    // The selection list written by the explorer window: every file of the folder marked,
    // then "&Convert file(s)"; against writing the same bytes as one file.
    const std::string listFile = root + "kavrin.tmp";
    IniFile(SettingsFileName).writeString(SettingsSection, "Win95Tmp", listFile);
    IniFile(SettingsFileName).writeString(SettingsSection, "LastDir", root);
    explorer::OpenWindow(0, 0);
    explorer::TFileForm& ex = *explorer::state().form;
    const double mark = medianMs(rounds, [&] {
        ex.UnmarkDirectory->click();
        ex.MarkDirectory->click();
    });
    const double convert = medianMs(rounds, [&] { ex.BatchConvert->click(); });
    std::string list;
    fs.readFile(listFile, list);
    const double oneFile = medianMs(rounds, [&] { fs.writeFileAtomic(root + "same bytes.tmp", list); });
    std::printf("convert with 5000 files marked: list of %d files, %zu bytes written in %.2f ms; the same bytes "
                "as one file through the file port %.2f ms (%.2fx)",
                ex.XFiles->selCount(), list.size(), convert, oneFile, convert / oneFile);
    // What replacing an INI file adds to the write: the platform's cached copy dropped.
    const double flushed = medianMs(rounds, [&] {
        fs.writeFileAtomic(root + "same bytes.tmp", list);
        ports().profile->flush(root + "same bytes.tmp");
    });
    std::printf(", the same write with the profile cache flushed %.2f ms (%.2fx)", flushed, convert / flushed);
    if (plainWrite) {
        const double plain = medianMs(rounds, [&] { plainWrite(root + "same bytes.tmp", list); });
        std::printf(", written plainly %.2f ms (%.2fx)", plain, convert / plain);
    }
    std::printf("; marking them %.1f ms\n", mark);
    ex.close();
    user.processMessages();
    fs.deleteFile(root + "same bytes.tmp");
    explorer::setRemoteDlgHandler([](int32_t, int32_t) { return 0; });
    const double add = medianMs(rounds, [&] {
        TEditorForm fresh;
        user.answer(warning, ModalResult::OK);
        fresh.BtnAdd->click();
        if (fresh.Grid->rowCount() != 5001)
            notMeasured("add 5000 slides", "the table has " + std::to_string(fresh.Grid->rowCount()) + " rows, not 5001");
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
