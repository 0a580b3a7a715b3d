// The slide editor's largest single steps on an 1800-slide script, shared by the native and
// the Win32 slide list benchmark programs: a "&Global" effect change, a sort by name and the
// erase of 900 tagged slides, each timed alone and, in a library that keeps an undo history,
// its undo and its redo (as the keys do them: the table, its panels and the catalogue). The
// table is put back between rounds, untimed. Built against a library without the history it
// times the steps alone, so that two builds can be compared run for run.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "editor/editor_form.h"
#include "framework/sim/sim_ui.h"
#include "framework/text.h"

#if __has_include("editor/edit_history.h")
#define KV_BENCH_UNDO 1
#endif

namespace kv::bench {

inline void editStepsBench(int rounds, SimUser& user) {
    using namespace kv::editor;
    const auto nowMs = [] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    editorState() = EditorState{};
    TEditorForm form;
    StringGrid& g = *form.Grid;
    g.setRowCount(1801);
    for (int r = 1; r <= 1800; ++r) {
        g.setRow(r);
        g.setCell(SlideNo, r, intToStr(r));
        g.setCell(FilePath, r, "c:\\bench\\pic" + intToStr(r) + ".bmp");
        g.setCell(DisplayName, r, "Picture number " + intToStr(r - 1) + ".bmp");
        form.SetUpGraphic();
    }
    form.EnableControls();
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r <= 1800; ++r) rows.push_back(g.rowCells(r));
    const auto table = [&] {
        std::vector<std::vector<std::string>> t;
        for (int r = 0; r < g.rowCount(); ++r) t.push_back(g.rowCells(r));
        return t;
    };

    struct Step {
        const char* name;
        std::function<void(int round)> prepare, act;
        std::function<bool()> done;  // whether the step changed what it should
        Runs step, undo, redo;
    };
    std::vector<Step> steps;
    steps.push_back({"global effect on 1800 slides",
                     [&](int round) {
                         g.setRow(1);
                         g.setCol(EffectName);
                         user.onPopup("mnuFX", [round](PopupMenu& m) { m.items()[static_cast<size_t>(3 + round % 2)]->click(); });
                     },
                     [&](int) { form.CommonAction(form.BtnGlobal); },
                     [&] { return g.cell(EffectName, 1800) != "none"; }, Runs("global"), Runs("global undo"),
                     Runs("global redo")});
    steps.push_back({"sort of 1800 slides by name", [](int) {}, [&](int) { form.SortByAny(form.mnuSortName); },
                     [&] { return g.cell(DisplayName, 3) == "Picture number 10.bmp"; }, Runs("sort"), Runs("sort undo"),
                     Runs("sort redo")});
    steps.push_back({"erase of 900 tagged slides of 1800",
                     [&](int) {
                         for (int r = 1; r <= 1800; r += 2) g.setCell(Tag, r, "X");
                         user.answer("ERASE SLIDES\nDelete tagged thumbnails too?", ModalResult::No);
                     },
                     [&](int) { form.MultiErase(); }, [&] { return g.rowCount() == 901; }, Runs("erase"),
                     Runs("erase undo"), Runs("erase redo")});

    for (int round = 0; round < rounds; ++round) {
        for (Step& s : steps) {
            g.setRowCount(1801);
            for (int r = 0; r <= 1800; ++r) g.setRowCells(r, rows[static_cast<size_t>(r)]);
            g.setRow(1);
            editorState().modified = false;
            s.prepare(round);
            const auto before = table();
            double a = nowMs();
            s.act(round);
            double b = nowMs();
            s.step.add(s.done() ? b - a : -1, "the step did not change the table");
#ifdef KV_BENCH_UNDO
            const auto after = table();
            a = nowMs();
            form.mnuUndoClick(nullptr);
            b = nowMs();
            s.undo.add(table() == before ? b - a : -1, "the undo did not give the table before the step");
            a = nowMs();
            form.mnuRedoClick(nullptr);
            b = nowMs();
            s.redo.add(table() == after ? b - a : -1, "the redo did not give the table after the step");
#endif
        }
    }
    for (Step& s : steps) {
        if (!s.step.measured()) continue;
        std::printf("%s: median %.2f ms (%.2f-%.2f)", s.name, s.step.median(), s.step.fastest(), s.step.slowest());
#ifdef KV_BENCH_UNDO
        if (s.undo.measured() && s.redo.measured())
            std::printf("; undo %.2f ms (%.2f-%.2f), redo %.2f ms (%.2f-%.2f)", s.undo.median(), s.undo.fastest(),
                        s.undo.slowest(), s.redo.median(), s.redo.fastest(), s.redo.slowest());
#else
        std::printf("; no undo in this build");
#endif
        std::printf("\n");
    }
}

}  // namespace kv::bench
