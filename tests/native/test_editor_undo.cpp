// Undo and redo in the slide editor: every kind of step taken back and made again by its
// keys, the modified flag following the saved point, what drops the history and what does
// not, and the history's bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/names.h"
#include "framework/sim/sim_platform.h"
#include "tests/native/editor_test_kit.h"
#include "tests/native/value_dialog_kit.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;
namespace vd = value_dialog_test;

class Undo : public editor_test::EditorTest {
protected:
    Undo() {
        appDir = "c:\\app\\";
        lazyForm = true;
    }
    void SetUp() override {
        EditorTest::SetUp();
        sim.fs.createDirectory("c:\\app");
        sim.fs.createDirectory("c:\\pics");
        // Files whose names, sizes and dates give three different orders.
        const auto now = std::filesystem::file_time_type::clock::now();
        int k = 0;
        for (const char* n : {"d.bmp", "b.bmp", "c.avi", "a.bmp", "e.wav", "f.bmp", "g.bmp"}) {
            const std::string path = std::string("c:\\pics\\") + n;
            ASSERT_TRUE(sim.fs.writeFileAtomic(path, std::string(static_cast<size_t>(1 + (k * 37) % 11), 'x')));
            std::filesystem::last_write_time(sim.fs.hostPath(path), now - std::chrono::hours(24 * ((k * 5) % 7)));
            ++k;
        }
        editor_test::setSetting("Win95Tmp", "c:\\kavrin.tmp");
        ASSERT_TRUE(sim.fs.writeFileAtomic("c:\\kavrin.tmp", "[Directory]\r\nFiles=2\r\nName=c:\\pics\\\r\n"
                                                            "[1]\r\nF=f.bmp\r\n[2]\r\nF=g.bmp\r\n"));
        kv::explorer::setRemoteDlgHandler([](int32_t, int32_t) { return 0; });
        open();
    }
    // A new editor on five slides (pictures, a video, a sound), as a load leaves it: the
    // history empty and the table the saved script.
    void open() {
        form = std::make_unique<TEditorForm>();
        for (const char* n : {"d.bmp", "b.bmp", "c.avi", "a.bmp", "e.wav"})
            add(std::string("c:\\pics\\") + n,
                kv::extensionOf(n) == ".avi" ? &TEditorForm::SetUpAVI
                : kv::extensionOf(n) == ".wav" ? &TEditorForm::SetUpAudio
                                                : &TEditorForm::SetUpGraphic);
        form->EnableControls();
        form->Grid->setRow(2);
        form->history->reset(true);
        editorState().modified = false;
    }
    void choose(const std::string& menu, const std::string& name) {
        sim.user.onPopup(menu, [name](kv::PopupMenu& m) { m.find(name)->click(); });
    }
    // A key in the slide table, or on the thumbnails page in its scroll bar.
    void press(int key, unsigned shift) {
        kv::Control& c = form->Tab->pageIndex() > 0 ? static_cast<kv::Control&>(*form->CatScroll) : grid();
        c.keyDown(key, shift);
    }

    struct State {
        std::vector<std::vector<std::string>> rows;
        int row, top;
        bool operator==(const State&) const = default;
        friend void PrintTo(const State& s, std::ostream* os) {
            *os << "row " << s.row << " top " << s.top << ":";
            for (const auto& r : s.rows) *os << " [" << r[0] << " " << r[4] << " " << r[6] << " " << r[7] << " " << r[15] << "]";
        }
    };
    State state() { return {table(), grid().row(), grid().topRow()}; }
};

// Each kind of step: Ctrl+Z gives the table as it was before (rows, order, current row, top
// row), Ctrl+Y or Ctrl+Shift+Z as it was after; the modified flag is set exactly when the
// table is not the saved one, and the menu names the step.
TEST_F(Undo, EveryKindOfStepIsTakenBackAndMadeAgainByItsKeys) {
    struct Case {
        const char* label;
        std::function<void()> act;
        std::function<void()> prepare = [] {};
    };
    const auto drag = [this](int from, int to) {
        form->Tab->setPageIndex(1);
        form->Image2->mouseDown(kv::MouseButton::Left, 0, 74 * (from - 1) + 20, 20);
        form->Image2->mouseUp(kv::MouseButton::Left, 0, 74 * (to - 1) + 20, 20);
    };
    // An attribute of cell (col, row) edited with a double click or with "&Global"; `answer`
    // scripts the menu or dialog that opens. Selecting the cell is no step.
    const auto edit = [this](const char* label, int row, int col, std::function<void()> answer, bool global = false) {
        return Case{label,
                    [this, answer, global] {
                        answer();
                        if (global) form->BtnGlobal->click();
                        else grid().dblClick();
                    },
                    [this, row, col] {
                        grid().setRow(row);
                        grid().setCol(col);
                    }};
    };
    const auto menu = [this](const char* name, const char* item) { return [this, name, item] { choose(name, item); }; };
    const auto value = [this](const char* v) { return [this, v] { vd::typeAndEnter(sim.user, v); }; };
    const std::vector<Case> cases = {
        {"add slide(s)", [&] { form->BtnAdd->click(); }},
        {"insert slide(s)", [&] { form->BtnInsert->click(); }},
        {"erase slide(s)", [&] { form->BtnDelete->click(); }},
        {"erase slide(s)",  // the tagged ones
         [&] {
             sim.user.answer("ERASE SLIDES\nDelete tagged thumbnails too?", ModalResult::No);
             form->BtnDelete->click();
         },
         [&] {
             grid().setCell(Tag, 1, "X");
             grid().setCell(Tag, 4, "X");
         }},
        {"move slide", [&] { vd::typeAndEnter(sim.user, "5"); form->BtnMove->click(); }},
        {"move slide", [&] { grid().moveRow(1, 4); }},  // a row dragged in the table
        {"move slide", [&] { drag(1, 4); }},            // in the catalogue; the keys there too
        {"sort by name", [&] { form->mnuSortName->click(); }},
        {"sort by date", [&] { form->mnuSortDate->click(); }},
        {"sort by size", [&] { form->mnuSortSize->click(); }},
        {"CD track", [&] {
             vd::typeAndEnter(sim.user, "9");
             sim.user.answer("Replace current slide?", ModalResult::No);
             form->BtnCD->click();
         }},
        edit("effect", 1, EffectName, menu("mnuFX", "fx3")),
        edit("color", 1, UseColor, menu("mnuColor", "clrRed")),
        edit("position", 2, VertPos, menu("mnuVPOS", "vpos0")),
        edit("wait", 1, Wait, value("7")),
        edit("gamma", 4, Gamma, value("150")),
        edit("zoom", 3, Zoom, value("200")),
        edit("volume", 3, Volume, value("40")),
        edit("speed", 3, Speed, value("150")),
        edit("loop", 3, EffectName, value("3")),
        edit("global effect", 1, EffectName, menu("mnuFX", "fx5"), true),
        edit("global position", 1, HorzPos, menu("mnuHPOS", "hpos0"), true),
        edit("global wait", 2, Wait, value("9"), true),
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " #" + std::to_string(k));
        open();
        c.prepare();
        const State before = state();
        c.act();
        const State after = state();
        ASSERT_NE(after.rows, before.rows);
        ASSERT_TRUE(editorState().modified);
        form->mnuEdit->onPopup(nullptr);
        EXPECT_EQ(form->mnuUndo->caption(), std::string("&Undo ") + c.label);
        EXPECT_TRUE(form->mnuUndo->enabled());
        EXPECT_FALSE(form->mnuRedo->enabled());

        press('Z', kv::CtrlKey);
        EXPECT_EQ(state(), before);
        EXPECT_FALSE(editorState().modified);
        const std::string shown = " [" + std::to_string(before.row) + " of " + std::to_string(before.rows.size()) + "]";
        EXPECT_NE(form->Fullname->caption().find(shown), std::string::npos) << form->Fullname->caption();
        form->mnuEdit->onPopup(nullptr);
        EXPECT_EQ(form->mnuRedo->caption(), std::string("Redo ") + c.label);
        EXPECT_FALSE(form->mnuUndo->enabled());
        EXPECT_EQ(form->mnuUndo->caption(), "&Undo");

        // Redo by either key; undo and redo once more, from the slide menu, give the same two
        // tables.
        press(k % 2 ? 'Y' : 'Z', k % 2 ? kv::CtrlKey : kv::CtrlKey | kv::ShiftKey);
        EXPECT_EQ(state(), after);
        EXPECT_TRUE(editorState().modified);
        for (const char* item : {"mnuUndo", "mnuRedo"}) {
            choose("mnuEdit", item);
            form->BtnSort->click();
            EXPECT_EQ(state(), item[3] == 'U' ? before : after) << item;
        }
        // Alt or a second modifier besides Shift is no undo.
        press('Z', kv::CtrlKey | kv::AltKey);
        EXPECT_EQ(state(), after);
        ++k;
    }
}

// The saved point: undoing back to it clears the flag (closing asks nothing), any other state
// sets it; a save moves it; a new step after an undo drops what could have been redone, and
// with it a saved point that only a redo reached.
TEST_F(Undo, TheModifiedFlagFollowsTheSavedPoint) {
    const State saved = state();
    form->mnuSortName->click();
    sim.user.answer("Slide order will be rearranged.  Continue?", ModalResult::Yes);
    form->mnuSortSize->click();
    press('Z', kv::CtrlKey);
    press('Z', kv::CtrlKey);
    EXPECT_EQ(state(), saved);
    EXPECT_FALSE(editorState().modified);
    bool canClose = false;
    form->FormCloseQuery(nullptr, canClose);  // a question here would be unexpected
    EXPECT_TRUE(canClose);

    // Saved after the name sort: that state is the saved one now.
    press('Y', kv::CtrlKey);
    editor_test::setSetting("SaveName", "c:\\app\\s.avl");
    form->BtnSave->click();
    EXPECT_FALSE(editorState().modified);
    press('Z', kv::CtrlKey);
    EXPECT_TRUE(editorState().modified);
    press('Y', kv::CtrlKey);
    EXPECT_FALSE(editorState().modified);
    press('Y', kv::CtrlKey);  // the size sort
    EXPECT_TRUE(editorState().modified);
    press('Z', kv::CtrlKey);
    EXPECT_FALSE(editorState().modified);

    // Undo before the save, then a new step: the saved state cannot come back.
    press('Z', kv::CtrlKey);
    grid().moveRow(2, 3);
    EXPECT_FALSE(form->history->canRedo());
    press('Z', kv::CtrlKey);
    EXPECT_TRUE(editorState().modified);
    sim.user.answer("Discard changes?", ModalResult::Yes);
    form->FormCloseQuery(nullptr, canClose);
    EXPECT_TRUE(canClose);
}

// Operations on files drop the history (the undo item then has nothing to undo) and keep
// the flag; tags are no step and drop nothing; loading and New start a new history.
TEST_F(Undo, FileOperationsAndLoadsDropTheHistoryTagsDoNot) {
    // A step (a row dragged from 1 to 3), then a tag toggled on the last picture, which keeps it.
    const auto stepAndTag = [this] {
        grid().moveRow(1, 3);
        int r = grid().rowCount() - 1;
        while (cell(Tag, r) == BlankMarker) --r;
        grid().setRow(r);
        const std::string tag = cell(Tag, r);
        form->BtnTag->click();
        ASSERT_TRUE(form->history->canUndo());
        ASSERT_NE(cell(Tag, r), tag);
    };
    stepAndTag();
    press('Z', kv::CtrlKey);
    EXPECT_EQ(cell(DisplayName, 1), "d.bmp");
    press('Y', kv::CtrlKey);
    // Trash: the file is deleted and its slide erased; nothing is left to undo.
    const std::string trashed = cell(FilePath, grid().row());
    sim.user.answer(cell(DisplayName, grid().row()) + "\nDelete file ?", ModalResult::Yes);
    form->BtnTrash->click();
    ASSERT_FALSE(sim.fs.exists(trashed));
    form->mnuEdit->onPopup(nullptr);
    EXPECT_EQ(form->mnuUndo->caption(), "&Undo");
    EXPECT_FALSE(form->mnuUndo->enabled());
    const auto table = this->table();
    press('Z', kv::CtrlKey);
    EXPECT_EQ(this->table(), table);
    EXPECT_TRUE(editorState().modified);

    // Rename, and "&Kill all" (which deletes thumbnails) likewise.
    stepAndTag();
    sim.user.onModal("InputBox", [this](kv::Form& f) {
        sim.user.typeInto(f, "Value", "z.bmp");
        sim.user.pressKeyIn(f, "Value", kv::vk::Return);
    });
    form->mnuRename->click();
    EXPECT_TRUE(sim.fs.exists("c:\\pics\\z.bmp"));
    EXPECT_FALSE(form->history->canUndo());
    stepAndTag();
    sim.user.answer("Delete ALL thumbnails for this script?", ModalResult::Yes);
    form->BtnKillCat->click();
    EXPECT_FALSE(form->history->canUndo());
    EXPECT_TRUE(editorState().modified);

    // New starts afresh.
    stepAndTag();
    sim.user.answer("Discard script?", ModalResult::Yes);
    form->BtnNew->click();
    EXPECT_FALSE(form->history->canUndo());
    EXPECT_FALSE(editorState().modified);
}

// At most 100 steps and 32 MB: the oldest go first, and what is left still takes the table
// back step by step.
TEST_F(Undo, TheHistoryKeepsAtMost100StepsAnd32MB) {
    // 105 steps of one cell each.
    for (int i = 0; i < 105; ++i) {
        EditHistory::Step step(*form->history, "wait");
        grid().setCell(Wait, 1, "w" + std::to_string(i));
    }
    EXPECT_EQ(form->history->stepCount(), 100u);
    while (form->history->undo()) {
    }
    EXPECT_EQ(cell(Wait, 1), "w4");  // the state after the fifth step: the first five went
    EXPECT_FALSE(form->history->atSaved());  // the saved state went with the oldest steps

    // Steps of 4 MB each: no more than eight fit.
    form->history->reset(true);
    for (int i = 0; i < 12; ++i) {
        EditHistory::Step step(*form->history, "wait");
        grid().setCell(DisplayName, 1, std::string(4u << 20, static_cast<char>('a' + i)));
    }
    EXPECT_LE(form->history->bytes(), EditHistory::kMaxBytes);
    EXPECT_GE(form->history->stepCount(), 7u);
    EXPECT_LE(form->history->stepCount(), 8u);
    const size_t kept = form->history->stepCount();
    while (form->history->undo()) {
    }
    EXPECT_EQ(cell(DisplayName, 1)[0], static_cast<char>('a' + 11 - kept));
}

}  // namespace
